#ifndef CREATURESTYLE_H
#define CREATURESTYLE_H

#include <QString>

class QFrame;

// The colours of one kind of stat block. Each fragment opens a style-sheet
// rule body; the stat block's one style sheet completes it.
struct CreatureStyle
{
    QString title;
    QString details;
    QString effects;
    QString sectionTitle;
    QString powerTitle;
    QString powerTitleAlt;
    QString powerText;
    QString powerTextUsed;
    QString abilities;
    QString footer;
};

// A stat-block line's code: the kind in the low byte, flags above it.
namespace LineCode {
enum Kind : int {
    Title = 1,
    PortraitTitle = 2,
    Details = 3,
    Effects = 4,
    SectionTitle = 5,
    PowerTitle = 6,
    PowerText = 7,
    PowerDetail = 8,
    Abilities = 9,
    Footer = 10,
    Note = 11,
    KindMask = 0xff,
};
enum Flag : int {
    PadAbove = 0x100,
    PadBelow = 0x200,
    Used = 0x400,
    Highlighted = 0x800,
};
}

// How a stat block looks: one style sheet for its root, and the dynamic
// properties by which each line frame picks its colours and paddings there.
namespace LineLook {
QString styleSheet();
// Sets the line's code and look; a line already styled is styled again, with its labels.
void apply(QFrame* line, int code, bool monster, bool trap);
}

#endif
