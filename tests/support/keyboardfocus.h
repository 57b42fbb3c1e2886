#ifndef KEYBOARDFOCUS_H
#define KEYBOARDFOCUS_H

#include <QKeySequence>
#include <QString>
#include <QTest>

class QWidget;

// Keys as the user presses them. The window system makes a window active,
// and with it gives the keyboard to the program's focus, a while after the
// program asked: on a busy machine, after a row's next steps. A row waits
// for that state, five seconds at most, and fails saying where the keyboard
// is when it has not come.
namespace KeyboardFocus {

// The active window and the widget with the keyboard focus, for a failure's message.
QString where();
bool waitForActive(QWidget* window);
bool waitForFocus(QWidget* widget);
// Shows the window and waits until it is the active one; otherwise fails the test.
bool activate(QWidget* window);
// Once the window is active, the keys go to its focus, or to the window
// where nothing has it, as the window system sends them; otherwise the test
// fails and no key goes anywhere.
bool press(QWidget* window, const QKeySequence& keys);
bool type(QWidget* window, const QString& text);

}

// Waits until the widget has the keyboard focus; otherwise fails saying where it is.
#define VERIFY_FOCUS(widget) QVERIFY2(KeyboardFocus::waitForFocus(widget), qPrintable(KeyboardFocus::where()))

#endif
