#include "editors/managerwindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QSplitter>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "editors/encounterlistmodel.h"
#include "editors/librarylistmodels.h"
#include "foundation/global.h"
#include "foundation/switchboard.h"
#include "library/encounters.h"
#include "library/monsters.h"
#include "toolkit/inputwidgets.h"
#include "toolkit/scrollandtabs.h"

namespace {

QVBoxLayout* column(QWidget* owner, int left, int top, int right, int bottom)
{
    auto* layout = new QVBoxLayout(owner);
    layout->setContentsMargins(left, top, right, bottom);
    return layout;
}

QGroupBox* groupBox(const QString& title, QVBoxLayout*& layout)
{
    auto* box = new QGroupBox(title);
    layout = column(box, 5, 5, 5, 5);
    return box;
}

// A panel frame around rows of settings.
QFrame* settingsFrame(std::initializer_list<QWidget*> rows)
{
    auto* frame = new QFrame;
    frame->setFrameStyle(QFrame::StyledPanel | QFrame::Plain);
    auto* layout = new QVBoxLayout(frame);
    for (QWidget* row : rows)
        layout->addWidget(row);
    return frame;
}

// Two buttons in the middle of a row, the spare width shared on both sides;
// narrow, one above the other.
QWidget* buttonRow(QWidget* first, QWidget* second)
{
    return WindowsAndDialogs::wrappingRow({first, second}, -1, true);
}

// A setting's title with its choice beside it, or above it where narrow.
QWidget* settingRow(const QString& title, QWidget* choice)
{
    return WindowsAndDialogs::wrappingRow({WindowsAndDialogs::htmlLabel(title), choice});
}

template <typename Widget>
Widget* tipped(Widget* widget, const QString& tip)
{
    widget->setToolTip(tip);
    return widget;
}

int pendingChanges(const Library* library)
{
    const CreatureCounts* counts = library ? library->getCounts() : nullptr;
    return counts ? counts->newCount + counts->dirtyCount + counts->deletedCount : 0;
}

}

ManagerWindow::ManagerWindow(QWidget* parent) : QWidget(parent)
{
    const char* const iconFiles[ImportIconCount] = {
        ":/images/folder.png", ":/images/blank-doc.png", ":/images/blank-import-doc.png",
        ":/images/blank-import-mod-doc.png", ":/images/monster-doc.png", ":/images/imported-doc.png",
        ":/images/imported-doc-mod.png"};
    for (int icon = 0; icon < ImportIconCount; icon++)
        importIcons[icon] = QIcon(iconFiles[icon]);

    splitter = new QSplitter(Qt::Horizontal);
    splitter->addWidget(buildTemplateListPane());
    connect(templateFilterSignaler, &EventSignaler::doEventReceived, this, &ManagerWindow::onFilterChanged);
    connect(templateListModel.get(), &TemplateListModel::doSelectionChanged, this,
            &ManagerWindow::onTemplateSelectionChanged);

    QString folder = QSettings().value("importMonsterDir/path").toString();
    if (folder.isEmpty())
        folder = Global::getRootPath(false);
    statBlockText.setEnabled(false);
    statBlockText.setToolTip(tr("Copy the text of a Stat Block from the D&D Compendium, PDF, etc. and paste here"));
    createImportWidgets();
    createTemplateButtons();
    setImportDir(folder);
    setupImportDirPopup();
    fillImportDirList();

    splitter->addWidget(buildTemplateEditorPane());
    connect(templateTabs, &QTabWidget::currentChanged, this, &ManagerWindow::onTemplateTabChanged);
    connect(selectDirButton, &QPushButton::clicked, this, &ManagerWindow::onSelectImportDir);
    connect(importSelectionButton, &QPushButton::clicked, this, &ManagerWindow::onImportSelected);
    connect(importDirPopup, &QComboBox::activated, this, &ManagerWindow::onImportDirPopupClicked);
    connect(nextDirButton, &QToolButton::clicked, this, &ManagerWindow::onImportNextClicked);
    connect(prevDirButton, &QToolButton::clicked, this, &ManagerWindow::onImportPrevDirClicked);
    connect(refreshDirButton, &QToolButton::clicked, this, &ManagerWindow::onImportRefreshClicked);
    connect(importFileList, &QListWidget::itemSelectionChanged, this, &ManagerWindow::onImportDirSelectionChanged);
    connect(importFileList, &QListWidget::itemDoubleClicked, this, &ManagerWindow::onImportDirDoubleClick);
    connect(newTemplateButton, &QToolButton::clicked, this, &ManagerWindow::onNewTemplate);
    connect(newAndPasteButton, &QToolButton::clicked, this, &ManagerWindow::onNewAndPasteTemplate);
    connect(deleteTemplateButton, &QToolButton::clicked, this, &ManagerWindow::onDeleteTemplate);
    connect(addTemplateButton, &QToolButton::clicked, this, &ManagerWindow::onAddTemplate);
    connect(&statBlockText, &DoublePlainTextEdit::doTextChanged, this, &ManagerWindow::onTemplateStatsChanged);
    connect(&templateDisplay, &CreatureDisplay::doPortraitClicked, this, &ManagerWindow::onTemplatePortraitClicked);

    splitter->addWidget(buildEncounterTreePane());
    connect(encounterFilterSignaler, &EventSignaler::doEventReceived, this, &ManagerWindow::onFilterChanged);
    connect(encounterListModel.get(), &EncounterListModel::doSelectionChanged, this,
            &ManagerWindow::onEncounterSelectionChanged);
    connect(adventureFilterPopup, &QComboBox::activated, this, &ManagerWindow::onEncounterAdventureSelected);
    createEncounterWidgets();
    splitter->addWidget(buildEncounterEditorPane());
    connectEncounterEditor();
    rebuildAdventurePopups();

    auto* frame = new QHBoxLayout(this);
    frame->setContentsMargins(10, 5, 10, 10);
    frame->addWidget(splitter);
    setWindowTitle(tr("Monster Manager"));
    templateView->setFocus(Qt::OtherFocusReason);
}

ManagerWindow::~ManagerWindow()
{
    delete templateFilterSignaler;
    delete encounterFilterSignaler;
    // A field losing the focus as it goes would call a window already half gone.
    for (QObject* child : findChildren<QObject*>())
        disconnect(child, nullptr, this, nullptr);
    // Shutting down with the window open.
    if (isVisible())
        storeGeometry();
}

QWidget* ManagerWindow::buildTemplateListPane()
{
    templateFilterEdit = new QLineEdit;
    templateFilterEdit->setPlaceholderText(tr("Enter filter text"));
    templateFilterSignaler = new EventSignaler;
    templateFilterEdit->installEventFilter(templateFilterSignaler);
    templateView = new MonsterView;
    // One line each: a rename re-sorts thousands of rows without measuring every one.
    templateView->setUniformItemSizes(true);
    templateListModel = std::make_unique<TemplateListModel>();
    templateView->setModel(templateListModel.get());
    templateListModel->setView(templateView);

    QVBoxLayout* inner;
    QGroupBox* box = groupBox(tr("Monster"), inner);
    inner->addWidget(templateFilterEdit);
    inner->addWidget(templateView);
    auto* pane = new QWidget;
    column(pane, 1, 0, 1, 0)->addWidget(box);
    return pane;
}

void ManagerWindow::createImportWidgets()
{
    selectDirButton = tipped(new QPushButton(tr("Select Directory...")), tr("Select a directory with files to import"));
    importSelectionButton
        = tipped(new QPushButton(tr("Import Selection")), tr("Import or re-import selected monster files"));
    importSelectionButton->setEnabled(false);
    importDirPopup = new PathComboBox;
    importFileList = new QListWidget;
    importFileList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    prevDirButton = tipped(toolButton(tr("Previous"), 20, 20, ArrowLeft), tr("Previous directory"));
    nextDirButton = tipped(toolButton(tr("Next"), 20, 20, ArrowRight), tr("Next directory"));
    refreshDirButton = tipped(toolButton(tr("Refresh"), 20, 20), tr("Refresh directory list"));
    refreshDirButton->setIcon(QIcon(":/images/refresh.png"));
    refreshDirButton->setIconSize(QSize(16, 16));
    refreshDirButton->setToolButtonStyle(Qt::ToolButtonIconOnly);
}

void ManagerWindow::createTemplateButtons()
{
    newTemplateButton = tipped(toolButton(tr("New"), 48, 24), tr("Create a new monster"));
    newAndPasteButton
        = tipped(toolButton(tr("New && Paste"), 84, 24), tr("Use already copied data to create a monster"));
    deleteTemplateButton = tipped(toolButton(tr("Delete"), 48, 24), tr("Delete this monster"));
    deleteTemplateButton->setEnabled(false);
    addTemplateButton = tipped(toolButton(tr("Add"), 48, 24, ArrowRight), tr("Add this monster to the encounter"));
    // An arrow alone would hide the word.
    addTemplateButton->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    addTemplateButton->setEnabled(false);
}

QWidget* ManagerWindow::buildTemplateEditorPane()
{
    QGridLayout* grid = templateDisplay.standardDisplay();
    grid->setContentsMargins(5, 0, 5, 5);
    grid->setColumnStretch(1, 2);
    QVBoxLayout* textLayout;
    QGroupBox* textBox = groupBox(tr("Stat Block Text"), textLayout);
    textLayout->addWidget(statBlockText.getTextEdit1());
    textLayout->addWidget(statBlockText.getTextEdit2());
    grid->addWidget(textBox, grid->rowCount(), 0, 1, grid->columnCount());
    auto* editTab = new QWidget;
    editTab->setLayout(grid);

    auto* viewTab = new QWidget;
    column(viewTab, 5, 0, 5, 5)->addWidget(templateDisplay.getStatBlockDisplay());

    templateTabs = new WholeTitlesTabWidget;
    templateTabs->addTab(editTab, tr("Edit"));
    templateTabs->addTab(viewTab, tr("View"));
    templateTabs->addTab(buildImportTab(), tr("Import"));

    // Room for the stat block of the "View" tab, and a little more for the
    // type line of the "Edit" tab beside the portrait.
    auto* pane = new PaneWidget(statBlockWidth(this) + 32);
    QVBoxLayout* layout = column(pane, 2, 32, 2, 0);
    layout->addWidget(templateTabs);
    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->addStretch(2);
    for (QWidget* button : {newTemplateButton, newAndPasteButton, deleteTemplateButton, addTemplateButton})
        buttons->addWidget(button);
    buttons->addStretch(2);
    layout->addWidget(layoutToWidget(buttons));
    return pane;
}

QWidget* ManagerWindow::buildImportTab()
{
    auto* tab = new QWidget;
    QVBoxLayout* layout = column(tab, 5, 0, 5, 5);
    layout->addWidget(hWidget(selectDirButton, importSelectionButton));
    layout->addWidget(hWidget(importDirPopup, prevDirButton, nextDirButton, refreshDirButton));
    layout->addWidget(importFileList);
    return tab;
}

QWidget* ManagerWindow::buildEncounterTreePane()
{
    encounterFilterEdit = new QLineEdit;
    encounterFilterEdit->setPlaceholderText(tr("Enter filter text"));
    encounterFilterSignaler = new EventSignaler;
    encounterFilterEdit->installEventFilter(encounterFilterSignaler);
    adventureFilterPopup = new QComboBox;
    encounterView = new EncounterView;
    encounterView->setHeaderHidden(true);
    encounterListModel = std::make_unique<EncounterListModel>();
    encounterView->setModel(encounterListModel.get());
    encounterListModel->setView(encounterView);

    QVBoxLayout* inner;
    QGroupBox* box = groupBox(tr("Encounter"), inner);
    inner->addWidget(encounterFilterEdit);
    inner->addWidget(adventureFilterPopup);
    inner->addWidget(encounterView);
    auto* pane = new QWidget;
    column(pane, 1, 0, 1, 0)->addWidget(box);
    return pane;
}

void ManagerWindow::createEncounterWidgets()
{
    encounterNameEdit = new QLineEdit;
    encounterNameEdit->setEnabled(false);
    adventurePopup = new QComboBox;
    adventurePopup->setEditable(true);
    encounterFileLabel = new QLabel;
    // A long file name breaks at its hyphens rather than widen the window.
    encounterFileLabel->setWordWrap(true);
    descriptionEdit = new QPlainTextEdit;
    descriptionEdit->setEnabled(false);
    encounterLevelLabel = new QLabel;
    encounterXpLabel = new QLabel;
    partySizePopup = tipped(new QComboBox, tr("The party size determines the level of the encounter"));
    for (int size = 1; size <= 12; size++)
        partySizePopup->addItem(QString::number(size));
    partySizePopup->setCurrentIndex(4);
    newEncounterButton = tipped(toolButton(tr("New Encounter"), 0, 24), tr("Create a new encounter"));
    deleteEncounterButton = tipped(toolButton(tr("Delete Encounter"), 0, 24), tr("Delete this encounter"));
    deleteEncounterButton->setEnabled(false);

    monsterNameLabel = htmlLabel("");
    monsterLevelLabel = new QLabel;
    monsterXpLabel = new QLabel;
    monsterIdEdit = tipped(new QLineEdit, tr("The ID identifies a Monster uniquely in an encounter"));
    monsterAliasEdit = tipped(new QLineEdit, tr("Hide the Monster's name by providing an alias"));
    hiddenCheckBox = tipped(new QCheckBox(tr("Hide at start of encounter")),
                            tr("Check if you want this monster to be hidden when the encounter starts"));
    addMonsterButton = tipped(toolButton(tr("Add Monster"), 0, 24), tr("Add one more"));
    removeMonsterButton
        = tipped(toolButton(tr("Remove Monster"), 0, 24), tr("Remove this monster from the encounter"));
    for (QWidget* field : std::initializer_list<QWidget*>{monsterIdEdit, monsterAliasEdit, hiddenCheckBox,
                                                          addMonsterButton, removeMonsterButton})
        field->setEnabled(false);
    numberingPopup = tipped(new QComboBox, tr("Select the numbering schema used to generated default IDs"));
    numberingPopup->addItems({tr("1, 2, 3, ..."), tr("A, B, C, ..."), tr("X1, X2, X3, ...")});
    uniqueIdsPopup = tipped(new QComboBox,
                            tr("Select if you want IDs to be unique per Monster group or for the entire Encounter"));
    uniqueIdsPopup->addItems({tr("per Group"), tr("per Encounter")});
    revertAllButton = tipped(toolButton(tr("Revert All"), 80, 28), tr("Discard all changes"));
    revertAllButton->setEnabled(false);
    saveAllButton = tipped(toolButton(tr("Save All"), 80, 28), tr("Save all changes"));
    saveAllButton->setEnabled(false);
}

QWidget* ManagerWindow::buildSelectedEncounterBox()
{
    QVBoxLayout* layout;
    QGroupBox* box = groupBox(tr("Selected Encounter"), layout);
    layout->addWidget(hWidget(htmlLabel(tr("<b>Name</b>")), encounterNameEdit));
    auto* adventureRow = hLayout(htmlLabel(tr("<b>Adventure</b>")), adventurePopup);
    adventureRow->setStretchFactor(adventurePopup, 2);
    layout->addWidget(layoutToWidget(adventureRow));
    layout->addWidget(hWidget(false, true, htmlLabel(tr("<b>File</b>")), encounterFileLabel));
    layout->addWidget(htmlLabel(tr("<b>Description</b>")));
    layout->addWidget(descriptionEdit);
    layout->addWidget(hWidget(false, true, htmlLabel(tr("<b>Level</b>")), encounterLevelLabel,
                              htmlLabel(tr("<b>XP</b>")), encounterXpLabel));
    layout->addWidget(buttonRow(newEncounterButton, deleteEncounterButton));
    layout->addWidget(settingsFrame({settingRow(tr("<b>Party Size</b>"), partySizePopup)}));
    return box;
}

QWidget* ManagerWindow::buildSelectedMonsterBox()
{
    QVBoxLayout* layout;
    QGroupBox* box = groupBox(tr("Selected Monster"), layout);
    layout->addWidget(hWidget(false, true, htmlLabel(tr("<b>Name</b>")), monsterNameLabel));
    layout->addWidget(hWidget(false, true, htmlLabel(tr("<b>Level</b>")), monsterLevelLabel,
                              htmlLabel(tr("<b>XP</b>")), monsterXpLabel));
    layout->addWidget(hWidget(htmlLabel(tr("<b>ID</b>")), monsterIdEdit));
    layout->addWidget(hWidget(htmlLabel(tr("<b>Alias</b>")), monsterAliasEdit));
    layout->addWidget(hiddenCheckBox);
    layout->addWidget(buttonRow(addMonsterButton, removeMonsterButton));
    layout->addWidget(settingsFrame({settingRow(tr("<b>Default Numbering</b>"), numberingPopup),
                                     settingRow(tr("<b>Unique IDs</b>"), uniqueIdsPopup)}));
    return box;
}

// Short of height the two boxes scroll; the buttons below them stay in sight.
QWidget* ManagerWindow::buildEncounterEditorPane()
{
    auto* boxes = new QWidget;
    QVBoxLayout* boxLayout = column(boxes, 0, 0, 0, 0);
    boxLayout->addWidget(buildSelectedEncounterBox());
    boxLayout->addWidget(buildSelectedMonsterBox());
    auto* pane = new PaneWidget;
    pane->setContentsMargins(1, 20, 0, 0);
    QVBoxLayout* layout = column(pane, 0, 0, 0, 0);
    layout->addWidget(new ScrollingPane(boxes), 1);
    layout->addWidget(buttonRow(revertAllButton, saveAllButton));
    return pane;
}

void ManagerWindow::connectEncounterEditor()
{
    connect(newEncounterButton, &QToolButton::clicked, this, &ManagerWindow::onNewEncounter);
    connect(deleteEncounterButton, &QToolButton::clicked, this, &ManagerWindow::onDeleteEncounter);
    connect(encounterNameEdit, &QLineEdit::textEdited, this, &ManagerWindow::onEncounterDataChanged);
    connect(adventurePopup, &QComboBox::activated, this, &ManagerWindow::onEncounterDataChanged);
    connect(adventurePopup, &QComboBox::editTextChanged, this, &ManagerWindow::onEncounterDataChanged);
    connect(descriptionEdit, &QPlainTextEdit::textChanged, this, &ManagerWindow::onEncounterDataChanged);
    connect(partySizePopup, &QComboBox::activated, this, &ManagerWindow::onPartySizeChanged);
    connect(addMonsterButton, &QToolButton::clicked, this, &ManagerWindow::onNewMonster);
    connect(removeMonsterButton, &QToolButton::clicked, this, &ManagerWindow::onDeleteMonster);
    connect(monsterIdEdit, &QLineEdit::textEdited, this, &ManagerWindow::onMonsterNameChanged);
    connect(monsterAliasEdit, &QLineEdit::textEdited, this, &ManagerWindow::onMonsterDataChanged);
    connect(hiddenCheckBox, &QCheckBox::stateChanged, this, &ManagerWindow::onMonsterDataChanged);
    connect(revertAllButton, &QToolButton::clicked, this, &ManagerWindow::onRevertAll);
    connect(saveAllButton, &QToolButton::clicked, this, &ManagerWindow::onSaveAll);
    if (Global::encounters)
        connect(Global::encounters, &Encounters::doEncountersUpdated, this, &ManagerWindow::onEncounterListUpdated);
    // A refused name or ID shows the one the encounter kept once the field is left.
    connect(encounterNameEdit, &QLineEdit::editingFinished, this, &ManagerWindow::onEncounterSelectionChanged);
    connect(monsterIdEdit, &QLineEdit::editingFinished, this, &ManagerWindow::onEncounterSelectionChanged);
}

void ManagerWindow::toggleHistoryButtons()
{
    const int count = importDirHistory.size();
    nextDirButton->setEnabled(importDirIndex >= -1 && importDirIndex + 1 < count);
    prevDirButton->setEnabled(importDirIndex > 0 && importDirIndex <= count);
}

void ManagerWindow::toggleAllButtons()
{
    const bool pending = pendingChanges(Global::monsters) + pendingChanges(Global::encounters) != 0;
    saveAllButton->setEnabled(pending);
    revertAllButton->setEnabled(pending);
}

void ManagerWindow::toggleTemplateButtons()
{
    newTemplateButton->setEnabled(true);
    newAndPasteButton->setEnabled(true);
    const bool selected = templateListModel->getSelectedTemplate();
    deleteTemplateButton->setEnabled(selected);
    addTemplateButton->setEnabled(selected);
    toggleAllButtons();
}

void ManagerWindow::toggleEncounterButtons()
{
    newEncounterButton->setEnabled(true);
    deleteEncounterButton->setEnabled(encounterListModel->getSelectedEncounter());
    toggleAllButtons();
}

void ManagerWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    restoreWindowState(this, splitter, "managerWindow");
}

void ManagerWindow::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    storeGeometry();
}

void ManagerWindow::storeGeometry()
{
    storeWindowState(this, splitter, "managerWindow");
}
