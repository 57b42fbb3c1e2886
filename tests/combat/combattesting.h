#ifndef COMBATTESTING_H
#define COMBATTESTING_H

#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QPointer>
#include <QPushButton>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QSpinBox>
#include <QTest>
#include <QPointer>
#include <QTimer>

#include <cstdlib>
#include <functional>
#include <type_traits>

#include "app/windowhooks.h"
#include "encounter/history.h"
#include "foundation/global.h"
#include "mainwindow/creaturedisplay.h"
#include "mainwindow/mainwindow.h"
#include "support/keyboardfocus.h"
#include "support/testsupport.h"
#include "support/testworld.h"
#include "toolkit/flatdialog.h"
#include "toolkit/panelhost.h"

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
        // The docks draw with the program's colours.
        CreatureDisplay::setupStyles();
        Global::init();
        window = new MainWindow;
        world = new TestWorld;
        // Wide enough for every tool bar: a widget in an overflow gets no focus.
        window->resize(1400, 700);
        KeyboardFocus::activate(window);
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

// Runs the steps on the first dialog or panel of the class that opens from
// now on, once its event loop runs. A failed step closes it.
template <typename T>
void whenOpen(const std::function<void(T*)>& steps, int triesLeft = 500)
{
    QTimer::singleShot(10, [steps, triesLeft] {
        T* open = nullptr;
        const bool panelRuns = PanelHost::instance() && PanelHost::instance()->runningFlatDialog();
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (auto* found = qobject_cast<T*>(widget))
                if (found->isVisible() || (std::is_base_of_v<FlatDialog, T> && panelRuns))
                    open = found;
        if (!open) {
            if (triesLeft > 0)
                whenOpen<T>(steps, triesLeft - 1);
            return;
        }
        QPointer<T> guard = open;
        steps(open);
        if (guard && QTest::currentTestFailed())
            guard->reject();
    });
}

// Seeds the dice so that the next d20 shows the roll.
inline void seedRolling(int roll)
{
    for (unsigned seed = 1;; seed++) {
        srand(seed);
        if (Global::d(20) == roll) {
            srand(seed);
            return;
        }
    }
}

// The texts of the buttons of the widget's button box, in order.
inline QStringList buttonTexts(QWidget* widget)
{
    QStringList texts;
    for (QAbstractButton* button : widget->findChild<QDialogButtonBox*>()->buttons())
        texts << button->text();
    return texts;
}

// Runs the command of the action to its end: the window queues the turn
// commands, whose prompts the caller answers.
inline void runCommand(const QString& text)
{
    action(text)->trigger();
    QCoreApplication::sendPostedEvents(Global::mainWindow, QEvent::MetaCall);
}

// Answers the modal prompts as they open, one step each, in order, and
// records their titles; with no step left a prompt is answered otherwise.
class PromptAnswerer : public QObject
{
public:
    using Step = std::function<void(QDialog*)>;

    explicit PromptAnswerer(const QList<Step>& steps = {}) : steps(steps)
    {
        connect(&timer, &QTimer::timeout, this, [this] { answer(); });
        timer.start(5);
    }

    static Step ok()
    {
        return [](QDialog* dialog) { dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click(); };
    }
    static Step escape()
    {
        return [](QDialog* dialog) { QTest::keyClick(dialog, Qt::Key_Escape); };
    }
    // The check boxes in order set as given, then OK.
    static Step check(const QList<bool>& states)
    {
        return [states](QDialog* dialog) {
            const QList<QCheckBox*> boxes = dialog->findChildren<QCheckBox*>();
            for (int i = 0; i < states.size() && i < boxes.size(); i++)
                boxes[i]->setChecked(states[i]);
            ok()(dialog);
        };
    }

    QList<Step> steps;
    Step otherwise = ok();
    QStringList titles;

private:
    void answer()
    {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog || dialog == answered)
            return;
        answered = dialog;
        titles.append(dialog->windowTitle());
        (steps.isEmpty() ? otherwise : steps.takeFirst())(dialog);
    }

    QTimer timer;
    QPointer<QDialog> answered;
};

// The log replayed after a restart (enter puts the creatures back in the
// encounter) gives the model as it stands.
inline void checkReplay(TestWorld* world, const std::function<void()>& enter)
{
    const QString after = world->describe();
    QVERIFY(world->restart(enter));
    QVERIFY2(world->describe() == after, qPrintable(TestWorld::difference(after, world->describe())));
}

// A command's events stepped back give the model it started from; stepped
// forward again, and replayed, the model it left.
inline void checkStepsAndReplay(TestWorld* world, int events, const QString& start, const std::function<void()>& enter)
{
    const QString after = world->describe();
    for (int i = 0; i < events; i++)
        Global::history->back();
    QVERIFY2(world->describe() == start, qPrintable(TestWorld::difference(start, world->describe())));
    for (int i = 0; i < events; i++)
        Global::history->forward(false);
    QCOMPARE(world->describe(), after);
    checkReplay(world, enter);
}

// The texts of the events recorded from that index on.
inline QStringList eventTexts(int from = 0)
{
    QStringList texts;
    for (int i = from; i < Global::history->getEventCount(); i++)
        texts << Global::history->getEventText(i);
    return texts;
}

// The key pressed where the game master's keys go: into the modal dialog on
// top, else into the main window.
inline void key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QWidget* modal = QApplication::activeModalWidget();
    KeyboardFocus::press(modal ? modal : Global::mainWindow, QKeyCombination(modifiers, key));
}

}

#endif
