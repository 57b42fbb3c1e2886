#ifndef CHARACTERWINDOW_H
#define CHARACTERWINDOW_H

#include <QWidget>

#include "foundation/global.h"

// editors/: the library editors, that is the monster manager, the character
// creator and the encounter editor.

// The character creator.
class CharacterWindow : public QWidget
{
    Q_OBJECT

public:
    explicit CharacterWindow(QWidget* parent = nullptr) : QWidget(parent)
    {
        connect(&Global::switchBoard, &SwitchBoard::doCharacterStatsUpdated, this,
                &CharacterWindow::characterStatsUpdated);
    }

public slots:
    // Figures changed outside the window; the creator's list and boxes fill this in.
    void characterStatsUpdated() {}
};

#endif
