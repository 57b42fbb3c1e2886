#ifndef EFFECTHEALING_H
#define EFFECTHEALING_H

#include <QObject>
#include <QPointer>
#include <QSpinBox>

#include "encounter/effectentries.h"
#include "foundation/dogtag.h"
#include "toolkit/inputwidgets.h"

class Creature;
class EffectCreatures;

// The healing controls of the conditions-and-effects dialog: the surge
// choices the targets allow, the hit points per surge, the hit points healed
// and the temporary hit points. The dialog lays the widgets out and reads them.
class EffectHealing : public QObject
{
    Q_OBJECT

public:
    // Values of the surge choice besides the counts: one surge worth each target's own surge value.
    static constexpr int OwnSurgeValue = EffectEntries::OwnSurgeValue;

    EffectHealing() = default;

    // surgesAdded is the choice to preselect, surgeValue the value to show
    // (OwnSurgeValue: the one the targets share).
    void setupControls(EffectCreatures& creatures, int surgesAdded, int surgeValue, int tempHP, int healHP);
    // The choices that spend surges name the hit points of the value now shown.
    void surgeValueTouched();
    // Above 0 surges gained, 0 none, OwnSurgeValue, else that many surges spent.
    int getHealingSurgesAdded() const;

    // -1 without targets or with one whose surge value is 0; 0 when the targets' values differ.
    int commonSurgeValue = -1;
    QPointer<DisableComboBox> healingSurgesCombo;
    QPointer<QSpinBox> surgeValueSpin;
    QPointer<QSpinBox> healSpin;
    QPointer<QSpinBox> tempHPSpin;

private:
    struct Survey
    {
        int fewestSurges;
        int fewestMissing;
        QList<int> values;
    };
    Survey survey(const QList<Creature*>& targets);
    void fillWithoutValue(int surgesAdded, int surgeValue);
    void fillForDifferentValues(const Survey& found, int surgesAdded, int surgeValue);
    void fillForSharedValue(const Survey& found, int surgesAdded, int surgeValue);
    void preselect(const Survey& found, int surgesAdded, int surgeValue);
    static QString spendText(int surges, int value);

    DogTag dogTag{__LINE__, __FILE__};
};

#endif
