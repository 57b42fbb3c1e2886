#include "toolkit/commandkeys.h"

#include <QAction>
#include <QKeyEvent>
#include <QWidget>

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
