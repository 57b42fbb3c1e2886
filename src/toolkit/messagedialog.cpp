#include "toolkit/messagedialog.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QSettings>
#include <QVBoxLayout>

#include "foundation/global.h"
#include "toolkit/inputwidgets.h"

namespace {
const int selectFolder = 2;
const int openAnyway = 3;
}

MessageDialog::MessageDialog() : QDialog(Global::currentWindow)
{
    setModal(true);
}

int MessageDialog::run(Icon icon, const QString& title, const QString& text,
    QDialogButtonBox::StandardButtons standard, const QString& okText)
{
    build(icon, title, text, standard, okText);
    return exec();
}

void MessageDialog::build(Icon icon, const QString& title, const QString& text,
    QDialogButtonBox::StandardButtons standard, const QString& okText)
{
    static const char* const iconFiles[] = {":images/rvhn-alert.png", ":/images/rvhn-info.png", ":/images/rvhn-logo.png"};
    setWindowTitle(title);
    auto* picture = new QLabel(this);
    picture->setPixmap(QPixmap(iconFiles[icon]).scaled(64, 64, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    picture->setAlignment(Qt::AlignTop);
    auto* heading = new QLabel("<b>" + title.toHtmlEscaped() + "</b>", this);
    auto* body = new QLabel(text, this);
    body->setTextFormat(Qt::RichText);
    body->setWordWrap(true);
    body->setOpenExternalLinks(true);

    auto* words = new QVBoxLayout;
    words->addWidget(heading);
    words->addWidget(body);
    if (silence)
        words->addWidget(silence);
    words->addStretch();
    auto* row = new QHBoxLayout;
    row->addWidget(picture);
    row->addLayout(words, 1);
    buttons = new DialogButtonBox(standard, Qt::Horizontal, this);
    if (!okText.isEmpty())
        buttons->button(QDialogButtonBox::Ok)->setText(okText);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    // Of a fixed size, as its text asks: window managers draw no resize handle
    // under it. The row of buttons keeps the width the title needs.
    layout->setSizeConstraint(QLayout::SetFixedSize);
    const QMargins margins = layout->contentsMargins();
    buttons->setMinimumWidth(titleBarWidth(title) - margins.left() - margins.right());
}

int MessageDialog::titleBarWidth(const QString& title) const
{
    // Window managers draw the title about as large as our bold text, beside
    // the window's icon, its three buttons and their gaps: some 120 pixels.
    QFont bold = font();
    bold.setBold(true);
    return QFontMetrics(bold).horizontalAdvance(title) + 120;
}

int MessageDialog::runSilenceable(const QString& settingsKey, Icon icon, const QString& title, const QString& text,
    QDialogButtonBox::StandardButtons standard, const QString& okText)
{
    silence = new QCheckBox(tr("Do not show this message again"), this);
    const int result = run(icon, title, text, standard, okText);
    if (silence->isChecked())
        QSettings().setValue(settingsKey, false);
    return result;
}

bool MessageDialog::isSilenced(const QString& settingsKey)
{
    return !QSettings().value(settingsKey, true).toBool();
}

void MessageDialog::alert(const QString& title, const QString& text)
{
    run(AlertIcon, title, text, QDialogButtonBox::Ok);
}

void MessageDialog::info(const QString& title, const QString& text)
{
    run(InfoIcon, title, text, QDialogButtonBox::Ok);
}

void MessageDialog::about(const QString& title, const QString& text)
{
    run(LogoIcon, title, text, QDialogButtonBox::Ok);
}

int MessageDialog::badRootAlert(const QString& title, const QString& text, const QString& buttonText)
{
    build(AlertIcon, title, text, QDialogButtonBox::Ok | QDialogButtonBox::Cancel, buttonText);
    QPushButton* select = buttons->addButton(tr("Select Folder..."), QDialogButtonBox::ActionRole);
    connect(select, &QPushButton::clicked, this, [this] { done(selectFolder); });
    const int result = exec();
    return result == selectFolder ? 2 : (result == QDialog::Accepted ? 1 : 0);
}

UiHooks::LockedFolderAnswer MessageDialog::lockedFolderAlert(const QString& title, const QString& text, bool openable,
                                                             const QString& leaveText)
{
    using Answer = UiHooks::LockedFolderAnswer;
    build(AlertIcon, title, text, QDialogButtonBox::Ok | QDialogButtonBox::Cancel, tr("Select Folder..."));
    buttons->button(QDialogButtonBox::Cancel)->setText(leaveText);
    if (openable) {
        QPushButton* open = buttons->addButton(tr("Open Anyway"), QDialogButtonBox::ActionRole);
        // Taking a folder over is never what Enter does.
        open->setAutoDefault(false);
        connect(open, &QPushButton::clicked, this, [this] { done(openAnyway); });
    }
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    const int result = exec();
    if (result == openAnyway)
        return Answer::OpenAnyway;
    return result == QDialog::Accepted ? Answer::SelectFolder : Answer::Leave;
}

bool MessageDialog::rejectableAlert(const QString& title, const QString& text)
{
    return run(AlertIcon, title, text, QDialogButtonBox::Ok | QDialogButtonBox::Cancel) == QDialog::Accepted;
}

bool MessageDialog::rejectableAlert(const QString& title, const QString& text, const QString& okText)
{
    return run(AlertIcon, title, text, QDialogButtonBox::Ok | QDialogButtonBox::Cancel, okText) == QDialog::Accepted;
}

bool MessageDialog::rejectableAlert(const QString& settingsKey, const QString& title, const QString& text, const QString& okText)
{
    if (isSilenced(settingsKey))
        return true;
    return runSilenceable(settingsKey, AlertIcon, title, text, QDialogButtonBox::Ok | QDialogButtonBox::Cancel, okText)
        == QDialog::Accepted;
}

bool MessageDialog::rejectableInfo(const QString& title, const QString& text, const QString& acceptText)
{
    return run(InfoIcon, title, text, QDialogButtonBox::Ok | QDialogButtonBox::Cancel, acceptText) == QDialog::Accepted;
}

void MessageDialog::hideableInfo(const QString& settingsKey, const QString& title, const QString& text)
{
    if (!isSilenced(settingsKey))
        runSilenceable(settingsKey, InfoIcon, title, text, QDialogButtonBox::Ok, QString());
}
