#include "library/creatureparser.h"

#include "foundation/global.h"

#include <algorithm>

namespace {

bool isSizeWord(Token::No kind)
{
    return Token::isIn(kind, Token::SIZE_TINY, Token::SIZE_GARGANTUAN);
}

bool isRoleWord(Token::No kind)
{
    return Token::isIn(kind, Token::ARTILLERY, Token::STRIKER);
}

bool isTrapWord(Token::No kind)
{
    return Token::isIn(kind, Token::HAZARD, Token::OBSTACLE);
}

bool isSense(Token::No kind)
{
    return Token::isIn(kind, Token::LOW_LIGHT, Token::TREMORSENSE);
}

bool isFooterKeyword(Token::No kind)
{
    return Token::isIn(kind, Token::ALIGNMENT, Token::MONSTER) || kind == Token::CIRCLE_C;
}

bool isOrigin(const CreatureToken& token)
{
    static const QStringList origins{"aberrant", "elemental", "fey", "immortal", "natural", "shadow"};
    return token.kind == Token::WORD && origins.contains(token.text, Qt::CaseInsensitive);
}

// A block flattened into few lines runs its header items together: a
// capitalised label begins the next item.
bool beginsHeaderItem(const CreatureToken& token, const CreatureToken& next)
{
    static const Token::No labels[] = {Token::HP, Token::AC, Token::FORTITUDE, Token::REFLEX, Token::WILL,
                                       Token::SPEED, Token::INITIATIVE, Token::SENSES, Token::PERCEPTION,
                                       Token::RESIST, Token::IMMUNE, Token::VULNERABLE, Token::REGENERATION,
                                       Token::DETECT};
    if (!token.isCapitalized())
        return false;
    if (token.kind == Token::SAVING)
        return next.kind == Token::THROWS;
    return std::find(std::begin(labels), std::end(labels), token.kind) != std::end(labels);
}

}

CreatureParser::CreatureParser(bool monster) : monster(monster)
{
}

void CreatureParser::parse(CreatureStats& out, QString text, QString dataFolder)
{
    stats = CreatureStats();
    // Kept as a copy: the text may be a view of a buffer the caller frees.
    stats.statBlock = QString(text.constData(), text.size());
    headerTraits = true;
    bulletXP = false;
    secondBlock = false;
    // Pasted from a list, every line starts with a bullet.
    listBullets = text.trimmed().startsWith(QChar(0x2022));
    state = HEADER_TITLE;
    section = 0;
    initChars(text);
    nextToken(false);
    skipListBullet();
    if (nextLineAndSetState() == NO_LINE)
        return;
    // "Level 3 Brute" above the name: the name is the next line.
    if (currentLine.kindAt(0) == Token::LEVEL && currentLine.kindAt(1) == Token::NUMBER
        && !getFollowingLine(0).isEmpty()) {
        parseHeaderLine(dataFolder);
        nextLineAndSetState();
        // "8 Rat Swarmlings": below such a level line, a number before the name counts the monsters.
        if (currentLine.kindAt(0) == Token::NUMBER && currentLine.getTokenAt(1).isCapitalized())
            nextLineToken();
    }

    state = HEADER_LINE;
    parseHeaderString(stats.group, false);
    // "Name - Level 7 Minion": the dash is no part of the name.
    static const QString dashes = QString("-\u2013\u2014");
    while (!stats.group.isEmpty() && (dashes.contains(stats.group.back()) || stats.group.back().isSpace()))
        stats.group.chop(1);
    if (stats.group.endsWith(')')) {
        int open = int(stats.group.lastIndexOf('('));
        if (open >= 0) {
            stats.titleNote = stats.group.mid(open + 1, stats.group.size() - open - 2).trimmed();
            stats.group = stats.group.left(open).trimmed();
        }
    }
    parseHeaderLine(dataFolder);
    nextLineAndSetState();

    bool meleeBasic = true;
    bool rangedBasic = true;
    while (!currentLine.isEmpty()) {
        switch (state) {
        case HEADER_TITLE:
        case HEADER_LINE:
            parseHeaderLine(dataFolder);
            nextLineAndSetState();
            break;
        case HEADER_TRAIT:
            parseHeaderTrait();
            break;
        case POWER_SECTION:
            parsePowerSection();
            nextLineAndSetState();
            break;
        case POWER_HEADER:
        case POWER_HEADER_DOT:
            parsePower(meleeBasic, rangedBasic);
            break;
        case FOOTER_LINE:
        case FOOTER_DETAIL:
            parseFooterLine();
            nextLineAndSetState();
            break;
        case FOOTER_HEADER:
            parseFooterInfo();
            break;
        default:
            parseDetailsPower();
            break;
        }
    }
    if (stats.trap && stats.type.isEmpty())
        stats.type = "Trap";
    out = stats;
}

void CreatureParser::parseHeaderLine(const QString& dataFolder)
{
    while (!atLineEnd()) {
        const CreatureToken token = getCurrentLineToken();
        switch (token.kind) {
        case Token::HP:
        case Token::AC:
        case Token::FORTITUDE:
        case Token::REFLEX:
        case Token::WILL:
        case Token::SPEED:
            // The traits of the header come before these.
            headerTraits = false;
            break;
        default:
            break;
        }
        switch (token.kind) {
        case Token::LEVEL: parseNumberField(stats.level); break;
        case Token::XP: parseNumberField(stats.xp); break;
        case Token::HP: parseNumberField(stats.maxHitPoints); break;
        case Token::INITIATIVE: parseNumberField(stats.initBonus); break;
        case Token::PERCEPTION: parseNumberField(stats.perception); break;
        case Token::AC: parseNumberField(stats.armorClass); break;
        case Token::FORTITUDE: parseNumberField(stats.fortitude); break;
        case Token::REFLEX: parseNumberField(stats.reflex); break;
        case Token::WILL: parseNumberField(stats.will); break;
        case Token::SPEED: parseHeaderString(stats.speed, true); break;
        case Token::RESIST: parseHeaderString(stats.resist, true); break;
        case Token::IMMUNE: parseHeaderString(stats.immune, true); break;
        case Token::DETECT: parseHeaderString(stats.detect, true); break;
        case Token::REGENERATION: parseHeaderString(stats.regeneration, true); break;
        case Token::VULNERABLE: parseHeaderString(stats.vulnerable, true); break;
        case Token::SAVING: savingThrows(); break;
        case Token::ACTION: parseActionPoints(); break;
        case Token::PORTRAIT: portrait(dataFolder); break;
        case Token::BULLET:
            if (getFollowingLineToken(0).kind == Token::XP) {
                bulletXP = true;
                nextLineToken();
                parseNumberField(stats.xp);
            } else {
                nextLineToken();
            }
            break;
        default:
            if (isSense(token.kind))
                addSense();
            else
                typeOrRole(token);
            break;
        }
    }
}

void CreatureParser::typeOrRole(const CreatureToken& token)
{
    bool loneTrapWord = stats.level == 0 && isTrapWord(token.kind) && currentLine.getLineLen() == 1;
    if (isSizeWord(token.kind) || token.kind == Token::TERRAIN || loneTrapWord) {
        if (token.kind == Token::TERRAIN || isTrapWord(token.kind))
            becomeTrapOn(token);
        parseHeaderString(stats.type, false);
    } else if (isRoleWord(token.kind) || isTrapWord(token.kind)) {
        role();
    } else {
        nextLineToken();
    }
}

void CreatureParser::becomeTrapOn(const CreatureToken& token)
{
    bool trapWord = token.kind == Token::TERRAIN || isTrapWord(token.kind);
    if (trapWord && stats.type.isEmpty() && stats.role.isEmpty()) {
        stats.trap = true;
        section = 1;
        headerTraits = false;
    }
}

void CreatureParser::role()
{
    const int start = currentLine.getCurrentPos();
    for (;;) {
        const CreatureToken token = getCurrentLineToken();
        if (token.kind == Token::OPEN_PAREN) {
            while (!atLineEnd() && getCurrentLineToken().kind != Token::CLOSE_PAREN)
                nextLineToken();
            if (atLineEnd())
                break;
        } else if (isRoleWord(token.kind) || isTrapWord(token.kind)) {
            if (isTrapWord(token.kind))
                becomeTrapOn(token);
        } else {
            break;
        }
        nextLineToken();
    }
    if (stats.role.isEmpty())
        stats.role = wordsFrom(start, true, false);
}

void CreatureParser::skipLabel()
{
    nextLineToken();
    if (getCurrentLineToken().kind == Token::COLON)
        nextLineToken();
}

void CreatureParser::parseHeaderString(QString& dest, bool labelled)
{
    if (labelled)
        skipLabel();
    QString text;
    int start = currentLine.getCurrentPos();
    nextLineToken();
    for (;;) {
        if (atLineEnd()) {
            TokenLine next = getFollowingLine(0);
            if (next.isEmpty() || identifyLine(next, HEADER_LINE, headerTraits, nullptr) != UNKNOWN_LINE
                || next.getFirstToken().isCapitalized())
                break;
            text += wordsFrom(start, true, false);
            if (!text.endsWith('-'))
                text += ' ';
            nextLine();
            start = 0;
        }
        const Token::No kind = getCurrentLineToken().kind;
        const Token::No following = getFollowingLineToken(0).kind;
        if ((kind == Token::ACTION && following == Token::POINTS) || (kind == Token::LEVEL && following == Token::NUMBER)
            || (isSense(kind) && kind != Token::BLINDSIGHT) || kind == Token::XP)
            break;
        // "Vorn the Ashbringer Large elemental humanoid": the size and origin begin the type.
        if (!labelled && isSizeWord(kind) && isOrigin(getFollowingLineToken(0)))
            break;
        if (labelled && beginsHeaderItem(getCurrentLineToken(), getFollowingLineToken(0)))
            break;
        if (kind == Token::SEMICOLON
            && (following == Token::RESIST || following == Token::IMMUNE || following == Token::VULNERABLE)) {
            text += wordsFrom(start, false, false);
            nextLineToken();
            start = currentLine.getCurrentPos();
            break;
        }
        nextLineToken();
    }
    text += wordsFrom(start, false, false);
    if (dest.isEmpty())
        dest = text.trimmed();
}

void CreatureParser::parseHeaderTrait()
{
    CreaturePower power;
    power.current.when = Power::Trait;
    const bool titleOnly = isTraitTitleLine(currentLine);
    parsePowerHeader(power);
    if (getCurrentLineToken().kind == Token::SEMICOLON) {
        nextLineToken();
        const int start = currentLine.getCurrentPos();
        currentLine.lastToken();
        power.current.description.append(Global::capitalize(wordsFrom(start, true, true)));
    }
    readingTrait = true;
    nextLineAndSetState();
    // The text of a trait whose line holds only its title follows on the next lines.
    while (titleOnly && (state == POWER_DETAIL || (state == HEADER_TRAIT && !isPowerTitle(currentLine)
                                                  && !isTraitTitleLine(currentLine)))) {
        power.current.description.append(currentLine.getWords(0, -1, true, true, true));
        nextLineAndSetState();
    }
    readingTrait = false;
    addPower(power);
}

void CreatureParser::addSense()
{
    if (!stats.senses.isEmpty())
        stats.senses += ", ";
    // Appended as characters: the token's text is a view of the pasted text.
    stats.senses.append(QStringView(getCurrentLineToken().text));
    nextLineToken();
    const CreatureToken after = getCurrentLineToken();
    if (after.kind == Token::VISION || after.kind == Token::NUMBER) {
        stats.senses += ' ' + after.text;
        nextLineToken();
    }
    const Token::No mark = getCurrentLineToken().kind;
    if (mark == Token::COMMA || mark == Token::SEMICOLON)
        nextLineToken();
}

void CreatureParser::savingThrows()
{
    nextLineToken();
    if (getCurrentLineToken().kind == Token::THROWS)
        parseHeaderString(stats.savingThrows, true);
}

void CreatureParser::portrait(const QString& dataFolder)
{
    nextLineToken();
    const int start = currentLine.getCurrentPos();
    currentLine.lastToken();
    stats.portraitFile = currentLine.getWords(start, -1, false, true).trimmed();
    stats.portrait = Creature::loadPortrait(stats.portraitFile, dataFolder);
}

void CreatureParser::parseNumberField(int& field)
{
    skipLabel();
    CreatureToken token = getCurrentLineToken();
    if (token.kind == Token::NUMBER) {
        field = token.toInt();
        nextLineToken();
    }
}

void CreatureParser::parseActionPoints()
{
    nextLineToken();
    if (getCurrentLineToken().kind != Token::POINTS)
        return;
    skipLabel();
    stats.initActionPoints = getCurrentLineToken().toInt();
    nextLineToken();
}

void CreatureParser::parseFooterLine()
{
    static const Ability abilities[] = {Strength, Dexterity, Wisdom, Constitution, Intelligence, Charisma};
    while (!atLineEnd()) {
        const Token::No kind = getCurrentLineToken().kind;
        if (kind == Token::ALIGNMENT)
            parseFooterString(stats.alignment, true);
        else if (kind == Token::LANGUAGES)
            parseFooterString(stats.languages, true);
        else if (Token::isIn(kind, Token::ACROBATICS, Token::THIEVERY))
            addSkill();
        else if (Token::isIn(kind, Token::STR, Token::CHA))
            parseAttributeField(stats.abilities[abilities[kind - Token::STR]]);
        else
            nextLineToken();
    }
}

void CreatureParser::parseFooterString(QString& dest, bool labelled)
{
    if (labelled)
        skipLabel();
    const int start = currentLine.getCurrentPos();
    while (!atLineEnd() && !isFooterKeyword(getCurrentLineToken().kind))
        nextLineToken();
    if (dest.isEmpty())
        dest = wordsFrom(start, false, false);
}

void CreatureParser::addSkill()
{
    if (!stats.skills.isEmpty())
        stats.skills += ", ";
    stats.skills.append(QStringView(getCurrentLineToken().text));
    nextLineToken();
    if (getCurrentLineToken().kind == Token::NUMBER) {
        stats.skills += ' ' + getCurrentLineToken().text;
        nextLineToken();
    }
    const Token::No mark = getCurrentLineToken().kind;
    if (mark == Token::COMMA || mark == Token::SEMICOLON)
        nextLineToken();
}

void CreatureParser::parseAttributeField(AbilityScore& ability)
{
    nextLineToken();
    ability.modifier = UnknownModifier;
    CreatureToken token = getCurrentLineToken();
    if (token.kind == Token::NUMBER) {
        ability.score = token.toInt();
        nextLineToken();
    }
    CreatureToken modifier = getFollowingLineToken(0);
    if (getCurrentLineToken().kind == Token::OPEN_PAREN && modifier.kind == Token::NUMBER
        && getFollowingLineToken(1).kind == Token::CLOSE_PAREN) {
        ability.modifier = modifier.toInt();
        for (int i = 0; i < 3; ++i)
            nextLineToken();
    } else if (getCurrentLineToken().kind == Token::NUMBER) {
        modifier = getCurrentLineToken();
        ability.modifier = modifier.toInt();
        nextLineToken();
    }
}

void CreatureParser::parseFooterInfo()
{
    const Token::No heading = currentLine.kindAt(0);
    const bool notes = heading == Token::PUBLISHED || heading == Token::MONSTER || heading == Token::CIRCLE_C;
    QString& dest = heading == Token::EQUIPMENT ? stats.equipment
                    : heading == Token::DESCRIPTION ? stats.description
                                                    : stats.published;
    if (!notes) {
        nextLineToken();
        if (getCurrentLineToken().kind == Token::COLON)
            nextLineToken();
    } else if (!dest.isEmpty()) {
        dest += "<br>";
    }
    dest += currentLine.getWords(currentLine.getCurrentPos(), -1, true, true, notes);
    while (nextLineAndSetState() == FOOTER_DETAIL)
        dest += ' ' + currentLine.getWords(0, -1, true, true, notes);
}
