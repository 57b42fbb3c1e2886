#include "support/testsupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include "foundation/global.h"

namespace {
QStringList captured;

void captureHandler(QtMsgType, const QMessageLogContext&, const QString& text)
{
    captured.append(text);
}
}

TemporaryHome::TemporaryHome() : oldHome(qgetenv("HOME"))
{
    qputenv("HOME", dir.path().toLocal8Bit());
}

TemporaryHome::~TemporaryHome()
{
    qputenv("HOME", oldHome);
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

void RecordingUiHooks::alert(const QString& title, const QString& text)
{
    alerts.append({title, text});
}

int RecordingUiHooks::badRootAlert(const QString& title, const QString& text, const QString&)
{
    alerts.append({title, text});
    return badRootAnswer;
}

void RecordingUiHooks::setMainWindowTitle(const QString& title)
{
    windowTitles.append(title);
}

void RecordingUiHooks::setLeftStatus(const QString& text)
{
    leftStatus.append(text);
}

void RecordingUiHooks::setRightStatus(const QString& text)
{
    rightStatus.append(text);
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
    previous = qInstallMessageHandler(captureHandler);
}

CapturedMessages::~CapturedMessages()
{
    qInstallMessageHandler(previous);
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
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setOrganizationName("Corvelle");
    QCoreApplication::setApplicationName("Ravelhorn");
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

}
