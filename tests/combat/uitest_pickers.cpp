#include <QAbstractItemModelTester>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>

#include "combat/pickcharactersdialog.h"
#include "combat/picklist.h"
#include "combat/pickencounterdialog.h"
#include "combat/pickmonsterdialog.h"
#include "combattesting.h"
#include "creature/creature.h"
#include "encounter/encounter.h"
#include "encounter/history.h"
#include "library/characters.h"
#include "library/encounterdata.h"
#include "library/encounters.h"
#include "library/monsters.h"

using CombatTesting::buttonTexts;
using CombatTesting::key;
using CombatTesting::runPanel;

namespace {

QPushButton* button(QWidget* content, const QString& text)
{
    for (QAbstractButton* b : content->findChild<QDialogButtonBox*>()->buttons())
        if (b->text() == text)
            return static_cast<QPushButton*>(b);
    return nullptr;
}

QStringList visibleNames(QTableView* view)
{
    QStringList names;
    for (int row = 0; row < view->model()->rowCount(); row++)
        if (!view->isRowHidden(row))
            names << view->model()->index(row, 0).data().toString();
    return names;
}

// Clicks the visible row showing that name.
void clickRow(QTableView* view, const QString& name)
{
    for (int row = 0; row < view->model()->rowCount(); row++) {
        const QModelIndex index = view->model()->index(row, 0);
        if (!view->isRowHidden(row) && index.data().toString() == name) {
            view->scrollTo(index);
            QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(index).center());
            return;
        }
    }
    QFAIL(qPrintable("no row " + name));
}

// The name beside a party picker's box.
QString nameOf(QCheckBox* box)
{
    for (QLabel* label : box->parentWidget()->findChildren<QLabel*>())
        if (!label->text().isEmpty())
            return label->text();
    return QString();
}

// The party picker's names, row by row as they stand.
QStringList namesByRow(QWidget* content)
{
    QMap<int, QStringList> rows;
    for (QCheckBox* box : content->findChildren<QCheckBox*>())
        rows[box->parentWidget()->y()] << nameOf(box);
    QStringList lines;
    for (const QStringList& row : std::as_const(rows))
        lines << row.join(' ');
    return lines;
}

EncounterData* addEncounter(const QString& name, const QString& adventure, const QStringList& goblinIds)
{
    auto* data = new EncounterData;
    data->setName(name);
    data->setAdventure(adventure);
    for (const QString& id : goblinIds)
        data->addCreature({"Goblin Cutter", id, QString(), false});
    Global::encounters->addEncounter(data);
    return data;
}

// The list of the panel running in the main window.
QTableView* panelList()
{
    for (QTableView* view : Global::mainWindow->findChildren<QTableView*>())
        if (qobject_cast<PickListModel*>(view->model()) && view->isVisible())
            return view;
    return nullptr;
}

QAbstractButton* panelButton(const QString& text)
{
    for (QAbstractButton* b : Global::mainWindow->findChildren<QAbstractButton*>())
        if (b->text() == text && b->isVisible())
            return b;
    return nullptr;
}

// The model's description of the encounter and of those in it.
QString rosterDescription(const TestWorld* world)
{
    QStringList lines = world->describe().split('\n');
    const QStringList roster = Global::encounter->getCreatureList().getNameList().split(", ");
    lines.erase(std::remove_if(lines.begin() + 1, lines.end(), [&roster](const QString& line) {
        return std::none_of(roster.begin(), roster.end(), [&line](const QString& name) {
            return !name.isEmpty() && line.startsWith(name + " hp");
        });
    }), lines.end());
    return lines.join('\n');
}

// The button box of the panel on display.
QPointer<QDialogButtonBox> panelButtons()
{
    for (QDialogButtonBox* box : Global::mainWindow->findChildren<QDialogButtonBox*>())
        if (box->isVisible())
            return box;
    return nullptr;
}

// Runs the steps in the panel that the command opens, once it shows; then
// the next steps in the panel that follows it.
void whenPanelRuns(const std::function<void()>& steps, const std::function<void()>& next = nullptr)
{
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, steps, next] {
        if (!Global::mainWindow->runningFlatDialog() || !panelButtons())
            return;
        poll->stop();
        poll->deleteLater();
        // The panel's content is laid out before it is clicked.
        QCoreApplication::processEvents();
        const QPointer<QDialogButtonBox> shown = panelButtons();
        steps();
        if (next)
            whenPanelRuns(next);
        // A panel the steps did not end would hold the test.
        QTimer::singleShot(0, [shown] {
            if (shown && shown->isVisible()) {
                QTest::qFail("the panel stayed open", __FILE__, __LINE__);
                Global::mainWindow->cancelFlatDialog();
            }
        });
    });
    poll->start(5);
}

}

class TestPickers : public QObject
{
    Q_OBJECT

private:
    WindowWorld* fixture = nullptr;
    MainWindow* window = nullptr;
    TestWorld* world = nullptr;

    void setEncounter(bool running, const QList<Creature*>& creatures)
    {
        Global::encounter->setCreatureList(CreatureList(creatures));
        Global::encounter->setCurrentIndex(running && !creatures.isEmpty() ? 0 : -1);
    }

private slots:
    void init()
    {
        fixture = new WindowWorld;
        window = fixture->window;
        world = fixture->world;
        for (const char* group : {"Goblin Cutter", "Orc Raider", "Hobgoblin Soldier", "Dire Rat"})
            world->addMonster(group, "1", 20);
        world->addHero("Ana", 30);
        world->addHero("Bron", 40);
        world->addHero("Cyd", 24);
        world->addHero("Dara", 28);
        addEncounter("Goblin Ambush", "Keep", {"1", "2"});
        addEncounter("Rat Cellar", "Village", {"3"});
        addEncounter("Goblin Camp", "Village", {"4", "5"});
    }

    void cleanup()
    {
        delete fixture;
    }

    // Add Monster..., Load Encounter... and Select Party... record what their panel brings in, undoably;
    // during a fight the newcomers' initiative is asked for in the initiative panel that follows.
    void commandsFromTheWindow_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("roster");
        QTest::addColumn<int>("initiative");
        QTest::newRow("monster") << "Add Monster..." << QStringList{"row:Orc Raider", "id:5", "Add Hidden"}
                                 << "Orc Raider (5)" << 0;
        QTest::newRow("encounter") << "Load Encounter..." << QStringList{"row:Goblin Ambush", "Set"}
                                   << "Goblin Cutter (1), Goblin Cutter (2)" << 0;
        QTest::newRow("party") << "Select Party..." << QStringList{"tick:Bron", "tick:Dara", "Select"} << "Bron, Dara"
                               << 0;
        QTest::newRow("monster in a fight") << "Add Monster..." << QStringList{"row:Orc Raider", "id:5", "Add Hidden"}
                                            << "Ana, Orc Raider (5)" << 15;
        QTest::newRow("encounter in a fight") << "Load Encounter..." << QStringList{"row:Goblin Ambush", "Set"}
                                              << "Ana, Goblin Cutter (1), Goblin Cutter (2)" << 15;
        QTest::newRow("party in a fight") << "Select Party..." << QStringList{"tick:Bron", "Add"} << "Ana, Bron" << 15;
    }

    void commandsFromTheWindow()
    {
        QFETCH(QString, command);
        QFETCH(QStringList, steps);
        QFETCH(QString, roster);
        QFETCH(int, initiative);
        // A fight of Ana alone, her turn.
        const auto fight = [this, initiative] {
            if (initiative)
                setEncounter(true, {world->find("Ana")});
        };
        fight();
        window->toggleStartStopNextButtons();
        QVERIFY(world->stream());
        const QString start = rosterDescription(world);
        const auto rollInitiative = [this, initiative] {
            // The boxes of the panel's cells, not the HP box.
            for (QSpinBox* box : window->findChildren<QSpinBox*>())
                if (box->isVisible() && qobject_cast<QGroupBox*>(box->parentWidget()->parentWidget())) {
                    box->selectAll();
                    QTest::keyClicks(box, QString::number(initiative));
                }
            panelButton("OK")->click();
        };
        whenPanelRuns([&] {
            for (const QString& step : steps) {
                if (step.startsWith("row:"))
                    clickRow(panelList(), step.mid(4));
                if (step.startsWith("id:"))
                    for (QLineEdit* edit : window->findChildren<QLineEdit*>())
                        if (edit->placeholderText() == "Enter monster ID")
                            QTest::keyClicks(edit, step.mid(3));
                if (step.startsWith("tick:"))
                    for (QCheckBox* box : window->findChildren<QCheckBox*>())
                        if (box->isVisible() && nameOf(box) == step.mid(5))
                            QTest::mouseClick(box, Qt::LeftButton);
                if (!step.contains(':'))
                    panelButton(step)->click();
            }
        }, initiative ? std::function<void()>(rollInitiative) : nullptr);
        CombatTesting::action(command)->trigger();
        QTRY_COMPARE(Global::encounter->getCreatureList().getNameList(), roster);
        QVERIFY2(fixture->hooks.alerts.isEmpty(), qPrintable(fixture->hooks.alerts.join('\n')));
        QVERIFY(!window->runningFlatDialog());
        if (command.startsWith("Add"))
            QVERIFY(world->find("Orc Raider (5)")->isHidden());
        // The rolls typed into the initiative panel.
        for (const QString& name : roster.split(", "))
            if (initiative && name != "Ana")
                QCOMPARE(world->find(name)->getInitRoll(), initiative);

        const QString after = rosterDescription(world);
        const int events = Global::history->getEventCount();
        while (Global::history->hasBack())
            Global::history->back();
        QCOMPARE(rosterDescription(world), start);
        while (Global::history->hasForward())
            Global::history->forward(false);
        QCOMPARE(rosterDescription(world), after);
        QVERIFY(world->restart(fight));
        QCOMPARE(Global::history->getEventCount(), events);
        QVERIFY2(rosterDescription(world) == after, qPrintable(TestWorld::difference(after, rosterDescription(world))));
    }

    // Names are plain text: escaped in the ID alert, shown as typed beside the party's boxes.
    void namesArePlainText()
    {
        world->addMonster("Ogre <b>Chief</b>", "1", 40);
        world->addHero("<i>Zed</i>", 30);
        PickMonsterDialog dialog;
        runPanel(dialog, [&] {
            clickRow(dialog.getView(), "Ogre <b>Chief</b>");
            button(dialog.getWidget(), "Add")->click();
            key(Qt::Key_Escape);
        });
        QCOMPARE(fixture->hooks.alerts, QStringList{"Monster ID: Please enter a unique ID for the Ogre &lt;b&gt;Chief&lt;/b&gt;, "
                                            "before it can be added to the encounter."});
        PickCharactersDialog party;
        bool plain = false;
        for (QLabel* label : party.getWidget()->findChildren<QLabel*>())
            plain = plain || (label->text() == "<i>Zed</i>" && label->textFormat() == Qt::PlainText);
        QVERIFY(plain);
    }

    // A record the log refuses ends the command: the alias of the refused monster is not tried.
    void refusedRecordEndsTheCommand()
    {
        QVERIFY(world->stream());
        const int events = Global::history->getEventCount();
        whenPanelRuns([&] {
            clickRow(panelList(), "Orc Raider");
            for (QLineEdit* edit : window->findChildren<QLineEdit*>())
                if (edit->placeholderText() == "Enter monster ID")
                    QTest::keyClicks(edit, "6");
                else if (edit->placeholderText() == "Enter an Alias (optional)")
                    QTest::keyClicks(edit, "Grok");
            panelButton("Add")->click();
        });
        {
            FullDisk full;
            Global::monsters->addMonsterToEncounter();
        }
        QCOMPARE(fixture->hooks.alerts.size(), 1);
        QVERIFY(fixture->hooks.alerts.first().startsWith("Cannot Write History File"));
        QCOMPARE(Global::history->getEventCount(), events);
        QCOMPARE(Global::encounter->getCreatureCount(), 0);
    }

    // Both models stay consistent through filtering and library changes.
    void modelsPassTheModelTester()
    {
        PickMonsterDialog monsters;
        PickEncounterDialog encounters("Village");
        QAbstractItemModelTester monsterTester(monsters.getModel(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        QAbstractItemModelTester encounterTester(encounters.getModel(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        monsters.getModel()->setFilter("gob");
        encounters.getModel()->setFilter("gob", "Village");
        QCOMPARE(visibleNames(monsters.getView()), QStringList({"Goblin Cutter", "Hobgoblin Soldier"}));
        QCOMPARE(visibleNames(encounters.getView()), QStringList({"Goblin Camp"}));
        world->addMonster("Goblin Archer", "1", 20);
        addEncounter("Goblin Raid", "Village", {"6"});
        QCOMPARE(visibleNames(monsters.getView()), QStringList({"Goblin Archer", "Goblin Cutter", "Hobgoblin Soldier"}));
        QCOMPARE(visibleNames(encounters.getView()), QStringList({"Goblin Camp", "Goblin Raid"}));
        Global::monsters->findTemplate("Goblin Cutter")->setDeleted(true);
        Global::monsters->deleteTemplate(Global::monsters->getTemplateIndex(Global::monsters->findTemplate("Orc Raider")), true);
        EncounterData* gone = Global::encounters->findEncounter("Goblin Camp");
        Global::encounters->deleteEncounter(Global::encounters->getEncounterIndex(gone));
        delete gone;
        QCOMPARE(visibleNames(monsters.getView()), QStringList({"Goblin Archer", "Hobgoblin Soldier"}));
        QCOMPARE(monsters.getModel()->rowCount(), 4);
        QCOMPARE(visibleNames(encounters.getView()), QStringList({"Goblin Raid"}));
    }

    // What the monster panel ends with, and what it hands back, for each way of ending it.
    void monsterPickerEnds_data()
    {
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("end");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("monster");
        QTest::newRow("Add") << "7" << "Add" << 3 << "Orc Raider (7)";
        QTest::newRow("Add Hidden") << "7" << "Add Hidden" << 4 << "Orc Raider (7)";
        QTest::newRow("Return adds") << "7" << "Return" << 3 << "Orc Raider (7)";
        QTest::newRow("Cancel") << "7" << "Cancel" << 0 << "";
        QTest::newRow("Esc") << "7" << "Escape" << 0 << "";
        QTest::newRow("trimmed ID") << " 7 " << "Add" << 3 << "Orc Raider (7)";
        QTest::newRow("the library's instance") << "1" << "Add" << 3 << "Orc Raider (1)";
    }

    void monsterPickerEnds()
    {
        QFETCH(QString, id);
        QFETCH(QString, end);
        QFETCH(int, code);
        QFETCH(QString, monster);
        const int instances = Global::monsters->getInstanceCount();
        PickMonsterDialog dialog;
        const int result = runPanel(dialog, [&] {
            QTest::keyClicks(dialog.getFilterEdit(), "orc");
            clickRow(dialog.getView(), "Orc Raider");
            // The ID row is part of what the window shows.
            QVERIFY(dialog.getIdEdit()->isVisible());
            QTest::keyClicks(dialog.getIdEdit(), id);
            QTest::keyClicks(dialog.getAliasEdit(), "Big Bad");
            if (end == "Return" || end == "Escape")
                key(end == "Return" ? Qt::Key_Return : Qt::Key_Escape);
            else
                button(dialog.getWidget(), end)->click();
        });
        QCOMPARE(result, code);
        QString alias;
        Creature* picked = result ? dialog.getSelectedMonster(alias) : nullptr;
        QCOMPARE(picked ? picked->getNameGroup() : QString(), monster);
        QCOMPARE(alias, picked ? QString("Big Bad") : QString());
        QCOMPARE(Global::monsters->getInstanceCount(), instances + (monster.endsWith("(7)") ? 1 : 0));
        QVERIFY(fixture->hooks.alerts.isEmpty());
    }

    // IDs the panel refuses: it says why and stays open; Return without a choice does nothing.
    void monsterPickerRefusals_data()
    {
        QTest::addColumn<bool>("select");
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("alert");
        QTest::newRow("blank ID") << true << "   " << "Monster ID: Please enter a unique ID for the Orc Raider, before it can be added to the encounter.";
        QTest::newRow("in the encounter") << true << "1" << "Monster ID: The Orc Raider 1 is already in the encounter. Please enter another ID.";
        QTest::newRow("no choice") << false << "" << "";
    }

    void monsterPickerRefusals()
    {
        QFETCH(bool, select);
        QFETCH(QString, id);
        QFETCH(QString, alert);
        setEncounter(false, {world->find("Orc Raider (1)")});
        PickMonsterDialog dialog;
        bool open = false;
        const int result = runPanel(dialog, [&] {
            if (select)
                clickRow(dialog.getView(), "Orc Raider");
            QTest::keyClicks(dialog.getIdEdit(), id);
            key(Qt::Key_Return);
            open = window->runningFlatDialog();
            key(Qt::Key_Escape);
        });
        QVERIFY(open);
        QCOMPARE(result, 0);
        QCOMPARE(fixture->hooks.alerts, alert.isEmpty() ? QStringList() : QStringList{alert});
    }

    // Typing filters in any case; a new filter drops the choice.
    void monsterFilterClearsTheChoice()
    {
        PickMonsterDialog dialog;
        runPanel(dialog, [&] {
            QTest::keyClicks(dialog.getFilterEdit(), "GOB");
            QCOMPARE(visibleNames(dialog.getView()), QStringList({"Goblin Cutter", "Hobgoblin Soldier"}));
            clickRow(dialog.getView(), "Goblin Cutter");
            QVERIFY(button(dialog.getWidget(), "Add")->isEnabled());
            QTest::keyClick(dialog.getFilterEdit(), Qt::Key_L);
            QVERIFY(!button(dialog.getWidget(), "Add")->isEnabled());
            QVERIFY(!button(dialog.getWidget(), "Add Hidden")->isEnabled());
            QCOMPARE(visibleNames(dialog.getView()), QStringList({"Goblin Cutter", "Hobgoblin Soldier"}));
            dialog.reject();
        });
    }

    // A monster made in the editor while the panel runs moves the rows; the choice stays.
    void choicesFollowLibraryChanges()
    {
        PickMonsterDialog monsters;
        runPanel(monsters, [&] {
            clickRow(monsters.getView(), "Orc Raider");
            QTest::keyClicks(monsters.getIdEdit(), "9");
            world->addMonster("Ape", "1", 20);
            button(monsters.getWidget(), "Add")->click();
        });
        QString alias;
        QCOMPARE(monsters.getSelectedMonster(alias)->getNameGroup(), QString("Orc Raider (9)"));

        PickEncounterDialog encounters("");
        runPanel(encounters, [&] {
            clickRow(encounters.getView(), "Rat Cellar");
            addEncounter("Ambush at Dawn", "Keep", {"8"});
            key(Qt::Key_Return);
        });
        QString adventure;
        QCOMPARE(encounters.getSelectedEncounter(adventure)->getName(), QString("Rat Cellar"));
    }

    // The buttons follow the fight; Return presses the first offered, and nothing without a choice.
    void encounterPickerButtons_data()
    {
        QTest::addColumn<bool>("running");
        QTest::addColumn<bool>("monsters");
        QTest::addColumn<QStringList>("buttons");
        QTest::addColumn<int>("returnCode");
        QTest::newRow("stopped, empty") << false << false << QStringList{"Set", "Set Hidden", "Cancel"} << 5;
        QTest::newRow("stopped, monsters") << false << true
                                           << QStringList{"Replace", "Replace Hidden", "Add", "Add Hidden", "Cancel"} << 5;
        QTest::newRow("running, heroes only") << true << false << QStringList{"Set", "Set Hidden", "Cancel"} << 5;
        QTest::newRow("running, monsters") << true << true << QStringList{"Add", "Add Hidden", "Cancel"} << 3;
    }

    void encounterPickerButtons()
    {
        QFETCH(bool, running);
        QFETCH(bool, monsters);
        QFETCH(QStringList, buttons);
        QFETCH(int, returnCode);
        QList<Creature*> creatures{world->find("Ana")};
        if (monsters)
            creatures << world->find("Dire Rat (1)");
        setEncounter(running, creatures);
        PickEncounterDialog dialog("Lost Adventure");
        bool stayed = false;
        const int result = runPanel(dialog, [&] {
            QCOMPARE(buttonTexts(dialog.getWidget()), buttons);
            QCOMPARE(dialog.getAdventureBox()->currentText(), QString("All Adventures"));
            key(Qt::Key_Return);
            stayed = window->runningFlatDialog();
            clickRow(dialog.getView(), "Goblin Ambush");
            for (const QString& text : buttons)
                QVERIFY(button(dialog.getWidget(), text)->isEnabled());
            key(Qt::Key_Return);
        });
        QVERIFY(stayed);
        QCOMPARE(result, returnCode);
        QString adventure;
        QCOMPARE(dialog.getSelectedEncounter(adventure)->getName(), QString("Goblin Ambush"));
        QCOMPARE(adventure, QString("All Adventures"));
    }

    // The adventure filters, is handed back as shown, and a change drops the choice.
    void encounterAdventures()
    {
        PickEncounterDialog dialog("Village");
        const int result = runPanel(dialog, [&] {
            QTest::keyClicks(dialog.getFilterEdit(), "g");
            QCOMPARE(visibleNames(dialog.getView()), QStringList({"Goblin Camp"}));
            clickRow(dialog.getView(), "Goblin Camp");
            QComboBox* box = dialog.getAdventureBox();
            box->setCurrentIndex(box->findText("Keep"));
            emit box->activated(box->currentIndex());
            QVERIFY(!button(dialog.getWidget(), "Set")->isEnabled());
            QCOMPARE(visibleNames(dialog.getView()), QStringList({"Goblin Ambush"}));
            clickRow(dialog.getView(), "Goblin Ambush");
            button(dialog.getWidget(), "Set Hidden")->click();
        });
        QCOMPARE(result, 7);
        QString adventure;
        QCOMPARE(dialog.getSelectedEncounter(adventure)->getName(), QString("Goblin Ambush"));
        QCOMPARE(adventure, QString("Keep"));
    }

    // Both modes of the party picker: the grid, the buttons and the party handed back.
    void partyPicker_data()
    {
        QTest::addColumn<bool>("running");
        QTest::addColumn<QStringList>("party");
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("result");
        QTest::addColumn<bool>("add");
        QTest::newRow("pick two") << false << QStringList{} << "tick:Ana tick:Cyd Select" << "Pick the Party" << "Ana Cyd" << false;
        QTest::newRow("select all") << false << QStringList{"Bron"} << "Select_All" << "Pick the Party" << "Ana Bron Cyd Dara" << false;
        QTest::newRow("unchanged party") << false << QStringList{"Ana", "Bron"} << "Select" << "Pick the Party" << "" << false;
        QTest::newRow("all already") << false << QStringList{"Ana", "Bron", "Cyd", "Dara"} << "Select_All" << "Pick the Party" << "" << false;
        QTest::newRow("nothing ticked") << false << QStringList{} << "!Select Return" << "Pick the Party" << "" << false;
        QTest::newRow("add one") << true << QStringList{"Ana"} << "!Add tick:Dara Add" << "Add to the Party" << "Dara" << true;
        QTest::newRow("add all") << true << QStringList{"Ana", "Bron"} << "Add_All" << "Add to the Party" << "Cyd Dara" << true;
        QTest::newRow("everyone in") << true << QStringList{"Ana", "Bron", "Cyd", "Dara"} << "!Add !Add_All Cancel"
                                     << "Add to the Party" << "" << true;
    }

    void partyPicker()
    {
        QFETCH(bool, running);
        QFETCH(QStringList, party);
        QFETCH(QString, steps);
        QFETCH(QString, title);
        QFETCH(QString, result);
        QFETCH(bool, add);
        QList<Creature*> heroes;
        for (const QString& name : party)
            heroes << world->find(name);
        setEncounter(running, heroes);
        PickCharactersDialog dialog;
        QCOMPARE(dialog.windowTitle(), title);
        const int code = runPanel(dialog, [&] {
            // Three to a row in the library's order, the buttons below them.
            QCOMPARE(namesByRow(dialog.getWidget()), QStringList({"Ana Bron Cyd", "Dara"}));
            const QList<QCheckBox*> boxes = dialog.getWidget()->findChildren<QCheckBox*>();
            QVERIFY(panelButtons()->y() > boxes.last()->parentWidget()->geometry().bottom());
            for (QCheckBox* box : boxes) {
                const QString name = nameOf(box);
                QCOMPARE(box->isChecked(), party.contains(name));
                QCOMPARE(box->isEnabled(), !(running && party.contains(name)));
            }
            for (const QString& step : steps.split(' ', Qt::SkipEmptyParts)) {
                if (step.startsWith("tick:")) {
                    for (QCheckBox* box : boxes)
                        if (nameOf(box) == step.mid(5))
                            QTest::mouseClick(box, Qt::LeftButton);
                } else if (step.startsWith('!')) {
                    QVERIFY2(!button(dialog.getWidget(), step.mid(1).replace('_', ' '))->isEnabled(), qPrintable(step));
                } else if (step == "Return") {
                    key(Qt::Key_Return);
                } else {
                    button(dialog.getWidget(), QString(step).replace('_', ' '))->click();
                }
            }
        });
        bool addMode = !add;
        QStringList names;
        for (Creature* c : dialog.getParty(addMode).getCreatureList())
            names << c->getName();
        QCOMPARE(code, steps.endsWith("Cancel") ? 0 : 1);
        QCOMPARE(names.join(' '), result);
        QCOMPARE(addMode, add);
    }
};

RAVELHORN_TEST_MAIN(QApplication, TestPickers)
#include "uitest_pickers.moc"
