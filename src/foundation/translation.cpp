#include "foundation/translation.h"

#include <QCoreApplication>
#include <QDir>

#include "foundation/global.h"

void Translation::setup()
{
    QString resources = Global::getResourcePath();
    if (resources.isEmpty())
        return;
    if (translator.load(resources + QDir::separator() + "translation.qm"))
        QCoreApplication::installTranslator(&translator);
}
