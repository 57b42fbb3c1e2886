#include <QApplication>

#include "creature/creature.h"
#include "encounter/encounter.h"
#include "foundation/global.h"
#include "powerdialog/picklistwidget.h"
#include "support/testsupport.h"
#include "support/testworld.h"

Q_DECLARE_METATYPE(QList<int>)

namespace {

QList<int> selectedRows(const PickListWidget& list)
{
    QList<int> rows;
    for (const QModelIndex& index : list.selectionModel()->selectedRows())
        rows.append(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

QStringList texts(const QListWidget& list)
{
    QStringList result;
    for (int row = 0; row < list.count(); row++)
        result << list.item(row)->text();
    return result;
}

}

class TestPickLists : public QObject
{
    Q_OBJECT

private slots:
    void keys_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<QList<int>>("selected");
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("shift");
        QTest::addColumn<QList<int>>("expected");

        QTest::newRow("up, none selected: the last row") << 5 << QList<int>{} << int(Qt::Key_Up) << false << QList<int>{4};
        QTest::newRow("down, none selected: the first row") << 5 << QList<int>{} << int(Qt::Key_Down) << false << QList<int>{0};
        QTest::newRow("up from the first row wraps") << 5 << QList<int>{0} << int(Qt::Key_Up) << false << QList<int>{4};
        QTest::newRow("down from the last row wraps") << 5 << QList<int>{4} << int(Qt::Key_Down) << false << QList<int>{0};
        QTest::newRow("up moves one row") << 5 << QList<int>{3} << int(Qt::Key_Up) << false << QList<int>{2};
        QTest::newRow("down moves one row") << 5 << QList<int>{1} << int(Qt::Key_Down) << false << QList<int>{2};
        QTest::newRow("up collapses onto the top row") << 6 << QList<int>{2, 3, 4} << int(Qt::Key_Up) << false << QList<int>{2};
        QTest::newRow("down collapses onto the bottom row") << 6 << QList<int>{2, 3, 4} << int(Qt::Key_Down) << false << QList<int>{4};
        QTest::newRow("shift up adds the row above") << 5 << QList<int>{3} << int(Qt::Key_Up) << true << QList<int>{2, 3};
        QTest::newRow("shift up at the top adds nothing") << 5 << QList<int>{0} << int(Qt::Key_Up) << true << QList<int>{0};
        QTest::newRow("shift down adds the row below") << 5 << QList<int>{1, 2} << int(Qt::Key_Down) << true << QList<int>{1, 2, 3};
        QTest::newRow("shift down at the bottom adds nothing") << 5 << QList<int>{4} << int(Qt::Key_Down) << true << QList<int>{4};
        QTest::newRow("up in an empty list") << 0 << QList<int>{} << int(Qt::Key_Up) << false << QList<int>{};
        QTest::newRow("down in an empty list") << 0 << QList<int>{} << int(Qt::Key_Down) << false << QList<int>{};
    }

    // Up and Down move or extend the selection, and wrap around the ends.
    void keys()
    {
        QFETCH(int, rows);
        QFETCH(QList<int>, selected);
        QFETCH(int, key);
        QFETCH(bool, shift);
        QFETCH(QList<int>, expected);
        PickListWidget list;
        list.setSelectionMode(QAbstractItemView::ExtendedSelection);
        for (int row = 0; row < rows; row++)
            list.addItem(QString::number(row));
        for (int row : selected)
            list.item(row)->setSelected(true);
        list.show();
        QTest::keyClick(&list, Qt::Key(key), shift ? Qt::ShiftModifier : Qt::NoModifier);
        QCOMPARE(selectedRows(list), expected);
        if (!expected.isEmpty() && !(shift && expected == selected))
            QVERIFY(expected.contains(list.currentRow()));
    }

    // Left and Right are left to the list's parent, the picker.
    void leftAndRightGoToTheParent()
    {
        QWidget parent;
        auto* list = new PickListWidget;
        list->setParent(&parent);
        list->addItem("a");
        QKeyEvent right(QEvent::KeyPress, Qt::Key_Right, Qt::ShiftModifier);
        QApplication::sendEvent(list, &right);
        QVERIFY(!right.isAccepted());
    }

    void selectedItem()
    {
        PickListWidget list;
        list.setSelectionMode(QAbstractItemView::ExtendedSelection);
        list.selectedItem();
        QCOMPARE(selectedRows(list), QList<int>{});
        for (const char* text : {"a", "b", "c"})
            list.addItem(text);
        list.selectedItem();
        QCOMPARE(selectedRows(list), QList<int>{0});
        QCOMPARE(list.currentRow(), 0);
        list.item(0)->setSelected(false);
        list.item(2)->setSelected(true);
        list.selectedItem();
        QCOMPARE(selectedRows(list), QList<int>{2});
    }

    void order_data()
    {
        QTest::addColumn<QStringList>("heroes");
        QTest::addColumn<QStringList>("monsters");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("heroes before monsters, whatever their names")
            << QStringList{"Zed"} << QStringList{"Aardvark:1"} << QStringList{"Zed", "Aardvark (1)"};
        QTest::newRow("an upper-case initial first") << QStringList{"a", "B"} << QStringList{} << QStringList{"B", "a"};
        QTest::newRow("a name before a longer one it begins")
            << QStringList{"Annalise", "Ann"} << QStringList{} << QStringList{"Ann", "Annalise"};
        QTest::newRow("monsters by group and name")
            << QStringList{} << QStringList{"Orc:2", "Goblin:10", "Goblin:2"}
            << QStringList{"Goblin (10)", "Goblin (2)", "Orc (2)"};
    }

    // A sorted list shows heroes by name, then monsters by name and group.
    void order()
    {
        QFETCH(QStringList, heroes);
        QFETCH(QStringList, monsters);
        QFETCH(QStringList, expected);
        TestWorld world;
        QList<Creature*> creatures;
        for (const QString& name : heroes)
            creatures << world.addHero(name, 20);
        for (const QString& monster : monsters)
            creatures << world.addMonster(monster.section(':', 0, 0), monster.section(':', 1), 20);
        // Both ways round, so the order is the comparison's and not the insertion's.
        for (bool reversed : {false, true}) {
            QListWidget list;
            list.setSortingEnabled(true);
            for (int i = 0; i < creatures.size(); i++)
                list.addItem(new CreatureSorterItem(creatures[reversed ? creatures.size() - 1 - i : i], nullptr));
            QCOMPARE(texts(list), expected);
        }
    }

    // The origin reads " [Self]" even on its turn; the current creature " [Current]".
    void itemText()
    {
        TestWorld world;
        Creature* ana = world.addHero("Ana", 20);
        Creature* bron = world.addHero("Bron", 20);
        Creature* goblin = world.addMonster("Goblin", "1", 20);
        Global::encounter->setCreatureList(CreatureList({ana, bron, goblin}));
        Global::encounter->setCurrentIndex(0);
        QCOMPARE(CreatureSorterItem(ana, ana).text(), QString("Ana [Self]"));
        QCOMPARE(CreatureSorterItem(ana, bron).text(), QString("Ana [Current]"));
        QCOMPARE(CreatureSorterItem(goblin, bron).text(), QString("Goblin (1)"));
        QCOMPARE(CreatureSorterItem(bron, bron).text(), QString("Bron [Self]"));
    }
};

RAVELHORN_TEST_MAIN(QApplication, TestPickLists)

#include "uitest_picklists.moc"
