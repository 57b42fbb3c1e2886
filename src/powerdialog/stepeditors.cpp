#include "powerdialog/stepeditors.h"

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

#include "toolkit/dynamicwidgets.h"

#include <iterator>

#include "powerdialog/effectcontrols.h"
#include "powerdialog/goorder.h"
#include "powerdialog/multidamage.h"
#include "powerdialog/powerwidget.h"
#include "toolkit/inputwidgets.h"
#include "toolkit/scrollandtabs.h"
#include "toolkit/windowsanddialogs.h"

namespace {

// Indexed by PowerStep::Type.
const StepKindInfo stepKinds[] = {
    {"", "", "", 0, 0},
    {QT_TRANSLATE_NOOP("PowerWidget", "Add Healing"), "Ctrl+L",
        QT_TRANSLATE_NOOP("PowerWidget", "Add Healing, Temporary Hit Points and use Healing Surges"), 1, 0},
    {QT_TRANSLATE_NOOP("PowerWidget", "Add Damage"), "Ctrl+D",
        QT_TRANSLATE_NOOP("PowerWidget", "Add Damage, roll damage dice (for monsters) and specify damage type"), 0, 0},
    {QT_TRANSLATE_NOOP("PowerWidget", "Add Condition"), "Ctrl+N",
        QT_TRANSLATE_NOOP("PowerWidget", "Add standard Condition and/or specify custom condition text"), 0, 1},
    {QT_TRANSLATE_NOOP("PowerWidget", "Damage/Regeneration"), "Ctrl+O",
        QT_TRANSLATE_NOOP("PowerWidget", "Add Ongoing Damage or Regeneration"), 0, 2},
    {QT_TRANSLATE_NOOP("PowerWidget", "Bonus/Penalty"), "Ctrl+B",
        QT_TRANSLATE_NOOP("PowerWidget", "Add Bonus or Penalty to hit, damage, defenses, etc."), 0, 3},
    {QT_TRANSLATE_NOOP("PowerWidget", "Resist/Vulnerable"), "Ctrl+R",
        QT_TRANSLATE_NOOP("PowerWidget", "Add Resistance or Vulnerabilty to certain damage types"), 1, 1},
    {QT_TRANSLATE_NOOP("PowerWidget", "Use Resource"), "Ctrl+U",
        QT_TRANSLATE_NOOP("PowerWidget", "Add the use of an Action Point or Second Wind"), 1, 2},
    {QT_TRANSLATE_NOOP("PowerWidget", "End Condition"), "Ctrl+E",
        QT_TRANSLATE_NOOP("PowerWidget", "Add an End Condition for the effects listed above"), 1, 3},
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

QLabel* fieldLabel(const QString& text)
{
    return WindowsAndDialogs::htmlLabel(text);
}

// Labels and fields in a line, then a stretch.
void fillRow(QHBoxLayout* layout, const QList<QWidget*>& widgets)
{
    layout->setContentsMargins(0, 0, 0, 0);
    for (QWidget* widget : widgets)
        layout->addWidget(widget);
    layout->addStretch(1);
}

QHBoxLayout* fieldRow(const QList<QWidget*>& widgets)
{
    auto* layout = new QHBoxLayout;
    fillRow(layout, widgets);
    return layout;
}

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

// The row's fields that are still there.
QList<QWidget*> present(std::initializer_list<QWidget*> widgets)
{
    QList<QWidget*> list;
    for (QWidget* widget : widgets)
        if (widget)
            list.append(widget);
    return list;
}

class HealingEditor : public StepEditor
{
public:
    explicit HealingEditor(HealingStep* step) : StepEditor(step), healing(step) {}

    QLayout* buildFields(EffectCreatures*) override
    {
        hitPoints = amountBox(0, hitPointLimit);
        surges = amountBox(-10, 10);
        surges->setToolTip(tr("Healing surges regained; below 0, surges spent, each healing by the target's surge value"));
        tempHitPoints = amountBox(0, hitPointLimit);
        stabilize = checkBox(tr("Stabilize"));
        onChange(hitPoints.data(), &QSpinBox::valueChanged, [this] { healing->hitPoints = hitPoints->value(); });
        onChange(surges.data(), &QSpinBox::valueChanged, [this] { healing->surges = surges->value(); });
        onChange(tempHitPoints.data(), &QSpinBox::valueChanged, [this] { healing->tempHitPoints = tempHitPoints->value(); });
        onChange(stabilize.data(), &QCheckBox::toggled, [this] { healing->stabilize = stabilize->isChecked(); });
        return fieldRow({fieldLabel(tr("HP")), hitPoints, fieldLabel(tr("Surges")), surges,
            fieldLabel(tr("Temp HP")), tempHitPoints, stabilize});
    }

    QList<QWidget*> inputs() const override { return present({hitPoints, surges, tempHitPoints, stabilize}); }

    void setGoOrder(GoHandler* handler) override
    {
        if (hitPoints)
            handler->addWidget(healing, hitPoints, GoItem::Healing);
    }

    void showValues() override
    {
        if (!hitPoints)
            return;
        const QSignalBlocker blockers[] = {QSignalBlocker(hitPoints), QSignalBlocker(surges),
            QSignalBlocker(tempHitPoints), QSignalBlocker(stabilize)};
        hitPoints->setValue(healing->hitPoints);
        surges->setValue(healing->surges);
        tempHitPoints->setValue(healing->tempHitPoints);
        stabilize->setChecked(healing->stabilize);
    }

private:
    HealingStep* healing;
    QPointer<QSpinBox> hitPoints;
    QPointer<QSpinBox> surges;
    QPointer<QSpinBox> tempHitPoints;
    QPointer<QCheckBox> stabilize;
};

class DamageEditor : public StepEditor
{
public:
    explicit DamageEditor(DamageStep* step) : StepEditor(step), damageStep(step) {}

    QLayout* buildFields(EffectCreatures* creatures) override
    {
        dice = new QLineEdit;
        dice->setPlaceholderText(tr("2d6+3"));
        dice->setToolTip(tr("The damage dice, rolled when the power is used"));
        damage = amountBox(0, hitPointLimit);
        damageType = new DamageType;
        perTarget = checkBox(tr("Per target"));
        onChange(dice.data(), &QLineEdit::textEdited, [this] { damageStep->dice = dice->text(); });
        onChange(damage.data(), &QSpinBox::valueChanged, [this] { damageStep->damage = damage->value(); });
        onChange(damageType.data(), &QLineEdit::textEdited, [this] { damageStep->damageType = damageType->text(); });
        // The rows come and go before the owner hears of the change.
        onChange(perTarget.data(), &QCheckBox::toggled, [this] {
            damageStep->perTarget = perTarget->isChecked();
            if (targetRows)
                targetRows->refresh();
        });
        targetRows = new MultiDamage(damageStep, creatures, [this](QSpinBox* box, Creature* creature) {
            onChange(box, &QSpinBox::valueChanged, [this, box, creature] {
                damageStep->targetDamage.insert(creature, box->value());
            });
        });
        auto* layout = new QVBoxLayout;
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addLayout(fieldRow({fieldLabel(tr("Dice")), dice, fieldLabel(tr("Damage")), damage,
            fieldLabel(tr("Type")), damageType, perTarget}));
        layout->addWidget(targetRows);
        return layout;
    }

    QList<QWidget*> inputs() const override { return present({dice, damage, damageType, perTarget, targetRows}); }

    // Per target, the first row is the stop; the others follow it.
    void setGoOrder(GoHandler* handler) override
    {
        if (QSpinBox* first = targetRows ? targetRows->firstBox() : nullptr)
            handler->addWidget(damageStep, first, GoItem::DamagePerTarget);
        else if (damage)
            handler->addWidget(damageStep, damage, GoItem::Damage);
    }

    void showValues() override
    {
        if (!dice)
            return;
        {
            const QSignalBlocker blockers[] = {QSignalBlocker(dice), QSignalBlocker(damage),
                QSignalBlocker(damageType), QSignalBlocker(perTarget)};
            dice->setText(damageStep->dice);
            damage->setValue(damageStep->damage);
            damageType->setText(damageStep->damageType);
            perTarget->setChecked(damageStep->perTarget);
        }
        if (targetRows)
            targetRows->refresh();
    }

private:
    DamageStep* damageStep;
    QPointer<QLineEdit> dice;
    QPointer<QSpinBox> damage;
    QPointer<DamageType> damageType;
    QPointer<QCheckBox> perTarget;
    QPointer<MultiDamage> targetRows;
};

class UseResourceEditor : public StepEditor
{
public:
    explicit UseResourceEditor(UseResourceStep* step) : StepEditor(step), use(step) {}

    QLayout* buildFields(EffectCreatures*) override
    {
        resource = new DisableComboBox;
        resource->addItem(tr("Action Point"), UseResourceStep::ActionPoint);
        resource->addItem(tr("Second Wind"), UseResourceStep::SecondWind);
        amount = new DisableComboBox;
        onChange(resource.data(), qOverload<int>(&QComboBox::activated), [this] {
            use->resource = UseResourceStep::Resource(resource->getCurrentUserValue());
            use->amount = -1;
            fillAmounts();
        });
        onChange(amount.data(), qOverload<int>(&QComboBox::activated), [this] { use->amount = amount->getCurrentUserValue(); });
        return fieldRow({resource, amount});
    }

    QList<QWidget*> inputs() const override { return present({resource, amount}); }

    void showValues() override
    {
        if (!resource)
            return;
        const QSignalBlocker blocker(resource);
        resource->setCurrentUserValue(use->resource);
        fillAmounts();
    }

private:
    // The codes the resource takes; a stored code of its own is offered as its number.
    void fillAmounts()
    {
        const QSignalBlocker blocker(amount);
        amount->clear();
        if (use->resource == UseResourceStep::SecondWind) {
            amount->addItem(tr("Use"), -1);
            amount->addItem(tr("Regain"), 1);
        } else {
            amount->addItem(tr("Use 1"), -1);
            amount->addItem(tr("Use 2"), -2);
            amount->addItem(tr("Gain 1"), 1);
            amount->addItem(tr("Gain 2"), 2);
            amount->addItem(tr("Lose All"), -10000);
            amount->addItem(tr("Reset"), 10000);
        }
        if (!amount->setCurrentUserValue(use->amount)) {
            amount->addItem(QString::number(use->amount), use->amount);
            amount->setCurrentIndex(amount->count() - 1);
        }
    }

    UseResourceStep* use;
    QPointer<DisableComboBox> resource;
    QPointer<DisableComboBox> amount;
};

class ConditionEditor : public StepEditor
{
public:
    explicit ConditionEditor(ConditionStep* step) : StepEditor(step), conditionStep(step) {}

    QLayout* buildFields(EffectCreatures*) override
    {
        auto* layout = new QHBoxLayout;
        control = new EffectCondition(controlOwner(layout, [this] {
            conditionStep->condition = control->getConditionApplied();
            conditionStep->comment = control->getComment();
        }), nullptr);
        control->setParent(layout);
        control->setupControls();
        fillRow(layout, {control->getConditionCombo(), control->getCommentEdit()});
        layout->setStretch(1, 1);
        return layout;
    }

    QList<QWidget*> inputs() const override
    {
        return control ? present({control->getConditionCombo(), control->getCommentEdit()}) : QList<QWidget*>();
    }

    void showValues() override
    {
        if (control)
            control->setCondition(conditionStep->condition, conditionStep->comment);
    }

private:
    ConditionStep* conditionStep;
    QPointer<EffectCondition> control;
};

class OnGoingEditor : public StepEditor
{
public:
    explicit OnGoingEditor(OnGoingStep* step) : StepEditor(step), onGoing(step) {}

    QLayout* buildFields(EffectCreatures*) override
    {
        auto* layout = new QHBoxLayout;
        control = new EffectOngoing(controlOwner(layout, [this] { onGoing->amount = control->getOngoingAmount(); }),
            nullptr);
        control->setParent(layout);
        control->setupControls();
        damageType = new DamageType;
        prompt = checkBox(tr("Prompt"));
        prompt->setToolTip(tr("Ask for the amount each time the effect applies"));
        onChange(damageType.data(), &QLineEdit::textEdited, [this] { onGoing->damageType = damageType->text(); });
        onChange(prompt.data(), &QCheckBox::toggled, [this] { onGoing->prompt = prompt->isChecked(); });
        fillRow(layout, {control->getTypeCombo(), control->getAmountBox(), fieldLabel(tr("Type")), damageType, prompt});
        return layout;
    }

    QList<QWidget*> inputs() const override
    {
        return control ? present({control->getTypeCombo(), control->getAmountBox(), damageType, prompt})
                       : QList<QWidget*>();
    }

    void showValues() override
    {
        if (!control)
            return;
        control->setSignedAmount(onGoing->amount);
        const QSignalBlocker blockers[] = {QSignalBlocker(damageType), QSignalBlocker(prompt)};
        damageType->setText(onGoing->damageType);
        prompt->setChecked(onGoing->prompt);
    }

private:
    OnGoingStep* onGoing;
    QPointer<EffectOngoing> control;
    QPointer<DamageType> damageType;
    QPointer<QCheckBox> prompt;
};

class BonusEditor : public StepEditor
{
public:
    explicit BonusEditor(BonusStep* step) : StepEditor(step), bonus(step) {}

    QLayout* buildFields(EffectCreatures*) override
    {
        auto* layout = new QVBoxLayout;
        control = new EffectBonus(controlOwner(layout, [this] {
            bonus->amount = control->getEffectAmount();
            bonus->attributes = control->getEffectedAttributes();
        }));
        control->setParent(layout);
        control->setupControls(true);
        auto* amount = new QHBoxLayout;
        fillRow(amount, {control->getTypeCombo(), control->getAmountBox(), control->getAllDefensesButton(),
                            control->getHitAndDamageButton()});
        auto* attributes = new QHBoxLayout;
        QList<QWidget*> ticks;
        for (int i = 0; i < EffectBonus::AttributeCount; i++) {
            CheckboxLabel* label = control->getAttributeLabel(EffectBonus::Attribute(i));
            ticks << label->getCheckBox() << label;
        }
        fillRow(attributes, ticks);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addLayout(amount);
        layout->addLayout(attributes);
        return layout;
    }

    QList<QWidget*> inputs() const override
    {
        QList<QWidget*> list;
        if (!control)
            return list;
        list << control->getTypeCombo() << control->getAmountBox();
        for (int i = 0; i < EffectBonus::AttributeCount; i++)
            list << control->getAttributeLabel(EffectBonus::Attribute(i))->getCheckBox();
        return list;
    }

    void showValues() override
    {
        if (control)
            control->setEffect(bonus->amount, bonus->attributes);
    }

private:
    BonusStep* bonus;
    QPointer<EffectBonus> control;
};

class ResistanceEditor : public StepEditor
{
public:
    explicit ResistanceEditor(ResistanceStep* step) : StepEditor(step), resistance(step) {}

    QLayout* buildFields(EffectCreatures*) override
    {
        auto* layout = new QHBoxLayout;
        control = new EffectResistance(controlOwner(layout, [this] { resistance->amount = control->getResVulAmount(); }));
        control->setParent(layout);
        control->setupControls();
        damageType = new DamageType;
        onChange(damageType.data(), &QLineEdit::textEdited, [this] { resistance->damageType = damageType->text(); });
        fillRow(layout, {control->getTypeCombo(), control->getAmountBox(), fieldLabel(tr("Type")), damageType});
        return layout;
    }

    QList<QWidget*> inputs() const override
    {
        return control ? present({control->getTypeCombo(), control->getAmountBox(), damageType})
                       : QList<QWidget*>();
    }

    void showValues() override
    {
        if (!control)
            return;
        control->setSignedAmount(resistance->amount);
        const QSignalBlocker blocker(damageType);
        damageType->setText(resistance->damageType);
    }

private:
    ResistanceStep* resistance;
    QPointer<EffectResistance> control;
    QPointer<DamageType> damageType;
};

class EndConditionEditor : public StepEditor
{
public:
    explicit EndConditionEditor(EndConditionStep* step) : StepEditor(step), ending(step) {}

    QLayout* buildFields(EffectCreatures* creatures) override
    {
        auto* layout = new QHBoxLayout;
        control = new EndCondition(controlOwner(layout, [this] {
            ending->endCondition = control->getEndConditionApplied();
        }), nullptr, false);
        control->setParent(layout);
        control->setupControls(creatures);
        sustainable = checkBox(tr("Sustainable"));
        onChange(sustainable.data(), &QCheckBox::toggled, [this] { ending->sustainable = sustainable->isChecked(); });
        fillRow(layout, {control->getEndConditionCombo(), sustainable});
        return layout;
    }

    QList<QWidget*> inputs() const override
    {
        return control ? present({control->getEndConditionCombo(), sustainable}) : QList<QWidget*>();
    }

    void showValues() override
    {
        if (!control)
            return;
        control->setEndCondition(ending->endCondition);
        const QSignalBlocker blocker(sustainable);
        sustainable->setChecked(ending->sustainable);
    }

private:
    EndConditionStep* ending;
    QPointer<EndCondition> control;
    QPointer<QCheckBox> sustainable;
};

PowerStepEditor* makeEditor(PowerStep* step)
{
    switch (step->type()) {
    case PowerStep::Healing: return new HealingEditor(static_cast<HealingStep*>(step));
    case PowerStep::Damage: return new DamageEditor(static_cast<DamageStep*>(step));
    case PowerStep::Condition: return new ConditionEditor(static_cast<ConditionStep*>(step));
    case PowerStep::OnGoing: return new OnGoingEditor(static_cast<OnGoingStep*>(step));
    case PowerStep::Bonus: return new BonusEditor(static_cast<BonusStep*>(step));
    case PowerStep::Resistance: return new ResistanceEditor(static_cast<ResistanceStep*>(step));
    case PowerStep::UseResource: return new UseResourceEditor(static_cast<UseResourceStep*>(step));
    case PowerStep::EndCondition: return new EndConditionEditor(static_cast<EndConditionStep*>(step));
    default: return nullptr;
    }
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

QSpinBox* StepEditor::amountBox(int minimum, int maximum)
{
    return WindowsAndDialogs::digitBox(maximum, minimum);
}

QCheckBox* StepEditor::checkBox(const QString& text)
{
    return new QCheckBox(text);
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
    auto* layout = new QVBoxLayout;
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    layout->addWidget(getStepHeader());
    layout->addLayout(buildFields(creatures));
    auto* keyPass = new AddStepKeyPass(layout);
    for (QWidget* input : inputs()) {
        input->installEventFilter(keyPass);
        for (QWidget* part : input->findChildren<QWidget*>())
            part->installEventFilter(keyPass);
    }
    showValues();
    return layout;
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
