#ifndef SCROLLANDTABS_H
#define SCROLLANDTABS_H

#include <QList>
#include <QPointer>
#include <QScrollArea>
#include <QTabWidget>

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
};

// A scroll area that keeps its content as wide as the viewport; with
// adjustHeight the content is no taller than the viewport, with
// hintFollowsContent the area asks for the content's size.
class ResizableScrollArea : public QScrollArea
{
    Q_OBJECT

public:
    ResizableScrollArea(bool adjustHeight, bool hintFollowsContent, QWidget* parent = nullptr);

    void setAdjustHeight(bool value);
    void adjustSize();
    void sizeToHint();
    QSize sizeHint() const override;
    bool eventFilter(QObject* watched, QEvent* event) override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void placeBarsNow();

    bool adjustHeight;
    bool hintFollowsContent;
    DogTag dogTag{__LINE__, __FILE__};
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
