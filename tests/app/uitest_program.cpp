#include <QApplication>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>

#include "powers/actions.h"
#include "library/characters.h"
#include "editors/characterwindow.h"
#include "encounter/encounter.h"
#include "library/encounters.h"
#include "foundation/global.h"
#include "encounter/history.h"
#include "mainwindow/mainwindow.h"
#include "editors/managerwindow.h"
#include "toolkit/messagedialog.h"
#include "library/monsters.h"
#include "mainwindow/playerswindow.h"
#include "app/program.h"
#include "support/testsupport.h"
#include "foundation/translation.h"

namespace {

// Presses the button of the next message box that carries the given text.
void pressWhenShown(const QString& buttonText)
{
    QTimer::singleShot(0, [buttonText] {
        auto* box = qobject_cast<MessageDialog*>(QApplication::activeModalWidget());
        QVERIFY(box);
        for (QAbstractButton* button : box->buttonBox()->buttons())
            if (button->text() == buttonText)
                button->click();
    });
}

}

class TestProgram : public QObject
{
    Q_OBJECT

private slots:
    void runsAndShutsDownInOrder()
    {
        TemporaryHome home;
        RecordingUiHooks hooks;
        QStringList deleted;
        bool allMade = false;
        bool timerRunning = false;
        QTimer::singleShot(0, [&] {
            allMade = Global::encounter && Global::history && Global::characters && Global::monsters
                && Global::encounters && Global::actions && Global::playersWindow && Global::managerWindow
                && Global::characterWindow && Global::translation && Global::blankPortrait
                && !Global::blankPortrait->isNull() && Global::currentWindow == (QWidget*)Global::mainWindow
                && Global::mainWindow->isVisible();
            timerRunning = Global::mainWindow->refreshTimer()->isActive();
            auto track = [&deleted](QObject* object, const QString& name) {
                QObject::connect(object, &QObject::destroyed, [&deleted, name] { deleted.append(name); });
            };
            track(Global::history, "history");
            track(Global::encounter, "encounter");
            track(Global::characters, "characters");
            track(Global::monsters, "monsters");
            track(Global::playersWindow, "playersWindow");
            track(Global::managerWindow, "managerWindow");
            track(Global::characterWindow, "characterWindow");
            track(Global::encounters, "encounters");
            track(Global::actions, "actions");
            track(Global::mainWindow, "mainWindow");
            QCoreApplication::exit(7);
        });

        CapturedMessages messages;
        int code = Program::run(&hooks);
        QStringList leaks = messages.linesStartingWith("MM:");

        QCOMPARE(code, 7);
        QVERIFY(allMade);
        QVERIFY(timerRunning);
        QCOMPARE(deleted, (QStringList{"history", "encounter", "characters", "monsters", "playersWindow",
                                       "managerWindow", "characterWindow", "encounters", "actions", "mainWindow"}));
        QVERIFY2(leaks.isEmpty(), qPrintable(leaks.join('\n')));
        QVERIFY(!Global::encounter && !Global::history && !Global::actions && !Global::translation);
        QCOMPARE(hooks.windowTitles, QStringList{"Ravelhorn DM's Display"});
        QDir data(home.documents() + "/Ravelhorn Data");
        QVERIFY(Global::isValidRootPath(data));
    }

    void refreshTimerDrivesTheSwitchBoard()
    {
        TemporaryHome home;
        RecordingUiHooks hooks;
        int refreshes = 0;
        auto connection = connect(&Global::switchBoard, &SwitchBoard::doRefreshTimer, [&refreshes] { refreshes++; });
        QTimer::singleShot(1300, [] { QCoreApplication::exit(0); });
        QCOMPARE(Program::run(&hooks), 0);
        disconnect(connection);
        QVERIFY(refreshes >= 1);
    }

    void badRootAlertAnswers()
    {
        Global::currentWindow = nullptr;
        pressWhenShown("Select Folder...");
        QCOMPARE(MessageDialog().badRootAlert("Directory not Found", "text", "Create"), 2);
        pressWhenShown("Continue");
        QCOMPARE(MessageDialog().badRootAlert("No Monsters Found", "text", "Continue"), 1);
        pressWhenShown("Cancel");
        QCOMPARE(MessageDialog().badRootAlert("Directory not Found", "text", "Create"), 0);
        QTimer::singleShot(0, [] { QApplication::activeModalWidget()->close(); });
        QCOMPARE(MessageDialog().badRootAlert("Directory not Found", "text", "Create"), 0);
        pressWhenShown("Save Changes and Quit");
        QVERIFY(MessageDialog().rejectableAlert("Not All Work Saved", "text", "Save Changes and Quit"));
    }

    void eventSignalerPassesEveryEventOn()
    {
        QLineEdit edit;
        EventSignaler signaler;
        edit.installEventFilter(&signaler);
        QSignalSpy spy(&signaler, &EventSignaler::doEventReceived);
        QTest::keyClicks(&edit, "orc");
        QCOMPARE(edit.text(), QString("orc"));
        QVERIFY(spy.count() >= 3);
        QCOMPARE(spy.first().first().value<QObject*>(), &edit);
    }
};

RAVELHORN_TEST_MAIN(QApplication, TestProgram)
#include "uitest_program.moc"
