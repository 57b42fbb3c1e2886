#include "mainwindow/playersview.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QHeaderView>
#include <QPainter>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QtMath>

#include "foundation/global.h"
#include "mainwindow/playerslistmodel.h"
#include "mainwindow/playerswindow.h"

namespace {

const int smallestFont = 14;
const int largestFont = 28;
// Between the cell's edges and the bar, and between the bar's edge and its text.
const int barMargin = 5;
const int textPadding = 3;

// The creature texts colour pending figures plain red and blue, which do not
// read over the bar; they take the bar's own colours for them.
void usePendingColours(QTextDocument& document)
{
    QList<QPair<QTextFragment, bool>> coloured;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QBrush brush = it.fragment().charFormat().foreground();
            if (brush.style() != Qt::NoBrush)
                coloured.append({it.fragment(), brush.color().blue() > brush.color().red()});
        }
    QTextCursor cursor(&document);
    for (const auto& [fragment, gain] : coloured) {
        cursor.setPosition(fragment.position());
        cursor.setPosition(fragment.position() + fragment.length(), QTextCursor::KeepAnchor);
        QTextCharFormat format;
        format.setForeground(HealthBarColours::pending(gain));
        cursor.mergeCharFormat(format);
    }
}

void setUpDocument(QTextDocument& document, const PlayersHealthCell& cell)
{
    QFont font = document.defaultFont();
    font.setPixelSize(qMax(1, cell.pixelSize - 2));
    document.setDefaultFont(font);
    document.setDocumentMargin(0);
    document.setHtml(cell.html);
    usePendingColours(document);
}

// Measured sizes of a delegate; a fight brings a few hundred texts.
template <typename Measure>
QSize remembered(QHash<QString, QSize>& sizes, const QString& key, Measure measure)
{
    auto known = sizes.constFind(key);
    if (known != sizes.constEnd())
        return *known;
    if (sizes.size() > 2000)
        sizes.clear();
    return *sizes.insert(key, measure());
}

}

PlayersView::PlayersView(QWidget* parent) : QTableView(parent), pixelSize(font().pixelSize())
{
}

void PlayersView::setFontSize(int size)
{
    if (size == 0) {
        fontSize = 0;
        return;
    }
    if (size == 1) {
        // The size really drawn, also while the font is still given in points.
        fontSize = QFontInfo(font()).pixelSize();
        return;
    }
    fontSize = qBound(smallestFont, size, largestFont);
    applyPixelSize(fontSize);
    fitColumns();
}

void PlayersView::applyPixelSize(int size)
{
    QFont scaled = font();
    scaled.setPixelSize(size);
    pixelSize = size;
    setFont(scaled);
}

void PlayersView::fitColumns()
{
    resizeColumnToContents(0);
    resizeColumnToContents(1);
    // The conditions take the room the other columns leave them, less the
    // scroll bar, and wrap within it. Rows that grow or shrink may bring or
    // take the scroll bar: then they are measured again.
    const int room = maximumViewportSize().width() - columnWidth(0) - columnWidth(1);
    const int scrollBar = verticalScrollBar()->sizeHint().width();
    const bool scrolls = verticalScrollBar()->isVisible();
    fitConditionsColumn(scrolls ? room - scrollBar : room);
    if (scrolls != (verticalHeader()->length() > maximumViewportSize().height()))
        fitConditionsColumn(scrolls ? room : room - scrollBar);
}

void PlayersView::fitConditionsColumn(int room)
{
    setColumnWidth(2, qMax(room, horizontalHeader()->sectionSizeHint(2)));
    resizeRowsToContents();
}

void PlayersView::fitChangedRows(const QList<int>& rows)
{
    // At the smallest size the conditions wrap instead.
    if (fontSize == 0 && pixelSize > smallestFont)
        for (int row : rows)
            for (int column = 0; column < model()->columnCount(); column++)
                if (sizeHintForIndex(model()->index(row, column)).width() > columnWidth(column)) {
                    scaleToSize();
                    return;
                }
    fitColumns();
}

void PlayersView::scaleToSize(QSize size)
{
    if (!Global::playersWindow || !Global::playersWindow->isVisible() || !model() || model()->rowCount() == 0)
        return;
    if (fontSize != 0) {
        applyPixelSize(fontSize);
    } else {
        // Grows while the table fits, shrinks while it does not; once shrunk it stops at the first fit.
        int candidate = qBound(smallestFont, font().pixelSize(), largestFont);
        // Measured at the size it starts from, also while the font is still given in points.
        if (pixelSize != candidate)
            applyPixelSize(candidate);
        bool shrunk = false;
        // The largest size measured as fitting: shrinking back to it needs no second measure.
        int fitting = 0;
        while (true) {
            const bool fits = candidate == fitting
                || (preferredHeight() < size.height() && preferredWidth() < size.width());
            if (!fits) {
                if (--candidate < smallestFont)
                    break;
                shrunk = true;
            } else {
                fitting = candidate;
                if (shrunk || ++candidate > largestFont)
                    break;
            }
            applyPixelSize(candidate);
        }
    }
    fitColumns();
}

int PlayersView::preferredHeight() const
{
    int height = horizontalHeader()->height();
    for (int row = 0; model() && row < model()->rowCount(); row++)
        height += sizeHintForRow(row) + 5;
    return height;
}

int PlayersView::preferredWidth() const
{
    // Each column as wide as its widest cell or its header, beside the row numbers.
    int width = verticalHeader()->sizeHint().width() + 2 * frameWidth();
    for (int column = 0; model() && column < model()->columnCount(); column++)
        width += qMax(sizeHintForColumn(column), horizontalHeader()->sectionSizeHint(column));
    return width;
}

QSize PlayersView::sizeHint() const
{
    // Wide enough on a first start for the rows the players are shown, at
    // the smallest size the font will be scaled to once the window shows.
    const int drawn = qMax(1, QFontInfo(font()).pixelSize());
    return QSize(qMax(600, preferredWidth() * qMax(drawn, smallestFont) / drawn), 400);
}

void PlayersView::resizeEvent(QResizeEvent* event)
{
    QTableView::resizeEvent(event);
    if (model() && (width() != lastWidth || height() != lastHeight)) {
        scaleToSize(QSize(width(), height()));
        lastHeight = height();
        lastWidth = width();
    }
}

QSize PlayersTextDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    // A wrapped text's height follows the width it wraps to.
    const int wrapWidth = option.features.testFlag(QStyleOptionViewItem::WrapText) ? option.rect.width() : -1;
    const QString key = QString("%1/%2/%3/%4|")
                                .arg(index.column())
                                .arg(option.font.pixelSize())
                                .arg(option.font.pointSizeF())
                                .arg(wrapWidth)
        + index.data(Qt::DisplayRole).toString();
    return remembered(sizes, key, [&] { return QStyledItemDelegate::sizeHint(option, index); });
}

QTextDocument* PlayersHealthDelegate::documentFor(const QString& cellText) const
{
    if (QTextDocument* known = documents.object(cellText))
        return known;
    auto* document = new QTextDocument;
    setUpDocument(*document, PlayersHealthCell::fromText(cellText));
    documents.insert(cellText, document);
    return document;
}

void PlayersHealthDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                  const QModelIndex& index) const
{
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    const PlayersHealthCell cell = PlayersHealthCell::fromText(item.text);
    QTextDocument* document = documentFor(item.text);
    painter->save();
    drawProgressBar(painter, cell.percent, item.rect, barMargin, barMargin, cell.gray, QString(), QString());
    item.text.clear();
    QStyle* style = item.widget ? item.widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &item, painter, item.widget);
    // The text stands inside its bar, centred in its height, on a band that its every colour reads over.
    const QRect box = item.rect.adjusted(barMargin, barMargin, -barMargin, -barMargin);
    painter->setClipRect(box.adjusted(1, 1, -1, -1));
    painter->translate(box.x() + textPadding, box.y() + (box.height() - document->size().height()) / 2);
    // The band spans the bar, so that the bar keeps one shade from end to end.
    if (!document->isEmpty())
        painter->fillRect(QRectF(-textPadding, 0, box.width(), document->size().height()), HealthBarColours::textBand());
    QAbstractTextDocumentLayout::PaintContext context;
    context.palette.setColor(QPalette::Text, HealthBarColours::text(cell.gray));
    document->documentLayout()->draw(painter, context);
    painter->restore();
}

QSize PlayersHealthDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex& index) const
{
    const QTextDocument* document = documentFor(index.data(Qt::DisplayRole).toString());
    return QSize(qCeil(document->idealWidth()) + 2 * (barMargin + textPadding),
                 qCeil(document->size().height()) + 2 * barMargin + 2);
}
