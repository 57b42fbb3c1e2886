#include "mainwindow/maininitiativelist.h"

#include <QCursor>
#include <QMap>
#include <QMenu>
#include <QStyle>
#include <QStyleOptionHeader>
#include <QSettings>

#include <algorithm>
#include <utility>

#include "encounter/encounter.h"
#include "foundation/global.h"
#include "foundation/switchboard.h"
#include "mainwindow/combatcolumn.h"
#include "toolkit/itemviews.h"

namespace {

// The columns the game master may hide, with their settings and header menu entries.
struct HideableColumn
{
    int column;
    const char* visibleKey;
    const char* menuText;
};

const HideableColumn hideableColumns[] = {
    {MainInitiativeList::InitColumn, "initiativeList/initColumnVisible", QT_TRANSLATE_NOOP("MainInitiativeList", "Init Column")},
    {MainInitiativeList::DefensesColumn, "initiativeList/defensesColumnVisible",
        QT_TRANSLATE_NOOP("MainInitiativeList", "Defenses Column")},
    {MainInitiativeList::HealthColumn, "initiativeList/healthColumnVisible",
        QT_TRANSLATE_NOOP("MainInitiativeList", "Health Column")},
};

// The columns whose width and place are kept; the icon's width is read only.
struct StoredColumn
{
    int column;
    const char* widthKey;
    int defaultWidth;
    const char* positionKey;
};

const StoredColumn storedColumns[] = {
    {MainInitiativeList::NameColumn, "initiativeList/nameColumnWidth", 210, "initiativeList/nameColumnPosition"},
    {MainInitiativeList::InitColumn, "initiativeList/initColumnWidth", 40, "initiativeList/initColumnPosition"},
    {MainInitiativeList::DefensesColumn, "initiativeList/defensesColumnWidth", 115,
        "initiativeList/defensesColumnPosition"},
    {MainInitiativeList::HealthColumn, "initiativeList/healthColumnWidth", 100, "initiativeList/healthColumnPosition"},
};


CombatColumn* makeCell(int column)
{
    switch (column) {
    case MainInitiativeList::IconColumn: return new CombatIconColumn;
    case MainInitiativeList::NameColumn: return new CombatNameColumn;
    case MainInitiativeList::InitColumn: return new CombatInitColumn;
    case MainInitiativeList::DefensesColumn: return new CombatDefensesColumn;
    case MainInitiativeList::HealthColumn: return new CombatHealthColumn;
    default: return new CombatEffectsColumn;
    }
}

}

// The view moves its cells and repaints the table after a column or row took
// a new size, on a timer that runs only once the table has painted, so that
// each resize painted every cell twice. The sizes set inside a batch move the
// cells once at its end instead, before the table paints.
class MainInitiativeList::SizeBatch
{
public:
    explicit SizeBatch(MainInitiativeList* table) : table(table) { table->sizeBatches++; }
    ~SizeBatch()
    {
        if (table->sizeBatches == 1 && table->sizesChanged) {
            // Placing the cells may stretch the last column, which refits the rows: one more pass places them.
            for (int pass = 0; pass < 3 && std::exchange(table->sizesChanged, false); pass++)
                table->updateGeometries();
            table->viewport()->update();
        }
        table->sizeBatches--;
    }
    SizeBatch(const SizeBatch&) = delete;
    SizeBatch& operator=(const SizeBatch&) = delete;

private:
    MainInitiativeList* table;
};

void CreatureHeaderView::initStyleOptionForIndex(QStyleOptionHeader* option, int logicalIndex) const
{
    QHeaderView::initStyleOptionForIndex(option, logicalIndex);
    // The section's place is set after this; its size is enough to elide in.
    QStyleOptionHeader sized = *option;
    sized.rect = QRect(0, 0, sectionSize(logicalIndex), height());
    const int room = style()->subElementRect(QStyle::SE_HeaderLabel, &sized, this).width();
    option->text = option->fontMetrics.elidedText(option->text, textElideMode(), room);
}

MainInitiativeList::MainInitiativeList()
    : currentPixmap(":/images/arrow-right-green128.png"),
      noIconPixmap(":/images/no-icon.png"),
      delayedPixmap(":/images/delay-turn16.png"),
      readyPixmap(":/images/ready-action16.png"),
      hiddenPixmap(":/images/faided-eye128.png"),
      deadPixmap(":/images/skull-xbones16.png")
{
    // Every icon cell shows them at this height; scaled once here, not at each refresh.
    for (QPixmap* pixmap : {&currentPixmap, &noIconPixmap, &delayedPixmap, &readyPixmap, &hiddenPixmap, &deadPixmap})
        *pixmap = pixmap->scaledToHeight(18, Qt::SmoothTransformation);
    setItemDelegate(new NoFocusDelegate(this));
    auto* header = new CreatureHeaderView;
    setHorizontalHeader(header);
    header->setStretchLastSection(true);
    header->setSectionsMovable(true);
    header->setSectionsClickable(true);
    // The style's own minimum would widen the icon column beyond its 24 pixels.
    header->setMinimumSectionSize(16);

    setColumnCount(ColumnCount);
    setSelectionMode(QAbstractItemView::NoSelection);
    setSortingEnabled(false);
    setGridStyle(Qt::NoPen);
    setAlternatingRowColors(true);
    setHorizontalHeaderLabels({QString(), tr("Name"), tr("Init"), tr("Defenses"), tr("Health"),
                               tr("Conditions and Effects")});
    verticalHeader()->setDefaultSectionSize(24);
    verticalHeader()->hide();
    restoreColumns();
    fitLeastWidth();
    refreshTimer.setSingleShot(true);
    refreshTimer.setInterval(0);
    connect(&refreshTimer, &QTimer::timeout, this, &MainInitiativeList::refreshNow);

    connect(header, &QHeaderView::sectionMoved, this, &MainInitiativeList::onHeaderMoved);
    // The table answers its headers' new sizes itself (SizeBatch): the view's own
    // answer places the cells on a zero timer after the paint, so every cell would
    // paint twice, and no public call runs or cancels it. The toolkit connects that
    // answer one way or the other.
    disconnect(header, &QHeaderView::sectionResized, this, &MainInitiativeList::columnResized);
    disconnect(header, SIGNAL(sectionResized(int,int,int)), this, SLOT(columnResized(int,int,int)));
    disconnect(verticalHeader(), &QHeaderView::sectionResized, this, &MainInitiativeList::rowResized);
    disconnect(verticalHeader(), SIGNAL(sectionResized(int,int,int)), this, SLOT(rowResized(int,int,int)));
    connect(verticalHeader(), &QHeaderView::sectionResized, this, [this](int row, int oldHeight, int newHeight) {
        onSectionResized(Qt::Vertical, row, oldHeight, newHeight);
    });
    connect(header, &QHeaderView::sectionResized, this, [this](int column, int oldWidth, int newWidth) {
        onSectionResized(Qt::Horizontal, column, oldWidth, newWidth);
        // While the header resizes, the column still reports its old width.
        if (column == EffectsColumn) {
            fitRowHeights(newWidth);
            tipEffectsTitle(newWidth);
        }
        if (fittingColumns || column == EffectsColumn)
            return;
        // A column shown or hidden leaves another room; any other width comes from the game master.
        if (oldWidth != 0 && newWidth != 0)
            widthsFollow = false;
        else
            fitLeastWidth();
        fitColumns();
    });
    connect(header, &QHeaderView::sectionClicked, this, &MainInitiativeList::onInitHeaderClicked);
    connect(header, &CreatureHeaderView::doRightClicked, this, &MainInitiativeList::onInitHeaderClicked);
    connect(&Global::switchBoard, &SwitchBoard::doCreatureEffectsChanged, this,
            &MainInitiativeList::onCreatureInListUpdated);
    connect(&Global::switchBoard, &SwitchBoard::doCreatureUpdated, this, &MainInitiativeList::onCreatureInListUpdated);
    connect(Global::encounter, &Encounter::doCurrentCreatureChanged, this,
            &MainInitiativeList::onCurrentCreatureChanged);
}

MainInitiativeList::~MainInitiativeList()
{
    saveColumns();
}

void MainInitiativeList::onSectionResized(Qt::Orientation orientation, int section, int oldSize, int newSize)
{
    if (sizeBatches > 0)
        sizesChanged = true;
    else if (orientation == Qt::Horizontal)
        columnResized(section, oldSize, newSize);
    else
        rowResized(section, oldSize, newSize);
}

void MainInitiativeList::restoreColumns()
{
    QSettings settings;
    widthsFollow = std::none_of(std::begin(storedColumns), std::end(storedColumns),
                                [&](const StoredColumn& stored) { return settings.contains(stored.widthKey); });
    setColumnWidth(IconColumn, settings.value("initiativeList/iconColumnWidth", 24).toInt());
    for (const StoredColumn& stored : storedColumns)
        setColumnWidth(stored.column, settings.value(stored.widthKey, stored.defaultWidth).toInt());
    // The last column takes the rest of the width, down to this.
    setColumnWidth(EffectsColumn, leastEffectsWidth());

    // Two columns stored at one place: the later one takes it.
    QMap<int, int> columnAt;
    for (const StoredColumn& stored : storedColumns)
        columnAt.insert(settings.value(stored.positionKey, stored.column).toInt(), stored.column);
    for (auto it = columnAt.cbegin(); it != columnAt.cend(); ++it)
        horizontalHeader()->moveSection(horizontalHeader()->visualIndex(it.value()), it.key());
    horizontalHeader()->moveSection(horizontalHeader()->visualIndex(IconColumn), 0);

    for (const HideableColumn& hideable : hideableColumns)
        setColumnHidden(hideable.column, !settings.value(hideable.visibleKey, true).toBool());
}

void MainInitiativeList::saveColumns()
{
    QSettings settings;
    for (const HideableColumn& hideable : hideableColumns) {
        settings.setValue(hideable.visibleKey, !isColumnHidden(hideable.column));
        // A hidden column reports the width 0.
        showColumn(hideable.column);
    }
    for (const StoredColumn& stored : storedColumns) {
        if (!widthsFollow)
            settings.setValue(stored.widthKey, columnWidth(stored.column));
        settings.setValue(stored.positionKey, horizontalHeader()->visualIndex(stored.column));
    }
}

QSize MainInitiativeList::sizeHint() const
{
    int width = outsideColumns() + horizontalHeader()->sectionSizeHint(EffectsColumn) + columnWidth(IconColumn);
    for (const StoredColumn& stored : storedColumns)
        if (!isColumnHidden(stored.column))
            width += widthsFollow ? firstWidth(stored.column, stored.defaultWidth) : columnWidth(stored.column);
    return {qMax(width, leastWidth), QTableWidget::sizeHint().height()};
}

QSize MainInitiativeList::minimumSizeHint() const
{
    return {leastWidth, QTableWidget::minimumSizeHint().height()};
}

int MainInitiativeList::outsideColumns() const
{
    return 2 * frameWidth() + style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
}

int MainInitiativeList::leastEffectsWidth() const
{
    const QString title = horizontalHeaderItem(EffectsColumn)->text();
    const QFontMetrics metrics = horizontalHeader()->fontMetrics();
    const QString elided = title.section(' ', 0, 0) + QChar(0x2026);
    return horizontalHeader()->sectionSizeHint(EffectsColumn) - metrics.horizontalAdvance(title)
           + metrics.horizontalAdvance(elided);
}

void MainInitiativeList::fitLeastWidth()
{
    // A fight of short names keeps the table's own least width.
    int width = outsideColumns() + columnWidth(IconColumn) + leastEffectsWidth();
    for (const StoredColumn& stored : storedColumns)
        if (!isColumnHidden(stored.column))
            width += shownWidth(stored.column);
    width = qMax(360, width);
    if (std::exchange(leastWidth, width) != width)
        updateGeometry();
}

void MainInitiativeList::tipEffectsTitle(int width)
{
    QTableWidgetItem* title = horizontalHeaderItem(EffectsColumn);
    const QString tip = width < horizontalHeader()->sectionSizeHint(EffectsColumn) ? title->text() : QString();
    if (title->toolTip() != tip)
        title->setToolTip(tip);
}

int MainInitiativeList::shownWidth(int column) const
{
    int cells = 0;
    for (int row = 0; row < rowCount(); row++)
        if (const auto* cell = static_cast<const CombatColumn*>(item(row, column)))
            cells = qMax(cells, cell->neededWidth());
    // A cell's widget leaves the grid line its pixel.
    return qMax(horizontalHeader()->sectionSizeHint(column), cells + (showGrid() ? 1 : 0));
}

int MainInitiativeList::firstWidth(int column, int defaultWidth) const
{
    // A name or figure wider than the default takes its room before the effects do.
    return qMax(defaultWidth, shownWidth(column));
}

void MainInitiativeList::fitColumns()
{
    if (!widthsFollow || fittingColumns)
        return;
    // The first widths while the room allows. Past that the Defenses and
    // Init columns give way to the effects, then the effects wrap down to
    // their title's width, and only then do the columns that say who and how
    // hurt give way; none goes narrower than what it shows.
    QMap<int, int> widths;
    const int effects = shownWidth(EffectsColumn);
    int excess = effects + columnWidth(IconColumn) - viewport()->width();
    for (const StoredColumn& stored : storedColumns)
        if (!isColumnHidden(stored.column)) {
            widths[stored.column] = firstWidth(stored.column, stored.defaultWidth);
            excess += widths[stored.column];
        }
    auto giveWay = [&](std::initializer_list<int> columns) {
        for (int column : columns)
            if (excess > 0 && widths.contains(column)) {
                const int given = qBound(0, widths[column] - shownWidth(column), excess);
                widths[column] -= given;
                excess -= given;
            }
    };
    giveWay({DefensesColumn, InitColumn});
    excess -= effects - horizontalHeader()->sectionSizeHint(EffectsColumn);
    giveWay({NameColumn, HealthColumn});
    fittingColumns = true;
    for (auto it = widths.cbegin(); it != widths.cend(); ++it)
        setColumnWidth(it.key(), it.value());
    fittingColumns = false;
}

void MainInitiativeList::onEffectsChanged(int row)
{
    fitRowHeight(row, columnWidth(EffectsColumn));
}

void MainInitiativeList::fitRowHeight(int row, int effectsWidth)
{
    // A cell's widget leaves the grid line its pixel.
    const int grid = showGrid() ? 1 : 0;
    const auto* effects = static_cast<const CombatEffectsColumn*>(item(row, EffectsColumn));
    const int needed = effects ? effects->heightForWidth(effectsWidth - grid) + grid : 0;
    setRowHeight(row, qMax(verticalHeader()->defaultSectionSize(), needed));
}

void MainInitiativeList::fitRowHeights(int effectsWidth)
{
    for (int row = 0; row < rowCount(); row++)
        fitRowHeight(row, effectsWidth);
}

void MainInitiativeList::resizeEvent(QResizeEvent* event)
{
    const SizeBatch batch(this);
    QTableWidget::resizeEvent(event);
    fitColumns();
}

void MainInitiativeList::onHeaderMoved(int logicalIndex, int oldVisualIndex, int newVisualIndex)
{
    if (movingSection)
        return;
    movingSection = true;
    // The icon and the effects stay at the ends, the others between them.
    const bool toAnEnd = newVisualIndex == 0 || newVisualIndex == ColumnCount - 1;
    const bool endColumn = logicalIndex == IconColumn || logicalIndex == EffectsColumn;
    if (toAnEnd != endColumn)
        horizontalHeader()->moveSection(newVisualIndex, oldVisualIndex);
    movingSection = false;
}

void MainInitiativeList::onInitHeaderClicked()
{
    QMenu menu;
    QList<QAction*> columnEntries;
    for (const HideableColumn& hideable : hideableColumns) {
        QAction* entry = menu.addAction(tr(hideable.menuText));
        entry->setCheckable(true);
        entry->setChecked(!isColumnHidden(hideable.column));
        columnEntries << entry;
    }
    QAction* help = menu.addAction(tr("Need help selecting?"));
    QAction* chosen = menu.exec(QCursor::pos());
    if (!chosen)
        return;
    if (chosen == help) {
        emit doHelpWithSelections();
        return;
    }
    const int which = columnEntries.indexOf(chosen);
    setColumnHidden(hideableColumns[which].column, !chosen->isChecked());
}

void MainInitiativeList::setPauseUpdate(bool pause)
{
    pauseUpdate = pause;
    if (!pause)
        refreshLayout(0);
}

void MainInitiativeList::refreshLayout(int row)
{
    if (pauseUpdate || !Global::encounter)
        return;
    const SizeBatch batch(this);
    const int count = Global::encounter->getCreatureCount();
    const int old = rowCount();
    // Dropped rows take their cells and cell widgets with them.
    setRowCount(count);
    for (int newRow = old; newRow < count; newRow++)
        addRow(newRow);
    if (row != 0) {
        refreshRow(row);
    } else {
        for (int i = 0; i < rowCount(); i++)
            refreshRow(i);
    }
    // Cells show once refreshed: the widest ones bound the fit.
    fitColumns();
    fitLeastWidth();
}

void MainInitiativeList::addRow(int row)
{
    for (int column = 0; column < ColumnCount; column++) {
        CombatColumn* cell = makeCell(column);
        setItem(row, column, cell);
        if (QWidget* widget = cell->getWidget())
            setCellWidget(row, column, widget);
    }
}

void MainInitiativeList::refreshRow(int row)
{
    if (pauseUpdate)
        return;
    for (int column = 0; column < ColumnCount; column++)
        if (auto* cell = static_cast<CombatColumn*>(item(row, column)))
            cell->refresh();
}

void MainInitiativeList::onCreatureInListUpdated()
{
    refreshSoon();
}

void MainInitiativeList::onCurrentCreatureChanged()
{
    scrollToCurrent = true;
    refreshSoon();
}

void MainInitiativeList::refreshSoon()
{
    refreshTimer.start();
}

void MainInitiativeList::refreshNow()
{
    // The encounter goes before the window at shut-down.
    if (!Global::encounter)
        return;
    if (isHidden()) {
        refreshWhenShown = true;
        return;
    }
    refreshLayout(0);
    const int current = Global::encounter->getCurrentIndex();
    if (std::exchange(scrollToCurrent, false) && current >= 0 && item(current, IconColumn))
        scrollToItem(item(current, IconColumn), QAbstractItemView::EnsureVisible);
}

void MainInitiativeList::showEvent(QShowEvent* event)
{
    QTableWidget::showEvent(event);
    if (std::exchange(refreshWhenShown, false))
        refreshNow();
}
