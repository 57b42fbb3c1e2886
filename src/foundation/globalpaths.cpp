#include "foundation/global.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QSettings>

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

struct Place
{
    QString folder;
    QString display;
};

// The first valid "Ravelhorn Data" beside the program, in the documents, the
// program's data or the home folder; every place looked in is added to searched.
Place findDefaultFolder(QStringList& searched)
{
    const QStandardPaths::StandardLocation standard[] = {QStandardPaths::DocumentsLocation,
                                                         QStandardPaths::AppLocalDataLocation,
                                                         QStandardPaths::HomeLocation};
    QList<Place> places{{Global::getApplicationPath(), Global::getPrettyAppPath(defaultFolderName)}};
    for (QStandardPaths::StandardLocation location : standard)
        places.append({QStandardPaths::writableLocation(location), Global::getPrettyPath(location, defaultFolderName)});
    for (const Place& place : places) {
        if (place.folder.isEmpty())
            continue;
        QDir candidate(place.folder + QDir::separator() + defaultFolderName);
        searched.append(QDir::toNativeSeparators(candidate.absolutePath()));
        if (candidate.exists() && Global::isValidRootPath(candidate))
            return {searched.last(), place.display};
    }
    return {};
}

// The demonstration data, and "Ravelhorn Data" in the documents folder where it goes.
struct DemoData
{
    bool shipped = !Global::getResourcePath().isEmpty();
    QString source = Global::getResourcePath() + QDir::separator() + "demo-data";
    QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    QString target = documents + QDir::separator() + defaultFolderName;

    // The target made empty, so that its lock is asked for before anything is
    // copied in; none when there is nothing to copy or it cannot be made.
    Place prepare() const
    {
        if (!shipped || !QFileInfo(source).isDir() || !QDir().mkpath(target))
            return {};
        return {QDir::toNativeSeparators(target),
                Global::getPrettyPath(QStandardPaths::DocumentsLocation, defaultFolderName)};
    }
    // The game master is told where the search looked when it fails.
    bool copy(const QString& missing, const QStringList& searched) const
    {
        if (shipped && Global::copyDir(source, documents, defaultFolderName))
            return true;
        tellNoDataFolder(missing.isEmpty() ? QString() : tellMissing(missing), searched, source, target);
        return false;
    }
};

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
    QSettings settings;
    const QString remembered = settings.value("dataDir/path").toString();
    const QString rememberedDisplay = settings.value("dataDir/display").toString();
    QDir rememberedDir(remembered);
    if (!remembered.isEmpty() && !isEmptyRootPath(rememberedDir))
        return switchRootPath(remembered, rememberedDisplay, true) != RootSwitch::Quit;
    // A remembered folder that is gone (a drive not plugged in) is told, and stays remembered.
    const QString missing = remembered.isEmpty() ? QString() : QDir::toNativeSeparators(remembered);
    QStringList searched;
    Place found = findDefaultFolder(searched);
    const DemoData demo;
    const bool copying = found.folder.isEmpty();
    if (copying)
        found = demo.prepare();
    if (found.folder.isEmpty()) {
        demo.copy(missing, searched);
        return true;
    }
    // Only once the folder is held: another program may hold it, even one without library folders, made again
    // while that program ran.
    const auto fill = [&] {
        if (copying && !demo.copy(missing, searched))
            return false;
        // The remembered folder itself, emptied, is filled again: no other folder opens instead.
        if (!missing.isEmpty() && QDir(missing) != QDir(found.folder))
            alert(tr("Data Folder Missing"),
                  tellMissing(missing)
                      + tr("<p>Ravelhorn opens <b>%1</b> instead. <b>%2</b> stays remembered: once it is back, the "
                           "next start opens it, or choose it with 'Select Data Location...' in the File menu.")
                            .arg(htmlPath(found.folder), htmlPath(missing)));
        return true;
    };
    const RootSwitch result = switchRootPath(found.folder, found.display, true, fill);
    if (!missing.isEmpty() && nativeRootPath == found.folder) {
        QSettings kept;
        kept.setValue("dataDir/path", missing);
        kept.setValue("dataDir/display", rememberedDisplay);
    }
    return result != RootSwitch::Quit;
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

namespace {

// "<prefix>_<time>.log" in the "History" folder beside file, made if need be, never another copy's name; empty,
// with the reason in failure, when the folder cannot be made.
QString freeHistoryName(const QString& file, const QString& prefix, QString* failure)
{
    QDir folder = QFileInfo(file).absoluteDir();
    if (!folder.mkpath("History")) {
        if (failure)
            *failure = Global::tr("the folder %1 cannot be made")
                           .arg(QDir::toNativeSeparators(folder.filePath("History")));
        return QString();
    }
    QString stem = folder.filePath(QString("History/%1_%2").arg(prefix, Global::timeNow()));
    QString copy = stem + ".log";
    for (int n = 2; QFile::exists(copy); ++n)
        copy = QString("%1_%2.log").arg(stem).arg(n);
    return copy;
}

}

QString Global::keepCopyInHistory(const QString& file, const QString& prefix, QString* failure)
{
    const QString copy = freeHistoryName(file, prefix, failure);
    if (copy.isEmpty())
        return QString();
    QFile original(file);
    if (original.copy(copy))
        return QDir::toNativeSeparators(copy);
    if (failure)
        *failure = original.errorString();
    return QString();
}

QString Global::keepInHistory(const QString& file, const QString& prefix, const QByteArray& bytes, QString* failure)
{
    const QString copy = freeHistoryName(file, prefix, failure);
    if (copy.isEmpty())
        return QString();
    QSaveFile out(copy);
    if (out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size() && commitWhole(out))
        return QDir::toNativeSeparators(copy);
    if (failure)
        *failure = out.errorString();
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
