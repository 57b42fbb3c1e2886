#ifndef SHORTRESTDIALOG_H
#define SHORTRESTDIALOG_H

#include <QList>
#include <QPointer>

#include "creature/creature.h"
#include "toolkit/flatdialog.h"

class QCheckBox;
class QLabel;
class QSpinBox;

// One hero's row: what it spends and regains, and its figures as they would become.
struct ShortRestControls
{
    QPointer<Creature> hero;
    QSpinBox* surges = nullptr;
    QSpinBox* extraHitPoints = nullptr;
    QLabel* result = nullptr;
    QLabel* surgeCounter = nullptr;
    QLabel* hitPointCounter = nullptr;
    QLabel* actionPointCounter = nullptr;
};

// The panel of a short rest: per living hero the healing surges spent and
// extra hit points regained, and one milestone action point for all. What is
// entered shows at once on every display as the heroes' pending changes,
// which end with the panel; the caller records the rest from
// getRestedCreatures().
class ShortRestDialog : public FlatDialog
{
    Q_OBJECT

public:
    explicit ShortRestDialog(QWidget* parent = nullptr);
    ~ShortRestDialog() override;

    // Drops the previews and shows the current creature again afterwards.
    int exec() override;
    // One entry per row, in row order, also for heroes with nothing entered.
    QList<RestedCreature> getRestedCreatures() const;

    static QString newHPString(int hitPoints, Creature* creature);

    QCheckBox* getMilestoneBox() const { return milestoneBox; }
    const QList<ShortRestControls>& getRows() const { return rows; }

private slots:
    void onRestValueChanged();
    void onRestFocusChanged(QWidget* old, QWidget* now);

private:
    void setupControls();
    QWidget* rowBox(ShortRestControls& row);
    void setControls(ShortRestControls& row);
    // Each total keeps the room of the widest text that what can be entered makes of it.
    static void reserveRoom(const ShortRestControls& row);
    static QString hitPointText(Creature* hero, int hitPoints);
    static QString surgeText(Creature* hero, int surges);
    static QString actionPointText(int actionPoints);

    QCheckBox* milestoneBox = nullptr;
    QList<ShortRestControls> rows;
};

#endif
