#include <QFileInfo>
#include <QListView>
#include <QSettings>
#include <QTest>

#include "encounter/encounter.h"
#include "mainwindow/mainwindowtesting.h"
#include "mainwindow/playerswindow.h"
#include "support/testsupport.h"

using CombatTesting::eventTexts;

namespace {

// Step Back, Step Forward, Clear History..., Truncate... as on or off.
QString historyActions(const WindowUnderTest& w)
{
    QString states;
    for (const char* text : {"Step Back", "Step Forward", "Clear History...", "Truncate..."})
        states += w.action(text)->isEnabled() ? "1" : "0";
    return states;
}

int listRows(const WindowUnderTest& w)
{
    return w.dock("historyWidget")->findChild<QListView*>()->model()->rowCount();
}

qint64 logSize()
{
    return QFileInfo(History::getLogPath()).size();
}

// The game master picks the data folder in the folder dialog.
class FolderHooks : public RecordingUiHooks
{
public:
    QString getExistingDirectory(const QString&) override { return folder; }
    QString folder;
};

// Unsaved work in the editors, and the game master's answer to the save question.
class UnsavedWorkHooks : public RecordingUiHooks
{
public:
    UnsavedItems charactersToSave() override { return {1, {"Brannoc Ashfield"}}; }
    bool rejectableAlert(const QString& title, const QString&, const QString&) override
    {
        asked.append(title);
        return saveAnswer;
    }

    QStringList asked;
    bool saveAnswer = false;
};

}

class TestMainWindowHistory : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { Global::init(); }
    void cleanupTestCase() { Global::exit(); }

    void historyCommandsThroughTheLog()
    {
        RecordingUiHooks hooks;
        WindowUnderTest w;
        QVERIFY(w.loadFolder());
        QCOMPARE(historyActions(w), QString("0000"));
        QVERIFY(w.record(3));
        const QStringList recorded = eventTexts();
        const qint64 size = logSize();
        QCOMPARE(listRows(w), 3);
        // The four actions at every position, stepping by the actions.
        const QStringList states{"0111", "1111", "1111", "1010"};
        QCOMPARE(historyActions(w), states.at(3));
        for (int position = 1; position >= -1; position--) {
            w.action("Step Back")->trigger();
            QCOMPARE(Global::history->getCurrentIndex(), position);
            QCOMPARE(historyActions(w), states.at(position + 1));
        }
        w.action("Step Forward")->trigger();
        w.action("Step Forward")->trigger();
        QCOMPARE(Global::history->getCurrentIndex(), 1);
        QCOMPARE(w.hero()->getCurrHitPoints(), w.hero()->getMaxHitPoints() - 2);
        QCOMPARE(listRows(w), 3);
        QCOMPARE(logSize(), size);

        // Truncate, refused and then accepted.
        {
            BoxAnswerer answer(false);
            w.action("Truncate...")->trigger();
            QCOMPARE(answer.titles, QStringList{"Truncate History File"});
            QCOMPARE(Global::history->getEventCount(), 3);
        }
        {
            BoxAnswerer answer(true);
            w.action("Truncate...")->trigger();
            QCOMPARE(answer.titles, QStringList{"Truncate History File"});
        }
        QCOMPARE(eventTexts(), recorded.mid(0, 2));
        QVERIFY(logSize() < size);
        QCOMPARE(listRows(w), 2);
        QCOMPARE(historyActions(w), QString("1010"));

        // A restart replays the same list.
        QVERIFY(w.loadFolder());
        QCOMPARE(eventTexts(), recorded.mid(0, 2));
        QCOMPARE(Global::history->getCurrentIndex(), 1);
        QCOMPARE(historyActions(w), QString("1010"));
    }

    void clearHistory_data()
    {
        QTest::addColumn<bool>("running");
        QTest::addColumn<bool>("accept");
        QTest::addColumn<bool>("backupFails");
        QTest::addColumn<QString>("title");
        QTest::newRow("accepted") << false << true << false << "Clear History";
        QTest::newRow("rejected") << false << false << false << "Clear History";
        QTest::newRow("running, accepted") << true << true << false << "Encounter Running";
        QTest::newRow("running, rejected") << true << false << false << "Encounter Running";
        QTest::newRow("backup fails") << false << true << true << "Clear History";
    }

    void clearHistory()
    {
        QFETCH(bool, running);
        QFETCH(bool, accept);
        QFETCH(bool, backupFails);
        QFETCH(QString, title);
        RecordingUiHooks hooks;
        WindowUnderTest w;
        QVERIFY(w.loadFolder());
        QVERIFY(w.record(3));
        if (running)
            Global::encounter->setCurrentIndex(0);
        const QString backups = w.root() + "/History";
        QDir(backups).removeRecursively();
        if (backupFails)
            QVERIFY(TestSupport::writeFile(backups, "in the way"));
        const qint64 size = logSize();
        {
            BoxAnswerer answer(accept);
            w.action("Clear History...")->trigger();
            QCOMPARE(answer.titles, QStringList{title});
        }
        const bool cleared = accept && !backupFails;
        QCOMPARE(Global::history->getEventCount(), cleared ? 0 : 3);
        QCOMPARE(listRows(w), cleared ? 0 : 3);
        QCOMPARE(Global::encounter->getCreatureCount(), cleared ? 0 : 1);
        QCOMPARE(historyActions(w), QString(cleared ? "0000" : "1010"));
        const QStringList copies = QDir(backups).entryList({"history_*.log"});
        QCOMPARE(copies.size(), cleared ? 1 : 0);
        if (cleared) {
            QCOMPARE(QFileInfo(backups + "/" + copies.first()).size(), size);
            QVERIFY(logSize() == 0);
        } else {
            QCOMPARE(logSize(), size);
        }
        QCOMPARE(hooks.alerts.size(), backupFails ? 1 : 0);
    }

    void replayPausesTheWindows_data()
    {
        QTest::addColumn<bool>("playersShown");
        QTest::newRow("players' window shown") << true;
        QTest::newRow("players' window hidden") << false;
    }

    void replayPausesTheWindows()
    {
        QFETCH(bool, playersShown);
        FolderHooks hooks;
        WindowUnderTest w;
        QVERIFY(w.loadFolder());
        hooks.folder = w.root();
        QVERIFY(w.record(2));
        w.window->show();
        Global::playersWindow->setVisible(playersShown);
        QString during;
        // Connected after the window's own slot, so it sees the window's state once the replay starts.
        auto watch = connect(&Global::switchBoard, &SwitchBoard::doStartLoadingHistory, [&] {
            during = QString("timer %1 window %2 players %3")
                         .arg(w.window->refreshTimer()->isActive())
                         .arg(w.window->isVisible())
                         .arg(Global::playersWindow->isVisible());
        });
        // The folder chosen again: its libraries reload and its log replays.
        w.action("Select Data Location...")->trigger();
        disconnect(watch);
        QCOMPARE(during, QString("timer 0 window 0 players 0"));
        QVERIFY(w.window->refreshTimer()->isActive() && w.window->isVisible());
        QCOMPARE(Global::playersWindow->isVisible(), playersShown);
        QCOMPARE(Global::history->getEventCount(), 2);
    }

    void closeAsksToSaveFirst()
    {
        UnsavedWorkHooks hooks;
        WindowUnderTest w;
        w.window->show();
        QVERIFY(!w.window->close());
        QCOMPARE(hooks.asked, QStringList{"Not All Work Saved"});
        QVERIFY(w.window->isVisible() && Global::encounter && Global::history && Global::playersWindow);

        hooks.saveAnswer = true;
        int code = -1;
        QTimer::singleShot(0, [&] { w.action("&Quit")->trigger(); });
        // Ends the loop should the window not quit it.
        QTimer::singleShot(3000, [] { QCoreApplication::exit(9); });
        code = QCoreApplication::exec();
        QCOMPARE(code, 0);
        QVERIFY(!w.window->isVisible());
    }

    void applicationCommands()
    {
        RecordingUiHooks hooks;
        WindowUnderTest w;
        w.window->show();
        {
            BoxAnswerer answer(true);
            w.action("About")->trigger();
            QCOMPARE(answer.titles, QStringList{"About Ravelhorn"});
            const QString text = answer.texts.join('\n');
            QVERIFY2(text.contains("Dungeon Master's manage") && text.contains("<p>" + Global::getBuildDetails()),
                     qPrintable(text));
        }
        // The language import asks for its file first; cancelled there, nothing else happens.
        w.action("Import Language File...")->trigger();
        QCOMPARE(hooks.openFileFolders.size(), 1);
    }
};

RAVELHORN_TEST_MAIN(QApplication, TestMainWindowHistory)
#include "uitest_mainwindowhistory.moc"
