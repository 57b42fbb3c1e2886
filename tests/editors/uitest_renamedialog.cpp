#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "creature/creature.h"
#include "editors/renamedialog.h"
#include "library/monsters.h"
#include "support/testsupport.h"
#include "support/testworld.h"

namespace {

Creature* addTemplate(const QString& group)
{
    auto* monster = new Creature;
    monster->setupDummyMonster(group);
    Global::monsters->addTemplate(monster);
    return monster;
}

QPushButton* okButton(QWidget* dialog)
{
    for (QPushButton* button : dialog->findChildren<QPushButton*>())
        if (button->text() == "OK")
            return button;
    return nullptr;
}

}

class TestRenameDialog : public QObject
{
    Q_OBJECT

private slots:
    void acceptsOnlyAFreeName_data()
    {
        QTest::addColumn<QString>("allowed");
        QTest::addColumn<bool>("renamingGoblin");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("free");
        QTest::addColumn<QString>("result");
        QTest::newRow("untouched") << "" << false << "-" << false << "";
        QTest::newRow("other case") << "" << false << "GOBLIN" << false << "";
        QTest::newRow("blanks around") << "" << false << "  Goblin " << false << "";
        QTest::newRow("allowed") << "Goblin" << false << "Goblin" << true << "Goblin";
        QTest::newRow("allowed, other case") << "Goblin" << false << "goblin" << false << "";
        QTest::newRow("deleted, unsaved") << "" << false << "Wraith" << false << "";
        QTest::newRow("empty") << "" << false << "" << false << "";
        QTest::newRow("blanks only") << "" << false << "   " << false << "";
        QTest::newRow("free, trimmed") << "" << false << "  Hobgoblin " << true << "Hobgoblin";
        QTest::newRow("the renamed template itself") << "" << true << "GOBLIN" << true << "GOBLIN";
    }

    // Typed in the dialog, then Return; a dialog Return did not end is cancelled with Escape.
    void acceptsOnlyAFreeName()
    {
        QFETCH(QString, allowed);
        QFETCH(bool, renamingGoblin);
        QFETCH(QString, typed);
        QFETCH(bool, free);
        QFETCH(QString, result);
        TestWorld world;
        Creature* goblin = addTemplate("Goblin");
        addTemplate("Wraith")->setDeleted(true);
        RenameDialog dialog(allowed, "Goblin", renamingGoblin ? goblin : nullptr);
        bool okEnabled = true;
        bool okDefault = true;
        bool endedByReturn = false;
        QTimer::singleShot(0, [&] {
            QWidget* shown = QApplication::activeModalWidget();
            auto* edit = shown->findChild<QLineEdit*>();
            QCOMPARE(edit->selectedText(), QString("Goblin"));
            if (typed != "-") {
                QTest::keyClick(edit, Qt::Key_Backspace);
                QTest::keyClicks(edit, typed);
            }
            okEnabled = okButton(shown)->isEnabled();
            okDefault = okButton(shown)->isDefault();
            QTest::keyClick(edit, Qt::Key_Return);
            endedByReturn = !shown->isVisible();
            if (!endedByReturn)
                QTest::keyClick(edit, Qt::Key_Escape);
        });
        QCOMPARE(dialog.getNewName(), result);
        QCOMPARE(okEnabled, free);
        QCOMPARE(okDefault, free);
        QCOMPARE(endedByReturn, free);
        QCOMPARE(dialog.windowTitle(), QString("Duplicate Monster Name"));
    }

    void escapesTheClashingName()
    {
        TestWorld world;
        RenameDialog dialog("", "Orc <b>& Co");
        QStringList texts;
        for (QLabel* label : dialog.findChildren<QLabel*>())
            texts.append(label->text());
        QVERIFY2(texts.join('\n').contains("<b>Orc &lt;b&gt;&amp; Co</b>"), qPrintable(texts.join('\n')));
    }
};

RAVELHORN_TEST_MAIN(QApplication, TestRenameDialog)
#include "uitest_renamedialog.moc"
