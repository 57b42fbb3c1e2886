#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <algorithm>
#include <functional>
#include <memory>
#include <numeric>

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
    return std::accumulate(entries.begin(), entries.end(), QByteArray(), [](const QByteArray& bytes, const Entry& entry) {
        return bytes + encoded(entry.first, entry.second);
    });
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
const QByteArray plainHeader = header(1, 0, "2.0.12", "2020-01-01-00-00-00");
const Entries lateRecord{{ID_EVENT_TYPE, little(9, 4)}, {ID_HEAL_EVENT_HP, little(12, 4)}, {ID_HEAL_EVENT_END, {}}};

// Takes writes, but cannot be cut.
class UncuttableFile : public QFile
{
public:
    using QFile::QFile;
    bool resize(qint64) override { return false; }
};

std::unique_ptr<ObjectStream> openStream(const QString& path, QIODevice::OpenMode mode = QIODevice::ReadWrite,
                                         bool cuttable = true)
{
    auto file = cuttable ? std::make_unique<QFile>(path) : std::make_unique<UncuttableFile>(path);
    return file->open(mode) ? std::make_unique<ObjectStream>(file.release()) : nullptr;
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
    for (StreamItem item = stream.read();; item = stream.read()) {
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
        records.append(record + Entries{{ID_CREATURE_END, {}}, {ID_DAMAGE_EVENT_END, {}}});
    }
    return records;
}

}

class TestObjectStream : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir;
    int serial = 0;

    QString freshPath(const QByteArray& bytes = QByteArray())
    {
        QString folder = dir.filePath(QString::number(++serial));
        QDir().mkpath(folder);
        if (!bytes.isEmpty())
            TestSupport::writeFile(folder + "/history.log", bytes);
        return folder + "/history.log";
    }

    // A stream on a fresh log holding the bytes (none: a new log), initialised quietly.
    std::unique_ptr<ObjectStream> opened(const QByteArray& bytes = QByteArray(), QString* at = nullptr)
    {
        QString path = freshPath(bytes);
        if (at)
            *at = path;
        return reopened(path);
    }

    static std::unique_ptr<ObjectStream> reopened(const QString& path)
    {
        auto stream = openStream(path);
        return stream->initialize(true) ? std::move(stream) : nullptr;
    }

    // A log written by the stream itself, and its bytes.
    QByteArray writtenLog(const QList<Entries>& records, QString* at = nullptr)
    {
        QString path;
        if (auto stream = opened({}, at ? at : &path))
            for (const Entries& record : records)
                writeRecord(*stream, record);
        return TestSupport::readFile(at ? *at : path);
    }

    // Opens a damaged log and reads every item, each whole and made of bytes
    // of the file; writes a late record behind them and reopens: the log must
    // then hold exactly what was read and the late record.
    void readDamaged(const QString& path, Entries& read, bool& refused, QString& damagedCopy)
    {
        auto stream = openStream(path);
        if ((refused = !stream->initialize(true)))
            return;
        QByteArray file = TestSupport::readFile(path);
        damagedCopy = stream->getDamagedCopy();
        for (;;) {
            QVERIFY(read.size() < file.size());
            int before = stream->getOffset();
            StreamItem item = stream->read();
            int after = stream->getOffset();
            if (item.isEOF()) {
                stream->decOffset(item.getSize());
                break;
            }
            QCOMPARE(after - before, item.getSize());
            QVERIFY(after <= file.size());
            QCOMPARE(file.mid(before, 2), little(item.getID(), 2));
            QCOMPARE(file.mid(after - item.getData().size(), item.getData().size()), item.getData());
            read.append({item.getID(), item.getData()});
        }
        writeRecord(*stream, lateRecord);
        stream.reset();
        stream = reopened(path);
        QVERIFY(stream->getDamagedCopy().isEmpty());
        QCOMPARE(readAll(*stream), read + lateRecord);
        stream.reset();
        QFile::remove(path);
    }

private slots:
    void lengthPrefixes_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<QByteArray>("prefix");
        for (auto [length, prefix] : QList<QPair<int, const char*>>{
                 {0, "00"}, {250, "fa"}, {251, "fbfb00"}, {65535, "fbffff"}, {65536, "fc00000100"}})
            QTest::addRow("%d", length) << length << QByteArray::fromHex(prefix);
    }

    void lengthPrefixes()
    {
        QFETCH(int, length);
        QFETCH(QByteArray, prefix);
        QByteArray payload(length, 'x');
        QString path;
        if (auto stream = opened({}, &path)) {
            stream->write(0x1234, payload);
            QCOMPARE(stream->getOffset(), headerSize + 2 + prefix.size() + length);
        }
        QCOMPARE(TestSupport::readFile(path).mid(headerSize), QByteArray("\x34\x12") + prefix + payload + marker);
        auto stream = reopened(path);
        StreamItem item = stream->read();
        QCOMPARE((QList<int>{item.getID(), item.getSize(), stream->read().isEOF()}), (QList<int>{0x1234, 2 + int(prefix.size()) + length, true}));
        QCOMPARE(item.getData(), payload);
    }

    void typedItems()
    {
        QString path;
        const QString name = QString::fromUtf8("Orc (\xc3\x89lite)");
        if (auto stream = opened({}, &path)) {
            stream->write(7, -2);
            stream->write(ID_CREATURE_NAME, name);
            stream->write(ID_CREATURE_END);
            stream->write(0x10007, 5); // only the low 16 bits of the id
        }
        QCOMPARE(TestSupport::readFile(path).mid(headerSize), QByteArray::fromHex("070004feffffff") + encoded(103, name.toUtf8())
                                                                  + QByteArray::fromHex("68000007000405000000") + marker);
        auto stream = reopened(path);
        QCOMPARE((QVariantList{stream->readInt(7), stream->readString(ID_CREATURE_NAME), stream->readID(ID_CREATURE_END), stream->readInt(7)}),
                 (QVariantList{-2, name, true, 5}));
        QCOMPARE((QList<int>{StreamItem(6, 9, little(quint32(INT_MIN), 4)).toInt(), StreamItem(5, 9, "\x01\x02").toInt(),
                             StreamItem(8, 9, "\x01\x02\x03\x04\x05").toInt(), StreamItem().isEOF()}),
                 (QList<int>{INT_MIN, 0, 0, true}));
        QCOMPARE(StreamItem(7, 9, QByteArray("ab\0cd", 5)).toString() + StreamItem(3, 146).getIDString(), QString("ab146"));
    }

    void newerLogsAreRefusedOlderRead()
    {
        QByteArray newer = header(2, 0, "3.0.1", "2031-01-01-10-00-00") + marker + encoded(300, little(1, 4));
        for (bool quiet : {false, true}) {
            QString path = freshPath(newer);
            RecordingUiHooks hooks;
            QVERIFY(!openStream(path)->initialize(quiet));
            QCOMPARE(hooks.alerts.size(), quiet ? 0 : 1);
            QVERIFY(quiet || hooks.alerts[0].title + hooks.alerts[0].text
                                 == QString("History File too NewThe history file, <b>%1</b>, was created by Ravelhorn version 3.0.1. "
                                            "You need to upgrade in order to read it.").arg(path));
            QCOMPARE(TestSupport::readFile(path), newer);
            QVERIFY(!QDir(QFileInfo(path).path() + "/History").exists());
        }
        QByteArray older = header(1, 7, "1.9", "2019-05-06-07-08-09") + encoded(300, little(4, 4)) + marker;
        QString path;
        auto stream = opened(older, &path);
        QCOMPARE(stream->getCreationDate() + QString::number(stream->readInt(ID_EVENT_TYPE)), QString("2019-05-06-07-08-094"));
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
        QString path = freshPath(log);
        QString folder = QFileInfo(path).path();
        QStringList copies;
        for (int pass = 0; pass < 2; ++pass) {
            RecordingUiHooks hooks;
            auto stream = openStream(path);
            QVERIFY(stream->initialize(false));
            QVERIFY(hooks.alerts.isEmpty() && stream->getOffset() == headerSize && !stream->readID(300));
            QFileInfo copy(stream->getDamagedCopy());
            QCOMPARE(copy.dir().absolutePath(), QDir(folder + "/History").absolutePath());
            QVERIFY(copy.fileName().startsWith("damaged_history_") && copy.fileName().endsWith(".log"));
            QCOMPARE(TestSupport::readFile(copy.filePath()), log);
            copies.append(copy.filePath());
            writeRecord(*stream, lateRecord);
            stream.reset();
            QByteArray rewritten = TestSupport::readFile(path);
            QCOMPARE(rewritten, header(1, 0, "2.0.12", rewritten.mid(26, 19)) + encoded(lateRecord) + marker);
            QVERIFY(QRegularExpression("^\\d{4}(-\\d\\d){5}$").match(QString(rewritten.mid(26, 19))).hasMatch());
            // The second pass damages it again: the first copy must survive.
            QVERIFY(TestSupport::writeFile(path, log));
        }
        QVERIFY(copies[0] != copies[1] && TestSupport::readFile(copies[0]) == log);
        QCOMPARE(QDir(folder + "/History").entryList(QDir::Files).size(), 2);
        // A plain file where the folder would go: the damaged log is left alone.
        path = freshPath(log);
        QVERIFY(TestSupport::writeFile(QFileInfo(path).path() + "/History", "in the way"));
        auto stream = openStream(path);
        QVERIFY(!stream->initialize(true) && stream->getDamagedCopy().isEmpty());
        stream.reset();
        QCOMPARE(TestSupport::readFile(path), log);
    }

    void offsetsAndMarks()
    {
        auto stream = opened();
        int length = writeRecord(*stream, lateRecord);
        int end = headerSize + length;
        QList<int> offsets{length, stream->getOffset()};
        for (const auto& move : QList<std::function<void()>>{[&] { stream->setOffset(-5); }, [&] { stream->setOffset(end + 100); },
                                                              [&] { stream->decOffset(length); }, [&] { stream->incOffset(INT_MAX); },
                                                              [&] { stream->decOffset(INT_MAX); }}) {
            move();
            offsets.append(stream->getOffset());
        }
        QCOMPARE(offsets, (QList<int>{int(encoded(lateRecord).size()), end, 0, end, headerSize, end, 0}));
        // Reading a record the way the history does.
        stream->setOffset(headerSize);
        stream->mark();
        QCOMPARE((QList<int>{stream->readInt(ID_EVENT_TYPE), stream->isNextItem(ID_HEAL_EVENT_US), stream->readInt(ID_HEAL_EVENT_HP),
                             stream->readID(ID_HEAL_EVENT_END), stream->setToMark(), stream->getOffset()}),
                 (QList<int>{9, false, 12, true, length, headerSize}));
    }

    void readsAtTheEnd()
    {
        // A payload not 4 bytes long reads as 0; typed reads of an absent id stop at the marker, not at the item behind it.
        auto stream = opened(plainHeader + encoded(341, "ab") + encoded(342, "x") + marker + encoded(341, little(5, 4)));
        int markerAt = headerSize + 5 + 4;
        QCOMPARE((QList<int>{stream->readInt(341), stream->readString(999).isNull(), stream->readString(999).isNull(),
                             stream->getOffset(), stream->readInt(341), stream->readID(341), stream->getOffset()}),
                 (QList<int>{0, true, true, markerAt, 0, false, markerAt}));
        // read() itself consumes the marker.
        StreamItem end = stream->read();
        QCOMPARE((QList<int>{end.isEOF(), end.getSize(), stream->getOffset()}), (QList<int>{true, 2, markerAt + 2}));
        // An invalid length byte ends the data.
        for (char length : {'\xfd', '\xfe', '\xff'}) {
            stream = opened(plainHeader + encoded(300, little(3, 4)) + QByteArray("\x2c\x01") + length + "\x01\x02\x03\x04" + marker);
            int at = headerSize + 7;
            QCOMPARE((QList<int>{stream->readInt(300), stream->getOffset(), stream->readInt(300), stream->isNextItem(300),
                                 stream->getOffset(), [&] { StreamItem item = stream->read(); return item.isEOF() ? item.getSize() : -1; }()}),
                     (QList<int>{3, at, 0, false, at, 3}));
        }
    }

    void lookAhead()
    {
        Entries damage{{ID_EVENT_TYPE, little(5, 4)}, {ID_DAMAGE_EVENT_DAMAGE, little(17, 4)}};
        auto stream = opened();
        int start = headerSize;
        writeRecord(*stream, damage + Entries{{ID_DAMAGE_EVENT_END, {}}});
        stream->setOffset(start);
        // A second question asks the same pending item.
        QCOMPARE((QList<int>{stream->isNextItem(ID_DAMAGE_EVENT_DAMAGE), stream->isNextItem(ID_DAMAGE_EVENT_DAMAGE), stream->getOffset(),
                             stream->read().getID(), stream->isNextItem(ID_DAMAGE_EVENT_DAMAGE), stream->getOffset(),
                             stream->readInt(ID_DAMAGE_EVENT_DAMAGE), stream->getOffset(), stream->isNextItem(ID_DAMAGE_EVENT_END),
                             stream->readID(ID_DAMAGE_EVENT_END)}),
                 (QList<int>{false, false, start + 7, ID_EVENT_TYPE, true, start + 14, 17, start + 14, true, true}));
        // A look-ahead is dropped when the position moves or an item is written.
        stream->setOffset(start);
        QVERIFY(stream->isNextItem(ID_EVENT_TYPE));
        stream->setOffset(start + 7);
        QCOMPARE(stream->read().getID(), int(ID_DAMAGE_EVENT_DAMAGE));
        stream->setOffset(start);
        QVERIFY(stream->isNextItem(ID_EVENT_TYPE));
        stream->mark();
        QCOMPARE((QList<int>{stream->read().getID(), stream->setToMark()}), (QList<int>{ID_DAMAGE_EVENT_DAMAGE, 7}));
        stream->setOffset(start);
        QVERIFY(stream->isNextItem(ID_EVENT_TYPE));
        stream->write(ID_HEAL_EVENT_END);
        QVERIFY(stream->read().isEOF());
        stream->setOffset(start);
        QCOMPARE((QList<int>{stream->readInt(ID_EVENT_TYPE), stream->readID(ID_HEAL_EVENT_END), stream->readID(ID_DAMAGE_EVENT_DAMAGE)}),
                 (QList<int>{5, true, false}));
        // Searches stop at the next record when one lacks its end item.
        stream->setOffset(start);
        writeRecord(*stream, damage);
        writeRecord(*stream, lateRecord);
        stream->setOffset(start);
        QCOMPARE((QList<int>{stream->readInt(ID_EVENT_TYPE), stream->readInt(ID_DAMAGE_EVENT_DAMAGE), stream->readID(ID_DAMAGE_EVENT_END),
                             stream->readID(ID_HEAL_EVENT_HP), stream->getOffset(), stream->readInt(ID_EVENT_TYPE), stream->readInt(ID_HEAL_EVENT_HP)}),
                 (QList<int>{5, 17, false, false, start + 14, 9, 12}));
    }

    void lookAheadAtTheMarker()
    {
        QString path;
        if (auto stream = opened({}, &path)) {
            writeRecord(*stream, lateRecord);
            QVERIFY(!stream->isNextItem(ID_EVENT_TYPE));
            writeRecord(*stream, lateRecord);
        }
        for (int round = 0; round < 2; ++round) {
            // Reopened, the marker is read as an item of the log: the look-ahead must still leave the position on it.
            auto stream = reopened(path);
            for (int i = 0; i < 2 + round; ++i)
                QCOMPARE((QList<int>{stream->isNextItem(ID_EVENT_TYPE), stream->read().getID(), stream->readInt(ID_HEAL_EVENT_HP),
                                     stream->readID(ID_HEAL_EVENT_END)}),
                         (QList<int>{true, ID_EVENT_TYPE, 12, true}));
            int end = stream->getOffset();
            QCOMPARE((QList<int>{stream->isNextItem(ID_EVENT_TYPE), stream->getOffset(), stream->isNextItem(0), stream->getOffset()}),
                     (QList<int>{false, end, true, end}));
            writeRecord(*stream, lateRecord);
        }
        QCOMPARE(TestSupport::readFile(path).mid(headerSize), encoded(lateRecord).repeated(4) + marker);
    }

    void recordsOverwrittenAndCut()
    {
        // A record written over the middle ends the data; a cut leaves the marker behind the offset.
        QList<Entries> records = sampleRecords();
        Entries shortRecord{{ID_EVENT_TYPE, little(2, 4)}, {ID_NEXT_TURN_EVENT_END, {}}};
        int first = int(encoded(records[0]).size());
        QString path;
        QByteArray full = writtenLog(records.mid(0, 3), &path);
        auto stream = reopened(path);
        stream->setOffset(headerSize + first);
        writeRecord(*stream, shortRecord);
        QVERIFY(stream->read().isEOF() && QFileInfo(path).size() == full.size());
        stream = reopened(path);
        QCOMPARE(readAll(*stream), records[0] + shortRecord);
        stream->setOffset(headerSize + first);
        QVERIFY(stream->setEOF() && stream->getOffset() == headerSize + first && stream->read().isEOF());
        QCOMPARE(QFileInfo(path).size(), headerSize + first + 2);
        stream = reopened(path);
        QCOMPARE(readAll(*stream), records[0]);
        stream->setOffset(0);
        QVERIFY(stream->setEOF());
        stream.reset();
        QCOMPARE(TestSupport::readFile(path), marker);
    }

    void itemLists()
    {
        auto stream = opened();
        stream->write(ID_CREATURE_NAME, QString("first"));
        stream->write(ID_CREATURE_VITALITY_MAX_HP, 30);
        stream->write(ID_CREATURE_NAME, QString("second"));
        stream->write(ID_CREATURE_VITALITY_END);
        stream->write(ID_CREATURE_VITALITY_MAX_HP, 99);
        // The next record begins: the list without its end item stops before it.
        stream->write(ID_EVENT_TYPE, 7);
        stream->setOffset(headerSize);
        StreamItemList list;
        StreamItemList rest;
        QCOMPARE((QList<int>{list.read(stream.get(), ID_CREATURE_VITALITY_END), list.getInt(ID_CREATURE_VITALITY_MAX_HP),
                             list.getInt(ID_CREATURE_VITALITY_CURR_HP), list.contains(ID_CREATURE_VITALITY_END), stream->getOffset(),
                             rest.read(stream.get(), ID_CREATURE_VITALITY_END), rest.getInt(ID_CREATURE_VITALITY_MAX_HP), rest.contains(ID_EVENT_TYPE),
                             stream->getOffset()}),
                 (QList<int>{true, 30, 0, true, headerSize + 27, false, 99, false, headerSize + 34}));
        QVERIFY(list.getString(ID_CREATURE_NAME) == "second" && list.getString(ID_CREATURE_VITALITY_CURR_HP).isEmpty());
        list.addItem(StreamItem(7, 5, little(2, 4)));
        list.addItem(StreamItem(7, 5, little(3, 4)));
        QCOMPARE((QList<int>{int(list.size()), list.getInt(5)}), (QList<int>{4, 3}));
    }

    void manyRecordsThroughTheBuffer()
    {
        // Enough to run through the stream's buffers several times, then a payload bigger than the buffer.
        auto record = [](int i) {
            return Entries{{ID_EVENT_TYPE, little(i, 4)}, {ID_ENCOUNTER_ENTRY_DESC, QByteArray(9000 + i, char('A' + i % 26))}, {ID_CREATURE_END, {}}};
        };
        QString path;
        Entries expected;
        if (auto stream = opened({}, &path)) {
            for (int i = 0; i < 300; ++i)
                writeRecord(*stream, record(i));
            stream->setOffset(headerSize);
            for (int i = 0; i < 300; ++i) {
                stream->mark();
                QCOMPARE(stream->readInt(ID_EVENT_TYPE), i);
                stream->setToMark();
                stream->incOffset(int(encoded(record(i)).size()));
                expected += record(i);
            }
            QVERIFY(stream->read().isEOF());
            stream->write(ID_ENCOUNTER_ENTRY_DESC, QByteArray(3 << 20, 'z'));
        }
        expected.append({ID_ENCOUNTER_ENTRY_DESC, QByteArray(3 << 20, 'z')});
        auto stream = reopened(path);
        QCOMPARE(readAll(*stream), expected);
    }

    void writeFailures()
    {
        CapturedMessages quiet;
        QString path;
        QByteArray log = writtenLog({lateRecord}, &path);
        auto stream = openStream(path, QIODevice::ReadOnly);
        QVERIFY(stream->initialize(true));
        QCOMPARE(readAll(*stream), lateRecord);
        stream->mark();
        stream->write(ID_EVENT_TYPE, 3);
        stream->write(ID_STOP_ENCOUNTER_EVENT_END);
        QVERIFY(!stream->hasError()); // not yet in the file
        stream->setToMark();
        // What did not reach the file is not read back; a mark clears the error.
        QVERIFY(stream->hasError() && stream->read().isEOF());
        stream->mark();
        QVERIFY(!stream->hasError());
        QVERIFY(!stream->setEOF() && stream->hasError());
        stream.reset();
        QCOMPARE(TestSupport::readFile(path), log);
        // Writes that reach the file but a cut that does not: the cut fails
        // all the same, though the end marker ends the data where it was asked.
        const int first = int(encoded(lateRecord).size());
        const QByteArray three = writtenLog({lateRecord, lateRecord, lateRecord}, &path);
        stream = openStream(path, QIODevice::ReadWrite, false);
        QVERIFY(stream->initialize(true));
        stream->setOffset(headerSize + first);
        QVERIFY(!stream->setEOF() && stream->hasError());
        stream.reset();
        QCOMPARE(TestSupport::readFile(path), three.left(headerSize + first) + marker + three.mid(headerSize + first + 2));
        QCOMPARE(readAll(*reopened(path)), lateRecord);
        // A header that cannot be written fails the initialisation.
        QString empty = freshPath();
        QVERIFY(TestSupport::writeFile(empty, QByteArray()));
        for (const QString& unwritable : {empty, QString("/dev/full")}) {
            stream = openStream(unwritable, unwritable == empty ? QIODevice::ReadOnly : QIODevice::ReadWrite);
            QVERIFY(!QFileInfo::exists(unwritable) || (!stream->initialize(true) && stream->hasError()));
        }
    }

    void truncatedLogs()
    {
        QList<Entries> records = sampleRecords();
        QByteArray log = writtenLog(records);
        Entries all;
        QList<int> ends;
        int end = headerSize;
        for (const Entries& record : records)
            for (const Entry& entry : record) {
                all.append(entry);
                ends.append(end += int(encoded(entry.first, entry.second).size()));
            }
        QCOMPARE(log.size(), end + 2);
        QString folder = QFileInfo(freshPath()).path();
        for (int cut = 0; cut < log.size(); ++cut) {
            // Each trial writes a new file: rewriting one in place makes the
            // file system flush it at every close, which is slow.
            QString path = QString("%1/trial%2.log").arg(folder).arg(cut);
            QVERIFY(TestSupport::writeFile(path, log.left(cut)));
            Entries read;
            bool refused = false;
            QString copy;
            readDamaged(path, read, refused, copy);
            QVERIFY(!refused);
            QCOMPARE(copy.isEmpty(), cut == 0 || cut >= headerSize);
            QVERIFY(copy.isEmpty() || TestSupport::readFile(copy) == log.left(cut));
            QCOMPARE(read, all.mid(0, std::upper_bound(ends.begin(), ends.end(), cut) - ends.begin()));
        }
        QCOMPARE(int(QDir(folder + "/History").entryList(QDir::Files).size()), headerSize - 1);
    }

    void corruptedLogs()
    {
        QByteArray log = writtenLog(sampleRecords());
        QString folder = QFileInfo(freshPath()).path();
        QRandomGenerator random(20240611);
        int refusals = 0;
        for (int trial = 0; trial < 400; ++trial) {
            QByteArray bytes = log;
            for (int flips = 1 + random.bounded(3); flips > 0; --flips)
                bytes[random.bounded(int(bytes.size()))] ^= char(1 + random.bounded(255));
            QString path = QString("%1/trial%2.log").arg(folder).arg(trial);
            QVERIFY(TestSupport::writeFile(path, bytes));
            Entries read;
            bool refused = false;
            QString copy;
            readDamaged(path, read, refused, copy);
            refusals += refused;
        }
        QVERIFY(refusals < 20);
    }
};

RAVELHORN_TEST_MAIN(QGuiApplication, TestObjectStream)
#include "test_objectstream.moc"
