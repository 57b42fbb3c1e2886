#ifndef MAININITIATIVELIST_H
#define MAININITIATIVELIST_H

#include <QHeaderView>
#include <QPixmap>
#include <QTableWidget>
#include <QTimer>

class Creature;
class PlayersListModel;
class QKeyEvent;

// The initiative table's header; a right click asks for the column menu. A
// section narrower than its title elides it: the toolkit's style would draw
// it whole, cut at both ends.
class CreatureHeaderView : public QHeaderView
{
    Q_OBJECT

public:
    CreatureHeaderView() : QHeaderView(Qt::Horizontal) { setTextElideMode(Qt::ElideRight); }

signals:
    void doRightClicked();

protected:
    void contextMenuEvent(QContextMenuEvent*) override { emit doRightClicked(); }
    void initStyleOptionForIndex(QStyleOptionHeader* option, int logicalIndex) const override;
};

// The game master's initiative table: one row per creature of the encounter
// in turn order, drawn by the CombatColumn cells. Clicks and keys on it change
// the encounter's selection; the commands they start go out as signals, which
// the main window connects to its slots. Column widths, order and visibility
// persist in the settings; until the game master sets a width, a name or a
// figure wider than its column's first width widens it, the columns give way
// to the last one's widest text where the table is narrow, and the effects
// wrap into a taller row before a name or a health bar gives way.
// The table asks for the room of every name in bold and every health figure,
// its effects' title elided last, so that the docks beside it give way first.
class MainInitiativeList : public QTableWidget
{
    Q_OBJECT

public:
    enum Column { IconColumn, NameColumn, InitColumn, DefensesColumn, HealthColumn, EffectsColumn, ColumnCount };

    MainInitiativeList();
    ~MainInitiativeList() override;

    // The room of the columns at their default widths, the last one showing its title.
    QSize sizeHint() const override;
    // The room of the columns at the least they show, the last one's title elided.
    QSize minimumSizeHint() const override;
    void setPlayersList(PlayersListModel* model) { playersList = model; }
    void updateList() { refreshLayout(0); }
    void setPauseUpdate(bool pause);
    // True when the table used the key.
    bool handleKeyEvent(QKeyEvent* event);

    void refreshLayout(int row);
    void refreshRow(int row);
    // A row's effects got a new text.
    void onEffectsChanged(int row);
    void selectRow(int row);
    void toggleRow(int row);
    void clearSelection();
    void clicked(int row, int column);

    // Runs the slot after the mouse event on a cell has returned, and only
    // while the row still shows the same creature: the command may drop the
    // very row whose cell reported the event.
    void queueCellCommand(void (MainInitiativeList::*slot)(int, int), int row, int column);

    const QPixmap& getCurrentPixmap() const { return currentPixmap; }
    const QPixmap& getNoIconPixmap() const { return noIconPixmap; }
    const QPixmap& getDelayedPixmap() const { return delayedPixmap; }
    const QPixmap& getReadyPixmap() const { return readyPixmap; }
    const QPixmap& getHiddenPixmap() const { return hiddenPixmap; }
    const QPixmap& getDeadPixmap() const { return deadPixmap; }

public slots:
    void onHeaderMoved(int logicalIndex, int oldVisualIndex, int newVisualIndex);
    void onInitHeaderClicked();
    // A press on a cell widget: the buttons and modifiers the release and double click act on.
    void onInitListPressed(int row, int column, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers);
    void onInitListClicked(int row, int column);
    void onInternalDoubleClick(int row, int column);
    void onCurrentCreatureChanged();
    void onCreatureInListUpdated();

signals:
    void doFocusOnHitPointBox();
    void doAddConditionOrEffect();
    void doRemoveCreatureFromEncounter(Creature* creature);
    void doRemoveSelectedCreatures();
    void doAdjustSelectedCreaturesInitiative(int places);
    void doShowAliases(const QList<Creature*>& creatures, bool show);
    void doEditAliases(const QList<Creature*>& creatures);
    void doHelpWithSelections();

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    class SizeBatch;

    // A column or row took a new size: the cells move and the table repaints.
    void onSectionResized(Qt::Orientation orientation, int section, int oldSize, int newSize);
    void restoreColumns();
    void saveColumns();
    void fitColumns();
    // The width the column's header and cells need.
    int shownWidth(int column) const;
    // The width a following column starts from before it gives way.
    int firstWidth(int column, int defaultWidth) const;
    // The effects' title elided to its first word.
    int leastEffectsWidth() const;
    // The frame and the scroll bar beside the columns.
    int outsideColumns() const;
    // The least width changed with the rows or the columns shown: the window lays the table out anew.
    void fitLeastWidth();
    // The effects' title shows whole in its tooltip where the column is narrower.
    void tipEffectsTitle(int width);
    // The row takes the lines its effects wrap into.
    void fitRowHeight(int row, int effectsWidth);
    void fitRowHeights(int effectsWidth);
    void addRow(int row);
    void extendSelection(int row);
    bool isMultiSelectClick() const;
    void showCellMenu();
    void markSelectedCreatures();
    // The model's signals of one command come in bursts: one refresh follows them all.
    void refreshSoon();
    void refreshNow();

    PlayersListModel* playersList = nullptr;
    Qt::MouseButtons pressedButtons;
    Qt::KeyboardModifiers pressedModifiers;
    bool movingSection = false;
    // No width stored or set by hand: the widths follow the table's.
    bool widthsFollow = false;
    bool fittingColumns = false;
    int leastWidth = 0;
    // Sizes set inside a SizeBatch wait for its end to move the cells.
    int sizeBatches = 0;
    bool sizesChanged = false;
    bool pauseUpdate = false;
    QPixmap currentPixmap;
    QPixmap noIconPixmap;
    QPixmap delayedPixmap;
    QPixmap readyPixmap;
    QPixmap hiddenPixmap;
    QPixmap deadPixmap;
    QTimer refreshTimer;
    bool scrollToCurrent = false;
    // Hidden behind a panel, the list refreshes once it shows again.
    bool refreshWhenShown = false;
};

#endif
