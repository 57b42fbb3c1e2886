#ifndef PLAYERSVIEW_H
#define PLAYERSVIEW_H

#include <QHash>
#include <QStyledItemDelegate>
#include <QTableView>

#include "toolkit/progressbar.h"

// The players' table. Its font fits the space it has, from 14 to 28 pixels,
// unless the players fixed a size.
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
    QSize sizeHint() const override { return QSize(600, 400); }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void applyPixelSize(int size);
    void fitColumns();

    int lastWidth = -1;
    int lastHeight = -1;
    int fontSize = 0;
    int pixelSize;
};

// Paints a health cell of the players' table: the bar and the health text
// over it, greyed for a waiting creature.
class PlayersHealthDelegate : public QStyledItemDelegate, public ProgressBarPainter
{
    Q_OBJECT

public:
    explicit PlayersHealthDelegate(QObject* parent = nullptr) : QStyledItemDelegate(parent) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    // Fitting the font measures every cell several times; laying out the
    // text is the dear part, and the same texts come back.
    mutable QHash<QString, qreal> idealWidths;
};

#endif
