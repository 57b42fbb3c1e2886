// The powers of a full stat block, grouped by the action they take under
// section titles that fold and unfold with a click.
#include <QFrame>
#include <QLabel>

#include "creature/creature.h"
#include "mainwindow/creaturedisplay.h"
#include "mainwindow/powerlabel.h"
#include "toolkit/dynamicwidgets.h"

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

void CreatureDisplay::drawPowerSections(QVBoxLayout* layout)
{
    int previous = Power::Unset;
    bool first = true;
    for (CreaturePower* power : lastDrawn->getPowers().getPowerList(false)) {
        const int when = power->current.when;
        if (when != previous) {
            const QString title = sectionTitleOf(when);
            if (!title.isEmpty()) {
                layout->addWidget(createSectionTitle(title, Power::When(when)));
                first = true;
            }
            previous = when;
        }
        // Name-less entries are bulleted lines; a trap's plain texts are not.
        const int code = power->name.isEmpty() && when != Power::Trap ? PowerDetail : PowerText;
        drawPowerDetails(layout, code, power, first);
        first = false;
    }
}

QFrame* CreatureDisplay::createSectionTitle(const QString& title, Power::When section)
{
    const QString arrow = lastDrawn->useCompactDisplay(section) ? "<img align=bottom src=':/images/open14.png'>"
                                                                 : "<img align=bottom src=':/images/close14.png'>";
    QLabel* titleLabel = createLabel(title, false, false, 0);
    titleLabel->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    // Style sheets ignore font-variant.
    QFont font = titleLabel->font();
    font.setCapitalization(QFont::SmallCaps);
    titleLabel->setFont(font);
    QLabel* arrowLabel = createLabel(arrow, false, false, 0);
    arrowLabel->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Preferred);
    arrowLabel->hide();

    auto* frame = new DynamicFrame(arrowLabel, section);
    frame->setContentsMargins(0, 0, 0, 0);
    frame->setStyleSheet(lineStyle(SectionTitle | PadAbove | PadBelow, lastDrawn));
    frame->setProperty("lineCode", SectionTitle | PadAbove | PadBelow);
    QHBoxLayout* layout = rowLayout(frame, 3);
    layout->addWidget(titleLabel);
    layout->addWidget(arrowLabel);
    connect(frame, &DynamicFrame::clicked, this, [this, creature = QPointer<Creature>(lastDrawn)](int clicked) {
        if (creature)
            onSectionClicked(creature, clicked);
    });
    return frame;
}

void CreatureDisplay::drawPowerDetails(QVBoxLayout* layout, int code, CreaturePower* power, bool first)
{
    const int used = power->getUsed() ? Used : 0;
    const bool named = !power->name.isEmpty();
    if (lastDrawn->useCompactDisplay(power)) {
        if (named)
            layout->addWidget(createPowerTitle(PowerTitle | PadAbove | PadBelow | used, power));
        return;
    }
    bool top = first;
    if (!power->current.flavor.isEmpty()) {
        layout->addWidget(createPowerTitle(PowerTitle | PadAbove | used, power));
        layout->addWidget(createSingleLine(PowerTitle | PadBelow | used, power->current.flavor));
        top = true;
    } else if (named) {
        layout->addWidget(createPowerTitle(PowerTitle | PadAbove | PadBelow | used, power));
        top = true;
    }
    const QStringList& lines = power->current.description;
    for (int i = 0; i < lines.size(); i++) {
        const int lineCode =
            code | used | (i == 0 && top ? PadAbove : 0) | (i == lines.size() - 1 ? PadBelow : 0);
        layout->addWidget(code == PowerDetail ? createDetailLine(lineCode, i == 0, lines[i])
                                              : createSingleLine(lineCode, lines[i]));
    }
}

QFrame* CreatureDisplay::createPowerTitle(int code, const CreaturePower* power)
{
    QFrame* frame = createLine(code);
    rowLayout(frame, 0)->addWidget(new PowerLabel(this, lastDrawn, power, frame, code));
    return frame;
}

QFrame* CreatureDisplay::createDetailLine(int code, bool firstLine, const QString& text)
{
    QLabel* bullet = createLabel(firstLine ? "&diams;" : "", true, true, 15);
    bullet->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    QFrame* line = createLine(code);
    QHBoxLayout* layout = rowLayout(line, 0);
    layout->addWidget(bullet);
    layout->addWidget(createLabel(text, true, true, 0));
    return line;
}
