// Pictures of the initiative table with the demonstration fight: the table
// itself, and with its header menu and its cell menu open over it.
#include <QApplication>
#include <QCursor>
#include <QMenu>
#include <QPainter>
#include <QTimer>

#include <functional>

#include "creature/creature.h"
#include "encounter/encounter.h"
#include "foundation/global.h"
#include "library/characters.h"
#include "library/monsters.h"
#include "mainwindow/maininitiativelist.h"
#include "mainwindow/mainwindow.h"
#include "screenshots/shotsink.h"

namespace {

// Opens a menu with the mouse at the point of the table, pictures the table
// with the whole menu over it, and closes the menu.
void saveWithMenu(ShotSink& sink, const QString& name, MainInitiativeList* table, QPoint at,
                  const std::function<void()>& open)
{
    QCursor::setPos(table->mapToGlobal(at));
    bool grabbed = false;
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu || grabbed)
            return;
        grabbed = true;
        // The menu may reach past the table's edge: the picture takes both whole.
        const QRect menuArea(table->mapFromGlobal(menu->pos()), menu->size());
        const QRect area = table->rect().united(menuArea);
        QImage picture(area.size(), QImage::Format_RGB32);
        picture.fill(table->palette().color(QPalette::Window));
        QPainter painter(&picture);
        painter.drawPixmap(-area.topLeft(), table->grab());
        painter.drawPixmap(menuArea.topLeft() - area.topLeft(), menu->grab());
        painter.end();
        sink.save(name, picture);
        menu->close();
    });
    poll.start();
    // Now and then, on a loaded X server, the menu was gone before the poll
    // saw it: it is opened again, a few times at most.
    for (int attempt = 0; attempt < 3 && !grabbed; ++attempt)
        open();
    if (!grabbed)
        sink.save(name, QImage());
}

void initiativeTableShots(ShotSink& sink)
{
    // What the recorded fight lacks stands in the table for these pictures
    // only: a dead monster not yet removed, a trap and a readied hero.
    Encounter* encounter = Global::encounter;
    const CreatureList fight = encounter->getCreatureList();
    Creature* dead = Global::monsters->getMonsterInstance("Mire Goblin Shank", "1", false);
    Creature* trap = Global::monsters->getMonsterInstance("Pendulum Blade Trap", "1", true);
    Creature* ready = Global::characters->findCharacter("Kestrel Dunmore");
    QList<Creature*> shown = fight.getCreatureList();
    shown.insert(encounter->getCurrentIndex() + 3, dead);
    shown << trap << ready;
    ready->setReady(true);
    encounter->setCreatureList(CreatureList(shown));

    auto* table = Global::mainWindow->findChild<MainInitiativeList*>();
    table->updateList();
    QApplication::processEvents();
    sink.save("initiative-table", table);

    saveWithMenu(sink, "initiative-table-header-menu", table, QPoint(260, 12), [&] { table->onInitHeaderClicked(); });

    // A right click on the conditions cell of a selected creature.
    const int row = Global::encounter->getSelectedIndexes().value(0);
    const QRect cell = table->visualRect(table->model()->index(row, MainInitiativeList::EffectsColumn));
    const QPoint at = table->viewport()->mapTo(table, cell.topLeft() + QPoint(40, 12));
    saveWithMenu(sink, "initiative-table-cell-menu", table, at, [&] {
        table->onInitListPressed(row, MainInitiativeList::EffectsColumn, Qt::RightButton, Qt::NoModifier);
        table->onInitListClicked(row, MainInitiativeList::EffectsColumn);
    });

    ready->setReady(false);
    encounter->setCreatureList(fight);
    table->updateList();
}

const ShotRegistration registration("initiative table", initiativeTableShots);

}
