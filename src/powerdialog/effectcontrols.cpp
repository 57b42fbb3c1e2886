#include "powerdialog/effectcontrols.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>

#include "creature/creature.h"
#include "powerdialog/effectcreatures.h"
#include "toolkit/dynamicwidgets.h"
#include "toolkit/inputwidgets.h"
#include "toolkit/windowsanddialogs.h"

namespace {

// The conditions that travel as keywords, in the order of the effect texts.
const CE::EffectType standardConditions[] = {
    CE::Blinded, CE::Dazed, CE::Deafened, CE::Dominated, CE::Grabbed, CE::Helpless, CE::Hidden, CE::Immobilized,
    CE::Marked, CE::Petrified, CE::Prone, CE::Restrained, CE::Slowed, CE::Stunned, CE::Surprised, CE::Unconscious,
    CE::Weakened, CE::PartialCover, CE::SuperiorCover, CE::Concealment, CE::TotalConcealment, CE::Insubstantial,
    CE::Phasing, CE::GrantsCombatAdvantage,
};

QString conditionText(CE::EffectType type)
{
    EffectDetails details;
    details.type = type;
    return Effect::getEffectText(details);
}

}

EffectCondition::EffectCondition(EffectInterface* owner, KeyboardInterface* keys) : owner(owner), keys(keys) {}

void EffectCondition::setupControls()
{
    conditionCombo = new DisableComboBox(keys);
    conditionCombo->setToolTip(tr("Select a condition"));
    conditionCombo->addItem(QString(), int(CE::None));
    for (CE::EffectType type : standardConditions)
        conditionCombo->addItem(conditionText(type), int(type));
    commentEdit = new QLineEdit;
    commentEdit->setToolTip(tr("Type a condition or effect of your own, or a comment on the others"));
    connect(conditionCombo, &QComboBox::activated, this,
            [this] { owner->effectControlChanged(EffectInterface::ConditionChanged); });
    connect(commentEdit, &QLineEdit::textEdited, this,
            [this] { owner->effectControlChanged(EffectInterface::CommentChanged); });
}

CE::EffectType EffectCondition::getConditionApplied() const
{
    return conditionCombo ? CE::EffectType(conditionCombo->getCurrentUserValue()) : CE::None;
}

QString EffectCondition::getComment() const
{
    return commentEdit ? commentEdit->text() : QString();
}

void EffectCondition::setCondition(CE::EffectType condition, const QString& comment)
{
    if (!conditionCombo->setCurrentUserValue(condition))
        conditionCombo->setCurrentUserValue(CE::None);
    commentEdit->setText(comment);
}

SignedEffect::SignedEffect(EffectInterface* owner, KeyboardInterface* keys, EffectInterface::What what,
                           const QList<Choice>& choices, int maximum, const QString& tip)
    : owner(owner), keys(keys), what(what), choices(choices), maximum(maximum), tip(tip)
{
}

void SignedEffect::setupControls()
{
    typeCombo = new DisableComboBox(keys);
    typeCombo->setToolTip(tip);
    typeCombo->addItem(QString(), int(CE::None));
    for (const Choice& choice : std::as_const(choices))
        typeCombo->addItem(choice.text, int(choice.type));
    amountBox = WindowsAndDialogs::digitBox(maximum, 0);
    connect(typeCombo, &QComboBox::activated, this, &SignedEffect::changed);
    connect(amountBox, &QSpinBox::valueChanged, this, &SignedEffect::changed);
}

void SignedEffect::changed() const
{
    owner->effectControlChanged(what);
}

int SignedEffect::getSignedAmount() const
{
    if (!typeCombo)
        return 0;
    const int type = typeCombo->getCurrentUserValue();
    for (const Choice& choice : choices)
        if (choice.type == type)
            return choice.sign * amountBox->value();
    return 0;
}

void SignedEffect::setSignedAmount(int amount)
{
    const QSignalBlocker blocker(amountBox);
    int type = CE::None;
    for (const Choice& choice : std::as_const(choices))
        if (amount != 0 && (amount < 0) == (choice.sign < 0))
            type = choice.type;
    typeCombo->setCurrentUserValue(type);
    amountBox->setValue(std::abs(amount));
}

EffectOngoing::EffectOngoing(EffectInterface* owner, KeyboardInterface* keys)
    : SignedEffect(owner, keys, EffectInterface::OnGoingChanged,
                   {{CE::OnGoingDamage, tr("Ongoing Damage"), -1}, {CE::Regeneration, tr("Regeneration"), 1}}, 500,
                   tr("Select ongoing damage or regeneration"))
{
}

EffectResistance::EffectResistance(EffectInterface* owner, KeyboardInterface* keys)
    : SignedEffect(owner, keys, EffectInterface::ResistanceChanged,
                   {{CE::Resistance, tr("Resist"), 1}, {CE::Vulnerability, tr("Vulnerable"), -1}}, 500,
                   tr("Select a resistance or vulnerability"))
{
}

EffectBonus::EffectBonus(EffectInterface* owner, KeyboardInterface* keys)
    : SignedEffect(owner, keys, EffectInterface::BonusChanged,
                   {{CE::Bonus, tr("Bonus"), 1}, {CE::Penalty, tr("Penalty"), -1}}, 99, tr("Select a bonus or penalty"))
{
}

void EffectBonus::setupControls(bool shortLabels)
{
    SignedEffect::setupControls();
    const QStringList texts = shortLabels
        ? QStringList{tr("AC"), tr("Fort"), tr("Ref"), tr("Will"), tr("Hit"), tr("Dmg"), tr("Saves")}
        : QStringList{tr("AC"), tr("Fortitude"), tr("Reflex"), tr("Will"), tr("Hit"), tr("Damage"),
                      tr("Saving Throws")};
    labels.clear();
    for (const QString& text : texts) {
        auto* label = new CheckboxLabel(text);
        connect(label->getCheckBox(), &QCheckBox::toggled, this, [this] { changed(); });
        labels.append(label);
    }
    allDefensesButton = new QPushButton(tr("All Defenses"));
    hitAndDamageButton = new QPushButton(tr("Hit && Damage"));
    connect(allDefensesButton, &QPushButton::clicked, this, [this] { tick({ArmorClass, Fortitude, Reflex, Will}); });
    connect(hitAndDamageButton, &QPushButton::clicked, this, [this] { tick({Hit, Damage}); });
}

void EffectBonus::tick(std::initializer_list<Attribute> attributes)
{
    for (Attribute attribute : attributes)
        if (labels.value(attribute))
            labels.value(attribute)->getCheckBox()->setChecked(true);
}

namespace {

bool EffectedAttr::*const attributeFlags[] = {
    &EffectedAttr::armorClass, &EffectedAttr::fortitude, &EffectedAttr::reflex,       &EffectedAttr::will,
    &EffectedAttr::toHit,      &EffectedAttr::damage,    &EffectedAttr::savingThrows,
};

}

EffectedAttr EffectBonus::getEffectedAttributes() const
{
    EffectedAttr attributes;
    for (int i = 0; i < AttributeCount; i++)
        if (CheckboxLabel* label = labels.value(i))
            attributes.*attributeFlags[i] = label->getCheckBox()->isChecked();
    return attributes;
}

void EffectBonus::setEffect(int amount, const EffectedAttr& attributes)
{
    setSignedAmount(amount);
    for (int i = 0; i < AttributeCount; i++) {
        if (CheckboxLabel* label = labels.value(i)) {
            const QSignalBlocker blocker(label->getCheckBox());
            label->getCheckBox()->setChecked(attributes.*attributeFlags[i]);
        }
    }
}

namespace {

struct EndEntry
{
    int value;
    const char* text;
    // The same entry naming the origin, which it needs.
    const char* withOrigin;
};

// In the order the game master counts them: the number is part of the text.
const EndEntry endEntries[] = {
    {CE::EndSpecial, QT_TRANSLATE_NOOP("EndCondition", "End special (1)"), nullptr},
    {CE::EndOfOriginsNextTurn, QT_TRANSLATE_NOOP("EndCondition", "End of next turn (2)"),
     QT_TRANSLATE_NOOP("EndCondition", "End of %1's next turn (2)")},
    {CE::StartOfOriginsNextTurn, QT_TRANSLATE_NOOP("EndCondition", "Start of next turn (3)"),
     QT_TRANSLATE_NOOP("EndCondition", "Start of %1's next turn (3)")},
    {CE::SaveEnds, QT_TRANSLATE_NOOP("EndCondition", "Save ends (4)"), nullptr},
    {CE::EndOfEncounter, QT_TRANSLATE_NOOP("EndCondition", "End of encounter (5)"), nullptr},
    {CE::EndOfTargetsNextTurn, QT_TRANSLATE_NOOP("EndCondition", "End of target's next turn (6)"), nullptr},
    {CE::StartOfTargetsNextTurn, QT_TRANSLATE_NOOP("EndCondition", "Start of target's next turn (7)"), nullptr},
};

const EndEntry* endEntry(int value)
{
    for (const EndEntry& entry : endEntries)
        if (entry.value == value)
            return &entry;
    return nullptr;
}

}

EndCondition::EndCondition(EffectInterface* owner, KeyboardInterface* keys, bool withNone)
    : owner(owner), keys(keys), withNone(withNone)
{
}

void EndCondition::setupControls(EffectCreatures* creatures)
{
    this->creatures = creatures;
    endConditionCombo = new DisableComboBox(keys);
    endConditionCombo->setToolTip(tr("Select the end condition"));
    if (withNone)
        endConditionCombo->addItem(QString(), NoEndCondition);
    for (const EndEntry& entry : endEntries)
        endConditionCombo->addItem(tr(entry.text), entry.value);
    updateEndCondition();
    // With an entry for none, nothing lasts until the owner says so.
    enableEndCondition(!withNone);
    connect(endConditionCombo, &QComboBox::activated, this, &EndCondition::chosen);
}

void EndCondition::updateEndCondition()
{
    if (!endConditionCombo)
        return;
    Creature* origin = creatures ? creatures->getOrigin() : nullptr;
    for (int i = 0; i < endConditionCombo->count(); i++) {
        const EndEntry* entry = endEntry(endConditionCombo->itemData(i).toInt());
        if (entry && entry->withOrigin)
            endConditionCombo->setItemText(
                i, origin ? tr(entry->withOrigin).arg(origin->getNameGroup()) : tr(entry->text));
    }
    enableEndCondition(enabled);
}

bool EndCondition::fits(int value) const
{
    if (value == NoEndCondition)
        return !enabled;
    const EndEntry* entry = endEntry(value);
    return enabled && entry && (!entry->withOrigin || (creatures && creatures->getOrigin()));
}

void EndCondition::enableEndCondition(bool enable)
{
    enabled = enable;
    if (!endConditionCombo)
        return;
    for (int i = 0; i < endConditionCombo->count(); i++)
        endConditionCombo->setIndexEnabled(i, fits(endConditionCombo->itemData(i).toInt()));
    selectFitting();
}

void EndCondition::selectFitting()
{
    int index = endConditionCombo->currentIndex();
    if (index < 0 || !endConditionCombo->isIndexEnabled(index)) {
        index = -1;
        for (int i = 0; i < endConditionCombo->count() && index < 0; i++)
            if (endConditionCombo->isIndexEnabled(i))
                index = i;
        if (index < 0)
            return;
    }
    endConditionCombo->setCurrentIndex(index);
    lastIndex = index;
}

void EndCondition::chosen(int index)
{
    // A greyed entry does not fit: the choice goes back.
    if (!endConditionCombo->isIndexEnabled(index)) {
        endConditionCombo->setCurrentIndex(lastIndex);
        return;
    }
    lastIndex = index;
    owner->effectControlChanged(EffectInterface::EndConditionChanged);
}

CE::EndCondition EndCondition::getEndConditionApplied() const
{
    const int value = endConditionCombo ? endConditionCombo->getCurrentUserValue() : CE::EndSpecial;
    return value == NoEndCondition ? CE::EndSpecial : CE::EndCondition(value);
}

void EndCondition::setEndCondition(CE::EndCondition condition)
{
    if (endConditionCombo->setCurrentUserValue(condition))
        lastIndex = endConditionCombo->currentIndex();
}
