#ifndef CHARACTERS_H
#define CHARACTERS_H

#include <QList>
#include <QObject>
#include <QString>

#include "creature/creature.h"
#include "foundation/dogtag.h"

// The party's character library. Owns its characters.
class Characters : public QObject
{
    Q_OBJECT

public:
    explicit Characters(QObject* parent = nullptr);
    ~Characters() override;

    // Takes the character, keeping the list sorted by name.
    void addCharacter(Creature* character);
    Creature* findCharacter(const QString& name, Creature* exclude = nullptr) const;
    // With create, a name the library lacks gets a placeholder hero marked missing.
    Creature* getCharacter(const QString& name, bool create);
    // Takes the character out of the library but keeps it alive until the library is reset.
    void deleteCharacter(Creature* character);
    int getCharacterCount() const { return characters.size(); }
    Creature* getCharacter(int i) const { return characters.value(i); }
    CreatureCounts* getCounts() const { return counts; }

private:
    CreatureCounts* counts;
    QList<Creature*> characters;
    QList<Creature*> removed;
    DogTag dogTag{__LINE__, __FILE__};
};

#endif
