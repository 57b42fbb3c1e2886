// Pictures of the game master's window with the demonstration fight: the
// window itself, a panel in it, its message boxes and the debug window.
#include <QApplication>
#include <QLabel>
#include <QTextEdit>
#include <QTimer>

#include "editors/managerwindow.h"
#include "foundation/global.h"
#include "mainwindow/mainwindow.h"
#include "screenshots/shotsink.h"
#include "toolkit/flatdialog.h"
#include "toolkit/inputwidgets.h"

namespace {

class ConfirmPanel : public FlatDialog
{
public:
    ConfirmPanel()
    {
        setWindowTitle("<b>Extended Rest</b>");
        auto* buttons = new DialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, Qt::Horizontal);
        setLayout(vLayout(false, true, htmlLabel("Restore all party members to full health?"), buttons));
    }
};

void mainWindowShots(ShotSink& sink)
{
    MainWindow* window = Global::mainWindow;
    window->resize(window->firstStartSize());
    sink.save("main-window", window);

    ConfirmPanel panel;
    QTimer::singleShot(50, [&] {
        sink.save("main-window-panel", window);
        panel.reject();
    });
    panel.exec();

    sink.saveModal("main-window-about", [&] { window->onAbout(); });
    sink.saveModal("main-window-truncate", [&] { window->onTruncateHistory(); });
    sink.saveModal("main-window-clear-history", [&] { window->onNewHistory(); });
    sink.saveModal("main-window-manager-hint", [&] { window->activateManagerWindow(); });
    Global::managerWindow->hide();
    window->toggleActiveWindow(window);

    window->debugStr("Next turn: Wren Talloway");
    window->debugStr("Ongoing damage 5 on Mire Goblin Shank (2)");
    for (QWidget* top : QApplication::topLevelWidgets())
        if (auto* debug = qobject_cast<QTextEdit*>(top)) {
            debug->resize(420, 200);
            sink.save("main-window-debug", debug);
            debug->hide();
        }
}

const ShotRegistration registration("main window", mainWindowShots);

}
