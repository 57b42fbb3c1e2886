#ifndef CREATUREDISPLAY_H
#define CREATUREDISPLAY_H

#include <QList>
#include <QObject>
#include <QPixmap>
#include <QPointer>

#include "creature/creature.h"
#include "foundation/dogtag.h"
#include "mainwindow/creaturestyle.h"
#include "toolkit/scrollandtabs.h"
#include "toolkit/windowsanddialogs.h"

class QFrame;
class QGridLayout;
class QLabel;
class QToolButton;
class XLabel;

// One creature, or several, as a standard block (portrait, names, defences,
// health) and as a stat block laid out like a printed stat card. Requests
// only mark the display dirty; the next refresh tick redraws once.
class CreatureDisplay : public QObject, public WindowsAndDialogs
{
    Q_OBJECT

public:
    CreatureDisplay(bool editorMode, bool showEffects);
    ~CreatureDisplay() override;

    QGridLayout* standardDisplay() const { return standardGrid; }
    ResizableScrollArea* getStatBlockDisplay() const { return statBlockArea; }
    bool isEditorMode() const { return editorMode; }

    void displayCreature(Creature* creature);
    void displayCreatures(const QList<Creature*>& creatures);
    void drawStandardBlock();

    static void setupStyles();
    static QString lineStyle(int code, bool monster, bool trap);
    static QString lineStyle(int code, const Creature* creature);
    static CreatureStyle monsterStyle;
    static CreatureStyle heroStyle;
    static CreatureStyle trapStyle;

    QWidget* createMainWidget(QVBoxLayout* layout);
    QLabel* createLabel(const QString& text, bool wordWrap, bool richText, int width);
    XLabel* createXLabel(const QString& text, bool wordWrap);

    // A power label was pressed; nothing when the creature or the power is gone.
    void powerClicked(Creature* creature, const QString& powerName);

signals:
    void doPortraitClicked();
    void doPowerClicked(Creature* creature, CreaturePower* power);
    void doShowAliases(const QList<Creature*>& creatures, bool show);
    void doEditAliases(const QList<Creature*>& creatures);

public slots:
    void onRefreshTimer();
    void onSetUseAlias(Creature* creature);
    void onEditAlias(Creature* creature);
    void onSectionClicked(Creature* creature, int section);

private:
    // The stat-block drawing; false when what is shown stays.
    bool drawStatBlock();
    bool drawStatBlockHeaders();
    // An empty column for new contents; finishing puts it in place of the drawn
    // contents unless both show the same, and tells whether it did.
    QVBoxLayout* startContents();
    bool finishContents(QVBoxLayout* layout);
    QString fingerprintOf(const QWidget* contents) const;
    void drawHeader(QVBoxLayout* layout);
    void drawHeaderDetails(QVBoxLayout* layout, bool full);
    void drawConditionAndEffects(QVBoxLayout* layout);
    void drawTrailer(QVBoxLayout* layout);
    QFrame* createAliasLine(int code);
    QFrame* createSingleLine(int code, const QString& text);
    QFrame* createDoubleLine(int code, const QString& left, const QString& right, bool leftWrap, bool rightWrap);
    QFrame* createLabelLine(int code, QLabel* first, QLabel* second);
    QFrame* createAbilityLine(int code);
    QFrame* createLanguageLine(int code);
    QFrame* createLine(int code);
    static QHBoxLayout* rowLayout(QFrame* line, int spacing);

    // The power sections
    void drawPowerSections(QVBoxLayout* layout);
    QFrame* createSectionTitle(const QString& title, Power::When section);
    void drawPowerDetails(QVBoxLayout* layout, int code, CreaturePower* power, bool first);
    QFrame* createPowerTitle(int code, const CreaturePower* power);
    QFrame* createDetailLine(int code, bool firstLine, const QString& text);

    bool editorMode;
    bool showEffects;
    bool dirty = false;
    QPointer<Creature> toShow;
    QPointer<Creature> lastDrawn;
    QString drawnFingerprint;
    QList<QPointer<Creature>> multi;
    QPointer<ResizableScrollArea> statBlockArea;
    QGridLayout* standardGrid = nullptr;
    QToolButton* portraitButton = nullptr;
    QLabel* portraitLabel = nullptr;
    QLabel* nameLabel = nullptr;
    QLabel* stateLabel = nullptr;
    QLabel* levelLabel = nullptr;
    QLabel* typeLabel = nullptr;
    QLabel* defensesLabel = nullptr;
    QLabel* healthLabel = nullptr;
    QLabel* actionsLabel = nullptr;
    QLabel* effectsLabel = nullptr;
    QPixmap selectPortraitPixmap;
    QPixmap noIconPixmap;
    QPixmap monsterShieldPixmap;
    QPixmap heroShieldPixmap;
    DogTag dogTag{__LINE__, __FILE__};
};

#endif
