#ifndef TURNDIALOGS_H
#define TURNDIALOGS_H

#include <QDialog>
#include <QList>

#include "toolkit/windowsanddialogs.h"

class Creature;
class Effect;
class QCheckBox;
class QDialogButtonBox;
class QGroupBox;
class QLabel;
class QSpinBox;
struct NestedEffect;

// combat/: the combat dialogs and pickers: the turn prompts, initiative,
// jump-in, and the monster, character and encounter pickers.

// The prompts of a turn's end and start: top-level modal dialogs that ask
// and answer, and record nothing themselves.
class TurnDialog : public QDialog
{
    Q_OBJECT

public:
    TurnDialog() = default;

    // The rich-text line of one entry: the prefix (plain text), the entry's
    // text in bold, and who applied it using what. Width is the least width
    // the line's label wants.
    static QString powerLabel(int& width, const NestedEffect* entry, const QString& prefix);

protected:
    // A box of notes under the heading; the title may be empty.
    static QGroupBox* noteBox(const QString& title, const QString& text);
    static QLabel* entryLabel(const NestedEffect& entry, const QString& prefix, const QString& toolTip);
    // OK, and Cancel when the question may be cancelled.
    QDialogButtonBox* buttonBox(bool cancellable);
};

// Which of the effects ending now are sustained for another round.
class SustainDialog : public TurnDialog, public WindowsAndDialogs
{
    Q_OBJECT

public:
    SustainDialog() = default;

    // Takes the sustained entries out of the list. False only when a
    // cancellable prompt was cancelled, the list then unchanged; without a
    // sustainable entry nothing is asked.
    bool removeSustained(QList<NestedEffect>& entries, bool cancellable);
};

// Which of a creature's saving throws succeeded; each row rolled once, at
// construction, and checked when the roll saves.
class SavingThrowDialog : public TurnDialog, public WindowsAndDialogs
{
    Q_OBJECT

public:
    // The list must outlive the dialog, unchanged.
    SavingThrowDialog(Creature* creature, const QList<NestedEffect>& entries, bool cancellable);

    // The entries whose row is checked, in list order, pointing into the list.
    QList<const NestedEffect*> getSavedEffects() const;

private:
    QString rollText(int d20, int mods, const QString& modifier) const;

    const QList<NestedEffect>& entries;
    QList<QCheckBox*> checkBoxes;
};

// The amount of ongoing damage or regeneration applied at a turn start.
class ApplyDialog : public TurnDialog, public WindowsAndDialogs
{
    Q_OBJECT

public:
    ApplyDialog() = default;

    // Once per dialog: the amount accepted, 0 when refused.
    int promptForOngoingEffect(Creature* creature, Effect* effect);

private:
    QSpinBox* amountBox = nullptr;
};

#endif
