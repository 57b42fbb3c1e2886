#ifndef EFFECTCONTROLS_H
#define EFFECTCONTROLS_H

#include <QLineEdit>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QPushButton>
#include <QSpinBox>
#include <QString>

#include "creature/effect.h"
#include "foundation/dogtag.h"
#include "toolkit/dynamicwidgets.h"
#include "toolkit/inputwidgets.h"

class EffectCreatures;
class KeyboardInterface;

// The owner of effect controls, told of every change of their values.
class EffectInterface
{
public:
    enum What { ConditionChanged, CommentChanged, OnGoingChanged, BonusChanged, ResistanceChanged, EndConditionChanged };

    virtual ~EffectInterface() = default;
    virtual void effectControlChanged(What what) = 0;
};

// The controls below make their widgets without a parent in setupControls();
// the owner lays them out, and its widget tree then owns them. Values set by
// the owner are not reported back to it; the user's changes are.

// A standard condition and a comment, which alone makes a custom effect.
class EffectCondition : public QObject
{
    Q_OBJECT

public:
    EffectCondition(EffectInterface* owner, KeyboardInterface* keys);

    void setupControls();
    DisableComboBox* getConditionCombo() const { return conditionCombo; }
    QLineEdit* getCommentEdit() const { return commentEdit; }
    // 0 when no condition is chosen.
    CE::EffectType getConditionApplied() const;
    // As typed, blanks included.
    QString getComment() const;
    void setCondition(CE::EffectType condition, const QString& comment);

private:
    EffectInterface* owner;
    KeyboardInterface* keys;
    QPointer<DisableComboBox> conditionCombo;
    QPointer<QLineEdit> commentEdit;
    DogTag dogTag{__LINE__, __FILE__};
};

// A kind of effect with an amount, chosen as two opposite types of one combo
// box: the amount is signed, negative for the one, positive for the other.
class SignedEffect : public QObject
{
    Q_OBJECT

public:
    struct Choice
    {
        CE::EffectType type;
        QString text;
        // -1 or 1: the sign the type gives the amount.
        int sign;
    };

    // The type's combo box and the amount's box.
    void setupControls();
    DisableComboBox* getTypeCombo() const { return typeCombo; }
    QSpinBox* getAmountBox() const { return amountBox; }
    // 0 while no type is chosen.
    int getSignedAmount() const;
    void setSignedAmount(int amount);

protected:
    SignedEffect(EffectInterface* owner, KeyboardInterface* keys, EffectInterface::What what,
                 const QList<Choice>& choices, int maximum, const QString& tip);
    void changed() const;

private:
    EffectInterface* owner;
    KeyboardInterface* keys;
    EffectInterface::What what;
    QList<Choice> choices;
    int maximum;
    QString tip;
    QPointer<DisableComboBox> typeCombo;
    QPointer<QSpinBox> amountBox;
    DogTag dogTag{__LINE__, __FILE__};
};

// Ongoing damage (below 0) or regeneration (above 0).
class EffectOngoing : public SignedEffect
{
    Q_OBJECT

public:
    EffectOngoing(EffectInterface* owner, KeyboardInterface* keys);

    int getOngoingAmount() const { return getSignedAmount(); }
};

// A resistance (above 0) or vulnerability (below 0).
class EffectResistance : public SignedEffect
{
    Q_OBJECT

public:
    explicit EffectResistance(EffectInterface* owner, KeyboardInterface* keys = nullptr);

    int getResVulAmount() const { return getSignedAmount(); }
};

// A bonus (above 0) or penalty (below 0) to the ticked attributes, with two
// buttons that tick the usual sets.
class EffectBonus : public SignedEffect
{
    Q_OBJECT

public:
    enum Attribute { ArmorClass, Fortitude, Reflex, Will, Hit, Damage, SavingThrows, AttributeCount };

    explicit EffectBonus(EffectInterface* owner, KeyboardInterface* keys = nullptr);

    // Short labels fit the attributes into a narrow row.
    void setupControls(bool shortLabels);
    int getEffectAmount() const { return getSignedAmount(); }
    EffectedAttr getEffectedAttributes() const;
    void setEffect(int amount, const EffectedAttr& attributes);
    CheckboxLabel* getAttributeLabel(Attribute attribute) const { return labels.value(attribute); }
    QPushButton* getAllDefensesButton() const { return allDefensesButton; }
    QPushButton* getHitAndDamageButton() const { return hitAndDamageButton; }

private:
    void tick(std::initializer_list<Attribute> attributes);

    QList<QPointer<CheckboxLabel>> labels;
    QPointer<QPushButton> allDefensesButton;
    QPointer<QPushButton> hitAndDamageButton;
};

// When the effects end. The entries that name the origin need one.
class EndCondition : public QObject
{
    Q_OBJECT

public:
    // The user value of the entry for no end condition.
    static const int NoEndCondition = -1;

    // With none, the combo starts with an entry for no end condition.
    EndCondition(EffectInterface* owner, KeyboardInterface* keys, bool withNone);

    void setupControls(EffectCreatures* creatures);
    DisableComboBox* getEndConditionCombo() const { return endConditionCombo; }
    // The entries that name the origin follow its name.
    void updateEndCondition();
    // Enabled: the end conditions that fit; else only the entry for none.
    void enableEndCondition(bool enable);
    // 0 for the entry for no end condition.
    CE::EndCondition getEndConditionApplied() const;
    void setEndCondition(CE::EndCondition condition);

private:
    void chosen(int index);
    bool fits(int value) const;
    void selectFitting();

    EffectInterface* owner;
    KeyboardInterface* keys;
    bool withNone;
    bool enabled = true;
    EffectCreatures* creatures = nullptr;
    QPointer<DisableComboBox> endConditionCombo;
    int lastIndex = 0;
    DogTag dogTag{__LINE__, __FILE__};
};

#endif
