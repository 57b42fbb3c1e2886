#ifndef MAINWINDOW_H
#define MAINWINDOW_H

#include <QMainWindow>

#include "toolkit/windowsanddialogs.h"

class Creature;
class FlatDialog;
class QLabel;
class QStackedWidget;
class QTimer;
class QToolButton;
class ResizableScrollArea;

// The game master's window. It creates the application's singletons and
// deletes them again in shutdown(). In-window panels take over its central
// area while they run.
class MainWindow : public QMainWindow, public WindowsAndDialogs
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    void shutdown();
    QTimer* refreshTimer() const { return timer; }

    // The running panel (null when it ended); the panel fills in the page's title and button.
    void showFlatDialog(FlatDialog* dialog);
    // Shows a panel's content, or (null) the initiative table again. The
    // content shown before is disposed of later, unless it is shown again.
    void setFlatDialogDisplay(QWidget* widget, bool adjustHeight);
    bool runningFlatDialog() const { return runningDialog != nullptr; }
    // Every open panel rejects.
    void cancelFlatDialog() { emit doCancelFlatDialog(); }
    // Sets the players' window's show/hide action from its visibility.
    void togglePlayersWindowButton() {}

signals:
    void doCreatureEffectsChanged(Creature* creature);
    void doCancelFlatDialog();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void setupCentralWidget();

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
