#include "mainwindow/powerlabel.h"

#include <QFrame>

#include "creature/creature.h"
#include "mainwindow/creaturedisplay.h"

PowerLabel::PowerLabel(CreatureDisplay* display, Creature* creature, const CreaturePower* power, QFrame* frame,
                       int lineCode)
    : QLabel(power->getTitleText(false, false)), display(display), creature(creature), powerName(power->name),
      frame(frame), lineCode(lineCode)
{
    setTextFormat(Qt::RichText);
    setContentsMargins(0, 0, 0, 0);
    setWordWrap(true);
    setMouseTracking(true);
    setStyleSheet("QLabel { padding: 0px }");
}

void PowerLabel::mousePressEvent(QMouseEvent*)
{
    if (!display)
        return;
    // What the click starts may open a panel whose refresh ticks replace this label.
    QMetaObject::invokeMethod(
        display.data(), [display = display, creature = creature, name = powerName] {
            if (display)
                display->powerClicked(creature, name);
        },
        Qt::QueuedConnection);
}

void PowerLabel::mouseMoveEvent(QMouseEvent*)
{
}

void PowerLabel::enterEvent(QEnterEvent*)
{
    highlight(true);
}

void PowerLabel::leaveEvent(QEvent*)
{
    highlight(false);
}

void PowerLabel::highlight(bool on)
{
    const CreaturePower* power = findPower();
    if (!power || !display)
        return;
    setText(power->getTitleText(on, display->isEditorMode()));
    frame->setStyleSheet(CreatureDisplay::lineStyle(on ? lineCode | LineCode::Highlighted : lineCode, creature));
}

const CreaturePower* PowerLabel::findPower() const
{
    return creature ? creature->getPowers().getPowerByName(powerName) : nullptr;
}

QSize XLabel::sizeHint() const
{
    return QLabel::sizeHint();
}
