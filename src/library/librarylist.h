#ifndef LIBRARYLIST_H
#define LIBRARYLIST_H

#include <QList>
#include <QString>

#include "creature/creature.h"

namespace LibraryList {

// Inserts after every creature whose key sorts before or equal to the new
// one's, ignoring case, so equal keys keep their order of insertion.
inline void insertSorted(QList<Creature*>& list, Creature* creature, QString (Creature::*key)() const)
{
    QString newKey = (creature->*key)();
    int at = 0;
    while (at < list.size() && (list[at]->*key)().compare(newKey, Qt::CaseInsensitive) <= 0)
        at++;
    list.insert(at, creature);
}

}

#endif
