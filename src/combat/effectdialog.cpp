#include "combat/effectdialog.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include "creature/creature.h"
#include "encounter/encounter.h"
#include "foundation/global.h"
#include "toolkit/dynamicwidgets.h"
#include "toolkit/panelhost.h"

namespace {

struct ActionEntry
{
    CE::Action action;
    const char* text;
};

// "Gain Healing Surge" stands before "Stabilize": entries are found by their code.
const ActionEntry actionEntries[] = {
    {CE::ActionNone, ""},
    {CE::ActionUseActionPoint, QT_TRANSLATE_NOOP("EffectDialog", "Use Action Point")},
    {CE::ActionTotalDefense, QT_TRANSLATE_NOOP("EffectDialog", "Total Defense")},
    {CE::ActionSecondWind, QT_TRANSLATE_NOOP("EffectDialog", "Second Wind")},
    {CE::ActionGainHealingSurge, QT_TRANSLATE_NOOP("EffectDialog", "Gain Healing Surge")},
    {CE::ActionStabilize, QT_TRANSLATE_NOOP("EffectDialog", "Stabilize")},
    {CE::ActionFirstAid, QT_TRANSLATE_NOOP("EffectDialog", "Administer First Aid")},
};

QGroupBox* groupBox(const QString& title, QLayout* content)
{
    auto* box = new QGroupBox(title);
    content->setContentsMargins(5, 5, 5, 5);
    box->setLayout(content);
    return box;
}

// Boxes side by side that share the width of their row; where it runs out,
// the last go on to a line of their own.
QWidget* sharedRow(std::initializer_list<QWidget*> boxes)
{
    for (QWidget* box : boxes)
        box->setSizePolicy(QSizePolicy::Expanding, box->sizePolicy().verticalPolicy());
    return WindowsAndDialogs::wrappingRow(boxes);
}

QHBoxLayout* row(std::initializer_list<QWidget*> widgets, bool stretch)
{
    auto* layout = new QHBoxLayout;
    for (QWidget* widget : widgets)
        layout->addWidget(widget);
    if (stretch)
        layout->addStretch();
    return layout;
}

}

EffectDialog::EffectDialog(Creature* origin, const QList<Creature*>& targets, const QList<Creature*>& effected)
    : creatures(false, origin, QString(), QString(), targets, effected, this), condition(this, nullptr),
      ongoing(this, nullptr), bonus(this), resistance(this), endCondition(this, nullptr, true)
{
    setupControls();
    layOut();
    setWindowTitle(tr("Apply Conditions and Effects"));
}

void EffectDialog::setupControls()
{
    originControl = creatures.getOriginControl();
    damageBox = digitBox(500, 0);
    damageBox->selectAll();
    damageBox->setToolTip(tr("Damage to each target"));
    healing.setupControls(creatures, 0, EffectHealing::OwnSurgeValue, 0, 0);
    condition.setupControls();
    ongoing.setupControls();
    bonus.setupControls(false);
    resistance.setupControls();
    endCondition.setupControls(&creatures);

    actionPopup = new DisableComboBox;
    actionPopup->setToolTip(tr("An action the origin takes"));
    for (const ActionEntry& entry : actionEntries)
        actionPopup->addItem(QIcon(), tr(entry.text), int(entry.action));
    actionPopup->setCurrentUserValue(CE::ActionNone);
    lastActionIndex = actionPopup->currentIndex();
    endCondition.updateEndCondition();
    updateActionPopup();

    connect(damageBox, &QSpinBox::valueChanged, this, &EffectDialog::damageTouched);
    connect(healing.surgeValueSpin, &QSpinBox::valueChanged, this, &EffectDialog::healingSurgeValueTouched);
    connect(healing.healingSurgesCombo, &QComboBox::activated, this, &EffectDialog::healingTouched);
    connect(healing.healSpin, &QSpinBox::valueChanged, this, &EffectDialog::healingTouched);
    connect(healing.tempHPSpin, &QSpinBox::valueChanged, this, &EffectDialog::healingTouched);
    connect(actionPopup, &QComboBox::activated, this, &EffectDialog::actionTouched);
}

QString EffectDialog::actionBoxTitle() const
{
    Creature* origin = creatures.getOrigin();
    // A group box takes an ampersand for a shortcut mark.
    return origin ? tr("%1's Actions").arg(origin->getNameGroup().replace('&', "&&")) : tr("Action");
}

void EffectDialog::layOut()
{
    // Each row shares out its own width: a box that needs much room in one
    // row widens no box of another, and in a narrow centre a row's last boxes
    // go below the others rather than out of sight.
    auto* rows = new QVBoxLayout;
    actionBox = groupBox(actionBoxTitle(), row({actionPopup}, false));
    rows->addWidget(sharedRow({groupBox(tr("Attacker/Origin"), hLayout(5, originControl)), actionBox}));

    auto* valueLabel = new QLabel(tr("Value"));
    auto* healingRow = row({htmlLabel(tr("HP")), healing.healSpin}, true);
    healingRow->addWidget(new QLabel(tr("Temp")));
    healingRow->addWidget(healing.tempHPSpin);
    healingRow->addStretch();
    rows->addWidget(sharedRow(
        {groupBox(tr("Damage"), row({new QLabel(tr("HP")), damageBox}, true)),
         groupBox(tr("Healing Surges"), row({healing.healingSurgesCombo, valueLabel, healing.surgeValueSpin}, true)),
         groupBox(tr("Healing"), healingRow)}));
    // The value box says nothing when the targets' surge values differ. Shown
    // before it had a parent, it would be a window of its own for a moment,
    // taking the keyboard from the main window.
    const bool showValue = healing.surgeValueSpin->isEnabled() || !healing.healingSurgesCombo->isEnabled();
    valueLabel->setVisible(showValue);
    healing.surgeValueSpin->setVisible(showValue);
    rows->addWidget(sharedRow({groupBox(tr("Conditions"), row({condition.getConditionCombo()}, false)),
                               groupBox(tr("Ongoing"), row({ongoing.getTypeCombo(), ongoing.getAmountBox()}, false))}));
    rows->addWidget(bonusBoxLayout());
    rows->addWidget(
        sharedRow({groupBox(tr("Custom Condition/Effect or Add Comment"), row({condition.getCommentEdit()}, false)),
                   groupBox(tr("Resist/Vulnerable"), row({resistance.getTypeCombo(), resistance.getAmountBox()}, false))}));
    rows->addWidget(wrappingRow({groupBox(tr("End Condition"), row({endCondition.getEndConditionCombo()}, false))}));
    auto* buttons = new DialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, Qt::Horizontal);
    connect(buttons, &QDialogButtonBox::accepted, this, &FlatDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &FlatDialog::reject);
    rows->addWidget(buttons);
    FlatDialog::setLayout(rows);
    setTabOrders();
}

QGroupBox* EffectDialog::bonusBoxLayout()
{
    auto* grid = new QGridLayout;
    grid->setContentsMargins(5, 5, 5, 5);
    grid->addWidget(bonus.getTypeCombo(), 0, 0);
    grid->addWidget(bonus.getAmountBox(), 0, 1);
    auto place = [&](EffectBonus::Attribute attribute, int row, int column, int span) {
        CheckboxLabel* label = bonus.getAttributeLabel(attribute);
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        if (attribute != EffectBonus::ArmorClass && attribute != EffectBonus::Hit)
            label->setMinimumWidth(30);
        grid->addWidget(label, row, column, 1, span);
        grid->addWidget(label->getCheckBox(), row, column + span);
    };
    place(EffectBonus::ArmorClass, 0, 2, 1);
    place(EffectBonus::Fortitude, 0, 4, 1);
    place(EffectBonus::Reflex, 0, 6, 1);
    place(EffectBonus::Will, 0, 8, 1);
    grid->addWidget(hWidget(bonus.getAllDefensesButton(), bonus.getHitAndDamageButton()), 1, 0, 1, 2);
    place(EffectBonus::Hit, 1, 2, 1);
    place(EffectBonus::Damage, 1, 4, 1);
    place(EffectBonus::SavingThrows, 1, 6, 3);
    auto* box = new QGroupBox(tr("Bonus/Penalty"));
    box->setMinimumHeight(60);
    box->setLayout(grid);
    return box;
}

void EffectDialog::setTabOrders()
{
    QList<QWidget*> order{originControl, actionPopup, damageBox, healing.healingSurgesCombo, healing.surgeValueSpin,
                          healing.healSpin, healing.tempHPSpin, condition.getConditionCombo(), ongoing.getTypeCombo(),
                          ongoing.getAmountBox(), bonus.getTypeCombo(), bonus.getAmountBox(),
                          bonus.getAllDefensesButton(), bonus.getHitAndDamageButton()};
    for (int i = 0; i < EffectBonus::AttributeCount; i++)
        order.append(bonus.getAttributeLabel(EffectBonus::Attribute(i))->getCheckBox());
    order << condition.getCommentEdit() << resistance.getTypeCombo() << resistance.getAmountBox()
          << endCondition.getEndConditionCombo();
    for (QAbstractButton* button : getWidget()->findChild<DialogButtonBox*>()->buttons())
        order.append(button);
    for (int i = 1; i < order.size(); i++)
        setTabOrder(order[i - 1], order[i]);
}

void EffectDialog::setupDialogButton(QToolButton* button)
{
    if (!powerDialogOffered) {
        FlatDialog::setupDialogButton(button);
        return;
    }
    button->setText(tr("Programmable Power Dialog"));
    button->setToolTip(tr("Click to switch to the Programmable Power Dialog"));
    button->setVisible(true);
    connect(button, &QToolButton::clicked, this, &EffectDialog::toggleDialogClicked);
}

void EffectDialog::toggleDialogClicked()
{
    done(SwitchDialog);
}

int EffectDialog::exec()
{
    PanelHost* host = PanelHost::instance();
    if (host)
        host->previewCreature(creatures.getOrigin());
    const int result = FlatDialog::exec();
    Encounter* encounter = Global::encounter;
    if (encounter)
        encounter->resetAllDeltas();
    Creature* current = encounter ? encounter->getCurrentCreature() : nullptr;
    if (host && current != creatures.getOrigin())
        host->previewCreature(current);
    return result;
}

int EffectDialog::getDamageAmount() const
{
    return damageBox->value();
}

int EffectDialog::getHealAmount() const
{
    return healing.healSpin->value();
}

int EffectDialog::getSetTempHPAmount() const
{
    return healing.tempHPSpin->value();
}

int EffectDialog::getHealingSurgeAmount() const
{
    return healing.surgeValueSpin->value();
}

int EffectDialog::getHealingSurgesAdded() const
{
    return healing.getHealingSurgesAdded();
}

int EffectDialog::getOngoingAmount() const
{
    return ongoing.getOngoingAmount();
}

int EffectDialog::getEffectAmount() const
{
    return bonus.getEffectAmount();
}

EffectedAttr EffectDialog::getEffectedAttributes() const
{
    return bonus.getEffectedAttributes();
}

int EffectDialog::getResVulAmount() const
{
    return resistance.getResVulAmount();
}

int EffectDialog::getConditionApplied() const
{
    return condition.getConditionApplied();
}

int EffectDialog::getEndConditionApplied() const
{
    return endCondition.getEndConditionApplied();
}

int EffectDialog::getOriginAction() const
{
    return actionPopup->getCurrentUserValue();
}

QString EffectDialog::getApplyComment() const
{
    return condition.getComment();
}

EffectEntries EffectDialog::getEntries() const
{
    EffectEntries entries;
    entries.damage = getDamageAmount();
    entries.surgeChange = getHealingSurgesAdded();
    entries.surgeValue = getHealingSurgeAmount();
    entries.heal = getHealAmount();
    entries.tempHitPoints = getSetTempHPAmount();
    entries.condition = CE::EffectType(getConditionApplied());
    entries.onGoing = getOngoingAmount();
    entries.bonus = getEffectAmount();
    entries.attributes = getEffectedAttributes();
    entries.resistance = getResVulAmount();
    entries.endCondition = CE::EndCondition(getEndConditionApplied());
    entries.comment = getApplyComment();
    entries.action = CE::Action(getOriginAction());
    return entries;
}

void EffectDialog::recalculateHitPoints()
{
    // The action's rules read the creatures as this request found them.
    if (Global::encounter)
        Global::encounter->resetAllDeltas();
    updateActionPopup();
    creatures.recalculateHitPoints(getEntries());
}

int EffectDialog::getAdjustedHealingSurges(Creature* creature) const
{
    const int surges = creature->getFiguresWithoutDelta().healingSurges;
    if (!creatures.getTargetList().contains(creature))
        return surges;
    const int change = getHealingSurgesAdded();
    return change == EffectHealing::OwnSurgeValue ? surges - 1 : surges + change;
}

void EffectDialog::updateActionPopup()
{
    Encounter* encounter = Global::encounter;
    const bool running = encounter && encounter->isRunning();
    Creature* origin = creatures.getOrigin();
    Creature* current = running ? encounter->getCurrentCreature() : nullptr;
    Creature* single = creatures.getSingleTarget();
    const bool acting = origin && origin == current;
    auto enable = [this](CE::Action action, bool enabled) { actionPopup->setUserValueEnabled(action, enabled); };
    if (!running) {
        enable(CE::ActionUseActionPoint, origin);
        enable(CE::ActionTotalDefense, false);
        enable(CE::ActionSecondWind, false);
        enable(CE::ActionGainHealingSurge, origin);
        enable(CE::ActionStabilize, false);
        enable(CE::ActionFirstAid, false);
        return;
    }
    const bool hasActionPoint = origin && origin->getCurrActionPoints() > 0;
    enable(CE::ActionUseActionPoint,
           hasActionPoint && (origin->isMonster() || (acting && origin->getActionPointsUsed() == 0)));
    enable(CE::ActionTotalDefense, acting);
    enable(CE::ActionSecondWind, acting && getAdjustedHealingSurges(origin) >= 1 && !origin->isSecondWindUsed());
    enable(CE::ActionGainHealingSurge, origin && getAdjustedHealingSurges(origin) < origin->getMaxHealingSurges());
    const bool helped = single && single != current;
    enable(CE::ActionStabilize, helped && single->isDying() && !single->isStabilized());
    enable(CE::ActionFirstAid, helped && getAdjustedHealingSurges(single) >= 1 && !single->isSecondWindUsed());
    if (!actionPopup->isIndexEnabled(actionPopup->currentIndex())) {
        actionPopup->setCurrentIndex(0);
        lastActionIndex = 0;
    }
}

void EffectDialog::actionTouched()
{
    const int index = actionPopup->currentIndex();
    if (!actionPopup->isIndexEnabled(index)) {
        actionPopup->setCurrentIndex(lastActionIndex);
        return;
    }
    lastActionIndex = index;
    recalculateHitPoints();
}

void EffectDialog::damageTouched()
{
    recalculateHitPoints();
}

void EffectDialog::healingTouched()
{
    recalculateHitPoints();
}

void EffectDialog::healingSurgeValueTouched()
{
    healing.surgeValueTouched();
    recalculateHitPoints();
}

void EffectDialog::effectControlChanged(EffectInterface::What)
{
    toggleEndCondition();
}

void EffectDialog::toggleEndCondition()
{
    const bool lasting = condition.getConditionCombo()->getCurrentUserValue() != 0
        || ongoing.getTypeCombo()->getCurrentUserValue() != 0 || bonus.getTypeCombo()->getCurrentUserValue() != 0
        || resistance.getTypeCombo()->getCurrentUserValue() != 0 || !condition.getComment().isEmpty();
    endCondition.enableEndCondition(lasting);
}

void EffectDialog::originChanged(Creature*)
{
    actionBox->setTitle(actionBoxTitle());
    recalculateHitPoints();
    endCondition.updateEndCondition();
}
