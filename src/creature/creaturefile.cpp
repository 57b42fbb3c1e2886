#include "creature/creature.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStringDecoder>

#include "foundation/attrtext.h"
#include "foundation/global.h"

namespace {

const char* const sectionMarker = "[Tallowmere]";
const char* const groupKey = "group";
// A creature file is a stat block with a few lines; anything far larger is
// not one, and reading it whole would only exhaust memory.
const qint64 maxCreatureFileSize = 16 * 1024 * 1024;

const QByteArray byteOrderMark = "\xEF\xBB\xBF";

bool startsAsMarkup(const QByteArray& text)
{
    const QByteArray start = text.left(1024).trimmed();
    return start.startsWith('<') || (start.startsWith(byteOrderMark) && start.mid(3).trimmed().startsWith('<'));
}

bool isUtf8(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QString decoded = utf8.decode(bytes);
    return !utf8.hasError();
}

QByteArray head(const QString& text, int length)
{
    return text.left(length).toUtf8();
}

const QHash<QString, QString CreatureStats::*>& textKeys()
{
    static const QHash<QString, QString CreatureStats::*> keys = {
        {"name", &CreatureStats::name},       {"class", &CreatureStats::creatureClass},
        {"group", &CreatureStats::group},     {"type", &CreatureStats::type},
        {"race", &CreatureStats::race},       {"role", &CreatureStats::role},
        {"speed", &CreatureStats::speed},     {"vision", &CreatureStats::senses},
        {"alignment", &CreatureStats::alignment}, {"languages", &CreatureStats::languages},
    };
    return keys;
}

const QHash<QString, int CreatureStats::*>& numberKeys()
{
    static const QHash<QString, int CreatureStats::*> keys = {
        {"level", &CreatureStats::level},
        {"xp", &CreatureStats::xp},
        {"hit-points", &CreatureStats::maxHitPoints},
        {"hs-resources", &CreatureStats::maxHealingSurges},
        {"healing-surges", &CreatureStats::maxHealingSurges},
        {"hs-value", &CreatureStats::surgeValue},
        {"surge-value", &CreatureStats::surgeValue},
        {"initiative", &CreatureStats::initBonus},
        {"ap-resources", &CreatureStats::initActionPoints},
        {"action-points", &CreatureStats::initActionPoints},
        {"perception", &CreatureStats::perception},
        {"insight", &CreatureStats::insight},
        {"armour-class", &CreatureStats::armorClass},
        {"fortitude", &CreatureStats::fortitude},
        {"reflex", &CreatureStats::reflex},
        {"will", &CreatureStats::will},
    };
    return keys;
}

const QHash<QString, Ability>& abilityKeys()
{
    static const QHash<QString, Ability> keys = {
        {"str", Strength},     {"strength", Strength},         {"dex", Dexterity},    {"dexterity", Dexterity},
        {"wis", Wisdom},       {"wisdom", Wisdom},             {"con", Constitution}, {"constitution", Constitution},
        {"int", Intelligence}, {"intellegence", Intelligence}, {"cha", Charisma},     {"charisma", Charisma},
    };
    return keys;
}

// Reads one power's lines on top of a stat-block power of the same name,
// whose program they replace.
void readPower(bool monster, const QString& name, AttrParser& parser, CreatureStats& record)
{
    CreaturePower power;
    power.name = name;
    if (const CreaturePower* parsed = record.powers.getPowerByName(name)) {
        power = *parsed;
        power.program.deleteAll();
    }
    power.loadPower(parser);
    record.powers.updatePower(name, power, !monster);
}

// Whether the section after the text's marker names the group.
bool sectionNamesGroup(const QString& text)
{
    int marker = text.indexOf(sectionMarker);
    if (marker < 0)
        return false;
    AttrParser parser(text.mid(marker + int(strlen(sectionMarker))).toUtf8(), 0);
    while (parser.nextAttr())
        if (parser.attrName() == groupKey)
            return true;
    return false;
}

// The text of a CDATA section holding the section: "]]>" would end it
// early, and our own end tag would end the element for the text search.
QString asCData(QString section)
{
    section.replace("]]>", "]]]]><![CDATA[>");
    section.replace("</Tallowmere>", "</]]><![CDATA[Tallowmere>");
    return "\n  <Tallowmere><![CDATA[" + section + "]]></Tallowmere>";
}

// Splits the text around an element. Without its end tag nothing is
// dropped: the new element goes in before the stray start tag.
bool splitAroundElement(const QString& text, const QString& tag, QString& before, QString& after)
{
    const QString start = "<" + tag + ">";
    int from = text.indexOf(start);
    if (from < 0)
        return false;
    const QString end = "</" + tag + ">";
    int to = text.indexOf(end, from);
    before = text.left(from);
    after = to < 0 ? text.mid(from) : text.mid(to + end.length());
    return true;
}

QString placeInXml(const QString& text, const QString& section, const char* rootTag)
{
    QString before, after;
    if (!splitAroundElement(text, "Tallowmere", before, after)
        && !splitAroundElement(text, "PortraitFile", before, after)) {
        int tag = qMax(0, text.indexOf(rootTag));
        int close = text.indexOf('>', tag);
        before = close < 0 ? text : text.left(close + 1);
        after = close < 0 ? QString() : text.mid(close + 1);
    }
    if (before.endsWith("\n  "))
        before.chop(3);
    return before + (section.isEmpty() ? QString() : asCData(section)) + after;
}

QString placeInPastedText(QString text, const QString& section)
{
    // Portraits were once named by a line of the pasted text itself.
    int portrait = text.indexOf("\nPortrait ");
    if (portrait >= 0) {
        int lineEnd = text.indexOf('\n', portrait + 1);
        text = text.left(portrait) + "\n" + (lineEnd < 0 ? QString() : text.mid(lineEnd + 1));
    }
    int marker = text.indexOf(sectionMarker);
    if (marker >= 0) {
        text.truncate(marker);
        if (text.endsWith('\n'))
            text.chop(1);
    }
    return section.isEmpty() ? text : text + "\n" + sectionMarker + "\n" + section;
}

}

bool Creature::isMonsterXML(const QByteArray& text)
{
    QByteArray start = text.left(200);
    return (start.contains("<?xml") && start.contains("?>")) || start.contains("xsi:type=\"Monster\"");
}

bool Creature::isMonsterXML(const QString& text)
{
    return isMonsterXML(head(text, 200));
}

bool Creature::isCharacterXML(const QByteArray& text)
{
    return text.left(200).trimmed().contains("<D20Character");
}

bool Creature::isCharacterXML(const QString& text)
{
    return isCharacterXML(head(text, 200));
}

bool Creature::isAttributes(const QByteArray& text)
{
    int pos = 0;
    int pairs = 0;
    bool afterBlank = false;
    while (pos < text.size() && pairs < 10) {
        QByteArray line = Global::nextLine(text, pos);
        if (line.isEmpty())
            break;
        bool blankOrComment = false;
        bool notPair = false;
        if (afterBlank || !Global::isValidLine(line, blankOrComment, notPair))
            return false;
        if (!notPair)
            pairs++;
        afterBlank = blankOrComment;
    }
    return pairs > 2;
}

bool Creature::isAttributes(const QString& text)
{
    return isAttributes(head(text, 1000));
}

template <typename Text>
Creature::TextForm Creature::formOf(const Text& text)
{
    // Character files may begin with an XML declaration too; monster files
    // never name the character root.
    if (isCharacterXML(text))
        return TextForm::CharacterXml;
    if (isMonsterXML(text))
        return TextForm::MonsterXml;
    return isAttributes(text) ? TextForm::Attributes : TextForm::Pasted;
}

template Creature::TextForm Creature::formOf(const QString& text);

QString Creature::textFailure(const QByteArray& text)
{
    // Decoded, a NUL would end the text and a byte of no UTF-8 become U+FFFD:
    // saved again, the file would lose what they stand for.
    const qsizetype nul = text.indexOf('\0');
    const QByteArray checked = nul < 0 ? text : text.left(nul);
    if (isUtf8(checked))
        return nul < 0 ? QString() : tr("Line %1 holds a NUL byte").arg(checked.count('\n') + 1);
    int line = 1;
    for (qsizetype from = 0;; line++) {
        const qsizetype end = checked.indexOf('\n', from);
        if (end < 0 || !isUtf8(checked.mid(from, end - from)))
            break;
        from = end + 1;
    }
    return tr("Line %1 is not UTF-8 text").arg(line);
}

bool Creature::readCreatureFile(const QString& path, QByteArray& text, QString* failure)
{
    const auto refuse = [failure](const QString& cause) {
        if (failure)
            *failure = cause;
        return false;
    };
    if (const QString broken = Global::brokenLink(path); !broken.isEmpty())
        return refuse(broken);
    // Only regular files: a FIFO would block and a device never end.
    QFileInfo info(path);
    if (!info.isFile())
        return false;
    const QString tooLarge = tr("The file is larger than %1 MB").arg(maxCreatureFileSize >> 20);
    if (info.size() > maxCreatureFileSize)
        return refuse(tooLarge);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return refuse(file.errorString());
    QByteArray bytes = Global::readUpTo(file, info.size(), maxCreatureFileSize + 1);
    if (file.error() != QFileDevice::NoError)
        return refuse(file.errorString());
    if (bytes.size() > maxCreatureFileSize)
        return refuse(tooLarge);
    QByteArray standard = Global::toStandardLineEnding(bytes);
    if (const QString cause = textFailure(standard); !cause.isEmpty())
        return refuse(cause);
    text = std::move(standard);
    return true;
}

bool Creature::parseStatBlock(bool monster, const QByteArray& text, CreatureStats& record, const QString& dataFolder,
                              const QString& fallbackName, bool loadLinked)
{
    record = CreatureStats();
    switch (formOf(text)) {
    case TextForm::CharacterXml:
        readCharacterXml(monster, text, record, dataFolder);
        break;
    case TextForm::MonsterXml:
        readMonsterXml(monster, text, record, dataFolder);
        break;
    case TextForm::Attributes:
        readAttributeBlock(monster, text, record, dataFolder, loadLinked);
        break;
    case TextForm::Pasted:
        // Markup that no XML reader took (a web page saved under a builder
        // file's name) would only give its tags as the creature's name.
        if (!startsAsMarkup(text))
            readCopyStatBlock(monster, record, text, dataFolder);
        break;
    }
    record.monster = monster;
    // Decoding drops a byte-order mark; the file saved again keeps it.
    const QByteArray whole = text.left(qstrnlen(text.constData(), text.size()));
    record.statBlock = (whole.startsWith(byteOrderMark) ? QString(QChar(0xFEFF)) : QString()) + QString::fromUtf8(whole);
    if (!monster && record.name.isEmpty()) {
        record.name = record.group;
        record.group.clear();
    }
    return validateStatBlock(record, monster, fallbackName);
}

bool Creature::parseStatBlock(bool monster, const QString& text, CreatureStats& record, const QString& dataFolder,
                              const QString& fallbackName, bool loadLinked)
{
    return parseStatBlock(monster, text.toUtf8(), record, dataFolder, fallbackName, loadLinked);
}

void Creature::readAttributeBlock(bool monster, const QByteArray& section, CreatureStats& record,
                                  const QString& dataFolder, bool loadLinked)
{
    AttrParser parser(section, 0);
    while (parser.nextAttr()) {
        const QString key = parser.attrName();
        const QString value = parser.attrValue();
        if (key == "portrait") {
            record.portraitFile = value;
            record.portrait = loadPortrait(value, dataFolder);
        } else if (key == "import") {
            record.importFile = value;
            if (loadLinked) {
                // The linked file first, then every line of the section on top of it.
                CreatureStats linked;
                if (readImportFile(monster, value, linked, dataFolder, false) == ImportRead::Usable)
                    record = linked;
                readAttributeBlock(monster, section, record, dataFolder, false);
                return;
            }
        } else if (key == "linked") {
            record.linked = value == "yes";
        } else if (textKeys().contains(key)) {
            record.*textKeys().value(key) = value;
        } else if (numberKeys().contains(key)) {
            record.*numberKeys().value(key) = value.toInt();
        } else if (abilityKeys().contains(key)) {
            record.abilities[abilityKeys().value(key)].score = value.toInt();
        } else if (key == "power") {
            readPower(monster, value, parser, record);
        }
    }
}

QString Creature::attributeSection(const CreatureStats& stats, bool withGroup)
{
    AttrWriter writer("\n");
    const auto addNumber = [&writer](const char* key, int value) {
        if (value != UnknownValue)
            writer.addIntValue(key, value);
    };
    const auto addText = [&writer](const char* key, const QString& value) {
        if (!value.isEmpty())
            writer.addStringValue(key, value);
    };
    if (!stats.monster)
        writer.addStringValue("name", stats.name);
    addText("portrait", stats.portraitFile);
    if (stats.monster) {
        if (withGroup)
            writer.addStringValue(groupKey, stats.group);
        return QString::fromUtf8(writer.getBytes()) + stats.powers.getTextOfPowers("\n");
    }
    if (!stats.importFile.isEmpty()) {
        writer.addStringValue("import", stats.importFile);
        writer.addBoolValue("linked", stats.linked);
    }
    writer.addStringValue("class", stats.creatureClass);
    writer.addStringValue("race", stats.race);
    writer.addStringValue("role", stats.role);
    writer.addIntValue("level", stats.level);
    writer.addIntValue("hit-points", stats.maxHitPoints);
    writer.addIntValue("surge-value", stats.surgeValue);
    writer.addIntValue("healing-surges", stats.maxHealingSurges);
    addNumber("initiative", stats.initBonus);
    writer.addStringValue("speed", stats.speed);
    writer.addIntValue("action-points", stats.initActionPoints);
    addNumber("armour-class", stats.armorClass);
    addNumber("fortitude", stats.fortitude);
    addNumber("reflex", stats.reflex);
    addNumber("will", stats.will);
    addNumber("perception", stats.perception);
    addNumber("insight", stats.insight);
    static const char* const abilityNames[AbilityCount] = {"str", "dex", "wis", "con", "int", "cha"};
    for (int ability = 0; ability < AbilityCount; ability++)
        addNumber(abilityNames[ability], stats.abilities[ability].score);
    addText("alignment", stats.alignment);
    addText("languages", stats.languages);
    return QString::fromUtf8(writer.getBytes()) + stats.powers.getTextOfPowers("\n");
}

Creature::RebuiltStatBlock Creature::rebuilt(const CreatureStats& stats, const QString& text, bool attributesOnly,
                                             const RebuiltStatBlock& last)
{
    const bool sameText = text == last.text;
    const bool namesGroup = sameText ? last.namesGroup : sectionNamesGroup(text);
    const QString section = attributeSection(stats, stats.monster && namesGroup);
    if (sameText && section == last.section && attributesOnly == last.attributesOnly)
        return last;
    return {text, namesGroup, section, attributesOnly, addMyDataToStatBlock(text, section, attributesOnly)};
}

QString Creature::rebuildStatBlock(const QString& text, bool attributesOnly) const
{
    lastRebuilt = rebuilt(stats, text, attributesOnly, lastRebuilt);
    return lastRebuilt.result;
}

QString Creature::addMyDataToStatBlock(const QString& text, const QString& section, bool attributesOnly)
{
    if (attributesOnly || text.isEmpty())
        return section;
    switch (formOf(text)) {
    case TextForm::Attributes:
        return section;
    case TextForm::CharacterXml:
        return placeInXml(text, section, "<CharacterSheet");
    case TextForm::MonsterXml:
        return placeInXml(text, section, "<Monster");
    case TextForm::Pasted:
        break;
    }
    return placeInPastedText(text, section);
}

QString Creature::generateStatBlock(bool attributesOnly) const
{
    return rebuildStatBlock(stats.statBlock, attributesOnly);
}

bool Creature::fileEqualToStatBlock(const QString& path) const
{
    QByteArray bytes;
    if (!readCreatureFile(QDir::toNativeSeparators(path), bytes))
        return false;
    QString fileText = rebuildStatBlock(QString::fromUtf8(bytes), false);
    QString own = stats.statBlock;
    if (own.contains("<PortraitFile>") || own.contains("\nPortrait "))
        own = rebuildStatBlock(own, false);
    return fileText == own;
}
