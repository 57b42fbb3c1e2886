// The character creator's pending changes: deleting characters, "Save All",
// "Revert All" and what is left unsaved. Each runs the power check waiting
// for a pause first, so that an edit of a power made just before counts.
#include <QScopedValueRollback>

#include "editors/characterdetails.h"
#include "editors/characterwindow.h"
#include "editors/librarylistmodels.h"
#include "editors/pendingchanges.h"
#include "foundation/global.h"
#include "foundation/uihooks.h"
#include "library/characters.h"

namespace {

QList<Creature*> allCharacters()
{
    QList<Creature*> characters;
    for (int i = 0; Global::characters && i < Global::characters->getCharacterCount(); i++)
        characters.append(Global::characters->getCharacter(i));
    return characters;
}

}

void CharacterWindow::onDeleteCharacter()
{
    runPendingPowerCheck();
    Creature* chosen = listModel->getSelectedCharacter();
    if (!chosen)
        return;
    if (chosen->isNew()) {
        chosen->setNew(false);
        chosen->setDirty(false);
        dropCharacter(chosen);
    } else {
        if (!PendingChanges::confirmDelete("characterWindow/deleteMonster", chosen->getName(), chosen->getFileName()))
            return;
        chosen->setDeleted(true);
        listModel->removeCharacter(chosen, true, false);
    }
    toggleCharacterButtons();
}

bool CharacterWindow::onSaveAll()
{
    return saveAll(true);
}

bool CharacterWindow::saveAll(bool standIns)
{
    runPendingPowerCheck();
    QStringList failures;
    for (Creature* character : allCharacters()) {
        if (!standIns && PendingChanges::isStandIn(character))
            continue;
        // The new mark goes only with a save that succeeds: a failed one stays new for "Revert All".
        if (character->isDeleted()) {
            if (character->remove()) {
                dropCharacter(character);
                continue;
            }
        } else if (!character->isDirty() || character->save()) {
            continue;
        }
        failures.append(
            PendingChanges::failure(character->getName(), character->getFileName(), Global::lastFileError()));
    }
    listModel->characterChanged();
    onCharacterSelectionChanged();
    toggleCharacterButtons();
    PendingChanges::tellFailures(failures);
    return failures.isEmpty();
}

void CharacterWindow::onRevertAll()
{
    runPendingPowerCheck();
    if (!PendingChanges::confirmRevertAll(
            tr("Do you really want to discard all changes?<p>This action will restore all Characters to the last "
               "saved state.")))
        return;
    forgetProgrammedPower();
    {
        // One refresh after all the reverts, not one per character.
        QScopedValueRollback<bool> guard(updatingEditBoxes, true);
        for (Creature* character : allCharacters()) {
            if (character->isDeleted()) {
                character->setDeleted(false);
                listModel->showCharacter(character);
            }
            if (character->isNew()) {
                character->revertChanges();
                dropCharacter(character);
            } else if (character->isDirty()) {
                const QString name = character->getName();
                // The saved text gives back maxima: the current figures follow them as an edit's do.
                details->followMaxima(character, [character] { character->revertChanges(); });
                if (character->getName() != name)
                    moveCharacter(character);
            }
        }
    }
    onCharacterSelectionChanged();
    toggleCharacterButtons();
    listModel->characterChanged();
}

void CharacterWindow::forgetProgrammedPower()
{
    retirePowerWidget();
    programCreature = nullptr;
    programPowerName.clear();
    lastProgramText.clear();
}

UnsavedItems CharacterWindow::charactersToSave()
{
    runPendingPowerCheck();
    UnsavedItems unsaved;
    // A deletion is work too: dropped on quit, the character would come back.
    for (Creature* character : allCharacters())
        if (PendingChanges::isStandIn(character)) {
            unsaved.standIns.append(character->getName());
        } else if (character->isDirty() || character->isDeleted()) {
            unsaved.count++;
            unsaved.names.append(character->getName());
        }
    return unsaved;
}
