#include "mainwindow/playerswindow.h"

#include <QContextMenuEvent>
#include <QDockWidget>
#include <QMenu>
#include <QSettings>

#include "foundation/global.h"
#include "mainwindow/mainwindow.h"
#include "mainwindow/playersbanners.h"
#include "mainwindow/playerslistmodel.h"
#include "mainwindow/playersview.h"

PlayersWindow::PlayersWindow(QWidget* parent) : QMainWindow(parent)
{
    playersView = new PlayersView;
    // The main window's table holds it too; both go at shut-down, this window first.
    playersList = new PlayersListModel(this);
    playersView->setModel(playersList);
    playersView->setMinimumWidth(360);
    setCentralWidget(playersView);
    playersList->setView(playersView);
    createDockWindows();
    setWindowTitle(tr("Ravelhorn Player's Display"));
    // A screen the players look at: the game master's keys stay with the window he works in.
    setAttribute(Qt::WA_ShowWithoutActivating);

    QSettings settings;
    restoreGeometry(settings.value("playersWindow/geometry").toByteArray());
    restoreState(settings.value("playersWindow/state").toByteArray(), 0);
    playersView->setFontSize(settings.value("playersWindow/fontSize", 0).toInt());
    playersList->setShowDamageAndHeals(settings.value("playersWindow/showDamageAndHeals", true).toBool());
    connect(&Global::switchBoard, &SwitchBoard::doSetPlayersUpdate, this, &PlayersWindow::setEnableUpdate);
}

PlayersWindow::~PlayersWindow()
{
    QSettings settings;
    settings.setValue("playersWindow/geometry", saveGeometry());
    settings.setValue("playersWindow/state", saveState(0));
    settings.setValue("playersWindow/fontSize", playersView->getFontSize());
    settings.setValue("playersWindow/showDamageAndHeals", playersList->getShowDamageAndHeals());
    if (isVisible())
        hideEvent(nullptr);
}

QAction* PlayersWindow::addDock(const QString& title, const QString& name, QWidget* widget,
                                Qt::DockWidgetArea area)
{
    auto* dock = new QDockWidget(title, this);
    dock->setObjectName(name);
    dock->setWidget(widget);
    addDockWidget(area, dock);
    return dock->toggleViewAction();
}

void PlayersWindow::createDockWindows()
{
    yourTurnWidget = new YourTurnWidget(playersList);
    yourTurnAction = addDock(tr("Your Turn!"), "yourTurn", yourTurnWidget, Qt::TopDockWidgetArea);
    lastKillsAction = addDock(tr("Last Kills"), "lastKills", new LastKillWidget(playersList), Qt::TopDockWidgetArea);
    tickerAction = addDock(tr("Ticker"), "ticker", new TickerWidget, Qt::BottomDockWidgetArea);
}

void PlayersWindow::contextMenuEvent(QContextMenuEvent* event)
{
    const bool fixed = playersView->getFontSize() != 0;
    const bool shown = playersList->getShowDamageAndHeals();
    QMenu menu;
    menu.addAction(yourTurnAction);
    menu.addAction(lastKillsAction);
    menu.addAction(tickerAction);
    QAction* damage = menu.addAction(shown ? tr("Hide Damage and Heals") : tr("Show Damage and Heals"));
    QAction* font = menu.addAction(fixed ? tr("Scale Font Size") : tr("Fix Font Size)"));
    QAction* chosen = menu.exec(mapToGlobal(event->pos()));
    if (chosen == font)
        playersView->setFontSize(fixed ? 0 : 1);
    else if (chosen == damage)
        playersList->setShowDamageAndHeals(!shown);
}

void PlayersWindow::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    const QVariant geometry = QSettings().value("playersWindow/geometry");
    if (geometry.isValid())
        restoreGeometry(geometry.toByteArray());
    else
        placeInsideScreen(this);
    playersView->scaleToSize();
}

void PlayersWindow::hideEvent(QHideEvent* event)
{
    if (event)
        QMainWindow::hideEvent(event);
    QSettings().setValue("playersWindow/geometry", saveGeometry());
    // Null while the main window is being taken down.
    if (Global::mainWindow)
        Global::mainWindow->togglePlayersWindowButton();
}

void PlayersWindow::updateMainInitiativeList()
{
    playersView->setVisible(false);
    playersView->setVisible(true);
}

void PlayersWindow::setEnableUpdate(bool enable)
{
    playersList->setEnableUpdate(enable);
}

void PlayersWindow::drawYourTurnCreature(Creature* creature, const QString& caption)
{
    yourTurnWidget->ask(creature, caption);
}
