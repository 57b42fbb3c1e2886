// The monster manager's encounter tree and editor with an encounter and with
// one of its monsters selected, the delete prompt, and the alert of a "Save
// All" that could not write a file.
#include <QApplication>
#include <QDir>
#include <QSplitter>

#include "app/windowhooks.h"
#include "editors/encounterlistmodel.h"
#include "editors/managerwindow.h"
#include "editors/pendingchanges.h"
#include "foundation/global.h"
#include "foundation/switchboard.h"
#include "library/encounterdata.h"
#include "library/encounters.h"
#include "screenshots/shotsink.h"

namespace {

void selectPath(ManagerWindow* window, const EncounterPath& path)
{
    auto* tree = window->findChild<EncounterView*>();
    auto* model = qobject_cast<EncounterListModel*>(tree->model());
    tree->expandAll();
    model->setSelectedPath(path, true);
    emit Global::switchBoard.doRefreshTimer();
    QApplication::processEvents();
}

void managerEncounterShots(ShotSink& sink)
{
    ManagerWindow* window = Global::managerWindow;
    const int ambush = Global::encounters->getEncounterIndex(Global::encounters->findEncounter("Bridge Ambush"));
    if (!window || ambush < 0)
        return;
    window->show();
    window->resize(1180, 720);
    window->findChild<QSplitter*>()->setSizes({190, 430, 220, 340});
    bringToFront(window);
    selectPath(window, {ambush, -1, -1});
    sink.save("manager-encounter", window);
    // The second raider, who has an alias.
    selectPath(window, {ambush, 0, 1});
    sink.save("manager-monster", window);

    // Cancelled: nothing is deleted.
    selectPath(window, {ambush, -1, -1});
    sink.saveModal("delete-prompt", [&] { window->onDeleteEncounter(); });
    window->hide();

    // A folder standing where the file goes gives the alert a real error.
    const QString folder = scratchFolder("save-failed");
    QDir(folder).mkdir("bridge-ambush.txt");
    Global::saveFile(folder + "/bridge-ambush.txt", "name=Bridge Ambush\r\n");
    const QString failure = PendingChanges::failure("Bridge Ambush", "bridge-ambush.txt", Global::lastFileError());
    WindowHooks hooks;
    Global::setUiHooks(&hooks);
    sink.saveModal("save-failed", [&] { PendingChanges::tellFailures({failure}); });
    Global::setUiHooks(nullptr);
}

const ShotRegistration registration("monster manager encounters", managerEncounterShots);

}
