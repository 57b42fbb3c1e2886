// The character creator's pending changes: Delete, Save All and Revert All,
// a write that fails, and the unsaved-work check with a power edit waiting.
#include <QSettings>
#include <QSpinBox>

#include "editors/creatortesting.h"
#include "encounter/encounter.h"
#include "encounter/encounterevents.h"
#include "encounter/turnflow.h"
#include "editors/editorstesting.h"
#include "mainwindow/mainwindowtesting.h"
#include "powerdialog/powerwidget.h"

namespace {

void accept(QDialog* dialog)
{
    dialog->accept();
}

// The program's hooks, with the party picked ahead and no initiative asked.
class PartyHooks : public AnsweringHooks
{
public:
    int pickCharacters(QList<Creature*>& picked, bool& add) override
    {
        picked = party;
        add = false;
        return 1;
    }

    QList<Creature*> party;
};

class CreatorWorld
{
public:
    CreatorWorld()
    {
        QVERIFY(main.loadFolder());
        QSettings().setValue("characterWindow/deleteMonster", false);
        c.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(c.window));
    }
    QString path(const QString& file) const { return main.root() + "/Characters/" + file; }
    int pending() const
    {
        const CreatureCounts* counts = Global::characters->getCounts();
        return counts->newCount + counts->dirtyCount + counts->deletedCount;
    }
    // The hero's first power programmed in the powers tab, and one of its figures raised.
    void editPower(const QString& hero)
    {
        QVERIFY(c.select(hero));
        Creature* character = c.selected();
        c.window->selectProgramPower(character, character->getPowers().getPower(0), Power::Hit, 0, 0, 0);
        auto* editor = c.tabs()->widget(2)->findChild<PowerWidget*>();
        QVERIFY(editor);
        editor->setStepType(Power::Effect);
        QSpinBox* field = editor->getTabWidget()->currentWidget()->findChild<QSpinBox*>();
        QVERIFY(field);
        QTest::keyClick(field, Qt::Key_Up);
    }

    // The pane's text replaced as typed, a line at a time.
    void writeStatBlock(const QStringList& lines)
    {
        QPlainTextEdit* pane = c.pane();
        if (pane->isReadOnly())
            c.writeable()->click();
        pane->setFocus();
        pane->selectAll();
        QTest::keyClick(pane, Qt::Key_Delete);
        for (const QString& line : lines) {
            QTest::keyClicks(pane, line);
            QTest::keyClick(pane, Qt::Key_Return);
        }
    }
    // Select Party with the characters picked.
    bool selectParty(const QStringList& names)
    {
        hooks.party.clear();
        for (const QString& name : names)
            hooks.party.append(Global::characters->findCharacter(name));
        Global::characters->pickCharacters();
        return Global::encounter->getCreatureList().getNameList() == names.join(", ");
    }
    // The fight's heroes, their hit points and surges, and their initiative while it runs.
    QString party() const
    {
        QStringList heroes;
        for (Creature* hero : Global::encounter->getCreatureList().getCreatureList())
            heroes.append(QString("%1 %2/%3 HS %4/%5")
                              .arg(hero->getName())
                              .arg(hero->getCurrHitPoints())
                              .arg(hero->getMaxHitPoints())
                              .arg(hero->getCurrHealingSurges())
                              .arg(hero->getMaxHealingSurges())
                          + (Global::encounter->isRunning() ? QString(" init %1").arg(hero->getInitRoll()) : ""));
        return heroes.join(", ");
    }

    PartyHooks hooks;
    WindowUnderTest main;
    Creator c{Global::characterWindow};
};

}

class TestCharacterSaving : public QObject
{
    Q_OBJECT

private slots:
    void init() { QSettings().clear(); }

    void pendingChangesSettle_data()
    {
        QTest::addColumn<QString>("state");
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("row");
        QTest::addColumn<int>("pendingAfter");
        QTest::newRow("new, Save All") << "new" << "save" << "written" << "New Character" << 0;
        QTest::newRow("clean, Save All") << "clean" << "save" << "old" << "Idrel Vane" << 0;
        QTest::newRow("dirty, Save All") << "dirty" << "save" << "changed" << "Idrel Vane" << 0;
        QTest::newRow("deleted, Save All") << "deleted" << "save" << "none" << "" << 0;
        QTest::newRow("new, Revert All") << "new" << "revert" << "none" << "" << 0;
        QTest::newRow("dirty, Revert All") << "dirty" << "revert" << "old" << "Idrel Vane" << 0;
        QTest::newRow("deleted, Revert All") << "deleted" << "revert" << "old" << "Idrel Vane" << 0;
        QTest::newRow("new, failing") << "new" << "fail" << "none" << "New Character*" << 2;
        QTest::newRow("dirty, failing") << "dirty" << "fail" << "old" << "Idrel Vane*" << 1;
        QTest::newRow("deleted, failing") << "deleted" << "fail" << "none" << "" << 1;
        // Its name is taken by a file that did not read: saved beside it, the character would show twice.
        QTest::newRow("new, beside an unreadable file") << "new" << "unreadable" << "old" << "New Character*" << 2;
        // Written as text, typed line by line: it stands full, stays saved and joins the party so.
        QTest::newRow("written, Save All, Select Party") << "written" << "party" << "written" << "Tamsin Reed" << 0;
        QTest::newRow("written, Revert All") << "written" << "revert" << "none" << "" << 0;
    }
    void pendingChangesSettle()
    {
        QFETCH(QString, state);
        QFETCH(QString, action);
        QFETCH(QString, file);
        QFETCH(QString, row);
        QFETCH(int, pendingAfter);
        CreatorWorld w;
        const QString path = w.path(state == "new"       ? "new-character.rvhn"
                                    : state == "written" ? "tamsin-reed.rvhn"
                                                         : "idrel-vane.rvhn");
        const bool failing = action == "fail" || action == "unreadable";
        if (action == "unreadable")
            QVERIFY(TestSupport::writeFile(path, ""));
        const QByteArray before = TestSupport::readFile(path);
        if (state == "new") {
            w.c.button("New")->click();
        } else if (state == "written") {
            w.c.button("New")->click();
            w.writeStatBlock({"name=Tamsin Reed", "class=Ranger", "hit-points=33", "healing-surges=7",
                              "surge-value=8"});
            QCOMPARE(w.c.box("HP")->value(), 33);
            QCOMPARE(w.c.box("HS")->value(), 7);
        } else {
            QVERIFY(w.c.select("Idrel Vane"));
            if (state == "dirty")
                Creator::type(w.c.box("Will"), 23);
            else if (state == "deleted")
                w.c.button("Delete")->click();
        }
        // A folder where the file to remove is, a file where the folder of the one to write is.
        const QString folder = w.main.root() + "/Characters";
        if (action == "fail" && state == "deleted") {
            QVERIFY(QFile::remove(path) && QDir().mkpath(path + "/in-the-way"));
        } else if (action == "fail") {
            QVERIFY(QDir().rename(folder, folder + ".aside"));
            QVERIFY(TestSupport::writeFile(folder, "in the way"));
        }
        bool settled = true;
        if (action == "revert")
            QCOMPARE(answeringDialogs([&] { w.c.button("Revert All")->click(); }, accept), 1);
        else
            settled = w.c.window->onSaveAll();
        if (action == "party")
            QVERIFY(w.selectParty({"Tamsin Reed"}));
        if (action == "fail" && state != "deleted") {
            QVERIFY(QFile::remove(folder));
            QVERIFY(QDir().rename(folder + ".aside", folder));
        }
        QCOMPARE(settled, !failing);
        QCOMPARE(w.hooks.alerts.size(), failing ? 1 : 0);
        if (action == "unreadable")
            QVERIFY(w.hooks.alerts[0].contains("'new-character.rvhn' could not be read (The file is empty)"));
        QVERIFY(!QFile::exists(w.path("new-character_1.rvhn")));
        if (file == "none")
            QVERIFY(!QFileInfo(path).isFile());
        else if (file == "old")
            QCOMPARE(TestSupport::readFile(path), before);
        else if (file == "changed")
            QVERIFY(TestSupport::readFile(path) != before);
        else
            QVERIFY(QFileInfo(path).isFile());
        const QString name = state == "new" ? "New Character" : state == "written" ? "Tamsin Reed" : "Idrel Vane";
        if (row.isEmpty())
            QVERIFY(!w.c.rows().contains(name) && !w.c.rows().contains(name + "*"));
        else
            QVERIFY2(w.c.rows().contains(row), qPrintable(w.c.rows().join(", ")));
        QCOMPARE(w.pending(), pendingAfter);
        QCOMPARE(w.c.button("Save All")->isEnabled(), pendingAfter > 0);
        // What was saved is what a reload gives.
        if (!failing) {
            const QStringList shown = w.c.rows();
            const QString party = w.party();
            QVERIFY(w.main.loadFolder());
            QCOMPARE(w.c.rows(), shown);
            QCOMPARE(w.party(), party);
        }
        if (action == "party")
            QCOMPARE(w.party(), "Tamsin Reed 33/33 HS 7/7");
    }

    // A hero whose file did not read stands in with the log's figures, which
    // are no unsaved work. Edited, Revert All leaves the fight as it is and
    // one Next Turn records one turn; quitting saves the rest and leaves the
    // stand-in and its file as they are, and a restart gives the fight back.
    void aStandInForAnUnreadableFileLeavesTheFightAndTheQuitAlone()
    {
        CreatorWorld w;
        QVERIFY(w.selectParty({"Idrel Vane", "Wren Talloway"}));
        QVERIFY(Global::history->apply(new StartEncounterEvent({{"Idrel Vane", 15, 1}, {"Wren Talloway", 12, 1}}, {},
                                                               Global::history->getStream(false)),
                                       false));
        const QString path = w.path("wren-talloway.rvhn");
        QVERIFY(QFile::remove(path) && QFile::link("/proc/self/mem", path));
        QVERIFY(w.main.loadFolder());
        QCOMPARE(w.hooks.alerts.size(), 1);
        QVERIFY(w.hooks.alerts[0].startsWith("Files Not Read"));
        QVERIFY(Global::characters->findCharacter("Wren Talloway")->isMissing());
        const QString fight = w.party();
        QCOMPARE(fight, "Idrel Vane 38/38 HS 9/9 init 15, Wren Talloway 30/30 HS 7/7 init 12");
        QCOMPARE(w.pending(), 0);

        QVERIFY(w.c.select("Wren Talloway"));
        Creator::type(w.c.box("Will"), 23);
        QCOMPARE(w.pending(), 1);
        QCOMPARE(answeringDialogs([&] { w.c.button("Revert All")->click(); }, accept), 1);
        QCOMPARE(w.party(), fight);
        QCOMPARE(w.pending(), 0);
        QVERIFY(Global::characters->findCharacter("Wren Talloway")->isMissing());
        const int events = Global::history->getEventCount();
        QVERIFY(TurnFlow().nextTurn());
        QCOMPARE(Global::encounter->getCurrentCreature()->getName(), "Wren Talloway");
        QCOMPARE(Global::history->getEventCount(), events + 1);

        Creator::type(w.c.box("Will"), 23);
        QVERIFY(w.c.select("Idrel Vane"));
        Creator::type(w.c.box("Will"), 19);
        QVERIFY(w.main.window->close());
        QCOMPARE(w.hooks.questions.size(), 1);
        QVERIFY2(w.hooks.questions[0].contains("<b>Idrel Vane</b> was not saved.<p><b>Wren Talloway</b> only stands in"),
                 qPrintable(w.hooks.questions[0]));
        QCOMPARE(w.hooks.alerts.size(), 1);
        QVERIFY(TestSupport::readFile(w.path("idrel-vane.rvhn")).contains("will=19"));
        QCOMPARE(QFileInfo(path).symLinkTarget(), "/proc/self/mem");
        w.main.destroy();
        w.main.make();
        QVERIFY(w.main.loadFolder());
        QCOMPARE(w.party(), fight);
        QCOMPARE(Global::encounter->getCurrentCreature()->getName(), "Wren Talloway");
    }

    void deletingAlwaysAsksUnderItsOwnKey()
    {
        CreatorWorld w;
        QSettings().remove("characterWindow/deleteMonster");
        QSettings().setValue("managerWindow/deleteMonster", false);
        QVERIFY(w.c.select("Wren Talloway"));
        QString asked;
        const auto cancel = [&](QDialog* dialog) {
            asked = dialog->windowTitle();
            dialog->reject();
        };
        QCOMPARE(answeringDialogs([&] { w.c.button("Delete")->click(); }, cancel), 1);
        QCOMPARE(asked, "Delete Wren Talloway");
        QCOMPARE(w.pending(), 0);
        // Deleting a new character asks nothing and leaves nothing pending.
        w.c.button("New")->click();
        QCOMPARE(answeringDialogs([&] { w.c.button("Delete")->click(); }, cancel), 0);
        QCOMPARE(w.pending(), 0);
    }

    void theUnsavedWorkCheckKeepsAPowerEditAndCountsDeletions()
    {
        CreatorWorld w;
        w.editPower("Idrel Vane");
        const QByteArray before = TestSupport::readFile(w.path("idrel-vane.rvhn"));
        // The edit waits for a pause; quitting at once keeps it.
        QVERIFY(Global::allChangesSaved("Quit anyway?", "Quit"));
        QCOMPARE(w.hooks.questions.size(), 1);
        QVERIFY(w.hooks.questions[0].contains("<b>Idrel Vane</b>"));
        QVERIFY(TestSupport::readFile(w.path("idrel-vane.rvhn")) != before);

        QVERIFY(w.c.select("Kestrel Dunmore"));
        w.c.button("Delete")->click();
        QVERIFY(Global::allChangesSaved("Quit anyway?", "Quit"));
        QCOMPARE(w.hooks.questions.size(), 2);
        QVERIFY(!QFile::exists(w.path("kestrel-dunmore.rvhn")));
    }

    void revertAllUnderAnOpenPowerEditor()
    {
        CreatorWorld w;
        const QByteArray before = TestSupport::readFile(w.path("idrel-vane.rvhn"));
        w.editPower("Idrel Vane");
        QTRY_VERIFY(w.c.selected()->isDirty());
        // One more edit, still waiting for its pause when Revert All comes.
        w.editPower("Idrel Vane");
        QCOMPARE(answeringDialogs([&] { w.c.button("Revert All")->click(); }, accept), 1);
        QCoreApplication::processEvents();
        QCOMPARE(w.pending(), 0);
        QVERIFY(!w.c.selected()->isDirty());
        QVERIFY(w.c.window->onSaveAll());
        QCOMPARE(TestSupport::readFile(w.path("idrel-vane.rvhn")), before);
        // The editor is built anew on the reverted powers.
        w.editPower("Idrel Vane");
        QTRY_VERIFY(w.c.selected()->isDirty());
    }
};

RAVELHORN_TEST_MAIN(QApplication, TestCharacterSaving)
#include "uitest_charactersaving.moc"
