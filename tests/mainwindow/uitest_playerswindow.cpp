#include <QAbstractItemModelTester>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDockWidget>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QSettings>
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
#include "mainwindow/playersbanners.h"
#include "mainwindow/playerslistmodel.h"
#include "mainwindow/playersview.h"
#include "mainwindow/playerswindow.h"
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
    PlayersListModel* model() const { return window->getPlayersList(); }
    PlayersView* view() const { return window->getPlayersView(); }
    template <typename T>
    T* find() const { return window->findChild<T*>(); }

    // Every text the players can read, each with where it stands.
    QStringList texts() const
    {
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

}

class TestPlayersWindow : public QObject
{
    Q_OBJECT

private slots:
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

private:
    std::unique_ptr<RecordingUiHooks> hooks;
    std::unique_ptr<TestWorld> world;
};

RAVELHORN_TEST_MAIN(QApplication, TestPlayersWindow)
#include "uitest_playerswindow.moc"
