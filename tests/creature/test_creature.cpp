#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <functional>
#include <limits>

#include "creature/creaturetesting.h"
#include "encounter/effectentries.h"
#include "powers/powerstep.h"
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

// A data folder with a "Portraits" folder, and a folder outside it.
class DataFolder
{
public:
    DataFolder() { QDir().mkpath(portraits()); }
    QString root() const { return QDir::toNativeSeparators(dir.filePath("data")); }
    QString portraits() const { return dir.filePath("data/Portraits/"); }
    QString outside(const QString& relative) const { return dir.filePath("outside/" + relative); }

    // An entry "path=bytes" is a file, "path/" a folder.
    void addEntries(const QString& base, const QStringList& entries) const
    {
        for (const QString& entry : entries) {
            QString path = base + Global::left(entry, "=");
            QDir().mkpath(entry.endsWith('/') ? path : Global::lastLeft(path, "/"));
            if (!entry.endsWith('/'))
                TestSupport::writeFile(path, Global::right(entry, "=").toUtf8());
        }
    }

    // The files below "Portraits", as sorted relative paths.
    QStringList portraitFiles() const
    {
        QStringList files;
        QDirIterator it(portraits(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext())
            files.append(it.next().mid(portraits().length()));
        files.sort();
        return files;
    }

    void writeImage(const QString& relative, int width) const
    {
        QDir().mkpath(Global::lastLeft(portraits() + relative, "/"));
        QImage image(width, 3, QImage::Format_RGB32);
        image.fill(Qt::darkGreen);
        QVERIFY(image.save(portraits() + relative, "PNG"));
    }

private:
    QTemporaryDir dir;
};

}

// Changes one figure of a creature's state.
using StateChange = std::function<void(CreatureState&)>;
Q_DECLARE_METATYPE(StateChange)

class TestCreature : public QObject, private CreatureFixture
{
    Q_OBJECT

private slots:
    void init()
    {
        setUp();
        Creature::rootChanged();
    }

    void cleanup()
    {
        tearDown();
        Global::nativeRootPath.clear();
    }

    void signalsCountsAndDirtyState()
    {
        Creature creature;
        QSignalSpy relayed(&Global::switchBoard, &SwitchBoard::doCreatureUpdated);
        creature.setLevel(3);
        QCOMPARE(relayed.first().first().value<Creature*>(), &creature);
        // A quiet link changes only the flag.
        creature.setLinked(true, true);
        QVERIFY(creature.isLinked() && relayed.count() == 1);
        creature.setLinked(false, false);
        QCOMPARE(relayed.count(), 2);

        CreatureCounts counts;
        creature.setDirty(true);
        creature.setDirty(false);
        creature.setCounts(&counts);
        creature.setDirty(true);
        creature.setDirty(true);
        QCOMPARE(counts.dirtyCount, 1);
        creature.setDirty(false);
        creature.setNew(true);
        creature.setDeleted(true);
        QCOMPARE(QList<int>({counts.dirtyCount, counts.newCount, counts.deletedCount}), QList<int>({0, 1, 1}));
        creature.setDeleted(false);
        QCOMPARE(counts.deletedCount, 0);

        // The dirty flag follows the stat block; a new creature keeps its flag but still marks the encounter.
        creature.setNew(false);
        creature.setBeforeStatBlock("Orc\nLevel 2 Brute");
        QVERIFY(!Global::encounter->isCreatureEdited());
        creature.dirtyStateHasChanged();
        QVERIFY(creature.isDirty() && Global::encounter->isCreatureEdited());
        creature.setBeforeStatBlock(creature.getStatBlock());
        creature.dirtyStateHasChanged();
        QVERIFY(!creature.isDirty());
        delete Global::encounter;
        Global::encounter = new Encounter;
        creature.setNew(true);
        creature.setBeforeStatBlock("different");
        creature.dirtyStateHasChanged();
        QVERIFY(!creature.isDirty() && Global::encounter->isCreatureEdited());

        // Figures set as a whole change the stat block: the windows mark it unsaved.
        Creature hero;
        hero.setupDummyHero("Vex");
        hero.setBeforeStatBlock(hero.getStatBlock());
        hero.dirtyStateHasChanged();
        QVERIFY(!hero.isDirty());
        CreatureVitality vitality = hero.getVitality();
        vitality.maxHitPoints += 5;
        hero.setVitality(vitality);
        QVERIFY(hero.isDirty());
        // The second wind shows at once.
        relayed.clear();
        creature.setSecondWindUsed(true);
        QCOMPARE(relayed.count(), 1);
    }

    void statsCopyAbilitiesAndPowers()
    {
        Creature first;
        CreatureStats stats;
        stats.name = "Skarn";
        stats.group = "Orc Raider";
        stats.maxHitPoints = 46;
        stats.abilities[Wisdom] = {12, 2};
        stats.abilities[Strength] = {16, 5};
        stats.addPower(makePower("Axe", Power::Standard), false);
        first.setStats(stats);
        // Setting a score drops the given modifier.
        first.setStr(14);
        QVERIFY(first.getAbility(Strength) == AbilityScore({14, UnknownModifier}));
        Creature second;
        second.copyStats(&first);
        QCOMPARE(second.getNameGroup(), QString("Orc Raider (Skarn)"));
        QVERIFY(second.getMaxHitPoints() == 46 && second.getAbility(Wisdom) == AbilityScore({12, 2}));
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

    void listOrder_data()
    {
        columns<QString, QString, QString, QString, int>({"groupA", "nameA", "groupB", "nameB", "sign"});
        QTest::newRow("trailing numbers by value") << "Goblin" << "Goblin 2" << "Goblin" << "Goblin 10" << -1;
        QTest::newRow("groups ignore case") << "goblin" << "B" << "Goblin" << "A" << 1;
        QTest::newRow("names ignore case") << "Orc" << "goblin 2" << "Orc" << "Goblin 2" << 0;
        QTest::newRow("first character stays in the prefix") << "" << "10" << "" << "2" << -1;
        QTest::newRow("blank before the number counts") << "" << "Orc" << "" << "Orc 0" << -1;
        QTest::newRow("group decides first") << "Archer" << "9" << "Brute" << "1" << -1;
    }

    void listOrder()
    {
        Creature* a = monster(fetch<QString>("groupA"), fetch<QString>("nameA"));
        int result = a->compare(monster(fetch<QString>("groupB"), fetch<QString>("nameB")));
        QTEST((result > 0) - (result < 0), "sign");
    }

    void namesAndPlaceholders()
    {
        QString name, group;
        QVERIFY(Creature::getNameAndGroup("Orc (Elite) (B)", name, group));
        QCOMPARE(group + "|" + name, QString("Orc (Elite)|B"));
        QVERIFY(!Creature::getNameAndGroup("Mira", name, group));
        QCOMPARE(group + "|" + name, QString("|Mira"));

        Creature* broken = monster("orc.monster", "");
        broken->setFileName("orc.monster");
        QVERIFY(broken->isBroken() && hero("Invalid Stat Block 1")->isBroken());
        Creature* fine = hero("Mira");
        CreatureStats stats = fine->getStats();
        stats.group = "Invalid Stat Block";
        fine->setStats(stats);
        QVERIFY(!fine->isBroken());

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
        Creature* other = monster("Orc", "");
        other->getPowers().addPower(makePower("Slash", Power::Standard), false);
        Global::encounter->setCreatureList(CreatureList({first, second, other}));
        first->getPowers().getPowerByName("Slash")->setUsed(true);

        CreaturePower edited = makePower("Slash", Power::Standard, 0, "(Fire)");
        QSignalSpy updated(second, &Creature::doCreatureUpdated);
        Global::encounter->updatePower("Goblin", "Slash", edited);
        QCOMPARE(second->getPowers().getPowerByName("Slash")->getHeader(), QString("(Fire)"));
        QCOMPARE(updated.count(), 1);
        // Each creature keeps its own record of use.
        QCOMPARE(first->getPowers().getPowerByName("Slash")->getUsageCount(), 1);
        QCOMPARE(second->getPowers().getPowerByName("Slash")->getUsageCount(), 0);
        QCOMPARE(other->getPowers().getPowerByName("Slash")->getHeader() + base->getPowers().getPowerByName("Slash")->getHeader(),
                 QString("xx"));

        // A power that changed its action kind moves to its new section.
        Global::encounter->updatePower("Goblin", "Slash", makePower("Slash", Power::Free));
        QCOMPARE(powerNames(first->getPowers()), (QStringList{"Dodge", "Slash"}));
        Global::encounter->deletePower("Goblin", "Dodge");
        Global::encounter->deletePower("", "Slash");
        QCOMPARE(powerNames(second->getPowers()), QStringList{"Slash"});
        QVERIFY(!first->getPowers().deletePower("Dodge") && !first->getPowers().getPowerByName(""));
        Global::encounter->setCreatureList(CreatureList());
    }

    void vitality_data()
    {
        columns<int, QString, QString>({"surges", "script", "figures"});
        QTest::newRow("temporary absorbs first") << 6 << "temp 5, damage 8" << "27+0 hs6 ap1/0 taken3 heals0 was27/6/1 tired";
        QTest::newRow("temporary outlasts damage") << 6 << "temp 8, damage 5" << "30+3 hs6 ap1/0 taken0 heals0 was30/6/1";
        QTest::newRow("temporary equal to damage") << 6 << "temp 6, damage 6" << "30+0 hs6 ap1/0 taken0 heals0 was30/6/1";
        QTest::newRow("temporary never stacks") << 6 << "temp 6, temp 4" << "30+6 hs6 ap1/0 taken0 heals0 was30/6/1";
        QTest::newRow("more temporary replaces") << 6 << "temp 6, temp 9" << "30+9 hs6 ap1/0 taken0 heals0 was30/6/1";
        QTest::newRow("dying") << 2 << "damage 37, failed 2" << "-7+0 hs2 ap1/0 taken37 heals0 was-7/2/1 failed2 unstable dying tired";
        QTest::newRow("healing stabilizes") << 2 << "damage 37, failed 2, heal 5 3"
                                            << "5+0 hs0 ap1/0 taken37 heals1 was5/0/1 failed2 tired";
        QTest::newRow("healing stops at the maxima") << 2 << "damage 37, heal 5 3, heal 100 -5"
                                                     << "30+0 hs2 ap1/0 taken37 heals2 was30/2/1 tired";
        QTest::newRow("spent outside a fight") << 0 << "add 0, spend 3" << "30+0 hs0 ap0/0 taken0 heals0 was30/0/0 tired";
        QTest::newRow("spent in a fight") << 0 << "add 2, fight, spend 1" << "30+0 hs0 ap2/1 taken0 heals0 was30/0/2 tired";
        QTest::newRow("all spent") << 0 << "add 2, fight, spend 1, spend 0" << "30+0 hs0 ap0/3 taken0 heals0 was30/0/0 tired";
        QTest::newRow("all given back") << 0 << "add 2, fight, spend 0, add 0" << "30+0 hs0 ap1/0 taken0 heals0 was30/0/1";
        QTest::newRow("hurt") << 6 << "damage 20, fight, spend 1, temp 5" << "10+5 hs6 ap0/1 taken20 heals0 was10/6/0 tired";
        QTest::newRow("short rest") << 6 << "damage 20, fight, spend 1, temp 5, short 7 1"
                                    << "17+5 hs5 ap1/1 taken20 heals1 was17/5/1 tired";
        QTest::newRow("extended rest") << 6 << "damage 20, fight, spend 1, delay, hide, short 7 1, rest"
                                       << "30+0 hs6 ap1/0 taken0 heals0 was0/0/0 hidden";
        QTest::newRow("the dead stay dead") << 2 << "damage 33, failed 3, ready, wind, end"
                                            << "-15+0 hs2 ap1/0 taken33 heals0 was-3/2/1 dead tired";
        QTest::newRow("the living keep their wounds") << 0 << "damage 40, end" << "-10+0 hs0 ap1/0 taken40 heals0 was-10/0/1 dying tired";
    }

    // Runs the script's steps on a rested hero of 30 hit points and 1 action point.
    void vitality()
    {
        Creature* hero = made("hero", 30, fetch<int>("surges"), 0, 1);
        hero->setAlias("The Masked One");
        play(hero, fetch<QString>("script"));
        QTEST(figures(hero), "figures");
        QCOMPARE(hero->getAlias(), QString("The Masked One"));
    }

    void attackersAndHandEdits()
    {
        Creature* attacker = monster("Monster", "2");
        Creature* first = made("hero", 30, 5, 0, 1);
        Creature* second = made("hero", 30);
        first->applyDamage(1, nullptr);
        QVERIFY(first->getLastAttacker().isEmpty());
        QCOMPARE(first->getDamageOrder(), 0);
        first->applyDamage(1, attacker);
        second->applyDamage(1, attacker);
        QCOMPARE(first->getLastAttacker(), QString("Monster (2)"));
        QCOMPARE(second->getDamageOrder(), first->getDamageOrder() + 1);

        // Hand edits signal, but wait to be recorded.
        QSignalSpy updated(first, &Creature::doCreatureUpdated);
        first->setCurrHitPoints(28);
        first->setTempHitPoints(0);
        QCOMPARE(updated.count(), 0);
        first->setCurrHitPoints(12);
        first->setCurrHealingSurges(3);
        first->setCurrActionPoints(0);
        first->setTempHitPoints(4);
        QCOMPARE(updated.count(), 4);
        QCOMPARE(first->getBeforeVitality().hitPoints, 28);
        first->setInit({first, 0, 0});
        QCOMPARE(updated.count(), 4);
        first->setInit({first, 17, 4242});
        first->setInitRoll(17);
        QVERIFY(updated.count() == 5 && first->getInit().roll == 17 && first->getInit().random == 4242);
        // A preview of healing surges alone shows at once, as any other.
        first->setDeltaCurrHealth(0, 0, -1);
        QVERIFY(updated.count() == 6 && first->getCurrHealingSurges() == 2);

        // A snapshot takes the creature back whole.
        CreatureState before = second->getState();
        QCOMPARE(before, second->getState());
        Global::encounter->setCurrentIndex(0);
        second->applyDamage(12, attacker);
        second->setTempHitPoints(3);
        second->applyHealing(4, 1);
        second->useActionPoints(1);
        second->setFailedDeathSavingThrows(1);
        second->setSecondWindUsed(true);
        second->setStabilized(false);
        second->setDelayed(true);
        second->setReady(true);
        second->setEndTurnCount(4);
        QVERIFY(!(second->getState() == before));
        QSignalSpy restored(second, &Creature::doCreatureUpdated);
        second->setState(before);
        QVERIFY(restored.count() == 1 && second->getState() == before && second->getCurrHitPoints() == 29);
    }

    // Each figure of the snapshot alone: one the comparison or the restore
    // passed over would let an undo leave it changed unseen.
    void eachFigureOfTheStateCounts_data()
    {
        QTest::addColumn<StateChange>("change");
        const QList<QPair<const char*, StateChange>> changes{
            {"hit points", [](CreatureState& s) { s.hitPoints--; }},
            {"temporary hit points", [](CreatureState& s) { s.tempHitPoints += 3; }},
            {"healing surges", [](CreatureState& s) { s.healingSurges--; }},
            {"action points", [](CreatureState& s) { s.actionPoints++; }},
            {"failed death saves", [](CreatureState& s) { s.failedDeathSavingThrows++; }},
            {"second wind", [](CreatureState& s) { s.secondWindUsed = s.secondWindUsed ? 0 : 1; }},
            {"action points used", [](CreatureState& s) { s.actionPointsUsed++; }},
            {"stabilized", [](CreatureState& s) { s.stabilized = !s.stabilized; }},
            {"delayed", [](CreatureState& s) { s.delayed = !s.delayed; }},
            {"ready", [](CreatureState& s) { s.ready = !s.ready; }},
            {"turns ended", [](CreatureState& s) { s.endTurnCount++; }},
            {"last attacker", [](CreatureState& s) { s.lastAttacker += "Goblin (2)"; }},
            {"damage order", [](CreatureState& s) { s.damageOrder++; }},
            {"hit points before", [](CreatureState& s) { s.beforeHitPoints++; }},
            {"healing surges before", [](CreatureState& s) { s.beforeHealingSurges++; }},
            {"action points before", [](CreatureState& s) { s.beforeActionPoints++; }},
            {"damage taken", [](CreatureState& s) { s.damageTaken += 7; }},
            {"heals", [](CreatureState& s) { s.healCount++; }},
        };
        for (const auto& [name, change] : changes)
            QTest::newRow(name) << change;
    }

    void eachFigureOfTheStateCounts()
    {
        QFETCH(StateChange, change);
        Creature* hero = made("hero", 30, 5, 7, 1);
        const CreatureState before = hero->getState();
        CreatureState changed = before;
        change(changed);
        QVERIFY(!(changed == before) && !(before == changed));
        hero->setState(changed);
        QVERIFY(hero->getState() == changed && !(hero->getState() == before));
        hero->setState(before);
        QVERIFY(hero->getState() == before);
    }

    void hitPointStates_data()
    {
        columns<QString, int, int, int, bool, bool, bool, int, int>(
            {"kind", "maximum", "hitPoints", "failedSaves", "bloodied", "dying", "dead", "percent", "forPlayers"});
        QTest::newRow("exactly half, rounded down") << "monster" << 31 << 15 << 0 << true << false << false << 49 << 50;
        QTest::newRow("one above half") << "monster" << 31 << 16 << 0 << false << false << false << 52 << 90;
        QTest::newRow("hero at minus bloodied") << "hero" << 31 << -15 << 0 << true << false << true << -49 << -49;
        QTest::newRow("hero just above") << "hero" << 31 << -14 << 2 << true << true << false << -46 << -46;
        QTest::newRow("hero, three failed saves") << "hero" << 31 << -14 << 3 << true << false << true << -46 << -46;
        QTest::newRow("hero at 0") << "hero" << 31 << 0 << 0 << true << true << false << 0 << 0;
        QTest::newRow("hero alive, failed saves") << "hero" << 31 << 1 << 3 << true << false << false << 4 << 4;
        QTest::newRow("new hero without maximum") << "hero" << 0 << 0 << 0 << false << true << false << 0 << 0;
        QTest::newRow("hero without maximum below 0") << "hero" << 0 << -1 << 0 << false << false << true << 0 << 0;
        QTest::newRow("hero without maximum, saves") << "hero" << 0 << 0 << 3 << false << false << true << 0 << 0;
        QTest::newRow("monster at 0") << "monster" << 20 << 0 << 0 << true << false << true << 0 << 0;
        QTest::newRow("monster at 1") << "monster" << 20 << 1 << 0 << true << false << false << 5 << 50;
        QTest::newRow("monster without maximum") << "monster" << 0 << 0 << 0 << false << false << false << 0 << 0;
        QTest::newRow("monster without maximum, -1") << "monster" << 0 << -1 << 0 << false << false << true << 0 << 0;
        QTest::newRow("negative maximum") << "monster" << 10 << -3 << 0 << true << false << true << 0 << 0;
        QTest::newRow("rounded up") << "hero" << 3 << 1 << 0 << true << false << false << 34 << 34;
        QTest::newRow("hero below 0") << "hero" << 10 << -2 << 0 << true << true << false << -20 << -20;
        QTest::newRow("monster nearly whole") << "monster" << 30 << 29 << 0 << false << false << false << 97 << 90;
        QTest::newRow("monster whole") << "monster" << 30 << 30 << 0 << false << false << false << 100 << 100;
        QTest::newRow("above maximum") << "hero" << 10 << 15 << 0 << false << false << false << 100 << 100;
        const int least = std::numeric_limits<int>::min(), most = std::numeric_limits<int>::max();
        QTest::newRow("least hit points") << "hero" << 31 << least << 0 << true << false << true << -100 << -100;
        QTest::newRow("most of both") << "hero" << most << most << 0 << false << false << false << 100 << 100;
        QTest::newRow("least maximum") << "monster" << least << 5 << 0 << false << false << false << 0 << 100;
    }

    void hitPointStates()
    {
        Creature* creature = made(fetch<QString>("kind"), fetch<int>("maximum"));
        creature->setCurrHitPoints(fetch<int>("hitPoints"));
        creature->setFailedDeathSavingThrows(fetch<int>("failedSaves"));
        QTEST(creature->isBloodied(), "bloodied");
        QTEST(creature->isDying(), "dying");
        QTEST(creature->isDead(false), "dead");
        QTEST(creature->getPercentageHP(), "percent");
        QTEST(creature->getPercentageHPForPlayers(), "forPlayers");
    }

    // Figures at the ends of int, as a damaged log may hold them, on a rested
    // hero of the given maxima ("hit points, surges, surge value, action points"):
    // every sum and product stops at the end it passes, where a wrapped one would
    // turn a blow into healing or a gain into a loss; "most" and "least" are the ends.
    void extremeFiguresSaturate_data()
    {
        columns<QString, QString, QString>({"maxima", "script", "figures"});
        const auto row = [](const char* name, const QString& maxima, const QString& script, const QString& figures) {
            QTest::newRow(name) << maxima << script << figures;
        };
        const QString toLeast = "damage most, damage most, damage most";
        row("most damage through temporary hit points", "30 2 7 1", "temp 6, damage most",
            "-2147483611+0 hs2 ap1/0 taken2147483641 heals0 was-2147483611/2/1 unstable dead tired");
        row("most damage twice", "30 2 7 1", "damage most, damage most",
            "least+0 hs2 ap1/0 takenmost heals0 wasleast/2/1 unstable dead tired");
        row("least damage on temporary hit points", "30 2 7 1", "temp 6, damage least",
            "30+most hs2 ap1/0 taken0 heals0 was30/2/1");
        row("least damage", "30 2 7 1", "damage least", "most+0 hs2 ap1/0 takenleast heals0 wasmost/2/1 tired");
        row("most healing from the least", "most 2 7 1", toLeast + ", heal most 1",
            "most+0 hs1 ap1/0 takenmost heals1 wasmost/1/1 tired");
        row("healing at the most", "most 2 7 1", "heal most 0", "most+0 hs2 ap1/0 taken0 heals1 wasmost/2/1 tired");
        row("least surges spent", "30 2 7 1", "heal 0 least", "30+0 hs2 ap1/0 taken0 heals1 was30/2/1 tired");
        row("rested from the least", "most 2 7 most", toLeast + ", short most 2",
            "most+0 hs0 apmost/0 takenmost heals1 wasmost/0/most tired");
        row("most action points, one more at a rest", "30 2 7 1", "add most, short 0 0",
            "30+0 hs2 apmost/0 taken0 heals1 was30/2/most tired");
        row("most spent twice in a fight", "30 2 7 1", "add most, fight, spend most, spend most",
            "30+0 hs2 ap0/most taken0 heals0 was30/2/0 tired");
        row("most bonus twice", "30 2 7 1", "bonus most, bonus most", "30+0 hs2 ap1/0 taken0 heals0 was30/2/1 savesmost");
        row("most penalty twice", "30 2 7 1", "penalty most, penalty most",
            "30+0 hs2 ap1/0 taken0 heals0 was30/2/1 savesleast");
        row("a bonus on the most saving throws", "30 2 7 1", "saves most, bonus 1",
            "30+0 hs2 ap1/0 taken0 heals0 was30/2/1 savesmost");
        // Previews, which show before OK what the events will do.
        row("surges of the most value", "30 2 most 1", "damage 30, mend 0 -2 most",
            "30+0 hs0 ap1/0 taken30 heals0 was0/2/1 tired");
        row("a surge of its own most value", "30 2 most 1", "damage 30, mend 1 own",
            "30+0 hs1 ap1/0 taken30 heals0 was0/2/1 tired");
        row("a power's surges of the most value", "30 2 most 1", "damage 30, power 1 -2",
            "30+0 hs0 ap1/0 taken30 heals0 was0/2/1 tired");
        row("a cancelled heal leaves the stabilized stabilized", "30 2 7 1", "damage 30, stable, mend 5, reset",
            "0+0 hs2 ap1/0 taken30 heals0 was0/2/1 dying tired");
        row("a cancelled heal leaves the dying dying", "30 2 7 1", "damage 30, mend 5, reset",
            "0+0 hs2 ap1/0 taken30 heals0 was0/2/1 unstable dying tired");
        row("a preview past the end shows the end", "30 2 7 1", "shift most", "most+0 hs2 ap1/0 taken0 heals0 was30/2/1 tired");
        row("a preview past the end goes back", "30 2 7 1", "shift most, reset", "30+0 hs2 ap1/0 taken0 heals0 was30/2/1");
        row("a second preview on top of a first", "30 2 7 1", "damage 30, stable, mend 5, hurt most",
            "-2147483647+0 hs2 ap1/0 taken30 heals0 was0/2/1 unstable dead tired");
        row("a second preview from the least", "most 2 7 1", toLeast + ", mend most, mend 1",
            "1+0 hs2 ap1/0 takenmost heals0 wasleast/2/1 tired");
        row("a power's healing at the most", "most 2 7 1", "power most 0", "most+0 hs2 ap1/0 taken0 heals0 wasmost/2/1");
        row("an action point previewed after the most spent", "30 2 7 1", "add most, fight, spend most, add 1, point",
            "30+0 hs2 ap0/most taken0 heals0 was30/2/1 tired");
        row("an action point previewed after the most spent, cancelled", "30 2 7 1",
            "add most, fight, spend most, add 1, point, reset", "30+0 hs2 ap1/most taken0 heals0 was30/2/1");
        row("most failed saves", "30 2 7 1", "damage 30, stable, failed most, damage 1",
            "-1+0 hs2 ap1/0 taken31 heals0 was-1/2/1 failedmost unstable dead tired");
    }

    void extremeFiguresSaturate()
    {
        const QStringList maxima = fetch<QString>("maxima").split(' ');
        Creature* hero = made("hero", figure(maxima[0]), figure(maxima[1]), figure(maxima[2]), figure(maxima[3]));
        play(hero, fetch<QString>("script"));
        QTEST(figures(hero), "figures");
    }

    void findsPortraitsDepthFirstByName_data()
    {
        columns<QString, QString, QString>({"folder", "fileName", "expected"});
        QTest::newRow("case-insensitive folder order") << "" << "x.png" << "alpha/sub/x.png";
        QTest::newRow("folders not put first") << "" << "y.png" << "m/y.png";
        QTest::newRow("top file") << "" << "z.png" << "z.png";
        QTest::newRow("given folder") << "Zeta/" << "x.png" << "Zeta/x.png";
        QTest::newRow("names compared with case") << "" << "X.png" << "";
        QTest::newRow("hidden folder") << "" << "h.png" << "";
        QTest::newRow("hidden file") << "" << ".h.png" << "";
        QTest::newRow("folder is no file") << "" << "Zeta" << "";
        QTest::newRow("absent") << "" << "none.png" << "";
    }

    void findsPortraitsDepthFirstByName()
    {
        DataFolder data;
        data.addEntries(data.portraits(), {"Zeta/x.png=1", "alpha/sub/x.png=2", "beta/x.png=3", "y.png=4",
                                           "m/y.png=5", "z.png=6", ".hidden/h.png=7", ".h.png=8", "s/.h.png=9"});
        QString folder = fetch<QString>("folder");
        if (!folder.isEmpty())
            folder = QDir::toNativeSeparators(data.portraits() + folder);
        QTEST(Creature::findPortraitFile(folder, fetch<QString>("fileName"), data.root()), "expected");
    }

    void portraitLinkLoopsEnd()
    {
        DataFolder data;
        data.addEntries(data.portraits(), {"a/", "b/x.png=1"});
        data.addEntries(data.outside(""), {"e.png=2"});
        QVERIFY(QFile::link(data.portraits(), data.portraits() + "a/loop"));
        QVERIFY(QFile::link(data.portraits() + "a", data.portraits() + "a/self"));
        // A link to a folder outside the tree is searched like any other.
        QVERIFY(QFile::link(data.outside(""), data.portraits() + "c"));
        QCOMPARE(Creature::findPortraitFile(QString(), "x.png", data.root()), QString("b/x.png"));
        QCOMPARE(Creature::findPortraitFile(QString(), "e.png", data.root()), QString("c/e.png"));
        QCOMPARE(Creature::findPortraitFile(QString(), "none.png", data.root()), QString());
    }

    void loadsPortraits_data()
    {
        columns<QString, int>({"stored", "width"});
        QTest::newRow("where stored") << "a/p.png" << 5;
        QTest::newRow("moved to another folder") << "old/q.png" << 7;
        QTest::newRow("bare name") << "q.png" << 7;
        QTest::newRow("not an image") << "bad.png" << 0;
        QTest::newRow("absent") << "a/none.png" << 0;
        QTest::newRow("none") << "" << 0;
    }

    void loadsPortraits()
    {
        DataFolder data;
        data.writeImage("a/p.png", 5);
        data.writeImage("new/q.png", 7);
        data.addEntries(data.portraits(), {"bad.png=garbage"});
        QImage portrait = Creature::loadPortrait(fetch<QString>("stored"), data.root());
        QTEST(portrait.width(), "width");
        QCOMPARE(portrait.isNull(), fetch<int>("width") == 0);

        // A creature keeps the name it was given and shows what is found.
        Global::nativeRootPath = data.root();
        Creature creature;
        QSignalSpy updated(&creature, &Creature::doCreatureUpdated);
        creature.setPortraitFile(fetch<QString>("stored"));
        QCOMPARE(creature.getPortraitFile(), fetch<QString>("stored"));
        QTEST(creature.getPortrait().width(), "width");
        QCOMPARE(updated.count(), 1);
    }

    void grabsChosenPortraits_data()
    {
        columns<QStringList, QString, QString, QStringList>({"existing", "chosen", "expected", "filesAfter"});
        const QString orc = "outside:orc.png";
        using L = QStringList;
        QTest::newRow("inside a sub-folder") << L{"sub/p.png=P"} << "portraits:sub/p.png" << "sub/p.png" << L{"sub/p.png"};
        QTest::newRow("new name") << L{"sub/p.png=P"} << orc << "orc.png" << L{"orc.png", "sub/p.png"};
        QTest::newRow("same name and bytes") << L{"sub/orc.png=ORC"} << orc << "sub/orc.png" << L{"sub/orc.png"};
        QTest::newRow("same name, other bytes") << L{"sub/orc.png=ELF"} << orc << "orc-2.png" << L{"orc-2.png", "sub/orc.png"};
        QTest::newRow("numbered names taken") << L{"orc.png=ELF", "x/orc-2.png=DWARF"} << orc << "orc-3.png"
                                              << L{"orc-3.png", "orc.png", "x/orc-2.png"};
        QTest::newRow("copied before") << L{"orc.png=ELF", "orc-2.png=ORC"} << orc << "orc-2.png" << L{"orc-2.png", "orc.png"};
        QTest::newRow("folder of that name") << L{"orc.png/"} << orc << "orc-2.png" << L{"orc-2.png"};
        QTest::newRow("hidden file of that name") << L{".orc.png=ELF"} << "outside:.orc.png" << ".orc-2.png"
                                                  << L{".orc-2.png", ".orc.png"};
        QTest::newRow("no such file") << L{"orc.png=ELF"} << "outside:ghost.png" << "" << L{"orc.png"};
    }

    void grabsChosenPortraits()
    {
        QFETCH(QString, chosen);
        QFETCH(QString, expected);
        DataFolder data;
        data.addEntries(data.portraits(), fetch<QStringList>("existing"));
        data.addEntries(data.outside(""), {"orc.png=ORC", ".orc.png=ORC"});
        QString base = chosen.startsWith("outside:") ? data.outside("") : data.portraits();
        QString file = QDir::toNativeSeparators(base + Global::right(chosen, ":"));
        QCOMPARE(Creature::grabPortraitFile(file, data.root()), expected);
        QTEST(data.portraitFiles(), "filesAfter");
        if (!expected.isEmpty())
            QCOMPARE(TestSupport::readFile(data.portraits() + expected), TestSupport::readFile(file));
        // A data folder without a portraits folder takes no copy.
        QDir().mkpath(data.outside("empty-root"));
        QCOMPARE(Creature::grabPortraitFile(data.outside("orc.png"), data.outside("empty-root")), QString());
    }

    void portraitDialogRemembersItsFolderUntilTheDataFolderChanges()
    {
        RecordingUiHooks hooks;
        DataFolder first;
        DataFolder second;
        first.addEntries(first.outside("pics/"), {"orc.png=ORC"});
        const QString sep = QDir::separator();
        Global::nativeRootPath = first.root();
        // Cancelled: nothing chosen, the folder stays.
        QCOMPARE(Creature::selectPortraitFile(), QString());
        QCOMPARE(hooks.openFileFolders.last(), Global::getPortraitPath(QString()));
        QVERIFY(hooks.openFileFolders.last().endsWith(sep));
        // A failed choice keeps the folder too.
        hooks.openFileAnswer = QDir::toNativeSeparators(first.outside("pics/ghost.png"));
        QCOMPARE(Creature::selectPortraitFile(), QString());
        QCOMPARE(Creature::portraitDirectory, Global::getPortraitPath(QString()));
        hooks.openFileAnswer = QDir::toNativeSeparators(first.outside("pics/orc.png"));
        QCOMPARE(Creature::selectPortraitFile(), QString("orc.png"));
        QCOMPARE(first.portraitFiles(), QStringList{"orc.png"});
        hooks.openFileAnswer.clear();
        Creature::selectPortraitFile();
        QCOMPARE(hooks.openFileFolders.last(), QDir::toNativeSeparators(first.outside("pics")) + sep);
        Global::nativeRootPath = second.root();
        Creature::rootChanged();
        Creature::selectPortraitFile();
        QCOMPARE(hooks.openFileFolders.last(), Global::getPortraitPath(QString(), second.root()));
        QCOMPARE(hooks.openFileFolders.size(), 5);
    }

private:
    // A script's number: "most" and "least" are the ends of int, "own" a surge of the target's own value.
    static int figure(const QString& word)
    {
        const QMap<QString, int> named{{"most", std::numeric_limits<int>::max()},
                                       {"least", std::numeric_limits<int>::min()},
                                       {"own", EffectEntries::OwnSurgeValue}};
        return named.value(word, word.toInt());
    }

    static QString shown(int figure)
    {
        const int most = std::numeric_limits<int>::max(), least = std::numeric_limits<int>::min();
        return figure == most ? "most" : figure == least ? "least" : QString::number(figure);
    }

    // Runs steps such as "damage 8, heal 5 3" on the hero; "hurt" and "mend"
    // preview a conditions-and-effects request as the dialog does, "point" its
    // action point, "power" the healing of a power, "shift" a change of hit
    // points as a hand edit does.
    void play(Creature* hero, const QString& script)
    {
        const auto preview = [hero](int damage, int heal, int surgeChange, int surgeValue) {
            EffectEntries entries;
            entries.damage = damage;
            entries.heal = heal;
            entries.surgeChange = surgeChange;
            entries.surgeValue = surgeValue;
            EffectEntries::Parties parties;
            parties.targets = {hero};
            entries.preview(parties);
        };
        const QMap<QString, std::function<void(int, int, int)>> steps{
            {"damage", [&](int a, int, int) { hero->applyDamage(a, nullptr); }},
            {"heal", [&](int a, int b, int) { hero->applyHealing(a, b); }},
            {"temp", [&](int a, int, int) { hero->setTempHitPoints(a); }},
            {"failed", [&](int a, int, int) { hero->setFailedDeathSavingThrows(a); }},
            {"stable", [&](int, int, int) { hero->setStabilized(true); }},
            {"spend", [&](int a, int, int) { hero->useActionPoints(a ? a : AllActionPoints); }},
            {"add", [&](int a, int, int) { hero->addActionPoints(a ? a : AllActionPoints); }},
            {"fight", [&](int, int, int) { Global::encounter->setCurrentIndex(0); }},
            {"short", [&](int a, int b, int) { hero->takeShortRest(a, b, true); }},
            {"rest", [&](int, int, int) { hero->takeExtendedRest(false, false); }},
            {"end", [&](int, int, int) { hero->endOfEncounter(); }},
            {"delay", [&](int, int, int) { hero->setDelayed(true); }},
            {"hide", [&](int, int, int) { hero->setHidden(true); }},
            {"ready", [&](int, int, int) { hero->setReady(true); }},
            {"wind", [&](int, int, int) { hero->setSecondWindUsed(true); }},
            {"bonus", [&](int a, int, int) { putEffects(hero, {QString("bonus %1 saving").arg(a)}); }},
            {"penalty", [&](int a, int, int) { putEffects(hero, {QString("penalty %1 saving").arg(a)}); }},
            {"hurt", [&](int a, int, int) { preview(a, 0, 0, 0); }},
            {"mend", [&](int a, int b, int c) { preview(0, a, b, c); }},
            {"power", [&](int a, int b, int) {
                 CreaturePower power;
                 auto* healing = static_cast<HealingStep*>(power.program.addStep(PowerStep::Healing, Power::Hit));
                 healing->hitPoints = a;
                 healing->surges = b;
                 power.preview(nullptr, false, {hero}, {}, {});
             }},
            {"point", [&](int, int, int) {
                 EffectEntries entries;
                 entries.action = CE::ActionUseActionPoint;
                 EffectEntries::Parties parties;
                 parties.origin = hero;
                 entries.preview(parties);
             }},
            {"shift", [&](int a, int, int) { hero->setDeltaCurrHealth(a, 0, 0); }},
            {"reset", [&](int, int, int) { hero->resetDelta(); }},
            {"saves", [&](int a, int, int) {
                 CreatureStats stats = hero->getStats();
                 stats.savingThrows = QString::number(a);
                 hero->setStats(stats);
             }}};
        // The windows draw the figures they were last told of.
        QString told = figures(hero);
        const QMetaObject::Connection telling =
            connect(hero, &Creature::doCreatureUpdated, this, [&] { told = figures(hero); });
        for (const QString& step : script.split(", ")) {
            const QStringList words = step.split(' ');
            steps[words[0]](figure(words.value(1)), figure(words.value(2)), figure(words.value(3)));
        }
        disconnect(telling);
        QCOMPARE(told, figures(hero));
    }

    // "hp+temp hs.. ap../used taken.. heals.. was hp/hs/ap", then what is set of the rest.
    static QString figures(Creature* hero)
    {
        const CreatureVitality was = hero->getBeforeVitality();
        QString figures = QString("%1+%2 hs%3 ap%4/%5 taken%6 heals%7 was%8/%9/%10")
                              .arg(shown(hero->getCurrHitPoints()), shown(hero->getTempHitPoints()),
                                   shown(hero->getCurrHealingSurges()), shown(hero->getCurrActionPoints()),
                                   shown(hero->getActionPointsUsed()), shown(hero->getDamageTaken()),
                                   shown(hero->getHealCount()), shown(was.hitPoints), shown(was.healingSurges))
                              .arg(shown(was.actionPoints));
        if (hero->getFailedDeathSavingThrows())
            figures += " failed" + shown(hero->getFailedDeathSavingThrows());
        const QList<QPair<bool, const char*>> flags{
            {!hero->isStabilized(), " unstable"}, {hero->isDying(), " dying"}, {hero->isDead(false), " dead"},
            {hero->isDelayed(), " delayed"}, {hero->isReady(), " ready"}, {hero->isSecondWindUsed(), " wind"},
            {hero->isHidden(), " hidden"}, {hero->needsRest(), " tired"}};
        for (const auto& [set, flag] : flags)
            figures += set ? flag : "";
        if (hero->getEffectCount() > 0) {
            int saves = 0;
            hero->getSavingThrows(false, &saves, nullptr);
            figures += " saves" + shown(saves);
        }
        return figures;
    }
};

RAVELHORN_TEST_MAIN(QGuiApplication, TestCreature)
#include "test_creature.moc"
