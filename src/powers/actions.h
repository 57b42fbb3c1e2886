#ifndef ACTIONS_H
#define ACTIONS_H

#include <QList>
#include <QObject>
#include <QString>

#include "powers/power.h"

// The actions every creature can take, kept in the data folder's "actions.txt".
class Actions : public QObject
{
    Q_OBJECT

public:
    explicit Actions(QObject* parent = nullptr) : QObject(parent) {}

    // Reads the actions of the data folder at root; none without a file.
    void loadActions(const QString& root);
    // Takes the actions and the folder of another.
    void newActions(Actions* loaded);

    CreaturePower* getActionByName(const QString& name) { return actions.getPowerByName(name); }
    QList<CreaturePower*> getActionList(bool sorted) { return actions.getPowerList(sorted); }
    // Adds the action, or updates the one of that name; the file is written
    // when the action's text changed.
    void updateAction(const QString& name, const CreaturePower* action);
    void deleteAction(const QString& name);

private:
    QString getFilePath() const;
    void writeActions();

    QString rootPath;
    Powers actions;
};

#endif
