// The character creator's edits of the selected character: boxes, name,
// stat-block text, portrait, new characters, and changes made elsewhere.
#include "editors/characterwindow.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScopedValueRollback>
#include <QTimer>
#include <QToolButton>

#include "editors/characterdetails.h"
#include "editors/librarylistmodels.h"
#include "foundation/global.h"
#include "library/characters.h"
#include "toolkit/messagedialog.h"

void CharacterWindow::setEditBoxes(Creature* character)
{
    details->showCharacter(character);
    imports->showCharacter(character);
}

void CharacterWindow::setStatBlockText(const QString& text)
{
    if (statBlockEdit->toPlainText() != text)
        statBlockEdit->setPlainText(text);
}

void CharacterWindow::tell(const QString& title, const QString& text)
{
    MessageDialog().alert(title, text);
}

void CharacterWindow::editDone(Creature* character)
{
    setStatBlockText(character->getStatBlock());
    creatureDisplay.displayCreature(character);
    character->dirtyStateHasChanged();
    toggleCharacterButtons();
    listModel->characterChanged();
}

void CharacterWindow::editSelected(const std::function<void(Creature*)>& edit)
{
    Creature* character = listModel->getSelectedCharacter();
    if (updatingEditBoxes || !character)
        return;
    QScopedValueRollback<bool> guard(updatingEditBoxes, true);
    edit(character);
    editDone(character);
}

void CharacterWindow::attributeChanged(QWidget* widget)
{
    editSelected([this, widget](Creature* character) { details->applyEdit(widget, character); });
}

void CharacterWindow::onLinkedClicked()
{
    const bool linked = imports->getLinkedCheck()->isChecked();
    editSelected([linked](Creature* character) { character->setLinked(linked, false); });
}

void CharacterWindow::onNameChanged()
{
    Creature* character = listModel->getSelectedCharacter();
    if (updatingEditBoxes || !character)
        return;
    QScopedValueRollback<bool> guard(updatingEditBoxes, true);
    const QString oldName = character->getName();
    const QString newName = details->getNameEdit()->text();
    // Refused before it is set: no two characters share a name while the alert is open.
    if (nameRefused(character, newName))
        return;
    character->setName(newName);
    updateCharacter(character, oldName, newName, nullptr);
    setStatBlockText(character->getStatBlock());
}

void CharacterWindow::onNameLeft()
{
    // A refused name stays in the box only while the user is typing.
    Creature* character = listModel->getSelectedCharacter();
    if (updatingEditBoxes || !character || details->getNameEdit()->text() == character->getName())
        return;
    QScopedValueRollback<bool> guard(updatingEditBoxes, true);
    setEditBoxes(character);
}

bool CharacterWindow::nameRefused(Creature* character, const QString& newName)
{
    Creature* other = Global::characters->findCharacter(newName, character);
    if (!other)
        return false;
    const QString name = newName.toHtmlEscaped();
    tell(tr("Duplicate %1").arg(newName),
         other->isDeleted() ? tr("You have just deleted a character called <b>%1</b>.<p>You must save the change "
                                 "before you can create another character with the same name.")
                                  .arg(name)
                            : tr("You already have a character called <b>%1</b>.<p>Another one would cause "
                                 "confusion!")
                                  .arg(name));
    return true;
}

bool CharacterWindow::updateCharacter(Creature* character, const QString& oldName, const QString& newName,
                                      CreatureStats* stats)
{
    if (oldName != newName && nameRefused(character, newName))
        return false;
    if (stats) {
        details->followMaxima(character, [character, stats] { character->setStats(*stats); });
        setEditBoxes(character);
        programCharacterChanged(character, true);
    }
    creatureDisplay.displayCreature(character);
    character->dirtyStateHasChanged();
    if (oldName != newName)
        moveCharacter(character);
    toggleCharacterButtons();
    listModel->characterChanged();
    return true;
}

void CharacterWindow::onCharacterStatsChanged()
{
    Creature* character = listModel->getSelectedCharacter();
    if (updatingEditBoxes || !character)
        return;
    QScopedValueRollback<bool> guard(updatingEditBoxes, true);
    const QString text = statBlockEdit->toPlainText();
    const QString oldText = character->getStatBlock();
    if (text == oldText)
        return;
    CreatureStats stats;
    // Typing goes on until the text reads as a character.
    if (!Creature::parseStatBlock(false, text, stats, QString(), character->getFileName(), true))
        return;
    if (!updateCharacter(character, character->getName(), stats.name, &stats))
        statBlockEdit->setPlainText(oldText);
}

void CharacterWindow::onCreatureChanged(Creature* creature)
{
    if (creature && creature == programCreature && !checkingPower) {
        programTouched = true;
        // Changed from outside, its powers may be freed already: the editor must not reach them.
        if (!updatingEditBoxes)
            retirePowerWidget();
    }
    if (creature && creature->isHero() && !updatingEditBoxes) {
        // At once, shown or not: the next event of a replay looks its heroes up by name.
        QScopedValueRollback<bool> own(changingList, true);
        listModel->keepCharacterInOrder(creature);
        scheduleRefresh();
    }
}

void CharacterWindow::scheduleRefresh()
{
    // Many changes of one command, or of a replay, show once; a hidden window shows them when shown.
    if (!refreshPending && isVisible())
        QTimer::singleShot(0, this, &CharacterWindow::refreshChangedCharacters);
    refreshPending = true;
}

void CharacterWindow::refreshChangedCharacters()
{
    // An alert of an edit is open: the refresh waits for the edit to end.
    if (refreshPending && updatingEditBoxes) {
        QTimer::singleShot(50, this, &CharacterWindow::refreshChangedCharacters);
        return;
    }
    if (!refreshPending || !isVisible())
        return;
    refreshPending = false;
    QScopedValueRollback<bool> guard(updatingEditBoxes, true);
    {
        QScopedValueRollback<bool> own(changingList, true);
        listModel->sortCharacters();
    }
    if (Creature* selected = listModel->getSelectedCharacter()) {
        setStatBlockText(selected->getStatBlock());
        setEditBoxes(selected);
        programCharacterChanged(selected, true);
        creatureDisplay.displayCreature(selected);
    }
    toggleCharacterButtons();
    listModel->characterChanged();
}

void CharacterWindow::showSelected()
{
    Creature* character = listModel->getSelectedCharacter();
    setEditBoxes(character);
    programCharacterChanged(character, false);
    creatureDisplay.displayCreature(character);
    statBlockEdit->setPlainText(character ? character->getStatBlock() : QString());
    statBlockEdit->setEnabled(character);
    deleteButton->setEnabled(character);
    toggleCharacterButtons();
}

void CharacterWindow::onCharacterSelectionChanged()
{
    if (updatingEditBoxes)
        return;
    QScopedValueRollback<bool> guard(updatingEditBoxes, true);
    showSelected();
}

void CharacterWindow::characterStatsUpdated()
{
    scheduleRefresh();
}

Creature* CharacterWindow::newBlankCharacter(bool rested)
{
    auto* character = new Creature;
    character->setupDummyHero(Global::characters->getNewCharacter());
    if (rested)
        restAsNew(character);
    insertCharacter(character);
    character->setNew(true);
    character->setDirty(true);
    listModel->characterChanged();
    return character;
}

void CharacterWindow::restAsNew(Creature* character)
{
    character->takeExtendedRest(false, false);
    character->setBeforeVitality(character->getVitality());
    character->setBeforeName(character->getName());
}

void CharacterWindow::onNewCharacter()
{
    newBlankCharacter(true);
    statBlockEdit->selectAll();
    details->getNameEdit()->selectAll();
    details->getNameEdit()->setFocus(Qt::OtherFocusReason);
    toggleCharacterButtons();
}

void CharacterWindow::onSelectPortrait()
{
    if (!listModel->getSelectedCharacter())
        return;
    const QString file = Creature::selectPortraitFile();
    if (file.isEmpty())
        return;
    editSelected([this, &file](Creature* character) {
        character->setPortraitFile(file);
        setEditBoxes(character);
    });
}
