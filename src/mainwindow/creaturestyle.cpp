#include "mainwindow/creaturestyle.h"

#include <QCoreApplication>
#include <QFrame>
#include <QLabel>
#include <QStyle>

#include "foundation/textcolours.h"
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

struct Scheme
{
    const char* name;
    const CreatureStyle* style;
};

const Scheme schemes[] = {{"monster", &CreatureDisplay::monsterStyle},
                          {"hero", &CreatureDisplay::heroStyle},
                          {"trap", &CreatureDisplay::trapStyle}};

struct Fragment
{
    const char* name;
    QString CreatureStyle::*text;
};

const Fragment fragments[] = {
    {"title", &CreatureStyle::title},
    {"details", &CreatureStyle::details},
    {"effects", &CreatureStyle::effects},
    {"sectionTitle", &CreatureStyle::sectionTitle},
    {"powerTitle", &CreatureStyle::powerTitle},
    {"powerTitleAlt", &CreatureStyle::powerTitleAlt},
    {"powerText", &CreatureStyle::powerText},
    {"powerTextUsed", &CreatureStyle::powerTextUsed},
    {"abilities", &CreatureStyle::abilities},
    {"footer", &CreatureStyle::footer},
};

const char* fragmentOf(int code)
{
    const bool used = code & LineCode::Used;
    switch (code & LineCode::KindMask) {
    case LineCode::Title:
    case LineCode::PortraitTitle: return "title";
    case LineCode::Details: return "details";
    case LineCode::Effects: return "effects";
    case LineCode::SectionTitle: return "sectionTitle";
    case LineCode::PowerTitle: return used != bool(code & LineCode::Highlighted) ? "powerTitleAlt" : "powerTitle";
    case LineCode::PowerText:
    case LineCode::PowerDetail: return used ? "powerTextUsed" : "powerText";
    case LineCode::Abilities: return "abilities";
    case LineCode::Footer: return "footer";
    default: return nullptr;
    }
}

// The rule's body reaches the line's labels too: their own texts take its colours.
QString rule(const QString& look, const QString& body)
{
    const QString line = QString("QFrame[look=\"%1\"]").arg(look);
    return QString("%1, %1 QLabel%2 }\n").arg(line, body);
}

bool setLook(QFrame* line, const char* name, const QVariant& value)
{
    if (line->property(name) == value)
        return false;
    line->setProperty(name, value);
    return true;
}

void restyle(QWidget* widget)
{
    if (!widget->testAttribute(Qt::WA_WState_Polished))
        return;
    widget->style()->unpolish(widget);
    widget->style()->polish(widget);
    // A frame takes its new paddings as contents margins here.
    QEvent change(QEvent::StyleChange);
    QCoreApplication::sendEvent(widget, &change);
}

}

void CreatureDisplay::setupStyles()
{
    fill(monsterStyle, "#333333", "#cccccc", "#e6e6e6", "#002e76", "#626262");
    // Heroes keep the blue text for used powers.
    fill(heroStyle, "#00157f", "#cccccc", "#e6e6e6", "#002e76", "#002e76");
    fill(trapStyle, "#39291b", "#c8ad9d", "#eedccd", "#052f09", "#626262");
}

QString LineLook::styleSheet()
{
    QString sheet = "QLabel { font-family: Arial, Helvetica, sans-serif; font-size: 12px; padding: 0px }\n"
                    "QFrame[sides=\"narrow\"] { padding-left: 10px; padding-right: 10px }\n"
                    "QFrame[sides=\"wide\"] { padding-left: 25px; padding-right: 25px }\n"
                    "QFrame[padAbove=\"true\"] { padding-top: 3px }\n"
                    "QFrame[padBelow=\"true\"] { padding-bottom: 3px }\n";
    // Before setupStyles the fragments are empty: the lines keep the plain look.
    for (const Scheme& scheme : schemes)
        for (const Fragment& fragment : fragments)
            if (!(scheme.style->*fragment.text).isEmpty())
                sheet += rule(QString("%1-%2").arg(scheme.name, fragment.name), scheme.style->*fragment.text);
    return sheet + rule("note", QString(" { color: %1").arg(TextColours::greyed().name()));
}

void LineLook::apply(QFrame* line, int code, bool monster, bool trap)
{
    const char* fragment = fragmentOf(code);
    const char* scheme = !monster ? "hero" : trap ? "trap" : "monster";
    const QString look = fragment ? QString("%1-%2").arg(scheme, fragment) : QString("note");
    line->setProperty("lineCode", code);
    bool changed = setLook(line, "look", look);
    changed |= setLook(line, "sides", (code & LineCode::KindMask) == LineCode::PowerText ? "wide" : "narrow");
    changed |= setLook(line, "padAbove", bool(code & LineCode::PadAbove));
    changed |= setLook(line, "padBelow", bool(code & LineCode::PadBelow));
    if (!changed)
        return;
    restyle(line);
    for (QLabel* label : line->findChildren<QLabel*>())
        restyle(label);
}
