#include <initializer_list>
#include <iterator>

#include "creature/creature.h"
#include "creature/effect.h"

// The texts are shown as HTML: the user's own text in them (names, comments,
// power names) is escaped.

namespace {

struct TypeLabel
{
    const char* text;
    bool withAmount;
};

// By CE::EffectType; no label for the effects that are their comment alone.
const TypeLabel typeLabels[] = {
    {nullptr, false},
    {QT_TRANSLATE_NOOP("Effect", "Blinded"), false},
    {QT_TRANSLATE_NOOP("Effect", "Dazed"), false},
    {QT_TRANSLATE_NOOP("Effect", "Deafened"), false},
    {QT_TRANSLATE_NOOP("Effect", "Dominated"), false},
    {QT_TRANSLATE_NOOP("Effect", "Grabbed"), false},
    {QT_TRANSLATE_NOOP("Effect", "Helpless"), false},
    {QT_TRANSLATE_NOOP("Effect", "Hidden"), false},
    {QT_TRANSLATE_NOOP("Effect", "Immobilized"), false},
    {QT_TRANSLATE_NOOP("Effect", "Marked"), false},
    {QT_TRANSLATE_NOOP("Effect", "Petrified"), false},
    {QT_TRANSLATE_NOOP("Effect", "Prone"), false},
    {QT_TRANSLATE_NOOP("Effect", "Restrained"), false},
    {QT_TRANSLATE_NOOP("Effect", "Slowed"), false},
    {QT_TRANSLATE_NOOP("Effect", "Stunned"), false},
    {QT_TRANSLATE_NOOP("Effect", "Surprised"), false},
    {QT_TRANSLATE_NOOP("Effect", "Unconscious"), false},
    {QT_TRANSLATE_NOOP("Effect", "Weakened"), false},
    {QT_TRANSLATE_NOOP("Effect", "Total Defense"), false},
    {QT_TRANSLATE_NOOP("Effect", "Second Wind"), false},
    {QT_TRANSLATE_NOOP("Effect", "Ongoing %1 Damage"), true},
    {QT_TRANSLATE_NOOP("Effect", "Regeneration %1"), true},
    {QT_TRANSLATE_NOOP("Effect", "-%1 Penalty"), true},
    {QT_TRANSLATE_NOOP("Effect", "+%1 Bonus"), true},
    {QT_TRANSLATE_NOOP("Effect", "Partial Cover"), false},
    {QT_TRANSLATE_NOOP("Effect", "Superior Cover"), false},
    {QT_TRANSLATE_NOOP("Effect", "Concealment"), false},
    {QT_TRANSLATE_NOOP("Effect", "Total Concealment"), false},
    {QT_TRANSLATE_NOOP("Effect", "Resist %1"), true},
    {QT_TRANSLATE_NOOP("Effect", "Vulnerable %1"), true},
    {nullptr, false},
    {nullptr, false},
    {QT_TRANSLATE_NOOP("Effect", "Insubstantial"), false},
    {QT_TRANSLATE_NOOP("Effect", "Phasing"), false},
    {QT_TRANSLATE_NOOP("Effect", "Grants Combat Advantage"), false},
};

struct AttributePiece
{
    bool EffectedAttr::*flag;
    const char* text;
};

const AttributePiece attributePieces[] = {
    {&EffectedAttr::armorClass, QT_TRANSLATE_NOOP("Effect", "AC")},
    {&EffectedAttr::fortitude, QT_TRANSLATE_NOOP("Effect", ", Fort")},
    {&EffectedAttr::reflex, QT_TRANSLATE_NOOP("Effect", ", Reflex")},
    {&EffectedAttr::will, QT_TRANSLATE_NOOP("Effect", ", Will")},
    {&EffectedAttr::toHit, QT_TRANSLATE_NOOP("Effect", ", Hit")},
    {&EffectedAttr::damage, QT_TRANSLATE_NOOP("Effect", ", Damage")},
    {&EffectedAttr::savingThrows, QT_TRANSLATE_NOOP("Effect", ", Saving Throws")},
};

struct EndPhrase
{
    const char* withoutOrigin;
    // Names the origin when it has one.
    const char* withOrigin;
};

// By CE::EndCondition; end special and a save-ends heading have their own texts.
const EndPhrase endPhrases[] = {
    {nullptr, nullptr},
    {QT_TRANSLATE_NOOP("Effect", "end of origin's next turn"), QT_TRANSLATE_NOOP("Effect", "end of %1's next turn")},
    {QT_TRANSLATE_NOOP("Effect", "end of my next turn"), nullptr},
    {QT_TRANSLATE_NOOP("Effect", "save ends"), nullptr},
    {QT_TRANSLATE_NOOP("Effect", "end of encounter"), nullptr},
    {QT_TRANSLATE_NOOP("Effect", "start of origin's next turn"), QT_TRANSLATE_NOOP("Effect", "start of %1's next turn")},
    {QT_TRANSLATE_NOOP("Effect", "start of my next turn"), nullptr},
};

EffectedAttr flagsOf(std::initializer_list<bool EffectedAttr::*> flags)
{
    EffectedAttr result;
    for (bool EffectedAttr::*flag : flags)
        result.*flag = true;
    return result;
}

}

QString Effect::getEffectedAttributeList(const EffectedAttr& attributes)
{
    QString list;
    for (const AttributePiece& piece : attributePieces)
        if (attributes.*piece.flag)
            list += tr(piece.text);
    return list.startsWith(", ") ? list.mid(2) : list;
}

QString Effect::getEffectText(const EffectDetails& details)
{
    return getEffectText(details, false);
}

QString Effect::getEffectText(const EffectDetails& details, bool forPlayers)
{
    if (forPlayers)
        return shortText(details, playersOriginName(details.origin));
    std::optional<QString> originName;
    if (details.origin)
        originName = details.origin->getNameGroup();
    return shortText(details, originName);
}

// A deleted origin can no longer be told hidden or not, so it goes unnamed too.
std::optional<QString> Effect::playersOriginName(Creature* origin)
{
    if (!origin || origin->isHidden())
        return std::nullopt;
    return origin->getDisplayName(true);
}

QString Effect::getPlayersEffectText() const
{
    return shortText(details, withOrigin ? playersOriginName(getOrigin()) : std::nullopt);
}

QString Effect::getEffectText() const
{
    return shortText(details, withOrigin ? std::optional<QString>(getOriginName()) : std::nullopt);
}

QString Effect::shortText(const EffectDetails& details, const std::optional<QString>& originName)
{
    bool known = details.type >= 0 && details.type < int(std::size(typeLabels));
    if (!known || !typeLabels[details.type].text)
        return details.comment.toHtmlEscaped();

    // Lists that read better as a word.
    static const QString defenses = getEffectedAttributeList(
        flagsOf({&EffectedAttr::armorClass, &EffectedAttr::fortitude, &EffectedAttr::reflex, &EffectedAttr::will}));
    static const QString hit_damage = getEffectedAttributeList(flagsOf({&EffectedAttr::toHit, &EffectedAttr::damage}));
    static const QString fort = getEffectedAttributeList(flagsOf({&EffectedAttr::fortitude}));
    QString list = getEffectedAttributeList(details.attributes);
    if (list == defenses)
        list = tr("all Defenses");
    else if (list == hit_damage)
        list = tr("Hit & Damage");
    else if (list == fort)
        list = tr("Fortitude");

    QString amount = QString::number(details.amount);
    QString text;
    if (details.type == CE::Marked && originName)
        text = tr("Marked by %1").arg(originName->toHtmlEscaped());
    else if (details.type == CE::Penalty && !list.isEmpty())
        text = tr("-%1 to %2").arg(amount, list);
    else if (details.type == CE::Bonus && !list.isEmpty())
        text = tr("+%1 to %2").arg(amount, list);
    else if (typeLabels[details.type].withAmount)
        text = tr(typeLabels[details.type].text).arg(amount);
    else
        text = tr(typeLabels[details.type].text);
    if (details.comment.isEmpty())
        return text;
    return QString("%1 (%2)").arg(text, details.comment.toHtmlEscaped());
}

QString Effect::getEndConditionText(bool heading) const
{
    CE::EndCondition condition = details.endCondition;
    if (condition == CE::EndSpecial)
        return heading ? tr("End special") : tr(" end special");
    if (condition == CE::SaveEnds && heading)
        return tr("Save ends all");
    QString prefix = heading ? tr("Until ") : tr(" until ");
    if (condition < 0 || condition >= int(std::size(endPhrases)))
        return prefix;
    const EndPhrase& phrase = endPhrases[condition];
    if (phrase.withOrigin && withOrigin)
        return prefix + tr(phrase.withOrigin).arg(getOriginName().toHtmlEscaped());
    return prefix + tr(phrase.withoutOrigin);
}

QString Effect::getDescription() const
{
    return getEffectText() + getEndConditionText(false);
}

QString DyingEffect::getEffectText() const
{
    return tr("Death Saving Throw");
}

QString NestedEffect::getEffectText() const
{
    Effect* effect = getEffect();
    if (!effect)
        return QString();
    switch (kind) {
    case Single:
        return effect->getDescription();
    case Member:
        return effect->getEffectText();
    case Heading: {
        QString source = effect->getDetails().sourceName;
        QString text = source.isEmpty() ? QString() : QString("%1: ").arg(source.toHtmlEscaped());
        return text + QString("%1:").arg(effect->getEndConditionText(true));
    }
    default:
        return QString();
    }
}

QString NestedEffect::getEffectsList() const
{
    QString list;
    for (Effect* effect : effects) {
        if (!list.isEmpty())
            list += "; ";
        list += effect->getEffectText();
    }
    return list;
}
