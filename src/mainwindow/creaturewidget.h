#ifndef CREATUREWIDGET_H
#define CREATUREWIDGET_H

#include <QList>
#include <QPointer>
#include <QWidget>

#include "foundation/dogtag.h"
#include "mainwindow/creaturedisplay.h"
#include "toolkit/windowsanddialogs.h"

class Creature;
class CreaturePower;

// The contents of the current-creature and selected-creatures docks: a stat
// block that follows the encounter, in which a click on a power uses it.
// Requests that need the main window's commands leave as signals.
class CreatureWidget : public QWidget, public WindowsAndDialogs
{
    Q_OBJECT

public:
    CreatureWidget(QWidget* parent, bool current);

    void drawCreature(Creature* shown);
    void drawCreature();

signals:
    // The conditions-and-effects flow for a power of the origin.
    void doConditionOrEffectRequested(Creature* origin, const QString& powerName, CreaturePower* power,
                                      const QString& actionName);
    void doShowAliases(const QList<Creature*>& creatures, bool show);
    void doEditAliases(const QList<Creature*>& creatures);
    // The one selected creature whose conditions and effects are listed; null for none or several.
    void doEffectCreatureChanged(Creature* creature);

public slots:
    void currentCreatureChanged();
    void creatureSelectionChanged();
    void currentDetailsChanged(Creature* updated);
    void onPowerClicked(Creature* origin, CreaturePower* power);

private:
    QPointer<Creature> creature;
    QList<QPointer<Creature>> creatures;
    CreatureDisplay display;
    DogTag dogTag{__LINE__, __FILE__};
};

#endif
