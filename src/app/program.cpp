#include "app/program.h"

#include <QApplication>
#include <QDir>

#include "app/windowhooks.h"
#include "foundation/dogtag.h"
#include "foundation/global.h"
#include "mainwindow/creaturedisplay.h"
#include "mainwindow/mainwindow.h"

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
}

int run(UiHooks* hooks)
{
    WindowHooks windowHooks;
    Global::setUiHooks(hooks ? hooks : &windowHooks);

    Global::init();
    auto* mainWindow = new MainWindow();
    Global::initRootPath();
    mainWindow->show();
    int code = QApplication::exec();

    mainWindow->shutdown();
    delete mainWindow;
    Global::exit();
    Global::setUiHooks(nullptr);
    DogTag::shutdown();
    Global::quitLogging();
    return code;
}

}
