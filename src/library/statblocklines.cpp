#include "library/creatureparser.h"

#include <algorithm>

namespace {

bool isHeaderState(CreatureParser::State s)
{
    return s >= CreatureParser::HEADER_TITLE && s <= CreatureParser::HEADER_TRAIT;
}

bool isFooterState(CreatureParser::State s)
{
    return s >= CreatureParser::FOOTER_LINE && s <= CreatureParser::FOOTER_DETAIL;
}

bool isPowerHeaderState(CreatureParser::State s)
{
    return s == CreatureParser::POWER_HEADER || s == CreatureParser::POWER_HEADER_DOT;
}

bool isLabelToken(Token::No kind)
{
    return kind == Token::ACTION || Token::isIn(kind, Token::ATTACK, Token::AFTEREFFECT);
}

bool isOneOf(Token::No kind, std::initializer_list<Token::No> kinds)
{
    return std::find(kinds.begin(), kinds.end(), kind) != kinds.end();
}

const char* const stateNames[] = {
    "UNKNOWN_LINE", "HEADER_TITLE", "HEADER_LINE", "HEADER_TRAIT", "POWER_SECTION", "POWER_HEADER",
    "POWER_HEADER_DOT", "POWER_DETAIL", "TRAP_DETAIL_STANDARD", "TRAP_DETAIL_FREE", "TRAP_DETAIL_TRIGGERED",
    "TRAP_DETAIL_SKILL", "TRAP_DETAIL_SKILL_DC", "TRAP_DETAIL_DC", "POWER_DETAIL_W_LABEL", "POWER_DETAIL_W_TRAP",
    "FOOTER_LINE", "FOOTER_HEADER", "FOOTER_DETAIL", "NO_LINE",
};

}

QString CreatureParser::stateText(State s)
{
    return s >= UNKNOWN_LINE && s <= NO_LINE ? QString::fromLatin1(stateNames[s]) : QString();
}

CreatureParser::State CreatureParser::identifyLine(TokenLine line, State prev, bool traits, int* splitAt)
{
    return classifyLine(line, prev, traits, splitAt);
}

CreatureParser::State CreatureParser::classifyLine(TokenLine& line, State prev, bool traits, int* splitAt)
{
    if (line.isEmpty())
        return NO_LINE;
    if (prev == HEADER_TITLE)
        return HEADER_TITLE;
    const Token::No first = line.kindAt(0);
    const Token::No second = line.kindAt(1);
    const int length = line.getLineLen();
    if (first == Token::HP && second == Token::NUMBER && line.kindAt(2) == Token::SEMICOLON
        && line.kindAt(3) == Token::BLOODIED)
        return HEADER_LINE;
    if (isHeaderState(prev) || isDetailState(prev) || isFooterState(prev)) {
        if (Token::isIn(first, Token::ALIGNMENT, Token::CHA))
            return FOOTER_LINE;
        if (Token::isIn(first, Token::EQUIPMENT, Token::MONSTER) || first == Token::CIRCLE_C)
            return FOOTER_HEADER;
        if (isFooterState(prev))
            return FOOTER_DETAIL;
    }
    if (isHeaderState(prev) && Token::isIn(first, Token::SIZE_TINY, Token::SAVING)
        && !(isTrap() && first == Token::PERCEPTION))
        return HEADER_LINE;
    if (prev != POWER_SECTION && !isPowerHeaderState(prev)) {
        if (first == Token::TRAITS && length == 1)
            return POWER_SECTION;
        if (first == Token::COUNTERMEASURES && (length == 1 || isTrap())) {
            if (length > 1 && splitAt)
                *splitAt = 1;
            return POWER_SECTION;
        }
        if (first == Token::OTHER && second == Token::POWERS && length == 2)
            return POWER_SECTION;
        if (isOneOf(first, {Token::STANDARD, Token::STD, Token::MOVE, Token::MINOR, Token::FREE, Token::TRIGGERED})
            && second == Token::ACTIONS && length == 2)
            return POWER_SECTION;
    }
    if (!isPowerHeaderState(prev)) {
        bool areaLetter = first == Token::ICON_BASIC_AREA || first == Token::ICON_AREA;
        if (Token::isIn(first, Token::ICON_BASIC_MELEE, Token::GREATER_THAN)
            && (!areaLetter || line.getTokenAt(1).isCapitalized()))
            return POWER_HEADER;
        if (line.getTokenAt(0).isCapitalized() && line.contains(Token::BULLET, Token::ASTERISK))
            return POWER_HEADER_DOT;
    }
    State s = UNKNOWN_LINE;
    if (prev >= POWER_HEADER && prev <= POWER_DETAIL_W_TRAP) {
        if (first == Token::DICE || first == Token::NUMBER)
            return POWER_DETAIL;
        if (isPowerDetailWithLabel(line, s, splitAt))
            return s;
    }
    if (!isPowerHeaderState(prev) && isPowerTitle(line))
        return isHeaderState(prev) && traits ? HEADER_TRAIT : POWER_HEADER;
    if (isTrap()) {
        if (isPowerDetailWithLabel(line, s, splitAt))
            return s;
        bool heading = isOneOf(first, {Token::ATTACK, Token::TRIGGER, Token::SPECIAL}) && line.getTokenAt(0).isCapitalized();
        if (heading && (length == 1 || (length == 2 && second == Token::NUMBER)))
            return POWER_HEADER;
    }
    if (!line.contains(Token::PERIOD, Token::PERIOD))
        return UNKNOWN_LINE;
    return isPowerDetailWithLabel(line, s, splitAt) ? s : POWER_DETAIL;
}

bool CreatureParser::isPowerDetailWithLabel(TokenLine& line, State& out, int* splitAt)
{
    const Token::No first = line.kindAt(0);
    const Token::No second = line.kindAt(1);
    if ((first == Token::HAZARD || first == Token::TRAP) && second == Token::COLON) {
        out = POWER_DETAIL_W_TRAP;
        return true;
    }
    if (isSkillDCLabel(line, 0)) {
        if (splitAt) {
            for (int i = 3; i < line.getLineLen(); ++i) {
                if (isSkillDCLabel(line, i)) {
                    *splitAt = i;
                    break;
                }
            }
        }
        out = isDCLabel(line, 0) ? TRAP_DETAIL_DC : TRAP_DETAIL_SKILL_DC;
        return true;
    }
    if (isTrap() && line.getTokenAt(0).isSkill()) {
        if (second == Token::OR && line.getTokenAt(2).isSkill()) {
            int p = 1;
            while (line.kindAt(p) == Token::OR && line.getTokenAt(p + 1).isSkill())
                p += 2;
            if (isDCLabel(line, p)) {
                out = TRAP_DETAIL_SKILL_DC;
            } else {
                out = POWER_HEADER;
                if (splitAt)
                    *splitAt = p;
            }
            return true;
        }
        out = line.contains(Token::COLON, Token::COLON) ? TRAP_DETAIL_SKILL_DC : TRAP_DETAIL_SKILL;
        return true;
    }
    if (!isLabelToken(first))
        return false;
    out = POWER_DETAIL_W_LABEL;
    if (second == Token::COLON || (second == Token::ATTACK && line.kindAt(2) == Token::COLON)
        || (second == Token::ATTACK && first == Token::SECONDARY))
        return true;
    return second == Token::OPEN_PAREN && line.braces() == 6;
}

bool CreatureParser::isTrapPowerDescription(const TokenLine& line, State& out)
{
    const Token::No first = line.kindAt(0);
    const Token::No second = line.kindAt(1);
    if (first == Token::STANDARD && second == Token::ACTION)
        out = TRAP_DETAIL_STANDARD;
    else if (first == Token::FREE && second == Token::ACTION)
        out = TRAP_DETAIL_FREE;
    else if ((first == Token::IMMEDIATE && (second == Token::INTERRUPT || second == Token::REACTION))
             || (first == Token::OPPORTUNITY && second == Token::ACTION))
        out = TRAP_DETAIL_TRIGGERED;
    else
        return false;
    return true;
}

bool CreatureParser::isDCLabel(const TokenLine& line, int i)
{
    return line.kindAt(i) == Token::DC && line.kindAt(i + 1) == Token::NUMBER && line.kindAt(i + 2) == Token::COLON;
}

bool CreatureParser::isSkillDCLabel(const TokenLine& line, int i)
{
    return isDCLabel(line, line.getTokenAt(i).isSkill() ? i + 1 : i);
}

bool CreatureParser::isEndOfSentence(const TokenLine& line)
{
    Token::No last = line.getLastToken(0).kind;
    return last == Token::PERIOD || (last == Token::SYMBOL && line.getLastToken(1).kind == Token::PERIOD);
}

bool CreatureParser::isPowerType(const TokenLine& line, int i)
{
    Token::No kind = line.kindAt(i);
    if (isOneOf(kind, {Token::AT_WILL, Token::RECHARGE, Token::RCHG, Token::ENCOUNTER, Token::TWO_PER_ENCOUNTER}))
        return true;
    if (kind != Token::AURA || line.kindAt(i + 1) == Token::AURA)
        return false;
    if (line.kindAt(i + 1) != Token::OPEN_PAREN)
        return true;
    for (int j = i + 1; j < line.getLineLen(); ++j) {
        if (line.kindAt(j) == Token::END_OF_TEXT)
            return true;
        if (line.kindAt(j) == Token::AURA)
            return false;
    }
    return true;
}

bool CreatureParser::isPowerTitle(const TokenLine& line)
{
    bool isTitle = false;
    parsePowerTitle(line, 0, isTitle, 1);
    return isTitle;
}

bool CreatureParser::isContinuingDetailLine(const TokenLine& line, State prev)
{
    State s = identifyLine(line, prev, false, nullptr);
    return s == UNKNOWN_LINE || s == POWER_DETAIL || (s >= TRAP_DETAIL_STANDARD && s <= TRAP_DETAIL_SKILL);
}

CreatureParser::State CreatureParser::nextLineAndSetState()
{
    nextLine();
    state = getNextState();
    if (trace)
        trace->append(stateText(state) + ": " + currentLine.toString());
    return state;
}

CreatureParser::State CreatureParser::classifyAndMendCurrentLine()
{
    int splitAt = -1;
    State s = identifyLine(currentLine, state, headerTraits, &splitAt);
    if (splitAt > 0)
        splitCurrentLine(splitAt);
    if (isPowerHeaderState(s))
        return closeHeader();
    if (isDetailState(s) || s == HEADER_TRAIT)
        return detailLine(s);
    if (s == UNKNOWN_LINE)
        return unclassifiedLine();
    return s;
}

CreatureParser::State CreatureParser::unclassifiedLine()
{
    const Token::No first = currentLine.kindAt(0);
    const int length = currentLine.getLineLen();
    if (isTrap()) {
        TokenLine next = getFollowingLine(0);
        if (first == Token::TRIGGER && length == 1 && next.getLineLen() == 1 && next.kindAt(0) == Token::ATTACK) {
            dropFollowingLine();
            return POWER_HEADER;
        }
        if (first == Token::INITIATIVE && currentLine.kindAt(1) == Token::NUMBER) {
            Token::No last = currentLine.getLastToken(0).kind;
            if (length > 4 && (last == Token::TRIGGER || last == Token::ATTACK))
                splitCurrentLine(length - 1);
            return HEADER_LINE;
        }
        if (first == Token::INITIATIVE && length == 1 && next.getLineLen() == 1 && next.kindAt(0) == Token::NUMBER) {
            currentLine.concat(next);
            dropFollowingLine();
            return HEADER_LINE;
        }
        if (section == 1 && !isPowerTitle(currentLine))
            return POWER_DETAIL;
    }
    if (isHeaderState(state))
        return headerTraits ? detailLine(HEADER_TRAIT) : closeHeader();
    if (state == POWER_SECTION && section != 10)
        return closeHeader();
    if (isPowerHeaderState(state))
        return detailLine(POWER_DETAIL);
    if (currentLine.getTokenAt(0).isCapitalized() && isPowerTitle(currentLine))
        return closeHeader();
    // The newer layout gives each trait a line of its own name.
    if (section == Power::Trait && isNameLine(currentLine))
        return closeHeader();
    // So it may below a trait's text where the "Traits" heading was left out:
    // below an aura above the first action heading, or among the header's traits.
    if (section == 0 && readingTrait && isNameLine(currentLine)) {
        if (headerTraits)
            return HEADER_TRAIT;
        section = Power::Trait;
        return closeHeader();
    }
    return detailLine(POWER_DETAIL);
}

bool CreatureParser::isNameLine(const TokenLine& line)
{
    bool isTitle = false;
    return parsePowerTitle(line, 0, isTitle, 1) == line.getLineLen() && line.getLineLen() > 0;
}

// "Choking Spores (poison) Aura 1", or only a name: the text is on the lines below.
bool CreatureParser::isTraitTitleLine(const TokenLine& line)
{
    const int length = line.getLineLen();
    if (line.contains(Token::SEMICOLON, Token::PERIOD))
        return false;
    return (line.kindAt(length - 2) == Token::AURA && line.kindAt(length - 1) == Token::NUMBER) || isNameLine(line);
}

CreatureParser::State CreatureParser::detailLine(State v)
{
    if (v == HEADER_TRAIT && isTraitTitleLine(currentLine))
        return v;
    if (isTrap()) {
        State t = v;
        if (isTrapPowerDescription(currentLine, t))
            return t;
        if (!bulletXP && (section == 2 || section == 3)) {
            const CreatureToken second = currentLine.getTokenAt(1);
            bool heading = isOneOf(currentLine.kindAt(0), {Token::ATTACK, Token::TRIGGER, Token::SPECIAL});
            if (heading && currentLine.getLineLen() > 4) {
                if (second.isCapitalized()) {
                    splitCurrentLine(1);
                    return closeHeader();
                }
                if (second.kind == Token::NUMBER && currentLine.getTokenAt(2).isCapitalized()) {
                    splitCurrentLine(2);
                    return closeHeader();
                }
            }
            if (currentLine.getTokenAt(0).text == "Portal" && second.text == "Effects" && second.isCapitalized()) {
                splitCurrentLine(2);
                return closeHeader();
            }
        } else if (!bulletXP && section == 10 && !isEndOfSentence(currentLine)) {
            currentLine.addToken(CreatureToken(Token::PERIOD, QChar('.')));
        }
    }
    return joinSentence(v);
}

// Joins a sentence the paste broke over several lines, when it ends within
// twelve lines and no label, power or heading comes between.
CreatureParser::State CreatureParser::joinSentence(State v)
{
    if (isEndOfSentence(currentLine))
        return v;
    bool ends = false;
    for (int i = 0; i < 12 && !ends; ++i) {
        TokenLine line = getFollowingLine(i);
        if (line.isEmpty())
            return v;
        ends = !isContinuingDetailLine(line, v) || isEndOfSentence(line);
    }
    if (!ends)
        return v;
    for (;;) {
        TokenLine next = getFollowingLine(0);
        if (next.isEmpty() || !isContinuingDetailLine(next, v))
            break;
        dropFollowingLine();
        currentLine.concat(next);
        if (isEndOfSentence(next))
            break;
    }
    return v;
}

// A power header whose parenthesis runs on over the next lines is joined.
CreatureParser::State CreatureParser::closeHeader()
{
    if (isTrap() && section == 10 && isEndOfSentence(currentLine))
        return POWER_DETAIL;
    if (currentLine.braces() != 2)
        return POWER_HEADER;
    bool join = false;
    for (int i = 0; i < 3 && !join; ++i) {
        TokenLine line = getFollowingLine(i);
        if (line.isEmpty())
            break;
        join = identifyLine(line, POWER_DETAIL, false, nullptr) != UNKNOWN_LINE || line.braces() == 3;
    }
    while (join) {
        TokenLine next = getFollowingLine(0);
        if (next.isEmpty())
            break;
        State s = identifyLine(next, POWER_DETAIL, false, nullptr);
        if (s != UNKNOWN_LINE && s != POWER_HEADER_DOT)
            break;
        dropFollowingLine();
        currentLine.concat(next);
        join = next.braces() != 3;
    }
    return POWER_HEADER;
}
