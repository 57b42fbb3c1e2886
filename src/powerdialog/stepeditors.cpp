#include "powerdialog/stepeditors.h"

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <memory>

#include "powerdialog/effectcontrols.h"
#include "powerdialog/goorder.h"
#include "powerdialog/multidamage.h"
#include "powerdialog/powerwidget.h"
#include "toolkit/dynamicwidgets.h"
#include "toolkit/inputwidgets.h"
#include "toolkit/scrollandtabs.h"
#include "toolkit/windowsanddialogs.h"

namespace {

// Indexed by PowerStep::Type.
const StepKindInfo stepKinds[] = {
    {"", "", "", 0},
    {QT_TRANSLATE_NOOP("PowerWidget", "Add Healing"), "Ctrl+L",
        QT_TRANSLATE_NOOP("PowerWidget", "Add Healing, Temporary Hit Points and use Healing Surges"), 4},
    {QT_TRANSLATE_NOOP("PowerWidget", "Add Damage"), "Ctrl+D",
        QT_TRANSLATE_NOOP("PowerWidget", "Add Damage, roll damage dice (for monsters) and specify damage type"), 0},
    {QT_TRANSLATE_NOOP("PowerWidget", "Add Condition"), "Ctrl+N",
        QT_TRANSLATE_NOOP("PowerWidget", "Add standard Condition and/or specify custom condition text"), 1},
    {QT_TRANSLATE_NOOP("PowerWidget", "Damage/Regeneration"), "Ctrl+O",
        QT_TRANSLATE_NOOP("PowerWidget", "Add Ongoing Damage or Regeneration"), 2},
    {QT_TRANSLATE_NOOP("PowerWidget", "Bonus/Penalty"), "Ctrl+B",
        QT_TRANSLATE_NOOP("PowerWidget", "Add Bonus or Penalty to hit, damage, defenses, etc."), 3},
    {QT_TRANSLATE_NOOP("PowerWidget", "Resist/Vulnerable"), "Ctrl+R",
        QT_TRANSLATE_NOOP("PowerWidget", "Add Resistance or Vulnerabilty to certain damage types"), 5},
    {QT_TRANSLATE_NOOP("PowerWidget", "Use Resource"), "Ctrl+U",
        QT_TRANSLATE_NOOP("PowerWidget", "Add the use of an Action Point or Second Wind"), 6},
    {QT_TRANSLATE_NOOP("PowerWidget", "End Condition"), "Ctrl+E",
        QT_TRANSLATE_NOOP("PowerWidget", "Add an End Condition for the effects listed above"), 7},
};

const int hitPointLimit = 500;

// Line edits take some of the add buttons' keys for their own editing
// (Ctrl+E, Ctrl+U); in a step's fields the buttons win.
class AddStepKeyPass : public QObject
{
public:
    using QObject::QObject;

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::ShortcutOverride) {
            auto* key = static_cast<QKeyEvent*>(event);
            if (StepKindInfo::isAddStepKey(key->key(), key->modifiers())) {
                event->ignore();
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }
};

// Carries the changes of one row's effect controls to its step.
class ControlRelay : public QObject, public EffectInterface
{
public:
    ControlRelay(StepEditor* editor, int row, std::function<void()> write, QObject* parent)
        : QObject(parent), editor(editor), row(row), write(std::move(write))
    {
    }

    void effectControlChanged(What what) override
    {
        if (!editor || !editor->isLatestRow(row))
            return;
        write();
        editor->effectControlChanged(what);
    }

private:
    QPointer<StepEditor> editor;
    int row;
    std::function<void()> write;
};

QLabel* fieldLabel(const QString& text)
{
    return WindowsAndDialogs::htmlLabel(text);
}

// Labels and fields in a line, then a stretch.
QHBoxLayout* fillRow(QHBoxLayout* layout, const QList<QWidget*>& widgets)
{
    layout->setContentsMargins(0, 0, 0, 0);
    for (QWidget* widget : widgets)
        layout->addWidget(widget);
    layout->addStretch(1);
    return layout;
}

// An effect control of the row, living with its layout; write takes its values into the step.
template <class Control, class... Arguments>
Control* rowControl(StepEditor& editor, QObject* row, const std::function<void(Control*)>& write,
    Arguments... arguments)
{
    // The owner is made first: the control is handed to it once made.
    auto made = std::make_shared<Control*>(nullptr);
    auto* control = new Control(editor.controlOwner(row, [made, write] { write(*made); }), arguments...);
    *made = control;
    control->setParent(row);
    return control;
}

QLayout* healingFields(StepEditor& editor, HealingStep& step)
{
    // Made in Tab order.
    QSpinBox* hitPoints = editor.numberField(step.hitPoints, 0, hitPointLimit);
    QSpinBox* surges = editor.numberField(step.surges, -10, 10);
    surges->setToolTip(StepEditor::tr("Healing surges regained; below 0, surges spent, each healing by the "
                                      "target's surge value"));
    QSpinBox* tempHitPoints = editor.numberField(step.tempHitPoints, 0, hitPointLimit);
    editor.onGoOrder([&step, hitPoints = QPointer<QSpinBox>(hitPoints)](GoHandler* handler) {
        if (hitPoints)
            handler->addWidget(&step, hitPoints, GoItem::Healing);
    });
    return fillRow(new QHBoxLayout, {fieldLabel(StepEditor::tr("HP")), hitPoints, fieldLabel(StepEditor::tr("Surges")),
        surges, fieldLabel(StepEditor::tr("Temp HP")), tempHitPoints,
        editor.flagField(step.stabilize, StepEditor::tr("Stabilize"))});
}

// The damage, and under it one row per creature of the step's list while per target.
QLayout* damageFields(StepEditor& editor, DamageStep& step, EffectCreatures* creatures)
{
    auto* dice = new QLineEdit;
    dice->setPlaceholderText(StepEditor::tr("2d6+3"));
    dice->setToolTip(
        StepEditor::tr("The damage dice, rolled into the damage as they are typed and each time the power is used"));
    // Made after the dice, which come first in Tab order.
    struct Shown
    {
        QPointer<QSpinBox> damage;
        QPointer<MultiDamage> rows;
    };
    auto shown = std::make_shared<Shown>();
    // Typed dice roll at once: the damage shows the roll, and may still be overwritten.
    QLineEdit* diceField = editor.textField(step.dice, dice, [&step, shown] {
        step.rollDice();
        if (shown->damage) {
            const QSignalBlocker blocker(shown->damage.data());
            shown->damage->setValue(step.damage);
        }
        if (shown->rows)
            shown->rows->refresh();
    });
    QSpinBox* damage = editor.numberField(step.damage, 0, hitPointLimit);
    shown->damage = damage;
    QLineEdit* damageType = editor.textField(step.damageType, new DamageType);
    // The rows come or go before the step tells of its change: the guided order counts them.
    QCheckBox* perTarget = editor.flagField(step.perTarget, StepEditor::tr("Per target"), [shown] {
        if (shown->rows)
            shown->rows->refresh();
    });
    QPointer<MultiDamage> rows =
        new MultiDamage(&step, creatures, damage, [&editor, &step](QSpinBox* box, Creature* creature) {
            editor.onChange(box, &QSpinBox::valueChanged, [&step, box, creature] {
                step.targetDamage.insert(creature, box->value());
            });
        });
    shown->rows = rows;
    // The rows' boxes are the step's fields, as many as there are rows now.
    editor.addInputs(rows, [rows] { return rows ? rows->fields() : QList<QWidget*>(); });
    editor.onShow([rows] {
        if (rows)
            rows->refresh();
    });
    // Per target, the first row is the stop; the others follow it.
    editor.onGoOrder([&step, rows, damage = QPointer<QSpinBox>(damage)](GoHandler* handler) {
        if (QSpinBox* first = rows ? rows->firstBox() : nullptr)
            handler->addWidget(&step, first, GoItem::DamagePerTarget);
        else if (damage)
            handler->addWidget(&step, damage, GoItem::Damage);
    });
    auto* layout = new QVBoxLayout;
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(fillRow(new QHBoxLayout, {fieldLabel(StepEditor::tr("Dice")), diceField,
        fieldLabel(StepEditor::tr("Damage")), damage, fieldLabel(StepEditor::tr("Type")), damageType, perTarget}));
    layout->addWidget(rows);
    return layout;
}

// The amount codes a resource takes; a stored code of its own is offered as its number.
void fillAmounts(DisableComboBox* amount, const UseResourceStep& step)
{
    const QSignalBlocker blocker(amount);
    amount->clear();
    if (step.resource == UseResourceStep::SecondWind) {
        amount->addItem(StepEditor::tr("Use"), -1);
        amount->addItem(StepEditor::tr("Regain"), 1);
    } else {
        amount->addItem(StepEditor::tr("Use 1"), -1);
        amount->addItem(StepEditor::tr("Use 2"), -2);
        amount->addItem(StepEditor::tr("Gain 1"), 1);
        amount->addItem(StepEditor::tr("Gain 2"), 2);
        amount->addItem(StepEditor::tr("Lose All"), -10000);
        amount->addItem(StepEditor::tr("Reset"), 10000);
    }
    if (!amount->setCurrentUserValue(step.amount)) {
        amount->addItem(QString::number(step.amount), step.amount);
        amount->setCurrentIndex(amount->count() - 1);
    }
}

QLayout* useResourceFields(StepEditor& editor, UseResourceStep& step)
{
    auto* resource = new DisableComboBox;
    resource->addItem(StepEditor::tr("Action Point"), UseResourceStep::ActionPoint);
    resource->addItem(StepEditor::tr("Second Wind"), UseResourceStep::SecondWind);
    auto* amount = new DisableComboBox;
    editor.onChange(resource, qOverload<int>(&QComboBox::activated), [resource, amount, &step] {
        step.resource = UseResourceStep::Resource(resource->getCurrentUserValue());
        step.amount = -1;
        fillAmounts(amount, step);
    });
    editor.onChange(amount, qOverload<int>(&QComboBox::activated),
        [amount, &step] { step.amount = amount->getCurrentUserValue(); });
    editor.addInput(resource);
    editor.addInput(amount);
    editor.onShow([resource = QPointer(resource), amount = QPointer(amount), &step] {
        const QSignalBlocker blocker(resource);
        resource->setCurrentUserValue(step.resource);
        fillAmounts(amount, step);
    });
    return fillRow(new QHBoxLayout, {resource, amount});
}

QLayout* conditionFields(StepEditor& editor, ConditionStep& step)
{
    auto* layout = new QHBoxLayout;
    auto* control = rowControl<EffectCondition>(editor, layout, [&step](EffectCondition* c) {
        step.condition = c->getConditionApplied();
        step.comment = c->getComment();
    }, nullptr);
    control->setupControls();
    editor.addInput(control->getConditionCombo());
    editor.addInput(control->getCommentEdit());
    editor.onShow([control = QPointer(control), &step] { control->setCondition(step.condition, step.comment); });
    fillRow(layout, {control->getConditionCombo(), control->getCommentEdit()});
    layout->setStretch(1, 1);
    return layout;
}

// The kind and amount of a signed effect, before the row's other fields.
void addSignedEffect(StepEditor& editor, SignedEffect* control, int& amount)
{
    editor.addInput(control->getTypeCombo());
    editor.addInput(control->getAmountBox());
    editor.onShow([control = QPointer(control), &amount] { control->setSignedAmount(amount); });
}

QLayout* onGoingFields(StepEditor& editor, OnGoingStep& step)
{
    auto* layout = new QHBoxLayout;
    auto* control = rowControl<EffectOngoing>(editor, layout,
        [&step](EffectOngoing* c) { step.amount = c->getOngoingAmount(); }, nullptr);
    control->setupControls();
    addSignedEffect(editor, control, step.amount);
    QLineEdit* damageType = editor.textField(step.damageType, new DamageType);
    QCheckBox* prompt = editor.flagField(step.prompt, StepEditor::tr("Prompt"));
    prompt->setToolTip(StepEditor::tr("Ask for the amount each time the effect applies"));
    return fillRow(layout, {control->getTypeCombo(), control->getAmountBox(), fieldLabel(StepEditor::tr("Type")),
        damageType, prompt});
}

QLayout* bonusFields(StepEditor& editor, BonusStep& step)
{
    auto* layout = new QVBoxLayout;
    layout->setContentsMargins(0, 0, 0, 0);
    auto* control = rowControl<EffectBonus>(editor, layout, [&step](EffectBonus* c) {
        step.amount = c->getEffectAmount();
        step.attributes = c->getEffectedAttributes();
    });
    control->setupControls(true);
    editor.addInput(control->getTypeCombo());
    editor.addInput(control->getAmountBox());
    QList<QWidget*> ticks;
    for (int i = 0; i < EffectBonus::AttributeCount; i++) {
        CheckboxLabel* label = control->getAttributeLabel(EffectBonus::Attribute(i));
        editor.addInput(label->getCheckBox());
        ticks << label->getCheckBox() << label;
    }
    editor.onShow([control = QPointer(control), &step] { control->setEffect(step.amount, step.attributes); });
    layout->addLayout(fillRow(new QHBoxLayout, {control->getTypeCombo(), control->getAmountBox(),
        control->getAllDefensesButton(), control->getHitAndDamageButton()}));
    layout->addLayout(fillRow(new QHBoxLayout, ticks));
    return layout;
}

QLayout* resistanceFields(StepEditor& editor, ResistanceStep& step)
{
    auto* layout = new QHBoxLayout;
    auto* control = rowControl<EffectResistance>(editor, layout,
        [&step](EffectResistance* c) { step.amount = c->getResVulAmount(); });
    control->setupControls();
    addSignedEffect(editor, control, step.amount);
    return fillRow(layout, {control->getTypeCombo(), control->getAmountBox(), fieldLabel(StepEditor::tr("Type")),
        editor.textField(step.damageType, new DamageType)});
}

QLayout* endConditionFields(StepEditor& editor, EndConditionStep& step, EffectCreatures* creatures)
{
    auto* layout = new QHBoxLayout;
    auto* control = rowControl<EndCondition>(editor, layout,
        [&step](EndCondition* c) { step.endCondition = c->getEndConditionApplied(); }, nullptr, false);
    control->setupControls(creatures);
    editor.addInput(control->getEndConditionCombo());
    editor.onShow([control = QPointer(control), &step] { control->setEndCondition(step.endCondition); });
    return fillRow(layout,
        {control->getEndConditionCombo(), editor.flagField(step.sustainable, StepEditor::tr("Sustainable"))});
}

// The fields of a kind that take no creatures.
template <class Step>
StepEditor::FieldBuilder fields(Step* step, QLayout* (*build)(StepEditor&, Step&))
{
    return [step, build](StepEditor& editor, EffectCreatures*) { return build(editor, *step); };
}

PowerStepEditor* makeEditor(PowerStep* step)
{
    switch (step->type()) {
    case PowerStep::Healing: return new StepEditor(step, fields(static_cast<HealingStep*>(step), healingFields));
    case PowerStep::Damage: {
        auto* damage = static_cast<DamageStep*>(step);
        return new StepEditor(step, [damage](StepEditor& editor, EffectCreatures* creatures) {
            return damageFields(editor, *damage, creatures);
        });
    }
    case PowerStep::Condition: return new StepEditor(step, fields(static_cast<ConditionStep*>(step), conditionFields));
    case PowerStep::OnGoing: return new StepEditor(step, fields(static_cast<OnGoingStep*>(step), onGoingFields));
    case PowerStep::Bonus: return new StepEditor(step, fields(static_cast<BonusStep*>(step), bonusFields));
    case PowerStep::Resistance:
        return new StepEditor(step, fields(static_cast<ResistanceStep*>(step), resistanceFields));
    case PowerStep::UseResource:
        return new StepEditor(step, fields(static_cast<UseResourceStep*>(step), useResourceFields));
    case PowerStep::EndCondition: {
        auto* ending = static_cast<EndConditionStep*>(step);
        return new StepEditor(step, [ending](StepEditor& editor, EffectCreatures* creatures) {
            return endConditionFields(editor, *ending, creatures);
        });
    }
    }
    return nullptr;
}

}

QString StepKindInfo::title() const
{
    const QString text(buttonText);
    return PowerWidget::tr(buttonText + (text.startsWith("Add ") ? 4 : 0));
}

bool StepKindInfo::isAddStepKey(int key, Qt::KeyboardModifiers modifiers)
{
    const QKeyCombination typed(modifiers & ~Qt::KeypadModifier, Qt::Key(key));
    for (int kind = PowerStep::Healing; kind <= PowerStep::EndCondition; kind++)
        if (QKeySequence(stepKinds[kind].shortcut)[0] == typed)
            return true;
    return false;
}

const StepKindInfo* stepKindInfo(int kind)
{
    return kind >= PowerStep::Healing && kind <= PowerStep::EndCondition ? &stepKinds[kind] : nullptr;
}

DamageType::DamageType()
{
    setPlaceholderText(tr("fire"));
    setToolTip(tr("The damage type, such as fire or poison"));
}

EffectInterface* StepEditor::controlOwner(QObject* row, const std::function<void()>& write)
{
    return new ControlRelay(this, generation, write, row);
}

void StepEditor::install()
{
    PowerStep::setEditorFactory(makeEditor);
}

QSpinBox* StepEditor::numberField(int& value, int minimum, int maximum)
{
    QSpinBox* box = WindowsAndDialogs::digitBox(maximum, minimum);
    onChange(box, &QSpinBox::valueChanged, [box, &value] { value = box->value(); });
    addInput(box);
    onShow([box = QPointer(box), &value] {
        const QSignalBlocker blocker(box);
        box->setValue(value);
    });
    return box;
}

QCheckBox* StepEditor::flagField(bool& value, const QString& text, const std::function<void()>& written)
{
    auto* box = new QCheckBox(text);
    onChange(box, &QCheckBox::toggled, [box, &value, written] {
        value = box->isChecked();
        if (written)
            written();
    });
    addInput(box);
    onShow([box = QPointer(box), &value] {
        const QSignalBlocker blocker(box);
        box->setChecked(value);
    });
    return box;
}

QLineEdit* StepEditor::textField(QString& value, QLineEdit* edit, const std::function<void()>& written)
{
    onChange(edit, &QLineEdit::textEdited, [edit, &value, written] {
        value = edit->text();
        if (written)
            written();
    });
    addInput(edit);
    onShow([edit = QPointer(edit), &value] {
        const QSignalBlocker blocker(edit);
        edit->setText(value);
    });
    return edit;
}

void StepEditor::addInput(QWidget* input)
{
    rowInputs.append({input, nullptr});
}

void StepEditor::addInputs(QWidget* holder, const std::function<QList<QWidget*>()>& fields)
{
    rowInputs.append({holder, fields});
}

QList<QWidget*> StepEditor::inputs() const
{
    QList<QWidget*> present;
    for (const Input& input : rowInputs) {
        if (!input.holder)
            continue;
        if (input.fields)
            present.append(input.fields());
        else
            present.append(input.holder);
    }
    return present;
}

bool StepEditor::rowGone() const
{
    return std::any_of(rowInputs.begin(), rowInputs.end(), [](const Input& input) { return !input.holder; });
}

void StepEditor::showValues()
{
    // The shows of a row whose widgets went with it are skipped.
    if (rowGone())
        return;
    for (const std::function<void()>& show : std::as_const(shows))
        show();
}

QWidget* StepEditor::getStepHeader()
{
    const auto smallButton = [](const char* icon, const QString& tip) {
        QToolButton* button = WindowsAndDialogs::toolButton(QString(), 20, 20);
        button->setIcon(QIcon(icon));
        button->setToolTip(tip);
        button->setFocusPolicy(Qt::NoFocus);
        return button;
    };
    up = smallButton(":/images/up16.png", tr("Move effect up"));
    down = smallButton(":/images/down16.png", tr("Move effect down"));
    QToolButton* remove = smallButton(":/images/x16.png", tr("Remove effect"));
    const int row = generation;
    const std::pair<QToolButton*, void (StepEditor::*)()> actions[] = {
        {up, &StepEditor::upClicked}, {down, &StepEditor::downClicked}, {remove, &StepEditor::deleteClicked}};
    for (const auto& [button, clicked] : actions)
        connect(button, &QToolButton::clicked, this, [this, row, clicked = clicked] {
            if (row == generation)
                (this->*clicked)();
        });
    auto* layout = new QHBoxLayout;
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(WindowsAndDialogs::htmlLabel(QString("<b>%1</b>").arg(stepKindInfo(step->type())->title())));
    layout->addStretch(1);
    for (QToolButton* button : {up.data(), down.data(), remove})
        layout->addWidget(button);
    return WindowsAndDialogs::layoutToWidget(layout);
}

QLayout* StepEditor::getLayout(StepListWidget* list, EffectCreatures* creatures)
{
    generation++;
    this->list = list;
    rowInputs.clear();
    shows.clear();
    goStops = nullptr;
    auto* layout = new QVBoxLayout;
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    layout->addWidget(getStepHeader());
    layout->addLayout(buildFields(*this, creatures));
    auto* keyPass = new AddStepKeyPass(layout);
    for (QWidget* input : inputs()) {
        input->installEventFilter(keyPass);
        for (QWidget* part : input->findChildren<QWidget*>())
            part->installEventFilter(keyPass);
    }
    showValues();
    return layout;
}

void StepEditor::setGoOrder(GoHandler* handler)
{
    if (goStops)
        goStops(handler);
}

void StepEditor::upClicked()
{
    if (list)
        list->emitPowerStepUp(step);
}

void StepEditor::downClicked()
{
    if (list)
        list->emitPowerStepDown(step);
}

void StepEditor::deleteClicked()
{
    if (list)
        list->emitDeletePowerStep(step);
}

void StepEditor::effectControlChanged(int what)
{
    Q_UNUSED(what)
    if (list)
        list->emitUpdatePowerStep(step);
}

void StepEditor::setTabOrder(TabHandler* handler)
{
    for (QWidget* input : inputs())
        handler->addWidget(input);
}

void StepEditor::setDefaultFocus()
{
    const QList<QWidget*> fields = inputs();
    if (!fields.isEmpty())
        fields.first()->setFocus(Qt::OtherFocusReason);
}

bool StepEditor::hasFocus() const
{
    QWidget* focus = QApplication::focusWidget();
    for (QWidget* input : inputs())
        if (input == focus || input->isAncestorOf(focus))
            return true;
    return false;
}
