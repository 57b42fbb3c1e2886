#include <QApplication>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include "creature/creature.h"
#include "encounter/encounter.h"
#include "foundation/global.h"
#include "library/characters.h"
#include "mainwindow/mainwindow.h"
#include "support/keyboardfocus.h"
#include "support/testsupport.h"
#include "toolkit/amountpanel.h"

class TestFlatDialog : public QObject
{
    Q_OBJECT

private:
    MainWindow* window = nullptr;
    Creature* hero = nullptr;

private slots:
    void initTestCase()
    {
        Global::init();
        window = new MainWindow;
        window->show();
        QVERIFY(QTest::qWaitForWindowActive(window));
        hero = new Creature;
        hero->setupDummyHero("Ana");
        hero->setMaxHitPoints(30);
        hero->setCurrHitPoints(30);
        Global::characters->addCharacter(hero);
        Global::encounter->setCreatureList(CreatureList({hero}));
        Global::encounter->setSelectedCreatures({hero});
    }

    void cleanupTestCase()
    {
        window->shutdown();
        delete window;
        Global::exit();
    }

    // Each row drives a running panel with a few steps and expects its result.
    void runsInsideTheMainWindow_data()
    {
        QTest::addColumn<bool>("withButtons");
        QTest::addColumn<QString>("steps");
        QTest::addColumn<int>("result");
        QTest::newRow("Return presses OK") << true << "Return" << 1;
        QTest::newRow("Return without a default button") << false << "Return" << 1;
        QTest::newRow("Escape") << true << "Escape" << 0;
        QTest::newRow("done(3)") << true << "done3" << 3;
        QTest::newRow("cancel request") << true << "cancel" << 0;
        QTest::newRow("Return while OK is disabled") << true << "disableOk Return check Escape" << 0;
        QTest::newRow("a second panel") << true << "second check Return" << 1;
        QTest::newRow("rebuilt content") << true << "rebuild check Escape" << 0;
    }

    void runsInsideTheMainWindow()
    {
        QFETCH(bool, withButtons);
        QFETCH(QString, steps);
        QFETCH(int, result);
        hero->setDeltaCurrHealth(-7, 0, 0);
        QCOMPARE(hero->getCurrHitPoints(), 23);

        auto* panel = new AmountPanel(withButtons);
        QPointer<QWidget> shown = panel->getWidget();
        QPointer<QWidget> replaced;
        bool focused = false, visible = false, running = false;
        QTimer::singleShot(0, [&] {
            focused = KeyboardFocus::waitForFocus(panel->amount);
            visible = shown->isVisible() && shown->window() == window;
            for (const QString& step : steps.split(' ')) {
                running = window->runningFlatDialog();
                if (step == "Return" || step == "Escape")
                    KeyboardFocus::press(window, step == "Return" ? Qt::Key_Return : Qt::Key_Escape);
                else if (step == "done3")
                    panel->done(3);
                else if (step == "cancel")
                    window->cancelFlatDialog();
                else if (step == "disableOk")
                    panel->buttons->button(QDialogButtonBox::Ok)->setEnabled(false);
                else if (step == "second")
                    QCOMPARE(AmountPanel(true).exec(), 0);
                else if (step == "rebuild") {
                    replaced = panel->getWidget();
                    panel->setLayout(panel->vLayout(false, false, new QSpinBox));
                    shown = panel->getWidget();
                    window->setFlatDialogDisplay(shown, false);
                    QVERIFY(replaced);
                    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
                } else if (step == "check") {
                    QVERIFY(shown && shown->isVisible());
                    QVERIFY(window->runningFlatDialog());
                }
            }
        });
        QCOMPARE(panel->exec(), result);
        QVERIFY(focused && visible && running);
        QVERIFY(!window->runningFlatDialog() && !shown->isVisible());
        QCOMPARE(hero->getCurrHitPoints(), 30);
        delete panel;
        QVERIFY(!shown);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!replaced);
    }
};

RAVELHORN_TEST_MAIN(QApplication, TestFlatDialog)
#include "uitest_flatdialog.moc"
