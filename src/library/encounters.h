#ifndef ENCOUNTERS_H
#define ENCOUNTERS_H

#include <QObject>

#include "foundation/dogtag.h"

// The library of prepared encounters.
class Encounters : public QObject
{
    Q_OBJECT

public:
    explicit Encounters(QObject* parent = nullptr) : QObject(parent) {}

private:
    DogTag dogTag{__LINE__, __FILE__};
};

#endif
