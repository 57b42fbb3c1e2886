#include "foundation/global.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QSettings>

#include "foundation/folderlock.h"
#include "foundation/uihooks.h"

#include <sys/stat.h>

#include <cerrno>


namespace {

const char* const defaultFolderName = "Ravelhorn Data";
const char* const libraryFolders[] = {"Characters", "Monsters", "Portraits", "Encounters"};

bool hasLibraryFolder(const QDir& dir, const char* name)
{
    return QFileInfo(dir, name).isDir();
}

// Why the folder remembered from the last start cannot be the data folder.
QString tellMissing(const QString& missing)
{
    const QString cause = QFileInfo(missing).isDir()
        ? Global::tr("holds none of the folders Characters, Monsters, Portraits and Encounters")
        : Global::tr("was not found (a drive not plugged in, or a network folder not mounted)");
    return Global::tr("The data folder <b>%1</b> remembered from the last start %2.")
        .arg(Global::htmlPath(missing), cause);
}

// The program goes on with empty libraries: the game master learns where it looked and what failed.
void tellNoDataFolder(const QString& missingNote, const QStringList& searched, const QString& demoData,
                      const QString& target)
{
    QStringList places;
    for (const QString& folder : searched)
        places.append(Global::htmlPath(folder));
    const QString failure = QFileInfo(demoData).isDir()
        ? Global::tr("The demonstration data could not be copied from <b>%1</b> to <b>%2</b>.")
              .arg(Global::htmlPath(QDir::toNativeSeparators(demoData)),
                   Global::htmlPath(QDir::toNativeSeparators(target)))
        : Global::tr("The demonstration data was not found at <b>%1</b>.")
              .arg(Global::htmlPath(QDir::toNativeSeparators(demoData)));
    Global::alert(Global::tr("No Data Folder"),
                  (missingNote.isEmpty() ? QString() : missingNote + "<p>")
                      + Global::tr("No '%1' folder was found in:<br>%2<p>%3<p>Ravelhorn starts with empty libraries: "
                                   "choose a data folder with 'Select Data Location...' in the File menu.")
                            .arg(defaultFolderName, places.join("<br>"), failure));
}

QString joined(const QString& root, const char* folder, const QString& fileName)
{
    QString base = root.isEmpty() ? Global::getRootPath(false) : root;
    return QString("%1%2%3%4%5").arg(base, QDir::separator(), folder, QDir::separator(), fileName);
}

}

QString Global::getApplicationDir()
{
    return QDir::toNativeSeparators(QCoreApplication::applicationDirPath());
}

QString Global::getPluginsPath()
{
    return QCoreApplication::applicationDirPath();
}

QString Global::getResourcePath()
{
    QDir dir(QCoreApplication::applicationDirPath());
    if (dir.dirName() == "MacOS" && !dir.cdUp())
        return QString();
    if (!dir.cd("Resources"))
        return QString();
    return QDir::toNativeSeparators(dir.absolutePath());
}

QString Global::getApplicationPath()
{
    QDir dir(QCoreApplication::applicationDirPath());
    if (dir.dirName() == "MacOS" && !dir.cdUp())
        return QString();
    if (dir.dirName() == "Contents" && !dir.cdUp())
        return QString();
    if (!dir.cdUp())
        return QString();
    return QDir::toNativeSeparators(dir.absolutePath());
}

QString Global::getRootPath(bool withSeparator)
{
    return withSeparator ? addDirChar(nativeRootPath, QDir::separator()) : nativeRootPath;
}

QString Global::getPrettyRootPath()
{
    return prettyRootPath;
}

QString Global::addDirChar(const QString& text, QChar c)
{
    return text.endsWith(c) ? text : text + c;
}

bool Global::isValidRootPath(QDir& dir)
{
    for (const char* name : libraryFolders)
        if (!hasLibraryFolder(dir, name))
            return false;
    return true;
}

bool Global::isEmptyRootPath(QDir& dir)
{
    for (const char* name : libraryFolders)
        if (hasLibraryFolder(dir, name))
            return false;
    return true;
}

bool Global::initRootPath()
{
    const QString folderName = defaultFolderName;
    QSettings settings;
    QString path = settings.value("dataDir/path").toString();
    QString display;
    QDir remembered(path);
    // A remembered folder that is gone (a drive not plugged in) is told, and stays remembered.
    const QString missing = path.isEmpty() || !isEmptyRootPath(remembered) ? QString() : QDir::toNativeSeparators(path);
    const QString missingDisplay = settings.value("dataDir/display").toString();
    if (missing.isEmpty() && !path.isEmpty()) {
        display = missingDisplay;
    } else {
        struct Place
        {
            QString folder;
            QString display;
        };
        const QStandardPaths::StandardLocation standard[] = {QStandardPaths::DocumentsLocation,
                                                             QStandardPaths::AppLocalDataLocation,
                                                             QStandardPaths::HomeLocation};
        QList<Place> places;
        places.append({getApplicationPath(), getPrettyAppPath(folderName)});
        for (QStandardPaths::StandardLocation location : standard)
            places.append({QStandardPaths::writableLocation(location), getPrettyPath(location, folderName)});

        path.clear();
        QStringList searched;
        for (const Place& place : places) {
            if (place.folder.isEmpty())
                continue;
            QDir candidate(place.folder + QDir::separator() + folderName);
            searched.append(QDir::toNativeSeparators(candidate.absolutePath()));
            if (candidate.exists() && isValidRootPath(candidate)) {
                path = searched.last();
                display = place.display;
                break;
            }
        }
        const QString missingNote = missing.isEmpty() ? QString() : tellMissing(missing);
        if (path.isEmpty()) {
            QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
            // A new home may not have its documents folder yet.
            QDir().mkpath(documents);
            QString source = getResourcePath() + QDir::separator() + "demo-data";
            if (getResourcePath().isEmpty() || !copyDir(source, documents, folderName)) {
                tellNoDataFolder(missingNote, searched, source, documents + QDir::separator() + folderName);
                return true;
            }
            path = QDir::toNativeSeparators(documents + QDir::separator() + folderName);
            display = getPrettyPath(QStandardPaths::DocumentsLocation, folderName);
        }
        if (!missing.isEmpty())
            alert(tr("Data Folder Missing"),
                  missingNote
                      + tr("<p>Ravelhorn opens <b>%1</b> instead. <b>%2</b> stays remembered: once it is back, the "
                           "next start opens it, or choose it with 'Select Data Location...' in the File menu.")
                            .arg(htmlPath(path), htmlPath(missing)));
    }
    if (display.isEmpty())
        display = path;
    const QString found = path;
    QString inUse;
    while (!FolderLock::take(path, inUse)) {
        if (!ui().selectFolderOrQuit(tr("Data Folder in Use"),
                                     inUse + tr("<p>Choose another data folder, or quit and go on in the program "
                                                "that has it open.")))
            return false;
        const QString chosen = ui().getExistingDirectory(tr("Select Ravelhorn Data Folder"));
        if (!chosen.isEmpty())
            path = display = chosen;
    }
    if (!setRootPath(path, display))
        FolderLock::keepOnly(nativeRootPath);
    if (!missing.isEmpty() && nativeRootPath == found) {
        QSettings kept;
        kept.setValue("dataDir/path", missing);
        kept.setValue("dataDir/display", missingDisplay);
    }
    return true;
}

bool Global::copyDir(const QString& source, const QString& targetParent, const QString& name)
{
    QDir sourceDir(source);
    if (!sourceDir.exists())
        return false;
    const QStringList entries = sourceDir.entryList(QDir::NoFilter, QDir::Name | QDir::IgnoreCase);
    if (entries.isEmpty())
        return false;
    QDir parent(targetParent);
    if (!parent.exists(name) && !parent.mkdir(name))
        return false;
    QString target = targetParent + QDir::separator() + name;
    for (const QString& entry : entries) {
        if (entry.startsWith('.'))
            continue;
        QString from = source + QDir::separator() + entry;
        QString to = target + QDir::separator() + entry;
        if (QFileInfo(from).isDir()) {
            if (!copyDir(from, target, entry))
                return false;
        } else if (!QFileInfo::exists(to) && !QFile::copy(from, to)) {
            return false;
        }
    }
    return true;
}

QByteArray Global::readUpTo(QFile& file, qint64 expectedSize, qint64 limit)
{
    QByteArray bytes = file.read(qBound(qint64(0), expectedSize + 1, limit));
    // Grown since: read on as far as the limit.
    if (bytes.size() > expectedSize && bytes.size() < limit)
        bytes += file.read(limit - bytes.size());
    return bytes;
}

QString Global::keepCopyInHistory(const QString& file, const QString& prefix, QString* failure)
{
    QDir folder = QFileInfo(file).absoluteDir();
    if (!folder.mkpath("History")) {
        if (failure)
            *failure = tr("the folder %1 cannot be made").arg(QDir::toNativeSeparators(folder.filePath("History")));
        return QString();
    }
    QString stem = folder.filePath(QString("History/%1_%2").arg(prefix, timeNow()));
    QString copy = stem + ".log";
    for (int n = 2; QFile::exists(copy); ++n)
        copy = QString("%1_%2.log").arg(stem).arg(n);
    QFile original(file);
    if (original.copy(copy))
        return QDir::toNativeSeparators(copy);
    if (failure)
        *failure = original.errorString();
    return QString();
}

QString Global::brokenLink(const QString& path)
{
    const QFileInfo info(path);
    if (!info.isSymLink() || info.exists())
        return QString();
    // Why the system cannot follow it.
    struct stat target;
    const int followed = ::stat(QFile::encodeName(path).constData(), &target);
    return tr("The file is a link to %1: %2")
        .arg(QDir::toNativeSeparators(info.symLinkTarget()), followed == 0 ? QString() : qt_error_string(errno));
}

bool Global::isFree(const QString& path)
{
    const QFileInfo info(path);
    return !info.exists() && !info.isSymLink();
}

QString Global::getCreaturePath(const QString& fileName, bool monster, const QString& root)
{
    return joined(root, monster ? "Monsters" : "Characters", fileName);
}

QString Global::getPortraitPath(const QString& fileName, const QString& root)
{
    return joined(root, "Portraits", QDir::toNativeSeparators(fileName));
}

QString Global::getEncounterPath(const QString& fileName, const QString& root)
{
    return joined(root, "Encounters", fileName);
}

QString Global::getRootedPath(const QString& path, const QString& root)
{
    QString native = QDir::toNativeSeparators(path);
    if (QDir::isAbsolutePath(native))
        return native;
    QString base = root.isEmpty() ? getRootPath(false) : root;
    return QString("%1%2%3").arg(base, QDir::separator(), native);
}

QString Global::getPrettyPath(QStandardPaths::StandardLocation location, const QString& rest)
{
    QString name = QStandardPaths::displayName(location);
    if (name.isEmpty())
        return QString();
    return name + QDir::separator() + rest;
}

QString Global::getPrettyAppPath(const QString& rest)
{
    return getPrettyPath(QStandardPaths::ApplicationsLocation, rest);
}

bool Global::commitWhole(QSaveFile& file)
{
    // A commit alone takes a write cut short for a whole one.
    return file.flush() && file.commit();
}

namespace {

QString fileError;

}

bool Global::saveFile(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && commitWhole(file))
        return true;
    fileError = file.errorString();
    return false;
}

bool Global::removeFile(const QString& path)
{
    QFile file(path);
    if (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink())
        return true;
    if (file.remove())
        return true;
    fileError = file.errorString();
    return false;
}

QString Global::lastFileError()
{
    return fileError;
}

void Global::setLastFileError(const QString& cause)
{
    fileError = cause;
}
