#include "library/monsterxmlhandler.h"

#include <cstring>

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
    // One table: every value and every element's end of a builder file asks it.
    static const QHash<QString, Action> actions = [] {
        QHash<QString, Action> all = recordActions();
        all.insert(powerActions());
        return all;
    }();
    const QString v = value.trimmed();
    const auto found = actions.constFind(path);
    if (found != actions.constEnd())
        found.value()(this, v);
    else if (path.contains(QLatin1String(attackPath)))
        attackValue(path, v);
    return true;
}

bool MonsterXmlHandler::readsEndOf(QStringView element) const
{
    // A list of susceptibilities, a power, an attack and its results.
    for (const char* name : {"CreatureSusceptibility", "MonsterTrait", "MonsterPower", "MonsterAttack", "Hit", "Effect", "Miss"})
        if (element == QLatin1String(name))
            return true;
    return false;
}

QHash<QString, MonsterXmlHandler::Action> MonsterXmlHandler::recordActions()
{
    using Handler = MonsterXmlHandler;
    const auto text = [](QString CreatureStats::*field) -> Action {
        return [field](Handler* h, const QString& v) { h->stats.*field = v; };
    };
    const auto number = [](int CreatureStats::*field) -> Action {
        return [field](Handler* h, const QString& v) { h->stats.*field = v.toInt(); };
    };
    const auto listed = [](QString CreatureStats::*field, const char* separator) -> Action {
        return [field, separator](Handler* h, const QString& v) {
            h->stats.*field = makeList(h->stats.*field, v, separator);
        };
    };
    const auto role = [](QString& list, const QString& v) {
        if (v != "Standard" && v != "No Role")
            list = makeList(list, v, " ");
    };
    const Action lastNumber = [](Handler* h, const QString& v) { h->lastNumber = v.toInt(); };
    const Action susceptibility = [](Handler* h, const QString& v) {
        h->susceptibility = makeList(h->susceptibility, v, " ");
    };
    const auto susceptibilityEnd = [](QString CreatureStats::*field) -> Action {
        return [field](Handler* h, const QString&) {
            h->stats.*field = makeList(h->stats.*field, h->susceptibility, ", ");
            h->susceptibility.clear();
        };
    };
    return {
        {"/Monster/Name/", text(&CreatureStats::group)},
        {"/Monster/PortraitFile/",
         [](Handler* h, const QString& v) {
             h->stats.portraitFile = v;
             h->stats.portrait = Creature::loadPortrait(v, h->rootPath);
         }},
        {"/Monster/Tallowmere/", [](Handler* h, const QString& v) { h->attributeText = v; }},
        {"/Monster/Level/", number(&CreatureStats::level)},
        {"/Monster/Experience/FinalValue", number(&CreatureStats::xp)},
        {"/Monster/GroupRole/", [role](Handler* h, const QString& v) { role(h->stats.role, v); }},
        {"/Monster/GroupRole/ReferencedObject/Name/", [role](Handler* h, const QString& v) { role(h->stats.role, v); }},
        {"/Monster/Role/ReferencedObject/Name/", [role](Handler* h, const QString& v) { role(h->roleText, v); }},
        {"/Monster/IsLeader/", [](Handler* h, const QString& v) { h->leader = v == "true"; }},
        {"/Monster/Size/ReferencedObject/Name/", [](Handler* h, const QString& v) { h->sizeWord = v; }},
        {"/Monster/Origin/ReferencedObject/Name/", [](Handler* h, const QString& v) { h->originWord = v; }},
        {"/Monster/Type/ReferencedObject/Name/", [](Handler* h, const QString& v) { h->typeWord = v; }},
        {"/Monster/Keywords/ObjectReference/ReferencedObject/Name/",
         [](Handler* h, const QString& v) { h->keywords = makeList(h->keywords, v, ", "); }},
        {"/Monster/Resistances/CreatureSusceptibility/ReferencedObject/Name/", susceptibility},
        {"/Monster/Resistances/CreatureSusceptibility/Amount/FinalValue", susceptibility},
        {"/Monster/Weaknesses/CreatureSusceptibility/ReferencedObject/Name/", susceptibility},
        {"/Monster/Weaknesses/CreatureSusceptibility/Amount/FinalValue", susceptibility},
        {"/Monster/Resistances/CreatureSusceptibility/#end", susceptibilityEnd(&CreatureStats::resist)},
        {"/Monster/Weaknesses/CreatureSusceptibility/#end", susceptibilityEnd(&CreatureStats::vulnerable)},
        {"/Monster/Immunities/ObjectReference/ReferencedObject/Name/", listed(&CreatureStats::immune, ", ")},
        {"/Monster/Initiative/FinalValue", number(&CreatureStats::initBonus)},
        // A number, then the name it belongs to.
        {"/Monster/Skills/Values/SkillNumber/FinalValue", lastNumber},
        {"/Monster/Defenses/Values/SimpleAdjustableNumber/FinalValue", lastNumber},
        {"/Monster/AbilityScores/Values/AbilityScoreNumber/FinalValue", lastNumber},
        {"/Monster/Skills/Values/SkillNumber/Name/",
         [](Handler* h, const QString& v) {
             if (v == "Perception")
                 h->stats.perception = h->lastNumber;
             else if (v == "Insight")
                 h->stats.insight = h->lastNumber;
             else
                 h->stats.skills = makeList(h->stats.skills, skillValue(v, h->lastNumber), "; ");
         }},
        {"/Monster/Defenses/Values/SimpleAdjustableNumber/Name/",
         [](Handler* h, const QString& v) {
             static const QHash<QString, int CreatureStats::*> defenses = {
                 {"AC", &CreatureStats::armorClass}, {"Fortitude", &CreatureStats::fortitude},
                 {"Reflex", &CreatureStats::reflex}, {"Will", &CreatureStats::will}};
             if (defenses.contains(v))
                 h->stats.*defenses.value(v) = h->lastNumber;
         }},
        {"/Monster/AbilityScores/Values/AbilityScoreNumber/Name/",
         [](Handler* h, const QString& v) {
             static const QHash<QString, Ability> abilities = {
                 {"Strength", Strength},         {"Dexterity", Dexterity},       {"Wisdom", Wisdom},
                 {"Constitution", Constitution}, {"Intelligence", Intelligence}, {"Charisma", Charisma}};
             if (abilities.contains(v))
                 h->stats.abilities[abilities.value(v)].score = h->lastNumber;
         }},
        {"/Monster/Senses/ObjectReference/ReferencedObject/Name/", text(&CreatureStats::senses)},
        {"/Monster/Senses/SenseReference/ReferencedObject/Name/", listed(&CreatureStats::senses, ", ")},
        {"/Monster/HitPoints/FinalValue", number(&CreatureStats::maxHitPoints)},
        {"/Monster/ActionPoints/FinalValue", number(&CreatureStats::initActionPoints)},
        {"/Monster/Alignment/ReferencedObject/Name/", text(&CreatureStats::alignment)},
        {"/Monster/Languages/ObjectReference/ReferencedObject/Name/", listed(&CreatureStats::languages, ", ")},
        {"/Monster/Items/ItemAndQuantity/Quantity/", [](Handler* h, const QString& v) { h->quantity = v.toInt(); }},
        {"/Monster/Items/ItemAndQuantity/Item/ReferencedObject/Name/",
         [](Handler* h, const QString& v) {
             h->stats.equipment = makeList(h->stats.equipment, v, ", ");
             if (h->quantity > 1)
                 h->stats.equipment += QString(" x%1").arg(h->quantity);
             h->quantity = 0;
         }},
        // The land speed, then each other speed's name, are items; their figures and details follow them.
        {"/Monster/LandSpeed/FinalValue", listed(&CreatureStats::speed, ", ")},
        {"/Monster/LandSpeed/Speed/FinalValue", listed(&CreatureStats::speed, ", ")},
        {"/Monster/Speeds/CreatureSpeed/ReferencedObject/Name/", listed(&CreatureStats::speed, ", ")},
        {"/Monster/LandSpeed/Details/", listed(&CreatureStats::speed, " ")},
        {"/Monster/Speeds/CreatureSpeed/Speed/FinalValue", listed(&CreatureStats::speed, " ")},
        {"/Monster/Speeds/CreatureSpeed/Details/", listed(&CreatureStats::speed, " ")},
        {"/Monster/SavingThrows/MonsterSavingThrow/FinalValue",
         [](Handler* h, const QString& v) { h->stats.savingThrows = stringToAdj(v); }},
    };
}

// The power being read; the attacks go on to attackValue.
QHash<QString, MonsterXmlHandler::Action> MonsterXmlHandler::powerActions()
{
    using Handler = MonsterXmlHandler;
    const Action name = [](Handler* h, const QString& v) { h->workingPower.name = v; };
    const Action keyword = [](Handler* h, const QString& v) {
        h->powerKeywords = makeList(h->powerKeywords, v.toHtmlEscaped(), ", ");
    };
    const Action done = [](Handler* h, const QString&) { h->powerDone(); };
    return {
        {"/Monster/Powers/MonsterPower/Name/", name},
        {"/Monster/Powers/MonsterTrait/Name/",
         [](Handler* h, const QString& v) {
             h->workingPower.name = v;
             h->workingPower.current.when = Power::Trait;
         }},
        {"/Monster/Powers/MonsterTrait/Details/",
         [](Handler* h, const QString& v) { h->workingPower.current.description << v.toHtmlEscaped(); }},
        {"/Monster/Powers/MonsterTrait/Range/FinalValue",
         [](Handler* h, const QString& v) {
             if (v.toInt() > 0) {
                 h->workingPower.current.type = Power::Aura;
                 h->usageText = QString("<b>Aura %1</b>").arg(v.toHtmlEscaped());
             }
         }},
        {"/Monster/Powers/MonsterTrait/#end", done},
        {"/Monster/Powers/MonsterPower/#end", done},
        {"/Monster/Powers/MonsterPower/Type/",
         [](Handler* h, const QString& v) {
             static const QHash<QString, int> types = {{"Melee", Power::Melee}, {"Weapon", Power::Weapon},
                                                       {"Ranged", Power::Ranged}, {"Area", Power::Area},
                                                       {"Close", Power::Close}, {"Aura", Power::Aura}};
             h->workingPower.current.type = types.value(v, h->workingPower.current.type);
         }},
        {"/Monster/Powers/MonsterTrait/Keywords/ObjectReference/ReferencedObject/Name/", keyword},
        {"/Monster/Powers/MonsterPower/Keywords/ObjectReference/ReferencedObject/Name/", keyword},
        {"/Monster/Powers/MonsterPower/IsBasic/", [](Handler* h, const QString& v) { h->basic = v == "true"; }},
        {"/Monster/Powers/MonsterPower/Action/",
         [](Handler* h, const QString& v) {
             h->actionText = v;
             h->workingPower.current.when =
                 firstWordKind(v,
                               {{"standard", Power::Standard}, {"move", Power::Move}, {"minor", Power::Minor},
                                {"free", Power::Free}, {"opportunity", Power::Triggered},
                                {"interrupt", Power::Triggered}, {"reaction", Power::Triggered},
                                {"trait", Power::Trait}, {"aura", Power::Trait}},
                               Power::Other);
         }},
        {"/Monster/Powers/MonsterPower/Usage/", [](Handler* h, const QString& v) { h->usageValue(v); }},
        {"/Monster/Powers/MonsterPower/UsageDetails/",
         [](Handler* h, const QString& v) {
             PowerData& data = h->workingPower.current;
             if (v == "2/Encounter") {
                 data.cost = Power::TwicePerEncounter;
                 h->usageText = makeList(h->usageText, v.toHtmlEscaped(), " ");
             } else if (data.cost == Power::RechargeUnknown) {
                 h->usageText = h->rechargeValue(v);
             } else {
                 h->usageText = makeList(h->usageText, v.toHtmlEscaped(), " ");
             }
         }},
        {"/Monster/Powers/MonsterPower/Trigger/",
         [](Handler* h, const QString& v) {
             h->detailCount++;
             h->workingPower.current.when = Power::Triggered;
             h->workingPower.current.description << QString("<i>Trigger:</i> %1").arg(v.toHtmlEscaped());
         }},
        {"/Monster/Powers/MonsterPower/Requirements/",
         [](Handler* h, const QString& v) {
             h->detailCount++;
             h->workingPower.current.description.prepend(
                 QString("<i>Requirement:</i> %1").arg(v.toHtmlEscaped()));
         }},
    };
}

void MonsterXmlHandler::usageValue(const QString& v)
{
    static const QHash<QString, int> costs = {{"Encounter", Power::OncePerEncounter},
                                              {"2/Encounter", Power::TwicePerEncounter},
                                              {"3/Encounter", Power::ThricePerEncounter},
                                              {"4/Encounter", Power::FourPerEncounter}};
    PowerData& data = workingPower.current;
    data.cost = v.compare("at-will", Qt::CaseInsensitive) == 0 ? int(Power::AtWill) : costs.value(v, data.cost);
    if (v.startsWith("Recharge")) {
        data.cost = Power::RechargeUnknown;
        usageText = rechargeValue(v.mid(v.indexOf("Recharge") + int(strlen("Recharge"))));
    } else {
        usageText = QString("<b>%1</b>").arg(v.toHtmlEscaped());
    }
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
