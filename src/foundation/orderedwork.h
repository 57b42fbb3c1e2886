#ifndef ORDEREDWORK_H
#define ORDEREDWORK_H

#include <functional>

namespace OrderedWork {

// Prepares items 0 to count - 1 on worker threads and on the calling thread,
// and finishes each on the calling thread in their order, as soon as it is
// prepared. Stops at the first finish that returns false; items prepared
// ahead of it are dropped unfinished. Prepare must be safe on any thread;
// finish may use everything the calling thread may.
void run(int count, const std::function<void(int)>& prepare, const std::function<bool(int)>& finish);

// Worker threads for count items: none for a few, where starting them costs more than they save.
int workerCount(int count);

// Seconds spent in every run so far: preparing on the workers and on the
// calling thread, as processor time, and the calling thread waiting for a
// worker. A benchmark tells by them where a load's time goes.
struct Split
{
    double workers = 0;
    double caller = 0;
    double waiting = 0;
};
Split spent();

}

#endif
