// Replays arbitrary bytes as the history log, records one command after
// what could be read and replays again: no crash, and the second replay
// gives back the first plus the command.

#include "common.h"
#include "historyfight.h"

#include "encounter/damageevents.h"
#include "encounter/encounter.h"
#include "encounter/encounterevents.h"
#include "encounter/history.h"
#include "foundation/global.h"
#include "support/testsupport.h"
#include "support/testworld.h"

namespace {

// A next turn when the fight runs, else damage to someone in it; the
// input's last byte picks.
Event* oneCommand(ObjectStream* stream, unsigned char pick)
{
    Encounter* encounter = Global::encounter;
    if (encounter->isRunning() && pick % 2)
        return new NextTurnEvent(stream, false);
    if (encounter->getCreatureCount() == 0)
        return nullptr;
    Creature* target = encounter->getCreature(pick % encounter->getCreatureCount());
    return new DamageEvent("Hit", nullptr, target, 1 + pick % 12, "", stream);
}

QString describe(const TestWorld& world)
{
    return QString("events %1\n").arg(Global::history->getEventCount()) + world.describe();
}

}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Each input has its own data folder, so the kept copies of unreadable logs go with it.
    TestWorld world;
    RecordingUiHooks hooks;
    RandomFight fight = historyFightCast(world);
    if (!TestSupport::writeFile(world.logPath(), QByteArray(reinterpret_cast<const char*>(data), int(size))))
        Fuzz::fail("cannot write " + world.logPath());
    auto enter = [&fight] { fight.enterEncounter(); };
    world.restart(enter);

    // As the program does before every command: edits by hand are recorded first.
    if (ObjectStream* stream = world.stream()) {
        Global::encounter->writeVitalityChanges(stream);
        if (Event* command = oneCommand(stream, size ? data[size - 1] : 0))
            world.record(command);
    }
    QString expected = describe(world);
    world.restart(enter);
    QString actual = describe(world);
    if (actual != expected)
        Fuzz::fail(TestWorld::difference(expected, actual));
    return 0;
}
