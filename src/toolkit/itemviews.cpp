#include "toolkit/itemviews.h"

#include <QApplication>

#include "toolkit/panelhost.h"

void DeselectedIcon::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyleOptionViewItem item(option);
    initStyleOption(&item, index);
    if (PanelHost* host = PanelHost::instance(); host && host->runningFlatDialog())
        item.state &= ~QStyle::State_Enabled;
    QStyle* style = item.widget ? item.widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &item, painter, item.widget);
}
