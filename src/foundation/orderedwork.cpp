#include "foundation/orderedwork.h"

#include <QThread>

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
        while (!stopped && prepareNext()) {
        }
    }

    // The calling thread prepares the item itself, or others while a worker
    // prepares it, rather than wait idle.
    void waitFor(int i)
    {
        if (prepareIfFree(i))
            return;
        while (states[i] != Prepared && prepareNext()) {
        }
        std::unique_lock<std::mutex> lock(mutex);
        prepared.wait(lock, [&] { return states[i] == Prepared; });
    }

    void stop() { stopped = true; }

private:
    // False when every item is taken.
    bool prepareNext()
    {
        for (int i = next++; i < count; i = next++)
            if (prepareIfFree(i))
                return true;
        return false;
    }

    bool prepareIfFree(int i)
    {
        int expected = Free;
        if (!states[i].compare_exchange_strong(expected, Taken))
            return false;
        prepare(i);
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
