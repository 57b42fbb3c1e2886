#ifndef HISTORY_H
#define HISTORY_H

#include <QObject>

#include "dogtag.h"

// The undoable events and the log they are recorded in.
class History : public QObject
{
    Q_OBJECT

public:
    explicit History(QObject* parent = nullptr) : QObject(parent) {}

private:
    DogTag dogTag{__LINE__, __FILE__};
};

#endif
