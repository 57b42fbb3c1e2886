#include <QDirIterator>
#include <QGuiApplication>

#include "encounter/eventtesting.h"
#include "encounter/eventtags.h"
#include "encounter/restevents.h"
#include "support/testsupport.h"

namespace {

// Counts the character creator's refreshes.
class RestUiHooks : public RecordingUiHooks
{
public:
    void characterStatsUpdated() override { statsUpdates++; }

    int statsUpdates = 0;
};

const QList<int> restedItems = {ID_RESTED_CREATURE_USED_HS, ID_RESTED_CREATURE_ADDED_HP,
                                ID_RESTED_CREATURE_ADDED_AP, ID_RESTED_CREATURE_END};

void startRunning()
{
    EncounterState running;
    running.round = 1;
    running.currentIndex = 0;
    Global::encounter->setState(running);
}

// Writes a record by hand at the history's cursor and moves past it.
void writeRawRecord(int type, const std::function<void(ObjectStream*)>& payload)
{
    ObjectStream* stream = Global::history->getStream(false);
    stream->mark();
    stream->write(ID_EVENT_TYPE, type);
    payload(stream);
    stream->incOffset(stream->setToMark());
}

// Every file below the data folder with its bytes.
QMap<QString, QByteArray> dataFiles()
{
    QMap<QString, QByteArray> files;
    QDirIterator it(Global::getRootPath(false), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files[path] = TestSupport::readFile(path);
    }
    return files;
}

}

class TestRestEvents : public QObject
{
    Q_OBJECT

private:
    TemporaryHome home;
    RestUiHooks hooks;
    EventFixture fixture;

    static void record(Event* event) { QVERIFY(Global::history->apply(event, false)); }
    static ObjectStream* stream() { return Global::history->getStream(false); }

    QList<RecordedCase> cases()
    {
        EventFixture* f = &fixture;
        const auto nothing = [] {};
        const auto aldricDying = [f] { f->aldric->applyDamage(35, nullptr); };
        return {
            {"failed death saving throw of a dying hero", aldricDying,
             [f](ObjectStream* s) { return new FailedDeathSavingThrowEvent(f->aldric, s); },
             {ID_EVENT_TYPE, ID_FAILED_DST_EVENT_END},
             {"Aldric"},
             "Failed Death Saving Throw: Aldric", "Failed Death Saving Throw: Aldric", true,
             {"Aldric.failedSaves=1"}},
            {"failed death saving throw of a monster", nothing,
             [f](ObjectStream* s) { return new FailedDeathSavingThrowEvent(f->goblin2, s); },
             {ID_EVENT_TYPE, ID_FAILED_DST_EVENT_END},
             {"Goblin (2)"},
             "Failed Death Saving Throw: Goblin (2)", "Failed Death Saving Throw: \"Sneak\"", true,
             {"Goblin (2).failedSaves=1"}},
            {"one action point used", nothing,
             [f](ObjectStream* s) { return new UseActionPointEvent(f->aldric, -1, s); },
             {ID_EVENT_TYPE, ID_USE_AP_EVENT_END},
             {"Aldric"},
             "Use Action Point: Aldric", "Use Action Point: Aldric", true,
             {"Aldric.ap=0", "Aldric.beforeAp=0"}},
            {"action points used in a running encounter",
             [f] {
                 startRunning();
                 f->aldric->addActionPoints(3);
             },
             [f](ObjectStream* s) { return new UseActionPointEvent(f->aldric, -3, s); },
             {ID_EVENT_TYPE, ID_USE_AP_EVENT_COUNT, ID_USE_AP_EVENT_END},
             {"Aldric"},
             "Use 3 Action Points: Aldric", "Use 3 Action Points: Aldric", true,
             {"Aldric.ap=1", "Aldric.apUsed=3", "Aldric.beforeAp=1"}},
            {"all action points lost", nothing,
             [f](ObjectStream* s) { return new UseActionPointEvent(f->brenna, -AllActionPoints, s); },
             {ID_EVENT_TYPE, ID_USE_AP_EVENT_COUNT, ID_USE_AP_EVENT_END},
             {"Brenna"},
             "Lose all Action Points: Brenna", "Lose all Action Points: Brenna", true,
             {"Brenna.ap=0", "Brenna.beforeAp=0"}},
            {"action points reset",
             [f] {
                 startRunning();
                 f->aldric->useActionPoints(1);
             },
             [f](ObjectStream* s) { return new UseActionPointEvent(f->aldric, AllActionPoints, s); },
             {ID_EVENT_TYPE, ID_USE_AP_EVENT_COUNT, ID_USE_AP_EVENT_END},
             {"Aldric"},
             "Reset Action Points to 1: Aldric", "Reset Action Points to 1: Aldric", true,
             {"Aldric.ap=1", "Aldric.apUsed=0", "Aldric.beforeAp=1"}},
            {"no action points added", nothing,
             [f](ObjectStream* s) { return new UseActionPointEvent(f->brenna, 0, s); },
             {ID_EVENT_TYPE, ID_USE_AP_EVENT_COUNT, ID_USE_AP_EVENT_END},
             {"Brenna"},
             "", "", true,
             {}},
            {"one action point added to a monster", nothing,
             [f](ObjectStream* s) { return new UseActionPointEvent(f->goblin1, 1, s); },
             {ID_EVENT_TYPE, ID_USE_AP_EVENT_COUNT, ID_USE_AP_EVENT_END},
             {"Goblin (1)"},
             "Add Action Point: Goblin (1)", "Add Action Point: Goblin (1)", false,
             {"Goblin (1).ap=1", "Goblin (1).beforeAp=1"}},
            {"action points added to a monster", nothing,
             [f](ObjectStream* s) { return new UseActionPointEvent(f->goblin2, 3, s); },
             {ID_EVENT_TYPE, ID_USE_AP_EVENT_COUNT, ID_USE_AP_EVENT_END},
             {"Goblin (2)"},
             "Add 3 Action Points: Goblin (2)", "Add 3 Action Points: \"Sneak\"", false,
             {"Goblin (2).ap=3", "Goblin (2).beforeAp=3"}},
            {"a dying hero stabilised by another", aldricDying,
             [f](ObjectStream* s) { return new StabilizeEvent(f->brenna, f->aldric, s); },
             {ID_EVENT_TYPE, ID_STABILIZE_EVENT_END},
             {"Brenna", "Aldric"},
             "Brenna -> Stabilized: Aldric", "Brenna -> Stabilized: Aldric", true,
             {"Aldric.stabilized=1"}},
            {"a monster stabilised by no one", [f] { f->goblin2->applyDamage(25, nullptr); },
             [f](ObjectStream* s) { return new StabilizeEvent(nullptr, f->goblin2, s); },
             {ID_EVENT_TYPE, ID_STABILIZE_EVENT_END},
             {"", "Goblin (2)"},
             "Stabilized: Goblin (2)", "Stabilized: \"Sneak\"", true,
             {"Goblin (2).stabilized=1"}},
            {"short rest of two heroes", [f] { f->aldric->applyDamage(10, nullptr); },
             [f](ObjectStream* s) { return new ShortRestEvent({{f->aldric, 1, 7, 1}, {f->brenna, 2, 4, 0}}, s); },
             QList<int>{ID_EVENT_TYPE, ID_SR_ACTION_EVENT_COUNT} + restedItems + restedItems
                 + QList<int>{ID_SR_ACTION_EVENT_END},
             {"Aldric", "Brenna"},
             "Short Rest: Aldric, Brenna", "Short Rest: Aldric, Brenna", true,
             {"Aldric.ap=2", "Aldric.beforeAp=2", "Aldric.beforeHp=27", "Aldric.beforeHs=5", "Aldric.heals=1",
              "Aldric.hp=27", "Aldric.hs=5", "Brenna.beforeHp=24", "Brenna.beforeHs=0", "Brenna.heals=1",
              "Brenna.hp=24", "Brenna.hs=0"}},
            {"short rest of a monster", nothing,
             [f](ObjectStream* s) { return new ShortRestEvent({{f->goblin2, 0, 0, 0}}, s); },
             QList<int>{ID_EVENT_TYPE, ID_SR_ACTION_EVENT_COUNT} + restedItems + QList<int>{ID_SR_ACTION_EVENT_END},
             {"Goblin (2)"},
             "Short Rest: Goblin (2)", "Short Rest: \"Sneak\"", true,
             {"Goblin (2).heals=1"}},
            {"short rest of no one", nothing,
             [](ObjectStream* s) { return new ShortRestEvent({}, s); },
             {ID_EVENT_TYPE, ID_SR_ACTION_EVENT_COUNT, ID_SR_ACTION_EVENT_END},
             {},
             "Short Rest: ", "Short Rest: ", true,
             {}},
            {"extended rest of the living heroes",
             [f] {
                 f->aldric->applyDamage(10, f->goblin1);
                 f->brenna->applyDamage(40, nullptr);
             },
             [](ObjectStream* s) { return new ExtendedRestEvent({}, s); },
             {ID_EVENT_TYPE, ID_EXT_REST_EVENT_END},
             {},
             "Extended Rest: Aldric", "Extended Rest: Aldric", true,
             {"Aldric.attacker=", "Aldric.beforeAp=0", "Aldric.beforeHp=0", "Aldric.beforeHs=0", "Aldric.hp=30",
              "Aldric.hs=8", "Aldric.taken=0"}},
            {"extended rest of the heroes in initiative order", [] { Global::encounter->moveCreature(1, 0); },
             [](ObjectStream* s) { return new ExtendedRestEvent({}, s); },
             {ID_EVENT_TYPE, ID_EXT_REST_EVENT_END},
             {},
             "Extended Rest: Brenna, Aldric", "Extended Rest: Brenna, Aldric", true,
             {"Aldric.beforeAp=0", "Aldric.beforeHp=0", "Aldric.beforeHs=0", "Aldric.hs=8", "Brenna.beforeAp=0",
              "Brenna.beforeHp=0", "Brenna.beforeHs=0", "Brenna.hp=24", "Brenna.hs=6"}},
            {"extended rest of a given list", [f] { f->goblin1->applyDamage(5, nullptr); },
             [f](ObjectStream* s) { return new ExtendedRestEvent({f->goblin1, f->brenna}, s); },
             {ID_EVENT_TYPE, ID_EXT_REST_EVENT_END},
             {"Goblin (1)", "Brenna"},
             "Extended Rest: Goblin (1), Brenna", "Extended Rest: Goblin (1), Brenna", true,
             {"Brenna.beforeAp=0", "Brenna.beforeHp=0", "Brenna.beforeHs=0", "Brenna.hp=24", "Brenna.hs=6",
              "Goblin (1).beforeHp=0", "Goblin (1).hp=20", "Goblin (1).taken=0"}},
            {"second wind used", nothing,
             [f](ObjectStream* s) { return new UseSecondWindEvent(f->aldric, -1, s); },
             {ID_EVENT_TYPE, ID_USE_SECOND_WIND_EVENT_VALUE, ID_EVENT_END},
             {"Aldric"},
             "Use Second Wind: Aldric", "Use Second Wind: Aldric", true,
             {"Aldric.secondWind=1"}},
            {"second wind regained", [f] { f->aldric->setSecondWindUsed(true); },
             [f](ObjectStream* s) { return new UseSecondWindEvent(f->aldric, 1, s); },
             {ID_EVENT_TYPE, ID_USE_SECOND_WIND_EVENT_VALUE, ID_EVENT_END},
             {"Aldric"},
             "Gain Second Wind: Aldric", "Gain Second Wind: Aldric", true,
             {"Aldric.secondWind=0"}},
            {"second wind of a monster marked by any other value", nothing,
             [f](ObjectStream* s) { return new UseSecondWindEvent(f->goblin2, 0, s); },
             {ID_EVENT_TYPE, ID_USE_SECOND_WIND_EVENT_VALUE, ID_EVENT_END},
             {"Goblin (2)"},
             "", "", false,
             {"Goblin (2).secondWind=1"}},
        };
    }

private slots:
    void init() { fixture.setUp(); }

    void cleanup()
    {
        ExtendedRestEvent::refreshLinkedFile = &Creature::refreshLinkedFile;
        fixture.tearDown();
    }

    void recordedEvents_data() { EventFixture::addCaseRows(cases()); }

    void recordedEvents() { fixture.checkCaseRow(cases()); }

    void failedSaveCountsFromItsSnapshot()
    {
        Creature* aldric = fixture.aldric;
        aldric->applyDamage(35, nullptr);
        aldric->setFailedDeathSavingThrows(1);
        record(new FailedDeathSavingThrowEvent(aldric, stream()));
        QCOMPARE(aldric->getFailedDeathSavingThrows(), 2);
        Global::history->getCurrentEvent()->apply();
        QCOMPARE(aldric->getFailedDeathSavingThrows(), 2);
        Global::history->back();
        QCOMPARE(aldric->getFailedDeathSavingThrows(), 1);
    }

    void restsLeavePowerUsageAlone()
    {
        // The commands reset usage with events of their own after the rest.
        Creature* aldric = fixture.aldric;
        for (const char* name : {"Daily Blast", "Encounter Strike"}) {
            CreaturePower power;
            power.name = name;
            power.current.cost = Power::Daily;
            aldric->getPowers().getPower(aldric->getPowers().addPower(power, false))->setUsed(true);
        }
        const auto usage = [aldric] {
            QList<int> counts;
            for (int i = 0; i < aldric->getPowers().size(); i++)
                counts.append(aldric->getPowers().getPower(i)->getUsageCount());
            return counts;
        };
        const QList<int> used = {1, 1};
        QCOMPARE(usage(), used);

        record(new ShortRestEvent({{aldric, 1, 7, 1}}, stream()));
        QCOMPARE(usage(), used);
        record(new ExtendedRestEvent({}, stream()));
        QCOMPARE(usage(), used);
        Global::history->back();
        Global::history->back();
        QCOMPARE(usage(), used);
    }

    void extendedRestWritesNothingWhenAppliedOrUndone()
    {
        QList<Creature*> refreshed;
        ExtendedRestEvent::refreshLinkedFile = [&refreshed](Creature* c) { refreshed.append(c); };
        fixture.aldric->setLinked(true, true);
        fixture.aldric->applyDamage(10, nullptr);
        const int updates = hooks.statsUpdates;

        record(new ExtendedRestEvent({}, stream()));
        QCOMPARE(hooks.statsUpdates, updates + 1);
        const QMap<QString, QByteArray> files = dataFiles();
        const auto isLog = [](const QString& path) { return path.endsWith("history.log"); };
        QVERIFY(std::any_of(files.keyBegin(), files.keyEnd(), isLog));

        Global::history->back();
        QCOMPARE(fixture.aldric->getCurrHitPoints(), 20);
        Global::history->forward(false);
        QCOMPARE(fixture.aldric->getCurrHitPoints(), 30);
        QCOMPARE(hooks.statsUpdates, updates + 2);
        Global::history->back();
        QVERIFY(Global::history->rootChanged());
        QCOMPARE(fixture.aldric->getCurrHitPoints(), 30);
        QCOMPARE(hooks.statsUpdates, updates + 3);

        QCOMPARE(Global::history->getEventCount(), 1);
        QCOMPARE(dataFiles(), files);
        QVERIFY(refreshed.isEmpty());
    }

    void linkedFilesAreRefreshedBeforeTheRest()
    {
        fixture.aldric->setLinked(true, true);
        QList<Creature*> refreshed;
        ExtendedRestEvent::refreshLinkedFile = [&refreshed](Creature* c) { refreshed.append(c); };
        fixture.goblin1->setLinked(true, true);
        ExtendedRestEvent::refreshLinkedFiles({});
        QCOMPARE(refreshed, QList<Creature*>{fixture.aldric});

        refreshed.clear();
        ExtendedRestEvent::refreshLinkedFiles({fixture.brenna, fixture.goblin1});
        QCOMPARE(refreshed, QList<Creature*>{fixture.goblin1});
        QCOMPARE(Global::history->getEventCount(), 0);
    }

    void recordsNamingNoOneChangeNothing()
    {
        const auto noOne = [](ObjectStream* s) { Creature::write(static_cast<Creature*>(nullptr), s); };
        writeRawRecord(Event::FailedDeathSavingThrowType, [&](ObjectStream* s) {
            noOne(s);
            s->write(ID_FAILED_DST_EVENT_END);
        });
        writeRawRecord(Event::UseActionPointType, [&](ObjectStream* s) {
            noOne(s);
            s->write(ID_USE_AP_EVENT_COUNT, 3);
            s->write(ID_USE_AP_EVENT_END);
        });
        writeRawRecord(Event::StabilizeType, [&](ObjectStream* s) {
            Creature::write(fixture.brenna, s);
            noOne(s);
            s->write(ID_STABILIZE_EVENT_END);
        });
        writeRawRecord(Event::ShortRestType, [&](ObjectStream* s) {
            s->write(ID_SR_ACTION_EVENT_COUNT, 2);
            RestedCreature{nullptr, 1, 5, 1}.write(s);
            RestedCreature{fixture.brenna, 1, 3, 0}.write(s);
            s->write(ID_SR_ACTION_EVENT_END);
        });
        writeRawRecord(Event::ExtendedRestType, [&](ObjectStream* s) {
            Creature::write({nullptr, fixture.goblin1}, s);
            s->write(ID_EXT_REST_EVENT_END);
        });
        const World before = fixture.world();
        QVERIFY(Global::history->rootChanged());

        QCOMPARE(Global::history->getEventCount(), 5);
        const QStringList texts = {"Failed Death Saving Throw: ", "Add 3 Action Points: ", "Brenna -> Stabilized: ",
                                   "Short Rest: Brenna", "Extended Rest: Goblin (1)"};
        for (int i = 0; i < texts.size(); i++)
            QCOMPARE(Global::history->getEventText(i), texts[i]);
        QCOMPARE(EventFixture::changes(before, fixture.world()),
                 QString("Brenna.beforeHp=23; Brenna.beforeHs=1; Brenna.heals=1; Brenna.hp=23; Brenna.hs=1; "
                         "Goblin (1).beforeHp=0"));
        while (Global::history->hasBack())
            Global::history->back();
        QCOMPARE(EventFixture::changes(before, fixture.world()), QString());
    }

    void missingItemsReadAsTheirDefaults()
    {
        // No count: one action point used; no value: second wind used, unnamed.
        writeRawRecord(Event::UseActionPointType, [&](ObjectStream* s) {
            Creature::write(fixture.aldric, s);
            s->write(ID_USE_AP_EVENT_END);
        });
        writeRawRecord(Event::UseSecondWindType, [&](ObjectStream* s) {
            Creature::write(fixture.aldric, s);
            s->write(ID_EVENT_END);
        });
        writeRawRecord(Event::ShortRestType, [](ObjectStream* s) { s->write(ID_SR_ACTION_EVENT_END); });
        QVERIFY(Global::history->rootChanged());

        QCOMPARE(Global::history->getEventCount(), 3);
        QCOMPARE(Global::history->getEventText(0), QString("Use Action Point: Aldric"));
        QCOMPARE(Global::history->getEventText(1), QString());
        QCOMPARE(Global::history->getEventText(2), QString("Short Rest: "));
        QCOMPARE(fixture.aldric->getCurrActionPoints(), 0);
        QVERIFY(fixture.aldric->isSecondWindUsed());
    }
};

RAVELHORN_TEST_MAIN(QGuiApplication, TestRestEvents)
#include "test_restevents.moc"
