#include "encounter/commandroad.h"

#include "encounter/encounter.h"
#include "encounter/event.h"
#include "encounter/history.h"
#include "foundation/global.h"

CommandRoad::CommandRoad()
    : stream(Global::history->getStream(false)), refusals(Global::history->getRefusedCount())
{
}

bool CommandRoad::isOpen() const
{
    return stream && Global::history->getRefusedCount() == refusals;
}

bool CommandRoad::writeEdits()
{
    if (!editsWritten && isOpen()) {
        editsWritten = true;
        Global::encounter->writeVitalityChanges(stream);
        // Refused, the edits stay to be recorded by the next command.
        if (!isOpen())
            Global::encounter->setCreatureEdited();
    }
    return isOpen();
}

ObjectStream* CommandRoad::getStream()
{
    writeEdits();
    return stream;
}

bool CommandRoad::apply(Event* event)
{
    if (!isOpen()) {
        delete event;
        return false;
    }
    return Global::history->apply(event, false);
}
