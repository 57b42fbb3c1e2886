#include "foundation/attributestorage.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

#include "foundation/global.h"

bool AttributeItem::write(QIODevice& file) const
{
    QByteArray line = name.toUtf8();
    if (!value.isEmpty())
        line += '=' + Global::toBytes(value);
    line += '\n';
    return file.write(line) == line.size();
}

QString AttributeSection::getValue(const char* name) const
{
    QString key = QString::fromLatin1(name);
    for (const AttributeItem& item : items)
        if (item.name == key)
            return item.value;
    return QString();
}

bool AttributeSection::setValue(const char* name, const QString& value)
{
    QString key = QString::fromLatin1(name);
    for (AttributeItem& item : items) {
        if (item.name == key) {
            if (item.value == value)
                return false;
            item.value = value;
            return true;
        }
    }
    items.append({key, value});
    return true;
}

bool AttributeSection::write(QIODevice& file) const
{
    if (!name.isEmpty()) {
        QByteArray heading = '[' + name.toUtf8() + "]\n\n";
        if (file.write(heading) != heading.size())
            return false;
    }
    for (const AttributeItem& item : items)
        if (!item.write(file))
            return false;
    return file.write("\n") == 1;
}

void AttributeStorage::load(const QString& fileName)
{
    this->fileName = fileName;
    sections.clear();
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return;
    QByteArray bytes = file.readAll();
    AttributeSection current;
    int pos = 0;
    for (QByteArray line = Global::nextLine(bytes, pos); !line.isEmpty(); line = Global::nextLine(bytes, pos)) {
        QString name;
        QString value;
        if (!Global::lineAttributes(line, name, value))
            break;
        if (name.size() >= 2 && name.startsWith('[') && name.endsWith(']')) {
            if (!current.items.isEmpty())
                sections.append(current);
            current = AttributeSection{name.mid(1, name.size() - 2), {}};
        } else if (!name.isEmpty()) {
            current.setValue(name.toUtf8().constData(), value);
        }
    }
    if (!current.items.isEmpty())
        sections.append(current);
}

bool AttributeStorage::store(bool ownerOnly)
{
    // Written beside and renamed over the old file, so a crash or a full
    // disk mid-write keeps every stored setting.
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (ownerOnly && !file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner))
        return false;
    for (const AttributeSection& section : std::as_const(sections))
        if (!section.write(file))
            return false;
    return Global::commitWhole(file);
}

QString AttributeStorage::getValue(const QString& section, const char* name) const
{
    for (const AttributeSection& candidate : sections)
        if (candidate.name == section)
            return candidate.getValue(name);
    return QString();
}

bool AttributeStorage::setValue(const QString& section, const char* name, const QString& value)
{
    for (AttributeSection& candidate : sections)
        if (candidate.name == section)
            return candidate.setValue(name, value);
    sections.append(AttributeSection{section, {}});
    return sections.last().setValue(name, value);
}

QString AttributeStorage::getUserValue(const char* name) const
{
    return getValue(QDir::homePath(), name);
}

bool AttributeStorage::setUserValue(const char* name, const QString& value)
{
    return setValue(QDir::homePath(), name, value);
}
