#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QScrollBar>
#include <QSpinBox>
#include <QTabBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <memory>

#include "creature/creature.h"
#include "encounter/encounter.h"
#include "encounter/event.h"
#include "encounter/history.h"
#include "foundation/attrtext.h"
#include "foundation/global.h"
#include "powerdialog/effectcreatures.h"
#include "powerdialog/powerwidget.h"
#include "powerdialog/stepeditors.h"
#include "powerdialogtesting.h"
#include "powers/power.h"
#include "support/keyboardfocus.h"
#include "support/testsupport.h"
#include "support/testworld.h"
#include "toolkit/scrollandtabs.h"

using namespace PowerDialogTesting;

namespace {

struct RebuildRequest
{
    PowerStep* focus;
    int tab, hit, miss, effect;
    bool replaced, tabOnly;
};

// Records what the editor asks of its owner and rebuilds nothing.
class RecordingOwner : public PowerEditInterface
{
public:
    void rebuildDialog(PowerStep* focus, Power::StepType tab, int hit, int miss, int effect, bool replaced,
        bool tabOnly) override
    {
        rebuilds.append({focus, tab, hit, miss, effect, replaced, tabOnly});
    }
    void powerStepChanged(PowerStep* step) override { changes.append(step); }
    void stepsReshaped(PowerStep* focus) override { reshapes.append(focus); }

    QList<RebuildRequest> rebuilds;
    QList<PowerStep*> changes;
    QList<PowerStep*> reshapes;
};

// Replaces its editor when it rebuilds, as the power dialog does for another
// origin: a new one in its place, the old one released later.
class RebuildingOwner : public QWidget, public PowerEditInterface
{
public:
    RebuildingOwner(EffectCreatures* creatures, CreaturePower* power) : creatures(creatures), power(power)
    {
        editor = new PowerWidget(this, creatures, power, false, Power::Hit, 0, 0, 0);
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(editor);
    }

    void rebuildDialog(PowerStep* focus, Power::StepType tab, int hit, int miss, int effect, bool,
        bool tabOnly) override
    {
        if (!tabOnly) {
            creatures->resetControls();
            PowerWidget* old = editor;
            editor = new PowerWidget(this, creatures, power, false, tab, hit, miss, effect);
            delete layout()->replaceWidget(old, editor);
            old->hide();
            old->deleteLater();
            editor->scrollTo(hit, miss, effect);
        }
        if (focus)
            focus->setDefaultFocus();
    }
    void powerStepChanged(PowerStep* step) override { changes.append(step); }
    void stepsReshaped(PowerStep* focus) override
    {
        if (focus)
            focus->setDefaultFocus();
    }

    PowerWidget* editor;
    QList<PowerStep*> changes;

private:
    EffectCreatures* creatures;
    CreaturePower* power;
};

// The rows of a page, top to bottom as laid out.
QList<QFrame*> rows(PowerWidget* editor, Power::StepType type)
{
    auto* area = qobject_cast<QScrollArea*>(editor->getTabWidget()->widget(type));
    QList<QFrame*> found;
    for (int i = 0; QLayoutItem* item = area->widget()->layout()->itemAt(i); i++)
        if (auto* row = qobject_cast<QFrame*>(item->widget()))
            found << row;
    return found;
}

// The colour a row shows behind its fields.
QString rowColour(QFrame* row)
{
    return row->grab().toImage().pixelColor(1, 1).name();
}

// The colours of a page's rows, then of the page itself.
QStringList shownColours(PowerWidget* editor, Power::StepType type)
{
    QStringList shown;
    for (QFrame* row : rows(editor, type))
        shown << rowColour(row);
    auto* area = qobject_cast<QScrollArea*>(editor->getTabWidget()->widget(type));
    for (QWidget* page : {static_cast<QWidget*>(area), area->widget()}) {
        page->ensurePolished();
        shown << page->palette().color(page->backgroundRole()).name();
    }
    return shown;
}

QToolButton* rowButton(QFrame* row, const QString& tip)
{
    for (QToolButton* button : row->findChildren<QToolButton*>())
        if (button->toolTip() == tip)
            return button;
    return nullptr;
}

// The fields of a row a user can type into or click, in Tab order.
QList<QWidget*> fields(QFrame* row)
{
    QList<QWidget*> found;
    for (QWidget* widget : row->findChildren<QWidget*>()) {
        const bool input = qobject_cast<QAbstractSpinBox*>(widget) || qobject_cast<QComboBox*>(widget)
            || qobject_cast<QCheckBox*>(widget)
            || (qobject_cast<QLineEdit*>(widget) && !qobject_cast<QAbstractSpinBox*>(widget->parentWidget())
                && !qobject_cast<QComboBox*>(widget->parentWidget()));
        if (input && widget->isEnabled())
            found.append(widget);
    }
    return found;
}

template <class T>
T* field(QFrame* row, int index)
{
    QList<T*> typed;
    for (QWidget* widget : fields(row))
        if (auto* cast = qobject_cast<T*>(widget))
            typed.append(cast);
    return typed.value(index);
}

QString stepKinds(const CreaturePower& power, Power::StepType type)
{
    QStringList kinds;
    for (int i = 0; const PowerStep* step = power.program.getStep(i, type); i++)
        kinds << PowerStep::typeToText(step->type());
    return kinds.join(' ');
}

// The step lines of the program's text.
QStringList programLines(const CreaturePower& power)
{
    QStringList lines = QString::fromUtf8(power.getPowerProgram("\n", false)).split('\n', Qt::SkipEmptyParts);
    lines.removeFirst();
    return lines;
}

void typeInto(QWidget* widget, const QString& text)
{
    widget->setFocus();
    QTest::keyClick(widget, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(widget, text);
}

}

class TestPowerWidget : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestWorld> world;
    std::unique_ptr<EffectCreatures> creatures;
    CreaturePower power;
    RecordingOwner owner;
    std::unique_ptr<PowerWidget> editor;

    PowerWidget* show(Power::StepType tab = Power::Hit, bool isAction = false)
    {
        editor = std::make_unique<PowerWidget>(&owner, creatures.get(), &power, isAction, tab, 0, 0, 0);
        editor->resize(700, 500);
        KeyboardFocus::activate(editor.get());
        return editor.get();
    }

    void addSteps(Power::StepType type, std::initializer_list<PowerStep::Type> kinds)
    {
        for (PowerStep::Type kind : kinds)
            power.program.addStep(kind, type);
    }

private slots:
    void init()
    {
        world = std::make_unique<TestWorld>();
        Creature* goblin = world->addMonster("Goblin", "1", 20);
        Global::encounter->setCreatureList(CreatureList({goblin}));
        power = CreaturePower();
        power.name = "Claw";
        creatures = std::make_unique<EffectCreatures>(false, goblin, "Claw", QString(), QList<Creature*>(),
            QList<Creature*>(), nullptr);
        owner = RecordingOwner();
    }

    void cleanup()
    {
        editor.reset();
        creatures.reset();
        power = CreaturePower();
        world.reset();
    }

    // One style sheet at the editor's root; rows and pages take their colours by their places.
    void colours()
    {
        addSteps(Power::Hit, {PowerStep::Healing, PowerStep::Damage, PowerStep::UseResource});
        addSteps(Power::Effect, {PowerStep::Damage});
        show();
        QCOMPARE(shownColours(editor.get(), Power::Hit), QStringList({"#fcfcfc", "#eef3fe", "#fcfcfc", "#eef3fe", "#eef3fe"}));
        QCOMPARE(shownColours(editor.get(), Power::Miss), QStringList({"#fcfcfc", "#fcfcfc"}));
        QCOMPARE(shownColours(editor.get(), Power::Effect), QStringList({"#fcfcfc", "#eef3fe", "#eef3fe"}));
        QStringList sheets;
        for (QWidget* widget : editor->findChildren<QWidget*>())
            if (!widget->styleSheet().isEmpty())
                sheets << widget->metaObject()->className();
        QVERIFY2(sheets.isEmpty(), qPrintable(sheets.join(", ")));
    }

    void disablesMovesAtTheEnds()
    {
        addSteps(Power::Hit, {PowerStep::Healing, PowerStep::Damage, PowerStep::UseResource});
        addSteps(Power::Miss, {PowerStep::Damage});
        show();
        QStringList states;
        for (int type : {Power::Hit, Power::Miss})
            for (QFrame* row : rows(editor.get(), Power::StepType(type)))
                states << QString("%1%2").arg(rowButton(row, "Move effect up")->isEnabled())
                              .arg(rowButton(row, "Move effect down")->isEnabled());
        QCOMPARE(states, QStringList({"01", "11", "10", "00"}));
    }

    void addsEachKind_data()
    {
        QTest::addColumn<int>("kind");
        for (int kind = PowerStep::Healing; kind <= PowerStep::EndCondition; kind++)
            QTest::newRow(qPrintable(PowerStep::typeToText(PowerStep::Type(kind)))) << kind;
    }

    // On the Miss tab, with the Hit page scrolled: the new step ends the Miss
    // list, its one row added in place at the page's end; the Hit page stays scrolled.
    void addsEachKind()
    {
        QFETCH(int, kind);
        for (int i = 0; i < 12; i++)
            addSteps(Power::Hit, {PowerStep::Healing});
        addSteps(Power::Miss, {PowerStep::Damage});
        show(Power::Miss);
        editor->scrollTo(40, 0, 0);
        auto* hitArea = qobject_cast<QScrollArea*>(editor->getTabWidget()->widget(Power::Hit));
        const int hitScroll = hitArea->verticalScrollBar()->value();
        QVERIFY(hitScroll > 0);
        const QList<QFrame*> before = rows(editor.get(), Power::Miss);
        QTest::mouseClick(editor->getAddButton(kind), Qt::LeftButton);
        QCOMPARE(stepKinds(power, Power::Miss), "damage " + PowerStep::typeToText(PowerStep::Type(kind)));
        QVERIFY(owner.rebuilds.isEmpty());
        QCOMPARE(owner.reshapes, QList<PowerStep*>({power.program.getStep(1, Power::Miss)}));
        const QList<QFrame*> after = rows(editor.get(), Power::Miss);
        QCOMPARE(after.size(), 2);
        QCOMPARE(after.first(), before.first());
        QCOMPARE(shownColours(editor.get(), Power::Miss), QStringList({"#fcfcfc", "#eef3fe", "#fcfcfc", "#fcfcfc"}));
        QCOMPARE(hitArea->verticalScrollBar()->value(), hitScroll);
        QScrollBar* missBar = qobject_cast<QScrollArea*>(editor->getTabWidget()->widget(Power::Miss))->verticalScrollBar();
        QCOMPARE(missBar->value(), missBar->maximum());
    }

    // Each move and removal changes the one row in place: colours and the move buttons follow the places.
    void movesAndRemoves()
    {
        addSteps(Power::Hit, {PowerStep::Healing, PowerStep::Damage, PowerStep::UseResource});
        PowerStep* healing = power.program.getStep(0, Power::Hit);
        PowerStep* damage = power.program.getStep(1, Power::Hit);
        show();
        const QList<QFrame*> made = rows(editor.get(), Power::Hit);
        QTest::mouseClick(rowButton(made[1], "Move effect up"), Qt::LeftButton);
        QCOMPARE(stepKinds(power, Power::Hit), "damage healing use-resource");
        QCOMPARE(rows(editor.get(), Power::Hit), QList<QFrame*>({made[1], made[0], made[2]}));
        QTest::mouseClick(rowButton(made[0], "Move effect down"), Qt::LeftButton);
        QCOMPARE(stepKinds(power, Power::Hit), "damage use-resource healing");
        QCOMPARE(rows(editor.get(), Power::Hit), QList<QFrame*>({made[1], made[2], made[0]}));
        QPointer<QFrame> removed = made[1];
        QTest::mouseClick(rowButton(made[1], "Remove effect"), Qt::LeftButton);
        QCOMPARE(stepKinds(power, Power::Hit), "use-resource healing");
        QCOMPARE(rows(editor.get(), Power::Hit), QList<QFrame*>({made[2], made[0]}));
        QTRY_VERIFY(!removed);
        QCOMPARE(shownColours(editor.get(), Power::Hit), QStringList({"#fcfcfc", "#eef3fe", "#fcfcfc", "#fcfcfc"}));
        QStringList states;
        for (QFrame* row : rows(editor.get(), Power::Hit))
            states << QString("%1%2").arg(rowButton(row, "Move effect up")->isEnabled())
                          .arg(rowButton(row, "Move effect down")->isEnabled());
        QCOMPARE(states, QStringList({"01", "10"}));
        QVERIFY(owner.rebuilds.isEmpty());
        QCOMPARE(owner.reshapes, QList<PowerStep*>({damage, healing, nullptr}));
    }

    void changedInPlaceLooksBuilt_data()
    {
        QTest::addColumn<QString>("change");
        QTest::newRow("added") << "added";
        QTest::newRow("moved") << "moved";
        QTest::newRow("removed") << "removed";
    }

    // A row added, moved or removed in place shows the page as an editor built with the changed program would.
    void changedInPlaceLooksBuilt()
    {
        QFETCH(QString, change);
        addSteps(Power::Hit, {PowerStep::Healing, PowerStep::Damage, PowerStep::Condition});
        const auto page = [this] {
            QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
            QCoreApplication::processEvents();
            if (QWidget* focus = QApplication::focusWidget())
                focus->clearFocus();
            return editor->getTabWidget()->currentWidget()->grab().toImage();
        };
        show();
        const QImage before = page();
        const QList<QFrame*> shown = rows(editor.get(), Power::Hit);
        if (change == "added")
            QTest::mouseClick(editor->getAddButton(PowerStep::Bonus), Qt::LeftButton);
        else if (change == "moved")
            QTest::mouseClick(rowButton(shown[2], "Move effect up"), Qt::LeftButton);
        else
            QTest::mouseClick(rowButton(shown[0], "Remove effect"), Qt::LeftButton);
        QCOMPARE(owner.reshapes.size(), 1);
        const QImage changed = page();
        QVERIFY(changed != before);
        show();
        QVERIFY(page() == changed);
    }

    // Choosing the first tab is no change; another tab is reported as a tab-only change.
    void reportsTabChanges()
    {
        addSteps(Power::Miss, {PowerStep::Damage});
        show(Power::Effect);
        QVERIFY(owner.rebuilds.isEmpty());
        QTabBar* bar = editor->getTabWidget()->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(Power::Hit).center());
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(Power::Miss).center());
        QCOMPARE(owner.rebuilds.size(), 2);
        QCOMPARE(owner.rebuilds[0].focus, nullptr);
        QCOMPARE(owner.rebuilds[1].focus, power.program.getStep(0, Power::Miss));
        QCOMPARE(owner.rebuilds[1].tab, int(Power::Miss));
        QVERIFY(owner.rebuilds[0].tabOnly && owner.rebuilds[1].tabOnly);
    }

    void nextTabKey_data()
    {
        QTest::addColumn<int>("tab");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<bool>("used");
        QTest::addColumn<int>("after");
        QTest::newRow("hit") << 0 << int(Qt::ControlModifier) << true << 1;
        QTest::newRow("effect wraps") << 2 << int(Qt::ControlModifier) << true << 0;
        QTest::newRow("with shift") << 2 << int(Qt::ControlModifier | Qt::ShiftModifier) << false << 2;
        QTest::newRow("plain") << 2 << int(Qt::NoModifier) << false << 2;
    }

    void nextTabKey()
    {
        QFETCH(int, tab);
        QFETCH(int, modifiers);
        QFETCH(bool, used);
        QFETCH(int, after);
        show(Power::StepType(tab));
        QCOMPARE(editor->keyPressed(Qt::Key_I, Qt::KeyboardModifiers(modifiers)), used);
        QCOMPARE(int(editor->getStepType()), after);
        QCOMPARE(owner.rebuilds.size(), used ? 1 : 0);
    }

    void header_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("isAction");
        QTest::addColumn<QString>("flavor");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("after");
        QTest::newRow("no name") << "" << false << "" << "" << "";
        QTest::newRow("action") << "Sprint" << true << "" << "Action" << "<br>One<br>Two";
        QTest::newRow("flavour") << "Claw" << false << "Sharp." << "Power" << "<br><i>Sharp.</i><br>One<br>Two";
    }

    void header()
    {
        QFETCH(QString, name);
        QFETCH(bool, isAction);
        QFETCH(QString, flavor);
        QFETCH(QString, title);
        QFETCH(QString, after);
        power.name = name;
        power.current.flavor = flavor;
        power.current.description = QStringList({"One", "Two"});
        show(Power::Hit, isAction);
        auto* box = editor->findChild<QGroupBox*>();
        QCOMPARE(box->isVisible(), !name.isEmpty());
        if (name.isEmpty())
            return;
        QCOMPARE(box->title(), title);
        QCOMPARE(box->findChild<QLabel*>()->text(), power.getTitleText(false, false) + after);
        QVERIFY(box->findChild<QPushButton*>());
    }

    // Each add key works with the focus in each kind of step field: line
    // edits take some of them for their own editing otherwise.
    void addStepKeysPassTheFields()
    {
        addSteps(Power::Hit, {PowerStep::Healing, PowerStep::Damage, PowerStep::Condition, PowerStep::OnGoing,
                                 PowerStep::Bonus, PowerStep::Resistance, PowerStep::UseResource,
                                 PowerStep::EndCondition});
        show();
        QStringList missed;
        int tried = 0;
        for (QFrame* row : rows(editor.get(), Power::Hit)) {
            for (QWidget* input : fields(row)) {
                for (int kind = PowerStep::Healing; kind <= PowerStep::EndCondition; kind++) {
                    input->setFocus();
                    const QKeySequence keys(stepKindInfo(kind)->shortcut);
                    const int requests = owner.reshapes.size();
                    KeyboardFocus::press(editor.get(), keys);
                    // A button's shortcut clicks it a moment later.
                    (void)QTest::qWaitFor([&] { return owner.reshapes.size() > requests; }, 1000);
                    const int count = power.program.getStepCount(Power::Hit);
                    const PowerStep* last = power.program.getStep(count - 1, Power::Hit);
                    if (owner.reshapes.size() != requests + 1 || last->type() != kind)
                        missed << QString("%1 in %2").arg(keys.toString(), input->metaObject()->className());
                    tried++;
                }
            }
        }
        QVERIFY2(missed.isEmpty(), qPrintable(missed.join(", ")));
        // Every kind's row has at least one field.
        QVERIFY(tried >= 8 * 8);
    }

    // Removal by the step's own button while a field of its row has the
    // focus: the step and its row go after the click; the editor stays.
    void removesTheLastStepByItsOwnButton()
    {
        addSteps(Power::Hit, {PowerStep::Damage});
        RebuildingOwner rebuilding(creatures.get(), &power);
        rebuilding.show();
        PowerWidget* shown = rebuilding.editor;
        QPointer<QFrame> row = rows(shown, Power::Hit).first();
        QPointer<QObject> stepEditor = dynamic_cast<QObject*>(power.program.getStep(0, Power::Hit)->getEditor());
        field<QLineEdit>(row, 0)->setFocus();
        QTest::mouseClick(rowButton(row, "Remove effect"), Qt::LeftButton);
        QCOMPARE(power.program.getStepCount(Power::Hit), 0);
        QTRY_VERIFY(!row && !stepEditor);
        QCOMPARE(rebuilding.editor, shown);
        QVERIFY(rows(shown, Power::Hit).isEmpty());
        QVERIFY(rebuilding.changes.isEmpty());
    }

    // The removed step and its row go once the click has returned; nothing
    // reaches the owner on the way, nor do the pickers' buttons of an editor that is gone.
    void oldRowsOutliveTheirStep()
    {
        addSteps(Power::Hit, {PowerStep::Healing});
        show();
        QPointer<QObject> stepEditor = dynamic_cast<QObject*>(power.program.getStep(0, Power::Hit)->getEditor());
        QVERIFY(stepEditor);
        QFrame* row = rows(editor.get(), Power::Hit).first();
        QPointer<QSpinBox> box = field<QSpinBox>(row, 0);
        box->setFocus();
        QTest::mouseClick(rowButton(row, "Remove effect"), Qt::LeftButton);
        QVERIFY(stepEditor && box);
        QTRY_VERIFY(!stepEditor && !box);
        QVERIFY(owner.changes.isEmpty());
        editor.reset();
        creatures->selectPowerOrAction();
    }

    // The owners focus a step after a rebuild: its row's first field, as shown.
    void focusesTheFirstField()
    {
        for (int kind = PowerStep::Healing; kind <= PowerStep::EndCondition; kind++)
            addSteps(Power::Hit, {PowerStep::Type(kind)});
        show();
        const QList<QFrame*> shown = rows(editor.get(), Power::Hit);
        for (int i = 0; i < shown.size(); i++) {
            power.program.getStep(i, Power::Hit)->setDefaultFocus();
            VERIFY_FOCUS(fields(shown[i]).first());
            QVERIFY(power.program.getStep(i, Power::Hit)->hasFocus());
        }
    }

    void tabOrderHoldsEveryField()
    {
        addSteps(Power::Hit, {PowerStep::Damage, PowerStep::Condition});
        addSteps(Power::Effect, {PowerStep::Bonus});
        show();
        TabHandler handler;
        editor->setTabOrder(&handler);
        for (int type : {Power::Hit, Power::Effect})
            for (QFrame* row : rows(editor.get(), Power::StepType(type)))
                for (QWidget* input : fields(row))
                    QVERIFY2(handler.contains(input), input->metaObject()->className());
    }

    // Edits reach the step once each; a step added keeps the rows there; after
    // the owner's rebuild only the new row writes.
    void editsThenRebuilds()
    {
        addSteps(Power::Hit, {PowerStep::Healing});
        auto* healing = static_cast<HealingStep*>(power.program.getStep(0, Power::Hit));
        RebuildingOwner rebuilding(creatures.get(), &power);
        rebuilding.show();
        QPointer<QSpinBox> oldBox = field<QSpinBox>(rows(rebuilding.editor, Power::Hit).first(), 0);
        typeInto(oldBox, "7");
        QCOMPARE(healing->hitPoints, 7);
        QCOMPARE(rebuilding.changes, QList<PowerStep*>({healing}));
        QTest::mouseClick(rebuilding.editor->getAddButton(PowerStep::Damage), Qt::LeftButton);
        QCOMPARE(field<QSpinBox>(rows(rebuilding.editor, Power::Hit).first(), 0), oldBox.data());
        rebuilding.rebuildDialog(nullptr, Power::Hit, 0, 0, 0, false, false);
        QSpinBox* newBox = field<QSpinBox>(rows(rebuilding.editor, Power::Hit).first(), 0);
        QCOMPARE(newBox->value(), 7);
        oldBox->setValue(3);
        QCOMPARE(healing->hitPoints, 7);
        typeInto(newBox, "12");
        QCOMPARE(healing->hitPoints, 12);
        QCOMPARE(rebuilding.changes.size(), 3);
        QTRY_VERIFY(!oldBox);
    }

    void showsRolledDice()
    {
        addSteps(Power::Hit, {PowerStep::Damage});
        auto* damage = static_cast<DamageStep*>(power.program.getStep(0, Power::Hit));
        damage->dice = "9";
        show();
        power.setup(true);
        QCOMPARE(field<QSpinBox>(rows(editor.get(), Power::Hit).first(), 0)->value(), 9);
        QVERIFY(owner.changes.isEmpty());
    }

    // Each row driven by the keyboard and mouse: a change of the step per
    // field edit, its text read back equal, and the events the power records
    // with it. "spin:N=V" types into the Nth spin box, "line:N=T" into the Nth
    // line edit, "combo:N=V" chooses the value in the Nth combo box, "check:N" clicks.
    void rowsEditTheirSteps_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("edits");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QStringList>("events");
        QTest::newRow("healing") << int(PowerStep::Healing) << "spin:0=7 spin:1=2 spin:2=5 check:0"
            << QStringList{"hit-step=healing", "heal=7", "surges=2", "temp-hp=5", "stabilize=yes"}
            << QStringList{"Goblin (1) -> Healed 7 (+2 HS): Ana", "Gained Temporary HP 5: Ana"};
        QTest::newRow("damage") << int(PowerStep::Damage) << "line:0=2d6+1 spin:0=9 line:1=fire check:0"
            << QStringList{"hit-step=damage", "dice=2d6+1", "damage=9", "damage-type=fire", "per-target=yes"}
            << QStringList{"Goblin (1) -> Damaged 9 (fire): Ana"};
        QTest::newRow("condition") << int(PowerStep::Condition)
            << QString("combo:0=%1 line:0=sleepy").arg(CE::Dazed)
            << QStringList{"hit-step=condition", "condition=dazed", "comment=sleepy"}
            << QStringList{"Goblin (1) -> Dazed (sleepy): Ana"};
        QTest::newRow("ongoing") << int(PowerStep::OnGoing)
            << QString("combo:0=%1 spin:0=5 line:0=acid check:0").arg(CE::OnGoingDamage)
            << QStringList{"hit-step=ongoing", "amount=-5", "damage-type=acid", "prompt=yes"}
            << QStringList{"Goblin (1) -> Ongoing 5 Damage (acid): Ana"};
        QTest::newRow("bonus") << int(PowerStep::Bonus)
            << QString("combo:0=%1 spin:0=2 check:0 check:3").arg(CE::Penalty)
            << QStringList{"hit-step=bonus", "amount=-2", "attributes=armor-class,will"}
            << QStringList{"Goblin (1) -> -2 to AC, Will: Ana"};
        QTest::newRow("resistance") << int(PowerStep::Resistance)
            << QString("combo:0=%1 spin:0=5 line:0=cold").arg(CE::Resistance)
            << QStringList{"hit-step=resistance", "amount=5", "damage-type=cold"}
            << QStringList{"Goblin (1) -> Resist 5 (cold): Ana"};
        QTest::newRow("second wind") << int(PowerStep::UseResource) << "combo:0=1 combo:1=1"
            << QStringList{"hit-step=use-resource", "resource=second-wind", "amount=1"}
            << QStringList{"Gain Second Wind: Ana"};
        QTest::newRow("action points") << int(PowerStep::UseResource) << "combo:1=-10000"
            << QStringList{"hit-step=use-resource", "amount=-10000"} << QStringList{"Lose all Action Points: Ana"};
        QTest::newRow("end condition") << int(PowerStep::EndCondition)
            << QString("combo:0=%1 check:0").arg(CE::SaveEnds)
            << QStringList{"hit-step=end-condition", "end-condition=save-end", "sustainable=yes"} << QStringList{};
    }

    void rowsEditTheirSteps()
    {
        QFETCH(int, kind);
        QFETCH(QString, edits);
        QFETCH(QStringList, lines);
        QFETCH(QStringList, events);
        Creature* hero = world->addHero("Ana", 40);
        Global::encounter->setCreatureList(CreatureList({creatures->getOrigin(), hero}));
        addSteps(Power::Hit, {PowerStep::Type(kind)});
        show();
        QFrame* row = rows(editor.get(), Power::Hit).first();
        for (const QString& edit : edits.split(' ')) {
            const QString what = edit.section(':', 0, 0);
            const int index = edit.section(':', 1).section('=', 0, 0).toInt();
            const QString value = edit.section('=', 1);
            const int before = owner.changes.size();
            if (what == "spin")
                typeInto(field<QSpinBox>(row, index), value);
            else if (what == "line")
                typeInto(field<QLineEdit>(row, index), value);
            else if (what == "combo")
                choose(field<QComboBox>(row, index), value.toInt());
            else
                QTest::mouseClick(field<QCheckBox>(row, index), Qt::LeftButton);
            // Typed fields change with each key; a choice or a click once.
            if (what == "combo" || what == "check")
                QCOMPARE(owner.changes.size(), before + 1);
            else
                QVERIFY2(owner.changes.size() >= before + 1, qPrintable(edit));
        }
        QCOMPARE(owner.changes.count(power.program.getStep(0, Power::Hit)), owner.changes.size());
        QCOMPARE(programLines(power), lines);

        CreaturePower read;
        AttrParser parser(power.getPowerProgram("\n", false), 0);
        parser.nextAttr();
        read.name = parser.attrValue();
        read.loadPower(parser);
        QCOMPARE(read.getPowerProgram("\n", false), power.getPowerProgram("\n", false));

        const int before = Global::history->getEventCount();
        QVERIFY(power.apply(creatures->getOrigin(), {hero}, Power::Hit, world->stream()));
        QStringList recorded;
        for (int i = before; i < Global::history->getEventCount(); i++)
            recorded << Global::history->getEvent(i)->getDescription(false);
        QCOMPARE(recorded, events);
    }
};

RAVELHORN_TEST_MAIN(QApplication, TestPowerWidget)
#include "uitest_powerwidget.moc"
