// The monster manager's pending changes: deleting templates and encounters,
// "Save All", "Revert All" and what is left unsaved.
#include "editors/encounterlistmodel.h"
#include "editors/librarylistmodels.h"
#include "editors/managerwindow.h"
#include "editors/pendingchanges.h"
#include "foundation/global.h"
#include "foundation/uihooks.h"
#include "library/encounterdata.h"
#include "library/encounters.h"
#include "library/monsters.h"

namespace {

QList<Creature*> allTemplates()
{
    QList<Creature*> templates;
    for (int i = 0; Global::monsters && i < Global::monsters->getTemplateCount(); i++)
        templates.append(Global::monsters->getTemplate(i));
    return templates;
}

QList<EncounterData*> allEncounters()
{
    QList<EncounterData*> encounters;
    for (int i = 0; Global::encounters && i < Global::encounters->getEncounterCount(); i++)
        encounters.append(Global::encounters->getEncounter(i));
    return encounters;
}

void addUnsaved(UnsavedItems& items, bool pending, const QString& name)
{
    if (!pending)
        return;
    items.count++;
    items.names.append(name);
}

}

void ManagerWindow::onDeleteTemplate()
{
    Creature* chosen = templateListModel->getSelectedTemplate();
    if (!chosen)
        return;
    const QString name = chosen->getGroup();
    if (!templateOutOfHistory(name, true))
        return;
    if (chosen->isNew()) {
        chosen->setNew(false);
        chosen->setDirty(false);
        templateListModel->removeTemplate(chosen, false, true);
    } else {
        // A placeholder has nothing worth a question.
        if (!chosen->isBroken()
            && !PendingChanges::confirmDelete("managerWindow/deleteMonster", name, chosen->getFileName()))
            return;
        chosen->setDeleted(true);
        templateListModel->removeTemplate(chosen, true, false);
    }
    encounterListModel->removeGroup(name);
    // The selected encounter may have lost monsters while its selection stayed.
    onEncounterSelectionChanged();
    toggleTemplateButtons();
    fillImportDirList();
}

void ManagerWindow::onDeleteEncounter()
{
    EncounterData* encounter = encounterListModel->getSelectedEncounter();
    if (!encounter)
        return;
    if (encounter->isNew()) {
        encounter->setNew(false);
        encounter->setDirty(false);
        encounterListModel->removeEncounter(encounter, false);
    } else {
        if (!PendingChanges::confirmDelete("managerWindow/deleteEncounter", encounter->getName(),
                                           encounter->getFileName()))
            return;
        encounter->setDeleted(true);
        encounterListModel->removeEncounter(encounter, true);
    }
    rebuildAdventurePopups();
    toggleEncounterButtons();
}

bool ManagerWindow::onSaveAll()
{
    return saveAll(true);
}

bool ManagerWindow::saveAll(bool standIns)
{
    // Templates first: an encounter names them.
    QStringList failures = saveTemplates(standIns);
    failures += saveEncounters();
    toggleAllButtons();
    PendingChanges::tellFailures(failures);
    return failures.isEmpty();
}

QStringList ManagerWindow::saveTemplates(bool standIns)
{
    QStringList failures;
    for (Creature* monster : allTemplates()) {
        if (!standIns && PendingChanges::isStandIn(monster))
            continue;
        // The new mark goes only with a save that succeeds: a failed one stays new for "Revert All".
        if (monster->isDeleted()) {
            if (monster->remove())
                templateListModel->removeTemplate(monster, false, true);
            else
                failures.append(PendingChanges::failure(monster->getGroup(), monster->getFileName(),
                                                        Global::lastFileError()));
        } else if (monster->isDirty() && !monster->save()) {
            failures.append(
                PendingChanges::failure(monster->getGroup(), monster->getFileName(), Global::lastFileError()));
        }
    }
    templateListModel->templateChanged();
    onTemplateSelectionChanged();
    return failures;
}

QStringList ManagerWindow::saveEncounters()
{
    QStringList failures;
    for (EncounterData* encounter : allEncounters()) {
        if (encounter->isDeleted()) {
            if (encounter->remove()) {
                encounter->setDeleted(false);
                encounter->setDirty(false);
                encounterListModel->removeEncounter(encounter, false);
                continue;
            }
        } else if (!encounter->isDirty()) {
            continue;
        } else if (encounter->save()) {
            encounter->setNew(false);
            encounter->setDirty(false);
            continue;
        }
        failures.append(
            PendingChanges::failure(encounter->getName(), encounter->getFileName(), Global::lastFileError()));
    }
    encounterListModel->encounterChanged();
    onEncounterSelectionChanged();
    rebuildAdventurePopups();
    return failures;
}

void ManagerWindow::onRevertAll()
{
    if (!PendingChanges::confirmRevertAll(tr("Do you really want to discard all changes?<p>This action will "
                                             "restore the Monster and Encounter lists to the last saved state.")))
        return;
    revertTemplates();
    revertEncounters();
    onTemplateSelectionChanged();
    onEncounterSelectionChanged();
    toggleTemplateButtons();
    rebuildAdventurePopups();
    toggleEncounterButtons();
    fillImportDirList();
}

void ManagerWindow::revertTemplates()
{
    for (Creature* monster : allTemplates()) {
        if (monster->isDeleted()) {
            monster->setDeleted(false);
            templateListModel->showTemplate(monster);
        }
        if (monster->isNew()) {
            monster->revertChanges();
            templateListModel->removeTemplate(monster, false, true);
        } else if (monster->isDirty()) {
            const QString name = monster->getGroup();
            monster->revertChanges();
            if (monster->getGroup() != name) {
                templateListModel->moveTemplate(monster);
                encounterListModel->moveGroup(name, monster->getGroup());
            }
        }
    }
    templateListModel->templateChanged();
}

void ManagerWindow::revertEncounters()
{
    for (EncounterData* encounter : allEncounters()) {
        if (encounter->isDeleted()) {
            encounter->setDeleted(false);
            encounterListModel->showEncounter(encounter);
        }
        if (encounter->isNew()) {
            encounter->setNew(false);
            encounter->setDirty(false);
            encounterListModel->removeEncounter(encounter, false);
        } else if (encounter->isDirty()) {
            encounter->setDirty(false);
            encounterListModel->revertEncounter(encounter);
        }
    }
    encounterListModel->encounterChanged();
}

void ManagerWindow::monstersToSave(UnsavedItems& templates, UnsavedItems& encounters) const
{
    templates = UnsavedItems();
    encounters = UnsavedItems();
    // A deletion is work too: dropped on quit, the item would come back.
    for (Creature* monster : allTemplates()) {
        if (PendingChanges::isStandIn(monster))
            templates.standIns.append(monster->getGroup());
        else
            addUnsaved(templates, monster->isDirty() || monster->isDeleted(), monster->getGroup());
    }
    for (EncounterData* encounter : allEncounters())
        addUnsaved(encounters, encounter->isDirty() || encounter->isDeleted(), encounter->getName());
}
