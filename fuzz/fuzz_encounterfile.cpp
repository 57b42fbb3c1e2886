// Arbitrary bytes as an encounter file: read, written back and read again,
// which must give the same encounter (equal IDs may swap places, as they
// do when added). Nothing may crash, hang or leak.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdlib>

#include "foundation/global.h"
#include "library/encounterdata.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static int argc = 1;
    static char name[] = "fuzz_encounterfile";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    static QTemporaryDir folder;
    static const bool made = QDir(folder.path()).mkdir("Encounters");
    Q_UNUSED(made);
    const QString path = Global::getEncounterPath("fuzz.txt", folder.path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return 0;
    file.write(reinterpret_cast<const char*>(data), qint64(size));
    file.close();

    EncounterData first;
    if (!first.load("fuzz.txt", folder.path()))
        return 0;
    const QByteArray text = first.getFileText(true);
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write(text);
    file.close();
    EncounterData second;
    if (!second.load("fuzz.txt", folder.path()) || second.getName() != first.getName()
        || second.getMonsterCount() != first.getMonsterCount() || second.getGroupCount() != first.getGroupCount())
        abort();
    return 0;
}
