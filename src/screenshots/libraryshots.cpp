// The dialogs of loading and switching the data folder: the progress
// dialog, the unsaved-work question, a missing library folder, a start that
// can make no data folder (with a remembered folder gone, too), and the reset
// question of Load Encounter.
#include <QDir>
#include <QFile>
#include <QSettings>

#include "app/loaddialogs.h"
#include "app/windowhooks.h"
#include "foundation/global.h"
#include "screenshots/shotsink.h"
#include "toolkit/messagedialog.h"

namespace {

// A start in a home whose documents folder is a file: nothing can be copied
// there. The folder remembered from the last start, if any, is gone.
void shootNoDataFolder(ShotSink& sink, const QString& name, const QString& remembered)
{
    const QDir home(scratchFolder("blocked-home"));
    QFile blocked(home.filePath("Documents"));
    blocked.open(QIODevice::WriteOnly);
    const QStringList variables{"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_DOCUMENTS_DIR"};
    QList<QByteArray> saved;
    for (const QString& variable : variables) {
        saved.append(qgetenv(qPrintable(variable)));
        qunsetenv(qPrintable(variable));
    }
    qputenv("HOME", home.path().toUtf8());
    QSettings settings;
    const QVariant path = settings.value("dataDir/path");
    const QVariant display = settings.value("dataDir/display");
    settings.remove("dataDir");
    if (!remembered.isEmpty())
        settings.setValue("dataDir/path", remembered);
    WindowHooks hooks;
    Global::setUiHooks(&hooks);
    sink.saveModal(name, [] { Global::initRootPath(); });
    Global::setUiHooks(nullptr);
    settings.setValue("dataDir/path", path);
    settings.setValue("dataDir/display", display);
    for (int i = 0; i < variables.size(); i++)
        qputenv(qPrintable(variables[i]), saved[i]);
}

void shootLibraryDialogs(ShotSink& sink)
{
    DialogProgress progress(QObject::tr("Loading monsters..."), 40);
    progress.setValue(17);
    progress.widget()->show();
    sink.save("progress-loading", progress.widget());

    sink.saveModal("not-all-work-saved", [] {
        MessageDialog().rejectableAlert(
            "Not All Work Saved",
            "<b>Kestrel Dunmore</b> and 2 Encounters were not saved.<p><b>Wren Talloway</b> only stands in for a "
            "file that could not be read: it stays unsaved and the file untouched, and the history log keeps its "
            "figures in the fight.<p>You need to save all changes before setting the 'Ravelhorn Data' folder.",
            "Save Changes and Continue");
    });
    sink.saveModal("directory-not-found", [] {
        MessageDialog().badRootAlert("Directory not Found",
                                     "Directory <b>Monsters</b> not found in Documents/Ravelhorn Data.", "Create");
    });
    shootNoDataFolder(sink, "no-data-folder", QString());
    shootNoDataFolder(sink, "remembered-folder-missing", "/media/campaign/Ravelhorn Data");
    sink.saveModal("reset-encounter", [] {
        MessageDialog().rejectableAlert(
            "Reset Bridge Ambush",
            "The monsters in this encounter have been in combat, and have taken damage.<p>Do you wish to reset the "
            "encounter before loading?<p>Resetting will restore all monsters to full health.",
            "Reset");
    });
}

const ShotRegistration registration("library dialogs", shootLibraryDialogs);

}
