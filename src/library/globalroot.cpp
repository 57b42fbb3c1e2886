#include "foundation/global.h"

#include <QDir>
#include <QSettings>

#include <memory>
#include <utility>

#include "encounter/encounter.h"
#include "encounter/history.h"
#include "foundation/folderlock.h"
#include "foundation/locktexts.h"
#include "foundation/progress.h"
#include "foundation/uihooks.h"
#include "library/characters.h"
#include "library/encounters.h"
#include "library/monsters.h"
#include "powers/actions.h"

namespace {

const char* const webSite = "https://ravelhorn.corvelle.org/";

// The loaded libraries, kept apart from those in use until all of them loaded.
struct LoadedLibraries
{
    Characters characters;
    Monsters monsters;
    Encounters encounters;
    Actions actions;

    // 1 loaded, 0 stop, 2 choose another folder.
    int load(const QString& path, const QString& display, Progress* progress)
    {
        int answer = characters.loadCharacters(path, display, progress);
        if (answer == 1)
            answer = monsters.loadTemplates(path, display, progress);
        if (answer == 1)
            answer = encounters.loadEncounters(path, display, progress);
        return answer;
    }

    // One message for every file of the folder that was not read, or not as it is.
    void tellFiles() const
    {
        const QStringList unread =
            characters.getUnreadable() + monsters.getUnreadable() + encounters.getUnreadable();
        const QStringList changed = encounters.getReadInPart()
            + (Global::characters ? *Global::characters : characters).getRenamed()
            + (Global::monsters ? *Global::monsters : monsters).getRenamed();
        QString text;
        if (!unread.isEmpty())
            text += Global::tr("These files could not be read and were left out:<ul>%1</ul>")
                        .arg(unread.join(QString()));
        if (!changed.isEmpty())
            text += Global::tr("These files were read with a change:<ul>%1</ul>").arg(changed.join(QString()));
        if (!text.isEmpty())
            Global::alert(unread.isEmpty() ? Global::tr("Files Read With Changes") : Global::tr("Files Not Read"),
                          text);
    }

    void handOver()
    {
        if (Global::characters)
            Global::characters->newCharacters(&characters);
        if (Global::monsters)
            Global::monsters->newMonsters(&monsters);
        if (Global::encounters)
            Global::encounters->newEncounters(&encounters);
        if (Global::actions)
            Global::actions->newActions(&actions);
    }
};

void replayHistory()
{
    if (!Global::history || Global::history->rootChanged())
        return;
    QString text = Global::tr("Your history log contains an unknown event. It is possible the event was created by a "
                              "later version of Ravelhorn, or the history log may be corrupted.<p>Before you "
                              "continue, please check the ")
        + QString("<a href=\"%1\">%2</a>").arg(webSite, Global::tr("Ravelhorn Web-site"))
        + Global::tr(" for the latest version, and upgrade if possible.");
    if (!Global::history->getKeptCopy().isEmpty())
        text += Global::tr("<p>A copy of the history log was kept as <b>%1</b>.")
                    .arg(Global::htmlPath(Global::history->getKeptCopy()));
    Global::alert(Global::tr("Unknown Event"), text);
}

QString boldNames(const QStringList& names)
{
    QStringList bold;
    for (const QString& name : names)
        bold.append("<b>" + name.toHtmlEscaped() + "</b>");
    return bold.join(", ");
}

// One unsaved kind as the question names it: the name alone, or the count.
void addUnsaved(QStringList& items, const UnsavedItems& unsaved, const QString& counted)
{
    if (unsaved.count == 1)
        items.append(boldNames(unsaved.names.mid(0, 1)));
    else if (unsaved.count > 1)
        items.append(counted.arg(unsaved.count));
}

// Whether this program may open the folder: 1 it may, 2 the user chooses
// another, 0 not (at the start: the user quits).
int claimFolder(const QString& path, bool starting)
{
    using Answer = UiHooks::LockedFolderAnswer;
    FolderLock::Claim claim = FolderLock::take(path);
    for (;;) {
        if (claim.outcome == FolderLock::Claim::Held) {
            if (!claim.text.isEmpty())
                Global::alert(Global::tr("Data Folder Not Locked"), claim.text);
            return 1;
        }
        // "In use" only where a program is known to have the folder open.
        const bool inUse = claim.outcome == FolderLock::Claim::InUse;
        QString text = claim.text;
        if (starting)
            text += LockTexts::atStart(inUse);
        else if (!Global::prettyRootPath.isEmpty())
            text += Global::tr("<p>The data folder stays <b>%1</b>.").arg(Global::htmlPath(Global::prettyRootPath));
        const QString title = inUse ? Global::tr("Data Folder in Use")
            : claim.outcome == FolderLock::Claim::Stuck ? Global::tr("Lock File Cannot Be Removed")
                                                        : Global::tr("Data Folder Locked");
        const Answer answer = Global::ui().lockedFolderAlert(title, text, claim.outcome == FolderLock::Claim::Unsure,
                                                             starting ? Global::tr("Quit") : Global::tr("Cancel"));
        if (answer == Answer::Leave)
            return 0;
        if (answer == Answer::SelectFolder)
            return 2;
        claim = FolderLock::take(path, true);
    }
}

}

bool Global::setRootPath(QString path, QString display)
{
    return switchRootPath(path, display, false) == RootSwitch::Done;
}

Global::RootSwitch Global::switchRootPath(QString path, QString display, bool starting, std::function<bool()> fill)
{
    LoadedLibraries loaded;
    if (!allChangesSaved(tr("You need to save all changes before setting the 'Ravelhorn Data' folder."),
                         tr("Save Changes and Continue")))
        return RootSwitch::Kept;
    emit switchBoard.doSetPlayersUpdate(false);
    std::unique_ptr<Progress> progress;
    bool refused = false;
    // Beside the folder asked about, or the one in use.
    const auto choose = [](const QString& near) {
        return ui().getExistingDirectory(tr("Select Ravelhorn Data Folder"), near);
    };
    if (path.isEmpty())
        path = display = choose(nativeRootPath);
    const QString first = path;
    for (int answer = 2; answer != 1;) {
        if (display.isEmpty())
            display = path;
        // Asked before a file is read: a folder another program holds is not worth the reading.
        answer = path.isEmpty() ? 0 : claimFolder(path, starting);
        refused = answer == 0;
        if (answer == 1 && fill && path == first)
            answer = std::exchange(fill, nullptr)() ? 1 : 0;
        if (answer == 1) {
            int files = Characters::getFileCount(path) + Monsters::getFileCount(path) + Encounters::getFileCount(path);
            progress.reset(ui().createProgress(tr("Loading files..."), files + 4));
            answer = loaded.load(path, display, progress.get());
        }
        if (answer == 0) {
            progress.reset();
            // The folders claimed on the way are let go.
            FolderLock::keepOnly(nativeRootPath);
            emit switchBoard.doSetPlayersUpdate(true);
            return starting && refused ? RootSwitch::Quit : RootSwitch::Kept;
        }
        if (answer == 2) {
            // The old progress would stay open behind the folder dialog.
            progress.reset();
            const QString chosen = choose(path);
            // At the start a cancelled folder dialog asks about this folder again: only Quit ends the program.
            if (!chosen.isEmpty() || !starting)
                path = display = chosen;
        }
    }
    loaded.actions.loadActions(path);
    progress->setCancelEnabled(false);

    // The old folder's log is let go as at shut-down.
    if (history)
        history->letGo();
    if (encounter)
        encounter->reset();
    loaded.handOver();
    if (history)
        history->reset();
    nativeRootPath = path;
    prettyRootPath = display;
    FolderLock::keepOnly(path);

    progress->setLabelText(tr("Loading history..."));
    replayHistory();
    progress->advance();
    QSettings settings;
    settings.setValue("dataDir/path", nativeRootPath);
    settings.setValue("dataDir/display", prettyRootPath);
    progress->advance();
    progress->setLabelText(tr("Setting new root..."));
    Creature::rootChanged();
    progress->advance();
    progress.reset();
    loaded.tellFiles();
    emit switchBoard.doSetPlayersUpdate(true);
    ui().fillImportDirList();

    QString name = lastRight(QDir::fromNativeSeparators(nativeRootPath), "/");
    emit switchBoard.doSetMainWindowTitle(name == "Ravelhorn Data" ? tr("Ravelhorn DM's Display")
                                                     : QString(tr("Ravelhorn - %1")).arg(name));
    return RootSwitch::Done;
}

bool Global::allChangesSaved(const QString& message, const QString& buttonText)
{
    UnsavedItems characters = ui().charactersToSave();
    UnsavedItems monsters;
    UnsavedItems encounters;
    ui().monstersToSave(monsters, encounters);
    const int total = characters.count + monsters.count + encounters.count;
    const QStringList standIns = characters.standIns + monsters.standIns;
    if (total == 0 && standIns.isEmpty())
        return true;
    QString text;
    if (total > 0) {
        QStringList items;
        addUnsaved(items, characters, tr("%1 Characters"));
        addUnsaved(items, monsters, tr("%1 Monsters"));
        addUnsaved(items, encounters, tr("%1 Encounters"));
        QString last = items.takeLast();
        QString joined = items.isEmpty() ? last : items.join(", ") + tr(" and ") + last;
        joined += total == 1 ? tr(" was") : tr(" were");
        text = tr("%1 not saved.<p>").arg(joined);
    }
    // They cannot be saved: asking to save them would keep the user from going on.
    if (!standIns.isEmpty())
        text += (standIns.size() == 1
                     ? tr("%1 only stands in for a file that could not be read: it stays unsaved and the file "
                          "untouched, and the history log keeps its figures in the fight.<p>")
                     : tr("%1 only stand in for files that could not be read: they stay unsaved and the files "
                          "untouched, and the history log keeps their figures in the fight.<p>"))
                    .arg(boldNames(standIns));
    if (!ui().rejectableAlert(tr("Not All Work Saved"), text + message, buttonText))
        return false;
    // A save that failed keeps the work unsaved: the caller must not go on and discard it.
    bool saved = true;
    if (characters.count > 0)
        saved = ui().saveAllCharacters();
    if (monsters.count + encounters.count > 0)
        saved = ui().saveAllMonsters() && saved;
    return saved;
}
