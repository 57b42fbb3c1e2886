#include "mainwindow/eventlistmodel.h"

#include <QColor>
#include <QHelpEvent>
#include <QListView>
#include <QFontMetrics>
#include <QToolTip>

#include "foundation/global.h"
#include "encounter/event.h"
#include "encounter/history.h"
#include "mainwindow/mainwindow.h"
#include "foundation/textcolours.h"

EventListModel::EventListModel(QObject* parent)
    : QAbstractTableModel(parent), currentIcon(":/images/arrow-right128.png"), blankIcon(":/images/no-icon.png")
{
    scrollTimer.setSingleShot(true);
    scrollTimer.setInterval(0);
    connect(&scrollTimer, &QTimer::timeout, this, &EventListModel::scrollToCurrent);
}

void EventListModel::setView(QListView* listView)
{
    view = listView;
    view->setSelectionMode(QAbstractItemView::NoSelection);
    // Measuring every row again at each new event made a long fight slow.
    // Rows of one size need the marker no taller than the blank icon.
    view->setUniformItemSizes(true);
    view->setIconSize(QSize(16, 16));
    view->setResizeMode(QListView::Adjust);
    view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view->setTextElideMode(Qt::ElideRight);
    view->setItemDelegate(new ElidedRowDelegate(view));
    connect(view, &QListView::clicked, this, &EventListModel::onInitListClicked);
}

void EventListModel::newHistory()
{
    connect(Global::history, &History::doHistoryChanged, this, &EventListModel::onHistoryChanged);
    beginResetModel();
    shownCount = Global::history->getEventCount();
    shownCurrent = Global::history->getCurrentIndex();
    endResetModel();
}

int EventListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : shownCount;
}

int EventListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 1;
}

QVariant EventListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() != 0 || !Global::history)
        return QVariant();
    switch (role) {
    case Qt::DisplayRole: {
        Event* event = Global::history->getEvent(index.row());
        return event ? event->getPlainDescription(false) : QString();
    }
    case Qt::DecorationRole: return index.row() == shownCurrent ? currentIcon : blankIcon;
    case Qt::ForegroundRole: return index.row() > shownCurrent ? QVariant(TextColours::greyed()) : QVariant();
    default: return QVariant();
    }
}

QVariant EventListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return QVariant();
    if (orientation == Qt::Vertical)
        return QString("%1").arg(section + 1);
    return section == 0 ? QVariant(tr("Event")) : QVariant();
}

void EventListModel::onHistoryChanged()
{
    const int count = Global::history ? Global::history->getEventCount() : 0;
    const int current = Global::history ? Global::history->getCurrentIndex() : -1;
    if (count == 0 || shownCount == 0) {
        // Cleared, or filled at once by a replay.
        beginResetModel();
        shownCount = count;
        shownCurrent = current;
        endResetModel();
    } else {
        // The events up to the older of the two marks stay; those after it
        // were stepped over or replaced by the new ones, and may be fewer.
        if (count < shownCount) {
            beginRemoveRows(QModelIndex(), count, shownCount - 1);
            shownCount = count;
            endRemoveRows();
        }
        const int first = qMax(0, qMin(shownCurrent, current));
        const int last = qMin(qMax(shownCurrent, current), shownCount - 1);
        shownCurrent = current;
        if (first <= last)
            emit dataChanged(index(first, 0), index(last, 0), {Qt::DisplayRole, Qt::DecorationRole, Qt::ForegroundRole});
        if (count > shownCount) {
            beginInsertRows(QModelIndex(), shownCount, count - 1);
            shownCount = count;
            endInsertRows();
        }
    }
    scrollTimer.start();
}

void EventListModel::scrollToCurrent()
{
    if (view && shownCurrent >= 0)
        view->scrollTo(index(shownCurrent, 0), QAbstractItemView::EnsureVisible);
}

void EventListModel::onInitListClicked(const QModelIndex& clicked)
{
    if (Global::mainWindow && Global::mainWindow->runningFlatDialog())
        return;
    Global::history->goTo(clicked.row());
}

namespace {

// The entry as its tooltip. Left to wrap, the tooltip would take a third of
// a line's width and break even inside "->": the lines break here, between
// words, only where one would outgrow 80 characters, and never again.
QString tipText(const QString& text)
{
    const QFontMetrics metrics(QToolTip::font());
    const int room = 80 * metrics.horizontalAdvance(QLatin1Char('x'));
    QStringList lines;
    for (const QString& word : text.split(' ', Qt::SkipEmptyParts))
        if (!lines.isEmpty() && metrics.horizontalAdvance(lines.last() + ' ' + word) <= room)
            lines.last() += ' ' + word;
        else
            lines << word;
    // Marked up as rich text whatever it holds: escaped, a text without tags shows as typed.
    for (QString& line : lines)
        line = line.toHtmlEscaped();
    return "<p style=\"white-space:pre\">" + lines.join("<br>") + "</p>";
}

}

ElidedRowDelegate::ElidedRowDelegate(QListView* view) : QStyledItemDelegate(view), view(view) {}

QSize ElidedRowDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    return QSize(view->viewport()->width(), QStyledItemDelegate::sizeHint(option, index).height());
}

bool ElidedRowDelegate::helpEvent(
    QHelpEvent* event, QAbstractItemView* itemView, const QStyleOptionViewItem& option, const QModelIndex& index)
{
    if (event->type() != QEvent::ToolTip || !index.isValid())
        return QStyledItemDelegate::helpEvent(event, itemView, option, index);
    const QSize whole = QStyledItemDelegate::sizeHint(option, index);
    if (whole.width() > option.rect.width())
        QToolTip::showText(event->globalPos(), tipText(index.data().toString()), itemView);
    else
        QToolTip::hideText();
    return true;
}
