#include "editors/pendingchanges.h"

#include <QCoreApplication>

#include "creature/creature.h"
#include "foundation/global.h"
#include "foundation/uihooks.h"
#include "toolkit/messagedialog.h"

namespace {

QString tr(const char* text)
{
    return QCoreApplication::translate("PendingChanges", text);
}

}

bool PendingChanges::isStandIn(const Creature* creature)
{
    return creature->isDirty() && !creature->isDeleted() && creature->standsInForUnreadableFile();
}

bool PendingChanges::confirmDelete(const QString& settingsKey, const QString& name, const QString& fileName)
{
    return MessageDialog().rejectableAlert(
        settingsKey, tr("Delete %1").arg(name),
        tr("Do you really want to delete <b>%1</b>?<p>This action can be undone by clicking 'Revert All'. The file, "
           "'%2', will only be deleted when you click 'Save All'.")
            .arg(name.toHtmlEscaped(), fileName.toHtmlEscaped()),
        tr("Delete"));
}

bool PendingChanges::confirmRevertAll(const QString& text)
{
    return MessageDialog().rejectableAlert(tr("Revert All Changes"), text);
}

QString PendingChanges::failure(const QString& name, const QString& fileName, const QString& error)
{
    return QString("<li><b>%1</b> ('%2'): %3</li>")
        .arg(name.toHtmlEscaped(), fileName.toHtmlEscaped(), error.toHtmlEscaped());
}

void PendingChanges::tellFailures(const QStringList& failures)
{
    if (failures.isEmpty())
        return;
    Global::ui().alert(tr("Not All Changes Saved"),
                       tr("These changes could not be saved and are still pending:<ul>%1</ul>Click 'Save All' "
                          "again once the cause is mended, or 'Revert All' to discard them.")
                           .arg(failures.join(QString())));
}
