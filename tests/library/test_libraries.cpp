#include <QDir>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QGuiApplication>
#include <QSettings>
#include <QSignalSpy>
#include <QSysInfo>
#include <QThread>

#include <sys/stat.h>
#include <unistd.h>

#include <optional>

#include "encounter/encounter.h"
#include "encounter/damageevents.h"
#include "encounter/effectevents.h"
#include "encounter/encounterevents.h"
#include "encounter/powerevents.h"
#include "encounter/history.h"
#include "encounter/rosterevents.h"
#include "foundation/folderlock.h"
#include "foundation/global.h"
#include "foundation/progress.h"
#include "library/characters.h"
#include "library/encounterdata.h"
#include "library/encounters.h"
#include "library/monsters.h"
#include "support/testsupport.h"
#include "support/testworld.h"

namespace {

using Answer = UiHooks::LockedFolderAnswer;

// Answers the library commands' dialogs and the editors' questions.
class LibraryHooks : public RecordingUiHooks
{
public:
    Progress* createProgress(const QString& label, int maximum) override
    {
        progressesMade++;
        auto* progress = new CancellingProgress(cancelAfter);
        progress->setLabelText(label);
        progress->setRange(0, maximum);
        return progress;
    }
    QString getExistingDirectory(const QString& title, const QString& near) override
    {
        progressAtFolderDialog.append(CancellingProgress::open);
        return RecordingUiHooks::getExistingDirectory(title, near);
    }
    int badRootAlert(const QString& title, const QString& text, const QString& actionText) override
    {
        const int answer = RecordingUiHooks::badRootAlert(title, text, actionText);
        return badRootAnswers.isEmpty() ? answer : badRootAnswers.takeFirst();
    }
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
    int pickMonster(Creature*& monster, QString& alias) override
    {
        monster = Global::monsters->getMonsterInstance("Marsh Raider", "7", true);
        alias = monsterAlias;
        return monsterAnswer;
    }
    int pickCharacters(QList<Creature*>& party, bool& add) override
    {
        for (const QString& name : partyNames)
            party.append(Global::characters->findCharacter(name));
        add = addToParty;
        return 1;
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
        explicit CancellingProgress(int after) : after(after) { open++; }
        ~CancellingProgress() override { open--; }
        bool wasCanceled() const override { return after >= 0 && value() >= after; }
        int after;
        // How many are shown.
        static inline int open = 0;
    };

    int cancelAfter = -1;
    int progressesMade = 0;
    // How many progress dialogs were open behind each folder dialog.
    QList<int> progressAtFolderDialog;
    // The answers to the next alerts about the data folder, before badRootAnswer.
    QList<int> badRootAnswers;
    bool accept = true;
    QString encounterName = "Bridge Ambush";
    // The answers of the monster and character pickers.
    int monsterAnswer = 1;
    QString monsterAlias;
    QStringList partyNames;
    bool addToParty = false;
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

// A copy of the demonstration data in use, named after the test's row: the
// party picked, the picker's monster added. Empty when it was not taken.
QString demoFight(const QString& parent, LibraryHooks& hooks, const QStringList& party)
{
    const QString root = copyOfDemoData(parent, QTest::currentDataTag());
    if (!Global::setRootPath(root, ""))
        return QString();
    hooks.partyNames = party;
    Global::characters->pickCharacters();
    Global::monsters->addMonsterToEncounter();
    return root;
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

    // What is no library file is passed over in silence; a file that may
    // be one but cannot be opened, or was cut short, is named with the cause.
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
        // A name in Latin-1, which no UTF-8 system gives back; nor can the
        // temporary folder remove it.
        const QByteArray misnamed = QFile::encodeName(monsters) + "caf\xe9.rvhn";
        QCOMPARE(::link(QFile::encodeName(monsters + "cave-skulker.rvhn").constData(), misnamed.constData()), 0);
        const auto removeMisnamed = qScopeGuard([&misnamed] { ::unlink(misnamed.constData()); });
        for (const char* name : {".x", "Template-goblin.rvhn"})
            TestSupport::writeFile(monsters + name, TestSupport::readFile(monsters + "cave-skulker.rvhn"));
        for (const char* name : {"empty.txt", "truncated.txt", "binary.txt"})
            TestSupport::writeFile(encounters + name, QByteArray(name).startsWith("t") ? "name=" : "");
        TestSupport::writeFile(encounters + "binary.txt", QByteArray("\0\xff\xfe=\x01", 5));
        // Without their last line end: one cut in the middle of a template's name, one whole.
        QByteArray ambush = TestSupport::readFile(encounters + "bridge-ambush.txt");
        TestSupport::writeFile(encounters + "cut.txt",
                               ambush.left(ambush.indexOf("Thornback") + 9).replace("Bridge", "Cut"));
        TestSupport::writeFile(encounters + "whole.txt", ambush.chopped(2).replace("Bridge", "Whole"));

        Progress progress;
        Monsters loadedMonsters;
        QCOMPARE(loadedMonsters.loadTemplates(root, "Bad", &progress), 1);
        QCOMPARE(loadedMonsters.getTemplateCount(), 12);
        QCOMPARE(progress.value(), Monsters::getFileCount(root));
        QCOMPARE(loadedMonsters.getUnreadable(),
                 QStringList({"<li><b>" + Global::htmlPath("Monsters/caf\uFFFD.rvhn") + "</b>: The name is not valid in the system's encoding; "
                              "rename the file</li>",
                              "<li><b>" + Global::htmlPath("Monsters/dangling") + "</b>: The file is a link to " + root
                                  + "/nowhere: No such file or directory</li>"}));
        Encounters loadedEncounters;
        QCOMPARE(loadedEncounters.loadEncounters(root, "Bad", &progress), 1);
        QCOMPARE(loadedEncounters.getEncounterCount(), 5);
        QCOMPARE(loadedEncounters.getAdventureList(), QStringList({"Mirefen Road", "The Drowned Chapel"}));
        QCOMPARE(loadedEncounters.findEncounter("Cut Ambush")->getMonsterCount(), 2);
        QCOMPARE(loadedEncounters.findEncounter("Whole Ambush")->getFileText(true), ambush.replace("Bridge", "Whole"));
        QCOMPARE(loadedEncounters.getReadInPart(),
                 QStringList("<li><b>" + Global::htmlPath("Encounters/cut.txt") + "</b>: The file ends in the middle of a line, which was left "
                             "out: &quot;Thornback&quot;</li>"));
        QCOMPARE(loadedEncounters.getUnreadable(),
                 QStringList({"<li><b>" + Global::htmlPath("Encounters/dangling") + "</b>: The file is a link to " + root
                                  + "/nowhere: No such file or directory</li>",
                              "<li><b>" + Global::htmlPath("Encounters/truncated.txt") + "</b>: The file ends in the middle of a line, which was "
                              "left out: &quot;name=&quot;</li>"}));
        QVERIFY(hooks.alerts.isEmpty());
    }

    // Enough files for several threads to read them, pasted text and builder
    // files: each monster still takes the next free name in the folder's
    // order, ignoring case, and its portrait. A name its section gives goes
    // numbered into its stat block. The creatures made on the workers belong
    // to the main thread, and the library tells its windows once.
    void aBigFolderLoadsInItsOrder_data()
    {
        QTest::addColumn<int>("cancelAfter");
        QTest::newRow("whole") << -1;
        QTest::newRow("cancelled") << 150;
    }

    void aBigFolderLoadsInItsOrder()
    {
        QFETCH(int, cancelAfter);
        LibraryHooks hooks;
        const QString root = home.path() + "/big";
        QImage image(4, 3, QImage::Format_RGB32);
        image.fill(Qt::darkRed);
        for (const char* folder : {"/Portraits", "/Monsters"})
            QDir().mkpath(root + folder);
        QVERIFY(image.save(root + "/Portraits/twin.png", "PNG"));
        QString builder = QString::fromUtf8(TestSupport::readFile(RAVELHORN_BUILDERFILES "/brute.monster"));
        builder.replace("Bogwater Brute", "Twin Raider");
        const int files = 400;
        const auto namedInSection = [](int i) { return i % 10 != 5 && i % 3 == 0; };
        for (int i = 0; i < files; i++)
            QVERIFY(TestSupport::writeFile(root + QString("/Monsters/m%1.rvhn").arg(i, 3, 10, QChar('0')),
                                   i % 10 == 5 ? builder.toUtf8()
                                   : QString("Twin Raider Level %1 Soldier\r\nMedium natural humanoid XP 150\r\n"
                                             "HP 47; Bloodied 23\r\nAC 19; Fortitude 16, Reflex 15, Will 14\r\n"
                                             "Speed 6\r\n[Tallowmere]\r\nportrait=%2\r\n%3")
                                         .arg(1 + i % 30)
                                         .arg(i % 2 ? "twin.png" : "")
                                         .arg(namedInSection(i) ? "group=TWIN RAIDER\r\n" : "")
                                         .toUtf8()));

        LibraryHooks::CancellingProgress progress(cancelAfter);
        Monsters loaded;
        QSignalSpy updated(&loaded, &Monsters::doTemplatesUpdated);
        QCOMPARE(loaded.loadTemplates(root, "Big", &progress), cancelAfter < 0 ? 1 : 0);
        // Emptied, then filled.
        QCOMPARE(updated.count(), 2);
        // "." and ".." are entries too.
        const int count = cancelAfter < 0 ? files : cancelAfter - 2;
        QCOMPARE(loaded.getTemplateCount(), count);
        for (int i = 0; i < count; i++) {
            const QString name = (namedInSection(i) ? QString("TWIN RAIDER") : QString("Twin Raider"))
                + (i == 0 ? QString() : QString(" %1").arg(i + 1));
            const Creature* monster = loaded.findTemplate(name);
            QVERIFY2(monster, qPrintable(QString::number(i)));
            QCOMPARE(monster->getGroup(), name);
            QCOMPARE(monster->getFileName(), QString("m%1.rvhn").arg(i, 3, 10, QChar('0')));
            QCOMPARE(monster->getStatBlock().contains("group=" + name + "\n"), namedInSection(i));
            // Not edited by its numbering.
            QCOMPARE(monster->getBeforeStatBlock(), monster->getStatBlock());
            QCOMPARE(monster->thread(), QThread::currentThread());
            if (i % 10 != 5) {
                QCOMPARE(monster->getStats().level, 1 + i % 30);
                QCOMPARE(monster->getPortrait().width(), i % 2 ? 4 : 0);
            } else {
                QVERIFY(monster->getStats().powers.size() > 0);
            }
            if (i > 0)
                QVERIFY(loaded.getTemplate(i - 1)->getGroup().compare(loaded.getTemplate(i)->getGroup(),
                                                                      Qt::CaseInsensitive) < 0);
        }
    }

    // The creature files that cannot be read are named, with the cause, in
    // one message after the folder is read. The stand-in the log makes for
    // each creature is never saved beside its file: mended, the files'
    // creatures come back alone.
    void unreadableFilesAreToldAndNothingIsSavedBesideThem_data()
    {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("damage");
        QTest::addColumn<QString>("cause");
        const QString wren = "Characters/wren-talloway.rvhn";
        QTest::newRow("empty") << QStringList{wren} << "empty" << "The file is empty";
        QTest::newRow("above the limit") << QStringList{wren} << "huge" << "The file is larger than 16 MB";
        // As root no permission stops a read: a file whose reading fails stands in.
        QTest::newRow("failing to read") << QStringList{wren} << "failing" << "Input/output error";
        QTest::newRow("a character and a monster")
            << QStringList{wren, "Monsters/marsh-raider.rvhn"} << "empty" << "The file is empty";
        // Decoded, the text would end at the byte, or take U+FFFD for it: saved, the file would lose the rest.
        QTest::newRow("a NUL byte") << QStringList{wren} << "nul" << "Line 3 holds a NUL byte";
        QTest::newRow("a Latin-1 letter") << QStringList{wren} << "latin-1" << "Line 3 is not UTF-8 text";
        // Its target on a drive not mounted: saved in its place, the link would be gone.
        QTest::newRow("a link to no file")
            << QStringList{wren} << "dangling" << "The file is a link to ROOT/gone: No such file or directory";
    }

    void unreadableFilesAreToldAndNothingIsSavedBesideThem()
    {
        QFETCH(QStringList, files);
        QFETCH(QString, damage);
        QFETCH(QString, cause);
        LibraryHooks hooks;
        TestWorld world;
        Global::encounters = new Encounters;
        const QString root = demoFight(home.path(), hooks, {"Wren Talloway"});
        QVERIFY(!root.isEmpty());
        const QString fight = world.describe();
        const auto entries = [&root] {
            const auto all = QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot;
            return QDir(root + "/Characters").entryList(all) + QDir(root + "/Monsters").entryList(all);
        };

        cause.replace("ROOT", root);
        QList<QByteArray> damaged;
        for (const QString& file : files) {
            const QString path = root + "/" + file;
            QByteArray bytes = TestSupport::readFile(path);
            if (damage == "empty")
                QVERIFY(TestSupport::writeFile(path, ""));
            else if (damage == "huge")
                QVERIFY(QFile::resize(path, 17 << 20));
            else if (damage == "nul" || damage == "latin-1")
                QVERIFY(TestSupport::writeFile(path, bytes.insert(bytes.indexOf('\n', bytes.indexOf('\n') + 1) + 1,
                                                                  damage == "nul" ? "\0" : "\xEA", 1)));
            else if (damage == "dangling")
                QVERIFY(QFile::remove(path) && QFile::link(root + "/gone", path));
            else
                QVERIFY(QFile::remove(path) && QFile::link("/proc/self/mem", path));
            damaged.append(damage == "failing" ? QByteArray() : TestSupport::readFile(path));
        }
        const QStringList before = entries();
        QVERIFY(Global::setRootPath(root, ""));
        QCOMPARE(hooks.alerts.size(), 1);
        QCOMPARE(hooks.alerts[0].title, QString("Files Not Read"));
        // The fight goes on with stand-ins, which no save writes.
        QCOMPARE(world.describe().count("\n"), fight.count("\n"));
        for (const QString& file : files) {
            QVERIFY(hooks.alerts[0].text.contains("<li><b>" + Global::htmlPath(file) + "</b>: " + cause + "</li>"));
            Creature* standIn = file.startsWith("Monsters") ? Global::monsters->findTemplate("Marsh Raider")
                                                            : Global::characters->findCharacter("Wren Talloway");
            QVERIFY(standIn && standIn->isMissing() && !standIn->save());
            QVERIFY(Global::lastFileError().contains(file.section('/', -1) + "' could not be read (" + cause));
        }
        QCOMPARE(entries(), before);
        for (int i = 0; i < files.size(); i++)
            if (damage != "failing")
                QCOMPARE(TestSupport::readFile(root + "/" + files[i]), damaged[i]);

        for (const QString& file : files)
            QVERIFY(QFile::remove(root + "/" + file) && QFile::copy(demoData() + "/" + file, root + "/" + file));
        QVERIFY(Global::setRootPath(root, ""));
        QCOMPARE(hooks.alerts.size(), 1);
        QCOMPARE(world.describe(), fight);
        delete Global::encounters;
        Global::encounters = nullptr;
    }

    // A file naming a fighter again, in another case and with other figures,
    // sorts first. The log names the fighter exactly as the other file does:
    // that one keeps the name and the fight, the copy is numbered and told,
    // and neither file is written. A restart gives the fight as recorded.
    void aRestartGivesTheRecordedFightWhateverElseTheFolderHolds_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("copyNamed");
        QTest::addColumn<QStringList>("figures");
        QTest::newRow("a hero named in small letters")
            << "Characters/kestrel-dunmore.rvhn" << "Kestrel Dunmore" << "kestrel dunmore"
            << QStringList{"hit-points=39", "hit-points=50", "armour-class=17", "armour-class=25"};
        QTest::newRow("a template named in capitals")
            << "Monsters/marsh-raider.rvhn" << "Marsh Raider" << "MARSH RAIDER"
            << QStringList{"HP 38", "HP 50", "AC 18", "AC 25"};
    }

    void aRestartGivesTheRecordedFightWhateverElseTheFolderHolds()
    {
        QFETCH(QString, file);
        QFETCH(QString, name);
        QFETCH(QString, copyNamed);
        QFETCH(QStringList, figures);
        LibraryHooks hooks;
        TestWorld world;
        Global::encounters = new Encounters;
        const QString root = demoFight(home.path(), hooks, {"Kestrel Dunmore", "Brannoc Ashfield"});
        QVERIFY(!root.isEmpty());
        const InitiativeList heroes{{"Kestrel Dunmore", 25, 1}, {"Brannoc Ashfield", 12, 1}};
        QVERIFY(world.record(new StartEncounterEvent(heroes, {{"Marsh Raider", 18, 1}}, world.stream())));
        QVERIFY(world.record(new NextTurnEvent(world.stream(), false)));
        const QString recorded = world.describe();

        // A sync tool's copy, named again in another case; it sorts first.
        QString text = QString::fromUtf8(TestSupport::readFile(root + "/" + file));
        text.replace(name, copyNamed);
        for (int i = 0; i + 1 < figures.size(); i += 2)
            text.replace(figures[i], figures[i + 1]);
        const QString copy = file.chopped(5) + " (copy).rvhn";
        QVERIFY(TestSupport::writeFile(root + "/" + copy, text.toUtf8()));
        const QByteArray originalBytes = TestSupport::readFile(root + "/" + file);
        const QByteArray copyBytes = TestSupport::readFile(root + "/" + copy);
        const QString numbered = copyNamed + " 2";
        for (int restart = 0; restart < 2; restart++) {
            hooks.alerts.clear();
            QVERIFY(Global::setRootPath(root, ""));
            QVERIFY(Global::encounter->getCreatureList().getNameList().contains(name));
            // The copy's hero is no fighter: its line is the only one more.
            QStringList lines = world.describe().split('\n');
            lines.removeIf([&numbered](const QString& line) { return line.startsWith(numbered + " hp "); });
            QCOMPARE(lines.join('\n'), recorded);
            QCOMPARE(hooks.alerts.size(), 1);
            QCOMPARE(hooks.alerts[0].title, QString("Files Read With Changes"));
            QVERIFY(hooks.alerts[0].text.contains("<li><b>" + Global::htmlPath(copy) + "</b>: Its &quot;" + copyNamed
                                                  + "&quot; is named &quot;" + numbered + "&quot; here, as " + file
                                                  + " names &quot;" + name + "&quot;</li>"));
            // Quitting saves what changed: nothing.
            const bool monster = file.startsWith("Monsters");
            const int count = monster ? Global::monsters->getTemplateCount() : Global::characters->getCharacterCount();
            for (int i = 0; i < count; i++) {
                Creature* creature = monster ? Global::monsters->getTemplate(i) : Global::characters->getCharacter(i);
                QVERIFY(!creature->isDirty() || creature->save());
            }
            QCOMPARE(TestSupport::readFile(root + "/" + file), originalBytes);
            QCOMPARE(TestSupport::readFile(root + "/" + copy), copyBytes);
        }
        delete Global::encounters;
        Global::encounters = nullptr;
    }

    void switchingTheDataFolder_data()
    {
        QTest::addColumn<QStringList>("removed");
        QTest::addColumn<int>("badRootAnswer");
        QTest::addColumn<int>("cancelAfter");
        QTest::addColumn<bool>("heldElsewhere");
        QTest::addColumn<bool>("switched");
        QTest::addColumn<QString>("alerts");
        // A lock made by hand, and the answer to the question it raises.
        QTest::addColumn<QString>("lock");
        QTest::addColumn<Answer>("lockAnswer");
        QTest::newRow("whole") << QStringList() << 0 << -1 << false << true << "" << "" << Answer::Leave;
        QTest::newRow("missing folder created") << QStringList{"Monsters"} << 1 << -1 << false << true
                                                << "Directory not Found" << "" << Answer::Leave;
        QTest::newRow("missing folder, Cancel") << QStringList{"Encounters"} << 0 << -1 << false << false
                                                << "Directory not Found" << "" << Answer::Leave;
        QTest::newRow("nothing loadable, Cancel") << QStringList{"Characters/*"} << 0 << -1 << false << false
                                                  << "No Characters Found" << "" << Answer::Leave;
        QTest::newRow("Cancel after one file")
            << QStringList() << 0 << 1 << false << false << "" << "" << Answer::Leave;
        QTest::newRow("held by another program") << QStringList() << 0 << -1 << true << false << "Data Folder in Use"
                                                 << "" << Answer::Leave;
        QTest::newRow("lock naming no program")
            << QStringList() << 0 << -1 << false << true << "" << "nul" << Answer::Leave;
        QTest::newRow("another computer's lock, Cancel")
            << QStringList() << 0 << -1 << false << false << "Data Folder Locked" << "other computer" << Answer::Leave;
        QTest::newRow("another computer's lock, opened anyway")
            << QStringList() << 0 << -1 << false << true << "Data Folder Locked" << "other computer"
            << Answer::OpenAnyway;
    }

    void switchingTheDataFolder()
    {
        QFETCH(QStringList, removed);
        QFETCH(int, badRootAnswer);
        QFETCH(int, cancelAfter);
        QFETCH(bool, heldElsewhere);
        QFETCH(bool, switched);
        QFETCH(QString, alerts);
        QFETCH(QString, lock);
        QFETCH(Answer, lockAnswer);
        TestWorld world;
        // The folder in use is held, as after a start.
        QCOMPARE(FolderLock::take(world.root()).outcome, FolderLock::Claim::Held);
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
        hooks.lockedFolderAnswers = {lockAnswer};
        QVERIFY(lock.isEmpty() || TestSupport::makeLock(other, lock));
        std::optional<OtherProgram> holder;
        if (heldElsewhere) {
            holder.emplace(other);
            QVERIFY(holder->holdsFolder());
        }
        const qint64 lockedBy = OtherProgram::lockHolder(other);
        QCOMPARE(Global::setRootPath(other, "Docs/Other Data"), switched);
        QStringList titles;
        for (const auto& alert : hooks.alerts)
            titles.append(alert.title);
        QCOMPARE(titles.join(", "), alerts);
        if (heldElsewhere)
            QCOMPARE(hooks.alerts[0].text, QString("The data folder <b>%1</b> is in use by ravelhorn (process %2 on %3).<p>The "
                                                   "data folder stays <b>%4</b>.")
                                               .arg(Global::htmlPath(other))
                                               .arg(holder->pid())
                                               .arg(QSysInfo::machineHostName(), Global::htmlPath(world.root())));
        QCOMPARE(Global::characters->findCharacter("Old Hero") == nullptr, switched);
        QCOMPARE(Global::getRootPath() == other, switched);
        // A folder refused is asked for before a file of it is read.
        QCOMPARE(hooks.progressesMade, int(!alerts.startsWith("Data Folder") || switched));
        // Only the data folder is held: a second program may open the one left.
        const qint64 self = QCoreApplication::applicationPid();
        QCOMPARE(OtherProgram::lockHolder(world.root()), switched ? 0 : self);
        QCOMPARE(OtherProgram::lockHolder(other), switched ? self : lockedBy);
        if (switched) {
            QCOMPARE(QSettings().value("dataDir/display").toString(), QString("Docs/Other Data"));
            QCOMPARE(chores.windowTitles.last(), QString("Ravelhorn - Other Data"));
        }
        delete Global::encounters;
        Global::encounters = nullptr;
    }

    // "Select Folder..." in the missing-folder alert: the progress closes before the folder dialog opens, and the
    // chosen folder's log is the one a restart replays, step by step undoable.
    void selectFolderAfterAMissingFolder()
    {
        TestWorld world;
        Global::encounters = new Encounters;
        LibraryHooks hooks;
        RecordedChores chores;
        const QString broken = copyOfDemoData(home.path(), "Broken");
        QVERIFY(QDir(broken + "/Monsters").removeRecursively());
        const QString chosen = copyOfDemoData(home.path(), "Chosen");
        hooks.badRootAnswers = {2};
        hooks.folders = {chosen};
        QVERIFY(Global::setRootPath(broken, "Broken"));
        QCOMPARE(hooks.alerts.value(0).title, QString("Directory not Found"));
        QCOMPARE(hooks.progressAtFolderDialog, QList<int>{0});
        QCOMPARE(Global::getRootPath(), chosen);
        QCOMPARE(chores.windowTitles.last(), QString("Ravelhorn - Chosen"));

        Creature* hero = Global::characters->getCharacter(0);
        const QString rested = world.describe();
        QVERIFY(world.record(new SetPartyEvent(CreatureList({hero}), false, {}, world.stream())));
        const QString party = world.describe();
        QVERIFY(world.record(new DamageEvent("Hit", nullptr, hero, 6, "", world.stream())));
        const QString hit = world.describe();
        QVERIFY(Global::setRootPath(Global::getRootPath(), ""));
        QCOMPARE(world.describe(), hit);
        Global::history->back();
        QCOMPARE(world.describe(), party);
        Global::history->back();
        QCOMPARE(world.describe(), rested);
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

    // Each command's events replay after a restart, and undone one by one they leave the encounter as it was.
    void rosterCommandsThroughTheLog_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("running");
        QTest::addColumn<QStringList>("texts");
        QTest::newRow("add a monster, hidden, with an alias")
            << "monster 4 Shade" << false
            << QStringList{"Add Monster: Marsh Raider (7) (Hidden)", "Marsh Raider (7): Show Alias: Shade"};
        QTest::newRow("add a monster while the fight runs") << "monster 1" << true
                                                             << QStringList{"Add Monster: Marsh Raider (7)"};
        QTest::newRow("add characters") << "add Idrel Vane,Wren Talloway" << false
                                        << QStringList{"Add Characters: Idrel Vane, Wren Talloway"};
        QTest::newRow("replace the party while the fight runs")
            << "party Kestrel Dunmore" << true << QStringList{"Set Party: Kestrel Dunmore"};
        // The picker gives no one back when the party it shows is the one in the encounter.
        QTest::newRow("the same party") << "party" << false << QStringList{};
    }

    void rosterCommandsThroughTheLog()
    {
        QFETCH(QString, command);
        QFETCH(bool, running);
        QFETCH(QStringList, texts);
        LibraryHooks hooks;
        TestWorld world;
        Global::encounters = new Encounters;
        QVERIFY(Global::setRootPath(copyOfDemoData(home.path(), QTest::currentDataTag()), ""));
        Creature* hero = Global::characters->findCharacter("Brannoc Ashfield");
        QVERIFY(world.record(new SetPartyEvent(CreatureList({hero}), false, {}, world.stream())));
        if (running)
            QVERIFY(world.record(new StartEncounterEvent({}, {}, world.stream())));
        const int before = Global::history->getEventCount();
        const QString beforeCommand = world.describe();
        const QStringList words = command.split(' ');
        if (words[0] == "monster") {
            hooks.monsterAnswer = words[1].toInt();
            hooks.monsterAlias = words.value(2);
            Global::monsters->addMonsterToEncounter();
        } else {
            hooks.addToParty = words[0] == "add";
            hooks.partyNames = command.section(' ', 1).split(',', Qt::SkipEmptyParts);
            Global::characters->pickCharacters();
        }
        QCOMPARE(historyTexts().mid(before), texts);

        const QString whole = world.describe();
        QVERIFY(Global::setRootPath(Global::getRootPath(), ""));
        QCOMPARE(world.describe(), whole);
        for (int undone = 0; undone < texts.size(); undone++)
            Global::history->back();
        // Monsters made for the command stay, rested; all else is as it was.
        const QStringList now = world.describe().split('\n');
        for (const QString& line : beforeCommand.split('\n'))
            QVERIFY2(now.contains(line), qPrintable(line));
        delete Global::encounters;
        Global::encounters = nullptr;
    }

    void loadingAPreparedEncounterThroughTheLog_data()
    {
        QTest::addColumn<int>("pickAnswer");
        QTest::addColumn<bool>("running");
        QTest::addColumn<int>("initiativeAnswer");
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<bool>("wounded");
        const QStringList aliasAndHide = {"Marsh Raider (2): Show Alias: The Scarred One",
                                          "Hide Thornback Archer (B)"};
        QTest::newRow("replace, stopped")
            << 5 << false << 1 << QStringList{"Set Encounter: Bridge Ambush"} + aliasAndHide << true;
        QTest::newRow("add, stopped") << 3 << false << 1 << QStringList{"Add Encounter: Bridge Ambush"} + aliasAndHide
                                      << true;
        QTest::newRow("add hidden, running")
            << 4 << true << 1 << QStringList{"Add Encounter: Bridge Ambush (Hidden)"} + aliasAndHide << true;
        QTest::newRow("replace, running")
            << 5 << true << 1 << QStringList{"Set Encounter: Bridge Ambush"} + aliasAndHide << true;
        // The reset was answered before the initiative was cancelled.
        QTest::newRow("initiative cancelled") << 5 << true << 0 << QStringList{} << true;
        // Unhurt, but still dazed and burning from the fight it was taken out of.
        QTest::newRow("effects alone")
            << 5 << false << 1 << QStringList{"Set Encounter: Bridge Ambush"} + aliasAndHide << false;
    }

    void loadingAPreparedEncounterThroughTheLog()
    {
        QFETCH(int, pickAnswer);
        QFETCH(bool, running);
        QFETCH(int, initiativeAnswer);
        QFETCH(QStringList, texts);
        QFETCH(bool, wounded);
        LibraryHooks hooks;
        hooks.pickAnswer = pickAnswer;
        hooks.initiativeAnswer = initiativeAnswer;
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
        if (wounded)
            QVERIFY(Global::history->apply(new DamageEvent("Hit", hero, {raider}, 5, "", stream), false));
        EffectDetails dazed;
        dazed.type = CE::Dazed;
        dazed.endCondition = CE::SaveEnds;
        EffectDetails burning = dazed;
        burning.type = CE::OnGoingDamage;
        burning.amount = 5;
        burning.comment = "fire";
        for (const EffectDetails& details : {dazed, burning})
            QVERIFY(Global::history->apply(new EffectEvent(details, {raider}, stream), false));
        CreaturePower* power = raider->getPowers().getPower(0);
        for (int i = 0; power && power->current.cost == Power::AtWill; i++)
            power = raider->getPowers().getPower(i);
        QVERIFY(power);
        QVERIFY(Global::history->apply(new PowerUsageChangedEvent(raider, power, PowerUsageChangedEvent::Used, stream),
                                       false));
        const int before = Global::history->getEventCount();
        const QString beforeCommand = world.describe();
        Global::encounters->selectEncounter();
        QStringList made = historyTexts();
        QCOMPARE(hooks.alerts.value(0).title, QString("Reset Bridge Ambush"));
        QCOMPARE(made.filter("Extended Rest: ").size(), 1);
        // Rest, usage reset, then the addition.
        const int rest = made.indexOf(QRegularExpression("Extended Rest: .*"));
        QVERIFY(rest > 0 && made.value(rest + 1).contains("Reset"));
        QCOMPARE(made.mid(rest + 2), texts);
        // The earlier fight's effects end before the rest: the raider comes fresh.
        QCOMPARE(made.mid(before, rest - before), QStringList({"End of Encounter: Remove Ongoing 5 Damage (fire)",
                                                               "End of Encounter: Remove Dazed"}));
        QCOMPARE(raider->getEffectCount(), 0);
        QCOMPARE(Global::encounter->getCreatureIndex(raider) >= 0, initiativeAnswer != 0);
        QCOMPARE(Global::encounter->getCurrentCreature(), running ? hero : nullptr);
        // The typed initiative, kept through a restart.
        const int raiderRoll = initiativeAnswer && running ? 30 : raider->getInitRoll();
        QCOMPARE(raider->getInitRoll(), raiderRoll);

        const QString whole = world.describe();
        QVERIFY(Global::setRootPath(Global::getRootPath(), ""));
        QCOMPARE(world.describe(), whole);
        QCOMPARE(Global::monsters->getMonsterInstance("Marsh Raider", "2", false)->getInitRoll(), raiderRoll);
        // Undone step by step, back to where the command started.
        while (Global::history->getEventCount() - Global::history->getCurrentIndex() - 1 < made.size() - before)
            Global::history->back();
        // Monsters made for the command stay, rested; all else is as it was.
        const QStringList undone = world.describe().split('\n');
        for (const QString& line : beforeCommand.split('\n'))
            QVERIFY2(undone.contains(line), qPrintable(line));
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
