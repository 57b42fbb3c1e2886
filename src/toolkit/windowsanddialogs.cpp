#include "toolkit/windowsanddialogs.h"

#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QSplitter>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

#include "toolkit/dynamicwidgets.h"
#include "toolkit/scrollandtabs.h"
#include "toolkit/wrappinglayout.h"

namespace {
const int stretchFactor = 2;

// A tool button at least its given width that widens to show its whole text
// (a translation or a text set later may be longer); showing only an icon or
// an arrow, it keeps the given width.
class LeastSizeToolButton : public QToolButton
{
public:
    explicit LeastSizeToolButton(int width) : width(width) {}

    QSize sizeHint() const override { return fitted(QToolButton::sizeHint()); }
    QSize minimumSizeHint() const override { return fitted(QToolButton::minimumSizeHint()); }

private:
    QSize fitted(QSize hint) const
    {
        if (!width)
            return hint;
        const bool textShown = !text().isEmpty()
                               && (toolButtonStyle() != Qt::ToolButtonIconOnly
                                   || (icon().isNull() && arrowType() == Qt::NoArrow));
        hint.setWidth(textShown ? qMax(width, hint.width()) : width);
        return hint;
    }

    int width;
};
}

QSize PaneWidget::minimumSizeHint() const
{
    QSize least = QWidget::minimumSizeHint();
    if (ScrollingPane::measuringWhole())
        return least.expandedTo(QSize(sizeHint().width(), 0));
    const QMargins margins = layout() ? layout()->contentsMargins() : QMargins();
    for (const QScrollArea* area : findChildren<QScrollArea*>(QString(), Qt::FindDirectChildrenOnly))
        if (const QWidget* content = area->widget())
            least.setWidth(qMax(least.width(), content->minimumSizeHint().width() + 2 * area->frameWidth()
                                                   + area->verticalScrollBar()->sizeHint().width() + margins.left()
                                                   + margins.right()));
    return least;
}

QLabel* WindowsAndDialogs::htmlLabel(const QString& text)
{
    auto* label = new QLabel(text);
    label->setTextFormat(Qt::RichText);
    label->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Preferred);
    return label;
}

DynamicLabel* WindowsAndDialogs::dynamicHtmlLabel(const QString& text, const QString& hoverText, int id)
{
    auto* label = new DynamicLabel(text, hoverText, id);
    label->setTextFormat(Qt::RichText);
    label->setContentsMargins(0, 0, 0, 0);
    label->setWordWrap(true);
    label->setStyleSheet("QLabel { padding: 0px }");
    return label;
}

void WindowsAndDialogs::fillBox(QBoxLayout* layout, int margin, bool stretchBefore, bool stretchAfter,
    std::initializer_list<QWidget*> widgets)
{
    layout->setContentsMargins(margin, margin, margin, margin);
    if (stretchBefore)
        layout->addStretch(stretchFactor);
    for (QWidget* widget : widgets)
        if (widget)
            layout->addWidget(widget);
    if (stretchAfter)
        layout->addStretch(stretchFactor);
}

QHBoxLayout* WindowsAndDialogs::hLayout(QWidget* w1, QWidget* w2, QWidget* w3, QWidget* w4, QWidget* w5, QWidget* w6)
{
    auto* layout = new QHBoxLayout;
    fillBox(layout, 0, false, false, {w1, w2, w3, w4, w5, w6});
    return layout;
}

QHBoxLayout* WindowsAndDialogs::hLayout(int margin, QWidget* w1, QWidget* w2)
{
    auto* layout = new QHBoxLayout;
    fillBox(layout, margin, false, false, {w1, w2});
    return layout;
}

QVBoxLayout* WindowsAndDialogs::vLayout(bool stretchBefore, bool stretchAfter, QWidget* w1, QWidget* w2,
    QWidget* w3, QWidget* w4, QWidget* w5, QWidget* w6)
{
    auto* layout = new QVBoxLayout;
    fillBox(layout, 0, stretchBefore, stretchAfter, {w1, w2, w3, w4, w5, w6});
    return layout;
}

QWidget* WindowsAndDialogs::hWidget(QWidget* w1, QWidget* w2, QWidget* w3, QWidget* w4, QWidget* w5, QWidget* w6)
{
    return layoutToWidget(hLayout(w1, w2, w3, w4, w5, w6));
}

QWidget* WindowsAndDialogs::hWidget(bool stretchBefore, bool stretchAfter, QWidget* w1, QWidget* w2,
    QWidget* w3, QWidget* w4, QWidget* w5, QWidget* w6)
{
    auto* layout = new QHBoxLayout;
    fillBox(layout, 0, stretchBefore, stretchAfter, {w1, w2, w3, w4, w5, w6});
    return layoutToWidget(layout);
}

QWidget* WindowsAndDialogs::layoutToWidget(QLayout* layout)
{
    auto* widget = new QWidget;
    widget->setContentsMargins(0, 0, 0, 0);
    widget->setLayout(layout);
    return widget;
}

void WindowsAndDialogs::reserveWidth(QLabel* label, const QStringList& texts)
{
    const QString shown = label->text();
    // Measured with the style sheet it will be drawn with.
    label->ensurePolished();
    int widest = label->sizeHint().width();
    for (const QString& text : texts) {
        label->setText(text);
        widest = qMax(widest, label->sizeHint().width());
    }
    label->setText(shown);
    label->setMinimumWidth(widest);
}

namespace {

// Built on the cached item that addWidget would make, so each layout pass does
// not ask the whole widget below for its sizes again.
class YieldingItem : public QWidgetItemV2
{
public:
    using QWidgetItemV2::QWidgetItemV2;

    QSize sizeHint() const override { return minimumSize(); }
};

}

void WindowsAndDialogs::addYielding(QBoxLayout* layout, QWidget* widget, int stretch)
{
    if (QWidget* parent = layout->parentWidget())
        widget->setParent(parent);
    layout->addItem(new YieldingItem(widget));
    layout->setStretch(layout->count() - 1, stretch);
}

QWidget* WindowsAndDialogs::wrappingRow(std::initializer_list<QWidget*> widgets, int spacing, bool centred)
{
    auto* row = new WrappingLayout(WrappingLayout::OwnWidths);
    row->setCentred(centred);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(spacing);
    for (QWidget* widget : widgets)
        row->addWidget(widget);
    return layoutToWidget(row);
}

int WindowsAndDialogs::statBlockWidth(const QWidget* widget)
{
    return widget->fontMetrics().averageCharWidth() * 54;
}

QToolButton* WindowsAndDialogs::toolButton(const QString& text, int width, int height, Arrow arrow)
{
    auto* button = new LeastSizeToolButton(width);
    button->setText(text);
    button->setMinimumHeight(height);
    button->setMaximumHeight(height);
    switch (arrow) {
    case ArrowLeft: button->setArrowType(Qt::LeftArrow); break;
    case ArrowRight: button->setArrowType(Qt::RightArrow); break;
    case ArrowDown: button->setArrowType(Qt::DownArrow); break;
    case ArrowUp: button->setArrowType(Qt::UpArrow); break;
    default: break;
    }
    return button;
}

QToolButton* WindowsAndDialogs::toolButton(const QString& text, const QString& tip, const QString& shortcut)
{
    const QKeySequence keys(shortcut);
    const QString native = keys.toString(QKeySequence::NativeText);
    auto* button = new QToolButton;
    button->setText(text + " " + native);
    button->setToolTip(tip + " " + native);
    button->setShortcut(keys);
    button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    return button;
}

QSpinBox* WindowsAndDialogs::digitBox(int maximum, int minimum, int value, bool setValue)
{
    auto* box = new QSpinBox;
    box->setRange(minimum, maximum);
    if (setValue) {
        box->setValue(value);
        box->selectAll();
    }
    return box;
}

void WindowsAndDialogs::setComboBox(QComboBox* box, const QString& text)
{
    const int index = box->findText(text, Qt::MatchFixedString);
    if (index >= 0)
        box->setCurrentIndex(index);
    else if (box->isEditable())
        box->setEditText(text);
    else
        box->setCurrentIndex(0);
}

QString WindowsAndDialogs::getComboBox(QComboBox* box)
{
    return box->currentText();
}

void WindowsAndDialogs::restoreWindowState(QWidget* window, QSplitter* splitter, const QString& key)
{
    QSettings settings;
    const QByteArray geometry = settings.value(key + "/geometry").toByteArray();
    if (!geometry.isNull()) {
        window->restoreGeometry(geometry);
    } else {
        window->resize(ScrollingPane::firstStartSize(window));
        placeInsideScreen(window);
    }
    QList<int> sizes;
    for (const QVariant& size : settings.value(key + "/splitterSizes").toList())
        sizes.append(size.toInt());
    if (!sizes.isEmpty())
        splitter->setSizes(sizes);
}

namespace {

// The frame around a window shown already, else a title bar's and a border's worth.
QMargins windowFrame()
{
    for (const QWidget* shown : QApplication::topLevelWidgets()) {
        const QRect inner = shown->geometry();
        const QRect outer = shown->frameGeometry();
        if (shown->isVisible() && outer != inner)
            return QMargins(inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
                            outer.bottom() - inner.bottom());
    }
    return QMargins(8, 32, 8, 8);
}

}

void WindowsAndDialogs::placeInsideScreen(QWidget* window)
{
    const QScreen* screen = window->screen();
    if (!screen)
        return;
    const QMargins frame = windowFrame();
    const QRect room = screen->availableGeometry() - frame;
    QRect placed(QPoint(0, 0), window->size());
    placed.moveCenter(room.center());
    // One larger than the room keeps its size; its title bar at least stays in reach.
    placed.moveTopLeft(QPoint(qMax(placed.left(), room.left()), qMax(placed.top(), room.top())));
    // The geometry leaves the frame out: the frame then lies inside the screen too.
    window->setGeometry(placed);
}

void WindowsAndDialogs::storeWindowState(QWidget* window, QSplitter* splitter, const QString& key)
{
    QSettings settings;
    settings.setValue(key + "/geometry", window->saveGeometry());
    QVariantList sizes;
    for (int size : splitter->sizes())
        sizes.append(size);
    settings.setValue(key + "/splitterSizes", sizes);
}
