#include <QGuiApplication>
#include <QRandomGenerator>

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

// A set of powers as a list walked from the front for each place.
struct WalkedPowers
{
    QList<QPair<QString, int>> list;

    int find(const QString& name) const
    {
        for (int i = 0; i < list.size(); i++)
            if (list[i].first == name)
                return i;
        return -1;
    }
    int placeFor(const QString& name, int when, bool sorted) const
    {
        int at = 0;
        for (; at < list.size(); at++)
            if (list[at].second > when
                || (sorted && list[at].second == when && list[at].first.compare(name, Qt::CaseInsensitive) > 0))
                break;
        return at;
    }
    void add(const QString& name, int when, bool sorted) { list.insert(placeFor(name, when, sorted), {name, when}); }
    void update(const QString& old, const QString& name, int when, bool sorted)
    {
        const int at = find(old);
        if (at < 0)
            return add(name, when, sorted);
        if (list[at].second == when) {
            list[at].first = name;
            return;
        }
        list.removeAt(at);
        add(name, when, sorted);
    }
};

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

    void powersTakeTheirPlacesAsAWalkFindsThem_data()
    {
        QTest::addColumn<quint32>("seed");
        QTest::addColumn<int>("operations");
        QTest::addColumn<int>("names");
        // 0 any change, 1 sorted additions only, 2 unsorted additions only.
        QTest::addColumn<int>("pasted");
        QTest::newRow("few names, all kinds of change") << 3u << 3000 << 12 << 0;
        QTest::newRow("many names") << 5u << 3000 << 400 << 0;
        QTest::newRow("a hero's long paste") << 8u << 20000 << 20000 << 1;
        QTest::newRow("a monster's long paste") << 9u << 20000 << 20000 << 2;
    }

    // Additions, updates and removals, sorted or not, and holders changing
    // the kind or name of a power they hold: the set keeps the order a walk
    // through the list from the front gives.
    void powersTakeTheirPlacesAsAWalkFindsThem()
    {
        QFETCH(quint32, seed);
        QFETCH(int, operations);
        QFETCH(int, names);
        QFETCH(int, pasted);
        QRandomGenerator random(seed);
        const auto anyName = [&random, names] {
            const int n = int(random.bounded(names));
            return QString(n % 3 == 0 ? "power %1" : "Power %1").arg(n / 3);
        };
        Powers powers;
        WalkedPowers walked;
        for (int i = 0; i < operations; i++) {
            const QString name = anyName();
            const int when = Power::Trait + int(random.bounded(8));
            const bool sorted = pasted ? pasted == 1 : random.bounded(2) == 0;
            const int change = pasted ? 0 : int(random.bounded(11));
            if (change < 5) {
                powers.addPower(makePower(name, when), sorted);
                walked.add(name, when, sorted);
            } else if (change < 7) {
                const QString old = walked.list.isEmpty() ? name : walked.list[random.bounded(int(walked.list.size()))].first;
                const QString renamed = random.bounded(2) ? old : name;
                powers.updatePower(old, makePower(renamed, when), sorted);
                walked.update(old, renamed, when, sorted);
            } else if (change < 8) {
                powers.deletePower(name);
                if (walked.find(name) >= 0)
                    walked.list.removeAt(walked.find(name));
            } else if (change == 10) {
                const int at = int(random.bounded(int(walked.list.size()) + 1));
                const CreaturePower* read = std::as_const(powers).getPower(at);
                QCOMPARE(read ? read->name : QString(), walked.list.value(at).first);
            } else if (CreaturePower* held = powers.getPowerByName(name)) {
                const int at = walked.find(name);
                if (change == 8)
                    held->current.when = walked.list[at].second = when;
                else
                    held->name = walked.list[at].first = anyName();
            }
        }
        QStringList expected;
        for (const auto& [name, when] : std::as_const(walked.list))
            expected.append(QString("%1/%2").arg(name).arg(when));
        QStringList actual;
        for (int i = 0; const CreaturePower* power = std::as_const(powers).getPower(i); i++)
            actual.append(QString("%1/%2").arg(power->name).arg(power->current.when));
        QCOMPARE(actual, expected);
    }
};

RAVELHORN_TEST_MAIN(QGuiApplication, TestPowers)
#include "test_powers.moc"
