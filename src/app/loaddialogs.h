#ifndef LOADDIALOGS_H
#define LOADDIALOGS_H

#include <QElapsedTimer>
#include <QProgressDialog>

#include "foundation/progress.h"

class QFileDialog;

// The model's progress shown in a window-modal progress dialog with a Cancel button.
class DialogProgress : public Progress
{
public:
    DialogProgress(const QString& label, int maximum);

    void setLabelText(const QString& text) override;
    void setRange(int low, int high) override { dialog.setRange(low, high); }
    void setValue(int value) override;
    bool wasCanceled() const override { return dialog.wasCanceled(); }
    void setCancelEnabled(bool enabled) override;
    QProgressDialog* widget() { return &dialog; }

private:
    QProgressDialog dialog;
    QElapsedTimer sinceShown;
};

namespace LoadDialogs {
// The dialog that chooses a data folder, set up as the program shows it.
void setUpFolderDialog(QFileDialog& dialog);
// The folder chosen, looked for beside near; empty when cancelled.
QString chooseDataFolder(const QString& near);
}

#endif
