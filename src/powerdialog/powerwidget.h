#ifndef POWERWIDGET_H
#define POWERWIDGET_H

#include <QWidget>

#include "foundation/dogtag.h"
#include "powers/powerenums.h"
#include "toolkit/windowsanddialogs.h"

class CreaturePower;
class EffectCreatures;
class GoHandler;
class LeastKeepingLayout;
class PowerStep;
class QLabel;
class QTabWidget;
class QToolButton;
class ResizableScrollArea;
class ScalingTabWidget;
class TabHandler;

// The owner of a power editor: it hears of each change of the program's
// shape, of each value changed inside a step and of each tab chosen.
class PowerEditInterface
{
public:
    virtual ~PowerEditInterface() = default;
    // Scroll positions of -1 show a page's end; focusStep, when given, takes
    // the focus in the new editor. tabOnly: only the current tab changed.
    virtual void rebuildDialog(PowerStep* focusStep, Power::StepType tab, int hitScroll, int missScroll,
        int effectScroll, bool powerReplaced, bool tabOnly) = 0;
    virtual void powerStepChanged(PowerStep* step) = 0;
    // The editor added, moved or removed a row in place; focusStep, when
    // given, is the added or moved step, to take the focus.
    virtual void stepsReshaped(PowerStep* focusStep) = 0;
};

// One page of the editor: the rows of one step list, and the relay from the
// rows' buttons and fields to the editor.
class StepListWidget : public QWidget
{
    Q_OBJECT

public:
    explicit StepListWidget(QWidget* parent = nullptr) : QWidget(parent) {}

    QSize sizeHint() const override { return QWidget::sizeHint(); }

    void emitPowerStepUp(PowerStep* step) { emit doPowerStepUp(step); }
    void emitPowerStepDown(PowerStep* step) { emit doPowerStepDown(step); }
    void emitDeletePowerStep(PowerStep* step) { emit doDeletePowerStep(step); }
    void emitUpdatePowerStep(PowerStep* step) { emit doUpdatePowerStep(step); }

signals:
    void doPowerStepUp(PowerStep* step);
    void doPowerStepDown(PowerStep* step);
    void doDeletePowerStep(PowerStep* step);
    void doUpdatePowerStep(PowerStep* step);
};

// The editor of a power's program: the Hit, Miss and Effect step lists on
// tabs, and a button per step kind. It changes the program in place, and
// adds, moves and removes the one row of the step changed.
class PowerWidget : public QWidget, public WindowsAndDialogs
{
    Q_OBJECT

public:
    PowerWidget(PowerEditInterface* owner, EffectCreatures* creatures, CreaturePower* power, bool isAction,
        Power::StepType tab, int hitScroll, int missScroll, int effectScroll);

    QTabWidget* getTabWidget() const;
    Power::StepType getStepType() const;
    void setStepType(Power::StepType type);
    void updateHeaderText();
    void setTabOrder(TabHandler* handler);
    void setGoOrder(GoHandler* handler, Power::StepType type);
    // Ctrl+I shows the next tab; every other key is left to the owner.
    bool keyPressed(int key, Qt::KeyboardModifiers modifiers);
    void scrollTo(int hitScroll, int missScroll, int effectScroll);
    void sizeToHint();
    QSize sizeHint() const override;
    // The header and add buttons wrap at the width the editor has: it asks
    // for its least height there rather than for a height for each width,
    // which a box layout would keep whole while its step lists could yield.
    bool hasHeightForWidth() const override { return false; }
    // Its least height does not change as targets come and go, or as a
    // step's rows of targets show: they count as many as were picked as
    // the editor opened, one at least and three at most.
    QSize minimumSizeHint() const override;
    // Becomes the area's content, and tells it that least height at each
    // width, kept until the editor's layout is redone.
    void showIn(ResizableScrollArea* area);

    static QString getBackgroundColor(int index);
    // The add button of a step kind.
    QToolButton* getAddButton(int kind) const;

protected:
    void resizeEvent(QResizeEvent* event) override;

private slots:
    void hitAndMissChanged();
    void powerStepUp(PowerStep* step);
    void powerStepDown(PowerStep* step);
    void powerDeleteStep(PowerStep* step);
    void powerUpdateStep(PowerStep* step);

private:
    void fillPage(Power::StepType type);
    void insertRow(Power::StepType type, int index, PowerStep* step);
    QWidget* rowAt(Power::StepType type, int index) const;
    // Colours and move buttons by the rows' places, the page's colour by their count.
    void showPlaces(Power::StepType type);
    void stepsReshaped(Power::StepType type, PowerStep* focusStep);
    void moveStep(PowerStep* step, int by);
    QWidget* getHeaderBox();
    QWidget* getAddButtons();
    ResizableScrollArea* area(Power::StepType type) const;
    int scrollPosition(Power::StepType type) const;
    void stepAdded(PowerStep* step);

    PowerEditInterface* owner;
    EffectCreatures* creatures;
    CreaturePower* power;
    bool isAction;
    LeastKeepingLayout* column = nullptr;
    QLabel* headerLabel = nullptr;
    ResizableScrollArea* headerPane = nullptr;
    ScalingTabWidget* tabs = nullptr;
    ResizableScrollArea* areas[3] = {};
    StepListWidget* lists[3] = {};
    // By PowerStep::Type.
    QToolButton* addButtons[9] = {};
    DogTag dogTag{__LINE__, __FILE__};
};

#endif
