#include "powerdialog/createpowerdialog.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "creature/creature.h"
#include "foundation/global.h"
#include "powers/actions.h"
#include "toolkit/inputwidgets.h"
#include "toolkit/messagedialog.h"
#include "toolkit/progressbar.h"

namespace {

enum Presence {
    Always,
    // Only for the power's own value: before the other entries, or after them.
    FirstWhenHeld,
    LastWhenHeld,
};

struct Entry
{
    const char* text;
    int data;
    Presence presence;
};

const Entry typeEntries[] = {
    {"", Power::NoType, Always},
    {QT_TRANSLATE_NOOP("CreatePowerDialog", "Melee"), Power::Melee, Always},
    {QT_TRANSLATE_NOOP("CreatePowerDialog", "Melee (basic)"), Power::BasicMelee, Always},
    {QT_TRANSLATE_NOOP("CreatePowerDialog", "Ranged"), Power::Ranged, Always},
    {QT_TRANSLATE_NOOP("CreatePowerDialog", "Ranged (basic)"), Power::BasicRanged, Always},
    {QT_TRANSLATE_NOOP("CreatePowerDialog", "Area"), Power::Area, Always},
    {QT_TRANSLATE_NOOP("CreatePowerDialog", "Area (basic)"), Power::BasicArea, Always},
    {QT_TRANSLATE_NOOP("CreatePowerDialog", "Close"), Power::Close, Always},
    {QT_TRANSLATE_NOOP("CreatePowerDialog", "Close(basic)"), Power::BasicClose, Always},
    {QT_TRANSLATE_NOOP("CreatePowerDialog", "Aura"), Power::Aura, Always},
    {QT_TRANSLATE_NOOP("CreatePowerDialog", "Weapon"), Power::Weapon, LastWhenHeld},
    {QT_TRANSLATE_NOOP("CreatePowerDialog", "Ranged Weapon"), Power::RangedWeapon, LastWhenHeld},
    {QT_TRANSLATE_NOOP("CreatePowerDialog", "Melee/Ranged"), Power::MeleeOrRanged, LastWhenHeld},
    {QT_TRANSLATE_NOOP("CreatePowerDialog", "Secondary"), Power::Secondary, LastWhenHeld},
    {QT_TRANSLATE_NOOP("CreatePowerDialog", "Detail"), Power::Detail, LastWhenHeld},
};

const Entry actionEntries[] = {
    {"", Power::Unset, FirstWhenHeld},
    {QT_TRANSLATE_NOOP("CreatePowerDialog", "Standard"), Power::Standard, Always},
    {QT_TRANSLATE_NOOP("CreatePowerDialog", "Move"), Power::Move, Always},
    {QT_TRANSLATE_NOOP("CreatePowerDialog", "Minor"), Power::Minor, Always},
    {QT_TRANSLATE_NOOP("CreatePowerDialog", "Free"), Power::Free, Always},
    {QT_TRANSLATE_NOOP("CreatePowerDialog", "Triggered"), Power::Triggered, Always},
    {QT_TRANSLATE_NOOP("CreatePowerDialog", "Trait"), Power::Trait, Always},
    {QT_TRANSLATE_NOOP("CreatePowerDialog", "Flavour"), Power::Flavour, LastWhenHeld},
    {QT_TRANSLATE_NOOP("CreatePowerDialog", "Trap"), Power::Trap, LastWhenHeld},
    {QT_TRANSLATE_NOOP("CreatePowerDialog", "Detection"), Power::Detection, LastWhenHeld},
    {QT_TRANSLATE_NOOP("CreatePowerDialog", "Countermeasure"), Power::Countermeasure, LastWhenHeld},
    {QT_TRANSLATE_NOOP("CreatePowerDialog", "Other"), Power::Other, LastWhenHeld},
};

const Entry frequencyEntries[] = {
    {"", Power::NoCost, Always},
    {QT_TRANSLATE_NOOP("CreatePowerDialog", "At-Will"), Power::AtWill, Always},
    {QT_TRANSLATE_NOOP("CreatePowerDialog", "Encounter"), Power::OncePerEncounter, Always},
    {QT_TRANSLATE_NOOP("CreatePowerDialog", "2/Encounter"), Power::TwicePerEncounter, Always},
    {QT_TRANSLATE_NOOP("CreatePowerDialog", "3/Encounter"), Power::ThricePerEncounter, Always},
    {QT_TRANSLATE_NOOP("CreatePowerDialog", "4/Encounter"), Power::FourPerEncounter, Always},
    {QT_TRANSLATE_NOOP("CreatePowerDialog", "Daily"), Power::Daily, Always},
    {QT_TRANSLATE_NOOP("CreatePowerDialog", "Recharge 3"), Power::Recharge3, Always},
    {QT_TRANSLATE_NOOP("CreatePowerDialog", "Recharge 4"), Power::Recharge4, Always},
    {QT_TRANSLATE_NOOP("CreatePowerDialog", "Recharge 5"), Power::Recharge5, Always},
    {QT_TRANSLATE_NOOP("CreatePowerDialog", "Recharge 6"), Power::Recharge6, Always},
    {QT_TRANSLATE_NOOP("CreatePowerDialog", "Recharge ?"), Power::RechargeUnknown, LastWhenHeld},
    {QT_TRANSLATE_NOOP("CreatePowerDialog", "Recharge 2"), Power::Recharge2, LastWhenHeld},
};

// The Effect row offers all but the last.
const Entry applyToEntries[] = {
    {QT_TRANSLATE_NOOP("CreatePowerDialog", "Any Creature"), Power::AnyCreature, Always},
    {QT_TRANSLATE_NOOP("CreatePowerDialog", "Enemies"), Power::Enemy, Always},
    {QT_TRANSLATE_NOOP("CreatePowerDialog", "Allies"), Power::Ally, Always},
    {QT_TRANSLATE_NOOP("CreatePowerDialog", "Allies (not Self)"), Power::OtherAlly, Always},
    {QT_TRANSLATE_NOOP("CreatePowerDialog", "Self and Allies"), Power::AllyAndSelf, Always},
    {QT_TRANSLATE_NOOP("CreatePowerDialog", "Self"), Power::Self, Always},
    {QT_TRANSLATE_NOOP("CreatePowerDialog", "Current Creature"), Power::CurrentCreature, Always},
    {QT_TRANSLATE_NOOP("CreatePowerDialog", "None"), Power::NoTarget, Always},
    {QT_TRANSLATE_NOOP("CreatePowerDialog", "Non-trackable Power"), Power::NotTrackable, Always},
};

const Entry fromCountEntries[] = {
    {QT_TRANSLATE_NOOP("CreatePowerDialog", "Zero"), 0, Always},
    {"1", 1, Always},
    {"2", 2, Always},
    {"3", 3, Always},
    {"4", 4, Always},
    {"5", 5, Always},
};

const int largestCount = 5;

QString entryText(const Entry& entry)
{
    return *entry.text ? CreatePowerDialog::tr(entry.text) : QString();
}

// The entries always offered, and the one for the power's own value.
template <size_t n>
DisableComboBox* choiceBox(const Entry (&entries)[n], int held, size_t offered = n)
{
    auto* box = new DisableComboBox;
    for (Presence presence : {FirstWhenHeld, Always, LastWhenHeld})
        for (size_t i = 0; i < offered; i++)
            if (entries[i].presence == presence && (presence == Always || entries[i].data == held))
                box->addItem(entryText(entries[i]), entries[i].data);
    return box;
}

bool isSingle(int kind)
{
    return kind == Power::Self || kind == Power::CurrentCreature;
}

// The fields a step's dialog leaves disabled are the only place the power's
// text shows: paler than enabled text, yet 4.5:1 against their ground.
QPalette readableWhenDisabled(QPalette palette)
{
    const std::pair<QPalette::ColorRole, QPalette::ColorRole> textOnGround[] = {
        {QPalette::Text, QPalette::Base}, {QPalette::ButtonText, QPalette::Button},
        {QPalette::WindowText, QPalette::Window}};
    const int steps = 20;
    for (const auto& [text, ground] : textOnGround) {
        const QColor behind = palette.color(QPalette::Disabled, ground);
        const QColor pale = palette.color(QPalette::Disabled, text);
        const QColor full = palette.color(QPalette::Active, text);
        QColor colour = pale;
        // From the pale colour towards the enabled one, only as far as it takes.
        for (int step = 1; step <= steps && HealthBarColours::contrast(colour, behind) < 4.5; step++)
            colour = QColor::fromRgbF(pale.redF() + (full.redF() - pale.redF()) * step / steps,
                                      pale.greenF() + (full.greenF() - pale.greenF()) * step / steps,
                                      pale.blueF() + (full.blueF() - pale.blueF()) * step / steps);
        palette.setColor(QPalette::Disabled, text, colour);
    }
    return palette;
}

QGroupBox* groupBox(const QString& title, QLayout* layout)
{
    auto* box = new QGroupBox(title);
    box->setLayout(layout);
    return box;
}

}

CreatePowerDialog::CreatePowerDialog(Creature* creatureTemplate, QString name, CreaturePower* base,
    Power::StepType stepType, bool isAction, bool isNew)
    : creatureTemplate(creatureTemplate), isAction(isAction), stepType(stepType), openingName(name), isNew(isNew)
{
    QString verb = tr("Create");
    bool editing = false;
    if (name.isEmpty()) {
        if (base)
            power = *base;
        power.status = CreaturePower::UserPower;
        power.current.description.append(QString());
    } else if (const CreaturePower* found = findPower(name)) {
        power = *found;
        if (isNew) {
            verb = tr("Duplicate");
            power.status = CreaturePower::UserPower;
            power.name = proposeName(name);
        } else {
            verb = tr("Edit");
            editing = true;
        }
    }
    setupLayout(verb);
    setWindowTitle(verb + (isAction ? tr(" Action") : tr(" Power")));
    enableCustomControls();
    if (!editing) {
        nameEdit->selectAll();
        nameEdit->setFocus(Qt::OtherFocusReason);
    }
    for (ApplyToGroup* row : {&hitGroup, &effectGroup})
        for (DisableComboBox* box : {row->kind, row->from, row->to})
            connect(box, qOverload<int>(&QComboBox::activated), this, [this, row] {
                row->picked = true;
                applyToChanged();
            });
}

QString CreatePowerDialog::proposeName(const QString& name) const
{
    for (int n = 2;; n++) {
        const QString proposal = QString("%1 %2").arg(name).arg(n);
        if (!findPower(proposal))
            return proposal;
    }
}

CreaturePower* CreatePowerDialog::findPower(const QString& name) const
{
    if (isAction)
        return Global::actions ? Global::actions->getActionByName(name) : nullptr;
    return creatureTemplate ? creatureTemplate->getPowers().getPowerByName(name) : nullptr;
}

CreatePowerDialog::ApplyToGroup& CreatePowerDialog::group(Power::StepType type)
{
    return type == Power::Effect ? effectGroup : hitGroup;
}

const CreatePowerDialog::ApplyToGroup& CreatePowerDialog::group(Power::StepType type) const
{
    return type == Power::Effect ? effectGroup : hitGroup;
}

DisableComboBox* CreatePowerDialog::getApplyToBox(Power::StepType type) const
{
    return group(type).kind;
}

DisableComboBox* CreatePowerDialog::getFromCountBox(Power::StepType type) const
{
    return group(type).from;
}

DisableComboBox* CreatePowerDialog::getToCountBox(Power::StepType type) const
{
    return group(type).to;
}

void CreatePowerDialog::setupLayout(const QString& groupTitle)
{
    nameEdit = new QLineEdit;
    headerEdit = new QLineEdit;
    flavorEdit = new QPlainTextEdit;
    flavorEdit->setMaximumHeight(60);
    descriptionEdit = new QPlainTextEdit;
    for (QPlainTextEdit* edit : {flavorEdit, descriptionEdit})
        edit->setTabChangesFocus(true);

    typeBox = choiceBox(typeEntries, power.current.type);
    actionBox = choiceBox(actionEntries, power.current.when);
    frequencyBox = choiceBox(frequencyEntries, power.current.cost);
    hitGroup.kind = choiceBox(applyToEntries, Power::ApplyUnset);
    effectGroup.kind = choiceBox(applyToEntries, Power::ApplyUnset, std::size(applyToEntries) - 1);
    for (ApplyToGroup* row : {&hitGroup, &effectGroup}) {
        row->from = choiceBox(fromCountEntries, 0);
        row->to = new DisableComboBox;
    }

    auto* layout = new QVBoxLayout;
    layout->setContentsMargins(10, 10, 10, 10);
    layout->addWidget(hWidget(htmlLabel(tr("<b>Name</b>")), nameEdit));
    layout->addWidget(
        groupBox(groupTitle, hLayout(actionBox, typeBox, htmlLabel(tr("<b>Frequency</b>")), frequencyBox)));
    for (const ApplyToGroup* row : {&hitGroup, &effectGroup})
        layout->addWidget(groupBox(row == &hitGroup ? tr("Targets (Hit and Miss)") : tr("Effected Creatures"),
            hLayout(row->kind, htmlLabel(tr("<b>Number</b>")), row->from, htmlLabel(tr("<b>to</b>")), row->to)));
    layout->addWidget(groupBox(tr("Header"), hLayout(5, headerEdit)));
    QGroupBox* flavorGroup = groupBox(tr("Flavor"), hLayout(5, flavorEdit));
    flavorGroup->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    layout->addWidget(flavorGroup);
    layout->addWidget(groupBox(tr("Description"), hLayout(5, descriptionEdit)));
    auto* buttons = new DialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, Qt::Horizontal);
    connect(buttons, &QDialogButtonBox::accepted, this, &CreatePowerDialog::okClicked);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    setLayout(layout);
    setPalette(readableWhenDisabled(palette()));

    const QList<QWidget*> controls{nameEdit, actionBox, typeBox, frequencyBox, hitGroup.kind, hitGroup.from,
        hitGroup.to, effectGroup.kind, effectGroup.from, effectGroup.to, headerEdit, flavorEdit, descriptionEdit};
    for (int i = 1; i < controls.size(); i++)
        QWidget::setTabOrder(controls[i - 1], controls[i]);
    if (stepType == Power::AnyStep)
        return;
    for (QWidget* control : controls)
        control->setEnabled(false);
    const ApplyToGroup& open = group(stepType);
    for (DisableComboBox* box : {open.kind, open.from, open.to})
        box->setEnabled(true);
    open.kind->setFocus(Qt::OtherFocusReason);
}

void CreatePowerDialog::enableCustomControls()
{
    nameEdit->setEnabled(power.status == CreaturePower::UserPower);
    nameEdit->setText(power.name);
    headerEdit->setText(power.current.header);
    flavorEdit->setPlainText(power.current.flavor);
    descriptionEdit->setPlainText(power.current.description.join("\n"));
    typeBox->setCurrentUserValue(power.current.type);
    frequencyBox->setCurrentUserValue(power.current.cost);
    actionBox->setCurrentUserValue(power.current.when);
    updateApplyTo(true);
}

void CreatePowerDialog::applyToChanged()
{
    updateApplyTo(false);
}

void CreatePowerDialog::updateApplyTo(bool fromPower)
{
    updateGroup(hitGroup, fromPower);
    updateGroup(effectGroup, fromPower);
}

void CreatePowerDialog::updateGroup(ApplyToGroup& row, bool fromPower)
{
    if (fromPower) {
        row.kind->setCurrentUserValue(power.getApplyTo(row.type));
        row.from->setCurrentUserValue(power.getApplyFromCount(row.type));
    }
    const int kind = row.kind->getCurrentUserValue();
    const int minimum = row.from->getCurrentUserValue();
    int maximum = fromPower ? power.getApplyToCount(row.type) : row.to->getCurrentUserValue();
    row.to->clear();
    if (isSingle(kind)) {
        if (minimum > 1)
            row.from->setCurrentUserValue(1);
        row.to->addItem("1", 1);
        maximum = 1;
    } else {
        for (int count = qMax(minimum, 1); count <= largestCount; count++)
            row.to->addItem(QString::number(count), count);
        row.to->addItem(tr("Many"), Power::AnyNumber);
        maximum = qMax(maximum, minimum);
    }
    row.to->setCurrentUserValue(maximum);
    for (int count = 2; count <= largestCount; count++)
        row.from->setUserValueEnabled(count, !isSingle(kind));
    // A dialog opened on one targets row leaves the other row shut.
    const Power::StepType shut = row.type == Power::Effect ? Power::Hit : Power::Effect;
    if (stepType != shut)
        for (DisableComboBox* box : {row.kind, row.from, row.to})
            box->setEnabled(true);
    if (kind == Power::NoTarget || kind == Power::NotTrackable) {
        row.from->setEnabled(false);
        row.to->setEnabled(false);
    } else if (isSingle(kind)) {
        row.to->setEnabled(false);
    }
}

QString CreatePowerDialog::typedName() const
{
    // The text format trims what it reads: a name stored with blanks would
    // come back as another.
    return nameEdit->text().trimmed();
}

void CreatePowerDialog::okClicked()
{
    const QString name = typedName();
    if (name.isEmpty())
        return;
    // Only an edit may keep its name: a copy stored under its source's name
    // would replace the source.
    if (!isNew && name == openingName) {
        done(QDialog::Accepted);
        return;
    }
    if (findPower(name)) {
        MessageDialog().alert(tr("Duplicate %1").arg(isAction ? tr("Action") : tr("Power")),
            tr("<b>%1</b> already exists.<p>Please use a different name.").arg(name.toHtmlEscaped()));
        return;
    }
    done(QDialog::Accepted);
}

void CreatePowerDialog::readGroup(const ApplyToGroup& row)
{
    // Unless the user chose in the row, its boxes may show a stand-in for a
    // stored value they have no entry for.
    if (!row.picked)
        return;
    ApplyToRecord& record = power.current.applyTo[row.type];
    record.kind = row.kind->getCurrentUserValue();
    const int from = row.from->getCurrentUserValue();
    const int to = row.to->getCurrentUserValue();
    if (from <= to) {
        record.from = from;
        record.to = to;
    }
}

CreaturePower* CreatePowerDialog::getPower()
{
    power.name = typedName();
    power.current.header = headerEdit->text();
    power.current.flavor = flavorEdit->toPlainText();
    power.current.description = descriptionEdit->toPlainText().split("\n", Qt::KeepEmptyParts, Qt::CaseSensitive);
    power.current.type = typeBox->getCurrentUserValue();
    if (isAction || actionBox->getCurrentUserValue() != Power::Unset)
        power.current.when = actionBox->getCurrentUserValue();
    if (isAction || frequencyBox->getCurrentUserValue() != Power::NoCost)
        power.current.cost = frequencyBox->getCurrentUserValue();
    readGroup(hitGroup);
    readGroup(effectGroup);
    return &power;
}
