#ifndef ATTRIBUTESTORAGE_H
#define ATTRIBUTESTORAGE_H

#include <QList>
#include <QString>

class QIODevice;

class AttributeItem
{
public:
    QString name;
    QString value;

    bool write(QIODevice& file) const;
};

class AttributeSection
{
public:
    QString name;
    QList<AttributeItem> items;

    // Item names are taken as Latin-1.
    QString getValue(const char* name) const;
    // False when the item already held that value.
    bool setValue(const char* name, const QString& value);
    bool write(QIODevice& file) const;
};

// A small sectioned settings file: "[name]" lines, each followed by
// name=value items.
class AttributeStorage
{
public:
    void load(const QString& fileName);
    // With ownerOnly the file is made readable and writable by its owner
    // alone. False when the file could not be written.
    bool store(bool ownerOnly);
    QString getValue(const QString& section, const char* name) const;
    bool setValue(const QString& section, const char* name, const QString& value);
    // In the section named after the user's home folder.
    QString getUserValue(const char* name) const;
    bool setUserValue(const char* name, const QString& value);

    const QList<AttributeSection>& getSections() const { return sections; }

private:
    QString fileName;
    QList<AttributeSection> sections;
};

#endif
