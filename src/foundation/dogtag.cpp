#include "foundation/dogtag.h"

#include <QDebug>
#include <QMutex>

#include <cstdlib>
#include <cstring>
#include <new>

void* DogTag::watchPoint = nullptr;

namespace {

struct MissingMemory
{
    void* address;
    int allocation;
    int line;
    const char* file;
};

const int growthStep = 4000;

// One sorted table for the whole process, guarded by the only lock there is.
MissingMemory* table = nullptr;
int used = 0;
int allocated = 0;
int counter = 0;
QMutex tableLock;

void mm_assertion(MissingMemory* entry, void* address, const char* message)
{
    if (entry)
        qDebug("MM: %p (#%d) %s:%d %s", entry->address, entry->allocation, entry->file, entry->line, message);
    else
        qDebug("MM: %p %s", address, message);
}

// Index of the first entry whose address is greater than the given one.
int upperBound(void* address)
{
    int low = 0, high = used;
    while (low < high) {
        int mid = (low + high) / 2;
        if (table[mid].address <= address)
            low = mid + 1;
        else
            high = mid;
    }
    return low;
}

}

void DogTag::init(void* address, int line, const char* file)
{
    this->address = address;
    tableLock.lock();
    if (used == allocated) {
        auto* bigger = static_cast<MissingMemory*>(malloc(sizeof(MissingMemory) * size_t(used + growthStep)));
        if (!bigger) {
            tableLock.unlock();
            qDebug("MM ERROR: Cannot allocate table big enough!");
            return;
        }
        if (table)
            memcpy(bigger, table, sizeof(MissingMemory) * size_t(used));
        free(table);
        table = bigger;
        allocated += growthStep;
    }
    int at = upperBound(address);
    memmove(table + at + 1, table + at, sizeof(MissingMemory) * size_t(used - at));
    table[at] = {address, counter++, line, file ? file : "?"};
    used++;
    tableLock.unlock();
}

DogTag::~DogTag()
{
    if (!address)
        return;
    if (address == watchPoint)
        qDebug("Hit watch point!");
    tableLock.lock();
    int at = upperBound(address) - 1;
    bool found = at >= 0 && table[at].address == address;
    if (found) {
        memmove(table + at, table + at + 1, sizeof(MissingMemory) * size_t(used - at - 1));
        used--;
    }
    tableLock.unlock();
    if (!found)
        mm_assertion(nullptr, address, "Pointer not allocated");
    address = nullptr;
}

void DogTag::shutdown()
{
    tableLock.lock();
    for (int i = 0; i < used; i++)
        mm_assertion(&table[i], nullptr, "Not free");
    free(table);
    table = nullptr;
    used = allocated = counter = 0;
    tableLock.unlock();
}

int DogTag::count()
{
    QMutexLocker locker(&tableLock);
    return used;
}

int DogTag::capacity()
{
    QMutexLocker locker(&tableLock);
    return allocated;
}
