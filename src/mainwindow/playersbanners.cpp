#include "mainwindow/playersbanners.h"

#include <QContextMenuEvent>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QScrollArea>
#include <QSettings>

#include "creature/creature.h"
#include "encounter/event.h"
#include "encounter/history.h"
#include "foundation/global.h"
#include "foundation/switchboard.h"
#include "mainwindow/playerslistmodel.h"

namespace {

QLabel* portraitLabel(int minimum)
{
    auto* label = new QLabel;
    label->setScaledContents(true);
    label->setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
    label->setLineWidth(2);
    label->setBackgroundRole(QPalette::Base);
    label->setMinimumSize(minimum, minimum);
    label->setMaximumSize(300, 300);
    return label;
}

// Creatures without a picture of their own show the blank one.
QPixmap portraitOf(Creature* creature)
{
    const QPixmap portrait = creature ? creature->getPortrait() : QPixmap();
    if (portrait.isNull() && Global::blankPortrait)
        return *Global::blankPortrait;
    return portrait;
}

// Scaled portraits are dear to draw; one that stays is not set again.
void showPortrait(QLabel* label, const QPixmap& portrait)
{
    if (label->pixmap().cacheKey() != portrait.cacheKey())
        label->setPixmap(portrait);
}

QString bold(const QString& text)
{
    return QString("<b>%1</b>").arg(text.toHtmlEscaped());
}

}

PlayersWidget::PlayersWidget(QWidget* parent) : QWidget(parent)
{
    setFontSize(14);
}

void PlayersWidget::setFontSize(int size)
{
    fontSize = qBound(14, size, 28);
    QFont sized = font();
    sized.setPixelSize(fontSize);
    setFont(sized);
}

YourTurnWidget::YourTurnWidget(PlayersListModel* playersList, QWidget* parent)
    : PlayersWidget(parent), playersList(playersList)
{
    portraitLabel = ::portraitLabel(96);
    nameLabel = htmlLabel("");
    stateLabel = htmlLabel("");
    healthLabel = new QLabel;
    levelLabel = new QLabel;

    auto* details = new QVBoxLayout;
    details->setContentsMargins(2, 2, 2, 2);
    for (QLabel* label : {nameLabel, stateLabel, healthLabel, levelLabel})
        details->addWidget(label);
    detailsFrame = new QFrame;
    detailsFrame->setFrameStyle(QFrame::WinPanel | QFrame::Raised);
    detailsFrame->setLineWidth(2);
    detailsFrame->setLayout(details);

    auto* layout = new QHBoxLayout;
    layout->setSpacing(4);
    layout->addWidget(portraitLabel);
    layout->addWidget(detailsFrame);
    setLayout(layout);

    connect(playersList, &PlayersListModel::doCurrentChanged, this, &YourTurnWidget::onCurrentChanged);
    connect(&Global::switchBoard, &SwitchBoard::doCreatureUpdated, this, &YourTurnWidget::onCreatureUpdated);
}

bool YourTurnWidget::isShown(Creature* creature)
{
    return creature && !creature->isHidden() && !creature->isTrap();
}

void YourTurnWidget::drawCreature(Creature* creature, const QString& caption)
{
    if (!isShown(creature))
        creature = playersList->getCurrentCreature();
    // A paused model may hold a creature hidden since.
    shownCreature = isShown(creature) ? creature : nullptr;
    if (!shownCreature) {
        drawBlank();
        return;
    }
    showPortrait(portraitLabel, portraitOf(creature));
    nameLabel->setText(bold(creature->getInitativeListName()));
    QString state = creature->getStateText(true, true, false, false);
    if (!caption.isEmpty())
        state += (state.isEmpty() ? "" : "; ") + caption;
    stateLabel->setText(state);
    levelLabel->setText(creature->getLevelRaceClass());
    healthLabel->setText(creature->isMonster() ? QString() : creature->getHealth(false));
}

void YourTurnWidget::drawBlank()
{
    showPortrait(portraitLabel, portraitOf(nullptr));
    for (QLabel* label : {nameLabel, stateLabel, healthLabel, levelLabel})
        label->clear();
}

void YourTurnWidget::ask(Creature* creature, const QString& caption)
{
    asked = creature;
    askedCaption = creature ? caption : QString();
    drawCreature(creature, askedCaption);
}

void YourTurnWidget::onCurrentChanged()
{
    drawCreature(asked, askedCaption);
}

void YourTurnWidget::onCreatureUpdated(Creature* creature)
{
    if (!creature)
        return;
    // Hidden from the players even while the model is paused.
    if (creature == shownCreature && !isShown(creature))
        drawCreature(nullptr, QString());
    else if (creature == asked)
        drawCreature(asked, askedCaption);
    // While the model is paused its current creature is stale.
    else if (playersList->isUpdateEnabled() && creature == playersList->getCurrentCreature())
        drawCreature(creature, QString());
}

void YourTurnWidget::resizeEvent(QResizeEvent* event)
{
    PlayersWidget::resizeEvent(event);
    const int side = portraitLabel->height();
    portraitLabel->setFixedWidth(side);
    setFontSize(side / 7);
}

LastKillWidget::LastKillWidget(PlayersListModel* playersList, QWidget* parent)
    : PlayersWidget(parent), playersList(playersList)
{
    auto* grid = new QGridLayout;
    grid->setContentsMargins(5, 5, 5, 5);
    for (int i = 0; i < maxKills; i++) {
        portraitLabels.append(::portraitLabel(84));
        grid->addWidget(portraitLabels.last(), 0, i);
        nameLabels.append(htmlLabel(""));
        nameLabels.last()->setAlignment(Qt::AlignHCenter);
        grid->addWidget(nameLabels.last(), 1, i);
    }
    auto* scrollArea = new QScrollArea;
    scrollArea->setContentsMargins(0, 0, 0, 0);
    scrollArea->setLayout(grid);
    auto* layout = new QHBoxLayout;
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scrollArea);
    setLayout(layout);

    setFontSize(14);
    sizeLayout();
    connect(playersList, &PlayersListModel::doCurrentChanged, this, &LastKillWidget::onCreatureChanged);
}

void LastKillWidget::sizeLayout()
{
    int side = portraitLabels.first()->height();
    if (side > height())
        side = height() * 3 / 4;
    visibleKills = qMin(maxKills, (width() - 5) / (side + 5));
    for (int i = 0; i < maxKills; i++) {
        portraitLabels[i]->setVisible(i < visibleKills);
        nameLabels[i]->setVisible(i < visibleKills);
        portraitLabels[i]->setFixedWidth(side);
    }
}

QString LastKillWidget::killerName(Creature* monster)
{
    const QString reference = monster->getLastAttacker();
    if (reference.isEmpty())
        return QString();
    Creature* killer = Creature::getCreatureByName(reference, false);
    if (killer && killer->isHidden())
        return QString();
    if (killer && killer->isShowAlias())
        return killer->getDisplayName(true);
    return Creature::getShortName(reference);
}

void LastKillWidget::draw()
{
    int slot = 0;
    if (Global::playersWindow) {
        const QMap<int, Creature*> dead = playersList->getDeadMonsters();
        for (auto it = dead.constEnd(); it != dead.constBegin() && slot < maxKills;) {
            --it;
            const QString killer = killerName(it.value());
            if (killer.isEmpty())
                continue;
            showPortrait(portraitLabels[slot], portraitOf(it.value()));
            nameLabels[slot]->setText(bold(killer));
            slot++;
        }
    }
    for (; slot < maxKills; slot++) {
        showPortrait(portraitLabels[slot], portraitOf(nullptr));
        nameLabels[slot]->clear();
    }
}

void LastKillWidget::onCreatureChanged()
{
    draw();
}

void LastKillWidget::resizeEvent(QResizeEvent* event)
{
    PlayersWidget::resizeEvent(event);
    setFontSize(height() / 10);
    sizeLayout();
}

TickerWidget::TickerWidget(QWidget* parent) : PlayersWidget(parent)
{
    eventList = new QListWidget;
    eventList->setAlternatingRowColors(true);
    eventList->setSelectionMode(QAbstractItemView::NoSelection);
    eventList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    eventList->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* layout = new QVBoxLayout;
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(eventList);
    setLayout(layout);

    historyTimer.setSingleShot(true);
    historyTimer.setInterval(0);
    connect(&historyTimer, &QTimer::timeout, this, &TickerWidget::onHistoryChanged);
    connect(Global::history, &History::doHistoryChanged, &historyTimer, qOverload<>(&QTimer::start));
    const int stored = QSettings().value("playersWindow/tickerFontSize").toInt();
    setFontSize(stored == 0 ? 16 : stored);
    resize();
}

TickerWidget::~TickerWidget()
{
    QSettings().setValue("playersWindow/tickerFontSize", fontSize);
}

void TickerWidget::draw()
{
    eventList->clear();
    if (Global::history)
        for (Event* event : Global::history->getPlayersEvents(eventCount))
            eventList->addItem(event->getPlainDescription(true));
    eventList->scrollToTop();
}

void TickerWidget::resize()
{
    const int rowHeight = eventList->sizeHintForRow(0);
    // Inside the list's frame: a row that would reach under it is not shown at all.
    const int room = eventList->maximumViewportSize().height();
    const int fitting = rowHeight > 0 ? qMax(1, room / rowHeight) : 1;
    if (fitting != eventCount) {
        eventCount = fitting;
        draw();
    }
}

void TickerWidget::onHistoryChanged()
{
    historyTimer.stop();
    draw();
    resize();
}

void TickerWidget::resizeEvent(QResizeEvent* event)
{
    PlayersWidget::resizeEvent(event);
    resize();
}

void TickerWidget::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu menu;
    const QList<QPair<QString, int>> steps{
        {tr("Font Size +5"), 5}, {tr("Font Size +1"), 1}, {tr("Font Size -1"), -1}, {tr("Font Size -5"), -5}};
    for (const auto& step : steps)
        menu.addAction(step.first)->setData(step.second);
    if (QAction* chosen = menu.exec(mapToGlobal(event->pos())))
        setFontSize(fontSize + chosen->data().toInt());
    resize();
}
