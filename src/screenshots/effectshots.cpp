// Pictures of the conditions-and-effects dialog, previewing on the docks,
// and of the effects dock, over the demonstration fight.
#include <QDockWidget>
#include <QGroupBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QTimer>

#include "combat/effectdialog.h"
#include "creature/creature.h"
#include "encounter/effectevents.h"
#include "encounter/encounter.h"
#include "encounter/history.h"
#include "foundation/global.h"
#include "library/characters.h"
#include "mainwindow/mainwindow.h"
#include "screenshots/shotsink.h"

namespace {

template <typename Widget>
Widget* inBox(EffectDialog& dialog, const QString& title)
{
    for (QGroupBox* box : dialog.getWidget()->findChildren<QGroupBox*>())
        if (box->title() == title)
            return box->findChild<Widget*>();
    return nullptr;
}

// The game master's choice of an entry, by its data.
void choose(QComboBox* box, int data)
{
    const int index = box ? box->findData(data) : -1;
    if (index < 0)
        return;
    box->setCurrentIndex(index);
    emit box->activated(index);
}

void dialogShot(ShotSink& sink, QSize size, const QString& name)
{
    Creature* healer = Global::characters->findCharacter("Idrel Vane");
    Creature* wren = Global::characters->findCharacter("Wren Talloway");
    Creature* oriel = Global::characters->findCharacter("Oriel Fenwhistle");
    const QList<Creature*> selected = Global::encounter->getSelectedCreatures();
    // The two targets' surges are worth 7 and 6: each spends one at its own value.
    Global::encounter->setSelectedCreatures({wren, oriel});
    EffectDialog dialog(healer, {wren, oriel}, {});
    QTimer::singleShot(50, [&] {
        choose(inBox<QComboBox>(dialog, "Healing Surges"), EffectEntries::OwnSurgeValue);
        if (auto* heal = inBox<QSpinBox>(dialog, "Healing"))
            heal->setValue(3);
        choose(inBox<QComboBox>(dialog, "Conditions"), CE::GrantsCombatAdvantage);
        if (auto* comment = inBox<QLineEdit>(dialog, "Custom Condition/Effect or Add Comment"))
            comment->setText("until they stand up");
        // The docks redraw the preview on the refresh tick.
        emit Global::switchBoard.doRefreshTimer();
        QCoreApplication::processEvents();
        sink.save(name, Global::mainWindow);
        dialog.reject();
    });
    Global::mainWindow->resize(size);
    dialog.exec();
    Global::encounter->setSelectedCreatures(selected);
}

// A heading with its members under it, and single effects.
void dockShot(ShotSink& sink)
{
    Creature* brom = Global::characters->findCharacter("Wren Talloway");
    Creature* hound = nullptr;
    for (int i = 0; Creature* creature = Global::encounter->getCreature(i); i++)
        if (creature->getGroup() == "Ashen Hound")
            hound = creature;
    const QList<Creature*> selected = Global::encounter->getSelectedCreatures();
    ObjectStream* stream = Global::history->getStream(false);
    EffectDetails details;
    details.origin = brom;
    details.sourceName = "Warlord's Favor";
    details.groupId = 99;
    details.endCondition = CE::EndOfOriginsNextTurn;
    int recorded = 0;
    for (CE::EffectType type : {CE::Dazed, CE::Prone}) {
        details.type = type;
        if (stream && hound && Global::history->apply(new EffectEvent(details, {hound}, stream), false))
            recorded++;
    }
    Global::encounter->setSelectedCreatures({hound});
    emit Global::switchBoard.doRefreshTimer();
    QCoreApplication::processEvents();
    sink.save("effects-dock", Global::mainWindow->findChild<QDockWidget*>("effectsWidget"));
    // The fight goes back to what the other pictures show.
    for (int i = 0; i < recorded; i++)
        Global::history->back();
    if (recorded)
        Global::history->truncate();
    Global::encounter->setSelectedCreatures(selected);
}

void effectShots(ShotSink& sink)
{
    dialogShot(sink, QSize(1400, 800), "effect-dialog");
    // A first start's size on a 1,152 × 720 screen: the rows give way, the buttons stay in view.
    dialogShot(sink, QSize(1037, 648), "effect-dialog-1037x648");
    Global::mainWindow->resize(1400, 800);
    dockShot(sink);
}

ShotRegistration shots("effects", effectShots);

}
