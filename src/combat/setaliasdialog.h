#ifndef SETALIASDIALOG_H
#define SETALIASDIALOG_H

#include <QDialog>
#include <QList>

#include "foundation/dogtag.h"

class Creature;
class QCheckBox;
class QLineEdit;
class QPushButton;

// Asks for an alias for one or more creatures, whether it shows, or that it
// goes. It changes nothing: the caller records what getNewAlias() hands back.
// The creatures are read while it is built; it keeps none of them.
class SetAliasDialog : public QDialog
{
    Q_OBJECT

public:
    enum Action { Undecided = 0, ShowAlias = 1, HideAlias = 2, RemoveAlias = 3 };

    explicit SetAliasDialog(const QList<Creature*>& creatures);

    // The text entered (also for RemoveAlias) and the action; decided at the
    // first call after OK, so that later calls answer the same.
    int getNewAlias(QString& alias);

    QLineEdit* getAliasEdit() const { return aliasEdit; }
    QCheckBox* getEnableCheck() const { return enableCheck; }
    QPushButton* getRemoveButton() const { return removeButton; }

public slots:
    void doRemoveClicked();

private:
    int action = Undecided;
    QLineEdit* aliasEdit;
    QCheckBox* enableCheck;
    QPushButton* removeButton;
    DogTag dogTag{__LINE__, __FILE__};
};

#endif
