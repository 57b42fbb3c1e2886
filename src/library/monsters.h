#ifndef MONSTERS_H
#define MONSTERS_H

#include <QObject>

#include "dogtag.h"

// The monster templates and the monster instances taken into encounters.
class Monsters : public QObject
{
    Q_OBJECT

public:
    explicit Monsters(QObject* parent = nullptr) : QObject(parent) {}

private:
    DogTag dogTag{__LINE__, __FILE__};
};

#endif
