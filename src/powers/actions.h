#ifndef ACTIONS_H
#define ACTIONS_H

#include <QObject>

// The actions every creature can take, from the data folder's actions list.
class Actions : public QObject
{
    Q_OBJECT

public:
    explicit Actions(QObject* parent = nullptr) : QObject(parent) {}
};

#endif
