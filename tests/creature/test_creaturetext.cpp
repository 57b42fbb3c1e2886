#include <QGuiApplication>

#include "creature/creaturetesting.h"
#include "support/testsupport.h"

// The texts a creature and its effects show: names, state, health, the stat block's lines.
class TestCreatureText : public QObject, private CreatureFixture
{
    Q_OBJECT

private slots:
    void init() { setUp(); }
    void cleanup() { tearDown(); }

    void names_data()
    {
        columns<bool, QString, QString, QString, bool, QString, QString, QString>(
            {"hero", "name", "group", "alias", "showAlias", "reference", "forPlayers", "listName"});
        QTest::newRow("monster") << false << "2" << "Orc" << "Boss" << false << "Orc (2)" << "Orc (2)" << "Orc (2)";
        QTest::newRow("monster showing its alias") << false << "2" << "Orc" << "Boss" << true << "Orc (2)" << "\"Boss\"" << "Boss (2)";
        QTest::newRow("monster without a name") << false << "" << "Orc" << "" << false << "Orc" << "Orc" << "Orc ()";
        QTest::newRow("hero") << true << "Mira (the Bold)" << "" << "Red" << false << "Mira (the Bold)" << "Mira (the Bold)"
                              << "Mira (the Bold)";
        QTest::newRow("hero showing its alias") << true << "Mira" << "" << "Red" << true << "Mira" << "\"Red\"" << "Red";
        // Names are plain text: whoever puts them into HTML escapes them.
        QTest::newRow("markup stays plain") << false << "<1>" << "Tom & Jerry" << "<i>Boss</i>" << true
                                            << "Tom & Jerry (<1>)" << "\"<i>Boss</i>\"" << "<i>Boss</i> (<1>)";
    }

    void names()
    {
        QFETCH(QString, forPlayers);
        Creature* creature = fetch<bool>("hero") ? hero(fetch<QString>("name")) : monster(fetch<QString>("group"), fetch<QString>("name"));
        creature->setAlias(fetch<QString>("alias"));
        creature->setShowAlias(fetch<bool>("showAlias"));
        QTEST(creature->getNameGroup(), "reference");
        QCOMPARE(creature->getDisplayName(true), forPlayers);
        QTEST(creature->getDisplayName(false), "reference");
        QTEST(creature->getInitativeListName(), "listName");
        QCOMPARE(Creature::getNameList({creature, creature}, true), forPlayers + ", " + forPlayers);
        QTEST(Creature::getNameList({creature}, false), "reference");
        QCOMPARE(Creature::getNameList({}, true), QString());
    }

    void state_data()
    {
        columns<QString, int, QStringList, QString, QString, QString>({"kind", "hitPoints", "flags", "shortText", "plain", "rich"});
        const QStringList none;
        QTest::newRow("missing before dead") << "trap" << 0 << QStringList{"missing"} << "Missing" << "Missing" << "[Missing]";
        QTest::newRow("disabled trap") << "trap" << 0 << none << "Disabled" << "Disabled" << "[Disabled]";
        QTest::newRow("dead monster") << "monster" << 0 << none << "Dead" << "Dead" << "[Dead]";
        QTest::newRow("dead hero ignores its flags") << "hero" << -10 << QStringList{"delayed", "ready"} << "Dead" << "Dead" << "[Dead]";
        QTest::newRow("dying hero") << "hero" << -2 << QStringList{"unstable", "failed2", "delayed"} << "Dying 2/3"
                                    << "Dying 2/3" << "Dying 2/3";
        QTest::newRow("stabilized hero") << "hero" << 0 << QStringList{"failed1"} << "Stabilized 1/3" << "Stabilized 1/3"
                                         << "Stabilized 1/3";
        QTest::newRow("readied and bloodied") << "monster" << 10 << QStringList{"ready"} << "" << "Readied; Bloodied"
                                              << "Readied; {rBloodied}";
        QTest::newRow("all flags in order") << "hero" << 20 << QStringList{"hidden", "ready", "delayed"} << ""
                                            << "Delayed; Readied; Hidden" << "Delayed; Readied; Hidden";
        QTest::newRow("nothing to tell") << "monster" << 11 << none << "" << "" << "";
    }

    void state()
    {
        QFETCH(QStringList, flags);
        Creature* creature = made(fetch<QString>("kind"), 20);
        creature->setCurrHitPoints(fetch<int>("hitPoints"));
        creature->setMissing(flags.contains("missing"));
        creature->setDelayed(flags.contains("delayed"));
        creature->setReady(flags.contains("ready"));
        creature->setHidden(flags.contains("hidden"));
        creature->setStabilized(!flags.contains("unstable"));
        creature->setFailedDeathSavingThrows(flags.contains("failed2") ? 2 : flags.contains("failed1") ? 1 : 0);
        QTEST(creature->getShortStateText(), "shortText");
        QTEST(creature->getStateText(false, false, false, false), "plain");
        QTEST_HTML(creature->getStateText(true, true, false, false), "rich");
        if (flags.contains("missing"))
            QCOMPARE(creature->getStateText(true, true, true, false), QString());
        else
            QTEST(creature->getStateText(false, false, true, false), "plain");
    }

    void stateShowsEffectAdjustments_data()
    {
        columns<int, QStringList, QString, QString>({"hitPoints", "effects", "plain", "rich"});
        QTest::newRow("to hit raised") << 20 << QStringList{"bonus 2 hit"} << "To Hit +2" << "[To Hit ]{b+2}";
        QTest::newRow("damage lowered") << 20 << QStringList{"penalty 1 damage"} << "Damage -1" << "[Damage ]{r-1}";
        QTest::newRow("after the flags, in order") << 8 << QStringList{"bonus 1 saving", "penalty 2 hit,damage"}
                                                   << "Bloodied; To Hit -2; Damage -2; Saving Throws +1"
                                                   << "{rBloodied}; [To Hit ]{r-2}; [Damage ]{r-2}; [Saving Throws ]{b+1}";
        QTest::newRow("cancelled out") << 20 << QStringList{"bonus 2 hit", "penalty 2 hit"} << "" << "";
        QTest::newRow("defences are not part of it") << 20 << QStringList{"bonus 2 armor,will"} << "" << "";
    }

    void stateShowsEffectAdjustments()
    {
        QFETCH(int, hitPoints);
        Creature* creature = made("monster", 20);
        creature->setCurrHitPoints(hitPoints);
        putEffects(creature, fetch<QStringList>("effects"));
        QTEST(creature->getStateText(false, true, false, false), "plain");
        QTEST_HTML(creature->getStateText(true, true, false, false), "rich");
        QCOMPARE(creature->getStateText(false, false, false, false), QString(hitPoints > 10 ? "" : "Bloodied"));
        // The players do not see a monster die before the damage is dealt.
        creature->setDeltaCurrHealth(-hitPoints, 0, 0);
        QCOMPARE(creature->getStateText(false, false, false, false), QString("Dead"));
        QCOMPARE(creature->getStateText(false, false, false, true), QString("Bloodied"));
    }

    void hpLevel_data()
    {
        columns<QString, int, int, int, QString>({"kind", "maxHitPoints", "hitPoints", "temporary", "expected"});
        QTest::newRow("minion") << "monster" << 1 << 1 << 0 << "Minion";
        QTest::newRow("trap of one") << "trap" << 1 << 1 << 0 << "Trap";
        QTest::newRow("trap without hit points") << "trap" << 0 << 0 << 0 << "Trap";
        QTest::newRow("trap with hit points") << "trap" << 30 << 30 << 0 << "30";
        QTest::newRow("unhurt") << "monster" << 20 << 20 << 0 << "20";
        QTest::newRow("hurt") << "monster" << 20 << 7 << 0 << "7/20";
        QTest::newRow("monster below zero") << "monster" << 20 << -4 << 0 << "0/20";
        QTest::newRow("hero below zero") << "hero" << 20 << -4 << 0 << "-4/20";
        QTest::newRow("temporary hit points") << "hero" << 30 << 12 << 5 << "12+5/30";
        QTest::newRow("minion with temporary") << "monster" << 1 << 1 << 2 << "1+2/1";
    }

    void hpLevel()
    {
        Creature* creature = made(fetch<QString>("kind"), fetch<int>("maxHitPoints"));
        creature->setCurrHitPoints(fetch<int>("hitPoints"));
        creature->setTempHitPoints(fetch<int>("temporary"));
        QTEST(creature->getHPLevel(), "expected");
    }

    void health_data()
    {
        columns<QString, int, int, int, int, int, int, bool, QString>(
            {"kind", "maxHitPoints", "hitPoints", "temporary", "maxSurges", "surges", "surgeValue", "templateForm", "health"});
        QTest::newRow("bloodied hero") << "hero" << 30 << 12 << 2 << 7 << 5 << 7 << false << "[HP ]{r12}+2/30; [Bloodied ]15; [HS ]5/7 (7)";
        QTest::newRow("unhurt") << "hero" << 30 << 30 << 0 << 0 << 0 << 0 << false << "[HP ]30; [Bloodied ]15";
        QTest::newRow("unhurt with temporary") << "hero" << 30 << 30 << 3 << 7 << 7 << 7 << false << "[HP ]30+3/30; [Bloodied ]15; [HS ]7 (7)";
        QTest::newRow("hurt, not bloodied") << "monster" << 40 << 25 << 0 << 0 << 0 << 0 << false << "[HP ]25/40; [Bloodied ]20";
        QTest::newRow("surges without value") << "hero" << 30 << 29 << 0 << 7 << 7 << 0 << false << "[HP ]29/30; [Bloodied ]15; [HS ]7";
        QTest::newRow("minion") << "monster" << 1 << 1 << 0 << 0 << 0 << 0 << false << "[HP ]1";
        QTest::newRow("trap") << "trap" << 20 << 20 << 0 << 0 << 0 << 0 << false << "[HP ]20";
        QTest::newRow("template shows maxima") << "monster" << 40 << 5 << 4 << 2 << 0 << 10 << true << "[HP ]40; [Bloodied ]20; [HS ]2 (10)";
        QTest::newRow("hero has no template form") << "hero" << 30 << 12 << 0 << 7 << 5 << 7 << true
                                                   << "[HP ]{r12}/30; [Bloodied ]15; [HS ]5/7 (7)";
    }

    void health()
    {
        Creature* creature = made(fetch<QString>("kind"), fetch<int>("maxHitPoints"), fetch<int>("maxSurges"), fetch<int>("surgeValue"));
        creature->setCurrHitPoints(fetch<int>("hitPoints"));
        creature->setTempHitPoints(fetch<int>("temporary"));
        creature->setCurrHealingSurges(fetch<int>("surges"));
        QTEST_HTML(creature->getHealth(fetch<bool>("templateForm")), "health");
    }

    void healthShowsPendingChanges_data()
    {
        columns<int, int, int, QString, QString>({"hitPoints", "temporary", "surges", "health", "forPlayers"});
        QTest::newRow("none") << 0 << 0 << 0 << "[HP ]30; [Bloodied ]15; [HS ]7 (7)" << "[HP ]30/30; [HS ]7; [AP ]1";
        QTest::newRow("damage") << -14 << 0 << 0 << "[HP ][{r16}]/30; [Bloodied ]15; [HS ]7 (7)" << "[HP ][{r16}]/30; [HS ]7; [AP ]1";
        QTest::newRow("healing above the maximum") << 2 << 0 << -1 << "[HP ][{b32}]/30; [Bloodied ]15; [HS ][{r6}]/7 (7)"
                                                   << "[HP ][{b32}]/30; [HS ][{r6}]/7; [AP ]1";
        QTest::newRow("temporary hit points") << 0 << 5 << 0 << "[HP ]30+[{b5}]/30; [Bloodied ]15; [HS ]7 (7)"
                                              << "[HP ]30+[{b5}]/30; [HS ]7; [AP ]1";
    }

    void healthShowsPendingChanges()
    {
        Creature* hero = made("hero", 30, 7, 7, 1);
        hero->setDeltaCurrHealth(fetch<int>("hitPoints"), fetch<int>("temporary"), fetch<int>("surges"));
        QTEST_HTML(hero->getHealth(false), "health");
        QTEST_HTML(hero->getHealthForPlayers(false), "forPlayers");
        QCOMPARE(made("hero", 30, 0, 0, 0)->getHealthForPlayers(false), html("[HP ]30/30; [AP ]0"));
    }

    void healthForPlayers_data()
    {
        columns<QString, bool, int, bool, QString>({"kind", "running", "spent", "tally", "expected"});
        QTest::newRow("monster") << "monster" << true << 0 << false << "";
        QTest::newRow("monster with tally") << "monster" << true << 0 << true << "Damage 18; Heals 1";
        QTest::newRow("hero") << "hero" << false << 0 << false << "[HP ]12+2/30; [HS ]5/7; [AP ]2";
        QTest::newRow("hero, encounter running") << "hero" << true << 0 << true << "[HP ]12+2/30; [HS ]5/7; [AP ]2";
        QTest::newRow("hero spent one") << "hero" << true << 1 << false << "[HP ]12+2/30; [HS ]5/7; [AP ]1/2";
        QTest::newRow("hero spent one, encounter over") << "hero" << false << 1 << false << "[HP ]12+2/30; [HS ]5/7; [AP ]1";
    }

    void healthForPlayers()
    {
        Creature* creature = made(fetch<QString>("kind"), 30, 7, 7, 2);
        creature->applyDamage(18, nullptr);
        creature->applyHealing(0, 2);
        creature->setTempHitPoints(2);
        spendActionPoints(creature, fetch<int>("spent"), fetch<bool>("running"));
        QTEST_HTML(creature->getHealthForPlayers(fetch<bool>("tally")), "expected");
    }

    void initiative_data()
    {
        columns<int, int, bool, bool, QString, QString, QString>({"bonus", "roll", "running", "bonusOnly", "form0", "form1", "line"});
        QTest::newRow("rolled") << 3 << 17 << true << false << "17" << "17 (+3)" << "[Initiative ]+3 (17)";
        QTest::newRow("encounter stopped") << 3 << 17 << false << false << "+3" << "+3" << "[Initiative ]+3";
        QTest::newRow("bonus only") << 3 << 17 << true << true << "+3" << "+3" << "[Initiative ]+3";
        QTest::newRow("not rolled") << -1 << 0 << true << false << "-1" << "-1" << "[Initiative ]-1";
        QTest::newRow("unknown roll") << 3 << 1000 << true << false << "-" << "-" << "[Initiative ]-";
        QTest::newRow("unknown bonus") << 1000 << 12 << true << false << "12" << "12 (-)" << "[Initiative ]- (12)";
        QTest::newRow("zero bonus") << 0 << 0 << false << false << "+0" << "+0" << "[Initiative ]+0";
    }

    void initiative()
    {
        QFETCH(bool, bonusOnly);
        Creature* creature = made("monster", 20);
        creature->setInitBonus(fetch<int>("bonus"));
        creature->setInitRoll(fetch<int>("roll"));
        if (fetch<bool>("running"))
            Global::encounter->setCurrentIndex(0);
        QTEST(creature->getInitiative(bonusOnly, 0), "form0");
        QTEST(creature->getInitiative(bonusOnly, 1), "form1");
        // Any form but the two columns is the stat block's line, negative ones too.
        QTEST_HTML(creature->getInitiative(bonusOnly, 2), "line");
        QTEST_HTML(creature->getInitiative(bonusOnly, -1), "line");
    }

    void numbers_data()
    {
        columns<int, int, QString, QString>({"value", "adjustment", "text", "colored"});
        QTest::newRow("zero") << 0 << 0 << "0 +0" << "0";
        QTest::newRow("positive") << 3 << 0 << "+3 +3" << "3";
        QTest::newRow("minus one") << -1 << 0 << "-1 -1" << "-1";
        QTest::newRow("unknown") << 1000 << 0 << "+1000 -" << "1000";
        QTest::newRow("raised") << 2 << 1 << "+2 +2" << "{b+3}";
        QTest::newRow("raised, still negative") << -3 << 1 << "-3 -3" << "{b-2}";
        QTest::newRow("raised to zero") << -1 << 1 << "-1 -1" << "{b0}";
        QTest::newRow("lowered, still positive") << 2 << -1 << "+2 +2" << "{r+1}";
        QTest::newRow("lowered below zero") << 1 << -3 << "+1 +1" << "{r-2}";
    }

    void numbers()
    {
        QFETCH(int, value);
        QCOMPARE(Creature::getAdjText(value) + " " + Creature::getBonusText(value), fetch<QString>("text"));
        QTEST_HTML(Creature::getColorAdjAdjText(value, fetch<int>("adjustment")), "colored");
    }

    void coloredDefence_data()
    {
        columns<int, int, QString, QString>({"value", "adjustment", "combined", "separate"});
        QTest::newRow("unknown") << 1000 << 2 << "-" << "-";
        QTest::newRow("lowered") << 17 << -2 << "{r15}" << "17{r-2}";
        QTest::newRow("raised") << 17 << 2 << "{b19}" << "17{b+2}";
        QTest::newRow("no base, raised") << 0 << 2 << "{b+2}" << "{b+2}";
        QTest::newRow("no base, lowered") << 0 << -2 << "{r-2}" << "{r-2}";
        QTest::newRow("unadjusted") << 17 << 0 << "17" << "17";
    }

    void coloredDefence()
    {
        QTEST_HTML(Creature::getColorAttrAdjText(fetch<int>("value"), fetch<int>("adjustment"), true), "combined");
        QTEST_HTML(Creature::getColorAttrAdjText(fetch<int>("value"), fetch<int>("adjustment"), false), "separate");
    }

    void ability_data()
    {
        columns<int, int, int, QString>({"score", "modifier", "level", "expected"});
        QTest::newRow("stored modifier") << 16 << 3 << 1 << "[Str ]16 (+3)";
        QTest::newRow("derived, raised by level") << 15 << UnknownModifier << 4 << "[Str ]15 (+4)";
        QTest::newRow("derived, negative") << 8 << UnknownModifier << 1 << "[Str ]8 (-1)";
        QTest::newRow("stored zero") << 10 << 0 << 5 << "[Str ]10 (0)";
        QTest::newRow("zero score") << 0 << 3 << 1 << "[Str ]-";
        QTest::newRow("negative score") << -2 << 3 << 1 << "[Str ]-";
        QTest::newRow("unknown score") << UnknownValue << 3 << 1 << "[Str ]-";
    }

    void ability()
    {
        QTEST_HTML(Creature::getAbilityText("Str", fetch<int>("score"), fetch<int>("modifier"), fetch<int>("level")), "expected");
    }

    void abilitiesAndLabelledLines()
    {
        CreatureStats stats;
        stats.level = 2;
        for (int i = 0; i < AbilityCount; i++)
            stats.abilities[i].score = 10 + 2 * i;
        stats.abilities[Charisma].modifier = 9;
        Creature* creature = made(stats);
        QCOMPARE(QStringList({creature->getStrText(), creature->getDexText(), creature->getWisText(), creature->getConText(),
                              creature->getIntText(), creature->getChaText()})
                     .join(' '),
                 html("[Str ]10 (+1) [Dex ]12 (+2) [Wis ]14 (+3) [Con ]16 (+4) [Int ]18 (+5) [Cha ]20 (+9)"));
        auto lines = [](Creature* c) {
            return QStringList({c->getSkills(), c->getDetection(), c->getDescription(), c->getEquipment(),
                                c->getLanguagesText(), c->getAlignmentText()})
                .join('|');
        };
        QCOMPARE(lines(creature), html("||||[Languages ]-|[Alignment ]-"));
        stats.skills = "Stealth +9";
        stats.detect = "tremorsense 5";
        stats.description = "A wiry goblin.";
        stats.equipment = "leather armor";
        stats.languages = "Common, Goblin";
        stats.alignment = "Evil";
        QCOMPARE(lines(made(stats)), html("[Skills ]Stealth +9|[Detect ]tremorsense 5|[Description ]A wiry goblin.|"
                                               "[Equipment ]leather armor|[Languages ]Common, Goblin|[Alignment ]Evil"));
    }

    void defences_data()
    {
        columns<int, QStringList, QString, QString>({"armorClass", "effects", "compact", "full"});
        const QString plain = "[AC] 17; [Fort] 15; [Reflex] 14; [Will] -";
        QTest::newRow("known") << 17 << QStringList() << "[AC]17 [F]15 [R]14 [W]-" << plain;
        QTest::newRow("unknown armour class") << UnknownValue << QStringList() << "[AC]- [F]15 [R]14 [W]-"
                                              << "[AC] -; [Fort] 15; [Reflex] 14; [Will] -";
        QTest::newRow("armour class lowered") << 17 << QStringList{"penalty 2 armor"} << "[AC]{r15} [F]15 [R]14 [W]-"
                                              << "[AC] 17{r-2}; [Fort] 15; [Reflex] 14; [Will] -";
        QTest::newRow("unknown defences stay unknown") << UnknownValue << QStringList{"bonus 2 armor,fortitude,will"}
                                                       << "[AC]- [F]{b17} [R]14 [W]-" << "[AC] -; [Fort] 15{b+2}; [Reflex] 14; [Will] -";
        QTest::newRow("no base value") << 0 << QStringList{"bonus 2 armor"} << "[AC]{b+2} [F]15 [R]14 [W]-"
                                       << "[AC] {b+2}; [Fort] 15; [Reflex] 14; [Will] -";
        QTest::newRow("attack bonuses leave them") << 17 << QStringList{"bonus 2 hit,damage"} << "[AC]17 [F]15 [R]14 [W]-" << plain;
    }

    void defences()
    {
        Creature* creature = monster("", "");
        creature->setArmorClass(fetch<int>("armorClass"));
        creature->setFortitude(15);
        creature->setReflex(14);
        putEffects(creature, fetch<QStringList>("effects"));
        QTEST_HTML(creature->getDefenses(true), "compact");
        QTEST_HTML(creature->getDefenses(false), "full");
    }

    void typeAndLevel_data()
    {
        columns<bool, int, QString, QString, QString, QString, int, QString>(
            {"monster", "level", "type", "race", "creatureClass", "role", "xp", "lines"});
        QTest::newRow("hero") << false << 5 << "Medium natural humanoid" << "Dwarf" << "Fighter" << "" << 0
                              << "Medium natural humanoid (Dwarf)|Level 5 Dwarf Fighter|Level 5 Fighter";
        QTest::newRow("hero with a level only") << false << 3 << "" << "" << "" << "Striker" << 0 << "|Level 3|Level 3";
        QTest::newRow("hero without a level") << false << 0 << "" << "Elf" << "Wizard" << "" << 0 << "Elf|Elf Wizard|Wizard";
        QTest::newRow("bare hero") << false << 0 << "" << "" << "" << "" << 0 << "||";
        QTest::newRow("monster") << true << 3 << "Small humanoid" << "" << "Fighter" << "Soldier" << 150
                                 << "Small humanoid||Level 3 Soldier XP 150";
        QTest::newRow("monster without a role") << true << 3 << "" << "" << "" << "" << 0 << "||Level 3";
        QTest::newRow("monster with XP only") << true << 0 << "" << "" << "" << "" << 25 << "||XP 25";
        QTest::newRow("bare monster") << true << 0 << "" << "" << "" << "" << 0 << "||";
        QTest::newRow("role without level") << true << 0 << "" << "" << "" << "Brute" << 0 << "||Brute";
    }

    void typeAndLevel()
    {
        CreatureStats stats;
        stats.monster = fetch<bool>("monster");
        stats.level = fetch<int>("level");
        stats.xp = fetch<int>("xp");
        stats.type = fetch<QString>("type");
        stats.race = fetch<QString>("race");
        stats.creatureClass = fetch<QString>("creatureClass");
        stats.role = fetch<QString>("role");
        Creature* creature = made(stats);
        QTEST(creature->getTypeRace() + "|" + creature->getLevelRaceClass() + "|" + creature->getLevelClassRole(), "lines");
    }

    void senses_data()
    {
        columns<QString, int, int, QString, QString>({"senses", "perception", "insight", "sensesAndInsight", "sensesLine"});
        QTest::newRow("all") << "low-light vision" << 5 << 2 << "Low-light vision; [Insight ]+2"
                             << "[Perception ]+5; low-light vision; [Insight ]+2";
        QTest::newRow("unknown insight") << "Darkvision" << -1 << UnknownValue << "Darkvision" << "[Perception ]-1; darkvision";
        QTest::newRow("insight only") << "" << UnknownValue << 0 << "[Insight ]+0" << "[Perception ]-; [Insight ]+0";
        QTest::newRow("nothing") << "" << UnknownValue << UnknownValue << "" << "[Perception ]-";
    }

    void senses()
    {
        QFETCH(int, perception);
        CreatureStats stats;
        stats.senses = fetch<QString>("senses");
        stats.perception = perception;
        stats.insight = fetch<int>("insight");
        Creature* creature = made(stats);
        QCOMPARE(creature->getPerceptionBonusText(), Creature::getBonusText(perception));
        QTEST_HTML(creature->getSensesAndInsight(), "sensesAndInsight");
        QTEST_HTML(creature->getSensesLine(), "sensesLine");
    }

    void sectionCompaction()
    {
        Creature* goblin = monster("Goblin", "1");
        Creature* mira = hero("Mira");
        QVERIFY(!goblin->useCompactDisplay(Power::Standard) && mira->useCompactDisplay(Power::Standard));
        QVERIFY(goblin->toggleSectionCompaction(Power::Minor));
        QVERIFY(goblin->useCompactDisplay(Power::Minor) && !goblin->useCompactDisplay(Power::Standard));
        QVERIFY(!mira->toggleSectionCompaction(Power::Minor) && !goblin->toggleSectionCompaction(Power::Minor));
        QVERIFY(!goblin->useCompactDisplay(Power::Minor));
        CreaturePower power;
        power.current.when = Power::Triggered;
        QVERIFY(mira->useCompactDisplay(&power));
        mira->toggleSectionCompaction(Power::Triggered);
        QVERIFY(!mira->useCompactDisplay(&power));
        // The map is the display's memory, not a statistic.
        Creature copy;
        copy.copyStats(mira);
        QVERIFY(copy.useCompactDisplay(&power));
    }

    void resistances_data()
    {
        columns<QString, QString, QStringList, QString, QString>({"resist", "vulnerable", "effects", "all", "stored"});
        const QString immune = "[Immune ]poison; ", regeneration = "[Regeneration ]5";
        const QString both = immune + "[Resist ]5 fire; [Vulnerable ]5 radiant; " + regeneration;
        QTest::newRow("all") << "5 fire" << "5 radiant" << QStringList() << both << both;
        QTest::newRow("merged with the stored text") << "5 fire" << "" << QStringList{"resist 10 cold"}
                                                     << immune + "[Resist ]5 fire, 10 cold; " + regeneration
                                                     << immune + "[Resist ]5 fire; " + regeneration;
        QTest::newRow("effects in list order") << "" << "" << QStringList{"resist 10 cold", "resist 5 fire"}
                                               << immune + "[Resist ]10 cold, 5 fire; " + regeneration << immune + regeneration;
        QTest::newRow("without a comment") << "" << "10 fire" << QStringList{"vulnerable 5", "resist 3"}
                                           << immune + "[Resist ]3 unknown; [Vulnerable ]10 fire, 5 all damage; " + regeneration
                                           << immune + "[Vulnerable ]10 fire; " + regeneration;
        QTest::newRow("other effects left out") << "" << "" << QStringList{"bonus 2 hit"} << immune + regeneration
                                                << immune + regeneration;
        // The comment is what the game master typed.
        QTest::newRow("comment escaped") << "" << "" << QStringList{"vulnerable 5 <b>acid</b> & fire"}
                                         << immune + "[Vulnerable ]5 &lt;b&gt;acid&lt;/b&gt; &amp; fire; " + regeneration
                                         << immune + regeneration;
    }

    void resistances()
    {
        CreatureStats stats;
        stats.immune = "poison";
        stats.resist = fetch<QString>("resist");
        stats.vulnerable = fetch<QString>("vulnerable");
        stats.regeneration = "5";
        Creature* creature = made(stats);
        putEffects(creature, fetch<QStringList>("effects"));
        QTEST_HTML(creature->getResistances(true, true), "all");
        QTEST_HTML(creature->getResistances(true, false), "stored");
        QCOMPARE(creature->getResistances(false, true), html(fetch<QString>("all")).remove("; <b>Regeneration </b>5"));
        QCOMPARE(creature->getResistances(false, false), html(fetch<QString>("stored")).remove("; <b>Regeneration </b>5"));
        QCOMPARE(made(CreatureStats())->getResistances(true, true), QString());
    }

    void savingAndAction_data()
    {
        columns<bool, QString, QStringList, int, bool, int, bool, QString, QString>(
            {"monster", "saves", "effects", "actionPoints", "running", "spent", "secondWindUsed", "stored", "live"});
        const QStringList none;
        QTest::newRow("bare monster") << true << "" << none << 0 << false << 0 << false << "" << "";
        QTest::newRow("bare hero") << false << "" << none << 0 << false << 0 << false << "[SW]" << "[SW]";
        QTest::newRow("second wind used") << false << "" << none << 0 << false << 0 << true << "<s>SW</s>" << "<s>SW</s>";
        QTest::newRow("elite monster") << true << "+2" << none << 1 << false << 0 << false
                                       << "[Saving Throws ]+2; [Action Points ]1" << "[Saving Throws ]+2; [Action Points ]1";
        QTest::newRow("saves raised") << true << "+2" << QStringList{"bonus 1 saving"} << 0 << true << 0 << false
                                      << "[Saving Throws ]+2" << "[Saving Throws ]{b+3}";
        QTest::newRow("saves lowered without a saves text") << false << "" << QStringList{"penalty 2 saving"} << 0 << true << 0
                                                            << false << "[SW]" << "[Saving Throws ]{r-2}; [SW]";
        QTest::newRow("hero in the encounter") << false << "" << none << 1 << true << 0 << false << "[Action Points ]1; [SW]"
                                               << "[Action Points ]1; [SW]";
        QTest::newRow("hero spent it") << false << "" << none << 1 << true << 1 << false << "[Action Points ]1; [SW]"
                                       << "[Action Points ]0/1; [SW]";
        QTest::newRow("hero spent it, encounter over") << false << "" << none << 1 << false << 1 << false
                                                       << "[Action Points ]1; [SW]" << "[Action Points ]0; [SW]";
    }

    void savingAndAction()
    {
        CreatureStats stats;
        stats.monster = fetch<bool>("monster");
        stats.savingThrows = fetch<QString>("saves");
        stats.initActionPoints = fetch<int>("actionPoints");
        Creature* creature = made(stats);
        creature->setSecondWindUsed(fetch<bool>("secondWindUsed"));
        putEffects(creature, fetch<QStringList>("effects"));
        spendActionPoints(creature, fetch<int>("spent"), fetch<bool>("running"));
        QTEST_HTML(creature->getSavingAndAction(true), "stored");
        QTEST_HTML(creature->getSavingAndAction(false), "live");
    }

    void actions_data()
    {
        columns<QString, int, bool, int, int, QString, QString>({"speed", "actionPoints", "running", "spent", "pending", "stored", "live"});
        QTest::newRow("no speed") << "" << 0 << false << 0 << 0 << "[Speed ]-; [Initiative ]+4" << "[Speed ]-; [Initiative ]+4";
        QTest::newRow("stopped") << "6" << 1 << false << 0 << 0 << "[Speed ]6; [Initiative ]+4; [AP ]1"
                                 << "[Speed ]6; [Initiative ]+4; [AP ]1";
        QTest::newRow("running") << "6" << 1 << true << 0 << 0 << "[Speed ]6; [Initiative ]+4; [AP ]1"
                                 << "[Speed ]6; [Initiative ]+4 (15); [AP ]1";
        QTest::newRow("spent") << "6, fly 8" << 1 << true << 1 << 0 << "[Speed ]6, fly 8; [Initiative ]+4; [AP ]1"
                               << "[Speed ]6, fly 8; [Initiative ]+4 (15); [AP ]0/1";
        QTest::newRow("spent one, one coming back") << "" << 1 << true << 1 << 1 << "[Speed ]-; [Initiative ]+4; [AP ]1"
                                                    << "[Speed ]-; [Initiative ]+4 (15); [AP ][{b1}]/1";
        QTest::newRow("about to spend one") << "" << 1 << true << 0 << -1 << "[Speed ]-; [Initiative ]+4; [AP ]1"
                                            << "[Speed ]-; [Initiative ]+4 (15); [AP ][{r0}]/1";
        QTest::newRow("about to spend one, stopped") << "" << 1 << false << 0 << -1 << "[Speed ]-; [Initiative ]+4; [AP ]1"
                                                     << "[Speed ]-; [Initiative ]+4; [AP ][{r0}]";
    }

    void actions()
    {
        CreatureStats stats;
        stats.speed = fetch<QString>("speed");
        stats.initActionPoints = fetch<int>("actionPoints");
        stats.initBonus = 4;
        Creature* creature = made(stats);
        creature->setInitRoll(15);
        spendActionPoints(creature, fetch<int>("spent"), fetch<bool>("running"));
        creature->setDeltaCurrActionPoints(fetch<int>("pending"));
        QTEST_HTML(creature->getActions(true), "stored");
        QTEST_HTML(creature->getActions(false), "live");
        // The saving and action line shows the action points alike.
        if (fetch<int>("actionPoints"))
            QCOMPARE(creature->getSavingAndAction(false), "<b>Action Points </b>" + html(fetch<QString>("live")).section("<b>AP </b>", 1));
    }

    void effectText_data()
    {
        columns<CE::EffectType, int, int, QString, QString>({"type", "amount", "attributes", "comment", "text"});
        QTest::newRow("penalty to all defences") << CE::Penalty << 2 << (AC | Fort | Ref | Will) << "" << "-2 to all Defenses";
        QTest::newRow("bonus to hit and damage") << CE::Bonus << 1 << (Hit | Dmg) << "" << "+1 to Hit & Damage";
        QTest::newRow("bonus to Fortitude") << CE::Bonus << 2 << Fort << "" << "+2 to Fortitude";
        QTest::newRow("bonus to Fort and Will") << CE::Bonus << 2 << (Fort | Will) << "" << "+2 to Fort, Will";
        QTest::newRow("bonus to AC") << CE::Bonus << 1 << AC << "" << "+1 to AC";
        QTest::newRow("bonus to everything") << CE::Bonus << 1 << 127 << "" << "+1 to AC, Fort, Reflex, Will, Hit, Damage, Saving Throws";
        QTest::newRow("penalty to saves") << CE::Penalty << 1 << Saves << "" << "-1 to Saving Throws";
        QTest::newRow("bonus to AC and Will") << CE::Bonus << 1 << (AC | Will) << "" << "+1 to AC, Will";
        QTest::newRow("bonus without attributes") << CE::Bonus << 3 << 0 << "" << "+3 Bonus";
        QTest::newRow("penalty without attributes") << CE::Penalty << 2 << 0 << "" << "-2 Penalty";
        QTest::newRow("marked without origin") << CE::Marked << 0 << 0 << "" << "Marked";
        QTest::newRow("comment alone") << CE::None << 0 << 0 << "Cursed" << "Cursed";
        QTest::newRow("good comment") << CE::GoodEffect << 4 << 0 << "Blessed" << "Blessed";
        QTest::newRow("bad comment") << CE::BadEffect << 4 << 0 << "Hexed" << "Hexed";
        QTest::newRow("empty comment") << CE::None << 0 << 0 << "" << "";
        QTest::newRow("unknown type") << CE::EffectType(40) << 0 << 0 << "odd" << "odd";
        QTest::newRow("slowed with comment") << CE::Slowed << 0 << 0 << "in mud" << "Slowed (in mud)";
        QTest::newRow("ongoing damage") << CE::OnGoingDamage << 5 << 0 << "fire" << "Ongoing 5 Damage (fire)";
        QTest::newRow("regeneration") << CE::Regeneration << 3 << 0 << "" << "Regeneration 3";
        QTest::newRow("resist") << CE::Resistance << 10 << 0 << "" << "Resist 10";
        QTest::newRow("vulnerable") << CE::Vulnerability << 5 << 0 << "radiant" << "Vulnerable 5 (radiant)";
        QTest::newRow("total defense") << CE::TotalDefense << 0 << 0 << "" << "Total Defense";
        QTest::newRow("surprised") << CE::Surprised << 0 << 0 << "" << "Surprised";
        QTest::newRow("combat advantage") << CE::GrantsCombatAdvantage << 0 << 0 << "" << "Grants Combat Advantage";
        QTest::newRow("comment escaped") << CE::Dazed << 0 << 0 << "<i>\"R&D\"</i>" << "Dazed (&lt;i&gt;&quot;R&amp;D&quot;&lt;/i&gt;)";
        QTest::newRow("comment alone escaped") << CE::None << 0 << 0 << "a < b" << "a &lt; b";
    }

    void effectText()
    {
        EffectDetails details;
        details.type = fetch<CE::EffectType>("type");
        details.amount = fetch<int>("amount");
        details.attributes = attributesOf(fetch<int>("attributes"));
        details.comment = fetch<QString>("comment");
        QTEST(Effect::getEffectText(details), "text");
        QTEST(effect(hero("Aldric"), details)->getEffectText(), "text");
    }

    void endConditionText_data()
    {
        columns<CE::EndCondition, bool, QString>({"condition", "withOrigin", "phrase"});
        QTest::newRow("special") << CE::EndSpecial << true << " end special|End special";
        QTest::newRow("origin's end") << CE::EndOfOriginsNextTurn << true
                                      << " until end of Goblin (3)'s next turn|Until end of Goblin (3)'s next turn";
        QTest::newRow("origin's end, no origin") << CE::EndOfOriginsNextTurn << false
                                                 << " until end of origin's next turn|Until end of origin's next turn";
        QTest::newRow("my end") << CE::EndOfTargetsNextTurn << true << " until end of my next turn|Until end of my next turn";
        QTest::newRow("save") << CE::SaveEnds << true << " until save ends|Save ends all";
        QTest::newRow("encounter") << CE::EndOfEncounter << false << " until end of encounter|Until end of encounter";
        QTest::newRow("origin's start") << CE::StartOfOriginsNextTurn << true
                                        << " until start of Goblin (3)'s next turn|Until start of Goblin (3)'s next turn";
        QTest::newRow("origin's start, no origin") << CE::StartOfOriginsNextTurn << false
                                                   << " until start of origin's next turn|Until start of origin's next turn";
        QTest::newRow("my start") << CE::StartOfTargetsNextTurn << true << " until start of my next turn|Until start of my next turn";
        QTest::newRow("unknown") << CE::EndCondition(7) << true << " until |Until ";
    }

    void endConditionText()
    {
        EffectDetails details;
        details.type = CE::Dazed;
        details.endCondition = fetch<CE::EndCondition>("condition");
        if (fetch<bool>("withOrigin"))
            details.origin = monster("Goblin", "3");
        Effect* placed = effect(hero("Aldric"), details);
        QTEST(placed->getEndConditionText(false) + "|" + placed->getEndConditionText(true), "phrase");
        QCOMPARE(placed->getDescription(), "Dazed" + placed->getEndConditionText(false));
        // Headings of a group without a source name: only a heading with effects has one.
        QCOMPARE((NestedEffect{NestedEffect::Heading, 1, {placed}}.getEffectText()), placed->getEndConditionText(true) + ":");
        QCOMPARE((NestedEffect{3, 1, {placed}}.getEffectText()), QString());
        QCOMPARE((NestedEffect{NestedEffect::Heading, 1, {}}.getEffectText()), QString());
    }

    void originAndTargetNamedLiveThenAsRecorded()
    {
        Creature* origin = monster("Goblin", "3");
        Effect* placed = effect(hero("Aldric"), CE::Marked, CE::EndOfOriginsNextTurn, origin);
        QCOMPARE(placed->getDescription(), QString("Marked by Goblin (3) until end of Goblin (3)'s next turn"));
        // A rename shows while the origin lives; deleted, it is named as it was when the effect was made.
        origin->setName("4");
        QCOMPARE(placed->getEffectText(), QString("Marked by Goblin (4)"));
        forget(origin);
        QVERIFY(!placed->getOrigin());
        QCOMPARE(placed->getOriginName(), QString("Goblin (3)"));
        QCOMPARE(placed->getDescription(), QString("Marked by Goblin (3) until end of Goblin (3)'s next turn"));

        Creature* bearer = hero("<Tom & Jerry>");
        Effect* dazed = effect(bearer, CE::Dazed);
        Effect* marked = effect(hero("Aldric"), CE::Marked, CE::StartOfOriginsNextTurn, bearer);
        QCOMPARE(marked->getDescription(), QString("Marked by &lt;Tom &amp; Jerry&gt; until start of &lt;Tom &amp; Jerry&gt;'s next turn"));
        forget(bearer);
        QVERIFY(!dazed->getTarget());
        QCOMPARE(dazed->getTargetName(), QString("<Tom & Jerry>"));
        QCOMPARE(dazed->getDescription(), QString("Dazed end special"));
        QCOMPARE(marked->getEffectText(), QString("Marked by &lt;Tom &amp; Jerry&gt;"));
        DyingEffect dying(hero("Aldric"));
        QCOMPARE(dying.getEffectText() + "|" + dying.getDescription(), QString("Death Saving Throw|Death Saving Throw end special"));
    }

    void effectListsAndEntries()
    {
        Creature* bearer = hero("Aldric");
        QCOMPARE(bearer->getEffectsList(), QString(""));
        EffectDetails cursed;
        cursed.comment = "Cursed";
        for (Effect* placed : {effect(bearer, CE::None), effect(bearer, CE::Dazed, CE::EndOfTargetsNextTurn), effect(bearer, cursed)})
            bearer->addEffect(placed);
        // A separator before every effect but the first, even after an empty text.
        QCOMPARE(bearer->getEffectsList(), QString("; Dazed; Cursed"));
        QCOMPARE(bearer->getEffectText(1) + "|" + bearer->getEffectText(2), QString("Dazed until end of my next turn|Cursed end special"));
        QString outOfRange = bearer->getEffectText(3);
        QVERIFY(outOfRange.isEmpty() && !outOfRange.isNull());
        NestedEffect entry{NestedEffect::Heading, 2, {effect(bearer, CE::None), effect(bearer, CE::Dazed), effect(bearer, CE::None),
                                                      effect(bearer, CE::Prone)}};
        QCOMPARE(entry.getEffectsList(), QString("Dazed; ; Prone"));

        Creature* grouped = hero("Brenna");
        EffectDetails held;
        held.type = CE::Dazed;
        held.endCondition = CE::EndOfTargetsNextTurn;
        held.sourceName = "Hold <Person>";
        held.groupId = 4;
        Effect* dazed = effect(grouped, held);
        held.type = CE::Prone;
        for (Effect* placed : {dazed, effect(grouped, held), effect(grouped, CE::Slowed, CE::SaveEnds)})
            grouped->addEffect(placed);
        QStringList texts;
        for (int i = 0; i <= grouped->getNestedEffectCount(); i++)
            texts.append(grouped->getNestedEffectText(i));
        QCOMPARE(texts, (QStringList{"Slowed until save ends", "Hold &lt;Person&gt;: Until end of my next turn:", "Dazed", "Prone", QString()}));
        QVERIFY(grouped->getNestedEffectText(4).isNull());
        QCOMPARE(grouped->getNestedEffect(1)->getEffectsList(), QString("Dazed; Prone"));
    }
};

RAVELHORN_TEST_MAIN(QGuiApplication, TestCreatureText)
#include "test_creaturetext.moc"
