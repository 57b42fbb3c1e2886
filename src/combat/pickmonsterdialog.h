#ifndef PICKMONSTERDIALOG_H
#define PICKMONSTERDIALOG_H

#include <QPointer>

#include "combat/picklist.h"

class Creature;
class QAbstractButton;
class QPushButton;

// The monster templates of the library, filtered by name; deleted ones never show.
class PickMonsterModel : public PickListModel
{
    Q_OBJECT

public:
    PickMonsterModel();

    // Does nothing while the text is unchanged, so that the selection stays.
    void setFilter(const QString& text);
    static bool match(const QString& name, const QString& filter);
    // Null when the template is gone.
    Creature* getTemplate(int row) const { return templates.value(row); }
    int getRow(Creature* monster) const { return monster ? templates.indexOf(monster) : -1; }

protected:
    int entryCount() const override { return int(templates.size()); }
    void readLibrary() override;
    QVariant cell(int row, int column) const override;
    bool passes(int row) const override;

private:
    QList<QPointer<Creature>> templates;
    QString filter;
};

// The panel that picks a monster template, its new monster's ID and alias.
// Ends with 0 (cancelled), 3 (add) or 4 (add hidden).
class PickMonsterDialog : public PickListDialog
{
    Q_OBJECT

public:
    PickMonsterDialog();

    // The monster of the chosen template with the chosen ID, made when new;
    // null without a choice. The alias is the one typed.
    Creature* getSelectedMonster(QString& alias);
    PickMonsterModel* getModel() const { return model; }
    QLineEdit* getIdEdit() const { return idEdit; }
    QLineEdit* getAliasEdit() const { return aliasEdit; }

public slots:
    void onClicked(QAbstractButton* button);
    void onFilterChanged(QObject*) override;
    void monsterNameChanged(const QString&);
    // Ends only with an ID that no monster of the encounter bears.
    void done(int code) override;

protected:
    void selectionChanged() override;
    void keepChoice() override;

private:
    void toggleOKButton();
    void refuseId(const QString& text);

    PickMonsterModel* model;
    QLineEdit* idEdit;
    QLineEdit* aliasEdit;
    QPointer<Creature> chosen;
    QPushButton* cancelButton;
    QPushButton* addButton;
    QPushButton* addHiddenButton;
};

#endif
