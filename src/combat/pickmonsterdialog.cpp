#include "combat/pickmonsterdialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "creature/creature.h"
#include "encounter/encounter.h"
#include "foundation/global.h"
#include "foundation/switchboard.h"
#include "library/monsters.h"
#include "toolkit/inputwidgets.h"

PickMonsterModel::PickMonsterModel() : PickListModel({tr("Name"), tr("Level/Role"), tr("Type/Race")})
{
    readLibrary();
    connect(Global::monsters, &Monsters::doTemplatesUpdated, this, &PickListModel::reload);
    // An edit in the monster manager that leaves the template in its place,
    // a rename that sorts where it stood among them, changes no list of the
    // library: only the template tells of it.
    connect(&Global::switchBoard, &SwitchBoard::doCreatureUpdated, this, [this](Creature* monster) {
        if (templates.contains(monster))
            reload();
    });
}

void PickMonsterModel::readLibrary()
{
    templates.clear();
    for (int i = 0; i < Global::monsters->getTemplateCount(); i++)
        templates.append(Global::monsters->getTemplate(i));
}

void PickMonsterModel::setFilter(const QString& text)
{
    if (text == filter)
        return;
    filter = text;
    refilter();
}

bool PickMonsterModel::match(const QString& name, const QString& filter)
{
    return filter.isEmpty() || name.contains(filter, Qt::CaseInsensitive);
}

QVariant PickMonsterModel::cell(int row, int column) const
{
    const Creature* monster = templates[row];
    if (!monster)
        return QVariant();
    switch (column) {
    case 0:
        return monster->getGroup();
    case 1:
        return monster->getLevelClassRole();
    default:
        return monster->getTypeRace();
    }
}

bool PickMonsterModel::passes(int row) const
{
    const Creature* monster = templates[row];
    return monster && !monster->isDeleted() && match(monster->getGroup(), filter);
}

PickMonsterDialog::PickMonsterDialog() : model(new PickMonsterModel)
{
    addList(model);
    idEdit = new QLineEdit;
    idEdit->setPlaceholderText(tr("Enter monster ID"));
    idEdit->setToolTip(tr("All Monsters require a unique ID before entering an encounter"));
    layout->addWidget(hWidget(htmlLabel(tr("<b>Monster ID:</b>")), idEdit));
    aliasEdit = new QLineEdit;
    aliasEdit->setPlaceholderText(tr("Enter an Alias (optional)"));
    aliasEdit->setToolTip(tr("The alias will be displayed in place of the Monster's name"));
    layout->addWidget(hWidget(htmlLabel(tr("<b>Monster Alias:</b>")), aliasEdit));
    connect(idEdit, &QLineEdit::textChanged, this, &PickMonsterDialog::monsterNameChanged);

    auto* buttons = new DialogButtonBox(QDialogButtonBox::NoButton);
    addButton = buttons->addButton(tr("Add"), QDialogButtonBox::AcceptRole);
    addHiddenButton = buttons->addButton(tr("Add Hidden"), QDialogButtonBox::AcceptRole);
    cancelButton = buttons->addButton(tr("Cancel"), QDialogButtonBox::AcceptRole);
    connect(buttons, &QDialogButtonBox::clicked, this, &PickMonsterDialog::onClicked);
    layout->addWidget(buttons);
    // Return adds, and does nothing while no template is chosen.
    setDefaultButton(addButton);
    toggleOKButton();

    setWideLayout(layout);
    setWindowTitle(tr("Select a Monster"));
}

Creature* PickMonsterDialog::getSelectedMonster(QString& alias)
{
    if (!chosen || Global::monsters->getTemplateIndex(chosen) < 0)
        return nullptr;
    alias = aliasEdit->text();
    return Global::monsters->getMonsterInstance(chosen->getGroup(), idEdit->text().trimmed(), true);
}

void PickMonsterDialog::onClicked(QAbstractButton* button)
{
    if (button == cancelButton)
        reject();
    else if (button == addHiddenButton)
        done(4);
    else
        done(3);
}

void PickMonsterDialog::onFilterChanged(QObject*)
{
    model->setFilter(getFilterEdit()->text());
}

void PickMonsterDialog::monsterNameChanged(const QString&)
{
    toggleOKButton();
}

void PickMonsterDialog::done(int code)
{
    if (code == 0) {
        FlatDialog::done(0);
        return;
    }
    if (!chosen)
        return;
    const QString id = idEdit->text().trimmed();
    const QString name = chosen->getGroup().toHtmlEscaped();
    if (id.isEmpty()) {
        refuseId(tr("Please enter a unique ID for the %1, before it can be added to the encounter.").arg(name));
        return;
    }
    Creature* existing = Global::monsters->getMonsterInstance(chosen->getGroup(), id, false);
    if (existing && Global::encounter->getCreatureIndex(existing) >= 0) {
        refuseId(tr("The %1 %2 is already in the encounter. Please enter another ID.")
                     .arg(name, id.toHtmlEscaped()));
        return;
    }
    FlatDialog::done(code);
}

void PickMonsterDialog::refuseId(const QString& text)
{
    Global::alert(tr("Monster ID"), text);
    idEdit->setFocus(Qt::OtherFocusReason);
}

void PickMonsterDialog::selectionChanged()
{
    chosen = model->getTemplate(selectedRow());
    toggleOKButton();
}

void PickMonsterDialog::keepChoice()
{
    if (!reselect(model->getRow(chosen)))
        chosen = nullptr;
    toggleOKButton();
}

void PickMonsterDialog::toggleOKButton()
{
    addButton->setEnabled(chosen);
    addHiddenButton->setEnabled(chosen);
}
