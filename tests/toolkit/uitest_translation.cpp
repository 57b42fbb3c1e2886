#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>

#include "foundation/translation.h"
#include "support/testsupport.h"
#include "toolkit/languagedialog.h"
#include "toolkit/messagedialog.h"

namespace {

// Succeeds by writing a stand-in .qm, or fails; remembers what it compiled.
struct FakeCompiler : TranslationCompiler
{
    FakeCompiler(bool succeed, QStringList* sources) : succeed(succeed), sources(sources) {}
    bool compile(const QString& source, const QString& target, QString& error) override
    {
        sources->append(QFileInfo(source).fileName());
        error = "broken";
        return succeed && TestSupport::writeFile(target, "compiled " + TestSupport::readFile(source));
    }
    bool succeed;
    QStringList* sources;
};

QByteArray translationSource(const QString& selectFolder)
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<!DOCTYPE TS>\n<TS version=\"2.1\" language=\"de\">\n"
           "<context><name>MessageDialog</name><message><source>Select Folder...</source><translation>"
        + selectFolder.toUtf8() + "</translation></message></context>\n</TS>\n";
}

// The label of the "Select Folder..." button as the message box shows it now.
QString selectFolderLabel()
{
    QString label;
    QTimer::singleShot(0, [&label] {
        auto* box = qobject_cast<MessageDialog*>(QApplication::activeModalWidget());
        for (QAbstractButton* button : box->buttonBox()->buttons())
            if (box->buttonBox()->buttonRole(button) == QDialogButtonBox::ActionRole)
                label = button->text();
        box->reject();
    });
    MessageDialog().badRootAlert("Data Folder", "x", "Create");
    return label;
}

}

class TestTranslation : public QObject
{
    Q_OBJECT

private:
    QString folder;
    QTemporaryDir picked;

    QString pickedFile(const QString& name, const QByteArray& bytes)
    {
        const QString path = picked.filePath(name);
        TestSupport::writeFile(path, bytes);
        return path;
    }

    QByteArray installed(const char* name) const { return TestSupport::readFile(QDir(folder).filePath(name)); }

    // Imports the file through the language dialog; the title of the box that told the result.
    QString import(Translation& translation, const QString& file)
    {
        RecordingUiHooks hooks;
        hooks.openFileAnswer = file;
        QString told;
        QTimer::singleShot(0, [&told] {
            told = QApplication::activeModalWidget()->windowTitle();
            QApplication::activeModalWidget()->close();
        });
        LanguageDialog(&translation).runDialog();
        return told;
    }

private slots:
    void init()
    {
        folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
        QDir(folder).removeRecursively();
        QVERIFY(QDir().mkpath(folder));
    }

    void compilerFailureKeepsTheInstalledTranslation()
    {
        QStringList compiled;
        TestSupport::writeFile(QDir(folder).filePath("translation.qm"), "old");
        QFile qm(QDir(folder).filePath("translation.qm"));
        QVERIFY(qm.open(QIODevice::Append) && qm.setFileTime(QDateTime(QDate(2020, 1, 1), QTime()), QFile::FileModificationTime));
        TestSupport::writeFile(QDir(folder).filePath("translation.ts"), "first");

        Translation translation;
        translation.setCompiler(std::make_unique<FakeCompiler>(false, &compiled));
        translation.setup();
        QCOMPARE(compiled, QStringList({"translation.ts"}));
        QCOMPARE(installed("translation.qm"), QByteArray("old"));

        QCOMPARE(import(translation, pickedFile("german v2 2025-01-01 1234.ts", "second")), QString("Cannot Import Language File"));
        QCOMPARE(installed("translation.ts"), QByteArray("first"));
        QCOMPARE(installed("translation.qm"), QByteArray("old"));

        translation.setCompiler(std::make_unique<FakeCompiler>(true, &compiled));
        QCOMPARE(import(translation, pickedFile("german v3.ts", "third")), QString("Language File Imported"));
        QCOMPARE(installed("translation.ts"), QByteArray("third"));
        QCOMPARE(installed("translation.qm"), QByteArray("compiled third"));
        // The fresh .qm is newer than its source: the set-up compiles nothing.
        QCOMPARE(compiled.size(), 3);
    }

    void importedTranslationChangesTheNextMessageBox()
    {
        if (LreleaseCompiler::findTool().isEmpty())
            QSKIP("lrelease is not installed");
        TestSupport::writeFile(QDir(folder).filePath("translation.ts"), translationSource("Ordner wählen..."));
        {
            Translation translation;
            translation.setup();
            QVERIFY(QFile::exists(QDir(folder).filePath("translation.qm")));
            QCOMPARE(selectFolderLabel(), QString("Ordner wählen..."));

            QStringList compiled;
            const QString french = pickedFile("french.ts", translationSource("Choisir un dossier..."));
            translation.setCompiler(std::make_unique<FakeCompiler>(false, &compiled));
            QCOMPARE(import(translation, french), QString("Cannot Import Language File"));
            QCOMPARE(selectFolderLabel(), QString("Ordner wählen..."));

            translation.setCompiler(std::make_unique<LreleaseCompiler>());
            QCOMPARE(import(translation, french), QString("Language File Imported"));
            QCOMPARE(selectFolderLabel(), QString("Choisir un dossier..."));
        }
        QCOMPARE(selectFolderLabel(), QString("Select Folder..."));
    }
};

RAVELHORN_TEST_MAIN(QApplication, TestTranslation)
#include "uitest_translation.moc"
