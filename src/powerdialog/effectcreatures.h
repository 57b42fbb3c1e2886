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
    // The origin's powers, and the command entries when asked for.
    QWidget* getPowerControl(bool commands);
    void buildPowerComboBox();
    // The shared actions and their command entries.
    QWidget* getActionControl();
    // The chosen action, or null.
    CreaturePower* buildActionComboBox();
    // Another programmed creature or power; the owner is not told.
    void setOriginAndPower(Creature* origin, const QString& powerName);
    // The chosen power as its template defines it, with the origin's own
    // usage, or the chosen action; null for none.
    CreaturePower* getPowerOrAction(bool& isAction, Power::Usage& usage);
    CreaturePower* getPowerOrAction();
    // The combos and buttons show the chosen names.
    void selectPowerOrAction();
    // -1 adds, -2 duplicates the chosen power; true once the new power is stored and chosen.
    bool addOrDuplicatePower(int command);
    // The header of the chosen power or action, opened on a section's
    // targets (Power::AnyStep for all); true when it was stored.
    bool editPowerHeader(Power::StepType section);
    QWidget* getDeletePower();
    QWidget* getEditPower();
    QWidget* getAddPower();
    QWidget* getDuplicatePower();
    // The editor that held "Delete" and "Edit" is gone.
    void resetControls();

    // Previews on the creatures what the events for these entries will do.
    void recalculateHitPoints(int damage, int surgeChange, int surgeValue, int tempHP, int heal, CE::Action action);
    void recalculateHitPoints(const EffectEntries& entries);

private slots:
    void originTouched(int index);
    void powerSelected(int index);
    void actionSelected(int index);
    void onAddPower();
    void onDuplicatePower();
    void onDeletePower();
    void onEditHeader();

private:
    void fillOriginControl();
    bool hasChoice() const;
    // A chosen power or action of the user's own.
    bool choiceDeletable();
    // The Character Creator's add and duplicate buttons.
    void runPowerButton(int command);
    QPushButton* commandButton(QPointer<QPushButton>& button, const QString& text, bool enabled,
        void (EffectCreatures::*command)());
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
