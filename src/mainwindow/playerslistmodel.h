#ifndef PLAYERSLISTMODEL_H
#define PLAYERSLISTMODEL_H

#include <QAbstractTableModel>
#include <QIcon>
#include <QList>
#include <QMap>
#include <QPointer>
#include <QTimer>

#include "creature/creature.h"

class PlayersView;

// The players see the model's HTML texts as plain text.
QString plainText(const QString& html);

// The message from the model to the health delegate: four fields joined by
// "&". Only the health text may hold an "&" (a translated entity), so the
// fields around it are read from either end.
struct PlayersHealthCell
{
    int pixelSize = 14;
    int percent = 0;
    QString html;
    bool gray = false;

    QString toText() const;
    static PlayersHealthCell fromText(const QString& text);
};

// The initiative order as the players may see it, and which row holds the
// turn marker. The "Your Turn!" and "Last Kills" docks read its current
// creature and dead monsters and redraw on doCurrentChanged().
class PlayersListModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit PlayersListModel(QObject* parent = nullptr);

    void setView(PlayersView* view);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    void refreshList();
    bool isCurrentIndex(int row) const;
    int getCurrentIndex() const;
    Creature* getCurrentCreature() const { return currentCreature; }
    QMap<int, Creature*> getDeadMonsters() const;
    void setShowDamageAndHeals(bool show);
    bool getShowDamageAndHeals() const { return showDamageAndHeals; }
    void setEnableUpdate(bool enable);
    bool isUpdateEnabled() const { return enableUpdate; }

signals:
    void doCurrentChanged();

public slots:
    void onCreatureCountChanged();
    void onCurrentCreatureChanged();
    void onCreatureInListUpdated();

private:
    Creature* creatureAt(int row) const;
    QVariant displayText(Creature* creature, int column, bool greyed) const;
    QVariant decoration(Creature* creature, int row) const;
    void scaleView();
    void requestRefresh();
    // What a row shows: its texts, its icon and its colour.
    QStringList lookOf(int row) const;
    // Tells the view of the rows whose look changed and returns them.
    QList<int> announceChangedRows();

    QPointer<PlayersView> view;
    // Many model signals in one command rebuild the rows once, on the next pass of the event loop.
    QTimer refreshTimer;
    bool enableUpdate = true;
    QList<int> visibleIndexes;
    // The look of each row as the view last heard of it.
    QList<QStringList> shownLooks;
    // Guarded: a paused model outlives creatures deleted meanwhile.
    QMap<int, QPointer<Creature>> deadMonsters;
    QPointer<Creature> currentCreature;
    bool showDamageAndHeals = true;
    QIcon currentIcon;
    QIcon noIcon;
    QIcon delayIcon;
    QIcon readyIcon;
    QIcon hiddenIcon;
};

#endif
