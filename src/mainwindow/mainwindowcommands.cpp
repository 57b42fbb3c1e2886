// The main window's command surface: actions, tool bars, status bar, docks and menus.
#include <QAction>
#include <QLabel>
#include <QListView>
#include <QMenuBar>
#include <QSpinBox>
#include <QStatusBar>
#include <QTableView>

#include <array>
#include <QToolBar>

#include "encounter/encounter.h"
#include "encounter/history.h"
#include "foundation/global.h"
#include "mainwindow/dockwidget.h"
#include "mainwindow/eventlistmodel.h"
#include "mainwindow/mainwindow.h"
#include "mainwindow/playerswindow.h"

QAction* MainWindow::createAction(const QString& icon, const QString& text, const QString& shortcut,
    const QString& statusTip)
{
    auto* action = new QAction(QIcon(":/images/" + icon), text, this);
    QString keys;
    if (!shortcut.isEmpty()) {
        action->setShortcut(QKeySequence(shortcut));
        keys = " " + action->shortcut().toString(QKeySequence::NativeText);
    }
    action->setToolTip(QString(text + keys).replace("&&", "&"));
    action->setStatusTip(statusTip + keys);
    return action;
}

QAction* MainWindow::createPlainAction(const QString& text, const QString& statusTip, const QString& icon)
{
    auto* action = icon.isEmpty() ? new QAction(text, this) : new QAction(QIcon(":/images/" + icon), text, this);
    action->setStatusTip(statusTip);
    return action;
}

void MainWindow::createActions()
{
    setRootAct = createPlainAction(tr("Select Data Location..."), tr("Select a new Ravelhorn data location"));
    connect(setRootAct, &QAction::triggered, this, &MainWindow::onSetRoot);
    selectLanguageAct = createPlainAction(tr("Import Language File..."), tr("Import a translated language file"));
    connect(selectLanguageAct, &QAction::triggered, this, &MainWindow::onSelectLanguage);
    newHistoryAct = createPlainAction(tr("Clear History..."), tr("Clear the history and reset all creatures and encounters"));
    connect(newHistoryAct, &QAction::triggered, this, &MainWindow::onNewHistory);
    truncateHistoryAct = createPlainAction(tr("Truncate..."), tr("Truncate the history file"));
    connect(truncateHistoryAct, &QAction::triggered, this, &MainWindow::onTruncateHistory);
    mainWindowAct = createPlainAction(tr("DM's Display Window"), tr("Bring DM's Display window to the front"),
        "dms-window32.png");
    connect(mainWindowAct, &QAction::triggered, this, &MainWindow::activateMainWindow);
    managerWindowAct = createPlainAction(tr("Monster Manager Window"),
        tr("Bring the Monster Manager window to the front"), "monster-window32.png");
    connect(managerWindowAct, &QAction::triggered, this, &MainWindow::activateManagerWindow);
    characterWindowAct = createPlainAction(tr("Character Creator Window"),
        tr("Bring the Character Creator window to the front"), "heros-window32.png");
    connect(characterWindowAct, &QAction::triggered, this, &MainWindow::activateCharacterWindow);
    playersWindowCloseIcon = QIcon(":/images/players-window-close32.png");
    playersWindowOpenIcon = QIcon(":/images/players-window-open32.png");
    playersWindowAct = createPlainAction(tr("Show Player's Window"), tr("Show the Player's window"));
    playersWindowAct->setIcon(playersWindowOpenIcon);
    connect(playersWindowAct, &QAction::triggered, this, &MainWindow::onTogglePlayerWindow);

    pickPartyAct = createAction("pick-party32.png", tr("Select Party..."), "Ctrl+Shift+P",
        tr("Select the characters that belong to the party"));
    connect(pickPartyAct, &QAction::triggered, this, &MainWindow::onPickParty);
    loadEncounterAct = createAction("load-encounter32.png", tr("Load Encounter..."), "Ctrl+Shift+E",
        tr("Load a new encounter from disk"));
    connect(loadEncounterAct, &QAction::triggered, this, &MainWindow::onLoadEncounter);
    addMonsterAct = createAction("add-monster32.png", tr("Add Monster..."), "Ctrl+M", tr("Add a monster to the encounter"));
    connect(addMonsterAct, &QAction::triggered, this, &MainWindow::onAddMonster);
    stepBackAct = createAction("back32.png", tr("Step Back"), "Ctrl+Z", tr("Step back in the encounter history"));
    connect(stepBackAct, &QAction::triggered, this, &MainWindow::onStepBack);
    stepForwardAct = createAction("forward32.png", tr("Step Forward"), "Ctrl+Shift+Z",
        tr("Step forward in the encounter history"));
    connect(stepForwardAct, &QAction::triggered, this, &MainWindow::onStepForward);
    playIcon = QIcon(":/images/play32.png");
    stopIcon = QIcon(":/images/stop32.png");
    startStopAct = createAction("play32.png", tr("Start Encounter..."), "Ctrl+S", tr("Start the current encounter"));
    startStopAct->setEnabled(false);
    connect(startStopAct, &QAction::triggered, this, &MainWindow::onStartStopEncounter);
    nextTurnIcon = QIcon(":/images/next-turn32.png");
    nextTurnGreyIcon = QIcon(":/images/next-turn-grey32.png");
    nextTurnAct = createAction("next-turn32.png", tr("Next Turn"), "Ctrl+N",
        tr("End the current turn, and start the next turn"));
    nextTurnAct->setIcon(nextTurnGreyIcon);
    nextTurnAct->setEnabled(false);
    connect(nextTurnAct, &QAction::triggered, this, &MainWindow::onNextTurn);
    conditionsEffectsAct = createAction("conditions-effects32.png", tr("Conditions && Effects..."), "Ctrl+A",
        tr("Apply damage, conditions, effects to selected targets"));
    connect(conditionsEffectsAct, &QAction::triggered, this, &MainWindow::onAddConditionOrEffect);
    hideIcon = QIcon(":/images/hide32.png");
    showIcon = QIcon(":/images/show32.png");
    showHideAct = createAction("hide32.png", tr("Hide Creatures"), "Ctrl+H",
        tr("Hide a creature so that it is no longer visible to players"));
    connect(showHideAct, &QAction::triggered, this, &MainWindow::onShowAndHide);
    setAliasAct = createAction("alias32.png", tr("Set Alias"), "Ctrl+Shift+A", tr("Set an alias for monsters and characters"));
    connect(setAliasAct, &QAction::triggered, this, &MainWindow::onSetAlias);
    removeCreaturesAct = createAction("trash32.png", tr("Remove Creatures"), "Ctrl+R",
        tr("Remove monsters or characters from the encounter"));
    connect(removeCreaturesAct, &QAction::triggered, this, &MainWindow::onRemoveCreatures);
    delayAct = createAction("delay-turn32.png", tr("Delay Turn"), "Ctrl+D",
        tr("Delay the current turn and jump in before the start of the next turn"));
    connect(delayAct, &QAction::triggered, this, &MainWindow::onDelay);
    readyAct = createAction("ready-action32.png", tr("Ready Action"), "Ctrl+Y",
        tr("Ready a standard action that will be triggered, by jump in, later"));
    connect(readyAct, &QAction::triggered, this, &MainWindow::onReady);
    jumpInAct = createAction("jump-in32.png", tr("Jump In"), "Ctrl+J", tr("Start a delayed turn or trigger a prepared action"));
    connect(jumpInAct, &QAction::triggered, this, &MainWindow::onJumpIn);
    upInitiativeAct = createAction("initiative-up32.png", tr("Up Initiative"), "Ctrl+U",
        tr("Move monster and characters down in the initative order"));
    connect(upInitiativeAct, &QAction::triggered, this, &MainWindow::onUpInitiative);
    downInitiativeAct = createAction("initiative-down32.png", tr("Down Initiative"), "Ctrl+W",
        tr("Move monster and characters up in the initative order"));
    connect(downInitiativeAct, &QAction::triggered, this, &MainWindow::onDownInitiative);
    shortRestAct = createAction("short-rest32.png", tr("Short Rest..."), "Ctrl+E",
        tr("Spend Healing Surges after an encounter and/or grant an Action Point"));
    connect(shortRestAct, &QAction::triggered, this, &MainWindow::onShortRest);
    extendedRestAct = createAction("ext-rest32.png", tr("Extended Rest"), "Ctrl+X", tr("Restore all party members to full health"));
    connect(extendedRestAct, &QAction::triggered, this, &MainWindow::onExtendedRest);
    for (QAction* action : {showHideAct, setAliasAct, removeCreaturesAct, delayAct, readyAct, jumpInAct, upInitiativeAct,
                            downInitiativeAct, shortRestAct, extendedRestAct})
        action->setEnabled(false);

    quitAct = createPlainAction(tr("&Quit"), tr("Quit the application"));
    quitAct->setShortcuts(QKeySequence::Quit);
    quitAct->setShortcut(QKeySequence("Ctrl+Q"));
    connect(quitAct, &QAction::triggered, this, &QWidget::close);
    aboutAct = createPlainAction(tr("About"), tr("Show the application's About box"));
    connect(aboutAct, &QAction::triggered, this, &MainWindow::onAbout);

    hitAct = createAction("hit32.png", tr("Apply Damage"), "Ctrl+T",
        tr("Apply damage indicated in the HP box to selected creatures"));
    connect(hitAct, &QAction::triggered, this, &MainWindow::onHit);
    healAct = createAction("heal32.png", tr("Apply Healing"), "Ctrl+L", tr("Heal selected creatures by the amount in the HP box"));
    connect(healAct, &QAction::triggered, this, &MainWindow::onHeal);
    healingSurgeIcon = QIcon(":/images/healing-surge32.png");
    healingSurgeX1Icon = QIcon(":/images/healing-surge-x1-32.png");
    surgeAct = createAction("healing-surge32.png", tr("Spend Healing Surge"), "Ctrl+G", tr("Add a Healing Surge to the HP box"));
    connect(surgeAct, &QAction::triggered, this, &MainWindow::onSurge);
    setTempHPAct = createAction("temporary-hp32.png", tr("Set Temporary HP"), "Ctrl+P",
        tr("Set Temporary HP to amount in the HP box, if larger than current value"));
    connect(setTempHPAct, &QAction::triggered, this, &MainWindow::onSetTempHP);
}

namespace {

// The actions in order; a null entry is a separator.
void fill(QWidget* target, const QList<QAction*>& actions)
{
    for (QAction* action : actions) {
        if (action)
            target->addAction(action);
        else if (auto* bar = qobject_cast<QToolBar*>(target))
            bar->addSeparator();
        else if (auto* menu = qobject_cast<QMenu*>(target))
            menu->addSeparator();
    }
}

}

void MainWindow::createToolBar()
{
    hitPointBox = new QSpinBox;
    hitPointBox->setRange(0, 500);
    const QChar tabArrow(0x21E5);
    hitPointBox->setToolTip(tr("Damage/Healing Amount %1").arg(tabArrow, 0, QChar(' ')));
    hitPointBox->setStatusTip(tr("HP Box: contains the damage or healing amount %1").arg(tabArrow, 0, QChar(' ')));

    QToolBar* tracker = addToolBar(tr("Tracker"));
    tracker->setObjectName("trackerToolBar");
    fill(tracker, {stepBackAct, startStopAct, stepForwardAct, nullptr, nextTurnAct, delayAct, readyAct, jumpInAct, nullptr,
                   upInitiativeAct, downInitiativeAct});
    QToolBar* actions = addToolBar(tr("Actions"));
    actions->setObjectName("actionToolBar");
    fill(actions, {conditionsEffectsAct, showHideAct, setAliasAct, removeCreaturesAct, nullptr});
    actions->addWidget(hitPointBox);
    fill(actions, {hitAct, healAct, surgeAct, setTempHPAct});
    windowToolBar = addToolBar(tr("Windows"));
    windowToolBar->setObjectName("windowToolBar");
    fill(windowToolBar, {pickPartyAct, loadEncounterAct, addMonsterAct, nullptr, shortRestAct, extendedRestAct, nullptr,
                         playersWindowAct, managerWindowAct, characterWindowAct});
    for (QToolBar* bar : {tracker, actions, windowToolBar})
        bar->setMovable(true);
}

void MainWindow::createStatusBar()
{
    leftStatus = new QLabel;
    rightStatus = new QLabel;
    for (QLabel* label : {leftStatus, rightStatus})
        label->setTextFormat(Qt::RichText);
    statusBar()->addWidget(leftStatus);
    statusBar()->addPermanentWidget(rightStatus);
    statusBar()->showMessage("");
}

DockWidget* MainWindow::addDock(const QString& title, const QString& name, QWidget* widget, Qt::DockWidgetArea area)
{
    auto* dock = new DockWidget(title, this);
    dock->setObjectName(name);
    dock->setWidget(widget);
    addDockWidget(area, dock);
    return dock;
}

void MainWindow::createDockWindows()
{
    // The stat blocks of the current and of the selected creatures.
    currentCreatureWidget = new QWidget;
    currentDock = addDock(tr("Current Creature"), "currentWidget", currentCreatureWidget, Qt::LeftDockWidgetArea);
    currentDock->setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
    selectedCreatureWidget = new QWidget;
    selectedCreatureWidget->setContentsMargins(0, 0, 0, 0);
    selectedDock = addDock(tr("Selected Creature/s"), "selectedWidget", selectedCreatureWidget, Qt::RightDockWidgetArea);
    selectedDock->setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);

    auto* historyView = new QListView;
    historyView->setFocusPolicy(Qt::NoFocus);
    historyModel = new EventListModel(this);
    historyView->setModel(historyModel);
    historyModel->setView(historyView);
    QSizePolicy tall = historyView->sizePolicy();
    tall.setVerticalStretch(100);
    historyView->setSizePolicy(tall);
    historyDock = addDock(tr("History"), "historyWidget", historyView, Qt::LeftDockWidgetArea);
    historyModel->newHistory();

    auto* effectsView = new QTableView;
    effectsView->setFocusPolicy(Qt::NoFocus);
    effectsDock = addDock(tr("Conditions and Effects"), "effectsWidget", effectsView, Qt::RightDockWidgetArea);

    using Toggle = void (MainWindow::*)();
    const Toggle toggles[DockCount] = {&MainWindow::toggleCurrentWindow, &MainWindow::toggleSelectedWindow,
                                       &MainWindow::toggleHistoryWindow, &MainWindow::toggleEffectsWindow};
    for (int which = 0; which < DockCount; which++) {
        dockToggleActs[which] = dock(which)->toggleViewAction();
        connect(dockToggleActs[which], &QAction::triggered, this, toggles[which]);
    }
    connect(Global::encounter, &Encounter::doCreatureSelectionChanged, this, &MainWindow::onCreatureSelectionChanged);
}

DockWidget* MainWindow::dock(int which) const
{
    const std::array<DockWidget*, DockCount> docks = {currentDock, selectedDock, historyDock, effectsDock};
    return docks.at(which);
}

void MainWindow::addMenu(const QString& title, const QList<QAction*>& actions)
{
    fill(menuBar()->addMenu(title), actions);
}

void MainWindow::createMenus()
{
    addMenu(tr("&File"), {setRootAct, selectLanguageAct, pickPartyAct, loadEncounterAct, addMonsterAct, nullptr, quitAct});
    addMenu(tr("&History"), {newHistoryAct, truncateHistoryAct, stepBackAct, stepForwardAct});
    addMenu(tr("&Encounter"), {startStopAct, nextTurnAct, delayAct, readyAct, jumpInAct, upInitiativeAct, downInitiativeAct,
                               conditionsEffectsAct, showHideAct, setAliasAct, removeCreaturesAct});
    addMenu(tr("Hea&lth"), {hitAct, healAct, surgeAct, setTempHPAct});
    addMenu(tr("&Rest"), {shortRestAct, extendedRestAct});
    addMenu(tr("&Window"), {mainWindowAct, managerWindowAct, characterWindowAct, playersWindowAct, dockToggleActs[CurrentDock],
                            dockToggleActs[SelectedDock], dockToggleActs[HistoryDock], dockToggleActs[EffectsDock]});
    menuBar()->addSeparator();
    addMenu(tr("Hel&p"), {aboutAct});
}

void MainWindow::setLeftStatus(const QString& text)
{
    leftStatus->setText(text);
}

void MainWindow::setRightStatus(const QString& text)
{
    rightStatus->setText(text);
}

void MainWindow::togglePlayersWindowButton()
{
    if (Global::playersWindow && Global::playersWindow->isVisible()) {
        playersWindowAct->setStatusTip(tr("Hide the player's window"));
        playersWindowAct->setToolTip(tr("Hide Player's Window"));
        playersWindowAct->setText(tr("Hide Player's Window..."));
        playersWindowAct->setIcon(playersWindowCloseIcon);
    } else {
        playersWindowAct->setStatusTip(tr("Show the Player's window"));
        playersWindowAct->setToolTip(tr("Show Player's Window"));
        playersWindowAct->setText(tr("Show Player's Window..."));
        playersWindowAct->setIcon(playersWindowOpenIcon);
    }
}
