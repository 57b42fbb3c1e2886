#include <QAbstractItemModelTester>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDockWidget>
#include <QHeaderView>
#include <QScrollBar>
#include <QSignalSpy>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPainter>
#include <QSet>
#include <QSettings>
#include <QStandardItemModel>
#include <QTableView>
#include <QTimer>

#include <memory>

#include "encounter/damageevents.h"
#include "encounter/effectevents.h"
#include "encounter/encounter.h"
#include "encounter/encounterevents.h"
#include "encounter/history.h"
#include "encounter/powerevents.h"
#include "encounter/rosterevents.h"
#include "encounter/turnorderevents.h"
#include "foundation/global.h"
#include "library/characters.h"
#include "library/monsters.h"
#include "mainwindow/playersbanners.h"
#include "mainwindow/playerslistmodel.h"
#include "mainwindow/playersview.h"
#include "mainwindow/playerswindow.h"
#include "mainwindow/mainwindowtesting.h"
#include "toolkit/progressbar.h"
#include "support/cuttexts.h"
#include "support/randomfight.h"
#include "support/testsupport.h"
#include "support/testworld.h"

namespace {

using S = ObjectStream*;

// The players' window over a test world, shown offscreen.
struct PlayersScreen
{
    explicit PlayersScreen(bool show = true)
    {
        window = new PlayersWindow;
        Global::playersWindow = window;
        if (show) {
            window->resize(1000, 700);
            window->show();
        }
    }
    ~PlayersScreen()
    {
        delete window;
        Global::playersWindow = nullptr;
    }
    // The window rebuilds once per pass of the event loop.
    static void settle() { QApplication::processEvents(); }
    PlayersListModel* model() const { return window->getPlayersList(); }
    PlayersView* view() const { return window->getPlayersView(); }
    template <typename T>
    T* find() const { return window->findChild<T*>(); }

    // Every text the players can read, each with where it stands.
    QStringList texts() const
    {
        settle();
        QStringList shown;
        for (int row = 0; row < model()->rowCount(); row++)
            for (int column = 0; column < model()->columnCount(); column++)
                shown << QString("cell %1,%2: %3").arg(row).arg(column).arg(model()->index(row, column).data().toString());
        for (QLabel* label : window->findChildren<QLabel*>())
            shown << "label: " + label->text();
        for (int i = 0; i < find<QListWidget>()->count(); i++)
            shown << "ticker: " + find<QListWidget>()->item(i)->text();
        return shown;
    }

    QStringList column(int column, int role = Qt::DisplayRole) const
    {
        settle();
        QStringList values;
        for (int row = 0; row < model()->rowCount(); row++)
            values << model()->index(row, column).data(role).toString();
        return values;
    }

    PlayersWindow* window;
};

// Which rows carry the turn marker.
QString markers(PlayersListModel* model)
{
    QString marks;
    for (int row = 0; row < model->rowCount(); row++)
        marks += model->isCurrentIndex(row) ? "a" : "-";
    return marks;
}

// Runs the entries of a context menu, returns their texts and chooses one (none: -1).
QStringList runMenu(QWidget* widget, int choose)
{
    QStringList entries;
    QTimer::singleShot(0, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu)
            return;
        for (QAction* action : menu->actions())
            entries << action->text();
        if (choose >= 0) {
            menu->setActiveAction(menu->actions().value(choose));
            QTest::keyClick(menu, Qt::Key_Return);
        } else {
            menu->close();
        }
    });
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5));
    QApplication::sendEvent(widget, &event);
    return entries;
}

void start(TestWorld& world, const InitiativeList& heroes, const InitiativeList& monsters)
{
    QVERIFY(world.record(new StartEncounterEvent(heroes, monsters, world.stream())));
}

void nextTurns(TestWorld& world, int count)
{
    for (int i = 0; i < count; i++)
        QVERIFY(world.record(new NextTurnEvent(world.stream(), false)));
}

// Names that must not reach the players: those of hidden creatures, and the
// real names of creatures that show an alias.
QStringList forbiddenNames()
{
    QList<Creature*> all;
    for (int i = 0; i < Global::characters->getCharacterCount(); i++)
        all << Global::characters->getCharacter(i);
    for (int i = 0; i < Global::monsters->getInstanceCount(); i++)
        all << Global::monsters->getInstance(i);
    QStringList names;
    for (Creature* c : all)
        if (c->isHidden() || (c->isShowAlias() && !c->getAlias().isEmpty()))
            names << c->getNameGroup();
    return names;
}

// Creatures the players may see in the table now.
QStringList visibleNames()
{
    QStringList names;
    for (Creature* c : Global::encounter->getCreatureList().getCreatureList())
        if (!c->isHidden() && !c->isTrap() && (c->isHero() || (Global::encounter->isRunning() && !c->isDead(true))))
            names << c->getInitativeListName();
    return names;
}

// Every cell shows its whole text, and the table its whole width.
void verifyEveryTextFits(PlayersView* view)
{
    const QStringList cut = cutTexts(view);
    QVERIFY2(cut.isEmpty(), qPrintable(cut.join("\n")));
}

// A text of the colour reads at 4.5:1 or better over every pixel of the area.
void verifyReadable(const QColor& text, const QImage& picture, const QRect& area)
{
    for (int y = area.top(); y <= area.bottom(); y++)
        for (int x = area.left(); x <= area.right(); x++)
            QVERIFY2(HealthBarColours::contrast(text, picture.pixelColor(x, y)) >= 4.5,
                     qPrintable(QString("%1 over %2").arg(text.name(), picture.pixelColor(x, y).name())));
}

QStringList captions(QWidget* kills)
{
    QApplication::processEvents();
    QStringList texts;
    for (QLabel* label : kills->findChildren<QLabel*>())
        if (label->alignment() == Qt::AlignHCenter && label->isVisibleTo(kills))
            texts << label->text();
    return texts;
}

}

class TestPlayersWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { Global::init(); }

    void init()
    {
        QSettings().clear();
        hooks = std::make_unique<RecordingUiHooks>();
        world = std::make_unique<TestWorld>();
    }

    void cleanup()
    {
        world.reset();
        hooks.reset();
    }

    void firstStartDefaultsAndTheMenu()
    {
        world->addHero("Hero A", 30);
        Global::encounter->setCreatureList(CreatureList({world->find("Hero A")}));
        {
            PlayersScreen screen;
            screen.model()->refreshList();
            QCOMPARE(screen.view()->getFontSize(), 0);
            QVERIFY(screen.model()->getShowDamageAndHeals());
            QCOMPARE(screen.find<TickerWidget>()->getFontSize(), 16);
            QCOMPARE(screen.window->windowTitle(), QString("Ravelhorn Player's Display"));
            auto area = [&](const char* name) { return screen.window->dockWidgetArea(screen.window->findChild<QDockWidget*>(name)); };
            QCOMPARE(area("yourTurn"), Qt::TopDockWidgetArea);
            QCOMPARE(area("lastKills"), Qt::TopDockWidgetArea);
            QCOMPARE(area("ticker"), Qt::BottomDockWidgetArea);

            const QStringList automatic{"Your Turn!", "Last Kills", "Ticker", "Hide Damage and Heals", "Fix Font Size)"};
            QCOMPARE(runMenu(screen.window, 0), automatic);
            QVERIFY(screen.window->findChild<QDockWidget*>("yourTurn")->isHidden());
            QCOMPARE(runMenu(screen.window, 0).value(0), QString("Your Turn!"));
            QVERIFY(!screen.window->findChild<QDockWidget*>("yourTurn")->isHidden());
            runMenu(screen.window, 1);
            QVERIFY(screen.window->findChild<QDockWidget*>("lastKills")->isHidden());
            runMenu(screen.window, 2);
            QVERIFY(screen.window->findChild<QDockWidget*>("ticker")->isHidden());
            runMenu(screen.window, 3);
            QVERIFY(!screen.model()->getShowDamageAndHeals());
            QCOMPARE(runMenu(screen.window, 4).value(3), QString("Show Damage and Heals"));
            const int fixed = screen.view()->getFontSize();
            QVERIFY(fixed >= 14 && fixed <= 28);
            QCOMPARE(runMenu(screen.window, -1).value(4), QString("Scale Font Size"));
            // Closing with its own button stores where it stood; no main window is needed for that.
            screen.window->setGeometry(40, 50, 700, 500);
            const QByteArray before = screen.window->saveGeometry();
            screen.window->close();
            QCOMPARE(QSettings().value("playersWindow/geometry").toByteArray(), before);
            screen.window->show();
        }
        // A restart reads the fixed size back; a stored size out of range is clamped.
        QVERIFY(QSettings().value("playersWindow/fontSize").toInt() >= 14);
        QCOMPARE(QSettings().value("playersWindow/showDamageAndHeals").toBool(), false);
        QSettings().setValue("playersWindow/fontSize", 40);
        QSettings().setValue("playersWindow/tickerFontSize", 40);
        {
            PlayersScreen screen;
            QCOMPARE(screen.view()->getFontSize(), 28);
            QVERIFY(!screen.model()->getShowDamageAndHeals());
            QCOMPARE(screen.find<TickerWidget>()->getFontSize(), 28);
        }
        QSettings().setValue("playersWindow/tickerFontSize", 0);
        PlayersScreen screen;
        QCOMPARE(screen.find<TickerWidget>()->getFontSize(), 16);
    }

    void closingItTellsTheMainWindow()
    {
        world.reset();
        WindowUnderTest main;
        main.window->show();
        QAction* toggle = main.action("Show Player's Window");
        toggle->trigger();
        QVERIFY(Global::playersWindow->isVisible());
        QCOMPARE(toggle->text(), QString("Hide Player's Window..."));
        Global::playersWindow->setGeometry(60, 70, 640, 480);
        const QByteArray geometry = Global::playersWindow->saveGeometry();
        Global::playersWindow->close();
        QCOMPARE(toggle->text(), QString("Show Player's Window..."));
        QCOMPARE(QSettings().value("playersWindow/geometry").toByteArray(), geometry);
        toggle->trigger();
        QCOMPARE(Global::playersWindow->saveGeometry(), geometry);
    }

    void turnMarker_data()
    {
        QTest::addColumn<QStringList>("hidden");
        QTest::addColumn<int>("turns");
        QTest::addColumn<bool>("running");
        QTest::addColumn<QString>("marks");
        // Order: Goblin (1) 20, Hero A 15, Orc (1) 10, Hero B 5; monsters show only while the fight runs.
        QTest::newRow("not running") << QStringList() << 0 << false << "--";
        QTest::newRow("round 1, hidden creature acting first") << QStringList{"Goblin (1)"} << 0 << true << "a--";
        QTest::newRow("round 1, first visible acting") << QStringList{"Goblin (1)"} << 1 << true << "a--";
        QTest::newRow("round 2, hidden creature acting first") << QStringList{"Goblin (1)"} << 4 << true << "--a";
        QTest::newRow("hidden current creature mid-order") << QStringList{"Orc (1)"} << 2 << true << "-a-";
        QTest::newRow("a single visible row") << QStringList{"Goblin (1)", "Orc (1)", "Hero B"} << 3 << true << "a";
    }

    void turnMarker()
    {
        QFETCH(QStringList, hidden);
        QFETCH(int, turns);
        QFETCH(bool, running);
        QFETCH(QString, marks);
        world->addHero("Hero A", 30);
        world->addHero("Hero B", 30);
        world->addMonster("Goblin", "1", 20);
        world->addMonster("Orc", "1", 20);
        Global::encounter->setCreatureList(CreatureList({world->find("Hero A"), world->find("Hero B"),
                                                         world->find("Goblin (1)"), world->find("Orc (1)")}));
        for (const QString& name : hidden)
            world->find(name)->setHidden(true);
        PlayersScreen screen;
        if (running) {
            start(*world, {{"Hero A", 15, 1}, {"Hero B", 5, 1}}, {{"Goblin", 20, 0}, {"Orc", 10, 0}});
            QCOMPARE(Global::encounter->getCreatureList().getNameList(), QString("Goblin (1), Hero A, Orc (1), Hero B"));
            nextTurns(*world, turns);
        }
        screen.model()->refreshList();
        QCOMPARE(markers(screen.model()), marks);
        const int current = screen.model()->getCurrentIndex();
        QCOMPARE(current, marks.indexOf('a'));
        Creature* shown = screen.model()->getCurrentCreature();
        QCOMPARE(shown, current < 0 ? nullptr : Global::encounter->getCreature(Global::encounter->getVisibleForPlayers().indexes[current]));
    }

    void neverAHiddenCreature()
    {
        srand(21);
        RandomFight fight(*world, true, 3, 4);
        PlayersScreen screen;
        screen.model()->refreshList();
        QAbstractItemModelTester tester(screen.model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        int reveals = 0;
        QSet<Creature*> hiddenBefore;
        for (int step = 0; step < 600; step++) {
            fight.step();
            if (QTest::currentTestFailed())
                return;
            const QString shown = screen.texts().join('\n');
            for (const QString& name : forbiddenNames())
                QVERIFY2(!shown.contains(name), qPrintable(QString("step %1 shows %2:\n%3").arg(step).arg(name, shown)));
            const QStringList rows = screen.column(0);
            for (const QString& name : visibleNames())
                QVERIFY2(rows.contains(name), qPrintable(QString("step %1 misses %2").arg(step).arg(name)));
            for (Creature* c : Global::encounter->getCreatureList().getCreatureList()) {
                if (hiddenBefore.contains(c) && !c->isHidden())
                    reveals++;
                if (c->isHidden())
                    hiddenBefore.insert(c);
                else
                    hiddenBefore.remove(c);
            }
        }
        QVERIFY(reveals > 0);

        // A dialog asking about a hidden hero shows the current creature instead.
        Creature* hero = world->find("Hero 1");
        hero->setHidden(true);
        screen.window->drawYourTurnCreature(hero, "Initiative?");
        screen.texts();
        for (QLabel* label : screen.find<YourTurnWidget>()->findChildren<QLabel*>())
            QVERIFY(!label->text().contains("Hero 1"));
    }

    void health()
    {
        world->addHero("Hero A", 40);
        world->addHero("Hero B", 40);
        for (const char* id : {"1", "2", "3"})
            world->addMonster("Goblin", id, 20);
        Global::encounter->setCreatureList(CreatureList({world->find("Hero A"), world->find("Hero B"), world->find("Goblin (1)"),
                                                         world->find("Goblin (2)"), world->find("Goblin (3)")}));
        PlayersScreen screen;
        start(*world, {{"Hero A", 20, 1}, {"Hero B", 18, 1}}, {{"Goblin", 10, 0}});
        QVERIFY(world->record(new DamageEvent("Hit", nullptr, world->find("Goblin (2)"), 2, "", world->stream())));
        QVERIFY(world->record(new DamageEvent("Hit", nullptr, world->find("Goblin (3)"), 10, "", world->stream())));
        QVERIFY(world->record(new DamageEvent("Hit", nullptr, world->find("Hero A"), 50, "", world->stream())));
        QVERIFY(world->record(new NextTurnEvent(world->stream(), false)));
        QVERIFY(world->record(new DelayEvent(world->find("Hero B"), world->stream())));
        QStringList cells;
        for (const QString& text : screen.column(1)) {
            const PlayersHealthCell cell = PlayersHealthCell::fromText(text);
            cells << QString("%1%2").arg(cell.percent).arg(cell.gray ? " gray" : "");
        }
        QCOMPARE(cells, QStringList({"-25", "100 gray", "100", "90", "50"}));
        QCOMPARE(screen.column(0, Qt::ForegroundRole), QStringList({"#0000ff", "#646464", "", "", ""}));

        // The damage tally is the game master's to give: only monsters' texts change.
        const QStringList before = screen.column(1);
        QSignalSpy changed(screen.model(), &QAbstractItemModel::dataChanged);
        screen.model()->setShowDamageAndHeals(true);
        QCOMPARE(changed.count(), 0);
        screen.model()->setShowDamageAndHeals(false);
        QCOMPARE(changed.count(), 1);
        const QStringList after = screen.column(1);
        QCOMPARE(after.mid(0, 2), before.mid(0, 2));
        for (int row = 2; row < 5; row++) {
            QVERIFY(before[row] != after[row]);
            QCOMPARE(PlayersHealthCell::fromText(after[row]).html, QString());
        }
    }

    void healthMessage_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("pixelSize");
        QTest::addColumn<int>("percent");
        QTest::addColumn<QString>("html");
        QTest::addColumn<bool>("gray");
        QTest::newRow("plain") << "16&90&Damage 3; Heals 0&black" << 16 << 90 << "Damage 3; Heals 0" << false;
        QTest::newRow("an entity in the text") << "20&-10&HP &lt;5&gt; &amp; more&gray" << 20 << -10 << "HP &lt;5&gt; &amp; more" << true;
        QTest::newRow("empty text") << "14&0&&black" << 14 << 0 << "" << false;
    }

    void healthMessage()
    {
        QFETCH(QString, text);
        const PlayersHealthCell cell = PlayersHealthCell::fromText(text);
        QTEST(cell.pixelSize, "pixelSize");
        QTEST(cell.percent, "percent");
        QTEST(cell.html, "html");
        QTEST(cell.gray, "gray");
        QCOMPARE(cell.toText(), text);
    }

    void fontFitting()
    {
        QList<Creature*> party;
        for (const char* name : {"Hero A", "Hero B", "Hero C", "Hero D", "Hero E", "Hero F"}) {
            world->addHero(name, 30);
            party << world->find(name);
        }
        Global::encounter->setCreatureList(CreatureList(party));
        PlayersScreen screen;
        // Too many rows for the smallest font: still the smallest, not the font the window started with.
        screen.window->resize(screen.window->minimumSizeHint());
        screen.model()->refreshList();
        PlayersView* view = screen.view();
        QCOMPARE(view->getPixelSize(), 14);
        view->scaleToSize(QSize(3000, 3000));
        QCOMPARE(view->getPixelSize(), 28);
        view->scaleToSize(QSize(40, 20));
        QCOMPARE(view->getPixelSize(), 14);
        view->setFontSize(20);
        view->scaleToSize(QSize(3000, 3000));
        QCOMPARE(view->getPixelSize(), 20);
        view->scaleToSize(QSize(40, 20));
        QCOMPARE(view->getPixelSize(), 20);
        view->setFontSize(0);
        screen.window->hide();
        view->resize(3000, 3000);
        QCOMPARE(view->getPixelSize(), 20);
        QCOMPARE(QFontInfo(view->font()).pixelSize(), 20);
    }

    void banners()
    {
        world->addHero("Tom & <Jerry>", 30);
        world->addMonster("Goblin", "1", 20);
        Creature* hero = world->find("Tom & <Jerry>");
        Creature* goblin = world->find("Goblin (1)");
        Global::encounter->setCreatureList(CreatureList({hero, goblin}));
        PlayersScreen screen;
        start(*world, {{"Tom & <Jerry>", 20, 1}}, {{"Goblin", 10, 0}});
        auto* yourTurn = screen.find<YourTurnWidget>();
        auto labels = [&] {
            PlayersScreen::settle();
            QStringList texts;
            for (QLabel* label : yourTurn->findChildren<QLabel*>())
                texts << label->text();
            return texts;
        };
        QVERIFY(labels().contains("<b>Tom &amp; &lt;Jerry&gt;</b>"));
        QVERIFY(labels().contains(hero->getHealth(false)));
        QVERIFY(labels().contains("Resting") == false);
        screen.window->drawYourTurnCreature(hero, "Resting");
        QVERIFY(labels().contains("Resting"));
        screen.window->drawYourTurnCreature(goblin, "Initiative?");
        QVERIFY(labels().contains("<b>Goblin (1)</b>"));
        QVERIFY(!labels().join('\n').contains("HP"));
        // A closing dialog gives the banner back to the current creature.
        screen.window->drawYourTurnCreature(nullptr, "");
        QVERIFY(labels().contains("<b>Tom &amp; &lt;Jerry&gt;</b>"));

        // Effects are shown as the plain text the players read.
        EffectDetails mark;
        mark.origin = hero;
        mark.type = CE::Marked;
        mark.endCondition = CE::EndOfOriginsNextTurn;
        QVERIFY(world->record(new EffectEvent(mark, {goblin}, world->stream())));
        QCOMPARE(screen.column(2).value(1), QString("Marked by Tom & <Jerry>"));
        QVERIFY(screen.find<QListWidget>()->item(0)->text().endsWith("Marked by Tom & <Jerry>: Goblin (1)"));
        // An origin hidden from the players goes unnamed; one with an alias goes by it.
        hero->setShowAlias(true);
        hero->setAlias("Masked");
        QCOMPARE(screen.column(2).value(1), QString("Marked by \"Masked\""));
        hero->setHidden(true);
        QCOMPARE(screen.column(2).value(0), QString("Marked"));
    }

    void lastKills()
    {
        QList<Creature*> everyone;
        for (int i = 0; i < 12; i++) {
            everyone << world->addHero(QString("K%1").arg(i), 30);
            everyone << world->addMonster("Goblin", QString::number(i), 10);
        }
        Global::encounter->setCreatureList(CreatureList(everyone));
        PlayersScreen screen;
        start(*world, {}, {{"Goblin", 10, 0}});
        // Eleven kills with a killer, then the newest one without.
        for (int i = 0; i < 11; i++)
            QVERIFY(world->record(new DamageEvent("Hit", world->find(QString("K%1").arg(i)),
                                                  world->find(QString("Goblin (%1)").arg(i)), 20, "", world->stream())));
        QVERIFY(world->record(new DamageEvent("Hit", nullptr, world->find("Goblin (11)"), 20, "", world->stream())));
        // Free of the dock's layout, so that its width is the test's.
        LastKillWidget widget(screen.model());
        auto* kills = &widget;
        kills->resize(2000, 120);
        kills->show();
        kills->draw();
        QCOMPARE(kills->getVisibleKills(), 10);
        QStringList expected;
        for (int i = 10; i > 0; i--)
            expected << QString("<b>K%1</b>").arg(i);
        QCOMPARE(captions(kills), expected);
        // A hidden killer is unknown to the players; one with an alias goes by it.
        world->find("K10")->setHidden(true);
        world->find("K9")->setAlias("Shade");
        world->find("K9")->setShowAlias(true);
        QCOMPARE(captions(kills).mid(0, 2), QStringList({"<b>&quot;Shade&quot;</b>", "<b>K8</b>"}));
        QCOMPARE(captions(kills).last(), QString("<b>K0</b>"));
        kills->resize(90, 120);
        QCOMPARE(kills->getVisibleKills(), 0);
        QCOMPARE(captions(kills), QStringList());
    }

    // With a start, the ticker walks back to it; without one, to the log's first event.
    void ticker_data()
    {
        QTest::addColumn<bool>("started");
        QTest::newRow("after a start") << true;
        QTest::newRow("without a start") << false;
    }
    void ticker()
    {
        QFETCH(bool, started);
        world->addHero("Hero A", 300);
        world->addMonster("Goblin", "1", 20);
        Global::encounter->setCreatureList(CreatureList({world->find("Hero A"), world->find("Goblin (1)")}));
        PlayersScreen screen;
        if (started)
            start(*world, {{"Hero A", 20, 1}}, {{"Goblin", 10, 0}});
        for (int i = 1; i <= 20; i++)
            QVERIFY(world->record(new DamageEvent("Hit", world->find("Goblin (1)"), world->find("Hero A"), i, "", world->stream())));
        auto* ticker = screen.find<TickerWidget>();
        auto* list = screen.find<QListWidget>();
        PlayersScreen::settle();
        // Stepped back to the second hit, the ticker leads with it, and the first hit follows.
        const int last = Global::history->getCurrentIndex();
        Global::history->goTo(last - 18);
        QCOMPARE(screen.texts().filter("ticker: "), QStringList({"ticker: Goblin (1) -> Damaged 2: Hero A",
                                                                  "ticker: Goblin (1) -> Damaged 1: Hero A"}));
        Global::history->goTo(last);
        PlayersScreen::settle();
        // As many rows as show whole inside the list's frame; at least one.
        auto verifyRowsWhole = [&] {
            const int rows = list->count();
            QVERIFY(rows >= 1);
            QVERIFY(rows == 1 || list->visualItemRect(list->item(rows - 1)).bottom() < list->viewport()->height());
            QVERIFY((rows + 1) * list->sizeHintForRow(0) > list->viewport()->height());
            QCOMPARE(list->item(0)->text(), QString("Goblin (1) -> Damaged 20: Hero A"));
        };
        for (int height : {30, 100, 190}) {
            ticker->resize(300, height);
            verifyRowsWhole();
        }
        // At the window's opening size.
        screen.window->resize(screen.window->sizeHint());
        PlayersScreen::settle();
        verifyRowsWhole();
        ticker->setFontSize(26);
        runMenu(ticker, 0);
        QCOMPARE(ticker->getFontSize(), 28);
        runMenu(ticker, 3);
        QCOMPARE(ticker->getFontSize(), 23);
    }

    void historyRoundTrips()
    {
        srand(7);
        RandomFight fight(*world, false, 3, 2);
        QString table, ticker;
        {
            PlayersScreen screen;
            for (int i = 0; i < 60; i++)
                fight.step();
            // A hero the players see, wherever the random fight left the heroes: shown again when all hide.
            const QList<Creature*> heroes = Global::encounter->getHeros();
            QVERIFY(!heroes.isEmpty());
            auto seen = std::find_if(heroes.begin(), heroes.end(), [](Creature* c) { return !c->isHidden(); });
            if (seen == heroes.end()) {
                seen = heroes.begin();
                QVERIFY(world->record(new ShowHideEvent(*seen, false, world->stream())));
            }
            const QString hit = "Damaged 3: " + (*seen)->getDisplayName(true);
            QVERIFY(world->record(new DamageEvent("Hit", nullptr, *seen, 3, "", world->stream())));
            table = screen.texts().filter("cell").join('\n');
            ticker = screen.texts().filter("ticker").join('\n');
            QVERIFY(ticker.contains(hit));
            Global::history->back();
            QVERIFY(!screen.texts().filter("ticker").value(0).contains(hit));
            Global::history->forward(false);
            QCOMPARE(screen.texts().filter("cell").join('\n'), table);
            QCOMPARE(screen.texts().filter("ticker").join('\n'), ticker);

            // A jump through the history rebuilds the table once.
            QSignalSpy rebuilt(screen.model(), &PlayersListModel::doCurrentChanged);
            Global::history->goTo(Global::history->getCurrentIndex() - 10);
            PlayersScreen::settle();
            QCOMPARE(rebuilt.count(), 1);
            Global::history->goTo(Global::history->getEventCount() - 1);
            PlayersScreen::settle();
            QCOMPARE(rebuilt.count(), 2);
        }
        QVERIFY(world->restart([&] { fight.enterEncounter(); }));
        PlayersScreen screen;
        screen.model()->refreshList();
        screen.find<TickerWidget>()->onHistoryChanged();
        QCOMPARE(screen.texts().filter("cell").join('\n'), table);
        QCOMPARE(screen.texts().filter("ticker").join('\n'), ticker);
    }

    void pausedModelOutlivesDeletedCreatures()
    {
        world->addHero("Hero A", 30);
        Creature* goblin = world->addMonster("Goblin", "1", 10);
        Creature* orc = world->addMonster("Orc", "1", 10);
        Global::encounter->setCreatureList(CreatureList({world->find("Hero A"), goblin, orc}));
        PlayersScreen screen;
        start(*world, {{"Hero A", 5, 1}}, {{"Goblin", 10, 0}, {"Orc", 20, 0}});
        QVERIFY(world->record(new DamageEvent("Hit", world->find("Hero A"), goblin, 20, "", world->stream())));
        PlayersScreen::settle();
        QCOMPARE(screen.model()->getCurrentCreature(), orc);
        QCOMPARE(screen.model()->getDeadMonsters().size(), 1);
        screen.window->setEnableUpdate(false);
        // The paused model's current creature is stale: hidden since, it is not drawn.
        orc->setHidden(true);
        emit Global::switchBoard.doCreatureUpdated(orc);
        QVERIFY(!screen.texts().filter("label").join('\n').contains("Orc"));
        // The encounter lets go of them, as an undone addition does.
        Global::encounter->setCreatureList(CreatureList({world->find("Hero A")}));
        EncounterState state = Global::encounter->getState();
        state.dead.clear();
        state.currentIndex = 0;
        Global::encounter->setState(state);
        Global::monsters->deleteMonsterInstance(goblin);
        Global::monsters->deleteMonsterInstance(orc);
        QCOMPARE(screen.model()->getCurrentCreature(), nullptr);
        QVERIFY(screen.model()->getDeadMonsters().isEmpty());
        screen.find<LastKillWidget>()->draw();
        emit Global::switchBoard.doCreatureUpdated(world->find("Hero A"));
        screen.window->setEnableUpdate(true);
        QCOMPARE(screen.model()->getCurrentCreature(), world->find("Hero A"));
    }

    void aChangeRedrawsItsRowOnly_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<bool>("fontShrinks");
        QTest::newRow("wide window") << QSize(1000, 700) << true;
        // At the smallest font already, and narrower than the note.
        QTest::newRow("narrow window") << QSize(440, 500) << false;
        // The wrapped note brings the scroll bar, which takes its width from the note.
        QTest::newRow("narrow, low window") << QSize(440, 380) << false;
    }

    // A changed hit point tells the view of that row only; a text grown past
    // its cell fits the font anew, or wraps at the smallest font, so that
    // every text stays whole.
    void aChangeRedrawsItsRowOnly()
    {
        QFETCH(QSize, size);
        QFETCH(bool, fontShrinks);
        for (const char* name : {"Hero A", "Hero B", "Hero C"})
            world->addHero(name, 30);
        Global::encounter->setCreatureList(
            CreatureList({world->find("Hero A"), world->find("Hero B"), world->find("Hero C")}));
        PlayersScreen screen;
        screen.window->resize(size);
        start(*world, {{"Hero A", 20, 1}, {"Hero B", 18, 1}, {"Hero C", 16, 1}}, {});
        PlayersScreen::settle();
        QAbstractItemModelTester tester(screen.model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        QSignalSpy changed(screen.model(), &QAbstractItemModel::dataChanged);
        QSignalSpy reset(screen.model(), &QAbstractItemModel::modelReset);
        const int pixelSize = screen.view()->getPixelSize();
        QVERIFY(world->record(new DamageEvent("Hit", nullptr, world->find("Hero B"), 7, "", world->stream())));
        PlayersScreen::settle();
        QCOMPARE(reset.count(), 0);
        QCOMPARE(changed.count(), 1);
        const auto arguments = changed.takeFirst();
        QCOMPARE(arguments.at(0).toModelIndex().row(), 1);
        QCOMPARE(arguments.at(1).toModelIndex().row(), 1);
        QVERIFY(!arguments.at(2).value<QList<int>>().isEmpty());
        QCOMPARE(PlayersHealthCell::fromText(screen.column(1).value(1)).html, world->find("Hero B")->getHealthForPlayers(true));
        verifyEveryTextFits(screen.view());
        // Nothing changed, nothing told.
        screen.model()->refreshList();
        QCOMPARE(changed.count(), 0);

        EffectDetails mark;
        mark.origin = world->find("Hero A");
        mark.type = CE::Marked;
        mark.endCondition = CE::EndOfOriginsNextTurn;
        mark.comment = "until the bell tower falls silent again";
        QVERIFY(world->record(new EffectEvent(mark, {world->find("Hero C")}, world->stream())));
        PlayersScreen::settle();
        QCOMPARE(changed.count(), 1);
        QVERIFY(screen.column(2).value(2).contains(mark.comment));
        verifyEveryTextFits(screen.view());
        if (fontShrinks)
            QVERIFY(screen.view()->getPixelSize() < pixelSize);
        else
            QCOMPARE(screen.view()->getPixelSize(), pixelSize);
    }

    // Names with "<" reach the ticker whole, and effect texts still read plainly.
    // A comment shows as typed, an entity typed as text too.
    void tickerKeepsAngleBrackets_data()
    {
        QTest::addColumn<QString>("comment");
        QTest::newRow("brackets and an ampersand") << "a <b> & c";
        QTest::newRow("an entity typed as text") << "a &lt;b&gt; &amp;lt; c";
    }

    void tickerKeepsAngleBrackets()
    {
        QFETCH(QString, comment);
        world->addHero("Ana <the Bold>", 30);
        world->addMonster("Goblin", "1", 20);
        Creature* hero = world->find("Ana <the Bold>");
        Creature* goblin = world->find("Goblin (1)");
        Global::encounter->setCreatureList(CreatureList({hero, goblin}));
        PlayersScreen screen;
        start(*world, {{"Ana <the Bold>", 20, 1}}, {{"Goblin", 10, 0}});
        QVERIFY(world->record(new DamageEvent("Hit", goblin, hero, 3, "", world->stream())));
        EffectDetails mark;
        mark.origin = hero;
        mark.type = CE::Marked;
        mark.comment = comment;
        mark.endCondition = CE::EndOfOriginsNextTurn;
        QVERIFY(world->record(new EffectEvent(mark, {goblin}, world->stream())));
        const QStringList ticker = screen.texts().filter("ticker: ");
        QCOMPARE(ticker.value(0),
                 QString("ticker: Ana <the Bold> -> Marked by Ana <the Bold> (%1): Goblin (1)").arg(comment));
        QCOMPARE(ticker.value(1), QString("ticker: Goblin (1) -> Damaged 3: Ana <the Bold>"));
    }

    // On a first start the window opens at a size that shows the demonstration
    // party whole: every header, every health text inside its bar, no
    // horizontal scroll bar. A stored geometry still wins.
    void firstStartShowsTheWholeTable()
    {
        world.reset();
        WindowUnderTest main;
        QVERIFY(main.loadFolder());
        QList<Creature*> party;
        for (int i = 0; i < Global::characters->getCharacterCount(); i++)
            party << Global::characters->getCharacter(i);
        Global::encounter->setCreatureList(CreatureList(party));
        main.window->show();
        QAction* toggle = main.action("Show Player's Window");
        toggle->trigger();
        // A first start opens it at its size hint where the screen allows; the offscreen one is smaller.
        Global::playersWindow->resize(Global::playersWindow->sizeHint());
        PlayersScreen::settle();
        PlayersView* view = Global::playersWindow->getPlayersView();
        QCOMPARE(view->model()->rowCount(), party.size());
        QVERIFY(!view->horizontalScrollBar()->isVisible());
        QHeaderView* header = view->horizontalHeader();
        for (int column = 0; column < 3; column++)
            QVERIFY2(header->sectionSize(column) >= header->sectionSizeHint(column),
                     qPrintable(view->model()->headerData(column, Qt::Horizontal).toString()));
        for (int row = 0; row < party.size(); row++) {
            const QSize health = view->itemDelegateForColumn(1)->sizeHint(QStyleOptionViewItem(), view->model()->index(row, 1));
            QVERIFY(health.width() <= view->columnWidth(1));
            QVERIFY(health.height() <= view->rowHeight(row));
        }
        Global::playersWindow->setGeometry(80, 90, 700, 500);
        toggle->trigger();
        toggle->trigger();
        QCOMPARE(Global::playersWindow->size(), QSize(700, 500));
    }

    void healthTextsAreReadable_data()
    {
        QTest::addColumn<int>("percent");
        QTest::addColumn<bool>("gray");
        for (bool gray : {false, true})
            for (int percent : {-100, -25, 0, 10, 50, 51, 90, 100})
                QTest::addRow("%d%s", percent, gray ? " greyed" : "") << percent << gray;
    }

    // Every colour a health text takes reads at 4.5:1 or better over what lies
    // behind it, at every health, greyed or not: here the plain text and the
    // pending figures over their band, in the initiative table the plain text
    // over every shade of its bar.
    void healthTextsAreReadable()
    {
        QFETCH(int, percent);
        QFETCH(bool, gray);
        const QList<QColor> colours{HealthBarColours::text(gray), HealthBarColours::pending(false), HealthBarColours::pending(true)};
        QStandardItemModel model(1, 1);
        QTableView table;
        table.setModel(&model);
        table.setItemDelegateForColumn(0, new PlayersHealthDelegate(&table));
        table.resize(400, 100);
        table.setColumnWidth(0, 300);
        table.setRowHeight(0, 40);
        table.show();
        auto cellPicture = [&](const QString& html) {
            PlayersHealthCell cell;
            cell.pixelSize = 24;
            cell.percent = percent;
            cell.html = html;
            cell.gray = gray;
            model.setData(model.index(0, 0), cell.toText());
            return table.viewport()->grab(table.visualRect(model.index(0, 0))).toImage();
        };
        // Blanks show what lies behind a text: the middle of its line.
        const QImage behind = cellPicture(QString("&nbsp;").repeated(20));
        for (const QColor& colour : colours)
            verifyReadable(colour, behind, QRect(10, behind.height() / 2 - 3, 90, 7));
        // The creature texts' red and blue are painted in the bar's own.
        const QImage figures = cellPicture("<b><font color=red>HHH</font> <font color=blue>HHH</font></b>");
        const QList<QRgb> painted(reinterpret_cast<const QRgb*>(figures.constBits()),
                                  reinterpret_cast<const QRgb*>(figures.constBits()) + figures.sizeInBytes() / 4);
        QVERIFY(painted.contains(HealthBarColours::pending(false).rgb()));
        QVERIFY(painted.contains(HealthBarColours::pending(true).rgb()));

        ProgressBarWidget bar;
        bar.setProgress(percent, gray, QString(), QString());
        bar.resize(120, 30);
        const QImage shades = bar.grab(bar.rect().adjusted(6, 5, -6, -5)).toImage();
        verifyReadable(HealthBarColours::text(gray), shades, shades.rect());
        // What the bar means stays: grey above half, red at half or less.
        QCOMPARE(HealthBarColours::fill(percent, gray).red() == HealthBarColours::fill(percent, gray).green(), percent > 50);
    }

    // A waiting creature's row is greyed, yet reads at 4.5:1 on its cells'
    // backgrounds: plain, alternate, and the focus cell.
    void greyedRowsAreReadable()
    {
        world->addHero("Hero A", 30);
        world->addHero("Hero B", 30);
        Global::encounter->setCreatureList(CreatureList({world->find("Hero A"), world->find("Hero B")}));
        PlayersScreen screen;
        start(*world, {{"Hero A", 20, 1}, {"Hero B", 18, 1}}, {});
        QVERIFY(world->record(new DelayEvent(world->find("Hero A"), world->stream())));
        QVERIFY(world->record(new DelayEvent(world->find("Hero B"), world->stream())));
        PlayersScreen::settle();
        PlayersView* view = screen.view();
        view->setFocus();
        view->setCurrentIndex(screen.model()->index(0, 0));
        QVERIFY(view->hasFocus());
        const QImage picture = view->viewport()->grab().toImage();
        for (int row = 0; row < 2; row++)
            for (int column : {0, 2}) {
                const QModelIndex index = screen.model()->index(row, column);
                const QColor text = index.data(Qt::ForegroundRole).value<QColor>();
                QVERIFY(HealthBarColours::contrast(text, Qt::black) >= 3);
                // The cell's right end, beside its text's line, shows its background.
                const QRect cell = view->visualRect(index);
                verifyReadable(text, picture, QRect(cell.right() - 3, cell.top() + 3, 2, cell.height() - 7));
            }
    }

private:
    std::unique_ptr<RecordingUiHooks> hooks;
    std::unique_ptr<TestWorld> world;
};

RAVELHORN_TEST_MAIN(QApplication, TestPlayersWindow)
#include "uitest_playerswindow.moc"
