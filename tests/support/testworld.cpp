#include "support/testworld.h"

#include <QDir>

#include <cxxabi.h>

#include <cstdlib>
#include <memory>
#include <typeinfo>
#include <utility>

#include "creature/creature.h"
#include "library/characters.h"
#include "encounter/encounter.h"
#include "encounter/event.h"
#include "foundation/folderlock.h"
#include "foundation/global.h"
#include "encounter/history.h"
#include "library/monsters.h"

namespace {

void rest(Creature* creature)
{
    creature->takeExtendedRest(true, true);
    creature->setBeforeVitality(creature->getVitality());
}

QString describeCreature(Creature* c)
{
    CreatureState s = c->getState();
    CreatureVitality v = c->getVitality();
    QStringList text{c->getNameGroup()};
    const QList<QPair<const char*, int>> figures{
        {"hp", v.hitPoints}, {"max", v.maxHitPoints}, {"thp", s.tempHitPoints}, {"hs", v.healingSurges},
        {"max", v.maxHealingSurges}, {"ap", v.actionPoints}, {"init", v.initActionPoints},
        {"used", s.actionPointsUsed}, {"fails", s.failedDeathSavingThrows}, {"stab", s.stabilized},
        {"delay", s.delayed}, {"ready", s.ready}, {"turns", s.endTurnCount}, {"taken", s.damageTaken},
        {"heals", s.healCount}, {"roll", c->getInitRoll()}, {"random", c->getInitRandom()}, {"hidden", c->isHidden()},
        {"show alias", c->isShowAlias()}, {"effects", int(c->getEffects().size())}, {"before hp", s.beforeHitPoints},
        {"hs", s.beforeHealingSurges}, {"ap", s.beforeActionPoints}, {"sw", s.secondWindUsed}};
    for (const auto& figure : figures)
        text.append(QString("%1 %2").arg(figure.first).arg(figure.second));
    text.append("attacker '" + s.lastAttacker + "' alias '" + c->getAlias() + "' powers");
    const Powers& powers = c->getPowers();
    for (int i = 0; const CreaturePower* power = powers.getPower(i); i++)
        text.append(QString("%1 %2").arg(power->name).arg(power->usage));
    return text.join(' ');
}

}

TestWorld::TestWorld()
{
    for (const char* library : {"Characters", "Monsters", "Portraits", "Encounters"})
        QDir(dir.path()).mkdir(library);
    Global::nativeRootPath = QDir::toNativeSeparators(dir.path());
    Global::prettyRootPath = Global::nativeRootPath;
    makeSingletons();
}

TestWorld::~TestWorld()
{
    deleteSingletons();
    Global::nativeRootPath.clear();
    Global::prettyRootPath.clear();
    // As at shut-down: a folder a test switched to is no longer held.
    FolderLock::keepOnly(QString());
}

void TestWorld::makeSingletons()
{
    // A main window made before the world keeps its own, which it is connected to.
    if (!Global::encounter)
        Global::encounter = new Encounter;
    if (!Global::history)
        Global::history = new History;
    if (!Global::characters)
        Global::characters = new Characters;
    if (!Global::monsters)
        Global::monsters = new Monsters;
}

void TestWorld::deleteSingletons()
{
    delete std::exchange(Global::history, nullptr);
    delete std::exchange(Global::encounter, nullptr);
    delete std::exchange(Global::characters, nullptr);
    delete std::exchange(Global::monsters, nullptr);
}

QString TestWorld::logPath() const
{
    return History::getLogPath();
}

ObjectStream* TestWorld::stream()
{
    return Global::history->getStream(false);
}

namespace {

// What a hero's file says of the figures a hand edit in the fight changes:
// a change in the fight is no edit of the file, and a restart begins again
// from the file.
const char* const fileFigures = "fileFigures";

void keepFileFigures(Creature* hero)
{
    const CreatureStats& stats = hero->getStats();
    hero->setProperty(fileFigures, QVariantList{stats.initBonus, stats.maxHitPoints, stats.maxHealingSurges,
                                                stats.surgeValue, stats.initActionPoints});
}

void takeFileFigures(CreatureStats& stats, const QVariant& figures)
{
    const QVariantList kept = figures.toList();
    if (kept.size() != 5)
        return;
    int CreatureStats::*const fields[] = {&CreatureStats::initBonus, &CreatureStats::maxHitPoints,
                                          &CreatureStats::maxHealingSurges, &CreatureStats::surgeValue,
                                          &CreatureStats::initActionPoints};
    for (int i = 0; i < kept.size(); i++)
        stats.*fields[i] = kept[i].toInt();
}

}

QList<TestWorld::DemonstrationPower> TestWorld::demonstrationPowers()
{
    const QString demo = Global::getResourcePath() + "/demo-data";
    QList<DemonstrationPower> found;
    for (const bool monster : {false, true})
        for (const QString& file : QDir(demo + (monster ? "/Monsters" : "/Characters")).entryList(QDir::Files)) {
            Creature creature;
            if (creature.load(file, monster, demo, nullptr, nullptr))
                for (const CreaturePower* power : creature.getPowers().getPowerList(false))
                    found.append({file, monster, *power});
        }
    return found;
}

CreaturePower TestWorld::demonstrationPower(const QString& heroFile, const QString& power)
{
    for (const DemonstrationPower& demonstration : demonstrationPowers())
        if (!demonstration.monster && demonstration.file == heroFile && demonstration.power.name == power)
            return demonstration.power;
    return CreaturePower();
}

Creature* TestWorld::addHero(const QString& name, int maxHitPoints, int surges, int actionPoints)
{
    auto* hero = new Creature;
    hero->setupDummyHero(name);
    CreatureVitality vitality = hero->getVitality();
    vitality.maxHitPoints = maxHitPoints;
    vitality.maxHealingSurges = surges;
    vitality.surgeValue = maxHitPoints / 4;
    vitality.initActionPoints = actionPoints;
    hero->setVitality(vitality);
    hero->setBeforeName(name);
    rest(hero);
    keepFileFigures(hero);
    Global::characters->addCharacter(hero);
    return hero;
}

Creature* TestWorld::addMonster(const QString& group, const QString& id, int maxHitPoints)
{
    Creature* base = Global::monsters->findTemplate(group);
    if (!base) {
        base = new Creature;
        base->setupDummyMonster(group);
        base->setMaxHitPoints(maxHitPoints);
        Global::monsters->addTemplate(base);
    }
    return Global::monsters->getMonsterInstance(group, id, true);
}

Creature* TestWorld::find(const QString& nameGroup) const
{
    return Creature::getCreatureByName(nameGroup, false);
}

void TestWorld::giveInitiativeBonus(Creature* creature, int bonus)
{
    creature->setInitBonus(bonus);
    creature->setBeforeVitality(creature->getVitality());
    keepFileFigures(creature);
}

bool TestWorld::record(Event* event)
{
    return Global::history->apply(event, false);
}

QStringList TestWorld::figures()
{
    QStringList lines;
    for (int i = 0; Creature* c = Global::encounter->getCreature(i); i++)
        lines << QString("%1 %2 %3 %4 %5")
                     .arg(c->getNameGroup())
                     .arg(c->getCurrHitPoints())
                     .arg(c->getTempHitPoints())
                     .arg(c->getCurrHealingSurges())
                     .arg(c->getCurrActionPoints());
    return lines;
}

QString TestWorld::eventClass(const Event* event)
{
    const std::unique_ptr<char, decltype(&std::free)> name(
        abi::__cxa_demangle(typeid(*event).name(), nullptr, nullptr, nullptr), &std::free);
    return QString::fromLatin1(name ? name.get() : typeid(*event).name());
}

bool TestWorld::restart(const std::function<void()>& beforeReplay)
{
    // What the files would give back: the statistics, rested.
    // Figures changed in the fight are no edit of the file.
    QList<CreatureStats> heroes;
    QList<QVariant> files;
    for (int i = 0; i < Global::characters->getCharacterCount(); i++) {
        Creature* character = Global::characters->getCharacter(i);
        heroes.append(character->getStats());
        files.append(character->property(fileFigures));
        takeFileFigures(heroes.last(), files.last());
    }
    QList<CreatureStats> templates;
    for (int i = 0; i < Global::monsters->getTemplateCount(); i++)
        templates.append(Global::monsters->getTemplate(i)->getStats());
    deleteSingletons();
    makeSingletons();
    for (int i = 0; i < heroes.size(); i++) {
        const CreatureStats& stats = heroes[i];
        auto* hero = new Creature;
        hero->setStats(stats);
        hero->setProperty(fileFigures, files[i]);
        hero->setBeforeName(stats.name);
        rest(hero);
        Global::characters->addCharacter(hero);
    }
    for (const CreatureStats& stats : templates) {
        auto* base = new Creature;
        base->setStats(stats);
        Global::monsters->addTemplate(base);
    }
    if (beforeReplay)
        beforeReplay();
    return Global::history->rootChanged();
}

QString TestWorld::describe() const
{
    Encounter* encounter = Global::encounter;
    QStringList lines{QString("round %1 current %2 dead %3 order: ")
                              .arg(encounter->getRound())
                              .arg(encounter->getCurrentIndex())
                              .arg(encounter->getState().dead.size())
                          + encounter->getCreatureList().getNameList()};
    QStringList creatures;
    for (int i = 0; i < Global::characters->getCharacterCount(); i++)
        creatures.append(describeCreature(Global::characters->getCharacter(i)));
    // Instances are made in the order the log names them.
    for (int i = 0; i < Global::monsters->getInstanceCount(); i++)
        creatures.append(describeCreature(Global::monsters->getInstance(i)));
    creatures.sort();
    return (lines + creatures).join('\n');
}

QString TestWorld::difference(const QString& expected, const QString& actual)
{
    QStringList a = expected.split('\n');
    QStringList b = actual.split('\n');
    QStringList lines;
    for (int i = 0; i < qMax(a.size(), b.size()); i++)
        if (a.value(i) != b.value(i))
            lines << "expected: " + a.value(i) << "actual:   " + b.value(i);
    return lines.join('\n');
}
