#include "foundation/global.h"

#include <QDir>
#include <QImage>
#include <QPixmap>
#include <QStandardPaths>
#include <QTextStream>

#include <cstdlib>
#include <ctime>

#include "foundation/folderlock.h"
#include "foundation/messagefilter.h"
#include "foundation/translation.h"
#include "foundation/uihooks.h"

QString Global::nativeRootPath;
QString Global::prettyRootPath;
AttributeStorage Global::preferences;
QFile Global::logFile;
Translation* Global::translation = nullptr;
MainWindow* Global::mainWindow = nullptr;
PlayersWindow* Global::playersWindow = nullptr;
ManagerWindow* Global::managerWindow = nullptr;
CharacterWindow* Global::characterWindow = nullptr;
QWidget* Global::currentWindow = nullptr;
Encounter* Global::encounter = nullptr;
History* Global::history = nullptr;
Characters* Global::characters = nullptr;
Monsters* Global::monsters = nullptr;
Encounters* Global::encounters = nullptr;
Actions* Global::actions = nullptr;
SwitchBoard Global::switchBoard;
QPixmap* Global::blankPortrait = nullptr;

namespace {
UiHooks* installedHooks = nullptr;
}

void Global::init()
{
    QImage image(":/images/blank-portrait-300.png");
    blankPortrait = new QPixmap();
    *blankPortrait = QPixmap::fromImage(image);
    srand(static_cast<unsigned>(time(nullptr)));
    translation = new Translation();
    translation->setup();
}

void Global::exit()
{
    delete translation;
    translation = nullptr;
    FolderLock::keepOnly(QString());
    // A second start in the same process makes it anew.
    delete blankPortrait;
    blankPortrait = nullptr;
}

void Global::initLogging()
{
    // The log-file handler stays uninstalled: diagnostics go to the default output.
    MessageFilter::install();
}

void Global::quitLogging()
{
    if (logFile.isOpen())
        logFile.close();
}

void Global::logMessageHandler(QtMsgType type, const QMessageLogContext&, const QString& text)
{
    if (!logFile.isOpen()) {
        logFile.setFileName(QDir::homePath() + QDir::separator() + "rvhn.log");
        if (!logFile.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text))
            return;
    }
    QString line;
    switch (type) {
    case QtDebugMsg: line = text; break;
    case QtWarningMsg: line = "Warning: " + text; break;
    case QtCriticalMsg: line = "Critical: " + text; break;
    case QtFatalMsg: line = "Fatal: " + text; break;
    default: return;
    }
    logFile.write(line.toUtf8() + "\n");
    logFile.flush();
    if (type == QtFatalMsg)
        abort();
}

QString Global::getVersion()
{
    return "2.0.12";
}

QString Global::getBuildDetails()
{
    return QString("Version %1 (build 1) %2 %3").arg(getVersion(), __DATE__, __TIME__);
}

void Global::setUiHooks(UiHooks* hooks)
{
    installedHooks = hooks;
}

UiHooks& Global::ui()
{
    static UiHooks headless;
    return installedHooks ? *installedHooks : headless;
}

void Global::alert(const QString& title, const QString& text)
{
    ui().alert(title, text);
}

int Global::badRootAlert(const QString& title, const QString& text, const QString& actionText)
{
    return ui().badRootAlert(title, text, actionText);
}
