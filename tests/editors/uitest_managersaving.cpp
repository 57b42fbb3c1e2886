#include <QCheckBox>
#include <QInputMethodEvent>
#include <QLabel>
#include <QScopedValueRollback>
#include <QSettings>

#include "editors/encounterlistmodel.h"
#include "encounter/encounter.h"
#include "encounter/encounterevents.h"
#include "encounter/event.h"
#include "encounter/history.h"
#include "library/encounterdata.h"
#include "editorstesting.h"

namespace {

void accept(QDialog* dialog)
{
    dialog->accept();
}

QString textOf(QDialog* dialog)
{
    QStringList texts;
    for (QLabel* label : dialog->findChildren<QLabel*>())
        texts.append(label->text());
    return texts.join("\n");
}

// The prepared encounter picked to replace the fight's.
class PickingHooks : public RecordingUiHooks
{
public:
    int pickEncounter(QString&, EncounterData*& chosen) override
    {
        chosen = Global::encounters->findEncounter(encounter);
        return 5;
    }

    QString encounter = "Fen Crossing";
};

// The program's own hooks; a folder without characters is loaded as it is.
class FolderHooks : public AnsweringHooks
{
public:
    int badRootAlert(const QString&, const QString&, const QString&) override { return 1; }
};

QStringList historyTexts(int from)
{
    QStringList texts;
    for (int i = from; i < Global::history->getEventCount(); i++)
        texts.append(Global::history->getEvent(i)->getDescription(false));
    return texts;
}

struct Item
{
    QString shown;
    QString file;
};

// Puts the item of the kind in the state: "new", "clean", "dirty" or "deleted".
Item prepare(ManagerWorld& w, const QString& kind, const QString& state)
{
    QSettings().setValue("managerWindow/deleteMonster", false);
    QSettings().setValue("managerWindow/deleteEncounter", false);
    if (kind == "template") {
        if (state == "new") {
            QTest::mouseClick(w.button("New"), Qt::LeftButton);
            return {"New Monster", "Monsters/new-monster.rvhn"};
        }
        w.click("Marsh Raider");
        if (state == "dirty") {
            QPlainTextEdit* pane = w.statBlockPane();
            pane->moveCursor(QTextCursor::End);
            pane->setFocus();
            QTest::keyClick(pane, Qt::Key_Return);
            QTest::keyClicks(pane, "Description Smells of the fen.");
        } else if (state == "deleted") {
            QTest::mouseClick(w.button("Delete"), Qt::LeftButton);
        }
        return {"Marsh Raider", "Monsters/marsh-raider.rvhn"};
    }
    if (state == "new") {
        QTest::mouseClick(w.button("New Encounter"), Qt::LeftButton);
        return {"New Encounter", "Encounters/new-encounter.txt"};
    }
    w.clickEncounterRow({"Bridge Ambush"});
    if (state == "dirty") {
        w.clickEncounterRow({"Bridge Ambush", "Marsh Raider", "2"});
        QTest::mouseClick(w.button("Remove Monster"), Qt::LeftButton);
    } else if (state == "deleted") {
        QTest::mouseClick(w.button("Delete Encounter"), Qt::LeftButton);
    }
    return {"Bridge Ambush", "Encounters/bridge-ambush.txt"};
}

// Typed as an input method commits it: any script.
void type(QWidget* widget, const QString& text)
{
    QInputMethodEvent event;
    event.setCommitString(text);
    QApplication::sendEvent(widget, &event);
}

QString shownNames(ManagerWorld& w, const QString& kind)
{
    return kind == "template" ? w.shownTemplates() : w.shownEncounters();
}

int pending()
{
    int sum = 0;
    for (const Library* library : std::initializer_list<const Library*>{Global::monsters, Global::encounters}) {
        const CreatureCounts* counts = library->getCounts();
        sum += counts->newCount + counts->dirtyCount + counts->deletedCount;
    }
    return sum;
}

// Where the saved file or its folder goes, something stands in the way: a
// folder in place of a new file or of one to remove, a file in place of the
// library folder (moved aside, to be put back) for one to overwrite.
void blockWrites(ManagerWorld& w, const Item& item, const QString& state)
{
    const QString path = w.world.root() + "/" + item.file;
    if (state == "deleted") {
        QFile::remove(path);
        QVERIFY(QDir().mkpath(path + "/in-the-way"));
        return;
    }
    const QString folder = path.section('/', 0, -2);
    QVERIFY(QDir().rename(folder, folder + ".aside"));
    QVERIFY(TestSupport::writeFile(folder, "not a folder"));
}

void unblockWrites(ManagerWorld& w, const Item& item, const QString& state)
{
    const QString path = w.world.root() + "/" + item.file;
    if (state == "deleted")
        return;
    const QString folder = path.section('/', 0, -2);
    QVERIFY(QFile::remove(folder));
    QVERIFY(QDir().rename(folder + ".aside", folder));
}

}

class TestManagerSaving : public QObject
{
    Q_OBJECT

private slots:
    void init() { QSettings().clear(); }

    void pendingChangesSettle_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("state");
        QTest::addColumn<QString>("action");
        // The file: "old" byte for byte, "changed", "written" (a new one) or "none".
        QTest::addColumn<QString>("file");
        // The row as the list shows it afterwards; empty when hidden or gone.
        QTest::addColumn<QString>("row");
        QTest::addColumn<int>("pendingAfter");
        for (const QString& kind : {"template", "encounter"}) {
            const QString added = kind == "template" ? "New Monster" : "New Encounter";
            const QString saved = kind == "template" ? "Marsh Raider" : "Bridge Ambush";
            const QByteArray k = kind.toUtf8();
            QTest::newRow(k + " new, Save All") << kind << "new" << "save" << "written" << added << 0;
            QTest::newRow(k + " clean, Save All") << kind << "clean" << "save" << "old" << saved << 0;
            QTest::newRow(k + " dirty, Save All") << kind << "dirty" << "save" << "changed" << saved << 0;
            QTest::newRow(k + " deleted, Save All") << kind << "deleted" << "save" << "none" << "" << 0;
            QTest::newRow(k + " new, Revert All") << kind << "new" << "revert" << "none" << "" << 0;
            QTest::newRow(k + " clean, Revert All") << kind << "clean" << "revert" << "old" << saved << 0;
            QTest::newRow(k + " dirty, Revert All") << kind << "dirty" << "revert" << "old" << saved << 0;
            QTest::newRow(k + " deleted, Revert All") << kind << "deleted" << "revert" << "old" << saved << 0;
            // New and dirty.
            QTest::newRow(k + " new, failing") << kind << "new" << "fail" << "none" << added + "*" << 2;
            QTest::newRow(k + " dirty, failing") << kind << "dirty" << "fail" << "old" << saved + "*" << 1;
            QTest::newRow(k + " deleted, failing") << kind << "deleted" << "fail" << "none" << "" << 1;
        }
    }
    void pendingChangesSettle()
    {
        QFETCH(QString, kind);
        QFETCH(QString, state);
        QFETCH(QString, action);
        QFETCH(QString, file);
        QFETCH(QString, row);
        QFETCH(int, pendingAfter);
        ManagerWorld w;
        const Item item = prepare(w, kind, state);
        const QString path = w.world.root() + "/" + item.file;
        const QByteArray before = TestSupport::readFile(path);
        QCOMPARE(w.button("Save All")->isEnabled(), state != "clean");

        bool settled = true;
        if (action == "revert") {
            QCOMPARE(answeringDialogs([&] { QTest::mouseClick(w.button("Revert All"), Qt::LeftButton); }, accept),
                     state == "clean" ? 0 : 1);
        } else {
            if (action == "fail")
                blockWrites(w, item, state);
            settled = w.window->onSaveAll();
            if (action == "fail")
                unblockWrites(w, item, state);
        }
        QCOMPARE(settled, action != "fail");
        QCOMPARE(w.hooks.alerts.size(), action == "fail" ? 1 : 0);
        if (action == "fail") {
            QVERIFY(w.hooks.alerts[0].text.contains("<b>" + item.shown.toHtmlEscaped() + "</b>"));
            QVERIFY(w.hooks.alerts[0].text.contains(item.file.section('/', -1)));
        }

        const QFileInfo info(path);
        if (file == "none")
            QVERIFY(!info.isFile());
        else if (file == "old")
            QCOMPARE(TestSupport::readFile(path), before);
        else if (file == "changed")
            QVERIFY(info.isFile() && TestSupport::readFile(path) != before);
        else
            QVERIFY(info.isFile());
        const QStringList rows = shownNames(w, kind).remove('[').remove(']').split(", ");
        if (row.isEmpty())
            QVERIFY(!rows.contains(item.shown) && !rows.contains(item.shown + "*"));
        else
            QVERIFY2(shownNames(w, kind).contains(row), qPrintable(shownNames(w, kind)));
        QCOMPARE(pending(), pendingAfter);
        QCOMPARE(w.button("Save All")->isEnabled(), pendingAfter > 0);
        QCOMPARE(w.button("Revert All")->isEnabled(), pendingAfter > 0);

        if (action == "fail") {
            // Tried again once the way is clear; a failed new item is still new and goes with Revert All.
            if (state == "new") {
                QCOMPARE(answeringDialogs([&] { QTest::mouseClick(w.button("Revert All"), Qt::LeftButton); }, accept),
                         1);
                QVERIFY(!shownNames(w, kind).contains(item.shown));
            } else {
                QDir(path).removeRecursively();
                QVERIFY(w.window->onSaveAll());
            }
            QCOMPARE(pending(), 0);
        }
        // What was saved is what a reload gives.
        const QString shownBefore = shownNames(w, kind).remove('[').remove(']');
        w.reload();
        QCOMPARE(shownNames(w, kind), shownBefore);
    }

    void deletePromptsNameTheItemAndCanBeSilenced()
    {
        ManagerWorld w;
        QVERIFY(TestSupport::writeFile(w.monstersFolder() + "/broken.rvhn", "\x01\x02 nothing to read"));
        w.reload();
        QStringList asked;
        const auto cancel = [&](QDialog* dialog) {
            asked.append(dialog->windowTitle() + "|" + textOf(dialog));
            dialog->findChild<QCheckBox*>()->setChecked(true);
            dialog->reject();
        };
        // Cancelled with the box ticked: nothing changes now, nothing is asked next time.
        w.click("Marsh Raider");
        QCOMPARE(answeringDialogs([&] { QTest::mouseClick(w.button("Delete"), Qt::LeftButton); }, cancel), 1);
        QVERIFY(asked[0].startsWith("Delete Marsh Raider|"));
        QVERIFY(asked[0].contains("<b>Marsh Raider</b>") && asked[0].contains("'marsh-raider.rvhn'"));
        QCOMPARE(pending(), 0);
        QCOMPARE(answeringDialogs([&] { QTest::mouseClick(w.button("Delete"), Qt::LeftButton); }, cancel), 0);
        QVERIFY(!w.shownTemplates().contains("Marsh Raider"));
        // Its monsters leave every encounter, which become dirty.
        QVERIFY2(w.shownEncounters().startsWith("Bridge Ambush*(Thornback Archer{A, B})"),
                 qPrintable(w.shownEncounters()));

        // The encounter key is a key of its own; OK with the box ticked silences it too.
        w.clickEncounterRow({"Hag's Hollow"});
        // A name that reads as markup is shown as typed.
        QTest::keyClicks(w.fieldIn("Selected Encounter", 0), " <i>&");
        const auto confirm = [&](QDialog* dialog) {
            asked.append(dialog->windowTitle() + "|" + textOf(dialog));
            dialog->findChild<QCheckBox*>()->setChecked(true);
            dialog->accept();
        };
        QCOMPARE(answeringDialogs([&] { QTest::mouseClick(w.button("Delete Encounter"), Qt::LeftButton); }, confirm),
                 1);
        QVERIFY2(asked.last().startsWith("Delete Hag's Hollow <i>&|"), qPrintable(asked.last()));
        QVERIFY(asked.last().contains("<b>Hag's Hollow &lt;i&gt;&amp;</b>"));
        w.clickEncounterRow({"Goblin Warren"});
        QCOMPARE(answeringDialogs([&] { QTest::mouseClick(w.button("Delete Encounter"), Qt::LeftButton); }, confirm),
                 0);
        QCOMPARE(QSettings().value("characterWindow/deleteMonster", true).toBool(), true);

        // A broken template goes unasked.
        QSettings().remove("managerWindow/deleteMonster");
        w.click(w.shownTemplates().contains("broken.rvhn") ? "broken.rvhn" : "Invalid Stat Block");
        QCOMPARE(answeringDialogs([&] { QTest::mouseClick(w.button("Delete"), Qt::LeftButton); }, cancel), 0);
        QCOMPARE(Global::monsters->getCounts()->deletedCount, 2);

        // Revert All brings everything back, the encounters read again from their files.
        QCOMPARE(answeringDialogs([&] { QTest::mouseClick(w.button("Revert All"), Qt::LeftButton); }, accept), 1);
        QVERIFY(w.shownTemplates().contains("Marsh Raider"));
        QVERIFY2(w.shownEncounters().remove('[').remove(']').startsWith("Bridge Ambush(Marsh Raider{1, 2}, Thornback Archer{A, B}), Goblin"),
                 qPrintable(w.shownEncounters()));
        QVERIFY(w.shownEncounters().contains("Hag's Hollow("));
        QCOMPARE(pending(), 0);
    }

    void namesBecomeFileNamesInsideTheLibraryFolder_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("parent") << "../x";
        QTest::newRow("slash") << "/";
        QTest::newRow("dots") << "..";
        QTest::newRow("hidden") << ".hidden";
        QTest::newRow("template") << "Template Golem";
        QTest::newRow("long") << QString(300, 'w');
        QTest::newRow("non-Latin") << "Болотная засада 沼地";
    }
    void namesBecomeFileNamesInsideTheLibraryFolder()
    {
        QFETCH(QString, name);
        ManagerWorld w;
        QTest::mouseClick(w.button("New Encounter"), Qt::LeftButton);
        QLineEdit* edit = w.fieldIn("Selected Encounter", 0);
        edit->setFocus();
        edit->selectAll();
        type(edit, name);
        QTest::mouseClick(w.button("New"), Qt::LeftButton);
        QPlainTextEdit* pane = w.statBlockPane();
        QTextCursor line = pane->textCursor();
        line.setPosition(0);
        line.movePosition(QTextCursor::EndOfLine, QTextCursor::KeepAnchor);
        pane->setTextCursor(line);
        pane->setFocus();
        type(pane, name);
        // The history's log comes with the first save of a creature.
        const auto entries = [&] {
            QStringList found = QDir(w.world.root()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
            found.removeOne("history.log");
            return found;
        };
        const QStringList before = entries();
        QVERIFY(w.window->onSaveAll());
        QCOMPARE(entries(), before);
        QCOMPARE(QDir(w.encountersFolder()).count(), uint(2 + 4));
        QCOMPARE(QDir(w.monstersFolder()).count(), uint(2 + 13));
        QString encounters = w.shownEncounters();
        QString templates = w.shownTemplates();
        w.reload();
        QCOMPARE(w.shownEncounters(), encounters.remove('[').remove(']'));
        // A name too long for a stat block leaves a placeholder, named after its file once read back.
        if (name.size() < 100)
            QCOMPARE(w.shownTemplates(), templates.remove('[').remove(']'));
        else
            QCOMPARE(w.shownTemplates().count(", "), templates.count(", "));
    }

    void theUnsavedWorkCheckCountsDeletionsAndFailures()
    {
        ManagerWorld w;
        QScopedValueRollback<ManagerWindow*> program(Global::managerWindow, w.window.get());
        AnsweringHooks hooks;
        QSettings().setValue("managerWindow/deleteEncounter", false);
        QVERIFY(Global::allChangesSaved("Quit anyway?", "Quit"));
        QCOMPARE(hooks.questions.size(), 0);

        // A deletion alone is unsaved work; saved, the file goes.
        w.clickEncounterRow({"Goblin Warren"});
        QTest::mouseClick(w.button("Delete Encounter"), Qt::LeftButton);
        QVERIFY(Global::allChangesSaved("Quit anyway?", "Quit"));
        QCOMPARE(hooks.questions.size(), 1);
        QVERIFY(hooks.questions[0].contains("<b>Goblin Warren</b>"));
        QVERIFY(!QFile::exists(w.encountersFolder() + "/goblin-warren.txt"));

        // A failing save keeps the caller from going on.
        w.clickEncounterRow({"Hag's Hollow", "Ashen Hound", "2"});
        QTest::mouseClick(w.button("Remove Monster"), Qt::LeftButton);
        const QByteArray old = TestSupport::readFile(w.encountersFolder() + "/hags-hollow.txt");
        QVERIFY(QDir().rename(w.encountersFolder(), w.encountersFolder() + ".aside"));
        QVERIFY(TestSupport::writeFile(w.encountersFolder(), "in the way"));
        QVERIFY(!Global::allChangesSaved("Quit anyway?", "Quit"));
        QCOMPARE(hooks.alerts.size(), 1);
        QVERIFY(hooks.alerts[0].contains("<b>Hag&#x27;s Hollow</b>") || hooks.alerts[0].contains("<b>Hag's Hollow</b>"));
        QVERIFY(QFile::remove(w.encountersFolder()));
        QVERIFY(QDir().rename(w.encountersFolder() + ".aside", w.encountersFolder()));
        QCOMPARE(TestSupport::readFile(w.encountersFolder() + "/hags-hollow.txt"), old);
        QVERIFY(w.shownEncounters().contains("Hag's Hollow*"));
    }

    void anEncounterBuiltHereGoesIntoTheFightThroughTheLog()
    {
        ManagerWorld w;
        PickingHooks hooks;
        QTest::mouseClick(w.button("New Encounter"), Qt::LeftButton);
        QTest::keyClicks(w.fieldIn("Selected Encounter", 0), "Fen Crossing");
        w.click("Marsh Raider");
        QTest::mouseClick(w.button("Add"), Qt::LeftButton);
        QTest::mouseClick(w.button("Add"), Qt::LeftButton);
        QTest::keyClicks(w.fieldIn("Selected Monster", 1), "Old Scar");
        w.click("Thornback Archer");
        QTest::mouseClick(w.button("Add"), Qt::LeftButton);
        w.window->findChild<QCheckBox*>()->click();
        QVERIFY(w.window->onSaveAll());
        w.reload();

        const int before = Global::history->getEventCount();
        Global::encounters->selectEncounter();
        QCOMPARE(historyTexts(before), QStringList({"Set Encounter: Fen Crossing",
                                                    "Marsh Raider (2): Show Alias: Old Scar",
                                                    "Hide Thornback Archer (1)"}));
        const QString fight = w.world.describe();
        QCOMPARE(Global::encounter->getCreatureList().getCount(), 3);

        // The window goes before the libraries it shows are made anew.
        w.tester.reset();
        w.encounterTester.reset();
        w.window.reset();
        QVERIFY(w.world.restart());
        QCOMPARE(w.world.describe(), fight);
        for (int step = 0; step < 3; step++)
            Global::history->back();
        QCOMPARE(Global::encounter->getCreatureList().getCount(), 0);
    }

    // The log names the fight's monsters by their template: a rename or a
    // delete of it is refused, and says why, while a change of case alone,
    // which the log still finds, and a template out of the fight are
    // renamed or deleted. Saved, the fight and its encounter file come back
    // whole after a restart.
    void aTemplateInTheFightKeepsItsName_data()
    {
        QTest::addColumn<QString>("shown");
        // Empty for Delete.
        QTest::addColumn<QString>("newName");
        QTest::addColumn<bool>("changed");
        QTest::newRow("in the fight") << "Marsh Raider" << "Bog Raider" << false;
        QTest::newRow("in the fight, case alone") << "Marsh Raider" << "MARSH RAIDER" << true;
        QTest::newRow("out of the fight") << "Ashen Hound" << "Cinder Hound" << true;
        QTest::newRow("in the fight, deleted") << "Marsh Raider" << "" << false;
        QTest::newRow("out of the fight, deleted") << "Ashen Hound" << "" << true;
    }

    void aTemplateInTheFightKeepsItsName()
    {
        QFETCH(QString, shown);
        QFETCH(QString, newName);
        QFETCH(bool, changed);
        ManagerWorld w;
        PickingHooks hooks;
        hooks.encounter = "Bridge Ambush";
        Global::encounters->selectEncounter();
        ObjectStream* stream = Global::history->getStream(false);
        QVERIFY(Global::history->apply(new StartEncounterEvent({}, {{"Marsh Raider", 17, 1}}, stream), false));
        const QString fight = w.world.describe().toLower();
        const QByteArray encounterFile = TestSupport::readFile(w.encountersFolder() + "/bridge-ambush.txt");

        w.click(shown);
        if (newName.isEmpty()) {
            QSettings().setValue("managerWindow/deleteMonster", false);
            QTest::mouseClick(w.button("Delete"), Qt::LeftButton);
        } else {
            QPlainTextEdit* pane = w.statBlockPane();
            QTextCursor cursor = pane->textCursor();
            cursor.setPosition(0);
            cursor.setPosition(int(shown.size()), QTextCursor::KeepAnchor);
            pane->setTextCursor(cursor);
            pane->setFocus();
            type(pane, newName);
        }
        QCOMPARE(hooks.alerts.size(), changed ? 0 : 1);
        if (!changed) {
            QCOMPARE(hooks.alerts[0].title, QString("Monster in the History Log"));
            QVERIFY(hooks.alerts[0].text.contains("<b>Marsh Raider</b>"));
            QCOMPARE(pending(), 0);
        }
        if (newName.isEmpty()) {
            QCOMPARE(Global::monsters->findTemplate(shown)->isDeleted(), changed);
        } else {
            QCOMPARE(Global::monsters->findTemplate(newName) != nullptr, changed);
            QCOMPARE(w.statBlockPane()->toPlainText().startsWith(newName), changed);
        }
        QVERIFY(w.window->onSaveAll());

        w.tester.reset();
        w.encounterTester.reset();
        w.window.reset();
        // The folder holds no characters; loaded as it is.
        hooks.badRootAnswer = 1;
        QVERIFY(Global::setRootPath(w.world.root(), ""));
        QCOMPARE(w.world.describe().toLower(), fight);
        for (int i = 0; i < Global::monsters->getTemplateCount(); i++)
            QVERIFY(!Global::monsters->getTemplate(i)->isMissing());
        if (!changed)
            QCOMPARE(TestSupport::readFile(w.encountersFolder() + "/bridge-ambush.txt"), encounterFile);
    }

    // A template whose file did not read stands in for the fight's monsters.
    // Edited, the unsaved-work check names it and leaves it and its file as
    // they are, saves the rest and lets the caller go on.
    void theUnsavedWorkCheckLeavesAnEditedStandInAsItIs()
    {
        ManagerWorld w;
        {
            PickingHooks picking;
            picking.encounter = "Bridge Ambush";
            Global::encounters->selectEncounter();
        }
        const QString path = w.monstersFolder() + "/marsh-raider.rvhn";
        QVERIFY(QFile::remove(path) && QFile::link("/proc/self/mem", path));
        w.tester.reset();
        w.encounterTester.reset();
        w.window.reset();
        FolderHooks hooks;
        QVERIFY(Global::setRootPath(w.world.root(), ""));
        QVERIFY2(hooks.alerts.join("").startsWith("Files Not Read"), qPrintable(hooks.alerts.join("\n")));
        w.window = std::make_unique<ManagerWindow>();
        QScopedValueRollback<ManagerWindow*> program(Global::managerWindow, w.window.get());
        w.window->show();
        QCOMPARE(pending(), 0);

        QSettings().setValue("managerWindow/deleteEncounter", false);
        w.clickEncounterRow({"Goblin Warren"});
        QTest::mouseClick(w.button("Delete Encounter"), Qt::LeftButton);
        w.click("Marsh Raider");
        QPlainTextEdit* pane = w.statBlockPane();
        pane->moveCursor(QTextCursor::End);
        pane->setFocus();
        QTest::keyClicks(pane, "Description Smells of the fen.");
        QCOMPARE(pending(), 2);
        const QStringList monsterFiles = QDir(w.monstersFolder()).entryList(QDir::AllEntries | QDir::System);
        QVERIFY(Global::allChangesSaved("Quit anyway?", "Quit"));
        QCOMPARE(hooks.questions.size(), 1);
        QVERIFY2(hooks.questions[0].contains("<b>Goblin Warren</b> was not saved.<p><b>Marsh Raider</b> only stands in"),
                 qPrintable(hooks.questions[0]));
        QCOMPARE(hooks.alerts.size(), 1);
        QVERIFY(!QFile::exists(w.encountersFolder() + "/goblin-warren.txt"));
        QCOMPARE(QFileInfo(path).symLinkTarget(), "/proc/self/mem");
        QCOMPARE(QDir(w.monstersFolder()).entryList(QDir::AllEntries | QDir::System), monsterFiles);
        QCOMPARE(pending(), 1);
    }

    void aDeletedEncounterWhoseFileIsGoneIsRemoved()
    {
        ManagerWorld w;
        QSettings().setValue("managerWindow/deleteEncounter", false);
        w.clickEncounterRow({"Bridge Ambush"});
        QTest::mouseClick(w.button("Delete Encounter"), Qt::LeftButton);
        QVERIFY(QFile::remove(w.encountersFolder() + "/bridge-ambush.txt"));
        QVERIFY(w.window->onSaveAll());
        QCOMPARE(pending(), 0);
        QVERIFY(!Global::encounters->findEncounter("Bridge Ambush"));
    }
};

RAVELHORN_TEST_MAIN(QApplication, TestManagerSaving)
#include "uitest_managersaving.moc"
