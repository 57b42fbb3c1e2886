#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>

#include "foundation/attributestorage.h"
#include "support/testsupport.h"

class TestAttributeStorage : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir;
    int serial = 0;

    QString freshPath() { return dir.filePath(QString("settings%1.txt").arg(++serial)); }

    QString withFile(const QByteArray& bytes)
    {
        QString path = freshPath();
        TestSupport::writeFile(path, bytes);
        return path;
    }

private slots:
    void loadingAndStoring()
    {
        QString path = withFile("  loose = 1 \n# comment=x\n\nflag\n[Window]\nwidth=640\nwidth=800\n\n"
                                "[Empty]\n[Colours]\nback=dark red\n[Window]\nwidth=1\n");
        AttributeStorage storage;
        storage.load(path);
        const QList<AttributeSection>& sections = storage.getSections();
        QCOMPARE(sections.size(), 4);
        QCOMPARE(sections[0].name, QString());
        QCOMPARE(storage.getValue(QString(), "loose"), QString("1"));
        QCOMPARE(storage.getValue(QString(), "flag"), QString(""));
        QVERIFY(!storage.getValue(QString(), "flag").isNull());
        // A repeated name replaces; a repeated section is a second one that
        // look-ups never reach.
        QCOMPARE(storage.getValue("Window", "width"), QString("800"));
        QCOMPARE(sections[3].getValue("width"), QString("1"));
        // A section without items is dropped.
        QVERIFY(storage.getValue("Empty", "back").isNull());
        QCOMPARE(storage.getValue("Colours", "back"), QString("dark red"));
        QVERIFY(storage.getValue("Colours", "front").isNull());
        QVERIFY(storage.getValue("Nowhere", "back").isNull());

        QVERIFY(storage.store(false));
        QCOMPARE(TestSupport::readFile(path), QByteArray("loose=1\nflag\n\n"
                                                         "[Window]\n\nwidth=800\n\n"
                                                         "[Colours]\n\nback=dark red\n\n"
                                                         "[Window]\n\nwidth=1\n\n"));

        // Loading again discards what was there.
        storage.load(withFile("[Other]\nkey=value\n"));
        QCOMPARE(storage.getSections().size(), 1);
        QVERIFY(storage.getValue("Window", "width").isNull());
    }

    void malformedLineEndsTheLoad()
    {
        AttributeStorage storage;
        storage.load(withFile("[A]\none=1\ntwo=2\n=broken\nthree=3\n[B]\nfour=4\n"));
        QCOMPARE(storage.getSections().size(), 1);
        QCOMPARE(storage.getValue("A", "two"), QString("2"));
        QVERIFY(storage.getValue("A", "three").isNull());
        QVERIFY(storage.getValue("B", "four").isNull());

        storage.load(withFile("[A]\none=1\n" + QByteArray(401, 'n') + "=v\nthree=3\n"));
        QCOMPARE(storage.getValue("A", "one"), QString("1"));
        QVERIFY(storage.getValue("A", "three").isNull());
    }

    void settingValues()
    {
        QString path = freshPath();
        AttributeStorage storage;
        storage.load(path); // no such file yet: empty
        QVERIFY(storage.getSections().isEmpty());
        QVERIFY(storage.setValue("Main", "size", "10"));
        QVERIFY(!storage.setValue("Main", "size", "10"));
        QVERIFY(storage.setValue("Main", "size", "12"));
        QVERIFY(storage.setValue("Main", "empty", ""));
        QVERIFY(!storage.setValue("Main", "empty", ""));
        QVERIFY(storage.setValue("Second", "size", "1"));
        QCOMPARE(storage.getSections().size(), 2);
        QCOMPARE(storage.getSections()[0].items.size(), 2);
        QCOMPARE(storage.getValue("Main", "size"), QString("12"));

        QVERIFY(storage.store(false));
        AttributeStorage loaded;
        loaded.load(path);
        QCOMPARE(loaded.getValue("Main", "size"), QString("12"));
        QCOMPARE(loaded.getValue("Main", "empty"), QString(""));
        QCOMPARE(loaded.getValue("Second", "size"), QString("1"));
    }

    void awkwardValuesRoundTrip()
    {
        const QList<QString> values{"back\\slash", "C:\\new\\table", "ends with\\", "line\rbreak", "two\nlines",
                                    "a=b=c", "# not a comment",
                                    QString::fromUtf8("\xc3\xa9p\xc3\xa9 \xe2\x80\x94 \xf0\x9f\x90\x89")};
        QString path = freshPath();
        AttributeStorage storage;
        storage.load(path);
        for (int i = 0; i < values.size(); ++i)
            storage.setValue("Awkward", ("value" + QByteArray::number(i)).constData(), values[i]);
        QVERIFY(storage.store(false));
        QByteArray bytes = TestSupport::readFile(path);
        QVERIFY(bytes.contains("value0=back\\\\slash\n"));
        QVERIFY(bytes.contains("value3=line\\rbreak\n"));

        AttributeStorage loaded;
        loaded.load(path);
        QCOMPARE(loaded.getSections().size(), 1);
        for (int i = 0; i < values.size(); ++i)
            QCOMPARE(loaded.getValue("Awkward", ("value" + QByteArray::number(i)).constData()), values[i]);
    }

    void userValues()
    {
        TemporaryHome home;
        QString path = freshPath();
        AttributeStorage storage;
        storage.load(path);
        QVERIFY(storage.getUserValue("theme").isNull());
        QVERIFY(storage.setUserValue("theme", "dark"));
        QVERIFY(!storage.setUserValue("theme", "dark"));
        QCOMPARE(storage.getUserValue("theme"), QString("dark"));
        QCOMPARE(storage.getValue(QDir::homePath(), "theme"), QString("dark"));
        QVERIFY(storage.store(false));
        QCOMPARE(TestSupport::readFile(path), "[" + QDir::homePath().toUtf8() + "]\n\ntheme=dark\n\n");
    }

    void ownerOnlyPermissions()
    {
        const QFileDevice::Permissions others = QFileDevice::ExeOwner | QFileDevice::ReadGroup
            | QFileDevice::WriteGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther | QFileDevice::WriteOther
            | QFileDevice::ExeOther;
        QString path = withFile("old=1\n");
        QVERIFY(QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::ReadOther
                                                | QFileDevice::WriteOther));
        AttributeStorage storage;
        storage.load(path);
        storage.setValue("S", "key", "value");
        QVERIFY(storage.store(true));
        QFileDevice::Permissions permissions = QFile::permissions(path);
        QVERIFY(permissions & QFileDevice::ReadOwner);
        QVERIFY(permissions & QFileDevice::WriteOwner);
        QCOMPARE(permissions & others, QFileDevice::Permissions());
        QCOMPARE(TestSupport::readFile(path), QByteArray("old=1\n\n[S]\n\nkey=value\n\n"));

        // A fresh file too.
        QString fresh = freshPath();
        storage.load(fresh);
        storage.setValue("S", "key", "value");
        QVERIFY(storage.store(true));
        QCOMPARE(QFile::permissions(fresh) & others, QFileDevice::Permissions());
    }

    void unwritableFile()
    {
        AttributeStorage storage;
        storage.load(dir.filePath("missing/folder/settings.txt"));
        storage.setValue("S", "key", "value");
        QVERIFY(!storage.store(false));
        QVERIFY(!QFileInfo::exists(dir.filePath("missing")));
    }
};

RAVELHORN_TEST_MAIN(QGuiApplication, TestAttributeStorage)
#include "test_attributestorage.moc"
