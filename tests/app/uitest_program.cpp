#include <QAbstractItemModelTester>
#include <QApplication>
#include <QListView>
#include <QSettings>
#include <QStandardPaths>
#include <QTimer>

#include "app/program.h"
#include "editors/characterwindow.h"
#include "editors/managerwindow.h"
#include "encounter/damageevents.h"
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

namespace {

const QStringList allFour{"Characters", "Monsters", "Portraits", "Encounters"};
const QString F = "Ravelhorn Data";

// Which rows show the arrow ("a") and which are grey ("g").
QString marks(const QAbstractItemModel& model)
{
    const QImage arrow = QIcon(":/images/arrow-right128.png").pixmap(16, 16).toImage();
    QStringList rows;
    for (int row = 0; row < model.rowCount(); row++) {
        QModelIndex index = model.index(row, 0);
        bool grey = index.data(Qt::ForegroundRole).value<QColor>() == QColor("grey");
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
    void init()
    {
        QSettings().clear();
        Global::nativeRootPath.clear();
        Global::prettyRootPath.clear();
    }

    void runsAndShutsDownInOrder()
    {
        TemporaryHome home;
        RecordingUiHooks hooks;
        QStringList deleted;
        bool allMade = false;
        QTimer::singleShot(0, [&] {
            allMade = Global::encounter && Global::history && Global::characters && Global::monsters && Global::encounters
                && Global::actions && Global::playersWindow && Global::managerWindow && Global::characterWindow
                && Global::translation && Global::blankPortrait && !Global::blankPortrait->isNull()
                && Global::currentWindow == (QWidget*)Global::mainWindow && Global::mainWindow->isVisible()
                && Global::mainWindow->refreshTimer()->isActive();
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
        QCOMPARE(deleted, (QStringList{"History", "Encounter", "Characters", "Monsters", "PlayersWindow", "ManagerWindow",
                                       "CharacterWindow", "Encounters", "Actions", "MainWindow"}));
        QVERIFY2(leaks.isEmpty(), qPrintable(leaks.join('\n')));
        QVERIFY(!Global::encounter && !Global::history && !Global::actions && !Global::translation);
        QCOMPARE(hooks.windowTitles, QStringList{"Ravelhorn DM's Display"});
        // The first start copied the demonstration data into the documents.
        QString made = home.documents() + "/" + F;
        QDir madeDir(made);
        QVERIFY(Global::isValidRootPath(madeDir) && !QFile::exists(made + "/Monsters/.gitkeep"));
        QCOMPARE(QDir::fromNativeSeparators(QSettings().value("dataDir/path").toString()), made);
        QCOMPARE(QSettings().value("dataDir/display").toString(),
                 QStandardPaths::displayName(QStandardPaths::DocumentsLocation) + QDir::separator() + F);
    }

    void dataFolderSearch()
    {
        TemporaryHome home;
        RecordingUiHooks hooks;
        // A remembered folder needs one library only; when gone, the search runs
        // beside the application, in the documents, the home and the data folder.
        QString partial = home.makeFolder("Campaign", {"Monsters"});
        QSettings().setValue("dataDir/path", partial);
        Global::initRootPath();
        QCOMPARE(Global::getRootPath(), partial);
        QDir(partial).removeRecursively();
        QString documents = home.makeFolder("Documents/" + F, allFour);
        QVERIFY(TestSupport::writeFile(documents + "/Monsters/kept.monster", "mine"));
        QString inHome = home.makeFolder(F, allFour);
        QString besideApp = Global::getApplicationPath() + QDir::separator() + F;
        QString data = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation) + "/" + F;
        for (const QString& library : allFour)
            QVERIFY(QDir().mkpath(besideApp + "/" + library) && QDir().mkpath(data + "/" + library));
        QStringList chosen;
        for (const QString& folder : {besideApp, documents, data, inHome}) {
            QSettings().clear();
            Global::initRootPath();
            chosen.append(QDir::fromNativeSeparators(Global::getRootPath()));
            QDir(folder + "/Portraits").removeRecursively(); // incomplete folders are passed over
        }
        QDir(besideApp).removeRecursively();
        QCOMPARE(chosen, (QStringList{QDir(besideApp).absolutePath(), QDir::fromNativeSeparators(documents), data,
                                      QDir::fromNativeSeparators(inHome)}));
        // With none left the demonstration data fills the gaps of the one in the documents, overwriting nothing.
        QSettings().clear();
        Global::initRootPath();
        QVERIFY(Global::getRootPath() == documents && QDir(documents + "/Portraits").exists());
        QCOMPARE(TestSupport::readFile(documents + "/Monsters/kept.monster"), QByteArray("mine"));
        QCOMPARE(hooks.windowTitles.mid(0, 2), (QStringList{"Ravelhorn - Campaign", "Ravelhorn DM's Display"}));
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
        Creature* orc = world.addMonster("Orc", "1", 20);
        Global::encounter->setCreatureList(CreatureList({ana, orc}));
        for (int hitPoints = 29; hitPoints > 19; hitPoints--) {
            ana->setCurrHitPoints(hitPoints);
            QVERIFY(world.record(new SetVitalityEvent(ana->getVitality(), world.stream())));
        }
        QVERIFY(world.record(new DamageEvent("Axe", ana, orc, 6, QString(), world.stream())));
        QCOMPARE(model.rowCount(), 11);
        QCOMPARE(model.index(0, 0).data().toString(), QString("Changed Ana: Curr HP 29"));
        QCOMPARE(model.index(10, 0).data().toString(), Global::history->getEvent(10)->getDescription(false));
        QCOMPARE(model.headerData(9, Qt::Vertical, Qt::DisplayRole).toString()
                     + model.headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), QString("10Event"));
        QCOMPARE(marks(model), QString("- ").repeated(10) + "a");

        // A click jumps the history; the current row stays in sight.
        auto inSight = [&](int row) {
            const QRect rect = view.visualRect(model.index(row, 0));
            return rect.top() >= 0 && rect.bottom() < view.viewport()->height();
        };
        QVERIFY(inSight(10) && !inSight(0));
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, view.visualRect(model.index(9, 0)).center());
        QCOMPARE(Global::history->getCurrentIndex(), 9);
        QCOMPARE(orc->getCurrHitPoints(), 20);
        QVERIFY(view.selectionModel()->selectedIndexes().isEmpty());
        Global::history->goTo(0);
        QVERIFY(inSight(0) && !inSight(10));
        QCOMPARE(marks(model), "a" + QString(" -g").repeated(10));
        Global::history->back();
        QCOMPARE(marks(model), "-g" + QString(" -g").repeated(10));

        // A new command drops the undone events.
        Global::history->forward(false);
        ana->setCurrHitPoints(3);
        QVERIFY(world.record(new SetVitalityEvent(ana->getVitality(), world.stream())));
        QCOMPARE(marks(model), QString("- a"));
    }
};

RAVELHORN_TEST_MAIN(QApplication, TestProgram)
#include "uitest_program.moc"
