#include "mainwindow/playersview.h"

#include <QApplication>
#include <QHeaderView>
#include <QPainter>
#include <QTextDocument>

#include "foundation/global.h"
#include "mainwindow/playerslistmodel.h"
#include "mainwindow/playerswindow.h"

namespace {

const int smallestFont = 14;
const int largestFont = 28;

void setUpDocument(QTextDocument& document, const PlayersHealthCell& cell)
{
    QFont font = document.defaultFont();
    font.setPixelSize(qMax(1, cell.pixelSize - 2));
    document.setDefaultFont(font);
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
    resizeRowsToContents();
    resizeColumnToContents(0);
    resizeColumnToContents(1);
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
    int width = horizontalHeader()->height();
    for (int column = 0; model() && column < model()->columnCount(); column++)
        width += sizeHintForColumn(column);
    return width;
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

void PlayersHealthDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                  const QModelIndex& index) const
{
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    const PlayersHealthCell cell = PlayersHealthCell::fromText(item.text);
    painter->save();
    QTextDocument document;
    setUpDocument(document, cell);
    document.setHtml(cell.gray ? "<font color=gray>" + cell.html + "</font>" : cell.html);
    drawProgressBar(painter, cell.percent, item.rect, 5, 5, cell.gray, QString(), QString());
    item.text.clear();
    QStyle* style = item.widget ? item.widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &item, painter, item.widget);
    painter->translate(item.rect.x() + 5, item.rect.y() + 1);
    document.drawContents(painter, QRectF(0, 0, item.rect.width(), item.rect.height()));
    painter->restore();
}

QSize PlayersHealthDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const QString text = index.data(Qt::DisplayRole).toString();
    auto known = idealWidths.constFind(text);
    if (known == idealWidths.constEnd()) {
        if (idealWidths.size() > 1000)
            idealWidths.clear();
        const PlayersHealthCell cell = PlayersHealthCell::fromText(text);
        QTextDocument document;
        setUpDocument(document, cell);
        document.setHtml(cell.html);
        known = idealWidths.insert(text, document.idealWidth());
    }
    return QSize(int(*known + 10.0), QStyledItemDelegate::sizeHint(option, index).height());
}
