#include "toolkit/wrappinglayout.h"

#include <QStyle>
#include <QWidget>

namespace {

int widthWanted(const QLayoutItem* item)
{
    return qMax(item->sizeHint().width(), item->minimumSize().width());
}

int heightAt(const QLayoutItem* item, int width)
{
    return item->hasHeightForWidth() ? item->heightForWidth(width) : item->sizeHint().height();
}

int horizontalMargins(const QMargins& margins)
{
    return margins.left() + margins.right();
}

int verticalMargins(const QMargins& margins)
{
    return margins.top() + margins.bottom();
}

}

WrappingLayout::WrappingLayout(Cells cells, int maxColumns) : cells(cells), maxColumns(maxColumns)
{
}

WrappingLayout::~WrappingLayout()
{
    while (QLayoutItem* item = takeAt(0))
        delete item;
}

void WrappingLayout::addItem(QLayoutItem* item)
{
    items.append(item);
    invalidate();
}

int WrappingLayout::count() const
{
    return items.size();
}

QLayoutItem* WrappingLayout::itemAt(int index) const
{
    return items.value(index);
}

QLayoutItem* WrappingLayout::takeAt(int index)
{
    if (index < 0 || index >= items.size())
        return nullptr;
    QLayoutItem* item = items.takeAt(index);
    invalidate();
    return item;
}

Qt::Orientations WrappingLayout::expandingDirections() const
{
    Qt::Orientations directions;
    for (const QLayoutItem* item : items)
        directions |= item->expandingDirections() & Qt::Horizontal;
    return directions;
}

bool WrappingLayout::hasHeightForWidth() const
{
    return true;
}

int WrappingLayout::heightForWidth(int width) const
{
    const QMargins margins = contentsMargins();
    return rowsHeight(rows(width - horizontalMargins(margins), true)) + verticalMargins(margins);
}

QSize WrappingLayout::minimumSize() const
{
    // One widget a row; the height is asked for each width.
    QSize least;
    for (const QLayoutItem* item : items)
        if (!item->isEmpty())
            least = least.expandedTo(item->minimumSize());
    if (cells == EqualWidths)
        least.setWidth(widestHint());
    const QMargins margins = contentsMargins();
    return least + QSize(horizontalMargins(margins), verticalMargins(margins));
}

QSize WrappingLayout::sizeHint() const
{
    int width = 0;
    for (const Row& row : rows(QWIDGETSIZE_MAX, false))
        width = qMax(width, rowsWidth(row));
    const QMargins margins = contentsMargins();
    width += horizontalMargins(margins);
    return QSize(width, heightForWidth(width));
}

void WrappingLayout::setGeometry(const QRect& rect)
{
    QLayout::setGeometry(rect);
    const QRect area = rect.marginsRemoved(contentsMargins());
    const Qt::LayoutDirection direction = parentWidget() ? parentWidget()->layoutDirection() : Qt::LeftToRight;
    int top = area.top();
    for (const Row& row : rows(area.width(), true)) {
        int left = area.left();
        if (centred)
            left += qMax(0, area.width() - rowsWidth(row)) / 2;
        for (int i = 0; i < row.items.size(); i++) {
            const QRect cell(left, top, row.widths[i], row.height);
            row.items[i]->setGeometry(QStyle::visualRect(direction, area, cell));
            left += row.widths[i] + gap();
        }
        top += row.height + rowGap();
    }
}

QList<WrappingLayout::Row> WrappingLayout::rows(int width, bool spread) const
{
    const int cell = cells == EqualWidths ? widestHint() : 0;
    QList<Row> result;
    Row row;
    int used = 0;
    for (QLayoutItem* item : items) {
        if (item->isEmpty())
            continue;
        const int wanted = cells == EqualWidths ? cell : widthWanted(item);
        const bool full = maxColumns > 0 && row.items.size() == maxColumns;
        if (!row.items.isEmpty() && (full || used + gap() + wanted > width)) {
            result.append(row);
            row = Row();
        }
        used = row.items.isEmpty() ? wanted : used + gap() + wanted;
        row.items.append(item);
        row.widths.append(wanted);
    }
    if (!row.items.isEmpty())
        result.append(row);
    const int columns = result.isEmpty() ? 0 : result.first().items.size();
    for (Row& each : result) {
        if (spread)
            spreadRow(each, width, columns);
        for (int i = 0; i < each.items.size(); i++)
            each.height = qMax(each.height, heightAt(each.items[i], each.widths[i]));
    }
    return result;
}

void WrappingLayout::spreadRow(Row& row, int width, int columns) const
{
    if (cells == EqualWidths) {
        const int cell = qMax(row.widths.first(), (width - gap() * (columns - 1)) / columns);
        row.widths.fill(cell);
        return;
    }
    if (row.items.size() == 1) {
        row.widths[0] = qMax(width, row.items.first()->minimumSize().width());
        if (!(row.items.first()->expandingDirections() & Qt::Horizontal))
            row.widths[0] = qMin(row.widths[0], widthWanted(row.items.first()));
        return;
    }
    int spare = width - gap() * (row.widths.size() - 1);
    QList<int> expanding;
    for (int i = 0; i < row.items.size(); i++) {
        spare -= row.widths[i];
        if (row.items[i]->expandingDirections() & Qt::Horizontal)
            expanding.append(i);
    }
    for (int taken = 0; taken < expanding.size(); taken++) {
        const int share = spare / (expanding.size() - taken);
        row.widths[expanding[taken]] += share;
        spare -= share;
    }
}

int WrappingLayout::gap() const
{
    return qMax(0, spacing());
}

int WrappingLayout::widestHint() const
{
    int widest = 0;
    for (const QLayoutItem* item : items)
        if (!item->isEmpty())
            widest = qMax(widest, widthWanted(item));
    return widest;
}

int WrappingLayout::rowsWidth(const Row& row) const
{
    int used = gap() * (int(row.widths.size()) - 1);
    for (int wanted : row.widths)
        used += wanted;
    return used;
}

int WrappingLayout::rowsHeight(const QList<Row>& rows) const
{
    int height = rowGap() * qMax(0, int(rows.size()) - 1);
    for (const Row& row : rows)
        height += row.height;
    return height;
}
