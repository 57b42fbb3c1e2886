#ifndef EFFECTCREATURES_H
#define EFFECTCREATURES_H

#include <QList>
#include <QObject>
#include <QPointer>
#include <QPushButton>
#include <QString>

#include "creature/creature.h"
#include "encounter/effectentries.h"
#include "foundation/dogtag.h"
#include "powers/powerenums.h"
#include "toolkit/inputwidgets.h"

// powerdialog/: the power dialog, its target picker, the step and power
// editors, and the creature choice and effect controls that the classic
// conditions-and-effects dialog shares with them.

// Who a power or an effect is used by and on: the origin, the chosen power
// or action, and the creatures hit, missed and affected, with the origin's
// combo box. Each dialog that applies powers or effects owns one.
class EffectCreatures : public QObject
{
    Q_OBJECT

public:
    EffectCreatures(bool deferSave, Creature* origin, const QString& powerName, const QString& actionName,
                    const QList<Creature*>& targets, const QList<Creature*>& effected, CreatureInterface* owner);

    Creature* getOrigin() const { return origin; }
    QString getPowerName() const { return powerName; }
    QString getActionName() const { return actionName; }
    // The hit (Power::Hit), missed (Power::Miss) and affected (Power::Effect) creatures.
    QList<Creature*>& getTargetList() { return targetList; }
    const QList<Creature*>& getTargetList() const { return targetList; }
    QList<Creature*>& getMissList() { return missList; }
    QList<Creature*>& getEffectList() { return effectList; }
    QList<Creature*> getOriginList() const { return originList; }
    // Power::AnyStep changes nothing.
    void addCreature(Power::StepType type, Creature* creature);
    void removeCreature(Power::StepType type, Creature* creature);
    // The one creature that all lists point at; null for none or several.
    Creature* getSingleTarget() const;
    // Where the origin's powers are stored: its library template, or the origin itself.
    Creature* getOriginTemplate() const;

    // The origin's combo box: every candidate origin, the dead ones greyed.
    DisableComboBox* getOriginControl();
    // Previews on the creatures what the events for these entries will do.
    void recalculateHitPoints(int damage, int surgeChange, int surgeValue, int tempHP, int heal, CE::Action action);
    void recalculateHitPoints(const EffectEntries& entries);

private slots:
    void originTouched(int index);

private:
    void fillOriginControl();
    QList<Creature*>* listOf(Power::StepType type);

    CreatureInterface* owner;
    Creature* origin;
    QString powerName;
    QString actionName;
    bool deferSave;
    bool commandEntries = false;
    QList<Creature*> originList;
    QPointer<DisableComboBox> originCombo;
    QPointer<DisableComboBox> powersCombo;
    QPointer<DisableComboBox> actionsCombo;
    QPointer<QPushButton> deleteButton;
    QPointer<QPushButton> editButton;
    QPointer<QPushButton> addPowerButton;
    QPointer<QPushButton> duplicatePowerButton;
    // Set while a slot rebuilds widgets or runs a modal dialog.
    bool busy = false;
    QList<Creature*> targetList;
    QList<Creature*> missList;
    QList<Creature*> effectList;

private:
    DogTag dogTag{__LINE__, __FILE__};
};

#endif
