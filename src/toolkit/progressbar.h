#ifndef PROGRESSBAR_H
#define PROGRESSBAR_H

#include <QLinearGradient>
#include <QWidget>

class QPainter;

// The colours of a health bar, the same in the initiative table and the
// players' window: grey above half, red at half or less, paler for a creature
// that waits. No shade is so dark that the plain text over it reads at less
// than 4.5:1; the pending figures read so over the band laid behind them.
namespace HealthBarColours {
QColor fill(int percent, bool gray);
// From white at the top to the fill, which holds to the bottom.
QLinearGradient gradient(int percent, bool gray, const QRect& box);
QColor text(bool gray);
// A pending figure: red for a loss, blue for a gain.
QColor pending(bool gain);
// Behind a text that may hold pending figures: light, yet the bar shows through.
QColor textBand();
// The contrast ratio of two colours by their relative luminance, 1 to 21.
double contrast(const QColor& first, const QColor& second);
}

// Paints a health bar: a gradient for the percent (from the right end when
// negative) in a white box with an outline, and the text over it.
class ProgressBarPainter
{
public:
    void drawProgressBar(QPainter* painter, int percent, QRect rect, int horizontalMargin, int verticalMargin,
        bool gray, const QString& text, const QString& backgroundColour) const;
};

// One health bar as a widget; the caller repaints after setProgress.
class ProgressBarWidget : public QWidget, public ProgressBarPainter
{
    Q_OBJECT

public:
    ProgressBarWidget() = default;

    void setProgress(int percent, bool gray, const QString& text, const QString& backgroundColour);
    int getPercent() const { return percent; }
    bool isGray() const { return gray; }
    QString getText() const { return text; }
    QString getBackgroundColour() const { return backgroundColour; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int percent = 0;
    bool gray = false;
    QString text;
    QString backgroundColour;
};

#endif
