#include "uihooks.h"

#include <QDebug>

void UiHooks::alert(const QString& title, const QString& text)
{
    qWarning().noquote() << title << ":" << text;
}

int UiHooks::badRootAlert(const QString& title, const QString& text, const QString&)
{
    qWarning().noquote() << title << ":" << text;
    return 0;
}

void UiHooks::setMainWindowTitle(const QString&)
{
}

void UiHooks::debugText(const QString& text)
{
    qDebug().noquote() << text;
}

QString UiHooks::getOpenFileName(const QString&, const QString&, const QString&)
{
    return QString();
}

void UiHooks::toggleSelectionButtons()
{
}

void UiHooks::toggleJumpInButton()
{
}
