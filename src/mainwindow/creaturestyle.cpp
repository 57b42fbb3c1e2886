#include "creature/creature.h"
#include "mainwindow/creaturedisplay.h"

CreatureStyle CreatureDisplay::monsterStyle;
CreatureStyle CreatureDisplay::heroStyle;
CreatureStyle CreatureDisplay::trapStyle;

namespace {

void fill(CreatureStyle& style, const char* title, const char* details, const char* effects, const char* text,
          const char* usedText)
{
    style.title = QString(" { background-color: %1; color: #ffffff").arg(title);
    style.details = QString(" { background-color: %1; color: #000000").arg(details);
    style.effects = QString(" { background-color: %1; color: #000000").arg(effects);
    style.sectionTitle =
        QString(" { background-color: %1; color: #ffffff; font-variant: small-caps; font-size: 13px").arg(title);
    style.powerTitle = style.details;
    style.powerTitleAlt = style.powerTitle;
    style.powerText = QString(" { background-color: %1; color: %2").arg(effects, text);
    style.powerTextUsed = QString(" { background-color: %1; color: %2").arg(effects, usedText);
    style.abilities = style.details;
    style.footer = style.powerText;
}

const CreatureStyle& schemeOf(bool monster, bool trap)
{
    if (!monster)
        return CreatureDisplay::heroStyle;
    return trap ? CreatureDisplay::trapStyle : CreatureDisplay::monsterStyle;
}

QString fragment(const CreatureStyle& style, int code)
{
    const bool used = code & LineCode::Used;
    switch (code & LineCode::KindMask) {
    case LineCode::Title:
    case LineCode::PortraitTitle: return style.title;
    case LineCode::Details: return style.details;
    case LineCode::Effects: return style.effects;
    case LineCode::SectionTitle: return style.sectionTitle;
    case LineCode::PowerTitle: return used != bool(code & LineCode::Highlighted) ? style.powerTitleAlt : style.powerTitle;
    case LineCode::PowerText:
    case LineCode::PowerDetail: return used ? style.powerTextUsed : style.powerText;
    case LineCode::Abilities: return style.abilities;
    case LineCode::Footer: return style.footer;
    case LineCode::Note: return " { color: #a8a8a8";
    default: return QString();
    }
}

}

void CreatureDisplay::setupStyles()
{
    fill(monsterStyle, "#333333", "#cccccc", "#e6e6e6", "#002e76", "#626262");
    // Heroes keep the blue text for used powers.
    fill(heroStyle, "#00157f", "#cccccc", "#e6e6e6", "#002e76", "#002e76");
    fill(trapStyle, "#39291b", "#c8ad9d", "#eedccd", "#052f09", "#626262");
}

QString CreatureDisplay::lineStyle(int code, bool monster, bool trap)
{
    const int side = (code & LineCode::KindMask) == LineCode::PowerText ? 25 : 10;
    return QString("QFrame%1; padding-left: %2px; padding-right: %2px; padding-top: %3px; padding-bottom: %4px }")
        .arg(fragment(schemeOf(monster, trap), code))
        .arg(side)
        .arg(code & LineCode::PadAbove ? 3 : 0)
        .arg(code & LineCode::PadBelow ? 3 : 0);
}

QString CreatureDisplay::lineStyle(int code, const Creature* creature)
{
    return creature ? lineStyle(code, creature->isMonster(), creature->isTrap()) : QString();
}
