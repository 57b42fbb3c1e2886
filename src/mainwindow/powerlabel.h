#ifndef POWERLABEL_H
#define POWERLABEL_H

#include <QPointer>

#include "foundation/dogtag.h"
#include "toolkit/dynamicwidgets.h"

class Creature;
class CreatureDisplay;
class CreaturePower;
class QFrame;

// The title of one power in a stat block. It highlights under the mouse and
// hands a press to its display. It keeps its creature guarded and its power
// by name, so that a creature or power gone before the next redraw is left
// alone; a redraw may give it another power to show.
class PowerLabel : public MeasuredLabel
{
    Q_OBJECT

public:
    // Made in its line's frame.
    PowerLabel(CreatureDisplay* display, QFrame* frame);

    void showPower(Creature* creature, const QString& powerName, int lineCode);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void highlight(bool on);
    // Null when the creature or its power is gone.
    const CreaturePower* findPower() const;

    QPointer<CreatureDisplay> display;
    QPointer<Creature> creature;
    QString powerName;
    QFrame* frame;
    int lineCode = 0;
    DogTag dogTag{__LINE__, __FILE__};
};

// A label the stat-block display can make for its owners.
class XLabel : public QLabel
{
    Q_OBJECT

public:
    using QLabel::QLabel;

    QSize sizeHint() const override;
};

#endif
