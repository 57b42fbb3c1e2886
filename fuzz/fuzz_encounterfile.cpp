// Arbitrary bytes as an encounter file: read and written back; that text
// read and written again must be the very same text. Only a file ending in
// the middle of a line may be told as cut. Nothing may crash, hang or leak.

#include "common.h"

#include <QDir>
#include <QTemporaryDir>

#include "foundation/global.h"
#include "library/encounterdata.h"
#include "support/testsupport.h"

namespace {

const QString& dataFolder()
{
    static QTemporaryDir folder;
    static const QString path = [] {
        QDir(folder.path()).mkdir("Encounters");
        return folder.path();
    }();
    return path;
}

// The text of the file as the program writes it, empty when it does not read.
QByteArray loadAndWrite(const QByteArray& bytes)
{
    if (!TestSupport::writeFile(Global::getEncounterPath("fuzz.txt", dataFolder()), bytes))
        Fuzz::fail("cannot write into " + dataFolder());
    EncounterData encounter;
    QString told;
    const bool read = encounter.load("fuzz.txt", dataFolder(), &told);
    if (!told.isEmpty() && (bytes.endsWith('\n') || bytes.endsWith('\r')))
        Fuzz::fail("a file ending with a line end told as cut: " + told);
    return read ? encounter.getFileText(true) : QByteArray();
}

}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray written = loadAndWrite(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    if (written.isEmpty())
        return 0;
    const QByteArray again = loadAndWrite(written);
    if (again != written)
        Fuzz::fail("saved:\n" + Global::fromBytes(written) + "\nsaved again:\n" + Global::fromBytes(again));
    return 0;
}
