// The monster manager and the character creator at the size they open at on
// a 1280×800 screen: every text shows whole where the layout put it, each
// measured with its widget's font against the rectangle it really got.
#include <QScreen>
#include <QSplitter>
#include <QTabWidget>

#include "creature/creature.h"
#include "editors/characterwindow.h"
#include "editors/managerwindow.h"
#include "encounter/encounter.h"
#include "library/characters.h"
#include "library/encounterdata.h"
#include "library/encounters.h"
#include "library/monsters.h"
#include "mainwindow/mainwindowtesting.h"
#include "support/cuttexts.h"

class TestEditorLayouts : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(main.loadFolder()); }

    void everyTextShowsWhole_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("tab");
        for (const char* tab : {"Edit", "View", "Import"})
            QTest::newRow(qPrintable(QString("manager, ") + tab)) << "manager" << tab;
        for (const char* tab : {"Stat Block Text", "Edit Details", "Import Changes"})
            QTest::newRow(qPrintable(QString("creator, ") + tab)) << "creator" << tab;
    }

    // Whichever entry of its list is selected, the longest names marked
    // unsaved, the window at its first-start size keeps its panes' widths.
    void everyTextShowsWhole()
    {
        QFETCH(QString, window);
        QFETCH(QString, tab);
        QWidget* shown = window == "manager" ? static_cast<QWidget*>(Global::managerWindow) : Global::characterWindow;
        shown->show();
        QVERIFY(QTest::qWaitForWindowExposed(shown));
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
        auto* list = shown->findChild<NameListView*>();
        auto* splitter = shown->findChild<QSplitter*>();
        QList<int> widths;
        for (int row = 0; row < list->model()->rowCount(); ++row) {
            select(list, row);
            settle();
            if (widths.isEmpty())
                widths = splitter->sizes();
            QCOMPARE(splitter->sizes(), widths);
            const QStringList cut = cutTexts(shown);
            QVERIFY2(cut.isEmpty(), qPrintable(list->model()->index(row, 0).data().toString() + ":\n" + cut.join("\n")));
        }
        shown->hide();
    }

private:
    static void select(QAbstractItemView* view, int row)
    {
        view->selectionModel()->select(view->model()->index(row, 0), QItemSelectionModel::ClearAndSelect);
    }

    WindowUnderTest main{QSize()};
};

RAVELHORN_TEST_MAIN_ON_SCREEN(TestEditorLayouts, QSize(1280, 800))

#include "uitest_editorlayouts.moc"
