#include <QAbstractItemModelTester>
#include <QApplication>
#include <QLineEdit>
#include <QListView>
#include <QScopeGuard>
#include <QSettings>
#include <QSpinBox>
#include <QSysInfo>
#include <QTimer>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <qtestspontaneevent.h>

#include <algorithm>
#include <optional>

#include <pwd.h>
#include <unistd.h>

#include "app/program.h"
#include "editors/characterwindow.h"
#include "editors/managerwindow.h"
#include "encounter/encounter.h"
#include "encounter/history.h"
#include "encounter/vitalityevents.h"
#include "foundation/folderlock.h"
#include "foundation/global.h"
#include "foundation/objectstream.h"
#include "foundation/translation.h"
#include "library/characters.h"
#include "library/encounters.h"
#include "library/monsters.h"
#include "mainwindow/eventlistmodel.h"
#include "mainwindow/mainwindow.h"
#include "mainwindow/playerswindow.h"
#include "powers/actions.h"
#include "support/testsupport.h"
#include "support/testworld.h"
#include "toolkit/wheelneedsfocus.h"
#include "foundation/textcolours.h"

namespace {

using Answer = UiHooks::LockedFolderAnswer;

// Which rows show the arrow ("a") and which are grey ("g").
QString marks(const QAbstractItemModel& model)
{
    const QImage arrow = QIcon(":/images/arrow-right128.png").pixmap(16, 16).toImage();
    QStringList rows;
    for (int row = 0; row < model.rowCount(); row++) {
        QModelIndex index = model.index(row, 0);
        bool grey = index.data(Qt::ForegroundRole).value<QColor>() == TextColours::greyed();
        rows.append(QString(index.data(Qt::DecorationRole).value<QIcon>().pixmap(16, 16).toImage() == arrow ? "a" : "-")
                    + (grey ? "g" : ""));
    }
    return rows.join(' ');
}

// Gives the lock file to nobody, as a mount that gives every file one owner
// shows it. Takes root.
bool squash(const QString& lockFile)
{
    const passwd* nobody = getpwnam("nobody");
    return geteuid() == 0 && nobody
        && chown(QFile::encodeName(lockFile).constData(), nobody->pw_uid, nobody->pw_gid) == 0;
}

// A runtime folder so deep that no file name fits in it, as the toolkit wants it: private to its owner.
bool makeDeepRuntime()
{
    QString deep = QDir::tempPath() + "/runtime";
    while (deep.size() < 3950)
        deep += "/" + QString(100, 'r');
    deep += "/" + QString(4069 - deep.size(), 'r');
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(deep));
    return QDir().mkpath(deep) && QFile::setPermissions(deep, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

}

class TestProgram : public QObject
{
    Q_OBJECT

private slots:
    void runsAndShutsDownInOrder()
    {
        TemporaryHome home;
        RecordingUiHooks hooks;
        RecordedChores chores;
        QStringList deleted;
        bool allMade = false;
        QString shownTitle;
        QTimer::singleShot(0, [&] {
            allMade = Global::encounter && Global::history && Global::characters && Global::monsters && Global::encounters
                && Global::actions && Global::playersWindow && Global::managerWindow && Global::characterWindow
                && Global::translation && Global::blankPortrait && !Global::blankPortrait->isNull()
                && Global::currentWindow == (QWidget*)Global::mainWindow && Global::mainWindow->isVisible()
                && Global::mainWindow->refreshTimer()->isActive();
            shownTitle = Global::mainWindow->windowTitle();
            // Quitting with the monster manager open on a template.
            Global::managerWindow->show();
            auto* templates = Global::managerWindow->findChild<MonsterView*>();
            templates->setCurrentIndex(templates->model()->index(0, 0));
            emit Global::switchBoard.doRefreshTimer();
            for (QObject* object : QList<QObject*>{Global::history, Global::encounter, Global::characters, Global::monsters,
                                                   Global::playersWindow, Global::managerWindow, Global::characterWindow,
                                                   Global::encounters, Global::actions, Global::mainWindow}) {
                QString name = object->metaObject()->className();
                QObject::connect(object, &QObject::destroyed, [&deleted, name] { deleted.append(name); });
            }
            QCoreApplication::exit(7);
        });
        CapturedMessages messages;
        QCOMPARE(Program::run(&hooks), 7);
        QStringList leaks = messages.linesStartingWith("MM:");
        QVERIFY(allMade);
        QCOMPARE(deleted, (QStringList{"ManagerWindow", "CharacterWindow", "History", "Encounter", "Characters",
                                       "Monsters", "PlayersWindow", "Encounters", "Actions", "MainWindow"}));
        QVERIFY2(leaks.isEmpty(), qPrintable(leaks.join('\n')));
        QVERIFY(!Global::encounter && !Global::history && !Global::actions && !Global::translation);
        // The data folder's title reaches the main window through the switchboard.
        QCOMPARE(chores.windowTitles, QStringList{"Ravelhorn DM's Display"});
        QCOMPARE(shownTitle, QString("Ravelhorn DM's Display"));
        // The first start copied the demonstration data into the documents.
        QString made = home.documents() + "/Ravelhorn Data";
        QDir madeDir(made);
        QVERIFY(Global::isValidRootPath(madeDir) && !QFile::exists(made + "/Monsters/.gitkeep"));
        QCOMPARE(QDir::fromNativeSeparators(QSettings().value("dataDir/path").toString()), made);
    }

    // The message filter stands once among the handlers: installed again over
    // one that passes messages back to it, each message still goes on once.
    void messagesPassTheFilterOnce()
    {
        static QtMessageHandler beneath = nullptr;
        static int passed = 0;
        passed = 0;
        // A message back a second time came round a loop, which ends here.
        beneath = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext& context, const QString& text) {
            if (++passed == 1)
                beneath(type, context, text);
        });
        Global::initLogging();
        QTest::ignoreMessage(QtWarningMsg, "handed on once");
        qWarning("handed on once");
        qInstallMessageHandler(beneath);
        QCOMPARE(passed, 1);
    }

    // The program's start leaves the wheel to what holds a box without the
    // focus. The tests' own start does the same: that is undone first.
    void startLeavesTheWheelToUnfocusedBoxes()
    {
        delete qApp->findChild<WheelNeedsFocus*>(QString(), Qt::FindDirectChildrenOnly);
        Program::prepareApplication();
        QWidget form;
        auto* layout = new QVBoxLayout(&form);
        layout->addWidget(new QLineEdit);
        auto* box = new QSpinBox;
        layout->addWidget(box);
        box->setValue(5);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form) && !box->hasFocus());
        const QPoint centre = box->rect().center();
        QWheelEvent wheel(centre, box->mapToGlobal(centre), QPoint(), QPoint(0, -QWheelEvent::DefaultDeltasPerStep),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QSpontaneKeyEvent::setSpontaneous(&wheel);
        qApp->notify(box, &wheel);
        QCOMPARE(box->value(), 5);
    }

    // On a first start at 1,280 × 800 every window opens inside the screen's
    // available room with the title bar and borders a window manager adds.
    void windowsOpenInsideTheScreen()
    {
        TemporaryHome home;
        RecordingUiHooks hooks;
        QStringList outside;
        QTimer::singleShot(0, [&] {
            for (QWidget* window : QList<QWidget*>{Global::mainWindow, Global::managerWindow, Global::characterWindow,
                                                   Global::playersWindow}) {
                window->show();
                QApplication::processEvents();
                const QRect framed = window->geometry().adjusted(-4, -24, 4, 4);
                if (!window->screen()->availableGeometry().contains(framed))
                    outside << QString("%1 at %2,%3 %4x%5").arg(window->windowTitle()).arg(framed.x()).arg(framed.y())
                                   .arg(framed.width()).arg(framed.height());
            }
            QCoreApplication::exit(0);
        });
        QCOMPARE(Program::run(&hooks), 0);
        QVERIFY2(outside.isEmpty(), qPrintable(outside.join('\n')));
    }

    // A second program on the data folder another one holds asks before it
    // opens anything; one whose holder was killed takes the folder over, and
    // so does one that finds a lock naming no program. %1 is the folder, %2
    // the first program's process, %3 the lock file, %5 this computer's name,
    // %6 this program's runtime folder.
    void secondStartOnAHeldFolder_data()
    {
        QTest::addColumn<QString>("lock");
        QTest::addColumn<QList<Answer>>("answers");
        QTest::addColumn<QString>("opened");
        QTest::addColumn<QString>("told");
        // How each text told ends: only a program known to have the folder open is one to go on in.
        QTest::addColumn<QString>("ending");
        // The buttons beside "Select Folder...", a question after another.
        QTest::addColumn<QString>("offered");
        const QString inUse = "Data Folder in Use: The data folder <b>%1</b> is in use by ravelhorn (process %2 on ";
        const QString goOn = "<p>Choose another data folder, or quit and go on in the program that has it open.";
        const QString quit = "<p>Choose another data folder, or quit.";
        // Whether the holder has this folder open cannot be told, nor could it still write the log once it is taken.
        const QString lockedBy = "Data Folder Locked: The data folder <b>%1</b> is locked by ravelhorn (process ";
        const QString unsure = "Should that program still have it open, it is told so and records no more changes in "
                               "the folder's history log." + quit;
        QTest::newRow("quit") << "held" << QList<Answer>{Answer::Leave} << "" << inUse << goOn << "Quit";
        QTest::newRow("another folder chosen")
            << "held" << QList<Answer>{Answer::SelectFolder} << "Other" << inUse << goOn << "Quit";
        QTest::newRow("the folder dialog cancelled, asked again")
            << "held" << QList<Answer>{Answer::SelectFolder, Answer::Leave} << "" << inUse << goOn << "Quit; Quit";
        // The folder the demonstration data would be copied into, emptied while the first program held it.
        QTest::newRow("held folder without libraries")
            << "emptied, held" << QList<Answer>{Answer::Leave} << "" << inUse << goOn << "Quit";
        QTest::newRow("held folder without libraries, another folder chosen")
            << "emptied, held" << QList<Answer>{Answer::SelectFolder} << "Other" << inUse << goOn << "Quit";
        QTest::newRow("holder killed") << "killed" << QList<Answer>() << "Campaign" << "" << "" << "";
        // A zombie: its process number stays until its launcher, that never waits, collects it.
        QTest::newRow("holder killed, left uncollected")
            << "killed, uncollected" << QList<Answer>() << "Campaign" << "" << "" << "";
        QTest::newRow("empty lock") << "empty" << QList<Answer>() << "Campaign" << "" << "" << "";
        QTest::newRow("lock cut short by a power cut") << "nul" << QList<Answer>() << "Campaign" << "" << "" << "";
        QTest::newRow("lock being written") << "young" << QList<Answer>() << "Campaign" << "" << "" << "";
        QTest::newRow("folder as lock") << "directory" << QList<Answer>() << "Campaign" << "" << "" << "";
        // A number in use by another program, as after a restart.
        QTest::newRow("holder's number taken by another program")
            << "another program's" << QList<Answer>() << "Campaign" << "" << "" << "";
        const QString stuck = "Lock File Cannot Be Removed: The lock file <b>%3</b> of the data folder <b>%1</b> cannot "
                              "be removed: %4.<p>Once it is removed by hand, the folder opens." + quit;
        QTest::newRow("folder with files as lock") << "full directory" << QList<Answer>{Answer::Leave} << ""
                                                   << QString(stuck).replace("%4", "Directory not empty") << quit
                                                   << "Quit";
        QTest::newRow("lock in a read-only folder") << "read-only, empty" << QList<Answer>{Answer::Leave} << ""
                                                    << QString(stuck).replace("%4", "Permission denied") << quit
                                                    << "Quit";
        // Its program is gone: the folder is in no one's use.
        QTest::newRow("holder killed, its lock in a folder the user cannot write")
            << "killed, read-only" << QList<Answer>{Answer::Leave} << ""
            << QString(stuck).replace("%4", "Permission denied") << quit << "Quit";
        QTest::newRow("this computer's lock cannot be removed")
            << "computer's, full directory" << QList<Answer>{Answer::Leave} << ""
            << QString(stuck).replace("%4", "Directory not empty") << quit << "Quit";
        // This computer's lock is asked first: the lock in the folder is not looked at.
        QTest::newRow("held here, with a lock that cannot be removed")
            << "held here, full directory" << QList<Answer>{Answer::Leave} << "" << inUse << goOn << "Quit";
        const QString elsewhere = lockedBy + "4242 on otherlaptop). That is another computer";
        QTest::newRow("another computer's, quit")
            << "other computer" << QList<Answer>{Answer::Leave} << "" << elsewhere << unsure << "Open Anyway, Quit";
        QTest::newRow("another computer's, opened") << "other computer" << QList<Answer>{Answer::OpenAnyway}
                                                    << "Campaign" << elsewhere << unsure << "Open Anyway, Quit";
        QTest::newRow("copied with the folder")
            << "copied" << QList<Answer>{Answer::OpenAnyway} << "Campaign"
            << lockedBy + "%2 on %5). That program runs on this computer but has not opened this folder: most likely "
                          "the folder was copied" << unsure << "Open Anyway, Quit";
        // Its hold on the lock shows it live, whoever's it is.
        QTest::newRow("another user's program")
            << "another user's" << QList<Answer>{Answer::Leave} << "" << inUse << goOn << "Quit";
        QTest::newRow("another user's program, its folder copied with the lock")
            << "another user's, copied" << QList<Answer>{Answer::OpenAnyway} << "Campaign"
            << lockedBy + "%2 on %5). That is another user's program on this computer" << unsure << "Open Anyway, Quit";
        // On a mount that gives every file one owner, as an NFS export that squashes users.
        QTest::newRow("this user's program with another runtime folder, its lock file another user's")
            << "another runtime, squashed" << QList<Answer>{Answer::Leave} << "" << inUse << goOn << "Quit";
        QTest::newRow("copied with the folder, its lock file another user's")
            << "copied, squashed" << QList<Answer>{Answer::Leave} << ""
            << lockedBy + "%2 on %5). That program runs on this computer but has not opened this folder"
            << unsure << "Open Anyway, Quit";
        QTest::newRow("this user's program with another runtime folder")
            << "another runtime, held" << QList<Answer>{Answer::Leave} << "" << inUse << goOn << "Quit";
        // Most likely another user's, which keeps its files to itself.
        const QString unidentified = "Data Folder Locked: The data folder <b>%1</b> is locked by a program that this "
                                     "one cannot identify: its lock file <b>%3</b> cannot be read (Permission denied).";
        QTest::newRow("unreadable lock")
            << "unreadable" << QList<Answer>{Answer::Leave} << "" << unidentified << unsure << "Open Anyway, Quit";
        QTest::newRow("unreadable lock, opened anyway")
            << "unreadable" << QList<Answer>{Answer::OpenAnyway} << "Campaign" << unidentified << unsure
            << "Open Anyway, Quit";
        // As in a shared folder with the sticky bit, where it cannot be removed either.
        QTest::newRow("unreadable lock in a read-only folder")
            << "read-only, unreadable" << QList<Answer>{Answer::Leave} << "" << unidentified << unsure
            << "Open Anyway, Quit";
        // An upgrade replaced its executable while it runs.
        QTest::newRow("holder's program replaced")
            << "replaced, held" << QList<Answer>{Answer::Leave} << "" << inUse << goOn << "Quit";
        // Run from a copy, which an upgrade keeps aside under another name.
        QTest::newRow("holder's program renamed while it runs")
            << "renamed, held" << QList<Answer>{Answer::Leave} << "" << inUse << goOn << "Quit";
        // Only this user's programs that share this runtime folder keep their second locks in it.
        const QString keptOut = "<p>A second Ravelhorn of this user on this computer that shares this one's runtime "
                                "folder <b>%6</b> is still kept out of it, but not one with another runtime folder, nor "
                                "another user's, nor one on another computer that shares the folder.";
        QTest::newRow("read-only folder")
            << "read-only" << QList<Answer>() << "Campaign"
            << "Data Folder Not Locked: The data folder <b>%1</b> could not be locked: its lock file <b>%3</b> "
               "cannot be made (Permission denied)."
            << keptOut << "";
        QTest::newRow("read-only folder, this user's program with another runtime folder")
            << "read-only, another runtime" << QList<Answer>() << "Campaign"
            << "Data Folder Not Locked: The data folder <b>%1</b> could not be locked: its lock file <b>%3</b> "
               "cannot be made (Permission denied)." << keptOut << "";
        // Nor one of this user's: the log changed by the other is refused, not written by both.
        QTest::newRow("read-only folder, runtime folder that takes no lock")
            << "read-only, deep runtime" << QList<Answer>() << "Campaign"
            << "Data Folder Not Locked: The data folder <b>%1</b> could not be locked: its lock file <b>%3</b> "
               "cannot be made (Permission denied)."
            << "<p>Nothing keeps a second program out of it: while two have it open, the one that finds its history "
               "log changed by the other records no more changes in it." << "";
        QTest::newRow("read-only folder held")
            << "read-only, held" << QList<Answer>{Answer::Leave} << "" << inUse << goOn << "Quit";
        // Its path leaves no room for the lock's name: the folder's own lock keeps it.
        QTest::newRow("runtime folder that takes no lock")
            << "deep runtime" << QList<Answer>() << "Campaign" << "" << "" << "";
    }

    void secondStartOnAHeldFolder()
    {
        QFETCH(QString, lock);
        QFETCH(QList<Answer>, answers);
        QFETCH(QString, opened);
        QFETCH(QString, told);
        QFETCH(QString, ending);
        QFETCH(QString, offered);
        TemporaryHome home;
        for (const char* name : {"Campaign", "Other"})
            QVERIFY(Global::copyDir(Global::getResourcePath() + "/demo-data", home.path(), name));
        const bool emptied = lock.startsWith("emptied");
        const QString held = emptied ? home.documents() + "/Ravelhorn Data" : home.path() + "/Campaign";
        QVERIFY(!emptied
                || (QDir().mkpath(home.documents())
                    && Global::copyDir(Global::getResourcePath() + "/demo-data", home.documents(), "Ravelhorn Data")));
        const QString other = home.path() + "/Other";
        const bool onComputer = lock.startsWith("computer's");
        const QString lockFile = onComputer ? FolderLock::computerLockPath(held) : held + "/.ravelhorn.lock";
        QSettings().setValue("dataDir/path", held);
        const bool elsewhere = lock.contains("copied") || lock.startsWith("held here");
        const bool byProgram = lock.endsWith("held") || lock.startsWith("killed") || lock.startsWith("another user's")
            || lock.contains("another runtime") || elsewhere;
        if (lock.startsWith("held here") || (!byProgram && !QStringList{"read-only", "deep runtime", "read-only, deep runtime", "another program's"}.contains(lock)))
            QVERIFY(TestSupport::makeLockFile(lockFile, lock.section(", ", -1)));
        const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
        const auto restoreRuntime = qScopeGuard([runtime] { qputenv("XDG_RUNTIME_DIR", runtime); });
        if (lock.endsWith("deep runtime"))
            QVERIFY(makeDeepRuntime());
        std::optional<ReadOnlyFile> readOnly;
        std::optional<UserRights> user;
        // A folder that takes no new file, with a log that takes records.
        if (lock.startsWith("read-only") && TestSupport::writeFile(held + "/history.log", ""))
            readOnly.emplace(held);
        else if (lock == "unreadable")
            user.emplace();
        std::optional<OtherProgram> first;
        if (lock.startsWith("another user's") && !OtherProgram::canRunAsAnotherUser())
            QSKIP("Another user's program is run only where the tests run as root, with setpriv, from folders that "
                  "other users may pass through.");
        if (byProgram) {
            using As = OtherProgram::As;
            const As as = lock.contains("another runtime") ? As::OtherRuntime
                : lock.startsWith("read-only")           ? As::WithoutOverride
                : lock.startsWith("another user's")      ? As::AnotherUser
                : lock.startsWith("replaced")          ? As::Replaced
                : lock.startsWith("renamed")           ? As::Renamed
                : lock.endsWith("uncollected")         ? As::Uncollected
                                                       : As::ThisUser;
            first.emplace(elsewhere ? other : held, as);
            QVERIFY(first->holdsFolder(!lock.startsWith("read-only")));
            if (as == As::Renamed)
                QVERIFY(first->renameProgram());
            if (lock.startsWith("killed"))
                first->kill();
            // Left by a program run as root, in a folder this user cannot write.
            if (lock == "killed, read-only")
                readOnly.emplace(held);
            if (lock.contains("copied"))
                QVERIFY(QFile::copy(other + "/.ravelhorn.lock", lockFile));
            if (lock.endsWith("squashed") && !squash(lockFile))
                QSKIP("A lock file is given to another user only where the tests run as root.");
            // As when it holds the folder through another path to it.
            if (lock.startsWith("held here"))
                QVERIFY(QFile::copy(FolderLock::computerLockPath(other), FolderLock::computerLockPath(held)));
        }
        for (const char* library : {"Characters", "Monsters", "Portraits", "Encounters"})
            QVERIFY(!emptied || QDir(held + "/" + library).removeRecursively());
        // A live process of another program, that the lock names as its holder.
        QProcess sleeper;
        const auto stopSleeper = qScopeGuard([&sleeper] {
            sleeper.kill();
            sleeper.waitForFinished();
        });
        if (lock == "another program's") {
            sleeper.start("sleep", {"600"});
            QVERIFY(sleeper.waitForStarted());
            QVERIFY(TestSupport::writeFile(lockFile, QString("%1\nravelhorn\n%2\n")
                                                         .arg(sleeper.processId())
                                                         .arg(QSysInfo::machineHostName())
                                                         .toUtf8()));
        }
        const qint64 firstPid = first ? first->pid() : 0;

        RecordingUiHooks hooks;
        hooks.lockedFolderAnswers = answers;
        // The folder dialog gives the other folder where it is opened, and is cancelled elsewhere.
        hooks.folders = {opened == "Other" ? other : QString()};
        QString openedFolder;
        qint64 folderHolder = 0;
        qint64 computerHolder = 0;
        QTimer running;
        running.setSingleShot(true);
        connect(&running, &QTimer::timeout, [&] {
            openedFolder = QDir(Global::getRootPath()).dirName();
            folderHolder = OtherProgram::lockHolder(Global::getRootPath());
            computerHolder = OtherProgram::computerLockHolder(Global::getRootPath());
            QCoreApplication::exit(0);
        });
        running.start(0);
        const int waits = FolderLock::waitCount();
        QCOMPARE(Program::run(&hooks), 0);

        QStringList shown;
        for (const auto& alert : hooks.alerts)
            shown.append(alert.title + ": " + alert.text);
        const auto filled = [&](QString text) {
            return text.replace("%1", Global::htmlPath(held))
                .replace("%2", QString::number(firstPid))
                .replace("%3", Global::htmlPath(lockFile))
                .replace("%5", QSysInfo::machineHostName().toHtmlEscaped())
                .replace("%6", Global::htmlPath(QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation)));
        };
        QVERIFY2(told.isEmpty() ? shown.isEmpty()
                                : !shown.isEmpty() && std::all_of(shown.begin(), shown.end(), [&](const QString& one) {
                                      return one.startsWith(filled(told)) && one.endsWith(filled(ending));
                                  }),
                 qPrintable(shown.join('\n')));
        QCOMPARE(openedFolder, opened);
        QCOMPARE(hooks.alerts.size(), answers.size() + int(told.startsWith("Data Folder Not Locked")));
        QCOMPARE(hooks.lockedFolderButtons.join("; "), offered);
        // The folder dialog opens beside the folder refused, not in the working folder.
        QCOMPARE(hooks.foldersNear, QStringList(answers.count(Answer::SelectFolder), held));
        // A lock being written is given its few seconds; any other is judged at once.
        QCOMPARE(FolderLock::waitCount() > waits, lock == "young");
        // The folder is held while the program runs, and let go when it ends.
        const qint64 self = QCoreApplication::applicationPid();
        if (!opened.isEmpty()) {
            QCOMPARE(folderHolder, readOnly ? 0 : self);
            QCOMPARE(computerHolder, lock.endsWith("deep runtime") ? 0 : self);
        }
        if (opened == "Campaign")
            QVERIFY(!QFileInfo::exists(lockFile));
        QCOMPARE(OtherProgram::lockHolder(other), elsewhere ? firstPid : 0);
        if (first && opened.isEmpty())
            QVERIFY(OtherProgram::lockHolder(held) == firstPid || OtherProgram::computerLockHolder(held) == firstPid);
        // Whatever its umask, a holder is named to every user who shares the folder.
        if (first && QFileInfo::exists(held + "/.ravelhorn.lock"))
            QVERIFY(QFile::permissions(held + "/.ravelhorn.lock") & QFile::ReadOther);
        // What was refused is left as it was found.
        if (!first && opened.isEmpty())
            QVERIFY(QFileInfo::exists(lockFile));
        // Nothing was copied into a folder another program holds.
        QVERIFY(!emptied || QDir(held).entryList(QDir::Dirs | QDir::NoDotAndDotDot).isEmpty());
    }

    // A log another program wrote over while every event stood undone refused no command: the folder let go of
    // keeps this program's fight in its History folder and says where; put back, the fight replays at a start.
    void ownFightKeptWhenItsFolderIsLetGo_data()
    {
        QTest::addColumn<QString>("next");
        QTest::newRow("Select Data Location on the same folder") << "Campaign";
        QTest::newRow("Select Data Location on another folder") << "Other";
        QTest::newRow("quit") << "";
    }

    void ownFightKeptWhenItsFolderIsLetGo()
    {
        QFETCH(QString, next);
        TemporaryHome home;
        for (const char* name : {"Campaign", "Other"})
            QVERIFY(Global::copyDir(Global::getResourcePath() + "/demo-data", home.path(), name));
        const QString campaign = home.path() + "/Campaign";
        const QString log = campaign + "/history.log";
        QSettings().setValue("dataDir/path", campaign);
        RecordingUiHooks hooks;
        QByteArray own;
        QString shown;
        QTimer::singleShot(0, [&] {
            Creature* hero = Global::characters->getCharacter(0);
            CreatureVitality vitality = hero->getVitality();
            vitality.hitPoints -= 5;
            ObjectStream* stream = Global::history->getStream(false);
            const QByteArray created = stream->getCreationDate().toUtf8();
            Global::history->apply(new SetVitalityEvent(vitality, stream), false);
            shown = Global::history->getEventText(0);
            Global::history->back();
            own = TestSupport::readFile(log);
            // Another fight of the same size.
            TestSupport::writeFile(log, QByteArray(own).replace(created, "2020-01-01-00-00-00"));
            if (!next.isEmpty())
                Global::setRootPath(home.path() + "/" + next, next);
            QCoreApplication::exit(0);
        });
        QCOMPARE(Program::run(&hooks), 0);

        const QFileInfoList kept = QDir(campaign + "/History").entryInfoList({"overwritten_history_*.log"});
        QCOMPARE(kept.size(), 1);
        QCOMPARE(TestSupport::readFile(kept[0].filePath()), own);
        QCOMPARE(hooks.alerts.size(), 1);
        QVERIFY2(hooks.alerts[0].text.contains(QDir::toNativeSeparators(kept[0].filePath()).toHtmlEscaped()),
                 qPrintable(hooks.alerts[0].text));

        QVERIFY(TestSupport::writeFile(log, TestSupport::readFile(kept[0].filePath())));
        QSettings().setValue("dataDir/path", campaign);
        QStringList replayed;
        QTimer::singleShot(0, [&] {
            for (int i = 0; i < Global::history->getEventCount(); i++)
                replayed.append(Global::history->getEventText(i));
            // Its own log, undone, is let go of without a word.
            Global::history->back();
            QCoreApplication::exit(0);
        });
        QCOMPARE(Program::run(&hooks), 0);
        QCOMPARE(replayed, QStringList{shown});
        QCOMPARE(hooks.alerts.size(), 1);
        QCOMPARE(QDir(campaign + "/History").entryList({"overwritten_history_*.log"}).size(), 1);
    }

    void eventListFollowsTheHistory()
    {
        RecordingUiHooks hooks;
        TestWorld world;
        EventListModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QListView view;
        view.setModel(&model);
        model.setView(&view);
        model.newHistory();
        view.resize(200, 80);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        Creature* ana = world.addHero("Ana", 30);
        Global::encounter->setCreatureList(CreatureList({ana}));
        for (int hitPoints = 29; hitPoints > 19; hitPoints--) {
            ana->setCurrHitPoints(hitPoints);
            QVERIFY(world.record(new SetVitalityEvent(ana->getVitality(), world.stream())));
        }
        QCOMPARE(model.index(0, 0).data().toString() + model.headerData(9, Qt::Vertical, Qt::DisplayRole).toString(),
                 QString("Changed Ana: Curr HP 2910"));
        QCOMPARE(marks(model), QString("- ").repeated(9) + "a");
        // A click jumps the history; the current row is scrolled into sight once the loop runs; stepped-back rows are grey.
        QApplication::processEvents();
        QVERIFY(view.visualRect(model.index(9, 0)).bottom() < view.viewport()->height() && view.visualRect(model.index(0, 0)).top() < 0);
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, view.visualRect(model.index(8, 0)).center());
        QVERIFY(Global::history->getCurrentIndex() == 8 && ana->getBeforeVitality().hitPoints == 21 && view.selectionModel()->selectedIndexes().isEmpty());
        Global::history->goTo(0);
        QApplication::processEvents();
        QVERIFY(view.visualRect(model.index(0, 0)).top() >= 0 && view.visualRect(model.index(9, 0)).bottom() >= view.viewport()->height());
        QCOMPARE(marks(model), "a" + QString(" -g").repeated(9));
        Global::history->back();
        QCOMPARE(marks(model), "-g" + QString(" -g").repeated(9));
        // A new command drops the undone events.
        Global::history->forward(false);
        ana->setCurrHitPoints(3);
        QVERIFY(world.record(new SetVitalityEvent(ana->getVitality(), world.stream())));
        QCOMPARE(marks(model), QString("- a"));
    }
};

int main(int argc, char** argv)
{
    TestSupport::isolateEnvironment(TestSupport::MessageFilterAt::TestRun);
    // A common laptop's screen.
    if (!Program::emulateScreen(QSize(1280, 800), QDir::tempPath()))
        return 2;
    QApplication app(argc, argv);
    TestProgram test;
    return TestSupport::runTests(&test, argc, argv);
}
#include "uitest_program.moc"
