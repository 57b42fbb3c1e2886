#ifndef CHARACTERWINDOW_H
#define CHARACTERWINDOW_H

#include <QListView>
#include <QPointer>
#include <QWidget>

#include <functional>

#include "creature/creature.h"
#include "foundation/dogtag.h"
#include "mainwindow/creaturedisplay.h"
#include "toolkit/windowsanddialogs.h"

// editors/: the library editors, that is the monster manager, the character
// creator and the encounter editor.

class CharacterDetails;
class CharacterImports;
class CharacterListModel;
class EventSignaler;
class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QSplitter;
class QTabWidget;
class QToolButton;

// The list of the character creator.
class CharacterView : public QListView
{
    Q_OBJECT

public:
    explicit CharacterView(QWidget* parent = nullptr) : QListView(parent) {}
    QSize sizeHint() const override { return QSize(160, 400); }
};

// The character creator: the party's characters in a filtered list beside
// the selected one's stat block, edited in boxes or as text, made blank or
// from builder files, and kept linked to those files. Edits change the
// library's characters at once and wait, marked, for "Save All".
class CharacterWindow : public QWidget, public WindowsAndDialogs
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
    // Imports the file into the character and shows it; the import's result.
    Creature::ImportResult refreshImportFile(Creature* character, const QString& file, bool reimport);

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
    DogTag dogTag{__LINE__, __FILE__};
};

#endif
