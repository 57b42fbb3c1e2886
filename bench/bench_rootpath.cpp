// Switches to a data folder of 2,000 monster templates (pasted text, every
// tenth an attribute-only file, every tenth builder XML), 300 characters
// (every tenth builder XML) and 200 prepared encounters, up to the libraries
// handed over with an empty history, and reads the same files bare for
// comparison, with the split of the load's time: the workers' reading, the
// main thread's own part and its reading (processor time, the machine being
// shared), and its waiting for the workers. A number given multiplies the
// folder; --scale runs it at 1x, 4x and 16x. Then the first folder with a
// fight of 1,000 events in its log, behind the game master's window as
// start-up makes it: window built, folder loaded and log replayed, window
// shown and painted once.

#include <QApplication>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QRegularExpression>

#include <cstdio>

#include "benchsizes.h"
#include "encounter/encounter.h"
#include "encounter/history.h"
#include "encounter/vitalityevents.h"
#include "foundation/global.h"
#include "foundation/orderedwork.h"
#include "library/characters.h"
#include "library/encounters.h"
#include "library/monsters.h"
#include "mainwindow/mainwindow.h"
#include "support/testsupport.h"
#include "support/testworld.h"

namespace {

// A builder file under another name.
QByteArray builderText(const char* file, const QString& name)
{
    QString text = QString::fromUtf8(TestSupport::readFile(QString(RAVELHORN_BUILDERFILES "/") + file));
    static const QRegularExpression firstName("<([Nn]ame)>[^<]*</[Nn]ame>");
    const QRegularExpressionMatch match = firstName.match(text);
    text.replace(match.capturedStart(), match.capturedLength(), QString("<%1>%2</%1>").arg(match.captured(1), name));
    return text.toUtf8();
}

QByteArray monsterText(int i)
{
    if (i % 10 == 0)
        return QString("[Tallowmere]\r\nname=Bench Shade %1\r\nmonster=yes\r\nlevel=3\r\nhp=30\r\n").arg(i).toUtf8();
    if (i % 10 == 5)
        return builderText(i % 20 == 5 ? "brute.monster" : "soldier.monster", QString("Bench Builder %1").arg(i));
    return QString("Bench Raider %1 Level %2 Soldier\r\nMedium natural humanoid XP 150\r\nInitiative +5 Senses "
                   "Perception +3\r\nHP 47; Bloodied 23\r\nAC 19; Fortitude 16, Reflex 15, Will 14\r\nSpeed 6\r\n"
                   "Spear (standard; at-will) Weapon\r\n+10 vs. AC; 1d8 + 4 damage.\r\nAlignment Unaligned "
                   "Languages Common\r\nStr 16 (+4) Dex 14 (+3) Wis 12 (+2)\r\n")
        .arg(i)
        .arg(1 + i % 20)
        .toUtf8();
}

QByteArray characterText(int i)
{
    if (i % 10 == 5)
        return builderText("hero.dnd4e", QString("Builder Hero %1").arg(i));
    return QString("[Tallowmere]\r\nname=Hero %1\r\nlevel=5\r\nhp=40\r\n").arg(i).toUtf8();
}

int makeFolder(const QString& root, int times)
{
    for (int i = 0; i < 2000 * times; i++)
        TestSupport::writeFile(root + QString("/Monsters/m%1.rvhn").arg(i), monsterText(i));
    for (int i = 0; i < 300 * times; i++)
        TestSupport::writeFile(root + QString("/Characters/c%1.rvhn").arg(i), characterText(i));
    for (int i = 0; i < 200 * times; i++)
        TestSupport::writeFile(root + QString("/Encounters/e%1.txt").arg(i),
                               QString("name=Fight %1\r\ndescription=\r\nBench Raider %1=1,2,3\r\nalias#2=Boss\r\n")
                                   .arg(i)
                                   .toUtf8());
    return 2500 * times;
}

qint64 bareRead(const QString& root)
{
    qint64 bytes = 0;
    QDirIterator it(root, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        bytes += TestSupport::readFile(it.next()).size();
    return bytes;
}

bool recordFight(int events)
{
    QList<Creature*> party;
    for (int i = 0; i < 10; i++)
        party.append(Global::characters->getCharacter(i));
    if (party.contains(nullptr))
        return false;
    Global::encounter->setCreatureList(CreatureList(party));
    for (int i = 0; i < events; i++) {
        Creature* hero = party.at(i % party.size());
        hero->setCurrHitPoints(hero->getCurrHitPoints() - 1);
        if (!Global::history->apply(new SetVitalityEvent(hero->getVitality(), Global::history->getStream(false)), true))
            return false;
    }
    return true;
}

double seconds(QElapsedTimer& timer)
{
    const double elapsed = timer.nsecsElapsed() / 1e9;
    timer.restart();
    return elapsed;
}

// The window's part, from construction to the first paint; false when the folder did not load.
bool benchWindow(const QString& root)
{
    QElapsedTimer timer;
    timer.start();
    auto* window = new MainWindow;
    const double built = seconds(timer);
    const bool loaded = Global::setRootPath(root, "Bench");
    const double load = seconds(timer);
    window->show();
    QCoreApplication::processEvents();
    window->repaint();
    const double shown = seconds(timer);
    printf("main window: built %.3f s, folder loaded with %d events replayed %.3f s, shown and painted %.3f s, "
           "in all %.3f s\n",
           built, Global::history->getEventCount(), load, shown, built + load + shown);
    window->shutdown();
    delete window;
    return loaded;
}


// The window's part over the folder loaded last; false when it fails.
bool runWindow(const QString& root)
{
    if (!recordFight(1000))
        return false;
    // The window makes the singletons of its own.
    for (QObject* singleton : std::initializer_list<QObject*>{Global::history, Global::encounter, Global::characters,
                                                              Global::monsters, Global::encounters})
        delete singleton;
    Global::history = nullptr;
    Global::encounter = nullptr;
    Global::characters = nullptr;
    Global::monsters = nullptr;
    Global::encounters = nullptr;
    Global::init();
    const bool shown = benchWindow(root);
    Global::exit();
    return shown;
}

bool run(int times, bool withWindow)
{
    TestWorld world;
    Global::encounters = new Encounters;
    const int files = makeFolder(world.root(), times);
    bareRead(world.root());

    QElapsedTimer timer;
    timer.start();
    const qint64 bytes = bareRead(world.root());
    const double bare = timer.nsecsElapsed() / 1e9;
    const OrderedWork::Split before = OrderedWork::spent();
    const double cpuBefore = cpuMilliseconds();
    timer.restart();
    const bool switched = Global::setRootPath(world.root(), "Bench");
    const double load = timer.nsecsElapsed() / 1e9;
    const double cpu = (cpuMilliseconds() - cpuBefore) / 1e3;
    const OrderedWork::Split after = OrderedWork::spent();
    printf("%d files, %lld bytes, %s\n", files, (long long)bytes, switched ? "switched" : "failed");
    printFigures("rootpath", files, load, "bare read", bare);
    const double waiting = after.waiting - before.waiting;
    const double reading = after.caller - before.caller;
    printf("split      workers %.3f s, main thread %.3f s and reading %.3f s, waiting %.3f s\n",
           after.workers - before.workers, cpu - reading, reading, waiting);
    if (switched && withWindow)
        return runWindow(world.root());
    delete Global::encounters;
    Global::encounters = nullptr;
    return switched;
}

}

int main(int argc, char** argv)
{
    TestSupport::isolateEnvironment();
    QApplication app(argc, argv);
    bool ok = true;
    const QList<int> sizes = benchSizes(argc, argv, 1);
    for (int times : sizes)
        ok = run(times, times == sizes.first()) && ok;
    return ok ? 0 : 1;
}
