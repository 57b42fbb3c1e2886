#ifndef MAINWINDOW_H
#define MAINWINDOW_H

#include <QMainWindow>

#include "toolkit/panelhost.h"
#include "toolkit/windowsanddialogs.h"

class Creature;
class FlatDialog;
class QLabel;
class QStackedWidget;
class QTimer;
class QToolButton;
class ResizableScrollArea;

// mainwindow/: the game master's window, its initiative table and docks,
// and the players' window.

// The game master's window. It creates the application's singletons and
// deletes them again in shutdown(). In-window panels take over its central
// area while they run.
class MainWindow : public QMainWindow, public WindowsAndDialogs, public PanelHost
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    void shutdown();
    QTimer* refreshTimer() const { return timer; }

    // The panel host: panels replace the initiative table.
    void showFlatDialog(FlatDialog* dialog) override;
    void setFlatDialogDisplay(QWidget* widget, bool adjustHeight) override;
    bool runningFlatDialog() const override { return runningDialog != nullptr; }
    void cancelFlatDialog() override { emit doCancelFlatDialog(); }
    void panelClosed() override;

public slots:
    // The chores the model announces on the switchboard.
    void setLeftStatus(const QString& text);
    void setRightStatus(const QString& text);
    void toggleSelectionButtons();
    void toggleJumpInButton();
    void toggleForwardBackButtons();
    void toggleStartStopNextButtons();
    void startLoadingHistory();
    void doneLoadingHistory();
    void setPauseUpdate(bool pause);
    void performTurnStart();

signals:
    void doCreatureEffectsChanged(Creature* creature);
    void doCancelFlatDialog();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void setupCentralWidget();
    void connectChores();

    QStackedWidget* centralStack = nullptr;
    QWidget* initiativePage = nullptr;
    ResizableScrollArea* flatDialogArea = nullptr;
    QLabel* flatDialogTitle = nullptr;
    QToolButton* flatDialogButton = nullptr;
    QWidget* flatDialogPage = nullptr;
    FlatDialog* runningDialog = nullptr;
    QTimer* timer;
};

#endif
