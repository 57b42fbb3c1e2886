#ifndef HISTORY_H
#define HISTORY_H

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include "foundation/dogtag.h"

class Event;
class ObjectStream;

// The undoable events of the encounter and the log they are recorded in.
// The log's cursor always stands just after the record of the current event.
class History : public QObject
{
    Q_OBJECT

public:
    explicit History(QObject* parent = nullptr) : QObject(parent) {}
    ~History() override;

    int getEventCount() const { return events.size(); }
    Event* getCurrentEvent() const { return events.value(current); }
    Event* getEvent(int index) const { return events.value(index); }
    int getCurrentIndex() const { return current; }
    QString getEventText(int index) const;
    bool hasForward() const { return current + 1 < events.size(); }
    bool hasBack() const { return current >= 0; }
    bool trancateable() const { return current < events.size() - 1; }

    // The log made ready for the next record, and mended where it can be:
    // the data folder's lock taken again when its file is gone, the log
    // opened or created on first use, reopened or written anew under its
    // name, and a copy of its damage kept. Null while a replay runs, so that
    // no command is recorded then; null too, and told unless quiet, while the
    // log cannot take a record: another program took the folder, the log's
    // name no longer leads to it (the data folder removed or unmounted), it
    // was replaced or changed by another program, it is read-only, or it is
    // damaged and no copy of it could be kept.
    ObjectStream* getStream(bool quiet);
    // Takes the new event and makes it current. A command whose record could
    // not be written is refused: the user is told, the event deleted and
    // false returned, so the model never runs ahead of the log.
    bool apply(Event* event, bool quiet);
    // Each first records the hand edits not yet recorded, as every command
    // does; where that would end undone events, only when the game master
    // agrees. Refused, or the edits' record refused, the history stays.
    void forward(bool quiet);
    // Steps back over the current event, and over the hand edits just recorded.
    void back();
    void goTo(int index);
    void truncate();
    void reset();
    // Replays the data folder's log, also one that can only be read. False
    // when it stopped at a record it could not read; a copy of the log is then
    // kept (getKeptCopy()). Data after the end marker is damage too: kept
    // likewise, and told here; zero bytes after it are told as a log that
    // ended early. A log that cannot be opened, started or written is told
    // here once, and then at every command that wants it.
    bool rootChanged();
    // The data folder let go (another loaded, or the program quits): hand
    // edits not yet recorded go into the log, and a log another program wrote
    // over has this program's fight kept in the History folder and told, as
    // a refused command has. An unchanged log costs a stat.
    void letGo();
    // Clear History: keeps a dated copy of the log, then removes it.
    bool newHistory();
    QList<Event*> getPlayersEvents(int count) const;
    void readAllDone();
    // An event built on the log's stream was dropped unapplied: its record
    // overwrote the undone events' records, so they go too.
    void recordAbandoned(ObjectStream* written);

    bool isReplaying() const { return replaying; }
    // How many records the log refused so far: a command that sees it grow stops.
    int getRefusedCount() const { return refusedCount; }
    QString getKeptCopy() const { return keptCopy; }
    static QString getLogPath();

signals:
    void doHistoryChanged();

private:
    void notify();
    void stepForward();
    void stepBack();
    bool recordHandEdits();
    // Recorded now, the hand edits of these heroes would end the undone events: the game master decides.
    bool mayEndUndoneEvents(const QStringList& edited) const;
    void deleteEventsAfterCurrent();
    // Deletes every event and closes the log.
    void dropAll();
    ObjectStream* openStream(bool quiet);
    // Each says why the log cannot take a record, empty when it can.
    // Takes the data folder's lock again when its file is gone.
    QString retakeFolder();
    // Keeps the copy of the damage that could not be kept before, and tells
    // it unless quiet.
    QString retryDamageCopy(bool quiet);
    // Makes the log's name lead to the open log again, where it can.
    QString reattachLog();
    // Keeps the fight as this program recorded it, for a log another program
    // wrote over; says where.
    QString keepOwnFight();
    // Keeps a copy of the damaged log; unkeptDamage says why it could not be.
    void keepDamage();
    QString damageText() const;
    void tellEndedEarly();

    QList<Event*> events;
    int current = -1;
    ObjectStream* stream = nullptr;
    bool replaying = false;
    int refusedCount = 0;
    QString keptCopy;
    // Where the replay stopped at damage or zero bytes.
    int replayEnd = 0;
    // What follows replayEnd is damage that keptCopy holds, or zero bytes:
    // the next record cuts it off.
    bool cutNextRecord = false;
    // Why no copy could be kept of the damage after replayEnd, which no
    // record may then write over; empty when there is none.
    QString unkeptDamage;
    // The log was there but could not be opened, so none of it was replayed.
    bool unreplayed = false;
    DogTag dogTag{__LINE__, __FILE__};
};

#endif
