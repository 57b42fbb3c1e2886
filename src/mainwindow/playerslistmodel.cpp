#include "mainwindow/playerslistmodel.h"

#include <QColor>
#include <QHeaderView>
#include <QTextDocumentFragment>

#include "encounter/encounter.h"
#include "foundation/global.h"
#include "foundation/switchboard.h"
#include "mainwindow/playersview.h"
#include "foundation/textcolours.h"

QString plainText(const QString& html)
{
    // Most texts hold no markup; parsing them is the dear part of measuring the table.
    if (!html.contains('&') && !html.contains('<'))
        return html;
    return QTextDocumentFragment::fromHtml(html).toPlainText();
}

QString PlayersHealthCell::toText() const
{
    return QStringList{QString::number(pixelSize), QString::number(percent), html, gray ? "gray" : "black"}.join("&");
}

PlayersHealthCell PlayersHealthCell::fromText(const QString& text)
{
    PlayersHealthCell cell;
    const int first = text.indexOf('&');
    const int second = first < 0 ? -1 : text.indexOf('&', first + 1);
    const int last = text.lastIndexOf('&');
    if (second < 0 || last <= second)
        return cell;
    cell.pixelSize = text.left(first).toInt();
    cell.percent = text.mid(first + 1, second - first - 1).toInt();
    cell.html = text.mid(second + 1, last - second - 1);
    cell.gray = text.mid(last + 1) == "gray";
    return cell;
}

PlayersListModel::PlayersListModel(QObject* parent)
    : QAbstractTableModel(parent),
      currentIcon(":/images/arrow-right-green128.png"),
      noIcon(":/images/no-icon.png"),
      delayIcon(":/images/delay-turn16.png"),
      readyIcon(":/images/ready-action16.png"),
      hiddenIcon(":/images/faided-eye128.png")
{
    refreshTimer.setSingleShot(true);
    refreshTimer.setInterval(0);
    connect(&refreshTimer, &QTimer::timeout, this, &PlayersListModel::refreshList);
    connect(Global::encounter, &Encounter::doCurrentCreatureChanged, this, &PlayersListModel::onCurrentCreatureChanged);
    connect(Global::encounter, &Encounter::doCreatureCountChanged, this, &PlayersListModel::onCreatureCountChanged);
    connect(&Global::switchBoard, &SwitchBoard::doCreatureEffectsChanged, this,
            &PlayersListModel::onCreatureInListUpdated);
    connect(&Global::switchBoard, &SwitchBoard::doCreatureUpdated, this, &PlayersListModel::onCreatureInListUpdated);
}

void PlayersListModel::setView(PlayersView* playersView)
{
    view = playersView;
    view->setGridStyle(Qt::NoPen);
    view->setAlternatingRowColors(true);
    view->setColumnWidth(0, 200);
    view->setColumnWidth(1, 100);
    view->setColumnWidth(2, 240);
    // Conditions longer than the room wrap onto more lines.
    view->setWordWrap(true);
    view->setItemDelegateForColumn(1, new PlayersHealthDelegate(view));
    view->setItemDelegate(new PlayersTextDelegate(view));
    view->setSelectionMode(QAbstractItemView::NoSelection);
    view->scaleToSize();
}

int PlayersListModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid() || !Global::encounter)
        return 0;
    return visibleIndexes.size();
}

int PlayersListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 3;
}

QVariant PlayersListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return QVariant();
    if (orientation == Qt::Vertical)
        return QString("%1").arg(section + 1);
    switch (section) {
    case 0: return tr("Name");
    case 1: return " " + tr("Health") + " ";
    case 2: return tr("Conditions and Effects");
    default: return QVariant();
    }
}

Creature* PlayersListModel::creatureAt(int row) const
{
    if (!Global::encounter || row < 0 || row >= visibleIndexes.size())
        return nullptr;
    return Global::encounter->getCreature(visibleIndexes[row]);
}

QVariant PlayersListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.column() >= columnCount())
        return QVariant();
    Creature* creature = creatureAt(index.row());
    if (!creature)
        return QVariant();
    const bool greyed = creature->isDelayed() || creature->isReady() || creature->isHidden();
    switch (role) {
    case Qt::DisplayRole: return displayText(creature, index.column(), greyed);
    case Qt::DecorationRole: return index.column() == 0 ? decoration(creature, index.row()) : QVariant();
    case Qt::ForegroundRole:
        // Visibly lighter than the other rows, yet read from across the table on the focus cell too.
        if (greyed)
            return TextColours::greyed();
        if (index.column() == 0 && !creature->isMonster())
            return QColor(Qt::blue);
        return QVariant();
    default: return QVariant();
    }
}

QVariant PlayersListModel::displayText(Creature* creature, int column, bool greyed) const
{
    if (column == 0)
        return creature->getInitativeListName();
    if (column == 1) {
        PlayersHealthCell cell;
        cell.pixelSize = qMax(14, view ? view->getPixelSize() : 0);
        cell.percent = creature->getPercentageHPForPlayers();
        cell.html = creature->getHealthForPlayers(showDamageAndHeals);
        cell.gray = greyed;
        return cell.toText();
    }
    // The effects come as HTML; the table shows plain text.
    const QString state = creature->getStateText(false, false, false, true);
    const QString effects = plainText(creature->getPlayersEffectsList());
    if (!state.isEmpty() && !effects.isEmpty())
        return state + "; " + effects;
    return state + effects;
}

QVariant PlayersListModel::decoration(Creature* creature, int row) const
{
    if (isCurrentIndex(row))
        return currentIcon;
    if (creature->isDelayed())
        return delayIcon;
    if (creature->isReady())
        return readyIcon;
    if (creature->isHidden())
        return hiddenIcon;
    return noIcon;
}

void PlayersListModel::refreshList()
{
    refreshTimer.stop();
    VisibleForPlayers visible;
    if (Global::encounter)
        visible = Global::encounter->getVisibleForPlayers();
    deadMonsters.clear();
    for (auto it = visible.deadMonsters.cbegin(); it != visible.deadMonsters.cend(); ++it)
        deadMonsters.insert(it.key(), it.value());
    if (visible.indexes != visibleIndexes) {
        // Rows come and go: a bare layout change would leave the view with the old count.
        beginResetModel();
        visibleIndexes = visible.indexes;
        endResetModel();
        scaleView();
        shownLooks.clear();
        for (int row = 0; row < visibleIndexes.size(); row++)
            shownLooks.append(lookOf(row));
    } else {
        const QList<int> changed = announceChangedRows();
        if (view && !changed.isEmpty())
            view->fitChangedRows(changed);
    }
    const int current = getCurrentIndex();
    if (current >= 0) {
        if (view)
            view->scrollTo(index(current, 0), QAbstractItemView::EnsureVisible);
        currentCreature = creatureAt(current);
    } else {
        currentCreature = nullptr;
    }
    emit doCurrentChanged();
}

QStringList PlayersListModel::lookOf(int row) const
{
    QStringList look;
    for (int column = 0; column < columnCount(); column++)
        look << index(row, column).data().toString();
    look << QString::number(index(row, 0).data(Qt::DecorationRole).value<QIcon>().cacheKey())
         << index(row, 0).data(Qt::ForegroundRole).toString();
    return look;
}

QList<int> PlayersListModel::announceChangedRows()
{
    QList<int> changed;
    for (int row = 0; row < visibleIndexes.size(); row++) {
        QStringList look = lookOf(row);
        if (row < shownLooks.size() && look == shownLooks[row])
            continue;
        shownLooks.resize(qMax(shownLooks.size(), row + 1));
        shownLooks[row] = std::move(look);
        emit dataChanged(index(row, 0), index(row, columnCount() - 1),
                         {Qt::DisplayRole, Qt::DecorationRole, Qt::ForegroundRole});
        changed.append(row);
    }
    return changed;
}

bool PlayersListModel::isCurrentIndex(int row) const
{
    if (!Global::encounter || row < 0 || row >= visibleIndexes.size())
        return false;
    const EncounterState state = Global::encounter->getState();
    const int current = state.currentIndex;
    if (current < 0)
        return false;
    const int first = visibleIndexes.first();
    // Only creatures the players cannot see have acted so far.
    if (state.round == 1 && current < first)
        return row == 0;
    const int start = visibleIndexes[row];
    if (row == visibleIndexes.size() - 1)
        return current < first || (start <= current && current < Global::encounter->getCreatureCount());
    return start <= current && current < visibleIndexes[row + 1];
}

int PlayersListModel::getCurrentIndex() const
{
    for (int row = 0; row < visibleIndexes.size(); row++)
        if (isCurrentIndex(row))
            return row;
    return -1;
}

QMap<int, Creature*> PlayersListModel::getDeadMonsters() const
{
    QMap<int, Creature*> result;
    for (auto it = deadMonsters.cbegin(); it != deadMonsters.cend(); ++it)
        if (it.value())
            result.insert(it.key(), it.value());
    return result;
}

void PlayersListModel::setShowDamageAndHeals(bool show)
{
    if (show == showDamageAndHeals)
        return;
    showDamageAndHeals = show;
    if (!visibleIndexes.isEmpty())
        emit dataChanged(index(0, 1), index(visibleIndexes.size() - 1, 1), {Qt::DisplayRole});
}

void PlayersListModel::setEnableUpdate(bool enable)
{
    enableUpdate = enable;
    if (!enable)
        refreshTimer.stop();
    if (enable) {
        refreshList();
        scaleView();
    }
}

void PlayersListModel::onCreatureCountChanged()
{
    if (enableUpdate)
        scaleView();
}

void PlayersListModel::onCurrentCreatureChanged()
{
    requestRefresh();
}

void PlayersListModel::onCreatureInListUpdated()
{
    requestRefresh();
}

void PlayersListModel::requestRefresh()
{
    if (enableUpdate)
        refreshTimer.start();
}

void PlayersListModel::scaleView()
{
    if (view)
        view->scaleToSize();
}
