#include "mainwindow/creaturewidget.h"

#include <QGridLayout>
#include <QStackedWidget>

#include "creature/creature.h"
#include "encounter/encounter.h"
#include "encounter/history.h"
#include "encounter/powerevents.h"
#include "foundation/global.h"
#include "library/monsters.h"
#include "toolkit/scrollandtabs.h"

namespace {

// The power a monster's template gives the clicked one; the clicked one itself
// for others and for a monster whose template or template power is missing.
CreaturePower* effectivePower(Creature* origin, CreaturePower* clicked)
{
    if (!origin->isMonster() || !Global::monsters)
        return clicked;
    Creature* base = Global::monsters->findTemplate(origin->getGroup());
    CreaturePower* power = base ? base->getPowers().getPowerByName(clicked->name) : nullptr;
    return power ? power : clicked;
}

}

CreatureWidget::CreatureWidget(QWidget* parent, bool current) : QWidget(parent), display(false, current)
{
    QGridLayout* standard = display.standardDisplay();
    standard->setContentsMargins(0, 0, 0, 0);
    standard->setRowStretch(standard->rowCount(), 2);
    auto* area = new QVBoxLayout;
    area->setContentsMargins(0, 0, 0, 0);
    display.getStatBlockDisplay()->setFocusPolicy(Qt::NoFocus);
    area->addWidget(display.getStatBlockDisplay());

    auto* pages = new QStackedWidget;
    pages->addWidget(layoutToWidget(standard));
    pages->addWidget(layoutToWidget(area));
    pages->setCurrentIndex(1);
    auto* outer = new QVBoxLayout;
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(pages);
    setLayout(outer);
    setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Minimum);
    setMinimumWidth(268);

    connect(&Global::switchBoard, &SwitchBoard::doCreatureUpdated, this, &CreatureWidget::currentDetailsChanged);
    connect(&display, &CreatureDisplay::doPowerClicked, this, &CreatureWidget::onPowerClicked);
    connect(&display, &CreatureDisplay::doShowAliases, this, &CreatureWidget::doShowAliases);
    connect(&display, &CreatureDisplay::doEditAliases, this, &CreatureWidget::doEditAliases);
}

void CreatureWidget::drawCreature(Creature* shown)
{
    creatures.clear();
    creature = shown;
    drawCreature();
}

void CreatureWidget::drawCreature()
{
    if (creatures.isEmpty()) {
        display.displayCreature(creature);
        return;
    }
    QList<Creature*> shown;
    for (Creature* each : std::as_const(creatures))
        if (each)
            shown.append(each);
    display.displayCreatures(shown);
}

void CreatureWidget::currentCreatureChanged()
{
    drawCreature(Global::encounter ? Global::encounter->getCurrentCreature() : nullptr);
}

void CreatureWidget::creatureSelectionChanged()
{
    creatures.clear();
    creature = nullptr;
    const QList<Creature*> selected = Global::encounter ? Global::encounter->getSelectedCreatures() : QList<Creature*>();
    if (selected.size() == 1)
        creature = selected.first();
    else
        for (Creature* each : selected)
            creatures.append(each);
    drawCreature();
    emit doEffectCreatureChanged(creature);
}

void CreatureWidget::currentDetailsChanged(Creature* updated)
{
    if (updated && (updated == creature || creatures.contains(updated)))
        drawCreature();
}

void CreatureWidget::onPowerClicked(Creature* origin, CreaturePower* power)
{
    History* history = Global::history;
    ObjectStream* stream = history && Global::encounter ? history->getStream(false) : nullptr;
    if (!stream)
        return;
    CreaturePower* effective = effectivePower(origin, power);
    Global::encounter->writeVitalityChanges(stream);
    if (power->getUsed()) {
        history->apply(new PowerUsageChangedEvent(origin, power, PowerUsageChangedEvent::Unused, stream), false);
        return;
    }
    if (effective->getApplyTo(Power::Hit) == Power::NotTrackable) {
        if (power->hasLimitedUse())
            history->apply(new PowerUsageChangedEvent(origin, power, PowerUsageChangedEvent::Used, stream), false);
        return;
    }
    emit doConditionOrEffectRequested(origin, power->name, effective, QString());
}
