// The creature docks: following the selection and the creatures shown, and
// using a power with a click through the real history log.
#include <QApplication>
#include <QDialog>
#include <QEnterEvent>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTimer>

#include <memory>

#include "encounter/encounter.h"
#include "encounter/event.h"
#include "encounter/history.h"
#include "encounter/powerevents.h"
#include "encounter/restevents.h"
#include "foundation/global.h"
#include "library/characters.h"
#include "library/monsters.h"
#include "mainwindow/creaturewidget.h"
#include "mainwindow/statblocktesting.h"
#include "support/labelmeasures.h"
#include "support/testsupport.h"
#include "support/testworld.h"
#include "toolkit/dynamicwidgets.h"
#include "toolkit/scrollandtabs.h"

namespace {

QScrollArea* areaOf(CreatureWidget* widget)
{
    return widget->findChild<ResizableScrollArea*>();
}

PowerLabel* labelOf(CreatureWidget* widget, const QString& powerName)
{
    for (const Line& line : linesOf(areaOf(widget)))
        if (auto* label = line.frame->findChild<PowerLabel*>(); label && label->text().contains("<b>" + powerName + "</b>"))
            return label;
    return nullptr;
}

void addPowers(Creature* creature)
{
    CreatureStats stats = creature->getStats();
    stats.powers = makeCreature(Kind::Monster)->getStats().powers;
    CreaturePower trick = makePower("Trick", Power::Minor, Power::OncePerEncounter, {"Slide 1"});
    trick.current.applyTo[Power::Hit].kind = Power::NotTrackable;
    stats.powers.addPower(trick, true);
    creature->setStats(stats);
}

QString lastEvent()
{
    return Global::history->getEventText(Global::history->getCurrentIndex());
}

// Counts the widgets made anywhere while it lives.
class WidgetsMade : public QObject
{
public:
    WidgetsMade() { qApp->installEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::ChildAdded && static_cast<QChildEvent*>(event)->child()->isWidgetType())
            count++;
        return false;
    }
};

QStringList textsOf(const QList<Line>& lines)
{
    QStringList texts;
    for (const Line& line : lines)
        texts.append(line.text);
    return texts;
}

QList<QFrame*> framesOf(const QList<Line>& lines)
{
    QList<QFrame*> frames;
    for (const Line& line : lines)
        frames.append(line.frame);
    return frames;
}

}

class TestCreatureDocks : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestWorld> world;
    std::unique_ptr<CreatureWidget> current;
    std::unique_ptr<CreatureWidget> selected;
    Creature* hero = nullptr;
    Creature* goblin = nullptr;

    Creature* makeGoblin()
    {
        auto* base = new Creature;
        base->setupDummyMonster("Goblin");
        addPowers(base);
        Global::monsters->addTemplate(base);
        return world->addMonster("Goblin", "1", 20);
    }

    // One click on a power label of the current dock, run to its end.
    void click(const QString& powerName)
    {
        PowerLabel* label = labelOf(current.get(), powerName);
        QVERIFY(label);
        QTest::mouseClick(label, Qt::LeftButton);
        runQueuedClicks();
    }

private slots:
    void initTestCase() { CreatureDisplay::setupStyles(); }

    void init()
    {
        world = std::make_unique<TestWorld>();
        hero = world->addHero("Ana", 30);
        addPowers(hero);
        goblin = makeGoblin();
        current = std::make_unique<CreatureWidget>(nullptr, true);
        selected = std::make_unique<CreatureWidget>(nullptr, false);
        // As the main window wires its docks.
        connect(Global::encounter, &Encounter::doCreatureSelectionChanged, selected.get(),
                &CreatureWidget::creatureSelectionChanged);
        connect(Global::history, &History::doHistoryChanged, selected.get(), &CreatureWidget::creatureSelectionChanged);
        for (CreatureWidget* widget : {current.get(), selected.get()}) {
            widget->resize(300, 500);
            widget->show();
        }
        Global::encounter->setCreatureList(CreatureList({hero, goblin}));
    }

    void cleanup()
    {
        current.reset();
        selected.reset();
        world.reset();
    }

    void selectedDockFollowsTheSelection()
    {
        QSignalSpy effects(selected.get(), &CreatureWidget::doEffectCreatureChanged);
        Global::encounter->setSelectedCreatures({goblin});
        tick();
        QList<Line> lines = linesOf(areaOf(selected.get()));
        QCOMPARE(linesOfKind(lines, LineCode::SectionTitle).size(), 4);
        QCOMPARE(effects.last()[0].value<Creature*>(), goblin);

        Global::encounter->setSelectedCreatures({hero, goblin});
        tick();
        lines = linesOf(areaOf(selected.get()));
        QVERIFY(linesOfKind(lines, LineCode::SectionTitle).isEmpty());
        const QList<Line> headers = linesOfKind(lines, LineCode::Title);
        QCOMPARE(headers.size(), 4);
        QVERIFY(headers[0].text.startsWith("<b>Ana</b>") && headers[2].text.startsWith("<b>Goblin (1)</b>"));
        QCOMPARE(effects.last()[0].value<Creature*>(), nullptr);

        // A history change re-reads the selection.
        Global::encounter->setSelectedCreatures({});
        tick();
        QVERIFY(linesOf(areaOf(selected.get())).isEmpty());
        Global::encounter->setSelectedCreatures({hero});
        world->record(new UseSecondWindEvent(hero, -1, world->stream()));
        tick();
        QVERIFY(linesOf(areaOf(selected.get())).first().text.contains("Ana"));
    }

    void onlyUpdatesOfShownCreaturesRedraw()
    {
        current->drawCreature(hero);
        tick();
        const QList<Line> drawn = linesOf(areaOf(current.get()));
        WidgetsMade made;
        goblin->setCurrHitPoints(5);
        tick();
        QCOMPARE(made.count, 0);
        // Second wind tells the displays too.
        hero->setSecondWindUsed(true);
        tick();
        QVERIFY(textsOf(linesOf(areaOf(current.get()))) != textsOf(drawn));
    }

    // Its room changed, a stat block taller than the room has its scroll bar
    // at once, and one that fits has none: a picture taken before the next
    // pass of events shows neither a cut line nor an empty strip.
    void theStatBlockScrollsAtOnceWhereItIsTaller()
    {
        current->drawCreature(goblin);
        tick();
        QScrollArea* area = areaOf(current.get());
        for (int height : {900, 120, 1000, 150}) {
            current->resize(300, height);
            const bool taller = area->widget()->height() > area->viewport()->height();
            QCOMPARE(taller, height < 500);
            QCOMPARE(area->verticalScrollBar()->isVisible(), taller);
            QCOMPARE(area->widget()->width(), area->viewport()->width());
        }
        // Every height around the one it takes, growing and shrinking: never
        // the bar's strip left empty beside it (its height for its hint's width
        // is taller than for the room's).
        QList<int> heights;
        for (int height = 500; height <= 640; height += 2)
            heights.append(height);
        for (int height = 640; height >= 500; height -= 2)
            heights.append(height);
        for (int height : heights) {
            current->resize(300, height);
            const bool taller = area->widget()->height() > area->viewport()->height();
            QVERIFY2(area->verticalScrollBar()->isVisible() == taller && area->widget()->width() == area->viewport()->width(),
                     qPrintable(QString("%1 high: content %2 wide in %3, bar %4")
                                        .arg(height).arg(area->widget()->width()).arg(area->viewport()->width())
                                        .arg(area->verticalScrollBar()->isVisible())));
        }
    }

    // The alignment and the languages share their line where both fit; in a
    // narrower dock the languages go right under the alignment, so the line
    // asks for no more room than its wider text, each label whole with its figure.
    void theLanguagesGoUnderTheAlignmentWhereNarrow()
    {
        CreatureStats stats = hero->getStats();
        stats.alignment = "Unaligned";
        stats.languages = "Common, Elven, Draconic";
        stats.armorClass = 17;
        stats.fortitude = 15;
        stats.reflex = 16;
        stats.will = 12;
        stats.perception = 7;
        hero->setStats(stats);
        current->drawCreature(hero);
        tick();
        const Line line = linesOfKind(linesOf(areaOf(current.get())), LineCode::Footer).first();
        const QList<QLabel*> labels = line.frame->findChildren<QLabel*>();
        QCOMPARE(labels.size(), 2);
        QCOMPARE(line.frame->minimumSizeHint().width(),
                 qMax(labels[0]->minimumSizeHint().width(), labels[1]->minimumSizeHint().width())
                         + line.frame->contentsMargins().left() + line.frame->contentsMargins().right());
        for (const int width : {400, 200}) {
            current->resize(width, 500);
            runQueuedClicks();
            const QRect alignment = labels[0]->geometry();
            const QRect languages = labels[1]->geometry();
            QCOMPARE(languages.top(), width == 400 ? alignment.top() : alignment.bottom() + 1);
            QVERIFY(languages.right() < line.frame->contentsRect().right() + 1);
        }
        // The selected dock beside it: a monster whose type wraps beside its experience.
        CreatureStats monster = goblin->getStats();
        monster.type = "Medium elemental beast";
        monster.race = "fire";
        monster.xp = 125;
        goblin->setStats(monster);
        Global::encounter->setSelectedCreatures({goblin});
        tick();
        // Every width between: the defences wrap up to Perception, yet stay apart from it;
        // no figure leaves its label ("XP 125").
        for (int width = 200; width <= 400; width += 2) {
            current->resize(width, 500);
            selected->resize(width, 500);
            runQueuedClicks();
            const QStringList touching = touchingTexts(current.get());
            QVERIFY2(touching.isEmpty(), qPrintable(QString("%1 wide: %2").arg(width).arg(touching.join("\n"))));
            const QStringList parted = partedFigures(current.get()) + partedFigures(selected.get());
            QVERIFY2(parted.isEmpty(), qPrintable(QString("%1 wide: %2").arg(width).arg(parted.join("\n"))));
        }
    }

    // The benchmark's ticks: both docks asked to redraw what they show.
    void aTickWithoutChangeBuildsNoWidget()
    {
        current->drawCreature(goblin);
        Global::encounter->setSelectedCreatures({hero, goblin});
        tick();
        const QList<QFrame*> shownCurrent = framesOf(linesOf(areaOf(current.get())));
        const QList<QFrame*> shownSelected = framesOf(linesOf(areaOf(selected.get())));
        WidgetsMade made;
        current->drawCreature(goblin);
        selected->creatureSelectionChanged();
        tick();
        QCOMPARE(made.count, 0);
        QCOMPARE(framesOf(linesOf(areaOf(current.get()))), shownCurrent);
        QCOMPARE(framesOf(linesOf(areaOf(selected.get()))), shownSelected);
    }

    void aChangedHitPointUpdatesTheLabelInPlace()
    {
        current->drawCreature(hero);
        Global::encounter->setSelectedCreatures({hero, goblin});
        tick();
        const Line health = linesOfKind(linesOf(areaOf(current.get())), LineCode::Details).first();
        auto* label = health.frame->findChild<QLabel*>();
        const QString before = label->text();
        QVERIFY2(before.contains("<b>HP\u00a0</b>30;"), qPrintable(before));
        const QList<QFrame*> headers = framesOf(linesOf(areaOf(selected.get())));
        WidgetsMade made;
        hero->setCurrHitPoints(22);
        tick();
        QCOMPARE(made.count, 0);
        QCOMPARE(linesOfKind(linesOf(areaOf(current.get())), LineCode::Details).first().frame, health.frame);
        QVERIFY2(label->text().contains("22") && label->text() != before, qPrintable(label->text()));
        QCOMPARE(framesOf(linesOf(areaOf(selected.get()))), headers);
        QVERIFY(linesOfKind(linesOf(areaOf(selected.get())), LineCode::Details).first().text.contains(label->text()));

        // Each selected creature keeps its header rows wherever it moves.
        Global::encounter->setSelectedCreatures({goblin, hero});
        tick();
        QCOMPARE(made.count, 0);
        const QList<QFrame*> moved = framesOf(linesOf(areaOf(selected.get())));
        QCOMPARE(moved.size(), headers.size());
        for (QFrame* frame : headers)
            QVERIFY(moved.contains(frame));
        QVERIFY(linesOf(areaOf(selected.get())).first().text.startsWith("<b>Goblin (1)</b>"));
    }

    void aSectionClickReachesTheOtherDockAtItsTick()
    {
        current->drawCreature(hero);
        selected->drawCreature(hero);
        tick();
        QVERIFY(linesOfKind(linesOf(areaOf(selected.get())), LineCode::PowerText).isEmpty());
        QTest::mouseClick(linesOfKind(linesOf(areaOf(current.get())), LineCode::SectionTitle)[1].frame, Qt::LeftButton);
        runQueuedClicks();
        tick();
        QCOMPARE(linesOfKind(linesOf(areaOf(selected.get())), LineCode::PowerText).size(), 3);
    }

    void aUsedPowerClickedIsUnusedThroughTheLog()
    {
        QVERIFY(world->record(new PowerUsageChangedEvent(goblin, "Slash", PowerUsageChangedEvent::Used, world->stream())));
        current->drawCreature(goblin);
        tick();
        QVERIFY(labelOf(current.get(), "Slash")->text().contains("<s>"));
        QSignalSpy requests(current.get(), &CreatureWidget::doConditionOrEffectRequested);
        click("Slash");
        QCOMPARE(lastEvent(), "Goblin (1): Unused Slash");
        QVERIFY(requests.isEmpty());
        tick();
        QVERIFY(!labelOf(current.get(), "Slash")->text().contains("<s>"));

        Global::history->back();
        QVERIFY(goblin->getPowers().getPowerByName("Slash")->getUsed());
        Global::history->forward(true);
        QVERIFY(world->restart([this] { Global::encounter->setCreatureList(CreatureList()); }));
        goblin = world->find("Goblin (1)");
        QVERIFY(goblin && !goblin->getPowers().getPowerByName("Slash")->getUsed());
        QCOMPARE(lastEvent(), "Goblin (1): Unused Slash");
    }

    void aNonTrackableLimitedPowerIsMarkedUsed()
    {
        current->drawCreature(goblin);
        tick();
        QSignalSpy requests(current.get(), &CreatureWidget::doConditionOrEffectRequested);
        click("Trick");
        QCOMPARE(lastEvent(), "Goblin (1): Used Trick");
        QVERIFY(goblin->getPowers().getPowerByName("Trick")->getUsed());
        QVERIFY(!Global::monsters->findTemplate("Goblin")->getPowers().getPowerByName("Trick")->getUsed());
        QVERIFY(requests.isEmpty());
    }

    void aMonsterAsksWithItsTemplatesPower()
    {
        auto stray = std::unique_ptr<Creature>(makeCreature(Kind::Monster, "Stray"));
        QSignalSpy requests(current.get(), &CreatureWidget::doConditionOrEffectRequested);
        for (Creature* monster : {goblin, stray.get()}) {
            current->drawCreature(monster);
            tick();
            click("Jab");
        }
        QCOMPARE(requests.size(), 2);
        QCOMPARE(requests[0][0].value<Creature*>(), goblin);
        QCOMPARE(requests[0][1].toString(), "Jab");
        QCOMPARE(requests[0][2].value<CreaturePower*>(),
                 Global::monsters->findTemplate("Goblin")->getPowers().getPowerByName("Jab"));
        // Without a template the clicked power itself.
        QCOMPARE(requests[1][2].value<CreaturePower*>(), stray->getPowers().getPowerByName("Jab"));
        QCOMPARE(Global::history->getEventCount(), 0);
    }

    void hoverHighlightsAndLeavingRestores()
    {
        current->drawCreature(goblin);
        tick();
        PowerLabel* label = labelOf(current.get(), "Slash");
        auto* frame = qobject_cast<QFrame*>(label->parentWidget());
        const QString text = label->text();
        const QPalette palette = frame->palette();
        const int code = frame->property("lineCode").toInt();
        QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
        QApplication::sendEvent(label, &enter);
        QVERIFY(label->text().contains("<u>"));
        QCOMPARE(frame->property("lineCode").toInt(), code | LineCode::Highlighted);
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(label, &leave);
        QCOMPARE(label->text(), text);
        QCOMPARE(frame->property("lineCode").toInt(), code);
        QCOMPARE(frame->palette(), palette);
    }

    void aPanelOpenedByAClickSurvivesTheRedraws_data()
    {
        QTest::addColumn<bool>("alias");
        QTest::newRow("power dialog") << false;
        QTest::newRow("alias editor") << true;
    }

    void aPanelOpenedByAClickSurvivesTheRedraws()
    {
        QFETCH(bool, alias);
        goblin->setAlias("Nick");
        current->drawCreature(goblin);
        tick();
        QPointer<QLabel> clicked = alias ? contentsOf(areaOf(current.get()))->findChildren<DynamicLabel*>().last()
                                         : static_cast<QLabel*>(labelOf(current.get(), "Jab"));
        bool redrawnWhileOpen = false;
        // A modal panel whose event loop runs ticks that drop the clicked label.
        auto openPanel = [&] {
            QDialog panel;
            QTimer::singleShot(0, &panel, [&] {
                current->drawCreature(nullptr);
                tick();
                QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
                redrawnWhileOpen = clicked.isNull();
                panel.accept();
            });
            panel.exec();
        };
        connect(current.get(), &CreatureWidget::doConditionOrEffectRequested, this, openPanel);
        connect(current.get(), &CreatureWidget::doEditAliases, this, openPanel);
        QTest::mouseClick(clicked, Qt::LeftButton);
        runQueuedClicks();
        QVERIFY(redrawnWhileOpen);
        current->drawCreature(goblin);
        tick();
        QVERIFY(labelOf(current.get(), "Jab"));
    }

    void oldLabelsOfGoneCreaturesAndPowersDoNothing()
    {
        current->drawCreature(goblin);
        selected->drawCreature(hero);
        tick();
        QPointer<PowerLabel> goblinLabel = labelOf(current.get(), "Slash");
        QPointer<PowerLabel> heroLabel = labelOf(selected.get(), "Jab");
        QVERIFY(heroLabel);
        hero->deletePower("Jab");
        // Clear History, as the main window does it.
        QVERIFY(Global::history->newHistory());
        Global::encounter->reset();
        Global::monsters->removeMonsterInstances();
        Global::characters->resetCharacters();
        Global::history->reset();
        QSignalSpy requests(current.get(), &CreatureWidget::doConditionOrEffectRequested);
        for (PowerLabel* label : {goblinLabel.data(), heroLabel.data()}) {
            QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
            QApplication::sendEvent(label, &enter);
            QTest::mouseClick(label, Qt::LeftButton);
        }
        runQueuedClicks();
        QVERIFY(requests.isEmpty());
        QCOMPARE(Global::history->getEventCount(), 0);
        // The dock held its creature guarded.
        current->drawCreature();
        tick();
        QVERIFY(linesOf(areaOf(current.get())).isEmpty());
    }
};

RAVELHORN_TEST_MAIN(QApplication, TestCreatureDocks)
#include "uitest_creaturedocks.moc"
