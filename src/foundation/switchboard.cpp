#include "foundation/switchboard.h"

bool EventSignaler::eventFilter(QObject* watched, QEvent* event)
{
    bool handled = QObject::eventFilter(watched, event);
    emit doEventReceived(watched);
    return handled;
}
