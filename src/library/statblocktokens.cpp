#include "library/statblocktokens.h"

#include "foundation/global.h"

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
    QString digits = text;
    return digits.remove(',').remove('.').toInt();
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

const CreatureToken& TokenLine::getTokenAt(int i) const
{
    static const CreatureToken outside(Token::NEWLINE);
    return i < 0 || i >= getLineLen() ? outside : tokens.at(i);
}

Token::No TokenLine::kindAt(int i) const
{
    return i < 0 || i >= getLineLen() ? Token::NEWLINE : tokens.at(i).kind;
}

void TokenLine::addToken(const CreatureToken& token)
{
    tokens.append(token);
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
    QString text;
    for (int i = from; i < to; ++i) {
        const CreatureToken& token = tokens.at(i);
        if (spaced && !text.isEmpty() && blankBetween(tokens.at(i - 1), token))
            text += ' ';
        text += escaped && needsEscaping(token.text) ? token.text.toHtmlEscaped() : token.text;
    }
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
