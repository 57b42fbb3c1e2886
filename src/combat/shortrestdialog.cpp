#include "combat/shortrestdialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>

#include "encounter/encounter.h"
#include "foundation/global.h"
#include "foundation/saturating.h"
#include "foundation/textcolours.h"
#include "toolkit/inputwidgets.h"
#include "toolkit/panelhost.h"

namespace {

QHBoxLayout* rowLayout()
{
    auto* layout = new QHBoxLayout;
    layout->setContentsMargins(5, 5, 5, 5);
    return layout;
}

// The hit points of a hero who spends the surges and regains the extra;
// healing starts from 0 for a hero below it.
int restedHitPoints(const Creature* hero, int hitPoints, int surgesUsed, int extra)
{
    if (extra == 0 && surgesUsed == 0)
        return hitPoints;
    return Saturating::clamped(qint64(hero->getSurgeValue()) * surgesUsed + qMax(hitPoints, 0) + extra);
}

QString resultText(int hitPoints)
{
    return QString("= %1").arg(hitPoints);
}

}

ShortRestDialog::ShortRestDialog(QWidget* parent) : FlatDialog(parent)
{
    setupControls();
    auto* layout = new QVBoxLayout;
    QHBoxLayout* milestone = rowLayout();
    milestone->addWidget(htmlLabel(tr("Grant <b>Action Point</b> (Milestone)")));
    milestone->addWidget(milestoneBox);
    milestone->addStretch(0);
    layout->addWidget(layoutToWidget(milestone));
    for (ShortRestControls& row : rows)
        layout->addWidget(rowBox(row));
    auto* buttons = new DialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, Qt::Horizontal);
    connect(buttons, &QDialogButtonBox::accepted, this, &FlatDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &FlatDialog::reject);
    layout->addWidget(buttons);
    FlatDialog::setLayout(layout);
    setWindowTitle(tr("Short Rest"));
    connect(qApp, &QApplication::focusChanged, this, &ShortRestDialog::onRestFocusChanged);
}

ShortRestDialog::~ShortRestDialog()
{
    disconnect(qApp, &QApplication::focusChanged, this, &ShortRestDialog::onRestFocusChanged);
    if (PanelHost* host = PanelHost::instance())
        host->drawYourTurnCreature(nullptr, QString());
}

void ShortRestDialog::setupControls()
{
    milestoneBox = new QCheckBox;
    for (Creature* creature : Global::encounter->getCreatureList().getCreatureList()) {
        if (creature->isMonster() || creature->isDead(false))
            continue;
        ShortRestControls row;
        row.hero = creature;
        row.surges = digitBox(creature->getCurrHealingSurges(), 0);
        row.extraHitPoints = digitBox(500, 0);
        row.result = htmlLabel("= 0");
        row.surgeCounter = htmlLabel(QString());
        row.hitPointCounter = htmlLabel(QString());
        row.actionPointCounter = htmlLabel(QString());
        for (QSpinBox* box : {row.surges, row.extraHitPoints})
            connect(box, &QSpinBox::valueChanged, this, &ShortRestDialog::onRestValueChanged);
        rows.append(row);
    }
    connect(milestoneBox, &QCheckBox::stateChanged, this, &ShortRestDialog::onRestValueChanged);
}

QWidget* ShortRestDialog::rowBox(ShortRestControls& row)
{
    auto* box = new QGroupBox(row.hero->getNameGroup());
    QHBoxLayout* layout = rowLayout();
    layout->addWidget(htmlLabel(tr("<b>HS</b>")));
    row.surges->selectAll();
    layout->addWidget(row.surges);
    QLabel* times = htmlLabel(tr(" x %1 + <b>HP</b>").arg(row.hero->getSurgeValue()));
    times->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    layout->addWidget(times);
    row.extraHitPoints->selectAll();
    layout->addWidget(row.extraHitPoints);
    layout->addWidget(row.result);
    layout->addStretch(1);
    layout->addWidget(row.hitPointCounter);
    layout->addWidget(row.surgeCounter);
    layout->addWidget(row.actionPointCounter);
    layout->addStretch(2);
    setControls(row);
    reserveRoom(row);
    box->setLayout(layout);
    return box;
}

int ShortRestDialog::exec()
{
    const int code = FlatDialog::exec();
    for (const ShortRestControls& row : rows)
        if (row.hero)
            row.hero->resetDelta();
    if (PanelHost* host = PanelHost::instance())
        host->previewCreature(Global::encounter->getCurrentCreature());
    return code;
}

QList<RestedCreature> ShortRestDialog::getRestedCreatures() const
{
    QList<RestedCreature> rested;
    // A hero deleted from the library meanwhile rests no more.
    for (const ShortRestControls& row : rows)
        if (row.hero)
            rested.append({row.hero, row.surges->value(),
                Saturating::sum(row.extraHitPoints->value(), qint64(row.surges->value()) * row.hero->getSurgeValue()),
                milestoneBox->isChecked()});
    return rested;
}

QString ShortRestDialog::newHPString(int hitPoints, Creature* creature)
{
    if (creature->getBloodiedValue() >= hitPoints)
        return Creature::colored(TextColours::red(), QString::number(hitPoints));
    if (hitPoints >= creature->getMaxHitPoints())
        return QString::number(hitPoints);
    return Creature::colored(TextColours::blue(), QString::number(hitPoints));
}

QString ShortRestDialog::hitPointText(Creature* hero, int hitPoints)
{
    return tr("<b>HP</b> %4/%5").arg(newHPString(hitPoints, hero)).arg(hero->getMaxHitPoints());
}

QString ShortRestDialog::surgeText(Creature* hero, int surges)
{
    return tr("<b>HS</b> %2/%3").arg(surges).arg(hero->getMaxHealingSurges());
}

QString ShortRestDialog::actionPointText(int actionPoints)
{
    return tr("<b>AP</b> %1").arg(actionPoints);
}

void ShortRestDialog::setControls(ShortRestControls& row)
{
    Creature* hero = row.hero;
    if (!hero)
        return;
    row.hitPointCounter->setText(hitPointText(hero, hero->getCurrHitPoints()));
    row.surgeCounter->setText(surgeText(hero, hero->getCurrHealingSurges()));
    row.actionPointCounter->setText(actionPointText(hero->getCurrActionPoints()));
}

void ShortRestDialog::reserveRoom(const ShortRestControls& row)
{
    const VitalFigures base = row.hero->getFiguresWithoutDelta();
    const int mostUsed = qMin(row.surges->maximum(), base.healingSurges);
    // The figures move steadily between what is entered at the ends of both boxes.
    QStringList results;
    QStringList hitPoints;
    for (const int used : {0, mostUsed})
        for (const int extra : {0, row.extraHitPoints->maximum()}) {
            const int rested = restedHitPoints(row.hero, base.hitPoints, used, extra);
            results << resultText(rested);
            hitPoints << hitPointText(row.hero, rested);
        }
    reserveWidth(row.result, results);
    reserveWidth(row.hitPointCounter, hitPoints);
    reserveWidth(row.surgeCounter,
                 {surgeText(row.hero, base.healingSurges), surgeText(row.hero, base.healingSurges - mostUsed)});
    reserveWidth(row.actionPointCounter,
                 {actionPointText(base.actionPoints), actionPointText(Saturating::sum(base.actionPoints, 1))});
}

void ShortRestDialog::onRestValueChanged()
{
    for (ShortRestControls& row : rows) {
        Creature* hero = row.hero;
        if (!hero)
            continue;
        const int extra = row.extraHitPoints->value();
        const VitalFigures base = hero->getFiguresWithoutDelta();
        const int used = qMin(row.surges->value(), base.healingSurges);
        const int hitPoints = restedHitPoints(hero, base.hitPoints, used, extra);
        hero->setDeltaCurrHealth(qint64(hitPoints) - base.hitPoints, 0, -used);
        hero->setDeltaCurrActionPoints(milestoneBox->isChecked() ? 1 : 0);
        row.result->setText(resultText(hitPoints));
        setControls(row);
    }
}

void ShortRestDialog::onRestFocusChanged(QWidget*, QWidget* now)
{
    // The spin boxes hand their focus on to their line edits.
    auto within = [now](QWidget* box) { return now && (now == box || box->isAncestorOf(now)); };
    for (const ShortRestControls& row : rows) {
        if (!within(row.surges) && !within(row.extraHitPoints))
            continue;
        if (PanelHost* host = PanelHost::instance()) {
            host->previewCreature(row.hero);
            host->drawYourTurnCreature(row.hero, tr("Resting"));
        }
        return;
    }
}
