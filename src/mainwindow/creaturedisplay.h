#ifndef CREATUREDISPLAY_H
#define CREATUREDISPLAY_H

#include <QList>
#include <QObject>
#include <QPixmap>
#include <QPointer>

#include <memory>

#include "creature/creature.h"
#include "foundation/dogtag.h"
#include "mainwindow/creaturestyle.h"
#include "mainwindow/statblocklines.h"
#include "toolkit/scrollandtabs.h"
#include "toolkit/windowsanddialogs.h"

class QGridLayout;
class QLabel;
class QToolButton;
class XLabel;

// One creature, or several, as a standard block (portrait, names, defences,
// health) and as a stat block laid out like a printed stat card. Requests
// only mark the display dirty; the next refresh tick works out the lines to
// show and changes the widgets only where those differ from the shown ones.
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

    // The colours of the stat blocks; once, before any display draws.
    static void setupStyles();
    static CreatureStyle monsterStyle;
    static CreatureStyle heroStyle;
    static CreatureStyle trapStyle;

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
    void drawHeader(StatLineList& lines, Creature* creature) const;
    void drawHeaderDetails(StatLineList& lines, Creature* creature, bool full) const;
    void drawConditionAndEffects(StatLineList& lines, const Creature* creature) const;
    void drawTrailer(StatLineList& lines, const Creature* creature) const;
    void drawPowerSections(StatLineList& lines, Creature* creature) const;
    void drawPowerDetails(StatLineList& lines, Creature* creature, int code, CreaturePower* power, bool first) const;

    bool editorMode;
    bool showEffects;
    bool dirty = false;
    QPointer<Creature> toShow;
    QPointer<Creature> lastDrawn;
    QList<QPointer<Creature>> multi;
    QPointer<ResizableScrollArea> statBlockArea;
    std::unique_ptr<StatBlockColumn> column;
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
