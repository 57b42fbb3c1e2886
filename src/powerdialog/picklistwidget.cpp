#include "powerdialog/picklistwidget.h"

#include <QKeyEvent>
#include <QStyledItemDelegate>

#include "creature/creature.h"
#include "encounter/encounter.h"
#include "foundation/global.h"

namespace {

// An entry as wide as the list, never wider: a long one is elided at the
// list's edge, whole in its tooltip, rather than cut by the frame.
class ListWideEntry : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        return {1, QStyledItemDelegate::sizeHint(option, index).height()};
    }
};

}

PickListWidget::PickListWidget()
{
    setItemDelegate(new ListWideEntry(this));
}

void PickListWidget::selectedItem()
{
    if (selectionModel()->hasSelection() || count() == 0)
        return;
    moveTo(0, QItemSelectionModel::ClearAndSelect);
}

int PickListWidget::highestSelection(int& count) const
{
    const QModelIndexList rows = selectionModel()->selectedRows();
    count = rows.size();
    int highest = -1;
    for (const QModelIndex& index : rows)
        highest = qMax(highest, index.row());
    return highest;
}

int PickListWidget::lowestSelection(int& count) const
{
    const QModelIndexList rows = selectionModel()->selectedRows();
    count = rows.size();
    int lowest = this->count();
    for (const QModelIndex& index : rows)
        lowest = qMin(lowest, index.row());
    return lowest;
}

void PickListWidget::moveTo(int row, QItemSelectionModel::SelectionFlags flags)
{
    if (row < 0 || row >= count())
        return;
    selectionModel()->setCurrentIndex(model()->index(row, 0), flags);
}

void PickListWidget::keyPressEvent(QKeyEvent* event)
{
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    int selected = 0;
    switch (event->key()) {
    case Qt::Key_Up: {
        const int low = lowestSelection(selected);
        if (shift) {
            moveTo(low - 1, QItemSelectionModel::Select);
        } else {
            // A multiple selection collapses onto its top row.
            const int target = selected >= 2 ? low : low - 1;
            moveTo(target < 0 ? count() - 1 : target, QItemSelectionModel::ClearAndSelect);
        }
        return;
    }
    case Qt::Key_Down: {
        const int high = highestSelection(selected);
        if (shift) {
            moveTo(high + 1, QItemSelectionModel::Select);
        } else {
            const int target = selected >= 2 ? high : high + 1;
            moveTo(target >= count() ? 0 : target, QItemSelectionModel::ClearAndSelect);
        }
        return;
    }
    case Qt::Key_Left:
    case Qt::Key_Right:
        // The picker moves the selected creatures with them.
        event->ignore();
        return;
    default:
        QListWidget::keyPressEvent(event);
    }
}

void PickListWidget::mousePressEvent(QMouseEvent* event)
{
    // The view would scroll a half-shown row into view once the double-click
    // time has passed: the next click at the same place would pick the name
    // below. The keys still bring the current row into view.
    const bool scrolls = hasAutoScroll();
    setAutoScroll(false);
    QListWidget::mousePressEvent(event);
    setAutoScroll(scrolls);
}

namespace {

QString itemText(Creature* creature, Creature* origin)
{
    QString text = creature->getNameGroup();
    if (creature == origin)
        text += CreatureSorterItem::tr(" [Self]");
    else if (Global::encounter && creature == Global::encounter->getCurrentCreature())
        text += CreatureSorterItem::tr(" [Current]");
    return text;
}

}

CreatureSorterItem::CreatureSorterItem(Creature* creature, Creature* origin)
    : QListWidgetItem(itemText(creature, origin), nullptr, QListWidgetItem::Type), creature(creature)
{
    // Where the list is narrow the entry is elided: the tooltip shows it whole.
    setToolTip(text());
}

bool CreatureSorterItem::operator<(const QListWidgetItem& other) const
{
    const auto* that = dynamic_cast<const CreatureSorterItem*>(&other);
    if (!that)
        return QListWidgetItem::operator<(other);
    Creature* a = creature;
    Creature* b = that->creature;
    if (a->isMonster() != b->isMonster())
        return !a->isMonster();
    // Plain code-unit order, as the lists always showed it.
    if (!a->isMonster())
        return a->getName() < b->getName();
    return a->getNameGroup() < b->getNameGroup();
}
