#include "combat/jumpindialog.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "creature/creature.h"
#include "toolkit/inputwidgets.h"

JumpInDialog::JumpInDialog(const QList<Creature*>& delayed, const QList<Creature*>& readied)
    : delayed(delayed), readied(readied), choice(new QComboBox)
{
    auto* heading = new QLabel("<b>Who will Jump in?</b>");
    heading->setTextFormat(Qt::RichText);
    for (Creature* creature : delayed)
        choice->addItem(creature->getNameGroup() + tr(" (Delayed)"));
    for (Creature* creature : readied)
        choice->addItem(creature->getNameGroup() + tr(" (Ready'ed)"));
    auto* buttons = new DialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, Qt::Horizontal);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout;
    layout->addWidget(heading);
    layout->addWidget(choice);
    layout->addWidget(buttons);
    setLayout(layout);
    setWindowTitle(tr("Jump In"));
    choice->setFocus();
}

Creature* JumpInDialog::getJumpInCreature() const
{
    const int index = choice->currentIndex();
    if (index < 0)
        return nullptr;
    return index < delayed.size() ? delayed.value(index) : readied.value(index - delayed.size());
}
