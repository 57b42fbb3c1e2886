// Every kind of event on two heroes and two goblins: what its record holds,
// how it reads, what it changes, and that undo, redo and a replay of the log
// agree; then the faults and edge cases of each family.

#include <QDirIterator>
#include <QFileInfo>
#include <QGuiApplication>
#include <QSignalSpy>

#include <functional>
#include <limits>
#include <memory>

#include "creature/effect.h"
#include "encounter/damageevents.h"
#include "encounter/effectevents.h"
#include "encounter/encounter.h"
#include "encounter/encounterevents.h"
#include "encounter/eventtags.h"
#include "encounter/history.h"
#include "encounter/powerevents.h"
#include "encounter/restevents.h"
#include "encounter/rosterevents.h"
#include "encounter/turnorderevents.h"
#include "encounter/vitalityevents.h"
#include "foundation/global.h"
#include "foundation/objectstream.h"
#include "library/characters.h"
#include "powers/power.h"
#include "support/testsupport.h"
#include "support/testworld.h"

namespace {

using World = QMap<QString, QString>;
using S = ObjectStream*;
using EventMaker = std::function<Event*(S)>;
using UsageType = PowerUsageChangedEvent::Type;

History* history() { return Global::history; }
Encounter* encounter() { return Global::encounter; }
S stream() { return Global::history->getStream(false); }
Event* current() { return Global::history->getCurrentEvent(); }
void record(const EventMaker& make) { QVERIFY(history()->apply(make(stream()), false)); }
void record(Event* event) { QVERIFY(history()->apply(event, false)); }

using L = QList<Creature*>;

template <typename T, typename... Args>
EventMaker build(Args... args)
{
    return [=](S s) { return new T(args..., s); };
}

EventMaker adjust(const QList<Creature*>& creatures, int places)
{
    return build<AdjustInitiativeEvent>(creatures, places);
}

EventMaker usage(Creature* creature, const char* power, int type)
{
    return build<PowerUsageChangedEvent>(creature, QString(power), UsageType(type));
}

// Round 1 in the order Brenna 18, the goblins 15 (one item for the group: they tie and keep their order), Aldric 12.
EventMaker start()
{
    return [](S s) { return new StartEncounterEvent({{"Aldric", 12, 5}, {"Brenna", 18, 3}}, {{"Goblin", 15, 7}}, s); };
}

void nextTurns(int count)
{
    for (int i = 0; i < count; i++)
        record([](S s) { return new NextTurnEvent(s, false); });
}

void kill(Creature* creature, int damage)
{
    record(build<DamageEvent>("", nullptr, creature, damage, ""));
    QVERIFY(creature->isDead(false));
}

void startRunning(int current = 0)
{
    EncounterState running;
    running.round = 1;
    running.currentIndex = current;
    encounter()->setState(running);
}

// The encounter holds only these creatures; with a current one, it runs.
std::function<void()> roster(const L& creatures, int current = -1)
{
    return [=] {
        encounter()->setCreatureList(CreatureList(creatures));
        if (current >= 0)
            startRunning(current);
    };
}

template <typename T>
EventMaker addition(const L& creatures, bool hidden)
{
    return build<T>(CreatureList(creatures), hidden, CreatureInitList());
}

// Records written by hand at the history's cursor, item by item, as an older or damaged log holds them.
using Item = std::function<void(S)>;
Item who(Creature* creature) { return [=](S s) { Creature::write(creature, s); }; }
Item who(const L& creatures) { return [=](S s) { Creature::write(creatures, s); }; }
Item end(int tag) { return [=](S s) { s->write(tag); }; }
template <typename Value>
Item item(int tag, Value value)
{
    return [=](S s) { s->write(tag, value); };
}
std::function<void()> raw(const QList<QPair<int, QList<Item>>>& records)
{
    return [=] {
        for (const auto& [type, items] : records) {
            S log = stream();
            log->mark();
            log->write(ID_EVENT_TYPE, type);
            for (const Item& write : items)
                write(log);
            log->incOffset(log->setToMark());
        }
    };
}

EffectDetails effectDetails(Creature* origin, CE::EffectType type, CE::EndCondition ending = CE::SaveEnds,
                            unsigned int groupId = 0)
{
    EffectDetails details;
    details.origin = origin;
    details.type = type;
    details.endCondition = ending;
    details.groupId = groupId;
    return details;
}

// What a power using every field of a record puts on its targets.
EffectDetails fullDetails(Creature* origin)
{
    EffectDetails details = effectDetails(origin, CE::Penalty, CE::SaveEnds, 7);
    details.sourceName = "Hunter's Quarry";
    details.comment = "fear";
    details.amount = 2;
    details.attributes.armorClass = details.attributes.will = true;
    details.positive = EffectDetails::Harmful;
    details.sustainable = true;
    return details;
}

// Everything a record keeps of an effect, as text.
QString detailsText(const Effect* effect)
{
    const EffectDetails& d = effect->getDetails();
    return QStringList{d.sourceName, effect->getOriginName(), QString::number(d.type), QString::number(d.endCondition),
                       d.comment, QString::number(d.amount), d.attributes.getAttributes(), QString::number(d.positive),
                       QString::number(d.groupId), QString::number(d.sustainable)}
        .join('|');
}

// The creature's effects in list order, as "type/group".
QStringList effectsOf(Creature* creature)
{
    QStringList effects;
    for (Effect* effect : creature->getEffects())
        effects.append(QString("%1/%2").arg(effect->getEffectType()).arg(effect->getGroupId()));
    return effects;
}

// Gives the creature a power of that cost, used (true) and released (false) as the marks say.
CreaturePower* givePower(Creature* creature, const QString& name, Power::Cost cost, const QList<bool>& marks = {})
{
    CreaturePower power;
    power.name = name;
    power.current.cost = cost;
    creature->getPowers().addPower(power, false);
    CreaturePower* given = creature->getPowers().getPowerByName(name);
    for (bool used : marks)
        given->setUsed(used);
    return given;
}

// Every file below the data folder with its bytes.
QMap<QString, QByteArray> dataFiles()
{
    QMap<QString, QByteArray> files;
    QDirIterator it(Global::getRootPath(false), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files[path] = TestSupport::readFile(path);
    }
    return files;
}

// One event to record: what it is written as, how it reads and what it changes.
struct RecordedCase
{
    const char* name;
    std::function<void()> prepare; // may be empty
    EventMaker make;
    QString text; // then "|" and the players' text, where the players see more than "Sneak" for the second goblin
    bool players;
    QString changes;
};

// Records written by hand, as an older or damaged log holds them: their texts when replayed, what they change, and
// what else to check.
struct RawCase
{
    const char* name;
    std::function<void()> prepare; // may be empty
    std::function<void()> write;
    QStringList texts;
    QString changes;
    std::function<void()> check; // may be empty
};

// One "row" per case of a table.
template <typename Case>
void addRows(const QList<Case>& cases)
{
    QTest::addColumn<int>("row");
    for (int i = 0; i < cases.size(); i++)
        QTest::newRow(cases[i].name) << i;
}

}

class TestEvents : public QObject
{
    Q_OBJECT

private:
    TemporaryHome home;
    RecordingUiHooks hooks;
    // What the events tell the windows.
    RecordedChores chores;
    std::unique_ptr<TestWorld> testWorld;
    Creature *aldric = nullptr, *brenna = nullptr, *goblin1 = nullptr, *goblin2 = nullptr;

    QList<Creature*> creatures() const { return {aldric, brenna, goblin1, goblin2}; }
    // As a creature file gives them: the figures are also the last recorded ones.
    static void setFigures(const CreatureVitality& vitality)
    {
        vitality.creature->setVitality(vitality);
        vitality.creature->setBeforeVitality(vitality);
    }
    // Everything an event may change, by "creature.field". The damage order
    // number is left out: it counts every blow, a redone one too.
    World world() const
    {
        World w;
        const EncounterState state = encounter()->getState();
        w["encounter.round"] = QString::number(state.round);
        w["encounter.current"] = QString::number(state.currentIndex);
        w["encounter.order"] = encounter()->list().getNameList();
        QStringList dead;
        for (Creature* c : state.dead)
            dead.append(c->getNameGroup());
        dead.sort();
        w["encounter.dead"] = dead.join(", ");
        for (Creature* c : creatures()) {
            const CreatureState s = c->getState();
            const CreatureVitality v = c->getVitality();
            const QString name = c->getNameGroup() + ".";
            const QList<std::pair<const char*, int>> numbers = {
                {"hp", s.hitPoints}, {"maxHp", v.maxHitPoints}, {"thp", s.tempHitPoints},
                {"hs", s.healingSurges}, {"maxHs", v.maxHealingSurges}, {"ap", s.actionPoints},
                {"apUsed", s.actionPointsUsed}, {"failedSaves", s.failedDeathSavingThrows},
                {"secondWind", s.secondWindUsed}, {"stabilized", s.stabilized}, {"delayed", s.delayed},
                {"ready", s.ready}, {"turns", s.endTurnCount}, {"taken", s.damageTaken},
                {"heals", s.healCount}, {"beforeHp", s.beforeHitPoints}, {"beforeHs", s.beforeHealingSurges},
                {"beforeAp", s.beforeActionPoints}, {"initRoll", c->getInitRoll()},
                {"initRandom", c->getInitRandom()}, {"initBonus", v.initBonus},
            };
            for (const auto& [key, value] : numbers)
                w[name + key] = QString::number(value);
            w[name + "attacker"] = s.lastAttacker;
            QStringList effects;
            for (Effect* effect : c->getEffects())
                effects.append(QString::number(effect->getEffectType()));
            w[name + "effects"] = effects.join(" ");
            w[name + "alias"] = c->getAlias();
            w[name + "showAlias"] = QString::number(c->isShowAlias());
            w[name + "hidden"] = QString::number(c->isHidden());
            const Powers& powers = c->getPowers();
            for (int i = 0; const CreaturePower* power = powers.getPower(i); i++)
                w[name + "usage." + power->name] = QString::number(power->usage);
        }
        return w;
    }
    // Every field of every effect, which the world gives by type only.
    QStringList details() const
    {
        QStringList texts;
        for (Creature* c : creatures())
            for (Effect* effect : c->getEffects())
                texts.append(c->getNameGroup() + ": " + detailsText(effect));
        return texts;
    }
    // What differs in after, as "owner field=value field=value; owner ...".
    static QString changes(const World& before, const World& after)
    {
        QStringList changed;
        QString owner;
        for (auto it = after.begin(); it != after.end(); ++it) {
            if (before.value(it.key()) == it.value())
                continue;
            const int dot = it.key().indexOf('.');
            const QString field = it.key().mid(dot + 1) + "=" + it.value();
            if (!changed.isEmpty() && it.key().left(dot) == owner)
                changed.last() += " " + field;
            else
                changed.append((owner = it.key().left(dot)) + " " + field);
        }
        return changed.join("; ");
    }
    // Builds the event on the log and hands it to the history. Checks the
    // record's place and size, that apply makes exactly the expected changes,
    // that undo and redo go back and forth between the two worlds, and that
    // the event read back from the log, after everything was undone, is the
    // same event and leads to the same world.
    void checkRecorded(const EventMaker& make, const QString& expectedChanges)
    {
        const World before = world();
        S s = stream();
        QVERIFY(s);
        const int start = s->getOffset();
        Event* event = make(s);
        QCOMPARE(s->getOffset(), start);
        // The record, then the two-byte end marker.
        QCOMPARE(QFileInfo(History::getLogPath()).size(), qint64(start) + event->getStreamSize() + 2);
        const auto face = [](Event* e) {
            return QStringList{TestWorld::eventClass(e), QString::number(e->getStreamSize()),
                               e->getDescription(false), e->getDescription(true),
                               QString::number(e->isPlayersEvent()), QString::number(e->isStartEncounter())};
        };
        const QStringList recorded = face(event);
        const QStringList detailsBefore = details();
        // Start Encounter wants a hero: the windows hear whenever the last one leaves or one comes.
        const auto startStopTold = [this](const std::function<void()>& step) {
            const bool heroes = encounter()->isHeroActive();
            const int toggles = chores.startStopToggles;
            step();
            QVERIFY(encounter()->isHeroActive() == heroes || chores.startStopToggles > toggles);
        };
        startStopTold([event] { QVERIFY(history()->apply(event, false)); });
        const World after = world();
        const QStringList detailsAfter = details();
        QCOMPARE(changes(before, after), expectedChanges);
        startStopTold([] { history()->back(); });
        QCOMPARE(changes(world(), before), QString());
        QCOMPARE(details(), detailsBefore);
        history()->forward(false);
        QCOMPARE(changes(world(), after), QString());
        QCOMPARE(details(), detailsAfter);
        const int count = history()->getEventCount();
        while (history()->hasBack())
            history()->back();
        QVERIFY(history()->rootChanged());
        QCOMPARE(history()->getEventCount(), count);
        QCOMPARE(changes(world(), after), QString());
        QCOMPARE(details(), detailsAfter);
        QCOMPARE(face(current()), recorded);
        QCOMPARE(history()->getEventText(count - 1), recorded[2]);
    }
    QList<RecordedCase> cases()
    {
        Creature *a = aldric, *b = brenna, *g1 = goblin1, *g2 = goblin2;
        const auto effects = [this] { prepareEffects(); };
        const auto powers = [=] {
            givePower(a, "Twin Strike", Power::TwicePerEncounter);
            givePower(a, "Fire Burst", Power::Recharge5, {true});
            givePower(g2, "Spear Jab", Power::OncePerEncounter);
        };
        const auto twinStrike = [=](const QList<bool>& marks) {
            return [=] { givePower(a, "Twin Strike", Power::TwicePerEncounter, marks); };
        };
        const auto scout = [=] { g1->setAlias("Scout"); };
        const auto dying = [=] { a->applyDamage(35, nullptr); };
        const auto starts = [] { record(start()); };
        const EventMaker nextTurn = [](S s) { return new NextTurnEvent(s, false); };
        const EventMaker stop = [](S s) { return new StopEncounterEvent(s, false); };
        const auto used = [=] {
            givePower(a, "Daily Blast", Power::Daily, {true});
            givePower(a, "Encounter Strike", Power::OncePerEncounter, {true});
        };
        const auto hurt = [](Creature* c, int damage) { return [=] { c->applyDamage(damage, nullptr); }; };
        EncounterEntry bridge;
        bridge.name = "Bridge";
        bridge.level = 3;
        return {
            // Damage and healing.
            {"typed damage from a hero to two monsters", {}, build<DamageEvent>("Fireball", a, L{g1, g2}, 7, "fire"),
             "Aldric -> Damaged 7 (fire): Goblin (1), Goblin (2)", true, "Goblin (1) attacker=Aldric beforeHp=13 "
             "hp=13 taken=7; Goblin (2) attacker=Aldric beforeHp=13 hp=13 taken=7"},
            {"plain damage between monsters", {}, build<DamageEvent>("", g1, g2, 4, ""),
             "Goblin (1) -> Damaged 4: Goblin (2)", false, "Goblin (2) attacker=Goblin (1) beforeHp=16 hp=16 taken=4"},
            // "%1" and "%" in the recorded texts are text, not places for numbers.
            {"recorded texts stay text", {}, build<DamageEvent>("Sword of 100% Doom", a, g1, 9, "%1 radiant"),
             "Aldric -> Damaged 9 (%1 radiant): Goblin (1)", true,
             "Goblin (1) attacker=Aldric beforeHp=11 hp=11 taken=9"},
            {"damage without an origin, through temporary hit points", [=] { a->setTempHitPoints(5); },
             build<DamageEvent>("", nullptr, a, 12, ""), "Damaged 12: Aldric", true,
             "Aldric beforeHp=23 hp=23 taken=7 thp=0"},
            {"damage to no one", {}, build<DamageEvent>("", g1, L(), 4, ""), "Goblin (1) -> Damaged 4: ", false, ""},
            {"typed ongoing damage", {}, build<OnGoingDamageEvent>("Flaming Sphere", g1, a, 5, "fire"),
             "Ongoing Damage 5 (fire): Aldric", true, "Aldric attacker=Goblin (1) beforeHp=25 hp=25 taken=5"},
            {"plain ongoing damage to a monster", {}, build<OnGoingDamageEvent>("", nullptr, g2, 3, ""),
             "Ongoing Damage 3: Goblin (2)", false, "Goblin (2) beforeHp=17 hp=17 taken=3"},
            {"heal spending a surge, from a power", {}, build<HealEvent>("Healing Word", a, b, 1, 10),
             "Aldric -> Healed 10 (-1 HS): Brenna", true, "Brenna beforeHp=24 beforeHs=1 heals=1 hp=24 hs=1"},
            {"heal regaining a surge", {}, build<HealEvent>("", a, L{b}, -1, 3), "Aldric -> Healed 3 (+1 HS): Brenna",
             true, "Brenna beforeHp=23 beforeHs=3 heals=1 hp=23 hs=3"},
            {"heal without surges, from no one, up to the maximum", hurt(g1, 3),
             build<HealEvent>("", nullptr, L{g1, g2}, 0, 4), "Healed 4: Goblin (1), Goblin (2)", false,
             "Goblin (1) beforeHp=20 heals=1 hp=20; Goblin (2) heals=1"},
            {"surges spent without healing", {}, build<HealEvent>("", b, b, 2, 0),
             "Brenna -> Healing Surges -2: Brenna", true, "Brenna beforeHs=0 heals=1 hs=0"},
            {"surges regained without healing", {}, build<HealEvent>("", b, b, -2, 0),
             "Brenna -> Healing Surges +2: Brenna", true, "Brenna beforeHs=4 heals=1 hs=4"},
            {"heal of nothing", {}, build<HealEvent>("", a, b, 0, 0), "Aldric -> Healed 0: Brenna", true,
             "Brenna heals=1"},
            {"heal of no one", {}, build<HealEvent>("", a, L(), 1, 10), "Aldric -> Healed 10 (-1 HS): ", true, ""},
            {"regeneration", hurt(g1, 10), build<RegenerationEvent>("Troll Blood", g1, 3), "Regeneration 3: Goblin (1)",
             false, "Goblin (1) beforeHp=13 heals=1 hp=13"},
            {"temporary hit points", {}, build<SetTempHPEvent>(L{a, b}, 5), "Gained Temporary HP 5: Aldric, Brenna",
             true, "Aldric thp=5; Brenna thp=5"},
            {"temporary hit points below those held", [=] { g2->setTempHitPoints(8); }, build<SetTempHPEvent>(L{g2}, 5),
             "Gained Temporary HP 5: Goblin (2)", false, ""},
            {"second wind", hurt(a, 10), build<SecondWindEvent>(a), "Second Wind: Aldric", true,
             "Aldric beforeHp=27 beforeHs=5 effects=19 heals=1 hp=27 hs=5 secondWind=1"},
            {"second wind of a monster", hurt(g2, 10), build<SecondWindEvent>(g2), "Second Wind: Goblin (2)", true,
             "Goblin (2) beforeHp=15 effects=19 heals=1 hp=15 secondWind=1"},
            {"first aid", hurt(a, 10), build<AdministerFirstAidEvent>(b, a),
             "Brenna -> Second Wind (First Aid): Aldric", true,
             "Aldric beforeHp=27 beforeHs=5 heals=1 hp=27 hs=5 secondWind=1"},
            {"first aid between monsters", {}, build<AdministerFirstAidEvent>(g1, g2),
             "Goblin (1) -> Second Wind (First Aid): Goblin (2)", true, "Goblin (2) heals=1 secondWind=1"},
            {"healing surge regained", {}, build<GainHealingSurgeEvent>(a), "Aldric -> Gained Healing Surge: Aldric",
             true, "Aldric beforeHs=7 heals=1 hs=7"},
            {"healing surge regained at the maximum", [=] { b->setCurrHealingSurges(6); },
             build<GainHealingSurgeEvent>(b), "Brenna -> Gained Healing Surge: Brenna", true,
             "Brenna beforeHs=6 heals=1"},
            // Effects, on top of those of prepareEffects.
            {"effect with every item, from a hero to two monsters", effects,
             build<EffectEvent>(fullDetails(a), L{g1, g2}), "Aldric -> -2 to AC, Will (fear): Goblin (1), Goblin (2)",
             true, "Goblin (1) effects=2 22; Goblin (2) effects=13 22"},
            {"plain effect from a monster known by its alias", effects,
             build<EffectEvent>(effectDetails(g2, CE::Dazed), L{g1}), "Goblin (2) -> Dazed: Goblin (1)", false,
             "Goblin (1) effects=2 2"},
            {"effect without an origin on a hero", effects,
             [=](S s) {
                 EffectDetails details = effectDetails(nullptr, CE::OnGoingDamage);
                 details.amount = 5;
                 return new EffectEvent(details, {b}, s);
             }, "Ongoing 5 Damage: Brenna", true, "Brenna effects=20"},
            {"cover names no origin", effects, build<EffectEvent>(effectDetails(g1, CE::PartialCover), L{g2}),
             "Partial Cover: Goblin (2)", false, "Goblin (2) effects=13 24"},
            {"effect from a hero on no one", effects, build<EffectEvent>(effectDetails(b, CE::Dazed), L()),
             "Brenna -> Dazed: ", true, ""},
            {"total defense of a monster", effects, build<TotalDefenseEvent>(g2), "Total Defense: Goblin (2)", true,
             "Goblin (2) effects=13 18"},
            {"removal from the middle", effects, [=](S s) { return new RemoveOnGoingEvent(a, a->getEffect(1), s); },
             "Remove Slowed", true, "Aldric effects=2 9"},
            {"removal at the end of a turn", effects,
             [=](S s) { return new RemoveAtEndOfTurnEvent(a, a->getEffect(0), s); }, "End of Turn: Remove Dazed", true,
             "Aldric effects=13 9"},
            {"removal at the start of a turn", effects,
             [=](S s) { return new RemoveAtStartOfTurnEvent(a, a->getEffect(2), s); },
             "Start of Turn: Remove Marked by Goblin (2)|Start of Turn: Remove Marked by &quot;Sneak&quot;", true,
             "Aldric effects=2 13"},
            {"removal on a save from a hero's effect on a monster", effects,
             [=](S s) { return new RemoveOnSaveEvent(g1, g1->getEffect(0), s); }, "Saved: Remove Dazed", true,
             "Goblin (1) effects="},
            {"removal at the end of the encounter between monsters", effects,
             [=](S s) { return new RemoveAtEndOfEncounterEvent(g2, g2->getEffect(0), s); },
             "End of Encounter: Remove Slowed", false, "Goblin (2) effects="},
            // Power usage and aliases.
            {"a twice-per-encounter power used the first time", powers, usage(a, "Twin Strike", 0),
             "Aldric: Used Twin Strike (1/2)", false, "Aldric usage.Twin Strike=1"},
            {"a twice-per-encounter power used again after its release", twinStrike({true, false}),
             usage(a, "Twin Strike", 0), "Aldric: Used Twin Strike (2/2)", false, "Aldric usage.Twin Strike=3"},
            {"a used power released", twinStrike({true}), usage(a, "Twin Strike", 1),
             "Aldric: Unused Twin Strike (1/2)", false, "Aldric usage.Twin Strike=2"},
            {"a recharge roll below the recharge number", powers, usage(a, "Fire Burst", 5),
             "Recharge 4: Aldric - Fire Burst", false, ""},
            {"a recharge roll of the recharge number", powers, usage(a, "Fire Burst", 6),
             "Recharge 5: Aldric + Fire Burst", false, "Aldric usage.Fire Burst=0"},
            {"usage reset after two uses", twinStrike({true, false, true, false}), usage(a, "Twin Strike", 8),
             "Aldric: Reset Usage Twin Strike", false, "Aldric usage.Twin Strike=0"},
            {"a monster's power used, under its alias", powers, usage(g2, "Spear Jab", 0), "Goblin (2): Used Spear Jab",
             false, "Goblin (2) usage.Spear Jab=1"},
            {"a power the creature does not have", powers, usage(b, "Twin Strike", 0), "Brenna: Used Twin Strike",
             false, ""},
            {"a recharge roll of 2 for a missing power", {}, usage(b, "Fire Burst", 3),
             "Recharge 2: Brenna + Fire Burst", false, ""},
            {"a recharge roll of 1 for a missing power", {}, usage(b, "Fire Burst", 2),
             "Recharge 1: Brenna - Fire Burst", false, ""},
            {"an unknown change", twinStrike({true}), usage(a, "Twin Strike", 9), " (1/2)", false, ""},
            {"an alias given, hidden", {}, build<SetAliasEvent>(g1, false, "Scout"), "Goblin (1): Hide Alias: Scout",
             false, "Goblin (1) alias=Scout"},
            {"a hidden alias hidden unchanged", scout, build<SetAliasEvent>(g1, false, "Scout"),
             "Goblin (1): Hide Alias", false, ""},
            {"a hidden alias removed", scout, build<SetAliasEvent>(g1, false, ""), "Goblin (1): Remove Alias", false,
             "Goblin (1) alias="},
            // Death saves, action points, stabilising, rests and second winds.
            {"failed death saving throw of a dying hero", dying, build<FailedDeathSavingThrowEvent>(a),
             "Failed Death Saving Throw: Aldric", true, "Aldric failedSaves=1"},
            {"failed death saving throw of a monster", {}, build<FailedDeathSavingThrowEvent>(g2),
             "Failed Death Saving Throw: Goblin (2)", true, "Goblin (2) failedSaves=1"},
            {"one action point used", {}, build<UseActionPointEvent>(a, -1), "Use Action Point: Aldric", true,
             "Aldric ap=0 beforeAp=0"},
            {"action points used in a running encounter", [=] { startRunning(); a->addActionPoints(3); },
             build<UseActionPointEvent>(a, -3), "Use 3 Action Points: Aldric", true, "Aldric ap=1 apUsed=3 beforeAp=1"},
            {"all action points lost", {}, build<UseActionPointEvent>(b, -AllActionPoints),
             "Lose all Action Points: Brenna", true, "Brenna ap=0 beforeAp=0"},
            {"action points reset", [=] { startRunning(); a->useActionPoints(1); },
             build<UseActionPointEvent>(a, AllActionPoints), "Reset Action Points to 1: Aldric", true,
             "Aldric ap=1 apUsed=0 beforeAp=1"},
            {"no action points added", {}, build<UseActionPointEvent>(b, 0), "", true, ""},
            {"one action point added to a monster", {}, build<UseActionPointEvent>(g1, 1),
             "Add Action Point: Goblin (1)", false, "Goblin (1) ap=1 beforeAp=1"},
            {"action points added to a monster", {}, build<UseActionPointEvent>(g2, 3),
             "Add 3 Action Points: Goblin (2)", false, "Goblin (2) ap=3 beforeAp=3"},
            {"a dying hero stabilised by another", dying, build<StabilizeEvent>(b, a), "Brenna -> Stabilized: Aldric",
             true, "Aldric stabilized=1"},
            {"a monster stabilised by no one", hurt(g2, 25), build<StabilizeEvent>(nullptr, g2),
             "Stabilized: Goblin (2)", true, "Goblin (2) stabilized=1"},
            {"short rest of two heroes", hurt(a, 10),
             [=](S s) { return new ShortRestEvent({{a, 1, 7, 1}, {b, 2, 4, 0}}, s); }, "Short Rest: Aldric, Brenna",
             true, "Aldric ap=2 beforeAp=2 beforeHp=27 beforeHs=5 heals=1 hp=27 hs=5; Brenna beforeHp=24 beforeHs=0 "
             "heals=1 hp=24 hs=0"},
            {"short rest of a monster", {}, [=](S s) { return new ShortRestEvent({{g2, 0, 0, 0}}, s); },
             "Short Rest: Goblin (2)", true, "Goblin (2) heals=1"},
            {"short rest of no one", {}, [](S s) { return new ShortRestEvent({}, s); }, "Short Rest: ", true, ""},
            {"extended rest of the living heroes", [=] { a->applyDamage(10, g1); b->applyDamage(40, nullptr); },
             [](S s) { return new ExtendedRestEvent({}, s); }, "Extended Rest: Aldric", true,
             "Aldric attacker= beforeAp=0 beforeHp=0 beforeHs=0 hp=30 hs=8 taken=0"},
            {"extended rest of the heroes in initiative order", [] { encounter()->moveCreature(1, 0); },
             [](S s) { return new ExtendedRestEvent({}, s); }, "Extended Rest: Brenna, Aldric", true,
             "Aldric beforeAp=0 beforeHp=0 beforeHs=0 hs=8; Brenna beforeAp=0 beforeHp=0 beforeHs=0 hp=24 hs=6"},
            {"extended rest of a given list", hurt(g1, 5), build<ExtendedRestEvent>(L{g1, b}),
             "Extended Rest: Goblin (1), Brenna", true,
             "Brenna beforeAp=0 beforeHp=0 beforeHs=0 hp=24 hs=6; Goblin (1) beforeHp=0 hp=20 taken=0"},
            {"second wind used", {}, build<UseSecondWindEvent>(a, -1), "Use Second Wind: Aldric", true,
             "Aldric secondWind=1"},
            {"second wind regained", [=] { a->setSecondWindUsed(true); }, build<UseSecondWindEvent>(a, 1),
             "Gain Second Wind: Aldric", true, "Aldric secondWind=0"},
            {"second wind of a monster marked by any other value", {}, build<UseSecondWindEvent>(g2, 0), "", false,
             "Goblin (2) secondWind=1"},
            // Start, next turn and stop.
            {"start sorts by initiative", [=] { a->setInit({a, 3, 4}); }, start(), "* Start Encounter: Brenna *", false,
             "Aldric initRandom=5 initRoll=12; Brenna initRandom=3 initRoll=18; Goblin (1) initRandom=7 initRoll=15; "
             "Goblin (2) initRandom=7 initRoll=15; encounter current=0 order=Brenna, Goblin (1), Goblin (2), Aldric "
             "round=1"},
            {"next turn passes the turn", starts, nextTurn, "* Next Turn: Goblin (1) *", true,
             "Brenna turns=1; encounter current=1"},
            // Brenna readied an action that she never took.
            {"next turn wraps into the next round", [=] { starts(); nextTurns(3); b->setReady(true); }, nextTurn,
             "* Next Turn: Brenna *", true, "Aldric turns=1; Brenna ready=0; encounter current=0 round=2"},
            // No creature's turn ends when the turn passes before the encounter runs.
            {"next turn before any turn leaves the ready flag", [=] { a->setReady(true); }, nextTurn,
             "* Next Turn: Aldric *", true, "encounter current=0 round=1"},
            {"stop ends the encounter",
             [=] { starts(); nextTurns(1); a->setTempHitPoints(4); a->setDelayed(true); g2->setReady(true); }, stop,
             "* Stop Encounter *", true, "Aldric delayed=0 thp=0; Goblin (2) ready=0; encounter current=-1"},
            {"next turn toward a hidden creature", [=] { starts(); g1->setHidden(true); }, nextTurn,
             "* Next Turn: Goblin (1) *", false, "Brenna turns=1; encounter current=1"},
            // Stopping keeps the round and the dead; a second start undone goes back to the stopped encounter.
            {"stop keeps the round and the dead",
             [=] { starts(); kill(g1, 20); record(build<DiedEvent>(g1)); nextTurns(1); }, stop, "* Stop Encounter *",
             true, "encounter current=-1"},
            {"a second start", [=] { starts(); nextTurns(1); record(stop); }, start(), "* Start Encounter: Brenna *",
             false, "encounter current=0"},
            {"failed death saving throw counted from its snapshot", [=] { dying(); a->setFailedDeathSavingThrows(1); },
             build<FailedDeathSavingThrowEvent>(a), "Failed Death Saving Throw: Aldric", true, "Aldric failedSaves=2"},
            // The commands reset usage with events of their own after a rest.
            {"short rest leaves power usage alone", used, [=](S s) { return new ShortRestEvent({{a, 1, 7, 1}}, s); },
             "Short Rest: Aldric", true, "Aldric ap=2 beforeAp=2 beforeHs=5 heals=1 hs=5"},
            {"extended rest leaves power usage alone", used, [](S s) { return new ExtendedRestEvent({}, s); },
             "Extended Rest: Aldric, Brenna", true,
             "Aldric beforeAp=0 beforeHp=0 beforeHs=0 hs=8; Brenna beforeAp=0 beforeHp=0 beforeHs=0 hp=24 hs=6"},
            {"extended rest leaves the effects on", effects, [](S s) { return new ExtendedRestEvent({}, s); },
             "Extended Rest: Aldric, Brenna", true,
             "Aldric beforeAp=0 beforeHp=0 beforeHs=0 hs=8; Brenna beforeAp=0 beforeHp=0 beforeHs=0 hp=24 hs=6"},
            // Delays, readied actions, deaths and initiative moves.
            {"delay of a hero", starts, build<DelayEvent>(a), "* Delayed: Aldric *", true, "Aldric delayed=1"},
            {"ready of a monster", starts, build<ReadyEvent>(g2), "* Ready: Goblin (2) *", false, "Goblin (2) ready=1"},
            {"jump in from below the current creature", [=] { starts(); record(build<DelayEvent>(a)); },
             build<JumpInEvent>(a), "* Jump in: Aldric *", true,
             "Aldric delayed=0; Brenna turns=1; encounter current=1 order=Brenna, Aldric, Goblin (1), Goblin (2)"},
            {"jump in from above the current creature",
             [=] { starts(); nextTurns(1); record(build<DelayEvent>(g1)); nextTurns(2); }, build<JumpInEvent>(g1),
             "* Jump in: Goblin (1) *", false,
             "Aldric turns=1; Goblin (1) delayed=0; encounter order=Brenna, Goblin (2), Aldric, Goblin (1)"},
            // The Next Turn that reached the delayed creature counted the new round.
            {"jump in of the creature whose turn came round",
             [=] { starts(); record(build<DelayEvent>(b)); nextTurns(4); }, build<JumpInEvent>(b),
             "* Jump in: Brenna *", true, "Brenna delayed=0 turns=2"},
            {"jump in of a creature alone in the encounter",
             [=] {
                 encounter()->setCreatureList(CreatureList({a}));
                 starts();
                 record(build<DelayEvent>(a));
                 nextTurns(1);
             }, build<JumpInEvent>(a), "* Jump in: Aldric *", true, "Aldric delayed=0 turns=2"},
            {"jump in while no encounter runs", {}, build<JumpInEvent>(g2), "* Jump in: Goblin (2) *", false, ""},
            {"readied action from below the current creature",
             [=] { starts(); record(build<ReadyEvent>(a)); nextTurns(2); }, build<EndReadyEvent>(a),
             "* Ready action: Aldric *", true,
             "Aldric ready=0; encounter current=3 order=Brenna, Goblin (1), Aldric, Goblin (2)"},
            {"readied action from above the current creature",
             [=] { starts(); nextTurns(1); record(build<ReadyEvent>(g1)); nextTurns(2); }, build<EndReadyEvent>(g1),
             "* Ready action: Goblin (1) *", false,
             "Goblin (1) ready=0; encounter order=Brenna, Goblin (2), Goblin (1), Aldric"},
            {"death of a monster that is not current", [=] { starts(); kill(g1, 20); }, build<DiedEvent>(g1),
             "Died: Goblin (1)", true, "encounter dead=Goblin (1) order=Brenna, Goblin (2), Aldric"},
            {"death of a hidden monster", [=] { g2->setHidden(true); starts(); kill(g2, 25); }, build<DiedEvent>(g2),
             "Died: Goblin (2)", false, "encounter dead=Goblin (2) order=Brenna, Goblin (1), Aldric"},
            // The turn goes back to the end of the round before, so that the next turn comes to the one that followed.
            {"death of the current creature at the top of the order", [=] { starts(); kill(b, 40); },
             build<DiedEvent>(b), "Died: Brenna", true,
             "encounter current=2 dead=Brenna order=Goblin (1), Goblin (2), Aldric round=0"},
            {"death while no encounter runs", [=] { kill(g1, 20); }, build<DiedEvent>(g1), "Died: Goblin (1)", true,
             "encounter order=Aldric, Brenna, Goblin (2)"},
            {"the current hero down past the one below", starts, adjust({b}, 1), "Initiative +1: Brenna", true,
             "encounter current=1 order=Goblin (1), Brenna, Goblin (2), Aldric"},
            {"the first creature up, to the end", starts, adjust({b}, -1), "Initiative -1: Brenna", true,
             "encounter current=3 order=Aldric, Goblin (1), Goblin (2), Brenna"},
            {"the last creature down, to the top", starts, adjust({a}, 1), "Initiative +1: Aldric", true,
             "encounter current=3 order=Aldric, Goblin (1), Goblin (2), Brenna"},
            {"a monster and a hero up together", starts, adjust({g2, a}, -1), "Initiative -1: Goblin (2), Aldric",
             false, "encounter order=Brenna, Goblin (2), Aldric, Goblin (1)"},
            {"two places up, round the top", starts, adjust({g1}, -2), "Initiative -2: Goblin (1)", false,
             "encounter order=Brenna, Aldric, Goblin (2), Goblin (1)"},
            // A record of a creature missing from the libraries changes nothing.
            {"delay of no one", starts, build<DelayEvent>(nullptr), "* Delayed:  *", false, ""},
            {"jump in of no one", starts, build<JumpInEvent>(nullptr), "* Jump in:  *", false, ""},
            {"ready of no one", starts, build<ReadyEvent>(nullptr), "* Ready:  *", false, ""},
            {"readied action of no one", starts, build<EndReadyEvent>(nullptr), "* Ready action:  *", false, ""},
            {"death of no one", starts, build<DiedEvent>(nullptr), "Died: ", false, ""},
            {"initiative of no one", starts, adjust({}, -1), "Initiative -1: ", true, ""},
            {"up by more than the count", starts, adjust({a}, -5), "Initiative -5: Aldric", true,
             "encounter order=Brenna, Goblin (1), Aldric, Goblin (2)"},
            {"down by the count stays", starts, adjust({g1}, 4), "Initiative +4: Goblin (1)", false, ""},
            {"no places", starts, adjust({a, b}, 0), "Initiative 0: Aldric, Brenna", true, ""},
            // Who stands in the encounter. Added creatures keep the order given, also when the log is replayed.
            {"a monster added hidden to a stopped encounter goes last", roster({g2, a, b}),
             addition<AddMonsterEvent>({g1}, true), "Add Monster: Goblin (1) (Hidden)", false,
             "Goblin (1) hidden=1; encounter order=Goblin (2), Aldric, Brenna, Goblin (1)"},
            {"monsters added while the encounter runs act next, in the order given",
             [=] { roster({a, b}, 0)(); g1->setInit({g1, 19, 9}); },
             build<AddMonstersEvent>(QString("Ambush"), CreatureList(L{g2, g1}), false, CreatureInitList()),
             "Add Encounter: Ambush", false, "encounter order=Aldric, Goblin (2), Goblin (1), Brenna"},
            {"characters added to a stopped encounter go first", roster({g1, g2}), addition<AddCharactersEvent>({b}, false),
             "Add Characters: Brenna", true, "encounter order=Brenna, Goblin (1), Goblin (2)"},
            // The creature whose turn it is keeps it; in the place of one that leaves, the turn stays at its index.
            {"a new party while a hero before the current creature acts", roster({a, b, g1, g2}, 3),
             addition<SetPartyEvent>({b}, false), "Set Party: Brenna", true,
             "encounter current=1 order=Goblin (1), Goblin (2), Brenna"},
            {"a new party replacing the current hero", roster({g1, a, g2}, 1), addition<SetPartyEvent>({b}, false),
             "Set Party: Brenna", true, "encounter order=Goblin (1), Brenna, Goblin (2)"},
            {"a prepared encounter replaces the monsters while the current one stays", roster({g1, a, g2, b}, 3),
             build<SetEncounterEvent>(bridge, CreatureList(L{g2}), true, CreatureInitList()), "Set Encounter: Bridge (Hidden)", false,
             "Goblin (2) hidden=1; encounter current=1 order=Aldric, Brenna, Goblin (2)"},
            {"a prepared encounter whose current monster leaves", roster({a, g1, b, g2}, 3),
             build<SetEncounterEvent>(bridge, CreatureList(L{g1}), false, CreatureInitList()), "Set Encounter: Bridge", false,
             "encounter current=2 order=Aldric, Brenna, Goblin (1)"},
            // Undone, the encounter leaves its monster's hand edit waiting to be recorded.
            {"a prepared encounter of a monster edited by hand", [=] { roster({a, b})(); g1->setCurrHitPoints(12); },
             build<SetEncounterEvent>(bridge, CreatureList(L{g1}), false, CreatureInitList()), "Set Encounter: Bridge", false,
             "Goblin (1) beforeHp=12; encounter order=Aldric, Brenna, Goblin (1)"},
            {"a monster hidden", {}, build<ShowHideEvent>(g2, true), "Hide Goblin (2)", false, "Goblin (2) hidden=1"},
            // Undone, the flag goes back to what it was, not to the opposite of the event's.
            {"a hidden monster hidden again", [=] { g1->setHidden(true); }, build<ShowHideEvent>(g1, true),
             "Hide Goblin (1)", false, ""},
            {"a monster shown", [=] { g1->setHidden(true); }, build<ShowHideEvent>(g1, false), "Show Goblin (1)", false,
             "Goblin (1) hidden=0"},
            {"the current creature removed", [] { startRunning(2); }, build<RemoveCurrentEvent>(g1),
             "Removed Current: Goblin (1)", false, "encounter current=1 order=Aldric, Brenna, Goblin (2)"},
            {"a hero and a monster removed", {}, build<RemoveCreaturesEvent>(L{a, g2}), "Removed: Aldric, Goblin (2)",
             false, "encounter order=Brenna, Goblin (1)"},
            {"heroes removed", {}, build<RemoveCreaturesEvent>(b), "Removed: Brenna", true,
             "encounter order=Aldric, Goblin (1), Goblin (2)"},
            {"the last heroes removed", {}, build<RemoveCreaturesEvent>(L{a, b}), "Removed: Aldric, Brenna", true,
             "encounter order=Goblin (1), Goblin (2)"},
            {"an extended rest of monsters stays out of the players' ticker", hurt(g1, 5),
             build<ExtendedRestEvent>(L{g1}), "Extended Rest: Goblin (1)", false,
             "Goblin (1) beforeHp=0 hp=20 taken=0"},
        };
    }
    // Aldric: Dazed and Slowed from one power of the first goblin, then marked by the second; the first goblin dazed
    // by Aldric; the second slowed by the first.
    void prepareEffects()
    {
        const auto give = [](Creature* origin, CE::EffectType type, Creature* target, unsigned int group = 0) {
            record(new EffectEvent(effectDetails(origin, type, CE::SaveEnds, group), {target}, stream()));
        };
        give(goblin1, CE::Dazed, aldric, 3);
        give(goblin1, CE::Slowed, aldric, 3);
        give(goblin2, CE::Marked, aldric);
        give(aldric, CE::Dazed, goblin1);
        give(goblin1, CE::Slowed, goblin2);
    }
    static int recordedPosition(S log)
    {
        const int start = log->getOffset();
        log->readInt(ID_EVENT_TYPE);
        StreamItemList items;
        items.read(log, ID_ONGOING_EVENT_END);
        log->setOffset(start);
        return items.getInt(ID_ONGOING_EVENT_EFFECT);
    }
    QList<RawCase> rawCases()
    {
        Creature *a = aldric, *b = brenna, *g1 = goblin1;
        const int most = std::numeric_limits<int>::max();
        const auto effects = [this] { prepareEffects(); };
        const auto unseen = [] { QVERIFY(!current()->isPlayersEvent()); };
        const auto removal = [](Creature* c, int position) {
            return raw({{Event::RemoveOnGoingType, {who(c), item(ID_ONGOING_EVENT_EFFECT, position), end(ID_ONGOING_EVENT_END)}}});
        };
        const auto heal = [](int type, Creature* origin, const L& targets, int surges, int hp) {
            return QPair<int, QList<Item>>(type, {who(origin), who(targets), item(ID_HEAL_EVENT_US, surges),
                                                  item(ID_HEAL_EVENT_HP, hp), end(ID_HEAL_EVENT_END)});
        };
        return {
            {"second wind given by another makes no effect", [=] { a->applyDamage(10, nullptr); },
             raw({heal(Event::SecondWindType, b, {a}, 1, 7)}), {"Second Wind: Aldric"},
             "Aldric beforeHp=27 beforeHs=5 heals=1 hp=27 hs=5 secondWind=1",
             [=] { QVERIFY(a->getEffects().isEmpty()); }},
            {"missing targets are left alone", {}, raw({heal(Event::HealType, a, {nullptr, b, nullptr}, 0, 3)}),
             {"Aldric -> Healed 3: Brenna"}, "Brenna beforeHp=23 heals=1 hp=23", {}},
            {"removal naming a place past the list", effects, removal(a, 5), {"Remove Unknown Effect"}, "", unseen},
            {"removal naming no creature", effects, removal(nullptr, 0), {"Remove Unknown Effect"}, "", unseen},
            // No optional items, a target that was missing when it was written, and an item the reader does not know.
            {"effect with missing items and targets", effects,
             raw({{Event::EffectType,
                   {who(a), who(L{nullptr, b}), item(ID_EFFECT_EVENT_TYPE, int(CE::Weakened)),
                    item(ID_EFFECT_EVENT_EC, int(CE::EndOfEncounter)), item(ID_EFFECT_EVENT_AMOUNT, 0),
                    [](S s) { EffectedAttr().write(s); }, item(399, 1), end(ID_EFFECT_EVENT_END)}}}),
             {"Aldric -> Weakened: Brenna"}, "Brenna effects=17",
             [=] {
                 QCOMPARE(effectsOf(b), QStringList{"17/0"});
                 QVERIFY(!b->getEffect(0)->isSustainableEffect());
                 QCOMPARE(b->getEffect(0)->getDetails().positive, int(EffectDetails::ByType));
             }},
            // The character file changed since the log was written; an older start holds no figures to install.
            {"start from an older log", [=] { a->setVitality({a, 4, 40, 35, 9, 9, 10, 1, 1}); },
             raw({{Event::StartEncounterType,
                   {[](S s) { InitiativeList{{"Aldric", 12, 5}, {"Brenna", 18, 3}}.write(s); },
                    [](S s) { InitiativeList{{"Goblin", 15, 7}}.write(s); }, end(ID_START_ENCOUNTER_EVENT_END)}}}),
             {"* Start Encounter: Brenna *"},
             "Aldric initRandom=5 initRoll=12; Brenna initRandom=3 initRoll=18; Goblin (1) initRandom=7 initRoll=15; "
             "Goblin (2) initRandom=7 initRoll=15; encounter current=0 order=Brenna, Goblin (1), Goblin (2), Aldric "
             "round=1",
             [=] { QVERIFY(!a->isInHistory()); }},
            // A prepared encounter gives its monster the figures it was recorded with, and its undo gives back
            // those it had.
            {"a prepared encounter recorded with other figures", {},
             raw({{Event::SetEncounterType,
                   {[](S s) { EncounterEntry{QString(), "Bridge", QString(), QString(), 3, 0}.write(s); },
                    [=](S s) { CreatureInitList{{g1, 14, 2}}.write(s); },
                    [=](S s) { CreatureVitalityList{{g1, 1, 25, 25, 0, 0, 5, 0, 0}}.write(s); },
                    item(ID_SET_ENC_EVENT_HIDDEN, 0), end(ID_SET_ENC_EVENT_END)}}}),
             {"Set Encounter: Bridge"},
             "Goblin (1) beforeHp=25 hp=25 initRandom=2 initRoll=14 maxHp=25; encounter order=Aldric, Brenna, Goblin (1)",
             {}},
            // A name that no creature holds yet makes the placeholder.
            {"alias of a creature not yet known", [] { QVERIFY(!Creature::getCreatureByName("Goblin (7)", false)); },
             raw({{Event::SetAliasType,
                   {item(ID_SET_ALIAS_EVENT_CREATURE, QString("Goblin (7)")), item(ID_SET_ALIAS_EVENT_SHOW, 1),
                    item(ID_SET_ALIAS_EVENT_ALIAS, QString("Scout")), end(ID_EVENT_END)}}}),
             {"Goblin (7): Show Alias: Scout"}, "",
             [] {
                 Creature* placeholder = Creature::getCreatureByName("Goblin (7)", false);
                 QVERIFY(placeholder);
                 QCOMPARE(placeholder->getDisplayName(true), "\"Scout\"");
             }},
            {"records naming no one", {},
             raw({{Event::FailedDeathSavingThrowType, {who(nullptr), end(ID_FAILED_DST_EVENT_END)}},
                  {Event::UseActionPointType, {who(nullptr), item(ID_USE_AP_EVENT_COUNT, 3), end(ID_USE_AP_EVENT_END)}},
                  {Event::StabilizeType, {who(b), who(nullptr), end(ID_STABILIZE_EVENT_END)}},
                  {Event::ShortRestType,
                   {item(ID_SR_ACTION_EVENT_COUNT, 2), [](S s) { RestedCreature{nullptr, 1, 5, 1}.write(s); },
                    [=](S s) { RestedCreature{b, 1, 3, 0}.write(s); }, end(ID_SR_ACTION_EVENT_END)}},
                  {Event::ExtendedRestType, {who(L{nullptr, g1}), end(ID_EXT_REST_EVENT_END)}}}),
             {"Failed Death Saving Throw: ", "Add 3 Action Points: ", "Brenna -> Stabilized: ", "Short Rest: Brenna",
              "Extended Rest: Goblin (1)"},
             "Brenna beforeHp=23 beforeHs=1 heals=1 hp=23 hs=1; Goblin (1) beforeHp=0", {}},
            // What the flag was before older figures depends on those a restart gave the hero.
            {"older figures without the stable flag read as stable", [=] { b->applyDamage(40, nullptr); },
             raw({{Event::SetVitalityType, {[=](S s) {
                                                CreatureVitality older = b->getVitality();
                                                older.hitPoints = 0;
                                                older.stabilized = -1;
                                                older.write(s);
                                            },
                                            end(ID_SET_VITALITY_EVENT_END)}}}),
             {"Changed Brenna: Curr HP 0"}, "Brenna beforeHp=0 hp=0 stabilized=1", {}},
            // Who was alive when an older log was written is not known at a restart.
            {"an older extended rest naming no one rests every hero", [=] { b->applyDamage(40, nullptr); },
             raw({{Event::ExtendedRestType, {end(ID_EXT_REST_EVENT_END)}}}), {"Extended Rest: Aldric, Brenna"},
             "Aldric beforeAp=0 beforeHp=0 beforeHs=0 hs=8; Brenna beforeAp=0 beforeHp=0 beforeHs=0 hp=24 hs=6 "
             "stabilized=1 taken=0",
             {}},
            // Figures of a damaged log at the ends of int: every sum stops at the end it passes.
            {"figures at the ends of int", [=] { b->setFailedDeathSavingThrows(most); },
             raw({{Event::SetTempHPType, {who(nullptr), who(L{a}), item(ID_SET_THP_RESOURCE_AMOUNT, 6),
                                          end(ID_SET_THP_RESOURCE_END)}},
                  {Event::DamageType, {who(nullptr), who(L{a}), item(ID_DAMAGE_EVENT_DAMAGE, -2147483645),
                                       end(ID_DAMAGE_EVENT_END)}},
                  {Event::UseActionPointType, {who(b), item(ID_USE_AP_EVENT_COUNT, most), end(ID_USE_AP_EVENT_END)}},
                  {Event::FailedDeathSavingThrowType, {who(b), end(ID_FAILED_DST_EVENT_END)}},
                  {Event::DamageType, {who(nullptr), who(L{g1, g1}), item(ID_DAMAGE_EVENT_DAMAGE, most),
                                       end(ID_DAMAGE_EVENT_END)}}}),
             {"Gained Temporary HP 6: Aldric", "Damaged -2147483645: Aldric", "Add 2147483647 Action Points: Brenna",
              "Failed Death Saving Throw: Brenna", "Damaged 2147483647: Goblin (1), Goblin (1)"},
             "Aldric thp=2147483647; Brenna ap=2147483647 beforeAp=2147483647; Goblin (1) beforeHp=-2147483648 "
             "hp=-2147483648 stabilized=0 taken=2147483647",
             {}},
            // No count: one action point used; no value: second wind used, unnamed.
            {"missing items read as their defaults", {},
             raw({{Event::UseActionPointType, {who(a), end(ID_USE_AP_EVENT_END)}},
                  {Event::UseSecondWindType, {who(a), end(ID_EVENT_END)}},
                  {Event::ShortRestType, {end(ID_SR_ACTION_EVENT_END)}}}),
             {"Use Action Point: Aldric", "", "Short Rest: "}, "Aldric ap=0 beforeAp=0 secondWind=1", {}},
        };
    }
    static QStringList textsFrom(int first)
    {
        QStringList texts;
        for (int i = first; i < history()->getEventCount(); i++)
            texts.append(history()->getEventText(i));
        return texts;
    }
    static QStringList eventsFrom(int first)
    {
        QStringList events;
        for (int i = first; i < history()->getEventCount(); i++)
            events.append(TestWorld::eventClass(history()->getEvent(i)) + ": " +
                          history()->getEventText(i));
        return events;
    }

private slots:
    void init()
    {
        hooks.alerts.clear();
        chores.turnStarts = chores.statsUpdates = 0;
        testWorld = std::make_unique<TestWorld>();
        aldric = testWorld->addHero("Aldric", 30);
        setFigures({aldric, 2, 30, 30, 8, 6, 7, 1, 1});
        brenna = testWorld->addHero("Brenna", 24);
        setFigures({brenna, UnknownValue, 24, 20, 6, 2, 6, 1, 1});
        goblin1 = testWorld->addMonster("Goblin", "1", 20);
        setFigures({goblin1, 1, 20, 20, 0, 0, 5, 0, 0});
        goblin2 = testWorld->addMonster("Goblin", "2", 20);
        setFigures({goblin2, 1, 20, 20, 0, 0, 5, 0, 0});
        // "Sneak" is what the players see of the second goblin.
        goblin2->setAlias("Sneak");
        goblin2->setShowAlias(true);
        encounter()->setCreatureList(CreatureList(creatures()));
    }
    void cleanup()
    {
        ExtendedRestEvent::refreshLinkedFile = &Creature::refreshLinkedFile;
        testWorld.reset();
    }
    void recordedEvents_data() { addRows(cases()); }
    void recordedEvents()
    {
        QFETCH(int, row);
        const RecordedCase c = cases().at(row);
        if (c.prepare)
            c.prepare();
        checkRecorded(c.make, c.changes);
        if (QTest::currentTestFailed())
            return;
        // The players see the second goblin as "Sneak", unless the row says otherwise after a "|".
        const QString players = c.text.contains('|') ? c.text.section('|', 1) : QString(c.text).replace(
                                                                                     "Goblin (2)", "\"Sneak\"");
        QCOMPARE(current()->getDescription(false), c.text.section('|', 0, 0));
        QCOMPARE(current()->getDescription(true), players);
        QCOMPARE(current()->isPlayersEvent(), c.players);
        // The players' ticker leads with it, the log's first event too.
        QCOMPARE(history()->getPlayersEvents(1).value(0) == current(), c.players);
    }
    void replayedRecords_data() { addRows(rawCases()); }
    // Records written by hand, as an older or damaged log holds them, replayed; then undone and redone.
    void replayedRecords()
    {
        QFETCH(int, row);
        const RawCase c = rawCases().at(row);
        if (c.prepare)
            c.prepare();
        const int first = history()->getEventCount();
        c.write();
        const World before = world();
        QVERIFY(history()->rootChanged());
        QCOMPARE(textsFrom(first), c.texts);
        QCOMPARE(changes(before, world()), c.changes);
        if (c.check)
            c.check();
        while (history()->getCurrentIndex() >= first)
            history()->back();
        QCOMPARE(changes(before, world()), QString());
        while (history()->hasForward())
            history()->forward(false);
        QCOMPARE(changes(before, world()), c.changes);
    }
    void eventsOutliveTheirCreatures()
    {
        prepareEffects();
        record(new SecondWindEvent(aldric, stream()));
        // The defence bonus is the hero's own: it ends at the start of his next turn.
        QCOMPARE(aldric->getEffects().last()->getOrigin(), aldric);
        // The library may go before the history, as at shutdown.
        delete Global::characters;
        Global::characters = nullptr;
        history()->reset();
        QCOMPARE(history()->getEventCount(), 0);
        QCOMPARE(goblin1->getEffectCount(), 0);
    }
    void removedEffectsComeBackToTheirPlace()
    {
        prepareEffects();
        const QList<Effect*> held = aldric->getEffects();
        const QStringList shape = effectsOf(aldric);
        QCOMPARE(shape, QStringList({"2/3", "13/3", "9/0"}));
        // Two removals in a row, the grouped middle one first.
        auto* middle = new RemoveOnSaveEvent(aldric, held[1], stream());
        QCOMPARE(recordedPosition(stream()), 1);
        record(middle);
        auto* last = new RemoveOnGoingEvent(aldric, held[2], stream());
        QCOMPARE(recordedPosition(stream()), 1);
        record(last);
        QCOMPARE(aldric->getEffects(), QList<Effect*>{held[0]});
        history()->back();
        QCOMPARE(aldric->getEffects(), QList<Effect*>({held[0], held[2]}));
        history()->back();
        QCOMPARE(aldric->getEffects(), held);
        QCOMPARE(effectsOf(aldric), shape);
        // Replayed from the log: the same places and groups, here and after undo.
        QVERIFY(history()->rootChanged());
        QCOMPARE(effectsOf(aldric), QStringList{"2/3"});
        history()->back();
        history()->back();
        QCOMPARE(effectsOf(aldric), shape);
        // An effect already gone, as an extended rest takes it off without an event, stays gone.
        Effect* marked = aldric->getEffect(2);
        auto* removal = new RemoveOnGoingEvent(aldric, marked, stream());
        aldric->removeEffect(marked);
        record(removal);
        QCOMPARE(aldric->getEffectCount(), 2);
        history()->back();
        QCOMPARE(aldric->getEffectCount(), 2);
        QVERIFY(!aldric->getEffects().contains(marked));
    }
    void droppedEventsTakeTheirEffectsOffTheCreatures_data()
    {
        QTest::addColumn<bool>("deleteHistory");
        QTest::newRow("clear history") << false;
        QTest::newRow("shutdown") << true;
    }
    void droppedEventsTakeTheirEffectsOffTheCreatures()
    {
        QFETCH(bool, deleteHistory);
        prepareEffects();
        record(new TotalDefenseEvent(brenna, stream()));
        record(new SecondWindEvent(goblin2, stream()));
        // A removal stepped back: the effect is on the creature again.
        record(new RemoveAtEndOfTurnEvent(aldric, aldric->getEffect(1), stream()));
        history()->back();
        QCOMPARE(aldric->getEffectCount(), 3);
        if (deleteHistory) {
            delete Global::history;
            Global::history = nullptr;
        } else {
            history()->reset();
        }
        for (Creature* creature : creatures())
            QCOMPARE(creature->getEffectCount(), 0);
    }
    void replayedStartInstallsRecordedFigures()
    {
        record(start());
        // The character file changed since the log was written.
        aldric->setVitality({aldric, 4, 40, 35, 9, 9, 10, 1, 1});
        QVERIFY(history()->rootChanged());
        QCOMPARE(aldric->getMaxHitPoints(), 30);
        QCOMPARE(aldric->getCurrHitPoints(), 30);
        QCOMPARE(aldric->getInitBonus(), 2);
        QCOMPARE(aldric->getBeforeVitality().hitPoints, 30);
        QVERIFY(aldric->isInHistory());
        // Undo goes back to the figures found when the record was read.
        history()->back();
        QCOMPARE(aldric->getMaxHitPoints(), 40);
        QCOMPARE(aldric->getCurrHitPoints(), 35);
    }
    void thePlayersSeeTheAliasAsItStands()
    {
        // Alias events name their creature as the players see it at the time of asking.
        record(new SetAliasEvent(goblin1, true, "Scout", stream()));
        QCOMPARE(current()->getDescription(false), "Goblin (1): Show Alias: Scout");
        QCOMPARE(current()->getDescription(true), "\"Scout\": Show Alias: Scout");
        QVERIFY(goblin1->isShowAlias());
        record(new SetAliasEvent(goblin2, false, "Sneak", stream()));
        Event* hidden = current();
        QCOMPARE(hidden->getDescription(true), "Goblin (2): Hide Alias");
        history()->back();
        QCOMPARE(hidden->getDescription(true), "\"Sneak\": Hide Alias");
        QVERIFY(goblin2->isShowAlias());
        record(new SetAliasEvent(goblin2, true, "", stream()));
        QCOMPARE(current()->getDescription(false), "Goblin (2): Remove Alias");
        QCOMPARE(goblin2->getAlias(), "");
        history()->back();
        QCOMPARE(goblin2->getAlias(), "Sneak");
        history()->back();
        QVERIFY(!goblin1->isShowAlias());
        QCOMPARE(goblin1->getAlias(), "");
    }
    void renameUndoneIntoAFreeNameOnly_data()
    {
        QTest::addColumn<bool>("taken");
        QTest::newRow("the old name free") << false;
        QTest::newRow("the old name taken by another") << true;
    }
    // Undone, a rename gives the old name back only while no other creature has taken it.
    void renameUndoneIntoAFreeNameOnly()
    {
        QFETCH(bool, taken);
        record(new RenameCreatureEvent("Aldric", "Alden", stream()));
        QCOMPARE(aldric->getName(), "Alden");
        // Taken by a hero outside the fight: a hand edit in the fight would be recorded before the step back.
        if (taken) {
            encounter()->setCreatureList(CreatureList({aldric, goblin1, goblin2}));
            brenna->setName("Aldric");
        }
        history()->back();
        QCOMPARE(aldric->getName(), taken ? "Alden" : "Aldric");
        QCOMPARE(brenna->getName(), taken ? "Aldric" : "Brenna");
    }
    void powerUsageUndoAndRenames()
    {
        // The power itself gives its name; renamed later, it is left alone. Each change tells the creature.
        CreaturePower* power = givePower(aldric, "Twin Strike", Power::TwicePerEncounter);
        QSignalSpy updates(aldric, &Creature::doCreatureUpdated);
        record(new PowerUsageChangedEvent(aldric, power, PowerUsageChangedEvent::Used, stream()));
        QCOMPARE(current()->getDescription(false), "Aldric: Used Twin Strike (1/2)");
        QCOMPARE(updates.count(), 1);
        power->name = "Double Strike";
        history()->back();
        QVERIFY(power->getUsed());
        QCOMPARE(history()->getEventText(0), "Aldric: Used Twin Strike");
        history()->forward(false);
        QCOMPARE(power->getUsageCount(), 1);
        // Also a change the events do not know; the show flag and the alias each.
        updates.clear();
        record(usage(aldric, "Double Strike", 9));
        history()->back();
        QCOMPARE(updates.count(), 2);
        record(new SetAliasEvent(aldric, true, "Hood", stream()));
        QCOMPARE(updates.count(), 4);
        // Used once and released: the reset's undo gives back exactly that, not merely "used".
        CreaturePower* twice = givePower(brenna, "Twin Strike", Power::TwicePerEncounter, {true, false});
        record(usage(brenna, "Twin Strike", PowerUsageChangedEvent::ResetUsage));
        twice->setUsed(true);
        history()->back();
        QCOMPARE(int(twice->usage), 2);
        QVERIFY(!twice->getUsed());
        QCOMPARE(twice->getUsageCount(), 1);
    }
    void extendedRestWritesNothingWhenAppliedOrUndone()
    {
        QList<Creature*> refreshed;
        ExtendedRestEvent::refreshLinkedFile = [&refreshed](Creature* c) { refreshed.append(c); };
        aldric->setLinked(true, true);
        aldric->applyDamage(10, nullptr);
        record(new ExtendedRestEvent({}, stream()));
        QCOMPARE(chores.statsUpdates, 1);
        const QMap<QString, QByteArray> files = dataFiles();
        QVERIFY(std::any_of(files.keyBegin(), files.keyEnd(), [](const QString& path) {
            return path.endsWith("history.log");
        }));
        history()->back();
        QCOMPARE(aldric->getCurrHitPoints(), 20);
        history()->forward(false);
        QCOMPARE(aldric->getCurrHitPoints(), 30);
        QCOMPARE(chores.statsUpdates, 2);
        history()->back();
        QVERIFY(history()->rootChanged());
        QCOMPARE(aldric->getCurrHitPoints(), 30);
        QCOMPARE(chores.statsUpdates, 3);
        QCOMPARE(history()->getEventCount(), 1);
        QCOMPARE(dataFiles(), files);
        QVERIFY(refreshed.isEmpty());
        // Linked files are refreshed before a rest, and only while a hook is installed.
        ExtendedRestEvent::refreshLinkedFile = nullptr;
        ExtendedRestEvent::refreshLinkedFiles({});
        ExtendedRestEvent::refreshLinkedFile = [&refreshed](Creature* c) { refreshed.append(c); };
        goblin1->setLinked(true, true);
        ExtendedRestEvent::refreshLinkedFiles({});
        QCOMPARE(refreshed, QList<Creature*>{aldric});
        ExtendedRestEvent::refreshLinkedFiles({brenna, goblin1});
        QCOMPARE(refreshed, QList<Creature*>({aldric, goblin1}));
        QCOMPARE(history()->getEventCount(), 1);
    }
    void deathIsRecordedAndTheTurnMovesOn_data()
    {
        QTest::addColumn<bool>("acting");
        QTest::addColumn<bool>("keepTurn");
        QTest::addColumn<int>("turnStarts");
        QTest::newRow("current creature") << true << false << 1;
        QTest::newRow("current creature, turn kept") << true << true << 0;
        QTest::newRow("another creature") << false << false << 0;
    }
    void deathIsRecordedAndTheTurnMovesOn()
    {
        QFETCH(bool, acting);
        QFETCH(bool, keepTurn);
        QFETCH(int, turnStarts);
        record(start());
        nextTurns(acting ? 1 : 2);
        kill(goblin1, 20);
        goblin1->handleDying(keepTurn);
        QCOMPARE(eventsFrom(history()->getEventCount() - 2),
                 QStringList({"DamageEvent: Damaged 20: Goblin (1)", "DiedEvent: Died: Goblin (1)"}));
        QCOMPARE(encounter()->list().getNameList(), QString("Brenna, Goblin (2), Aldric"));
        QCOMPARE(encounter()->getState().dead, QSet<Creature*>{goblin1});
        QCOMPARE(chores.turnStarts, turnStarts);
        QVERIFY(encounter()->isRunning());
    }
    void deathsOfTheEncounter()
    {
        record(start());
        // Dying, not dead.
        record(build<DamageEvent>("", nullptr, aldric, 40, ""));
        QVERIFY(aldric->isDying());
        aldric->handleDying(false);
        encounter()->handleDying(false);
        QCOMPARE(history()->getEventCount(), 2);
        QCOMPARE(encounter()->getCreatureCount(), 4);
        // Every death, from the end of the order.
        kill(goblin1, 20);
        kill(goblin2, 20);
        encounter()->handleDying(false);
        QCOMPARE(eventsFrom(4), QStringList({"DiedEvent: Died: Goblin (2)", "DiedEvent: Died: Goblin (1)"}));
        QCOMPARE(encounter()->list().getNameList(), QString("Brenna, Aldric"));
        QCOMPARE(encounter()->getState().dead, (QSet<Creature*>{goblin1, goblin2}));
        // Hand edits are recorded before the death; replayed, the edit brings the death back with it.
        brenna->setCurrHitPoints(-15);
        encounter()->setCreatureEdited();
        brenna->handleDying(false);
        QCOMPARE(eventsFrom(6), QStringList({"SetVitalityEvent: Changed Brenna: Curr HP -15", "DiedEvent: Died: Brenna"}));
        QCOMPARE(encounter()->list().getNameList(), QString("Aldric"));
        while (history()->hasBack())
            history()->back();
        QCOMPARE(brenna->getCurrHitPoints(), 20);
        QVERIFY(history()->rootChanged());
        QCOMPARE(brenna->getCurrHitPoints(), -15);
        QCOMPARE(encounter()->list().getNameList(), QString("Aldric"));
    }
    void lastDeathStopsTheEncounter()
    {
        encounter()->setCreatureList(CreatureList({goblin1}));
        record(start());
        kill(goblin1, 20);
        goblin1->handleDying(false);
        QCOMPARE(eventsFrom(2), (QStringList{"DiedEvent: Died: Goblin (1)", "StopEncounterEvent: * Stop Encounter *"}));
        QVERIFY(!encounter()->isRunning());
        QCOMPARE(chores.turnStarts, 0);
        // Undoing both brings back the running encounter with its creature.
        history()->back();
        history()->back();
        QCOMPARE(encounter()->getCurrentCreature(), goblin1);
        QCOMPARE(encounter()->getRound(), 1);
    }
};

RAVELHORN_TEST_MAIN(QGuiApplication, TestEvents)
#include "test_events.moc"
