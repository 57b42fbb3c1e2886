// The short rest panel and both rests through the real main window and its
// history log.
#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDockWidget>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTableView>

#include <limits>

#include "combat/shortrestdialog.h"
#include "combattesting.h"
#include "creature/creature.h"
#include "encounter/damageevents.h"
#include "encounter/encounter.h"
#include "encounter/history.h"
#include "encounter/powerevents.h"
#include "encounter/restevents.h"
#include "encounter/vitalityevents.h"
#include "library/monsters.h"
#include "mainwindow/playerswindow.h"

using CombatTesting::action;
using CombatTesting::eventTexts;
using CombatTesting::whenOpen;

namespace {

void addPower(Creature* hero, const QString& name, Power::Cost cost)
{
    CreaturePower power;
    power.name = name;
    power.current.cost = cost;
    hero->getPowers().addPower(power, false);
}

QString usage(Creature* creature)
{
    QStringList used;
    for (int i = 0; const CreaturePower* power = creature->getPowers().getPower(i); i++)
        if (power->getUsageCount() > 0)
            used << power->name;
    return used.join(' ');
}

QStringList labelTexts(QWidget* widget)
{
    QStringList texts;
    for (QLabel* label : widget->findChildren<QLabel*>())
        texts << label->text();
    return texts;
}

// What the players' banner and the current-creature dock show now.
QString bannerText()
{
    return labelTexts(Global::playersWindow->findChild<QDockWidget*>("yourTurn")).join('|');
}

// The health cell the players' table shows for the creature.
QString playersHealth(const QString& name)
{
    const QAbstractItemModel* model = Global::playersWindow->findChild<QTableView*>()->model();
    for (int row = 0; row < model->rowCount(); row++)
        if (model->index(row, 0).data().toString() == name)
            return model->index(row, 1).data().toString();
    return QString();
}

QString currentDockText()
{
    emit Global::switchBoard.doRefreshTimer();
    return labelTexts(Global::mainWindow->findChild<QDockWidget*>("currentWidget")).join('|');
}

// Types the number into the box as the game master does, the box focused first.
void type(QSpinBox* box, int value)
{
    box->setFocus(Qt::TabFocusReason);
    box->selectAll();
    QTest::keyClicks(box, QString::number(value));
}

// Where each control of the panel's rows stands on the screen, once laid out.
QList<QRect> rowPlaces(const ShortRestDialog* panel)
{
    // The panel's layouts pass a change on to the main window's in turn.
    for (int round = 0; round < 3; round++)
        QApplication::processEvents();
    QList<QRect> places;
    for (const ShortRestControls& row : panel->getRows())
        for (const QWidget* control : std::initializer_list<const QWidget*>{row.surges, row.extraHitPoints, row.result,
                 row.hitPointCounter, row.surgeCounter, row.actionPointCounter})
            places << QRect(control->mapToGlobal(QPoint(0, 0)), control->size());
    return places;
}

QPushButton* panelButton(QDialogButtonBox::StandardButton which)
{
    return Global::mainWindow->findChild<QDialogButtonBox*>()->button(which);
}

}

class TestRests : public QObject
{
    Q_OBJECT

private:
    WindowWorld* fixture = nullptr;
    Creature* ana = nullptr;
    Creature* bron = nullptr;
    Creature* cal = nullptr;
    Creature* dag = nullptr;
    Creature* goblin = nullptr;

    void findCreatures()
    {
        ana = fixture->world->find("Ana");
        bron = fixture->world->find("Bron");
        cal = fixture->world->find("Cal");
        dag = fixture->world->find("Dag");
        goblin = Global::monsters->getMonsterInstance("Goblin Cutter", "1", true);
    }

    void enterEncounter()
    {
        findCreatures();
        Global::encounter->setCreatureList(CreatureList({goblin, ana, bron, dag, cal}));
    }

    void recordDamage(Creature* creature, int amount)
    {
        QVERIFY(fixture->world->record(
            new DamageEvent(QString(), goblin, {creature}, amount, QString(), fixture->world->stream())));
    }

    void recordUse(Creature* creature, const QString& power)
    {
        QVERIFY(fixture->world->record(
            new PowerUsageChangedEvent(creature, power, PowerUsageChangedEvent::Used, fixture->world->stream())));
    }

    QString figures() const
    {
        QStringList text;
        for (Creature* c : {ana, bron, cal, dag})
            text << QString("%1 %2/%3/%4").arg(c->getName()).arg(c->getCurrHitPoints()).arg(c->getCurrHealingSurges())
                        .arg(c->getCurrActionPoints());
        return text.join(", ");
    }

private slots:
    void init()
    {
        fixture = new WindowWorld;
        TestWorld* world = fixture->world;
        // Ana's surge value is 7.
        world->addHero("Ana", 28);
        world->addHero("Bron", 30);
        world->addHero("Cal", 40);
        world->addHero("Dag", 20);
        world->addMonster("Goblin Cutter", "1", 20);
        enterEncounter();
        QVERIFY(world->stream());
        recordDamage(ana, 31);
        recordDamage(cal, 10);
        recordDamage(dag, 30);
        for (Creature* hero : {ana, bron}) {
            addPower(hero, "Jab", Power::TwicePerEncounter);
            addPower(hero, "Burst", Power::OncePerEncounter);
            addPower(hero, "Doom", Power::Daily);
            addPower(hero, "Idle", Power::OncePerEncounter);
            for (const char* power : {"Jab", "Burst", "Doom"})
                recordUse(hero, power);
        }
        fixture->window->toggleStartStopNextButtons();
    }

    void cleanup()
    {
        delete fixture;
    }

    // Entries preview at once on the heroes, Cancel leaves all as it was, OK
    // records the rest and the resets of the used powers that are not daily.
    void shortRest_data()
    {
        QTest::addColumn<bool>("accept");
        QTest::newRow("Cancel") << false;
        QTest::newRow("OK") << true;
    }

    void shortRest()
    {
        QFETCH(bool, accept);
        const QString start = fixture->world->describe();
        const QString startFigures = figures();
        const int events = Global::history->getEventCount();
        QStringList seen;
        whenOpen<ShortRestDialog>([&](ShortRestDialog* panel) {
            QStringList rows;
            for (QGroupBox* box : panel->getWidget()->findChildren<QGroupBox*>())
                rows << box->title();
            QCOMPARE(rows, (QStringList{"Ana", "Bron", "Cal"}));
            const QList<ShortRestControls>& controls = panel->getRows();
            QCOMPARE(controls[0].surges->maximum(), 4);
            const QString health = playersHealth("Ana");
            type(controls[0].surges, 1);
            QVERIFY(!health.isEmpty());
            QVERIFY(playersHealth("Ana") != health);
            seen << figures() << controls[0].result->text() << controls[1].result->text();
            QVERIFY(bannerText().contains("Resting"));
            QVERIFY(bannerText().contains("Ana"));
            QVERIFY(currentDockText().contains("Ana"));
            type(controls[2].extraHitPoints, 5);
            QVERIFY(currentDockText().contains("Cal"));
            QVERIFY(bannerText().contains("Cal"));
            QTest::mouseClick(panel->getMilestoneBox(), Qt::LeftButton);
            seen << figures() << controls[2].result->text() << controls[2].actionPointCounter->text();
            QTest::mouseClick(panelButton(accept ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel), Qt::LeftButton);
        });
        QVERIFY(action("Short Rest...")->isEnabled());
        CombatTesting::runCommand("Short Rest...");
        QCOMPARE(seen, (QStringList{"Ana 7/3/1, Bron 30/4/1, Cal 30/4/1, Dag -10/4/1", "= 7", "= 30",
                                    "Ana 7/3/2, Bron 30/4/2, Cal 35/4/2, Dag -10/4/1", "= 35", "<b>AP</b> 2"}));
        QVERIFY(!bannerText().contains("Resting"));
        if (!accept) {
            QCOMPARE(figures(), startFigures);
            QCOMPARE(fixture->world->describe(), start);
            QCOMPARE(Global::history->getEventCount(), events);
            return;
        }
        // Jab and Burst come back; Doom stays used.
        QCOMPARE(eventTexts(events), (QStringList{"Short Rest: Ana, Bron, Cal", "Ana: Reset Usage Jab",
                                                  "Ana: Reset Usage Burst", "Bron: Reset Usage Jab",
                                                  "Bron: Reset Usage Burst"}));
        QCOMPARE(figures(), QString("Ana 7/3/2, Bron 30/4/2, Cal 35/4/2, Dag -10/4/1"));
        QCOMPARE(usage(ana), QString("Doom"));
        QCOMPARE(usage(bron), QString("Doom"));
        CombatTesting::checkStepsAndReplay(fixture->world, Global::history->getEventCount() - events, start,
                                           [this] { enterEncounter(); });
    }

    // Figures at the ends of int, as a damaged log may leave them: Ana rests
    // on a surge, the preview and the rest stopping at the end they pass.
    void shortRestAtTheEndsOfInt_data()
    {
        QTest::addColumn<int>("maxHitPoints");
        QTest::addColumn<int>("hitPoints");
        QTest::addColumn<int>("extra");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("rested");
        const int most = std::numeric_limits<int>::max();
        QTest::newRow("a surge of the most value and more") << 28 << -3 << 5 << "= 2147483647 2147483647" << 28;
        QTest::newRow("the most from far below 0") << most << -1000000000 << 0 << "= 2147483647 2147483647" << most;
        QTest::newRow("a surge of the most value from 0") << 28 << 0 << 500 << "= 2147483647 2147483647" << 28;
    }

    void shortRestAtTheEndsOfInt()
    {
        QFETCH(int, maxHitPoints);
        QFETCH(int, hitPoints);
        QFETCH(int, extra);
        CreatureVitality vitality = ana->getVitality();
        vitality.maxHitPoints = maxHitPoints;
        vitality.hitPoints = hitPoints;
        vitality.surgeValue = std::numeric_limits<int>::max();
        QVERIFY(fixture->world->record(new SetVitalityEvent(vitality, fixture->world->stream())));
        QString shown;
        QList<QRect> placesBefore;
        QList<QRect> placesAfter;
        whenOpen<ShortRestDialog>([&](ShortRestDialog* panel) {
            const ShortRestControls& row = panel->getRows().first();
            placesBefore = rowPlaces(panel);
            type(row.surges, 1);
            if (extra)
                type(row.extraHitPoints, extra);
            shown = row.result->text() + " " + QString::number(ana->getCurrHitPoints());
            placesAfter = rowPlaces(panel);
            QTest::mouseClick(panelButton(QDialogButtonBox::Ok), Qt::LeftButton);
        });
        CombatTesting::runCommand("Short Rest...");
        QTEST(shown, "shown");
        QTEST(ana->getCurrHitPoints(), "rested");
        // The totals grew by many digits: no row's control moved.
        QCOMPARE(placesAfter, placesBefore);
    }

    // The linked files are read before anything is recorded; daily powers come back; the dead stay out.
    void extendedRest()
    {
        const QString start = fixture->world->describe();
        const int events = Global::history->getEventCount();
        ana->setLinked(true, true);
        dag->setLinked(true, true);
        QList<QPair<QString, int>> refreshed;
        ExtendedRestEvent::refreshLinkedFile = [&refreshed](Creature* c) {
            refreshed.append({c->getName(), Global::history->getEventCount()});
        };
        action("Extended Rest")->trigger();
        ExtendedRestEvent::refreshLinkedFile = &Creature::refreshLinkedFile;
        QCOMPARE(refreshed, (QList<QPair<QString, int>>{{"Ana", events}}));
        QCOMPARE(eventTexts(events), (QStringList{"Extended Rest: Ana, Bron, Cal", "Ana: Reset Usage Jab",
                                                  "Ana: Reset Usage Burst", "Ana: Reset Usage Doom",
                                                  "Bron: Reset Usage Jab", "Bron: Reset Usage Burst",
                                                  "Bron: Reset Usage Doom"}));
        QCOMPARE(figures(), QString("Ana 28/4/1, Bron 30/4/1, Cal 40/4/1, Dag -10/4/1"));
        QCOMPARE(usage(ana), QString());
        QCOMPARE(usage(bron), QString());
        CombatTesting::checkStepsAndReplay(fixture->world, Global::history->getEventCount() - events, start,
                                           [this] { enterEncounter(); });
    }

    // With no living hero the panel holds the milestone row alone and hands back no one.
    void noLivingHero()
    {
        Global::encounter->setCreatureList(CreatureList({goblin, dag}));
        ShortRestDialog panel;
        QCOMPARE(CombatTesting::runPanel(panel, [&] { QTest::keyClick(panel.getMilestoneBox(), Qt::Key_Return); }), 1);
        QVERIFY(panel.getRows().isEmpty());
        QVERIFY(panel.getRestedCreatures().isEmpty());
    }
};

RAVELHORN_TEST_MAIN(QApplication, TestRests)
#include "uitest_rests.moc"
