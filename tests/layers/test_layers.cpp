#include <QDirIterator>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>

#include "support/testsupport.h"

namespace {

const QSet<QString> modelFolders{"foundation", "powers", "creature", "encounter", "library"};

// Within the model the singletons make these arrows: nothing else.
const QMap<QString, QSet<QString>> modelArrows{
    // Creatures reach the encounter (current creature, history), the libraries
    // (their own files and templates) and the actions and powers they carry.
    {"creature", {"foundation", "encounter", "library", "powers"}},
    // The encounter holds creatures and records the power events.
    {"encounter", {"foundation", "creature", "powers"}},
    // Powers act on creatures through the encounter's history.
    {"powers", {"foundation", "creature", "encounter"}},
    // The libraries hold creatures; the data-folder switch resets the
    // encounter and its history and loads the actions.
    {"library", {"foundation", "creature", "encounter", "powers"}},
};

// Between window folders only these arrows, each with its reason.
const QSet<QPair<QString, QString>> windowArrows{
    // The main window opens every other window.
    {"mainwindow", "combat"},
    {"mainwindow", "powerdialog"},
    {"mainwindow", "editors"},
    // The monster manager and the character creator open the power editor.
    {"editors", "powerdialog"},
    // The editors show their creature with the main window's creature display.
    {"editors", "mainwindow"},
    // The classic conditions-and-effects dialog is built of the power
    // dialog's creature choice and effect controls.
    {"combat", "powerdialog"},
};

// Start-up and the pictures of every window see everything.
const QSet<QString> programFolders{"app", "screenshots"};

bool mayInclude(const QString& from, const QString& to)
{
    if (from == to || programFolders.contains(from))
        return true;
    if (programFolders.contains(to) || from == "foundation")
        return false;
    if (modelFolders.contains(from))
        return modelArrows.value(from).contains(to);
    if (from == "toolkit")
        return to == "foundation";
    return modelFolders.contains(to) || to == "toolkit" || windowArrows.contains({from, to});
}

bool isWidgetHeader(const QString& header)
{
    static const QString widgets = QLibraryInfo::path(QLibraryInfo::HeadersPath) + "/QtWidgets/";
    return header.startsWith("QtWidgets/") || QFileInfo::exists(widgets + header);
}

// Every forbidden include below the source root, as "file:line: text".
QStringList forbiddenIncludes(const QString& root)
{
    static const QRegularExpression include(R"(^\s*#\s*include\s*([<"])([^>"]+)[>"])");
    QStringList found;
    QDirIterator it(root, {"*.h", "*.cpp"}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = QDir(root).relativeFilePath(it.next());
        const QString from = path.section('/', 0, 0);
        QFile file(it.filePath());
        if (!file.open(QIODevice::ReadOnly))
            continue;
        for (int number = 1; !file.atEnd(); ++number) {
            const QString line = QString::fromUtf8(file.readLine()).trimmed();
            const QRegularExpressionMatch match = include.match(line);
            if (!match.hasMatch())
                continue;
            const QString header = match.captured(2);
            const bool quoted = match.captured(1) == "\"";
            const bool forbidden = quoted ? header.contains('/') && !mayInclude(from, header.section('/', 0, 0))
                                          : modelFolders.contains(from) && isWidgetHeader(header);
            if (forbidden)
                found.append(QString("%1:%2: %3").arg(path).arg(number).arg(line));
        }
    }
    found.sort();
    return found;
}

}

class TestLayers : public QObject
{
    Q_OBJECT

private slots:
    // Each row is one file of a made-up tree and whether its include is forbidden.
    void findsForbiddenArrows_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("include");
        QTest::addColumn<bool>("forbidden");
        QTest::newRow("model to window") << "encounter/a.cpp" << "\"mainwindow/mainwindow.h\"" << true;
        QTest::newRow("model to toolkit") << "creature/a.cpp" << "\"toolkit/flatdialog.h\"" << true;
        QTest::newRow("model to a widget") << "library/a.cpp" << "<QWidget>" << true;
        QTest::newRow("model to a core class") << "library/a.cpp" << "<QFile>" << false;
        QTest::newRow("foundation upwards") << "foundation/a.cpp" << "\"creature/effect.h\"" << true;
        QTest::newRow("foundation to itself") << "foundation/a.cpp" << "\"foundation/global.h\"" << false;
        QTest::newRow("a singleton arrow") << "creature/a.cpp" << "\"encounter/encounter.h\"" << false;
        QTest::newRow("an arrow nobody listed") << "powers/a.cpp" << "\"library/monsters.h\"" << true;
        QTest::newRow("toolkit to a window") << "toolkit/a.cpp" << "\"mainwindow/mainwindow.h\"" << true;
        QTest::newRow("toolkit to the model") << "toolkit/a.cpp" << "\"encounter/encounter.h\"" << true;
        QTest::newRow("toolkit to foundation") << "toolkit/a.cpp" << "\"foundation/global.h\"" << false;
        QTest::newRow("main window opens a dialog") << "mainwindow/a.cpp" << "\"combat/a.h\"" << false;
        QTest::newRow("a dialog back to the main window") << "combat/a.cpp" << "\"mainwindow/mainwindow.h\"" << true;
        QTest::newRow("editors open the power editor") << "editors/a.cpp" << "\"powerdialog/a.h\"" << false;
        QTest::newRow("a new window folder to another") << "maps/a.cpp" << "\"editors/a.h\"" << true;
        QTest::newRow("a window to the model") << "powerdialog/a.h" << "\"powers/power.h\"" << false;
        QTest::newRow("a window to start-up") << "editors/a.cpp" << "\"app/program.h\"" << true;
        QTest::newRow("start-up to a window") << "app/a.cpp" << "\"editors/a.h\"" << false;
    }

    void findsForbiddenArrows()
    {
        QFETCH(QString, file);
        QFETCH(QString, include);
        QFETCH(bool, forbidden);
        QTemporaryDir root;
        QDir(root.path()).mkpath(file.section('/', 0, 0));
        QVERIFY(TestSupport::writeFile(root.filePath(file), "// one\n#include " + include.toUtf8() + "\n"));
        const QStringList expected{QString("%1:2: #include %2").arg(file, include)};
        QCOMPARE(forbiddenIncludes(root.path()), forbidden ? expected : QStringList());
    }

    void sourcesKeepTheirLayers()
    {
        QVERIFY(QFileInfo(RAVELHORN_SOURCES "/foundation/global.h").exists());
        const QStringList found = forbiddenIncludes(RAVELHORN_SOURCES);
        QVERIFY2(found.isEmpty(), qPrintable("\n" + found.join('\n')));
    }
};

RAVELHORN_TEST_MAIN(QCoreApplication, TestLayers)
#include "test_layers.moc"
