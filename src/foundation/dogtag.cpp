#include "foundation/dogtag.h"

#include <QDebug>
#include <QList>
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

using Table = QMultiHash<void*, MissingMemory>;

// Live tags by address, for the whole process, guarded by the only lock
// there is. A hash: a long fight registers and frees hundreds of thousands.
// Never destroyed, as statics holding tags may be destroyed after it.
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
    table().insert(address, {address, counter++, line, file ? file : "?"});
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
    const auto entry = live.find(address);
    const bool found = entry != live.end();
    if (found)
        live.erase(entry);
    tableLock.unlock();
    if (!found)
        mm_assertion(nullptr, address, "Pointer not allocated");
    address = nullptr;
}

void DogTag::shutdown()
{
    QMutexLocker locker(&tableLock);
    // By address, and in order of registration for one address.
    QList<MissingMemory> left = table().values();
    std::sort(left.begin(), left.end(), [](const MissingMemory& a, const MissingMemory& b) {
        return std::less<void*>()(a.address, b.address)
            || (a.address == b.address && a.allocation < b.allocation);
    });
    for (const MissingMemory& entry : left)
        mm_assertion(&entry, nullptr, "Not free");
    table().clear();
    table().squeeze();
    counter = 0;
}

int DogTag::count()
{
    QMutexLocker locker(&tableLock);
    return int(table().size());
}
