#include "foundation/global.h"

#include <QDateTime>
#include <QList>

#include <cstdlib>

#include "foundation/uihooks.h"

QString Global::left(const QString& text, const QString& separator)
{
    int i = text.indexOf(separator);
    return i < 0 ? text : text.left(i);
}

QString Global::right(const QString& text, const QString& separator)
{
    int i = text.indexOf(separator);
    return i < 0 ? QString() : text.mid(i + separator.length());
}

QString Global::lastLeft(const QString& text, const QString& separator)
{
    int i = text.lastIndexOf(separator);
    return i < 0 ? QString() : text.left(i);
}

QString Global::lastRight(const QString& text, const QString& separator)
{
    int i = text.lastIndexOf(separator);
    return i < 0 ? text : text.mid(i + separator.length());
}

bool Global::isNumber(const QString& text)
{
    for (QChar c : text)
        if (!c.isDigit() && c != ',' && c != '-' && c != '+' && c != '.')
            return false;
    return true;
}

int Global::firstNumber(const QString& text)
{
    int i = 0;
    while (i < text.length() && text[i].isSpace())
        i++;
    while (i < text.length() && (text[i] == '-' || text[i] == '+'))
        i++;
    while (i < text.length() && text[i].isDigit())
        i++;
    bool ok = false;
    int value = text.left(i).trimmed().toInt(&ok, 10);
    return ok ? value : 0;
}

QString Global::capitalize(const QString& text)
{
    if (text.isEmpty() || !text[0].isLower())
        return text;
    return text[0].toUpper() + text.mid(1);
}

QString Global::unCapitalize(const QString& text)
{
    if (text.isEmpty())
        return text;
    return text[0].toLower() + text.mid(1);
}

QString Global::htmlPath(const QString& path)
{
    const QChar joiner(0x2060);
    const QChar breakHere(0x200B);
    QString html;
    for (const QChar c : path) {
        html += c == ' ' ? QString("&nbsp;") : QString(c).toHtmlEscaped();
        if (c == '/' || c == '\\')
            html += breakHere;
        else if (c == '-')
            html += joiner;
    }
    return html;
}

int Global::htmlLength(const QString& html)
{
    int count = 0;
    for (int i = 0; i < html.length(); i++) {
        if (html[i] == '<') {
            int close = html.indexOf('>', i);
            if (close < 0 || close == html.length() - 1)
                return count;
            i = close;
        } else {
            count++;
        }
    }
    return count;
}

namespace {

struct BreakCandidate
{
    enum Kind { Blank, Slash, Paragraph } kind;
    int position;
    int count;
};

// Flattens rich text (white space runs to one blank, "<br>" to a blank) and
// lists the places where a line may break.
QString flattenForBreaking(const QString& html, QList<BreakCandidate>& candidates)
{
    QString flat;
    int count = 0;
    int i = 0;
    while (i < html.length()) {
        QChar c = html[i];
        if (c == '<') {
            int close = html.indexOf('>', i);
            int end = close < 0 ? html.length() : close + 1;
            QString tag = html.mid(i, end - i);
            if (tag == "<br>") {
                flat += ' ';
                count++;
            } else {
                if (tag == "<p>")
                    candidates.append({BreakCandidate::Paragraph, int(flat.length()), count});
                flat += tag;
            }
            i = end;
        } else if (c == '&') {
            int close = html.indexOf(';', i);
            int end = close < 0 ? html.length() : close + 1;
            flat += html.mid(i, end - i);
            count++;
            i = end;
        } else if (c.isSpace()) {
            candidates.append({BreakCandidate::Blank, int(flat.length()), count});
            flat += ' ';
            count++;
            while (i < html.length() && html[i].isSpace())
                i++;
        } else {
            if (c == '/' || c == '\\')
                candidates.append({BreakCandidate::Slash, int(flat.length()), count});
            flat += c;
            count++;
            i++;
        }
    }
    return flat;
}

}

QString Global::lineBreak(const QString& html, int width)
{
    QList<BreakCandidate> candidates;
    QString flat = flattenForBreaking(html, candidates);

    QString result;
    int lineStart = 0;
    int lineCount = 0;
    for (int i = 0; i < candidates.size(); i++) {
        const BreakCandidate& candidate = candidates[i];
        if (candidate.kind == BreakCandidate::Paragraph) {
            int afterTag = candidate.position + 3;
            result += flat.mid(lineStart, afterTag - lineStart);
            lineStart = afterTag;
            lineCount = candidate.count;
            continue;
        }
        int length = candidate.count - lineCount;
        if (length < width)
            continue;
        int chosen = i;
        if (i > 0) {
            const BreakCandidate& earlier = candidates[i - 1];
            int earlierLength = earlier.count - lineCount;
            if (earlier.position > lineStart && length - width > width - earlierLength)
                chosen = i - 1;
        }
        const BreakCandidate& at = candidates[chosen];
        result += flat.mid(lineStart, at.position - lineStart) + "<br>";
        if (at.kind == BreakCandidate::Blank) {
            lineStart = at.position + 1;
            lineCount = at.count + 1;
        } else {
            lineStart = at.position;
            lineCount = at.count;
        }
        i = chosen;
    }
    result += flat.mid(lineStart);
    return result;
}

int Global::d(int sides)
{
    // A die needs at least one side; rand() % 0 would divide by zero.
    if (sides < 1)
        return 0;
    return rand() % sides + 1;
}

int Global::random()
{
    return rand();
}

QString Global::timeNow()
{
    return QDateTime::currentDateTime().toString("yyyy-MM-dd-hh-mm-ss");
}

void Global::bugout(const QString& text)
{
    ui().debugText(text);
}

const char* Global::cstr(const QString& text)
{
    // Kept until the next call, so the pointer stays valid for one use.
    static QByteArray bytes;
    bytes = text.toUtf8();
    return bytes.constData();
}
