#include "mainwindow/powerlabel.h"

#include <QFrame>

#include "creature/creature.h"
#include "mainwindow/creaturedisplay.h"

PowerLabel::PowerLabel(CreatureDisplay* display, QFrame* frame) : MeasuredLabel(frame), display(display), frame(frame)
{
    setTextFormat(Qt::RichText);
    setContentsMargins(0, 0, 0, 0);
    setWordWrap(true);
    setMouseTracking(true);
}

void PowerLabel::showPower(Creature* shown, const QString& name, int code)
{
    creature = shown;
    powerName = name;
    lineCode = code;
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
    LineLook::apply(frame, on ? lineCode | LineCode::Highlighted : lineCode, creature->isMonster(), creature->isTrap());
}

const CreaturePower* PowerLabel::findPower() const
{
    return creature ? creature->getPowers().getPowerByName(powerName) : nullptr;
}

QSize XLabel::sizeHint() const
{
    return QLabel::sizeHint();
}
