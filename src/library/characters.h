#ifndef CHARACTERS_H
#define CHARACTERS_H

#include <QObject>

#include "dogtag.h"

// The party's character library.
class Characters : public QObject
{
    Q_OBJECT

public:
    explicit Characters(QObject* parent = nullptr) : QObject(parent) {}

private:
    DogTag dogTag{__LINE__, __FILE__};
};

#endif
