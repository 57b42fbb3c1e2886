#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <algorithm>
#include <climits>

#include "creature/creaturetesting.h"
#include "foundation/objectstream.h"
#include "support/testsupport.h"

namespace {

// A history log in a temporary folder; records go after its header.
class Log
{
public:
    // With bytes, the log holds a header followed by exactly those bytes.
    explicit Log(const QByteArray& records = QByteArray(), bool writable = true)
    {
        QString path = dir.filePath("history.log");
        if (!records.isNull())
            TestSupport::writeFile(path, Log().fileBytes() + records);
        else if (!writable)
            TestSupport::writeFile(path, QByteArray());
        auto* file = new QFile(path);
        file->open(writable ? QIODevice::ReadWrite : QIODevice::ReadOnly);
        stream = new ObjectStream(file);
        stream->initialize(true);
        start = stream->getOffset();
    }
    ~Log() { delete stream; }

    void rewind() { stream->setOffset(start); }
    // What was written after the header, end marker excluded.
    QByteArray records() { return fileBytes().mid(start); }
    bool atEnd() { return stream->isNextItem(0); }

    ObjectStream* stream;
    int start;

private:
    QByteArray fileBytes()
    {
        stream->flush();
        return TestSupport::readFile(dir.filePath("history.log")).left(stream->getOffset());
    }

    QTemporaryDir dir;
};

QByteArray item(int id, const QByteArray& payload)
{
    return QByteArray(1, char(id & 0xFF)) + char(id >> 8) + char(payload.size()) + payload;
}

QByteArray intItem(int id, qint32 value)
{
    QByteArray payload(4, 0);
    for (int i = 0; i < 4; i++)
        payload[i] = char(quint32(value) >> (8 * i));
    return item(id, payload);
}

QByteArray reference(const QByteArray& name)
{
    return item(ID_CREATURE_NAME, name) + item(ID_CREATURE_END, QByteArray());
}

// The byte offsets at which the items of a record end.
QList<int> itemEnds(const QByteArray& bytes)
{
    QList<int> ends;
    for (int at = 0; at < bytes.size(); at += 3 + uchar(bytes[at + 2]))
        ends.append(at + 3 + uchar(bytes[at + 2]));
    return ends;
}

QList<int> figures(const CreatureInit& r)
{
    return {r.roll, r.random};
}

QList<int> figures(const RestedCreature& r)
{
    return {r.usedSurges, r.addedHitPoints, r.addedActionPoint};
}

QList<int> figures(const CreatureVitality& r)
{
    return {r.initBonus, r.maxHitPoints, r.hitPoints, r.maxHealingSurges,
            r.healingSurges, r.surgeValue, r.initActionPoints, r.actionPoints};
}

QString referenceOf(Creature* creature)
{
    return creature ? creature->getNameGroup() : QString("<null>");
}

}

class TestCreatureRecords : public QObject, private CreatureFixture
{
    Q_OBJECT

private:
    Creature* aldric = nullptr;
    Creature* goblin1 = nullptr;

    Creature* addHero(const QString& name)
    {
        auto* hero = new Creature;
        hero->setupDummyHero(name);
        Global::characters->addCharacter(hero);
        return hero;
    }

    static void addTemplate(const QString& group)
    {
        auto* monster = new Creature;
        monster->setupDummyMonster(group);
        Global::monsters->addTemplate(monster);
    }

    // Each record cut short after every byte: figures whose items are whole
    // read as written, the rest as 0, and the reader stops at the end of the data.
    template <typename Record>
    void checkCutShort(const Record& full)
    {
        Log log;
        full.write(log.stream);
        const QByteArray bytes = log.records();
        const QList<int> ends = itemEnds(bytes);
        const QList<int> written = figures(full);
        QCOMPARE(ends.size(), written.size() + 3);
        for (int cut = 0; cut < bytes.size(); cut++) {
            Log cutLog(bytes.left(cut));
            Record read;
            read.read(cutLog.stream);
            QCOMPARE(read.creature, cut >= ends[0] ? full.creature : nullptr);
            QList<int> expected;
            for (int i = 0; i < written.size(); i++)
                expected.append(cut >= ends[i + 2] ? written[i] : 0);
            QCOMPARE(figures(read), expected);
            QVERIFY(cutLog.atEnd());
        }
        // Whole, it reads as written.
        log.rewind();
        Record read;
        read.read(log.stream);
        QCOMPARE(read.creature, full.creature);
        QCOMPARE(figures(read), written);
    }

private slots:
    void init()
    {
        setUp();
        aldric = addHero("Aldric");
        addHero("Bob (the Brave)");
        addTemplate("Goblin");
        goblin1 = Global::monsters->getMonsterInstance("Goblin", "1", true);
    }

    void cleanup() { tearDown(); }

    void resolvesReferenceNames_data()
    {
        columns<QString, bool, QString, bool, int, int>(
            {"name", "create", "expected", "missing", "characters", "instances"});
        QTest::newRow("empty") << "" << true << "<null>" << false << 2 << 1;
        QTest::newRow("hero ignoring case") << "aLDRIC" << false << "Aldric" << false << 2 << 1;
        QTest::newRow("hero named like a monster") << "Bob (the Brave)" << true << "Bob (the Brave)" << false << 2 << 1;
        QTest::newRow("instance ignoring case") << "goblin (1)" << false << "Goblin (1)" << false << 2 << 1;
        QTest::newRow("unknown instance") << "Goblin (2)" << false << "<null>" << false << 2 << 1;
        QTest::newRow("instance made from template") << "Goblin (2)" << true << "Goblin (2)" << false << 2 << 2;
        QTest::newRow("unknown template") << "Orc (1)" << false << "<null>" << false << 2 << 1;
        QTest::newRow("instance of placeholder template") << "Orc (1)" << true << "Orc (1)" << true << 2 << 2;
        QTest::newRow("unknown hero") << "Zed" << false << "<null>" << false << 2 << 1;
        QTest::newRow("placeholder hero") << "Zed" << true << "Zed" << true << 3 << 1;
    }

    void resolvesReferenceNames()
    {
        QFETCH(QString, name);
        QFETCH(bool, create);
        Creature* found = Creature::getCreatureByName(name, create);
        QTEST(referenceOf(found), "expected");
        if (found)
            QTEST(found->isMissing(), "missing");
        QTEST(Global::characters->getCharacterCount(), "characters");
        QTEST(Global::monsters->getInstanceCount(), "instances");
        // The same name finds the same creature again.
        QCOMPARE(Creature::getCreatureByName(name, create), found);
        // An unknown template becomes a missing placeholder even when nothing is made.
        if (name.startsWith("Orc")) {
            QVERIFY(Global::monsters->findTemplate("Orc")->isMissing());
            QCOMPARE(Global::monsters->getTemplateCount(), 2);
        }
    }

    void damagedListCount_data()
    {
        columns<QByteArray, QStringList, bool>({"records", "expected", "followerKept"});
        const QByteArray two = reference("Aldric") + reference("Goblin (1)");
        const QByteArray end = item(ID_CREATURE_LIST_END, QByteArray());
        const QByteArray follower = end + intItem(ID_EVENT_TYPE, 7) + reference("Later");
        const QStringList both{"Aldric", "Goblin (1)"};
        auto count = [](int n) { return intItem(ID_CREATURE_LIST_SIZE, n); };
        QTest::newRow("huge count, end item") << count(INT_MAX) + two + follower << both << true;
        QTest::newRow("huge count, end of data") << count(INT_MAX) + two << both << false;
        QTest::newRow("huge count, unknown items between")
            << count(INT_MAX) + reference("Aldric") + intItem(999, 5) + item(998, "x") + reference("Goblin (1)")
                   + item(997, "y") + follower
            << both << true;
        QTest::newRow("count too large by three") << count(5) + two + follower << both << true;
        QTest::newRow("count of 2^31 is negative") << count(INT_MIN) + two + follower << QStringList() << true;
        QTest::newRow("negative count") << count(-3) + follower << QStringList() << true;
        QTest::newRow("count too small") << count(1) + two + follower << QStringList{"Aldric"} << true;
        // The search for the count stops at the next record, which survives.
        QTest::newRow("no count") << two + follower << QStringList() << true;
        QTest::newRow("bad length byte")
            << count(INT_MAX) + reference("Aldric") + QByteArray::fromHex("6700FD") + two << QStringList{"Aldric"}
            << false;
    }

    void damagedListCount()
    {
        Log log(fetch<QByteArray>("records"));
        QStringList read;
        for (Creature* creature : Creature::readCreatureList(log.stream))
            read.append(referenceOf(creature));
        QTEST(read, "expected");
        if (fetch<bool>("followerKept")) {
            QCOMPARE(log.stream->readInt(ID_EVENT_TYPE), 7);
            QCOMPARE(Creature::readCreature(log.stream)->getName(), QString("Later"));
        }
        QVERIFY(log.atEnd());
    }

    void recordsRoundTripAndCutShort()
    {
        checkCutShort(CreatureInit{aldric, 17, -4});
        checkCutShort(RestedCreature{goblin1, 2, 31, 1});
        checkCutShort(CreatureVitality{aldric, 3, 40, 25, 8, 3, 10, 1, 2});
        checkCutShort(CreatureVitality{nullptr, UnknownValue, 40, -5, 8, 3, 10, 1, AllActionPoints});
        // The rested action point is an integer item.
        Log log;
        RestedCreature{aldric, 0, 0, 1}.write(log.stream);
        QVERIFY(log.records().endsWith(QByteArray::fromHex("7B000401000000" "780000")));
    }

    void listCutShort()
    {
        Log log;
        Creature::write(QList<Creature*>{aldric, nullptr, goblin1}, log.stream);
        const QByteArray bytes = log.records();
        const QList<int> ends = itemEnds(bytes);
        const QList<int> nameEnds{ends[1], ends[3], ends[5]};
        // Whole, the list reads back with its null; the reader stops right after its end item.
        for (int cut = 0; cut <= bytes.size(); cut++) {
            Log cutLog(bytes.left(cut));
            int whole = 0;
            if (cut >= ends[0])
                whole = int(std::count_if(nameEnds.begin(), nameEnds.end(), [cut](int e) { return e <= cut; }));
            QCOMPARE(Creature::readCreatureList(cutLog.stream), QList<Creature*>({aldric, nullptr, goblin1}).mid(0, whole));
            QVERIFY(cutLog.atEnd());
        }
    }

    void itemsInAnyOrderAndUnknownOnesSkipped()
    {
        QByteArray records = reference("Aldric") + intItem(ID_CREATURE_VITALITY_CURR_AP, 8)
            + intItem(ID_CREATURE_VITALITY_MAX_HP, 1) + item(999, "unknown")
            + intItem(ID_CREATURE_VITALITY_INIT_AP, 7) + intItem(ID_CREATURE_VITALITY_HS_VALUE, 6)
            + intItem(ID_CREATURE_VITALITY_MAX_HS, 4) + intItem(ID_CREATURE_VITALITY_CURR_HP, 3)
            + intItem(ID_CREATURE_VITALITY_INIT_BONUS, 1000) + intItem(ID_CREATURE_VITALITY_MAX_HP, 2)
            + item(ID_CREATURE_VITALITY_END, QByteArray()) + intItem(ID_CREATURE_VITALITY_CURR_HS, 99);
        Log log(records);
        CreatureVitality vitality;
        vitality.read(log.stream);
        QCOMPARE(vitality.creature, aldric);
        // No surges item in the record: 0; the later of two items counts.
        QCOMPARE(figures(vitality), QList<int>({1000, 2, 3, 4, 0, 6, 7, 8}));
        QCOMPARE(log.stream->readInt(ID_CREATURE_VITALITY_CURR_HS), 99);

        Log initLog(item(998, "x") + reference("Aldric") + intItem(999, 5) + intItem(ID_CREATURE_ITEM_ROLL, 12)
                    + item(997, "") + intItem(ID_CREATURE_ITEM_RANDOM, 3) + item(996, "y")
                    + item(ID_CREATURE_ITEM_END, QByteArray()));
        CreatureInit init;
        init.read(initLog.stream);
        QCOMPARE(init.creature, aldric);
        QCOMPARE(figures(init), QList<int>({12, 3}));
        QVERIFY(initLog.atEnd());
    }

    void writersReportFailure()
    {
        CapturedMessages quiet;
        Log good;
        Log bad(QByteArray(), false);
        QVERIFY(bad.stream->hasError());
        for (Log* log : {&good, &bad}) {
            ObjectStream* s = log->stream;
            bool ok = log == &good;
            QCOMPARE(Creature::write(aldric, s), ok);
            QCOMPARE(Creature::write(QList<Creature*>{aldric}, s), ok);
            QCOMPARE((CreatureInit{aldric, 1, 2}.write(s)), ok);
            QCOMPARE((RestedCreature{aldric, 1, 2, 0}.write(s)), ok);
            QCOMPARE(CreatureVitality{aldric}.write(s), ok);
        }
    }
};

RAVELHORN_TEST_MAIN(QGuiApplication, TestCreatureRecords)
#include "test_creaturerecords.moc"
