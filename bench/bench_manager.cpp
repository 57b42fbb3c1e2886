// The monster manager over 2,000 templates and 200 encounters: one keystroke
// that renames a template used in 50 encounters, with the re-read of the text,
// the re-sort of the list and the redraw (goal: under 16 ms); and the import
// list filled over a folder of 500 imported files (goal: under 0.5 s).

#include <QApplication>
#include <QElapsedTimer>
#include <QListView>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTest>

#include <algorithm>
#include <cstdio>

#include "benchsizes.h"
#include "creature/creature.h"
#include "editors/managerwindow.h"
#include "foundation/global.h"
#include "foundation/progress.h"
#include "library/encounterdata.h"
#include "library/encounters.h"
#include "library/monsters.h"
#include "support/testsupport.h"
#include "support/testworld.h"

namespace {

const char* const kinds[] = {"Goblin", "Orc", "Kobold", "Drake", "Hag", "Rat", "Skulker", "Wight"};

QString templateName(int i)
{
    return QString("%1 %2 %3").arg(kinds[i % 8]).arg(i / 8).arg(i % 3 ? "Raider" : "Archer");
}

// Files in "Monsters" for the first, templates only in memory for the rest.
void addTemplates(const QString& root, int count, int files)
{
    const QString raider = QString::fromUtf8(
        TestSupport::readFile(Global::getResourcePath() + "/demo-data/Monsters/marsh-raider.rvhn"));
    for (int i = 0; i < files; i++)
        TestSupport::writeFile(QString("%1/Monsters/m%2.rvhn").arg(root).arg(i),
                               QString(raider).replace("Marsh Raider", templateName(i)).toUtf8());
    Monsters loaded;
    Progress progress;
    loaded.loadTemplates(root, root, &progress);
    Global::monsters->newMonsters(&loaded);
    for (int i = files; i < count; i++) {
        CreatureStats stats;
        Creature::parseStatBlock(true, QString(raider).replace("Marsh Raider", templateName(i)), stats, QString(),
                                 QString(), true);
        auto* monster = new Creature;
        monster->setStats(stats);
        Global::monsters->addTemplate(monster);
    }
}

void addEncounters(int count, const QString& used, int usedIn)
{
    for (int i = 0; i < count; i++) {
        auto* encounter = new EncounterData;
        encounter->setName(QString("Encounter %1").arg(i));
        for (int id = 1; id <= 4; id++)
            encounter->addCreature({i < usedIn ? used : templateName(i * 7), QString::number(id), QString(), false});
        Global::encounters->addEncounter(encounter);
    }
}

void printTimes(const char* what, QList<double> times, double goal, const char* unit)
{
    std::sort(times.begin(), times.end());
    double sum = 0;
    for (double time : times)
        sum += time;
    printf("%s: mean %.2f %s, median %.2f %s, worst %.2f %s (goal %.1f %s)\n", what, sum / times.size(), unit,
           times[times.size() / 2], unit, times.last(), unit, goal, unit);
}

void keystrokeFigures(ManagerWindow& window, const QString& renamed)
{
    auto* list = window.findChild<MonsterView*>();
    const int row = Global::monsters->getTemplateIndex(Global::monsters->findTemplate(renamed));
    list->setCurrentIndex(list->model()->index(row, 0));
    QApplication::processEvents();
    QPlainTextEdit* pane = nullptr;
    for (QPlainTextEdit* candidate : window.findChildren<QPlainTextEdit*>())
        if (!candidate->isHidden() && candidate->toolTip().startsWith("Copy the text"))
            pane = candidate;
    pane->moveCursor(QTextCursor::Start);
    QList<double> keystrokes;
    QList<double> redraws;
    // "Z" sends the template to the end of the list, Backspace brings it back.
    for (int pass = 0; pass < 20; pass++) {
        for (int key : {int(Qt::Key_Z), int(Qt::Key_Backspace)}) {
            QElapsedTimer timer;
            timer.start();
            if (key == Qt::Key_Z)
                QTest::keyClicks(pane, "Z");
            else
                QTest::keyClick(pane, Qt::Key_Backspace);
            QApplication::processEvents();
            keystrokes.append(timer.nsecsElapsed() / 1e6);
            // The template's display is drawn at the next refresh tick, however many keys came before it.
            timer.restart();
            emit Global::switchBoard.doRefreshTimer();
            QApplication::processEvents();
            redraws.append(timer.nsecsElapsed() / 1e6);
        }
    }
    printf("%d templates, %d encounters, the renamed one in 50\n", Global::monsters->getTemplateCount(),
           Global::encounters->getEncounterCount());
    printTimes("rename per keystroke (parse, re-sort, list and text redrawn)", keystrokes, 16, "ms");
    printTimes("template display redrawn at the refresh tick", redraws, 16, "ms");
}

void importListFigures(ManagerWindow& window, const QString& root)
{
    window.setImportDir(root + "/Monsters");
    QList<double> fills;
    for (int pass = 0; pass < 5; pass++) {
        QElapsedTimer timer;
        timer.start();
        window.fillImportDirList();
        fills.append(timer.nsecsElapsed() / 1e9);
    }
    printf("%d entries\n", window.findChild<QListWidget*>()->count());
    printTimes("import list of 500 imported files", fills, 0.5, "s");
}

}

int main(int argc, char** argv)
{
    TestSupport::isolateEnvironment();
    QApplication app(argc, argv);
    Global::init();
    CreatureDisplay::setupStyles();
    {
        TestWorld world;
        Global::encounters = new Encounters;
        const int templates = benchSizes(argc, argv, 2000).first();
        addTemplates(world.root(), templates, 500);
        const QString renamed = templateName(templates / 2);
        addEncounters(200, renamed, 50);
        ManagerWindow window;
        window.resize(1180, 720);
        window.show();
        QApplication::processEvents();
        keystrokeFigures(window, renamed);
        importListFigures(window, world.root());
        delete Global::encounters;
        Global::encounters = nullptr;
    }
    Global::exit();
    return 0;
}
