#include "foundation/attrtext.h"

#include "foundation/global.h"

AttrWriter::AttrWriter(const char* lineEnd) : lineEnd(lineEnd)
{
}

void AttrWriter::addStringValue(const char* name, const QString& value)
{
    addStringValue(name, Global::toBytes(value).constData());
}

void AttrWriter::addStringValue(const char* name, const char* value)
{
    bytes.append(name).append('=').append(value).append(lineEnd);
}

void AttrWriter::addIntValue(const char* name, int value)
{
    addStringValue(name, QString::number(value));
}

void AttrWriter::addBoolValue(const char* name, bool value)
{
    addStringValue(name, QString(value ? "yes" : "no"));
}

void AttrWriter::addEOL()
{
    bytes.append(lineEnd);
}

AttrParser::AttrParser(const QByteArray& bytes, int pos) : bytes(bytes), pos(pos)
{
}

AttrParser::AttrParser(const QString& text, int pos) : bytes(text.toUtf8()), pos(pos)
{
}

bool AttrParser::nextAttr()
{
    rewindPos = pos;
    for (;;) {
        line = Global::nextLine(bytes, pos);
        if (line.isEmpty())
            return false;
        QString lineName;
        QString lineValue;
        if (Global::lineAttributes(line, lineName, lineValue) && !lineName.isEmpty()) {
            name = lineName;
            value = lineValue;
            return true;
        }
    }
}
