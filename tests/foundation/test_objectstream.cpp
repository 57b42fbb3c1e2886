#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <memory>

#include "foundation/global.h"
#include "foundation/objectstream.h"
#include "support/testsupport.h"

namespace {

using Entry = QPair<int, QByteArray>;
using Entries = QList<Entry>;

// The item encoding, written out independently of the stream.
QByteArray little(quint32 value, int bytes)
{
    QByteArray result;
    for (int i = 0; i < bytes; ++i)
        result.append(char(value >> (8 * i)));
    return result;
}

QByteArray encoded(int id, const QByteArray& payload)
{
    int n = int(payload.size());
    QByteArray prefix = n < 251 ? little(n, 1) : n < 65536 ? "\xfb" + little(n, 2) : "\xfc" + little(n, 4);
    return little(id, 2) + prefix + payload;
}

QByteArray encoded(const Entries& entries)
{
    QByteArray bytes;
    for (const Entry& entry : entries)
        bytes += encoded(entry.first, entry.second);
    return bytes;
}

QByteArray header(int major, int minor, const QByteArray& version, const QByteArray& created, bool ended = true)
{
    Entries items{{2, little(major, 4)}, {3, little(minor, 4)}, {4, version}, {5, created}};
    if (ended)
        items.append(Entry{1, {}});
    return encoded(items);
}

const QByteArray marker(2, '\0');
const int headerSize = 48;

std::unique_ptr<ObjectStream> openStream(const QString& path, QIODevice::OpenMode mode = QIODevice::ReadWrite)
{
    auto* file = new QFile(path);
    if (!file->open(mode)) {
        delete file;
        return nullptr;
    }
    return std::make_unique<ObjectStream>(file);
}

// A record as the history writes one; returns its length.
int writeRecord(ObjectStream& stream, const Entries& entries)
{
    stream.mark();
    for (const Entry& entry : entries)
        stream.write(entry.first, entry.second);
    int length = stream.setToMark();
    stream.incOffset(length);
    return length;
}

// Every item up to the end of the data, leaving the stream there.
Entries readAll(ObjectStream& stream)
{
    Entries entries;
    for (;;) {
        StreamItem item = stream.read();
        if (item.isEOF()) {
            stream.decOffset(item.getSize());
            return entries;
        }
        entries.append({item.getID(), item.getData()});
    }
}

// Thirty records of the usual kinds, some with long payloads.
QList<Entries> sampleRecords()
{
    const int longSizes[] = {0, 250, 251, 700};
    QList<Entries> records;
    for (int i = 0; i < 30; ++i) {
        Entries record{{ID_EVENT_TYPE, little(i % 42 + 1, 4)},
                       {ID_CREATURE_NAME, QString("Goblin %1 (Skirmisher)").arg(i).toUtf8()},
                       {ID_DAMAGE_EVENT_DAMAGE, little(quint32(-7 * i), 4)}};
        if (int size = longSizes[i % 4])
            record.append(Entry{ID_ENCOUNTER_ENTRY_DESC, QByteArray(size, char('a' + i % 26))});
        record.append(Entry{ID_CREATURE_END, {}});
        record.append(Entry{ID_DAMAGE_EVENT_END, {}});
        records.append(record);
    }
    return records;
}

Entries flattened(const QList<Entries>& records)
{
    Entries all;
    for (const Entries& record : records)
        all += record;
    return all;
}

const Entries lateRecord{
    {ID_EVENT_TYPE, little(9, 4)}, {ID_HEAL_EVENT_HP, little(12, 4)}, {ID_HEAL_EVENT_END, {}}};

}

class TestObjectStream : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir;
    int serial = 0;

    // Each trial writes a new file: rewriting one in place makes the file
    // system flush it at every close, which is slow.
    QString trialFile(const QString& folder, int trial, const QByteArray& bytes)
    {
        QString path = QString("%1/trial%2.log").arg(folder).arg(trial);
        return TestSupport::writeFile(path, bytes) ? path : QString();
    }

    QString freshPath()
    {
        QString folder = dir.filePath(QString::number(++serial));
        QDir().mkpath(folder);
        return folder + "/history.log";
    }

    // A log holding the sample records, and its bytes.
    QByteArray sampleLog()
    {
        QString path = freshPath();
        {
            auto stream = openStream(path);
            if (!stream->initialize(true))
                return QByteArray();
            for (const Entries& record : sampleRecords())
                writeRecord(*stream, record);
        }
        return TestSupport::readFile(path);
    }

private slots:
    void newLog()
    {
        QString path = freshPath();
        QString created;
        {
            auto stream = openStream(path);
            QVERIFY(stream->initialize(false));
            QCOMPARE(stream->getOffset(), headerSize);
            created = stream->getCreationDate();
            QVERIFY(QRegularExpression("^\\d{4}-\\d\\d-\\d\\d-\\d\\d-\\d\\d-\\d\\d$").match(created).hasMatch());
            QVERIFY(!stream->readID(ID_HEADER_END));
            QCOMPARE(stream->getOffset(), headerSize);
            QVERIFY(stream->getDamagedCopy().isEmpty());
            QVERIFY(!stream->hasError());
        }
        QByteArray bytes = TestSupport::readFile(path);
        QCOMPARE(bytes.size(), headerSize + 2);
        QCOMPARE(bytes.left(17), QByteArray::fromHex("0200040100000003000400000000040006"));
        QCOMPARE(bytes, header(1, 0, "2.0.12", created.toUtf8()) + marker);

        auto again = openStream(path);
        QVERIFY(again->initialize(false));
        QCOMPARE(again->getCreationDate(), created);
        QCOMPARE(again->getOffset(), headerSize);
        QCOMPARE(TestSupport::readFile(path), bytes);
    }

    void lengthPrefixes_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<QByteArray>("prefix");
        QTest::newRow("0") << 0 << QByteArray::fromHex("00");
        QTest::newRow("250") << 250 << QByteArray::fromHex("fa");
        QTest::newRow("251") << 251 << QByteArray::fromHex("fbfb00");
        QTest::newRow("65535") << 65535 << QByteArray::fromHex("fbffff");
        QTest::newRow("65536") << 65536 << QByteArray::fromHex("fc00000100");
    }

    void lengthPrefixes()
    {
        QFETCH(int, length);
        QFETCH(QByteArray, prefix);
        QByteArray payload(length, 'x');
        QString path = freshPath();
        {
            auto stream = openStream(path);
            QVERIFY(stream->initialize(true));
            stream->write(0x1234, payload);
            QCOMPARE(stream->getOffset(), headerSize + 2 + prefix.size() + length);
        }
        QByteArray bytes = TestSupport::readFile(path);
        QCOMPARE(bytes.mid(headerSize), QByteArray("\x34\x12") + prefix + payload + marker);

        auto stream = openStream(path);
        QVERIFY(stream->initialize(true));
        StreamItem item = stream->read();
        QCOMPARE(item.getID(), 0x1234);
        QCOMPARE(item.getData(), payload);
        QCOMPARE(item.getSize(), 2 + int(prefix.size()) + length);
        QVERIFY(stream->read().isEOF());
    }

    void typedWrites()
    {
        QString path = freshPath();
        {
            auto stream = openStream(path);
            QVERIFY(stream->initialize(true));
            stream->write(7, -2);
            stream->write(ID_CREATURE_NAME, QString::fromUtf8("Orc (\xc3\x89lite)"));
            stream->write(ID_CREATURE_END);
            stream->write(0x10007, 5); // only the low 16 bits of the id
        }
        QCOMPARE(TestSupport::readFile(path).mid(headerSize),
                 QByteArray::fromHex("070004feffffff") + encoded(103, "Orc (\xc3\x89lite)")
                     + QByteArray::fromHex("680000") + QByteArray::fromHex("07000405000000") + marker);

        auto stream = openStream(path);
        QVERIFY(stream->initialize(true));
        QCOMPARE(stream->readInt(7), -2);
        QCOMPARE(stream->readString(ID_CREATURE_NAME), QString::fromUtf8("Orc (\xc3\x89lite)"));
        QVERIFY(stream->readID(ID_CREATURE_END));
        QCOMPARE(stream->readInt(7), 5);
    }

    void itemValues()
    {
        QCOMPARE(StreamItem(6, 9, little(quint32(INT_MIN), 4)).toInt(), INT_MIN);
        QCOMPARE(StreamItem(5, 9, "\x01\x02").toInt(), 0);
        QCOMPARE(StreamItem(8, 9, "\x01\x02\x03\x04\x05").toInt(), 0);
        QCOMPARE(StreamItem(7, 9, QByteArray("ab\0cd", 5)).toString(), QString("ab"));
        QVERIFY(StreamItem().isEOF());
        QCOMPARE(StreamItem(3, 146).getIDString(), QString("146"));
        QCOMPARE(StreamItem(3, 4).getIDString(), QString("ID_HEADER_RVHN_VERSION"));
        QCOMPARE(StreamItem(3, 681).getIDString(), QString("ID_ADJUST_INITIATIVE_ADJUSTMENT"));
        int named = 0;
        for (int id = 0; id < 70000; ++id)
            if (StreamItem(3, id).getIDString() != QString::number(id))
                ++named;
        QCOMPARE(named, 82);
    }

    void versions()
    {
        QByteArray newer = header(2, 0, "3.0.1", "2031-01-01-10-00-00") + marker + encoded(300, little(1, 4));
        for (bool quiet : {false, true}) {
            QString path = freshPath();
            QVERIFY(TestSupport::writeFile(path, newer));
            RecordingUiHooks hooks;
            auto stream = openStream(path);
            QVERIFY(!stream->initialize(quiet));
            QCOMPARE(hooks.alerts.size(), quiet ? 0 : 1);
            if (!quiet) {
                QCOMPARE(hooks.alerts[0].title, QString("History File too New"));
                QCOMPARE(hooks.alerts[0].text,
                         QString("The history file, <b>%1</b>, was created by Ravelhorn version 3.0.1. "
                                 "You need to upgrade in order to read it.")
                             .arg(path));
            }
            stream.reset();
            QCOMPARE(TestSupport::readFile(path), newer);
            QVERIFY(!QDir(QFileInfo(path).path() + "/History").exists());
        }

        QString path = freshPath();
        QByteArray older = header(1, 7, "1.9", "2019-05-06-07-08-09") + encoded(300, little(4, 4)) + marker;
        QVERIFY(TestSupport::writeFile(path, older));
        auto stream = openStream(path);
        QVERIFY(stream->initialize(false));
        QCOMPARE(stream->getCreationDate(), QString("2019-05-06-07-08-09"));
        QCOMPARE(stream->readInt(ID_EVENT_TYPE), 4);
        stream.reset();
        QCOMPARE(TestSupport::readFile(path), older);
    }

    void damagedHeaders_data()
    {
        QTest::addColumn<QByteArray>("log");
        QByteArray records = encoded(300, little(1, 4)) + encoded(340, {}) + marker;
        QTest::newRow("major 0") << header(0, 3, "0.9", "2010-01-01-00-00-00") + records;
        QTest::newRow("minor -1") << header(1, -1, "1.0", "2010-01-01-00-00-00") + records;
        QTest::newRow("no end") << header(1, 0, "1.0", "2010-01-01-00-00-00", false) + records;
        QTest::newRow("no version") << header(1, 0, "", "2010-01-01-00-00-00") + records;
        QTest::newRow("no date") << header(1, 0, "1.0", "") + records;
        QTest::newRow("noise") << QByteArray("just some text that is no log at all");
    }

    void damagedHeaders()
    {
        QFETCH(QByteArray, log);
        QString path = freshPath();
        QString folder = QFileInfo(path).path();
        QVERIFY(TestSupport::writeFile(path, log));
        QStringList copies;
        for (int pass = 0; pass < 2; ++pass) {
            RecordingUiHooks hooks;
            auto stream = openStream(path);
            QVERIFY(stream->initialize(false));
            QVERIFY(hooks.alerts.isEmpty());
            QCOMPARE(stream->getOffset(), headerSize);
            QVERIFY(!stream->readID(300));
            QString copy = stream->getDamagedCopy();
            QCOMPARE(QFileInfo(copy).dir().absolutePath(), QDir(folder + "/History").absolutePath());
            QVERIFY(QFileInfo(copy).fileName().startsWith("damaged_history_"));
            QVERIFY(copy.endsWith(".log"));
            QCOMPARE(TestSupport::readFile(copy), log);
            copies.append(copy);
            writeRecord(*stream, lateRecord);
            stream.reset();

            QByteArray rewritten = TestSupport::readFile(path);
            QCOMPARE(rewritten.left(headerSize), header(1, 0, "2.0.12", rewritten.mid(26, 19)));
            QCOMPARE(rewritten.mid(headerSize, encoded(lateRecord).size() + 2), encoded(lateRecord) + marker);
            // The second pass damages it again: the first copy must survive.
            QVERIFY(TestSupport::writeFile(path, log));
        }
        QVERIFY(copies[0] != copies[1]);
        QCOMPARE(TestSupport::readFile(copies[0]), log);
        QCOMPARE(QDir(folder + "/History").entryList(QDir::Files).size(), 2);
    }

    void damagedHeaderKeptWhenNoCopyCanBeMade()
    {
        QString path = freshPath();
        QString folder = QFileInfo(path).path();
        // A plain file where the folder would go.
        QVERIFY(TestSupport::writeFile(folder + "/History", "in the way"));
        QByteArray log = header(0, 0, "0.1", "2010-01-01-00-00-00") + marker;
        QVERIFY(TestSupport::writeFile(path, log));
        auto stream = openStream(path);
        QVERIFY(!stream->initialize(true));
        QVERIFY(stream->getDamagedCopy().isEmpty());
        stream.reset();
        QCOMPARE(TestSupport::readFile(path), log);
    }

    void offsets()
    {
        QString path = freshPath();
        auto stream = openStream(path);
        QVERIFY(stream->initialize(true));
        int length = writeRecord(*stream, lateRecord);
        QCOMPARE(length, int(encoded(lateRecord).size()));
        int end = headerSize + length;
        QCOMPARE(stream->getOffset(), end);
        stream->setOffset(-5);
        QCOMPARE(stream->getOffset(), 0);
        stream->setOffset(end + 100);
        QCOMPARE(stream->getOffset(), end);
        stream->decOffset(length);
        QCOMPARE(stream->getOffset(), headerSize);
        stream->incOffset(INT_MAX);
        QCOMPARE(stream->getOffset(), end);
        stream->decOffset(INT_MAX);
        QCOMPARE(stream->getOffset(), 0);
        stream->setOffset(headerSize);

        // Reading a record the way the history does.
        stream->mark();
        QCOMPARE(stream->readInt(ID_EVENT_TYPE), 9);
        QVERIFY(!stream->isNextItem(ID_HEAL_EVENT_US));
        QCOMPARE(stream->readInt(ID_HEAL_EVENT_HP), 12);
        QVERIFY(stream->readID(ID_HEAL_EVENT_END));
        QCOMPARE(stream->setToMark(), length);
        QCOMPARE(stream->getOffset(), headerSize);
    }

    void typedReadsAtTheEnd()
    {
        QString path = freshPath();
        QVERIFY(TestSupport::writeFile(path, header(1, 0, "2.0.12", "2020-01-01-00-00-00") + encoded(341, "ab")
                                                 + encoded(342, "x") + marker + encoded(341, little(5, 4))));
        auto stream = openStream(path);
        QVERIFY(stream->initialize(true));
        // A payload that is not 4 bytes long reads as 0.
        QCOMPARE(stream->readInt(341), 0);
        int markerAt = headerSize + 5 + 4;
        // Typed reads of an absent id stop at the marker, not at the item behind it.
        QCOMPARE(stream->readString(999), QString());
        QVERIFY(stream->readString(999).isNull());
        QCOMPARE(stream->getOffset(), markerAt);
        QCOMPARE(stream->readInt(341), 0);
        QVERIFY(!stream->readID(341));
        QCOMPARE(stream->getOffset(), markerAt);
        // read() itself consumes the marker.
        StreamItem end = stream->read();
        QVERIFY(end.isEOF());
        QCOMPARE(end.getSize(), 2);
        QCOMPARE(stream->getOffset(), markerAt + 2);
    }

    void invalidLengthByte()
    {
        for (char length : {'\xfd', '\xfe', '\xff'}) {
            QString path = freshPath();
            QByteArray log = header(1, 0, "2.0.12", "2020-01-01-00-00-00") + encoded(300, little(3, 4));
            log += QByteArray("\x2c\x01") + length + "\x01\x02\x03\x04" + marker;
            QVERIFY(TestSupport::writeFile(path, log));
            auto stream = openStream(path);
            QVERIFY(stream->initialize(true));
            QCOMPARE(stream->readInt(300), 3);
            int at = stream->getOffset();
            QCOMPARE(stream->readInt(300), 0);
            QCOMPARE(stream->getOffset(), at);
            QVERIFY(!stream->isNextItem(300));
            QCOMPARE(stream->getOffset(), at);
            StreamItem item = stream->read();
            QVERIFY(item.isEOF());
            QCOMPARE(item.getSize(), 3);
        }
    }

    void lookAhead()
    {
        QString path = freshPath();
        {
            auto stream = openStream(path);
            QVERIFY(stream->initialize(true));
            writeRecord(*stream, {{ID_EVENT_TYPE, little(5, 4)}, {ID_DAMAGE_EVENT_DAMAGE, little(17, 4)},
                                  {ID_DAMAGE_EVENT_END, {}}});
        }
        auto stream = openStream(path);
        QVERIFY(stream->initialize(true));
        int start = stream->getOffset();
        QVERIFY(!stream->isNextItem(ID_DAMAGE_EVENT_DAMAGE));
        QVERIFY(!stream->isNextItem(ID_DAMAGE_EVENT_DAMAGE)); // asks the same pending item
        QCOMPARE(stream->getOffset(), start + 7);
        QCOMPARE(stream->read().getID(), int(ID_EVENT_TYPE));
        QVERIFY(stream->isNextItem(ID_DAMAGE_EVENT_DAMAGE));
        int after = stream->getOffset();
        QCOMPARE(stream->readInt(ID_DAMAGE_EVENT_DAMAGE), 17);
        QCOMPARE(stream->getOffset(), after);
        QVERIFY(stream->isNextItem(ID_DAMAGE_EVENT_END));
        QVERIFY(stream->readID(ID_DAMAGE_EVENT_END));

        // A look-ahead is dropped when the position moves.
        stream->setOffset(start);
        QVERIFY(stream->isNextItem(ID_EVENT_TYPE));
        stream->setOffset(start + 7);
        QCOMPARE(stream->read().getID(), int(ID_DAMAGE_EVENT_DAMAGE));

        stream->setOffset(start);
        QVERIFY(stream->isNextItem(ID_EVENT_TYPE));
        stream->mark();
        QCOMPARE(stream->read().getID(), int(ID_DAMAGE_EVENT_DAMAGE));
        QCOMPARE(stream->setToMark(), 7);

        // ... and when an item is written.
        stream->setOffset(start);
        QVERIFY(stream->isNextItem(ID_EVENT_TYPE));
        stream->write(ID_HEAL_EVENT_END);
        QVERIFY(stream->read().isEOF());
        stream->setOffset(start);
        QCOMPARE(stream->readInt(ID_EVENT_TYPE), 5);
        QVERIFY(stream->readID(ID_HEAL_EVENT_END));
        QVERIFY(!stream->readID(ID_DAMAGE_EVENT_DAMAGE));
    }

    void searchesStopAtTheNextRecord()
    {
        QString path = freshPath();
        auto stream = openStream(path);
        QVERIFY(stream->initialize(true));
        int start = stream->getOffset();
        // The first record lacks its end item.
        writeRecord(*stream, {{ID_EVENT_TYPE, little(5, 4)}, {ID_DAMAGE_EVENT_DAMAGE, little(17, 4)}});
        writeRecord(*stream, lateRecord);
        stream->setOffset(start);
        QCOMPARE(stream->readInt(ID_EVENT_TYPE), 5);
        QCOMPARE(stream->readInt(ID_DAMAGE_EVENT_DAMAGE), 17);
        int next = stream->getOffset();
        QVERIFY(!stream->readID(ID_DAMAGE_EVENT_END));
        QVERIFY(!stream->readID(ID_HEAL_EVENT_HP));
        QCOMPARE(stream->getOffset(), next);
        QCOMPARE(stream->readInt(ID_EVENT_TYPE), 9);
        QCOMPARE(stream->readInt(ID_HEAL_EVENT_HP), 12);
    }

    void lookAheadAtTheMarker()
    {
        QString path = freshPath();
        {
            auto stream = openStream(path);
            QVERIFY(stream->initialize(true));
            writeRecord(*stream, lateRecord);
            QVERIFY(!stream->isNextItem(ID_EVENT_TYPE));
            writeRecord(*stream, lateRecord);
        }
        for (int round = 0; round < 2; ++round) {
            // Reopened, the marker is read as an item of the log: the look-ahead
            // must still leave the position on it.
            auto stream = openStream(path);
            QVERIFY(stream->initialize(true));
            for (int i = 0; i < 2 + round; ++i) {
                QVERIFY(stream->isNextItem(ID_EVENT_TYPE));
                QCOMPARE(stream->read().getID(), int(ID_EVENT_TYPE));
                QCOMPARE(stream->readInt(ID_HEAL_EVENT_HP), 12);
                QVERIFY(stream->readID(ID_HEAL_EVENT_END));
            }
            int end = stream->getOffset();
            QVERIFY(!stream->isNextItem(ID_EVENT_TYPE));
            QCOMPARE(stream->getOffset(), end);
            QVERIFY(stream->isNextItem(0));
            QCOMPARE(stream->getOffset(), end);
            writeRecord(*stream, lateRecord);
        }
        QCOMPARE(TestSupport::readFile(path).mid(headerSize),
                 encoded(lateRecord) + encoded(lateRecord) + encoded(lateRecord) + encoded(lateRecord) + marker);
    }

    void recordOverTheMiddle()
    {
        QString path = freshPath();
        Entries shortRecord{{ID_EVENT_TYPE, little(2, 4)}, {ID_NEXT_TURN_EVENT_END, {}}};
        {
            auto stream = openStream(path);
            QVERIFY(stream->initialize(true));
            QList<Entries> records = sampleRecords().mid(0, 3);
            int first = writeRecord(*stream, records[0]);
            writeRecord(*stream, records[1]);
            writeRecord(*stream, records[2]);
            stream->setOffset(headerSize + first);
            writeRecord(*stream, shortRecord);
            QVERIFY(stream->read().isEOF());
        }
        QByteArray bytes = TestSupport::readFile(path);
        Entries expected = sampleRecords()[0] + shortRecord;
        QVERIFY(bytes.size() > headerSize + encoded(expected).size() + 2);

        auto stream = openStream(path);
        QVERIFY(stream->initialize(true));
        QCOMPARE(readAll(*stream), expected);
        QCOMPARE(stream->getOffset(), headerSize + int(encoded(expected).size()));
    }

    void cutting()
    {
        QString path = freshPath();
        QList<Entries> records = sampleRecords();
        int firstTwo = int(encoded(records[0] + records[1]).size());
        {
            auto stream = openStream(path);
            QVERIFY(stream->initialize(true));
            for (const Entries& record : records)
                writeRecord(*stream, record);
            stream->setOffset(headerSize + firstTwo);
            QVERIFY(stream->setEOF());
            QCOMPARE(stream->getOffset(), headerSize + firstTwo);
            QVERIFY(stream->read().isEOF());
            QCOMPARE(QFileInfo(path).size(), headerSize + firstTwo + 2);
        }
        auto stream = openStream(path);
        QVERIFY(stream->initialize(true));
        QCOMPARE(readAll(*stream), records[0] + records[1]);
        writeRecord(*stream, lateRecord);
        stream->setOffset(0);
        QVERIFY(stream->setEOF());
        stream.reset();
        QCOMPARE(TestSupport::readFile(path), marker);
    }

    void itemLists()
    {
        QString path = freshPath();
        auto stream = openStream(path);
        QVERIFY(stream->initialize(true));
        stream->write(ID_CREATURE_NAME, QString("first"));
        stream->write(ID_CREATURE_VITALITY_MAX_HP, 30);
        stream->write(ID_CREATURE_NAME, QString("second"));
        stream->write(ID_CREATURE_VITALITY_END);
        stream->write(ID_CREATURE_VITALITY_MAX_HP, 99);
        stream->setOffset(headerSize);

        StreamItemList list;
        QVERIFY(list.read(stream.get(), ID_CREATURE_VITALITY_END));
        QCOMPARE(list.getString(ID_CREATURE_NAME), QString("second"));
        QCOMPARE(list.getInt(ID_CREATURE_VITALITY_MAX_HP), 30);
        QCOMPARE(list.getInt(ID_CREATURE_VITALITY_CURR_HP), 0);
        QVERIFY(list.getString(ID_CREATURE_VITALITY_CURR_HP).isEmpty());
        QVERIFY(list.contains(ID_CREATURE_VITALITY_END));

        StreamItemList rest;
        int at = stream->getOffset();
        QVERIFY(!rest.read(stream.get(), ID_CREATURE_VITALITY_END));
        QCOMPARE(rest.getInt(ID_CREATURE_VITALITY_MAX_HP), 99);
        QVERIFY(rest.contains(0));
        QCOMPARE(stream->getOffset(), at + 7);

        StreamItemList added;
        added.addItem(StreamItem(7, 5, little(1, 4)));
        added.addItem(StreamItem(7, 5, little(2, 4)));
        QCOMPARE(added.size(), 1);
        QCOMPARE(added.getInt(5), 2);
    }

    void manyRecordsThroughTheBuffer()
    {
        // Enough to run through the stream's buffers several times.
        QString path = freshPath();
        const int count = 300;
        auto record = [](int i) {
            return Entries{{ID_EVENT_TYPE, little(i, 4)},
                           {ID_ENCOUNTER_ENTRY_DESC, QByteArray(9000 + i, char('A' + i % 26))},
                           {ID_CREATURE_END, {}}};
        };
        {
            auto stream = openStream(path);
            QVERIFY(stream->initialize(true));
            for (int i = 0; i < count; ++i)
                writeRecord(*stream, record(i));
            stream->setOffset(headerSize);
            for (int i = 0; i < count; ++i) {
                stream->mark();
                QCOMPARE(stream->readInt(ID_EVENT_TYPE), i);
                stream->setToMark();
                stream->incOffset(int(encoded(record(i)).size()));
            }
            QVERIFY(stream->read().isEOF());
            // A payload bigger than the buffer.
            stream->write(ID_ENCOUNTER_ENTRY_DESC, QByteArray(3 << 20, 'z'));
        }
        Entries expected;
        for (int i = 0; i < count; ++i)
            expected += record(i);
        expected.append({ID_ENCOUNTER_ENTRY_DESC, QByteArray(3 << 20, 'z')});
        auto stream = openStream(path);
        QVERIFY(stream->initialize(true));
        QCOMPARE(readAll(*stream), expected);
    }

    void writeFailures()
    {
        CapturedMessages quiet;
        QString path = freshPath();
        {
            auto stream = openStream(path);
            QVERIFY(stream->initialize(true));
            writeRecord(*stream, lateRecord);
        }
        QByteArray log = TestSupport::readFile(path);

        auto stream = openStream(path, QIODevice::ReadOnly);
        QVERIFY(stream->initialize(true));
        QCOMPARE(readAll(*stream), lateRecord);
        stream->mark();
        stream->write(ID_EVENT_TYPE, 3);
        stream->write(ID_STOP_ENCOUNTER_EVENT_END);
        QVERIFY(!stream->hasError()); // not yet in the file
        stream->setToMark();
        QVERIFY(stream->hasError());
        // What did not reach the file is not read back.
        QVERIFY(stream->read().isEOF());
        stream->mark();
        QVERIFY(!stream->hasError());
        QVERIFY(!stream->setEOF());
        QVERIFY(stream->hasError());
        stream.reset();
        QCOMPARE(TestSupport::readFile(path), log);

        // A header that cannot be written fails the initialisation.
        QString empty = freshPath();
        QVERIFY(TestSupport::writeFile(empty, QByteArray()));
        stream = openStream(empty, QIODevice::ReadOnly);
        QVERIFY(!stream->initialize(true));
        QVERIFY(stream->hasError());

        if (QFileInfo::exists("/dev/full")) {
            stream = openStream("/dev/full");
            QVERIFY(stream);
            QVERIFY(!stream->initialize(true));
            QVERIFY(stream->hasError());
        }
    }

    void truncatedLogs()
    {
        QByteArray log = sampleLog();
        QVERIFY(!log.isEmpty());
        Entries all = flattened(sampleRecords());
        QList<int> ends;
        int end = headerSize;
        for (const Entry& entry : all)
            ends.append(end += int(encoded(entry.first, entry.second).size()));
        QCOMPARE(log.size(), end + 2);

        QString folder = QFileInfo(freshPath()).path();
        for (int cut = 0; cut < log.size(); ++cut) {
            QByteArray bytes = log.left(cut);
            QString path = trialFile(folder, cut, bytes);
            QVERIFY(!path.isEmpty());
            Entries expected;
            for (int i = 0; i < all.size() && ends[i] <= cut; ++i)
                expected.append(all[i]);
            {
                auto stream = openStream(path);
                QVERIFY(stream->initialize(true));
                QCOMPARE(stream->getDamagedCopy().isEmpty(), cut == 0 || cut >= headerSize);
                if (!stream->getDamagedCopy().isEmpty())
                    QCOMPARE(TestSupport::readFile(stream->getDamagedCopy()), bytes);
                QCOMPARE(readAll(*stream), expected);
                writeRecord(*stream, lateRecord);
            }
            auto stream = openStream(path);
            QVERIFY(stream->initialize(true));
            QVERIFY(stream->getDamagedCopy().isEmpty());
            QCOMPARE(readAll(*stream), expected + lateRecord);
            stream.reset();
            QFile::remove(path);
        }
        QCOMPARE(int(QDir(folder + "/History").entryList(QDir::Files).size()), headerSize - 1);
    }

    void corruptedLogs()
    {
        QByteArray log = sampleLog();
        QVERIFY(!log.isEmpty());
        QString folder = QFileInfo(freshPath()).path();
        QRandomGenerator random(20240611);
        int refused = 0;
        for (int trial = 0; trial < 400; ++trial) {
            QByteArray bytes = log;
            for (int flips = 1 + random.bounded(3); flips > 0; --flips)
                bytes[random.bounded(int(bytes.size()))] ^= char(1 + random.bounded(255));
            QString path = trialFile(folder, trial, bytes);
            QVERIFY(!path.isEmpty());
            Entries first;
            {
                auto stream = openStream(path);
                if (!stream->initialize(true)) {
                    ++refused;
                    continue;
                }
                QByteArray file = TestSupport::readFile(path);
                for (int guard = 0;; ++guard) {
                    QVERIFY(guard < file.size());
                    int before = stream->getOffset();
                    StreamItem item = stream->read();
                    int after = stream->getOffset();
                    if (item.isEOF()) {
                        stream->decOffset(item.getSize());
                        break;
                    }
                    // Only whole items, made of bytes that are in the file.
                    QCOMPARE(after - before, item.getSize());
                    QVERIFY(after <= file.size());
                    QCOMPARE(file.mid(before, 2), little(item.getID(), 2));
                    QCOMPARE(file.mid(after - item.getData().size(), item.getData().size()), item.getData());
                    first.append({item.getID(), item.getData()});
                }
                writeRecord(*stream, lateRecord);
            }
            auto stream = openStream(path);
            QVERIFY(stream->initialize(true));
            QCOMPARE(readAll(*stream), first + lateRecord);
            stream.reset();
            QFile::remove(path);
        }
        QVERIFY(refused < 20);
    }
};

RAVELHORN_TEST_MAIN(QGuiApplication, TestObjectStream)
#include "test_objectstream.moc"
