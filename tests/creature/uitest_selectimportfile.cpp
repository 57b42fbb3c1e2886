#include <QApplication>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "app/windowhooks.h"
#include "creature/creature.h"
#include "foundation/global.h"
#include "support/testsupport.h"
#include "toolkit/messagedialog.h"

class TestSelectImportFile : public QObject
{
    Q_OBJECT

private slots:
    void choices_data()
    {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("reference");
        QTest::addColumn<QString>("alert");
        QTest::newRow("own character file") << "Data/Characters/vex.dnd4e" << ""
                                            << "Already Imported: The file 'vex.dnd4e' has already been imported.";
        QTest::newRow("inside the data folder") << "Data/Builder/vex.dnd4e" << "Builder/vex.dnd4e" << "";
        QTest::newRow("sibling folder") << "Data2/vex.dnd4e" << "/Data2/vex.dnd4e" << "";
    }

    // The real dialogs, answered as they come up: the file typed into the
    // open-file dialog, the message box closed.
    void choices()
    {
        QFETCH(QString, chosen);
        QFETCH(QString, reference);
        QFETCH(QString, alert);
        QTemporaryDir parent;
        const QString path = parent.filePath(chosen);
        QVERIFY(QDir(parent.path()).mkpath("Data") && QDir(parent.path()).mkpath(QFileInfo(path).path())
                && TestSupport::writeFile(path, "<D20Character/>"));
        Global::nativeRootPath = QDir::toNativeSeparators(parent.filePath("Data"));
        Creature::characterImportDirectory.clear();
        WindowHooks hooks;
        Global::setUiHooks(&hooks);
        QStringList folders;
        QStringList alerts;
        QTimer driver;
        connect(&driver, &QTimer::timeout, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
                folders << QDir::toNativeSeparators(dialog->directory().absolutePath());
                auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
                name->setText(path);
                QTest::keyClick(name, Qt::Key_Return);
            } else if (auto* box = qobject_cast<MessageDialog*>(modal)) {
                alerts << box->windowTitle() + ": " + box->findChildren<QLabel*>().last()->text();
                QTest::mouseClick(box->buttonBox()->buttons().first(), Qt::LeftButton);
            }
        });
        driver.start(20);
        const QString result = Creature::selectImportFile();
        Global::setUiHooks(nullptr);
        QCOMPARE(folders, QStringList{Global::getRootPath(false)});
        QCOMPARE(result, reference.startsWith('/') ? parent.path() + reference : reference);
        QCOMPARE(alerts.join(""), alert);
        QCOMPARE(Creature::characterImportDirectory, QDir::toNativeSeparators(QFileInfo(path).path() + "/"));
    }
};

RAVELHORN_TEST_MAIN(QApplication, TestSelectImportFile)
#include "uitest_selectimportfile.moc"
