#ifndef MESSAGEDIALOG_H
#define MESSAGEDIALOG_H

#include <QDialog>

class QDialogButtonBox;

// The application's message box; its parent is the active top-level window.
class MessageDialog : public QDialog
{
    Q_OBJECT

public:
    MessageDialog();

    void alert(const QString& title, const QString& text);
    // 2 "Select Folder...", 1 the relabelled OK button, 0 "Cancel" or closed.
    int badRootAlert(const QString& title, const QString& text, const QString& buttonText);
    bool rejectableAlert(const QString& title, const QString& text, const QString& buttonText);

    QDialogButtonBox* buttonBox() const { return buttons; }

private:
    void setMessage(const QString& title, const QString& text);

    QDialogButtonBox* buttons;
};

#endif
