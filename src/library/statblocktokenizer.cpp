#include <QHash>

#include <cstring>

#include "library/creatureparser.h"

namespace {

struct Keyword
{
    Token::No kind;
    const char* word;
};

// "bloodied" has two rows: the later one wins.
const Keyword tokenMap[] = {
    {Token::BULLET, "F"},
    {Token::SIZE_TINY, "tiny"}, {Token::SIZE_SMALL, "small"}, {Token::SIZE_MEDIUM, "medium"},
    {Token::SIZE_LARGE, "large"}, {Token::SIZE_HUGE, "huge"}, {Token::SIZE_GARGANTUAN, "gargantuan"},
    {Token::ARTILLERY, "artillery"}, {Token::BRUTE, "brute"}, {Token::CONTROLLER, "controller"},
    {Token::DEFENDER, "defender"}, {Token::ELITE, "elite"}, {Token::LEADER, "leader"},
    {Token::LURKER, "lurker"}, {Token::MINION, "minion"}, {Token::SKIRMISHER, "skirmisher"},
    {Token::SOLDIER, "soldier"}, {Token::SOLO, "solo"}, {Token::STRIKER, "striker"},
    {Token::HAZARD, "hazard"}, {Token::TRAP, "trap"}, {Token::BLASTER, "blaster"}, {Token::WARDER, "warder"},
    {Token::OBJECT, "object"}, {Token::OBSTACLE, "obstacle"}, {Token::TERRAIN, "terrain"},
    {Token::PORTRAIT, "portrait"}, {Token::LEVEL, "level"}, {Token::XP, "xp"}, {Token::HP, "hp"},
    {Token::BLOODIED_HP, "bloodied"}, {Token::INITIATIVE, "initiative"}, {Token::AC, "ac"},
    {Token::FORTITUDE, "fortitude"}, {Token::REFLEX, "reflex"}, {Token::WILL, "will"},
    {Token::SENSES, "senses"}, {Token::PERCEPTION, "perception"}, {Token::SPEED, "speed"},
    {Token::LOW_LIGHT, "low-light"}, {Token::DARKVISION, "darkvision"}, {Token::TRUESIGHT, "truesight"},
    {Token::ALL_ROUND, "all-round"}, {Token::BLINDSIGHT, "blindsight"}, {Token::TREMORSENSE, "tremorsense"},
    {Token::ACTION, "action"}, {Token::RESIST, "resist"}, {Token::DETECT, "detect"}, {Token::IMMUNE, "immune"},
    {Token::REGENERATION, "regeneration"}, {Token::VULNERABLE, "vulnerable"}, {Token::BLOODIED, "bloodied"},
    {Token::SAVING, "saving"}, {Token::VISION, "vision"}, {Token::POINTS, "points"}, {Token::THROWS, "throws"},
    {Token::ALIGNMENT, "alignment"}, {Token::LANGUAGES, "languages"}, {Token::SKILLS, "skills"},
    {Token::EQUIPMENT, "equipment"}, {Token::STR, "str"}, {Token::DEX, "dex"}, {Token::WIS, "wis"},
    {Token::CON, "con"}, {Token::INT, "int"}, {Token::CHA, "cha"}, {Token::DESCRIPTION, "description"},
    {Token::PUBLISHED, "published"}, {Token::MONSTER, "monster"},
    {Token::ACROBATICS, "acrobatics"}, {Token::ARCANA, "arcana"}, {Token::ATHLETICS, "athletics"},
    {Token::BLUFF, "bluff"}, {Token::DIPLOMACY, "diplomacy"}, {Token::DUNGEONEERING, "dungeoneering"},
    {Token::ENDURANCE, "endurance"}, {Token::HEAL, "heal"}, {Token::HISTORY, "history"},
    {Token::INSIGHT, "insight"}, {Token::INTIMIDATE, "intimidate"}, {Token::NATURE, "nature"},
    {Token::RELIGION, "religion"}, {Token::STEALTH, "stealth"}, {Token::STREETWISE, "streetwise"},
    {Token::THIEVERY, "thievery"},
    {Token::ICON_BASIC_MELEE, "m"}, {Token::ICON_MELEE, "M"}, {Token::ICON_BASIC_RANGED, "r"},
    {Token::ICON_RANGED, "R"}, {Token::ICON_BASIC_AREA, "a"}, {Token::ICON_AREA, "A"},
    {Token::ICON_BASIC_CLOSE, "c"}, {Token::ICON_CLOSE, "C"}, {Token::ICON_AURA_LOWER, "o"},
    {Token::ICON_AURA, "O"}, {Token::ICON_X, "x"},
    {Token::ATTACK, "attack"}, {Token::RANGED, "ranged"}, {Token::HIT, "hit"}, {Token::EFFECT, "effect"},
    {Token::MISS, "miss"}, {Token::TRIGGER, "trigger"}, {Token::SECONDARY, "secondary"},
    {Token::PREREQUISITE, "prerequisite"}, {Token::REQUIREMENTS, "requirements"},
    {Token::REQUIREMENT, "requirement"}, {Token::REQUIRES, "requires"}, {Token::DISABLE, "disable"},
    {Token::EVADE, "evade"}, {Token::TARGET, "target"}, {Token::SPECIAL, "special"},
    {Token::TARGETS, "targets"}, {Token::TRAMPLE, "trample"}, {Token::AFTEREFFECT, "aftereffect"},
    {Token::SUCCESS, "success"}, {Token::FAILURE, "failure"},
    {Token::AT_WILL, "at-will"}, {Token::RECHARGE, "recharge"}, {Token::RCHG, "rchg"},
    {Token::ENCOUNTER, "encounter"},
    {Token::AURA, "aura"}, {Token::FEAR, "fear"}, {Token::ZONE, "zone"}, {Token::NECROTIC, "necrotic"},
    {Token::TELEPORTATION, "teleportation"}, {Token::COLD, "cold"}, {Token::GAZE, "gaze"},
    {Token::FIRE, "fire"}, {Token::POISON, "poison"}, {Token::RADIANT, "radiant"},
    {Token::POLYMORPH, "polymorph"}, {Token::ACID, "acid"}, {Token::LIGHTNING, "lightning"},
    {Token::THUNDER, "thunder"}, {Token::WEAPON, "weapon"}, {Token::PSYCHIC, "psychic"},
    {Token::TWO_PER_ENCOUNTER, "2/encounter"}, {Token::ILLUSION, "illusion"}, {Token::MOUN, "moun"},
    {Token::HEALING, "healing"}, {Token::TRAITS, "traits"},
    {Token::STANDARD, "standard"}, {Token::STD, "std"}, {Token::MOVE, "move"}, {Token::MINOR, "minor"},
    {Token::FREE, "free"}, {Token::OTHER, "other"}, {Token::TRIGGERED, "triggered"},
    {Token::COUNTERMEASURES, "countermeasures"}, {Token::IMMEDIATE, "immediate"}, {Token::IMM, "imm"},
    {Token::INTERRUPT, "interrupt"}, {Token::REACTION, "reaction"}, {Token::REAC, "reac"},
    {Token::OPPORTUNITY, "opportunity"}, {Token::ACTIONS, "actions"}, {Token::POWERS, "powers"},
    {Token::MELEE, "melee"}, {Token::CLOSE, "close"}, {Token::AREA, "area"}, {Token::BLAST, "blast"},
    {Token::BURST, "burst"}, {Token::REACH, "reach"}, {Token::DC, "dc"}, {Token::CREATURE, "creature"},
    {Token::CHARACTER, "character"}, {Token::IF, "if"}, {Token::OR, "or"}, {Token::OF, "of"},
    {Token::TO, "to"}, {Token::THE, "the"},
    {Token::CROSSBOW, "crossbow"}, {Token::LONGBOW, "longbow"}, {Token::SHORTBOW, "shortbow"},
    {Token::SLING, "sling"}, {Token::BLOWGUN, "blowgun"}, {Token::BOLA, "bola"},
    {Token::GREATBOW, "greatbow"}, {Token::SHURIKEN, "shuriken"}, {Token::BOOMERANG, "boomerang"},
};

const QHash<QString, Token::No>& tokenHash()
{
    static const QHash<QString, Token::No> hash = [] {
        QHash<QString, Token::No> filled;
        for (const Keyword& row : tokenMap)
            filled.insert(QString::fromLatin1(row.word), row.kind);
        return filled;
    }();
    return hash;
}

// The keyword table for words of plain letters, looked up without making
// a string: most words of a stat block are looked up twice, as written and
// in lower case. Later rows win, as in the hash.
class AsciiKeywords
{
public:
    AsciiKeywords()
    {
        for (const Keyword& row : tokenMap)
            add(row.word, row.kind);
    }

    int longest() const { return longestWord; }
    // The hash is of the word's letters, one step of hashStep for each.
    const Keyword* find(const char* word, int size, quint32 hash) const
    {
        for (quint32 at = hash % slotCount;; at = (at + 1) % slotCount) {
            const Slot& slot = entries[at];
            if (!slot.keyword.word)
                return nullptr;
            if (slot.size == size && memcmp(slot.keyword.word, word, size_t(size)) == 0)
                return &slot.keyword;
        }
    }

    static const quint32 emptyHash = 2166136261u;
    static quint32 hashStep(quint32 hash, char c) { return (hash ^ uchar(c)) * 16777619u; }

private:
    static const quint32 slotCount = 1024;

    struct Slot
    {
        Keyword keyword;
        int size;
    };

    void add(const char* word, Token::No kind)
    {
        const int size = int(strlen(word));
        longestWord = qMax(longestWord, size);
        quint32 hash = emptyHash;
        for (int i = 0; i < size; i++)
            hash = hashStep(hash, word[i]);
        for (quint32 at = hash % slotCount;; at = (at + 1) % slotCount) {
            Slot& slot = entries[at];
            if (!slot.keyword.word || strcmp(slot.keyword.word, word) == 0) {
                slot = {{kind, word}, size};
                return;
            }
        }
    }

    Slot entries[slotCount] = {};
    int longestWord = 0;
};

const QChar LF('\n');
const QChar CR('\r');
const QChar enDash(0x2013);

bool isSkippedSpace(QChar c)
{
    return c != QChar(0) && c != LF && c != CR && (c.isSpace() || c.unicode() < 32);
}

bool isWordChar(QChar c)
{
    return c.isLetter() || c == '-' || c == '\'';
}

bool isKeyword(const QString& word)
{
    return CreatureParser::createToken(word).kind != Token::WORD;
}

// PDF copies lose the f-ligatures and leave a blank where one was: "Refl ex",
// "ef fect". Whether the head and the tail's first letter could be such a split.
bool mayBeSplitAtLigature(const QString& head, QChar tailStart)
{
    const int size = int(head.size());
    const QChar last = size > 0 ? head.at(size - 1) : QChar();
    const bool ligatureEnd = size > 1 && head.at(size - 2) == 'f' && (last == 'i' || last == 'l' || last == 'f');
    const bool ligatureAcross = last == 'f' && (tailStart == 'f' || tailStart == 'i' || tailStart == 'l');
    return (ligatureEnd || ligatureAcross) && tailStart.isLower();
}

bool splitAtLigature(const QString& head, const QString& tail)
{
    return !isKeyword(head) && isKeyword(head + tail);
}

}

CreatureToken CreatureParser::createToken(const QString& word)
{
    static const AsciiKeywords keywords;
    const int size = int(word.size());
    // Lower case keeps the length of plain letters: a longer word is none.
    bool ascii = true;
    if (size > keywords.longest()) {
        for (int i = 0; ascii && i < size; i++)
            ascii = word.at(i).unicode() < 128;
        if (ascii)
            return CreatureToken(Token::WORD, word);
    }
    char written[64];
    char lowered[64];
    quint32 writtenHash = AsciiKeywords::emptyHash;
    quint32 loweredHash = AsciiKeywords::emptyHash;
    bool upper = false;
    for (int i = 0; ascii && i < size; i++) {
        const char16_t c = word.at(i).unicode();
        ascii = c < 128;
        written[i] = char(c);
        lowered[i] = c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : char(c);
        writtenHash = AsciiKeywords::hashStep(writtenHash, written[i]);
        loweredHash = AsciiKeywords::hashStep(loweredHash, lowered[i]);
        upper = upper || lowered[i] != written[i];
    }
    if (ascii) {
        const Keyword* found = keywords.find(written, size, writtenHash);
        if (!found && upper)
            found = keywords.find(lowered, size, loweredHash);
        return CreatureToken(found ? found->kind : Token::WORD, word);
    }
    const QHash<QString, Token::No>& hash = tokenHash();
    auto found = hash.constFind(word);
    if (found == hash.constEnd() && !word.isLower())
        found = hash.constFind(word.toLower());
    return CreatureToken(found == hash.constEnd() ? Token::WORD : *found, word);
}

QList<CreatureToken> CreatureParser::tokenize(const QString& text, bool trap)
{
    CreatureParser parser(true);
    parser.stats.trap = trap;
    parser.initChars(text);
    QList<CreatureToken> tokens;
    for (CreatureToken token = parser.getToken(false); token.kind != Token::END_OF_TEXT;
         token = parser.getToken(false)) {
        // The texts point into the parser's copy of the text.
        token.text.detach();
        tokens.append(token);
    }
    return tokens;
}

void CreatureParser::initChars(const QString& text)
{
    // A NUL inside the text would read as its end.
    chars = text;
    chars.replace(QChar(0), QChar(' '));
    position = 0;
    pushed.clear();
}

void CreatureParser::unGetChar()
{
    pushed.append(lastRead);
    lastRead = beforeLastRead;
}

// Inserting a line break this way leaves the text itself alone.
void CreatureParser::pushChar(QChar c)
{
    pushed.append(c);
}

CreatureToken CreatureParser::getToken(bool keepSpace)
{
    QChar c = getChar();
    bool spaced = false;
    while (!keepSpace && isSkippedSpace(c)) {
        c = getChar();
        spaced = true;
    }
    CreatureToken token = readToken(c);
    token.spaceBefore = spaced;
    return token;
}

CreatureToken CreatureParser::readToken(QChar c)
{
    switch (c.unicode()) {
    case 0: return CreatureToken(Token::END_OF_TEXT);
    case ';': return CreatureToken(Token::SEMICOLON, c);
    case ',': return CreatureToken(Token::COMMA, c);
    case ':': return CreatureToken(Token::COLON, c);
    case '(': return CreatureToken(Token::OPEN_PAREN, c);
    case '*': return CreatureToken(Token::ASTERISK, c);
    case '\'':
    case 0x2019: return CreatureToken(Token::APOSTROPHE, c);
    case '>': return CreatureToken(Token::GREATER_THAN, c);
    case 0x00A9: return CreatureToken(Token::CIRCLE_C, c);
    case 0x2022:
    case 0x2726: return CreatureToken(Token::BULLET, c);
    case '\n': return CreatureToken(Token::NEWLINE, c);
    case '\r':
        if (getChar() == LF)
            return CreatureToken(Token::NEWLINE, QStringLiteral("\r\n"));
        unGetChar();
        return CreatureToken(Token::NEWLINE, c);
    case '.': {
        QChar n = nextChar(0);
        bool beforeDigits = nextChar(1).isDigit() && nextChar(2).isDigit();
        if (isTrap() && (n.isUpper() || (n.isDigit() && (beforeLastRead.isLetter() || !beforeDigits))))
            breakLineBefore();
        return CreatureToken(Token::PERIOD, c);
    }
    case ')':
        if (isTrap() && nextChar(0).isUpper())
            breakLineBefore();
        return CreatureToken(Token::CLOSE_PAREN, c);
    default: break;
    }
    if (c == '+' || c == '-' || (c == enDash && nextChar(0).isDigit())) {
        if (!nextChar(0).isDigit())
            return CreatureToken(c == '+' ? Token::PLUS : Token::MINUS, c);
        // The en dash reads as a minus.
        QString pushedPart;
        const int start = c == enDash ? position : tokenStart(c, pushedPart);
        if (c == enDash)
            pushedPart = QChar('-');
        while (nextChar(0).isDigit())
            takeChar(pushedPart);
        if (isTrap() && nextChar(0).isUpper())
            breakLineBefore();
        return CreatureToken(Token::NUMBER, tokenText(pushedPart, start));
    }
    if (c.isSpace() || c.unicode() < 32) {
        QString text(c);
        while (isSkippedSpace(nextChar(0)))
            text += getChar();
        return CreatureToken(Token::WHITE_SPACE, text);
    }
    if (c.isDigit())
        return readNumber(c);
    if (c.isLetter())
        return readWord(c);
    if (c.unicode() >= 0x2680 && c.unicode() <= 0x2685)
        return CreatureToken(Token::No(Token::DIE_1 + c.unicode() - 0x2680), c);
    return CreatureToken(Token::SYMBOL, c);
}

CreatureToken CreatureParser::readNumber(QChar first)
{
    QString pushedPart;
    const int start = tokenStart(first, pushedPart);
    QChar d = nextChar(0);
    if (d == 'H' && !nextChar(1).isLetterOrNumber()) {
        takeChar(pushedPart);
        return CreatureToken(Token::WORD, tokenText(pushedPart, start));
    }
    if ((d == '/' || d == '-') && nextChar(1).isLetter()) {
        takeChar(pushedPart);
        while (nextChar(0).isLetter())
            takeChar(pushedPart);
        return createToken(tokenText(pushedPart, start));
    }
    for (;;) {
        d = nextChar(0);
        if (d.isDigit() || ((d == ',' || d == '.') && nextChar(1).isDigit()))
            takeChar(pushedPart);
        else
            break;
    }
    if (nextChar(0) != 'd')
        return CreatureToken(Token::NUMBER, tokenText(pushedPart, start));
    takeChar(pushedPart);
    while (nextChar(0).isDigit())
        takeChar(pushedPart);
    if (nextChar(0) == '+') {
        takeChar(pushedPart);
        while (nextChar(0).isDigit())
            takeChar(pushedPart);
    }
    return CreatureToken(Token::DICE, tokenText(pushedPart, start));
}

int CreatureParser::tokenStart(QChar first, QString& pushedPart) const
{
    if (lastReadFromText)
        return position - 1;
    pushedPart += first;
    return position;
}

QChar CreatureParser::takeChar(QString& pushedPart)
{
    const bool fromPushed = !pushed.isEmpty();
    const QChar c = getChar();
    if (fromPushed)
        pushedPart += c;
    return c;
}

// Characters pushed back come before those of the text, and nothing is
// pushed while a token is read: the text's part is one piece of it.
QString CreatureParser::tokenText(const QString& pushedPart, int start) const
{
    const QStringView read = QStringView(chars).mid(start, position - start);
    if (pushedPart.isEmpty())
        return QString::fromRawData(read.data(), read.size());
    return QString(pushedPart).append(read);
}

QString CreatureParser::peekWord(int offset) const
{
    int length = 0;
    while (isWordChar(nextChar(offset + length)))
        length++;
    QString word(length, Qt::Uninitialized);
    for (int i = 0; i < length; i++)
        word[i] = nextChar(offset + i);
    return word;
}

CreatureToken CreatureParser::readWord(QChar first)
{
    if (first == 'w' && nextChar(0) == '/') {
        QString word(first);
        word += getChar();
        return createToken(word);
    }
    bool seenLowerCase = first.isLower();
    QChar previous = first;
    // The letters are taken from the text in one piece; characters pushed
    // back come before them, so they are read one by one.
    QString word;
    const int start = tokenStart(first, word);
    for (QChar d = nextChar(0); isWordChar(d); d = nextChar(0)) {
        // Trap texts run headings into the sentence before them: "damageEffect".
        bool runIn = d.isUpper() && previous != '-'
                     && (seenLowerCase || d == 'A' || (nextChar(1).isLower() && nextChar(2).isLower()));
        if (isTrap() && runIn) {
            breakLineBefore();
            break;
        }
        // A lost line break glues a keyword to the word before it: "SwiftAt-Will".
        if (runIn && seenLowerCase && isKeyword(peekWord(0)))
            break;
        if (pushed.isEmpty()) {
            beforeLastRead = lastRead;
            lastRead = d;
            position++;
        } else {
            word += getChar();
        }
        previous = d;
        seenLowerCase = seenLowerCase || d.isLower();
    }
    word = tokenText(word, start);
    if (nextChar(0) == ' ' && nextChar(1).isLetter() && mayBeSplitAtLigature(word, nextChar(1))) {
        const QString tail = peekWord(1);
        if (splitAtLigature(word, tail)) {
            getChar();
            for (int i = 0; i < tail.size(); i++)
                getChar();
            word += tail;
        }
    }
    return createToken(word);
}

void CreatureParser::nextToken(bool keepSpace)
{
    currentToken = getToken(keepSpace);
}

void CreatureParser::skipListBullet()
{
    if (listBullets && currentToken.kind == Token::BULLET && currentToken.text == QChar(0x2022))
        nextToken(false);
}

bool CreatureParser::belongTogether(const CreatureToken& last, const CreatureToken& next)
{
    if (last.kind == Token::BULLET || last.kind == Token::ASTERISK)
        return Token::isIn(next.kind, Token::AT_WILL, Token::HEALING);
    return last.kind == Token::LOW_LIGHT && next.kind == Token::VISION;
}

TokenLine CreatureParser::getLine()
{
    TokenLine line;
    bool keepSpace = false;
    for (;;) {
        if (currentToken.kind == Token::END_OF_TEXT)
            return line;
        if (currentToken.kind != Token::NEWLINE) {
            if (line.isEmpty())
                keepSpace = currentToken.kind == Token::PORTRAIT;
            line.addToken(std::move(currentToken));
            nextToken(keepSpace);
            continue;
        }
        nextToken(false);
        skipListBullet();
        currentToken.spaceBefore = currentToken.lineStart = true;
        if (line.isEmpty())
            continue;
        if (keepSpace)
            return line;
        CreatureToken last = line.getLastToken(0);
        if (last.kind != Token::COMMA && !belongTogether(last, currentToken))
            return line;
    }
}

// Queues the next logical line, cut after every period that runs into a
// bullet; false at the end of the text.
bool CreatureParser::queueNextLines()
{
    if (secondBlock)
        return false;
    TokenLine line = getLine();
    if (line.isEmpty())
        return false;
    // A paste of two stat blocks: the first is read alone.
    if (stats.level != 0 && !headerTraits && isTitleLine(line)) {
        secondBlock = true;
        return false;
    }
    if (bulletXP && isTrap() && line.getFirstToken().kind == Token::GREATER_THAN && line.getLineLen() > 1)
        line.removeTokenAt(0);
    unwrapIcon(line);
    int from = 0;
    if (line.contains(Token::BULLET, Token::ASTERISK)) {
        for (int i = 0; i + 1 < line.getLineLen(); ++i) {
            Token::No after = line.kindAt(i + 1);
            if (line.kindAt(i) == Token::PERIOD && (after == Token::BULLET || after == Token::ASTERISK)) {
                lines.append(line.subLine(from, i + 1));
                from = i + 1;
            }
        }
    }
    lines.append(line.subLine(from, -1));
    return true;
}

// "(m) Stone Fist", "(➶) Hurled Shard": the power's icon stands in
// parentheses; a letter is kept as the icon, another sign dropped.
void CreatureParser::unwrapIcon(TokenLine& line)
{
    const Token::No icon = line.kindAt(1);
    const bool letter = Token::isIn(icon, Token::ICON_BASIC_MELEE, Token::ICON_X);
    if (line.kindAt(0) != Token::OPEN_PAREN || line.kindAt(2) != Token::CLOSE_PAREN
        || !(letter || icon == Token::SYMBOL) || !line.getTokenAt(3).isCapitalized())
        return;
    line.removeTokenAt(2);
    if (!letter)
        line.removeTokenAt(1);
    line.removeTokenAt(0);
}

// "Name Level 4 Elite Brute": a level and a role.
bool CreatureParser::isTitleLine(const TokenLine& line)
{
    for (int i = 0; i + 2 < line.getLineLen(); i++)
        if (line.kindAt(i) == Token::LEVEL && line.kindAt(i + 1) == Token::NUMBER
            && Token::isIn(line.kindAt(i + 2), Token::ARTILLERY, Token::TERRAIN))
            return true;
    return false;
}

bool CreatureParser::readWholeText() const
{
    return secondBlock || (currentToken.kind == Token::END_OF_TEXT && lines.isEmpty());
}

void CreatureParser::nextLine()
{
    if (lines.isEmpty())
        queueNextLines();
    currentLine = lines.isEmpty() ? TokenLine() : lines.takeFirst();
}

TokenLine CreatureParser::getFollowingLine(int n)
{
    while (n >= lines.size() && queueNextLines()) {
    }
    return n < lines.size() ? lines.at(n) : TokenLine();
}

void CreatureParser::dropFollowingLine()
{
    if (!lines.isEmpty())
        lines.removeFirst();
}

// A cut at the start or at or past the end would queue an empty line,
// which reads as the end of the text.
void CreatureParser::splitCurrentLine(int n)
{
    if (n <= 0 || n >= currentLine.getLineLen())
        return;
    TokenLine rest;
    currentLine.splitLine(n, currentLine, rest);
    lines.prepend(rest);
}

bool CreatureParser::addPossibleMissingColon()
{
    if (!isTrap() || (state >= TRAP_DETAIL_SKILL_DC && state <= POWER_DETAIL_W_TRAP))
        return false;
    CreatureToken next = getFollowingLineToken(0);
    CreatureToken current = getCurrentLineToken();
    bool labelWord = current.kind == Token::TRIGGER || current.kind == Token::SPECIAL
                     || current.kind == Token::TARGETS || current.isSkill();
    if (!labelWord || !next.isWord() || next.text.isEmpty() || !next.text.at(0).isUpper())
        return false;
    currentLine.addTokenAt(1, CreatureToken(Token::COLON, QChar(':')));
    return true;
}

QString CreatureParser::wordsFrom(int from, bool keepEndMark, bool escaped) const
{
    return currentLine.getWords(from, currentLine.getCurrentPos(), true, keepEndMark, escaped);
}
