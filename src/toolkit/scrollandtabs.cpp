#include "toolkit/scrollandtabs.h"

#include <QBoxLayout>
#include <QEvent>
#include <QKeyEvent>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QTabBar>
#include <QTimer>

QSize ScalingTabWidget::sizeHint() const
{
    const int frame = 2 * style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
    const QSize around(frame, frame + tabBar()->sizeHint().height());
    largest = largest.expandedTo(QTabWidget::sizeHint());
    for (int index = 0; index < count(); ++index)
        largest = largest.expandedTo(widget(index)->sizeHint() + around);
    return QSize(largest.width(), qMax(200, largest.height() / 25 * 25 + 50));
}

QSize WholeTitlesTabWidget::sizeHint() const
{
    const int frame = 2 * style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
    return QTabWidget::sizeHint().expandedTo(QSize(tabBar()->sizeHint().width() + frame, 0));
}

QSize WholeTitlesTabWidget::minimumSizeHint() const
{
    const int frame = 2 * style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
    return QTabWidget::minimumSizeHint().expandedTo(QSize(tabBar()->sizeHint().width() + frame, 0));
}

ResizableScrollArea::ResizableScrollArea(bool adjustHeight, bool hintFollowsContent, QWidget* parent)
    : QScrollArea(parent), adjustHeight(adjustHeight), hintFollowsContent(hintFollowsContent)
{
}

void ResizableScrollArea::setAdjustHeight(bool value)
{
    adjustHeight = value;
    adjustSize();
}

int LeastKeepingLayout::leastHeight(int width) const
{
    const auto found = kept.constFind(width);
    if (found != kept.constEnd())
        return *found;
    const int height = ResizableScrollArea::leastHeight(parentWidget(), width);
    kept.insert(width, height);
    return height;
}

void LeastKeepingLayout::invalidate()
{
    kept.clear();
    QVBoxLayout::invalidate();
}

int ResizableScrollArea::contentLeastHeight(int width) const
{
    return leastKeeper && leastKeeper == widget() ? contentLeast(width) : leastHeight(widget(), width);
}

int ResizableScrollArea::leastHeight(const QWidget* content, int width)
{
    const QLayout* layout = content->layout();
    if (!layout)
        return content->minimumSizeHint().height();
    const auto* box = qobject_cast<const QBoxLayout*>(layout);
    const bool vertical =
            box && (box->direction() == QBoxLayout::TopToBottom || box->direction() == QBoxLayout::BottomToTop);
    if (!vertical || !box->hasHeightForWidth())
        return layout->totalMinimumSize().height();
    // A box keeps an item of height for width at its height for the width,
    // wrapped as it wraps there; only its other items yield to their minimum.
    int height = box->totalHeightForWidth(width);
    for (int index = 0; index < box->count(); ++index) {
        const QLayoutItem* item = box->itemAt(index);
        if (!item->isEmpty() && !item->hasHeightForWidth())
            height -= item->sizeHint().height() - item->minimumSize().height();
    }
    return height;
}

void ResizableScrollArea::adjustSize()
{
    QWidget* content = widget();
    if (!content)
        return;
    const auto heightAt = [content](int width) {
        const int height = content->hasHeightForWidth() ? content->heightForWidth(width) : content->sizeHint().height();
        return qMax(height, content->minimumSizeHint().height());
    };
    const QSize room = maximumViewportSize();
    int width = room.width();
    // Fitted to the viewport, the content scrolls up and down only where it
    // is taller at its least: what does not fit scrolls inside it, and its
    // buttons stay in view; no control is squeezed below its own height.
    // Otherwise the bar is told from the height at the whole width: a content
    // taller only at its hint's width, or a bar left from a taller one, would
    // leave the bar's strip empty beside it.
    if (adjustHeight ? contentLeastHeight(width) > room.height() : heightAt(width) > room.height())
        width -= barWidth();
    // Where the area may scroll sideways, the content keeps its least width and scrolls.
    if (horizontalScrollBarPolicy() != Qt::ScrollBarAlwaysOff)
        width = qMax(width, content->minimumSizeHint().width());
    int height = heightAt(width);
    if (adjustHeight) {
        const bool fills = content->sizePolicy().verticalPolicy() & QSizePolicy::ExpandFlag;
        height = qMax(fills ? viewport()->height() : qMin(viewport()->height(), height), contentLeastHeight(width));
    }
    content->resize(width, height);
    placeBarsNow();
}

void ResizableScrollArea::placeBarsNow()
{
    // The area shows or hides a bar a pass later, from the range it had then:
    // a taller content would go without its bar meanwhile (in a picture taken
    // at once, for good), a bar shown for a larger one stay with nothing to
    // scroll. Setting a policy lays the bars out at once.
    const bool wide = horizontalScrollBar()->maximum() > 0;
    const bool tall = verticalScrollBar()->maximum() > 0;
    if ((horizontalScrollBarPolicy() == Qt::ScrollBarAsNeeded && horizontalScrollBar()->isVisibleTo(this) != wide)
        || (verticalScrollBarPolicy() == Qt::ScrollBarAsNeeded && verticalScrollBar()->isVisibleTo(this) != tall))
        setVerticalScrollBarPolicy(verticalScrollBarPolicy());
}

void ResizableScrollArea::sizeToHint()
{
    if (QWidget* content = widget())
        content->resize(content->sizeHint());
}

QSize ResizableScrollArea::sizeHint() const
{
    QWidget* content = widget();
    if (!hintFollowsContent || !content)
        return QScrollArea::sizeHint();
    const int frame = 2 * frameWidth();
    return content->sizeHint() + QSize(frame + barWidth(), frame);
}

QSize ResizableScrollArea::minimumSizeHint() const
{
    const QSize least = QScrollArea::minimumSizeHint();
    QWidget* content = widget();
    if (!widthFollowsContent || !content)
        return least;
    const int width = content->minimumSizeHint().width() + 2 * frameWidth() + barWidth();
    return {qMax(least.width(), qMin(width, leastWidthLimit)), least.height()};
}

bool ResizableScrollArea::eventFilter(QObject* watched, QEvent* event)
{
    // The content's layout changed: fit it again once the layout settled.
    if (watched == widget() && event->type() == QEvent::LayoutRequest) {
        if (widthFollowsContent)
            updateGeometry();
        QTimer::singleShot(0, this, &ResizableScrollArea::adjustSize);
    }
    return QScrollArea::eventFilter(watched, event);
}

void ResizableScrollArea::resizeEvent(QResizeEvent* event)
{
    QScrollArea::resizeEvent(event);
    adjustSize();
}

void ResizableScrollArea::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::StyleChange || event->type() == QEvent::FontChange)
        keptBarWidth = -1;
    QScrollArea::changeEvent(event);
}

int ResizableScrollArea::barWidth() const
{
    if (keptBarWidth < 0)
        keptBarWidth = verticalScrollBar()->sizeHint().width();
    return keptBarWidth;
}

ScrollingPane::ScrollingPane(QWidget* content, QWidget* parent) : ResizableScrollArea(false, true, parent)
{
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setWidget(content);
}

QSize ScrollingPane::sizeHint() const
{
    return widget()->sizeHint().expandedTo(widget()->minimumSizeHint());
}

QSize ScrollingPane::minimumSizeHint() const
{
    const QSize content = widget()->minimumSizeHint();
    if (wholeMeasure)
        return content;
    const int lines = 3 * fontMetrics().lineSpacing();
    return {content.width() + barWidth(), qMin(content.height(), lines)};
}

bool ScrollingPane::wholeMeasure = false;

QSize ScrollingPane::firstStartSize(QWidget* window)
{
    // Every layout measures its widgets afresh.
    const auto measureAgain = [window] {
        for (QWidget* widget : window->findChildren<QWidget*>())
            widget->updateGeometry();
    };
    wholeMeasure = true;
    measureAgain();
    const QSize hint = window->sizeHint();
    const QSize whole = window->minimumSizeHint();
    wholeMeasure = false;
    measureAgain();
    const QSize screen = window->screen() ? window->screen()->geometry().size() : whole;
    return hint.boundedTo(QSize(screen.width() * 2 / 3, screen.height() * 2 / 3)).expandedTo(whole);
}

void TabHandler::addWidget(QWidget* widget)
{
    widget->installEventFilter(this);
    widgets.append(widget);
}

bool TabHandler::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key != Qt::Key_Tab && key != Qt::Key_Backtab)
        return false;
    const int start = widgets.indexOf(qobject_cast<QWidget*>(watched));
    if (start < 0)
        return false;
    const int step = key == Qt::Key_Tab ? 1 : -1;
    const int count = widgets.size();
    for (int offset = 1; offset < count; ++offset) {
        QWidget* next = widgets[((start + step * offset) % count + count) % count];
        if (next && next->isVisible() && next->isEnabled()) {
            next->setFocus(key == Qt::Key_Tab ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return true;
        }
    }
    return true;
}
