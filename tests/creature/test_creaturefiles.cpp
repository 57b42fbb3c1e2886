#include <QDir>
#include <QRegularExpression>
#include <QGuiApplication>
#include <QXmlStreamReader>

#include <sys/stat.h>

#include "creature/creature.h"
#include "encounter/encounter.h"
#include "encounter/history.h"
#include "encounter/restevents.h"
#include "foundation/global.h"
#include "library/characters.h"
#include "powers/powerstep.h"
#include "library/monsters.h"
#include "support/testsupport.h"
#include "support/testworld.h"

Q_DECLARE_METATYPE(Creature::ImportResult)

namespace {

const QByteArray vex = "name=Vex\nclass=Fighter\nrace=Human\nrole=Defender\nlevel=2\nhit-points=30\nsurge-value=7\n"
                       "healing-surges=9\nspeed=6\naction-points=1\nalignment=Good\nlanguages=Common, Elven\n";
const QByteArray monsterXml = "<?xml version=\"1.0\"?>\n<Monster xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance"
                              "\" xsi:type=\"Monster\">\n  <Name>Orc</Name>\n</Monster>\n";
const QByteArray characterXml = "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<D20Character>\n"
                                "  <CharacterSheet>\n    <Details/>\n  </CharacterSheet>\n</D20Character>\n";

QString creaturePath(const QString& file, bool monster = false) { return Global::getCreaturePath(file, monster); }

std::unique_ptr<Creature> loaded(const QString& file, bool monster = false)
{
    auto creature = std::make_unique<Creature>();
    creature->load(file, monster, QString(), Global::monsters, Global::characters);
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

// Its name, class, race, level, alignment, languages and powers.
QString summary(Creature* c)
{
    QStringList powers;
    for (CreaturePower* power : c->getPowers().getPowerList(true))
        powers << power->name;
    return QStringList{c->isMonster() ? c->getGroup() : c->getName(), c->getClass(), c->getRace(),
                       QString::number(c->getLevel()), c->getStats().alignment, c->getStats().languages, powers.join(",")}
        .join("|");
}

// Its role and bonuses: initiative, perception, insight and the four defences.
QString roleAndBonuses(Creature* c)
{
    const CreatureStats& s = c->getStats();
    QStringList bonuses;
    for (int bonus : {s.initBonus, s.perception, s.insight, s.armorClass, s.fortitude, s.reflex, s.will})
        bonuses << Creature::getBonusText(bonus);
    return c->getRole() + " " + bonuses.join(" ");
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
        const QString e300(300, QChar(0xe9)), e125(125, QChar(0xe9));
        QTest::newRow("clash") << false << "Sir Robin the Brave" << vex
                               << QStringList{"sir-robin-the-brave.rvhn", "sir-robin-the-brave_1.rvhn"}
                               << "sir-robin-the-brave_2.rvhn";
        QTest::newRow("monster xml") << true << "Orc" << monsterXml << QStringList() << "orc.monster";
        QTest::newRow("character xml, declaration") << false << "Orc" << characterXml << QStringList() << "orc.dnd4e";
        QTest::newRow("control characters") << false << "Tab\tLine\nEnd" << vex << QStringList() << "tab-line-end.rvhn";
        QTest::newRow("other script") << false << "Ærin 𝔅" << vex << QStringList() << "ærin-𝔅.rvhn";
        QTest::newRow("punctuation only") << false << "?!" << vex << QStringList() << "character.rvhn";
        QTest::newRow("template") << true << "Template Golem" << vex << QStringList() << "my-template-golem.rvhn";
        QTest::newRow("too long, clash") << false << e300 << vex << QStringList{e125 + ".rvhn"}
                                         << e125.chopped(1) + "_1.rvhn";
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
        QCOMPARE(loaded(expected, monster)->getFileName(), expected); // the next start finds it
    }

    void filesRoundTrip_data()
    {
        QTest::addColumn<bool>("monster");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("expected");
        // The name of a creature the library holds already.
        QTest::addColumn<QString>("held");
        const QByteArray power = "power=Rune\nuser=yes\ndescription=Ends ]]> \\\\n\nhit-step=damage\ndice=1d6\n";
        QTest::newRow("attribute form") << false << vex + power << "Vex|Fighter|Human|2|Good|Common, Elven|Rune" << "";
        QTest::newRow("escapes, UTF-8") << false << QByteArray("name=Zoë \\\\ Quill\nclass=A\\nB\nrace=Elf\nlevel=1\n")
                                        << "Zoë \\ Quill|A\nB|Elf|1|||" << "";
        QTest::newRow("70 characters") << false << "name=" + QByteArray(70, 'a') + "\nclass=x\nlevel=1\n"
                                       << QString(70, 'a') + "|x||1|||" << "";
        // Named after its file, but nothing of the text is lost.
        QTest::newRow("71 characters") << false << "name=" + QByteArray(71, 'a') + "\nclass=x\nlevel=1\n"
                                       << "first.rvhn|||0|||" << "";
        const QByteArray pasted = QByteArray("Orc Raider Level 3 Brute\nMedium humanoid XP 150\n"
                                             "HP 50; Bloodied 25\nAC 15; Fortitude 16, Reflex 13, Will 12\n"
                                             "Speed 6\n\n[Tallowmere]\nportrait=orc.png\n") + power;
        QTest::newRow("pasted monster") << true << pasted << "Orc Raider|||3|||Rune" << "";
        // Beside a creature of its name, the file's creature takes the next numbered one.
        QTest::newRow("a name the library holds") << false << vex << "Vex 2|Fighter|Human|2|Good|Common, Elven|" << "Vex";
        QTest::newRow("a pasted monster's group the library holds") << true << pasted << "Orc Raider 2|||3|||Rune"
                                                                    << "Orc Raider";
    }

    void filesRoundTrip()
    {
        QFETCH(bool, monster);
        QFETCH(QByteArray, text);
        QFETCH(QString, expected);
        QFETCH(QString, held);
        QVERIFY(TestSupport::writeFile(creaturePath("first.rvhn", monster), text));
        // Numbered, it keeps every line of its text.
        const int lines = loaded("first.rvhn", monster)->getStatBlock().count('\n');
        if (!held.isEmpty())
            monster ? world->addMonster(held, "1", 10) : world->addHero(held, 10);
        std::unique_ptr<Creature> first = loaded("first.rvhn", monster);
        QCOMPARE(summary(first.get()), expected);
        QCOMPARE(first->getStatBlock().count('\n'), lines);
        QCOMPARE(first->getNumberedFrom(), held);
        const bool broken = first->isBroken();
        QVERIFY(broken || first->rebuildStatBlock(first->getStatBlock(), false) == first->getStatBlock());
        first->setFileName(QString());
        QVERIFY(first->save());
        const QByteArray saved = TestSupport::readFile(creaturePath(first->getFileName(), monster));
        QCOMPARE(saved.count('\n'), saved.count("\r\n"));
        std::unique_ptr<Creature> second = loaded(first->getFileName(), monster);
        // What was read comes back from the saved file, a figure the save left
        // out missing; one that does not read is named after its new file.
        if (!broken)
            QCOMPARE(summary(second.get()), expected);
        QVERIFY(second->getStatBlock() == first->getStatBlock() && !second->getStatBlock().contains('\r'));
        QVERIFY(second->save() && TestSupport::readFile(creaturePath(first->getFileName(), monster)) == saved);
    }

    void xmlSectionPlacement_data()
    {
        QTest::addColumn<QByteArray>("xml");
        QTest::addColumn<QString>("after");
        QTest::addColumn<QByteArray>("withoutSection");
        const QByteArray orc = "<Monster xsi:type=\"Monster\">\n  <Name>Orc</Name>";
        // The byte order mark goes when the text is decoded.
        QTest::newRow("character, declaration, BOM") << characterXml << "<CharacterSheet>" << characterXml.mid(3);
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
        QXmlStreamReader reader(placed.toUtf8());
        while (!reader.atEnd() && !(reader.readNext() == reader.StartElement && reader.name() == u"Tallowmere"))
            ;
        if (!text.contains("<Tallowmere>x")) // the others are well-formed
            QCOMPARE(reader.readElementText(), section);
    }

    void filesOnDiskAreKeptWhenSavesCannotOrMustNot()
    {
        // As root, permissions stop nothing: a folder stands where the file goes...
        std::unique_ptr<Creature> fresh(withText(false, "Kit", vex));
        fresh->setNew(true);
        fresh->setFileName("kit.rvhn");
        QVERIFY(QDir().mkpath(creaturePath("kit.rvhn")));
        QVERIFY(!fresh->save() && fresh->isNew() && QFileInfo(creaturePath("kit.rvhn")).isDir());
        // A power edit saves a clean template at once...
        std::unique_ptr<Creature> monster(withText(true, "Orc", "Orc Level 1 Brute XP 100\nHP 20\n"));
        QVERIFY(monster->save());
        CreaturePower power;
        power.name = "Gore";
        power.status = CreaturePower::UserPower;
        monster->updatePowerAndSetDirty("Gore", power, false);
        const QByteArray before = TestSupport::readFile(creaturePath("orc.rvhn", true));
        QVERIFY(!monster->isDirty() && before.contains("power=Gore"));
        // ... but leaves a dirty one's file alone, and so does a save where a file stands for the folder.
        monster->setPortraitFile("orc.png");
        monster->dirtyStateHasChanged();
        monster->deletePowerAndSetDirty("Gore");
        QVERIFY(!monster->getPowers().getPowerByName("Gore"));
        const QString folder = QFileInfo(creaturePath("orc.rvhn", true)).path();
        QVERIFY(QDir().rename(folder, folder + ".kept") && TestSupport::writeFile(folder, "not a folder"));
        QVERIFY(!monster->save() && monster->isDirty());
        QVERIFY(QFile::remove(folder) && QDir().rename(folder + ".kept", folder));
        QCOMPARE(TestSupport::readFile(creaturePath("orc.rvhn", true)), before);
        // Only regular files of a bounded size are read.
        QByteArray text = "untouched";
        const QString fifo = creaturePath("pipe.rvhn"), huge = creaturePath("huge.rvhn");
        QVERIFY(mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0 && TestSupport::writeFile(huge, ""));
        QVERIFY(QFile::resize(huge, 17 << 20) && !Creature::readCreatureFile(fifo, text));
        QVERIFY(!Creature::readCreatureFile(huge, text) && text == "untouched");
    }

    void importMerges_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<bool>("reimport");
        QTest::addColumn<Creature::ImportResult>("result");
        QTest::addColumn<QString>("expected");
        const auto imported = Creature::ImportResult::Imported;
        const QByteArray vex3 = "name=Vex\nlevel=3\n", unusable = "name=\nclass=x\nspeed=5\n";
        // The hero's role and bonuses, which the files below do not give.
        const QString figures = "|Defender +4 +12 +11 +18 +15 +13 +12";
        const auto kept = [figures](const QString& from = "", const QString& to = "") {
            return QString("Vex|Fighter|Human|3|Good|Common, Elven|Shield Rune" + figures).replace(from, to);
        };
        QTest::newRow("missing kept") << vex3 + "race=Dwarf\n" << true << imported << kept("Human", "Dwarf");
        QTest::newRow("Unaligned kept out") << vex3 + "alignment=Unaligned\n" << true << imported << kept();
        QTest::newRow("unaligned") << vex3 + "alignment=unaligned\n" << false << imported << kept("Good", "unaligned");
        QTest::newRow("alignment on re-import") << vex3 + "alignment=Evil\n" << true << imported << kept("Good", "Evil");
        QTest::newRow("powers") << vex3 + "power=Strike\nheader=h\n" << true << imported << kept("Rune", "Rune,Strike");
        QTest::newRow("role and bonuses given") << vex3 + "role=Striker\ninitiative=-1\nwill=14\n" << true << imported
                                                << kept(figures, "|Striker -1 +12 +11 +18 +15 +13 +14");
        QTest::newRow("unique name") << QByteArray("name=Rogue\nlevel=3\nrace=Human\n") << false << imported
                                     << kept("Vex", "Rogue 3");
        QTest::newRow("unusable on re-import") << unusable << true << Creature::ImportResult::NotValid
                                               << "Vex|Fighter|Human|2|Good|Common, Elven|Old Strike,Shield Rune" + figures;
        QTest::newRow("unusable on import") << unusable << false << imported
                                            << "builder.rvhn|Fighter|Human|2|Good|Common, Elven|Shield Rune" + figures;
        // No file at all: the refresh tells the game master it is gone, not that it no longer reads.
        QTest::newRow("file gone") << QByteArray() << true << Creature::ImportResult::NotFound
                                   << "Vex|Fighter|Human|2|Good|Common, Elven|Old Strike,Shield Rune" + figures;
    }

    void importMerges()
    {
        QFETCH(QByteArray, file);
        QFETCH(bool, reimport);
        QFETCH(Creature::ImportResult, result);
        QFETCH(QString, expected);
        for (const char* name : {"rogue", "Rogue 2"})
            Global::characters->addCharacter(withText(false, name, vex));
        QFile::remove(Global::getRootedPath("builder.rvhn"));
        QVERIFY(file.isNull() || TestSupport::writeFile(Global::getRootedPath("builder.rvhn"), file));
        const QByteArray powers = "power=Old Strike\nheader=x\npower=Shield Rune\nuser=yes\n";
        const QByteArray bonuses = "initiative=4\nperception=12\ninsight=11\narmour-class=18\nfortitude=15\nreflex=13\nwill=12\n";
        QVERIFY(TestSupport::writeFile(creaturePath("vex.rvhn"), vex + bonuses + powers));
        std::unique_ptr<Creature> hero = loaded("vex.rvhn");
        QCOMPARE(hero->importFromFile("builder.rvhn", reimport), result);
        QCOMPARE(summary(hero.get()) + "|" + roleAndBonuses(hero.get()), expected);
    }

    // A linked hero's file has its own program for a power of the builder file: it takes the place of the
    // builder file's program, not a place after it.
    void programOfTheSectionReplacesTheLinkedOne()
    {
        CreaturePower strike;
        strike.name = "Strike";
        strike.status = CreaturePower::UserPower;
        strike.program.addStep(PowerStep::Damage, Power::Hit);
        const QByteArray program = strike.getPowerProgram("\n", false);
        QVERIFY(TestSupport::writeFile(Global::getRootedPath("vex.txt"), vex + program));
        QVERIFY(TestSupport::writeFile(creaturePath("kit.rvhn"), "name=Kit\nimport=vex.txt\nlinked=yes\n" + program));
        std::unique_ptr<Creature> hero = loaded("kit.rvhn");
        CreaturePower* read = hero->getPowers().getPowerByName("Strike");
        QVERIFY(read);
        QCOMPARE(read->program.getStepCount(Power::Hit), 1);
    }

    void linkedHeroRefreshedThroughTheLog_data()
    {
        QTest::addColumn<QByteArray>("builder");
        QTest::addColumn<QByteArray>("level");
        QTest::newRow("attribute form") << vex << QByteArray("level=2");
        QTest::newRow("pasted text") << QByteArray("Vex Level 2 Defender\nHP 30\nAC 17; Fortitude 15, Reflex 12\n")
                                     << QByteArray("Level 2");
        QTest::newRow("character file") << QByteArray("<D20Character><CharacterSheet><Details><name>Vex</name><Level>2</Level>"
                                                      "</Details><StatBlock><Stat value='30'><alias name='Hit Points'/>"
                                                      "</Stat></StatBlock></CharacterSheet></D20Character>")
                                        << QByteArray("<Level>2");
    }

    void linkedHeroRefreshedThroughTheLog()
    {
        QFETCH(QByteArray, builder);
        QFETCH(QByteArray, level);
        const QString builderPath = Global::getRootedPath("vex.txt");
        QVERIFY(TestSupport::writeFile(builderPath, builder));
        auto* hero = new Creature;
        hero->setupDummyHero("New Character");
        QCOMPARE(hero->importFromFile("vex.txt", false), Creature::ImportResult::Imported);
        hero->setLinked(true, false);
        QVERIFY(hero->save());
        const QString file = hero->getFileName();
        QVERIFY(hero->load(file, false, QString(), nullptr, nullptr));
        Global::characters->addCharacter(hero);
        Global::encounter->setCreatureList(CreatureList({hero}));
        hero->setCurrHitPoints(12); // a hand edit
        QVERIFY(TestSupport::writeFile(builderPath, QByteArray(builder).replace(level, QByteArray(level).replace('2', '3'))));
        ExtendedRestEvent::refreshLinkedFiles({});
        QVERIFY(world->record(new ExtendedRestEvent({}, world->stream())));
        QCOMPARE(Global::history->getEventCount(), 2); // the edit, then the rest
        QVERIFY(hero->getLevel() == 3 && !hero->isDirty());
        const QByteArray saved = TestSupport::readFile(creaturePath(file));
        QCOMPARE(QString::fromUtf8(saved).remove('\r'), hero->getStatBlock());
        const QString before = world->describe();
        QVERIFY(world->restart([&file] {
            Creature* restarted = Global::characters->getCharacter(0);
            QVERIFY(restarted->load(file, false, QString(), nullptr, Global::characters));
            Global::encounter->setCreatureList(CreatureList({restarted}));
        }));
        QVERIFY2(world->describe() == before, qPrintable(TestWorld::difference(before, world->describe())));
        for (bool deleted : {false, true}) {
            QVERIFY(deleted ? QFile::remove(builderPath) : TestSupport::writeFile(builderPath, ""));
            ExtendedRestEvent::refreshLinkedFiles({});
            QCOMPARE(Global::characters->getCharacter(0)->getLevel(), 3);
            QCOMPARE(TestSupport::readFile(creaturePath(file)), saved);
        }
    }

    void missingTemplatesKeepTheirNames()
    {
        for (const QString& group : {QString("New Monster"), QString("Hunter XP"), QString("Orc,Boss"),
                                     QString("Orc (Elite)"), QString(71, 'g')}) {
            Creature* instance = Creature::getCreatureByName(group + " (A)", true);
            Creature* base = Global::monsters->findTemplate(group);
            QVERIFY2(instance && base && base->isMissing() && base->getGroup() == group, qPrintable(group));
            QCOMPARE(Creature::getCreatureByName(group + " (A)", true), instance);
            const QString text = base->getStatBlock();
            QVERIFY(base->getBeforeStatBlock() == text && base->generateStatBlock(false) == text);
            QVERIFY(group != "New Monster" || text == base->makeEmptyMonsterStatBlock());
        }
    }

    void demonstrationFilesReadWhole()
    {
        const QString demo = Global::getResourcePath() + "/demo-data";
        for (bool monster : {false, true}) {
            for (const QString& file : QDir(demo + (monster ? "/Monsters" : "/Characters")).entryList(QDir::Files)) {
                Creature c;
                const QByteArray name = file.toUtf8();
                QVERIFY2(c.load(file, monster, demo, nullptr, nullptr), name);
                CreatureStats stats = c.getStats();
                QVERIFY2(Creature::validateStatBlock(stats, monster, QString()) && !c.getRole().isEmpty(), name);
                for (int figure : {c.getLevel(), c.getMaxHitPoints(), c.getArmorClass(), c.getFortitude()})
                    QVERIFY2(figure > 0 && figure < UnknownValue && c.getStatBlock().contains(QString::number(figure)),
                             name);
                QVERIFY2(!monster || (c.getXP() > 0 && c.getPowers().size() > 0), name);
                // Every labelled figure of the text is the creature's, and its type is a line of the text.
                const QMap<QString, int> figures{
                    {"Level", stats.level}, {"XP", stats.xp}, {"HP", stats.maxHitPoints},
                    {"Initiative", stats.initBonus}, {"AC", stats.armorClass}, {"Fortitude", stats.fortitude},
                    {"Reflex", stats.reflex}, {"Will", stats.will}, {"Perception", stats.perception}};
                static const QRegularExpression labelled(
                    R"((?:^|\s)(Level|XP|HP|Initiative|AC|Fortitude|Reflex|Will|Perception) ([+-]?\d+))");
                for (const QRegularExpressionMatch& match : labelled.globalMatch(c.getStatBlock()))
                    QVERIFY2(figures.value(match.captured(1)) == match.captured(2).toInt(),
                             qPrintable(name + ": " + match.captured(0)));
                const QRegularExpression typeLine("^" + QRegularExpression::escape(stats.type) + "(\\s|$)",
                                                  QRegularExpression::MultilineOption);
                QVERIFY2(!monster || c.getStatBlock().contains(typeLine), qPrintable(name + ": " + stats.type));
            }
        }
    }

    // Files are asked for by their size; the largest allowed is read whole, a byte more is refused.
    void creatureFilesReadUpToTheirLimit_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<bool>("read");
        const int limit = 16 * 1024 * 1024;
        QTest::newRow("empty") << 0 << true;
        QTest::newRow("a few hundred bytes") << 300 << true;
        QTest::newRow("the largest allowed") << limit << true;
        QTest::newRow("a byte more") << limit + 1 << false;
    }

    void creatureFilesReadUpToTheirLimit()
    {
        QFETCH(int, size);
        QFETCH(bool, read);
        const QString path = world->root() + "/Monsters/sized.rvhn";
        QByteArray bytes(size, 'x');
        if (size > 0)
            bytes.back() = 'y';
        TestSupport::writeFile(path, bytes);
        QByteArray text;
        QCOMPARE(Creature::readCreatureFile(path, text), read);
        QVERIFY(!read || text == bytes);
    }

private:
    std::unique_ptr<TestWorld> world;
};

RAVELHORN_TEST_MAIN(QGuiApplication, TestCreatureFiles)
#include "test_creaturefiles.moc"
