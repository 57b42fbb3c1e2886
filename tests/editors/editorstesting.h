#ifndef EDITORSTESTING_H
#define EDITORSTESTING_H

#include <QAbstractButton>
#include <QAbstractItemModelTester>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QGroupBox>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

#include "app/windowhooks.h"
#include "creature/creature.h"
#include "editors/encounterlistmodel.h"
#include "editors/managerwindow.h"
#include "foundation/global.h"
#include "foundation/progress.h"
#include "library/encounters.h"
#include "library/monsters.h"
#include "support/keyboardfocus.h"
#include "support/testsupport.h"
#include "support/testworld.h"

// A data folder holding the demonstration monsters, loaded as a start-up
// loads them, and the monster manager shown over it.
class ManagerWorld
{
public:
    ManagerWorld()
    {
        Global::copyDir(Global::getResourcePath() + "/demo-data/Monsters", world.root(), "Monsters");
        Global::copyDir(Global::getResourcePath() + "/demo-data/Encounters", world.root(), "Encounters");
        Global::encounters = new Encounters;
        window = std::make_unique<ManagerWindow>();
        reload();
        // Wide enough for the tree's third level.
        window->resize(1600, 900);
        // Its fields take the keyboard only once it is active.
        KeyboardFocus::activate(window.get());
        tester = std::make_unique<QAbstractItemModelTester>(list()->model(),
                                                            QAbstractItemModelTester::FailureReportingMode::QtTest);
        encounterTester = std::make_unique<QAbstractItemModelTester>(
            encounterModel(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    }

    ~ManagerWorld()
    {
        tester.reset();
        encounterTester.reset();
        window.reset();
        delete std::exchange(Global::encounters, nullptr);
    }

    // The monster and encounter libraries read again from the data folder.
    void reload()
    {
        Monsters loaded;
        Progress progress;
        loaded.loadTemplates(world.root(), world.root(), &progress);
        Global::monsters->newMonsters(&loaded);
        Encounters loadedEncounters;
        loadedEncounters.loadEncounters(world.root(), world.root(), &progress);
        Global::encounters->newEncounters(&loadedEncounters);
    }

    QListView* list() const { return window->findChild<MonsterView*>(); }
    // The visible template names in order, the selected one in brackets.
    QString shownTemplates() const
    {
        QStringList names;
        QListView* view = list();
        for (int row = 0; row < view->model()->rowCount(); row++) {
            if (view->isRowHidden(row))
                continue;
            const QString name = view->model()->index(row, 0).data().toString();
            names.append(view->selectionModel()->isRowSelected(row, {}) ? "[" + name + "]" : name);
        }
        return names.join(", ");
    }
    void click(const QString& shown) const
    {
        QListView* view = list();
        for (int row = 0; row < view->model()->rowCount(); row++) {
            const QModelIndex index = view->model()->index(row, 0);
            if (index.data().toString() == shown) {
                view->scrollTo(index);
                QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(index).center());
                return;
            }
        }
        QFAIL(qPrintable("no template " + shown));
    }
    QAbstractButton* button(const QString& text) const
    {
        for (QAbstractButton* candidate : window->findChildren<QAbstractButton*>())
            if (candidate->text() == text)
                return candidate;
        return nullptr;
    }
    // The stat-block pane the user types in.
    QPlainTextEdit* statBlockPane() const
    {
        for (QPlainTextEdit* pane : window->findChildren<QPlainTextEdit*>())
            if (!pane->isHidden() && pane->toolTip().startsWith("Copy the text of a Stat Block"))
                return pane;
        return nullptr;
    }
    EncounterView* tree() const { return window->findChild<EncounterView*>(); }
    EncounterListModel* encounterModel() const { return qobject_cast<EncounterListModel*>(tree()->model()); }
    // The visible encounters with their groups and IDs, the selected row in brackets:
    // "Bridge Ambush(Marsh Raider{1, [2]}, Thornback Archer{A, B})".
    QString shownEncounters() const
    {
        QStringList encounters;
        for (int row = 0; row < encounterModel()->rowCount(); row++)
            if (!tree()->isRowHidden(row, QModelIndex()))
                encounters.append(shownRow(encounterModel()->index(row, 0), 0));
        return encounters.join(", ");
    }
    // The row under the path of texts clicked in the tree: {"Bridge Ambush", "Marsh Raider", "2"}.
    void clickEncounterRow(const QStringList& texts) const
    {
        QModelIndex parent;
        QModelIndex found;
        for (const QString& text : texts) {
            found = QModelIndex();
            for (int row = 0; row < encounterModel()->rowCount(parent) && !found.isValid(); row++)
                if (encounterModel()->index(row, 0, parent).data().toString() == text)
                    found = encounterModel()->index(row, 0, parent);
            QVERIFY2(found.isValid(), qPrintable("no row " + text));
            tree()->expand(parent);
            parent = found;
        }
        tree()->scrollTo(found);
        // The expanded rows are laid out on the next pass of the event loop.
        QCoreApplication::processEvents();
        QTest::mouseClick(tree()->viewport(), Qt::LeftButton, {}, tree()->visualRect(found).center());
    }
    // The highlighted row is the one the model hands the editor.
    void checkSelectionAgrees() const
    {
        EncounterPath highlighted;
        const QModelIndexList rows = tree()->selectionModel()->selectedRows();
        if (!rows.isEmpty())
            highlighted.indexToPath(rows.first());
        const EncounterPath held = encounterModel()->getSelection();
        QVERIFY2(highlighted == held, qPrintable(QString("highlighted %1/%2/%3, held %4/%5/%6")
                                                     .arg(highlighted.encounter).arg(highlighted.group)
                                                     .arg(highlighted.creature).arg(held.encounter)
                                                     .arg(held.group).arg(held.creature)));
    }
    // The n-th line edit of a titled box: "Selected Encounter" 0 is the name, "Selected Monster" 0 and 1 ID and alias.
    QLineEdit* fieldIn(const QString& boxTitle, int n) const
    {
        for (QGroupBox* box : window->findChildren<QGroupBox*>())
            if (box->title() == boxTitle)
                return box->findChildren<QLineEdit*>().value(n);
        return nullptr;
    }
    QLineEdit* encounterFilter() const
    {
        for (QLineEdit* edit : window->findChildren<QLineEdit*>())
            if (edit->parentWidget() == tree()->parentWidget())
                return edit;
        return nullptr;
    }
    QString monstersFolder() const { return world.root() + "/Monsters"; }

    QString encountersFolder() const { return world.root() + "/Encounters"; }

    TestWorld world;
    RecordingUiHooks hooks;
    std::unique_ptr<ManagerWindow> window;
    std::unique_ptr<QAbstractItemModelTester> tester;
    std::unique_ptr<QAbstractItemModelTester> encounterTester;

private:
    QString shownRow(const QModelIndex& index, int depth) const
    {
        QString text = index.data().toString();
        if (tree()->selectionModel()->isSelected(index))
            text = "[" + text + "]";
        QStringList children;
        for (int row = 0; row < encounterModel()->rowCount(index); row++)
            children.append(shownRow(encounterModel()->index(row, 0, index), depth + 1));
        if (children.isEmpty())
            return text;
        return text + (depth == 0 ? "(" : "{") + children.join(", ") + (depth == 0 ? ")" : "}");
    }
};

// The program's own hooks, which ask the editors, with the questions
// answered yes and the alerts recorded.
class AnsweringHooks : public WindowHooks
{
public:
    AnsweringHooks() { Global::setUiHooks(this); }
    ~AnsweringHooks() override { Global::setUiHooks(nullptr); }
    void alert(const QString& title, const QString& text) override { alerts.append(title + ": " + text); }
    bool rejectableAlert(const QString& title, const QString& text, const QString&) override
    {
        questions.append(title + ": " + text);
        return true;
    }

    QStringList alerts;
    QStringList questions;
};

// Runs the action while a timer answers the modal dialogs it opens; the
// answer gets the dialog and closes it. Returns how many dialogs came.
inline int answeringDialogs(const std::function<void()>& action, const std::function<void(QDialog*)>& answer)
{
    int dialogs = 0;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()); dialog && dialog->isVisible()) {
            dialogs++;
            answer(dialog);
            if (dialog->isVisible())
                dialog->reject();
        }
    });
    poll.start(10);
    action();
    return dialogs;
}

#endif
