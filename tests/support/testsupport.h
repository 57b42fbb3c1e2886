#ifndef TESTSUPPORT_H
#define TESTSUPPORT_H

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <sys/resource.h>

#include "foundation/global.h"
#include "foundation/uihooks.h"

// Points HOME at a fresh temporary folder for as long as it lives, so the
// documents, data and home folders the program searches are the test's own.
class TemporaryHome
{
public:
    TemporaryHome() : oldHome(qgetenv("HOME")) { qputenv("HOME", dir.path().toLocal8Bit()); }
    ~TemporaryHome() { qputenv("HOME", oldHome); }
    QString path() const { return dir.path(); }
    QString documents() const { return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation); }

private:
    QTemporaryDir dir;
    QByteArray oldHome;
};

// Installs itself as the ui hooks; records what would have been shown and
// answers questions as the test says.
class RecordingUiHooks : public UiHooks
{
public:
    struct Message
    {
        QString title, text;
    };

    RecordingUiHooks() { Global::setUiHooks(this); }
    ~RecordingUiHooks() override { Global::setUiHooks(nullptr); }

    void alert(const QString& title, const QString& text) override { alerts.append({title, text}); }
    int badRootAlert(const QString& title, const QString& text, const QString&) override
    {
        alert(title, text);
        return badRootAnswer;
    }
    LockedFolderAnswer lockedFolderAlert(const QString& title, const QString& text, bool openable,
                                         const QString& leaveText) override
    {
        alert(title, text);
        lockedFolderButtons.append(QString(openable ? "Open Anyway, " : "") + leaveText);
        return lockedFolderAnswers.isEmpty() ? LockedFolderAnswer::Leave : lockedFolderAnswers.takeFirst();
    }
    QString getExistingDirectory(const QString&, const QString& near) override
    {
        foldersNear.append(near);
        return folders.isEmpty() ? QString() : folders.takeFirst();
    }
    QString getOpenFileName(const QString&, const QString& folder, const QString&) override
    {
        openFileFolders.append(folder);
        return openFileAnswer;
    }
    bool rejectableAlert(const QString& title, const QString& text, const QString&) override
    {
        questions.append({title, text});
        return questionAnswer;
    }
    int promptForOngoingEffect(Creature* creature, Effect* effect, int) override
    {
        ongoingPrompts.append({creature, effect});
        return ongoingAnswer;
    }

    QList<Message> alerts;
    int badRootAnswer = 0;
    // The answers to the next locked-folder alerts, and the buttons they offered beside "Select Folder...".
    QList<LockedFolderAnswer> lockedFolderAnswers;
    QStringList lockedFolderButtons;
    // The answers to the next folder dialogs, and the folders they opened beside.
    QStringList folders;
    QStringList foldersNear;
    // The answer to the next open-file dialog, and the folders they opened in.
    QString openFileAnswer;
    QStringList openFileFolders;
    // The questions asked, and the answer to each.
    QList<Message> questions;
    bool questionAnswer = false;
    // The answer to the ongoing-damage and regeneration prompts, and what they asked about.
    int ongoingAnswer = 0;
    QList<QPair<Creature*, Effect*>> ongoingPrompts;
};

// The real program, started on a home of its own that remembers the data
// folder, and left running: it holds that folder from its start to its end.
class OtherProgram
{
public:
    // As this test runs; without root's override of file permissions, so that
    // a read-only folder is as read-only to it as to a user; as another
    // user's program (see canRunAsAnotherUser), with a runtime folder of its
    // own and a umask that keeps its files to itself; as this user's with a
    // runtime folder of its own, as started apart, without the override too;
    // as a program whose executable an upgrade replaced while it runs, or run
    // from a copy (see renameProgram); or started by a launcher that never
    // collects it once it ends.
    enum class As { ThisUser, WithoutOverride, AnotherUser, OtherRuntime, Replaced, Renamed, Uncollected };
    explicit OtherProgram(const QString& folder, As as = As::ThisUser);
    ~OtherProgram();
    qint64 pid() const { return uncollected ? uncollected : process.processId(); }
    // Another user's program is run as nobody, which takes root; the folder
    // and its home become nobody's.
    static bool canRunAsAnotherUser();
    // True once this computer's second lock on the folder names it, and the
    // folder's own lock too unless the folder takes none, within a generous
    // time; and once their guards, held while a lock is taken, are gone.
    bool holdsFolder(bool lockable = true);
    // As an upgrade that keeps the old program file aside does, to the one
    // started Renamed.
    bool renameProgram();
    // As a crash does: the lock stays behind. One not collected is left a zombie.
    void kill();

    // The process that the folder's lock names; 0 when it has none.
    static qint64 lockHolder(const QString& folder);
    // The same of this computer's second lock on the folder.
    static qint64 computerLockHolder(const QString& folder);

private:
    QTemporaryDir home;
    QString folder;
    // Empty when it shares this test's.
    QString runtime;
    QProcess process;
    // Started without the process, which would collect it.
    pid_t uncollected = 0;
};

// Writes beyond the log's present size, or beyond the size given, fail while it lives.
class FullDisk
{
public:
    // Room for that many more bytes first; less than none fails writes within the log.
    explicit FullDisk(qint64 room = 0);
    ~FullDisk();

private:
    rlimit saved;
};

// A user's rights to files for as long as it lives, for root too: root's
// override of file permissions is dropped meanwhile, on this thread only.
class UserRights
{
public:
    UserRights();
    ~UserRights();
};

// The file, or folder, takes no writes while it lives, for root too.
class ReadOnlyFile
{
public:
    explicit ReadOnlyFile(const QString& path);
    ~ReadOnlyFile();

private:
    QString path;
    QFile::Permissions saved;
    UserRights user;
};

// Records the window chores the model announces on the switchboard, for as
// long as it lives.
class RecordedChores : public QObject
{
public:
    RecordedChores();

    QStringList windowTitles;
    // Every status-bar text set, the latest last.
    QStringList leftStatus;
    QStringList rightStatus;
    int startStopToggles = 0;
    int turnStarts = 0;
    int statsUpdates = 0;
};

// Captures the debug output for as long as it lives.
class CapturedMessages
{
public:
    CapturedMessages();
    ~CapturedMessages() { qInstallMessageHandler(previous); }
    QStringList linesStartingWith(const QString& prefix) const;

private:
    QtMessageHandler previous;
};

namespace TestSupport {
// Where the program's message filter goes in: at once, or in runTests in
// front of the test framework's handler, where it drops messages before the
// framework counts them.
enum class MessageFilterAt { Start, TestRun };
// Settings, home and standard folders of the whole test program go to a
// temporary place before the application object exists; so do all its
// temporary folders, removed by the next test program if this one aborts.
void isolateEnvironment(MessageFilterAt filterAt = MessageFilterAt::Start);
// QTest::qExec, with the offscreen platform quiet.
int runTests(QObject* test, int argc, char** argv);
QByteArray readFile(const QString& path);
// A lock file in the data folder that names no program, made by hand: "empty",
// "nul" (what a power cut during its write leaves), "unreadable", "directory"
// and "full directory" (one holding a file); "young" is empty and just made,
// the others are an hour old. "other computer" names a program on another one.
bool makeLock(const QString& folder, const QString& kind);
// The same at any path, as this computer's second lock.
bool makeLockFile(const QString& path, const QString& kind);
bool writeFile(const QString& path, const QByteArray& bytes);
}

#define RAVELHORN_TEST_MAIN(AppClass, TestObject)                                                  \
    int main(int argc, char** argv)                                                                \
    {                                                                                              \
        TestSupport::isolateEnvironment(TestSupport::MessageFilterAt::TestRun);                    \
        AppClass app(argc, argv);                                                                  \
        TestObject test;                                                                           \
        return TestSupport::runTests(&test, argc, argv);                                           \
    }

#endif
