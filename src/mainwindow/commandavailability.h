#ifndef COMMANDAVAILABILITY_H
#define COMMANDAVAILABILITY_H

#include <QCoreApplication>
#include <QIcon>

class QAction;

// The main window's play actions and the icons they swap.
struct PlayActions
{
    QAction* startStop;
    QAction* nextTurn;
    QAction* delay;
    QAction* ready;
    QAction* jumpIn;
    QAction* shortRest;
    QAction* extendedRest;
    QAction* conditionsEffects;
    QAction* showHide;
    QAction* setAlias;
    QAction* removeCreatures;
    QAction* upInitiative;
    QAction* downInitiative;
    QAction* hit;
    QAction* heal;
    QAction* surge;
    QAction* setTempHP;
    QIcon play, stop, nextTurnIcon, nextTurnGrey, hide, show, healingSurge, healingSurgeX1;
};

// Which play commands the fight offers, derived anew from the model at each
// call, so that the toggles may run as often as wanted. They run on every
// applied event, replay included: what is unchanged is left alone.
class CommandAvailability
{
    Q_DECLARE_TR_FUNCTIONS(MainWindow)

public:
    explicit CommandAvailability(const PlayActions& actions) : actions(actions) {}

    void toggleStartStopNext(bool panelRunning);
    // Surge mode ends where no surge can be spent.
    void toggleSelection(bool panelRunning, int hitPoints, bool& surgeMode);
    void toggleJumpIn(bool panelRunning);

private:
    PlayActions actions;
};

#endif
