#ifndef SWITCHBOARD_H
#define SWITCHBOARD_H

#include <QObject>

#include "foundation/dogtag.h"

class Creature;
class QEvent;

// Application-wide relay: senders connect their signals to the same-named
// signals here, views connect these to their slots.
class SwitchBoard : public QObject
{
    Q_OBJECT

signals:
    void doCreatureUpdated(Creature* creature);
    void doCreatureEffectsChanged(Creature* creature);
    void doRefreshTimer();
    void doMultiDamageRequiresResize();
    void doCancelFlatDialog();

    // Window chores: the model tells the windows that something happened.
    void doSetMainWindowTitle(const QString& title);
    void doSetLeftStatus(const QString& text);
    void doSetRightStatus(const QString& text);
    void doToggleSelectionButtons();
    void doToggleJumpInButton();
    void doToggleForwardBackButtons();
    void doToggleStartStopNextButtons();
    // The windows hide and stop refreshing while the history is replayed.
    void doStartLoadingHistory();
    void doDoneLoadingHistory();
    void doSetPauseUpdate(bool pause);
    void doSetPlayersUpdate(bool enable);
    // A dead current creature left the encounter: the next turn begins.
    void doPerformTurnStart();
    // Figures of characters changed elsewhere: the character creator shows them anew.
    void doCharacterStatsUpdated();
};

// Re-emits every event of the watched object; the event still reaches it.
class EventSignaler : public QObject
{
    Q_OBJECT

public:
    explicit EventSignaler(QObject* parent = nullptr) : QObject(parent) {}
    bool eventFilter(QObject* watched, QEvent* event) override;

signals:
    void doEventReceived(QObject* watched);

private:
    DogTag dogTag{__LINE__, __FILE__};
};

#endif
