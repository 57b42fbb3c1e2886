#include "power.h"

int Powers::addPower(const CreaturePower& power, bool sorted)
{
    int at = 0;
    while (at < powers.size()) {
        const CreaturePower& other = powers[at];
        if (other.current.when > power.current.when)
            break;
        if (sorted && other.current.when == power.current.when
            && other.name.compare(power.name, Qt::CaseInsensitive) > 0)
            break;
        at++;
    }
    powers.insert(at, power);
    return at;
}

CreaturePower* Powers::getPower(int i)
{
    return i >= 0 && i < powers.size() ? &powers[i] : nullptr;
}

const CreaturePower* Powers::getPower(int i) const
{
    return i >= 0 && i < powers.size() ? &powers[i] : nullptr;
}
