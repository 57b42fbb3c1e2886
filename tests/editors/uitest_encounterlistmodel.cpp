#include <QLineEdit>
#include <QSettings>

#include "editors/encounterlistmodel.h"
#include "library/encounterdata.h"
#include "editorstesting.h"

namespace {

const QString bridge = "Bridge Ambush(Marsh Raider{1, 2}, Thornback Archer{A, B})";
const QString warren = "Goblin Warren(Cave Skulker{1}, Gutter Rat Swarm{1}, Mire Goblin Shank{1, 2, 3})";
const QString hollow = "Hag's Hollow(Ashen Hound{1, 2}, Bog Hag Mother{1})";

void accept(QDialog* dialog)
{
    dialog->accept();
}

// An encounter of three groups of two monsters.
EncounterData* threeGroups(const QString& name)
{
    auto* encounter = new EncounterData;
    encounter->setName(name);
    for (const QString& group : {"Ashen Hound", "Bog Hag Mother", "Cave Skulker"})
        for (const QString& id : {"1", "2"})
            encounter->addCreature({group, id, QString(), false});
    return encounter;
}

}

class TestEncounterListModel : public QObject
{
    Q_OBJECT

private slots:
    void init() { QSettings().clear(); }

    void rowsCarryTheirParentsPath_data()
    {
        QTest::addColumn<int>("group");
        QTest::addColumn<int>("creature");
        QTest::addColumn<int>("reference");
        QTest::newRow("encounter row") << -1 << -1 << int(0xFFFFFFFF);
        QTest::newRow("group row") << 2 << -1 << int((5 << 16) | 0xFFFF);
        QTest::newRow("monster row") << 2 << 1 << int((5 << 16) | 2);
    }
    void rowsCarryTheirParentsPath()
    {
        QFETCH(int, group);
        QFETCH(int, creature);
        QFETCH(int, reference);
        ManagerWorld w;
        for (const QString& name : {"X 1", "X 2", "X 3"})
            w.encounterModel()->insertEncounter(threeGroups(name), false);
        const EncounterPath path{5, group, creature};
        const QModelIndex index = w.encounterModel()->pathToIndex(path);
        QCOMPARE(int(quint32(index.internalId())), reference);
        EncounterPath back;
        QVERIFY(back.indexToPath(index));
        QVERIFY(back == path);
        QCOMPARE(index.data().toString(), w.encounterModel()->getObjectData(path));
    }

    void pathsStopAtTheirEnds()
    {
        EncounterPath full{1, 2, 3};
        QVERIFY(!full.cd(4));
        QVERIFY((full == EncounterPath{1, 2, 3}));
        EncounterPath root;
        QCOMPARE(root.cdUp(), -1);
        EncounterPath kept{-1, -1, 7};
        kept.setModelReference(int(0xFFFFFFFF));
        QVERIFY((kept == EncounterPath{-1, -1, 7}));

        ManagerWorld w;
        EncounterListModel* model = w.encounterModel();
        const QModelIndex monster = model->pathToIndex({0, 0, 0});
        QVERIFY(!model->index(0, 0, monster).isValid());
        QVERIFY(!model->index(0, 1).isValid());
        QVERIFY(!model->parent(model->index(0, 0)).isValid());
        // A monster shows its ID, not its alias.
        QCOMPARE(model->pathToIndex({0, 0, 1}).data().toString(), "2");
    }

    void everyChangeIsAnnouncedAndTheSelectionFollows()
    {
        ManagerWorld w;
        EncounterListModel* model = w.encounterModel();
        QCOMPARE(w.shownEncounters(), bridge + ", " + warren + ", " + hollow);

        // A new encounter in its sorted place, selected; a template added to it makes a new group.
        QTest::mouseClick(w.button("New Encounter"), Qt::LeftButton);
        QCOMPARE(w.shownEncounters(), bridge + ", " + warren + ", " + hollow + ", [New Encounter*]");
        w.checkSelectionAgrees();
        w.click("Marsh Raider");
        QTest::mouseClick(w.button("Add"), Qt::LeftButton);
        QVERIFY(w.shownEncounters().endsWith("New Encounter*(Marsh Raider{[1]})"));
        w.checkSelectionAgrees();
        QTest::mouseClick(w.button("Add Monster"), Qt::LeftButton);
        QVERIFY(w.shownEncounters().endsWith("New Encounter*(Marsh Raider{1, [2]})"));
        w.checkSelectionAgrees();

        // Its name typed: the row moves to the top, the edit keeps focus and text.
        w.clickEncounterRow({"New Encounter*"});
        QLineEdit* edit = w.fieldIn("Selected Encounter", 0);
        QCOMPARE(edit->text(), "New Encounter");
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, "A Raid");
        QCOMPARE(edit->text(), "A Raid");
        QCOMPARE(QApplication::focusWidget(), edit);
        QVERIFY2(w.shownEncounters().startsWith("[A Raid*](Marsh Raider{1, 2}), " + bridge),
                 qPrintable(w.shownEncounters()));
        w.checkSelectionAgrees();

        // The last monster of a larger group selects the one above; the only one of the only group the encounter.
        w.clickEncounterRow({"A Raid*", "Marsh Raider", "2"});
        QTest::mouseClick(w.button("Remove Monster"), Qt::LeftButton);
        QVERIFY(w.shownEncounters().startsWith("A Raid*(Marsh Raider{[1]})"));
        w.checkSelectionAgrees();
        QTest::mouseClick(w.button("Remove Monster"), Qt::LeftButton);
        QVERIFY(w.shownEncounters().startsWith("[A Raid*], " + bridge));
        w.checkSelectionAgrees();

        // A group renamed moves down and back, the selected monster with it.
        w.clickEncounterRow({"Goblin Warren", "Cave Skulker", "1"});
        model->moveGroup("Cave Skulker", "Skulker");
        QVERIFY(w.shownEncounters().contains(
            "Goblin Warren*(Gutter Rat Swarm{1}, Mire Goblin Shank{1, 2, 3}, Skulker{[1]})"));
        w.checkSelectionAgrees();
        model->moveGroup("Skulker", "Cave Skulker");
        QVERIFY(w.shownEncounters().contains("Goblin Warren(Cave Skulker{[1]}, Gutter"));
        w.checkSelectionAgrees();

        // Into a group that exists: a merge, the selected monster found again in it.
        w.clickEncounterRow({"Bridge Ambush", "Thornback Archer", "B"});
        model->moveGroup("Thornback Archer", "Marsh Raider");
        QVERIFY2(w.shownEncounters().contains("Bridge Ambush*(Marsh Raider{1, 2, A, [B]})"),
                 qPrintable(w.shownEncounters()));
        w.checkSelectionAgrees();
        // Merged monsters whose IDs the group has already get new ones.
        model->moveGroup("Gutter Rat Swarm", "Mire Goblin Shank");
        QVERIFY2(w.shownEncounters().contains("Goblin Warren*(Cave Skulker{1}, Mire Goblin Shank{1, 2, 3, 4})"),
                 qPrintable(w.shownEncounters()));
        // The only group of the encounter removed: the encounter row.
        model->removeGroup("Marsh Raider");
        QVERIFY(w.shownEncounters().contains("[Bridge Ambush*], Goblin"));
        w.checkSelectionAgrees();

        // Reverted with the selection elsewhere: the rows come and go around it.
        w.clickEncounterRow({"Hag's Hollow", "Bog Hag Mother"});
        QCOMPARE(answeringDialogs([&] { QTest::mouseClick(w.button("Revert All"), Qt::LeftButton); }, accept), 1);
        QCOMPARE(w.shownEncounters(), bridge + ", " + warren + ", Hag's Hollow(Ashen Hound{1, 2}, [Bog Hag Mother]{1})");
        w.checkSelectionAgrees();

        // The filter hides encounters and selects the last selected one again when it shows.
        QLineEdit* filter = w.encounterFilter();
        QTest::keyClicks(filter, "gob");
        QCOMPARE(w.shownEncounters(), warren);
        w.checkSelectionAgrees();
        filter->clear();
        QTest::keyClick(filter, Qt::Key_Shift);
        QVERIFY(w.shownEncounters().contains("[Bog Hag Mother]"));
        w.checkSelectionAgrees();

        // A reload resets: nothing selected, the filter still applied.
        QTest::keyClicks(filter, "hollow");
        w.reload();
        QCOMPARE(w.shownEncounters(), hollow);
        QVERIFY(model->getSelection().isRoot());
        w.checkSelectionAgrees();
    }

    void removedEncountersHandTheSelectionToAVisibleNeighbour()
    {
        ManagerWorld w;
        QSettings().setValue("managerWindow/deleteEncounter", false);
        w.clickEncounterRow({"Goblin Warren", "Mire Goblin Shank", "2"});
        QTest::mouseClick(w.button("Delete Encounter"), Qt::LeftButton);
        QCOMPARE(w.shownEncounters(), bridge + ", [" + hollow.section('(', 0, 0) + "](" + hollow.section('(', 1));
        w.checkSelectionAgrees();
        QTest::mouseClick(w.button("Delete Encounter"), Qt::LeftButton);
        QCOMPARE(w.shownEncounters(), "[Bridge Ambush](" + bridge.section('(', 1));
        QTest::mouseClick(w.button("Delete Encounter"), Qt::LeftButton);
        QCOMPARE(w.shownEncounters(), QString());
        QVERIFY(w.encounterModel()->getSelection().isRoot());
        QVERIFY(!w.button("Delete Encounter")->isEnabled());
        QCOMPARE(Global::encounters->getCounts()->deletedCount, 3);
    }

    // Revert All reads an encounter back from its file: its rows stay as
    // expanded as they were, also when the old name takes it back to its old row.
    void revertedEncountersStayExpanded()
    {
        ManagerWorld w;
        EncounterListModel* model = w.encounterModel();
        const auto expanded = [&w, model] {
            QStringList rows;
            for (int row = 0; row < model->rowCount(); row++) {
                const QModelIndex encounter = model->index(row, 0);
                if (w.tree()->isExpanded(encounter))
                    rows.append(encounter.data().toString());
                for (int group = 0; group < model->rowCount(encounter); group++)
                    if (w.tree()->isExpanded(model->index(group, 0, encounter)))
                        rows.append(encounter.data().toString() + "/" + model->index(group, 0, encounter).data().toString());
            }
            return rows;
        };
        w.clickEncounterRow({"Bridge Ambush", "Marsh Raider", "1"});
        w.clickEncounterRow({"Bridge Ambush", "Thornback Archer", "A"});
        w.clickEncounterRow({"Hag's Hollow", "Ashen Hound"});
        w.clickEncounterRow({"Bridge Ambush"});
        QLineEdit* edit = w.fieldIn("Selected Encounter", 0);
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, "Zed Ambush");
        QCOMPARE(expanded(),
                 (QStringList{"Hag's Hollow", "Zed Ambush*", "Zed Ambush*/Marsh Raider", "Zed Ambush*/Thornback Archer"}));
        const QList<EncounterPath> before = model->getExpandedList(model->getSelectedEncounter());
        QCOMPARE(before.size(), 3);
        QCOMPARE(before.last(), (EncounterPath{2, 1, -1}));

        QCOMPARE(answeringDialogs([&] { QTest::mouseClick(w.button("Revert All"), Qt::LeftButton); }, accept), 1);
        QCOMPARE(expanded(), (QStringList{"Bridge Ambush", "Bridge Ambush/Marsh Raider", "Bridge Ambush/Thornback Archer",
                                          "Hag's Hollow"}));
        QCOMPARE(model->getExpandedList(model->getSelectedEncounter()).last(), (EncounterPath{0, 1, -1}));
    }

    void anEncounterWhoseFileNoLongerReadsIsKept()
    {
        ManagerWorld w;
        w.clickEncounterRow({"Hag's Hollow", "Ashen Hound", "1"});
        w.clickEncounterRow({"Bridge Ambush", "Marsh Raider", "2"});
        QTest::mouseClick(w.button("Remove Monster"), Qt::LeftButton);
        QVERIFY(QFile::remove(w.encountersFolder() + "/bridge-ambush.txt"));
        QVERIFY(QDir(w.encountersFolder()).mkdir("bridge-ambush.txt"));
        QCOMPARE(answeringDialogs([&] { QTest::mouseClick(w.button("Revert All"), Qt::LeftButton); }, accept), 1);
        QVERIFY2(w.shownEncounters().startsWith("Bridge Ambush*(Marsh Raider{[1]}"), qPrintable(w.shownEncounters()));
        QCOMPARE(w.hooks.alerts.size(), 1);
        QVERIFY(w.hooks.alerts[0].text.contains("bridge-ambush.txt"));
        QVERIFY(w.button("Save All")->isEnabled());
    }
};

RAVELHORN_TEST_MAIN(QApplication, TestEncounterListModel)
#include "uitest_encounterlistmodel.moc"
