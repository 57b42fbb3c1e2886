#include "editors/characterwindow.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScopedValueRollback>
#include <QSettings>
#include <QSplitter>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "editors/characterdetails.h"
#include "editors/librarylistmodels.h"
#include "foundation/global.h"
#include "foundation/switchboard.h"
#include "library/characters.h"

namespace {

QWidget* pane(QWidget* top, QWidget* rest, int left, int right, int leastWidth = 0)
{
    auto* layout = new QVBoxLayout;
    layout->setContentsMargins(left, 5, right, 5);
    for (QWidget* widget : {top, rest})
        if (widget)
            layout->addWidget(widget);
    auto* widget = new PaneWidget(leastWidth);
    widget->setLayout(layout);
    return widget;
}

}

CharacterWindow::CharacterWindow(QWidget* parent)
    : QWidget(parent), filterSignaler(new EventSignaler), listModel(new CharacterListModel)
{
    statBlockEdit = new QPlainTextEdit;
    statBlockEdit->setEnabled(false);
    writeableCheck = new QCheckBox(tr("Stat block writeable"));
    buildButtons();
    details = new CharacterDetails;
    imports = new CharacterImports;
    const bool readOnly = QSettings().value("characterWindow/statBlockReadOnly", true).toBool();
    statBlockEdit->setReadOnly(readOnly);
    writeableCheck->setChecked(!readOnly);

    splitter = new QSplitter;
    splitter->addWidget(buildListPane());
    splitter->addWidget(pane(creatureDisplay.getStatBlockDisplay(), nullptr, 0, 0, 320));
    splitter->addWidget(pane(buildTabsPane(), nullptr, 0, 5, 320));
    for (const auto& [index, stretch] : {std::pair{0, 10}, {1, 8}, {2, 10}})
        splitter->setStretchFactor(index, stretch);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(5, 5, 5, 5);
    layout->addWidget(splitter);

    setWindowTitle(tr("Character Creator"));
    connectWidgets();
    toggleCharacterButtons();
}

CharacterWindow::~CharacterWindow()
{
    delete filterSignaler;
    if (isVisible())
        hideEvent(nullptr);
    // A box losing the focus as it goes would call a window already half gone.
    for (QObject* child : findChildren<QObject*>())
        disconnect(child, nullptr, this, nullptr);
    // The view goes with the widgets; the model must not outlive its last use by them.
    listView->setModel(nullptr);
    delete listModel;
}

void CharacterWindow::buildButtons()
{
    const auto button = [this](const QString& text, int width, int height, const QString& tip) {
        QToolButton* made = toolButton(text, width, height);
        made->setToolTip(tip);
        return made;
    };
    newButton = button(tr("New"), 48, 24, tr("Create a new character"));
    addFromFileButton = button(tr("Add From File..."), 120, 24, tr("Create a character from a .dnd4e or .monster file"));
    deleteButton = button(tr("Delete"), 48, 24, tr("Remove the selected character"));
    revertAllButton = button(tr("Revert All"), 80, 28, tr("Discard all changes"));
    saveAllButton = button(tr("Save All"), 80, 28, tr("Save all changes"));
}

QWidget* CharacterWindow::buildListPane()
{
    filterEdit = new QLineEdit;
    filterEdit->setPlaceholderText(tr("Enter filter text"));
    filterEdit->installEventFilter(filterSignaler);
    listView = new CharacterView;
    listView->setModel(listModel);
    listModel->setView(listView);
    return pane(filterEdit, listView, 5, 0);
}

QWidget* CharacterWindow::buildStatBlockTab()
{
    QGridLayout* grid = creatureDisplay.standardDisplay();
    grid->setContentsMargins(5, 5, 5, 5);
    auto* textLayout = new QVBoxLayout;
    textLayout->addWidget(statBlockEdit);
    textLayout->addWidget(hWidget(false, true, writeableCheck));
    auto* textGroup = new QGroupBox(tr("Stat Block Text"));
    textGroup->setLayout(textLayout);
    grid->addWidget(textGroup, grid->rowCount(), 0, 1, grid->columnCount());
    grid->setColumnStretch(1, 2);
    return layoutToWidget(grid);
}

QWidget* CharacterWindow::buildTabsPane()
{
    tabs = new WholeTitlesTabWidget;
    tabs->addTab(buildStatBlockTab(), tr("Stat Block Text"));
    tabs->addTab(new ScrollingPane(details), tr("Edit Details"));
    powersTabIndex = tabs->count();
    tabs->addTab(buildPowersTab(), tr("Program Powers"));
    tabs->addTab(imports, tr("Import Changes"));

    auto* layout = new QVBoxLayout;
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(tabs);
    layout->addWidget(hWidget(true, true, newButton, addFromFileButton, deleteButton));
    layout->addWidget(hWidget(true, true, revertAllButton, saveAllButton));
    return layoutToWidget(layout);
}

void CharacterWindow::connectWidgets()
{
    connect(&powerCheckTimer, &QTimer::timeout, this, &CharacterWindow::onPowerChecked);
    connect(filterSignaler, &EventSignaler::doEventReceived, this, &CharacterWindow::onFilterChanged);
    connect(listModel, &CharacterListModel::doSelectionChanged, this, &CharacterWindow::onCharacterSelectionChanged);
    connect(newButton, &QToolButton::clicked, this, &CharacterWindow::onNewCharacter);
    connect(addFromFileButton, &QToolButton::clicked, this, &CharacterWindow::onAddFromFile);
    connect(deleteButton, &QToolButton::clicked, this, &CharacterWindow::onDeleteCharacter);
    connect(revertAllButton, &QToolButton::clicked, this, &CharacterWindow::onRevertAll);
    connect(saveAllButton, &QToolButton::clicked, this, &CharacterWindow::onSaveAll);
    connect(statBlockEdit, &QPlainTextEdit::textChanged, this, &CharacterWindow::onCharacterStatsChanged);
    connect(writeableCheck, &QCheckBox::clicked, this, &CharacterWindow::onWriteableClicked);
    connect(&creatureDisplay, &CreatureDisplay::doPortraitClicked, this, &CharacterWindow::onSelectPortrait);
    connect(details, &CharacterDetails::doPortraitClicked, this, &CharacterWindow::onSelectPortrait);
    connect(details, &CharacterDetails::doNameEdited, this, &CharacterWindow::onNameChanged);
    connect(details, &CharacterDetails::doNameLeft, this, &CharacterWindow::onNameLeft);
    connect(details, &CharacterDetails::doEdited, this, &CharacterWindow::attributeChanged);
    connect(imports, &CharacterImports::doSelectClicked, this, &CharacterWindow::onSelectImport);
    connect(imports, &CharacterImports::doLinkedClicked, this, &CharacterWindow::onLinkedClicked);
    connect(imports, &CharacterImports::doRefreshClicked, this, &CharacterWindow::onRefreshImport);
    if (Global::characters)
        connect(Global::characters, &Characters::doCharactersUpdated, this, &CharacterWindow::onCharacterListChanged);
    connect(&Global::switchBoard, &SwitchBoard::doCreatureUpdated, this, &CharacterWindow::onCreatureChanged);
    connect(&Global::switchBoard, &SwitchBoard::doCharacterStatsUpdated, this, &CharacterWindow::characterStatsUpdated);
    connect(&creatureDisplay, &CreatureDisplay::doPowerClicked, this, &CharacterWindow::onPowerClicked);
}

void CharacterWindow::toggleAllButtons()
{
    const CreatureCounts* counts = Global::characters ? Global::characters->getCounts() : nullptr;
    const bool pending = counts && counts->newCount + counts->dirtyCount + counts->deletedCount != 0;
    revertAllButton->setEnabled(pending);
    saveAllButton->setEnabled(pending);
}

void CharacterWindow::toggleCharacterButtons()
{
    newButton->setEnabled(true);
    addFromFileButton->setEnabled(true);
    deleteButton->setEnabled(listModel->getSelectedCharacter());
    toggleAllButtons();
}

void CharacterWindow::onFilterChanged(QObject* sender)
{
    if (sender == filterEdit)
        listModel->setFilter(filterEdit->text());
}

void CharacterWindow::onWriteableClicked()
{
    QSettings().setValue("characterWindow/statBlockReadOnly", !writeableCheck->isChecked());
    statBlockEdit->setReadOnly(!writeableCheck->isChecked());
}

void CharacterWindow::onCharacterListChanged()
{
    if (changingList)
        return;
    listModel->resetCharacterList();
    onCharacterSelectionChanged();
}

void CharacterWindow::showEvent(QShowEvent* event)
{
    restoreWindowState(this, splitter, "characterWindow");
    // What changed while the window was hidden shows now.
    if (refreshPending)
        refreshChangedCharacters();
    QWidget::showEvent(event);
}

void CharacterWindow::hideEvent(QHideEvent* event)
{
    runPendingPowerCheck();
    storeWindowState(this, splitter, "characterWindow");
    if (event)
        QWidget::hideEvent(event);
}

void CharacterWindow::insertCharacter(Creature* character)
{
    QScopedValueRollback<bool> own(changingList, true);
    listModel->insertCharacter(character, true);
}

void CharacterWindow::moveCharacter(Creature* character)
{
    QScopedValueRollback<bool> own(changingList, true);
    listModel->moveCharacter(character);
}

void CharacterWindow::dropCharacter(Creature* character)
{
    QScopedValueRollback<bool> own(changingList, true);
    listModel->removeCharacter(character, false, true);
}
