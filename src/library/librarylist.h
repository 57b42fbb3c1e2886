#ifndef LIBRARYLIST_H
#define LIBRARYLIST_H

#include <QList>
#include <QString>

#include <functional>

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

// The name of a new entry: the base, then the base with 1, 2, 3, ...
QString newName(const QString& base, const std::function<bool(const QString&)>& taken);

// What a library shows while it loads its folder of the data folder.
struct FolderTexts
{
    QString folder;
    QString label;
    QString missingText;
    QString emptyTitle;
    QString emptyText;
};

// Reads one entry of a folder, on any thread; what it returns adds what was
// read to the library, on the loading thread and in the folder's order.
using EntryReader = std::function<std::function<void()>(const QString& entry)>;

// Reads creature files: monster templates when given the monsters. Each that
// loads is given to add.
EntryReader creatureReader(const QString& root, Monsters* monsters, Characters* characters,
                           const std::function<void(Creature*)>& add);

// Entries of the folder as the directory lists them by default, "." and ".." included.
QStringList folderEntries(const QString& root, const QString& folder);
int getFileCount(const QString& root, const QString& folder);
// Loads every entry, reading several at once; 1 go on, 0 stop, 2 choose another data folder.
int loadFolder(const QString& root, const QString& prettyRoot, Progress* progress, const FolderTexts& texts,
               const EntryReader& readEntry, const std::function<bool()>& isEmpty);

// While the encounter runs the game master types the newcomers' initiative;
// before receives the values they had. False when cancelled.
bool askInitiative(CreatureList& list, CreatureInitList& before);

}

#endif
