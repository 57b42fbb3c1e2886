#ifndef UNREADABLETEXTS_H
#define UNREADABLETEXTS_H

#include <QStringList>

class QWidget;

// The shown labels whose text, or a figure coloured in it, reads at less than
// 4.5:1 on the label's background, with where they are. Part of the cut-text
// measure, for tests that keep their own settle().
QStringList unreadableTexts(QWidget* window);

#endif
