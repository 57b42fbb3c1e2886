#ifndef PLAYERSVIEW_H
#define PLAYERSVIEW_H

#include <QCache>
#include <QHash>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTextDocument>

#include "toolkit/progressbar.h"

// The players' table. Its font fits the space it has, from 14 to 28 pixels,
// unless the players fixed a size; conditions longer than the room wrap.
class PlayersView : public QTableView
{
    Q_OBJECT

public:
    explicit PlayersView(QWidget* parent = nullptr);

    // 0 scales automatically; 1 fixes the size in use; others are clamped to 14..28.
    void setFontSize(int size);
    int getFontSize() const { return fontSize; }
    int getPixelSize() const { return pixelSize; }
    void scaleToSize(QSize size);
    void scaleToSize() { scaleToSize(QSize(width(), height())); }
    int preferredHeight() const;
    int preferredWidth() const;
    // The rows' heights and the first two columns' widths follow their texts;
    // the conditions take the room left.
    void fitColumns();
    // Fits the font anew when a text of the rows grew wider than its cell and
    // the font can still shrink, else only the columns: most changes leave
    // the font as it is.
    void fitChangedRows(const QList<int>& rows);
    QSize sizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void applyPixelSize(int size);
    void fitConditionsColumn(int room);

    int lastWidth = -1;
    int lastHeight = -1;
    int fontSize = 0;
    int pixelSize;
};

// The name and conditions cells of the players' table, measured once per
// text and size: fitting the table measures every cell, and the texts of a
// fight come back.
class PlayersTextDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    explicit PlayersTextDelegate(QObject* parent = nullptr) : QStyledItemDelegate(parent) {}

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    mutable QHash<QString, QSize> sizes;
};

// Paints a health cell of the players' table: the bar with the health text
// inside it, greyed for a waiting creature.
class PlayersHealthDelegate : public QStyledItemDelegate, public ProgressBarPainter
{
    Q_OBJECT

public:
    explicit PlayersHealthDelegate(QObject* parent = nullptr) : QStyledItemDelegate(parent) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    // Laying out the text is the dear part of measuring and painting, and the same texts come back.
    QTextDocument* documentFor(const QString& cellText) const;

    mutable QCache<QString, QTextDocument> documents{500};
};

#endif
