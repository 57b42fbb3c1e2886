#ifndef FOLDERLOCK_H
#define FOLDERLOCK_H

#include <QString>

// Keeps a data folder to one program at a time: two programs writing one
// history log write over each other's records. The lock is the toolkit's lock
// file in the folder; one left by a program that crashed or was killed is
// taken over.
namespace FolderLock {

// Locks the folder for this program, beside the folders it holds already.
// False when another program holds it; inUse then says so, naming the folder
// and the program by its name, process and host. A folder that cannot hold the
// file (read-only, or not there) is taken unlocked: what fails there is told
// by the loading and the log.
bool take(const QString& folder, QString& inUse);
// Lets go of every folder held but this one; an empty folder lets go of all.
void keepOnly(const QString& folder);

// Whether this program still holds the folder it took, as its lock file may
// be removed while it runs (with the folder or alone). A lock file that is
// gone, or left there by this program, is taken again; false, with why
// naming the folder and the program that took it, when another program holds
// it now. True for a folder not held, as one taken unlocked. Costs a stat.
bool confirmHeld(const QString& folder, QString& why);

}

#endif
