#ifndef WHEELNEEDSFOCUS_H
#define WHEELNEEDSFOCUS_H

#include <QObject>

// A spin box or combo box takes the mouse wheel only once it has the keyboard
// focus (by a click or Tab): without it, the wheel scrolls what holds the box,
// so that rolling over a form never changes a figure on the way.
class WheelNeedsFocus : public QObject
{
    Q_OBJECT

public:
    // Watches every box of the application; once, however often it is called.
    static void install();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    using QObject::QObject;
};

#endif
