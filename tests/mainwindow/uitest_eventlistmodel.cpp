#include <QAbstractItemModelTester>
#include <QApplication>
#include <QColor>
#include <QIcon>
#include <QListView>
#include <QSignalSpy>

#include "encounter/damageevents.h"
#include "encounter/encounter.h"
#include "mainwindow/eventlistmodel.h"
#include "foundation/global.h"
#include "encounter/history.h"
#include "support/testsupport.h"
#include "support/testworld.h"
#include "encounter/vitalityevents.h"

namespace {

QImage iconImage(const QIcon& icon)
{
    return icon.pixmap(16, 16).toImage();
}

QImage decoration(const QAbstractItemModel& model, int row)
{
    return iconImage(model.data(model.index(row, 0), Qt::DecorationRole).value<QIcon>());
}

}

class TestEventListModel : public QObject
{
    Q_OBJECT

private:
    const QImage arrow = iconImage(QIcon(":/images/arrow-right128.png"));
    const QImage blank = iconImage(QIcon(":/images/no-icon.png"));

    // Three hand edits of Ana's hit points and a blow to the orc.
    void recordFour(TestWorld& world)
    {
        Creature* ana = world.addHero("Ana", 30);
        Creature* orc = world.addMonster("Orc", "1", 20);
        Global::encounter->setCreatureList(CreatureList({ana, orc}));
        for (int hitPoints : {25, 20, 15}) {
            ana->setCurrHitPoints(hitPoints);
            QVERIFY(world.record(new SetVitalityEvent(ana->getVitality(), world.stream())));
        }
        QVERIFY(world.record(new DamageEvent("Axe", ana, orc, 6, QString(), world.stream())));
    }

    // Which rows show the arrow, and which are grey: "a" and "g" per row.
    static QString marks(const QAbstractItemModel& model, const QImage& arrow)
    {
        QStringList rows;
        for (int row = 0; row < model.rowCount(); row++) {
            QString mark = decoration(model, row) == arrow ? "a" : "-";
            QVariant foreground = model.data(model.index(row, 0), Qt::ForegroundRole);
            if (foreground.isValid())
                mark += foreground.value<QColor>() == QColor("grey") ? "g" : "?";
            rows.append(mark);
        }
        return rows.join(' ');
    }

private slots:
    void initTestCase() { QVERIFY(arrow != blank); }

    void rowsFollowTheHistory()
    {
        RecordingUiHooks hooks;
        TestWorld world;
        EventListModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.newHistory();
        QCOMPARE(model.rowCount(), 0);
        QCOMPARE(model.columnCount(), 1);
        QSignalSpy relayout(&model, &QAbstractItemModel::layoutChanged);

        recordFour(world);
        if (QTest::currentTestFailed())
            return;

        QVERIFY(relayout.count() >= 4);
        QCOMPARE(model.rowCount(), 4);
        for (int row = 0; row < 4; row++)
            QCOMPARE(model.data(model.index(row, 0), Qt::DisplayRole).toString(),
                     Global::history->getEvent(row)->getDescription(false));
        QCOMPARE(model.data(model.index(0, 0), Qt::DisplayRole).toString(), QString("Changed Ana: Curr HP 25"));
        QCOMPARE(marks(model, arrow), QString("- - - a"));
        QVERIFY(!model.data(model.index(0, 0), Qt::ToolTipRole).isValid());
        QVERIFY(!model.data(model.index(4, 0), Qt::DisplayRole).isValid());
        QVERIFY(!model.index(0, 1).isValid());
        QCOMPARE(model.rowCount(model.index(0, 0)), 0);

        // Stepped-back events turn grey; the arrow stays on the current one.
        Global::history->back();
        Global::history->back();
        QCOMPARE(marks(model, arrow), QString("- a -g -g"));

        // With no current event every row is blank and grey.
        Global::history->back();
        Global::history->back();
        QCOMPARE(Global::history->getCurrentIndex(), -1);
        QCOMPARE(marks(model, arrow), QString("-g -g -g -g"));

        // A new command drops the undone events.
        Global::history->forward(false);
        Creature* ana = world.find("Ana");
        ana->setCurrHitPoints(3);
        QVERIFY(world.record(new SetVitalityEvent(ana->getVitality(), world.stream())));
        QCOMPARE(model.rowCount(), 2);
        QCOMPARE(model.data(model.index(1, 0), Qt::DisplayRole).toString(), QString("Changed Ana: Curr HP 3"));
        QCOMPARE(marks(model, arrow), QString("- a"));
    }

    void headers_data()
    {
        QTest::addColumn<int>("section");
        QTest::addColumn<int>("orientation");
        QTest::addColumn<int>("role");
        QTest::addColumn<QVariant>("text");

        QTest::newRow("column") << 0 << int(Qt::Horizontal) << int(Qt::DisplayRole) << QVariant("Event");
        QTest::newRow("no second column") << 1 << int(Qt::Horizontal) << int(Qt::DisplayRole) << QVariant();
        QTest::newRow("first row numbered 1") << 0 << int(Qt::Vertical) << int(Qt::DisplayRole) << QVariant("1");
        QTest::newRow("tenth row") << 9 << int(Qt::Vertical) << int(Qt::DisplayRole) << QVariant("10");
        QTest::newRow("other role") << 0 << int(Qt::Horizontal) << int(Qt::ToolTipRole) << QVariant();
    }

    void headers()
    {
        QFETCH(int, section);
        QFETCH(int, orientation);
        QFETCH(int, role);
        QFETCH(QVariant, text);
        EventListModel model;
        QCOMPARE(model.headerData(section, Qt::Orientation(orientation), role), text);
    }

    void clickJumpsTheHistory()
    {
        RecordingUiHooks hooks;
        TestWorld world;
        EventListModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QListView view;
        view.setModel(&model);
        model.setView(&view);
        model.newHistory();
        recordFour(world);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(view.selectionMode(), QAbstractItemView::NoSelection);
        view.resize(300, 300);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));

        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, view.visualRect(model.index(1, 0)).center());

        QCOMPARE(Global::history->getCurrentIndex(), 1);
        QCOMPARE(world.find("Ana")->getBeforeVitality().hitPoints, 20);
        QCOMPARE(world.find("Orc (1)")->getCurrHitPoints(), 20);
        QCOMPARE(marks(model, arrow), QString("- a -g -g"));
        QVERIFY(view.selectionModel()->selectedIndexes().isEmpty());

        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, view.visualRect(model.index(3, 0)).center());
        QCOMPARE(Global::history->getCurrentIndex(), 3);
        QCOMPARE(world.find("Orc (1)")->getCurrHitPoints(), 14);
    }

    void currentRowIsScrolledIntoSight()
    {
        RecordingUiHooks hooks;
        TestWorld world;
        EventListModel model;
        QListView view;
        view.setModel(&model);
        model.setView(&view);
        model.newHistory();
        view.resize(200, 80);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        Creature* ana = world.addHero("Ana", 30);
        Global::encounter->setCreatureList(CreatureList({ana}));
        for (int hitPoints = 29; hitPoints > 0; hitPoints--) {
            ana->setCurrHitPoints(hitPoints);
            QVERIFY(world.record(new SetVitalityEvent(ana->getVitality(), world.stream())));
        }
        auto inSight = [&](int row) {
            const QRect rect = view.visualRect(model.index(row, 0));
            return rect.top() >= 0 && rect.bottom() < view.viewport()->height();
        };

        QVERIFY(inSight(28));
        QVERIFY(!inSight(0));
        Global::history->goTo(0);
        QVERIFY(inSight(0));
        QVERIFY(!inSight(28));
    }
};

RAVELHORN_TEST_MAIN(QApplication, TestEventListModel)
#include "uitest_eventlistmodel.moc"
