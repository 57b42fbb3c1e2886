// The stat block of one creature, or the headers of several, as a column of
// styled lines in the order of a printed stat card.
#include <QFrame>
#include <QGridLayout>
#include <QLabel>

#include <functional>

#include "creature/creature.h"
#include "foundation/global.h"
#include "mainwindow/creaturedisplay.h"
#include "toolkit/dynamicwidgets.h"
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
    QVBoxLayout* layout = startContents();
    if (lastDrawn) {
        drawHeader(layout);
        drawHeaderDetails(layout, true);
        if (!editorMode)
            drawConditionAndEffects(layout);
        drawPowerSections(layout);
        drawTrailer(layout);
        layout->addStretch(2);
    }
    return finishContents(layout);
}

bool CreatureDisplay::drawStatBlockHeaders()
{
    if (!statBlockArea)
        return false;
    QVBoxLayout* layout = startContents();
    if (lastDrawn) {
        for (Creature* creature : std::as_const(multi)) {
            lastDrawn = creature;
            drawHeader(layout);
            drawHeaderDetails(layout, false);
            drawConditionAndEffects(layout);
        }
        layout->addStretch(2);
    }
    return finishContents(layout);
}

QVBoxLayout* CreatureDisplay::startContents()
{
    auto* layout = new QVBoxLayout;
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    // In place before it is filled, so that each line is styled once, where it stays; hidden until it is
    // known to differ from what is shown: showing and laying out cost most.
    QWidget* contents = createMainWidget(layout);
    contents->hide();
    statBlockArea->widget()->layout()->addWidget(contents);
    return layout;
}

QString CreatureDisplay::fingerprintOf(const QWidget* contents) const
{
    QStringList parts;
    for (const QPointer<Creature>& creature : multi)
        parts.append(QString::number(quintptr(creature.data())));
    parts.append(QString::number(quintptr(toShow.data())));
    for (const QWidget* widget : contents->findChildren<QWidget*>()) {
        parts.append(widget->metaObject()->className());
        parts.append(widget->styleSheet());
        parts.append(widget->isHidden() ? "-" : "+");
        if (const auto* label = qobject_cast<const QLabel*>(widget)) {
            parts.append(label->text());
            parts.append(QString::number(label->pixmap().cacheKey()));
        }
    }
    return parts.join(QChar(0));
}

bool CreatureDisplay::finishContents(QVBoxLayout* layout)
{
    QWidget* contents = layout->parentWidget();
    QLayout* column = statBlockArea->widget()->layout();
    QString fingerprint = fingerprintOf(contents);
    if (column->count() > 1 && fingerprint == drawnFingerprint) {
        // Never shown nor reached by a running click: gone at once.
        delete contents;
        return false;
    }
    drawnFingerprint = std::move(fingerprint);
    // The old contents may hold the control whose click is still running.
    if (column->count() > 1) {
        QLayoutItem* item = column->takeAt(0);
        item->widget()->hide();
        item->widget()->deleteLater();
        delete item;
    }
    // Laid out once, at the width it keeps, and shown at once, so that the area fits it now.
    contents->resize(statBlockArea->widget()->width(), contents->height());
    contents->show();
    statBlockArea->adjustSize();
    return true;
}

void CreatureDisplay::drawHeader(QVBoxLayout* layout)
{
    const Creature* creature = lastDrawn;
    QString name = QString("<b>%1</b>").arg(creature->getNameGroup().toHtmlEscaped());
    const QString level =
        QString("<b>Level %1 %2</b>").arg(QString::number(creature->getLevel()), creature->getRole().toHtmlEscaped());
    const QString type = creature->getTypeRace().toHtmlEscaped();
    const QString experience = creature->getXP() != 0 ? QString("XP %1").arg(creature->getXP())
                                                       : creature->getClass().toHtmlEscaped();
    const QPixmap portrait = creature->getPortrait();
    if (portrait.isNull()) {
        if (editorMode && !creature->getTitleNote().isEmpty())
            name += QString(" <i>(%1)</i>").arg(creature->getTitleNote().toHtmlEscaped());
        layout->addWidget(createDoubleLine(Title | PadAbove, name, level, true, false));
        layout->addWidget(createDoubleLine(Title | PadBelow, type, experience, true, true));
        return;
    }
    auto* grid = new QGridLayout;
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(0);
    grid->addWidget(createSingleLine(PortraitTitle | PadAbove, name), 0, 0);
    grid->addWidget(createSingleLine(PortraitTitle, level), 1, 0);
    grid->addWidget(createSingleLine(PortraitTitle, type), 2, 0);
    grid->addWidget(createSingleLine(PortraitTitle | PadBelow, experience), 3, 0);
    grid->setColumnStretch(0, 10);
    auto* picture = new QLabel;
    picture->setPixmap(portrait);
    picture->setScaledContents(true);
    picture->setFixedSize(64, 64);
    grid->addWidget(picture, 0, 1, 4, 1);
    layout->addWidget(layoutToWidget(grid));
}

void CreatureDisplay::drawHeaderDetails(QVBoxLayout* layout, bool full)
{
    const Creature* creature = lastDrawn;
    const QString resistances = creature->getResistances(true, false);
    const QString savingAndAction = creature->getSavingAndAction(editorMode);
    const QString flavor = creature->getFlavorText();
    const QString detection = creature->getDetection();
    const QString health = creature->getMaxHitPoints() > 0 ? creature->getHealth(editorMode) : QString();
    const QString speed = creature->getSpeed().toHtmlEscaped();
    const QString initiative = creature->getInitiative(editorMode, 2);

    // Each line is made once its code is known: only the last one gets padding below.
    QList<std::function<QFrame*(int)>> lines;
    auto single = [this](const QString& text) { return [this, text](int code) { return createSingleLine(code, text); }; };
    if (!creature->isTrap()) {
        lines.append([=](int code) {
            return createDoubleLine(code, creature->getHealth(editorMode), initiative, true, false);
        });
        if (full) {
            lines.append([=](int code) {
                return createDoubleLine(code, creature->getDefenses(false),
                                        tr("<b>Perception </b>%1").arg(creature->getPerceptionBonusText()), true,
                                        false);
            });
            lines.append([=](int code) {
                return createDoubleLine(code, tr("<b>Speed </b>%1").arg(speed), creature->getSensesAndInsight(), true,
                                        true);
            });
        }
    } else {
        lines.append([=](int code) {
            return createDoubleLine(code, detection.isEmpty() ? health : detection, initiative, true, false);
        });
        if (!detection.isEmpty() && !health.isEmpty())
            lines.append(single(health));
        if (full && anyDefenseKnown(creature))
            lines.append(single(creature->getDefenses(false)));
        if (full && !speed.isEmpty())
            lines.append(single(QString("<b>Speed </b>%1").arg(speed)));
    }
    if (full && !resistances.isEmpty())
        lines.append(single(resistances));
    if (!savingAndAction.isEmpty())
        lines.append(single(savingAndAction));
    if (!creature->getAlias().isEmpty())
        lines.append([this](int code) { return createAliasLine(code); });
    if (full && !flavor.isEmpty())
        lines.append(single(flavor));

    for (int i = 0; i < lines.size(); i++)
        layout->addWidget(lines[i](Details | (i == 0 ? PadAbove : 0) | (i == lines.size() - 1 ? PadBelow : 0)));
}

QFrame* CreatureDisplay::createAliasLine(int code)
{
    const QString tick = "<img src=':/images/stats/tick.png'>";
    const QString untick = "<img src=':/images/stats/untick.png'>";
    const bool shown = lastDrawn->isShowAlias();
    DynamicLabel* mark = dynamicHtmlLabel(shown ? tick : untick, shown ? untick : tick, 0);
    mark->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Preferred);
    const QString alias = QString("<i>%1</i>").arg(lastDrawn->getAlias().toHtmlEscaped());
    DynamicLabel* name = dynamicHtmlLabel(alias + " <img align=bottom src=':/images/stats/blank.png'>",
                                          alias + " <img align=bottom src=':/images/stats/edit.png'>", 0);
    name->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    // Queued on the display: the alias editor runs refresh ticks that replace these labels.
    const QPointer<Creature> creature = lastDrawn;
    connect(mark, &DynamicLabel::clicked, this, [this, creature] {
        if (creature)
            onSetUseAlias(creature);
    }, Qt::QueuedConnection);
    connect(name, &DynamicLabel::clicked, this, [this, creature] {
        if (creature)
            onEditAlias(creature);
    }, Qt::QueuedConnection);
    return createLabelLine(code, mark, name);
}

void CreatureDisplay::drawConditionAndEffects(QVBoxLayout* layout)
{
    QString state = lastDrawn->getStateText(false, false, editorMode, false);
    const QString effects = lastDrawn->getEffectsList();
    if (!effects.isEmpty())
        state = state.isEmpty() ? effects : state + "; " + effects;
    if (!state.isEmpty())
        layout->addWidget(createSingleLine(Effects | PadAbove | PadBelow, tr("<b>Conditions and Effects </b><br>") + state));
}

void CreatureDisplay::drawTrailer(QVBoxLayout* layout)
{
    const Creature* creature = lastDrawn;
    const QString skills = creature->getSkills();
    const QString equipment = creature->getEquipment();
    const QString description = creature->getDescription();
    if (!skills.isEmpty())
        layout->addWidget(createSingleLine(Abilities | PadAbove, skills));
    if (!creature->isTrap()) {
        layout->addWidget(createAbilityLine(Abilities | PadBelow | (skills.isEmpty() ? PadAbove : 0)));
        layout->addWidget(
            createLanguageLine(Footer | PadAbove | (equipment.isEmpty() && description.isEmpty() ? PadBelow : 0)));
    }
    if (!equipment.isEmpty())
        layout->addWidget(createSingleLine(Footer | (description.isEmpty() ? PadBelow : 0), equipment));
    if (!description.isEmpty())
        layout->addWidget(createSingleLine(Footer | PadBelow, description));
    if (!creature->getPublished().isEmpty())
        layout->addWidget(createSingleLine(Note | PadAbove | PadBelow, creature->getPublished().toHtmlEscaped()));
}

QHBoxLayout* CreatureDisplay::rowLayout(QFrame* line, int spacing)
{
    auto* layout = new QHBoxLayout(line);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(spacing);
    return layout;
}

QFrame* CreatureDisplay::createLine(int code)
{
    auto* line = new QFrame;
    line->setContentsMargins(0, 0, 0, 0);
    line->setStyleSheet(lineStyle(code, lastDrawn));
    // Kept for whoever inspects a stat block: its style sheet alone does not tell the kinds apart.
    line->setProperty("lineCode", code);
    return line;
}

QFrame* CreatureDisplay::createSingleLine(int code, const QString& text)
{
    return createLabelLine(code, createLabel(text, true, (code & KindMask) != SectionTitle, 0), nullptr);
}

QFrame* CreatureDisplay::createDoubleLine(int code, const QString& left, const QString& right, bool leftWrap,
                                          bool rightWrap)
{
    QFrame* line = createLine(code);
    QHBoxLayout* layout = rowLayout(line, 0);
    layout->addWidget(createLabel(left, leftWrap, true, 0), Global::htmlLength(left));
    QLabel* rightLabel = createLabel(right, rightWrap, true, 0);
    // Right and centred together, as the stat cards have it.
    rightLabel->setAlignment(Qt::AlignRight | Qt::AlignHCenter | Qt::AlignVCenter);
    layout->addWidget(rightLabel, Global::htmlLength(right));
    return line;
}

QFrame* CreatureDisplay::createLabelLine(int code, QLabel* first, QLabel* second)
{
    QFrame* line = createLine(code);
    QHBoxLayout* layout = rowLayout(line, 0);
    layout->addWidget(first);
    if (second) {
        layout->addWidget(second);
        layout->setSpacing(3);
    }
    return line;
}

QFrame* CreatureDisplay::createAbilityLine(int code)
{
    const Creature* creature = lastDrawn;
    QFrame* line = createLine(code);
    auto* grid = new QGridLayout(line);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(0);
    grid->setHorizontalSpacing(28);
    const QStringList texts{creature->getStrText(), creature->getDexText(), creature->getWisText(),
                            creature->getConText(), creature->getIntText(), creature->getChaText()};
    for (int i = 0; i < texts.size(); i++)
        grid->addWidget(createLabel(texts[i], false, true, 0), i / 3, i % 3);
    grid->setColumnStretch(3, 2);
    return line;
}

QFrame* CreatureDisplay::createLanguageLine(int code)
{
    QFrame* line = createLine(code);
    QHBoxLayout* layout = rowLayout(line, 16);
    layout->addWidget(createLabel(lastDrawn->getAlignmentText(), false, true, 0));
    layout->addWidget(createLabel(lastDrawn->getLanguagesText(), true, true, 0), 2);
    return line;
}
