// The dialogs of loading and switching the data folder: the progress
// dialog, the unsaved-work question, a missing library folder and the reset
// question of Load Encounter.
#include <QApplication>
#include <QDialog>
#include <QTimer>

#include "app/loaddialogs.h"
#include "screenshots/shotsink.h"
#include "toolkit/messagedialog.h"

namespace {

// Takes the picture of the modal dialog the call opens, then closes it.
void shootModal(ShotSink& sink, const QString& name, const std::function<void()>& open)
{
    QTimer::singleShot(0, [&sink, name] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        sink.save(name, dialog);
        if (dialog)
            dialog->reject();
    });
    open();
}

void shootLibraryDialogs(ShotSink& sink)
{
    DialogProgress progress(QObject::tr("Loading monsters..."), 40);
    progress.setValue(17);
    progress.widget()->show();
    sink.save("progress-loading", progress.widget());

    shootModal(sink, "not-all-work-saved", [] {
        MessageDialog().rejectableAlert(
            "Not All Work Saved",
            "<b>Kestrel Dunmore</b> and 2 Encounters were not saved.<p>You need to save all changes before "
            "setting the 'Ravelhorn Data' folder.",
            "Save Changes and Continue");
    });
    shootModal(sink, "directory-not-found", [] {
        MessageDialog().badRootAlert("Directory not Found",
                                     "Directory <b>Monsters</b> not found in Documents/Ravelhorn Data.", "Create");
    });
    shootModal(sink, "reset-encounter", [] {
        MessageDialog().rejectableAlert(
            "Reset Bridge Ambush",
            "The monsters in this encounter have been in combat, and have taken damage.<p>Do you wish to reset the "
            "encounter before loading?<p>Resetting will restore all monsters to full health.",
            "Reset");
    });
}

const ShotRegistration registration("library dialogs", shootLibraryDialogs);

}
