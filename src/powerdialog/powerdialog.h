#ifndef POWERDIALOG_H
#define POWERDIALOG_H

#include <QList>
#include <QPointer>
#include <QString>

#include "powerdialog/goorder.h"
#include "powerdialog/picklistwidget.h"
#include "powerdialog/powerwidget.h"
#include "powerdialog/effectcreatures.h"
#include "powers/power.h"
#include "toolkit/flatdialog.h"
#include "toolkit/scrollandtabs.h"

class DialogButtonBox;
class QCheckBox;
class QLabel;
class QPushButton;
class QToolButton;
class TargetPickerWidget;

// The panel in which the game master uses a power or action of one creature
// against the creatures it hits, misses or affects. It records nothing: its
// caller reads the origin, the edited copy of the power, the three lists and
// the action point, and records the events.
class PowerDialog : public FlatDialog, public PowerEditInterface, public CreatureInterface, public PickListInterface
{
    Q_OBJECT

public:
    enum Result { Cancel = 0, Apply = 1, SwitchDialog = 5, SaveOnly = 7 };

    PowerDialog(Creature* origin, const QString& powerName, const QString& actionName,
                const QList<Creature*>& targets, const QList<Creature*>& effected);
    ~PowerDialog() override;

    void setupDialogButton(QToolButton* button) override;
    QWidget* getWidget() override;
    bool getAdjustHeight() override { return true; }
    void setDefaultFocus(QWidget* widget) override;
    // Ends with no creature keeping a preview.
    int exec() override;
    // The editor's tab key, the two lists' keys and the GO keys.
    bool commandKeyPressed(int key, Qt::KeyboardModifiers modifiers) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

    // Never null; isAction receives whether it is one of the shared actions.
    CreaturePower* getPowerToEdit(bool* isAction);
    void rebuildDialog(PowerStep* focusStep, Power::StepType tab, int hitScroll, int missScroll, int effectScroll,
                       bool powerReplaced, bool tabOnly) override;
    void powerStepChanged(PowerStep* step) override;
    void stepsReshaped(PowerStep* focusStep) override;
    EffectCreatures* getCreatures() { return &creatures; }
    CreaturePower* powerToEdit() override { return &power; }
    void originChanged(Creature* origin) override;
    void powerHeaderChanged(bool replaced) override;
    void pickListChanged(const QString& message) override;
    void missSourceChanged() override;

    bool getUseActionPoint() const;

private slots:
    void toggleDialogClicked();
    void saveButtonPressed(bool);
    void nonTrackablePressed(bool);
    void goButtonPressed();
    void onFocusChanged(QWidget* old, QWidget* now);
    void onMultiDamageRequiresResize();

private:
    void setupWidget(Power::StepType stepType, int hitScroll, int missScroll, int effectScroll);
    QWidget* buildGoFrame();
    void setupControlText();
    void setupOKButton(const QString& message);
    void setupSaveButton(const QString& name);
    void resetAllDeltas();
    void sizeToHint();
    // The working copy becomes a copy of the power, with the origin's usage.
    void replaceWorkingCopy(const CreaturePower& chosen, Power::Usage usage);
    // Every creature of the three lists shows what the steps would do to it.
    void previewSteps();
    QPushButton* okButton() const;

    void setupTabOrder();
    void setupGoOrder();
    void nextInGoOrder();
    void prevInGoOrder();
    void currentGoOrder();
    void setGoText(const QString& hint, const QString& buttonText);
    void clearGoText();
    void showWhole(QWidget* field);
    void fitTargetLists();

    EffectCreatures creatures;
    CreaturePower power;
    bool isAction = false;
    QString changedPowerName;
    TabHandler tabHandler;
    GoHandler goHandler;
    // Compared only, never followed: the widgets may be gone.
    const QWidget* lastFocusOld;
    const QWidget* lastFocusNew;
    // The panel; the main window may release it before we do.
    QPointer<QWidget> widget;
    PowerWidget* powerWidget = nullptr;
    ResizableScrollArea* editorArea = nullptr;
    // The origin, power and action choices, first in the Tab order.
    QList<QWidget*> choiceControls;
    TargetPickerWidget* targetPicker = nullptr;
    QPushButton* saveButton = nullptr;
    QPushButton* trackableButton = nullptr;
    QCheckBox* actionPointBox = nullptr;
    QToolButton* goButton = nullptr;
    QLabel* goLabel = nullptr;
    DialogButtonBox* buttonBox = nullptr;
    // The tick outlives the panels: it stays while the origin does.
    bool useActionPoint = false;
    bool building = false;
};

#endif
