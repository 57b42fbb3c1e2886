#pragma once

#include <QString>

class Creature;

// The data every picture shows: a data folder in the temporary home with a
// party and monsters, and a recorded fight in which every creature state,
// effects and a selection occur. The one place that knows where the data
// comes from.
class ScreenshotWorld
{
public:
    // Loads the data folder below home and records the fight; false with the reason.
    bool load(const QString& home, QString& error);

private:
    Creature* addHero(const QString& name, int maxHitPoints);
    Creature* addMonster(const QString& group, const QString& id, int maxHitPoints);
    bool recordFight(QString& error);
};
