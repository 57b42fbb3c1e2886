#ifndef MAINWINDOW_H
#define MAINWINDOW_H

#include <QIcon>
#include <QMainWindow>
#include <QPointer>
#include <QSharedPointer>

#include "powers/powerenums.h"
#include "toolkit/panelhost.h"
#include "toolkit/windowsanddialogs.h"

class CommandAvailability;
class Creature;
class CreaturePower;
class CreatureWidget;
class DockWidget;
class Effect;
class EffectDialog;
class PowerDialog;
class EffectListModel;
class EventListModel;
class FlatDialog;
class MainInitiativeList;
class QAction;
class QLabel;
class QSpinBox;
class QStackedWidget;
class QTextEdit;
class QTimer;
class QToolBar;
class QToolButton;
class ResizableScrollArea;

// mainwindow/: the game master's window, its initiative table and docks,
// and the players' window.

// The game master's window. It creates the application's singletons and
// deletes them again in shutdown(). In-window panels take over its central
// area while they run.
class MainWindow : public QMainWindow, public WindowsAndDialogs, public PanelHost
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    void shutdown();
    // The size the window opens at when no size of the game master's is stored.
    QSize firstStartSize() const;
    QTimer* refreshTimer() const { return timer; }

    // The panel host: panels replace the initiative table.
    void showFlatDialog(FlatDialog* dialog) override;
    void setFlatDialogDisplay(QWidget* widget, bool adjustHeight) override;
    bool runningFlatDialog() const override { return runningDialog != nullptr; }
    void cancelFlatDialog() override { emit doCancelFlatDialog(); }
    void panelClosed() override;
    void previewCreature(Creature* creature) override;
    void drawYourTurnCreature(Creature* creature, const QString& caption) override;

    void focusOnHitPointBox();
    void updateMainInitiativeList();
    // Follows the window the game master works in; floating docks make way for the editors.
    void toggleActiveWindow(QWidget* window);
    void togglePlayersWindowButton();
    void toggleFileButtons();
    void debugStr(const QString& line);

public slots:
    // The chores the model announces on the switchboard.
    void setLeftStatus(const QString& text);
    void setRightStatus(const QString& text);
    void toggleSelectionButtons();
    void toggleJumpInButton();
    // How the initiative table selects, for the game master.
    void helpWithSelections();
    void toggleForwardBackButtons();
    void toggleStartStopNextButtons();
    // The windows hide and pause while the history log is replayed.
    void startLoadingHistory();
    void doneLoadingHistory();
    void setPauseUpdate(bool pause);
    void performTurnStart();

    CreatureWidget* getCurrentCreatureWidget() const { return currentCreatureWidget; }

signals:
    void doCreatureEffectsChanged(Creature* creature);
    void doCancelFlatDialog();

public slots:
    void onAbout();
    void onSetRoot();
    void onNewHistory();
    void onTruncateHistory();
    void activateMainWindow();
    void activateManagerWindow();
    void activateCharacterWindow();
    void onTogglePlayerWindow();
    void toggleCurrentWindow();
    void toggleSelectedWindow();
    void toggleHistoryWindow();
    void toggleEffectsWindow();
    void onFocusChanged(QWidget* old, QWidget* now);
    void onPickParty();
    void onLoadEncounter();
    void onAddMonster();
    void onSelectLanguage();
    void onSetAlias();
    void onRemoveCreatures();
    void onStartStopEncounter();
    void onNextTurn();
    void onStepBack();
    void onStepForward();
    void onAddConditionOrEffect();
    // False when the log refused the removal.
    bool removeCondEffect(Creature* creature, Effect* effect);
    void onShowAndHide();
    void onDelay();
    void onReady();
    void onJumpIn();
    void onUpInitiative();
    void onDownInitiative();
    void onShortRest();
    void onExtendedRest();
    void onHPValueChanged();
    void onHit();
    void onHeal();
    void onSurge();
    void onSetTempHP();
    void onCreatureSelectionChanged();
    void addConditionOrEffect(Creature* origin, const QString& powerName, CreaturePower* power,
                              const QString& actionName);
    void showAliases(const QList<Creature*>& creatures, bool show);
    void editAliases(const QList<Creature*>& creatures);
    void removeCreatureFromEncounter(Creature* creature);
    void removeSelectedCreatures();
    void adjustSelectedCreaturesInitiative(int places);
    void setEffectCreature(Creature* creature);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    enum Dock { CurrentDock, SelectedDock, HistoryDock, EffectsDock, DockCount };

    void setupCentralWidget();
    void updateCentreGeometry();
    void connectChores();
    using Slot = void (MainWindow::*)();
    // A command whose triggered() reaches the slot; its tips name its keys.
    QAction* createAction(Slot slot, const QString& icon, const QString& text, const QString& shortcut,
        const QString& statusTip);
    void createActions();
    void createToolBar();
    void createStatusBar();
    void createDockWindows();
    void connectCreatureWidgets();
    void connectInitiativeList();
    DockWidget* addDock(const QString& title, const QString& name, QWidget* widget, Qt::DockWidgetArea area);
    void createMenus();
    void setupAvailability();
    void addMenu(const QString& title, const QList<QAction*>& actions);
    DockWidget* dock(int which) const;
    // The stat-block docks' width at a first start at the window's size.
    int firstStartDockWidth() const;
    // The flag follows the Window menu's check mark, whatever closed the dock before.
    void noteDockToggled(int which);
    void activateWindowOf(QWidget* window);
    // The current creature among them passes its turn first, unless all go.
    void removeCreaturesFromEncounter(QList<Creature*> creatures);
    // Conditions and effects: a request replaces the one whose panel is open.
    void runPendingRequests();
    void runConditionOrEffect(Creature* origin, const QString& powerName, CreaturePower* power,
                              const QString& actionName);
    void getDefaultTargetList(Creature* origin, CreaturePower* power, QList<Creature*>& list, Power::StepType type);
    void applyClassicResults(EffectDialog& dialog, const QString& powerName);
    // The dialogs of one request, in turn until one ends it; the results recorded.
    void runConditionDialogs(Creature* origin, QString powerName, QString actionName, QList<Creature*> hitList,
                             const QList<Creature*>& effectList);
    // The edited program of a named power into its template, of an action into the actions.
    void storeEditedPower(PowerDialog& dialog, const CreaturePower& power, bool isAction);
    void applyPowerResults(PowerDialog& dialog, CreaturePower& power, bool isAction);

    EventListModel* historyModel = nullptr;
    EffectListModel* effectsModel = nullptr;
    struct ConditionRequest
    {
        QPointer<Creature> origin;
        QString powerName;
        // A copy: the creature's own may be gone when the request runs.
        QSharedPointer<CreaturePower> power;
        QString actionName;
    };
    ConditionRequest pendingRequest;
    bool requestPending = false;
    bool runningRequests = false;
    // The classic conditions-and-effects dialog opens first; switched by the dialogs.
    bool classicDialog = false;
    QStackedWidget* centralStack = nullptr;
    MainInitiativeList* initiativeList = nullptr;
    ResizableScrollArea* flatDialogArea = nullptr;
    QLabel* flatDialogTitle = nullptr;
    QToolButton* flatDialogButton = nullptr;
    QWidget* flatDialogPage = nullptr;
    FlatDialog* runningDialog = nullptr;
    CreatureWidget* currentCreatureWidget = nullptr;
    CreatureWidget* selectedCreatureWidget = nullptr;
    QTextEdit* debugEdit = nullptr;
    QTimer* timer;
    bool playersWindowWasHidden = false;
    bool dockHiddenByUser[DockCount] = {};
    // No dock layout was stored: the first show gives the stat-block docks their width.
    bool widenDocksWhenShown = false;
    bool editorWindowActive = false;
    DockWidget* currentDock = nullptr;
    DockWidget* selectedDock = nullptr;
    DockWidget* historyDock = nullptr;
    DockWidget* effectsDock = nullptr;

    QAction* setRootAct = nullptr;
    QAction* selectLanguageAct = nullptr;
    QAction* newHistoryAct = nullptr;
    QAction* truncateHistoryAct = nullptr;
    QAction* mainWindowAct = nullptr;
    QAction* managerWindowAct = nullptr;
    QAction* characterWindowAct = nullptr;
    QAction* playersWindowAct = nullptr;
    QAction* pickPartyAct = nullptr;
    QAction* loadEncounterAct = nullptr;
    QAction* addMonsterAct = nullptr;
    QAction* stepBackAct = nullptr;
    QAction* stepForwardAct = nullptr;
    QAction* startStopAct = nullptr;
    QAction* nextTurnAct = nullptr;
    QAction* conditionsEffectsAct = nullptr;
    QAction* showHideAct = nullptr;
    QAction* setAliasAct = nullptr;
    QAction* removeCreaturesAct = nullptr;
    QAction* delayAct = nullptr;
    QAction* readyAct = nullptr;
    QAction* jumpInAct = nullptr;
    QAction* upInitiativeAct = nullptr;
    QAction* downInitiativeAct = nullptr;
    QAction* shortRestAct = nullptr;
    QAction* extendedRestAct = nullptr;
    QAction* quitAct = nullptr;
    QAction* aboutAct = nullptr;
    QAction* hitAct = nullptr;
    QAction* healAct = nullptr;
    QAction* surgeAct = nullptr;
    QAction* setTempHPAct = nullptr;
    QSpinBox* hitPointBox = nullptr;
    QAction* dockToggleActs[DockCount] = {};

    QToolBar* windowToolBar = nullptr;
    QLabel* leftStatus = nullptr;
    QLabel* rightStatus = nullptr;

    QIcon playIcon;
    QIcon stopIcon;
    QIcon nextTurnIcon;
    QIcon nextTurnGreyIcon;
    QIcon hideIcon;
    QIcon showIcon;
    QIcon playersWindowCloseIcon;
    QIcon playersWindowOpenIcon;
    QIcon healingSurgeIcon;
    QIcon healingSurgeX1Icon;

    bool managerHintShown = false;
    // The HP box holds the selected creature's healing-surge value.
    bool surgeMode = false;
    CommandAvailability* availability = nullptr;
};

#endif
