#ifndef OBJECTSTREAM_H
#define OBJECTSTREAM_H

#include <QByteArray>
#include <QMap>
#include <QObject>
#include <QString>

#include "foundation/dogtag.h"

class QFile;
struct stat;

// The tag ids with names. Records may also use ids that have none.
#define RAVELHORN_STREAM_TAGS(TAG)                                                                 \
    TAG(ID_HEADER_END, 1)                                                                          \
    TAG(ID_HEADER_MAJOR_VERSION, 2)                                                                \
    TAG(ID_HEADER_MINOR_VERSION, 3)                                                                \
    TAG(ID_HEADER_RVHN_VERSION, 4)                                                                 \
    TAG(ID_HEADER_CREATED, 5)                                                                      \
    TAG(ID_CREATURE_LIST_END, 101)                                                                 \
    TAG(ID_CREATURE_LIST_SIZE, 102)                                                                \
    TAG(ID_CREATURE_NAME, 103)                                                                     \
    TAG(ID_CREATURE_END, 104)                                                                      \
    TAG(ID_RESTED_CREATURE_END, 120)                                                               \
    TAG(ID_RESTED_CREATURE_USED_HS, 121)                                                           \
    TAG(ID_RESTED_CREATURE_ADDED_HP, 122)                                                          \
    TAG(ID_RESTED_CREATURE_ADDED_AP, 123)                                                          \
    TAG(ID_ENCOUNTER_ENTRY_END, 140)                                                               \
    TAG(ID_ENCOUNTER_ENTRY_FILE_NAME, 141)                                                         \
    TAG(ID_ENCOUNTER_ENTRY_NAME, 142)                                                              \
    TAG(ID_ENCOUNTER_ENTRY_DESC, 143)                                                              \
    TAG(ID_ENCOUNTER_ENTRY_LEVEL, 144)                                                             \
    TAG(ID_ENCOUNTER_ENTRY_XP, 145)                                                                \
    TAG(ID_CREATURE_ITEM_END, 160)                                                                 \
    TAG(ID_CREATURE_ITEM_ROLL, 161)                                                                \
    TAG(ID_CREATURE_ITEM_RANDOM, 162)                                                              \
    TAG(ID_CREATURE_ITEM_LIST_END, 200)                                                            \
    TAG(ID_CREATURE_ITEM_LIST_SIZE, 201)                                                           \
    TAG(ID_EVENT_TYPE, 300)                                                                        \
    TAG(ID_START_ENCOUNTER_EVENT_END, 310)                                                         \
    TAG(ID_NEXT_TURN_EVENT_END, 320)                                                               \
    TAG(ID_STOP_ENCOUNTER_EVENT_END, 330)                                                          \
    TAG(ID_DAMAGE_EVENT_END, 340)                                                                  \
    TAG(ID_DAMAGE_EVENT_DAMAGE, 341)                                                               \
    TAG(ID_HEAL_EVENT_END, 350)                                                                    \
    TAG(ID_HEAL_EVENT_US, 351)                                                                     \
    TAG(ID_HEAL_EVENT_HP, 352)                                                                     \
    TAG(ID_SET_THP_RESOURCE_END, 360)                                                              \
    TAG(ID_SET_THP_RESOURCE_AMOUNT, 361)                                                           \
    TAG(ID_EFFECT_EVENT_END, 370)                                                                  \
    TAG(ID_EFFECT_EVENT_TYPE, 371)                                                                 \
    TAG(ID_EFFECT_EVENT_EC, 372)                                                                   \
    TAG(ID_EFFECT_EVENT_AMOUNT, 373)                                                               \
    TAG(ID_DELAY_EVENT_END, 380)                                                                   \
    TAG(ID_JUMPIN_EVENT_END, 390)                                                                  \
    TAG(ID_READY_EVENT_END, 400)                                                                   \
    TAG(ID_END_READY_EVENT_END, 410)                                                               \
    TAG(ID_DIED_EVENT_END, 420)                                                                    \
    TAG(ID_FAILED_DST_EVENT_END, 430)                                                              \
    TAG(ID_ONGOING_EVENT_END, 440)                                                                 \
    TAG(ID_ONGOING_EVENT_EFFECT, 441)                                                              \
    TAG(ID_USE_AP_EVENT_END, 450)                                                                  \
    TAG(ID_STABILIZE_EVENT_END, 460)                                                               \
    TAG(ID_SR_ACTION_EVENT_END, 470)                                                               \
    TAG(ID_SR_ACTION_EVENT_COUNT, 471)                                                             \
    TAG(ID_EXT_REST_EVENT_END, 480)                                                                \
    TAG(ID_SET_ENC_EVENT_END, 500)                                                                 \
    TAG(ID_SET_ENC_EVENT_HIDDEN, 501)                                                              \
    TAG(ID_ADD_CREATURE_EVENT_END, 510)                                                            \
    TAG(ID_ADD_CREATURE_EVENT_NAME, 511)                                                           \
    TAG(ID_ADD_CREATURE_EVENT_HIDDEN, 512)                                                         \
    TAG(ID_SHOW_HIDE_EVENT_END, 520)                                                               \
    TAG(ID_SHOW_HIDE_EVENT_HIDE, 521)                                                              \
    TAG(ID_EFFECTED_ATTR_END, 530)                                                                 \
    TAG(ID_EFFECTED_ATTR_FLAGS, 531)                                                               \
    TAG(ID_CREATURE_INIT_LIST_END, 540)                                                            \
    TAG(ID_CREATURE_INIT_NAME, 541)                                                                \
    TAG(ID_CREATURE_INIT_ROLL, 542)                                                                \
    TAG(ID_CREATURE_INIT_RANDOM, 543)                                                              \
    TAG(ID_CREATURE_INIT_END, 544)                                                                 \
    TAG(ID_CREATURE_INIT_LIST_SIZE, 545)                                                           \
    TAG(ID_CREATURE_VITALITY_LIST_END, 600)                                                        \
    TAG(ID_CREATURE_VITALITY_LIST_SIZE, 601)                                                       \
    TAG(ID_CREATURE_VITALITY_END, 610)                                                             \
    TAG(ID_CREATURE_VITALITY_INIT_BONUS, 611)                                                      \
    TAG(ID_CREATURE_VITALITY_MAX_HP, 612)                                                          \
    TAG(ID_CREATURE_VITALITY_CURR_HP, 613)                                                         \
    TAG(ID_CREATURE_VITALITY_MAX_HS, 614)                                                          \
    TAG(ID_CREATURE_VITALITY_CURR_HS, 615)                                                         \
    TAG(ID_CREATURE_VITALITY_HS_VALUE, 616)                                                        \
    TAG(ID_CREATURE_VITALITY_INIT_AP, 617)                                                         \
    TAG(ID_CREATURE_VITALITY_CURR_AP, 618)                                                         \
    TAG(ID_CREATURE_VITALITY_STABILIZED, 619)                                                      \
    TAG(ID_SET_VITALITY_EVENT_END, 640)                                                            \
    TAG(ID_REMOVE_CREATURE_EVENT_END, 660)                                                         \
    TAG(ID_ADJUST_INITIATIVE_EVENT_END, 680)                                                       \
    TAG(ID_ADJUST_INITIATIVE_ADJUSTMENT, 681)

#define RAVELHORN_STREAM_TAG_ENUM(name, id) name = id,
enum StreamTag { RAVELHORN_STREAM_TAGS(RAVELHORN_STREAM_TAG_ENUM) };
#undef RAVELHORN_STREAM_TAG_ENUM

// One item as read. Id 0 stands for the end of the data.
class StreamItem
{
public:
    StreamItem() = default;
    StreamItem(int size, int id, const QByteArray& data = QByteArray()) : size(size), id(id), data(data) {}

    bool isEOF() const { return id == 0; }
    // The bytes the item took in the stream, id and length prefix included.
    int getSize() const { return size; }
    int getID() const { return id; }
    QByteArray getData() const { return data; }
    int toInt() const;
    QString toString() const;
    QString getIDString() const;

private:
    int size = 0;
    int id = 0;
    QByteArray data;
};

class ObjectStream;

// The items of one record, by tag id.
class StreamItemList : public QMap<int, StreamItem>
{
public:
    // Reads up to and including the item with the end id; false when the
    // data ends first.
    bool read(ObjectStream* stream, int endID);
    void addItem(const StreamItem& item);
    int getInt(int id) const;
    QString getString(int id) const;
};

// The history log: tagged items after a version header, closed by two zero
// bytes. Writes are held in memory and reach the file at setToMark(), flush(),
// setEOF() and destruction; their failures show in hasError(). The bytes read
// and written stay in memory too: a log another program wrote over is told by
// any of them, and the fight they hold kept.
class ObjectStream : public QObject
{
    Q_OBJECT

public:
    // The file must be open for reading and writing; the stream owns it.
    // It keeps its own buffer, so the file may be opened unbuffered.
    explicit ObjectStream(QFile* file, QObject* parent = nullptr);
    ~ObjectStream() override;

    // Checks the header, or writes one into an empty or damaged log. False,
    // with a message unless quiet, for a log of a newer major version, or
    // when a damaged log could not be kept aside or the header not written.
    bool initialize(bool quiet);

    void write(int id, const QByteArray& data);
    void write(int id, int value);
    void write(int id, const QString& text);
    void write(int id);

    StreamItem read();
    int readInt(int id);
    QString readString(int id);
    bool readID(int id);
    bool isNextItem(int id);
    // Passes over items of other ids, as a newer version or damage may leave,
    // up to the next item with entryID; false at the end item, the next
    // record or the end of the data.
    bool skipTo(int entryID, int endID);

    // Starts a record; also clears the error state.
    void mark();
    // The bytes since the mark; moves back to the mark and flushes.
    int setToMark();
    int getOffset() const { return offset; }
    void setOffset(int position);
    void incOffset(int delta);
    void decOffset(int delta);
    // Cuts the log at the offset; false when that could not be done.
    bool setEOF();
    bool flush();
    // What follows the cursor to the end of the file, once the records are
    // read: the end marker alone, or a longer run of zero bytes (what a power
    // cut leaves of the last records), or data the end marker cut off.
    enum class PastEnd { Marker, Zeros, Data };
    PastEnd pastEnd();
    // Whether the log's name still leads to the open file, as this program
    // left it, and the file takes writes. When it does not take them, the
    // file is opened again by its name (written out anew from the open file
    // where the name leads nowhere but its folder is back). Unreachable, with
    // the cause, when that cannot be done; Foreign when the name leads to a
    // file this program did not leave so: another file in its place, or the
    // file of another size or written since this program last wrote it. Costs
    // a stat, and one read of the file when its times moved, or when they are
    // whole seconds that a copy within the second would leave as they were.
    enum class Attachment { Attached, Unreachable, Foreign };
    Attachment reattach(QString& cause);
    // Writes the log as this program knows it into the History folder beside
    // it, once: the fight it holds, kept when another program wrote over the
    // log. The copy's path, or empty with the failure.
    QString keepOwnCopy(QString& failure);
    // Reads the file's times cut to the second, as filesystems of whole-second
    // times (FAT, ext2 with small inodes, some network shares) keep them:
    // tests play such a filesystem with it.
    void cutTimesToTheSecond();

    QString getCreationDate() const { return creationDate; }
    // A write, flush or resize failed since the last mark().
    bool hasError() const { return error; }
    // Where initialize() kept a damaged log before replacing its header;
    // empty when it did not.
    QString getDamagedCopy() const { return damagedCopy; }

private:
    void writeItem(int id, const char* payload, int length);
    StreamItem rawRead();
    StreamItem readAhead();
    StreamItem readUntil(int id);
    void moveTo(qint64 position);
    bool keepDamagedCopy(QString& failure);
    void refuseWrites(const QString& why);
    // Why the file takes no writes, or why its last write failed.
    QString writeFailure() const;
    // When the file was last written and last changed in any way, in
    // nanoseconds: a change time cannot be put back as a written time can.
    struct Times {
        qint64 modified = 0;
        qint64 changed = 0;
        bool operator==(const Times& other) const
        {
            return modified == other.modified && changed == other.changed;
        }
        bool wholeSeconds() const;
    };
    Times timesOf(const struct stat& status) const;
    void identify();
    // Whether the file of the size this program left was not written since:
    // its times are the ones this program's last write left, or the bytes
    // are still the ones it knows.
    bool unchangedSince(const struct stat& named);
    // Whether the file holds every byte this program knows of it; reads it once.
    bool holdsKnownBytes();
    // Reads the file on from the known bytes' end up to end at least.
    bool learn(qint64 end);
    void adopt(QFile* reopened);
    bool writeOut(const QString& path, QString& cause);
    // The bytes of the file at pos, or null when it holds fewer; valid
    // until the next fetch or put.
    const char* fetch(qint64 pos, qint64 count);
    void put(qint64 pos, const char* data, int count);

    QFile* file;
    // Which file the log's name led to when it was opened.
    bool identified = false;
    quint64 device = 0;
    quint64 inode = 0;
    // As this program's last write left them.
    Times times;
    bool timesCut = false;
    QString creationDate;
    int size;
    int offset = 0;
    int markOffset = 0;
    StreamItem lookAhead;
    DogTag dogTag{__LINE__, __FILE__};

    // The file's bytes from its start, as far as this program read and wrote
    // them; those from dirtyFrom to dirtyTo are not in the file yet.
    QByteArray known;
    qint64 dirtyFrom = 0;
    qint64 dirtyTo = 0;
    qint64 fileSize;
    bool error = false;
    QString damagedCopy;
    QString ownCopy;
};

#endif
