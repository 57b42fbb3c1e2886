#ifndef POWERENUMS_H
#define POWERENUMS_H

// The numbers a power is made of. Each is stored as an int, so a number
// read from a damaged file stays a valid value of its type.
namespace Power {

// The program list a step belongs to; the power editor's tab index.
enum StepType : int {
    Hit = 0,
    Miss = 1,
    Effect = 2,
    // No particular list.
    AnyStep = 3,
};

// The action kind of a power and the stat-block section that shows it.
enum When : int {
    Unset = 0,
    // A trap's heading text; never stored as a power.
    Flavour = 1,
    // Drawn as plain lines even without a name.
    Trap = 2,
    Detection = 3,
    Trait = 4,
    Standard = 5,
    Move = 6,
    Minor = 7,
    Free = 8,
    Triggered = 9,
    Countermeasure = 10,
    Other = 11,
};

// Which creatures a step may target.
enum ApplyTo : int {
    // Read as AnyCreature.
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

// How often a power was used in this encounter: odd states are marked used,
// even states used as often and released again.
enum Usage : int {
    Unused = 0,
    UsedOnce = 1,
    ReleasedOnce = 2,
    UsedTwice = 3,
    ReleasedTwice = 4,
    UsedThrice = 5,
    ReleasedThrice = 6,
    UsedFourTimes = 7,
    ReleasedFourTimes = 8,
};

// How often a power may be used.
enum Cost : int {
    NoCost = 0,
    AtWill = 1,
    OncePerEncounter = 2,
    TwicePerEncounter = 3,
    ThricePerEncounter = 4,
    FourPerEncounter = 5,
    // Recharge without a number; the numbered ones are their number + 5.
    RechargeUnknown = 6,
    Recharge2 = 7,
    Recharge3 = 8,
    Recharge4 = 9,
    Recharge5 = 10,
    Recharge6 = 11,
    Daily = 12,
};

// The attack type of a power, shown by its icon.
enum PowerType : int {
    NoType = 0,
    Weapon = 1,
    RangedWeapon = 2,
    BasicMelee = 3,
    Melee = 4,
    BasicRanged = 5,
    Ranged = 6,
    BasicArea = 7,
    Area = 8,
    BasicClose = 9,
    Close = 10,
    Aura = 11,
    MeleeOrRanged = 12,
    // A stat-block line that may continue the power before it.
    Secondary = 13,
    Detail = 14,
};

// A target count that stands for any number.
const int AnyNumber = 1000000;
// A target count not set.
const int UnsetCount = -1;

}

#endif
