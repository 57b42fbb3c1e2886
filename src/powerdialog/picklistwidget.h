#ifndef PICKLISTWIDGET_H
#define PICKLISTWIDGET_H

#include <QListWidget>
#include <QObject>
#include <QString>

#include "foundation/dogtag.h"

class Creature;

// One of the target picker's two lists. Up and Down move a single selection
// and wrap around the ends; with Shift they extend it. Left and Right go to
// the picker, which moves the selected creatures. A click never scrolls the
// list; the keys, the wheel and the scroll bar do.
class PickListWidget : public QListWidget
{
public:
    PickListWidget();

    // Row 0 becomes the current and only selected row when nothing is selected.
    void selectedItem();
    // The largest selected row, -1 without one; count gets the number selected.
    int highestSelection(int& count) const;
    // The smallest selected row, the row count without one.
    int lowestSelection(int& count) const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void moveTo(int row, QItemSelectionModel::SelectionFlags flags);
};

// A creature in a pick list, marked as the power's user or as the creature
// whose turn it is. Heroes sort before monsters.
class CreatureSorterItem : public QObject, public QListWidgetItem
{
    Q_OBJECT

public:
    CreatureSorterItem(Creature* creature, Creature* origin);

    bool operator<(const QListWidgetItem& other) const override;

    Creature* const creature;

private:
    DogTag dogTag{__LINE__, __FILE__};
};

// The owner of a target picker hears of every change of the chosen creatures.
class PickListInterface
{
public:
    virtual ~PickListInterface() = default;
    // message: why the chosen creatures do not fit the power; empty when they do.
    virtual void pickListChanged(const QString& message) { Q_UNUSED(message) }
    virtual void missSourceChanged() {}
};

#endif
