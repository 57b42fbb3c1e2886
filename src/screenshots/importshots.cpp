// Choosing a builder file to import: the open-file dialog in the data
// folder, then the alert for a file that is already one of our characters:
// import-open-file.png and import-already-imported.png.
#include <QApplication>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>

#include <chrono>
#include <filesystem>
#include <utility>

#include "app/windowhooks.h"
#include "creature/creature.h"
#include "foundation/global.h"
#include "screenshots/shotsink.h"
#include "toolkit/messagedialog.h"

namespace {

// The dialog shows when each entry was changed: the same moment every run.
void setChanged(const QString& path)
{
    using namespace std::chrono;
    // Half a minute past, so that the moments between the clocks' readings change no minute.
    const auto when = system_clock::from_time_t(1764685830);
    const auto onFileClock = std::filesystem::file_time_type::clock::now() + (when - system_clock::now());
    std::error_code ignored;
    std::filesystem::last_write_time(path.toStdString(),
                                     time_point_cast<std::filesystem::file_time_type::duration>(onFileClock), ignored);
}

void shootImportChoice(ShotSink& sink)
{
    const QDir data(scratchFolder("import"));
    data.mkpath("Characters");
    for (const char* file : {"Characters/vex.dnd4e", "bog-hag.monster", "tamsin.dnd4e"}) {
        QFile builder(data.filePath(file));
        builder.open(QIODevice::WriteOnly);
        builder.close();
        setChanged(builder.fileName());
    }
    setChanged(data.filePath("Characters"));
    // The pictures after these still need the demonstration data folder.
    const QString demoRoot = std::exchange(Global::nativeRootPath, QDir::toNativeSeparators(data.path()));
    Creature::characterImportDirectory.clear();
    WindowHooks hooks;
    Global::setUiHooks(&hooks);
    QStringList shot;
    QTimer driver;
    QObject::connect(&driver, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* dialog = qobject_cast<QFileDialog*>(modal); dialog && !shot.contains("dialog")) {
            // The dialog reads the folder on a thread of its own: it is shown with its three entries.
            const auto* files = dialog->findChild<QFileSystemModel*>();
            if (files && files->rowCount(files->index(data.path())) < 3)
                return;
            shot << "dialog";
            dialog->resize(720, 440);
            sink.save("import-open-file", dialog);
            auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
            name->setText(data.filePath("Characters/vex.dnd4e"));
            QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
            QApplication::sendEvent(name, &enter);
        } else if (auto* box = qobject_cast<MessageDialog*>(modal); box && !shot.contains("alert")) {
            shot << "alert";
            sink.save("import-already-imported", box);
            box->accept();
        }
    });
    driver.start(50);
    Creature::selectImportFile();
    Global::setUiHooks(nullptr);
    Global::nativeRootPath = demoRoot;
    if (shot.size() < 2)
        sink.save("import-already-imported", QImage());
}

const ShotRegistration registration("import", shootImportChoice);

}
