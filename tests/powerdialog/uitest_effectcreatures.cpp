// Who an effect is used by and on, and the effect controls: the default
// origin, the single target, the origin's combo box and the signed amounts
// and end conditions the controls hand their owner.

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

#include "creature/creature.h"
#include "encounter/encounter.h"
#include "encounter/encounterevents.h"
#include "foundation/global.h"
#include "library/monsters.h"
#include "powerdialog/effectcontrols.h"
#include "powerdialog/effectcreatures.h"
#include "support/testsupport.h"
#include "support/testworld.h"
#include "toolkit/dynamicwidgets.h"

namespace {

// Records what the controls and the creature choice tell their owner.
class RecordingOwner : public CreatureInterface, public EffectInterface
{
public:
    void originChanged(Creature* origin) override { origins.append(origin); }
    void effectControlChanged(What what) override { changes.append(what); }

    QList<Creature*> origins;
    QList<EffectInterface::What> changes;
};

QStringList entries(QComboBox* box)
{
    QStringList texts;
    for (int i = 0; i < box->count(); i++)
        texts.append(box->itemText(i) + (static_cast<DisableComboBox*>(box)->isIndexEnabled(i) ? "" : " (grey)"));
    return texts;
}

// The game master picks the entry with that text.
void choose(QComboBox* box, const QString& text)
{
    const int index = box->findText(text);
    QVERIFY2(index >= 0, qPrintable(text));
    box->setCurrentIndex(index);
    emit box->activated(index);
}

// Aldric and Brena with two goblins; Aldric's turn.
struct Fight
{
    Fight()
    {
        aldric = world.addHero("Aldric", 30);
        brena = world.addHero("Brena", 24);
        goblin1 = world.addMonster("Goblin", "1", 25);
        goblin2 = world.addMonster("Goblin", "2", 25);
        Global::encounter->setCreatureList(CreatureList({aldric, brena, goblin1, goblin2}));
        Global::encounter->writeVitalityChanges(world.stream());
        world.record(new StartEncounterEvent({{"Aldric", 18, 1}, {"Brena", 12, 1}}, {{"Goblin", 5, 2}}, world.stream()));
    }

    RecordingUiHooks hooks;
    TestWorld world;
    Creature* aldric;
    Creature* brena;
    Creature* goblin1;
    Creature* goblin2;
};

using Creatures = QList<Creature*>;

// The controls make their widgets for the owner's layout; here a holder takes them.
void adopt(QWidget& holder, const QList<QWidget*>& widgets)
{
    for (QWidget* widget : widgets)
        widget->setParent(&holder);
}

void adopt(QWidget& holder, const SignedEffect& control)
{
    adopt(holder, {control.getTypeCombo(), control.getAmountBox()});
}

void adopt(QWidget& holder, const EffectBonus& bonus)
{
    adopt(holder, static_cast<const SignedEffect&>(bonus));
    adopt(holder, {bonus.getAllDefensesButton(), bonus.getHitAndDamageButton()});
    for (int i = 0; i < EffectBonus::AttributeCount; i++) {
        CheckboxLabel* label = bonus.getAttributeLabel(EffectBonus::Attribute(i));
        adopt(holder, {label, label->getCheckBox()});
    }
}

}

class TestEffectCreatures : public QObject
{
    Q_OBJECT

private slots:
    // The origin given; else the first target; else the first candidate (heroes by name, then monsters).
    void defaultOrigin()
    {
        Fight fight;
        RecordingOwner owner;
        QCOMPARE(EffectCreatures(false, fight.goblin2, "", "", {fight.brena}, {}, &owner).getOrigin(), fight.goblin2);
        QCOMPARE(EffectCreatures(false, nullptr, "", "", {fight.goblin1}, {}, &owner).getOrigin(), fight.goblin1);
        QCOMPARE(EffectCreatures(false, nullptr, "", "", {}, {}, &owner).getOrigin(), fight.aldric);
        Global::encounter->setCreatureList(CreatureList());
        QCOMPARE(EffectCreatures(false, nullptr, "", "", {}, {}, &owner).getOrigin(), nullptr);
    }

    void singleTarget_data()
    {
        QTest::addColumn<QList<int>>("hit");
        QTest::addColumn<QList<int>>("missed");
        QTest::addColumn<QList<int>>("effected");
        QTest::addColumn<int>("single");
        QTest::newRow("nobody") << QList<int>{} << QList<int>{} << QList<int>{} << -1;
        QTest::newRow("one hit") << QList<int>{1} << QList<int>{} << QList<int>{} << 1;
        QTest::newRow("one missed") << QList<int>{} << QList<int>{2} << QList<int>{} << 2;
        QTest::newRow("one effected") << QList<int>{} << QList<int>{} << QList<int>{3} << 3;
        QTest::newRow("hit and the same effected") << QList<int>{1} << QList<int>{} << QList<int>{1} << 1;
        QTest::newRow("hit and another effected") << QList<int>{1} << QList<int>{} << QList<int>{2} << -1;
        QTest::newRow("one hit, one missed") << QList<int>{1} << QList<int>{2} << QList<int>{} << -1;
        QTest::newRow("two hit") << QList<int>{1, 2} << QList<int>{} << QList<int>{} << -1;
        QTest::newRow("two effected") << QList<int>{} << QList<int>{} << QList<int>{1, 2} << -1;
    }
    void singleTarget()
    {
        QFETCH(QList<int>, hit);
        QFETCH(QList<int>, missed);
        QFETCH(QList<int>, effected);
        QFETCH(int, single);
        Fight fight;
        const Creatures all{fight.aldric, fight.brena, fight.goblin1, fight.goblin2};
        EffectCreatures creatures(false, fight.aldric, "", "", {}, {}, nullptr);
        for (int i : hit)
            creatures.addCreature(Power::Hit, all[i]);
        for (int i : missed)
            creatures.addCreature(Power::Miss, all[i]);
        for (int i : effected)
            creatures.addCreature(Power::Effect, all[i]);
        creatures.addCreature(Power::AnyStep, fight.aldric);
        QCOMPARE(creatures.getSingleTarget(), single < 0 ? nullptr : all[single]);
    }

    // Monsters keep their powers in their template, heroes in themselves.
    void originTemplate()
    {
        Fight fight;
        QCOMPARE(EffectCreatures(false, fight.goblin1, "", "", {}, {}, nullptr).getOriginTemplate(),
                 Global::monsters->findTemplate("Goblin"));
        QCOMPARE(EffectCreatures(false, fight.brena, "", "", {}, {}, nullptr).getOriginTemplate(), fight.brena);
        Global::encounter->setCreatureList(CreatureList());
        QCOMPARE(EffectCreatures(false, nullptr, "", "", {}, {}, nullptr).getOriginTemplate(), nullptr);
    }

    // Every candidate, the single target as [Self], the current creature as [Current], the dead greyed;
    // picking another tells the owner once, picking the dead or the same changes nothing.
    void originControl()
    {
        Fight fight;
        fight.goblin2->setCurrHitPoints(-3);
        RecordingOwner owner;
        EffectCreatures creatures(false, fight.brena, "Strike", "", {fight.goblin1}, {}, &owner);
        std::unique_ptr<DisableComboBox> box(creatures.getOriginControl());
        QCOMPARE(entries(box.get()), QStringList({"Aldric [Current]", "Brena", "Goblin (1) [Self]", "Goblin (2) (grey)"}));
        QCOMPARE(box->currentText(), "Brena");
        choose(box.get(), "Goblin (2)");
        QCOMPARE(box->currentText(), "Brena");
        choose(box.get(), "Brena");
        QVERIFY(owner.origins.isEmpty());
        QCOMPARE(creatures.getPowerName(), "Strike");
        choose(box.get(), "Aldric [Current]");
        QCOMPARE(owner.origins, Creatures{fight.aldric});
        QCOMPARE(creatures.getOrigin(), fight.aldric);
        QVERIFY(creatures.getPowerName().isEmpty());
        // The lists changing relabel the candidates.
        creatures.addCreature(Power::Hit, fight.goblin2);
        QCOMPARE(box->itemText(2), "Goblin (1)");
        creatures.removeCreature(Power::Hit, fight.goblin1);
        QCOMPARE(box->itemText(3), "Goblin (2) [Self]");
        QCOMPARE(box->currentText(), "Aldric [Current]");
    }

    // Each type gives the amount its sign; no type, no amount. Values set by the owner read back and are not
    // reported to it; the game master's are, once each.
    void signedAmounts()
    {
        RecordingOwner owner;
        EffectOngoing ongoing(&owner, nullptr);
        EffectResistance resistance(&owner);
        EffectBonus bonus(&owner);
        ongoing.setupControls();
        resistance.setupControls();
        bonus.setupControls(false);
        QWidget holder;
        adopt(holder, ongoing);
        adopt(holder, resistance);
        adopt(holder, bonus);
        QCOMPARE(entries(ongoing.getTypeCombo()), QStringList({"", "Ongoing Damage", "Regeneration"}));
        QCOMPARE(entries(resistance.getTypeCombo()), QStringList({"", "Resist", "Vulnerable"}));
        QCOMPARE(entries(bonus.getTypeCombo()), QStringList({"", "Bonus", "Penalty"}));
        QCOMPARE(ongoing.getAmountBox()->maximum(), 500);

        ongoing.getAmountBox()->setValue(5);
        QCOMPARE(ongoing.getOngoingAmount(), 0);
        choose(ongoing.getTypeCombo(), "Ongoing Damage");
        QCOMPARE(ongoing.getOngoingAmount(), -5);
        choose(ongoing.getTypeCombo(), "Regeneration");
        QCOMPARE(ongoing.getOngoingAmount(), 5);
        choose(resistance.getTypeCombo(), "Vulnerable");
        resistance.getAmountBox()->setValue(3);
        QCOMPARE(resistance.getResVulAmount(), -3);
        QCOMPARE(owner.changes, QList<EffectInterface::What>({EffectInterface::OnGoingChanged, EffectInterface::OnGoingChanged,
                                                              EffectInterface::OnGoingChanged, EffectInterface::ResistanceChanged,
                                                              EffectInterface::ResistanceChanged}));
        owner.changes.clear();
        resistance.setSignedAmount(7);
        QCOMPARE(resistance.getTypeCombo()->currentText(), "Resist");
        QCOMPARE(resistance.getResVulAmount(), 7);
        ongoing.setSignedAmount(0);
        QCOMPARE(ongoing.getTypeCombo()->currentText(), "");

        // The buttons tick their sets; a label ticks its own box.
        bonus.getAllDefensesButton()->click();
        QTest::mouseClick(bonus.getAttributeLabel(EffectBonus::SavingThrows), Qt::LeftButton);
        EffectedAttr ticked = bonus.getEffectedAttributes();
        QVERIFY(ticked.armorClass && ticked.fortitude && ticked.reflex && ticked.will && ticked.savingThrows);
        QVERIFY(!ticked.toHit && !ticked.damage);
        bonus.getHitAndDamageButton()->click();
        QVERIFY(bonus.getEffectedAttributes().toHit && bonus.getEffectedAttributes().damage);
        QVERIFY(owner.changes.count(EffectInterface::BonusChanged) == 7);
        owner.changes.clear();
        EffectedAttr willOnly;
        willOnly.will = true;
        bonus.setEffect(-2, willOnly);
        QCOMPARE(bonus.getEffectAmount(), -2);
        QCOMPARE(bonus.getEffectedAttributes().getAttributes(), willOnly.getAttributes());
        QVERIFY(owner.changes.isEmpty());
        EffectBonus narrow(&owner);
        narrow.setupControls(true);
        adopt(holder, narrow);
        QCOMPARE(narrow.getAttributeLabel(EffectBonus::SavingThrows)->text(), "Saves");
        QCOMPARE(bonus.getAttributeLabel(EffectBonus::SavingThrows)->text(), "Saving Throws");
    }

    void condition()
    {
        RecordingOwner owner;
        EffectCondition condition(&owner, nullptr);
        condition.setupControls();
        QWidget holder;
        adopt(holder, {condition.getConditionCombo(), condition.getCommentEdit()});
        QCOMPARE(condition.getConditionCombo()->itemText(0), "");
        QCOMPARE(condition.getConditionCombo()->itemText(1), "Blinded");
        choose(condition.getConditionCombo(), "Grants Combat Advantage");
        QCOMPARE(condition.getConditionApplied(), CE::GrantsCombatAdvantage);
        QTest::keyClicks(condition.getCommentEdit(), " ab ");
        QCOMPARE(condition.getComment(), " ab ");
        QCOMPARE(owner.changes.size(), 5);
        condition.setCondition(CE::Dazed, "until healed");
        QCOMPARE(condition.getConditionApplied(), CE::Dazed);
        QCOMPARE(condition.getComment(), "until healed");
        QCOMPARE(owner.changes.size(), 5);
    }

    // With an entry for none: only it while nothing lasts; else the end conditions, those naming the origin
    // only with one; a greyed choice goes back.
    void endCondition()
    {
        Fight fight;
        RecordingOwner owner;
        EffectCreatures creatures(false, fight.brena, "", "", {}, {}, &owner);
        EndCondition ending(&owner, nullptr, true);
        ending.setupControls(&creatures);
        QWidget holder;
        adopt(holder, {ending.getEndConditionCombo()});
        DisableComboBox* box = ending.getEndConditionCombo();
        QCOMPARE(entries(box), QStringList({"", "End special (1) (grey)", "End of Brena's next turn (2) (grey)",
                                             "Start of Brena's next turn (3) (grey)", "Save ends (4) (grey)",
                                             "End of encounter (5) (grey)", "End of target's next turn (6) (grey)",
                                             "Start of target's next turn (7) (grey)"}));
        QCOMPARE(ending.getEndConditionApplied(), CE::EndSpecial);
        choose(box, "Save ends (4)");
        QCOMPARE(box->currentIndex(), 0);
        ending.enableEndCondition(true);
        QCOMPARE(box->currentText(), "End special (1)");
        QVERIFY(!box->isIndexEnabled(0));
        choose(box, "Start of Brena's next turn (3)");
        QCOMPARE(ending.getEndConditionApplied(), CE::StartOfOriginsNextTurn);
        QCOMPARE(owner.changes, QList<EffectInterface::What>{EffectInterface::EndConditionChanged});
        ending.enableEndCondition(false);
        QCOMPARE(box->currentIndex(), 0);
        QCOMPARE(ending.getEndConditionApplied(), CE::EndSpecial);

        // Without an origin the entries that name one are greyed and say "next turn".
        Global::encounter->setCreatureList(CreatureList());
        EffectCreatures nobody(false, nullptr, "", "", {}, {}, &owner);
        EndCondition plain(&owner, nullptr, false);
        plain.setupControls(&nobody);
        adopt(holder, {plain.getEndConditionCombo()});
        QCOMPARE(entries(plain.getEndConditionCombo()),
                 QStringList({"End special (1)", "End of next turn (2) (grey)", "Start of next turn (3) (grey)",
                              "Save ends (4)", "End of encounter (5)", "End of target's next turn (6)",
                              "Start of target's next turn (7)"}));
        plain.setEndCondition(CE::EndOfTargetsNextTurn);
        QCOMPARE(plain.getEndConditionApplied(), CE::EndOfTargetsNextTurn);
    }
};

RAVELHORN_TEST_MAIN(QApplication, TestEffectCreatures)
#include "uitest_effectcreatures.moc"
