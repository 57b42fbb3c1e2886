#include "library/monsterxmlhandler.h"

#include <QHash>

namespace {

const char* const powerPath = "Monster/Powers/MonsterPower/";
const char* const traitPath = "Monster/Powers/MonsterTrait/";
const char* const attackPath = "Monster/Powers/MonsterPower/Attacks/MonsterAttack/";
const char* const resultElements[] = {"Hit/", "Effect/", "Miss/"};

QString ordinal(int n)
{
    static const char* const ordinals[] = {"First", "Second", "Third", "Fourth", "Fifth",
                                           "Sixth", "Seventh", "Eighth", "Ninth", "Tenth"};
    return n >= 1 && n <= 10 ? ordinals[n - 1] : "n'th";
}

// "(%1)" filled with the item, or nothing for nothing.
QString filled(const char* form, const QString& item)
{
    return item.isEmpty() ? QString() : QString(form).arg(item);
}

}

MonsterXmlHandler::MonsterXmlHandler(bool monster, const QString& rootPath, const CreatureStats& stats)
    : monsterFlag(monster), rootPath(rootPath), stats(stats)
{
}

QString MonsterXmlHandler::makeList(const QString& list, const QString& item, const QString& separator)
{
    if (list.isEmpty())
        return item;
    return item.isEmpty() ? list : list + separator + item;
}

QString MonsterXmlHandler::adjustValue(int n)
{
    return n < 1 ? QString::number(n) : QString("+%1").arg(n);
}

QString MonsterXmlHandler::skillValue(const QString& name, int n)
{
    return name + " " + adjustValue(n);
}

QString MonsterXmlHandler::stringToAdj(const QString& text)
{
    if (text.isEmpty() || text == "0")
        return QString();
    bool isNumber = false;
    const int n = text.toInt(&isNumber);
    if (!isNumber)
        return text;
    return n >= 1 ? QString("+%1").arg(n) : QString::number(n);
}

void MonsterXmlHandler::start()
{
    leader = false;
    lastNumber = 0;
    detailCount = 0;
    basic = false;
    quantity = 0;
    powerKeywords.clear();
    workingPower = CreaturePower();
}

bool MonsterXmlHandler::xmlElement(const QString& path, const QString& value)
{
    const QString v = value.trimmed();
    if (!recordValue(path, v))
        powerValue(path, v);
    return true;
}

bool MonsterXmlHandler::recordValue(const QString& path, const QString& v)
{
    const auto ends = [&path](const char* suffix) { return path.endsWith(QLatin1String(suffix)); };
    const auto join = [&v](QString& list, const char* separator) { list = makeList(list, v, separator); };
    const auto roleWord = [&v](QString& list) {
        if (v != "Standard" && v != "No Role")
            list = makeList(list, v, " ");
    };
    if (ends("Monster/Name/")) {
        stats.group = v;
    } else if (ends("Monster/PortraitFile/")) {
        stats.portraitFile = v;
        stats.portrait = Creature::loadPortrait(v, rootPath);
    } else if (ends("Monster/Tallowmere/")) {
        attributeText = v;
    } else if (ends("Monster/Level/")) {
        stats.level = v.toInt();
    } else if (ends("Monster/Experience/FinalValue")) {
        stats.xp = v.toInt();
    } else if (ends("Monster/GroupRole/") || ends("Monster/GroupRole/ReferencedObject/Name/")) {
        roleWord(stats.role);
    } else if (ends("Monster/Role/ReferencedObject/Name/")) {
        roleWord(roleText);
    } else if (ends("Monster/IsLeader/")) {
        leader = v == "true";
    } else if (ends("Monster/Size/ReferencedObject/Name/")) {
        sizeWord = v;
    } else if (ends("Monster/Origin/ReferencedObject/Name/")) {
        originWord = v;
    } else if (ends("Monster/Type/ReferencedObject/Name/")) {
        typeWord = v;
    } else if (ends("Monster/Keywords/ObjectReference/ReferencedObject/Name/")) {
        join(keywords, ", ");
    } else if (ends("Monster/Resistances/CreatureSusceptibility/ReferencedObject/Name/")
               || ends("Monster/Resistances/CreatureSusceptibility/Amount/FinalValue")
               || ends("Monster/Weaknesses/CreatureSusceptibility/ReferencedObject/Name/")
               || ends("Monster/Weaknesses/CreatureSusceptibility/Amount/FinalValue")) {
        join(susceptibility, " ");
    } else if (path == "/Monster/Resistances/CreatureSusceptibility/#end"
               || path == "/Monster/Weaknesses/CreatureSusceptibility/#end") {
        QString& list = path.contains("/Resistances/") ? stats.resist : stats.vulnerable;
        list = makeList(list, susceptibility, ", ");
        susceptibility.clear();
    } else if (path == "/Monster/Immunities/ObjectReference/ReferencedObject/Name/") {
        join(stats.immune, ", ");
    } else if (ends("Monster/Initiative/FinalValue")) {
        stats.initBonus = v.toInt();
    } else if (ends("Monster/Skills/Values/SkillNumber/FinalValue")
               || ends("Monster/Defenses/Values/SimpleAdjustableNumber/FinalValue")
               || ends("Monster/AbilityScores/Values/AbilityScoreNumber/FinalValue")) {
        lastNumber = v.toInt();
    } else if (ends("Monster/Skills/Values/SkillNumber/Name/")) {
        if (v == "Perception")
            stats.perception = lastNumber;
        else if (v == "Insight")
            stats.insight = lastNumber;
        else
            stats.skills = makeList(stats.skills, skillValue(v, lastNumber), "; ");
    } else if (ends("onster/Senses/ObjectReference/ReferencedObject/Name/")) {
        stats.senses = v;
    } else if (ends("Monster/HitPoints/FinalValue")) {
        stats.maxHitPoints = v.toInt();
    } else if (ends("Monster/ActionPoints/FinalValue")) {
        stats.initActionPoints = v.toInt();
    } else if (ends("Monster/Defenses/Values/SimpleAdjustableNumber/Name/")) {
        static const QHash<QString, int CreatureStats::*> defenses = {
            {"AC", &CreatureStats::armorClass}, {"Fortitude", &CreatureStats::fortitude},
            {"Reflex", &CreatureStats::reflex}, {"Will", &CreatureStats::will}};
        if (defenses.contains(v))
            stats.*defenses.value(v) = lastNumber;
    } else if (ends("Monster/Senses/SenseReference/ReferencedObject/Name/")) {
        join(stats.senses, ", ");
    } else if (ends("Monster/AbilityScores/Values/AbilityScoreNumber/Name/")) {
        static const QHash<QString, Ability> abilities = {
            {"Strength", Strength},         {"Dexterity", Dexterity},       {"Wisdom", Wisdom},
            {"Constitution", Constitution}, {"Intelligence", Intelligence}, {"Charisma", Charisma}};
        if (abilities.contains(v))
            stats.abilities[abilities.value(v)].score = lastNumber;
    } else if (ends("Monster/Alignment/ReferencedObject/Name/")) {
        stats.alignment = v;
    } else if (ends("Monster/Languages/ObjectReference/ReferencedObject/Name/")) {
        join(stats.languages, ", ");
    } else if (ends("Monster/Items/ItemAndQuantity/Quantity/")) {
        quantity = v.toInt();
    } else if (ends("Monster/Items/ItemAndQuantity/Item/ReferencedObject/Name/")) {
        join(stats.equipment, ", ");
        if (quantity > 1)
            stats.equipment += QString(" x%1").arg(quantity);
        quantity = 0;
    } else if (ends("Monster/LandSpeed/FinalValue") || ends("Monster/LandSpeed/Speed/FinalValue")
               || ends("Monster/Speeds/CreatureSpeed/ReferencedObject/Name/")) {
        join(stats.speed, ", ");
    } else if (ends("Monster/LandSpeed/Details/") || ends("Monster/Speeds/CreatureSpeed/Speed/FinalValue")
               || ends("Monster/Speeds/CreatureSpeed/Details/")) {
        join(stats.speed, " ");
    } else if (ends("Monster/SavingThrows/MonsterSavingThrow/FinalValue")) {
        stats.savingThrows = stringToAdj(v);
    } else {
        return false;
    }
    return true;
}

bool MonsterXmlHandler::powerValue(const QString& path, const QString& v)
{
    const auto ends = [&path](const char* prefix, const char* suffix) {
        return pathEndsWith(path, {QLatin1String(prefix), QLatin1String(suffix)});
    };
    const QString html = v.toHtmlEscaped();
    PowerData& data = workingPower.current;
    if (ends(powerPath, "Name/")) {
        workingPower.name = v;
    } else if (ends(traitPath, "Name/")) {
        workingPower.name = v;
        data.when = Power::Trait;
    } else if (ends(traitPath, "Details/")) {
        data.description << html;
    } else if (ends(traitPath, "Range/FinalValue")) {
        if (v.toInt() > 0) {
            data.type = Power::Aura;
            usageText = QString("<b>Aura %1</b>").arg(html);
        }
    } else if (path == "/Monster/Powers/MonsterTrait/#end") {
        powerDone();
    } else if (ends(powerPath, "Type/")) {
        static const QHash<QString, int> types = {{"Melee", Power::Melee}, {"Weapon", Power::Weapon},
                                                  {"Ranged", Power::Ranged}, {"Area", Power::Area},
                                                  {"Close", Power::Close}, {"Aura", Power::Aura}};
        data.type = types.value(v, data.type);
    } else if (ends(traitPath, "Keywords/ObjectReference/ReferencedObject/Name/")
               || ends(powerPath, "Keywords/ObjectReference/ReferencedObject/Name/")) {
        powerKeywords = makeList(powerKeywords, html, ", ");
    } else if (path == "/Monster/Powers/MonsterPower/#end") {
        powerDone();
    } else if (ends(powerPath, "IsBasic/")) {
        basic = v == "true";
    } else if (ends(powerPath, "Action/")) {
        actionText = v;
        data.when = firstWordKind(v,
                                  {{"standard", Power::Standard}, {"move", Power::Move}, {"minor", Power::Minor},
                                   {"free", Power::Free}, {"opportunity", Power::Triggered},
                                   {"interrupt", Power::Triggered}, {"reaction", Power::Triggered},
                                   {"trait", Power::Trait}, {"aura", Power::Trait}},
                                  Power::Other);
    } else if (ends(powerPath, "Usage/")) {
        static const QHash<QString, int> costs = {{"Encounter", Power::OncePerEncounter},
                                                  {"2/Encounter", Power::TwicePerEncounter},
                                                  {"3/Encounter", Power::ThricePerEncounter},
                                                  {"4/Encounter", Power::FourPerEncounter}};
        data.cost = v.compare("at-will", Qt::CaseInsensitive) == 0 ? int(Power::AtWill) : costs.value(v, data.cost);
        if (v.startsWith("Recharge")) {
            data.cost = Power::RechargeUnknown;
            usageText = rechargeValue(v.mid(v.indexOf("Recharge") + int(strlen("Recharge"))));
        } else {
            usageText = QString("<b>%1</b>").arg(html);
        }
    } else if (ends(powerPath, "UsageDetails/")) {
        if (v == "2/Encounter") {
            data.cost = Power::TwicePerEncounter;
            usageText = makeList(usageText, html, " ");
        } else if (data.cost == Power::RechargeUnknown) {
            usageText = rechargeValue(v);
        } else {
            usageText = makeList(usageText, html, " ");
        }
    } else if (ends(powerPath, "Trigger/")) {
        detailCount++;
        data.when = Power::Triggered;
        data.description << QString("<i>Trigger:</i> %1").arg(html);
    } else if (ends(powerPath, "Requirements/")) {
        detailCount++;
        data.description.prepend(QString("<i>Requirement:</i> %1").arg(html));
    } else if (path.contains(QLatin1String(attackPath))) {
        attackValue(path, v);
    } else {
        return false;
    }
    return true;
}

void MonsterXmlHandler::attackValue(const QString& path, const QString& v)
{
    const auto ends = [&path](const char* suffix) {
        return pathEndsWith(path, {QLatin1String(attackPath), QLatin1String(suffix)});
    };
    const auto endsResult = [&path](const char* suffix) {
        for (const char* result : resultElements)
            if (pathEndsWith(path, {QLatin1String(attackPath), QLatin1String(result), QLatin1String(suffix)}))
                return true;
        return false;
    };
    const QString html = v.toHtmlEscaped();
    if (ends("Name/")) {
        attackName = v;
    } else if (ends("Range/") || ends("Description/")) {
        attackText = makeList(attackText, html, "; ");
    } else if (ends("Targets/")) {
        attackText = makeList(attackText, filled("(%1)", html), " ");
    } else if (ends("AttackBonuses/MonsterPowerAttackNumber/FinalValue")) {
        attackText = makeList(attackText, filled("+%1", html), "; ");
    } else if (ends("AttackBonuses/MonsterPowerAttackNumber/Defense/ReferencedObject/DefenseName/")) {
        attackText = makeList(attackText, filled("vs. %1", html), " ");
    } else if (endsResult("Name/")) {
        resultName = v;
    } else if (endsResult("Damage/Expression/") || endsResult("Description/")) {
        resultText = makeList(resultText, html, " ");
    } else if (endsResult("#end")) {
        resultEnd();
    } else if (ends("Effect/FailedSavingThrows/MonsterAttackEntry/Description/")) {
        pendingLines << QString("<i>%1 Failed Saving Throw:</i> %2")
                            .arg(ordinal(pendingLines.size() + 1), QString(html).replace("\n", "<br>"));
    } else if (ends("#end")) {
        attackEnd();
    }
}

QString MonsterXmlHandler::rechargeValue(const QString& text)
{
    bool isNumber = false;
    const int n = text.trimmed().toInt(&isNumber);
    if (!isNumber)
        return QString("<b>Recharge</b> %1").arg(text.trimmed().toHtmlEscaped());
    // A die has six faces: a number beyond them is a recharge without a number.
    if (n > 1 && n <= 6)
        workingPower.current.cost = n + Power::RechargeUnknown - 1;
    return "<b>Recharge</b>" + CreaturePower::rechargeDice(workingPower.current.cost);
}

QString MonsterXmlHandler::powerDetailLine(QString& name, QString& text, QString* extra)
{
    const int when = workingPower.current.when;
    const QString label = name.isEmpty() ? QString("Attack") : name.toHtmlEscaped();
    QString line;
    if (!extra || extra->isEmpty() || when == Power::Standard || when == Power::Move || when == Power::Minor)
        line = QString("<i>%1:</i> %2").arg(label, text);
    else
        line = QString("<i>%1 (%2):</i> %3").arg(label, extra->toHtmlEscaped(), text);
    name.clear();
    text.clear();
    if (extra)
        extra->clear();
    return line;
}

void MonsterXmlHandler::resultEnd()
{
    if (!resultText.isEmpty())
        workingPower.current.description
            << powerDetailLine(resultName, resultText, attackName == "Attack" ? nullptr : &actionText);
    workingPower.current.description << pendingLines;
    pendingLines.clear();
}

void MonsterXmlHandler::attackEnd()
{
    QStringList& description = workingPower.current.description;
    if (!attackText.isEmpty())
        description.insert(qMin(detailCount, int(description.size())),
                           powerDetailLine(attackName, attackText, &actionText));
    detailCount = 0;
}

void MonsterXmlHandler::powerDone()
{
    if (workingPower.name.isEmpty())
        return;
    PowerData& data = workingPower.current;
    if (basic && data.type % 2 == 0)
        workingPower.flipType();
    QString header = usageText.isEmpty() ? QString() : QString("%1 %2").arg(QChar(0x2022)).arg(usageText);
    if (!powerKeywords.isEmpty())
        header.prepend(QString("(%1) ").arg(powerKeywords));
    workingPower.setHeader(header);
    if (const CreaturePower* held = stats.powers.getPowerByName(workingPower.name)) {
        // A power read twice keeps what was given it the first time.
        for (std::size_t i = 0; i < data.applyTo.size(); i++) {
            const ApplyToRecord& given = held->current.applyTo[i];
            if (given.kind != Power::ApplyUnset)
                data.applyTo[i].kind = given.kind;
            if (given.from != Power::UnsetCount) {
                data.applyTo[i].from = given.from;
                data.applyTo[i].to = given.to;
            }
        }
        workingPower.program = held->program;
        workingPower.status = CreaturePower::FromStatBlock;
    }
    stats.powers.updatePower(workingPower.name, workingPower, !monsterFlag);
    basic = false;
    powerKeywords.clear();
    usageText.clear();
    workingPower = CreaturePower();
}

void MonsterXmlHandler::end()
{
    for (const QString& word : {sizeWord, originWord.toLower(), typeWord.toLower()})
        stats.type = makeList(stats.type, word, " ");
    if (!keywords.isEmpty())
        stats.type += QString(" (%1)").arg(keywords);
    if (leader)
        roleText = makeList(roleText, "(Leader)", " ");
    stats.role = makeList(stats.role, roleText, " ");
    powerDone();
    for (int i = 0; i < stats.powers.size(); i++)
        stats.powers.getPower(i)->setBase();
    if (!attributeText.isEmpty())
        Creature::readAttributeBlock(monsterFlag, attributeText.toUtf8(), stats, rootPath, false);
}
