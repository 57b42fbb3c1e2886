#include <QDir>
#include <QGuiApplication>
#include <QXmlStreamReader>

#include <sys/stat.h>

#include "creature/creature.h"
#include "encounter/encounter.h"
#include "encounter/history.h"
#include "encounter/restevents.h"
#include "foundation/global.h"
#include "library/characters.h"
#include "library/monsters.h"
#include "support/testsupport.h"
#include "support/testworld.h"

namespace {

const QByteArray vex = "name=Vex\nclass=Fighter\nrace=Human\nrole=Defender\nlevel=2\nhit-points=30\nsurge-value=7\n"
                       "healing-surges=9\nspeed=6\naction-points=1\nalignment=Good\n";
const QByteArray monsterXml = "<?xml version=\"1.0\"?>\n<Monster xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
                              "xsi:type=\"Monster\">\n  <Name>Orc</Name>\n</Monster>\n";
const QByteArray characterXml = "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<D20Character>\n"
                                "  <CharacterSheet>\n    <Details/>\n  </CharacterSheet>\n</D20Character>\n";

QString creaturePath(const QString& file, bool monster = false)
{
    return Global::getCreaturePath(file, monster);
}

Creature* loaded(const QString& file, bool monster = false)
{
    auto* creature = new Creature;
    if (!creature->load(file, monster, QString(), nullptr, nullptr))
        qWarning() << "not loaded:" << file;
    return creature;
}

Creature* withText(bool monster, const QString& name, const QByteArray& text)
{
    CreatureStats stats;
    stats.monster = monster;
    (monster ? stats.group : stats.name) = name;
    stats.statBlock = QString::fromUtf8(text);
    auto* creature = new Creature;
    creature->setStats(stats);
    return creature;
}

QString summary(Creature* c)
{
    QStringList powers;
    for (CreaturePower* power : c->getPowers().getPowerList(true))
        powers << power->name;
    return QStringList{c->isMonster() ? c->getGroup() : c->getName(), c->getClass(), c->getRace(),
                       QString::number(c->getLevel()), c->getStats().alignment, powers.join(",")}
        .join("|");
}

}

class TestCreatureFiles : public QObject
{
    Q_OBJECT

private slots:
    void init() { world = std::make_unique<TestWorld>(); }
    void cleanup() { world.reset(); }

    void namesOfNewFiles_data()
    {
        QTest::addColumn<bool>("monster");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QStringList>("existing");
        QTest::addColumn<QString>("expected");
        const QString long250 = QString(125, QChar(0xe9));
        QTest::newRow("plain") << false << "Sir Robin the Brave" << vex << QStringList() << "sir-robin-the-brave.rvhn";
        QTest::newRow("clash") << false << "Sir Robin the Brave" << vex
                               << QStringList{"sir-robin-the-brave.rvhn", "sir-robin-the-brave_1.rvhn"}
                               << "sir-robin-the-brave_2.rvhn";
        QTest::newRow("pasted") << true << "Goblin Sharpshooter (Level 2)" << QByteArray("Goblin\nHP 5\n")
                                << QStringList() << "goblin-sharpshooter-level-2.rvhn";
        QTest::newRow("monster xml") << true << "Orc" << monsterXml << QStringList() << "orc.monster";
        QTest::newRow("character xml with declaration") << false << "Orc" << characterXml << QStringList() << "orc.dnd4e";
        QTest::newRow("control characters") << false << "Tab\tLine\nEnd" << vex << QStringList() << "tab-line-end.rvhn";
        QTest::newRow("other script") << false << QString::fromUtf8("Ærin 𝔅") << vex << QStringList()
                                      << QString::fromUtf8("ærin-𝔅.rvhn");
        QTest::newRow("punctuation only") << false << "?!" << vex << QStringList() << "character.rvhn";
        QTest::newRow("template") << true << "Template Golem" << QByteArray("x") << QStringList()
                                  << "my-template-golem.rvhn";
        QTest::newRow("too long") << false << QString(300, QChar(0xe9)) << vex << QStringList() << long250 + ".rvhn";
        QTest::newRow("too long, clash") << false << QString(300, QChar(0xe9)) << vex
                                         << QStringList{long250 + ".rvhn"} << long250.chopped(1) + "_1.rvhn";
    }

    void namesOfNewFiles()
    {
        QFETCH(bool, monster);
        QFETCH(QString, name);
        QFETCH(QByteArray, text);
        QFETCH(QStringList, existing);
        QFETCH(QString, expected);
        for (const QString& file : existing)
            QVERIFY(TestSupport::writeFile(creaturePath(file, monster), "x"));
        std::unique_ptr<Creature> creature(withText(monster, name, text));
        QVERIFY(creature->save());
        QCOMPARE(creature->getFileName(), expected);
        // The next start finds it.
        QVERIFY(std::unique_ptr<Creature>(loaded(expected, monster))->getFileName() == expected);
    }

    void attributeFormNeedsThreeLeadingPairs()
    {
        QVERIFY(!Creature::isAttributes(QByteArray("a=1\nb=2\n")));
        QVERIFY(Creature::isAttributes(QByteArray("a=1\nb=2\nc=3\n")));
        QVERIFY(!Creature::isAttributes(QByteArray("name=Bob\n# note\nclass=Fighter\nrace=Elf\n")));
        QVERIFY(Creature::isAttributes(QByteArray("name=Bob\nclass=Fighter\nrace=Elf\n# note\n")));
        QVERIFY(!Creature::isAttributes(QByteArray("name=Bob\nLevel=3\nrace=Elf\nclass=Fighter\n")));
    }

    void filesRoundTrip_data()
    {
        QTest::addColumn<bool>("monster");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("expected");
        const QByteArray power = "power=Rune\nuser=yes\ndescription=Ends with ]]> and \\\\n\nhit-step=damage\ndice=1d6\n";
        QTest::newRow("attribute form") << false << vex + power << "Vex|Fighter|Human|2|Good|Rune";
        QTest::newRow("escapes and UTF-8") << false << QByteArray("name=Zoë \\\\ Quill\nclass=Fighter\\nWarlord\nrace=Elf\nlevel=1\n")
                                           << "Zoë \\ Quill|Fighter\nWarlord|Elf|1||";
        QTest::newRow("70 characters") << false << "name=" + QByteArray(70, 'a') + "\nclass=x\nlevel=1\n"
                                       << QString(70, 'a') + "|x||1||";
        // Named after its file, but nothing of the text is lost.
        QTest::newRow("71 characters") << false << "name=" + QByteArray(71, 'a') + "\nclass=x\nlevel=1\n"
                                       << "first.rvhn|||0||";
        QTest::newRow("pasted monster") << true << QByteArray("Orc Raider Level 3 Brute\nMedium natural humanoid XP 150\n"
                                                   "HP 50; Bloodied 25\nAC 15; Fortitude 16, Reflex 13, Will 12\n"
                                                   "Speed 6\n\n[Tallowmere]\nportrait=orc.png\n") + power
                                        << "Orc Raider|||3||Rune";
    }

    void filesRoundTrip()
    {
        QFETCH(bool, monster);
        QFETCH(QByteArray, text);
        QFETCH(QString, expected);
        QVERIFY(TestSupport::writeFile(creaturePath("first.rvhn", monster), text));
        std::unique_ptr<Creature> first(loaded("first.rvhn", monster));
        QCOMPARE(summary(first.get()), expected);
        QVERIFY(first->isBroken() || first->rebuildStatBlock(first->getStatBlock(), false) == first->getStatBlock());
        first->setFileName(QString());
        QVERIFY(first->save());
        const QByteArray saved = TestSupport::readFile(creaturePath(first->getFileName(), monster));
        QCOMPARE(saved.count('\n'), saved.count("\r\n"));
        std::unique_ptr<Creature> second(loaded(first->getFileName(), monster));
        QCOMPARE(second->getStatBlock(), first->getStatBlock());
        QVERIFY(!second->getStatBlock().contains('\r'));
        QVERIFY(second->save());
        QCOMPARE(TestSupport::readFile(creaturePath(first->getFileName(), monster)), saved);
    }

    void xmlSectionPlacement_data()
    {
        QTest::addColumn<QByteArray>("xml");
        QTest::addColumn<QString>("after");
        QTest::addColumn<QByteArray>("withoutSection");
        const QByteArray orc = "<Monster xsi:type=\"Monster\">\n  <Name>Orc</Name>";
        // The byte order mark goes when the text is decoded.
        QTest::newRow("character with declaration and BOM") << characterXml << "<CharacterSheet>" << characterXml.mid(3);
        QTest::newRow("monster") << monsterXml << "xsi:type=\"Monster\">" << monsterXml;
        QTest::newRow("section replaced")
            << QByteArray(monsterXml).replace("  <Name>", "  <Tallowmere><![CDATA[old]]></Tallowmere>\n  <Name>")
            << "xsi:type=\"Monster\">" << monsterXml;
        QTest::newRow("portrait element replaced")
            << QByteArray(monsterXml).replace("<Name>Orc</Name>", "<PortraitFile>o.png</PortraitFile>")
            << "xsi:type=\"Monster\">" << QByteArray(monsterXml).replace("\n  <Name>Orc</Name>", "");
        QTest::newRow("stray start tags lose nothing") << orc + "<Tallowmere>x<PortraitFile>" << "<Name>Orc</Name>"
                                                       << orc + "<Tallowmere>x<PortraitFile>";
    }

    void xmlSectionPlacement()
    {
        QFETCH(QByteArray, xml);
        QFETCH(QString, after);
        QFETCH(QByteArray, withoutSection);
        const QString section = "name=A ]]> B </Tallowmere>\nclass=Zoë\n";
        const QString text = QString::fromUtf8(xml);
        const QString placed = Creature::addMyDataToStatBlock(text, section, false);
        QVERIFY(placed.contains(after + "\n  <Tallowmere><![CDATA["));
        QCOMPARE(Creature::addMyDataToStatBlock(placed, section, false), placed);
        QCOMPARE(Creature::addMyDataToStatBlock(placed, QString(), false).toUtf8(), withoutSection);
        if (!text.contains("<Tallowmere>x"))
            QCOMPARE(sectionOf(placed), section);
    }

    void failedSavesKeepFileAndFlags()
    {
        // As root, permissions stop nothing: a folder stands where the file goes.
        std::unique_ptr<Creature> fresh(withText(false, "Kit", vex));
        fresh->setNew(true);
        fresh->setFileName("kit.rvhn");
        QVERIFY(QDir().mkpath(creaturePath("kit.rvhn")));
        QVERIFY(!fresh->save());
        QVERIFY(fresh->isNew());
        QVERIFY(QFileInfo(creaturePath("kit.rvhn")).isDir());

        // A file stands where the folder goes.
        std::unique_ptr<Creature> monster(withText(true, "Orc", "Orc\nHP 5\n"));
        QVERIFY(monster->save());
        const QByteArray before = TestSupport::readFile(creaturePath("orc.rvhn", true));
        monster->setPortraitFile("orc.png");
        monster->dirtyStateHasChanged();
        QVERIFY(monster->isDirty());
        const QString folder = QFileInfo(creaturePath("orc.rvhn", true)).path();
        QVERIFY(QDir().rename(folder, folder + ".kept"));
        QVERIFY(TestSupport::writeFile(folder, "not a folder"));
        QVERIFY(!monster->save());
        QVERIFY(monster->isDirty());
        QVERIFY(QFile::remove(folder) && QDir().rename(folder + ".kept", folder));
        QCOMPARE(TestSupport::readFile(creaturePath("orc.rvhn", true)), before);
    }

    void onlyBoundedRegularFilesAreRead()
    {
        QByteArray text = "untouched";
        const QString fifo = creaturePath("pipe.rvhn");
        QCOMPARE(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        QVERIFY(!Creature::readCreatureFile(fifo, text));
        QFile huge(creaturePath("huge.rvhn"));
        QVERIFY(huge.open(QIODevice::WriteOnly) && huge.resize(17 * 1024 * 1024));
        huge.close();
        QVERIFY(!Creature::readCreatureFile(huge.fileName(), text));
        QCOMPARE(text, QByteArray("untouched"));
    }

    void importMerges_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<bool>("reimport");
        QTest::addColumn<bool>("result");
        QTest::addColumn<QString>("expected");
        QTest::newRow("missing figures kept") << QByteArray("name=Vex\nlevel=3\nrace=Dwarf\n") << true << true
                                              << "Vex|Fighter|Dwarf|3|Good|Shield Rune";
        QTest::newRow("Unaligned kept out") << QByteArray("name=Vex\nlevel=3\nalignment=Unaligned\n") << true << true
                                            << "Vex|Fighter|Human|3|Good|Shield Rune";
        QTest::newRow("unaligned taken") << QByteArray("name=Vex\nlevel=3\nalignment=unaligned\n") << false << true
                                         << "Vex|Fighter|Human|3|unaligned|Shield Rune";
        QTest::newRow("file powers merged") << QByteArray("name=Vex\nlevel=3\npower=Strike\nheader=h\n") << true << true
                                            << "Vex|Fighter|Human|3|Good|Shield Rune,Strike";
        QTest::newRow("unique name") << QByteArray("name=Rogue\nlevel=3\nrace=Human\n") << false << true
                                     << "Rogue 3|Fighter|Human|3|Good|Shield Rune";
        QTest::newRow("unusable on re-import") << QByteArray("name=\nclass=x\nspeed=5\n") << true << false
                                               << "Vex|Fighter|Human|2|Good|Old Strike,Shield Rune";
        QTest::newRow("unusable on first import") << QByteArray("name=\nclass=x\nspeed=5\n") << false << true
                                                  << "builder.rvhn|Fighter|Human|2|Good|Shield Rune";
    }

    void importMerges()
    {
        QFETCH(QByteArray, file);
        QFETCH(bool, reimport);
        QFETCH(bool, result);
        QFETCH(QString, expected);
        for (const char* name : {"rogue", "Rogue 2"})
            Global::characters->addCharacter(withText(false, name, vex));
        QVERIFY(TestSupport::writeFile(Global::getRootedPath("builder.rvhn"), file));
        std::unique_ptr<Creature> hero(
            withText(false, "Vex", vex + "power=Old Strike\nheader=x\npower=Shield Rune\nuser=yes\nheader=y\n"));
        CreatureStats stats;
        Creature::parseStatBlock(false, hero->getStatBlock(), stats, QString(), QString(), false);
        hero->setStats(stats);
        QCOMPARE(hero->importFromFile("builder.rvhn", reimport), result);
        QCOMPARE(summary(hero.get()), expected);
    }

    void linkedHeroRefreshedThroughTheLog_data()
    {
        QTest::addColumn<QByteArray>("builder");
        QTest::newRow("attribute form") << vex;
        QTest::newRow("pasted text") << QByteArray("Vex Level 2 Defender\nHP 30; Bloodied 15\nAC 17; Fortitude 15, "
                                                   "Reflex 12, Will 12\nSpeed 6\n");
    }

    void linkedHeroRefreshedThroughTheLog()
    {
        QFETCH(QByteArray, builder);
        const QString builderPath = Global::getRootedPath("vex.txt");
        QVERIFY(TestSupport::writeFile(builderPath, builder));
        auto* hero = new Creature;
        hero->setupDummyHero("New Character");
        QVERIFY(hero->importFromFile("vex.txt", false));
        hero->setLinked(true, false);
        QVERIFY(hero->save());
        hero->takeExtendedRest(false, false);
        hero->setBeforeVitality(hero->getVitality());
        Global::characters->addCharacter(hero);
        Global::encounter->setCreatureList(CreatureList({hero}));

        hero->setCurrHitPoints(12);
        QVERIFY(TestSupport::writeFile(builderPath, QByteArray(builder).replace("2", "3")));
        ExtendedRestEvent::refreshLinkedFiles({});
        QVERIFY(world->record(new ExtendedRestEvent({}, world->stream())));
        QCOMPARE(Global::history->getEventCount(), 2);
        QCOMPARE(hero->getLevel(), 3);
        QVERIFY(!hero->isDirty());
        const QByteArray saved = TestSupport::readFile(creaturePath(hero->getFileName()));
        QCOMPARE(QString::fromUtf8(saved).remove('\r'), hero->getStatBlock());
        const QString before = world->describe();
        const QString file = hero->getFileName();
        QVERIFY(world->restart([&file] {
            Creature* restarted = Global::characters->getCharacter(0);
            QVERIFY(restarted->load(file, false, QString(), nullptr, Global::characters));
            Global::encounter->setCreatureList(CreatureList({restarted}));
        }));
        QVERIFY2(world->describe() == before, qPrintable(TestWorld::difference(before, world->describe())));

        hero = Global::characters->getCharacter(0);
        for (bool deleted : {false, true}) {
            QVERIFY(deleted ? QFile::remove(builderPath) : TestSupport::writeFile(builderPath, ""));
            ExtendedRestEvent::refreshLinkedFiles({hero});
            QCOMPARE(hero->getLevel(), 3);
            QCOMPARE(TestSupport::readFile(creaturePath(hero->getFileName())), saved);
        }
    }

    void powerEditsSaveCleanTemplatesOnly()
    {
        std::unique_ptr<Creature> clean(withText(true, "Orc", "Orc Level 1 Brute XP 100\nHP 20\n"));
        QVERIFY(clean->save());
        CreaturePower power;
        power.name = "Gore";
        power.status = CreaturePower::UserPower;
        clean->updatePowerAndSetDirty("Gore", power, false);
        QVERIFY(!clean->isDirty());
        QVERIFY(TestSupport::readFile(creaturePath("orc.rvhn", true)).contains("power=Gore"));

        clean->setPortraitFile("orc.png");
        clean->dirtyStateHasChanged();
        const QByteArray onDisk = TestSupport::readFile(creaturePath("orc.rvhn", true));
        clean->deletePowerAndSetDirty("Gore");
        QVERIFY(clean->isDirty());
        QCOMPARE(TestSupport::readFile(creaturePath("orc.rvhn", true)), onDisk);
    }

    void missingTemplatesKeepTheirNames_data()
    {
        QTest::addColumn<QString>("group");
        for (const QString& group : {QString("New Monster"), QString("Hunter XP"), QString("Orc,Boss"),
                                     QString("Orc (Elite)"), QString(71, 'g')})
            QTest::newRow(qPrintable(group.left(12))) << group;
    }

    void missingTemplatesKeepTheirNames()
    {
        QFETCH(QString, group);
        Creature* instance = Creature::getCreatureByName(group + " (A)", true);
        QVERIFY(instance);
        Creature* base = Global::monsters->findTemplate(group);
        QVERIFY(base && base->isMissing());
        QCOMPARE(base->getGroup(), group);
        QCOMPARE(Creature::getCreatureByName(group + " (A)", true), instance);
        QCOMPARE(base->getBeforeStatBlock(), base->getStatBlock());
        QCOMPARE(base->generateStatBlock(false), base->getStatBlock());
        if (group == "New Monster")
            QCOMPARE(base->getStatBlock(), base->makeEmptyMonsterStatBlock());
    }

    void demonstrationFiles_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("monster");
        QTest::addColumn<QString>("folder");
        const QString demo = Global::getResourcePath() + "/demo-data/";
        for (bool monster : {false, true})
            for (const QString& file : QDir(demo + (monster ? "Monsters" : "Characters")).entryList(QDir::Files))
                QTest::newRow(qPrintable(file)) << file << monster << demo;
    }

    void demonstrationFiles()
    {
        QFETCH(QString, file);
        QFETCH(bool, monster);
        QFETCH(QString, folder);
        Creature creature;
        QVERIFY(creature.load(file, monster, folder, nullptr, nullptr));
        CreatureStats stats = creature.getStats();
        QVERIFY(Creature::validateStatBlock(stats, monster, QString()));
        const QString text = creature.getStatBlock();
        QVERIFY(creature.getLevel() > 0 && text.contains(QString::number(creature.getLevel())));
        QVERIFY(creature.getMaxHitPoints() > 0 && text.contains(QString::number(creature.getMaxHitPoints())));
        QVERIFY(creature.getArmorClass() != UnknownValue && text.contains(QString::number(creature.getArmorClass())));
        QVERIFY(!creature.getRole().isEmpty() && text.contains(creature.getRole()));
        if (monster)
            QVERIFY(creature.getXP() > 0 && creature.getPowers().size() > 0);
    }

private:
    static QString sectionOf(const QString& xml)
    {
        QXmlStreamReader reader(xml.toUtf8());
        QString section;
        while (!reader.atEnd())
            if (reader.readNext() == QXmlStreamReader::StartElement && reader.name() == QLatin1String("Tallowmere"))
                section = reader.readElementText();
        return reader.hasError() ? reader.errorString() : section;
    }

    std::unique_ptr<TestWorld> world;
};

RAVELHORN_TEST_MAIN(QGuiApplication, TestCreatureFiles)
#include "test_creaturefiles.moc"
