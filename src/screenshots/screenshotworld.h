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
    bool recordFight(QString& error);
};
