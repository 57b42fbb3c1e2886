// The character creator's powers tab: a power clicked in the stat block is
// programmed in the power editor, and the edits reach the character's stat
// block once they pause; powers replaced under the editor never reach it.
#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>

#include "editors/creatortesting.h"
#include "encounter/encounter.h"
#include "encounter/encounterevents.h"
#include "encounter/restevents.h"
#include "mainwindow/creaturedisplay.h"
#include "support/cuttexts.h"
#include "mainwindow/mainwindowtesting.h"
#include "mainwindow/powerlabel.h"
#include "powerdialog/powerdialogtesting.h"
#include "powerdialog/powerwidget.h"
#include "powers/powerstep.h"
#include "support/testsupport.h"

namespace {

class PowersWorld
{
public:
    PowersWorld()
    {
        QVERIFY(main.loadFolder());
        creator.window->show();
        creator.window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(creator.window));
    }

    // Clicks the power's title in the stat block beside the list.
    void clickPower(const QString& name) const
    {
        emit Global::switchBoard.doRefreshTimer();
        for (PowerLabel* label : creator.window->findChildren<PowerLabel*>())
            if (label->isVisible() && label->text().contains(name)) {
                QTest::mouseClick(label, Qt::LeftButton);
                // The click is handed on once its own handler has returned.
                QTRY_COMPARE(creator.tabs()->currentIndex(), 2);
                return;
            }
        QFAIL(qPrintable("no power " + name));
    }
    // The hero selected and his power clicked in the stat block.
    Creature* program(const QString& hero, const QString& power) const
    {
        if (!creator.select(hero))
            return nullptr;
        clickPower(power);
        return creator.selected();
    }
    // The editor the tab shows; the ones it left are out of the tab.
    PowerWidget* editor() const { return creator.tabs()->widget(2)->findChild<PowerWidget*>(); }
    QList<QSpinBox*> fields() const
    {
        return editor()->getTabWidget()->currentWidget()->findChildren<QSpinBox*>();
    }
    QString tamsinFile() const { return QDir(main.root()).filePath("Imports/tamsin.dnd4e"); }
    // Tamsin from the builder file, selected, a damage step added to one of her powers.
    Creature* tamsinProgrammed()
    {
        QDir(main.root()).mkpath("Imports");
        if (!QFile::copy(QString(RAVELHORN_BUILDERFILES) + "/hero.dnd4e", tamsinFile()))
            return nullptr;
        hooks.openFileAnswer = tamsinFile();
        creator.button("Add From File...")->click();
        Creature* tamsin = creator.selected();
        clickPower("Tide of Iron");
        editor()->getAddButton(PowerStep::Damage)->click();
        return tamsin;
    }

    RecordingUiHooks hooks;
    WindowUnderTest main;
    Creator creator{Global::characterWindow};
};

}

class TestCharacterPowers : public QObject
{
    Q_OBJECT

private slots:
    // The stat blocks beside the list draw with the program's colours.
    void initTestCase() { CreatureDisplay::setupStyles(); }

    void powersTabKeepsEveryTextWhole_data()
    {
        QTest::addColumn<bool>("tabFirst");
        QTest::newRow("the tab shown before a character is chosen") << true;
        QTest::newRow("a power clicked in the stat block") << false;
    }

    // The power's name in its combo box and every button's text whole, the
    // add buttons taking more rows as the window narrows.
    void powersTabKeepsEveryTextWhole()
    {
        QFETCH(bool, tabFirst);
        PowersWorld world;
        if (tabFirst) {
            world.creator.tabs()->setCurrentIndex(2);
            QCoreApplication::processEvents();
        }
        QVERIFY(world.program("Idrel Vane", "Word of Mending"));
        QWidget* tab = world.creator.tabs()->widget(2);
        int lastRows = 0;
        for (int width : {1600, 1000, 853}) {
            world.creator.window->resize(width, 611);
            for (int settle = 0; settle < 3; settle++)
                QCoreApplication::processEvents();
            const QStringList cut = cutTexts(tab);
            QVERIFY2(cut.isEmpty(), qPrintable(cut.join("; ")));
            const int rows = PowerDialogTesting::addButtonRows(world.editor());
            QVERIFY2(rows >= lastRows, qPrintable(QString::number(width)));
            lastRows = rows;
        }
        QVERIFY(lastRows > 2);
    }

    void editsReachTheStatBlockOnceAfterThePause()
    {
        PowersWorld world;
        Creator& c = world.creator;
        Creature* idrel = world.program("Idrel Vane", "Word of Mending");
        QVERIFY(idrel);
        QCOMPARE(c.tabs()->currentIndex(), 2);
        PowerWidget* editor = world.editor();
        QVERIFY(editor);

        // Another list shown is no change of the program.
        editor->setStepType(Power::Effect);
        QCOMPARE(world.editor(), editor);
        QCoreApplication::processEvents();
        QCOMPARE(world.editor(), editor);
        QVERIFY(!idrel->isDirty());

        const QString before = idrel->getStatBlock();
        QSignalSpy written(idrel, &Creature::doCreatureUpdated);
        QSpinBox* field = world.fields().value(0);
        QVERIFY(field);
        for (int i = 0; i < 3; i++)
            QTest::keyClick(field, Qt::Key_Up);
        QCOMPARE(idrel->getStatBlock(), before);
        QTRY_VERIFY(idrel->isDirty());
        QCOMPARE(written.count(), 1);
        QVERIFY(idrel->getStatBlock() != before);
        QCOMPARE(c.pane()->toPlainText(), idrel->getStatBlock());
        QCOMPARE(c.row(idrel), QString("Idrel Vane*"));
        QVERIFY(c.button("Save All")->isEnabled());
        QCOMPARE(world.editor(), editor);

        // Changed and changed back before the check: nothing to write.
        QTest::keyClick(field, Qt::Key_Up);
        QTest::keyClick(field, Qt::Key_Down);
        c.window->hide();
        QCOMPARE(written.count(), 1);
    }

    void hidingWithinTheDelayKeepsTheEdit()
    {
        PowersWorld world;
        Creator& c = world.creator;
        QVERIFY(world.program("Idrel Vane", "Word of Mending"));
        world.editor()->setStepType(Power::Effect);
        QTest::keyClick(world.fields().value(0), Qt::Key_Up);
        c.window->hide();
        QVERIFY(c.selected()->isDirty());
    }

    void stepsAddedMovedAndDeleted()
    {
        PowersWorld world;
        Creator& c = world.creator;
        Creature* idrel = world.program("Idrel Vane", "Word of Mending");
        QVERIFY(idrel);
        world.editor()->setStepType(Power::Effect);
        CreaturePower* power = idrel->getPowers().getPowerByName("Word of Mending");
        const int steps = power->program.getStepCount(Power::Effect);

        c.window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(c.window));
        PowerWidget* before = world.editor();
        before->getAddButton(PowerStep::Damage)->click();
        QCOMPARE(power->program.getStepCount(Power::Effect), steps + 1);
        // The editor stays, with the one row added; the list stays, the new step has the focus.
        QCOMPARE(world.editor(), before);
        QCOMPARE(world.editor()->getStepType(), Power::Effect);
        PowerStep* added = power->program.getStep(steps, Power::Effect);
        QTRY_VERIFY(added->hasFocus());

        added->getUpButton()->click();
        QCOMPARE(power->program.getStep(steps - 1, Power::Effect), added);
        QCOMPARE(world.editor()->getStepType(), Power::Effect);
        QTRY_VERIFY(added->hasFocus());

        added->deleteClicked();
        QCOMPARE(power->program.getStepCount(Power::Effect), steps);
        QCOMPARE(world.editor()->getStepType(), Power::Effect);
        QTRY_VERIFY(idrel->isDirty() || idrel->getStatBlock() == idrel->getBeforeStatBlock());
    }

    void headerEdited()
    {
        PowersWorld world;
        Creator& c = world.creator;
        QVERIFY(world.program("Idrel Vane", "Word of Mending"));
        PowerWidget* before = world.editor();
        {
            BoxAnswerer answerer(true);
            for (QPushButton* button : before->findChildren<QPushButton*>())
                if (button->isVisible() && button->isEnabled() && button->text().contains("Edit")) {
                    button->click();
                    break;
                }
            // The command runs once the click has returned.
            QTRY_COMPARE(answerer.titles.size(), 1);
        }
        QTRY_VERIFY(world.editor() != before);
        // The header is stored over the power, its steps too: the editor is built anew on it.
        QVERIFY(world.editor() != before);
        QCOMPARE(world.editor()->getStepType(), Power::Hit);
    }

    void powersReplacedUnderTheEditor_data()
    {
        QTest::addColumn<QString>("replacement");
        QTest::newRow("re-import") << "re-import";
        QTest::newRow("stat block typed") << "stat block typed";
        QTest::newRow("extended rest") << "extended rest";
        QTest::newRow("other character") << "other character";
    }
    void powersReplacedUnderTheEditor()
    {
        QFETCH(QString, replacement);
        auto world = std::make_unique<PowersWorld>();
        Creator& c = world->creator;
        Creature* tamsin = world->tamsinProgrammed();
        QVERIFY(tamsin);
        c.window->runPendingPowerCheck();
        QVERIFY(tamsin->save());
        const CreaturePower* edited = tamsin->getPowers().getPowerByName("Tide of Iron");
        QCOMPARE(edited->program.getStepCount(Power::Hit), 1);
        QVERIFY(world->editor());

        if (replacement == "re-import") {
            c.imports()->getRefreshButton()->click();
        } else if (replacement == "stat block typed") {
            c.writeable()->click();
            c.pane()->setPlainText(QString(tamsin->getStatBlock()).replace("Tamsin Reedwell", "Tamsin Blackwell"));
            QCOMPARE(tamsin->getName(), QString("Tamsin Blackwell"));
        } else if (replacement == "extended rest") {
            tamsin->setLinked(true, false);
            startWithHero(tamsin);
            ExtendedRestEvent::refreshLinkedFiles({tamsin});
            QVERIFY(Global::history->apply(new ExtendedRestEvent({tamsin}, Global::history->getStream(false)), false));
        } else {
            QVERIFY(c.select("Idrel Vane"));
            QVERIFY(c.select(tamsin->getName()));
            world->clickPower("Tide of Iron");
        }
        // The editor is built again on the power the character has now, the steps carried over.
        QTRY_VERIFY(world->editor() && world->editor()->isVisible());
        CreaturePower* now = tamsin->getPowers().getPowerByName("Tide of Iron");
        QVERIFY(now);
        QCOMPARE(now->program.getStepCount(Power::Hit), 1);
        QCOMPARE(c.tabs()->currentIndex(), 2);
        QSpinBox* field = world->fields().value(0);
        QVERIFY(field);
        QTest::keyClick(field, Qt::Key_Up);
        QTRY_VERIFY(tamsin->isDirty());
        // Editing once more, then quitting with the check pending.
        QTest::keyClick(field, Qt::Key_Up);
        world.reset();
    }

private:
    static void startWithHero(Creature* hero)
    {
        Global::encounter->setCreatureList(CreatureList({hero}));
        QVERIFY(Global::history->apply(
            new StartEncounterEvent({{hero->getName(), 12, 1}}, {}, Global::history->getStream(false)), false));
    }
};

RAVELHORN_TEST_MAIN(QApplication, TestCharacterPowers)
#include "uitest_characterpowers.moc"
