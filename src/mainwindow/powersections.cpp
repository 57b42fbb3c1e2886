// The powers of a full stat block, grouped by the action they take under
// section titles that fold and unfold with a click.
#include "creature/creature.h"
#include "mainwindow/creaturedisplay.h"

using namespace LineCode;

namespace {

QString sectionTitleOf(int when)
{
    switch (when) {
    case Power::Detection: return "Detection";
    case Power::Trait: return "Traits";
    case Power::Standard: return "Standard Actions";
    case Power::Move: return "Move Actions";
    case Power::Minor: return "Minor Actions";
    case Power::Free: return "Free Actions";
    case Power::Triggered: return "Triggered Actions";
    case Power::Countermeasure: return "Countermeasures";
    case Power::Other: return "Other Powers";
    default: return QString();
    }
}

}

void CreatureDisplay::drawPowerSections(StatLineList& lines, Creature* creature) const
{
    int previous = Power::Unset;
    bool first = true;
    const QList<CreaturePower*> powers = creature->getPowers().getPowerList(false);
    for (int i = 0; i < powers.size(); i++) {
        CreaturePower* power = powers[i];
        const int when = power->current.when;
        if (when != previous) {
            const QString title = sectionTitleOf(when);
            if (!title.isEmpty()) {
                const QString arrow = creature->useCompactDisplay(Power::When(when))
                                          ? "<img align=bottom src=':/images/open14.png'>"
                                          : "<img align=bottom src=':/images/close14.png'>";
                lines.startPart(QString("section%1").arg(when));
                lines.add(StatLine::SectionTitle, SectionTitle | PadAbove | PadBelow, {title, arrow}).option = when;
                first = true;
            }
            previous = when;
        }
        // Name-less entries are bulleted lines; a trap's plain texts are not.
        const int code = power->name.isEmpty() && when != Power::Trap ? PowerDetail : PowerText;
        lines.startPart(QString("power%1").arg(i));
        drawPowerDetails(lines, creature, code, power, first);
        first = false;
    }
}

void CreatureDisplay::drawPowerDetails(StatLineList& lines, Creature* creature, int code, CreaturePower* power,
                                       bool first) const
{
    const int used = power->getUsed() ? Used : 0;
    const bool named = !power->name.isEmpty();
    auto title = [&](int titleCode) {
        lines.add(StatLine::PowerTitle, titleCode, {power->getTitleText(false, false)}).power = power->name;
    };
    if (creature->useCompactDisplay(power)) {
        if (named)
            title(PowerTitle | PadAbove | PadBelow | used);
        return;
    }
    bool top = first;
    if (!power->current.flavor.isEmpty()) {
        title(PowerTitle | PadAbove | used);
        lines.add(StatLine::Single, PowerTitle | PadBelow | used, {power->current.flavor});
        top = true;
    } else if (named) {
        title(PowerTitle | PadAbove | PadBelow | used);
        top = true;
    }
    const QStringList& texts = power->current.description;
    for (int i = 0; i < texts.size(); i++) {
        const int lineCode = code | used | (i == 0 && top ? PadAbove : 0) | (i == texts.size() - 1 ? PadBelow : 0);
        if (code == PowerDetail)
            lines.add(StatLine::Detail, lineCode, {i == 0 ? "&diams;" : "", texts[i]});
        else
            lines.add(StatLine::Single, lineCode, {texts[i]});
    }
}
