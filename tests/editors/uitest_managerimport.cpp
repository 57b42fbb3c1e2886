#include <QComboBox>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QSettings>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QToolButton>

#include <utility>

#include "editors/librarylistmodels.h"
#include "foundation/progress.h"
#include "editorstesting.h"

namespace {

const QByteArray bogWisp = "<?xml version=\"1.0\"?>\n<Monster xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
                           "xsi:type=\"Monster\">\n  <Name>Bog Wisp</Name>\n  <Level>3</Level>\n</Monster>\n";

// The import tab of a manager over a folder of monster files: the icons are
// named by their image's file name.
class ImportTab
{
public:
    explicit ImportTab(ManagerWorld& w) : w(w)
    {
        const QString raider = Global::getResourcePath() + "/demo-data/Monsters/marsh-raider.rvhn";
        QDir(folder.path()).mkpath("A/B");
        QDir(folder.path()).mkpath("C");
        TestSupport::writeFile(path("b.monster"), bogWisp);
        TestSupport::writeFile(path("c.txt"), TestSupport::readFile(raider).replace("Marsh Raider", "Reed Stalker"));
        TestSupport::writeFile(path("Template Golem.monster"), bogWisp);
        QFile::copy(raider, path("marsh-raider.rvhn"));
        QFile huge(path("huge.monster"));
        huge.open(QIODevice::WriteOnly);
        huge.resize(16 * 1024 * 1024 + 1);
        huge.close();
        list = w.window->findChild<QListWidget*>();
        popup = w.button("Previous")->parentWidget()->findChild<QComboBox*>();
        w.window->findChild<QTabWidget*>()->setCurrentIndex(2);
        w.window->setImportDir(folder.path());
        w.window->setupImportDirPopup();
        w.window->fillImportDirList();
    }

    QString path(const QString& name) const { return folder.path() + "/" + name; }

    // "name icon" per entry.
    QString shown() const
    {
        static const QStringList icons{"folder", "blank-doc", "blank-import-doc", "blank-import-mod-doc",
                                       "monster-doc", "imported-doc", "imported-doc-mod"};
        QStringList entries;
        for (int row = 0; row < list->count(); row++) {
            QListWidgetItem* item = list->item(row);
            const QImage image = item->icon().pixmap(16).toImage();
            QString icon = "?";
            for (const QString& name : icons)
                if (QIcon(":/images/" + name + ".png").pixmap(16).toImage() == image)
                    icon = name;
            entries.append(item->text() + " " + icon);
        }
        return entries.join(", ");
    }
    QListWidgetItem* item(const QString& name) const { return list->findItems(name, Qt::MatchExactly).value(0); }
    void doubleClick(const QString& name) const
    {
        QListWidgetItem* entry = item(name);
        QVERIFY2(entry, qPrintable(name));
        const QPoint centre = list->visualItemRect(entry).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, centre);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, centre);
    }
    QString folderShown() const { return popup->currentText(); }

    ManagerWorld& w;
    QTemporaryDir folder;
    QListWidget* list = nullptr;
    QComboBox* popup = nullptr;
};

QStringList monsterFiles(const ManagerWorld& w)
{
    return QDir(w.monstersFolder()).entryList(QDir::Files, QDir::Name);
}

}

class TestManagerImport : public QObject
{
    Q_OBJECT

private slots:
    void init() { QSettings().clear(); }

    // Imported, edited, re-imported: the marks follow the template.
    void importsAndMarksTheFiles()
    {
        ManagerWorld w;
        ImportTab tab(w);
        QCOMPARE(tab.shown(), QString("A folder, b.monster monster-doc, C folder, c.txt blank-doc, huge.monster monster-doc, "
                                      "marsh-raider.rvhn blank-import-doc, Template Golem.monster monster-doc"));

        tab.doubleClick("b.monster");
        QTRY_VERIFY(tab.shown().contains("b.monster imported-doc"));
        QVERIFY(QFile::exists(w.monstersFolder() + "/b.monster"));
        Creature* wisp = Global::monsters->findTemplate("Bog Wisp");
        QVERIFY(wisp && !wisp->isNew() && !wisp->isDirty());
        QVERIFY2(w.shownTemplates().contains("[Bog Wisp]"), qPrintable(w.shownTemplates()));

        w.window->findChild<QTabWidget*>()->setCurrentIndex(0);
        QPlainTextEdit* pane = w.statBlockPane();
        pane->moveCursor(QTextCursor::End);
        QTest::keyClick(pane, Qt::Key_Return);
        QTest::keyClicks(pane, "Equipment lantern");
        QVERIFY(wisp->isDirty());
        w.window->findChild<QTabWidget*>()->setCurrentIndex(2);
        QVERIFY2(tab.shown().contains("b.monster imported-doc-mod"), qPrintable(tab.shown()));

        // A text stat block, through the selection.
        tab.item("c.txt")->setSelected(true);
        QTest::mouseClick(w.button("Import Selection"), Qt::LeftButton);
        QVERIFY2(tab.shown().contains("c.txt blank-import-doc"), qPrintable(tab.shown()));
        QVERIFY(Global::monsters->findTemplate("Reed Stalker"));

        // A re-import puts the file's text back: the template is clean again.
        tab.doubleClick("b.monster");
        QTRY_VERIFY(tab.shown().contains("b.monster imported-doc,"));
        QVERIFY(!wisp->isDirty());
        QCOMPARE(w.statBlockPane()->toPlainText(), wisp->getStatBlock());
        QVERIFY(w.hooks.alerts.isEmpty());
    }

    // What the loader would not take is refused before anything is copied.
    void refusesWhatCannotBeImported()
    {
        ManagerWorld w;
        ImportTab tab(w);
        Creature* raider = Global::monsters->findTemplate("Marsh Raider");
        raider->setDeleted(true);
        static_cast<TemplateListModel*>(w.list()->model())->removeTemplate(raider, true, false);
        const QStringList files = monsterFiles(w);
        const int templates = Global::monsters->getTemplateCount();

        for (const QString& name : {"A", "huge.monster", "marsh-raider.rvhn", "Template Golem.monster"})
            tab.item(name)->setSelected(true);
        QVERIFY(w.button("Import Selection")->isEnabled());
        QTest::mouseClick(w.button("Import Selection"), Qt::LeftButton);
        QStringList told;
        for (const RecordingUiHooks::Message& alert : w.hooks.alerts)
            told.append(alert.title);
        QCOMPARE(told, (QStringList{"Cannot Import huge.monster", "Cannot Import marsh-raider.rvhn",
                                    "Cannot Import Template Golem.monster"}));
        QVERIFY(w.hooks.alerts[0].text.contains("monster file: The file is larger than 16 MB."));
        QVERIFY(w.hooks.alerts[1].text.contains("already holds a file called <b>marsh-raider.rvhn</b>"));
        QCOMPARE(monsterFiles(w), files);
        QCOMPARE(Global::monsters->getTemplateCount(), templates);
        // The folder was not entered.
        QVERIFY(tab.item("A"));
    }

    void movesThroughFoldersAndItsHistory()
    {
        ManagerWorld w;
        ImportTab tab(w);
        QToolButton* previous = qobject_cast<QToolButton*>(w.button("Previous"));
        QToolButton* next = qobject_cast<QToolButton*>(w.button("Next"));
        const QString top = tab.folderShown();
        tab.doubleClick("A");
        QTRY_COMPARE(tab.shown(), QString("B folder"));
        QCOMPARE(tab.folderShown(), QString("A"));
        QVERIFY(previous->isEnabled() && !next->isEnabled());
        QTest::mouseClick(previous, Qt::LeftButton);
        QCOMPARE(tab.folderShown(), top);
        QVERIFY(next->isEnabled());
        QTest::mouseClick(next, Qt::LeftButton);
        QCOMPARE(tab.folderShown(), QString("A"));
        QTest::mouseClick(previous, Qt::LeftButton);
        // A third folder drops the way forward.
        tab.doubleClick("C");
        QTRY_COMPARE(tab.folderShown(), QString("C"));
        QVERIFY(!next->isEnabled());
        QCOMPARE(QSettings().value("importMonsterDir/path").toString(), tab.path("C"));

        // The first item of the path stands for the root of the file system.
        tab.popup->setCurrentIndex(0);
        emit tab.popup->activated(0);
        QCOMPARE(tab.popup->count(), 1);
        QVERIFY(tab.item("tmp"));

        // At most a hundred folders are remembered.
        for (int visited = 0; visited < 101; visited++)
            w.window->setImportDir(tab.path(QString::number(visited)));
        for (int step = 0; step < 99; step++)
            QTest::mouseClick(previous, Qt::LeftButton);
        QCOMPARE(tab.folderShown(), QString("1"));
        QVERIFY(!previous->isEnabled());
    }

    void choosesTheFolderInADialog()
    {
        ManagerWorld w;
        ImportTab tab(w);
        QString openedIn;
        auto choose = [&](QDialog* dialog) {
            auto* files = qobject_cast<QFileDialog*>(dialog);
            openedIn = files->directory().path();
            auto* name = files->findChild<QLineEdit*>("fileNameEdit");
            name->setText(tab.path("A/B"));
            QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
            QApplication::sendEvent(name, &enter);
        };
        QCOMPARE(answeringDialogs([&] { QTest::mouseClick(w.button("Select Directory..."), Qt::LeftButton); }, choose),
                 1);
        QCOMPARE(openedIn, tab.folder.path());
        QCOMPARE(tab.folderShown(), QString("B"));
        QCOMPARE(tab.shown(), QString());
        QTest::mouseClick(w.button("Previous"), Qt::LeftButton);
        QVERIFY(tab.item("A"));
    }

    // With no import folder stored, the data folder once it is loaded.
    void startsInTheDataFolder()
    {
        TestWorld world;
        // The window is made before the data folder is opened.
        const QString root = std::exchange(Global::nativeRootPath, QString());
        ManagerWindow window;
        QCOMPARE(QSettings().value("importMonsterDir/path").toString(), QString());
        Global::nativeRootPath = root;
        window.dataFolderLoaded();
        QCOMPARE(QSettings().value("importMonsterDir/path").toString(), root);
        QCOMPARE(window.findChild<QListWidget*>()->findItems("Monsters", Qt::MatchExactly).size(), 1);
    }
};

RAVELHORN_TEST_MAIN(QApplication, TestManagerImport)
#include "uitest_managerimport.moc"
