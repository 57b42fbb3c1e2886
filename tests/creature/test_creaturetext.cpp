#include <QGuiApplication>

#include <functional>

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

    void texts_data()
    {
        columns<QString, QString, QString>({"setup", "texts", "expected"});
        auto row = [](const char* tag) -> QTestData& { return QTest::newRow(tag); };
        const QString state = "short|state|rich|quiet";
        row("missing before dead") << "trap; max 20; hp 0; missing" << state << "Missing|Missing|[Missing]|";
        row("disabled trap") << "trap; max 20; hp 0" << state << "Disabled|Disabled|[Disabled]|Disabled";
        row("dead monster") << "max 20; hp 0" << state << "Dead|Dead|[Dead]|Dead";
        row("dead hero ignores its flags") << "hero; max 20; hp -10; delayed; ready" << state << "Dead|Dead|[Dead]|Dead";
        row("dying hero") << "hero; max 20; hp -2; unstable; failed 2; delayed" << state << "Dying 2/3|Dying 2/3|Dying 2/3|Dying 2/3";
        row("stabilized hero") << "hero; max 20; hp 0; failed 1" << state << "Stabilized 1/3|Stabilized 1/3|Stabilized 1/3|Stabilized 1/3";
        row("readied and bloodied") << "max 20; hp 10; ready" << state << "|Readied; Bloodied|Readied; {rBloodied}|Readied; Bloodied";
        row("all flags in order") << "hero; max 20; hidden; ready; delayed" << "short|rich" << "|Delayed; Readied; Hidden";
        row("nothing to tell") << "max 20; hp 11" << state << "|||";
        // The players do not see a monster die before the damage is dealt.
        row("damage not dealt yet") << "max 20; hp 5; delta -5 0 0" << "state|before damage" << "Dead|Bloodied";
        row("to hit raised") << "max 20; effect bonus 2 hit" << "adjusted|rich|state" << "To Hit +2|[To Hit ]{b+2}|";
        row("damage lowered") << "max 20; effect penalty 1 damage" << "adjusted|rich" << "Damage -1|[Damage ]{r-1}";
        row("adjustments after the flags, in order") << "max 20; hp 8; effect bonus 1 saving; effect penalty 2 hit,damage"
            << "adjusted|rich|state" << "Bloodied; To Hit -2; Damage -2; Saving Throws +1|"
                                        "{rBloodied}; [To Hit ]{r-2}; [Damage ]{r-2}; [Saving Throws ]{b+1}|Bloodied";
        row("adjustments cancelled out") << "max 20; effect bonus 2 hit; effect penalty 2 hit" << "adjusted|rich" << "|";
        row("defences are no adjustment") << "max 20; effect bonus 2 armor,will" << "adjusted|rich" << "|";
        row("minion") << "max 1" << "hp|health" << "Minion|[HP ]1";
        row("trap of one") << "trap; max 1" << "hp" << "Trap";
        row("trap without hit points") << "trap" << "hp" << "Trap";
        row("trap with hit points") << "trap; max 30" << "hp|health" << "30|[HP ]30";
        row("unhurt") << "max 20" << "hp" << "20";
        row("hurt") << "max 20; hp 7" << "hp" << "7/20";
        row("monster below zero") << "max 20; hp -4" << "hp" << "0/20";
        row("hero below zero") << "hero; max 20; hp -4" << "hp" << "-4/20";
        row("minion with temporary") << "max 1; temp 2" << "hp" << "1+2/1";
        row("bloodied hero") << "hero; max 30; surges 7; value 7; hp 12; temp 2; hs 5" << "hp|health"
                             << "12+2/30|[HP ]{r12}+2/30; [Bloodied ]15; [HS ]5/7~(7)";
        row("unhurt hero") << "hero; max 30" << "health|players" << "[HP ]30; [Bloodied ]15|[HP ]30/30; [AP ]0";
        row("unhurt with temporary") << "hero; max 30; surges 7; value 7; temp 3" << "health" << "[HP ]30+3/30; [Bloodied ]15; [HS ]7~(7)";
        row("hurt, not bloodied") << "max 40; hp 25" << "health" << "[HP ]25/40; [Bloodied ]20";
        row("surges without value") << "hero; max 30; surges 7; hp 29" << "health" << "[HP ]29/30; [Bloodied ]15; [HS ]7";
        row("template shows maxima") << "max 40; surges 2; value 10; hp 5; temp 4; hs 0" << "template" << "[HP ]40; [Bloodied ]20; [HS ]2~(10)";
        row("hero has no template form") << "hero; max 30; surges 7; value 7; hp 12; hs 5" << "template"
                                         << "[HP ]{r12}/30; [Bloodied ]15; [HS ]5/7~(7)";
        const QString fresh = "hero; max 30; surges 7; value 7; ap 1", both = "health|players";
        row("nothing pending") << fresh << both << "[HP ]30; [Bloodied ]15; [HS ]7~(7)|[HP ]30/30; [HS ]7; [AP ]1";
        row("damage pending") << fresh + "; delta -14 0 0" << both << "[HP ][{r16}]/30; [Bloodied ]15; [HS ]7~(7)|[HP ][{r16}]/30; [HS ]7; [AP ]1";
        row("healing pending above the maximum") << fresh + "; delta 2 0 -1" << both << "[HP ][{b32}]/30; [Bloodied ]15; [HS ][{r6}]/7~(7)|"
                                                                                           "[HP ][{b32}]/30; [HS ][{r6}]/7; [AP ]1";
        row("temporary hit points pending") << fresh + "; delta 0 5 0" << both << "[HP ]30+[{b5}]/30; [Bloodied ]15; [HS ]7~(7)|"
                                                                                  "[HP ]30+[{b5}]/30; [HS ]7; [AP ]1";
        const QString hurt = "max 30; surges 7; value 7; ap 2; damage 18; heal 0 2; temp 2; fight", hurtHero = "hero; " + hurt;
        row("monster for the players") << hurt << "players|tally" << "|Damage 18; Heals 1";
        row("hero for the players") << hurtHero + "; stop" << "players" << "[HP ]12+2/30; [HS ]5/7; [AP ]2";
        row("hero for the players, encounter running") << hurtHero << "tally" << "[HP ]12+2/30; [HS ]5/7; [AP ]2";
        row("hero spent one") << hurtHero + "; spend 1" << "players" << "[HP ]12+2/30; [HS ]5/7; [AP ]1/2";
        row("hero spent one, encounter over") << hurtHero + "; spend 1; stop" << "players" << "[HP ]12+2/30; [HS ]5/7; [AP ]1";
        const QString initiative = "init0|init1|init2";
        row("initiative rolled") << "init 3; roll 17; fight" << initiative + "|init-1" << "17|17 (+3)|[Initiative ]+3~(17)|[Initiative ]+3~(17)";
        row("initiative, encounter stopped") << "init 3; roll 17" << initiative << "+3|+3|[Initiative ]+3";
        row("initiative bonus only") << "init 3; roll 17; fight" << "bonus init0|bonus init1|bonus init2" << "+3|+3|[Initiative ]+3";
        row("initiative not rolled") << "init -1; roll 0; fight" << initiative << "-1|-1|[Initiative ]-1";
        row("unknown roll") << "init 3; roll 1000; fight" << initiative << "-|-|[Initiative ]-";
        row("unknown initiative bonus") << "init 1000; roll 12; fight" << initiative << "12|12 (-)|[Initiative ]-~(12)";
        row("zero initiative bonus") << "init 0; roll 0" << initiative << "+0|+0|[Initiative ]+0";
        const QString defences = "defences|defence line";
        row("unknown armour class") << "fort 15; ref 14" << defences << "[AC]- [F]15 [R]14 [W]-|[AC ]-; [Fort ]15; [Reflex ]14; [Will ]-";
        row("armour class lowered") << "ac 17; fort 15; ref 14; effect penalty 2 armor" << defences
                                    << "[AC]{r15} [F]15 [R]14 [W]-|[AC ]17{r-2}; [Fort ]15; [Reflex ]14; [Will ]-";
        row("unknown defences stay unknown") << "fort 15; ref 14; effect bonus 2 armor,fortitude,will" << defences
                                             << "[AC]- [F]{b17} [R]14 [W]-|[AC ]-; [Fort ]15{b+2}; [Reflex ]14; [Will ]-";
        row("no base defence") << "ac 0; fort 15; ref 14; effect bonus 2 armor" << defences
                               << "[AC]{b+2} [F]15 [R]14 [W]-|[AC ]{b+2}; [Fort ]15; [Reflex ]14; [Will ]-";
        row("attack bonuses leave the defences") << "ac 17; fort 15; ref 14; effect bonus 2 hit,damage" << defences
                                                 << "[AC]17 [F]15 [R]14 [W]-|[AC ]17; [Fort ]15; [Reflex ]14; [Will ]-";
        const QString kind = "type|level|role";
        row("hero's kind") << "hero; level 5; type Medium natural humanoid; race Dwarf; class Fighter" << kind
                           << "Medium natural humanoid (Dwarf)|Level 5 Dwarf Fighter|Level 5 Fighter";
        row("hero with a level only") << "hero; level 3; role Striker" << kind << "|Level 3|Level 3";
        row("hero without a level") << "hero; race Elf; class Wizard" << kind << "Elf|Elf Wizard|Wizard";
        row("bare hero") << "hero" << kind + "|saves|live saves" << "|||[SW]|[SW]";
        row("monster's kind") << "level 3; type Small humanoid; class Fighter; role Soldier; xp 150" << kind
                              << "Small humanoid||Level 3 Soldier XP 150";
        row("monster without a role") << "level 3" << kind << "||Level 3";
        row("monster with XP only") << "xp 25" << kind << "||XP 25";
        row("role without level") << "role Brute" << kind << "||Brute";
        row("bare monster") << "" << kind + "|lines|senses|senses line|perception|resistances|saves|live saves|actions"
                            << "|||||||[Languages ]-|[Alignment ]-||[Perception ]-|-||||[Speed ]-; [Initiative ]-";
        row("labelled lines") << "skills Stealth +9; detect tremorsense 5; description A wiry goblin.; equipment leather armor; "
                                 "languages Common, Goblin; alignment Evil"
                              << "lines" << "[Skills ]Stealth +9|[Detect ]tremorsense 5|[Description ]A wiry goblin.|"
                                            "[Equipment ]leather armor|[Languages ]Common, Goblin|[Alignment ]Evil";
        const QString senses = "senses|senses line|perception";
        row("all senses") << "senses low-light vision; perception 5; insight 2" << senses
                          << "Low-light vision; [Insight ]+2|[Perception ]+5; low-light vision; [Insight ]+2|+5";
        row("unknown insight") << "senses Darkvision; perception -1" << senses << "Darkvision|[Perception ]-1; darkvision|-1";
        row("insight only") << "insight 0" << senses << "[Insight ]+0|[Perception ]-; [Insight ]+0|-";
        row("all resistances") << "immune poison; resist 5 fire; vulnerable 5 radiant; regeneration 5" << "resistances|live resistances"
                               << "[Immune ]poison; [Resist ]5~fire; [Vulnerable ]5~radiant; [Regeneration ]5|"
                                  "[Immune ]poison; [Resist ]5~fire; [Vulnerable ]5~radiant";
        row("regeneration only") << "regeneration 10" << "resistances|live resistances" << "[Regeneration ]10|";
        row("resistance effects merged") << "resist 5 fire; regeneration 5; effect resist 10 cold"
                                         << "live resistances|stored resistances|bare resistances"
                                         << "[Resist ]5~fire, 10~cold|[Resist ]5~fire; [Regeneration ]5|[Resist ]5~fire";
        row("resistance effects in order") << "effect resist 10 cold; effect resist 5 fire" << "resistances" << "[Resist ]10~cold, 5~fire";
        row("resistance effects without comment") << "vulnerable 10 fire; effect vulnerable 5; effect resist 3" << "resistances"
                                                  << "[Resist ]3~unknown; [Vulnerable ]10~fire, 5~all damage";
        row("other effects are no resistance") << "effect bonus 2 hit" << "resistances" << "";
        // The comment is what the game master typed.
        row("resistance comment escaped") << "effect vulnerable 5 <b>acid</b> & fire" << "live resistances"
                                          << "[Vulnerable ]5~&lt;b&gt;acid&lt;/b&gt; &amp; fire";
        const QString saves = "saves|live saves";
        row("second wind used") << "hero; wind" << saves << "<s>SW</s>|<s>SW</s>";
        row("elite monster") << "saves +2; ap 1" << saves << "[Saving Throws ]+2; [Action Points ]1|[Saving Throws ]+2; [Action Points ]1";
        row("saves raised") << "saves +2; effect bonus 1 saving; fight" << saves << "[Saving Throws ]+2|[Saving Throws ]{b+3}";
        row("saves lowered without a saves text") << "hero; effect penalty 2 saving" << saves << "[SW]|[Saving Throws ]{r-2}; [SW]";
        row("hero in the encounter") << "hero; ap 1; fight" << saves << "[Action Points ]1; [SW]|[Action Points ]1; [SW]";
        row("hero spent it") << "hero; ap 1; fight; spend 1" << saves << "[Action Points ]1; [SW]|[Action Points ]0/1; [SW]";
        row("hero spent it, encounter over") << "hero; ap 1; fight; spend 1; stop" << saves << "[Action Points ]1; [SW]|[Action Points ]0; [SW]";
        const QString actions = "actions|live actions";
        row("actions, no speed") << "init 4; roll 15; fight" << actions << "[Speed ]-; [Initiative ]+4|[Speed ]-; [Initiative ]+4~(15)";
        row("actions, stopped") << "speed 6; ap 1; init 4; roll 15" << actions
                                << "[Speed ]6; [Initiative ]+4; [AP ]1|[Speed ]6; [Initiative ]+4; [AP ]1";
        row("actions, spent") << "speed 6, fly 8; ap 1; init 4; roll 15; fight; spend 1" << actions
                              << "[Speed ]6, fly 8; [Initiative ]+4; [AP ]1|[Speed ]6, fly 8; [Initiative ]+4~(15); [AP ]0/1";
        const QString preview = "live actions|live saves|saves";
        row("one coming back") << "hero; ap 1; fight; spend 1; pending 1" << preview
                               << "[Speed ]-; [Initiative ]-; [AP ][{b1}]/1|[Action Points ][{b1}]/1; [SW]|[Action Points ]1; [SW]";
        row("about to spend one") << "hero; ap 1; fight; pending -1" << preview
                                  << "[Speed ]-; [Initiative ]-; [AP ][{r0}]/1|[Action Points ][{r0}]/1; [SW]|[Action Points ]1; [SW]";
        row("about to spend one, stopped") << "hero; ap 1; pending -1" << preview
                                           << "[Speed ]-; [Initiative ]-; [AP ][{r0}]|[Action Points ][{r0}]; [SW]|[Action Points ]1; [SW]";
    }

    // The creature is set up by steps: its statistics, then what happened in the fight.
    void texts()
    {
        const QMap<QString, int CreatureStats::*> numbers{
            {"max", &CreatureStats::maxHitPoints}, {"surges", &CreatureStats::maxHealingSurges}, {"value", &CreatureStats::surgeValue},
            {"ap", &CreatureStats::initActionPoints}, {"level", &CreatureStats::level}, {"xp", &CreatureStats::xp},
            {"init", &CreatureStats::initBonus}, {"perception", &CreatureStats::perception}, {"insight", &CreatureStats::insight},
            {"ac", &CreatureStats::armorClass}, {"fort", &CreatureStats::fortitude}, {"ref", &CreatureStats::reflex}};
        const QMap<QString, QString CreatureStats::*> words{
            {"type", &CreatureStats::type}, {"race", &CreatureStats::race}, {"class", &CreatureStats::creatureClass},
            {"role", &CreatureStats::role}, {"senses", &CreatureStats::senses}, {"immune", &CreatureStats::immune},
            {"resist", &CreatureStats::resist}, {"vulnerable", &CreatureStats::vulnerable},
            {"regeneration", &CreatureStats::regeneration}, {"saves", &CreatureStats::savingThrows}, {"speed", &CreatureStats::speed},
            {"skills", &CreatureStats::skills}, {"detect", &CreatureStats::detect}, {"description", &CreatureStats::description},
            {"equipment", &CreatureStats::equipment}, {"languages", &CreatureStats::languages}, {"alignment", &CreatureStats::alignment}};
        CreatureStats stats;
        QList<QStringList> later;
        for (const QString& step : fetch<QString>("setup").split("; ", Qt::SkipEmptyParts)) {
            QStringList w = step.split(' ');
            const QString rest = w.mid(1).join(' ');
            if (numbers.contains(w[0]))
                stats.*numbers[w[0]] = rest.toInt();
            else if (words.contains(w[0]))
                stats.*words[w[0]] = rest;
            else if (w[0] == "hero" || w[0] == "trap")
                stats.monster = stats.trap = w[0] == "trap";
            else
                later.append(w);
        }
        Creature* c = made(stats);
        const QMap<QString, std::function<void(int, int, int)>> steps{
            {"hp", [&](int a, int, int) { c->setCurrHitPoints(a); }}, {"temp", [&](int a, int, int) { c->setTempHitPoints(a); }},
            {"hs", [&](int a, int, int) { c->setCurrHealingSurges(a); }}, {"ready", [&](int, int, int) { c->setReady(true); }},
            {"delayed", [&](int, int, int) { c->setDelayed(true); }}, {"hidden", [&](int, int, int) { c->setHidden(true); }},
            {"missing", [&](int, int, int) { c->setMissing(true); }}, {"unstable", [&](int, int, int) { c->setStabilized(false); }},
            {"wind", [&](int, int, int) { c->setSecondWindUsed(true); }},
            {"failed", [&](int a, int, int) { c->setFailedDeathSavingThrows(a); }},
            {"delta", [&](int a, int b, int d) { c->setDeltaCurrHealth(a, b, d); }},
            {"pending", [&](int a, int, int) { c->setDeltaCurrActionPoints(a); }},
            {"roll", [&](int a, int, int) { c->setInitRoll(a); }}, {"damage", [&](int a, int, int) { c->applyDamage(a, nullptr); }},
            {"heal", [&](int a, int b, int) { c->applyHealing(a, b); }}, {"spend", [&](int a, int, int) { c->useActionPoints(a); }},
            {"fight", [&](int, int, int) { Global::encounter->setCurrentIndex(0); }},
            {"stop", [&](int, int, int) { Global::encounter->setCurrentIndex(-1); }}};
        for (const QStringList& w : later) {
            if (w[0] == "effect")
                putEffects(c, {w.mid(1).join(' ')});
            else
                steps[w[0]](w.value(1).toInt(), w.value(2).toInt(), w.value(3).toInt());
        }
        const QMap<QString, std::function<QString()>> texts{
            {"short", [&] { return c->getShortStateText(); }}, {"state", [&] { return c->getStateText(false, false, false, false); }},
            {"rich", [&] { return c->getStateText(true, true, false, false); }},
            {"adjusted", [&] { return c->getStateText(false, true, false, false); }},
            {"quiet", [&] { return c->getStateText(false, false, true, false); }},
            {"before damage", [&] { return c->getStateText(false, false, false, true); }},
            {"hp", [&] { return c->getHPLevel(); }}, {"health", [&] { return c->getHealth(false); }},
            {"template", [&] { return c->getHealth(true); }}, {"players", [&] { return c->getHealthForPlayers(false); }},
            {"tally", [&] { return c->getHealthForPlayers(true); }}, {"init0", [&] { return c->getInitiative(false, 0); }},
            {"init1", [&] { return c->getInitiative(false, 1); }}, {"init2", [&] { return c->getInitiative(false, 2); }},
            {"init-1", [&] { return c->getInitiative(false, -1); }}, {"bonus init0", [&] { return c->getInitiative(true, 0); }},
            {"bonus init1", [&] { return c->getInitiative(true, 1); }}, {"bonus init2", [&] { return c->getInitiative(true, 2); }},
            {"defences", [&] { return c->getDefenses(true); }}, {"defence line", [&] { return c->getDefenses(false); }},
            {"type", [&] { return c->getTypeRace(); }}, {"level", [&] { return c->getLevelRaceClass(); }},
            {"role", [&] { return c->getLevelClassRole(); }},
            {"lines", [&] { return QStringList({c->getSkills(), c->getDetection(), c->getDescription(), c->getEquipment(),
                                                c->getLanguagesText(), c->getAlignmentText()}).join('|'); }},
            {"senses", [&] { return c->getSensesAndInsight(); }}, {"senses line", [&] { return c->getSensesLine(); }},
            {"perception", [&] { return c->getPerceptionBonusText(); }}, {"resistances", [&] { return c->getResistances(true, true); }},
            {"stored resistances", [&] { return c->getResistances(true, false); }},
            {"live resistances", [&] { return c->getResistances(false, true); }},
            {"bare resistances", [&] { return c->getResistances(false, false); }},
            {"saves", [&] { return c->getSavingAndAction(true); }}, {"live saves", [&] { return c->getSavingAndAction(false); }},
            {"actions", [&] { return c->getActions(true); }}, {"live actions", [&] { return c->getActions(false); }}};
        QStringList read;
        for (const QString& text : fetch<QString>("texts").split('|'))
            read.append(texts[text]());
        QCOMPARE(read.join('|'), html(fetch<QString>("expected")));
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
        QTest::newRow("stored modifier") << 16 << 3 << 1 << "[Str ]16~(+3)";
        QTest::newRow("derived, raised by level") << 15 << UnknownModifier << 4 << "[Str ]15~(+4)";
        QTest::newRow("derived, negative") << 8 << UnknownModifier << 1 << "[Str ]8~(-1)";
        QTest::newRow("stored zero") << 10 << 0 << 5 << "[Str ]10~(0)";
        QTest::newRow("zero score") << 0 << 3 << 1 << "[Str ]-";
        QTest::newRow("negative score") << -2 << 3 << 1 << "[Str ]-";
        QTest::newRow("unknown score") << UnknownValue << 3 << 1 << "[Str ]-";
    }

    void ability()
    {
        QTEST_HTML(Creature::getAbilityText("Str", fetch<int>("score"), fetch<int>("modifier"), fetch<int>("level")), "expected");
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
        QTest::newRow("bonus without attributes") << CE::Bonus << 3 << 0 << "" << "+3 Bonus";
        QTest::newRow("penalty without attributes") << CE::Penalty << 2 << 0 << "" << "-2 Penalty";
        QTest::newRow("marked without origin") << CE::Marked << 0 << 0 << "" << "Marked";
        QTest::newRow("comment alone") << CE::None << 0 << 0 << "Cursed" << "Cursed";
        QTest::newRow("bad comment") << CE::BadEffect << 4 << 0 << "Hexed" << "Hexed";
        QTest::newRow("empty comment") << CE::None << 0 << 0 << "" << "";
        QTest::newRow("unknown type") << CE::EffectType(40) << 0 << 0 << "odd" << "odd";
        QTest::newRow("one past the known types")
            << CE::EffectType(CE::GrantsCombatAdvantage + 1) << 0 << 0 << "odd" << "odd";
        QTest::newRow("slowed with comment") << CE::Slowed << 0 << 0 << "in mud" << "Slowed (in mud)";
        QTest::newRow("ongoing damage") << CE::OnGoingDamage << 5 << 0 << "fire" << "Ongoing 5 Damage (fire)";
        QTest::newRow("vulnerable") << CE::Vulnerability << 5 << 0 << "radiant" << "Vulnerable 5 (radiant)";
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
