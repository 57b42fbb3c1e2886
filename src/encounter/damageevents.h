#ifndef DAMAGEEVENTS_H
#define DAMAGEEVENTS_H

#include "encounter/event.h"

class Effect;

// Damage dealt to each target; temporary hit points absorb it first.
class DamageEvent : public ChangeStateEvent
{
    Q_DECLARE_TR_FUNCTIONS(DamageEvent)

public:
    DamageEvent(const QString& action, Creature* origin, Creature* target, int amount, const QString& damageType,
                ObjectStream* stream);
    DamageEvent(const QString& action, Creature* origin, const QList<Creature*>& targets, int amount,
                const QString& damageType, ObjectStream* stream);
    explicit DamageEvent(ObjectStream* stream);

    QString getDescription(bool forPlayers) override;
    void apply() override;

protected:
    DamageEvent() = default;
    void init(Type type, const QString& action, Creature* origin, const QList<Creature*>& targets, int amount,
              const QString& damageType, ObjectStream* stream);
    // The amount in the plain text, or with the damage type in the typed one.
    QString damageText(const QString& plain, const QString& typed) const;

    int amount = 0;
    QString damageType;
    // Recorded, never shown.
    QString action;
};

// Ongoing damage taken at the start of the target's turn.
class OnGoingDamageEvent : public DamageEvent
{
    Q_DECLARE_TR_FUNCTIONS(OnGoingDamageEvent)

public:
    OnGoingDamageEvent(const QString& action, Creature* origin, Creature* target, int amount,
                       const QString& damageType, ObjectStream* stream);
    explicit OnGoingDamageEvent(ObjectStream* stream) : DamageEvent(stream) {}

    QString getDescription(bool forPlayers) override;
};

// Hit points restored and healing surges spent by each target; negative
// surges are regained.
class HealEvent : public ChangeStateEvent
{
    Q_DECLARE_TR_FUNCTIONS(HealEvent)

public:
    HealEvent(const QString& action, Creature* origin, Creature* target, int surges, int hp, ObjectStream* stream);
    HealEvent(const QString& action, Creature* origin, const QList<Creature*>& targets, int surges, int hp,
              ObjectStream* stream);
    explicit HealEvent(ObjectStream* stream);

    QString getDescription(bool forPlayers) override;
    void apply() override;

protected:
    HealEvent() = default;
    void initHealEvent(Type type, const QString& action, Creature* origin, const QList<Creature*>& targets,
                       int surges, int hp, ObjectStream* stream);

    int surges = 0;
    int hp = 0;
    // Recorded, never shown.
    QString action;
};

// Regeneration at the start of the creature's turn.
class RegenerationEvent : public HealEvent
{
    Q_DECLARE_TR_FUNCTIONS(RegenerationEvent)

public:
    RegenerationEvent(const QString& action, Creature* creature, int amount, ObjectStream* stream);
    explicit RegenerationEvent(ObjectStream* stream) : HealEvent(stream) {}

    QString getDescription(bool forPlayers) override;
};

// A creature spends a surge on itself and defends better until its next turn.
class SecondWindEvent : public HealEvent
{
    Q_DECLARE_TR_FUNCTIONS(SecondWindEvent)

public:
    SecondWindEvent(Creature* creature, ObjectStream* stream);
    explicit SecondWindEvent(ObjectStream* stream);
    ~SecondWindEvent() override;

    QString getDescription(bool forPlayers) override;
    void apply() override;
    void undo() override;
    bool isPlayersEvent() override { return true; }

private:
    void makeEffect();

    // On the creature exactly while the event is applied.
    Effect* effect = nullptr;
};

// One creature makes another spend a surge, as if by its second wind.
class AdministerFirstAidEvent : public HealEvent
{
    Q_DECLARE_TR_FUNCTIONS(AdministerFirstAidEvent)

public:
    AdministerFirstAidEvent(Creature* origin, Creature* target, ObjectStream* stream);
    explicit AdministerFirstAidEvent(ObjectStream* stream) : HealEvent(stream) {}

    QString getDescription(bool forPlayers) override;
    void apply() override;
    bool isPlayersEvent() override { return true; }
};

// A creature regains one healing surge, within its daily number.
class GainHealingSurgeEvent : public HealEvent
{
    Q_DECLARE_TR_FUNCTIONS(GainHealingSurgeEvent)

public:
    GainHealingSurgeEvent(Creature* creature, ObjectStream* stream);
    explicit GainHealingSurgeEvent(ObjectStream* stream) : HealEvent(stream) {}

    QString getDescription(bool forPlayers) override;
    bool isPlayersEvent() override { return true; }
};

// Temporary hit points do not add up: each target keeps the larger amount.
class SetTempHPEvent : public ChangeStateEvent
{
    Q_DECLARE_TR_FUNCTIONS(SetTempHPEvent)

public:
    SetTempHPEvent(const QList<Creature*>& targets, int amount, ObjectStream* stream);
    explicit SetTempHPEvent(ObjectStream* stream);

    QString getDescription(bool forPlayers) override;
    void apply() override;

private:
    int amount = 0;
};

#endif
