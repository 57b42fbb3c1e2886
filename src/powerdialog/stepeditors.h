#ifndef STEPEDITORS_H
#define STEPEDITORS_H

#include <QLineEdit>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QToolButton>

#include <functional>

#include "foundation/dogtag.h"
#include "powers/powerstep.h"

class EffectInterface;
class QCheckBox;
class QSpinBox;
class QWidget;

// A step kind as the power editor offers it: its add button, whose text
// without "Add " titles the kind's rows.
struct StepKindInfo
{
    const char* buttonText;
    const char* shortcut;
    const char* tip;
    // Where the button stands among the others, in reading order.
    int place;

    QString title() const;
    // Whether the key, as typed, is one of the add buttons' shortcuts.
    static bool isAddStepKey(int key, Qt::KeyboardModifiers modifiers);
};

// By PowerStep::Type; null outside 1 to 8.
const StepKindInfo* stepKindInfo(int kind);

// The name of a damage type, as free text.
class DamageType : public QLineEdit
{
    Q_OBJECT

public:
    DamageType();

private:
    DogTag dogTag{__LINE__, __FILE__};
};

// The editor of one step: each getLayout builds a fresh row, with a header
// (title, move and remove buttons) above the kind's fields. Only the latest
// row writes into the step; the step destroys its editor, and with it every
// connection of every row it made.
class StepEditor : public QObject, public PowerStepEditor
{
    Q_OBJECT

public:
    // Lays out a kind's fields for a new row, binding them with the editor.
    using FieldBuilder = std::function<QLayout*(StepEditor& editor, EffectCreatures* creatures)>;

    StepEditor(PowerStep* step, FieldBuilder buildFields) : step(step), buildFields(std::move(buildFields)) {}

    // Gives every step its editor from now on.
    static void install();

    QLayout* getLayout(StepListWidget* list, EffectCreatures* creatures) override;
    QToolButton* getUpButton() const override { return up; }
    QToolButton* getDownButton() const override { return down; }
    void upClicked() override;
    void downClicked() override;
    void deleteClicked() override;
    void effectControlChanged(int what) override;
    void setTabOrder(TabHandler* handler) override;
    void setDefaultFocus() override;
    bool hasFocus() const override;
    void setGoOrder(GoHandler* handler) override;
    void showValues() override;
    bool isLatestRow(int row) const { return row == generation; }

    // Fields of the new row bound to values of the step: each shows its
    // value and writes each change of the latest row.
    QSpinBox* numberField(int& value, int minimum, int maximum);
    // Each change of a flag or text also runs written, once the value is taken.
    QCheckBox* flagField(bool& value, const QString& text, const std::function<void()>& written = nullptr);
    QLineEdit* textField(QString& value, QLineEdit* edit, const std::function<void()>& written = nullptr);
    // Another input of the new row, in Tab order, with how it shows the step.
    void addInput(QWidget* input);
    // Inputs of the new row that come and go with it (one per target), in
    // Tab order where the holder stands: fields gives those there now.
    void addInputs(QWidget* holder, const std::function<QList<QWidget*>()>& fields);
    void onShow(const std::function<void()>& show) { shows.append(show); }
    // How the new row adds its stops to the guided input order.
    void onGoOrder(const std::function<void(GoHandler*)>& stops) { goStops = stops; }
    // Each change of the field runs write, while its row is the latest.
    template <class Sender, class Signal>
    void onChange(Sender* sender, Signal signal, const std::function<void()>& write)
    {
        const int row = generation;
        connect(sender, signal, this, [this, row, write] {
            if (row != generation)
                return;
            write();
            effectControlChanged(0);
        });
    }
    // The owner of the new row's effect controls, living with the row's
    // layout: each of their changes runs write while the row is the latest.
    EffectInterface* controlOwner(QObject* row, const std::function<void()>& write);

private:
    struct Input
    {
        QPointer<QWidget> holder;
        // Null for an input that is its own holder.
        std::function<QList<QWidget*>()> fields;
    };

    QWidget* getStepHeader();
    // The latest row's inputs that are there now.
    QList<QWidget*> inputs() const;
    // Whether some of the latest row's widgets went with it.
    bool rowGone() const;

    PowerStep* step;
    FieldBuilder buildFields;
    QPointer<StepListWidget> list;
    QPointer<QToolButton> up;
    QPointer<QToolButton> down;
    QList<Input> rowInputs;
    QList<std::function<void()>> shows;
    std::function<void(GoHandler*)> goStops;
    // Counts the rows made; a row's connections act only while it is the latest.
    int generation = 0;
    DogTag dogTag{__LINE__, __FILE__};
};

#endif
