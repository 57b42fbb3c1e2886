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

}

#endif
