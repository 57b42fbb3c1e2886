#include <QAbstractItemModelTester>
#include <QApplication>
#include <QListView>
#include <QSignalSpy>
#include <QTest>

#include <memory>

#include "creature/creature.h"
#include "editors/librarylistmodels.h"
#include "library/characters.h"
#include "library/monsters.h"
#include "support/testsupport.h"
#include "support/testworld.h"
#include "toolkit/progressbar.h"

namespace {

// One of the two list models over its library, driven the same way.
class ListUnderTest
{
public:
    explicit ListUnderTest(bool templates) : templates(templates)
    {
        if (templates)
            model = std::make_unique<TemplateListModel>();
        else
            model = std::make_unique<CharacterListModel>();
        view.setModel(model.get());
        model->setView(&view);
        view.resize(200, 400);
        view.show();
        tester = std::make_unique<QAbstractItemModelTester>(model.get(),
                                                            QAbstractItemModelTester::FailureReportingMode::QtTest);
    }

    Creature* make(const QString& key) const
    {
        auto* entry = new Creature;
        if (templates)
            entry->setupDummyMonster(key);
        else
            entry->setupDummyHero(key);
        return entry;
    }
    // Straight into the library, as a data folder loads it.
    void load(const QStringList& keys) const
    {
        for (const QString& key : keys)
            templates ? Global::monsters->addTemplate(make(key)) : Global::characters->addCharacter(make(key));
    }
    Creature* find(const QString& key) const
    {
        return templates ? Global::monsters->findTemplate(key) : Global::characters->findCharacter(key);
    }
    void rename(Creature* entry, const QString& key) const
    {
        if (templates) {
            CreatureStats stats = entry->getStats();
            stats.group = key;
            entry->setStats(stats);
        } else {
            entry->setName(key);
        }
    }
    // A placeholder the fight adds behind the model, as a replay naming an unknown creature does.
    void addPlaceholder(const QString& key) const
    {
        if (templates)
            Global::monsters->getMonsterInstance(key, "1", true);
        else
            Global::characters->getCharacter(key, true);
    }
    // The data folder loaded afresh.
    void reload(const QStringList& keys) const
    {
        if (templates) {
            Monsters loaded;
            for (const QString& key : keys)
                loaded.addTemplate(make(key));
            Global::monsters->newMonsters(&loaded);
        } else {
            Characters loaded;
            for (const QString& key : keys)
                loaded.addCharacter(make(key));
            Global::characters->newCharacters(&loaded);
        }
    }

    Creature* selected() const
    {
        return templates ? templateModel()->getSelectedTemplate() : characterModel()->getSelectedCharacter();
    }
    void insert(Creature* entry, bool select) const
    {
        templates ? templateModel()->insertTemplate(entry, select) : characterModel()->insertCharacter(entry, select);
    }
    void move(Creature* entry) const
    {
        templates ? templateModel()->moveTemplate(entry) : characterModel()->moveCharacter(entry);
    }
    void remove(Creature* entry, bool hideOnly, bool dispose) const
    {
        templates ? templateModel()->removeTemplate(entry, hideOnly, dispose)
                  : characterModel()->removeCharacter(entry, hideOnly, dispose);
    }
    void changed() const
    {
        templates ? templateModel()->templateChanged() : characterModel()->characterChanged();
    }
    void show(Creature* entry) const
    {
        templates ? templateModel()->showTemplate(entry) : characterModel()->showCharacter(entry);
    }
    void click(const QString& shown)
    {
        for (int row = 0; row < model->rowCount(); row++)
            if (model->index(row, 0).data().toString() == shown) {
                QModelIndex index = model->index(row, 0);
                view.scrollTo(index);
                QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, view.visualRect(index).center());
                return;
            }
        QFAIL(qPrintable("no row " + shown));
    }

    // The visible rows as shown, the highlighted one in brackets.
    QString shown() const
    {
        QStringList rows;
        for (int row = 0; row < model->rowCount(); row++) {
            if (view.isRowHidden(row))
                continue;
            QString text = model->index(row, 0).data().toString();
            rows.append(view.selectionModel()->isRowSelected(row, {}) ? "[" + text + "]" : text);
        }
        return rows.join(' ');
    }
    // The highlighted entry is the one the editor gets.
    QString highlightedIsSelected() const
    {
        QModelIndexList highlighted = view.selectionModel()->selectedIndexes();
        Creature* entry = highlighted.isEmpty() ? nullptr
                          : templates           ? Global::monsters->getTemplate(highlighted.first().row())
                                                : Global::characters->getCharacter(highlighted.first().row());
        return entry == selected() ? QString() : "the editor gets another entry than the highlighted one";
    }

    TemplateListModel* templateModel() const { return static_cast<TemplateListModel*>(model.get()); }
    CharacterListModel* characterModel() const { return static_cast<CharacterListModel*>(model.get()); }

    bool templates;
    QListView view;
    std::unique_ptr<LibraryListModel> model;
    std::unique_ptr<QAbstractItemModelTester> tester;
};

}

class TestLibraryListModels : public QObject
{
    Q_OBJECT

private slots:
    void followsTheLibraryAndTheSelectedEntry_data()
    {
        QTest::addColumn<bool>("templates");
        QTest::newRow("templates") << true;
        QTest::newRow("characters") << false;
    }

    // One story through every change a list sees, the selection checked after each step.
    void followsTheLibraryAndTheSelectedEntry()
    {
        QFETCH(bool, templates);
        TestWorld world;
        ListUnderTest list(templates);
        list.load({"Eel", "bat", "Cobra", "drake", "Asp"});
        QCOMPARE(list.shown(), QString("Asp bat Cobra drake Eel"));
        QCOMPARE(list.model->headerData(0, Qt::Horizontal).toString(), QString("Name"));

        QSignalSpy selections(list.model.get(), &LibraryListModel::doSelectionChanged);
        list.click("Cobra");
        QCOMPARE(list.shown(), QString("Asp bat [Cobra] drake Eel"));
        QCOMPARE(selections.count(), 1);

        struct Step
        {
            QString what;
            std::function<void()> act;
            QString shown;
        };
        Creature* cobra = list.find("Cobra");
        Creature* added = list.make("Bee");
        const QList<Step> steps{
            {"a filter in capitals matches inside the key", [&] { list.model->setFilter("RA"); },
             "[Cobra] drake"},
            {"the same filter again changes nothing", [&] { list.model->setFilter("RA"); }, "[Cobra] drake"},
            {"a filter hiding the selection selects nothing", [&] { list.model->setFilter("dr"); }, "drake"},
            {"clearing it selects the last selected entry again", [&] { list.model->setFilter(""); },
             "Asp bat [Cobra] drake Eel"},
            // As "Revert All" brings an entry back above the selection without selecting anew.
            {"an insertion above keeps the entry", [&] { list.insert(added, false); },
             "Asp bat Bee [Cobra] drake Eel"},
            {"a removal above keeps the entry", [&] { list.remove(list.find("Asp"), false, true); },
             "bat Bee [Cobra] drake Eel"},
            {"a dirty entry shows a star", [&] {
                 cobra->setDirty(true);
                 list.changed();
             }, "bat Bee [Cobra*] drake Eel"},
            {"a rename moving the entry keeps it selected", [&] {
                 list.rename(cobra, "Zebra");
                 list.move(cobra);
             }, "bat Bee drake Eel [Zebra*]"},
            {"a rename keeping its row changes nothing", [&] {
                 list.rename(cobra, "Yak");
                 list.move(cobra);
             }, "bat Bee drake Eel [Yak*]"},
            {"a placeholder the fight adds shifts nothing", [&] { list.addPlaceholder("Aardvark"); },
             "Aardvark bat Bee drake Eel [Yak*]"},
            {"a click selects", [&] { list.click("Bee"); }, "Aardvark bat [Bee] drake Eel Yak*"},
            {"a deleted entry hides and hands the selection down", [&] {
                 added->setDeleted(true);
                 list.remove(added, true, false);
             }, "Aardvark bat [drake] Eel Yak*"},
            {"a deleted entry stays hidden whatever the filter", [&] {
                 list.model->setFilter("e");
                 list.model->setFilter("");
             }, "Aardvark bat [drake] Eel Yak*"},
            {"only showing brings it back", [&] {
                 added->setDeleted(false);
                 list.show(added);
             }, "Aardvark bat Bee [drake] Eel Yak*"},
            {"removing the selection selects the entry below", [&] { list.remove(list.find("drake"), false, true); },
             "Aardvark bat Bee [Eel] Yak*"},
            {"a filter hiding the selection", [&] { list.model->setFilter("a"); }, "Aardvark bat Yak*"},
            {"hiding the selection selects the next visible one below", [&] {
                 list.click("Aardvark");
                 list.remove(list.find("Aardvark"), true, false);
             }, "[bat] Yak*"},
            {"with none visible below, the nearest above", [&] {
                 list.click("Yak*");
                 list.remove(cobra, true, false);
             }, "[bat]"},
            {"with none visible at all, nothing", [&] { list.remove(list.find("bat"), true, false); }, ""},
            {"a reload shows the new data folder through the filter, nothing selected", [&] {
                 list.reload({"Gnat", "Elk", "Hare", "Cat"});
             }, "Cat Gnat Hare"},
        };
        for (const Step& step : steps) {
            step.act();
            QVERIFY2(list.shown() == step.shown, qPrintable(step.what + ": " + list.shown()));
            QVERIFY2(list.highlightedIsSelected().isEmpty(), qPrintable(step.what));
        }
        QVERIFY(!list.selected());
    }

    void drawsABrokenTemplateInRed()
    {
        TestWorld world;
        ListUnderTest templates(true);
        ListUnderTest characters(false);
        templates.load({"Invalid Stat Block"});
        characters.load({"Invalid Stat Block"});
        const QModelIndex broken = templates.model->index(0, 0);
        const QColor red = broken.data(Qt::ForegroundRole).value<QColor>();
        QVERIFY(red.red() > 2 * (red.green() + red.blue()));
        QVERIFY(!characters.model->index(0, 0).data(Qt::ForegroundRole).isValid());
        // The row's right end, past its text, shows what lies behind it.
        const QRect row = templates.view.visualRect(broken);
        const QColor behind = templates.view.viewport()->grab(row).toImage().pixelColor(row.width() - 2, row.height() / 2);
        QVERIFY2(HealthBarColours::contrast(red, behind) >= 4.5, qPrintable(red.name() + " on " + behind.name()));
    }
};

RAVELHORN_TEST_MAIN(QApplication, TestLibraryListModels)
#include "uitest_librarylistmodels.moc"
