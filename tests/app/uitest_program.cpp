#include <QAbstractItemModelTester>
#include <QApplication>
#include <QListView>
#include <QSettings>
#include <QTimer>

#include "app/program.h"
#include "editors/characterwindow.h"
#include "editors/managerwindow.h"
#include "encounter/encounter.h"
#include "encounter/history.h"
#include "encounter/vitalityevents.h"
#include "foundation/global.h"
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
#include "foundation/textcolours.h"

namespace {

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
    // opens anything; one whose holder was killed takes the folder over.
    void secondStartOnAHeldFolder_data()
    {
        QTest::addColumn<bool>("holderKilled");
        QTest::addColumn<bool>("selectFolder");
        QTest::addColumn<QString>("opened");
        QTest::newRow("quit") << false << false << "";
        QTest::newRow("another folder chosen") << false << true << "Other";
        QTest::newRow("holder killed") << true << false << "Campaign";
    }

    void secondStartOnAHeldFolder()
    {
        QFETCH(bool, holderKilled);
        QFETCH(bool, selectFolder);
        QFETCH(QString, opened);
        TemporaryHome home;
        for (const char* name : {"Campaign", "Other"})
            QVERIFY(Global::copyDir(Global::getResourcePath() + "/demo-data", home.path(), name));
        const QString held = home.path() + "/Campaign";
        const QString other = home.path() + "/Other";
        QSettings().setValue("dataDir/path", held);
        OtherProgram first(held);
        QVERIFY(first.holdsFolder());
        const qint64 firstPid = first.pid();
        if (holderKilled)
            first.kill();

        RecordingUiHooks hooks;
        hooks.selectFolderAnswer = selectFolder;
        hooks.folders = {other};
        QString openedFolder;
        qint64 holderWhileRunning = 0;
        QTimer running;
        running.setSingleShot(true);
        connect(&running, &QTimer::timeout, [&] {
            openedFolder = QDir(Global::getRootPath()).dirName();
            holderWhileRunning = OtherProgram::lockHolder(Global::getRootPath());
            QCoreApplication::exit(0);
        });
        running.start(0);
        QCOMPARE(Program::run(&hooks), 0);

        QCOMPARE(openedFolder, opened);
        QCOMPARE(hooks.alerts.size(), holderKilled ? 0 : 1);
        if (!holderKilled) {
            QCOMPARE(hooks.alerts[0].title, QString("Data Folder in Use"));
            const QString text = hooks.alerts[0].text;
            QVERIFY2(text.contains("<b>" + Global::htmlPath(held) + "</b>") && text.contains(QString("process %1 ").arg(firstPid)),
                     qPrintable(text));
            QCOMPARE(OtherProgram::lockHolder(held), firstPid);
        }
        // The folder is held while the program runs, and let go when it ends.
        if (!opened.isEmpty())
            QCOMPARE(holderWhileRunning, QCoreApplication::applicationPid());
        QCOMPARE(OtherProgram::lockHolder(other), 0);
        if (holderKilled)
            QCOMPARE(OtherProgram::lockHolder(held), 0);
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
    TestSupport::isolateEnvironment();
    // A common laptop's screen.
    if (!Program::emulateScreen(QSize(1280, 800), QDir::tempPath()))
        return 2;
    QApplication app(argc, argv);
    TestProgram test;
    return TestSupport::runTests(&test, argc, argv);
}
#include "uitest_program.moc"
