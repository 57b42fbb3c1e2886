#ifndef CREATORTESTING_H
#define CREATORTESTING_H

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

#include "editors/characterdetails.h"
#include "editors/characterwindow.h"
#include "foundation/global.h"
#include "library/characters.h"

// The character creator as the game master meets it: its list, tabs, boxes
// and buttons found by what they show.
class Creator
{
public:
    explicit Creator(CharacterWindow* window) : window(window) {}

    CharacterView* view() const { return window->findChild<CharacterView*>(); }
    CharacterDetails* details() const { return window->findChild<CharacterDetails*>(); }
    CharacterImports* imports() const { return window->findChild<CharacterImports*>(); }
    QPlainTextEdit* pane() const { return window->findChild<QPlainTextEdit*>(); }
    QTabWidget* tabs() const { return window->findChild<QTabWidget*>(); }
    QSpinBox* box(const QString& heading) const { return details()->getNumberBox(heading); }
    QLineEdit* nameEdit() const { return details()->getNameEdit(); }
    QLineEdit* filterEdit() const
    {
        for (QLineEdit* edit : window->findChildren<QLineEdit*>())
            if (edit->placeholderText() == "Enter filter text")
                return edit;
        return nullptr;
    }
    QCheckBox* writeable() const
    {
        for (QCheckBox* check : window->findChildren<QCheckBox*>())
            if (check->text() == "Stat block writeable")
                return check;
        return nullptr;
    }
    QToolButton* button(const QString& text) const
    {
        for (QToolButton* button : window->findChildren<QToolButton*>())
            if (button->text() == text)
                return button;
        qFatal("no button %s", qPrintable(text));
    }

    // Clicks the character's row.
    bool select(const QString& name) const
    {
        Creature* character = Global::characters->findCharacter(name);
        const int row = Global::characters->getCharacterIndex(character);
        const QModelIndex index = view()->model()->index(row, 0);
        view()->scrollTo(index);
        QTest::mouseClick(view()->viewport(), Qt::LeftButton, {}, view()->visualRect(index).center());
        return selected() == character;
    }
    Creature* selected() const
    {
        const QModelIndexList rows = view()->selectionModel()->selectedIndexes();
        return rows.isEmpty() ? nullptr : Global::characters->getCharacter(rows.first().row());
    }
    // What the list shows of the character, "*" included.
    QString row(Creature* character) const
    {
        return view()->model()->index(Global::characters->getCharacterIndex(character), 0).data().toString();
    }
    QStringList rows() const
    {
        QStringList shown;
        for (int row = 0; row < view()->model()->rowCount(); row++)
            if (!view()->isRowHidden(row))
                shown.append(view()->model()->index(row, 0).data().toString());
        return shown;
    }
    // Types the number into the box as the user does: all selected, then the digits.
    static void type(QSpinBox* box, int value)
    {
        box->setFocus();
        box->selectAll();
        QTest::keyClicks(box, QString::number(value));
    }
    static void type(QLineEdit* edit, const QString& text)
    {
        edit->selectAll();
        QTest::keyClicks(edit, text);
    }
    static QStringList items(QComboBox* box)
    {
        QStringList texts;
        for (int i = 0; i < box->count(); i++)
            texts.append(box->itemText(i));
        return texts;
    }

    CharacterWindow* window;
};

#endif
