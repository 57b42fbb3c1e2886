#ifndef LIBRARY_H
#define LIBRARY_H

#include <QObject>
#include <QStringList>

#include <functional>

#include "library/librarylist.h"

// What the character, monster and encounter libraries share: they own their
// entries and the counts of the creatures in them, load their folder of the
// data folder, and take over what another library of their kind loaded.
class Library : public QObject
{
    Q_OBJECT

public:
    ~Library() override;

    // Fresh counts and no entries.
    void reset();
    CreatureCounts* getCounts() const { return counts; }
    // The files the last load of the folder could not read, with the cause, as list items.
    const QStringList& getUnreadable() const { return unreadable; }
    // Those it read only in part, with what was left out, as list items.
    const QStringList& getReadInPart() const { return readInPart; }

protected:
    explicit Library(QObject* parent) : QObject(parent), counts(new CreatureCounts) {}

    virtual void deleteEntries() = 0;
    virtual bool isEmpty() const = 0;
    // Empties the library and reads every entry of the folder, then has
    // addRead add those read at once; 1 go on, 0 stop, 2 choose another data
    // folder.
    int loadFolder(const QString& root, const QString& prettyRoot, Progress* progress,
                   const LibraryList::FolderTexts& texts, const LibraryList::EntryReader& readEntry,
                   const std::function<void()>& addRead);
    // Empties the library and takes the other's counts; the caller takes its entries.
    void takeOver(Library* loaded);

    QStringList unreadable;
    QStringList readInPart;

private:
    CreatureCounts* counts;
};

#endif
