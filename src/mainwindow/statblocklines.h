#ifndef STATBLOCKLINES_H
#define STATBLOCKLINES_H

#include <QList>
#include <QPixmap>
#include <QPointer>
#include <QStringList>

#include "creature/creature.h"
#include "foundation/dogtag.h"

class CreatureDisplay;
class QFrame;
class QLabel;
class QVBoxLayout;

// One line of a stat block as the data it shows. A redraw compares these
// before it touches a widget.
struct StatLine
{
    enum Form { Single, Double, Alias, Abilities, Language, PowerTitle, Detail, SectionTitle, PortraitHeader };
    // The wrap flags of a double line.
    enum Wrap { LeftWraps = 1, RightWraps = 2 };

    Form form = Single;
    // Which line of the block this is: the creature (with several shown), the part and the place in it.
    QString key;
    int code = 0;
    QPointer<Creature> creature;
    bool monster = false;
    bool trap = false;
    // One per label, left to right; an alias line has each label's text and its hover text.
    QStringList texts;
    // The section of a section title; the wrap flags of a double line.
    int option = 0;
    // The power a title line names.
    QString power;
    QPixmap portrait;

    bool operator==(const StatLine& other) const;
    bool operator!=(const StatLine& other) const { return !(*this == other); }
};

// The lines of one drawing as they are made.
class StatLineList
{
public:
    // With keyed, the creature's lines keep their widgets wherever the creature moves among several.
    void startCreature(Creature* creature, bool keyed);
    void startPart(const QString& name);
    StatLine& add(StatLine::Form form, int code, const QStringList& texts);
    // The current part's first line is padded above, its last below.
    void padPart();
    int partSize() const { return lines.size() - partStart; }
    const QList<StatLine>& all() const { return lines; }

private:
    QList<StatLine> lines;
    Creature* creature = nullptr;
    QString prefix;
    QString part;
    int partStart = 0;
};

// The column of line widgets under the stat block's root that shows a list
// of lines. A line that stays keeps its widget and gets its changed texts in
// place; widgets are made, under their final parent, only for lines that
// came, and dropped only for lines that went.
class StatBlockColumn
{
public:
    StatBlockColumn(CreatureDisplay* display, QWidget* root);

    // False when the lines are shown already.
    bool show(const QList<StatLine>& lines);

private:
    struct Drawn
    {
        StatLine line;
        QPointer<QWidget> widget;
        QList<QLabel*> labels;
        // Line frames: a portrait header holds four.
        QList<QFrame*> frames;
    };

    Drawn make(const StatLine& line) const;
    void update(Drawn& drawn, const StatLine& line) const;
    QFrame* newFrame(QWidget* parent, int code, const StatLine& line, Drawn& drawn) const;
    QLabel* newLabel(QWidget* parent, const QString& text, bool wordWrap, Drawn& drawn) const;
    void makeAliasLine(QFrame* frame, const StatLine& line, Drawn& drawn) const;
    QFrame* makeSectionTitle(QWidget* parent, const StatLine& line, Drawn& drawn) const;
    void makePortraitHeader(QWidget* container, const StatLine& line, Drawn& drawn) const;
    // Clicks act on the creature the line shows when the click arrives.
    QPointer<Creature> creatureOf(const QWidget* line) const;
    void place(QWidget* widget, int index);

    CreatureDisplay* display;
    QWidget* root;
    QVBoxLayout* column;
    QList<Drawn> drawn;
    DogTag dogTag{__LINE__, __FILE__};
};

#endif
