#include "mainwindow/mainwindow.h"

#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QSettings>
#include <QStackedWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "creature/creature.h"
#include "editors/characterwindow.h"
#include "editors/managerwindow.h"
#include "encounter/encounter.h"
#include "encounter/history.h"
#include "foundation/global.h"
#include "foundation/objectstream.h"
#include "library/characters.h"
#include "library/encounters.h"
#include "library/monsters.h"
#include "mainwindow/playerswindow.h"
#include "powers/actions.h"
#include "toolkit/flatdialog.h"
#include "toolkit/scrollandtabs.h"

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
    setupCentralWidget();
    PanelHost::install(this);
    connectChores();

    setWindowTitle(tr("Ravelhorn"));
    Global::currentWindow = this;

    QSettings settings;
    restoreGeometry(settings.value("mainWindow/geometry").toByteArray());
    restoreState(settings.value("mainWindow/state").toByteArray());

    timer = new QTimer(this);
    connect(timer, &QTimer::timeout, &Global::switchBoard, &SwitchBoard::doRefreshTimer);
    timer->start(600);
    connect(this, &MainWindow::doCancelFlatDialog, &Global::switchBoard, &SwitchBoard::doCancelFlatDialog);
    connect(this, &MainWindow::doCreatureEffectsChanged, &Global::switchBoard, &SwitchBoard::doCreatureEffectsChanged);
}

void MainWindow::setupCentralWidget()
{
    // Page 0 stands in for the initiative table until it is built.
    initiativePage = new QWidget;
    flatDialogTitle = htmlLabel("");
    flatDialogTitle->setAlignment(Qt::AlignCenter);
    flatDialogButton = new QToolButton;
    flatDialogButton->setFocusPolicy(Qt::NoFocus);
    flatDialogButton->setArrowType(Qt::NoArrow);
    flatDialogArea = new ResizableScrollArea(false, false);
    flatDialogArea->setFocusPolicy(Qt::NoFocus);
    flatDialogArea->setContentsMargins(0, 0, 0, 0);
    flatDialogArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    flatDialogArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    auto* frame = new QFrame;
    frame->setLayout(hLayout(flatDialogArea));

    auto* page = new QVBoxLayout;
    page->setContentsMargins(8, 8, 8, 0);
    page->setSpacing(5);
    page->addWidget(hWidget(true, true, flatDialogTitle, flatDialogButton));
    page->addWidget(frame);
    flatDialogPage = layoutToWidget(page);

    centralStack = new QStackedWidget;
    centralStack->addWidget(initiativePage);
    centralStack->addWidget(flatDialogPage);
    setCentralWidget(centralStack);
}

void MainWindow::showFlatDialog(FlatDialog* dialog)
{
    if (dialog) {
        dialog->setupDialogTitle(flatDialogTitle);
        dialog->setupDialogButton(flatDialogButton);
    }
    runningDialog = dialog;
    if (Creature* selected = Global::encounter ? Global::encounter->getSelectedCreature(false) : nullptr)
        emit doCreatureEffectsChanged(selected);
}

void MainWindow::setFlatDialogDisplay(QWidget* widget, bool adjustHeight)
{
    QWidget* old = flatDialogArea->takeWidget();
    if (widget) {
        flatDialogArea->setWidget(widget);
        flatDialogArea->setVerticalScrollBarPolicy(adjustHeight ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded);
        flatDialogArea->setAdjustHeight(adjustHeight);
        centralStack->setCurrentWidget(flatDialogPage);
        flatDialogArea->adjustSize();
    } else {
        setFocus(Qt::OtherFocusReason);
        centralStack->setCurrentWidget(initiativePage);
    }
    if (old && old != widget)
        old->deleteLater();
}

void MainWindow::panelClosed()
{
    // The panel's previews on the creatures end with it.
    Encounter* encounter = Global::encounter;
    if (!encounter)
        return;
    for (Creature* creature : encounter->getSelectedCreatures())
        creature->resetDelta();
    if (Creature* current = encounter->getCurrentCreature())
        current->resetDelta();
}

void MainWindow::keyPressEvent(QKeyEvent* event)
{
    if (runningDialog && runningDialog->keyPressed(event->key(), event->modifiers()))
        return;
    QMainWindow::keyPressEvent(event);
}

MainWindow::~MainWindow()
{
    QSettings settings;
    settings.setValue("mainWindow/geometry", saveGeometry());
    settings.setValue("mainWindow/state", saveState());
    // Nothing may reach a window that is gone, such as a history-list click after a restart.
    if (Global::mainWindow == this)
        Global::mainWindow = nullptr;
    if (PanelHost::instance() == this)
        PanelHost::install(nullptr);
    if (Global::currentWindow == this)
        Global::currentWindow = nullptr;
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
