// The stat-block display: the lines drawn for every kind of creature, the
// lazy redraw on the refresh tick, folding sections and the alias controls.
#include <QApplication>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include <memory>

#include "foundation/global.h"
#include "mainwindow/statblocktesting.h"
#include "support/testsupport.h"
#include "support/labelmeasures.h"
#include "toolkit/dynamicwidgets.h"
#include "toolkit/scrollandtabs.h"

Q_DECLARE_METATYPE(Kind)

namespace {

// A display in viewer or editor mode with its stat block on screen.
struct Shown
{
    explicit Shown(bool editorMode = false) : display(editorMode, false)
    {
        standard.setLayout(display.standardDisplay());
        window.setLayout(new QVBoxLayout);
        window.layout()->addWidget(display.getStatBlockDisplay());
        window.resize(320, 400);
        window.show();
    }
    QList<Line> draw(Creature* creature)
    {
        display.displayCreature(creature);
        tick();
        return lines();
    }
    QList<Line> lines() { return linesOf(display.getStatBlockDisplay()); }
    QWidget* contents() { return contentsOf(display.getStatBlockDisplay()); }

    QWidget standard;
    QWidget window;
    CreatureDisplay display;
};

bool shows(QLabel* label, const char* image)
{
    return label->pixmap().toImage() == QPixmap(image).toImage();
}

// The background and text colours a line's first label is painted with.
QString coloursOf(const Line& line)
{
    auto* label = line.frame->findChild<QLabel*>();
    label->ensurePolished();
    return label->palette().color(QPalette::Window).name() + " " + label->palette().color(QPalette::WindowText).name();
}

}

class TestStatBlock : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { CreatureDisplay::setupStyles(); }

    void structure_data()
    {
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<bool>("editorMode");
        QTest::addColumn<QString>("detect");
        QTest::addColumn<bool>("portrait");
        // Line kinds in order, the header details as one "3".
        QTest::addColumn<QList<int>>("kinds");
        QTest::addColumn<int>("detailLines");

        // Traits (name-less), Standard (Jab, used Slash), Move (flavoured Dash).
        const QList<int> monster{1, 3, 4, 5, 8, 8, 5, 6, 7, 6, 7, 7, 5, 6, 6, 7, 9, 10, 11};
        QTest::newRow("monster") << Kind::Monster << false << "" << false << monster << 4;
        // Heroes' sections are folded: titles only, the name-less entry gone.
        QTest::newRow("hero") << Kind::Hero << false << "" << false << QList<int>{1, 3, 4, 5, 5, 6, 6, 5, 6, 9, 10, 11}
                              << 5;
        const QList<int> trap{1, 3, 4, 5, 6, 7, 6, 7, 7, 5, 6, 6, 7, 5, 8, 8, 11};
        QTest::newRow("trap detecting") << Kind::Trap << false << "DC 20" << false << trap << 4;
        QTest::newRow("trap") << Kind::Trap << false << "" << false << trap << 3;
        QTest::newRow("portrait") << Kind::Monster << false << "" << true << monster << 4;
        QTest::newRow("editor") << Kind::Monster << true << "" << false << QList<int>{1, 3, 5, 8, 8, 5, 6, 7, 6, 7, 7, 5, 6, 6, 7, 9, 10, 11}
                                << 4;
    }

    void structure()
    {
        QFETCH(Kind, kind);
        QFETCH(bool, editorMode);
        QFETCH(QString, detect);
        QFETCH(bool, portrait);
        std::unique_ptr<Creature> creature(makeCreature(kind, "Grik <the> & Co"));
        CreatureStats stats = creature->getStats();
        stats.detect = detect;
        stats.titleNote = "Elite";
        // A type that wraps beside the experience.
        stats.type = "Large natural magical beast";
        stats.race = "dragon";
        stats.xp = kind == Kind::Hero ? 0 : 1000;
        stats.published = "Published in the Marsh Folio, page 12.";
        if (portrait)
            stats.portrait = QImage(":/images/hero-shield.png");
        creature->setStats(stats);
        creature->setAlias("Red <One>");
        creature->setCurrHitPoints(20);
        // Bloodied in red, a pending gain in blue.
        creature->setDeltaCurrHealth(0, 5, 0);
        Shown shown(editorMode);
        const QList<Line> lines = shown.draw(creature.get());
        const QStringList unreadable = unreadableTexts(&shown.window);
        QVERIFY2(unreadable.isEmpty(), qPrintable(unreadable.join("\n")));

        QList<int> kinds;
        for (const Line& line : lines) {
            const int kind = line.kind() == LineCode::PortraitTitle ? LineCode::Title : line.kind();
            if (kinds.isEmpty() || kinds.last() != kind || (kind != LineCode::Title && kind != LineCode::Details))
                kinds.append(kind);
        }
        QTEST(kinds, "kinds");

        // The header details: padded above at the first, below at the last, and nowhere else.
        const QList<Line> details = linesOfKind(lines, LineCode::Details);
        for (int i = 0; i < details.size(); i++) {
            QCOMPARE(details[i].has(LineCode::PadAbove), i == 0);
            QCOMPARE(details[i].has(LineCode::PadBelow), i == details.size() - 1);
        }
        QVERIFY2(details.first().text.contains(QTest::currentDataTag() == QByteArray("trap detecting") ? "DC 20" : "HP"),
                 qPrintable(details.first().text));
        QVERIFY(details.first().text.contains("Initiative"));
        QVERIFY2(details.last().text.contains("Red &lt;One&gt;"), qPrintable(details.last().text));
        QTEST(int(details.size()), "detailLines");
        if (kind == Kind::Trap)
            for (const Line& line : details)
                QVERIFY2(!line.text.contains("AC"), "unknown defences have no line");
        if (!detect.isEmpty())
            QVERIFY(details[1].text.contains("HP") && !details[0].text.contains("HP"));

        // Plain names are escaped; the editor adds the title note.
        const QString header = linesOfKind(lines, portrait ? LineCode::PortraitTitle : LineCode::Title).first().text;
        QVERIFY2(header.contains("Grik &lt;the&gt; &amp; Co"), qPrintable(header));
        QCOMPARE(header.contains("<i>(Elite)</i>"), editorMode && !portrait);
        if (portrait) {
            QCOMPARE(linesOfKind(lines, LineCode::PortraitTitle).size(), 4);
            auto* picture = shown.contents()->findChildren<QLabel*>().at(4);
            QCOMPARE(picture->size(), QSize(64, 64));
            QVERIFY(!picture->pixmap().isNull());
        }
        // Name-less entries are diamond lines; a used power's text greys for monsters and traps only.
        const QList<Line> bullets = linesOfKind(lines, LineCode::PowerDetail);
        if (kind != Kind::Hero) {
            QCOMPARE(bullets.size(), 2);
            QCOMPARE(bullets[0].text, "&diams;|First rule");
            QCOMPARE(bullets[1].text, "|Second rule");
            const Line used = linesOfKind(lines, LineCode::PowerText)[1];
            QVERIFY(used.has(LineCode::Used) && used.text == "+8 vs AC");
            QCOMPARE(coloursOf(used), kind == Kind::Trap ? "#eedccd #626262" : "#e6e6e6 #626262");
        }
        const QString title = coloursOf(linesOfKind(lines, portrait ? LineCode::PortraitTitle : LineCode::Title).first());
        QCOMPARE(title, kind == Kind::Hero ? "#00157f #ffffff" : kind == Kind::Trap ? "#39291b #ffffff" : "#333333 #ffffff");
        const QList<Line> sections = linesOfKind(lines, LineCode::SectionTitle);
        QCOMPARE(sections.first().frame->findChild<QLabel*>()->font().capitalization(), QFont::SmallCaps);

        // As narrow as a dock goes: every figure stays on its label's line.
        for (int width = 200; width <= 320; width += 4) {
            shown.window.resize(width, 400);
            runQueuedClicks();
            const QStringList parted = partedFigures(&shown.window);
            QVERIFY2(parted.isEmpty(), qPrintable(QString("%1 wide: %2").arg(width).arg(parted.join("\n"))));
        }
    }

    void heroesKeepBlueTextForUsedPowers()
    {
        std::unique_ptr<Creature> hero(makeCreature(Kind::Hero));
        hero->toggleSectionCompaction(Power::Standard);
        Shown shown;
        const QList<Line> texts = linesOfKind(shown.draw(hero.get()), LineCode::PowerText);
        QCOMPARE(texts.size(), 3);
        QVERIFY(texts[1].has(LineCode::Used) && texts[1].text == "+8 vs AC");
        QCOMPARE(coloursOf(texts[1]), "#e6e6e6 #002e76");
    }

    void oneRedrawPerTickKeepingTheScrollOfTheSameCreature()
    {
        std::unique_ptr<Creature> first(makeCreature(Kind::Monster, "First"));
        std::unique_ptr<Creature> second(makeCreature(Kind::Monster, "Second"));
        Shown shown;
        shown.window.resize(320, 150);
        shown.display.displayCreature(first.get());
        shown.display.displayCreature(second.get());
        tick();
        QWidget* drawn = shown.contents();
        QVERIFY(linesOf(shown.display.getStatBlockDisplay()).first().text.contains("Second"));
        tick();
        QCOMPARE(shown.contents(), drawn);

        QScrollBar* bar = shown.display.getStatBlockDisplay()->verticalScrollBar();
        QVERIFY(bar->maximum() > 40);
        bar->setValue(40);
        second->setAlias("Nick");
        shown.display.displayCreature(second.get());
        tick();
        QVERIFY(linesOfKind(shown.lines(), LineCode::Details).last().text.contains("Nick"));
        QCOMPARE(bar->value(), 40);
        shown.display.displayCreature(first.get());
        tick();
        QCOMPARE(bar->value(), 0);
    }

    void sectionClickFoldsOnlyThatSectionOfThatCreature()
    {
        std::unique_ptr<Creature> hero(makeCreature(Kind::Hero));
        std::unique_ptr<Creature> other(makeCreature(Kind::Hero, "Other"));
        Shown shown;
        QList<Line> lines = shown.draw(hero.get());
        QVERIFY(linesOfKind(lines, LineCode::PowerText).isEmpty());
        // Another request waits for the tick when the title is clicked.
        shown.display.displayCreature(other.get());
        const Line standard = linesOfKind(lines, LineCode::SectionTitle)[1];
        QCOMPARE(standard.text.section('|', 0, 0), "Standard Actions");
        QTest::mouseClick(standard.frame, Qt::LeftButton);
        runQueuedClicks();
        QVERIFY(!hero->useCompactDisplay(Power::Standard));
        QVERIFY(hero->useCompactDisplay(Power::Move));
        QVERIFY(other->useCompactDisplay(Power::Standard));
        tick();
        QVERIFY(shown.lines().first().text.contains("Other"));
        lines = shown.draw(hero.get());
        QCOMPARE(linesOfKind(lines, LineCode::PowerText).size(), 3);
    }

    void aliasControlsActOnTheCreatureTheyShow()
    {
        std::unique_ptr<Creature> first(makeCreature(Kind::Monster, "First"));
        std::unique_ptr<Creature> second(makeCreature(Kind::Monster, "Second"));
        std::unique_ptr<Creature> waiting(makeCreature(Kind::Monster, "Waiting"));
        for (Creature* creature : {first.get(), second.get(), waiting.get()})
            creature->setAlias("Nick");
        second->setShowAlias(true);
        Shown shown;
        QSignalSpy showSpy(&shown.display, &CreatureDisplay::doShowAliases);
        QSignalSpy editSpy(&shown.display, &CreatureDisplay::doEditAliases);
        // The alias controls of the lines shown, top to bottom.
        auto controlsShown = [&shown] {
            QList<DynamicLabel*> controls;
            for (const Line& line : shown.lines())
                controls += line.frame->findChildren<DynamicLabel*>();
            return controls;
        };
        shown.display.displayCreatures({first.get(), second.get()});
        tick();
        const QList<DynamicLabel*> controls = controlsShown();
        QCOMPARE(controls.size(), 4);
        shown.display.displayCreatures({waiting.get(), first.get()});
        QTest::mouseClick(controls[2], Qt::LeftButton);
        QTest::mouseClick(controls[3], Qt::LeftButton);
        runQueuedClicks();
        QCOMPARE(showSpy.size(), 1);
        QCOMPARE(showSpy[0][0].value<QList<Creature*>>(), QList<Creature*>{second.get()});
        QCOMPARE(showSpy[0][1].toBool(), false);
        QCOMPARE(editSpy[0][0].value<QList<Creature*>>(), QList<Creature*>{second.get()});

        // A creature gone before the tick is neither drawn nor acted on.
        tick();
        QTest::mouseClick(controlsShown().first(), Qt::LeftButton);
        waiting.reset();
        runQueuedClicks();
        QCOMPARE(showSpy.size(), 1);
    }

    void standardBlock()
    {
        Shown viewer;
        viewer.draw(nullptr);
        const QList<QLabel*> labels = viewer.standard.findChildren<QLabel*>();
        QVERIFY(shows(labels[0], ":/images/no-icon.png"));
        std::unique_ptr<Creature> monster(makeCreature(Kind::Monster, "<Grik>"));
        std::unique_ptr<Creature> hero(makeCreature(Kind::Hero));
        viewer.draw(monster.get());
        QVERIFY(shows(labels[0], ":/images/monster-shield.png"));
        QCOMPARE(labels[1]->text(), "<b>&lt;Grik&gt;</b>");
        viewer.draw(hero.get());
        QVERIFY(shows(labels[0], ":/images/hero-shield.png"));

        Shown editor(true);
        editor.draw(nullptr);
        auto* portrait = editor.standard.findChild<QToolButton*>();
        QVERIFY(!portrait->isEnabled());
        QSignalSpy clicked(&editor.display, &CreatureDisplay::doPortraitClicked);
        editor.draw(hero.get());
        QTest::mouseClick(portrait, Qt::LeftButton);
        QCOMPARE(clicked.size(), 1);
    }

    void anEditorMayDeleteTheAreaFirst()
    {
        std::unique_ptr<Creature> monster(makeCreature(Kind::Monster));
        auto display = std::make_unique<CreatureDisplay>(true, false);
        {
            QWidget editor;
            auto* layout = new QVBoxLayout(&editor);
            layout->addLayout(display->standardDisplay());
            layout->addWidget(display->getStatBlockDisplay());
            display->displayCreature(monster.get());
        }
        QVERIFY(!display->getStatBlockDisplay());
        display.reset();
    }

    void emptyDisplays()
    {
        Shown shown;
        QVERIFY(shown.draw(nullptr).isEmpty());
        shown.display.displayCreatures({});
        tick();
        QVERIFY(shown.lines().isEmpty());
    }
};

RAVELHORN_TEST_MAIN(QApplication, TestStatBlock)
#include "uitest_statblock.moc"
