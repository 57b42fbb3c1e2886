// Linked into every test of the windows: the application object they make
// takes the application-wide behaviour that the program's start sets up.

#include <QApplication>

#include "toolkit/wheelneedsfocus.h"

namespace {

void prepareWidgets()
{
    if (qobject_cast<QApplication*>(QCoreApplication::instance()))
        WheelNeedsFocus::install();
}

}

Q_COREAPP_STARTUP_FUNCTION(prepareWidgets)
