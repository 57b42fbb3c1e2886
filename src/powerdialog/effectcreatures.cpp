#include "powerdialog/effectcreatures.h"

#include "creature/creature.h"
#include "encounter/encounter.h"
#include "foundation/global.h"
#include "library/monsters.h"

EffectCreatures::EffectCreatures(bool deferSave, Creature* origin, const QString& powerName,
                                 const QString& actionName, const QList<Creature*>& targets,
                                 const QList<Creature*>& effected, CreatureInterface* owner)
    : owner(owner), origin(origin), powerName(powerName), actionName(actionName), deferSave(deferSave),
      targetList(targets), effectList(effected)
{
    if (Global::encounter)
        originList = Global::encounter->getOriginCreatures();
    if (!this->origin)
        this->origin = targetList.value(0, originList.value(0));
}

QList<Creature*>* EffectCreatures::listOf(Power::StepType type)
{
    switch (type) {
    case Power::Hit: return &targetList;
    case Power::Miss: return &missList;
    case Power::Effect: return &effectList;
    default: return nullptr;
    }
}

void EffectCreatures::addCreature(Power::StepType type, Creature* creature)
{
    QList<Creature*>* list = listOf(type);
    if (!list)
        return;
    if (!list->contains(creature))
        list->append(creature);
    fillOriginControl();
}

void EffectCreatures::removeCreature(Power::StepType type, Creature* creature)
{
    QList<Creature*>* list = listOf(type);
    if (!list)
        return;
    list->removeAll(creature);
    fillOriginControl();
}

Creature* EffectCreatures::getSingleTarget() const
{
    if (targetList.size() + missList.size() > 1 || effectList.size() > 1)
        return nullptr;
    Creature* struck = targetList.isEmpty() ? missList.value(0) : targetList.first();
    Creature* effected = effectList.value(0);
    if (struck && effected && struck != effected)
        return nullptr;
    return struck ? struck : effected;
}

Creature* EffectCreatures::getOriginTemplate() const
{
    if (!origin)
        return nullptr;
    // A monster of the encounter stores its powers in the template it was made from.
    Monsters* monsters = Global::monsters;
    if (origin->isMonster() && monsters && monsters->getTemplateIndex(origin) < 0)
        return monsters->findTemplate(origin->getGroup());
    return origin;
}

DisableComboBox* EffectCreatures::getOriginControl()
{
    originCombo = new DisableComboBox;
    originCombo->setToolTip(tr("Select the creature that uses the power or action"));
    fillOriginControl();
    connect(originCombo, &QComboBox::activated, this, &EffectCreatures::originTouched);
    return originCombo;
}

void EffectCreatures::fillOriginControl()
{
    if (!originCombo)
        return;
    Creature* single = getSingleTarget();
    Creature* current = Global::encounter ? Global::encounter->getCurrentCreature() : nullptr;
    originCombo->clear();
    for (int i = 0; i < originList.size(); i++) {
        Creature* candidate = originList.at(i);
        QString text = candidate->getNameGroup();
        if (candidate == single)
            text += tr(" [Self]");
        else if (candidate == current)
            text += tr(" [Current]");
        originCombo->addItem(text, i);
        // Set both ways: clearing the box keeps what it had greyed.
        originCombo->setIndexEnabled(i, !candidate->isDead(false));
    }
    originCombo->setCurrentIndex(originList.indexOf(origin));
}

void EffectCreatures::originTouched(int index)
{
    if (busy || !originCombo)
        return;
    // A dead creature acts no more: the choice goes back.
    if (!originCombo->isIndexEnabled(index)) {
        originCombo->setCurrentIndex(originList.indexOf(origin));
        return;
    }
    Creature* chosen = originList.value(originCombo->itemData(index).toInt());
    if (chosen == origin)
        return;
    busy = true;
    origin = chosen;
    powerName.clear();
    buildPowerComboBox();
    selectPowerOrAction();
    if (owner)
        owner->originChanged(chosen);
    busy = false;
}

void EffectCreatures::recalculateHitPoints(int damage, int surgeChange, int surgeValue, int tempHP, int heal,
                                           CE::Action action)
{
    EffectEntries entries;
    entries.damage = damage;
    entries.surgeChange = surgeChange;
    entries.surgeValue = surgeValue;
    entries.tempHitPoints = tempHP;
    entries.heal = heal;
    entries.action = action;
    recalculateHitPoints(entries);
}

void EffectCreatures::recalculateHitPoints(const EffectEntries& entries)
{
    if (Global::encounter)
        entries.preview({origin, targetList, getSingleTarget(), QString()});
}
