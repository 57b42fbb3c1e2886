#include "encounter/commandroad.h"

#include "encounter/encounter.h"
#include "encounter/event.h"
#include "encounter/history.h"
#include "foundation/global.h"

CommandRoad::CommandRoad() : stream(Global::history->getStream(false)) {}

ObjectStream* CommandRoad::getStream()
{
    if (!editsWritten && stream) {
        editsWritten = true;
        Global::encounter->writeVitalityChanges(stream);
    }
    return stream;
}

bool CommandRoad::apply(Event* event)
{
    if (!isOpen()) {
        delete event;
        return false;
    }
    refused = !Global::history->apply(event, false);
    return !refused;
}
