#include "foundation/locktexts.h"

#include <QDir>
#include <QSysInfo>

#include "foundation/global.h"

namespace {

QString bold(const QString& path)
{
    return "<b>" + Global::htmlPath(QDir::toNativeSeparators(path)) + "</b>";
}

// "ravelhorn (process 4711 on gaming-table)"
QString named(const LockTexts::Holder& holder)
{
    return Global::tr("%1 (process %2 on %3)")
        .arg(holder.program.toHtmlEscaped())
        .arg(holder.pid)
        .arg(holder.host.toHtmlEscaped());
}

// Where it cannot be told whether the holder has this very folder open.
QString lockedBy(const QString& folder, const LockTexts::Holder& holder)
{
    return Global::tr("The data folder %1 is locked by %2.").arg(bold(folder), named(holder));
}

// A program that lost its folder refuses to record more: the log is not written by two.
QString takeOverRisk()
{
    return Global::tr("<p>Open Anyway takes the folder over. Should that program still have it open, it is told so "
                      "and records no more changes in the folder's history log.");
}

}

namespace LockTexts {

bool Holder::onThisComputer() const
{
    return host.isEmpty() || host == QSysInfo::machineHostName();
}

QString inUse(const QString& folder, const Holder& holder)
{
    return Global::tr("The data folder %1 is in use by %2.").arg(bold(folder), named(holder));
}

QString onAnotherComputer(const QString& folder, const Holder& holder)
{
    return lockedBy(folder, holder)
        + Global::tr(" That is another computer: from here it cannot be told whether the program still runs there.")
        + takeOverRisk();
}

QString notOpenedHere(const QString& folder, const Holder& holder)
{
    return lockedBy(folder, holder)
        + Global::tr(" That program runs on this computer but has not opened this folder: most likely the folder was "
                     "copied, lock and all, while that program had it open.")
        + takeOverRisk();
}

QString anotherUsers(const QString& folder, const Holder& holder)
{
    return lockedBy(folder, holder)
        + Global::tr(" That is another user's program on this computer: from here it cannot be told whether it has "
                     "this folder open or a copy of it.")
        + takeOverRisk();
}

QString unidentified(const QString& folder, const QString& lockFile, const QString& cause)
{
    return Global::tr("The data folder %1 is locked by a program that this one cannot identify: its lock file %2 "
                      "cannot be read (%3). Most likely it is another user's program, on this computer or on another "
                      "that shares the folder.")
               .arg(bold(folder), bold(lockFile), cause.toHtmlEscaped())
        + takeOverRisk();
}

QString stuck(const QString& folder, const QString& lockFile, const QString& cause)
{
    return Global::tr("The lock file %1 of the data folder %2 cannot be removed: %3.<p>Once it is removed by hand, "
                      "the folder opens.")
        .arg(bold(lockFile), bold(folder), cause.toHtmlEscaped());
}

QString unlocked(const QString& folder, const QString& lockFile, const QString& cause, const QString& runtime)
{
    const QString text = Global::tr("The data folder %1 could not be locked: its lock file %2 cannot be made (%3).")
                             .arg(bold(folder), bold(lockFile), cause.toHtmlEscaped());
    // A program started apart, as over a remote login, may have a runtime folder of its own.
    return text
        + (!runtime.isEmpty()
               ? Global::tr("<p>A second Ravelhorn of this user on this computer that shares this one's runtime "
                            "folder %1 is still kept out of it, but not one with another runtime folder, nor another "
                            "user's, nor one on another computer that shares the folder.")
                     .arg(bold(runtime))
               : Global::tr("<p>Nothing keeps a second program out of it: while two have it open, the one that finds "
                            "its history log changed by the other records no more changes in it."));
}

QString atStart(bool openElsewhere)
{
    return openElsewhere ? Global::tr("<p>Choose another data folder, or quit and go on in the program that has it "
                                      "open.")
                         : Global::tr("<p>Choose another data folder, or quit.");
}

QString unwritten()
{
    return Global::tr("it could not be written");
}

QString takenSince(const QString& folder, const Holder* holder)
{
    return Global::tr("The data folder %1 has been taken over by %2.")
        .arg(bold(folder), holder ? named(*holder) : Global::tr("another program"));
}

}
