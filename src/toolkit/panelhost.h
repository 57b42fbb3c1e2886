#ifndef PANELHOST_H
#define PANELHOST_H

class Creature;
class FlatDialog;
class QString;
class QWidget;

// The window that shows in-window panels in place of its own content. The
// main window installs itself; with none installed a panel runs as a window
// of its own.
class PanelHost
{
public:
    virtual ~PanelHost() = default;

    // The running panel (null when it ended); the panel fills in the page's title and button.
    virtual void showFlatDialog(FlatDialog* dialog) = 0;
    // Shows a panel's content, or (null) the host's own content again. The
    // content shown before is disposed of later, unless it is shown again.
    virtual void setFlatDialogDisplay(QWidget* widget, bool adjustHeight) = 0;
    virtual bool runningFlatDialog() const = 0;
    // Every open panel rejects.
    virtual void cancelFlatDialog() = 0;
    // A panel closed: what it previewed on the creatures is dropped.
    virtual void panelClosed() = 0;
    // The current creature's dock shows the creature a panel points at.
    virtual void previewCreature(Creature*) {}
    // The players' "Your Turn!" banner shows the creature a panel asks about; null clears it.
    virtual void drawYourTurnCreature(Creature*, const QString&) {}

    static PanelHost* instance() { return installed; }
    static void install(PanelHost* host) { installed = host; }

private:
    static inline PanelHost* installed = nullptr;
};

#endif
