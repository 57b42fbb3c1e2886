#include "library/library.h"

#include <utility>

Library::~Library()
{
    delete counts;
}

void Library::reset()
{
    delete counts;
    counts = new CreatureCounts;
    deleteEntries();
}

int Library::loadFolder(const QString& root, const QString& prettyRoot, Progress* progress,
                        const LibraryList::FolderTexts& texts, const LibraryList::EntryReader& readEntry,
                        const std::function<void()>& addRead)
{
    reset();
    unreadable.clear();
    readInPart.clear();
    return LibraryList::loadFolder(root, prettyRoot, progress, texts, readEntry, [this, &addRead] {
        addRead();
        return !isEmpty();
    }, unreadable);
}

void Library::takeOver(Library* loaded)
{
    reset();
    delete counts;
    counts = std::exchange(loaded->counts, new CreatureCounts);
}
