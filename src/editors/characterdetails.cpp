#include "editors/characterdetails.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>

#include "creature/creature.h"
#include "encounter/encounter.h"
#include "foundation/global.h"
#include "foundation/saturating.h"
#include "toolkit/inputwidgets.h"

namespace {

const QStringList classItems{"", "Ardent", "Artificer", "Assassin", "Avenger", "Barbarian", "Bard", "Battlemind",
    "Cavalier", "Cleric", "Druid", "Executioner", "Fighter", "Hexblade", "Hunter", "Invoker", "Knight", "Mage", "Monk",
    "Paladin", "Psion", "Ranger", "Rogue", "Runepriest", "Scout", "Seeker", "Sentinel", "Shaman", "Slayer", "Sorcerer",
    "Swordmage", "Thief", "Warden", "Warlock", "Warlord", "Warpriest", "Wizard"};
const QStringList raceItems{"", "Bladeling", "Bugbear", "Bullywug", "Changeling", "Deva", "Dragonborn", "Drow",
    "Duergar", "Dwarf", "Eladrin", "Elf", "Genasi", "Githyanki", "Githzerai", "Gnoll", "Gnome", "Goblin", "Goliath",
    "Half-Elf", "Half-Orc", "Halfling", "Hobgoblin", "Human", "Kalashtar", "Kenku", "Kobold", "Longtooth Shifter",
    "Minotaur", "Mul", "Orc", "Razorclaw Shifter", "Revenant", "Shadar-kai", "Shardmind", "Thri-Kreen", "Tiefling",
    "Vryloka", "Warforged", "Wilden"};
const QStringList roleItems{"", "Controller", "Defender", "Leader", "Striker"};
const QStringList alignmentItems{"", "Lawful Good", "Good", "Neutral", "Evil", "Chaotic Evil"};

// The model keeps 1000 for a figure not given; the boxes show it as 0.
int shown(int value)
{
    return value == UnknownValue ? 0 : value;
}

QLabel* heading(const QString& text)
{
    return WindowsAndDialogs::htmlLabel(text.isEmpty() ? QString() : QString("<b>%1</b>").arg(text));
}

// The setters of the scores also forget the given modifier.
struct AbilityField
{
    const char* heading;
    Ability which;
    void (Creature::*setter)(int);
};
const AbilityField abilityFields[] = {{"STR", Strength, &Creature::setStr}, {"CON", Constitution, &Creature::setCon},
    {"DEX", Dexterity, &Creature::setDex}, {"INT", Intelligence, &Creature::setInt}, {"WIS", Wisdom, &Creature::setWis},
    {"CHA", Charisma, &Creature::setCha}};

bool inPlay(Creature* character)
{
    return Global::encounter && Global::encounter->isRunning() && Global::encounter->getCreatureIndex(character) >= 0;
}

}

CharacterDetails::CharacterDetails()
{
    addNumber("Level", 0, 99, &Creature::getLevel, &Creature::setLevel);
    addNumber("AC", 0, 99, &Creature::getArmorClass, &Creature::setArmorClass);
    addNumber("Fortitude", 0, 99, &Creature::getFortitude, &Creature::setFortitude);
    addNumber("Reflex", 0, 99, &Creature::getReflex, &Creature::setReflex);
    addNumber("Will", 0, 99, &Creature::getWill, &Creature::setWill);
    // The current values keep within their maximum; a box keeps the width of
    // the widest value it can show, so that a new maximum moves no box.
    addNumber("HP", -999, 999, &Creature::getCurrHitPoints, &Creature::setCurrHitPoints,
              [](const Creature* c) {
                  return qMakePair(Saturating::difference(0, c->getMaxHitPoints()), c->getMaxHitPoints());
              });
    addNumber("Max HP", 0, 999, &Creature::getMaxHitPoints, &Creature::setMaxHitPoints);
    addNumber("HS", 0, 99, &Creature::getCurrHealingSurges, &Creature::setCurrHealingSurges,
              [](const Creature* c) { return qMakePair(0, c->getMaxHealingSurges()); });
    addNumber("Max HS", 0, 99, &Creature::getMaxHealingSurges, &Creature::setMaxHealingSurges);
    addNumber("Surge Value", 0, 99, &Creature::getSurgeValue, &Creature::setSurgeValue);
    addNumber("Initiative", -20, 99, [](const Creature* c) { return c->getInitBonus(true); }, &Creature::setInitBonus);
    addNumber("AP", 0, 99, &Creature::getCurrActionPoints, &Creature::setCurrActionPoints);
    addNumber("AP per encounter", 0, 99, &Creature::getInitActionPoints, &Creature::setInitActionPoints);
    addNumber("Perception", -99, 99, &Creature::getPerception, &Creature::setPerception);
    addNumber("Insight", -99, 99, &Creature::getInsight, &Creature::setInsight);
    for (const AbilityField& ability : abilityFields)
        addNumber(ability.heading, 0, 99, [which = ability.which](const Creature* c) { return c->getAbility(which).score; },
                  ability.setter);

    const auto box = [this](const QString& name) { return getNumberBox(name); };
    const auto pair = [this, &box](const QString& current, const QString& maximum) {
        return hWidget(box(current), new QLabel("/"), box(maximum));
    };
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(5, 5, 5, 5);
    layout->addWidget(buildIdentity());
    layout->addWidget(buildGroup(tr("Defenses"),
        {{heading(tr("AC")), box("AC")}, {heading(tr("Fortitude")), box("Fortitude")},
         {heading(tr("Reflex")), box("Reflex")}, {heading(tr("Will")), box("Will")}}, 4));
    QWidget* health = buildGroup(tr("Health"),
        {{heading(tr("Hit Points")), pair("HP", "Max HP")}, {nullptr, nullptr},
         {heading(tr("Healing Surges")), pair("HS", "Max HS")}, {heading(QString()), box("Surge Value")}}, 4);
    static_cast<QGridLayout*>(health->layout())->setColumnStretch(1, 2);
    layout->addWidget(health);
    speedEdit = new QLineEdit;
    layout->addWidget(buildGroup(tr("Actions"),
        {{heading(tr("Speed")), speedEdit}, {nullptr, nullptr}, {heading(tr("Initiative")), box("Initiative")},
         {heading(tr("Action Points")), pair("AP", "AP per encounter")},
         {heading(tr("Perception")), box("Perception")}, {heading(tr("Insight")), box("Insight")}}, 6));
    QList<QList<QWidget*>> abilityColumns;
    for (const AbilityField& ability : abilityFields)
        abilityColumns.append({heading(ability.heading), box(ability.heading)});
    layout->addWidget(buildGroup(tr("Abilities"), abilityColumns, 6));
    layout->addStretch(2);

    // Typing a maximum ends when its box is left: the digits on the way cut nothing for good.
    for (const char* maximum : {"Max HP", "Max HS"}) {
        QSpinBox* box = getNumberBox(maximum);
        connect(box, &QSpinBox::editingFinished, this, [this, box] { currentBeforeMaximum.remove(box); });
    }
    for (const NumberField& number : numbers) {
        inputs.append(number.box);
        connect(number.box, &QSpinBox::valueChanged, this, [this, box = number.box] { emitEdited(box); });
    }
    for (QLineEdit* edit : {speedEdit, languagesEdit})
        connect(edit, &QLineEdit::textChanged, this, [this, edit] { emitEdited(edit); });
    for (QComboBox* combo : {classBox, raceBox, roleBox, alignmentBox})
        connect(combo, &QComboBox::currentIndexChanged, this, [this, combo] { emitEdited(combo); });
    connect(classBox->lineEdit(), &QLineEdit::textChanged, this, [this] { emitEdited(classBox); });
    connect(nameEdit, &QLineEdit::textChanged, this, [this] {
        if (!filling)
            emit doNameEdited();
    });
    connect(nameEdit, &QLineEdit::editingFinished, this, &CharacterDetails::doNameLeft);
    connect(portraitButton, &QPushButton::clicked, this, &CharacterDetails::doPortraitClicked);
    inputs << portraitButton << nameEdit << classBox << raceBox << roleBox << alignmentBox << languagesEdit
           << speedEdit;
    showCharacter(nullptr);
}

void CharacterDetails::addNumber(const QString& heading, int minimum, int maximum,
                                 std::function<int(const Creature*)> read, std::function<void(Creature*, int)> write,
                                 std::function<QPair<int, int>(const Creature*)> range)
{
    numbers.append({heading, new SteadySpinBox(minimum, maximum), minimum, maximum, read, write, range});
}

const CharacterDetails::NumberField* CharacterDetails::field(const QString& heading) const
{
    for (const NumberField& number : numbers)
        if (number.heading == heading)
            return &number;
    return nullptr;
}

QSpinBox* CharacterDetails::getNumberBox(const QString& heading) const
{
    const NumberField* number = field(heading);
    return number ? number->box : nullptr;
}

QWidget* CharacterDetails::buildIdentity()
{
    portraitImage = new QLabel;
    portraitImage->setFixedSize(48, 48);
    portraitImage->setScaledContents(true);
    portraitImage->setBackgroundRole(QPalette::Base);
    portraitImage->setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
    portraitImage->setLineWidth(2);
    portraitFileLabel = htmlLabel("<b></b>");
    portraitButton = new QPushButton(tr("Select..."));
    nameEdit = new QLineEdit;
    nameEdit->setMinimumWidth(160);
    classBox = comboBox(classItems, true);
    raceBox = comboBox(raceItems, false);
    roleBox = comboBox(roleItems, false);
    alignmentBox = comboBox(alignmentItems, false);
    languagesEdit = new QLineEdit;
    languagesEdit->setMinimumWidth(160);

    auto* grid = new QGridLayout;
    grid->setContentsMargins(5, 5, 5, 5);
    grid->addWidget(hWidget(false, true, portraitImage, portraitFileLabel, portraitButton), 0, 0, 1, 2);
    grid->addWidget(hWidget(false, true, heading(tr("Name:")), nameEdit), 1, 0, 1, 2);
    const QList<QPair<QString, QWidget*>> left{
        {tr("Class:"), classBox}, {tr("Race:"), raceBox}, {tr("Role:"), roleBox}};
    const QList<QPair<QString, QWidget*>> right{
        {tr("Level:"), getNumberBox("Level")}, {tr("Alignment:"), alignmentBox}, {tr("Languages:"), languagesEdit}};
    for (int row = 0; row < left.size(); row++) {
        grid->addWidget(hWidget(false, true, heading(left[row].first), left[row].second), row + 2, 0);
        grid->addWidget(hWidget(false, true, heading(right[row].first), right[row].second), row + 2, 1);
    }
    auto* frame = new QFrame;
    frame->setFrameStyle(QFrame::WinPanel | QFrame::Raised);
    frame->setLineWidth(2);
    frame->setLayout(grid);
    return frame;
}

QWidget* CharacterDetails::buildGroup(const QString& title, const QList<QList<QWidget*>>& columns, int lastColumn)
{
    auto* grid = new QGridLayout;
    grid->setContentsMargins(5, 5, 5, 5);
    grid->setVerticalSpacing(2);
    for (int column = 0; column < columns.size(); column++)
        for (int row = 0; row < columns[column].size(); row++)
            if (columns[column][row])
                grid->addWidget(columns[column][row], row, column);
    grid->setColumnStretch(lastColumn, 10);
    auto* group = new QGroupBox(title);
    group->setLayout(grid);
    return group;
}

QComboBox* CharacterDetails::comboBox(const QStringList& items, bool editable)
{
    auto* box = new QComboBox;
    box->setEditable(editable);
    box->setMinimumWidth(160);
    box->addItems(items);
    return box;
}

void CharacterDetails::emitEdited(QWidget* box)
{
    if (!filling)
        emit doEdited(box);
}

void CharacterDetails::showNumber(const NumberField& number, const Creature* character)
{
    const int value = character ? shown(number.read(character)) : 0;
    const auto [low, high] = character && number.range ? number.range(character)
                                                       : qMakePair(number.minimum, number.maximum);
    number.box->setRange(std::min(low, value), std::max(high, value));
    number.box->setValue(value);
}

void CharacterDetails::showCharacter(Creature* character)
{
    filling = true;
    const QString portraitFile = character ? Global::lastRight(character->getPortraitFile(), "/") : QString();
    portraitImage->setPixmap(character ? character->getPortrait() : QPixmap());
    portraitFileLabel->setText(portraitFile.isEmpty() ? tr("*.gif, *.jpg, *.png, etc.") : portraitFile.toHtmlEscaped());
    nameEdit->setText(character ? character->getName() : QString());
    setComboBox(classBox, character ? character->getClass() : QString());
    setComboBox(raceBox, character ? character->getRace() : QString());
    setComboBox(roleBox, character ? character->getRole() : QString());
    setComboBox(alignmentBox, character ? character->getStats().alignment : QString());
    speedEdit->setText(character ? character->getSpeed() : QString());
    languagesEdit->setText(character ? character->getStats().languages : QString());
    for (const NumberField& number : numbers)
        showNumber(number, character);
    if (character != shownCharacter)
        currentBeforeMaximum.clear();
    shownCharacter = character;
    for (QWidget* input : inputs)
        input->setEnabled(character);
    filling = false;
}

void CharacterDetails::applyEdit(QWidget* box, Creature* character)
{
    if (box == classBox)
        character->setClass(classBox->currentText());
    else if (box == raceBox || box == roleBox || box == alignmentBox) {
        void (Creature::*setter)(const QString&) = box == raceBox ? &Creature::setRace
                                                  : box == roleBox ? &Creature::setRole
                                                                   : &Creature::setAlignment;
        (character->*setter)(getComboBox(static_cast<QComboBox*>(box)));
    } else if (box == speedEdit || box == languagesEdit)
        (character->*(box == speedEdit ? &Creature::setSpeed : &Creature::setLanguages))(
            static_cast<QLineEdit*>(box)->text());
    for (const NumberField& number : numbers)
        if (number.box == box)
            number.write(character, number.box->value());
    if (box == getNumberBox("Max HP") || box == getNumberBox("Max HS"))
        keepCurrentWithinMaximum(character, box == getNumberBox("Max HP"));
    // A current value typed by hand is the one later maxima keep.
    else if (box == getNumberBox("HP") || box == getNumberBox("HS"))
        currentBeforeMaximum.remove(getNumberBox(box == getNumberBox("HP") ? "Max HP" : "Max HS"));
}

void CharacterDetails::followMaxima(Creature* character, const std::function<void()>& change)
{
    const int maxHitPointsBefore = character->getMaxHitPoints();
    const int maxSurgesBefore = character->getMaxHealingSurges();
    change();
    if (character->getMaxHitPoints() != maxHitPointsBefore)
        keepCurrentWithinMaximum(character, true);
    if (character->getMaxHealingSurges() != maxSurgesBefore)
        keepCurrentWithinMaximum(character, false);
}

void CharacterDetails::keepCurrentWithinMaximum(Creature* character, bool hitPoints)
{
    const CreatureVitality before = character->getBeforeVitality();
    const int maximum = hitPoints ? character->getMaxHitPoints() : character->getMaxHealingSurges();
    const int current = hitPoints ? character->getCurrHitPoints() : character->getCurrHealingSurges();
    // "60" passes through 6 on the way: the value is measured against the one
    // before the typing, which only the shown character has.
    const bool shownHere = character == shownCharacter;
    QSpinBox* maximumBox = getNumberBox(hitPoints ? "Max HP" : "Max HS");
    const auto found = currentBeforeMaximum.constFind(maximumBox);
    const int untouched = shownHere && found != currentBeforeMaximum.constEnd() && found->kept == current
                            ? found->current
                            : current;
    const bool wasFull = hitPoints ? before.hitPoints == before.maxHitPoints
                                   : before.healingSurges == before.maxHealingSurges;
    const int kept = untouched > maximum || (!inPlay(character) && wasFull) ? maximum : untouched;
    if (kept != current)
        (character->*(hitPoints ? &Creature::setCurrHitPoints : &Creature::setCurrHealingSurges))(kept);
    if (!shownHere)
        return;
    currentBeforeMaximum.insert(maximumBox, {untouched, kept});
    filling = true;
    showNumber(*field(hitPoints ? "HP" : "HS"), character);
    filling = false;
}

CharacterImports::CharacterImports()
{
    fileLabel = htmlLabel(QString());
    pathLabel = htmlLabel(QString());
    selectButton = new QPushButton(tr("Select..."));
    selectButton->setToolTip(tr("Import changes by selecting a .dnd4e or .monster file"));
    refreshButton = new QPushButton(tr("Refresh"));
    refreshButton->setToolTip(tr("Import changes from the selected file"));
    linkedCheck = new QCheckBox(tr("Automatically import changes during an extended rest"));
    linkedCheck->setToolTip(tr("Check to automatically import changes from the selected file during an extended rest"));
    auto* explanation = new QLabel(
        tr("When your Character changes, for example due to level up, you can import the changes by selecting the "
           "file here. Once a file has been  selected, press the 'Refresh' button below to load changes at any time."));
    explanation->setWordWrap(true);
    explanation->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);

    auto* groupLayout = new QVBoxLayout;
    groupLayout->setContentsMargins(5, 5, 5, 5);
    groupLayout->addWidget(explanation);
    groupLayout->addWidget(hWidget(false, true, heading(tr("File:")), fileLabel, selectButton));
    groupLayout->addWidget(hWidget(false, true, heading(tr("Path:")), pathLabel));
    groupLayout->addWidget(hWidget(false, true, linkedCheck));
    groupLayout->addWidget(hWidget(true, false, refreshButton));
    auto* group = new QGroupBox(tr("Import changes from a .dnd4e or .monster File"));
    group->setLayout(groupLayout);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(5, 5, 5, 5);
    layout->addWidget(group);
    layout->addStretch(2);

    connect(selectButton, &QPushButton::clicked, this, &CharacterImports::doSelectClicked);
    connect(refreshButton, &QPushButton::clicked, this, &CharacterImports::doRefreshClicked);
    connect(linkedCheck, &QCheckBox::clicked, this, &CharacterImports::doLinkedClicked);
    showCharacter(nullptr);
}

void CharacterImports::showCharacter(Creature* character)
{
    const QString importFile = character ? character->getImportFile() : QString();
    QString folder = Global::lastLeft(importFile, "/");
    const QString file = Global::lastRight(importFile, "/");
    // A relative file lies in the data folder.
    if (!importFile.isEmpty() && QDir::isRelativePath(importFile)) {
        folder = "(Ravelhorn Data)/" + folder;
        if (folder.endsWith('/'))
            folder.chop(1);
    }
    fileLabel->setText(file.isEmpty() ? tr("*.dnd4e, *.monster") : file.toHtmlEscaped());
    pathLabel->setText(folder.isEmpty() ? "..." : Global::lineBreak(QDir::toNativeSeparators(folder).toHtmlEscaped(), 48));
    linkedCheck->setChecked(character && character->isLinked());
    selectButton->setEnabled(character);
    refreshButton->setEnabled(!importFile.isEmpty());
    linkedCheck->setEnabled(!importFile.isEmpty());
}
