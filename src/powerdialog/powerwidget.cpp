#include "powerdialog/powerwidget.h"

#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QScrollBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <memory>

#include "powerdialog/effectcreatures.h"
#include "powerdialog/stepeditors.h"
#include "powers/power.h"
#include "toolkit/scrollandtabs.h"

namespace {

const char* const pageNames[] = {"hitarea", "missarea", "effectarea"};

QString panelSheet(const QString& name, int stepCount)
{
    return QString("#%1 { background-color: %2 }").arg(name, PowerWidget::getBackgroundColor(stepCount));
}

// A step taken out of its program, released once the click that removed it
// has returned and the rows that showed it are gone.
class ReleasedStep : public QObject
{
public:
    ReleasedStep(PowerStep* step, QObject* parent) : QObject(parent), step(step) {}

private:
    std::unique_ptr<PowerStep> step;
};

}

PowerWidget::PowerWidget(PowerEditInterface* owner, EffectCreatures* creatures, CreaturePower* power, bool isAction,
    Power::StepType tab, int hitScroll, int missScroll, int effectScroll)
    : owner(owner), creatures(creatures), power(power), isAction(isAction)
{
    StepEditor::install();
    tabs = new ScalingTabWidget;
    tabs->setFocusPolicy(Qt::NoFocus);
    tabs->setToolTip(tr("Set conditions and effects for both hit and miss results %1")
                         .arg(QKeySequence("Ctrl+I").toString(QKeySequence::NativeText)));
    for (int type = Power::Hit; type <= Power::Effect; type++) {
        areas[type] = new ResizableScrollArea(false, true);
        areas[type]->setFocusPolicy(Qt::NoFocus);
    }
    for (int kind = PowerStep::Healing; kind <= PowerStep::EndCondition; kind++) {
        const StepKindInfo* info = stepKindInfo(kind);
        addButtons[kind] = toolButton(tr(info->buttonText), tr(info->tip), info->shortcut);
        addButtons[kind]->setFocusPolicy(Qt::NoFocus);
    }

    auto* layout = new QVBoxLayout;
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(10);
    layout->addWidget(getHeaderBox());
    const QString titles[] = {tr("Hit"), tr("Miss"), tr("Effect")};
    for (int type = Power::Hit; type <= Power::Effect; type++) {
        ResizableScrollArea* page = areas[type];
        page->setObjectName(pageNames[type]);
        page->setStyleSheet(panelSheet(pageNames[type], power->program.getStepCount(Power::StepType(type))));
        tabs->addTab(page, titles[type]);
        page->setWidget(getStepsAsWidget(Power::StepType(type)));
    }
    layout->addWidget(tabs, 100);
    layout->addWidget(getAddButtons());
    setLayout(layout);
    updateHeaderText();
    tabs->setCurrentIndex(tab);
    scrollTo(hitScroll, missScroll, effectScroll);

    // Only now: choosing the first tab is no change to report.
    connect(tabs, &QTabWidget::currentChanged, this, &PowerWidget::hitAndMissChanged);
    for (int kind = PowerStep::Healing; kind <= PowerStep::EndCondition; kind++)
        connect(addButtons[kind], &QToolButton::clicked, this, [this, kind] {
            stepAdded(this->power->program.addStep(PowerStep::Type(kind), getStepType()));
        });
}

QWidget* PowerWidget::getHeaderBox()
{
    headerLabel = htmlLabel(QString());
    headerLabel->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::MinimumExpanding);
    headerLabel->setWordWrap(true);
    QVBoxLayout* left = vLayout(false, true, headerLabel);
    left->setSpacing(0);
    QVBoxLayout* right = vLayout(true, false, creatures->getDeletePower(), creatures->getEditPower());
    right->setSpacing(5);
    auto* columns = new QHBoxLayout;
    columns->setContentsMargins(5, 5, 5, 5);
    columns->setSpacing(0);
    columns->addWidget(layoutToWidget(left));
    columns->addWidget(layoutToWidget(right));
    auto* box = new QGroupBox(isAction ? tr("Action") : tr("Power"));
    box->setLayout(columns);
    box->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::MinimumExpanding);
    // Shown, a box without a parent would open as a window of its own.
    if (power->name.isEmpty())
        box->hide();
    return box;
}

QWidget* PowerWidget::getAddButtons()
{
    auto* grid = new QGridLayout;
    grid->setContentsMargins(0, 0, 0, 0);
    for (int kind = PowerStep::Healing; kind <= PowerStep::EndCondition; kind++)
        grid->addWidget(addButtons[kind], stepKindInfo(kind)->gridRow, stepKindInfo(kind)->gridColumn);
    return layoutToWidget(grid);
}

QWidget* PowerWidget::getStepsAsWidget(Power::StepType type)
{
    auto* layout = new QVBoxLayout;
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* list = new StepListWidget;
    list->setContentsMargins(0, 0, 0, 0);
    const int count = power->program.getStepCount(type);
    for (int i = 0; i < count; i++) {
        PowerStep* step = power->program.getStep(i, type);
        if (!step)
            break;
        QLayout* row = step->getLayout(list, creatures);
        if (!row)
            continue;
        layout->addWidget(getFrame(i, row));
        if (i == 0)
            step->getUpButton()->setEnabled(false);
        if (i == count - 1)
            step->getDownButton()->setEnabled(false);
    }
    layout->addStretch(1);
    list->setLayout(layout);
    list->setObjectName("panel");
    list->setStyleSheet(panelSheet("panel", count));
    connect(list, &StepListWidget::doPowerStepUp, this, &PowerWidget::powerStepUp);
    connect(list, &StepListWidget::doPowerStepDown, this, &PowerWidget::powerStepDown);
    connect(list, &StepListWidget::doDeletePowerStep, this, &PowerWidget::powerDeleteStep);
    connect(list, &StepListWidget::doUpdatePowerStep, this, &PowerWidget::powerUpdateStep);
    return list;
}

QFrame* PowerWidget::getFrame(int index, QLayout* layout)
{
    auto* frame = new QFrame;
    frame->setContentsMargins(6, 4, 6, 4);
    frame->setLayout(layout);
    // ".QFrame" matches plain frames only, not the row's labels.
    frame->setStyleSheet(QString(".QFrame { background-color: %1; color: #000000; "
                                 "padding-left: 0px; padding-right: 0px; padding-top: 0px; padding-bottom: 0px }")
                             .arg(getBackgroundColor(index)));
    return frame;
}

QString PowerWidget::getBackgroundColor(int index)
{
    return index % 2 == 0 ? "#fcfcfc" : "#eef3fe";
}

QToolButton* PowerWidget::getAddButton(int kind) const
{
    return stepKindInfo(kind) ? addButtons[kind] : nullptr;
}

QTabWidget* PowerWidget::getTabWidget() const
{
    return tabs;
}

Power::StepType PowerWidget::getStepType() const
{
    return Power::StepType(tabs->currentIndex());
}

void PowerWidget::setStepType(Power::StepType type)
{
    tabs->setCurrentIndex(type);
}

void PowerWidget::updateHeaderText()
{
    QString text = power->getTitleText(false, false);
    if (!power->current.flavor.isEmpty())
        text += QString("<br><i>%1</i>").arg(power->current.flavor);
    for (const QString& line : power->current.description)
        text += "<br>" + line;
    headerLabel->setText(text);
}

void PowerWidget::setTabOrder(TabHandler* handler)
{
    for (int type = Power::Hit; type <= Power::Effect; type++)
        for (int i = 0; i < power->program.getStepCount(Power::StepType(type)); i++)
            power->program.getStep(i, Power::StepType(type))->setTabOrder(handler);
}

void PowerWidget::setGoOrder(GoHandler* handler, Power::StepType type)
{
    for (int i = 0; i < power->program.getStepCount(type); i++)
        power->program.getStep(i, type)->setGoOrder(handler);
}

bool PowerWidget::keyPressed(int key, Qt::KeyboardModifiers modifiers)
{
    if (key != Qt::Key_I || modifiers != Qt::ControlModifier)
        return false;
    tabs->setCurrentIndex((tabs->currentIndex() + 1) % tabs->count());
    return true;
}

ResizableScrollArea* PowerWidget::area(Power::StepType type) const
{
    return areas[type];
}

void PowerWidget::scrollTo(int hitScroll, int missScroll, int effectScroll)
{
    const int positions[] = {hitScroll, missScroll, effectScroll};
    for (int type = Power::Hit; type <= Power::Effect; type++) {
        QScrollBar* bar = area(Power::StepType(type))->verticalScrollBar();
        bar->setValue(positions[type] == -1 ? bar->maximum() : positions[type]);
    }
}

int PowerWidget::scrollPosition(Power::StepType type) const
{
    return area(type)->verticalScrollBar()->value();
}

void PowerWidget::sizeToHint()
{
    for (ResizableScrollArea* page : areas)
        page->sizeToHint();
    resize(sizeHint());
}

QSize PowerWidget::sizeHint() const
{
    const QSize own = layout() ? layout()->sizeHint() : QWidget::sizeHint();
    const QSize grown = size() - tabs->size() + tabs->sizeHint();
    return own.expandedTo(grown);
}

void PowerWidget::rebuild(PowerStep* focusStep, Power::StepType tab, bool tabOnly, Power::StepType toEnd)
{
    int scroll[3];
    for (int type = Power::Hit; type <= Power::Effect; type++)
        scroll[type] = type == toEnd ? -1 : scrollPosition(Power::StepType(type));
    owner->rebuildDialog(focusStep, tab, scroll[Power::Hit], scroll[Power::Miss], scroll[Power::Effect], false,
        tabOnly);
}

void PowerWidget::stepAdded(PowerStep* step)
{
    rebuild(step, getStepType(), false, getStepType());
}

void PowerWidget::hitAndMissChanged()
{
    const Power::StepType tab = getStepType();
    rebuild(power->program.getStep(0, tab), tab, true);
}

void PowerWidget::powerStepUp(PowerStep* step)
{
    const Power::StepType tab = getStepType();
    power->program.stepUp(step);
    rebuild(step, tab, false);
}

void PowerWidget::powerStepDown(PowerStep* step)
{
    const Power::StepType tab = getStepType();
    power->program.stepDown(step);
    rebuild(step, tab, false);
}

void PowerWidget::powerDeleteStep(PowerStep* step)
{
    const Power::StepType tab = getStepType();
    // The step's own click is still running, and its rows live until this
    // editor goes: the step goes with them.
    if (PowerStep* taken = power->program.takeStep(step))
        (new ReleasedStep(taken, this))->deleteLater();
    rebuild(nullptr, tab, false);
}

void PowerWidget::powerUpdateStep(PowerStep* step)
{
    owner->powerStepChanged(step);
}
