#ifndef PROGRAM_H
#define PROGRAM_H

#include "foundation/uihooks.h"

// The model's messages and questions in message boxes, its progress in a
// progress dialog and its file and folder choices in the toolkit's dialogs.
class WindowHooks : public UiHooks
{
public:
    void alert(const QString& title, const QString& text) override;
    int badRootAlert(const QString& title, const QString& text, const QString& actionText) override;
    bool rejectableAlert(const QString& title, const QString& text, const QString& acceptText) override;
    Progress* createProgress(const QString& label, int maximum) override;
    QString getExistingDirectory(const QString&) override;
    QString getOpenFileName(const QString& title, const QString& folder, const QString& filter) override;
    void setMainWindowTitle(const QString& title) override;
};

// Start-up and shut-down around the application object that main makes.
namespace Program {

// Names the settings store and points the toolkit at plug-ins shipped beside the executable.
void prepareApplication();

// Makes the main window and its singletons, loads the data folder, runs the
// event loop and tears everything down in order. Without hooks of the
// caller's, the model's messages and questions are shown in message boxes.
int run(UiHooks* hooks = nullptr);

}

#endif
