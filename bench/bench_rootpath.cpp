// Switches to a data folder of 2,000 monster templates (pasted text, every
// tenth an attribute-only file, every tenth builder XML), 300 characters
// (every tenth builder XML) and 200 prepared encounters, up to the libraries
// handed over with an empty history, and reads the same files bare for
// comparison. A number given multiplies the folder; --scale runs it at 1x,
// 4x and 16x.

#include <QDirIterator>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QRegularExpression>

#include <cstdio>

#include "benchsizes.h"
#include "foundation/global.h"
#include "library/encounters.h"
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

bool run(int times)
{
    TestWorld world;
    Global::encounters = new Encounters;
    const int files = makeFolder(world.root(), times);
    bareRead(world.root());

    QElapsedTimer timer;
    timer.start();
    const qint64 bytes = bareRead(world.root());
    const double bare = timer.nsecsElapsed() / 1e9;
    timer.restart();
    const bool switched = Global::setRootPath(world.root(), "Bench");
    const double load = timer.nsecsElapsed() / 1e9;
    printf("%d files, %lld bytes, %s\n", files, (long long)bytes, switched ? "switched" : "failed");
    printFigures("rootpath", files, load, "bare read", bare);
    delete Global::encounters;
    Global::encounters = nullptr;
    return switched;
}

}

int main(int argc, char** argv)
{
    TestSupport::isolateEnvironment();
    QGuiApplication app(argc, argv);
    bool ok = true;
    for (int times : benchSizes(argc, argv, 1))
        ok = run(times) && ok;
    return ok ? 0 : 1;
}
