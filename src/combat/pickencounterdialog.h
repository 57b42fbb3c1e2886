#ifndef PICKENCOUNTERDIALOG_H
#define PICKENCOUNTERDIALOG_H

#include "combat/picklist.h"

class EncounterData;
class QAbstractButton;
class QComboBox;
class QPushButton;

// The prepared encounters of the library, filtered by name and adventure.
class PickEncounterModel : public PickListModel
{
    Q_OBJECT

public:
    PickEncounterModel();

    // Does nothing while both are unchanged, so that the selection stays.
    void setFilter(const QString& text, const QString& adventure);
    // Null when the encounter left the library.
    EncounterData* getEncounter(int row) const;
    int getRow(EncounterData* encounter) const { return encounter ? encounters.indexOf(encounter) : -1; }

protected:
    int entryCount() const override { return int(encounters.size()); }
    void readLibrary() override;
    QVariant cell(int row, int column) const override;
    bool passes(int row) const override;

private:
    QList<EncounterData*> encounters;
    QString filter;
    QString adventure;
};

// The panel that picks a prepared encounter and how it enters the fight.
// Ends with 0 (cancelled), 3 (add), 4 (add hidden), 5 (replace or set) or
// 7 (replace or set hidden); which of them it offers follows the fight.
class PickEncounterDialog : public PickListDialog
{
    Q_OBJECT

public:
    // Opens on that adventure when the library still has it.
    explicit PickEncounterDialog(const QString& adventure);

    void setDefaultFocus(QWidget*) override {}
    // The adventure shown is handed back in any case.
    EncounterData* getSelectedEncounter(QString& adventure);
    PickEncounterModel* getModel() const { return model; }
    QComboBox* getAdventureBox() const { return adventureBox; }

public slots:
    void onClicked(QAbstractButton* button);
    void onFilterChanged(QObject*) override;
    void onEncounterAdventureSelected(int);

protected:
    void selectionChanged() override;
    void keepChoice() override;

private:
    void toggleButtons();

    QComboBox* adventureBox;
    PickEncounterModel* model;
    EncounterData* chosen = nullptr;
    QPushButton* cancelButton;
    // Null where the fight does not offer them.
    QPushButton* addButton = nullptr;
    QPushButton* addHiddenButton = nullptr;
    QPushButton* setButton = nullptr;
    QPushButton* setHiddenButton = nullptr;
};

#endif
