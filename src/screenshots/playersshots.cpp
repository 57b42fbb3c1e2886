// The players' window over the demonstration fight: the order without the
// hidden monster, a delayed hero, two kills and the ticker.
#include <QApplication>

#include "creature/creature.h"
#include "encounter/damageevents.h"
#include "encounter/encounter.h"
#include "encounter/history.h"
#include "foundation/global.h"
#include "library/characters.h"
#include "library/monsters.h"
#include "mainwindow/playerslistmodel.h"
#include "mainwindow/playerswindow.h"
#include "screenshots/shotsink.h"

namespace {

void shoot(ShotSink& sink, const QString& name, QSize size)
{
    PlayersWindow* window = Global::playersWindow;
    window->resize(size);
    window->show();
    window->getPlayersList()->refreshList();
    QApplication::processEvents();
    sink.save(name, window);
}

void playersShots(ShotSink& sink)
{
    if (!Global::playersWindow)
        return;
    // A second kill for the picture, taken back afterwards for the other pictures.
    Creature* killer = Global::characters->findCharacter("Wren Talloway");
    Creature* victim = Global::monsters->getMonsterInstance("Ashen Hound", "1", false);
    ObjectStream* stream = Global::history->getStream(false);
    const bool added = stream && Global::history->apply(new DamageEvent("Hit", killer, victim, 40, "", stream), false);
    shoot(sink, "players-window", QSize(1280, 720));
    shoot(sink, "players-window-small", QSize(640, 400));
    Global::playersWindow->hide();
    if (added) {
        Global::history->back();
        Global::history->truncate();
    }
}

const ShotRegistration registration("players' window", playersShots);

}
