#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>

#include <climits>
#include <csignal>

#include <sys/resource.h>

#include "foundation/global.h"
#include "library/encounterdata.h"
#include "library/monsters.h"
#include "support/testsupport.h"
#include "support/testworld.h"

namespace {

class PartyHooks : public RecordingUiHooks
{
public:
    int getPartySize() override { return partySize; }
    int partySize = 5;
};

QByteArray crlf(const QString& lines)
{
    return lines.toUtf8().replace("|", "\r\n");
}

// Loads the text as an encounter file of the test world's folder.
bool loadText(TestWorld& world, EncounterData& e, const QByteArray& text)
{
    TestSupport::writeFile(Global::getEncounterPath("e.txt", world.root()), text);
    return e.load("e.txt", world.root());
}

void addMonsters(EncounterData& e, const QString& spec)
{
    for (const QString& m : spec.split(';', Qt::SkipEmptyParts))
        e.addCreature({m.section('/', 0, 0), m.section('/', 1), QString(), false});
}

}

class TestEncounterData : public QObject
{
    Q_OBJECT

private:
    TemporaryHome home;
    PartyHooks hooks;

private slots:
    void fileRoundTrip()
    {
        TestWorld world;
        const QByteArray example = crlf("name=Bridge Ambush|adventure=River Crossing|description=Two archers on the far "
                                        "bank|level=3|xp=750|Bandit Archer=1,2|alias#2=The Scarred One|Wolf=A,B,C|"
                                        "hidden#C=true|");
        EncounterData e;
        QVERIFY(loadText(world, e, example));
        e.setFileName("e.txt");
        QCOMPARE(e.getFileText(true), example);
        QVERIFY(e.save());
        QCOMPARE(TestSupport::readFile(Global::getEncounterPath("e.txt")), example);
        e.adjustDirty();
        QVERIFY(!e.isDirty());
        hooks.partySize = 3;
        e.getLevel();
        e.adjustDirty();
        QVERIFY(!e.isDirty());
        e.getGroupCreature(1, 0)->hidden = true;
        e.adjustDirty();
        QVERIFY(e.isDirty());
    }

    void reading_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("no name") << "adventure=A|description=|Wolf=1|" << "";
        QTest::newRow("group line before the description")
            << "name=N|Wolf=1|description=D|Bat=1|" << "name=N|description=D|Bat=1|";
        QTest::newRow("empty and blank parts dropped")
            << "name=N|description=|Wolf=,A, ,,B|" << "name=N|description=|Wolf=A,B|";
        QTest::newRow("only the exact true hides") << "name=N|description=|Wolf=A,B|hidden#A=TRUE|hidden#B=true|"
                                                   << "name=N|description=|Wolf=A,B|hidden#B=true|";
        QTest::newRow("alias of a monster of another group")
            << "name=N|description=|Wolf=A|Bat=B|alias#A=Grey|" << "name=N|description=|Bat=B|Wolf=A|";
        QTest::newRow("a line starting with = ends the reading")
            << "name=N|description=|Wolf=A|=x|Bat=B|" << "name=N|description=|Wolf=A|";
        QTest::newRow("escaped signs in a template name")
            << "name=N|description=|\\#Rat \\= Swarm\\\\=1|alias#1=R|" << "name=N|description=|\\#Rat \\= Swarm\\\\=1|alias#1=R|";
        QTest::newRow("older files split at the first sign")
            << "name=N|description=|Rat\\\\=1,2|" << "name=N|description=|Rat\\\\=1,2|";
        QTest::newRow("IDs that sort alike keep their order")
            << "name=N|description=|Wolf=A000,A,B|" << "name=N|description=|Wolf=A000,A,B|";
        QTest::newRow("an ID twice is one monster")
            << "name=N|description=|Wolf=A,A,B|alias#A=Grey|alias#A=Dun|" << "name=N|description=|Wolf=A,B|alias#A=Dun|";
        QTest::newRow("binary") << QString::fromLatin1("\x01\xff=\x00", 4) << "";
    }

    void reading()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        TestWorld world;
        EncounterData e;
        QCOMPARE(loadText(world, e, crlf(text)), !expected.isEmpty());
        if (!expected.isEmpty())
            QCOMPARE(e.getFileText(false), crlf(expected));
    }

    // Template names and IDs a game master could type: saved and read back exactly, every monster with an
    // alias and hidden, and the text the same on every save.
    void namesRoundTrip_data()
    {
        QTest::addColumn<QStringList>("monsters");
        QTest::newRow("letter case alone") << QStringList{"Wolf/1", "wolf/1", "Wolf/2", "wolf/3", "WOLF/2"};
        for (const char* key : {"name", "description", "adventure", "level", "xp", "alias#1", "hidden#x"})
            QTest::newRow(key) << QStringList{QString(key) + "/1", "Wolf/2"};
        QTest::newRow("signs of the format") << QStringList{"#Rat=Swarm/a=b", "Rat\\/\\1", "Bat/1,2", "Bat/3\\,",
                                                             "\\name/#", "=/=", "Orc\\/alias#1"};
    }

    void namesRoundTrip()
    {
        QFETCH(QStringList, monsters);
        TestWorld world;
        EncounterData e;
        e.setName("Crossing");
        for (const QString& spec : monsters)
            e.addCreature({spec.section('/', 0, 0), spec.section('/', 1), "Alias of " + spec, true});
        QVERIFY(e.save());
        EncounterData back;
        QVERIFY(back.load(e.getFileName(), ""));
        QCOMPARE(back.getName(), QString("Crossing"));
        QStringList read;
        for (int i = 0; i < back.getMonsterCount(); i++) {
            const EncounterMonster m = back.getMonster(i);
            QCOMPARE(m.alias, "Alias of " + m.name + "/" + m.id);
            QVERIFY(m.hidden);
            read.append(m.name + "/" + m.id);
        }
        std::sort(monsters.begin(), monsters.end());
        std::sort(read.begin(), read.end());
        QCOMPARE(read, monsters);
        QCOMPARE(back.getGroupCount(), e.getGroupCount());
        QCOMPARE(back.getFileText(true), e.getFileText(true));
    }

    void namingAFileOnItsFirstSave_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("fileName");
        QTest::newRow("clash") << "Orc Camp #2!" << "orc-camp-2_2.txt";
        QTest::newRow("signs only") << "#!?" << "encounter.txt";
        // Its target on a drive not mounted: the link stays, the encounter goes beside it.
        QTest::newRow("a link to no file") << "Lost Camp" << "lost-camp_1.txt";
        QTest::newRow("over-long") << QString(300, QChar(0x00e9)) << QString(100, QChar(0x00e9)) + ".txt";
    }

    void namingAFileOnItsFirstSave()
    {
        QFETCH(QString, name);
        QFETCH(QString, fileName);
        TestWorld world;
        for (const char* taken : {"orc-camp-2.txt", "orc-camp-2_1.txt"})
            TestSupport::writeFile(Global::getEncounterPath(taken), "x");
        const QString gone = Global::getEncounterPath("gone"), link = Global::getEncounterPath("lost-camp.txt");
        QVERIFY(QFile::link(gone, link));
        EncounterData e;
        e.setName(name);
        QVERIFY(e.save());
        QCOMPARE(e.getFileName(), fileName);
        QVERIFY(QFileInfo(link).isSymLink() && !QFileInfo::exists(gone));
        EncounterData back;
        QVERIFY(back.load(fileName, ""));
        QCOMPARE(back.getName(), name);
    }

    void groupingAndRenaming()
    {
        TestWorld world;
        EncounterData e;
        // Names that differ in case alone are two groups, each in one run.
        addMonsters(e, "Goblin/X10;Goblin/X2;goblin/X3");
        QCOMPARE(e.getGroupCount(), 2);
        QCOMPARE(e.getMonster(1).id, QString("X10"));
        int group = 0, index = 0;
        QVERIFY(!e.getGroupCreaturePos({"Goblin", "X11"}, group, index));
        QCOMPARE(QPair(group, index), QPair(0, 2));
        QVERIFY(!e.getGroupCreaturePos({"goblin", "X1"}, group, index));
        QCOMPARE(QPair(group, index), QPair(1, 0));
        QVERIFY(e.getGroupCreaturePos({"GOBLIN", "X1"}, group, index));
        QCOMPARE(QPair(group, index), QPair(0, 0));
        QVERIFY(e.getGroupCreaturePos({"Bat", "1"}, group, index));
        QCOMPARE(QPair(group, index), QPair(0, 0));

        EncounterData wolves;
        addMonsters(wolves, "Wolf/A;Wolf/B;Dire Wolf/C;Bat/1");
        wolves.getGroupCreature(2, 0)->alias = "Grey";
        int oldGroup = 0, newGroup = 0;
        wolves.renameGroup("Wolf", "Dire Wolf", oldGroup, newGroup);
        QCOMPARE(QPair(oldGroup, newGroup), QPair(2, 1));
        QCOMPARE(wolves.getFileText(false), crlf("name=|description=|Bat=1|Dire Wolf=A,B,C|alias#A=Grey|"));
    }

    void newIds_data()
    {
        QTest::addColumn<QString>("present");
        QTest::addColumn<QString>("templateName");
        QTest::addColumn<QString>("prefix");
        QTest::addColumn<int>("scheme");
        QTest::addColumn<bool>("perEncounter");
        QTest::addColumn<QString>("ids");
        QTest::newRow("decimal, after the last") << "Wolf/1;Wolf/3" << "Wolf" << "" << 0 << false << "4,5";
        QTest::newRow("letters") << "Wolf/Y" << "Wolf" << "" << 1 << false << "Z,a,b";
        QTest::newRow("letters, then numbers") << "Wolf/z" << "Wolf" << "" << 1 << false << "0,1";
        QTest::newRow("prefix of the second word") << "" << "Orc Raider" << "" << 2 << false << "R1,R2";
        QTest::newRow("prefix taken: initials") << "Bat/R1" << "Orc Raider" << "" << 2 << false << "OR1";
        QTest::newRow("initials taken: next letter") << "Bat/R1;Rat/OR1" << "Orc Raider" << "" << 2 << false << "S1";
        QTest::newRow("caller's prefix") << "" << "Goblin" << "G" << 2 << false << "G,G2";
        QTest::newRow("caller's prefix, letters") << "Goblin/G" << "Goblin" << "G" << 1 << false << "H";
        QTest::newRow("per encounter") << "Wolf/1" << "Bat" << "" << 0 << true << "2";
        QTest::newRow("per group") << "Wolf/1" << "Bat" << "" << 0 << false << "1";
    }

    void newIds()
    {
        QFETCH(QString, present);
        QFETCH(QString, templateName);
        QFETCH(QString, prefix);
        QFETCH(int, scheme);
        QFETCH(bool, perEncounter);
        QFETCH(QString, ids);
        EncounterData e;
        addMonsters(e, present);
        QStringList made;
        for (int i = 0; i < ids.count(',') + 1; i++) {
            int used = scheme;
            made.append(e.getNewUniqueName(templateName, prefix, used, perEncounter));
            e.addCreature({templateName, made.last(), QString(), false});
        }
        QCOMPARE(made.join(','), ids);
        QString digits;
        QCOMPARE(splitID("A1B1", digits) + "|" + digits, QString("A|1"));
    }

    void levelAndXP_data()
    {
        QTest::addColumn<int>("partySize");
        QTest::addColumn<qint64>("xp");
        QTest::addColumn<int>("level");
        for (auto [size, xp, level] : QList<std::tuple<int, qint64, int>>{{5, 624, 1}, {5, 625, 2}, {5, 750, 3},
                                                                         {5, 555000, 40}, {1, 99, 1}, {1, 125, 2},
                                                                         {12, 1200, 1}, {12, 7200, 11},
                                                                         {12, 5000000000LL, 40}})
            QTest::newRow(qPrintable(QString("%1 for %2").arg(xp).arg(size))) << size << xp << level;
    }

    void levelAndXP()
    {
        QFETCH(int, partySize);
        QFETCH(qint64, xp);
        QFETCH(int, level);
        TestWorld world;
        hooks.partySize = partySize;
        const qint64 total = xp;
        EncounterData e;
        // Monsters worth up to a billion each, and one whose template is missing.
        addMonsters(e, "Missing/1");
        for (int i = 0; xp > 0; i++) {
            Creature* base = world.addMonster(QString("T%1").arg(i), "1", 10);
            CreatureStats stats = Global::monsters->findTemplate(base->getGroup())->getStats();
            stats.xp = int(qMin<qint64>(xp, 1000000000));
            xp -= stats.xp;
            Global::monsters->findTemplate(base->getGroup())->setStats(stats);
            e.addCreature({base->getGroup(), "1", QString(), false});
        }
        QCOMPARE(e.getLevel(), level);
        // Summed past what an int holds, the XP stops at the most it can show.
        QCOMPARE(qint64(e.getXP()), qMin<qint64>(total, INT_MAX));
    }

    // A save that fails on the way, here at a size limit of the process, leaves the file as it was and the
    // encounter unsaved.
    void failedSaveKeepsTheFile()
    {
        TestWorld world;
        EncounterData e;
        e.setName("Crossing");
        addMonsters(e, "Wolf/1");
        QVERIFY(e.save());
        const QString path = Global::getEncounterPath(e.getFileName());
        const QByteArray before = TestSupport::readFile(path);
        addMonsters(e, "Wolf/2;Wolf/3;Bandit Archer/1");
        e.adjustDirty();
        QVERIFY(e.isDirty());
        rlimit limit;
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &limit), 0);
        const rlimit small{rlim_t(before.size() / 2), limit.rlim_max};
        const auto previous = std::signal(SIGXFSZ, SIG_IGN);
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        const bool saved = e.save();
        setrlimit(RLIMIT_FSIZE, &limit);
        std::signal(SIGXFSZ, previous);
        QVERIFY(!saved);
        QCOMPARE(TestSupport::readFile(path), before);
        e.adjustDirty();
        QVERIFY(e.isDirty());
        QVERIFY(e.save());
        QCOMPARE(TestSupport::readFile(path), e.getFileText(true));
    }
};

RAVELHORN_TEST_MAIN(QGuiApplication, TestEncounterData)
#include "test_encounterdata.moc"
