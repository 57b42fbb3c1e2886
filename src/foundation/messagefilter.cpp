#include "foundation/messagefilter.h"

#include <QString>
#include <QThread>
#include <QtGlobal>

#include <atomic>

namespace {

std::atomic<bool> installed{false};
std::atomic<QtMessageHandler> shown{nullptr};
std::atomic<bool> platformQuiet{false};
thread_local int goneLockFiles = 0;

void filter(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (platformQuiet && text.startsWith("This plugin does not support"))
        return;
    if (goneLockFiles > 0 && text.startsWith("Could not remove our own lock file"))
        return;
    QtMessageHandler handler = shown;
    // Empty only between the install and the line after it, where another thread's message may fall.
    while (!handler) {
        QThread::yieldCurrentThread();
        handler = shown;
    }
    handler(type, context, text);
}

}

namespace MessageFilter {

void install()
{
    if (installed.exchange(true))
        return;
    platformQuiet = qgetenv("QT_QPA_PLATFORM").startsWith("offscreen");
    shown = qInstallMessageHandler(filter);
}

GoneLockFile::GoneLockFile()
{
    goneLockFiles++;
}

GoneLockFile::~GoneLockFile()
{
    goneLockFiles--;
}

}
