#ifndef FLATDIALOG_H
#define FLATDIALOG_H

#include <QPointer>
#include <QWidget>

#include "foundation/dogtag.h"
#include "toolkit/keyboardinterface.h"
#include "toolkit/windowsanddialogs.h"

#include <QAbstractButton>
class QEventLoop;
class QLabel;
class QToolButton;

// A modal panel shown inside the panel host (the main window, in place of the
// initiative table), run in an event loop of its own. Panels live on the
// stack; their content is a separate widget that the host shows and disposes
// of. Without a host the content is shown as a window of its own.
class FlatDialog : public QWidget, public WindowsAndDialogs, public KeyboardInterface
{
    Q_OBJECT

public:
    explicit FlatDialog(QWidget* parent = nullptr);
    ~FlatDialog() override;

    virtual void setupDialogTitle(QLabel* title);
    virtual void setupDialogButton(QToolButton* button);
    virtual QWidget* getWidget();
    virtual bool getAdjustHeight();
    // Gives the focus to the first child of the content that takes it.
    virtual void setDefaultFocus(QWidget* widget);
    // The code given to done(); 0 at once when another panel runs in the host.
    virtual int exec();
    // The panel's command keys; then Escape rejects, and Return presses the
    // default button while it is enabled, or accepts a panel that has none.
    bool keyPressed(int key, Qt::KeyboardModifiers modifiers) override;
    // The content: the layout centred between two stretches in a widget of its own.
    virtual void setLayout(QLayout* layout);

    // The button Return presses; without one, the OK of the content's button box.
    void setDefaultButton(QAbstractButton* button) { defaultButton = button; }
    QAbstractButton* getDefaultButton() const;

protected:
    // The content: the layout filling the whole width, as lists want it.
    void setWideLayout(QLayout* layout);

public slots:
    virtual void accept();
    virtual void done(int code);
    virtual void reject();
    void onCancel();

private:
    void setContent(QLayout* layout);
    void showOnItsOwn(QWidget* widget, bool show);

    QPointer<QWidget> content;
    QPointer<QAbstractButton> defaultButton;
    QEventLoop* loop = nullptr;
    int result = 0;
    DogTag dogTag{__LINE__, __FILE__};
};

#endif
