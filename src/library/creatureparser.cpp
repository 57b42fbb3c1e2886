#include "library/creatureparser.h"

CreatureParser::CreatureParser(bool monster) : monster(monster)
{
}

void CreatureParser::parse(CreatureStats& out, QString text, QString)
{
    if (text.trimmed().isEmpty())
        return;
    stats = CreatureStats();
    stats.monster = monster;
    stats.statBlock = text;
    out = stats;
}
