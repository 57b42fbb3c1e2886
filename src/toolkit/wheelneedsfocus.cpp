#include "toolkit/wheelneedsfocus.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>

void WheelNeedsFocus::install()
{
    if (!qApp->findChild<WheelNeedsFocus*>(QString(), Qt::FindDirectChildrenOnly))
        qApp->installEventFilter(new WheelNeedsFocus(qApp));
}

bool WheelNeedsFocus::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::Polish && event->type() != QEvent::Wheel)
        return false;
    auto* box = qobject_cast<QWidget*>(watched);
    if (!qobject_cast<QAbstractSpinBox*>(box) && !qobject_cast<QComboBox*>(box))
        return false;
    if (event->type() == QEvent::Polish) {
        // The wheel would give the box the focus on its way over, and then itself.
        if (box->focusPolicy() == Qt::WheelFocus)
            box->setFocusPolicy(Qt::StrongFocus);
        return false;
    }
    if (box->hasFocus())
        return false;
    // Ignored, the wheel goes on to the box's parents, up to the scroll area.
    event->ignore();
    return true;
}
