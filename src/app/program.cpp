#include "app/program.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>

#include "app/loaddialogs.h"
#include "foundation/dogtag.h"
#include "foundation/global.h"
#include "mainwindow/mainwindow.h"
#include "toolkit/messagedialog.h"
#include "foundation/uihooks.h"

namespace {

class WindowHooks : public UiHooks
{
public:
    void alert(const QString& title, const QString& text) override
    {
        MessageDialog().alert(title, text);
    }

    int badRootAlert(const QString& title, const QString& text, const QString& actionText) override
    {
        return MessageDialog().badRootAlert(title, text, actionText);
    }

    bool rejectableAlert(const QString& title, const QString& text, const QString& acceptText) override
    {
        return MessageDialog().rejectableAlert(title, text, acceptText);
    }

    Progress* createProgress(const QString& label, int maximum) override
    {
        return new DialogProgress(label, maximum);
    }

    QString getExistingDirectory(const QString&) override
    {
        return LoadDialogs::chooseDataFolder();
    }

    QString getOpenFileName(const QString& title, const QString& folder, const QString& filter) override
    {
        return QFileDialog::getOpenFileName(nullptr, title, folder, filter);
    }

    void setMainWindowTitle(const QString& title) override
    {
        if (Global::mainWindow)
            Global::mainWindow->setWindowTitle(title);
    }
};

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
