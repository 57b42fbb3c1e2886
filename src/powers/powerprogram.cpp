#include "powers/powerprogram.h"

PowerProgram::PowerProgram(const PowerProgram& other)
{
    *this = other;
}

PowerProgram& PowerProgram::operator=(const PowerProgram& other)
{
    if (&other == this)
        return *this;
    deleteAll();
    for (int type = Power::Hit; type <= Power::Effect; type++)
        for (const PowerStep* step : other.lists[type])
            lists[type].append(step->clone());
    return *this;
}

PowerProgram::~PowerProgram()
{
    deleteAll();
}

void PowerProgram::deleteAll()
{
    for (QList<PowerStep*>& steps : lists) {
        qDeleteAll(steps);
        steps.clear();
    }
}

bool PowerProgram::hasSteps() const
{
    for (const QList<PowerStep*>& steps : lists)
        if (!steps.isEmpty())
            return true;
    return false;
}

QList<PowerStep*>* PowerProgram::list(Power::StepType type)
{
    return const_cast<QList<PowerStep*>*>(std::as_const(*this).list(type));
}

const QList<PowerStep*>* PowerProgram::list(Power::StepType type) const
{
    return type >= Power::Hit && type <= Power::Effect ? &lists[type] : nullptr;
}

int PowerProgram::getStepCount(Power::StepType type) const
{
    const QList<PowerStep*>* steps = list(type);
    return steps ? steps->size() : 0;
}

PowerStep* PowerProgram::getStep(int index, Power::StepType type) const
{
    const QList<PowerStep*>* steps = list(type);
    return steps && index >= 0 && index < steps->size() ? steps->at(index) : nullptr;
}

PowerStep* PowerProgram::addStep(PowerStep::Type kind, Power::StepType type)
{
    QList<PowerStep*>* steps = list(type);
    PowerStep* step = steps ? PowerStep::create(kind) : nullptr;
    if (!step)
        return nullptr;
    if (step->type() == PowerStep::Damage)
        static_cast<DamageStep*>(step)->list = type;
    steps->append(step);
    return step;
}

void PowerProgram::deleteStep(PowerStep* step)
{
    delete takeStep(step);
}

PowerStep* PowerProgram::takeStep(PowerStep* step)
{
    for (QList<PowerStep*>& steps : lists)
        if (steps.removeOne(step))
            return step;
    return nullptr;
}

void PowerProgram::moveStep(PowerStep* step, int by)
{
    for (QList<PowerStep*>& steps : lists) {
        const int at = steps.indexOf(step);
        if (at < 0)
            continue;
        if (at + by >= 0 && at + by < steps.size())
            steps.move(at, at + by);
        return;
    }
}

void PowerProgram::stepUp(PowerStep* step)
{
    moveStep(step, -1);
}

void PowerProgram::stepDown(PowerStep* step)
{
    moveStep(step, 1);
}

void PowerProgram::setup(bool fresh)
{
    for (const QList<PowerStep*>& steps : lists)
        for (PowerStep* step : steps) {
            step->setup(fresh);
            step->showValues();
        }
}

void PowerProgram::hitAndMissTargetsChanged()
{
    // A damage step's row shows one amount per creature of its list.
    for (const QList<PowerStep*>& steps : lists)
        for (PowerStep* step : steps)
            if (step->type() == PowerStep::Damage)
                step->showValues();
}
