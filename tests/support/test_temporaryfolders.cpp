// A test program that aborts leaves its temporary folders behind; the next
// one removes them, and leaves those of programs still running.

#include <QCoreApplication>
#include <QDir>
#include <QProcess>

#include "support/testsupport.h"

class TestTemporaryFolders : public QObject
{
    Q_OBJECT

private slots:
    void foldersOfEndedProgramsAreRemoved()
    {
        QProcess ended;
        ended.start("true", QStringList());
        QVERIFY(ended.waitForStarted());
        const qint64 endedPid = ended.processId();
        QVERIFY(ended.waitForFinished());
        QDir temp(QDir::tempPath());
        const QString abandoned = QString("ravelhorn-test-%1-AbCdEf").arg(endedPid);
        const QString running = QString("ravelhorn-test-%1-GhIjKl").arg(QCoreApplication::applicationPid());
        for (const QString& name : {abandoned, running})
            QVERIFY(temp.mkpath(name + "/Ravelhorn-XyZ123"));
        // Another test program starts: here, this one listing its tests.
        QProcess next;
        next.start(QCoreApplication::applicationFilePath(), {"-functions"});
        QVERIFY(next.waitForFinished());
        QVERIFY(!temp.exists(abandoned));
        QVERIFY(temp.exists(running));
        QVERIFY(QDir(temp.filePath(running)).removeRecursively());
    }
};

RAVELHORN_TEST_MAIN(QCoreApplication, TestTemporaryFolders)
#include "test_temporaryfolders.moc"
