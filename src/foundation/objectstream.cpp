#include "foundation/objectstream.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QtEndian>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <utility>

#include "foundation/global.h"

namespace {

const int majorVersion = 1;
const int minorVersion = 0;
const uchar wideLength = 251;
const uchar longLength = 252;
const qint64 readChunk = 64 * 1024;
const qint64 growthChunk = 64 * 1024;
const qint64 second = 1000000000;
const char endMarker[2] = {0, 0};

}

int StreamItem::toInt() const
{
    return data.size() == 4 ? qFromLittleEndian<qint32>(data.constData()) : 0;
}

QString StreamItem::toString() const
{
    return QString::fromUtf8(data.constData(), qstrnlen(data.constData(), data.size()));
}

QString StreamItem::getIDString() const
{
    switch (id) {
#define RAVELHORN_STREAM_TAG_NAME(name, value)                                                     \
    case value:                                                                                    \
        return QStringLiteral(#name);
        RAVELHORN_STREAM_TAGS(RAVELHORN_STREAM_TAG_NAME)
#undef RAVELHORN_STREAM_TAG_NAME
    default:
        return QString::number(id);
    }
}

bool StreamItemList::read(ObjectStream* stream, int endID)
{
    for (;;) {
        StreamItem item = stream->read();
        // The data ends, or the next record begins: a list that lacks its
        // end item must not swallow the records after it.
        if (item.isEOF() || item.getID() == ID_EVENT_TYPE) {
            stream->decOffset(item.getSize());
            return false;
        }
        addItem(item);
        if (item.getID() == endID)
            return true;
    }
}

void StreamItemList::addItem(const StreamItem& item)
{
    insert(item.getID(), item);
}

int StreamItemList::getInt(int id) const
{
    return value(id).toInt();
}

QString StreamItemList::getString(int id) const
{
    return value(id).toString();
}

ObjectStream::ObjectStream(QFile* file, QObject* parent)
    : QObject(parent), file(file), size(int(qMin<qint64>(file->size(), INT_MAX))), fileSize(file->size())
{
    identify();
}

namespace {

qint64 nanoseconds(const timespec& time)
{
    return qint64(time.tv_sec) * second + time.tv_nsec;
}

}

bool ObjectStream::Times::wholeSeconds() const
{
    return modified % second == 0 && changed % second == 0;
}

ObjectStream::Times ObjectStream::timesOf(const struct stat& status) const
{
#ifdef __APPLE__
    Times read{nanoseconds(status.st_mtimespec), nanoseconds(status.st_ctimespec)};
#else
    Times read{nanoseconds(status.st_mtim), nanoseconds(status.st_ctim)};
#endif
    if (timesCut)
        read = {read.modified - read.modified % second, read.changed - read.changed % second};
    return read;
}

void ObjectStream::identify()
{
    struct stat opened;
    identified = fstat(file->handle(), &opened) == 0;
    device = identified ? quint64(opened.st_dev) : 0;
    inode = identified ? quint64(opened.st_ino) : 0;
    times = identified ? timesOf(opened) : Times();
}

void ObjectStream::cutTimesToTheSecond()
{
    timesCut = true;
    identify();
}

ObjectStream::~ObjectStream()
{
    flush();
    file->close();
    delete file;
}

bool ObjectStream::initialize(bool quiet)
{
    if (size > 0) {
        int major = readInt(ID_HEADER_MAJOR_VERSION);
        int minor = readInt(ID_HEADER_MINOR_VERSION);
        QString version = readString(ID_HEADER_RVHN_VERSION);
        creationDate = readString(ID_HEADER_CREATED);
        bool ended = readID(ID_HEADER_END);
        if (ended && !version.isEmpty() && !creationDate.isEmpty() && major >= 1 && minor >= 0) {
            if (major == majorVersion)
                return true;
            if (!quiet)
                Global::alert(tr("History File too New"),
                              tr("The history file, <b>%1</b>, was created by Ravelhorn version %2. "
                                 "You need to upgrade in order to read it.")
                                  .arg(file->fileName(), version));
            return false;
        }
        // Never write over the only copy of a fight.
        QString failure;
        if (!keepDamagedCopy(failure)) {
            if (!quiet)
                refuseWrites(tr("The history file %1 is damaged, and no copy of it could be kept: %2. "
                                "It is left as it is, and no change can be recorded until a copy can be made.")
                                 .arg(file->fileName(), failure));
            return false;
        }
        size = 0;
        setOffset(0);
    }
    creationDate = Global::timeNow();
    write(ID_HEADER_MAJOR_VERSION, majorVersion);
    write(ID_HEADER_MINOR_VERSION, minorVersion);
    write(ID_HEADER_RVHN_VERSION, Global::getVersion());
    write(ID_HEADER_CREATED, creationDate);
    write(ID_HEADER_END);
    // A damaged log's old bytes are in its copy; left after the new header
    // they would read as damage.
    if (setEOF())
        return true;
    if (!quiet)
        refuseWrites(tr("The history file %1 could not be started: %2. No change can be recorded until it can.")
                         .arg(file->fileName(), writeFailure()));
    return false;
}

QString ObjectStream::writeFailure() const
{
    if (file->isWritable())
        return file->errorString();
    QFile probe(file->fileName());
    return probe.open(QIODevice::ReadWrite) ? tr("it is open for reading only") : probe.errorString();
}

ObjectStream::Attachment ObjectStream::reattach(QString& cause)
{
    const QString path = file->fileName();
    struct stat named;
    if (stat(QFile::encodeName(path).constData(), &named) != 0) {
        cause = QString::fromLocal8Bit(strerror(errno));
        // The open file has no name any more: where its folder is back, it is written out there anew.
        if (!QFileInfo(path).absoluteDir().exists() || !writeOut(path, cause))
            return Attachment::Unreachable;
    } else if (identified && (quint64(named.st_dev) != device || quint64(named.st_ino) != inode)) {
        cause = tr("another file has taken its place");
        return Attachment::Foreign;
    } else if (named.st_size != fileSize) {
        // Written past another log's end, a record would follow a run of zero bytes.
        cause = tr("it holds %1 bytes where this program left %2").arg(qint64(named.st_size)).arg(fileSize);
        return Attachment::Foreign;
    } else if (!unchangedSince(named)) {
        // Another log of the same size copied over it in place.
        cause = tr("it was written over in place since this program last wrote to it");
        return Attachment::Foreign;
    } else if (file->isWritable()) {
        return Attachment::Attached;
    }
    auto* reopened = new QFile(path);
    if (!reopened->open(QIODevice::ReadWrite | QIODevice::Unbuffered)) {
        cause = reopened->errorString();
        delete reopened;
        return Attachment::Unreachable;
    }
    adopt(reopened);
    return Attachment::Attached;
}

bool ObjectStream::unchangedSince(const struct stat& named)
{
    const Times found = timesOf(named);
    // Whole seconds stay the same for a copy made within the second of this program's last write.
    if (!identified || (found == times && !times.wholeSeconds()))
        return true;
    // A touch, or a network share's own clock, moves the times alone: the bytes tell.
    if (!holdsKnownBytes())
        return false;
    times = found;
    return true;
}

bool ObjectStream::holdsKnownBytes()
{
    if (dirtyFrom != dirtyTo || known.isEmpty())
        return false;
    QByteArray bytes(qMin(readChunk, qint64(known.size())), Qt::Uninitialized);
    for (qint64 pos = 0; pos < known.size(); pos += readChunk) {
        const qint64 count = qMin(readChunk, known.size() - pos);
        if (pread(file->handle(), bytes.data(), size_t(count), pos) != count
            || std::memcmp(bytes.constData(), known.constData() + pos, size_t(count)) != 0)
            return false;
    }
    return true;
}

QString ObjectStream::keepOwnCopy(QString& failure)
{
    if (ownCopy.isEmpty())
        ownCopy = Global::keepInHistory(file->fileName(), "overwritten_history", known, &failure);
    return ownCopy;
}

bool ObjectStream::writeOut(const QString& path, QString& cause)
{
    flush();
    QByteArray bytes;
    if (!file->seek(0) || (bytes = file->read(fileSize)).size() != fileSize) {
        cause = file->errorString();
        return false;
    }
    QSaveFile out(path);
    if (out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size() && Global::commitWhole(out))
        return true;
    cause = out.errorString();
    return false;
}

void ObjectStream::adopt(QFile* reopened)
{
    // Same bytes as the file it replaces: what is known of them stays good.
    flush();
    file->close();
    delete file;
    file = reopened;
    identify();
}

void ObjectStream::refuseWrites(const QString& why)
{
    Global::alert(tr("Cannot Write History File"),
                  why.toHtmlEscaped() + tr("<p>The disk may be full or the folder not writable."));
}

bool ObjectStream::keepDamagedCopy(QString& failure)
{
    if (file->fileName().isEmpty())
        return false;
    damagedCopy = Global::keepCopyInHistory(file->fileName(), "damaged_history", &failure);
    return !damagedCopy.isEmpty();
}

void ObjectStream::write(int id, const QByteArray& data)
{
    writeItem(id, data.constData(), int(data.size()));
}

void ObjectStream::write(int id, int value)
{
    char payload[4];
    qToLittleEndian<qint32>(value, payload);
    writeItem(id, payload, 4);
}

void ObjectStream::write(int id, const QString& text)
{
    write(id, text.toUtf8());
}

void ObjectStream::write(int id)
{
    writeItem(id, nullptr, 0);
}

void ObjectStream::writeItem(int id, const char* payload, int length)
{
    lookAhead = StreamItem();
    char head[7];
    qToLittleEndian<quint16>(quint16(id), head);
    int headSize;
    if (length < wideLength) {
        head[2] = char(length);
        headSize = 3;
    } else if (length < 65536) {
        head[2] = char(wideLength);
        qToLittleEndian<quint16>(quint16(length), head + 3);
        headSize = 5;
    } else {
        head[2] = char(longLength);
        qToLittleEndian<qint32>(length, head + 3);
        headSize = 7;
    }
    put(offset, head, headSize);
    put(offset + headSize, payload, length);
    offset += headSize + length;
    // Whatever followed is no longer valid data; the next item overwrites the marker.
    size = offset;
    put(offset, endMarker, 2);
}

StreamItem ObjectStream::read()
{
    if (lookAhead.getID() != 0)
        return std::exchange(lookAhead, StreamItem());
    return rawRead();
}

StreamItem ObjectStream::rawRead()
{
    // A field that runs past the valid data or the file reads as the end of
    // the data, and consumes nothing.
    qint64 pos = offset;
    auto take = [&](qint64 count) {
        const uchar* bytes = nullptr;
        if (pos + count <= size)
            bytes = reinterpret_cast<const uchar*>(fetch(pos, count));
        if (bytes)
            pos += count;
        return bytes;
    };

    const uchar* bytes = take(2);
    if (!bytes)
        return StreamItem();
    int id = qFromLittleEndian<quint16>(bytes);
    if (id == 0) {
        offset = int(pos);
        return StreamItem(2, 0);
    }
    if (!(bytes = take(1)))
        return StreamItem();
    qint64 length = *bytes;
    if (length == wideLength || length == longLength) {
        if (!(bytes = take(length == wideLength ? 2 : 4)))
            return StreamItem();
        length = length == wideLength ? qint64(qFromLittleEndian<quint16>(bytes))
                                      : qint64(qFromLittleEndian<quint32>(bytes));
    } else if (length > longLength) {
        offset = int(pos);
        return StreamItem(3, 0);
    }
    const char* payload = reinterpret_cast<const char*>(take(length));
    if (!payload)
        return StreamItem();
    QByteArray data(payload, length);
    int itemSize = int(pos - offset);
    offset = int(pos);
    return StreamItem(itemSize, id, data);
}

StreamItem ObjectStream::readAhead()
{
    StreamItem item = rawRead();
    // Stay at the marker, so that the next item written replaces it.
    if (item.isEOF())
        offset -= item.getSize();
    return item;
}

StreamItem ObjectStream::readUntil(int id)
{
    for (;;) {
        StreamItem item = read();
        if (item.isEOF()) {
            offset -= item.getSize();
            return item;
        }
        if (item.getID() == id)
            return item;
        // The next record begins: a record that lacks the item must not
        // swallow the records after it.
        if (item.getID() == ID_EVENT_TYPE) {
            offset -= item.getSize();
            return StreamItem();
        }
    }
}

int ObjectStream::readInt(int id)
{
    return readUntil(id).toInt();
}

QString ObjectStream::readString(int id)
{
    StreamItem item = readUntil(id);
    return item.isEOF() ? QString() : item.toString();
}

bool ObjectStream::readID(int id)
{
    return !readUntil(id).isEOF();
}

bool ObjectStream::isNextItem(int id)
{
    if (lookAhead.getID() == 0)
        lookAhead = readAhead();
    return lookAhead.getID() == id;
}

bool ObjectStream::skipTo(int entryID, int endID)
{
    const int endOfData = 0;
    while (!isNextItem(entryID)) {
        if (isNextItem(endID) || isNextItem(ID_EVENT_TYPE) || isNextItem(endOfData))
            return false;
        read();
    }
    return true;
}

void ObjectStream::mark()
{
    lookAhead = StreamItem();
    markOffset = offset;
    error = false;
}

int ObjectStream::setToMark()
{
    int length = offset - markOffset;
    setOffset(markOffset);
    flush();
    return length;
}

void ObjectStream::setOffset(int position)
{
    moveTo(position);
}

void ObjectStream::incOffset(int delta)
{
    moveTo(qint64(offset) + delta);
}

void ObjectStream::decOffset(int delta)
{
    moveTo(qint64(offset) - delta);
}

void ObjectStream::moveTo(qint64 position)
{
    lookAhead = StreamItem();
    offset = int(qBound(qint64(0), position, qint64(size)));
}

bool ObjectStream::setEOF()
{
    lookAhead = StreamItem();
    bool cut = flush() && file->resize(offset);
    if (!cut)
        error = true;
    known.truncate(offset);
    fileSize = file->size();
    size = offset;
    put(offset, endMarker, 2);
    return flush() && cut;
}

bool ObjectStream::flush()
{
    if (dirtyFrom == dirtyTo)
        return true;
    const qint64 from = std::exchange(dirtyFrom, 0);
    const qint64 count = std::exchange(dirtyTo, 0) - from;
    bool ok = file->isWritable() && (file->pos() == from || file->seek(from))
        && file->write(known.constData() + from, count) == count && file->flush();
    // Our own write is no change by another program, in part or whole.
    if (file->isWritable())
        identify();
    if (!ok) {
        // What reached the file is unknown: from now on read it from there.
        known.truncate(from);
        fileSize = file->size();
        error = true;
    }
    return ok;
}

ObjectStream::PastEnd ObjectStream::pastEnd()
{
    for (qint64 pos = offset; pos < fileSize; pos += readChunk) {
        qint64 count = qMin(readChunk, fileSize - pos);
        const char* bytes = fetch(pos, count);
        if (!bytes || std::any_of(bytes, bytes + count, [](char byte) { return byte != 0; }))
            return PastEnd::Data;
    }
    return fileSize - offset > qint64(sizeof endMarker) ? PastEnd::Zeros : PastEnd::Marker;
}

const char* ObjectStream::fetch(qint64 pos, qint64 count)
{
    if (pos < 0 || pos + count > fileSize || (pos + count > known.size() && !learn(pos + count)))
        return nullptr;
    return known.constData() + pos;
}

bool ObjectStream::learn(qint64 end)
{
    // A chunk at a time: a log read item by item costs few reads.
    const qint64 from = known.size();
    const qint64 count = qMax(end - from, qMin(readChunk, fileSize - from));
    if (count <= 0 || !file->seek(from))
        return false;
    // Room for the whole file at once: the bytes read are not copied again as more follow.
    if (from + count > known.capacity())
        known.reserve(qMax(from + count, fileSize));
    known.resize(from + count);
    known.resize(from + qMax<qint64>(0, file->read(known.data() + from, count)));
    return known.size() >= end;
}

void ObjectStream::put(qint64 pos, const char* data, int count)
{
    if (count == 0)
        return;
    // What is known runs from the file's start without a gap.
    if (pos > known.size() && !learn(pos)) {
        error = true;
        return;
    }
    if (pos + count > known.size()) {
        // Grown by a chunk, not doubled: a long log read whole would hold twice its size after one more
        // record. Appending item after item still does not copy the bytes each time.
        if (pos + count > known.capacity())
            known.reserve(qMax(pos + count, known.size() + growthChunk));
        known.resize(pos + count);
    }
    std::memcpy(known.data() + pos, data, count);
    if (dirtyFrom == dirtyTo) {
        dirtyFrom = pos;
        dirtyTo = pos + count;
    } else {
        dirtyFrom = qMin(dirtyFrom, pos);
        dirtyTo = qMax(dirtyTo, pos + count);
    }
    fileSize = qMax(fileSize, pos + count);
}
