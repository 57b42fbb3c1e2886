#include <QCheckBox>
#include <QLabel>
#include <QSpinBox>

#include <memory>

#include "combat/turndialogs.h"
#include "combattesting.h"
#include "creature/creature.h"
#include "creature/effect.h"
#include "library/monsters.h"

using CombatTesting::PromptAnswerer;

namespace {

QStringList labelTexts(QWidget* dialog)
{
    QStringList texts;
    for (QLabel* label : dialog->findChildren<QLabel*>())
        texts << label->text();
    return texts;
}

}

// The prompts of a turn's end and start, answered as the game master would.
class TestTurnPrompts : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestWorld> world;
    Creature* ana = nullptr;
    Creature* bron = nullptr;
    Creature* goblin = nullptr;
    QList<Effect*> effects;

    Effect* effect(Creature* origin, Creature* target, CE::EffectType type, unsigned group = 0,
        bool sustainable = true)
    {
        EffectDetails details;
        details.origin = origin;
        details.type = type;
        details.endCondition = CE::EndOfOriginsNextTurn;
        details.groupId = group;
        details.sustainable = sustainable;
        details.sourceName = "Hold <Fast>";
        effects.append(new Effect(details, target));
        return effects.last();
    }
    static NestedEffect entry(Effect* effect)
    {
        return NestedEffect{NestedEffect::Single, effect->getGroupId(), {effect}};
    }

private slots:
    void init()
    {
        world = std::make_unique<TestWorld>();
        ana = world->addHero("Ana <the Bold>", 28);
        bron = world->addHero("Bron", 30);
        goblin = world->addMonster("Goblin Cutter", "1", 20);
    }
    void cleanup()
    {
        qDeleteAll(effects);
        effects.clear();
        world.reset();
    }

    // One line: the prefix, the entry's text in bold, who applied it using what; names escaped, widths held.
    void powerLabelLine()
    {
        const NestedEffect marked = entry(effect(bron, ana, CE::Marked));
        int width = 0;
        QCOMPARE(TurnDialog::powerLabel(width, &marked, QString()),
            QString(" <b>%1</b><br> by Bron using Hold &lt;Fast&gt;").arg(marked.getEffectsList()));
        QCOMPARE(width, 280);
        // The origin named as the prefix goes unnamed.
        QCOMPARE(TurnDialog::powerLabel(width, &marked, "Bron"),
            QString("Bron <b>%1</b><br> using Hold &lt;Fast&gt;").arg(marked.getEffectsList()));
        const QString longPrefix(80, QChar('x'));
        QVERIFY(TurnDialog::powerLabel(width, &marked, longPrefix).startsWith(longPrefix + "<br><b>"));
        QCOMPARE(width, 520);
        const NestedEffect bold = entry(effect(ana, bron, CE::Marked));
        QVERIFY(TurnDialog::powerLabel(width, &bold, "Bron").contains("by Ana &lt;the Bold&gt;"));
        // An origin gone since is named as it was.
        Creature* gone = world->addMonster("Goblin Cutter", "2", 20);
        const NestedEffect fromGone = entry(effect(gone, bron, CE::Dazed));
        Global::monsters->deleteMonsterInstance(gone);
        QVERIFY(TurnDialog::powerLabel(width, &fromGone, QString()).contains("by Goblin Cutter (2)"));
    }

    // Entries of one group share a row naming every target; entries without a group stand alone.
    void sustainGrouping_data()
    {
        QTest::addColumn<QList<unsigned>>("groups");
        QTest::addColumn<QList<bool>>("sustainable");
        QTest::addColumn<int>("rows");
        QTest::addColumn<QString>("firstLine");
        QTest::addColumn<int>("left");
        QTest::newRow("one group on two targets") << QList<unsigned>{7, 7} << QList<bool>{true, true} << 1
                                                  << "Ana &lt;the Bold&gt;, Goblin Cutter (1)<br><b>" << 0;
        QTest::newRow("no group") << QList<unsigned>{0, 0} << QList<bool>{true, true} << 2
                                  << "Ana &lt;the Bold&gt; <b>" << 1;
        QTest::newRow("not sustainable") << QList<unsigned>{0, 0} << QList<bool>{false, false} << 0 << "" << 2;
    }
    void sustainGrouping()
    {
        QFETCH(QList<unsigned>, groups);
        QFETCH(QList<bool>, sustainable);
        QFETCH(int, rows);
        QFETCH(QString, firstLine);
        QFETCH(int, left);
        QList<NestedEffect> entries{entry(effect(bron, ana, CE::Marked, groups[0], sustainable[0])),
            entry(effect(bron, goblin, CE::Marked, groups[1], sustainable[1]))};
        int boxes = 0;
        QStringList lines;
        PromptAnswerer answers({[&](QDialog* dialog) {
            boxes = int(dialog->findChildren<QCheckBox*>().size());
            lines = labelTexts(dialog);
            PromptAnswerer::check({true})(dialog);
        }});
        QVERIFY(SustainDialog().removeSustained(entries, true));
        QCOMPARE(boxes, rows);
        QCOMPARE(answers.titles.size(), rows ? 1 : 0);
        if (rows) {
            QCOMPARE(lines.first(), QString("<b>Sustainable Ongoing Effects and Condition:<b>"));
            QVERIFY2(lines[2].startsWith(firstLine), qPrintable(lines[2]));
        }
        QCOMPARE(entries.size(), left);
    }

    // Escape cancels a cancellable prompt, list untouched; a forced one counts as OK with its boxes as they stand.
    void sustainEscape_data()
    {
        QTest::addColumn<bool>("cancellable");
        QTest::newRow("cancellable") << true;
        QTest::newRow("forced") << false;
    }
    void sustainEscape()
    {
        QFETCH(bool, cancellable);
        QList<NestedEffect> entries{entry(effect(bron, ana, CE::Marked))};
        QStringList buttons;
        PromptAnswerer answers({[&buttons](QDialog* dialog) {
            dialog->findChild<QCheckBox*>()->setChecked(true);
            buttons = CombatTesting::buttonTexts(dialog);
            PromptAnswerer::escape()(dialog);
        }});
        QCOMPARE(SustainDialog().removeSustained(entries, cancellable), !cancellable);
        QCOMPARE(buttons, cancellable ? QStringList({"OK", "Cancel"}) : QStringList({"OK"}));
        QCOMPARE(entries.size(), cancellable ? 1 : 0);
    }

    // One seeded d20 a row with the modifiers: the row reads Saved or Failed and is checked from 10 up.
    void savingThrowRolls_data()
    {
        QTest::addColumn<int>("mods");
        QTest::addColumn<int>("roll");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("checked");
        QTest::newRow("+2, 8") << 2 << 8 << "<b>Saved</b><br><b>d20</b> 8 <b>Mods</b> +2 <b>&gt;=</b> 10" << true;
        QTest::newRow("-2, 11") << -2 << 11 << " <b>Failed</b><br><b>d20</b> 11 <b>Mods</b> -2 <b>&lt;</b> 10"
                                << false;
        QTest::newRow("0, 10") << 0 << 10 << "<b>Saved</b><br><b>d20</b> 10 <b>&gt;=</b> 10" << true;
        QTest::newRow("0, 9") << 0 << 9 << " <b>Failed</b><br><b>d20</b> 9 <b>&lt;</b> 10" << false;
    }
    void savingThrowRolls()
    {
        QFETCH(int, mods);
        QFETCH(int, roll);
        QFETCH(QString, text);
        QFETCH(bool, checked);
        if (mods) {
            EffectDetails details;
            details.type = mods > 0 ? CE::Bonus : CE::Penalty;
            details.amount = qAbs(mods);
            details.attributes.savingThrows = true;
            effects.append(new Effect(details, goblin));
            goblin->addEffect(effects.last());
        }
        const QList<NestedEffect> entries{entry(effect(ana, goblin, CE::Slowed)), entry(new DyingEffect(goblin))};
        effects.append(entries.last().getEffect());
        CombatTesting::seedRolling(roll);
        SavingThrowDialog dialog(goblin, entries, true);
        const QStringList texts = labelTexts(&dialog);
        QCOMPARE(texts.first(), QString("Saving Throws for <b>Goblin Cutter (1)</b>:"));
        QVERIFY(texts.contains(text));
        QVERIFY(texts.contains(" <b>Death Saving Throw</b>"));
        QList<QCheckBox*> boxes = dialog.findChildren<QCheckBox*>();
        QCOMPARE(boxes.first()->isChecked(), checked);
        boxes.first()->setChecked(false);
        boxes.last()->setChecked(true);
        QCOMPARE(dialog.getSavedEffects(), QList<const NestedEffect*>({&entries.last()}));
        if (mods)
            goblin->removeEffect(effects.first());
    }

    // The amount box starts at the effect's amount, any size; Yes applies what it holds, No nothing.
    void ongoingAmount_data()
    {
        QTest::addColumn<int>("amount");
        QTest::addColumn<int>("typed");
        QTest::addColumn<bool>("yes");
        QTest::addColumn<int>("applied");
        QTest::newRow("Yes") << 5 << -1 << true << 5;
        QTest::newRow("changed") << 5 << 3 << true << 3;
        QTest::newRow("No") << 5 << -1 << false << 0;
        QTest::newRow("0") << 5 << 0 << true << 0;
        QTest::newRow("120") << 120 << -1 << true << 120;
    }
    void ongoingAmount()
    {
        QFETCH(int, amount);
        QFETCH(int, typed);
        QFETCH(bool, yes);
        QFETCH(int, applied);
        EffectDetails details;
        details.type = CE::OnGoingDamage;
        details.amount = amount;
        details.origin = goblin;
        effects.append(new Effect(details, ana));
        int shown = -1;
        QStringList texts;
        PromptAnswerer answers({[&](QDialog* dialog) {
            auto* box = dialog->findChild<QSpinBox*>();
            shown = box->value();
            texts = labelTexts(dialog);
            if (typed >= 0) {
                box->selectAll();
                QTest::keyClicks(box, QString::number(typed));
            }
            (yes ? PromptAnswerer::ok() : PromptAnswerer::escape())(dialog);
        }});
        QCOMPARE(ApplyDialog().promptForOngoingEffect(ana, effects.last()), applied);
        QCOMPARE(answers.titles, QStringList({"Ongoing Damage"}));
        QCOMPARE(shown, amount);
        QCOMPARE(texts.first(), QString("Apply ongoing damage to <b>Ana &lt;the Bold&gt;</b>:"));
    }
};

RAVELHORN_TEST_MAIN(QApplication, TestTurnPrompts)
#include "uitest_turnprompts.moc"
