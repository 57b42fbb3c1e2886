#include "toolkit/progressbar.h"

#include <QLinearGradient>
#include <QPainter>

void ProgressBarPainter::drawProgressBar(QPainter* painter, int percent, QRect rect, int horizontalMargin,
    int verticalMargin, bool gray, const QString& text, const QString& backgroundColour) const
{
    if (!backgroundColour.isEmpty())
        painter->fillRect(rect, QColor(backgroundColour));
    const QRect box = rect.adjusted(horizontalMargin, verticalMargin, -horizontalMargin, -verticalMargin);
    painter->fillRect(box, Qt::white);

    const int width = qMin(box.width(), box.width() * qAbs(percent) / 100);
    QRect bar(box.topLeft(), QSize(width, box.height()));
    if (percent < 0)
        bar.moveRight(box.right());
    QLinearGradient gradient(box.topLeft(), box.bottomLeft());
    gradient.setColorAt(0, Qt::white);
    gradient.setColorAt(0.5, percent > 50 ? QColor(Qt::gray) : QColor(Qt::red));
    gradient.setColorAt(1, Qt::black);
    painter->fillRect(bar, gradient);

    painter->save();
    painter->setPen(gray ? QColor(Qt::gray) : QColor(76, 76, 76));
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(box.adjusted(0, 0, -1, -1));
    painter->restore();
    if (!text.isEmpty())
        painter->drawText(box, Qt::AlignCenter, text);
}

void ProgressBarWidget::setProgress(int newPercent, bool newGray, const QString& newText, const QString& newColour)
{
    percent = newPercent;
    gray = newGray;
    text = newText;
    backgroundColour = newColour;
}

void ProgressBarWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    drawProgressBar(&painter, percent, rect(), 5, 4, gray, text, backgroundColour);
}
