// The conditions-and-effects request as events: the preview shows on the
// creatures exactly what the recorded events then do, stepping back undoes
// them all, and the log replayed after a restart gives the same model.

#include <QGuiApplication>

#include <cstdlib>

#include "creature/creature.h"
#include "encounter/commandroad.h"
#include "encounter/effectentries.h"
#include "encounter/encounter.h"
#include "encounter/history.h"
#include "foundation/global.h"
#include "support/randomfight.h"
#include "support/testsupport.h"
#include "support/testworld.h"

namespace {

int roll(int sides)
{
    return rand() % sides;
}

QString figures()
{
    QStringList lines;
    for (int i = 0; Creature* c = Global::encounter->getCreature(i); i++) {
        const VitalFigures f = c->getFigures();
        lines.append(QString("%1 hp %2 temp %3 surges %4 ap %5")
                         .arg(c->getNameGroup())
                         .arg(f.hitPoints)
                         .arg(f.tempHitPoints)
                         .arg(f.healingSurges)
                         .arg(f.actionPoints));
    }
    return lines.join('\n');
}

EffectEntries randomEntries()
{
    static const int surgeChanges[] = {EffectEntries::OwnSurgeValue, -3, -2, -1, 0, 0, 0, 1, 2, 5};
    EffectEntries entries;
    entries.damage = roll(3) ? 0 : roll(40);
    entries.surgeChange = surgeChanges[roll(10)];
    entries.surgeValue = roll(15);
    entries.heal = roll(3) ? 0 : roll(30);
    entries.tempHitPoints = roll(3) ? 0 : roll(12);
    entries.condition = roll(2) ? CE::None : CE::EffectType(1 + roll(17));
    entries.onGoing = roll(3) ? 0 : roll(11) - 5;
    entries.bonus = roll(3) ? 0 : roll(5) - 2;
    entries.attributes.armorClass = roll(2);
    entries.resistance = roll(3) ? 0 : roll(11) - 5;
    entries.endCondition = CE::EndCondition(roll(7));
    entries.comment = roll(3) ? QString() : QString(" note %1 ").arg(roll(9));
    entries.action = CE::Action(roll(7));
    return entries;
}

EffectEntries::Parties randomParties()
{
    const int count = Global::encounter->getCreatureCount();
    EffectEntries::Parties parties;
    parties.origin = roll(5) ? Global::encounter->getCreature(roll(count)) : nullptr;
    for (int i = 0; i < count; i++)
        if (roll(3) == 0)
            parties.targets.append(Global::encounter->getCreature(i));
    parties.singleTarget = parties.targets.size() == 1 ? parties.targets.first() : nullptr;
    if (parties.origin && roll(2))
        parties.powerName = "Strike";
    return parties;
}

}

class TestEffectEntries : public QObject
{
    Q_OBJECT

private slots:
    void previewEqualsOutcome_data()
    {
        RandomFight::addSeedRows({3u, 17u, 2024u});
    }
    // Random entries on random targets in a random fight: what the preview shows is what the events do,
    // Step Back over them gives the figures back, and a restart replays the same model.
    void previewEqualsOutcome()
    {
        QFETCH(unsigned, seed);
        srand(seed);
        RecordingUiHooks hooks;
        TestWorld world;
        RandomFight fight(world, false);
        for (int round = 0; round < 60; round++) {
            fight.step();
            if (Global::encounter->getCreatureCount() == 0)
                continue;
            // The hand edits of the fight go first, as the command's road would write them.
            Global::encounter->writeVitalityChanges(world.stream());
            const QString before = figures();
            const EffectEntries entries = randomEntries();
            const EffectEntries::Parties parties = randomParties();
            entries.preview(parties);
            const QString previewed = figures();
            Global::encounter->resetAllDeltas();
            QCOMPARE(figures(), before);
            const int events = Global::history->getEventCount();
            CommandRoad road;
            QVERIFY(entries.record(road, parties));
            const QString outcome = figures();
            QVERIFY2(previewed == outcome, qPrintable(TestWorld::difference(outcome, previewed)));
            const int recorded = Global::history->getEventCount() - events;
            QCOMPARE(recorded, int(entries.steps(parties).size()));
            for (int i = 0; i < recorded; i++)
                Global::history->back();
            QCOMPARE(figures(), before);
            for (int i = 0; i < recorded; i++)
                Global::history->forward(false);
            QCOMPARE(figures(), outcome);
        }
        const QString model = world.describe();
        QVERIFY(world.restart([&fight] { fight.enterEncounter(); }));
        QVERIFY2(world.describe() == model, qPrintable(TestWorld::difference(model, world.describe())));
    }
};

RAVELHORN_TEST_MAIN(QGuiApplication, TestEffectEntries)
#include "test_effectentries.moc"
