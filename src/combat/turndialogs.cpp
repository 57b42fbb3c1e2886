#include "combat/turndialogs.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QMap>
#include <QPushButton>
#include <QSpinBox>

#include "creature/creature.h"
#include "creature/effect.h"
#include "foundation/global.h"
#include "foundation/saturating.h"
#include "toolkit/inputwidgets.h"

namespace {

// A saving throw succeeds on 10 or more.
bool saves(int d20, int mods)
{
    return Saturating::sum(d20, mods) >= 10;
}

QGridLayout* promptGrid()
{
    auto* grid = new QGridLayout;
    grid->setSpacing(16);
    return grid;
}

}

QString TurnDialog::powerLabel(int& width, const NestedEffect* entry, const QString& prefix)
{
    const Effect* effect = entry->getEffect();
    // The origin by the name it had: the creature may be gone.
    const QString origin = effect->hasOrigin() ? effect->getOriginName() : QString();
    const QString source = effect->getDetails().sourceName;
    const QString text = entry->getEffectsList();
    QString byUsing;
    if (!origin.isEmpty() && origin != prefix)
        byUsing = tr("by %1").arg(origin.toHtmlEscaped());
    if (!source.isEmpty()) {
        if (!byUsing.isEmpty())
            byUsing += " ";
        byUsing += tr("using %1").arg(source.toHtmlEscaped());
    }
    width = qBound(280, 7 * int(prefix.size()), 520);
    QString line = prefix.toHtmlEscaped();
    line += !prefix.isEmpty() && prefix.size() + text.size() > 40 ? "<br>" : " ";
    line += QString("<b>%1</b>").arg(text);
    if (!byUsing.isEmpty())
        line += QString("<br> %1").arg(byUsing);
    return line;
}

QGroupBox* TurnDialog::noteBox(const QString& title, const QString& text)
{
    auto* box = new QGroupBox(title);
    box->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    QLabel* label = WindowsAndDialogs::htmlLabel(text);
    label->setWordWrap(true);
    label->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    auto* layout = new QVBoxLayout(box);
    layout->setSpacing(0);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(label);
    layout->addStretch(1);
    return box;
}

QLabel* TurnDialog::entryLabel(const NestedEffect& entry, const QString& prefix, const QString& toolTip)
{
    int width = 0;
    QLabel* label = WindowsAndDialogs::htmlLabel(powerLabel(width, &entry, prefix));
    label->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    label->setWordWrap(true);
    label->setMinimumWidth(width);
    label->setToolTip(toolTip);
    return label;
}

QDialogButtonBox* TurnDialog::buttonBox(bool cancellable)
{
    auto* box = new DialogButtonBox(
        cancellable ? QDialogButtonBox::Ok | QDialogButtonBox::Cancel : QDialogButtonBox::Ok, Qt::Horizontal);
    box->button(QDialogButtonBox::Ok)->setDefault(true);
    connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    return box;
}

bool SustainDialog::removeSustained(QList<NestedEffect>& entries, bool cancellable)
{
    // One check box for each group; entries without a group stand alone.
    struct GroupNestedEffect
    {
        QList<NestedEffect> entries;
        QCheckBox* checkBox;
    };
    QList<GroupNestedEffect> groups;
    QMap<unsigned int, int> groupIndexes;
    for (const NestedEffect& entry : std::as_const(entries)) {
        if (!entry.getEffect()->isSustainableEffect())
            continue;
        if (entry.groupId != 0 && groupIndexes.contains(entry.groupId)) {
            groups[groupIndexes.value(entry.groupId)].entries.append(entry);
            continue;
        }
        if (entry.groupId != 0)
            groupIndexes.insert(entry.groupId, int(groups.size()));
        groups.append({{entry}, new QCheckBox});
    }
    if (groups.isEmpty())
        return true;

    QGridLayout* grid = promptGrid();
    grid->addWidget(htmlLabel(tr("<b>Sustainable Ongoing Effects and Condition:<b>")), 0, 0, 1, 2);
    const QString note = tr("Select the effects and conditions you wish to sustain.");
    grid->addWidget(noteBox(QString(), "<font color=#333333>" + note + "</font>"), 1, 0, 1, 2);
    int row = 2;
    for (const GroupNestedEffect& group : std::as_const(groups)) {
        QStringList targets;
        for (const NestedEffect& entry : group.entries)
            targets.append(entry.getEffect()->getTargetName());
        group.checkBox->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
        group.checkBox->setToolTip(tr("Check to sustain this effect"));
        grid->addWidget(group.checkBox, row, 0);
        grid->addWidget(entryLabel(group.entries.first(), targets.join(", "), QString()), row, 1);
        row++;
    }
    grid->addWidget(buttonBox(cancellable), row, 0, 1, 2);
    setLayout(grid);
    setWindowTitle(tr("Sustain Effects"));
    groups.first().checkBox->setFocus();

    if (exec() == QDialog::Rejected && cancellable)
        return false;
    for (const GroupNestedEffect& group : std::as_const(groups)) {
        if (!group.checkBox->isChecked())
            continue;
        for (const NestedEffect& entry : group.entries)
            for (Effect* effect : entry.effects)
                entries.removeIf([effect](const NestedEffect& ending) { return ending.getEffect() == effect; });
    }
    return true;
}

SavingThrowDialog::SavingThrowDialog(Creature* creature, const QList<NestedEffect>& entries, bool cancellable)
    : entries(entries)
{
    int mods = 0;
    bool complex = false;
    const QString line = creature->getSavingThrows(false, &mods, &complex);
    const QString modifier = mods > 0 ? QString("+%1").arg(mods) : QString("%1").arg(mods);

    QGridLayout* grid = promptGrid();
    grid->addWidget(htmlLabel(tr("Saving Throws for <b>%1</b>:").arg(creature->getNameGroup().toHtmlEscaped())), 0, 0,
        1, 3);
    QString notes = line.isEmpty() ? tr("No adjustment") : line;
    notes += "<font color=#333333>";
    notes += tr("<p>If you or a player rolled the saving throw, then add the modifier and check the checkbox on "
                "successful save.");
    if (complex)
        notes += tr("<p><b>Note</b>, the adjustments are complex. Modifiers other than %1 may apply.").arg(modifier);
    notes += "</font>";
    grid->addWidget(noteBox(tr("Modifications"), notes), 1, 0, 1, 3);
    int row = 2;
    for (const NestedEffect& entry : entries) {
        const int d20 = Global::d(20);
        grid->addWidget(entryLabel(entry, QString(), tr("Save against these conditions and effects")), row, 0);
        QLabel* roll = htmlLabel(rollText(d20, mods, modifier));
        roll->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Preferred);
        roll->setToolTip(tr("This is the default saving throw roll"));
        grid->addWidget(roll, row, 1);
        auto* checkBox = new QCheckBox;
        checkBox->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
        checkBox->setChecked(saves(d20, mods));
        checkBox->setToolTip(tr("Check if saved (d20 + modifiers >= 10)"));
        grid->addWidget(checkBox, row, 2);
        checkBoxes.append(checkBox);
        row++;
    }
    grid->setColumnStretch(0, 10);
    grid->addWidget(buttonBox(cancellable), row, 0, 1, 3);
    setLayout(grid);
    setWindowTitle(tr("Saving Throws"));
    if (!checkBoxes.isEmpty())
        checkBoxes.first()->setFocus();
}

QString SavingThrowDialog::rollText(int d20, int mods, const QString& modifier) const
{
    const bool saved = saves(d20, mods);
    QString text = saved ? tr("<b>Saved</b><br>") : tr(" <b>Failed</b><br>");
    text += tr("<b>d20</b> %1").arg(d20);
    if (mods != 0)
        text += tr(" <b>Mods</b> %1").arg(modifier);
    text += saved ? tr(" <b>&gt;=</b> 10") : tr(" <b>&lt;</b> 10");
    return text;
}

QList<const NestedEffect*> SavingThrowDialog::getSavedEffects() const
{
    QList<const NestedEffect*> saved;
    for (int i = 0; i < checkBoxes.size(); i++)
        if (checkBoxes[i]->isChecked())
            saved.append(&entries[i]);
    return saved;
}

int ApplyDialog::promptForOngoingEffect(Creature* creature, Effect* effect)
{
    const bool damage = effect->getEffectType() == CE::OnGoingDamage;
    const QString kind = damage ? tr("ongoing damage") : tr("regeneration");
    QGridLayout* grid = promptGrid();
    grid->addWidget(htmlLabel(tr("Apply %1 to <b>%2</b>:").arg(kind, creature->getNameGroup().toHtmlEscaped())), 0, 0,
        1, 2);
    QString notes = "<font color=#333333>";
    notes += tr("<p>Click yes below, if the %1 should be applied. The amount to be applied can be changed.").arg(kind);
    const QString resistances = damage ? creature->getResistances(false, true) : QString();
    if (!resistances.isEmpty())
        notes += tr("<p><b>Note</b>, the following adjustments may apply: %1.").arg(resistances);
    notes += "</font>";
    grid->addWidget(noteBox(tr("Adjustments"), notes), 1, 0, 1, 2);

    const NestedEffect entry{NestedEffect::Single, 0, {effect}};
    grid->addWidget(entryLabel(entry, QString(), tr("This is the effect that will be applied")), 2, 0);
    // Wide enough for any amount a power gives, and never below this one.
    const int amount = effect->getEffectAmount();
    amountBox = digitBox(qMax(999, amount), 0, amount, true);
    amountBox->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    amountBox->setToolTip(tr("Adjust the %1 amount if required").arg(kind));
    grid->addWidget(amountBox, 2, 1);
    QDialogButtonBox* buttons = buttonBox(true);
    buttons->button(QDialogButtonBox::Ok)->setText(tr("Yes"));
    buttons->button(QDialogButtonBox::Cancel)->setText(tr("No"));
    grid->addWidget(buttons, 3, 0, 1, 2);
    setLayout(grid);
    setWindowTitle(damage ? tr("Ongoing Damage") : tr("Regeneration"));
    amountBox->selectAll();
    amountBox->setFocus();
    return exec() == QDialog::Accepted ? amountBox->value() : 0;
}
