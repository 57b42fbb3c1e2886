#ifndef WINDOWSANDDIALOGS_H
#define WINDOWSANDDIALOGS_H

#include <QBoxLayout>
#include <QString>
#include <QWidget>

#include "foundation/dogtag.h"

class DynamicLabel;
class QComboBox;
class QLabel;
class QLayout;
class QSpinBox;
class QSplitter;
class QToolButton;
class QWidget;

// A plain widget that asks for the given width, or what its content needs
// when that is more, and opens that wide. Short of room a splitter narrows it to what shows its
// content whole: a scroll area in it scrolls up and down only, so its
// content keeps its least width beside the scroll bar.
class PaneWidget : public QWidget
{
public:
    explicit PaneWidget(int width = 0) : width(width) {}

    QSize sizeHint() const override { return QWidget::sizeHint().expandedTo(QSize(width, 0)); }
    QSize minimumSizeHint() const override;

private:
    int width;
};

// Builders shared by every window and dialog. They make widgets without a
// parent; the layouts hand them to the window's widget tree.
class WindowsAndDialogs
{
public:
    enum Arrow { ArrowNone = 0, ArrowLeft = 1, ArrowRight = 2, ArrowDown = 3, ArrowUp = 4 };

    WindowsAndDialogs() = default;
    virtual ~WindowsAndDialogs() = default;

    static QLabel* htmlLabel(const QString& text);
    static DynamicLabel* dynamicHtmlLabel(const QString& text, const QString& hoverText, int id);

    static QHBoxLayout* hLayout(QWidget* w1 = nullptr, QWidget* w2 = nullptr, QWidget* w3 = nullptr,
        QWidget* w4 = nullptr, QWidget* w5 = nullptr, QWidget* w6 = nullptr);
    static QHBoxLayout* hLayout(int margin, QWidget* w1, QWidget* w2 = nullptr);
    static QVBoxLayout* vLayout(bool stretchBefore, bool stretchAfter, QWidget* w1 = nullptr,
        QWidget* w2 = nullptr, QWidget* w3 = nullptr, QWidget* w4 = nullptr, QWidget* w5 = nullptr,
        QWidget* w6 = nullptr);
    static QWidget* hWidget(QWidget* w1 = nullptr, QWidget* w2 = nullptr, QWidget* w3 = nullptr,
        QWidget* w4 = nullptr, QWidget* w5 = nullptr, QWidget* w6 = nullptr);
    static QWidget* hWidget(bool stretchBefore, bool stretchAfter, QWidget* w1 = nullptr,
        QWidget* w2 = nullptr, QWidget* w3 = nullptr, QWidget* w4 = nullptr, QWidget* w5 = nullptr,
        QWidget* w6 = nullptr);
    static QWidget* layoutToWidget(QLayout* layout);
    // Keeps the label as wide as the widest of the texts, or of its own,
    // asks: as it shows them in turn it moves nothing beside it.
    static void reserveWidth(QLabel* label, const QStringList& texts);
    // Adds the widget to the box, which the widget asks for its least size
    // only: it takes the room the others leave (with stretch), and gives way
    // before them down to its least.
    static void addYielding(QBoxLayout* layout, QWidget* widget, int stretch);
    // The widgets in a row, each as wide as it asks; where the width runs
    // out the rest go to further rows (spacing -1: the style's), each row
    // in the middle or at the start.
    static QWidget* wrappingRow(std::initializer_list<QWidget*> widgets, int spacing = -1, bool centred = false);
    // The width of a stat block's widest unbroken line, its three ability
    // scores, in the widget's font.
    static int statBlockWidth(const QWidget* widget);

    // Fixed to the height; at least width wide (0: as wide as its content)
    // and as wide as its text needs; an icon or arrow alone keeps the width.
    static QToolButton* toolButton(const QString& text, int width, int height, Arrow arrow = ArrowNone);
    // Text and tip carry the shortcut in the platform's own words.
    static QToolButton* toolButton(const QString& text, const QString& tip, const QString& shortcut);
    static QSpinBox* digitBox(int maximum, int minimum, int value = 0, bool setValue = false);

    // Selects the item with the text (any case); else an editable box takes the text, another item 0.
    static void setComboBox(QComboBox* box, const QString& text);
    static QString getComboBox(QComboBox* box);

    // A tool window's geometry and splitter sizes under "KEY/geometry" and
    // "KEY/splitterSizes"; without a stored geometry the window opens at
    // its first-start size inside the screen, and never stored splitter
    // sizes stay as they are.
    static void restoreWindowState(QWidget* window, QSplitter* splitter, const QString& key);
    // For a window opening without a stored geometry: centred in its
    // screen's available room with the frame the window manager adds, so
    // that no edge of a window that fits lies off the screen.
    static void placeInsideScreen(QWidget* window);
    static void storeWindowState(QWidget* window, QSplitter* splitter, const QString& key);

private:
    static void fillBox(QBoxLayout* layout, int margin, bool stretchBefore, bool stretchAfter,
        std::initializer_list<QWidget*> widgets);

    DogTag dogTag{__LINE__, __FILE__};
};

#endif
