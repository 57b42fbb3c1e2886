#ifndef POWEREVENTS_H
#define POWEREVENTS_H

#include "encounter/event.h"
#include "powers/power.h"

// A power of a creature used, released, recharged or reset. The power is
// found again by name whenever the event acts, so one renamed or deleted
// since is left alone.
class PowerUsageChangedEvent : public Event
{
    Q_DECLARE_TR_FUNCTIONS(PowerUsageChangedEvent)

public:
    // A recharge roll r is recorded as FirstRecharge + r - 1.
    // Fixed to int: a damaged log may hold any number here.
    enum Type : int { Used = 0, Unused = 1, FirstRecharge = 2, LastRecharge = 7, ResetUsage = 8 };

    PowerUsageChangedEvent(Creature* creature, const QString& powerName, Type type, ObjectStream* stream);
    PowerUsageChangedEvent(Creature* creature, CreaturePower* power, Type type, ObjectStream* stream);
    explicit PowerUsageChangedEvent(ObjectStream* stream);

    QString getDescription(bool forPlayers) override;
    void apply() override;
    void undo() override;

private:
    void init(Creature* creature, const QString& powerName, Type type, ObjectStream* stream);
    void initPowerUsageRechared(const QString& nameGroup, const QString& powerName, Type type);
    CreaturePower* findPower() const;
    // The die a recharge roll showed; 0 for the other changes.
    int rechargeDie() const;

    Creature* creature = nullptr;
    QString powerName;
    Power::Usage oldUsage = Power::Unused;
    Type type = Used;
};

// A creature's alias, and whether the players' window shows it.
class SetAliasEvent : public Event
{
    Q_DECLARE_TR_FUNCTIONS(SetAliasEvent)

public:
    SetAliasEvent(Creature* creature, bool showAlias, const QString& alias, ObjectStream* stream);
    explicit SetAliasEvent(ObjectStream* stream);

    QString getDescription(bool forPlayers) override;
    void apply() override;
    void undo() override;

private:
    void initSetAlias(const QString& nameGroup, bool showAlias, const QString& alias);
    void setAlias(bool show, const QString& text);

    Creature* creature = nullptr;
    bool showAlias = false;
    QString alias;
    bool oldShowAlias = false;
    QString oldAlias;
};

#endif
