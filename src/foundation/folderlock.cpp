#include "foundation/folderlock.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>

#include <map>
#include <memory>

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
        inUse = Global::tr("The data folder <b>%1</b> is in use by another program.").arg(Global::htmlPath(shown));
        return false;
    }
    // This program under another path to the folder, or a copy of the folder made while it held it.
    if (pid == QCoreApplication::applicationPid())
        return true;
    inUse = Global::tr("The data folder <b>%1</b> is in use by %2 (process %3 on %4).")
                .arg(Global::htmlPath(shown), program.toHtmlEscaped())
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
