#include "library/encounterdata.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <climits>

#include "foundation/global.h"
#include "library/encounters.h"
#include "library/monsters.h"

namespace {

// Counted in characters: a byte that is no UTF-8 is written back as three.
const int maxKeyLength = 400;
const qint64 maxFileSize = 4 * 1024 * 1024;
// Leaves room for "_<n>.txt" within the file systems' 255 bytes.
const int maxBaseBytes = 200;

// The keys of the header and the starts of the keys of single monsters.
const QStringList headerKeys = {"name", "adventure", "description", "level", "xp"};
const QStringList monsterKeyStarts = {"alias#", "hidden#"};

bool isReservedKey(const QString& key)
{
    return headerKeys.contains(key)
        || std::any_of(monsterKeyStarts.begin(), monsterKeyStarts.end(),
                       [&](const QString& start) { return key.startsWith(start); });
}

// Text is written with backslash escapes; a key is split off at its first
// "=" not escaped, so one inside a template name or an ID is written "\=".
QByteArray keyBytes(const QString& key)
{
    return Global::toBytes(key).replace("=", "\\=");
}

// A leading "#" would read as a comment, and a template named like a key
// of the format as that key: both get a backslash in front.
QByteArray templateKey(const QString& name)
{
    QByteArray bytes = keyBytes(name);
    if (bytes.startsWith('#') || isReservedKey(name))
        bytes.prepend('\\');
    return bytes;
}

// The IDs of a group are joined by commas; one inside an ID is written "\,".
QByteArray idListBytes(const QStringList& ids)
{
    QByteArrayList escaped;
    for (const QString& id : ids)
        escaped.append(Global::toBytes(id).replace(",", "\\,"));
    return escaped.join(',');
}

// Splits at every separator not escaped by an odd run of backslashes.
QByteArrayList splitUnescaped(const QByteArray& bytes, char separator, int maxParts)
{
    QByteArrayList parts;
    int from = 0;
    int backslashes = 0;
    for (int i = 0; i < bytes.size() && parts.size() + 1 < maxParts; i++) {
        if (bytes[i] == separator && backslashes % 2 == 0) {
            parts.append(bytes.mid(from, i - from));
            from = i + 1;
        }
        backslashes = bytes[i] == '\\' ? backslashes + 1 : 0;
    }
    parts.append(bytes.mid(from));
    return parts;
}

void writeLine(QByteArray& text, const QByteArray& key, const QByteArray& value)
{
    text += key + '=' + value + "\r\n";
}

void writeLine(QByteArray& text, const QByteArray& key, const QString& value)
{
    writeLine(text, key, Global::toBytes(value));
}

}

// False for a line that ends the reading: one that starts with "=", or
// whose key is too long. Blank and comment lines give an empty key.
bool EncounterData::FileLine::split(const QByteArray& line)
{
    *this = FileLine();
    int start = 0;
    while (start < line.size() && (line[start] == ' ' || line[start] == '\t'))
        start++;
    if (start == line.size() || line[start] == '#')
        return true;
    if (line[start] == '=')
        return false;
    const QByteArrayList parts = splitUnescaped(line.mid(start), '=', 2);
    // The backslash in front of a template name is no escape of the letter after it.
    const bool marked = parts[0].startsWith('\\') && !parts[0].startsWith("\\\\");
    key = Global::fromBytes(parts[0].mid(marked ? 1 : 0)).trimmed();
    if (key.size() > maxKeyLength)
        return false;
    templateName = parts[0].startsWith('\\');
    rawValue = parts.value(1);
    value = Global::fromBytes(rawValue).trimmed();
    return true;
}

namespace {

// By name regardless of case, names that differ in case alone apart, then by ID:
// a template's monsters stay one run.
bool sortsBefore(const EncounterMonster& m, const EncounterMonster& other)
{
    int byName = m.name.compare(other.name, Qt::CaseInsensitive);
    if (byName == 0)
        byName = m.name.compare(other.name, Qt::CaseSensitive);
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
        if (m.name == templateName && m.id == id)
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

int EncounterData::insertionIndex(const EncounterMonster& m) const
{
    // After its equals ("A" and "A000"), so that a file read back keeps their order.
    int at = 0;
    while (at < monsters.size() && !sortsBefore(m, monsters[at]))
        at++;
    return at;
}

bool EncounterData::getGroupCreaturePos(const EncounterMonster& m, int& group, int& index) const
{
    const int at = insertionIndex(m);
    // The groups that start before it; the last of them may be its own.
    group = int(std::count_if(groupStarts.begin(), groupStarts.end(), [at](int start) { return start < at; }));
    index = 0;
    if (group > 0 && monsters[at - 1].name == m.name) {
        group--;
        index = at - groupStarts[group];
        return false;
    }
    return at == monsters.size() || monsters[at].name != m.name;
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
    monsters.insert(insertionIndex(m), m);
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
    // In the order a load would give them.
    for (const EncounterMonster& m : moved)
        monsters.insert(insertionIndex(m), m);
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
        writeLine(text, templateKey(monsters[first].name), idListBytes(ids));
        for (int i = first; i < first + count; i++) {
            if (!monsters[i].alias.isEmpty())
                writeLine(text, keyBytes("alias#" + monsters[i].id), monsters[i].alias);
            if (monsters[i].hidden)
                writeLine(text, keyBytes("hidden#" + monsters[i].id), QString("true"));
        }
    }
    return text;
}

bool EncounterData::load(const QString& file, const QString& root, QString* told)
{
    QString path = Global::getEncounterPath(file, root);
    if (const QString broken = Global::brokenLink(path); !broken.isEmpty()) {
        if (told)
            *told = broken;
        return false;
    }
    // Only regular files: a FIFO would block and a device never end.
    QFileInfo info(path);
    QFile input(path);
    if (!info.isFile() || info.size() > maxFileSize || !input.open(QIODevice::ReadOnly))
        return false;
    QByteArray bytes = Global::readUpTo(input, info.size(), maxFileSize);
    input.close();
    // A file cut short ends in the middle of a line: that line is told when it gives the encounter nothing.
    const bool cut = !bytes.isEmpty() && !bytes.endsWith('\n') && !bytes.endsWith('\r');
    QByteArray lost;
    bool afterDescription = false;
    QString currentGroup;
    FileLine line;
    for (int pos = 0; pos < bytes.size();) {
        const QByteArray text = Global::nextLine(bytes, pos);
        const bool last = cut && pos == bytes.size();
        if (!line.split(text) || (!line.templateName && line.key == "name" && line.value.isEmpty())) {
            lost = last ? text : QByteArray();
            break;
        }
        const QByteArray before = last ? getFileText(true) : QByteArray();
        readLine(line, afterDescription, currentGroup);
        if (last && !line.key.isEmpty() && getFileText(true) == before)
            lost = text;
    }
    if (told && !lost.isEmpty())
        *told = QCoreApplication::translate("EncounterData", "The file ends in the middle of a line, which was left "
                                                             "out: \"%1\"")
                    .arg(QString::fromUtf8(lost.left(80)));
    if (name.isEmpty())
        return false;
    recalcXP = true;
    beforeFileText = getFileText(false);
    return true;
}

bool EncounterData::readFormatKey(const FileLine& line, bool& afterDescription, const QString& currentGroup)
{
    const QString& key = line.key;
    const QString& value = line.value;
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
    } else {
        return false;
    }
    return true;
}

void EncounterData::readLine(const FileLine& line, bool& afterDescription, QString& currentGroup)
{
    if (!line.templateName && readFormatKey(line, afterDescription, currentGroup))
        return;
    if (line.key.isEmpty() || !afterDescription)
        return;
    // A part of blanks would make a monster without an ID; an ID twice names one monster.
    for (const QByteArray& part : splitUnescaped(line.rawValue, ',', INT_MAX))
        if (const QString id = Global::fromBytes(part).trimmed(); !id.isEmpty() && !findGroupCreature(line.key, id))
            addCreature({line.key, id, QString(), false});
    currentGroup = line.key;
}

bool EncounterData::save()
{
    if (fileName.isEmpty()) {
        QString base = fileBase(name);
        fileName = base + ".txt";
        for (int n = 1; !Global::isFree(Global::getEncounterPath(fileName)); n++)
            fileName = QString("%1_%2.txt").arg(base).arg(n);
    }
    if (!Global::saveFile(Global::getEncounterPath(fileName), getFileText(true)))
        return false;
    beforeFileText = getFileText(false);
    return true;
}

bool EncounterData::remove()
{
    return fileName.isEmpty() || Global::removeFile(Global::getEncounterPath(fileName));
}

void EncounterData::adjustDirty()
{
    if (!isNewFlag)
        setDirty(getFileText(false) != beforeFileText);
}
