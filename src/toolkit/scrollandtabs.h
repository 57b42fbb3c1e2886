#ifndef SCROLLANDTABS_H
#define SCROLLANDTABS_H

#include <QBoxLayout>
#include <QHash>
#include <QList>
#include <QPointer>
#include <QScrollArea>
#include <QTabWidget>

#include <functional>

#include "foundation/dogtag.h"

// A tab widget that asks for the largest size any of its pages ever wanted,
// so that switching pages does not make the window jump.
class ScalingTabWidget : public QTabWidget
{
    Q_OBJECT

public:
    explicit ScalingTabWidget(QWidget* parent = nullptr) : QTabWidget(parent) {}

    QSize sizeHint() const override;

private:
    mutable QSize largest{0, 0};
};

// A tab widget that asks for the width of all its tab titles, so that they
// show without scroll arrows.
class WholeTitlesTabWidget : public QTabWidget
{
    Q_OBJECT

public:
    explicit WholeTitlesTabWidget(QWidget* parent = nullptr) : QTabWidget(parent) {}

    QSize sizeHint() const override;
    // The titles stay whole however narrow the pages may go.
    QSize minimumSizeHint() const override;
};

// A column whose least height at a width, walked row by row, is kept until
// the column is invalidated, as its own hints are: a content that fills a
// scroll area is asked it many times a layout pass.
class LeastKeepingLayout : public QVBoxLayout
{
public:
    using QVBoxLayout::QVBoxLayout;

    int leastHeight(int width) const;
    void invalidate() override;

private:
    mutable QHash<int, int> kept;
};

// A scroll area that keeps its content as wide as the viewport; with
// adjustHeight the content is as tall as the viewport at most (as tall,
// where it expands up and down), and scrolls up and down only where its
// least height is taller; with hintFollowsContent the area asks for the
// content's size.
class ResizableScrollArea : public QScrollArea
{
    Q_OBJECT

public:
    ResizableScrollArea(bool adjustHeight, bool hintFollowsContent, QWidget* parent = nullptr);

    void setAdjustHeight(bool value);
    // The area needs its content's least width, so that what holds it gives
    // way before the content scrolls sideways; never more than the limit,
    // past which the content scrolls.
    void setWidthFollowsContent(bool value, int limit = QWIDGETSIZE_MAX)
    {
        widthFollowsContent = value;
        leastWidthLimit = limit;
    }
    // A content that keeps its least height at a width tells it here, asked
    // while it is the content; others are measured.
    void setContentLeast(QWidget* content, std::function<int(int)> least)
    {
        leastKeeper = content;
        contentLeast = std::move(least);
    }
    // The least height the widget's layout takes at that width, rows that
    // wrap counted as they wrap there.
    static int leastHeight(const QWidget* content, int width);
    void adjustSize();
    void sizeToHint();
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool eventFilter(QObject* watched, QEvent* event) override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    // The width of the up and down bar, kept until the style or font changes:
    // under a style sheet it is slow to ask, and every hint asks it.
    int barWidth() const;

private:
    void placeBarsNow();
    int contentLeastHeight(int width) const;

    bool adjustHeight;
    bool hintFollowsContent;
    bool widthFollowsContent = false;
    int leastWidthLimit = QWIDGETSIZE_MAX;
    QPointer<QWidget> leastKeeper;
    std::function<int(int)> contentLeast;
    mutable int keptBarWidth = -1;
    DogTag dogTag{__LINE__, __FILE__};
};

// A pane of a window, or a page of its tabs, that scrolls up and down
// when the window is short of height. It asks for what shows its content
// whole, needs the content's least width beside the scroll bar, and the
// height of a few lines.
class ScrollingPane : public ResizableScrollArea
{
    Q_OBJECT

public:
    explicit ScrollingPane(QWidget* content, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // The window's size as Qt opens a window, with its panes whole standing
    // for its least size: each as wide as it asks, and none scrolled.
    static QSize firstStartSize(QWidget* window);
    // While that is measured, panes ask for their whole room at the least.
    static bool measuringWhole() { return wholeMeasure; }

private:
    static bool wholeMeasure;
};

// The Tab order of a panel: Tab and Backtab cycle through the added widgets
// that are visible and enabled.
class TabHandler : public QObject
{
    Q_OBJECT

public:
    explicit TabHandler(QObject* parent = nullptr) : QObject(parent) {}

    void reset() { widgets.clear(); }
    void addWidget(QWidget* widget);
    bool contains(QWidget* widget) const { return widgets.contains(widget); }
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QList<QPointer<QWidget>> widgets;
};

#endif
