#ifndef CREATUREPARSER_H
#define CREATUREPARSER_H

#include <QList>
#include <QString>

#include "creature/creature.h"
#include "library/statblocktokens.h"

// Reads pasted stat-block text, with the artefacts copying leaves in it,
// into a creature's statistics and powers. One parser serves one parse.
class CreatureParser
{
public:
    // The class of a stat-block line.
    enum State : int {
        UNKNOWN_LINE,
        HEADER_TITLE,
        HEADER_LINE,
        HEADER_TRAIT,
        POWER_SECTION,
        POWER_HEADER,
        POWER_HEADER_DOT,
        POWER_DETAIL,
        TRAP_DETAIL_STANDARD,
        TRAP_DETAIL_FREE,
        TRAP_DETAIL_TRIGGERED,
        TRAP_DETAIL_SKILL,
        TRAP_DETAIL_SKILL_DC,
        TRAP_DETAIL_DC,
        POWER_DETAIL_W_LABEL,
        POWER_DETAIL_W_TRAP,
        FOOTER_LINE,
        FOOTER_HEADER,
        FOOTER_DETAIL,
        NO_LINE,
    };

    explicit CreatureParser(bool monster);

    // Fills out from the text; an empty text leaves it untouched. fileName
    // is the data folder a portrait is looked for in.
    void parse(CreatureStats& out, QString text, QString fileName);

private:
    bool monster;
    CreatureStats stats;
};

#endif
