#include "foundation/dogtag.h"

#include <QDebug>
#include <QList>
#include <QMutex>

#include <algorithm>
#include <functional>
#include <vector>

void* DogTag::watchPoint = nullptr;

namespace {

struct MissingMemory
{
    void* address;
    int allocation;
    int line;
    const char* file;
    bool live;
};

// Live tags, each in the slot it took, for the whole process, guarded by the
// only lock there is. A long fight registers and frees hundreds of thousands
// of tags, mostly in order: a freed slot is taken again by the next one.
// Never destroyed, as statics holding tags may be destroyed after it.
struct Table
{
    std::vector<MissingMemory> entries;
    std::vector<int> freeSlots;
    // Counts the reports: a tag registered before the last one is not known.
    int generation = 0;
    int counter = 0;
};

Table& table()
{
    static auto* live = new Table;
    return *live;
}

QMutex tableLock;

void mm_assertion(const MissingMemory* entry, void* address, const char* message)
{
    if (entry)
        qDebug("MM: %p (#%d) %s:%d %s", entry->address, entry->allocation, entry->file, entry->line, message);
    else
        qDebug("MM: %p %s", address, message);
}

}

void DogTag::init(void* address, int line, const char* file)
{
    this->address = address;
    QMutexLocker locker(&tableLock);
    Table& live = table();
    const MissingMemory entry{address, live.counter++, line, file ? file : "?", true};
    if (live.freeSlots.empty()) {
        slot = int(live.entries.size());
        live.entries.push_back(entry);
    } else {
        slot = live.freeSlots.back();
        live.freeSlots.pop_back();
        live.entries[size_t(slot)] = entry;
    }
    generation = live.generation;
}

DogTag::~DogTag()
{
    if (!address)
        return;
    if (address == watchPoint)
        qDebug("Hit watch point!");
    tableLock.lock();
    Table& live = table();
    const bool found = generation == live.generation;
    if (found) {
        live.entries[size_t(slot)].live = false;
        live.freeSlots.push_back(slot);
    }
    tableLock.unlock();
    if (!found)
        mm_assertion(nullptr, address, "Pointer not allocated");
    address = nullptr;
}

void DogTag::shutdown()
{
    QMutexLocker locker(&tableLock);
    Table& live = table();
    // By address, and in order of registration for one address.
    std::vector<MissingMemory> left;
    for (const MissingMemory& entry : live.entries)
        if (entry.live)
            left.push_back(entry);
    std::sort(left.begin(), left.end(), [](const MissingMemory& a, const MissingMemory& b) {
        return std::less<void*>()(a.address, b.address)
            || (a.address == b.address && a.allocation < b.allocation);
    });
    for (const MissingMemory& entry : left)
        mm_assertion(&entry, nullptr, "Not free");
    live = Table{{}, {}, live.generation + 1, 0};
}

int DogTag::count()
{
    QMutexLocker locker(&tableLock);
    return int(table().entries.size() - table().freeSlots.size());
}
