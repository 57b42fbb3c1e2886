#include "toolkit/commandkeys.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

#include "toolkit/keyboardinterface.h"

CommandKeysFirst::CommandKeysFirst(QWidget* input, const QWidget* window) : QObject(input), window(window) {}

void CommandKeysFirst::install(QWidget* input, const QWidget* window)
{
    input->installEventFilter(new CommandKeysFirst(input, window));
}

bool CommandKeysFirst::eventFilter(QObject*, QEvent* event)
{
    if (event->type() != QEvent::ShortcutOverride)
        return false;
    const QKeySequence pressed(static_cast<QKeyEvent*>(event)->keyCombination());
    for (const QAction* action : window->findChildren<QAction*>(Qt::FindDirectChildrenOnly))
        if (action->isEnabled() && action->shortcuts().contains(pressed)) {
            // Not taken by the input: the shortcut runs.
            event->ignore();
            return true;
        }
    return false;
}

PanelKeysFirst::PanelKeysFirst(KeyboardInterface* panel, const QWidget* window) : panel(panel), window(window)
{
    qApp->installEventFilter(this);
}

PanelKeysFirst::~PanelKeysFirst()
{
    qApp->removeEventFilter(this);
}

bool PanelKeysFirst::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress || !window)
        return false;
    // Asked at each widget the key passes on its way up from the input: a
    // key the panel leaves goes on as it came. A dialog opened from the
    // panel is a window of its own and keeps its keys.
    const auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != window)
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (widget == window)
        return panel->keyPressed(key->key(), key->modifiers());
    return panel->commandKeyPressed(key->key(), key->modifiers());
}
