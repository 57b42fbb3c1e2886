#ifndef COMBATTESTING_H
#define COMBATTESTING_H

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include <csignal>
#include <functional>
#include <sys/resource.h>

#include "app/windowhooks.h"
#include "encounter/history.h"
#include "foundation/global.h"
#include "mainwindow/mainwindow.h"
#include "support/testsupport.h"
#include "support/testworld.h"
#include "toolkit/flatdialog.h"

// The window's own questions and panels, with the alerts recorded instead of shown.
class CapturingHooks : public WindowHooks
{
public:
    CapturingHooks() { Global::setUiHooks(this); }
    ~CapturingHooks() override { Global::setUiHooks(nullptr); }
    void alert(const QString& title, const QString& text) override { alerts.append(title + ": " + text); }

    QStringList alerts;
};

// The main window shown over a test world that shares its singletons, with
// the window's own questions and panels and the alerts recorded.
class WindowWorld
{
public:
    WindowWorld()
    {
        Global::init();
        window = new MainWindow;
        world = new TestWorld;
        // Wide enough for every tool bar: a widget in an overflow gets no focus.
        window->resize(1400, 700);
        window->show();
        window->activateWindow();
        if (!QTest::qWaitForWindowActive(window))
            qWarning("the main window did not become active");
        // The focus settles on the initiative table.
        QCoreApplication::processEvents();
    }

    ~WindowWorld()
    {
        delete world;
        window->shutdown();
        delete window;
        Global::exit();
    }

    CapturingHooks hooks;
    MainWindow* window;
    TestWorld* world;
};

namespace CombatTesting {

// Runs the panel while the steps drive it from its own event loop; its end
// code. A failed step leaves the panel, so that the test ends.
inline int runPanel(FlatDialog& panel, const std::function<void()>& steps)
{
    QTimer::singleShot(0, &panel, [&] {
        steps();
        if (QTest::currentTestFailed())
            panel.reject();
    });
    return panel.exec();
}

// An action as the game master finds it, through the menu bar.
inline QAction* action(const QString& text)
{
    for (QAction* menu : Global::mainWindow->menuBar()->actions())
        if (menu->menu())
            for (QAction* entry : menu->menu()->actions())
                if (entry->text() == text)
                    return entry;
    qFatal("no action %s", qPrintable(text));
}

inline QSpinBox* hitPointBox()
{
    return Global::mainWindow->findChild<QSpinBox*>();
}

// Writes beyond the log's present size fail while it lives.
class FullDisk
{
public:
    FullDisk()
    {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &saved);
        rlimit limit = saved;
        limit.rlim_cur = QFileInfo(Global::history->getLogPath()).size();
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FullDisk() { setrlimit(RLIMIT_FSIZE, &saved); }

private:
    rlimit saved;
};

// A command's events stepped back give the model it started from; stepped
// forward again, and replayed from the log after a restart (enter puts the
// creatures back in the encounter), the model it left.
inline void checkStepsAndReplay(TestWorld* world, int events, const QString& start, const std::function<void()>& enter)
{
    const QString after = world->describe();
    for (int i = 0; i < events; i++)
        Global::history->back();
    QVERIFY2(world->describe() == start, qPrintable(TestWorld::difference(start, world->describe())));
    for (int i = 0; i < events; i++)
        Global::history->forward(false);
    QCOMPARE(world->describe(), after);
    QVERIFY(world->restart(enter));
    QVERIFY2(world->describe() == after, qPrintable(TestWorld::difference(after, world->describe())));
}

inline void key(Qt::Key key)
{
    QWidget* target = QApplication::focusWidget();
    QTest::keyClick(target ? target : Global::mainWindow, key);
}

}

#endif
