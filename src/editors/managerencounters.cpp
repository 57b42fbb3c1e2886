// The monster manager's encounter editor: the selected encounter and monster
// shown and edited, new encounters and monsters, the adventure lists and the
// party size.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScopedValueRollback>
#include <QToolButton>

#include "creature/creature.h"
#include "editors/encounterlistmodel.h"
#include "editors/librarylistmodels.h"
#include "editors/managerwindow.h"
#include "foundation/global.h"
#include "foundation/textcolours.h"
#include "library/encounterdata.h"
#include "library/encounters.h"
#include "library/monsters.h"

namespace {

// An ID the file keeps as typed and the fight tells apart from the group's others.
bool isUsableId(EncounterData* encounter, const EncounterMonster& entry, const QString& id)
{
    if (id.isEmpty() || id != id.trimmed() || id.contains(',') || id.contains('='))
        return false;
    return id == entry.id || !encounter->findGroupCreature(entry.name, id);
}

void selectAdventure(QComboBox* popup, const QString& adventure)
{
    popup->setCurrentIndex(-1);
    const int item = popup->findText(adventure, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (item >= 0)
        popup->setCurrentIndex(item);
    else
        popup->setEditText(adventure);
}

// The list refilled with the adventures, the shown text kept where still there.
void refill(QComboBox* popup, const QString& first, const QStringList& adventures)
{
    const QString shown = popup->currentText();
    popup->clear();
    popup->addItem(first);
    popup->setCurrentIndex(0);
    for (const QString& adventure : adventures) {
        popup->addItem(adventure);
        if (adventure == shown)
            popup->setCurrentIndex(popup->count() - 1);
    }
}

}

int ManagerWindow::getPartySize() const
{
    return partySizePopup->currentIndex() + 1;
}

void ManagerWindow::rebuildAdventurePopups()
{
    // Clearing the editable list would write its empty text into the encounter.
    QScopedValueRollback<bool> guard(loadingEncounter, true);
    const QStringList adventures = Global::encounters ? Global::encounters->getAdventureList() : QStringList();
    refill(adventureFilterPopup, tr("All Adventures"), adventures);
    refill(adventurePopup, QString(), adventures);
}

void ManagerWindow::onEncounterSelectionChanged()
{
    if (updatingEncounter)
        return;
    {
        QScopedValueRollback<bool> guard(loadingEncounter, true);
        EncounterData* encounter = encounterListModel->getSelectedEncounter();
        encounterNameEdit->setText(encounter ? encounter->getName() : QString());
        if (encounter)
            selectAdventure(adventurePopup, encounter->getAdventure());
        encounterFileLabel->setText(encounter ? encounter->getFileName() : QString());
        descriptionEdit->setPlainText(encounter ? encounter->getDescription() : QString());
        encounterLevelLabel->setText(encounter ? QString::number(encounter->getLevel()) : QString());
        encounterXpLabel->setText(encounter ? QString::number(encounter->getXP()) : QString());
        encounterNameEdit->setEnabled(encounter);
        descriptionEdit->setEnabled(encounter);
        showSelectedMonster();
    }
    rebuildAdventurePopups();
    toggleEncounterButtons();
}

void ManagerWindow::showSelectedMonster()
{
    const QString group = encounterListModel->getSelectedGroup();
    Creature* found = group.isEmpty() || !Global::monsters ? nullptr : Global::monsters->findTemplate(group);
    if (group.isEmpty())
        monsterNameLabel->clear();
    else if (found)
        monsterNameLabel->setText(group.toHtmlEscaped());
    else
        monsterNameLabel->setText(Creature::colored(TextColours::red(), tr("%1 - Missing").arg(group.toHtmlEscaped())));
    monsterLevelLabel->setText(found ? QString::number(found->getLevel()) : QString());
    monsterXpLabel->setText(found ? QString::number(found->getXP()) : QString());
    addMonsterButton->setEnabled(found);
    const EncounterMonster* monster = encounterListModel->getSelectedMonster();
    monsterIdEdit->setText(monster ? monster->id : QString());
    monsterAliasEdit->setText(monster ? monster->alias : QString());
    hiddenCheckBox->setChecked(monster && monster->hidden);
    for (QWidget* field : std::initializer_list<QWidget*>{monsterIdEdit, monsterAliasEdit, hiddenCheckBox,
                                                          removeMonsterButton})
        field->setEnabled(monster);
}

void ManagerWindow::onEncounterListUpdated()
{
    if (encounterListModel->isChangingLibrary())
        return;
    encounterListModel->resetList();
    rebuildAdventurePopups();
    onEncounterSelectionChanged();
}

void ManagerWindow::onEncounterAdventureSelected(int)
{
    applyEncounterFilter();
}

void ManagerWindow::applyEncounterFilter()
{
    // "All Adventures" filters nothing, as no adventure does: the same filter, the selection kept.
    const QString adventure = adventureFilterPopup->currentIndex() > 0 ? adventureFilterPopup->currentText() : QString();
    encounterListModel->setFilter(encounterFilterEdit->text(), adventure);
}

void ManagerWindow::encounterEdited(EncounterData* encounter)
{
    encounter->adjustDirty();
    encounterListModel->encounterChanged();
    toggleEncounterButtons();
}

void ManagerWindow::onNewEncounter()
{
    auto* encounter = new EncounterData;
    encounter->setName(Global::encounters->getNewEncounterName());
    encounter->setAdventure(adventurePopup->currentText());
    encounterListModel->insertEncounter(encounter, true);
    encounter->setNew(true);
    encounter->setDirty(true);
    encounterListModel->encounterChanged();
    encounterNameEdit->selectAll();
    encounterNameEdit->setFocus();
    rebuildAdventurePopups();
    toggleEncounterButtons();
}

void ManagerWindow::onEncounterDataChanged()
{
    EncounterData* encounter = encounterListModel->getSelectedEncounter();
    if (loadingEncounter || !encounter)
        return;
    QScopedValueRollback<bool> guard(updatingEncounter, true);
    const QString name = encounterNameEdit->text();
    if (adventurePopup->currentText() != encounter->getAdventure())
        encounter->setAdventure(adventurePopup->currentText());
    if (descriptionEdit->toPlainText() != encounter->getDescription())
        encounter->setDescription(descriptionEdit->toPlainText());
    // A blank name would be saved and refused by the next load: the last one stays.
    if (name != encounter->getName() && !name.trimmed().isEmpty())
        encounterListModel->moveEncounter(encounter, name);
    encounterEdited(encounter);
}

void ManagerWindow::onPartySizeChanged()
{
    if (EncounterData* encounter = encounterListModel->getSelectedEncounter())
        encounterLevelLabel->setText(QString::number(encounter->getLevel()));
}

void ManagerWindow::addEncounterMonster(EncounterData* encounter, const QString& templateName)
{
    int scheme = numberingPopup->currentIndex();
    const QString id = encounter->getNewUniqueName(templateName, QString(), scheme, uniqueIdsPopup->currentIndex() == 1);
    numberingPopup->setCurrentIndex(scheme);
    encounterListModel->insertMonster(encounter, {templateName, id, QString(), false});
    monsterIdEdit->selectAll();
    monsterIdEdit->setFocus();
    encounterEdited(encounter);
}

void ManagerWindow::onAddTemplate()
{
    Creature* chosen = templateListModel->getSelectedTemplate();
    EncounterData* encounter = encounterListModel->getSelectedEncounter();
    if (chosen && encounter)
        addEncounterMonster(encounter, chosen->getGroup());
}

void ManagerWindow::onNewMonster()
{
    EncounterData* encounter = encounterListModel->getSelectedEncounter();
    const QString group = encounterListModel->getSelectedGroup();
    if (encounter && !group.isEmpty())
        addEncounterMonster(encounter, group);
}

void ManagerWindow::onDeleteMonster()
{
    EncounterData* encounter = nullptr;
    const EncounterMonster* monster = encounterListModel->getSelectedMonster(&encounter);
    if (!monster)
        return;
    encounterListModel->deleteMonster(encounter, EncounterMonster(*monster));
    encounterEdited(encounter);
}

void ManagerWindow::onMonsterNameChanged()
{
    EncounterData* encounter = nullptr;
    const EncounterMonster* monster = encounterListModel->getSelectedMonster(&encounter);
    if (loadingEncounter || !monster)
        return;
    QScopedValueRollback<bool> guard(updatingEncounter, true);
    const EncounterMonster old = *monster;
    EncounterMonster renamed = old;
    renamed.id = monsterIdEdit->text();
    // Until the field holds a usable ID the monster keeps its last one.
    if (renamed.id == old.id || !isUsableId(encounter, old, renamed.id))
        return;
    encounterListModel->moveMonster(encounter, old, renamed);
    encounterEdited(encounter);
}

void ManagerWindow::onMonsterDataChanged()
{
    EncounterData* encounter = nullptr;
    EncounterMonster* monster = encounterListModel->getSelectedMonster(&encounter);
    if (loadingEncounter || !monster)
        return;
    QScopedValueRollback<bool> guard(updatingEncounter, true);
    monster->alias = monsterAliasEdit->text();
    monster->hidden = hiddenCheckBox->isChecked();
    encounterEdited(encounter);
}
