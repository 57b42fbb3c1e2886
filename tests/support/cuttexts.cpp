#include "support/cuttexts.h"

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QBoxLayout>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QStyleOption>
#include <QTabBar>
#include <QTextDocument>
#include <QTextBlock>
#include <QTextLayout>
#include <QTextEdit>
#include <QToolButton>
#include <QToolTip>
#include <QTreeView>
#include <QtMath>

#include "foundation/global.h"
#include "toolkit/inputwidgets.h"
#include "toolkit/progressbar.h"
#include "toolkit/wrappinglayout.h"

namespace {

// A text and the room its widget gives it, in the widget's coordinates. A
// cell or a header section may reach past the edge where its text does not:
// the text stands in its room as aligned.
struct TextRoom
{
    QString text;
    QRect room;
    QSize needed;
    Qt::Alignment alignment = {};

    bool fits() const { return needed.width() <= room.width() && needed.height() <= room.height(); }
    QRect drawn() const
    {
        return alignment ? QStyle::alignedRect(Qt::LeftToRight, alignment, needed.boundedTo(room.size()), room) : room;
    }
};

QSize plainTextSize(const QFontMetrics& metrics, const QString& text, int flags = Qt::TextShowMnemonic)
{
    return metrics.size(flags | Qt::TextExpandTabs, text);
}

QSize wrappedSize(const QFontMetrics& metrics, const QString& text, int width)
{
    return metrics.boundingRect(QRect(0, 0, width, 100000), Qt::TextWordWrap | Qt::TextExpandTabs, text).size();
}

// Beside an icon the style leaves 4 pixels between icon and text.
QSize besideIcon(const QFontMetrics& metrics, const QString& text, const QIcon& icon, QSize iconSize,
                 int flags = Qt::TextShowMnemonic)
{
    const QSize size = plainTextSize(metrics, text, flags);
    return icon.isNull() ? size : QSize(size.width() + iconSize.width() + 4, qMax(size.height(), iconSize.height()));
}

// The style's option of the button, for what its text and icon take.
template <class Option>
Option buttonOption(const QAbstractButton* button)
{
    Option option;
    option.initFrom(button);
    option.text = button->text();
    option.icon = button->icon();
    option.iconSize = button->iconSize();
    return option;
}

QList<TextRoom> pushButtonText(const QPushButton* button)
{
    auto option = buttonOption<QStyleOptionButton>(button);
    if (button->menu())
        option.features |= QStyleOptionButton::HasMenu;
    QRect room = button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
    if (button->menu())
        room.setRight(room.right() - button->style()->pixelMetric(QStyle::PM_MenuButtonIndicator, &option, button));
    return {{option.text, room, besideIcon(button->fontMetrics(), option.text, option.icon, option.iconSize)}};
}

QList<TextRoom> toolButtonText(const QToolButton* button)
{
    auto option = buttonOption<QStyleOptionToolButton>(button);
    option.arrowType = button->arrowType();
    option.toolButtonStyle = button->toolButtonStyle();
    if (option.toolButtonStyle == Qt::ToolButtonFollowStyle)
        option.toolButtonStyle =
                Qt::ToolButtonStyle(button->style()->styleHint(QStyle::SH_ToolButtonStyle, &option, button));
    option.subControls = QStyle::SC_ToolButton;
    const bool picture = !option.icon.isNull() || option.arrowType != Qt::NoArrow;
    if (option.text.isEmpty() || (picture && option.toolButtonStyle == Qt::ToolButtonIconOnly))
        return {};
    const QStyle* style = button->style();
    // The text keeps the margins the style gives an empty button, as the size hint does.
    const int margins = style->sizeFromContents(QStyle::CT_ToolButton, &option, QSize(0, 0), button).width();
    QRect room = style->subControlRect(QStyle::CC_ToolButton, &option, QStyle::SC_ToolButton, button)
                         .adjusted(margins / 2, 0, -(margins - margins / 2), 0);
    if (button->menu() && button->popupMode() != QToolButton::MenuButtonPopup)
        room.setRight(room.right() - style->pixelMetric(QStyle::PM_MenuButtonIndicator, &option, button));
    QSize needed = plainTextSize(button->fontMetrics(), option.text);
    if (picture && option.toolButtonStyle == Qt::ToolButtonTextBesideIcon)
        needed = QSize(needed.width() + option.iconSize.width() + 4, qMax(needed.height(), option.iconSize.height()));
    else if (picture && option.toolButtonStyle == Qt::ToolButtonTextUnderIcon)
        needed = QSize(qMax(needed.width(), option.iconSize.width()), needed.height() + option.iconSize.height());
    return {{option.text, room, needed}};
}

QList<TextRoom> checkText(const QAbstractButton* button, QStyle::SubElement contents)
{
    const auto option = buttonOption<QStyleOptionButton>(button);
    const QRect room = button->style()->subElementRect(contents, &option, button);
    return {{option.text, room, besideIcon(button->fontMetrics(), option.text, option.icon, option.iconSize)}};
}

QList<TextRoom> labelText(const QLabel* label)
{
    if (label->text().isEmpty())
        return {};
    const QRect room = labelTextRoom(label);
    const bool rich = label->textFormat() == Qt::RichText
                      || (label->textFormat() == Qt::AutoText && Qt::mightBeRichText(label->text()));
    QSize needed;
    if (rich) {
        QTextDocument document;
        document.setDefaultFont(label->font());
        document.setDocumentMargin(0);
        document.setHtml(label->text());
        if (label->wordWrap())
            document.setTextWidth(room.width());
        needed = QSize(qCeil(label->wordWrap() ? document.idealWidth() : document.size().width()),
                       qCeil(document.size().height()));
    } else if (label->wordWrap()) {
        needed = wrappedSize(label->fontMetrics(), label->text(), room.width());
    } else {
        needed = plainTextSize(label->fontMetrics(), label->text(), label->buddy() ? Qt::TextShowMnemonic : 0);
    }
    return {{label->text(), room, needed}};
}

QList<TextRoom> comboText(const QComboBox* combo)
{
    QStyleOptionComboBox option;
    option.initFrom(combo);
    option.editable = combo->isEditable();
    option.frame = combo->hasFrame();
    option.currentText = combo->currentText();
    option.currentIcon = combo->itemIcon(combo->currentIndex());
    option.iconSize = combo->iconSize();
    option.subControls = QStyle::SC_All;
    if (option.currentText.isEmpty())
        return {};
    // The style draws the text a pixel in from each side of the field.
    const QRect room = combo->style()
                               ->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, combo)
                               .adjusted(1, 0, -1, 0);
    TextRoom text{option.currentText, room,
                  besideIcon(combo->fontMetrics(), option.currentText, option.currentIcon, option.iconSize, 0)};
    // A path box elides its text in the middle on purpose: whole where its tooltip names it; a
    // combo that elides its text at the end, where its tooltip shows it whole.
    const auto* eliding = qobject_cast<const DisableComboBox*>(combo);
    if ((qobject_cast<const PathComboBox*>(combo) && combo->toolTip().contains(text.text))
        || (eliding && eliding->elidesText() && !text.fits() && tipShowsWhole(const_cast<QComboBox*>(combo), text.text)))
        text.needed = text.needed.boundedTo(room.size());
    return {text};
}

// A typed text scrolls in its field, which shows whole; a placeholder and a
// spin box's figure show whole.
QList<TextRoom> lineEditText(const QLineEdit* edit)
{
    const bool typed = !edit->text().isEmpty();
    const QString text = typed ? edit->text() : edit->placeholderText();
    if (text.isEmpty())
        return {};
    QStyleOptionFrame option;
    option.initFrom(edit);
    option.lineWidth = edit->hasFrame() ? edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, edit) : 0;
    option.state |= QStyle::State_Sunken;
    // The edit keeps 2 pixels on each side of its text.
    QRect room = edit->style()->subElementRect(QStyle::SE_LineEditContents, &option, edit);
    room = room.marginsRemoved(edit->textMargins()).adjusted(2, 0, -2, 0);
    // Its clear and action buttons take their side.
    for (const QWidget* side : edit->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        if (side->isVisible() && side->geometry().center().x() < edit->width() / 2)
            room.setLeft(qMax(room.left(), side->geometry().right() + 1));
        else if (side->isVisible())
            room.setRight(qMin(room.right(), side->geometry().left() - 1));
    const bool scrolls = typed && !qobject_cast<const QAbstractSpinBox*>(edit->parent());
    return {{text, room, scrolls ? QSize() : plainTextSize(edit->fontMetrics(), text, 0)}};
}

QList<TextRoom> groupBoxTitle(const QGroupBox* box)
{
    if (box->title().isEmpty())
        return {};
    QStyleOptionGroupBox option;
    option.initFrom(box);
    option.text = box->title();
    option.lineWidth = 1;
    option.textAlignment = box->alignment();
    option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
    if (box->isCheckable())
        option.subControls |= QStyle::SC_GroupBoxCheckBox;
    const QRect room = box->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, box);
    return {{option.text, room, plainTextSize(box->fontMetrics(), option.text)}};
}

QList<TextRoom> tabTitles(const QTabBar* bar)
{
    QList<TextRoom> titles;
    for (int tab = 0; tab < bar->count(); ++tab) {
        if (!bar->isTabVisible(tab))
            continue;
        QStyleOptionTab option;
        option.initFrom(bar);
        option.rect = bar->tabRect(tab);
        option.text = bar->tabText(tab);
        option.icon = bar->tabIcon(tab);
        option.iconSize = bar->iconSize();
        option.shape = bar->shape();
        option.documentMode = bar->documentMode();
        if (const QWidget* button = bar->tabButton(tab, QTabBar::LeftSide))
            option.leftButtonSize = button->size();
        if (const QWidget* button = bar->tabButton(tab, QTabBar::RightSide))
            option.rightButtonSize = button->size();
        const QRect room = bar->style()->subElementRect(QStyle::SE_TabBarTabText, &option, bar);
        titles.append({option.text, room, besideIcon(bar->fontMetrics(), option.text, option.icon, option.iconSize)});
    }
    return titles;
}

QFont itemFont(const QAbstractItemView* view, const QModelIndex& index)
{
    const QVariant font = index.data(Qt::FontRole);
    return font.isValid() ? font.value<QFont>() : view->font();
}

// In the header's viewport.
QList<TextRoom> headerTitles(const QHeaderView* header)
{
    QList<TextRoom> titles;
    const QAbstractItemModel* model = header->model();
    for (int section = 0; model && section < header->count(); ++section) {
        const QString text = model->headerData(section, header->orientation()).toString();
        if (header->isSectionHidden(section) || text.isEmpty())
            continue;
        QStyleOptionHeader option;
        option.initFrom(header);
        option.section = section;
        option.orientation = header->orientation();
        option.text = text;
        option.icon = model->headerData(section, header->orientation(), Qt::DecorationRole).value<QIcon>();
        const QVariant alignment = model->headerData(section, header->orientation(), Qt::TextAlignmentRole);
        option.textAlignment = alignment.isValid() ? Qt::Alignment(alignment.toInt()) : header->defaultAlignment();
        if (header->isSortIndicatorShown() && header->sortIndicatorSection() == section)
            option.sortIndicator = header->sortIndicatorOrder() == Qt::AscendingOrder ? QStyleOptionHeader::SortDown
                                                                                        : QStyleOptionHeader::SortUp;
        const int start = header->sectionViewportPosition(section);
        option.rect = header->orientation() == Qt::Horizontal
                              ? QRect(start, 0, header->sectionSize(section), header->viewport()->height())
                              : QRect(0, start, header->viewport()->width(), header->sectionSize(section));
        const QVariant font = model->headerData(section, header->orientation(), Qt::FontRole);
        const QFontMetrics metrics(font.isValid() ? font.value<QFont>() : header->font());
        const int iconSize = header->style()->pixelMetric(QStyle::PM_SmallIconSize, &option, header);
        titles.append({text, header->style()->subElementRect(QStyle::SE_HeaderLabel, &option, header),
                       besideIcon(metrics, text, option.icon, QSize(iconSize, iconSize), 0),
                       option.textAlignment});
    }
    return titles;
}

// The room the item's text gets in its cell, in the viewport. A delegate of
// its own draws what it makes of the item: its size hint is what it needs.
TextRoom entryText(const QAbstractItemView* view, const QModelIndex& index, const QRect& place)
{
    const QString text = index.data().toString();
    QStyleOptionViewItem option;
    option.initFrom(view);
    option.rect = place;
    option.text = text;
    option.font = itemFont(view, index);
    option.fontMetrics = QFontMetrics(option.font);
    option.features = QStyleOptionViewItem::HasDisplay;
    const QVariant alignment = index.data(Qt::TextAlignmentRole);
    option.displayAlignment = alignment.isValid() ? Qt::Alignment(alignment.toInt()) : Qt::AlignLeft | Qt::AlignVCenter;
    if (!index.data(Qt::DecorationRole).isNull()) {
        option.features |= QStyleOptionViewItem::HasDecoration;
        const int small = view->style()->pixelMetric(QStyle::PM_SmallIconSize, &option, view);
        option.decorationSize = view->iconSize().isValid() ? view->iconSize() : QSize(small, small);
    }
    if (index.data(Qt::CheckStateRole).isValid())
        option.features |= QStyleOptionViewItem::HasCheckIndicator;
    const bool wrap = view->property("wordWrap").toBool();
    if (wrap)
        option.features |= QStyleOptionViewItem::WrapText;
    const QAbstractItemDelegate* delegate = view->itemDelegateForIndex(index);
    if (delegate->metaObject() != &QStyledItemDelegate::staticMetaObject)
        return {text, place, delegate->sizeHint(option, index), option.displayAlignment};
    QRect room = view->style()->subElementRect(QStyle::SE_ItemViewItemText, &option, view);
    const int margin = view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, &option, view) + 1;
    room.adjust(margin, 0, -margin, 0);
    const QSize needed = wrap ? wrappedSize(option.fontMetrics, text, room.width())
                              : plainTextSize(option.fontMetrics, QString(text).replace('\n', QChar::LineSeparator), 0);
    return {text, room, needed, option.displayAlignment};
}

// A row partly below or above the edge is whole where the view scrolls up and down.
bool scrollsUpAndDown(const QWidget* widget)
{
    for (; widget; widget = widget->parentWidget())
        if (const auto* area = qobject_cast<const QAbstractScrollArea*>(widget))
            if (area->verticalScrollBar()->isVisible())
                return true;
    return false;
}

// The entries of the rows in sight, in the viewport.
QList<TextRoom> entryTexts(QAbstractItemView* view, const QModelIndex& parent = QModelIndex())
{
    QList<TextRoom> entries;
    const QAbstractItemModel* model = view->model();
    const auto* tree = qobject_cast<const QTreeView*>(view);
    const QRect viewport = view->viewport()->rect();
    for (int row = 0; model && row < model->rowCount(parent); ++row)
        for (int column = 0; column < model->columnCount(parent); ++column) {
            const QModelIndex index = model->index(row, column, parent);
            if (tree && column == 0 && tree->isExpanded(index))
                entries << entryTexts(view, index);
            const QRect place = view->visualRect(index);
            if (index.data().toString().isEmpty() || place.isEmpty() || place.bottom() < viewport.top()
                || place.top() > viewport.bottom())
                continue;
            // Where the view cannot scroll, a row reaching under its frame is cut however its text stands.
            if (!scrollsUpAndDown(view) && (place.top() < viewport.top() || place.bottom() > viewport.bottom())) {
                entries.append({index.data().toString(), place & viewport, place.size()});
                continue;
            }
            const TextRoom entry = entryText(view, index, place);
            if (entry.fits() || view->textElideMode() == Qt::ElideNone || !tipShowsWhole(view, place, entry.text))
                entries.append(entry);
        }
    return entries;
}

QList<TextRoom> widgetTexts(const QWidget* widget)
{
    if (const auto* button = qobject_cast<const QPushButton*>(widget))
        return pushButtonText(button);
    if (const auto* button = qobject_cast<const QToolButton*>(widget))
        return toolButtonText(button);
    if (const auto* box = qobject_cast<const QCheckBox*>(widget))
        return checkText(box, QStyle::SE_CheckBoxContents);
    if (const auto* radio = qobject_cast<const QRadioButton*>(widget))
        return checkText(radio, QStyle::SE_RadioButtonContents);
    if (const auto* label = qobject_cast<const QLabel*>(widget))
        return labelText(label);
    if (const auto* combo = qobject_cast<const QComboBox*>(widget))
        return comboText(combo);
    // A combo's own edit is the combo's text.
    if (const auto* edit = qobject_cast<const QLineEdit*>(widget); edit && !qobject_cast<QComboBox*>(edit->parent()))
        return lineEditText(edit);
    if (const auto* box = qobject_cast<const QGroupBox*>(widget))
        return groupBoxTitle(box);
    if (const auto* bar = qobject_cast<const QTabBar*>(widget))
        return tabTitles(bar);
    return {};
}

// A widget's text may stand out of its room up and down, but not out of the widget.
QList<TextRoom> textsOf(const QWidget* widget)
{
    QList<TextRoom> texts;
    for (TextRoom text : widgetTexts(widget))
        if (!text.text.isEmpty()) {
            text.room.setTop(0);
            text.room.setBottom(widget->height() - 1);
            texts.append(text);
        }
    return texts;
}

// What of the widget lies inside its ancestors and the screen's working
// area, in its own coordinates. A window larger than the screen stands for
// one on a larger screen.
QRect shownPart(const QWidget* widget)
{
    const QWidget* window = widget->window();
    const QRect screen = window->screen()->availableGeometry();
    const QRect area = screen.size().expandedTo(window->size()) == screen.size() ? screen : window->geometry();
    QRect shown(window->mapFromGlobal(area.topLeft()), area.size());
    for (const QWidget* above = widget; above && above != window; above = above->parentWidget())
        shown &= QRect(above->mapTo(window, QPoint(0, 0)), above->size());
    shown &= window->rect();
    return shown.translated(-widget->mapTo(window, QPoint(0, 0)));
}

// Where the game master finds the widget: its class, the nearest named
// ancestor and its place in the window.
QString whereIs(const QWidget* widget)
{
    if (qobject_cast<const QAbstractScrollArea*>(widget->parentWidget()))
        widget = widget->parentWidget();
    const QWidget* named = widget->parentWidget();
    while (named && named->objectName().isEmpty() && !named->isWindow())
        named = named->parentWidget();
    const QPoint place = widget->mapTo(widget->window(), QPoint(0, 0));
    return QString("%1 at %2,%3 in %4")
            .arg(widget->metaObject()->className())
            .arg(place.x())
            .arg(place.y())
            .arg(named ? (named->objectName().isEmpty() ? named->metaObject()->className() : named->objectName())
                       : QString("the window"));
}

QString cutText(const QWidget* widget, const TextRoom& text, const QRect& shown)
{
    const bool inSight = text.room.bottom() >= shown.top() && text.room.top() <= shown.bottom();
    if (!inSight && !scrollsUpAndDown(widget))
        return QString("\"%1\", %2: out of sight").arg(text.text.left(60), whereIs(widget));
    if (!inSight)
        return QString();
    if (!text.fits())
        return QString("\"%1\", %2: needs %3×%4 pixels, has %5×%6")
                .arg(text.text.left(60), whereIs(widget))
                .arg(text.needed.width())
                .arg(text.needed.height())
                .arg(text.room.width())
                .arg(text.room.height());
    const QRect drawn = text.drawn();
    const bool sideways = drawn.left() < shown.left() || drawn.right() > shown.right();
    const bool upOrDown = drawn.top() < shown.top() || drawn.bottom() > shown.bottom();
    if (sideways || (upOrDown && !scrollsUpAndDown(widget)))
        return QString("\"%1\", %2: past the edge of its frame").arg(text.text.left(60), whereIs(widget));
    return QString();
}

// A widget its layout places past the inside of its parent's frame.
QString outOfItsFrame(const QWidget* widget)
{
    const QWidget* parent = widget->parentWidget();
    if (!parent || !parent->layout() || parent->layout()->indexOf(widget) < 0
        || parent->contentsRect().contains(widget->geometry()))
        return QString();
    return QString("%1: runs out of its frame").arg(whereIs(widget));
}

// The item of the layout, or of a layout inside it, that holds the widget.
const QLayoutItem* itemHolding(const QLayout* layout, const QWidget* widget)
{
    for (int index = 0; layout && index < layout->count(); ++index) {
        QLayoutItem* item = layout->itemAt(index);
        if (item->widget() == widget)
            return item;
        if (const QLayoutItem* inner = itemHolding(item->layout(), widget))
            return inner;
    }
    return nullptr;
}

// A widget its layout draws smaller than the least it asks for: its parent is short of room.
QString belowItsLeast(const QWidget* widget)
{
    const QWidget* parent = widget->parentWidget();
    const QLayout* layout = parent ? parent->layout() : nullptr;
    // Qt's own windows place their title buttons and bars at the style's sizes.
    if (!qobject_cast<const QBoxLayout*>(layout) && !qobject_cast<const QGridLayout*>(layout)
        && !dynamic_cast<const WrappingLayout*>(layout))
        return QString();
    const QLayoutItem* item = itemHolding(layout, widget);
    if (!item)
        return QString();
    const QSize least = item->minimumSize();
    if (widget->width() >= least.width() && widget->height() >= least.height())
        return QString();
    return QString("%1: drawn at %2×%3, below its least %4×%5")
            .arg(whereIs(widget))
            .arg(widget->width())
            .arg(widget->height())
            .arg(least.width())
            .arg(least.height());
}

// Two labels side by side in a row whose texts come closer than a blank read as one text.
QStringList touchingLabels(const QWidget* widget)
{
    const auto* row = qobject_cast<const QBoxLayout*>(widget->layout());
    if (!row || row->direction() != QBoxLayout::LeftToRight)
        return {};
    QStringList touching;
    const QLabel* before = nullptr;
    QRect beforeText;
    for (int index = 0; index < row->count(); ++index) {
        const auto* label = qobject_cast<const QLabel*>(row->itemAt(index)->widget());
        if (!label || !label->isVisible() || label->text().isEmpty())
            continue;
        TextRoom text = labelText(label).first();
        text.alignment = label->alignment();
        const QRect drawn = text.drawn().translated(label->pos());
        if (before && drawn.left() - beforeText.right() <= label->fontMetrics().horizontalAdvance(QLatin1Char(' ')))
            touching << QString("\"%1\" and \"%2\", %3: touch").arg(before->text().left(60), label->text().left(60),
                                                                    whereIs(widget));
        before = label;
        beforeText = drawn;
    }
    return touching;
}

// The label's text, laid out as the label lays it out.
void layOutAsLabel(const QLabel* label, QTextDocument& document)
{
    document.setDefaultFont(label->font());
    document.setDocumentMargin(0);
    if (Qt::mightBeRichText(label->text()))
        document.setHtml(label->text());
    else
        document.setPlainText(label->text());
    if (label->wordWrap())
        document.setTextWidth(labelTextRoom(label).width());
    // Lays the lines out.
    document.size();
}

// A wrapping label's line of one word alone, followed by one that starts with a figure.
QStringList partedLabel(const QWidget* widget)
{
    const auto* label = qobject_cast<const QLabel*>(widget);
    if (!label || !label->wordWrap() || label->text().isEmpty())
        return {};
    QTextDocument document;
    layOutAsLabel(label, document);
    static const QRegularExpression aWordAlone("^[A-Za-z]+$");
    static const QRegularExpression startsWithAFigure("^[+-]?\\d");
    QStringList parted;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        QString before;
        for (int index = 0; index < block.layout()->lineCount(); ++index) {
            const QTextLine line = block.layout()->lineAt(index);
            const QString text = block.text().mid(line.textStart(), line.textLength()).trimmed();
            if (aWordAlone.match(before).hasMatch() && startsWithAFigure.match(text).hasMatch())
                parted << QString("\"%1\" over \"%2\", %3: a figure parted from its label")
                                  .arg(before.right(30), text.left(30), whereIs(widget));
            before = text;
        }
    }
    return parted;
}

// A row of a scrolling view taller than the view never shows whole, however it scrolls.
QString rowTallerThanItsView(const QWidget* widget)
{
    const auto* area = qobject_cast<const QScrollArea*>(widget);
    const QWidget* content = area ? area->widget() : nullptr;
    if (!content || !content->layout())
        return QString();
    const int view = area->viewport()->height();
    for (int index = 0; index < content->layout()->count(); ++index) {
        const QWidget* row = content->layout()->itemAt(index)->widget();
        if (row && row->isVisible() && row->height() > view)
            return QString("%1: a row of %2 pixels in a view of %3").arg(whereIs(area)).arg(row->height()).arg(view);
    }
    return QString();
}

// A greyed field's text reads at 4.5:1 at least against its background.
QString unreadableText(const QWidget* widget)
{
    if (widget->isEnabled())
        return QString();
    QString text;
    const auto* combo = qobject_cast<const QComboBox*>(widget);
    // A combo that cannot be typed in draws its text on a button.
    const bool onButton = combo && !combo->isEditable();
    if (const auto* edit = qobject_cast<const QLineEdit*>(widget))
        text = edit->text();
    else if (onButton)
        text = combo->currentText();
    else if (const auto* plain = qobject_cast<const QPlainTextEdit*>(widget))
        text = plain->toPlainText();
    else if (const auto* rich = qobject_cast<const QTextEdit*>(widget))
        text = rich->toPlainText();
    const QColor ink = widget->palette().color(QPalette::Disabled, onButton ? QPalette::ButtonText : QPalette::Text);
    const QColor paper = widget->palette().color(QPalette::Disabled, onButton ? QPalette::Button : QPalette::Base);
    const double ratio = HealthBarColours::contrast(ink, paper);
    if (text.isEmpty() || ratio >= 4.5)
        return QString();
    return QString("\"%1\", %2: reads at %3:1").arg(text.left(60), whereIs(widget)).arg(ratio, 0, 'f', 1);
}

// A label's text, and each figure coloured in its rich text, reads at 4.5:1
// at least against the label's background; a greyed label may be paler.
QStringList unreadableLabel(const QWidget* widget)
{
    const auto* label = qobject_cast<const QLabel*>(widget);
    if (!label || !label->isEnabled() || label->text().isEmpty())
        return {};
    static const QRegularExpression coloured(R"(<font color=["']?([#\w]+)["']?>([^<]*))");
    const QColor paper = label->palette().color(label->backgroundRole());
    QList<std::pair<QColor, QString>> inks{{label->palette().color(label->foregroundRole()), label->text()}};
    if (Qt::mightBeRichText(label->text()))
        for (const QRegularExpressionMatch& match : coloured.globalMatch(label->text()))
            inks.append({QColor(match.captured(1)), match.captured(2)});
    QStringList unreadable;
    for (const auto& [ink, text] : inks) {
        const double ratio = HealthBarColours::contrast(ink, paper);
        if (ratio < 4.5)
            unreadable << QString("\"%1\" in %2 on %3, %4: reads at %5:1")
                                  .arg(text.left(60), ink.name(), paper.name(), whereIs(widget))
                                  .arg(ratio, 0, 'f', 1);
    }
    return unreadable;
}

// What the measure finds in each shown widget of the window.
QStringList foundInShownWidgets(QWidget* window, QStringList (*measure)(const QWidget*))
{
    QStringList found;
    for (QWidget* widget : QList<QWidget*>{window} + window->findChildren<QWidget*>())
        if (widget->isVisible())
            found << measure(widget);
    return found;
}

} // namespace

QRect labelTextRoom(const QLabel* label)
{
    const int margin = label->margin();
    QRect room = label->contentsRect().marginsRemoved(QMargins(margin, margin, margin, margin));
    int indent = label->indent();
    if (indent < 0 && label->frameWidth() > 0)
        indent = label->fontMetrics().horizontalAdvance(QLatin1Char('x')) / 2 - margin;
    if (indent > 0 && (label->alignment() & Qt::AlignLeft))
        room.setLeft(room.left() + indent);
    if (indent > 0 && (label->alignment() & Qt::AlignRight))
        room.setRight(room.right() - indent);
    return room;
}

// The tooltip the widget shows at its centre is that text.
bool tipShowsWhole(QWidget* widget, const QString& text)
{
    const QPoint centre = widget->rect().center();
    QHelpEvent help(QEvent::ToolTip, centre, widget->mapToGlobal(centre));
    QApplication::sendEvent(widget, &help);
    const QString tip = QToolTip::text();
    QToolTip::hideText();
    return tip == text;
}

QStringList tipLines(QAbstractItemView* view, const QRect& place)
{
    QHelpEvent help(QEvent::ToolTip, place.center(), view->viewport()->mapToGlobal(place.center()));
    QApplication::sendEvent(view->viewport(), &help);
    QStringList lines;
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->inherits("QTipLabel") && window->isVisible()) {
            QTextDocument document;
            layOutAsLabel(static_cast<QLabel*>(window), document);
            for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
                for (int index = 0; index < block.layout()->lineCount(); ++index) {
                    const QTextLine line = block.layout()->lineAt(index);
                    lines << block.text().mid(line.textStart(), line.textLength()).trimmed();
                }
        }
    QToolTip::hideText();
    return lines;
}

// A long entry may be elided where its tooltip shows it whole, each word
// whole on its line.
bool tipShowsWhole(QAbstractItemView* view, const QRect& place, const QString& text)
{
    return tipLines(view, place).join(' ') == text;
}

// The buttons that end a panel or window stand whole in sight, never scrolled away.
QStringList buttonsOutOfSight(const QWidget* widget)
{
    QStringList out;
    if (!qobject_cast<const QDialogButtonBox*>(widget))
        return out;
    for (const QAbstractButton* button : widget->findChildren<QAbstractButton*>())
        if (button->isVisible() && !shownPart(button).contains(button->rect()))
            out << QString("\"%1\", %2: the button is out of sight").arg(button->text(), whereIs(button));
    return out;
}

QStringList unreadableTexts(QWidget* window)
{
    return foundInShownWidgets(window, unreadableLabel);
}

QStringList touchingTexts(QWidget* window)
{
    return foundInShownWidgets(window, touchingLabels);
}

QStringList partedFigures(QWidget* window)
{
    return foundInShownWidgets(window, partedLabel);
}

// Every text of the window's shown widgets that does not show whole (an
// elided entry or header title whose tooltip shows it whole is whole, and so
// is a path box's text elided in the middle under a tooltip naming it), with
// where it is; scroll areas that scroll sideways or hold a row taller than
// themselves, buttons of a button box out of sight and tabs that need
// arrows; labels side by side whose texts touch; labels that do not read;
// where the window shows a text only in
// greyed fields, those that do not read.
QStringList cutTexts(QWidget* window, bool greyedFieldsRead)
{
    QStringList cut;
    for (QWidget* widget : QList<QWidget*>{window} + window->findChildren<QWidget*>()) {
        if (!widget->isVisible())
            continue;
        QList<TextRoom> texts = textsOf(widget);
        QWidget* canvas = widget;
        if (auto* header = qobject_cast<QHeaderView*>(widget)) {
            // A title may be elided where its tooltip shows it whole.
            for (const TextRoom& title : headerTitles(header))
                if (title.fits() || header->textElideMode() == Qt::ElideNone
                    || !tipShowsWhole(header, title.room, title.text))
                    texts << title;
            canvas = header->viewport();
        } else if (auto* view = qobject_cast<QAbstractItemView*>(widget)) {
            texts = entryTexts(view);
            canvas = view->viewport();
        }
        if (const auto* area = qobject_cast<const QAbstractScrollArea*>(widget))
            if (area->horizontalScrollBar()->isVisible())
                cut << QString("%1 scrolls sideways").arg(whereIs(area));
        if (const auto* bar = qobject_cast<const QTabBar*>(widget))
            for (const QAbstractButton* arrow : bar->findChildren<QAbstractButton*>())
                if (arrow->isVisible()) {
                    cut << QString("tabs \"%1\" need scroll arrows").arg(bar->tabText(0));
                    break;
                }
        if (const QString line = greyedFieldsRead ? unreadableText(widget) : QString(); !line.isEmpty())
            cut << line;
        if (const QString line = outOfItsFrame(widget); !line.isEmpty())
            cut << line;
        if (const QString line = belowItsLeast(widget); !line.isEmpty())
            cut << line;
        if (const QString line = rowTallerThanItsView(widget); !line.isEmpty())
            cut << line;
        cut << buttonsOutOfSight(widget);
        const QRect shown = shownPart(canvas);
        for (const TextRoom& text : texts)
            if (const QString line = cutText(canvas, text, shown); !line.isEmpty())
                cut << line;
    }
    return cut + touchingTexts(window) + unreadableTexts(window);
}

namespace {

// Where each list and button the panel shows stands in its window.
QMap<QWidget*, QRect> placesOfFixedControls(QWidget* panel)
{
    QMap<QWidget*, QRect> places;
    for (QWidget* widget : panel->findChildren<QWidget*>()) {
        if (!widget->isVisible() || (!qobject_cast<QAbstractItemView*>(widget) && !qobject_cast<QAbstractButton*>(widget)))
            continue;
        int areas = 0;
        for (QWidget* above = widget->parentWidget(); above && above != panel; above = above->parentWidget())
            areas += qobject_cast<QAbstractScrollArea*>(above) ? 1 : 0;
        if (areas < 2)
            places.insert(widget, QRect(widget->mapTo(widget->window(), QPoint(0, 0)), widget->size()));
    }
    return places;
}

} // namespace

QMap<QWidget*, QRect> settledPlaces(QWidget* panel)
{
    // A change may pass through a few layouts before anything moves.
    QMap<QWidget*, QRect> places = placesOfFixedControls(panel);
    for (int round = 0, still = 0; round < 20 && still < 3; ++round) {
        redrawAtTicks();
        const QMap<QWidget*, QRect> now = placesOfFixedControls(panel);
        still = now == places ? still + 1 : 0;
        places = now;
    }
    return places;
}

QStringList movedBy(QWidget* panel, const std::function<void()>& change)
{
    const QMap<QWidget*, QRect> before = settledPlaces(panel);
    change();
    const QMap<QWidget*, QRect> after = settledPlaces(panel);
    QStringList moved;
    for (auto place = before.begin(); place != before.end(); ++place)
        if (after.contains(place.key()) && after.value(place.key()) != place.value()) {
            const auto* button = qobject_cast<QAbstractButton*>(place.key());
            moved << QString("%1 \"%2\": from %3,%4 %5×%6 to %7,%8 %9×%10")
                             .arg(place.key()->metaObject()->className(), button ? button->text() : place.key()->objectName())
                             .arg(place.value().x())
                             .arg(place.value().y())
                             .arg(place.value().width())
                             .arg(place.value().height())
                             .arg(after.value(place.key()).x())
                             .arg(after.value(place.key()).y())
                             .arg(after.value(place.key()).width())
                             .arg(after.value(place.key()).height());
        }
    return moved;
}

void redrawAtTicks()
{
    for (int round = 0; round < 3; ++round) {
        emit Global::switchBoard.doRefreshTimer();
        QApplication::processEvents();
    }
}
