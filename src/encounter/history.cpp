#include "encounter/history.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>

#include <utility>

#include "encounter/commandroad.h"
#include "encounter/encounter.h"
#include "encounter/event.h"
#include "foundation/bulkrelease.h"
#include "foundation/folderlock.h"
#include "foundation/global.h"
#include "foundation/objectstream.h"
#include "foundation/uihooks.h"

History::~History()
{
    dropAll();
}

QString History::getLogPath()
{
    return QString("%1%2%3").arg(Global::getRootPath(false), QDir::separator(), "history.log");
}

QString History::getEventText(int index) const
{
    Event* event = getEvent(index);
    return event ? event->getDescription(false) : QString();
}

ObjectStream* History::getStream(bool quiet)
{
    if (replaying)
        return nullptr;
    // Checked before the log is opened: a log made in a folder another program holds would be that program's.
    QString why = retakeFolder();
    // Opened now, a log that could not be read at the start would take records over the ones never replayed.
    if (why.isEmpty() && unreplayed && !stream && QFileInfo(getLogPath()).isFile())
        why = tr("The history file %1 could not be opened when the data folder was loaded, so it was not replayed. "
                 "No change can be recorded into it until the data folder is loaded again (Select Data Location).")
                  .arg(getLogPath().toHtmlEscaped());
    if (why.isEmpty()) {
        if (!openStream(quiet))
            return nullptr;
        why = retryDamageCopy(quiet);
    }
    if (why.isEmpty())
        why = reattachLog();
    if (why.isEmpty())
        return stream;
    if (!quiet)
        Global::alert(tr("Cannot Write History File"), why);
    return nullptr;
}

ObjectStream* History::openStream(bool quiet)
{
    if (stream)
        return stream;
    QString path = getLogPath();
    bool existed = QFile::exists(path);
    auto* file = new QFile(path);
    // The stream buffers by itself; a buffered file could write failed bytes later elsewhere.
    // A log that can only be read is replayed all the same: getStream() refuses records until it can be written.
    if (!file->open(QIODevice::ReadWrite | QIODevice::Unbuffered)
        && !(existed && file->open(QIODevice::ReadOnly | QIODevice::Unbuffered))) {
        unreplayed = existed;
        if (!quiet && existed)
            Global::alert(tr("Cannot Write History File"),
                          tr("The history file %1 cannot be opened: %2. Nothing of it was replayed, and no change "
                             "can be recorded until it can be opened.")
                              .arg(path.toHtmlEscaped(), file->errorString().toHtmlEscaped()));
        else if (!quiet)
            Global::alert(tr("Cannot Create History File"),
                          tr("Unable to create History file: %1 (%2)")
                              .arg(path.toHtmlEscaped(), file->errorString().toHtmlEscaped()));
        delete file;
        return nullptr;
    }
    stream = new ObjectStream(file);
    if (!stream->initialize(quiet)) {
        delete std::exchange(stream, nullptr);
        // Half a header would read as a damaged log that wants a copy next time.
        if (!existed)
            QFile::remove(path);
    } else if (!stream->getDamagedCopy().isEmpty() && !quiet) {
        Global::alert(tr("History File Damaged"),
                      tr("The history file could not be read and a new one was started. "
                         "The damaged file was kept as <b>%1</b>.")
                          .arg(stream->getDamagedCopy().toHtmlEscaped()));
    }
    return stream;
}

QString History::retakeFolder()
{
    QString taken;
    if (FolderLock::confirmHeld(Global::getRootPath(false), taken))
        return QString();
    return tr("%1 No change can be recorded in the history file %2 while that program holds the folder: two programs "
              "would write over each other's records.")
        .arg(taken, getLogPath().toHtmlEscaped());
}

QString History::retryDamageCopy(bool quiet)
{
    if (unkeptDamage.isEmpty())
        return QString();
    keepDamage();
    if (!unkeptDamage.isEmpty())
        return damageText();
    if (!quiet)
        Global::alert(tr("History File Damaged"), damageText());
    return QString();
}

QString History::reattachLog()
{
    QString cause;
    ObjectStream::Attachment attachment = stream->reattach(cause);
    if (attachment == ObjectStream::Attachment::Attached)
        return QString();
    if (attachment == ObjectStream::Attachment::Foreign)
        return tr("The history file %1 was changed by another program while this one ran: %2. It is left as it is, "
                  "and no change can be recorded until the data folder is loaded again (Select Data Location).")
                   .arg(getLogPath().toHtmlEscaped(), cause.toHtmlEscaped())
            + keepOwnFight();
    return tr("The history file %1 cannot be written: %2. The data folder may have been removed or unmounted, "
              "or the file made read-only. No change can be recorded until it can be written.")
        .arg(getLogPath().toHtmlEscaped(), cause.toHtmlEscaped());
}

QString History::keepOwnFight()
{
    // Loading the folder again replays the other program's log: this one's fight would be lost.
    QString failure;
    const QString copy = stream->keepOwnCopy(failure);
    if (copy.isEmpty())
        return tr("<p>The fight shown here could not be kept: %1.").arg(failure.toHtmlEscaped());
    return tr("<p>The fight shown here was kept as <b>%1</b>; copied in the history file's place, it is replayed when "
              "the data folder is loaded again.")
        .arg(copy.toHtmlEscaped());
}

void History::letGo()
{
    if (!stream)
        return;
    // Wanting the log, they check it as any command does.
    if (Global::encounter && getCurrentEvent()) {
        if (ObjectStream* log = getStream(false))
            Global::encounter->writeVitalityChanges(log);
        return;
    }
    // With every event undone nothing checked it: the next load would replay another program's log in silence.
    QString cause;
    if (stream->reattach(cause) == ObjectStream::Attachment::Foreign)
        Global::alert(tr("History File Changed by Another Program"),
                      tr("The history file %1 was changed by another program while this one ran: %2. It is left as "
                         "it is.")
                              .arg(getLogPath().toHtmlEscaped(), cause.toHtmlEscaped())
                          + keepOwnFight());
}

void History::notify()
{
    if (Global::encounter)
        Global::encounter->removeSelectedNotInEncounter();
    emit doHistoryChanged();
    emit Global::switchBoard.doToggleForwardBackButtons();
}

void History::deleteEventsAfterCurrent()
{
    while (hasForward())
        delete events.takeLast();
}

bool History::apply(Event* event, bool quiet)
{
    if (!event->isWhole()) {
        refusedCount++;
        delete event;
        // What followed the cursor may be partly overwritten: the log ends here now.
        deleteEventsAfterCurrent();
        if (stream)
            stream->setEOF();
        Global::alert(tr("Cannot Write History File"),
                      tr("The change could not be recorded in the history file %1, so it was not made. "
                         "The disk may be full or the file no longer writable.")
                          .arg(getLogPath().toHtmlEscaped()));
        notify();
        return false;
    }
    event->setRecorded();
    // Written over undone records, or over damage a kept copy holds: what is
    // left of them after it would read as damage at the next start.
    bool overwrote = std::exchange(cutNextRecord, false) || hasForward();
    deleteEventsAfterCurrent();
    events.append(event);
    // Not forward(): this event's record is already written where pending edits
    // would go. Its builder has written them before it.
    stepForward();
    if (overwrote && stream)
        stream->setEOF();
    if (Global::encounter)
        Global::encounter->setHandEdits(false);
    if (!quiet)
        notify();
    return true;
}

void History::recordAbandoned(ObjectStream* written)
{
    if (written != stream || !hasForward())
        return;
    deleteEventsAfterCurrent();
    notify();
}

namespace {

// What an event sets is recorded: it is no hand edit, whatever it signals.
template <typename Step>
void keepingHandEdits(Step step)
{
    bool handEdits = Global::encounter && Global::encounter->hasHandEdits();
    step();
    if (Global::encounter)
        Global::encounter->setHandEdits(handEdits);
}

}

void History::stepForward()
{
    Event* event = events[++current];
    keepingHandEdits([event] { event->apply(); });
    event->incStream(openStream(true));
}

void History::stepBack()
{
    Event* event = events[current--];
    keepingHandEdits([event] { event->undo(); });
    event->decStream(openStream(true));
}

bool History::recordHandEdits()
{
    // Left unrecorded, they would be undone by a step back over their
    // creature's last event, or folded by a redo into figures the log never
    // holds.
    const QStringList edited = Global::encounter ? Global::encounter->getHandEditedNames() : QStringList();
    if (edited.isEmpty())
        return true;
    if (hasForward() && !mayEndUndoneEvents(edited))
        return false;
    return CommandRoad().writeEdits();
}

bool History::mayEndUndoneEvents(const QStringList& edited) const
{
    return Global::ui().rejectableAlert(
        tr("Record Hand Edits"),
        tr("The hand edits of <b>%1</b> were made while changes stood undone. They are recorded before the history "
           "moves, as before every command, and that ends the undone changes from <b>%2</b> on (%3 in all): Step "
           "Forward can no longer make them again.")
            .arg(edited.join(", ").toHtmlEscaped(), getEventText(current + 1).toHtmlEscaped())
            .arg(events.size() - current - 1),
        tr("Record Edits"));
}

void History::forward(bool quiet)
{
    if (hasForward() && !recordHandEdits())
        return;
    if (hasForward())
        stepForward();
    if (!quiet)
        notify();
}

void History::back()
{
    // The event that was current is the one taken back. Hand edits recorded
    // now stand after it and are stepped back over too: undone live, they
    // leave the typed figures, which the next command records again.
    const int to = qMax(current - 1, -1);
    if (!recordHandEdits())
        return;
    while (current > to)
        stepBack();
    notify();
}

void History::goTo(int index)
{
    if (index < 0 || index >= events.size() || index == current || !recordHandEdits())
        return;
    // Recorded over the undone events, the edits leave fewer rows to go to.
    index = qMin(index, int(events.size()) - 1);
    emit Global::switchBoard.doSetPauseUpdate(true);
    emit Global::switchBoard.doSetPlayersUpdate(false);
    while (current < index)
        stepForward();
    while (current > index)
        stepBack();
    emit Global::switchBoard.doSetPlayersUpdate(true);
    emit Global::switchBoard.doSetPauseUpdate(false);
    notify();
}

void History::truncate()
{
    // Dropped here but left in a log that cannot be cut, the events would come back at the next start.
    if (trancateable())
        if (ObjectStream* log = getStream(false)) {
            deleteEventsAfterCurrent();
            log->setEOF();
        }
    notify();
}

void History::reset()
{
    dropAll();
    notify();
}

void History::dropAll()
{
    BulkRelease release;
    current = -1;
    qDeleteAll(events);
    events.clear();
    delete std::exchange(stream, nullptr);
}

bool History::rootChanged()
{
    bool ok = true;
    keptCopy.clear();
    unkeptDamage.clear();
    cutNextRecord = false;
    unreplayed = false;
    reset();
    if (Global::getRootPath(false).isEmpty())
        return true;
    if (!QFile::exists(getLogPath())) {
        // Nothing to replay, and the first command makes the log; whether it
        // can is told now rather than at every command.
        bool writable = openStream(false);
        delete std::exchange(stream, nullptr);
        if (writable)
            QFile::remove(getLogPath());
        return true;
    }
    if (!openStream(false))
        return true;

    emit Global::switchBoard.doStartLoadingHistory();
    replaying = true;
    QElapsedTimer sinceEvents;
    sinceEvents.start();
    while (Event* event = Event::loadEvent(stream, ok)) {
        apply(event, true);
        // Repaints and timers may run now and then; the user may not act on
        // a half-read fight.
        if (sinceEvents.elapsed() >= 20) {
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            sinceEvents.restart();
        }
    }
    replaying = false;
    // What the replayed events set is recorded, not edited by hand; flagged,
    // the next command would record every hero whose before-values an
    // extended rest cleared.
    if (Global::encounter)
        Global::encounter->clearCreatureEdited();
    replayEnd = stream->getOffset();
    // Zeros over a record's start read as the end marker; the records after them would be written over.
    ObjectStream::PastEnd pastEnd = ok ? stream->pastEnd() : ObjectStream::PastEnd::Data;
    if (pastEnd == ObjectStream::PastEnd::Data) {
        keepDamage();
        if (ok)
            Global::alert(unkeptDamage.isEmpty() ? tr("History File Damaged") : tr("Cannot Write History File"),
                          damageText());
    } else if (pastEnd == ObjectStream::PastEnd::Zeros) {
        cutNextRecord = true;
        tellEndedEarly();
    }
    // A log that takes no record is told now, not only at the first command; damage without a copy was just told.
    if (!ok || unkeptDamage.isEmpty())
        getStream(false);
    readAllDone();
    emit Global::switchBoard.doDoneLoadingHistory();
    return ok;
}

void History::keepDamage()
{
    unkeptDamage.clear();
    keptCopy = Global::keepCopyInHistory(getLogPath(), "unreadable_history", &unkeptDamage);
    cutNextRecord = !keptCopy.isEmpty();
}

QString History::damageText() const
{
    QString text = tr("The history file %1 is damaged: its records could not be read past byte %2 (an unknown "
                      "record, a run of zero bytes, or a record cut short), and what follows was not replayed.")
                       .arg(getLogPath().toHtmlEscaped())
                       .arg(replayEnd);
    if (unkeptDamage.isEmpty())
        return text + tr("<p>A copy of the file was kept as <b>%1</b>.").arg(keptCopy.toHtmlEscaped());
    return text + tr("<p>No copy of the file could be kept: %1. It is left as it is, and no change can be recorded "
                     "until a copy can be made.")
                      .arg(unkeptDamage.toHtmlEscaped());
}

void History::tellEndedEarly()
{
    const QString path = getLogPath();
    Global::alert(tr("History File Ended Early"),
                  tr("The history file %1 ended early: from byte %2 to its end at byte %3 it holds only zero bytes, "
                     "as a power cut leaves the last records written. The fight was replayed up to byte %2; the "
                     "changes recorded after it are lost.")
                      .arg(path.toHtmlEscaped())
                      .arg(replayEnd)
                      .arg(QFileInfo(path).size()));
}

bool History::newHistory()
{
    if (!stream)
        return true;
    QString created = stream->getCreationDate();
    delete stream;
    stream = nullptr;

    QString log = getLogPath();
    if (!QFile::exists(log))
        return true;
    QString root = Global::getRootPath(false);
    QString folder = QString("%1%2History").arg(root, QDir::separator());
    if (!QDir(folder).exists() && !QDir(root).mkdir("History")) {
        Global::alert(tr("Cannot Create History Directory"),
                      tr("Unable to create <b>History</b> directory: %1%2History")
                          .arg(Global::getPrettyRootPath(), QDir::separator()));
        openStream(true);
        return false;
    }
    QString backup = QString("%1%2history_%3.log").arg(folder, QDir::separator(), created);
    if (!QFile::copy(log, backup)) {
        Global::alert(tr("Cannot Create History Backup"), tr("Unable to create History backup file: %1").arg(backup));
        openStream(true);
        return false;
    }
    if (!QFile::remove(log)) {
        Global::alert(tr("Cannot Remove History File"),
                      tr("The history file %1 was copied to %2 but could not be removed.").arg(log, backup));
        openStream(true);
        return false;
    }
    return true;
}

QList<Event*> History::getPlayersEvents(int count) const
{
    QList<Event*> result;
    int i = qMin(current, int(events.size()) - 1);
    if (i < 0)
        return result;
    while (true) {
        if (events[i]->isPlayersEvent() && !events[i]->isHiddenFromPlayers()) {
            result.append(events[i]);
            if (result.size() >= count)
                return result;
        }
        if (--i == -1)
            return result;
        if (events[i]->isStartEncounter())
            return result;
    }
}

void History::readAllDone()
{
    notify();
}
