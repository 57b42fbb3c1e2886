#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QTemporaryFile>
#include <QTest>
#include <QUrl>

#include "foundation/global.h"
#include "library/statblocktesting.h"
#include "library/xmlhandler.h"
#include "support/testsupport.h"
#include "support/testworld.h"

namespace {

class RecordingHandler : public XmlHandler
{
public:
    void start() override { calls << "start"; }
    void end() override { calls << "end"; }
    bool xmlElement(const QString& path, const QString& value) override
    {
        calls << path + "=" + value;
        return true;
    }
    QStringList calls;
};

QByteArray builderFile(const QString& name)
{
    return TestSupport::readFile(QStringLiteral(RAVELHORN_BUILDERFILES "/%1").arg(name));
}

// The parser's description with the fields only a hero has.
QString describe(const CreatureStats& s)
{
    return QStringList{QString("hero: %1 | %2 | %3 | surges %4, surge value %5, insight %6")
                           .arg(s.name, s.creatureClass, s.race)
                           .arg(s.maxHealingSurges)
                           .arg(s.surgeValue)
                           .arg(numberText(s.insight))}
               .join('\n')
        + '\n' + describeStats(s).join('\n');
}

CreatureStats read(const QByteArray& bytes, bool monster, const QString& fallback = "bad.monster")
{
    CreatureStats stats;
    Creature::parseStatBlock(monster, bytes, stats, QString(), fallback, false);
    return stats;
}

QByteArray monsterWith(const QByteArray& inner)
{
    return "<?xml version=\"1.0\"?>\n<Monster><Name>Orc</Name><Level>1</Level>" + inner + "</Monster>";
}

QByteArray heroWith(const QByteArray& inner)
{
    return "<D20Character><CharacterSheet><Details><name>Vex</name><Level>2</Level></Details>" + inner
        + "</CharacterSheet></D20Character>";
}

}

class TestBuilderXml : public QObject
{
    Q_OBJECT

private slots:
    void walk_data()
    {
        QTest::addColumn<QByteArray>("xml");
        QTest::addColumn<QString>("calls");
        QTest::newRow("attribute, text, empty child")
            << QByteArray("<A x='1'>t<B/></A>") << "start;/A/x=1;/A/=t;/A/B/#end=;/A/#end=;end";
        QTest::newRow("empty element") << QByteArray("<R><X/></R>") << "start;/R/X/#end=;/R/#end=;end";
        QTest::newRow("attributes in order")
            << QByteArray("<R><X b='2' a='1'/></R>") << "start;/R/X/b=2;/R/X/a=1;/R/X/#end=;/R/#end=;end";
        QTest::newRow("namespace declared")
            << QByteArray("<?xml version='1.0'?><R xmlns:q='urn:q' q:a='1'/>") << "start;/R/q:a=1;/R/#end=;end";
        QTest::newRow("one text") << QByteArray("<R>a &amp; <![CDATA[<b>]]> c<!-- x --> d<X/>e</R>")
                                  << "start;/R/=a & <b> c d;/R/X/#end=;/R/=e;/R/#end=;end";
        QTest::newRow("white space") << QByteArray("<R> <R>\n</R></R>") << "start;/R/= ;/R/R/=\n;/R/R/#end=;/R/#end=;end";
    }

    void walk()
    {
        QFETCH(QByteArray, xml);
        QFETCH(QString, calls);
        RecordingHandler handler;
        QVERIFY(handler.parse(xml, xml.contains("<A") ? "A" : "R"));
        QCOMPARE(handler.calls.join(';'), calls);
        QVERIFY(handler.getPath().isEmpty());
    }

    void fixtures_data()
    {
        QTest::addColumn<QString>("file");
        for (const QString& file : QDir(RAVELHORN_BUILDERFILES).entryList({"*.monster", "*.dnd4e"}))
            QTest::newRow(qPrintable(file)) << file;
    }

    // Each file whole, through the creature file's reader, against its expected
    // record; cut anywhere, it is refused and named after its file.
    void fixtures()
    {
        QFETCH(QString, file);
        const bool monster = file.endsWith(".monster");
        const QByteArray bytes = builderFile(file);
        QCOMPARE(describe(read(bytes, monster)),
                 QString::fromUtf8(builderFile(QFileInfo(file).baseName() + ".expected")).trimmed());
        for (int cut = 0; cut < bytes.trimmed().size(); cut += 5)
            QCOMPARE((monster ? read(bytes.left(cut), true).group : read(bytes.left(cut), false).name),
                     QString("bad.monster"));
    }

    void edgeCases_data()
    {
        QTest::addColumn<QByteArray>("xml");
        QTest::addColumn<QString>("expected");
        const auto power = [](const QByteArray& inner) { return monsterWith("<Powers>" + inner + "</Powers>"); };
        QTest::newRow("recharge above six") << power("<MonsterPower><Name>P</Name><Usage>Recharge 9</Usage></MonsterPower>")
                                            << "cost 6 | \u2022 <b>Recharge</b> <img src=':/images/stats/2a.gif'>";
        QTest::newRow("usage details") << power("<MonsterPower><Name>P</Name><Usage>Encounter</Usage>"
                                                "<UsageDetails>special</UsageDetails></MonsterPower>")
                                       << "cost 2 | \u2022 <b>Encounter</b> special";
        QTest::newRow("nameless power flows on")
            << power("<MonsterPower><Usage>Encounter</Usage></MonsterPower><MonsterPower><Name>Q</Name></MonsterPower>")
            << "power: Q | type 0 | when 0 | cost 2 | \u2022 <b>Encounter</b>";
        QTest::newRow("markup escaped, names plain")
            << power("<MonsterTrait><Name>A &lt;b&gt;</Name><Details>&lt;b&gt;&amp;</Details></MonsterTrait>")
            << "power: A <b> | type 0 | when 4 | cost 0 | \n  line: &lt;b&gt;&amp;";
        QTest::newRow("eleventh failed save")
            << power("<MonsterPower><Name>P</Name><Attacks><MonsterAttack><Effect><FailedSavingThrows>"
                     + QByteArray("<MonsterAttackEntry><Description>s</Description></MonsterAttackEntry>").repeated(11)
                     + "</FailedSavingThrows></Effect></MonsterAttack></Attacks></MonsterPower>")
            << "<i>Tenth Failed Saving Throw:</i> s\n  line: <i>n'th Failed Saving Throw:</i> s";
        QTest::newRow("saving throw below one") << monsterWith("<SavingThrows><MonsterSavingThrow FinalValue='-1'/>"
                                                               "</SavingThrows>")
                                                << "saving throws: -1";
        const auto specifics = [](const QByteArray& inner) {
            return heroWith("<PowerStats><Power name='P'>" + inner + "</Power></PowerStats>");
        };
        QTest::newRow("melee or ranged") << specifics("<specific name='Attack Type'>Melee or Ranged weapon</specific>")
                                         << "type 12";
        QTest::newRow("held cost kept") << specifics("<specific name='Power Usage'>Daily</specific></Power>"
                                                     "<Power name='P'><specific name='Power Usage'>At-Will</specific>")
                                        << "cost 12";
        QTest::newRow("escaped header") << specifics("<specific name='Keywords'>A &lt;i&gt;</specific>")
                                        << "cost 0 | (A &lt;i&gt;)";
    }

    void edgeCases()
    {
        QFETCH(QByteArray, xml);
        QFETCH(QString, expected);
        const QString description = describe(read(xml, !xml.contains("<D20Character")));
        QVERIFY2(description.contains(expected), qPrintable(description));
    }

    void refused_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("wellFormed");
        QTest::newRow("web page") << QByteArray("\n <!DOCTYPE html><html><body>Orc Level 3 Brute<br>HP 40</body></html>")
                                  << false;
        QTest::newRow("wrong root") << QByteArray("<?xml version='1.0'?><html><Monster><Name>Orc</Name></Monster></html>")
                                    << false;
        QTest::newRow("malformed") << monsterWith("<Level>2</Lev>") << false;
        QTest::newRow("deep") << "<?xml version='1.0'?><Monster><Name>Orc</Name>" + QByteArray("<a>").repeated(100000)
                + QByteArray("</a>").repeated(100000) + "</Monster>"
                              << false;
        QByteArray laughs = "<!ENTITY a0 'ha'>";
        for (int i = 1; i < 10; i++)
            laughs += QString("<!ENTITY a%1 '%2'>").arg(i).arg(QString("&a%1;").arg(i - 1).repeated(10)).toUtf8();
        QTest::newRow("expansion") << "<?xml version='1.0'?><!DOCTYPE Monster [" + laughs
                + "]><Monster><Name>&a9;</Name><Level>1</Level></Monster>"
                                   << false;
        QTest::newRow("external entity") << QByteArray("<?xml version='1.0'?><!DOCTYPE Monster [<!ENTITY e SYSTEM "
                                                       "'SECRET'>]><Monster><Name>&e;</Name><Level>1</Level></Monster>")
                                         << true;
        QTest::newRow("long text") << monsterWith("<Name>" + QByteArray(4 << 20, 'x') + "</Name>") << true;
    }

    // Named after its file; never read from markup nor from another file.
    void refused()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, wellFormed);
        QTemporaryFile secret;
        QVERIFY(secret.open() && secret.write("Hidden") && secret.flush());
        bytes.replace("SECRET", QUrl::fromLocalFile(secret.fileName()).toEncoded());
        QCOMPARE(read(bytes, true).group, QString("bad.monster"));
        CreatureStats marked;
        marked.group = "Kept";
        const QString before = describe(marked);
        Creature::readMonsterXml(true, bytes, marked, QString());
        QVERIFY(!describe(marked).contains("Hidden"));
        if (!wellFormed)
            QCOMPARE(describe(marked), before);
    }

    void sectionRoundTrip_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("start");
        // The character file starts with a byte-order mark; written by a builder that marks its files, the
        // monster file does too. The mark stays.
        QTest::newRow("monster") << "soldier.monster" << QByteArray();
        QTest::newRow("character") << "hero.dnd4e" << QByteArray();
        QTest::newRow("monster with a byte-order mark") << "soldier.monster" << QByteArray("\xEF\xBB\xBF");
    }

    // Our section rides inside the root; edits survive a save, a load and a
    // re-import of the builder file, even with the section's own end in them.
    void sectionRoundTrip()
    {
        QFETCH(QString, file);
        QFETCH(QByteArray, start);
        TestWorld world;
        const bool monster = file.endsWith(".monster");
        QVERIFY(TestSupport::writeFile(Global::getCreaturePath(file, monster), start + builderFile(file)));
        Creature creature;
        QVERIFY(creature.load(file, monster, QString(), nullptr, nullptr));
        CreaturePower user;
        user.status = CreaturePower::UserPower;
        user.name = "Wedge ]]> </Tallowmere> Strike";
        user.current.when = Power::Standard;
        creature.updatePower(user.name, user);
        CreaturePower edited = *creature.getPowers().getPower(0);
        edited.current.flavor = "Edited";
        creature.updatePower(edited.name, edited);
        QVERIFY(creature.save());
        const QByteArray savedBytes = TestSupport::readFile(Global::getCreaturePath(file, monster));
        QCOMPARE(savedBytes.startsWith("\xEF\xBB\xBF"), (start + builderFile(file)).startsWith("\xEF\xBB\xBF"));
        const QString saved = QString::fromUtf8(savedBytes);
        QVERIFY(saved.indexOf("<Tallowmere>") > saved.indexOf(monster ? "<Monster" : "<CharacterSheet"));
        Creature loaded;
        QVERIFY(loaded.load(file, monster, QString(), nullptr, nullptr));
        QCOMPARE(describe(loaded.getStats()), describe(creature.getStats()));
        QVERIFY(TestSupport::writeFile(Global::getRootedPath("builder." + file), builderFile(file)));
        QCOMPARE(loaded.importFromFile("builder." + file, true), Creature::ImportResult::Imported);
        QCOMPARE(describe(loaded.getStats()), describe(creature.getStats()));
    }

    void portraits_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("copies");
        QTest::newRow("image") << "face.png" << 1;
        QTest::newRow("text named as an image") << "text.png" << 0;
        QTest::newRow("folder") << "" << 0;
        QTest::newRow("device") << "/dev/zero" << 0;
    }

    void portraits()
    {
        QFETCH(QString, file);
        QFETCH(int, copies);
        TestWorld world;
        QTemporaryDir outside;
        QImage face(8, 8, QImage::Format_RGB32);
        face.fill(Qt::red);
        QVERIFY(face.save(outside.filePath("face.png")) && TestSupport::writeFile(outside.filePath("text.png"), "x"));
        const QByteArray path = QFileInfo(file).isAbsolute() ? file.toUtf8() : outside.filePath(file).toUtf8();
        for (int i = 0; i < 2; i++) {
            const CreatureStats stats = read(heroWith("<Details><Portrait>file://" + path + "</Portrait></Details>"), false);
            QCOMPARE(stats.portraitFile.isEmpty(), copies == 0);
            QCOMPARE(stats.portrait.isNull(), copies == 0);
        }
        QCOMPARE(QDir(Global::getPortraitPath(QString())).entryList(QDir::Files).size(), copies);
    }
};

RAVELHORN_TEST_MAIN(QGuiApplication, TestBuilderXml)
#include "test_builderxml.moc"
