#ifndef FOLDERLOCK_H
#define FOLDERLOCK_H

#include <QString>

// Keeps a data folder to one program at a time: two programs writing one
// history log write over each other's records. The lock is the toolkit's lock
// file in the folder, which its program holds locked until its process ends;
// one left by a program that crashed or was killed is taken over, and so is
// one that names no program once it is a few seconds old, unless it cannot be
// read: another user's program may hold it. A second lock on this computer,
// keyed by the folder's real path in this program's runtime folder, keeps out
// a second program of this user that shares that runtime folder, also when the
// folder cannot hold the file.
namespace FolderLock {

// What asking for a folder's lock came to.
struct Claim
{
    enum Outcome {
        // This program holds the folder; a text says once what could not be locked.
        Held,
        // Another program holds it.
        InUse,
        // A lock nobody holds, or whose program is gone, cannot be removed: the user removes it by hand.
        Stuck,
        // A lock whose holder cannot be checked from this computer, or that
        // cannot be read, or whose program here is not seen to hold it (one
        // that holds another folder, or another user's): opened only when the
        // user says so.
        Unsure
    };
    Outcome outcome = Held;
    // Names the folder, the lock or its holder, and the cause.
    QString text;
};

// Locks the folder for this program, beside the folders it holds already.
// Overruling takes a lock that was Unsure over.
Claim take(const QString& folder, bool overrule = false);
// Lets go of every folder held but this one; an empty folder lets go of all.
void keepOnly(const QString& folder);
// How often this program has waited for a lock file to be named or cleared
// by another program, as a lock being written is.
int waitCount();
// The second lock's file for the folder, in this program's runtime folder.
QString computerLockPath(const QString& folder);

// Whether this program still holds the folder it took, as its lock file may
// be removed while it runs (with the folder or alone). A lock file that is
// gone, or left there by this program, is taken again; false, with why
// naming the folder and the program that took it, when another program holds
// it now. True for a folder not held, as one taken unlocked. Costs a stat.
bool confirmHeld(const QString& folder, QString& why);

}

#endif
