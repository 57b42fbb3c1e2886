// Stat blocks of a monster, a hero, a trap, two selected creatures and an
// editor's template, and the game master's window with its creature docks.
#include <QDockWidget>
#include <QVBoxLayout>

#include "creature/creature.h"
#include "encounter/encounter.h"
#include "foundation/global.h"
#include "library/characters.h"
#include "library/monsters.h"
#include "mainwindow/creaturedisplay.h"
#include "mainwindow/mainwindow.h"
#include "screenshots/shotsink.h"

namespace {

// The whole stat block, as tall as it wants to be.
void shootStatBlock(ShotSink& sink, const QString& name, const QList<Creature*>& creatures, bool editorMode = false)
{
    CreatureDisplay display(editorMode, false);
    QWidget standard;
    standard.setLayout(display.standardDisplay());
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(display.getStatBlockDisplay());
    // A picture of the widget, never on the screen: only this resizes it, not
    // the window system's late answer to the size it was shown at.
    window.setAttribute(Qt::WA_DontShowOnScreen);
    window.resize(340, 300);
    window.show();
    if (creatures.size() == 1)
        display.displayCreature(creatures.first());
    else
        display.displayCreatures(creatures);
    refreshTick();
    const int height = display.getStatBlockDisplay()->widget()->sizeHint().height();
    window.resize(340, qBound(150, height + 4, 1600));
    refreshTick();
    sink.save(name, &window);
}

void statBlockShots(ShotSink& sink)
{
    Creature* hound = Global::monsters->getMonsterInstance("Ashen Hound", "1", false);
    Creature* idrel = Global::characters->findCharacter("Idrel Vane");
    Creature* trap = Global::monsters->findTemplate("Pendulum Blade Trap");
    Creature* hag = Global::monsters->findTemplate("Bog Hag Mother");
    if (!hound || !idrel || !trap || !hag) {
        sink.save("statblock-monster", QImage());
        return;
    }
    shootStatBlock(sink, "statblock-monster", {hound});
    idrel->toggleSectionCompaction(Power::Minor);
    shootStatBlock(sink, "statblock-hero", {idrel});
    idrel->toggleSectionCompaction(Power::Minor);
    shootStatBlock(sink, "statblock-trap", {trap});
    // Bloodied in red and a pending gain in blue on the trap's tan, its source in the notes' grey.
    const CreatureStats kept = trap->getStats();
    CreatureStats published = kept;
    published.published = "Published in the Marsh Folio, page 12.";
    trap->setStats(published);
    trap->setCurrHitPoints(trap->getBloodiedValue());
    trap->setDeltaCurrHealth(0, 5, 0);
    shootStatBlock(sink, "statblock-trap-bloodied", {trap});
    trap->setDeltaCurrHealth(0, 0, 0);
    trap->setCurrHitPoints(trap->getMaxHitPoints());
    trap->setStats(kept);
    shootStatBlock(sink, "statblock-multi", Global::encounter->getSelectedCreatures());
    shootStatBlock(sink, "statblock-editor", {hag}, true);

    // At the first start's size, the docks a stat block wide as a first start opens them; then dragged as
    // narrow as they go, where the stat blocks wrap.
    MainWindow* window = Global::mainWindow;
    window->resize(window->firstStartSize());
    const QList<QDockWidget*> docks{window->findChild<QDockWidget*>("currentWidget"),
                                    window->findChild<QDockWidget*>("selectedWidget")};
    const auto shootDocks = [&](const QString& name, int width) {
        window->resizeDocks(docks, {width, width}, Qt::Horizontal);
        refreshTick();
        sink.save(name, window);
    };
    shootDocks("creature-docks", MainWindow::statBlockWidth(window));
    shootDocks("creature-docks-narrow", 1);
}

const ShotRegistration registration("stat blocks", statBlockShots);

}
