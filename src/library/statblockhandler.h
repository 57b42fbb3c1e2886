#ifndef STATBLOCKHANDLER_H
#define STATBLOCKHANDLER_H

#include <QMap>

#include "creature/creature.h"
#include "library/xmlhandler.h"

// Reads a character file of the publisher's character builder (".dnd4e")
// into statistics and powers. A power is gathered from its "specific"
// texts and stored at its end, at the next power or at the document's end.
class StatBlockHandler : public XmlHandler
{
public:
    // The kinds of a power's "specific" texts.
    enum ElementType : int {
        None = -1,
        Flavor = 0,
        PowerUsage,
        Display,
        Keywords,
        ActionType,
        AttackType,
        Target,
        Attack,
        Hit,
        Level21,
        Miss,
        Effect,
        Special,
        Trigger,
        Requirement,
        PowerType,
        SecondaryTarget,
        SecondaryAttack,
        // Hit, miss, effect and special texts after a secondary attack.
        SecondHit,
        SecondMiss,
        SecondEffect,
        SecondSpecial,
    };

    StatBlockHandler(bool monster, const QString& rootPath, const CreatureStats& stats);

    void start() override;
    void end() override;
    bool xmlElement(const QString& path, const QString& value) override;
    // Only a power's end.
    bool readsEndOf(QStringView element) const override { return element == QLatin1String("Power"); }

    const CreatureStats& getStats() const { return stats; }

private:
    void powerDone();
    void beginPower(const QString& name);
    void specificText(const QString& text);
    void statistic(const QString& alias);
    void rulesElement(const QString& type);
    void portrait(const QString& value);
    void addElement(const QString& label, ElementType type);
    QString getElement(ElementType type) const { return elements.value(type); }
    static void addWords(QString& text, const QString& word, const QString& separator, bool parenthesise);

    bool monster;
    QString rootPath;
    QString sectionText;
    QString rulesName;
    QString statValue;
    QString paragonPath;
    QString epicDestiny;
    CreatureStats stats;
    CreaturePower power;
    ElementType elementType = None;
    bool basic = false;
    QMap<int, QString> elements;
};

#endif
