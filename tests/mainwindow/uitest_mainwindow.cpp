#include <QSettings>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>
#include <QTextEdit>

#include "app/windowhooks.h"
#include "combat/effectdialog.h"
#include "combat/initiativedialog.h"
#include "combat/pickcharactersdialog.h"
#include "combat/pickencounterdialog.h"
#include "combat/pickmonsterdialog.h"
#include "creature/creature.h"
#include "editors/managerwindow.h"
#include "encounter/damageevents.h"
#include "encounter/encounter.h"
#include "encounter/encounterevents.h"
#include "library/characters.h"
#include "library/monsters.h"
#include "mainwindow/maininitiativelist.h"
#include "mainwindow/playerswindow.h"
#include "mainwindow/mainwindowtesting.h"
#include "support/cuttexts.h"
#include "support/testsupport.h"

namespace {

const QStringList plainActions{"Select Data Location...", "Import Language File...", "Clear History...", "Truncate...",
                               "&Quit", "About"};

// Closes the dock with the button in its title bar (a floating one's is the
// window system's close box), which the Window menu does not see.
void closeByButton(QDockWidget* dock)
{
    auto* button = dock->findChild<QAbstractButton*>("qt_dockwidget_closebutton");
    QVERIFY(button);
    if (dock->isFloating())
        dock->close();
    else
        button->click();
    QVERIFY(dock->isHidden());
}

// The game master works in the monster manager for a while, then comes back.
void visitEditor(MainWindow* window, const std::function<void()>& meanwhile = nullptr)
{
    window->toggleActiveWindow(Global::managerWindow);
    if (meanwhile)
        meanwhile();
    window->toggleActiveWindow(window);
}

// The demonstration party against goblins, a rat swarm and a hound; the first hero is dying.
bool startDemonstrationFight()
{
    QList<Creature*> everyone;
    InitiativeList heroRolls;
    for (const char* name : {"Brannoc Ashfield", "Wren Talloway", "Idrel Vane", "Oriel Fenwhistle"}) {
        everyone << Global::characters->findCharacter(name);
        heroRolls.append({name, 20 - int(everyone.size()), 0});
    }
    for (const auto& [name, id] : {std::pair{"Mire Goblin Shank", "1"}, {"Mire Goblin Shank", "2"},
                                   {"Gutter Rat Swarm", "1"}, {"Ashen Hound", "1"}})
        everyone << Global::monsters->getMonsterInstance(name, id, true);
    if (everyone.contains(nullptr))
        return false;
    Global::encounter->setCreatureList(CreatureList(everyone));
    const InitiativeList monsterRolls{{"Mire Goblin Shank", 17, 2}, {"Gutter Rat Swarm", 12, 1}, {"Ashen Hound", 10, 1}};
    Creature* dying = everyone.first();
    return Global::history->apply(new StartEncounterEvent(heroRolls, monsterRolls, Global::history->getStream(false)), false)
           && Global::history->apply(new DamageEvent("Hit", dying, dying, dying->getCurrHitPoints() + 1, "",
                                                      Global::history->getStream(false)), false);
}

// The panel the game master opens by its title, run in the window until the check is done.
void runPanel(const QString& title, const std::function<void()>& check)
{
    auto run = [&](FlatDialog&& panel) {
        QTimer::singleShot(0, &panel, [&] {
            for (int round = 0; round < 3; ++round) {
                emit Global::switchBoard.doRefreshTimer();
                QApplication::processEvents();
            }
            check();
            panel.reject();
        });
        panel.exec();
    };
    Encounter* encounter = Global::encounter;
    const QList<Creature*> creatures = encounter->getCreatureList().getCreatureList();
    if (title == "Pick the Party")
        run(PickCharactersDialog());
    else if (title == "Select an Encounter")
        run(PickEncounterDialog("All Adventures"));
    else if (title == "Select a Monster")
        run(PickMonsterDialog());
    else if (title == "initiative")
        run(InitiativeDialog(CreatureList(creatures)));
    else if (title == "conditions")
        run(EffectDialog(creatures.at(2), creatures.mid(4, 2), {}));
    else
        check();
}

QStringList visibleDocks(const WindowUnderTest& w)
{
    QStringList names;
    for (const char* name : {"currentWidget", "selectedWidget", "historyWidget", "effectsWidget"})
        if (!w.dock(name)->isHidden())
            names.append(name);
    return names;
}

}

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { Global::init(); }
    void cleanupTestCase() { Global::exit(); }
    void cleanup() { QSettings().clear(); }

    void freshWindowOffersEveryCommand()
    {
        WindowUnderTest w;
        w.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.window));
        QCOMPARE(w.window->windowTitle(), QString("Ravelhorn DM's Display"));
        QStringList menus;
        QList<QAction*> actions;
        for (QAction* menu : w.window->menuBar()->actions()) {
            menus.append(menu->text());
            if (menu->menu())
                for (QAction* entry : menu->menu()->actions())
                    if (!entry->isSeparator() && !actions.contains(entry))
                        actions.append(entry);
        }
        QCOMPARE(menus, (QStringList{"&File", "&History", "&Encounter", "Hea&lth", "&Rest", "&Window", "", "Hel&p"}));
        // The Window menu ends with the docks' own show and hide entries.
        QStringList docks;
        for (QAction* entry : w.window->menuBar()->actions().at(5)->menu()->actions().mid(4)) {
            docks.append(entry->text());
            actions.removeOne(entry);
        }
        QCOMPARE(docks, (QStringList{"Current Creature", "Selected Creature/s", "History", "Conditions and Effects"}));
        QCOMPARE(actions.size(), 32);

        QStringList disabled;
        for (QAction* action : actions) {
            // Start/Stop's and Hide's tips say what the fight allows, without keys.
            if (action->text() == "Start Encounter" || action->text() == "Hide Creatures") {
                QVERIFY(!action->statusTip().contains("Ctrl"));
                disabled.append(action->text());
                continue;
            }
            // Plain actions (Quit among them) name no keys in their tips.
            const QString keys = action->shortcut().isEmpty() || plainActions.contains(action->text())
                ? QString() : " " + action->shortcut().toString(QKeySequence::NativeText);
            QVERIFY2(action->statusTip().endsWith(keys) && !action->statusTip().trimmed().isEmpty()
                         && !action->statusTip().endsWith(' '), qPrintable(action->statusTip()));
            QVERIFY2(action->toolTip().count('&') <= 1 && !action->toolTip().endsWith(' '), qPrintable(action->toolTip()));
            if (!keys.isEmpty())
                QCOMPARE(action->toolTip(), QString(action->text()).replace("&&", "&") + keys);
            QCOMPARE(action->icon().isNull(), plainActions.contains(action->text()));
            if (!action->isEnabled())
                disabled.append(action->text());
        }
        // The play commands wait for a fight, the history ones for events.
        QCOMPARE(disabled, (QStringList{"Clear History...", "Truncate...", "Step Back", "Step Forward", "Start Encounter",
                                        "Next Turn", "Delay Turn", "Ready Action", "Jump In", "Up Initiative", "Down Initiative",
                                        "Hide Creatures", "Set Alias", "Remove Creatures", "Apply Damage", "Apply Healing",
                                        "Spend Healing Surge", "Set Temporary HP", "Short Rest...", "Extended Rest"}));
        QCOMPARE(w.action("Conditions && Effects...")->toolTip(), QString("Conditions & Effects... Ctrl+A"));
        QCOMPARE(w.action("&Quit")->shortcut(), QKeySequence("Ctrl+Q"));
        QVERIFY(w.action("Up Initiative")->statusTip().contains("down in the initative order"));
        QCOMPARE(w.action("Character Creator Window")->icon().pixmap(32).toImage(),
                 QIcon(":/images/heros-window32.png").pixmap(32).toImage());

        for (const char* name : {"trackerToolBar", "actionToolBar", "windowToolBar"})
            QVERIFY(w.bar(name) && w.bar(name)->isVisible());
        QCOMPARE(w.bar("trackerToolBar")->actions().size(), 11);
        QCOMPARE(w.bar("windowToolBar")->actions().size(), 10);
        QSpinBox* box = w.hitPointBox();
        QVERIFY(box && box->isVisible() && box->isEnabled());
        QCOMPARE(box->minimum(), 0);
        QCOMPARE(box->maximum(), 500);
        QCOMPARE(box->toolTip(), QString("Damage/Healing Amount ") + QChar(0x21E5));
        QCOMPARE(visibleDocks(w).size(), 4);

        // The model's status texts reach the status bar.
        emit Global::switchBoard.doSetLeftStatus("<b> Encounter</b> Bridge");
        emit Global::switchBoard.doSetRightStatus("<b>Round</b> 3");
        QStringList status;
        for (QLabel* label : w.window->statusBar()->findChildren<QLabel*>())
            status.append(label->text());
        QVERIFY(status.contains("<b> Encounter</b> Bridge") && status.contains("<b>Round</b> 3"));

        // The players' window follows its action, and the action follows the window.
        QAction* players = w.action("Show Player's Window");
        players->trigger();
        QVERIFY(Global::playersWindow->isVisible());
        QCOMPARE(players->text() + "|" + players->toolTip() + "|" + players->statusTip(),
                 QString("Hide Player's Window...|Hide Player's Window|Hide the player's window"));
        players->trigger();
        QVERIFY(!Global::playersWindow->isVisible());
        QCOMPARE(players->toolTip(), QString("Show Player's Window"));
    }

    void dockLayoutAndFlagsSurviveARestart()
    {
        WindowUnderTest w;
        w.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.window));
        QDockWidget* current = w.dock("currentWidget");
        QAction* currentToggle = current->toggleViewAction();

        // A floating dock closed by its button and shown again from the menu still makes way for an editor and comes back.
        current->setFloating(true);
        closeByButton(current);
        currentToggle->trigger();
        QVERIFY(current->isVisible());
        visitEditor(w.window, [&] {
            QVERIFY(current->isHidden());
            QVERIFY(!currentToggle->isEnabled());
        });
        QVERIFY(current->isVisible() && currentToggle->isEnabled());
        // Closed through the menu, it stays away.
        currentToggle->trigger();
        visitEditor(w.window);
        QVERIFY(current->isHidden());
        current->setFloating(false);

        // A docked dock closed by its button comes back after an editor visit; one closed through the menu does not.
        closeByButton(w.dock("selectedWidget"));
        w.dock("historyWidget")->toggleViewAction()->trigger();
        visitEditor(w.window);
        QCOMPARE(visibleDocks(w), (QStringList{"selectedWidget", "effectsWidget"}));

        closeByButton(w.dock("effectsWidget"));
        w.restart();
        w.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.window));
        QCOMPARE(visibleDocks(w), QStringList{"selectedWidget"});
        // What was hidden at the restart counts as closed by the game master.
        visitEditor(w.window);
        QCOMPARE(visibleDocks(w), QStringList{"selectedWidget"});
        w.dock("effectsWidget")->toggleViewAction()->trigger();
        QCOMPARE(visibleDocks(w), (QStringList{"selectedWidget", "effectsWidget"}));
    }

    // At the opening size on a laptop screen and larger, the table, every
    // panel and the stat blocks beside them show each of their texts whole.
    void centreShowsEveryTextWhole_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QString>("centre");
        for (const QSize& size : {QSize(1152, 720), QSize(1200, 760), QSize(1296, 810), QSize(1440, 900)})
            for (const char* centre : {"initiative table", "Pick the Party", "Select an Encounter", "Select a Monster",
                                       "initiative", "conditions"})
                QTest::addRow("%dx%d %s", size.width(), size.height(), centre) << size << QString(centre);
    }

    void centreShowsEveryTextWhole()
    {
        QFETCH(QSize, size);
        QFETCH(QString, centre);
        CreatureDisplay::setupStyles();
        WindowUnderTest w(size);
        QVERIFY(w.loadFolder());
        QVERIFY(startDemonstrationFight());
        w.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.window));
        QApplication::processEvents();
        w.window->updateMainInitiativeList();
        QStringList cut;
        runPanel(centre, [&] {
            for (QWidget* part : {w.window->centralWidget(), w.dock("currentWidget")->widget(), w.dock("selectedWidget")->widget()})
                cut << cutTexts(part);
        });
        QVERIFY2(cut.isEmpty(), qPrintable(cut.join("\n")));
    }

    void returnInTheHitPointBox()
    {
        WindowUnderTest w;
        // The damage Return applies is recorded in the folder's log.
        QVERIFY(w.loadFolder());
        w.window->show();
        QVERIFY(QTest::qWaitForWindowActive(w.window));
        QAction* hit = w.action("Apply Damage");
        QSignalSpy hits(hit, &QAction::triggered);
        QSpinBox* box = w.hitPointBox();
        // Apply Damage is offered: a creature selected and an amount in the box.
        auto* hero = new Creature;
        hero->setupDummyHero("Ana");
        Global::characters->addCharacter(hero);
        Global::encounter->setCreatureList(CreatureList({hero}));
        Global::encounter->setSelectedCreatures({hero});
        box->setValue(7);
        w.window->focusOnHitPointBox();
        QVERIFY(box->hasFocus());
        QTest::keyClick(box, Qt::Key_Return);
        QCOMPARE(hits.size(), 1);
        w.window->focusOnHitPointBox();
        QTest::keyClick(box, Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(hits.size(), 1);
        // What Apply Damage refuses Return refuses too.
        Global::encounter->clearSelectedCreatures();
        w.window->focusOnHitPointBox();
        QTest::keyClick(box, Qt::Key_Return);
        QCOMPARE(hits.size(), 1);
        Global::encounter->setSelectedCreatures({hero});
        // Without the focus in the box Return applies nothing.
        w.window->setFocus();
        QTest::keyClick(w.window, Qt::Key_Return);
        QCOMPARE(hits.size(), 1);
    }

    // Keys reach a running panel before anything else, from every corner of the window.
    void panelGetsKeysFirst_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("result");
        QTest::newRow("Escape in the window") << "window" << int(Qt::Key_Escape) << 0;
        QTest::newRow("Return in the window") << "window" << int(Qt::Key_Return) << 1;
        QTest::newRow("Escape in a docked dock") << "docked" << int(Qt::Key_Escape) << 0;
        QTest::newRow("Return in a floating dock") << "floating" << int(Qt::Key_Return) << 1;
        QTest::newRow("Escape in a floating dock") << "floating" << int(Qt::Key_Escape) << 0;
    }

    void panelGetsKeysFirst()
    {
        QFETCH(QString, target);
        QFETCH(int, key);
        QFETCH(int, result);
        WindowUnderTest w;
        w.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.window));
        QDockWidget* history = w.dock("historyWidget");
        history->setFloating(target == "floating");
        QSignalSpy hits(w.action("Apply Damage"), &QAction::triggered);
        TestPanel panel;
        QTimer::singleShot(0, [&] {
            QWidget* receiver = target == "window" ? (QWidget*)w.window : history;
            QTest::keyClick(receiver, Qt::Key(key));
        });
        // A panel that missed the key is ended by the test.
        QTimer::singleShot(2000, &panel, [&] { panel.done(9); });
        QCOMPARE(panel.exec(), result);
        QCOMPARE(hits.size(), 0);
    }

    void panelTakesOverTheWindow()
    {
        WindowUnderTest w;
        QVERIFY(w.loadFolder());
        QVERIFY(w.record(3));
        Global::history->back();
        const QStringList commands{"Step Back", "Step Forward", "Clear History...", "Truncate...",
                                   "Select Data Location...", "Import Language File...", "Select Party...",
                                   "Load Encounter...", "Add Monster..."};
        auto enabled = [&] {
            QStringList on;
            for (const QString& text : commands)
                if (w.action(text)->isEnabled())
                    on.append(text);
            return on;
        };
        QCOMPARE(enabled(), commands);
        QSignalSpy effects(&Global::switchBoard, &SwitchBoard::doCreatureEffectsChanged);
        QSpinBox* box = w.hitPointBox();
        auto* table = w.window->findChild<MainInitiativeList*>();
        TestPanel panel;
        QTimer::singleShot(0, [&] {
            QVERIFY(panel.getWidget()->isVisible() && !table->isVisible());
            QVERIFY(!box->isEnabled() && box->focusPolicy() == Qt::NoFocus);
            QCOMPARE(enabled(), QStringList());
            QCOMPARE(effects.size(), 1);
            QCOMPARE(effects.at(0).at(0).value<Creature*>(), w.hero());
            panel.reject();
        });
        w.window->show();
        QCOMPARE(panel.exec(), 0);
        QCOMPARE(enabled(), commands);
        QVERIFY(table->isVisible() && box->isEnabled() && box->focusPolicy() == Qt::StrongFocus);
    }

    void editorsTakeTheFloatingDocks()
    {
        WindowUnderTest w;
        w.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.window));
        QDockWidget* history = w.dock("historyWidget");
        history->setFloating(true);
        QVERIFY(history->isVisible());
        QVERIFY(Global::currentWindow == w.window);

        w.window->toggleActiveWindow(Global::managerWindow);
        QVERIFY(history->isHidden() && w.dock("currentWidget")->isVisible());
        QVERIFY(Global::currentWindow == Global::managerWindow);
        // A message box, the debug window or a floating dock is no change of window.
        QDialog box;
        WindowHooks hooks;
        Global::setUiHooks(&hooks);
        Global::bugout("debug line");
        Global::setUiHooks(nullptr);
        QTextEdit* debug = nullptr;
        for (QWidget* top : QApplication::topLevelWidgets())
            if (auto* edit = qobject_cast<QTextEdit*>(top))
                debug = edit;
        QVERIFY(debug && debug->isVisible() && debug->toPlainText() == "debug line");
        for (QWidget* other : {(QWidget*)&box, (QWidget*)debug, (QWidget*)history, (QWidget*)nullptr}) {
            w.window->toggleActiveWindow(other);
            QVERIFY(Global::currentWindow == Global::managerWindow && history->isHidden());
        }
        // The players' window is a place to work, as the main window is.
        w.window->toggleActiveWindow(Global::playersWindow);
        QVERIFY(Global::currentWindow == Global::playersWindow && history->isVisible());
    }

    void managerHintOncePerRun()
    {
        WindowUnderTest w;
        w.window->show();
        {
            BoxAnswerer answer(true);
            w.action("Monster Manager Window")->trigger();
            QCOMPARE(answer.titles, QStringList{"Monster Manager Hint"});
            QVERIFY(answer.texts.join(' ').contains("Compendium or Adventure Tools"));
            QVERIFY(Global::managerWindow->isVisible());
            w.action("Monster Manager Window")->trigger();
            QTest::qWait(50);
            QCOMPARE(answer.titles.size(), 1);
        }
        QSettings().setValue("managerWindow/hint", false);
        w.restart();
        BoxAnswerer answer(true);
        w.action("Monster Manager Window")->trigger();
        QTest::qWait(50);
        QCOMPARE(answer.titles, QStringList());
    }
};

RAVELHORN_TEST_MAIN(QApplication, TestMainWindow)
#include "uitest_mainwindow.moc"
