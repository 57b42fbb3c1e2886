#include <QGuiApplication>

#include "creature/creaturetesting.h"
#include "support/testsupport.h"
#include "creature/texteffects.h"

class TestStatBlockText : public QObject
{
    Q_OBJECT

private:
    CreatureFixture fixture;

private slots:
    void init() { fixture.setUp(); }
    void cleanup() { fixture.tearDown(); }

    void signedNumbers_data()
    {
        QTest::addColumn<int>("n");
        QTest::addColumn<QString>("adjustment");
        QTest::addColumn<QString>("bonus");
        QTest::newRow("zero") << 0 << "0" << "+0";
        QTest::newRow("positive") << 3 << "+3" << "+3";
        QTest::newRow("minus one") << -1 << "-1" << "-1";
        QTest::newRow("unknown") << 1000 << "+1000" << "-";
    }

    void signedNumbers()
    {
        QFETCH(int, n);
        QTEST(Creature::getAdjText(n), "adjustment");
        QTEST(Creature::getBonusText(n), "bonus");
    }

    void coloredBonusTotal_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("adjustment");
        QTest::addColumn<QString>("expected");
        QTest::newRow("raised") << 2 << 1 << "<font color=blue>+3</font>";
        QTest::newRow("raised, still negative") << -3 << 1 << "<font color=blue>-2</font>";
        QTest::newRow("raised to zero") << -1 << 1 << "<font color=blue>0</font>";
        QTest::newRow("lowered, still positive") << 2 << -1 << "<font color=red>+1</font>";
        QTest::newRow("lowered below zero") << 1 << -3 << "<font color=red>-2</font>";
        QTest::newRow("unadjusted") << 4 << 0 << "4";
        QTest::newRow("unadjusted negative") << -1 << 0 << "-1";
    }

    void coloredBonusTotal()
    {
        QFETCH(int, value);
        QFETCH(int, adjustment);
        QTEST(Creature::getColorAdjAdjText(value, adjustment), "expected");
    }

    void coloredDefence_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("adjustment");
        QTest::addColumn<QString>("combined");
        QTest::addColumn<QString>("separate");
        QTest::newRow("unknown") << 1000 << 2 << "-" << "-";
        QTest::newRow("lowered") << 17 << -2 << "<font color=red>15</font>" << "17<font color=red>-2</font>";
        QTest::newRow("raised") << 17 << 2 << "<font color=blue>19</font>" << "17<font color=blue>+2</font>";
        QTest::newRow("no base, raised") << 0 << 2 << "<font color=blue>+2</font>" << "<font color=blue>+2</font>";
        QTest::newRow("no base, lowered") << 0 << -2 << "<font color=red>-2</font>" << "<font color=red>-2</font>";
        QTest::newRow("unadjusted") << 17 << 0 << "17" << "17";
    }

    void coloredDefence()
    {
        QFETCH(int, value);
        QFETCH(int, adjustment);
        QTEST(Creature::getColorAttrAdjText(value, adjustment, true), "combined");
        QTEST(Creature::getColorAttrAdjText(value, adjustment, false), "separate");
    }

    void ability_data()
    {
        QTest::addColumn<int>("score");
        QTest::addColumn<int>("modifier");
        QTest::addColumn<int>("level");
        QTest::addColumn<QString>("expected");
        QTest::newRow("stored modifier") << 16 << 3 << 1 << "<b>Str </b>16 (+3)";
        QTest::newRow("derived, raised by level") << 15 << UnknownModifier << 4 << "<b>Str </b>15 (+4)";
        QTest::newRow("derived, negative") << 8 << UnknownModifier << 1 << "<b>Str </b>8 (-1)";
        QTest::newRow("stored zero") << 10 << 0 << 5 << "<b>Str </b>10 (0)";
        QTest::newRow("zero score") << 0 << 3 << 1 << "<b>Str </b>-";
        QTest::newRow("negative score") << -2 << 3 << 1 << "<b>Str </b>-";
        QTest::newRow("unknown score") << UnknownValue << 3 << 1 << "<b>Str </b>-";
    }

    void ability()
    {
        QFETCH(int, score);
        QFETCH(int, modifier);
        QFETCH(int, level);
        QTEST(Creature::getAbilityText("Str", score, modifier, level), "expected");
    }

    void abilitiesOfTheCreature()
    {
        CreatureStats stats;
        stats.level = 2;
        const int scores[AbilityCount] = {10, 12, 14, 16, 18, 20};
        for (int i = 0; i < AbilityCount; i++)
            stats.abilities[i].score = scores[i];
        stats.abilities[Charisma].modifier = 9;
        Creature creature;
        creature.setStats(stats);
        QCOMPARE(creature.getStrText(), QString("<b>Str </b>10 (+1)"));
        QCOMPARE(creature.getDexText(), QString("<b>Dex </b>12 (+2)"));
        QCOMPARE(creature.getWisText(), QString("<b>Wis </b>14 (+3)"));
        QCOMPARE(creature.getConText(), QString("<b>Con </b>16 (+4)"));
        QCOMPARE(creature.getIntText(), QString("<b>Int </b>18 (+5)"));
        QCOMPARE(creature.getChaText(), QString("<b>Cha </b>20 (+9)"));
    }

    void defences_data()
    {
        QTest::addColumn<int>("armorClass");
        QTest::addColumn<QString>("compact");
        QTest::addColumn<QString>("full");
        QTest::newRow("known") << 17 << "<b>AC</b>17 <b>F</b>15 <b>R</b>14 <b>W</b>-"
                               << "<b>AC</b> 17; <b>Fort</b> 15; <b>Reflex</b> 14; <b>Will</b> -";
        QTest::newRow("unknown armour class") << UnknownValue << "<b>AC</b>- <b>F</b>15 <b>R</b>14 <b>W</b>-"
                                              << "<b>AC</b> -; <b>Fort</b> 15; <b>Reflex</b> 14; <b>Will</b> -";
    }

    void defences()
    {
        QFETCH(int, armorClass);
        Creature creature;
        creature.setArmorClass(armorClass);
        creature.setFortitude(15);
        creature.setReflex(14);
        QTEST(creature.getDefenses(true), "compact");
        QTEST(creature.getDefenses(false), "full");
    }

    void defencesWithEffects_data()
    {
        QTest::addColumn<int>("armorClass");
        QTest::addColumn<QStringList>("effects");
        QTest::addColumn<QString>("compact");
        QTest::addColumn<QString>("full");
        QTest::newRow("armour class lowered")
            << 17 << QStringList{"penalty 2 armor"}
            << "<b>AC</b><font color=red>15</font> <b>F</b>15 <b>R</b>14 <b>W</b>-"
            << "<b>AC</b> 17<font color=red>-2</font>; <b>Fort</b> 15; <b>Reflex</b> 14; <b>Will</b> -";
        QTest::newRow("unknown defences stay unknown")
            << UnknownValue << QStringList{"bonus 2 armor,fortitude,will"}
            << "<b>AC</b>- <b>F</b><font color=blue>17</font> <b>R</b>14 <b>W</b>-"
            << "<b>AC</b> -; <b>Fort</b> 15<font color=blue>+2</font>; <b>Reflex</b> 14; <b>Will</b> -";
        QTest::newRow("no base value") << 0 << QStringList{"bonus 2 armor"}
                                       << "<b>AC</b><font color=blue>+2</font> <b>F</b>15 <b>R</b>14 <b>W</b>-"
                                       << "<b>AC</b> <font color=blue>+2</font>; <b>Fort</b> 15; <b>Reflex</b> 14; "
                                          "<b>Will</b> -";
        QTest::newRow("attack bonuses leave them") << 17 << QStringList{"bonus 2 hit,damage"}
                                                   << "<b>AC</b>17 <b>F</b>15 <b>R</b>14 <b>W</b>-"
                                                   << "<b>AC</b> 17; <b>Fort</b> 15; <b>Reflex</b> 14; <b>Will</b> -";
    }

    void defencesWithEffects()
    {
        QFETCH(int, armorClass);
        QFETCH(QStringList, effects);
        Creature creature;
        creature.setArmorClass(armorClass);
        creature.setFortitude(15);
        creature.setReflex(14);
        putEffects(&creature, effects);
        QTEST(creature.getDefenses(true), "compact");
        QTEST(creature.getDefenses(false), "full");
    }

    void typeAndLevel_data()
    {
        QTest::addColumn<bool>("monster");
        QTest::addColumn<int>("level");
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("race");
        QTest::addColumn<QString>("creatureClass");
        QTest::addColumn<QString>("role");
        QTest::addColumn<int>("xp");
        QTest::addColumn<QString>("typeRace");
        QTest::addColumn<QString>("levelRaceClass");
        QTest::addColumn<QString>("levelClassRole");
        QTest::newRow("hero") << false << 5 << "Medium natural humanoid" << "Dwarf" << "Fighter" << "" << 0
                              << "Medium natural humanoid (Dwarf)" << "Level 5 Dwarf Fighter" << "Level 5 Fighter";
        QTest::newRow("hero with a level only")
            << false << 3 << "" << "" << "" << "Striker" << 0 << "" << "Level 3" << "Level 3";
        QTest::newRow("hero without a level")
            << false << 0 << "" << "Elf" << "Wizard" << "" << 0 << "Elf" << "Elf Wizard" << "Wizard";
        QTest::newRow("bare hero") << false << 0 << "" << "" << "" << "" << 0 << "" << "" << "";
        QTest::newRow("monster") << true << 3 << "Small humanoid" << "" << "Fighter" << "Soldier" << 150
                                 << "Small humanoid" << "" << "Level 3 Soldier XP 150";
        QTest::newRow("monster without a role")
            << true << 3 << "" << "" << "" << "" << 0 << "" << "" << "Level 3";
        QTest::newRow("monster with XP only") << true << 0 << "" << "" << "" << "" << 25 << "" << "" << "XP 25";
        QTest::newRow("bare monster") << true << 0 << "" << "" << "" << "" << 0 << "" << "" << "";
        QTest::newRow("role without level") << true << 0 << "" << "" << "" << "Brute" << 0 << "" << "" << "Brute";
    }

    void typeAndLevel()
    {
        QFETCH(bool, monster);
        QFETCH(QString, type);
        QFETCH(QString, race);
        QFETCH(QString, creatureClass);
        QFETCH(QString, role);
        CreatureStats stats;
        stats.monster = monster;
        QFETCH(int, level);
        stats.level = level;
        QFETCH(int, xp);
        stats.xp = xp;
        stats.type = type;
        stats.race = race;
        stats.creatureClass = creatureClass;
        stats.role = role;
        Creature creature;
        creature.setStats(stats);
        QTEST(creature.getTypeRace(), "typeRace");
        QTEST(creature.getLevelRaceClass(), "levelRaceClass");
        QTEST(creature.getLevelClassRole(), "levelClassRole");
    }

    void labelledLines()
    {
        CreatureStats stats;
        Creature bare;
        bare.setStats(stats);
        for (const QString& line : {bare.getSkills(), bare.getDetection(), bare.getDescription(), bare.getEquipment()})
            QCOMPARE(line, QString());
        QCOMPARE(bare.getLanguagesText(), QString("<b>Languages </b>-"));
        QCOMPARE(bare.getAlignmentText(), QString("<b>Alignment </b>-"));

        stats.skills = "Stealth +9";
        stats.detect = "tremorsense 5";
        stats.description = "A small, wiry goblin.";
        stats.equipment = "leather armor, short sword";
        stats.languages = "Common, Goblin";
        stats.alignment = "Evil";
        Creature goblin;
        goblin.setStats(stats);
        QCOMPARE(goblin.getSkills(), QString("<b>Skills </b>Stealth +9"));
        QCOMPARE(goblin.getDetection(), QString("<b>Detect </b>tremorsense 5"));
        QCOMPARE(goblin.getDescription(), QString("<b>Description </b>A small, wiry goblin."));
        QCOMPARE(goblin.getEquipment(), QString("<b>Equipment </b>leather armor, short sword"));
        QCOMPARE(goblin.getLanguagesText(), QString("<b>Languages </b>Common, Goblin"));
        QCOMPARE(goblin.getAlignmentText(), QString("<b>Alignment </b>Evil"));
    }

    void senses_data()
    {
        QTest::addColumn<QString>("senses");
        QTest::addColumn<int>("perception");
        QTest::addColumn<int>("insight");
        QTest::addColumn<QString>("sensesAndInsight");
        QTest::addColumn<QString>("sensesLine");
        QTest::newRow("all") << "low-light vision" << 5 << 2 << "Low-light vision; <b>Insight </b>+2"
                             << "<b>Perception </b>+5; low-light vision; <b>Insight </b>+2";
        QTest::newRow("unknown insight") << "Darkvision" << -1 << UnknownValue << "Darkvision"
                                         << "<b>Perception </b>-1; darkvision";
        QTest::newRow("insight only") << "" << UnknownValue << 0 << "<b>Insight </b>+0"
                                      << "<b>Perception </b>-; <b>Insight </b>+0";
        QTest::newRow("nothing") << "" << UnknownValue << UnknownValue << "" << "<b>Perception </b>-";
    }

    void senses()
    {
        QFETCH(QString, senses);
        QFETCH(int, perception);
        QFETCH(int, insight);
        CreatureStats stats;
        stats.senses = senses;
        stats.perception = perception;
        stats.insight = insight;
        Creature creature;
        creature.setStats(stats);
        QCOMPARE(creature.getPerceptionBonusText(), Creature::getBonusText(perception));
        QTEST(creature.getSensesAndInsight(), "sensesAndInsight");
        QTEST(creature.getSensesLine(), "sensesLine");
    }

    void sectionCompaction()
    {
        Creature monster;
        Creature hero;
        hero.setupDummyHero("Mira");
        QVERIFY(!monster.useCompactDisplay(Power::Standard));
        QVERIFY(hero.useCompactDisplay(Power::Standard));

        QVERIFY(monster.toggleSectionCompaction(Power::Minor));
        QVERIFY(monster.useCompactDisplay(Power::Minor));
        QVERIFY(!monster.useCompactDisplay(Power::Standard));
        QVERIFY(!hero.toggleSectionCompaction(Power::Minor));
        QVERIFY(!monster.toggleSectionCompaction(Power::Minor));
        QVERIFY(!monster.useCompactDisplay(Power::Minor));

        CreaturePower power;
        power.current.when = Power::Triggered;
        QVERIFY(hero.useCompactDisplay(&power));
        hero.toggleSectionCompaction(Power::Triggered);
        QVERIFY(!hero.useCompactDisplay(&power));
        // The map is the display's memory, not a statistic.
        Creature copy;
        copy.copyStats(&hero);
        QVERIFY(copy.useCompactDisplay(&power));
    }

    void resistances_data()
    {
        QTest::addColumn<QString>("immune");
        QTest::addColumn<QString>("resist");
        QTest::addColumn<QString>("vulnerable");
        QTest::addColumn<QString>("regeneration");
        QTest::addColumn<QString>("withRegeneration");
        QTest::addColumn<QString>("withoutRegeneration");
        QTest::newRow("all") << "poison" << "5 fire" << "5 radiant" << "5"
                             << "<b>Immune </b>poison; <b>Resist </b>5 fire; <b>Vulnerable </b>5 radiant; "
                                "<b>Regeneration </b>5"
                             << "<b>Immune </b>poison; <b>Resist </b>5 fire; <b>Vulnerable </b>5 radiant";
        QTest::newRow("regeneration only") << "" << "" << "" << "10" << "<b>Regeneration </b>10" << "";
        QTest::newRow("vulnerable only") << "" << "" << "10 fire" << "" << "<b>Vulnerable </b>10 fire"
                                         << "<b>Vulnerable </b>10 fire";
        QTest::newRow("nothing") << "" << "" << "" << "" << "" << "";
    }

    void resistances()
    {
        CreatureStats stats;
        QFETCH(QString, immune);
        stats.immune = immune;
        QFETCH(QString, resist);
        stats.resist = resist;
        QFETCH(QString, vulnerable);
        stats.vulnerable = vulnerable;
        QFETCH(QString, regeneration);
        stats.regeneration = regeneration;
        Creature creature;
        creature.setStats(stats);
        QTEST(creature.getResistances(true, true), "withRegeneration");
        QTEST(creature.getResistances(true, false), "withRegeneration");
        QTEST(creature.getResistances(false, true), "withoutRegeneration");
    }

    void resistancesWithEffects_data()
    {
        QTest::addColumn<QString>("resist");
        QTest::addColumn<QStringList>("effects");
        QTest::addColumn<QString>("expected");
        QTest::newRow("merged with the stored text")
            << "5 fire" << QStringList{"resist 10 cold"} << "<b>Resist </b>5 fire, 10 cold";
        QTest::newRow("effects in list order")
            << "" << QStringList{"resist 10 cold", "resist 5 fire"} << "<b>Resist </b>10 cold, 5 fire";
        QTest::newRow("without a comment")
            << "" << QStringList{"vulnerable 5", "resist 3"}
            << "<b>Resist </b>3 unknown; <b>Vulnerable </b>5 all damage";
        QTest::newRow("other effects left out") << "" << QStringList{"bonus 2 hit"} << "";
        // The comment is what the game master typed.
        QTest::newRow("comment escaped")
            << "" << QStringList{"vulnerable 5 <b>acid</b> & fire"}
            << "<b>Vulnerable </b>5 &lt;b&gt;acid&lt;/b&gt; &amp; fire";
    }

    void resistancesWithEffects()
    {
        QFETCH(QString, resist);
        QFETCH(QStringList, effects);
        CreatureStats stats;
        stats.resist = resist;
        stats.regeneration = "5";
        Creature creature;
        creature.setStats(stats);
        putEffects(&creature, effects);
        QTEST(creature.getResistances(false, true), "expected");
        QCOMPARE(creature.getResistances(false, false), resist.isEmpty() ? QString() : "<b>Resist </b>" + resist);
    }

    void savingAndAction_data()
    {
        QTest::addColumn<bool>("monster");
        QTest::addColumn<QString>("saves");
        QTest::addColumn<QStringList>("effects");
        QTest::addColumn<int>("actionPoints");
        QTest::addColumn<bool>("running");
        QTest::addColumn<int>("spent");
        QTest::addColumn<bool>("secondWindUsed");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("live");
        const QStringList none;
        QTest::newRow("bare monster") << true << "" << none << 0 << false << 0 << false << "" << "";
        QTest::newRow("bare hero") << false << "" << none << 0 << false << 0 << false << "<b>SW</b>" << "<b>SW</b>";
        QTest::newRow("second wind used")
            << false << "" << none << 0 << false << 0 << true << "<s>SW</s>" << "<s>SW</s>";
        QTest::newRow("elite monster") << true << "+2" << none << 1 << false << 0 << false
                                       << "<b>Saving Throws </b>+2; <b>Action Points </b>1"
                                       << "<b>Saving Throws </b>+2; <b>Action Points </b>1";
        QTest::newRow("saves raised") << true << "+2" << QStringList{"bonus 1 saving"} << 0 << true << 0 << false
                                      << "<b>Saving Throws </b>+2" << "<b>Saving Throws </b><font color=blue>+3</font>";
        QTest::newRow("saves lowered without a saves text")
            << false << "" << QStringList{"penalty 2 saving"} << 0 << true << 0 << false << "<b>SW</b>"
            << "<b>Saving Throws </b><font color=red>-2</font>; <b>SW</b>";
        QTest::newRow("hero in the encounter") << false << "" << none << 1 << true << 0 << false
                                               << "<b>Action Points </b>1; <b>SW</b>"
                                               << "<b>Action Points </b>1; <b>SW</b>";
        QTest::newRow("hero spent it") << false << "" << none << 1 << true << 1 << false
                                       << "<b>Action Points </b>1; <b>SW</b>"
                                       << "<b>Action Points </b>0/1; <b>SW</b>";
        QTest::newRow("hero spent it, encounter over") << false << "" << none << 1 << false << 1 << false
                                                       << "<b>Action Points </b>1; <b>SW</b>"
                                                       << "<b>Action Points </b>0; <b>SW</b>";
    }

    void savingAndAction()
    {
        QFETCH(bool, monster);
        QFETCH(QString, saves);
        QFETCH(QStringList, effects);
        QFETCH(int, actionPoints);
        QFETCH(bool, running);
        QFETCH(int, spent);
        QFETCH(bool, secondWindUsed);
        CreatureStats stats;
        stats.monster = monster;
        stats.savingThrows = saves;
        stats.initActionPoints = actionPoints;
        Creature creature;
        creature.setStats(stats);
        creature.takeExtendedRest(false, false);
        creature.setSecondWindUsed(secondWindUsed);
        putEffects(&creature, effects);
        fixture.spendActionPoints(&creature, spent, running);
        QTEST(creature.getSavingAndAction(true), "stored");
        QTEST(creature.getSavingAndAction(false), "live");
    }

    void actionPointsWithPreview_data()
    {
        QTest::addColumn<int>("spent");
        QTest::addColumn<int>("pending");
        QTest::addColumn<bool>("running");
        QTest::addColumn<QString>("actionPoints");
        QTest::newRow("spent one, one coming back")
            << 1 << 1 << true << "<b><font color=blue>1</font></b>/1";
        QTest::newRow("about to spend one") << 0 << -1 << true << "<b><font color=red>0</font></b>/1";
        QTest::newRow("about to spend one, encounter stopped")
            << 0 << -1 << false << "<b><font color=red>0</font></b>";
    }

    void actionPointsWithPreview()
    {
        QFETCH(int, spent);
        QFETCH(int, pending);
        QFETCH(bool, running);
        QFETCH(QString, actionPoints);
        Creature hero;
        hero.setupDummyHero("Mira");
        hero.takeExtendedRest(false, false);
        fixture.spendActionPoints(&hero, spent, running);
        hero.setDeltaCurrActionPoints(pending);
        QCOMPARE(hero.getSavingAndAction(false), "<b>Action Points </b>" + actionPoints + "; <b>SW</b>");
        QCOMPARE(hero.getActions(false), "<b>Speed </b>-; <b>Initiative </b>-; <b>AP </b>" + actionPoints);
        QCOMPARE(hero.getSavingAndAction(true), QString("<b>Action Points </b>1; <b>SW</b>"));
    }

    void actions_data()
    {
        QTest::addColumn<QString>("speed");
        QTest::addColumn<int>("actionPoints");
        QTest::addColumn<bool>("running");
        QTest::addColumn<int>("spent");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("live");
        QTest::newRow("no speed") << "" << 0 << false << 0 << "<b>Speed </b>-; <b>Initiative </b>+4"
                                  << "<b>Speed </b>-; <b>Initiative </b>+4";
        QTest::newRow("stopped") << "6" << 1 << false << 0 << "<b>Speed </b>6; <b>Initiative </b>+4; <b>AP </b>1"
                                 << "<b>Speed </b>6; <b>Initiative </b>+4; <b>AP </b>1";
        QTest::newRow("running") << "6" << 1 << true << 0 << "<b>Speed </b>6; <b>Initiative </b>+4; <b>AP </b>1"
                                 << "<b>Speed </b>6; <b>Initiative </b>+4 (15); <b>AP </b>1";
        QTest::newRow("spent") << "6, fly 8" << 1 << true << 1
                               << "<b>Speed </b>6, fly 8; <b>Initiative </b>+4; <b>AP </b>1"
                               << "<b>Speed </b>6, fly 8; <b>Initiative </b>+4 (15); <b>AP </b>0/1";
    }

    void actions()
    {
        QFETCH(QString, speed);
        QFETCH(int, actionPoints);
        QFETCH(bool, running);
        QFETCH(int, spent);
        CreatureStats stats;
        stats.speed = speed;
        stats.initActionPoints = actionPoints;
        stats.initBonus = 4;
        Creature creature;
        creature.setStats(stats);
        creature.takeExtendedRest(false, false);
        creature.setInitRoll(15);
        fixture.spendActionPoints(&creature, spent, running);
        QTEST(creature.getActions(true), "stored");
        QTEST(creature.getActions(false), "live");
    }
};

RAVELHORN_TEST_MAIN(QGuiApplication, TestStatBlockText)
#include "test_statblocktext.moc"
