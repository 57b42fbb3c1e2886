#include <QGuiApplication>

#include <memory>

#include "creature/creature.h"
#include "powers/power.h"
#include "support/testsupport.h"

namespace {

CreaturePower makePower(const QString& name, int when, int cost = Power::NoCost)
{
    CreaturePower power;
    power.name = name;
    power.current.when = when;
    power.current.cost = cost;
    return power;
}

QStringList namesOf(const QList<CreaturePower*>& list)
{
    QStringList names;
    for (const CreaturePower* power : list)
        names.append(power->name);
    return names;
}

QStringList namesOf(const Powers& powers)
{
    QStringList names;
    for (int i = 0; const CreaturePower* power = powers.getPower(i); i++)
        names.append(power->name);
    return names;
}

// The kinds of the steps of one list, in order.
QList<int> kindsOf(const PowerProgram& program, Power::StepType type)
{
    QList<int> kinds;
    for (int i = 0; PowerStep* step = program.getStep(i, type); i++)
        kinds.append(step->type());
    return kinds;
}

}

class TestPowers : public QObject
{
    Q_OBJECT

private slots:
    void aNewPowerIsEmpty()
    {
        const CreaturePower power;
        QCOMPARE(power.status, int(CreaturePower::FromStatBlock));
        QVERIFY(power.name.isEmpty());
        QCOMPARE(power.usage, Power::Unused);
        QVERIFY(power.base == PowerData());
        QVERIFY(power.current == PowerData());
        for (const ApplyToRecord& record : power.current.applyTo)
            QVERIFY(record.kind == 0 && record.from == -1 && record.to == -1);
        QVERIFY(!power.program.hasSteps());
        QVERIFY(!power.hasEnhancedInfo());
    }

    // ops: U used, R released, X reset; one state expected after each.
    void usageFollowsTheCost_data()
    {
        QTest::addColumn<int>("cost");
        QTest::addColumn<QString>("ops");
        QTest::addColumn<QList<int>>("states");
        QTest::newRow("no cost") << int(Power::NoCost) << "UR" << QList<int>{0, 0};
        QTest::newRow("at-will") << int(Power::AtWill) << "UUR" << QList<int>{0, 0, 0};
        QTest::newRow("encounter") << int(Power::OncePerEncounter) << "UURUX" << QList<int>{1, 1, 0, 1, 0};
        QTest::newRow("twice") << int(Power::TwicePerEncounter) << "URUURUUURU"
                               << QList<int>{1, 2, 3, 5, 6, 7, 7, 7, 8, 7};
        QTest::newRow("thrice") << int(Power::ThricePerEncounter) << "UURRX" << QList<int>{1, 3, 4, 4, 0};
        QTest::newRow("four times") << int(Power::FourPerEncounter) << "RURUR" << QList<int>{0, 1, 2, 3, 4};
        QTest::newRow("recharge") << int(Power::RechargeUnknown) << "UUR" << QList<int>{1, 1, 0};
        QTest::newRow("recharge 2") << int(Power::Recharge2) << "URU" << QList<int>{1, 0, 1};
        QTest::newRow("recharge 6") << int(Power::Recharge6) << "UX" << QList<int>{1, 0};
        QTest::newRow("daily") << int(Power::Daily) << "URR" << QList<int>{1, 0, 0};
    }

    void usageFollowsTheCost()
    {
        QFETCH(int, cost);
        QFETCH(QString, ops);
        QFETCH(QList<int>, states);
        CreaturePower power = makePower("P", Power::Standard, cost);
        for (int i = 0; i < ops.size(); i++) {
            if (ops[i] == 'X')
                power.resetUsage();
            else
                power.setUsed(ops[i] == 'U');
            QCOMPARE(int(power.usage), states[i]);
            QCOMPARE(power.getUsageCount(), CreaturePower::getUsageCount(power.usage));
            QCOMPARE(power.getUsed(), states[i] % 2 == 1);
        }
    }

    void usageCountOfEachState_data()
    {
        QTest::addColumn<int>("state");
        QTest::addColumn<int>("count");
        const QList<int> counts = {5, 0, 1, 1, 2, 2, 3, 3, 4, 4, 5};
        for (int state = -1; state <= 9; state++)
            QTest::addRow("state %d", state) << state << counts[state + 1];
    }

    void usageCountOfEachState()
    {
        QFETCH(int, state);
        QFETCH(int, count);
        QCOMPARE(CreaturePower::getUsageCount(Power::Usage(state)), count);
        CreaturePower power;
        power.usage = Power::Usage(state);
        QCOMPARE(power.getUsageCount(), count);
    }

    void limitsOfEachCost()
    {
        const QList<int> limits = {1, 1, 1, 2, 3, 4, 1, 1, 1, 1, 1, 1, 1};
        for (int cost = Power::NoCost; cost <= Power::Daily; cost++) {
            const CreaturePower power = makePower("P", Power::Standard, cost);
            QCOMPARE(power.usageLimit(), limits[cost]);
            QCOMPARE(power.hasLimitedUse(), cost > Power::AtWill);
        }
        // An at-will power marked used by hand is still not "used".
        CreaturePower atWill = makePower("P", Power::Standard, Power::AtWill);
        atWill.usage = Power::UsedOnce;
        QVERIFY(!atWill.getUsed());
        QCOMPARE(atWill.getUsageCount(), 1);
    }

    void headers_data()
    {
        QTest::addColumn<QString>("keywords");
        QTest::addColumn<QString>("usage");
        QTest::addColumn<QString>("header");
        QTest::newRow("both") << "Fire" << "Encounter" << "(Fire) &bull; <b>Encounter</b>";
        QTest::newRow("usage only") << "" << "At-Will" << "&bull; <b>At-Will</b>";
        QTest::newRow("keywords only") << "Fire" << "" << "(Fire) ";
        QTest::newRow("neither") << "" << "" << "";
    }

    void headers()
    {
        QFETCH(QString, keywords);
        QFETCH(QString, usage);
        QFETCH(QString, header);
        CreaturePower power;
        power.setHeader(keywords, usage);
        QCOMPARE(power.getHeader(), header);
    }

    void aHeaderLosesOneLeadingBlank()
    {
        CreaturePower power;
        power.setHeader("  two");
        QCOMPARE(power.getHeader(), QString(" two"));
        power.setHeader("none");
        QCOMPARE(power.getHeader(), QString("none"));
    }

    void headerFromAnotherPowerLeavesTheProgram()
    {
        CreaturePower from = makePower("From", Power::Minor, Power::Daily);
        from.status = CreaturePower::UserPower;
        from.usage = Power::UsedOnce;
        from.base.header = "base";
        from.program.addStep(PowerStep::Damage, Power::Hit);
        CreaturePower power;
        power.program.addStep(PowerStep::Healing, Power::Effect);
        power.setHeader(&from);
        QCOMPARE(power.status, int(CreaturePower::UserPower));
        QCOMPARE(power.name, QString("From"));
        QCOMPARE(power.usage, Power::UsedOnce);
        QVERIFY(power.base == from.base);
        QVERIFY(power.current == from.current);
        QCOMPARE(kindsOf(power.program, Power::Hit), QList<int>());
        QCOMPARE(kindsOf(power.program, Power::Effect), QList<int>{PowerStep::Healing});
    }

    void flippingTypes()
    {
        const QList<int> flipped = {0, 1, 2, 4, 3, 6, 5, 8, 7, 10, 9, 11, 12, 13, 14};
        for (int type = 0; type <= Power::Detail; type++) {
            CreaturePower power;
            power.current.type = type;
            power.flipType();
            QCOMPARE(power.current.type, flipped[type]);
        }
    }

    void enhancedInfo()
    {
        CreaturePower power = makePower("P", Power::Standard);
        power.setBase();
        QVERIFY(!power.hasEnhancedInfo());
        power.current.applyTo[Power::Miss].to = 3;
        QVERIFY(power.hasEnhancedInfo());
        power.setBase();
        QVERIFY(!power.hasEnhancedInfo());
        power.program.addStep(PowerStep::EndCondition, Power::Miss);
        QVERIFY(power.hasEnhancedInfo());
        power.program.deleteAll();
        power.status = CreaturePower::UserPower;
        QVERIFY(power.hasEnhancedInfo());
    }

    void changesAreAppliedValueByValue()
    {
        CreaturePower mine = makePower("Mine", Power::Standard);
        mine.current.header = "my header";
        mine.current.flavor = "my flavour";
        mine.current.applyTo[Power::Hit] = {Power::Enemy, 1, 2};
        mine.program.addStep(PowerStep::Healing, Power::Hit);

        CreaturePower other = makePower("Other", Power::Standard);
        other.current.header = "their header";
        other.current.flavor = "their flavour";
        other.setBase();
        other.current.flavor = "changed flavour";
        other.current.cost = Power::Daily;
        other.current.applyTo[Power::Effect] = {Power::Ally, 0, 5};
        other.program.addStep(PowerStep::Bonus, Power::Effect);

        mine.applyChanges(&other);
        QCOMPARE(mine.name, QString("Mine"));
        QCOMPARE(mine.current.header, QString("my header"));
        QCOMPARE(mine.current.flavor, QString("changed flavour"));
        QCOMPARE(mine.current.cost, int(Power::Daily));
        QCOMPARE(mine.current.when, int(Power::Standard));
        QVERIFY(mine.current.applyTo[Power::Hit] == (ApplyToRecord{Power::Enemy, 1, 2}));
        QVERIFY(mine.current.applyTo[Power::Effect] == (ApplyToRecord{Power::Ally, 0, 5}));
        QCOMPARE(kindsOf(mine.program, Power::Hit), QList<int>());
        QCOMPARE(kindsOf(mine.program, Power::Effect), QList<int>{PowerStep::Bonus});
    }

    void applyToReadings_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<QList<int>>("readings"); // kind, from, to, fromInt, toInt
        QTest::newRow("unset hit") << 0 << 0 << -1 << -1 << QList<int>{1, 1, 1000000, 1, 1000000};
        QTest::newRow("unset miss") << 1 << 0 << -1 << -1 << QList<int>{1, 0, 1000000, 0, 1000000};
        QTest::newRow("unset effect") << 2 << 0 << -1 << -1 << QList<int>{1, 0, 1000000, 0, 1000000};
        QTest::newRow("set") << 0 << 2 << 2 << 3 << QList<int>{2, 2, 3, 2, 3};
        QTest::newRow("any number least") << 2 << 5 << 1000000 << 1000000
                                          << QList<int>{5, 1000000, 1000000, 0, 1000000};
        QTest::newRow("no particular list") << 3 << 0 << -1 << -1 << QList<int>{1, 0, 1000000, 0, 1000000};
    }

    void applyToReadings()
    {
        QFETCH(int, type);
        QFETCH(int, kind);
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(QList<int>, readings);
        CreaturePower power;
        if (type <= Power::Effect)
            power.current.applyTo[type] = {kind, from, to};
        const auto step = Power::StepType(type);
        const QList<int> read = {power.getApplyTo(step), power.getApplyFromCount(step), power.getApplyToCount(step),
                                 power.getApplyFromCountInt(step), power.getApplyToCountInt(step)};
        QCOMPARE(read, readings);
    }

    void applyToInWords_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<QString>("text");
        QTest::newRow("unset") << 0 << 0 << -1 << -1 << "Any number (at least 1) of Creatures";
        QTest::newRow("one enemy") << 0 << 2 << 1 << 1 << "One Enemy";
        QTest::newRow("three enemies") << 0 << 2 << 1 << 3 << "Up to three Enemies";
        QTest::newRow("two allies") << 2 << 3 << 0 << 2 << "Up to two Allies";
        QTest::newRow("other allies") << 2 << 4 << 0 << 5 << "Up to five Allies";
        QTest::newRow("self and allies") << 2 << 5 << 2 << 1000000 << "Self and Any number (at least 2) of Allies";
        QTest::newRow("one creature") << 1 << 1 << 0 << 1 << "One Creature";
        QTest::newRow("four creatures") << 1 << 1 << 0 << 4 << "Up to four Creatures";
        QTest::newRow("self") << 0 << 6 << 1 << 1 << "Self";
        QTest::newRow("current") << 2 << 7 << 1 << 1 << "Current Creature";
        QTest::newRow("targets") << 2 << 8 << 1 << 1 << "Targets";
        QTest::newRow("no attack") << 0 << 9 << 1 << 1 << "No Attack";
        QTest::newRow("no attack on a miss") << 1 << 9 << 1 << 1 << "No Attack";
        QTest::newRow("no effect") << 2 << 9 << 1 << 1 << "No Effect";
        QTest::newRow("not trackable") << 0 << 10 << 1 << 1 << "Non-trackable Power";
        QTest::newRow("unknown kind") << 0 << 42 << 0 << 7 << "Any number (at least 0) of Creatures";
    }

    void applyToInWords()
    {
        QFETCH(int, type);
        QFETCH(int, kind);
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(QString, text);
        CreaturePower power;
        power.current.applyTo[type] = {kind, from, to};
        QCOMPARE(power.getApplyToText(Power::StepType(type)), text);
    }

    void titles_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<bool>("used");
        QTest::addColumn<bool>("highlight");
        QTest::addColumn<QString>("header");
        QTest::addColumn<QString>("title");
        QTest::newRow("plain") << 0 << false << false << "" << "<b>A &amp; B</b>";
        QTest::newRow("header") << 0 << false << false << "(Fire)" << "<b>A &amp; B</b> (Fire)";
        QTest::newRow("used") << 0 << true << false << "" << "<s><b>A &amp; B</b></s>";
        QTest::newRow("highlighted and used") << 0 << true << true << "h" << "<u><b>A &amp; B</b> h</u>";
        QTest::newRow("icon") << 4 << false << false << ""
                              << "<img src=':/images/stats/melee.png'> <b>A &amp; B</b>";
        QTest::newRow("unknown type") << 99 << false << false << "" << "<b>A &amp; B</b>";
    }

    void titles()
    {
        QFETCH(int, type);
        QFETCH(bool, used);
        QFETCH(bool, highlight);
        QFETCH(QString, header);
        QFETCH(QString, title);
        CreaturePower power = makePower("A & B", Power::Standard, Power::Daily);
        power.current.type = type;
        power.current.header = header;
        power.setUsed(used);
        QCOMPARE(power.getTitleText(highlight, false), title);
        QCOMPARE(power.getTitleText(highlight, true), title);
    }

    void programLists()
    {
        PowerProgram program;
        QVERIFY(!program.addStep(PowerStep::Type(0), Power::Hit));
        QVERIFY(!program.addStep(PowerStep::Type(9), Power::Hit));
        QVERIFY(!program.addStep(PowerStep::Healing, Power::AnyStep));
        QVERIFY(!program.hasSteps());
        for (int kind = PowerStep::Healing; kind <= PowerStep::EndCondition; kind++) {
            PowerStep* step = program.addStep(PowerStep::Type(kind), Power::Miss);
            QVERIFY(step);
            QCOMPARE(int(step->type()), kind);
        }
        QCOMPARE(program.getStepCount(Power::Miss), 8);
        QCOMPARE(program.getStepCount(Power::Hit), 0);
        QCOMPARE(program.getStepCount(Power::AnyStep), 0);
        QVERIFY(!program.getStep(-1, Power::Miss));
        QVERIFY(!program.getStep(8, Power::Miss));
        QVERIFY(!program.getStep(0, Power::AnyStep));

        PowerStep* first = program.getStep(0, Power::Miss);
        PowerStep* last = program.getStep(7, Power::Miss);
        program.stepUp(first);
        program.stepDown(last);
        QCOMPARE(program.getStep(0, Power::Miss), first);
        QCOMPARE(program.getStep(7, Power::Miss), last);
        program.stepDown(first);
        program.stepUp(last);
        QCOMPARE(kindsOf(program, Power::Miss), (QList<int>{2, 1, 3, 4, 5, 6, 8, 7}));

        std::unique_ptr<PowerStep> stranger(PowerStep::create(PowerStep::Bonus));
        program.stepUp(stranger.get());
        program.deleteStep(stranger.get());
        QCOMPARE(program.getStepCount(Power::Miss), 8);
        program.deleteStep(first);
        QCOMPARE(kindsOf(program, Power::Miss), (QList<int>{2, 3, 4, 5, 6, 8, 7}));
        program.deleteAll();
        QVERIFY(!program.hasSteps());
    }

    void programCopiesCloneTheSteps()
    {
        CreaturePower power;
        auto* damage = static_cast<DamageStep*>(power.program.addStep(PowerStep::Damage, Power::Hit));
        damage->dice = "2d6";
        damage->damage = 7;
        auto* bonus = static_cast<BonusStep*>(power.program.addStep(PowerStep::Bonus, Power::Effect));
        bonus->attributes.will = true;

        CreaturePower copy(power);
        CreaturePower assigned;
        assigned.program.addStep(PowerStep::Healing, Power::Miss);
        assigned = power;
        for (const CreaturePower* other : {&copy, &assigned}) {
            QCOMPARE(kindsOf(other->program, Power::Hit), QList<int>{PowerStep::Damage});
            QCOMPARE(kindsOf(other->program, Power::Miss), QList<int>());
            auto* copied = static_cast<DamageStep*>(other->program.getStep(0, Power::Hit));
            QVERIFY(copied != damage);
            QCOMPARE(copied->dice, QString("2d6"));
            QCOMPARE(copied->damage, 7);
            QVERIFY(static_cast<BonusStep*>(other->program.getStep(0, Power::Effect))->attributes.will);
        }
        damage->damage = 1;
        QCOMPARE(static_cast<DamageStep*>(copy.program.getStep(0, Power::Hit))->damage, 7);
        copy = copy;
        QCOMPARE(copy.program.getStepCount(Power::Hit), 1);
    }

    void diceAreRolledOnAFreshSetup_data()
    {
        QTest::addColumn<QString>("dice");
        QTest::addColumn<int>("least");
        QTest::addColumn<int>("most");
        QTest::newRow("number") << "12" << 12 << 12;
        QTest::newRow("one-sided dice") << "3d1+4" << 7 << 7;
        QTest::newRow("count left out") << "d1" << 1 << 1;
        QTest::newRow("minus") << "2D1-1" << 1 << 1;
        QTest::newRow("never below zero") << "1d1-9" << 0 << 0;
        QTest::newRow("d6") << " 1d6 " << 1 << 6;
        QTest::newRow("2d8+3") << "2d8+3" << 5 << 19;
        QTest::newRow("unreadable") << "lots" << 99 << 99;
        QTest::newRow("empty") << "" << 99 << 99;
        QTest::newRow("too many dice") << "99999d6" << 99 << 99;
    }

    void diceAreRolledOnAFreshSetup()
    {
        QFETCH(QString, dice);
        QFETCH(int, least);
        QFETCH(int, most);
        CreaturePower power;
        auto* step = static_cast<DamageStep*>(power.program.addStep(PowerStep::Damage, Power::Hit));
        step->dice = dice;
        step->damage = 99;
        power.setup(false);
        QCOMPARE(step->damage, 99);
        for (int roll = 0; roll < 20; roll++) {
            power.setup(true);
            QVERIFY2(step->damage >= least && step->damage <= most, qPrintable(QString::number(step->damage)));
        }
    }

    void powersAreOrderedByWhenThenName()
    {
        Powers powers;
        QCOMPARE(powers.addPower(makePower("Move b", Power::Move), true), 0);
        QCOMPARE(powers.addPower(makePower("std B", Power::Standard), true), 0);
        QCOMPARE(powers.addPower(makePower("Std a", Power::Standard), true), 0);
        QCOMPARE(powers.addPower(makePower("Move a", Power::Move), true), 2);
        // Unsorted: behind the powers of the same kind.
        QCOMPARE(powers.addPower(makePower("Std 0", Power::Standard), false), 2);
        QCOMPARE(powers.addPower(makePower("Trait", Power::Trait), false), 0);
        QCOMPARE(powers.addPower(makePower("Other", Power::Other), true), 6);
        QCOMPARE(namesOf(powers), (QStringList{"Trait", "Std a", "std B", "Std 0", "Move a", "Move b", "Other"}));
        QCOMPARE(powers.size(), 7);
        QVERIFY(!powers.getPower(-1));
        QVERIFY(!powers.getPower(7));
        QCOMPARE(namesOf(powers.getPowerList(false)), namesOf(powers));
        QCOMPARE(namesOf(powers.getPowerList(true)),
                 (QStringList{"Move a", "Move b", "Other", "Std 0", "Std a", "std B", "Trait"}));
    }

    void powersAreFoundByTheirExactName()
    {
        Powers powers;
        powers.addPower(makePower("Claw", Power::Standard), false);
        powers.addPower(makePower("", Power::Minor), false);
        powers.addPower(makePower("Claw", Power::Move), false);
        QCOMPARE(powers.getPowerByName("Claw"), powers.getPower(0));
        QVERIFY(!powers.getPowerByName("claw"));
        QVERIFY(!powers.getPowerByName("Claw "));
        QVERIFY(!powers.getPowerByName(""));
        QVERIFY(!powers.deletePower("claw"));
        QVERIFY(powers.deletePower("Claw"));
        QCOMPARE(powers.getPowerByName("Claw")->current.when, int(Power::Move));
        QVERIFY(powers.deletePower("Claw"));
        QVERIFY(!powers.deletePower("Claw"));
        QCOMPARE(powers.size(), 1);
    }

    void updatingKeepsTheUsageAndTheAddress()
    {
        Powers powers;
        powers.addPower(makePower("Alpha", Power::Standard), true);
        powers.addPower(makePower("Beta", Power::Standard, Power::Daily), true);
        powers.addPower(makePower("Gamma", Power::Minor), true);
        CreaturePower* beta = powers.getPowerByName("Beta");
        beta->setUsed(true);

        CreaturePower edited = makePower("Beta", Power::Standard, Power::Daily);
        edited.current.header = "edited";
        edited.program.addStep(PowerStep::Condition, Power::Hit);
        powers.updatePower("Beta", edited, true);
        QCOMPARE(powers.getPowerByName("Beta"), beta);
        QCOMPARE(beta->getHeader(), QString("edited"));
        QCOMPARE(beta->usage, Power::UsedOnce);
        QCOMPARE(beta->program.getStepCount(Power::Hit), 1);
        QCOMPARE(edited.program.getStepCount(Power::Hit), 1);

        // Renamed and moved to another kind: same power, new place.
        edited.name = "Aardvark";
        edited.current.when = Power::Minor;
        powers.updatePower("Beta", edited, true);
        QCOMPARE(namesOf(powers), (QStringList{"Alpha", "Aardvark", "Gamma"}));
        QCOMPARE(powers.getPowerByName("Aardvark"), beta);
        QCOMPARE(beta->usage, Power::UsedOnce);

        // Unsorted, a moved power goes behind those of its new kind.
        edited.current.when = Power::Standard;
        powers.updatePower("Aardvark", edited, false);
        QCOMPARE(namesOf(powers), (QStringList{"Alpha", "Aardvark", "Gamma"}));

        powers.updatePower("Delta", makePower("Delta", Power::Trait), true);
        QCOMPARE(namesOf(powers), (QStringList{"Delta", "Alpha", "Aardvark", "Gamma"}));
        // A power handed back to its own set.
        powers.updatePower("Alpha", *powers.getPowerByName("Alpha"), true);
        QCOMPARE(powers.size(), 4);
    }

    void copiesShareUntilOneChanges()
    {
        Powers original;
        original.addPower(makePower("Claw", Power::Standard, Power::Daily), false);
        Powers copy = original;
        const Powers& constCopy = copy;
        QCOMPARE(constCopy.getPower(0), std::as_const(original).getPower(0));

        CreaturePower* mine = original.getPower(0);
        copy.getPower(0)->setUsed(true);
        QCOMPARE(mine->usage, Power::Unused);
        QVERIFY(copy.getPower(0) != mine);

        // Once held, a power stays its set's own: copies copy it at once.
        Powers later = original;
        QCOMPARE(original.getPower(0), mine);
        later.getPowerByName("Claw")->name = "Bite";
        Powers assigned;
        assigned = original;
        assigned.addPower(makePower("Tail", Power::Minor), false);
        original.getPower(0)->current.header = "(held)";
        QCOMPARE(mine, original.getPower(0));
        QCOMPARE(mine->name, QString("Claw"));
        QCOMPARE(namesOf(later), QStringList{"Bite"});
        QCOMPARE(assigned.getPower(0)->current.header, QString());
        QCOMPARE(original.size(), 1);
        original = original;
        QCOMPARE(original.getPower(0), mine);
    }

    void creatureAndTemplateShareTheirPowers()
    {
        CreatureStats stats;
        stats.addPower(makePower("Claw", Power::Standard, Power::OncePerEncounter), false);
        Creature creature;
        creature.setStats(stats);
        CreaturePower* held = creature.getPowers().getPowerByName("Claw");
        held->setUsed(true);
        stats.addPower(makePower("Bite", Power::Standard), false);
        creature.getPowers().addPower(makePower("Tail", Power::Minor), false);
        QCOMPARE(held, creature.getPowers().getPowerByName("Claw"));
        QCOMPARE(held->getUsageCount(), 1);
        QCOMPARE(stats.powers.getPowerByName("Claw")->getUsageCount(), 0);
        QCOMPARE(namesOf(stats.powers), (QStringList{"Claw", "Bite"}));
        QCOMPARE(namesOf(creature.getPowers()), (QStringList{"Claw", "Tail"}));
    }
};

RAVELHORN_TEST_MAIN(QGuiApplication, TestPowers)
#include "test_powers.moc"
