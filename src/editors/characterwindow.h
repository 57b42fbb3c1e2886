#ifndef CHARACTERWINDOW_H
#define CHARACTERWINDOW_H

#include <QWidget>

// The character creator.
class CharacterWindow : public QWidget
{
    Q_OBJECT

public:
    explicit CharacterWindow(QWidget* parent = nullptr) : QWidget(parent) {}
};

#endif
