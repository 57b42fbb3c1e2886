// The monster manager's template commands: showing the selection, new
// templates, stat-block edits with unique names, portraits and the filters.
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QRegularExpression>
#include <QScopedValueRollback>

#include "editors/encounterlistmodel.h"
#include "editors/librarylistmodels.h"
#include "editors/managerwindow.h"
#include "editors/renamedialog.h"
#include "foundation/global.h"
#include "foundation/uihooks.h"
#include "library/encounters.h"
#include "library/monsters.h"

namespace {

// Every occurrence of the name as a whole word: "Orcish" keeps its "Orc".
void replaceWholeWords(QString& text, const QString& name, QString replacement)
{
    const QRegularExpression word("(?<!\\w)" + QRegularExpression::escape(name) + "(?!\\w)",
                                  QRegularExpression::UseUnicodePropertiesOption);
    // Backslashes of the new name would read as references to captures.
    text.replace(word, replacement.replace("\\", "\\\\"));
}

}

void ManagerWindow::onTemplateSelectionChanged()
{
    if (inTemplateSelection)
        return;
    QScopedValueRollback<bool> guard(inTemplateSelection, true);
    Creature* shown = templateListModel->getSelectedTemplate();
    templateDisplay.displayCreature(shown);
    statBlockText.setPlainText(shown ? shown->getStatBlock() : QString());
    statBlockText.setEnabled(shown);
    toggleTemplateButtons();
}

void ManagerWindow::onTemplateTabChanged(int index)
{
    if (index == 2)
        fillImportDirList();
}

void ManagerWindow::onFilterChanged(QObject* watched)
{
    if (watched == templateFilterEdit)
        templateListModel->setFilter(templateFilterEdit->text());
    else if (watched == encounterFilterEdit)
        applyEncounterFilter();
}

void ManagerWindow::onNewTemplate()
{
    auto* monster = new Creature;
    monster->setupDummyMonster(Global::monsters->getNewTemplate());
    addNewTemplate(monster);
}

void ManagerWindow::onNewAndPasteTemplate()
{
    QString text = QGuiApplication::clipboard()->text(QClipboard::Clipboard);
    CreatureStats stats;
    // Text without a stat block still gives a template, named "Invalid Stat Block".
    Creature::parseStatBlock(true, text, stats, QString(), QString(), true);
    bool nameChanged = false;
    if (!checkNameChange(QString(), text, stats, nameChanged, nullptr))
        return;
    auto* monster = new Creature;
    monster->setStats(stats);
    monster->takeExtendedRest(false, false);
    addNewTemplate(monster);
}

void ManagerWindow::addNewTemplate(Creature* creature)
{
    templateListModel->insertTemplate(creature, true);
    creature->setNew(true);
    creature->setDirty(true);
    statBlockText.selectAll();
    statBlockText.setFocus();
    toggleTemplateButtons();
    templateListModel->templateChanged();
}

void ManagerWindow::onTemplateStatsChanged()
{
    if (inTemplateSelection)
        return;
    QScopedValueRollback<bool> guard(inTemplateSelection, true);
    handlePossibleStatBlockChange();
}

void ManagerWindow::handlePossibleStatBlockChange()
{
    Creature* edited = templateListModel->getSelectedTemplate();
    if (!edited)
        return;
    const int xp = edited->getXP();
    const CreatureStats old = edited->getStats();
    QString text = statBlockText.toPlainText();
    if (text == old.statBlock)
        return;
    CreatureStats stats;
    Creature::parseStatBlock(true, text, stats, QString(), edited->getFileName(), true);
    if (stats.group != old.group) {
        bool nameChanged = false;
        if (!renameAllowed(old.group, stats.group) || !checkNameChange(old.group, text, stats, nameChanged, edited)) {
            statBlockText.setPlainText(old.statBlock);
            // The typing goes on in the pane now shown.
            statBlockText.setFocus();
            return;
        }
        if (nameChanged) {
            statBlockText.setPlainText(text);
            statBlockText.setFocus();
        }
    }
    edited->setStats(stats);
    edited->takeExtendedRest(false, false);
    templateDisplay.displayCreature(edited);
    edited->dirtyStateHasChanged();
    if (edited->getXP() != xp && Global::encounters)
        Global::encounters->allRecalcXP();
    if (stats.group != old.group) {
        templateListModel->moveTemplate(edited);
        encounterListModel->moveGroup(old.group, stats.group);
    }
    if (stats.group != old.group || edited->getXP() != xp || stats.level != old.level)
        onEncounterSelectionChanged();
    toggleTemplateButtons();
    templateListModel->templateChanged();
}

bool ManagerWindow::renameAllowed(const QString& oldName, const QString& newName)
{
    // The log finds its monsters by the template's name, ignoring case.
    return newName.compare(oldName, Qt::CaseInsensitive) == 0 || templateOutOfHistory(oldName, false);
}

bool ManagerWindow::templateOutOfHistory(const QString& group, bool deleting)
{
    if (!Global::monsters->isTemplateInHistory(group))
        return true;
    const QString text =
        deleting ? tr("The history log names monsters of <b>%1</b> by this name: deleted, they would come back as "
                      "placeholders after a restart.<p>Clear the history log before you delete the monster.")
                 : tr("The history log names monsters of <b>%1</b> by this name: renamed, they would come back as "
                      "placeholders after a restart.<p>Clear the history log before you rename the monster.");
    Global::ui().alert(tr("Monster in the History Log"), text.arg(group.toHtmlEscaped()));
    return false;
}

bool ManagerWindow::checkNameChange(const QString& oldName, QString& text, CreatureStats& stats, bool& nameChanged,
                                    const Creature* renamed)
{
    nameChanged = false;
    // The template being renamed never clashes with itself: "goblin" may become "Goblin".
    Creature* existing = Global::monsters->findTemplate(stats.group, renamed);
    if (!existing)
        return true;
    if (existing->isDeleted()) {
        Global::ui().alert(tr("Duplicate %1").arg(stats.group),
                           tr("You have just deleted a monster called <b>%1</b>.<p>You must save the change before "
                              "you can create another monster with the same name.")
                               .arg(stats.group.toHtmlEscaped()));
        return false;
    }
    const QString name = RenameDialog(oldName, stats.group, renamed).getNewName();
    if (name.isEmpty())
        return false;
    replaceWholeWords(text, stats.group, name);
    stats.group = name;
    stats.statBlock = text;
    nameChanged = true;
    return true;
}

void ManagerWindow::onTemplatePortraitClicked()
{
    Creature* shown = templateListModel->getSelectedTemplate();
    if (!shown)
        return;
    const QString file = Creature::selectPortraitFile();
    if (file.isEmpty())
        return;
    shown->setPortraitFile(file);
    shown->dirtyStateHasChanged();
    templateDisplay.displayCreature(shown);
    statBlockText.setPlainText(shown->getStatBlock());
    templateListModel->templateChanged();
    toggleAllButtons();
}
