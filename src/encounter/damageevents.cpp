#include "encounter/damageevents.h"

#include "creature/effect.h"
#include "encounter/effectevents.h"
#include "encounter/eventtags.h"
#include "foundation/objectstream.h"

namespace {

// Every record of these events starts with an origin and the targets.
void writeCreatures(ObjectStream* stream, Creature* origin, const QList<Creature*>& targets)
{
    Creature::write(origin, stream);
    Creature::write(targets, stream);
}

struct RecordedCreatures
{
    Creature* origin = nullptr;
    QList<Creature*> targets;
};

RecordedCreatures readCreatures(ObjectStream* stream)
{
    RecordedCreatures read;
    read.origin = Creature::readCreature(stream);
    read.targets = Creature::readCreatureList(stream);
    // A target that was missing when the record was written has no name to
    // find it by; nothing may be done to it.
    read.targets.removeAll(nullptr);
    return read;
}

// "origin -> " when there is one to name, the text, then the targets.
QString describe(Creature* origin, const QString& text, const QList<Creature*>& targets, bool forPlayers)
{
    return Creature::getOriginPrefix(origin, forPlayers) + text + Creature::getNameList(targets, forPlayers);
}

void markSecondWindUsed(const QList<Creature*>& creatures)
{
    for (Creature* creature : creatures)
        creature->setSecondWindUsed(true);
}

}

DamageEvent::DamageEvent(const QString& actionName, Creature* origin, Creature* target, int damage,
                         const QString& typeText, ObjectStream* stream)
    : DamageEvent(actionName, origin, QList<Creature*>{target}, damage, typeText, stream)
{
}

DamageEvent::DamageEvent(const QString& actionName, Creature* origin, const QList<Creature*>& damaged, int damage,
                         const QString& typeText, ObjectStream* stream)
{
    init(DamageType, actionName, origin, damaged, damage, typeText, stream);
}

DamageEvent::DamageEvent(ObjectStream* stream)
{
    RecordedCreatures read = readCreatures(stream);
    amount = stream->readInt(ID_DAMAGE_EVENT_DAMAGE);
    action = readOptional(stream, ID_DAMAGE_EVENT_ACTION);
    damageType = readOptional(stream, ID_DAMAGE_EVENT_DAMAGE_TYPE);
    endReading(stream, ID_DAMAGE_EVENT_END);
    initChangeState(read.origin, read.targets);
}

void DamageEvent::init(Type type, const QString& actionName, Creature* origin, const QList<Creature*>& damaged,
                       int damage, const QString& typeText, ObjectStream* stream)
{
    beginRecord(stream, type);
    writeCreatures(stream, origin, damaged);
    stream->write(ID_DAMAGE_EVENT_DAMAGE, damage);
    writeOptional(stream, ID_DAMAGE_EVENT_ACTION, actionName);
    writeOptional(stream, ID_DAMAGE_EVENT_DAMAGE_TYPE, typeText);
    endRecord(stream, ID_DAMAGE_EVENT_END);
    initChangeState(origin, damaged);
    action = actionName;
    amount = damage;
    damageType = typeText;
}

QString DamageEvent::damageText(const QString& plain, const QString& typed) const
{
    return damageType.isEmpty() ? plain.arg(amount) : typed.arg(QString::number(amount), damageType);
}

QString DamageEvent::getDescription(bool forPlayers)
{
    return describe(actor, damageText(tr("Damaged %1: "), tr("Damaged %1 (%2): ")), targets, forPlayers);
}

void DamageEvent::apply()
{
    for (Creature* target : targets)
        target->applyDamage(amount, actor);
}

OnGoingDamageEvent::OnGoingDamageEvent(const QString& actionName, Creature* origin, Creature* target, int damage,
                                       const QString& typeText, ObjectStream* stream)
{
    init(OnGoingDamageType, actionName, origin, {target}, damage, typeText, stream);
}

QString OnGoingDamageEvent::getDescription(bool forPlayers)
{
    return describe(nullptr, damageText(tr("Ongoing Damage %1: "), tr("Ongoing Damage %1 (%2): ")), targets,
                    forPlayers);
}

HealEvent::HealEvent(const QString& actionName, Creature* origin, Creature* target, int spent, int healed,
                     ObjectStream* stream)
    : HealEvent(actionName, origin, QList<Creature*>{target}, spent, healed, stream)
{
}

HealEvent::HealEvent(const QString& actionName, Creature* origin, const QList<Creature*>& healedCreatures, int spent,
                     int healed, ObjectStream* stream)
{
    initHealEvent(HealType, actionName, origin, healedCreatures, spent, healed, stream);
}

HealEvent::HealEvent(ObjectStream* stream)
{
    RecordedCreatures read = readCreatures(stream);
    surges = stream->readInt(ID_HEAL_EVENT_US);
    hp = stream->readInt(ID_HEAL_EVENT_HP);
    action = readOptional(stream, ID_HEAL_EVENT_ACTION);
    endReading(stream, ID_HEAL_EVENT_END);
    initChangeState(read.origin, read.targets);
}

void HealEvent::initHealEvent(Type type, const QString& actionName, Creature* origin,
                              const QList<Creature*>& healedCreatures, int spent, int healed, ObjectStream* stream)
{
    beginRecord(stream, type);
    writeCreatures(stream, origin, healedCreatures);
    stream->write(ID_HEAL_EVENT_US, spent);
    stream->write(ID_HEAL_EVENT_HP, healed);
    writeOptional(stream, ID_HEAL_EVENT_ACTION, actionName);
    endRecord(stream, ID_HEAL_EVENT_END);
    initChangeState(origin, healedCreatures);
    surges = spent;
    hp = healed;
    action = actionName;
}

QString HealEvent::getDescription(bool forPlayers)
{
    QString text;
    if (surges == 0)
        text = tr("Healed %1: ").arg(hp);
    else if (hp == 0 && surges < 0)
        text = tr("Healing Surges +%2: ").arg(-surges);
    else if (hp == 0)
        text = tr("Healing Surges -%2: ").arg(surges);
    else if (surges < 0)
        text = tr("Healed %1 (+%2 HS): ").arg(hp).arg(-surges);
    else
        text = tr("Healed %1 (-%2 HS): ").arg(hp).arg(surges);
    return describe(actor, text, targets, forPlayers);
}

void HealEvent::apply()
{
    for (Creature* target : targets)
        target->applyHealing(hp, surges);
}

RegenerationEvent::RegenerationEvent(const QString& actionName, Creature* creature, int amount, ObjectStream* stream)
{
    initHealEvent(RegenerationType, actionName, nullptr, {creature}, 0, amount, stream);
}

QString RegenerationEvent::getDescription(bool forPlayers)
{
    return describe(nullptr, tr("Regeneration %1: ").arg(hp), targets, forPlayers);
}

SecondWindEvent::SecondWindEvent(Creature* creature, ObjectStream* stream)
{
    initHealEvent(SecondWindType, QString(), creature, {creature}, 1, creature->getSurgeValue(), stream);
    makeEffect();
}

SecondWindEvent::SecondWindEvent(ObjectStream* stream) : HealEvent(stream)
{
    makeEffect();
}

SecondWindEvent::~SecondWindEvent()
{
    destroyEventEffect(effect);
}

void SecondWindEvent::makeEffect()
{
    if (targets.isEmpty() || actor != targets.first())
        return;
    EffectDetails details;
    details.origin = actor;
    details.type = CE::SecondWind;
    details.endCondition = CE::StartOfTargetsNextTurn;
    effect = new Effect(details, actor);
}

QString SecondWindEvent::getDescription(bool forPlayers)
{
    return describe(nullptr, tr("Second Wind: "), targets, forPlayers);
}

void SecondWindEvent::apply()
{
    HealEvent::apply();
    // The same object each time, so redo after undo brings back the effect undo took.
    if (effect)
        targets.first()->addEffect(effect);
    markSecondWindUsed(targets);
}

void SecondWindEvent::undo()
{
    if (effect)
        targets.first()->removeEffect(effect);
    ChangeStateEvent::undo();
}

AdministerFirstAidEvent::AdministerFirstAidEvent(Creature* origin, Creature* target, ObjectStream* stream)
{
    initHealEvent(AdministerFirstAidType, QString(), origin, {target}, 1, target->getSurgeValue(), stream);
}

QString AdministerFirstAidEvent::getDescription(bool forPlayers)
{
    return describe(actor, tr("Second Wind (First Aid): "), targets, forPlayers);
}

void AdministerFirstAidEvent::apply()
{
    HealEvent::apply();
    markSecondWindUsed(targets);
}

GainHealingSurgeEvent::GainHealingSurgeEvent(Creature* creature, ObjectStream* stream)
{
    initHealEvent(GainHealingSurgeType, QString(), creature, {creature}, -1, 0, stream);
}

QString GainHealingSurgeEvent::getDescription(bool forPlayers)
{
    return describe(actor, tr("Gained Healing Surge: "), targets, forPlayers);
}

SetTempHPEvent::SetTempHPEvent(const QList<Creature*>& gaining, int gained, ObjectStream* stream)
{
    beginRecord(stream, SetTempHPType);
    writeCreatures(stream, nullptr, gaining);
    stream->write(ID_SET_THP_RESOURCE_AMOUNT, gained);
    endRecord(stream, ID_SET_THP_RESOURCE_END);
    initChangeState(nullptr, gaining);
    amount = gained;
}

SetTempHPEvent::SetTempHPEvent(ObjectStream* stream)
{
    RecordedCreatures read = readCreatures(stream);
    amount = stream->readInt(ID_SET_THP_RESOURCE_AMOUNT);
    endReading(stream, ID_SET_THP_RESOURCE_END);
    initChangeState(read.origin, read.targets);
}

QString SetTempHPEvent::getDescription(bool forPlayers)
{
    return describe(nullptr, tr("Gained Temporary HP %1: ").arg(amount), targets, forPlayers);
}

void SetTempHPEvent::apply()
{
    states.clear();
    for (Creature* target : targets) {
        states.append(target->getState());
        target->setTempHitPoints(amount);
    }
}
