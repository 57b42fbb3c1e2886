#include <QLineEdit>
#include <QVBoxLayout>

#include <memory>

#include "creature/creature.h"
#include "encounter/encounter.h"
#include "encounter/history.h"
#include "foundation/global.h"
#include "library/characters.h"
#include "library/encounters.h"
#include "library/monsters.h"
#include "powerdialog/createpowerdialog.h"
#include "powerdialog/effectcreatures.h"
#include "powerdialogtesting.h"
#include "powers/actions.h"
#include "support/testsupport.h"

using namespace PowerDialogTesting;

namespace {

// Records the call-backs in order; a new power starts from `working`.
class RecordingOwner : public CreatureInterface
{
public:
    CreaturePower* powerToEdit() override { return working; }
    void originChanged(Creature* origin) override
    {
        calls << "originChanged " + (origin ? origin->getNameGroup() : QString());
    }
    void powerHeaderChanged(bool whole) override { calls << QString("powerHeaderChanged %1").arg(whole); }

    QStringList calls;
    CreaturePower* working = nullptr;
};

// Once the header dialog shows: `during` runs inside it, then the name is
// typed (when given) and OK pressed, or Cancel.
void answerHeader(bool accept, const QString& name = QString(),
    const std::function<void(CreatePowerDialog*)>& during = nullptr)
{
    whenModal([=](QDialog* box) {
        auto* dialog = qobject_cast<CreatePowerDialog*>(box);
        if (!dialog) {
            box->reject();
            return;
        }
        if (during)
            during(dialog);
        if (!name.isEmpty())
            dialog->getNameEdit()->setText(name);
        accept ? clickButton(dialog, QDialogButtonBox::Ok) : dialog->reject();
    });
}

QStringList powerNames(Creature* creature)
{
    QStringList names;
    for (const CreaturePower* power : creature->getPowers().getPowerList(true))
        names << power->name;
    return names;
}

}

class TestPowerPickers : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<RecordingUiHooks> hooks;
    std::unique_ptr<EffectCreatures> creatures;
    std::unique_ptr<QWidget> panel;
    RecordingOwner owner;
    Creature* hag = nullptr;
    Creature* otherHag = nullptr;
    Creature* hagTemplate = nullptr;
    DisableComboBox* powers = nullptr;
    DisableComboBox* actions = nullptr;
    DisableComboBox* origins = nullptr;
    QPushButton* deleteButton = nullptr;
    QPushButton* editButton = nullptr;

    QString templateFile() const
    {
        return QDir(dir->path()).filePath("Ravelhorn Data/Monsters/" + hagTemplate->getFileName());
    }
    QString actionsFile() const { return QDir(dir->path()).filePath("Ravelhorn Data/actions.txt"); }

    void makePickers(bool deferSave)
    {
        owner = RecordingOwner();
        creatures = std::make_unique<EffectCreatures>(deferSave, hag, QString(), QString(), QList<Creature*>(),
            QList<Creature*>(), &owner);
        panel = std::make_unique<QWidget>();
        auto* layout = new QVBoxLayout(panel.get());
        origins = creatures->getOriginControl();
        powers = qobject_cast<DisableComboBox*>(creatures->getPowerControl(true));
        actions = qobject_cast<DisableComboBox*>(creatures->getActionControl());
        deleteButton = qobject_cast<QPushButton*>(creatures->getDeletePower());
        editButton = qobject_cast<QPushButton*>(creatures->getEditPower());
        for (QWidget* widget : {static_cast<QWidget*>(origins), static_cast<QWidget*>(powers),
                 static_cast<QWidget*>(actions), static_cast<QWidget*>(deleteButton),
                 static_cast<QWidget*>(editButton)})
            layout->addWidget(widget);
        panel->show();
        QVERIFY(QTest::qWaitForWindowExposed(panel.get()));
    }

    void choosePower(const QString& name)
    {
        choose(powers, powers->itemData(powers->findText(name)).toInt());
        QTRY_COMPARE(creatures->getPowerName(), name);
    }

    void addAction(const QString& name)
    {
        CreaturePower action;
        action.status = CreaturePower::UserPower;
        action.name = name;
        action.current.when = Power::Move;
        Global::actions->updateAction(name, &action);
    }

private slots:
    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        hooks = std::make_unique<RecordingUiHooks>();
        Global::encounter = new Encounter;
        Global::history = new History;
        Global::characters = new Characters;
        Global::monsters = new Monsters;
        Global::encounters = new Encounters;
        Global::actions = new Actions;
        const QString root = QDir(dir->path()).filePath("Ravelhorn Data");
        QVERIFY(Global::copyDir(QDir(Global::getResourcePath()).filePath("demo-data"), dir->path(), "Ravelhorn Data"));
        QVERIFY(Global::setRootPath(QDir::toNativeSeparators(root), root));
        hag = Global::monsters->getMonsterInstance("Bog Hag Mother", "1", true);
        otherHag = Global::monsters->getMonsterInstance("Bog Hag Mother", "2", true);
        hagTemplate = Global::monsters->findTemplate("Bog Hag Mother");
        Creature* hero = Global::characters->findCharacter("Brannoc Ashfield");
        Global::encounter->setCreatureList(CreatureList({hag, otherHag, hero}));
        addAction("Sprint");
        makePickers(false);
    }

    void cleanup()
    {
        panel.reset();
        creatures.reset();
        delete std::exchange(Global::history, nullptr);
        delete std::exchange(Global::encounter, nullptr);
        delete std::exchange(Global::characters, nullptr);
        delete std::exchange(Global::monsters, nullptr);
        delete std::exchange(Global::encounters, nullptr);
        delete std::exchange(Global::actions, nullptr);
        hooks.reset();
        dir.reset();
    }

    void offersEntries()
    {
        hag->getPowers().getPowerByName("Bog Step")->setUsed(true);
        creatures->setOriginAndPower(hag, QString());
        QCOMPARE(entries(powers), QStringList({"=0*", "~Bog Step=0", "Choking Fog=1", "Drowning Curse=2",
                                      "Thorned Claw=3", "Add Power...=-1", "~Duplicate Power...=-2"}));
        QCOMPARE(entries(actions), QStringList({"=0*", "Sprint=0", "Add Action...=-1", "~Duplicate Action...=-2"}));
        // A used power is grey, yet chosen.
        choosePower("Bog Step");
        QCOMPARE(powers->currentText(), "Bog Step");
        QVERIFY(powers->isUserValueEnabled(-2));
        QCOMPARE(owner.calls, QStringList({"powerHeaderChanged 1"}));
        creatures->setOriginAndPower(hag, "Bog Step");
        QCOMPARE(entries(powers).mid(0, 2), QStringList({"=0", "~Bog Step=0*"}));
        creatures->setOriginAndPower(nullptr, QString());
        QCOMPARE(entries(powers), QStringList({"=0*"}));
    }

    // A clean template is saved at once, a dirty one waits; the encounter's
    // creatures of the template follow, each keeping its own usage.
    void addsPowers_data()
    {
        QTest::addColumn<bool>("deferSave");
        QTest::addColumn<bool>("dirty");
        QTest::addColumn<bool>("saved");
        QTest::newRow("clean") << false << false << true;
        QTest::newRow("dirty") << false << true << false;
        QTest::newRow("deferred") << true << false << false;
    }

    void addsPowers()
    {
        QFETCH(bool, deferSave);
        QFETCH(bool, dirty);
        QFETCH(bool, saved);
        makePickers(deferSave);
        hagTemplate->setDirty(dirty);
        otherHag->getPowers().getPowerByName("Bog Step")->setUsed(true);
        CreaturePower working;
        working.name = "Working";
        working.program.addStep(PowerStep::Damage, Power::Hit);
        owner.working = &working;
        answerHeader(true, "Swamp Lash");
        choose(powers, -1);
        QTRY_COMPARE(creatures->getPowerName(), "Swamp Lash");
        QCOMPARE(owner.calls, QStringList({"powerHeaderChanged 1"}));
        for (Creature* creature : {hagTemplate, hag, otherHag})
            QVERIFY2(creature->getPowers().getPowerByName("Swamp Lash"), qPrintable(creature->getNameGroup()));
        // Nothing was chosen: the new power has the working copy's steps.
        QCOMPARE(hagTemplate->getPowers().getPowerByName("Swamp Lash")->program.getStepCount(Power::Hit), 1);
        QVERIFY(otherHag->getPowers().getPowerByName("Bog Step")->getUsed());
        QCOMPARE(TestSupport::readFile(templateFile()).contains("Swamp Lash"), saved);
        QCOMPARE(powers->currentText(), "Swamp Lash");
    }

    void duplicatesAPower()
    {
        choosePower("Thorned Claw");
        owner.calls.clear();
        QString proposed;
        answerHeader(true, QString(), [&](CreatePowerDialog* dialog) { proposed = dialog->getNameEdit()->text(); });
        choose(powers, -2);
        QTRY_COMPARE(creatures->getPowerName(), "Thorned Claw 2");
        QCOMPARE(proposed, "Thorned Claw 2");
        QVERIFY(TestSupport::readFile(templateFile()).contains("Thorned Claw 2"));
        QCOMPARE(powerNames(otherHag), powerNames(hagTemplate));
        QCOMPARE(hagTemplate->getPowers().getPowerByName("Thorned Claw 2")->status, int(CreaturePower::UserPower));
        QVERIFY(deleteButton->isEnabled());
        QCOMPARE(owner.calls, QStringList({"powerHeaderChanged 1"}));
    }

    // Renamed by "Edit": combos, template, file and the encounter's creatures
    // follow; each creature keeps its usage.
    void renamesAPower()
    {
        CreaturePower lash;
        lash.status = CreaturePower::UserPower;
        lash.name = "Lash";
        lash.current.cost = Power::OncePerEncounter;
        hagTemplate->updatePowerAndSetDirty(lash.name, lash, false);
        Global::encounter->updatePower("Bog Hag Mother", lash.name, lash);
        hag->getPowers().getPowerByName("Lash")->setUsed(true);
        creatures->setOriginAndPower(hag, "Lash");
        creatures->selectPowerOrAction();
        answerHeader(true, "Mire Lash");
        QTest::mouseClick(editButton, Qt::LeftButton);
        QTRY_COMPARE(creatures->getPowerName(), "Mire Lash");
        QCOMPARE(powers->currentText(), "Mire Lash");
        QCOMPARE(powers->findText("Lash"), -1);
        for (Creature* creature : {hagTemplate, hag, otherHag}) {
            QVERIFY(!creature->getPowers().getPowerByName("Lash"));
            QVERIFY(creature->getPowers().getPowerByName("Mire Lash"));
        }
        QVERIFY(hag->getPowers().getPowerByName("Mire Lash")->getUsed());
        QVERIFY(!otherHag->getPowers().getPowerByName("Mire Lash")->getUsed());
        QVERIFY(TestSupport::readFile(templateFile()).contains("Mire Lash"));
        QCOMPARE(owner.calls, QStringList({"powerHeaderChanged 0"}));
    }

    // A deletion is saved at once, even where adding waits for Save All.
    void deletesAPower_data()
    {
        QTest::addColumn<bool>("deferSave");
        QTest::addColumn<bool>("confirm");
        QTest::newRow("confirmed") << false << true;
        QTest::newRow("deferred save") << true << true;
        QTest::newRow("declined") << false << false;
    }

    void deletesAPower()
    {
        QFETCH(bool, deferSave);
        QFETCH(bool, confirm);
        makePickers(deferSave);
        choosePower("Thorned Claw");
        answerHeader(true);
        choose(powers, -2);
        QTRY_COMPARE(creatures->getPowerName(), "Thorned Claw 2");
        const QByteArray before = TestSupport::readFile(templateFile());
        owner.calls.clear();
        ModalSeen seen;
        answerModal(confirm, &seen);
        QTest::mouseClick(deleteButton, Qt::LeftButton);
        QTRY_COMPARE(seen.count, 1);
        QTRY_COMPARE(owner.calls, QStringList({"powerHeaderChanged 1"}));
        QCOMPARE(seen.title, "Delete Power");
        QVERIFY(seen.text.contains("Do you really want to delete <b>Thorned Claw 2</b>?"));
        QCOMPARE(creatures->getPowerName(), confirm ? QString() : "Thorned Claw 2");
        for (Creature* creature : {hagTemplate, hag, otherHag})
            QCOMPARE(creature->getPowers().getPowerByName("Thorned Claw 2") == nullptr, confirm);
        QCOMPARE(TestSupport::readFile(templateFile()).contains("Thorned Claw 2"), !confirm);
        if (!confirm)
            QCOMPARE(TestSupport::readFile(templateFile()), before);
    }

    void statBlockPowersCannotBeDeleted()
    {
        choosePower("Thorned Claw");
        QVERIFY(!deleteButton->isEnabled());
        QVERIFY(editButton->isEnabled());
    }

    // Actions go to "actions.txt", read back as another start would.
    void editsActions()
    {
        answerHeader(true, "Dash");
        choose(actions, -1);
        QTRY_COMPARE(creatures->getActionName(), "Dash");
        answerHeader(true, "Dash Away");
        QTest::mouseClick(editButton, Qt::LeftButton);
        QTRY_COMPARE(creatures->getActionName(), "Dash Away");
        answerHeader(true);
        choose(actions, -2);
        QTRY_COMPARE(creatures->getActionName(), "Dash Away 2");
        answerModal(true, nullptr);
        QTest::mouseClick(deleteButton, Qt::LeftButton);
        QTRY_COMPARE(creatures->getActionName(), QString());
        QCOMPARE(owner.calls, QStringList({"powerHeaderChanged 1", "powerHeaderChanged 0", "powerHeaderChanged 1",
                                  "powerHeaderChanged 1"}));
        Actions read;
        read.loadActions(QDir(dir->path()).filePath("Ravelhorn Data"));
        QStringList names;
        for (const CreaturePower* action : read.getActionList(true))
            names << action->name;
        QCOMPARE(names, QStringList({"Dash Away", "Sprint"}));
        QCOMPARE(entries(actions), QStringList({"=0*", "Dash Away=0", "Sprint=1", "Add Action...=-1",
                                       "~Duplicate Action...=-2"}));
    }

    // Cancelled or declined, no store changes and the previous choice shows again.
    void cancelChangesNoStore_data()
    {
        QTest::addColumn<QString>("command");
        QTest::newRow("add power") << "add power";
        QTest::newRow("duplicate power") << "duplicate power";
        QTest::newRow("add action") << "add action";
        QTest::newRow("edit") << "edit";
    }

    void cancelChangesNoStore()
    {
        QFETCH(QString, command);
        choosePower("Drowning Curse");
        owner.calls.clear();
        const QByteArray file = TestSupport::readFile(templateFile());
        const QByteArray actionsText = TestSupport::readFile(actionsFile());
        const QStringList names = powerNames(hagTemplate);
        bool shown = false;
        answerHeader(false, QString(), [&](CreatePowerDialog*) { shown = true; });
        if (command == "add power")
            choose(powers, -1);
        else if (command == "duplicate power")
            choose(powers, -2);
        else if (command == "add action")
            choose(actions, -1);
        else
            QTest::mouseClick(editButton, Qt::LeftButton);
        QTRY_VERIFY(shown);
        QTRY_COMPARE(powers->currentText(), "Drowning Curse");
        QCOMPARE(actions->currentText(), QString());
        QCOMPARE(creatures->getPowerName(), "Drowning Curse");
        QCOMPARE(powerNames(hagTemplate), names);
        QCOMPARE(TestSupport::readFile(templateFile()), file);
        QCOMPARE(TestSupport::readFile(actionsFile()), actionsText);
        QCOMPARE(owner.calls, QStringList());
    }

    void anotherOriginDropsThePower()
    {
        choosePower("Thorned Claw");
        choose(actions, 0);
        QTRY_COMPARE(creatures->getActionName(), "Sprint");
        choosePower("Drowning Curse");
        QCOMPARE(creatures->getActionName(), QString());
        choose(actions, 0);
        QTRY_COMPARE(creatures->getActionName(), "Sprint");
        creatures->setOriginAndPower(hag, "Drowning Curse");
        owner.calls.clear();
        // The same origin again does nothing at all.
        choose(origins, origins->itemData(origins->findText(hag->getNameGroup(), Qt::MatchStartsWith)).toInt());
        choose(origins, origins->itemData(origins->findText(otherHag->getNameGroup(), Qt::MatchStartsWith)).toInt());
        QTRY_COMPARE(owner.calls, QStringList({"originChanged " + otherHag->getNameGroup()}));
        QCOMPARE(creatures->getOrigin(), otherHag);
        QCOMPARE(creatures->getPowerName(), QString());
        QCOMPARE(creatures->getActionName(), "Sprint");
        QCOMPARE(powers->currentIndex(), 0);
        QCOMPARE(actions->currentText(), "Sprint");
    }

    // While a header dialog runs, the other commands do nothing.
    void slotsDuringAModalDoNothing()
    {
        bool editing = true;
        answerHeader(false, QString(), [&](CreatePowerDialog*) {
            editing = creatures->editPowerHeader(Power::AnyStep);
            creatures->setOriginAndPower(otherHag, "Bog Step");
            QTest::mouseClick(deleteButton, Qt::LeftButton);
            QCoreApplication::processEvents();
        });
        choosePower("Drowning Curse");
        owner.calls.clear();
        choose(powers, -1);
        QTRY_VERIFY(!editing);
        QTRY_COMPARE(powers->currentText(), "Drowning Curse");
        QCOMPARE(creatures->getOrigin(), hag);
        QCOMPARE(creatures->getPowerName(), "Drowning Curse");
        QCOMPARE(owner.calls, QStringList());
    }

    // The grey "Duplicate Power..." keeps the chosen action and the power
    // dialog's unsaved steps: the owner hears nothing.
    void greyDuplicateDoesNothing()
    {
        choose(actions, 0);
        QTRY_COMPARE(creatures->getActionName(), "Sprint");
        owner.calls.clear();
        QVERIFY(!powers->isUserValueEnabled(-2));
        choose(powers, -2);
        QCoreApplication::processEvents();
        QCOMPARE(creatures->getActionName(), "Sprint");
        QCOMPARE(powers->currentIndex(), 0);
        QCOMPARE(owner.calls, QStringList());
    }

    // The Character Creator's buttons tell the owner even after Cancel, and
    // follow the programmed creature and power.
    void creatorButtons()
    {
        auto* add = qobject_cast<QPushButton*>(creatures->getAddPower());
        auto* duplicate = qobject_cast<QPushButton*>(creatures->getDuplicatePower());
        panel->layout()->addWidget(add);
        panel->layout()->addWidget(duplicate);
        QVERIFY(add->isEnabled() && !duplicate->isEnabled());
        creatures->setOriginAndPower(hag, "Thorned Claw");
        QVERIFY(duplicate->isEnabled());
        answerHeader(false);
        QTest::mouseClick(add, Qt::LeftButton);
        QTRY_COMPARE(owner.calls, QStringList({"powerHeaderChanged 1"}));
        answerHeader(true);
        QTest::mouseClick(duplicate, Qt::LeftButton);
        QTRY_COMPARE(creatures->getPowerName(), "Thorned Claw 2");
        QCOMPARE(owner.calls.size(), 2);
        creatures->setOriginAndPower(nullptr, QString());
        QVERIFY(!add->isEnabled() && !duplicate->isEnabled());
    }

    // The grey "Duplicate Action..." opens the header dialog to create an action.
    void greyDuplicateActionCreates()
    {
        QString title;
        answerHeader(true, "Leap", [&](CreatePowerDialog* dialog) { title = dialog->windowTitle(); });
        choose(actions, -2);
        QTRY_COMPARE(creatures->getActionName(), "Leap");
        QCOMPARE(title, "Create Action");
    }
};

RAVELHORN_TEST_MAIN(QApplication, TestPowerPickers)
#include "uitest_powerpickers.moc"
