#ifndef CHARACTERWINDOW_H
#define CHARACTERWINDOW_H

#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>

#include "creature/creature.h"
#include "foundation/dogtag.h"
#include "mainwindow/creaturedisplay.h"
#include "powerdialog/effectcreatures.h"
#include "powerdialog/powerwidget.h"
#include "toolkit/itemviews.h"
#include "toolkit/scrollandtabs.h"
#include "toolkit/windowsanddialogs.h"

// editors/: the library editors, that is the monster manager, the character
// creator and the encounter editor.

class CharacterDetails;
class CharacterImports;
class CharacterListModel;
class EventSignaler;
struct UnsavedItems;
class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QSplitter;
class QTabWidget;
class QToolButton;

// The list of the character creator.
class CharacterView : public NameListView
{
    Q_OBJECT

public:
    using NameListView::NameListView;
};

// The character creator: the party's characters in a filtered list beside
// the selected one's stat block, edited in boxes or as text, made blank or
// from builder files, kept linked to those files, and their powers
// programmed. Edits change the library's characters at once and wait,
// marked, for "Save All".
class CharacterWindow : public QWidget, public PowerEditInterface, public CreatureInterface, public WindowsAndDialogs
{
    Q_OBJECT

public:
    explicit CharacterWindow(QWidget* parent = nullptr);
    ~CharacterWindow() override;

    void toggleAllButtons();
    void toggleCharacterButtons();

    // Fills the tabs from the character, or blanks them; changes no character.
    void setEditBoxes(Creature* character);
    // The rename check and the refresh after a change of name or figures;
    // false, with nothing changed, when another character has the name.
    bool updateCharacter(Creature* character, const QString& oldName, const QString& newName, CreatureStats* stats);
    // Tells why another character's name cannot be taken; false when it is free.
    bool nameRefused(Creature* character, const QString& newName);
    // Imports the file into the character and shows it; the import's result.
    Creature::ImportResult refreshImportFile(Creature* character, const QString& file, bool reimport);

    // The powers tab: the editor calls these after each change of a program.
    void rebuildDialog(PowerStep* step, Power::StepType tab, int hitScroll, int missScroll, int effectScroll, bool,
                       bool skip) override;
    void powerStepChanged(PowerStep* step) override;
    void stepsReshaped(PowerStep* step) override;
    void originChanged(Creature*) override {}
    void powerHeaderChanged(bool rebuild) override;
    // Points the powers tab at the character; outside, its powers may have been replaced.
    void programCharacterChanged(Creature* character, bool outside);
    void selectProgramPower(Creature* character, CreaturePower* power, Power::StepType tab, int hitScroll,
                            int missScroll, int effectScroll);
    // The check of the programmed power that waits for a pause of the edits,
    // run at once: before saving, reverting, quitting or hiding.
    void runPendingPowerCheck();
    // Dirty and deleted characters alike, after the pending power check;
    // changed stand-ins for files that did not read apart.
    UnsavedItems charactersToSave();
    // "Save All"; without standIns, the changed stand-ins stay as they are.
    bool saveAll(bool standIns);

public slots:
    void onFilterChanged(QObject* sender);
    void onWriteableClicked();
    void onCharacterListChanged();
    void onCharacterSelectionChanged();
    void onCreatureChanged(Creature* creature);
    void onNewCharacter();
    void onCharacterStatsChanged();
    void onSelectPortrait();
    void onNameChanged();
    void onNameLeft();
    void attributeChanged(QWidget* widget);
    void onLinkedClicked();
    void onAddFromFile();
    void onSelectImport();
    void onRefreshImport();
    // Figures of characters changed elsewhere, such as an extended rest that re-imported them.
    void characterStatsUpdated();
    void onPowerChecked();
    void onPowerClicked(Creature* character, CreaturePower* power);
    void onDeleteCharacter();
    // False when a character could not be written or removed; the user was told which.
    bool onSaveAll();
    void onRevertAll();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void buildButtons();
    QWidget* buildListPane();
    QWidget* buildTabsPane();
    QWidget* buildStatBlockTab();
    void connectWidgets();
    // The selected character's text, boxes and stat block; the list's rows and marks.
    void showSelected();
    void scheduleRefresh();
    void refreshChangedCharacters();
    // After an edit of the selected character: the text pane, the stat block,
    // its mark, the buttons and the list.
    void editDone(Creature* character);
    // Runs the edit on the selected character, unless the window fills its boxes.
    void editSelected(const std::function<void(Creature*)>& edit);
    void setStatBlockText(const QString& text);
    // The model announces the library's own changes; the window's are no reload.
    void insertCharacter(Creature* character);
    void moveCharacter(Creature* character);
    // Out of the list and the library; kept alive until the library is reset.
    void dropCharacter(Creature* character);
    // A "New Character" in the list, selected, new and dirty.
    Creature* newBlankCharacter(bool rested);
    // Full figures, recorded as the ones it starts with.
    static void restAsNew(Creature* character);
    void tell(const QString& title, const QString& text);
    QWidget* buildPowersTab();
    // The power named programPowerName of the programmed character; null when gone.
    CreaturePower* programmedPower() const;
    // True when the program changed: the stat block is written anew from it.
    bool powerChanged();
    void schedulePowerCheck(int milliseconds);
    // The editor leaves at once and is deleted once its own handlers have returned.
    void retirePowerWidget();
    // The power editor closed and nothing programmed: a revert replaces the powers it showed.
    void forgetProgrammedPower();
    void tellImportFailure(Creature::ImportResult result, const QString& file);

    EventSignaler* filterSignaler;
    QSplitter* splitter = nullptr;
    CharacterListModel* listModel;
    QLineEdit* filterEdit = nullptr;
    CharacterView* listView = nullptr;
    QTabWidget* tabs = nullptr;
    int powersTabIndex = 2;
    bool updatingEditBoxes = false;
    bool changingList = false;
    // Characters changed outside the window while it was hidden or before the next tick.
    bool refreshPending = false;
    CreatureDisplay creatureDisplay{true, false};
    QPlainTextEdit* statBlockEdit = nullptr;
    QCheckBox* writeableCheck = nullptr;
    CharacterDetails* details = nullptr;
    CharacterImports* imports = nullptr;
    QToolButton* newButton = nullptr;
    QToolButton* addFromFileButton = nullptr;
    QToolButton* deleteButton = nullptr;
    QToolButton* revertAllButton = nullptr;
    QToolButton* saveAllButton = nullptr;
    EffectCreatures effectCreatures{true, nullptr, QString(), QString(), {}, {}, this};
    QTimer powerCheckTimer;
    TabHandler tabHandler;
    ResizableScrollArea* powerScrollArea = nullptr;
    QPointer<Creature> programCreature;
    QString programPowerName;
    // The power the editor edits in place, only compared, never followed:
    // a re-import or a revert replaces the powers under the same name.
    const CreaturePower* programPower = nullptr;
    // The programmed character changed since the editor was built: its powers may be others.
    bool programTouched = false;
    bool checkingPower = false;
    // The list the editor showed, kept for the editor built after an outside change.
    Power::StepType programTab = Power::Hit;
    QString lastProgramText;
    QPointer<PowerWidget> powerWidget;
    DogTag dogTag{__LINE__, __FILE__};
};

#endif
