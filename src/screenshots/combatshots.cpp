// Pictures of the pickers inside the main window, over the demonstration fight.
#include <QCheckBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QTableView>
#include <QTimer>

#include "combat/pickcharactersdialog.h"
#include "combat/pickencounterdialog.h"
#include "combat/pickmonsterdialog.h"
#include "combat/setaliasdialog.h"
#include "combat/shortrestdialog.h"
#include "creature/creature.h"
#include "encounter/encounter.h"
#include "foundation/global.h"
#include "mainwindow/mainwindow.h"
#include "screenshots/shotsink.h"

namespace {

// Shows the panel in the window, lets the steps fill it in and takes the
// picture once the docks drew the fight behind it.
void shootPanel(ShotSink& sink, const QString& name, FlatDialog& panel, const std::function<void()>& steps)
{
    QTimer::singleShot(50, [&] {
        steps();
        refreshTick();
        sink.save(name, Global::mainWindow);
        panel.reject();
    });
    panel.exec();
}

// The first visible row whose name contains the text.
void selectRow(QTableView* view, const QString& text)
{
    for (int row = 0; row < view->model()->rowCount(); row++)
        if (!view->isRowHidden(row) && view->model()->index(row, 0).data().toString().contains(text)) {
            view->selectRow(row);
            return;
        }
}

// Between two fights: the encounter stands stopped while the steps run.
void betweenFights(const std::function<void()>& steps)
{
    const int current = Global::encounter->getCurrentIndex();
    Global::encounter->setCurrentIndex(-1);
    steps();
    Global::encounter->setCurrentIndex(current);
}

void pickersAt(ShotSink& sink, QSize size, const QString& suffix)
{
    // The last panel's least width leaves the window's least size once laid out.
    QCoreApplication::processEvents();
    Global::mainWindow->resize(size);
    {
        PickMonsterDialog monsters;
        shootPanel(sink, "monster-picker" + suffix, monsters, [&] {
            monsters.getFilterEdit()->setText("goblin");
            monsters.onFilterChanged(nullptr);
            selectRow(monsters.getView(), "Goblin");
            monsters.getIdEdit()->setText("4");
            monsters.getAliasEdit()->setText("The Quiet One");
        });
    }
    {
        PickEncounterDialog encounters("All Adventures");
        shootPanel(sink, "encounter-picker" + suffix, encounters, [&] { encounters.getView()->selectRow(0); });
    }
    {
        PickCharactersDialog party;
        shootPanel(sink, "party-picker-add" + suffix, party, [] {});
    }
    // The same party picked anew between fights.
    betweenFights([&] {
        PickCharactersDialog party;
        shootPanel(sink, "party-picker" + suffix, party, [&] {
            QList<QCheckBox*> boxes = party.getWidget()->findChildren<QCheckBox*>();
            if (!boxes.isEmpty())
                boxes.last()->click();
        });
    });
}

void pickerShots(ShotSink& sink)
{
    const QSize before = Global::mainWindow->size();
    pickersAt(sink, QSize(1400, 640), QString());
    // A first start's size on a 1,152 × 720 screen: the lists give way, the buttons and boxes stay in view.
    pickersAt(sink, QSize(1037, 648), "-1037x648");
    Global::mainWindow->resize(before);
}

// A short rest between fights: a wounded hero spends a surge, the party reaches a milestone;
// then the alias dialog for three creatures, one of which shows an alias.
void rosterShots(ShotSink& sink)
{
    Global::mainWindow->resize(1400, 640);
    betweenFights([&] {
        ShortRestDialog rest;
        shootPanel(sink, "short-rest", rest, [&] {
            for (const ShortRestControls& row : rest.getRows())
                if (row.hero->getCurrHitPoints() < row.hero->getMaxHitPoints()) {
                    row.surges->setValue(1);
                    break;
                }
            rest.getMilestoneBox()->setChecked(true);
        });
    });

    const QList<Creature*> creatures = Global::encounter->getCreatureList().getCreatureList().mid(0, 3);
    Creature* masked = creatures.value(1);
    if (!masked)
        return;
    const QString alias = masked->getAlias();
    const bool shown = masked->isShowAlias();
    masked->setAlias("The Grey Cloak");
    masked->setShowAlias(true);
    sink.saveModal("set-alias", [&] {
        SetAliasDialog dialog(creatures);
        dialog.exec();
    });
    masked->setAlias(alias);
    masked->setShowAlias(shown);
}

ShotRegistration combatShots("combat", pickerShots);
ShotRegistration rosterShotsRegistration("short rest and alias", rosterShots);

}
