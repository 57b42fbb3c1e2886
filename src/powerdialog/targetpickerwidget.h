#ifndef TARGETPICKERWIDGET_H
#define TARGETPICKERWIDGET_H

#include <QList>
#include <QWidget>

#include "powers/powerenums.h"
#include "toolkit/windowsanddialogs.h"

class CreaturePower;
class Creature;
class DynamicLabel;
class EffectCreatures;
class GoHandler;
class PickListInterface;
class PickListWidget;
class QLabel;
class QListWidgetItem;
class QToolButton;
class TabHandler;

// Where the power dialog picks the creatures hit, missed or affected: the
// creatures that may still be chosen on the left, those chosen on the right.
// Every move is written through to the dialog's creature lists at once, and
// the encounter's selection mirrors the picked creatures.
class TargetPickerWidget : public QWidget, public WindowsAndDialogs
{
    Q_OBJECT

public:
    // Where missed creatures are picked from; kept for the rest of the run.
    enum MissSource { FromTargets = 0, FromPotentialTargets = 1, FromAllCreatures = 2 };
    static int gMissSource;

    TargetPickerWidget(PickListInterface* owner, EffectCreatures* creatures, CreaturePower* power);
    ~TargetPickerWidget() override;

    // Shows the lists of the step type (3 keeps the shown one); the check's message.
    QString setupControls(Power::StepType type);
    // Mirrors the selection, rewrites the apply text; the check's message.
    QString updateTargetText();
    // Whether the chosen set of the step type fits the power; the message and
    // the flag may be null.
    bool pickedTargetsCorrect(Power::StepType type, QString* message, bool* tooFew) const;
    // True when more creatures are needed: the left list is the one to focus.
    bool leftHasContent(Power::StepType type) const;
    bool hasFocus() const;
    using QWidget::setFocus;
    void setFocus(bool left);
    void selectItem(bool left);
    // A list that lost the focus to another field drops its selection.
    void focusMoved(QWidget* old);
    void setGoOrder(GoHandler* handler);
    void setTabOrder(TabHandler* handler);
    QList<Creature*> getTargets() const;
    bool haveChoice() const;

    Power::StepType getStepType() const { return stepType; }

    // The texts above the lists wrap at the width the picker has: it asks
    // for its least height there, so that the lists can yield in a short
    // panel (a box layout keeps a widget of height for width whole).
    bool hasHeightForWidth() const override { return false; }
    QSize minimumSizeHint() const override;
    // The height the lists and the buttons between them take.
    int listsRowHeight() const;
    // The lists take that height, between three entries and their first
    // height; where the buttons between them would be taller stacked, they
    // stand two by two.
    void fitLists(int height);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private slots:
    void addToTargetClicked();
    void removeFromTargetClicked();
    void addAllClicked();
    void removeAllClicked();
    void pickerDoubleClicked(QListWidgetItem* item);
    void targetDoubleClicked(QListWidgetItem* item);
    void applyTextClicked();
    void missSourceClicked();
    void selectionChanged();
    void onFocusChanged(QWidget* old, QWidget* now);

private:
    void buildControls();
    void arrangeMoveButtons(bool stacked);
    void setupTexts();
    QList<Creature*> candidates() const;
    const QList<Creature*>& chosenList() const;
    // Moves the items from one list to the other and tells the owner.
    void moveItems(PickListWidget* from, PickListWidget* to, const QList<QListWidgetItem*>& items);
    void creatureToRight(Creature* creature);
    void creatureToLeft(Creature* creature);
    void updateMainSelection();

    PickListInterface* owner;
    EffectCreatures* creatures;
    CreaturePower* power;
    Power::StepType stepType = Power::Hit;
    PickListWidget* leftList;
    PickListWidget* rightList;
    QToolButton* addButton;
    QToolButton* removeButton;
    QToolButton* addAllButton;
    QToolButton* removeAllButton;
    QWidget* moveButtons;
    DynamicLabel* applyText;
    QLabel* heading;
    QToolButton* missSourceButton;
    // While items move, the lists' selection signals are one change.
    bool moving = false;
};

#endif
