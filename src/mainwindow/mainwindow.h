#ifndef MAINWINDOW_H
#define MAINWINDOW_H

#include <QMainWindow>

class QTimer;

// The game master's window. It creates the application's singletons and
// deletes them again in shutdown().
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    void shutdown();
    // True while an in-window panel runs; none exists yet.
    bool runningFlatDialog() const { return false; }
    QTimer* refreshTimer() const { return timer; }

signals:
    void doCancelFlatDialog();

private:
    QTimer* timer;
};

#endif
