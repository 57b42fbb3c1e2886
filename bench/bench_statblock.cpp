// Stat blocks parsed per second on one core (the test fixtures and variants
// of them with other names and figures), and the time of one 1 MB paste of
// trap text, whose inserted line breaks must not copy the text.

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTextStream>

#include <ctime>

#include "library/creatureparser.h"

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QDir folder(RAVELHORN_STATBLOCKS);
    QStringList fixtures;
    for (const QString& file : folder.entryList({"*.txt"})) {
        QFile source(folder.filePath(file));
        if (source.open(QIODevice::ReadOnly))
            fixtures.append(QString::fromUtf8(source.readAll()));
    }
    if (fixtures.isEmpty()) {
        out << "no fixtures in " << folder.path() << "\n";
        return 1;
    }
    QStringList blocks;
    for (int i = 0; i < 2000; ++i) {
        QString text = fixtures.at(i % fixtures.size());
        text.replace("Level ", QString("Level %1").arg(i % 30 + 1).left(7) + " ");
        blocks.append(QString("Variant %1 ").arg(i) + text);
    }

    // Processor time: the machine may be busy with other work.
    std::clock_t start = std::clock();
    int powers = 0;
    for (const QString& text : blocks) {
        CreatureStats stats;
        CreatureParser(true).parse(stats, text, QString());
        powers += stats.powers.size();
    }
    const double seconds = double(std::clock() - start) / CLOCKS_PER_SEC;
    out << blocks.size() << " stat blocks (" << powers << " powers) in " << seconds << " s: "
        << int(blocks.size() / seconds) << " blocks per second\n";

    QString paste = "Endless Corridor\nLevel 5 Trap XP 200\n";
    while (paste.size() < 1024 * 1024)
        paste += "The floor tilts.Slabs drop1.5 feet.Darts fly(see below)Then it resets.damageEffect follows.\n";
    start = std::clock();
    CreatureStats stats;
    CreatureParser(true).parse(stats, paste, QString());
    out << "1 MB paste (" << paste.size() << " characters, " << stats.powers.size() << " powers) in "
        << double(std::clock() - start) / CLOCKS_PER_SEC << " s\n";
    return 0;
}
