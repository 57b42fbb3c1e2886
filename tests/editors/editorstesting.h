#ifndef EDITORSTESTING_H
#define EDITORSTESTING_H

#include <QAbstractButton>
#include <QAbstractItemModelTester>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QListView>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

#include "creature/creature.h"
#include "editors/managerwindow.h"
#include "foundation/global.h"
#include "library/encounters.h"
#include "library/monsters.h"
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
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        tester = std::make_unique<QAbstractItemModelTester>(list()->model(),
                                                            QAbstractItemModelTester::FailureReportingMode::QtTest);
    }

    ~ManagerWorld()
    {
        tester.reset();
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
    QString monstersFolder() const { return world.root() + "/Monsters"; }

    TestWorld world;
    RecordingUiHooks hooks;
    std::unique_ptr<ManagerWindow> window;
    std::unique_ptr<QAbstractItemModelTester> tester;
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
