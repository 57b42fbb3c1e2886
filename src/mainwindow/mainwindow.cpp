#include "mainwindow/mainwindow.h"

#include <QApplication>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QSettings>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "creature/creature.h"
#include "editors/characterwindow.h"
#include "editors/managerwindow.h"
#include "encounter/encounter.h"
#include "encounter/history.h"
#include "foundation/global.h"
#include "library/characters.h"
#include "library/encounters.h"
#include "library/monsters.h"
#include "mainwindow/commandavailability.h"
#include "mainwindow/creaturewidget.h"
#include "mainwindow/dockwidget.h"
#include "mainwindow/maininitiativelist.h"
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
    createActions();
    createToolBar();
    createStatusBar();
    createDockWindows();
    createMenus();
    setupAvailability();
    // A separate window, shown when a debug line arrives.
    debugEdit = new QTextEdit;
    debugEdit->setReadOnly(true);
    debugEdit->setWindowTitle(tr("Debug"));
    PanelHost::install(this);
    connectChores();

    setWindowTitle(tr("Ravelhorn DM's Display"));
    setUnifiedTitleAndToolBarOnMac(false);
    toggleStartStopNextButtons();
    toggleForwardBackButtons();

    QSettings settings;
    if (!restoreGeometry(settings.value("mainWindow/geometry").toByteArray())) {
        resize(firstStartSize());
        placeInsideScreen(this);
    }
    widenDocksWhenShown = !restoreState(settings.value("mainWindow/state").toByteArray(), 0);
    for (int which = 0; which < DockCount; which++)
        dockHiddenByUser[which] = dock(which)->isHidden();
    Global::currentWindow = this;

    connect(qApp, &QApplication::focusChanged, this, &MainWindow::onFocusChanged);
    connect(hitPointBox, &QSpinBox::valueChanged, this, &MainWindow::onHPValueChanged);
    connect(this, &MainWindow::doCreatureEffectsChanged, &Global::switchBoard, &SwitchBoard::doCreatureEffectsChanged);
    // Tab alternates between the HP box and the initiative table.
    setTabOrder(hitPointBox, initiativeList);
    setTabOrder(initiativeList, hitPointBox);

    timer = new QTimer(this);
    connect(timer, &QTimer::timeout, &Global::switchBoard, &SwitchBoard::doRefreshTimer);
    timer->start(600);
    connect(this, &MainWindow::doCancelFlatDialog, &Global::switchBoard, &SwitchBoard::doCancelFlatDialog);
}

QSize MainWindow::firstStartSize() const
{
    // Most of the screen: the table, the docks and the tool bars need the room.
    return screen() ? screen()->availableGeometry().size() * 0.9 : size();
}

void MainWindow::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!widenDocksWhenShown)
        return;
    widenDocksWhenShown = false;
    // Once the docks are laid out: before, the main window sizes them by their hints again.
    QMetaObject::invokeMethod(
            this,
            [this] {
                const int width = firstStartDockWidth();
                resizeDocks({currentDock, selectedDock}, {width, width}, Qt::Horizontal);
            },
            Qt::QueuedConnection);
}

void MainWindow::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    // A narrower window takes its room from the centre alone: the docks give
    // back what a first start at this size would have left them.
    if (!isVisible() || widenDocksWhenShown || event->size().width() >= event->oldSize().width())
        return;
    const int width = firstStartDockWidth();
    QList<QDockWidget*> wide;
    for (DockWidget* dock : {currentDock, selectedDock})
        if (dock->isVisible() && !dock->isFloating() && dock->width() > width)
            wide << dock;
    resizeDocks(wide, QList<int>(wide.size(), width), Qt::Horizontal);
}

int MainWindow::firstStartDockWidth() const
{
    // A stat block's width, less on a small screen: the centre keeps the room its table asks,
    // which the panels shown there need too.
    const int shared = centralWidget()->width() + currentDock->width() + selectedDock->width();
    return qMin(statBlockWidth(this), (shared - centralWidget()->sizeHint().width()) / 2);
}

void MainWindow::setupCentralWidget()
{
    initiativeList = new MainInitiativeList;
    initiativeList->setPlayersList(Global::playersWindow->getPlayersList());
    connectInitiativeList();
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
    // Narrow sides: on a small screen the panels need every pixel of the centre.
    page->setContentsMargins(4, 8, 4, 0);
    page->setSpacing(5);
    page->addWidget(hWidget(true, true, flatDialogTitle, flatDialogButton));
    page->addWidget(frame);
    flatDialogPage = layoutToWidget(page);

    centralStack = new QStackedWidget;
    centralStack->addWidget(initiativeList);
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
    toggleForwardBackButtons();
    toggleStartStopNextButtons();
    toggleSelectionButtons();
    toggleJumpInButton();
    toggleFileButtons();
    if (Creature* selected = Global::encounter ? Global::encounter->getSelectedCreature(false) : nullptr)
        emit doCreatureEffectsChanged(selected);
}

void MainWindow::setFlatDialogDisplay(QWidget* widget, bool adjustHeight)
{
    QWidget* old = flatDialogArea->takeWidget();
    if (widget) {
        flatDialogArea->setWidget(widget);
        flatDialogArea->setAdjustHeight(adjustHeight);
        centralStack->setCurrentWidget(flatDialogPage);
        hitPointBox->setFocusPolicy(Qt::NoFocus);
        hitPointBox->setEnabled(false);
        flatDialogArea->adjustSize();
    } else {
        setFocus(Qt::OtherFocusReason);
        hitPointBox->setFocusPolicy(Qt::StrongFocus);
        centralStack->setCurrentWidget(initiativeList);
        hitPointBox->setEnabled(true);
    }
    // The centre needs the panel's least width, or the table's again, as far
    // as the docks can give it: a panel never widens the window, what it
    // needs past that it scrolls sideways.
    flatDialogArea->setWidthFollowsContent(true);
    updateCentreGeometry();
    const int excess = layout()->totalMinimumSize().width() - width();
    flatDialogArea->setWidthFollowsContent(true, flatDialogArea->minimumSizeHint().width() - excess);
    updateCentreGeometry();
    // Nor would the title row ask again for its button, shown or hidden meanwhile: laid out at once.
    if (widget)
        flatDialogPage->layout()->activate();
    if (old && old != widget)
        old->deleteLater();
}

void MainWindow::updateCentreGeometry()
{
    // A hidden page's layouts would not pass a new least size up by themselves.
    for (QWidget* holder = flatDialogArea; holder != this; holder = holder->parentWidget())
        holder->updateGeometry();
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
    // A conditions-and-effects request cancelled this panel: it runs once the panel's command is done.
    if (requestPending && !runningRequests)
        QTimer::singleShot(0, this, &MainWindow::runPendingRequests);
}

void MainWindow::previewCreature(Creature* creature)
{
    currentCreatureWidget->drawCreature(creature);
}

void MainWindow::drawYourTurnCreature(Creature* creature, const QString& caption)
{
    if (Global::playersWindow)
        Global::playersWindow->drawYourTurnCreature(creature, caption);
}

void MainWindow::keyPressEvent(QKeyEvent* event)
{
    // A running panel has seen the key already: the table's keys are not for it.
    if (!runningDialog && initiativeList->handleKeyEvent(event))
        return;
    if (event->key() == Qt::Key_Return && !(event->modifiers() & Qt::KeypadModifier) && hitPointBox->hasFocus()) {
        // What Apply Damage would refuse (nothing selected, a surge in the box) Return refuses too.
        if (hitAct->isEnabled())
            hitAct->trigger();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (!Global::allChangesSaved(tr("Do you want to save all changes and then quit the application?"),
                                 tr("Save Changes and Quit"))) {
        event->ignore();
        return;
    }
    // Docks hidden for an editor come back, so that the saved layout has them.
    toggleActiveWindow(this);
    event->accept();
    QCoreApplication::quit();
}

MainWindow::~MainWindow()
{
    // The focus moves while the base class deletes the children; this window is no longer one to tell.
    disconnect(qApp, &QApplication::focusChanged, this, &MainWindow::onFocusChanged);
    QSettings settings;
    settings.setValue("mainWindow/geometry", saveGeometry());
    settings.setValue("mainWindow/state", saveState(0));
    delete debugEdit;
    delete availability;
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
    toggleActiveWindow(this);
    // Told before the program goes: the fight another program wrote over is kept.
    if (Global::history)
        Global::history->letGo();
    if (Global::encounter)
        Global::encounter->reset();
    // The editors hold creatures of the libraries (displays, list models): they go first.
    deleteSingleton(Global::managerWindow);
    deleteSingleton(Global::characterWindow);
    deleteSingleton(Global::history);
    deleteSingleton(Global::encounter);
    deleteSingleton(Global::characters);
    deleteSingleton(Global::monsters);
    deleteSingleton(Global::playersWindow);
    deleteSingleton(Global::encounters);
    deleteSingleton(Global::actions);
}
