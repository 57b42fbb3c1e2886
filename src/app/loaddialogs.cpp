#include "app/loaddialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QPushButton>

DialogProgress::DialogProgress(const QString& label, int maximum)
{
    dialog.setLabelText(label);
    dialog.setCancelButtonText(QObject::tr("Cancel"));
    dialog.setRange(0, maximum);
    dialog.setWindowModality(Qt::WindowModal);
    dialog.setAutoClose(false);
    dialog.setAutoReset(false);
    dialog.setMinimumDuration(0);
}

void DialogProgress::setLabelText(const QString& text)
{
    Progress::setLabelText(text);
    dialog.setLabelText(text);
}

void DialogProgress::setValue(int value)
{
    Progress::setValue(value);
    // Repainting the dialog for every file took longer than reading it: the
    // dialog follows, and Cancel is answered, a few times a second.
    if (sinceShown.isValid() && sinceShown.elapsed() < 50 && value < dialog.maximum())
        return;
    dialog.setValue(value);
    QApplication::processEvents();
    sinceShown.start();
}

void DialogProgress::setCancelEnabled(bool enabled)
{
    if (auto* cancel = dialog.findChild<QPushButton*>())
        cancel->setEnabled(enabled);
}

namespace LoadDialogs {

void setUpFolderDialog(QFileDialog& dialog)
{
    dialog.setWindowTitle(QObject::tr("Select Ravelhorn Data Folder"));
    dialog.setNameFilter(QObject::tr("Ravelhorn Data"));
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
}

QString chooseDataFolder(const QString& near)
{
    // Not in the working folder, which Return would make the data folder: Return chooses near again.
    const QFileInfo folder(near);
    QFileDialog dialog(nullptr, QString(), folder.absolutePath(), QString());
    setUpFolderDialog(dialog);
    dialog.selectFile(folder.fileName());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().first();
}

}
