#ifndef COMBATCOLUMN_H
#define COMBATCOLUMN_H

#include <QObject>
#include <QTableWidgetItem>

#include "toolkit/windowsanddialogs.h"

class Creature;
class MainInitiativeList;
class QLabel;

// One cell of the initiative table: the table's item and the owner of the
// widget shown over it. It draws whatever creature stands at its row when it
// refreshes, and hands the mouse events on its widget to the table.
class CombatColumn : public QObject, public QTableWidgetItem
{
    Q_OBJECT

public:
    CombatColumn();

    virtual void refresh() = 0;
    virtual QWidget* getWidget() = 0;
    virtual void applyStyle();

    bool eventFilter(QObject* watched, QEvent* event) override;

    MainInitiativeList* combatTable() const;
    Creature* getCreature() const;
    bool isGray() const;

protected:
    // Sets the widget's dynamic property; the style sheet selects on it.
    void setProperty(const char* name, bool value);
    void setDefaultStyle(int fontSize, bool centered);
    // The selection's background, from the style sheet.
    void showSelected();
    // Makes the widget this cell's: events, style, tool tip and no focus.
    void adoptWidget(QWidget* widget, const QString& toolTip);

    QWidget* cellWidget = nullptr;
    bool centered = false;
    QString styleSheet;
};

// A cell that shows rich text (or an icon) in a label.
class CombatLabelColumn : public CombatColumn, public WindowsAndDialogs
{
    Q_OBJECT

public:
    QWidget* getWidget() override;
    void applyStyle() override;

protected:
    QLabel* label() const;
};

class CombatIconColumn : public CombatLabelColumn
{
    Q_OBJECT

public:
    void refresh() override;
};

class CombatNameColumn : public CombatLabelColumn
{
    Q_OBJECT

public:
    void refresh() override;
};

class CombatInitColumn : public CombatLabelColumn
{
    Q_OBJECT

public:
    CombatInitColumn() { setDefaultStyle(10, true); }

    void refresh() override;
};

class CombatDefensesColumn : public CombatLabelColumn
{
    Q_OBJECT

public:
    CombatDefensesColumn() { setDefaultStyle(10, true); }

    void refresh() override;
};

// Its text wraps where the column is narrower than the text.
class CombatEffectsColumn : public CombatLabelColumn
{
    Q_OBJECT

public:
    QWidget* getWidget() override;
    void refresh() override;
    // The width the text takes on one line, with the label's margins.
    int textWidth() const;
};

class CombatHealthColumn : public CombatColumn
{
    Q_OBJECT

public:
    QWidget* getWidget() override;
    void refresh() override;
};

#endif
