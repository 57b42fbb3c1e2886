#ifndef EFFECTLISTMODEL_H
#define EFFECTLISTMODEL_H

#include <QAbstractTableModel>
#include <QIcon>
#include <QPointer>
#include <QTableView>

#include "foundation/dogtag.h"

class Creature;

// The conditions and effects of the one selected creature, one row per line
// of its grouped effects, each behind a trash can that removes the line's
// effects through the history. The rows are the creature's own: the model
// keeps no copy.
class EffectListModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit EffectListModel(QObject* parent = nullptr);

    void setView(QTableView* view);
    // Null shows no rows.
    void setEffectCreature(Creature* creature);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private slots:
    void effectListChanged(Creature* creature);
    void internalClicked(const QModelIndex& index);

private:
    QPointer<QTableView> view;
    QPointer<Creature> creature;
    // A creature deleted while shown takes its rows with it.
    QMetaObject::Connection creatureGone;
    QIcon trashIcon;
    QIcon blankIcon;
    DogTag dogTag{__LINE__, __FILE__};
};

#endif
