#ifndef COMMANDKEYS_H
#define COMMANDKEYS_H

#include <QObject>
#include <QPointer>

class KeyboardInterface;
class QWidget;

// Gives the keys of a window's commands to the commands while an input of
// the window has the focus: a spin box takes Ctrl+Z, Ctrl+A or Ctrl+X as its
// own undo, select-all and cut, and the command of those keys would never run.
class CommandKeysFirst : public QObject
{
    Q_OBJECT

public:
    // The commands are the window's own actions; the filter lives as long as the input.
    static void install(QWidget* input, const QWidget* window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    CommandKeysFirst(QWidget* input, const QWidget* window);

    const QWidget* window;
};

// Gives a running panel its command keys pressed in the window that shows
// it before the input that has the focus: a combo box would take Ctrl+G as
// the start of an entry's name, and the panel would never see it. Every
// other key goes to the input first, and to the panel only when neither the
// input nor the window's widgets above it took it. Lives as long as the
// panel runs.
class PanelKeysFirst : public QObject
{
    Q_OBJECT

public:
    PanelKeysFirst(KeyboardInterface* panel, const QWidget* window);
    ~PanelKeysFirst() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    KeyboardInterface* panel;
    // A rebuild of a panel shown on its own deletes its window.
    QPointer<const QWidget> window;
};

#endif
