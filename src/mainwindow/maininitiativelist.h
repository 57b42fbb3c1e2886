#ifndef MAININITIATIVELIST_H
#define MAININITIATIVELIST_H

#include <QTableView>

class QKeyEvent;

// The initiative table on the main window's first page. It takes no keys of
// its own yet and has nothing to refresh.
class MainInitiativeList : public QTableView
{
    Q_OBJECT

public:
    explicit MainInitiativeList(QWidget* parent = nullptr) : QTableView(parent) {}

    // True when the table used the key.
    bool handleKeyEvent(QKeyEvent*) { return false; }
    void setPauseUpdate(bool) {}
    void updateList() {}
};

#endif
