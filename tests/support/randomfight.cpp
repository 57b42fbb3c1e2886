#include "support/randomfight.h"

#include <QStringList>
#include <QTest>

#include <cstdlib>

#include "encounter/damageevents.h"
#include "encounter/effectevents.h"
#include "encounter/encounter.h"
#include "encounter/encounterevents.h"
#include "encounter/powerevents.h"
#include "encounter/restevents.h"
#include "encounter/rosterevents.h"
#include "encounter/turnflow.h"
#include "encounter/turnorderevents.h"
#include "foundation/global.h"
#include "foundation/uihooks.h"
#include "encounter/history.h"
#include "support/testworld.h"

namespace {

int roll(int sides)
{
    return rand() % sides;
}

// The game master's answers to the turn flow's questions, drawn from the
// seed, for as long as it lives; messages go where they went before.
class SeededAnswers : public UiHooks
{
public:
    SeededAnswers() : previous(Global::ui()) { Global::setUiHooks(this); }
    ~SeededAnswers() override { Global::setUiHooks(&previous); }

    void alert(const QString& title, const QString& text) override { previous.alert(title, text); }
    int rollInitiative(const CreatureList& list, InitiativeList& heroes, InitiativeList& monsters) override
    {
        if (roll(5) == 0)
            return 0;
        for (Creature* c : list.getCreatureList()) {
            const int rolled = roll(20) + 1;
            (c->isMonster() ? monsters : heroes).append({c->getNameGroup(), rolled, rand()});
        }
        return 1;
    }
    int promptForOngoingEffect(Creature*, Effect*, int amount) override { return roll(3) ? amount : roll(amount + 2); }
    bool removeSustained(QList<NestedEffect>& entries, bool cancellable) override
    {
        if (cancellable && roll(6) == 0)
            return false;
        entries.removeIf([](const NestedEffect& entry) { return entry.getEffect()->isSustainableEffect() && roll(2); });
        return true;
    }
    bool savingThrows(Creature*, const QList<NestedEffect>& entries, bool cancellable,
                      QList<const NestedEffect*>& saved) override
    {
        if (cancellable && roll(6) == 0)
            return false;
        for (const NestedEffect& entry : entries)
            if (roll(2))
                saved.append(&entry);
        return true;
    }
    Creature* getJumpInCreature(const QList<Creature*>& delayed, const QList<Creature*>& readied) override
    {
        const QList<Creature*> waiting = delayed + readied;
        return roll(4) ? waiting[roll(int(waiting.size()))] : nullptr;
    }

private:
    UiHooks& previous;
};

}

void RandomFight::addSeedRows(const QList<unsigned>& seeds)
{
    QTest::addColumn<unsigned>("seed");
    for (unsigned seed : seeds)
        QTest::newRow(qPrintable(QString("seed %1").arg(seed))) << seed;
}

RandomFight::RandomFight(TestWorld& world, bool steps, int heroCount, int goblinCount) : world(world), steps(steps)
{
    static const Power::Cost costs[] = {Power::AtWill, Power::OncePerEncounter, Power::TwicePerEncounter,
                                        Power::FourPerEncounter, Power::Recharge5, Power::Daily};
    for (int i = 1; i <= heroCount; i++) {
        heroNames.append(QString("Hero %1").arg(i));
        // Rolled one by one: the order of a call's arguments differs between compilers.
        const int maxHitPoints = 20 + roll(20);
        const int surges = 2 + roll(6);
        Creature* hero = world.addHero(heroNames.last(), maxHitPoints, surges, 1);
        // Heroes take turns; the goblins, without a bonus, are names only in the order.
        TestWorld::giveInitiativeBonus(hero, roll(5));
        CreaturePower power;
        power.name = "Strike";
        power.current.cost = costs[roll(6)];
        hero->getPowers().addPower(power, false);
    }
    for (int i = 1; i <= goblinCount; i++) {
        goblinIds.append(QString::number(i));
        world.addMonster("Goblin", goblinIds.last(), 25);
    }
    enterEncounter();
}

void RandomFight::enterEncounter() const
{
    QList<Creature*> creatures;
    for (const QString& name : heroNames)
        creatures.append(Creature::getCreatureByName(name, true));
    for (const QString& id : goblinIds)
        creatures.append(Creature::getCreatureByName("Goblin (" + id + ")", true));
    Global::encounter->setCreatureList(CreatureList(creatures));
}

void RandomFight::step()
{
    int choice = roll(12);
    if (!steps)
        choice = 3 + choice % 9;
    switch (choice) {
    case 0:
    case 1: stepInHistory(choice == 1); return;
    case 2: Global::history->truncate(); return;
    case 3: handEdit(); return;
    default: command(); return;
    }
}

void RandomFight::stepInHistory(bool forward) const
{
    if (Global::history->hasForward() && !Global::encounter->getHandEditedNames().isEmpty())
        Global::encounter->writeVitalityChanges(world.stream());
    forward ? Global::history->forward(false) : Global::history->back();
}

Creature* RandomFight::anyone() const
{
    return Global::encounter->getCreature(roll(Global::encounter->getCreatureCount()));
}

QList<Creature*> RandomFight::someone() const
{
    QList<Creature*> targets;
    for (Creature* c : Global::encounter->getCreatureList().getCreatureList())
        if (roll(3) == 0)
            targets.append(c);
    if (targets.isEmpty())
        targets.append(anyone());
    return targets;
}

Creature* RandomFight::anyHero() const
{
    return Creature::getCreatureByName(heroNames[roll(heroNames.size())], false);
}

void RandomFight::handEdit()
{
    // Edits of a hero outside the fight are recorded when its file is saved, not here.
    Creature* hero = anyHero();
    if (Global::encounter->getCreatureIndex(hero) < 0)
        return;
    hero->setCurrHitPoints(hero->getCurrHitPoints() - 5 + roll(10));
    Global::encounter->setCreatureEdited();
}

Effect* RandomFight::anyEffect(Creature*& holder) const
{
    holder = anyone();
    return holder->getEffectCount() ? holder->getEffect(roll(holder->getEffectCount())) : nullptr;
}

Event* RandomFight::effectCommand(ObjectStream* stream) const
{
    static const CE::EffectType types[] = {CE::Dazed, CE::Marked, CE::OnGoingDamage, CE::Regeneration,
                                           CE::Penalty, CE::Bonus, CE::Slowed, CE::Resistance};
    static const CE::EndCondition endings[] = {CE::SaveEnds, CE::EndOfOriginsNextTurn, CE::EndOfTargetsNextTurn,
                                               CE::StartOfOriginsNextTurn, CE::EndOfEncounter, CE::EndSpecial};
    int kind = roll(7);
    if (kind == 0) {
        EffectDetails details;
        details.origin = anyone();
        details.type = types[roll(8)];
        details.endCondition = endings[roll(6)];
        details.amount = 1 + roll(5);
        details.comment = roll(2) ? "fire" : "";
        details.groupId = unsigned(roll(3));
        return new EffectEvent(details, someone(), stream);
    }
    if (kind == 1)
        return new TotalDefenseEvent(anyone(), stream);
    Creature* holder = nullptr;
    Effect* effect = anyEffect(holder);
    if (!effect)
        return nullptr;
    switch (kind) {
    case 2: return new RemoveOnGoingEvent(holder, effect, stream);
    case 3: return new RemoveAtEndOfTurnEvent(holder, effect, stream);
    case 4: return new RemoveAtStartOfTurnEvent(holder, effect, stream);
    case 5: return new RemoveOnSaveEvent(holder, effect, stream);
    default: return new RemoveAtEndOfEncounterEvent(holder, effect, stream);
    }
}

Event* RandomFight::turnOrderCommand(ObjectStream* stream) const
{
    Encounter* encounter = Global::encounter;
    Creature* current = encounter->getCurrentCreature();
    Creature* someoneElse = anyone();
    switch (roll(6)) {
    case 0: return current ? new DelayEvent(current, stream) : nullptr;
    case 1: return someoneElse->isDelayed() ? new JumpInEvent(someoneElse, stream) : nullptr;
    case 2: return current ? new ReadyEvent(current, stream) : nullptr;
    case 3: return someoneElse->isReady() ? new EndReadyEvent(someoneElse, stream) : nullptr;
    case 4:
        // Deaths are rare: every one leaves the fight smaller.
        return roll(4) == 0 && encounter->getCreatureCount() > 2 ? new DiedEvent(someoneElse, stream) : nullptr;
    default: {
        const QList<Creature*> moved = someone();
        return new AdjustInitiativeEvent(moved, roll(5) - 2, stream);
    }
    }
}

Event* RandomFight::restCommand(ObjectStream* stream) const
{
    Creature* hero = anyHero();
    static const int actionPoints[] = {-1, 1, -AllActionPoints, AllActionPoints, 2};
    switch (roll(6)) {
    case 0: return new FailedDeathSavingThrowEvent(hero, stream);
    case 1: return new UseActionPointEvent(hero, actionPoints[roll(5)], stream);
    case 2: return new StabilizeEvent(roll(2) ? anyHero() : nullptr, hero, stream);
    case 3: {
        QList<RestedCreature> rested;
        rested.append({hero, roll(3), roll(12), roll(2)});
        return new ShortRestEvent(rested, stream);
    }
    case 4: return new ExtendedRestEvent(roll(2) ? someone() : QList<Creature*>(), stream);
    default: return new UseSecondWindEvent(hero, roll(2) ? 1 : -1, stream);
    }
}

Event* RandomFight::powerCommand(ObjectStream* stream) const
{
    // Mostly uses, so that powers get used up; 9 is no change the events know.
    static const int types[] = {0, 0, 0, 0, 1, 2, 5, 7, 8, 9};
    if (roll(2)) {
        Creature* hero = anyHero();
        return new PowerUsageChangedEvent(hero, QString("Strike"), PowerUsageChangedEvent::Type(types[roll(10)]),
                                          stream);
    }
    Creature* c = anyone();
    const bool show = roll(2);
    return new SetAliasEvent(c, show, roll(2) ? "Shadow" : "", stream);
}

QList<Creature*> RandomFight::outside(bool heroes) const
{
    QList<Creature*> list;
    for (const QString& name : heroes ? heroNames : goblinIds) {
        Creature* c = world.find(heroes ? name : "Goblin (" + name + ")");
        if (Global::encounter->getCreatureIndex(c) < 0 && roll(2))
            list.append(c);
    }
    return list;
}

Event* RandomFight::rosterCommand(ObjectStream* stream, bool joinOnly) const
{
    Encounter* encounter = Global::encounter;
    const bool hidden = roll(3) == 0;
    CreatureList joining(outside(roll(2)));
    bool heroes = !joining.isEmpty() && joining.getCreature(0)->isHero();
    const int kind = roll(joinOnly ? 2 : 7);
    CreatureInitList before;
    // Only when the event is made: the typed rolls are set outside it.
    const bool joins = !joining.isEmpty() && (kind == 0 || (kind == 1 && !heroes));
    if (joins && encounter->isRunning()) {
        // The game master types the newcomers' initiative.
        InitiativeList typed;
        for (Creature* c : joining.getCreatureList())
            typed.append({c->getNameGroup(), roll(20) + 1, rand()});
        before = joining.setInitiativeOrder(typed, typed, joining.getVitalityList());
    }
    switch (kind) {
    case 0: {
        if (joining.isEmpty())
            return nullptr;
        if (heroes)
            return roll(2) ? (Event*)new SetPartyEvent(joining, false, before, stream)
                           : new AddCharactersEvent(joining, false, before, stream);
        return roll(2) ? (Event*)new AddMonsterEvent(joining, hidden, before, stream)
                       : new AddMonstersEvent("Ambush", joining, hidden, before, stream);
    }
    case 1: {
        if (heroes || joining.isEmpty())
            return nullptr;
        EncounterEntry entry;
        entry.name = roll(2) ? "Bridge" : "Cave";
        entry.level = roll(5);
        return new SetEncounterEvent(entry, joining, hidden, before, stream);
    }
    case 2:
    case 3: {
        Creature* c = anyone();
        return new ShowHideEvent(c, !c->isHidden() || roll(4) == 0, stream);
    }
    default:
        if (encounter->getCreatureCount() <= 3)
            return nullptr;
        if (encounter->isRunning() && roll(2))
            return new RemoveCurrentEvent(encounter->getCurrentCreature(), stream);
        return new RemoveCreaturesEvent(anyone(), stream);
    }
}

// Damage, healing or temporary hit points; every roll in its own statement, as the
// order of a call's arguments differs between compilers.
Event* RandomFight::vitalityCommand(int kind, ObjectStream* stream) const
{
    Creature* origin = anyone();
    const QList<Creature*> targets = someone();
    if (kind == 3)
        return new SetTempHPEvent(targets, roll(8), stream);
    if (kind == 2) {
        const int surges = roll(2);
        return new HealEvent("Heal", origin, targets, surges, roll(10), stream);
    }
    const int damage = 1 + roll(12);
    return new DamageEvent("Hit", origin, targets, damage, roll(2) ? "fire" : "", stream);
}

void RandomFight::command()
{
    // Drawn only when there are any, so that the fights of the seeds without them stay as they were.
    if (!windowCommands.isEmpty() && roll(3) == 0) {
        windowCommands[roll(windowCommands.size())]();
        return;
    }
    ObjectStream* stream = Global::history->getStream(false);
    QVERIFY(stream);
    Global::encounter->writeVitalityChanges(stream);
    bool running = Global::encounter->isRunning();
    Event* event = nullptr;
    // Stepped back to before anyone joined, or everyone was removed: only
    // someone joining has anyone to act on.
    if (Global::encounter->getCreatureCount() == 0) {
        if ((event = rosterCommand(stream, true)))
            QVERIFY(world.record(event));
        return;
    }
    switch (roll(17)) {
    case 0:
        if (!running) {
            InitiativeList heroes, monsters;
            for (const QString& name : heroNames)
                heroes.append({name, roll(20) + 1, rand()});
            monsters.append({"Goblin", roll(20) + 1, rand()});
            event = new StartEncounterEvent(heroes, monsters, stream);
        }
        break;
    case 1:
        if (running)
            event = new NextTurnEvent(stream, false);
        break;
    case 2:
        if (running && roll(3) == 0)
            event = new StopEncounterEvent(stream, false);
        break;
    case 3:
    case 4:
    case 5:
    case 6: event = vitalityCommand(roll(4), stream); break;
    case 7: {
        Creature* hero = anyHero();
        event = roll(2) ? (Event*)new SecondWindEvent(hero, stream)
                        : new AdministerFirstAidEvent(hero, anyHero(), stream);
        break;
    }
    case 8: event = effectCommand(stream); break;
    case 9: event = running ? turnOrderCommand(stream) : nullptr; break;
    case 10: event = powerCommand(stream); break;
    case 11:
    case 12: event = rosterCommand(stream); break;
    case 15:
    case 16: turnCommand(); return;
    default: event = restCommand(stream); break;
    }
    if (event)
        QVERIFY(world.record(event));
}

void RandomFight::turnCommand() const
{
    // Nothing of a turn heals: regeneration does nothing at 0 hit points or below.
    QList<QPair<Creature*, int>> down;
    for (Creature* c : Global::encounter->getCreatureList().getCreatureList())
        if (c->getCurrHitPoints() <= 0)
            down.append({c, c->getCurrHitPoints()});
    SeededAnswers answers;
    TurnFlow flow;
    switch (roll(6)) {
    case 0: flow.startStopEncounter(); break;
    case 1:
    case 2: flow.nextTurn(); break;
    case 3: flow.delay(); break;
    case 4: flow.ready(); break;
    default: flow.jumpIn(); break;
    }
    for (const auto& [c, hitPoints] : down)
        QVERIFY2(c->getCurrHitPoints() <= hitPoints, qPrintable(c->getNameGroup()));
}
