#ifndef CUTTEXTS_H
#define CUTTEXTS_H

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStyleOptionComboBox>
#include <QTextDocument>
#include <QToolButton>
#include <QtMath>

// Where the widget's texts land after layout, measured with its font against
// the room the style gives them and the part of it its ancestors leave in view.
class CutTexts
{
public:
    explicit CutTexts(QWidget* root)
    {
        for (QWidget* widget : root->findChildren<QWidget*>())
            if (widget->isVisible())
                measure(widget);
    }

    QStringList cut;

private:
    void measure(QWidget* widget)
    {
        if (auto* header = qobject_cast<QHeaderView*>(widget))
            return measureHeader(header);
        if (auto* view = qobject_cast<QAbstractItemView*>(widget))
            return measureView(view);
        const QFontMetrics metrics = widget->fontMetrics();
        QStyleOptionButton option;
        option.initFrom(widget);
        if (auto* label = qobject_cast<QLabel*>(widget)) {
            if (label->wordWrap() || label->text().isEmpty())
                return;
            QTextDocument document;
            document.setDefaultFont(label->font());
            document.setDocumentMargin(0);
            if (label->textFormat() == Qt::PlainText || !Qt::mightBeRichText(label->text()))
                document.setPlainText(label->text());
            else
                document.setHtml(label->text());
            const QRect room = label->contentsRect().adjusted(label->margin(), 0, -label->margin(), 0);
            return place(label, label->text(), qCeil(document.idealWidth()), room, label->alignment());
        }
        if (auto* check = qobject_cast<QCheckBox*>(widget))
            return place(check, check->text(), textWidth(metrics, check->text()),
                         check->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, check), Qt::AlignLeft);
        if (auto* push = qobject_cast<QPushButton*>(widget)) {
            const int icon = push->icon().isNull() ? 0 : push->iconSize().width() + 4;
            return place(push, push->text(), textWidth(metrics, push->text()) + icon,
                         push->style()->subElementRect(QStyle::SE_PushButtonContents, &option, push), Qt::AlignCenter);
        }
        if (auto* tool = qobject_cast<QToolButton*>(widget)) {
            if (tool->toolButtonStyle() == Qt::ToolButtonIconOnly && (!tool->icon().isNull() || tool->arrowType() != Qt::NoArrow))
                return;
            const int frame = tool->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, tool);
            return place(tool, tool->text(), textWidth(metrics, tool->text()),
                         tool->rect().adjusted(frame, 0, -frame, 0), Qt::AlignCenter);
        }
        if (auto* combo = qobject_cast<QComboBox*>(widget)) {
            if (combo->isEditable())
                return;
            QStyleOptionComboBox box;
            box.initFrom(combo);
            box.subControls = QStyle::SC_All;
            box.frame = combo->hasFrame();
            const QRect room = combo->style()->subControlRect(QStyle::CC_ComboBox, &box, QStyle::SC_ComboBoxEditField, combo);
            return place(combo, combo->currentText(), metrics.horizontalAdvance(combo->currentText()), room, Qt::AlignLeft);
        }
        if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
            if (!edit->text().isEmpty())
                return;
            const QMargins margins = edit->textMargins();
            const int frame = edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, edit) + 2;
            const QRect room = edit->contentsRect().marginsRemoved(margins).adjusted(frame, 0, -frame, 0);
            return place(edit, edit->placeholderText(), metrics.horizontalAdvance(edit->placeholderText()), room, Qt::AlignLeft);
        }
        if (auto* group = qobject_cast<QGroupBox*>(widget)) {
            QStyleOptionGroupBox box;
            box.initFrom(group);
            box.text = group->title();
            box.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
            box.textAlignment = group->alignment();
            const QRect room = group->style()->subControlRect(QStyle::CC_GroupBox, &box, QStyle::SC_GroupBoxLabel, group)
                                       .intersected(group->rect());
            place(group, group->title(), textWidth(metrics, group->title()), room, Qt::AlignLeft);
        }
    }

    void measureHeader(QHeaderView* header)
    {
        const int margin = header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
        for (int section = 0; section < header->count(); ++section) {
            const QString text = header->model()->headerData(section, header->orientation()).toString();
            if (header->isSectionHidden(section) || text.isEmpty())
                continue;
            const QRect room(header->sectionViewportPosition(section) + margin, 0,
                             header->sectionSize(section) - 2 * margin, header->height());
            place(header->viewport(), text, textWidth(header->fontMetrics(), text), room, Qt::AlignCenter);
        }
    }

    void measureView(QAbstractItemView* view)
    {
        if (view->horizontalScrollBar()->isVisible())
            cut << QString("%1 scrolls sideways").arg(view->metaObject()->className());
        const QAbstractItemModel* model = view->model();
        const int margin = view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1;
        for (int row = 0; model && row < model->rowCount(); ++row)
            for (int column = 0; column < model->columnCount(); ++column) {
                const QModelIndex index = model->index(row, column);
                const QString text = index.data().toString();
                QRect room = view->visualRect(index).adjusted(margin, 0, -margin, 0);
                if (text.isEmpty() || view->indexWidget(index))
                    continue;
                if (!index.data(Qt::DecorationRole).isNull())
                    room.setLeft(room.left() + view->iconSize().width() + 2 * margin);
                if (index.data(Qt::CheckStateRole).isValid())
                    room.setLeft(room.left() + view->style()->pixelMetric(QStyle::PM_IndicatorWidth) + 2 * margin);
                place(view->viewport(), text, view->fontMetrics().horizontalAdvance(text), room, Qt::AlignLeft);
            }
    }

    static int textWidth(const QFontMetrics& metrics, const QString& text)
    {
        return metrics.size(Qt::TextShowMnemonic, text).width();
    }

    // The text at its place in the room: it is cut when wider than the room
    // or when an ancestor hides part of it, unless all of it is scrolled away.
    void place(QWidget* widget, const QString& text, int width, const QRect& room, Qt::Alignment alignment)
    {
        if (text.isEmpty())
            return;
        const QRect spot = QStyle::alignedRect(widget->layoutDirection(), alignment & Qt::AlignHorizontal_Mask,
                                               QSize(width, room.height()), room);
        const QWidget* window = widget->window();
        const QRect whole(widget->mapTo(window, spot.topLeft()), spot.size());
        // The bounds of every ancestor, each direction on its own (QRect makes an empty overlap 0 × 0).
        int left = 0, top = 0, right = window->width() - 1, bottom = window->height() - 1;
        for (const QWidget* above = widget; above != window; above = above->parentWidget()) {
            const QRect bounds(above->mapTo(window, QPoint(0, 0)), above->size());
            left = qMax(left, bounds.left());
            right = qMin(right, bounds.right());
            top = qMax(top, bounds.top());
            bottom = qMin(bottom, bounds.bottom());
        }
        if (whole.bottom() < top || whole.top() > bottom)
            return;
        const int shown = qMin(whole.right(), right) - qMax(whole.left(), left) + 1;
        if (width > room.width() || shown < width)
            cut << QString("%1 \"%2\" needs %3 pixels, shows %4")
                           .arg(widget->metaObject()->className(), text.left(40))
                           .arg(width)
                           .arg(qMin(room.width(), shown));
    }
};

#endif
