// Arbitrary bytes as a creature file, for a monster and for a hero: read,
// written back with the creature's section and read again. No crash, hang
// or leak; a linked file is never followed.

#include "common.h"

#include <QDir>
#include <QTemporaryDir>

#include "creature/creature.h"

namespace {

// Relative portrait and import references resolve in a data folder of our own.
const QString& dataFolder()
{
    static QTemporaryDir folder;
    static const QString path = [] {
        for (const char* library : {"Characters", "Monsters", "Portraits"})
            QDir(folder.path()).mkdir(library);
        return folder.path();
    }();
    return path;
}

}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray text(reinterpret_cast<const char*>(data), qsizetype(size));
    for (bool monster : {false, true}) {
        CreatureStats record;
        Creature::parseStatBlock(monster, text, record, dataFolder(), "fuzz", false);
        Creature creature;
        creature.setStats(record);
        CreatureStats again;
        Creature::parseStatBlock(monster, creature.generateStatBlock(false), again, dataFolder(), "fuzz", false);
    }
    return 0;
}
