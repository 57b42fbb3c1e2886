#include "powerdialog/targetpickerwidget.h"

#include <QApplication>
#include <QGridLayout>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QResizeEvent>
#include <QScrollBar>
#include <QToolButton>
#include <QWidgetItem>

#include "creature/creature.h"
#include "encounter/encounter.h"
#include "foundation/global.h"
#include "foundation/textcolours.h"
#include "powerdialog/goorder.h"
#include "powerdialog/picklistwidget.h"
#include "powerdialog/powerwidget.h"
#include "powerdialog/effectcreatures.h"
#include "powers/power.h"
#include "toolkit/dynamicwidgets.h"
#include "toolkit/scrollandtabs.h"

int TargetPickerWidget::gMissSource = TargetPickerWidget::FromTargets;

namespace {

QString nativeKeys(const QKeySequence& keys)
{
    return keys.toString(QKeySequence::NativeText);
}

// As tall as the lists stand where the panel has room.
const int listsHeight = 130;

PickListWidget* pickList(const char* name)
{
    auto* list = new PickListWidget;
    list->setObjectName(name);
    list->setSortingEnabled(true);
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list->setFixedHeight(listsHeight);
    // A long entry is elided rather than scrolled to.
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    return list;
}

QToolButton* moveButton(const QString& text, Qt::ArrowType arrow)
{
    auto* button = new QToolButton;
    button->setText(text);
    button->setArrowType(arrow);
    if (arrow != Qt::NoArrow)
        button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    // The focus stays in the lists.
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

Creature* creatureOf(QListWidgetItem* item)
{
    return static_cast<CreatureSorterItem*>(item)->creature;
}

}

TargetPickerWidget::TargetPickerWidget(PickListInterface* owner, EffectCreatures* creatures, CreaturePower* power)
    : owner(owner), creatures(creatures), power(power)
{
    buildControls();
}

TargetPickerWidget::~TargetPickerWidget()
{
    // The focus moves while the lists go, when this is no picker any more.
    disconnect(qApp, nullptr, this, nullptr);
}

QSize TargetPickerWidget::minimumSizeHint() const
{
    const auto* grid = static_cast<const QGridLayout*>(layout());
    int listsHint = 0;
    int listsLeast = 0;
    for (int column = 0; column < grid->columnCount(); column++) {
        const QLayoutItem* item = grid->itemAtPosition(1, column);
        listsHint = qMax(listsHint, item->sizeHint().height());
        listsLeast = qMax(listsLeast, item->minimumSize().height());
    }
    // The lists yield down to the buttons between them.
    const int whole = grid->hasHeightForWidth() ? grid->totalHeightForWidth(width()) : grid->totalSizeHint().height();
    return {QWidget::minimumSizeHint().width(), whole - listsHint + listsLeast};
}

int TargetPickerWidget::listsRowHeight() const
{
    // Stacked, the buttons are never taller than the lists.
    return leftList->height();
}

void TargetPickerWidget::fitLists(int height)
{
    const int entry = leftList->count() > 0   ? leftList->sizeHintForRow(0)
                      : rightList->count() > 0 ? rightList->sizeHintForRow(0)
                                               : leftList->fontMetrics().height();
    // Three whole entries, and room for the bar to scroll them by.
    const int least = qMax(3 * entry, QWidgetItem(leftList->verticalScrollBar()).minimumSize().height());
    const int lists = qBound(least + 2 * leftList->frameWidth(), height, listsHeight);
    // Lists shorter than the buttons stacked have them two by two beside them.
    arrangeMoveButtons(lists >= 4 * addButton->sizeHint().height());
    for (PickListWidget* list : {leftList, rightList})
        list->setFixedHeight(lists);
}

void TargetPickerWidget::arrangeMoveButtons(bool stacked)
{
    auto* grid = static_cast<QGridLayout*>(moveButtons->layout());
    // Standing as asked already, they are left alone: their layout would be redone for nothing.
    if (const int last = grid->indexOf(removeAllButton); last >= 0) {
        int row = 0;
        int column = 0;
        int rowSpan = 0;
        int columnSpan = 0;
        grid->getItemPosition(last, &row, &column, &rowSpan, &columnSpan);
        if (row == (stacked ? 3 : 1))
            return;
    }
    const QList<QToolButton*> buttons{addButton, removeButton, addAllButton, removeAllButton};
    for (int index = 0; index < buttons.size(); index++) {
        grid->removeWidget(buttons[index]);
        grid->addWidget(buttons[index], stacked ? index : index / 2, stacked ? 0 : index % 2);
    }
}

void TargetPickerWidget::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    // Its texts wrap anew.
    if (event->size().width() != event->oldSize().width())
        updateGeometry();
}

void TargetPickerWidget::buildControls()
{
    // One sheet for both lists, set before they are made.
    setStyleSheet(QString("#pickview, #listview { background-color: %1 }").arg(PowerWidget::getBackgroundColor(0)));
    leftList = pickList("pickview");
    rightList = pickList("listview");
    addButton = moveButton(tr("Add"), Qt::RightArrow);
    removeButton = moveButton(tr("Remove"), Qt::LeftArrow);
    addAllButton = moveButton(tr("Add All"), Qt::NoArrow);
    removeAllButton = moveButton(tr("Remove All"), Qt::NoArrow);
    applyText = dynamicHtmlLabel(QString(), QString(), 0);
    heading = htmlLabel(QString());
    missSourceButton = toolButton("?", 20, 12, ArrowDown);
    missSourceButton->setToolTip(tr("Change the contents of the Miss pick list"));

    moveButtons = new QWidget;
    auto* buttons = new QGridLayout(moveButtons);
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->setSpacing(0);
    arrangeMoveButtons(true);
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(5);
    // The text reaches over the buttons: where they stand two by two it
    // wraps no further for them.
    grid->addWidget(hWidget(applyText, missSourceButton), 0, 0, 1, 2);
    grid->addWidget(heading, 0, 2);
    grid->addWidget(leftList, 1, 0);
    grid->addWidget(moveButtons, 1, 1, Qt::AlignVCenter);
    grid->addWidget(rightList, 1, 2);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(2, 1);

    connect(addButton, &QToolButton::clicked, this, &TargetPickerWidget::addToTargetClicked);
    connect(removeButton, &QToolButton::clicked, this, &TargetPickerWidget::removeFromTargetClicked);
    connect(addAllButton, &QToolButton::clicked, this, &TargetPickerWidget::addAllClicked);
    connect(removeAllButton, &QToolButton::clicked, this, &TargetPickerWidget::removeAllClicked);
    connect(leftList, &QListWidget::itemDoubleClicked, this, &TargetPickerWidget::pickerDoubleClicked);
    connect(rightList, &QListWidget::itemDoubleClicked, this, &TargetPickerWidget::targetDoubleClicked);
    connect(applyText, &DynamicLabel::clicked, this, &TargetPickerWidget::applyTextClicked);
    connect(missSourceButton, &QToolButton::clicked, this, &TargetPickerWidget::missSourceClicked);
    connect(leftList, &QListWidget::itemSelectionChanged, this, &TargetPickerWidget::selectionChanged);
    connect(rightList, &QListWidget::itemSelectionChanged, this, &TargetPickerWidget::selectionChanged);
    connect(qApp, &QApplication::focusChanged, this, &TargetPickerWidget::onFocusChanged);
}

QString TargetPickerWidget::setupControls(Power::StepType type)
{
    if (type != Power::AnyStep)
        stepType = type;
    {
        const QSignalBlocker leftBlocker(leftList);
        const QSignalBlocker rightBlocker(rightList);
        for (PickListWidget* list : {leftList, rightList})
            for (int row = list->count() - 1; row >= 0; row--)
                delete list->takeItem(row);
        setupTexts();
        const QList<Creature*>& chosen = chosenList();
        Creature* origin = creatures->getOrigin();
        for (Creature* candidate : candidates())
            if (!chosen.contains(candidate))
                leftList->addItem(new CreatureSorterItem(candidate, origin));
        for (Creature* creature : chosen)
            rightList->addItem(new CreatureSorterItem(creature, origin));
    }
    return updateTargetText();
}

void TargetPickerWidget::setupTexts()
{
    const QString left = nativeKeys(QKeySequence("Ctrl+T"));
    const QString right = nativeKeys(QKeySequence("Ctrl+S"));
    const QString add = nativeKeys(QKeySequence(QKeySequence::MoveToNextChar));
    const QString remove = nativeKeys(QKeySequence(QKeySequence::MoveToPreviousChar));
    const QString addAll = nativeKeys(QKeySequence(QKeySequence::SelectNextChar));
    const QString removeAll = nativeKeys(QKeySequence(QKeySequence::SelectPreviousChar));
    switch (stepType) {
    case Power::Miss: {
        const QString sources[] = {tr("These targets were hit %1"), tr("This is the list of all potential targets %1"),
                                   tr("This is the list of all creatures %1")};
        leftList->setToolTip(sources[qBound(0, gMissSource, 2)].arg(left));
        rightList->setToolTip(tr("These targets were missed %1").arg(right));
        addButton->setToolTip(tr("Add the selected creatures to the miss list %1").arg(add));
        removeButton->setToolTip(tr("Remove the selected creatures from the miss list %1").arg(remove));
        addAllButton->setToolTip(tr("Add all to the miss list %1").arg(addAll));
        removeAllButton->setToolTip(tr("Remove all from miss list %1").arg(removeAll));
        heading->setText(tr("<b>Targets Missed:</b>"));
        break;
    }
    case Power::Effect:
        leftList->setToolTip(tr("This is the list of all potential effected creatures %1").arg(left));
        rightList->setToolTip(tr("This is the list of effected creatures %1").arg(right));
        addButton->setToolTip(tr("Add the selected creatures to the effected list %1").arg(add));
        removeButton->setToolTip(tr("Remove the selected creatures from the effected list %1").arg(remove));
        addAllButton->setToolTip(tr("Add all to effected list %1").arg(addAll));
        removeAllButton->setToolTip(tr("Remove all from effected list %1").arg(removeAll));
        heading->setText(tr("<b>Effected Creatures:</b>"));
        break;
    default:
        leftList->setToolTip(tr("This is the list of all potential targets %1").arg(left));
        rightList->setToolTip(tr("This is the list of targets for the attack %1").arg(right));
        addButton->setToolTip(tr("Add the selected creatures to the target list %1").arg(add));
        removeButton->setToolTip(tr("Remove the selected creatures from the target list %1").arg(remove));
        addAllButton->setToolTip(tr("Add all to targets %1").arg(addAll));
        removeAllButton->setToolTip(tr("Remove all from targets %1").arg(removeAll));
        heading->setText(gMissSource == FromTargets && power->program.getStepCount(Power::Miss) > 0
                             ? tr("<b>Selected Targets:</b>")
                             : tr("<b>Targets Hit:</b>"));
    }
}

QList<Creature*> TargetPickerWidget::candidates() const
{
    Encounter* encounter = Global::encounter;
    Creature* origin = creatures->getOrigin();
    auto kind = [this](Power::StepType type) { return Power::ApplyTo(power->current.applyTo[type].kind); };
    switch (stepType) {
    case Power::Miss:
        if (gMissSource == FromTargets)
            return creatures->getTargetList();
        if (gMissSource == FromAllCreatures)
            return encounter->getTargetCreatures(nullptr, Power::AnyCreature);
        return encounter->getTargetCreatures(origin, kind(Power::Hit));
    case Power::Effect:
        return encounter->getTargetCreatures(origin, kind(Power::Effect));
    default:
        return encounter->getTargetCreatures(origin, kind(Power::Hit));
    }
}

const QList<Creature*>& TargetPickerWidget::chosenList() const
{
    switch (stepType) {
    case Power::Miss: return creatures->getMissList();
    case Power::Effect: return creatures->getEffectList();
    default: return creatures->getTargetList();
    }
}

QString TargetPickerWidget::updateTargetText()
{
    updateMainSelection();
    const bool miss = stepType == Power::Miss;
    missSourceButton->setVisible(miss);
    missSourceButton->setEnabled(miss);
    QString message;
    if (miss && gMissSource != FromPotentialTargets) {
        const QString text = gMissSource == FromTargets ? tr("<b>Targets Hit:</b>") : tr("<b>All Creatures:</b>");
        applyText->setTexts(text, text);
        if (pickedTargetsCorrect(Power::Miss, &message, nullptr))
            pickedTargetsCorrect(Power::Effect, &message, nullptr);
        return message;
    }
    QString wording = power->getApplyToText(stepType);
    if (!pickedTargetsCorrect(stepType, &message, nullptr))
        wording = Creature::colored(TextColours::red(), wording);
    else
        pickedTargetsCorrect(stepType == Power::Effect ? Power::Hit : Power::Effect, &message, nullptr);
    applyText->setTexts(tr("<b>Select:</b> %1").arg(wording), tr("<b>Select:</b> <u>%1</u>").arg(wording));
    return message;
}

bool TargetPickerWidget::pickedTargetsCorrect(Power::StepType type, QString* message, bool* tooFew) const
{
    const bool attack = type == Power::Hit || type == Power::Miss;
    const Power::StepType record = attack ? Power::Hit : Power::Effect;
    // The missed creatures are targets of the attack as well.
    const QList<Creature*> set = attack ? creatures->getTargetList() + creatures->getMissList()
                                        : creatures->getEffectList();
    int least = power->getApplyFromCountInt(record);
    int greatest = power->getApplyToCountInt(record);
    Creature* origin = creatures->getOrigin();
    auto onOriginsSide = [origin](Creature* c) { return !origin || c->isMonster() == origin->isMonster(); };
    auto allOnOriginsSide = [&] { return std::all_of(set.begin(), set.end(), onOriginsSide); };
    auto onlyOne = [&set](Creature* allowed) { return set.size() != 1 || set.first() == allowed; };
    bool fits = true;
    switch (power->current.applyTo[record].kind) {
    case Power::Enemy:
        fits = !origin || std::none_of(set.begin(), set.end(), onOriginsSide);
        break;
    case Power::Ally:
        fits = allOnOriginsSide();
        break;
    case Power::OtherAlly:
        fits = allOnOriginsSide() && (!origin || !set.contains(origin));
        break;
    case Power::AllyAndSelf:
        fits = allOnOriginsSide() && (!origin || set.contains(origin));
        least++;
        greatest++;
        break;
    case Power::Self:
        fits = onlyOne(origin);
        greatest = 1;
        break;
    case Power::CurrentCreature:
        fits = onlyOne(Global::encounter->getCurrentCreature());
        greatest = 1;
        break;
    case Power::NoTarget:
    case Power::NotTrackable:
        fits = set.isEmpty();
        least = greatest = 0;
        break;
    default:
        break;
    }
    const QString keys = nativeKeys(QKeySequence("Ctrl+G"));
    QString text;
    bool result = false;
    if (set.size() < least) {
        text = attack ? tr("Too few targets selected, use %1 to go to fields that need input")
                      : tr("Too few effected creatures, use %1 to go to fields that need input");
        if (tooFew)
            *tooFew = true;
    } else if (set.size() > greatest) {
        text = attack ? tr("Too many targets selected, use %1 to go to fields that need input")
                      : tr("Too many effected creatures, use %1 to go to fields that need input");
        if (tooFew)
            *tooFew = false;
    } else if (fits) {
        result = true;
    } else {
        text = attack ? tr("Incorrect target creatures, use %1 to go to fields that need input")
                      : tr("Incorrect effected creatures, use %1 to go to fields that need input");
        if (tooFew)
            *tooFew = false;
    }
    if (message)
        *message = result ? QString() : text.arg(keys);
    return result;
}

bool TargetPickerWidget::leftHasContent(Power::StepType type) const
{
    if (rightList->count() == 0)
        return true;
    if (leftList->count() == 0)
        return false;
    bool tooFew = false;
    return pickedTargetsCorrect(type, nullptr, &tooFew) || tooFew;
}

bool TargetPickerWidget::hasFocus() const
{
    const QWidget* focus = QApplication::focusWidget();
    for (const QWidget* control : std::initializer_list<const QWidget*>{leftList, rightList, addButton, removeButton,
                                                                        addAllButton, removeAllButton, applyText,
                                                                        heading, missSourceButton})
        if (control == focus)
            return true;
    return false;
}

void TargetPickerWidget::setFocus(bool left)
{
    (left ? leftList : rightList)->setFocus(Qt::OtherFocusReason);
}

void TargetPickerWidget::selectItem(bool left)
{
    (left ? leftList : rightList)->selectedItem();
}

void TargetPickerWidget::focusMoved(QWidget* old)
{
    if (old == leftList || old == rightList)
        static_cast<PickListWidget*>(old)->clearSelection();
}

void TargetPickerWidget::setGoOrder(GoHandler* handler)
{
    GoItem::GoType kind = GoItem::TargetsHit;
    if (handler->getStepType() == Power::Miss)
        kind = GoItem::TargetsMissed;
    else if (handler->getStepType() == Power::Effect)
        kind = GoItem::CreaturesAffected;
    handler->addWidget(this, leftList, kind);
}

void TargetPickerWidget::setTabOrder(TabHandler* handler)
{
    handler->addWidget(leftList);
    handler->addWidget(rightList);
}

QList<Creature*> TargetPickerWidget::getTargets() const
{
    QList<Creature*> targets;
    for (int row = 0; row < rightList->count(); row++)
        targets.append(creatureOf(rightList->item(row)));
    return targets;
}

bool TargetPickerWidget::haveChoice() const
{
    return leftList->count() > 0;
}

void TargetPickerWidget::addToTargetClicked()
{
    moveItems(leftList, rightList, leftList->selectedItems());
}

void TargetPickerWidget::removeFromTargetClicked()
{
    moveItems(rightList, leftList, rightList->selectedItems());
}

void TargetPickerWidget::addAllClicked()
{
    leftList->selectAll();
    addToTargetClicked();
}

void TargetPickerWidget::removeAllClicked()
{
    rightList->selectAll();
    removeFromTargetClicked();
}

void TargetPickerWidget::pickerDoubleClicked(QListWidgetItem* item)
{
    moveItems(leftList, rightList, {item});
}

void TargetPickerWidget::targetDoubleClicked(QListWidgetItem* item)
{
    moveItems(rightList, leftList, {item});
}

void TargetPickerWidget::moveItems(PickListWidget* from, PickListWidget* to, const QList<QListWidgetItem*>& items)
{
    moving = true;
    for (QListWidgetItem* item : items)
        from->takeItem(from->row(item));
    for (QListWidgetItem* item : items) {
        to->addItem(item);
        if (to == rightList)
            creatureToRight(creatureOf(item));
        else
            creatureToLeft(creatureOf(item));
    }
    moving = false;
    const QString message = updateTargetText();
    if (owner)
        owner->pickListChanged(message);
}

void TargetPickerWidget::creatureToRight(Creature* creature)
{
    switch (stepType) {
    case Power::Miss:
        creatures->removeCreature(Power::Hit, creature);
        creatures->addCreature(Power::Miss, creature);
        break;
    case Power::Effect:
        creatures->addCreature(Power::Effect, creature);
        break;
    default:
        creatures->removeCreature(Power::Miss, creature);
        creatures->addCreature(Power::Hit, creature);
    }
}

void TargetPickerWidget::creatureToLeft(Creature* creature)
{
    creatures->removeCreature(stepType, creature);
    // Missed creatures picked from the targets go back to them.
    if (stepType == Power::Miss && gMissSource == FromTargets)
        creatures->addCreature(Power::Hit, creature);
}

void TargetPickerWidget::applyTextClicked()
{
    if (stepType == Power::Miss)
        missSourceClicked();
    else
        creatures->editPowerHeader(stepType);
}

void TargetPickerWidget::missSourceClicked()
{
    QMenu menu;
    const QString entries[] = {tr("Select from Targets"), tr("Select from all potential Targets"),
                               tr("Select from all Creatures")};
    for (int source = FromTargets; source <= FromAllCreatures; source++) {
        QAction* entry = menu.addAction(entries[source]);
        entry->setCheckable(true);
        entry->setChecked(source == gMissSource);
        entry->setData(source);
    }
    // The dialog may end while the menu is open.
    QPointer<TargetPickerWidget> self(this);
    QAction* chosen = menu.exec(QCursor::pos());
    if (!self)
        return;
    if (chosen)
        gMissSource = chosen->data().toInt();
    setupControls(stepType);
    if (owner)
        owner->missSourceChanged();
}

void TargetPickerWidget::selectionChanged()
{
    if (!moving)
        updateMainSelection();
}

void TargetPickerWidget::updateMainSelection()
{
    QList<Creature*> selection;
    for (PickListWidget* list : {leftList, rightList}) {
        for (int row = 0; row < list->count(); row++)
            if (list->item(row)->isSelected())
                selection.append(creatureOf(list->item(row)));
        if (!selection.isEmpty())
            break;
    }
    if (selection.isEmpty())
        selection = chosenList();
    if (Global::encounter->getSelectedCreatures() != selection)
        Global::encounter->setSelectedCreatures(selection);
}

void TargetPickerWidget::onFocusChanged(QWidget*, QWidget* now)
{
    if (now == rightList)
        leftList->clearSelection();
    else if (now == leftList)
        rightList->clearSelection();
}

void TargetPickerWidget::keyPressEvent(QKeyEvent* event)
{
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    switch (event->key()) {
    case Qt::Key_Left:
        shift ? removeAllClicked() : removeFromTargetClicked();
        return;
    case Qt::Key_Right:
        shift ? addAllClicked() : addToTargetClicked();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}
