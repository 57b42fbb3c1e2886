#ifndef WRAPPINGLAYOUT_H
#define WRAPPINGLAYOUT_H

#include <QLayout>
#include <QList>

#include "foundation/dogtag.h"

// Lays its widgets out left to right, starting a new row wherever the width
// runs out, and asks for the height its rows take at a width: a narrow
// window gets more rows instead of cutting the widgets' texts. A widget is
// made narrower than it asks only when it stands alone on a row too narrow
// for it.
class WrappingLayout : public QLayout
{
public:
    enum Cells {
        // Each widget as wide as it asks; those that expand share their row's spare width.
        OwnWidths,
        // A grid of equal columns, at least as wide as the widest widget asks, at most maxColumns of them.
        EqualWidths,
    };

    explicit WrappingLayout(Cells cells, int maxColumns = 0);
    ~WrappingLayout() override;

    // Each row's spare width shared on both sides rather than left at its end.
    void setCentred(bool value) { centred = value; }
    // The gap between rows, where it differs from the one between widgets.
    void setRowSpacing(int value)
    {
        rowSpacing = value;
        invalidate();
    }

    void addItem(QLayoutItem* item) override;
    int count() const override;
    QLayoutItem* itemAt(int index) const override;
    QLayoutItem* takeAt(int index) override;
    Qt::Orientations expandingDirections() const override;
    bool hasHeightForWidth() const override;
    int heightForWidth(int width) const override;
    QSize minimumSize() const override;
    QSize sizeHint() const override;
    void setGeometry(const QRect& rect) override;

private:
    struct Row
    {
        QList<QLayoutItem*> items;
        QList<int> widths;
        int height = 0;
    };

    // The visible items in rows within the width (margins left out), each
    // as wide as it asks; spread, they fill the width.
    QList<Row> rows(int width, bool spread) const;
    void spreadRow(Row& row, int width, int columns) const;
    int gap() const;
    int rowGap() const { return rowSpacing >= 0 ? rowSpacing : gap(); }
    int widestHint() const;
    int rowsWidth(const Row& row) const;
    int rowsHeight(const QList<Row>& rows) const;

    QList<QLayoutItem*> items;
    Cells cells;
    int maxColumns;
    bool centred = false;
    int rowSpacing = -1;
    DogTag dogTag{__LINE__, __FILE__};
};

#endif
