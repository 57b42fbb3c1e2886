// The monster manager and the character creator at the size they open at on
// a 1280×800 screen, and narrowed to 960×600: every text shows whole where
// the layout put it, each measured with its widget's font against the
// rectangle it really got.
#include <QScreen>
#include <QSettings>
#include <QSplitter>
#include <QTabWidget>
#include <QTemporaryDir>

#include "creature/creature.h"
#include "editors/characterwindow.h"
#include "editors/encounterlistmodel.h"
#include "editors/managerwindow.h"
#include "encounter/encounter.h"
#include "library/characters.h"
#include "library/encounterdata.h"
#include "library/encounters.h"
#include "library/monsters.h"
#include "mainwindow/mainwindowtesting.h"
#include "support/cuttexts.h"
#include "support/labelmeasures.h"

class TestEditorLayouts : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(main.loadFolder()); }

    void everyTextShowsWhole_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("tab");
        QTest::addColumn<QSize>("narrowed");
        // At the first-start size, then narrowed to half a 1920×1080 screen.
        for (const QSize narrowed : {QSize(), QSize(960, 600)}) {
            const char* size = narrowed.isValid() ? ", narrowed" : "";
            for (const char* tab : {"Edit", "View", "Import"})
                QTest::addRow("manager, %s%s", tab, size) << "manager" << tab << narrowed;
            for (const char* tab : {"Stat Block Text", "Edit Details", "Import Changes"})
                QTest::addRow("creator, %s%s", tab, size) << "creator" << tab << narrowed;
        }
        // Opened for the first time over an import folder with a long name remembered from an earlier start:
        // the folder box does not ask for its longest entry.
        QTest::newRow("manager, Import, long remembered folder")
                << "manager" << "Import, long remembered folder" << QSize();
    }

    // Whichever entry of its list is selected, the longest names marked
    // unsaved, the window keeps its size and its panes' widths.
    void everyTextShowsWhole()
    {
        QFETCH(QString, window);
        QFETCH(QString, tab);
        QFETCH(QSize, narrowed);
        QStringList parts = tab.split(", ");
        if (parts.removeOne("long remembered folder"))
            QVERIFY(openOverALongFolder());
        tab = parts.join(", ");
        QWidget* shown = window == "manager" ? static_cast<QWidget*>(Global::managerWindow) : Global::characterWindow;
        shown->show();
        QVERIFY(QTest::qWaitForWindowExposed(shown));
        if (narrowed.isValid())
            shown->resize(narrowed);
        const QSize size = narrowed.isValid() ? narrowed : shown->size();
        const QRect screen = shown->screen()->availableGeometry();
        QVERIFY(shown->width() <= screen.width() && shown->height() <= screen.height());
        auto* tabs = shown->findChild<QTabWidget*>();
        for (int index = 0; index < tabs->count(); ++index)
            if (tabs->tabText(index) == tab)
                tabs->setCurrentIndex(index);
        QCOMPARE(tabs->tabText(tabs->currentIndex()), tab);
        Global::monsters->findTemplate("Pendulum Blade Trap")->setDirty(true);
        Global::characters->findCharacter("Oriel Fenwhistle")->setDirty(true);
        Global::encounters->getEncounter(0)->setDirty(true);
        auto* tree = Global::managerWindow->findChild<EncounterView*>();
        tree->expandAll();
        select(tree, 0);
        // A long file name breaks at its hyphens.
        static_cast<EncounterListModel*>(tree->model())->getSelectedEncounter()->setFileName(
                "the-raiders-ambush-at-the-old-bridge-over-the-mire.txt");
        Global::managerWindow->onEncounterSelectionChanged();
        auto* list = shown->findChild<NameListView*>();
        auto* splitter = shown->findChild<QSplitter*>();
        QList<int> widths;
        for (int row = 0; row < list->model()->rowCount(); ++row) {
            select(list, row);
            redrawAtTicks();
            if (widths.isEmpty())
                widths = splitter->sizes();
            QCOMPARE(shown->size(), size);
            QCOMPARE(splitter->sizes(), widths);
            // A figure parted from its label ("XP" over "1000") is whole, yet reads as two texts.
            const QStringList cut = cutTexts(shown) + partedFigures(shown);
            QVERIFY2(cut.isEmpty(), qPrintable(list->model()->index(row, 0).data().toString() + ":\n" + cut.join("\n")));
        }
        shown->hide();
    }

private:
    // A new main window, and with it a new manager, on a long import folder
    // and no stored manager geometry, as after a start that chose that folder
    // and never showed the manager.
    bool openOverALongFolder()
    {
        const QString folder = importFolder.filePath(
                "Monsters of the Mirefen campaign, gathered from the game master's notes, the published adventures "
                "and the stories the players told of the fens");
        if (!QDir().mkpath(folder))
            return false;
        QSettings settings;
        settings.setValue("importMonsterDir/path", folder);
        settings.remove("managerWindow");
        main.restart();
        return main.loadFolder();
    }

    static void select(QAbstractItemView* view, int row)
    {
        view->selectionModel()->select(view->model()->index(row, 0), QItemSelectionModel::ClearAndSelect);
    }

    QTemporaryDir importFolder;
    WindowUnderTest main{QSize()};
};

RAVELHORN_TEST_MAIN_ON_SCREEN(TestEditorLayouts, QSize(1280, 800))

#include "uitest_editorlayouts.moc"
