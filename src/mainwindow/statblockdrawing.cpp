// The stat block of one creature, or the headers of several, as a column of
// styled lines in the order of a printed stat card.
#include "creature/creature.h"
#include "foundation/global.h"
#include "mainwindow/creaturedisplay.h"
#include "toolkit/scrollandtabs.h"

using namespace LineCode;

namespace {

bool anyDefenseKnown(const Creature* creature)
{
    for (int defense : {creature->getArmorClass(), creature->getFortitude(), creature->getReflex(), creature->getWill()})
        if (defense != UnknownValue)
            return true;
    return false;
}

}

bool CreatureDisplay::drawStatBlock()
{
    if (!statBlockArea)
        return false;
    StatLineList lines;
    if (!multi.isEmpty()) {
        for (Creature* creature : std::as_const(multi)) {
            lines.startCreature(creature, true);
            drawHeader(lines, creature);
            drawHeaderDetails(lines, creature, false);
            drawConditionAndEffects(lines, creature);
        }
    } else if (Creature* creature = lastDrawn) {
        lines.startCreature(creature, false);
        drawHeader(lines, creature);
        drawHeaderDetails(lines, creature, true);
        if (!editorMode)
            drawConditionAndEffects(lines, creature);
        drawPowerSections(lines, creature);
        drawTrailer(lines, creature);
    }
    if (!column->show(lines.all()))
        return false;
    // Fitted now, so that the scroll position set next holds.
    statBlockArea->adjustSize();
    return true;
}

void CreatureDisplay::drawHeader(StatLineList& lines, Creature* creature) const
{
    QString name = QString("<b>%1</b>").arg(creature->getNameGroup().toHtmlEscaped());
    const QString level =
        QString("<b>Level %1 %2</b>").arg(QString::number(creature->getLevel()), creature->getRole().toHtmlEscaped());
    const QString type = creature->getTypeRace().toHtmlEscaped();
    // "XP" keeps its figure on its line, as a label does.
    const QString experience = creature->getXP() != 0 ? QString("XP%1%2").arg(QChar(QChar::Nbsp)).arg(creature->getXP())
                                                       : creature->getClass().toHtmlEscaped();
    const QPixmap portrait = creature->getPortrait();
    lines.startPart("header");
    if (portrait.isNull()) {
        if (editorMode && !creature->getTitleNote().isEmpty())
            name += QString(" <i>(%1)</i>").arg(creature->getTitleNote().toHtmlEscaped());
        lines.add(StatLine::Double, Title | PadAbove, {name, level}).option = StatLine::LeftWraps;
        lines.add(StatLine::Double, Title | PadBelow, {type, experience}).option =
            StatLine::LeftWraps | StatLine::RightWraps;
        return;
    }
    lines.add(StatLine::PortraitHeader, PortraitTitle, {name, level, type, experience}).portrait = portrait;
}

void CreatureDisplay::drawHeaderDetails(StatLineList& lines, Creature* creature, bool full) const
{
    const QString resistances = creature->getResistances(true, false);
    const QString savingAndAction = creature->getSavingAndAction(editorMode);
    const QString flavor = creature->getFlavorText();
    const QString detection = creature->getDetection();
    const QString health = creature->getMaxHitPoints() > 0 ? creature->getHealth(editorMode) : QString();
    const QString speed = creature->getSpeed().toHtmlEscaped();
    const QString initiative = creature->getInitiative(editorMode, 2);

    // Padding comes last, once the part's first and last lines are known.
    lines.startPart("details");
    auto doubleLine = [&lines](const QString& left, const QString& right, int wraps) {
        lines.add(StatLine::Double, Details, {left, right}).option = wraps;
    };
    auto single = [&lines](const QString& text) { lines.add(StatLine::Single, Details, {text}); };
    if (!creature->isTrap()) {
        doubleLine(creature->getHealth(editorMode), initiative, StatLine::LeftWraps);
        if (full) {
            doubleLine(creature->getDefenses(false), Creature::labelled(tr("Perception"), creature->getPerceptionBonusText()),
                       StatLine::LeftWraps);
            doubleLine(Creature::labelled(tr("Speed"), speed), creature->getSensesAndInsight(),
                       StatLine::LeftWraps | StatLine::RightWraps);
        }
    } else {
        doubleLine(detection.isEmpty() ? health : detection, initiative, StatLine::LeftWraps);
        if (!detection.isEmpty() && !health.isEmpty())
            single(health);
        if (full && anyDefenseKnown(creature))
            single(creature->getDefenses(false));
        if (full && !speed.isEmpty())
            single(Creature::labelled(tr("Speed"), speed));
    }
    if (full && !resistances.isEmpty())
        single(resistances);
    if (!savingAndAction.isEmpty())
        single(savingAndAction);
    if (!creature->getAlias().isEmpty()) {
        const QString tick = "<img src=':/images/stats/tick.png'>";
        const QString untick = "<img src=':/images/stats/untick.png'>";
        const bool shown = creature->isShowAlias();
        const QString alias = QString("<i>%1</i>").arg(creature->getAlias().toHtmlEscaped());
        lines.add(StatLine::Alias, Details,
                  {shown ? tick : untick, shown ? untick : tick,
                   alias + " <img align=bottom src=':/images/stats/blank.png'>",
                   alias + " <img align=bottom src=':/images/stats/edit.png'>"});
    }
    if (full && !flavor.isEmpty())
        single(flavor);
    lines.padPart();
}

void CreatureDisplay::drawConditionAndEffects(StatLineList& lines, const Creature* creature) const
{
    QString state = creature->getStateText(false, false, editorMode, false);
    const QString effects = creature->getEffectsList();
    if (!effects.isEmpty())
        state = state.isEmpty() ? effects : state + "; " + effects;
    lines.startPart("effects");
    if (!state.isEmpty())
        lines.add(StatLine::Single, Effects | PadAbove | PadBelow, {tr("<b>Conditions and Effects </b><br>") + state});
}

void CreatureDisplay::drawTrailer(StatLineList& lines, const Creature* creature) const
{
    const QString skills = creature->getSkills();
    const QString equipment = creature->getEquipment();
    const QString description = creature->getDescription();
    lines.startPart("trailer");
    if (!skills.isEmpty())
        lines.add(StatLine::Single, Abilities | PadAbove, {skills});
    if (!creature->isTrap()) {
        lines.add(StatLine::Abilities, Abilities | PadBelow | (skills.isEmpty() ? PadAbove : 0),
                  {creature->getStrText(), creature->getDexText(), creature->getWisText(), creature->getConText(),
                   creature->getIntText(), creature->getChaText()});
        lines.add(StatLine::Language, Footer | PadAbove | (equipment.isEmpty() && description.isEmpty() ? PadBelow : 0),
                  {creature->getAlignmentText(), creature->getLanguagesText()});
    }
    if (!equipment.isEmpty())
        lines.add(StatLine::Single, Footer | (description.isEmpty() ? PadBelow : 0), {equipment});
    if (!description.isEmpty())
        lines.add(StatLine::Single, Footer | PadBelow, {description});
    if (!creature->getPublished().isEmpty())
        lines.add(StatLine::Single, Note | PadAbove | PadBelow, {creature->getPublished().toHtmlEscaped()});
}
