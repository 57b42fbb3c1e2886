#ifndef MULTIDAMAGE_H
#define MULTIDAMAGE_H

#include <QList>
#include <QPointer>
#include <QSpinBox>
#include <QWidget>

#include <functional>

#include "foundation/dogtag.h"

class Creature;
class DamageStep;
class EffectCreatures;
class QGridLayout;
class QLabel;

// The per-target rows under a damage step's row: one per creature of the
// step's list, each starting at the step's damage and kept per creature.
// A creature that joins or leaves the list adds or removes its own row; the
// other rows stay.
class MultiDamage : public QWidget
{
    Q_OBJECT

public:
    // bind wires a new row's box to the step: its changes write the amount.
    using Binder = std::function<void(QSpinBox* box, Creature* creature)>;

    // alike: a box of the step's row, as tall as the rows' boxes, that
    // measures rows not there yet.
    MultiDamage(DamageStep* step, EffectCreatures* creatures, const QSpinBox* alike, Binder bind);

    // The rows follow the step's list and its per-target flag.
    void refresh();
    // The first row's box; null without rows.
    QSpinBox* firstBox() const;
    // The rows' boxes, in order.
    QList<QWidget*> fields() const;
    // The height that many rows take below the step's other fields.
    int heightFor(int count) const;
    int rowCount() const { return int(rows.size()); }

signals:
    void doMultiDamageRequiresResize();

private:
    struct Row
    {
        Creature* creature;
        QPointer<QLabel> name;
        QPointer<QSpinBox> box;
    };

    QList<Creature*> listedCreatures() const;
    void reshape(const QList<Creature*>& creatures);
    Row makeRow(Creature* creature);
    void showAmount(const Row& row);

    DamageStep* step;
    EffectCreatures* creatures;
    QPointer<const QSpinBox> alike;
    Binder bind;
    QGridLayout* grid;
    QList<Creature*> shown;
    QList<Row> rows;
    DogTag dogTag{__LINE__, __FILE__};
};

#endif
