#ifndef PROGRESS_H
#define PROGRESS_H

#include <QString>

// The progress of a long load as the model reports it. Headless it only
// counts and is never cancelled; the ui shows a progress dialog.
class Progress
{
public:
    virtual ~Progress() = default;
    virtual void setLabelText(const QString& text) { label = text; }
    virtual void setRange(int low, int high) { minimum = low; maximum = high; }
    virtual void setValue(int value) { current = value; }
    virtual int value() const { return current; }
    virtual bool wasCanceled() const { return false; }
    virtual void setCancelEnabled(bool) {}
    void advance() { setValue(value() + 1); }
    QString labelText() const { return label; }

protected:
    QString label;
    int minimum = 0;
    int maximum = 0;
    int current = 0;
};

#endif
