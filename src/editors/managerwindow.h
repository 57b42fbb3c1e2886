#ifndef MANAGERWINDOW_H
#define MANAGERWINDOW_H

#include <QWidget>

// The monster manager with its encounter editor.
class ManagerWindow : public QWidget
{
    Q_OBJECT

public:
    explicit ManagerWindow(QWidget* parent = nullptr) : QWidget(parent) {}
};

#endif
