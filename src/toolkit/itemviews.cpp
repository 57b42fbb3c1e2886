#include "toolkit/itemviews.h"

#include <QApplication>

#include "toolkit/panelhost.h"

QSize nameListSizeHint(const QAbstractItemView* view)
{
    // As long as the longest names of the demonstration data, "Pendulum Blade Trap".
    const int characters = 22;
    const int width = view->fontMetrics().averageCharWidth() * characters + 2 * view->frameWidth()
                      + view->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, view);
    return {qMax(160, width), 400};
}

void DeselectedIcon::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyleOptionViewItem item(option);
    initStyleOption(&item, index);
    if (PanelHost* host = PanelHost::instance(); host && host->runningFlatDialog())
        item.state &= ~QStyle::State_Enabled;
    QStyle* style = item.widget ? item.widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &item, painter, item.widget);
}

int nearestShownRow(int row, int count, const std::function<bool(int)>& hidden)
{
    for (int below = row + 1; below < count; below++)
        if (!hidden(below))
            return below;
    for (int above = row - 1; above >= 0; above--)
        if (!hidden(above))
            return above;
    return -1;
}
