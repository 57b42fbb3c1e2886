#ifndef DOUBLEPLAINTEXTEDIT_H
#define DOUBLEPLAINTEXTEDIT_H

#include <QObject>
#include <QString>

class QPlainTextEdit;

// A stat-block editor made of two panes in the same place, one visible. A new
// text goes into the hidden pane and the two trade places, so the visible
// pane changes only under the user's hands: every doTextChanged is an edit
// of his. The panes belong to the window whose layout holds them.
class DoublePlainTextEdit : public QObject
{
    Q_OBJECT

public:
    DoublePlainTextEdit();

    QPlainTextEdit* getTextEdit1() const { return panes[0]; }
    QPlainTextEdit* getTextEdit2() const { return panes[1]; }
    void setPlainText(const QString& text);
    QString toPlainText() const;
    void setEnabled(bool enabled);
    void setToolTip(const QString& tip);
    void setFocus();
    void selectAll();

signals:
    void doTextChanged();

private:
    void textChanged(int pane);

    int shownPane = 0;
    QPlainTextEdit* panes[2];
};

#endif
