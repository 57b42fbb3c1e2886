// The power dialog in the real main window: its endings and what the main
// window records of them, the guided input order, the previews, and the
// faults mended on the way.

#include <QApplication>
#include <QDir>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QTabWidget>
#include <QToolButton>
#include <QWheelEvent>
#include <qtestspontaneevent.h>

#include "combat/combattesting.h"
#include "combat/effectdialog.h"
#include "support/cuttexts.h"
#include "powerdialogtesting.h"
#include "creature/creature.h"
#include "encounter/encounter.h"
#include "encounter/encounterevents.h"
#include "encounter/history.h"
#include "foundation/global.h"
#include "library/characters.h"
#include "library/monsters.h"
#include "powerdialog/multidamage.h"
#include "powerdialog/picklistwidget.h"
#include "powerdialog/powerdialog.h"
#include "powerdialog/powerwidget.h"
#include "powerdialog/targetpickerwidget.h"
#include "powers/actions.h"

namespace {

const QString ctrlG = QKeySequence("Ctrl+G").toString(QKeySequence::NativeText);

// The power dialog whose panel the main window shows.
PowerDialog* shownDialog()
{
    if (!Global::mainWindow->runningFlatDialog())
        return nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* dialog = qobject_cast<PowerDialog*>(widget))
            return dialog;
    return nullptr;
}

template <class Widget>
Widget* panelChild(const QString& name = QString())
{
    return Global::mainWindow->findChild<Widget*>(name);
}

QPushButton* panelButton(const QString& text)
{
    for (QPushButton* button : Global::mainWindow->findChildren<QPushButton*>())
        if (button->text() == text && button->isVisible())
            return button;
    return nullptr;
}

QPushButton* okButton()
{
    return panelChild<QDialogButtonBox>()->button(QDialogButtonBox::Ok);
}

QToolButton* spareButton(const QString& text)
{
    for (QToolButton* button : Global::mainWindow->findChildren<QToolButton*>())
        if (button->text() == text && button->isVisible())
            return button;
    return nullptr;
}

QToolButton* goButton()
{
    for (QToolButton* button : Global::mainWindow->findChildren<QToolButton*>())
        if (button->text().startsWith("GO") || button->text().startsWith("Start") || button->text().startsWith("Next")
            || button->text().startsWith("Restart"))
            return button;
    return nullptr;
}

QString goHint()
{
    QToolButton* go = goButton();
    for (QLabel* label : go->parentWidget()->findChildren<QLabel*>())
        return label->text();
    return QString();
}

using CombatTesting::eventTexts;
using CombatTesting::key;

// What the panel behind a dialog shows: its focus, tab and GO text.
QString panelBehind()
{
    const QWidget* focus = Global::mainWindow->focusWidget();
    return QString("%1|%2|%3|%4")
        .arg(focus ? focus->metaObject()->className() : "")
        .arg(panelChild<PowerWidget>()->getTabWidget()->currentIndex())
        .arg(goHint(), goButton()->text());
}

// Opens the power editor from the panel and presses the keys in it: how the
// editor ended, and whether the panel behind it changed.
QString keysInTheEditor(const QKeyCombination& keys)
{
    auto ended = std::make_shared<QString>(" editor not shown");
    PowerDialogTesting::whenModal([ended, keys](QDialog* editor) {
        // As the user presses them: once the editor is the window that has the keyboard.
        if (!QTest::qWaitForWindowActive(editor)) {
            *ended = " editor shown but never made active";
            editor->reject();
            return;
        }
        const QString behind = panelBehind();
        QTest::keyClick(editor->focusWidget() ? editor->focusWidget() : editor, keys.key(), keys.keyboardModifiers());
        *ended = editor->isVisible() ? " editor left open"
                 : editor->result() == QDialog::Accepted ? " editor accepted" : " editor rejected";
        if (panelBehind() != behind)
            *ended += ", the panel behind went from " + behind + " to " + panelBehind();
        if (editor->isVisible())
            editor->reject();
    });
    // The button opens the editor once its click is done; an editor never shown leaves the answer as it was.
    QTest::mouseClick(panelButton("Edit"), Qt::LeftButton);
    static_cast<void>(QTest::qWaitFor([ended] { return *ended != " editor not shown"; }));
    // Once the editor is gone, a window manager gives the keyboard back to the main window; the offscreen platform does not.
    Global::mainWindow->activateWindow();
    return *ended;
}

// Runs the steps inside the next power dialog the main window shows; true once they ran.
std::shared_ptr<bool> whenShown(const std::function<void(PowerDialog&)>& steps, Creature* origin = nullptr)
{
    auto ran = std::make_shared<bool>(false);
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [=] {
        PowerDialog* dialog = shownDialog();
        if (!dialog || (origin && dialog->getCreatures()->getOrigin() != origin))
            return;
        timer->stop();
        timer->deleteLater();
        QCoreApplication::processEvents();
        steps(*dialog);
        *ran = true;
        if (QTest::currentTestFailed() && shownDialog() == dialog)
            dialog->reject();
    });
    timer->start();
    return ran;
}

// A request of the main window while the steps drive the power dialog it opens.
bool request(Creature* origin, const QString& power, const std::function<void(PowerDialog&)>& steps,
             const QString& action = QString())
{
    const auto ran = whenShown(steps);
    Global::mainWindow->addConditionOrEffect(origin, power, nullptr, action);
    return *ran;
}

// Every creature's figures, as the docks show them.
QString figures()
{
    return TestWorld::figures().join('\n');
}

bool anyDelta()
{
    for (int i = 0; Creature* c = Global::encounter->getCreature(i); i++)
        if (!(c->getFigures() == c->getFiguresWithoutDelta()))
            return true;
    return false;
}

// The list of the picker: the potential creatures (left) or those picked.
PickListWidget* pickList(bool left)
{
    return panelChild<PickListWidget>(left ? "pickview" : "listview");
}

// The area the editor scrolls in when the panel is short.
QScrollArea* editorArea()
{
    for (QWidget* above = panelChild<PowerWidget>(); above; above = above->parentWidget())
        if (auto* area = qobject_cast<QScrollArea*>(above))
            return area;
    return nullptr;
}

void pick(bool toRight, const QString& name)
{
    PickListWidget* list = pickList(toRight);
    for (int row = 0; row < list->count(); row++)
        if (static_cast<CreatureSorterItem*>(list->item(row))->creature->getNameGroup() == name) {
            list->setFocus();
            list->setCurrentRow(row);
            QTest::keyClick(list, toRight ? Qt::Key_Right : Qt::Key_Left);
            return;
        }
    QStringList present;
    for (PickListWidget* l : Global::mainWindow->findChildren<PickListWidget*>())
        for (int row = 0; row < l->count(); row++)
            present << l->objectName() + ":" + l->item(row)->text();
    QFAIL(qPrintable("nobody to pick: " + name + " in " + present.join(", ")));
}

// The spin boxes of the shown tab's steps, in order.
QList<QSpinBox*> stepBoxes()
{
    QTabWidget* tabs = panelChild<PowerWidget>()->getTabWidget();
    QList<QSpinBox*> boxes;
    for (QSpinBox* box : tabs->currentWidget()->findChildren<QSpinBox*>())
        if (box->isVisible())
            boxes << box;
    return boxes;
}

QCheckBox* panelCheckBox(const QString& text)
{
    for (QCheckBox* box : Global::mainWindow->findChildren<QCheckBox*>())
        if (box->text() == text && box->isVisible())
            return box;
    return nullptr;
}

QCheckBox* actionPointBox()
{
    return panelCheckBox("Use Action Point");
}

void typeInto(QSpinBox* box, int value)
{
    box->setFocus();
    box->selectAll();
    QTest::keyClicks(box, QString::number(value));
}

// A notch of the wheel down over the widget's centre, as the mouse rolls it:
// to the widget under the pointer, passed up to its parents while ignored.
void rollDown(QWidget* over)
{
    QWidget* window = over->window();
    const QPoint pointer = over->mapTo(window, over->rect().center());
    QWidget* under = window->childAt(pointer);
    QVERIFY(under);
    const QPoint place = under->mapFrom(window, pointer);
    QWheelEvent wheel(place, under->mapToGlobal(place), QPoint(), QPoint(0, -QWheelEvent::DefaultDeltasPerStep),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    // As QTest sends its mouse clicks: sendEvent would take the event for the program's own.
    QSpontaneKeyEvent::setSpontaneous(&wheel);
    qApp->notify(under, &wheel);
}

// The field with the focus (by its tooltip), the potential creatures selected,
// the encounter's selection, which the docks show, and the previews.
QString selectionSeen()
{
    QStringList listed;
    for (const QListWidgetItem* item : pickList(true)->selectedItems())
        listed << item->text();
    QStringList selected;
    for (const Creature* creature : Global::encounter->getSelectedCreatures())
        selected << creature->getNameGroup();
    QStringList previews;
    for (int i = 0; const Creature* creature = Global::encounter->getCreature(i); i++)
        if (creature->getHitPointDelta())
            previews << QString("%1 %2").arg(creature->getNameGroup()).arg(creature->getHitPointDelta());
    const QWidget* focus = QApplication::focusWidget();
    return QString("focus: %1; listed: %2; selected: %3; previews: %4")
        .arg(focus ? focus->toolTip() : QString(), listed.join(", "), selected.join(", "), previews.join(", "));
}

// The button of the shown tab's step row at that place.
QToolButton* rowButton(const QString& tip, int row)
{
    auto* page = qobject_cast<QScrollArea*>(panelChild<PowerWidget>()->getTabWidget()->currentWidget());
    QLayoutItem* item = page->widget()->layout()->itemAt(row);
    if (!item || !item->widget())
        return nullptr;
    for (QToolButton* button : item->widget()->findChildren<QToolButton*>())
        if (button->toolTip() == tip)
            return button;
    return nullptr;
}

}

// Ana acts with her Fire Strike; Bron stands by her; two goblins stand against them.
class TestPowerDialog : public QObject
{
    Q_OBJECT

private:
    WindowWorld* fixture = nullptr;
    Creature* ana = nullptr;
    Creature* bron = nullptr;
    Creature* goblin1 = nullptr;
    Creature* goblin2 = nullptr;
    int savedMissSource = 0;

    CreaturePower* strike() const { return ana->getPowers().getPowerByName("Fire Strike"); }

    void enter() const { Global::encounter->setCreatureList(CreatureList({ana, bron, goblin1, goblin2})); }

    // The program started again from the saved files and the log; the four found anew.
    bool restart()
    {
        return fixture->world->restart([this] {
            ana = fixture->world->find("Ana");
            bron = fixture->world->find("Bron");
            goblin1 = Creature::getCreatureByName("Goblin (1)", true);
            goblin2 = Creature::getCreatureByName("Goblin (2)", true);
            enter();
        });
    }

private slots:
    void init()
    {
        savedMissSource = TargetPickerWidget::gMissSource;
        TargetPickerWidget::gMissSource = TargetPickerWidget::FromTargets;
        fixture = new WindowWorld;
        TestWorld* world = fixture->world;
        ana = world->addHero("Ana", 30);
        bron = world->addHero("Bron", 40);
        goblin1 = world->addMonster("Goblin", "1", 25);
        goblin2 = world->addMonster("Goblin", "2", 25);
        CreaturePower power;
        power.name = "Fire Strike";
        power.status = CreaturePower::UserPower;
        power.current.applyTo[Power::Hit] = {Power::Enemy, 1, 2};
        power.current.cost = Power::OncePerEncounter;
        static_cast<DamageStep*>(power.program.addStep(PowerStep::Damage, Power::Hit))->damage = 6;
        ana->getPowers().addPower(power, false);
        enter();
        QVERIFY(world->record(new StartEncounterEvent({{"Ana", 20, 1}, {"Bron", 15, 1}}, {{"Goblin", 5, 2}},
                                                      world->stream())));
        Global::encounter->setSelectedCreatures({goblin1});
        // The keys go to the active window.
        Global::mainWindow->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(Global::mainWindow));
    }

    void cleanup()
    {
        delete fixture;
        TargetPickerWidget::gMissSource = savedMissSource;
    }

    void endings_data()
    {
        QTest::addColumn<QString>("ending");
        QTest::addColumn<QStringList>("events");
        const QStringList applied{"Ana: Used Fire Strike", "Ana -> Damaged 7: Goblin (1)"};
        QTest::newRow("OK") << "OK" << applied;
        QTest::newRow("Return") << "Return" << applied;
        QTest::newRow("Esc") << "Esc" << QStringList();
        QTest::newRow("Cancel") << "Cancel" << QStringList();
        QTest::newRow("Save Changes") << "Save Changes" << QStringList();
        QTest::newRow("Non-trackable") << "Non-trackable" << QStringList();
        QTest::newRow("a new request") << "request" << QStringList();
    }

    // What each ending records, and what it keeps of the edited program.
    void endings()
    {
        QFETCH(QString, ending);
        QFETCH(QStringList, events);
        const int before = Global::history->getEventCount();
        const QString start = figures();
        bool secondShown = false;
        QVERIFY(request(ana, "Fire Strike", [&](PowerDialog& dialog) {
            QCOMPARE(Global::encounter->getSelectedCreatures(), QList<Creature*>{goblin1});
            QCOMPARE(pickList(false)->count(), 1);
            QVERIFY(okButton()->isEnabled());
            QVERIFY(!panelButton("Save Changes")->isEnabled());
            typeInto(stepBoxes().first(), 7);
            QVERIFY(panelButton("Save Changes")->isEnabled());
            QVERIFY(anyDelta());
            if (ending == "OK" || ending == "Cancel")
                QTest::mouseClick(panelChild<QDialogButtonBox>()->button(ending == "OK" ? QDialogButtonBox::Ok
                                                                                          : QDialogButtonBox::Cancel),
                                  Qt::LeftButton);
            else if (ending == "Return" || ending == "Esc")
                key(ending == "Return" ? Qt::Key_Return : Qt::Key_Escape);
            else if (ending == "request") {
                whenShown([&](PowerDialog& second) {
                    secondShown = second.getCreatures()->getOrigin() == bron;
                    second.reject();
                }, bron);
                Global::mainWindow->addConditionOrEffect(bron, QString(), nullptr, QString());
            } else
                QTest::mouseClick(panelButton(ending), Qt::LeftButton);
        }));
        QTRY_VERIFY(!Global::mainWindow->runningFlatDialog());
        QCOMPARE(eventTexts(before), events);
        QVERIFY(!anyDelta());
        QCOMPARE(Global::encounter->getSelectedCreatures(), QList<Creature*>{goblin1});
        if (events.isEmpty())
            QCOMPARE(figures(), start);
        const bool stored = ending != "Esc" && ending != "Cancel" && ending != "request";
        QCOMPARE(strike()->program.getStepCount(Power::Hit), 1);
        QCOMPARE(static_cast<DamageStep*>(strike()->program.getStep(0, Power::Hit))->damage, stored ? 7 : 6);
        if (ending == "Non-trackable")
            QCOMPARE(strike()->current.applyTo[Power::Hit].kind, int(Power::NotTrackable));
        else
            QCOMPARE(strike()->current.applyTo[Power::Hit].kind, int(Power::Enemy));
        Q_UNUSED(stored)
        if (ending == "request")
            QVERIFY(secondShown);
    }

    // From a large screen to a laptop's, every text of the panel whole, the
    // add buttons taking more rows as the panel narrows, the panel fitted to
    // its height.
    void panelKeepsEveryTextWhole()
    {
        // Rows enough for the step lists to want more height than the panel has.
        for (PowerStep::Type kind :
            {PowerStep::Condition, PowerStep::OnGoing, PowerStep::Bonus, PowerStep::EndCondition})
            strike()->program.addStep(kind, Power::Hit);
        int lastRows = 0;
        bool listScrolls = false;
        QVERIFY(request(ana, "Fire Strike", [&](PowerDialog& dialog) {
            PowerWidget* editor = panelChild<PowerWidget>();
            // The outermost area, the main window's, shows the panel.
            QScrollArea* panel = nullptr;
            for (QWidget* above = editor; above; above = above->parentWidget())
                if (auto* area = qobject_cast<QScrollArea*>(above))
                    panel = area;
            QVERIFY(panel);
            for (QSize size : {QSize(1600, 1000), QSize(1280, 800), QSize(1152, 720)}) {
                Global::mainWindow->resize(size);
                // The lists fit the editor once its layout is redone at the new width.
                settledPlaces(panel->widget());
                const QStringList cut = cutTexts(panel->widget());
                QVERIFY2(cut.isEmpty(), qPrintable(cut.join("; ")));
                // Nor is a row cut off at its foot.
                for (QWidget* shown : panel->widget()->findChildren<QWidget*>()) {
                    auto* label = qobject_cast<QLabel*>(shown);
                    if (!shown->isVisible() || (!label && !qobject_cast<QAbstractButton*>(shown)))
                        continue;
                    QVERIFY2(shown->parentWidget()->rect().contains(shown->geometry()),
                        qPrintable(QString("%1 at %2").arg(shown->metaObject()->className()).arg(size.width())));
                    if (label && label->wordWrap())
                        QVERIFY2(label->height() >= label->heightForWidth(label->width()), qPrintable(label->text()));
                }
                const int rows = PowerDialogTesting::addButtonRows(editor);
                QVERIFY2(rows >= lastRows, qPrintable(QString::number(size.width())));
                lastRows = rows;
                // The panel never scrolls as a whole: its step list does, a whole row in view.
                const QTabWidget* tabs = editor->getTabWidget();
                QVERIFY(!panel->verticalScrollBar()->isVisible());
                QVERIFY(panel->widget()->height() <= panel->viewport()->height());
                QVERIFY(tabs->height() >= tabs->minimumSizeHint().height());
                listScrolls = static_cast<QScrollArea*>(tabs->currentWidget())->verticalScrollBar()->isVisible();
            }
            dialog.reject();
        }));
        QVERIFY(lastRows > 2);
        QVERIFY(listScrolls);
    }

    // Result 5 both ways: the classic dialog takes the targets picked so far, and gives them back.
    void switchBothWays()
    {
        bool classicShown = false;
        auto* timer = new QTimer;
        timer->setInterval(5);
        QObject::connect(timer, &QTimer::timeout, [&] {
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                auto* classic = qobject_cast<EffectDialog*>(widget);
                if (!classic || !Global::mainWindow->runningFlatDialog() || !spareButton("Programmable Power Dialog"))
                    continue;
                timer->stop();
                classicShown = classic->getCreatures().getTargetList() == QList<Creature*>{goblin1, goblin2};
                whenShown([&](PowerDialog&) {
                    QCOMPARE(pickList(false)->count(), 2);
                    key(Qt::Key_Escape);
                });
                spareButton("Programmable Power Dialog")->click();
                return;
            }
        });
        timer->start();
        QVERIFY(request(ana, "Fire Strike", [&](PowerDialog&) {
            pick(true, "Goblin (2)");
            QCOMPARE(spareButton("Classic C&&E Dialog")->toolTip(),
                     QString("Click to switch to the classic Conditions and Effects dialog"));
            spareButton("Classic C&&E Dialog")->click();
        }));
        delete timer;
        QVERIFY(classicShown);
        QVERIFY(!Global::mainWindow->runningFlatDialog());
    }

    void throughTheLog_data()
    {
        QTest::addColumn<bool>("action");
        QTest::newRow("a power of the origin") << false;
        QTest::newRow("a shared action") << true;
    }

    // Every kind of step on the hit, missed and affected creatures, per-target damage and an action
    // point: the events in their order, stepped back over, replayed after a restart; the program kept.
    void throughTheLog()
    {
        QFETCH(bool, action);
        CreaturePower burst;
        burst.name = "Storm Burst";
        burst.status = CreaturePower::UserPower;
        burst.current.applyTo[Power::Hit] = {Power::AnyCreature, 1, Power::UnsetCount};
        burst.current.applyTo[Power::Effect] = {Power::Ally, 0, Power::UnsetCount};
        PowerProgram& program = burst.program;
        auto* damage = static_cast<DamageStep*>(program.addStep(PowerStep::Damage, Power::Hit));
        damage->damage = 5;
        damage->perTarget = true;
        static_cast<ConditionStep*>(program.addStep(PowerStep::Condition, Power::Hit))->condition = CE::Dazed;
        static_cast<OnGoingStep*>(program.addStep(PowerStep::OnGoing, Power::Hit))->amount = -5;
        program.addStep(PowerStep::EndCondition, Power::Hit);
        static_cast<DamageStep*>(program.addStep(PowerStep::Damage, Power::Miss))->damage = 2;
        static_cast<BonusStep*>(program.addStep(PowerStep::Bonus, Power::Miss))->amount = -2;
        static_cast<ResistanceStep*>(program.addStep(PowerStep::Resistance, Power::Miss))->amount = -3;
        auto* healing = static_cast<HealingStep*>(program.addStep(PowerStep::Healing, Power::Effect));
        healing->hitPoints = 4;
        healing->tempHitPoints = 3;
        static_cast<UseResourceStep*>(program.addStep(PowerStep::UseResource, Power::Effect))->amount = 1;
        if (action)
            Global::actions->updateAction(burst.name, &burst);
        else
            ana->getPowers().addPower(burst, false);
        Global::encounter->setSelectedCreatures({goblin1, bron});
        const int before = Global::history->getEventCount();
        const QString start = fixture->world->describe();
        QVERIFY(request(ana, action ? QString() : burst.name, [&](PowerDialog& dialog) {
            QVERIFY(QTest::qWaitForWindowExposed(Global::mainWindow));
            // Bron is missed, the goblins are hit, Ana and Bron are affected.
            pick(true, "Goblin (2)");
            QCOMPARE(pickList(false)->count(), 3);
            QTest::keyClick(pickList(true), Qt::Key_I, Qt::ControlModifier);
            QTabWidget* tabs = panelChild<PowerWidget>()->getTabWidget();
            QCOMPARE(tabs->currentIndex(), int(Power::Miss));
            pick(true, "Bron");
            key(Qt::Key_I, Qt::ControlModifier);
            QCOMPARE(tabs->currentIndex(), int(Power::Effect));
            pick(true, "Ana");
            pick(true, "Bron");
            key(Qt::Key_I, Qt::ControlModifier);
            // One row per goblin hit, each with its own amount.
            QCOMPARE(tabs->currentIndex(), int(Power::Hit));
            const QList<QSpinBox*> rows = tabs->currentWidget()->findChild<MultiDamage*>()->findChildren<QSpinBox*>();
            QCOMPARE(rows.size(), 2);
            typeInto(rows[0], 9);
            QCOMPARE(rows[1]->value(), 5);
            QVERIFY(dialog.getPowerToEdit(nullptr)->program.getStepCount(Power::Hit) == 4);
            actionPointBox()->click();
            QVERIFY(okButton()->isEnabled());
            QTest::mouseClick(okButton(), Qt::LeftButton);
        }, action ? burst.name : QString()));
        QTRY_VERIFY(!Global::mainWindow->runningFlatDialog());
        QStringList expected{"Use Action Point: Ana"};
        if (!action)
            expected << "Ana: Used Storm Burst";
        expected << "Ana -> Damaged 9: Goblin (1)" << "Ana -> Damaged 5: Goblin (2)";
        const QStringList texts = eventTexts(before);
        QVERIFY2(texts.mid(0, expected.size()) == expected, qPrintable(texts.join('\n')));
        QVERIFY2(texts.size() == expected.size() + 9, qPrintable(texts.join('\n')));
        const QString after = fixture->world->describe();
        QCOMPARE(goblin1->getCurrHitPoints(), 16);
        QCOMPARE(goblin2->getCurrHitPoints(), 20);
        QCOMPARE(bron->getCurrHitPoints(), 40);

        // The edited program is kept where the power or action lives.
        if (action)
            QCOMPARE(Global::actions->getActionByName(burst.name)->program.getStepCount(Power::Hit), 4);
        else
            QCOMPARE(ana->getPowers().getPowerByName(burst.name)->program.getStepCount(Power::Hit), 4);

        Global::history->goTo(before - 1);
        QVERIFY2(fixture->world->describe() == start, qPrintable(TestWorld::difference(start, fixture->world->describe())));
        Global::history->goTo(Global::history->getEventCount() - 1);
        QVERIFY(restart());
        QVERIFY2(fixture->world->describe() == after, qPrintable(TestWorld::difference(after, fixture->world->describe())));
    }

    // A copy without a name is applied and stored nowhere.
    void unnamedCopy()
    {
        const int before = Global::history->getEventCount();
        const int powers = ana->getPowers().size();
        const int actions = Global::actions->getActionList(false).size();
        QVERIFY(request(ana, QString(), [&](PowerDialog&) {
            QVERIFY(!actionPointBox()->isEnabled());
            QTest::mouseClick(panelChild<PowerWidget>()->getAddButton(PowerStep::Damage), Qt::LeftButton);
            typeInto(stepBoxes().first(), 4);
            QVERIFY(!panelButton("Save Changes")->isEnabled());
            QTest::mouseClick(okButton(), Qt::LeftButton);
        }));
        QTRY_VERIFY(!Global::mainWindow->runningFlatDialog());
        QCOMPARE(eventTexts(before), QStringList{"Ana -> Damaged 4: Goblin (1)"});
        QCOMPARE(ana->getPowers().size(), powers);
        QCOMPARE(Global::actions->getActionList(false).size(), actions);
    }

    void goOrder_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QStringList>("presses");
        QTest::addColumn<QStringList>("expected");
        const QString go = "GO";
        QTest::newRow("no steps, targets fit: one stop")
            << "nosteps" << QStringList{go, go}
            << QStringList{"Add conditions and effects|Start", "Add conditions and effects|Start"};
        QTest::newRow("a hit damage step: targets, damage, OK, round again")
            << "" << QStringList{go, go, go, go}
            << QStringList{"Select creatures hit (1/3)|Next", "Enter hit damage (2/3)|Next",
                           "You're done, hit ENTER (3/3)|Restart", "Select creatures hit (1/3)|Next"};
        QTest::newRow("backwards from the first stop to OK")
            << "" << QStringList{go, "back"}
            << QStringList{"Select creatures hit (1/3)|Next", "You're done, hit ENTER (3/3)|Restart"};
        QTest::newRow("too few targets: the disabled OK is passed over")
            << "nobody" << QStringList{go, go, go}
            << QStringList{"Select creatures hit (1/3)|Next", "Enter hit damage (2/3)|Next",
                           "Select creatures hit (1/3)|Next"};
        QTest::newRow("miss steps from the targets")
            << "miss" << QStringList{go, go, go}
            << QStringList{"Select targets of attack (1/5)|Next", "Select targets missed (2/5)|Next",
                           "Enter hit damage (3/5)|Next"};
        QTest::newRow("miss steps from everyone")
            << "miss everyone" << QStringList{go, go, "ctrl+g"}
            << QStringList{"Select creatures hit (1/5)|Next", "Select creatures missed (2/5)|Next",
                           "Enter hit damage (3/5)|Next"};
        // The damage field lies in the part of the editor scrolled away: GO brings it into view.
        QTest::newRow("a short editor scrolled to its foot")
            << "short 520" << QStringList{go, go}
            << QStringList{"Select creatures hit (1/3)|Next", "Enter hit damage (2/3)|Next"};
        // So short that the field lies wholly out of view at the editor's foot.
        QTest::newRow("a shorter editor scrolled to its foot")
            << "short 440" << QStringList{go, go}
            << QStringList{"Select creatures hit (1/3)|Next", "Enter hit damage (2/3)|Next"};
        QTest::newRow("per target: one stop for the first row")
            << "per target" << QStringList{go, go}
            << QStringList{"Select creatures hit (1/3)|Next", "Enter hit damage/target (2/3)|Next"};
        // A removed step's stop goes from the count at once, whether the focus stays or goes with its row.
        QTest::newRow("damage removed while OK has the focus")
            << "" << QStringList{go, go, go, "remove 0", go}
            << QStringList{"Select creatures hit (1/3)|Next", "Enter hit damage (2/3)|Next",
                           "You're done, hit ENTER (3/3)|Restart", "Add conditions and effects|Start",
                           "Add conditions and effects|Start"};
        QTest::newRow("damage removed from its own field")
            << "healing" << QStringList{go, go, "remove 0", "ctrl+g"}
            << QStringList{"Select creatures hit (1/4)|Next", "Enter hit damage (2/4)|Next", "|GO",
                           "Select creatures hit (1/3)|Next"};
        // The panel's keys from the first press, whichever of its fields has the focus then.
        QTest::newRow("Ctrl+G at once") << "" << QStringList{"ctrl+g"} << QStringList{"Select creatures hit (1/3)|Next"};
        QTest::newRow("Ctrl+Shift+G at once") << "" << QStringList{"back"} << QStringList{"Select creatures hit (1/3)|Next"};
        QTest::newRow("Ctrl+T at once") << "" << QStringList{"ctrl+t"} << QStringList{"Select creatures hit (1/3)|Next"};
        QTest::newRow("Ctrl+S at once") << "" << QStringList{"ctrl+s"} << QStringList{"Select creatures hit (1/3)|Next"};
        QTest::newRow("a step removed at once, then Ctrl+G")
            << "healing" << QStringList{"remove 0", "ctrl+g"} << QStringList{"Select creatures hit (1/3)|Start", "Select creatures hit (1/3)|Next"};
        const QString picking = "Select creatures hit (1/3)|Next";
        // The per-target rows are fields of their step: the focus entering one, whether by GO or Tab, leaves no
        // potential creature selected, and the encounter's selection falls back to the targets.
        QTest::newRow("per target ticked after picking, GO to its first row")
            << "anyone" << QStringList{"ctrl+t", "down", "down", "right", "tick Per target", go, go, go, "selection"}
            << QStringList{picking, picking, picking, picking, "Enter hit damage/target (2/3)|Next",
                           "You're done, hit ENTER (3/3)|Restart", picking, "Enter hit damage/target (2/3)|Next",
                           "focus: The damage Goblin (1) takes; listed: ; selected: Goblin (1), Bron; "
                           "previews: Bron -6, Goblin (1) -6"};
        QTest::newRow("a target's row made as it is picked, Tab to it")
            << "anyone per target" << QStringList{"ctrl+t", "down", "down", "right", "settle", go, "tab", "selection"}
            << QStringList{picking, picking, picking, picking, "Enter hit damage/target (2/3)|Next",
                           "Enter hit damage/target (2/3)|Next",
                           "focus: The damage Bron takes; listed: ; selected: Goblin (1), Bron; "
                           "previews: Bron -6, Goblin (1) -6"};
        QTest::newRow("healing removed from its own field")
            << "healing" << QStringList{go, go, go, "remove 1", go, go}
            << QStringList{"Select creatures hit (1/4)|Next", "Enter hit damage (2/4)|Next",
                           "Enter healing amount (3/4)|Next", "|GO", "Select creatures hit (1/3)|Next",
                           "Enter hit damage (2/3)|Next"};
        // Keys that are no command of the panel's go to the focused input first, and never to the fight's table.
        QTest::newRow("Return in the power editor opened from the panel")
            << "" << QStringList{"Return in the editor"} << QStringList{"Select creatures hit (1/3)|Start editor accepted"};
        // The panel's own chords pressed in the editor are the editor's: the panel behind it stays as it was.
        for (const char* chord : {"Ctrl+G", "Ctrl+T", "Ctrl+S", "Ctrl+I"})
            QTest::addRow("%s in the power editor opened from the panel", chord)
                << "" << QStringList{QString(chord) + " in the editor"}
                << QStringList{"Select creatures hit (1/3)|Start editor left open"};
        // Return reaches the focused box before the panel: with OK disabled the box keeps its figure, selected
        // as after its own Return, and the next one typed replaces it.
        QTest::newRow("Return in the damage box while OK is disabled")
            << "nobody" << QStringList{go, go, "7 in the damage box", "Return in the damage box", "8 in the damage box"}
            << QStringList{"Select creatures hit (1/3)|Next", "Enter hit damage (2/3)|Next",
                           "Enter hit damage (2/3)|Next damage 7", "Enter hit damage (2/3)|Next damage 7",
                           "Enter hit damage (2/3)|Next damage 8"};
        // The panel's scroll areas take them from its fields; with none focused they reach the window.
        QTest::newRow("Up and Down with no field focused")
            << "" << QStringList{"Up in the window", "Down in the window"}
            << QStringList{"Select creatures hit (1/3)|Start", "Select creatures hit (1/3)|Start"};
    }

    // The guided input order: its stops, their numbers and texts, by GO, Ctrl+G and Ctrl+Shift+G.
    void goOrder()
    {
        QFETCH(QString, setup);
        QFETCH(QStringList, presses);
        QFETCH(QStringList, expected);
        if (setup.startsWith("miss")) {
            static_cast<DamageStep*>(strike()->program.addStep(PowerStep::Damage, Power::Miss))->damage = 3;
            TargetPickerWidget::gMissSource = setup == "miss" ? TargetPickerWidget::FromTargets
                                                              : TargetPickerWidget::FromAllCreatures;
        }
        if (setup == "nosteps")
            strike()->program.deleteAll();
        if (setup.startsWith("anyone"))
            strike()->current.applyTo[Power::Hit] = {Power::AnyCreature, 1, 2};
        if (setup.endsWith("per target"))
            static_cast<DamageStep*>(strike()->program.getStep(0, Power::Hit))->perTarget = true;
        if (setup == "nobody")
            Global::encounter->setSelectedCreatures({});
        if (setup == "healing")
            strike()->program.addStep(PowerStep::Healing, Power::Hit);
        QStringList seen;
        const QSize size = Global::mainWindow->size();
        const auto restore = qScopeGuard([size] { Global::mainWindow->resize(size); });
        QVERIFY(request(ana, "Fire Strike", [&](PowerDialog&) {
            // The lists fit the panel over a few layouts as it opens: the first press waits for them.
            settledPlaces(Global::mainWindow);
            if (setup.startsWith("short")) {
                Global::mainWindow->resize(1037, setup.section(' ', 1).toInt());
                for (int settle = 0; settle < 3; settle++)
                    QCoreApplication::processEvents();
                QScrollBar* bar = editorArea()->verticalScrollBar();
                QVERIFY(bar->maximum() > 0);
                bar->setValue(bar->maximum());
            }
            for (const QString& press : presses) {
                if (press == "selection") {
                    seen << selectionSeen();
                    continue;
                }
                // A row made since shows once the queued show is through, as between a user's keys.
                if (press == "settle") {
                    QCoreApplication::processEvents();
                    continue;
                }
                // What the press did besides the GO texts.
                QString noted;
                if (press == "GO")
                    QTest::mouseClick(goButton(), Qt::LeftButton);
                else if (press.startsWith("remove "))
                    QTest::mouseClick(rowButton("Remove effect", press.section(' ', 1).toInt()), Qt::LeftButton);
                else if (press.startsWith("tick "))
                    QTest::mouseClick(panelCheckBox(press.section(' ', 1)), Qt::LeftButton);
                else if (press.endsWith(" in the damage box")) {
                    QSpinBox* box = stepBoxes().first();
                    box->setFocus();
                    if (!QTest::qWaitFor([box] { return box->hasFocus(); }))
                        QFAIL("the damage box never took the focus");
                    const QKeyCombination keys = QKeySequence(press.section(' ', 0, 0))[0];
                    QTest::keyClick(box, keys.key(), keys.keyboardModifiers());
                    noted = " damage " + box->text();
                } else if (press.endsWith(" in the editor"))
                    noted = keysInTheEditor(QKeySequence(press.section(' ', 0, 0))[0]);
                else if (press.endsWith(" in the window")) {
                    if (QApplication::focusWidget())
                        QApplication::focusWidget()->clearFocus();
                    const QList<Creature*> selected = Global::encounter->getSelectedCreatures();
                    key(press.startsWith("Up") ? Qt::Key_Up : Qt::Key_Down);
                    if (Global::encounter->getSelectedCreatures() != selected)
                        noted = " selection moved";
                } else {
                    const QKeyCombination keys = QKeySequence(press == "back" ? "Ctrl+Shift+G" : press)[0];
                    key(keys.key(), keys.keyboardModifiers());
                }
                seen << goHint() + "|" + goButton()->text().section(' ', 0, 0) + noted;
                const QWidget* field = QApplication::focusWidget();
                if (field && field->visibleRegion() != QRegion(field->rect()))
                    seen.last() += " out of view";
            }
            key(Qt::Key_Escape);
        }));
        QCOMPARE(seen, expected);
    }

    // A stop of the Miss list shows its tab before its field takes the focus.
    void goShowsTheMissTab()
    {
        strike()->program.deleteAll();
        static_cast<DamageStep*>(strike()->program.addStep(PowerStep::Damage, Power::Miss))->damage = 3;
        Global::encounter->setSelectedCreatures({});
        QVERIFY(request(ana, "Fire Strike", [&](PowerDialog&) {
            QTabWidget* tabs = panelChild<PowerWidget>()->getTabWidget();
            QStringList hints;
            for (int i = 0; i < 2; i++) {
                QTest::mouseClick(goButton(), Qt::LeftButton);
                hints << goHint();
                QCOMPARE(tabs->currentIndex(), int(Power::Miss));
            }
            QCOMPARE(hints, (QStringList{"Select targets missed (2/4)", "Enter miss damage (3/4)"}));
            QVERIFY(stepBoxes().first()->hasFocus());
            // Once the targets fit and the Hit list has no steps, its stop goes.
            key(Qt::Key_I, Qt::ControlModifier);
            key(Qt::Key_I, Qt::ControlModifier);
            pick(true, "Goblin (1)");
            QTest::mouseClick(goButton(), Qt::LeftButton);
            QCOMPARE(goHint(), QString("Select targets missed (1/3)"));
            key(Qt::Key_Escape);
        }));
    }

    void wheelOverTheStepList_data()
    {
        QTest::addColumn<bool>("condition");
        QTest::addColumn<bool>("focused");
        QTest::addColumn<bool>("scrolls");
        QTest::newRow("a damage box passed over: the list scrolls, the figure stays") << false << false << true;
        QTest::newRow("a damage box clicked first: the figure changes") << false << true << false;
        QTest::newRow("a condition's box passed over: the list scrolls, the choice stays") << true << false << true;
    }

    // A short panel: the wheel over the first box of the scrolled step list.
    void wheelOverTheStepList()
    {
        QFETCH(bool, condition);
        QFETCH(bool, focused);
        QFETCH(bool, scrolls);
        if (condition) {
            strike()->program.deleteAll();
            strike()->program.addStep(PowerStep::Condition, Power::Hit);
            static_cast<DamageStep*>(strike()->program.addStep(PowerStep::Damage, Power::Hit))->damage = 6;
        }
        for (int more = 0; more < 3; more++)
            strike()->program.addStep(PowerStep::Damage, Power::Hit);
        const QSize size = Global::mainWindow->size();
        const auto restore = qScopeGuard([size] { Global::mainWindow->resize(size); });
        QVERIFY(request(ana, "Fire Strike", [&](PowerDialog&) {
            Global::mainWindow->resize(1037, 648);
            for (int settle = 0; settle < 3; settle++)
                QCoreApplication::processEvents();
            auto* page = qobject_cast<QScrollArea*>(panelChild<PowerWidget>()->getTabWidget()->currentWidget());
            QScrollBar* bar = page->verticalScrollBar();
            QVERIFY(bar->maximum() > 0);
            QSpinBox* damage = stepBoxes().first();
            auto* choice = page->findChild<DisableComboBox*>();
            QWidget* box = condition ? static_cast<QWidget*>(choice) : damage;
            const int chosen = choice ? choice->currentIndex() : -1;
            if (focused)
                QTest::mouseClick(damage->findChild<QLineEdit*>(), Qt::LeftButton);
            else
                pickList(true)->setFocus();
            QCOMPARE(box->hasFocus(), focused);
            rollDown(box);
            QCOMPARE(bar->value() > 0, scrolls);
            QCOMPARE(damage->value(), focused ? 5 : 6);
            QCOMPARE(goblin1->getHitPointDelta(), -damage->value());
            QCOMPARE(choice ? choice->currentIndex() : -1, chosen);
            key(Qt::Key_Escape);
        }));
    }

    // Ctrl+T and Ctrl+S move between the lists; with Shift, or T alone, they do nothing.
    void listKeys()
    {
        QVERIFY(request(ana, "Fire Strike", [&](PowerDialog&) {
            stepBoxes().first()->setFocus();
            key(Qt::Key_T, Qt::ControlModifier);
            QCOMPARE(QApplication::focusWidget(), pickList(true));
            key(Qt::Key_S, Qt::ControlModifier);
            QCOMPARE(QApplication::focusWidget(), pickList(false));
            key(Qt::Key_T, Qt::ControlModifier | Qt::ShiftModifier);
            QCOMPARE(QApplication::focusWidget(), pickList(false));
            key(Qt::Key_Escape);
        }));
    }

    // A power that attacks nobody opens on its effect.
    void effectFirst()
    {
        strike()->current.applyTo[Power::Hit].kind = Power::NoTarget;
        strike()->current.applyTo[Power::Effect].kind = Power::Ally;
        QVERIFY(request(ana, "Fire Strike", [&](PowerDialog&) {
            QCOMPARE(panelChild<PowerWidget>()->getTabWidget()->currentIndex(), int(Power::Effect));
            QVERIFY(pickList(true)->toolTip().startsWith("This is the list of all potential effected creatures"));
            key(Qt::Key_Escape);
        }));
    }

    void demonstrationPowers_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("named");
        // Whom the text of each power that makes no attack names.
        const QHash<QString, QString> named{
            {"Word of Mending", "an ally"},   {"Smouldering Hide", "a creature"}, {"Choking Fog", "enemies"},
            {"Bog Step", "itself"},           {"Slip Away", "itself"},            {"Ember Wreath", "an enemy"},
            {"Double Rake", "itself"},        {"Bloodied Fury", "itself"},        {"Fade into Dust", "itself"},
            {"Swarm Attack", "enemies"},      {"Stolen Breath", "itself"},        {"Scatter", "itself"},
            {"Trigger", "a creature"},        {"Thicket Stride", "itself"},
        };
        // An attack roll, or its Attack or Hit line.
        static const QRegularExpression attack(R"(\bvs\.|\bAttack\b|\bHit\b)");
        const QList<TestWorld::DemonstrationPower> powers = TestWorld::demonstrationPowers();
        for (int i = 0; i < powers.size(); i++) {
            const CreaturePower& power = powers[i].power;
            // A trap's lines without a name are no power to choose.
            if (power.name.isEmpty())
                continue;
            const bool attacks = attack.match(power.current.description.join('\n')).hasMatch();
            QTest::addRow("%s: %s", qPrintable(powers[i].file), qPrintable(power.name))
                << i << (attacks ? QString() : named.value(power.name, "?"));
        }
    }

    // A demonstration power keeps to its text: one that makes no attack opens
    // on its effect, and OK takes whom its text names, nobody else picked.
    void demonstrationPowers()
    {
        QFETCH(int, index);
        QFETCH(QString, named);
        const TestWorld::DemonstrationPower demonstration = TestWorld::demonstrationPowers().value(index);
        const CreaturePower& power = demonstration.power;
        const int hit = power.current.applyTo[Power::Hit].kind;
        if (named.isEmpty()) {
            QVERIFY(hit != Power::NoTarget);
            return;
        }
        QVERIFY2(named != "?", "the test does not know whom its text names");
        QCOMPARE(hit, int(Power::NoTarget));
        QCOMPARE(power.current.applyTo[Power::Miss].kind, int(Power::NoTarget));
        Creature* user = demonstration.monster ? goblin1 : ana;
        Creature* ally = demonstration.monster ? goblin2 : bron;
        Creature* enemy = demonstration.monster ? ana : goblin1;
        const QHash<QString, Creature*> whom{
            {"itself", user}, {"an ally", ally}, {"an enemy", enemy}, {"enemies", enemy}, {"a creature", enemy}};
        QVERIFY2(whom.contains(named), qPrintable(named));
        user->getPowers().addPower(power, false);
        if (demonstration.monster)
            Global::monsters->findTemplate("Goblin")->getPowers().addPower(power, false);
        Global::encounter->setSelectedCreatures({});
        QVERIFY(request(user, power.name, [&](PowerDialog&) {
            QCOMPARE(panelChild<PowerWidget>()->getTabWidget()->currentIndex(), int(Power::Effect));
            QCOMPARE(pickList(false)->count(), 0);
            pick(true, whom[named]->getNameGroup());
            QVERIFY2(okButton()->isEnabled(), qPrintable(okButton()->toolTip()));
            key(Qt::Key_Escape);
        }));
    }

    // Return follows the OK button: nothing happens while the picked creatures do not fit.
    void returnWithOKDisabled()
    {
        const int before = Global::history->getEventCount();
        QVERIFY(request(ana, "Fire Strike", [&](PowerDialog&) {
            pick(false, "Goblin (1)");
            QVERIFY(!okButton()->isEnabled());
            QCOMPARE(okButton()->toolTip(), QString("Too few targets selected, use %1 to go to fields that need input").arg(ctrlG));
            key(Qt::Key_Return);
            QVERIFY(Global::mainWindow->runningFlatDialog());
            key(Qt::Key_Escape);
        }));
        QCOMPARE(Global::history->getEventCount(), before);
    }

    // The tick of "Use Action Point" outlives the panels while the origin stays.
    void actionPointKeptOnRebuild()
    {
        const int before = Global::history->getEventCount();
        QVERIFY(request(ana, "Fire Strike", [&](PowerDialog&) {
            actionPointBox()->click();
            QCOMPARE(ana->getCurrActionPoints(), 0);
            QTest::mouseClick(panelChild<PowerWidget>()->getAddButton(PowerStep::Condition), Qt::LeftButton);
            QVERIFY(actionPointBox()->isChecked());
            QTest::mouseClick(okButton(), Qt::LeftButton);
        }));
        QTRY_VERIFY(!Global::mainWindow->runningFlatDialog());
        QCOMPARE(eventTexts(before).value(0), QString("Use Action Point: Ana"));
    }

    // Missed and affected creatures keep no preview when the dialog ends, however it ends.
    void noPreviewOutlivesTheDialog()
    {
        static_cast<DamageStep*>(strike()->program.addStep(PowerStep::Damage, Power::Miss))->damage = 3;
        static_cast<HealingStep*>(strike()->program.addStep(PowerStep::Healing, Power::Effect))->tempHitPoints = 5;
        for (const Qt::Key ending : {Qt::Key_Escape, Qt::Key_Return}) {
            const int before = Global::history->getEventCount();
            Global::encounter->setSelectedCreatures({goblin1, goblin2});
            QVERIFY(request(ana, "Fire Strike", [&](PowerDialog&) {
                QTest::keyClick(pickList(true), Qt::Key_I, Qt::ControlModifier);
                pick(true, "Goblin (1)");
                QTest::keyClick(pickList(true), Qt::Key_I, Qt::ControlModifier);
                pick(true, "Bron");
                QCOMPARE(goblin1->getHitPointDelta(), -3);
                QCOMPARE(goblin2->getHitPointDelta(), -6);
                QCOMPARE(bron->getTempHitPoints(), 5);
                key(ending);
            }));
            QTRY_VERIFY(!Global::mainWindow->runningFlatDialog());
            QVERIFY(!anyDelta());
            if (ending == Qt::Key_Return)
                QCOMPARE(eventTexts(before), (QStringList{"Ana: Used Fire Strike", "Ana -> Damaged 6: Goblin (2)",
                                                          "Ana -> Damaged 3: Goblin (1)", "Gained Temporary HP 5: Bron"}));
        }
    }

    // A power whose template went while the dialog ran is not stored into nothing.
    void vanishedTemplate()
    {
        CreaturePower bite;
        bite.name = "Bite";
        bite.status = CreaturePower::UserPower;
        Global::monsters->findTemplate("Goblin")->getPowers().addPower(bite, false);
        goblin1->getPowers().addPower(bite, false);
        std::unique_ptr<Creature> removed;
        QVERIFY(request(goblin1, "Bite", [&](PowerDialog&) {
            QTest::mouseClick(panelChild<PowerWidget>()->getAddButton(PowerStep::Damage), Qt::LeftButton);
            removed.reset(Global::monsters->findTemplate("Goblin"));
            Global::monsters->deleteTemplate(Global::monsters->getTemplateIndex(removed.get()), false);
            QTest::mouseClick(panelButton("Save Changes"), Qt::LeftButton);
        }));
        QTRY_VERIFY(!Global::mainWindow->runningFlatDialog());
        QCOMPARE(fixture->hooks.alerts.size(), 1);
        QVERIFY(fixture->hooks.alerts.first().startsWith("Power Not Saved: The changes to Bite were not saved"));
    }

    // The old steps go while the old panel's rows and stops still point at them: no
    // signal or change of focus reaches them (the sanitizers watch).
    void replacedWorkingCopy()
    {
        QVERIFY(request(ana, "Fire Strike", [&](PowerDialog& dialog) {
            QTest::mouseClick(panelChild<PowerWidget>()->getAddButton(PowerStep::Healing), Qt::LeftButton);
            stepBoxes().last()->setFocus();
            QTest::keyClicks(stepBoxes().last(), "3");
            QComboBox* origins = nullptr;
            for (QGroupBox* group : Global::mainWindow->findChildren<QGroupBox*>())
                if (group->title() == "Attacker/Origin")
                    origins = group->findChild<QComboBox*>();
            const int bronAt = origins->findText("Bron");
            QVERIFY(bronAt >= 0);
            origins->setCurrentIndex(bronAt);
            emit origins->activated(bronAt);
            QCOMPARE(dialog.getCreatures()->getOrigin(), bron);
            QCoreApplication::processEvents();
            key(Qt::Key_G, Qt::ControlModifier);
            key(Qt::Key_Tab);
            key(Qt::Key_Escape);
        }));
    }

    // The panel is released once, whatever runs between the end and the destruction.
    void panelReleasedOnce()
    {
        for (bool pendingFirst : {false, true}) {
            QPointer<QWidget> panel;
            {
                PowerDialog dialog(ana, "Fire Strike", QString(), {goblin1}, {});
                CombatTesting::runPanel(dialog, [&] {
                    panel = panelChild<PowerWidget>()->parentWidget();
                    dialog.reject();
                });
                if (pendingFirst)
                    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            }
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QVERIFY(!panel);
        }
    }

    // Seeded: random healing and damage steps on random lists. The preview is what OK
    // records, and every other ending leaves the figures as they were, without a delta.
    void previewIsTheOutcome()
    {
        const QList<Creature*> everyone{ana, bron, goblin1, goblin2};
        for (int seed = 1; seed <= 16; seed++) {
            std::srand(seed);
            CreaturePower* power = strike();
            power->program.deleteAll();
            power->current.applyTo[Power::Hit] = {Power::AnyCreature, 1, Power::UnsetCount};
            for (int i = std::rand() % 4; i >= 0; i--) {
                const auto type = std::rand() % 2 ? Power::Hit : Power::Effect;
                if (std::rand() % 2) {
                    auto* healing = static_cast<HealingStep*>(power->program.addStep(PowerStep::Healing, type));
                    healing->hitPoints = std::rand() % 12;
                    healing->surges = std::rand() % 3 - 1;
                    healing->tempHitPoints = std::rand() % 2 ? 0 : std::rand() % 8;
                } else {
                    auto* damage = static_cast<DamageStep*>(power->program.addStep(PowerStep::Damage, type));
                    damage->damage = std::rand() % 20;
                    damage->perTarget = std::rand() % 2;
                }
            }
            QList<Creature*> hit;
            for (Creature* creature : everyone)
                if (std::rand() % 2 || (hit.isEmpty() && creature == goblin2))
                    hit << creature;
            Global::encounter->setSelectedCreatures(hit);
            const QStringList affected = std::rand() % 2 ? QStringList{"Bron", "Goblin (1)"} : QStringList{"Ana"};
            const bool accept = seed % 2;
            const int typed = std::rand() % 30;
            const QString start = figures();
            QString previewed;
            QVERIFY(request(ana, "Fire Strike", [&](PowerDialog&) {
                QTabWidget* tabs = panelChild<PowerWidget>()->getTabWidget();
                tabs->setCurrentIndex(Power::Effect);
                for (const QString& name : affected)
                    pick(true, name);
                tabs->setCurrentIndex(Power::Hit);
                // One target's own amount, where the first step gives them.
                if (MultiDamage* rows = tabs->currentWidget()->findChild<MultiDamage*>())
                    if (QSpinBox* first = rows->firstBox())
                        typeInto(first, typed);
                previewed = figures();
                key(accept ? Qt::Key_Return : Qt::Key_Escape);
            }));
            QTRY_VERIFY(!Global::mainWindow->runningFlatDialog());
            QVERIFY2(!anyDelta(), qPrintable(QString("seed %1").arg(seed)));
            QVERIFY2(figures() == (accept ? previewed : start),
                     qPrintable(QString("seed %1:\n%2\n%3").arg(seed).arg(accept ? previewed : start, figures())));
        }
    }

    // A creature picked or put back adds or removes its own per-target row: the
    // other rows stay the same boxes with their typed amounts, in the list's order.
    void perTargetRowsStayAsCreaturesComeAndGo()
    {
        static_cast<DamageStep*>(strike()->program.getStep(0, Power::Hit))->perTarget = true;
        strike()->current.applyTo[Power::Hit] = {Power::AnyCreature, 1, Power::UnsetCount};
        QVERIFY(request(ana, "Fire Strike", [&](PowerDialog& dialog) {
            auto* rows = panelChild<PowerWidget>()->getTabWidget()->currentWidget()->findChild<MultiDamage*>();
            QVERIFY(rows);
            auto* grid = static_cast<QGridLayout*>(rows->layout());
            // The rows as they show, each a name and its box.
            auto shown = [&] {
                QList<QPair<QString, QSpinBox*>> result;
                for (int row = 0; row < grid->rowCount(); row++)
                    if (QLayoutItem* name = grid->itemAtPosition(row, 0))
                        result.append({static_cast<QLabel*>(name->widget())->text(),
                                       static_cast<QSpinBox*>(grid->itemAtPosition(row, 1)->widget())});
                return result;
            };
            // The shown rows are the targets' own, in their order.
            auto followTargets = [&](const QList<QPair<QString, QSpinBox*>>& rows) {
                QStringList names;
                for (const auto& row : rows)
                    names << row.first;
                QStringList targets;
                for (Creature* creature : dialog.getCreatures()->getTargetList())
                    targets << creature->getNameGroup();
                return names == targets;
            };
            const QPointer<QSpinBox> first = rows->firstBox();
            typeInto(first, 9);
            // In a panel too short for the editor's least, the rows that come move no list or button.
            const QSize size = Global::mainWindow->size();
            const auto restore = qScopeGuard([size] { Global::mainWindow->resize(size); });
            Global::mainWindow->resize(1037, 440);
            QWidget* panel = editorArea()->parentWidget();
            QStringList moved;
            for (const QString& name : {"Goblin (2)", "Bron", "Ana"})
                moved << movedBy(panel, [&] { pick(true, name); });
            QVERIFY2(moved.isEmpty(), qPrintable(moved.join('\n')));
            auto now = shown();
            QCOMPARE(now.size(), 4);
            QVERIFY(followTargets(now));
            for (const auto& row : now)
                QCOMPARE(row.second->value(), row.first == "Goblin (1)" ? 9 : 6);
            // Tab goes down the rows, those that came too, and leaves the last for the dialog's next field,
            // the creatures to pick.
            now.first().second->setFocus();
            for (const auto& row : now.mid(1)) {
                key(Qt::Key_Tab);
                QCOMPARE(QApplication::focusWidget(), row.second);
            }
            key(Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), pickList(true));
            QPointer<QSpinBox> gone;
            for (const auto& row : now)
                if (row.first == "Bron")
                    gone = row.second;
            pick(false, "Bron");
            QTRY_VERIFY(!gone);
            const auto after = shown();
            QCOMPARE(after.size(), 3);
            for (const auto& row : after) {
                const auto before = std::find_if(now.begin(), now.end(), [&](const auto& old) {
                    return old.first == row.first;
                });
                QCOMPARE(row.second, before->second);
            }
            QVERIFY(first);
            QCOMPARE(first->value(), 9);
            // Picked again after another left: a row of its own beside the rows kept, each on a cell of its own.
            pick(true, "Bron");
            const auto again = shown();
            QCOMPARE(grid->count(), 2 * again.size());
            QVERIFY(followTargets(again));
            for (const auto& row : after)
                QVERIFY(std::find(again.begin(), again.end(), row) != again.end());
            QCOMPARE(first->value(), 9);
            key(Qt::Key_Escape);
        }));
    }

    // Steps added, moved and removed by their own buttons: each rebuild releases the old
    // panel while its click is still running (the sanitizers watch); the edits are kept.
    void stepsByTheirOwnButtons()
    {
        QVERIFY(request(ana, "Fire Strike", [&](PowerDialog& dialog) {
            QTest::mouseClick(panelChild<PowerWidget>()->getAddButton(PowerStep::Healing), Qt::LeftButton);
            QTest::mouseClick(panelChild<PowerWidget>()->getAddButton(PowerStep::Condition), Qt::LeftButton);
            const PowerProgram& program = dialog.getPowerToEdit(nullptr)->program;
            QCOMPARE(program.getStepCount(Power::Hit), 3);
            QTest::mouseClick(rowButton("Move effect up", 2), Qt::LeftButton);
            QCOMPARE(program.getStep(1, Power::Hit)->type(), PowerStep::Condition);
            QTest::mouseClick(rowButton("Move effect down", 0), Qt::LeftButton);
            QCOMPARE(program.getStep(0, Power::Hit)->type(), PowerStep::Condition);
            QTest::mouseClick(rowButton("Remove effect", 0), Qt::LeftButton);
            QTest::mouseClick(rowButton("Remove effect", 0), Qt::LeftButton);
            QCOMPARE(program.getStepCount(Power::Hit), 1);
            QCOMPARE(program.getStep(0, Power::Hit)->type(), PowerStep::Healing);
            QVERIFY(panelButton("Save Changes")->isEnabled());
            key(Qt::Key_G, Qt::ControlModifier);
            key(Qt::Key_G, Qt::ControlModifier);
            QCOMPARE(goHint(), QString("Enter healing amount (2/3)"));
            key(Qt::Key_Escape);
        }));
        QCOMPARE(strike()->program.getStepCount(Power::Hit), 1);
    }

    // Another origin keeps the action chosen and rolls its dice anew.
    void newOriginRerolls()
    {
        CreaturePower lunge;
        lunge.name = "Lunge";
        lunge.status = CreaturePower::UserPower;
        static_cast<DamageStep*>(lunge.program.addStep(PowerStep::Damage, Power::Hit))->dice = "1d100";
        Global::actions->updateAction(lunge.name, &lunge);
        QVERIFY(request(ana, QString(), [&](PowerDialog& dialog) {
            QComboBox* origins = nullptr;
            for (QGroupBox* group : Global::mainWindow->findChildren<QGroupBox*>())
                if (group->title() == "Attacker/Origin")
                    origins = group->findChild<QComboBox*>();
            QVERIFY(origins);
            for (unsigned seed : {7u, 8u}) {
                DamageStep roll;
                roll.dice = "1d100";
                std::srand(seed);
                roll.setup(true);
                std::srand(seed);
                Creature* next = dialog.getCreatures()->getOrigin() == ana ? bron : ana;
                const int at = origins->findText(next->getName(), Qt::MatchStartsWith);
                QVERIFY(at >= 0);
                origins->setCurrentIndex(at);
                emit origins->activated(at);
                origins = nullptr;
                for (QGroupBox* group : Global::mainWindow->findChildren<QGroupBox*>())
                    if (group->title() == "Attacker/Origin")
                        origins = group->findChild<QComboBox*>();
                QVERIFY(origins);
                QCOMPARE(dialog.getCreatures()->getOrigin(), next);
                const PowerStep* step = dialog.getPowerToEdit(nullptr)->program.getStep(0, Power::Hit);
                QVERIFY(step);
                QCOMPARE(static_cast<const DamageStep*>(step)->damage, roll.damage);
            }
            key(Qt::Key_Escape);
        }, lunge.name));
    }

    void typedDiceRoll_data()
    {
        QTest::addColumn<int>("overwrite");
        QTest::newRow("rolled") << -1;
        QTest::newRow("overwritten") << 3;
    }

    // Dice typed into the damage step roll at once: the damage box and the preview show the roll,
    // which the game master may overwrite; OK records what the preview showed, through the log and a restart.
    void typedDiceRoll()
    {
        QFETCH(int, overwrite);
        const int before = Global::history->getEventCount();
        int dealt = -1;
        QString previewed;
        QVERIFY(request(ana, "Fire Strike", [&](PowerDialog& dialog) {
            QLineEdit* dice = nullptr;
            for (QLineEdit* edit : panelChild<PowerWidget>()->getTabWidget()->currentWidget()->findChildren<QLineEdit*>())
                if (edit->placeholderText() == "2d6+3")
                    dice = edit;
            QVERIFY(dice);
            dice->setFocus();
            // Out of reach of the step's damage of 6: a roll that did not happen shows.
            QTest::keyClicks(dice, "1d10+10");
            QCOMPARE(dice->text(), QString("1d10+10"));
            const auto* step = static_cast<const DamageStep*>(dialog.getPowerToEdit(nullptr)->program.getStep(0, Power::Hit));
            QCOMPARE(step->dice, QString("1d10+10"));
            QSpinBox* damage = stepBoxes().first();
            QVERIFY2(damage->value() >= 11 && damage->value() <= 20, qPrintable(QString::number(damage->value())));
            QCOMPARE(step->damage, damage->value());
            if (overwrite >= 0)
                typeInto(damage, overwrite);
            dealt = damage->value();
            previewed = figures();
            QVERIFY(dealt == 0 || anyDelta());
            QTest::mouseClick(okButton(), Qt::LeftButton);
        }));
        QTRY_VERIFY(!Global::mainWindow->runningFlatDialog());
        QCOMPARE(eventTexts(before),
                 (QStringList{"Ana: Used Fire Strike", QString("Ana -> Damaged %1: Goblin (1)").arg(dealt)}));
        QCOMPARE(figures(), previewed);
        QCOMPARE(goblin1->getCurrHitPoints(), 25 - dealt);
        // The log replays the damage dealt, not a new roll.
        QVERIFY(restart());
        QCOMPARE(goblin1->getCurrHitPoints(), 25 - dealt);
    }

    // Conditions && Effects opens the power dialog first; an edit of the header keeps the steps.
    void headerEditKeepsTheSteps()
    {
        const auto first = whenShown([](PowerDialog&) { key(Qt::Key_Escape); });
        CombatTesting::action("Conditions && Effects...")->trigger();
        QTRY_VERIFY(*first);
        QTRY_VERIFY(!Global::mainWindow->runningFlatDialog());
        QVERIFY(request(ana, "Fire Strike", [&](PowerDialog& dialog) {
            QTest::mouseClick(panelChild<PowerWidget>()->getAddButton(PowerStep::Healing), Qt::LeftButton);
            QVERIFY(panelButton("Save Changes")->isEnabled());
            PowerDialogTesting::whenModal([](QDialog* box) { PowerDialogTesting::clickButton(box, QDialogButtonBox::Ok); });
            QTest::mouseClick(panelButton("Edit"), Qt::LeftButton);
            QCOMPARE(dialog.getPowerToEdit(nullptr)->name, QString("Fire Strike"));
            QCOMPARE(dialog.getPowerToEdit(nullptr)->program.getStepCount(Power::Hit), 2);
            QVERIFY(panelButton("Save Changes")->isEnabled());
            key(Qt::Key_Escape);
        }));
    }
};

RAVELHORN_TEST_MAIN(QApplication, TestPowerDialog)

#include "uitest_powerdialog.moc"
