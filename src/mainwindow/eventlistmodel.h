#ifndef EVENTLISTMODEL_H
#define EVENTLISTMODEL_H

#include <QAbstractTableModel>
#include <QIcon>
#include <QStyledItemDelegate>
#include <QTimer>

class QListView;

// The history dock's list: one row per event, the current one marked, the
// stepped-back ones grey; a click jumps the history there. A new event is an
// inserted row and a step a change of the rows between the old and the new
// mark, so a long fight costs the same per event as a short one.
class EventListModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit EventListModel(QObject* parent = nullptr);

    void setView(QListView* view);
    void newHistory();

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

public slots:
    void onHistoryChanged();
    void onInitListClicked(const QModelIndex& index);

private:
    void scrollToCurrent();

    QListView* view = nullptr;
    QIcon currentIcon;
    QIcon blankIcon;
    // What the view was told: the history may change again before it asks.
    int shownCount = 0;
    int shownCurrent = -1;
    // One scroll per pass of the event loop, however many events came.
    QTimer scrollTimer;
};

// Rows of one size as wide as the list: a long entry ends in an ellipsis and
// shows whole in its tooltip, so the dock never scrolls sideways.
class ElidedRowDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    explicit ElidedRowDelegate(QListView* view);

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
        const QModelIndex& index) override;

private:
    QListView* view;
};

#endif
