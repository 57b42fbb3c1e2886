#include "support/testsupport.h"

#include "encounter/history.h"
#include "foundation/folderlock.h"
#include "foundation/global.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLockFile>
#include <QSettings>

#include <cerrno>
#include <csignal>
#include <vector>

#include <fcntl.h>
#include <pwd.h>
#include <signal.h>
#include <spawn.h>
#include <unistd.h>

#include <sys/wait.h>

#include <sys/stat.h>
#include <sys/time.h>

#ifdef Q_OS_LINUX
#include <linux/capability.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#endif

namespace {
QStringList captured;

void overridePermissions(bool override)
{
#ifdef Q_OS_LINUX
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3] = {};
    if (syscall(SYS_capget, &header, data) != 0)
        return;
    const quint32 rootOverrides = (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH);
    data[0].effective = override ? data[0].effective | (data[0].permitted & rootOverrides) : data[0].effective & ~rootOverrides;
    syscall(SYS_capset, &header, data);
#else
    Q_UNUSED(override);
#endif
}

const QString processFolderPrefix = "ravelhorn-test-";

// A program that aborts or crashes leaves its temporary folders behind: the
// next one removes those of every process that has ended.
void removeAbandonedFolders()
{
    QDir temp(QDir::tempPath());
    for (const QString& name : temp.entryList({processFolderPrefix + "*"}, QDir::Dirs)) {
        const qint64 pid = name.mid(processFolderPrefix.size()).section('-', 0, 0).toLongLong();
        if (pid > 0 && kill(pid_t(pid), 0) != 0 && errno == ESRCH)
            QDir(temp.filePath(name)).removeRecursively();
    }
}

}

RecordedChores::RecordedChores()
{
    SwitchBoard* board = &Global::switchBoard;
    connect(board, &SwitchBoard::doSetMainWindowTitle, this, [this](const QString& text) { windowTitles.append(text); });
    connect(board, &SwitchBoard::doSetLeftStatus, this, [this](const QString& text) { leftStatus.append(text); });
    connect(board, &SwitchBoard::doSetRightStatus, this, [this](const QString& text) { rightStatus.append(text); });
    connect(board, &SwitchBoard::doToggleStartStopNextButtons, this, [this] { startStopToggles++; });
    connect(board, &SwitchBoard::doPerformTurnStart, this, [this] { turnStarts++; });
    connect(board, &SwitchBoard::doCharacterStatsUpdated, this, [this] { statsUpdates++; });
}

namespace {

qint64 holder(const QString& lockFile)
{
    qint64 pid = 0;
    QString host;
    QString program;
    return QLockFile(lockFile).getLockInfo(&pid, &host, &program) ? pid : 0;
}

// Makes the folders the user's, and lets it through this test's temporary
// folders that lead to them.
bool handOver(const QStringList& folders, const passwd& user)
{
    for (const QString& folder : folders)
        for (QString up = QFileInfo(folder).absolutePath(); up.startsWith(QDir::tempPath());
             up = QFileInfo(up).absolutePath())
            QFile::setPermissions(up, QFile::permissions(up) | QFile::ExeOther);
    const QString owner = QString("%1:%2").arg(user.pw_uid).arg(user.pw_gid);
    return QProcess::execute("chown", QStringList{"-R", owner} + folders) == 0;
}

}

namespace {

// Whether another user may pass through every folder that leads to the path.
bool openToOthers(const QString& path)
{
    for (QString up = QFileInfo(path).absoluteFilePath(); !QFileInfo(up).isRoot(); up = QFileInfo(up).absolutePath())
        if (!(QFile::permissions(up) & QFile::ExeOther))
            return false;
    return true;
}

}

bool OtherProgram::canRunAsAnotherUser()
{
    // The folders of this test's own temporary folder are opened as they are handed over.
    return geteuid() == 0 && getpwnam("nobody") && !QStandardPaths::findExecutable("setpriv").isEmpty()
        && openToOthers(QCoreApplication::applicationDirPath()) && openToOthers(QFileInfo(QDir::tempPath()).absolutePath());
}

OtherProgram::OtherProgram(const QString& folder, As as) : folder(folder)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("HOME", home.path());
    const passwd* nobody = as == As::AnotherUser ? getpwnam("nobody") : nullptr;
    if (as == As::AnotherUser || as == As::OtherRuntime) {
        runtime = home.filePath("runtime");
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        environment.insert("XDG_RUNTIME_DIR", runtime);
    }
    QSettings settings(home.filePath(".config/Corvelle/Ravelhorn.conf"), QSettings::IniFormat);
    settings.setValue("dataDir/path", QDir::toNativeSeparators(folder));
    settings.sync();
    if (nobody && !handOver({home.path(), folder}, *nobody))
        return;
    process.setProcessEnvironment(environment);
    process.setChildProcessModifier([as] {
#ifdef Q_OS_LINUX
        // Root gets the override back at its start unless it is gone from the bounding set.
        if (as == As::WithoutOverride || as == As::OtherRuntime)
            prctl(PR_CAPBSET_DROP, CAP_DAC_OVERRIDE, 0, 0, 0);
#endif
        if (as == As::AnotherUser)
            umask(077);
    });
    const QString installed = QCoreApplication::applicationDirPath();
    QString program = installed + "/ravelhorn";
    // A copy beside the resources, removed once it runs.
    const QString copy = home.filePath("bin/ravelhorn");
    if (as == As::Replaced || as == As::Renamed) {
        QDir().mkpath(home.filePath("bin"));
        if (QFile::copy(program, copy) && QFile::link(installed + "/Resources", home.filePath("bin/Resources")))
            program = copy;
    }
    if (as == As::Uncollected) {
        const QByteArray path = QFile::encodeName(program);
        std::vector<QByteArray> variables;
        for (const QString& variable : environment.toStringList())
            variables.push_back(variable.toLocal8Bit());
        std::vector<char*> envp;
        for (QByteArray& variable : variables)
            envp.push_back(variable.data());
        envp.push_back(nullptr);
        char* argv[] = {const_cast<char*>(path.constData()), nullptr};
        posix_spawn_file_actions_t quiet;
        posix_spawn_file_actions_init(&quiet);
        posix_spawn_file_actions_addopen(&quiet, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&quiet, 2, "/dev/null", O_WRONLY, 0);
        if (posix_spawn(&uncollected, argv[0], &quiet, nullptr, argv, envp.data()) != 0)
            uncollected = 0;
        posix_spawn_file_actions_destroy(&quiet);
        return;
    }
    QStringList arguments;
    if (nobody) {
        arguments = QStringList{QString("--reuid=%1").arg(nobody->pw_uid), QString("--regid=%1").arg(nobody->pw_gid),
                                "--clear-groups", "--", program};
        program = QStandardPaths::findExecutable("setpriv");
    }
    process.start(program, arguments);
    if (as == As::Replaced && program == copy && process.waitForStarted())
        QFile::remove(copy);
}

OtherProgram::~OtherProgram()
{
    kill();
    if (uncollected)
        waitpid(uncollected, nullptr, 0);
}

bool OtherProgram::holdsFolder(bool lockable)
{
    const QString computerLock = FolderLock::computerLockPath(folder);
    const QString itsComputerLock =
        runtime.isEmpty() ? computerLock : QDir(runtime).filePath(QFileInfo(computerLock).fileName());
    return (uncollected || process.waitForStarted()) && QTest::qWaitFor([this, lockable, itsComputerLock] {
        const QString lock = folder + "/.ravelhorn.lock";
        // A program that ended at its start holds nothing, and names no process.
        return pid() != 0 && holder(itsComputerLock) == pid() && (!lockable || lockHolder(folder) == pid())
            && !QFileInfo::exists(itsComputerLock + ".rmlock") && !QFileInfo::exists(lock + ".rmlock");
    }, 60000);
}

bool OtherProgram::renameProgram()
{
    const QString copy = home.filePath("bin/ravelhorn");
    return QFile::rename(copy, copy + ".old");
}

void OtherProgram::kill()
{
    if (uncollected) {
        ::kill(uncollected, SIGKILL);
        // Ended, and left there.
        siginfo_t ended;
        waitid(P_PID, id_t(uncollected), &ended, WEXITED | WNOWAIT);
        return;
    }
    process.kill();
    process.waitForFinished();
}

qint64 OtherProgram::lockHolder(const QString& folder)
{
    return holder(folder + "/.ravelhorn.lock");
}

qint64 OtherProgram::computerLockHolder(const QString& folder)
{
    return holder(FolderLock::computerLockPath(folder));
}

CapturedMessages::CapturedMessages()
{
    captured.clear();
    previous = qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& text) {
        captured.append(text);
    });
}

FullDisk::FullDisk(qint64 room)
{
    std::signal(SIGXFSZ, SIG_IGN);
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit limit = saved;
    limit.rlim_cur = QFileInfo(History::getLogPath()).size() + room;
    setrlimit(RLIMIT_FSIZE, &limit);
}

FullDisk::~FullDisk()
{
    setrlimit(RLIMIT_FSIZE, &saved);
}

UserRights::UserRights()
{
    overridePermissions(false);
}

UserRights::~UserRights()
{
    overridePermissions(true);
}

ReadOnlyFile::ReadOnlyFile(const QString& path) : path(path), saved(QFile::permissions(path))
{
    // A folder stays one to enter.
    const QFile::Permissions enter = QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther;
    QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther | (saved & enter));
}

ReadOnlyFile::~ReadOnlyFile()
{
    QFile::setPermissions(path, saved);
}

QStringList CapturedMessages::linesStartingWith(const QString& prefix) const
{
    QStringList result;
    for (const QString& line : captured)
        if (line.startsWith(prefix))
            result.append(line);
    return result;
}

namespace TestSupport {

void isolateEnvironment(MessageFilterAt filterAt)
{
    removeAbandonedFolders();
    // Every temporary folder of the program goes into this one, named after the process.
    static QTemporaryDir process(QDir::tempPath() + "/" + processFolderPrefix
                                 + QString::number(QCoreApplication::applicationPid()) + "-XXXXXX");
    qputenv("TMPDIR", process.path().toLocal8Bit());
    // Private to the owner, as the toolkit wants it, so that it does not warn about its absence.
    const QString runtime = process.path() + "/runtime";
    if (QDir().mkpath(runtime))
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", runtime.toLocal8Bit());
    static QTemporaryDir root;
    qputenv("HOME", root.path().toLocal8Bit());
    for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_DOCUMENTS_DIR"})
        qunsetenv(name);
    if (qgetenv("QT_QPA_PLATFORM").isEmpty())
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setOrganizationName("Corvelle");
    QCoreApplication::setApplicationName("Ravelhorn");
    if (filterAt == MessageFilterAt::Start)
        Global::initLogging();
}

bool makeLock(const QString& folder, const QString& kind)
{
    return makeLockFile(folder + "/.ravelhorn.lock", kind);
}

bool makeLockFile(const QString& path, const QString& kind)
{
    const QByteArray elsewhere = "4242\nravelhorn\notherlaptop\n";
    const QHash<QString, QByteArray> contents{{"empty", ""}, {"young", ""}, {"nul", QByteArray(64, '\0')},
                                              {"unreadable", elsewhere}, {"other computer", elsewhere}};
    const bool made = kind.endsWith("directory")
        ? QDir().mkpath(path) && (kind == "directory" || writeFile(path + "/kept", "kept"))
        : contents.contains(kind) && writeFile(path, contents.value(kind));
    const time_t hourAgo = time(nullptr) - 3600;
    const timeval times[2] = {{hourAgo, 0}, {hourAgo, 0}};
    if (!made || (kind != "young" && utimes(QFile::encodeName(path).constData(), times) != 0))
        return false;
    return kind != "unreadable" || QFile::setPermissions(path, {});
}

int runTests(QObject* test, int argc, char** argv)
{
    QTest::qInit(test, argc, argv);
    Global::initLogging();
    const int failures = QTest::qRun();
    QTest::qCleanup();
    return failures;
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

}
