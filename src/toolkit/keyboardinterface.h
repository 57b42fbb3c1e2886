#ifndef KEYBOARDINTERFACE_H
#define KEYBOARDINTERFACE_H

#include <Qt>

// The editor that owns an input widget sees each key first; true means it used it.
class KeyboardInterface
{
public:
    virtual ~KeyboardInterface() = default;
    virtual bool keyPressed(int key, Qt::KeyboardModifiers modifiers) = 0;
    // The owner's own commands, which it takes before the input that has the focus.
    virtual bool commandKeyPressed(int, Qt::KeyboardModifiers) { return false; }
};

#endif
