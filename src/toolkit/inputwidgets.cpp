#include "toolkit/inputwidgets.h"

#include <QColor>
#include <QKeyEvent>
#include <QPushButton>
#include <QStyleOptionComboBox>
#include <QStylePainter>

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
