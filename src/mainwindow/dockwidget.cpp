#include "mainwindow/dockwidget.h"

#include <QCoreApplication>
#include <QKeyEvent>

void DockWidget::keyPressEvent(QKeyEvent* event)
{
    if (isFloating() && parentWidget()) {
        QCoreApplication::sendEvent(parentWidget(), event);
        return;
    }
    QWidget::keyPressEvent(event);
}
