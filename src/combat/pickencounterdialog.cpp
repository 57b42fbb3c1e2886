#include "combat/pickencounterdialog.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "encounter/encounter.h"
#include "foundation/global.h"
#include "library/encounterdata.h"
#include "library/encounters.h"
#include "toolkit/inputwidgets.h"

PickEncounterModel::PickEncounterModel() : PickListModel({tr("Name"), tr("Level"), tr("XP"), tr("Description")})
{
    readLibrary();
    connect(Global::encounters, &Encounters::doEncountersUpdated, this, &PickListModel::reload);
}

void PickEncounterModel::readLibrary()
{
    encounters.clear();
    for (int i = 0; i < Global::encounters->getEncounterCount(); i++)
        encounters.append(Global::encounters->getEncounter(i));
}

void PickEncounterModel::setFilter(const QString& text, const QString& newAdventure)
{
    if (text == filter && newAdventure == adventure)
        return;
    filter = text;
    adventure = newAdventure;
    refilter();
}

EncounterData* PickEncounterModel::getEncounter(int row) const
{
    EncounterData* encounter = encounters.value(row);
    return encounter && Global::encounters->getEncounterIndex(encounter) >= 0 ? encounter : nullptr;
}

QVariant PickEncounterModel::cell(int row, int column) const
{
    EncounterData* encounter = encounters[row];
    switch (column) {
    case 0:
        return encounter->getName();
    case 1:
        return encounter->getLevel();
    case 2:
        return encounter->getXP();
    default:
        return encounter->getDescription();
    }
}

bool PickEncounterModel::passes(int row) const
{
    return encounters[row]->match(filter, adventure);
}

PickEncounterDialog::PickEncounterDialog(const QString& adventure) : adventureBox(new QComboBox), model(new PickEncounterModel)
{
    // The library's own wording, which its filter knows.
    adventureBox->addItem(QCoreApplication::translate("ManagerWindow", "All Adventures"));
    for (const QString& name : Global::encounters->getAdventureList()) {
        adventureBox->addItem(name);
        if (name == adventure)
            adventureBox->setCurrentIndex(adventureBox->count() - 1);
    }
    layout->addWidget(adventureBox);
    addList(model);
    connect(adventureBox, &QComboBox::activated, this, &PickEncounterDialog::onEncounterAdventureSelected);

    auto* buttons = new DialogButtonBox(QDialogButtonBox::NoButton);
    const bool running = Global::encounter->isRunning();
    if (Global::encounter->getMonsterCount() == 0) {
        setButton = buttons->addButton(tr("Set"), QDialogButtonBox::AcceptRole);
        setHiddenButton = buttons->addButton(tr("Set Hidden"), QDialogButtonBox::AcceptRole);
    } else if (!running) {
        setButton = buttons->addButton(tr("Replace"), QDialogButtonBox::AcceptRole);
        setHiddenButton = buttons->addButton(tr("Replace Hidden"), QDialogButtonBox::AcceptRole);
    }
    if (Global::encounter->getMonsterCount() > 0) {
        addButton = buttons->addButton(tr("Add"), QDialogButtonBox::AcceptRole);
        addHiddenButton = buttons->addButton(tr("Add Hidden"), QDialogButtonBox::AcceptRole);
    }
    cancelButton = buttons->addButton(tr("Cancel"), QDialogButtonBox::AcceptRole);
    connect(buttons, &QDialogButtonBox::clicked, this, &PickEncounterDialog::onClicked);
    layout->addWidget(buttons);
    // Return presses what is offered first, and nothing without a choice.
    setDefaultButton(setButton ? setButton : addButton);
    toggleButtons();

    setWideLayout(layout);
    setWindowTitle(tr("Select an Encounter"));
}

EncounterData* PickEncounterDialog::getSelectedEncounter(QString& adventure)
{
    adventure = adventureBox->currentText();
    return chosen && Global::encounters->getEncounterIndex(chosen) >= 0 ? chosen : nullptr;
}

void PickEncounterDialog::onClicked(QAbstractButton* button)
{
    if (button == cancelButton)
        reject();
    else if (button == setHiddenButton)
        done(7);
    else if (button == setButton)
        done(5);
    else if (button == addHiddenButton)
        done(4);
    else if (button == addButton)
        done(3);
}

void PickEncounterDialog::onFilterChanged(QObject*)
{
    model->setFilter(getFilterEdit()->text(), adventureBox->currentText());
}

void PickEncounterDialog::onEncounterAdventureSelected(int)
{
    onFilterChanged(nullptr);
}

void PickEncounterDialog::selectionChanged()
{
    chosen = model->getEncounter(selectedRow());
    toggleButtons();
}

void PickEncounterDialog::keepChoice()
{
    if (!reselect(model->getRow(chosen)))
        chosen = nullptr;
    toggleButtons();
}

void PickEncounterDialog::toggleButtons()
{
    for (QPushButton* button : {addButton, addHiddenButton, setButton, setHiddenButton})
        if (button)
            button->setEnabled(chosen);
}
