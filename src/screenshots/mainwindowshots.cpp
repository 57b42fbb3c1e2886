// Pictures of the game master's window with the demonstration fight: the
// window itself, a panel in it, its message boxes and the debug window.
#include <QApplication>
#include <QList>
#include <QLabel>
#include <QTextEdit>
#include <QTimer>

#include <algorithm>

#include "app/windowhooks.h"
#include "creature/creature.h"
#include "editors/managerwindow.h"
#include "encounter/encounter.h"
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

// Resized as the game master or a smaller screen does, up to a laid-out window.
void resizeAndSettle(QWidget* window, QSize size)
{
    window->resize(size);
    QApplication::processEvents();
}

// At the first-start size of a 1,280 × 800 screen: from the larger window,
// then after one of 1,400 × 800, and with a long alias as the current
// creature's name.
void laptopShots(ShotSink& sink, MainWindow* window)
{
    const QSize laptop(1152, 720);
    resizeAndSettle(window, laptop);
    sink.save("main-window-1152x720", window);
    resizeAndSettle(window, QSize(1400, 800));
    resizeAndSettle(window, laptop);
    sink.save("main-window-1152x720-shrunk", window);

    Creature* current = Global::encounter->getCurrentCreature();
    const QString alias = current->getAlias();
    const bool shown = current->isShowAlias();
    current->setAlias("Captain Varrow the Warden");
    current->setShowAlias(true);
    window->updateMainInitiativeList();
    refreshTick();
    sink.save("main-window-1152x720-long-alias", window);
    current->setAlias(alias);
    current->setShowAlias(shown);
    window->updateMainInitiativeList();
    refreshTick();
    resizeAndSettle(window, window->firstStartSize());
}

// A hero's figure typed while the fight's last change stands undone: Step
// Forward asks before recording the edit ends that change. The question is
// cancelled, the figure typed back and the change made again.
void recordHandEditsShot(ShotSink& sink, MainWindow* window)
{
    const QList<Creature*> creatures = Global::encounter->getCreatureList().getCreatureList();
    const auto hero = std::find_if(creatures.begin(), creatures.end(), [](Creature* c) { return !c->isMonster(); });
    if (hero == creatures.end())
        return;
    window->onStepBack();
    const int hitPoints = (*hero)->getCurrHitPoints();
    (*hero)->setCurrHitPoints(hitPoints - 7);
    Global::encounter->setCreatureEdited();
    WindowHooks hooks;
    Global::setUiHooks(&hooks);
    sink.saveModal("main-window-record-hand-edits", [&] { window->onStepForward(); });
    Global::setUiHooks(nullptr);
    (*hero)->setCurrHitPoints(hitPoints);
    window->onStepForward();
}

void mainWindowShots(ShotSink& sink)
{
    MainWindow* window = Global::mainWindow;
    window->resize(window->firstStartSize());
    sink.save("main-window", window);
    laptopShots(sink, window);

    ConfirmPanel panel;
    QTimer::singleShot(50, [&] {
        sink.save("main-window-panel", window);
        panel.reject();
    });
    panel.exec();

    sink.saveModal("main-window-about", [&] { window->onAbout(); });
    sink.saveModal("main-window-truncate", [&] { window->onTruncateHistory(); });
    sink.saveModal("main-window-clear-history", [&] { window->onNewHistory(); });
    recordHandEditsShot(sink, window);
    sink.saveModal("main-window-manager-hint", [&] { window->activateManagerWindow(); });
    Global::managerWindow->hide();
    window->toggleActiveWindow(window);

    for (QWidget* top : QApplication::topLevelWidgets())
        if (auto* debug = qobject_cast<QTextEdit*>(top)) {
            // Never on the screen: only this resizes it, not the window
            // system's late answer to the size the program shows it at.
            debug->setAttribute(Qt::WA_DontShowOnScreen);
            debug->resize(420, 200);
            window->debugStr("Next turn: Wren Talloway");
            window->debugStr("Ongoing damage 5 on Mire Goblin Shank (2)");
            sink.save("main-window-debug", debug);
            debug->hide();
        }
}

const ShotRegistration registration("main window", mainWindowShots);

}
