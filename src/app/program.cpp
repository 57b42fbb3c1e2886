#include "app/program.h"

#include <QApplication>
#include <QDir>
#include <QSaveFile>

#include "app/windowhooks.h"
#include "foundation/dogtag.h"
#include "foundation/global.h"
#include "mainwindow/creaturedisplay.h"
#include "mainwindow/mainwindow.h"
#include "toolkit/wheelneedsfocus.h"

namespace Program {

void prepareApplication()
{
    QCoreApplication::setOrganizationName("Corvelle");
    QCoreApplication::setOrganizationDomain("ravelhorn.corvelle.org");
    QCoreApplication::setApplicationName("Ravelhorn");

    QString folder = Global::getPluginsPath();
    if (QDir(folder).exists("plugins"))
        QCoreApplication::setLibraryPaths({folder, folder + "/lib", folder + "/plugins"});
    CreatureDisplay::setupStyles();
    WheelNeedsFocus::install();
}

int run(UiHooks* hooks)
{
    WindowHooks windowHooks;
    Global::setUiHooks(hooks ? hooks : &windowHooks);

    Global::init();
    auto* mainWindow = new MainWindow();
    int code = 0;
    if (Global::initRootPath()) {
        mainWindow->show();
        code = QApplication::exec();
    }

    mainWindow->shutdown();
    delete mainWindow;
    Global::exit();
    Global::setUiHooks(nullptr);
    DogTag::shutdown();
    Global::quitLogging();
    return code;
}

bool emulateScreen(QSize size, const QString& folder)
{
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (!platform.isEmpty() && !platform.startsWith("offscreen"))
        return true;
    QSaveFile file(QDir(folder).filePath("screen.json"));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    file.write(QString(R"({"screens": [{"name": "Screen", "x": 0, "y": 0, "width": %1, "height": %2,)"
                       R"( "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})")
                       .arg(size.width())
                       .arg(size.height())
                       .toUtf8());
    if (!file.commit())
        return false;
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + file.fileName().toLocal8Bit());
    return true;
}

}
