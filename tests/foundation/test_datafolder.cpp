#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>

#include "foundation/global.h"
#include "support/testsupport.h"

namespace {
const QStringList allFour{"Characters", "Monsters", "Portraits", "Encounters"};
const QString F = "Ravelhorn Data";
}

class TestDataFolder : public QObject
{
    Q_OBJECT

private:
    QString chosenRoot() const { return QDir::fromNativeSeparators(Global::getRootPath()); }

private slots:
    void init()
    {
        QSettings().clear();
        Global::nativeRootPath.clear();
        Global::prettyRootPath.clear();
    }

    void validAndEmptyFolders()
    {
        TemporaryHome home;
        QDir none(home.makeFolder("none", {}));
        QDir some(home.makeFolder("some", {"Monsters"}));
        QDir all(home.makeFolder("all", allFour));
        QDir missing(home.path() + "/missing");
        QVERIFY(Global::isEmptyRootPath(none) && !Global::isValidRootPath(none));
        QVERIFY(!Global::isEmptyRootPath(some) && !Global::isValidRootPath(some));
        QVERIFY(!Global::isEmptyRootPath(all) && Global::isValidRootPath(all));
        QVERIFY(Global::isEmptyRootPath(missing));

        // A file of a library's name is no library folder.
        QDir fileNotFolder(home.makeFolder("file", {"Characters", "Monsters", "Portraits"}));
        QVERIFY(TestSupport::writeFile(fileNotFolder.filePath("Encounters"), "x"));
        QVERIFY(!Global::isValidRootPath(fileNotFolder));
    }

    void pathBuilders()
    {
        const QString sep = QDir::separator();
        Global::nativeRootPath = sep + "data";
        QCOMPARE(Global::addDirChar("abc/", '/'), QString("abc/"));
        QCOMPARE(Global::addDirChar("abc", '/'), QString("abc/"));
        QCOMPARE(Global::addDirChar("", '/'), QString("/"));
        QCOMPARE(Global::getRootPath(true), sep + "data" + sep);
        QCOMPARE(Global::getCreaturePath("orc.monster", true), sep + "data" + sep + "Monsters" + sep + "orc.monster");
        QCOMPARE(Global::getCreaturePath("ana.dnd4e", false, "root"), "root" + sep + "Characters" + sep + "ana.dnd4e");
        QCOMPARE(Global::getEncounterPath(""), sep + "data" + sep + "Encounters" + sep);
        QCOMPARE(Global::getPortraitPath("a/b.png"), QDir::toNativeSeparators("/data/Portraits/a/b.png"));
        QCOMPARE(Global::getRootedPath("/abs/x.dnd4e", "ignored"), QDir::toNativeSeparators("/abs/x.dnd4e"));
        QCOMPARE(Global::getRootedPath("rel/x.dnd4e"), QDir::toNativeSeparators("/data/rel/x.dnd4e"));
    }

    void firstStartCopiesTheDemonstrationData()
    {
        TemporaryHome home;
        RecordingUiHooks hooks;
        Global::initRootPath();
        QString expected = home.documents() + "/" + F;
        QCOMPARE(chosenRoot(), expected);
        QDir made(expected);
        QVERIFY(Global::isValidRootPath(made));
        QCOMPARE(Global::getPrettyRootPath(), QStandardPaths::displayName(QStandardPaths::DocumentsLocation) + QDir::separator() + F);
        QSettings settings;
        QCOMPARE(settings.value("dataDir/path").toString(), Global::getRootPath());
        QCOMPARE(settings.value("dataDir/display").toString(), Global::getPrettyRootPath());
        QCOMPARE(hooks.windowTitles, QStringList{"Ravelhorn DM's Display"});
        QVERIFY(hooks.alerts.isEmpty());
        // Files hidden by a leading dot are not copied.
        QVERIFY(!QFile::exists(expected + "/Monsters/.gitkeep"));
    }

    void rememberedFolderWithOneLibraryIsTaken()
    {
        TemporaryHome home;
        RecordingUiHooks hooks;
        // Empty library folders are taken as they are.
        hooks.badRootAnswer = 1;
        QString partial = home.makeFolder("Campaign", {"Monsters"});
        QSettings().setValue("dataDir/path", partial);
        QSettings().setValue("dataDir/display", "My campaign");
        Global::initRootPath();
        QCOMPARE(Global::getRootPath(), partial);
        QCOMPARE(Global::getPrettyRootPath(), QString("My campaign"));
        QCOMPARE(hooks.windowTitles, QStringList{"Ravelhorn - Campaign"});
        QVERIFY(!QDir(home.documents() + "/" + F).exists());
    }

    void rememberedFolderThatIsGoneMeansASearch()
    {
        TemporaryHome home;
        RecordingUiHooks hooks;
        // Empty library folders are taken as they are.
        hooks.badRootAnswer = 1;
        QSettings().setValue("dataDir/path", home.path() + "/gone");
        QString inHome = home.makeFolder(F, allFour);
        Global::initRootPath();
        QCOMPARE(Global::getRootPath(), inHome);
        QCOMPARE(Global::getPrettyRootPath(), QStandardPaths::displayName(QStandardPaths::HomeLocation) + QDir::separator() + F);
    }

    void searchOrderBesideTheApplicationFirst()
    {
        TemporaryHome home;
        RecordingUiHooks hooks;
        // Empty library folders are taken as they are.
        hooks.badRootAnswer = 1;
        home.makeFolder("Documents/" + F, allFour);
        QString besideApp = Global::getApplicationPath() + QDir::separator() + F;
        for (const QString& library : allFour)
            QVERIFY(QDir().mkpath(besideApp + "/" + library));
        Global::initRootPath();
        QString chosen = Global::getRootPath();
        QDir(besideApp).removeRecursively();
        QCOMPARE(chosen, QDir::toNativeSeparators(QDir(besideApp).absolutePath()));
    }

    void searchPassesOverIncompleteFolders()
    {
        TemporaryHome home;
        RecordingUiHooks hooks;
        // Empty library folders are taken as they are.
        hooks.badRootAnswer = 1;
        QString documents = home.makeFolder("Documents/" + F, {"Characters", "Monsters", "Encounters"});
        QVERIFY(TestSupport::writeFile(documents + "/Monsters/kept.monster", "mine"));
        QString data = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation) + "/" + F;
        for (const QString& library : allFour)
            QVERIFY(QDir().mkpath(data + "/" + library));
        Global::initRootPath();
        QCOMPARE(chosenRoot(), data);
        QDir(data).removeRecursively();

        // Without the one in the data folder the demonstration data fills the gaps.
        Global::initRootPath();
        QCOMPARE(chosenRoot(), home.documents() + "/" + F);
        QVERIFY(QDir(documents + "/Portraits").exists());
        QCOMPARE(TestSupport::readFile(documents + "/Monsters/kept.monster"), QByteArray("mine"));
    }

    void titleFollowsTheFolderName()
    {
        TemporaryHome home;
        RecordingUiHooks hooks;
        // Empty library folders are taken as they are.
        hooks.badRootAnswer = 1;
        Global::setRootPath(home.makeFolder("ravelhorn data", allFour), "");
        Global::setRootPath(home.makeFolder(F, allFour), "");
        QCOMPARE(hooks.windowTitles, (QStringList{"Ravelhorn - ravelhorn data", "Ravelhorn DM's Display"}));
        QCOMPARE(Global::getPrettyRootPath(), Global::getRootPath());
    }

    void copyDirNeverOverwrites()
    {
        TemporaryHome home;
        QString source = home.makeFolder("source", {"Monsters/Deep"});
        QVERIFY(TestSupport::writeFile(source + "/Monsters/orc.monster", "new orc"));
        QVERIFY(TestSupport::writeFile(source + "/Monsters/Deep/kobold.monster", "kobold"));
        QVERIFY(TestSupport::writeFile(source + "/.hidden", "secret"));
        QString target = home.makeFolder("target/copy", {"Monsters"});
        QVERIFY(TestSupport::writeFile(target + "/Monsters/orc.monster", "old orc"));

        QVERIFY(Global::copyDir(source, home.path() + "/target", "copy"));
        QCOMPARE(TestSupport::readFile(target + "/Monsters/orc.monster"), QByteArray("old orc"));
        QCOMPARE(TestSupport::readFile(target + "/Monsters/Deep/kobold.monster"), QByteArray("kobold"));
        QVERIFY(!QFile::exists(target + "/.hidden"));

        QVERIFY(!Global::copyDir(home.path() + "/nothing", home.path(), "copy2"));
        QVERIFY(!QDir(home.path() + "/copy2").exists());
    }

    void noResourceFolderMeansNoDataFolder()
    {
        TemporaryHome home;
        RecordingUiHooks hooks;
        QString resources = Global::getResourcePath();
        QVERIFY(!resources.isEmpty());
        QString moved = resources + "-moved";
        QVERIFY(QDir().rename(resources, moved));
        Global::initRootPath();
        QVERIFY(QDir().rename(moved, resources));
        QCOMPARE(Global::getRootPath(), QString());
        QVERIFY(hooks.windowTitles.isEmpty());
    }
};

RAVELHORN_TEST_MAIN(QCoreApplication, TestDataFolder)
#include "test_datafolder.moc"
