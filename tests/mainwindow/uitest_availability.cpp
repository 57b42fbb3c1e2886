#include <QSpinBox>

#include "combat/combattesting.h"
#include "combat/pickmonsterdialog.h"
#include "creature/creature.h"
#include "encounter/encounter.h"
#include "library/monsters.h"
#include "support/randomfight.h"

using CombatTesting::action;

namespace {

// What an action shows, to see whether it changed.
QString state(QAction* action)
{
    return QString("%1 %2|%3|%4|%5|%6")
        .arg(action->text())
        .arg(action->isEnabled())
        .arg(action->toolTip(), action->statusTip())
        .arg(action->icon().cacheKey())
        .arg(action->icon().pixmap(16).toImage().pixel(8, 8));
}

QStringList playActionStates()
{
    QStringList states;
    for (const char* text : {"Stop Encounter", "Start Encounter", "Next Turn", "Delay Turn", "Ready Action", "Jump In",
                             "Jump In...", "Short Rest...", "Extended Rest", "Conditions && Effects...", "Hide Creatures",
                             "Show Creatures", "Set Alias", "Remove Creatures", "Up Initiative", "Down Initiative",
                             "Apply Damage", "Apply Healing", "Spend Healing Surge", "Set Temporary HP"})
        for (QAction* menu : Global::mainWindow->menuBar()->actions())
            if (menu->menu())
                for (QAction* entry : menu->menu()->actions())
                    if (entry->text() == text)
                        states << state(entry);
    return states;
}

bool iconIs(QAction* action, const char* image)
{
    return action->icon().pixmap(32).toImage() == QIcon(QString(":/images/") + image).pixmap(32).toImage();
}

}

class TestAvailability : public QObject
{
    Q_OBJECT

private:
    WindowWorld* fixture = nullptr;

private slots:
    void init() { fixture = new WindowWorld; }
    void cleanup() { delete fixture; }

    // Every combination of fight, selection, box and panel against what the play commands offer.
    void commandsFollowTheFight()
    {
        TestWorld* world = fixture->world;
        Creature* ana = world->addHero("Ana", 28);
        Creature* cara = world->addHero("Cara", 28);
        Creature* dag = world->addHero("Dag", 40);
        Creature* eve = world->addHero("Eve", 28, 0);
        Creature* goblin = world->addMonster("Goblin Cutter", "1", 20);
        goblin->setHidden(true);
        const QList<QPair<QString, QList<Creature*>>> selections{{"none", {}}, {"one", {ana}}, {"equal", {ana, cara}},
            {"unequal", {ana, dag}}, {"no surges", {cara, eve}}, {"hidden first", {goblin, ana}}};
        int checked = 0;
        for (const QString& fight : {"no living hero", "stopped", "running"}) {
            const bool heroes = fight != QString("no living hero");
            const bool running = fight == QString("running");
            Global::encounter->setCreatureList(
                heroes ? CreatureList({goblin, ana, cara, dag, eve}) : CreatureList({goblin}));
            Global::encounter->setCurrentIndex(running ? 0 : -1);
            // As the events that bring creatures in or start the fight do.
            fixture->window->toggleStartStopNextButtons();
            for (const auto& selection : selections) {
                for (const QString& box : {"0", "7", "surge"}) {
                    for (bool panel : {false, true}) {
                        const QList<Creature*> selected = heroes || selection.second.isEmpty()
                            ? selection.second : QList<Creature*>{goblin};
                        Global::encounter->setSelectedCreatures(selected);
                        // Through 0, which ends any surge mode left from before.
                        CombatTesting::hitPointBox()->setValue(0);
                        CombatTesting::hitPointBox()->setValue(box == "7" ? 7 : 0);
                        if (box == "surge")
                            fixture->window->onSurge();
                        const QString row = QString("%1, %2, box %3, panel %4").arg(fight, selection.first, box).arg(panel);
                        auto check = [&] {
                            const bool open = !panel;
                            const bool any = !selected.isEmpty();
                            bool spendable = any;
                            for (Creature* c : selected)
                                spendable = spendable && c->getSurgeValue() == selected.first()->getSurgeValue()
                                            && c->getCurrHealingSurges() > 0;
                            const int value = CombatTesting::hitPointBox()->value();
                            const bool surgeMode = box == "surge" && spendable && value > 0;
                            QAction* startStop = action(running ? "Stop Encounter" : "Start Encounter");
                            QVERIFY2(startStop->isEnabled() == (open && (running || heroes)), qPrintable(row));
                            QCOMPARE(startStop->toolTip(), running ? QString("Stop Encounter")
                                                           : heroes ? QString("Start Encounter")
                                                                    : QString("Select a Party to Start Encounter"));
                            QVERIFY2(iconIs(startStop, running ? "stop32.png" : "play32.png"), qPrintable(row));
                            QVERIFY2(action("Next Turn")->isEnabled() == (open && running), qPrintable(row));
                            QVERIFY2(iconIs(action("Next Turn"), open && running ? "next-turn32.png" : "next-turn-grey32.png"),
                                qPrintable(row));
                            QVERIFY2(action("Short Rest...")->isEnabled() == (open && !running && heroes), qPrintable(row));
                            QVERIFY2(action("Conditions && Effects...")->isEnabled() == open, qPrintable(row));
                            const bool hidden = any && selected.first()->isHidden();
                            QAction* showHide = action(hidden ? "Show Creatures" : "Hide Creatures");
                            QCOMPARE(showHide->toolTip(), QString(hidden ? "Show Creatures Ctrl+H" : "Hide Creatures Ctrl+H"));
                            QVERIFY2(iconIs(showHide, hidden ? "show32.png" : "hide32.png"), qPrintable(row));
                            QVERIFY2(showHide->isEnabled() == (open && any), qPrintable(row));
                            QVERIFY2(action("Remove Creatures")->isEnabled() == (open && any), qPrintable(row));
                            QVERIFY2(action("Spend Healing Surge")->isEnabled() == (open && spendable), qPrintable(row));
                            QVERIFY2(iconIs(action("Spend Healing Surge"),
                                         surgeMode ? "healing-surge-x1-32.png" : "healing-surge32.png"), qPrintable(row));
                            const bool amount = any && value > 0;
                            QVERIFY2(action("Apply Damage")->isEnabled() == (open && amount && !surgeMode), qPrintable(row));
                            QVERIFY2(action("Apply Healing")->isEnabled() == (open && amount), qPrintable(row));
                            QVERIFY2(action("Set Temporary HP")->isEnabled() == (open && amount), qPrintable(row));
                            QVERIFY2(action("Up Initiative")->isEnabled() == (open && any && running), qPrintable(row));
                            checked++;
                        };
                        if (panel) {
                            PickMonsterDialog dialog;
                            CombatTesting::runPanel(dialog, [&] {
                                check();
                                dialog.reject();
                            });
                        } else {
                            check();
                        }
                        if (QTest::currentTestFailed())
                            return;
                    }
                }
            }
        }
        QCOMPARE(checked, 3 * 6 * 3 * 2);
    }

    // Jump In counts the creatures that delayed or readied.
    void jumpInFollowsTheWaiting()
    {
        TestWorld* world = fixture->world;
        Creature* ana = world->addHero("Ana", 28);
        Creature* bron = world->addHero("Bron", 28);
        Global::encounter->setCreatureList(CreatureList({ana, bron}));
        QStringList seen;
        for (auto waiting : {QList<Creature*>{}, {ana}, {ana, bron}}) {
            ana->setDelayed(waiting.contains(ana));
            bron->setReady(waiting.contains(bron));
            fixture->window->toggleJumpInButton();
            QAction* jumpIn = action(waiting.size() > 1 ? "Jump In..." : "Jump In");
            seen << QString("%1 %2").arg(jumpIn->toolTip()).arg(jumpIn->isEnabled());
        }
        QCOMPARE(seen, (QStringList{"Jump In Ctrl+J 0", "Jump In Ctrl+J 1", "Jump In... Ctrl+J 1"}));
    }

    // Whatever the fight did, the buttons already say what it allows.
    void togglesHaveNothingLeftToDo()
    {
        srand(19);
        RandomFight fight(*fixture->world);
        fight.enterEncounter();
        for (int step = 0; step < 400; step++) {
            fight.step();
            const QStringList before = playActionStates();
            fixture->window->toggleStartStopNextButtons();
            fixture->window->toggleJumpInButton();
            QCOMPARE(playActionStates(), before);
        }
    }
};

RAVELHORN_TEST_MAIN(QApplication, TestAvailability)
#include "uitest_availability.moc"
