#include "library/statblocktokens.h"

#include <array>
#include <climits>

#include "foundation/global.h"

QString CreatureToken::charText(QChar c)
{
    static constexpr auto ascii = [] {
        std::array<char16_t, 128> table{};
        for (std::size_t i = 0; i < table.size(); i++)
            table[i] = char16_t(i);
        return table;
    }();
    if (c.unicode() >= ascii.size())
        return QString(c);
    return QString::fromRawData(reinterpret_cast<const QChar*>(&ascii[c.unicode()]), 1);
}

bool CreatureToken::isCapitalized() const
{
    return isWord() && !text.isEmpty() && text.at(0).category() == QChar::Letter_Uppercase;
}

bool CreatureToken::isSkill() const
{
    return kind == Token::PERCEPTION || Token::isIn(kind, Token::ACROBATICS, Token::THIEVERY);
}

void CreatureToken::capitalize()
{
    if (isWord())
        text = Global::capitalize(text);
}

int CreatureToken::toDiceValue() const
{
    if (isDieFace())
        return kind - Token::DIE_1 + 1;
    return !text.isEmpty() && text.at(0).isDigit() ? text.at(0).digitValue() : 0;
}

int CreatureToken::toInt() const
{
    if (isDieFace())
        return toDiceValue();
    // As QString::toInt of the text without its commas and periods, read
    // here without making that text: headers are full of numbers.
    const QStringView number = QStringView(text).trimmed();
    const bool negative = number.startsWith('-');
    const int from = negative || number.startsWith('+') ? 1 : 0;
    qint64 value = 0;
    bool digits = false;
    for (QChar c : number.mid(from)) {
        if (c == ',' || c == '.')
            continue;
        if (c < '0' || c > '9' || value > qint64(INT_MAX) + 1)
            return 0;
        value = value * 10 + (c.unicode() - '0');
        digits = true;
    }
    value = negative ? -value : value;
    return digits && value >= INT_MIN && value <= INT_MAX ? int(value) : 0;
}

int TokenLine::nextToken()
{
    if (currentPos < getLineLen())
        ++currentPos;
    return currentPos;
}

int TokenLine::lastToken()
{
    currentPos = getLineLen();
    return currentPos;
}

const CreatureToken TokenLine::outside(Token::NEWLINE);

Token::No TokenLine::kindAt(int i) const
{
    return i < 0 || i >= getLineLen() ? Token::NEWLINE : tokens.at(i).kind;
}

void TokenLine::addToken(CreatureToken token)
{
    // Most lines of a stat block are shorter; a block of 24 tokens is still
    // one the allocator hands out fast.
    if (tokens.isEmpty())
        tokens.reserve(24);
    tokens.append(std::move(token));
    braceKind = 0;
}

void TokenLine::addTokenAt(int i, const CreatureToken& token)
{
    tokens.insert(qBound(0, i, getLineLen()), token);
    braceKind = 0;
}

void TokenLine::removeTokenAt(int i)
{
    if (i >= 0 && i < getLineLen()) {
        tokens.removeAt(i);
        braceKind = 0;
    }
}

bool TokenLine::contains(Token::No a, Token::No b) const
{
    for (const CreatureToken& token : tokens)
        if (token.kind == a || token.kind == b)
            return true;
    return false;
}

QString TokenLine::toString() const
{
    QString text;
    for (const CreatureToken& token : tokens) {
        if (!text.isEmpty())
            text += ' ';
        text += token.text;
    }
    return text;
}

namespace {

bool needsEscaping(const QString& text)
{
    for (QChar c : text)
        if (c == '<' || c == '>' || c == '&' || c == '"')
            return true;
    return false;
}

bool isEndMark(Token::No kind)
{
    return kind == Token::COMMA || kind == Token::COLON || kind == Token::SEMICOLON || kind == Token::PERIOD;
}

// Signs the tokenizer does not know keep the blanks the text has around them.
bool keepsTextSpacing(Token::No kind)
{
    return kind == Token::SYMBOL || kind == Token::GREATER_THAN;
}

bool blankBetween(const CreatureToken& before, const CreatureToken& after)
{
    if (keepsTextSpacing(before.kind) || keepsTextSpacing(after.kind))
        return after.spaceBefore;
    // A word broken at a hyphen over two lines is joined again; "two- or three-square" keeps its blank.
    if (before.kind == Token::WORD && before.text.endsWith('-') && after.lineStart)
        return false;
    return before.kind != Token::OPEN_PAREN && before.kind != Token::APOSTROPHE && !isEndMark(after.kind)
        && after.kind != Token::CLOSE_PAREN && after.kind != Token::APOSTROPHE;
}

}

QString TokenLine::getWords(int from, int to, bool spaced, bool keepEndMark, bool escaped) const
{
    if (to < 0 || to > getLineLen())
        to = getLineLen();
    from = qMax(0, from);
    if (!keepEndMark && to > from && isEndMark(tokens.at(to - 1).kind))
        --to;
    // Written into place: the line's words are most of what a stat block is made of.
    qsizetype length = 0;
    for (int i = from; i < to; ++i)
        length += tokens.at(i).text.size() + 1;
    QString text(length, Qt::Uninitialized);
    qsizetype written = 0;
    const auto put = [&](QStringView piece) {
        // Escaping makes a word longer than counted.
        if (written + piece.size() > text.size())
            text.resize(written + piece.size() + length);
        std::copy(piece.begin(), piece.end(), text.data() + written);
        written += piece.size();
    };
    for (int i = from; i < to; ++i) {
        const CreatureToken& token = tokens.at(i);
        if (spaced && written > 0 && blankBetween(tokens.at(i - 1), token))
            put(u" ");
        if (escaped && needsEscaping(token.text))
            put(token.text.toHtmlEscaped());
        else
            put(token.text);
    }
    text.truncate(written);
    return text;
}

TokenLine TokenLine::subLine(int from, int to) const
{
    TokenLine line;
    if (to < 0 || to > getLineLen())
        to = getLineLen();
    if (from >= 0 && from < to)
        line.tokens = tokens.mid(from, to - from);
    return line;
}

void TokenLine::splitLine(int n, TokenLine& head, TokenLine& rest) const
{
    n = qBound(0, n, getLineLen());
    TokenLine first = subLine(0, n);
    rest = subLine(n, -1);
    head = first;
}

void TokenLine::concat(const TokenLine& other)
{
    tokens.append(other.tokens);
    braceKind = 0;
}

int TokenLine::braces()
{
    if (braceKind != 0 || tokens.isEmpty())
        return braceKind;
    int first = 0;
    int last = 0;
    int firstClose = -1;
    for (int i = 0; i < getLineLen(); ++i) {
        Token::No kind = tokens.at(i).kind;
        int mark = kind == Token::OPEN_PAREN ? 1
                   : kind == Token::CLOSE_PAREN || kind == Token::BULLET || kind == Token::ASTERISK ? 2
                                                                                                   : 0;
        if (mark == 0)
            continue;
        if (first == 0)
            first = mark;
        last = mark;
        if (firstClose < 0 && kind == Token::CLOSE_PAREN)
            firstClose = i;
    }
    if (first == 1)
        braceKind = last == 1 ? 2 : firstClose >= 0 && kindAt(firstClose + 1) == Token::COLON ? 6 : 4;
    else if (first == 2)
        braceKind = last == 1 ? 5 : 3;
    return braceKind;
}

void TokenLine::capitalizeCurrentToken()
{
    if (currentPos >= 0 && currentPos < getLineLen())
        tokens[currentPos].capitalize();
}
