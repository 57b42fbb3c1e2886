// The "Conditions and Effects" dock: the one selected creature's effects,
// a group under its heading, the trash can recording one removal per effect.

#include <QAbstractItemModelTester>
#include <QDockWidget>
#include <QSignalSpy>
#include <QTableView>

#include "combat/combattesting.h"
#include "creature/creature.h"
#include "encounter/effectevents.h"
#include "encounter/encounter.h"
#include "mainwindow/mainwindowtesting.h"

using CombatTesting::runPanel;

namespace {

QTableView* effectsView()
{
    return Global::mainWindow->findChild<QDockWidget*>("effectsWidget")->findChild<QTableView*>();
}

QStringList rows()
{
    QAbstractItemModel* model = effectsView()->model();
    QStringList texts;
    for (int row = 0; row < model->rowCount(); row++)
        texts << (model->index(row, 1).data(Qt::DecorationRole).isNull() ? "" : "  ")
                     + model->index(row, 1).data().toString();
    return texts;
}

void click(int row, int column)
{
    QTableView* view = effectsView();
    const QModelIndex index = view->model()->index(row, column);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(index).center());
}

}

class TestEffectList : public QObject
{
    Q_OBJECT

private:
    WindowWorld* fixture = nullptr;
    Creature* aldric = nullptr;
    Creature* brena = nullptr;
    std::unique_ptr<QAbstractItemModelTester> tester;

    void place(Creature* target, CE::EffectType type, unsigned int group, const QString& comment = QString())
    {
        EffectDetails details;
        details.origin = aldric;
        details.type = type;
        details.groupId = group;
        details.sourceName = group ? "Thunderwave" : QString();
        details.comment = comment;
        QVERIFY(fixture->world->record(new EffectEvent(details, {target}, fixture->world->stream())));
    }

private slots:
    void init()
    {
        fixture = new WindowWorld;
        aldric = fixture->world->addHero("Aldric", 40);
        brena = fixture->world->addHero("Brena", 24);
        Global::encounter->setCreatureList(CreatureList({aldric, brena}));
        place(brena, CE::Dazed, 0, "<b>loud</b> & clear");
        place(brena, CE::Marked, 0);
        for (CE::EffectType type : {CE::Slowed, CE::Prone, CE::Deafened})
            place(brena, type, 7);
        place(aldric, CE::Weakened, 0);
        tester = std::make_unique<QAbstractItemModelTester>(effectsView()->model(),
                                                            QAbstractItemModelTester::FailureReportingMode::QtTest);
    }
    void cleanup()
    {
        tester.reset();
        delete fixture;
    }

    // Only one selected creature has its effects shown; a group's members stand under its heading.
    void rowsFollowTheSelection()
    {
        QVERIFY(rows().isEmpty());
        Global::encounter->setSelectedCreatures({aldric, brena});
        QVERIFY(rows().isEmpty());
        Global::encounter->setSelectedCreatures({brena});
        QCOMPARE(rows(), QStringList({"Dazed (<b>loud</b> & clear) end special", "Marked by Aldric end special",
                                      "Thunderwave: End special:", "  Slowed", "  Prone", "  Deafened"}));
        QAbstractItemModel* model = effectsView()->model();
        QCOMPARE(model->columnCount(), 2);
        QVERIFY(!model->index(0, 0).data(Qt::DecorationRole).isNull());
        QVERIFY(!model->index(5, 0).data(Qt::DecorationRole).isNull());
    }

    // The heading's trash can removes its three effects, one event each, each stepped back alone.
    void trashRemovesTheLine()
    {
        Global::encounter->setSelectedCreatures({brena});
        const int before = Global::history->getEventCount();
        click(2, 0);
        QCOMPARE(Global::history->getEventCount(), before + 3);
        QCOMPARE(rows().size(), 2);
        for (int back = 1; back <= 3; back++) {
            Global::history->back();
            QCOMPARE(brena->getEffectCount(), 2 + back);
        }
        QCOMPARE(rows().size(), 6);
        click(3, 0);
        QCOMPARE(Global::history->getEventCount(), before + 1);
        QCOMPARE(rows().size(), 5);
    }

    // Column 1, and every click while a panel runs, change nothing.
    void clicksThatDoNothing()
    {
        Global::encounter->setSelectedCreatures({brena});
        const int before = Global::history->getEventCount();
        click(0, 1);
        TestPanel panel;
        runPanel(panel, [&] {
            click(0, 0);
            panel.reject();
        });
        QCOMPARE(Global::history->getEventCount(), before);
        QCOMPARE(rows().size(), 6);
    }

    // Another creature's effects leave the list alone; the shown creature's reset it.
    void changesOfEffects()
    {
        Global::encounter->setSelectedCreatures({brena});
        QSignalSpy resets(effectsView()->model(), &QAbstractItemModel::modelReset);
        QSignalSpy layouts(effectsView()->model(), &QAbstractItemModel::layoutChanged);
        place(aldric, CE::Blinded, 0);
        QCOMPARE(resets.count() + layouts.count(), 0);
        place(brena, CE::Blinded, 0);
        QCOMPARE(resets.count(), 1);
        QCOMPARE(rows().size(), 7);
    }
};

RAVELHORN_TEST_MAIN(QApplication, TestEffectList)
#include "uitest_effectlist.moc"
