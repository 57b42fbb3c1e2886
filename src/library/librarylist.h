#ifndef LIBRARYLIST_H
#define LIBRARYLIST_H

#include <QList>
#include <QString>

#include <algorithm>
#include <functional>
#include <iterator>
#include <memory>
#include <utility>

#include "creature/creature.h"

class CreatureInitList;
class CreatureList;
class Progress;

namespace LibraryList {

// The sorted place of a key, ignoring case, among the entries other than
// the one at skip: after the equal keys, or before them. The list is kept
// sorted, so a binary search finds it.
template <typename T>
int sortedPos(const QList<T*>& list, const QString& newKey, QString (T::*key)() const, int skip, bool afterEquals)
{
    const bool skipping = skip >= 0 && skip < list.size();
    int low = 0;
    int high = int(list.size()) - (skipping ? 1 : 0);
    while (low < high) {
        const int middle = (low + high) / 2;
        const T* entry = list[skipping && middle >= skip ? middle + 1 : middle];
        const int order = (entry->*key)().compare(newKey, Qt::CaseInsensitive);
        if (order < 0 || (order == 0 && afterEquals))
            low = middle + 1;
        else
            high = middle;
    }
    return low;
}

// The first entry other than exclude whose key equals the given one, ignoring case.
template <typename T>
T* findSorted(const QList<T*>& list, const QString& wanted, QString (T::*key)() const, const T* exclude = nullptr)
{
    for (int at = sortedPos(list, wanted, key, -1, false); at < list.size(); at++) {
        if ((list[at]->*key)().compare(wanted, Qt::CaseInsensitive) != 0)
            break;
        if (list[at] != exclude)
            return list[at];
    }
    return nullptr;
}

// Equal keys keep their order of insertion.
template <typename T>
void insertSorted(QList<T*>& list, T* entry, QString (T::*key)() const)
{
    list.insert(sortedPos(list, (entry->*key)(), key, -1, true), entry);
}

// An entry read from a folder, with its key folded on the worker that read
// it: keys are equal, and sort, as the names are ignoring case.
template <typename T>
struct Read
{
    QString key;
    T* entry;
};

// Inserts the entries at once, as one by one in their order: sorted once,
// then merged.
template <typename T>
void insertSorted(QList<T*>& list, QList<Read<T>> entries, QString (T::*key)() const)
{
    const auto before = [](const Read<T>& a, const Read<T>& b) { return a.key < b.key; };
    std::stable_sort(entries.begin(), entries.end(), before);
    QList<Read<T>> held;
    held.reserve(list.size());
    for (T* entry : list)
        held.append({(entry->*key)().toCaseFolded(), entry});
    QList<Read<T>> merged;
    merged.reserve(held.size() + entries.size());
    // Equal keys: those held first.
    std::merge(held.begin(), held.end(), entries.begin(), entries.end(), std::back_inserter(merged), before);
    list.clear();
    list.reserve(merged.size());
    for (const Read<T>& read : merged)
        list.append(read.entry);
}

// The name of a new entry: the base, then the base with first, first + 1, ...
QString newName(const QString& base, const std::function<bool(const QString&)>& taken, int first = 1);

// What a library shows while it loads its folder of the data folder.
struct FolderTexts
{
    QString folder;
    QString label;
    QString missingText;
    QString emptyTitle;
    QString emptyText;
};

// Reads one entry of a folder, on any thread; what it returns takes what
// was read, on the loading thread and in the folder's order.
using EntryReader = std::function<std::function<void()>(const QString& entry)>;

// What a worker read, keyed there by its name, appended to the batch on the
// loading thread; freed unread when the load stops before it.
template <typename T>
std::function<void()> toBatch(std::unique_ptr<T> read, QString (T::*name)() const, QList<Read<T>>& batch)
{
    const QString key = read ? (read.get()->*name)().toCaseFolded() : QString();
    auto held = std::make_shared<std::unique_ptr<T>>(std::move(read));
    return [held, key, &batch] {
        if (*held)
            batch.append({key, held->release()});
    };
}

// Reads creature files, monster templates or heroes, into the batch: each
// creature made on the worker that read it. A file that could not be read
// adds its name in the folder and the cause to unreadable.
EntryReader creatureReader(const QString& root, bool monsters, QList<Read<Creature>>& batch,
                           QStringList& unreadable);

// Adds the creatures of a folder to a library's list at once, in the
// folder's order: a name taken before, ignoring case, is numbered as
// Creature::uniqueName numbers it. The list stays sorted by the name.
void addCreatures(QList<Creature*>& list, QList<Read<Creature>> batch, QString (Creature::*name)() const,
                  CreatureCounts* counts);

// A file of a library folder and what became of it, as an item of the list the game master is shown.
QString fileItem(const QString& folder, const QString& entry, const QString& cause);
// The creature under the name, ignoring case. While the log replays, the
// name as the log gives it goes to the file that gives it exactly: numbered
// on loading, as a file naming it in another case came first, that one takes
// it back, and the other is numbered, unless the log holds it already.
// swapped tells whether names changed.
Creature* claimName(QList<Creature*>& list, const QString& name, QString (Creature::*key)() const,
                    const std::function<bool(const Creature*)>& inLog, bool& swapped);
// The creatures of the list whose name is not the one their file gives, as
// items of the list the game master is shown, with the file that has it.
QStringList renamedOnLoading(const QList<Creature*>& list, QString (Creature::*key)() const, const QString& folder);

// Entries of the folder as the directory lists them by default, "." and ".."
// included; names the system's encoding cannot give back go to misnamed.
QStringList folderEntries(const QString& root, const QString& folder, QStringList* misnamed);
int getFileCount(const QString& root, const QString& folder);
// Loads every entry, reading several at once, then adds those read, even
// when cancelled; addRead says whether the library holds any. 1 go on, 0
// stop, 2 choose another data folder. An entry whose name cannot be opened
// adds its item to unreadable.
int loadFolder(const QString& root, const QString& prettyRoot, Progress* progress, const FolderTexts& texts,
               const EntryReader& readEntry, const std::function<bool()>& addRead, QStringList& unreadable);

// While the encounter runs the game master types the newcomers' initiative;
// before receives the values they had. False when cancelled.
bool askInitiative(CreatureList& list, CreatureInitList& before);

}

#endif
