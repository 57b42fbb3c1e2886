// The character creator's "Program Powers" tab: one power of the selected
// character in the power editor, and the check that writes the edited
// program into the character's stat block once the edits pause.
#include "editors/characterwindow.h"

#include <QPlainTextEdit>
#include <QScopedValueRollback>
#include <QTabWidget>
#include <QVBoxLayout>

#include "editors/librarylistmodels.h"
#include "powers/powerstep.h"

namespace {

QString programText(const CreaturePower* power)
{
    return QString::fromUtf8(power->getPowerProgram("\n", true));
}

}

QWidget* CharacterWindow::buildPowersTab()
{
    powerScrollArea = new ResizableScrollArea(false, false);
    powerCheckTimer.setSingleShot(true);
    auto* layout = new QVBoxLayout;
    layout->setContentsMargins(5, 5, 5, 5);
    layout->addWidget(wrappingRow(
        {effectCreatures.getPowerControl(false), effectCreatures.getAddPower(), effectCreatures.getDuplicatePower()}));
    layout->addWidget(powerScrollArea);
    return layoutToWidget(layout);
}

CreaturePower* CharacterWindow::programmedPower() const
{
    if (!programCreature || programPowerName.isEmpty())
        return nullptr;
    return programCreature->getPowers().getPowerByName(programPowerName);
}

void CharacterWindow::schedulePowerCheck(int milliseconds)
{
    powerCheckTimer.stop();
    powerCheckTimer.start(milliseconds);
}

void CharacterWindow::runPendingPowerCheck()
{
    if (!powerCheckTimer.isActive())
        return;
    powerCheckTimer.stop();
    powerChanged();
}

void CharacterWindow::onPowerChecked()
{
    powerChanged();
}

void CharacterWindow::powerStepChanged(PowerStep*)
{
    schedulePowerCheck(700);
}

void CharacterWindow::stepsReshaped(PowerStep* step)
{
    tabHandler.reset();
    powerWidget->setTabOrder(&tabHandler);
    if (PowerStep* focus = step ? step : programPower->program.getStep(0, powerWidget->getStepType()))
        focus->setDefaultFocus();
    schedulePowerCheck(500);
}

bool CharacterWindow::powerChanged()
{
    CreaturePower* power = programmedPower();
    if (!power) {
        programPowerName.clear();
        return false;
    }
    const QString text = programText(power);
    if (text == lastProgramText)
        return false;
    lastProgramText = text;
    {
        // The character's update is this window's own: its editor stays.
        QScopedValueRollback<bool> own(checkingPower, true);
        QScopedValueRollback<bool> guard(updatingEditBoxes, true);
        programCreature->resetStatBlock();
        if (programCreature == listModel->getSelectedCharacter())
            setStatBlockText(programCreature->getStatBlock());
    }
    creatureDisplay.displayCreature(programCreature);
    programCreature->dirtyStateHasChanged();
    toggleCharacterButtons();
    listModel->characterChanged();
    return true;
}

void CharacterWindow::retirePowerWidget()
{
    tabHandler.reset();
    if (!powerWidget)
        return;
    programTab = powerWidget->getStepType();
    powerScrollArea->takeWidget();
    powerWidget->hide();
    // Still a child: a window deleted before the next turn of the event loop takes it along.
    powerWidget->setParent(this);
    powerWidget->deleteLater();
    powerWidget = nullptr;
    programPower = nullptr;
}

void CharacterWindow::rebuildDialog(PowerStep* step, Power::StepType tab, int hitScroll, int missScroll,
                                    int effectScroll, bool, bool skip)
{
    if (skip)
        return;
    retirePowerWidget();
    effectCreatures.resetControls();
    programTouched = false;
    if (CreaturePower* power = programmedPower()) {
        powerWidget = new PowerWidget(this, &effectCreatures, power, false, tab, hitScroll, missScroll, effectScroll);
        powerWidget->setContentsMargins(8, 5, 8, 5);
        powerWidget->scrollTo(hitScroll, missScroll, effectScroll);
        powerWidget->showIn(powerScrollArea);
        powerScrollArea->setAdjustHeight(true);
        powerScrollArea->adjustSize();
        powerWidget->setTabOrder(&tabHandler);
        programPower = power;
        if (PowerStep* focus = step ? step : power->program.getStep(0, tab))
            focus->setDefaultFocus();
        power->setup(false);
    } else {
        programPowerName.clear();
    }
    schedulePowerCheck(500);
}

void CharacterWindow::powerHeaderChanged(bool)
{
    bool isAction = false;
    Power::Usage usage;
    const CreaturePower* chosen = effectCreatures.getPowerOrAction(isAction, usage);
    programPowerName = chosen && !isAction ? chosen->name : QString();
    // An edited header is stored over the power, its steps with it: the editor is built anew.
    rebuildDialog(nullptr, powerWidget ? powerWidget->getStepType() : programTab, 0, 0, 0, false, false);
}

void CharacterWindow::programCharacterChanged(Creature* character, bool outside)
{
    CreaturePower* found = character && character == programCreature ? programmedPower() : nullptr;
    bool rebuild = true;
    if (found) {
        const bool changed = powerChanged();
        rebuild = changed || outside || programTouched || found != programPower;
    } else {
        lastProgramText.clear();
        programCreature = character;
        programPowerName.clear();
    }
    effectCreatures.setOriginAndPower(programCreature, programPowerName);
    if (!rebuild)
        return;
    if (powerWidget)
        programTab = powerWidget->getStepType();
    rebuildDialog(nullptr, found ? programTab : Power::Hit, 0, 0, 0, false, false);
}

void CharacterWindow::selectProgramPower(Creature* character, CreaturePower* power, Power::StepType tab,
                                         int hitScroll, int missScroll, int effectScroll)
{
    if (character && character == programCreature && power && power->name == programPowerName && powerWidget
        && !programTouched)
        return;
    powerChanged();
    const bool given = character && power;
    programCreature = given ? character : nullptr;
    programPowerName = given ? power->name : QString();
    lastProgramText = given ? programText(power) : QString();
    effectCreatures.setOriginAndPower(programCreature, programPowerName);
    rebuildDialog(nullptr, tab, hitScroll, missScroll, effectScroll, true, false);
}

void CharacterWindow::onPowerClicked(Creature* character, CreaturePower* power)
{
    selectProgramPower(character, power, Power::Hit, 0, 0, 0);
    if (CreaturePower* programmed = programmedPower()) {
        if (PowerStep* first = programmed->program.getStep(0, Power::Hit))
            first->setDefaultFocus();
        programmed->setup(false);
    }
    tabs->setCurrentIndex(powersTabIndex);
}
