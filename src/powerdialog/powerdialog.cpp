#include "powerdialog/powerdialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QKeySequence>
#include <QLabel>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QScrollArea>
#include <QToolButton>
#include <QVBoxLayout>

#include <functional>

#include "creature/creature.h"
#include "encounter/encounter.h"
#include "foundation/global.h"
#include "powerdialog/targetpickerwidget.h"
#include "toolkit/inputwidgets.h"
#include "toolkit/panelhost.h"
#include "toolkit/scrollandtabs.h"

namespace {

QString nativeKeys(const char* keys)
{
    return QKeySequence(keys).toString(QKeySequence::NativeText);
}

QWidget* comboGroup(const QString& title, DisableComboBox* combo)
{
    // A combo asks for its chosen entry, not its longest (its list opens as
    // wide as that), and gives way before the three leave their one row.
    combo->setElidesText(true);
    auto* group = new QGroupBox(title);
    group->setLayout(WindowsAndDialogs::hLayout(5, combo));
    // The groups of a row share its spare width.
    group->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    return group;
}

// The GO hint asks for two lines of about twenty characters, whatever it
// says: a hint that comes, goes or wraps anew moves nothing around it.
class GoHintLabel : public QLabel
{
public:
    GoHintLabel()
    {
        setTextFormat(Qt::RichText);
        setWordWrap(true);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    }

    QSize sizeHint() const override
    {
        const QFontMetrics metrics = fontMetrics();
        return QSize(22 * metrics.averageCharWidth(), 2 * metrics.lineSpacing())
               .grownBy(contentsMargins());
    }
    QSize minimumSizeHint() const override { return sizeHint(); }
    bool hasHeightForWidth() const override { return false; }
};

}

// The panel fills the height of the area that shows it, the step list taking
// what the rest leaves: a row that grows or goes moves nothing below the list.
// Each new height is told, once the panel's parts are laid out in it.
class FilledPanel : public QWidget
{
public:
    explicit FilledPanel(std::function<void()> resized) : resized(std::move(resized))
    {
        setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
    }

protected:
    void resizeEvent(QResizeEvent* event) override
    {
        QWidget::resizeEvent(event);
        resized();
    }

private:
    std::function<void()> resized;
};

PowerDialog::PowerDialog(Creature* origin, const QString& powerName, const QString& actionName,
                         const QList<Creature*>& targets, const QList<Creature*>& effected)
    : creatures(false, origin, powerName, actionName, targets, effected, this), lastFocusOld(this),
      lastFocusNew(this)
{
    Power::Usage usage = Power::Unused;
    if (const CreaturePower* chosen = creatures.getPowerOrAction(isAction, usage))
        replaceWorkingCopy(*chosen, usage);
    setWindowTitle(tr("Apply Conditions and Effects"));
    connect(&Global::switchBoard, &SwitchBoard::doMultiDamageRequiresResize, this,
            &PowerDialog::onMultiDamageRequiresResize);
    connect(qApp, &QApplication::focusChanged, this, &PowerDialog::onFocusChanged);
}

PowerDialog::~PowerDialog()
{
    // The focus moves while the panel goes.
    disconnect(qApp, nullptr, this, nullptr);
    // Once only: deleting the panel cancels the host's deferred release, and
    // a panel the host released already is no longer here to delete.
    delete widget;
}

void PowerDialog::replaceWorkingCopy(const CreaturePower& chosen, Power::Usage usage)
{
    // The stops point at the steps that are about to go.
    goHandler.reset(nullptr);
    power = chosen;
    power.usage = usage;
}

QWidget* PowerDialog::getWidget()
{
    delete widget;
    setupWidget(Power::Hit, 0, 0, 0);
    return widget;
}

void PowerDialog::setupWidget(Power::StepType stepType, int hitScroll, int missScroll, int effectScroll)
{
    // The rows made for the new panel tell of their size before it is there.
    const QScopedValueRollback<bool> guard(building, true);
    auto* layout = new QVBoxLayout;
    layout->setContentsMargins(8, 3, 8, 5);
    layout->setSpacing(0);
    DisableComboBox* originCombo = creatures.getOriginControl();
    auto* powerCombo = static_cast<DisableComboBox*>(creatures.getPowerControl(true));
    auto* actionCombo = static_cast<DisableComboBox*>(creatures.getActionControl());
    QHBoxLayout* choices = hLayout(comboGroup(tr("Attacker/Origin"), originCombo), comboGroup(tr("Powers"), powerCombo),
                                   comboGroup(tr("Actions"), actionCombo));
    choices->setSpacing(8);
    layout->addWidget(layoutToWidget(choices));
    // The editor takes the height the rest of the panel leaves, its step list
    // what the editor's other rows leave; only where that is less than its
    // least does the editor scroll, the target picker and the buttons staying
    // in view.
    editorArea = new ResizableScrollArea(true, true);
    editorArea->setFrameShape(QFrame::NoFrame);
    editorArea->setFocusPolicy(Qt::NoFocus);
    editorArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    editorArea->setWidthFollowsContent(true);
    powerWidget = new PowerWidget(this, &creatures, &power, isAction, stepType, hitScroll, missScroll, effectScroll);
    powerWidget->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
    powerWidget->showIn(editorArea);
    powerWidget->installEventFilter(this);
    addYielding(layout, editorArea, 1);
    layout->addSpacing(8);
    targetPicker = new TargetPickerWidget(this, &creatures, &power);
    layout->addWidget(targetPicker);

    buttonBox = new DialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, Qt::Horizontal);
    saveButton = new QPushButton(tr("Save Changes"));
    saveButton->setToolTip(tr("Save changes to the power or action without applying effects to the target(s)"));
    trackableButton = new QPushButton;
    actionPointBox = new QCheckBox(tr("Use Action Point"));
    setupControlText();
    layout->addWidget(wrappingRow({saveButton, trackableButton, actionPointBox, buildGoFrame(), buttonBox}, 8));
    buttonBox->button(QDialogButtonBox::Cancel)->setFocusPolicy(Qt::NoFocus);
    setDefaultButton(okButton());
    widget = new FilledPanel([this] { fitTargetLists(); });
    widget->setLayout(layout);

    choiceControls = {originCombo, powerCombo, actionCombo};
    setupTabOrder();
    setupOKButton(targetPicker->setupControls(stepType));
    setupSaveButton(QString());
    setupGoOrder();

    connect(saveButton, &QPushButton::clicked, this, &PowerDialog::saveButtonPressed);
    connect(trackableButton, &QPushButton::clicked, this, &PowerDialog::nonTrackablePressed);
    connect(actionPointBox, &QCheckBox::toggled, this, [this](bool checked) {
        useActionPoint = checked;
        previewSteps();
    });
    connect(goButton, &QToolButton::clicked, this, &PowerDialog::goButtonPressed);
    connect(buttonBox, &QDialogButtonBox::accepted, this, &PowerDialog::accept);
    connect(buttonBox, &QDialogButtonBox::rejected, this, &PowerDialog::reject);
}

void PowerDialog::setupTabOrder()
{
    tabHandler.reset();
    for (QWidget* control : std::as_const(choiceControls))
        tabHandler.addWidget(control);
    powerWidget->setTabOrder(&tabHandler);
    targetPicker->setTabOrder(&tabHandler);
    tabHandler.addWidget(okButton());
}

QWidget* PowerDialog::buildGoFrame()
{
    goButton = toolButton(tr("GO"), 68, 20);
    goButton->setFocusPolicy(Qt::NoFocus);
    goButton->setToolTip(tr("Go to the next field that requires input %1 / %2")
                             .arg(nativeKeys("Ctrl+G"), nativeKeys("Ctrl+Shift+G")));
    goLabel = new GoHintLabel;
    // As wide as its widest text: the button under the pointer keeps its edges.
    int widest = goButton->sizeHint().width();
    for (const GoHandler::ButtonWord word : {GoHandler::Start, GoHandler::Next, GoHandler::Restart}) {
        setGoText(QString(), GoHandler::buttonWord(word));
        widest = qMax(widest, goButton->sizeHint().width());
    }
    goButton->setMinimumWidth(widest);
    clearGoText();
    auto* row = hLayout(goLabel, goButton);
    row->setContentsMargins(5, 5, 5, 5);
    row->setSpacing(2);
    auto* frame = new QFrame;
    frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
    frame->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    frame->setContentsMargins(2, 5, 2, 5);
    frame->setLayout(row);
    return frame;
}

QPushButton* PowerDialog::okButton() const
{
    return buttonBox ? buttonBox->button(QDialogButtonBox::Ok) : nullptr;
}

void PowerDialog::setupControlText()
{
    bool chosenIsAction = false;
    Power::Usage usage = Power::Unused;
    const bool chosen = creatures.getPowerOrAction(chosenIsAction, usage);
    trackableButton->setEnabled(chosen && !chosenIsAction);
    if (power.current.applyTo[Power::Hit].kind == Power::NotTrackable) {
        trackableButton->setText(tr("Power Trackable"));
        trackableButton->setToolTip(
            tr("Click to make the power trackable (can also be changed by editing the power header)"));
    } else {
        trackableButton->setText(tr("Non-trackable"));
        trackableButton->setToolTip(tr("Click if the this power has no trackable effects, e.g. movement only"));
    }
    Creature* origin = creatures.getOrigin();
    QString tip = origin ? tr("Check if %1 uses an Action Point ").arg(origin->getNameGroup())
                         : tr("Check if an Action Point is required ");
    tip += isAction ? tr("to perform this action") : tr("when using this power");
    // The tick stays over rebuilds while a power or action is chosen.
    useActionPoint = useActionPoint && chosen;
    const QSignalBlocker blocker(actionPointBox);
    actionPointBox->setEnabled(chosen);
    actionPointBox->setChecked(useActionPoint);
    actionPointBox->setToolTip(tip);
}

void PowerDialog::setupOKButton(const QString& message)
{
    QPushButton* ok = okButton();
    ok->setEnabled(message.isEmpty());
    ok->setToolTip(message.isEmpty() ? tr("Click to use power/action and apply effects") : message);
}

void PowerDialog::setupSaveButton(const QString& name)
{
    if (!name.isEmpty())
        changedPowerName = name;
    const bool changed = !changedPowerName.isEmpty() && changedPowerName == power.name;
    saveButton->setEnabled(changed);
    if (!changed)
        changedPowerName.clear();
}

void PowerDialog::resetAllDeltas()
{
    Global::encounter->resetAllDeltas();
}

void PowerDialog::previewSteps()
{
    power.preview(creatures.getOrigin(), useActionPoint, creatures.getTargetList(), creatures.getMissList(),
                  creatures.getEffectList());
}

void PowerDialog::sizeToHint()
{
    // In the main window the panel is fitted to its area: the rows' own
    // layout requests make room for them once, at the next pass.
    if (!powerWidget || !widget || !widget->isWindow())
        return;
    powerWidget->sizeToHint();
    widget->resize(widget->sizeHint());
}

void PowerDialog::setupDialogButton(QToolButton* button)
{
    button->setText(tr("Classic C&&E Dialog"));
    button->setToolTip(tr("Click to switch to the classic Conditions and Effects dialog"));
    button->setVisible(true);
    connect(button, &QToolButton::clicked, this, &PowerDialog::toggleDialogClicked);
}

void PowerDialog::setDefaultFocus(QWidget*)
{
    power.setup(true);
    const bool effectFirst = power.current.applyTo[Power::Hit].kind == Power::NoTarget
                             && power.current.applyTo[Power::Effect].kind != Power::NoTarget;
    powerWidget->setStepType(effectFirst ? Power::Effect : Power::Hit);
    previewSteps();
}

int PowerDialog::exec()
{
    PanelHost* host = PanelHost::instance();
    if (host)
        host->previewCreature(creatures.getOrigin());
    const int result = FlatDialog::exec();
    Creature* current = Global::encounter->getCurrentCreature();
    if (host && current != creatures.getOrigin())
        host->previewCreature(current);
    // The caller records from the figures as they are, without our previews.
    resetAllDeltas();
    return result;
}

bool PowerDialog::commandKeyPressed(int key, Qt::KeyboardModifiers modifiers)
{
    if (!powerWidget || !targetPicker)
        return false;
    if (powerWidget->keyPressed(key, modifiers))
        return true;
    const bool control = modifiers == Qt::ControlModifier;
    if (control && (key == Qt::Key_T || key == Qt::Key_S)) {
        targetPicker->setFocus(key == Qt::Key_T);
        return true;
    }
    if (key == Qt::Key_G && control) {
        nextInGoOrder();
        return true;
    }
    if (key == Qt::Key_G && modifiers == (Qt::ControlModifier | Qt::ShiftModifier)) {
        prevInGoOrder();
        return true;
    }
    return false;
}

CreaturePower* PowerDialog::getPowerToEdit(bool* isAction)
{
    if (isAction)
        *isAction = this->isAction;
    return &power;
}

bool PowerDialog::getUseActionPoint() const
{
    return useActionPoint;
}

void PowerDialog::rebuildDialog(PowerStep* focusStep, Power::StepType tab, int hitScroll, int missScroll,
                                int effectScroll, bool powerReplaced, bool tabOnly)
{
    // Nothing to replace before the panel is first built.
    if (!widget)
        return;
    if (tabOnly) {
        setupOKButton(targetPicker->setupControls(tab));
    } else {
        setupSaveButton(powerReplaced ? QString() : power.name);
        resetAllDeltas();
        const QPointer<QWidget> old = widget;
        setupWidget(tab, hitScroll, missScroll, effectScroll);
        if (PanelHost* host = PanelHost::instance()) {
            host->setFlatDialogDisplay(widget, true);
        } else {
            old->hide();
            old->deleteLater();
            widget->show();
        }
        powerWidget->scrollTo(hitScroll, missScroll, effectScroll);
        power.setup(powerReplaced);
        previewSteps();
    }
    if (focusStep)
        focusStep->setDefaultFocus();
}

void PowerDialog::powerStepChanged(PowerStep*)
{
    setupSaveButton(power.name);
    setupGoOrder();
    currentGoOrder();
    previewSteps();
}

void PowerDialog::stepsReshaped(PowerStep* focusStep)
{
    setupSaveButton(power.name);
    resetAllDeltas();
    setupTabOrder();
    // The hit list's heading tells whether missed creatures come from it.
    setupOKButton(targetPicker->setupControls(Power::AnyStep));
    setupGoOrder();
    previewSteps();
    // The texts counted the stops as they were: as after a rebuild, they
    // wait for a field, unless one kept the focus through the change.
    clearGoText();
    if (focusStep)
        focusStep->setDefaultFocus();
    if (tabHandler.contains(QApplication::focusWidget()))
        currentGoOrder();
}

void PowerDialog::originChanged(Creature* origin)
{
    if (PanelHost* host = PanelHost::instance())
        host->previewCreature(origin);
    Power::Usage usage = Power::Unused;
    if (const CreaturePower* chosen = creatures.getPowerOrAction(isAction, usage))
        replaceWorkingCopy(*chosen, usage);
    else if (!power.name.isEmpty())
        replaceWorkingCopy(CreaturePower(), Power::Unused);
    // The action point was another creature's.
    useActionPoint = false;
    rebuildDialog(nullptr, Power::Hit, 0, 0, 0, true, false);
}

void PowerDialog::powerHeaderChanged(bool replaced)
{
    Power::Usage usage = Power::Unused;
    const CreaturePower* chosen = creatures.getPowerOrAction(isAction, usage);
    if (!chosen || replaced) {
        replaceWorkingCopy(chosen ? *chosen : CreaturePower(), usage);
        rebuildDialog(nullptr, Power::Hit, 0, 0, 0, true, false);
        return;
    }
    // Only the header changed: the program's pending edits stay.
    power.setHeader(chosen);
    if (!widget)
        return;
    powerWidget->updateHeaderText();
    setupControlText();
    setupOKButton(targetPicker->setupControls(Power::AnyStep));
}

void PowerDialog::pickListChanged(const QString& message)
{
    power.program.hitAndMissTargetsChanged();
    setupOKButton(message);
    setupGoOrder();
    previewSteps();
}

void PowerDialog::missSourceChanged()
{
    currentGoOrder();
}

void PowerDialog::toggleDialogClicked()
{
    done(SwitchDialog);
}

void PowerDialog::saveButtonPressed(bool)
{
    done(SaveOnly);
}

void PowerDialog::nonTrackablePressed(bool)
{
    int& kind = power.current.applyTo[Power::Hit].kind;
    kind = kind == Power::NotTrackable ? Power::AnyCreature : Power::NotTrackable;
    done(SaveOnly);
}

void PowerDialog::goButtonPressed()
{
    nextInGoOrder();
}

void PowerDialog::onFocusChanged(QWidget* old, QWidget* now)
{
    showWhole(now);
    if (!widget || !tabHandler.contains(now) || old == lastFocusOld || now == lastFocusNew)
        return;
    lastFocusOld = old;
    lastFocusNew = now;
    targetPicker->focusMoved(old);
    currentGoOrder();
}

bool PowerDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != powerWidget)
        return FlatDialog::eventFilter(watched, event);
    // A step that came, went or grew changes the editor's least, measured
    // anew once its layout asks to be redone: the lists make room for it,
    // or take back what it left.
    if (event->type() == QEvent::LayoutRequest)
        fitTargetLists();
    return false;
}

void PowerDialog::fitTargetLists()
{
    // The target lists give way before the editor scrolls, down to a few
    // entries; they follow the panel's height and the editor's least, which
    // targets coming and going leave as it is, so that they move neither the
    // lists nor the buttons.
    const int spare = editorArea->viewport()->height() - powerWidget->minimumSizeHint().height();
    targetPicker->fitLists(targetPicker->listsRowHeight() + spare);
}

void PowerDialog::showWhole(QWidget* field)
{
    // GO and Tab may reach a field the editor or its step list has scrolled
    // away: each area it lies in scrolls it into view, the innermost first.
    if (!widget || !field || !widget->isAncestorOf(field))
        return;
    for (QWidget* above = field->parentWidget(); above != widget; above = above->parentWidget())
        if (auto* area = qobject_cast<QScrollArea*>(above)) {
            // Whole, not only its text cursor.
            const QPoint centre = field->mapTo(area->widget(), field->rect().center());
            area->ensureVisible(centre.x(), centre.y(), field->width() / 2 + 1, field->height() / 2 + 1);
        }
}

void PowerDialog::onMultiDamageRequiresResize()
{
    if (building || !widget)
        return;
    sizeToHint();
    // The rows that came or went are fields of their step.
    setupTabOrder();
    // The first row, or the damage, is the step's stop.
    setupGoOrder();
}

void PowerDialog::setupGoOrder()
{
    goHandler.reset(&power.program);
    goHandler.setTabWidget(powerWidget->getTabWidget());
    QList<Power::StepType> taking;
    for (Power::StepType type : {Power::Hit, Power::Miss, Power::Effect}) {
        const bool steps = power.program.getStepCount(type) > 0;
        // The missed creatures are checked with the hit ones.
        if (steps || (type != Power::Miss && !targetPicker->pickedTargetsCorrect(type, nullptr, nullptr)))
            taking.append(type);
    }
    for (Power::StepType type : taking) {
        goHandler.setStepType(type);
        targetPicker->setGoOrder(&goHandler);
    }
    for (Power::StepType type : taking) {
        goHandler.setStepType(type);
        powerWidget->setGoOrder(&goHandler, type);
    }
    goHandler.addWidget(nullptr, okButton(), GoItem::Done);
}

void PowerDialog::nextInGoOrder()
{
    QString hint;
    QString buttonText;
    goHandler.nextWidget(hint, buttonText);
    setGoText(hint, buttonText);
}

void PowerDialog::prevInGoOrder()
{
    QString hint;
    QString buttonText;
    goHandler.prevWidget(hint, buttonText);
    setGoText(hint, buttonText);
}

void PowerDialog::currentGoOrder()
{
    QString hint;
    QString buttonText;
    goHandler.currentWidget(hint, buttonText);
    setGoText(hint, buttonText);
}

void PowerDialog::clearGoText()
{
    goLabel->clear();
    goButton->setText(tr("GO"));
}

void PowerDialog::setGoText(const QString& hint, const QString& buttonText)
{
    goLabel->setText(hint);
    goButton->setText(QString("%1 %2").arg(buttonText, nativeKeys("Ctrl+G")));
}
