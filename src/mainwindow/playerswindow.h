#ifndef PLAYERSWINDOW_H
#define PLAYERSWINDOW_H

#include <QWidget>

// The window turned towards the players.
class PlayersWindow : public QWidget
{
    Q_OBJECT

public:
    explicit PlayersWindow(QWidget* parent = nullptr) : QWidget(parent) {}

    // Its table follows the encounter anew.
    void updateMainInitiativeList() {}
};

#endif
