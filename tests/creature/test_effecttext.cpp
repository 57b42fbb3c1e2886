#include <QGuiApplication>

#include "creature/creaturetesting.h"
#include "support/testsupport.h"

Q_DECLARE_METATYPE(CE::EffectType)
Q_DECLARE_METATYPE(CE::EndCondition)

namespace {

EffectDetails details(CE::EffectType type, CE::EndCondition end = CE::EndSpecial, const QString& comment = QString())
{
    EffectDetails result;
    result.type = type;
    result.endCondition = end;
    result.comment = comment;
    return result;
}

}

class TestEffectText : public QObject, private CreatureFixture
{
    Q_OBJECT

private:
    Creature* goblin(const QString& id) { return monster("Goblin", id); }

private slots:
    void init() { setUp(); }
    void cleanup() { tearDown(); }

    void attributeList_data()
    {
        QTest::addColumn<int>("attributes");
        QTest::addColumn<QString>("list");
        QTest::newRow("none") << 0 << "";
        QTest::newRow("AC and Will") << (AC | Will) << "AC, Will";
        QTest::newRow("Fort and Reflex") << (Fort | Ref) << "Fort, Reflex";
        QTest::newRow("all seven") << 127 << "AC, Fort, Reflex, Will, Hit, Damage, Saving Throws";
        QTest::newRow("saves alone") << Saves << "Saving Throws";
    }

    void attributeList()
    {
        QFETCH(int, attributes);
        QFETCH(QString, list);
        QCOMPARE(Effect::getEffectedAttributeList(attributesOf(attributes)), list);
    }

    void shortText_data()
    {
        QTest::addColumn<CE::EffectType>("type");
        QTest::addColumn<int>("amount");
        QTest::addColumn<int>("attributes");
        QTest::addColumn<QString>("comment");
        QTest::addColumn<QString>("text");
        QTest::newRow("penalty to all defences") << CE::Penalty << 2 << (AC | Fort | Ref | Will) << ""
                                                 << "-2 to all Defenses";
        QTest::newRow("bonus to hit and damage") << CE::Bonus << 1 << (Hit | Dmg) << "" << "+1 to Hit & Damage";
        QTest::newRow("bonus to Fortitude") << CE::Bonus << 2 << Fort << "" << "+2 to Fortitude";
        QTest::newRow("bonus to Fort and Will") << CE::Bonus << 2 << (Fort | Will) << "" << "+2 to Fort, Will";
        QTest::newRow("bonus to AC") << CE::Bonus << 1 << AC << "" << "+1 to AC";
        QTest::newRow("bonus without attributes") << CE::Bonus << 3 << 0 << "" << "+3 Bonus";
        QTest::newRow("penalty without attributes") << CE::Penalty << 2 << 0 << "" << "-2 Penalty";
        QTest::newRow("marked without origin") << CE::Marked << 0 << 0 << "" << "Marked";
        QTest::newRow("comment alone") << CE::None << 0 << 0 << "Cursed" << "Cursed";
        QTest::newRow("good comment") << CE::GoodEffect << 4 << 0 << "Blessed" << "Blessed";
        QTest::newRow("bad comment") << CE::BadEffect << 4 << 0 << "Hexed" << "Hexed";
        QTest::newRow("empty comment") << CE::None << 0 << 0 << "" << "";
        QTest::newRow("unknown type") << CE::EffectType(40) << 0 << 0 << "odd" << "odd";
        QTest::newRow("slowed with comment") << CE::Slowed << 0 << 0 << "in mud" << "Slowed (in mud)";
        QTest::newRow("ongoing damage") << CE::OnGoingDamage << 5 << 0 << "fire" << "Ongoing 5 Damage (fire)";
        QTest::newRow("regeneration") << CE::Regeneration << 3 << 0 << "" << "Regeneration 3";
        QTest::newRow("resist") << CE::Resistance << 10 << 0 << "" << "Resist 10";
        QTest::newRow("vulnerable") << CE::Vulnerability << 5 << 0 << "radiant" << "Vulnerable 5 (radiant)";
        QTest::newRow("total defense") << CE::TotalDefense << 0 << 0 << "" << "Total Defense";
        QTest::newRow("surprised") << CE::Surprised << 0 << 0 << "" << "Surprised";
        QTest::newRow("combat advantage") << CE::GrantsCombatAdvantage << 0 << 0 << "" << "Grants Combat Advantage";
        QTest::newRow("comment escaped") << CE::Dazed << 0 << 0 << "<i>\"R&D\"</i>"
                                         << "Dazed (&lt;i&gt;&quot;R&amp;D&quot;&lt;/i&gt;)";
        QTest::newRow("comment alone escaped") << CE::None << 0 << 0 << "a < b" << "a &lt; b";
    }

    void shortText()
    {
        QFETCH(CE::EffectType, type);
        QFETCH(int, amount);
        QFETCH(int, attributes);
        QFETCH(QString, comment);
        QFETCH(QString, text);
        EffectDetails record = details(type, CE::EndSpecial, comment);
        record.amount = amount;
        record.attributes = attributesOf(attributes);
        QCOMPARE(Effect::getEffectText(record), text);
        QCOMPARE(effect(hero("Aldric"), record)->getEffectText(), text);
    }

    void endConditionText_data()
    {
        QTest::addColumn<CE::EndCondition>("condition");
        QTest::addColumn<bool>("withOrigin");
        QTest::addColumn<QString>("phrase");
        QTest::addColumn<QString>("heading");
        QTest::newRow("special") << CE::EndSpecial << true << " end special" << "End special";
        QTest::newRow("origin's end") << CE::EndOfOriginsNextTurn << true << " until end of Goblin (3)'s next turn"
                                      << "Until end of Goblin (3)'s next turn";
        QTest::newRow("origin's end, no origin") << CE::EndOfOriginsNextTurn << false
                                                 << " until end of origin's next turn"
                                                 << "Until end of origin's next turn";
        QTest::newRow("my end") << CE::EndOfTargetsNextTurn << true << " until end of my next turn"
                                << "Until end of my next turn";
        QTest::newRow("save") << CE::SaveEnds << true << " until save ends" << "Save ends all";
        QTest::newRow("encounter") << CE::EndOfEncounter << false << " until end of encounter"
                                   << "Until end of encounter";
        QTest::newRow("origin's start") << CE::StartOfOriginsNextTurn << true
                                        << " until start of Goblin (3)'s next turn"
                                        << "Until start of Goblin (3)'s next turn";
        QTest::newRow("origin's start, no origin") << CE::StartOfOriginsNextTurn << false
                                                   << " until start of origin's next turn"
                                                   << "Until start of origin's next turn";
        QTest::newRow("my start") << CE::StartOfTargetsNextTurn << true << " until start of my next turn"
                                  << "Until start of my next turn";
        QTest::newRow("unknown") << CE::EndCondition(7) << true << " until " << "Until ";
    }

    void endConditionText()
    {
        QFETCH(CE::EndCondition, condition);
        QFETCH(bool, withOrigin);
        QFETCH(QString, phrase);
        QFETCH(QString, heading);
        EffectDetails record = details(CE::Dazed, condition);
        if (withOrigin)
            record.origin = goblin("3");
        Effect* placed = effect(hero("Aldric"), record);
        QCOMPARE(placed->getEndConditionText(false), phrase);
        QCOMPARE(placed->getEndConditionText(true), heading);
        QCOMPARE(placed->getDescription(), "Dazed" + phrase);
    }

    void descriptions()
    {
        Creature* bearer = hero("Aldric");
        QCOMPARE(effect(bearer, details(CE::Dazed, CE::EndOfTargetsNextTurn))->getDescription(),
                 QString("Dazed until end of my next turn"));
        EffectDetails ongoing = details(CE::OnGoingDamage, CE::SaveEnds);
        ongoing.amount = 5;
        QCOMPARE(effect(bearer, ongoing)->getDescription(), QString("Ongoing 5 Damage until save ends"));
        QCOMPARE(effect(bearer, details(CE::Stunned))->getDescription(), QString("Stunned end special"));

        DyingEffect dying(bearer);
        QCOMPARE(dying.getEffectText(), QString("Death Saving Throw"));
        QCOMPARE(dying.getDescription(), QString("Death Saving Throw end special"));
    }

    void originNamedLiveThenAsRecorded()
    {
        Creature* origin = goblin("3");
        EffectDetails marked = details(CE::Marked, CE::EndOfOriginsNextTurn);
        marked.origin = origin;
        Effect* placed = effect(hero("Aldric"), marked);
        QCOMPARE(placed->getDescription(), QString("Marked by Goblin (3) until end of Goblin (3)'s next turn"));

        // A rename shows while the origin lives.
        origin->setName("4");
        QCOMPARE(placed->getEffectText(), QString("Marked by Goblin (4)"));

        // Deleted, it is named as it was when the effect was made.
        forget(origin);
        QVERIFY(!placed->getOrigin());
        QVERIFY(!marked.origin);
        QCOMPARE(placed->getOriginName(), QString("Goblin (3)"));
        QCOMPARE(placed->getDescription(), QString("Marked by Goblin (3) until end of Goblin (3)'s next turn"));
        QCOMPARE(Effect::getEffectText(marked), QString("Marked"));
    }

    void targetNamedAfterDeletion()
    {
        Creature* bearer = hero("Aldric");
        Effect* placed = effect(bearer, details(CE::Dazed));
        forget(bearer);
        QVERIFY(!placed->getTarget());
        QCOMPARE(placed->getTargetName(), QString("Aldric"));
        QCOMPARE(placed->getDescription(), QString("Dazed end special"));
    }

    void namesAreEscaped()
    {
        EffectDetails marked = details(CE::Marked, CE::StartOfOriginsNextTurn);
        marked.origin = hero("<Tom & Jerry>");
        Effect* placed = effect(hero("Aldric"), marked);
        QCOMPARE(placed->getDescription(), QString("Marked by &lt;Tom &amp; Jerry&gt; until start of "
                                                   "&lt;Tom &amp; Jerry&gt;'s next turn"));
        forget(marked.origin);
        QCOMPARE(placed->getEffectText(), QString("Marked by &lt;Tom &amp; Jerry&gt;"));
    }

    void displayEntries()
    {
        Creature* bearer = hero("Aldric");
        EffectDetails grouped = details(CE::Dazed, CE::EndOfTargetsNextTurn);
        grouped.sourceName = "Hold <Person>";
        grouped.groupId = 4;
        Effect* dazed = effect(bearer, grouped);
        grouped.type = CE::Prone;
        Effect* prone = effect(bearer, grouped);
        Effect* single = effect(bearer, details(CE::Slowed, CE::SaveEnds));
        for (Effect* placed : {dazed, prone, single})
            bearer->addEffect(placed);

        QStringList texts;
        for (int i = 0; i < bearer->getNestedEffectCount(); i++)
            texts.append(bearer->getNestedEffectText(i));
        QCOMPARE(texts, (QStringList{"Slowed until save ends", "Hold &lt;Person&gt;: Until end of my next turn:",
                                     "Dazed", "Prone"}));
        QCOMPARE(bearer->getNestedEffect(1)->getEffectsList(), QString("Dazed; Prone"));
        QVERIFY(bearer->getNestedEffectText(4).isNull());
    }

    void headingsWithoutSourceName_data()
    {
        QTest::addColumn<CE::EndCondition>("condition");
        QTest::addColumn<QString>("heading");
        QTest::newRow("save ends") << CE::SaveEnds << "Save ends all:";
        QTest::newRow("special") << CE::EndSpecial << "End special:";
        QTest::newRow("encounter") << CE::EndOfEncounter << "Until end of encounter:";
    }

    void headingsWithoutSourceName()
    {
        QFETCH(CE::EndCondition, condition);
        QFETCH(QString, heading);
        Effect* first = effect(hero("Aldric"), details(CE::Dazed, condition));
        QCOMPARE((NestedEffect{NestedEffect::Heading, 1, {first}}.getEffectText()), heading);
        QCOMPARE((NestedEffect{3, 1, {first}}.getEffectText()), QString());
        QCOMPARE((NestedEffect{NestedEffect::Heading, 1, {}}.getEffectText()), QString());
    }

    void entryListSkipsLeadingEmptyTexts()
    {
        Creature* bearer = hero("Aldric");
        NestedEffect entry{NestedEffect::Heading, 2,
                           {effect(bearer, details(CE::None)), effect(bearer, details(CE::Dazed)),
                            effect(bearer, details(CE::None)), effect(bearer, details(CE::Prone))}};
        QCOMPARE(entry.getEffectsList(), QString("Dazed; ; Prone"));
    }

    void creatureTexts()
    {
        Creature* bearer = hero("Aldric");
        QCOMPARE(bearer->getEffectsList(), QString(""));
        for (EffectDetails record : {details(CE::None), details(CE::Dazed, CE::EndOfTargetsNextTurn),
                                     details(CE::None, CE::EndSpecial, "Cursed")})
            bearer->addEffect(effect(bearer, record));
        // A separator before every effect but the first, even after an empty text.
        QCOMPARE(bearer->getEffectsList(), QString("; Dazed; Cursed"));
        QCOMPARE(bearer->getEffectText(1), QString("Dazed until end of my next turn"));
        QCOMPARE(bearer->getEffectText(2), QString("Cursed end special"));
        QString outOfRange = bearer->getEffectText(3);
        QVERIFY(outOfRange.isEmpty() && !outOfRange.isNull());
    }
};

RAVELHORN_TEST_MAIN(QGuiApplication, TestEffectText)
#include "test_effecttext.moc"
