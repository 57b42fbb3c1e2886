// The alias dialog on its own, driven by keys and clicks as the game master
// answers it.
#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>

#include "combat/setaliasdialog.h"
#include "creature/creature.h"
#include "support/keyboardfocus.h"
#include "support/testsupport.h"
#include "support/testworld.h"

namespace {

// Creatures named in a case: "Name" plain, "Name=alias" showing it, "Name~alias" hiding it.
QList<Creature*> makeCreatures(TestWorld& world, const QStringList& specs)
{
    QList<Creature*> creatures;
    for (const QString& spec : specs) {
        const QStringList parts = spec.split(QRegularExpression("[=~]"));
        Creature* creature = world.addHero(parts.first(), 30);
        if (parts.size() > 1) {
            creature->setAlias(parts.last());
            creature->setShowAlias(spec.contains('='));
        }
        creatures.append(creature);
    }
    return creatures;
}

QPushButton* okButton(SetAliasDialog& dialog)
{
    return dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
}

}

class TestAliasDialog : public QObject
{
    Q_OBJECT

private slots:
    // What the dialog shows for its creatures, and what it hands back for each way of answering it.
    void answers_data()
    {
        QTest::addColumn<QStringList>("creatures");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("edit");
        QTest::addColumn<bool>("checked");
        QTest::addColumn<bool>("removable");
        QTest::addColumn<QString>("steps");
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("action");
        QTest::addColumn<QString>("alias");
        QTest::newRow("one without alias, OK") << QStringList{"Ana"} << "<b>Set Alias</b> for Ana:" << "Ana"
                                               << true << false << "type:Shade ok" << 1 << 1 << "Shade";
        QTest::newRow("one with a hidden alias, Return") << QStringList{"Ana~Shade"} << "<b>Set Alias</b> for Ana:"
                                                         << "Shade" << false << true << "return" << 1 << 2 << "Shade";
        QTest::newRow("three, one showing an alias") << QStringList{"Ana", "Bron=Rook", "Cal"}
                                                     << "<b>Set Alias</b> for Ana, Bron, Cal:" << "" << true << true
                                                     << "ok" << 1 << 1 << "";
        QTest::newRow("unchecked before OK") << QStringList{"Ana"} << "<b>Set Alias</b> for Ana:" << "Ana" << true
                                             << false << "type:Mask toggle ok" << 1 << 2 << "Mask";
        QTest::newRow("Remove Alias whatever the box says") << QStringList{"Ana=Shade", "Bron"}
                                                            << "<b>Set Alias</b> for Ana, Bron:" << "" << true << true
                                                            << "type:Kept toggle remove" << 1 << 3 << "Kept";
        QTest::newRow("Cancel") << QStringList{"Ana"} << "<b>Set Alias</b> for Ana:" << "Ana" << true << false
                                << "type:Shade cancel" << 0 << 1 << "Shade";
        QTest::newRow("Escape") << QStringList{"Ana"} << "<b>Set Alias</b> for Ana:" << "Ana" << true << false
                                << "escape" << 0 << 1 << "Ana";
        QTest::newRow("names stay text") << QStringList{"<i>Zed</i>"} << "<b>Set Alias</b> for &lt;i&gt;Zed&lt;/i&gt;:"
                                         << "<i>Zed</i>" << true << false << "ok" << 1 << 1 << "<i>Zed</i>";
    }

    void answers()
    {
        QFETCH(QStringList, creatures);
        QFETCH(QString, label);
        QFETCH(QString, edit);
        QFETCH(bool, checked);
        QFETCH(bool, removable);
        QFETCH(QString, steps);
        QFETCH(int, code);
        QFETCH(int, action);
        QFETCH(QString, alias);
        TestWorld world;
        SetAliasDialog dialog(makeCreatures(world, creatures));
        QStringList labels;
        for (QLabel* l : dialog.findChildren<QLabel*>())
            labels << l->text();
        QCOMPARE(labels, QStringList{label});
        QCOMPARE(dialog.windowTitle(), QString("Set Alias"));
        QLineEdit* aliasEdit = dialog.getAliasEdit();
        auto answer = [&] {
            VERIFY_FOCUS(aliasEdit);
            QCOMPARE(aliasEdit->text(), edit);
            QCOMPARE(aliasEdit->selectedText(), edit);
            QCOMPARE(aliasEdit->placeholderText(), QString("Enter an Alias"));
            QCOMPARE(aliasEdit->toolTip(), QString("Enter an alias"));
            QCOMPARE(dialog.getEnableCheck()->isChecked(), checked);
            QCOMPARE(dialog.getEnableCheck()->text(), QString("Enable alias"));
            QCOMPARE(dialog.getRemoveButton()->isEnabled(), removable);
            // A window manager puts a resize handle under a dialog that can be resized.
            QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
            for (const QString& step : steps.split(' ')) {
                if (step.startsWith("type:"))
                    QTest::keyClicks(aliasEdit, step.mid(5));
                else if (step == "toggle")
                    QTest::keyClick(dialog.getEnableCheck(), Qt::Key_Space);
                else if (step == "remove")
                    QTest::mouseClick(dialog.getRemoveButton(), Qt::LeftButton);
                else if (step == "ok")
                    QTest::mouseClick(okButton(dialog), Qt::LeftButton);
                else if (step == "cancel")
                    dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel)->click();
                else
                    QTest::keyClick(aliasEdit, step == "return" ? Qt::Key_Return : Qt::Key_Escape);
            }
        };
        QTimer::singleShot(0, &dialog, [&] {
            answer();
            // A failed step leaves the dialog open.
            if (dialog.isVisible())
                dialog.reject();
        });
        QCOMPARE(dialog.exec(), code);
        QString text;
        QCOMPARE(dialog.getNewAlias(text), action);
        QCOMPARE(text, alias);
        // Decided once: the box changed afterwards does not change the answer.
        dialog.getEnableCheck()->toggle();
        QCOMPARE(dialog.getNewAlias(text), action);
    }
};

RAVELHORN_TEST_MAIN(QApplication, TestAliasDialog)
#include "uitest_aliasdialog.moc"
