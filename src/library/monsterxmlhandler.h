#ifndef MONSTERXMLHANDLER_H
#define MONSTERXMLHANDLER_H

#include <QHash>
#include <QStringList>

#include <functional>

#include "creature/creature.h"
#include "library/xmlhandler.h"

// Reads a monster file of the publisher's monster builder (".monster") into
// statistics and powers. Lists are joined into display texts, each power is
// gathered while its element is open and stored at its end; the type line,
// the role and our own attribute section are settled after the document.
class MonsterXmlHandler : public XmlHandler
{
public:
    MonsterXmlHandler(bool monster, const QString& rootPath, const CreatureStats& stats);

    void start() override;
    void end() override;
    bool xmlElement(const QString& path, const QString& value) override;
    bool readsEndOf(QStringView element) const override;

    const CreatureStats& getStats() const { return stats; }

    // "list, item"; either alone when the other is empty.
    static QString makeList(const QString& list, const QString& item, const QString& separator);
    // +7, 0, -2
    static QString adjustValue(int n);
    static QString skillValue(const QString& name, int n);
    // A saving-throw bonus: empty for 0, a sign before a positive number,
    // any other text unchanged.
    static QString stringToAdj(const QString& text);

private:
    // What a value at one path does to the handler.
    using Action = std::function<void(MonsterXmlHandler*, const QString&)>;

    // The actions by whole path: the record's own values, then the power being read.
    static QHash<QString, Action> recordActions();
    static QHash<QString, Action> powerActions();
    void usageValue(const QString& v);
    void attackValue(const QString& path, const QString& v);
    void powerDone();
    QString powerDetailLine(QString& name, QString& text, QString* extra);
    QString rechargeValue(const QString& text);
    void resultEnd();
    void attackEnd();

    QString roleText;
    bool leader = false;
    QString keywords;
    QString susceptibility;
    bool monsterFlag;
    QString rootPath;
    QString sizeWord;
    QString originWord;
    QString typeWord;
    CreatureStats stats;
    int lastNumber = 0;
    int detailCount = 0;
    QStringList pendingLines;
    QString attackName;
    QString attackText;
    QString resultName;
    QString resultText;
    bool basic = false;
    QString actionText;
    QString powerKeywords;
    QString usageText;
    CreaturePower workingPower;
    int quantity = 0;
    QString attributeText;
};

#endif
