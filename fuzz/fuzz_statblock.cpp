// Parses arbitrary text as a monster's or a hero's stat block (the first
// byte picks): no crash or hang, and a second parse of the same text gives
// the same record, as every load of a creature file must.

#include "common.h"

#include "library/creatureparser.h"
#include "library/statblocktesting.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const bool monster = data[0] & 1;
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    CreatureStats first;
    CreatureStats second;
    CreatureParser(monster).parse(first, text, QString());
    CreatureParser(monster).parse(second, text, QString());
    const QStringList once = describeStats(first);
    const QStringList again = describeStats(second);
    if (once != again)
        Fuzz::fail(once.join('\n') + "\n----\n" + again.join('\n'));
    return 0;
}
