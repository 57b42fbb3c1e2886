#ifndef DYNAMICWIDGETS_H
#define DYNAMICWIDGETS_H

#include <QFrame>
#include <QLabel>
#include <QPointer>

#include "foundation/dogtag.h"

#include <QCheckBox>

// A label that keeps its height for the last few widths it was asked about
// until its text, format, wrapping, font, style or margins change. A column of
// wrapped rich-text labels is asked again at several widths on every refit,
// and laying the text out each time is what costs.
class MeasuredLabel : public QLabel
{
    Q_OBJECT

public:
    explicit MeasuredLabel(QWidget* parent = nullptr) : QLabel(parent) {}
    MeasuredLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {}

    int heightForWidth(int width) const override;

protected:
    bool event(QEvent* event) override;

private:
    struct Measure
    {
        int width;
        int height;
    };

    // What the heights depend on besides font and style.
    struct Shape
    {
        QString text;
        Qt::TextFormat format;
        bool wraps;
        int margin;
        int indent;

        bool operator==(const Shape& other) const
        {
            return text == other.text && format == other.format && wraps == other.wraps && margin == other.margin
                   && indent == other.indent;
        }
    };

    mutable Shape measured{QString(), Qt::AutoText, false, 0, -1};
    mutable QList<Measure> measures;
};

// A label that shows its hover text while the mouse is over it. Its click is
// emitted queued: the slots may rebuild the display that owns the label.
class DynamicLabel : public MeasuredLabel
{
    Q_OBJECT

public:
    DynamicLabel(const QString& text, const QString& hoverText, int id, QWidget* parent = nullptr);

    void setTexts(const QString& text, const QString& hoverText);

signals:
    void clicked(int id);

private:
    QString normalText;
    QString hoverText;
    int id;
    DogTag dogTag{__LINE__, __FILE__};
};

// A frame that shows its child only while the mouse is over it; clicks are
// emitted queued as with DynamicLabel.
class DynamicFrame : public QFrame
{
    Q_OBJECT

public:
    DynamicFrame(QWidget* child, int id, QWidget* parent = nullptr);

    // For a child made under the frame after it.
    void setHoverChild(QWidget* hoverChild) { child = hoverChild; }

signals:
    void clicked(int id);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void showChildUnderCursor();

    QPointer<QWidget> child;
    int id;
    DogTag dogTag{__LINE__, __FILE__};
};

// A label bound to a check box of its own, which may sit elsewhere in the
// layout; pressing the label toggles the box.
class CheckboxLabel : public QLabel
{
    Q_OBJECT

public:
    explicit CheckboxLabel(const QString& text, QWidget* parent = nullptr);
    ~CheckboxLabel() override;

    QCheckBox* getCheckBox() const { return checkBox; }

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    QPointer<QCheckBox> checkBox;
    DogTag dogTag{__LINE__, __FILE__};
};

#endif
