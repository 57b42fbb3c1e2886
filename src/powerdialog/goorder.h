#ifndef GOORDER_H
#define GOORDER_H

#include <QCoreApplication>
#include <QList>
#include <QPointer>
#include <QSpinBox>
#include <QTabWidget>

#include "powers/powerenums.h"

class PowerProgram;
class PowerStep;
class TargetPickerWidget;

// One stop of the power dialog's guided input order: a target list to pick
// from, a field of a step, or the OK button.
class GoItem
{
public:
    enum GoType : int {
        Done = 0,
        TargetsHit = 1,
        TargetsMissed = 2,
        CreaturesAffected = 3,
        DamagePerTarget = 4,
        Damage = 5,
        Healing = 6,
    };

    GoItem(PowerStep* step, Power::StepType type, QSpinBox* spinBox, GoType kind);
    GoItem(TargetPickerWidget* picker, Power::StepType type, QWidget* widget, GoType kind);

    bool isStepType(Power::StepType type) const { return stepType == type; }
    // Only a stop of the shown tab (or of every tab) can have the focus.
    bool hasFocus(Power::StepType tab) const;
    // Shows the stop's tab; takes the focus when its field is visible and enabled.
    bool takeFocus(QTabWidget* tabs) const;
    Power::StepType getStepType() const { return stepType; }
    GoType getKind() const { return kind; }

private:
    PowerStep* step = nullptr;
    QPointer<TargetPickerWidget> picker;
    QPointer<QSpinBox> spinBox;
    QPointer<QWidget> widget;
    Power::StepType stepType;
    GoType kind;
};

// The stops of the guided input order, and the texts that say where the
// user stands in it. The current stop is found from the keyboard focus.
class GoHandler
{
    Q_DECLARE_TR_FUNCTIONS(PowerDialog)

public:
    enum ButtonWord { Start, Next, Restart };
    // What the button says before the first stop, at a stop, at the last one.
    static QString buttonWord(ButtonWord word);

    // Empties the stops; the step type stays for the stops to come.
    void reset(PowerProgram* program);
    void setTabWidget(QTabWidget* tabs) { tabWidget = tabs; }
    void setStepType(Power::StepType type) { stepType = type; }
    Power::StepType getStepType() const { return stepType; }
    void addWidget(TargetPickerWidget* picker, QWidget* widget, GoItem::GoType kind);
    void addWidget(PowerStep* step, QSpinBox* spinBox, GoItem::GoType kind);
    int count() const { return stops.size(); }

    // The texts of the stop that has the focus; moves nothing.
    void currentWidget(QString& hint, QString& buttonText) const;
    void nextWidget(QString& hint, QString& buttonText);
    void prevWidget(QString& hint, QString& buttonText);

private:
    // False when no stop has the focus; position is then where to start.
    bool findCurrentPosition(int& position) const;
    void moveWidget(int by, QString& hint, QString& buttonText);
    void getGoText(bool found, int position, QString& hint, QString& buttonText) const;
    int shownTab() const;

    PowerProgram* program = nullptr;
    QPointer<QTabWidget> tabWidget;
    Power::StepType stepType = Power::AnyStep;
    QList<GoItem> stops;
};

#endif
