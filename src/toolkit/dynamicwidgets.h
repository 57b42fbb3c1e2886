#ifndef DYNAMICWIDGETS_H
#define DYNAMICWIDGETS_H

#include <QFrame>
#include <QLabel>
#include <QPointer>

#include "foundation/dogtag.h"

#include <QCheckBox>

// A label that shows its hover text while the mouse is over it. Its click is
// emitted queued: the slots may rebuild the display that owns the label.
class DynamicLabel : public QLabel
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
