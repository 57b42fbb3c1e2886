// The power and action pickers of EffectCreatures: their combos and
// buttons, and the adding, duplicating, editing and deleting they offer.
#include <QScopedValueRollback>

#include "creature/creature.h"
#include "encounter/encounter.h"
#include "foundation/global.h"
#include "powerdialog/createpowerdialog.h"
#include "powerdialog/effectcreatures.h"
#include "powers/actions.h"
#include "toolkit/messagedialog.h"

namespace {

const int addCommand = -1;
const int duplicateCommand = -2;

bool isCommand(int value)
{
    return value == addCommand || value == duplicateCommand;
}

// Lists the powers or actions after an empty entry, and selects the chosen one.
void fillChoices(DisableComboBox* box, const QList<CreaturePower*>& powers, const QString& chosen, bool greyUsed)
{
    box->clear();
    box->addItem(QString());
    // Set both ways: clearing the box keeps what it had greyed.
    box->setIndexEnabled(0, true);
    int value = 0;
    for (const CreaturePower* power : powers) {
        if (power->name.isEmpty())
            continue;
        box->addItem(power->name, value++);
        box->setIndexEnabled(box->count() - 1, !(greyUsed && power->getUsed()));
        if (power->name == chosen)
            box->setCurrentIndex(box->count() - 1);
    }
}

// Duplicating needs a chosen entry of the list.
void enableDuplicate(DisableComboBox* box, const QString& chosen)
{
    const bool listed = !chosen.isEmpty() && box->findText(chosen, Qt::MatchExactly | Qt::MatchCaseSensitive) > 0;
    box->setUserValueEnabled(duplicateCommand, listed);
}

void addCommands(DisableComboBox* box, const QString& add, const QString& duplicate, const QString& chosen)
{
    box->addItem(add, addCommand);
    box->setUserValueEnabled(addCommand, true);
    box->addItem(duplicate, duplicateCommand);
    enableDuplicate(box, chosen);
}

void selectText(DisableComboBox* box, const QString& text)
{
    if (!box)
        return;
    box->setCurrentIndex(0);
    const int index = box->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index >= 0)
        box->setCurrentIndex(index);
    enableDuplicate(box, text);
}

}

QWidget* EffectCreatures::getPowerControl(bool commands)
{
    commandEntries = commands;
    powersCombo = new DisableComboBox;
    // Refilled while shown, as the creator's is: it asks for the width of what it holds now.
    powersCombo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    buildPowerComboBox();
    // Queued: the command may open a dialog and have the owner replace the panel holding the combo.
    connect(powersCombo, qOverload<int>(&QComboBox::activated), this, &EffectCreatures::powerSelected,
        Qt::QueuedConnection);
    return powersCombo;
}

void EffectCreatures::buildPowerComboBox()
{
    if (!powersCombo)
        return;
    QList<CreaturePower*> powers;
    if (origin)
        powers = origin->getPowers().getPowerList(true);
    fillChoices(powersCombo, powers, powerName, true);
    if (origin && commandEntries)
        addCommands(powersCombo, tr("Add Power..."), tr("Duplicate Power..."), powerName);
}

QWidget* EffectCreatures::getActionControl()
{
    actionsCombo = new DisableComboBox;
    buildActionComboBox();
    connect(actionsCombo, qOverload<int>(&QComboBox::activated), this, &EffectCreatures::actionSelected,
        Qt::QueuedConnection);
    return actionsCombo;
}

CreaturePower* EffectCreatures::buildActionComboBox()
{
    if (!actionsCombo)
        return nullptr;
    QList<CreaturePower*> actions;
    if (Global::actions)
        actions = Global::actions->getActionList(true);
    fillChoices(actionsCombo, actions, actionName, false);
    addCommands(actionsCombo, tr("Add Action..."), tr("Duplicate Action..."), actionName);
    return Global::actions && !actionName.isEmpty() ? Global::actions->getActionByName(actionName) : nullptr;
}

void EffectCreatures::setOriginAndPower(Creature* origin, const QString& powerName)
{
    if (busy)
        return;
    QScopedValueRollback<bool> guard(busy, true);
    this->origin = origin;
    this->powerName = powerName;
    buildPowerComboBox();
    if (addPowerButton)
        addPowerButton->setEnabled(origin != nullptr);
    if (duplicatePowerButton)
        duplicatePowerButton->setEnabled(hasChoice());
}

bool EffectCreatures::hasChoice() const
{
    return !powerName.isEmpty() || !actionName.isEmpty();
}

CreaturePower* EffectCreatures::getPowerOrAction(bool& isAction, Power::Usage& usage)
{
    isAction = false;
    if (!powerName.isEmpty()) {
        // The definition lives in the template, the usage in each creature.
        Creature* creatureTemplate = getOriginTemplate();
        CreaturePower* defined = creatureTemplate ? creatureTemplate->getPowers().getPowerByName(powerName) : nullptr;
        CreaturePower* own = origin ? origin->getPowers().getPowerByName(powerName) : nullptr;
        if (defined && own) {
            usage = own->usage;
            return defined;
        }
    }
    if (!actionName.isEmpty() && Global::actions)
        if (CreaturePower* action = Global::actions->getActionByName(actionName)) {
            usage = action->usage;
            isAction = true;
            return action;
        }
    return nullptr;
}

CreaturePower* EffectCreatures::getPowerOrAction()
{
    bool isAction;
    Power::Usage usage;
    return getPowerOrAction(isAction, usage);
}

bool EffectCreatures::choiceDeletable()
{
    const CreaturePower* chosen = hasChoice() ? getPowerOrAction() : nullptr;
    return chosen && chosen->status == CreaturePower::UserPower;
}

void EffectCreatures::selectPowerOrAction()
{
    selectText(powersCombo, powerName);
    selectText(actionsCombo, actionName);
    if (deleteButton)
        deleteButton->setEnabled(choiceDeletable());
    for (QPushButton* button : {duplicatePowerButton.data(), editButton.data()})
        if (button)
            button->setEnabled(hasChoice());
}

void EffectCreatures::powerSelected(int index)
{
    if (busy || !powersCombo)
        return;
    QScopedValueRollback<bool> guard(busy, true);
    QString text = powersCombo->itemText(index);
    const int command = powersCombo->itemData(index).toInt();
    if (isCommand(command)) {
        // A grey command does nothing: the power dialog keeps its unsaved steps.
        if (!powersCombo->isIndexEnabled(index)) {
            selectPowerOrAction();
            return;
        }
        if (!getOriginTemplate()) {
            text.clear();
        } else {
            if (!addOrDuplicatePower(command))
                return;
            text = powerName;
        }
    }
    powerName = text;
    actionName.clear();
    selectPowerOrAction();
    if (owner)
        owner->powerHeaderChanged(true);
}

void EffectCreatures::actionSelected(int index)
{
    if (busy || !actionsCombo)
        return;
    QScopedValueRollback<bool> guard(busy, true);
    QString text = actionsCombo->itemText(index);
    const int command = actionsCombo->itemData(index).toInt();
    if (isCommand(command)) {
        const QString name = command == duplicateCommand ? actionName : QString();
        CreaturePower* base = command == addCommand && !hasChoice() && owner ? owner->powerToEdit() : nullptr;
        CreatePowerDialog dialog(nullptr, name, base, Power::AnyStep, true, true);
        if (dialog.exec() != QDialog::Accepted) {
            selectPowerOrAction();
            return;
        }
        const CreaturePower* created = dialog.getPower();
        Global::actions->updateAction(created->name, created);
        text = created->name;
        actionName = text;
        buildActionComboBox();
    }
    powerName.clear();
    actionName = text;
    selectPowerOrAction();
    if (owner)
        owner->powerHeaderChanged(true);
}

bool EffectCreatures::addOrDuplicatePower(int command)
{
    Creature* creatureTemplate = getOriginTemplate();
    if (!creatureTemplate)
        return false;
    const QString name = command == duplicateCommand ? powerName : QString();
    CreaturePower* working = owner ? owner->powerToEdit() : nullptr;
    CreaturePower* base = command == addCommand && !hasChoice() ? working : nullptr;
    CreatePowerDialog dialog(creatureTemplate, name, base, Power::AnyStep, false, true);
    if (dialog.exec() != QDialog::Accepted) {
        selectPowerOrAction();
        return false;
    }
    CreaturePower* created = dialog.getPower();
    // A new power keeps the steps being edited, also when an action was chosen.
    if (command == addCommand && powerName.isEmpty() && working)
        created->program = working->program;
    powerName = created->name;
    creatureTemplate->updatePowerAndSetDirty(created->name, *created, deferSave);
    Global::encounter->updatePower(creatureTemplate->getGroup(), created->name, *created);
    buildPowerComboBox();
    return true;
}

void EffectCreatures::onAddPower()
{
    runPowerButton(addCommand);
}

void EffectCreatures::onDuplicatePower()
{
    runPowerButton(duplicateCommand);
}

void EffectCreatures::runPowerButton(int command)
{
    if (busy)
        return;
    QScopedValueRollback<bool> guard(busy, true);
    addOrDuplicatePower(command);
    if (owner)
        owner->powerHeaderChanged(true);
}

void EffectCreatures::onDeletePower()
{
    if (busy || !hasChoice())
        return;
    QScopedValueRollback<bool> guard(busy, true);
    const bool isPower = !powerName.isEmpty();
    const QString kind = isPower ? tr("Power") : tr("Action");
    const QString name = isPower ? powerName : actionName;
    if (MessageDialog().rejectableAlert(tr("Delete %1").arg(kind),
            tr("Do you really want to delete <b>%1</b>?").arg(name.toHtmlEscaped()))) {
        if (!isPower) {
            Global::actions->deleteAction(name);
            actionName.clear();
            buildActionComboBox();
        } else {
            if (Creature* creatureTemplate = getOriginTemplate()) {
                creatureTemplate->deletePowerAndSetDirty(name);
                Global::encounter->deletePower(creatureTemplate->getGroup(), name);
            }
            powerName.clear();
            buildPowerComboBox();
        }
    }
    selectPowerOrAction();
    if (owner)
        owner->powerHeaderChanged(true);
}

bool EffectCreatures::editPowerHeader(Power::StepType section)
{
    Creature* creatureTemplate = nullptr;
    const bool isAction = powerName.isEmpty();
    if (!isAction) {
        creatureTemplate = getOriginTemplate();
        if (!creatureTemplate)
            return false;
    } else if (actionName.isEmpty()) {
        return false;
    }
    if (busy)
        return false;
    QScopedValueRollback<bool> guard(busy, true);
    const QString name = isAction ? actionName : powerName;
    CreatePowerDialog dialog(creatureTemplate, name, nullptr, section, isAction, false);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    const CreaturePower* edited = dialog.getPower();
    if (isAction) {
        actionName = edited->name;
        Global::actions->updateAction(name, edited);
    } else {
        powerName = edited->name;
        creatureTemplate->updatePowerAndSetDirty(name, *edited, deferSave);
        Global::encounter->updatePower(creatureTemplate->getGroup(), name, *edited);
    }
    if (edited->name != name)
        isAction ? (void)buildActionComboBox() : buildPowerComboBox();
    selectPowerOrAction();
    if (owner)
        owner->powerHeaderChanged(false);
    return true;
}

void EffectCreatures::onEditHeader()
{
    editPowerHeader(Power::AnyStep);
}

QPushButton* EffectCreatures::commandButton(QPointer<QPushButton>& button, const QString& text, bool enabled,
    void (EffectCreatures::*command)())
{
    button = new QPushButton(text);
    button->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Minimum);
    button->setEnabled(enabled);
    // Queued: the command may open a dialog and have the owner replace the panel holding the button.
    connect(button, &QPushButton::clicked, this, command, Qt::QueuedConnection);
    return button;
}

QWidget* EffectCreatures::getDeletePower()
{
    return commandButton(deleteButton, tr("Delete"), choiceDeletable(), &EffectCreatures::onDeletePower);
}

QWidget* EffectCreatures::getEditPower()
{
    return commandButton(editButton, tr("Edit"), hasChoice(), &EffectCreatures::onEditHeader);
}

QWidget* EffectCreatures::getAddPower()
{
    return commandButton(addPowerButton, tr("Add Power..."), origin != nullptr, &EffectCreatures::onAddPower);
}

QWidget* EffectCreatures::getDuplicatePower()
{
    return commandButton(duplicatePowerButton, tr("Duplicate Power..."), hasChoice(),
        &EffectCreatures::onDuplicatePower);
}

void EffectCreatures::resetControls()
{
    deleteButton = nullptr;
    editButton = nullptr;
}
