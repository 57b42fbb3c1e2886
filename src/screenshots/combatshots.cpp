// Pictures of the pickers inside the main window, over the demonstration fight.
#include <QCheckBox>
#include <QLineEdit>
#include <QTableView>
#include <QTimer>

#include "combat/pickcharactersdialog.h"
#include "combat/pickencounterdialog.h"
#include "combat/pickmonsterdialog.h"
#include "encounter/encounter.h"
#include "foundation/global.h"
#include "mainwindow/mainwindow.h"
#include "screenshots/shotsink.h"

namespace {

// Shows the panel in the window, lets the steps fill it in and takes the picture.
void shootPanel(ShotSink& sink, const QString& name, FlatDialog& panel, const std::function<void()>& steps)
{
    QTimer::singleShot(50, [&] {
        steps();
        QCoreApplication::processEvents();
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

void pickerShots(ShotSink& sink)
{
    Global::mainWindow->resize(1400, 640);
    {
        PickMonsterDialog monsters;
        shootPanel(sink, "monster-picker", monsters, [&] {
            monsters.getFilterEdit()->setText("goblin");
            monsters.onFilterChanged(nullptr);
            selectRow(monsters.getView(), "Goblin");
            monsters.getIdEdit()->setText("4");
            monsters.getAliasEdit()->setText("The Quiet One");
        });
    }
    {
        PickEncounterDialog encounters("All Adventures");
        shootPanel(sink, "encounter-picker", encounters, [&] { encounters.getView()->selectRow(0); });
    }
    {
        PickCharactersDialog party;
        shootPanel(sink, "party-picker-add", party, [] {});
    }
    // The same party picked anew between fights.
    const int current = Global::encounter->getCurrentIndex();
    Global::encounter->setCurrentIndex(-1);
    {
        PickCharactersDialog party;
        shootPanel(sink, "party-picker", party, [&] {
            QList<QCheckBox*> boxes = party.getWidget()->findChildren<QCheckBox*>();
            if (!boxes.isEmpty())
                boxes.last()->click();
        });
    }
    Global::encounter->setCurrentIndex(current);
}

ShotRegistration combatShots("combat", pickerShots);

}
