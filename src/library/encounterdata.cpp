#include "library/encounterdata.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "foundation/global.h"
#include "library/encounters.h"
#include "library/monsters.h"

namespace {

const int maxKeyBytes = 400;
const qint64 maxFileSize = 4 * 1024 * 1024;
// Leaves room for "_<n>.txt" within the file systems' 255 bytes.
const int maxBaseBytes = 200;

// A key is split off at its first "=", so one inside a template name or an
// ID is written "\=", and a leading "#" "\#" so that it does not read as a comment.
QByteArray keyBytes(const QString& key)
{
    QByteArray bytes = Global::toBytes(key).replace("=", "\\=");
    if (bytes.startsWith('#'))
        bytes.prepend('\\');
    return bytes;
}

void writeLine(QByteArray& text, const QByteArray& key, const QString& value)
{
    text += key + '=' + Global::toBytes(value) + "\r\n";
}

// Splits at the first "=" not escaped by an odd run of backslashes. False
// for a line that ends the reading: one that starts with "=", or whose key
// is too long. Blank and comment lines give an empty key.
bool splitLine(const QByteArray& line, QString& key, QString& value)
{
    key.clear();
    value.clear();
    int start = 0;
    while (start < line.size() && (line[start] == ' ' || line[start] == '\t'))
        start++;
    if (start == line.size() || line[start] == '#')
        return true;
    if (line[start] == '=')
        return false;
    int equals = -1;
    int backslashes = 0;
    for (int i = start; i < line.size() && equals < 0; i++) {
        if (line[i] == '=' && backslashes % 2 == 0)
            equals = i;
        backslashes = line[i] == '\\' ? backslashes + 1 : 0;
    }
    int end = equals < 0 ? int(line.size()) : equals;
    if (end - start > maxKeyBytes)
        return false;
    key = Global::fromBytes(line.mid(start, end - start)).trimmed();
    if (equals >= 0)
        value = Global::fromBytes(line.mid(equals + 1)).trimmed();
    return true;
}

bool sortsBefore(const EncounterMonster& m, const EncounterMonster& other)
{
    int byName = m.name.compare(other.name, Qt::CaseInsensitive);
    return byName < 0 || (byName == 0 && Creature::compareNames(m.id, other.id) < 0);
}

QString fileBase(const QString& name)
{
    QString base;
    for (QChar c : name.toLower()) {
        if (c.isSpace())
            base += '-';
        else if (c.isLetterOrNumber())
            base += c;
    }
    // A name of signs only would save as the hidden ".txt".
    if (base.isEmpty())
        base = "encounter";
    while (base.toUtf8().size() > maxBaseBytes)
        base.chop(1);
    return base;
}

}

void EncounterData::setAdventure(const QString& text)
{
    if (text == adventure)
        return;
    if (encounters) {
        encounters->addAdventure(text);
        encounters->removeAdventure(adventure);
    }
    adventure = text;
}

void EncounterData::changeCount(bool& flag, bool value, int CreatureCounts::*total)
{
    if (counts && flag != value)
        counts->*total += value ? 1 : -1;
    flag = value;
}

void EncounterData::setNew(bool value)
{
    changeCount(isNewFlag, value, &CreatureCounts::newCount);
}

void EncounterData::setDirty(bool value)
{
    changeCount(isDirtyFlag, value, &CreatureCounts::dirtyCount);
}

void EncounterData::setDeleted(bool value)
{
    changeCount(isDeletedFlag, value, &CreatureCounts::deletedCount);
}

EncounterEntry EncounterData::getEntry()
{
    EncounterEntry entry;
    entry.fileName = fileName;
    entry.name = name;
    entry.adventure = adventure;
    entry.description = description;
    entry.level = level;
    entry.xp = xp;
    return entry;
}

QString EncounterData::getGroup(int g) const
{
    return g >= 0 && g < groupStarts.size() ? monsters[groupStarts[g]].name : QString();
}

int EncounterData::getGroupCreatureCount(int g) const
{
    if (g < 0 || g >= groupStarts.size())
        return 0;
    int end = g + 1 < groupStarts.size() ? groupStarts[g + 1] : int(monsters.size());
    return end - groupStarts[g];
}

EncounterMonster* EncounterData::getGroupCreature(int g, int i)
{
    if (i < 0 || i >= getGroupCreatureCount(g))
        return nullptr;
    return &monsters[groupStarts[g] + i];
}

EncounterMonster* EncounterData::getGroupCreature(const QString& templateName, const QString& id)
{
    for (EncounterMonster& m : monsters)
        if (m.name.compare(templateName, Qt::CaseInsensitive) == 0 && m.id == id)
            return &m;
    return nullptr;
}

int EncounterData::getGroupIndex(const QString& templateName) const
{
    for (int g = 0; g < groupStarts.size(); g++)
        if (monsters[groupStarts[g]].name == templateName)
            return g;
    return -1;
}

void EncounterData::getGroupCreatureIndex(const EncounterMonster& m, int& group, int& index) const
{
    group = index = -1;
    for (int g = 0; g < groupStarts.size(); g++)
        for (int i = 0; i < getGroupCreatureCount(g); i++) {
            const EncounterMonster& other = monsters[groupStarts[g] + i];
            if (other.name == m.name && other.id == m.id) {
                group = g;
                index = i;
                return;
            }
        }
}

bool EncounterData::getGroupCreaturePos(const EncounterMonster& m, int& group, int& index) const
{
    group = -1;
    QString current;
    QString previousName;
    int start = 0;
    int previousStart = -1;
    int i = 0;
    bool newGroup = true;
    bool stopped = false;
    for (; i < monsters.size(); i++) {
        const EncounterMonster& here = monsters[i];
        if (here.name != current) {
            previousName = current;
            current = here.name;
            group++;
            previousStart = start;
            start = i;
        }
        int byName = here.name.compare(m.name, Qt::CaseInsensitive);
        if (byName > 0 || (byName == 0 && Creature::compareNames(here.id, m.id) >= 0)) {
            newGroup = byName > 0;
            stopped = true;
            break;
        }
    }
    if (!stopped) {
        previousName = current;
        group++;
        previousStart = start;
        start = i = int(monsters.size());
        newGroup = true;
    }
    if (!previousName.isEmpty() && m.name.compare(previousName, Qt::CaseInsensitive) == 0) {
        group--;
        start = previousStart;
        newGroup = false;
    }
    index = i - start;
    return newGroup;
}

void EncounterData::rebuildGrouping()
{
    groupStarts.clear();
    QString previous;
    for (int i = 0; i < monsters.size(); i++) {
        if (monsters[i].name != previous)
            groupStarts.append(i);
        previous = monsters[i].name;
    }
}

void EncounterData::addCreature(const EncounterMonster& m)
{
    int at = 0;
    while (at < monsters.size() && sortsBefore(monsters[at], m))
        at++;
    monsters.insert(at, m);
    rebuildGrouping();
    recalcXP = true;
}

void EncounterData::removeCreature(const EncounterMonster& m)
{
    for (int i = 0; i < monsters.size(); i++)
        if (monsters[i].name == m.name && monsters[i].id == m.id) {
            monsters.removeAt(i);
            rebuildGrouping();
            recalcXP = true;
            return;
        }
}

void EncounterData::removeGroup(const QString& templateName)
{
    if (monsters.removeIf([&](const EncounterMonster& m) { return m.name == templateName; }) > 0) {
        rebuildGrouping();
        recalcXP = true;
    }
}

void EncounterData::renameGroup(const QString& oldName, const QString& newName, int& oldGroup, int& newGroup)
{
    oldGroup = getGroupIndex(oldName);
    newGroup = -1;
    if (oldGroup < 0)
        return;
    QList<EncounterMonster> moved;
    for (int i = monsters.size() - 1; i >= 0; i--)
        if (monsters[i].name == oldName) {
            moved.append(monsters.takeAt(i));
            moved.last().name = newName;
        }
    int at = 0;
    while (at < monsters.size() && monsters[at].name.compare(newName, Qt::CaseInsensitive) <= 0)
        at++;
    for (const EncounterMonster& m : moved)
        monsters.insert(at, m);
    rebuildGrouping();
    newGroup = getGroupIndex(newName);
}

CreatureList EncounterData::getCreatureList() const
{
    CreatureList list;
    for (const EncounterMonster& m : monsters)
        list.insertCreature(list.getCount(), Global::monsters->getMonsterInstance(m.name, m.id, true));
    return list;
}

bool EncounterData::match(const QString& text, const QString& adventureFilter) const
{
    if (!text.isEmpty() && !name.contains(text, Qt::CaseInsensitive))
        return false;
    return adventureFilter.isEmpty() || adventureFilter == QCoreApplication::translate("ManagerWindow", "All Adventures")
        || adventure == adventureFilter;
}

QByteArray EncounterData::getFileText(bool withLevel) const
{
    QByteArray text;
    writeLine(text, "name", name);
    if (!adventure.isEmpty())
        writeLine(text, "adventure", adventure);
    writeLine(text, "description", description);
    if (withLevel) {
        writeLine(text, "level", QString::number(level));
        writeLine(text, "xp", QString::number(xp));
    }
    for (int g = 0; g < groupStarts.size(); g++) {
        const int first = groupStarts[g];
        const int count = getGroupCreatureCount(g);
        QStringList ids;
        for (int i = first; i < first + count; i++)
            ids.append(monsters[i].id);
        writeLine(text, keyBytes(monsters[first].name), ids.join(','));
        for (int i = first; i < first + count; i++) {
            if (!monsters[i].alias.isEmpty())
                writeLine(text, keyBytes("alias#" + monsters[i].id), monsters[i].alias);
            if (monsters[i].hidden)
                writeLine(text, keyBytes("hidden#" + monsters[i].id), "true");
        }
    }
    return text;
}

bool EncounterData::load(const QString& file, const QString& root)
{
    QString path = Global::getEncounterPath(file, root);
    // Only regular files: a FIFO would block and a device never end.
    QFileInfo info(path);
    QFile input(path);
    if (!info.isFile() || info.size() > maxFileSize || !input.open(QIODevice::ReadOnly))
        return false;
    QByteArray bytes = Global::readUpTo(input, info.size(), maxFileSize);
    input.close();
    bool afterDescription = false;
    QString currentGroup;
    QString key;
    QString value;
    for (int pos = 0; pos < bytes.size();) {
        if (!splitLine(Global::nextLine(bytes, pos), key, value))
            break;
        if (key == "name" && value.isEmpty())
            break;
        readLine(key, value, afterDescription, currentGroup);
    }
    if (name.isEmpty())
        return false;
    recalcXP = true;
    beforeFileText = getFileText(false);
    return true;
}

void EncounterData::readLine(const QString& key, const QString& value, bool& afterDescription, QString& currentGroup)
{
    if (key == "name") {
        name = value;
    } else if (key == "adventure") {
        adventure = value;
    } else if (key == "description") {
        description = value;
        afterDescription = true;
    } else if (key == "level") {
        level = value.toInt();
    } else if (key == "xp") {
        xp = value.toInt();
    } else if (key.startsWith("alias#") || key.startsWith("hidden#")) {
        // Only a monster of the group line before: another group may differ in case alone.
        const QString id = key.mid(key.indexOf('#') + 1);
        auto found = std::find_if(monsters.begin(), monsters.end(),
                                  [&](const EncounterMonster& m) { return m.name == currentGroup && m.id == id; });
        EncounterMonster* m = found == monsters.end() ? nullptr : &*found;
        if (m && key.startsWith("alias#"))
            m->alias = value;
        else if (m)
            m->hidden = value == "true";
    } else if (!key.isEmpty() && afterDescription) {
        // A part of blanks would make a monster without an ID.
        for (const QString& part : value.split(',', Qt::SkipEmptyParts))
            if (!part.trimmed().isEmpty())
                addCreature({key, part.trimmed(), QString(), false});
        currentGroup = key;
    }
}

bool EncounterData::save()
{
    if (fileName.isEmpty()) {
        QString base = fileBase(name);
        fileName = base + ".txt";
        for (int n = 1; QFileInfo::exists(Global::getEncounterPath(fileName)); n++)
            fileName = QString("%1_%2.txt").arg(base).arg(n);
    }
    QByteArray data = getFileText(true);
    // Written beside the old file and put in its place only when whole.
    QSaveFile file(Global::getEncounterPath(fileName));
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit())
        return false;
    beforeFileText = getFileText(false);
    return true;
}

bool EncounterData::remove()
{
    return QFile::remove(Global::getEncounterPath(fileName));
}

void EncounterData::adjustDirty()
{
    if (!isNewFlag)
        setDirty(getFileText(false) != beforeFileText);
}
