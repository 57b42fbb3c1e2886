// The windows a game master opens first, at the sizes they open at on a
// 1280×800 laptop screen and on a larger one, with the demonstration data:
// every button, label, header, tab title, combo, placeholder and list entry
// shows its whole text. Each text is measured with the widget's own font
// against the room its style gives the text once laid out, so a widget whose
// size hint promises more room than it gets is caught.
#include <algorithm>

#include <QAbstractEventDispatcher>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDockWidget>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QListView>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QStyledItemDelegate>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimerEvent>
#include <QToolButton>
#include <QToolTip>

#include "combat/effectdialog.h"
#include "combat/initiativedialog.h"
#include "combat/pickcharactersdialog.h"
#include "combat/pickencounterdialog.h"
#include "combat/pickmonsterdialog.h"
#include "combat/shortrestdialog.h"
#include "editors/characterwindow.h"
#include "editors/managerwindow.h"
#include "encounter/damageevents.h"
#include "encounter/effectevents.h"
#include "encounter/encounter.h"
#include "encounter/encounterevents.h"
#include "library/monsters.h"
#include "mainwindow/mainwindowtesting.h"
#include "mainwindow/playerswindow.h"
#include "mainwindow/powerlabel.h"
#include "powerdialog/createpowerdialog.h"
#include "powerdialog/powerdialog.h"
#include "powerdialog/powerwidget.h"
#include "support/cuttexts.h"
#include "support/labelmeasures.h"
#include "toolkit/inputwidgets.h"
#include "toolkit/windowsanddialogs.h"

namespace {

// Shows the tab of that title, on the pages of the tab widgets around it.
bool showTab(QWidget* window, const QString& title)
{
    for (QTabWidget* tabs : window->findChildren<QTabWidget*>())
        for (int tab = 0; tab < tabs->count(); ++tab)
            if (tabs->tabText(tab) == title) {
                tabs->setCurrentIndex(tab);
                for (QWidget* page = tabs; page != window; page = page->parentWidget()) {
                    const QWidget* pages = page->parentWidget();
                    auto* outer = pages ? qobject_cast<QTabWidget*>(pages->parentWidget()) : nullptr;
                    if (outer && outer->indexOf(page) >= 0)
                        outer->setCurrentWidget(page);
                }
                return true;
            }
    return false;
}

// The main window's first-start sizes on the emulated 1280×800 screen, on a 1152×720 one and on a 1600×1000 one.
// The object's pending timers run now, as once their time has come: what a
// view does the double-click time after a press, without waiting it out.
void runTimersNow(QObject* object)
{
    for (const QAbstractEventDispatcher::TimerInfo& timer :
         QAbstractEventDispatcher::instance()->registeredTimers(object)) {
        QTimerEvent due(timer.timerId);
        QCoreApplication::sendEvent(object, &due);
    }
    QCoreApplication::processEvents();
}

// A list's own kind of delegate, counting the entries it measures.
class MeasureCounter : public QStyledItemDelegate
{
public:
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        measured++;
        return QStyledItemDelegate::sizeHint(option, index);
    }

    mutable int measured = 0;
};

const QSize laptopWindow(1152, 720);
const QSize smallLaptopWindow(1037, 648);
const QSize desktopWindow(1440, 900);
// The whole of that larger screen.
const QSize largeWindow(1600, 1000);
// A first start on a 1152×720 screen opens the window at this size in the middle of it.
const QRect smallScreen(0, 0, 1152, 720);
const QSize smallScreenWindow(1037, 648);
// The least the monster manager and the character creator narrow to.
const QSize narrowEditor(960, 600);

} // namespace

class TestFirstStartSizes : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // The stat blocks in the program's colours, as from its start.
        CreatureDisplay::setupStyles();
        // A first start: no geometry or dock layout stored by an earlier window.
        main.destroy();
        QSettings().clear();
        main.make();
        QVERIFY(main.loadFolder());
        main.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(main.window));
        QCOMPARE(main.window->size(), laptopWindow);
        redrawAtTicks();
        firstStartDocks = dockWidths();
        recordFight();
    }

    void everyTextShowsWhole_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("part");
        QTest::addColumn<QSize>("size");
        // At the size they first open at, then narrowed to half a 1920×1080 screen or a 1024 pixel one.
        const QList<std::pair<QString, QSize>> editors{{"character creator", QSize(994, 611)},
                                                       {"monster manager", QSize(1068, 627)}};
        for (const bool narrowed : {false, true})
            for (const auto& [window, firstStart] : editors)
                for (const QString& tab : titlesOfTabs(open(window, QString())))
                    QTest::addRow("%s, %s%s", qPrintable(window), qPrintable(tab), narrowed ? ", narrowed" : "")
                            << window << tab << (narrowed ? narrowEditor : firstStart);
        // The folder box elides the path in the middle, its tooltip naming it whole.
        QTest::newRow("monster manager, Import, narrowed, long import path")
                << "monster manager" << "Import, long import path" << narrowEditor;
        QTest::newRow("power header editor") << "power header editor" << QString() << QSize();
        // The laptop's whole screen.
        QTest::newRow("Conditions and Effects, window maximised")
                << "main window" << "Conditions and Effects" << QSize(1280, 800);
        for (const QSize size : {laptopWindow, desktopWindow})
            for (const QString panel : {"", "Pick the Party", "Select an Encounter", "Select a Monster", "initiative",
                                        "classic conditions", "Conditions and Effects", "power steps",
                                        "short rest"})
                QTest::addRow("main window %d×%d%s%s", size.width(), size.height(), panel.isEmpty() ? "" : ", ",
                              qPrintable(panel))
                        << "main window" << panel << size;
        // The pickers and the classic conditions on the smallest first start, and the encounter picker's five
        // buttons between fights at every first start: the lists and columns give way, the panel never scrolls
        // sideways.
        for (const QString panel : {"Pick the Party", "Select an Encounter", "Select a Monster", "classic conditions"})
            QTest::addRow("main window 1037×648, %s", qPrintable(panel)) << "main window" << panel << smallLaptopWindow;
        // Healing a hero, its surge choices take room in the classic conditions.
        for (const QSize size : {smallLaptopWindow, laptopWindow, desktopWindow})
            QTest::addRow("main window %d×%d, classic conditions on a hero", size.width(), size.height())
                    << "main window" << "classic conditions on a hero" << size;
        QTest::newRow("main window 1037×648, Pick the Party, between fights")
                << "main window" << "Pick the Party, between fights" << smallLaptopWindow;
        for (const QSize size : {smallLaptopWindow, laptopWindow, desktopWindow})
            QTest::addRow("main window %d×%d, Select an Encounter, between fights", size.width(), size.height())
                    << "main window" << "Select an Encounter, between fights" << size;
        // A monster made in the editor while the picker runs filtered, and one whose long name widens its column:
        // every row takes its entries' height again, the filtered ones too once the filter is cleared.
        for (const QSize size : {smallLaptopWindow, laptopWindow, desktopWindow})
            for (const QString added : {"monster added", "long name added"})
                QTest::addRow("main window %d×%d, Select a Monster, %s", size.width(), size.height(), qPrintable(added))
                        << "main window" << "Select a Monster, " + added << size;
        // Monsters added and renamed above wrapped rows of several heights, one added while the filter hides it,
        // one renamed in its place: each row and column stands as in a list measured afresh, and only the new
        // entries are measured.
        QTest::newRow("main window 1037×648, Select a Monster, monsters added and renamed")
                << "main window" << "Select a Monster, monsters added and renamed" << smallLaptopWindow;
        // An archer's arrows at one and three heroes, damage per target: the
        // choices in one row, no control below its height, the lists and
        // buttons staying put as heroes come and go and as GO walks its order.
        for (const QSize size : {laptopWindow, smallLaptopWindow, desktopWindow, largeWindow})
            for (const QString panel : {"Barbed Arrow", "Volley of Briars"})
                QTest::addRow("main window %d×%d, %s", size.width(), size.height(), qPrintable(panel))
                        << "main window" << panel << size;
        // As the arrow opens at nobody, before any step, in a window a title bar short of the first
        // start's: an empty step page still takes its least.
        QTest::newRow("main window 1152×690, Barbed Arrow, no step") << "main window" << "Barbed Arrow, no step"
                                                                       << QSize(1152, 690);
        // The first step added by its button, at the first starts.
        for (const QSize size : {smallLaptopWindow, laptopWindow, desktopWindow})
            QTest::addRow("main window %d×%d, Volley of Briars, no step", size.width(), size.height())
                    << "main window" << "Volley of Briars, no step" << size;
        // And after the font grew while the program ran: the room kept for the first step grows with it.
        QTest::newRow("main window 1152×720, Volley of Briars, no step, larger font")
                << "main window" << "Volley of Briars, no step, larger font" << laptopWindow;
        // The centre as narrow as the panel goes: the choices elide their names, whole in their tooltips.
        QTest::newRow("main window 1037×648, Volley of Briars, docks widened")
                << "main window" << "Volley of Briars, docks widened" << smallLaptopWindow;
        // Docks dragged wide, or stored so on a larger screen: the table keeps its room.
        QTest::newRow("main window 1152×720, docks widened") << "main window" << "docks widened" << laptopWindow;
        // A panel wider than the table's least: the docks give way to it.
        QTest::newRow("main window 1152×720, docks widened, classic conditions")
                << "main window" << "classic conditions, docks widened" << laptopWindow;
        // Opened larger first, its docks wide, as after a first start on a larger screen: the docks give way as
        // at a first start.
        QTest::newRow("main window 1152×720, shrunk") << "main window" << "shrunk" << laptopWindow;
        // A monster's alias, wider than the Name column's first width, as the current creature's name.
        for (const QString part : {"long alias", "long alias, docks widened", "long alias, shrunk"})
            QTest::addRow("main window 1152×720, %s", qPrintable(part)) << "main window" << part << laptopWindow;
        QTest::newRow("main window 1440×900, long alias") << "main window" << "long alias" << desktopWindow;
        // A long power name in the narrowest centre: its combo elides it, whole in its tooltip.
        QTest::newRow("main window 1037×648, power steps, long power name, docks widened")
                << "main window" << "power steps, long power name, docks widened" << smallLaptopWindow;
        // Docks dragged as narrow as they go: the stat blocks wrap, their figures apart.
        QTest::newRow("main window 1152×720, docks narrowed") << "main window" << "docks narrowed" << laptopWindow;
        // Last, for the mark it puts on a hero; then the ticker at every
        // height over a row's span, its last row reaching its frame at one.
        QTest::newRow("players' window") << "players' window" << QString() << QSize();
        QTest::newRow("players' window, every ticker height") << "players' window" << "ticker" << QSize();
    }

    void everyTextShowsWhole()
    {
        QFETCH(QString, window);
        QFETCH(QString, part);
        QFETCH(QSize, size);
        QStringList parts = part.split(", ");
        const bool docksWidened = parts.removeOne("docks widened");
        const bool longImportPath = parts.removeOne("long import path");
        const bool shrunk = parts.removeOne("shrunk");
        const bool longAlias = parts.removeOne("long alias");
        const bool longPowerName = parts.removeOne("long power name");
        const bool docksNarrowed = parts.removeOne("docks narrowed");
        const bool betweenFights = parts.removeOne("between fights");
        const bool largerFont = parts.removeOne("larger font");
        const QList<QStringList> edits = monsterEdits(parts);
        const QString panel = parts.join(", ");
        const auto font = largerFont ? enlargeFont() : QScopeGuard<std::function<void()>>([] {});
        QWidget* shown = open(window, panel);
        QVERIFY(shown);
        if (longImportPath)
            QVERIFY(importFromLongPath());
        const auto alias = longAlias ? longAliasAsCurrent() : QScopeGuard<std::function<void()>>([] {});
        const auto stopped = betweenFights ? stopFight() : QScopeGuard<std::function<void()>>([] {});
        CreaturePower* breath = longPowerName ? hound->getPowers().getPowerByName(houndPower) : nullptr;
        QVERIFY(breath || !longPowerName);
        const QString breathName = houndPower;
        if (breath)
            breath->name = houndPower = "Cinder Breath of the Smouldering Hollow Beneath the Mire";
        const auto renamed = qScopeGuard([this, breath, breathName] {
            if (breath)
                breath->name = houndPower = breathName;
        });
        if (shrunk)
            placeMainWindow(QSize(1400, 800), 700);
        if (window == "main window")
            placeMainWindow(size, docksWidened ? size.width() / 2 : docksNarrowed ? 1 : 0);
        if (shrunk)
            QCOMPARE(dockWidths(), firstStartDocks);
        else if (size == narrowEditor)
            shown->resize(size);
        redrawAtTicks();
        if (window != "main window" && size.isValid())
            QCOMPARE(shown->size(), size);
        const bool inPanel = window == "main window" && !panel.isEmpty();
        const auto undone = qScopeGuard([&edits] { undoMonsterEdits(edits); });
        // The header editor shows a stat-block power's texts only in its greyed fields.
        QStringList cut = inPanel            ? cutTextsInPanel(panel, longPowerName, edits)
                          : part == "ticker" ? cutTextsOfTicker()
                                             : cutTexts(shown, window == "power header editor");
        // The panel closed: the centre needs no more than the table again.
        if (inPanel) {
            redrawAtTicks();
            QCOMPARE(main.window->centralWidget()->minimumSizeHint().width(),
                     main.window->findChild<MainInitiativeList*>()->minimumSizeHint().width());
        }
        // Any row may become the current one, its name then in bold; the docks keep each figure with its label.
        if (window == "main window" && !inPanel)
            cut << cutNamesAndFigures(main.window->findChild<MainInitiativeList*>()) << partedFigures(main.window);
        if (!cut.isEmpty())
            QFAIL(qPrintable(QString("%1 cut:\n%2").arg(cut.size()).arg(cut.join("\n"))));
    }

    // On a small screen the panels take what the docks give and scroll
    // sideways past that at their least width: the window keeps its width and
    // stays on the screen.
    void aPanelNeverWidensTheWindow_data()
    {
        QTest::addColumn<QString>("panel");
        for (const QString panel : {"Pick the Party", "Select an Encounter", "Select a Monster", "initiative",
                                    "classic conditions", "Conditions and Effects", "power steps", "short rest"})
            QTest::newRow(qPrintable(panel)) << panel;
    }

    void aPanelNeverWidensTheWindow()
    {
        QFETCH(QString, panel);
        placeMainWindow(smallScreenWindow);
        const QRect placed = main.window->frameGeometry();
        QVERIFY(smallScreen.contains(placed));
        QRect whileRunning;
        bool squeezed = true;
        runPanel(panel, [&](FlatDialog& dialog) {
            whileRunning = main.window->frameGeometry();
            squeezed = dialog.getWidget()->width() < dialog.getWidget()->minimumSizeHint().width();
        });
        redrawAtTicks();
        // What scrolls is whole.
        QVERIFY(!squeezed);
        for (const QRect& shown : {whileRunning, main.window->frameGeometry()}) {
            QCOMPARE(shown.width(), placed.width());
            QVERIFY(smallScreen.contains(shown));
        }
    }

    // The history never scrolls sideways: a longer entry shows whole in its
    // tooltip, broken between words only where a line would pass 80 characters.
    void aLongHistoryEntryShowsInItsTooltip_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::newRow("as recorded") << QString();
        // A comment that takes the entry past a tip's line.
        QTest::newRow("long comment") << "long comment";
        // The hound named so that the arrow of its bite stands across a tip line's end.
        QTest::newRow("arrow at a line's end") << "arrow at a line's end";
    }

    void aLongHistoryEntryShowsInItsTooltip()
    {
        QFETCH(QString, entry);
        placeMainWindow(laptopWindow);
        auto* view = main.window->findChild<QListView*>("historyWidget");
        QVERIFY(view);
        const QFontMetrics tip(QToolTip::font());
        const int room = 80 * tip.horizontalAdvance(QLatin1Char('x'));
        int made = -1;
        if (entry == "long comment") {
            EffectDetails burning;
            burning.origin = Global::characters->findCharacter("Brannoc Ashfield");
            burning.type = CE::OnGoingDamage;
            burning.endCondition = CE::SaveEnds;
            burning.amount = 5;
            burning.comment = "burning oil & pitch poured from the ramparts of the old keep onto the hound below";
            QVERIFY(Global::history->apply(new EffectEvent(burning, {hound}, Global::history->getStream(false)), false));
            made = Global::history->getCurrentIndex();
        }
        const auto unmade = qScopeGuard([made] {
            if (made >= 0) {
                Global::history->back();
                Global::history->truncate();
            }
        });
        if (entry == "arrow at a line's end") {
            const QString phrase = "eldest of the pack that haunts the burned mill beyond the ford at dusk and at dawn";
            for (qsizetype length = 1; length <= phrase.size(); length++) {
                const QString before = QString("Ashen Hound (%1) -").arg(phrase.left(length));
                if (tip.horizontalAdvance(before) <= room && tip.horizontalAdvance(before + '>') > room)
                    hound->setName(phrase.left(length).trimmed());
            }
            QVERIFY(hound->getName() != "1");
            made = 1;
        }
        const auto renamed = qScopeGuard([this] { hound->setName("1"); });
        redrawAtTicks();
        QCOMPARE(view->horizontalScrollBar()->maximum(), 0);
        if (made >= 0) {
            const QModelIndex index = view->model()->index(made, 0);
            view->scrollTo(index);
            QVERIFY2(tipLines(view, view->visualRect(index)).size() > 1, qPrintable(index.data().toString()));
        }
        int tipped = 0;
        for (int row = 0; row < view->model()->rowCount(); row++) {
            const QModelIndex index = view->model()->index(row, 0);
            const QRect place = view->visualRect(index);
            if (!view->viewport()->rect().contains(place))
                continue;
            const QString text = index.data().toString();
            const int width = view->fontMetrics().horizontalAdvance(text) + view->iconSize().width() + 12;
            if (width < place.width())
                continue;
            // Each line as full as the next word lets it, none past the room of 80 characters.
            const QStringList lines = tipLines(view, place);
            QCOMPARE(lines.join(' '), text);
            for (qsizetype line = 0; line < lines.size(); line++) {
                QVERIFY2(tip.horizontalAdvance(lines[line]) <= room, qPrintable(lines[line]));
                if (line + 1 < lines.size())
                    QVERIFY2(tip.horizontalAdvance(lines[line] + ' ' + lines[line + 1].section(' ', 0, 0)) > room,
                             qPrintable(lines[line]));
            }
            tipped++;
        }
        QVERIFY(tipped > 0);
        // An origin's arrow and a comment's "&" read as typed, in the row as in its tooltip.
        const QModelIndex burning = view->model()->index(2, 0);
        view->scrollTo(burning);
        QCOMPARE(burning.data().toString().section(':', 0, 0),
                 QString("Brannoc Ashfield -> Ongoing 5 Damage (burning oil & pitch)"));
        QVERIFY(tipShowsWhole(view, view->visualRect(burning), burning.data().toString()));
        // A tip that fits a tip's width keeps one line, however narrow the dock.
        if (entry.isEmpty())
            QCOMPARE(tipLines(view, view->visualRect(burning)), QStringList{burning.data().toString()});
    }

    void aToolButtonWidensToItsLaterText()
    {
        QWidget row;
        QToolButton* button = WindowsAndDialogs::toolButton("GO", 68, 20);
        row.setLayout(WindowsAndDialogs::hLayout(button));
        row.show();
        button->setText("Restart " + QKeySequence("Ctrl+G").toString(QKeySequence::NativeText));
        redrawAtTicks();
        const QStringList cut = cutTexts(&row);
        QVERIFY2(cut.isEmpty(), qPrintable(cut.join("\n")));
        QCOMPARE(button->height(), 20);
        // Fixed narrower than its text, the button still hints at the room the text needs.
        button->setFixedWidth(40);
        redrawAtTicks();
        QCOMPARE(cutTexts(&row).size(), 1);
    }

private:
    // The demonstration party against goblins, a rat swarm and a hound:
    // ongoing damage on everyone, with a note on the hound, selected; the
    // current hero bloodied, in red.
    void recordFight()
    {
        const QStringList heroes{"Brannoc Ashfield", "Wren Talloway", "Idrel Vane", "Oriel Fenwhistle"};
        QList<Creature*> everyone;
        for (const QString& name : heroes)
            everyone << Global::characters->findCharacter(name);
        for (const char* id : {"1", "2"})
            everyone << Global::monsters->getMonsterInstance("Mire Goblin Shank", id, true);
        everyone << Global::monsters->getMonsterInstance("Gutter Rat Swarm", "1", true);
        hound = Global::monsters->getMonsterInstance("Ashen Hound", "1", true);
        everyone << hound;
        QVERIFY(!everyone.contains(nullptr));
        Global::encounter->setCreatureList(CreatureList(everyone));
        ObjectStream* stream = Global::history->getStream(false);
        QVERIFY(stream);
        const InitiativeList heroRolls{{"Brannoc Ashfield", 19, 4}, {"Wren Talloway", 15, 3}, {"Idrel Vane", 12, 2},
                                       {"Oriel Fenwhistle", 8, 1}};
        const InitiativeList monsterRolls{
                {"Mire Goblin Shank", 17, 2}, {"Gutter Rat Swarm", 14, 3}, {"Ashen Hound", 10, 1}};
        QVERIFY(Global::history->apply(new StartEncounterEvent(heroRolls, monsterRolls, stream), false));
        const int bloodied = everyone.first()->getMaxHitPoints() / 2 + 1;
        QVERIFY(Global::history->apply(
                new DamageEvent(QString(), hound, {everyone.first()}, bloodied, QString(), stream), false));
        EffectDetails burning;
        burning.origin = everyone.first();
        burning.type = CE::OnGoingDamage;
        burning.endCondition = CE::SaveEnds;
        burning.amount = 5;
        burning.comment = "burning oil & pitch";
        QVERIFY(Global::history->apply(new EffectEvent(burning, {hound}, stream), false));
        // Enough for the players' ticker to fill its height.
        burning.comment.clear();
        for (Creature* target : everyone)
            if (target != hound)
                QVERIFY(Global::history->apply(new EffectEvent(burning, {target}, stream), false));
        Global::encounter->setSelectedCreatures({hound});
    }

    // The turn passes to the first goblin, who shows an alias, until the guard goes.
    QScopeGuard<std::function<void()>> longAliasAsCurrent()
    {
        Creature* goblin = Global::encounter->getCreature(1);
        goblin->setAlias("Captain Varrow the Warden");
        goblin->setShowAlias(true);
        Global::history->apply(new NextTurnEvent(Global::history->getStream(false), false), false);
        return QScopeGuard<std::function<void()>>([goblin] {
            Global::history->back();
            goblin->setShowAlias(false);
            Global::mainWindow->updateMainInitiativeList();
        });
    }

    // The application's font a point larger until the guard goes.
    static QScopeGuard<std::function<void()>> enlargeFont()
    {
        const QFont font = QApplication::font();
        QFont larger = font;
        larger.setPointSizeF(font.pointSizeF() + 1);
        QApplication::setFont(larger);
        return QScopeGuard<std::function<void()>>([font] { QApplication::setFont(font); });
    }

    // The fight stands stopped until the guard goes.
    static QScopeGuard<std::function<void()>> stopFight()
    {
        const int current = Global::encounter->getCurrentIndex();
        Global::encounter->setCurrentIndex(-1);
        return QScopeGuard<std::function<void()>>([current] { Global::encounter->setCurrentIndex(current); });
    }

    // A hero's row grows once the players' window shows.
    void markAHero()
    {
        EffectDetails mark;
        mark.origin = hound;
        mark.type = CE::Marked;
        mark.endCondition = CE::EndOfOriginsNextTurn;
        mark.comment = "howling";
        Creature* wren = Global::characters->findCharacter("Wren Talloway");
        QVERIFY(Global::history->apply(new EffectEvent(mark, {wren}, Global::history->getStream(false)), false));
    }

    bool importFromLongPath()
    {
        const QString folder = importFolder.path() + "/Monsters of the Mirefen campaign, from the game master's notes";
        if (!QDir().mkpath(folder))
            return false;
        Global::managerWindow->setImportDir(folder);
        Global::managerWindow->setupImportDirPopup();
        Global::managerWindow->fillImportDirList();
        return true;
    }

    QList<int> dockWidths() const { return {main.dock("currentWidget")->width(), main.dock("selectedWidget")->width()}; }

    static QStringList titlesOfTabs(QWidget* window)
    {
        QStringList titles;
        for (const QTabWidget* tabs : window->findChildren<QTabWidget*>())
            for (int tab = 0; tab < tabs->count(); ++tab)
                titles << tabs->tabText(tab);
        return titles;
    }

    // Where a first start at that size places it: in the middle of the small
    // screen, else at the top left. The docks dragged to that width, or as far
    // as they go towards it; at 0 as they opened.
    void placeMainWindow(QSize size, int dockWidth = 0)
    {
        main.window->resize(size);
        QRect frame = main.window->frameGeometry();
        if (size == smallScreenWindow)
            frame.moveCenter(smallScreen.center());
        else
            frame.moveTopLeft(main.window->screen()->availableGeometry().topLeft());
        main.window->move(frame.topLeft());
        redrawAtTicks();
        if (dockWidth == 0)
            return;
        // The centre keeps what it asks for at least, the docks theirs.
        main.window->resizeDocks({main.dock("currentWidget"), main.dock("selectedWidget")}, {dockWidth, dockWidth},
                                 Qt::Horizontal);
        redrawAtTicks();
    }

    QWidget* open(const QString& window, const QString& part)
    {
        if (window == "main window")
            return main.window;
        if (window == "players' window") {
            Global::playersWindow->show();
            redrawAtTicks();
            markAHero();
            return Global::playersWindow;
        }
        if (window == "power header editor") {
            Creature* hag = Global::monsters->findTemplate("Bog Hag Mother");
            headerEditor = std::make_unique<CreatePowerDialog>(hag, "Thorned Claw", nullptr, Power::Hit, false, false);
            headerEditor->show();
            return headerEditor.get();
        }
        QWidget* shown = window == "monster manager" ? openManager() : openCreator();
        if (!part.isEmpty() && !showTab(shown, part))
            return nullptr;
        return shown;
    }

    // The window shown with that row of its list selected.
    template <class List>
    static QWidget* showSelected(QWidget* window, int row)
    {
        window->show();
        auto* list = window->findChild<List*>();
        list->setCurrentIndex(list->model()->index(row, 0));
        redrawAtTicks();
        return window;
    }

    static QWidget* openManager()
    {
        Creature* trap = Global::monsters->findTemplate("Pendulum Blade Trap");
        return showSelected<MonsterView>(Global::managerWindow, Global::monsters->getTemplateIndex(trap));
    }

    // A hero with a power in the power editor of the "Program Powers" tab,
    // shown first with no hero chosen: its combos follow what fills them later.
    static QWidget* openCreator()
    {
        showTab(Global::characterWindow, "Program Powers");
        Global::characterWindow->show();
        redrawAtTicks();
        Creature* idrel = Global::characters->findCharacter("Idrel Vane");
        const int row = Global::characters->getCharacterIndex(idrel);
        QWidget* creator = showSelected<CharacterView>(Global::characterWindow, row);
        for (PowerLabel* label : creator->findChildren<PowerLabel*>())
            if (label->isVisible() && label->text().contains("Word of Mending")) {
                QTest::mouseClick(label, Qt::LeftButton);
                break;
            }
        redrawAtTicks();
        return creator;
    }

    static QStringList cutTextsOfTicker()
    {
        auto* players = static_cast<QMainWindow*>(Global::playersWindow);
        auto* dock = players->findChild<QDockWidget*>("ticker");
        auto* list = dock->findChild<QListWidget*>();
        const int first = dock->height();
        QStringList cut;
        for (int height = first; height < first + list->sizeHintForRow(0) && cut.isEmpty(); height++) {
            players->resizeDocks({dock}, {height}, Qt::Vertical);
            redrawAtTicks();
            cut = cutTexts(players);
        }
        return cut;
    }

    // Damage per target, a condition and its end on the hit page of the
    // running power dialog: the panel fits its height, its buttons in view,
    // and its step list scrolls with a whole step in view.
    void addPowerSteps()
    {
        auto* editor = main.window->findChild<PowerWidget*>();
        QVERIFY(editor);
        for (const int kind : {PowerStep::Damage, PowerStep::Condition, PowerStep::EndCondition})
            QTest::mouseClick(editor->getAddButton(kind), Qt::LeftButton);
        for (QCheckBox* box : editor->findChildren<QCheckBox*>())
            if (box->text() == "Per target")
                QTest::mouseClick(box, Qt::LeftButton);
    }

    // The archer's arrows: the steps of those kinds by their buttons, damage per target.
    void addArrowSteps(const QList<int>& kinds)
    {
        auto* editor = main.window->findChild<PowerWidget*>();
        QVERIFY(editor);
        for (const int kind : kinds)
            QTest::mouseClick(editor->getAddButton(kind), Qt::LeftButton);
        for (QCheckBox* box : editor->findChildren<QCheckBox*>())
            if (box->text() == "Per target")
                QTest::mouseClick(box, Qt::LeftButton);
    }

    // Wren alone, or with Brannoc and Idrel.
    static QList<Creature*> arrowTargets(bool three)
    {
        const QStringList names = three ? QStringList{"Brannoc Ashfield", "Wren Talloway", "Idrel Vane"}
                                        : QStringList{"Wren Talloway"};
        QList<Creature*> targets;
        for (const QString& name : names)
            targets << Global::characters->findCharacter(name);
        return targets;
    }

    // The creature of that name moved by its arrow key from the list of that name to the other.
    void moveCreature(const char* list, const QString& name, Qt::Key key)
    {
        auto* view = main.window->findChild<QListWidget*>(list);
        QVERIFY(view);
        const QList<QListWidgetItem*> found = view->findItems(name, Qt::MatchStartsWith);
        QVERIFY(!found.isEmpty());
        view->setCurrentItem(found.first());
        QTest::keyClick(view, key);
    }

    // The choices stand in one row; the first step added to the power, and
    // heroes put back and picked again, move no list or button; with
    // buttonsInView, the editor shows every add button without being
    // scrolled; with halfRows, each list shows a row in part.
    QStringList arrowPanelFaults(QWidget* panel, bool buttonsInView, bool halfRows)
    {
        QStringList faults;
        const auto* editor = panel->findChild<PowerWidget*>();
        if (panel->findChildren<QFrame*>("steprow").isEmpty())
            for (const QString& moved : movedBy(panel, [editor] {
                     QTest::mouseClick(editor->getAddButton(PowerStep::Damage), Qt::LeftButton);
                 }))
                faults << "the first step: " + moved;
        for (int kind = PowerStep::Healing; buttonsInView && kind <= PowerStep::EndCondition; kind++)
            if (const QToolButton* button = editor->getAddButton(kind);
                button->visibleRegion() != QRegion(button->rect()))
                faults << button->text() + " out of the editor's view";
        QList<int> tops;
        for (const QGroupBox* group : panel->findChildren<QGroupBox*>())
            if (QStringList{"Attacker/Origin", "Powers", "Actions"}.contains(group->title()))
                tops << group->mapTo(panel, QPoint(0, 0)).y();
        if (tops.size() != 3 || tops.count(tops.first()) != 3)
            faults << "the choices leave their row";
        // Wren put back and picked again, or picked and put back where the arrow opened at nobody.
        QList<std::pair<const char*, Qt::Key>> moves{{"listview", Qt::Key_Left}, {"pickview", Qt::Key_Right}};
        if (panel->findChild<QListWidget*>("listview")->findItems("Wren Talloway", Qt::MatchStartsWith).isEmpty())
            std::reverse(moves.begin(), moves.end());
        for (const auto& [list, key] : moves)
            faults << movedBy(panel, [this, list = list, key = key] { moveCreature(list, "Wren Talloway", key); });
        return faults + clickedThroughFaults(panel) + listFootFaults(panel, halfRows);
    }

    // GO walked round its whole order, then a hero added and put back by
    // clicks on a name and on Add and Remove: the hint, OK and the lists
    // change, and no list or button moves under the pointer.
    static QStringList clickedThroughFaults(QWidget* panel)
    {
        QToolButton* go = nullptr;
        for (QToolButton* button : panel->findChildren<QToolButton*>())
            if (button->toolTip().startsWith("Go to the next field"))
                go = button;
        if (!go)
            return {"no GO button"};
        // The hint follows the focus, which only an active window has.
        panel->window()->activateWindow();
        if (!QTest::qWaitForWindowActive(panel->window()))
            return {"the window is not active"};
        QStringList faults;
        // Round the whole order and on to its second stop, where a click on
        // a name takes the hint back to the first.
        for (int click = 1, pastLast = -1; click < 10 && pastLast < 1; click++) {
            if (pastLast >= 0 || go->text().startsWith("Restart"))
                pastLast++;
            for (const QString& moved : movedBy(panel, [go] { QTest::mouseClick(go, Qt::LeftButton); }))
                faults << QString("GO %1: %2").arg(click).arg(moved);
        }
        const auto clickName = [panel](const QString& list) {
            auto* view = panel->findChild<QListWidget*>(list);
            if (QListWidgetItem* first = view->item(0))
                QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualItemRect(first).center());
        };
        const auto clickButton = [panel](const QString& text) {
            for (QToolButton* button : panel->findChildren<QToolButton*>())
                if (button->text() == text)
                    QTest::mouseClick(button, Qt::LeftButton);
        };
        for (const QString list : {"pickview", "listview"}) {
            const QString button = list == "pickview" ? "Add" : "Remove";
            for (const QString& moved : movedBy(panel, [&] { clickName(list); }))
                faults << QString("a name in %1: %2").arg(list, moved);
            for (const QString& moved : movedBy(panel, [&] { clickButton(button); }))
                faults << QString("%1: %2").arg(button, moved);
        }
        return faults;
    }

    // The lists stand whole above the Save Changes row. A click on the row a
    // list shows in part, at its foot, picks that name and scrolls nothing:
    // a second click at the same place picks it again; the Down key still
    // brings the next name into view. All are added first, for the targets'
    // list to show such a row too.
    static QStringList listFootFaults(QWidget* panel, bool halfRows)
    {
        QStringList faults;
        QPushButton* save = nullptr;
        for (QPushButton* button : panel->findChildren<QPushButton*>())
            if (button->text() == "Save Changes")
                save = button;
        for (const QString list : {"pickview", "listview"}) {
            auto* view = panel->findChild<QListWidget*>(list);
            if (view->mapTo(panel, QPoint(0, view->height())).y() > save->mapTo(panel, QPoint()).y())
                faults << list + " reaches under the Save Changes row";
        }
        for (const QString list : {"pickview", "listview"}) {
            if (list == "listview")
                for (QToolButton* button : panel->findChildren<QToolButton*>())
                    if (button->text() == "Add All")
                        QTest::mouseClick(button, Qt::LeftButton);
            auto* view = panel->findChild<QListWidget*>(list);
            const QRect shown = view->viewport()->rect();
            QListWidgetItem* half = nullptr;
            for (int row = 0; row < view->count() && !half; row++)
                if (const QRect place = view->visualItemRect(view->item(row));
                    place.intersects(shown) && !shown.contains(place))
                    half = view->item(row);
            if (!half) {
                if (halfRows && view->count() > 0)
                    faults << list + " shows no row in part";
                continue;
            }
            const QPoint pointer = (view->visualItemRect(half) & shown).center();
            const int scrolled = view->verticalScrollBar()->value();
            for (int click = 1; click <= 2; click++) {
                QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, pointer);
                // Past the time a double click takes, when a view scrolls to the row clicked.
                runTimersNow(view);
                if (view->verticalScrollBar()->value() != scrolled || view->currentItem() != half)
                    faults << QString("click %1 on %2 in %3: the list scrolled by %4, %5 picked")
                                      .arg(click)
                                      .arg(half->text(), list)
                                      .arg(view->verticalScrollBar()->value() - scrolled)
                                      .arg(view->currentItem()->text());
            }
            QTest::keyClick(view, Qt::Key_Down);
            if (!shown.contains(view->visualItemRect(view->currentItem())))
                faults << QString("Down in %1: %2 out of view").arg(list, view->currentItem()->text());
        }
        return faults;
    }

    // A panel that asks to fit its height stands whole in its area, which
    // shows no scroll bar up and down: the step and target lists scroll instead.
    QStringList panelScrolls() const
    {
        for (QWidget* above = main.window->findChild<QDialogButtonBox*>(); above; above = above->parentWidget())
            if (const auto* area = qobject_cast<QScrollArea*>(above))
                return area->verticalScrollBar()->isVisible() || area->widget()->height() > area->viewport()->height()
                               ? QStringList{"the panel scrolls up and down"}
                               : QStringList();
        return {"the panel has no buttons"};
    }

    // A panel's buttons and check boxes stand whole in sight, none scrolled
    // away; each row of a picker's list is as high as its entries take, wrapped or not.
    static QStringList pickerFaults(QWidget* panel)
    {
        QStringList faults;
        for (const QAbstractButton* control : panel->findChildren<QAbstractButton*>())
            if (control->isVisible() && control->visibleRegion() != QRegion(control->rect()))
                faults << QString("%1 \"%2\" of %3 out of sight")
                                  .arg(control->metaObject()->className(), control->text(), nameBeside(control));
        if (const QTableView* list = panel->findChild<QTableView*>()) {
            // The table's measure of a row's entries, which only a view's own callers reach; a row
            // takes at least a line.
            const QAbstractItemView* view = list;
            for (int row = 0; row < list->model()->rowCount(); row++) {
                const int taken = qMax(view->sizeHintForRow(row), list->verticalHeader()->sectionSizeHint(row));
                if (!list->isRowHidden(row) && list->rowHeight(row) != taken)
                    faults << QString("row %1 of the list stands %2 pixels high, its entries take %3")
                                      .arg(row)
                                      .arg(list->rowHeight(row))
                                      .arg(taken);
            }
            // No column narrower than its heading while another could still give way.
            const QHeaderView* header = list->horizontalHeader();
            QStringList squeezed;
            bool roomy = false;
            for (int column = 0; column < header->count(); column++) {
                const int heading = header->sectionSizeHint(column);
                if (header->sectionSize(column) < heading)
                    squeezed << QString("column %1 stands %2 pixels wide, its heading takes %3")
                                        .arg(column)
                                        .arg(header->sectionSize(column))
                                        .arg(heading);
                roomy = roomy || header->sectionSize(column) > heading;
            }
            if (roomy)
                faults << squeezed;
        }
        return faults;
    }

    // The name a party picker's check box stands for.
    static QString nameBeside(const QAbstractButton* control)
    {
        for (const QLabel* label : control->parentWidget()->findChildren<QLabel*>(Qt::FindDirectChildrenOnly))
            if (!label->text().isEmpty())
                return label->text();
        return "the panel";
    }

    // The panel the main window shows, that holds the buttons.
    QWidget* shownPanel() const
    {
        for (QWidget* above = main.window->findChild<QDialogButtonBox*>(); above; above = above->parentWidget())
            if (auto* area = qobject_cast<QScrollArea*>(above))
                return area->widget();
        return main.window;
    }

    // The panel as the main window shows it, measured while it runs; with
    // elidedChoice, a choice's combo stands cut. A picker's list takes the
    // edits of the monster library one by one.
    QStringList cutTextsInPanel(const QString& panel, bool elidedChoice = false,
                                const QList<QStringList>& edits = QList<QStringList>())
    {
        QStringList cut{"the panel never ran"};
        runPanel(panel, [&](FlatDialog& dialog) {
            const QStringList kept = edits.isEmpty() ? QStringList()
                                                     : keptMeasures(static_cast<PickListDialog&>(dialog), edits);
            cut = cutTexts(main.window) + kept;
            const QList<DisableComboBox*> combos = shownPanel()->findChildren<DisableComboBox*>();
            const auto elided = [](const DisableComboBox* combo) { return combo->isTextElided(); };
            if (elidedChoice && std::none_of(combos.begin(), combos.end(), elided))
                cut << "no choice elided";
            if (panel.startsWith("Volley of Briars") || panel.startsWith("Barbed Arrow"))
                cut << arrowPanelFaults(shownPanel(), main.window->width() >= 1152, main.window->height() <= 648);
            if (dialog.getAdjustHeight())
                cut << panelScrolls();
            if (QStringList{"Pick the Party", "Select an Encounter", "Select a Monster"}.contains(panel) ||
                panel.startsWith("classic conditions"))
                cut << pickerFaults(shownPanel());
        });
        return cut;
    }

    // What the game master does to the monster library in the manager, or to
    // the picker's filter, while the picker runs, as the row's part names it:
    // "filter" by a text, "add" a drake of that name, "rename" a monster,
    // "clear" the filter.
    static QList<QStringList> monsterEdits(QStringList& parts)
    {
        if (parts.removeOne("monster added"))
            return {{"filter", "drake"}, {"add", "Cinderwing Drakeling"}, {"clear"}};
        if (parts.removeOne("long name added"))
            return {{"filter", "drake"}, {"add", "Cinderwing Drake Broodmother of the Smouldering Hollow"}, {"clear"}};
        if (parts.removeOne("monsters added and renamed"))
            return {{"filter", "drake"},
                    {"add", "Bog Wyrmling"},
                    {"clear"},
                    {"add", "Ashen Drakeling"},
                    {"rename", "Sucking Mire", "Ashen Sucking Mire of the Burned Mill Ford"},
                    {"rename", "Cave Skulker", "Cave Skulker Matriarch of the Sunken Warrens"}};
        return {};
    }

    // The library as before the edits.
    static void undoMonsterEdits(const QList<QStringList>& edits)
    {
        for (auto edit = edits.rbegin(); edit != edits.rend(); ++edit)
            if (edit->first() == "rename")
                renameMonster(edit->at(2), edit->at(1));
            else if (Creature* made = edit->first() == "add" ? Global::monsters->findTemplate(edit->at(1)) : nullptr)
                Global::monsters->deleteTemplate(Global::monsters->getTemplateIndex(made), true);
    }

    // As the monster manager renames it: moved to where its new name sorts,
    // or left in its place where it sorts there.
    static void renameMonster(const QString& from, const QString& to)
    {
        Creature* monster = Global::monsters->findTemplate(from);
        CreatureStats stats = monster->getStats();
        stats.group = to;
        monster->setStats(stats);
        const int row = Global::monsters->getTemplateIndex(monster);
        if (Global::monsters->getTemplatePos(to, row) == row)
            return;
        Global::monsters->deleteTemplate(row, false);
        Global::monsters->addTemplate(monster);
    }

    // The picker's list through the edits: after each, where it stands apart
    // from a list measured afresh, and where it measured an entry for each
    // row again though no column changed its width.
    QStringList keptMeasures(PickListDialog& picker, const QList<QStringList>& edits)
    {
        QTableView* list = picker.getView();
        QLineEdit* filter = picker.getFilterEdit();
        MeasureCounter counter;
        QAbstractItemDelegate* own = list->itemDelegate();
        list->setItemDelegate(&counter);
        const auto restored = qScopeGuard([list, own] { list->setItemDelegate(own); });
        QStringList faults;
        for (const QStringList& edit : edits) {
            const QList<int> widths = columnWidths(list);
            counter.measured = 0;
            if (edit.first() == "filter") {
                QTest::keyClicks(filter, edit[1]);
            } else if (edit.first() == "clear") {
                filter->selectAll();
                QTest::keyClick(filter, Qt::Key_Backspace);
            } else if (edit.first() == "rename") {
                renameMonster(edit[1], edit[2]);
            } else {
                auto* made = new Creature;
                CreatureStats stats = Global::monsters->findTemplate("Cinderwing Drake")->getStats();
                stats.group = edit[1];
                made->setStats(stats);
                Global::monsters->addTemplate(made);
            }
            settledPlaces(main.window);
            const QString step = edit.join(' ');
            const int rows = list->model()->rowCount();
            if (columnWidths(list) == widths && counter.measured >= rows)
                faults << QString("%1: %2 entries measured in %3 rows").arg(step).arg(counter.measured).arg(rows);
            for (const QString& fault : standsApartFromAFreshList(list, filter->text()))
                faults << step + ": " + fault;
        }
        return faults;
    }

    static QList<int> columnWidths(const QTableView* list)
    {
        QList<int> widths;
        for (int column = 0; column < list->model()->columnCount(); column++)
            widths << list->columnWidth(column);
        return widths;
    }

    // Where the monster picker's list stands apart from a list of the library
    // under the same filter, measured afresh in its place.
    static QStringList standsApartFromAFreshList(QTableView* list, const QString& filter)
    {
        PickMonsterModel model;
        model.setFilter(filter);
        PickListView fresh(list->parentWidget());
        fresh.setModel(&model);
        model.setView(&fresh);
        fresh.setGeometry(list->geometry());
        fresh.show();
        fresh.measureColumns();
        redrawAtTicks();
        QStringList apart;
        for (int column = 0; column < model.columnCount(); column++)
            if (list->columnWidth(column) != fresh.columnWidth(column))
                apart << QString("column %1 stands %2 pixels wide, measured afresh %3")
                                 .arg(column)
                                 .arg(list->columnWidth(column))
                                 .arg(fresh.columnWidth(column));
        for (int row = 0; row < model.rowCount(); row++)
            if (list->rowHeight(row) != fresh.rowHeight(row))
                apart << QString("row %1, %2, stands %3 pixels high, measured afresh %4")
                                 .arg(row)
                                 .arg(model.index(row, 0).data().toString())
                                 .arg(list->rowHeight(row))
                                 .arg(fresh.rowHeight(row));
        return apart;
    }

    // Runs the steps while the panel shows in the main window, settled, then closes it.
    void runPanel(const QString& panel, const std::function<void(FlatDialog&)>& steps)
    {
        const bool bare = panel.endsWith(", no step");
        const QString power = bare ? panel.chopped(QStringLiteral(", no step").size()) : panel;
        const bool volley = power == "Volley of Briars";
        const bool arrows = volley || power == "Barbed Arrow";
        const CreatureList fight = Global::encounter->getCreatureList();
        Creature* archer = arrows ? Global::monsters->getMonsterInstance("Thornback Archer", "A", true) : nullptr;
        const auto restore = qScopeGuard([&] {
            if (archer)
                Global::encounter->setCreatureList(fight);
        });
        if (archer) {
            CreatureList withArcher = fight;
            withArcher.addCreature(archer);
            Global::encounter->setCreatureList(withArcher);
        }
        std::unique_ptr<FlatDialog> dialog;
        if (panel == "Pick the Party")
            dialog = std::make_unique<PickCharactersDialog>();
        else if (panel == "Select an Encounter")
            dialog = std::make_unique<PickEncounterDialog>("All Adventures");
        else if (panel == "Select a Monster")
            dialog = std::make_unique<PickMonsterDialog>();
        else if (panel == "short rest")
            dialog = std::make_unique<ShortRestDialog>();
        else if (panel == "initiative")
            dialog = std::make_unique<InitiativeDialog>(Global::encounter->getCreatureList());
        else if (panel.startsWith("classic conditions"))
            dialog = std::make_unique<EffectDialog>(
                    Global::encounter->getCurrentCreature(),
                    QList<Creature*>{panel.endsWith("on a hero") ? Global::characters->findCharacter("Wren Talloway")
                                                                 : hound.data()},
                    QList<Creature*>());
        else if (panel == "power steps")
            dialog = std::make_unique<PowerDialog>(
                    hound, houndPower, QString(),
                    Global::encounter->getCreatureList().getCreaturesByType(CreatureList::Heroes).mid(0, 1),
                    QList<Creature*>());
        else if (arrows)
            dialog = std::make_unique<PowerDialog>(archer, power, QString(), bare ? QList<Creature*>() : arrowTargets(volley),
                                                   QList<Creature*>());
        else
            dialog = std::make_unique<PowerDialog>(Global::encounter->getCurrentCreature(), QString(), QString(),
                                                   QList<Creature*>{hound}, QList<Creature*>());
        QTimer::singleShot(0, dialog.get(), [&] {
            if (panel == "power steps")
                addPowerSteps();
            if (arrows && !bare)
                addArrowSteps(volley ? QList<int>{PowerStep::Damage, PowerStep::Condition}
                                     : QList<int>{PowerStep::Damage});
            settledPlaces(main.window);
            steps(*dialog);
            dialog->reject();
        });
        dialog->exec();
    }

    WindowUnderTest main{QSize()};
    QList<int> firstStartDocks;
    QPointer<Creature> hound;
    // The name of the hound's power that the power steps panel runs.
    QString houndPower{"Cinder Breath"};
    std::unique_ptr<CreatePowerDialog> headerEditor;
    QTemporaryDir importFolder;
};

RAVELHORN_TEST_MAIN_ON_SCREEN(TestFirstStartSizes, QSize(1280, 800))

#include "uitest_firststartsizes.moc"
