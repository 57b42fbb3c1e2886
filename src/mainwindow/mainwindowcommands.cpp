// The main window's command surface: actions, tool bars, status bar, docks and menus.
#include <QAction>
#include <QLabel>
#include <QListView>
#include <QMenuBar>
#include <QSpinBox>
#include <QStatusBar>
#include <QTableView>

#include <QToolBar>
#include <array>

#include "encounter/encounter.h"
#include "encounter/history.h"
#include "foundation/global.h"
#include "mainwindow/creaturewidget.h"
#include "mainwindow/dockwidget.h"
#include "mainwindow/effectlistmodel.h"
#include "mainwindow/eventlistmodel.h"
#include "mainwindow/mainwindow.h"
#include "mainwindow/playerswindow.h"
#include "toolkit/commandkeys.h"

QAction* MainWindow::createAction(Slot slot, const QString& icon, const QString& text, const QString& shortcut,
        const QString& statusTip)
{
    auto* action = icon.isEmpty() ? new QAction(text, this) : new QAction(QIcon(":/images/" + icon), text, this);
    connect(action, &QAction::triggered, this, slot);
    // Menu entries without keys keep the toolkit's tool tip and a status tip of their own.
    QString keys;
    if (!shortcut.isEmpty()) {
        action->setShortcut(QKeySequence(shortcut));
        keys = " " + action->shortcut().toString(QKeySequence::NativeText);
        action->setToolTip(QString(text + keys).replace("&&", "&"));
    }
    action->setStatusTip(statusTip + keys);
    return action;
}

namespace {

struct ActionRow
{
    QAction* MainWindow::*member;
    void (MainWindow::*slot)();
    const char* icon;
    const char* text;
    const char* shortcut;
    const char* statusTip;
};

}

void MainWindow::createActions()
{
    playersWindowCloseIcon = QIcon(":/images/players-window-close32.png");
    playersWindowOpenIcon = QIcon(":/images/players-window-open32.png");
    playIcon = QIcon(":/images/play32.png");
    stopIcon = QIcon(":/images/stop32.png");
    nextTurnIcon = QIcon(":/images/next-turn32.png");
    nextTurnGreyIcon = QIcon(":/images/next-turn-grey32.png");
    hideIcon = QIcon(":/images/hide32.png");
    showIcon = QIcon(":/images/show32.png");
    healingSurgeIcon = QIcon(":/images/healing-surge32.png");
    healingSurgeX1Icon = QIcon(":/images/healing-surge-x1-32.png");

    // In the order of creation. The Up Initiative tip says "down" and the Down Initiative one "up".
    static const ActionRow rows[] = {
        {&MainWindow::setRootAct, &MainWindow::onSetRoot, "", QT_TR_NOOP("Select Data Location..."), "",
                QT_TR_NOOP("Select a new Ravelhorn data location")},
        {&MainWindow::selectLanguageAct, &MainWindow::onSelectLanguage, "", QT_TR_NOOP("Import Language File..."), "",
                QT_TR_NOOP("Import a translated language file")},
        {&MainWindow::newHistoryAct, &MainWindow::onNewHistory, "", QT_TR_NOOP("Clear History..."), "",
                QT_TR_NOOP("Clear the history and reset all creatures and encounters")},
        {&MainWindow::truncateHistoryAct, &MainWindow::onTruncateHistory, "", QT_TR_NOOP("Truncate..."), "",
                QT_TR_NOOP("Truncate the history file")},
        {&MainWindow::mainWindowAct, &MainWindow::activateMainWindow, "dms-window32.png",
                QT_TR_NOOP("DM's Display Window"), "", QT_TR_NOOP("Bring DM's Display window to the front")},
        {&MainWindow::managerWindowAct, &MainWindow::activateManagerWindow, "monster-window32.png",
                QT_TR_NOOP("Monster Manager Window"), "", QT_TR_NOOP("Bring the Monster Manager window to the front")},
        {&MainWindow::characterWindowAct, &MainWindow::activateCharacterWindow, "heros-window32.png",
                QT_TR_NOOP("Character Creator Window"), "",
                QT_TR_NOOP("Bring the Character Creator window to the front")},
        {&MainWindow::playersWindowAct, &MainWindow::onTogglePlayerWindow, "players-window-open32.png",
                QT_TR_NOOP("Show Player's Window"), "", QT_TR_NOOP("Show the Player's window")},
        {&MainWindow::pickPartyAct, &MainWindow::onPickParty, "pick-party32.png", QT_TR_NOOP("Select Party..."),
                "Ctrl+Shift+P", QT_TR_NOOP("Select the characters that belong to the party")},
        {&MainWindow::loadEncounterAct, &MainWindow::onLoadEncounter, "load-encounter32.png",
                QT_TR_NOOP("Load Encounter..."), "Ctrl+Shift+E", QT_TR_NOOP("Load a new encounter from disk")},
        {&MainWindow::addMonsterAct, &MainWindow::onAddMonster, "add-monster32.png", QT_TR_NOOP("Add Monster..."),
                "Ctrl+M", QT_TR_NOOP("Add a monster to the encounter")},
        {&MainWindow::stepBackAct, &MainWindow::onStepBack, "back32.png", QT_TR_NOOP("Step Back"), "Ctrl+Z",
                QT_TR_NOOP("Step back in the encounter history")},
        {&MainWindow::stepForwardAct, &MainWindow::onStepForward, "forward32.png", QT_TR_NOOP("Step Forward"),
                "Ctrl+Shift+Z", QT_TR_NOOP("Step forward in the encounter history")},
        {&MainWindow::startStopAct, &MainWindow::onStartStopEncounter, "play32.png", QT_TR_NOOP("Start Encounter..."),
                "Ctrl+S", QT_TR_NOOP("Start the current encounter")},
        {&MainWindow::nextTurnAct, &MainWindow::onNextTurn, "next-turn-grey32.png", QT_TR_NOOP("Next Turn"), "Ctrl+N",
                QT_TR_NOOP("End the current turn, and start the next turn")},
        {&MainWindow::conditionsEffectsAct, &MainWindow::onAddConditionOrEffect, "conditions-effects32.png",
                QT_TR_NOOP("Conditions && Effects..."), "Ctrl+A",
                QT_TR_NOOP("Apply damage, conditions, effects to selected targets")},
        {&MainWindow::showHideAct, &MainWindow::onShowAndHide, "hide32.png", QT_TR_NOOP("Hide Creatures"), "Ctrl+H",
                QT_TR_NOOP("Hide a creature so that it is no longer visible to players")},
        {&MainWindow::setAliasAct, &MainWindow::onSetAlias, "alias32.png", QT_TR_NOOP("Set Alias"), "Ctrl+Shift+A",
                QT_TR_NOOP("Set an alias for monsters and characters")},
        {&MainWindow::removeCreaturesAct, &MainWindow::onRemoveCreatures, "trash32.png", QT_TR_NOOP("Remove Creatures"),
                "Ctrl+R", QT_TR_NOOP("Remove monsters or characters from the encounter")},
        {&MainWindow::delayAct, &MainWindow::onDelay, "delay-turn32.png", QT_TR_NOOP("Delay Turn"), "Ctrl+D",
                QT_TR_NOOP("Delay the current turn and jump in before the start of the next turn")},
        {&MainWindow::readyAct, &MainWindow::onReady, "ready-action32.png", QT_TR_NOOP("Ready Action"), "Ctrl+Y",
                QT_TR_NOOP("Ready a standard action that will be triggered, by jump in, later")},
        {&MainWindow::jumpInAct, &MainWindow::onJumpIn, "jump-in32.png", QT_TR_NOOP("Jump In"), "Ctrl+J",
                QT_TR_NOOP("Start a delayed turn or trigger a prepared action")},
        {&MainWindow::upInitiativeAct, &MainWindow::onUpInitiative, "initiative-up32.png", QT_TR_NOOP("Up Initiative"),
                "Ctrl+U", QT_TR_NOOP("Move monster and characters down in the initative order")},
        {&MainWindow::downInitiativeAct, &MainWindow::onDownInitiative, "initiative-down32.png",
                QT_TR_NOOP("Down Initiative"), "Ctrl+W", QT_TR_NOOP("Move monster and characters up in the initative order")},
        {&MainWindow::shortRestAct, &MainWindow::onShortRest, "short-rest32.png", QT_TR_NOOP("Short Rest..."), "Ctrl+E",
                QT_TR_NOOP("Spend Healing Surges after an encounter and/or grant an Action Point")},
        {&MainWindow::extendedRestAct, &MainWindow::onExtendedRest, "ext-rest32.png", QT_TR_NOOP("Extended Rest"),
                "Ctrl+X", QT_TR_NOOP("Restore all party members to full health")},
        {&MainWindow::aboutAct, &MainWindow::onAbout, "", QT_TR_NOOP("About"), "",
                QT_TR_NOOP("Show the application's About box")},
        {&MainWindow::hitAct, &MainWindow::onHit, "hit32.png", QT_TR_NOOP("Apply Damage"), "Ctrl+T",
                QT_TR_NOOP("Apply damage indicated in the HP box to selected creatures")},
        {&MainWindow::healAct, &MainWindow::onHeal, "heal32.png", QT_TR_NOOP("Apply Healing"), "Ctrl+L",
                QT_TR_NOOP("Heal selected creatures by the amount in the HP box")},
        {&MainWindow::surgeAct, &MainWindow::onSurge, "healing-surge32.png", QT_TR_NOOP("Spend Healing Surge"), "Ctrl+G",
                QT_TR_NOOP("Add a Healing Surge to the HP box")},
        {&MainWindow::setTempHPAct, &MainWindow::onSetTempHP, "temporary-hp32.png", QT_TR_NOOP("Set Temporary HP"),
                "Ctrl+P", QT_TR_NOOP("Set Temporary HP to amount in the HP box, if larger than current value")},
    };
    for (const ActionRow& row : rows)
        this->*row.member = createAction(row.slot, row.icon, tr(row.text), row.shortcut, tr(row.statusTip));
    // Until a fight allows them.
    for (QAction* action : {startStopAct, nextTurnAct, showHideAct, setAliasAct, removeCreaturesAct, delayAct, readyAct,
                 jumpInAct, upInitiativeAct, downInitiativeAct, shortRestAct, extendedRestAct})
        action->setEnabled(false);

    quitAct = new QAction(tr("&Quit"), this);
    quitAct->setStatusTip(tr("Quit the application"));
    quitAct->setShortcuts(QKeySequence::Quit);
    quitAct->setShortcut(QKeySequence("Ctrl+Q"));
    connect(quitAct, &QAction::triggered, this, &QWidget::close);
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
    // The box holds one number: Step Back is worth more than its own undo.
    CommandKeysFirst::install(hitPointBox, this);

    QToolBar* tracker = addToolBar(tr("Tracker"));
    tracker->setObjectName("trackerToolBar");
    fill(tracker,
            { stepBackAct, startStopAct, stepForwardAct, nullptr, nextTurnAct, delayAct, readyAct, jumpInAct, nullptr,
                    upInitiativeAct, downInitiativeAct });
    QToolBar* actions = addToolBar(tr("Actions"));
    actions->setObjectName("actionToolBar");
    fill(actions, { conditionsEffectsAct, showHideAct, setAliasAct, removeCreaturesAct, nullptr });
    actions->addWidget(hitPointBox);
    fill(actions, { hitAct, healAct, surgeAct, setTempHPAct });
    windowToolBar = addToolBar(tr("Windows"));
    windowToolBar->setObjectName("windowToolBar");
    fill(windowToolBar,
            { pickPartyAct, loadEncounterAct, addMonsterAct, nullptr, shortRestAct, extendedRestAct, nullptr,
                    playersWindowAct, managerWindowAct, characterWindowAct });
    for (QToolBar* bar : { tracker, actions, windowToolBar })
        bar->setMovable(true);
}

void MainWindow::createStatusBar()
{
    leftStatus = new QLabel;
    rightStatus = new QLabel;
    for (QLabel* label : { leftStatus, rightStatus })
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
    currentCreatureWidget = new CreatureWidget(nullptr, true);
    currentDock = addDock(tr("Current Creature"), "currentWidget", currentCreatureWidget, Qt::LeftDockWidgetArea);
    currentDock->setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
    selectedCreatureWidget = new CreatureWidget(nullptr, false);
    selectedCreatureWidget->setContentsMargins(0, 0, 0, 0);
    selectedDock
            = addDock(tr("Selected Creature/s"), "selectedWidget", selectedCreatureWidget, Qt::RightDockWidgetArea);
    selectedDock->setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
    connectCreatureWidgets();

    auto* historyView = new QListView;
    historyView->setObjectName("historyWidget");
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
    effectsModel = new EffectListModel(this);
    effectsView->setModel(effectsModel);
    effectsModel->setView(effectsView);
    effectsDock = addDock(tr("Conditions and Effects"), "effectsWidget", effectsView, Qt::RightDockWidgetArea);

    using Toggle = void (MainWindow::*)();
    const Toggle toggles[DockCount] = { &MainWindow::toggleCurrentWindow, &MainWindow::toggleSelectedWindow,
        &MainWindow::toggleHistoryWindow, &MainWindow::toggleEffectsWindow };
    for (int which = 0; which < DockCount; which++) {
        dockToggleActs[which] = dock(which)->toggleViewAction();
        connect(dockToggleActs[which], &QAction::triggered, this, toggles[which]);
    }
    connect(Global::encounter, &Encounter::doCreatureSelectionChanged, this, &MainWindow::onCreatureSelectionChanged);
}

DockWidget* MainWindow::dock(int which) const
{
    const std::array<DockWidget*, DockCount> docks = { currentDock, selectedDock, historyDock, effectsDock };
    return docks.at(which);
}

void MainWindow::addMenu(const QString& title, const QList<QAction*>& actions)
{
    fill(menuBar()->addMenu(title), actions);
}

void MainWindow::createMenus()
{
    addMenu(tr("&File"),
            { setRootAct, selectLanguageAct, pickPartyAct, loadEncounterAct, addMonsterAct, nullptr, quitAct });
    addMenu(tr("&History"), { newHistoryAct, truncateHistoryAct, stepBackAct, stepForwardAct });
    addMenu(tr("&Encounter"),
            { startStopAct, nextTurnAct, delayAct, readyAct, jumpInAct, upInitiativeAct, downInitiativeAct,
                    conditionsEffectsAct, showHideAct, setAliasAct, removeCreaturesAct });
    addMenu(tr("Hea&lth"), { hitAct, healAct, surgeAct, setTempHPAct });
    addMenu(tr("&Rest"), { shortRestAct, extendedRestAct });
    addMenu(tr("&Window"),
            { mainWindowAct, managerWindowAct, characterWindowAct, playersWindowAct, dockToggleActs[CurrentDock],
                    dockToggleActs[SelectedDock], dockToggleActs[HistoryDock], dockToggleActs[EffectsDock] });
    menuBar()->addSeparator();
    addMenu(tr("Hel&p"), { aboutAct });
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
