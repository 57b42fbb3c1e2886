// Arbitrary bytes as a creature file: both readers, then the file written
// back and read again. Nothing may crash, hang or leak.
#include <QGuiApplication>
#include <QDir>
#include <QTemporaryDir>

#include "creature/creature.h"
#include "foundation/global.h"

namespace {

// Relative portrait and import references resolve inside a folder of our own.
const QString& dataFolder()
{
    static QTemporaryDir folder;
    static const bool made = [] {
        for (const char* library : {"Characters", "Monsters", "Portraits"})
            QDir(folder.path()).mkdir(library);
        Global::nativeRootPath = QDir::toNativeSeparators(folder.path());
        return true;
    }();
    Q_UNUSED(made);
    static const QString path = folder.path();
    return path;
}

}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static int argc = 1;
    static char name[] = "fuzz_creaturefile";
    static char* argv[] = {name, nullptr};
    // Portraits are pixmaps, which need a (screenless) gui application.
    static const bool offscreen = qputenv("QT_QPA_PLATFORM", "offscreen");
    Q_UNUSED(offscreen);
    static QGuiApplication app(argc, argv);
    const QByteArray text(reinterpret_cast<const char*>(data), int(size));
    for (bool monster : {false, true}) {
        CreatureStats record;
        Creature::parseStatBlock(monster, text, record, dataFolder(), "fuzz", false);
        Creature creature;
        creature.setStats(record);
        const QString written = creature.generateStatBlock(false);
        CreatureStats again;
        Creature::parseStatBlock(monster, written, again, dataFolder(), "fuzz", false);
    }
    return 0;
}
