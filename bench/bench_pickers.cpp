// The monster picker over 2,000 templates: the time to open it, to refilter
// on one keystroke and to take in a monster made while it runs with a narrow
// filter (goals: under 16 ms). Then the play-command
// toggles, which run on every applied event: the time of one round of them,
// and a replay of a long fight with the main window listening.

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "combat/pickmonsterdialog.h"
#include "creature/creature.h"
#include "encounter/history.h"
#include "foundation/global.h"
#include "library/monsters.h"
#include "mainwindow/mainwindow.h"
#include "support/randomfight.h"
#include "support/testsupport.h"
#include "support/testworld.h"
#include "benchsizes.h"

namespace {

double millisecondsSince(const QElapsedTimer& timer)
{
    return timer.nsecsElapsed() / 1e6;
}

void addTemplates(int count)
{
    const char* kinds[] = {"Goblin", "Orc", "Kobold", "Drake", "Hag", "Rat", "Skulker", "Wight"};
    for (int i = 0; i < count; i++) {
        auto* monster = new Creature;
        monster->setupDummyMonster(QString("%1 %2 %3").arg(kinds[i % 8]).arg(i / 8).arg(i % 3 ? "Raider" : "Archer"));
        Global::monsters->addTemplate(monster);
    }
}

void pickerFigures()
{
    QElapsedTimer timer;
    timer.start();
    PickMonsterDialog dialog;
    double built = millisecondsSince(timer);
    double opened = 0;
    QList<double> keystrokes;
    QTimer::singleShot(0, [&] {
        opened = millisecondsSince(timer);
        // Typing "gob ra" and taking it back again, one key at a time.
        const QString text = "gob ra";
        QLineEdit* filter = dialog.getFilterEdit();
        for (int pass = 0; pass < 10; pass++) {
            for (const QChar& c : text) {
                QElapsedTimer key;
                key.start();
                QTest::keyClick(filter, c.toLatin1());
                keystrokes << millisecondsSince(key);
            }
            for (int i = 0; i < text.size(); i++) {
                QElapsedTimer key;
                key.start();
                QTest::keyClick(filter, Qt::Key_Backspace);
                keystrokes << millisecondsSince(key);
            }
        }
        dialog.reject();
    });
    dialog.exec();
    std::sort(keystrokes.begin(), keystrokes.end());
    double sum = 0;
    for (double k : keystrokes)
        sum += k;
    printf("monster picker, %d templates: built %.1f ms, shown %.1f ms\n", Global::monsters->getTemplateCount(), built,
        opened);
    printf("refilter per keystroke: mean %.2f ms, median %.2f ms, worst %.2f ms (goal 16 ms)\n", sum / keystrokes.size(),
        keystrokes[keystrokes.size() / 2], keystrokes.last());
}

// Monsters made while the picker runs with a filter that shows a few, every
// other one among them: from the library's change to the picker settled.
void addWhileOpenFigures()
{
    PickMonsterDialog dialog;
    const QString filter = "goblin 12";
    QList<double> adds;
    QList<double> addsOnTheClock;
    int shown = 0;
    QTimer::singleShot(0, [&] {
        QTest::keyClicks(dialog.getFilterEdit(), filter);
        QCoreApplication::processEvents();
        for (int row = 0; row < dialog.getModel()->rowCount(); row++)
            shown += dialog.getView()->isRowHidden(row) ? 0 : 1;
        for (int i = 0; i < 40; i++) {
            auto* monster = new Creature;
            monster->setupDummyMonster(QString("%1 Newcomer %2").arg(i % 2 ? "Goblin 12" : "Orc").arg(i));
            QElapsedTimer clock;
            clock.start();
            const double start = cpuMilliseconds();
            Global::monsters->addTemplate(monster);
            // The rows are measured queued, and the measure asks for a repaint.
            QCoreApplication::processEvents();
            QCoreApplication::processEvents();
            adds << cpuMilliseconds() - start;
            addsOnTheClock << millisecondsSince(clock);
        }
        dialog.reject();
    });
    dialog.exec();
    printf("monster added while the picker runs, filter \"%s\" showing %d: median %.2f ms processor time, "
           "%.2f ms on the clock (goal 16 ms)\n",
        qPrintable(filter), shown, median(adds), median(addsOnTheClock));
}

void toggleFigures(MainWindow* window, TestWorld& world)
{
    srand(2026);
    RandomFight fight(world, false, 10, 20);
    while (Global::history->getEventCount() < 5000)
        fight.step();
    const int rounds = 20000;
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < rounds; i++) {
        window->toggleStartStopNextButtons();
        window->toggleJumpInButton();
    }
    printf("play-command toggles: %.2f us per round\n", timer.nsecsElapsed() / 1e3 / rounds);

    timer.restart();
    world.restart([&fight, &timer] {
        fight.enterEncounter();
        timer.start();
    });
    const double seconds = timer.nsecsElapsed() / 1e9;
    printf("replay with the main window: %d events in %.3f s, %.0f events/s\n", Global::history->getEventCount(), seconds,
        Global::history->getEventCount() / seconds);
}

}

int main(int argc, char** argv)
{
    TestSupport::isolateEnvironment();
    QApplication app(argc, argv);
    Global::init();
    auto* window = new MainWindow;
    window->resize(1400, 800);
    window->show();
    {
        TestWorld world;
        addTemplates(2000);
        pickerFigures();
        addWhileOpenFigures();
        toggleFigures(window, world);
    }
    window->shutdown();
    delete window;
    Global::exit();
    return 0;
}
