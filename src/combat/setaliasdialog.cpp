#include "combat/setaliasdialog.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "creature/creature.h"
#include "toolkit/inputwidgets.h"

SetAliasDialog::SetAliasDialog(const QList<Creature*>& creatures)
    : aliasEdit(new QLineEdit), enableCheck(new QCheckBox(tr("Enable alias"))),
      removeButton(new QPushButton(tr("Remove Alias")))
{
    aliasEdit->setMinimumWidth(240);
    aliasEdit->setPlaceholderText(tr("Enter an Alias"));
    aliasEdit->setToolTip(tr("Enter an alias"));

    QStringList names;
    bool someAlias = false;
    bool someHiddenAlias = false;
    for (Creature* creature : creatures) {
        names.append(creature->getNameGroup());
        const bool hasAlias = !creature->getAlias().isEmpty();
        someAlias = someAlias || hasAlias;
        someHiddenAlias = someHiddenAlias || (hasAlias && !creature->isShowAlias());
    }
    if (creatures.size() == 1) {
        Creature* only = creatures.first();
        aliasEdit->setText(only->getAlias().isEmpty() ? only->getNameGroup() : only->getAlias());
    }
    aliasEdit->selectAll();
    enableCheck->setChecked(!someHiddenAlias);

    auto* label = new QLabel(tr("<b>Set Alias</b> for %1:").arg(names.join(", ").toHtmlEscaped()));
    label->setTextFormat(Qt::RichText);
    label->setWordWrap(true);

    auto* buttons = new DialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, Qt::Horizontal);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    buttons->addButton(removeButton, QDialogButtonBox::ResetRole);
    removeButton->setEnabled(someAlias);
    // A default button of its own would take Return from OK.
    removeButton->setAutoDefault(false);
    connect(removeButton, &QPushButton::clicked, this, &SetAliasDialog::doRemoveClicked);

    auto* layout = new QVBoxLayout;
    layout->addWidget(label);
    layout->addWidget(aliasEdit);
    layout->addWidget(enableCheck);
    layout->addWidget(buttons);
    // Of a fixed size: window managers draw no resize handle under it.
    layout->setSizeConstraint(QLayout::SetFixedSize);
    setLayout(layout);
    setWindowTitle(tr("Set Alias"));
}

int SetAliasDialog::getNewAlias(QString& alias)
{
    alias = aliasEdit->text();
    if (action == Undecided)
        action = enableCheck->isChecked() ? ShowAlias : HideAlias;
    return action;
}

void SetAliasDialog::doRemoveClicked()
{
    action = RemoveAlias;
    accept();
}
