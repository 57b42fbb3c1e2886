#include <QGuiApplication>
#include <QTemporaryDir>

#include "powers/actions.h"
#include "foundation/global.h"
#include "support/testsupport.h"

namespace {

CreaturePower makeAction(const QString& name, int when)
{
    CreaturePower action;
    action.status = CreaturePower::UserPower;
    action.name = name;
    action.current.when = when;
    return action;
}

QStringList namesOf(const QList<CreaturePower*>& list)
{
    QStringList names;
    for (const CreaturePower* power : list)
        names.append(power->name);
    return names;
}

}

class TestActions : public QObject
{
    Q_OBJECT

private:
    QString filePath() const { return dir.filePath("actions.txt"); }

    QTemporaryDir dir;

private slots:
    void init() { QFile::remove(filePath()); }

    void aNewDataFolderBringsItsActions()
    {
        RecordingUiHooks hooks;
        // Folders without libraries are taken empty.
        hooks.badRootAnswer = 1;
        Actions written;
        written.loadActions(dir.path());
        CreaturePower dash = makeAction("Dash", Power::Move);
        written.updateAction("Dash", &dash);

        Global::actions = new Actions;
        QTemporaryDir other;
        QVERIFY(Global::setRootPath(other.path(), ""));
        QVERIFY(Global::actions->getActionList(false).isEmpty());
        QVERIFY(Global::setRootPath(dir.path(), ""));
        QCOMPARE(namesOf(Global::actions->getActionList(false)), QStringList{"Dash"});
        delete Global::actions;
        Global::actions = nullptr;
        Global::nativeRootPath.clear();
    }

    void withoutAFileThereAreNone()
    {
        Actions actions;
        actions.loadActions(dir.path());
        QVERIFY(actions.getActionList(false).isEmpty());
        QVERIFY(!actions.getActionByName("Dash"));
    }

    void actionsAreWrittenAndReadBack()
    {
        RecordingUiHooks hooks;
        Actions actions;
        actions.loadActions(dir.path());
        CreaturePower dash = makeAction("Dash", Power::Move);
        dash.current.description = QStringList{"Move your speed + 2."};
        actions.updateAction("Dash", &dash);
        CreaturePower aid = makeAction("Aid Another", Power::Standard);
        aid.program.addStep(PowerStep::Bonus, Power::Effect);
        actions.updateAction("Aid Another", &aid);
        const CreaturePower defense = makeAction("Total Defense", Power::Standard);
        actions.updateAction("Total Defense", &defense);
        QVERIFY(hooks.alerts.isEmpty());

        const QByteArray text = TestSupport::readFile(filePath());
        QCOMPARE(text, QByteArray("action=Aid Another\r\nuser=yes\r\nwhen=5\r\neffect-step=bonus\r\n"
                                  "action=Total Defense\r\nuser=yes\r\nwhen=5\r\n"
                                  "action=Dash\r\nuser=yes\r\nwhen=6\r\ndescription=Move your speed + 2.\r\n"));

        Actions loaded;
        loaded.loadActions(dir.path());
        QCOMPARE(namesOf(loaded.getActionList(false)), (QStringList{"Aid Another", "Total Defense", "Dash"}));
        QCOMPARE(namesOf(loaded.getActionList(true)), (QStringList{"Aid Another", "Dash", "Total Defense"}));
        const CreaturePower* read = loaded.getActionByName("Dash");
        QVERIFY(read);
        QCOMPARE(read->status, int(CreaturePower::UserPower));
        QCOMPARE(read->current.description, dash.current.description);
        QCOMPARE(loaded.getActionByName("Aid Another")->program.getStepCount(Power::Effect), 1);
        QVERIFY(!loaded.getActionByName("dash"));

        Actions taken;
        taken.newActions(&loaded);
        QCOMPARE(namesOf(taken.getActionList(false)), namesOf(loaded.getActionList(false)));
        taken.deleteAction("Total Defense");
        QCOMPARE(TestSupport::readFile(filePath()),
                 QByteArray("action=Aid Another\r\nuser=yes\r\nwhen=5\r\neffect-step=bonus\r\n"
                            "action=Dash\r\nuser=yes\r\nwhen=6\r\ndescription=Move your speed + 2.\r\n"));
        QCOMPARE(loaded.getActionList(false).size(), 3);
    }

    void theFileIsWrittenOnlyWhenTheTextChanged()
    {
        Actions actions;
        actions.loadActions(dir.path());
        CreaturePower dash = makeAction("Dash", Power::Move);
        actions.updateAction("Dash", &dash);
        CreaturePower* held = actions.getActionByName("Dash");
        held->setUsed(true);

        // Marked to tell whether it is written again.
        QVERIFY(TestSupport::writeFile(filePath(), "marker"));
        actions.updateAction("Dash", &dash);
        actions.deleteAction("Sprint");
        QCOMPARE(TestSupport::readFile(filePath()), QByteArray("marker"));

        // Renamed and moved before the others, the same action.
        const CreaturePower aid = makeAction("Aid", Power::Standard);
        actions.updateAction("Aid", &aid);
        dash.name = "Charge";
        dash.current.when = Power::Standard;
        actions.updateAction("Dash", &dash);
        QCOMPARE(actions.getActionByName("Charge"), held);
        QVERIFY(!actions.getActionByName("Dash"));
        QCOMPARE(namesOf(actions.getActionList(false)), (QStringList{"Aid", "Charge"}));
        QCOMPARE(TestSupport::readFile(filePath()),
                 QByteArray("action=Aid\r\nuser=yes\r\nwhen=5\r\naction=Charge\r\nuser=yes\r\nwhen=5\r\n"));
    }

    void otherLinesAreIgnored()
    {
        QVERIFY(TestSupport::writeFile(filePath(), "# a comment\n"
                                                   "power=Not an action\n"
                                                   "when=5\n"
                                                   "action=\n"
                                                   "when=6\n"
                                                   "action=Shove\n"
                                                   "when=5\n"
                                                   "hit-step=nothing\n"
                                                   "amount=3\n"
                                                   "garbage\n"
                                                   "action=Grab\n"
                                                   "cost=x\n"));
        Actions actions;
        actions.loadActions(dir.path());
        QCOMPARE(namesOf(actions.getActionList(false)), (QStringList{"Grab", "Shove"}));
        QCOMPARE(actions.getActionByName("Shove")->current.when, int(Power::Standard));
        QVERIFY(!actions.getActionByName("Shove")->program.hasSteps());
        QCOMPARE(actions.getActionByName("Grab")->status, int(CreaturePower::UserPower));
    }

    void writeFailuresAreReported()
    {
        RecordingUiHooks hooks;
        Actions actions;
        const QString missing = dir.filePath("no such folder");
        actions.loadActions(missing);
        const CreaturePower dash = makeAction("Dash", Power::Move);
        actions.updateAction("Dash", &dash);
        QCOMPARE(hooks.alerts.size(), 1);
        QCOMPARE(hooks.alerts[0].title, QString("Write Actions Failed"));
        QVERIFY(hooks.alerts[0].text.contains("no such folder"));
        // The list keeps the change.
        QVERIFY(actions.getActionByName("Dash"));
        actions.deleteAction("Dash");
        QCOMPARE(hooks.alerts.size(), 2);
        QVERIFY(actions.getActionList(true).isEmpty());
    }
};

RAVELHORN_TEST_MAIN(QGuiApplication, TestActions)
#include "test_actions.moc"
