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

// The per-target rows under a damage step's row: one per creature of the
// step's list, each starting at the step's damage and kept per creature.
class MultiDamage : public QWidget
{
    Q_OBJECT

public:
    // bind wires a new row's box to the step: its changes write the amount.
    using Binder = std::function<void(QSpinBox* box, Creature* creature)>;

    MultiDamage(DamageStep* step, EffectCreatures* creatures, Binder bind);

    // The rows follow the step's list and its per-target flag.
    void refresh();
    // The first row's box; null without rows.
    QSpinBox* firstBox() const;

signals:
    void doMultiDamageRequiresResize();

private:
    QList<Creature*> listedCreatures() const;
    void rebuild(const QList<Creature*>& creatures);

    DamageStep* step;
    EffectCreatures* creatures;
    Binder bind;
    QGridLayout* grid;
    QList<Creature*> shown;
    QList<QPointer<QSpinBox>> boxes;
    DogTag dogTag{__LINE__, __FILE__};
};

#endif
