// Damage given per target: each creature takes its own amount as its own
// event, through the real log, undone and replayed alike.

#include <QGuiApplication>

#include "creature/creature.h"
#include "encounter/encounter.h"
#include "encounter/history.h"
#include "foundation/attrtext.h"
#include "foundation/global.h"
#include "powers/power.h"
#include "support/testsupport.h"
#include "support/testworld.h"

namespace {

DamageStep* damageStep(CreaturePower& power, Power::StepType list, int damage)
{
    auto* step = static_cast<DamageStep*>(power.program.addStep(PowerStep::Damage, list));
    step->damage = damage;
    return step;
}

}

class TestPerTargetDamage : public QObject
{
    Q_OBJECT

private slots:
    // One event per target above 0, each with its own amount; the step's damage for the others.
    void eachTargetTakesItsOwnAmount()
    {
        TestWorld world;
        Creature* ana = world.addHero("Ana", 40);
        Creature* bron = world.addHero("Bron", 40);
        Creature* goblin = world.addMonster("Goblin", "1", 30);
        Global::encounter->setCreatureList(CreatureList({ana, bron, goblin}));
        const QString before = world.describe();

        CreaturePower power;
        power.name = "Cleave";
        DamageStep* step = damageStep(power, Power::Hit, 7);
        step->perTarget = true;
        step->targetDamage = {{ana, 3}, {bron, 0}};
        QVERIFY(power.apply(goblin, {ana, bron, goblin}, Power::Hit, world.stream()));
        QCOMPARE(Global::history->getEventCount(), 2);
        QCOMPARE(ana->getCurrHitPoints(), 37);
        QCOMPARE(bron->getCurrHitPoints(), 40);
        QCOMPARE(goblin->getCurrHitPoints(), 23);
        const QString after = world.describe();

        // Without per-target damage one event hits them all alike.
        step->perTarget = false;
        QVERIFY(power.apply(goblin, {ana, bron}, Power::Hit, world.stream()));
        QCOMPARE(Global::history->getEventCount(), 3);
        QCOMPARE(ana->getCurrHitPoints(), 30);
        QCOMPARE(bron->getCurrHitPoints(), 33);

        const QString both = world.describe();
        QVERIFY(world.restart([&] {
            Global::encounter->setCreatureList(CreatureList(
                {world.find("Ana"), world.find("Bron"), Creature::getCreatureByName("Goblin (1)", true)}));
        }));
        QVERIFY2(world.describe() == both, qPrintable(TestWorld::difference(both, world.describe())));
        Global::history->back();
        QVERIFY2(world.describe() == after, qPrintable(TestWorld::difference(after, world.describe())));
        Global::history->back();
        Global::history->back();
        QVERIFY2(world.describe() == before, qPrintable(TestWorld::difference(before, world.describe())));
    }

    // A damage step knows its list when added, read back and copied; its
    // amounts are copied but never written, and a fresh roll drops them.
    void theStepKnowsItsList()
    {
        CreaturePower power;
        power.name = "Burst";
        damageStep(power, Power::Miss, 4)->dice = "2d4";
        DamageStep* effect = damageStep(power, Power::Effect, 2);
        auto* someone = reinterpret_cast<Creature*>(&power);
        effect->targetDamage.insert(someone, 9);
        effect->perTarget = true;

        CreaturePower copy = power;
        auto* copied = static_cast<DamageStep*>(copy.program.getStep(0, Power::Effect));
        QCOMPARE(copied->list, Power::Effect);
        QCOMPARE(copied->damageFor(someone), 9);

        const QByteArray text = power.getPowerProgram("\n", false);
        QVERIFY(!text.contains('9'));
        AttrParser parser(text, 0);
        parser.nextAttr();
        CreaturePower read;
        read.loadPower(parser);
        QCOMPARE(static_cast<DamageStep*>(read.program.getStep(0, Power::Miss))->list, Power::Miss);
        QCOMPARE(static_cast<DamageStep*>(read.program.getStep(0, Power::Effect))->list, Power::Effect);
        QCOMPARE(static_cast<DamageStep*>(read.program.getStep(0, Power::Effect))->damageFor(someone), 2);

        copy.setup(true);
        QCOMPARE(copied->damageFor(someone), copied->damage);
    }
};

RAVELHORN_TEST_MAIN(QGuiApplication, TestPerTargetDamage)

#include "test_pertargetdamage.moc"
