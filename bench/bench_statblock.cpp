// Stat blocks parsed per second on one core (the test fixtures and variants
// of them with other names and figures; 2,000 by default, or the number
// given; --scale runs 1x, 4x and 16x), the time of one 1 MB paste of trap
// text, whose inserted line breaks must not copy the text, and a paste whose
// lines read as 30,000 powers (with --scale 5,000, 20,000 and 75,000), as a
// monster and as a hero.

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cstdio>
#include <ctime>

#include "benchsizes.h"
#include "library/creatureparser.h"

namespace {

// Processor time: the machine may be busy with other work.
double secondsSince(std::clock_t start)
{
    return double(std::clock() - start) / CLOCKS_PER_SEC;
}

void parseBlocks(const QStringList& fixtures, int count)
{
    QStringList blocks;
    for (int i = 0; i < count; ++i) {
        QString text = fixtures.at(i % fixtures.size());
        text.replace("Level ", QString("Level %1").arg(i % 30 + 1).left(7) + " ");
        blocks.append(QString("Variant %1 ").arg(i) + text);
    }
    std::clock_t start = std::clock();
    int powers = 0;
    for (const QString& text : blocks) {
        CreatureStats stats;
        CreatureParser(true).parse(stats, text, QString());
        powers += stats.powers.size();
    }
    const double seconds = secondsSince(start);
    printf("%d stat blocks (%d powers) in %.3f s: %d blocks per second\n", count, powers, seconds,
           int(count / seconds));
}

void trapPaste()
{
    QString paste = "Endless Corridor\nLevel 5 Trap XP 200\n";
    while (paste.size() < 1024 * 1024)
        paste += "The floor tilts.Slabs drop1.5 feet.Darts fly(see below)Then it resets.damageEffect follows.\n";
    std::clock_t start = std::clock();
    CreatureStats stats;
    CreatureParser(true).parse(stats, paste, QString());
    printf("1 MB paste (%d characters, %d powers) in %.3f s\n", int(paste.size()), int(stats.powers.size()),
           secondsSince(start));
}

// A name of letters only for a number.
QString lettersFor(qlonglong number)
{
    QString letters;
    do {
        letters += QChar('a' + int(number % 26));
        number /= 26;
    } while (number > 0);
    letters[0] = letters[0].toUpper();
    return letters;
}

// Powers of every action kind in turn, their names out of order, so that
// each lands among those already read.
QString powerPaste(int powers)
{
    static const char* const kinds[] = {"standard", "move", "minor", "free"};
    QString paste = "Paste Beast Level 5 Brute\nLarge natural beast XP 200\nHP 70; Bloodied 35\n";
    paste.reserve(powers * 60);
    for (int i = 0; i < powers; i++)
        paste += QString("m Rend %1 (%2; at-will)\n+8 vs. AC; 1d8 + 4 damage.\n")
                     .arg(lettersFor(qlonglong(i) * 7919 % powers), kinds[i % 4]);
    return paste;
}

void powersPaste(int count, double& monsterSeconds)
{
    const QString paste = powerPaste(count);
    for (bool monster : {true, false}) {
        std::clock_t start = std::clock();
        CreatureStats stats;
        CreatureParser(monster).parse(stats, paste, QString());
        const double seconds = secondsSince(start);
        if (monster)
            monsterSeconds = seconds;
        printf("powers paste as a %-7s %6d powers (%d read) in %.3f s\n", monster ? "monster" : "hero", count,
               int(stats.powers.size()), seconds);
    }
}

}

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QDir folder(RAVELHORN_STATBLOCKS);
    QStringList fixtures;
    for (const QString& file : folder.entryList({"*.txt"})) {
        QFile source(folder.filePath(file));
        if (source.open(QIODevice::ReadOnly))
            fixtures.append(QString::fromUtf8(source.readAll()));
    }
    if (fixtures.isEmpty()) {
        printf("no fixtures in %s\n", qPrintable(folder.path()));
        return 1;
    }
    const QList<int> sizes = benchSizes(argc, argv, 2000);
    for (int size : sizes)
        parseBlocks(fixtures, size);
    trapPaste();
    const QList<int> pastes = sizes.size() > 1 ? QList<int>{5000, 20000, 75000} : QList<int>{30000};
    double first = 0;
    for (int count : pastes) {
        double seconds = 0;
        powersPaste(count, seconds);
        if (count == pastes.first())
            first = seconds;
        else
            printf("   %.1fx the time of %d powers for %.0fx the powers\n", seconds / first, pastes.first(),
                   double(count) / pastes.first());
    }
    return 0;
}
