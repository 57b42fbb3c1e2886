#ifndef CREATURE_H
#define CREATURE_H

#include <QList>
#include <QMap>
#include <QColor>
#include <QImage>
#include <QObject>
#include <QPixmap>
#include <QString>

#include <memory>
#include <optional>

#include "foundation/dogtag.h"
#include "foundation/saturating.h"
#include "creature/effect.h"
#include "powers/power.h"

class Characters;
class Creature;
class Effect;
class Monsters;
class ObjectStream;
class QThread;

// Figures meaning "not given".
const int UnknownValue = 1000;
const int UnknownModifier = -1000000;
// As an action-point count: all that are left, or back to the per-encounter figure.
const int AllActionPoints = 10000;

enum Ability { Strength, Dexterity, Wisdom, Constitution, Intelligence, Charisma, AbilityCount };

struct AbilityScore
{
    int score = UnknownValue;
    int modifier = UnknownModifier;
    bool operator==(const AbilityScore& other) const
    {
        return score == other.score && modifier == other.modifier;
    }
};

// A library's totals of new, dirty and deleted items.
struct CreatureCounts
{
    int newCount = 0;
    int dirtyCount = 0;
    int deletedCount = 0;
};

// The statistics of one stat block as parsed or edited.
class CreatureStats
{
public:
    CreatureStats() { init(); }
    // Scalars back to their defaults; texts and powers stay.
    void init();
    // Adds a power read by a stat-block parser; a trap's heading text goes
    // to the flavour text instead.
    void addPower(const CreaturePower& power, bool sorted);

    QString statBlock;
    QString portraitFile;
    // An image, not a pixmap: files are read on worker threads.
    QImage portrait;
    QString importFile;
    bool linked;
    bool missing;
    QString name;
    bool monster;
    bool trap;
    QString creatureClass;
    QString group;
    // The text of a final parenthesis of the title, such as "Elite".
    QString titleNote;
    QString type;
    QString race;
    QString role;
    int level;
    int xp;
    int maxHitPoints;
    int maxHealingSurges;
    int surgeValue;
    int initBonus;
    QString speed;
    int initActionPoints;
    QString senses;
    int perception;
    int insight;
    int armorClass;
    int fortitude;
    int reflex;
    int will;
    QString resist;
    QString immune;
    QString detect;
    QString regeneration;
    QString vulnerable;
    QString savingThrows;
    // Rich text: a trap's heading texts, each in italics.
    QString flavorText;
    QString alignment;
    QString languages;
    QString skills;
    QString equipment;
    QString description;
    QString published;
    AbilityScore abilities[AbilityCount];
    Powers powers;

private:
    void addFlavor(const CreaturePower& power);
};

struct CreatureVitality
{
    Creature* creature = nullptr;
    int initBonus = 0;
    int maxHitPoints = 0;
    int hitPoints = 0;
    int maxHealingSurges = 0;
    int healingSurges = 0;
    int surgeValue = 0;
    int initActionPoints = 0;
    int actionPoints = 0;
    // Goes with the hit points: 1 or 0, -1 where it is not known.
    int stabilized = -1;

    // The figures only; the creature and its flag are not compared.
    bool equals(const CreatureVitality& other) const;
    void setVitality();
    void setBeforeVitality();
    bool write(ObjectStream* stream) const;
    void read(ObjectStream* stream);
};

struct CreatureInit
{
    Creature* creature = nullptr;
    int roll = 0;
    int random = 0;

    bool write(ObjectStream* stream) const;
    void read(ObjectStream* stream);
};

struct RestedCreature
{
    Creature* creature = nullptr;
    int usedSurges = 0;
    int addedHitPoints = 0;
    int addedActionPoint = 0;

    bool write(ObjectStream* stream) const;
    void read(ObjectStream* stream);
};

// A creature's combat state, kept by events for undo.
struct CreatureState
{
    int hitPoints = 0;
    int tempHitPoints = 0;
    int healingSurges = 0;
    int actionPoints = 0;
    int failedDeathSavingThrows = 0;
    int secondWindUsed = 0;
    int actionPointsUsed = 1;
    bool stabilized = true;
    bool delayed = false;
    bool ready = false;
    int endTurnCount = 0;
    QString lastAttacker;
    int damageOrder = 0;
    int beforeHitPoints = 0;
    int beforeHealingSurges = 0;
    int beforeActionPoints = 0;
    int damageTaken = 0;
    int healCount = 0;

    bool operator==(const CreatureState& other) const;
};

// The figures that damage, healing and action points change, and the
// arithmetic by which the events change them. Previews of dialogs use the
// same, so that they show what the events will do.
struct VitalFigures
{
    int hitPoints = 0;
    int tempHitPoints = 0;
    int healingSurges = 0;
    int actionPoints = 0;

    // Temporary hit points go first; returns the damage that reached the hit points.
    int takeDamage(int amount);
    // Negative hit points count as 0 before healing, which stops at the
    // maximum; surges spent (gained when negative) stay within 0 and the maximum.
    void heal(int healed, int surgesSpent, int maxHitPoints, int maxHealingSurges);
    // Temporary hit points do not add up: the larger amount stays.
    bool gainTempHitPoints(int amount);
    void useActionPoints(int count);

    bool operator==(const VitalFigures& other) const;
};

// Call-backs of the dialogs that let the user pick an origin creature.
class CreatureInterface
{
public:
    virtual ~CreatureInterface() = default;
    virtual CreaturePower* powerToEdit() { return nullptr; }
    virtual void originChanged(Creature* origin) = 0;
    virtual void powerHeaderChanged(bool) {}
};

// One combatant: a monster template or instance, a hero or a trap.
class Creature : public QObject
{
    Q_OBJECT

public:
    explicit Creature(QObject* parent = nullptr);

    // Statistics
    void setStats(const CreatureStats& given);
    CreatureStats getStats() const;
    void copyStats(Creature* other);
    void setupDummyHero(const QString& name);
    void setupDummyMonster(const QString& group);
    QString makeEmptyMonsterStatBlock() const;
    QString makeMonsterStatBlock() const;

    // The creature file: its forms, reading and writing its attribute section
    static bool isMonsterXML(const QByteArray& text);
    static bool isMonsterXML(const QString& text);
    static bool isCharacterXML(const QByteArray& text);
    static bool isCharacterXML(const QString& text);
    static bool isAttributes(const QByteArray& text);
    static bool isAttributes(const QString& text);
    // Why a file's text (LF line ends) would not come back whole from its
    // decoding: a NUL byte, or bytes that are no UTF-8; empty when it would.
    static QString textFailure(const QByteArray& text);
    // False for what is no regular file, and for a file that cannot be read
    // or would not come back whole, whose cause failure receives.
    static bool readCreatureFile(const QString& path, QByteArray& text, QString* failure = nullptr);
    static bool parseStatBlock(bool monster, const QByteArray& text, CreatureStats& record, const QString& dataFolder,
                               const QString& fallbackName, bool loadLinked);
    static bool parseStatBlock(bool monster, const QString& text, CreatureStats& record, const QString& dataFolder,
                               const QString& fallbackName, bool loadLinked);
    static void readAttributeBlock(bool monster, const QByteArray& section, CreatureStats& record,
                                   const QString& dataFolder, bool loadLinked);
    QString rebuildStatBlock(const QString& text, bool attributesOnly) const;
    static QString addMyDataToStatBlock(const QString& text, const QString& section, bool attributesOnly);
    QString generateStatBlock(bool attributesOnly) const;
    bool fileEqualToStatBlock(const QString& path) const;

    // Loading, saving and removing the file
    // The last stat block rebuilt and what it was rebuilt from: a fight
    // rebuilds it on every change of the figures, mostly to the same text.
    struct RebuiltStatBlock
    {
        QString text;
        bool namesGroup = false;
        QString section;
        bool attributesOnly = false;
        QString result;
    };
    // A file as read and parsed, before a creature takes it.
    struct FileContents
    {
        bool read = false;
        // Parsed as a stat block; one that is not keeps its text for the user to mend.
        bool usable = false;
        CreatureStats record;
        // Its stat block rebuilt while the name is the file's own.
        RebuiltStatBlock statBlock;
        // Why a file was not read; empty for one read, or passed over as no creature file.
        QString failure;
    };
    // Safe on any thread: it touches no creature or library.
    static FileContents readFile(const QString& fileName, bool monster, const QString& dataFolder);
    // The creature of a file as read, rested, for a library to take. Safe on
    // any thread: it tells no one, and is handed to the thread home. Null
    // when the file was not read.
    static std::unique_ptr<Creature> fromFile(FileContents contents, const QString& fileName, QThread* home);
    // The name its library gives it, when another has its own, goes into its stat block too.
    void takeLibraryName(const QString& name);
    // The name its file gives it, when its library gave it another; else empty.
    QString getNumberedFrom() const { return numberedFrom; }
    // False when the file was not read.
    bool load(const QString& fileName, bool monster, const QString& dataFolder, Monsters* monsters,
              Characters* characters);
    bool save();
    bool remove();
    // The bare name of a new file for this creature, free in its folder. When
    // a name before it is taken by a file that cannot be read, unreadable
    // receives which and why.
    QString makeFileName(QString* unreadable = nullptr) const;
    // The log's stand-in for a creature whose file did not read: no save can keep it.
    bool standsInForUnreadableFile() const;
    void deletePowerAndSetDirty(const QString& powerName);
    void updatePowerAndSetDirty(const QString& powerName, const CreaturePower& power, bool noSave);
    void refreshLinkedFile();

    // Importing and validating
    static bool isPrintable(const QString& text);
    static bool isValid(const QString& text);
    static bool validateStatBlock(CreatureStats& stats, bool monster, const QString& fallbackName);
    static void readCopyStatBlock(bool monster, CreatureStats& record, const QByteArray& text,
                                  const QString& dataFolder);
    static void readMonsterXml(bool monster, const QByteArray& data, CreatureStats& record, const QString& dataFolder);
    static void readCharacterXml(bool monster, const QByteArray& data, CreatureStats& record,
                                 const QString& dataFolder);
    static bool loadImportFile(bool monster, const QString& importFile, CreatureStats& record,
                               const QString& dataFolder, bool loadLinked);
    // The reference of a builder file the user chooses: relative inside the
    // data folder, else absolute; empty when none or one of our own.
    static QString selectImportFile();
    // What an import made of the file: a missing file and one that no longer
    // reads as a stat block are told apart.
    enum class ImportResult { Imported, NotFound, NotValid };
    ImportResult importFromFile(const QString& importFile, bool reimport);
    // The name, numbered from 2 while another creature of the library has it.
    QString uniqueName(const QString& base, bool monster, Monsters* monsters, Characters* characters) const;
    void revertChanges();
    static QString getShortName(const QString& reference);

    // New, dirty and deleted, kept in step with the library's counts
    bool isNew() const { return isNewFlag; }
    bool isDirty() const { return isDirtyFlag; }
    bool isDeleted() const { return isDeletedFlag; }
    void setNew(bool value);
    void setDirty(bool value);
    void setDeleted(bool value);
    void setCounts(CreatureCounts* libraryCounts) { counts = libraryCounts; }
    void dirtyStateHasChanged();
    bool isBroken() const;

    QString getFileName() const { return fileName; }
    void setFileName(const QString& name) { fileName = name; }
    QString getStatBlock() const { return stats.statBlock; }
    QString getBeforeStatBlock() const { return beforeStatBlock; }
    void setBeforeStatBlock(const QString& text) { beforeStatBlock = text; }
    QString getBeforeName() const { return beforeName; }
    void setBeforeName(const QString& name) { beforeName = name; }

    // Names and order
    QString getName() const { return stats.name; }
    QString getGroup() const { return stats.group; }
    QString getNameGroup() const;
    static bool getNameAndGroup(const QString& reference, QString& name, QString& group);
    static int compareNames(const QString& a, const QString& b);
    int compare(Creature* other) const;
    static void removeCreature(Creature* creature);

    // Statistics read by the texts and the rules
    bool isMonster() const { return stats.monster; }
    bool isHero() const { return !stats.monster; }
    bool isTrap() const { return stats.trap; }
    QString getClass() const { return stats.creatureClass; }
    QString getType() const { return stats.type; }
    QString getRace() const { return stats.race; }
    QString getRole() const { return stats.role; }
    int getLevel() const { return stats.level; }
    int getXP() const { return stats.xp; }
    int getMaxHitPoints() const { return stats.maxHitPoints; }
    int getCurrHitPoints() const { return hitPoints; }
    int getTempHitPoints() const { return tempHitPoints; }
    int getSurgeValue() const { return stats.surgeValue; }
    int getMaxHealingSurges() const { return stats.maxHealingSurges; }
    int getCurrHealingSurges() const { return healingSurges; }
    int getInitActionPoints() const { return stats.initActionPoints; }
    int getCurrActionPoints() const { return actionPoints; }
    int getActionPointsUsed() const { return actionPointsUsed; }
    int getFailedDeathSavingThrows() const { return failedDeathSavingThrows; }
    bool isStabilized() const { return stabilized; }
    bool isSecondWindUsed() const { return secondWindUsed; }
    int getDamageTaken() const { return damageTaken; }
    int getHealCount() const { return healCount; }
    QString getLastAttacker() const { return lastAttacker; }
    int getDamageOrder() const { return damageOrder; }
    int getEndTurnCount() const { return endTurnCount; }
    int getInitRoll() const { return initRoll; }
    int getInitRandom() const { return initRandom; }
    int getInitBonus(bool unknownAsZero = false) const;
    QString getSpeed() const { return stats.speed; }
    QString getSenses() const { return stats.senses; }
    int getPerception() const { return stats.perception; }
    int getInsight() const { return stats.insight; }
    int getArmorClass() const { return stats.armorClass; }
    int getFortitude() const { return stats.fortitude; }
    int getReflex() const { return stats.reflex; }
    int getWill() const { return stats.will; }
    AbilityScore getAbility(Ability ability) const { return stats.abilities[ability]; }
    QString getPublished() const { return stats.published; }
    QString getTitleNote() const { return stats.titleNote; }
    QString getFlavorText() const { return stats.flavorText; }
    QString getAlias() const { return alias; }
    bool isShowAlias() const { return showAlias; }
    bool isHidden() const { return hidden; }
    bool isDelayed() const { return delayed; }
    bool isReady() const { return ready; }
    bool isInHistory() const { return inHistory; }
    bool isMissing() const { return stats.missing; }
    bool isLinked() const { return stats.linked; }
    QString getImportFile() const { return stats.importFile; }
    int getHitPointDelta() const { return Saturating::clamped(hitPointDelta); }
    int getHealingSurgeDelta() const { return Saturating::clamped(healingSurgeDelta); }
    const Powers& getPowers() const { return stats.powers; }
    Powers& getPowers() { return stats.powers; }
    QList<Effect*> getEffects() const { return effects; }
    void changedPower();
    void updatePower(const QString& powerName, const CreaturePower& power);
    void deletePower(const QString& powerName);

    // Stat setters of the editors
    void setStr(int score) { setAbilityScore(Strength, score); }
    void setDex(int score) { setAbilityScore(Dexterity, score); }
    void setWis(int score) { setAbilityScore(Wisdom, score); }
    void setCon(int score) { setAbilityScore(Constitution, score); }
    void setInt(int score) { setAbilityScore(Intelligence, score); }
    void setCha(int score) { setAbilityScore(Charisma, score); }
    void setArmorClass(int value) { setStat(stats.armorClass, value); }
    void setFortitude(int value) { setStat(stats.fortitude, value); }
    void setReflex(int value) { setStat(stats.reflex, value); }
    void setWill(int value) { setStat(stats.will, value); }
    void setPerception(int value) { setStat(stats.perception, value); }
    void setInsight(int value) { setStat(stats.insight, value); }
    void setInitBonus(int value) { setStat(stats.initBonus, value); }
    void setLevel(int value) { setStat(stats.level, value); }
    void setMaxHitPoints(int value) { setStat(stats.maxHitPoints, value); }
    void setSurgeValue(int value) { setStat(stats.surgeValue, value); }
    void setMaxHealingSurges(int value) { setStat(stats.maxHealingSurges, value); }
    void setInitActionPoints(int value) { setStat(stats.initActionPoints, value); }
    void setSpeed(const QString& text) { setStat(stats.speed, text); }
    void setAlignment(const QString& text) { setStat(stats.alignment, text); }
    void setLanguages(const QString& text) { setStat(stats.languages, text); }
    void setClass(const QString& text) { setStat(stats.creatureClass, text); }
    void setRace(const QString& text) { setStat(stats.race, text); }
    void setRole(const QString& text) { setStat(stats.role, text); }
    void setLinked(bool value, bool quiet);
    void setImportFile(const QString& file);
    void resetStatBlock();
    void setName(const QString& text);
    void setVitality(const CreatureVitality& vitality);

    // Vitality, dying and rests
    int getBloodiedValue() const { return stats.maxHitPoints / 2; }
    bool isBloodied() const;
    bool isDead(bool withoutPending) const;
    bool isDying() const;
    int getPercentageHP() const;
    int getPercentageHPForPlayers() const;
    bool needsRest() const;
    static int getAttributeAdj(int score, int level);
    CreatureVitality getVitality();
    CreatureVitality getBeforeVitality();
    void setBeforeVitality(const CreatureVitality& vitality);
    CreatureInit getInit();
    CreatureState getState() const;
    VitalFigures getFigures() const { return {hitPoints, tempHitPoints, healingSurges, actionPoints}; }
    // Without the previews of open dialogs.
    VitalFigures getFiguresWithoutDelta() const;
    void setState(const CreatureState& state);

    void applyDamage(int amount, Creature* attacker);
    void applyHealing(int healedHitPoints, int surges);
    void takeShortRest(int healedHitPoints, int surges, bool gainActionPoint);
    void takeExtendedRest(bool clearEffects, bool resetPowers);
    void endOfEncounter();
    // A dead creature leaves the encounter through the history; with keepTurn
    // clear, the next turn begins when it was the current one.
    void handleDying(bool keepTurn);
    void setTempHitPoints(int value);
    void useActionPoints(int count);
    void addActionPoints(int count);
    void setStabilized(bool value);
    void setFailedDeathSavingThrows(int count);
    void setCurrHitPoints(int value);
    void setCurrHealingSurges(int value);
    void setCurrActionPoints(int value);
    void setInitRoll(int value);
    void setInitRandom(int value);
    void setInit(const CreatureInit& init);
    void setHidden(bool value);
    void setAlias(const QString& text);
    void setShowAlias(bool value);
    void setReady(bool value);
    void setDelayed(bool value);
    void setSecondWindUsed(bool value);
    void setEndTurnCount(int count) { endTurnCount = count; }
    void setInHistory(bool value) { inHistory = value; }
    void setMissing(bool value) { stats.missing = value; }

    // Pending vitality changes: previews of open dialogs and hand edits
    void setDeltaCurrHealth(qint64 hitPoints, qint64 tempHitPoints, qint64 surges);
    void setDeltaCurrActionPoints(qint64 actionPoints);
    void resetDelta();
    // A hero whose figures or name differ from those last recorded: the next command records them.
    bool hasUnrecordedEdits();
    void writeVitalityChanges(ObjectStream* stream);
    QString getDeltaHP() const;
    QString getDeltaHS() const;
    QString getDeltaTempHP() const;
    QString getDeltaAP() const;

    // Conditions and effects. The lists hold the effects, never own them.
    int getEffectCount() const { return int(effects.size()); }
    Effect* getEffect(int index) const;
    int indexOfEffect(Effect* effect) const;
    void addEffect(Effect* effect);
    void insertEffect(int index, Effect* effect);
    // The position it had; -1 when it was not on the creature.
    int removeEffect(Effect* effect);
    void removeEffectGroup(unsigned int groupId);
    int getNestedEffectCount() const { return int(nested().size()); }
    const NestedEffect* getNestedEffect(int index) const;
    bool isNestedEffect(int index) const;
    // What ends or is due is handed back in list order; the caller records
    // one event for each (removal, ongoing damage or regeneration).
    QList<Effect*> endEffectsOnStartOfTurn(Creature* current) const;
    void getEffectsEndingEndOfTurn(QList<NestedEffect>& ending, Creature* current, bool delaying) const;
    QList<Effect*> endEffectsOnEndOfEncounter() const;
    QList<OnGoingAmount> applyOnGoingDamage();
    QList<OnGoingAmount> applyOnGoingRegeneration();
    void getAttributeAdjustment(AttrAdj& adj) const;
    QString getSavingThrows(bool storedValuesOnly, int* total, bool* conditional) const;
    QString getEffectText(int index) const;
    QString getNestedEffectText(int index) const;
    QString getEffectsList() const;
    // The players' wording: an origin hidden from them goes unnamed.
    QString getPlayersEffectsList() const;
    static bool removeCreatureFromList(QList<Creature*>& list, Creature* creature);

    // Records in the history log
    static bool write(Creature* creature, ObjectStream* stream);
    static bool write(const QList<Creature*>& list, ObjectStream* stream);
    static Creature* readCreature(ObjectStream* stream);
    static QList<Creature*> readCreatureList(ObjectStream* stream);
    static Creature* getCreatureByName(const QString& name, bool create);

    // Portraits
    static QString findPortraitFile(QString folder, const QString& fileName, const QString& root);
    static QImage loadPortrait(const QString& portraitFile, const QString& root);
    static QString grabPortraitFile(const QString& file, const QString& root);
    static QString selectPortraitFile();
    void setPortraitFile(const QString& file);
    QString getPortraitFile() const { return stats.portraitFile; }
    QPixmap getPortrait() const;
    // The data folder changed: forget where the portrait dialog was.
    static void rootChanged();

    // Texts shown of the creature. Names and aliases come back as plain text:
    // whoever puts them into HTML escapes them.
    QString getDisplayName(bool useAlias) const;
    // For the players (useAlias) the hidden creatures are left out.
    static QString getNameList(const QList<Creature*>& creatures, bool useAlias);
    // "origin -> ", or nothing when there is no origin the reader may know of.
    static QString getOriginPrefix(Creature* origin, bool forPlayers);
    QString getInitativeListName() const;
    QString getShortStateText() const;
    QString getStateText(bool richText, bool withAdjustments, bool quietWhenMissing, bool withoutPending) const;
    QString getHPLevel() const;
    QString getHealth(bool templateForm) const;
    QString getHealthForPlayers(bool showMonsterTally) const;
    // Forms 0 and 1 are the initiative list's columns; any other the stat block's line.
    QString getInitiative(bool bonusOnly, int form) const;
    static QString getAdjText(int n);
    static QString getBonusText(int n);
    static QString getColorAdjAdjText(int value, int adjustment);
    static QString getColorAttrAdjText(int value, int adjustment, bool combined);
    static QString getAbilityText(const char* label, int score, int modifier, int level);
    QString getStrText() const { return abilityText(Strength); }
    QString getDexText() const { return abilityText(Dexterity); }
    QString getWisText() const { return abilityText(Wisdom); }
    QString getConText() const { return abilityText(Constitution); }
    QString getIntText() const { return abilityText(Intelligence); }
    QString getChaText() const { return abilityText(Charisma); }
    QString getDefenses(bool compact) const;
    QString getTypeRace() const;
    QString getLevelRaceClass() const;
    QString getLevelClassRole() const;
    QString getSkills() const;
    QString getDetection() const;
    QString getDescription() const;
    QString getEquipment() const;
    QString getLanguagesText() const;
    QString getAlignmentText() const;
    QString getPerceptionBonusText() const { return getBonusText(stats.perception); }
    QString getInitBonusText() const { return getBonusText(stats.initBonus); }
    QString getSensesAndInsight() const;
    QString getSensesLine() const;
    QString getResistances(bool withRegeneration, bool withEffects) const;
    QString getSavingAndAction(bool storedValuesOnly) const;
    QString getActions(bool storedValuesOnly) const;
    bool useCompactDisplay(Power::When section) const;
    bool useCompactDisplay(const CreaturePower* power) const;
    bool toggleSectionCompaction(Power::When section);
    // "<font color=...>text</font>"
    static QString colored(const QColor& colour, const QString& text);
    // Blue for a rise, a readable red for a fall.
    static QColor changeColour(int change);
    // "<b>label </b>value": the blank after a label belongs to the bold
    // element, and never breaks: a label keeps its figure on its line.
    static QString labelled(const QString& label, const QString& value);

private:
    // "figure (bracket)", never parted at a line's end.
    static QString bracketed(const QString& figure, const QString& bracket);
    static bool isEncounterRunning();
    // Shows these pending changes; true when a figure changed.
    bool showDeltas(qint64 hitPoints, qint64 tempHitPoints, qint64 surges, qint64 actionPoints);
    // The flag a preview of these hit points shows, as the events would leave it.
    void previewStabilized();
    QString abilityText(Ability ability) const;
    QString getConditionText(bool richText, bool withoutPending) const;
    QString getActionPointsValue(bool storedValuesOnly) const;
    QString joinEffectTexts(QString (Effect::*text)() const) const;

    // Sections of the stat card the user opened or closed; absent ones keep the default.
    QMap<Power::When, bool> compactSections;

public:
    static int damageOrderCount;
    static QString portraitDirectory;
    static QString characterImportDirectory;

signals:
    void doCreatureUpdated(Creature* creature);
    void doCreatureEffectsChanged(Creature* creature);

private:
    // Which reader a creature file's text goes to.
    enum class TextForm { CharacterXml, MonsterXml, Attributes, Pasted };
    template <typename Text>
    static TextForm formOf(const Text& text);
    enum class ImportRead { Unreadable, Unusable, Usable };
    static ImportRead readImportFile(bool monster, const QString& importFile, CreatureStats& record,
                                     const QString& dataFolder, bool loadLinked);
    // The name=value lines a creature's file carries beside its stat block;
    // a monster names its group there when its stat block reads otherwise.
    static QString attributeSection(const CreatureStats& stats, bool withGroup);
    // The stat block of the statistics rebuilt from the text, unless the last
    // one rebuilt is still it.
    static RebuiltStatBlock rebuilt(const CreatureStats& stats, const QString& text, bool attributesOnly,
                                    const RebuiltStatBlock& last);
    // Tells no one: the creature may still be on a worker thread.
    void takeFile(FileContents&& contents, const QString& fileName);
    void restFigures(bool clearEffects, bool resetPowers);
    void afterPowerEdit(bool wasClean, bool noSave);
    // The folder of a chosen file, native, ending in the separator: where
    // the next open-file dialog starts.
    static QString chosenFolder(const QString& file);

    void setAbilityScore(Ability ability, int score);
    template <typename T>
    void setStat(T& field, const T& value)
    {
        field = value;
        statChanged();
    }
    // A field its file carries changed: write the stat block anew and tell the displays.
    void statChanged();
    void updateCount(bool oldValue, bool newValue, int CreatureCounts::*counter);
    // Told to the switchboard first, as a connection made at construction
    // would; a library of thousands is read faster without one per creature.
    void updated();
    void effectsChanged();

    int endTurnCount = 0;
    bool delayed = false;
    bool ready = false;
    bool hidden = false;
    bool inHistory = false;
    QString alias;
    bool showAlias = false;
    CreatureCounts* counts = nullptr;
    bool isNewFlag = false;
    bool isDirtyFlag = false;
    bool isDeletedFlag = false;
    QString fileName;
    QString beforeStatBlock;
    QString beforeName;
    QString numberedFrom;
    int beforeMaxHitPoints = 0;
    int hitPoints = 0;
    int beforeHitPoints = 0;
    qint64 hitPointDelta = 0;
    int tempHitPoints = 0;
    qint64 tempHitPointDelta = 0;
    QString lastAttacker;
    int damageOrder = 0;
    int beforeSurgeValue = 0;
    int beforeMaxHealingSurges = 0;
    int healingSurges = 0;
    int beforeHealingSurges = 0;
    qint64 healingSurgeDelta = 0;
    bool secondWindUsed = false;
    int failedDeathSavingThrows = 0;
    bool stabilized = true;
    bool stabilizedWithoutDelta = true;
    int damageTaken = 0;
    int healCount = 0;
    int initRoll = 0;
    int initRandom = 0;
    int beforeInitBonus = 0;
    int beforeInitActionPoints = 0;
    int actionPoints = 0;
    int beforeActionPoints = 0;
    qint64 actionPointDelta = 0;
    int actionPointsUsed = 1;
    qint64 actionPointsUsedDelta = 0;
    QList<Effect*> effects;
    // Built from the effects when first asked for after they changed: a
    // long log adds and removes effects by the hundred thousand.
    mutable QList<NestedEffect> nestedEffects;
    mutable bool nestedEffectsStale = false;
    mutable RebuiltStatBlock lastRebuilt;
    const QList<NestedEffect>& nested() const;
    CreatureStats stats;
    // Made where a window first asks for it: workers make creatures.
    mutable std::optional<QPixmap> portraitPixmap;
    mutable qint64 portraitPixmapKey = 0;
    DogTag dogTag{__LINE__, __FILE__};
};

#endif
