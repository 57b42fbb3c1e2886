// Which of the application's windows the game master works in, and the
// services panels and views ask of the main window.
#include <QAction>
#include <QApplication>
#include <QSpinBox>

#include "editors/characterwindow.h"
#include "editors/managerwindow.h"
#include "foundation/global.h"
#include "mainwindow/dockwidget.h"
#include "mainwindow/maininitiativelist.h"
#include "mainwindow/mainwindow.h"
#include "mainwindow/playerswindow.h"
#include "toolkit/messagedialog.h"

void MainWindow::focusOnHitPointBox()
{
    hitPointBox->setFocus(Qt::OtherFocusReason);
    hitPointBox->selectAll();
}

void MainWindow::setPauseUpdate(bool pause)
{
    initiativeList->setPauseUpdate(pause);
}

void MainWindow::updateMainInitiativeList()
{
    initiativeList->updateList();
}

void MainWindow::onFocusChanged(QWidget*, QWidget* now)
{
    if (now == this)
        initiativeList->setFocus(Qt::OtherFocusReason);
    toggleActiveWindow(QApplication::activeWindow());
}

void MainWindow::toggleActiveWindow(QWidget* window)
{
    // A dialog, a message box, the debug window or a floating dock is no change of window.
    const bool editor = window && (window == (QWidget*)Global::managerWindow || window == (QWidget*)Global::characterWindow);
    if (!editor && (!window || (window != this && window != (QWidget*)Global::playersWindow)))
        return;
    Global::currentWindow = window;
    if (editor == editorWindowActive)
        return;
    for (int which = 0; which < DockCount; which++) {
        DockWidget* next = dock(which);
        if (editor && !next->isHidden() && next->isFloating())
            next->hide();
        else if (!editor && next->isHidden() && !dockHiddenByUser[which])
            next->show();
    }
    editorWindowActive = editor;
    for (QAction* toggle : dockToggleActs)
        toggle->setEnabled(!editor);
}

void MainWindow::activateWindowOf(QWidget* window)
{
    if (!window->isVisible())
        window->setVisible(true);
    window->activateWindow();
}

void MainWindow::activateMainWindow()
{
    activateWindowOf(this);
}

void MainWindow::activateCharacterWindow()
{
    activateWindowOf(Global::characterWindow);
}

void MainWindow::activateManagerWindow()
{
    activateWindowOf(Global::managerWindow);
    if (managerHintShown)
        return;
    MessageDialog().hideableInfo("managerWindow/hint", tr("Monster Manager Hint"),
        tr("<b>Hint:</b> To create a Monster, click 'New', then paste a complete, unmodified Stat Block from the "
           "Compendium or Adventure Tools into the space provided.<p>Click on the portrait frame to select a picture "
           "for the monster. The image will be copied to your 'Portraits' folder.<p>Add Monsters to an encounter by "
           "clicking the Right Arrow button after selecting an encounter.<p>The filters can be used to reduce the "
           "number of items in the lists."));
    managerHintShown = true;
    activateWindowOf(Global::managerWindow);
}

void MainWindow::onTogglePlayerWindow()
{
    Global::playersWindow->setVisible(!Global::playersWindow->isVisible());
    togglePlayersWindowButton();
}

void MainWindow::noteDockToggled(int which)
{
    dockHiddenByUser[which] = !dockToggleActs[which]->isChecked();
}

void MainWindow::toggleCurrentWindow()
{
    noteDockToggled(CurrentDock);
}

void MainWindow::toggleSelectedWindow()
{
    noteDockToggled(SelectedDock);
}

void MainWindow::toggleHistoryWindow()
{
    noteDockToggled(HistoryDock);
}

void MainWindow::toggleEffectsWindow()
{
    noteDockToggled(EffectsDock);
}
