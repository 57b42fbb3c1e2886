#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QSettings>
#include <QTimer>

#include "app/windowhooks.h"
#include "foundation/global.h"
#include "library/characters.h"
#include "library/encounters.h"
#include "library/monsters.h"
#include "powers/actions.h"
#include "support/testsupport.h"
#include "support/testworld.h"
#include "toolkit/messagedialog.h"

namespace {

// The program's own dialogs, with unsaved characters the editors would report.
class UnsavedWorkHooks : public WindowHooks
{
public:
    UnsavedItems charactersToSave() override { return unsaved; }
    bool saveAllCharacters() override
    {
        saves++;
        return true;
    }

    UnsavedItems unsaved;
    int saves = 0;
};

QProgressDialog* shownProgress()
{
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* progress = qobject_cast<QProgressDialog*>(widget); progress && progress->isVisible())
            return progress;
    return nullptr;
}

}

class TestRootPath : public QObject
{
    Q_OBJECT

private slots:
    // A first start that can make no data folder says where it looked and what failed.
    void firstStartWithoutDataSaysWhereItLooked()
    {
        TemporaryHome home;
        RecordingUiHooks hooks;
        QSettings().remove("dataDir");
        // A file where the documents folder belongs: the demonstration data has nowhere to go.
        QVERIFY(TestSupport::writeFile(home.documents(), "not a folder"));
        Global::initRootPath();
        QCOMPARE(hooks.alerts.size(), 1);
        QCOMPARE(hooks.alerts[0].title, QString("No Data Folder"));
        const QString text = hooks.alerts[0].text;
        for (const QString& searched : {home.documents(), home.path()})
            QVERIFY2(text.contains(Global::htmlPath(QDir::toNativeSeparators(searched + "/Ravelhorn Data")) + "<"), qPrintable(text));
        QVERIFY2(text.contains("could not be copied from <b>" + Global::htmlPath(QDir::toNativeSeparators(Global::getResourcePath() + "/demo-data"))),
                 qPrintable(text));
        QVERIFY(!QSettings().contains("dataDir/path"));
    }

    // A remembered folder that is gone at start is told once, with the folder
    // opened instead; it stays remembered, and the start after it is back opens it.
    void startsOnTheRememberedFolder_data()
    {
        QTest::addColumn<QString>("remembered");
        QTest::addColumn<bool>("documentsBlocked");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("cause");
        QTest::newRow("there") << "Campaign" << false << "" << "";
        QTest::newRow("missing") << "Drive/Campaign" << false << "Data Folder Missing" << "was not found";
        QTest::newRow("without library folders")
            << "Empty" << false << "Data Folder Missing" << "holds none of the folders Characters";
        QTest::newRow("missing, no folder made") << "Drive/Campaign" << true << "No Data Folder" << "was not found";
        // Filled again with the demonstration data: no other folder opens instead.
        QTest::newRow("the documents' folder emptied") << "Documents/Ravelhorn Data" << false << "" << "";
    }

    void startsOnTheRememberedFolder()
    {
        QFETCH(QString, remembered);
        QFETCH(bool, documentsBlocked);
        QFETCH(QString, title);
        QFETCH(QString, cause);
        TemporaryHome home;
        const QString demo = Global::getResourcePath() + "/demo-data";
        const QString folder = home.path() + "/" + remembered;
        if (remembered == "Campaign")
            QVERIFY(Global::copyDir(demo, home.path(), remembered));
        if (remembered == "Empty" || remembered.startsWith("Documents"))
            QVERIFY(QDir().mkpath(folder));
        if (documentsBlocked)
            QVERIFY(TestSupport::writeFile(home.documents(), "not a folder"));
        QSettings().setValue("dataDir/path", folder);
        QSettings().setValue("dataDir/display", "Campaign Drive");
        TestWorld world;
        RecordingUiHooks hooks;
        QVERIFY(Global::initRootPath());

        const QString instead = home.documents() + "/Ravelhorn Data";
        const QString opened = title.isEmpty() ? folder : (documentsBlocked ? world.root() : instead);
        QCOMPARE(Global::getRootPath(), opened);
        QCOMPARE(hooks.alerts.size(), title.isEmpty() ? 0 : 1);
        if (!title.isEmpty()) {
            QCOMPARE(hooks.alerts[0].title, title);
            const QString text = hooks.alerts[0].text;
            QVERIFY2(text.contains("<b>" + Global::htmlPath(folder) + "</b> remembered from the last start " + cause), qPrintable(text));
            QVERIFY2(documentsBlocked || text.contains("opens <b>" + Global::htmlPath(instead) + "</b> instead"), qPrintable(text));
        }
        QCOMPARE(QSettings().value("dataDir/path").toString(), folder);
        QCOMPARE(QSettings().value("dataDir/display").toString(), QString("Campaign Drive"));

        // The drive is back.
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(Global::copyDir(demo, QFileInfo(folder).path(), QFileInfo(folder).fileName()));
        hooks.alerts.clear();
        QVERIFY(Global::initRootPath());
        QCOMPARE(Global::getRootPath(), folder);
        QCOMPARE(hooks.alerts.size(), 0);
    }

    // A timer answers each dialog as the user would and notes what it saw.
    void switchesThroughTheDialogs_data()
    {
        QTest::addColumn<QStringList>("unsaved");
        QTest::addColumn<bool>("saveWork");
        QTest::addColumn<bool>("cancelLoad");
        QTest::addColumn<bool>("switched");
        QTest::addColumn<QString>("seen");
        const QString folder = "Select Ravelhorn Data Folder";
        QTest::newRow("folder chosen") << QStringList() << true << false << true << folder;
        QTest::newRow("cancelled while loading") << QStringList() << true << true << false << folder + ", cancelled";
        QTest::newRow("one unsaved character saved")
            << QStringList{"Ana"} << true << false << true
            << "<b>Ana</b> was not saved.<p>You need to save all changes before setting the 'Ravelhorn Data' folder., "
                   + folder;
        QTest::newRow("two unsaved characters kept") << QStringList{"Ana", "Bo"} << false << false << false
                                                     << "2 Characters were not saved.<p>You need to save all changes "
                                                        "before setting the 'Ravelhorn Data' folder.";
    }

    void switchesThroughTheDialogs()
    {
        QFETCH(QStringList, unsaved);
        QFETCH(bool, saveWork);
        QFETCH(bool, cancelLoad);
        QFETCH(bool, switched);
        QFETCH(QString, seen);
        TemporaryHome home;
        QVERIFY(Global::copyDir(Global::getResourcePath() + "/demo-data", home.path(), "Campaign"));
        const QString chosen = home.path() + "/Campaign";
        TestWorld world;
        Encounters encounters;
        Actions actions;
        Global::encounters = &encounters;
        Global::actions = &actions;
        world.addMonster("Old Raider", "1", 20);
        UnsavedWorkHooks hooks;
        hooks.unsaved = {int(unsaved.size()), unsaved};
        Global::setUiHooks(&hooks);
        QSettings().remove("dataDir");

        QStringList noted;
        // Where the folder dialog opened, and what it had selected.
        QStringList dialogFolders;
        int cancelledAt = -1;
        QTimer driver;
        connect(&driver, &QTimer::timeout, [&] {
            if (auto* box = qobject_cast<MessageDialog*>(QApplication::activeModalWidget())) {
                for (QLabel* label : box->findChildren<QLabel*>())
                    if (label->text().contains("not saved"))
                        noted << label->text();
                for (QAbstractButton* button : box->buttonBox()->buttons())
                    if (button->text() == (saveWork ? "Save Changes and Continue" : "Cancel"))
                        button->click();
            } else if (auto* files = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
                noted << files->windowTitle();
                dialogFolders << files->directory().absolutePath() << files->selectedFiles().value(0);
                files->selectFile(chosen);
                QMetaObject::invokeMethod(files, "accept");
            } else if (QProgressDialog* progress = shownProgress(); progress && cancelLoad && cancelledAt < 0) {
                noted << "cancelled";
                cancelledAt = progress->value();
                progress->findChild<QPushButton*>()->click();
            }
        });
        driver.start(0);
        const bool result = Global::setRootPath("", "");
        driver.stop();
        Global::setUiHooks(nullptr);
        Global::encounters = nullptr;
        Global::actions = nullptr;

        QCOMPARE(noted.join(", "), seen);
        QCOMPARE(result, switched);
        // Beside the folder in use, never in the working folder.
        QCOMPARE(dialogFolders, (seen.contains("Select Ravelhorn Data Folder")
                                     ? QStringList{QFileInfo(world.root()).absolutePath(), world.root()}
                                     : QStringList()));
        QCOMPARE(hooks.saves, saveWork ? int(!unsaved.isEmpty()) : 0);
        QVERIFY(!shownProgress());
        if (cancelLoad)
            QVERIFY(cancelledAt > 0 && cancelledAt < 20);
        // A switch takes the whole demonstration folder; anything else leaves the old libraries in use.
        QCOMPARE(Global::nativeRootPath, QDir::toNativeSeparators(switched ? chosen : world.root()));
        QCOMPARE(Global::monsters->getTemplateCount(), switched ? 12 : 1);
        QCOMPARE(Global::characters->getCharacterCount() + encounters.getEncounterCount(), switched ? 8 : 0);
        QCOMPARE(QSettings().value("dataDir/path").toString(), switched ? Global::nativeRootPath : QString());
    }
};

RAVELHORN_TEST_MAIN(QApplication, TestRootPath)
#include "uitest_rootpath.moc"
