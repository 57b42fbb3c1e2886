#include "foundation/translation.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "foundation/global.h"

namespace {

const int compileTimeout = 30000;
const char* const sourceName = "translation.ts";
const char* const compiledName = "translation.qm";

bool holdsTranslation(const QString& folder)
{
    QDir dir(folder);
    return dir.exists(sourceName) || dir.exists(compiledName);
}

}

QString LreleaseCompiler::findTool()
{
    for (auto location : {QLibraryInfo::BinariesPath, QLibraryInfo::LibraryExecutablesPath}) {
        const QFileInfo tool(QDir(QLibraryInfo::path(location)).filePath("lrelease"));
        if (tool.isFile() && tool.isExecutable())
            return tool.absoluteFilePath();
    }
    return QString();
}

bool LreleaseCompiler::compile(const QString& source, const QString& target, QString& error)
{
    const QString tool = findTool();
    if (tool.isEmpty()) {
        error = QCoreApplication::translate("Translation",
            "The translation compiler \"lrelease\" was not found. Install the package \"%1\" and import the file again.")
                    .arg("qt6-l10n-tools");
        return false;
    }
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(tool, {QFileInfo(source).absoluteFilePath(), "-qm", QFileInfo(target).absoluteFilePath()});
    if (!process.waitForFinished(compileTimeout)) {
        process.kill();
        process.waitForFinished();
        error = QCoreApplication::translate("Translation", "\"lrelease\" did not finish: %1").arg(process.errorString());
        return false;
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0 || !QFileInfo(target).size()) {
        error = QCoreApplication::translate("Translation", "\"lrelease\" could not compile the file: %1")
                    .arg(QString::fromLocal8Bit(process.readAll()).trimmed().toHtmlEscaped());
        return false;
    }
    return true;
}

Translation::Translation(QObject* parent) : QObject(parent), compiler(std::make_unique<LreleaseCompiler>())
{
}

Translation::~Translation() = default;

QString Translation::getFolder(bool forWriting)
{
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (holdsTranslation(data))
        return data;
    const QString resources = Global::getResourcePath();
    if (!forWriting || (!resources.isEmpty() && QFileInfo(resources).isWritable()))
        return resources;
    QDir().mkpath(data);
    return data;
}

bool Translation::compileToBytes(const QString& source, QByteArray& compiled, QString& error)
{
    // The tool writes into a folder of its own; the installed .qm is only replaced after it succeeded.
    QTemporaryDir scratch;
    const QString target = scratch.filePath(compiledName);
    if (!scratch.isValid() || !compiler->compile(source, target, error))
        return false;
    QFile file(target);
    compiled = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    if (compiled.isEmpty())
        error = tr("The compiled translation could not be read.");
    return !compiled.isEmpty();
}

void Translation::setup()
{
    const QString folder = getFolder(false);
    if (folder.isEmpty())
        return;
    const QFileInfo source(QDir(folder).filePath(sourceName));
    const QFileInfo target(QDir(folder).filePath(compiledName));
    QByteArray compiled;
    QString error;
    if (source.exists() && (!target.exists() || source.lastModified() > target.lastModified())
        && compileToBytes(source.filePath(), compiled, error))
        Global::saveFile(target.filePath(), compiled);

    auto next = std::make_unique<QTranslator>();
    if (!next->load(target.filePath()))
        return;
    translator = std::move(next);
    QCoreApplication::installTranslator(translator.get());
}

bool Translation::install(const QString& sourceFile, QString& error)
{
    QByteArray compiled;
    if (!compileToBytes(sourceFile, compiled, error))
        return false;
    QFile source(sourceFile);
    const QDir folder(getFolder(true));
    if (!source.open(QIODevice::ReadOnly) || !Global::saveFile(folder.filePath(sourceName), source.readAll())
        || !Global::saveFile(folder.filePath(compiledName), compiled)) {
        error = tr("The translation could not be saved in %1.").arg(folder.path().toHtmlEscaped());
        return false;
    }
    setup();
    return true;
}
