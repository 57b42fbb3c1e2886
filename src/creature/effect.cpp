#include "creature/effect.h"

#include <QStringList>

#include <iterator>

#include "creature/creature.h"
#include "encounter/encounter.h"
#include "foundation/global.h"
#include "foundation/objectstream.h"
#include "foundation/saturating.h"
#include "foundation/uihooks.h"

namespace {

struct TypeInfo
{
    const char* keyword;
    bool positive;
    bool origin;
};

// By CE::EffectType.
const TypeInfo typeInfo[] = {
    {nullptr, false, true}, // comment alone
    {"blinded", false, true},
    {"dazed", false, true},
    {"deafened", false, true},
    {"dominated", false, true},
    {"grabbed", false, true},
    {"helpless", false, true},
    {"hidden", false, true},
    {"immobilized", false, true},
    {"marked", false, true},
    {"petrified", false, true},
    {"prone", false, true},
    {"restrained", false, true},
    {"slowed", false, true},
    {"stunned", false, true},
    {"surprized", false, true},
    {"unconscious", false, true},
    {"weakened", false, true},
    {nullptr, true, false}, // total defense
    {nullptr, true, true}, // second wind
    {nullptr, false, true}, // ongoing damage
    {nullptr, true, true}, // regeneration
    {nullptr, false, true}, // penalty
    {nullptr, true, true}, // bonus
    {"partial-cover", true, false},
    {"superior-cover", true, false},
    {"concealment", true, false},
    {"total-concealment", true, false},
    {nullptr, true, true}, // resistance
    {nullptr, false, true}, // vulnerability
    {nullptr, true, true}, // beneficial comment
    {nullptr, false, true}, // harmful comment
    {"insubstantial", true, true},
    {"phasing", true, true},
    {"grants-combat-advantage", false, true},
};

const TypeInfo* findType(CE::EffectType type)
{
    return type >= 0 && type < int(std::size(typeInfo)) ? &typeInfo[type] : nullptr;
}

// By CE::EndCondition.
const char* const endConditionKeywords[] = {
    "end-special",
    "end-origins-next-turn",
    "end-targets-next-turn",
    "save-end",
    "end-of-encounter",
    "start-origins-next-turn",
    "start-targets-next-turn",
};

template <typename Value>
struct Fragment
{
    const char* text;
    Value value;
};

// Searched in order: "total-concealment" also holds "conc".
const Fragment<CE::EffectType> effectFragments[] = {
    {"bli", CE::Blinded},
    {"daz", CE::Dazed},
    {"dea", CE::Deafened},
    {"dom", CE::Dominated},
    {"grab", CE::Grabbed},
    {"gran", CE::GrantsCombatAdvantage},
    {"hel", CE::Helpless},
    {"hid", CE::Hidden},
    {"imm", CE::Immobilized},
    {"mar", CE::Marked},
    {"pet", CE::Petrified},
    {"pro", CE::Prone},
    {"res", CE::Restrained},
    {"slo", CE::Slowed},
    {"stu", CE::Stunned},
    {"sur", CE::Surprised},
    {"unc", CE::Unconscious},
    {"wea", CE::Weakened},
    {"part", CE::PartialCover},
    {"supe", CE::SuperiorCover},
    {"tota", CE::TotalConcealment},
    {"conc", CE::Concealment},
    {"ins", CE::Insubstantial},
    {"pha", CE::Phasing},
};

const Fragment<CE::EndCondition> endConditionFragments[] = {
    {"spec", CE::EndSpecial},
    {"end-ori", CE::EndOfOriginsNextTurn},
    {"end-tar", CE::EndOfTargetsNextTurn},
    {"sav", CE::SaveEnds},
    {"enc", CE::EndOfEncounter},
    {"start-ori", CE::StartOfOriginsNextTurn},
    {"start-tar", CE::StartOfTargetsNextTurn},
};

template <typename Value, size_t N>
Value parse(const QString& text, const Fragment<Value> (&fragments)[N], bool* ok)
{
    for (const Fragment<Value>& fragment : fragments) {
        if (text.contains(QLatin1String(fragment.text), Qt::CaseInsensitive)) {
            if (ok)
                *ok = true;
            return fragment.value;
        }
    }
    if (ok)
        *ok = false;
    return Value(0);
}

struct AttributeInfo
{
    bool EffectedAttr::*flag;
    int AttrAdj::*adjustment;
    const char* keyword;
    const char* fragment;
};

// In field order; an attribute's bit in the stream record is 1 << its index.
const AttributeInfo attributeInfo[] = {
    {&EffectedAttr::armorClass, &AttrAdj::armorClass, "armor-class", "arm"},
    {&EffectedAttr::fortitude, &AttrAdj::fortitude, "fortitude", "for"},
    {&EffectedAttr::reflex, &AttrAdj::reflex, "reflex", "ref"},
    {&EffectedAttr::will, &AttrAdj::will, "will", "wil"},
    {&EffectedAttr::toHit, &AttrAdj::toHit, "to-hit", "hit"},
    {&EffectedAttr::damage, &AttrAdj::damage, "damage", "dam"},
    {&EffectedAttr::savingThrows, &AttrAdj::savingThrows, "saving-throw", "sav"},
};

void addTo(AttrAdj& adj, const EffectedAttr& attributes, qint64 amount)
{
    for (const AttributeInfo& info : attributeInfo)
        if (attributes.*info.flag)
            adj.*info.adjustment = Saturating::sum(adj.*info.adjustment, amount);
}

}

bool CE::isPositiveEffect(EffectType type)
{
    const TypeInfo* info = findType(type);
    return info && info->positive;
}

bool CE::hasAnOrigin(EffectType type)
{
    const TypeInfo* info = findType(type);
    return !info || info->origin;
}

QString CE::effectToText(EffectType type)
{
    const TypeInfo* info = findType(type);
    return info && info->keyword ? QString(info->keyword) : QString();
}

QString CE::endConditionToText(EndCondition condition)
{
    if (condition < 0 || condition >= int(std::size(endConditionKeywords)))
        return QString("");
    return QString(endConditionKeywords[condition]);
}

CE::EffectType CE::textToEffect(const QString& text, bool* ok)
{
    return parse(text, effectFragments, ok);
}

CE::EndCondition CE::textToEndCondition(const QString& text, bool* ok)
{
    return parse(text, endConditionFragments, ok);
}

QString EffectedAttr::getAttributes() const
{
    QStringList keywords;
    for (const AttributeInfo& info : attributeInfo)
        if (this->*info.flag)
            keywords.append(info.keyword);
    return keywords.join(",");
}

void EffectedAttr::setAttributes(const QString& text)
{
    for (const AttributeInfo& info : attributeInfo)
        if (text.contains(QLatin1String(info.fragment), Qt::CaseInsensitive))
            this->*info.flag = true;
}

bool EffectedAttr::write(ObjectStream* stream) const
{
    int mask = 0;
    for (int i = 0; i < int(std::size(attributeInfo)); i++)
        if (this->*attributeInfo[i].flag)
            mask |= 1 << i;
    stream->write(ID_EFFECTED_ATTR_FLAGS, mask);
    stream->write(ID_EFFECTED_ATTR_END);
    return !stream->hasError();
}

void EffectedAttr::read(ObjectStream* stream)
{
    int mask = stream->readInt(ID_EFFECTED_ATTR_FLAGS);
    stream->readID(ID_EFFECTED_ATTR_END);
    for (int i = 0; i < int(std::size(attributeInfo)); i++)
        this->*attributeInfo[i].flag = mask & (1 << i);
}

Effect::Effect(const EffectDetails& details, Creature* target)
{
    initEffect(details, target);
}

void Effect::initEffect(const EffectDetails& newDetails, Creature* newTarget)
{
    details = newDetails;
    target = newTarget;
    withOrigin = !details.origin.isNull();
    originName = withOrigin ? details.origin->getNameGroup() : QString();
    targetName = target ? target->getNameGroup() : QString();

    // During the deciding creature's own turn the end of that turn does not
    // count yet: its end-turn count grows only after the turn-end checks.
    Creature* decider = details.endCondition == CE::EndOfOriginsNextTurn ? getOrigin() : getTarget();
    Creature* current = Global::encounter ? Global::encounter->getCurrentCreature() : nullptr;
    turnThreshold = decider ? decider->getEndTurnCount() + (decider == current ? 1 : 0) : 0;
}

Creature* Effect::getOrigin() const
{
    return details.origin.data();
}

Creature* Effect::getTarget() const
{
    return target.data();
}

QString Effect::getOriginName() const
{
    return details.origin ? details.origin->getNameGroup() : originName;
}

QString Effect::getTargetName() const
{
    return target ? target->getNameGroup() : targetName;
}

bool Effect::isPositiveEffect()
{
    switch (details.positive) {
    case EffectDetails::Harmful:
        return false;
    case EffectDetails::Beneficial:
        return true;
    default:
        return CE::isPositiveEffect(details.type);
    }
}

bool Effect::goodForMe(Creature* bearer, Creature* other)
{
    bool sameSide = bearer->isMonster() == other->isMonster();
    return sameSide == isPositiveEffect();
}

bool Effect::shouldEndOnTurnEnd(Creature* creature, bool delaying)
{
    Creature* decider = nullptr;
    if (details.endCondition == CE::EndOfOriginsNextTurn)
        decider = getOrigin();
    else if (details.endCondition == CE::EndOfTargetsNextTurn)
        decider = getTarget();
    if (!creature || creature != decider || creature->getEndTurnCount() < turnThreshold)
        return false;
    // A creature that delays ends only what helps it; the rest waits for its real turn.
    return !delaying || (target && goodForMe(target, creature));
}

bool Effect::shouldStartOnTurnEnd(Creature* creature)
{
    if (!creature)
        return false;
    return (details.endCondition == CE::StartOfOriginsNextTurn && creature == getOrigin())
           || (details.endCondition == CE::StartOfTargetsNextTurn && creature == getTarget());
}

bool Effect::requiresSavingThrow(Creature* creature)
{
    return details.endCondition == CE::SaveEnds && creature && creature == getTarget()
           && creature->getEndTurnCount() >= turnThreshold;
}

int Effect::applyDamage(Creature* creature)
{
    if (details.type != CE::OnGoingDamage)
        return 0;
    // Resistances and vulnerabilities may change what the damage does.
    bool ask = details.positive == EffectDetails::AskAmount || !creature->getResistances(false, true).isEmpty();
    return dueAmount(creature, ask);
}

int Effect::applyRegeneration(Creature* creature)
{
    // Regeneration does nothing at 0 hit points or below: the dead stay dead.
    if (details.type != CE::Regeneration || creature->getCurrHitPoints() <= 0)
        return 0;
    bool ask = details.positive == EffectDetails::AskAmount
               && creature->getCurrHitPoints() < creature->getMaxHitPoints();
    return dueAmount(creature, ask);
}

int Effect::dueAmount(Creature* creature, bool ask)
{
    int amount = ask ? Global::ui().promptForOngoingEffect(creature, this, details.amount) : details.amount;
    return amount < 1 ? 0 : amount;
}

void Effect::adjustAttributes(AttrAdj& adj) const
{
    static const EffectedAttr defenses{true, true, true, true};
    switch (details.type) {
    case CE::SecondWind:
        // A second wind granted by another creature gives no defence bonus.
        if (withOrigin && getOrigin() != getTarget())
            return;
        addTo(adj, defenses, 2);
        return;
    case CE::TotalDefense:
        addTo(adj, defenses, 2);
        return;
    case CE::Bonus:
        addTo(adj, details.attributes, details.amount);
        return;
    case CE::Penalty:
        addTo(adj, details.attributes, -qint64(details.amount));
        return;
    default:
        return;
    }
}

DyingEffect::DyingEffect(Creature* creature) : Effect(EffectDetails(), creature)
{
}
