#include <QListView>
#include <QSignalSpy>
#include <QSpinBox>

#include "combat/combattesting.h"
#include "creature/creature.h"
#include "encounter/damageevents.h"
#include "encounter/effectevents.h"
#include "encounter/encounter.h"
#include "creature/effect.h"
#include "editors/creatortesting.h"
#include "encounter/history.h"
#include "library/characters.h"
#include "library/monsters.h"
#include "mainwindow/maininitiativelist.h"
#include "mainwindow/playerswindow.h"

using CombatTesting::action;
using CombatTesting::eventTexts;
using CombatTesting::hitPointBox;

namespace {

// Types the amount into the HP box as the game master does.
void typeAmount(int amount)
{
    Global::mainWindow->focusOnHitPointBox();
    QTest::keyClicks(hitPointBox(), QString::number(amount));
}

// A hand edit as the game master makes one: the hero's current hit points
// typed in the character creator's Edit Details, Tab, the creator closed.
void editInCreator(const QString& name, int hitPoints)
{
    action("Character Creator Window")->trigger();
    Creator creator(Global::characterWindow);
    QVERIFY(creator.select(name));
    Creator::type(creator.box("HP"), hitPoints);
    QTest::keyClick(creator.box("HP"), Qt::Key_Tab);
    Global::characterWindow->close();
    Global::mainWindow->activateWindow();
    QVERIFY2(QTest::qWaitForWindowActive(Global::mainWindow), "the main window did not become active again");
}

void clickHistoryRow(int row)
{
    auto* view = Global::mainWindow->findChild<QListView*>("historyWidget");
    const QModelIndex index = view->model()->index(row, 0);
    view->scrollTo(index);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(index).center());
}

}

class TestHitPointBox : public QObject
{
    Q_OBJECT

private:
    WindowWorld* fixture = nullptr;
    Creature* ana = nullptr;
    Creature* bron = nullptr;
    Creature* goblin = nullptr;

    void enterEncounter()
    {
        Global::encounter->setCreatureList(CreatureList({goblin, bron, ana}));
        Global::encounter->setCurrentIndex(0);
    }

private slots:
    void init()
    {
        fixture = new WindowWorld;
        ana = fixture->world->addHero("Ana", 28);
        bron = fixture->world->addHero("Bron", 30);
        goblin = fixture->world->addMonster("Goblin Cutter", "1", 20);
        enterEncounter();
        QVERIFY(fixture->world->stream());
    }

    void cleanup()
    {
        delete fixture;
    }

    // Each HP box command: what it records, what the box reads after it,
    // and the same model after undo and redo and after a replay of the log.
    // Hero=N is a hand edit in the character creator, Hero?N the hit points
    // shown, redo?N the events Step Forward can make again, asked?N the
    // questions answered so far (each agreed to).
    void commandsOfTheBox_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QStringList>("events");
        QTest::addColumn<int>("boxAfter");
        QTest::newRow("damage") << "7 Apply_Damage" << QStringList{"Goblin Cutter (1) -> Damaged 7: Bron, Ana"} << 7;
        QTest::newRow("Return") << "7 Return" << QStringList{"Goblin Cutter (1) -> Damaged 7: Bron, Ana"} << 7;
        QTest::newRow("healing") << "7 Apply_Healing" << QStringList{"Goblin Cutter (1) -> Healed 7: Bron, Ana"} << 0;
        QTest::newRow("temporary") << "7 Set_Temporary_HP" << QStringList{"Gained Temporary HP 7: Bron, Ana"} << 0;
        QTest::newRow("surge") << "Spend_Healing_Surge Apply_Healing" << QStringList{"Goblin Cutter (1) -> Healed 7 (-1 HS): Bron, Ana"} << 0;
        QTest::newRow("surge twice") << "Spend_Healing_Surge Spend_Healing_Surge" << QStringList{} << 0;
        QTest::newRow("Return in surge mode") << "Spend_Healing_Surge Return" << QStringList{} << 7;
        QTest::newRow("nothing selected") << "7 unselect hit heal temp" << QStringList{} << 7;
        QTest::newRow("zero") << "0 hit heal temp" << QStringList{} << 0;
        // The edit is recorded before the step back, which takes back the damage with it, the typed figure left.
        QTest::newRow("damage, a hand edit, Ctrl+Z and Ctrl+Shift+Z")
            << "select:Bron 7 Apply_Damage Ana=20 Ctrl+Z Bron?30 Ana?20 redo?2 Ctrl+Shift+Z Bron?23 redo?1 Ctrl+Shift+Z "
               "redo?0 asked?0"
            << QStringList{"Goblin Cutter (1) -> Damaged 7: Bron", "Changed Ana: Curr HP 20"} << 7;
        QTest::newRow("healing, a hand edit, Ctrl+Z and Step Forward")
            << "select:Ana Ana=20 7 Apply_Healing Bron=25 Ctrl+Z Ana?20 Bron?25 redo?2 Step_Forward Ana?27 Step_Forward "
               "redo?0 asked?0"
            << QStringList{"Changed Ana: Curr HP 20", "Goblin Cutter (1) -> Healed 7: Ana", "Changed Bron: Curr HP 25"} << 0;
        QTest::newRow("damage, a hand edit, clicks in the history")
            << "select:Bron 7 Apply_Damage Apply_Damage Ana=20 row:0 Bron?23 Ana?20 redo?2 row:2 Bron?16 redo?0 asked?0"
            << QStringList{"Goblin Cutter (1) -> Damaged 7: Bron", "Goblin Cutter (1) -> Damaged 7: Bron",
                           "Changed Ana: Curr HP 20"} << 7;
        // Recorded after the step back, the edit would end the undone damage: only once the game master agrees.
        QTest::newRow("damage, Ctrl+Z, a hand edit, Ctrl+Shift+Z")
            << "select:Bron 7 Apply_Damage Ctrl+Z Ana=20 redo?1 Ctrl+Shift+Z asked?1 Bron?30 Ana?20 redo?0"
            << QStringList{"Changed Ana: Curr HP 20"} << 7;
    }

    void commandsOfTheBox()
    {
        QFETCH(QString, steps);
        QFETCH(QStringList, events);
        QFETCH(int, boxAfter);
        Global::encounter->setSelectedCreatures({bron, ana});
        const int before = Global::history->getEventCount();
        const QString start = fixture->world->describe();
        CombatTesting::PromptAnswerer answers;
        for (const QString& step : steps.split(' ')) {
            bool isNumber = false;
            const int amount = step.toInt(&isNumber);
            const QString figure = step.section(QRegularExpression("[=?]"), 1);
            Creature* named = fixture->world->find(step.section(QRegularExpression("[=?:]"), 0, 0));
            if (isNumber)
                typeAmount(amount);
            else if (step == "Return") {
                VERIFY_FOCUS(hitPointBox());
                QTest::keyClick(hitPointBox(), Qt::Key_Return);
            }
            else if (step == "unselect")
                Global::encounter->clearSelectedCreatures();
            else if (step == "hit")
                fixture->window->onHit();
            else if (step == "heal")
                fixture->window->onHeal();
            else if (step == "temp")
                fixture->window->onSetTempHP();
            else if (step.startsWith("select:"))
                Global::encounter->setSelectedCreatures({fixture->world->find(step.mid(7))});
            else if (step.startsWith("row:"))
                clickHistoryRow(step.mid(4).toInt());
            else if (step.startsWith("Ctrl+"))
                KeyboardFocus::press(fixture->window, QKeySequence(step));
            else if (step.contains('='))
                editInCreator(named->getName(), figure.toInt());
            else if (step.startsWith("redo?")) {
                QCOMPARE(Global::history->getEventCount() - Global::history->getCurrentIndex() - 1, figure.toInt());
                QCOMPARE(action("Step Forward")->isEnabled(), figure != "0");
            } else if (step.startsWith("asked?"))
                QCOMPARE(answers.titles, QStringList(figure.toInt(), "Record Hand Edits"));
            else if (step.contains('?'))
                QVERIFY2(named->getCurrHitPoints() == figure.toInt(), qPrintable(step));
            else
                action(QString(step).replace('_', ' '))->trigger();
            if (QTest::currentTestFailed())
                return;
        }
        QCOMPARE(eventTexts(before), events);
        QCOMPARE(hitPointBox()->value(), boxAfter);
        QVERIFY(fixture->hooks.alerts.isEmpty());

        const auto enter = [this] {
            ana = fixture->world->find("Ana");
            bron = fixture->world->find("Bron");
            goblin = Global::monsters->getMonsterInstance("Goblin Cutter", "1", true);
            enterEncounter();
        };
        // Undone live, a recorded hand edit leaves the typed figures: only the replay gives back what was recorded.
        if (steps.contains('='))
            CombatTesting::checkReplay(fixture->world, enter);
        else
            CombatTesting::checkStepsAndReplay(fixture->world, events.size(), start, enter);
    }

    // A hand edit goes into the log just before the damage; the effects list removes one effect by one event.
    void handEditsAndRemovals()
    {
        Global::encounter->setSelectedCreatures({ana});
        const int before = Global::history->getEventCount();
        ana->setCurrHitPoints(20);
        Global::encounter->setCreatureEdited();
        typeAmount(7);
        action("Apply Damage")->trigger();
        const QStringList texts = eventTexts(before);
        QCOMPARE(texts.size(), 2);
        QCOMPARE(texts.last(), QString("Goblin Cutter (1) -> Damaged 7: Ana"));
        QCOMPARE(ana->getCurrHitPoints(), 13);

        EffectDetails details;
        details.origin = goblin;
        details.type = CE::Dazed;
        QVERIFY(fixture->world->record(new EffectEvent(details, {bron, ana}, fixture->world->stream())));
        fixture->window->removeCondEffect(bron, bron->getEffect(0));
        QCOMPARE(Global::history->getEventCount(), before + 4);
        QCOMPARE(bron->getEffectCount(), 0);
        QCOMPARE(ana->getEffectCount(), 1);
    }

    // The keys of every command reach it wherever the focus is: the HP box's
    // own undo, redo, select-all and cut give way to the window's commands,
    // and the players' window, once shown, leaves the keyboard where it was.
    void commandKeysWinOverTheFocus_data()
    {
        QTest::addColumn<bool>("inBox");
        QTest::addColumn<bool>("playersShown");
        QTest::newRow("HP box") << true << false;
        QTest::newRow("initiative table") << false << false;
        QTest::newRow("HP box, the players' window just shown") << true << true;
    }
    void commandKeysWinOverTheFocus()
    {
        QFETCH(bool, inBox);
        QFETCH(bool, playersShown);
        QWidget* focus = inBox ? static_cast<QWidget*>(hitPointBox()) : fixture->window->findChild<MainInitiativeList*>();
        focus->setFocus(Qt::OtherFocusReason);
        if (playersShown) {
            // The offscreen platform activates every window it shows, a bare X display none: only a window
            // manager decides as a desktop does.
            if (qEnvironmentVariableIsEmpty("RAVELHORN_WINDOW_MANAGER"))
                QSKIP("No window manager runs (tests/support/underwindowmanager.sh runs one).");
            action("Show Player's Window")->trigger();
            QVERIFY(QTest::qWaitForWindowExposed(Global::playersWindow));
            // What the window manager made of the new window reaches the program first.
            QGuiApplication::sync();
            QCOMPARE(QApplication::activeWindow(), fixture->window);
        }
        // The keys go where the window system sends them: to the focus of the active window.
        const auto press = [this, focus](QAction* command) {
            focus->setFocus(Qt::OtherFocusReason);
            command->setEnabled(true);
            KeyboardFocus::press(fixture->window, command->shortcut());
        };
        Global::encounter->setSelectedCreatures({ana});
        QVERIFY(fixture->world->record(new DamageEvent("Hit", goblin, ana, 5, "", fixture->world->stream())));
        const int current = Global::history->getCurrentIndex();
        typeAmount(7);
        press(action("Step Back"));
        QCOMPARE(Global::history->getCurrentIndex(), current - 1);
        QCOMPARE(ana->getCurrHitPoints(), 28);
        press(action("Step Forward"));
        QCOMPARE(Global::history->getCurrentIndex(), current);
        QCOMPARE(hitPointBox()->value(), 7);

        QStringList deaf;
        for (QAction* command : fixture->window->findChildren<QAction*>()) {
            if (command->shortcut().isEmpty())
                continue;
            // Only whether the keys reach the command: what it does is tested with it.
            QObject::disconnect(command, &QAction::triggered, fixture->window, nullptr);
            QSignalSpy triggered(command, &QAction::triggered);
            press(command);
            if (triggered.count() != 1)
                deaf.append(command->shortcut().toString());
        }
        QVERIFY2(deaf.isEmpty(), qPrintable("deaf: " + deaf.join(", ")));
        QCOMPARE(hitPointBox()->text(), QString("7"));
    }

    // A log that cannot take the record leaves the fight, the box and surge mode as they were.
    void unwritableLogChangesNothing()
    {
        Global::encounter->setSelectedCreatures({bron, ana});
        action("Spend Healing Surge")->trigger();
        const QString start = fixture->world->describe();
        const int events = Global::history->getEventCount();
        {
            FullDisk full;
            action("Apply Healing")->trigger();
        }
        QCOMPARE(fixture->world->describe(), start);
        QCOMPARE(Global::history->getEventCount(), events);
        QCOMPARE(fixture->hooks.alerts.size(), 1);
        QVERIFY(fixture->hooks.alerts.first().startsWith("Cannot Write History File"));
        // The box still holds the surge; a second try on a free disk spends it.
        QCOMPARE(hitPointBox()->value(), 7);
        action("Apply Healing")->trigger();
        QCOMPARE(eventTexts(events), QStringList{"Goblin Cutter (1) -> Healed 7 (-1 HS): Bron, Ana"});
    }
};

RAVELHORN_TEST_MAIN(QApplication, TestHitPointBox)
#include "uitest_hitpointbox.moc"
