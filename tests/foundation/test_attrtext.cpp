#include <QGuiApplication>

#include "foundation/attrtext.h"
#include "foundation/global.h"
#include "support/testsupport.h"

namespace {

using Pair = QPair<QString, QString>;

QList<Pair> pairsOf(const QByteArray& text)
{
    QList<Pair> pairs;
    AttrParser parser(text, 0);
    while (parser.nextAttr())
        pairs.append({parser.attrName(), parser.attrValue()});
    return pairs;
}

}

class TestAttrText : public QObject
{
    Q_OBJECT

private slots:
    void escapesAsWritten()
    {
        QCOMPARE(Global::toBytes("a\\b"), QByteArray("a\\\\b"));
        QCOMPARE(Global::toBytes("one\ntwo"), QByteArray("one\\ntwo"));
        QCOMPARE(Global::toBytes("one\r\ntwo"), QByteArray("one\\r\\ntwo"));
        QCOMPARE(Global::toBytes("\\n"), QByteArray("\\\\n"));
        QCOMPARE(Global::toBytes("a=b #c"), QByteArray("a=b #c"));
        QCOMPARE(Global::toBytes(QString()), QByteArray());
        QCOMPARE(Global::toBytes(QString::fromUtf8("caf\xc3\xa9")), QByteArray("caf\xc3\xa9"));
        // The text ends at its first U+0000.
        QCOMPARE(Global::toBytes(QString("ab") + QChar(0) + "cd"), QByteArray("ab"));
        QCOMPARE(Global::stringToBytes("x\\y\nz"), Global::toBytes("x\\y\nz"));
    }

    void escapesAsRead()
    {
        QCOMPARE(Global::fromBytes("a\\\\b"), QString("a\\b"));
        QCOMPARE(Global::fromBytes("a\\nb\\rc"), QString("a\nb\rc"));
        QCOMPARE(Global::fromBytes("\\x\\="), QString("x="));
        QCOMPARE(Global::fromBytes("trailing\\"), QString("trailing"));
        QCOMPARE(Global::fromBytes(QByteArray("ab\0cd", 5)), QString("ab"));
        QCOMPARE(Global::fromBytes("\xff" "a"), QString(QChar::ReplacementCharacter) + "a");
        QByteArray bytes("x\\ny");
        Global::fromBytes(bytes);
        QCOMPARE(bytes, QByteArray("x\\ny"));
    }

    void valuesRoundTrip_data()
    {
        QTest::addColumn<QString>("value");
        QTest::newRow("backslash") << "a\\b";
        QTest::newRow("doubled backslash") << "a\\\\b";
        QTest::newRow("CR") << "a\rb";
        QTest::newRow("LF") << "a\nb";
        QTest::newRow("CR LF") << "first line\r\nsecond line";
        QTest::newRow("literal backslash n") << "C:\\new";
        QTest::newRow("trailing backslash") << "path\\";
        QTest::newRow("equals and hash") << "a=b # not a comment";
        QTest::newRow("utf-8") << QString::fromUtf8("\xc3\x89lan \xe2\x80\x94 \xf0\x9f\x90\x89 dragon");
        QTest::newRow("empty") << "";
    }

    void valuesRoundTrip()
    {
        QFETCH(QString, value);
        for (const char* lineEnd : {"\n", "\r\n"}) {
            AttrWriter writer(lineEnd);
            writer.addStringValue("before", QString("1"));
            writer.addStringValue("value", value);
            writer.addStringValue("after", QString("2"));
            QList<Pair> expected{{"before", "1"}, {"value", value}, {"after", "2"}};
            QCOMPARE(pairsOf(writer.getBytes()), expected);
        }
    }

    void writerForms()
    {
        AttrWriter writer("\r\n");
        writer.addBoolValue("hidden", true);
        writer.addBoolValue("shown", false);
        writer.addIntValue("hp", -12);
        writer.addIntValue("xp", 0);
        writer.addStringValue("raw", "a\\nb");
        writer.addStringValue("text", QString("a\\nb"));
        writer.addEOL();
        QCOMPARE(writer.getBytes(),
                 QByteArray("hidden=yes\r\nshown=no\r\nhp=-12\r\nxp=0\r\nraw=a\\nb\r\ntext=a\\\\nb\r\n\r\n"));
        QCOMPARE(pairsOf(writer.getBytes()),
                 (QList<Pair>{{"hidden", "yes"}, {"shown", "no"}, {"hp", "-12"}, {"xp", "0"},
                              {"raw", "a\nb"}, {"text", "a\\nb"}}));
    }

    void splittingLines()
    {
        QString name = "untouched";
        QString value = "untouched";
        QVERIFY(Global::lineAttributes("  colour = dark red  ", name, value));
        QCOMPARE(name, QString("colour"));
        QCOMPARE(value, QString("dark red"));

        QVERIFY(Global::lineAttributes("key=a=b", name, value));
        QCOMPARE(name, QString("key"));
        QCOMPARE(value, QString("a=b"));

        QVERIFY(Global::lineAttributes("\t # note: hp=3", name, value));
        QCOMPARE(name, QString());
        QCOMPARE(value, QString());

        QVERIFY(Global::lineAttributes("word", name, value));
        QCOMPARE(name, QString("word"));
        QCOMPARE(value, QString());

        QVERIFY(Global::lineAttributes(" \t ", name, value));
        QCOMPARE(name, QString());

        // An escaped line break at the end of a value is white space too.
        QVERIFY(Global::lineAttributes("note=text\\n", name, value));
        QCOMPARE(value, QString("text"));

        // Bytes of 128 and above are never white space.
        QVERIFY(Global::lineAttributes("name=\xc2\xa0x\xc2\xa0", name, value));
        QCOMPARE(value, QString::fromUtf8("\xc2\xa0x\xc2\xa0"));

        name = value = "untouched";
        QVERIFY(!Global::lineAttributes("  =value", name, value));
        QCOMPARE(name, QString("untouched"));
        QCOMPARE(value, QString("untouched"));
    }

    void nameLengthLimit()
    {
        QString name;
        QString value;
        QByteArray longest(400, 'n');
        QVERIFY(Global::lineAttributes("  " + longest + "=v", name, value));
        QCOMPARE(name, QString(longest));
        QVERIFY(!Global::lineAttributes(longest + "n=v", name, value));
        // Blanks before the "=" count; they are trimmed afterwards.
        QVERIFY(!Global::lineAttributes(longest + " =v", name, value));
        // A line without "=" is a name of any length.
        QVERIFY(Global::lineAttributes(longest + "n", name, value));

        QByteArray text = "first=1\n" + longest + "n=skipped\n=also skipped\n" + longest + "=kept\n";
        QCOMPARE(pairsOf(text), (QList<Pair>{{"first", "1"}, {QString(longest), "kept"}}));
    }

    void parsingText()
    {
        QByteArray single = "a=1\nb=two words\nc\nd=x=y\n";
        QByteArray mixed = "\r\n\r\na=1\r\n\r\n\rb=two words\r\rc\n\n\r\nd=x=y";
        QList<Pair> expected{{"a", "1"}, {"b", "two words"}, {"c", ""}, {"d", "x=y"}};
        QCOMPARE(pairsOf(single), expected);
        QCOMPARE(pairsOf(mixed), expected);

        QString text = QString::fromUtf8("# comment=1\n  \n\t# another\nname=\xc3\xa9t\xc3\xa9\n");
        AttrParser fromString(text, 0);
        QVERIFY(fromString.nextAttr());
        QCOMPARE(fromString.attrName(), QString("name"));
        QCOMPARE(fromString.attrValue(), QString::fromUtf8("\xc3\xa9t\xc3\xa9"));
        QVERIFY(!fromString.nextAttr());

        AttrParser onlyComments(QByteArray("\n# a=b\n   \n#\r\n"), 0);
        QVERIFY(!onlyComments.nextAttr());
        AttrParser empty(QByteArray(), 0);
        QVERIFY(!empty.nextAttr());

        AttrParser fromMiddle(single, 4);
        QVERIFY(fromMiddle.nextAttr());
        QCOMPARE(fromMiddle.attrName(), QString("b"));
    }

    void rewinding()
    {
        QByteArray text = "# header\na=1\nb=2\n";
        AttrParser parser(text, 0);
        QVERIFY(parser.nextAttr());
        QCOMPARE(parser.getPos(), 0);
        QVERIFY(parser.nextAttr());
        QCOMPARE(parser.attrName(), QString("b"));
        int start = parser.getPos();
        QCOMPARE(text.mid(start), QByteArray("\nb=2\n"));
        parser.rewind();
        QVERIFY(parser.nextAttr());
        QCOMPARE(parser.attrName(), QString("b"));
        QCOMPARE(parser.attrValue(), QString("2"));
        QCOMPARE(parser.getPos(), start);
        QVERIFY(!parser.nextAttr());
    }

    void nextLine()
    {
        QByteArray bytes = "\r\nab\r\n\ncd\re";
        int pos = 0;
        QCOMPARE(Global::nextLine(bytes, pos), QByteArray("ab"));
        QCOMPARE(pos, 4);
        QCOMPARE(Global::nextLine(bytes, pos), QByteArray("cd"));
        QCOMPARE(pos, 9);
        QCOMPARE(Global::nextLine(bytes, pos), QByteArray("e"));
        QCOMPARE(pos, 11);
        QCOMPARE(Global::nextLine(bytes, pos), QByteArray());
        QCOMPARE(pos, 11);
        pos = 500;
        QCOMPARE(Global::nextLine(bytes, pos), QByteArray());
        QByteArray breaks = "\r\n\n\r";
        pos = 0;
        QCOMPARE(Global::nextLine(breaks, pos), QByteArray());
    }

    void validLines_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<bool>("blankOrComment");
        QTest::addColumn<bool>("notPair");
        QTest::newRow("pair") << QByteArray("max-hp=20") << true << false << false;
        QTest::newRow("slash and blank") << QByteArray("  power/name=Claw") << true << false << false;
        QTest::newRow("empty value") << QByteArray("name=") << true << false << false;
        QTest::newRow("comment") << QByteArray("  # max-hp=20") << true << true << true;
        QTest::newRow("blank") << QByteArray(" \t") << true << true << true;
        QTest::newRow("empty") << QByteArray() << true << true << true;
        QTest::newRow("capitals") << QByteArray("Max-hp=20") << false << false << true;
        QTest::newRow("digits") << QByteArray("hp2=20") << false << false << true;
        QTest::newRow("blank before equals") << QByteArray("hp =20") << false << false << true;
        QTest::newRow("no equals") << QByteArray("hp") << false << false << true;
        QTest::newRow("equals first") << QByteArray("=20") << false << false << true;
    }

    void validLines()
    {
        QFETCH(QByteArray, line);
        QFETCH(bool, valid);
        QFETCH(bool, blankOrComment);
        QFETCH(bool, notPair);
        bool first = !blankOrComment;
        bool second = !notPair;
        QCOMPARE(Global::isValidLine(line, first, second), valid);
        QCOMPARE(first, blankOrComment);
        QCOMPARE(second, notPair);
    }

    void lineEndings()
    {
        QByteArray bytes("a\rb\nc\r\n");
        QCOMPARE(Global::toWindowsLineEndings(bytes), QByteArray("a\r\nb\r\nc\r\n"));
        QCOMPARE(Global::toStandardLineEnding(bytes), QByteArray("a\nb\nc\n"));
        QCOMPARE(bytes, QByteArray("a\rb\nc\r\n"));
        QCOMPARE(Global::toWindowsLineEndings("\n\r\r\n\n\r"), QByteArray("\r\n\r\n\r\n\r\n\r\n"));
        QCOMPARE(Global::toStandardLineEnding("\r\r\n\n"), QByteArray("\n\n\n"));
        QCOMPARE(Global::toWindowsLineEndings(QByteArray()), QByteArray());
        QByteArray windows = Global::toWindowsLineEndings("x\ny\r\n");
        QCOMPARE(Global::toWindowsLineEndings(windows), windows);
        QCOMPARE(Global::toStandardLineEnding(windows), QByteArray("x\ny\n"));
    }
};

RAVELHORN_TEST_MAIN(QGuiApplication, TestAttrText)
#include "test_attrtext.moc"
