#ifndef EVENTLISTMODEL_H
#define EVENTLISTMODEL_H

#include <QAbstractTableModel>
#include <QIcon>

class QListView;

// The history dock's list: one row per event, the current one marked, the
// stepped-back ones grey; a click jumps the history there.
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
    QListView* view = nullptr;
    QIcon currentIcon;
    QIcon blankIcon;
};

#endif
