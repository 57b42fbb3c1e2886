// The line and escape functions of Global, shared by every name=value text.

#include "foundation/global.h"

namespace {

const int maxNameBytes = 400;

bool isLineEnd(char c)
{
    return c == '\r' || c == '\n';
}

// Only ASCII counts: bytes of 128 and above belong to UTF-8 sequences.
bool isWhite(uint c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

int skipWhite(const QByteArray& line)
{
    int pos = 0;
    while (pos < line.size() && isWhite(uchar(line[pos])))
        ++pos;
    return pos;
}

QString trimmedWhite(const QString& text)
{
    int from = 0;
    int to = text.size();
    while (from < to && isWhite(text[from].unicode()))
        ++from;
    while (to > from && isWhite(text[to - 1].unicode()))
        --to;
    return text.mid(from, to - from);
}

QString decodeUntilZero(const QByteArray& bytes)
{
    return QString::fromUtf8(bytes.constData(), qstrnlen(bytes.constData(), bytes.size()));
}

QByteArray unescape(const QByteArray& bytes)
{
    QByteArray result;
    result.reserve(bytes.size());
    for (int i = 0; i < bytes.size(); ++i) {
        char c = bytes[i];
        if (c == '\\') {
            if (++i == bytes.size())
                break;
            c = bytes[i];
            if (c == 'n')
                c = '\n';
            else if (c == 'r')
                c = '\r';
        }
        result.append(c);
    }
    return result;
}

// Rewrites every CR LF, lone CR and lone LF as the given line end.
QByteArray withLineEnds(const QByteArray& bytes, const char* lineEnd)
{
    QByteArray result;
    result.reserve(bytes.size() + bytes.size() / 8);
    const char* data = bytes.constData();
    const qsizetype size = bytes.size();
    // Whole lines are copied at once; a byte at a time dominated loading a folder.
    for (qsizetype start = 0; start < size;) {
        qsizetype end = start;
        while (end < size && !isLineEnd(data[end]))
            ++end;
        result.append(data + start, end - start);
        if (end == size)
            break;
        if (data[end] == '\r' && end + 1 < size && data[end + 1] == '\n')
            ++end;
        result.append(lineEnd);
        start = end + 1;
    }
    return result;
}

}

QByteArray Global::nextLine(const QByteArray& bytes, int& pos)
{
    pos = qBound(0, pos, int(bytes.size()));
    while (pos < bytes.size() && isLineEnd(bytes[pos]))
        ++pos;
    int start = pos;
    while (pos < bytes.size() && !isLineEnd(bytes[pos]))
        ++pos;
    return bytes.mid(start, pos - start);
}

bool Global::lineAttributes(const QByteArray& line, QString& name, QString& value)
{
    int start = skipWhite(line);
    QByteArray nameBytes;
    QByteArray valueBytes;
    if (start < line.size() && line[start] != '#') {
        if (line[start] == '=')
            return false;
        int equals = line.indexOf('=', start);
        if (equals < 0) {
            nameBytes = line.mid(start);
        } else {
            if (equals - start > maxNameBytes)
                return false;
            nameBytes = line.mid(start, equals - start);
            valueBytes = line.mid(equals + 1);
        }
    }
    name = trimmedWhite(fromBytes(nameBytes));
    value = trimmedWhite(fromBytes(valueBytes));
    return true;
}

bool Global::isValidLine(const QByteArray& line, bool& blankOrComment, bool& notPair)
{
    blankOrComment = true;
    notPair = true;
    int pos = skipWhite(line);
    if (pos == line.size() || line[pos] == '#')
        return true;
    blankOrComment = false;
    if (line[pos] == '=')
        return false;
    for (; pos < line.size() && line[pos] != '='; ++pos) {
        char c = line[pos];
        if (!((c >= 'a' && c <= 'z') || c == '-' || c == '/'))
            return false;
    }
    if (pos == line.size())
        return false;
    notPair = false;
    return true;
}

QByteArray Global::toBytes(const QString& text)
{
    QByteArray utf8 = text.toUtf8();
    utf8.truncate(qstrnlen(utf8.constData(), utf8.size()));
    QByteArray result;
    result.reserve(utf8.size() + 8);
    for (char c : std::as_const(utf8)) {
        if (c == '\r')
            result.append("\\r");
        else if (c == '\n')
            result.append("\\n");
        else if (c == '\\')
            result.append("\\\\");
        else
            result.append(c);
    }
    return result;
}

QByteArray Global::stringToBytes(const QString& text)
{
    return toBytes(text);
}

QString Global::fromBytes(const QByteArray& bytes)
{
    return decodeUntilZero(unescape(bytes));
}

QByteArray Global::toWindowsLineEndings(const QByteArray& bytes)
{
    return withLineEnds(bytes, "\r\n");
}

QByteArray Global::toStandardLineEnding(const QByteArray& bytes)
{
    return withLineEnds(bytes, "\n");
}
