#include "editors/doubleplaintextedit.h"

#include <QPlainTextEdit>

DoublePlainTextEdit::DoublePlainTextEdit()
{
    for (int pane = 0; pane < 2; pane++) {
        panes[pane] = new QPlainTextEdit;
        connect(panes[pane], &QPlainTextEdit::textChanged, this, [this, pane] { textChanged(pane); });
    }
    panes[1]->setVisible(false);
}

void DoublePlainTextEdit::setPlainText(const QString& text)
{
    panes[1 - shownPane]->setPlainText(text);
    panes[shownPane]->setVisible(false);
    shownPane = 1 - shownPane;
    panes[shownPane]->setVisible(true);
}

QString DoublePlainTextEdit::toPlainText() const
{
    return panes[shownPane]->document()->toPlainText();
}

void DoublePlainTextEdit::setEnabled(bool enabled)
{
    for (QPlainTextEdit* pane : panes)
        pane->setEnabled(enabled);
}

void DoublePlainTextEdit::setToolTip(const QString& tip)
{
    for (QPlainTextEdit* pane : panes)
        pane->setToolTip(tip);
}

void DoublePlainTextEdit::setFocus()
{
    panes[shownPane]->setFocus(Qt::OtherFocusReason);
}

void DoublePlainTextEdit::selectAll()
{
    panes[shownPane]->selectAll();
}

void DoublePlainTextEdit::textChanged(int pane)
{
    if (pane == shownPane)
        emit doTextChanged();
}
