#ifndef PROGRESSBAR_H
#define PROGRESSBAR_H

#include <QWidget>

class QPainter;

// Paints a health bar: a gradient for the percent (red at half or less,
// from the right end when negative) in a white box with an outline.
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
