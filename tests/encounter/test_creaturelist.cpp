#include <QFile>
#include <QGuiApplication>

#include <climits>
#include <functional>
#include <memory>
#include <vector>

#include "library/characters.h"
#include "encounter/creaturelist.h"
#include "encounter/encountertesting.h"
#include "foundation/global.h"
#include "foundation/objectstream.h"
#include "support/testsupport.h"
#include "support/testworld.h"

namespace {

// An id no record uses, as a newer version might write.
const int unknownItem = 777;
// Written after a record, to see where its reader stopped.
const int sentinelItem = 999;

std::unique_ptr<ObjectStream> openLog(const QString& path)
{
    auto* file = new QFile(path);
    if (!file->open(QIODevice::ReadWrite)) {
        delete file;
        return nullptr;
    }
    auto stream = std::make_unique<ObjectStream>(file);
    if (!stream->initialize(true))
        return nullptr;
    return stream;
}

// Writes a record at the cursor and leaves the cursor at its start.
int writeAt(ObjectStream* stream, const std::function<void()>& write)
{
    stream->mark();
    write();
    return stream->setToMark();
}

// The ids of the items from the cursor to the end of the data.
QList<int> itemIds(ObjectStream* stream)
{
    QList<int> ids;
    for (StreamItem item = stream->read(); !item.isEOF(); item = stream->read())
        ids.append(item.getID());
    return ids;
}

// The three counted lists, seen alike: how an entry is written and what the
// entries read back are.
struct ListKind
{
    int sizeTag;
    int endTag;
    std::function<void(ObjectStream*, Creature*, int)> writeEntry;
    std::function<QStringList(ObjectStream*)> read;
};

ListKind listKind(const QString& kind)
{
    if (kind == "init")
        return {ID_CREATURE_ITEM_LIST_SIZE, ID_CREATURE_ITEM_LIST_END,
                [](ObjectStream* stream, Creature* creature, int value) {
                    CreatureInit{creature, value, value + 1}.write(stream);
                },
                [](ObjectStream* stream) {
                    CreatureInitList list;
                    list.read(stream);
                    QStringList entries;
                    for (const CreatureInit& entry : list)
                        entries.append(QString("%1 %2/%3")
                                           .arg(entry.creature->getNameGroup())
                                           .arg(entry.roll)
                                           .arg(entry.random));
                    return entries;
                }};
    if (kind == "vitality")
        return {ID_CREATURE_VITALITY_LIST_SIZE, ID_CREATURE_VITALITY_LIST_END,
                [](ObjectStream* stream, Creature* creature, int value) {
                    CreatureVitality vitality = creature->getVitality();
                    vitality.hitPoints = value;
                    vitality.healingSurges = value + 1;
                    vitality.write(stream);
                },
                [](ObjectStream* stream) {
                    CreatureVitalityList list;
                    list.read(stream);
                    QStringList entries;
                    for (const CreatureVitality& entry : list)
                        entries.append(QString("%1 %2/%3")
                                           .arg(entry.creature->getNameGroup())
                                           .arg(entry.hitPoints)
                                           .arg(entry.healingSurges));
                    return entries;
                }};
    return {ID_CREATURE_INIT_LIST_SIZE, ID_CREATURE_INIT_LIST_END,
            [](ObjectStream* stream, Creature* creature, int value) {
                InitiativeItem{creature->getNameGroup(), value, value + 1}.write(stream);
            },
            [](ObjectStream* stream) {
                InitiativeList list;
                list.read(stream);
                QStringList entries;
                for (const InitiativeItem& item : list)
                    entries.append(QString("%1 %2/%3").arg(item.name).arg(item.initiative).arg(item.random));
                return entries;
            }};
}

}

class TestCreatureList : public QObject
{
    Q_OBJECT

private:
    std::vector<std::unique_ptr<Creature>> pool;

    // "Name" makes a hero, "Group (name)" a monster of that group.
    Creature* make(const QString& reference)
    {
        auto creature = std::make_unique<Creature>();
        QString name;
        QString group;
        if (Creature::getNameAndGroup(reference, name, group)) {
            creature->setupDummyMonster(group);
            creature->setName(name);
        } else {
            creature->setupDummyHero(name);
        }
        pool.push_back(std::move(creature));
        return pool.back().get();
    }

    QList<Creature*> makeAll(const QString& references)
    {
        QList<Creature*> creatures;
        for (const QString& reference : references.split(", ", Qt::SkipEmptyParts))
            creatures.append(make(reference));
        return creatures;
    }

    // "Name:roll/bonus/random"
    Creature* makeRolled(const QString& text)
    {
        const QStringList parts = text.split(':');
        const QStringList figures = parts[1].split('/');
        Creature* creature = make(parts[0]);
        creature->setInitRoll(figures[0].toInt());
        creature->setInitBonus(figures[1].toInt());
        creature->setInitRandom(figures[2].toInt());
        return creature;
    }

private slots:
    void cleanup() { pool.clear(); }

    void alphabeticalInsert_data()
    {
        QTest::addColumn<QString>("inserted");
        QTest::addColumn<QString>("order");

        QTest::newRow("heroes first, then groups, numbers in natural order")
            << "Orc (2), Goblin (g10), Zed, Goblin (G2), alice, Orc (1)"
            << "alice, Zed, Goblin (G2), Goblin (g10), Orc (1), Orc (2)";
        QTest::newRow("groups without regard to case") << "orc (1), Goblin (1)" << "Goblin (1), orc (1)";
        QTest::newRow("equals keep their order of arrival") << "Bob, bob" << "Bob, bob";
        QTest::newRow("equals keep their order of arrival, reversed") << "bob, Bob" << "bob, Bob";
    }

    void alphabeticalInsert()
    {
        QFETCH(QString, inserted);
        QFETCH(QString, order);
        CreatureList list;
        for (Creature* creature : makeAll(inserted))
            list.addCreature(creature);
        QCOMPARE(list.getNameList(), order);
    }

    void initiativeInsert_data()
    {
        QTest::addColumn<QString>("existing");
        QTest::addColumn<QString>("newcomer");
        QTest::addColumn<QString>("order");

        QTest::newRow("into an empty list") << "" << "N:10/1/1" << "N";
        QTest::newRow("higher roll first") << "A:12/5/90" << "N:15/0/0" << "N, A";
        QTest::newRow("lower roll last, whatever the bonus") << "A:15/0/0" << "N:12/9/99" << "A, N";
        QTest::newRow("into the middle") << "A:20/0/0, B:15/0/0, C:10/0/0" << "N:12/0/0" << "A, B, N, C";
        QTest::newRow("equal rolls: higher bonus first") << "A:15/1/90" << "N:15/3/0" << "N, A";
        QTest::newRow("equal rolls and bonuses: higher random first") << "A:15/3/20" << "N:15/3/70" << "N, A";
        QTest::newRow("equal rolls and bonuses: lower random after") << "A:15/3/70" << "N:15/3/20" << "A, N";
        QTest::newRow("full tie: after all the tied")
            << "A:15/3/20, B:15/3/20, C:10/0/0" << "N:15/3/20" << "A, B, N, C";
        QTest::newRow("no known bonus goes before a known one") << "A:15/9/90" << "N:15/1000/0" << "N, A";
        QTest::newRow("a known bonus goes after no known one") << "A:15/1000/0" << "N:15/9/90" << "A, N";
    }

    void initiativeInsert()
    {
        QFETCH(QString, existing);
        QFETCH(QString, newcomer);
        QFETCH(QString, order);
        QList<Creature*> list;
        for (const QString& text : existing.split(", ", Qt::SkipEmptyParts))
            list.append(makeRolled(text));

        CreatureList::addCreatureByInitiative(list, makeRolled(newcomer));

        QCOMPARE(names(list), order);
    }

    void initiativeOrderFromTypedInitiatives()
    {
        QList<Creature*> creatures = makeAll("Aldric, Goblin (2), Brenna, Orc (1), Goblin (1), Cora");
        for (int i = 0; i < creatures.size(); i++) {
            creatures[i]->setInitBonus(2);
            creatures[i]->setInitRoll(i + 1);
            creatures[i]->setInitRandom(10 * i);
        }
        CreatureList list(creatures);
        // Each side takes only its own list's items, whatever the names.
        const InitiativeList heroes{{"Brenna", 18, 10}, {"Aldric", 12, 50}, {"Goblin", 30, 0}};
        const InitiativeList monsters{{"Goblin", 15, 30}, {"Orc (1)", 15, 40}, {"Aldric", 25, 0}};

        const CreatureInitList before = list.setInitiativeOrder(heroes, monsters);

        // The goblins share their group's item and keep their former order.
        QCOMPARE(list.getNameList(), QString("Brenna, Orc (1), Goblin (2), Goblin (1), Aldric, Cora"));
        QCOMPARE(before.size(), creatures.size());
        for (int i = 0; i < creatures.size(); i++) {
            QCOMPARE(before[i].creature, creatures[i]);
            QCOMPARE(before[i].roll, i + 1);
            QCOMPARE(before[i].random, 10 * i);
        }
        QStringList figures;
        for (const CreatureInit& init : list.getInitList())
            figures.append(QString("%1/%2").arg(init.roll).arg(init.random));
        QCOMPARE(figures.join(' '), QString("18/10 15/40 15/30 15/30 12/50 0/0"));

        // The values handed back restore the creatures.
        before.apply();
        for (int i = 0; i < creatures.size(); i++)
            QCOMPARE(creatures[i]->getInitRoll(), i + 1);
    }

    void initiativeOfACreature_data()
    {
        QTest::addColumn<QString>("creature");
        QTest::addColumn<QString>("item");

        QTest::newRow("by its group") << "Goblin (3)" << "Goblin 15/30";
        QTest::newRow("by its own name") << "Orc (1)" << "Orc (1) 12/5";
        QTest::newRow("another of a group named only by one") << "Orc (2)" << " 0/0";
        QTest::newRow("a hero") << "Brenna" << "Brenna 18/10";
        QTest::newRow("none") << "Aldric" << " 0/0";
    }

    void initiativeOfACreature()
    {
        QFETCH(QString, creature);
        QFETCH(QString, item);
        const InitiativeList list{{"Goblin", 15, 30}, {"Orc (1)", 12, 5}, {"Brenna", 18, 10}};
        const InitiativeItem found = list.getInitiative(make(creature));
        QCOMPARE(QString("%1 %2/%3").arg(found.name).arg(found.initiative).arg(found.random), item);
    }

    void reorderingAndDeleting_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QString>("order");

        QTest::newRow("swap first and last") << "swap 0 2" << "C, B, A";
        QTest::newRow("swap last and first") << "swap 2 0" << "C, B, A";
        QTest::newRow("swap with a negative index") << "swap -1 1" << "A, B, C";
        QTest::newRow("swap with itself") << "swap 1 1" << "A, B, C";
        QTest::newRow("move first to the end") << "move 0 2" << "B, C, A";
        QTest::newRow("move last to the front") << "move 2 0" << "C, A, B";
        QTest::newRow("move one down") << "move 0 1" << "B, A, C";
        QTest::newRow("move from a negative index") << "move -1 0" << "A, B, C";
        QTest::newRow("move to itself") << "move 1 1" << "A, B, C";
        QTest::newRow("delete the middle") << "delete 1" << "A, C";
        QTest::newRow("delete past the end") << "delete 3" << "A, B, C";
        QTest::newRow("delete a negative index") << "delete -1" << "A, B, C";
        QTest::newRow("insert at the end") << "insert 3" << "A, B, C, X";
        QTest::newRow("insert at the front") << "insert 0" << "X, A, B, C";
        QTest::newRow("add a list inside") << "add 1" << "A, X, Y, B, C";
        QTest::newRow("reset") << "reset" << "";
    }

    void reorderingAndDeleting()
    {
        QFETCH(QString, operation);
        QFETCH(QString, order);
        CreatureList list(makeAll("A, B, C"));
        const QStringList words = operation.split(' ');
        const int a = words.value(1).toInt();
        const int b = words.value(2).toInt();
        if (words[0] == "swap")
            list.swapCreature(a, b);
        else if (words[0] == "move")
            list.moveCreature(a, b);
        else if (words[0] == "delete")
            list.deleteCreature(a);
        else if (words[0] == "insert")
            list.insertCreature(a, make("X"));
        else if (words[0] == "add")
            list.addCreatures(a, CreatureList(makeAll("X, Y")));
        else
            list.reset();
        QCOMPARE(list.getNameList(), order);
    }

    void bySide_data()
    {
        QTest::addColumn<int>("mask");
        QTest::addColumn<QString>("selected");
        QTest::addColumn<bool>("deleteMonsters");
        QTest::addColumn<QString>("kept");

        QTest::newRow("monsters") << 1 << "Goblin (1), Goblin (2)" << true << "Aldric, Brenna";
        QTest::newRow("characters") << 2 << "Aldric, Brenna" << false << "Goblin (1), Goblin (2)";
        QTest::newRow("all") << 3 << "Aldric, Goblin (1), Brenna, Goblin (2)" << true << "Aldric, Brenna";
        QTest::newRow("none") << 0 << "" << false << "Goblin (1), Goblin (2)";
    }

    void bySide()
    {
        QFETCH(int, mask);
        QFETCH(QString, selected);
        QFETCH(bool, deleteMonsters);
        QFETCH(QString, kept);
        CreatureList list(makeAll("Aldric, Goblin (1), Brenna, Goblin (2)"));

        QCOMPARE(names(list.getCreaturesByType(mask)), selected);
        list.deleteCreatures(deleteMonsters);
        QCOMPARE(list.getNameList(), kept);
    }

    void readingTheList()
    {
        CreatureList empty;
        QVERIFY(empty.isEmpty());
        QCOMPARE(empty.getNameList(), QString());
        QCOMPARE(empty.getCreature(0), nullptr);
        QVERIFY(!empty.isHeroActive());

        QList<Creature*> creatures = makeAll("A, Goblin (1), B");
        CreatureList list(creatures);
        QCOMPARE(list.getNameList(), QString("A, Goblin (1), B"));
        QCOMPARE(list.getCount(), 3);
        QCOMPARE(list.getMonsterCount(), 1);
        QCOMPARE(list.getCreature(-1), nullptr);
        QCOMPARE(list.getCreature(3), nullptr);
        QCOMPARE(list.getCreatureIndex(creatures[2]), 2);
        QCOMPARE(list.getCreatureIndex(make("C")), -1);

        QVERIFY(list.isHeroActive());
        creatures[0]->setCurrHitPoints(-1);
        creatures[2]->setCurrHitPoints(-1);
        QVERIFY(!list.isHeroActive());
        QVERIFY(!CreatureList(makeAll("Orc (1)")).isHeroActive());
    }

    void snapshotLists()
    {
        QList<Creature*> creatures = makeAll("Zed, Goblin (2), Anna");
        CreatureList list(creatures);
        CreatureInitList inits;
        inits.append(list.getInitList());
        QCOMPARE(names(inits.getCreatureList().getCreatureList()), QString("Zed, Goblin (2), Anna"));
        // Entries read from a record that named a missing creature hold none.
        inits.prepend(CreatureInit());
        inits.append(CreatureInit());
        QCOMPARE(names(inits.getCreatureList().getCreatureList()), QString("Zed, Goblin (2), Anna"));
        inits.apply();

        CreatureVitalityList vitality;
        vitality.append(list.getVitalityList());
        QCOMPARE(vitality.size(), 3);
        vitality[0].hitPoints = 17;
        vitality[0].maxHitPoints = 40;
        vitality[1].actionPoints = 2;
        vitality.apply();
        QCOMPARE(creatures[0]->getCurrHitPoints(), 17);
        QCOMPARE(creatures[0]->getMaxHitPoints(), 40);
        QCOMPARE(creatures[1]->getCurrActionPoints(), 2);
        // Restored figures are not a hand edit waiting to be recorded.
        for (Creature* creature : creatures)
            QVERIFY(creature->getVitality().equals(creature->getBeforeVitality()));
    }

    void recordLayout_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QList<int>>("ids");

        QTest::newRow("initiative values")
            << "init" << QList<int>{201, 103, 104, 161, 162, 160, 200};
        QTest::newRow("vitality")
            << "vitality" << QList<int>{601, 103, 104, 611, 612, 613, 614, 615, 616, 617, 618, 610, 600};
        QTest::newRow("typed initiatives") << "initiative" << QList<int>{545, 541, 542, 543, 544, 540};
        QTest::newRow("encounter entry") << "entry" << QList<int>{141, 142, 143, 144, 145, 146, 140};
    }

    void recordLayout()
    {
        QFETCH(QString, kind);
        QFETCH(QList<int>, ids);
        RecordingUiHooks hooks;
        TestWorld world;
        Creature* aldric = world.addHero("Aldric", 30);
        auto stream = openLog(world.root() + "/records.log");
        QVERIFY(stream);

        bool written = false;
        writeAt(stream.get(), [&] {
            if (kind == "init")
                written = CreatureInitList{{aldric, 12, 34}}.write(stream.get());
            else if (kind == "vitality")
                written = CreatureVitalityList{aldric->getVitality()}.write(stream.get());
            else if (kind == "initiative")
                written = InitiativeList{{"Aldric", 12, 34}}.write(stream.get());
            else
                written = EncounterEntry().write(stream.get());
        });

        QVERIFY(written);
        QCOMPARE(itemIds(stream.get()), ids);
    }

    void creatureListsRoundTrip()
    {
        RecordingUiHooks hooks;
        TestWorld world;
        Creature* aldric = world.addHero("Aldric", 30);
        Creature* goblin = world.addMonster("Goblin", "1", 20);
        auto stream = openLog(world.root() + "/records.log");
        QVERIFY(stream);
        CreatureVitality hurt = aldric->getVitality();
        hurt.hitPoints = 11;
        hurt.healingSurges = 2;
        hurt.initBonus = UnknownValue;
        // A creature the libraries do not know; reading makes a stand-in.
        Creature ghost;
        ghost.setupDummyHero("Ghost");
        CreatureVitality ghostly = ghost.getVitality();
        ghostly.maxHitPoints = 8;
        const CreatureInitList inits{{aldric, 17, 55}, {goblin, 12, 3}, {nullptr, 4, 5}};
        const CreatureVitalityList vitality{hurt, goblin->getVitality(), ghostly};

        const int length = writeAt(stream.get(), [&] {
            QVERIFY(inits.write(stream.get()));
            QVERIFY(vitality.write(stream.get()));
            stream->write(sentinelItem, 7);
        });
        const int start = stream->getOffset();

        CreatureInitList initsRead;
        initsRead.read(stream.get());
        CreatureVitalityList vitalityRead;
        vitalityRead.read(stream.get());

        QCOMPARE(initsRead.size(), 3);
        for (int i = 0; i < 3; i++) {
            QCOMPARE(initsRead[i].creature, inits[i].creature);
            QCOMPARE(initsRead[i].roll, inits[i].roll);
            QCOMPARE(initsRead[i].random, inits[i].random);
        }
        QCOMPARE(vitalityRead.size(), 3);
        QCOMPARE(vitalityRead[0].creature, aldric);
        QVERIFY(vitalityRead[0].equals(hurt));
        QCOMPARE(vitalityRead[1].creature, goblin);
        QVERIFY(vitalityRead[1].equals(goblin->getVitality()));
        QVERIFY(vitalityRead[2].creature && vitalityRead[2].creature != &ghost);
        QCOMPARE(vitalityRead[2].creature, Global::characters->findCharacter("Ghost"));
        QVERIFY(vitalityRead[2].equals(ghostly));
        const StreamItem next = stream->read();
        QCOMPARE(next.getID(), sentinelItem);
        QCOMPARE(stream->getOffset(), start + length);
    }

    void initiativeListRoundTrip()
    {
        RecordingUiHooks hooks;
        TestWorld world;
        auto stream = openLog(world.root() + "/records.log");
        QVERIFY(stream);
        const InitiativeList written{{"Goblin", 15, 30}, {"Brenna", -2, 0}, {"", 0, 99}};
        writeAt(stream.get(), [&] {
            QVERIFY(written.write(stream.get()));
            stream->write(sentinelItem, 7);
        });

        // Reading replaces what the list held.
        InitiativeList read{{"Old", 1, 1}};
        read.read(stream.get());

        QCOMPARE(read.size(), written.size());
        for (int i = 0; i < read.size(); i++) {
            QCOMPARE(read[i].name, written[i].name);
            QCOMPARE(read[i].initiative, written[i].initiative);
            QCOMPARE(read[i].random, written[i].random);
        }
        QCOMPARE(stream->read().getID(), sentinelItem);
    }

    void encounterEntryRoundTrip_data()
    {
        QTest::addColumn<bool>("withAdventure");
        QTest::newRow("as written now") << true;
        QTest::newRow("older record without the adventure") << false;
    }

    void encounterEntryRoundTrip()
    {
        QFETCH(bool, withAdventure);
        RecordingUiHooks hooks;
        TestWorld world;
        auto stream = openLog(world.root() + "/records.log");
        QVERIFY(stream);
        const EncounterEntry entry = bridgeAmbush();
        writeAt(stream.get(), [&] {
            if (withAdventure) {
                QVERIFY(entry.write(stream.get()));
            } else {
                stream->write(ID_ENCOUNTER_ENTRY_FILE_NAME, entry.fileName);
                stream->write(ID_ENCOUNTER_ENTRY_NAME, entry.name);
                stream->write(ID_ENCOUNTER_ENTRY_DESC, entry.description);
                stream->write(ID_ENCOUNTER_ENTRY_LEVEL, entry.level);
                stream->write(ID_ENCOUNTER_ENTRY_XP, entry.xp);
                stream->write(ID_ENCOUNTER_ENTRY_END);
            }
            stream->write(sentinelItem, 7);
        });

        EncounterEntry read;
        read.adventure = "left over";
        read.read(stream.get());

        QCOMPARE(read.fileName, entry.fileName);
        QCOMPARE(read.name, entry.name);
        QCOMPARE(read.description, entry.description);
        QCOMPARE(read.level, entry.level);
        QCOMPARE(read.xp, entry.xp);
        QCOMPARE(read.adventure, withAdventure ? entry.adventure : QString());
        QCOMPARE(stream->read().getID(), sentinelItem);
    }

    void damagedCounts_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("present");
        QTest::addColumn<bool>("unknownBetween");
        // What follows the entries: "end item", "next record" or nothing.
        QTest::addColumn<QString>("after");
        QTest::addColumn<int>("expected");

        for (const char* kind : {"init", "vitality", "initiative"}) {
            QTest::addRow("%s: huge count, then the end item", kind)
                << kind << INT_MAX << 2 << false << "end item" << 2;
            QTest::addRow("%s: huge count, then the end of the data", kind) << kind << INT_MAX << 2 << false << "" << 2;
            QTest::addRow("%s: huge count, then the next record", kind)
                << kind << INT_MAX << 2 << false << "next record" << 2;
            QTest::addRow("%s: count short of the entries", kind) << kind << 1 << 2 << false << "end item" << 1;
            QTest::addRow("%s: zero count", kind) << kind << 0 << 2 << false << "end item" << 0;
            QTest::addRow("%s: negative count", kind) << kind << -5 << 1 << false << "end item" << 0;
            QTest::addRow("%s: unknown item between entries", kind) << kind << 2 << 2 << true << "end item" << 2;
        }
    }

    void damagedCounts()
    {
        QFETCH(QString, kind);
        QFETCH(int, count);
        QFETCH(int, present);
        QFETCH(bool, unknownBetween);
        QFETCH(QString, after);
        QFETCH(int, expected);
        RecordingUiHooks hooks;
        TestWorld world;
        QList<Creature*> creatures{world.addHero("Aldric", 30), world.addMonster("Goblin", "1", 20)};
        auto stream = openLog(world.root() + "/records.log");
        QVERIFY(stream);
        const ListKind list = listKind(kind);
        writeAt(stream.get(), [&] {
            stream->write(list.sizeTag, count);
            for (int i = 0; i < present; i++) {
                if (unknownBetween && i == present - 1)
                    stream->write(unknownItem, 5);
                list.writeEntry(stream.get(), creatures[i], 10 + i);
            }
            if (after == "end item") {
                stream->write(list.endTag);
                stream->write(sentinelItem, 7);
            } else if (after == "next record") {
                stream->write(ID_EVENT_TYPE, 2);
            }
        });
        const int charactersBefore = Global::characters->getCharacterCount();

        const QStringList entries = list.read(stream.get());

        QStringList wanted{"Aldric 10/11", "Goblin (1) 11/12"};
        QCOMPARE(entries, wanted.mid(0, expected));
        // No stand-in creatures were made up from missing entries.
        QCOMPARE(Global::characters->getCharacterCount(), charactersBefore);
        const StreamItem next = stream->read();
        if (after == "end item")
            QCOMPARE(next.getID(), sentinelItem);
        else if (after == "next record")
            QCOMPARE(next.getID(), int(ID_EVENT_TYPE));
        else
            QVERIFY(next.isEOF());
    }
};

RAVELHORN_TEST_MAIN(QGuiApplication, TestCreatureList)
#include "test_creaturelist.moc"
