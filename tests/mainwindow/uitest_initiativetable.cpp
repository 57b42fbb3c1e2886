#include <QAbstractItemModelTester>
#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QSettings>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QRegularExpression>
#include <QTextDocument>
#include <QtMath>

#include <algorithm>
#include <memory>

#include "combat/combattesting.h"
#include "creature/creature.h"
#include "creature/effect.h"
#include "encounter/damageevents.h"
#include "encounter/effectevents.h"
#include "encounter/encounter.h"
#include "encounter/encounterevents.h"
#include "encounter/rosterevents.h"
#include "encounter/turnorderevents.h"
#include "foundation/progress.h"
#include "library/characters.h"
#include "library/monsters.h"
#include "mainwindow/maininitiativelist.h"
#include "mainwindow/mainwindowtesting.h"
#include "support/cuttexts.h"
#include "support/randomfight.h"
#include "toolkit/progressbar.h"
#include "foundation/textcolours.h"

using CombatTesting::eventTexts;

namespace {

using Table = MainInitiativeList;

const QStringList heroNames{"Brannoc Ashfield", "Wren Talloway", "Idrel Vane", "Oriel Fenwhistle"};
const QList<QPair<QString, QString>> monsterIds{{"Mire Goblin Shank", "1"}, {"Mire Goblin Shank", "2"},
    {"Ashen Hound", "1"}, {"Thornback Archer", "1"}, {"Cave Skulker", "1"}, {"Pendulum Blade Trap", "1"}};

// The text of a label without its markup; escapes stay escaped.
QString selection()
{
    QStringList rows;
    for (int row : Global::encounter->getSelectedIndexes())
        rows << QString::number(row);
    return rows.join(' ');
}

void select(const QList<int>& rows)
{
    QList<Creature*> creatures;
    for (int row : rows)
        creatures << Global::encounter->getCreature(row);
    Global::encounter->setSelectedCreatures(creatures);
}

// Answers the popup menus that open while it lives: records their entries
// (with check marks) and chooses the entry with the text, or closes the menu.
class PopupAnswer : public QObject
{
public:
    explicit PopupAnswer(const QString& choice = QString()) : choice(choice)
    {
        connect(&timer, &QTimer::timeout, this, [this] { answer(); });
        timer.start(10);
    }

    QList<QStringList> menus;

private:
    void answer()
    {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu)
            return;
        QStringList entries;
        QAction* chosen = nullptr;
        for (QAction* action : menu->actions()) {
            entries << (action->isChecked() ? "[x] " : action->isCheckable() ? "[ ] " : "") + action->text();
            if (action->text() == choice)
                chosen = action;
        }
        menus << entries;
        if (chosen) {
            menu->setActiveAction(chosen);
            QTest::keyClick(menu, Qt::Key_Return);
        } else {
            menu->close();
        }
    }

    QString choice;
    QTimer timer;
};

// The initiative table as the main window holds it, shown offscreen over a
// test world with the demonstration party and monsters (a minion and a trap
// among them); the commands it starts are counted.
class TableScreen
{
public:
    TableScreen()
    {
        Global::init();
        world = std::make_unique<TestWorld>();
        const QString demo = QDir(Global::getResourcePath()).filePath("demo-data");
        Progress progress;
        Characters characters;
        Monsters monsters;
        if (characters.loadCharacters(demo, demo, &progress) != 1 || monsters.loadTemplates(demo, demo, &progress) != 1)
            qWarning("the demonstration data did not load");
        Global::characters->newCharacters(&characters);
        Global::monsters->newMonsters(&monsters);
        enterEncounter();
        make();
    }
    ~TableScreen()
    {
        delete table;
        world.reset();
        Global::exit();
    }

    static QList<Creature*> everyone()
    {
        QList<Creature*> creatures;
        for (const QString& name : heroNames)
            creatures << Global::characters->findCharacter(name);
        for (const auto& [group, id] : monsterIds)
            creatures << Global::monsters->getMonsterInstance(group, id, true);
        return creatures;
    }
    static void enterEncounter() { Global::encounter->setCreatureList(CreatureList(everyone())); }

    void make()
    {
        table = new Table;
        table->resize(900, 400);
        new QAbstractItemModelTester(table->model(), QAbstractItemModelTester::FailureReportingMode::QtTest, table);
        for (auto [signal, count] : {std::pair{&Table::doAddConditionOrEffect, &conditionsRequests},
                 std::pair{&Table::doFocusOnHitPointBox, &hitPointBoxRequests},
                 std::pair{&Table::doHelpWithSelections, &helpRequests}})
            QObject::connect(table, signal, table, [count = count] { ++*count; });
        table->show();
        table->updateList();
    }

    // As after a restart of the program: a new table over the replayed log.
    bool restart()
    {
        delete table;
        table = nullptr;
        const bool replayed = world->restart(&TableScreen::enterEncounter);
        make();
        return replayed;
    }

    // In turn order: Brannoc, Wren, the two goblins, Idrel, the hound, Oriel, the archer, the skulker, the trap.
    bool startFight()
    {
        InitiativeList heroes;
        for (int i = 0; i < heroNames.size(); i++)
            heroes.append({heroNames[i], 20 - 2 * i, i});
        const InitiativeList monsters{{"Mire Goblin Shank", 17, 0}, {"Ashen Hound", 15, 0}, {"Thornback Archer", 13, 0},
                                      {"Cave Skulker", 11, 0}, {"Pendulum Blade Trap", 9, 0}};
        return world->record(new StartEncounterEvent(heroes, monsters, world->stream()));
    }
    bool kill(Creature* creature)
    {
        const int amount = creature->getCurrHitPoints() + creature->getMaxHitPoints();
        return world->record(new DamageEvent("Hit", creature, creature, amount, "", world->stream()));
    }

    QLabel* label(int row, int column) const { return qobject_cast<QLabel*>(table->cellWidget(row, column)); }
    ProgressBarWidget* bar(int row) const { return qobject_cast<ProgressBarWidget*>(table->cellWidget(row, Table::HealthColumn)); }

    // What each row shows, and what it should show of the encounter: whose
    // turn it is by the arrow and the bold name, and the figures.
    QStringList shownRows() const
    {
        QStringList rows;
        for (int row = 0; row < table->rowCount(); row++) {
            const QString name = label(row, Table::NameColumn)->text();
            const bool arrow = label(row, Table::IconColumn)->toolTip() == "It is this creature's turn";
            rows << QStringList{arrow ? "arrow" : "", withoutTags(name), name.startsWith("<b>") ? "bold" : "", label(row, Table::InitColumn)->text(),
                                label(row, Table::DefensesColumn)->text(), bar(row)->getText(),
                                label(row, Table::EffectsColumn)->text()}.join(" | ");
        }
        return rows;
    }
    static QStringList encounterRows()
    {
        Encounter* encounter = Global::encounter;
        QStringList rows;
        for (int row = 0; row < encounter->getCreatureCount(); row++) {
            Creature* c = encounter->getCreature(row);
            const bool current = row == encounter->getCurrentIndex();
            QStringList effects{c->getShortStateText(), c->getEffectsList()};
            effects.removeAll(QString());
            rows << QStringList{current ? "arrow" : "", c->getInitativeListName().toHtmlEscaped(), current ? "bold" : "",
                                c->getInitiative(false, 0),
                                c->getDefenses(true), c->getHPLevel(), effects.join("; ")}.join(" | ");
        }
        return rows;
    }

    void click(int row, int column, Qt::MouseButton button = Qt::LeftButton, Qt::KeyboardModifiers modifiers = {})
    {
        QTest::mouseClick(table->cellWidget(row, column), button, modifiers, QPoint(4, 4));
        QApplication::processEvents();
    }
    // As the toolkit delivers it: press, release, double click, release.
    void doubleClick(int row, int column, Qt::MouseButton button = Qt::LeftButton, Qt::KeyboardModifiers modifiers = {})
    {
        QWidget* cell = table->cellWidget(row, column);
        QTest::mousePress(cell, button, modifiers, QPoint(4, 4));
        QTest::mouseRelease(cell, button, modifiers, QPoint(4, 4));
        QTest::mouseDClick(cell, button, modifiers, QPoint(4, 4));
        QTest::mouseRelease(cell, button, modifiers, QPoint(4, 4));
        QApplication::processEvents();
    }

    std::unique_ptr<TestWorld> world;
    Table* table = nullptr;
    int conditionsRequests = 0;
    int hitPointBoxRequests = 0;
    int helpRequests = 0;
};

// Counts the paints of the widgets it watches.
class PaintCounter : public QObject
{
public:
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        paints += event->type() == QEvent::Paint ? 1 : 0;
        return false;
    }
};

#define VERIFY_ROWS(screen)                                                                                           \
    do {                                                                                                              \
        QApplication::processEvents();                                                                                \
        QCOMPARE((screen).shownRows().join('\n'), TableScreen::encounterRows().join('\n'));                         \
    } while (false)

}

class TestInitiativeTable : public QObject
{
    Q_OBJECT

private slots:
    void init() { QSettings().clear(); }

    // The rows follow the fight through the real history: commands, steps
    // back and forward, a pause and a restart that replays the log.
    void rowsFollowTheFight()
    {
        TableScreen screen;
        QCOMPARE(screen.table->rowCount(), 10);
        VERIFY_ROWS(screen);
        Creature* brannoc = screen.world->find("Brannoc Ashfield");
        Creature* idrel = screen.world->find("Idrel Vane");
        Creature* hound = screen.world->find("Ashen Hound (1)");
        Creature* goblin = screen.world->find("Mire Goblin Shank (2)");
        ObjectStream* stream = screen.world->stream();
        EffectDetails dazed;
        dazed.origin = goblin;
        dazed.type = CE::Dazed;
        dazed.endCondition = CE::SaveEnds;
        const QList<std::function<Event*()>> fight{
            [&] { return new DamageEvent("Hit", brannoc, hound, 5, "fire", stream); },
            [&] { return new EffectEvent(dazed, {idrel, hound}, stream); },
            [&] { return new SetTempHPEvent({idrel}, 6, stream); },
            [&] { return new DelayEvent(Global::encounter->getCurrentCreature(), stream); },
            [&] { return new NextTurnEvent(stream, false); },
            [&] { return new ReadyEvent(Global::encounter->getCurrentCreature(), stream); },
            [&] { return new NextTurnEvent(stream, false); },
            [&] { return new ShowHideEvent(goblin, true, stream); },
            [&] { return new DamageEvent("Hit", brannoc, screen.world->find("Thornback Archer (1)"), 99, "", stream); },
            [&] { return new DamageEvent("Hit", goblin, idrel, 50, "", stream); },
        };
        QVERIFY(screen.startFight());
        VERIFY_ROWS(screen);
        QCOMPARE(screen.label(0, Table::IconColumn)->toolTip(), QString("It is this creature's turn"));
        QVERIFY(screen.label(0, Table::NameColumn)->text().startsWith("<b>"));
        QList<QStringList> after{screen.shownRows()};
        for (const auto& make : fight) {
            QVERIFY(screen.world->record(make()));
            VERIFY_ROWS(screen);
            after << screen.shownRows();
        }
        // Dead, dying, delayed, ready and hidden creatures all stand in the table, each with its icon.
        QString all = screen.shownRows().join('\n');
        for (int row = 0; row < screen.table->rowCount(); row++)
            all += '\n' + screen.label(row, Table::IconColumn)->toolTip();
        for (const char* text : {"dead, click", "delayed it's", "readied", "hidden from", "Dying 0/3"})
            QVERIFY2(all.contains(text), qPrintable(all));

        for (int i = fight.size() - 1; i >= 0; i--) {
            Global::history->back();
            VERIFY_ROWS(screen);
            QCOMPARE(screen.shownRows(), after[i]);
        }
        for (int i = 1; i <= fight.size(); i++) {
            Global::history->forward(false);
            VERIFY_ROWS(screen);
            QCOMPARE(screen.shownRows(), after[i]);
        }

        // Paused, the rows stay as they were, even with a creature gone; resumed, they follow again.
        screen.table->setPauseUpdate(true);
        QVERIFY(screen.world->record(new RemoveCreaturesEvent(screen.world->find("Wren Talloway"), stream)));
        QCOMPARE(screen.shownRows(), after.last());
        screen.table->setPauseUpdate(false);
        QCOMPARE(screen.table->rowCount(), 9);
        VERIFY_ROWS(screen);

        const QStringList beforeRestart = screen.shownRows();
        QVERIFY(screen.restart());
        VERIFY_ROWS(screen);
        QCOMPARE(screen.shownRows(), beforeRestart);
    }

    // Whatever the game master does, each row shows the creature at its index, and a
    // click selects the creature the row shows.
    void rowsFollowTheRandomFight()
    {
        srand(11);
        TableScreen screen;
        RandomFight fight(*screen.world, true, 3, 4);
        for (int step = 0; step < 300; step++) {
            fight.step();
            if (QTest::currentTestFailed())
                return;
            VERIFY_ROWS(screen);
            if (step % 20 == 0 && screen.table->rowCount() > 0) {
                const int row = step % screen.table->rowCount();
                screen.click(row, Table::NameColumn);
                QCOMPARE(selection(), QString::number(row));
            }
        }
    }

    // One cell of a creature in one state, as the table draws it.
    void cellsByKind_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("state");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("shown");
        const int icon = Table::IconColumn, name = Table::NameColumn, init = Table::InitColumn;
        const int health = Table::HealthColumn, effects = Table::EffectsColumn;
        // Brannoc is row 0 and current at the start; Wren row 1, the hound row 5, the trap row 9.
        QTest::newRow("icon: current before delayed") << 0 << "delayed" << icon << "It is this creature's turn";
        QTest::newRow("icon: delayed") << 1 << "delayed" << icon << "This creature has delayed it's turn, click Jump In)";
        QTest::newRow("icon: ready") << 1 << "ready" << icon << "This creature has readied an action, click Jump In";
        QTest::newRow("icon: hidden before dead") << 5 << "hidden dead" << icon << "This creature is hidden from the players";
        QTest::newRow("icon: dead") << 5 << "dead" << icon << "This creature is dead, click here to remove";
        QTest::newRow("icon: plain") << 1 << "" << icon << "Right-click to multi-select";
        QTest::newRow("name: hero") << 1 << "" << name << "<font color=blue>Wren Talloway</font>";
        QTest::newRow("name: delayed hero") << 1 << "delayed" << name << "<font color=#646464>Wren Talloway</font>";
        QTest::newRow("name: current hero") << 0 << "" << name << "<b><font color=blue>Brannoc Ashfield</font></b>";
        QTest::newRow("name: current dying") << 0 << "dying" << name << "<b><font color=#646464>Brannoc Ashfield</font></b>";
        QTest::newRow("name: monster") << 5 << "" << name << "Ashen Hound (1)";
        QTest::newRow("name: trap") << 9 << "" << name << "<font color=saddlebrown>Pendulum Blade Trap (1)</font>";
        QTest::newRow("name: missing trap") << 9 << "missing" << name << "<font color=#646464>Pendulum Blade Trap (1)</font>";
        QTest::newRow("name: escaped alias") << 1 << "alias" << name
                                             << "<font color=blue>&lt;b&gt;Bo &amp; Co&lt;/b&gt;</font>";
        QTest::newRow("name: escaped monster alias") << 5 << "alias" << name << "&lt;b&gt;Bo &amp; Co&lt;/b&gt; (1)";
        QTest::newRow("init at 49") << 1 << "init 49" << init << "18";
        QTest::newRow("init at 50") << 1 << "init 50" << init << "18 (+8)";
        QTest::newRow("defenses") << 1 << "" << int(Table::DefensesColumn) << "<b>AC</b>17 <b>F</b>12 <b>R</b>18 <b>W</b>14";
        QTest::newRow("health: full") << 1 << "" << health << "100% 30 plain";
        QTest::newRow("health: selected") << 1 << "selected" << health << "100% 30 plain #cce6ff";
        QTest::newRow("health: temporary") << 1 << "temporary" << health << "100% 30+5/30 plain";
        QTest::newRow("health: dying") << 1 << "dying" << health << "-10% -3/30 gray";
        QTest::newRow("health: ready") << 1 << "ready" << health << "100% 30 gray";
        QTest::newRow("health: minion") << 2 << "" << health << "100% Minion plain";
        QTest::newRow("health: trap") << 9 << "" << health << "100% 30 plain";
        QTest::newRow("effects: none") << 1 << "" << effects << "";
        QTest::newRow("effects: state only") << 1 << "dying" << effects << "Dying 0/3";
        QTest::newRow("effects: effects only") << 1 << "dazed" << effects << "Dazed";
        QTest::newRow("effects: both") << 1 << "dying dazed" << effects << "Dying 0/3; Dazed";
        QTest::newRow("effects: disabled trap") << 9 << "dead" << effects << "Disabled";
    }

    // Every colour a name takes reads on a plain row and on a selected one;
    // a greyed name still looks lighter than a black one.
    void namesAreReadable()
    {
        TableScreen screen;
        QVERIFY(screen.startFight());
        // Rows as in cellsByKind: a hero, a delayed hero, a monster and a trap.
        Global::encounter->getCreature(1)->setDelayed(true);
        const QList<int> rows{0, 1, 5, 9};
        const QPalette rowColours = screen.table->palette();
        for (bool selected : {false, true}) {
            select(selected ? rows : QList<int>());
            screen.table->updateList();
            for (int row : rows) {
                QLabel* label = screen.label(row, Table::NameColumn);
                QCOMPARE(label->property("selected").toBool(), selected);
                const QRegularExpressionMatch colour = QRegularExpression("color=([#\\w]+)").match(label->text());
                const QColor text(colour.hasMatch() ? colour.captured(1) : "black");
                for (const QColor& behind : selected ? QList<QColor>{TextColours::selection()}
                                                     : QList<QColor>{rowColours.color(QPalette::Base),
                                                                     rowColours.color(QPalette::AlternateBase)})
                    QVERIFY2(HealthBarColours::contrast(text, behind) >= 4.5, qPrintable(label->text()));
                if (Global::encounter->getCreature(row)->isDelayed())
                    QVERIFY(HealthBarColours::contrast(text, Qt::black) >= 3);
            }
        }
    }

    void cellsByKind()
    {
        QFETCH(int, row);
        QFETCH(QString, state);
        QFETCH(int, column);
        QFETCH(QString, shown);
        TableScreen screen;
        QVERIFY(screen.startFight());
        Creature* creature = Global::encounter->getCreature(row);
        for (const QString& word : state.split(' ', Qt::SkipEmptyParts)) {
            if (word == "delayed")
                creature->setDelayed(true);
            else if (word == "ready")
                creature->setReady(true);
            else if (word == "hidden")
                creature->setHidden(true);
            else if (word == "dead")
                QVERIFY(screen.kill(creature));
            else if (word == "dying")
                QVERIFY(screen.world->record(new DamageEvent("Hit", creature, creature, creature->getCurrHitPoints() + 3,
                                                             "", screen.world->stream())));
            else if (word == "missing")
                creature->setMissing(true);
            else if (word == "temporary")
                creature->setTempHitPoints(5);
            else if (word == "selected")
                select({row});
            else if (word == "alias") {
                creature->setAlias("<b>Bo & Co</b>");
                creature->setShowAlias(true);
            } else if (word == "dazed") {
                EffectDetails details;
                details.origin = Global::encounter->getCreature(5);
                details.type = CE::Dazed;
                details.endCondition = CE::SaveEnds;
                QVERIFY(screen.world->record(new EffectEvent(details, {creature}, screen.world->stream())));
            } else if (word.toInt() > 0) {
                screen.table->setColumnWidth(Table::InitColumn, word.toInt());
            }
        }
        screen.table->updateList();
        QWidget* cell = screen.table->cellWidget(row, column);
        QCOMPARE(cell->property("selected").toBool(), Global::encounter->isCreatureSelected(creature));
        QString actual;
        if (column == Table::IconColumn) {
            actual = cell->toolTip();
            QVERIFY(!screen.label(row, column)->pixmap().isNull());
            QCOMPARE(screen.label(row, column)->pixmap().height(), 18);
        } else if (column == Table::HealthColumn) {
            const ProgressBarWidget* bar = screen.bar(row);
            actual = QStringList{QString("%1%").arg(bar->getPercent()), bar->getText(), bar->isGray() ? "gray" : "plain",
                                 bar->getBackgroundColour()}.join(' ').trimmed();
        } else {
            actual = screen.label(row, column)->text();
        }
        QCOMPARE(actual, shown);
    }

    // Widths, visibility and order of the columns across rebuilds of the table.
    void columnsPersist()
    {
        auto order = [](Table* table) {
            QList<int> logical;
            for (int visual = 0; visual < Table::ColumnCount; visual++)
                logical << table->horizontalHeader()->logicalIndex(visual);
            return logical;
        };
        auto widths = [](Table* table) {
            QList<int> values;
            for (int column = 0; column < Table::EffectsColumn; column++)
                values << table->horizontalHeader()->sectionSize(column);
            return values;
        };
        {
            TableScreen screen;
            QCOMPARE(widths(screen.table), (QList<int>{24, 210, 40, 115, 100}));
            QCOMPARE(order(screen.table), (QList<int>{0, 1, 2, 3, 4, 5}));
            for (int column = 0; column < Table::ColumnCount; column++)
                QVERIFY(!screen.table->isColumnHidden(column));
            QStringList headers;
            for (int column = 0; column < Table::ColumnCount; column++)
                headers << screen.table->horizontalHeaderItem(column)->text();
            QCOMPARE(headers, (QStringList{"", "Name", "Init", "Defenses", "Health", "Conditions and Effects"}));

            screen.table->setColumnWidth(Table::NameColumn, 150);
            screen.table->setColumnWidth(Table::DefensesColumn, 90);
            QHeaderView* header = screen.table->horizontalHeader();
            // Drags to the ends are undone, except for the icon and effects columns.
            header->moveSection(header->visualIndex(Table::InitColumn), 0);
            header->moveSection(header->visualIndex(Table::InitColumn), 5);
            header->moveSection(header->visualIndex(Table::IconColumn), 3);
            header->moveSection(header->visualIndex(Table::EffectsColumn), 2);
            QCOMPARE(order(screen.table), (QList<int>{0, 1, 2, 3, 4, 5}));
            header->moveSection(header->visualIndex(Table::HealthColumn), 1);
            header->moveSection(header->visualIndex(Table::IconColumn), 5);
            QCOMPARE(order(screen.table), (QList<int>{4, 1, 2, 3, 5, 0}));
            screen.table->hideColumn(Table::DefensesColumn);
        }
        QSettings settings;
        QVERIFY(!settings.contains("initiativeList/iconColumnWidth"));
        QCOMPARE(settings.value("initiativeList/defensesColumnVisible").toBool(), false);
        QCOMPARE(settings.value("initiativeList/defensesColumnWidth").toInt(), 90);
        {
            TableScreen screen;
            // The icon comes back to the first place; the others keep theirs.
            QCOMPARE(order(screen.table), (QList<int>{0, 4, 1, 2, 3, 5}));
            QVERIFY(screen.table->isColumnHidden(Table::DefensesColumn));
            screen.table->showColumn(Table::DefensesColumn);
            QCOMPARE(widths(screen.table), (QList<int>{24, 150, 40, 90, 100}));
        }
        // Two columns stored at one place: the later one takes it.
        settings.clear();
        settings.setValue("initiativeList/nameColumnPosition", 1);
        settings.setValue("initiativeList/healthColumnPosition", 1);
        settings.setValue("initiativeList/iconColumnWidth", 30);
        {
            TableScreen screen;
            QCOMPARE(order(screen.table), (QList<int>{0, 4, 2, 3, 1, 5}));
            QCOMPARE(screen.table->columnWidth(Table::IconColumn), 30);
        }
        QCOMPARE(settings.value("initiativeList/iconColumnWidth").toInt(), 30);
    }

    // Until the game master sets a width, the columns give their spare room
    // to the last column of a narrow table, the Defenses and Init columns
    // first; the effects wrap before a name or a health figure gives way, and
    // the columns take their room back when the table widens; widths stored
    // or set by hand stay. Whatever gives way, every name shows whole in the
    // bold of the current creature and every health figure inside its bar's
    // outline, however the figures change after the fit.
    void columnsGiveWay_data()
    {
        QTest::addColumn<int>("storedName");
        QTest::addColumn<int>("tableWidth");
        QTest::addColumn<QList<int>>("widths");
        QTest::addColumn<bool>("whole");
        QTest::addColumn<QString>("effect");
        QTest::addColumn<bool>("wraps");
        QTest::addColumn<QString>("alias");
        const QList<int> defaults{210, 40, 115, 100};
        const QString pitch = "burning pitch poured from the gatehouse murder holes";
        // The table's width in the main window at its first start on a 1,280 × 800 screen.
        const int firstStart = 604;
        auto row = [](const char* name, int storedName, int tableWidth, const QList<int>& widths, bool whole,
                      const QString& effect = QString(), bool wraps = false, const QString& alias = QString()) {
            QTest::newRow(name) << storedName << tableWidth << widths << whole << effect << wraps << alias;
        };
        row("wide", 0, 900, defaults, true);
        row("narrow", 0, 600, {}, true);
        row("narrower", 0, 540, {}, true);
        row("narrow, then wide", 0, -900, defaults, true);
        row("stored", 210, 540, defaults, false);
        row("set by hand", -200, 540, {200, 40, 115, 100}, false);
        row("long effect", 0, 900, {}, true, pitch, true);
        row("long effect, narrow", 0, 600, {}, true, pitch, true);
        row("long effect, stored", 210, 900, defaults, true, pitch, true);
        row("long effect, first start", 0, firstStart, {}, true, pitch, true);
        row("long effect, narrower than a first start", 0, 560, {}, true, pitch, true);
        // 0: the least width the table asks for, where the effects' title gives way last.
        row("long effect, least width", 0, 0, {}, true, pitch, true);
        // A monster's alias, with its number wider than the name's first width: the name takes its room first.
        const QString captain = "Captain Varrow the Warden";
        for (const int width : {0, 600, 900, 1200})
            row(qPrintable(width ? QString("long name, %1").arg(width) : QString("long name, least width")), 0, width,
                {}, true, QString(), false, captain);
        row("long name, long effect, first start", 0, firstStart, {}, true, pitch, true, captain);
        row("long name, long effect, least width", 0, 0, {}, true, pitch, true, captain);
    }

    void columnsGiveWay()
    {
        QFETCH(int, storedName);
        QFETCH(int, tableWidth);
        QFETCH(QList<int>, widths);
        QFETCH(bool, whole);
        QFETCH(QString, effect);
        QFETCH(bool, wraps);
        QFETCH(QString, alias);
        if (storedName > 0)
            QSettings().setValue("initiativeList/nameColumnWidth", storedName);
        TableScreen screen;
        QVERIFY(screen.startFight());
        Creature* dying = Global::encounter->getCreature(0);
        QVERIFY(screen.world->record(
                new DamageEvent("Hit", dying, dying, dying->getCurrHitPoints() + 1, "", screen.world->stream())));
        if (!alias.isEmpty()) {
            Creature* goblin = Global::encounter->getCreature(2);
            goblin->setAlias(alias);
            goblin->setShowAlias(true);
            screen.table->updateList();
        }
        if (storedName < 0)
            screen.table->setColumnWidth(Table::NameColumn, -storedName);
        if (tableWidth < 0)
            screen.table->resize(540, 400);
        screen.table->resize(qAbs(tableWidth), 400);
        QApplication::processEvents();
        const bool least = tableWidth == 0;
        // Given once the table shows: the columns make room as the text grows.
        if (!effect.isEmpty()) {
            EffectDetails burning;
            burning.origin = dying;
            burning.type = CE::OnGoingDamage;
            burning.endCondition = CE::SaveEnds;
            burning.amount = 5;
            burning.comment = effect;
            QVERIFY(screen.world->record(
                    new EffectEvent(burning, {Global::encounter->getCreature(1)}, screen.world->stream())));
            QVERIFY(screen.world->record(
                    new SetTempHPEvent({Global::encounter->getCreature(4)}, 12, screen.world->stream())));
            QApplication::processEvents();
        }
        if (least) {
            screen.table->resize(screen.table->minimumSizeHint().width(), 400);
            QApplication::processEvents();
        }
        VERIFY_ROWS(screen);
        QVERIFY(screen.shownRows().join('\n').contains("Dying 0/3"));
        QStringList cut = cutTexts(screen.table);
        if (whole)
            cut << cutNamesAndFigures(screen.table);
        QVERIFY2(cut.isEmpty() == whole, qPrintable(cut.join('\n')));
        QCOMPARE(screen.table->rowHeight(1) > screen.table->rowHeight(0), wraps);
        QList<int> shown;
        for (int column : {Table::NameColumn, Table::InitColumn, Table::DefensesColumn, Table::HealthColumn})
            shown << screen.table->columnWidth(column);
        if (!widths.isEmpty())
            QCOMPARE(shown, widths);
        // Who and how hurt keep their room while the effects can wrap; a long name takes some of it.
        if (qAbs(tableWidth) >= (alias.isEmpty() ? 600 : 900) && widths.isEmpty())
            QCOMPARE(shown[3], 100);
        if (qAbs(tableWidth) >= 900 && widths.isEmpty() && alias.isEmpty())
            QCOMPARE(shown[0], 210);
        // The effects' title, elided at the least width and by stored widths, shows whole in its tooltip.
        const QString title = screen.table->horizontalHeaderItem(Table::EffectsColumn)->text();
        QCOMPARE(screen.table->horizontalHeaderItem(Table::EffectsColumn)->toolTip(), least || !whole ? title : QString());
    }

    // A drag of the table's edge, narrower and back, across widths where the
    // columns give way, the effects wrap and the scroll bar comes and goes:
    // at each step every cell widget lies over its cell, and the cells are
    // laid out before the table paints, so that each paints once.
    void dragPaintsEachCellOnce()
    {
        TableScreen screen;
        QVERIFY(screen.startFight());
        EffectDetails burning;
        burning.origin = Global::encounter->getCreature(0);
        burning.type = CE::OnGoingDamage;
        burning.endCondition = CE::SaveEnds;
        burning.amount = 5;
        burning.comment = "burning pitch poured from the gatehouse murder holes";
        QVERIFY(screen.world->record(new EffectEvent(burning, {Global::encounter->getCreature(1)}, screen.world->stream())));
        screen.table->resize(900, 290);
        QApplication::processEvents();
        PaintCounter counter;
        const int last = screen.table->rowCount() - 1;
        for (int column : {Table::NameColumn, Table::EffectsColumn})
            for (int row : {1, last})
                screen.table->cellWidget(row, column)->installEventFilter(&counter);
        int wrapped = 0;
        int scrolled = 0;
        for (int step = 1; step <= 36; step++) {
            screen.table->resize(900 - 20 * (step <= 18 ? step : 36 - step), 290);
            counter.paints = 0;
            QApplication::processEvents();
            QCOMPARE(counter.paints, 4);
            for (int row = 0; row <= last; row++)
                for (int column = 0; column < Table::ColumnCount; column++)
                    QCOMPARE(screen.table->cellWidget(row, column)->geometry(),
                             screen.table->visualRect(screen.table->model()->index(row, column)));
            wrapped += screen.table->rowHeight(1) > screen.table->rowHeight(0) + 20 ? 1 : 0;
            scrolled += screen.table->verticalScrollBar()->isVisible() ? 1 : 0;
        }
        QVERIFY(wrapped > 0 && scrolled > 0);
        QVERIFY(!screen.table->verticalScrollBar()->isVisible());
    }

    // The header's menu, opened by a click on a section or a right click.
    void headerMenu()
    {
        TableScreen screen;
        QHeaderView* header = screen.table->horizontalHeader();
        const QPoint defenses(header->sectionViewportPosition(Table::DefensesColumn) + 5, 5);
        {
            PopupAnswer answer("Defenses Column");
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, defenses);
            QCOMPARE(answer.menus.value(0), (QStringList{"[x] Init Column", "[x] Defenses Column", "[x] Health Column",
                                                         "Need help selecting?"}));
        }
        QVERIFY(screen.table->isColumnHidden(Table::DefensesColumn));
        {
            PopupAnswer answer("Defenses Column");
            QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), header->viewport()->mapToGlobal(QPoint(5, 5)));
            QApplication::sendEvent(header->viewport(), &event);
            QCOMPARE(answer.menus.value(0).value(1), QString("[ ] Defenses Column"));
        }
        QVERIFY(!screen.table->isColumnHidden(Table::DefensesColumn));
        {
            PopupAnswer answer("Need help selecting?");
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
        }
        QCOMPARE(screen.helpRequests, 1);
        {
            PopupAnswer nothing;
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
            QCOMPARE(nothing.menus.size(), 1);
        }
        for (int column = 0; column < Table::ColumnCount; column++)
            QVERIFY(!screen.table->isColumnHidden(column));
        QCOMPARE(screen.helpRequests, 1);
    }

    // Clicks on the cell widgets, with buttons and modifiers, from a selection of rows 2 and 8.
    void selectionByClicks_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("button");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<bool>("twice");
        QTest::addColumn<QString>("selected");
        QTest::addColumn<int>("conditions");
        QTest::addColumn<int>("menus");
        const int left = Qt::LeftButton, right = Qt::RightButton;
        const int none = Qt::NoModifier, shift = Qt::ShiftModifier, control = Qt::ControlModifier;
        const int meta = Qt::MetaModifier, alt = Qt::AltModifier;
        const int name = Table::NameColumn, effects = Table::EffectsColumn;
        QTest::newRow("plain") << 5 << name << left << none << false << "5" << 0 << 0;
        QTest::newRow("shift") << 5 << name << left << shift << false << "2 3 4 5 8" << 0 << 0;
        QTest::newRow("shift on a selected row") << 8 << name << left << shift << false << "2 3 4 5 6 7 8" << 0 << 0;
        QTest::newRow("right") << 5 << name << right << none << false << "2 5 8" << 0 << 0;
        QTest::newRow("right on a selected row") << 2 << name << right << none << false << "8" << 0 << 0;
        QTest::newRow("control") << 5 << name << left << control << false << "2 5 8" << 0 << 0;
        QTest::newRow("control on a selected row") << 8 << name << left << control << false << "2" << 0 << 0;
        QTest::newRow("meta") << 5 << name << left << meta << false << "2 5 8" << 0 << 0;
        QTest::newRow("meta right") << 5 << name << right << meta << false << "2 5 8" << 0 << 0;
        QTest::newRow("alt") << 5 << name << left << alt << false << "2 8" << 0 << 0;
        QTest::newRow("shift right") << 5 << name << right << shift << false << "2 8" << 0 << 0;
        QTest::newRow("control right") << 5 << name << right << control << false << "2 8" << 0 << 0;
        QTest::newRow("shift control") << 5 << name << left << (shift | control) << false << "2 8" << 0 << 0;
        QTest::newRow("double") << 5 << name << left << none << true << "5" << 1 << 0;
        QTest::newRow("double with control") << 5 << name << left << control << true << "2 5 8" << 0 << 0;
        QTest::newRow("effects of an unselected row") << 5 << effects << left << none << false << "5" << 1 << 0;
        QTest::newRow("effects of a selected row") << 2 << effects << left << none << false << "2 8" << 1 << 0;
        QTest::newRow("effects, double") << 5 << effects << left << none << true << "5" << 2 << 0;
        QTest::newRow("effects, right, selected") << 2 << effects << right << none << false << "2 8" << 0 << 1;
        QTest::newRow("effects, right, unselected") << 5 << effects << right << none << false << "2 5 8" << 0 << 1;
        QTest::newRow("effects, control, selected") << 8 << effects << left << control << false << "2 8" << 0 << 1;
        QTest::newRow("effects, alt") << 5 << effects << left << alt << false << "2 8" << 0 << 0;
    }

    void selectionByClicks()
    {
        QFETCH(int, row);
        QFETCH(int, column);
        QFETCH(int, button);
        QFETCH(int, modifiers);
        QFETCH(bool, twice);
        QFETCH(QString, selected);
        QFETCH(int, conditions);
        QFETCH(int, menus);
        TableScreen screen;
        select({2, 8});
        screen.table->updateList();
        PopupAnswer answer;
        if (twice)
            screen.doubleClick(row, column, Qt::MouseButton(button), Qt::KeyboardModifiers(modifiers));
        else
            screen.click(row, column, Qt::MouseButton(button), Qt::KeyboardModifiers(modifiers));
        QTRY_COMPARE(answer.menus.size(), menus);
        QCOMPARE(selection(), selected);
        QCOMPARE(screen.conditionsRequests, conditions);
        QCOMPARE(screen.hitPointBoxRequests, 0);
        // Every selected row, and only those, has the selection's background; the health bar draws its own.
        for (int i = 0; i < screen.table->rowCount(); i++)
            for (int c = 0; c < Table::ColumnCount; c++) {
                QWidget* cell = screen.table->cellWidget(i, c);
                const bool isSelected = selected.split(' ').contains(QString::number(i));
                QCOMPARE(cell->property("selected").toBool(), isSelected);
                if (c != Table::HealthColumn)
                    QCOMPARE(cell->grab().toImage().pixelColor(0, 0) == TextColours::selection(), isSelected);
            }
    }

    // The effects cell's menu: its entries, and each choice reaching its command.
    void cellMenu_data()
    {
        QTest::addColumn<bool>("running");
        QTest::addColumn<bool>("alias");
        QTest::addColumn<QString>("choice");
        QTest::addColumn<QString>("command");
        QTest::newRow("no current creature") << false << false << "" << "";
        QTest::newRow("conditions") << true << false << "Conditions and Effects..." << "conditions";
        QTest::newRow("remove") << true << false << "Remove Selected" << "remove";
        QTest::newRow("up") << true << false << "Initiative Up" << "adjust -1";
        QTest::newRow("down") << true << false << "Initiative Down" << "adjust 1";
        QTest::newRow("hide alias") << true << false << "Hide Alias" << "alias 2 hide";
        QTest::newRow("show alias") << true << true << "Show Alias" << "alias 2 show";
        QTest::newRow("set alias") << true << false << "Set Alias..." << "edit 2";
        QTest::newRow("help") << true << false << "Need help selecting?" << "help";
    }

    void cellMenu()
    {
        QFETCH(bool, running);
        QFETCH(bool, alias);
        QFETCH(QString, choice);
        QFETCH(QString, command);
        TableScreen screen;
        if (running)
            QVERIFY(screen.startFight());
        Global::characters->findCharacter("Brannoc Ashfield")->setName("Brannoc & Co");
        if (alias)
            Global::encounter->getCreature(8)->setAlias("Rat");
        select({2, 8});
        QStringList commands;
        Table* table = screen.table;
        QObject::connect(table, &Table::doAddConditionOrEffect, [&] { commands << "conditions"; });
        QObject::connect(table, &Table::doRemoveSelectedCreatures, [&] { commands << "remove"; });
        QObject::connect(table, &Table::doAdjustSelectedCreaturesInitiative,
                         [&](int places) { commands << QString("adjust %1").arg(places); });
        QObject::connect(table, &Table::doShowAliases, [&](const QList<Creature*>& creatures, bool show) {
            commands << QString("alias %1 %2").arg(creatures.size()).arg(show ? "show" : "hide");
        });
        QObject::connect(table, &Table::doEditAliases,
                         [&](const QList<Creature*>& creatures) { commands << QString("edit %1").arg(creatures.size()); });
        QObject::connect(table, &Table::doHelpWithSelections, [&] { commands << "help"; });
        const int events = Global::history->getEventCount();

        PopupAnswer answer(choice);
        screen.click(8, Table::EffectsColumn, Qt::RightButton);
        QTRY_COMPARE(answer.menus.size(), 1);
        QStringList entries{"Conditions and Effects...", "Marked by Brannoc && Co", "Remove Selected", "Initiative Up",
                            "Initiative Down", alias ? "Show Alias" : "Hide Alias", "Set Alias...", "Need help selecting?"};
        if (!running)
            entries.removeAt(1);
        QCOMPARE(answer.menus.first(), entries);
        QCOMPARE(commands.join(", "), command);
        QCOMPARE(selection(), QString("2 8"));
        QCOMPARE(Global::history->getEventCount(), events);
    }

    // Marking the selection: one event, undone, redone, replayed after a restart.
    void markedByRoundTrip()
    {
        TableScreen screen;
        QVERIFY(screen.startFight());
        select({2, 8});
        const int events = Global::history->getEventCount();
        const QString before = screen.world->describe();
        {
            PopupAnswer nothing;
            screen.click(8, Table::EffectsColumn, Qt::RightButton);
            QTRY_COMPARE(nothing.menus.size(), 1);
        }
        QCOMPARE(Global::history->getEventCount(), events);
        {
            PopupAnswer answer("Marked by Brannoc Ashfield");
            screen.click(2, Table::EffectsColumn, Qt::RightButton);
            QTRY_COMPARE(answer.menus.size(), 1);
        }
        QCOMPARE(eventTexts(events).size(), 1);
        for (Creature* marked : {Global::encounter->getCreature(2), Global::encounter->getCreature(8)}) {
            QCOMPARE(marked->getEffects().size(), 1);
            QCOMPARE(marked->getEffects().first()->getEffectType(), CE::Marked);
            QCOMPARE(marked->getEffects().first()->getOrigin(), Global::encounter->getCreature(0));
        }
        QTRY_VERIFY(screen.label(2, Table::EffectsColumn)->text().contains("Marked"));
        const QString after = screen.world->describe();
        Global::history->back();
        QCOMPARE(screen.world->describe(), before);
        VERIFY_ROWS(screen);
        Global::history->forward(false);
        QCOMPARE(screen.world->describe(), after);
        QVERIFY(screen.restart());
        QVERIFY2(screen.world->describe() == after, qPrintable(TestWorld::difference(after, screen.world->describe())));
        VERIFY_ROWS(screen);
    }

    void keys_data()
    {
        QTest::addColumn<int>("creatures");
        QTest::addColumn<QList<int>>("before");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("after");
        QTest::addColumn<int>("hitPointBox");
        const int up = Qt::Key_Up, down = Qt::Key_Down, shift = Qt::ShiftModifier;
        QTest::newRow("escape") << 10 << QList<int>{2, 8} << int(Qt::Key_Escape) << 0 << "" << 0;
        QTest::newRow("tab") << 10 << QList<int>{2} << int(Qt::Key_Tab) << 0 << "2" << 1;
        QTest::newRow("backtab") << 10 << QList<int>{2} << int(Qt::Key_Backtab) << shift << "2" << 1;
        QTest::newRow("up") << 10 << QList<int>{3, 4, 5} << up << 0 << "2" << 0;
        QTest::newRow("up from the first") << 10 << QList<int>{0} << up << 0 << "9" << 0;
        QTest::newRow("up with nothing selected") << 10 << QList<int>{} << up << 0 << "9" << 0;
        QTest::newRow("shift up") << 10 << QList<int>{3, 4, 5} << up << shift << "2 3 4 5" << 0;
        QTest::newRow("down") << 10 << QList<int>{3, 4, 5} << down << 0 << "6" << 0;
        QTest::newRow("down from the last") << 10 << QList<int>{9} << down << 0 << "0" << 0;
        QTest::newRow("down with nothing selected") << 10 << QList<int>{} << down << 0 << "0" << 0;
        QTest::newRow("shift down") << 10 << QList<int>{3, 4, 5} << down << shift << "3 4 5 6" << 0;
        QTest::newRow("shift down from the last") << 10 << QList<int>{9} << down << shift << "0 9" << 0;
        for (int key : {int(Qt::Key_Escape), int(Qt::Key_Tab), int(Qt::Key_Backtab), up, down})
            QTest::newRow(qPrintable(QString("empty table, key %1").arg(key)))
                << 0 << QList<int>{} << key << 0 << "" << int(key == Qt::Key_Tab || key == Qt::Key_Backtab);
    }

    void keys()
    {
        QFETCH(int, creatures);
        QFETCH(QList<int>, before);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, after);
        QFETCH(int, hitPointBox);
        TableScreen screen;
        if (creatures == 0)
            Global::encounter->setCreatureList(CreatureList());
        screen.table->updateList();
        select(before);
        QKeyEvent press(QEvent::KeyPress, key, Qt::KeyboardModifiers(modifiers));
        QVERIFY(screen.table->handleKeyEvent(&press));
        QCOMPARE(selection(), after);
        QCOMPARE(screen.hitPointBoxRequests, hitPointBox);
        QCOMPARE(screen.table->rowCount(), creatures);

        // The same through the table's own key handling.
        select(before);
        QTest::keyClick(screen.table, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(selection(), after);
        QCOMPARE(screen.hitPointBoxRequests, 2 * hitPointBox);
        QKeyEvent other(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier);
        QVERIFY(!screen.table->handleKeyEvent(&other));
    }

    // A command that removes the clicked row runs after the mouse event, and
    // only while the row still shows the creature that was clicked.
    void commandsThatDropTheirOwnRow()
    {
        TableScreen screen;
        QVERIFY(screen.startFight());
        Table* table = screen.table;
        QObject::connect(table, &Table::doRemoveCreatureFromEncounter, [&](Creature* creature) {
            QVERIFY(screen.world->record(new RemoveCreaturesEvent(creature, screen.world->stream())));
        });
        QObject::connect(table, &Table::doRemoveSelectedCreatures, [&] {
            QVERIFY(screen.world->record(
                new RemoveCreaturesEvent(Global::encounter->getSelectedCreatures(), screen.world->stream())));
        });

        // The dead trap in the last row, removed from its own icon.
        Creature* trap = Global::encounter->getCreature(9);
        QVERIFY(screen.kill(trap));
        QVERIFY(trap->isDead(false));
        QTest::mouseClick(table->cellWidget(9, Table::IconColumn), Qt::LeftButton, {}, QPoint(4, 4));
        QCOMPARE(Global::encounter->getCreatureIndex(trap), 9);
        QTRY_COMPARE(table->rowCount(), 9);
        QCOMPARE(Global::encounter->getCreatureIndex(trap), -1);
        VERIFY_ROWS(screen);

        // The last row, through the cell menu.
        Creature* goblin = Global::encounter->getCreature(8);
        select({8});
        {
            PopupAnswer answer("Remove Selected");
            screen.click(8, Table::EffectsColumn, Qt::RightButton);
            QTRY_COMPARE(table->rowCount(), 8);
        }
        QCOMPARE(Global::encounter->getCreatureIndex(goblin), -1);
        VERIFY_ROWS(screen);

        // A panel opened by a double click, during which the row goes away.
        Creature* last = Global::encounter->getCreature(7);
        int panels = 0;
        QObject::connect(table, &Table::doAddConditionOrEffect, [&] {
            panels++;
            TestPanel panel;
            CombatTesting::runPanel(panel, [&] {
                QVERIFY(screen.world->record(new RemoveCreaturesEvent(last, screen.world->stream())));
                panel.reject();
            });
        });
        screen.doubleClick(7, Table::NameColumn);
        QCOMPARE(panels, 1);
        QTRY_COMPARE(table->rowCount(), 7);
        VERIFY_ROWS(screen);

        // Another creature left before the click's command ran: the row shows someone else now.
        Creature* dead = Global::encounter->getCreature(6);
        QVERIFY(screen.kill(dead));
        QTest::mouseClick(table->cellWidget(6, Table::IconColumn), Qt::LeftButton, {}, QPoint(4, 4));
        QVERIFY(screen.world->record(new RemoveCreaturesEvent(Global::encounter->getCreature(1), screen.world->stream())));
        QApplication::processEvents();
        QCOMPARE(Global::encounter->getCreatureIndex(dead), 5);
        QCOMPARE(selection(), QString());
        VERIFY_ROWS(screen);
    }

    // The program starts with the table as its central view; a click in the
    // health column puts the keyboard into the HP box.
    void inTheMainWindow()
    {
        QSettings().clear();
        WindowWorld fixture;
        auto* table = fixture.window->findChild<Table*>();
        QVERIFY(table);
        QCOMPARE(fixture.window->findChild<QStackedWidget*>()->currentWidget(), table);
        fixture.world->addHero("Ana", 30);
        fixture.world->addHero("Bron", 30);
        Global::encounter->setCreatureList(CreatureList({fixture.world->find("Ana"), fixture.world->find("Bron")}));
        fixture.window->updateMainInitiativeList();
        QCOMPARE(table->rowCount(), 2);
        QTest::mouseClick(table->cellWidget(1, Table::HealthColumn), Qt::LeftButton, {}, QPoint(4, 4));
        QTRY_VERIFY(CombatTesting::hitPointBox()->hasFocus());
        QCOMPARE(selection(), QString("1"));
        table->setFocus();
        QTest::keyClick(table, Qt::Key_Up);
        QCOMPARE(selection(), QString("0"));
        QTest::keyClick(table, Qt::Key_Tab);
        QTRY_VERIFY(CombatTesting::hitPointBox()->hasFocus());

        // Behind another page the table waits; shown again, it shows what changed meanwhile.
        auto* stack = fixture.window->findChild<QStackedWidget*>();
        auto* cell = static_cast<QLabel*>(table->cellWidget(1, Table::DefensesColumn));
        const QString before = cell->text();
        QWidget* other = stack->widget(stack->indexOf(table) == 0 ? 1 : 0);
        stack->setCurrentWidget(other);
        Creature* bron = fixture.world->find("Bron");
        bron->setArmorClass(bron->getArmorClass() + 5);
        emit Global::switchBoard.doCreatureUpdated(bron);
        QApplication::processEvents();
        QCOMPARE(cell->text(), before);
        stack->setCurrentWidget(table);
        QCOMPARE(cell->text(), bron->getDefenses(true));
        QVERIFY(cell->text() != before);
    }
};

RAVELHORN_TEST_MAIN(QApplication, TestInitiativeTable)
#include "uitest_initiativetable.moc"
