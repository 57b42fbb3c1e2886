#include "app/program.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>

#include "app/loaddialogs.h"
#include "foundation/dogtag.h"
#include "foundation/global.h"
#include "mainwindow/mainwindow.h"
#include "toolkit/messagedialog.h"

void WindowHooks::alert(const QString& title, const QString& text)
{
    MessageDialog().alert(title, text);
}

int WindowHooks::badRootAlert(const QString& title, const QString& text, const QString& actionText)
{
    return MessageDialog().badRootAlert(title, text, actionText);
}

bool WindowHooks::rejectableAlert(const QString& title, const QString& text, const QString& acceptText)
{
    return MessageDialog().rejectableAlert(title, text, acceptText);
}

Progress* WindowHooks::createProgress(const QString& label, int maximum)
{
    return new DialogProgress(label, maximum);
}

QString WindowHooks::getExistingDirectory(const QString&)
{
    return LoadDialogs::chooseDataFolder();
}

QString WindowHooks::getOpenFileName(const QString& title, const QString& folder, const QString& filter)
{
    return QFileDialog::getOpenFileName(nullptr, title, folder, filter);
}

void WindowHooks::setMainWindowTitle(const QString& title)
{
    if (Global::mainWindow)
        Global::mainWindow->setWindowTitle(title);
}

namespace Program {

void prepareApplication()
{
    QCoreApplication::setOrganizationName("Corvelle");
    QCoreApplication::setOrganizationDomain("ravelhorn.corvelle.org");
    QCoreApplication::setApplicationName("Ravelhorn");

    QString folder = Global::getPluginsPath();
    if (QDir(folder).exists("plugins"))
        QCoreApplication::setLibraryPaths({folder, folder + "/lib", folder + "/plugins"});
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
