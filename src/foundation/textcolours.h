#ifndef TEXTCOLOURS_H
#define TEXTCOLOURS_H

#include <QColor>

// Colours of texts read on white, on alternate rows and on a selected row of
// the initiative table, and of figures on the stat blocks' grey and tan
// fields and over the health bars' bands, each at 4.5:1 or more against what
// lies behind them. One colour per meaning, whatever the field.
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

// Bloodied, lowered, pending damage and what is wrong: pure red reads at
// 1.9:1 on a trap's tan field and 4:1 even on white.
inline QColor red()
{
    return QColor(140, 0, 0);
}

// Raised and pending gains: pure blue reads at 4.1:1 on a trap's tan field.
inline QColor blue()
{
    return QColor(0, 0, 204);
}

}

#endif
