#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QSpinBox>

#include "combat/combattesting.h"
#include "creature/creature.h"
#include "creature/effect.h"
#include "encounter/damageevents.h"
#include "encounter/effectevents.h"
#include "encounter/encounter.h"
#include "encounter/encounterevents.h"
#include "encounter/history.h"
#include "encounter/powerevents.h"
#include "encounter/turnflow.h"
#include "library/characters.h"
#include "library/monsters.h"

using CombatTesting::buttonTexts;
using CombatTesting::PromptAnswerer;
using CombatTesting::runCommand;

namespace {

// The classes of the events recorded from that index on.
QString recorded(int from)
{
    QStringList names;
    for (int i = from; i < Global::history->getEventCount(); i++)
        names << TestWorld::eventClass(Global::history->getEvent(i));
    return names.join(' ');
}

}

// Turns run through the main window's commands, with the real prompts answered as the game master would.
class TestTurnFlow : public QObject
{
    Q_OBJECT

private:
    WindowWorld* fixture = nullptr;
    Creature* ana = nullptr;
    Creature* bron = nullptr;
    Creature* goblin = nullptr;
    int start = 0;
    QString startModel;

    TestWorld& world() { return *fixture->world; }

    // The goblin, Bron and Ana in that order, Ana's turn unless the test says otherwise.
    int firstCurrent = 2;
    void enterEncounter()
    {
        Global::encounter->setCreatureList(CreatureList({goblin, bron, ana}));
        setCurrent(firstCurrent);
    }
    // Whose turn it is before the log's first record; the window offers the turn commands then.
    void setCurrent(int index)
    {
        firstCurrent = index;
        Global::encounter->setCurrentIndex(index);
        Global::mainWindow->toggleStartStopNextButtons();
        Global::mainWindow->toggleJumpInButton();
    }

    void findCreatures()
    {
        ana = world().find("Ana");
        bron = world().find("Bron");
        goblin = Global::monsters->getMonsterInstance("Goblin Cutter", "1", true);
    }

    Effect* addEffect(Creature* origin, Creature* target, CE::EffectType type, CE::EndCondition ending,
        const std::function<void(EffectDetails&)>& more = nullptr)
    {
        EffectDetails details;
        details.origin = origin;
        details.type = type;
        details.endCondition = ending;
        details.amount = 2;
        if (more)
            more(details);
        if (!world().record(new EffectEvent(details, {target}, world().stream())))
            return nullptr;
        return target->getEffect(target->getEffectCount() - 1);
    }

    bool record(Event* event) { return world().record(event); }

    bool nextTurnEvent() { return record(new NextTurnEvent(world().stream(), false)); }

    // Remembers where the command under test starts.
    void mark()
    {
        start = Global::history->getEventCount();
        startModel = world().describe();
    }

    // Back to the mark and forward again, then a restart: the same model each way.
    void roundTrip()
    {
        CombatTesting::checkStepsAndReplay(fixture->world, Global::history->getEventCount() - start, startModel,
            [this] {
                findCreatures();
                enterEncounter();
            });
    }

    // After a restart the log gives back the model as it is now.
    void restartGivesBack()
    {
        const QString live = world().describe();
        QVERIFY(world().restart([this] {
            findCreatures();
            enterEncounter();
        }));
        findCreatures();
        QVERIFY2(world().describe() == live, qPrintable(TestWorld::difference(live, world().describe())));
    }

private slots:
    void init()
    {
        firstCurrent = 2;
        fixture = new WindowWorld;
        ana = world().addHero("Ana", 28);
        bron = world().addHero("Bron", 30);
        goblin = world().addMonster("Goblin Cutter", "1", 20);
        for (Creature* creature : {ana, bron, goblin})
            TestWorld::giveInitiativeBonus(creature);
        enterEncounter();
        QVERIFY(world().stream());
    }

    void cleanup()
    {
        delete fixture;
    }

    // The sustain prompt, then the saving throws; what was saved goes first, then what ends with the turn.
    void savesComeBeforeTurnEndRemovals()
    {
        Effect* slowed = addEffect(ana, goblin, CE::Slowed, CE::SaveEnds);
        Effect* dazed = addEffect(ana, goblin, CE::Dazed, CE::EndOfTargetsNextTurn);
        Effect* marked = addEffect(goblin, ana, CE::Marked, CE::EndOfOriginsNextTurn,
            [](EffectDetails& details) { details.sustainable = true; });
        QVERIFY(nextTurnEvent());
        mark();
        PromptAnswerer answers({PromptAnswerer::check({true}), PromptAnswerer::check({true})});
        runCommand("Next Turn");
        QCOMPARE(answers.titles, QStringList({"Sustain Effects", "Saving Throws"}));
        QCOMPARE(recorded(start), QString("RemoveOnSaveEvent RemoveAtEndOfTurnEvent NextTurnEvent"));
        QCOMPARE(goblin->indexOfEffect(slowed), -1);
        QCOMPARE(goblin->indexOfEffect(dazed), -1);
        QCOMPARE(ana->indexOfEffect(marked), 0);
        QCOMPARE(Global::encounter->getCurrentCreature(), bron);
        roundTrip();
    }

    // Cancel in either prompt records nothing, and the turn stays; asked
    // directly, the turn flow answers that the turn did not move.
    void cancelRecordsNothing_data()
    {
        QTest::addColumn<bool>("inSustain");
        QTest::addColumn<bool>("direct");
        QTest::newRow("sustain") << true << false;
        QTest::newRow("saving throws") << false << false;
        QTest::newRow("sustain, asked of the turn flow") << true << true;
        QTest::newRow("saving throws, asked of the turn flow") << false << true;
    }
    void cancelRecordsNothing()
    {
        QFETCH(bool, inSustain);
        QFETCH(bool, direct);
        addEffect(ana, goblin, CE::Slowed, CE::SaveEnds);
        addEffect(goblin, ana, CE::Marked, CE::EndOfOriginsNextTurn,
            [](EffectDetails& details) { details.sustainable = true; });
        QVERIFY(nextTurnEvent());
        mark();
        PromptAnswerer answers(inSustain ? QList<PromptAnswerer::Step>{PromptAnswerer::escape()}
                                         : QList<PromptAnswerer::Step>{PromptAnswerer::ok(), PromptAnswerer::escape()});
        if (direct)
            QVERIFY(!TurnFlow().nextTurn());
        else
            runCommand("Next Turn");
        QCOMPARE(answers.titles.size(), inSustain ? 1 : 2);
        QCOMPARE(recorded(start), QString());
        QCOMPARE(world().describe(), startModel);
    }

    // Dead and name-only creatures get their turn start and a turn end, and are passed over once each.
    void deadAndNameOnlyArePassedOverOnce()
    {
        Creature* dead = world().addMonster("Goblin Cutter", "2", 20);
        TestWorld::giveInitiativeBonus(dead);
        Creature* nameOnly = world().addMonster("Statue", "1", 20);
        TestWorld::giveInitiativeBonus(nameOnly, UnknownValue);
        Global::encounter->setCreatureList(CreatureList({goblin, dead, nameOnly, bron, ana}));
        setCurrent(0);
        QVERIFY(record(new DamageEvent("Hit", ana, dead, 30, "", world().stream())));
        // Ongoing damage still burns on the dead goblin's turn start.
        addEffect(ana, dead, CE::OnGoingDamage, CE::EndOfEncounter);
        mark();
        runCommand("Next Turn");
        QCOMPARE(recorded(start), QString("NextTurnEvent OnGoingDamageEvent NextTurnEvent NextTurnEvent"));
        QCOMPARE(Global::encounter->getCurrentCreature(), bron);

        // Nobody left to act: one pass round the order, and no more.
        for (Creature* hero : {ana, bron, goblin})
            QVERIFY(record(new DamageEvent("Hit", nullptr, hero, 100, "", world().stream())));
        mark();
        runCommand("Next Turn");
        QCOMPARE(recorded(start).count("NextTurnEvent"), 5);
        QCOMPARE(Global::encounter->getCurrentCreature(), bron);
    }

    // A delayed creature whose place comes round again jumps in, with a turn end that cannot be cancelled.
    void stillDelayedComesBackByJumpIn()
    {
        setCurrent(1);
        addEffect(goblin, bron, CE::Slowed, CE::SaveEnds);
        mark();
        runCommand("Delay Turn");
        QCOMPARE(recorded(start), QString("DelayEvent NextTurnEvent"));
        QCOMPARE(Global::encounter->getCurrentCreature(), ana);
        QVERIFY(bron->isDelayed());
        runCommand("Next Turn");
        mark();
        QStringList buttons;
        PromptAnswerer answers({[&buttons](QDialog* dialog) {
            buttons = buttonTexts(dialog);
            PromptAnswerer::check({false})(dialog);
        }});
        runCommand("Next Turn");
        QCOMPARE(answers.titles, QStringList({"Saving Throws"}));
        QCOMPARE(buttons, QStringList({"OK"}));
        QCOMPARE(recorded(start), QString("JumpInEvent"));
        QCOMPARE(Global::encounter->getCurrentCreature(), bron);
        QVERIFY(!bron->isDelayed());
        roundTrip();
    }

    // Delaying makes no saving throws and ends only what is good for the delaying creature.
    void delayEndsOnlyGoodEffects()
    {
        setCurrent(1);
        Effect* bonus = addEffect(bron, ana, CE::Bonus, CE::EndOfTargetsNextTurn);
        Effect* penalty = addEffect(goblin, ana, CE::Penalty, CE::EndOfTargetsNextTurn);
        Effect* slowed = addEffect(goblin, ana, CE::Slowed, CE::SaveEnds);
        QVERIFY(nextTurnEvent());
        mark();
        PromptAnswerer answers;
        runCommand("Delay Turn");
        QCOMPARE(answers.titles, QStringList());
        QCOMPARE(recorded(start), QString("DelayEvent RemoveAtEndOfTurnEvent NextTurnEvent"));
        QCOMPARE(ana->indexOfEffect(bonus), -1);
        QVERIFY(ana->indexOfEffect(penalty) >= 0);
        QVERIFY(ana->indexOfEffect(slowed) >= 0);
        roundTrip();
    }

    // Readying ends the turn with its saving throws, without Cancel: Escape counts as OK with the boxes as they stand.
    void readyEndsTheTurn()
    {
        setCurrent(1);
        addEffect(goblin, ana, CE::Slowed, CE::SaveEnds);
        QVERIFY(nextTurnEvent());
        mark();
        QStringList buttons;
        PromptAnswerer answers({[&buttons](QDialog* dialog) {
            buttons = buttonTexts(dialog);
            dialog->findChild<QCheckBox*>()->setChecked(true);
            PromptAnswerer::escape()(dialog);
        }});
        runCommand("Ready Action");
        QCOMPARE(buttons, QStringList({"OK"}));
        QCOMPARE(recorded(start), QString("ReadyEvent RemoveOnSaveEvent NextTurnEvent"));
        QVERIFY(ana->isReady());
        QCOMPARE(Global::encounter->getCurrentCreature(), goblin);
        roundTrip();
    }

    // One waiting creature jumps in unasked; of two, the game master picks.
    void jumpIn_data()
    {
        QTest::addColumn<bool>("two");
        QTest::addColumn<QString>("events");
        QTest::newRow("one delayed") << false << QString("JumpInEvent");
        QTest::newRow("delayed and readied") << true << QString("EndReadyEvent");
    }
    void jumpIn()
    {
        QFETCH(bool, two);
        QFETCH(QString, events);
        setCurrent(1);
        runCommand("Delay Turn");
        if (two)
            runCommand("Ready Action");
        Creature* current = Global::encounter->getCurrentCreature();
        mark();
        QStringList entries;
        PromptAnswerer answers({[&entries](QDialog* dialog) {
            auto* choice = dialog->findChild<QComboBox*>();
            for (int i = 0; i < choice->count(); i++)
                entries << choice->itemText(i);
            choice->setCurrentIndex(1);
            PromptAnswerer::ok()(dialog);
        }});
        runCommand(two ? "Jump In..." : "Jump In");
        QCOMPARE(recorded(start), events);
        if (two) {
            QCOMPARE(answers.titles, QStringList({"Jump In"}));
            QCOMPARE(entries, QStringList({"Bron (Delayed)", "Ana (Ready'ed)"}));
            QCOMPARE(Global::encounter->getCurrentCreature(), current);
        } else {
            QCOMPARE(answers.titles, QStringList());
            QCOMPARE(Global::encounter->getCurrentCreature(), bron);
        }
        roundTrip();
    }

    // A dying hero's death saving throw left unmarked is a failed one.
    void unmarkedDeathSaveFails()
    {
        QVERIFY(record(new DamageEvent("Hit", goblin, ana, 28, "", world().stream())));
        QVERIFY(ana->isDying());
        mark();
        QStringList texts;
        PromptAnswerer answers({[&texts](QDialog* dialog) {
            for (QLabel* label : dialog->findChildren<QLabel*>())
                texts << label->text();
            PromptAnswerer::check({false})(dialog);
        }});
        runCommand("Next Turn");
        QVERIFY(texts.join('\n').contains("<b>Death Saving Throw</b>"));
        QCOMPARE(recorded(start), QString("FailedDeathSavingThrowEvent NextTurnEvent"));
        QCOMPARE(ana->getFailedDeathSavingThrows(), 1);
        roundTrip();
    }

    // Stop ends the encounter's effects and takes the monsters off; the heroes stay.
    void stopKeepsTheHeroes()
    {
        addEffect(goblin, ana, CE::Penalty, CE::EndOfEncounter);
        mark();
        runCommand("Stop Encounter");
        QCOMPARE(recorded(start), QString("RemoveAtEndOfEncounterEvent StopEncounterEvent RemoveCreaturesEvent"));
        QVERIFY(!Global::encounter->isRunning());
        QCOMPARE(Global::encounter->getCreatureList().getCreatureList(), QList<Creature*>({bron, ana}));
        roundTrip();
    }

    // Ongoing damage asks only with resistances or the prompt mark, regeneration only with the mark; the answer is
    // what is applied. Regeneration does nothing at 0 hit points: a dead monster stays dead and is passed over.
    void ongoingDamagePrompt_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<bool>("marked");
        QTest::addColumn<bool>("resistant");
        QTest::addColumn<int>("wounds");
        QTest::addColumn<int>("change");
        QTest::addColumn<QString>("prompt");
        QTest::addColumn<QString>("events");
        const int burning = CE::OnGoingDamage;
        const int regenerating = CE::Regeneration;
        const QString burns = "NextTurnEvent OnGoingDamageEvent";
        const QString passedOver = "NextTurnEvent NextTurnEvent";
        QTest::newRow("plain") << burning << false << false << 0 << -5 << "" << burns;
        QTest::newRow("marked") << burning << true << false << 0 << -3 << "Ongoing Damage" << burns;
        QTest::newRow("resistant") << burning << false << true << 0 << -3 << "Ongoing Damage" << burns;
        QTest::newRow("regeneration, marked")
            << regenerating << true << false << 10 << 3 << "Regeneration" << "NextTurnEvent RegenerationEvent";
        QTest::newRow("regeneration, dead") << regenerating << false << false << 20 << 0 << "" << passedOver;
        QTest::newRow("regeneration, dead, marked") << regenerating << true << false << 20 << 0 << "" << passedOver;
    }
    void ongoingDamagePrompt()
    {
        QFETCH(int, type);
        QFETCH(bool, marked);
        QFETCH(bool, resistant);
        QFETCH(int, wounds);
        QFETCH(int, change);
        QFETCH(QString, prompt);
        QFETCH(QString, events);
        if (wounds)
            QVERIFY(record(new DamageEvent("Hit", ana, goblin, wounds, "", world().stream())));
        addEffect(goblin, goblin, CE::EffectType(type), CE::EndOfEncounter, [marked](EffectDetails& details) {
            details.amount = 5;
            details.sourceName = "Flame <Jet>";
            if (marked)
                details.positive = EffectDetails::AskAmount;
        });
        if (resistant)
            addEffect(bron, goblin, CE::Resistance, CE::EndOfEncounter);
        mark();
        QString note;
        PromptAnswerer answers({[&note](QDialog* dialog) {
            for (QLabel* label : dialog->findChildren<QLabel*>())
                note += label->text();
            dialog->findChild<QSpinBox*>()->setValue(3);
            PromptAnswerer::ok()(dialog);
        }});
        const int hitPoints = goblin->getCurrHitPoints();
        runCommand("Next Turn");
        QCOMPARE(answers.titles, prompt.isEmpty() ? QStringList() : QStringList({prompt}));
        QCOMPARE(note.contains("the following adjustments may apply"), resistant);
        if (!prompt.isEmpty())
            QVERIFY(note.contains("using Flame &lt;Jet&gt;"));
        QCOMPARE(recorded(start), events);
        QCOMPARE(goblin->getCurrHitPoints(), hitPoints + change);
        roundTrip();
    }

    // Used powers come back at their owner's turn start by their usage; a recharge is one seeded roll.
    void rechargeAtTurnStart()
    {
        const QList<QPair<QString, int>> powers{{"Twice", Power::TwicePerEncounter}, {"Recharge", Power::Recharge5},
            {"Daily", Power::Daily}, {"Spent", Power::TwicePerEncounter}, {"Four", Power::FourPerEncounter}};
        for (const auto& [name, cost] : powers) {
            CreaturePower power;
            power.name = name;
            power.current.cost = cost;
            ana->getPowers().addPower(power, false);
            QVERIFY(record(new PowerUsageChangedEvent(ana, name, PowerUsageChangedEvent::Used, world().stream())));
        }
        QVERIFY(record(new PowerUsageChangedEvent(ana, QString("Spent"), PowerUsageChangedEvent::Used,
            world().stream())));
        // The demonstration cleric's encounter power, as its file stores it, stays used.
        const CreaturePower mending = TestWorld::demonstrationPower("idrel-vane.rvhn", "Word of Mending");
        QVERIFY(!mending.name.isEmpty());
        ana->getPowers().addPower(mending, false);
        QVERIFY(record(new PowerUsageChangedEvent(ana, mending.name, PowerUsageChangedEvent::Used, world().stream())));
        setCurrent(1);
        for (unsigned seed : {1u, 2u, 3u, 4u, 5u, 6u}) {
            srand(seed);
            const int roll = Global::d(6);
            mark();
            srand(seed);
            runCommand("Next Turn");
            QCOMPARE(recorded(start),
                QString("NextTurnEvent PowerUsageChangedEvent PowerUsageChangedEvent PowerUsageChangedEvent"));
            const Powers& held = ana->getPowers();
            QVERIFY(!held.getPower(0)->getUsed());
            QCOMPARE(held.getPower(1)->getUsed(), roll < 5);
            QVERIFY(held.getPower(2)->getUsed());
            QVERIFY(held.getPower(3)->getUsed());
            QVERIFY(!held.getPower(4)->getUsed());
            QVERIFY(held.getPower(5)->getUsed());
            while (Global::history->getCurrentIndex() >= start)
                Global::history->back();
            Global::history->truncate();
        }
    }

    // The log refuses from some record on: the command stops there, a turn end not recorded whole leaves the
    // turn where it was, and the model is what the log holds.
    void refusedRecordStopsTheTurn()
    {
        addEffect(ana, goblin, CE::Dazed, CE::EndOfTargetsNextTurn);
        addEffect(ana, goblin, CE::Slowed, CE::EndOfTargetsNextTurn);
        addEffect(ana, goblin, CE::Weakened, CE::EndOfTargetsNextTurn);
        QVERIFY(nextTurnEvent());
        mark();
        runCommand("Next Turn");
        const QStringList whole = recorded(start).split(' ');
        QCOMPARE(whole.join(' '), QString("RemoveAtEndOfTurnEvent RemoveAtEndOfTurnEvent RemoveAtEndOfTurnEvent "
                                          "NextTurnEvent"));
        qint64 size = 0;
        QList<qint64> ends;
        for (int i = start; i < Global::history->getEventCount(); i++)
            ends << (size += Global::history->getEvent(i)->getStreamSize());
        while (Global::history->getCurrentIndex() >= start)
            Global::history->back();
        Global::history->truncate();
        for (int k = 0; k < whole.size(); k++) {
            fixture->hooks.alerts.clear();
            {
                FullDisk full(k ? ends[k - 1] : 0);
                runCommand("Next Turn");
            }
            QCOMPARE(recorded(start), whole.mid(0, k).join(' '));
            QCOMPARE(fixture->hooks.alerts.size(), 1);
            QCOMPARE(Global::encounter->getCurrentCreature(), goblin);
            restartGivesBack();
            while (Global::history->getCurrentIndex() >= start)
                Global::history->back();
            Global::history->truncate();
        }
    }
};

RAVELHORN_TEST_MAIN(QApplication, TestTurnFlow)
#include "uitest_turnflow.moc"
