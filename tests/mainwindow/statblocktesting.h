#ifndef STATBLOCKTESTING_H
#define STATBLOCKTESTING_H

// What the stat-block tests share: the tick, creatures of every kind with
// powers of every form, and the drawn stat block read back line by line.

#include <QFrame>
#include <QLabel>
#include <QLayout>
#include <QScrollArea>
#include <QTest>

#include "creature/creature.h"
#include "foundation/global.h"
#include "mainwindow/creaturedisplay.h"
#include "mainwindow/powerlabel.h"

// The refresh tick, as the main window's timer gives it.
inline void tick()
{
    emit Global::switchBoard.doRefreshTimer();
}

// Queued clicks run (a click queues twice: the control, then the display), replaced contents are deleted.
inline void runQueuedClicks()
{
    for (int round = 0; round < 3; round++)
        QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

struct Line
{
    int code = 0;
    QString text;
    QFrame* frame = nullptr;

    int kind() const { return code & LineCode::KindMask; }
    bool has(int flag) const { return code & flag; }
};

// The root the area's lines live in; lines that went wait for their deletion there, hidden.
inline QWidget* contentsOf(QScrollArea* area)
{
    return area->widget();
}

// The lines laid out in the layout, top to bottom, each with its labels' texts joined by "|".
inline void collectLines(QLayout* layout, QList<Line>& lines)
{
    for (int i = 0; i < layout->count(); i++) {
        QWidget* widget = layout->itemAt(i)->widget();
        if (!widget)
            continue;
        auto* frame = qobject_cast<QFrame*>(widget);
        const QVariant code = widget->property("lineCode");
        if (frame && code.isValid()) {
            QStringList texts;
            for (QLabel* label : frame->findChildren<QLabel*>())
                texts.append(label->text());
            lines.append({code.toInt(), texts.join("|"), frame});
        } else if (widget->layout()) {
            collectLines(widget->layout(), lines);
        }
    }
}

inline QList<Line> linesOf(QScrollArea* area)
{
    QList<Line> lines;
    if (QLayout* layout = area->widget()->layout())
        collectLines(layout, lines);
    return lines;
}

inline QList<Line> linesOfKind(const QList<Line>& lines, int kind)
{
    QList<Line> found;
    for (const Line& line : lines)
        if (line.kind() == kind)
            found.append(line);
    return found;
}

inline CreaturePower makePower(const QString& name, int when, int cost, const QStringList& description,
                               const QString& flavor = QString())
{
    CreaturePower power;
    power.name = name;
    power.current.when = when;
    power.current.cost = cost;
    power.current.type = name.isEmpty() ? Power::NoType : Power::Melee;
    power.current.description = description;
    power.current.flavor = flavor;
    return power;
}

enum class Kind { Monster, Hero, Trap };

// A creature of the kind with a used encounter power, an at-will one, a
// flavoured one and a name-less entry; the caller owns it.
inline Creature* makeCreature(Kind kind, const QString& name = "Grik")
{
    CreatureStats stats;
    stats.monster = kind != Kind::Hero;
    stats.trap = kind == Kind::Trap;
    stats.name = kind == Kind::Hero ? name : QString();
    stats.group = kind == Kind::Hero ? QString() : name;
    stats.level = 3;
    stats.role = "Skirmisher";
    stats.creatureClass = "Fighter";
    stats.xp = kind == Kind::Hero ? 0 : 150;
    stats.type = "Small natural humanoid";
    stats.maxHitPoints = 40;
    stats.speed = "6";
    if (kind != Kind::Trap) {
        stats.armorClass = 17;
        stats.fortitude = 15;
        stats.reflex = 16;
        stats.will = 13;
    }
    stats.languages = "Common";
    const int section = kind == Kind::Trap ? Power::Countermeasure : Power::Trait;
    stats.powers.addPower(makePower("Slash", Power::Standard, Power::OncePerEncounter, {"+8 vs AC", "Hit: 9"}), true);
    stats.powers.getPower(0)->usage = Power::UsedOnce;
    stats.powers.addPower(makePower("Jab", Power::Standard, Power::AtWill, {"+6 vs AC"}), true);
    stats.powers.addPower(makePower("Dash", Power::Move, Power::AtWill, {"Shift 2"}, "Quick feet."), true);
    stats.powers.addPower(makePower("", section, Power::NoCost, {"First rule", "Second rule"}), true);
    auto* creature = new Creature;
    creature->setStats(stats);
    creature->setCurrHitPoints(40);
    return creature;
}

#endif
