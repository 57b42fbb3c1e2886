#include "powerdialog/goorder.h"

#include <QApplication>

#include "powerdialog/targetpickerwidget.h"
#include "powers/powerprogram.h"
#include "powers/powerstep.h"

GoItem::GoItem(PowerStep* step, Power::StepType type, QSpinBox* spinBox, GoType kind)
    : step(step), spinBox(spinBox), widget(spinBox), stepType(type), kind(kind)
{
}

GoItem::GoItem(TargetPickerWidget* picker, Power::StepType type, QWidget* widget, GoType kind)
    : picker(picker), widget(widget), stepType(type), kind(kind)
{
}

bool GoItem::hasFocus(Power::StepType tab) const
{
    if (stepType != tab && stepType != Power::AnyStep)
        return false;
    if (step)
        return step->hasFocus();
    if (picker)
        return picker->hasFocus();
    return widget && widget->hasFocus();
}

bool GoItem::takeFocus(QTabWidget* tabs) const
{
    if (tabs && stepType != Power::AnyStep)
        tabs->setCurrentIndex(stepType);
    // Showing the tab may rebuild what the stop points at.
    if (!widget || !widget->isVisible() || !widget->isEnabled())
        return false;
    if (picker) {
        const bool left = picker->leftHasContent(stepType);
        picker->setFocus(left);
        picker->selectItem(left);
    } else {
        if (spinBox)
            spinBox->selectAll();
        widget->setFocus(Qt::OtherFocusReason);
    }
    return true;
}

void GoHandler::reset(PowerProgram* program)
{
    this->program = program;
    stops.clear();
}

void GoHandler::addWidget(TargetPickerWidget* picker, QWidget* widget, GoItem::GoType kind)
{
    stops.append(GoItem(picker, stepType, widget, kind));
}

void GoHandler::addWidget(PowerStep* step, QSpinBox* spinBox, GoItem::GoType kind)
{
    stops.append(GoItem(step, stepType, spinBox, kind));
}

int GoHandler::shownTab() const
{
    return tabWidget ? tabWidget->currentIndex() : Power::Hit;
}

bool GoHandler::findCurrentPosition(int& position) const
{
    const auto tab = Power::StepType(shownTab());
    for (position = 0; position < stops.size(); position++)
        if (stops[position].hasFocus(tab))
            return true;
    // The first stop of the first list with steps, from the shown tab on.
    Power::StepType type = tab;
    for (int tries = 0; tries < 3; tries++) {
        const auto candidate = Power::StepType((tab + tries) % 3);
        if (program && program->getStepCount(candidate) > 0) {
            type = candidate;
            break;
        }
    }
    for (position = 0; position < stops.size(); position++)
        if (stops[position].isStepType(type))
            return false;
    position = 0;
    return false;
}

void GoHandler::currentWidget(QString& hint, QString& buttonText) const
{
    int position = 0;
    const bool found = findCurrentPosition(position);
    getGoText(found, position, hint, buttonText);
}

void GoHandler::nextWidget(QString& hint, QString& buttonText)
{
    moveWidget(1, hint, buttonText);
}

void GoHandler::prevWidget(QString& hint, QString& buttonText)
{
    moveWidget(-1, hint, buttonText);
}

void GoHandler::moveWidget(int by, QString& hint, QString& buttonText)
{
    const int n = stops.size();
    if (n == 0)
        return;
    int position = 0;
    if (findCurrentPosition(position))
        position = (position + by + n) % n;
    const int start = position;
    // A stop taking the focus may switch tabs and rebuild the stops.
    for (int tries = 0; tries < n && tries < stops.size(); tries++) {
        const int at = (start + by * tries + n * n) % n;
        if (at < stops.size() && stops[at].takeFocus(tabWidget)) {
            position = at;
            break;
        }
    }
    getGoText(true, qMin(position, stops.size() - 1), hint, buttonText);
}

QString GoHandler::buttonWord(ButtonWord word)
{
    switch (word) {
    case Start: return tr("Start");
    case Next: return tr("Next");
    case Restart: return tr("Restart");
    }
    return QString();
}

void GoHandler::getGoText(bool found, int position, QString& hint, QString& buttonText) const
{
    const int n = stops.size();
    if (n < 2) {
        hint = tr("Add conditions and effects");
        buttonText = buttonWord(Start);
        return;
    }
    buttonText = buttonWord(!found ? Start : position == n - 1 ? Restart : Next);
    const GoItem& stop = stops[position];
    const Power::StepType type = stop.getStepType();
    const bool attack = program && program->getStepCount(Power::Miss) > 0;
    const bool fromTargets = TargetPickerWidget::gMissSource == TargetPickerWidget::FromTargets;
    switch (stop.getKind()) {
    case GoItem::Done: hint = tr("You're done, hit ENTER"); break;
    case GoItem::TargetsHit:
        hint = fromTargets && attack ? tr("Select targets of attack") : tr("Select creatures hit");
        break;
    case GoItem::TargetsMissed:
        hint = fromTargets ? tr("Select targets missed") : tr("Select creatures missed");
        break;
    case GoItem::CreaturesAffected: hint = tr("Select effected creatures"); break;
    case GoItem::DamagePerTarget:
        hint = type == Power::Hit    ? tr("Enter hit damage/target")
               : type == Power::Miss ? tr("Enter miss damage/target")
                                     : tr("Enter effect damage/target");
        break;
    case GoItem::Damage:
        hint = type == Power::Hit    ? tr("Enter hit damage")
               : type == Power::Miss ? tr("Enter miss damage")
                                     : tr("Enter effect damage");
        break;
    case GoItem::Healing:
        hint = type == Power::Hit || type == Power::Miss ? tr("Enter healing amount") : tr("Enter effect healing");
        break;
    }
    hint = QString("%1 (%2/%3)").arg(hint).arg(position + 1).arg(n);
}
