#include "combat/pickcharactersdialog.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "creature/creature.h"
#include "encounter/encounter.h"
#include "foundation/global.h"
#include "library/characters.h"
#include "toolkit/inputwidgets.h"
#include "toolkit/panelhost.h"
#include "toolkit/wrappinglayout.h"

namespace {

void showInCurrentDock(Creature* creature)
{
    if (PanelHost* host = PanelHost::instance())
        host->previewCreature(creature);
}

}

PickCharactersDialog::PickCharactersDialog(QWidget* parent) : FlatDialog(parent)
{
    // Three to a row; fewer in a narrow centre, so that every name and box shows whole.
    auto* grid = new WrappingLayout(WrappingLayout::EqualWidths, 3);
    grid->setSpacing(20);
    grid->setRowSpacing(6);
    addMode = Global::encounter->isRunning();
    const QList<Creature*> party = Global::encounter->getHeros();
    bool allInParty = true;
    const int count = Global::characters->getCharacterCount();
    for (int i = 0; i < count; i++) {
        Creature* character = Global::characters->getCharacter(i);
        auto* box = new QCheckBox;
        const bool inParty = party.contains(character);
        box->setChecked(inParty);
        box->setEnabled(!(inParty && addMode));
        allInParty = allInParty && inParty;
        connect(box, &QCheckBox::clicked, this, &PickCharactersDialog::onChecked);
        choices.append({box, character});
        grid->addWidget(characterCell(character, box));
    }

    auto* buttons = new DialogButtonBox(QDialogButtonBox::NoButton);
    selectButton = buttons->addButton(addMode ? tr("Add") : tr("Select"), QDialogButtonBox::AcceptRole);
    allButton = buttons->addButton(addMode ? tr("Add All") : tr("Select All"), QDialogButtonBox::AcceptRole);
    allButton->setEnabled(!addMode || !allInParty);
    cancelButton = buttons->addButton(tr("Cancel"), QDialogButtonBox::AcceptRole);
    connect(buttons, &QDialogButtonBox::clicked, this, &PickCharactersDialog::onClicked);

    auto* column = new QVBoxLayout;
    column->addLayout(grid);
    column->addWidget(buttons);
    FlatDialog::setLayout(column);
    setWindowTitle(addMode ? tr("Add to the Party") : tr("Pick the Party"));
    onChecked();
}

QWidget* PickCharactersDialog::characterCell(Creature* character, QCheckBox* box)
{
    auto* portrait = new QLabel;
    portrait->setBackgroundRole(QPalette::Base);
    portrait->setFixedSize(48, 48);
    portrait->setScaledContents(true);
    portrait->setPixmap(character->getPortrait());
    portrait->setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
    portrait->setLineWidth(2);
    auto* name = new QLabel(character->getNameGroup());
    name->setTextFormat(Qt::PlainText);
    auto* cell = new QHBoxLayout;
    cell->setContentsMargins(0, 0, 0, 0);
    cell->addWidget(portrait);
    cell->addWidget(name);
    cell->addWidget(box);
    // A wider column leaves the box beside the name.
    cell->addStretch();
    return layoutToWidget(cell);
}

int PickCharactersDialog::exec()
{
    const int code = FlatDialog::exec();
    showInCurrentDock(Global::encounter->getCurrentCreature());
    return code;
}

CreatureList PickCharactersDialog::getParty(bool& add) const
{
    add = addMode;
    const QList<Creature*> party = Global::encounter->getHeros();
    bool changed = false;
    CreatureList result;
    for (const Choice& choice : choices) {
        Creature* character = choice.character;
        if (!character || Global::characters->getCharacterIndex(character) < 0)
            continue;
        const bool wanted = all || choice.box->isChecked();
        const bool inParty = party.contains(character);
        changed = changed || wanted != inParty;
        if (wanted && !(addMode && inParty))
            result.addCreature(character);
    }
    return changed ? result : CreatureList();
}

bool PickCharactersDialog::haveSelection() const
{
    return std::any_of(choices.begin(), choices.end(),
        [](const Choice& choice) { return choice.box->isEnabled() && choice.box->isChecked(); });
}

void PickCharactersDialog::onChecked()
{
    selectButton->setEnabled(haveSelection());
    for (const Choice& choice : choices)
        if (sender() == choice.box)
            showInCurrentDock(choice.character);
}

void PickCharactersDialog::onClicked(QAbstractButton* button)
{
    if (button == cancelButton) {
        reject();
        return;
    }
    all = button == allButton;
    done(1);
}
