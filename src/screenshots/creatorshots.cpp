// The character creator: a hero's stat block and text, his edit boxes, a
// hero linked to a builder file, a power programmed, and the alert of a
// duplicate name.
#include <QLineEdit>
#include <QSplitter>
#include <QTabWidget>

#include "editors/characterdetails.h"
#include "editors/characterwindow.h"
#include "foundation/global.h"
#include "library/characters.h"
#include "powerdialog/powerwidget.h"
#include "screenshots/shotsink.h"

namespace {

void selectCharacter(CharacterWindow* window, const QString& name)
{
    auto* view = window->findChild<CharacterView*>();
    const int row = Global::characters->getCharacterIndex(Global::characters->findCharacter(name));
    view->selectionModel()->select(view->model()->index(row, 0), QItemSelectionModel::ClearAndSelect);
    refreshTick();
}

void shootTab(ShotSink& sink, CharacterWindow* window, const QString& name, int tab)
{
    window->findChild<QTabWidget*>()->setCurrentIndex(tab);
    refreshTick();
    sink.save(name, window);
}

void creatorShots(ShotSink& sink)
{
    CharacterWindow* window = Global::characterWindow;
    Creature* kestrel = Global::characters->findCharacter("Kestrel Dunmore");
    if (!window || !kestrel) {
        sink.save("creator-statblock", QImage());
        return;
    }
    showAtFirstStartSize(window, window->findChild<QSplitter*>());
    selectCharacter(window, "Idrel Vane");
    shootTab(sink, window, "creator-statblock", 0);
    shootTab(sink, window, "creator-details", 1);

    // Linked to a builder file kept in the data folder, the link not saved yet.
    kestrel->setImportFile("Imports/kestrel-dunmore.dnd4e");
    kestrel->setLinked(true, false);
    kestrel->dirtyStateHasChanged();
    selectCharacter(window, "Kestrel Dunmore");
    shootTab(sink, window, "creator-import", 3);

    // A power clicked in the stat block, its effect steps programmed.
    selectCharacter(window, "Idrel Vane");
    Creature* idrel = Global::characters->findCharacter("Idrel Vane");
    window->onPowerClicked(idrel, idrel->getPowers().getPowerByName("Word of Mending"));
    if (auto* editor = window->findChild<QTabWidget*>()->widget(2)->findChild<PowerWidget*>())
        editor->setStepType(Power::Effect);
    shootTab(sink, window, "creator-powers", 2);
    // Narrowed to half a 1920×1080 screen.
    window->resize(960, 600);
    shootTab(sink, window, "creator-details-narrow", 1);

    window->findChild<QTabWidget*>()->setCurrentIndex(1);
    sink.saveModal("duplicate-character", [window] {
        window->findChild<CharacterDetails*>()->getNameEdit()->setText("Kestrel Dunmore");
    });
    window->hide();
}

const ShotRegistration registration("character creator", creatorShots);

}
