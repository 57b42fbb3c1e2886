#ifndef TRANSLATION_H
#define TRANSLATION_H

#include <QObject>
#include <QTranslator>

#include <memory>

// Compiles a translation source (.ts) into a translation file (.qm).
class TranslationCompiler
{
public:
    virtual ~TranslationCompiler() = default;
    // On failure the error says why, for the game master.
    virtual bool compile(const QString& source, const QString& target, QString& error) = 0;
};

// Qt's own "lrelease", from the Qt installation's tool folders.
class LreleaseCompiler : public TranslationCompiler
{
public:
    static QString findTool();
    bool compile(const QString& source, const QString& target, QString& error) override;
};

// The imported translation: "translation.ts" and its compiled
// "translation.qm", kept in the application-data folder when that holds
// them, else in the resource folder (the data folder when that is not writable).
class Translation : public QObject
{
    Q_OBJECT

public:
    explicit Translation(QObject* parent = nullptr);
    ~Translation() override;

    // Compiles the installed source when it is newer than its .qm (or there is
    // none), then loads and installs the .qm in place of the translator before.
    // Silent: what fails leaves the translation as it was.
    void setup();
    // Compiles the chosen source; only when that works it becomes the
    // installed one and is set up.
    bool install(const QString& sourceFile, QString& error);

    void setCompiler(std::unique_ptr<TranslationCompiler> newCompiler) { compiler = std::move(newCompiler); }
    static QString getFolder(bool forWriting);

private:
    bool compileToBytes(const QString& source, QByteArray& compiled, QString& error);

    std::unique_ptr<TranslationCompiler> compiler;
    std::unique_ptr<QTranslator> translator;
};

#endif
