#include <QClipboard>
#include <QLineEdit>
#include <QSettings>
#include <QSplitter>
#include <QToolButton>

#include "editors/librarylistmodels.h"
#include "editors/renamedialog.h"
#include "foundation/progress.h"
#include "editorstesting.h"

namespace {

// Types the name into the duplicate-name dialog and presses Return; "" cancels.
std::function<void(QDialog*)> renameTo(const QString& name)
{
    return [name](QDialog* dialog) {
        auto* edit = dialog->findChild<QLineEdit*>();
        if (name.isEmpty() || !edit)
            return;
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClicks(edit, name);
        QTest::keyClick(edit, Qt::Key_Return);
    };
}

void selectText(QPlainTextEdit* pane, int from, int to)
{
    QTextCursor cursor = pane->textCursor();
    cursor.setPosition(from);
    cursor.setPosition(to, QTextCursor::KeepAnchor);
    pane->setTextCursor(cursor);
}

QString firstLine(const QString& text)
{
    return text.section('\n', 0, 0);
}

}

class TestManagerWindow : public QObject
{
    Q_OBJECT

private slots:
    void init() { QSettings().clear(); }

    void newTemplatesAreNumberedSelectedAndMarked()
    {
        ManagerWorld w;
        QVERIFY(!w.button("Delete")->isEnabled() && !w.button("Add")->isEnabled());
        QVERIFY(!w.button("Save All")->isEnabled() && !w.button("Revert All")->isEnabled());
        for (int made = 0; made < 3; made++)
            QTest::mouseClick(w.button("New"), Qt::LeftButton);
        QVERIFY2(w.shownTemplates().contains("New Monster*, New Monster 1*, [New Monster 2*]"),
                 qPrintable(w.shownTemplates()));
        QCOMPARE(Global::monsters->getCounts()->newCount, 3);
        QVERIFY(w.button("Delete")->isEnabled() && w.button("Add")->isEnabled());
        QVERIFY(w.button("Save All")->isEnabled() && w.button("Revert All")->isEnabled());
        // Ready to be typed over.
        QPlainTextEdit* pane = w.statBlockPane();
        QTRY_COMPARE(QApplication::focusWidget(), pane);
        QCOMPARE(pane->textCursor().selectedText().size(), pane->toPlainText().size());
        QVERIFY(pane->toPlainText().startsWith("New Monster 2"));
    }

    void newAndPasteReadsTheClipboard_data()
    {
        QTest::addColumn<QString>("clipboard");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<int>("dialogs");
        QTest::addColumn<QString>("created");
        QTest::addColumn<QString>("kept");
        const QString raider = TestSupport::readFile(Global::getResourcePath() + "/demo-data/Monsters/marsh-raider.rvhn");
        const QString stalker = QString(raider).replace("Marsh Raider", "Fen Stalker");
        const QString bragging = raider + "Description Marsh Raiders boast of the Marsh Raider's spear.\n";
        QTest::newRow("a stat block") << stalker << "" << 0 << "Fen Stalker" << "Fen Stalker (Leader)";
        QTest::newRow("prose") << "Two raiders waited by the ford." << "" << 0 << "Invalid Stat Block"
                               << "Two raiders waited by the ford.";
        QTest::newRow("a clash, renamed") << bragging << "Fen Raider" << 1 << "Fen Raider"
                                          << "Marsh Raiders boast of the Fen Raider's spear.";
        QTest::newRow("a clash, cancelled") << raider << "" << 1 << "" << "";
    }

    void newAndPasteReadsTheClipboard()
    {
        QFETCH(QString, clipboard);
        QFETCH(QString, answer);
        QFETCH(int, dialogs);
        QFETCH(QString, created);
        QFETCH(QString, kept);
        ManagerWorld w;
        const int before = Global::monsters->getTemplateCount();
        QGuiApplication::clipboard()->setText(clipboard);
        QCOMPARE(answeringDialogs([&] { QTest::mouseClick(w.button("New && Paste"), Qt::LeftButton); },
                                  renameTo(answer)),
                 dialogs);
        QCOMPARE(Global::monsters->getTemplateCount(), before + (created.isEmpty() ? 0 : 1));
        if (created.isEmpty())
            return;
        QVERIFY2(w.shownTemplates().contains("[" + created + "*]"), qPrintable(w.shownTemplates()));
        Creature* made = Global::monsters->findTemplate(created);
        QVERIFY(made->isNew() && made->isDirty());
        QVERIFY2(made->getStatBlock().contains(kept), qPrintable(made->getStatBlock()));
        QCOMPARE(w.statBlockPane()->toPlainText(), made->getStatBlock());
    }

    // Every keystroke re-reads the text: the name follows, the list re-sorts
    // and the template stays selected; the text as saved is clean again.
    void typingRenamesTheTemplate()
    {
        ManagerWorld w;
        w.click("Marsh Raider");
        Creature* raider = Global::monsters->findTemplate("Marsh Raider");
        QPlainTextEdit* pane = w.statBlockPane();
        pane->moveCursor(QTextCursor::Start);
        QTest::keyClicks(pane, "Z");
        QCOMPARE(raider->getGroup(), QString("ZMarsh Raider"));
        QVERIFY2(w.shownTemplates().endsWith("[ZMarsh Raider*]"), qPrintable(w.shownTemplates()));
        QVERIFY(w.button("Save All")->isEnabled());
        QTest::keyClick(pane, Qt::Key_Backspace);
        QVERIFY2(w.shownTemplates().contains("Hollow Priest, [Marsh Raider], Mire"), qPrintable(w.shownTemplates()));
        QVERIFY(!raider->isDirty() && !w.button("Save All")->isEnabled());

        // Only the case: the template does not clash with itself.
        pane->moveCursor(QTextCursor::Start);
        pane->moveCursor(QTextCursor::Right, QTextCursor::KeepAnchor);
        QCOMPARE(answeringDialogs([&] { QTest::keyClicks(pane, "m"); }, renameTo("")), 0);
        QCOMPARE(raider->getGroup(), QString("marsh Raider"));
        QCOMPARE(firstLine(pane->toPlainText()), QString("marsh Raider (Leader) Level 2 Soldier"));
        QVERIFY2(w.shownTemplates().contains("[marsh Raider*]"), qPrintable(w.shownTemplates()));
        QCOMPARE(w.list()->selectionModel()->selectedIndexes().size(), 1);
    }

    // Spelling another template's name asks for another at that keystroke;
    // Cancel drops the keystroke, a free name replaces the typed one as a whole word.
    void typingATakenNameAsksForAnother()
    {
        ManagerWorld w;
        w.click("Hollow Priest");
        Creature* priest = Global::monsters->findTemplate("Hollow Priest");
        QPlainTextEdit* pane = w.statBlockPane();
        selectText(pane, 0, QString("Hollow Priest").size());
        QCOMPARE(answeringDialogs([&] { QTest::keyClicks(pane, "Marsh Raide"); }, renameTo("")), 0);
        QCOMPARE(answeringDialogs([&] { QTest::keyClicks(pane, "r"); }, renameTo("")), 1);
        QCOMPARE(priest->getGroup(), QString("Marsh Raide"));
        // The stored text came back in the other pane, which has the focus.
        pane = w.statBlockPane();
        QCOMPARE(pane->toPlainText(), priest->getStatBlock());
        QCOMPARE(w.window->focusWidget(), pane);
        selectText(pane, QString("Marsh Raide").size(), QString("Marsh Raide").size());
        QCOMPARE(answeringDialogs([&] { QTest::keyClicks(pane, "r"); }, renameTo("Fen Raider")), 1);
        QCOMPARE(priest->getGroup(), QString("Fen Raider"));
        pane = w.statBlockPane();
        QCOMPARE(firstLine(pane->toPlainText()), QString("Fen Raider Level 3 Controller"));
        QCOMPARE(pane->toPlainText(), priest->getStatBlock());
        QVERIFY2(w.shownTemplates().contains("[Fen Raider*]"), qPrintable(w.shownTemplates()));
    }

    void aDeletedUnsavedNameIsRefused()
    {
        ManagerWorld w;
        // A name that rich text would take for markup.
        Creature* hound = Global::monsters->findTemplate("Ashen Hound");
        CreatureStats stats = hound->getStats();
        stats.group = "Hound <&> Kin";
        hound->setStats(stats);
        auto* model = static_cast<TemplateListModel*>(w.list()->model());
        model->moveTemplate(hound);
        hound->setDeleted(true);
        model->removeTemplate(hound, true, false);
        w.click("Marsh Raider");
        Creature* raider = Global::monsters->findTemplate("Marsh Raider");
        QPlainTextEdit* pane = w.statBlockPane();
        selectText(pane, 0, QString("Marsh Raider").size());
        QTest::keyClicks(pane, "Hound <&> Kin");
        QCOMPARE(w.hooks.alerts.size(), 1);
        QCOMPARE(w.hooks.alerts[0].title, QString("Duplicate Hound <&> Kin"));
        QVERIFY(w.hooks.alerts[0].text.contains("deleted a monster called <b>Hound &lt;&amp;&gt; Kin</b>"));
        QCOMPARE(raider->getGroup(), QString("Hound <&> Ki"));
        QCOMPARE(w.statBlockPane()->toPlainText(), raider->getStatBlock());
        QVERIFY(!w.shownTemplates().contains("Kin,"));
    }

    void aPortraitComesFromTheFileAnswer()
    {
        ManagerWorld w;
        w.click("Cave Skulker");
        Creature* skulker = Global::monsters->findTemplate("Cave Skulker");
        const QString picture = w.world.root() + "/skulker.png";
        QVERIFY(QFile::copy(":/images/hero-shield.png", picture));
        w.hooks.openFileAnswer = picture;
        QToolButton* portrait = nullptr;
        for (QToolButton* button : w.window->findChildren<QToolButton*>())
            if (button->statusTip() == "Click to select a portrait...")
                portrait = button;
        QTest::mouseClick(portrait, Qt::LeftButton);
        QCOMPARE(skulker->getPortraitFile(), QString("skulker.png"));
        QVERIFY(QFile::exists(w.world.root() + "/Portraits/skulker.png"));
        QVERIFY(skulker->isDirty() && w.button("Save All")->isEnabled());
        QVERIFY(w.shownTemplates().contains("[Cave Skulker*]"));
        QCOMPARE(w.statBlockPane()->toPlainText(), skulker->getStatBlock());
        QVERIFY(skulker->getStatBlock().contains("skulker.png"));
    }

    void aReloadSelectsNothing()
    {
        ManagerWorld w;
        w.click("Grave Lurker");
        QVERIFY(w.button("Delete")->isEnabled() && w.statBlockPane()->isEnabled());
        w.reload();
        QVERIFY(!w.shownTemplates().contains("["));
        QVERIFY(!w.button("Delete")->isEnabled() && !w.statBlockPane()->isEnabled());
        QVERIFY(w.statBlockPane()->toPlainText().isEmpty());
    }

    // Stored when hidden and when destroyed open, restored when shown.
    void keepsItsGeometryAndSplitterSizes()
    {
        QList<int> stored;
        {
            ManagerWorld w;
            auto* splitter = w.window->findChild<QSplitter*>();
            w.window->resize(1100, 640);
            splitter->setSizes({0, 400, 200, 300});
            const QList<int> collapsed = splitter->sizes();
            QCOMPARE(collapsed.first(), 0);
            w.window->hide();
            splitter->setSizes({250, 250, 250, 250});
            w.window->show();
            QCOMPARE(splitter->sizes(), collapsed);
            QCOMPARE(w.window->size(), QSize(1100, 640));
            splitter->setSizes({100, 500, 100, 300});
            stored = splitter->sizes();
        }
        QVariantList sizes = QSettings().value("managerWindow/splitterSizes").toList();
        QCOMPARE(sizes.size(), 4);
        for (int pane = 0; pane < 4; pane++)
            QCOMPARE(sizes[pane].toInt(), stored[pane]);
        ManagerWorld again;
        QCOMPARE(again.window->findChild<QSplitter*>()->sizes(), stored);
    }
};

RAVELHORN_TEST_MAIN(QApplication, TestManagerWindow)
#include "uitest_managerwindow.moc"
