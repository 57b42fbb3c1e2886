#include "combat/initiativedialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QSettings>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

#include "creature/creature.h"
#include "encounter/encounter.h"
#include "foundation/global.h"
#include "foundation/saturating.h"
#include "library/monsters.h"
#include "toolkit/inputwidgets.h"
#include "toolkit/panelhost.h"

namespace {

const char* const expandAllKey = "initiativeDialog/expandAll";

bool expandAll()
{
    return QSettings().value(expandAllKey, false).toBool();
}

InitiativeCreature rolledRow(const QString& name, Creature* creature, int bonus)
{
    InitiativeCreature row;
    row.name = name;
    row.creature = creature;
    row.initiative = Saturating::sum(Global::d(20), bonus);
    row.firstFocus = true;
    return row;
}

PanelHost* host()
{
    return PanelHost::instance();
}

void showToPlayers(Creature* creature, const QString& caption)
{
    if (host())
        host()->drawYourTurnCreature(creature, caption);
}

void showInCurrentDock(Creature* creature)
{
    if (host())
        host()->previewCreature(creature);
}

}

void InitiativeGroup::setOpen(bool value)
{
    if (open == value)
        return;
    open = value;
    if (members.isEmpty())
        return;
    if (open)
        members.first().initiative = head.initiative;
    else
        head.initiative = members.first().initiative;
}

Creature* InitiativeGroup::shownCreature() const
{
    if (head.creature || members.isEmpty())
        return head.creature;
    return members.first().creature;
}

void InitiativeData::addInitiativeDetail(Creature* creature)
{
    if (creature->isTrap() && creature->getInitBonus(false) == UnknownValue) {
        nameOnly.append(creature->getNameGroup());
        return;
    }
    const int bonus = creature->getInitBonus(true);
    InitiativeGroup prepared;
    if (!creature->isMonster()) {
        prepared.head = rolledRow(creature->getName(), creature, bonus);
        groups.append(prepared);
        return;
    }
    const QString group = creature->getGroup();
    auto row = std::find_if(
        groups.begin(), groups.end(), [&](const InitiativeGroup& candidate) { return candidate.head.name == group; });
    if (row == groups.end()) {
        prepared.open = expandAll();
        prepared.head = rolledRow(group, Global::monsters->findTemplate(group), bonus);
        groups.append(prepared);
        row = groups.end() - 1;
    }
    row->members.append(rolledRow(creature->getName(), creature, bonus));
}

QSpinBox* InitiativeData::makeBox(InitiativeCreature& row)
{
    // Every roll made fits, whatever the bonus.
    QSpinBox* box = digitBox(qMax(100, row.initiative), qMin(-20, row.initiative), row.initiative, true);
    connect(box, &QSpinBox::valueChanged, this, &InitiativeData::onInitValueChanged);
    row.spinBox = box;
    return box;
}

QWidget* InitiativeData::getWidget(int index)
{
    InitiativeGroup& group = groups[index];
    Creature* shown = group.shownCreature();
    // Plain text: names are no markup here.
    const QString name = group.isMonsterGroup() && group.head.creature ? group.head.creature->getGroup()
                                                                        : group.head.name;
    auto* label = new QLabel(
        QString("%1 (%2)").arg(name, Creature::getBonusText(shown ? shown->getInitBonus(true) : 0)));
    label->setTextFormat(Qt::PlainText);
    auto* grid = new QGridLayout;
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(2);
    group.head.spinBox = nullptr;
    group.button = nullptr;
    for (InitiativeCreature& member : group.members)
        member.spinBox = nullptr;
    int lastRow = 2;
    if (!group.isMonsterGroup()) {
        grid->addWidget(label, 0, 0);
        grid->addWidget(makeBox(group.head), 1, 0);
    } else {
        // The two tips read the other way round, as the game masters know them.
        group.button = group.open ? toolButton(tr("Close"), 20, 20, ArrowDown)
                                  : toolButton(tr("Open"), 20, 20, ArrowRight);
        group.button->setToolTip(group.open ? tr("Roll initiative for each monster in this group")
                                            : tr("Roll initiative once for all monsters in this group"));
        connect(group.button, &QToolButton::clicked, this, &InitiativeData::onOpenCloseClicked);
        grid->addWidget(group.button, 0, 0);
        grid->addWidget(label, 0, 1);
        if (group.open) {
            for (int k = 1; k <= group.members.size(); k++) {
                InitiativeCreature& member = group.members[k - 1];
                auto* memberLabel = new QLabel(member.creature->getName());
                memberLabel->setTextFormat(Qt::PlainText);
                grid->addWidget(memberLabel, k, 0);
                grid->addWidget(makeBox(member), k, 1);
            }
            lastRow = int(group.members.size()) + 1;
        } else {
            grid->addWidget(new QLabel(QString("x %1").arg(group.members.size())), 1, 0);
            grid->addWidget(makeBox(group.head), 1, 1);
        }
    }
    grid->setRowStretch(lastRow, 2);
    auto* cell = new QWidget;
    cell->setContentsMargins(0, 0, 0, 0);
    cell->setLayout(grid);
    return cell;
}

InitiativeList InitiativeData::getInitiativeList() const
{
    InitiativeList list;
    for (const InitiativeGroup& group : groups) {
        if (!group.open) {
            list.append({group.head.name, group.head.initiative, Global::random()});
            continue;
        }
        for (const InitiativeCreature& member : group.members)
            list.append({member.creature->getNameGroup(), member.initiative, Global::random()});
    }
    for (const QString& name : nameOnly)
        list.append({name, UnknownValue, 0});
    return list;
}

void InitiativeData::setOpen(bool open)
{
    for (InitiativeGroup& group : groups)
        group.setOpen(open);
}

InitiativeGroup* InitiativeData::getGroupByButton(QObject* button)
{
    for (InitiativeGroup& group : groups)
        if (button && group.button == button)
            return &group;
    return nullptr;
}

InitiativeCreature* InitiativeData::getInitiativByWidget(QObject* widget)
{
    if (!widget)
        return nullptr;
    for (InitiativeGroup& group : groups) {
        if (group.head.spinBox == widget)
            return &group.head;
        for (InitiativeCreature& member : group.members)
            if (member.spinBox == widget)
                return &member;
    }
    return nullptr;
}

void InitiativeData::onInitValueChanged(int value)
{
    if (InitiativeCreature* row = getInitiativByWidget(sender())) {
        row->initiative = value;
        emit doInitValueChanged(row->creature, value);
    }
}

void InitiativeData::onOpenCloseClicked()
{
    if (InitiativeGroup* group = getGroupByButton(sender())) {
        group->setOpen(!group->open);
        emit doOpenCloseClicked();
    }
}

InitiativeDialog::InitiativeDialog(const CreatureList& list)
{
    for (Creature* creature : list.getCreatureList())
        (creature->isMonster() ? monsters : heroes).addInitiativeDetail(creature);
    setWindowTitle(tr("Initiative"));
    connect(&heroes, &InitiativeData::doInitValueChanged, this, &InitiativeDialog::onSpinBoxValueChanged);
    connect(&heroes, &InitiativeData::doOpenCloseClicked, this, &InitiativeDialog::onOpenCloseClicked);
    connect(&monsters, &InitiativeData::doOpenCloseClicked, this, &InitiativeDialog::onOpenCloseClicked);
    connect(qApp, &QApplication::focusChanged, this, &InitiativeDialog::onInitFocusChanged);
}

InitiativeDialog::~InitiativeDialog()
{
    disconnect(qApp, &QApplication::focusChanged, this, &InitiativeDialog::onInitFocusChanged);
    showToPlayers(nullptr, QString());
}

int InitiativeDialog::exec()
{
    if (heroes.getListSize() == 0 && monsters.getListSize() == 0)
        return 1;
    if (!frame) {
        frame = new QVBoxLayout;
        frame->setContentsMargins(0, 0, 0, 0);
        widget = getInitiativeWidget();
        frame->addWidget(widget);
        setLayout(frame);
    }
    const int result = FlatDialog::exec();
    showToPlayers(nullptr, QString());
    showInCurrentDock(Global::encounter->getCurrentCreature());
    return result;
}

QWidget* InitiativeDialog::getInitiativeWidget()
{
    auto* layout = new QVBoxLayout;
    const auto sideBox = [](const QString& title, InitiativeData& side, int spacing) {
        auto* grid = new QGridLayout;
        grid->setContentsMargins(5, 5, 5, 5);
        grid->setVerticalSpacing(spacing);
        for (int i = 0; i < side.getListSize(); i++)
            grid->addWidget(side.getWidget(i), i / 3, i % 3);
        auto* box = new QGroupBox(title);
        box->setLayout(grid);
        return box;
    };
    if (heroes.getListSize() > 0)
        layout->addWidget(sideBox(tr("Heros"), heroes, 5));
    if (monsters.getListSize() > 0) {
        auto* each = new QCheckBox(tr("Roll initiative for each monster individually"));
        each->setChecked(expandAll());
        connect(each, &QCheckBox::clicked, this, &InitiativeDialog::onAllExpandedClicked);
        layout->addWidget(each);
        layout->addWidget(sideBox(tr("Monsters"), monsters, 2));
    }
    auto* buttons = new DialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, Qt::Horizontal);
    connect(buttons, &QDialogButtonBox::accepted, this, &FlatDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &FlatDialog::reject);
    layout->addWidget(buttons);
    return layoutToWidget(layout);
}

void InitiativeDialog::rebuild()
{
    // The old content holds the button that was clicked: it goes once the click is over.
    if (widget) {
        frame->removeWidget(widget);
        widget->hide();
        widget->deleteLater();
    }
    widget = getInitiativeWidget();
    frame->addWidget(widget);
    widget->show();
    // The content keeps its width in the host and takes the height the new rows need.
    QWidget* content = getWidget();
    content->layout()->activate();
    content->resize(content->width(), content->sizeHint().height());
    setDefaultFocus(widget);
}

void InitiativeDialog::onSpinBoxValueChanged(Creature* creature, int value)
{
    showToPlayers(creature, tr("Initiative <b>%1</b>").arg(value));
}

void InitiativeDialog::onOpenCloseClicked()
{
    rebuild();
}

void InitiativeDialog::onAllExpandedClicked(bool on)
{
    QSettings().setValue(expandAllKey, on);
    monsters.setOpen(on);
    rebuild();
}

void InitiativeDialog::onInitFocusChanged(QWidget*, QWidget* now)
{
    if (InitiativeCreature* hero = heroes.getInitiativByWidget(now)) {
        QString caption = tr("Initiative?");
        if (hero->firstFocus)
            hero->firstFocus = false;
        else if (hero->initiative >= 1)
            caption = tr("Initiative <b>%1</b>").arg(hero->initiative);
        showToPlayers(hero->creature, caption);
        showInCurrentDock(hero->creature);
        return;
    }
    showToPlayers(nullptr, QString());
    InitiativeCreature* monster = monsters.getInitiativByWidget(now);
    Creature* shown = nullptr;
    if (monster) {
        shown = monster->creature;
        // A closed group's box without a template stands for its first monster.
        if (!shown)
            for (int i = 0; i < monsters.getListSize() && !shown; i++)
                if (&monsters.getGroup(i).head == monster)
                    shown = monsters.getGroup(i).shownCreature();
    }
    showInCurrentDock(shown);
}
