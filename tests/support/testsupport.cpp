#include "support/testsupport.h"

#include <QCoreApplication>

namespace {
QStringList captured;
}

RecordedChores::RecordedChores()
{
    SwitchBoard* board = &Global::switchBoard;
    connect(board, &SwitchBoard::doSetMainWindowTitle, this, [this](const QString& text) { windowTitles.append(text); });
    connect(board, &SwitchBoard::doSetLeftStatus, this, [this](const QString& text) { leftStatus.append(text); });
    connect(board, &SwitchBoard::doSetRightStatus, this, [this](const QString& text) { rightStatus.append(text); });
    connect(board, &SwitchBoard::doToggleStartStopNextButtons, this, [this] { startStopToggles++; });
    connect(board, &SwitchBoard::doPerformTurnStart, this, [this] { turnStarts++; });
    connect(board, &SwitchBoard::doCharacterStatsUpdated, this, [this] { statsUpdates++; });
}

CapturedMessages::CapturedMessages()
{
    captured.clear();
    previous = qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& text) {
        captured.append(text);
    });
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
