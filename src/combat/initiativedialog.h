#ifndef INITIATIVEDIALOG_H
#define INITIATIVEDIALOG_H

#include <QList>
#include <QObject>
#include <QPointer>
#include <QStringList>

#include "encounter/creaturelist.h"
#include "toolkit/flatdialog.h"

class Creature;
class QSpinBox;
class QToolButton;
class QVBoxLayout;

// One row of the initiative panel: a hero, a monster, or a monster group's own row.
struct InitiativeCreature
{
    QString name;
    // A monster group's own row holds its template, null when the library has none.
    Creature* creature = nullptr;
    // As rolled or typed; not held to the box's range.
    int initiative = 0;
    bool firstFocus = false;
    // The row's box in the content on display; null without one there.
    QSpinBox* spinBox = nullptr;
};

// A hero alone, or the monsters of one template: closed they share the
// head's roll, open each has its own.
struct InitiativeGroup
{
    bool open = false;
    QToolButton* button = nullptr;
    InitiativeCreature head;
    QList<InitiativeCreature> members;

    // Closing takes the first member's roll for all; opening gives it the shared one.
    void setOpen(bool value);
    bool isMonsterGroup() const { return !members.isEmpty(); }
    // The template, else the first member: who the group's row stands for.
    Creature* shownCreature() const;
};

// One side of the panel, heroes or monsters: its rows, their cells and their result.
class InitiativeData : public QObject, public WindowsAndDialogs
{
    Q_OBJECT

public:
    // Rolls the creature's row: a d20 plus its initiative bonus.
    void addInitiativeDetail(Creature* creature);
    int getListSize() const { return int(groups.size()); }
    const InitiativeGroup& getGroup(int index) const { return groups.at(index); }
    QWidget* getWidget(int index);
    // A closed row gives one item for all its creatures, an open one an item
    // each; the name-only creatures follow. Fresh tie values at every call.
    InitiativeList getInitiativeList() const;
    void setOpen(bool open);
    InitiativeGroup* getGroupByButton(QObject* button);
    InitiativeCreature* getInitiativByWidget(QObject* widget);

public slots:
    void onInitValueChanged(int value);
    void onOpenCloseClicked();

signals:
    void doInitValueChanged(Creature* creature, int value);
    void doOpenCloseClicked();

private:
    QSpinBox* makeBox(InitiativeCreature& row);

    QStringList nameOnly;
    QList<InitiativeGroup> groups;
};

// The panel in which the game master enters the heroes' initiative and
// rolls the monsters', one roll per group or per monster. While a hero's box
// has the focus the players' window asks that player for the roll.
class InitiativeDialog : public FlatDialog
{
    Q_OBJECT

public:
    explicit InitiativeDialog(const CreatureList& list);
    ~InitiativeDialog() override;

    // 1 at once, showing nothing, when no creature gets a row.
    int exec() override;
    InitiativeList getHeroInitiative() const { return heroes.getInitiativeList(); }
    InitiativeList getMonsterInitiative() const { return monsters.getInitiativeList(); }
    const InitiativeData& getHeroes() const { return heroes; }
    const InitiativeData& getMonsters() const { return monsters; }

private slots:
    void onSpinBoxValueChanged(Creature* creature, int value);
    void onOpenCloseClicked();
    void onAllExpandedClicked(bool on);
    void onInitFocusChanged(QWidget* old, QWidget* now);

private:
    QWidget* getInitiativeWidget();
    // The content follows a group opened or closed: built anew in place.
    void rebuild();

    QVBoxLayout* frame = nullptr;
    QPointer<QWidget> widget;
    InitiativeData heroes;
    InitiativeData monsters;
};

#endif
