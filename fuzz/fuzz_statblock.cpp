// Parses arbitrary text as a monster's or a hero's stat block (the first
// byte picks): no crash or hang, the text read to its end (or to a second
// stat block pasted after the first: nothing lost on the way, as when a
// line cut at its end once read as the end of the text), and a second parse
// of the same text gives the same record, as every load of a creature file
// must.

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
    CreatureParser parser(monster);
    parser.parse(first, text, QString());
    if (!parser.readWholeText())
        Fuzz::fail("the parse stopped before the end of the text");
    CreatureParser(monster).parse(second, text, QString());
    const QStringList once = describeStats(first);
    const QStringList again = describeStats(second);
    if (once != again)
        Fuzz::fail(once.join('\n') + "\n----\n" + again.join('\n'));
    return 0;
}
