#include "toolkit/inputwidgets.h"

#include <QColor>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QPushButton>
#include <QStyleOptionComboBox>
#include <QStylePainter>
#include <QToolTip>

#include "toolkit/keyboardinterface.h"

DialogButtonBox::DialogButtonBox(QDialogButtonBox::StandardButtons buttons, Qt::Orientation orientation, QWidget* parent)
    : QDialogButtonBox(buttons, orientation, parent)
{
    if (QPushButton* ok = button(QDialogButtonBox::Ok))
        ok->setText(tr("OK"));
    if (QPushButton* cancel = button(QDialogButtonBox::Cancel))
        cancel->setText(tr("Cancel"));
}

DisableComboBox::DisableComboBox(KeyboardInterface* keys, QWidget* parent) : QComboBox(parent), keys(keys)
{
}

void DisableComboBox::setIndexEnabled(int index, bool enabled)
{
    if (isIndexEnabled(index) == enabled)
        return;
    setItemData(index, QColor(enabled ? "black" : "grey"), Qt::ForegroundRole);
    if (enabled) {
        disabled.remove(index);
        if (index == currentIndex())
            setCurrentIndex(0);
    } else {
        disabled.insert(index);
    }
}

int DisableComboBox::indexOfUserValue(int value) const
{
    for (int index = 0; index < count(); ++index)
        if (itemData(index).toInt() == value)
            return index;
    return -1;
}

void DisableComboBox::setUserValueEnabled(int value, bool enabled)
{
    const int index = indexOfUserValue(value);
    if (index >= 0)
        setIndexEnabled(index, enabled);
}

bool DisableComboBox::isUserValueEnabled(int value) const
{
    return isIndexEnabled(indexOfUserValue(value));
}

bool DisableComboBox::setCurrentUserValue(int value)
{
    const int index = indexOfUserValue(value);
    if (index < 0)
        return false;
    setCurrentIndex(index);
    return true;
}

int DisableComboBox::getCurrentUserValue() const
{
    return currentData().toInt();
}

void DisableComboBox::keyPressEvent(QKeyEvent* event)
{
    if (keys && keys->keyPressed(event->key(), event->modifiers()))
        return;
    QComboBox::keyPressEvent(event);
}

void DisableComboBox::setElidesText(bool value)
{
    eliding = value;
    if (eliding) {
        // The base measures the frame and the arrow only; the text is added to it.
        setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        setMinimumContentsLength(0);
        connect(this, &QComboBox::currentTextChanged, this, &QWidget::updateGeometry, Qt::UniqueConnection);
    }
    updateGeometry();
}

int DisableComboBox::textRoom() const
{
    QStyleOptionComboBox option;
    initStyleOption(&option);
    // The style draws the text a pixel in from each side of the field.
    return style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this).width() - 2;
}

bool DisableComboBox::isTextElided() const
{
    return eliding && fontMetrics().horizontalAdvance(currentText()) > textRoom();
}

QSize DisableComboBox::sizeHint() const
{
    if (!eliding)
        return QComboBox::sizeHint();
    const QIcon icon = itemIcon(currentIndex());
    const int iconWidth = icon.isNull() ? 0 : iconSize().width() + 4;
    return QComboBox::sizeHint() + QSize(fontMetrics().horizontalAdvance(currentText()) + 2 + iconWidth, 0);
}

QSize DisableComboBox::minimumSizeHint() const
{
    if (!eliding)
        return QComboBox::minimumSizeHint();
    // A few letters and the ellipsis stay.
    const QSize least = QComboBox::minimumSizeHint() + QSize(fontMetrics().horizontalAdvance("Xxx\u2026") + 2, 0);
    return least.boundedTo(sizeHint());
}

void DisableComboBox::paintEvent(QPaintEvent* event)
{
    if (!eliding) {
        QComboBox::paintEvent(event);
        return;
    }
    QStylePainter painter(this);
    painter.setPen(palette().color(QPalette::Text));
    QStyleOptionComboBox option;
    initStyleOption(&option);
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    option.currentText = fontMetrics().elidedText(option.currentText, Qt::ElideRight, textRoom());
    painter.drawControl(QStyle::CE_ComboBoxLabel, option);
}

bool DisableComboBox::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip && isTextElided()) {
        QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), currentText(), this);
        return true;
    }
    return QComboBox::event(event);
}

PathComboBox::PathComboBox(QWidget* parent) : QComboBox(parent)
{
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setMinimumContentsLength(12);
}

void PathComboBox::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    painter.setPen(palette().color(QPalette::Text));
    QStyleOptionComboBox option;
    initStyleOption(&option);
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    // The style draws the text a pixel in from each side of the field.
    const int room = style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this).width() - 2;
    option.currentText = fontMetrics().elidedText(option.currentText, Qt::ElideMiddle, room);
    painter.drawControl(QStyle::CE_ComboBoxLabel, option);
}

SteadySpinBox::SteadySpinBox(int minimum, int maximum) : widestMinimum(minimum), widestMaximum(maximum)
{
    setRange(minimum, maximum);
}

QSize SteadySpinBox::sizeHint() const
{
    return widened(QSpinBox::sizeHint());
}

QSize SteadySpinBox::minimumSizeHint() const
{
    return widened(QSpinBox::minimumSizeHint());
}

QSize SteadySpinBox::widened(QSize hint) const
{
    // Both hints are the style's frame and arrows around the widest text of the range.
    hint.rwidth() += qMax(0, textWidth(widestMinimum, widestMaximum) - textWidth(minimum(), maximum()));
    return hint;
}

int SteadySpinBox::textWidth(int minimum, int maximum) const
{
    // Measured as the box measures them, a space after each.
    const QFontMetrics metrics = fontMetrics();
    return qMax(metrics.horizontalAdvance(textFromValue(minimum) + ' '),
                metrics.horizontalAdvance(textFromValue(maximum) + ' '));
}
