#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTest>

#include <vector>

#include "creature/creature.h"
#include "library/statblocktesting.h"
#include <QImage>
#include <QTemporaryDir>

namespace {

// The fixtures are read from the source folder.
QString statBlockFixture(const QString& name)
{
    QFile file(QStringLiteral(RAVELHORN_STATBLOCKS "/%1").arg(name));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

}

class TestStatBlockParser : public QObject
{
    Q_OBJECT

private slots:
    // Pastes vary in blank lines: each fixture is also read with a blank
    // line after every line, and with none.
    void fixtures_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        for (const QString& file : QDir(RAVELHORN_STATBLOCKS).entryList({"*.txt"})) {
            const QString text = statBlockFixture(file);
            QString blank = text;
            blank.replace(QRegularExpression("\\n[ \\t\\r]*\\n"), "\n").replace("\n", "\n \n");
            QString none = text;
            none.replace(QRegularExpression("\\n[ \\t\\r]*(?=\\n)"), QString());
            QTest::newRow(qPrintable(file)) << file.chopped(4) << text;
            QTest::addRow("%s, blank lines", qPrintable(file)) << file.chopped(4) << blank;
            QTest::addRow("%s, no blank lines", qPrintable(file)) << file.chopped(4) << none;
        }
    }

    // Each fixture against its whole expected record, field by field. The
    // text is a view of a buffer that is overwritten and freed before the
    // record is read: whatever the record keeps is its own copy.
    void fixtures()
    {
        QFETCH(QString, name);
        QFETCH(QString, text);
        const QStringList expected = statBlockFixture(name + ".expected").split('\n', Qt::SkipEmptyParts);
        CreatureStats stats;
        {
            std::vector<QChar> buffer(text.cbegin(), text.cend());
            CreatureParser(true).parse(stats, QString::fromRawData(buffer.data(), qsizetype(buffer.size())), QString());
            std::fill(buffer.begin(), buffer.end(), QChar('#'));
        }
        const QStringList actual = describeStats(stats);
        for (int i = 0; i < qMax(expected.size(), actual.size()); ++i)
            QCOMPARE(actual.value(i), expected.value(i));
        QCOMPARE(stats.statBlock, text);
    }

    void tokens_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("trap");
        QTest::addColumn<QString>("expected");
        QTest::newRow("bloodied") << "Bloodied" << false << "76:Bloodied";
        QTest::newRow("dice") << "2d6+4 2d6 + 4 +4 -" << false << "18:2d6+4 18:2d6 10:+ 17:4 17:+4 11:-";
        QTest::newRow("en dash") << "\u20133 \u2013z" << false << "17:-3 16:\u2013 25:z";
        QTest::newRow("numbers") << "1,000 2.5 5." << false << "17:1,000 17:2.5 17:5 7:.";
        QTest::newRow("odd words") << "2/encounter 2H w/" << false << "146:2/encounter 25:2H 25:w/";
        QTest::newRow("line ends") << "a\r\nb\rc\n" << false << "114:a 2:\r\n 25:b 2:\r 116:c 2:\n";
        QTest::newRow("letters") << "m M X F f" << false << "110:m 111:M 120:X 12:F 25:f";
        QTest::newRow("die faces") << "\u2683\u2726\u2022" << false << "22:\u2683 12:\u2726 12:\u2022";
        QTest::newRow("run-in heading, trap") << "ReflexHit" << true << "65:Reflex 2:\n 124:Hit";
        QTest::newRow("run-in heading, monster") << "ReflexHit" << false << "65:Reflex 124:Hit";
        // A keyword split where a PDF copy lost an f-ligature is one word again; other words stay apart.
        QTest::newRow("lost ligatures") << "Refl ex ef fect fi re of fire in sight" << false
                                        << "65:Reflex 125:effect 154:fire 194:of 154:fire 25:in 25:sight";
        QTest::newRow("period before capital, trap") << "ends.Trigger" << true << "25:ends 7:. 2:\n 127:Trigger";
    }

    void tokens()
    {
        QFETCH(QString, text);
        QFETCH(bool, trap);
        QFETCH(QString, expected);
        QStringList actual;
        for (const CreatureToken& token : CreatureParser::tokenize(text, trap))
            actual.append(QString("%1:%2").arg(token.kind).arg(token.text));
        QCOMPARE(actual.join(' '), expected);
    }

    void numbers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("expected");
        QTest::newRow("thousands") << "1,000" << 1000;
        QTest::newRow("inner comma") << "12,5" << 125;
        QTest::newRow("signs") << "+5" << 5;
        QTest::newRow("minus") << "-3" << -3;
        QTest::newRow("lowest") << "-2147483648" << INT_MIN;
        QTest::newRow("too large") << "99999999999" << 0;
        QTest::newRow("dice") << "2d6" << 0;
        QTest::newRow("sign alone") << "+" << 0;
        QTest::newRow("die face") << "\u2683" << 4;
    }

    // Numbers are read from the token's characters as QString::toInt reads them.
    void numbers()
    {
        QFETCH(QString, text);
        QFETCH(int, expected);
        const QList<CreatureToken> tokens = CreatureParser::tokenize(text, false);
        QCOMPARE(tokens.size(), 1);
        QCOMPARE(tokens.first().toInt(), expected);
    }

    void lineClasses_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("title whatever it holds") << "HP 5\nHP 5; Bloodied 2" << "HEADER_TITLE HEADER_LINE";
        QTest::newRow("headings") << "X\nAC 3\nTraits\nTraits of the beast.\nStandard Actions\nm Bite ✦ At-Will\n"
                                     "Standard Action taken."
                                  << "HEADER_TITLE HEADER_LINE POWER_SECTION POWER_DETAIL POWER_SECTION "
                                     "POWER_HEADER POWER_DETAIL";
        QTest::newRow("area letter") << "X\nAC 3\nA Claw ✦ At-Will\nA creature bleeds."
                                     << "HEADER_TITLE HEADER_LINE POWER_HEADER POWER_DETAIL";
        QTest::newRow("sentence joined") << "X\nAC 3\nBite (standard; at-will)\n+5 vs. AC; 1d6\ndamage and\nmore.\nHit: 5."
                                         << "HEADER_TITLE HEADER_LINE POWER_HEADER POWER_DETAIL POWER_DETAIL_W_LABEL";
        QTest::newRow("broken header joined") << "X\nAC 3\nBite (standard;\nat-will) ✦ Poison\n+5 vs. AC."
                                              << "HEADER_TITLE HEADER_LINE POWER_HEADER POWER_DETAIL";
        QTest::newRow("footer stays") << "X\nAC 3\nStr 10\nm Bite ✦ At-Will\nEquipment club"
                                      << "HEADER_TITLE HEADER_LINE FOOTER_LINE FOOTER_DETAIL FOOTER_HEADER";
        QTest::newRow("trap countermeasures split") << "X\nLevel 2 Trap\nCountermeasures ✦ Disable: Thievery DC 20."
                                                    << "HEADER_TITLE HEADER_LINE POWER_SECTION POWER_DETAIL";
        QTest::newRow("trap skill lines") << "X\nLevel 2 Trap\nPerception DC 20: seen.\nDC 25: more.\nPerception"
                                          << "HEADER_TITLE HEADER_LINE TRAP_DETAIL_SKILL_DC TRAP_DETAIL_DC "
                                             "TRAP_DETAIL_SKILL";
    }

    void lineClasses()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QStringList trace;
        CreatureStats stats;
        CreatureParser parser(true);
        parser.setTrace(&trace);
        parser.parse(stats, text, QString());
        QStringList states;
        for (const QString& line : trace)
            states.append(line.section(':', 0, 0));
        states.removeLast();
        QCOMPARE(states.join(' '), expected);
        QCOMPARE(CreatureParser::stateText(CreatureParser::State(20)), QString());
    }

    void headerItems_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("title stops at level") << "Cave Skulker Level 1 Skirmisher"
                                              << QStringList{"group: Cave Skulker", "role: Skirmisher"};
        QTest::newRow("title note") << "Marsh Raider (Leader)" << QStringList{"group: Marsh Raider", "titleNote: Leader"};
        QTest::newRow("head count below the level line") << "Level 3 Minion\n8 Rat Swarmlings\nTiny natural beast"
                                                         << QStringList{"group: Rat Swarmlings", "role: Minion"};
        QTest::newRow("digit in the name, level after it") << "8 Rat Swarmlings Level 3 Minion"
                                                           << QStringList{"group: 8 Rat Swarmlings"};
        QTest::newRow("type and xp") << "X\nSmall natural humanoid XP 100"
                                     << QStringList{"type: Small natural humanoid",
                                                    "level 0, xp 100, hp 0, initiative -, perception -"};
        QTest::newRow("senses") << "X\nSenses Perception +12; darkvision, tremorsense 10"
                                << QStringList{"senses: darkvision, tremorsense 10"};
        QTest::newRow("first resist wins") << "X\nResist 10 fire; Vulnerable 5 cold\nResist 2 acid"
                                           << QStringList{"resist: 10 fire | immune:  | vulnerable: 5 cold"};
        QTest::newRow("points and saves") << "X\nAction Points 1\nSaving Throws +2"
                                          << QStringList{"action points: 1", "saving throws: +2"};
        QTest::newRow("trap") << "X\nLevel 5 Trap" << QStringList{"type: Trap", "trap: 1"};
        QTest::newRow("abilities") << "X\nStr 18 (+6) Dex 14 (+4) Wis 12 +3\nCon 9"
                                   << QStringList{"abilities: 18 (6), 14 (4), 12 (3), 9 (-), - (-), - (-)"};
        QTest::newRow("footer blocks") << "X\nEquipment club\nEquipment rope\nPublished in A.\n© 2040 B."
                                       << QStringList{"equipment: clubrope", "notes: Published in A.<br>© 2040 B."};
        QTest::newRow("initiative dash") << "X\nInitiative \u2014" << QStringList{"level 0, xp 0, hp 0, initiative -, perception -"};
    }

    void headerItems()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, expected);
        const QStringList record = describeStats(parseStatBlock(text));
        for (const QString& line : expected)
            QVERIFY2(record.contains(line), qPrintable(line + "\n" + record.join('\n')));
    }

    void powers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("expected");
        const QString monster = "X\nAC 5\n";
        QTest::newRow("icon header") << monster + "m Claw (standard; at-will) ✦ Poison\n+5 vs. AC."
                                     << QStringList{"power: Claw | type 3 | when 5 | cost 1 | (standard; at-will) "
                                                    "&bull; <b>Poison</b>",
                                                    "  line: +5 vs. AC."};
        QTest::newRow("recharge") << monster + "Flame Spit (standard; recharge 5)\nMelee 1; +5 vs. AC."
                                  << QStringList{"power: Flame Spit | type 3 | when 5 | cost 10 | (standard; recharge "
                                                 "<img src=':/images/stats/5a.gif'> <img src=':/images/stats/6a.gif'>)"};
        QTest::newRow("header trait") << "X\nChilling Presence (fear) aura 5"
                                      << QStringList{"power: Chilling Presence | type 11 | when 4 | cost 0 | (fear) "
                                                     "&bull; <b>Aura</b> 5"};
        QTest::newRow("aura text below, no period") << "X\nChoking Spores (poison) Aura 1\nAll enemies cough\nHP 5"
                                                    << QStringList{"power: Choking Spores | type 11 | when 4 | cost 0 | "
                                                                   "(poison) &bull; <b>Aura</b> 1",
                                                                   "  line: All enemies cough"};
        QTest::newRow("basic melee once") << monster + "Slam (standard; at-will)\nMelee 1; 5 damage.\n"
                                                       "Stomp (standard; at-will)\nMelee 1; 6 damage."
                                          << QStringList{"power: Slam | type 3 | when 5 | cost 1 | (standard; at-will)",
                                                         "power: Stomp | type 4 | when 5 | cost 1 | (standard; at-will)"};
        QTest::newRow("flavour") << monster + "Howl ✦ Encounter\nIt howls.\nHit: 5 damage."
                                 << QStringList{"  flavour: <i>It howls.</i>", "  line: <i>Hit:</i> 5 damage."};
        QTest::newRow("last line header") << monster + "Howl ✦ Encounter"
                                          << QStringList{"power: Howl | type 0 | when 4 | cost 2 | &bull; "
                                                         "<b>Encounter</b>",
                                                         "  line: "};
        QTest::newRow("trap action") << "X\nLevel 1 Trap\nIt clicks.\nTrap: It bites.\nAttack\nStandard Action Melee 1\nHit: 5."
                                     << QStringList{"power: Attack | type 3 | when 5 | cost 0 | &bull; "
                                                    "<b>Standard Action Melee</b> 1"};
        QTest::newRow("countermeasures one a line") << "X\nLevel 1 Trap\nCountermeasures\nOne.\nTwo."
                                                    << QStringList{"  line: One.", "  line: Two."};
        QTest::newRow("dc lines keep their skill") << "X\nLevel 1 Trap\nPerception DC 20: seen.\nDC 25: more."
                                                   << QStringList{"  line: Perception DC 20: seen.",
                                                                  "  line: Perception DC 25: more."};
    }

    void powers()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, expected);
        const QStringList record = describeStats(parseStatBlock(text));
        for (const QString& line : expected)
            QVERIFY2(record.contains(line), qPrintable(line + "\n" + record.join('\n')));
    }

    void emptyMonsterStatBlock_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("group");
        QTest::addColumn<QString>("note");
        QTest::newRow("plain") << "New Monster" << "New Monster" << "";
        QTest::newRow("with a note") << "Orc (Elite)" << "Orc" << "Elite";
    }

    void emptyMonsterStatBlock()
    {
        QFETCH(QString, title);
        QFETCH(QString, group);
        QFETCH(QString, note);
        const QString text = title + "\nMedium monster\nLevel 1 Soldier XP 1\nInitiative +0 Senses Perception +0\n"
                                     "HP 1\nAC 0; Fortitude 0, Reflex 0, Will 0\nSaving Throws +0\nSpeed 0\n"
                                     "Action Points 0\nAlignment Any Languages Common\nStr 10 Dex 10 Wis 10\n"
                                     "Con 10 Int 10 Cha 10\nEquipment club\n";
        CreatureStats stats = parseStatBlock(text);
        QCOMPARE(stats.group, group);
        QCOMPARE(stats.titleNote, note);
        QCOMPARE(stats.level, 1);
        QCOMPARE(stats.xp, 1);
        QCOMPARE(stats.maxHitPoints, 1);
        QCOMPARE(stats.statBlock, text);

        CreatureStats untouched;
        untouched.group = "kept";
        CreatureParser(true).parse(untouched, "\n \n", QString());
        QCOMPARE(untouched.group, QString("kept"));
    }

    // A skill run that ends its line used to cut the line at its end,
    // which read as the end of the text and lost the rest.
    void skillRunAtLineEndKeepsTheRest()
    {
        CreatureStats stats = parseStatBlock("X\nLevel 1 Trap\nPerception or Arcana\nDC 10: seen.\nAlignment Evil");
        QCOMPARE(stats.alignment, QString("Evil"));
        QCOMPARE(stats.powers.getPower(0)->name, QString("Perception or Arcana"));
    }

    // Pasted "<" is text, never markup; plain fields stay plain.
    void pastedMarkupIsEscaped()
    {
        CreatureStats stats = parseStatBlock("<b>Ogre\nAC 5\nBite (standard) ✦ <i>\nHit: 1 <2.\n"
                                             "Description a <b> c\nPublished in <Tome>.");
        const CreaturePower* bite = stats.powers.getPower(0);
        QVERIFY(stats.group.startsWith("<b"));
        QCOMPARE(bite->current.header, QString("(standard) &bull; <b>&lt;i&gt;</b>"));
        QCOMPARE(bite->current.description, QStringList{"<i>Hit:</i> 1 &lt;2."});
        QCOMPARE(stats.published, QString("Published in &lt;Tome&gt;."));
        Creature creature;
        creature.setStats(stats);
        QCOMPARE(creature.getDescription(), QString("<b>Description\u00a0</b>a &lt;b&gt; c"));

        CreatureStats trap = parseStatBlock("X\nLevel 1 Trap\nA <lever> drops.");
        QCOMPARE(trap.flavorText, QString("<i>A &lt;lever&gt; drops.</i>"));
    }

    // The portrait is looked for in the data folder given to the parse.
    void portraitComesFromTheDataFolder()
    {
        QTemporaryDir folder;
        QDir(folder.path()).mkpath("Portraits");
        QImage image(4, 4, QImage::Format_RGB32);
        image.fill(Qt::red);
        QVERIFY(image.save(folder.path() + "/Portraits/my face.png"));
        CreatureStats stats;
        CreatureParser(true).parse(stats, "X\nPortrait  my face.png \nAC 5", folder.path());
        QCOMPARE(stats.portraitFile, QString("my face.png"));
        QCOMPARE(stats.portrait.size(), QSize(4, 4));
        QCOMPARE(stats.armorClass, 5);
    }
};

QTEST_MAIN(TestStatBlockParser)
#include "test_statblockparser.moc"
