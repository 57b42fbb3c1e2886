// The healing-surge choices of the conditions-and-effects dialog: what the
// targets allow, greyed beyond it, preselected, and relabelled by the value.

#include <QApplication>
#include <QTest>

#include "combat/effecthealing.h"
#include "creature/creature.h"
#include "encounter/encounter.h"
#include "foundation/global.h"
#include "powerdialog/effectcreatures.h"
#include "support/testsupport.h"
#include "support/testworld.h"

namespace {

// A target: its surge value and its surges left of the most it has.
struct Target
{
    int value;
    int left;
    int most;
};

// Each entry as "text=data", greyed ones marked.
QStringList entries(DisableComboBox* box)
{
    QStringList texts;
    for (int i = 0; i < box->count(); i++)
        texts.append(QString("%1=%2%3").arg(box->itemText(i), box->itemData(i).toString(),
                                            box->isIndexEnabled(i) ? "" : " (grey)"));
    return texts;
}

// The four widgets are laid out by the dialog; here a holder takes them.
struct Healing
{
    Healing(const QList<Target>& targets, int surgesAdded)
    {
        QList<Creature*> creatures;
        for (int i = 0; i < targets.size(); i++) {
            Creature* hero = world.addHero(QString("Hero %1").arg(i), 40, targets[i].most);
            hero->setSurgeValue(targets[i].value);
            hero->setCurrHealingSurges(targets[i].left);
            creatures.append(hero);
        }
        Global::encounter->setCreatureList(CreatureList(creatures));
        EffectCreatures chosen(false, nullptr, "", "", creatures, {}, nullptr);
        healing.setupControls(chosen, surgesAdded, EffectHealing::OwnSurgeValue, 0, 0);
        const QList<QWidget*> widgets{healing.healingSurgesCombo, healing.surgeValueSpin, healing.healSpin,
                                      healing.tempHPSpin};
        for (QWidget* widget : widgets)
            widget->setParent(&holder);
    }

    TestWorld world;
    EffectHealing healing;
    QWidget holder;
};

}

Q_DECLARE_METATYPE(QList<Target>)

class TestEffectHealing : public QObject
{
    Q_OBJECT

private slots:
    void choices_data()
    {
        QTest::addColumn<QList<Target>>("targets");
        QTest::addColumn<int>("surgesAdded");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<int>("current");
        QTest::addColumn<bool>("comboEnabled");
        QTest::addColumn<bool>("valueEnabled");
        QTest::newRow("values 5 and 7")
            << QList<Target>{{5, 2, 4}, {7, 3, 5}} << 0
            << QStringList{"Gain 1=1", "=0", "Use 1 (+5 or 7 HP)=-1000", "Lose 1=-1"} << 1 << true << false;
        QTest::newRow("values 5, 7 and 9")
            << QList<Target>{{9, 2, 4}, {5, 3, 5}, {7, 1, 2}} << 0
            << QStringList{"Gain 1=1", "=0", "Use 1 (+5, 7 or 9 HP)=-1000", "Lose 1=-1"} << 1 << true << false;
        QTest::newRow("none missing")
            << QList<Target>{{6, 3, 3}} << 0
            << QStringList{"=0", "Use 1 (+6 HP)=-1", "Use 2 (+12 HP)=-2", "Use 3 (+18 HP)=-3"} << 0 << true << true;
        QTest::newRow("seven of ten")
            << QList<Target>{{8, 7, 10}} << 0
            << QStringList{"Gain 3=3", "Gain 2=2", "Gain 1=1", "=0", "Use 1 (+8 HP)=-1", "Use 2 (+16 HP)=-2",
                           "Use 3 (+24 HP)=-3", "Use 4 (+32 HP)=-4", "Use 5 (+40 HP)=-5", "Use 6 (+48 HP)=-6",
                           "Use 7 (+56 HP)=-7"}
            << 3 << true << true;
        QTest::newRow("none left, shared value")
            << QList<Target>{{8, 0, 2}} << 0 << QStringList{"Gain 2=2", "Gain 1=1", "=0"} << 2 << true << true;
        QTest::newRow("none left, values differ")
            << QList<Target>{{5, 0, 2}, {7, 3, 5}} << 0 << QStringList{"Gain 1=1", "=0"} << 1 << true << false;
        QTest::newRow("second without a value")
            << QList<Target>{{5, 2, 4}, {0, 3, 5}} << 0 << QStringList{"=0"} << 0 << false << false;
        QTest::newRow("nobody") << QList<Target>{} << 0 << QStringList{"=0"} << 0 << false << false;
        QTest::newRow("five asked, two missing")
            << QList<Target>{{8, 3, 5}} << 5
            << QStringList{"Gain 5=5 (grey)", "Gain 4=4 (grey)", "Gain 3=3 (grey)", "Gain 2=2", "Gain 1=1", "=0",
                           "Use 1 (+8 HP)=-1", "Use 2 (+16 HP)=-2", "Use 3 (+24 HP)=-3"}
            << 0 << true << true;
    }
    // The choices, the one preselected and which boxes take input.
    void choices()
    {
        QFETCH(QList<Target>, targets);
        QFETCH(int, surgesAdded);
        QFETCH(QStringList, expected);
        QFETCH(int, current);
        QFETCH(bool, comboEnabled);
        QFETCH(bool, valueEnabled);
        Healing healing(targets, surgesAdded);
        EffectHealing& controls = healing.healing;
        QCOMPARE(entries(controls.healingSurgesCombo), expected);
        QCOMPARE(controls.healingSurgesCombo->currentIndex(), current);
        QCOMPARE(controls.getHealingSurgesAdded(), surgesAdded);
        QCOMPARE(controls.healingSurgesCombo->isEnabled(), comboEnabled);
        QCOMPARE(controls.surgeValueSpin->isEnabled(), valueEnabled);
        // A shared value of 120 is shown and spent as it is.
        QCOMPARE(controls.surgeValueSpin->maximum(), 500);
        QCOMPARE(controls.tempHPSpin->maximum(), 500);
        QCOMPARE(controls.healSpin->maximum(), 500);
    }

    // The spend choices follow the value the game master types.
    void relabelling()
    {
        Healing healing({{120, 3, 4}}, 0);
        EffectHealing& controls = healing.healing;
        QCOMPARE(controls.surgeValueSpin->value(), 120);
        QCOMPARE(controls.healingSurgesCombo->itemText(2), "Use 1 (+120 HP)");
        controls.surgeValueSpin->setValue(0);
        controls.surgeValueTouched();
        QCOMPARE(entries(controls.healingSurgesCombo),
                 QStringList({"Gain 1=1", "=0", "Lose 1=-1", "Lose 2=-2", "Lose 3=-3"}));
        controls.surgeValueSpin->selectAll();
        QTest::keyClicks(controls.surgeValueSpin, "4");
        controls.surgeValueTouched();
        QCOMPARE(controls.healingSurgesCombo->itemText(3), "Use 2 (+8 HP)");
    }
};

RAVELHORN_TEST_MAIN(QApplication, TestEffectHealing)
#include "uitest_effecthealing.moc"
