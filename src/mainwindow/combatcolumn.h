#ifndef COMBATCOLUMN_H
#define COMBATCOLUMN_H

#include <QHash>
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
    // The width the cell's widget needs to show its text whole.
    virtual int neededWidth() const;

    bool eventFilter(QObject* watched, QEvent* event) override;

    MainInitiativeList* combatTable() const;
    Creature* getCreature() const;
    bool isGray() const;

protected:
    // Sets the widget's dynamic property, which its look follows.
    void setProperty(const char* name, bool value);
    void setDefaultStyle(int fontSize, bool centered);
    // The selection's background.
    void showSelected();
    // Makes the widget this cell's: events, style, tool tip and no focus.
    void adoptWidget(QWidget* widget, const QString& toolTip);
    // The widget's font changed: what was measured in it goes.
    virtual void forgetMeasures() {}

    QWidget* cellWidget = nullptr;
    bool centered = false;
    // In pixels; 0 keeps the table's font.
    int fontSize = 0;
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
    // The width the rich text takes on one line in the label, with its margins.
    int lineWidth(const QString& html) const;
};

class CombatIconColumn : public CombatLabelColumn
{
    Q_OBJECT

public:
    void refresh() override;
};

// Measured in bold too, as the current creature's name shows: the width
// holds whichever row is the current one.
class CombatNameColumn : public CombatLabelColumn
{
    Q_OBJECT

public:
    void refresh() override;
    int neededWidth() const override;

protected:
    void forgetMeasures() override { measuredWidth = -1; }

private:
    QString name;
    mutable int measuredWidth = -1;
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

// Its text wraps where the column is narrower than the text. Laying rich
// text out is the dear part of a resize: the widths and heights measured
// stay until the text or the font changes.
class CombatEffectsColumn : public CombatLabelColumn
{
    Q_OBJECT

public:
    QWidget* getWidget() override;
    void refresh() override;
    // The width the text takes on one line.
    int neededWidth() const override;
    int heightForWidth(int width) const;

protected:
    void forgetMeasures() override;

private:
    mutable int measuredWidth = -1;
    mutable QHash<int, int> heights;
};

class CombatHealthColumn : public CombatColumn
{
    Q_OBJECT

public:
    QWidget* getWidget() override;
    void refresh() override;
    int neededWidth() const override;
};

#endif
