#include "foundation/folderlock.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>
#include <QThread>

#include <signal.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "foundation/locktexts.h"
#include "foundation/messagefilter.h"

namespace {

const char* const lockName = ".ravelhorn.lock";
// A lock file is named within moments of being made: one without a name that
// is older than this was left half written, as by a power cut.
const qint64 namelessGraceMs = 3000;

QString key(const QString& folder)
{
    const QFileInfo info(folder);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? info.absoluteFilePath() : canonical;
}

using LockTexts::Holder;

// Both locks of a folder held. The one in the folder is missing when the
// folder cannot hold it, and shared when two paths lead to one folder.
struct HeldFolder
{
    std::shared_ptr<QLockFile> inFolder;
    std::unique_ptr<QLockFile> onComputer;
};

using FileIdentity = std::pair<quint64, quint64>;

// The device and inode of each lock file when last found to be this program's.
std::map<QString, FileIdentity>& ownLockFiles()
{
    // Still there when the held folders are let go at exit.
    static auto* files = new std::map<QString, FileIdentity>;
    return *files;
}

bool namesThisProgram(const QString& path)
{
    Holder holder;
    return QLockFile(path).getLockInfo(&holder.pid, &holder.host, &holder.program)
        && holder.pid == QCoreApplication::applicationPid() && holder.onThisComputer();
}

// Whether the lock file is this program's: the one it made, or a copy of it
// put in its place, as sync tools do. A stat, and a read of a file not seen
// before.
bool isOwnFile(const QString& path)
{
    struct stat found;
    if (stat(QFile::encodeName(path).constData(), &found) != 0)
        return false;
    const FileIdentity identity(found.st_dev, found.st_ino);
    const auto own = ownLockFiles().find(path);
    if (own != ownLockFiles().end() && own->second == identity)
        return true;
    if (!namesThisProgram(path))
        return false;
    ownLockFiles()[path] = identity;
    return true;
}

// Its unlock would remove by name the lock file another program has put in
// its place, so it is never destroyed: its file closes with the process.
void forsake(std::shared_ptr<QLockFile> lock)
{
    static auto* forsaken = new std::vector<std::shared_ptr<QLockFile>>;
    forsaken->push_back(std::move(lock));
}

// Removes the lock file only while it is this program's. The toolkit warns
// when the file is gone, as with its folder removed or unmounted: then
// nothing is left to remove.
template <class Lock>
void letGo(Lock& lock)
{
    if (!lock || !lock->isLocked()) {
        lock.reset();
        return;
    }
    const QString path = lock->fileName();
    if (isOwnFile(path)) {
        lock.reset();
    } else if (QFileInfo::exists(path)) {
        forsake(std::move(lock));
    } else {
        const MessageFilter::GoneLockFile quiet;
        lock.reset();
    }
}

void letGo(HeldFolder& folder)
{
    letGo(folder.inFolder);
    letGo(folder.onComputer);
}

// By the path the links resolve to.
struct HeldFolders
{
    std::map<QString, HeldFolder> byKey;
    // At exit, as the end of a test, a folder may be gone before its lock.
    ~HeldFolders()
    {
        for (auto& entry : byKey)
            letGo(entry.second);
    }
};

std::map<QString, HeldFolder>& held()
{
    static HeldFolders folders;
    return folders.byKey;
}

std::unique_ptr<QLockFile> newLock(const QString& path)
{
    auto lock = std::make_unique<QLockFile>(path);
    // Held for the whole session: a lock is stale only when its program is gone, never by its age.
    lock->setStaleLockTime(0);
    return lock;
}

bool sameFile(const QString& one, const QString& other)
{
    struct stat first;
    struct stat second;
    return ::stat(QFile::encodeName(one).constData(), &first) == 0
        && ::stat(QFile::encodeName(other).constData(), &second) == 0 && first.st_ino != 0
        && first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

// This program's lock reached through another path to its folder, as a bind mount.
std::shared_ptr<QLockFile> heldAs(const QString& path)
{
    for (const auto& entry : held())
        if (entry.second.inFolder && sameFile(entry.second.inFolder->fileName(), path))
            return entry.second.inFolder;
    return nullptr;
}

bool isYoung(const QString& path)
{
    const QDateTime modified = QFileInfo(path).lastModified();
    return modified.isValid() && qAbs(modified.msecsTo(QDateTime::currentDateTime())) < namelessGraceMs;
}

// A file or an empty folder; the system's words when it stays.
bool removeEntry(const QString& path, QString& cause)
{
    if (std::remove(QFile::encodeName(path).constData()) == 0 || errno == ENOENT)
        return true;
    cause = qt_error_string(errno);
    return false;
}

// The system's words for why the lock file cannot be made.
QString whyUnmade(const QString& path)
{
    QFile probe(path);
    if (!probe.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return probe.errorString();
    // The disk took the name but not the content.
    const QByteArray content(80, '\n');
    const bool written = probe.write(content) == content.size() && probe.flush();
    const QString cause = written ? LockTexts::unwritten() : probe.errorString();
    probe.remove();
    return cause;
}

// What a lock file tells of its holder's hold on it. The toolkit's lock keeps
// an advisory lock on the file it holds open, which the system lets go of as
// its process ends, before the parent collects it; a copy of the file is held
// by no one.
enum class Hold { Held, Free, Untold };

// Asked from a file of its own, so that this program's holds count as well.
Hold holdOn(const QString& path)
{
    const int file = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (file < 0)
        return Hold::Untold;
    const bool free = ::flock(file, LOCK_SH | LOCK_NB) == 0;
    // Where the file system keeps no advisory locks it cannot be told.
    const bool held = !free && errno == EWOULDBLOCK;
    ::close(file);
    return free ? Hold::Free : held ? Hold::Held : Hold::Untold;
}

// A lock file's holder, as far as this program can tell.
struct Named
{
    Holder holder;
    Hold hold = Hold::Untold;
    bool othersProgram = false;
};

// The effective user of a process on this computer; -1 where it cannot be read.
qint64 processOwner(qint64 pid)
{
    QFile status(QString("/proc/%1/status").arg(pid));
    if (pid <= 0 || !status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        // Real, effective, saved and file system user.
        const QList<QByteArray> users = line.simplified().split(' ');
        bool read = false;
        const uint user = users.value(2).toUInt(&read);
        if (users.first() == "Uid:" && read)
            return user;
    }
    return -1;
}

// Whose program holds the lock: told by its process, as a mount may give
// every file one owner; by the lock file's owner where the process cannot be read.
bool isOthersProgram(const QString& path, const Holder& holder)
{
    const qint64 owner = holder.onThisComputer() ? processOwner(holder.pid) : -1;
    if (owner >= 0)
        return owner != ::geteuid();
    struct stat found;
    return ::stat(QFile::encodeName(path).constData(), &found) == 0 && found.st_uid != ::geteuid();
}

// Ended but not yet collected by its parent: a launcher that does not wait keeps it so.
bool hasEnded(qint64 pid)
{
    QFile stat(QString("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return false;
    const QByteArray line = stat.readAll();
    const int nameEnd = line.lastIndexOf(')');
    const char state = nameEnd >= 0 && line.size() > nameEnd + 2 ? line.at(nameEnd + 2) : '?';
    return state == 'Z' || state == 'X';
}

// Whether the process a lock names runs its program: not when no process has
// its number, or the one that has it now has ended or is another program.
bool processRuns(const Holder& holder)
{
    if (holder.pid <= 0 || (::kill(pid_t(holder.pid), 0) != 0 && errno == ESRCH) || hasEnded(holder.pid))
        return false;
    // Unreadable for another user's process; a program rebuilt while it runs is shown as deleted.
    QString running = QFile::symLinkTarget(QString("/proc/%1/exe").arg(holder.pid));
    if (running.endsWith(" (deleted)"))
        running.chop(10);
    return running.isEmpty() || QFileInfo(running).fileName() == holder.program;
}

// Whether the program a lock names still runs. Its hold on the file tells it
// whatever became of its program file. A lock held by no one names a program
// that runs when it was copied from another folder that program holds; only
// then, and where the hold cannot be told, the process is asked. On another
// computer it cannot be told, and counts as running.
bool runs(const Named& named)
{
    if (!named.holder.onThisComputer() || named.hold == Hold::Held)
        return true;
    return processRuns(named.holder);
}

enum class Attempt { Taken, Unmade, Held, Unreadable, Stuck };

std::atomic<int> waits{0};

// Taken, the lock names its holder to the other users of a shared folder
// whatever this user's umask: one they cannot read they cannot tell from a leftover.
bool tryTake(QLockFile& lock)
{
    if (!lock.tryLock(0))
        return false;
    QFile::setPermissions(lock.fileName(), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    return true;
}

// The system's words when the file is there but this user may not read it.
QString whyUnreadable(const QString& path)
{
    const int file = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (file >= 0) {
        ::close(file);
        return QString();
    }
    return errno == EACCES ? qt_error_string(errno) : QString();
}

// Takes the lock, clearing one that names no program once it is old enough
// and one the caller may clear, as a null holder the one that cannot be read.
// Otherwise the holder, or why the file is kept.
Attempt acquire(QLockFile& lock, const std::function<bool(const Named*)>& clearable, Named& found, QString& cause)
{
    const QDeadlineTimer grace(namelessGraceMs);
    for (;;) {
        // Two programs clearing one lock at once would each remove the other's new one. Held, it
        // also keeps the toolkit from clearing a lock by its own judgement before this one's.
        QLockFile guard(lock.fileName() + ".rmlock");
        const bool guarded = guard.tryLock(0) || guard.error() != QLockFile::LockFailedError;
        if (guarded || grace.hasExpired()) {
            if (tryTake(lock))
                return Attempt::Taken;
            if (lock.error() != QLockFile::LockFailedError)
                return Attempt::Unmade;
        }
        Holder& holder = found.holder;
        const bool named = lock.getLockInfo(&holder.pid, &holder.host, &holder.program);
        const QString unreadable = named ? QString() : whyUnreadable(lock.fileName());
        if ((!guarded || (!named && unreadable.isEmpty() && isYoung(lock.fileName()))) && !grace.hasExpired()) {
            waits++;
            QThread::msleep(50);
            continue;
        }
        if (named) {
            found.hold = holder.onThisComputer() ? holdOn(lock.fileName()) : Hold::Untold;
            found.othersProgram = isOthersProgram(lock.fileName(), holder);
        }
        // The lock of a program that is gone is cleared, or told as one that cannot be.
        if (named && runs(found) && !clearable(&found))
            return Attempt::Held;
        if (!unreadable.isEmpty() && !clearable(nullptr)) {
            cause = unreadable;
            return Attempt::Unreadable;
        }
        if (!removeEntry(lock.fileName(), cause))
            return Attempt::Stuck;
    }
}

bool namesProcess(const QString& path, qint64 pid)
{
    Holder named;
    return QLockFile(path).getLockInfo(&named.pid, &named.host, &named.program) && named.pid == pid;
}

// A live holder of the folder's lock. Its hold on this very file shows that
// it has the folder open, whoever's program it is; without that hold, it is
// told only of this user's programs that share this one's runtime folder.
FolderLock::Claim judge(const QString& folder, const Named& named)
{
    const Holder& holder = named.holder;
    if (!holder.onThisComputer())
        return {FolderLock::Claim::Unsure, LockTexts::onAnotherComputer(folder, holder)};
    if (named.hold == Hold::Held)
        return {FolderLock::Claim::InUse, LockTexts::inUse(folder, holder)};
    if (named.othersProgram)
        return {FolderLock::Claim::Unsure, LockTexts::anotherUsers(folder, holder)};
    if (namesProcess(FolderLock::computerLockPath(folder), holder.pid))
        return {FolderLock::Claim::InUse, LockTexts::inUse(folder, holder)};
    return {FolderLock::Claim::Unsure, LockTexts::notOpenedHere(folder, holder)};
}

FolderLock::Claim claimInFolder(QLockFile& lock, const QString& folder, bool overrule, QString& unmade)
{
    Named named;
    QString cause;
    // A copy of a folder this program holds, or a holder the user chose to disregard.
    const auto clearable = [&](const Named* found) {
        if (!found)
            return overrule;
        return (found->holder.onThisComputer() && found->holder.pid == QCoreApplication::applicationPid())
            || (overrule && judge(folder, *found).outcome == FolderLock::Claim::Unsure);
    };
    switch (acquire(lock, clearable, named, cause)) {
    case Attempt::Taken:
        return {};
    case Attempt::Unmade:
        unmade = whyUnmade(lock.fileName());
        return {};
    case Attempt::Held:
        return judge(folder, named);
    case Attempt::Unreadable:
        return {FolderLock::Claim::Unsure, LockTexts::unidentified(folder, lock.fileName(), cause)};
    case Attempt::Stuck:
        break;
    }
    return {FolderLock::Claim::Stuck, LockTexts::stuck(folder, lock.fileName(), cause)};
}

// Null when the runtime folder takes no lock.
FolderLock::Claim claimOnComputer(std::unique_ptr<QLockFile>& lock, const QString& folder)
{
    const QString path = FolderLock::computerLockPath(folder);
    if (path.isEmpty())
        return {};
    lock = newLock(path);
    Named named;
    QString cause;
    // Only this user's programs lock in its runtime folder: one it cannot read is a leftover.
    switch (acquire(*lock, [](const Named* found) { return !found; }, named, cause)) {
    case Attempt::Taken:
        return {};
    case Attempt::Unmade:
        lock.reset();
        return {};
    case Attempt::Held:
        return {FolderLock::Claim::InUse, LockTexts::inUse(folder, named.holder)};
    case Attempt::Unreadable:
    case Attempt::Stuck:
        break;
    }
    return {FolderLock::Claim::Stuck, LockTexts::stuck(folder, path, cause)};
}

}

namespace FolderLock {

Claim take(const QString& folder, bool overrule)
{
    const QString name = key(folder);
    if (held().count(name))
        return {};
    // This computer's lock first: a second program here is refused by it
    // before it could find the folder's lock held by a program that has not
    // taken this one yet.
    HeldFolder entry;
    const Claim first = claimOnComputer(entry.onComputer, folder);
    if (first.outcome != Claim::Held)
        return first;
    const QString path = QDir(name).filePath(lockName);
    QString unmade;
    entry.inFolder = heldAs(path);
    if (!entry.inFolder) {
        std::shared_ptr<QLockFile> lock = newLock(path);
        const Claim claim = claimInFolder(*lock, folder, overrule, unmade);
        if (claim.outcome != Claim::Held) {
            letGo(entry.onComputer);
            return claim;
        }
        if (lock->isLocked())
            entry.inFolder = lock;
    }
    const QString runtime = entry.onComputer ? QFileInfo(entry.onComputer->fileName()).absolutePath() : QString();
    held()[name] = std::move(entry);
    if (unmade.isEmpty())
        return {};
    return {Claim::Held, LockTexts::unlocked(folder, path, unmade, runtime)};
}

void keepOnly(const QString& folder)
{
    const QString kept = folder.isEmpty() ? QString() : key(folder);
    for (auto it = held().begin(); it != held().end();) {
        if (it->first == kept) {
            ++it;
            continue;
        }
        letGo(it->second);
        it = held().erase(it);
    }
}

int waitCount()
{
    return waits;
}

QString computerLockPath(const QString& folder)
{
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (runtime.isEmpty())
        return QString();
    const QByteArray digest = QCryptographicHash::hash(key(folder).toUtf8(), QCryptographicHash::Sha1).toHex();
    return QDir(runtime).filePath("ravelhorn-" + QString::fromLatin1(digest.left(24)) + ".lock");
}

bool confirmHeld(const QString& folder, QString& why)
{
    // Most often the path as held already, or none held: not resolved again at every command.
    auto entry = held().find(folder);
    if (entry == held().end() && !held().empty())
        entry = held().find(key(folder));
    if (entry == held().end())
        return true;
    std::shared_ptr<QLockFile>& lock = entry->second.inFolder;
    // A folder that cannot hold the file is kept by the lock on this computer alone.
    if (!lock)
        return true;
    const QString path = lock->fileName();
    if (isOwnFile(path)) {
        if (lock->isLocked())
            return true;
        // Let go of while the folder was moved away, and back with it.
        QFile::remove(path);
    } else {
        letGo(lock);
    }
    lock = newLock(path);
    if (tryTake(*lock) || lock->error() != QLockFile::LockFailedError)
        return true;
    Holder holder;
    const bool named = lock->getLockInfo(&holder.pid, &holder.host, &holder.program);
    why = LockTexts::takenSince(folder, named ? &holder : nullptr);
    return false;
}

}
