#include "creature/creature.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include "foundation/global.h"
#include "foundation/uihooks.h"

namespace {

QString portraitFolder(const QString& root)
{
    return Global::getPortraitPath(QString(), root);
}

// Depth first in the order of a plain QDir listing. Folders already searched
// are passed over, so links that loop back end the search.
QString findIn(const QString& folder, const QString& fileName, const QString& top, QSet<QString>& visited)
{
    QString canonical = QFileInfo(folder).canonicalFilePath();
    if (visited.contains(canonical))
        return QString();
    visited.insert(canonical);
    const QFileInfoList entries = QDir(folder).entryInfoList();
    for (const QFileInfo& entry : entries) {
        QString name = entry.fileName();
        if (name.startsWith('.'))
            continue;
        if (entry.isDir()) {
            QString found = findIn(folder + name + QDir::separator(), fileName, top, visited);
            if (!found.isEmpty())
                return found;
        } else if (entry.isFile() && name == fileName) {
            return Global::right(QDir::fromNativeSeparators(folder + name), QDir::fromNativeSeparators(top));
        }
    }
    return QString();
}

bool sameBytes(const QString& first, const QString& second)
{
    QFile a(first);
    QFile b(second);
    return a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly) && a.size() == b.size()
        && a.readAll() == b.readAll();
}

// "orc.png" becomes "orc-2.png".
QString numberedName(const QString& name, int number)
{
    int dot = name.lastIndexOf('.');
    if (dot <= 0)
        dot = name.length();
    return name.left(dot) + '-' + QString::number(number) + name.mid(dot);
}

}

QString Creature::findPortraitFile(QString folder, const QString& fileName, const QString& root)
{
    QString top = portraitFolder(root);
    if (folder.isEmpty())
        folder = top;
    QSet<QString> visited;
    return findIn(folder, fileName, top, visited);
}

QImage Creature::loadPortrait(const QString& portraitFile, const QString& root)
{
    QImage portrait(Global::getPortraitPath(portraitFile, root));
    if (portrait.isNull()) {
        // The image may have moved to another sub-folder.
        QString moved = findPortraitFile(QString(), Global::lastRight(portraitFile, "/"), root);
        if (!moved.isEmpty())
            portrait.load(Global::getPortraitPath(moved, root));
    }
    return portrait;
}

QString Creature::grabPortraitFile(const QString& file, const QString& root)
{
    QString path = QDir::fromNativeSeparators(file);
    QString top = QDir::fromNativeSeparators(portraitFolder(root));
    if (path.startsWith(top))
        return path.mid(top.length());

    // Reuse a copy made before; never let a different image hide behind a
    // name already taken.
    const QString chosenName = Global::lastRight(path, "/");
    for (int number = 1;; number++) {
        QString name = number == 1 ? chosenName : numberedName(chosenName, number);
        QString existing = findPortraitFile(QString(), name, root);
        if (!existing.isEmpty() && sameBytes(file, Global::getPortraitPath(existing, root)))
            return existing;
        QString target = Global::getPortraitPath(name, root);
        if (existing.isEmpty() && !QFileInfo::exists(target))
            return QFile::copy(file, target) ? name : QString();
    }
}

QString Creature::selectPortraitFile()
{
    if (portraitDirectory.isNull())
        portraitDirectory = Global::addDirChar(portraitFolder(QString()), QDir::separator());
    QString file = Global::ui().getOpenFileName(
        tr("Select Portrait Image"), portraitDirectory,
        tr("Images (*.gif *.jpeg *.jpg *.tiff *.png *.bmp *.mng *.svg *.xpm)"));
    if (file.isEmpty())
        return QString();
    QString name = grabPortraitFile(file, QString());
    if (!name.isEmpty())
        portraitDirectory = chosenFolder(file);
    return name;
}

QPixmap Creature::getPortrait() const
{
    // Converted once per image, not on every redraw.
    if (!portraitPixmap || portraitPixmapKey != stats.portrait.cacheKey()) {
        portraitPixmap = QPixmap::fromImage(stats.portrait);
        portraitPixmapKey = stats.portrait.cacheKey();
    }
    return *portraitPixmap;
}

void Creature::setPortraitFile(const QString& file)
{
    stats.portraitFile = file;
    stats.portrait = loadPortrait(file, QString());
    statChanged();
}

void Creature::rootChanged()
{
    portraitDirectory = QString();
}
