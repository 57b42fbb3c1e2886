// Writes and reads typical history records through ObjectStream and the
// same bytes through a plain buffered QFile, and prints records per second,
// after what a 2 MB and a 20 MB log cost in memory once read through and one
// record longer.

#include <QByteArray>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include <malloc.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <limits>

#include "foundation/objectstream.h"

namespace {

const int recordCount = 100000;
const int rounds = 5;
const int headerSize = 48;

QString creatureName(int i)
{
    return QString("Goblin Skirmisher (%1)").arg(i % 12);
}

// One damage event as the history writes it: mark, items, back to the mark,
// then past the record.
void writeRecord(ObjectStream& stream, int i)
{
    stream.mark();
    stream.write(ID_EVENT_TYPE, 4);
    stream.write(ID_CREATURE_NAME, creatureName(i));
    stream.write(ID_CREATURE_END);
    stream.write(ID_DAMAGE_EVENT_DAMAGE, i % 37);
    stream.write(ID_CREATURE_VITALITY_CURR_HP, 100 - i % 100);
    stream.write(ID_DAMAGE_EVENT_END);
    stream.incOffset(stream.setToMark());
}

qint64 readRecord(ObjectStream& stream)
{
    stream.mark();
    qint64 sum = stream.readInt(ID_EVENT_TYPE);
    sum += stream.readString(ID_CREATURE_NAME).size();
    stream.readID(ID_CREATURE_END);
    sum += stream.readInt(ID_DAMAGE_EVENT_DAMAGE);
    sum += stream.readInt(ID_CREATURE_VITALITY_CURR_HP);
    stream.readID(ID_DAMAGE_EVENT_END);
    stream.incOffset(stream.setToMark());
    return sum;
}

void plainItem(QFile& file, int id, const QByteArray& payload)
{
    char head[3];
    qToLittleEndian<quint16>(quint16(id), head);
    head[2] = char(payload.size());
    file.write(head, 3);
    file.write(payload);
}

QByteArray plainInt(int value)
{
    char bytes[4];
    qToLittleEndian<qint32>(value, bytes);
    return QByteArray(bytes, 4);
}

void plainWrite(QFile& file, int i, bool flushRecord)
{
    plainItem(file, ID_EVENT_TYPE, plainInt(4));
    plainItem(file, ID_CREATURE_NAME, creatureName(i).toUtf8());
    plainItem(file, ID_CREATURE_END, QByteArray());
    plainItem(file, ID_DAMAGE_EVENT_DAMAGE, plainInt(i % 37));
    plainItem(file, ID_CREATURE_VITALITY_CURR_HP, plainInt(100 - i % 100));
    plainItem(file, ID_DAMAGE_EVENT_END, QByteArray());
    if (flushRecord)
        file.flush();
}

QByteArray plainReadItem(QFile& file)
{
    char head[3];
    file.read(head, 3);
    return file.read(uchar(head[2]));
}

qint64 plainRead(QFile& file)
{
    qint64 sum = qFromLittleEndian<qint32>(plainReadItem(file).constData());
    sum += QString::fromUtf8(plainReadItem(file)).size();
    plainReadItem(file);
    sum += qFromLittleEndian<qint32>(plainReadItem(file).constData());
    sum += qFromLittleEndian<qint32>(plainReadItem(file).constData());
    plainReadItem(file);
    return sum;
}

ObjectStream* openStream(const QString& path)
{
    auto* file = new QFile(path);
    file->open(QIODevice::ReadWrite);
    return new ObjectStream(file);
}

// Records per second of the best of a few rounds.
double rate(const std::function<void()>& prepare, const std::function<void()>& run)
{
    qint64 best = std::numeric_limits<qint64>::max();
    for (int round = 0; round < rounds; ++round) {
        prepare();
        QElapsedTimer timer;
        timer.start();
        run();
        best = std::min(best, timer.nsecsElapsed());
    }
    return recordCount * 1e9 / best;
}

void report(const char* what, double streamRate, double plainRate)
{
    std::printf("%-34s %12.0f %12.0f %8.2fx\n", what, streamRate, plainRate, plainRate / streamRate);
}

// The heap in use, mapped blocks included: room reserved and not yet touched counts too.
qint64 heapKilobytes()
{
    const struct mallinfo2 info = mallinfo2();
    return qint64(info.uordblks + info.hblkhd) / 1024;
}

// A line of /proc/self/status in KiB: VmRSS now, or VmHWM, its peak since resetResidentPeak().
qint64 statusKilobytes(const QByteArray& field)
{
    QFile status("/proc/self/status");
    status.open(QIODevice::ReadOnly);
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(field + ':'))
            return line.mid(field.size() + 1).trimmed().split(' ').value(0).toLongLong();
    return -1;
}

void resetResidentPeak()
{
    QFile clear("/proc/self/clear_refs");
    if (!clear.open(QIODevice::WriteOnly) || clear.write("5") != 1)
        std::printf("(the resident peak could not be reset)\n");
}

// A log of about the size given, opened and read through as a replay does, then one record longer.
void logMemory(const QString& path, qint64 bytes)
{
    QFile::remove(path);
    ObjectStream* stream = openStream(path);
    stream->initialize(true);
    int records = 0;
    while (stream->getOffset() < bytes)
        writeRecord(*stream, records++);
    delete stream;

    resetResidentPeak();
    const qint64 heapBefore = heapKilobytes();
    const qint64 residentBefore = statusKilobytes("VmRSS");
    stream = openStream(path);
    stream->initialize(true);
    for (int i = 0; i < records; ++i)
        readRecord(*stream);
    const qint64 heapRead = heapKilobytes();
    writeRecord(*stream, records);
    std::printf("log of %6lld KiB: heap %6lld KiB read, %6lld KiB one record later; resident peak +%lld KiB\n",
                qint64(QFile(path).size()) / 1024, heapRead - heapBefore, heapKilobytes() - heapBefore,
                statusKilobytes("VmHWM") - residentBefore);
    delete stream;
}

}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    QString streamPath = dir.filePath("history.log");
    QString plainPath = dir.filePath("plain.log");
    qint64 streamSum = 0;
    qint64 plainSum = 0;
    // First, while the heap holds nothing of the runs below.
    for (const qint64 megabytes : {2, 20})
        logMemory(streamPath, megabytes * 1024 * 1024);

    double streamWrite = rate([&] { QFile::remove(streamPath); }, [&] {
        ObjectStream* stream = openStream(streamPath);
        stream->initialize(true);
        for (int i = 0; i < recordCount; ++i)
            writeRecord(*stream, i);
        delete stream;
    });
    auto plainWriteRate = [&](bool flushRecord) {
        return rate([&] { QFile::remove(plainPath); }, [&] {
            QFile file(plainPath);
            file.open(QIODevice::WriteOnly);
            file.write(QByteArray(headerSize, '\0')); // stands for the log's header
            for (int i = 0; i < recordCount; ++i)
                plainWrite(file, i, flushRecord);
        });
    };
    double plainFlushed = plainWriteRate(true);
    double plainBuffered = plainWriteRate(false);

    double streamRead = rate([&] { streamSum = 0; }, [&] {
        ObjectStream* stream = openStream(streamPath);
        stream->initialize(true);
        for (int i = 0; i < recordCount; ++i)
            streamSum += readRecord(*stream);
        delete stream;
    });
    double plainReadRate = rate([&] { plainSum = 0; }, [&] {
        QFile file(plainPath);
        file.open(QIODevice::ReadOnly);
        file.seek(headerSize);
        for (int i = 0; i < recordCount; ++i)
            plainSum += plainRead(file);
    });

    QFile written(streamPath);
    QFile plain(plainPath);
    std::printf("%d records, %lld bytes in the log, %lld in the plain file\n", recordCount,
                qint64(written.size()), qint64(plain.size()));
    std::printf("%-34s %12s %12s %9s\n", "records per second", "ObjectStream", "plain QFile", "ratio");
    report("write (plain: flush per record)", streamWrite, plainFlushed);
    report("write (plain: no flush)", streamWrite, plainBuffered);
    report("read", streamRead, plainReadRate);
    if (streamSum != plainSum) {
        std::printf("read back differs: %lld against %lld\n", streamSum, plainSum);
        return 1;
    }
    return 0;
}
