#include "library/creatureparser.h"

#include "foundation/global.h"

namespace {

bool isTrapAction(CreatureParser::State s)
{
    return s >= CreatureParser::TRAP_DETAIL_STANDARD && s <= CreatureParser::TRAP_DETAIL_TRIGGERED;
}

bool isLabelled(CreatureParser::State s)
{
    return s >= CreatureParser::TRAP_DETAIL_SKILL_DC && s <= CreatureParser::POWER_DETAIL_W_TRAP;
}

bool isRechargeWord(Token::No kind)
{
    return kind == Token::RECHARGE || kind == Token::RCHG;
}

bool isRechargeNumber(const CreatureToken& token)
{
    return token.kind == Token::NUMBER || token.isDieFace();
}

}

void CreatureParser::parsePowerSection()
{
    switch (currentLine.kindAt(0)) {
    case Token::TRAITS: section = Power::Trait; break;
    case Token::STANDARD: section = Power::Standard; break;
    case Token::MOVE: section = Power::Move; break;
    case Token::MINOR: section = Power::Minor; break;
    case Token::FREE: section = Power::Free; break;
    case Token::TRIGGERED: section = Power::Triggered; break;
    case Token::COUNTERMEASURES: section = Power::Countermeasure; break;
    case Token::OTHER: section = Power::Other; break;
    default: break;
    }
}

void CreatureParser::setSection(CreaturePower& p) const
{
    if (section >= Power::Flavour && section <= Power::Other)
        p.current.when = section;
}

bool CreatureParser::tokenSetsPowerType(Token::No t, CreaturePower& p, bool& meleeBasic, bool& rangedBasic)
{
    int& type = p.current.type;
    if (type > Power::RangedWeapon)
        return false;
    switch (t) {
    case Token::MELEE:
    case Token::REACH:
        type = meleeBasic ? Power::BasicMelee : Power::Melee;
        meleeBasic = false;
        return true;
    case Token::RANGED:
        type = rangedBasic ? Power::BasicRanged : Power::Ranged;
        rangedBasic = false;
        return true;
    case Token::AREA: type = Power::Area; return true;
    case Token::CLOSE: type = Power::Close; return true;
    case Token::NUMBER:
        if (type == Power::NoType)
            type = Power::Weapon;
        return false;
    default: return false;
    }
}

void CreatureParser::powerHeaderNextToken(CreaturePower& p, bool actionAllowed)
{
    const CreatureToken c = getCurrentLineToken();
    const CreatureToken n = getFollowingLineToken(0);
    PowerData& data = p.current;
    nextLineToken();
    if (actionAllowed && data.when == Power::Unset) {
        switch (c.kind) {
        case Token::STANDARD:
        case Token::STD: data.when = Power::Standard; return;
        case Token::MOVE: data.when = Power::Move; return;
        case Token::MINOR: data.when = Power::Minor; return;
        case Token::FREE: data.when = Power::Free; return;
        case Token::IMMEDIATE:
        case Token::IMM:
            if (n.kind == Token::INTERRUPT || n.kind == Token::REACTION || n.kind == Token::REAC || n.kind == Token::INT) {
                data.when = Power::Triggered;
                return;
            }
            break;
        default: break;
        }
    }
    if (data.cost == Power::NoCost) {
        switch (c.kind) {
        case Token::AT_WILL: data.cost = Power::AtWill; return;
        case Token::ENCOUNTER: data.cost = Power::OncePerEncounter; return;
        case Token::TWO_PER_ENCOUNTER: data.cost = Power::TwicePerEncounter; return;
        case Token::RECHARGE:
        case Token::RCHG: {
            int roll = isRechargeNumber(n) ? n.toDiceValue() : 0;
            data.cost = roll >= 2 && roll <= 6 ? Power::Recharge2 + roll - 2 : Power::RechargeUnknown;
            return;
        }
        default: break;
        }
    }
    if (c.kind == Token::AURA && n.kind == Token::NUMBER) {
        if (data.when == Power::Unset)
            data.when = Power::Trait;
        if (data.type == Power::NoType)
            data.type = Power::Aura;
    } else if (c.kind == Token::WEAPON && data.type == Power::NoType) {
        data.type = Power::Weapon;
    } else if (Token::isIn(c.kind, Token::CROSSBOW, Token::BOOMERANG) && data.type < Power::BasicMelee) {
        data.type = Power::RangedWeapon;
    }
}

void CreatureParser::parseRecharge(QString& header, CreaturePower& p)
{
    const int roll = getCurrentLineToken().toDiceValue();
    while (isRechargeNumber(getCurrentLineToken()))
        powerHeaderNextToken(p, true);
    if (roll >= 2 && roll <= 6)
        header += CreaturePower::rechargeDice(Power::Recharge2 + roll - 2);
}

bool CreatureParser::parseNonBold(QString& header, CreaturePower& p)
{
    const int start = currentLine.getCurrentPos();
    Token::No kind = getCurrentLineToken().kind;
    while (!atLineEnd() && kind != Token::SEMICOLON && kind != Token::COMMA) {
        powerHeaderNextToken(p, true);
        kind = getCurrentLineToken().kind;
    }
    if (kind == Token::COMMA) {
        nextLineToken();
        header += wordsFrom(start, true, true) + ' ';
        return false;
    }
    const QString words = wordsFrom(start, true, true);
    if (!words.isEmpty())
        header += ' ' + words;
    return true;
}

int CreatureParser::parsePowerTitle(TokenLine line, int from, bool& isTitle, int minWords)
{
    isTitle = false;
    auto nameWord = [&line](int i) { return line.getTokenAt(i).isCapitalized() && !isPowerType(line, i); };
    if (!line.getTokenAt(from).isCapitalized())
        return from;
    int end = from;
    for (int i = from; nameWord(i);) {
        end = i + 1;
        const CreatureToken gap = line.getTokenAt(end);
        const CreatureToken gap2 = line.getTokenAt(end + 1);
        bool shortWord = (gap.isWord() && gap.text.size() <= 4) || gap.kind == Token::APOSTROPHE;
        bool twoTokenGap = (gap.kind == Token::APOSTROPHE && gap2.text == "s")
                           || ((gap.kind == Token::OF || gap.kind == Token::TO) && gap2.kind == Token::THE);
        if (nameWord(end))
            i = end;
        else if (shortWord && nameWord(end + 1))
            i = end + 1;
        else if (twoTokenGap && nameWord(end + 2))
            i = end + 2;
        else
            break;
    }
    const CreatureToken after = line.getTokenAt(end);
    if (end - from > 1 && after.isWord() && !isPowerType(line, end))
        --end;
    if (end - from < minWords)
        return end;
    const CreatureToken t = line.getTokenAt(end);
    if (t.kind == Token::OPEN_PAREN) {
        isTitle = line.braces() != 6;
    } else if (isPowerType(line, end)) {
        isTitle = true;
    } else if (t.isCapitalized() && end + 1 < line.getLineLen()) {
        for (int i = end; i < line.getLineLen() && !isTitle; ++i)
            isTitle = !line.getTokenAt(i).isWord() && line.kindAt(i) != Token::APOSTROPHE;
    }
    return end;
}

void CreatureParser::parsePowerHeader(CreaturePower& p)
{
    bool isTitle = false;
    const int start = currentLine.getCurrentPos();
    const int end = parsePowerTitle(currentLine, start, isTitle, 1);
    while (currentLine.getCurrentPos() < end && !atLineEnd())
        powerHeaderNextToken(p, false);
    p.name = wordsFrom(start, true, false);

    QString header;
    if (getCurrentLineToken().kind == Token::OPEN_PAREN) {
        int from = currentLine.getCurrentPos();
        for (;;) {
            const Token::No kind = getCurrentLineToken().kind;
            if (atLineEnd() || kind == Token::BULLET || kind == Token::ASTERISK)
                break;
            if (isRechargeWord(kind) && isRechargeNumber(getFollowingLineToken(0))) {
                powerHeaderNextToken(p, true);
                header += wordsFrom(from, true, true);
                parseRecharge(header, p);
                from = currentLine.getCurrentPos();
                continue;
            }
            powerHeaderNextToken(p, true);
            if (kind == Token::CLOSE_PAREN)
                break;
        }
        header += wordsFrom(from, true, true);
    }
    const Token::No mark = getCurrentLineToken().kind;
    if (mark == Token::BULLET || mark == Token::ASTERISK)
        nextLineToken();
    if (!atLineEnd() && getCurrentLineToken().kind != Token::SEMICOLON)
        parseHeaderUsage(header, p);
    p.setHeader(header);
}

// The bold usage and keywords after the bullet of a power header.
void CreatureParser::parseHeaderUsage(QString& header, CreaturePower& p)
{
    header += " &bull; <b>";
    currentLine.capitalizeCurrentToken();
    int from = currentLine.getCurrentPos();
    while (!atLineEnd() && getCurrentLineToken().kind != Token::SEMICOLON) {
        const Token::No kind = getCurrentLineToken().kind;
        powerHeaderNextToken(p, true);
        bool recharge = isRechargeWord(kind);
        if (!recharge && !Token::isIn(kind, Token::AT_WILL, Token::TWO_PER_ENCOUNTER) && kind != Token::AURA)
            continue;
        header += wordsFrom(from, true, true) + "</b>";
        bool ended = false;
        if (recharge) {
            if (isRechargeNumber(getCurrentLineToken()))
                parseRecharge(header, p);
            if (getCurrentLineToken().kind == Token::WORD)
                ended = parseNonBold(header, p);
        } else {
            ended = parseNonBold(header, p);
        }
        if (ended)
            return;
        header += "<b>";
        from = currentLine.getCurrentPos();
    }
    const QString words = wordsFrom(from, true, true);
    if (words.isEmpty() && header.endsWith("<b>"))
        header.chop(3);
    else
        header += words + "</b>";
}

void CreatureParser::parsePower(bool& meleeBasic, bool& rangedBasic)
{
    static const int iconTypes[] = {
        Power::BasicMelee, Power::Melee, Power::BasicRanged, Power::Ranged, Power::BasicArea, Power::Area,
        Power::BasicClose, Power::Close, Power::Aura, Power::Aura, Power::MeleeOrRanged, Power::NoType,
    };
    CreaturePower p;
    const Token::No icon = currentLine.kindAt(0);
    const bool iconTyped = Token::isIn(icon, Token::ICON_BASIC_MELEE, Token::ICON_CLOSE);
    if (Token::isIn(icon, Token::ICON_BASIC_MELEE, Token::GREATER_THAN)) {
        p.current.type = iconTypes[icon - Token::ICON_BASIC_MELEE];
        if (icon == Token::ICON_BASIC_MELEE || icon == Token::ICON_MELEE)
            meleeBasic = false;
        if (icon == Token::ICON_BASIC_RANGED || icon == Token::ICON_RANGED)
            rangedBasic = false;
        nextLineToken();
    }
    setSection(p);
    if (isTrap()) {
        const CreatureToken current = getCurrentLineToken();
        if (currentLine.getLineLen() < 5 && current.kind == Token::TRIGGER)
            p.current.when = Power::Triggered;
        else if (section >= Power::Flavour && section <= Power::Detection && p.current.type == Power::NoType)
            p.current.when = current.isSkill() ? Power::Detection : Power::Trap;
    }
    parsePowerHeader(p);
    readingTrait = p.current.when == Power::Trait;
    nextLineAndSetState();
    if (state >= TRAP_DETAIL_SKILL_DC && state <= POWER_DETAIL_W_TRAP && currentLine.kindAt(0) == Token::SECONDARY)
        p.current.type = Power::Secondary;

    const Token::No firstDetail = currentLine.kindAt(0);
    int labelledAt = -1;
    QStringList& description = p.current.description;
    do {
        QString text = parseDetailLine(p, meleeBasic, rangedBasic, labelledAt);
        if (isTrapAction(state) && p.current.header.isEmpty())
            p.current.header = "&bull; " + text;
        else
            description.append(text);
        nextLineAndSetState();
    } while (isDetailState(state));
    readingTrait = false;

    int& type = p.current.type;
    if (type == Power::Weapon) {
        type = meleeBasic ? Power::BasicMelee : Power::Melee;
        meleeBasic = false;
    } else if (type == Power::RangedWeapon) {
        type = rangedBasic ? Power::BasicRanged : Power::Ranged;
        rangedBasic = false;
    }
    // A leading line of plain text before the attack lines is flavour.
    const bool attackFirst = Token::isIn(firstDetail, Token::MELEE, Token::REACH);
    if (!attackFirst && labelledAt > 0) {
        p.current.flavor = QString("<i>%1</i>").arg(description.takeFirst());
    }
    if (bulletXP && iconTyped)
        p.flipType();
    addPower(p);
}

// One detail line of a power as rich text; labelledAt becomes the index of
// the first labelled or bold line.
QString CreatureParser::parseDetailLine(CreaturePower& p, bool& meleeBasic, bool& rangedBasic, int& labelledAt)
{
    QString text;
    if (isTrapAction(state)) {
        static const int actions[] = {Power::Standard, Power::Free, Power::Triggered};
        p.current.when = actions[state - TRAP_DETAIL_STANDARD];
        const int start = currentLine.getCurrentPos();
        while (!atLineEnd() && getCurrentLineToken().kind != Token::NUMBER) {
            const Token::No kind = getCurrentLineToken().kind;
            nextLineToken();
            if (tokenSetsPowerType(kind, p, meleeBasic, rangedBasic))
                break;
        }
        text = "<b>" + wordsFrom(start, true, true) + "</b> ";
    } else if (isLabelled(state) || addPossibleMissingColon()) {
        text = "<i>" + consumeLabel() + "</i> ";
    }
    if (!text.isEmpty() && labelledAt < 0)
        labelledAt = int(p.current.description.size());
    const int start = currentLine.getCurrentPos();
    if (!atLineEnd())
        tokenSetsPowerType(getCurrentLineToken().kind, p, meleeBasic, rangedBasic);
    currentLine.lastToken();
    return text + wordsFrom(start, true, true);
}

// The label of a detail line up to its colon, as escaped text.
QString CreatureParser::consumeLabel()
{
    const int start = currentLine.getCurrentPos();
    if (currentLine.contains(Token::COLON, Token::COLON)) {
        while (!atLineEnd() && getCurrentLineToken().kind != Token::COLON)
            nextLineToken();
        nextLineToken();
    } else {
        nextLineToken();
        if (getCurrentLineToken().kind == Token::ATTACK)
            nextLineToken();
    }
    return wordsFrom(start, true, true);
}

void CreatureParser::parseDetailsPower()
{
    CreaturePower p;
    if (state == POWER_DETAIL_W_TRAP && section == Power::Flavour)
        section = Power::Trap;
    if (state >= TRAP_DETAIL_SKILL && state <= TRAP_DETAIL_DC
        && (section == Power::Flavour || section == Power::Trap))
        section = Power::Detection;
    if (state == TRAP_DETAIL_SKILL_DC)
        lastSkill = currentLine.getFirstToken();
    else if (state == TRAP_DETAIL_DC && lastSkill.kind != Token::END_OF_TEXT)
        currentLine.addTokenAt(0, lastSkill);
    setSection(p);
    do {
        QString text;
        if (state == POWER_DETAIL_W_LABEL || state == POWER_DETAIL_W_TRAP)
            text = "<b>" + consumeLabel() + "</b> ";
        else if (state != TRAP_DETAIL_SKILL_DC && state != TRAP_DETAIL_DC)
            addPossibleMissingColon();
        int start = currentLine.getCurrentPos();
        while (!atLineEnd())
            detailsPowerNextToken(start, text);
        text += wordsFrom(start, true, true);
        p.current.description.append(text);
        nextLineAndSetState();
    } while (section != Power::Countermeasure && state == POWER_DETAIL);
    addPower(p);
}

// Success and failure labels of a trap's skill lines go in italics.
void CreatureParser::detailsPowerNextToken(int& start, QString& text)
{
    const Token::No kind = getCurrentLineToken().kind;
    const Token::No next = getFollowingLineToken(0).kind;
    if ((kind != Token::SUCCESS && kind != Token::FAILURE) || (next != Token::COLON && next != Token::OPEN_PAREN)) {
        nextLineToken();
        return;
    }
    text += wordsFrom(start, true, true) + " <i>";
    const int label = currentLine.getCurrentPos();
    nextLineToken();
    if (getCurrentLineToken().kind == Token::OPEN_PAREN) {
        while (!atLineEnd() && getCurrentLineToken().kind != Token::CLOSE_PAREN)
            nextLineToken();
        nextLineToken();
    }
    if (getCurrentLineToken().kind == Token::COLON)
        nextLineToken();
    text += wordsFrom(label, true, true) + "</i> ";
    start = currentLine.getCurrentPos();
}
