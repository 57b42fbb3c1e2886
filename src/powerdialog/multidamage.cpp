#include "powerdialog/multidamage.h"

#include <QGridLayout>
#include <QLabel>
#include <QSpinBox>
#include <QStyle>

#include <algorithm>

#include "creature/creature.h"
#include "foundation/global.h"
#include "powerdialog/effectcreatures.h"
#include "powers/powerstep.h"
#include "toolkit/windowsanddialogs.h"

namespace {

const int damageLimit = 500;

// The layout that holds the widget: that one or one inside it.
const QLayout* holderOf(const QWidget* widget, const QLayout* layout)
{
    if (!layout || layout->indexOf(widget) >= 0)
        return layout;
    for (int index = 0; index < layout->count(); index++)
        if (const QLayout* found = holderOf(widget, layout->itemAt(index)->layout()))
            return found;
    return nullptr;
}

}

MultiDamage::MultiDamage(DamageStep* step, EffectCreatures* creatures, const QSpinBox* alike, Binder bind)
    : step(step), creatures(creatures), alike(alike), bind(std::move(bind)), grid(new QGridLayout(this))
{
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(2);
    grid->setColumnStretch(2, 1);
    connect(this, &MultiDamage::doMultiDamageRequiresResize, &Global::switchBoard,
            &SwitchBoard::doMultiDamageRequiresResize);
    refresh();
    // Empty, it takes no gap in the step's row, as when its last row went.
    if (rows.isEmpty())
        hide();
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
        reshape(listed);
        emit doMultiDamageRequiresResize();
        return;
    }
    for (const Row& row : std::as_const(rows))
        showAmount(row);
}

void MultiDamage::reshape(const QList<Creature*>& listed)
{
    QList<Row> kept;
    for (Creature* creature : listed) {
        const auto old = std::find_if(rows.begin(), rows.end(), [creature](const Row& row) {
            return row.creature == creature;
        });
        if (old != rows.end()) {
            kept.append(*old);
            rows.erase(old);
        } else {
            kept.append(makeRow(creature));
        }
    }
    // What is left belongs to creatures that left the list.
    for (const Row& row : std::as_const(rows)) {
        delete row.name.data();
        delete row.box.data();
    }
    rows = kept;
    shown = listed;
    // A row that moved leaves its cells before any row takes them.
    for (int i = 0; i < rows.size(); i++) {
        int at = -1, column, rowSpan, columnSpan;
        const int index = grid->indexOf(rows[i].name.data());
        if (index >= 0)
            grid->getItemPosition(index, &at, &column, &rowSpan, &columnSpan);
        if (at != i) {
            grid->removeWidget(rows[i].name);
            grid->removeWidget(rows[i].box);
        }
    }
    for (int i = 0; i < rows.size(); i++) {
        if (grid->indexOf(rows[i].name.data()) < 0) {
            grid->addWidget(rows[i].name, i, 0);
            grid->addWidget(rows[i].box, i, 1);
        }
    }
    // Without a parent yet, shown would make a window of its own: the row shows it.
    if (shown.isEmpty())
        hide();
    else if (parentWidget())
        show();
}

MultiDamage::Row MultiDamage::makeRow(Creature* creature)
{
    // A new row starts at the step's damage, and keeps its own amount from then on.
    if (!step->targetDamage.contains(creature))
        step->targetDamage.insert(creature, step->damage);
    Row row{creature, new QLabel(this), WindowsAndDialogs::digitBox(damageLimit, 0)};
    row.box->setParent(this);
    row.box->setToolTip(tr("The damage %1 takes").arg(creature->getNameGroup()));
    row.name->setTextFormat(Qt::PlainText);
    row.name->setText(creature->getNameGroup());
    row.name->setBuddy(row.box);
    showAmount(row);
    bind(row.box, creature);
    return row;
}

void MultiDamage::showAmount(const Row& row)
{
    const QSignalBlocker blocker(row.box.data());
    row.box->setValue(step->damageFor(row.creature));
}

QSpinBox* MultiDamage::firstBox() const
{
    return rows.isEmpty() ? nullptr : rows.first().box.data();
}

QList<QWidget*> MultiDamage::fields() const
{
    QList<QWidget*> boxes;
    for (const Row& row : rows)
        boxes.append(row.box.data());
    return boxes;
}

int MultiDamage::heightFor(int count) const
{
    if (count <= 0)
        return 0;
    // Shown, the rows take the gap above them in the step's row too.
    const QLayout* holder = parentWidget() ? holderOf(this, parentWidget()->layout()) : nullptr;
    const int above =
        holder ? holder->spacing() : style()->pixelMetric(QStyle::PM_LayoutVerticalSpacing, nullptr, this);
    const int boxHeight = alike ? alike->sizeHint().height() : 0;
    return above + count * boxHeight + (count - 1) * grid->verticalSpacing();
}
