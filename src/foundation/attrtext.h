#ifndef ATTRTEXT_H
#define ATTRTEXT_H

#include <QByteArray>
#include <QString>

// Builds name=value text, one pair a line, values escaped.
class AttrWriter
{
public:
    explicit AttrWriter(const char* lineEnd);

    void addStringValue(const char* name, const QString& value);
    // The value goes out as it stands, unescaped.
    void addStringValue(const char* name, const char* value);
    void addIntValue(const char* name, int value);
    void addBoolValue(const char* name, bool value);
    void addEOL();
    QByteArray getBytes() const { return bytes; }

private:
    QByteArray bytes;
    const char* lineEnd; // not owned
};

// Reads name=value text pair by pair, skipping blank, comment and
// malformed lines.
class AttrParser
{
public:
    AttrParser(const QByteArray& bytes, int pos);
    AttrParser(const QString& text, int pos);

    bool nextAttr();
    QString attrName() const { return name; }
    QString attrValue() const { return value; }
    // Hands the pair just read back to the next nextAttr().
    void rewind() { pos = rewindPos; }
    int getPos() const { return rewindPos; }

private:
    QByteArray bytes;
    int pos;
    int rewindPos = 0;
    QByteArray line;
    QString name;
    QString value;
};

#endif
