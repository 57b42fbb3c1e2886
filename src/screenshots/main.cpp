// Renders every registered window and dialog into FOLDER/NAME.png for a
// person to look at, with the data of ScreenshotWorld loaded behind the main
// window. Fails when the data or a picture cannot be made.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QStyleHints>
#include <QTextStream>

#include <cstdlib>

#include "app/program.h"
#include "foundation/global.h"
#include "editors/managerwindow.h"
#include "encounter/encounter.h"
#include "mainwindow/mainwindow.h"
#include "screenshots/screenshotworld.h"
#include "screenshots/shotsink.h"

int main(int argc, char* argv[])
{
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screenshots");
    // A home of its own, so no setting or data folder of the user is touched;
    // beside the pictures, so the paths they show are the same every run.
    QDir home(QFileInfo(folder).absoluteFilePath() + ".home");
    home.removeRecursively();
    if (!home.mkpath("."))
        return 2;
    const auto removeHome = qScopeGuard([&home] { home.removeRecursively(); });
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
    // A text cursor that blinks would show or not by the clock.
    QGuiApplication::styleHints()->setCursorFlashTime(0);
    Global::initLogging();
    Program::prepareApplication();
    QTextStream err(stderr);

    Global::init();
    // The same dice every run, so the same pictures.
    srand(1);
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
        const QList<Creature*> selected = Global::encounter->getSelectedCreatures();
        for (const RegisteredShots& shots : registeredShots()) {
            // Each family starts in the main window, active as the game master
            // works in it, from the fight's selection, drawn on the docks, and
            // the same dice, whatever the family before it left.
            bringToFront(mainWindow);
            Global::encounter->setSelectedCreatures(selected);
            refreshTick();
            srand(1);
            shots.producer(sink);
        }
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
