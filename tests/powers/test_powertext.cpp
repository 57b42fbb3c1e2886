#include <QGuiApplication>

#include "foundation/attrtext.h"
#include "powers/power.h"
#include "support/testsupport.h"

namespace {

// As a creature file's reader does: each "power" line names a power, read
// onto the one of that name or a new one.
void readPowers(Powers& powers, const QByteArray& text)
{
    AttrParser parser(text, 0);
    while (parser.nextAttr()) {
        if (parser.attrName() != "power")
            continue;
        CreaturePower power;
        if (const CreaturePower* known = powers.getPowerByName(parser.attrValue())) {
            power = *known;
            power.program.deleteAll();
        }
        power.name = parser.attrValue();
        power.loadPower(parser);
        powers.updatePower(power.name, power, false);
    }
}

// A power read back from its own text.
CreaturePower reread(const QByteArray& text)
{
    Powers powers;
    readPowers(powers, text);
    return powers.size() == 1 ? *powers.getPower(0) : CreaturePower();
}

CreaturePower statPower(const QString& name)
{
    CreaturePower power;
    power.name = name;
    power.current.header = "(Fire) &bull; <b>Encounter</b>";
    power.current.description = QStringList{"Attack: +5 vs. AC", "Hit: 2d6 + 3 fire damage."};
    power.current.type = Power::Melee;
    power.current.when = Power::Standard;
    power.current.cost = Power::OncePerEncounter;
    power.setBase();
    return power;
}

}

class TestPowerText : public QObject
{
    Q_OBJECT

private slots:
    void eachStepKindRoundTrips_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("healing") << QByteArray("power=P\n"
                                               "hit-step=healing\nheal=7\nsurges=-2\ntemp-hp=5\nstabilize=yes\n");
        QTest::newRow("damage") << QByteArray("power=P\n"
                                              "miss-step=damage\ndice=2d6+3\ndamage=10\n"
                                              "damage-type=fire, radiant\nper-target=yes\n");
        QTest::newRow("condition") << QByteArray("power=P\neffect-step=condition\ncondition=dazed\n"
                                                 "comment=until it shakes it off\n");
        QTest::newRow("ongoing") << QByteArray("power=P\nhit-step=ongoing\namount=-5\ndamage-type=acid\n"
                                               "prompt=yes\n");
        QTest::newRow("bonus") << QByteArray("power=P\nhit-step=bonus\namount=-2\nattributes=armor-class,will\n");
        QTest::newRow("resistance") << QByteArray("power=P\neffect-step=resistance\namount=10\n"
                                                  "damage-type=cold\n");
        QTest::newRow("second wind") << QByteArray("power=P\neffect-step=use-resource\n"
                                                   "resource=second-wind\namount=1\n");
        QTest::newRow("action points") << QByteArray("power=P\neffect-step=use-resource\namount=-10000\n");
        QTest::newRow("end condition") << QByteArray("power=P\nhit-step=end-condition\n"
                                                     "end-condition=save-end\nsustainable=yes\n");
        QTest::newRow("defaults") << QByteArray("power=P\nhit-step=healing\nhit-step=damage\nhit-step=condition\n"
                                                "miss-step=ongoing\nmiss-step=bonus\nmiss-step=resistance\n"
                                                "effect-step=use-resource\neffect-step=end-condition\n");
    }

    void eachStepKindRoundTrips()
    {
        QFETCH(QByteArray, text);
        const CreaturePower power = reread(text);
        QCOMPARE(power.getPowerProgram("\n", false), text);
        QVERIFY(power.program.hasSteps());
        QVERIFY(power.hasEnhancedInfo());
    }

    void stepValuesAreRead()
    {
        const CreaturePower power = reread("power=P\nhit-step=healing\nheal=7\nsurges=-2\nstabilize=yes\n"
                                           "hit-step=bonus\namount=3\nattributes=armor-class,will\n"
                                           "miss-step=condition\ncondition=dazed\n"
                                           "effect-step=end-condition\nend-condition=save-end\n"
                                           "effect-step=use-resource\nresource=second-wind\n");
        const auto* healing = dynamic_cast<HealingStep*>(power.program.getStep(0, Power::Hit));
        QVERIFY(healing);
        QCOMPARE(healing->hitPoints, 7);
        QCOMPARE(healing->surges, -2);
        QCOMPARE(healing->tempHitPoints, 0);
        QVERIFY(healing->stabilize);
        const auto* bonus = dynamic_cast<BonusStep*>(power.program.getStep(1, Power::Hit));
        QVERIFY(bonus && bonus->amount == 3 && bonus->attributes.armorClass && bonus->attributes.will);
        QVERIFY(!bonus->attributes.reflex);
        const auto* condition = dynamic_cast<ConditionStep*>(power.program.getStep(0, Power::Miss));
        QVERIFY(condition && condition->condition == CE::Dazed);
        const auto* end = dynamic_cast<EndConditionStep*>(power.program.getStep(0, Power::Effect));
        QVERIFY(end && end->endCondition == CE::SaveEnds && !end->sustainable);
        const auto* resource = dynamic_cast<UseResourceStep*>(power.program.getStep(1, Power::Effect));
        QVERIFY(resource && resource->resource == UseResourceStep::SecondWind && resource->amount == -1);
    }

    void everyKeywordRoundTrips()
    {
        CreaturePower power;
        power.name = "Keywords";
        for (int type = CE::None + 1; type <= CE::GrantsCombatAdvantage; type++) {
            if (CE::effectToText(CE::EffectType(type)).isEmpty())
                continue;
            auto* step = static_cast<ConditionStep*>(power.program.addStep(PowerStep::Condition, Power::Hit));
            step->condition = CE::EffectType(type);
        }
        for (int end = CE::EndSpecial; end <= CE::StartOfTargetsNextTurn; end++)
            static_cast<EndConditionStep*>(power.program.addStep(PowerStep::EndCondition, Power::Miss))
                ->endCondition = CE::EndCondition(end);
        QVERIFY(power.program.getStepCount(Power::Hit) > 10);
        const QByteArray text = power.getPowerProgram("\n", false);
        const CreaturePower read = reread(text);
        QCOMPARE(read.getPowerProgram("\n", false), text);
        QCOMPARE(read.program.getStepCount(Power::Hit), power.program.getStepCount(Power::Hit));
        for (int i = 0; PowerStep* step = power.program.getStep(i, Power::Hit); i++)
            QCOMPARE(static_cast<ConditionStep*>(read.program.getStep(i, Power::Hit))->condition,
                     static_cast<ConditionStep*>(step)->condition);
    }

    void aStatPowerWritesOnlyWhatChanged()
    {
        CreaturePower power = statPower("Fire Slash");
        QCOMPARE(power.getPowerProgram("\n", false), QByteArray("power=Fire Slash\n"));
        power.current.cost = Power::Recharge5;
        power.current.applyTo[Power::Hit] = {Power::Enemy, 1, 2};
        power.current.description.append("Effect: the target is slowed.");
        power.usage = Power::UsedOnce;
        const QByteArray text = power.getPowerProgram("\r\n", false);
        QCOMPARE(text, QByteArray("power=Fire Slash\r\ncost=10\r\nhit-targets=2,1,2\r\n"
                                  "description=Attack: +5 vs. AC\r\n"
                                  "description=Hit: 2d6 + 3 fire damage.\r\n"
                                  "description=Effect: the target is slowed.\r\n"));
        QCOMPARE(power.usage, Power::UsedOnce);

        // Read onto the imported power, as when the creature is loaded again.
        Powers powers;
        powers.addPower(statPower("Fire Slash"), false);
        readPowers(powers, text);
        const CreaturePower* read = powers.getPower(0);
        QCOMPARE(powers.size(), 1);
        QCOMPARE(read->status, int(CreaturePower::FromStatBlock));
        QVERIFY(read->current == power.current);
        QVERIFY(read->base == power.base);
        QCOMPARE(read->getPowerProgram("\r\n", false), text);
    }

    void aClearedValueIsWritten()
    {
        CreaturePower power = statPower("Slash");
        power.current.header.clear();
        power.current.description.clear();
        const QByteArray text = power.getPowerProgram("\n", false);
        QCOMPARE(text, QByteArray("power=Slash\nheader=\ndescription=\n"));
        Powers powers;
        powers.addPower(statPower("Slash"), false);
        readPowers(powers, text);
        QVERIFY(powers.getPower(0)->current == power.current);
    }

    void aUserPowerStaysAUserPower()
    {
        CreaturePower power;
        power.status = CreaturePower::UserPower;
        power.name = "Shield of Faith";
        power.current.header = "Divine";
        power.current.flavor = "A \\ shimmer\nof light.";
        power.current.description = QStringList{"First line", "Second = line"};
        power.current.type = Power::Close;
        power.current.when = Power::Minor;
        power.current.cost = Power::Daily;
        power.current.applyTo[Power::Effect] = {Power::AllyAndSelf, 0, Power::AnyNumber};
        // Whatever its base, a user power is read back into an empty one.
        power.setBase();
        power.program.addStep(PowerStep::Bonus, Power::Effect);
        const QByteArray text = power.getPowerProgram("\n", false);
        QVERIFY(text.startsWith("power=Shield of Faith\nuser=yes\n"));
        QVERIFY(text.contains("flavor=A \\\\ shimmer\\nof light.\n"));

        const CreaturePower read = reread(text);
        QCOMPARE(read.status, int(CreaturePower::UserPower));
        QCOMPARE(read.name, power.name);
        QVERIFY(read.current == power.current);
        QCOMPARE(read.program.getStepCount(Power::Effect), 1);
        QCOMPARE(read.getPowerProgram("\n", false), text);
    }

    void theActionFlagNamesAnAction()
    {
        CreaturePower power = statPower("Dash");
        QCOMPARE(power.getPowerProgram("\n", true), QByteArray("action=Dash\n"));
    }

    void readingStopsAtTheFirstLineNotItsOwn()
    {
        const QByteArray text("power=A\nwhen=5\nhit-step=healing\nheal=3\nportrait=face.png\nwhen=6\n");
        AttrParser parser(text, 0);
        QVERIFY(parser.nextAttr());
        CreaturePower power;
        power.loadPower(parser);
        QCOMPARE(power.current.when, 5);
        QVERIFY(parser.nextAttr());
        QCOMPARE(parser.attrName(), QString("portrait"));
        QVERIFY(parser.nextAttr());
        QCOMPARE(parser.attrName(), QString("when"));

        // The usage state is never read.
        AttrParser usage(QByteArray("usage=3\n"), 0);
        power.loadPower(usage);
        QCOMPARE(power.usage, Power::Unused);
        QVERIFY(usage.nextAttr());
    }

    void malformedLinesLoseNothingElse()
    {
        const QByteArray text("power=First\n"
                              "when=often\n"
                              "cost=7\n"
                              "hit-targets=2,1\n"
                              "miss-targets=2,x,3\n"
                              "effect-targets=3,0,2\n"
                              "user=maybe\n"
                              "hit-step=teleport\n"
                              "heal=5\n"
                              "damage=9\n"
                              "hit-step=healing\n"
                              "stabilize=maybe\n"
                              "heal=\n"
                              "temp-hp=4\n"
                              "damage=12\n"
                              "=no name\n"
                              "miss-step=condition\n"
                              "condition=zzz\n"
                              "comment=kept\n"
                              "effect-step=use-resource\n"
                              "resource=mana\n"
                              "amount=-2\n"
                              "miss-step=\n"
                              "effect-step=end-condition\n"
                              "end-condition=whenever\n"
                              "sustainable=yes\n"
                              "not a pair\n"
                              "power=Second\n"
                              "when=7\n"
                              "hit-step=damage\n"
                              "damage=4\n");
        Powers powers;
        readPowers(powers, text);
        QCOMPARE(powers.size(), 2);
        const CreaturePower* first = powers.getPowerByName("First");
        QVERIFY(first);
        QCOMPARE(first->status, int(CreaturePower::FromStatBlock));
        QCOMPARE(first->current.when, 0);
        QCOMPARE(first->current.cost, 7);
        QVERIFY(first->current.applyTo[Power::Hit] == ApplyToRecord());
        QVERIFY(first->current.applyTo[Power::Miss] == ApplyToRecord());
        QVERIFY(first->current.applyTo[Power::Effect] == (ApplyToRecord{3, 0, 2}));
        QCOMPARE(first->program.getStepCount(Power::Hit), 1);
        const auto* healing = static_cast<HealingStep*>(first->program.getStep(0, Power::Hit));
        QVERIFY(healing->type() == PowerStep::Healing);
        QVERIFY(!healing->stabilize);
        QCOMPARE(healing->hitPoints, 0);
        QCOMPARE(healing->tempHitPoints, 4);
        const auto* condition = static_cast<ConditionStep*>(first->program.getStep(0, Power::Miss));
        QCOMPARE(first->program.getStepCount(Power::Miss), 1);
        QCOMPARE(condition->condition, CE::None);
        QCOMPARE(condition->comment, QString("kept"));
        const auto* resource = static_cast<UseResourceStep*>(first->program.getStep(0, Power::Effect));
        QCOMPARE(resource->resource, UseResourceStep::ActionPoint);
        QCOMPARE(resource->amount, -2);
        const auto* end = static_cast<EndConditionStep*>(first->program.getStep(1, Power::Effect));
        QCOMPARE(end->endCondition, CE::EndSpecial);
        QVERIFY(end->sustainable);

        const CreaturePower* second = powers.getPowerByName("Second");
        QVERIFY(second);
        QCOMPARE(second->current.when, int(Power::Minor));
        QCOMPARE(static_cast<DamageStep*>(second->program.getStep(0, Power::Hit))->damage, 4);
    }

    void aSecondLineOfOneNameReplacesTheProgram()
    {
        Powers powers;
        readPowers(powers, "power=P\nhit-step=healing\nheal=2\nwhen=5\npower=P\nmiss-step=damage\n");
        QCOMPARE(powers.size(), 1);
        QCOMPARE(powers.getPower(0)->program.getStepCount(Power::Hit), 0);
        QCOMPARE(powers.getPower(0)->program.getStepCount(Power::Miss), 1);
    }

    void theTextOfPowersHoldsTheEnhancedOnes()
    {
        Powers powers;
        QVERIFY(!powers.hasEnhancedInfo());
        QCOMPARE(powers.getTextOfPowers("\n"), QString());
        powers.addPower(statPower("Plain"), false);
        QVERIFY(!powers.hasEnhancedInfo());
        QCOMPARE(powers.getTextOfPowers("\n"), QString());

        CreaturePower stepped = statPower("Stepped \u00e9");
        stepped.program.addStep(PowerStep::Healing, Power::Effect);
        powers.addPower(stepped, false);
        CreaturePower user;
        user.status = CreaturePower::UserPower;
        user.name = "Mine";
        user.current.when = Power::Standard;
        powers.addPower(user, false);
        QVERIFY(powers.hasEnhancedInfo());
        QCOMPARE(powers.getTextOfPowers("\n"),
                 QString("power=Stepped \u00e9\neffect-step=healing\npower=Mine\nuser=yes\nwhen=5\n"));
        QCOMPARE(powers.getTextOfPowers("\r\n"),
                 QString("power=Stepped \u00e9\r\neffect-step=healing\r\npower=Mine\r\nuser=yes\r\nwhen=5\r\n"));
    }
};

RAVELHORN_TEST_MAIN(QGuiApplication, TestPowerText)
#include "test_powertext.moc"
