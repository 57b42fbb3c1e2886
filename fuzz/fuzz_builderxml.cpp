// Arbitrary bytes as a builder file, through the monster and the character
// reader with either monster flag: no crash, hang or leak, and a second
// read of the same bytes gives the same record.

#include "common.h"

#include <QDir>
#include <QTemporaryDir>

#include "creature/creature.h"
#include "library/statblocktesting.h"

namespace {

// A portrait a file names is copied into a data folder of our own.
const QString& dataFolder()
{
    static QTemporaryDir folder;
    static const QString path = [] {
        QDir(folder.path()).mkdir("Portraits");
        return folder.path();
    }();
    return path;
}

QStringList readTwice(void (*reader)(bool, const QByteArray&, CreatureStats&, const QString&), bool monster,
                      const QByteArray& bytes)
{
    CreatureStats first;
    CreatureStats second;
    reader(monster, bytes, first, dataFolder());
    reader(monster, bytes, second, dataFolder());
    const QStringList once = describeStats(first);
    if (once != describeStats(second))
        Fuzz::fail(once.join('\n') + "\n----\n" + describeStats(second).join('\n'));
    return once;
}

}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    for (bool monster : {false, true}) {
        readTwice(&Creature::readMonsterXml, monster, bytes);
        readTwice(&Creature::readCharacterXml, monster, bytes);
    }
    return 0;
}
