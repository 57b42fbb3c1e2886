#ifndef CHARACTERDETAILS_H
#define CHARACTERDETAILS_H

#include <QHash>
#include <QList>
#include <QWidget>

#include <functional>

#include "foundation/dogtag.h"
#include "toolkit/windowsanddialogs.h"

class Creature;
class QCheckBox;
class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

// The "Edit Details" tab of the character creator: every figure of one
// character in a box of its own. Showing a character changes nothing of it;
// the window hands each edit back through applyEdit.
class CharacterDetails : public QWidget, public WindowsAndDialogs
{
    Q_OBJECT

public:
    CharacterDetails();

    // Fills every box from the character, or blanks and disables them all.
    // A box's range widens to hold a value outside it.
    void showCharacter(Creature* character);
    // Writes the box's value into the character. After a maximum the current
    // value follows: cut down to it, or raised with it for a hero out of play
    // whose recorded figures were full. While the maximum is typed, each
    // value counts against the current value from before the typing.
    void applyEdit(QWidget* box, Creature* character);
    // The same for maxima that the change sets from a text, which holds no
    // current figures: those that differ from before. Any character, shown or not.
    void followMaxima(Creature* character, const std::function<void()>& change);

    QLineEdit* getNameEdit() const { return nameEdit; }
    QComboBox* getClassBox() const { return classBox; }
    QComboBox* getRaceBox() const { return raceBox; }
    QComboBox* getRoleBox() const { return roleBox; }
    QComboBox* getAlignmentBox() const { return alignmentBox; }
    QLineEdit* getLanguagesEdit() const { return languagesEdit; }
    QLineEdit* getSpeedEdit() const { return speedEdit; }
    QPushButton* getPortraitButton() const { return portraitButton; }
    QLabel* getPortraitLabel() const { return portraitFileLabel; }
    // The spin box of a figure by its heading ("AC", "STR", "Level", ...);
    // the current and maximum hit points, surges and action points are
    // "HP", "Max HP", "HS", "Max HS", "AP" and "AP per encounter".
    QSpinBox* getNumberBox(const QString& heading) const;

signals:
    void doEdited(QWidget* box);
    void doNameEdited();
    // The name box lost the focus or took Return.
    void doNameLeft();
    void doPortraitClicked();

private:
    // One number box and the figure it shows.
    struct NumberField
    {
        QString heading;
        QSpinBox* box;
        // The range it was built with; it widens to hold a character's value.
        int minimum;
        int maximum;
        std::function<int(const Creature*)> read;
        std::function<void(Creature*, int)> write;
        // The range the box keeps for this character; its own when empty.
        std::function<QPair<int, int>(const Creature*)> range;
    };

    void addNumber(const QString& heading, int minimum, int maximum, std::function<int(const Creature*)> read,
                   std::function<void(Creature*, int)> write,
                   std::function<QPair<int, int>(const Creature*)> range = nullptr);
    const NumberField* field(const QString& heading) const;
    void showNumber(const NumberField& number, const Creature* character);
    void keepCurrentWithinMaximum(Creature* character, bool hitPoints);
    QWidget* buildIdentity();
    QWidget* buildGroup(const QString& title, const QList<QList<QWidget*>>& columns, int lastColumn);
    QComboBox* comboBox(const QStringList& items, bool editable);
    void emitEdited(QWidget* box);

    QList<NumberField> numbers;
    QList<QWidget*> inputs;
    QLabel* portraitImage;
    QLabel* portraitFileLabel;
    QPushButton* portraitButton;
    QLineEdit* nameEdit;
    QComboBox* classBox;
    QComboBox* raceBox;
    QComboBox* roleBox;
    QComboBox* alignmentBox;
    QLineEdit* languagesEdit;
    QLineEdit* speedEdit;
    bool filling = false;
    // The current value as it was when its maximum began to change, until the box
    // is left, another character is shown or the value is changed otherwise.
    struct Untouched
    {
        int current;
        int kept;
    };
    QHash<QSpinBox*, Untouched> currentBeforeMaximum;
    const Creature* shownCharacter = nullptr;
    DogTag dogTag{__LINE__, __FILE__};
};

// The "Import Changes" tab: the builder file a character is linked to, and
// the commands that import it again.
class CharacterImports : public QWidget, public WindowsAndDialogs
{
    Q_OBJECT

public:
    CharacterImports();

    void showCharacter(Creature* character);

    QLabel* getFileLabel() const { return fileLabel; }
    QLabel* getPathLabel() const { return pathLabel; }
    QPushButton* getSelectButton() const { return selectButton; }
    QPushButton* getRefreshButton() const { return refreshButton; }
    QCheckBox* getLinkedCheck() const { return linkedCheck; }

signals:
    void doSelectClicked();
    void doRefreshClicked();
    void doLinkedClicked();

private:
    QLabel* fileLabel;
    QLabel* pathLabel;
    QPushButton* selectButton;
    QPushButton* refreshButton;
    QCheckBox* linkedCheck;
    DogTag dogTag{__LINE__, __FILE__};
};

#endif
