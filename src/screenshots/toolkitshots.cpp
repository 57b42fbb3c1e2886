// Pictures of the widget toolkit: the message boxes, a panel inside the main
// window, health bars and a sheet of every image with its name.
#include <QApplication>
#include <QDirIterator>
#include <QFormLayout>
#include <QLabel>
#include <QPainter>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>

#include "foundation/global.h"
#include "foundation/locktexts.h"
#include "mainwindow/mainwindow.h"
#include "screenshots/shotsink.h"
#include "toolkit/dynamicwidgets.h"
#include "toolkit/flatdialog.h"
#include "toolkit/inputwidgets.h"
#include "toolkit/messagedialog.h"
#include "toolkit/progressbar.h"

namespace {

void messageBoxes(ShotSink& sink)
{
    const QString text = "The monster file <b>Goblin Cutter.monster</b> could not be read.";
    sink.saveModal("message-alert", [&] { MessageDialog().alert("Cannot Read Monster", text); });
    sink.saveModal("message-info", [] { MessageDialog().info("Encounter Saved", "The encounter was saved."); });
    sink.saveModal("message-about", [] {
        MessageDialog().about("About Ravelhorn", "<b>Ravelhorn</b> " + Global::getVersion()
            + "<p>A combat tracker for the game master.");
    });
    // A long path wraps after its separators only.
    const QString longPath = Global::htmlPath(
        "/media/game master/Campaigns/The Drowned Chapel of the Marsh/Second Season Maps and Handouts/Ravelhorn Data");
    sink.saveModal("message-badroot", [&] {
        MessageDialog().badRootAlert("Data Folder Missing", "The data folder <b>" + longPath + "</b> was not found.",
                                     "Create Folder");
    });
    const LockTexts::Holder table{4711, "gaming-table", "ravelhorn"};
    sink.saveModal("message-folder-in-use", [&] {
        MessageDialog().lockedFolderAlert("Data Folder in Use",
            LockTexts::inUse("/home/gm/Documents/Ravelhorn Data", table) + LockTexts::atStart(true), false, "Quit");
    });
    sink.saveModal("message-folder-another-user", [&] {
        MessageDialog().lockedFolderAlert("Data Folder Locked",
            LockTexts::anotherUsers("/srv/share/Ravelhorn Data", table) + LockTexts::atStart(false), true, "Quit");
    });
    sink.saveModal("message-folder-unidentified", [] {
        const QString folder = "/srv/share/Ravelhorn Data";
        MessageDialog().lockedFolderAlert("Data Folder Locked",
            LockTexts::unidentified(folder, folder + "/.ravelhorn.lock", "Permission denied")
                + LockTexts::atStart(false),
            true, "Quit");
    });
    sink.saveModal("message-lock-stuck", [] {
        const QString folder = "/srv/share/Ravelhorn Data";
        MessageDialog().lockedFolderAlert("Lock File Cannot Be Removed",
            LockTexts::stuck(folder, folder + "/.ravelhorn.lock", "Permission denied") + LockTexts::atStart(false),
            false, "Quit");
    });
    sink.saveModal("message-folder-other-computer", [] {
        MessageDialog().lockedFolderAlert("Data Folder Locked",
            LockTexts::onAnotherComputer("/mnt/share/Ravelhorn Data", {4242, "otherlaptop", "ravelhorn"})
                + "<p>The data folder stays <b>Documents/Ravelhorn Data</b>.",
            true, "Cancel");
    });
    sink.saveModal("message-folder-not-locked", [] {
        MessageDialog().alert("Data Folder Not Locked",
            LockTexts::unlocked("/media/gm/Campaign", "/media/gm/Campaign/.ravelhorn.lock", "Read-only file system",
                                "/run/user/1000"));
    });
    sink.saveModal("message-rejectable", [&] {
        MessageDialog().rejectableAlert("screenshots/remove", "Remove Creatures",
            "Remove the selected creatures from the encounter?", "Remove");
    });
    sink.saveModal("message-hideable", [] {
        MessageDialog().hideableInfo("screenshots/hint", "Monster Manager Hint",
            "<b>Hint:</b> Paste a complete stat block to create a monster.");
    });
}

// A panel as the combat dialogs build theirs.
class SamplePanel : public FlatDialog
{
public:
    SamplePanel()
    {
        setWindowTitle("<b>Set Temporary Hit Points</b>");
        auto* form = new QFormLayout;
        form->addRow("Amount:", digitBox(99, 0, 6, true));
        auto* mode = new DisableComboBox(this);
        mode->addItem("Keep the larger", 1);
        mode->addItem("Replace", 2);
        mode->addItem("Add", 3);
        mode->setIndexEnabled(2, false);
        form->addRow("Rule:", mode);
        auto* note = new CheckboxLabel("Tell the players");
        form->addRow(note->getCheckBox(), note);
        auto* layout = vLayout(false, true, layoutToWidget(form), new DialogButtonBox(
            QDialogButtonBox::Ok | QDialogButtonBox::Cancel, Qt::Horizontal));
        setLayout(layout);
    }
};

void panel(ShotSink& sink)
{
    MainWindow* window = Global::mainWindow;
    SamplePanel dialog;
    QTimer::singleShot(50, [&] {
        sink.save("panel-in-main-window", window);
        dialog.reject();
    });
    dialog.exec();
}

void healthBars(ShotSink& sink)
{
    struct Bar
    {
        int percent;
        bool gray;
        const char* text;
        const char* background;
    };
    const Bar bars[] = {{100, false, "40/40", ""}, {50, false, "16/32", ""}, {0, false, "0/28", ""},
        {-30, false, "-11/36", ""}, {70, true, "14/20 hidden", ""}, {80, false, "48/60 selected", "#9ec3f0"}};
    QWidget sheet;
    auto* layout = new QVBoxLayout(&sheet);
    for (const Bar& bar : bars) {
        auto* widget = new ProgressBarWidget;
        widget->setProgress(bar.percent, bar.gray, bar.text, bar.background);
        widget->setFixedSize(220, 26);
        layout->addWidget(widget);
    }
    sink.save("health-bars", &sheet);
}

void imageSheet(ShotSink& sink)
{
    QStringList names;
    for (QDirIterator it(":/images", QDirIterator::Subdirectories); it.hasNext();)
        if (it.next(), it.fileInfo().isFile())
            names << it.filePath();
    names.sort();
    const int columns = 4, cellWidth = 260, cellHeight = 72;
    QImage sheet(columns * cellWidth, (names.size() + columns - 1) / columns * cellHeight, QImage::Format_RGB32);
    sheet.fill(Qt::white);
    QPainter painter(&sheet);
    for (int i = 0; i < names.size(); ++i) {
        const QPoint cell(i % columns * cellWidth, i / columns * cellHeight);
        QImage image(names[i]);
        if (image.width() > 64 || image.height() > 64)
            image = image.scaled(64, 64, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        painter.drawImage(cell + QPoint(4, 4), image);
        painter.drawText(QRect(cell + QPoint(72, 0), QSize(cellWidth - 76, cellHeight)),
            Qt::AlignVCenter | Qt::TextWordWrap, QString(names[i]).remove(":/images/"));
    }
    painter.end();
    sink.save("images", sheet);
}

ShotRegistration toolkitShots("toolkit", [](ShotSink& sink) {
    messageBoxes(sink);
    panel(sink);
    healthBars(sink);
    imageSheet(sink);
});

}
