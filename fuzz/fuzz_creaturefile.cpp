// Arbitrary bytes as a creature file, for a monster and for a hero: read
// as a library reads its folder, written back with the creature's section
// and read again. No crash, hang or leak; a linked file is never followed.
// A file is either told as not read, or its text comes back whole.

#include "common.h"

#include <QDir>
#include <QTemporaryDir>

#include "creature/creature.h"
#include "foundation/global.h"
#include "support/testsupport.h"

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
    const QString path = Global::getCreaturePath("fuzz.rvhn", true, dataFolder());
    if (!TestSupport::writeFile(path, QByteArray(reinterpret_cast<const char*>(data), qsizetype(size))))
        Fuzz::fail("cannot write into " + dataFolder());
    QByteArray text;
    QString failure;
    if (!Creature::readCreatureFile(path, text, &failure)) {
        if (failure.isEmpty())
            Fuzz::fail("a file not read without a cause");
        return 0;
    }
    for (bool monster : {false, true}) {
        CreatureStats record;
        Creature::parseStatBlock(monster, text, record, dataFolder(), "fuzz", false);
        if (record.statBlock.toUtf8() != text)
            Fuzz::fail("read as:\n" + record.statBlock);
        Creature creature;
        creature.setStats(record);
        CreatureStats again;
        Creature::parseStatBlock(monster, creature.generateStatBlock(false), again, dataFolder(), "fuzz", false);
    }
    return 0;
}
