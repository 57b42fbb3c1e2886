#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSettings>
#include <QTextDocumentFragment>

#include "editors/encounterlistmodel.h"
#include "library/encounterdata.h"
#include "support/cuttexts.h"
#include "editorstesting.h"

namespace {

// The window answers the model's party-size question, as in the program.
class PartyHooks : public RecordingUiHooks
{
public:
    explicit PartyHooks(ManagerWindow* window) : window(window) {}
    int getPartySize() override { return window->getPartySize(); }

    ManagerWindow* window;
};

QComboBox* comboWith(ManagerWorld& w, const QString& item)
{
    for (QComboBox* combo : w.window->findChildren<QComboBox*>())
        if (combo->findText(item) >= 0)
            return combo;
    return nullptr;
}

void choose(QComboBox* combo, int index)
{
    combo->setCurrentIndex(index);
    emit combo->activated(index);
}

// The IDs of the encounter's group, in the tree's order.
QString groupIds(const QString& encounter, const QString& group)
{
    EncounterData* found = Global::encounters->findEncounter(encounter);
    const int g = found ? found->getGroupIndex(group) : -1;
    QStringList ids;
    for (int c = 0; c < found->getGroupCreatureCount(g); c++)
        ids.append(found->getGroupCreature(g, c)->id);
    return ids.join(", ");
}

// The selected encounter's figure shown beside its heading.
QLabel* figureAfter(ManagerWorld& w, const QString& heading)
{
    for (QGroupBox* box : w.window->findChildren<QGroupBox*>("")) {
        if (box->title() != "Selected Encounter")
            continue;
        for (QLabel* label : box->findChildren<QLabel*>()) {
            if (label->text() != "<b>" + heading + "</b>")
                continue;
            QLayout* row = label->parentWidget()->layout();
            return qobject_cast<QLabel*>(row->itemAt(row->indexOf(label) + 1)->widget());
        }
    }
    return nullptr;
}

}

class TestManagerEncounters : public QObject
{
    Q_OBJECT

private slots:
    void init() { QSettings().clear(); }

    void theSelectionDecidesWhatCanBeEdited_data()
    {
        QTest::addColumn<QStringList>("row");
        QTest::addColumn<bool>("encounterFields");
        QTest::addColumn<bool>("addMonster");
        QTest::addColumn<bool>("monsterFields");
        QTest::addColumn<QString>("monsterName");
        QTest::newRow("nothing") << QStringList() << false << false << false << "";
        QTest::newRow("encounter") << QStringList{"Hag's Hollow"} << true << false << false << "";
        QTest::newRow("group") << QStringList{"Hag's Hollow", "Ashen Hound"} << true << true << false << "Ashen Hound";
        QTest::newRow("group, template missing") << QStringList{"Hag's Hollow", "Lost Wyrm"} << true << false << false
                                                 << "Lost Wyrm - Missing";
        QTest::newRow("monster") << QStringList{"Hag's Hollow", "Ashen Hound", "2"} << true << true << true
                                 << "Ashen Hound";
        QTest::newRow("monster, template missing") << QStringList{"Hag's Hollow", "Lost Wyrm", "W1"} << true << false
                                                   << true << "Lost Wyrm - Missing";
    }
    void theSelectionDecidesWhatCanBeEdited()
    {
        QFETCH(QStringList, row);
        QFETCH(bool, encounterFields);
        QFETCH(bool, addMonster);
        QFETCH(bool, monsterFields);
        QFETCH(QString, monsterName);
        ManagerWorld w;
        QFile file(w.encountersFolder() + "/hags-hollow.txt");
        QVERIFY(file.open(QIODevice::Append));
        file.write("Lost Wyrm=W1\r\n");
        file.close();
        w.reload();
        if (!row.isEmpty())
            w.clickEncounterRow(row);
        QLineEdit* name = w.fieldIn("Selected Encounter", 0);
        QCOMPARE(name->isEnabled(), encounterFields);
        QCOMPARE(name->text(), encounterFields ? "Hag's Hollow" : "");
        QCOMPARE(w.window->findChild<QPlainTextEdit*>()->isEnabled() || encounterFields, encounterFields);
        QCOMPARE(w.button("Delete Encounter")->isEnabled(), encounterFields);
        QCOMPARE(w.button("Add Monster")->isEnabled(), addMonster);
        QLineEdit* id = w.fieldIn("Selected Monster", 0);
        QCOMPARE(id->isEnabled(), monsterFields);
        QCOMPARE(id->text().isEmpty(), !monsterFields);
        QCOMPARE(w.fieldIn("Selected Monster", 1)->isEnabled(), monsterFields);
        QCOMPARE(w.window->findChild<QCheckBox*>()->isEnabled(), monsterFields);
        QCOMPARE(w.button("Remove Monster")->isEnabled(), monsterFields);
        bool nameShown = monsterName.isEmpty();
        for (QLabel* label : w.window->findChildren<QLabel*>())
            nameShown = nameShown || QTextDocumentFragment::fromHtml(label->text()).toPlainText() == monsterName;
        QVERIFY(nameShown);
        const QStringList unreadable = unreadableTexts(w.window.get());
        QVERIFY2(unreadable.isEmpty(), qPrintable(unreadable.join("\n")));
        // The encounter's adventure is shown in the editable list.
        QCOMPARE(comboWith(w, "Mirefen Road")->currentText(), encounterFields ? "The Drowned Chapel" : "");
    }

    void typedIdsAndNamesKeepTheFieldWhileRowsMove()
    {
        ManagerWorld w;
        w.clickEncounterRow({"Goblin Warren", "Mire Goblin Shank", "1"});
        QLineEdit* id = w.fieldIn("Selected Monster", 0);
        id->setFocus();
        id->selectAll();
        QTest::keyClicks(id, "9");
        QCOMPARE(groupIds("Goblin Warren", "Mire Goblin Shank"), "2, 3, 9");
        QCOMPARE(id->text(), "9");
        QCOMPARE(QApplication::focusWidget(), id);
        QVERIFY(w.shownEncounters().contains("Mire Goblin Shank{2, 3, [9]}"));
        // Refused while typed: empty, padded, with a separator of the file, or another monster's.
        for (const QString& typed : {"", " 4", ",5", "=b", "2", "3 "}) {
            id->selectAll();
            QTest::keyClick(id, Qt::Key_Delete);
            QTest::keyClicks(id, typed);
            QCOMPARE(id->text(), typed);
            QCOMPARE(groupIds("Goblin Warren", "Mire Goblin Shank"), "2, 3, 9");
        }
        // Left, the field shows the ID the monster kept.
        w.fieldIn("Selected Monster", 1)->setFocus();
        QCOMPARE(id->text(), "9");

        QLineEdit* name = w.fieldIn("Selected Encounter", 0);
        name->setFocus();
        name->selectAll();
        QTest::keyClicks(name, "A Warren");
        QCOMPARE(QApplication::focusWidget(), name);
        QVERIFY(w.shownEncounters().startsWith("A Warren*(Cave Skulker{1}, Gutter Rat Swarm{1}, Mire Goblin Shank{2, 3, [9]})"));
        name->selectAll();
        QTest::keyClicks(name, "  ");
        QVERIFY(Global::encounters->findEncounter("A Warren"));
        w.fieldIn("Selected Monster", 1)->setFocus();
        QCOMPARE(name->text(), "A Warren");
    }

    void generatedIdsFollowTheSchemeAndScope_data()
    {
        QTest::addColumn<int>("scheme");
        QTest::addColumn<int>("scope");
        QTest::addColumn<QString>("existing");
        QTest::addColumn<int>("added");
        QTest::addColumn<QString>("ids");
        QTest::addColumn<int>("schemeAfter");
        QTest::newRow("numbers") << 0 << 0 << "" << 2 << "1, 2" << 0;
        QTest::newRow("letters") << 1 << 0 << "" << 2 << "A, B" << 1;
        QTest::newRow("prefix") << 2 << 0 << "" << 2 << "R1, R2" << 2;
        QTest::newRow("letters after A") << 1 << 0 << "A" << 1 << "A, B" << 1;
        QTest::newRow("prefix after A") << 2 << 0 << "A" << 1 << "A, A2" << 2;
        QTest::newRow("numbers after a number, letters chosen") << 1 << 0 << "4" << 1 << "4, 5" << 0;
        QTest::newRow("per encounter") << 0 << 1 << "" << 2 << "3, 4" << 0;
    }
    void generatedIdsFollowTheSchemeAndScope()
    {
        QFETCH(int, scheme);
        QFETCH(int, scope);
        QFETCH(QString, existing);
        QFETCH(int, added);
        QFETCH(QString, ids);
        QFETCH(int, schemeAfter);
        ManagerWorld w;
        QTest::mouseClick(w.button("New Encounter"), Qt::LeftButton);
        EncounterData* fresh = w.encounterModel()->getSelectedEncounter();
        if (!existing.isEmpty())
            w.encounterModel()->insertMonster(fresh, {"Marsh Raider", existing, QString(), false});
        // Another group holding 1 and 2.
        w.encounterModel()->insertMonster(fresh, {"Ashen Hound", "1", QString(), false});
        w.encounterModel()->insertMonster(fresh, {"Ashen Hound", "2", QString(), false});
        w.clickEncounterRow({"New Encounter*"});
        QComboBox* numbering = comboWith(w, "1, 2, 3, ...");
        numbering->setCurrentIndex(scheme);
        comboWith(w, "per Group")->setCurrentIndex(scope);
        w.click("Marsh Raider");
        for (int i = 0; i < added; i++)
            QTest::mouseClick(w.button("Add"), Qt::LeftButton);
        QCOMPARE(groupIds("New Encounter", "Marsh Raider"), ids);
        QCOMPARE(numbering->currentIndex(), schemeAfter);
        // The generated ID is ready to be typed over.
        QLineEdit* id = w.fieldIn("Selected Monster", 0);
        VERIFY_FOCUS(id);
        QCOMPARE(id->selectedText(), ids.section(", ", -1));
    }

    void lettersRunOnPastZ()
    {
        ManagerWorld w;
        w.clickEncounterRow({"Hag's Hollow", "Bog Hag Mother", "1"});
        comboWith(w, "1, 2, 3, ...")->setCurrentIndex(1);
        w.encounterModel()->deleteMonster(Global::encounters->findEncounter("Hag's Hollow"),
                                          {"Bog Hag Mother", "1", QString(), false});
        w.clickEncounterRow({"Hag's Hollow", "Ashen Hound"});
        QTest::mouseClick(w.button("Remove Monster"), Qt::LeftButton);
        w.click("Bog Hag Mother");
        for (int i = 0; i < 53; i++)
            QTest::mouseClick(w.button("Add"), Qt::LeftButton);
        const QStringList ids = groupIds("Hag's Hollow", "Bog Hag Mother").split(", ");
        QCOMPARE(ids.size(), 53);
        QCOMPARE(QSet<QString>(ids.begin(), ids.end()).size(), 53);
        for (const QString& id : {"A", "Z", "a", "z"})
            QVERIFY2(ids.contains(id), qPrintable(id));
    }

    void thePartySizeChangesOnlyTheLevel()
    {
        ManagerWorld w;
        PartyHooks hooks(w.window.get());
        w.clickEncounterRow({"Bridge Ambush"});
        EncounterData* shown = Global::encounters->findEncounter("Bridge Ambush");
        const QString xp = QString::number(shown->getXP());
        const QString levelForFive = QString::number(shown->getLevel());
        QComboBox* party = comboWith(w, "12");
        QCOMPARE(party->currentText(), "5");
        choose(party, 1);
        QCOMPARE(shown->getXP(), xp.toInt());
        QVERIFY(QString::number(shown->getLevel()) != levelForFive);
        bool levelShown = false;
        bool xpShown = false;
        for (QLabel* label : w.window->findChildren<QLabel*>()) {
            levelShown = levelShown || label->text() == QString::number(shown->getLevel());
            xpShown = xpShown || label->text() == xp;
        }
        QVERIFY(levelShown && xpShown);
    }

    void theAdventureFilterShowsItsEncounters()
    {
        ManagerWorld w;
        w.clickEncounterRow({"Hag's Hollow"});
        QComboBox* adventures = comboWith(w, "All Adventures");
        choose(adventures, adventures->findText("Mirefen Road"));
        QVERIFY2(w.shownEncounters().startsWith("Bridge Ambush(") && !w.shownEncounters().contains("Hag"),
                 qPrintable(w.shownEncounters()));
        // Back to all: the encounter selected before is again.
        choose(adventures, 0);
        QVERIFY(w.shownEncounters().contains("[Hag's Hollow]("));
        // A new encounter belongs to the adventure shown before it.
        QTest::mouseClick(w.button("New Encounter"), Qt::LeftButton);
        QCOMPARE(w.encounterModel()->getSelectedEncounter()->getAdventure(), "The Drowned Chapel");
    }

    void aDeletedTemplateTakesItsXpAlong_data()
    {
        QTest::addColumn<QStringList>("selected");
        QTest::newRow("the encounter") << QStringList{"Bridge Ambush"};
        QTest::newRow("a monster of another group") << QStringList{"Bridge Ambush", "Marsh Raider", "2"};
        QTest::newRow("a monster of the group") << QStringList{"Bridge Ambush", "Thornback Archer", "B"};
    }

    // The encounter's figures show what is left of it at once, wherever its selection stood.
    void aDeletedTemplateTakesItsXpAlong()
    {
        QFETCH(QStringList, selected);
        ManagerWorld w;
        PartyHooks hooks(w.window.get());
        EncounterData* ambush = Global::encounters->findEncounter("Bridge Ambush");
        const int before = ambush->getXP();
        w.clickEncounterRow(selected);
        QCOMPARE(figureAfter(w, "XP")->text(), QString::number(before));
        w.click("Thornback Archer");
        const auto confirm = [](QDialog* prompt) { prompt->accept(); };
        QCOMPARE(answeringDialogs([&] { QTest::mouseClick(w.button("Delete"), Qt::LeftButton); }, confirm), 1);
        QVERIFY2(!w.shownEncounters().contains("Thornback"), qPrintable(w.shownEncounters()));
        QVERIFY(ambush->getXP() < before);
        QCOMPARE(figureAfter(w, "XP")->text(), QString::number(ambush->getXP()));
        QCOMPARE(figureAfter(w, "Level")->text(), QString::number(ambush->getLevel()));
    }

    void aRenamedTemplateTakesItsMonstersAlong()
    {
        ManagerWorld w;
        w.clickEncounterRow({"Bridge Ambush", "Thornback Archer", "B"});
        w.click("Thornback Archer");
        QPlainTextEdit* pane = w.statBlockPane();
        QTextCursor cursor = pane->textCursor();
        cursor.setPosition(0);
        pane->setTextCursor(cursor);
        pane->setFocus();
        QTest::keyClicks(pane, "A ");
        QVERIFY2(w.shownEncounters().startsWith("Bridge Ambush*(A Thornback Archer{A, [B]}, Marsh Raider{1, 2})"),
                 qPrintable(w.shownEncounters()));
        w.checkSelectionAgrees();
    }
};

RAVELHORN_TEST_MAIN(QApplication, TestManagerEncounters)
#include "uitest_managerencounters.moc"
