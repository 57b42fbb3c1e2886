#include <QDir>
#include <QRegularExpression>
#include <QGuiApplication>
#include <QSettings>

#include <sys/stat.h>

#include "encounter/encounter.h"
#include "encounter/damageevents.h"
#include "encounter/encounterevents.h"
#include "encounter/powerevents.h"
#include "encounter/history.h"
#include "encounter/rosterevents.h"
#include "foundation/global.h"
#include "foundation/progress.h"
#include "library/characters.h"
#include "library/encounterdata.h"
#include "library/encounters.h"
#include "library/monsters.h"
#include "support/testsupport.h"
#include "support/testworld.h"

namespace {

// Answers the library commands' dialogs and the editors' questions.
class LibraryHooks : public RecordingUiHooks
{
public:
    Progress* createProgress(const QString& label, int maximum) override
    {
        auto* progress = new CancellingProgress(cancelAfter);
        progress->setLabelText(label);
        progress->setRange(0, maximum);
        return progress;
    }
    QString getExistingDirectory(const QString&) override { return folders.isEmpty() ? QString() : folders.takeFirst(); }
    bool rejectableAlert(const QString& title, const QString& text, const QString&) override
    {
        alerts.append({title, text});
        return accept;
    }
    int pickEncounter(QString&, EncounterData*& chosen) override
    {
        chosen = Global::encounters->findEncounter(encounterName);
        return pickAnswer;
    }
    int rollInitiative(const CreatureList&, InitiativeList& heroes, InitiativeList& monsters) override
    {
        heroes = monsters = InitiativeList{{"Marsh Raider", 30, 1}, {"Thornback Archer", 3, 1}};
        return initiativeAnswer;
    }
    UnsavedItems charactersToSave() override { return unsaved.value(0); }
    void monstersToSave(UnsavedItems& monsters, UnsavedItems& encounters) override
    {
        monsters = unsaved.value(1);
        encounters = unsaved.value(2);
    }
    bool saveAllMonsters() override { return savesWork; }

    struct CancellingProgress : Progress
    {
        explicit CancellingProgress(int after) : after(after) {}
        bool wasCanceled() const override { return after >= 0 && value() >= after; }
        int after;
    };

    int cancelAfter = -1;
    QStringList folders;
    bool accept = true;
    QString encounterName = "Bridge Ambush";
    int pickAnswer = 5;
    int initiativeAnswer = 1;
    QList<UnsavedItems> unsaved;
    bool savesWork = true;
};

QString demoData()
{
    return QCoreApplication::applicationDirPath() + "/Resources/demo-data";
}

QString copyOfDemoData(const QString& parent, const QString& name)
{
    Global::copyDir(demoData(), parent, name);
    return parent + "/" + name;
}

QStringList historyTexts()
{
    QStringList texts;
    for (int i = 0; i < Global::history->getEventCount(); i++)
        texts.append(Global::history->getEvent(i)->getDescription(false));
    return texts;
}

}

class TestLibraries : public QObject
{
    Q_OBJECT

private:
    TemporaryHome home;

private slots:
    void init() { QSettings().clear(); }

    void loadingSkipsWhatIsNoLibraryFile()
    {
        LibraryHooks hooks;
        const QString root = copyOfDemoData(home.path(), "bad");
        const QString monsters = root + "/Monsters/";
        const QString encounters = root + "/Encounters/";
        QDir().mkdir(monsters + "folder");
        QDir().mkdir(encounters + "folder");
        for (const QString& path : {monsters + "fifo", encounters + "fifo"})
            QCOMPARE(mkfifo(qPrintable(path), 0600), 0);
        QFile::link(root + "/nowhere", monsters + "dangling");
        QFile::link(root + "/nowhere", encounters + "dangling");
        for (const char* name : {".x", "Template-goblin.rvhn"})
            TestSupport::writeFile(monsters + name, TestSupport::readFile(monsters + "cave-skulker.rvhn"));
        for (const char* name : {"empty.txt", "truncated.txt", "binary.txt"})
            TestSupport::writeFile(encounters + name, QByteArray(name).startsWith("t") ? "name=" : "");
        TestSupport::writeFile(encounters + "binary.txt", QByteArray("\0\xff\xfe=\x01", 5));

        Progress progress;
        Monsters loadedMonsters;
        QCOMPARE(loadedMonsters.loadTemplates(root, "Bad", &progress), 1);
        QCOMPARE(loadedMonsters.getTemplateCount(), 12);
        QCOMPARE(progress.value(), Monsters::getFileCount(root));
        Encounters loadedEncounters;
        QCOMPARE(loadedEncounters.loadEncounters(root, "Bad", &progress), 1);
        QCOMPARE(loadedEncounters.getEncounterCount(), 3);
        QCOMPARE(loadedEncounters.getAdventureList(), QStringList({"Mirefen Road", "The Drowned Chapel"}));
        QVERIFY(hooks.alerts.isEmpty());
    }

    void switchingTheDataFolder_data()
    {
        QTest::addColumn<QStringList>("removed");
        QTest::addColumn<int>("badRootAnswer");
        QTest::addColumn<int>("cancelAfter");
        QTest::addColumn<bool>("switched");
        QTest::addColumn<QString>("alerts");
        QTest::newRow("whole") << QStringList() << 0 << -1 << true << "";
        QTest::newRow("missing folder created") << QStringList{"Monsters"} << 1 << -1 << true << "Directory not Found";
        QTest::newRow("missing folder, Cancel") << QStringList{"Encounters"} << 0 << -1 << false << "Directory not Found";
        QTest::newRow("nothing loadable, Cancel") << QStringList{"Characters/*"} << 0 << -1 << false
                                                  << "No Characters Found";
        QTest::newRow("Cancel after one file") << QStringList() << 0 << 1 << false << "";
    }

    void switchingTheDataFolder()
    {
        QFETCH(QStringList, removed);
        QFETCH(int, badRootAnswer);
        QFETCH(int, cancelAfter);
        QFETCH(bool, switched);
        QFETCH(QString, alerts);
        TestWorld world;
        Global::encounters = new Encounters;
        world.addHero("Old Hero", 10);
        LibraryHooks hooks;
        RecordedChores chores;
        const QString other = copyOfDemoData(home.path(), "Other Data");
        // "Folder/*" empties the folder, "Folder" removes it.
        for (const QString& gone : removed) {
            QDir(other + "/" + gone.section('/', 0, 0)).removeRecursively();
            if (gone.endsWith("*"))
                QDir(other).mkdir(gone.section('/', 0, 0));
        }
        hooks.badRootAnswer = badRootAnswer;
        hooks.cancelAfter = cancelAfter;
        QCOMPARE(Global::setRootPath(other, "Docs/Other Data"), switched);
        QStringList titles;
        for (const auto& alert : hooks.alerts)
            titles.append(alert.title);
        QCOMPARE(titles.join(", "), alerts);
        QCOMPARE(Global::characters->findCharacter("Old Hero") == nullptr, switched);
        QCOMPARE(Global::getRootPath() == other, switched);
        if (switched) {
            QCOMPARE(QSettings().value("dataDir/display").toString(), QString("Docs/Other Data"));
            QCOMPARE(chores.windowTitles.last(), QString("Ravelhorn - Other Data"));
        }
        delete Global::encounters;
        Global::encounters = nullptr;
    }

    // Hand edits not yet recorded go into the old folder's log before the switch,
    // or they are lost when the game master switches back.
    void switchingRecordsHandEditsInTheOldLog()
    {
        TestWorld world;
        Global::encounters = new Encounters;
        LibraryHooks hooks;
        Creature* hero = world.addHero("Old Hero", 10);
        // A hero the log named but the library lacks: its placeholder is no rename.
        Creature* ghost = Global::characters->getCharacter("Ghost", true);
        Global::encounter->setCreatureList(CreatureList({hero, ghost}));
        QVERIFY(world.record(new DamageEvent("Hit", nullptr, hero, 2, "", world.stream())));
        // As the hit-point box does.
        hero->setCurrHitPoints(5);
        Global::encounter->setCreatureEdited();
        const QString oldRoot = world.root();
        // The test's own folder holds no library files: taken as it is.
        hooks.badRootAnswer = 1;
        QVERIFY(Global::setRootPath(copyOfDemoData(home.path(), "Other Data"), "Other"));
        QVERIFY(Global::setRootPath(oldRoot, "Old"));
        QVERIFY(historyTexts().last().startsWith("Changed Old Hero:"));
        QVERIFY(historyTexts().last().contains("Curr HP 5"));
        QVERIFY(!historyTexts().join("\n").contains("Rename"));
        delete Global::encounters;
        Global::encounters = nullptr;
    }

    void unsavedWork_data()
    {
        QTest::addColumn<QList<UnsavedItems>>("unsaved");
        QTest::addColumn<QString>("text");
        QTest::newRow("one character") << QList<UnsavedItems>{{1, {"Kestrel"}}} << "<b>Kestrel</b> was not saved.<p>M";
        QTest::newRow("monsters and an encounter")
            << QList<UnsavedItems>{{}, {2, {"A", "B"}}, {1, {"Ambush"}}}
            << "2 Monsters and <b>Ambush</b> were not saved.<p>M";
        QTest::newRow("all three")
            << QList<UnsavedItems>{{3, {}}, {2, {}}, {4, {}}}
            << "3 Characters, 2 Monsters and 4 Encounters were not saved.<p>M";
    }

    void unsavedWork()
    {
        QFETCH(QList<UnsavedItems>, unsaved);
        QFETCH(QString, text);
        LibraryHooks hooks;
        hooks.unsaved = unsaved;
        QVERIFY(Global::allChangesSaved("M", "Go"));
        QCOMPARE(hooks.alerts.last().title, QString("Not All Work Saved"));
        QCOMPARE(hooks.alerts.last().text, text);
        // A save that fails keeps the work: the caller must not discard it.
        hooks.savesWork = false;
        QCOMPARE(Global::allChangesSaved("M", "Go"), unsaved.size() < 2);
        hooks.accept = false;
        QVERIFY(!Global::allChangesSaved("M", "Go"));
    }

    void loadingAPreparedEncounterThroughTheLog_data()
    {
        QTest::addColumn<int>("pickAnswer");
        QTest::addColumn<bool>("running");
        QTest::addColumn<QStringList>("texts");
        const QStringList aliasAndHide = {"Marsh Raider (2): Show Alias: The Scarred One",
                                          "Hide Thornback Archer (B)"};
        QTest::newRow("replace, stopped")
            << 5 << false << QStringList{"Set Encounter: Bridge Ambush"} + aliasAndHide;
        QTest::newRow("add hidden, running")
            << 4 << true << QStringList{"Add Encounter: Bridge Ambush (Hidden)"} + aliasAndHide;
    }

    void loadingAPreparedEncounterThroughTheLog()
    {
        QFETCH(int, pickAnswer);
        QFETCH(bool, running);
        QFETCH(QStringList, texts);
        LibraryHooks hooks;
        hooks.pickAnswer = pickAnswer;
        TestWorld world;
        Global::encounters = new Encounters;
        Global::actions = nullptr;
        QVERIFY(Global::setRootPath(copyOfDemoData(home.path(), QTest::currentDataTag()), ""));
        Creature* hero = Global::characters->getCharacter(0);
        ObjectStream* stream = Global::history->getStream(false);
        QVERIFY(Global::history->apply(new SetPartyEvent(CreatureList({hero}), false, {}, stream), false));
        if (running)
            QVERIFY(Global::history->apply(new StartEncounterEvent({}, {}, stream), false));
        // A monster that fought before: the reset question comes first.
        Creature* raider = Global::monsters->getMonsterInstance("Marsh Raider", "2", true);
        QVERIFY(Global::history->apply(new DamageEvent("Hit", hero, {raider}, 5, "", stream), false));
        CreaturePower* power = raider->getPowers().getPower(0);
        for (int i = 0; power && power->current.cost == Power::AtWill; i++)
            power = raider->getPowers().getPower(i);
        QVERIFY(power);
        QVERIFY(Global::history->apply(new PowerUsageChangedEvent(raider, power, PowerUsageChangedEvent::Used, stream),
                                       false));
        Global::encounters->selectEncounter();
        QStringList made = historyTexts();
        QCOMPARE(hooks.alerts.value(0).title, QString("Reset Bridge Ambush"));
        QCOMPARE(made.filter("Extended Rest: ").size(), 1);
        // Rest, usage reset, then the addition.
        const int rest = made.indexOf(QRegularExpression("Extended Rest: .*"));
        QVERIFY(rest > 0 && made.value(rest + 1).contains("Reset") && made.value(rest + 2).contains("Bridge Ambush"));
        QCOMPARE(made.mid(made.size() - texts.size()), texts);
        QCOMPARE(Global::encounter->getCreatureIndex(raider) >= 0, true);
        QCOMPARE(Global::encounter->getCurrentCreature(), running ? hero : nullptr);

        const QString whole = world.describe();
        while (Global::history->hasBack())
            Global::history->back();
        QCOMPARE(Global::encounter->getCreatureCount(), 0);
        QVERIFY(Global::setRootPath(Global::getRootPath(), ""));
        QCOMPARE(world.describe(), whole);
        delete Global::encounters;
        Global::encounters = nullptr;
    }
};

RAVELHORN_TEST_MAIN(QGuiApplication, TestLibraries)
#include "test_libraries.moc"
