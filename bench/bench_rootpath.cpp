// Switches to a data folder of 2,000 monster templates (pasted text, every
// tenth an attribute-only file), 300 characters and 200 prepared
// encounters, up to the libraries handed over with an empty history, and
// reads the same files bare for comparison.

#include <QDirIterator>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <cstdio>

#include "foundation/global.h"
#include "library/encounters.h"
#include "support/testsupport.h"
#include "support/testworld.h"

namespace {

QByteArray monsterText(int i)
{
    if (i % 10 == 0)
        return QString("[Tallowmere]\r\nname=Bench Shade %1\r\nmonster=yes\r\nlevel=3\r\nhp=30\r\n").arg(i).toUtf8();
    return QString("Bench Raider %1 Level %2 Soldier\r\nMedium natural humanoid XP 150\r\nInitiative +5 Senses "
                   "Perception +3\r\nHP 47; Bloodied 23\r\nAC 19; Fortitude 16, Reflex 15, Will 14\r\nSpeed 6\r\n"
                   "Spear (standard; at-will) Weapon\r\n+10 vs. AC; 1d8 + 4 damage.\r\nAlignment Unaligned "
                   "Languages Common\r\nStr 16 (+4) Dex 14 (+3) Wis 12 (+2)\r\n")
        .arg(i)
        .arg(1 + i % 20)
        .toUtf8();
}

void makeFolder(const QString& root)
{
    for (int i = 0; i < 2000; i++)
        TestSupport::writeFile(root + QString("/Monsters/m%1.rvhn").arg(i), monsterText(i));
    for (int i = 0; i < 300; i++)
        TestSupport::writeFile(root + QString("/Characters/c%1.rvhn").arg(i),
                               QString("[Tallowmere]\r\nname=Hero %1\r\nlevel=5\r\nhp=40\r\n").arg(i).toUtf8());
    for (int i = 0; i < 200; i++)
        TestSupport::writeFile(root + QString("/Encounters/e%1.txt").arg(i),
                               QString("name=Fight %1\r\ndescription=\r\nBench Raider %1=1,2,3\r\nalias#2=Boss\r\n")
                                   .arg(i)
                                   .toUtf8());
}

qint64 bareRead(const QString& root)
{
    qint64 bytes = 0;
    QDirIterator it(root, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        bytes += TestSupport::readFile(it.next()).size();
    return bytes;
}

}

int main(int argc, char** argv)
{
    TestSupport::isolateEnvironment();
    QGuiApplication app(argc, argv);
    TestWorld world;
    Global::encounters = new Encounters;
    makeFolder(world.root());
    bareRead(world.root());

    QElapsedTimer timer;
    timer.start();
    const qint64 bytes = bareRead(world.root());
    const double bare = timer.nsecsElapsed() / 1e9;
    timer.restart();
    const bool switched = Global::setRootPath(world.root(), "Bench");
    const double load = timer.nsecsElapsed() / 1e9;
    printf("setRootPath: %.3f s (%s), bare read of %lld bytes: %.3f s, ratio %.1f\n", load, switched ? "ok" : "failed",
           bytes, bare, load / bare);
    delete Global::encounters;
    Global::encounters = nullptr;
    return switched ? 0 : 1;
}
