// The file name a character made from a builder file gets: free on disk and
// among the characters not yet saved, and never one the loader skips.
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include "library/characters.h"
#include "support/testsupport.h"
#include "support/testworld.h"

class TestImportedFileNames : public QObject
{
    Q_OBJECT

private slots:
    void freeName_data()
    {
        QTest::addColumn<QString>("importFile");
        QTest::addColumn<QStringList>("onDisk");
        QTest::addColumn<QStringList>("unsaved");
        QTest::addColumn<QString>("expected");

        QTest::newRow("the file's own name") << "builds/Hero.dnd4e" << QStringList() << QStringList() << "Hero.dnd4e";
        QTest::newRow("saved before") << "Hero.dnd4e" << QStringList{"Hero.dnd4e"} << QStringList() << "Hero_1.dnd4e";
        QTest::newRow("added before, not saved") << "/home/gm/Hero.dnd4e" << QStringList() << QStringList{"Hero.dnd4e"}
                                                 << "Hero_1.dnd4e";
        QTest::newRow("unsaved in another case") << "hero.dnd4e" << QStringList{"hero.dnd4e"}
                                                 << QStringList{"HERO_1.DND4E"} << "hero_2.dnd4e";
        QTest::newRow("a dot file") << "/tmp/.dnd4e" << QStringList() << QStringList() << "kael-imported.rvhn";
        QTest::newRow("a hidden file") << "/tmp/.hero.dnd4e" << QStringList() << QStringList() << "kael-imported.rvhn";
        QTest::newRow("a template") << "Templates.monster" << QStringList() << QStringList() << "kael-imported.rvhn";
        QTest::newRow("no extension") << "Hero" << QStringList() << QStringList() << "kael-imported.rvhn";
        // Its target on a drive not mounted: the link stays, the character goes beside it.
        QTest::newRow("a link to no file") << "Hero.dnd4e" << QStringList{"Hero.dnd4e@"} << QStringList()
                                           << "Hero_1.dnd4e";
        QTest::newRow("fallback taken as well") << "template.dnd4e" << QStringList{"kael-imported.rvhn"}
                                                << QStringList() << "kael-imported_1.rvhn";
    }
    void freeName()
    {
        QFETCH(QString, importFile);
        QFETCH(QStringList, onDisk);
        QFETCH(QStringList, unsaved);
        QFETCH(QString, expected);
        TestWorld world;
        // "name@" is a link to no file.
        const QString gone = Global::getCreaturePath("gone", false);
        for (const QString& name : onDisk)
            QVERIFY(name.endsWith('@') ? QFile::link(gone, Global::getCreaturePath(name.chopped(1), false))
                                       : TestSupport::writeFile(Global::getCreaturePath(name, false), "x"));
        for (const QString& name : unsaved)
            world.addHero("Other " + name, 10)->setFileName(name);
        Creature* character = world.addHero("Kael Imported", 20);
        character->setImportFile(importFile);
        // Its own file name is no other's.
        character->setFileName(expected);
        QCOMPARE(Global::characters->getImportedFileName(character), expected);
        QVERIFY(character->save());
        QVERIFY(TestSupport::readFile(Global::getCreaturePath(expected, false)).contains("Kael Imported"));
        QVERIFY(!QFileInfo::exists(gone));
    }
};

RAVELHORN_TEST_MAIN(QCoreApplication, TestImportedFileNames)
#include "test_importedfilenames.moc"
