#include "powers/power.h"

#include <algorithm>
#include <functional>
#include <iterator>

namespace {

// Indexed by Power::PowerType.
const char* const typeIcons[] = {
    nullptr,
    "weapon.png",
    "ranged-weapon.png",
    "melee-basic.png",
    "melee.png",
    "ranged-basic.png",
    "ranged.png",
    "area-basic.png",
    "area.png",
    "close-basic.png",
    "close.png",
    "aura.png",
    "melee-ranged.png",
    "secondary.png",
    "detail.png",
};

// "Up to " counts, indexed by the greatest count.
const char* const upToTexts[] = {
    nullptr, nullptr, QT_TRANSLATE_NOOP("CreaturePower", "Up to two "), QT_TRANSLATE_NOOP("CreaturePower", "Up to three "),
    QT_TRANSLATE_NOOP("CreaturePower", "Up to four "), QT_TRANSLATE_NOOP("CreaturePower", "Up to five "),
};

}

bool ApplyToRecord::operator==(const ApplyToRecord& other) const
{
    return kind == other.kind && from == other.from && to == other.to;
}

bool PowerData::operator==(const PowerData& other) const
{
    return header == other.header && flavor == other.flavor && description == other.description
        && type == other.type && when == other.when && cost == other.cost && applyTo == other.applyTo;
}

void CreaturePower::setHeader(const QString& keywords, const QString& usage)
{
    QString header = usage.isEmpty() ? QString() : QString("&bull; <b>%1</b>").arg(usage);
    if (!keywords.isEmpty())
        header.prepend(QString("(%1) ").arg(keywords));
    current.header = header;
}

void CreaturePower::setHeader(const QString& header)
{
    current.header = header.startsWith(' ') ? header.mid(1) : header;
}

void CreaturePower::setHeader(const CreaturePower* from)
{
    status = from->status;
    name = from->name;
    usage = from->usage;
    base = from->base;
    current = from->current;
}

void CreaturePower::flipType()
{
    if (current.type >= Power::BasicMelee && current.type <= Power::Close)
        current.type += current.type % 2 ? 1 : -1;
}

void CreaturePower::setBase()
{
    base = current;
}

void CreaturePower::applyChanges(const CreaturePower* other)
{
    const auto take = [](auto& mine, const auto& theirs, const auto& theirBase) {
        if (theirs != theirBase)
            mine = theirs;
    };
    const PowerData& theirs = other->current;
    const PowerData& theirBase = other->base;
    take(current.header, theirs.header, theirBase.header);
    take(current.flavor, theirs.flavor, theirBase.flavor);
    take(current.description, theirs.description, theirBase.description);
    take(current.type, theirs.type, theirBase.type);
    take(current.when, theirs.when, theirBase.when);
    take(current.cost, theirs.cost, theirBase.cost);
    for (int type = Power::Hit; type <= Power::Effect; type++)
        take(current.applyTo[type], theirs.applyTo[type], theirBase.applyTo[type]);
    program = other->program;
}

bool CreaturePower::hasEnhancedInfo() const
{
    return status == UserPower || current != base || program.hasSteps();
}

void CreaturePower::setUsed(bool used)
{
    if (!hasLimitedUse())
        return;
    if (usageLimit() == 1) {
        usage = used ? Power::UsedOnce : Power::Unused;
        return;
    }
    // Marked used: one use more, up to four; released: the uses stay.
    if (used)
        usage = Power::Usage(2 * qMin(getUsageCount() + 1, 4) - 1);
    else if (usage % 2 == 1 && usage <= Power::UsedFourTimes)
        usage = Power::Usage(usage + 1);
}

int CreaturePower::getUsageCount(Power::Usage state)
{
    return state >= Power::Unused && state <= Power::ReleasedFourTimes ? (state + 1) / 2 : 5;
}

int CreaturePower::usageLimit() const
{
    const int cost = current.cost;
    return cost >= Power::TwicePerEncounter && cost <= Power::FourPerEncounter ? cost - 1 : 1;
}

bool CreaturePower::hasLimitedUse() const
{
    return current.cost != Power::NoCost && current.cost != Power::AtWill;
}

bool CreaturePower::getUsed() const
{
    return hasLimitedUse() && usage % 2 == 1 && usage <= Power::UsedFourTimes;
}

const ApplyToRecord& CreaturePower::applyRecord(Power::StepType type) const
{
    static const ApplyToRecord unset;
    return type >= Power::Hit && type <= Power::Effect ? current.applyTo[type] : unset;
}

int CreaturePower::getApplyTo(Power::StepType type) const
{
    const int kind = applyRecord(type).kind;
    return kind == Power::ApplyUnset ? Power::AnyCreature : kind;
}

int CreaturePower::getApplyFromCount(Power::StepType type) const
{
    const int from = applyRecord(type).from;
    if (from != Power::UnsetCount)
        return from;
    return type == Power::Hit ? 1 : 0;
}

int CreaturePower::getApplyToCount(Power::StepType type) const
{
    const int to = applyRecord(type).to;
    return to == Power::UnsetCount ? Power::AnyNumber : to;
}

int CreaturePower::getApplyFromCountInt(Power::StepType type) const
{
    const int from = getApplyFromCount(type);
    return from == Power::AnyNumber ? 0 : from;
}

int CreaturePower::getApplyToCountInt(Power::StepType type) const
{
    return getApplyToCount(type);
}

QString CreaturePower::getApplyToText(Power::StepType type) const
{
    const int kind = getApplyTo(type);
    switch (kind) {
    case Power::NotTrackable:
        return tr("Non-trackable Power");
    case Power::NoTarget:
        return type == Power::Effect ? tr("No Effect") : tr("No Attack");
    case Power::CurrentCreature:
        return tr("Current Creature");
    case Power::Targets:
        return tr("Targets");
    case Power::Self:
        return tr("Self");
    default:
        break;
    }
    const int to = getApplyToCount(type);
    QString count;
    if (to == 1)
        count = tr("One ");
    else if (to > 1 && to < int(std::size(upToTexts)))
        count = tr(upToTexts[to]);
    else
        count = tr("Any number (at least %1) of ").arg(getApplyFromCountInt(type));
    const bool one = to == 1;
    switch (kind) {
    case Power::AllyAndSelf:
        return tr("Self and %1Allies").arg(count);
    case Power::Enemy:
        return count + (one ? tr("Enemy") : tr("Enemies"));
    case Power::Ally:
    case Power::OtherAlly:
        return count + (one ? tr("Ally") : tr("Allies"));
    default:
        return count + (one ? tr("Creature") : tr("Creatures"));
    }
}

QString CreaturePower::rechargeDice(int cost)
{
    const int first = cost >= Power::Recharge3 && cost <= Power::Recharge6 ? cost - Power::Recharge2 + 2 : 2;
    QString dice;
    for (int face = first; face <= 6; face++)
        dice += QString(" <img src=':/images/stats/%1a.gif'>").arg(face);
    return dice;
}

QString CreaturePower::getTitleText(bool highlight, bool) const
{
    QString title;
    if (current.type > 0 && current.type < int(std::size(typeIcons)))
        title = QString("<img src=':/images/stats/%1'> ").arg(typeIcons[current.type]);
    QString body = QString("<b>%1</b>").arg(name.toHtmlEscaped());
    if (!current.header.isEmpty())
        body += " " + current.header;
    const char* tag = highlight ? "u" : getUsed() ? "s" : nullptr;
    return tag ? title + QString("<%1>%2</%1>").arg(tag, body) : title + body;
}

namespace {

bool nameAfter(const CreaturePower* power, const QString& name)
{
    return power->name.compare(name, Qt::CaseInsensitive) > 0;
}

}

struct Powers::Data : QSharedData
{
    // How far the list is known to be in the order new powers are placed
    // by: then a place is found by halving instead of walking the list.
    enum Order { Unknown, Unordered, ByKind, ByKindAndName };

    Data() = default;
    Data(const Data& other) : QSharedData(other)
    {
        other.settle();
        for (const CreaturePower* power : other.list)
            list.append(new CreaturePower(*power));
        order = other.order;
        if (other.last)
            last = list.value(other.list.indexOf(other.last));
    }
    Data& operator=(const Data&) = delete;
    ~Data()
    {
        qDeleteAll(list);
        qDeleteAll(pending);
    }

    Order currentOrder() const;
    int placeFor(const CreaturePower& power, bool sorted) const;
    // Takes the power and returns its index.
    int insert(CreaturePower* power, bool sorted) const;
    // After the power at that index took its place or its name.
    void keepOrderAt(int at) const;
    // Places the powers added since the set was last read, all at once
    // where they would have gone one by one.
    void settle() const;

    // Reading the set settles it: so the list changes under const.
    mutable QList<CreaturePower*> list;
    mutable QList<CreaturePower*> pending;
    mutable bool pendingSorted = false;
    mutable Order order = ByKindAndName;
    bool pinned = false;
    CreaturePower* last = nullptr;
};

Powers::Data::Order Powers::Data::currentOrder() const
{
    if (order != Unknown)
        return order;
    order = ByKindAndName;
    for (int i = 1; i < list.size() && order != Unordered; i++) {
        const int before = list[i - 1]->current.when;
        const int when = list[i]->current.when;
        if (before > when)
            order = Unordered;
        else if (before == when && nameAfter(list[i - 1], list[i]->name))
            order = ByKind;
    }
    return order;
}

int Powers::Data::placeFor(const CreaturePower& power, bool sorted) const
{
    const int when = power.current.when;
    const auto after = [&power, sorted, when](const CreaturePower* other) {
        return other->current.when > when
            || (sorted && other->current.when == when && nameAfter(other, power.name));
    };
    if (currentOrder() == Unordered)
        return int(std::find_if(list.cbegin(), list.cend(), after) - list.cbegin());
    // The first power after it is among those of its kind, or the first of a greater kind.
    const auto kindBegin = std::partition_point(list.cbegin(), list.cend(), [when](const CreaturePower* other) {
        return other->current.when < when;
    });
    const auto kindEnd = std::partition_point(kindBegin, list.cend(), [when](const CreaturePower* other) {
        return other->current.when == when;
    });
    if (!sorted)
        return int(kindEnd - list.cbegin());
    if (order == ByKindAndName)
        return int(std::partition_point(kindBegin, kindEnd, std::not_fn(after)) - list.cbegin());
    return int(std::find_if(kindBegin, kindEnd, after) - list.cbegin());
}

int Powers::Data::insert(CreaturePower* power, bool sorted) const
{
    const int at = placeFor(*power, sorted);
    list.insert(at, power);
    keepOrderAt(at);
    return at;
}

void Powers::Data::keepOrderAt(int at) const
{
    if (order != ByKindAndName)
        return;
    const CreaturePower* power = list[at];
    const auto sameKind = [power](const CreaturePower* other) { return other->current.when == power->current.when; };
    if ((at > 0 && sameKind(list[at - 1]) && nameAfter(list[at - 1], power->name))
        || (at + 1 < list.size() && sameKind(list[at + 1]) && nameAfter(power, list[at + 1]->name)))
        order = ByKind;
}

void Powers::Data::settle() const
{
    if (pending.isEmpty())
        return;
    const bool sorted = pendingSorted;
    const Order known = currentOrder();
    if (known == Unordered || (sorted && known == ByKind)) {
        for (CreaturePower* power : std::as_const(pending))
            insert(power, sorted);
    } else {
        // Each would have gone after every power of its key already there.
        const auto before = [sorted](const CreaturePower* a, const CreaturePower* b) {
            return a->current.when < b->current.when
                || (sorted && a->current.when == b->current.when && nameAfter(b, a->name));
        };
        std::stable_sort(pending.begin(), pending.end(), before);
        QList<CreaturePower*> merged;
        merged.reserve(list.size() + pending.size());
        std::merge(list.cbegin(), list.cend(), pending.cbegin(), pending.cend(), std::back_inserter(merged), before);
        list.swap(merged);
        if (!sorted)
            order = Unknown;
    }
    pending.clear();
}

Powers::Powers() : d(new Data)
{
}

Powers::Powers(const Powers& other) : d(other.d)
{
    if (d.constData()->pinned)
        d.detach();
}

Powers& Powers::operator=(const Powers& other)
{
    d = other.d;
    if (d.constData()->pinned)
        d.detach();
    return *this;
}

Powers::~Powers() = default;

const QList<CreaturePower*>& Powers::settled() const
{
    d->settle();
    return d->list;
}

void Powers::addPower(const CreaturePower& power, bool sorted)
{
    Data& data = *d;
    if (!data.pending.isEmpty() && data.pendingSorted != sorted)
        data.settle();
    data.pending.append(new CreaturePower(power));
    data.pendingSorted = sorted;
    data.last = data.pending.last();
}

CreaturePower* Powers::lastAdded()
{
    return d->last ? handOut(d->last) : nullptr;
}

CreaturePower* Powers::handOut(CreaturePower* power)
{
    if (power) {
        d->pinned = true;
        // Its holder may change its kind or its name.
        d->order = Data::Unknown;
    }
    return power;
}

CreaturePower* Powers::getPower(int i)
{
    return i >= 0 && i < size() ? handOut(d->list[i]) : nullptr;
}

const CreaturePower* Powers::getPower(int i) const
{
    return i >= 0 && i < size() ? d->list[i] : nullptr;
}

int Powers::size() const
{
    return int(settled().size());
}

CreaturePower* Powers::find(const QString& name)
{
    if (name.isEmpty())
        return nullptr;
    // Owned alone before a power is handed out or changed.
    Data& data = *d;
    data.settle();
    for (CreaturePower* power : std::as_const(data.list))
        if (power->name == name)
            return power;
    return nullptr;
}

CreaturePower* Powers::getPowerByName(const QString& name)
{
    return handOut(find(name));
}

void Powers::updatePower(const QString& name, const CreaturePower& power, bool sorted)
{
    CreaturePower* found = find(name);
    if (!found) {
        addPower(power, sorted);
        return;
    }
    d->last = nullptr;
    const bool moved = found->current.when != power.current.when;
    // Each creature keeps its own record of how often it used the power.
    const Power::Usage usage = found->usage;
    *found = power;
    found->usage = usage;
    if (moved) {
        d->list.removeOne(found);
        d->insert(found, sorted);
    } else {
        d->keepOrderAt(int(d->list.indexOf(found)));
    }
}

bool Powers::deletePower(const QString& name)
{
    CreaturePower* found = find(name);
    if (!found)
        return false;
    d->last = nullptr;
    d->list.removeOne(found);
    delete found;
    return true;
}

QList<CreaturePower*> Powers::getPowerList(bool sorted)
{
    Data& data = *d;
    data.settle();
    QList<CreaturePower*> list = data.list;
    if (!list.isEmpty()) {
        data.pinned = true;
        data.order = Data::Unknown;
    }
    if (sorted)
        std::stable_sort(list.begin(), list.end(), [](const CreaturePower* a, const CreaturePower* b) {
            return a->name.compare(b->name, Qt::CaseInsensitive) < 0;
        });
    return list;
}

QString Powers::getTextOfPowers(const char* lineEnd) const
{
    QByteArray text;
    for (const CreaturePower* power : settled())
        if (power->hasEnhancedInfo())
            text += power->getPowerProgram(lineEnd, false);
    return QString::fromUtf8(text);
}

bool Powers::hasEnhancedInfo() const
{
    const QList<CreaturePower*>& list = settled();
    return std::any_of(list.cbegin(), list.cend(), [](const CreaturePower* power) {
        return power->hasEnhancedInfo();
    });
}
