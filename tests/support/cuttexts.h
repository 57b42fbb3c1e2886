#ifndef CUTTEXTS_H
#define CUTTEXTS_H

#include <QApplication>
#include <QDir>
#include <QMap>
#include <QRect>
#include <QStringList>

#include <functional>

#include "app/program.h"
#include "support/testsupport.h"
#include "support/labelmeasures.h"

class QAbstractItemView;
class QLabel;
class QWidget;

// Every text of the window's shown widgets that does not show whole, each
// measured with its widget's font against the room its style gives the text
// once laid out, with where it is (a text elided on purpose, an entry, a
// header title or a path box's path, is whole where its tooltip names it); widgets that run out of their frame
// or that their layout draws below their least size,
// scroll areas that scroll sideways, rows taller than the scroll area that
// holds them, buttons of a button box out of sight (scrolled away or not)
// and tabs that need arrows; labels side by side whose texts touch; the
// texts unreadableTexts names; with greyedFieldsRead, the greyed
// fields whose text does not read.
QStringList cutTexts(QWidget* window, bool greyedFieldsRead = false);

// The room a label gives its text: inside its margins, less its indent on
// the side it aligns to (beside a frame, half an x where it was given none).
QRect labelTextRoom(const QLabel* label);

// The lines of the view's tooltip at that place, as its label lays them out.
QStringList tipLines(QAbstractItemView* view, const QRect& place);
// Whether the view's tooltip at that place shows the text whole, its lines
// broken between words only.
bool tipShowsWhole(QAbstractItemView* view, const QRect& place, const QString& text);
// Whether the widget's tooltip at its centre shows the text whole.
bool tipShowsWhole(QWidget* widget, const QString& text);

// The lists and buttons of the panel that the change moves or resizes on
// the screen, among those shown before and after it, once they hold still;
// what scrolls inside a list of the panel (a step's own buttons) moves with
// its list.
QStringList movedBy(QWidget* panel, const std::function<void()>& change);
// Where the panel's lists and buttons stand once they hold still, after
// as many turns of the event loop as its layouts take to pass a change on.
QMap<QWidget*, QRect> settledPlaces(QWidget* panel);

// Lets the displays redraw at the ticks of the main window's timer.
void redrawAtTicks();

// The test program, on an emulated screen of that size.
#define RAVELHORN_TEST_MAIN_ON_SCREEN(TestObject, screen)                                          \
    int main(int argc, char** argv)                                                                \
    {                                                                                              \
        TestSupport::isolateEnvironment(TestSupport::MessageFilterAt::TestRun);                    \
        if (!Program::emulateScreen(screen, QDir::tempPath()))                                     \
            return 2;                                                                              \
        QApplication app(argc, argv);                                                              \
        TestObject test;                                                                           \
        return TestSupport::runTests(&test, argc, argv);                                           \
    }

#endif
