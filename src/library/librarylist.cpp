#include "library/librarylist.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSet>
#include <QThread>

#include <dirent.h>

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include "encounter/creaturelist.h"
#include "encounter/encounter.h"
#include "encounter/history.h"
#include "foundation/global.h"
#include "foundation/orderedwork.h"
#include "foundation/progress.h"
#include "foundation/uihooks.h"

namespace LibraryList {

QString newName(const QString& base, const std::function<bool(const QString&)>& taken, int first)
{
    QString name = base;
    for (int n = first; taken(name); n++)
        name = QString("%1 %2").arg(base).arg(n);
    return name;
}

namespace {

// The names as a plain directory listing has them: "." and "..", no other
// hidden ones. Read without asking the type of each entry, which is most of
// what listing a large folder costs; whatever is no file is passed over
// where it is read. A name the system's encoding cannot give back names no
// file that could be opened: it goes to misnamed, when given, in place.
QStringList listFolder(const QString& root, const QString& folder, QStringList* misnamed = nullptr)
{
    QStringList names;
    DIR* dir = opendir(QFile::encodeName(root + QDir::separator() + folder).constData());
    if (!dir)
        return names;
    while (const dirent* entry = readdir(dir)) {
        const char* name = entry->d_name;
        const bool dots = strcmp(name, ".") == 0 || strcmp(name, "..") == 0;
        if (!dots && name[0] == '.')
            continue;
        const QString decoded = QFile::decodeName(name);
        if (misnamed && QFile::encodeName(decoded) != name)
            misnamed->append(decoded);
        else
            names.append(decoded);
    }
    closedir(dir);
    return names;
}

}

QString fileItem(const QString& folder, const QString& entry, const QString& cause)
{
    return QString("<li><b>%1</b>: %2</li>").arg(Global::htmlPath(folder + "/" + entry), cause.toHtmlEscaped());
}

QStringList folderEntries(const QString& root, const QString& folder, QStringList* misnamed)
{
    // By name ignoring case, as the directory sorts it.
    QStringList names = listFolder(root, folder, misnamed);
    QList<QPair<QString, QString>> keyed;
    keyed.reserve(names.size());
    for (const QString& name : names)
        keyed.append({name.toLower(), name});
    std::stable_sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (int i = 0; i < keyed.size(); i++)
        names[i] = keyed[i].second;
    return names;
}

int getFileCount(const QString& root, const QString& folder)
{
    return int(listFolder(root, folder).size());
}

int loadFolder(const QString& root, const QString& prettyRoot, Progress* progress, const FolderTexts& texts,
               const EntryReader& readEntry, const std::function<bool()>& addRead, QStringList& unreadable)
{
    progress->setLabelText(texts.label);
    QDir dir(root);
    if (!dir.exists(texts.folder)) {
        int answer = Global::badRootAlert(QCoreApplication::translate("Global", "Directory not Found"),
                                          texts.missingText.arg(prettyRoot),
                                          QCoreApplication::translate("Global", "Create"));
        if (answer == 1)
            dir.mkdir(texts.folder);
        return answer;
    }
    QStringList misnamed;
    const QStringList entries = folderEntries(root, texts.folder, &misnamed);
    for (const QString& name : misnamed) {
        unreadable.append(fileItem(texts.folder, name,
                                   QCoreApplication::translate("Global", "The name is not valid in the system's "
                                                                         "encoding; rename the file")));
        progress->advance();
    }
    std::vector<std::function<void()>> adders(entries.size());
    bool canceled = false;
    OrderedWork::run(
        int(entries.size()), [&](int i) { adders[i] = readEntry(entries[i]); },
        [&](int i) {
            std::exchange(adders[i], nullptr)();
            progress->advance();
            canceled = progress->wasCanceled();
            return !canceled;
        });
    const bool any = addRead();
    if (canceled)
        return 0;
    if (!any)
        return Global::badRootAlert(texts.emptyTitle, texts.emptyText.arg(prettyRoot),
                                    QCoreApplication::translate("Global", "Continue"));
    return 1;
}

EntryReader creatureReader(const QString& root, bool monsters, QList<Read<Creature>>& batch,
                           QStringList& unreadable)
{
    QThread* loading = QThread::currentThread();
    const auto name = monsters ? &Creature::getGroup : &Creature::getName;
    const QString folder = monsters ? "Monsters" : "Characters";
    return [=, &batch, &unreadable](const QString& entry) -> std::function<void()> {
        Creature::FileContents contents = Creature::readFile(entry, monsters, root);
        if (!contents.failure.isEmpty()) {
            const QString item = fileItem(folder, entry, contents.failure);
            return [item, &unreadable] { unreadable.append(item); };
        }
        return toBatch(Creature::fromFile(std::move(contents), entry, loading), name, batch);
    };
}

Creature* claimName(QList<Creature*>& list, const QString& name, QString (Creature::*key)() const,
                    const std::function<bool(const Creature*)>& inLog, bool& swapped)
{
    swapped = false;
    Creature* holder = findSorted(list, name, key);
    if (!holder || (holder->*key)() == name || !Global::history || !Global::history->isReplaying() || inLog(holder))
        return holder;
    const auto given = std::find_if(list.begin(), list.end(),
                                    [&name](const Creature* creature) { return creature->getNumberedFrom() == name; });
    if (given == list.end())
        return holder;
    Creature* owner = *given;
    list.removeOne(owner);
    list.removeOne(holder);
    owner->takeLibraryName(name);
    insertSorted(list, owner, key);
    holder->takeLibraryName(newName((holder->*key)(), [&](const QString& candidate) {
        return findSorted(list, candidate, key);
    }, 2));
    insertSorted(list, holder, key);
    swapped = true;
    return owner;
}

QStringList renamedOnLoading(const QList<Creature*>& list, QString (Creature::*key)() const, const QString& folder)
{
    QStringList items;
    for (const Creature* creature : list) {
        const QString given = creature->getNumberedFrom();
        const Creature* holder = given.isEmpty() ? nullptr : findSorted(list, given, key);
        if (holder)
            items.append(fileItem(folder, creature->getFileName(),
                                  QCoreApplication::translate("Global", "Its \"%1\" is named \"%2\" here, as %3 "
                                                                        "names \"%4\"")
                                      .arg(given, (creature->*key)(), folder + "/" + holder->getFileName(),
                                           (holder->*key)())));
    }
    return items;
}

void addCreatures(QList<Creature*>& list, QList<Read<Creature>> batch, QString (Creature::*name)() const,
                  CreatureCounts* counts)
{
    QSet<QString> taken;
    taken.reserve(list.size() + batch.size());
    for (const Creature* held : list)
        taken.insert((held->*name)().toCaseFolded());
    for (Read<Creature>& read : batch) {
        read.entry->setCounts(counts);
        if (taken.contains(read.key)) {
            const QString unique = newName((read.entry->*name)(), [&taken](const QString& candidate) {
                return taken.contains(candidate.toCaseFolded());
            }, 2);
            read.entry->takeLibraryName(unique);
            read.key = unique.toCaseFolded();
        }
        taken.insert(read.key);
    }
    insertSorted(list, std::move(batch), name);
}

bool askInitiative(CreatureList& list, CreatureInitList& before)
{
    if (!Global::encounter->isRunning())
        return true;
    InitiativeList heroes;
    InitiativeList monsters;
    if (Global::ui().rollInitiative(list, heroes, monsters) == 0)
        return false;
    before = list.setInitiativeOrder(heroes, monsters, list.getVitalityList());
    return true;
}

}
