#include "mainwindow/combatcolumn.h"

#include <QLabel>
#include <QMouseEvent>
#include <QTextDocument>
#include <QtMath>

#include "creature/creature.h"
#include "encounter/encounter.h"
#include "foundation/global.h"
#include "mainwindow/maininitiativelist.h"
#include "toolkit/progressbar.h"
#include "foundation/textcolours.h"

CombatColumn::CombatColumn() : QTableWidgetItem(QTableWidgetItem::UserType)
{
    setDefaultStyle(0, false);
}

MainInitiativeList* CombatColumn::combatTable() const
{
    return qobject_cast<MainInitiativeList*>(tableWidget());
}

Creature* CombatColumn::getCreature() const
{
    return Global::encounter->getCreature(tableWidget() ? row() : -1);
}

bool CombatColumn::isGray() const
{
    const Creature* creature = getCreature();
    return creature
        && (creature->isDead(false) || creature->isDying() || creature->isHidden() || creature->isMissing()
            || creature->isDelayed() || creature->isReady());
}

void CombatColumn::setProperty(const char* name, bool value)
{
    // Restyling is the dear part of a refresh: only a change of the value needs it.
    if (!cellWidget || cellWidget->property(name) == QVariant(value))
        return;
    cellWidget->setProperty(name, value);
    applyStyle();
}

void CombatColumn::showSelected()
{
    setProperty("selected", Global::encounter->isCreatureSelected(getCreature()));
}

void CombatColumn::setDefaultStyle(int fontSize, bool centered)
{
    this->fontSize = fontSize;
    this->centered = centered;
    applyStyle();
}

void CombatColumn::applyStyle()
{
    if (!cellWidget)
        return;
    // A font and a palette of its own: a style sheet per cell matched its rules at every paint.
    const bool selected = cellWidget->property("selected").toBool();
    cellWidget->setAutoFillBackground(selected);
    if (selected) {
        QPalette palette = cellWidget->palette();
        palette.setColor(cellWidget->backgroundRole(), TextColours::selection());
        cellWidget->setPalette(palette);
    }
    if (fontSize != 0) {
        QFont font = cellWidget->font();
        font.setPixelSize(fontSize);
        cellWidget->setFont(font);
    }
    cellWidget->setContentsMargins(1, 0, 0, 0);
}

void CombatColumn::adoptWidget(QWidget* widget, const QString& toolTip)
{
    cellWidget = widget;
    cellWidget->installEventFilter(this);
    applyStyle();
    cellWidget->setToolTip(toolTip);
    cellWidget->setFocusPolicy(Qt::NoFocus);
}

int CombatColumn::neededWidth() const
{
    return cellWidget ? cellWidget->sizeHint().width() : 0;
}

bool CombatColumn::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == cellWidget && event->type() == QEvent::FontChange)
        forgetMeasures();
    MainInitiativeList* table = combatTable();
    if (!table || watched != cellWidget)
        return false;
    // Only the press is taken at once; what the click does runs once the event is over.
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        const auto* press = static_cast<QMouseEvent*>(event);
        table->onInitListPressed(row(), column(), press->buttons(), press->modifiers());
        break;
    }
    case QEvent::MouseButtonRelease:
        table->queueCellCommand(&MainInitiativeList::onInitListClicked, row(), column());
        break;
    case QEvent::MouseButtonDblClick:
        table->queueCellCommand(&MainInitiativeList::onInternalDoubleClick, row(), column());
        break;
    default:
        break;
    }
    return false;
}

QWidget* CombatLabelColumn::getWidget()
{
    adoptWidget(htmlLabel(QString()), tr("Left-click: select, right-click: multi-select"));
    return cellWidget;
}

QLabel* CombatLabelColumn::label() const
{
    return static_cast<QLabel*>(cellWidget);
}

int CombatLabelColumn::lineWidth(const QString& html) const
{
    // A wrapping label's size hint is no single line.
    QLabel* shown = label();
    shown->ensurePolished();
    QTextDocument document;
    document.setDefaultFont(shown->font());
    document.setDocumentMargin(0);
    document.setHtml(html);
    // Beside its frame, a label not given an indent indents its text by half an x.
    int indent = shown->indent();
    if (indent < 0 && shown->frameWidth() > 0)
        indent = shown->fontMetrics().horizontalAdvance(QLatin1Char('x')) / 2 - shown->margin();
    if (!(shown->alignment() & (Qt::AlignLeft | Qt::AlignRight)))
        indent = 0;
    return qCeil(document.idealWidth()) + shown->width() - shown->contentsRect().width() + 2 * shown->margin()
           + qMax(indent, 0);
}

void CombatLabelColumn::applyStyle()
{
    CombatColumn::applyStyle();
    if (cellWidget)
        label()->setAlignment((centered ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignVCenter);
}

void CombatIconColumn::refresh()
{
    MainInitiativeList* table = combatTable();
    const Creature* creature = getCreature();
    if (!table || !creature)
        return;
    const QPixmap* pixmap = &table->getNoIconPixmap();
    QString tip = tr("Right-click to multi-select");
    if (row() == Global::encounter->getCurrentIndex()) {
        pixmap = &table->getCurrentPixmap();
        tip = tr("It is this creature's turn");
    } else if (creature->isDelayed()) {
        pixmap = &table->getDelayedPixmap();
        tip = tr("This creature has delayed it's turn, click Jump In)");
    } else if (creature->isReady()) {
        pixmap = &table->getReadyPixmap();
        tip = tr("This creature has readied an action, click Jump In");
    } else if (creature->isHidden()) {
        pixmap = &table->getHiddenPixmap();
        tip = tr("This creature is hidden from the players");
    } else if (creature->isDead(false)) {
        pixmap = &table->getDeadPixmap();
        tip = tr("This creature is dead, click here to remove");
    }
    showSelected();
    label()->setPixmap(*pixmap);
    label()->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    label()->setToolTip(tip);
}

void CombatNameColumn::refresh()
{
    const Creature* creature = getCreature();
    if (!creature)
        return;
    // Names come from pasted and imported files: markup in them is text.
    QString text = Global::encounter->getInitativeListName(row()).toHtmlEscaped();
    if (text != name) {
        name = text;
        forgetMeasures();
    }
    if (isGray())
        text = QString("<font color=%1>%2</font>").arg(TextColours::greyed().name(), text);
    else if (creature->isHero())
        text = QString("<font color=blue>%1</font>").arg(text);
    else if (creature->isTrap())
        text = QString("<font color=saddlebrown>%1</font>").arg(text);
    if (row() == Global::encounter->getCurrentIndex())
        text = QString("<b>%1</b>").arg(text);
    showSelected();
    label()->setText(text);
}

int CombatNameColumn::neededWidth() const
{
    if (measuredWidth < 0)
        measuredWidth = qMax(lineWidth(name), lineWidth(QString("<b>%1</b>").arg(name)));
    return measuredWidth;
}

void CombatInitColumn::refresh()
{
    MainInitiativeList* table = combatTable();
    const Creature* creature = getCreature();
    if (!table || !creature)
        return;
    showSelected();
    const int form = table->columnWidth(MainInitiativeList::InitColumn) > 49 ? 1 : 0;
    label()->setText(creature->getInitiative(false, form));
}

void CombatDefensesColumn::refresh()
{
    const Creature* creature = getCreature();
    if (!creature)
        return;
    showSelected();
    label()->setText(creature->getDefenses(true));
}

QWidget* CombatEffectsColumn::getWidget()
{
    CombatLabelColumn::getWidget();
    cellWidget->setToolTip(tr("Left-click: C&E dialog, right-click: context menu"));
    label()->setWordWrap(true);
    // The toolkit's own indent beside a frame is its guess, which textWidth cannot follow.
    label()->setIndent(0);
    return cellWidget;
}

void CombatEffectsColumn::refresh()
{
    const Creature* creature = getCreature();
    if (!creature)
        return;
    const QString state = creature->getShortStateText();
    const QString effects = creature->getEffectsList();
    showSelected();
    const QString text = !state.isEmpty() && !effects.isEmpty() ? state + "; " + effects : state + effects;
    if (label()->text() == text)
        return;
    label()->setText(text);
    forgetMeasures();
    if (MainInitiativeList* table = combatTable())
        table->onEffectsChanged(row());
}

int CombatEffectsColumn::neededWidth() const
{
    if (measuredWidth < 0)
        measuredWidth = lineWidth(label()->text());
    return measuredWidth;
}

int CombatEffectsColumn::heightForWidth(int width) const
{
    // Wider than the text, the one line's height holds.
    const int key = qMin(width, neededWidth());
    auto known = heights.constFind(key);
    if (known == heights.cend())
        known = heights.insert(key, cellWidget->heightForWidth(key));
    return *known;
}

void CombatEffectsColumn::forgetMeasures()
{
    measuredWidth = -1;
    heights.clear();
}

QWidget* CombatHealthColumn::getWidget()
{
    adoptWidget(new ProgressBarWidget, tr("Clicking here selects the HP Box in the Toolbar"));
    return cellWidget;
}

void CombatHealthColumn::refresh()
{
    Creature* creature = getCreature();
    if (!creature)
        return;
    const bool selected = Global::encounter->isCreatureSelected(creature);
    showSelected();
    auto* bar = static_cast<ProgressBarWidget*>(cellWidget);
    bar->setProgress(creature->getPercentageHP(), isGray(), creature->getHPLevel(),
                     selected ? TextColours::selection().name() : QString());
    // The bar does not repaint by itself.
    bar->update();
}

int CombatHealthColumn::neededWidth() const
{
    // The bar draws its text inside margins of 5 pixels and an outline.
    const auto* bar = static_cast<ProgressBarWidget*>(cellWidget);
    return bar->fontMetrics().horizontalAdvance(bar->getText()) + 14;
}
