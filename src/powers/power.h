#ifndef POWER_H
#define POWER_H

#include <QByteArray>
#include <QCoreApplication>
#include <QList>
#include <QSharedDataPointer>
#include <QString>
#include <QStringList>

#include <array>

#include "powers/powerenums.h"
#include "powers/powerprogram.h"

class AttrParser;
class Creature;
class ObjectStream;

// Which creatures, and how many, a step list of a power applies to.
struct ApplyToRecord
{
    int kind = Power::ApplyUnset;
    int from = Power::UnsetCount;
    int to = Power::UnsetCount;

    bool operator==(const ApplyToRecord& other) const;
    bool operator!=(const ApplyToRecord& other) const { return !(*this == other); }
};

// The header values of a power, as shown in its stat-block entry.
struct PowerData
{
    // Rich text.
    QString header;
    QString flavor;
    // One entry a line.
    QStringList description;
    int type = Power::NoType;
    int when = Power::Unset;
    int cost = Power::NoCost;
    // By Power::StepType: hit, miss, effect.
    std::array<ApplyToRecord, 3> applyTo;

    bool operator==(const PowerData& other) const;
    bool operator!=(const PowerData& other) const { return !(*this == other); }
};

// One power of a creature, or one of the shared actions.
class CreaturePower
{
    Q_DECLARE_TR_FUNCTIONS(CreaturePower)

public:
    enum Status : int {
        // From a stat block or builder file: its name is locked and it cannot be deleted.
        FromStatBlock = 1,
        UserPower = 2,
    };

    int status = FromStatBlock;
    QString name;
    Power::Usage usage = Power::Unused;
    // The values as imported; saves write only what differs from them.
    PowerData base;
    PowerData current;
    PowerProgram program;

    // The header becomes the usage in bold behind a bullet, and the keywords
    // in brackets before it.
    void setHeader(const QString& keywords, const QString& usage);
    void setHeader(const QString& header);
    // Status, name, usage state and both header records; not the program.
    void setHeader(const CreaturePower* from);
    QString getHeader() const { return current.header; }
    // Basic and non-basic attack types swap.
    void flipType();
    void setBase();
    // Takes each header value that the other power changed against its own
    // base, and the other's whole program.
    void applyChanges(const CreaturePower* other);
    // A user power, a changed one or one with a program: worth saving.
    bool hasEnhancedInfo() const;

    void setUsed(bool used);
    void resetUsage() { usage = Power::Unused; }
    // The uses a usage state records; 5 for a state out of range.
    static int getUsageCount(Power::Usage state);
    int getUsageCount() const { return getUsageCount(usage); }
    int usageLimit() const;
    bool hasLimitedUse() const;
    bool getUsed() const;

    // The stored kind, with unset read as any creature.
    int getApplyTo(Power::StepType type) const;
    // The stored counts with unset filled in: at least one creature hit,
    // none missed or affected, any number at most.
    int getApplyFromCount(Power::StepType type) const;
    int getApplyToCount(Power::StepType type) const;
    // As above, with "any number" as the least count read as none.
    int getApplyFromCountInt(Power::StepType type) const;
    int getApplyToCountInt(Power::StepType type) const;
    QString getApplyToText(Power::StepType type) const;
    // The icon of the power's type, its name and header; underlined when
    // highlighted, else struck through when used. The second flag is the
    // display's editor mode, which the title does not show.
    QString getTitleText(bool highlight, bool) const;
    // The dice faces a recharge cost is ready on, each an image tag after a
    // blank; a cost without a number shows them all, 2 to 6.
    static QString rechargeDice(int cost);

    void setup(bool fresh) { program.setup(fresh); }
    // Records the events of the steps of one list through the history, in
    // order; false once a record could not be written.
    bool apply(Creature* origin, QList<Creature*> targets, Power::StepType type, ObjectStream* stream);
    // Sets the pending changes of the encounter's creatures to what recording
    // the action point and applying the three lists would do to their figures.
    void preview(Creature* origin, bool useActionPoint, const QList<Creature*>& hit, const QList<Creature*>& missed,
                 const QList<Creature*>& effected) const;

    // The power as name=value lines: named in an "action" line for the
    // actions file, else in a "power" line. Header values are written only
    // where they differ from the imported ones; the usage state never.
    QByteArray getPowerProgram(const char* lineEnd, bool action) const;
    // Reads the power's lines from the parser's position on; stops before
    // the first line that is not the power's.
    void loadPower(AttrParser& parser);

private:
    const ApplyToRecord& applyRecord(Power::StepType type) const;
};

// An ordered set of powers. A power keeps its address for as long as it is
// in the set, so callers may hold on to it; copies share the powers until
// one of them changes.
class Powers
{
public:
    Powers();
    Powers(const Powers& other);
    Powers& operator=(const Powers& other);
    ~Powers();

    // Stores a copy before the first power of a greater action kind (and,
    // sorted, before the first of the same kind whose name sorts after it).
    void addPower(const CreaturePower& power, bool sorted);
    // The copy the last addition stored, while no update or removal came
    // after it; its holder may change all but its action kind and name.
    CreaturePower* lastAdded();
    CreaturePower* getPower(int i);
    const CreaturePower* getPower(int i) const;
    int size() const;
    // The first power of exactly that name; null for an empty name or none.
    CreaturePower* getPowerByName(const QString& name);
    // The power of that name takes the given values, all but its usage
    // state, and moves when its action kind changed; without one a copy is
    // added.
    void updatePower(const QString& name, const CreaturePower& power, bool sorted);
    bool deletePower(const QString& name);
    // In stored order, or by name.
    QList<CreaturePower*> getPowerList(bool sorted);

    // The texts of the powers worth saving, in order.
    QString getTextOfPowers(const char* lineEnd) const;
    bool hasEnhancedInfo() const;

private:
    struct Data;

    // The list with every power added in its place.
    const QList<CreaturePower*>& settled() const;
    CreaturePower* find(const QString& name);
    // A power handed out may be changed by its holder: from then on a copy
    // of the set copies the powers at once.
    CreaturePower* handOut(CreaturePower* power);

    QSharedDataPointer<Data> d;
};

#endif
