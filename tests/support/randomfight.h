#ifndef RANDOMFIGHT_H
#define RANDOMFIGHT_H

#include <QList>
#include <QStringList>

#include <functional>

class Creature;
class Effect;
class Event;
class ObjectStream;
class TestWorld;

// A fight of heroes and goblins in which the game master does random things:
// commands of every kind built so far, turns with their prompts answered at
// random, hand edits, steps back and forward, truncation. Draws on rand(), so
// a seed repeats a fight.
class RandomFight
{
public:
    // With steps false only commands and hand edits are made.
    RandomFight(TestWorld& world, bool steps = true, int heroCount = 3, int goblinCount = 3);

    // The data rows of a test over random fights, one for each seed.
    static void addSeedRows(const QList<unsigned>& seeds);

    // Who stands in the encounter is not in the log yet; a restart puts them back.
    void enterEncounter() const;
    void step();
    // A step back or forward. Asked whether hand edits made while events
    // stood undone may end them, the game master agrees.
    void stepInHistory(bool forward) const;
    // A command of the windows, drawn now and then among the model's own; it
    // records its events through the history itself.
    void addWindowCommand(const std::function<void()>& command) { windowCommands.append(command); }

private:
    Creature* anyone() const;
    QList<Creature*> someone() const;
    Creature* anyHero() const;
    Effect* anyEffect(Creature*& holder) const;
    void handEdit();
    void command();
    Event* vitalityCommand(int kind, ObjectStream* stream) const;
    Event* effectCommand(ObjectStream* stream) const;
    Event* turnOrderCommand(ObjectStream* stream) const;
    Event* restCommand(ObjectStream* stream) const;
    Event* powerCommand(ObjectStream* stream) const;
    // Only someone joining when joinOnly is set.
    Event* rosterCommand(ObjectStream* stream, bool joinOnly = false) const;
    // Start or Stop, Next Turn, Delay, Ready or Jump In, through the turn flow.
    void turnCommand() const;
    // Heroes or goblins out of the encounter, some of them.
    QList<Creature*> outside(bool heroes) const;

    TestWorld& world;
    bool steps;
    QStringList heroNames;
    QStringList goblinIds;
    QList<std::function<void()>> windowCommands;
};

#endif
