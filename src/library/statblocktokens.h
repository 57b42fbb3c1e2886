#ifndef STATBLOCKTOKENS_H
#define STATBLOCKTOKENS_H

#include <QChar>
#include <QList>
#include <QString>

// The kinds of token pasted stat-block text is read into: character
// classes, then the keywords of the keyword table.
namespace Token {
enum No : int {
    END_OF_TEXT = 1, NEWLINE, WHITE_SPACE, COMMA, COLON, SEMICOLON, PERIOD, OPEN_PAREN, CLOSE_PAREN,
    PLUS, MINUS, BULLET, ASTERISK, APOSTROPHE, CIRCLE_C, SYMBOL, NUMBER, DICE,
    DIE_1, DIE_2, DIE_3, DIE_4, DIE_5, DIE_6, WORD,
    SIZE_TINY, SIZE_SMALL, SIZE_MEDIUM, SIZE_LARGE, SIZE_HUGE, SIZE_GARGANTUAN,
    ARTILLERY, BRUTE, CONTROLLER, DEFENDER, ELITE, LEADER, LURKER, MINION, SKIRMISHER, SOLDIER, SOLO,
    STRIKER, HAZARD, TRAP, BLASTER, WARDER, OBJECT, OBSTACLE, TERRAIN,
    LOW_LIGHT, DARKVISION, TRUESIGHT, ALL_ROUND, BLINDSIGHT, TREMORSENSE,
    PORTRAIT, LEVEL, XP, HP, BLOODIED_HP, INITIATIVE, AC, FORTITUDE, REFLEX, WILL, SENSES, PERCEPTION,
    SPEED, ACTION, RESIST, IMMUNE, DETECT, REGENERATION, VULNERABLE, BLOODIED, SAVING, VISION, POINTS,
    THROWS, ALIGNMENT, LANGUAGES, SKILLS, STR, DEX, WIS, CON, INT, CHA, EQUIPMENT, DESCRIPTION,
    PUBLISHED, MONSTER,
    ACROBATICS, ARCANA, ATHLETICS, BLUFF, DIPLOMACY, DUNGEONEERING, ENDURANCE, HEAL, HISTORY, INSIGHT,
    INTIMIDATE, NATURE, RELIGION, STEALTH, STREETWISE, THIEVERY,
    ICON_BASIC_MELEE, ICON_MELEE, ICON_BASIC_RANGED, ICON_RANGED, ICON_BASIC_AREA, ICON_AREA,
    ICON_BASIC_CLOSE, ICON_CLOSE, ICON_AURA_LOWER, ICON_AURA, ICON_X, GREATER_THAN,
    ATTACK, RANGED, HIT, EFFECT, MISS, TRIGGER, SECONDARY, PREREQUISITE, REQUIREMENTS, REQUIREMENT,
    REQUIRES, DISABLE, EVADE, TARGET, SPECIAL, TARGETS, TRAMPLE, AFTEREFFECT, SUCCESS, FAILURE,
    AT_WILL, RECHARGE, RCHG, ENCOUNTER, TWO_PER_ENCOUNTER,
    AURA, FEAR, ZONE, NECROTIC, TELEPORTATION, COLD, GAZE, FIRE, POISON, RADIANT, POLYMORPH, ACID,
    LIGHTNING, THUNDER, WEAPON, PSYCHIC, ILLUSION, MOUN, HEALING, TRAITS,
    STANDARD, STD, MOVE, MINOR, FREE, OTHER, TRIGGERED, COUNTERMEASURES, IMMEDIATE, IMM, INTERRUPT,
    REACTION, REAC, OPPORTUNITY, ACTIONS, POWERS,
    MELEE, CLOSE, AREA, BLAST, BURST, REACH, DC, CREATURE, CHARACTER, IF, OR, OF, TO, THE,
    CROSSBOW, LONGBOW, SHORTBOW, SLING, BLOWGUN, BOLA, GREATBOW, SHURIKEN, BOOMERANG,
};

inline bool isIn(No kind, No first, No last)
{
    return kind >= first && kind <= last;
}
}

// One token of a stat block: its kind and its characters as written.
class CreatureToken
{
public:
    CreatureToken() = default;
    explicit CreatureToken(Token::No kind) : kind(kind) {}
    CreatureToken(Token::No kind, const QString& text) : kind(kind), text(text) {}
    CreatureToken(Token::No kind, QChar c) : kind(kind), text(charText(c)) {}

    // Words and keywords.
    bool isWord() const { return kind >= Token::WORD; }
    // A word or keyword beginning with an upper-case letter.
    bool isCapitalized() const;
    bool isSkill() const;
    bool isDieFace() const { return Token::isIn(kind, Token::DIE_1, Token::DIE_6); }
    void capitalize();
    int toDiceValue() const;
    // Commas and periods inside the number are left out: "1,000" is 1000.
    int toInt() const;

    Token::No kind = Token::END_OF_TEXT;
    QString text;
    // Blanks or a line break before it in the text; a line break.
    bool spaceBefore = false;
    bool lineStart = false;

private:
    // Most tokens of one character share a text that was never allocated.
    static QString charText(QChar c);
};
Q_DECLARE_TYPEINFO(CreatureToken, Q_RELOCATABLE_TYPE);

// A logical line of tokens with a cursor.
class TokenLine
{
public:
    bool isEmpty() const { return tokens.isEmpty(); }
    int getLineLen() const { return int(tokens.size()); }
    int getCurrentPos() const { return currentPos; }
    int nextToken();
    int lastToken();
    // Any index outside the line gives an empty NEWLINE token.
    const CreatureToken& getCurrentToken() const { return getTokenAt(currentPos); }
    const CreatureToken& getTokenAt(int i) const
    {
        return i < 0 || i >= getLineLen() ? outside : tokens.at(i);
    }
    const CreatureToken& getFollowingToken(int n) const { return getTokenAt(currentPos + 1 + n); }
    const CreatureToken& getFirstToken() const { return getTokenAt(0); }
    const CreatureToken& getLastToken(int n) const { return getTokenAt(getLineLen() - 1 - n); }
    Token::No kindAt(int i) const;
    void addToken(CreatureToken token);
    void addTokenAt(int i, const CreatureToken& token);
    void removeTokenAt(int i);
    bool contains(Token::No a, Token::No b) const;
    QString toString() const;
    // The texts of tokens from..to-1 (to -1: the end); with escaped set they
    // are made safe for rich text.
    QString getWords(int from, int to, bool spaced, bool keepEndMark, bool escaped = false) const;
    TokenLine subLine(int from, int to) const;
    void splitLine(int n, TokenLine& head, TokenLine& rest) const;
    void concat(const TokenLine& other);
    // 0 no bracket marks; first and last mark: 2 open/open, 3 closing/closing,
    // 4 open/closing (6 when the first ')' is followed by ':'), 5 closing/open.
    int braces();
    void capitalizeCurrentToken();

private:
    static const CreatureToken outside;
    int braceKind = 0;
    int currentPos = 0;
    QList<CreatureToken> tokens;
};
Q_DECLARE_TYPEINFO(TokenLine, Q_RELOCATABLE_TYPE);

#endif
