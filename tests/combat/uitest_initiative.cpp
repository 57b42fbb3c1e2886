#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QSettings>
#include <QSpinBox>
#include <QToolButton>

#include "combat/initiativedialog.h"
#include "combat/jumpindialog.h"
#include "combattesting.h"
#include "creature/creature.h"
#include "encounter/encounter.h"
#include "encounter/event.h"
#include "library/monsters.h"
#include "mainwindow/creaturewidget.h"
#include "mainwindow/playersbanners.h"
#include "mainwindow/playerswindow.h"

using CombatTesting::PromptAnswerer;
using CombatTesting::runCommand;
using CombatTesting::runPanel;

namespace {

QGroupBox* sideBox(QWidget* content, const QString& title)
{
    for (QGroupBox* box : content->findChildren<QGroupBox*>())
        if (box->title() == title && box->isVisibleTo(content))
            return box;
    return nullptr;
}

QList<QSpinBox*> boxesOf(QWidget* side)
{
    QList<QSpinBox*> boxes;
    for (QSpinBox* box : side->findChildren<QSpinBox*>())
        if (box->isVisibleTo(side))
            boxes << box;
    return boxes;
}

QStringList labelsOf(QWidget* side)
{
    QStringList texts;
    for (QLabel* label : side->findChildren<QLabel*>())
        if (label->isVisibleTo(side))
            texts << label->text();
    return texts;
}

// What the players' "Your Turn!" banner reads.
QString banner()
{
    QCoreApplication::processEvents();
    QStringList texts;
    for (QLabel* label : Global::playersWindow->findChild<YourTurnWidget*>()->findChildren<QLabel*>())
        texts << label->text();
    return texts.join('\n');
}

// The current creature's dock shows the name, at its next refresh.
bool dockShows(const QString& name)
{
    emit Global::switchBoard.doRefreshTimer();
    QCoreApplication::processEvents();
    for (QLabel* label : Global::mainWindow->getCurrentCreatureWidget()->findChildren<QLabel*>())
        if (label->text().contains(name))
            return true;
    return false;
}

void type(QSpinBox* box, int value)
{
    box->selectAll();
    QTest::keyClicks(box, QString::number(value));
}

}

// The initiative panel and the jump-in dialog.
class TestInitiative : public QObject
{
    Q_OBJECT

private:
    WindowWorld* fixture = nullptr;
    Creature* ana = nullptr;
    QList<Creature*> goblins;

    TestWorld& world() { return *fixture->world; }

private slots:
    void init()
    {
        QSettings().remove("initiativeDialog/expandAll");
        fixture = new WindowWorld;
        ana = world().addHero("Ana", 28);
        goblins.clear();
        for (const char* id : {"1", "2", "3"})
            goblins << world().addMonster("Goblin Cutter", id, 20);
    }
    void cleanup()
    {
        delete fixture;
    }

    // Three goblins of a template share one closed cell and one item, so one roll and one tie value.
    void closedGroupSharesOneRoll()
    {
        InitiativeDialog dialog(CreatureList({ana, goblins[0], goblins[1], goblins[2]}));
        QCOMPARE(runPanel(dialog, [&dialog] {
            QWidget* content = dialog.getWidget();
            QCOMPARE(boxesOf(sideBox(content, "Heros")).size(), 1);
            QGroupBox* monsters = sideBox(content, "Monsters");
            QCOMPARE(boxesOf(monsters).size(), 1);
            QVERIFY(labelsOf(monsters).contains("x 3"));
            QVERIFY(labelsOf(monsters).contains("Goblin Cutter (+0)"));
            auto* open = monsters->findChild<QToolButton*>();
            QCOMPARE(open->text(), QString("Open"));
            QCOMPARE(open->toolTip(), QString("Roll initiative once for all monsters in this group"));
            type(boxesOf(monsters).first(), 14);
            QTest::keyClick(boxesOf(monsters).first(), Qt::Key_Return);
        }), 1);
        const InitiativeList monsters = dialog.getMonsterInitiative();
        QCOMPARE(monsters.size(), 1);
        QCOMPARE(monsters.first().name, QString("Goblin Cutter"));
        QCOMPARE(monsters.first().initiative, 14);
        QCOMPARE(dialog.getHeroInitiative().size(), 1);
        QCOMPARE(dialog.getHeroInitiative().first().name, QString("Ana"));
    }

    // New groups start open with the setting; opening copies the shared roll into the first member, closing
    // copies it back; the check box writes the setting and opens every group.
    void openAndClose()
    {
        QSettings().setValue("initiativeDialog/expandAll", true);
        InitiativeDialog dialog(CreatureList({goblins[0], goblins[1], goblins[2]}));
        const InitiativeGroup& group = dialog.getMonsters().getGroup(0);
        QVERIFY(group.open);
        QCOMPARE(runPanel(dialog, [&] {
            QGroupBox* monsters = sideBox(dialog.getWidget(), "Monsters");
            QList<QSpinBox*> boxes = boxesOf(monsters);
            QCOMPARE(boxes.size(), 3);
            type(boxes[0], 17);
            type(boxes[1], 5);
            QTest::mouseClick(monsters->findChild<QToolButton*>(), Qt::LeftButton);
            QCoreApplication::processEvents();
            QVERIFY(!group.open);
            QCOMPARE(group.head.initiative, 17);
            monsters = sideBox(dialog.getWidget(), "Monsters");
            QCOMPARE(boxesOf(monsters).size(), 1);
            QCOMPARE(boxesOf(monsters).first()->value(), 17);
            type(boxesOf(monsters).first(), 9);
            auto* close = monsters->findChild<QToolButton*>();
            QCOMPARE(close->text(), QString("Open"));
            QTest::mouseClick(close, Qt::LeftButton);
            QCoreApplication::processEvents();
            QCOMPARE(group.members[0].initiative, 9);
            QCOMPARE(group.members[1].initiative, 5);
            // Off and on again through the check box: every group follows, and so does the setting.
            QCheckBox* each = nullptr;
            for (QCheckBox* box : dialog.getWidget()->findChildren<QCheckBox*>())
                if (box->isVisibleTo(dialog.getWidget()))
                    each = box;
            QCOMPARE(each->text(), QString("Roll initiative for each monster individually"));
            QTest::mouseClick(each, Qt::LeftButton);
            QCoreApplication::processEvents();
            QVERIFY(!group.open);
            QCOMPARE(QSettings().value("initiativeDialog/expandAll").toBool(), false);
            dialog.accept();
        }), 1);
        QCOMPARE(dialog.getMonsterInitiative().size(), 1);
        QCOMPARE(dialog.getMonsterInitiative().first().initiative, 9);
    }

    // Heroes stand three a line; groups whose names differ in case are two rows of one template.
    void layout()
    {
        QList<Creature*> list;
        for (int i = 1; i <= 7; i++)
            list << world().addHero(QString("Hero %1").arg(i), 20);
        auto* lower = new Creature;
        lower->setupDummyMonster("goblin cutter");
        list << goblins[0] << lower;
        InitiativeDialog dialog{CreatureList(list)};
        QCOMPARE(runPanel(dialog, [&] {
            auto* grid = qobject_cast<QGridLayout*>(sideBox(dialog.getWidget(), "Heros")->layout());
            QCOMPARE(grid->rowCount(), 3);
            QVERIFY(grid->itemAtPosition(1, 2));
            QVERIFY(grid->itemAtPosition(2, 0));
            QVERIFY(!grid->itemAtPosition(2, 1));
            QCOMPARE(labelsOf(sideBox(dialog.getWidget(), "Monsters")).count("Goblin Cutter (+0)"), 2);
            dialog.reject();
        }), 0);
        delete lower;
    }

    // Every roll fits its box, and a negative bonus reads as one; a group without a template is named by its
    // group and shows its first monster.
    void bonusesAndMissingTemplates()
    {
        ana->setInitBonus(-2);
        Creature* tom = world().addHero("Tom & <Jerry>", 30);
        auto* stray = new Creature;
        stray->setupDummyMonster("Marsh Wisp");
        stray->setInitBonus(3);
        // Ana rolls a 1.
        CombatTesting::seedRolling(1);
        InitiativeDialog dialog{CreatureList({ana, tom, stray})};
        QCOMPARE(dialog.getHeroes().getGroup(0).head.initiative, -1);
        QCOMPARE(runPanel(dialog, [&] {
            QWidget* content = dialog.getWidget();
            QVERIFY(labelsOf(sideBox(content, "Heros")).contains("Ana (-2)"));
            QCOMPARE(boxesOf(sideBox(content, "Heros")).first()->value(), -1);
            // Names are no markup here.
            for (QLabel* label : sideBox(content, "Heros")->findChildren<QLabel*>())
                if (label->text().startsWith("Tom"))
                    QCOMPARE(label->textFormat(), Qt::PlainText);
            QVERIFY(labelsOf(sideBox(content, "Heros")).contains("Tom & <Jerry> (+0)"));
            QGroupBox* monsters = sideBox(content, "Monsters");
            QVERIFY(labelsOf(monsters).contains("Marsh Wisp (+3)"));
            QVERIFY(labelsOf(monsters).contains("x 1"));
            boxesOf(monsters).first()->setFocus();
            QCoreApplication::processEvents();
            QVERIFY(dockShows("Marsh Wisp"));
            type(boxesOf(sideBox(content, "Heros")).first(), -5);
            dialog.accept();
        }), 1);
        QCOMPARE(dialog.getHeroInitiative().first().initiative, -5);
        QCOMPARE(dialog.getHeroInitiative()[1].name, QString("Tom & <Jerry>"));
        QCOMPARE(dialog.getMonsterInitiative().first().name, QString("Marsh Wisp"));
        delete stray;
    }

    // The players are asked on a hero's first focus, whatever the box holds; later they see the value.
    void playersAreAsked()
    {
        Creature* bron = world().addHero("Bron", 30);
        Global::encounter->setCreatureList(CreatureList({ana, bron}));
        InitiativeDialog dialog{CreatureList({ana, bron})};
        QCOMPARE(runPanel(dialog, [&] {
            QVERIFY(QTest::qWaitForWindowActive(Global::mainWindow));
            const QList<QSpinBox*> boxes = boxesOf(sideBox(dialog.getWidget(), "Heros"));
            boxes[0]->setFocus();
            QTRY_VERIFY(banner().contains("Initiative?"));
            QVERIFY(banner().contains("<b>Ana</b>"));
            boxes[1]->setFocus();
            QTRY_VERIFY(banner().contains("<b>Bron</b>"));
            type(boxes[1], 12);
            QVERIFY(banner().contains("Initiative <b>12</b>"));
            boxes[0]->setFocus();
            QTRY_VERIFY(banner().contains(QString("Initiative <b>%1</b>").arg(boxes[0]->value())));
            dialog.reject();
        }), 0);
        QVERIFY(!banner().contains("Initiative"));
    }

    // Start Encounter orders by the panel's rolls, the group together.
    void startEncounterOrder()
    {
        Creature* bron = world().addHero("Bron", 30);
        for (Creature* creature : QList<Creature*>{ana, bron} + goblins) {
            TestWorld::giveInitiativeBonus(creature, 0);
        }
        Global::encounter->setCreatureList(CreatureList({ana, goblins[0], bron, goblins[1], goblins[2]}));
        Global::mainWindow->toggleStartStopNextButtons();
        QVERIFY(world().stream());
        QTimer::singleShot(0, [&] {
            QTRY_VERIFY(Global::mainWindow->runningFlatDialog());
            QWidget* content = nullptr;
            for (QGroupBox* box : Global::mainWindow->findChildren<QGroupBox*>())
                if (box->title() == "Heros" && box->isVisible())
                    content = box->parentWidget();
            const QList<QSpinBox*> heroes = boxesOf(sideBox(content, "Heros"));
            type(heroes[0], 5);
            type(heroes[1], 12);
            type(boxesOf(sideBox(content, "Monsters")).first(), 13);
            QTest::keyClick(heroes[1], Qt::Key_Return);
        });
        runCommand("Start Encounter");
        QCOMPARE(Global::encounter->getCreatureList().getNameList(),
            QString("Goblin Cutter (1), Goblin Cutter (2), Goblin Cutter (3), Bron, Ana"));
        QCOMPARE(Global::encounter->getCurrentCreature(), goblins[0]);
        QCOMPARE(TestWorld::eventClass(Global::history->getCurrentEvent()), QString("StartEncounterEvent"));
        for (Creature* goblin : goblins)
            QCOMPARE(goblin->getInitRandom(), goblins[0]->getInitRandom());
    }

    // The entries name the delayed first, then the readied; the pick is the creature of its entry.
    void jumpInEntries()
    {
        Creature* bron = world().addHero("Bron", 30);
        JumpInDialog dialog({bron, goblins[1]}, {ana});
        QComboBox* choice = dialog.getChoice();
        QStringList entries;
        for (int i = 0; i < choice->count(); i++)
            entries << choice->itemText(i);
        QCOMPARE(entries, QStringList({"Bron (Delayed)", "Goblin Cutter (2) (Delayed)", "Ana (Ready'ed)"}));
        QCOMPARE(dialog.getJumpInCreature(), bron);
        choice->setCurrentIndex(2);
        QCOMPARE(dialog.getJumpInCreature(), ana);
        PromptAnswerer answers({PromptAnswerer::escape()});
        QCOMPARE(dialog.exec(), int(QDialog::Rejected));
        QCOMPARE(answers.titles, QStringList({"Jump In"}));
        // Nobody to pick: no creature, not a read before the list.
        QCOMPARE(JumpInDialog({}, {}).getJumpInCreature(), nullptr);
    }
};

RAVELHORN_TEST_MAIN(QApplication, TestInitiative)
#include "uitest_initiative.moc"
