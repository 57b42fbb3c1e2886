#include "combat/effecthealing.h"

#include <algorithm>

#include "creature/creature.h"
#include "foundation/saturating.h"
#include "powerdialog/effectcreatures.h"
#include "toolkit/windowsanddialogs.h"

namespace {

const int Plenty = 134217727;
// A surge value or temporary hit points as high as healing goes.
const int MostHitPoints = 500;

}

EffectHealing::Survey EffectHealing::survey(const QList<Creature*>& targets)
{
    Survey found{Plenty, Plenty, {}};
    commonSurgeValue = -1;
    for (Creature* target : targets) {
        found.fewestSurges = qMin(found.fewestSurges, target->getCurrHealingSurges());
        found.fewestMissing = qMin(found.fewestMissing, Saturating::difference(target->getMaxHealingSurges(),
                                                                               target->getCurrHealingSurges()));
        const int value = target->getSurgeValue();
        // One target without a surge value and no surge is worth a known amount.
        if (value == 0) {
            commonSurgeValue = -1;
            break;
        }
        if (!found.values.contains(value))
            found.values.append(value);
        if (commonSurgeValue == -1 && value > 0)
            commonSurgeValue = value;
        else if (commonSurgeValue != 0 && commonSurgeValue != value)
            commonSurgeValue = 0;
    }
    std::sort(found.values.begin(), found.values.end());
    return found;
}

void EffectHealing::setupControls(EffectCreatures& creatures, int surgesAdded, int surgeValue, int tempHP, int healHP)
{
    const Survey found = survey(creatures.getTargetList());
    healingSurgesCombo = new DisableComboBox;
    healingSurgesCombo->setToolTip(tr("Healing surges gained or spent by each target"));
    surgeValueSpin = WindowsAndDialogs::digitBox(MostHitPoints, 0);
    surgeValueSpin->setToolTip(tr("Hit points regained per healing surge"));
    if (commonSurgeValue == -1)
        fillWithoutValue(surgesAdded, surgeValue);
    else if (commonSurgeValue == 0)
        fillForDifferentValues(found, surgesAdded, surgeValue);
    else
        fillForSharedValue(found, surgesAdded, surgeValue);
    preselect(found, surgesAdded, surgeValue);
    healSpin = WindowsAndDialogs::digitBox(MostHitPoints, 0, healHP, true);
    tempHPSpin = WindowsAndDialogs::digitBox(MostHitPoints, 0, tempHP, true);
}

QString EffectHealing::spendText(int surges, int value)
{
    if (value == 0)
        return tr("Lose %1").arg(surges);
    return tr("Use %1 (+%2 HP)").arg(surges).arg(qint64(surges) * value);
}

void EffectHealing::fillWithoutValue(int surgesAdded, int surgeValue)
{
    QString text;
    if (surgesAdded > 0)
        text = tr("Gain %1").arg(surgesAdded);
    else if (surgesAdded < 0 && (surgeValue == OwnSurgeValue || surgeValue > 0))
        text = tr("Use %1").arg(-qint64(surgesAdded));
    else if (surgesAdded < 0)
        text = tr("Lose %1").arg(-qint64(surgesAdded));
    healingSurgesCombo->addItem(text, surgesAdded);
    healingSurgesCombo->setEnabled(false);
    surgeValueSpin->setEnabled(false);
    if (surgeValue >= 0)
        surgeValueSpin->setValue(surgeValue);
}

void EffectHealing::fillForDifferentValues(const Survey& found, int surgesAdded, int surgeValue)
{
    QString values;
    for (int value : found.values)
        values += values.isEmpty() ? QString::number(value) : QString(", %1").arg(value);
    const int last = values.lastIndexOf(", ");
    if (last >= 0)
        values.replace(last, 2, tr(" or "));

    if (surgesAdded > 0)
        healingSurgesCombo->addItem(tr("Gain %1").arg(surgesAdded), surgesAdded);
    if (found.fewestMissing > 0 && surgesAdded != 1)
        healingSurgesCombo->addItem(tr("Gain %1").arg(1), 1);
    healingSurgesCombo->addItem(QString(), 0);
    if (found.fewestSurges > 0) {
        healingSurgesCombo->addItem(tr("Use 1 (+%1 HP)").arg(values), OwnSurgeValue);
        healingSurgesCombo->addItem(tr("Lose 1"), -1);
    }
    if (surgesAdded < -1) {
        const QString spent = QString::number(-qint64(surgesAdded));
        if (surgeValue < 0)
            healingSurgesCombo->addItem(tr("Use %1 (+%1 x HS)").arg(spent), surgesAdded);
        else
            healingSurgesCombo->addItem(spendText(-surgesAdded, surgeValue), surgesAdded);
    }
    surgeValueSpin->setEnabled(false);
    if (surgeValue >= 0)
        surgeValueSpin->setValue(surgeValue);
}

void EffectHealing::fillForSharedValue(const Survey& found, int surgesAdded, int surgeValue)
{
    const int value = surgeValue == OwnSurgeValue ? commonSurgeValue : surgeValue;
    const int gains = qMax(found.fewestMissing, surgesAdded);
    const int spends = surgesAdded < 0 ? qMax(found.fewestSurges, -surgesAdded) : found.fewestSurges;
    for (int i = gains; i >= 1; i--)
        healingSurgesCombo->addItem(tr("Gain %1").arg(i), i);
    healingSurgesCombo->addItem(QString(), 0);
    for (int i = 1; i <= spends; i++)
        healingSurgesCombo->addItem(spendText(i, value), -i);
    surgeValueSpin->setValue(value);
    surgeValueSpin->selectAll();
}

void EffectHealing::preselect(const Survey& found, int surgesAdded, int surgeValue)
{
    int chosen = -1;
    for (int i = 0; i < healingSurgesCombo->count(); i++) {
        const int data = healingSurgesCombo->itemData(i).toInt();
        if (data == OwnSurgeValue) {
            if (surgesAdded == -1 && surgeValue == OwnSurgeValue)
                chosen = i;
            continue;
        }
        // Beyond what some target can gain or spend.
        if (data > found.fewestMissing || data < -qint64(found.fewestSurges))
            healingSurgesCombo->setIndexEnabled(i, false);
        if (chosen < 0 && data == surgesAdded)
            chosen = i;
    }
    healingSurgesCombo->setCurrentIndex(chosen);
}

void EffectHealing::surgeValueTouched()
{
    const int value = surgeValueSpin->value();
    for (int i = 0; i < healingSurgesCombo->count(); i++) {
        const int data = healingSurgesCombo->itemData(i).toInt();
        if (data >= 1)
            healingSurgesCombo->setItemText(i, tr("Gain %1").arg(data));
        else if (data < 0)
            healingSurgesCombo->setItemText(i, spendText(-data, value));
    }
}

int EffectHealing::getHealingSurgesAdded() const
{
    return healingSurgesCombo && healingSurgesCombo->currentIndex() >= 0 ? healingSurgesCombo->currentData().toInt() : 0;
}
