#ifndef MANAGERWINDOW_H
#define MANAGERWINDOW_H

#include <QIcon>
#include <QList>
#include <QString>
#include <QTreeView>
#include <QWidget>

#include <memory>

#include "editors/doubleplaintextedit.h"
#include "mainwindow/creaturedisplay.h"
#include "toolkit/itemviews.h"
#include "toolkit/windowsanddialogs.h"

class Creature;
class CreatureStats;
class EncounterData;
class EncounterListModel;
class EventSignaler;
class QCheckBox;
class QFileInfo;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPlainTextEdit;
class QPushButton;
class QSplitter;
class QTabWidget;
class QToolButton;
class TemplateListModel;
struct UnsavedItems;

// The monster manager's list of templates.
class MonsterView : public NameListView
{
    Q_OBJECT
};

// The monster manager's tree of prepared encounters.
class EncounterView : public QTreeView
{
    Q_OBJECT

public:
    // The monsters of an encounter stand two levels in.
    QSize sizeHint() const override { return nameListSizeHint(this) + QSize(2 * indentation(), 0); }
    // As a list of names, it keeps that width.
    QSize minimumSizeHint() const override { return {sizeHint().width(), QTreeView::minimumSizeHint().height()}; }
};

// The monster manager: the template list, the template editor with its
// "Edit", "View" and "Import" tabs, the encounter tree and the encounter
// editor, side by side. Edits wait in memory, marked, for "Save All"; only a
// fresh import from the import folder writes at once.
class ManagerWindow : public QWidget, public WindowsAndDialogs
{
    Q_OBJECT

public:
    explicit ManagerWindow(QWidget* parent = nullptr);
    ~ManagerWindow() override;

    // The import folder
    void fillImportDirList();
    // A data folder was loaded: the import list is read again, and the data
    // folder becomes the import folder when the user never chose one.
    void dataFolderLoaded();
    void setImportDir(const QString& dir);
    void setupImportDirPopup();
    void setImportDirFromPopup();
    void importTemplateFile(const QString& name, bool enterFolders);

    // The templates
    void addNewTemplate(Creature* creature);
    // False, with the reason told, when the template's monsters are in the
    // history log under its old name.
    bool renameAllowed(const QString& oldName, const QString& newName);
    // False, with the reason told, when the history log names monsters of the
    // template: renamed or deleted, they would come back as placeholders.
    bool templateOutOfHistory(const QString& group, bool deleting);
    // A clash of the template name in stats with another template is settled
    // by the user; false when he gave up or may not have the name.
    bool checkNameChange(const QString& oldName, QString& text, CreatureStats& stats, bool& nameChanged,
                         const Creature* renamed);
    void handlePossibleStatBlockChange();

    // The encounters
    int getPartySize() const;
    void rebuildAdventurePopups();

    // Pending changes: dirty and deleted items alike; changed stand-ins for
    // files that did not read apart.
    void monstersToSave(UnsavedItems& templates, UnsavedItems& encounters) const;
    // "Save All"; without standIns, the changed stand-ins stay as they are.
    bool saveAll(bool standIns);

    void toggleHistoryButtons();
    void toggleAllButtons();
    void toggleTemplateButtons();
    void toggleEncounterButtons();

public slots:
    void onFilterChanged(QObject* watched);
    void onTemplateSelectionChanged();
    void onTemplateTabChanged(int index);
    void onNewTemplate();
    void onNewAndPasteTemplate();
    void onTemplateStatsChanged();
    void onTemplatePortraitClicked();
    void onAddTemplate();
    void onDeleteTemplate();

    void onEncounterSelectionChanged();
    void onEncounterListUpdated();
    void onEncounterAdventureSelected(int);
    void onNewEncounter();
    void onDeleteEncounter();
    void onEncounterDataChanged();
    void onPartySizeChanged();
    void onNewMonster();
    void onDeleteMonster();
    void onMonsterNameChanged();
    void onMonsterDataChanged();

    // False when an item could not be written or removed; the user was told which.
    bool onSaveAll();
    void onRevertAll();

    void onSelectImportDir();
    void onImportSelected();
    void onImportDirPopupClicked();
    void onImportNextClicked();
    void onImportPrevDirClicked();
    void onImportRefreshClicked();
    void onImportDirSelectionChanged();
    void onImportDirDoubleClick(QListWidgetItem* item);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    enum ImportIcon { FolderIcon, BlankDocIcon, BlankImportIcon, BlankImportModIcon, MonsterDocIcon, ImportedIcon,
                      ImportedModIcon, ImportIconCount };

    QWidget* buildTemplateListPane();
    QWidget* buildTemplateEditorPane();
    QWidget* buildImportTab();
    QWidget* buildEncounterTreePane();
    QWidget* buildEncounterEditorPane();
    QWidget* buildSelectedEncounterBox();
    QWidget* buildSelectedMonsterBox();
    void createImportWidgets();
    void createTemplateButtons();
    void createEncounterWidgets();
    void connectEncounterEditor();
    void storeGeometry();
    QIcon importIcon(const QFileInfo& entry) const;
    // A new import, refused with a word before anything is copied when the loader would not take the file.
    void importNewFile(const QString& name, const QString& path);
    void reimportFile(Creature* monster, const QString& path);
    void stepImportHistory(int step);
    void showSelectedMonster();
    void applyEncounterFilter();
    // A monster of the group's template added to the encounter with a generated ID, ready to be typed over.
    void addEncounterMonster(EncounterData* encounter, const QString& templateName);
    // Marks, list and buttons after an edit of the encounter.
    void encounterEdited(EncounterData* encounter);
    QStringList saveTemplates(bool standIns);
    QStringList saveEncounters();
    void revertTemplates();
    void revertEncounters();

    EventSignaler* templateFilterSignaler = nullptr;
    EventSignaler* encounterFilterSignaler = nullptr;
    QIcon importIcons[ImportIconCount];
    QSplitter* splitter = nullptr;
    std::unique_ptr<TemplateListModel> templateListModel;
    MonsterView* templateView = nullptr;
    QLineEdit* templateFilterEdit = nullptr;
    bool inTemplateSelection = false;
    CreatureDisplay templateDisplay{true, false};
    DoublePlainTextEdit statBlockText;
    QTabWidget* templateTabs = nullptr;
    QString importDir;
    QPushButton* selectDirButton = nullptr;
    QPushButton* importSelectionButton = nullptr;
    QComboBox* importDirPopup = nullptr;
    QListWidget* importFileList = nullptr;
    QToolButton* nextDirButton = nullptr;
    QToolButton* prevDirButton = nullptr;
    QToolButton* refreshDirButton = nullptr;
    QList<QString> importDirHistory;
    int importDirIndex = -1;
    QToolButton* newTemplateButton = nullptr;
    QToolButton* newAndPasteButton = nullptr;
    QToolButton* deleteTemplateButton = nullptr;
    QToolButton* addTemplateButton = nullptr;
    EncounterView* encounterView = nullptr;
    std::unique_ptr<EncounterListModel> encounterListModel;
    bool loadingEncounter = false;
    bool updatingEncounter = false;
    QLineEdit* encounterFilterEdit = nullptr;
    QComboBox* adventureFilterPopup = nullptr;
    QLineEdit* encounterNameEdit = nullptr;
    QComboBox* adventurePopup = nullptr;
    QLabel* encounterFileLabel = nullptr;
    QPlainTextEdit* descriptionEdit = nullptr;
    QLabel* encounterLevelLabel = nullptr;
    QComboBox* partySizePopup = nullptr;
    QLabel* encounterXpLabel = nullptr;
    QToolButton* newEncounterButton = nullptr;
    QToolButton* deleteEncounterButton = nullptr;
    QLabel* monsterNameLabel = nullptr;
    QLabel* monsterLevelLabel = nullptr;
    QLabel* monsterXpLabel = nullptr;
    QLineEdit* monsterIdEdit = nullptr;
    QLineEdit* monsterAliasEdit = nullptr;
    QCheckBox* hiddenCheckBox = nullptr;
    QToolButton* addMonsterButton = nullptr;
    QToolButton* removeMonsterButton = nullptr;
    QComboBox* numberingPopup = nullptr;
    QComboBox* uniqueIdsPopup = nullptr;
    QToolButton* revertAllButton = nullptr;
    QToolButton* saveAllButton = nullptr;
    DogTag dogTag{__LINE__, __FILE__};
};

#endif
