#ifndef RENAMEDIALOG_H
#define RENAMEDIALOG_H

#include <QDialog>
#include <QString>

#include "toolkit/windowsanddialogs.h"

class Creature;
class QDialogButtonBox;
class QLineEdit;

// Asks for a template name, not empty, that no other template has (any
// case) when the one wanted is taken. The allowed name passes although a
// template has it; the template being renamed never stands in its own way.
class RenameDialog : public QDialog, public WindowsAndDialogs
{
    Q_OBJECT

public:
    RenameDialog(const QString& allowedName, const QString& duplicateName, const Creature* renamed = nullptr);

    // Runs the dialog: the name trimmed, or empty when the user gave up.
    QString getNewName();

protected:
    void showEvent(QShowEvent* event) override;

private slots:
    void onNameChanged(const QString& text);

private:
    QString allowedName;
    const Creature* renamed;
    QLineEdit* nameEdit = nullptr;
    QDialogButtonBox* buttonBox = nullptr;
};

#endif
