#include <QCoreApplication>
#include <QRandomGenerator>
#include <QtTest>

#include <algorithm>
#include <map>
#include <memory>
#include <vector>

#include "foundation/dogtag.h"

namespace {

const char* const testFile = "dogtag-under-test";

QStringList messages;

void collect(QtMsgType, const QMessageLogContext&, const QString& message)
{
    if (message.contains(testFile) || message.contains("not allocated"))
        messages.append(message);
}

QString pointerText(quintptr address)
{
    return QString::asprintf("%p", reinterpret_cast<void*>(address));
}

}

class TestDogTag : public QObject
{
    Q_OBJECT

private slots:
    void leakReportListsLiveTagsByAddress_data();
    void leakReportListsLiveTagsByAddress();
};

void TestDogTag::leakReportListsLiveTagsByAddress_data()
{
    QTest::addColumn<quint32>("seed");
    QTest::addColumn<int>("operations");
    QTest::addColumn<int>("addresses");
    QTest::newRow("few addresses, many repeats") << 7u << 400 << 5;
    QTest::newRow("many addresses") << 11u << 3000 << 2000;
    QTest::newRow("a long fight") << 13u << 60000 << 50000;
}

// Random registrations and frees against what the report has always said:
// live tags by address, one address's in order of registration; a freed tag
// takes its own registration.
void TestDogTag::leakReportListsLiveTagsByAddress()
{
    QFETCH(quint32, seed);
    QFETCH(int, operations);
    QFETCH(int, addresses);
    QRandomGenerator random(seed);
    DogTag::shutdown();
    const int before = DogTag::count();

    std::vector<std::unique_ptr<DogTag>> tags;
    std::vector<QPair<quintptr, int>> tagRegistrations;
    // Registration number and line of each live tag, by address.
    std::map<quintptr, std::vector<QPair<int, int>>> live;
    int registered = 0;
    int liveCount = 0;
    messages.clear();
    QtMessageHandler previous = qInstallMessageHandler(collect);
    for (int i = 0; i < operations; i++) {
        if (!tags.empty() && random.bounded(3) == 0) {
            const qsizetype at = random.bounded(int(tags.size()));
            const auto [address, allocation] = tagRegistrations[size_t(at)];
            auto& same = live[address];
            same.erase(std::find_if(same.begin(), same.end(), [allocation = allocation](const QPair<int, int>& entry) {
                return entry.first == allocation;
            }));
            liveCount--;
            tags.erase(tags.begin() + at);
            tagRegistrations.erase(tagRegistrations.begin() + at);
            continue;
        }
        const quintptr address = 0x1000 + 16 * quintptr(random.bounded(addresses));
        tags.push_back(std::make_unique<DogTag>());
        tags.back()->init(reinterpret_cast<void*>(address), i, testFile);
        tagRegistrations.push_back({address, registered});
        live[address].push_back({registered++, i});
        liveCount++;
    }
    QCOMPARE(DogTag::count() - before, liveCount);

    QStringList expected;
    for (const auto& [address, registrations] : live)
        for (const auto& [allocation, line] : registrations)
            expected.append(QString("MM: %1 (#%2) %3:%4 Not free")
                                .arg(pointerText(address))
                                .arg(allocation)
                                .arg(testFile)
                                .arg(line));
    messages.clear();
    DogTag::shutdown();
    QCOMPARE(messages, expected);
    QCOMPARE(DogTag::count(), 0);

    // Tags still alive after the report are no longer known.
    messages.clear();
    const int left = int(tags.size());
    tags.clear();
    qInstallMessageHandler(previous);
    QCOMPARE(int(messages.size()), left);
}

QTEST_GUILESS_MAIN(TestDogTag)
#include "test_dogtag.moc"
