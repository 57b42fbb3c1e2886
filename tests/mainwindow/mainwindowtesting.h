#ifndef MAINWINDOWTESTING_H
#define MAINWINDOWTESTING_H

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QDockWidget>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QTimer>
#include <QToolBar>
#include <QtMath>

#include "combat/combattesting.h"
#include "encounter/vitalityevents.h"
#include "encounter/history.h"
#include "foundation/global.h"
#include "library/characters.h"
#include "mainwindow/maininitiativelist.h"
#include "mainwindow/mainwindow.h"
#include "support/cuttexts.h"
#include "toolkit/flatdialog.h"
#include "toolkit/inputwidgets.h"
#include "toolkit/progressbar.h"

// The main window as start-up makes it; the demonstration data folder is
// loaded on request. Its settings stay for the next window of the test.
class WindowUnderTest
{
public:
    // An empty size leaves the window at the size of a first start.
    explicit WindowUnderTest(QSize size = QSize(900, 600)) : size(size) { make(); }
    ~WindowUnderTest() { destroy(); }

    void make()
    {
        window = new MainWindow;
        if (!size.isEmpty())
            window->resize(size);
    }
    void destroy()
    {
        if (!window)
            return;
        window->shutdown();
        delete window;
        window = nullptr;
    }
    // A new window on the settings the old one saved.
    void restart()
    {
        destroy();
        make();
    }

    QString root() const { return dir.filePath("Ravelhorn Data"); }
    bool loadFolder()
    {
        if (!QDir(root()).exists()
            && !Global::copyDir(QDir(Global::getResourcePath()).filePath("demo-data"), dir.path(), "Ravelhorn Data"))
            return false;
        return Global::setRootPath(QDir::toNativeSeparators(root()), root());
    }

    // The hero whose hit points the recorded events change, in the encounter and selected.
    Creature* hero() const { return Global::characters->findCharacter("Brannoc Ashfield"); }
    bool record(int events)
    {
        Creature* ana = hero();
        Global::encounter->setCreatureList(CreatureList({ana}));
        Global::encounter->setSelectedCreatures({ana});
        for (int i = 0; i < events; i++) {
            ana->setCurrHitPoints(ana->getCurrHitPoints() - 1);
            if (!Global::history->apply(new SetVitalityEvent(ana->getVitality(), Global::history->getStream(false)), false))
                return false;
        }
        return true;
    }

    // Through the menu bar, as the game master finds it.
    QAction* action(const QString& text) const
    {
        for (QAction* menu : window->menuBar()->actions())
            if (menu->menu())
                for (QAction* entry : menu->menu()->actions())
                    if (entry->text() == text)
                        return entry;
        qFatal("no action %s", qPrintable(text));
    }
    QDockWidget* dock(const QString& name) const { return window->findChild<QDockWidget*>(name); }
    QToolBar* bar(const QString& name) const { return window->findChild<QToolBar*>(name); }
    QSpinBox* hitPointBox() const { return bar("actionToolBar")->findChild<QSpinBox*>(); }

    MainWindow* window = nullptr;

private:
    QTemporaryDir dir;
    QSize size;
};

// Answers the modal boxes that open while it lives: records each one's
// title and texts, then presses its accept button or Cancel.
class BoxAnswerer : public CombatTesting::PromptAnswerer
{
public:
    explicit BoxAnswerer(bool accept)
    {
        otherwise = [this, accept](QDialog* box) {
            for (QLabel* label : box->findChildren<QLabel*>())
                texts.append(label->text());
            auto* buttons = box->findChild<QDialogButtonBox*>();
            QAbstractButton* button =
                buttons ? buttons->button(accept ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel) : nullptr;
            if (button)
                button->click();
            else
                box->reject();
        };
    }

    QStringList texts;
};

// An empty panel with OK and Cancel, as the combat dialogs build theirs.
class TestPanel : public FlatDialog
{
public:
    TestPanel()
    {
        setWindowTitle("Test Panel");
        auto* buttons = new DialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, Qt::Horizontal);
        connect(buttons, &QDialogButtonBox::accepted, this, &FlatDialog::accept);
        connect(buttons, &QDialogButtonBox::rejected, this, &FlatDialog::reject);
        setLayout(vLayout(false, false, new QLabel("A panel"), buttons));
    }
};

inline QString withoutTags(const QString& html)
{
    return QString(html).remove(QRegularExpression("<[^>]*>"));
}

// The names of the initiative table that would not show whole in bold, as
// the current creature's does, and the health figures that reach into their
// bar's outline: the bar is drawn 5 pixels in from its cell, its outline a
// pixel wide.
inline QStringList cutNamesAndFigures(const MainInitiativeList* table)
{
    QStringList cut;
    for (int row = 0; row < table->rowCount(); row++) {
        const auto* name = qobject_cast<const QLabel*>(table->cellWidget(row, MainInitiativeList::NameColumn));
        QTextDocument bold;
        bold.setDefaultFont(name->font());
        bold.setDocumentMargin(0);
        bold.setHtml("<b>" + withoutTags(name->text()) + "</b>");
        if (qCeil(bold.idealWidth()) > labelTextRoom(name).width())
            cut << "name in bold: " + withoutTags(name->text());
        const auto* bar = qobject_cast<const ProgressBarWidget*>(table->cellWidget(row, MainInitiativeList::HealthColumn));
        if (bar->fontMetrics().horizontalAdvance(bar->getText()) > bar->width() - 2 * 5 - 2 * 1)
            cut << "health figure: " + bar->getText();
    }
    return cut;
}

#endif
