#include "foundation/folderlock.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QSysInfo>

#include <sys/stat.h>

#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "foundation/global.h"

namespace {

const char* const lockName = ".ravelhorn.lock";

QString key(const QString& folder)
{
    const QFileInfo info(folder);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? info.absoluteFilePath() : canonical;
}

// The toolkit warns when it cannot remove a lock file, as when its folder was
// removed or unmounted; then nothing is left to remove.
void letGo(std::unique_ptr<QLockFile> lock)
{
    if (QFileInfo::exists(lock->fileName())) {
        lock->unlock();
        return;
    }
    const QtMessageHandler previous = qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    lock.reset();
    qInstallMessageHandler(previous);
}

// The folders held, by the path the links resolve to.
struct HeldLocks
{
    std::map<QString, std::unique_ptr<QLockFile>> byFolder;
    // At exit, as the end of a test, a folder may be gone before its lock.
    ~HeldLocks()
    {
        for (auto& entry : byFolder)
            letGo(std::move(entry.second));
    }
};

std::map<QString, std::unique_ptr<QLockFile>>& held()
{
    static HeldLocks locks;
    return locks.byFolder;
}

}

namespace FolderLock {

bool take(const QString& folder, QString& inUse)
{
    const QString name = key(folder);
    if (held().count(name))
        return true;
    auto lock = std::make_unique<QLockFile>(QDir(name).filePath(lockName));
    // Held for the whole session: a lock is stale only when its program is gone, never by its age.
    lock->setStaleLockTime(0);
    if (lock->tryLock(0)) {
        held()[name] = std::move(lock);
        return true;
    }
    if (lock->error() != QLockFile::LockFailedError)
        return true;
    const QString shown = QDir::toNativeSeparators(folder);
    qint64 pid = 0;
    QString host;
    QString program;
    if (!lock->getLockInfo(&pid, &host, &program)) {
        inUse = Global::tr("The data folder <b>%1</b> is in use by another program.").arg(shown.toHtmlEscaped());
        return false;
    }
    // This program under another path to the folder, or a copy of the folder made while it held it.
    if (pid == QCoreApplication::applicationPid())
        return true;
    inUse = Global::tr("The data folder <b>%1</b> is in use by %2 (process %3 on %4).")
                .arg(shown.toHtmlEscaped(), program.toHtmlEscaped())
                .arg(pid)
                .arg(host.toHtmlEscaped());
    return false;
}

void keepOnly(const QString& folder)
{
    const QString kept = folder.isEmpty() ? QString() : key(folder);
    for (auto it = held().begin(); it != held().end();) {
        if (it->first == kept) {
            ++it;
            continue;
        }
        letGo(std::move(it->second));
        it = held().erase(it);
    }
}

}

namespace {

using FileIdentity = std::pair<quint64, quint64>;

// The device and inode of each lock file when last found to be this program's.
std::map<QString, FileIdentity>& ownLockFiles()
{
    static std::map<QString, FileIdentity> files;
    return files;
}

bool namesThisProgram(const QString& path)
{
    qint64 pid = 0;
    QString host;
    QString program;
    return QLockFile(path).getLockInfo(&pid, &host, &program) && pid == QCoreApplication::applicationPid()
        && host == QSysInfo::machineHostName();
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
void forsake(std::unique_ptr<QLockFile> lock)
{
    static auto* forsaken = new std::vector<std::unique_ptr<QLockFile>>;
    forsaken->push_back(std::move(lock));
}

}

namespace FolderLock {

bool confirmHeld(const QString& folder, QString& why)
{
    // Most often the path as held already, or none held: not resolved again at every command.
    auto entry = held().find(folder);
    if (entry == held().end() && !held().empty())
        entry = held().find(key(folder));
    if (entry == held().end())
        return true;
    std::unique_ptr<QLockFile>& lock = entry->second;
    const QString path = lock->fileName();
    if (isOwnFile(path)) {
        if (lock->isLocked())
            return true;
        // Let go of while the folder was moved away, and back with it.
        QFile::remove(path);
    } else if (lock->isLocked()) {
        if (QFileInfo::exists(path))
            forsake(std::move(lock));
        else
            letGo(std::move(lock));
    }
    lock = std::make_unique<QLockFile>(path);
    lock->setStaleLockTime(0);
    if (lock->tryLock(0) || lock->error() != QLockFile::LockFailedError)
        return true;
    const QString shown = QDir::toNativeSeparators(folder).toHtmlEscaped();
    qint64 pid = 0;
    QString host;
    QString program;
    if (!lock->getLockInfo(&pid, &host, &program)) {
        why = Global::tr("The data folder <b>%1</b> has been taken by another program since its lock file was removed.")
                  .arg(shown);
        return false;
    }
    why = Global::tr("The data folder <b>%1</b> has been taken by %2 (process %3 on %4) since its lock file was removed.")
              .arg(shown, program.toHtmlEscaped())
              .arg(pid)
              .arg(host.toHtmlEscaped());
    return false;
}

}
