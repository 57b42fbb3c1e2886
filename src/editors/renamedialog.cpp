#include "editors/renamedialog.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "foundation/global.h"
#include "library/monsters.h"
#include "toolkit/inputwidgets.h"

RenameDialog::RenameDialog(const QString& allowedName, const QString& duplicateName, const Creature* renamed)
    : allowedName(allowedName), renamed(renamed)
{
    auto* icon = new QLabel;
    icon->setPixmap(QPixmap(":images/rvhn-alert.png"));
    icon->setFixedSize(64, 64);
    icon->setScaledContents(true);
    icon->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
    const QString message
        = tr("You already have a monster called <b>%1</b>. Please enter a new name for the Monster.")
              .arg(duplicateName.toHtmlEscaped());
    QLabel* messageLabel = htmlLabel(Global::lineBreak(message, 56));
    nameEdit = new QLineEdit(duplicateName);
    nameEdit->selectAll();
    buttonBox = new DialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QPushButton* ok = buttonBox->button(QDialogButtonBox::Ok);
    ok->setEnabled(false);
    ok->setDefault(false);

    auto* grid = new QGridLayout(this);
    grid->addWidget(icon, 0, 0, 1, 1);
    grid->addWidget(messageLabel, 0, 1, 2, 1);
    grid->addWidget(new QLabel(tr("Name:")), 2, 0, 1, 1);
    grid->addWidget(nameEdit, 2, 1, 1, 1);
    grid->addWidget(buttonBox, 3, 0, 1, 2);
    setWindowTitle(tr("Duplicate Monster Name"));

    connect(buttonBox, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttonBox, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(nameEdit, &QLineEdit::textEdited, this, &RenameDialog::onNameChanged);
}

QString RenameDialog::getNewName()
{
    nameEdit->setFocus();
    return exec() == QDialog::Accepted ? nameEdit->text().trimmed() : QString();
}

void RenameDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // The button box makes OK the default as it shows; Return must not accept the clashing name.
    QPushButton* ok = buttonBox->button(QDialogButtonBox::Ok);
    ok->setDefault(ok->isEnabled());
}

void RenameDialog::onNameChanged(const QString& text)
{
    const QString name = text.trimmed();
    // No template has the empty name, but a template without one cannot be kept.
    const bool free = !name.isEmpty()
                      && ((!allowedName.isEmpty() && name == allowedName) || !Global::monsters->findTemplate(name, renamed));
    QPushButton* ok = buttonBox->button(QDialogButtonBox::Ok);
    ok->setEnabled(free);
    ok->setDefault(free);
}
