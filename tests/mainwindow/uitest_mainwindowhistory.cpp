#include <QAbstractItemModelTester>
#include <QFileInfo>
#include <QSignalSpy>
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
    QString getExistingDirectory(const QString&, const QString&) override { return folder; }
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

    // The list hears of each change as the change it is, and always shows the history as it stands.
    void historyListFollowsEachChange()
    {
        RecordingUiHooks hooks;
        WindowUnderTest w;
        QVERIFY(w.loadFolder());
        w.window->show();
        auto* view = w.dock("historyWidget")->findChild<QListView*>();
        QAbstractItemModel* model = view->model();
        QAbstractItemModelTester tester(model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QVERIFY(view->uniformItemSizes());
        QSignalSpy inserted(model, &QAbstractItemModel::rowsInserted);
        QSignalSpy removed(model, &QAbstractItemModel::rowsRemoved);
        QSignalSpy changed(model, &QAbstractItemModel::dataChanged);
        QSignalSpy reset(model, &QAbstractItemModel::modelReset);
        auto icon = [&](int row) { return model->index(row, 0).data(Qt::DecorationRole).value<QIcon>().cacheKey(); };
        auto shows = [&] {
            const int current = Global::history->getCurrentIndex();
            if (model->rowCount() != Global::history->getEventCount())
                return false;
            const qint64 blank = icon(current == 0 ? 1 : 0);
            for (int row = 0; row < model->rowCount(); row++) {
                const QModelIndex index = model->index(row, 0);
                if (index.data().toString() != Global::history->getEventText(row) || (icon(row) == blank) == (row == current)
                    || index.data(Qt::ForegroundRole).isValid() != (row > current))
                    return false;
            }
            return true;
        };
        // The first and last row of a dataChanged, or of an insertion or removal.
        auto rows = [](const QList<QVariant>& arguments) {
            if (arguments.at(1).canConvert<QModelIndex>())
                return QString("%1-%2").arg(arguments.at(0).toModelIndex().row()).arg(arguments.at(1).toModelIndex().row());
            return QString("%1-%2").arg(arguments.at(1).toInt()).arg(arguments.at(2).toInt());
        };
        auto count = [](QSignalSpy& spy) { const int n = spy.count(); spy.clear(); return n; };

        const int before = Global::history->getEventCount();
        QVERIFY(w.record(3));
        QVERIFY(shows());
        // The first event of an empty list comes with a reset.
        QCOMPARE(count(reset), before == 0 ? 1 : 0);
        QCOMPARE(count(inserted), before == 0 ? 2 : 3);
        changed.clear();
        w.action("Step Back")->trigger();
        QVERIFY(shows());
        QCOMPARE(changed.count(), 1);
        QCOMPARE(rows(changed.takeFirst()), QString("1-2"));
        w.action("Step Forward")->trigger();
        QVERIFY(shows());
        QCOMPARE(rows(changed.takeFirst()), QString("1-2"));
        // Stepped back twice, a new event replaces the two stepped over.
        w.action("Step Back")->trigger();
        w.action("Step Back")->trigger();
        changed.clear();
        QVERIFY(w.record(1));
        QVERIFY(shows());
        QCOMPARE(rows(removed.takeFirst()), QString("2-2"));
        QCOMPARE(rows(changed.takeFirst()), QString("0-1"));
        w.action("Step Back")->trigger();
        {
            BoxAnswerer answer(true);
            w.action("Truncate...")->trigger();
        }
        QVERIFY(shows());
        QCOMPARE(rows(removed.takeFirst()), QString("1-1"));
        QCOMPARE(count(inserted) + count(reset), 0);

        // A long fight: each event is one inserted row, and the current one is in sight once the loop has run.
        QVERIFY(w.record(60));
        QCOMPARE(count(inserted), 60);
        QApplication::processEvents();
        QVERIFY(shows());
        const QModelIndex last = model->index(model->rowCount() - 1, 0);
        const QRect shown = view->visualRect(last);
        QVERIFY(shown.top() >= 0 && shown.bottom() < view->viewport()->height());

        // A restart replays the log: the list is built anew.
        QVERIFY(w.loadFolder());
        QVERIFY(count(reset) >= 1);
        QVERIFY(shows());
        QCOMPARE(model->rowCount(), before + 61);
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
        // The action tells what a click does, and does it.
        w.action(playersShown ? "Hide Player's Window..." : "Show Player's Window...")->trigger();
        QCOMPARE(Global::playersWindow->isVisible(), !playersShown);
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
