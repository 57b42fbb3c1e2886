#ifndef PROGRAM_H
#define PROGRAM_H

#include <QSize>
#include <QString>

class UiHooks;

// Start-up and shut-down around the application object that main makes.
namespace Program {

// Names the settings store, points the toolkit at plug-ins shipped beside the
// executable, sets up the stat-block colours and leaves the wheel to the
// scroll areas wherever a box has not the focus.
void prepareApplication();

// Makes the main window and its singletons, loads the data folder, runs the
// event loop (unless the game master quit rather than share a data folder)
// and tears everything down in order. Without hooks of the
// caller's, the model's messages and questions are shown in message boxes.
int run(UiHooks* hooks = nullptr);

// Before the application object exists: when the toolkit draws offscreen (or
// is not told where), its screen gets this size, described in a file in the
// folder, so that windows take the sizes they take on such a screen at a first
// start. False when the file cannot be written.
bool emulateScreen(QSize size, const QString& folder);

}

#endif
