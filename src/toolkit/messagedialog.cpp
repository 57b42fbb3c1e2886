#include "toolkit/messagedialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

#include "foundation/global.h"

MessageDialog::MessageDialog() : QDialog(Global::currentWindow)
{
    setModal(true);
    buttons = new QDialogButtonBox(this);
}

void MessageDialog::setMessage(const QString& title, const QString& text)
{
    setWindowTitle(title);
    auto* icon = new QLabel(this);
    icon->setPixmap(QPixmap(":/images/rvhn-alert.png").scaled(64, 64, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    icon->setAlignment(Qt::AlignTop);
    auto* heading = new QLabel("<b>" + title.toHtmlEscaped() + "</b>", this);
    auto* body = new QLabel(text, this);
    body->setTextFormat(Qt::RichText);
    body->setWordWrap(true);
    body->setOpenExternalLinks(true);

    auto* words = new QVBoxLayout;
    words->addWidget(heading);
    words->addWidget(body);
    words->addStretch();
    auto* row = new QHBoxLayout;
    row->addWidget(icon);
    row->addLayout(words, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void MessageDialog::alert(const QString& title, const QString& text)
{
    buttons->addButton(QDialogButtonBox::Ok);
    setMessage(title, text);
    exec();
}

int MessageDialog::badRootAlert(const QString& title, const QString& text, const QString& buttonText)
{
    const int selectFolder = 2;
    QPushButton* select = buttons->addButton(tr("Select Folder..."), QDialogButtonBox::ActionRole);
    connect(select, &QPushButton::clicked, this, [this] { done(selectFolder); });
    buttons->addButton(QDialogButtonBox::Ok)->setText(buttonText);
    buttons->addButton(QDialogButtonBox::Cancel)->setText(tr("Cancel"));
    setMessage(title, text);
    int result = exec();
    return result == selectFolder ? 2 : (result == QDialog::Accepted ? 1 : 0);
}

bool MessageDialog::rejectableAlert(const QString& title, const QString& text, const QString& buttonText)
{
    buttons->addButton(QDialogButtonBox::Ok)->setText(buttonText);
    buttons->addButton(QDialogButtonBox::Cancel)->setText(tr("Cancel"));
    setMessage(title, text);
    return exec() == QDialog::Accepted;
}
