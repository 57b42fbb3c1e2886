#ifndef EFFECT_H
#define EFFECT_H

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

#include <optional>

#include "foundation/dogtag.h"

class Creature;
class ObjectStream;

// The kinds of effect and of ending, and the keywords power programs write for them.
class CE
{
public:
    CE() = delete;

    // Fixed to int: a damaged log may hold any number here.
    enum EffectType : int {
        None,
        Blinded,
        Dazed,
        Deafened,
        Dominated,
        Grabbed,
        Helpless,
        Hidden,
        Immobilized,
        Marked,
        Petrified,
        Prone,
        Restrained,
        Slowed,
        Stunned,
        Surprised,
        Unconscious,
        Weakened,
        TotalDefense,
        SecondWind,
        OnGoingDamage,
        Regeneration,
        Penalty,
        Bonus,
        PartialCover,
        SuperiorCover,
        Concealment,
        TotalConcealment,
        Resistance,
        Vulnerability,
        GoodEffect,
        BadEffect,
        Insubstantial,
        Phasing,
        GrantsCombatAdvantage
    };

    enum EndCondition : int {
        EndSpecial,
        EndOfOriginsNextTurn,
        EndOfTargetsNextTurn,
        SaveEnds,
        EndOfEncounter,
        StartOfOriginsNextTurn,
        StartOfTargetsNextTurn
    };

    // The kind of a condition-and-effect request; its values belong to the
    // dialogs and power steps that make such requests.
    enum Action : int;

    static bool isPositiveEffect(EffectType type);
    static bool hasAnOrigin(EffectType type);
    // Null for the types that never travel as keywords.
    static QString effectToText(EffectType type);
    static QString endConditionToText(EndCondition condition);
    // Tolerant of case and of extra text: the first known fragment found
    // decides. Text without one reads as 0 and clears *ok.
    static EffectType textToEffect(const QString& text, bool* ok = nullptr);
    static EndCondition textToEndCondition(const QString& text, bool* ok = nullptr);
};

// The attributes a bonus or penalty applies to.
struct EffectedAttr
{
    bool armorClass = false;
    bool fortitude = false;
    bool reflex = false;
    bool will = false;
    bool toHit = false;
    bool damage = false;
    bool savingThrows = false;

    QString getAttributes() const;
    // Only sets flags; start from a clear record.
    void setAttributes(const QString& text);
    bool write(ObjectStream* stream) const;
    void read(ObjectStream* stream);
};

// The summed adjustments of a creature's effects; start it at zero.
struct AttrAdj
{
    int armorClass = 0;
    int fortitude = 0;
    int reflex = 0;
    int will = 0;
    int toHit = 0;
    int damage = 0;
    int savingThrows = 0;
};

// An effect to apply, as the dialogs and power steps describe it.
struct EffectDetails
{
    enum Positive { ByType = -1, Harmful = 0, Beneficial = 1, AskAmount = 2 };

    QString sourceName;
    QPointer<Creature> origin;
    CE::EffectType type = CE::None;
    CE::EndCondition endCondition = CE::EndSpecial;
    QString comment;
    // A magnitude; the type carries the sign.
    int amount = 0;
    EffectedAttr attributes;
    int positive = ByType;
    // Effects placed by one use of a power share a nonzero id.
    unsigned int groupId = 0;
    bool sustainable = false;
};

class Effect;

// Ongoing damage or regeneration due at a turn start.
struct OnGoingAmount
{
    Effect* effect = nullptr;
    int amount = 0;
};

// One condition or effect on a creature. It belongs to the event that made it;
// the creatures it names may be deleted before it is.
class Effect : public QObject
{
    Q_OBJECT

public:
    Effect(const EffectDetails& details, Creature* target);
    void initEffect(const EffectDetails& details, Creature* target);

    const EffectDetails& getDetails() const { return details; }
    CE::EffectType getEffectType() const { return details.type; }
    CE::EndCondition getEndCondition() const { return details.endCondition; }
    int getEffectAmount() const { return details.amount; }
    QString getEffectComment() const { return details.comment; }
    unsigned int getGroupId() const { return details.groupId; }
    // Null once the creature was deleted; the names stay as recorded then.
    Creature* getOrigin() const;
    Creature* getTarget() const;
    bool hasOrigin() const { return withOrigin; }
    QString getOriginName() const;
    QString getTargetName() const;

    // The texts are HTML: the names and comments in them are escaped.
    static QString getEffectText(const EffectDetails& details);
    static QString getEffectText(const EffectDetails& details, bool forPlayers);
    // Names the origin as the players know it: by its alias, not at all when hidden.
    QString getPlayersEffectText() const;
    static QString getEffectedAttributeList(const EffectedAttr& attributes);

    virtual QString getDescription() const;
    virtual QString getEffectText() const;
    virtual QString getEndConditionText(bool heading) const;
    virtual bool isPositiveEffect();
    virtual bool isSustainableEffect() { return details.sustainable; }
    virtual bool goodForMe(Creature* bearer, Creature* other);
    virtual bool shouldEndOnTurnEnd(Creature* creature, bool delaying);
    virtual bool shouldStartOnTurnEnd(Creature* creature);
    virtual bool requiresSavingThrow(Creature* creature);
    virtual bool shouldEndOnEncounterEnd() { return details.endCondition != CE::EndSpecial; }
    // The amounts the turn start records, after asking the game master where
    // needed; 0 when nothing is due.
    virtual int applyDamage(Creature* creature);
    virtual int applyRegeneration(Creature* creature);
    virtual void adjustAttributes(AttrAdj& adj) const;

private:
    static QString shortText(const EffectDetails& details, const std::optional<QString>& originName);
    static std::optional<QString> playersOriginName(Creature* origin);
    int dueAmount(Creature* creature, bool ask);

    EffectDetails details;
    QPointer<Creature> target;
    // The end-turn count the deciding creature must reach for a turn-end
    // ending or a saving throw.
    int turnThreshold = 0;
    bool withOrigin = false;
    QString originName;
    QString targetName;
    DogTag dogTag{__LINE__, __FILE__};
};

// A dying hero's death saving throw among the saving throws of a turn end;
// never on a creature.
class DyingEffect : public Effect
{
    Q_OBJECT

public:
    explicit DyingEffect(Creature* creature);
    QString getEffectText() const override;
};

// One line of a creature's on-screen grouping of its effects.
struct NestedEffect
{
    enum Kind { Single, Heading, Member };

    int kind = Single;
    unsigned int groupId = 0;
    QList<Effect*> effects;

    Effect* getEffect() const { return effects.isEmpty() ? nullptr : effects.first(); }
    bool isNestedEffect() const { return kind == Member; }
    QString getEffectText() const;
    QString getEffectsList() const;
};

#endif
