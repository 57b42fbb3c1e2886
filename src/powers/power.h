#ifndef POWER_H
#define POWER_H

#include <QList>
#include <QString>
#include <QStringList>

namespace Power {
// The action kind of a power; the stat block groups powers by it.
enum When {
    Unset = 0,
    Special1 = 1,
    Special2 = 2,
    Trait = 4,
    Standard = 5,
    Move = 6,
    Minor = 7,
    Free = 8,
    Triggered = 9,
};

// Which creatures a power step may target.
enum ApplyTo {
    ApplyUnset = 0,
    AnyCreature = 1,
    Enemy = 2,
    Ally = 3,
    OtherAlly = 4,
    AllyAndSelf = 5,
    Self = 6,
    CurrentCreature = 7,
    Targets = 8,
    NoTarget = 9,
    NotTrackable = 10,
};
}

// The header values of a power as shown in its stat-block entry.
struct PowerHeaderData
{
    QString header;
    QStringList description;
    int type = 0;
    int when = Power::Unset;
};

// One power or action of a creature.
class CreaturePower
{
public:
    enum Status { FromStatBlock = 1, UserPower = 2 };
    // A stat-block line that may continue the power before it.
    static const int ContinuationType = 13;

    QString name;
    PowerHeaderData current;
    int status = FromStatBlock;

    QString getHeader() const { return current.header; }
    int getUsageCount() const { return usageCount; }
    void use() { usageCount++; }
    void resetUsage() { usageCount = 0; }

private:
    int usageCount = 0;
};

// An ordered set of powers; copies share it until one of them changes.
class Powers
{
public:
    // Stores a copy before the first power of a greater action kind (and,
    // sorted, before the first of the same kind whose name sorts after it);
    // returns the copy's index.
    int addPower(const CreaturePower& power, bool sorted);
    CreaturePower* getPower(int i);
    const CreaturePower* getPower(int i) const;
    int size() const { return powers.size(); }

private:
    QList<CreaturePower> powers;
};

#endif
