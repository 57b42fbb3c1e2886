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

private:
    DogTag dogTag{__LINE__, __FILE__};
};

#endif
