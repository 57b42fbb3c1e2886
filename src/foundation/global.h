#ifndef GLOBAL_H
#define GLOBAL_H

#include <QByteArray>
#include <QFile>
#include <QObject>
#include <QStandardPaths>
#include <QString>

#include <functional>

#include "foundation/attributestorage.h"
#include "foundation/switchboard.h"

class QSaveFile;
class QDir;
class QPixmap;
class QWidget;
class Translation;
class MainWindow;
class PlayersWindow;
class ManagerWindow;
class CharacterWindow;
class Encounter;
class History;
class Characters;
class Monsters;
class Encounters;
class Actions;
class UiHooks;

// Application-wide services and the singleton slots. Never instantiated.
class Global : public QObject
{
    Q_OBJECT

public:
    Global() = delete;

    static QString nativeRootPath;
    static QString prettyRootPath;
    static AttributeStorage preferences;
    static QFile logFile;
    static Translation* translation;
    static MainWindow* mainWindow;
    static PlayersWindow* playersWindow;
    static ManagerWindow* managerWindow;
    static CharacterWindow* characterWindow;
    static QWidget* currentWindow;
    static Encounter* encounter;
    static History* history;
    static Characters* characters;
    static Monsters* monsters;
    static Encounters* encounters;
    static Actions* actions;
    static SwitchBoard switchBoard;
    static QPixmap* blankPortrait;

    // Start-up and shut-down
    static void init();
    static void exit();
    // Puts the program's one message filter in front of the handler in place:
    // at start, and again after a test framework put its own there.
    static void initLogging();
    static void quitLogging();
    static void logMessageHandler(QtMsgType type, const QMessageLogContext& context, const QString& text);
    static QString getVersion();
    static QString getBuildDetails();

    // What the model shows the user goes through the hooks the ui installs.
    static void setUiHooks(UiHooks* hooks);
    static UiHooks& ui();
    static void alert(const QString& title, const QString& text);
    static int badRootAlert(const QString& title, const QString& text, const QString& actionText);

    // Application folders and the data folder
    static QString getApplicationDir();
    static QString getPluginsPath();
    static QString getResourcePath();
    static QString getApplicationPath();
    static QString getRootPath(bool withSeparator = false);
    static QString getPrettyRootPath();
    static QString addDirChar(const QString& text, QChar c);
    static bool isValidRootPath(QDir& dir);
    static bool isEmptyRootPath(QDir& dir);
    // The data folder at start-up; false when the game master chose to quit
    // rather than share a folder another program holds.
    static bool initRootPath();
    // The data-folder switch; in library/, beside the libraries it loads.
    // Loads the libraries of a folder and makes it the data folder; false
    // when nothing changed. An empty path asks the user for a folder.
    static bool setRootPath(QString path, QString display);
    // True when nothing is unsaved, or the user had it all saved.
    static bool allChangesSaved(const QString& message, const QString& buttonText);
    static bool copyDir(const QString& source, const QString& targetParent, const QString& name);
    // Copies a file into the "History" folder beside it as "<prefix>_<time>.log",
    // never over another copy; the copy's path, or empty when it failed, with
    // the reason in failure.
    static QString keepCopyInHistory(const QString& file, const QString& prefix, QString* failure = nullptr);
    // The same for the bytes given, as that file should hold them.
    static QString keepInHistory(const QString& file, const QString& prefix, const QByteArray& bytes,
                                 QString* failure = nullptr);
    // Up to limit bytes of an open file, asked for by the size it had: a
    // buffer of the limit's size would be mapped for every small file.
    static QByteArray readUpTo(QFile& file, qint64 expectedSize, qint64 limit);
    // Why a link leads to no file (its target missing, or links that loop);
    // empty for anything else.
    static QString brokenLink(const QString& path);
    // Neither a file nor a link, one that leads nowhere included, has the
    // path: a new file may take it.
    static bool isFree(const QString& path);
    static QString getCreaturePath(const QString& fileName, bool monster, const QString& root = QString());
    static QString getPortraitPath(const QString& fileName, const QString& root = QString());
    static QString getEncounterPath(const QString& fileName, const QString& root = QString());
    // Written beside the old file and put in its place only when whole: a
    // write cut short (a full disk) leaves the old file as it was.
    static bool saveFile(const QString& path, const QByteArray& bytes);
    // Removes the file; a file already gone counts as removed.
    static bool removeFile(const QString& path);
    // Why the last saveFile or removeFile that failed failed, or the last
    // save refused before it wrote.
    static QString lastFileError();
    static void setLastFileError(const QString& cause);
    // The same for a file written piece by piece: the last step of the writing.
    static bool commitWhole(QSaveFile& file);
    static QString getRootedPath(const QString& path, const QString& root = QString());
    static QString getPrettyPath(QStandardPaths::StandardLocation location, const QString& rest);
    static QString getPrettyAppPath(const QString& rest);

    // Text and number helpers
    static QString left(const QString& text, const QString& separator);
    static QString right(const QString& text, const QString& separator);
    static QString lastLeft(const QString& text, const QString& separator);
    static QString lastRight(const QString& text, const QString& separator);
    static bool isNumber(const QString& text);
    static int firstNumber(const QString& text);
    static QString capitalize(const QString& text);
    static QString unCapitalize(const QString& text);
    static int htmlLength(const QString& html);
    // The path as HTML that wraps only after a separator, never inside a folder's name.
    static QString htmlPath(const QString& path);
    static QString lineBreak(const QString& html, int width);
    static int d(int sides);
    static int random();
    static QString timeNow();
    static void bugout(const QString& text);
    static const char* cstr(const QString& text);

    // Name=value lines
    static QByteArray nextLine(const QByteArray& bytes, int& pos);
    static bool lineAttributes(const QByteArray& line, QString& name, QString& value);
    static bool isValidLine(const QByteArray& line, bool& blankOrComment, bool& notPair);
    static QByteArray toBytes(const QString& text);
    static QByteArray stringToBytes(const QString& text);
    static QString fromBytes(const QByteArray& bytes);
    static QByteArray toWindowsLineEndings(const QByteArray& bytes);
    static QByteArray toStandardLineEnding(const QByteArray& bytes);

private:
    enum class RootSwitch { Done, Kept, Quit };
    // setRootPath, and at the start the answer to a held folder may be to quit.
    // Once held, and before it is read, the folder first asked for is filled
    // by fill, when given; when that fails, the switch is given up.
    static RootSwitch switchRootPath(QString path, QString display, bool starting,
                                     std::function<bool()> fill = nullptr);
};

#endif
