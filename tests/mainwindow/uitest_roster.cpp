// Who stands in the fight and how: removal, hiding, aliases and the order,
// through the main window's commands and the real history log.
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDockWidget>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>

#include "combat/combattesting.h"
#include "combat/setaliasdialog.h"
#include "combat/shortrestdialog.h"
#include "creature/creature.h"
#include "encounter/encounter.h"
#include "encounter/damageevents.h"
#include "encounter/effectevents.h"
#include "encounter/history.h"
#include "encounter/powerevents.h"
#include "encounter/rosterevents.h"
#include "library/monsters.h"
#include "mainwindow/creaturewidget.h"
#include "mainwindow/maininitiativelist.h"
#include "mainwindow/statblocktesting.h"
#include "support/randomfight.h"
#include "toolkit/dynamicwidgets.h"

using CombatTesting::action;
using CombatTesting::eventTexts;
using CombatTesting::whenOpen;

namespace {

// "Name" without alias, "Name=alias" showing it, "Name~alias" hiding it.
QString aliasState(Creature* creature)
{
    if (creature->getAlias().isEmpty())
        return creature->getNameGroup();
    return creature->getNameGroup() + (creature->isShowAlias() ? "=" : "~") + creature->getAlias();
}

// Recorded, so that a restart gives it back.
void recordAliasState(Creature* creature, const QString& state)
{
    const int at = state.indexOf(QRegularExpression("[=~]"));
    if (at >= 0)
        QVERIFY(Global::history->apply(
            new SetAliasEvent(creature, state[at] == '=', state.mid(at + 1), Global::history->getStream(false)), false));
}

// Answers the alias dialog: "type:TEXT", "toggle", then "ok", "remove" or "cancel"; a
// disabled "Remove Alias" leaves it to be cancelled.
void answerAliasDialog(const QString& steps)
{
    whenOpen<SetAliasDialog>([steps](SetAliasDialog* dialog) {
        for (const QString& step : steps.split(' ')) {
            if (step.startsWith("type:"))
                QTest::keyClicks(dialog->getAliasEdit(), step.mid(5));
            else if (step == "toggle")
                dialog->getEnableCheck()->click();
            else if (step == "remove")
                QTest::mouseClick(dialog->getRemoveButton(), Qt::LeftButton);
            else
                dialog->findChild<QDialogButtonBox*>()
                    ->button(step == "ok" ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel)
                    ->click();
        }
        if (dialog->isVisible())
            dialog->reject();
    });
}

// The last stat-block label of the selected-creatures dock whose text holds the part.
DynamicLabel* selectedDockLabel(const QString& part)
{
    emit Global::switchBoard.doRefreshTimer();
    DynamicLabel* found = nullptr;
    for (QDockWidget* dock : Global::mainWindow->findChildren<QDockWidget*>("selectedWidget"))
        for (DynamicLabel* label : dock->findChildren<DynamicLabel*>())
            if (label->text().contains(part))
                found = label;
    return found;
}

// Answers the ongoing-damage prompts with 3 and notes whom they asked about.
class OngoingAnswers : public CapturingHooks
{
public:
    int promptForOngoingEffect(Creature* creature, Effect*, int) override
    {
        asked << creature->getNameGroup();
        return 3;
    }

    QStringList asked;
};

}

class TestRoster : public QObject
{
    Q_OBJECT

private:
    WindowWorld* fixture = nullptr;
    Creature* ana = nullptr;
    Creature* bron = nullptr;
    Creature* goblin = nullptr;
    Creature* orc = nullptr;
    // The encounter runs with this creature current (-1: stopped).
    int currentIndex = -1;

    void enterEncounter()
    {
        ana = fixture->world->find("Ana");
        bron = fixture->world->find("Bron");
        goblin = Global::monsters->getMonsterInstance("Goblin Cutter", "1", true);
        orc = Global::monsters->getMonsterInstance("Orc Raider", "1", true);
        Global::encounter->setCreatureList(CreatureList({goblin, ana, orc, bron}));
        Global::encounter->setCurrentIndex(currentIndex);
    }

    void roundTrip(int from, const QString& start)
    {
        CombatTesting::checkStepsAndReplay(fixture->world, Global::history->getEventCount() - from, start,
                                           [this] { enterEncounter(); });
    }

    QList<Creature*> creatures(const QString& names) const
    {
        QList<Creature*> list;
        for (const QString& name : names.split(' ', Qt::SkipEmptyParts))
            list << QMap<QString, Creature*>{{"ana", ana}, {"bron", bron}, {"goblin", goblin}, {"orc", orc}}.value(name);
        return list;
    }

private slots:
    void init()
    {
        fixture = new WindowWorld;
        // With an initiative bonus the heroes take their turns.
        for (Creature* hero : {fixture->world->addHero("Ana", 28), fixture->world->addHero("Bron", 30)}) {
            TestWorld::giveInitiativeBonus(hero);
        }
        fixture->world->addMonster("Goblin Cutter", "1", 20);
        fixture->world->addMonster("Orc Raider", "1", 30);
        currentIndex = -1;
        enterEncounter();
        QVERIFY(fixture->world->stream());
    }

    void cleanup()
    {
        delete fixture;
    }

    // Set Alias on the selection, answered in the dialog: who gets an event, and what each shows after.
    void setAlias_data()
    {
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QStringList>("events");
        QTest::addColumn<QStringList>("after");
        QTest::newRow("remove only where there is one")
            << QStringList{"Ana=Shade", "Bron", "Goblin Cutter (1)~Nick"} << "remove"
            << QStringList{"Ana: Remove Alias", "Goblin Cutter (1): Remove Alias"}
            << QStringList{"Ana", "Bron", "Goblin Cutter (1)"};
        QTest::newRow("no text shows the aliases there are")
            << QStringList{"Ana~Shade", "Bron", "Goblin Cutter (1)=Nick"} << "toggle ok"
            << QStringList{"Ana: Show Alias: Shade", "Goblin Cutter (1): Show Alias: Nick"}
            << QStringList{"Ana=Shade", "Bron", "Goblin Cutter (1)=Nick"};
        QTest::newRow("no text, unchecked, hides them")
            << QStringList{"Ana=Shade", "Bron", "Goblin Cutter (1)"} << "toggle ok"
            << QStringList{"Ana: Hide Alias"} << QStringList{"Ana~Shade", "Bron", "Goblin Cutter (1)"};
        QTest::newRow("a new text for everyone")
            << QStringList{"Ana", "Bron=Rook", "Goblin Cutter (1)"} << "type:Masks ok"
            << QStringList{"Ana: Show Alias: Masks", "Bron: Show Alias: Masks", "Goblin Cutter (1): Show Alias: Masks"}
            << QStringList{"Ana=Masks", "Bron=Masks", "Goblin Cutter (1)=Masks"};
        QTest::newRow("Cancel") << QStringList{"Ana", "Bron=Rook", "Goblin Cutter (1)"} << "type:Masks cancel"
                                << QStringList{} << QStringList{"Ana", "Bron=Rook", "Goblin Cutter (1)"};
    }

    void setAlias()
    {
        QFETCH(QStringList, before);
        QFETCH(QString, answer);
        QFETCH(QStringList, events);
        QFETCH(QStringList, after);
        const QList<Creature*> chosen{ana, bron, goblin};
        for (int i = 0; i < chosen.size(); i++)
            recordAliasState(chosen[i], before[i]);
        Global::encounter->setSelectedCreatures(chosen);
        const QString start = fixture->world->describe();
        const int from = Global::history->getEventCount();
        answerAliasDialog(answer);
        CombatTesting::runCommand("Set Alias");
        QCOMPARE(eventTexts(from), events);
        QStringList states;
        for (Creature* creature : chosen)
            states << aliasState(creature);
        QCOMPARE(states, after);
        roundTrip(from, start);
    }

    // Switching the showing records only for the creatures whose showing changes.
    void showAliases()
    {
        recordAliasState(ana, "Ana~Shade");
        recordAliasState(bron, "Bron=Rook");
        const int from = Global::history->getEventCount();
        const QString start = fixture->world->describe();
        fixture->window->showAliases({ana, bron, goblin}, true);
        QCOMPARE(eventTexts(from), QStringList{"Ana: Show Alias: Shade"});
        fixture->window->showAliases({ana, bron, goblin}, false);
        QCOMPARE(eventTexts(from + 1), (QStringList{"Ana: Hide Alias", "Bron: Hide Alias"}));
        roundTrip(from, start);
    }

    // The alias line of the selected creature's stat block: the mark switches the showing, the name opens the dialog.
    void statBlockAliasLine()
    {
        recordAliasState(goblin, "Goblin Cutter (1)~Nick");
        Global::encounter->setSelectedCreatures({goblin});
        const int from = Global::history->getEventCount();
        QPointer<DynamicLabel> mark = selectedDockLabel("untick.png");
        QVERIFY(mark);
        QTest::mouseClick(mark, Qt::LeftButton);
        runQueuedClicks();
        QCOMPARE(aliasState(goblin), QString("Goblin Cutter (1)=Nick"));
        QPointer<DynamicLabel> name = selectedDockLabel("<i>Nick</i>");
        QVERIFY(name);
        answerAliasDialog("type:Grik ok");
        QTest::mouseClick(name, Qt::LeftButton);
        QTRY_COMPARE(aliasState(goblin), QString("Goblin Cutter (1)=Grik"));
        runQueuedClicks();
        QCOMPARE(eventTexts(from), (QStringList{"Goblin Cutter (1): Show Alias: Nick", "Goblin Cutter (1): Show Alias: Grik"}));
    }

    // What Remove Creatures records for the selection, and undo gives back the order, round and current creature.
    // Bron burns: the turn that passes to him asks how much.
    void remove_data()
    {
        QTest::addColumn<int>("current");
        QTest::addColumn<QString>("selection");
        QTest::addColumn<QStringList>("events");
        QTest::addColumn<QString>("order");
        QTest::addColumn<QStringList>("asked");
        QTest::newRow("stopped") << -1 << "ana orc" << QStringList{"Removed: Ana, Orc Raider (1)"}
                                 << "Goblin Cutter (1), Bron" << QStringList{};
        QTest::newRow("the current among others")
            << 2 << "ana orc"
            << QStringList{"Removed: Ana", "* Next Turn: Bron *", "Ongoing Damage 3 (fire): Bron",
                           "Removed Current: Orc Raider (1)"}
            << "Goblin Cutter (1), Bron" << QStringList{"Bron"};
        QTest::newRow("the current alone") << 0 << "goblin"
                                           << QStringList{"* Next Turn: Ana *", "Removed Current: Goblin Cutter (1)"}
                                           << "Ana, Orc Raider (1), Bron" << QStringList{};
        QTest::newRow("everyone, no turn") << 2 << "goblin ana orc bron"
                                           << QStringList{"Removed: Goblin Cutter (1), Ana, Orc Raider (1), Bron"} << ""
                                           << QStringList{};
    }

    void remove()
    {
        QFETCH(int, current);
        QFETCH(QString, selection);
        QFETCH(QStringList, events);
        QFETCH(QString, order);
        QFETCH(QStringList, asked);
        currentIndex = current;
        enterEncounter();
        EffectDetails burning;
        burning.origin = goblin;
        burning.type = CE::OnGoingDamage;
        burning.endCondition = CE::SaveEnds;
        burning.amount = 5;
        burning.comment = "fire";
        burning.positive = EffectDetails::AskAmount;
        QVERIFY(fixture->world->record(new EffectEvent(burning, {bron}, fixture->world->stream())));
        Global::encounter->setSelectedCreatures(creatures(selection));
        const QString start = fixture->world->describe();
        const int from = Global::history->getEventCount();
        {
            auto restoreHooks = qScopeGuard([this] { Global::setUiHooks(&fixture->hooks); });
            OngoingAnswers hooks;
            action("Remove Creatures")->trigger();
            QCOMPARE(hooks.asked, asked);
        }
        QCOMPARE(eventTexts(from), events);
        QCOMPARE(Global::encounter->getCreatureList().getNameList(), order);
        roundTrip(from, start);
    }

    // A click on the dead current creature's icon in the initiative table
    // reaches the removal: the turn passes, then it leaves.
    void removeFromTheTable()
    {
        currentIndex = 2;
        enterEncounter();
        fixture->window->updateMainInitiativeList();
        QVERIFY(fixture->world->record(new DamageEvent("Hit", goblin, orc, 60, "", fixture->world->stream())));
        QVERIFY(orc->isDead(false));
        auto* table = fixture->window->findChild<MainInitiativeList*>();
        QTRY_COMPARE(table->rowCount(), 4);
        const QString start = fixture->world->describe();
        const int from = Global::history->getEventCount();
        QTest::mouseClick(table->cellWidget(2, MainInitiativeList::IconColumn), Qt::LeftButton, {}, QPoint(4, 4));
        QTRY_COMPARE(eventTexts(from), (QStringList{"* Next Turn: Bron *", "Removed Current: Orc Raider (1)"}));
        QTRY_COMPARE(table->rowCount(), 3);
        roundTrip(from, start);
    }

    // Hide/show swaps each creature; Up and Down move round the ends; nothing selected records nothing.
    void orderAndVisibility_data()
    {
        QTest::addColumn<QString>("selection");
        QTest::addColumn<QString>("command");
        QTest::addColumn<QStringList>("events");
        QTest::addColumn<QString>("order");
        QTest::newRow("mixed hide and show") << "orc goblin" << "Show Creatures"
                                             << QStringList{"Show Orc Raider (1)", "Hide Goblin Cutter (1)"}
                                             << "Goblin Cutter (1), Ana, Orc Raider (1), Bron";
        // The first moved up and the last moved down swap places.
        QTest::newRow("up from the first") << "goblin" << "Up Initiative" << QStringList{"Initiative -1: Goblin Cutter (1)"}
                                           << "Bron, Ana, Orc Raider (1), Goblin Cutter (1)";
        QTest::newRow("down from the last") << "bron" << "Down Initiative" << QStringList{"Initiative +1: Bron"}
                                            << "Bron, Ana, Orc Raider (1), Goblin Cutter (1)";
        QTest::newRow("nothing selected") << "" << "adjust" << QStringList{}
                                          << "Goblin Cutter (1), Ana, Orc Raider (1), Bron";
    }

    void orderAndVisibility()
    {
        QFETCH(QString, selection);
        QFETCH(QString, command);
        QFETCH(QStringList, events);
        QFETCH(QString, order);
        currentIndex = 1;
        enterEncounter();
        QVERIFY(fixture->world->record(new ShowHideEvent(orc, true, fixture->world->stream())));
        Global::encounter->setSelectedCreatures(creatures(selection));
        const QString start = fixture->world->describe();
        const int from = Global::history->getEventCount();
        if (command == "adjust")
            fixture->window->adjustSelectedCreaturesInitiative(1);
        else
            action(command)->trigger();
        QCOMPARE(eventTexts(from), events);
        QCOMPARE(Global::encounter->getCreatureList().getNameList(), order);
        roundTrip(from, start);
    }

    // Each command stops at the first record the log refuses, its pending hand edit included,
    // and leaves the model as the log holds it.
    void refusals_data()
    {
        QTest::addColumn<QString>("command");
        for (const char* command : {"hide", "alias", "show aliases", "remove", "up", "short rest", "extended rest"})
            QTest::newRow(command) << QString(command);
    }

    void refusals()
    {
        QFETCH(QString, command);
        const bool rest = command.endsWith("rest");
        currentIndex = rest ? -1 : 2;
        enterEncounter();
        for (const char* power : {"Jab", "Burst"}) {
            CreaturePower used;
            used.name = power;
            used.current.cost = Power::OncePerEncounter;
            ana->getPowers().addPower(used, false);
            QVERIFY(fixture->world->record(
                new PowerUsageChangedEvent(ana, power, PowerUsageChangedEvent::Used, fixture->world->stream())));
        }
        recordAliasState(goblin, "Goblin Cutter (1)~Nick");
        recordAliasState(orc, "Orc Raider (1)=Grok");
        fixture->window->toggleStartStopNextButtons();
        // The slots themselves: a restart leaves the window's actions on the encounter before it.
        MainWindow* window = fixture->window;
        auto run = [&] {
            ana->setCurrHitPoints(11);
            Global::encounter->setCreatureEdited();
            Global::encounter->setSelectedCreatures({goblin, orc});
            if (command == "hide")
                window->onShowAndHide();
            else if (command == "alias") {
                answerAliasDialog("type:Masks ok");
                window->onSetAlias();
                QCoreApplication::sendPostedEvents(window, QEvent::MetaCall);
            } else if (command == "show aliases")
                window->showAliases({goblin, orc}, true);
            else if (command == "remove")
                window->onRemoveCreatures();
            else if (command == "up")
                window->onUpInitiative();
            else if (command == "short rest") {
                whenOpen<ShortRestDialog>([](ShortRestDialog* panel) {
                    panel->getMilestoneBox()->click();
                    panel->accept();
                });
                window->onShortRest();
                QCoreApplication::sendPostedEvents(window, QEvent::MetaCall);
            } else
                window->onExtendedRest();
        };
        const int from = Global::history->getEventCount();
        QList<int> ends{Global::history->getStream(false)->getOffset()};
        run();
        const int count = Global::history->getEventCount() - from;
        QVERIFY2(count >= 2, qPrintable(eventTexts(from).join('\n')));
        for (int i = 0; i < count; i++)
            ends.append(ends.last() + Global::history->getEvent(from + i)->getStreamSize());
        for (int i = 0; i < count; i++)
            Global::history->back();
        Global::history->truncate();
        for (int k = 1; k <= count; k++) {
            fixture->hooks.alerts.clear();
            {
                // The log ends with two zero bytes, which still fit after the last record allowed.
                FullDisk full(ends[k - 1] + 2 - QFileInfo(Global::history->getLogPath()).size());
                run();
            }
            QCOMPARE(Global::history->getEventCount() - from, k - 1);
            QCOMPARE(fixture->hooks.alerts.size(), 1);
            QVERIFY(fixture->hooks.alerts.first().startsWith("Cannot Write History File"));
            // A refused hand edit stays to be recorded; the log knows nothing of it.
            if (k == 1) {
                QCOMPARE(ana->getCurrHitPoints(), 11);
                QVERIFY(Global::encounter->isCreatureEdited());
                ana->setCurrHitPoints(ana->getBeforeVitality().hitPoints);
            }
            const QString live = fixture->world->describe();
            QVERIFY(fixture->world->restart([this] { enterEncounter(); }));
            QVERIFY2(fixture->world->describe() == live, qPrintable(TestWorld::difference(live, fixture->world->describe())));
            for (int i = 1; i < k; i++)
                Global::history->back();
            Global::history->truncate();
        }
    }

    // A restart after an extended rest records nothing but the next command itself.
    void restartRecordsNothingNew()
    {
        ana->setCurrHitPoints(20);
        Global::encounter->setCreatureEdited();
        fixture->window->toggleStartStopNextButtons();
        action("Extended Rest")->trigger();
        QCOMPARE(eventTexts(0).size(), 2);
        QVERIFY(fixture->world->restart([this] { enterEncounter(); }));
        const int from = Global::history->getEventCount();
        Global::encounter->setSelectedCreatures({orc});
        fixture->window->onShowAndHide();
        QCOMPARE(eventTexts(from), QStringList{"Hide Orc Raider (1)"});
    }

    void randomFight_data()
    {
        RandomFight::addSeedRows({3u, 17u, 2024u});
    }

    // The random fight with these commands among the others: the log replayed after a restart gives back the fight.
    void randomFight()
    {
        QFETCH(unsigned, seed);
        srand(seed);
        // Turn starts ask headless: the turn prompts have tests of their own.
        auto restoreHooks = qScopeGuard([this] { Global::setUiHooks(&fixture->hooks); });
        RecordingUiHooks headless;
        RandomFight fight(*fixture->world, true, 3, 4);
        auto some = [] {
            QList<Creature*> chosen;
            for (Creature* c : Global::encounter->getCreatureList().getCreatureList())
                if (rand() % 3 == 0)
                    chosen << c;
            Global::encounter->setSelectedCreatures(chosen);
            return chosen;
        };
        MainWindow* window = fixture->window;
        fight.addWindowCommand([=] {
            some();
            window->onShowAndHide();
        });
        fight.addWindowCommand([=] {
            if (some().isEmpty())
                return;
            const char* answers[] = {"type:Shade ok", "ok", "toggle ok", "remove", "cancel"};
            answerAliasDialog(answers[rand() % 5]);
            window->onSetAlias();
            QCoreApplication::sendPostedEvents(window, QEvent::MetaCall);
        });
        fight.addWindowCommand([=] {
            const bool show = rand() % 2;
            window->showAliases(some(), show);
        });
        fight.addWindowCommand([=] {
            if (Global::encounter->getCreatureCount() > 3 && some().size() < 3)
                window->removeSelectedCreatures();
        });
        fight.addWindowCommand([=] {
            const int places = rand() % 2 ? 1 : -1;
            if (Global::encounter->isRunning() && !some().isEmpty())
                window->adjustSelectedCreaturesInitiative(places);
        });
        fight.addWindowCommand([=] {
            window->toggleStartStopNextButtons();
            if (!action("Short Rest...")->isEnabled())
                return;
            const int surges = rand() % 3;
            const int extra = rand() % 10;
            const bool milestone = rand() % 2;
            whenOpen<ShortRestDialog>([=](ShortRestDialog* panel) {
                for (const ShortRestControls& row : panel->getRows()) {
                    row.surges->setValue(surges);
                    row.extraHitPoints->setValue(extra);
                }
                panel->getMilestoneBox()->setChecked(milestone);
                panel->accept();
            });
            CombatTesting::runCommand("Short Rest...");
        });
        fight.addWindowCommand([=] {
            window->toggleStartStopNextButtons();
            action("Extended Rest")->trigger();
        });
        for (int i = 0; i < 300; i++) {
            fight.step();
            if (QTest::currentTestFailed())
                return;
            if (i % 100 == 99) {
                if (Global::history->getCurrentEvent())
                    Global::encounter->writeVitalityChanges(Global::history->getStream(false));
                while (Global::history->hasForward())
                    fight.stepInHistory(true);
                const QString live = fixture->world->describe();
                QVERIFY(fixture->world->restart([&fight] {
                    // Out of the fight, but described: they come back as they were.
                    Global::monsters->getMonsterInstance("Goblin Cutter", "1", true);
                    Global::monsters->getMonsterInstance("Orc Raider", "1", true);
                    fight.enterEncounter();
                }));
                QVERIFY2(fixture->world->describe() == live, qPrintable(TestWorld::difference(live, fixture->world->describe())));
            }
        }
    }
};

RAVELHORN_TEST_MAIN(QApplication, TestRoster)
#include "uitest_roster.moc"
