#ifndef PLAYERSWINDOW_H
#define PLAYERSWINDOW_H

#include <QWidget>

#include "foundation/global.h"

// The window turned towards the players.
class PlayersWindow : public QWidget
{
    Q_OBJECT

public:
    explicit PlayersWindow(QWidget* parent = nullptr) : QWidget(parent)
    {
        connect(&Global::switchBoard, &SwitchBoard::doSetPlayersUpdate, this, &PlayersWindow::setEnableUpdate);
    }

    // Its table follows the encounter anew.
    void updateMainInitiativeList() {}

public slots:
    // Off while the history is replayed or stepped; the players' list fills this in.
    void setEnableUpdate(bool) {}
};

#endif
