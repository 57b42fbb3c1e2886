#ifndef LABELMEASURES_H
#define LABELMEASURES_H

#include <QStringList>

class QWidget;

// The parts of the cut-text measure that look at labels, for tests that keep
// their own event loop; each names what it finds with where it is.

// The shown labels whose text, or a figure coloured in it, reads at less than
// 4.5:1 on the label's background.
QStringList unreadableTexts(QWidget* window);

// Labels side by side in a row whose texts come closer than a blank.
QStringList touchingTexts(QWidget* window);

// Wrapping labels with a word alone on a line over one that starts with a
// figure ("XP" over "125"): a figure parted from its label.
QStringList partedFigures(QWidget* window);

#endif
