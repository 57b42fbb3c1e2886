#ifndef EVENTTAGS_H
#define EVENTTAGS_H

// Record tags of the history log that have no name in the stream's own list.
enum EventTag {
    ID_ENCOUNTER_ENTRY_ADVENTURE = 146,
    ID_DAMAGE_EVENT_ACTION = 342,
    ID_DAMAGE_EVENT_DAMAGE_TYPE = 343,
    ID_HEAL_EVENT_ACTION = 353,
    ID_RENAME_CREATURE_EVENT_END = 700,
    ID_RENAME_CREATURE_EVENT_OLD_NAME = 701,
    ID_RENAME_CREATURE_EVENT_NEW_NAME = 702,
};

#endif
