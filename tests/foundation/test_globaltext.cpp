#include <QGuiApplication>
#include <QRegularExpression>

#include <cstdlib>

#include "foundation/global.h"
#include "support/testsupport.h"

class TestGlobalText : public QObject
{
    Q_OBJECT

private slots:
    void cutters()
    {
        QCOMPARE(Global::left("a=b=c", "="), QString("a"));
        QCOMPARE(Global::right("a=b=c", "="), QString("b=c"));
        QCOMPARE(Global::lastLeft("a=b=c", "="), QString("a=b"));
        QCOMPARE(Global::lastRight("a=b=c", "="), QString("c"));
        QCOMPARE(Global::left("abc", "#"), QString("abc"));
        QCOMPARE(Global::right("abc", "#"), QString());
        QCOMPARE(Global::lastLeft("abc", "#"), QString());
        QCOMPARE(Global::lastRight("abc", "#"), QString("abc"));
    }

    void numbersAndLetters()
    {
        QVERIFY(Global::isNumber("1-2,3"));
        QVERIFY(Global::isNumber(""));
        QVERIFY(!Global::isNumber("12a"));
        QCOMPARE(Global::firstNumber("  +7 word"), 7);
        QCOMPARE(Global::firstNumber("  12 hp"), 12);
        QCOMPARE(Global::firstNumber("-3"), -3);
        QCOMPARE(Global::firstNumber("+-5"), 0);
        QCOMPARE(Global::firstNumber("abc"), 0);
        QCOMPARE(Global::firstNumber(""), 0);
        QCOMPARE(Global::capitalize(QString::fromUtf8("élan")), QString::fromUtf8("Élan"));
        QCOMPARE(Global::capitalize("9 lives"), QString("9 lives"));
        QCOMPARE(Global::capitalize(""), QString());
        QCOMPARE(Global::unCapitalize("Orc"), QString("orc"));
    }

    void htmlLength()
    {
        QCOMPARE(Global::htmlLength("<b>Hit</b> points"), 10);
        QCOMPARE(Global::htmlLength("abc<i"), 3);
        QCOMPARE(Global::htmlLength("abc<i>"), 3);
        QCOMPARE(Global::htmlLength("a&amp;b"), 7);
    }

    void lineBreakPrefersTheCloserBlank()
    {
        QCOMPARE(Global::lineBreak("The quick brown fox jumps", 10), QString("The quick<br>brown fox jumps"));
    }

    void lineBreakFlattensWithoutBreaking()
    {
        QCOMPARE(Global::lineBreak("a  \t b<br>c\n\nd", 100), QString("a b c d"));
    }

    void lineBreakStartsLinesWithSlashes()
    {
        QCOMPARE(Global::lineBreak("/alpha/beta/gamma/delta", 10), QString("/alpha/beta<br>/gamma/delta"));
    }

    void lineBreakKeepsTagsEntitiesAndLongWords()
    {
        QCOMPARE(Global::lineBreak("ab supercalifragilisticexpialidocious cd", 5),
                 QString("ab<br>supercalifragilisticexpialidocious<br>cd"));

        QString html = "<b>Orc&nbsp;Raider</b> takes <i>ongoing</i> fire &amp; poison damage <p>until it saves again";
        QString broken = Global::lineBreak(html, 8);
        QVERIFY(broken.count("<br>") >= 4);
        QCOMPARE(QString(broken).replace("<br>", " "), html);
        for (const QString& line : broken.split("<br>")) {
            QCOMPARE(line.count('<'), line.count('>'));
            QCOMPARE(line.count('&'), line.count(';'));
        }
    }

    void lineBreakStartsAfterParagraphs()
    {
        QCOMPARE(Global::lineBreak("one two<p>three four five", 10), QString("one two<p>three four<br>five"));
    }

    void dice()
    {
        srand(42);
        QList<int> first;
        for (int i = 0; i < 200; i++) {
            int roll = Global::d(20);
            QVERIFY(roll >= 1 && roll <= 20);
            first.append(roll);
        }
        srand(42);
        for (int i = 0; i < 200; i++)
            QCOMPARE(Global::d(20), first[i]);
        QCOMPARE(Global::d(1), 1);
        QCOMPARE(Global::d(0), 0);
        QCOMPARE(Global::d(-4), 0);
        QVERIFY(Global::random() >= 0);
    }

    void timeStamp()
    {
        QVERIFY(QRegularExpression("^\\d{4}-\\d\\d-\\d\\d-\\d\\d-\\d\\d-\\d\\d$").match(Global::timeNow()).hasMatch());
    }
};

RAVELHORN_TEST_MAIN(QGuiApplication, TestGlobalText)
#include "test_globaltext.moc"
