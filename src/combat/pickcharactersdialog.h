#ifndef PICKCHARACTERSDIALOG_H
#define PICKCHARACTERSDIALOG_H

#include <QList>
#include <QPointer>

#include "encounter/creaturelist.h"
#include "toolkit/flatdialog.h"

class Creature;
class QAbstractButton;
class QCheckBox;
class QPushButton;

// The panel that picks the party from the character library, a grid of
// portraits with check boxes. While no encounter runs it picks the whole
// party; while one runs it only adds to it. Ends with 0 (cancelled) or 1.
class PickCharactersDialog : public FlatDialog
{
    Q_OBJECT

public:
    explicit PickCharactersDialog(QWidget* parent = nullptr);

    // Shows the current creature again in its dock afterwards.
    int exec() override;
    // The chosen characters, empty when the choice leaves the party as it is;
    // add tells whether they join the party or replace it.
    CreatureList getParty(bool& add) const;
    bool haveSelection() const;

public slots:
    void onChecked();
    void onClicked(QAbstractButton* button);

private:
    // A box and the character it stood for when the panel was built.
    struct Choice
    {
        QCheckBox* box;
        QPointer<Creature> character;
    };

    QWidget* characterCell(Creature* character, QCheckBox* box);

    QList<Choice> choices;
    bool addMode = false;
    bool all = false;
    QPushButton* cancelButton;
    QPushButton* allButton;
    QPushButton* selectButton;
};

#endif
