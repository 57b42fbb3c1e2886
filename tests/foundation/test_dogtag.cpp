#include <QDir>
#include <QGuiApplication>
#include <QRegularExpression>

#include <memory>
#include <vector>

#include "foundation/dogtag.h"
#include "foundation/global.h"
#include "support/testsupport.h"

class TestDogTag : public QObject
{
    Q_OBJECT

private slots:
    void init() { DogTag::shutdown(); }

    void reportsWhatWasNeverFreedInAddressOrder()
    {
        auto first = std::make_unique<DogTag>(11, "first.h");
        auto second = std::make_unique<DogTag>(22, "second.h");
        auto third = std::make_unique<DogTag>(33, "third.h");
        second.reset();
        QCOMPARE(DogTag::count(), 2);

        QStringList report;
        {
            CapturedMessages messages;
            DogTag::shutdown();
            report = messages.linesStartingWith("MM:");
        }
        QCOMPARE(report.size(), 2);
        DogTag* low = std::min(first.get(), third.get());
        DogTag* high = std::max(first.get(), third.get());
        QString lowText = low == first.get() ? "(#0) first.h:11 Not free" : "(#2) third.h:33 Not free";
        QString highText = high == first.get() ? "(#0) first.h:11 Not free" : "(#2) third.h:33 Not free";
        QCOMPARE(report[0], QString::asprintf("MM: %p ", static_cast<void*>(low)) + lowText);
        QCOMPARE(report[1], QString::asprintf("MM: %p ", static_cast<void*>(high)) + highText);
        QCOMPARE(DogTag::count(), 0);

        // The table is gone, so the owners' late destruction is reported.
        CapturedMessages late;
        first.reset();
        third.reset();
        QCOMPARE(late.linesStartingWith("MM:").size(), 2);
        QVERIFY(late.lines().first().endsWith("Pointer not allocated"));
    }

    void tableGrowsPastItsFirstBlockAndStaysSorted()
    {
        std::vector<DogTag> tags(4001);
        for (DogTag& tag : tags)
            tag.init(&tag, 1, "many.h");
        QCOMPARE(DogTag::count(), 4001);
        QCOMPARE(DogTag::capacity(), 8000);

        CapturedMessages messages;
        DogTag::shutdown();
        QStringList report = messages.linesStartingWith("MM:");
        QCOMPARE(report.size(), 4001);
        quintptr previous = 0;
        for (const QString& line : report) {
            quintptr address = line.section(' ', 1, 1).toULongLong(nullptr, 16);
            QVERIFY(address > previous);
            previous = address;
        }
        std::vector<DogTag>().swap(tags);
    }

    void unregisteredTagsAndMissingFileNames()
    {
        CapturedMessages messages;
        {
            DogTag neverInitialised;
        }
        QVERIFY(messages.lines().isEmpty());

        auto anonymous = std::make_unique<DogTag>(5, nullptr);
        DogTag::shutdown();
        QVERIFY(messages.lines().last().endsWith("?:5 Not free"));
        anonymous.reset();
    }

    void logHandlerAppendsToTheHomeLog()
    {
        TemporaryHome home;
        QtMessageHandler previous = qInstallMessageHandler(Global::logMessageHandler);
        qWarning("x");
        qDebug("plain");
        qInfo("dropped");
        qInstallMessageHandler(previous);
        Global::quitLogging();
        QCOMPARE(TestSupport::readFile(home.path() + "/rvhn.log"), QByteArray("Warning: x\nplain\n"));
    }
};

RAVELHORN_TEST_MAIN(QGuiApplication, TestDogTag)
#include "test_dogtag.moc"
