#include "foundation/dogtag.h"

#include <QDebug>
#include <QList>
#include <QHash>
#include <QMultiHash>
#include <QMutex>

#include <algorithm>
#include <functional>

void* DogTag::watchPoint = nullptr;

namespace {

struct MissingMemory
{
    void* address;
    int allocation;
    int line;
    const char* file;
};

// Live tags by address, for the whole process, guarded by the only lock
// there is. A long fight registers and frees hundreds of thousands: the
// newest tag of an address stays in a plain hash, without an allocation of
// its own; older ones of the same address wait in a second table. Never
// destroyed, as statics holding tags may be destroyed after them.
struct Table
{
    QHash<void*, MissingMemory> newest;
    QMultiHash<void*, MissingMemory> older;
};

Table& table()
{
    static auto* live = new Table;
    return *live;
}

int counter = 0;
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
    const MissingMemory entry{address, counter++, line, file ? file : "?"};
    const auto same = live.newest.find(address);
    if (same == live.newest.end()) {
        live.newest.insert(address, entry);
    } else {
        live.older.insert(address, *same);
        *same = entry;
    }
}

DogTag::~DogTag()
{
    if (!address)
        return;
    if (address == watchPoint)
        qDebug("Hit watch point!");
    tableLock.lock();
    // The newest tag of that address goes first.
    Table& live = table();
    const auto entry = live.newest.find(address);
    const bool found = entry != live.newest.end();
    if (found) {
        const auto older = live.older.find(address);
        if (older == live.older.end()) {
            live.newest.erase(entry);
        } else {
            *entry = *older;
            live.older.erase(older);
        }
    }
    tableLock.unlock();
    if (!found)
        mm_assertion(nullptr, address, "Pointer not allocated");
    address = nullptr;
}

void DogTag::shutdown()
{
    QMutexLocker locker(&tableLock);
    // By address, and in order of registration for one address.
    QList<MissingMemory> left = table().newest.values() + table().older.values();
    std::sort(left.begin(), left.end(), [](const MissingMemory& a, const MissingMemory& b) {
        return std::less<void*>()(a.address, b.address)
            || (a.address == b.address && a.allocation < b.allocation);
    });
    for (const MissingMemory& entry : left)
        mm_assertion(&entry, nullptr, "Not free");
    table() = Table();
    counter = 0;
}

int DogTag::count()
{
    QMutexLocker locker(&tableLock);
    return int(table().newest.size() + table().older.size());
}
