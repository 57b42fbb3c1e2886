#include "support/testsupport.h"

#include <QCoreApplication>
#include <QStandardPaths>

#include "foundation/global.h"

namespace {
QStringList captured;
}

QString TemporaryHome::documents() const
{
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
}

QString TemporaryHome::makeFolder(const QString& relative, const QStringList& libraries) const
{
    QString folder = dir.path() + "/" + relative;
    for (const QString& library : libraries)
        QDir().mkpath(folder + "/" + library);
    QDir().mkpath(folder);
    return QDir::toNativeSeparators(folder);
}

RecordingUiHooks::RecordingUiHooks()
{
    Global::setUiHooks(this);
}

RecordingUiHooks::~RecordingUiHooks()
{
    Global::setUiHooks(nullptr);
}

int RecordingUiHooks::badRootAlert(const QString& title, const QString& text, const QString&)
{
    alerts.append({title, text});
    return badRootAnswer;
}

QString RecordingUiHooks::getOpenFileName(const QString&, const QString& folder, const QString&)
{
    openFileFolders.append(folder);
    return openFileAnswer;
}

int RecordingUiHooks::promptForOngoingEffect(Creature* creature, Effect* effect)
{
    ongoingPrompts.append({creature, effect});
    return ongoingAnswer;
}

CapturedMessages::CapturedMessages()
{
    captured.clear();
    previous = qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& text) {
        captured.append(text);
    });
}

QStringList CapturedMessages::lines() const
{
    return captured;
}

QStringList CapturedMessages::linesStartingWith(const QString& prefix) const
{
    QStringList result;
    for (const QString& line : captured)
        if (line.startsWith(prefix))
            result.append(line);
    return result;
}

namespace TestSupport {

void isolateEnvironment()
{
    static QTemporaryDir root;
    qputenv("HOME", root.path().toLocal8Bit());
    for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_DOCUMENTS_DIR"})
        qunsetenv(name);
    if (qgetenv("QT_QPA_PLATFORM").isEmpty())
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setOrganizationName("Corvelle");
    QCoreApplication::setApplicationName("Ravelhorn");
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

}
