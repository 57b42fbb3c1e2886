#ifndef CREATUREPARSER_H
#define CREATUREPARSER_H

#include <QList>
#include <QString>

#include "creature/creature.h"
#include "library/statblocktokens.h"

// Reads pasted stat-block text, with the artefacts copying leaves in it,
// into a creature's statistics and powers. One parser serves one parse.
class CreatureParser
{
public:
    // The class of a stat-block line.
    enum State : int {
        UNKNOWN_LINE,
        HEADER_TITLE,
        HEADER_LINE,
        HEADER_TRAIT,
        POWER_SECTION,
        POWER_HEADER,
        POWER_HEADER_DOT,
        POWER_DETAIL,
        TRAP_DETAIL_STANDARD,
        TRAP_DETAIL_FREE,
        TRAP_DETAIL_TRIGGERED,
        TRAP_DETAIL_SKILL,
        TRAP_DETAIL_SKILL_DC,
        TRAP_DETAIL_DC,
        POWER_DETAIL_W_LABEL,
        POWER_DETAIL_W_TRAP,
        FOOTER_LINE,
        FOOTER_HEADER,
        FOOTER_DETAIL,
        NO_LINE,
    };

    explicit CreatureParser(bool monster);

    // Fills out from the text; an empty text leaves it untouched. A portrait
    // is looked for in the data folder.
    void parse(CreatureStats& out, QString text, QString dataFolder);

    // Whether the last parse read its text to the end, or to the title of a
    // second stat block pasted after the first.
    bool readWholeText() const;

    // Every line the parse reads is added as "STATE: tokens".
    void setTrace(QStringList* lineTrace) { trace = lineTrace; }
    // The tokens of a text as a monster's or a trap's stat block reads them.
    static QList<CreatureToken> tokenize(const QString& text, bool trap);
    static QString stateText(State state);
    static CreatureToken createToken(const QString& word);
    // A line of a power's details, trap lines included.
    static bool isDetailState(State s) { return s >= POWER_DETAIL && s <= POWER_DETAIL_W_TRAP; }

private:
    // Characters: pushed characters are read before the rest of the text.
    void initChars(const QString& text);
    // Inline: the tokenizer asks these for every character.
    inline QChar getChar();
    void unGetChar();
    inline QChar nextChar(int offset) const;
    void pushChar(QChar c);

    // Tokens
    CreatureToken getToken(bool keepSpace);
    CreatureToken readToken(QChar first);
    CreatureToken readNumber(QChar first);
    CreatureToken readWord(QChar first);
    // A token's text is a view of the text being read, so it lives no longer
    // than the parse; characters pushed back go into pushedPart.
    int tokenStart(QChar first, QString& pushedPart) const;
    QChar takeChar(QString& pushedPart);
    QString tokenText(const QString& pushedPart, int start) const;
    // The letters from the offset on, left unread.
    QString peekWord(int offset) const;
    void breakLineBefore() { pushChar('\n'); }
    void nextToken(bool keepSpace);
    // At the start of a line of a list, its bullet.
    void skipListBullet();

    // Lines
    TokenLine getLine();
    bool queueNextLines();
    static bool isTitleLine(const TokenLine& line);
    static void unwrapIcon(TokenLine& line);
    void nextLine();
    TokenLine getFollowingLine(int n);
    void dropFollowingLine();
    void splitCurrentLine(int n);
    bool addPossibleMissingColon();
    static bool belongTogether(const CreatureToken& last, const CreatureToken& next);
    void nextLineToken() { currentLine.nextToken(); }
    const CreatureToken& getCurrentLineToken() const { return currentLine.getCurrentToken(); }
    const CreatureToken& getFollowingLineToken(int n) const { return currentLine.getFollowingToken(n); }
    bool atLineEnd() const { return currentLine.getCurrentPos() >= currentLine.getLineLen(); }
    // The words from a position to the current token.
    QString wordsFrom(int from, bool keepEndMark, bool escaped) const;

    // Line classes
    // The class of a line after the line before; splitAt, when given,
    // receives where the caller must split the line. Runs on a copy of the
    // line, which classifyLine may change.
    State identifyLine(TokenLine line, State prev, bool traits, int* splitAt);
    State classifyLine(TokenLine& line, State prev, bool traits, int* splitAt);
    State getNextState() { return classifyAndMendCurrentLine(); }
    // Classifies the current line, and splits and joins it as its class asks.
    State classifyAndMendCurrentLine();
    State unclassifiedLine();
    State detailLine(State v);
    State joinSentence(State v);
    State closeHeader();
    State nextLineAndSetState();
    bool isContinuingDetailLine(const TokenLine& line, State prev);
    bool isPowerDetailWithLabel(TokenLine& line, State& out, int* splitAt);
    static bool isTrapPowerDescription(const TokenLine& line, State& out);
    static bool isDCLabel(const TokenLine& line, int i);
    static bool isSkillDCLabel(const TokenLine& line, int i);
    static bool isEndOfSentence(const TokenLine& line);
    static bool isPowerType(const TokenLine& line, int i);
    bool isPowerTitle(const TokenLine& line);
    // Capitalised name words and nothing else.
    bool isNameLine(const TokenLine& line);
    bool isTraitTitleLine(const TokenLine& line);
    bool isTrap() const { return stats.trap; }

    // Header and footer
    void parseHeaderLine(const QString& dataFolder);
    // Past the label and a colon pasted after it.
    void skipLabel();
    void parseHeaderString(QString& dest, bool labelled);
    void parseHeaderTrait();
    void typeOrRole(const CreatureToken& token);
    void role();
    void becomeTrapOn(const CreatureToken& token);
    void addSense();
    void savingThrows();
    void portrait(const QString& dataFolder);
    void parseNumberField(int& field);
    void parseActionPoints();
    void parseFooterLine();
    void parseFooterString(QString& dest, bool labelled);
    void parseFooterInfo();
    void addSkill();
    void parseAttributeField(AbilityScore& ability);

    // Powers
    void parsePowerSection();
    void setSection(CreaturePower& p) const;
    void parsePower(bool& meleeBasic, bool& rangedBasic);
    QString parseDetailLine(CreaturePower& p, bool& meleeBasic, bool& rangedBasic, int& labelledAt);
    QString consumeLabel();
    void parsePowerHeader(CreaturePower& p);
    void parseHeaderUsage(QString& header, CreaturePower& p);
    int parsePowerTitle(TokenLine line, int from, bool& isTitle, int minWords);
    void powerHeaderNextToken(CreaturePower& p, bool actionAllowed);
    void parseRecharge(QString& header, CreaturePower& p);
    bool parseNonBold(QString& header, CreaturePower& p);
    static bool tokenSetsPowerType(Token::No t, CreaturePower& p, bool& meleeBasic, bool& rangedBasic);
    void parseDetailsPower();
    void detailsPowerNextToken(int& start, QString& text);
    void addPower(CreaturePower& p) { stats.addPower(p, !monster); }

    TokenLine currentLine;
    QList<TokenLine> lines;
    CreatureToken currentToken;
    bool monster;
    QString chars;
    int position = 0;
    QString pushed;
    QChar lastRead;
    QChar beforeLastRead;
    // The last character read came from the text, not from those pushed back.
    bool lastReadFromText = false;
    CreatureStats stats;
    State state = HEADER_TITLE;
    bool bulletXP = false;
    bool listBullets = false;
    // Set at the title of a second stat block, where the text ends for the parse.
    bool secondBlock = false;
    bool headerTraits = true;
    // Set while the text of a trait is read: a bare name line below it may
    // begin the next trait where no "Traits" heading says so.
    bool readingTrait = false;
    int section = 0;
    CreatureToken lastSkill;
    QStringList* trace = nullptr;
};

QChar CreatureParser::getChar()
{
    QChar c(0);
    lastReadFromText = pushed.isEmpty() && position < chars.size();
    if (!pushed.isEmpty()) {
        c = pushed.back();
        pushed.chop(1);
    } else if (position < chars.size()) {
        c = chars.at(position++);
    }
    beforeLastRead = lastRead;
    lastRead = c;
    return c;
}

QChar CreatureParser::nextChar(int offset) const
{
    if (offset < pushed.size())
        return pushed.at(pushed.size() - 1 - offset);
    int at = position + offset - int(pushed.size());
    return at < chars.size() ? chars.at(at) : QChar(0);
}

#endif
