#ifndef TEXTROOM_H
#define TEXTROOM_H

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QStringList>
#include <QStyle>
#include <QStyleOption>
#include <QToolButton>

// Whether the texts of laid-out widgets have room: each is measured with the
// widget's font against the rectangle its style draws the text in, never
// against the widget's own wishes (a size hint can be wrong).
namespace TextRoom {

// The room the style leaves a button's text.
inline QSize buttonRoom(const QAbstractButton* button)
{
    QStyle* style = button->style();
    QRect room;
    if (const auto* check = qobject_cast<const QCheckBox*>(button)) {
        QStyleOptionButton option;
        option.initFrom(check);
        room = style->subElementRect(QStyle::SE_CheckBoxContents, &option, check);
    } else if (const auto* push = qobject_cast<const QPushButton*>(button)) {
        QStyleOptionButton option;
        option.initFrom(push);
        if (push->autoDefault() || push->isDefault())
            option.features |= QStyleOptionButton::AutoDefaultButton;
        room = style->subElementRect(QStyle::SE_PushButtonContents, &option, push);
    } else {
        const int frame = style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, button);
        room = button->rect().adjusted(frame, frame, -frame, -frame);
    }
    if (!button->icon().isNull())
        room.setWidth(room.width() - button->iconSize().width() - 4);
    return room.size();
}

// The width the style leaves a combo box's current text.
inline int comboRoom(const QComboBox* combo)
{
    QStyleOptionComboBox option;
    option.initFrom(combo);
    option.editable = combo->isEditable();
    option.frame = combo->hasFrame();
    // The label is drawn a pixel in from each side of the field.
    return combo->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, combo).width()
           - 2;
}

// The shown buttons, combo boxes and wrapped labels under root whose text is wider or taller than its room, as "'text' needs N, has M".
inline QStringList cutTexts(const QWidget* root)
{
    QStringList cut;
    auto check = [&cut](const QWidget* widget, const QString& text, int needs, int has) {
        if (widget->isVisible() && !text.isEmpty() && needs > has)
            cut << QString("'%1' needs %2, has %3").arg(text).arg(needs).arg(has);
    };
    for (const QAbstractButton* button : root->findChildren<QAbstractButton*>()) {
        const QSize text = button->fontMetrics().size(Qt::TextShowMnemonic, button->text());
        const QSize room = buttonRoom(button);
        check(button, button->text(), text.width(), room.width());
        check(button, button->text(), text.height(), room.height());
    }
    // A wrapped label's lines are laid out at its width.
    for (const QLabel* label : root->findChildren<QLabel*>())
        if (label->wordWrap())
            check(label, label->text(), label->heightForWidth(label->width()), label->height());
    for (const QComboBox* combo : root->findChildren<QComboBox*>())
        check(combo, combo->currentText(), combo->fontMetrics().horizontalAdvance(combo->currentText()),
            comboRoom(combo));
    return cut;
}

}

#endif
