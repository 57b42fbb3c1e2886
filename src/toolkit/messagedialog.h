#ifndef MESSAGEDIALOG_H
#define MESSAGEDIALOG_H

#include <QDialog>
#include <QDialogButtonBox>

#include "foundation/uihooks.h"

class QCheckBox;

// The application's message box, made on the stack for one message; its
// parent is the window the game master works in.
class MessageDialog : public QDialog
{
    Q_OBJECT

public:
    MessageDialog();

    void alert(const QString& title, const QString& text);
    void info(const QString& title, const QString& text);
    void about(const QString& title, const QString& text);
    // 2 "Select Folder...", 1 the relabelled OK button, 0 "Cancel" or closed.
    int badRootAlert(const QString& title, const QString& text, const QString& buttonText);
    // "Select Folder..." is the default; "Open Anyway" is offered only when
    // openable; closed, the box is left as by the button labelled leaveText.
    UiHooks::LockedFolderAnswer lockedFolderAlert(const QString& title, const QString& text, bool openable,
                                                  const QString& leaveText);
    bool rejectableAlert(const QString& title, const QString& text);
    bool rejectableAlert(const QString& title, const QString& text, const QString& okText);
    // Answers true unasked once the box was silenced under the settings key.
    bool rejectableAlert(const QString& settingsKey, const QString& title, const QString& text, const QString& okText);
    bool rejectableInfo(const QString& title, const QString& text, const QString& acceptText);
    // Shown until the game master ticks "Do not show this message again".
    void hideableInfo(const QString& settingsKey, const QString& title, const QString& text);

    QDialogButtonBox* buttonBox() const { return buttons; }

private:
    enum Icon { AlertIcon, InfoIcon, LogoIcon };

    void build(Icon icon, const QString& title, const QString& text, QDialogButtonBox::StandardButtons standard,
        const QString& okText);
    // Builds and shows the box; exec()'s code.
    int run(Icon icon, const QString& title, const QString& text, QDialogButtonBox::StandardButtons standard,
        const QString& okText = QString());
    // run() with the "Do not show this message again" box; false is stored under the key when it was ticked.
    int runSilenceable(const QString& settingsKey, Icon icon, const QString& title, const QString& text,
        QDialogButtonBox::StandardButtons standard, const QString& okText);
    static bool isSilenced(const QString& settingsKey);
    // As wide as the box must be for the window manager to show the whole title.
    int titleBarWidth(const QString& title) const;

    QDialogButtonBox* buttons = nullptr;
    QCheckBox* silence = nullptr;
};

#endif
