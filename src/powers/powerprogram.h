#ifndef POWERPROGRAM_H
#define POWERPROGRAM_H

#include <QList>

#include "powers/powerenums.h"
#include "powers/powerstep.h"

class AttrWriter;

// The steps of a power for the creatures hit, missed and affected. It owns
// its steps; a copy holds copies of them.
class PowerProgram
{
public:
    PowerProgram() = default;
    PowerProgram(const PowerProgram& other);
    PowerProgram& operator=(const PowerProgram& other);
    ~PowerProgram();

    void deleteAll();
    bool hasSteps() const;
    int getStepCount(Power::StepType type) const;
    // Null when the index is out of range.
    PowerStep* getStep(int index, Power::StepType type) const;
    // Appends a step of that kind with its default values; null, and nothing
    // appended, for an unknown kind or list.
    PowerStep* addStep(PowerStep::Type kind, Power::StepType type);
    // A step of no list of this program is left alone.
    void deleteStep(PowerStep* step);
    // Removes the step from its list and hands it to the caller; null when
    // no list holds it.
    PowerStep* takeStep(PowerStep* step);
    void stepUp(PowerStep* step);
    void stepDown(PowerStep* step);
    // Every step, and its row when it has one, takes its values afresh.
    void setup(bool fresh);
    // The creatures hit, missed or affected changed: the damage steps' rows follow.
    void hitAndMissTargetsChanged();

    // The step lines of the three lists, in order.
    void write(AttrWriter& writer) const;

private:
    QList<PowerStep*>* list(Power::StepType type);
    const QList<PowerStep*>* list(Power::StepType type) const;
    // Moves the step by one place within its list, when it can.
    void moveStep(PowerStep* step, int by);

    QList<PowerStep*> lists[3];
};

#endif
