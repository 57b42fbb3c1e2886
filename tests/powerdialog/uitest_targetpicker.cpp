// The target picker: its checks of the chosen creatures against the power,
// the moves by keys, buttons and double clicks written through to the
// dialog's lists, and the encounter's selection that mirrors them.

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QSignalSpy>
#include <QTimer>
#include <QToolButton>

#include "creature/creature.h"
#include "encounter/encounter.h"
#include "foundation/global.h"
#include "foundation/textcolours.h"
#include "powerdialog/effectcreatures.h"
#include "powerdialog/picklistwidget.h"
#include "powerdialog/targetpickerwidget.h"
#include "powers/power.h"
#include "support/cuttexts.h"
#include "support/testsupport.h"
#include "support/testworld.h"

namespace {

// Hears what the picker tells its owner.
class RecordingOwner : public PickListInterface
{
public:
    void pickListChanged(const QString& message) override { messages.append(message); }
    void missSourceChanged() override { sourceChanges++; }

    QStringList messages;
    int sourceChanges = 0;
};

const QString ctrlG = QKeySequence("Ctrl+G").toString(QKeySequence::NativeText);

QString message(const QString& text)
{
    return text.isEmpty() ? QString() : QString(text).arg(ctrlG);
}

QStringList names(const QList<Creature*>& creatures)
{
    QStringList result;
    for (Creature* creature : creatures)
        result << creature->getNameGroup();
    return result;
}

// As the window system delivers one: the press that picks the item first.
void doubleClick(QListWidget* list, QListWidgetItem* item)
{
    const QPoint at = list->visualItemRect(item).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
}

QStringList rows(QListWidget* list)
{
    QStringList result;
    for (int row = 0; row < list->count(); row++)
        result << static_cast<CreatureSorterItem*>(list->item(row))->creature->getNameGroup();
    return result;
}

}

// Ana acts; Bron, Cyd and Dara are her allies, the goblins her enemies; it is Bron's turn.
class TestTargetPicker : public QObject
{
    Q_OBJECT

private:
    TestWorld* world = nullptr;
    QMap<QString, Creature*> cast;
    int savedMissSource = 0;

    QList<Creature*> creaturesNamed(const QStringList& list) const
    {
        QList<Creature*> result;
        for (const QString& name : list)
            result << cast.value(name);
        return result;
    }

private slots:
    void init()
    {
        world = new TestWorld;
        for (const char* name : {"Ana", "Bron", "Cyd", "Dara"})
            cast.insert(name, world->addHero(name, 30));
        for (const char* id : {"1", "2"})
            cast.insert(QString("G") + id, world->addMonster("Goblin", id, 20));
        Global::encounter->setCreatureList(CreatureList(cast.values()));
        Global::encounter->setCurrentIndex(Global::encounter->getCreatureIndex(cast["Bron"]));
        savedMissSource = TargetPickerWidget::gMissSource;
    }

    void cleanup()
    {
        TargetPickerWidget::gMissSource = savedMissSource;
        cast.clear();
        delete world;
    }

    void check_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<int>("type");
        QTest::addColumn<QStringList>("hit");
        QTest::addColumn<QStringList>("missed");
        QTest::addColumn<QStringList>("effected");
        QTest::addColumn<bool>("withOrigin");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<bool>("tooFew");

        const QString fewTargets = "Too few targets selected, use %1 to go to fields that need input";
        const QString manyTargets = "Too many targets selected, use %1 to go to fields that need input";
        const QString wrongTargets = "Incorrect target creatures, use %1 to go to fields that need input";
        const QString fewEffected = "Too few effected creatures, use %1 to go to fields that need input";
        const QString manyEffected = "Too many effected creatures, use %1 to go to fields that need input";
        const QString wrongEffected = "Incorrect effected creatures, use %1 to go to fields that need input";
        const int unset = Power::UnsetCount;
        using L = QStringList;
        auto row = [](const char* name) -> QTestData& { return QTest::newRow(name); };

        row("unset: nobody hit is too few") << 0 << unset << unset << 0 << L{} << L{} << L{} << true << fewTargets << true;
        row("unset: nobody affected fits") << 0 << unset << unset << 2 << L{} << L{} << L{} << true << QString() << false;
        row("unset: anyone fits") << 0 << unset << unset << 0 << L{"G1", "Ana"} << L{} << L{} << true << QString() << false;
        row("any creature") << 1 << unset << unset << 0 << L{"G1", "Bron"} << L{} << L{} << true << QString() << false;
        row("stored least number") << 1 << 2 << 3 << 0 << L{"G1"} << L{} << L{} << true << fewTargets << true;
        row("stored greatest number") << 1 << 1 << 2 << 2 << L{} << L{} << L{"G1", "G2", "Bron"} << true << manyEffected << false;
        row("enemies") << 2 << unset << unset << 0 << L{"G1", "G2"} << L{} << L{} << true << QString() << false;
        row("an ally is no enemy") << 2 << unset << unset << 0 << L{"G1", "Bron"} << L{} << L{} << true << wrongTargets << false;
        row("enemies without an origin") << 2 << unset << unset << 0 << L{"G1", "Bron"} << L{} << L{} << false << QString() << false;
        row("allies, the origin counts") << 3 << unset << unset << 2 << L{} << L{} << L{"Ana", "Bron"} << true << QString() << false;
        row("an enemy is no ally") << 3 << unset << unset << 2 << L{} << L{} << L{"Bron", "G1"} << true << wrongEffected << false;
        row("other allies") << 4 << unset << unset << 0 << L{"Bron", "Cyd"} << L{} << L{} << true << QString() << false;
        row("the origin is no other ally") << 4 << unset << unset << 0 << L{"Ana", "Bron"} << L{} << L{} << true << wrongTargets << false;
        row("ally and self: two") << 5 << 1 << 2 << 0 << L{"Ana", "Bron"} << L{} << L{} << true << QString() << false;
        row("ally and self: three") << 5 << 1 << 2 << 0 << L{"Ana", "Bron", "Cyd"} << L{} << L{} << true << QString() << false;
        row("ally and self: four") << 5 << 1 << 2 << 0 << L{"Ana", "Bron", "Cyd", "Dara"} << L{} << L{} << true << manyTargets << false;
        row("ally and self without self") << 5 << 1 << 2 << 0 << L{"Bron", "Cyd"} << L{} << L{} << true << wrongTargets << false;
        row("ally and self: one ally") << 5 << 1 << 2 << 0 << L{"Bron"} << L{} << L{} << true << fewTargets << true;
        row("self") << 6 << unset << unset << 0 << L{"Ana"} << L{} << L{} << true << QString() << false;
        row("self: another") << 6 << unset << unset << 0 << L{"Bron"} << L{} << L{} << true << wrongTargets << false;
        row("self: two") << 6 << unset << unset << 0 << L{"Ana", "Bron"} << L{} << L{} << true << manyTargets << false;
        row("current creature") << 7 << unset << unset << 2 << L{} << L{} << L{"Bron"} << true << QString() << false;
        row("current creature: another") << 7 << unset << unset << 2 << L{} << L{} << L{"Ana"} << true << wrongEffected << false;
        row("current creature: two") << 7 << unset << unset << 2 << L{} << L{} << L{"Ana", "Bron"} << true << manyEffected << false;
        row("targets") << 8 << unset << unset << 0 << L{"G1", "Cyd"} << L{} << L{} << true << QString() << false;
        row("none: nobody") << 9 << unset << unset << 0 << L{} << L{} << L{} << true << QString() << false;
        row("none: anybody is too many") << 9 << unset << unset << 0 << L{"G1"} << L{} << L{} << true << manyTargets << false;
        row("non-trackable: anybody is too many") << 10 << unset << unset << 2 << L{} << L{} << L{"Bron"} << true << manyEffected << false;
        row("an unknown kind fits") << 11 << unset << unset << 0 << L{"Bron"} << L{} << L{} << true << QString() << false;
        row("the missed are targets too") << 1 << 1 << 1 << 1 << L{"G1"} << L{"G2"} << L{} << true << manyTargets << false;
        row("missed alone are the targets") << 2 << unset << unset << 1 << L{} << L{"G2"} << L{} << true << QString() << false;
        row("missed, checked as hit") << 2 << unset << unset << 0 << L{"G1"} << L{"Cyd"} << L{} << true << wrongTargets << false;
        // "you or one ally", as the demonstration cleric's power says.
        const ApplyToRecord mending =
            TestWorld::demonstrationPower("idrel-vane.rvhn", "Word of Mending").current.applyTo[Power::Effect];
        row("Word of Mending: one ally alone") << mending.kind << mending.from << mending.to << 2 << L{} << L{} << L{"Bron"} << true << QString() << false;
    }

    // The chosen set against the power's record: the first failing rule's message.
    void check()
    {
        QFETCH(int, kind);
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(int, type);
        QFETCH(QStringList, hit);
        QFETCH(QStringList, missed);
        QFETCH(QStringList, effected);
        QFETCH(bool, withOrigin);
        QFETCH(QString, expected);
        QFETCH(bool, tooFew);
        CreaturePower power;
        const int record = type == Power::Effect ? Power::Effect : Power::Hit;
        power.current.applyTo[record] = {kind, from, to};
        EffectCreatures creatures(false, cast["Ana"], QString(), QString(), creaturesNamed(hit),
                                  creaturesNamed(effected), nullptr);
        if (!withOrigin) {
            const CreatureList everyone = Global::encounter->getCreatureList();
            Global::encounter->setCreatureList(CreatureList());
            EffectCreatures originless(false, nullptr, QString(), QString(), {}, {}, nullptr);
            Global::encounter->setCreatureList(everyone);
            QVERIFY(!originless.getOrigin());
            for (Creature* creature : creaturesNamed(hit))
                originless.addCreature(Power::Hit, creature);
            TargetPickerWidget picker(nullptr, &originless, &power);
            QString text = "unchanged";
            QCOMPARE(picker.pickedTargetsCorrect(Power::StepType(type), &text, nullptr), expected.isEmpty());
            QCOMPARE(text, message(expected));
            return;
        }
        for (Creature* creature : creaturesNamed(missed))
            creatures.addCreature(Power::Miss, creature);
        TargetPickerWidget picker(nullptr, &creatures, &power);
        QString text = "unchanged";
        bool flag = false;
        QCOMPARE(picker.pickedTargetsCorrect(Power::StepType(type), &text, &flag), expected.isEmpty());
        QCOMPARE(text, message(expected));
        QCOMPARE(flag, tooFew);
        // Through null pointers nothing is written, and the answer is the same.
        QCOMPARE(picker.pickedTargetsCorrect(Power::StepType(type), nullptr, nullptr), expected.isEmpty());
    }

    void moves_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("source");
        QTest::addColumn<QString>("how");
        QTest::addColumn<QStringList>("left");
        QTest::addColumn<QStringList>("hit");
        QTest::addColumn<QStringList>("missed");
        QTest::addColumn<QStringList>("effected");
        using L = QStringList;
        // Ana has hit G1 and Bron; G2 is affected.
        QTest::newRow("hit, Right") << 0 << 0 << "right:G2" << L{"Ana", "Cyd", "Dara"} << L{"G1", "Bron", "G2"} << L{} << L{"G2"};
        QTest::newRow("hit, Add") << 0 << 0 << "add:Cyd" << L{"Ana", "Dara", "G2"} << L{"G1", "Bron", "Cyd"} << L{} << L{"G2"};
        QTest::newRow("hit, Left") << 0 << 0 << "left:Bron" << L{"Ana", "Bron", "Cyd", "Dara", "G2"} << L{"G1"} << L{} << L{"G2"};
        QTest::newRow("hit, Remove All") << 0 << 0 << "removeAll" << L{"Ana", "Bron", "Cyd", "Dara", "G1", "G2"} << L{} << L{} << L{"G2"};
        QTest::newRow("hit, Shift+Right") << 0 << 0 << "shiftRight" << L{} << L{"G1", "Bron", "Ana", "Cyd", "Dara", "G2"} << L{} << L{"G2"};
        QTest::newRow("hit, double click") << 0 << 0 << "doubleLeft:Dara" << L{"Ana", "Cyd", "G2"} << L{"G1", "Bron", "Dara"} << L{} << L{"G2"};
        QTest::newRow("missed from the targets") << 1 << 0 << "right:G1" << L{"Bron"} << L{"Bron"} << L{"G1"} << L{"G2"};
        QTest::newRow("missed, given back to the targets") << 1 << 0 << "right:G1,left:G1" << L{"Bron", "G1"} << L{"Bron", "G1"} << L{} << L{"G2"};
        QTest::newRow("missed from everyone, not given back") << 1 << 2 << "right:G1,left:G1" << L{"Ana", "Bron", "Cyd", "Dara", "G1", "G2"} << L{"Bron"} << L{} << L{"G2"};
        QTest::newRow("missed from the potential targets, Add All") << 1 << 1 << "addAll" << L{} << L{} << L{"Ana", "Bron", "Cyd", "Dara", "G1", "G2"} << L{"G2"};
        QTest::newRow("effected, Right") << 2 << 0 << "right:Bron" << L{"Ana", "Cyd", "Dara", "G1"} << L{"G1", "Bron"} << L{} << L{"G2", "Bron"};
        QTest::newRow("effected, double click back") << 2 << 0 << "doubleRight:G2" << L{"Ana", "Bron", "Cyd", "Dara", "G1", "G2"} << L{"G1", "Bron"} << L{} << L{};
        QTest::newRow("effected, Shift+Left") << 2 << 0 << "shiftLeft" << L{"Ana", "Bron", "Cyd", "Dara", "G1", "G2"} << L{"G1", "Bron"} << L{} << L{};
        QTest::newRow("nothing selected still tells") << 0 << 0 << "right" << L{"Ana", "Cyd", "Dara", "G2"} << L{"G1", "Bron"} << L{} << L{"G2"};
    }

    // Every move is written through to the dialog's lists and told to the owner.
    void moves()
    {
        QFETCH(int, type);
        QFETCH(int, source);
        QFETCH(QString, how);
        QFETCH(QStringList, left);
        QFETCH(QStringList, hit);
        QFETCH(QStringList, missed);
        QFETCH(QStringList, effected);
        TargetPickerWidget::gMissSource = source;
        CreaturePower power;
        power.program.addStep(PowerStep::Damage, Power::Miss);
        EffectCreatures creatures(false, cast["Ana"], QString(), QString(), creaturesNamed({"G1", "Bron"}),
                                  creaturesNamed({"G2"}), nullptr);
        RecordingOwner owner;
        TargetPickerWidget picker(&owner, &creatures, &power);
        picker.setupControls(Power::StepType(type));
        picker.show();
        QVERIFY(QTest::qWaitForWindowExposed(&picker));
        auto* leftList = picker.findChild<PickListWidget*>("pickview");
        auto* rightList = picker.findChild<PickListWidget*>("listview");
        QAbstractItemModelTester leftTester(leftList->model());
        QAbstractItemModelTester rightTester(rightList->model());
        auto item = [&](QListWidget* list, const QString& name) {
            for (int row = 0; row < list->count(); row++)
                if (static_cast<CreatureSorterItem*>(list->item(row))->creature == cast.value(name))
                    return list->item(row);
            return static_cast<QListWidgetItem*>(nullptr);
        };
        auto button = [&](const QString& text) {
            for (QToolButton* b : picker.findChildren<QToolButton*>())
                if (b->text() == text)
                    return b;
            return static_cast<QToolButton*>(nullptr);
        };
        int moves = 0;
        for (const QString& step : how.split(',')) {
            const QString verb = step.section(':', 0, 0);
            const QString name = step.section(':', 1);
            QListWidget* list = verb == "left" || verb == "doubleRight" ? rightList : leftList;
            if (!name.isEmpty()) {
                QListWidgetItem* chosen = item(list, name);
                QVERIFY2(chosen, qPrintable(name));
                list->setCurrentItem(chosen);
            }
            list->setFocus();
            if (verb == "right" || verb == "left")
                QTest::keyClick(list, verb == "right" ? Qt::Key_Right : Qt::Key_Left);
            else if (verb == "shiftRight" || verb == "shiftLeft")
                QTest::keyClick(list, verb == "shiftRight" ? Qt::Key_Right : Qt::Key_Left, Qt::ShiftModifier);
            else if (verb.startsWith("double"))
                doubleClick(list, item(list, name));
            else
                QTest::mouseClick(button(QMap<QString, QString>{{"add", "Add"}, {"addAll", "Add All"},
                                                                {"removeAll", "Remove All"}}.value(verb)), Qt::LeftButton);
            moves++;
        }
        QCOMPARE(owner.messages.size(), moves);
        QCOMPARE(owner.messages.last(), picker.updateTargetText());
        QCOMPARE(rows(leftList), names(creaturesNamed(left)));
        QCOMPARE(names(creatures.getTargetList()), names(creaturesNamed(hit)));
        QCOMPARE(names(creatures.getMissList()), names(creaturesNamed(missed)));
        QCOMPARE(names(creatures.getEffectList()), names(creaturesNamed(effected)));
        const QList<Creature*> chosen = type == 0 ? creatures.getTargetList()
                                        : type == 1 ? creatures.getMissList() : creatures.getEffectList();
        QCOMPARE(QSet<Creature*>(chosen.begin(), chosen.end()).size(), rightList->count());
        // Both lists stay sorted, and are what a fresh setup shows.
        const QStringList right = rows(rightList);
        picker.setupControls(Power::AnyStep);
        QCOMPARE(rows(leftList), names(creaturesNamed(left)));
        QCOMPARE(rows(rightList), right);
    }

    // The encounter's selection follows the picked items, else the chosen set.
    void selectionMirrorsThePicker()
    {
        CreaturePower power;
        EffectCreatures creatures(false, cast["Ana"], QString(), QString(), creaturesNamed({"G1", "G2"}), {}, nullptr);
        TargetPickerWidget picker(nullptr, &creatures, &power);
        QSignalSpy selection(Global::encounter, &Encounter::doCreatureSelectionChanged);
        picker.setupControls(Power::Hit);
        picker.show();
        QCOMPARE(names(Global::encounter->getSelectedCreatures()), (QStringList{"Goblin (1)", "Goblin (2)"}));
        auto* leftList = picker.findChild<PickListWidget*>("pickview");
        auto* rightList = picker.findChild<PickListWidget*>("listview");
        leftList->setFocus();
        QTest::keyClick(leftList, Qt::Key_Down);
        QTest::keyClick(leftList, Qt::Key_Down, Qt::ShiftModifier);
        QCOMPARE(names(Global::encounter->getSelectedCreatures()), (QStringList{"Ana", "Bron"}));
        selection.clear();
        QTest::keyClick(leftList, Qt::Key_Right);
        // One move, one change of the selection.
        QCOMPARE(selection.count(), 1);
        QCOMPARE(names(Global::encounter->getSelectedCreatures()), (QStringList{"Goblin (1)", "Goblin (2)", "Ana", "Bron"}));
        // The focus entering the right list drops the left list's selection.
        rightList->setFocus();
        rightList->item(0)->setSelected(true);
        QCOMPARE(names(Global::encounter->getSelectedCreatures()), (QStringList{"Ana"}));
        picker.focusMoved(rightList);
        QCOMPARE(names(Global::encounter->getSelectedCreatures()), names(creatures.getTargetList()));
    }

    void texts_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("source");
        QTest::addColumn<int>("missSteps");
        QTest::addColumn<QString>("heading");
        QTest::addColumn<QString>("leftTip");
        QTest::addColumn<QString>("applyText");
        QTest::addColumn<bool>("sourceButton");
        QTest::newRow("hit with miss steps from the targets") << 0 << 0 << 1 << "<b>Selected Targets:</b>"
            << "This is the list of all potential targets Ctrl+T" << "<b>Select:</b> <font color=%2>%1</font>" << false;
        QTest::newRow("hit without miss steps") << 0 << 0 << 0 << "<b>Targets Hit:</b>"
            << "This is the list of all potential targets Ctrl+T" << "<b>Select:</b> <font color=%2>%1</font>" << false;
        QTest::newRow("hit, another miss source") << 0 << 1 << 1 << "<b>Targets Hit:</b>"
            << "This is the list of all potential targets Ctrl+T" << "<b>Select:</b> <font color=%2>%1</font>" << false;
        QTest::newRow("missed from the targets") << 1 << 0 << 1 << "<b>Targets Missed:</b>"
            << "These targets were hit Ctrl+T" << "<b>Targets Hit:</b>" << true;
        QTest::newRow("missed from the potential targets") << 1 << 1 << 1 << "<b>Targets Missed:</b>"
            << "This is the list of all potential targets Ctrl+T" << "<b>Select:</b> <font color=%2>%1</font>" << true;
        QTest::newRow("missed from everyone") << 1 << 2 << 1 << "<b>Targets Missed:</b>"
            << "This is the list of all creatures Ctrl+T" << "<b>All Creatures:</b>" << true;
        QTest::newRow("effected") << 2 << 0 << 0 << "<b>Effected Creatures:</b>"
            << "This is the list of all potential effected creatures Ctrl+T" << "<b>Select:</b> %1" << false;
    }

    // Headings, tooltips and the apply text; red while nobody is hit.
    void texts()
    {
        QFETCH(int, type);
        QFETCH(int, source);
        QFETCH(int, missSteps);
        QFETCH(QString, heading);
        QFETCH(QString, leftTip);
        QFETCH(QString, applyText);
        QFETCH(bool, sourceButton);
        TargetPickerWidget::gMissSource = source;
        CreaturePower power;
        for (int i = 0; i < missSteps; i++)
            power.program.addStep(PowerStep::Healing, Power::Miss);
        EffectCreatures creatures(false, cast["Ana"], QString(), QString(), {}, {}, nullptr);
        TargetPickerWidget picker(nullptr, &creatures, &power);
        const QString result = picker.setupControls(Power::StepType(type));
        picker.show();
        QCOMPARE(result, message("Too few targets selected, use %1 to go to fields that need input"));
        QStringList labels;
        for (QLabel* label : picker.findChildren<QLabel*>())
            labels << label->text();
        QVERIFY2(labels.contains(heading), qPrintable(labels.join(" | ")));
        applyText.replace("%2", TextColours::red().name());
        if (applyText.contains("%1"))
            applyText = applyText.arg(power.getApplyToText(Power::StepType(type)));
        const QStringList unreadable = unreadableTexts(&picker);
        QVERIFY2(unreadable.isEmpty(), qPrintable(unreadable.join("\n")));
        QVERIFY2(labels.contains(applyText), qPrintable(labels.join(" | ")));
        QCOMPARE(picker.findChild<PickListWidget*>("pickview")->toolTip(), leftTip);
        QToolButton* sourceButtonWidget = nullptr;
        for (QToolButton* b : picker.findChildren<QToolButton*>())
            if (b->text() == "?")
                sourceButtonWidget = b;
        QCOMPARE(sourceButtonWidget->isVisible(), sourceButton);
    }

    // Kinds that target nobody offer nobody.
    void nobodyToOffer_data()
    {
        QTest::addColumn<int>("kind");
        QTest::newRow("targets") << 8;
        QTest::newRow("none") << 9;
        QTest::newRow("non-trackable") << 10;
    }

    void nobodyToOffer()
    {
        QFETCH(int, kind);
        CreaturePower power;
        power.current.applyTo[Power::Hit].kind = kind;
        power.current.applyTo[Power::Effect].kind = kind;
        EffectCreatures creatures(false, cast["Ana"], QString(), QString(), {}, {}, nullptr);
        TargetPickerWidget picker(nullptr, &creatures, &power);
        for (Power::StepType type : {Power::Hit, Power::Effect}) {
            picker.setupControls(type);
            QVERIFY(!picker.haveChoice());
        }
    }

    // The menu's choice holds for every picker until the program ends.
    void missSourceMenu()
    {
        TargetPickerWidget::gMissSource = TargetPickerWidget::FromTargets;
        CreaturePower power;
        EffectCreatures creatures(false, cast["Ana"], QString(), QString(), creaturesNamed({"G1"}), {}, nullptr);
        RecordingOwner owner;
        for (const QString& entry : {QString("Select from all Creatures"), QString()}) {
            TargetPickerWidget picker(&owner, &creatures, &power);
            picker.setupControls(Power::Miss);
            picker.show();
            QTimer::singleShot(0, [&] {
                QTRY_VERIFY(qobject_cast<QMenu*>(QApplication::activePopupWidget()));
                auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
                for (QAction* action : menu->actions())
                    QCOMPARE(action->isChecked(), action->data().toInt() == TargetPickerWidget::gMissSource);
                QAction* chosen = nullptr;
                for (QAction* action : menu->actions())
                    if (action->text() == entry)
                        chosen = action;
                if (chosen)
                    menu->setActiveAction(chosen), QTest::keyClick(menu, Qt::Key_Return);
                else
                    menu->close();
            });
            for (QToolButton* b : picker.findChildren<QToolButton*>())
                if (b->text() == "?")
                    b->click();
            QCOMPARE(TargetPickerWidget::gMissSource, int(TargetPickerWidget::FromAllCreatures));
            QCOMPARE(picker.findChild<PickListWidget*>("pickview")->count(), 6);
        }
        QCOMPARE(owner.sourceChanges, 2);
        QCOMPARE(owner.messages.size(), 0);
    }

    // Where the guided order lands: the left list while more are needed.
    void leftHasContent()
    {
        CreaturePower power;
        power.current.applyTo[Power::Hit] = {Power::AnyCreature, 2, 2};
        EffectCreatures creatures(false, cast["Ana"], QString(), QString(), creaturesNamed({"G1"}), {}, nullptr);
        TargetPickerWidget picker(nullptr, &creatures, &power);
        picker.setupControls(Power::Hit);
        QVERIFY(picker.leftHasContent(Power::Hit));
        creatures.addCreature(Power::Hit, cast["G2"]);
        creatures.addCreature(Power::Hit, cast["Bron"]);
        picker.setupControls(Power::Hit);
        QVERIFY(!picker.leftHasContent(Power::Hit));
        power.current.applyTo[Power::Hit] = {Power::AnyCreature, 3, 3};
        QVERIFY(picker.leftHasContent(Power::Hit));
    }
};

RAVELHORN_TEST_MAIN(QApplication, TestTargetPicker)

#include "uitest_targetpicker.moc"
