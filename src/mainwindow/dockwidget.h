#ifndef DOCKWIDGET_H
#define DOCKWIDGET_H

#include <QDockWidget>

// A dock of the main window. Keys it leaves unhandled reach the main window,
// docked or floating (a floating dock is a window of its own, where keys
// would otherwise stop).
class DockWidget : public QDockWidget
{
    Q_OBJECT

public:
    DockWidget(const QString& title, QWidget* parent) : QDockWidget(title, parent) {}

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

#endif
