#ifndef ENCOUNTER_H
#define ENCOUNTER_H

#include <QObject>

#include "dogtag.h"

// The running encounter: creatures in initiative order, the current one and the round.
class Encounter : public QObject
{
    Q_OBJECT

public:
    explicit Encounter(QObject* parent = nullptr) : QObject(parent) {}

    // Running while some creature's turn it is.
    bool isRunning() const { return currentIndex != -1; }
    int getCurrentIndex() const { return currentIndex; }
    void setCurrentIndex(int index) { currentIndex = index; }
    // A creature was edited by hand: the next command records those edits first.
    void setCreatureEdited() { creatureEdited = true; }
    bool isCreatureEdited() const { return creatureEdited; }

private:
    int currentIndex = -1;
    bool creatureEdited = false;
    DogTag dogTag{__LINE__, __FILE__};
};

#endif
