#ifndef TEXTCOLOURS_H
#define TEXTCOLOURS_H

#include <QColor>

// Colours of texts read on white, on alternate rows and on a selected row of
// the initiative table, and of figures on the stat blocks' grey fields, each
// at 4.5:1 or more against what lies behind them.
namespace TextColours {

// A waiting, hidden, dead or stepped-back entry: still visibly lighter than black.
inline QColor greyed()
{
    return QColor(100, 100, 100);
}

// Behind a selected row of the initiative table: light enough for greyed names.
inline QColor selection()
{
    return QColor(0xcc, 0xe6, 0xff);
}

// Bloodied, lowered and pending damage: pure red reads at 2.5:1 on the grey
// fields and 4:1 even on white.
inline QColor red()
{
    return QColor(168, 0, 0);
}

}

#endif
