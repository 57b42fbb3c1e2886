#ifndef SATURATING_H
#define SATURATING_H

#include <QtGlobal>

#include <algorithm>
#include <limits>

// Figures read from a damaged log may be anything: sums of them stop at the
// ends of int instead of wrapping. Sane figures sum as plain ints do.
namespace Saturating {

inline int clamped(qint64 value)
{
    return int(std::clamp<qint64>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

inline int sum(qint64 a, qint64 b)
{
    return clamped(a + b);
}

inline int difference(qint64 a, qint64 b)
{
    return clamped(a - b);
}

}

#endif
