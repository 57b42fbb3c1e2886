#include <climits>

#include "foundation/global.h"
#include "foundation/uihooks.h"
#include "library/encounterdata.h"
#include "library/monsters.h"

namespace {

// The XP one party member earns for an encounter of each level 1 to 40.
const int xpPerLevel[] = {100,   125,   150,   175,   200,   250,   300,   350,   400,   500,
                          600,   700,   800,   1000,  1200,  1400,  1600,  2000,  2400,  2800,
                          3200,  4150,  5100,  6050,  7000,  9000,  11000, 13000, 15000, 19000,
                          23000, 27000, 31000, 39000, 47000, 55000, 63000, 79000, 95000, 111000,
                          0};

}

int charToNumber(const QString& text)
{
    QChar c = text.isEmpty() ? QChar() : text[0];
    if (c >= 'A' && c <= 'Z')
        return c.unicode() - 'A' + 1;
    if (c >= 'a' && c <= 'z')
        return c.unicode() - 'a' + 27;
    return 1;
}

void generateChar(QString& out, int n)
{
    if (n <= 26)
        out = QChar('A' + n - 1);
    else if (n <= 52)
        out = QChar('a' + n - 27);
    else
        out = QString::number(n - 53);
}

QString splitID(const QString& id, QString& digits)
{
    int start = id.size();
    while (start > 0 && id[start - 1].isDigit())
        start--;
    digits = id.mid(start);
    return digits.isEmpty() ? id : id.left(id.indexOf(digits));
}

bool EncounterData::isPrefixTaken(const QString& prefix) const
{
    QString digits;
    return std::any_of(monsters.begin(), monsters.end(),
                       [&](const EncounterMonster& m) { return splitID(m.id, digits) == prefix; });
}

bool EncounterData::isIdTaken(const QString& id, const QString& templateName, bool perEncounter) const
{
    return std::any_of(monsters.begin(), monsters.end(), [&](const EncounterMonster& m) {
        return m.id == id && (perEncounter || m.name == templateName);
    });
}

QString EncounterData::choosePrefix(const QString& templateName, const QString& callerPrefix, int& scheme) const
{
    const QStringList words = templateName.split(' ', Qt::SkipEmptyParts);
    QString candidate;
    if (!callerPrefix.isEmpty()) {
        candidate = callerPrefix;
        scheme = 2;
    } else {
        candidate = (words.size() >= 2 ? words[1] : templateName).left(1).toUpper();
    }
    int m = charToNumber(candidate);
    if (!isPrefixTaken(candidate))
        return candidate;
    candidate.clear();
    for (const QString& word : words)
        candidate += word[0];
    while (isPrefixTaken(candidate))
        generateChar(candidate, ++m);
    return candidate;
}

QString EncounterData::getNewUniqueName(const QString& templateName, const QString& prefix, int& scheme,
                                        bool perEncounter) const
{
    QString last;
    int k = 0;
    for (const EncounterMonster& m : monsters)
        if (m.name == templateName) {
            last = m.id;
            k++;
        }
    int used = scheme;
    QString chosen;
    int n = 1;
    if (last.isEmpty()) {
        chosen = choosePrefix(templateName, prefix, used);
    } else {
        QString digits;
        chosen = splitID(last, digits);
        if (digits.isEmpty() && k == 1 && scheme == 2) {
            used = 2;
            n = 2;
        } else if (digits.isEmpty()) {
            used = 1;
            n = charToNumber(last) + 1;
        } else {
            n = digits.toInt() + 1;
            used = chosen.isEmpty() ? 0 : 2;
        }
    }
    auto candidate = [&] {
        QString id;
        if (used == 0)
            id = QString::number(n);
        else if (used == 1)
            generateChar(id, n);
        else
            id = n == 1 && !prefix.isEmpty() ? chosen : chosen + QString::number(n);
        return id;
    };
    QString id = candidate();
    while (isIdTaken(id, templateName, perEncounter)) {
        n++;
        id = candidate();
    }
    scheme = used;
    return id;
}

QString EncounterData::getNewMonsterName(const QString& templateName)
{
    for (int n = 1;; n++)
        if (!findGroupCreature(templateName, QString::number(n)))
            return QString::number(n);
}

void EncounterData::recalcLevelAndXP()
{
    partySize = Global::ui().getPartySize();
    // Summed wide: a few monsters of absurd XP must not wrap round.
    qint64 sum = 0;
    for (const EncounterMonster& m : monsters)
        if (Creature* base = Global::monsters ? Global::monsters->findTemplate(m.name) : nullptr)
            sum += base->getXP();
    xp = int(qBound(qint64(INT_MIN), sum, qint64(INT_MAX)));
    level = 1;
    while (xpPerLevel[level] && qint64(xpPerLevel[level]) * partySize <= sum)
        level++;
    recalcXP = false;
}

int EncounterData::getXP()
{
    if (recalcXP || partySize != Global::ui().getPartySize())
        recalcLevelAndXP();
    return xp;
}

int EncounterData::getLevel()
{
    if (recalcXP || partySize != Global::ui().getPartySize())
        recalcLevelAndXP();
    return level;
}
