#include "toolkit/progressbar.h"

#include <QPainter>

#include <cmath>

#include "foundation/textcolours.h"

namespace HealthBarColours {

QColor fill(int percent, bool gray)
{
    // Paler, a waiting creature's bar still tells grey from red.
    if (percent > 50)
        return gray ? QColor(192, 192, 192) : QColor(128, 128, 128);
    return gray ? QColor(255, 128, 128) : QColor(255, 0, 0);
}

QLinearGradient gradient(int percent, bool gray, const QRect& box)
{
    QLinearGradient shades(box.topLeft(), box.bottomLeft());
    shades.setColorAt(0, Qt::white);
    shades.setColorAt(0.5, fill(percent, gray));
    shades.setColorAt(1, fill(percent, gray));
    return shades;
}

QColor text(bool gray)
{
    return gray ? QColor(58, 58, 58) : QColor(Qt::black);
}

QColor pending(bool gain)
{
    return gain ? TextColours::blue() : TextColours::red();
}

QColor textBand()
{
    return QColor(255, 255, 255, 180);
}

namespace {

double luminance(const QColor& colour)
{
    auto linear = [](double channel) {
        return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) + 0.0722 * linear(colour.blueF());
}

}

double contrast(const QColor& first, const QColor& second)
{
    const double a = luminance(first) + 0.05;
    const double b = luminance(second) + 0.05;
    return qMax(a, b) / qMin(a, b);
}

}

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
    painter->fillRect(bar, HealthBarColours::gradient(percent, gray, box));

    painter->save();
    painter->setPen(gray ? QColor(Qt::gray) : QColor(76, 76, 76));
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(box.adjusted(0, 0, -1, -1));
    if (!text.isEmpty()) {
        painter->setPen(HealthBarColours::text(gray));
        painter->drawText(box, Qt::AlignCenter, text);
    }
    painter->restore();
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
