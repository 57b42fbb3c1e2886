#include "app/windowhooks.h"

#include <QFileDialog>

#include "app/loaddialogs.h"
#include "combat/initiativedialog.h"
#include "combat/jumpindialog.h"
#include "combat/pickcharactersdialog.h"
#include "combat/pickencounterdialog.h"
#include "combat/pickmonsterdialog.h"
#include "combat/turndialogs.h"
#include "creature/effect.h"
#include "editors/characterwindow.h"
#include "editors/managerwindow.h"
#include "foundation/global.h"
#include "mainwindow/mainwindow.h"
#include "toolkit/messagedialog.h"

void WindowHooks::alert(const QString& title, const QString& text)
{
    MessageDialog().alert(title, text);
}

int WindowHooks::badRootAlert(const QString& title, const QString& text, const QString& actionText)
{
    return MessageDialog().badRootAlert(title, text, actionText);
}

UiHooks::LockedFolderAnswer WindowHooks::lockedFolderAlert(const QString& title, const QString& text, bool openable,
                                                           const QString& leaveText)
{
    return MessageDialog().lockedFolderAlert(title, text, openable, leaveText);
}

bool WindowHooks::rejectableAlert(const QString& title, const QString& text, const QString& acceptText)
{
    return MessageDialog().rejectableAlert(title, text, acceptText);
}

Progress* WindowHooks::createProgress(const QString& label, int maximum)
{
    return new DialogProgress(label, maximum);
}

QString WindowHooks::getExistingDirectory(const QString&, const QString& near)
{
    return LoadDialogs::chooseDataFolder(near);
}

QString WindowHooks::getOpenFileName(const QString& title, const QString& folder, const QString& filter)
{
    return QFileDialog::getOpenFileName(nullptr, title, folder, filter);
}

void WindowHooks::debugText(const QString& text)
{
    if (Global::mainWindow)
        Global::mainWindow->debugStr(text);
    else
        UiHooks::debugText(text);
}

int WindowHooks::pickMonster(Creature*& monster, QString& alias)
{
    PickMonsterDialog dialog;
    const int code = dialog.exec();
    if (code != 0)
        monster = dialog.getSelectedMonster(alias);
    return code;
}

int WindowHooks::pickCharacters(QList<Creature*>& party, bool& add)
{
    PickCharactersDialog dialog;
    const int code = dialog.exec();
    if (code != 0)
        party = dialog.getParty(add).getCreatureList();
    return code;
}

int WindowHooks::pickEncounter(QString& adventure, EncounterData*& encounter)
{
    PickEncounterDialog dialog(adventure);
    const int code = dialog.exec();
    encounter = dialog.getSelectedEncounter(adventure);
    return code;
}

int WindowHooks::rollInitiative(const CreatureList& list, InitiativeList& heroes, InitiativeList& monsters)
{
    InitiativeDialog dialog(list);
    const int code = dialog.exec();
    if (code != 0) {
        heroes = dialog.getHeroInitiative();
        monsters = dialog.getMonsterInitiative();
    }
    return code;
}

int WindowHooks::promptForOngoingEffect(Creature* creature, Effect* effect, int)
{
    return ApplyDialog().promptForOngoingEffect(creature, effect);
}

bool WindowHooks::removeSustained(QList<NestedEffect>& entries, bool cancellable)
{
    return SustainDialog().removeSustained(entries, cancellable);
}

bool WindowHooks::savingThrows(Creature* creature, const QList<NestedEffect>& entries, bool cancellable,
    QList<const NestedEffect*>& saved)
{
    SavingThrowDialog dialog(creature, entries, cancellable);
    // A forced question closed counts as answered.
    if (dialog.exec() == QDialog::Rejected && cancellable)
        return false;
    saved = dialog.getSavedEffects();
    return true;
}

Creature* WindowHooks::getJumpInCreature(const QList<Creature*>& delayed, const QList<Creature*>& readied)
{
    JumpInDialog dialog(delayed, readied);
    return dialog.exec() == QDialog::Accepted ? dialog.getJumpInCreature() : nullptr;
}

void WindowHooks::fillImportDirList()
{
    if (Global::managerWindow)
        Global::managerWindow->dataFolderLoaded();
}

int WindowHooks::getPartySize()
{
    return Global::managerWindow ? Global::managerWindow->getPartySize() : UiHooks::getPartySize();
}

void WindowHooks::monstersToSave(UnsavedItems& templates, UnsavedItems& encounters)
{
    if (Global::managerWindow)
        Global::managerWindow->monstersToSave(templates, encounters);
}

bool WindowHooks::saveAllMonsters()
{
    return !Global::managerWindow || Global::managerWindow->saveAll(false);
}

UnsavedItems WindowHooks::charactersToSave()
{
    return Global::characterWindow ? Global::characterWindow->charactersToSave() : UnsavedItems();
}

bool WindowHooks::saveAllCharacters()
{
    return !Global::characterWindow || Global::characterWindow->saveAll(false);
}
