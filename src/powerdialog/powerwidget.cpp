#include "powerdialog/powerwidget.h"

#include <QApplication>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QResizeEvent>
#include <QScrollBar>
#include <QTabBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <memory>

#include "powerdialog/effectcreatures.h"
#include "powerdialog/multidamage.h"
#include "powerdialog/stepeditors.h"
#include "powers/power.h"
#include "powers/powerprogram.h"
#include "toolkit/scrollandtabs.h"
#include "toolkit/wrappinglayout.h"

namespace {

const char* const pageNames[] = {"hitarea", "missarea", "effectarea"};

// The rows alternate their colour by their place, odd ones marked; a page
// takes the colour the next row would have.
QString styleRules()
{
    return QString("#hitarea, #missarea, #effectarea, #panel { background-color: %1 }\n"
                   "#hitarea[odd=\"true\"], #missarea[odd=\"true\"], #effectarea[odd=\"true\"], #panel[odd=\"true\"] "
                   "{ background-color: %2 }\n"
                   // Plain frames only, not the row's labels.
                   ".QFrame#steprow { background-color: %1; color: #000000; padding-left: 0px; padding-right: 0px; "
                   "padding-top: 0px; padding-bottom: 0px }\n"
                   ".QFrame#steprow[odd=\"true\"] { background-color: %2 }")
        .arg(PowerWidget::getBackgroundColor(0), PowerWidget::getBackgroundColor(1));
}

// Restyles the widget only when its place changed its colour.
void setOdd(QWidget* widget, bool odd)
{
    if (widget->property("odd").toBool() == odd)
        return;
    widget->setProperty("odd", odd);
    widget->style()->unpolish(widget);
    widget->style()->polish(widget);
    widget->update();
}

// Where the step stands in its list; false when no list holds it.
bool locate(const PowerProgram& program, const PowerStep* step, Power::StepType& type, int& index)
{
    for (int list = Power::Hit; list <= Power::Effect; list++)
        for (int i = 0; const PowerStep* at = program.getStep(i, Power::StepType(list)); i++)
            if (at == step) {
                type = Power::StepType(list);
                index = i;
                return true;
            }
    return false;
}

// A row of the step's fields, for the list.
QFrame* stepRow(StepListWidget* list, PowerStep* step, EffectCreatures* creatures)
{
    auto* row = new QFrame(list);
    row->setObjectName("steprow");
    row->setContentsMargins(6, 4, 6, 4);
    if (QLayout* fields = step->getLayout(list, creatures))
        row->setLayout(fields);
    return row;
}

// A row's height at its tallest, its rows of targets counted as many as
// targets, however many it shows.
int steadyHeight(const QWidget* row, int targets)
{
    int height = row->sizeHint().height();
    if (const auto* perTarget = row->findChild<MultiDamage*>()) {
        const bool shown = perTarget->isVisibleTo(row);
        height += perTarget->heightFor(targets) - (shown ? perTarget->heightFor(perTarget->rowCount()) : 0);
    }
    return height;
}

// A page keeps room for up to this many rows of targets under each damage row.
const int mostSteadyTargets = 3;

// The room for an empty damage row, the tallest kind, with 1 to
// mostSteadyTargets rows of targets. Measured on a row made aside, styled as
// the pages' rows are, once for what its height follows: the editor's font,
// the style, the application's style sheet and the screen's resolution.
class FirstRowRoom
{
public:
    static int of(QWidget* editor, EffectCreatures* creatures, int targets)
    {
        static FirstRowRoom room;
        const QString measure = QStringList{editor->font().toString(), QApplication::style()->name(),
                                            qApp->styleSheet(), QString::number(editor->logicalDpiY())}
                                    .join('\n');
        if (measure != room.measuredFor) {
            room.measuredFor = measure;
            const std::unique_ptr<PowerStep> step(PowerStep::create(PowerStep::Damage));
            const std::unique_ptr<StepListWidget> list(new StepListWidget(editor));
            QFrame* sample = stepRow(list.get(), step.get(), creatures);
            sample->ensurePolished();
            for (int count = 1; count <= mostSteadyTargets; count++)
                room.heights[count - 1] = steadyHeight(sample, count);
        }
        return room.heights[targets - 1];
    }

private:
    QString measuredFor;
    int heights[mostSteadyTargets] = {};
};

// A page of steps: it scrolls, but never shows less than its tallest row
// whole (the tab widget asks its pages, not their minimum sizes), each
// step's rows of targets counted as many as steadyTargets, however many are
// picked or shown: targets that come and go, past that number too, and the
// rows of targets shown or hidden move nothing below the page; more rows
// scroll inside it. It keeps the room of the first row to come, of the
// tallest kind, empty as it may be: the first step added moves nothing below it.
class StepPage : public ResizableScrollArea
{
public:
    StepPage(int steadyTargets, int reserved)
        : ResizableScrollArea(false, true), steadyTargets(steadyTargets), reserved(reserved)
    {
    }

    QSize minimumSizeHint() const override
    {
        // Kept until a row changes: the layouts above ask many times a pass.
        if (tallest < 0) {
            const QLayout* rows = widget() ? widget()->layout() : nullptr;
            tallest = reserved;
            for (int index = 0; rows && index < rows->count(); index++)
                if (const QWidget* row = rows->itemAt(index)->widget(); row && !row->isHidden())
                    tallest = qMax(tallest, steadyHeight(row, steadyTargets));
        }
        return ResizableScrollArea::minimumSizeHint().expandedTo(QSize(0, tallest + 2 * frameWidth()));
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // A row grew or shrank: the tabs ask for room again.
        if (watched == widget() && event->type() == QEvent::LayoutRequest) {
            tallest = -1;
            updateGeometry();
        }
        return ResizableScrollArea::eventFilter(watched, event);
    }

private:
    int steadyTargets;
    int reserved;
    mutable int tallest = -1;
};

// The power's text: it asks for its whole height at its width, and where
// the editor is short it scrolls, a line at least in view.
class TextPane : public ResizableScrollArea
{
public:
    explicit TextPane(QLabel* text) : ResizableScrollArea(false, false)
    {
        setFrameShape(QFrame::NoFrame);
        setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setFocusPolicy(Qt::NoFocus);
        setWidget(text);
    }

    QSize sizeHint() const override
    {
        const int width = viewport()->width();
        const int height = width > 0 ? widget()->heightForWidth(width) : widget()->sizeHint().height();
        return {widget()->sizeHint().width(), height};
    }

    QSize minimumSizeHint() const override
    {
        return {barWidth() + fontMetrics().averageCharWidth() * 10,
                widget()->fontMetrics().lineSpacing()};
    }

protected:
    void resizeEvent(QResizeEvent* event) override
    {
        ResizableScrollArea::resizeEvent(event);
        // The text wraps anew.
        if (event->size().width() != event->oldSize().width())
            updateGeometry();
    }
};

// A step taken out of its program, released once the click that removed it
// has returned and the row that showed it is gone.
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
    // Set before any child is made: each is styled once, in its place.
    setStyleSheet(styleRules());
    auto* layout = new LeastKeepingLayout(this);
    column = layout;
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(10);
    layout->addWidget(getHeaderBox());
    tabs = new ScalingTabWidget;
    tabs->setFocusPolicy(Qt::NoFocus);
    tabs->setToolTip(tr("Set conditions and effects for both hit and miss results %1")
                         .arg(QKeySequence("Ctrl+I").toString(QKeySequence::NativeText)));
    // The step lists take the height the header and add buttons leave them, down to their tallest row; short
    // of that, the power's text yields too.
    addYielding(layout, tabs, 100);
    const QString titles[] = {tr("Hit"), tr("Miss"), tr("Effect")};
    const QList<Creature*>* picked[] = {&creatures->getTargetList(), &creatures->getMissList(),
                                        &creatures->getEffectList()};
    for (int type = Power::Hit; type <= Power::Effect; type++) {
        // The rows of targets as the editor opens, up to the most kept: the
        // room they take at its least stays theirs.
        const int targets = qBound(1, int(picked[type]->size()), mostSteadyTargets);
        areas[type] = new StepPage(targets, FirstRowRoom::of(this, creatures, targets));
        areas[type]->setFocusPolicy(Qt::NoFocus);
        areas[type]->setObjectName(pageNames[type]);
        tabs->addTab(areas[type], titles[type]);
        fillPage(Power::StepType(type));
    }
    for (int kind = PowerStep::Healing; kind <= PowerStep::EndCondition; kind++) {
        const StepKindInfo* info = stepKindInfo(kind);
        addButtons[kind] = toolButton(tr(info->buttonText), tr(info->tip), info->shortcut);
        addButtons[kind]->setFocusPolicy(Qt::NoFocus);
    }
    layout->addWidget(getAddButtons());
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
    headerPane = new TextPane(headerLabel);
    QVBoxLayout* left = vLayout(false, true, headerPane);
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
    // Two rows of four where there is room, more rows where the editor is narrow.
    QToolButton* inPlace[PowerStep::EndCondition] = {};
    for (int kind = PowerStep::Healing; kind <= PowerStep::EndCondition; kind++)
        inPlace[stepKindInfo(kind)->place] = addButtons[kind];
    auto* buttons = new WrappingLayout(WrappingLayout::EqualWidths, 4);
    buttons->setContentsMargins(0, 0, 0, 0);
    for (QToolButton* button : inPlace)
        buttons->addWidget(button);
    return layoutToWidget(buttons);
}

void PowerWidget::fillPage(Power::StepType type)
{
    // Made in the viewport, its final parent; taken as the scrolled widget
    // once it holds its rows, so that the page scrolls over all of them.
    auto* list = new StepListWidget(areas[type]->viewport());
    list->setObjectName("panel");
    list->setContentsMargins(0, 0, 0, 0);
    auto* layout = new QVBoxLayout(list);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addStretch(1);
    lists[type] = list;
    for (int i = 0; PowerStep* step = power->program.getStep(i, type); i++)
        insertRow(type, i, step);
    showPlaces(type);
    areas[type]->setWidget(list);
    connect(list, &StepListWidget::doPowerStepUp, this, &PowerWidget::powerStepUp);
    connect(list, &StepListWidget::doPowerStepDown, this, &PowerWidget::powerStepDown);
    connect(list, &StepListWidget::doDeletePowerStep, this, &PowerWidget::powerDeleteStep);
    connect(list, &StepListWidget::doUpdatePowerStep, this, &PowerWidget::powerUpdateStep);
}

void PowerWidget::insertRow(Power::StepType type, int index, PowerStep* step)
{
    StepListWidget* list = lists[type];
    QFrame* row = stepRow(list, step, creatures);
    // Styled once, as it first shows; a row moved later is restyled.
    row->setProperty("odd", index % 2 == 1);
    static_cast<QBoxLayout*>(list->layout())->insertWidget(index, row);
    // Now, not on the layout's deferred show: the new step takes the focus at once.
    row->show();
}

QWidget* PowerWidget::rowAt(Power::StepType type, int index) const
{
    QLayoutItem* item = lists[type]->layout()->itemAt(index);
    return item ? item->widget() : nullptr;
}

void PowerWidget::showPlaces(Power::StepType type)
{
    const int count = power->program.getStepCount(type);
    for (int i = 0; i < count; i++) {
        if (QWidget* row = rowAt(type, i))
            setOdd(row, i % 2);
        PowerStep* step = power->program.getStep(i, type);
        if (QToolButton* up = step->getUpButton())
            up->setEnabled(i > 0);
        if (QToolButton* down = step->getDownButton())
            down->setEnabled(i < count - 1);
    }
    setOdd(areas[type], count % 2);
    setOdd(lists[type], count % 2);
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
    headerPane->adjustSize();
    headerPane->updateGeometry();
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

QSize PowerWidget::minimumSizeHint() const
{
    return QSize(layout()->totalMinimumSize().width(), column->leastHeight(width()));
}

void PowerWidget::showIn(ResizableScrollArea* area)
{
    area->setWidget(this);
    area->setContentLeast(this, [this](int width) { return column->leastHeight(width); });
}

void PowerWidget::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    // Its header and add buttons wrap anew.
    if (event->size().width() != event->oldSize().width())
        updateGeometry();
}

void PowerWidget::stepsReshaped(Power::StepType type, PowerStep* focusStep)
{
    showPlaces(type);
    // The page's wish for room follows its rows, as a new page's would.
    areas[type]->updateGeometry();
    owner->stepsReshaped(focusStep);
}

void PowerWidget::stepAdded(PowerStep* step)
{
    const Power::StepType type = getStepType();
    insertRow(type, power->program.getStepCount(type) - 1, step);
    stepsReshaped(type, step);
    // The new row shows at the page's end.
    lists[type]->layout()->activate();
    areas[type]->adjustSize();
    QScrollBar* bar = areas[type]->verticalScrollBar();
    bar->setValue(bar->maximum());
}

void PowerWidget::hitAndMissChanged()
{
    const Power::StepType tab = getStepType();
    owner->rebuildDialog(power->program.getStep(0, tab), tab, scrollPosition(Power::Hit), scrollPosition(Power::Miss),
        scrollPosition(Power::Effect), false, true);
}

void PowerWidget::moveStep(PowerStep* step, int by)
{
    Power::StepType type = Power::Hit;
    int from = 0;
    if (!locate(power->program, step, type, from))
        return;
    if (by < 0)
        power->program.stepUp(step);
    else
        power->program.stepDown(step);
    int to = from;
    locate(power->program, step, type, to);
    QWidget* row = rowAt(type, from);
    if (to == from || !row)
        return;
    auto* layout = static_cast<QBoxLayout*>(lists[type]->layout());
    layout->removeWidget(row);
    layout->insertWidget(to, row);
    stepsReshaped(type, step);
}

void PowerWidget::powerStepUp(PowerStep* step)
{
    moveStep(step, -1);
}

void PowerWidget::powerStepDown(PowerStep* step)
{
    moveStep(step, 1);
}

void PowerWidget::powerDeleteStep(PowerStep* step)
{
    Power::StepType type = Power::Hit;
    int index = 0;
    if (!locate(power->program, step, type, index))
        return;
    QWidget* row = rowAt(type, index);
    PowerStep* taken = power->program.takeStep(step);
    if (!taken || !row)
        return;
    // The step's own click is still running inside its row: both go after it.
    lists[type]->layout()->removeWidget(row);
    // The focus leaves with the row instead of passing on to the next field.
    if (QWidget* focus = QApplication::focusWidget(); focus && row->isAncestorOf(focus))
        focus->clearFocus();
    row->hide();
    row->deleteLater();
    (new ReleasedStep(taken, this))->deleteLater();
    stepsReshaped(type, nullptr);
}

void PowerWidget::powerUpdateStep(PowerStep* step)
{
    owner->powerStepChanged(step);
}
