#ifndef PENDINGCHANGES_H
#define PENDINGCHANGES_H

#include <QString>
#include <QStringList>

class Creature;

// What both library editors ask and tell about pending changes.
namespace PendingChanges {

// Changed, in place of a file that did not read: no save can keep it, and
// the history log keeps its figures in the fight.
bool isStandIn(const Creature* creature);

// The delete prompt, silenceable under the key; true for "Delete" (or a silenced prompt).
bool confirmDelete(const QString& settingsKey, const QString& name, const QString& fileName);
// The "Revert All" question; true for OK.
bool confirmRevertAll(const QString& text);
// One line of the failure alert: the item, its file and why the file could not be written or removed.
QString failure(const QString& name, const QString& fileName, const QString& error);
// One alert naming every item a "Save All" left pending; nothing when none.
void tellFailures(const QStringList& failures);

}

#endif
