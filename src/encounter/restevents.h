#ifndef RESTEVENTS_H
#define RESTEVENTS_H

#include <functional>

#include "encounter/event.h"

// A dying creature failed one more death saving throw.
class FailedDeathSavingThrowEvent : public ChangeStateEvent
{
    Q_DECLARE_TR_FUNCTIONS(FailedDeathSavingThrowEvent)

public:
    FailedDeathSavingThrowEvent(Creature* creature, ObjectStream* stream);
    explicit FailedDeathSavingThrowEvent(ObjectStream* stream);

    QString getDescription(bool forPlayers) override;
    void apply() override;
    bool isPlayersEvent() override { return true; }
};

// Action points used, added, lost or reset.
class UseActionPointEvent : public ChangeStateEvent
{
    Q_DECLARE_TR_FUNCTIONS(UseActionPointEvent)

public:
    UseActionPointEvent(Creature* creature, int amount, ObjectStream* stream);
    explicit UseActionPointEvent(ObjectStream* stream);

    QString getDescription(bool forPlayers) override;
    void apply() override;

private:
    // Below 0 points spent, above 0 points added; -AllActionPoints loses
    // them all, AllActionPoints resets them to the per-encounter number.
    int amount = -1;
};

// A dying creature stabilised, by another creature or not.
class StabilizeEvent : public ChangeStateEvent
{
    Q_DECLARE_TR_FUNCTIONS(StabilizeEvent)

public:
    StabilizeEvent(Creature* origin, Creature* target, ObjectStream* stream);
    explicit StabilizeEvent(ObjectStream* stream);

    QString getDescription(bool forPlayers) override;
    void apply() override;
    bool isPlayersEvent() override { return true; }
};

// Each resting creature spends surges, regains hit points and may gain an
// action point. Power usage is left to the usage-reset events that follow.
class ShortRestEvent : public ChangeStateEvent
{
    Q_DECLARE_TR_FUNCTIONS(ShortRestEvent)

public:
    ShortRestEvent(const QList<RestedCreature>& rested, ObjectStream* stream);
    explicit ShortRestEvent(ObjectStream* stream);

    QString getDescription(bool forPlayers) override;
    void apply() override;
    bool isPlayersEvent() override { return true; }

private:
    void init(const QList<RestedCreature>& entries);

    QList<RestedCreature> rested;
};

// The creatures regain all their figures. It only records and restores
// figures: the re-import of linked files comes before it is built
// (refreshLinkedFiles), and power usage is left to the usage-reset events
// that follow it. The players see it only when it rests a player character.
class ExtendedRestEvent : public ChangeStateEvent
{
    Q_DECLARE_TR_FUNCTIONS(ExtendedRestEvent)

public:
    // An empty list rests the default list, which is not recorded but worked
    // out again when the record is read.
    ExtendedRestEvent(const QList<Creature*>& creatures, ObjectStream* stream);
    explicit ExtendedRestEvent(ObjectStream* stream);

    QString getDescription(bool forPlayers) override;
    void apply() override;

    // The living heroes of the encounter, in initiative order.
    static QList<Creature*> getDefaultList();

    // Re-reads a creature's linked import file and saves the creature when
    // that changed it; tests may put another in its place.
    static std::function<void(Creature*)> refreshLinkedFile;
    // What a command that builds this event does first, before it records
    // anything: a re-import may save a creature, and saving records its
    // edits. Takes the same list as the constructor.
    static void refreshLinkedFiles(const QList<Creature*>& creatures);
};

// A creature's second wind marked as used or regained.
class UseSecondWindEvent : public ChangeStateEvent
{
    Q_DECLARE_TR_FUNCTIONS(UseSecondWindEvent)

public:
    UseSecondWindEvent(Creature* creature, int value, ObjectStream* stream);
    explicit UseSecondWindEvent(ObjectStream* stream);

    QString getDescription(bool forPlayers) override;
    void apply() override;

private:
    // 1 regained, -1 used; any other value also marks it used.
    int value = -1;
};

#endif
