// Which play commands the main window offers: recomputed from the model
// whenever the fight, the selection, the HP box or the panel display changes.
#include <QAction>
#include <QSpinBox>

#include "encounter/encounter.h"
#include "encounter/history.h"
#include "foundation/global.h"
#include "mainwindow/commandavailability.h"
#include "mainwindow/mainwindow.h"
#include "toolkit/messagedialog.h"

void MainWindow::setupAvailability()
{
    availability = new CommandAvailability({startStopAct, nextTurnAct, delayAct, readyAct, jumpInAct, shortRestAct,
        extendedRestAct, conditionsEffectsAct, showHideAct, setAliasAct, removeCreaturesAct, upInitiativeAct,
        downInitiativeAct, hitAct, healAct, surgeAct, setTempHPAct, playIcon, stopIcon, nextTurnIcon, nextTurnGreyIcon,
        hideIcon, showIcon, healingSurgeIcon, healingSurgeX1Icon});
    // Every event and step changes what the fight allows: surges spent, a creature gone.
    connect(Global::history, &History::doHistoryChanged, this, &MainWindow::toggleStartStopNextButtons);
    connect(Global::history, &History::doHistoryChanged, this, &MainWindow::toggleJumpInButton);
}

void MainWindow::toggleStartStopNextButtons()
{
    // The encounter goes before the window at shut-down.
    if (!Global::encounter)
        return;
    availability->toggleStartStopNext(runningFlatDialog());
    toggleSelectionButtons();
}

void MainWindow::toggleSelectionButtons()
{
    if (Global::encounter)
        availability->toggleSelection(runningFlatDialog(), hitPointBox->value(), surgeMode);
}

void MainWindow::toggleJumpInButton()
{
    if (Global::encounter)
        availability->toggleJumpIn(runningFlatDialog());
}

void MainWindow::onCreatureSelectionChanged()
{
    hitPointBox->selectAll();
    toggleSelectionButtons();
}

void MainWindow::helpWithSelections()
{
    MessageDialog().info(tr("Help Selecting Creatures"),
        tr("<b>Left-click</b> to select a single creature.<p><b>Right-click</b> to add to a selection or toggle "
           "selection of a creature.<p>Clicking in the <b>Name column</b> will focus on the initiative list, you can "
           "then use up and down arrow to change the selection.<p>Clicking in the <b>Health column</b> will focus on "
           "the HP box in the tool bar, you can then enter a HP value or use up and down arrows to adjust.<p><b>Left-"
           "clicking</b> in the <b>Conditions and Effects column</b> triggers the Conditions and Effects dialog.<p><b>"
           "Right-clicking</b> in the <b>Conditions and Effects column</b> displays the context menu.<p><b>Shift "
           "Left-click</b> expands a selection.<p><b>Control Left-click</b> acts like a right-click."));
}
