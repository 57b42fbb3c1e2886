// The monster manager with a demonstration template in its "Edit" and "View"
// tabs, its "Import" tab over a folder of monster files in every state, the
// window narrowed to 960×600 before an import folder is chosen, over a long
// import path, with the widest stat block and with a long encounter file
// name, and the duplicate-name dialog.
#include <QApplication>
#include <QDir>
#include <QListView>
#include <QSplitter>
#include <QTabWidget>

#include "creature/creature.h"
#include "editors/managerwindow.h"
#include "editors/renamedialog.h"
#include "foundation/global.h"
#include "foundation/switchboard.h"
#include "library/encounterdata.h"
#include "library/encounters.h"
#include "library/monsters.h"
#include "screenshots/shotsink.h"

namespace {

void showTab(ManagerWindow* window, int tab)
{
    window->findChild<QTabWidget*>()->setCurrentIndex(tab);
    // A wrapped line settles its height a pass after its width.
    for (int pass = 0; pass < 2; ++pass) {
        emit Global::switchBoard.doRefreshTimer();
        QApplication::processEvents();
    }
}

// Beside the data folder's own files: one changed since, one never imported, a
// text file and a sub-folder.
void fillImportFolder(const QString& folder)
{
    const QString monsters = Global::getCreaturePath(QString(), true);
    QDir(folder).mkdir("Homebrew");
    QFile::copy(monsters + "marsh-raider.rvhn", folder + "/marsh-raider.rvhn");
    QFile::copy(monsters + "ashen-hound.rvhn", folder + "/ashen-hound.rvhn");
    QFile changed(folder + "/ashen-hound.rvhn");
    if (changed.open(QIODevice::Append))
        changed.write("Equipment soot-black collar\n");
    QFile::copy(monsters + "cave-skulker.rvhn", folder + "/Fen Stalker.monster");
    QFile notes(folder + "/notes.txt");
    if (notes.open(QIODevice::WriteOnly))
        notes.write("Raiders on the Mirefen road\n");
}

// As Select Directory... takes a folder: its path in the box, its files in the list.
void chooseImportFolder(ManagerWindow* window, const QString& folder)
{
    window->setImportDir(folder);
    window->setupImportDirPopup();
    window->fillImportDirList();
}

void selectTemplate(ManagerWindow* window, const QString& name)
{
    auto* list = window->findChild<MonsterView*>();
    const int row = Global::monsters->getTemplateIndex(Global::monsters->findTemplate(name));
    list->setCurrentIndex(list->model()->index(row, 0));
}

// Narrowed to half a 1920×1080 screen.
void saveNarrowed(ShotSink& sink, ManagerWindow* window, const QString& name, int tab)
{
    window->resize(960, 600);
    showTab(window, tab);
    sink.save(name, window);
}

void managerShots(ShotSink& sink)
{
    ManagerWindow* window = Global::managerWindow;
    if (!window)
        return;
    auto* splitter = window->findChild<QSplitter*>();
    showAtFirstStartSize(window, splitter);
    selectTemplate(window, "Marsh Raider");
    showTab(window, 0);
    sink.save("manager-edit", window);
    showTab(window, 1);
    sink.save("manager-view", window);
    // Before the user chose an import folder.
    saveNarrowed(sink, window, "manager-import-narrow", 2);

    const QString folder = scratchFolder("monster-import");
    fillImportFolder(folder);
    chooseImportFolder(window, folder);
    showAtFirstStartSize(window, splitter);
    showTab(window, 2);
    sink.save("manager-import", window);
    saveNarrowed(sink, window, "manager-edit-narrow", 0);

    const QString longFolder = folder + "/Monsters of the Mirefen campaign, copied from the game master's notes";
    QDir().mkpath(longFolder);
    fillImportFolder(longFolder);
    chooseImportFolder(window, longFolder);
    saveNarrowed(sink, window, "manager-import-narrow-long-path", 2);
    // The widest stat block of the demonstration data.
    selectTemplate(window, "Cinderwing Drake");
    saveNarrowed(sink, window, "manager-edit-narrow-wide-monster", 0);
    saveNarrowed(sink, window, "manager-view-narrow-wide-monster", 1);
    // The encounter selected under a long file name, which breaks at its hyphens.
    if (EncounterData* ambush = Global::encounters->findEncounter("Bridge Ambush")) {
        const QString file = ambush->getFileName();
        ambush->setFileName("the-raiders-ambush-at-the-old-bridge-over-the-mire.txt");
        window->onEncounterSelectionChanged();
        saveNarrowed(sink, window, "manager-edit-narrow-long-encounter-file", 0);
        ambush->setFileName(file);
        window->onEncounterSelectionChanged();
    }
    window->hide();

    RenameDialog dialog("", "Marsh Raider");
    sink.saveModal("rename-dialog", [&] { dialog.getNewName(); });
}

const ShotRegistration registration("monster manager", managerShots);

}
