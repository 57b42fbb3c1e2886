#ifndef JUMPINDIALOG_H
#define JUMPINDIALOG_H

#include <QDialog>
#include <QList>

class Creature;
class QComboBox;

// Which of the creatures waiting outside the turn order comes back in: the
// delayed ones first, then those with a readied action.
class JumpInDialog : public QDialog
{
    Q_OBJECT

public:
    JumpInDialog(const QList<Creature*>& delayed, const QList<Creature*>& readied);

    // The creature of the chosen entry; null when there is none.
    Creature* getJumpInCreature() const;
    QComboBox* getChoice() const { return choice; }

private:
    QList<Creature*> delayed;
    QList<Creature*> readied;
    QComboBox* choice;
};

#endif
