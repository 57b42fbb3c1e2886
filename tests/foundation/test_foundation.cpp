#include <QGuiApplication>

#include "foundation/attributestorage.h"
#include "foundation/attrtext.h"
#include "foundation/global.h"
#include "support/testsupport.h"

namespace {

// The pairs read from name=value text, as "name=value" joined by "|".
QString pairsOf(const QByteArray& text)
{
    QStringList pairs;
    AttrParser parser(text, 0);
    while (parser.nextAttr())
        pairs.append(parser.attrName() + "=" + parser.attrValue());
    return pairs.join('|');
}

}

class TestFoundation : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir;

private slots:
    void valuesRoundTripThroughTextAndSettings_data()
    {
        QTest::addColumn<QString>("value");
        for (const char* value : {"a\\b", "a\\\\b", "a\rb", "first\r\nsecond", "C:\\new", "path\\", "a=b # no comment", "", "\xc3\x89lan \xf0\x9f\x90\x89"})
            QTest::newRow(value) << QString::fromUtf8(value);
    }

    void valuesRoundTripThroughTextAndSettings()
    {
        QFETCH(QString, value);
        for (const char* lineEnd : {"\n", "\r\n"}) {
            AttrWriter writer(lineEnd);
            writer.addStringValue("before", "1");
            writer.addStringValue("value", value);
            writer.addIntValue("after", -2);
            QCOMPARE(pairsOf(writer.getBytes()), "before=1|value=" + value + "|after=-2");
        }
        AttributeStorage storage;
        storage.load(dir.filePath("settings.txt"));
        storage.setValue("Awkward", "value", value);
        QVERIFY(storage.store(false));
        AttributeStorage loaded;
        loaded.load(dir.filePath("settings.txt"));
        QCOMPARE(loaded.getValue("Awkward", "value"), value);
        QCOMPARE(Global::toBytes(QString("ab") + QChar(0) + "cd") + Global::toBytes("\\n"), QByteArray("ab\\\\n"));
    }

    void namesAndBlanks()
    {
        // Names may be 400 bytes long, blanks before "=" included; a line without "=" is a name of any length.
        QByteArray longest(400, 'n');
        QCOMPARE(pairsOf("first=1\n" + longest + "n=skipped\n=also skipped\n" + longest + " =skipped\n" + longest + "n\n"
                         "\r\r  " + longest + "=kept  \n# a=b\nnote=text\\n\nname=\xc2\xa0x\xc2\xa0"),
                 "first=1|" + longest + "n=|" + longest + "=kept|note=text|name=" + QString::fromUtf8("\xc2\xa0x\xc2\xa0"));
        AttrParser parser(QByteArray("# header\na=1\nb=2\n"), 0);
        QVERIFY(parser.nextAttr() && parser.nextAttr() && parser.getPos() == 12);
        parser.rewind();
        QVERIFY(parser.nextAttr() && parser.attrName() + parser.attrValue() == "b2" && !parser.nextAttr());
    }

    void settingsFiles()
    {
        QString path = dir.filePath("loaded.txt");
        QVERIFY(TestSupport::writeFile(path, "  loose = 1 \nflag\n[Window]\nwidth=640\nwidth=800\n[Empty]\n[Colours]\nback=dark red\n"
                                             "[Window]\nwidth=1\n"));
        AttributeStorage storage;
        storage.load(path);
        // A repeated name replaces; a repeated section is a second one that look-ups never reach; one without items is dropped.
        QCOMPARE(storage.getSections().size(), 4);
        QCOMPARE(storage.getValue("", "loose") + storage.getValue("", "flag") + storage.getValue("Window", "width"), QString("1800"));
        QVERIFY(!storage.getValue("", "flag").isNull() && storage.getValue("Colours", "front").isNull());
        QVERIFY(storage.setValue("Colours", "back", "red") && !storage.setValue("Colours", "back", "red"));
        QVERIFY(storage.store(true));
        QCOMPARE(TestSupport::readFile(path), QByteArray("loose=1\nflag\n\n[Window]\n\nwidth=800\n\n[Colours]\n\nback=red\n\n[Window]\n\nwidth=1\n\n"));
        QCOMPARE(QFile::permissions(path) & (QFileDevice::ReadGroup | QFileDevice::ReadOther), QFileDevice::Permissions());
        // A malformed line ends the load; a file that cannot be written is told.
        QVERIFY(TestSupport::writeFile(path, "[A]\ntwo=2\n=broken\nthree=3\n"));
        storage.load(path);
        QVERIFY(storage.getValue("A", "two") == "2" && storage.getValue("A", "three").isNull() && storage.getSections().size() == 1);
        storage.load(dir.filePath("missing/settings.txt"));
        storage.setValue("S", "key", "value");
        QVERIFY(!storage.store(false));
    }
};

RAVELHORN_TEST_MAIN(QGuiApplication, TestFoundation)
#include "test_foundation.moc"
