#ifndef BENCHSIZES_H
#define BENCHSIZES_H

#include <QList>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

// The sizes a benchmark runs: its default, or the number given, and with
// --scale that size, four times and sixteen times it, so that a cost growing
// faster than the work shows in one run.
inline QList<int> benchSizes(int argc, char** argv, int defaultSize)
{
    int size = defaultSize;
    bool scale = false;
    for (int i = 1; i < argc; i++) {
        if (strcmp(argv[i], "--scale") == 0)
            scale = true;
        else if (atoi(argv[i]) > 0)
            size = atoi(argv[i]);
    }
    return scale ? QList<int>{size, 4 * size, 16 * size} : QList<int>{size};
}

// One line of a run: the time, its floor and their ratio.
inline void printFigures(const char* road, int size, double seconds, const char* floorName, double floorSeconds)
{
    printf("%-10s %8d  %8.3f s  %s %8.3f s  ratio %6.1fx\n", road, size, seconds, floorName, floorSeconds,
           floorSeconds > 0 ? seconds / floorSeconds : 0.0);
    fflush(stdout);
}

// The machine is shared: the thread's own processor time tells more than the clock.
inline double cpuMilliseconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

inline double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

#endif
