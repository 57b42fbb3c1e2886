#ifndef ATTRIBUTESTORAGE_H
#define ATTRIBUTESTORAGE_H

#include <QList>
#include <QString>

class QFile;

class AttributeItem
{
public:
    QString name;
    QString value;

    bool write(QFile& file) const;
};

class AttributeSection
{
public:
    QString name;
    QList<AttributeItem> items;

    QString getValue(const char* name) const;
    bool setValue(const char* name, const QString& value);
    bool write(QFile& file) const;
};

// A small sectioned settings file of name=value items.
class AttributeStorage
{
public:
    void load(const QString& fileName);
    bool store(bool shared);
    QString getValue(const QString& section, const char* name) const;
    bool setValue(const QString& section, const char* name, const QString& value);
    QString getUserValue(const char* name) const;
    bool setUserValue(const char* name, const QString& value);

    const QList<AttributeSection>& getSections() const { return sections; }

private:
    QString fileName;
    QList<AttributeSection> sections;
};

#endif
