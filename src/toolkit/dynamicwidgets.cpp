#include "toolkit/dynamicwidgets.h"

#include <QCheckBox>
#include <QCursor>
#include <QTimer>

DynamicLabel::DynamicLabel(const QString& text, const QString& hoverText, int id, QWidget* parent)
    : QLabel(text, parent), normalText(text), hoverText(hoverText), id(id)
{
}

void DynamicLabel::setTexts(const QString& text, const QString& hover)
{
    normalText = text;
    hoverText = hover;
    setText(normalText);
}

void DynamicLabel::enterEvent(QEnterEvent* event)
{
    if (!hoverText.isEmpty())
        setText(hoverText);
    QLabel::enterEvent(event);
}

void DynamicLabel::leaveEvent(QEvent* event)
{
    setText(normalText);
    QLabel::leaveEvent(event);
}

void DynamicLabel::mousePressEvent(QMouseEvent*)
{
    QTimer::singleShot(0, this, [this] { emit clicked(id); });
}

DynamicFrame::DynamicFrame(QWidget* child, int id, QWidget* parent) : QFrame(parent), child(child), id(id)
{
}

void DynamicFrame::enterEvent(QEnterEvent* event)
{
    if (child)
        child->show();
    QFrame::enterEvent(event);
}

void DynamicFrame::leaveEvent(QEvent* event)
{
    if (child)
        child->hide();
    QFrame::leaveEvent(event);
}

void DynamicFrame::mousePressEvent(QMouseEvent*)
{
    QTimer::singleShot(0, this, [this] { emit clicked(id); });
}

void DynamicFrame::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event);
    // A frame laid out under a resting cursor gets no enter event.
    QTimer::singleShot(0, this, &DynamicFrame::showChildUnderCursor);
}

void DynamicFrame::showChildUnderCursor()
{
    if (child && rect().contains(mapFromGlobal(QCursor::pos())))
        child->show();
}

CheckboxLabel::CheckboxLabel(const QString& text, QWidget* parent) : QLabel(text, parent), checkBox(new QCheckBox)
{
}

CheckboxLabel::~CheckboxLabel()
{
    delete checkBox;
}

void CheckboxLabel::mousePressEvent(QMouseEvent*)
{
    if (checkBox)
        checkBox->click();
}
