#include "powerdialog/multidamage.h"

#include <QGridLayout>
#include <QLabel>

#include "creature/creature.h"
#include "foundation/global.h"
#include "powerdialog/effectcreatures.h"
#include "powers/powerstep.h"
#include "toolkit/windowsanddialogs.h"

namespace {

const int damageLimit = 500;

}

MultiDamage::MultiDamage(DamageStep* step, EffectCreatures* creatures, Binder bind)
    : step(step), creatures(creatures), bind(std::move(bind)), grid(new QGridLayout(this))
{
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(2);
    grid->setColumnStretch(2, 1);
    connect(this, &MultiDamage::doMultiDamageRequiresResize, &Global::switchBoard,
            &SwitchBoard::doMultiDamageRequiresResize);
    refresh();
}

QList<Creature*> MultiDamage::listedCreatures() const
{
    if (!step->perTarget || !creatures)
        return {};
    switch (step->list) {
    case Power::Miss: return creatures->getMissList();
    case Power::Effect: return creatures->getEffectList();
    default: return creatures->getTargetList();
    }
}

void MultiDamage::refresh()
{
    const QList<Creature*> listed = listedCreatures();
    if (listed != shown) {
        rebuild(listed);
        emit doMultiDamageRequiresResize();
        return;
    }
    for (int row = 0; row < boxes.size(); row++) {
        if (!boxes[row])
            continue;
        const QSignalBlocker blocker(boxes[row].data());
        boxes[row]->setValue(step->damageFor(shown[row]));
    }
}

void MultiDamage::rebuild(const QList<Creature*>& listed)
{
    while (QLayoutItem* item = grid->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    boxes.clear();
    shown = listed;
    for (int row = 0; row < shown.size(); row++) {
        Creature* creature = shown[row];
        // A new row starts at the step's damage, and keeps its own amount from then on.
        if (!step->targetDamage.contains(creature))
            step->targetDamage.insert(creature, step->damage);
        QSpinBox* box = WindowsAndDialogs::digitBox(damageLimit, 0);
        box->setValue(step->damageFor(creature));
        box->setToolTip(tr("The damage %1 takes").arg(creature->getNameGroup()));
        auto* name = new QLabel(creature->getNameGroup());
        name->setTextFormat(Qt::PlainText);
        name->setBuddy(box);
        grid->addWidget(name, row, 0);
        grid->addWidget(box, row, 1);
        boxes.append(box);
        bind(box, creature);
    }
    // Tab and the guided order enter the rows at the first.
    setFocusProxy(firstBox());
    // Without a parent yet, shown would make a window of its own: the row shows it.
    if (shown.isEmpty())
        hide();
    else if (parentWidget())
        show();
}

QSpinBox* MultiDamage::firstBox() const
{
    return boxes.isEmpty() ? nullptr : boxes.first().data();
}
