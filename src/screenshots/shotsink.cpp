#include "screenshots/shotsink.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QDir>
#include <QSplitter>
#include <QThread>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include "foundation/global.h"
#include "toolkit/scrollandtabs.h"

void showAtFirstStartSize(QWidget* window, QSplitter* splitter)
{
    window->show();
    window->resize(ScrollingPane::firstStartSize(window));
    QList<int> shares;
    for (int pane = 0; pane < splitter->count(); ++pane)
        shares << splitter->widget(pane)->sizeHint().width();
    splitter->setSizes(shares);
    // Active before its family works in it: where the focus lands does not
    // hang on when the window system gets to it.
    bringToFront(window);
}

QString scratchFolder(const QString& name)
{
    QDir folder(QDir::home().filePath(name));
    folder.removeRecursively();
    folder.mkpath(".");
    return folder.path();
}

void refreshTick()
{
    emit Global::switchBoard.doRefreshTimer();
    QApplication::processEvents();
}

namespace {

QList<QRect> geometries(const QWidget* window)
{
    QList<QRect> all{window->geometry()};
    for (const QWidget* child : window->findChildren<QWidget*>())
        all << child->geometry();
    return all;
}

bool onScreen(const QWidget* window)
{
    return window->isVisible() && !window->testAttribute(Qt::WA_DontShowOnScreen);
}

// Exposed and active, and the keyboard focus arrived where the window keeps it.
bool activeWithFocus(const QWidget* window)
{
    const QWidget* focus = window->focusWidget();
    return !onScreen(window)
           || (window->windowHandle() && window->windowHandle()->isExposed() && window->isActiveWindow()
               && (!focus || focus->hasFocus()));
}

// The window is grabbed as the game master works in it: active, its layouts
// at rest, which a row that wraps anew or lists that make room take a few
// passes to reach, and its displays drawn, as the next refresh tick draws
// what the activation or the last change asked for. Two passes that move
// nothing are rest.
void settle(QWidget* window)
{
    bringToFront(window);
    const QDeadlineTimer giveUp(5000);
    QList<QRect> last;
    for (int still = 0; still < 2 && !giveUp.hasExpired();) {
        refreshTick();
        const bool ready = activeWithFocus(window);
        const QList<QRect> now = geometries(window);
        still = ready && now == last ? still + 1 : 0;
        last = now;
        if (!ready)
            QThread::msleep(5);
    }
}

}

void bringToFront(QWidget* window)
{
    if (onScreen(window) && !window->isActiveWindow())
        window->activateWindow();
    // Only a window system that never answers ends the wait.
    const QDeadlineTimer giveUp(5000);
    QCoreApplication::processEvents();
    while (!activeWithFocus(window) && !giveUp.hasExpired()) {
        QThread::msleep(5);
        QCoreApplication::processEvents();
    }
    // And what the activation posted is done: the line edits of the window
    // drop the selections they show without the focus.
    QCoreApplication::processEvents();
}

ShotSink::ShotSink(const QString& folder) : folder(folder)
{
    QDir().mkpath(folder);
}

bool ShotSink::save(const QString& name, QWidget* widget)
{
    if (!widget) {
        failures << name + ": no widget";
        return false;
    }
    if (!widget->isVisible()) {
        widget->adjustSize();
        widget->show();
    }
    settle(widget->window());
    return save(name, widget->grab().toImage());
}

bool ShotSink::saveModal(const QString& name, const std::function<void()>& show)
{
    bool saved = false;
    bool grabbed = false;
    int waited = 0;
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        // Once active, the box shows its focus on the same field every run.
        if (!box || grabbed || (!box->isActiveWindow() && ++waited < 100))
            return;
        grabbed = true;
        saved = save(name, box);
        box->reject();
    });
    QWidget* behind = QApplication::activeWindow();
    poll.start();
    show();
    // The window behind the box gets the keyboard back when the window system
    // gets to it: waited for here, not in the midst of a later picture.
    if (behind && behind->isVisible())
        bringToFront(behind);
    if (!grabbed)
        failures << name + ": no modal box appeared";
    return saved;
}

static bool isBlank(const QImage& image)
{
    const QRgb first = image.pixel(0, 0);
    for (int y = 0; y < image.height(); y += 3)
        for (int x = 0; x < image.width(); x += 3)
            if (image.pixel(x, y) != first)
                return false;
    return true;
}

bool ShotSink::save(const QString& name, const QImage& image)
{
    if (image.isNull() || isBlank(image)) {
        failures << name + ": empty picture";
        return false;
    }
    if (!image.save(QDir(folder).filePath(name + ".png"))) {
        failures << name + ": cannot write";
        return false;
    }
    ++count;
    return true;
}

QList<RegisteredShots>& registeredShots()
{
    static QList<RegisteredShots> shots;
    return shots;
}

ShotRegistration::ShotRegistration(const char* name, ShotProducer producer)
{
    registeredShots().append({name, producer});
}
