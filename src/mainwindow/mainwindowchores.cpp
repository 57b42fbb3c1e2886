#include "mainwindow/mainwindow.h"

#include "foundation/global.h"

// The chores the model announces; the commands and the initiative table
// that they bring up to date fill these in.

void MainWindow::connectChores()
{
    SwitchBoard* board = &Global::switchBoard;
    connect(board, &SwitchBoard::doSetMainWindowTitle, this, &MainWindow::setWindowTitle);
    connect(board, &SwitchBoard::doSetLeftStatus, this, &MainWindow::setLeftStatus);
    connect(board, &SwitchBoard::doSetRightStatus, this, &MainWindow::setRightStatus);
    connect(board, &SwitchBoard::doToggleSelectionButtons, this, &MainWindow::toggleSelectionButtons);
    connect(board, &SwitchBoard::doToggleJumpInButton, this, &MainWindow::toggleJumpInButton);
    connect(board, &SwitchBoard::doToggleForwardBackButtons, this, &MainWindow::toggleForwardBackButtons);
    connect(board, &SwitchBoard::doToggleStartStopNextButtons, this, &MainWindow::toggleStartStopNextButtons);
    connect(board, &SwitchBoard::doStartLoadingHistory, this, &MainWindow::startLoadingHistory);
    connect(board, &SwitchBoard::doDoneLoadingHistory, this, &MainWindow::doneLoadingHistory);
    connect(board, &SwitchBoard::doSetPauseUpdate, this, &MainWindow::setPauseUpdate);
    connect(board, &SwitchBoard::doPerformTurnStart, this, &MainWindow::performTurnStart);
}
