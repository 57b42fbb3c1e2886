#include "toolkit/dynamicwidgets.h"

#include <QCheckBox>
#include <QCursor>
#include <QEvent>
#include <QTimer>

#include <functional>

namespace {

// Tells a widget when the mouse enters and leaves it, and hands its presses
// on queued: the click's slots may rebuild the display that owns the widget.
class HoverWatcher : public QObject
{
public:
    HoverWatcher(QWidget* widget, std::function<void(bool)> hovered, std::function<void()> clicked)
        : QObject(widget), hovered(std::move(hovered)), clicked(std::move(clicked))
    {
        widget->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::Enter:
        case QEvent::Leave:
            hovered(event->type() == QEvent::Enter);
            return false;
        case QEvent::MouseButtonPress:
            QTimer::singleShot(0, this, clicked);
            event->accept();
            return true;
        default:
            return QObject::eventFilter(watched, event);
        }
    }

private:
    std::function<void(bool)> hovered;
    std::function<void()> clicked;
};

}

int MeasuredLabel::heightForWidth(int width) const
{
    const Shape shape{text(), textFormat(), wordWrap(), margin(), indent()};
    // An empty label may show a pixmap, which has no height for a width.
    if (shape.text.isEmpty())
        return QLabel::heightForWidth(width);
    if (!(shape == measured)) {
        measures.clear();
        measured = shape;
    }
    for (const Measure& measure : std::as_const(measures))
        if (measure.width == width)
            return measure.height;
    const int height = QLabel::heightForWidth(width);
    // A refit asks at the content's natural width and at the viewport's.
    if (measures.size() == 4)
        measures.removeLast();
    measures.prepend({width, height});
    return height;
}

bool MeasuredLabel::event(QEvent* event)
{
    switch (event->type()) {
    case QEvent::FontChange:
    case QEvent::ApplicationFontChange:
    case QEvent::StyleChange:
    case QEvent::ContentsRectChange:
    case QEvent::LayoutDirectionChange: measures.clear(); break;
    default: break;
    }
    return QLabel::event(event);
}

DynamicLabel::DynamicLabel(const QString& text, const QString& hoverText, int id, QWidget* parent)
    : MeasuredLabel(text, parent), normalText(text), hoverText(hoverText), id(id)
{
    new HoverWatcher(
        this,
        [this](bool inside) {
            if (!inside)
                setText(normalText);
            else if (!this->hoverText.isEmpty())
                setText(this->hoverText);
        },
        [this] { emit clicked(this->id); });
}

void DynamicLabel::setTexts(const QString& text, const QString& hover)
{
    normalText = text;
    hoverText = hover;
    setText(normalText);
}

DynamicFrame::DynamicFrame(QWidget* child, int id, QWidget* parent) : QFrame(parent), child(child), id(id)
{
    new HoverWatcher(
        this,
        [this](bool inside) {
            if (this->child)
                this->child->setVisible(inside);
        },
        [this] { emit clicked(this->id); });
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
