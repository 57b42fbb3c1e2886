// Renders every registered window and dialog into FOLDER/NAME.png for a
// person to look at, with the data of ScreenshotWorld loaded behind the main
// window. Fails when the data or a picture cannot be made.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include "app/program.h"
#include "foundation/global.h"
#include "editors/managerwindow.h"
#include "mainwindow/mainwindow.h"
#include "screenshots/screenshotworld.h"
#include "screenshots/shotsink.h"

int main(int argc, char* argv[])
{
    // A home of its own, so no setting or data folder of the user is touched.
    QTemporaryDir home;
    if (!home.isValid())
        return 2;
    qputenv("HOME", home.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", (home.path() + "/.config").toUtf8());
    qputenv("XDG_DATA_HOME", (home.path() + "/.local/share").toUtf8());
    qputenv("XDG_DOCUMENTS_DIR", (home.path() + "/Documents").toUtf8());
    // The data folder's second lock lives there; private, or the toolkit warns.
    const QString runtime = home.path() + "/runtime";
    if (QDir().mkpath(runtime))
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", runtime.toUtf8());
    // Windows open at the sizes of a first start on a common screen.
    if (!Program::emulateScreen(QSize(1600, 1000), home.path()))
        return 2;

    QApplication app(argc, argv);
    Global::initLogging();
    Program::prepareApplication();
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screenshots");
    QTextStream err(stderr);

    Global::init();
    auto* mainWindow = new MainWindow();
    ScreenshotWorld world;
    QString error;
    const bool loaded = world.load(home.path(), error);
    // The program's hooks tell the monster manager of the loaded folder, which its import tab then shows.
    if (loaded)
        Global::managerWindow->dataFolderLoaded();
    ShotSink sink(folder);
    if (loaded) {
        mainWindow->show();
        for (const RegisteredShots& shots : registeredShots())
            shots.producer(sink);
    } else {
        err << "screenshot world: " << error << "\n";
    }
    mainWindow->shutdown();
    delete mainWindow;
    Global::exit();

    for (const QString& failure : sink.getFailures())
        err << "screenshot " << failure << "\n";
    err << sink.getCount() << " pictures written to " << folder << "\n";
    return loaded && sink.getFailures().isEmpty() ? 0 : 1;
}
