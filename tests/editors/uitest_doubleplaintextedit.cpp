#include <QApplication>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>

#include "editors/doubleplaintextedit.h"
#include "support/testsupport.h"

class TestDoublePlainTextEdit : public QObject
{
    Q_OBJECT

private slots:
    void reportsOnlyTheUsersEdits()
    {
        QWidget window;
        DoublePlainTextEdit edit;
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(edit.getTextEdit1());
        layout->addWidget(edit.getTextEdit2());
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QPlainTextEdit* first = edit.getTextEdit1();
        QPlainTextEdit* second = edit.getTextEdit2();
        QVERIFY(first->isVisible() && !second->isVisible() && edit.toPlainText().isEmpty());

        QSignalSpy changes(&edit, &DoublePlainTextEdit::doTextChanged);
        edit.setPlainText("Goblin");
        QVERIFY(!first->isVisible() && second->isVisible());
        edit.setPlainText("Orc Raider");
        QVERIFY(first->isVisible() && !second->isVisible());
        QCOMPARE(first->toPlainText(), QString("Orc Raider"));
        QCOMPARE(edit.toPlainText(), QString("Orc Raider"));
        QCOMPARE(changes.count(), 0);

        edit.setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), first);
        edit.selectAll();
        QTest::keyClicks(first, "Hob");
        QCOMPARE(changes.count(), 3);
        QCOMPARE(edit.toPlainText(), QString("Hob"));
        QCOMPARE(second->toPlainText(), QString("Goblin"));

        // The hidden pane is ready for its turn.
        edit.setEnabled(false);
        edit.setToolTip("Paste here");
        edit.setPlainText("Wraith");
        QVERIFY(second->isVisible() && !second->isEnabled() && !first->isEnabled());
        QCOMPARE(second->toolTip(), QString("Paste here"));
        QCOMPARE(first->toolTip(), QString("Paste here"));
        QCOMPARE(changes.count(), 3);
    }
};

RAVELHORN_TEST_MAIN(QApplication, TestDoublePlainTextEdit)
#include "uitest_doubleplaintextedit.moc"
