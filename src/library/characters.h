#ifndef CHARACTERS_H
#define CHARACTERS_H

#include <QList>
#include <QObject>
#include <QString>

#include "creature/creature.h"
#include "foundation/dogtag.h"
#include "library/library.h"

class Progress;

// The party's character library. Owns its characters, and keeps those taken
// out of it alive until a new history starts: the history still names them.
class Characters : public Library
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
    int getCharacterIndex(Creature* character) const { return characters.indexOf(character); }
    int getCharacterPos(const QString& name, int skip) const;
    // Takes the character out of the library; with keep it stays alive until the library is reset.
    void deleteCharacter(int i, bool keep);
    void deleteCharacter(Creature* character) { deleteCharacter(getCharacterIndex(character), true); }
    QString getNewCharacter() const;
    // The file name for a character made from a builder file: the file's
    // own name, numbered until it is free on disk and among the characters'
    // file names (one not yet saved holds its name unwritten). A name the
    // loader would skip takes the character's usual file name instead.
    QString getImportedFileName(const Creature* character) const;
    // 1 go on, 0 stop, 2 choose another data folder.
    int loadCharacters(const QString& root, const QString& prettyRoot, Progress* progress);
    // The characters the library named otherwise than their file, as list items (LibraryList::renamedOnLoading).
    QStringList getRenamed() const;
    static int getFileCount(const QString& root);
    // A new history begins: every character rests and leaves it.
    void resetCharacters();
    // Takes over what another library loaded, which is left empty.
    void newCharacters(Characters* loaded);
    int getCharacterCount() const { return characters.size(); }
    Creature* getCharacter(int i) const { return characters.value(i); }

    // The command that picks the party.
    void pickCharacters();

signals:
    void doCharactersUpdated();

protected:
    void deleteEntries() override;
    bool isEmpty() const override { return characters.isEmpty(); }

private:
    QList<Creature*> characters;
    QList<Creature*> removed;
    DogTag dogTag{__LINE__, __FILE__};
};

#endif
