#ifndef WINDOWHOOKS_H
#define WINDOWHOOKS_H

#include "foundation/uihooks.h"

// The model's messages, questions and progress shown in the program's own
// message boxes and dialogs.
class WindowHooks : public UiHooks
{
public:
    void alert(const QString& title, const QString& text) override;
    int badRootAlert(const QString& title, const QString& text, const QString& actionText) override;
    LockedFolderAnswer lockedFolderAlert(const QString& title, const QString& text, bool openable,
                                         const QString& leaveText) override;
    bool rejectableAlert(const QString& title, const QString& text, const QString& acceptText) override;
    Progress* createProgress(const QString& label, int maximum) override;
    QString getExistingDirectory(const QString&, const QString& near) override;
    QString getOpenFileName(const QString& title, const QString& folder, const QString& filter) override;
    // Debug lines go to the main window's debug window.
    void debugText(const QString& text) override;
    int pickMonster(Creature*& monster, QString& alias) override;
    int pickCharacters(QList<Creature*>& party, bool& add) override;
    int pickEncounter(QString& adventure, EncounterData*& encounter) override;
    int rollInitiative(const CreatureList& list, InitiativeList& heroes, InitiativeList& monsters) override;
    int promptForOngoingEffect(Creature* creature, Effect* effect, int amount) override;
    bool removeSustained(QList<NestedEffect>& entries, bool cancellable) override;
    bool savingThrows(Creature* creature, const QList<NestedEffect>& entries, bool cancellable,
        QList<const NestedEffect*>& saved) override;
    Creature* getJumpInCreature(const QList<Creature*>& delayed, const QList<Creature*>& readied) override;
    void fillImportDirList() override;
    int getPartySize() override;
    UnsavedItems charactersToSave() override;
    bool saveAllCharacters() override;
    void monstersToSave(UnsavedItems& templates, UnsavedItems& encounters) override;
    bool saveAllMonsters() override;
};

#endif
