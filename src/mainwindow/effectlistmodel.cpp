#include "mainwindow/effectlistmodel.h"

#include <QHeaderView>
#include <QTextDocumentFragment>

#include "creature/creature.h"
#include "foundation/global.h"
#include "mainwindow/mainwindow.h"
#include "toolkit/itemviews.h"

EffectListModel::EffectListModel(QObject* parent)
    : QAbstractTableModel(parent), trashIcon(":/images/trash-can16.png"), blankIcon(":/images/no-icon.png")
{
    connect(&Global::switchBoard, &SwitchBoard::doCreatureEffectsChanged, this, &EffectListModel::effectListChanged);
}

void EffectListModel::setView(QTableView* table)
{
    view = table;
    view->setShowGrid(false);
    view->setSelectionMode(QAbstractItemView::NoSelection);
    view->horizontalHeader()->hide();
    view->verticalHeader()->hide();
    view->setColumnWidth(0, 24);
    view->horizontalHeader()->setStretchLastSection(true);
    view->verticalHeader()->setDefaultSectionSize(20);
    // A long entry wraps onto more lines instead of ending in an ellipsis.
    view->setWordWrap(true);
    view->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view->setItemDelegateForColumn(0, new DeselectedIcon(view));
    connect(view, &QTableView::clicked, this, &EffectListModel::internalClicked);
}

void EffectListModel::setEffectCreature(Creature* shown)
{
    // Asked again on every history change: the same creature keeps its rows,
    // which follow its own changes (effectListChanged).
    if (shown == creature)
        return;
    beginResetModel();
    disconnect(creatureGone);
    creature = shown;
    if (shown)
        creatureGone = connect(shown, &QObject::destroyed, this, [this] {
            beginResetModel();
            endResetModel();
        });
    endResetModel();
}

int EffectListModel::rowCount(const QModelIndex& parent) const
{
    return creature && !parent.isValid() ? creature->getNestedEffectCount() : 0;
}

int EffectListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 2;
}

QVariant EffectListModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return QVariant();
    if (index.column() == 0)
        return role == Qt::DecorationRole ? QVariant(trashIcon) : role == Qt::DisplayRole ? QVariant(QString()) : QVariant();
    if (role == Qt::DisplayRole)
        // The entry texts are HTML, with the user's text escaped in them.
        return QTextDocumentFragment::fromHtml(creature->getNestedEffectText(index.row())).toPlainText();
    if (role == Qt::DecorationRole && creature->isNestedEffect(index.row()))
        return blankIcon;
    return QVariant();
}

QVariant EffectListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || section < 0)
        return QVariant();
    if (orientation == Qt::Vertical)
        return QString("%1").arg(section + 1);
    if (section == 0)
        return QString();
    return section == 1 ? tr("Description") : QVariant();
}

void EffectListModel::effectListChanged(Creature* changed)
{
    // The rows may come and go: a reset, not a new layout.
    if (changed && changed == creature) {
        beginResetModel();
        endResetModel();
    }
}

void EffectListModel::internalClicked(const QModelIndex& index)
{
    PanelHost* host = PanelHost::instance();
    if ((host && host->runningFlatDialog()) || index.column() != 0 || !creature)
        return;
    const NestedEffect* entry = creature->getNestedEffect(index.row());
    if (!entry)
        return;
    // Each removal rebuilds the creature's lines: the entry goes with the first.
    const QList<Effect*> effects = entry->effects;
    const QPointer<Creature> holder = creature;
    for (Effect* effect : effects)
        if (!holder || !Global::mainWindow->removeCondEffect(holder, effect))
            return;
}
