// Powers applied through the real log: damage given per target, each
// creature taking its own amount as its own event, undone and replayed alike;
// the preview of a program shows what applying it records.

#include <QGuiApplication>

#include "creature/creature.h"
#include "encounter/encounter.h"
#include "encounter/restevents.h"
#include "encounter/history.h"
#include "foundation/attrtext.h"
#include "foundation/global.h"
#include "powers/power.h"
#include "support/randomfight.h"
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

class TestPowerApply : public QObject
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

    // Random healing and damage steps on random lists: the previewed figures
    // are those the recorded events give, and the creatures keep no preview.
    void previewEqualsOutcome()
    {
        for (int seed = 1; seed <= 200; seed++) {
            std::srand(seed);
            TestWorld world;
            RandomFight fight(world, false);
            fight.enterEncounter();
            for (int i = 0; i < 6; i++)
                fight.step();
            const QList<Creature*> everyone = Global::encounter->getCreatureList().getCreatureList();
            auto someOf = [&everyone] {
                QList<Creature*> list;
                for (Creature* creature : everyone)
                    if (std::rand() % 3 == 0)
                        list.append(creature);
                return list;
            };
            CreaturePower power;
            power.name = "Storm";
            for (int i = std::rand() % 6; i >= 0; i--) {
                const auto type = Power::StepType(std::rand() % 3);
                if (std::rand() % 2) {
                    auto* healing = static_cast<HealingStep*>(power.program.addStep(PowerStep::Healing, type));
                    healing->hitPoints = std::rand() % 15;
                    healing->surges = std::rand() % 5 - 2;
                    healing->tempHitPoints = std::rand() % 3 ? 0 : std::rand() % 10;
                } else {
                    DamageStep* damage = damageStep(power, type, std::rand() % 25);
                    damage->perTarget = std::rand() % 2;
                    for (Creature* creature : everyone)
                        if (std::rand() % 2)
                            damage->targetDamage.insert(creature, std::rand() % 30);
                }
            }
            const QList<Creature*> lists[] = {someOf(), someOf(), someOf()};
            Creature* origin = everyone.value(std::rand() % qMax(1, everyone.size()));
            const bool actionPoint = std::rand() % 2;
            power.preview(origin, actionPoint, lists[0], lists[1], lists[2]);
            QMap<Creature*, VitalFigures> previewed;
            for (Creature* creature : everyone)
                previewed.insert(creature, creature->getFigures());

            Global::encounter->resetAllDeltas();
            if (actionPoint && origin)
                QVERIFY(world.record(new UseActionPointEvent(origin, -1, world.stream())));
            for (int type = Power::Hit; type <= Power::Effect; type++)
                if (!lists[type].isEmpty())
                    QVERIFY(power.apply(origin, lists[type], Power::StepType(type), world.stream()));
            for (Creature* creature : everyone) {
                QVERIFY2(creature->getFigures() == previewed.value(creature),
                         qPrintable(QString("seed %1: %2").arg(seed).arg(creature->getNameGroup())));
                QVERIFY(creature->getFiguresWithoutDelta() == creature->getFigures());
            }
        }
    }
};

RAVELHORN_TEST_MAIN(QGuiApplication, TestPowerApply)

#include "test_powerapply.moc"
