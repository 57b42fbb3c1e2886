#include "foundation/uihooks.h"

#include <QDebug>

#include "foundation/progress.h"

void UiHooks::alert(const QString& title, const QString& text)
{
    qWarning().noquote() << title << ":" << text;
}

int UiHooks::badRootAlert(const QString& title, const QString& text, const QString&)
{
    qWarning().noquote() << title << ":" << text;
    return 0;
}

UiHooks::LockedFolderAnswer UiHooks::lockedFolderAlert(const QString& title, const QString& text, bool,
                                                       const QString&)
{
    qWarning().noquote() << title << ":" << text;
    return LockedFolderAnswer::Leave;
}

void UiHooks::debugText(const QString& text)
{
    qDebug().noquote() << text;
}

Progress* UiHooks::createProgress(const QString& label, int maximum)
{
    auto* progress = new Progress;
    progress->setLabelText(label);
    progress->setRange(0, maximum);
    return progress;
}

bool UiHooks::rejectableAlert(const QString& title, const QString& text, const QString&)
{
    qWarning().noquote() << title << ":" << text;
    return false;
}
