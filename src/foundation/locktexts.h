#ifndef LOCKTEXTS_H
#define LOCKTEXTS_H

#include <QString>

// What the user is told of a data folder's lock, kept apart from the locking.
namespace LockTexts {

// The program a lock file names.
struct Holder
{
    qint64 pid = 0;
    QString host;
    QString program;

    bool onThisComputer() const;
};

// A live holder of this user's that has the folder open.
QString inUse(const QString& folder, const Holder& holder);
// A live holder whose program cannot be told running or not: Open Anyway and its risk.
QString onAnotherComputer(const QString& folder, const Holder& holder);
// A holder on this computer that holds another folder: this one was copied with its lock.
QString notOpenedHere(const QString& folder, const Holder& holder);
// A holder on this computer whose folders only its own user can see.
QString anotherUsers(const QString& folder, const Holder& holder);
// A lock file this user cannot read: most likely another user's program holds the folder.
QString unidentified(const QString& folder, const QString& lockFile, const QString& cause);
QString stuck(const QString& folder, const QString& lockFile, const QString& cause);
// The runtime folder that holds this computer's lock on the folder; empty where it takes none.
QString unlocked(const QString& folder, const QString& lockFile, const QString& cause, const QString& runtime);
// What is left to do at a start refused; only a program known to have the folder open can be gone on in.
QString atStart(bool openElsewhere);
QString unwritten();
// Another program holds the folder now, as with Open Anyway; a holder that names no program is null.
QString takenSince(const QString& folder, const Holder* holder);

}

#endif
