// The classic conditions-and-effects dialog in the real main window: the
// action popup's rules, the origin and the end condition, the results
// recorded through the log (undone, redone and replayed), and the main
// window's requests: default targets, a request replacing an open panel,
// the selection given back.

#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

#include <memory>

#include "combat/combattesting.h"
#include "combat/effectdialog.h"
#include "creature/creature.h"
#include "encounter/damageevents.h"
#include "encounter/encounter.h"
#include "encounter/encounterevents.h"
#include "encounter/restevents.h"
#include "library/monsters.h"
#include "mainwindow/creaturewidget.h"
#include "mainwindow/mainwindowtesting.h"

using CombatTesting::action;
using CombatTesting::eventTexts;
using CombatTesting::key;
using CombatTesting::runPanel;

namespace {

// The dialog whose panel the main window shows.
EffectDialog* shownDialog()
{
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* dialog = qobject_cast<EffectDialog*>(widget))
            if (dialog->getWidget() && dialog->getWidget()->isVisible())
                return dialog;
    return nullptr;
}

QGroupBox* box(EffectDialog& dialog, const QString& title)
{
    for (QGroupBox* group : dialog.getWidget()->findChildren<QGroupBox*>())
        if (group->title() == title)
            return group;
    qFatal("no box %s", qPrintable(title));
}

template <typename Widget>
Widget* in(EffectDialog& dialog, const QString& title, int n = 0)
{
    return box(dialog, title)->findChildren<Widget*>().value(n);
}

DisableComboBox* actionPopup(EffectDialog& dialog)
{
    for (DisableComboBox* combo : dialog.getWidget()->findChildren<DisableComboBox*>())
        if (combo->findText("Use Action Point") >= 0)
            return combo;
    qFatal("no action popup");
}

// The game master picks the entry: by its text, or by its data when given a number.
void choose(QComboBox* combo, const QString& entry)
{
    bool isNumber = false;
    const int data = entry.toInt(&isNumber);
    const int index = isNumber ? combo->findData(data) : combo->findText(entry);
    QVERIFY2(index >= 0, qPrintable(entry));
    combo->setCurrentIndex(index);
    emit combo->activated(index);
}

void type(QWidget* field, const QString& text)
{
    if (auto* spin = qobject_cast<QSpinBox*>(field))
        spin->selectAll();
    QTest::keyClicks(field, text);
}


QList<int> enabledActions(EffectDialog& dialog)
{
    QList<int> codes;
    for (int code = 0; code <= 6; code++)
        if (actionPopup(dialog)->isUserValueEnabled(code))
            codes.append(code);
    return codes;
}

// Aldric acts first, then Brena and Cora, then the goblins. Brena is hurt.
struct Fight
{
    Fight()
    {
        aldric = world()->addHero("Aldric", 40, 4);
        brena = world()->addHero("Brena", 24, 3);
        cora = world()->addHero("Cora", 32, 2);
        goblin1 = world()->addMonster("Goblin", "1", 25);
        goblin2 = world()->addMonster("Goblin", "2", 25);
        CreaturePower self;
        self.name = "Inner Light";
        self.current.applyTo[Power::Hit] = {Power::Self, 1, 1};
        brena->getPowers().addPower(self, false);
        CreaturePower blast;
        blast.name = "Blast";
        blast.current.applyTo[Power::Hit] = {Power::Enemy, 1, Power::UnsetCount};
        brena->getPowers().addPower(blast, false);
        CreaturePower mend;
        mend.name = "Mend";
        mend.current.applyTo[Power::Hit] = {Power::NoTarget, -1, -1};
        mend.current.applyTo[Power::Effect] = {Power::Ally, 1, 1};
        brena->getPowers().addPower(mend, false);
        enter();
        record([&](ObjectStream* s) { return new DamageEvent("Hit", goblin1, brena, 10, "", s); });
    }
    void enter() const
    {
        Global::encounter->setCreatureList(CreatureList({aldric, brena, cora, goblin1, goblin2}));
    }
    void start() const
    {
        record([](ObjectStream* s) {
            return new StartEncounterEvent({{"Aldric", 20, 1}, {"Brena", 15, 1}, {"Cora", 12, 1}}, {{"Goblin", 5, 2}}, s);
        });
    }
    static TestWorld* world() { return fixture->world; }
    static ObjectStream* stream() { return world()->stream(); }
    // As a command records: the hand edits first, then the event built after them.
    static void record(const std::function<Event*(ObjectStream*)>& make)
    {
        Global::encounter->writeVitalityChanges(stream());
        QVERIFY(world()->record(make(stream())));
    }
    CreaturePower* power(const QString& name) const { return brena->getPowers().getPowerByName(name); }

    static inline WindowWorld* fixture = nullptr;
    Creature* aldric;
    Creature* brena;
    Creature* cora;
    Creature* goblin1;
    Creature* goblin2;
};

// Runs the steps from inside the loop of the next dialog the main window
// shows that passes the test; true once they ran.
std::shared_ptr<bool> whenShown(const std::function<bool(EffectDialog&)>& which,
                                const std::function<void(EffectDialog&)>& steps)
{
    auto ran = std::make_shared<bool>(false);
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [=] {
        EffectDialog* dialog = shownDialog();
        if (!dialog || !which(*dialog))
            return;
        timer->stop();
        timer->deleteLater();
        steps(*dialog);
        *ran = true;
        if (QTest::currentTestFailed())
            dialog->reject();
    });
    timer->start();
    return ran;
}

bool anyDialog(EffectDialog&)
{
    return true;
}

// The main window opens the power dialog first; switched once, it keeps to the classic one.
bool preferClassicDialog()
{
    const auto rejected = whenShown(anyDialog, [](EffectDialog& dialog) { dialog.reject(); });
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer] {
        for (QToolButton* button : Global::mainWindow->findChildren<QToolButton*>()) {
            if (button->text() == "Classic C&&E Dialog" && button->isVisible()) {
                timer->stop();
                timer->deleteLater();
                button->click();
                return;
            }
        }
    });
    timer->start();
    Global::mainWindow->addConditionOrEffect(nullptr, QString(), nullptr, QString());
    return *rejected;
}

// Runs the request while the steps drive the dialog it opens; false when none opened.
bool request(Creature* origin, CreaturePower* power, const std::function<void(EffectDialog&)>& steps)
{
    const auto ran = whenShown(anyDialog, steps);
    Global::mainWindow->addConditionOrEffect(origin, power ? power->name : QString(), power, QString());
    return *ran;
}

}

class TestEffectDialog : public QObject
{
    Q_OBJECT

private:
    WindowWorld* fixture = nullptr;
    Fight* fight = nullptr;

private slots:
    void init()
    {
        fixture = new WindowWorld;
        Fight::fixture = fixture;
        fight = new Fight;
        QVERIFY(preferClassicDialog());
        // The keys of the dialogs to come go to the active window.
        Global::mainWindow->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(Global::mainWindow));
    }
    void cleanup()
    {
        delete fight;
        delete fixture;
    }

    void actionRules_data()
    {
        QTest::addColumn<QString>("situation");
        QTest::addColumn<QList<int>>("enabled");
        QTest::newRow("stopped") << "stopped" << QList<int>{0, 1, 6};
        QTest::newRow("acting hero") << "acting" << QList<int>{0, 1, 2, 3, 5, 6};
        QTest::newRow("acting hero, surges at their maximum") << "full" << QList<int>{0, 1, 2, 3, 5};
        QTest::newRow("acting hero, action point used") << "used" << QList<int>{0, 2, 3, 5, 6};
        QTest::newRow("hero not acting, on the current creature") << "waiting" << QList<int>{0};
        QTest::newRow("monster with an action point") << "monster" << QList<int>{0, 1, 5};
        QTest::newRow("single target dying") << "dying" << QList<int>{0, 1, 2, 3, 4, 5, 6};
        QTest::newRow("single target stabilised") << "stabilised" << QList<int>{0, 1, 2, 3, 5, 6};
        QTest::newRow("two targets") << "two" << QList<int>{0, 1, 2, 3, 6};
        QTest::newRow("the target's last surge spent") << "last surge" << QList<int>{0, 1, 2, 3, 6};
    }
    // Which actions the origin may take, by the fight, the origin and the single target.
    void actionRules()
    {
        QFETCH(QString, situation);
        QFETCH(QList<int>, enabled);
        Creature* origin = fight->aldric;
        QList<Creature*> targets{fight->brena};
        if (situation != "stopped")
            fight->start();
        if (situation != "full")
            fight->aldric->setCurrHealingSurges(3);
        if (situation == "used") {
            fight->aldric->setCurrActionPoints(2);
            Fight::record([&](ObjectStream* s) { return new UseActionPointEvent(fight->aldric, -1, s); });
        } else if (situation == "waiting") {
            origin = fight->brena;
            targets = {fight->aldric};
        } else if (situation == "monster") {
            origin = fight->goblin2;
            fight->goblin2->setCurrActionPoints(1);
        } else if (situation == "dying" || situation == "stabilised") {
            Fight::record([&](ObjectStream* s) { return new DamageEvent("Hit", fight->goblin1, fight->brena, 20, "", s); });
            if (situation == "stabilised")
                Fight::record([&](ObjectStream* s) { return new StabilizeEvent(nullptr, fight->brena, s); });
        } else if (situation == "two") {
            targets.append(fight->goblin1);
        } else if (situation == "last surge") {
            fight->brena->setCurrHealingSurges(1);
        }
        EffectDialog dialog(origin, targets, {});
        if (situation == "last surge")
            choose(in<QComboBox>(dialog, "Healing Surges"), "-1");
        QCOMPARE(enabledActions(dialog), enabled);
        // A greyed entry cannot be chosen: the popup goes back to the last accepted one.
        choose(actionPopup(dialog), "1");
        const QString accepted = actionPopup(dialog)->currentText();
        QCOMPARE(accepted, enabled.contains(1) ? "Use Action Point" : "");
        if (!enabled.contains(4)) {
            choose(actionPopup(dialog), "Stabilize");
            QCOMPARE(actionPopup(dialog)->currentText(), accepted);
        }
    }

    // Second Wind chosen for the acting hero, then another origin picked: the popup falls back to the empty
    // entry and the preview no longer spends the surge.
    void originChangeFallsBack()
    {
        fight->start();
        fight->aldric->setCurrHealingSurges(3);
        Global::encounter->writeVitalityChanges(Fight::stream());
        EffectDialog dialog(fight->aldric, {fight->brena}, {});
        QCOMPARE(box(dialog, "Aldric's Actions")->title(), "Aldric's Actions");
        choose(actionPopup(dialog), "Second Wind");
        QCOMPARE(fight->aldric->getCurrHealingSurges(), 2);
        choose(in<QComboBox>(dialog, "Attacker/Origin"), "Brena [Self]");
        QCOMPARE(dialog.getCreatures().getOrigin(), fight->brena);
        QCOMPARE(box(dialog, "Brena's Actions")->title(), "Brena's Actions");
        QCOMPARE(actionPopup(dialog)->currentText(), "");
        QCOMPARE(dialog.getOriginAction(), 0);
        QCOMPARE(fight->aldric->getCurrHealingSurges(), 3);
        QCOMPARE(fight->aldric->getHitPointDelta(), 0);
    }

    // Something that lasts needs an end condition; nothing that lasts, none.
    void endConditionFollowsTheEffects()
    {
        EffectDialog dialog(fight->aldric, {fight->brena}, {});
        QComboBox* ending = in<QComboBox>(dialog, "End Condition");
        auto lasting = [&] { return static_cast<DisableComboBox*>(ending)->isUserValueEnabled(CE::SaveEnds); };
        QVERIFY(!lasting());
        type(in<QLineEdit>(dialog, "Custom Condition/Effect or Add Comment"), "x");
        QVERIFY(lasting());
        choose(ending, "Save ends (4)");
        QTest::keyClick(in<QLineEdit>(dialog, "Custom Condition/Effect or Add Comment"), Qt::Key_Backspace);
        QVERIFY(!lasting());
        QCOMPARE(dialog.getEndConditionApplied(), int(CE::EndSpecial));
        for (const QString& title : {"Conditions", "Ongoing", "Bonus/Penalty", "Resist/Vulnerable"}) {
            QComboBox* kind = in<QComboBox>(dialog, title);
            choose(kind, kind->itemText(1));
            QVERIFY2(lasting(), qPrintable(title));
            choose(kind, "");
            QVERIFY2(!lasting(), qPrintable(title));
        }
    }

    // Esc, Cancel and OK as the game master ends the dialog; the preview goes whatever the end.
    void endings_data()
    {
        QTest::addColumn<QString>("ending");
        QTest::addColumn<QStringList>("events");
        const QStringList damage{"Aldric -> Damaged 7: Brena"};
        QTest::newRow("Esc") << "Esc" << QStringList{};
        QTest::newRow("Cancel") << "Cancel" << QStringList{};
        QTest::newRow("OK") << "OK" << damage;
        QTest::newRow("Return") << "Return" << damage;
        // The window system has answered the dialog's opening: the keyboard is still the main window's.
        QTest::newRow("Return a moment later") << "Return later" << damage;
    }
    void endings()
    {
        QFETCH(QString, ending);
        QFETCH(QStringList, events);
        fight->start();
        Global::encounter->setSelectedCreatures({fight->brena});
        const int before = Global::history->getEventCount();
        const int hitPoints = fight->brena->getCurrHitPoints();
        QList<Creature*> shownSelection;
        int previewed = 0;
        const auto ran = whenShown(anyDialog, [&](EffectDialog& dialog) {
            shownSelection = Global::encounter->getSelectedCreatures();
            type(in<QSpinBox>(dialog, "Damage"), "7");
            previewed = fight->brena->getCurrHitPoints();
            if (ending == "Return later")
                QCoreApplication::processEvents();
            if (ending == "Esc")
                key(Qt::Key_Escape);
            else if (ending.startsWith("Return"))
                key(Qt::Key_Return);
            else
                dialog.getWidget()->findChild<QDialogButtonBox*>()->button(
                    ending == "OK" ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel)->click();
        });
        action("Conditions && Effects...")->trigger();
        QTRY_VERIFY(*ran && !Global::mainWindow->runningFlatDialog());
        QCOMPARE(shownSelection, QList<Creature*>{fight->brena});
        QCOMPARE(previewed, hitPoints - 7);
        QCOMPARE(eventTexts(before), events);
        QCOMPARE(fight->brena->getHitPointDelta(), 0);
        QCOMPARE(fight->brena->getCurrHitPoints(), hitPoints - (events.isEmpty() ? 0 : 7));
        QCOMPARE(Global::encounter->getSelectedCreatures(), QList<Creature*>{fight->brena});
    }

    // By keys alone: the origin first, Tab through the action to the damage, Return to apply.
    void keyboard()
    {
        fight->start();
        Global::encounter->setSelectedCreatures({fight->goblin1});
        const int before = Global::history->getEventCount();
        QVERIFY(request(fight->aldric, nullptr, [&](EffectDialog& dialog) {
            VERIFY_FOCUS(in<QComboBox>(dialog, "Attacker/Origin"));
            key(Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), actionPopup(dialog));
            key(Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), in<QSpinBox>(dialog, "Damage"));
            QTest::keyClicks(in<QSpinBox>(dialog, "Damage"), "12");
            key(Qt::Key_Return);
        }));
        QCOMPARE(eventTexts(before), QStringList{"Aldric -> Damaged 12: Goblin (1)"});
    }

    // Offered, the main window's spare button switches dialogs: result 5, nothing kept of the preview.
    void switchToThePowerDialog()
    {
        auto spare = [] {
            for (QToolButton* button : Global::mainWindow->findChildren<QToolButton*>())
                if (button->text() == "Programmable Power Dialog")
                    return button;
            return (QToolButton*)nullptr;
        };
        EffectDialog offered(fight->aldric, {fight->brena}, {});
        offered.offerPowerDialog(true);
        const int result = runPanel(offered, [&] {
            type(in<QSpinBox>(offered, "Damage"), "7");
            QVERIFY(spare() && spare()->isVisible());
            QCOMPARE(spare()->toolTip(), "Click to switch to the Programmable Power Dialog");
            spare()->click();
        });
        QCOMPARE(result, int(EffectDialog::SwitchDialog));
        QCOMPARE(fight->brena->getHitPointDelta(), 0);
        EffectDialog classic(fight->aldric, {fight->brena}, {});
        runPanel(classic, [&] {
            QVERIFY(!spare() || !spare()->isVisible());
            classic.reject();
        });
    }

    // Each kind of entry as the events record it, in the order of the record; stepped back, forward and
    // replayed after a restart.
    void classicResults_data()
    {
        QTest::addColumn<QString>("targets");
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("events");
        QTest::newRow("damage") << "Brena" << QStringList{"Damage: 7"} << QStringList{"Aldric -> Damaged 7: Brena"};
        QTest::newRow("a surge each at its own value")
            << "Brena Cora" << QStringList{"Healing Surges: -1000", "Healing: 2"}
            << QStringList{"Aldric -> Healed 8 (-1 HS): Brena", "Aldric -> Healed 10 (-1 HS): Cora"};
        QTest::newRow("two surges at the box's value")
            << "Brena" << QStringList{"Healing Surges: -2"} << QStringList{"Aldric -> Healed 12 (-2 HS): Brena"};
        QTest::newRow("two surges at a value typed")
            << "Brena" << QStringList{"Value: 2", "Healing Surges: -2"} << QStringList{"Aldric -> Healed 4 (-2 HS): Brena"};
        QTest::newRow("hit points alone") << "Brena" << QStringList{"Healing: 5"} << QStringList{"Aldric -> Healed 5: Brena"};
        QTest::newRow("a surge gained")
            << "Cora" << QStringList{"Healing Surges: 1"} << QStringList{"Aldric -> Healing Surges +1: Cora"};
        QTest::newRow("temporary hit points")
            << "Brena Cora" << QStringList{"Temp: 4"} << QStringList{"Gained Temporary HP 4: Brena, Cora"};
        QTest::newRow("a condition with a comment")
            << "Brena" << QStringList{"Conditions: Dazed", "Custom Condition/Effect or Add Comment:  by the gong "}
            << QStringList{"Aldric -> Dazed (by the gong): Brena"};
        QTest::newRow("ongoing 5 and resist 5")
            << "Brena"
            << QStringList{"Ongoing: Ongoing Damage", "Ongoing#: 5", "Resist/Vulnerable: Resist", "Resist/Vulnerable#: 5",
                           "End Condition: Save ends (4)"}
            << QStringList{"Aldric -> Ongoing 5 Damage: Brena", "Aldric -> Resist 5: Brena"};
        QTest::newRow("a comment alone")
            << "Brena" << QStringList{"Custom Condition/Effect or Add Comment: Blessed"}
            << QStringList{"Aldric -> Blessed: Brena"};
        QTest::newRow("nobody to take them")
            << ""
            << QStringList{"Damage: 7", "Healing: 5", "Custom Condition/Effect or Add Comment: Blessed",
                           "Action: Use Action Point"}
            << QStringList{"Use Action Point: Aldric"};
        QTest::newRow("use an action point")
            << "Brena" << QStringList{"Action: Use Action Point"} << QStringList{"Use Action Point: Aldric"};
        QTest::newRow("total defense")
            << "Brena" << QStringList{"Action: Total Defense"} << QStringList{"Total Defense: Aldric"};
        QTest::newRow("second wind") << "Brena" << QStringList{"Action: Second Wind"} << QStringList{"Second Wind: Aldric"};
        QTest::newRow("stabilize")
            << "dying Brena" << QStringList{"Action: Stabilize"} << QStringList{"Aldric -> Stabilized: Brena"};
        QTest::newRow("first aid")
            << "Brena" << QStringList{"Action: Administer First Aid"}
            << QStringList{"Aldric -> Second Wind (First Aid): Brena"};
        QTest::newRow("gain a surge")
            << "Brena" << QStringList{"Action: Gain Healing Surge"} << QStringList{"Aldric -> Gained Healing Surge: Aldric"};
        QTest::newRow("healing past the maximum")
            << "Brena Cora" << QStringList{"Healing: 50", "Temp: 3"}
            << QStringList{"Aldric -> Healed 50: Brena, Cora", "Gained Temporary HP 3: Brena, Cora"};
        QTest::newRow("second wind from below 0")
            << "dying Aldric" << QStringList{"Action: Second Wind"} << QStringList{"Second Wind: Aldric"};
        QTest::newRow("first aid from below 0")
            << "dying Brena" << QStringList{"Action: Administer First Aid"}
            << QStringList{"Aldric -> Second Wind (First Aid): Brena"};
        QTest::newRow("damage through temporary hit points, then a surge")
            << "Cora" << QStringList{"Damage: 9", "Healing Surges: -1", "Temp: 4"}
            << QStringList{"Aldric -> Damaged 9: Cora", "Aldric -> Healed 8 (-1 HS): Cora", "Gained Temporary HP 4: Cora"};
    }
    void classicResults()
    {
        QFETCH(QString, targets);
        QFETCH(QStringList, steps);
        QFETCH(QStringList, events);
        fight->start();
        fight->aldric->setCurrHealingSurges(3);
        fight->cora->setCurrHealingSurges(1);
        Creature* dying = targets.startsWith("dying") ? fixture->world->find(targets.section(' ', 1, 1)) : nullptr;
        if (dying)
            Fight::record([&](ObjectStream* s) {
                return new DamageEvent("Hit", fight->goblin1, dying, dying->getCurrHitPoints() + 5, "", s);
            });
        if (targets.startsWith("dying Aldric"))
            targets = "Brena";
        QList<Creature*> selection;
        for (const QString& name : targets.split(' ', Qt::SkipEmptyParts))
            if (name != "dying")
                selection.append(fixture->world->find(name));
        Global::encounter->setSelectedCreatures(selection);
        Global::encounter->writeVitalityChanges(Fight::stream());
        const int before = Global::history->getEventCount();
        const QString start = fixture->world->describe();
        QStringList previewed;
        QVERIFY(request(fight->aldric, nullptr, [&](EffectDialog& dialog) {
            for (const QString& step : steps) {
                const QString title = step.section(": ", 0, 0);
                const QString value = step.section(": ", 1);
                if (title == "Value")
                    type(in<QSpinBox>(dialog, "Healing Surges"), value);
                else if (title == "Temp")
                    type(in<QSpinBox>(dialog, "Healing", 1), value);
                else if (title.endsWith('#'))
                    type(in<QSpinBox>(dialog, title.chopped(1)), value);
                else if (title == "Action")
                    choose(actionPopup(dialog), value);
                else if (QComboBox* combo = in<QComboBox>(dialog, title))
                    choose(combo, value);
                else if (QSpinBox* spin = in<QSpinBox>(dialog, title))
                    type(spin, value);
                else
                    type(in<QLineEdit>(dialog, title), value);
            }
            previewed = TestWorld::figures();
            key(Qt::Key_Return);
        }));
        QCOMPARE(eventTexts(before), events);
        // What the docks showed before OK is what the events did.
        QCOMPARE(TestWorld::figures(), previewed);
        QVERIFY(fixture->hooks.alerts.isEmpty());

        CombatTesting::checkStepsAndReplay(fixture->world, events.size(), start, [this] {
            Global::encounter->setCreatureList(CreatureList(
                {fixture->world->find("Aldric"), fixture->world->find("Brena"), fixture->world->find("Cora"),
                 Global::monsters->getMonsterInstance("Goblin", "1", true),
                 Global::monsters->getMonsterInstance("Goblin", "2", true)}));
        });
    }

    // The power is marked used only on an origin that has it.
    void powerUsage()
    {
        fight->start();
        CreaturePower* blast = fight->power("Blast");
        blast->current.cost = Power::OncePerEncounter;
        Global::encounter->setSelectedCreatures({fight->goblin1});
        const int before = Global::history->getEventCount();
        QVERIFY(request(fight->brena, blast, [](EffectDialog& dialog) { dialog.accept(); }));
        QCOMPARE(eventTexts(before).size(), 1);
        QVERIFY(fight->brena->getPowers().getPowerByName("Blast")->getUsed());
        fight->brena->getPowers().getPowerByName("Blast")->resetUsage();
        QVERIFY(request(fight->brena, blast, [&](EffectDialog& dialog) {
            choose(in<QComboBox>(dialog, "Attacker/Origin"), "Cora");
            type(in<QSpinBox>(dialog, "Damage"), "3");
            dialog.accept();
        }));
        QCOMPARE(eventTexts(before + 1), QStringList{"Cora -> Damaged 3: Goblin (1)"});
        QVERIFY(!fight->brena->getPowers().getPowerByName("Blast")->getUsed());
    }

    void defaultTargets_data()
    {
        QTest::addColumn<QString>("selected");
        QTest::addColumn<QString>("power");
        QTest::addColumn<QString>("expected");
        QTest::newRow("the origin selected alone") << "Brena" << "" << "Aldric";
        QTest::newRow("others selected") << "Cora Goblin (1)" << "Blast" << "Cora Goblin (1)";
        QTest::newRow("nothing selected, a power on oneself") << "" << "Inner Light" << "Brena";
        QTest::newRow("nothing selected, a power on enemies") << "" << "Blast" << "";
        QTest::newRow("nothing selected, no power") << "" << "" << "";
        QTest::newRow("the origin selected alone, a power without an attack") << "Brena" << "Mend" << "";
        QTest::newRow("others selected, a power without an attack") << "Cora Goblin (1)" << "Mend" << "";
    }
    // The dialog's targets, shown as the selection while it runs; the selection comes back after it.
    void defaultTargets()
    {
        QFETCH(QString, selected);
        QFETCH(QString, power);
        QFETCH(QString, expected);
        fight->start();
        QList<Creature*> selection;
        for (const QString& name : selected.split(' ', Qt::SkipEmptyParts))
            selection.append(name == "Goblin" ? nullptr : fixture->world->find(name));
        selection.removeAll(nullptr);
        if (selected.contains("Goblin"))
            selection.append(fight->goblin1);
        Global::encounter->setSelectedCreatures(selection);
        QStringList shown;
        QStringList targets;
        QVERIFY(request(fight->brena, power.isEmpty() ? nullptr : fight->power(power), [&](EffectDialog& dialog) {
            for (Creature* creature : Global::encounter->getSelectedCreatures())
                shown.append(creature->getNameGroup());
            for (Creature* creature : dialog.getCreatures().getTargetList())
                targets.append(creature->getNameGroup());
            dialog.reject();
        }));
        QCOMPARE(targets.join(' '), expected);
        QCOMPARE(shown, targets);
        QCOMPARE(Global::encounter->getSelectedCreatures(), selection);
    }

    // A dock's power click while the dialog is open ends it unapplied and opens the one for the power.
    void aRequestReplacesTheOpenDialog()
    {
        fight->start();
        Global::encounter->setSelectedCreatures({fight->goblin1});
        const int before = Global::history->getEventCount();
        QList<Creature*> origins;
        QVERIFY(request(fight->aldric, nullptr, [&](EffectDialog& first) {
            origins.append(first.getCreatures().getOrigin());
            type(in<QSpinBox>(first, "Damage"), "7");
            whenShown([&](EffectDialog& next) { return next.getCreatures().getOrigin() == fight->brena; },
                      [&](EffectDialog& next) {
                          origins.append(next.getCreatures().getOrigin());
                          type(in<QSpinBox>(next, "Damage"), "2");
                          next.accept();
                      });
            Global::mainWindow->getCurrentCreatureWidget()->onPowerClicked(fight->brena, fight->power("Blast"));
        }));
        QCOMPARE(origins, QList<Creature*>({fight->aldric, fight->brena}));
        QCOMPARE(eventTexts(before), QStringList({"Brena: Used Blast", "Brena -> Damaged 2: Goblin (1)"}));
        QCOMPARE(Global::encounter->getSelectedCreatures(), QList<Creature*>{fight->goblin1});
    }

    // A request during another command's panel ends that panel, which records nothing, and then runs.
    void aRequestDuringAnotherPanel()
    {
        fight->start();
        Global::encounter->setSelectedCreatures({fight->goblin1});
        const int before = Global::history->getEventCount();
        TestPanel other;
        bool opened = false;
        const auto ran = whenShown(anyDialog, [&](EffectDialog& dialog) {
            opened = dialog.getCreatures().getOrigin() == fight->brena;
            dialog.reject();
        });
        const int result = runPanel(other, [&] {
            Global::mainWindow->getCurrentCreatureWidget()->onPowerClicked(fight->brena, fight->power("Blast"));
        });
        QCOMPARE(result, 0);
        QTRY_VERIFY(*ran && !Global::mainWindow->runningFlatDialog());
        QVERIFY(opened);
        QCOMPARE(eventTexts(before), QStringList{});
        QCOMPARE(Global::encounter->getSelectedCreatures(), QList<Creature*>{fight->goblin1});
    }
};

RAVELHORN_TEST_MAIN(QApplication, TestEffectDialog)
#include "uitest_effectdialog.moc"
