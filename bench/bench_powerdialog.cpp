// The power dialog over 40 creatures with a power of eight steps in each
// list: the time of one rebuild after an added step, the step's row added,
// shown and laid out (goal: under 50 ms), of the whole editor made anew, and
// of one creature moved by Right, the selection mirrored, the checks and the
// guided order redone and the window refreshed once (goal: under 16 ms).

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <cstdio>

#include "creature/creature.h"
#include "encounter/encounter.h"
#include "foundation/global.h"
#include "mainwindow/creaturedisplay.h"
#include "mainwindow/mainwindow.h"
#include "powerdialog/picklistwidget.h"
#include "powerdialog/powerdialog.h"
#include "powerdialog/powerwidget.h"
#include "support/testsupport.h"
#include "support/testworld.h"

namespace {

const int creatureCount = 40;
const int stepsPerList = 8;

double millisecondsSince(const QElapsedTimer& timer)
{
    return timer.nsecsElapsed() / 1e6;
}

CreaturePower heavyPower()
{
    CreaturePower power;
    power.name = "Storm of Blades";
    power.status = CreaturePower::UserPower;
    for (int type = Power::Hit; type <= Power::Effect; type++)
        for (int i = 0; i < stepsPerList; i++) {
            const auto kind = PowerStep::Type(PowerStep::Healing + i % PowerStep::EndCondition);
            PowerStep* step = power.program.addStep(kind, Power::StepType(type));
            if (kind == PowerStep::Damage) {
                static_cast<DamageStep*>(step)->damage = 7;
                static_cast<DamageStep*>(step)->perTarget = true;
            }
        }
    return power;
}

QString summary(QList<double> times)
{
    std::sort(times.begin(), times.end());
    double sum = 0;
    for (double t : times)
        sum += t;
    return QString("mean %1 ms, median %2 ms, worst %3 ms")
        .arg(sum / times.size(), 0, 'f', 2)
        .arg(times[times.size() / 2], 0, 'f', 2)
        .arg(times.last(), 0, 'f', 2);
}

void figures(Creature* origin, const QList<Creature*>& targets)
{
    QList<double> rebuilds;
    QList<double> moves;
    // Within them: the click's own work, the creature moved, the window's refresh tick.
    QList<double> built;
    QList<double> moved;
    QList<double> ticked;
    QList<double> remade;
    PowerDialog dialog(origin, "Storm of Blades", QString(), targets, {});
    QTimer::singleShot(0, [&] {
        auto* editor = Global::mainWindow->findChild<PowerWidget*>();
        for (int i = 0; i < 10; i++) {
            QElapsedTimer timer;
            timer.start();
            QTest::mouseClick(editor->getAddButton(PowerStep::Condition), Qt::LeftButton);
            editor = Global::mainWindow->findChild<PowerWidget*>();
            built << millisecondsSince(timer);
            // Shown and laid out: what the next paint needs.
            QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
            Global::mainWindow->grab();
            rebuilds << millisecondsSince(timer);
            // The old panels go as the main window's loop would let them.
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        // The whole editor made anew, as when the origin or the power changes.
        for (int i = 0; i < 10; i++) {
            QElapsedTimer timer;
            timer.start();
            dialog.rebuildDialog(nullptr, Power::Hit, 0, 0, 0, false, false);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
            Global::mainWindow->grab();
            remade << millisecondsSince(timer);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        for (int i = 0; i < 20; i++) {
            auto* left = Global::mainWindow->findChild<PickListWidget*>("pickview");
            auto* right = Global::mainWindow->findChild<PickListWidget*>("listview");
            PickListWidget* from = left->count() ? left : right;
            from->setCurrentRow(0);
            QElapsedTimer timer;
            timer.start();
            QKeyEvent key(QEvent::KeyPress, from == left ? Qt::Key_Right : Qt::Key_Left, Qt::NoModifier);
            QCoreApplication::sendEvent(from, &key);
            moved << millisecondsSince(timer);
            // The window's one refresh of the changed figures and selection.
            emit Global::switchBoard.doRefreshTimer();
            ticked << millisecondsSince(timer);
            QCoreApplication::processEvents();
            moves << millisecondsSince(timer);
        }
        dialog.reject();
    });
    dialog.exec();
    printf("power dialog, %d creatures, %d steps per list\n", creatureCount, stepsPerList);
    printf("rebuild after an added step: %s (goal 50 ms)\n", qPrintable(summary(rebuilds)));
    printf("  of which the click (the row added, the owner told): %s\n", qPrintable(summary(built)));
    printf("the editor made anew: %s\n", qPrintable(summary(remade)));
    printf("one creature moved by Right: %s (goal 16 ms)\n", qPrintable(summary(moves)));
    printf("  of which the move: %s; up to the refresh tick's end: %s\n", qPrintable(summary(moved)),
           qPrintable(summary(ticked)));
}

}

int main(int argc, char** argv)
{
    TestSupport::isolateEnvironment();
    QApplication app(argc, argv);
    // The docks draw with the program's own colours.
    CreatureDisplay::setupStyles();
    Global::init();
    CreatureDisplay::setupStyles();
    auto* window = new MainWindow;
    window->resize(1400, 900);
    window->show();
    {
        TestWorld world;
        QList<Creature*> creatures;
        for (int i = 0; i < creatureCount / 2; i++)
            creatures << world.addHero(QString("Hero %1").arg(i), 40);
        for (int i = 0; i < creatureCount / 2; i++)
            creatures << world.addMonster("Goblin", QString::number(i + 1), 30);
        Global::encounter->setCreatureList(CreatureList(creatures));
        creatures.first()->getPowers().addPower(heavyPower(), false);
        figures(creatures.first(), creatures.mid(creatureCount / 2, 10));
    }
    window->shutdown();
    delete window;
    Global::exit();
    return 0;
}
