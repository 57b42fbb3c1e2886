#ifndef INPUTWIDGETS_H
#define INPUTWIDGETS_H

#include <QComboBox>
#include <QDialogButtonBox>
#include <QSet>
#include <QSpinBox>

#include "foundation/dogtag.h"

class KeyboardInterface;

// A button box whose OK and Cancel carry this program's translated labels.
class DialogButtonBox : public QDialogButtonBox
{
    Q_OBJECT

public:
    explicit DialogButtonBox(QDialogButtonBox::StandardButtons buttons,
        Qt::Orientation orientation = Qt::Horizontal, QWidget* parent = nullptr);
};

// A combo box whose entries can be marked unavailable (grey) without being
// removed; the owner's keyboard interface sees every key first. An entry's
// user value is its item data in the user role (0 without).
class DisableComboBox : public QComboBox
{
    Q_OBJECT

public:
    explicit DisableComboBox(KeyboardInterface* keys = nullptr, QWidget* parent = nullptr);

    void setIndexEnabled(int index, bool enabled);
    bool isIndexEnabled(int index) const { return !disabled.contains(index); }
    void setUserValueEnabled(int value, bool enabled);
    bool isUserValueEnabled(int value) const;
    bool setCurrentUserValue(int value);
    int getCurrentUserValue() const;
    // Asks for the room of its current text, and where it gets less, elides
    // the text at its end and shows it whole as its tooltip.
    void setElidesText(bool value);
    bool elidesText() const { return eliding; }
    bool isTextElided() const;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

private:
    int indexOfUserValue(int value) const;
    int textRoom() const;

    KeyboardInterface* keys;
    QSet<int> disabled;
    bool eliding = false;
    DogTag dogTag{__LINE__, __FILE__};
};

// A combo box over the parts of a path that never asks for the width of its
// longest part: where narrow, its current text is elided in the middle, and
// its tooltip names the whole path.
class PathComboBox : public QComboBox
{
    Q_OBJECT

public:
    explicit PathComboBox(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

// A number box as wide as the widest value of the range it was built with,
// also while given a narrower range: a range that follows another figure
// moves nothing beside it.
class SteadySpinBox : public QSpinBox
{
    Q_OBJECT

public:
    SteadySpinBox(int minimum, int maximum);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

private:
    QSize widened(QSize hint) const;
    int textWidth(int minimum, int maximum) const;

    int widestMinimum;
    int widestMaximum;
};

#endif
