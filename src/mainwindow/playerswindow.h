#ifndef PLAYERSWINDOW_H
#define PLAYERSWINDOW_H

#include <QMainWindow>

#include "toolkit/windowsanddialogs.h"

class Creature;
class PlayersListModel;
class PlayersView;
class QAction;
class YourTurnWidget;

// The window turned towards the players, on a second screen: the initiative
// order they may see, whose turn it is, the last kills and a ticker. It
// changes nothing in the model and keeps only its own layout.
class PlayersWindow : public QMainWindow, public WindowsAndDialogs
{
    Q_OBJECT

public:
    explicit PlayersWindow(QWidget* parent = nullptr);
    ~PlayersWindow() override;

    PlayersListModel* getPlayersList() const { return playersList; }
    PlayersView* getPlayersView() const { return playersView; }
    // Its table follows the encounter anew.
    void updateMainInitiativeList();
    void drawYourTurnCreature(Creature* creature, const QString& caption);

public slots:
    // Off while the history walks or a data folder loads; on rebuilds at once.
    void setEnableUpdate(bool enable);

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void createDockWindows();
    QAction* addDock(const QString& title, const QString& name, QWidget* widget, Qt::DockWidgetArea area);

    PlayersListModel* playersList;
    PlayersView* playersView;
    YourTurnWidget* yourTurnWidget = nullptr;
    QAction* yourTurnAction = nullptr;
    QAction* lastKillsAction = nullptr;
    QAction* tickerAction = nullptr;
};

#endif
