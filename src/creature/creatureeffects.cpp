#include <QStringList>

#include <algorithm>

#include "creature/creature.h"
#include "creature/effect.h"
#include "foundation/global.h"
#include "foundation/saturating.h"

// The effects list never owns its effects: the events that made them do.

namespace {

template <typename Test>
QList<Effect*> select(const QList<Effect*>& effects, Test test)
{
    QList<Effect*> selected;
    std::copy_if(effects.begin(), effects.end(), std::back_inserter(selected), test);
    return selected;
}

QList<OnGoingAmount> dueAmounts(Creature* creature, const QList<Effect*>& effects, int (Effect::*apply)(Creature*))
{
    QList<OnGoingAmount> due;
    for (Effect* effect : effects)
        if (int amount = (effect->*apply)(creature))
            due.append({effect, amount});
    return due;
}

}

Effect* Creature::getEffect(int index) const
{
    return effects.value(index, nullptr);
}

int Creature::indexOfEffect(Effect* effect) const
{
    return int(effects.lastIndexOf(effect));
}

void Creature::addEffect(Effect* effect)
{
    effects.append(effect);
    nestedEffectsStale = true;
    effectsChanged();
}

void Creature::insertEffect(int index, Effect* effect)
{
    // A position read back from a damaged log must not reach past the list.
    effects.insert(qBound(0, index, int(effects.size())), effect);
    nestedEffectsStale = true;
    effectsChanged();
}

int Creature::removeEffect(Effect* effect)
{
    int index = indexOfEffect(effect);
    if (index >= 0) {
        effects.removeAt(index);
        nestedEffectsStale = true;
    }
    effectsChanged();
    return index;
}

void Creature::removeEffectGroup(unsigned int groupId)
{
    effects.removeIf([groupId](Effect* effect) { return effect->getGroupId() == groupId; });
    nestedEffectsStale = true;
    effectsChanged();
}

void Creature::effectsChanged()
{
    emit Global::switchBoard.doCreatureEffectsChanged(this);
    emit doCreatureEffectsChanged(this);
    updated();
}

const QList<NestedEffect>& Creature::nested() const
{
    if (!nestedEffectsStale)
        return nestedEffects;
    nestedEffectsStale = false;
    // Ungrouped effects first, then the groups by id, each in list order.
    QList<Effect*> sorted = effects;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](Effect* a, Effect* b) { return a->getGroupId() < b->getGroupId(); });

    nestedEffects.clear();
    int heading = -1;
    for (int i = 0; i < sorted.size(); i++) {
        Effect* effect = sorted[i];
        unsigned int groupId = effect->getGroupId();
        bool groupOfSeveral = groupId != 0 && i + 1 < sorted.size() && sorted[i + 1]->getGroupId() == groupId;
        if (heading >= 0 && nestedEffects[heading].groupId == groupId) {
            nestedEffects[heading].effects.append(effect);
            nestedEffects.append({NestedEffect::Member, groupId, {effect}});
        } else if (groupOfSeveral) {
            heading = int(nestedEffects.size());
            nestedEffects.append({NestedEffect::Heading, groupId, {effect}});
            nestedEffects.append({NestedEffect::Member, groupId, {effect}});
        } else {
            heading = -1;
            nestedEffects.append({NestedEffect::Single, groupId, {effect}});
        }
    }
    return nestedEffects;
}

const NestedEffect* Creature::getNestedEffect(int index) const
{
    const QList<NestedEffect>& list = nested();
    return index >= 0 && index < list.size() ? &list.at(index) : nullptr;
}

bool Creature::isNestedEffect(int index) const
{
    const NestedEffect* entry = getNestedEffect(index);
    return entry && entry->isNestedEffect();
}

QList<Effect*> Creature::endEffectsOnStartOfTurn(Creature* current) const
{
    return select(effects, [current](Effect* effect) { return effect->shouldStartOnTurnEnd(current); });
}

void Creature::getEffectsEndingEndOfTurn(QList<NestedEffect>& ending, Creature* current, bool delaying) const
{
    // A heading stands for its whole group, which ends on its first effect's terms.
    for (const NestedEffect& entry : nested())
        if (!entry.isNestedEffect() && entry.getEffect()->shouldEndOnTurnEnd(current, delaying))
            ending.append(entry);
}

QList<Effect*> Creature::endEffectsOnEndOfEncounter() const
{
    return select(effects, [](Effect* effect) { return effect->shouldEndOnEncounterEnd(); });
}

QList<OnGoingAmount> Creature::applyOnGoingDamage()
{
    return dueAmounts(this, effects, &Effect::applyDamage);
}

QList<OnGoingAmount> Creature::applyOnGoingRegeneration()
{
    return dueAmounts(this, effects, &Effect::applyRegeneration);
}

void Creature::getAttributeAdjustment(AttrAdj& adj) const
{
    for (const Effect* effect : effects)
        effect->adjustAttributes(adj);
}

QString Creature::getSavingThrows(bool storedValuesOnly, int* total, bool* conditional) const
{
    QString label = tr("Saving Throws");
    QString text = stats.savingThrows.toHtmlEscaped();
    int adjustment = 0;
    if (!storedValuesOnly) {
        AttrAdj adj;
        getAttributeAdjustment(adj);
        adjustment = adj.savingThrows;
    }
    // A text that is more than a number carries conditions, such as "+2 against fear".
    bool number = Global::isNumber(stats.savingThrows);
    int bonus = number ? stats.savingThrows.toInt() : Global::firstNumber(stats.savingThrows);
    if (!storedValuesOnly) {
        if (total)
            *total = Saturating::sum(bonus, adjustment);
        if (conditional)
            *conditional = !number;
    }
    if (adjustment == 0)
        return stats.savingThrows.isEmpty() ? QString() : labelled(label, text);
    if (number)
        return labelled(label, getColorAdjAdjText(bonus, adjustment));
    return labelled(label, QString("%1; %2").arg(getColorAdjAdjText(0, adjustment), text));
}

QString Creature::getEffectText(int index) const
{
    Effect* effect = getEffect(index);
    return effect ? effect->getDescription() : QString("");
}

QString Creature::getNestedEffectText(int index) const
{
    const NestedEffect* entry = getNestedEffect(index);
    return entry ? entry->getEffectText() : QString();
}

QString Creature::getEffectsList() const
{
    return joinEffectTexts(&Effect::getEffectText);
}

QString Creature::getPlayersEffectsList() const
{
    return joinEffectTexts(&Effect::getPlayersEffectText);
}

QString Creature::joinEffectTexts(QString (Effect::*text)() const) const
{
    QStringList texts;
    for (const Effect* effect : effects)
        texts.append((effect->*text)());
    return texts.join("; ");
}

bool Creature::removeCreatureFromList(QList<Creature*>& list, Creature* creature)
{
    return list.removeOne(creature);
}
