#ifndef UIHOOKS_H
#define UIHOOKS_H

#include <QString>

class Creature;
class Effect;

// What the model asks of the windows. The ui library installs its own at
// start-up; without one the model runs headless: messages go to the log,
// every question is answered "Cancel" and the window chores do nothing.
class UiHooks
{
public:
    virtual ~UiHooks() = default;

    virtual void alert(const QString& title, const QString& text);
    // 2 "Select Folder...", 1 the action button, 0 "Cancel".
    virtual int badRootAlert(const QString& title, const QString& text, const QString& actionText);
    virtual void debugText(const QString& text);
    // The file chosen in an open-file dialog; empty when cancelled.
    virtual QString getOpenFileName(const QString&, const QString&, const QString&) { return QString(); }

    virtual void setMainWindowTitle(const QString&) {}
    virtual void setLeftStatus(const QString&) {}
    virtual void setRightStatus(const QString&) {}
    virtual void toggleSelectionButtons() {}
    virtual void toggleJumpInButton() {}
    virtual void toggleForwardBackButtons() {}
    virtual void toggleStartStopNextButtons() {}
    // The windows hide and stop refreshing while the history is replayed.
    virtual void startLoadingHistory() {}
    virtual void doneLoadingHistory() {}
    virtual void setPauseUpdate(bool) {}
    virtual void setPlayersUpdate(bool) {}
    // A dead current creature left the encounter: the next turn begins.
    virtual void performTurnStart() {}
    // Figures of characters changed elsewhere: the character creator shows them anew.
    virtual void characterStatsUpdated() {}
    // The amount of ongoing damage or regeneration the game master applies;
    // headless, the effect's own amount.
    virtual int promptForOngoingEffect(Creature* creature, Effect* effect);
};

#endif
