#ifndef EFFECTENTRIES_H
#define EFFECTENTRIES_H

#include <QList>
#include <QString>

#include "creature/effect.h"

class CommandRoad;
class Creature;
struct VitalFigures;

// The special action an origin takes along with a conditions-and-effects request.
enum CE::Action : int {
    ActionNone = 0,
    ActionUseActionPoint = 1,
    ActionTotalDefense = 2,
    ActionSecondWind = 3,
    ActionStabilize = 4,
    ActionFirstAid = 5,
    ActionGainHealingSurge = 6,
};

// What the game master entered for one conditions-and-effects request, and
// the events that record it. The preview walks the same steps as the record,
// so the creatures show before OK what they will have after it.
class EffectEntries
{
public:
    // The surge change that spends one surge worth each target's own surge value.
    static constexpr int OwnSurgeValue = -1000;

    int damage = 0;
    // Above 0 surges gained; OwnSurgeValue; else -n surges spent at surgeValue each.
    int surgeChange = 0;
    int surgeValue = 0;
    int heal = 0;
    int tempHitPoints = 0;
    CE::EffectType condition = CE::None;
    // Signed: ongoing damage below 0, regeneration above.
    int onGoing = 0;
    // Signed: a penalty below 0, a bonus above.
    int bonus = 0;
    EffectedAttr attributes;
    // Signed: a vulnerability below 0, a resistance above.
    int resistance = 0;
    CE::EndCondition endCondition = CE::EndSpecial;
    QString comment;
    CE::Action action = CE::ActionNone;

    // Who the request is by and on. The single target is the one creature
    // stabilised or given first aid; the power is marked used when the origin has it.
    struct Parties
    {
        Creature* origin = nullptr;
        QList<Creature*> targets;
        Creature* singleTarget = nullptr;
        QString powerName;
    };

    // The events in their order; false at the first the log refused.
    bool record(CommandRoad& road, const Parties& parties) const;
    // Sets the pending changes of the encounter's creatures to what record() would do.
    void preview(const Parties& parties) const;

    enum StepKind {
        MarkPowerUsed,
        Damage,
        Heal,
        TempHitPoints,
        AddEffect,
        UseActionPoint,
        TotalDefense,
        SecondWind,
        Stabilize,
        FirstAid,
        GainHealingSurge,
    };
    // One event to be: its kind, the creatures it changes and its figures.
    struct Step
    {
        StepKind kind;
        QList<Creature*> creatures;
        int amount = 0;
        int surges = 0;
        EffectDetails details;
    };
    QList<Step> steps(const Parties& parties) const;
    // Sets the pending changes of the encounter's creatures to what the steps would do.
    static void preview(const QList<Step>& steps);

private:
    void addEffects(QList<Step>& list, const Parties& parties) const;
    static void change(VitalFigures& figures, const Step& step, Creature* creature);
};

#endif
