#ifndef UIHOOKS_H
#define UIHOOKS_H

#include <QList>
#include <QString>
#include <QStringList>

class Creature;
class CreatureList;
class Effect;
class EncounterData;
class InitiativeList;
struct NestedEffect;
class Progress;

// Unsaved items of one kind in an editor.
struct UnsavedItems
{
    int count = 0;
    QStringList names;
    // Changed stand-ins for files that did not read: left out of the count, as no save can keep them.
    QStringList standIns;
};

// What the model asks of the windows. The ui library installs its own at
// start-up; without one the model runs headless: messages go to the log and
// every question is answered "Cancel". What the model only tells the windows
// goes through the SwitchBoard's signals instead.
class UiHooks
{
public:
    virtual ~UiHooks() = default;

    virtual void alert(const QString& title, const QString& text);
    // 2 "Select Folder...", 1 the action button, 0 "Cancel".
    virtual int badRootAlert(const QString& title, const QString& text, const QString& actionText);
    // The answers to a data folder's lock standing in the way: the button
    // labelled leaveText ("Quit" or "Cancel"), "Open Anyway" (offered only
    // when openable), or "Select Folder...".
    enum class LockedFolderAnswer { Leave, OpenAnyway, SelectFolder };
    virtual LockedFolderAnswer lockedFolderAlert(const QString& title, const QString& text, bool openable,
                                                 const QString& leaveText);
    virtual void debugText(const QString& text);
    // The file chosen in an open-file dialog; empty when cancelled.
    virtual QString getOpenFileName(const QString&, const QString&, const QString&) { return QString(); }

    // A progress dialog with a Cancel button; the caller owns it.
    virtual Progress* createProgress(const QString& label, int maximum);
    // The folder chosen in the data-folder dialog, which opens beside the
    // folder given, that folder selected; empty when cancelled.
    virtual QString getExistingDirectory(const QString&, const QString&) { return QString(); }
    // True when the user pressed the accept button rather than "Cancel".
    virtual bool rejectableAlert(const QString& title, const QString& text, const QString& acceptText);

    // Pickers and the initiative dialog: 0 when cancelled, else the button's code.
    virtual int pickMonster(Creature*&, QString&) { return 0; }
    virtual int pickCharacters(QList<Creature*>&, bool&) { return 0; }
    virtual int pickEncounter(QString&, EncounterData*&) { return 0; }
    virtual int rollInitiative(const CreatureList&, InitiativeList&, InitiativeList&) { return 0; }

    // The library editors. Headless: a party of five and nothing unsaved.
    virtual int getPartySize() { return 5; }
    virtual UnsavedItems charactersToSave() { return UnsavedItems(); }
    virtual void monstersToSave(UnsavedItems&, UnsavedItems&) {}
    // False when an item could not be saved; stand-ins are left as they are.
    virtual bool saveAllCharacters() { return true; }
    virtual bool saveAllMonsters() { return true; }
    virtual void fillImportDirList() {}

    // The amount of ongoing damage or regeneration the game master applies to
    // the creature, offered as the effect's amount; headless, that amount.
    virtual int promptForOngoingEffect(Creature*, Effect*, int amount) { return amount; }

    // The turn-end prompts. They answer false only when a cancellable prompt
    // was cancelled; a forced one counts its closing as OK. Sustaining takes
    // the sustained entries out of the list; the saving throws give the
    // entries saved, pointing into the list. Headless: nothing is sustained
    // and nothing saved.
    virtual bool removeSustained(QList<NestedEffect>&, bool) { return true; }
    virtual bool savingThrows(Creature*, const QList<NestedEffect>&, bool, QList<const NestedEffect*>&) { return true; }
    // Which of the delayed or readied creatures jumps in; null when cancelled.
    virtual Creature* getJumpInCreature(const QList<Creature*>&, const QList<Creature*>&) { return nullptr; }
};

#endif
