// The character creator driven as the game master drives it: the window over
// the demonstration party, every edit box, names kept unique, builder files
// added and imported again, and hand edits of a hero in play through the log.
#include <QAbstractItemModelTester>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QRegularExpression>
#include <QPushButton>
#include <QSettings>
#include <QSplitter>

#include "editors/creatortesting.h"
#include "editors/editorstesting.h"
#include "encounter/damageevents.h"
#include "encounter/encounter.h"
#include "encounter/encounterevents.h"
#include "encounter/restevents.h"
#include "encounter/rosterevents.h"
#include "encounter/turnflow.h"
#include "encounter/vitalityevents.h"
#include "foundation/progress.h"
#include "mainwindow/mainwindowtesting.h"
#include "support/keyboardfocus.h"
#include "support/testsupport.h"
#include "support/testworld.h"

namespace {

const QStringList demoParty{"Brannoc Ashfield", "Idrel Vane", "Kestrel Dunmore", "Oriel Fenwhistle", "Wren Talloway"};

// The main window over the demonstration data, its creator shown.
class CreatorWorld
{
public:
    CreatorWorld()
    {
        QVERIFY(main.loadFolder());
        KeyboardFocus::activate(creator.window);
        tester = std::make_unique<QAbstractItemModelTester>(creator.view()->model(),
                                                            QAbstractItemModelTester::FailureReportingMode::QtTest);
    }
    Creature* hero(const QString& name) const { return Global::characters->findCharacter(name); }
    QString dataFile(const QString& name) const { return QDir(main.root()).filePath(name); }
    // The builder's hero file, copied to the path; false when it could not be.
    static bool copyHero(const QString& path)
    {
        QDir().mkpath(QFileInfo(path).path());
        return QFile::copy(QString(RAVELHORN_BUILDERFILES) + "/hero.dnd4e", path);
    }
    // The builder file kept outside the data folder.
    QString builder() const { return elsewhere.filePath("tamsin.dnd4e"); }
    // The hero added from a copy of the builder file outside the data folder, and saved.
    Creature* addSavedHero()
    {
        if (!copyHero(builder()))
            return nullptr;
        hooks.openFileAnswer = builder();
        creator.button("Add From File...")->click();
        Creature* added = creator.selected();
        return added && added->getImportFile() == builder() && added->save() ? added : nullptr;
    }
    // The builder file gained levels.
    static bool levelUp(const QString& builder, int level)
    {
        QByteArray text = TestSupport::readFile(builder);
        return TestSupport::writeFile(builder, text.replace("<Level>1</Level>", QString("<Level>%1</Level>").arg(level).toUtf8()));
    }

    RecordingUiHooks hooks;
    WindowUnderTest main;
    Creator creator{Global::characterWindow};
    std::unique_ptr<QAbstractItemModelTester> tester;
    QTemporaryDir elsewhere;
};

// The figure a box of "Edit Details" writes.
int figure(Creature* c, const QString& heading)
{
    const QMap<QString, std::function<int()>> figures{{"Level", [c] { return c->getLevel(); }},
        {"AC", [c] { return c->getArmorClass(); }}, {"Fortitude", [c] { return c->getFortitude(); }},
        {"Reflex", [c] { return c->getReflex(); }}, {"Will", [c] { return c->getWill(); }},
        {"HP", [c] { return c->getCurrHitPoints(); }}, {"Max HP", [c] { return c->getMaxHitPoints(); }},
        {"HS", [c] { return c->getCurrHealingSurges(); }}, {"Max HS", [c] { return c->getMaxHealingSurges(); }},
        {"Surge Value", [c] { return c->getSurgeValue(); }}, {"Initiative", [c] { return c->getInitBonus(); }},
        {"AP", [c] { return c->getCurrActionPoints(); }}, {"AP per encounter", [c] { return c->getInitActionPoints(); }},
        {"Perception", [c] { return c->getPerception(); }}, {"Insight", [c] { return c->getInsight(); }},
        {"STR", [c] { return c->getAbility(Strength).score; }}, {"CHA", [c] { return c->getAbility(Charisma).score; }}};
    return figures.value(heading)();
}

// Where each number box of "Edit Details" stands on the screen, once laid out.
QMap<QSpinBox*, QRect> boxPlaces(const Creator& c)
{
    QApplication::processEvents();
    QMap<QSpinBox*, QRect> places;
    for (QSpinBox* box : c.details()->findChildren<QSpinBox*>())
        places.insert(box, QRect(box->mapToGlobal(QPoint(0, 0)), box->size()));
    return places;
}

void typeAndCommit(QSpinBox* box, int value)
{
    Creator::type(box, value);
    QTest::keyClick(box, Qt::Key_Return);
}

// The heroes stand in a running encounter, as Select Party and the start put them there.
void startWith(const QList<Creature*>& heroes)
{
    ObjectStream* stream = Global::history->getStream(false);
    QVERIFY(Global::history->apply(new SetPartyEvent(CreatureList(heroes), false, {}, stream), false));
    InitiativeList rolls;
    for (const Creature* hero : heroes)
        rolls.append({hero->getName(), 15, 1});
    QVERIFY(Global::history->apply(new StartEncounterEvent(rolls, {}, stream), false));
    QVERIFY(Global::encounter->isRunning());
}

}

class TestCharacterWindow : public QObject
{
    Q_OBJECT

private slots:
    void init() { QSettings().clear(); }

    void frameOverTheDemonstrationParty()
    {
        CreatorWorld world;
        Creator& c = world.creator;
        QCOMPARE(c.window->windowTitle(), QString("Character Creator"));
        QCOMPARE(c.rows(), demoParty);
        QCOMPARE(c.view()->sizeHint(), QSize(160, 400));
        QCOMPARE(c.tabs()->count(), 4);
        QCOMPARE(c.tabs()->tabText(2), QString("Program Powers"));
        QCOMPARE(c.tabs()->currentIndex(), 0);

        CharacterDetails* d = c.details();
        QCOMPARE(Creator::items(d->getClassBox()).size(), 37);
        QVERIFY(d->getClassBox()->isEditable());
        QCOMPARE(Creator::items(d->getRaceBox()).size(), 40);
        QVERIFY(Creator::items(d->getRaceBox()).contains("Thri-Kreen"));
        QVERIFY(Creator::items(d->getRaceBox()).contains("Shadar-kai"));
        QCOMPARE(Creator::items(d->getRoleBox()), (QStringList{"", "Controller", "Defender", "Leader", "Striker"}));
        QCOMPARE(Creator::items(d->getAlignmentBox()),
                 (QStringList{"", "Lawful Good", "Good", "Neutral", "Evil", "Chaotic Evil"}));
        const QList<std::tuple<QString, int, int>> ranges{{"Level", 0, 99}, {"AC", 0, 99}, {"HP", -999, 999},
            {"Max HP", 0, 999}, {"HS", 0, 99}, {"Initiative", -20, 99}, {"Perception", -99, 99}, {"CHA", 0, 99}};
        for (const auto& [heading, minimum, maximum] : ranges) {
            QCOMPARE(c.box(heading)->minimum(), minimum);
            QCOMPARE(c.box(heading)->maximum(), maximum);
            QVERIFY2(!c.box(heading)->isEnabled(), qPrintable(heading));
        }

        // Nothing selected: only the commands that need no character.
        QVERIFY(c.button("New")->isEnabled());
        QVERIFY(c.button("Add From File...")->isEnabled());
        for (const char* text : {"Delete", "Revert All", "Save All"})
            QVERIFY2(!c.button(text)->isEnabled(), text);
        QVERIFY(!c.pane()->isEnabled());
        QVERIFY(c.pane()->isReadOnly());
        QVERIFY(!c.imports()->getSelectButton()->isEnabled());
        QVERIFY(!c.nameEdit()->isEnabled());

        QVERIFY(c.select("Idrel Vane"));
        QVERIFY(c.button("Delete")->isEnabled());
        QVERIFY(c.pane()->isEnabled());
        QCOMPARE(c.pane()->toPlainText(), world.hero("Idrel Vane")->getStatBlock());
        QCOMPARE(c.nameEdit()->text(), QString("Idrel Vane"));
        QCOMPARE(c.details()->getRaceBox()->currentText(), QString("Dwarf"));
        QCOMPARE(c.box("Will")->value(), 17);
        QCOMPARE(c.imports()->getFileLabel()->text(), QString("*.dnd4e, *.monster"));
        QCOMPARE(c.imports()->getPathLabel()->text(), QString("..."));
        QVERIFY(!c.imports()->getRefreshButton()->isEnabled());

        // The filter hides by any part of the name, in any case.
        QTest::keyClicks(c.filterEdit(), "EN");
        QCOMPARE(c.rows(), (QStringList{"Oriel Fenwhistle", "Wren Talloway"}));
    }

    void listFollowsAReload()
    {
        CreatorWorld world;
        Creator& c = world.creator;
        QVERIFY(c.select("Idrel Vane"));
        Characters loaded;
        Progress progress;
        QCOMPARE(loaded.loadCharacters(world.main.root(), world.main.root(), &progress), 1);
        Global::characters->newCharacters(&loaded);
        QCOMPARE(c.rows(), demoParty);
        QVERIFY(!c.selected());
        QVERIFY(!c.nameEdit()->isEnabled());
        QVERIFY(c.pane()->toPlainText().isEmpty());
        QVERIFY(!c.button("Delete")->isEnabled());
        QVERIFY(c.select("Idrel Vane"));
        QCOMPARE(c.box("Will")->value(), 17);
    }

    // Heroes renamed outside the creator, two by one replay: the list and the
    // library stay sorted, so that every hero is found by its name, the
    // highlight stays on its hero and a new character lands in its place.
    void renamesReplayedKeepTheListSorted()
    {
        CreatorWorld world;
        Creator& c = world.creator;
        const auto names = [&c] { return c.rows().replaceInStrings(QRegularExpression("\\*$"), QString()); };
        const auto sorted = [&names] {
            QStringList shown = names();
            for (const QString& name : shown)
                QVERIFY2(Global::characters->findCharacter(name) && Global::characters->findCharacter(name)->getName() == name,
                         qPrintable(name));
            QStringList expected = shown;
            std::stable_sort(expected.begin(), expected.end(),
                             [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
            QCOMPARE(shown, expected);
        };
        Creature* brannoc = world.hero("Brannoc Ashfield");
        Creature* wren = world.hero("Wren Talloway");
        QVERIFY(c.select("Wren Talloway"));
        Global::encounter->setCreatureList(CreatureList({brannoc, wren}));
        QVERIFY(Global::history->apply(new StartEncounterEvent({{brannoc->getName(), 15, 1}, {wren->getName(), 12, 1}}, {},
                                                               Global::history->getStream(false)),
                                       false));
        c.window->hide();
        for (const auto& [from, to] : {qMakePair("Brannoc Ashfield", "Zeb Ashfield"), qMakePair("Wren Talloway", "Abel Talloway")})
            QVERIFY(Global::history->apply(new RenameCreatureEvent(from, to, Global::history->getStream(false)), false));
        c.window->show();
        const QStringList renamed{"Abel Talloway", "Idrel Vane", "Kestrel Dunmore", "Oriel Fenwhistle", "Zeb Ashfield"};
        QCOMPARE(names(), renamed);
        sorted();
        QCOMPARE(c.selected(), wren);
        Global::history->back();
        Global::history->back();
        QCOMPARE(names(), demoParty);
        Global::history->forward(false);
        Global::history->forward(false);
        QCOMPARE(names(), renamed);
        QCOMPARE(c.selected(), wren);
        c.button("New")->click();
        QCOMPARE(c.selected()->getName(), QString("New Character"));
        sorted();
    }

    void settingsSurviveTheWindow()
    {
        {
            CreatorWorld world;
            Creator& c = world.creator;
            c.writeable()->click();
            QVERIFY(!c.pane()->isReadOnly());
            QCOMPARE(QSettings().value("characterWindow/statBlockReadOnly").toBool(), false);
            c.window->resize(1000, 640);
            c.window->findChild<QSplitter*>()->setSizes({200, 350, 430});
            // The program ends with the window open.
        }
        const QList<int> stored = [] {
            QList<int> sizes;
            for (const QVariant& size : QSettings().value("characterWindow/splitterSizes").toList())
                sizes.append(size.toInt());
            return sizes;
        }();
        QCOMPARE(stored.size(), 3);
        QVERIFY(!QSettings().value("characterWindow/geometry").toByteArray().isEmpty());
        CreatorWorld again;
        QVERIFY(again.creator.writeable()->isChecked());
        QVERIFY(!again.creator.pane()->isReadOnly());
        QCOMPARE(again.creator.window->size(), QSize(1000, 640));
        QCOMPARE(again.creator.window->findChild<QSplitter*>()->sizes(), stored);

        // An empty list of sizes leaves the splitter as it is.
        again.creator.window->hide();
        QSettings().setValue("characterWindow/splitterSizes", QVariantList());
        again.creator.window->show();
        QCOMPARE(again.creator.window->findChild<QSplitter*>()->sizes(), stored);
    }

    void everyBoxReachesTheCharacter_data()
    {
        QTest::addColumn<QString>("heading");
        QTest::addColumn<int>("value");
        for (const char* heading : {"Level", "AC", "Fortitude", "Reflex", "Will", "Surge Value", "Initiative", "AP",
                                    "AP per encounter", "Perception", "Insight", "STR", "CHA", "HS"})
            QTest::newRow(heading) << heading << 7;
        QTest::newRow("negative initiative") << "Initiative" << -3;
        QTest::newRow("Max HP") << "Max HP" << 52;
        QTest::newRow("Max HS") << "Max HS" << 11;
        QTest::newRow("current HP") << "HP" << 12;
    }
    void everyBoxReachesTheCharacter()
    {
        QFETCH(QString, heading);
        QFETCH(int, value);
        CreatorWorld world;
        Creator& c = world.creator;
        Creature* idrel = world.hero("Idrel Vane");
        QVERIFY(c.select("Idrel Vane"));
        QVERIFY(!idrel->isDirty());
        typeAndCommit(c.box(heading), value);
        QCOMPARE(figure(idrel, heading), value);
        QCOMPARE(c.pane()->toPlainText(), idrel->getStatBlock());
        // Only the figures a file holds mark the character changed.
        const bool fileFigure = heading != "HP" && heading != "HS" && heading != "AP";
        QCOMPARE(idrel->isDirty(), fileFigure);
        QCOMPARE(c.row(idrel), QString(fileFigure ? "Idrel Vane*" : "Idrel Vane"));
        QCOMPARE(c.button("Save All")->isEnabled(), fileFigure);
        QCOMPARE(c.button("Revert All")->isEnabled(), fileFigure);
    }

    void textBoxesAndChoices()
    {
        CreatorWorld world;
        Creator& c = world.creator;
        Creature* wren = world.hero("Wren Talloway");
        QVERIFY(c.select("Wren Talloway"));
        CharacterDetails* d = c.details();
        // A class of the game's supplements is no item of the list.
        Creator::type(d->getClassBox()->lineEdit(), "Dread Knight");
        QCOMPARE(wren->getClass(), QString("Dread Knight"));
        d->getRaceBox()->setCurrentIndex(Creator::items(d->getRaceBox()).indexOf("Thri-Kreen"));
        QCOMPARE(wren->getRace(), QString("Thri-Kreen"));
        d->getRoleBox()->setCurrentIndex(4);
        QCOMPARE(wren->getRole(), QString("Striker"));
        d->getAlignmentBox()->setCurrentIndex(3);
        QCOMPARE(wren->getStats().alignment, QString("Neutral"));
        Creator::type(d->getSpeedEdit(), "7");
        QCOMPARE(wren->getSpeed(), QString("7"));
        Creator::type(d->getLanguagesEdit(), "Common, Elven");
        QCOMPARE(wren->getStats().languages, QString("Common, Elven"));
        QCOMPARE(c.pane()->toPlainText(), wren->getStatBlock());
        QVERIFY(wren->isDirty());

        // A race the list lacks shows blank, and stays until chosen otherwise.
        QVERIFY(c.select("Idrel Vane"));
        CreatureStats stats = wren->getStats();
        stats.race = "Satyr";
        wren->setStats(stats);
        QVERIFY(c.select("Wren Talloway"));
        QCOMPARE(d->getRaceBox()->currentIndex(), 0);
        QCOMPARE(wren->getRace(), QString("Satyr"));
    }

    void figuresNotGivenShowZero()
    {
        CreatorWorld world;
        Creator& c = world.creator;
        Creature* oriel = world.hero("Oriel Fenwhistle");
        CreatureStats stats = oriel->getStats();
        stats.armorClass = UnknownValue;
        stats.perception = UnknownValue;
        stats.abilities[Strength] = {UnknownValue, UnknownModifier};
        stats.abilities[Charisma] = {16, 5};
        oriel->setStats(stats);
        QVERIFY(c.select("Oriel Fenwhistle"));
        QCOMPARE(c.box("AC")->value(), 0);
        QCOMPARE(c.box("Perception")->value(), 0);
        QCOMPARE(c.box("STR")->value(), 0);
        QCOMPARE(oriel->getArmorClass(), UnknownValue);
        // Touching a box stores what it shows.
        QTest::keyClick(c.box("AC"), Qt::Key_Up);
        QTest::keyClick(c.box("AC"), Qt::Key_Down);
        QCOMPARE(oriel->getArmorClass(), 0);
        // A score typed anew takes its modifier from the score.
        typeAndCommit(c.box("CHA"), 17);
        QCOMPARE(oriel->getAbility(Charisma).score, 17);
        QCOMPARE(oriel->getAbility(Charisma).modifier, UnknownModifier);
    }

    void maximumRaisesAndCuts_data()
    {
        QTest::addColumn<bool>("inPlay");
        QTest::addColumn<int>("current");
        QTest::addColumn<int>("maximum");
        QTest::addColumn<int>("expected");
        // Brannoc's recorded figures are full at the start.
        QTest::newRow("raised with the maximum") << false << -1 << 60 << 60;
        QTest::newRow("in play, not raised") << true << -1 << 60 << -1;
        QTest::newRow("cut down") << false << -1 << 20 << 20;
        QTest::newRow("in play, cut down") << true << -1 << 20 << 20;
        QTest::newRow("wounded, in play") << true << 15 << 60 << 15;
    }
    void maximumRaisesAndCuts()
    {
        QFETCH(bool, inPlay);
        QFETCH(int, current);
        QFETCH(int, maximum);
        QFETCH(int, expected);
        CreatorWorld world;
        Creator& c = world.creator;
        Creature* brannoc = world.hero("Brannoc Ashfield");
        const int full = brannoc->getMaxHitPoints();
        if (inPlay)
            startWith({brannoc});
        if (current >= 0)
            brannoc->setCurrHitPoints(current);
        QVERIFY(c.select("Brannoc Ashfield"));
        typeAndCommit(c.box("Max HP"), maximum);
        QCOMPARE(brannoc->getMaxHitPoints(), maximum);
        QCOMPARE(brannoc->getCurrHitPoints(), expected < 0 ? full : expected);
        QCOMPARE(c.box("HP")->value(), brannoc->getCurrHitPoints());
        QCOMPARE(c.box("HP")->maximum(), std::max(maximum, brannoc->getCurrHitPoints()));
    }

    // A typed maximum counts as it is typed, like every other box: Save All, a
    // tool button that takes no focus, saves it before the box is left. The
    // digits on the way ("6" of "60") cut nothing that the whole number keeps,
    // in the box or in the stat-block text.
    void typedMaximumCountsAtOnce_data()
    {
        QTest::addColumn<QString>("heading");
        QTest::addColumn<int>("current");
        QTest::addColumn<int>("maximum");
        // The attribute of the text it is written as; the box when empty.
        QTest::addColumn<QString>("written");
        QTest::addColumn<bool>("inPlay");
        // With "Revert All" the figures it leaves, the maximum and the current
        // value; saved when null.
        QTest::addColumn<QPoint>("reverted");
        // The character shown when "Revert All" is clicked.
        QTest::addColumn<QString>("shown");
        // Another hero shown, in play, wounded to this figure before "Revert All"
        // and given the same maximum after it; 0 when left alone.
        QTest::addColumn<int>("shownCurrent");
        const QPoint saved;
        const QString hero = "Brannoc Ashfield";
        QTest::newRow("Max HP") << "Max HP" << 15 << 60 << "" << true << saved << hero << 0;
        QTest::newRow("Max HS") << "Max HS" << 5 << 12 << "" << true << saved << hero << 0;
        QTest::newRow("Max HP, written") << "Max HP" << 15 << 60 << "hit-points=" << true << saved << hero << 0;
        QTest::newRow("Max HS, written") << "Max HS" << 5 << 12 << "healing-surges=" << true << saved << hero << 0;
        // The current box's range gains a digit, or loses one.
        QTest::newRow("Max HP past a hundred") << "Max HP" << 15 << 120 << "" << true << saved << hero << 0;
        QTest::newRow("Max HS below ten") << "Max HS" << 5 << 9 << "" << true << saved << hero << 0;
        // Raised with its maximum, the current value is cut back to the saved
        // one; out of play at full figures it follows the maximum both ways.
        QTest::newRow("Max HP, reverted in play") << "Max HP" << 15 << 60 << "" << true << QPoint(37, 37) << hero << 0;
        QTest::newRow("Max HS, reverted in play") << "Max HS" << 5 << 12 << "" << true << QPoint(11, 11) << hero << 0;
        QTest::newRow("Max HP, reverted") << "Max HP" << 15 << 60 << "" << false << QPoint(37, 37) << hero << 0;
        QTest::newRow("Max HP lowered, reverted") << "Max HP" << 15 << 30 << "" << false << QPoint(37, 37) << hero << 0;
        QTest::newRow("Max HP lowered, reverted in play")
            << "Max HP" << 15 << 10 << "" << true << QPoint(37, 10) << hero << 0;
        // Every character reverted follows, not only the one shown.
        QTest::newRow("Max HP, reverted in play, another shown")
            << "Max HP" << 15 << 60 << "" << true << QPoint(37, 37) << "Idrel Vane" << 0;
        // What the revert kept of a hero not shown is no typing of the shown
        // one's: its own maximum then keeps its own wound, the figure Brannoc's
        // was cut to.
        QTest::newRow("Max HP, reverted in play, another shown and typed after")
            << "Max HP" << 15 << 60 << "" << true << QPoint(37, 37) << "Idrel Vane" << 37;
    }
    void typedMaximumCountsAtOnce()
    {
        CreatorWorld world;
        Creator& c = world.creator;
        Creature* brannoc = world.hero("Brannoc Ashfield");
        QFETCH(bool, inPlay);
        QFETCH(QString, shown);
        QFETCH(int, shownCurrent);
        Creature* other = world.hero(shown);
        if (inPlay)
            startWith(shownCurrent ? QList<Creature*>{brannoc, other} : QList<Creature*>{brannoc});
        QVERIFY(c.select("Brannoc Ashfield"));
        // Wounded in play: a new maximum above the wound keeps it. Out of play
        // the wound is not recorded: the hero counts as whole and follows it.
        QFETCH(QString, heading);
        const QString currentHeading = QString(heading).remove("Max ");
        QFETCH(int, current);
        typeAndCommit(c.box(currentHeading), current);
        QFETCH(int, maximum);
        QFETCH(QString, written);
        QFETCH(QPoint, reverted);
        c.tabs()->setCurrentIndex(1);
        const QMap<QSpinBox*, QRect> before = boxPlaces(c);
        if (written.isEmpty()) {
            Creator::type(c.box(heading), maximum);
        } else {
            QPlainTextEdit* pane = c.pane();
            if (pane->isReadOnly())
                c.writeable()->click();
            QTextCursor number = pane->textCursor();
            number.setPosition(int(pane->toPlainText().indexOf(written) + written.size()));
            number.movePosition(QTextCursor::EndOfLine, QTextCursor::KeepAnchor);
            pane->setTextCursor(number);
            pane->setFocus();
            c.tabs()->setCurrentIndex(0);
            QTest::keyClicks(pane, QString::number(maximum));
            c.tabs()->setCurrentIndex(1);
        }
        QCOMPARE(figure(brannoc, heading), maximum);
        const int kept = inPlay ? std::min(current, maximum) : maximum;
        QCOMPARE(figure(brannoc, currentHeading), kept);
        QCOMPARE(c.box(currentHeading)->value(), kept);
        // Every box stands where it stood: a double-click at the surge value's
        // old left edge and what is typed then land in it.
        const QMap<QSpinBox*, QRect> after = boxPlaces(c);
        QSpinBox* surgeValue = c.box("Surge Value");
        const QPoint edge = before.value(surgeValue).topLeft() + QPoint(3, surgeValue->height() / 2);
        QWidget* under = c.window->childAt(c.window->mapFromGlobal(edge));
        QVERIFY(under);
        QTest::mouseDClick(under, Qt::LeftButton, {}, under->mapFromGlobal(edge));
        KeyboardFocus::type(c.window, "8");
        QCOMPARE(brannoc->getSurgeValue(), 8);
        QCOMPARE(figure(brannoc, heading), maximum);
        QCOMPARE(after, before);
        if (!reverted.isNull()) {
            // Raised as far as it goes, recorded in the fight by the next command,
            // and a turn more passes.
            typeAndCommit(c.box(currentHeading), maximum);
            for (int turn = 0; inPlay && turn < 2; turn++)
                QVERIFY(TurnFlow().nextTurn());
            const auto revertAll = [&c] {
                return answeringDialogs([&c] { c.button("Revert All")->click(); }, [](QDialog* d) { d->accept(); });
            };
            QVERIFY(c.select(shown));
            if (shownCurrent)
                typeAndCommit(c.box(currentHeading), shownCurrent);
            QCOMPARE(revertAll(), 1);
            if (shownCurrent) {
                Creator::type(c.box(heading), maximum);
                QCOMPARE(figure(other, currentHeading), shownCurrent);
                QCOMPARE(c.box(currentHeading)->value(), shownCurrent);
                // Left saved for the restart.
                QCOMPARE(revertAll(), 1);
            }
            QVERIFY(c.select("Brannoc Ashfield"));
            const auto figures = [&heading, &currentHeading](Creature* hero) {
                return QPoint(figure(hero, heading), figure(hero, currentHeading));
            };
            QCOMPARE(figures(brannoc), reverted);
            QCOMPARE(QPoint(c.box(heading)->value(), c.box(currentHeading)->value()), reverted);
            QVERIFY(!brannoc->isDirty());
            if (inPlay)
                QVERIFY(TurnFlow().nextTurn());
            // A restart reads the saved file and replays the log over it.
            QVERIFY(world.main.loadFolder());
            Creature* again = world.hero("Brannoc Ashfield");
            QCOMPARE(Global::encounter->getCreatureIndex(again) >= 0, inPlay);
            QCOMPARE(figures(again), reverted);
            return;
        }
        QVERIFY(c.button("Save All")->isEnabled());
        QTest::mouseClick(c.button("Save All"), Qt::LeftButton);
        QVERIFY(!brannoc->isDirty());
        QVERIFY(world.main.loadFolder());
        QCOMPARE(figure(world.hero("Brannoc Ashfield"), heading), maximum);
    }

    // A wound recorded while a maximum is typed counts from then on: the
    // figure from before the typing is not given back.
    void aWoundWhileAMaximumIsTypedIsKept()
    {
        CreatorWorld world;
        Creator& c = world.creator;
        Creature* brannoc = world.hero("Brannoc Ashfield");
        startWith({brannoc});
        QVERIFY(c.select("Brannoc Ashfield"));
        typeAndCommit(c.box("HP"), 15);
        Creator::type(c.box("Max HP"), 60);
        CreatureVitality wounded = brannoc->getVitality();
        wounded.hitPoints = 10;
        QVERIFY(Global::history->apply(new SetVitalityEvent(wounded, Global::history->getStream(false)), false));
        QCoreApplication::processEvents();
        QCOMPARE(c.box("HP")->value(), 10);
        QTest::keyClick(c.box("Max HP"), Qt::Key_1);
        QCOMPARE(brannoc->getMaxHitPoints(), 601);
        QCOMPARE(brannoc->getCurrHitPoints(), 10);
    }

    void selectingChangesNoCharacter()
    {
        CreatorWorld world;
        Creator& c = world.creator;
        Creature* brannoc = world.hero("Brannoc Ashfield");
        Creature* wren = world.hero("Wren Talloway");
        // A hand edit not yet recorded, and a figure beyond a box's range.
        brannoc->setCurrHitPoints(brannoc->getMaxHitPoints() - 9);
        wren->setCurrHitPoints(1200);
        const QString before = Global::characters->getCharacter(0)->getStatBlock();
        for (const QString& name : demoParty)
            QVERIFY(c.select(name));
        QVERIFY(c.select("Brannoc Ashfield"));
        QCOMPARE(brannoc->getCurrHitPoints(), brannoc->getMaxHitPoints() - 9);
        QCOMPARE(c.box("HP")->value(), brannoc->getMaxHitPoints() - 9);
        QVERIFY(c.select("Wren Talloway"));
        QCOMPARE(c.box("HP")->value(), 1200);
        QCOMPARE(wren->getCurrHitPoints(), 1200);
        // Another box's edit leaves it too.
        typeAndCommit(c.box("Level"), 9);
        QCOMPARE(wren->getCurrHitPoints(), 1200);
        QCOMPARE(Global::characters->getCharacter(0)->getStatBlock(), before);
        for (Creature* hero : {brannoc, world.hero("Idrel Vane")})
            QVERIFY(!hero->isDirty());
    }

    void newThreeTimes()
    {
        CreatorWorld world;
        Creator& c = world.creator;
        for (int i = 0; i < 3; i++)
            c.button("New")->click();
        for (const char* name : {"New Character", "New Character 1", "New Character 2"}) {
            Creature* made = world.hero(name);
            QVERIFY2(made, name);
            QVERIFY(made->isNew() && made->isDirty());
            QCOMPARE(made->getCurrHitPoints(), made->getMaxHitPoints());
        }
        QCOMPARE(c.selected(), world.hero("New Character 2"));
        QCOMPARE(c.nameEdit()->selectedText(), QString("New Character 2"));
        QCOMPARE(c.row(c.selected()), QString("New Character 2*"));
        QVERIFY(c.button("Save All")->isEnabled());
        // Typing replaces the default name.
        QTest::keyClicks(c.nameEdit(), "Sable");
        QCOMPARE(c.selected()->getName(), QString("Sable"));
        QCOMPARE(c.rows().last(), QString("Wren Talloway"));
    }

    void duplicateNamesRefused_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("deleted");
        QTest::addColumn<QString>("text");
        QTest::newRow("another case") << "wren TALLOWAY" << false
                                      << "You already have a character called <b>wren TALLOWAY</b>.<p>Another one "
                                         "would cause confusion!";
        QTest::newRow("deleted, not saved") << "Wren Talloway" << true
                                            << "You have just deleted a character called <b>Wren Talloway</b>.<p>You "
                                               "must save the change before you can create another character with "
                                               "the same name.";
    }
    void duplicateNamesRefused()
    {
        QFETCH(QString, typed);
        QFETCH(bool, deleted);
        QFETCH(QString, text);
        CreatorWorld world;
        Creator& c = world.creator;
        Creature* idrel = world.hero("Idrel Vane");
        world.hero("Wren Talloway")->setDeleted(deleted);
        QVERIFY(c.select("Idrel Vane"));
        BoxAnswerer answerer(true);
        Creator::type(c.nameEdit(), typed);
        QCOMPARE(answerer.titles, QStringList{"Duplicate " + typed});
        QVERIFY(answerer.texts.contains(text));
        QCOMPARE(idrel->getName(), typed.left(typed.size() - 1));
        // The refused name stays while typing, and goes when the box is left.
        QCOMPARE(c.nameEdit()->text(), typed);
        QTest::keyClick(c.nameEdit(), Qt::Key_Return);
        QCOMPARE(c.nameEdit()->text(), idrel->getName());
    }

    void nameWithMarkupIsEscaped()
    {
        CreatorWorld world;
        Creator& c = world.creator;
        world.hero("Wren Talloway")->setName("<i>Wren</i> & Co");
        QTRY_COMPARE(c.rows().first(), QString("<i>Wren</i> & Co*"));
        QVERIFY(c.select("Idrel Vane"));
        BoxAnswerer answerer(true);
        c.nameEdit()->setText("<i>wren</i> & co");
        QVERIFY(answerer.texts.contains(
            "You already have a character called <b>&lt;i&gt;wren&lt;/i&gt; &amp; co</b>.<p>Another one would cause "
            "confusion!"));
    }

    void statBlockTextTyped()
    {
        CreatorWorld world;
        Creator& c = world.creator;
        Creature* idrel = world.hero("Idrel Vane");
        c.writeable()->click();
        QVERIFY(c.select("Idrel Vane"));
        const QString saved = idrel->getStatBlock();

        // Text that does not read yet stays as typed and changes nothing.
        c.pane()->setFocus();
        c.pane()->selectAll();
        QTest::keyClicks(c.pane(), "name=");
        QCOMPARE(c.pane()->toPlainText(), QString("name="));
        QCOMPARE(idrel->getStatBlock(), saved);

        // A name another character has puts the old text back.
        {
            BoxAnswerer answerer(true);
            c.pane()->setPlainText(QString(saved).replace("Idrel Vane", "Kestrel Dunmore"));
            QCOMPARE(answerer.titles, QStringList{"Duplicate Kestrel Dunmore"});
        }
        QCOMPARE(c.pane()->toPlainText(), saved);
        QCOMPARE(idrel->getName(), QString("Idrel Vane"));

        // A good text renames and moves the character, kept selected.
        c.pane()->setPlainText(QString(saved).replace("Idrel Vane", "Aaric Vane").replace("level=3", "level=4"));
        QCOMPARE(idrel->getName(), QString("Aaric Vane"));
        QCOMPARE(idrel->getLevel(), 4);
        QCOMPARE(c.box("Level")->value(), 4);
        QCOMPARE(c.selected(), idrel);
        QCOMPARE(c.rows().first(), QString("Aaric Vane*"));
    }

    void addedFromOneFileTwice()
    {
        CreatorWorld world;
        Creator& c = world.creator;
        QVERIFY(CreatorWorld::copyHero(world.dataFile("Imports/hero.dnd4e")));
        world.hooks.openFileAnswer = world.dataFile("Imports/hero.dnd4e");
        c.button("Add From File...")->click();
        Creature* first = c.selected();
        QCOMPARE(first->getName(), QString("Tamsin Reedwell"));
        QCOMPARE(first->getFileName(), QString("hero.dnd4e"));
        QCOMPARE(first->getImportFile(), QString("Imports/hero.dnd4e"));
        QVERIFY(first->isNew());
        QCOMPARE(first->getCurrHitPoints(), 27);
        c.tabs()->setCurrentIndex(3);
        QCOMPARE(c.imports()->getFileLabel()->text(), QString("hero.dnd4e"));
        QCOMPARE(c.imports()->getPathLabel()->text(), QString("(Ravelhorn Data)") + QDir::separator() + "Imports");
        QVERIFY(c.imports()->getRefreshButton()->isEnabled());

        // Before the first is saved its file does not exist; its name is taken all the same.
        c.button("Add From File...")->click();
        Creature* second = c.selected();
        QCOMPARE(second->getName(), QString("Tamsin Reedwell 2"));
        QCOMPARE(second->getFileName(), QString("hero_1.dnd4e"));
        QVERIFY(first->save());
        QVERIFY(second->save());
        QVERIFY(QFile::exists(Global::getCreaturePath("hero.dnd4e", false)));
        QVERIFY(QFile::exists(Global::getCreaturePath("hero_1.dnd4e", false)));
        c.button("Add From File...")->click();
        QCOMPARE(c.selected()->getName(), QString("Tamsin Reedwell 3"));
        QCOMPARE(c.selected()->getFileName(), QString("hero_2.dnd4e"));

        // A file directly in the data folder.
        QVERIFY(CreatorWorld::copyHero(world.dataFile("tamsin.dnd4e")));
        world.hooks.openFileAnswer = world.dataFile("tamsin.dnd4e");
        c.button("Add From File...")->click();
        QCOMPARE(c.imports()->getPathLabel()->text(), QString("(Ravelhorn Data)"));
    }

    void failedImportsAreTold()
    {
        CreatorWorld world;
        Creator& c = world.creator;
        const QString builder = world.builder();
        Creature* tamsin = world.addSavedHero();
        QVERIFY(tamsin);

        // A level gained in the builder: "Refresh" picks it up.
        QVERIFY(CreatorWorld::levelUp(builder, 2));
        c.imports()->getRefreshButton()->click();
        QCOMPARE(tamsin->getLevel(), 2);
        QCOMPARE(c.box("Level")->value(), 2);
        QCOMPARE(c.row(tamsin), QString("Tamsin Reedwell*"));

        // Moved away: told with the name stored, nothing changed.
        QVERIFY(QFile::rename(builder, builder + ".old"));
        {
            BoxAnswerer answerer(true);
            c.imports()->getRefreshButton()->click();
            QCOMPARE(answerer.titles, QStringList{"File Not Found"});
            QVERIFY(answerer.texts.contains("Import file, <b>" + builder.toHtmlEscaped() + "</b>, not found."));
        }
        QCOMPARE(tamsin->getLevel(), 2);

        // A file that no longer reads, chosen with "Select...".
        QVERIFY(TestSupport::writeFile(builder, "<D20Character><broken"));
        {
            BoxAnswerer answerer(true);
            c.imports()->getSelectButton()->click();
            QCOMPARE(answerer.titles, QStringList{"Import Failed"});
        }
        QCOMPARE(tamsin->getName(), QString("Tamsin Reedwell"));

        // "Add From File..." of a file gone leaves no blank character.
        const int count = Global::characters->getCharacterCount();
        world.hooks.openFileAnswer = world.elsewhere.filePath("gone.dnd4e");
        {
            BoxAnswerer answerer(true);
            c.button("Add From File...")->click();
            QCOMPARE(answerer.titles, QStringList{"File Not Found"});
        }
        QCOMPARE(Global::characters->getCharacterCount(), count);
        QVERIFY(!world.hero("New Character"));
    }

    void extendedRestReimportsALinkedHero()
    {
        CreatorWorld world;
        Creator& c = world.creator;
        const QString builder = world.builder();
        Creature* tamsin = world.addSavedHero();
        QVERIFY(tamsin);
        c.imports()->getLinkedCheck()->click();
        QVERIFY(tamsin->isLinked());
        QVERIFY(tamsin->save());
        startWith({tamsin});
        QVERIFY(CreatorWorld::levelUp(builder, 3));
        // The rest comes while the creator is hidden; it shows the hero anew when shown.
        c.window->hide();
        const QList<Creature*> party{tamsin};
        ExtendedRestEvent::refreshLinkedFiles(party);
        ObjectStream* stream = Global::history->getStream(false);
        QVERIFY(Global::history->apply(new ExtendedRestEvent(party, stream), false));
        QCOMPARE(tamsin->getLevel(), 3);
        QCOMPARE(c.box("Level")->value(), 1);
        world.main.action("Character Creator Window")->trigger();
        QVERIFY(c.window->isVisible());
        QCOMPARE(c.box("Level")->value(), 3);
        QCOMPARE(c.pane()->toPlainText(), tamsin->getStatBlock());
    }

    void handEditsOfAHeroInPlayGoThroughTheLog()
    {
        TestWorld world;
        RecordingUiHooks hooks;
        Creature* aldric = world.addHero("Aldric", 30);
        Creature* goblin = world.addMonster("Goblin", "1", 10);
        QVERIFY(aldric->save());
        const auto enter = [] {
            Global::encounter->setCreatureList(CreatureList(
                {Creature::getCreatureByName("Aldric", true), Creature::getCreatureByName("Goblin (1)", true)}));
        };
        enter();
        QVERIFY(world.record(new StartEncounterEvent({{"Aldric", 18, 1}}, {{"Goblin", 5, 2}}, world.stream())));
        {
            auto* window = new CharacterWindow;
            Creator c(window);
            window->show();
            QVERIFY(c.select("Aldric"));
            typeAndCommit(c.box("HP"), 17);
            Creator::type(c.nameEdit(), "Aldric the Bold");
            QCOMPARE(aldric->getName(), QString("Aldric the Bold"));
            QCOMPARE(aldric->getCurrHitPoints(), 17);
            delete window;
        }
        // The next command records the hand edits first.
        Global::encounter->writeVitalityChanges(world.stream());
        QVERIFY(world.record(new DamageEvent("Hit", nullptr, goblin, 4, "", world.stream())));
        const int count = Global::history->getEventCount();
        QStringList recorded;
        for (int i = count - 3; i < count; i++)
            recorded.append(Global::history->getEvent(i)->getDescription(false));
        QCOMPARE(recorded[0], QString("Rename Aldric -> Aldric the Bold"));
        QCOMPARE(recorded[1], QString("Changed Aldric the Bold: Curr HP 17"));

        const QString live = world.describe();
        for (int step = 0; step < 3; step++)
            Global::history->back();
        QCOMPARE(aldric->getName(), QString("Aldric"));
        QCOMPARE(aldric->getBeforeVitality().hitPoints, 30);
        for (int step = 0; step < 3; step++)
            Global::history->forward(false);
        QCOMPARE(world.describe(), live);

        // A restart reads the hero's file as last saved and replays the edits on it.
        aldric->revertChanges();
        QVERIFY(world.restart(enter));
        QVERIFY2(world.describe() == live, qPrintable(TestWorld::difference(live, world.describe())));
    }
};

RAVELHORN_TEST_MAIN(QApplication, TestCharacterWindow)
#include "uitest_characterwindow.moc"
