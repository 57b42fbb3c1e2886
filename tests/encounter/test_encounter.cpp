// The creature lists and the encounter: orders, turns, selection, targets,
// what the players see, and the list records of the log, damaged ones too.

#include <QGuiApplication>

#include <climits>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "encounter/creaturelist.h"
#include "encounter/encounter.h"
#include "encounter/history.h"
#include "foundation/global.h"
#include "foundation/objectstream.h"
#include "library/characters.h"
#include "support/testsupport.h"
#include "support/testworld.h"

namespace {

// An id no record uses, as a newer version might write, and one written after a record to see where its reader
// stopped.
const int unknownItem = 777, sentinelItem = 999;

Encounter* encounter() { return Global::encounter; }

// The creatures' names in order, a missing one as "null".
QString names(const QList<Creature*>& creatures)
{
    QStringList result;
    for (Creature* creature : creatures)
        result.append(creature ? creature->getNameGroup() : QString("null"));
    return result.join(", ");
}

EncounterState stateOf(int round, int current, const QSet<Creature*>& dead = {})
{
    EncounterState state;
    state.round = round;
    state.currentIndex = current;
    state.dead = dead;
    return state;
}

// Round, current and next as "round/current acting, next nextRound/nextIndex name".
QString turns()
{
    const EncounterState next = encounter()->getNextState();
    Creature* acting = encounter()->getCurrentCreature();
    return QString("%1/%2 %3, next %4/%5 %6")
        .arg(encounter()->getRound())
        .arg(encounter()->getCurrentIndex())
        .arg(acting ? acting->getNameGroup() : "-")
        .arg(next.round)
        .arg(next.currentIndex)
        .arg(names({encounter()->getNextCreature()}));
}

void kill(Creature* creature)
{
    creature->setCurrHitPoints(creature->isHero() ? -creature->getBloodiedValue() : 0);
}

void makeTrap(Creature* creature)
{
    CreatureStats stats = creature->getStats();
    stats.trap = true;
    creature->setStats(stats);
}

// The encounter's signals in the order they came.
class SignalLog
{
public:
    SignalLog()
    {
        QObject::connect(encounter(), &Encounter::doCreatureSelectionChanged, &context, [this] { add("selection"); });
        QObject::connect(encounter(), &Encounter::doCurrentCreatureChanged, &context, [this] { add("current"); });
        QObject::connect(encounter(), &Encounter::doCreatureCountChanged, &context, [this] { add("count"); });
    }
    QString take() { return std::exchange(received, {}).join(' '); }

private:
    void add(const char* name) { received.append(name); }
    QStringList received;
    QObject context;
};

std::unique_ptr<ObjectStream> openLog(const QString& path)
{
    auto* file = new QFile(path);
    if (!file->open(QIODevice::ReadWrite)) {
        delete file;
        return nullptr;
    }
    auto stream = std::make_unique<ObjectStream>(file);
    return stream->initialize(true) ? std::move(stream) : nullptr;
}

// Writes a record at the cursor and leaves the cursor at its start.
int writeAt(ObjectStream* stream, const std::function<void()>& write)
{
    stream->mark();
    write();
    return stream->setToMark();
}

// The three counted lists, seen alike: their tags, how an entry is written, and the entries read back as
// "name first/second".
struct ListKind
{
    int sizeTag;
    int endTag;
    std::function<void(ObjectStream*, Creature*, int)> writeEntry;
    std::function<QStringList(ObjectStream*)> read;
};

template <typename List>
QStringList readEntries(ObjectStream* stream, const std::function<QString(const typename List::value_type&)>& text)
{
    List list;
    list.read(stream);
    QStringList entries;
    for (const auto& entry : list)
        entries.append(text(entry));
    return entries;
}

ListKind listKind(const QString& kind)
{
    const auto figures = [](const QString& name, int a, int b) { return QString("%1 %2/%3").arg(name).arg(a).arg(b); };
    if (kind == "init")
        return {ID_CREATURE_ITEM_LIST_SIZE, ID_CREATURE_ITEM_LIST_END,
                [](ObjectStream* s, Creature* c, int value) { CreatureInit{c, value, value + 1}.write(s); },
                [=](ObjectStream* s) {
                    return readEntries<CreatureInitList>(
                        s, [=](const CreatureInit& e) { return figures(e.creature->getNameGroup(), e.roll, e.random); });
                }};
    if (kind == "vitality")
        return {ID_CREATURE_VITALITY_LIST_SIZE, ID_CREATURE_VITALITY_LIST_END,
                [](ObjectStream* s, Creature* c, int value) {
                    CreatureVitality vitality = c->getVitality();
                    vitality.hitPoints = value;
                    vitality.healingSurges = value + 1;
                    vitality.write(s);
                },
                [=](ObjectStream* s) {
                    return readEntries<CreatureVitalityList>(s, [=](const CreatureVitality& e) {
                        return figures(e.creature->getNameGroup(), e.hitPoints, e.healingSurges);
                    });
                }};
    return {ID_CREATURE_INIT_LIST_SIZE, ID_CREATURE_INIT_LIST_END,
            [](ObjectStream* s, Creature* c, int value) { InitiativeItem{c->getNameGroup(), value, value + 1}.write(s); },
            [=](ObjectStream* s) {
                return readEntries<InitiativeList>(
                    s, [=](const InitiativeItem& e) { return figures(e.name, e.initiative, e.random); });
            }};
}

}

class TestEncounter : public QObject
{
    Q_OBJECT

private:
    std::vector<std::unique_ptr<Creature>> pool;
    std::unique_ptr<RecordingUiHooks> hooks;
    std::unique_ptr<RecordedChores> chores;
    std::unique_ptr<TestWorld> world;

    // A creature outside the libraries: "Name" makes a hero, "Group (name)" a monster of that group, and
    // ":roll/bonus/random" after it sets its initiative.
    Creature* make(const QString& reference)
    {
        auto creature = std::make_unique<Creature>();
        const QStringList parts = reference.split(':');
        QString name;
        QString group;
        if (Creature::getNameAndGroup(parts[0], name, group)) {
            creature->setupDummyMonster(group);
            creature->setName(name);
        } else {
            creature->setupDummyHero(name);
        }
        if (parts.size() > 1) {
            const QStringList figures = parts[1].split('/');
            creature->setInitRoll(figures[0].toInt());
            creature->setInitBonus(figures[1].toInt());
            creature->setInitRandom(figures[2].toInt());
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
    // Creatures of the test world, "Group (name)" a monster, put in the encounter in that order.
    QList<Creature*> enter(const QString& references)
    {
        QList<Creature*> creatures;
        for (const QString& reference : references.split(", ", Qt::SkipEmptyParts)) {
            QString name;
            QString group;
            creatures.append(Creature::getNameAndGroup(reference, name, group) ? world->addMonster(group, name, 20)
                                                                                : world->addHero(reference, 30));
        }
        encounter()->setCreatureList(CreatureList(creatures));
        return creatures;
    }

private slots:
    void init()
    {
        hooks = std::make_unique<RecordingUiHooks>();
        chores = std::make_unique<RecordedChores>();
        world = std::make_unique<TestWorld>();
    }
    void cleanup()
    {
        world.reset();
        chores.reset();
        hooks.reset();
        pool.clear();
    }
    void insertion_data()
    {
        QTest::addColumn<QString>("existing");
        QTest::addColumn<QString>("inserted");
        QTest::addColumn<QString>("order");
        // Without existing ones: alphabetically, one after the other.
        QTest::newRow("heroes first, then groups, numbers in natural order")
            << "" << "Orc (2), Goblin (g10), Zed, Goblin (G2), alice, Orc (1)"
            << "alice, Zed, Goblin (G2), Goblin (g10), Orc (1), Orc (2)";
        QTest::newRow("groups without regard to case") << "" << "orc (1), Goblin (1)" << "Goblin (1), orc (1)";
        QTest::newRow("equals keep their order of arrival") << "" << "Bob, bob" << "Bob, bob";
        QTest::newRow("equals keep their order of arrival, reversed") << "" << "bob, Bob" << "bob, Bob";
        // By initiative among existing ones: "name:roll/bonus/random".
        QTest::newRow("into an empty list") << "-" << "N:10/1/1" << "N";
        QTest::newRow("higher roll first") << "A:12/5/90" << "N:15/0/0" << "N, A";
        QTest::newRow("lower roll last, whatever the bonus") << "A:15/0/0" << "N:12/9/99" << "A, N";
        QTest::newRow("into the middle") << "A:20/0/0, B:15/0/0, C:10/0/0" << "N:12/0/0" << "A, B, N, C";
        QTest::newRow("equal rolls: higher bonus first") << "A:15/1/90" << "N:15/3/0" << "N, A";
        QTest::newRow("equal rolls and bonuses: higher random first") << "A:15/3/20" << "N:15/3/70" << "N, A";
        QTest::newRow("equal rolls and bonuses: lower random after") << "A:15/3/70" << "N:15/3/20" << "A, N";
        QTest::newRow("full tie: after all the tied") << "A:15/3/20, B:15/3/20, C:10/0/0" << "N:15/3/20"
                                                      << "A, B, N, C";
        QTest::newRow("no known bonus goes before a known one") << "A:15/9/90" << "N:15/1000/0" << "N, A";
        QTest::newRow("a known bonus goes after no known one") << "A:15/1000/0" << "N:15/9/90" << "A, N";
    }
    void insertion()
    {
        QFETCH(QString, existing);
        QFETCH(QString, inserted);
        QFETCH(QString, order);
        CreatureList alphabetical;
        QList<Creature*> list = makeAll(existing == "-" ? "" : existing);
        for (Creature* creature : makeAll(inserted)) {
            if (existing.isEmpty())
                alphabetical.addCreature(creature);
            else
                CreatureList::addCreatureByInitiative(list, creature);
        }
        QCOMPARE(existing.isEmpty() ? alphabetical.getNameList() : names(list), order);
    }
    void initiativeOfACreature()
    {
        // By its group, its own name, none.
        const InitiativeList typed{{"Goblin", 15, 30}, {"Orc (1)", 12, 5}, {"Brenna", 18, 10}};
        QStringList items;
        for (const char* name : {"Goblin (3)", "Orc (1)", "Orc (2)", "Brenna", "Aldric"}) {
            const InitiativeItem item = typed.getInitiative(make(name));
            items.append(QString("%1 %2/%3").arg(item.name).arg(item.initiative).arg(item.random));
        }
        QCOMPARE(items.join(", "), QString("Goblin 15/30, Orc (1) 12/5,  0/0, Brenna 18/10,  0/0"));
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
        QCOMPARE(list.getMonsterCount(), 2);
        QCOMPARE(names(list.getCreaturesByType(mask)), selected);
        list.deleteCreatures(deleteMonsters);
        QCOMPARE(list.getNameList(), kept);
    }
    void snapshotLists()
    {
        QList<Creature*> creatures = makeAll("Zed, Goblin (2), Anna");
        CreatureList list(creatures);
        CreatureInitList inits;
        inits.append(list.getInitList());
        // Entries read from a record that named a missing creature hold none.
        inits.prepend(CreatureInit());
        inits.append(CreatureInit());
        QCOMPARE(names(inits.getCreatureList().getCreatureList()), QString("Zed, Goblin (2), Anna"));
        inits.apply();
        CreatureVitalityList vitality;
        vitality.append(list.getVitalityList());
        vitality[0].hitPoints = 17;
        vitality[0].maxHitPoints = 40;
        vitality[1].actionPoints = 2;
        vitality.apply();
        QCOMPARE(QList<int>({creatures[0]->getCurrHitPoints(), creatures[0]->getMaxHitPoints(),
                             creatures[1]->getCurrActionPoints()}),
                 QList<int>({17, 40, 2}));
        // Restored figures are not a hand edit waiting to be recorded.
        for (Creature* creature : creatures)
            QVERIFY(creature->getVitality().equals(creature->getBeforeVitality()));
        const QList<Creature*> heroes = makeAll("A, Goblin (1), B");
        QVERIFY(CreatureList(heroes).isHeroActive());
        heroes[0]->setCurrHitPoints(-1);
        heroes[2]->setCurrHitPoints(-1);
        QVERIFY(!CreatureList(heroes).isHeroActive());
    }
    void listRecordsRoundTrip()
    {
        Creature* aldric = world->addHero("Aldric", 30);
        Creature* goblin = world->addMonster("Goblin", "1", 20);
        auto stream = openLog(world->root() + "/records.log");
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
        const InitiativeList typed{{"Goblin", 15, 30}, {"Brenna", -2, 0}, {"", 0, 99}};
        const EncounterEntry entry{"bridge.encounter", "Bridge Ambush", "The Long Road", "Goblins at the ford", 4, 875};
        const int length = writeAt(stream.get(), [&] {
            QVERIFY(inits.write(stream.get()));
            QVERIFY(vitality.write(stream.get()));
            QVERIFY(typed.write(stream.get()));
            QVERIFY(entry.write(stream.get()));
            // An older entry, without the adventure.
            stream->write(ID_ENCOUNTER_ENTRY_FILE_NAME, entry.fileName);
            stream->write(ID_ENCOUNTER_ENTRY_NAME, entry.name);
            stream->write(ID_ENCOUNTER_ENTRY_DESC, entry.description);
            stream->write(ID_ENCOUNTER_ENTRY_LEVEL, entry.level);
            stream->write(ID_ENCOUNTER_ENTRY_XP, entry.xp);
            stream->write(ID_ENCOUNTER_ENTRY_END);
            stream->write(sentinelItem, 7);
        });
        const int start = stream->getOffset();
        CreatureInitList initsRead;
        initsRead.read(stream.get());
        CreatureVitalityList vitalityRead;
        vitalityRead.read(stream.get());
        // Reading replaces what the list or entry held.
        InitiativeList typedRead{{"Old", 1, 1}};
        typedRead.read(stream.get());
        EncounterEntry entries[2];
        for (EncounterEntry& read : entries) {
            read.adventure = "left over";
            read.read(stream.get());
        }
        QCOMPARE(stream->read().getID(), sentinelItem);
        QCOMPARE(stream->getOffset(), start + length);

        QCOMPARE(initsRead.size(), 3);
        for (int i = 0; i < 3; i++)
            QVERIFY(initsRead[i].creature == inits[i].creature && initsRead[i].roll == inits[i].roll
                    && initsRead[i].random == inits[i].random);
        QCOMPARE(vitalityRead.size(), 3);
        for (int i = 0; i < 2; i++)
            QVERIFY(vitalityRead[i].creature == vitality[i].creature && vitalityRead[i].equals(vitality[i]));
        QCOMPARE(vitalityRead[2].creature, Global::characters->findCharacter("Ghost"));
        QVERIFY(vitalityRead[2].creature && vitalityRead[2].creature != &ghost);
        QVERIFY(vitalityRead[2].equals(ghostly));
        const auto typedText = [](const InitiativeList& list) {
            QStringList texts;
            for (const InitiativeItem& item : list)
                texts.append(QString("%1 %2/%3").arg(item.name).arg(item.initiative).arg(item.random));
            return texts;
        };
        QCOMPARE(typedText(typedRead), typedText(typed));
        const auto entryText = [](const EncounterEntry& e) {
            return QStringList{e.fileName, e.name, e.adventure, e.description, QString::number(e.level),
                               QString::number(e.xp)};
        };
        QCOMPARE(entryText(entries[0]), entryText(entry));
        QCOMPARE(entryText(entries[1]), entryText({entry.fileName, entry.name, "", entry.description, 4, 875}));
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
            QTest::addRow("%s: huge count, then the end item", kind) << kind << INT_MAX << 2 << false << "end item" << 2;
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
        const QList<Creature*> creatures{world->addHero("Aldric", 30), world->addMonster("Goblin", "1", 20)};
        auto stream = openLog(world->root() + "/records.log");
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
        QCOMPARE(list.read(stream.get()), QStringList({"Aldric 10/11", "Goblin (1) 11/12"}).mid(0, expected));
        // No stand-in creatures were made up from missing entries.
        QCOMPARE(Global::characters->getCharacterCount(), charactersBefore);
        const StreamItem next = stream->read();
        if (after.isEmpty())
            QVERIFY(next.isEOF());
        else
            QCOMPARE(next.getID(), after == "end item" ? sentinelItem : int(ID_EVENT_TYPE));
    }
    void removingACreatureKeepsTheTurnOrder_data()
    {
        QTest::addColumn<int>("round");
        QTest::addColumn<int>("current");
        QTest::addColumn<int>("removed");
        QTest::addColumn<QString>("turns");
        // The next turn always goes to the creature that followed the removed one.
        QTest::newRow("the first and acting one: back to the end of the last round") << 2 << 0 << 0
                                                                                     << "1/2 D, next 2/0 B";
        QTest::newRow("the acting one in the middle") << 2 << 2 << 2 << "2/1 B, next 2/2 D";
        QTest::newRow("the acting one at the end") << 2 << 3 << 3 << "2/2 C, next 3/0 A";
        QTest::newRow("one before the acting one") << 2 << 2 << 0 << "2/1 C, next 2/2 D";
        QTest::newRow("one after the acting one") << 2 << 1 << 3 << "2/1 B, next 2/2 C";
        QTest::newRow("while not running") << 0 << -1 << 0 << "0/-1 -, next 1/0 B";
        QTest::newRow("one that is not in the list") << 2 << 1 << -1 << "2/1 B, next 2/2 C";
    }
    void removingACreatureKeepsTheTurnOrder()
    {
        QFETCH(int, round);
        QFETCH(int, current);
        QFETCH(int, removed);
        QFETCH(QString, turns);
        QList<Creature*> heroes = enter("A, B, C, D");
        Creature* outsider = world->addHero("E", 30);
        Creature* gone = world->addMonster("Orc", "1", 20);
        encounter()->setState(stateOf(round, current, {gone}));
        SignalLog log;
        chores->rightStatus.clear();
        encounter()->removeCreature(removed < 0 ? outsider : heroes[removed]);
        QCOMPARE(log.take(), QString("current count"));
        QCOMPARE(encounter()->getCreatureCount(), removed < 0 ? 4 : 3);
        QCOMPARE(::turns(), turns);
        // The next state is only a copy, and keeps the dead.
        QCOMPARE(encounter()->getNextState().dead, QSet<Creature*>({gone}));
        QCOMPARE(encounter()->getNextIndex(), encounter()->getNextState().currentIndex);
        if (encounter()->getRound() != round)
            QCOMPARE(chores->rightStatus.last(), QString("<b>Round</b> %1").arg(encounter()->getRound()));
    }
    void removingTheLastOrSeveral()
    {
        QList<Creature*> heroes = enter("A, B, C, D");
        encounter()->setState(stateOf(1, 2));
        encounter()->setSelectedCreatures({heroes[0], heroes[1]});
        SignalLog log;
        encounter()->removeCreatures({heroes[3], heroes[0]});
        QCOMPARE(log.take(), QString("selection current count"));
        QCOMPARE(encounter()->getCreatureList().getNameList(), QString("B, C"));
        QCOMPARE(names(encounter()->getSelectedCreatures()), QString("B"));
        QCOMPARE(::turns(), QString("1/1 C, next 2/0 B"));
        // The last one leaving ends the encounter, which no longer keeps the dead.
        encounter()->removeCreature(heroes[1]);
        encounter()->setState(stateOf(3, 0));
        QCOMPARE(chores->rightStatus.last(), QString("<b>Round</b> 3"));
        kill(heroes[2]);
        encounter()->removeCreature(heroes[2]);
        QVERIFY(!encounter()->isRunning());
        QCOMPARE(::turns(), QString("2/-1 -, next 3/0 null"));
        QCOMPARE(chores->rightStatus.last(), QString());
        QVERIFY(encounter()->getState().dead.isEmpty());
    }
    void deadCreaturesLeavingARunningEncounterAreKept_data()
    {
        QTest::addColumn<bool>("running");
        QTest::addColumn<QString>("subject");
        QTest::addColumn<bool>("kept");
        QTest::newRow("dead monster, running") << true << "dead monster" << true;
        QTest::newRow("dead monster, not running") << false << "dead monster" << false;
        QTest::newRow("living monster") << true << "living monster" << false;
        QTest::newRow("monster killed by damage not yet committed") << true << "pending kill" << true;
        QTest::newRow("dead hero") << true << "dead hero" << true;
        QTest::newRow("dying hero") << true << "dying hero" << false;
    }
    void deadCreaturesLeavingARunningEncounterAreKept()
    {
        QFETCH(bool, running);
        QFETCH(QString, subject);
        QFETCH(bool, kept);
        Creature* creature = enter(subject.endsWith("hero") ? "Ana, Bo" : "Ana, Orc (1)").last();
        if (subject.startsWith("dead"))
            kill(creature);
        else if (subject == "dying hero")
            creature->setCurrHitPoints(0);
        else if (subject == "pending kill")
            creature->setDeltaCurrHealth(-25, 0, 0);
        encounter()->setState(stateOf(running ? 1 : 0, running ? 0 : -1));
        encounter()->removeCreature(creature);
        QCOMPARE(encounter()->getState().dead, kept ? QSet<Creature*>{creature} : QSet<Creature*>());
    }
    void resetEmptiesTheEncounter()
    {
        enter("A, B");
        Creature* orc = world->addMonster("Orc", "1", 20);
        kill(orc);
        // The status bar shows the round only while it runs, and the encounter's name.
        encounter()->setState(stateOf(0, 0));
        QCOMPARE(chores->rightStatus.last(), QString());
        encounter()->setEntry({"bridge.encounter", "Bridge", "The Long Road", "At the ford", 3, 600});
        QCOMPARE(chores->leftStatus.last(), QString("<b> Encounter</b> Bridge"));
        const EncounterEntry shown = encounter()->getEntry();
        QCOMPARE(QStringList({shown.fileName, shown.name, shown.adventure, shown.description}),
                 QStringList({"", "Bridge", "", "At the ford"}));
        QCOMPARE(shown.level * 1000 + shown.xp, 3600);
        encounter()->setState(stateOf(2, 1, {orc}));
        QCOMPARE(chores->rightStatus.last(), QString("<b>Round</b> 2"));
        // Setting the index alone leaves the status bar as it is.
        const int texts = chores->rightStatus.size();
        encounter()->setCurrentIndex(1);
        QCOMPARE(chores->rightStatus.size(), texts);
        SignalLog log;
        encounter()->reset();
        QCOMPARE(log.take(), QString("selection current count"));
        // The dead set too: its creatures may be deleted once the data folder changes.
        QVERIFY(encounter()->getState() == EncounterState());
        QCOMPARE(encounter()->getCreatureCount(), 0);
        const EncounterEntry cleared = encounter()->getEntry();
        QCOMPARE(QStringList({cleared.name, cleared.description}), QStringList({"", ""}));
        QCOMPARE(cleared.level + cleared.xp, 0);
        QCOMPARE(chores->leftStatus.last() + chores->rightStatus.last(), QString());
        QCOMPARE(chores->startStopToggles, 1);
    }
    void targetCreatures_data()
    {
        QTest::addColumn<QString>("origin");
        QTest::addColumn<int>("applyTo");
        QTest::addColumn<bool>("running");
        QTest::addColumn<QString>("targets");
        const QString everyone = "Aldric, Goblin (1), Brenna, Goblin (2)";
        QTest::newRow("unset") << "Goblin (1)" << int(Power::ApplyUnset) << true << everyone;
        QTest::newRow("any creature") << "" << int(Power::AnyCreature) << true << everyone;
        QTest::newRow("enemy of a monster") << "Goblin (1)" << int(Power::Enemy) << true << "Aldric, Brenna";
        QTest::newRow("enemy of a hero") << "Aldric" << int(Power::Enemy) << true << "Goblin (1), Goblin (2)";
        QTest::newRow("enemy without origin") << "" << int(Power::Enemy) << true << everyone;
        QTest::newRow("ally of a monster") << "Goblin (1)" << int(Power::Ally) << true << "Goblin (1), Goblin (2)";
        QTest::newRow("ally without origin") << "" << int(Power::Ally) << true << everyone;
        QTest::newRow("ally and self") << "Aldric" << int(Power::AllyAndSelf) << true << "Aldric, Brenna";
        QTest::newRow("other ally") << "Aldric" << int(Power::OtherAlly) << true << "Brenna";
        QTest::newRow("other ally of a monster") << "Goblin (2)" << int(Power::OtherAlly) << true << "Goblin (1)";
        QTest::newRow("other ally without origin") << "" << int(Power::OtherAlly) << true << everyone;
        QTest::newRow("other ally of one outside") << "Cora" << int(Power::OtherAlly) << true << "Aldric, Brenna";
        QTest::newRow("self") << "Goblin (2)" << int(Power::Self) << true << "Goblin (2)";
        QTest::newRow("self without origin") << "" << int(Power::Self) << true << "";
        QTest::newRow("current creature") << "Aldric" << int(Power::CurrentCreature) << true << "Brenna";
        QTest::newRow("current creature, not running") << "Aldric" << int(Power::CurrentCreature) << false << "";
        QTest::newRow("targets") << "Aldric" << int(Power::Targets) << true << "";
        QTest::newRow("no target") << "" << int(Power::NoTarget) << true << "";
        QTest::newRow("not trackable") << "" << int(Power::NotTrackable) << true << "";
    }
    void targetCreatures()
    {
        QFETCH(QString, origin);
        QFETCH(int, applyTo);
        QFETCH(bool, running);
        QFETCH(QString, targets);
        enter("Aldric, Goblin (1), Brenna, Goblin (2)");
        world->addHero("Cora", 30);
        encounter()->setState(stateOf(running ? 1 : 0, running ? 2 : -1));
        Creature* from = origin.isEmpty() ? nullptr : world->find(origin);
        QCOMPARE(names(encounter()->getTargetCreatures(from, Power::ApplyTo(applyTo))), targets);
    }
    void originCreatures()
    {
        QList<Creature*> creatures = enter("Orc (2), bob, Goblin (1), Alice, Orc (10), Zed");
        creatures.append(world->find("Alice"));
        encounter()->setCreatureList(CreatureList(creatures));
        // Code-unit order: capitals first, and "10" before "2".
        QCOMPARE(names(encounter()->getOriginCreatures()), QString("Alice, Zed, bob, Goblin (1), Orc (10), Orc (2)"));
    }
    void visibleForPlayers()
    {
        QList<Creature*> list = enter("Aldric, Brenna, Goblin (1), Goblin (2), Goblin (3), Pit (1), Goblin (4), Pit (2)");
        Creature* aldric = list[0];
        const auto slay = [aldric](Creature* c) { c->applyDamage(c->getMaxHitPoints(), aldric); };
        list[1]->setHidden(true);
        slay(list[3]);
        slay(list[4]);
        list[4]->setHidden(true);
        makeTrap(list[5]);
        makeTrap(list[7]);
        slay(list[7]);
        // Dead by what the game master is still typing, not by the committed figures.
        list[6]->setDeltaCurrHealth(-20, 0, 0);
        // Dead ones that left the list.
        Creature* gone = world->addMonster("Orc", "1", 20);
        Creature* hiddenGone = world->addMonster("Orc", "2", 20);
        Creature* goneTrap = world->addMonster("Snare", "1", 10);
        Creature* healed = world->addMonster("Orc", "3", 20);
        Creature* deadHero = world->addHero("Cora", 30);
        makeTrap(goneTrap);
        for (Creature* c : {gone, hiddenGone, goneTrap})
            slay(c);
        hiddenGone->setHidden(true);
        healed->applyDamage(5, aldric);
        kill(deadHero);
        const QSet<Creature*> dead{gone, hiddenGone, goneTrap, healed, deadHero};
        encounter()->setState(stateOf(1, -1, dead));
        QCOMPARE(encounter()->getVisibleForPlayers().indexes, QList<int>({0}));
        QVERIFY(encounter()->getVisibleForPlayers().deadMonsters.isEmpty());
        encounter()->setState(stateOf(1, 0, dead));
        QCOMPARE(encounter()->getVisibleForPlayers().indexes, QList<int>({0, 2, 6}));
        const QMap<int, Creature*> expected{
            {list[3]->getDamageOrder(), list[3]}, {gone->getDamageOrder(), gone}, {goneTrap->getDamageOrder(), goneTrap}};
        QCOMPARE(encounter()->getVisibleForPlayers().deadMonsters, expected);
        // Killed without an attacker, neither got a damage order number: they show once.
        list = enter("Goblin (5), Goblin (6)");
        encounter()->setState(stateOf(1, 0));
        kill(list[0]);
        kill(list[1]);
        QCOMPARE(encounter()->getVisibleForPlayers().deadMonsters, (QMap<int, Creature*>{{0, list[1]}}));
    }
    void selection()
    {
        QList<Creature*> heroes = enter("A, B, C, D");
        Creature *a = heroes[0], *b = heroes[1], *c = heroes[2];
        Creature* outsider = world->addHero("E", 30);
        SignalLog log;
        for (int index : {2, 0, 2, 9})
            encounter()->selectCreature(index);
        QCOMPARE(log.take(), QString("selection selection selection selection"));
        QCOMPARE(names(encounter()->getSelectedCreatures()), QString("C, A"));
        QCOMPARE(encounter()->getSelectedIndexes(), QList<int>({0, 2}));
        QCOMPARE(encounter()->getSelectedCreature(false), c);
        QCOMPARE(encounter()->getSelectedCreature(true), nullptr);
        QVERIFY(encounter()->isCreatureSelected(a) && !encounter()->isCreatureSelected(b));
        encounter()->toggleSelectedCreature(2);
        QCOMPARE(log.take(), QString("selection"));
        QCOMPARE(encounter()->getSelectedCreature(true), a);
        encounter()->toggleSelectedCreature(1);
        QCOMPARE(names(encounter()->getSelectedCreatures()), QString("A, B"));
        encounter()->removeSelectedCreature(c);
        QCOMPARE(log.take(), QString("selection"));
        encounter()->setSelectedCreatures({b, a, b});
        encounter()->removeSelectedCreature(b);
        QCOMPARE(log.take(), QString("selection selection"));
        QCOMPARE(encounter()->getSelectedCreatures(), QList<Creature*>({a}));
        encounter()->setSelectedCreatures({c, outsider, a});
        log.take();
        encounter()->removeSelectedNotInEncounter();
        QCOMPARE(log.take(), QString());
        QCOMPARE(names(encounter()->getSelectedCreatures()), QString("C, A"));
        encounter()->clearSelectedCreatures();
        QCOMPARE(log.take(), QString("selection"));
        QCOMPARE(encounter()->getSelectedCreature(false), nullptr);
        QVERIFY(encounter()->getSelectedIndexes().isEmpty());
        // Moving a creature tells the windows only when its place in the initiative changes.
        encounter()->moveCreature(0, 3);
        QCOMPARE(log.take(), QString());
        encounter()->adjustInitiative({b}, 1);
        QCOMPARE(log.take(), QString("current count"));
        QCOMPARE(encounter()->getCreatureList().getNameList(), QString("C, B, D, A"));
    }
    void handEdits()
    {
        QList<Creature*> creatures = enter("Ana, Orc (1)");
        Creature *ana = creatures[0], *orc = creatures[1];
        ObjectStream* stream = world->stream();
        // Setting up the hero may have raised the flag; nothing differs yet.
        encounter()->writeVitalityChanges(stream);
        QCOMPARE(Global::history->getEventCount(), 0);
        const int offset = stream->getOffset();
        ana->setCurrHitPoints(12);
        // Recorded only when flagged.
        encounter()->writeVitalityChanges(stream);
        QCOMPARE(Global::history->getEventCount(), 0);
        QCOMPARE(stream->getOffset(), offset);
        encounter()->setCreatureEdited();
        encounter()->writeVitalityChanges(stream);
        QCOMPARE(Global::history->getEventCount(), 1);
        QCOMPARE(Global::history->getEventText(0), QString("Changed Ana: Curr HP 12"));
        // Once recorded, the figures are no longer an edit.
        encounter()->setCreatureEdited();
        encounter()->writeVitalityChanges(stream);
        QCOMPARE(Global::history->getEventCount(), 1);
        // Pending figures are dropped.
        orc->setDeltaCurrHealth(-7, 0, 0);
        ana->setDeltaCurrHealth(-3, 5, 0);
        encounter()->resetAllDeltas();
        QCOMPARE(QList<int>({orc->getCurrHitPoints(), ana->getCurrHitPoints(), ana->getTempHitPoints()}),
                 QList<int>({20, 12, 0}));
        QCOMPARE(orc->getHitPointDelta(), 0);
    }
};

RAVELHORN_TEST_MAIN(QGuiApplication, TestEncounter)
#include "test_encounter.moc"
