#include <QGuiApplication>
#include <QSignalSpy>

#include "library/characters.h"
#include "creature/creature.h"
#include "encounter/encounter.h"
#include "foundation/global.h"
#include "library/monsters.h"
#include "support/testsupport.h"

namespace {

CreaturePower makePower(const QString& name, int when, int type = 0, const QString& header = "x")
{
    CreaturePower power;
    power.name = name;
    power.current.when = when;
    power.current.type = type;
    power.current.header = header;
    power.current.cost = Power::OncePerEncounter;
    return power;
}

QStringList powerNames(const Powers& powers)
{
    QStringList names;
    for (int i = 0; i < powers.size(); i++)
        names.append(powers.getPower(i)->name);
    return names;
}

}

class TestCreature : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        Global::encounter = new Encounter;
        Global::characters = new Characters;
        Global::monsters = new Monsters;
    }

    void cleanup()
    {
        delete Global::encounter;
        delete Global::characters;
        delete Global::monsters;
        Global::encounter = nullptr;
        Global::characters = nullptr;
        Global::monsters = nullptr;
    }

    void freshCreatureHasTheSentinels()
    {
        Creature creature;
        QVERIFY(creature.isMonster() && !creature.isTrap());
        QVERIFY(!creature.isNew() && !creature.isDirty() && !creature.isDeleted());
        for (int value : {creature.getInitBonus(), creature.getPerception(), creature.getInsight(),
                          creature.getArmorClass(), creature.getFortitude(), creature.getReflex(), creature.getWill()})
            QCOMPARE(value, UnknownValue);
        for (int i = 0; i < AbilityCount; i++)
            QVERIFY(creature.getAbility(Ability(i)) == AbilityScore({UnknownValue, UnknownModifier}));
        QCOMPARE(creature.getActionPointsUsed(), 1);
        QVERIFY(creature.isStabilized());
        QCOMPARE(creature.getInitBonus(true), 0);
    }

    void signalsReachTheSwitchBoard()
    {
        Creature creature;
        QSignalSpy relayed(&Global::switchBoard, &SwitchBoard::doCreatureUpdated);
        creature.setLevel(3);
        QCOMPARE(relayed.count(), 1);
        QCOMPARE(relayed.first().first().value<Creature*>(), &creature);

        // Plain accessors stay quiet.
        creature.setFileName("x.monster");
        creature.setBeforeName("x");
        creature.setInHistory(true);
        creature.setEndTurnCount(2);
        creature.setSecondWindUsed(true);
        creature.setMissing(true);
        creature.setNew(true);
        QCOMPARE(relayed.count(), 1);
    }

    void flagsKeepTheCountsInStep()
    {
        CreatureCounts counts;
        Creature creature;
        creature.setDirty(true);
        QCOMPARE(counts.dirtyCount, 0);
        creature.setDirty(false);
        creature.setCounts(&counts);
        creature.setDirty(true);
        creature.setDirty(true);
        QCOMPARE(counts.dirtyCount, 1);
        creature.setDirty(false);
        QCOMPARE(counts.dirtyCount, 0);
        creature.setNew(true);
        creature.setDeleted(true);
        QCOMPARE(counts.newCount, 1);
        QCOMPARE(counts.deletedCount, 1);
        creature.setDeleted(false);
        QCOMPARE(counts.deletedCount, 0);
    }

    void dirtyStateFollowsTheStatBlock()
    {
        Creature creature;
        CreatureStats stats;
        stats.statBlock = "Orc\nLevel 3 Brute";
        creature.setStats(stats);
        creature.setBeforeStatBlock("Orc\nLevel 2 Brute");
        QVERIFY(!Global::encounter->isCreatureEdited());
        creature.dirtyStateHasChanged();
        QVERIFY(creature.isDirty());
        QVERIFY(Global::encounter->isCreatureEdited());
        creature.setBeforeStatBlock(creature.getStatBlock());
        creature.dirtyStateHasChanged();
        QVERIFY(!creature.isDirty());

        // A new creature keeps its flag but still marks the encounter.
        delete Global::encounter;
        Global::encounter = new Encounter;
        Creature added;
        added.setNew(true);
        added.setBeforeStatBlock("different");
        added.dirtyStateHasChanged();
        QVERIFY(!added.isDirty());
        QVERIFY(Global::encounter->isCreatureEdited());
    }

    void abilitySetterDropsTheGivenModifier()
    {
        Creature creature;
        CreatureStats stats;
        stats.abilities[Strength] = {16, 5};
        creature.setStats(stats);
        QCOMPARE(creature.getAbility(Strength).modifier, 5);
        creature.setStr(14);
        QCOMPARE(creature.getAbility(Strength).score, 14);
        QCOMPARE(creature.getAbility(Strength).modifier, UnknownModifier);
        QCOMPARE(Creature::getAttributeAdj(15, 4), 4);
        QCOMPARE(Creature::getAttributeAdj(8, 1), -1);
    }

    void quietLinkChangesOnlyTheFlag()
    {
        Creature creature;
        QSignalSpy updated(&creature, &Creature::doCreatureUpdated);
        creature.setLinked(true, true);
        QVERIFY(creature.isLinked());
        QCOMPARE(updated.count(), 0);
        creature.setLinked(false, false);
        QCOMPARE(updated.count(), 1);
    }

    void statsRoundTripAndShareNoPowers()
    {
        Creature first;
        CreatureStats stats;
        stats.name = "Skarn";
        stats.group = "Orc Raider";
        stats.senses = "darkvision";
        stats.level = 3;
        stats.maxHitPoints = 46;
        stats.resist = "5 fire";
        stats.abilities[Wisdom] = {12, 2};
        stats.addPower(makePower("Axe", Power::Standard), false);
        first.setStats(stats);
        QCOMPARE(first.getSenses(), QString("Darkvision"));

        Creature second;
        second.copyStats(&first);
        QCOMPARE(second.getNameGroup(), QString("Orc Raider (Skarn)"));
        QCOMPARE(second.getMaxHitPoints(), 46);
        QVERIFY(second.getAbility(Wisdom) == AbilityScore({12, 2}));
        QCOMPARE(second.getStats().resist, QString("5 fire"));

        second.getPowers().getPower(0)->name = "Greataxe";
        second.getPowers().addPower(makePower("Rage", Power::Minor), false);
        QCOMPARE(powerNames(first.getPowers()), QStringList{"Axe"});
        QCOMPARE(powerNames(second.getPowers()), (QStringList{"Greataxe", "Rage"}));
        // Only the statistics travel; the combat figures stay.
        QCOMPARE(second.getCurrHitPoints(), 0);
    }

    void parsedPowersAreOrderedAndContinued()
    {
        CreatureStats stats;
        // A continuation line before any power becomes a trait.
        stats.addPower(makePower("orphan line", Power::Unset, Power::Secondary, ""), true);
        stats.addPower(makePower("Slam", Power::Standard), true);
        stats.addPower(makePower("and more", Power::Unset, Power::Secondary, ""), true);
        stats.addPower(makePower("Bite", Power::Standard), true);
        stats.addPower(makePower("Dropped", Power::Flavour), true);
        stats.addPower(makePower("", Power::Flavour, 0, ""), true);
        CreaturePower special = makePower("Aura", Power::Trap, 7);
        stats.addPower(special, true);
        stats.addPower(makePower("Dash", Power::Move), false);
        stats.addPower(makePower("Charge", Power::Move), false);

        QCOMPARE(powerNames(stats.powers), (QStringList{"Aura", "orphan line", "Bite", "Slam", "Dash", "Charge"}));
        QCOMPARE(stats.powers.getPower(0)->current.type, 0);
        QCOMPARE(stats.powers.getPower(1)->current.when, int(Power::Trait));
        QCOMPARE(stats.powers.getPower(3)->current.description, QStringList{"and more"});
        // A trap's heading texts are not powers but the flavour text.
        QCOMPARE(stats.flavorText, QString("<i>Dropped &bull; x<br></i><br><i></i>"));
    }

    void listOrderAndNames_data()
    {
        QTest::addColumn<QString>("groupA");
        QTest::addColumn<QString>("nameA");
        QTest::addColumn<QString>("groupB");
        QTest::addColumn<QString>("nameB");
        QTest::addColumn<int>("sign");
        QTest::newRow("trailing numbers by value") << "Goblin" << "Goblin 2" << "Goblin" << "Goblin 10" << -1;
        QTest::newRow("groups ignore case") << "goblin" << "B" << "Goblin" << "A" << 1;
        QTest::newRow("names ignore case") << "Orc" << "goblin 2" << "Orc" << "Goblin 2" << 0;
        QTest::newRow("first character stays in the prefix") << "" << "10" << "" << "2" << -1;
        QTest::newRow("blank before the number counts") << "" << "Orc" << "" << "Orc 0" << -1;
        QTest::newRow("group decides first") << "Archer" << "9" << "Brute" << "1" << -1;
    }

    void listOrderAndNames()
    {
        QFETCH(QString, groupA);
        QFETCH(QString, nameA);
        QFETCH(QString, groupB);
        QFETCH(QString, nameB);
        QFETCH(int, sign);
        Creature a, b;
        a.setupDummyMonster(groupA);
        a.setName(nameA);
        b.setupDummyMonster(groupB);
        b.setName(nameB);
        int result = a.compare(&b);
        QCOMPARE((result > 0) - (result < 0), sign);
    }

    void referenceNames()
    {
        Creature hero;
        hero.setupDummyHero("Mira (the Bold)");
        QCOMPARE(hero.getNameGroup(), QString("Mira (the Bold)"));
        Creature monster;
        monster.setupDummyMonster("Goblin Cutter");
        QCOMPARE(monster.getNameGroup(), QString("Goblin Cutter"));
        monster.setName("3");
        QCOMPARE(monster.getNameGroup(), QString("Goblin Cutter (3)"));

        QString name, group;
        QVERIFY(Creature::getNameAndGroup("Orc (Elite) (B)", name, group));
        QCOMPARE(group, QString("Orc (Elite)"));
        QCOMPARE(name, QString("B"));
        QVERIFY(!Creature::getNameAndGroup("Mira", name, group));
        QCOMPARE(name, QString("Mira"));
        QVERIFY(group.isEmpty());
    }

    void brokenPlaceholders()
    {
        Creature monster;
        monster.setupDummyMonster("orc.monster");
        monster.setFileName("orc.monster");
        QVERIFY(monster.isBroken());
        Creature hero;
        hero.setupDummyHero("Invalid Stat Block 1");
        QVERIFY(hero.isBroken());
        Creature fine;
        fine.setupDummyHero("Mira");
        CreatureStats stats = fine.getStats();
        stats.group = "Invalid Stat Block";
        fine.setStats(stats);
        QVERIFY(!fine.isBroken());
    }

    void templatePowerEditsReachTheFight()
    {
        auto* base = new Creature;
        base->setupDummyMonster("Goblin");
        base->getPowers().addPower(makePower("Slash", Power::Standard), false);
        base->getPowers().addPower(makePower("Dodge", Power::Move), false);
        Global::monsters->addTemplate(base);
        Creature* first = Global::monsters->getMonsterInstance("Goblin", "1", true);
        Creature* second = Global::monsters->getMonsterInstance("Goblin", "2", true);
        Creature other;
        other.setupDummyMonster("Orc");
        other.getPowers().addPower(makePower("Slash", Power::Standard), false);
        Global::encounter->setCreatureList(CreatureList({first, second, &other}));
        first->getPowers().getPowerByName("Slash")->setUsed(true);

        CreaturePower edited = makePower("Slash", Power::Standard);
        edited.current.header = "(Fire)";
        QSignalSpy updated(second, &Creature::doCreatureUpdated);
        Global::encounter->updatePower("Goblin", "Slash", edited);
        QCOMPARE(second->getPowers().getPowerByName("Slash")->getHeader(), QString("(Fire)"));
        QCOMPARE(updated.count(), 1);
        // Each creature keeps its own record of use.
        QCOMPARE(first->getPowers().getPowerByName("Slash")->getUsageCount(), 1);
        QCOMPARE(second->getPowers().getPowerByName("Slash")->getUsageCount(), 0);
        QCOMPARE(other.getPowers().getPowerByName("Slash")->getHeader(), QString("x"));
        QCOMPARE(base->getPowers().getPowerByName("Slash")->getHeader(), QString("x"));

        // A power that changed its action kind moves to its new section.
        Global::encounter->updatePower("Goblin", "Slash", makePower("Slash", Power::Free));
        QCOMPARE(powerNames(first->getPowers()), (QStringList{"Dodge", "Slash"}));
        Global::encounter->deletePower("Goblin", "Dodge");
        Global::encounter->deletePower("", "Slash");
        QCOMPARE(powerNames(second->getPowers()), QStringList{"Slash"});
        QVERIFY(!first->getPowers().deletePower("Dodge"));
        QVERIFY(!first->getPowers().getPowerByName(""));
        Global::encounter->setCreatureList(CreatureList());
    }

    void newHeroAndRemoval()
    {
        auto* hero = new Creature;
        hero->setupDummyHero("Mira");
        QVERIFY(hero->isHero());
        QCOMPARE(hero->getLevel(), 1);
        QCOMPARE(hero->getInitActionPoints(), 1);
        QCOMPARE(hero->getMaxHitPoints(), 0);
        Global::characters->addCharacter(hero);
        QCOMPARE(Global::characters->findCharacter("MIRA"), hero);
        Creature::removeCreature(hero);
        QCOMPARE(Global::characters->findCharacter("Mira"), nullptr);

        auto* base = new Creature;
        base->setupDummyMonster("Goblin");
        Global::monsters->addTemplate(base);
        Creature* instance = Global::monsters->getMonsterInstance("goblin", "1", true);
        QCOMPARE(instance->getNameGroup(), QString("Goblin (1)"));
        QSignalSpy destroyed(instance, &QObject::destroyed);
        Creature::removeCreature(instance);
        QCOMPARE(destroyed.count(), 1);
        QCOMPARE(Global::monsters->getInstanceCount(), 0);
    }
};

RAVELHORN_TEST_MAIN(QGuiApplication, TestCreature)
#include "test_creature.moc"
