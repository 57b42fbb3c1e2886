#include "encounter/powerevents.h"

#include "encounter/eventtags.h"
#include "foundation/objectstream.h"

namespace {

QString nameGroupOf(Creature* creature)
{
    return creature ? creature->getNameGroup() : QString();
}

QString displayName(Creature* creature, bool forPlayers)
{
    return creature ? creature->getDisplayName(forPlayers) : QString();
}

// Costs 7 to 11 are recharge 2 to 6.
int rechargeNumber(const CreaturePower* power)
{
    return power->current.cost - 5;
}

}

PowerUsageChangedEvent::PowerUsageChangedEvent(Creature* creature, const QString& powerName, Type type,
                                               ObjectStream* stream)
{
    init(creature, powerName, type, stream);
}

PowerUsageChangedEvent::PowerUsageChangedEvent(Creature* creature, CreaturePower* power, Type type,
                                               ObjectStream* stream)
{
    init(creature, power->name, type, stream);
}

PowerUsageChangedEvent::PowerUsageChangedEvent(ObjectStream* stream)
{
    const QString nameGroup = stream->readString(ID_POWER_USAGE_EVENT_CREATURE);
    const QString name = stream->readString(ID_POWER_USAGE_EVENT_POWER);
    const Type change = Type(stream->readInt(ID_POWER_USAGE_EVENT_TYPE));
    endReading(stream, ID_EVENT_END);
    initPowerUsageRechared(nameGroup, name, change);
}

void PowerUsageChangedEvent::init(Creature* holder, const QString& name, Type change, ObjectStream* stream)
{
    const QString nameGroup = nameGroupOf(holder);
    beginRecord(stream, PowerUsageChangedType);
    stream->write(ID_POWER_USAGE_EVENT_CREATURE, nameGroup);
    stream->write(ID_POWER_USAGE_EVENT_POWER, name);
    stream->write(ID_POWER_USAGE_EVENT_TYPE, int(change));
    endRecord(stream, ID_EVENT_END);
    initPowerUsageRechared(nameGroup, name, change);
}

void PowerUsageChangedEvent::initPowerUsageRechared(const QString& nameGroup, const QString& name, Type change)
{
    // Found as the log reader finds it, so a live event and its replay agree.
    creature = Creature::getCreatureByName(nameGroup, true);
    powerName = name;
    type = change;
    if (const CreaturePower* power = findPower())
        oldUsage = power->usage;
    playersEvent = false;
}

CreaturePower* PowerUsageChangedEvent::findPower() const
{
    return creature ? creature->getPowers().getPowerByName(powerName) : nullptr;
}

int PowerUsageChangedEvent::rechargeDie() const
{
    return type >= FirstRecharge && type <= LastRecharge ? type - FirstRecharge + 1 : 0;
}

QString PowerUsageChangedEvent::getDescription(bool forPlayers)
{
    const CreaturePower* power = findPower();
    const QString name = displayName(creature, forPlayers);
    const int uses = CreaturePower::getUsageCount(oldUsage);
    QString text;
    int count = uses;
    if (type == Used) {
        text = tr("%1: Used %2").arg(name, powerName);
        count = uses + 1;
    } else if (type == Unused) {
        text = tr("%1: Unused %2").arg(name, powerName);
    } else if (const int die = rechargeDie()) {
        const int recharge = power ? rechargeNumber(power) : 2;
        const char* form = die >= recharge ? QT_TR_NOOP("Recharge %1: %2 + %3") : QT_TR_NOOP("Recharge %1: %2 - %3");
        return tr(form).arg(QString::number(die), name, powerName);
    } else if (type == ResetUsage) {
        return tr("%1: Reset Usage %2").arg(name, powerName);
    }
    // Only powers usable more than once per encounter count their uses.
    if (power && power->usageLimit() > 1)
        text += QString(" (%1/%2)").arg(count).arg(power->usageLimit());
    return text;
}

void PowerUsageChangedEvent::apply()
{
    CreaturePower* power = findPower();
    if (!power)
        return;
    if (type == Used || type == Unused)
        power->setUsed(type == Used);
    else if (const int die = rechargeDie())
        power->setUsed(die < rechargeNumber(power));
    else if (type == ResetUsage)
        power->resetUsage();
    creature->changedPower();
}

void PowerUsageChangedEvent::undo()
{
    CreaturePower* power = findPower();
    if (!power)
        return;
    power->usage = oldUsage;
    creature->changedPower();
}

SetAliasEvent::SetAliasEvent(Creature* holder, bool show, const QString& text, ObjectStream* stream)
{
    const QString nameGroup = nameGroupOf(holder);
    beginRecord(stream, SetAliasType);
    stream->write(ID_SET_ALIAS_EVENT_CREATURE, nameGroup);
    stream->write(ID_SET_ALIAS_EVENT_SHOW, show ? 1 : 0);
    stream->write(ID_SET_ALIAS_EVENT_ALIAS, text);
    endRecord(stream, ID_EVENT_END);
    initSetAlias(nameGroup, show, text);
}

SetAliasEvent::SetAliasEvent(ObjectStream* stream)
{
    const QString nameGroup = stream->readString(ID_SET_ALIAS_EVENT_CREATURE);
    const bool show = stream->readInt(ID_SET_ALIAS_EVENT_SHOW) != 0;
    const QString text = stream->readString(ID_SET_ALIAS_EVENT_ALIAS);
    endReading(stream, ID_EVENT_END);
    initSetAlias(nameGroup, show, text);
}

void SetAliasEvent::initSetAlias(const QString& nameGroup, bool show, const QString& text)
{
    creature = Creature::getCreatureByName(nameGroup, true);
    showAlias = show;
    alias = text;
    if (creature) {
        oldShowAlias = creature->isShowAlias();
        oldAlias = creature->getAlias();
    }
}

QString SetAliasEvent::getDescription(bool forPlayers)
{
    const QString name = displayName(creature, forPlayers);
    if (alias.isEmpty())
        return tr("%1: Remove Alias").arg(name);
    if (showAlias)
        return tr("%1: Show Alias: %2").arg(name, alias);
    if (alias == oldAlias)
        return tr("%1: Hide Alias").arg(name);
    return tr("%1: Hide Alias: %2").arg(name, alias);
}

void SetAliasEvent::apply()
{
    setAlias(showAlias, alias);
}

void SetAliasEvent::undo()
{
    setAlias(oldShowAlias, oldAlias);
}

void SetAliasEvent::setAlias(bool show, const QString& text)
{
    if (!creature)
        return;
    creature->setShowAlias(show);
    creature->setAlias(text);
}
