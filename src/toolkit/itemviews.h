#ifndef ITEMVIEWS_H
#define ITEMVIEWS_H

#include <QItemDelegate>
#include <QListView>
#include <QStyledItemDelegate>
#include <QTableView>

#include <functional>

// The nearest row below the row, else above it, that is not hidden; -1 when
// there is none: where a selection goes when its row leaves.
int nearestShownRow(int row, int count, const std::function<bool(int)>& hidden);

// What a list of library names asks for: room for a long name beside the
// vertical scroll bar, 400 pixels high.
QSize nameListSizeHint(const QAbstractItemView* view);

// A list of library names that keeps the width it asks for: a splitter
// short of room would cut the names.
class NameListView : public QListView
{
    Q_OBJECT

public:
    using QListView::QListView;

    QSize sizeHint() const override { return nameListSizeHint(this); }
    QSize minimumSizeHint() const override { return {sizeHint().width(), QListView::minimumSizeHint().height()}; }
};

// Paints its items disabled while an in-window panel runs, so that a column
// of buttons looks as unavailable as it is.
class DeselectedIcon : public QStyledItemDelegate
{
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

// Draws no focus rectangle.
class NoFocusDelegate : public QItemDelegate
{
    Q_OBJECT

public:
    using QItemDelegate::QItemDelegate;

protected:
    void drawFocus(QPainter*, const QStyleOptionViewItem&, const QRect&) const override {}
};

// A table that takes all the height its layout offers.
class ExpandingTableView : public QTableView
{
    Q_OBJECT

public:
    using QTableView::QTableView;

    QSize sizeHint() const override { return QSize(QTableView::sizeHint().width(), 20000); }
};

#endif
