#ifndef TESTWORLD_H
#define TESTWORLD_H

#include <QList>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>

#include "powers/power.h"

class Creature;
class Event;
class ObjectStream;

// A data folder with the encounter, the history and the libraries behind the
// application's singleton slots, as a running program has them.
class TestWorld
{
public:
    TestWorld();
    ~TestWorld();

    QString root() const { return dir.path(); }
    QString logPath() const;
    ObjectStream* stream();

    // A rested hero in the character library.
    Creature* addHero(const QString& name, int maxHitPoints, int surges = 4, int actionPoints = 1);
    // A monster template and one rested instance of it.
    Creature* addMonster(const QString& group, const QString& id, int maxHitPoints);
    Creature* find(const QString& nameGroup) const;
    // A known initiative bonus makes the creature take turns; its files hold
    // the bonus, so it is no hand edit.
    static void giveInitiativeBonus(Creature* creature, int bonus = 2);
    // A power of a demonstration creature as its file stores it.
    struct DemonstrationPower
    {
        QString file;
        bool monster;
        CreaturePower power;
    };
    // Every power of the demonstration heroes and monsters, file by file.
    static QList<DemonstrationPower> demonstrationPowers();
    // A power of a demonstration hero; an empty one when missing.
    static CreaturePower demonstrationPower(const QString& heroFile, const QString& power);

    // Builds the event on the log and hands it to the history.
    bool record(Event* event);
    // The event's class, by name.
    static QString eventClass(const Event* event);

    // As after a restart: the libraries loaded afresh (rested, nothing
    // remembered of the fight) and the log replayed. Returns the replay's
    // result. What the log does not hold yet (who stands in the encounter)
    // is set up by the caller before the replay.
    bool restart(const std::function<void()>& beforeReplay = nullptr);

    // The whole model as text: order, round, current, and every creature's figures.
    QString describe() const;
    // Every creature's hit points, temporary hit points, surges and action
    // points, a line each, as the docks show them.
    static QStringList figures();
    // The lines in which two descriptions differ, for a failure message.
    static QString difference(const QString& expected, const QString& actual);

private:
    void makeSingletons();
    void deleteSingletons();

    QTemporaryDir dir;
};

#endif
