#include <QGuiApplication>

#include "creature/creaturetesting.h"
#include "support/testsupport.h"
#include "creature/texteffects.h"

namespace {

// "hero", "monster" or "trap" with the given maxima, rested.
Creature* makeCreature(const QString& kind, int maxHitPoints, int maxSurges = 0, int surgeValue = 0,
                       int actionPoints = 0)
{
    CreatureStats stats;
    stats.monster = kind != "hero";
    stats.trap = kind == "trap";
    stats.maxHitPoints = maxHitPoints;
    stats.maxHealingSurges = maxSurges;
    stats.surgeValue = surgeValue;
    stats.initActionPoints = actionPoints;
    auto* creature = new Creature;
    creature->setStats(stats);
    creature->takeExtendedRest(false, false);
    return creature;
}

void startEncounter()
{
    Global::encounter->setCurrentIndex(0);
}

}

class TestCreatureText : public QObject
{
    Q_OBJECT

private:
    CreatureFixture fixture;

private slots:
    void init() { fixture.setUp(); }
    void cleanup() { fixture.tearDown(); }

    void names_data()
    {
        QTest::addColumn<bool>("hero");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("group");
        QTest::addColumn<QString>("alias");
        QTest::addColumn<bool>("showAlias");
        QTest::addColumn<QString>("reference");
        QTest::addColumn<QString>("forPlayers");
        QTest::addColumn<QString>("listName");
        QTest::newRow("monster") << false << "2" << "Orc" << "Boss" << false << "Orc (2)" << "Orc (2)" << "Orc (2)";
        QTest::newRow("monster showing its alias")
            << false << "2" << "Orc" << "Boss" << true << "Orc (2)" << "\"Boss\"" << "Boss (2)";
        QTest::newRow("monster without a name") << false << "" << "Orc" << "" << false << "Orc" << "Orc" << "Orc ()";
        QTest::newRow("hero") << true << "Mira" << "" << "Red" << false << "Mira" << "Mira" << "Mira";
        QTest::newRow("hero showing its alias")
            << true << "Mira" << "" << "Red" << true << "Mira" << "\"Red\"" << "Red";
        // Names are plain text: whoever puts them into HTML escapes them.
        QTest::newRow("markup stays plain")
            << false << "<1>" << "Tom & Jerry" << "<i>Boss</i>" << true << "Tom & Jerry (<1>)" << "\"<i>Boss</i>\""
            << "<i>Boss</i> (<1>)";
    }

    void names()
    {
        QFETCH(bool, hero);
        QFETCH(QString, name);
        QFETCH(QString, group);
        QFETCH(QString, alias);
        QFETCH(bool, showAlias);
        QScopedPointer<Creature> creature(new Creature);
        if (hero)
            creature->setupDummyHero(name);
        else
            creature->setupDummyMonster(group);
        creature->setName(name);
        creature->setAlias(alias);
        creature->setShowAlias(showAlias);
        QTEST(creature->getNameGroup(), "reference");
        QTEST(creature->getDisplayName(true), "forPlayers");
        QTEST(creature->getDisplayName(false), "reference");
        QTEST(creature->getInitativeListName(), "listName");
    }

    void nameListJoinsDisplayNames()
    {
        QScopedPointer<Creature> hero(new Creature);
        hero->setupDummyHero("Mira");
        QScopedPointer<Creature> orc(new Creature);
        orc->setupDummyMonster("Orc");
        orc->setName("2");
        orc->setAlias("Boss");
        orc->setShowAlias(true);
        QList<Creature*> both{hero.data(), orc.data()};
        QCOMPARE(Creature::getNameList(both, true), QString("Mira, \"Boss\""));
        QCOMPARE(Creature::getNameList(both, false), QString("Mira, Orc (2)"));
        QCOMPARE(Creature::getNameList({}, true), QString());
    }

    void state_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("hitPoints");
        QTest::addColumn<QStringList>("flags");
        QTest::addColumn<QString>("shortText");
        QTest::addColumn<QString>("plain");
        QTest::addColumn<QString>("rich");
        const QStringList none;
        QTest::newRow("missing before dead") << "trap" << 0 << QStringList{"missing"} << "Missing" << "Missing"
                                             << "<b>Missing</b>";
        QTest::newRow("disabled trap") << "trap" << 0 << none << "Disabled" << "Disabled" << "<b>Disabled</b>";
        QTest::newRow("dead monster") << "monster" << 0 << none << "Dead" << "Dead" << "<b>Dead</b>";
        QTest::newRow("dead hero ignores its flags")
            << "hero" << -10 << QStringList{"delayed", "ready"} << "Dead" << "Dead" << "<b>Dead</b>";
        QTest::newRow("dying hero") << "hero" << -2 << QStringList{"unstable", "failed2", "delayed"} << "Dying 2/3"
                                    << "Dying 2/3" << "Dying 2/3";
        QTest::newRow("stabilized hero")
            << "hero" << 0 << QStringList{"failed1"} << "Stabilized 1/3" << "Stabilized 1/3" << "Stabilized 1/3";
        QTest::newRow("readied and bloodied") << "monster" << 10 << QStringList{"ready"} << ""
                                              << "Readied; Bloodied" << "Readied; <font color=red>Bloodied</font>";
        QTest::newRow("all flags in order") << "hero" << 20 << QStringList{"hidden", "ready", "delayed"} << ""
                                            << "Delayed; Readied; Hidden" << "Delayed; Readied; Hidden";
        QTest::newRow("nothing to tell") << "monster" << 11 << none << "" << "" << "";
    }

    void state()
    {
        QFETCH(QString, kind);
        QFETCH(int, hitPoints);
        QFETCH(QStringList, flags);
        QScopedPointer<Creature> creature(makeCreature(kind, 20));
        creature->setCurrHitPoints(hitPoints);
        creature->setMissing(flags.contains("missing"));
        creature->setDelayed(flags.contains("delayed"));
        creature->setReady(flags.contains("ready"));
        creature->setHidden(flags.contains("hidden"));
        creature->setStabilized(!flags.contains("unstable"));
        creature->setFailedDeathSavingThrows(flags.contains("failed2") ? 2 : flags.contains("failed1") ? 1 : 0);

        QTEST(creature->getShortStateText(), "shortText");
        QTEST(creature->getStateText(false, false, false, false), "plain");
        QTEST(creature->getStateText(true, true, false, false), "rich");
        if (flags.contains("missing"))
            QCOMPARE(creature->getStateText(true, true, true, false), QString());
        else
            QTEST(creature->getStateText(false, false, true, false), "plain");
    }

    void stateShowsEffectAdjustments_data()
    {
        QTest::addColumn<int>("hitPoints");
        QTest::addColumn<QStringList>("effects");
        QTest::addColumn<QString>("plain");
        QTest::addColumn<QString>("rich");
        QTest::newRow("to hit raised") << 20 << QStringList{"bonus 2 hit"} << "To Hit +2"
                                       << "<b>To Hit </b><font color=blue>+2</font>";
        QTest::newRow("damage lowered") << 20 << QStringList{"penalty 1 damage"} << "Damage -1"
                                        << "<b>Damage </b><font color=red>-1</font>";
        QTest::newRow("after the flags, in order")
            << 8 << QStringList{"bonus 1 saving", "penalty 2 hit,damage"}
            << "Bloodied; To Hit -2; Damage -2; Saving Throws +1"
            << "<font color=red>Bloodied</font>; <b>To Hit </b><font color=red>-2</font>; "
               "<b>Damage </b><font color=red>-2</font>; <b>Saving Throws </b><font color=blue>+1</font>";
        QTest::newRow("cancelled out") << 20 << QStringList{"bonus 2 hit", "penalty 2 hit"} << "" << "";
        QTest::newRow("defences are not part of it") << 20 << QStringList{"bonus 2 armor,will"} << "" << "";
    }

    void stateShowsEffectAdjustments()
    {
        QFETCH(int, hitPoints);
        QFETCH(QStringList, effects);
        QScopedPointer<Creature> creature(makeCreature("monster", 20));
        creature->setCurrHitPoints(hitPoints);
        putEffects(creature.data(), effects);
        QTEST(creature->getStateText(false, true, false, false), "plain");
        QTEST(creature->getStateText(true, true, false, false), "rich");
        QCOMPARE(creature->getStateText(false, false, false, false), QString(hitPoints > 10 ? "" : "Bloodied"));
    }

    void stateWithoutPendingDamage()
    {
        QScopedPointer<Creature> orc(makeCreature("monster", 20));
        orc->setCurrHitPoints(5);
        orc->setDeltaCurrHealth(-5, 0, 0);
        QCOMPARE(orc->getStateText(false, false, false, false), QString("Dead"));
        // The players do not see a monster die before the damage is dealt.
        QCOMPARE(orc->getStateText(false, false, false, true), QString("Bloodied"));
    }

    void hpLevel_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("maxHitPoints");
        QTest::addColumn<int>("hitPoints");
        QTest::addColumn<int>("temporary");
        QTest::addColumn<QString>("expected");
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
        QFETCH(QString, kind);
        QFETCH(int, maxHitPoints);
        QFETCH(int, hitPoints);
        QFETCH(int, temporary);
        QScopedPointer<Creature> creature(makeCreature(kind, maxHitPoints));
        creature->setCurrHitPoints(hitPoints);
        creature->setTempHitPoints(temporary);
        QTEST(creature->getHPLevel(), "expected");
    }

    void health_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("maxHitPoints");
        QTest::addColumn<int>("hitPoints");
        QTest::addColumn<int>("temporary");
        QTest::addColumn<int>("maxSurges");
        QTest::addColumn<int>("surges");
        QTest::addColumn<int>("surgeValue");
        QTest::addColumn<bool>("templateForm");
        QTest::addColumn<QString>("expected");
        QTest::newRow("bloodied hero") << "hero" << 30 << 12 << 2 << 7 << 5 << 7 << false
                                       << "<b>HP </b><font color=red>12</font>+2/30; <b>Bloodied </b>15; "
                                          "<b>HS </b>5/7 (7)";
        QTest::newRow("unhurt") << "hero" << 30 << 30 << 0 << 0 << 0 << 0 << false
                                << "<b>HP </b>30; <b>Bloodied </b>15";
        QTest::newRow("unhurt with temporary") << "hero" << 30 << 30 << 3 << 7 << 7 << 7 << false
                                               << "<b>HP </b>30+3/30; <b>Bloodied </b>15; <b>HS </b>7 (7)";
        QTest::newRow("hurt, not bloodied") << "monster" << 40 << 25 << 0 << 0 << 0 << 0 << false
                                            << "<b>HP </b>25/40; <b>Bloodied </b>20";
        QTest::newRow("surges without value") << "hero" << 30 << 29 << 0 << 7 << 7 << 0 << false
                                              << "<b>HP </b>29/30; <b>Bloodied </b>15; <b>HS </b>7";
        QTest::newRow("minion") << "monster" << 1 << 1 << 0 << 0 << 0 << 0 << false << "<b>HP </b>1";
        QTest::newRow("trap") << "trap" << 20 << 20 << 0 << 0 << 0 << 0 << false << "<b>HP </b>20";
        QTest::newRow("template shows maxima") << "monster" << 40 << 5 << 4 << 2 << 0 << 10 << true
                                               << "<b>HP </b>40; <b>Bloodied </b>20; <b>HS </b>2 (10)";
        QTest::newRow("hero has no template form") << "hero" << 30 << 12 << 0 << 7 << 5 << 7 << true
                                                   << "<b>HP </b><font color=red>12</font>/30; "
                                                      "<b>Bloodied </b>15; <b>HS </b>5/7 (7)";
    }

    void health()
    {
        QFETCH(QString, kind);
        QFETCH(int, maxHitPoints);
        QFETCH(int, hitPoints);
        QFETCH(int, temporary);
        QFETCH(int, maxSurges);
        QFETCH(int, surges);
        QFETCH(int, surgeValue);
        QFETCH(bool, templateForm);
        QScopedPointer<Creature> creature(makeCreature(kind, maxHitPoints, maxSurges, surgeValue));
        creature->setCurrHitPoints(hitPoints);
        creature->setTempHitPoints(temporary);
        creature->setCurrHealingSurges(surges);
        QTEST(creature->getHealth(templateForm), "expected");
    }

    void healthShowsPendingChanges_data()
    {
        QTest::addColumn<int>("hitPoints");
        QTest::addColumn<int>("temporary");
        QTest::addColumn<int>("surges");
        QTest::addColumn<QString>("health");
        QTest::addColumn<QString>("forPlayers");
        QTest::newRow("damage") << -14 << 0 << 0
                                << "<b>HP </b><b><font color=red>16</font></b>/30; <b>Bloodied </b>15; <b>HS </b>7 (7)"
                                << "<b>HP </b><b><font color=red>16</font></b>/30; <b>HS </b>7; <b>AP </b>1";
        QTest::newRow("healing above the maximum")
            << 2 << 0 << -1
            << "<b>HP </b><b><font color=blue>32</font></b>/30; <b>Bloodied </b>15; "
               "<b>HS </b><b><font color=red>6</font></b>/7 (7)"
            << "<b>HP </b><b><font color=blue>32</font></b>/30; <b>HS </b><b><font color=red>6</font></b>/7; "
               "<b>AP </b>1";
        QTest::newRow("temporary hit points")
            << 0 << 5 << 0 << "<b>HP </b>30+<b><font color=blue>5</font></b>/30; <b>Bloodied </b>15; <b>HS </b>7 (7)"
            << "<b>HP </b>30+<b><font color=blue>5</font></b>/30; <b>HS </b>7; <b>AP </b>1";
    }

    void healthShowsPendingChanges()
    {
        QFETCH(int, hitPoints);
        QFETCH(int, temporary);
        QFETCH(int, surges);
        QScopedPointer<Creature> hero(makeCreature("hero", 30, 7, 7, 1));
        hero->setDeltaCurrHealth(hitPoints, temporary, surges);
        QTEST(hero->getHealth(false), "health");
        QTEST(hero->getHealthForPlayers(false), "forPlayers");
    }

    void healthForPlayers_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("running");
        QTest::addColumn<int>("spent");
        QTest::addColumn<bool>("tally");
        QTest::addColumn<QString>("expected");
        QTest::newRow("monster") << "monster" << true << 0 << false << "";
        QTest::newRow("monster with tally") << "monster" << true << 0 << true << "Damage 18; Heals 1";
        QTest::newRow("hero") << "hero" << false << 0 << false << "<b>HP </b>12+2/30; <b>HS </b>5/7; <b>AP </b>2";
        QTest::newRow("hero, encounter running")
            << "hero" << true << 0 << true << "<b>HP </b>12+2/30; <b>HS </b>5/7; <b>AP </b>2";
        QTest::newRow("hero spent one") << "hero" << true << 1 << false
                                        << "<b>HP </b>12+2/30; <b>HS </b>5/7; <b>AP </b>1/2";
        QTest::newRow("hero spent one, encounter over")
            << "hero" << false << 1 << false << "<b>HP </b>12+2/30; <b>HS </b>5/7; <b>AP </b>1";
    }

    void healthForPlayers()
    {
        QFETCH(QString, kind);
        QFETCH(bool, running);
        QFETCH(int, spent);
        QFETCH(bool, tally);
        QScopedPointer<Creature> creature(makeCreature(kind, 30, 7, 7, 2));
        creature->applyDamage(18, nullptr);
        creature->applyHealing(0, 2);
        creature->setTempHitPoints(2);
        fixture.spendActionPoints(creature.data(), spent, running);
        QTEST(creature->getHealthForPlayers(tally), "expected");
    }

    void fullHeroForPlayers()
    {
        QScopedPointer<Creature> hero(makeCreature("hero", 30, 7, 7, 1));
        QCOMPARE(hero->getHealthForPlayers(false), QString("<b>HP </b>30/30; <b>HS </b>7; <b>AP </b>1"));
        QScopedPointer<Creature> withoutSurges(makeCreature("hero", 30, 0, 0, 0));
        QCOMPARE(withoutSurges->getHealthForPlayers(false), QString("<b>HP </b>30/30; <b>AP </b>0"));
    }

    void initiative_data()
    {
        QTest::addColumn<int>("bonus");
        QTest::addColumn<int>("roll");
        QTest::addColumn<bool>("running");
        QTest::addColumn<bool>("bonusOnly");
        QTest::addColumn<QString>("form0");
        QTest::addColumn<QString>("form1");
        QTest::addColumn<QString>("line");
        QTest::newRow("rolled") << 3 << 17 << true << false << "17" << "17 (+3)" << "<b>Initiative </b>+3 (17)";
        QTest::newRow("encounter stopped") << 3 << 17 << false << false << "+3" << "+3" << "<b>Initiative </b>+3";
        QTest::newRow("bonus only") << 3 << 17 << true << true << "+3" << "+3" << "<b>Initiative </b>+3";
        QTest::newRow("not rolled") << -1 << 0 << true << false << "-1" << "-1" << "<b>Initiative </b>-1";
        QTest::newRow("unknown roll") << 3 << 1000 << true << false << "-" << "-" << "<b>Initiative </b>-";
        QTest::newRow("unknown bonus") << 1000 << 12 << true << false << "12" << "12 (-)"
                                       << "<b>Initiative </b>- (12)";
        QTest::newRow("zero bonus") << 0 << 0 << false << false << "+0" << "+0" << "<b>Initiative </b>+0";
    }

    void initiative()
    {
        QFETCH(int, bonus);
        QFETCH(int, roll);
        QFETCH(bool, running);
        QFETCH(bool, bonusOnly);
        QFETCH(QString, line);
        QScopedPointer<Creature> creature(makeCreature("monster", 20));
        creature->setInitBonus(bonus);
        creature->setInitRoll(roll);
        if (running)
            startEncounter();
        QTEST(creature->getInitiative(bonusOnly, 0), "form0");
        QTEST(creature->getInitiative(bonusOnly, 1), "form1");
        QCOMPARE(creature->getInitiative(bonusOnly, 2), line);
        // Any form but the two columns is the stat block's line, negative ones too.
        QCOMPARE(creature->getInitiative(bonusOnly, -1), line);
    }
};

RAVELHORN_TEST_MAIN(QGuiApplication, TestCreatureText)
#include "test_creaturetext.moc"
