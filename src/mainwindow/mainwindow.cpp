#include "mainwindow/mainwindow.h"

#include <QSettings>
#include <QTimer>

#include "powers/actions.h"
#include "library/characters.h"
#include "editors/characterwindow.h"
#include "encounter/encounter.h"
#include "library/encounters.h"
#include "foundation/global.h"
#include "encounter/history.h"
#include "editors/managerwindow.h"
#include "library/monsters.h"
#include "foundation/objectstream.h"
#include "mainwindow/playerswindow.h"

namespace {

template <typename T>
void deleteSingleton(T*& slot)
{
    delete slot;
    slot = nullptr;
}

}

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent)
{
    Global::mainWindow = this;
    Global::encounter = new Encounter();
    Global::history = new History();
    Global::characters = new Characters();
    Global::monsters = new Monsters();
    Global::encounters = new Encounters();
    Global::actions = new Actions();
    Global::playersWindow = new PlayersWindow();
    Global::managerWindow = new ManagerWindow();
    Global::characterWindow = new CharacterWindow();

    setWindowTitle(tr("Ravelhorn"));
    Global::currentWindow = this;

    QSettings settings;
    restoreGeometry(settings.value("mainWindow/geometry").toByteArray());
    restoreState(settings.value("mainWindow/state").toByteArray());

    timer = new QTimer(this);
    connect(timer, &QTimer::timeout, &Global::switchBoard, &SwitchBoard::doRefreshTimer);
    timer->start(600);
    connect(this, &MainWindow::doCancelFlatDialog, &Global::switchBoard, &SwitchBoard::doCancelFlatDialog);
}

MainWindow::~MainWindow()
{
    QSettings settings;
    settings.setValue("mainWindow/geometry", saveGeometry());
    settings.setValue("mainWindow/state", saveState());
}

void MainWindow::shutdown()
{
    Global::currentWindow = this;
    if (Global::encounter) {
        if (Global::history && Global::history->getCurrentEvent())
            if (ObjectStream* stream = Global::history->getStream(false))
                Global::encounter->writeVitalityChanges(stream);
        Global::encounter->reset();
    }
    deleteSingleton(Global::history);
    deleteSingleton(Global::encounter);
    deleteSingleton(Global::characters);
    deleteSingleton(Global::monsters);
    deleteSingleton(Global::playersWindow);
    deleteSingleton(Global::managerWindow);
    deleteSingleton(Global::characterWindow);
    deleteSingleton(Global::encounters);
    deleteSingleton(Global::actions);
}
