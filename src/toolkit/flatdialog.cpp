#include "toolkit/flatdialog.h"

#include <QEventLoop>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>

#include "foundation/global.h"
#include "toolkit/commandkeys.h"
#include "toolkit/inputwidgets.h"
#include "toolkit/panelhost.h"

FlatDialog::FlatDialog(QWidget* parent) : QWidget(parent)
{
    connect(&Global::switchBoard, &SwitchBoard::doCancelFlatDialog, this, &FlatDialog::onCancel);
}

FlatDialog::~FlatDialog()
{
    delete content;
}

void FlatDialog::setupDialogTitle(QLabel* title)
{
    title->setText(windowTitle());
}

void FlatDialog::setupDialogButton(QToolButton* button)
{
    button->hide();
}

QWidget* FlatDialog::getWidget()
{
    return content;
}

bool FlatDialog::getAdjustHeight()
{
    return false;
}

void FlatDialog::setDefaultFocus(QWidget* widget)
{
    if (!widget)
        return;
    // Walk the window's focus chain once, from the content onwards.
    const int steps = widget->window()->findChildren<QWidget*>().size() + 1;
    QWidget* next = widget->nextInFocusChain();
    for (int step = 0; step < steps && next && next != widget; ++step, next = next->nextInFocusChain()) {
        if (widget->isAncestorOf(next) && next->isEnabled() && (next->focusPolicy() & Qt::TabFocus)
            && next->isVisibleTo(widget)) {
            next->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
    widget->setFocus(Qt::OtherFocusReason);
}

int FlatDialog::exec()
{
    PanelHost* host = PanelHost::instance();
    if (host && host->runningFlatDialog())
        return 0;
    // A panel may rebuild its content while it runs.
    QPointer<QWidget> widget = getWidget();
    if (host) {
        host->showFlatDialog(this);
        host->setFlatDialogDisplay(widget, getAdjustHeight());
    } else if (widget) {
        showOnItsOwn(widget, true);
    }
    QEventLoop eventLoop;
    loop = &eventLoop;
    result = 0;
    setDefaultFocus(widget);
    const PanelKeysFirst keys(this, widget ? widget->window() : nullptr);
    eventLoop.exec();
    loop = nullptr;
    if (host) {
        host->showFlatDialog(nullptr);
        host->setFlatDialogDisplay(nullptr, false);
        host->panelClosed();
    } else if (widget) {
        showOnItsOwn(widget, false);
    }
    return result;
}

void FlatDialog::showOnItsOwn(QWidget* widget, bool show)
{
    if (show) {
        widget->setWindowTitle(windowTitle());
        widget->show();
    } else {
        widget->hide();
    }
}

QAbstractButton* FlatDialog::getDefaultButton() const
{
    if (defaultButton || !content)
        return defaultButton;
    auto* box = content->findChild<DialogButtonBox*>();
    return box ? box->button(QDialogButtonBox::Ok) : nullptr;
}

bool FlatDialog::keyPressed(int key, Qt::KeyboardModifiers modifiers)
{
    if (commandKeyPressed(key, modifiers))
        return true;
    switch (key) {
    case Qt::Key_Escape:
        reject();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (QAbstractButton* button = getDefaultButton()) {
            if (button->isEnabled())
                button->click();
        } else {
            accept();
        }
        return true;
    default:
        return false;
    }
}

void FlatDialog::setLayout(QLayout* layout)
{
    auto* centred = new QHBoxLayout;
    centred->setContentsMargins(0, 0, 0, 0);
    centred->addStretch();
    centred->addLayout(layout);
    centred->addStretch();
    setContent(centred);
}

void FlatDialog::setWideLayout(QLayout* layout)
{
    setContent(layout);
}

void FlatDialog::setContent(QLayout* layout)
{
    // Content never shown in a host is ours alone; shown there, it goes with the host.
    if (content && !content->parentWidget())
        delete content;
    content = layoutToWidget(layout);
}

void FlatDialog::accept()
{
    done(1);
}

void FlatDialog::done(int code)
{
    result = code;
    if (loop)
        loop->exit();
}

void FlatDialog::reject()
{
    done(0);
}

void FlatDialog::onCancel()
{
    reject();
}
