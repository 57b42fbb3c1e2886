#include "support/keyboardfocus.h"

#include <QApplication>
#include <QWidget>

namespace {

QString described(const QWidget* widget)
{
    if (!widget)
        return "nothing";
    QString text = widget->metaObject()->className();
    if (!widget->objectName().isEmpty())
        text += " " + widget->objectName();
    return text + QString(widget->isWindow() ? " \"%1\"" : " in \"%1\"").arg(widget->window()->windowTitle());
}

bool failed(const QString& what)
{
    QTest::qFail(qPrintable(what + "; " + KeyboardFocus::where()), __FILE__, __LINE__);
    return false;
}

// Where the window system sends the keys; null, with the test failed, while the window is not active.
QWidget* receiver(QWidget* window, const QString& keys)
{
    if (!KeyboardFocus::waitForActive(window)) {
        failed(QString("%1 not pressed: %2 did not become active").arg(keys, described(window)));
        return nullptr;
    }
    QWidget* focus = QApplication::focusWidget();
    return focus ? focus : window->window();
}

}

QString KeyboardFocus::where()
{
    return QString("the active window is %1, the keyboard focus on %2")
        .arg(described(QApplication::activeWindow()), described(QApplication::focusWidget()));
}

bool KeyboardFocus::waitForActive(QWidget* window)
{
    return QTest::qWaitFor([window] { return window->isActiveWindow(); });
}

bool KeyboardFocus::waitForFocus(QWidget* widget)
{
    return QTest::qWaitFor([widget] { return QApplication::focusWidget() == widget; });
}

bool KeyboardFocus::activate(QWidget* window)
{
    window->show();
    window->activateWindow();
    return waitForActive(window) || failed(described(window) + " did not become active");
}

bool KeyboardFocus::press(QWidget* window, const QKeySequence& keys)
{
    QWidget* to = receiver(window, keys.toString());
    if (to)
        QTest::keySequence(to, keys);
    return to;
}

bool KeyboardFocus::type(QWidget* window, const QString& text)
{
    QWidget* to = receiver(window, '"' + text + '"');
    if (to)
        QTest::keyClicks(to, text);
    return to;
}
