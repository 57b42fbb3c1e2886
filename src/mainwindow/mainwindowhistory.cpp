// The main window's commands on the history log as a whole, the data folder
// and the application, and what it does while the log is replayed.
#include <QAction>
#include <QTextEdit>
#include <QTimer>

#include "encounter/encounter.h"
#include "encounter/history.h"
#include "foundation/global.h"
#include "library/characters.h"
#include "library/monsters.h"
#include "mainwindow/mainwindow.h"
#include "mainwindow/playerswindow.h"
#include "toolkit/languagedialog.h"
#include "toolkit/messagedialog.h"

void MainWindow::onStepBack()
{
    Global::history->back();
}

void MainWindow::onStepForward()
{
    Global::history->forward(false);
}

void MainWindow::toggleForwardBackButtons()
{
    const History* history = Global::history;
    const bool free = !runningFlatDialog();
    stepBackAct->setEnabled(free && history->hasBack());
    stepForwardAct->setEnabled(free && history->hasForward());
    newHistoryAct->setEnabled(free && (history->hasBack() || history->hasForward()));
    truncateHistoryAct->setEnabled(free && history->trancateable());
}

void MainWindow::toggleFileButtons()
{
    for (QAction* action : {setRootAct, selectLanguageAct, pickPartyAct, loadEncounterAct, addMonsterAct})
        action->setEnabled(!runningFlatDialog());
}

void MainWindow::onTruncateHistory()
{
    if (MessageDialog().rejectableAlert(tr("Truncate History File"),
            tr("This action will remove all events after this point from the History. Normally you will not need "
               "to do this, continuing with a new action beyond this point will automatically truncate.<p>However, "
               "if you are experiencing a problem with the History (for example, the end is corrupt) then truncating "
               "and restarting should solve the problem."),
            tr("Truncate")))
        Global::history->truncate();
}

void MainWindow::onNewHistory()
{
    const bool accepted = Global::encounter->isRunning()
        ? MessageDialog().rejectableAlert(tr("Encounter Running"),
              tr("An encounter is still running. When you clear the history log, the encounter state will be lost."
                 "<p>A backup of the history.log will be made in the 'Ravelhorn Data/History' folder."),
              tr("Clear History"))
        : MessageDialog().rejectableInfo(tr("Clear History"),
              tr("Clearing the history log will reset all encounters and characters.<p>A backup of the history.log "
                 "will be made in the 'Ravelhorn Data/History' folder."),
              tr("Continue"));
    if (!accepted || !Global::history->newHistory())
        return;
    Global::encounter->reset();
    Global::monsters->removeMonsterInstances();
    Global::characters->resetCharacters();
    Global::history->reset();
    updateMainInitiativeList();
    Global::playersWindow->updateMainInitiativeList();
}

void MainWindow::onSetRoot()
{
    Global::setRootPath(QString(), QString());
}

void MainWindow::onSelectLanguage()
{
    LanguageDialog(Global::translation).runDialog();
}

void MainWindow::onAbout()
{
    MessageDialog().about(tr("About Ravelhorn"),
        tr("<b>Ravelhorn</b> is a program that helps Dungeon Master's manage combat encounters in a role-playing "
           "game.<p>It is compatible with the latest edition of the most popular fantasy RPG ever produced!")
            + "<p>" + Global::getBuildDetails());
}

void MainWindow::startLoadingHistory()
{
    Global::encounter->clearSelectedCreatures();
    playersWindowWasHidden = Global::playersWindow->isHidden();
    Global::playersWindow->hide();
    setPauseUpdate(true);
    hide();
    timer->stop();
}

void MainWindow::doneLoadingHistory()
{
    if (!timer->isActive())
        timer->start(600);
    show();
    setPauseUpdate(false);
    if (!playersWindowWasHidden)
        Global::playersWindow->show();
    // Hidden for the replay, the window told the action so; shown again, it does not.
    togglePlayersWindowButton();
}

void MainWindow::debugStr(const QString& line)
{
    debugEdit->append(line);
    debugEdit->setVisible(true);
}
