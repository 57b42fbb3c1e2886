#ifndef PLAYERSBANNERS_H
#define PLAYERSBANNERS_H

#include <QList>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include "toolkit/windowsanddialogs.h"

class Creature;
class PlayersListModel;
class QFrame;
class QLabel;
class QListWidget;

// A dock's contents on the players' window, with a font of 14 to 28 pixels.
class PlayersWidget : public QWidget
{
    Q_OBJECT

public:
    explicit PlayersWidget(QWidget* parent = nullptr);

    void setFontSize(int size);
    int getFontSize() const { return fontSize; }

protected:
    int fontSize = 14;
};

// "Your Turn!": the creature whose turn it is, or the one a dialog asks about.
class YourTurnWidget : public PlayersWidget, public WindowsAndDialogs
{
    Q_OBJECT

public:
    YourTurnWidget(PlayersListModel* playersList, QWidget* parent = nullptr);

    // Null draws the current row's creature. A creature hidden from the
    // players, or a trap, is never drawn: the current row's creature is.
    void drawCreature(Creature* creature, const QString& caption);
    // A dialog's question stays up through the list's refreshes until the
    // dialog clears it with a null creature.
    void ask(Creature* creature, const QString& caption);
    QSize sizeHint() const override { return QSize(200, 90); }

public slots:
    void onCurrentChanged();
    void onCreatureUpdated(Creature* creature);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    static bool isShown(Creature* creature);
    void drawBlank();

    PlayersListModel* playersList;
    QPointer<Creature> shownCreature;
    QPointer<Creature> asked;
    QString askedCaption;
    QLabel* portraitLabel;
    QFrame* detailsFrame;
    QLabel* nameLabel;
    QLabel* stateLabel;
    QLabel* healthLabel;
    QLabel* levelLabel;
};

// "Last Kills": the dead monsters with the short name of their killers, the
// most recent first.
class LastKillWidget : public PlayersWidget, public WindowsAndDialogs
{
    Q_OBJECT

public:
    LastKillWidget(PlayersListModel* playersList, QWidget* parent = nullptr);

    virtual void sizeLayout();
    void draw();
    int getVisibleKills() const { return visibleKills; }
    QSize sizeHint() const override { return QSize(200, 90); }

public slots:
    void onCreatureChanged();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    // The killer as the players know it; empty when unknown or hidden from them.
    static QString killerName(Creature* monster);

    PlayersListModel* playersList;
    int maxKills = 10;
    int visibleKills = 0;
    QList<QLabel*> portraitLabels;
    QList<QLabel*> nameLabels;
};

// "Ticker": the latest events the players may see, the newest at the top,
// as many as fit.
class TickerWidget : public PlayersWidget, public WindowsAndDialogs
{
    Q_OBJECT

public:
    explicit TickerWidget(QWidget* parent = nullptr);
    ~TickerWidget() override;

    using QWidget::resize;
    void draw();
    // Shows as many events as rows fit in the height.
    void resize();
    QSize sizeHint() const override { return QSize(200, 100); }

public slots:
    void onHistoryChanged();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    QListWidget* eventList;
    int eventCount = 1;
    // A command of many events redraws the ticker once.
    QTimer historyTimer;
};

#endif
