#include "mainwindow/creaturedisplay.h"

#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QScrollBar>
#include <QToolButton>

#include "creature/creature.h"
#include "foundation/global.h"
#include "mainwindow/powerlabel.h"
#include "toolkit/scrollandtabs.h"

namespace {

QPixmap loadPixmap(const char* file)
{
    return QPixmap::fromImage(QImage(file));
}

QGroupBox* groupBox(const QString& title, QLabel* label, int maximumHeight)
{
    auto* layout = new QHBoxLayout;
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(label);
    auto* box = new QGroupBox(title);
    box->setLayout(layout);
    if (maximumHeight)
        box->setMaximumHeight(maximumHeight);
    return box;
}

void fixTo96(QWidget* portrait)
{
    portrait->setBackgroundRole(QPalette::Base);
    portrait->setMinimumSize(96, 96);
    portrait->setMaximumSize(96, 96);
    portrait->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

}

CreatureDisplay::CreatureDisplay(bool editorMode, bool showEffects) : editorMode(editorMode), showEffects(showEffects)
{
    nameLabel = new QLabel;
    stateLabel = new QLabel;
    levelLabel = new QLabel;
    typeLabel = new QLabel;
    defensesLabel = new QLabel;
    healthLabel = new QLabel;
    actionsLabel = new QLabel;
    // Only a display that shows the effects places their label.
    if (showEffects)
        effectsLabel = new QLabel;
    nameLabel->setTextFormat(Qt::RichText);
    stateLabel->setTextFormat(Qt::RichText);
    // Names of the model are plain text.
    levelLabel->setTextFormat(Qt::PlainText);
    typeLabel->setTextFormat(Qt::PlainText);
    for (QLabel* label : {actionsLabel, effectsLabel}) {
        if (!label)
            continue;
        label->setTextFormat(Qt::RichText);
        label->setWordWrap(true);
    }

    QWidget* portrait;
    if (editorMode) {
        portraitButton = new QToolButton;
        portraitButton->setIconSize(QSize(96, 96));
        portraitButton->setStatusTip(tr("Click to select a portrait..."));
        connect(portraitButton, &QToolButton::clicked, this, &CreatureDisplay::doPortraitClicked);
        portrait = portraitButton;
    } else {
        portraitLabel = new QLabel;
        portraitLabel->setScaledContents(true);
        portraitLabel->setFrameShape(QFrame::WinPanel);
        portraitLabel->setFrameShadow(QFrame::Sunken);
        portraitLabel->setLineWidth(2);
        portrait = portraitLabel;
    }
    fixTo96(portrait);

    auto* names = new QVBoxLayout;
    names->setContentsMargins(2, 2, 2, 2);
    // Where narrow, the lines wrap and the frame grows taller than the portrait.
    for (QLabel* label : {nameLabel, stateLabel, typeLabel, levelLabel}) {
        label->setWordWrap(true);
        names->addWidget(label);
    }
    auto* nameFrame = new QFrame;
    nameFrame->setFrameShape(QFrame::WinPanel);
    nameFrame->setFrameShadow(QFrame::Raised);
    nameFrame->setLineWidth(2);
    nameFrame->setMinimumHeight(96);
    nameFrame->setLayout(names);

    standardGrid = new QGridLayout;
    standardGrid->setHorizontalSpacing(8);
    standardGrid->setVerticalSpacing(4);
    standardGrid->addWidget(portrait, 0, 0);
    standardGrid->addWidget(nameFrame, 0, 1);
    standardGrid->addWidget(groupBox(tr("Defenses"), defensesLabel, 48), 1, 0, 1, 2);
    QGroupBox* health = groupBox(tr("Health"), healthLabel, 48);
    health->layout()->setSpacing(0);
    standardGrid->addWidget(health, 2, 0, 1, 2);
    standardGrid->addWidget(groupBox(tr("Actions"), actionsLabel, 48), 3, 0, 1, 2);
    if (showEffects)
        standardGrid->addWidget(groupBox(tr("Conditions and Effects"), effectsLabel, 0), 4, 0, 1, 2);

    statBlockArea = new ResizableScrollArea(false, false);
    statBlockArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    statBlockArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // The lines are made in this root, which carries the stat block's one style sheet.
    statBlockArea->setWidget(new QWidget);
    column = std::make_unique<StatBlockColumn>(this, statBlockArea->widget());

    selectPortraitPixmap = loadPixmap(":/images/select-portrait.png");
    noIconPixmap = loadPixmap(":/images/no-icon.png");
    monsterShieldPixmap = loadPixmap(":/images/monster-shield.png");
    heroShieldPixmap = loadPixmap(":/images/hero-shield.png");

    connect(&Global::switchBoard, &SwitchBoard::doRefreshTimer, this, &CreatureDisplay::onRefreshTimer);
}

CreatureDisplay::~CreatureDisplay()
{
    // An editor's widget tree may have deleted the area already.
    delete statBlockArea.data();
}

void CreatureDisplay::displayCreature(Creature* creature)
{
    multi.clear();
    toShow = creature;
    dirty = true;
}

void CreatureDisplay::displayCreatures(const QList<Creature*>& creatures)
{
    if (creatures.isEmpty()) {
        displayCreature(nullptr);
        return;
    }
    multi.clear();
    for (Creature* creature : creatures)
        multi.append(creature);
    toShow = creatures.first();
    dirty = true;
}

void CreatureDisplay::onRefreshTimer()
{
    if (!dirty)
        return;
    dirty = false;
    // Creatures deleted since the request are not drawn.
    multi.removeIf([](const QPointer<Creature>& creature) { return creature.isNull(); });
    const bool same = multi.isEmpty() && lastDrawn && lastDrawn == toShow;
    const int position = statBlockArea ? statBlockArea->verticalScrollBar()->value() : 0;
    lastDrawn = multi.isEmpty() ? toShow : multi.first();
    drawStandardBlock();
    // Another creature starts at the top.
    if (drawStatBlock())
        statBlockArea->verticalScrollBar()->setValue(same ? position : 0);
}

void CreatureDisplay::drawStandardBlock()
{
    const QList<QLabel*> texts{nameLabel, stateLabel, levelLabel, typeLabel, defensesLabel, healthLabel, actionsLabel,
                               effectsLabel};
    Creature* creature = lastDrawn;
    if (!creature) {
        if (editorMode) {
            portraitButton->setIcon(selectPortraitPixmap);
            portraitButton->setEnabled(false);
        } else {
            portraitLabel->setPixmap(noIconPixmap);
        }
        for (QLabel* label : texts)
            if (label)
                label->clear();
        return;
    }
    const QPixmap portrait = creature->getPortrait();
    if (editorMode) {
        portraitButton->setIcon(portrait.isNull() ? selectPortraitPixmap : portrait);
        portraitButton->setEnabled(true);
    } else {
        portraitLabel->setPixmap(!portrait.isNull()         ? portrait
                                 : creature->isMonster() ? monsterShieldPixmap
                                                         : heroShieldPixmap);
    }
    nameLabel->setText(QString("<b>%1</b>").arg(creature->getNameGroup().toHtmlEscaped()));
    stateLabel->setText(editorMode ? creature->getFileName().toHtmlEscaped()
                                   : creature->getStateText(true, true, false, false));
    levelLabel->setText(creature->getLevelClassRole());
    typeLabel->setText(creature->getTypeRace());
    defensesLabel->setText(creature->getDefenses(false));
    healthLabel->setText(creature->getHealth(editorMode));
    actionsLabel->setText(creature->getActions(editorMode));
    if (effectsLabel)
        effectsLabel->setText(creature->getEffectsList());
}

XLabel* CreatureDisplay::createXLabel(const QString& text, bool wordWrap)
{
    auto* label = new XLabel(text);
    label->setTextFormat(Qt::RichText);
    label->setContentsMargins(0, 0, 0, 0);
    label->setWordWrap(wordWrap);
    return label;
}

void CreatureDisplay::powerClicked(Creature* creature, const QString& powerName)
{
    if (!creature)
        return;
    if (CreaturePower* power = creature->getPowers().getPowerByName(powerName))
        emit doPowerClicked(creature, power);
}

void CreatureDisplay::onSetUseAlias(Creature* creature)
{
    emit doShowAliases({creature}, !creature->isShowAlias());
}

void CreatureDisplay::onEditAlias(Creature* creature)
{
    emit doEditAliases({creature});
}

void CreatureDisplay::onSectionClicked(Creature* creature, int section)
{
    // A request waiting for the tick keeps its creature.
    creature->toggleSectionCompaction(Power::When(section));
    dirty = true;
}
