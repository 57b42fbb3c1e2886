#include <QGuiApplication>

#include "creature/creature.h"
#include "foundation/attrtext.h"
#include "foundation/global.h"
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

QString namesOf(const Powers& powers)
{
    QStringList names;
    for (int i = 0; const CreaturePower* power = powers.getPower(i); i++)
        names.append(power->name);
    return names.join(',');
}

// As a creature file's reader does: each "power" line names a power, read
// onto the one of that name (its program dropped) or a new one.
Powers readPowers(const QByteArray& text, Powers powers = Powers())
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
    return powers;
}

}

class TestPowers : public QObject
{
    Q_OBJECT

private slots:
    // ops: U used, R released, X reset; one state expected after each.
    void usageFollowsTheCost_data()
    {
        QTest::addColumn<int>("cost");
        QTest::addColumn<QString>("ops");
        QTest::addColumn<QList<int>>("states");
        QTest::newRow("no cost") << int(Power::NoCost) << "UR" << QList<int>{0, 0};
        QTest::newRow("at-will") << int(Power::AtWill) << "UUR" << QList<int>{0, 0, 0};
        QTest::newRow("encounter") << int(Power::OncePerEncounter) << "UURUX" << QList<int>{1, 1, 0, 1, 0};
        QTest::newRow("twice") << int(Power::TwicePerEncounter) << "URUURUUURU" << QList<int>{1, 2, 3, 5, 6, 7, 7, 7, 8, 7};
        QTest::newRow("thrice") << int(Power::ThricePerEncounter) << "UURRX" << QList<int>{1, 3, 4, 4, 0};
        QTest::newRow("four times") << int(Power::FourPerEncounter) << "RURUR" << QList<int>{0, 1, 2, 3, 4};
        QTest::newRow("recharge") << int(Power::RechargeUnknown) << "UUR" << QList<int>{1, 1, 0};
        QTest::newRow("recharge 2") << int(Power::Recharge2) << "URU" << QList<int>{1, 0, 1};
        QTest::newRow("daily") << int(Power::Daily) << "URR" << QList<int>{1, 0, 0};
    }

    void usageFollowsTheCost()
    {
        QFETCH(int, cost);
        QFETCH(QString, ops);
        QFETCH(QList<int>, states);
        CreaturePower power = makePower("P", Power::Standard, cost);
        const QList<int> counts = {0, 1, 1, 2, 2, 3, 3, 4, 4, 5};
        for (int i = 0; i < ops.size(); i++) {
            ops[i] == 'X' ? power.resetUsage() : power.setUsed(ops[i] == 'U');
            QCOMPARE((QList<int>{power.usage, power.getUsageCount(), power.getUsed()}),
                     (QList<int>{states[i], counts[states[i]], states[i] % 2 == 1}));
        }
    }

    void powerTextRoundTrips_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("written");
        for (const char* steps :
             {"hit-step=healing\nheal=7\nsurges=-2\ntemp-hp=5\nstabilize=yes\n",
              "miss-step=damage\ndice=2d6+3\ndamage=10\ndamage-type=fire, radiant\nper-target=yes\n",
              "effect-step=condition\ncondition=dazed\ncomment=until it shakes it off\n",
              "hit-step=ongoing\namount=-5\ndamage-type=acid\nprompt=yes\n", "hit-step=bonus\namount=-2\nattributes=armor-class,will\n",
              "effect-step=resistance\namount=10\ndamage-type=cold\n", "effect-step=use-resource\nresource=second-wind\namount=1\n",
              "effect-step=use-resource\namount=-10000\n", "hit-step=end-condition\nend-condition=save-end\nsustainable=yes\n",
              "hit-step=healing\nhit-step=damage\nhit-step=condition\nmiss-step=ongoing\nmiss-step=bonus\nmiss-step=resistance\n"
              "effect-step=use-resource\neffect-step=end-condition\n"})
            QTest::newRow(steps) << "power=P\n" + QByteArray(steps) << "power=P\n" + QByteArray(steps);
        // Every condition and end keyword.
        CreaturePower power = makePower("Keywords", 0);
        for (int type = CE::None + 1; type <= CE::GrantsCombatAdvantage; type++)
            if (!CE::effectToText(CE::EffectType(type)).isEmpty())
                static_cast<ConditionStep*>(power.program.addStep(PowerStep::Condition, Power::Hit))->condition = CE::EffectType(type);
        for (int end = CE::EndSpecial; end <= CE::StartOfTargetsNextTurn; end++)
            static_cast<EndConditionStep*>(power.program.addStep(PowerStep::EndCondition, Power::Miss))->endCondition = CE::EndCondition(end);
        QTest::newRow("keywords") << power.getPowerProgram("\n", false) << power.getPowerProgram("\n", false);
        // Malformed lines lose nothing else; a second line of one name replaces the program.
        QTest::newRow("malformed")
            << QByteArray("power=First\nwhen=often\ncost=7\nhit-targets=2,1\nmiss-targets=2,x,3\neffect-targets=3,0,2\nuser=maybe\n"
                          "hit-step=teleport\nheal=5\ndamage=9\nhit-step=healing\nstabilize=maybe\nheal=\ntemp-hp=4\ndamage=12\n=no name\n"
                          "miss-step=condition\ncondition=zzz\ncomment=kept\neffect-step=use-resource\nresource=mana\namount=-2\n"
                          "miss-step=\neffect-step=end-condition\nend-condition=whenever\nsustainable=yes\nnot a pair\n"
                          "power=Second\nwhen=7\nhit-step=damage\ndamage=4\npower=Second\nmiss-step=damage\nportrait=x\nusage=3\n")
            << QByteArray("power=First\ncost=7\neffect-targets=3,0,2\nhit-step=healing\ntemp-hp=4\nmiss-step=condition\n"
                          "comment=kept\neffect-step=use-resource\namount=-2\neffect-step=end-condition\nsustainable=yes\n"
                          "power=Second\nwhen=7\nmiss-step=damage\n");
    }

    void powerTextRoundTrips()
    {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, written);
        const Powers powers = readPowers(text);
        QCOMPARE(powers.getTextOfPowers("\n").toUtf8(), written);
        QCOMPARE(readPowers(written).getTextOfPowers("\r\n").toUtf8(), Global::toWindowsLineEndings(written));
    }

    void copiesShareUntilOneChanges()
    {
        Powers original;
        original.addPower(makePower("Claw", Power::Standard, Power::Daily), false);
        Powers copy = original;
        QCOMPARE(std::as_const(copy).getPower(0), std::as_const(original).getPower(0));
        CreaturePower* mine = original.getPower(0);
        copy.getPower(0)->setUsed(true);
        QVERIFY(mine->usage == Power::Unused && copy.getPower(0) != mine);
        // Once held, a power stays its set's own: copies copy it at once.
        Powers later = original;
        later.getPowerByName("Claw")->name = "Bite";
        original = original;
        QVERIFY(original.getPower(0) == mine && mine->name == "Claw" && namesOf(later) == "Bite");
        // A creature and its statistics share them the same way.
        CreatureStats stats;
        stats.addPower(makePower("Claw", Power::Standard, Power::OncePerEncounter), false);
        Creature creature;
        creature.setStats(stats);
        CreaturePower* held = creature.getPowers().getPowerByName("Claw");
        held->setUsed(true);
        stats.addPower(makePower("Bite", Power::Standard), false);
        creature.getPowers().addPower(makePower("Tail", Power::Minor), false);
        QVERIFY(held == creature.getPowers().getPowerByName("Claw") && stats.powers.getPowerByName("Claw")->usage == Power::Unused);
        QCOMPARE(namesOf(stats.powers) + ";" + namesOf(creature.getPowers()), QString("Claw,Bite;Claw,Tail"));
    }
};

RAVELHORN_TEST_MAIN(QGuiApplication, TestPowers)
#include "test_powers.moc"
