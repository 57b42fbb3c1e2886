#include "foundation/orderedwork.h"

#include <QThread>

#include <time.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace OrderedWork {

namespace {

enum State : int { Free, Taken, Prepared };

std::atomic<qint64> workersNanoseconds{0};
std::atomic<qint64> callerNanoseconds{0};
std::atomic<qint64> waitingNanoseconds{0};

qint64 clockNanoseconds(clockid_t clock)
{
    timespec now{};
    clock_gettime(clock, &now);
    return now.tv_sec * qint64(1000000000) + now.tv_nsec;
}

// What the thread ran, not counting the time other threads had its processor.
qint64 threadNanoseconds()
{
    return clockNanoseconds(CLOCK_THREAD_CPUTIME_ID);
}

qint64 nanoseconds()
{
    return clockNanoseconds(CLOCK_MONOTONIC);
}

// The items, whose state says who prepares them, and the wait for the next one.
class Board
{
public:
    Board(int count, const std::function<void(int)>& prepare) : states(new std::atomic<int>[count]), count(count), prepare(prepare)
    {
        for (int i = 0; i < count; i++)
            states[i] = Free;
    }

    void work()
    {
        while (!stopped && prepareNext(workersNanoseconds)) {
        }
    }

    // The calling thread prepares the item itself, or others while a worker
    // prepares it, rather than wait idle.
    void waitFor(int i)
    {
        if (prepareIfFree(i, callerNanoseconds))
            return;
        while (states[i] != Prepared && prepareNext(callerNanoseconds)) {
        }
        const qint64 start = nanoseconds();
        std::unique_lock<std::mutex> lock(mutex);
        prepared.wait(lock, [&] { return states[i] == Prepared; });
        waitingNanoseconds += nanoseconds() - start;
    }

    void stop() { stopped = true; }

private:
    // False when every item is taken.
    bool prepareNext(std::atomic<qint64>& spent)
    {
        for (int i = next++; i < count; i = next++)
            if (prepareIfFree(i, spent))
                return true;
        return false;
    }

    bool prepareIfFree(int i, std::atomic<qint64>& spent)
    {
        int expected = Free;
        if (!states[i].compare_exchange_strong(expected, Taken))
            return false;
        const qint64 start = threadNanoseconds();
        prepare(i);
        spent += threadNanoseconds() - start;
        {
            std::lock_guard<std::mutex> lock(mutex);
            states[i] = Prepared;
        }
        prepared.notify_all();
        return true;
    }

    std::unique_ptr<std::atomic<int>[]> states;
    const int count;
    const std::function<void(int)>& prepare;
    std::atomic<int> next{0};
    std::atomic<bool> stopped{false};
    std::mutex mutex;
    std::condition_variable prepared;
};

}

int workerCount(int count)
{
    const int itemsPerWorker = 16;
    const int mostWorkers = 7;
    return std::max(0, std::min({QThread::idealThreadCount(), mostWorkers, count / itemsPerWorker}));
}

Split spent()
{
    return {workersNanoseconds / 1e9, callerNanoseconds / 1e9, waitingNanoseconds / 1e9};
}

void run(int count, const std::function<void(int)>& prepare, const std::function<bool(int)>& finish)
{
    Board board(count, prepare);
    std::vector<std::thread> workers;
    for (int i = workerCount(count); i > 0; i--)
        workers.emplace_back([&board] { board.work(); });
    for (int i = 0; i < count; i++) {
        board.waitFor(i);
        if (!finish(i))
            break;
    }
    board.stop();
    for (std::thread& worker : workers)
        worker.join();
}

}
