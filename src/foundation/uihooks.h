#ifndef UIHOOKS_H
#define UIHOOKS_H

#include <QString>

// What the model asks of the windows. The ui library installs its own at
// start-up; without one the model runs headless: messages go to the log and
// every question is answered "Cancel".
class UiHooks
{
public:
    virtual ~UiHooks() = default;

    virtual void alert(const QString& title, const QString& text);
    // 2 "Select Folder...", 1 the action button, 0 "Cancel".
    virtual int badRootAlert(const QString& title, const QString& text, const QString& actionText);
    virtual void setMainWindowTitle(const QString& title);
    virtual void debugText(const QString& text);
    // The file chosen in an open-file dialog; empty when cancelled.
    virtual QString getOpenFileName(const QString& title, const QString& folder, const QString& filter);
    virtual void toggleSelectionButtons();
    virtual void toggleJumpInButton();
};

#endif
