#include <QLineEdit>
#include <QPlainTextEdit>

#include <memory>

#include "creature/creature.h"
#include "foundation/global.h"
#include "library/monsters.h"
#include "powerdialog/createpowerdialog.h"
#include "powerdialogtesting.h"
#include "powers/actions.h"
#include "support/testsupport.h"
#include "support/testworld.h"
#include "toolkit/progressbar.h"

using namespace PowerDialogTesting;

namespace {

// "type=13 when=5 cost=7 status=2 hit=8/1/7 miss=2/0/3 effect=10/-1/-1 header=Text"
CreaturePower powerFrom(const QString& name, const QString& spec)
{
    CreaturePower power;
    power.name = name;
    for (const QString& pair : spec.split(' ', Qt::SkipEmptyParts)) {
        const QString key = pair.section('=', 0, 0);
        const QString value = pair.section('=', 1);
        const QStringList record = value.split('/');
        if (key == "type")
            power.current.type = value.toInt();
        else if (key == "when")
            power.current.when = value.toInt();
        else if (key == "cost")
            power.current.cost = value.toInt();
        else if (key == "status")
            power.status = value.toInt();
        else if (key == "header")
            power.current.header = value;
        else if (key == "hit" || key == "miss" || key == "effect")
            power.current.applyTo[key == "hit" ? 0 : key == "miss" ? 1 : 2] = {record[0].toInt(), record[1].toInt(),
                record[2].toInt()};
    }
    return power;
}

QString describe(const ApplyToRecord& record)
{
    return QString("%1/%2/%3").arg(record.kind).arg(record.from).arg(record.to);
}

}

class TestCreatePowerDialog : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestWorld> world;
    Creature* goblin = nullptr;

    void addPower(const QString& name, const QString& spec)
    {
        goblin->getPowers().addPower(powerFrom(name, spec), true);
    }

    std::unique_ptr<CreatePowerDialog> edit(const QString& name, Power::StepType type = Power::AnyStep)
    {
        auto dialog = std::make_unique<CreatePowerDialog>(goblin, name, nullptr, type, false, false);
        dialog->show();
        return dialog;
    }

    DisableComboBox* box(CreatePowerDialog* dialog, const QString& name)
    {
        const Power::StepType type = name.startsWith("effect") ? Power::Effect : Power::Hit;
        if (name.endsWith("Kind"))
            return dialog->getApplyToBox(type);
        if (name.endsWith("From"))
            return dialog->getFromCountBox(type);
        if (name.endsWith("To"))
            return dialog->getToCountBox(type);
        return name == "type" ? dialog->getTypeBox() : name == "action" ? dialog->getActionBox()
                                                                        : dialog->getFrequencyBox();
    }

    QString describeBox(CreatePowerDialog* dialog, const QString& name)
    {
        DisableComboBox* b = box(dialog, name);
        return name + (b->isEnabled() ? ": " : " off: ") + entries(b).join(", ");
    }

    QWidget* control(CreatePowerDialog* dialog, const QString& name)
    {
        if (name == "name")
            return dialog->getNameEdit();
        if (name == "header")
            return dialog->getHeaderEdit();
        if (name == "flavor")
            return dialog->getFlavorEdit();
        if (name == "description")
            return dialog->getDescriptionEdit();
        return box(dialog, name);
    }

private slots:
    void init()
    {
        world = std::make_unique<TestWorld>();
        Global::actions = new Actions;
        world->addMonster("Goblin", "1", 20);
        goblin = Global::monsters->findTemplate("Goblin");
        addPower("Claw", "type=4 when=5 cost=1 header=Melee hit=2/1/1");
        addPower("Claw 2", "status=2");
        CreaturePower slide = powerFrom("Slide", "status=2 when=6");
        Global::actions->updateAction(slide.name, &slide);
    }

    void cleanup()
    {
        delete std::exchange(Global::actions, nullptr);
        world.reset();
    }

    void offersEntries_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("expected");
        const QString types = "type: =0, Melee=4, Melee (basic)=3, Ranged=6, Ranged (basic)=5, Area=8, Area (basic)=7, "
                              "Close=10, Close(basic)=9, Aura=11";
        const QString actions = "Standard=5, Move=6, Minor=7, Free=8, Triggered=9, Trait=4";
        const QString costs = "frequency: =0, At-Will=1, Encounter=2, 2/Encounter=3, 3/Encounter=4, 4/Encounter=5, "
                              "Daily=12, Recharge 3=8, Recharge 4=9, Recharge 5=10, Recharge 6=11";
        const QString kinds = "Any Creature=1, Enemies=2, Allies=3, Allies (not Self)=4, Self and Allies=5, Self=6, "
                              "Current Creature=7, None=9";
        QTest::newRow("a secondary power") << "type=13" << "type" << types + ", Secondary=13*";
        QTest::newRow("a melee power") << "type=4" << "type" << QString(types).replace("Melee=4", "Melee=4*");
        QTest::newRow("recharge 2") << "cost=7" << "frequency" << costs + ", Recharge 2=7*";
        QTest::newRow("recharge unknown") << "cost=6" << "frequency" << costs + ", Recharge ?=6*";
        QTest::newRow("no action") << "when=0" << "action" << "action: =0*, " + actions;
        QTest::newRow("a countermeasure") << "when=10" << "action" << "action: " + actions + ", Countermeasure=10*";
        QTest::newRow("unset kind") << "" << "hitKind" << "hitKind: " + QString(kinds).replace("=1,", "=1*,")
            + ", Non-trackable Power=10";
        QTest::newRow("kind 8") << "hit=8/1/1" << "hitKind" << "hitKind: " + QString(kinds).replace("=1,", "=1*,")
            + ", Non-trackable Power=10";
        QTest::newRow("non-trackable") << "hit=10/-1/-1" << "hitKind" << "hitKind: " + kinds
            + ", Non-trackable Power=10*";
        QTest::newRow("no non-trackable effect") << "" << "effectKind" << "effectKind: "
            + QString(kinds).replace("=1,", "=1*,");
        QTest::newRow("nothing stored, hit least") << "" << "hitFrom" << "hitFrom: Zero=0, 1=1*, 2=2, 3=3, 4=4, 5=5";
        QTest::newRow("nothing stored, hit most") << "" << "hitTo" << "hitTo: 1=1, 2=2, 3=3, 4=4, 5=5, Many=1000000*";
        QTest::newRow("nothing stored, effect least") << "" << "effectFrom"
                                                      << "effectFrom: Zero=0*, 1=1, 2=2, 3=3, 4=4, 5=5";
        QTest::newRow("nothing stored, effect most") << "" << "effectTo"
                                                     << "effectTo: 1=1, 2=2, 3=3, 4=4, 5=5, Many=1000000*";
        QTest::newRow("least 3, most 2") << "hit=2/3/2" << "hitTo" << "hitTo: 3=3*, 4=4, 5=5, Many=1000000";
        QTest::newRow("most 7") << "hit=2/1/7" << "hitTo" << "hitTo: 1=1*, 2=2, 3=3, 4=4, 5=5, Many=1000000";
        QTest::newRow("self, least 3") << "hit=6/3/3" << "hitFrom"
                                       << "hitFrom: Zero=0, 1=1*, ~2=2, ~3=3, ~4=4, ~5=5";
        QTest::newRow("self, most") << "hit=6/3/3" << "hitTo" << "hitTo off: 1=1*";
        QTest::newRow("none") << "effect=9/1/2" << "effectTo" << "effectTo off: 1=1, 2=2*, 3=3, 4=4, 5=5, Many=1000000";
    }

    void offersEntries()
    {
        QFETCH(QString, stored);
        QFETCH(QString, box);
        QFETCH(QString, expected);
        addPower("Stored", stored);
        auto dialog = edit("Stored");
        QCOMPARE(describeBox(dialog.get(), box), expected);
    }

    void enablesByStepType_data()
    {
        QTest::addColumn<int>("stepType");
        QTest::addColumn<QString>("power");
        QTest::addColumn<QStringList>("enabled");
        QTest::addColumn<QString>("focus");
        const QStringList all{"name", "header", "flavor", "description", "type", "frequency", "action", "hitKind",
            "hitFrom", "hitTo", "effectKind", "effectFrom", "effectTo"};
        QTest::newRow("any, stat block") << 3 << "Claw" << all.mid(1) << "";
        QTest::newRow("any, user power") << 3 << "Claw 2" << all << "";
        QTest::newRow("hit, stat block") << 0 << "Claw" << QStringList{"hitKind", "hitFrom", "hitTo"} << "hitKind";
        QTest::newRow("hit, user power") << 0 << "Claw 2" << QStringList{"name", "hitKind", "hitFrom", "hitTo"}
                                         << "hitKind";
        QTest::newRow("effect") << 2 << "Claw" << QStringList{"effectKind", "effectFrom", "effectTo"} << "effectKind";
    }

    void enablesByStepType()
    {
        QFETCH(int, stepType);
        QFETCH(QString, power);
        QFETCH(QStringList, enabled);
        QFETCH(QString, focus);
        CreatePowerDialog dialog(goblin, power, nullptr, Power::StepType(stepType), false, false);
        QStringList found;
        for (const char* name : {"name", "header", "flavor", "description", "type", "frequency", "action", "hitKind",
                 "hitFrom", "hitTo", "effectKind", "effectFrom", "effectTo"})
            if (control(&dialog, name)->isEnabled())
                found << name;
        QCOMPARE(found, enabled);
        // Disabled, a field still reads: paler than enabled text, and 4.5:1 against its ground.
        for (const char* name : {"name", "header", "flavor", "description", "type", "frequency", "action", "hitKind",
                 "hitFrom", "hitTo", "effectKind", "effectFrom", "effectTo"}) {
            const QWidget* field = control(&dialog, name);
            const QPalette& look = field->palette();
            const QColor text = look.color(QPalette::Disabled, field->foregroundRole());
            const double ratio = HealthBarColours::contrast(text, look.color(QPalette::Disabled, field->backgroundRole()));
            QVERIFY2(ratio >= 4.5, qPrintable(QString("%1: %2").arg(name).arg(ratio)));
            QVERIFY(text != look.color(QPalette::Active, field->foregroundRole()));
        }
        // Elsewhere disabled controls keep the toolkit's look.
        QCOMPARE(QApplication::palette().color(QPalette::Disabled, QPalette::Text),
                 QApplication::style()->standardPalette().color(QPalette::Disabled, QPalette::Text));
        QWidget* focused = nullptr;
        runDialog(dialog, [&] { focused = dialog.focusWidget(); });
        if (!focus.isEmpty())
            QCOMPARE(focused, control(&dialog, focus));
        else
            QVERIFY(focused != dialog.getNameEdit() && qobject_cast<QComboBox*>(focused) == nullptr);
    }

    // Each row chooses entries in order, as the user does, and describes boxes after.
    void followsApplyToRules_data()
    {
        QTest::addColumn<int>("stepType");
        QTest::addColumn<QString>("choices");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("self at least three") << 3 << "hitFrom=3 hitKind=6"
            << QStringList{"hitFrom: Zero=0, 1=1*, ~2=2, ~3=3, ~4=4, ~5=5", "hitTo off: 1=1*"};
        QTest::newRow("enemies after self") << 3 << "hitFrom=3 hitKind=6 hitKind=2"
            << QStringList{"hitFrom: Zero=0, 1=1*, 2=2, 3=3, 4=4, 5=5",
                   "hitTo: 1=1*, 2=2, 3=3, 4=4, 5=5, Many=1000000"};
        QTest::newRow("self keeps zero") << 3 << "hitFrom=0 hitKind=6"
            << QStringList{"hitFrom: Zero=0*, 1=1, ~2=2, ~3=3, ~4=4, ~5=5"};
        QTest::newRow("grey least under self") << 3 << "hitKind=6 hitFrom=4"
            << QStringList{"hitFrom: Zero=0, 1=1*, ~2=2, ~3=3, ~4=4, ~5=5"};
        QTest::newRow("none") << 3 << "effectKind=9"
            << QStringList{"effectKind: Any Creature=1, Enemies=2, Allies=3, Allies (not Self)=4, Self and Allies=5, "
                           "Self=6, Current Creature=7, None=9*",
                   "effectFrom off: Zero=0*, 1=1, 2=2, 3=3, 4=4, 5=5",
                   "effectTo off: 1=1, 2=2, 3=3, 4=4, 5=5, Many=1000000*"};
        QTest::newRow("least above most") << 3 << "hitTo=2 hitFrom=4"
                                          << QStringList{"hitTo: 4=4*, 5=5, Many=1000000"};
        QTest::newRow("opened on hit") << 0 << "hitKind=9 hitKind=2"
            << QStringList{"hitFrom: Zero=0, 1=1*, 2=2, 3=3, 4=4, 5=5",
                   "effectKind off: Any Creature=1*, Enemies=2, Allies=3, Allies (not Self)=4, Self and Allies=5, "
                   "Self=6, Current Creature=7, None=9",
                   "effectTo off: 1=1, 2=2, 3=3, 4=4, 5=5, Many=1000000*"};
    }

    void followsApplyToRules()
    {
        QFETCH(int, stepType);
        QFETCH(QString, choices);
        QFETCH(QStringList, expected);
        addPower("Fresh", "");
        auto dialog = edit("Fresh", Power::StepType(stepType));
        for (const QString& choice : choices.split(' ')) {
            choose(box(dialog.get(), choice.section('=', 0, 0)), choice.section('=', 1).toInt());
            if (QTest::currentTestFailed())
                return;
        }
        for (const QString& line : expected)
            QCOMPARE(describeBox(dialog.get(), line.section(QRegularExpression("[ :]"), 0, 0)), line);
    }

    void titles_data()
    {
        QTest::addColumn<bool>("isAction");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("isNew");
        QTest::addColumn<QString>("title");
        QTest::newRow("create power") << false << "" << true << "Create Power";
        QTest::newRow("duplicate power") << false << "Claw" << true << "Duplicate Power";
        QTest::newRow("edit power") << false << "Claw" << false << "Edit Power";
        QTest::newRow("create action") << true << "" << true << "Create Action";
        QTest::newRow("duplicate action") << true << "Slide" << true << "Duplicate Action";
        QTest::newRow("edit action") << true << "Slide" << false << "Edit Action";
    }

    void titles()
    {
        QFETCH(bool, isAction);
        QFETCH(QString, name);
        QFETCH(bool, isNew);
        QFETCH(QString, title);
        CreatePowerDialog dialog(isAction ? nullptr : goblin, name, nullptr, Power::AnyStep, isAction, isNew);
        QCOMPARE(dialog.windowTitle(), title);
        QCOMPARE(dialog.getNameEdit()->isEnabled(), isNew || isAction);
    }

    void duplicateProposesFreeName()
    {
        goblin->getPowers().getPowerByName("Claw")->program.addStep(PowerStep::Damage, Power::Hit);
        CreatePowerDialog dialog(goblin, "Claw", nullptr, Power::AnyStep, false, true);
        QString selected;
        bool focused = false;
        const int result = runDialog(dialog, [&] {
            selected = dialog.getNameEdit()->selectedText();
            focused = dialog.focusWidget() == dialog.getNameEdit();
            clickButton(&dialog, QDialogButtonBox::Ok);
        });
        QCOMPARE(result, int(QDialog::Accepted));
        QCOMPARE(selected, "Claw 3");
        QVERIFY(focused);
        const CreaturePower* copy = dialog.getPower();
        QCOMPARE(copy->name, "Claw 3");
        QCOMPARE(copy->status, int(CreaturePower::UserPower));
        QCOMPARE(copy->current.header, "Melee");
        QCOMPARE(describe(copy->current.applyTo[Power::Hit]), "2/1/1");
        QCOMPARE(copy->program.getStepCount(Power::Hit), 1);
    }

    // A name some other power or action has is refused; the dialog stays
    // open with the typed name. An edit may keep its own name.
    void refusesTakenNames_data()
    {
        QTest::addColumn<bool>("isAction");
        QTest::addColumn<QString>("opening");
        QTest::addColumn<bool>("isNew");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("alert");
        QTest::newRow("another action") << true << "" << true << "Slide" << "Duplicate Action";
        QTest::newRow("a copy over its source") << false << "Claw" << true << "Claw" << "Duplicate Power";
        QTest::newRow("a copy over its action") << true << "Slide" << true << "Slide" << "Duplicate Action";
        QTest::newRow("blanks around a taken name") << false << "" << true << " Claw " << "Duplicate Power";
        QTest::newRow("blanks alone") << false << "" << true << "   " << "";
        QTest::newRow("an edit renamed onto another") << false << "Claw 2" << false << "Claw" << "Duplicate Power";
        QTest::newRow("an edit keeping its name") << false << "Claw 2" << false << "Claw 2" << "accepted";
        QTest::newRow("another letter case") << false << "" << true << "claw" << "accepted";
    }

    void refusesTakenNames()
    {
        QFETCH(bool, isAction);
        QFETCH(QString, opening);
        QFETCH(bool, isNew);
        QFETCH(QString, typed);
        QFETCH(QString, alert);
        CreatePowerDialog dialog(isAction ? nullptr : goblin, opening, nullptr, Power::AnyStep, isAction, isNew);
        ModalSeen seen;
        bool stillOpen = false;
        const int result = runDialog(dialog, [&] {
            dialog.getNameEdit()->clear();
            QTest::keyClicks(dialog.getNameEdit(), typed);
            answerModal(true, &seen, &dialog);
            clickButton(&dialog, QDialogButtonBox::Ok);
        }, &stillOpen);
        if (alert == "accepted") {
            QCOMPARE(result, int(QDialog::Accepted));
            QCOMPARE(seen.count, 0);
            return;
        }
        QVERIFY(stillOpen);
        QCOMPARE(result, int(QDialog::Rejected));
        QCOMPARE(dialog.getNameEdit()->text(), typed);
        QCOMPARE(seen.title, alert);
        if (!alert.isEmpty())
            QVERIFY2(seen.text.contains(QString("<b>%1</b> already exists.<p>Please use a different name.")
                                            .arg(typed.trimmed())), qPrintable(seen.text));
    }

    void readsEveryField()
    {
        addPower("Bite", "status=2 type=4 when=7 cost=2 miss=3/0/2");
        auto dialog = edit("Bite");
        dialog->getNameEdit()->setText("  Gnash ");
        dialog->getHeaderEdit()->setText("Melee 1");
        dialog->getFlavorEdit()->setPlainText("Teeth.");
        dialog->getDescriptionEdit()->setPlainText("First\n\nThird");
        choose(dialog->getTypeBox(), Power::Aura);
        choose(dialog->getActionBox(), Power::Free);
        choose(dialog->getFrequencyBox(), Power::Recharge5);
        choose(dialog->getApplyToBox(Power::Hit), Power::Enemy);
        choose(dialog->getFromCountBox(Power::Hit), 2);
        choose(dialog->getToCountBox(Power::Hit), 4);
        choose(dialog->getApplyToBox(Power::Effect), Power::Ally);
        const CreaturePower* read = dialog->getPower();
        QCOMPARE(read->name, "Gnash");
        QCOMPARE(read->current.header, "Melee 1");
        QCOMPARE(read->current.flavor, "Teeth.");
        QCOMPARE(read->current.description, QStringList({"First", "", "Third"}));
        QCOMPARE(read->current.type, int(Power::Aura));
        QCOMPARE(read->current.when, int(Power::Free));
        QCOMPARE(read->current.cost, int(Power::Recharge5));
        QCOMPARE(describe(read->current.applyTo[Power::Hit]), "2/2/4");
        QCOMPARE(describe(read->current.applyTo[Power::Miss]), "3/0/2");
        QCOMPARE(describe(read->current.applyTo[Power::Effect]), "3/0/1000000");
    }

    // The empty frequency and action keep a power's old ones; an action stores them.
    void emptyEntriesKeepAPowersValues()
    {
        auto dialog = edit("Claw");
        choose(dialog->getFrequencyBox(), Power::NoCost);
        QCOMPARE(dialog->getPower()->current.cost, int(Power::AtWill));
        CreaturePower sprint = powerFrom("Sprint", "status=2 when=6 cost=1");
        Global::actions->updateAction(sprint.name, &sprint);
        CreatePowerDialog action(nullptr, "Sprint", nullptr, Power::AnyStep, true, false);
        action.show();
        choose(action.getFrequencyBox(), Power::NoCost);
        QCOMPARE(action.getPower()->current.cost, int(Power::NoCost));
    }

    // A stored kind or count the boxes have no entry for survives an edit
    // of other fields; choosing in its row stores the row as shown.
    void keepsValuesWithoutAnEntry()
    {
        addPower("Odd", "status=2 hit=8/1/7 effect=10/2/3");
        auto dialog = edit("Odd");
        dialog->getHeaderEdit()->setText("Changed");
        QCOMPARE(describe(dialog->getPower()->current.applyTo[Power::Hit]), "8/1/7");
        QCOMPARE(describe(dialog->getPower()->current.applyTo[Power::Effect]), "10/2/3");
        choose(dialog->getApplyToBox(Power::Hit), Power::Enemy);
        QCOMPARE(describe(dialog->getPower()->current.applyTo[Power::Hit]), "2/1/1");
        QCOMPARE(describe(dialog->getPower()->current.applyTo[Power::Effect]), "10/2/3");
    }

    void createsFromNothingOrFromABase()
    {
        CreatePowerDialog blank(goblin, QString(), nullptr, Power::AnyStep, false, true);
        QCOMPARE(blank.getPower()->status, int(CreaturePower::UserPower));
        QCOMPARE(blank.getPower()->current.description, QStringList({""}));
        CreaturePower base = powerFrom("Working", "header=Area hit=2/1/3");
        base.program.addStep(PowerStep::Healing, Power::Effect);
        CreatePowerDialog based(goblin, QString(), &base, Power::AnyStep, false, true);
        QCOMPARE(based.getNameEdit()->text(), "Working");
        QCOMPARE(based.getHeaderEdit()->text(), "Area");
        QCOMPARE(based.getPower()->program.getStepCount(Power::Effect), 1);
        QCOMPARE(based.getPower()->status, int(CreaturePower::UserPower));
    }

    // Opened for a name that is gone, the name is locked and empty: only Cancel closes.
    void missingNameOnlyCancels()
    {
        CreatePowerDialog dialog(goblin, "Gone", nullptr, Power::AnyStep, false, false);
        QCOMPARE(dialog.windowTitle(), "Create Power");
        QVERIFY(!dialog.getNameEdit()->isEnabled());
        bool stillOpen = false;
        runDialog(dialog, [&] { clickButton(&dialog, QDialogButtonBox::Ok); }, &stillOpen);
        QVERIFY(stillOpen);
    }
};

RAVELHORN_TEST_MAIN(QApplication, TestCreatePowerDialog)
#include "uitest_createpowerdialog.moc"
