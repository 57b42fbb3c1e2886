// The monster manager's "Import" tab: a small browser over a folder of
// monster files that marks what is imported or changed, and imports or
// re-imports the chosen files.
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QListWidget>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QSettings>
#include <QTimer>
#include <QToolButton>

#include "editors/librarylistmodels.h"
#include "editors/managerwindow.h"
#include "foundation/global.h"
#include "foundation/uihooks.h"
#include "library/monsters.h"

namespace {

const int historyLength = 100;

QString withSlash(const QString& dir)
{
    return dir.endsWith('/') ? dir : dir + '/';
}

bool monstersFolderHolds(const QString& name)
{
    const QStringList entries = QDir(Global::getCreaturePath(QString(), true))
                                    .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    return entries.contains(name, Qt::CaseInsensitive);
}

}

void ManagerWindow::fillImportDirList()
{
    const QFileInfoList entries = QDir(withSlash(importDir))
                                      .entryInfoList(QDir::Files | QDir::AllDirs | QDir::NoDotAndDotDot,
                                                     QDir::Name | QDir::IgnoreCase);
    importFileList->clear();
    for (const QFileInfo& entry : entries)
        new QListWidgetItem(importIcon(entry), entry.fileName(), importFileList);
}

QIcon ManagerWindow::importIcon(const QFileInfo& entry) const
{
    if (entry.isDir())
        return importIcons[FolderIcon];
    const bool monster = entry.fileName().endsWith(".monster");
    Creature* imported = Global::monsters ? Global::monsters->fileAlreadyImported(entry.fileName()) : nullptr;
    if (!imported)
        return importIcons[monster ? MonsterDocIcon : BlankDocIcon];
    if (imported->fileEqualToStatBlock(withSlash(importDir) + entry.fileName()))
        return importIcons[monster ? ImportedIcon : BlankImportIcon];
    return importIcons[monster ? ImportedModIcon : BlankImportModIcon];
}

void ManagerWindow::dataFolderLoaded()
{
    if (importDirHistory.isEmpty() && !Global::getRootPath(false).isEmpty()) {
        setImportDir(QDir::fromNativeSeparators(Global::getRootPath(false)));
        setupImportDirPopup();
    }
    fillImportDirList();
}

void ManagerWindow::setImportDir(const QString& dir)
{
    if (dir == importDir)
        return;
    importDir = dir;
    while (importDirHistory.size() > importDirIndex + 1)
        importDirHistory.removeLast();
    importDirHistory.append(dir);
    importDirIndex++;
    while (importDirHistory.size() > historyLength) {
        importDirHistory.removeFirst();
        importDirIndex--;
    }
    QSettings().setValue("importMonsterDir/path", dir);
    toggleHistoryButtons();
}

void ManagerWindow::setupImportDirPopup()
{
    importDirPopup->clear();
    importDirPopup->addItems(importDir.split('/', Qt::KeepEmptyParts));
    importDirPopup->setCurrentIndex(importDirPopup->count() - 1);
    importDirPopup->setToolTip(QDir::toNativeSeparators(importDir));
}

void ManagerWindow::setImportDirFromPopup()
{
    QString path;
    for (int item = 0; item <= importDirPopup->currentIndex(); item++)
        path += importDirPopup->itemText(item) + "/";
    if (path.endsWith('/'))
        path.chop(1);
    setImportDir(path);
}

void ManagerWindow::onImportDirPopupClicked()
{
    setImportDirFromPopup();
    fillImportDirList();
    setupImportDirPopup();
}

void ManagerWindow::onSelectImportDir()
{
    const QString dir = QFileDialog::getExistingDirectory(this, tr("Select Import Directory"),
                                                          QDir::toNativeSeparators(importDir),
                                                          QFileDialog::ShowDirsOnly | QFileDialog::DontResolveSymlinks);
    if (dir.isEmpty())
        return;
    setImportDir(QDir::fromNativeSeparators(dir));
    setupImportDirPopup();
    fillImportDirList();
}

void ManagerWindow::onImportPrevDirClicked()
{
    if (importDirIndex >= 1 && importDirIndex <= importDirHistory.size())
        stepImportHistory(-1);
}

void ManagerWindow::onImportNextClicked()
{
    if (importDirIndex >= -1 && importDirIndex + 1 < importDirHistory.size())
        stepImportHistory(1);
}

void ManagerWindow::stepImportHistory(int step)
{
    importDirIndex += step;
    importDir = importDirHistory[importDirIndex];
    setupImportDirPopup();
    fillImportDirList();
    toggleHistoryButtons();
}

void ManagerWindow::onImportRefreshClicked()
{
    fillImportDirList();
}

void ManagerWindow::onImportDirSelectionChanged()
{
    importSelectionButton->setEnabled(!importFileList->selectedItems().isEmpty());
}

void ManagerWindow::onImportDirDoubleClick(QListWidgetItem* item)
{
    // Refilling the list deletes the item under the click: after the click.
    QTimer::singleShot(0, this, [this, name = item->text()] {
        importTemplateFile(name, true);
        fillImportDirList();
    });
}

void ManagerWindow::onImportSelected()
{
    QStringList names;
    for (QListWidgetItem* item : importFileList->selectedItems())
        names.append(item->text());
    for (const QString& name : names)
        importTemplateFile(name, false);
    fillImportDirList();
}

void ManagerWindow::importTemplateFile(const QString& name, bool enterFolders)
{
    const QString path = withSlash(importDir) + name;
    if (QFileInfo(QDir::toNativeSeparators(path)).isDir()) {
        if (enterFolders) {
            setImportDir(path);
            setupImportDirPopup();
        }
        return;
    }
    if (Creature* imported = Global::monsters->fileAlreadyImported(name))
        reimportFile(imported, path);
    else
        importNewFile(name, path);
}

void ManagerWindow::reimportFile(Creature* monster, const QString& path)
{
    templateListModel->selectTemplate(Global::monsters->getTemplateIndex(monster));
    QByteArray bytes;
    if (!Creature::readCreatureFile(QDir::toNativeSeparators(path), bytes))
        return;
    statBlockText.setPlainText(monster->rebuildStatBlock(QString::fromUtf8(bytes), false));
    QScopedValueRollback<bool> guard(inTemplateSelection, true);
    handlePossibleStatBlockChange();
}

void ManagerWindow::importNewFile(const QString& name, const QString& path)
{
    const QString title = tr("Cannot Import %1").arg(name);
    const QString shownName = name.toHtmlEscaped();
    QByteArray bytes;
    QString failure;
    if (name.startsWith(".") || name.startsWith("template", Qt::CaseInsensitive)) {
        Global::ui().alert(title, tr("Monster files whose names begin with \"template\" or \".\" are never loaded: "
                                     "<b>%1</b> was not imported.").arg(shownName));
    } else if (!Creature::readCreatureFile(QDir::toNativeSeparators(path), bytes, &failure)) {
        Global::ui().alert(title, tr("<b>%1</b> cannot be read as a monster file: %2.")
                                      .arg(shownName, failure.isEmpty() ? tr("it is not a regular file")
                                                                        : failure.toHtmlEscaped()));
    } else if (monstersFolderHolds(name)) {
        Global::ui().alert(title, tr("The <b>Monsters</b> folder already holds a file called <b>%1</b>. Rename "
                                     "the file to import it as another monster.").arg(shownName));
    } else if (!QFile::copy(QDir::toNativeSeparators(path), Global::getCreaturePath(name, true))) {
        Global::ui().alert(title, tr("<b>%1</b> could not be copied into the <b>Monsters</b> folder.").arg(shownName));
    } else if (Creature* monster = Global::monsters->loadTemplate(name, QString())) {
        templateListModel->insertTemplate(monster, true);
    } else {
        // No template stands for the copy: it would come back as one at the next start.
        QFile::remove(Global::getCreaturePath(name, true));
        Global::ui().alert(title, tr("<b>%1</b> holds no monster that can be loaded.").arg(shownName));
    }
}
