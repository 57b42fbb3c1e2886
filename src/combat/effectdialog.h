#ifndef EFFECTDIALOG_H
#define EFFECTDIALOG_H

#include <QPointer>

#include "combat/effecthealing.h"
#include "encounter/effectentries.h"
#include "powerdialog/effectcontrols.h"
#include "powerdialog/effectcreatures.h"
#include "toolkit/flatdialog.h"

class QGroupBox;
class QSpinBox;

// The classic "Apply Conditions and Effects" panel: damage, healing, surges,
// temporary hit points, effects and one action of the origin for a list of
// targets, previewed on the creatures while it runs. It records nothing: its
// caller reads the entries after exec().
class EffectDialog : public FlatDialog, public EffectInterface, public CreatureInterface
{
    Q_OBJECT

public:
    // The result that asks for the programmable power dialog instead.
    static const int SwitchDialog = 5;

    EffectDialog(Creature* origin, const QList<Creature*>& targets, const QList<Creature*>& effected);

    // The button that switches to the programmable power dialog; hidden unless offered.
    void offerPowerDialog(bool offer) { powerDialogOffered = offer; }
    void setupDialogButton(QToolButton* button) override;
    int exec() override;

    EffectCreatures& getCreatures() { return creatures; }
    int getDamageAmount() const;
    int getHealAmount() const;
    int getSetTempHPAmount() const;
    int getHealingSurgeAmount() const;
    int getHealingSurgesAdded() const;
    int getOngoingAmount() const;
    int getEffectAmount() const;
    EffectedAttr getEffectedAttributes() const;
    int getResVulAmount() const;
    int getConditionApplied() const;
    int getEndConditionApplied() const;
    int getOriginAction() const;
    QString getApplyComment() const;
    // All of the above, as the events that record them read them.
    EffectEntries getEntries() const;

public slots:
    void effectControlChanged(EffectInterface::What what) override;
    void originChanged(Creature* origin) override;

private slots:
    void damageTouched();
    void healingSurgeValueTouched();
    void healingTouched();
    void actionTouched();
    void toggleDialogClicked();

private:
    void setupControls();
    void layOut();
    QGroupBox* bonusBoxLayout();
    void setTabOrders();
    void recalculateHitPoints();
    void updateActionPopup();
    void toggleEndCondition();
    int getAdjustedHealingSurges(Creature* creature) const;
    QString actionBoxTitle() const;

    EffectCreatures creatures;
    int lastActionIndex = 0;
    QPointer<DisableComboBox> originControl;
    QPointer<QGroupBox> actionBox;
    QPointer<QSpinBox> damageBox;
    QPointer<DisableComboBox> actionPopup;
    EffectHealing healing;
    EffectCondition condition;
    EffectOngoing ongoing;
    EffectBonus bonus;
    EffectResistance resistance;
    EndCondition endCondition;
    bool powerDialogOffered = false;
    DogTag dogTag{__LINE__, __FILE__};
};

#endif
