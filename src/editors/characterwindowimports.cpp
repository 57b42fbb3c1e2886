// The character creator's builder files: characters made from them, and
// their changes imported again by hand.
#include "editors/characterwindow.h"

#include <QPlainTextEdit>
#include <QScopedValueRollback>

#include "editors/librarylistmodels.h"
#include "foundation/global.h"
#include "library/characters.h"

Creature::ImportResult CharacterWindow::refreshImportFile(Creature* character, const QString& file, bool reimport)
{
    const QString oldName = character->getName();
    QScopedValueRollback<bool> guard(updatingEditBoxes, true);
    const Creature::ImportResult result = character->importFromFile(file, reimport);
    if (result != Creature::ImportResult::Imported)
        return result;
    setStatBlockText(character->getStatBlock());
    setEditBoxes(character);
    programCharacterChanged(character, true);
    creatureDisplay.displayCreature(character);
    if (character->getName() != oldName)
        moveCharacter(character);
    toggleCharacterButtons();
    listModel->characterChanged();
    return result;
}

void CharacterWindow::tellImportFailure(Creature::ImportResult result, const QString& file)
{
    if (result == Creature::ImportResult::NotFound)
        tell(tr("File Not Found"), tr("Import file, <b>%1</b>, not found.").arg(file.toHtmlEscaped()));
    else if (result == Creature::ImportResult::NotValid)
        tell(tr("Import Failed"),
             tr("Import file, <b>%1</b>, is not a character or monster file.").arg(file.toHtmlEscaped()));
}

void CharacterWindow::onAddFromFile()
{
    const QString file = Creature::selectImportFile();
    if (file.isEmpty())
        return;
    Creature* character = newBlankCharacter(false);
    const Creature::ImportResult result = refreshImportFile(character, file, false);
    if (result != Creature::ImportResult::Imported) {
        // Nothing of the file came: no blank character is left behind.
        character->setNew(false);
        character->setDirty(false);
        dropCharacter(character);
        toggleCharacterButtons();
        tellImportFailure(result, file);
        return;
    }
    restAsNew(character);
    character->setFileName(Global::characters->getImportedFileName(character));
}

void CharacterWindow::onSelectImport()
{
    Creature* character = listModel->getSelectedCharacter();
    if (!character)
        return;
    const QString file = Creature::selectImportFile();
    if (!file.isEmpty())
        tellImportFailure(refreshImportFile(character, file, true), file);
}

void CharacterWindow::onRefreshImport()
{
    Creature* character = listModel->getSelectedCharacter();
    if (!character || character->getImportFile().isEmpty())
        return;
    const QString file = character->getImportFile();
    tellImportFailure(refreshImportFile(character, file, true), file);
}
