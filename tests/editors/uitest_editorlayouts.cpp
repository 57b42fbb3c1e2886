// The monster manager and the character creator at the size they open at on
// a 1280×800 screen: every text shows whole where the layout put it, each
// measured with its widget's font against the rectangle it really got.
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSplitter>
#include <QStyle>
#include <QStyleOption>
#include <QTabBar>
#include <QTabWidget>
#include <QTextDocument>
#include <QToolButton>
#include <QTreeView>

#include "app/program.h"
#include "creature/creature.h"
#include "editors/characterwindow.h"
#include "editors/managerwindow.h"
#include "encounter/encounter.h"
#include "library/characters.h"
#include "library/encounterdata.h"
#include "library/encounters.h"
#include "library/monsters.h"
#include "mainwindow/mainwindowtesting.h"
#include "support/testsupport.h"

namespace {

// The part of the widget that its ancestors leave in sight, in its own coordinates.
QRect shownRect(const QWidget* widget)
{
    QRect shown = widget->rect();
    for (const QWidget* above = widget; !above->isWindow(); ) {
        above = above->parentWidget();
        shown &= QRect(widget->mapFrom(above, QPoint(0, 0)), above->size());
    }
    return shown;
}

int textWidth(const QWidget* widget, const QString& text)
{
    return widget->fontMetrics().size(Qt::TextShowMnemonic, text).width();
}

int labelTextWidth(const QLabel* label)
{
    const bool rich = label->textFormat() == Qt::RichText
                      || (label->textFormat() == Qt::AutoText && Qt::mightBeRichText(label->text()));
    if (!rich)
        return textWidth(label, label->text());
    QTextDocument document;
    document.setDocumentMargin(0);
    document.setDefaultFont(label->font());
    document.setHtml(label->text());
    return qCeil(document.idealWidth());
}

// The width the widget's text needs and the part of its contents rectangle
// in sight that holds it; a needed width of 0 for a widget without a text.
QPair<int, QRect> textAndRoom(QWidget* widget)
{
    QStyle* style = widget->style();
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        if (label->text().isEmpty() || label->wordWrap())
            return {0, {}};
        const int inset = label->margin() + qMax(0, label->indent());
        return {labelTextWidth(label), label->contentsRect().adjusted(inset, 0, -inset, 0)};
    }
    if (auto* push = qobject_cast<QPushButton*>(widget)) {
        QStyleOptionButton option;
        option.initFrom(push);
        option.text = push->text();
        const int icon = push->icon().isNull() ? 0 : push->iconSize().width() + 4;
        return {textWidth(push, push->text()) + icon, style->subElementRect(QStyle::SE_PushButtonContents, &option, push)};
    }
    if (auto* check = qobject_cast<QCheckBox*>(widget)) {
        QStyleOptionButton option;
        option.initFrom(check);
        option.text = check->text();
        return {textWidth(check, check->text()), style->subElementRect(QStyle::SE_CheckBoxContents, &option, check)};
    }
    if (auto* tool = qobject_cast<QToolButton*>(widget)) {
        const bool marked = !tool->icon().isNull() || tool->arrowType() != Qt::NoArrow;
        if (tool->text().isEmpty() || (marked && tool->toolButtonStyle() == Qt::ToolButtonIconOnly))
            return {0, {}};
        QStyleOptionToolButton option;
        option.initFrom(tool);
        const int frame = style->sizeFromContents(QStyle::CT_ToolButton, &option, QSize(0, 0), tool).width();
        const int mark = marked ? tool->iconSize().width() + 4 : 0;
        return {textWidth(tool, tool->text()) + mark, tool->rect().adjusted(frame / 2, 0, -(frame - frame / 2), 0)};
    }
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        QStyleOptionFrame option;
        option.initFrom(edit);
        option.lineWidth = edit->hasFrame() ? style->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, edit) : 0;
        const QMargins margins = edit->textMargins() + QMargins(2, 0, 2, 0);
        // Typed text scrolls in its field; a spin box's figure or a combo's choice shows whole.
        const bool chosen = qobject_cast<QAbstractSpinBox*>(edit->parentWidget())
                            || qobject_cast<QComboBox*>(edit->parentWidget());
        const QString text = edit->text().isEmpty() ? edit->placeholderText() : chosen ? edit->text() : QString();
        return {textWidth(edit, text), style->subElementRect(QStyle::SE_LineEditContents, &option, edit) - margins};
    }
    if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        // An editable box shows its text in its line edit.
        if (combo->isEditable())
            return {0, {}};
        QStyleOptionComboBox option;
        option.initFrom(combo);
        option.currentText = combo->currentText();
        return {textWidth(combo, combo->currentText()),
                style->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, combo)};
    }
    if (auto* box = qobject_cast<QGroupBox*>(widget))
        return {textWidth(box, box->title()), box->rect()};
    return {0, {}};
}

QString describe(const QWidget* widget)
{
    QString text = widget->property("text").toString();
    if (const auto* box = qobject_cast<const QGroupBox*>(widget))
        text = box->title();
    if (const auto* combo = qobject_cast<const QComboBox*>(widget))
        text = combo->currentText();
    if (const auto* edit = qobject_cast<const QLineEdit*>(widget); edit && text.isEmpty())
        text = edit->placeholderText();
    return QString("%1 \"%2\"").arg(widget->metaObject()->className(), text.left(40));
}

// Entries of a list or tree cut at the viewport's edge, or reached only by scrolling sideways.
QStringList cutEntries(const QAbstractItemView* view)
{
    QStringList cut;
    if (view->horizontalScrollBar()->isVisible())
        cut << QString("%1 scrolls sideways").arg(view->metaObject()->className());
    QList<QModelIndex> parents{QModelIndex()};
    while (!parents.isEmpty()) {
        const QModelIndex parent = parents.takeFirst();
        for (int row = 0; row < view->model()->rowCount(parent); ++row) {
            const QModelIndex index = view->model()->index(row, 0, parent);
            const QRect place = view->visualRect(index);
            if (auto* tree = qobject_cast<const QTreeView*>(view); tree && tree->isExpanded(index))
                parents << index;
            if (!place.intersects(view->viewport()->rect()))
                continue;
            QStyleOptionViewItem option;
            option.initFrom(view);
            option.rect = place;
            const int needed = view->itemDelegateForIndex(index)->sizeHint(option, index).width();
            if (place.left() + needed > view->viewport()->width() + 1)
                cut << "entry \"" + index.data().toString() + "\"";
        }
    }
    return cut;
}

// Every text in sight in the window that is cut, and every widget that runs out of its frame.
QStringList cutTexts(QWidget* window)
{
    QStringList cut;
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        if (!widget->isVisible() || shownRect(widget).isEmpty())
            continue;
        QWidget* parent = widget->parentWidget();
        if (parent->layout() && parent->layout()->indexOf(widget) >= 0
            && !parent->contentsRect().contains(widget->geometry()))
            cut << describe(widget) + " runs out of its frame";
        if (auto* view = qobject_cast<QAbstractItemView*>(widget); view && view->model())
            cut << cutEntries(view);
        if (auto* tabs = qobject_cast<QTabBar*>(widget)) {
            for (int tab = 0; tab < tabs->count(); ++tab) {
                const int needed = textWidth(tabs, tabs->tabText(tab))
                                   + tabs->style()->pixelMetric(QStyle::PM_TabBarTabHSpace, nullptr, tabs);
                const QRect room = tabs->tabRect(tab) & shownRect(tabs);
                if (room.width() < needed)
                    cut << "tab \"" + tabs->tabText(tab) + "\"";
            }
        }
        const auto [needed, room] = textAndRoom(widget);
        const int shown = (room & shownRect(widget)).width();
        if (needed > shown)
            cut << QString("%1 needs %2 pixels, shows %3").arg(describe(widget)).arg(needed).arg(shown);
    }
    return cut;
}

} // namespace

class TestEditorLayouts : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(main.loadFolder()); }

    void everyTextShowsWhole_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("tab");
        for (const char* tab : {"Edit", "View", "Import"})
            QTest::newRow(qPrintable(QString("manager, ") + tab)) << "manager" << tab;
        for (const char* tab : {"Stat Block Text", "Edit Details", "Import Changes"})
            QTest::newRow(qPrintable(QString("creator, ") + tab)) << "creator" << tab;
    }

    // Whichever entry of its list is selected, the longest names marked
    // unsaved, the window at its first-start size keeps its panes' widths.
    void everyTextShowsWhole()
    {
        QFETCH(QString, window);
        QFETCH(QString, tab);
        QWidget* shown = window == "manager" ? static_cast<QWidget*>(Global::managerWindow) : Global::characterWindow;
        shown->show();
        QVERIFY(QTest::qWaitForWindowExposed(shown));
        const QRect screen = shown->screen()->availableGeometry();
        QVERIFY(shown->width() <= screen.width() && shown->height() <= screen.height());
        auto* tabs = shown->findChild<QTabWidget*>();
        for (int index = 0; index < tabs->count(); ++index)
            if (tabs->tabText(index) == tab)
                tabs->setCurrentIndex(index);
        QCOMPARE(tabs->tabText(tabs->currentIndex()), tab);
        Global::monsters->findTemplate("Pendulum Blade Trap")->setDirty(true);
        Global::characters->findCharacter("Oriel Fenwhistle")->setDirty(true);
        Global::encounters->getEncounter(0)->setDirty(true);
        auto* tree = Global::managerWindow->findChild<EncounterView*>();
        tree->expandAll();
        select(tree, 0);
        auto* list = shown->findChild<NameListView*>();
        auto* splitter = shown->findChild<QSplitter*>();
        QList<int> widths;
        for (int row = 0; row < list->model()->rowCount(); ++row) {
            select(list, row);
            // The displays redraw at the tick of the main window's timer.
            emit Global::switchBoard.doRefreshTimer();
            QApplication::processEvents();
            if (widths.isEmpty())
                widths = splitter->sizes();
            QCOMPARE(splitter->sizes(), widths);
            const QStringList cut = cutTexts(shown);
            QVERIFY2(cut.isEmpty(), qPrintable(list->model()->index(row, 0).data().toString() + ":\n" + cut.join("\n")));
        }
        shown->hide();
    }

private:
    static void select(QAbstractItemView* view, int row)
    {
        view->selectionModel()->select(view->model()->index(row, 0), QItemSelectionModel::ClearAndSelect);
    }

    WindowUnderTest main{QSize()};
};

int main(int argc, char** argv)
{
    TestSupport::isolateEnvironment();
    if (!Program::emulateScreen(QSize(1280, 800), QDir::tempPath()))
        return 2;
    QApplication app(argc, argv);
    TestEditorLayouts test;
    return TestSupport::runTests(&test, argc, argv);
}

#include "uitest_editorlayouts.moc"
