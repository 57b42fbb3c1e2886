#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QSignalSpy>
#include <QTemporaryDir>

#include "creature/creature.h"
#include "foundation/global.h"
#include "support/testsupport.h"

namespace {

// A data folder with a "Portraits" folder, and a folder outside it.
class DataFolder
{
public:
    DataFolder() { QDir().mkpath(portraits()); }

    QString root() const { return QDir::toNativeSeparators(dir.filePath("data")); }
    QString portraits() const { return dir.filePath("data/Portraits/"); }
    QString outside(const QString& relative) const { return dir.filePath("outside/" + relative); }

    // An entry of the form "path=bytes" is a file, "path/" a folder.
    void addEntries(const QString& base, const QStringList& entries) const
    {
        for (const QString& entry : entries) {
            if (entry.endsWith('/')) {
                QDir().mkpath(base + entry);
            } else {
                QString path = base + Global::left(entry, "=");
                QDir().mkpath(Global::lastLeft(path, "/"));
                TestSupport::writeFile(path, Global::right(entry, "=").toUtf8());
            }
        }
    }

    // The files below "Portraits", as relative paths.
    QStringList portraitFiles() const
    {
        QStringList files;
        QDirIterator it(portraits(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext())
            files.append(it.next().mid(portraits().length()));
        files.sort();
        return files;
    }

private:
    QTemporaryDir dir;
};

void writeImage(const QString& path, int width)
{
    QDir().mkpath(Global::lastLeft(path, "/"));
    QImage image(width, 3, QImage::Format_RGB32);
    image.fill(Qt::darkGreen);
    QVERIFY(image.save(path, "PNG"));
}

}

class TestPortraits : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        Creature::rootChanged();
    }

    void cleanup()
    {
        Global::nativeRootPath.clear();
    }

    void findsDepthFirstByName_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QString>("expected");

        QTest::newRow("case-insensitive folder order") << "" << "x.png" << "alpha/sub/x.png";
        QTest::newRow("folders not put first") << "" << "y.png" << "m/y.png";
        QTest::newRow("top file") << "" << "z.png" << "z.png";
        QTest::newRow("given folder") << "Zeta/" << "x.png" << "Zeta/x.png";
        QTest::newRow("names compared with case") << "" << "X.png" << "";
        QTest::newRow("hidden folder") << "" << "h.png" << "";
        QTest::newRow("hidden file") << "" << ".h.png" << "";
        QTest::newRow("folder is no file") << "" << "Zeta" << "";
        QTest::newRow("absent") << "" << "none.png" << "";
    }

    void findsDepthFirstByName()
    {
        QFETCH(QString, folder);
        QFETCH(QString, fileName);
        QFETCH(QString, expected);

        DataFolder data;
        data.addEntries(data.portraits(), {"Zeta/x.png=1", "alpha/sub/x.png=2", "beta/x.png=3", "y.png=4",
                                           "m/y.png=5", "z.png=6", ".hidden/h.png=7", ".h.png=8", "s/.h.png=9"});
        if (!folder.isEmpty())
            folder = QDir::toNativeSeparators(data.portraits() + folder);
        QCOMPARE(Creature::findPortraitFile(folder, fileName, data.root()), expected);
    }

    void linkLoopsEnd()
    {
        DataFolder data;
        data.addEntries(data.portraits(), {"a/", "b/x.png=1"});
        data.addEntries(data.outside(""), {"e.png=2"});
        QVERIFY(QFile::link(data.portraits(), data.portraits() + "a/loop"));
        QVERIFY(QFile::link(data.portraits() + "a", data.portraits() + "a/self"));
        // A link to a folder outside the tree is searched like any other.
        QVERIFY(QFile::link(data.outside(""), data.portraits() + "c"));

        QCOMPARE(Creature::findPortraitFile(QString(), "x.png", data.root()), QString("b/x.png"));
        QCOMPARE(Creature::findPortraitFile(QString(), "e.png", data.root()), QString("c/e.png"));
        QCOMPARE(Creature::findPortraitFile(QString(), "none.png", data.root()), QString());
    }

    void loadsPortraits_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("width");

        QTest::newRow("where stored") << "a/p.png" << 5;
        QTest::newRow("moved to another folder") << "old/q.png" << 7;
        QTest::newRow("bare name") << "q.png" << 7;
        QTest::newRow("not an image") << "bad.png" << 0;
        QTest::newRow("absent") << "a/none.png" << 0;
        QTest::newRow("none") << "" << 0;
    }

    void loadsPortraits()
    {
        QFETCH(QString, stored);
        QFETCH(int, width);

        DataFolder data;
        writeImage(data.portraits() + "a/p.png", 5);
        writeImage(data.portraits() + "new/q.png", 7);
        data.addEntries(data.portraits(), {"bad.png=garbage"});
        QPixmap portrait = Creature::loadPortrait(stored, data.root());
        QCOMPARE(portrait.width(), width);
        QCOMPARE(portrait.isNull(), width == 0);
    }

    void setPortraitFileKeepsTheStoredName()
    {
        DataFolder data;
        Global::nativeRootPath = data.root();
        writeImage(data.portraits() + "new/q.png", 7);
        Creature creature;
        QSignalSpy updated(&creature, &Creature::doCreatureUpdated);
        creature.setPortraitFile("old/q.png");
        QCOMPARE(creature.getPortraitFile(), QString("old/q.png"));
        QCOMPARE(creature.getPortrait().width(), 7);
        QCOMPARE(updated.count(), 1);

        creature.setPortraitFile(QString());
        QVERIFY(creature.getPortrait().isNull());
    }

    void grabsChosenFiles_data()
    {
        QTest::addColumn<QStringList>("existing");
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QStringList>("filesAfter");

        const QString orc = "outside:orc.png";
        QTest::newRow("inside a sub-folder")
            << QStringList{"sub/p.png=P"} << "portraits:sub/p.png" << "sub/p.png" << QStringList{"sub/p.png"};
        QTest::newRow("new name")
            << QStringList{"sub/p.png=P"} << orc << "orc.png" << QStringList{"orc.png", "sub/p.png"};
        QTest::newRow("same name and bytes")
            << QStringList{"sub/orc.png=ORC"} << orc << "sub/orc.png" << QStringList{"sub/orc.png"};
        QTest::newRow("same name, other bytes")
            << QStringList{"sub/orc.png=ELF"} << orc << "orc-2.png" << QStringList{"orc-2.png", "sub/orc.png"};
        QTest::newRow("numbered names taken")
            << QStringList{"orc.png=ELF", "x/orc-2.png=DWARF"} << orc << "orc-3.png"
            << QStringList{"orc-3.png", "orc.png", "x/orc-2.png"};
        QTest::newRow("copied before")
            << QStringList{"orc.png=ELF", "orc-2.png=ORC"} << orc << "orc-2.png" << QStringList{"orc-2.png", "orc.png"};
        QTest::newRow("folder of that name")
            << QStringList{"orc.png/"} << orc << "orc-2.png" << QStringList{"orc-2.png"};
        QTest::newRow("hidden file of that name")
            << QStringList{".orc.png=ELF"} << "outside:.orc.png" << ".orc-2.png" << QStringList{".orc-2.png", ".orc.png"};
        QTest::newRow("no such file")
            << QStringList{"orc.png=ELF"} << "outside:ghost.png" << "" << QStringList{"orc.png"};
    }

    void grabsChosenFiles()
    {
        QFETCH(QStringList, existing);
        QFETCH(QString, chosen);
        QFETCH(QString, expected);
        QFETCH(QStringList, filesAfter);

        DataFolder data;
        data.addEntries(data.portraits(), existing);
        data.addEntries(data.outside(""), {"orc.png=ORC", ".orc.png=ORC"});
        QString base = chosen.startsWith("outside:") ? data.outside("") : data.portraits();
        QString file = QDir::toNativeSeparators(base + Global::right(chosen, ":"));

        QCOMPARE(Creature::grabPortraitFile(file, data.root()), expected);
        QCOMPARE(data.portraitFiles(), filesAfter);
        if (!expected.isEmpty())
            QCOMPARE(TestSupport::readFile(data.portraits() + expected), TestSupport::readFile(file));
    }

    void failedCopyGivesNoName()
    {
        DataFolder data;
        QString noPortraits = data.outside("empty-root");
        QDir().mkpath(noPortraits);
        data.addEntries(data.outside(""), {"orc.png=ORC"});
        QCOMPARE(Creature::grabPortraitFile(data.outside("orc.png"), noPortraits), QString());
    }

    void dialogRemembersItsFolderUntilTheDataFolderChanges()
    {
        RecordingUiHooks hooks;
        DataFolder first;
        DataFolder second;
        first.addEntries(first.outside("pics/"), {"orc.png=ORC"});
        const QString sep = QDir::separator();
        Global::nativeRootPath = first.root();

        // Cancelled: nothing chosen, the folder stays.
        QCOMPARE(Creature::selectPortraitFile(), QString());
        QCOMPARE(hooks.openFileFolders.last(), Global::getPortraitPath(QString()));
        QVERIFY(hooks.openFileFolders.last().endsWith(sep));

        // A failed choice keeps the folder too.
        hooks.openFileAnswer = QDir::toNativeSeparators(first.outside("pics/ghost.png"));
        QCOMPARE(Creature::selectPortraitFile(), QString());
        QCOMPARE(Creature::portraitDirectory, Global::getPortraitPath(QString()));

        hooks.openFileAnswer = QDir::toNativeSeparators(first.outside("pics/orc.png"));
        QCOMPARE(Creature::selectPortraitFile(), QString("orc.png"));
        QCOMPARE(first.portraitFiles(), QStringList{"orc.png"});
        hooks.openFileAnswer.clear();
        Creature::selectPortraitFile();
        QCOMPARE(hooks.openFileFolders.last(), QDir::toNativeSeparators(first.outside("pics")) + sep);

        Global::nativeRootPath = second.root();
        Creature::rootChanged();
        Creature::selectPortraitFile();
        QCOMPARE(hooks.openFileFolders.last(), Global::getPortraitPath(QString(), second.root()));
        QCOMPARE(hooks.openFileFolders.size(), 5);
    }
};

RAVELHORN_TEST_MAIN(QGuiApplication, TestPortraits)
#include "test_portraits.moc"
