#ifndef POWERSTEP_H
#define POWERSTEP_H

#include <QHash>
#include <QString>

#include <memory>

#include "creature/effect.h"
#include "foundation/dogtag.h"
#include "powers/powerenums.h"

class EffectCreatures;
class GoHandler;
class PowerFields;
class PowerStep;
class QLayout;
class QToolButton;
class StepListWidget;
class TabHandler;

// The editor half of a step: its row in the power editor. The windows
// install a factory that gives each step its own editor on first use; the
// step destroys it. Headless there is none, and a step has no row.
class PowerStepEditor
{
public:
    using Factory = PowerStepEditor* (*)(PowerStep* step);

    virtual ~PowerStepEditor() = default;

    // A fresh row each call; the rows made before no longer change the step.
    virtual QLayout* getLayout(StepListWidget* list, EffectCreatures* creatures) = 0;
    // Of the latest row; null before the first or once it is gone.
    virtual QToolButton* getUpButton() const = 0;
    virtual QToolButton* getDownButton() const = 0;
    virtual void upClicked() = 0;
    virtual void downClicked() = 0;
    virtual void deleteClicked() = 0;
    // A control of the row changed the step.
    virtual void effectControlChanged(int what) = 0;
    virtual void setTabOrder(TabHandler* handler) = 0;
    virtual void setDefaultFocus() = 0;
    virtual bool hasFocus() const = 0;
    virtual void setGoOrder(GoHandler* handler) = 0;
    // The step's values changed behind the row's back (dice rolled).
    virtual void showValues() = 0;
};

// One step of a power's program: what happens to the creatures of its list.
class PowerStep
{
public:
    enum Type : int {
        Healing = 1,
        Damage = 2,
        Condition = 3,
        OnGoing = 4,
        Bonus = 5,
        Resistance = 6,
        UseResource = 7,
        EndCondition = 8,
    };

    virtual ~PowerStep();

    // A step of that kind with its default values; null for another kind.
    static PowerStep* create(int kind);
    // The kind's keyword in power-program text; 0 for an unknown keyword.
    static QString typeToText(Type kind);
    static int textToType(const QString& text);

    virtual Type type() const = 0;
    virtual PowerStep* clone() const = 0;
    // With fresh, values drawn by chance are drawn anew.
    virtual void setup(bool fresh) { Q_UNUSED(fresh) }
    // Binds each value to its name=value line.
    virtual void fields(PowerFields& fields) = 0;

    // The editor half; each asks the step's editor and does nothing, or
    // gives null or false, without one.
    static void setEditorFactory(PowerStepEditor::Factory factory);
    PowerStepEditor* getEditor();
    QLayout* getLayout(StepListWidget* list, EffectCreatures* creatures);
    QToolButton* getUpButton();
    QToolButton* getDownButton();
    void upClicked();
    void downClicked();
    void deleteClicked();
    void effectControlChanged(int what);
    void setTabOrder(TabHandler* handler);
    void setDefaultFocus();
    bool hasFocus();
    void setGoOrder(GoHandler* handler);
    void showValues();

protected:
    PowerStep() = default;
    // A copy has the values, not the editor.
    PowerStep(const PowerStep&) {}
    PowerStep& operator=(const PowerStep&) { return *this; }

private:
    std::unique_ptr<PowerStepEditor> editor;
    DogTag dogTag{__LINE__, __FILE__};
};

// The type and the copy of each kind, written once.
template <class Derived, PowerStep::Type kind>
class PowerStepKind : public PowerStep
{
public:
    Type type() const override { return kind; }
    PowerStep* clone() const override { return new Derived(static_cast<const Derived&>(*this)); }
};

class HealingStep : public PowerStepKind<HealingStep, PowerStep::Healing>
{
public:
    int hitPoints = 0;
    // n > 0: each target regains n surges; n < 0: each spends -n surges and
    // regains -n times its own surge value.
    int surges = 0;
    int tempHitPoints = 0;
    bool stabilize = false;

    // What the target regains, its own surges' worth included.
    int healingFor(Creature* target) const;
    void fields(PowerFields& fields) override;
};

class DamageStep : public PowerStepKind<DamageStep, PowerStep::Damage>
{
public:
    // "NdS", "NdS+K", "NdS-K" or a plain number.
    QString dice;
    int damage = 0;
    QString damageType;
    bool perTarget = false;
    // The list the step belongs to: its per-target amounts are for its creatures.
    Power::StepType list = Power::Hit;
    // The amounts given to single creatures while the power is used; copied
    // with the step, never written.
    QHash<Creature*, int> targetDamage;

    // What the target takes: its own amount with per-target damage, else the damage.
    int damageFor(Creature* target) const;
    // The dice are rolled into the damage, which every target takes again;
    // unreadable dice keep it.
    void rollDice();
    // Fresh, the dice are rolled.
    void setup(bool fresh) override;
    void fields(PowerFields& fields) override;
};

class ConditionStep : public PowerStepKind<ConditionStep, PowerStep::Condition>
{
public:
    CE::EffectType condition = CE::None;
    QString comment;

    void fields(PowerFields& fields) override;
};

// Ongoing damage (amount below 0) or regeneration (above 0).
class OnGoingStep : public PowerStepKind<OnGoingStep, PowerStep::OnGoing>
{
public:
    int amount = 0;
    QString damageType;
    // The amount is asked for before each application.
    bool prompt = false;

    void fields(PowerFields& fields) override;
};

// A bonus (amount above 0) or penalty (below 0).
class BonusStep : public PowerStepKind<BonusStep, PowerStep::Bonus>
{
public:
    int amount = 0;
    EffectedAttr attributes;

    void fields(PowerFields& fields) override;
};

// A resistance (amount above 0) or vulnerability (below 0).
class ResistanceStep : public PowerStepKind<ResistanceStep, PowerStep::Resistance>
{
public:
    int amount = 0;
    QString damageType;

    void fields(PowerFields& fields) override;
};

class UseResourceStep : public PowerStepKind<UseResourceStep, PowerStep::UseResource>
{
public:
    enum Resource : int { ActionPoint = 0, SecondWind = 1 };

    static QString resourceToText(Resource resource);
    static Resource textToResource(const QString& text, bool* ok);

    Resource resource = ActionPoint;
    // Action points: -10000 lose all, 10000 reset, -n use n, n add n.
    // Second wind: -1 use, 1 regain.
    int amount = -1;

    void fields(PowerFields& fields) override;
};

// Ends the effects of the steps above it.
class EndConditionStep : public PowerStepKind<EndConditionStep, PowerStep::EndCondition>
{
public:
    CE::EndCondition endCondition = CE::EndSpecial;
    bool sustainable = false;

    void fields(PowerFields& fields) override;
};

#endif
