// The windows a game master opens first, at the sizes of a first start on a
// 1600×1000 screen with the demonstration data: every button, header, label,
// tab title, placeholder and list entry shows its whole text.
#include <QAbstractItemView>
#include <QCheckBox>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QScrollBar>
#include <QSplitter>
#include <QStyle>
#include <QTabBar>
#include <QToolButton>
#include <QToolTip>

#include "app/program.h"
#include "editors/characterwindow.h"
#include "editors/managerwindow.h"
#include "encounter/effectevents.h"
#include "encounter/encounter.h"
#include "encounter/encounterevents.h"
#include "library/monsters.h"
#include "mainwindow/mainwindowtesting.h"
#include "support/testsupport.h"

namespace {

// The part of the widget's width that its ancestors leave visible; -1 when
// none of its height shows (scrolled away).
int shownWidth(const QWidget* widget)
{
    const QWidget* window = widget->window();
    QRect shown(widget->mapTo(window, QPoint(0, 0)), widget->size());
    for (const QWidget* above = widget->parentWidget(); above && above != window; above = above->parentWidget())
        shown &= QRect(above->mapTo(window, QPoint(0, 0)), above->size());
    return shown.height() > 0 ? shown.width() : -1;
}

// The width the widget needs for its whole text; 0 for a widget without one.
int neededWidth(const QWidget* widget)
{
    if (const auto* label = qobject_cast<const QLabel*>(widget))
        return label->text().isEmpty() ? 0 : label->minimumSizeHint().width();
    if (const auto* tool = qobject_cast<const QToolButton*>(widget)) {
        const bool iconOnly = tool->toolButtonStyle() == Qt::ToolButtonIconOnly
                              && (!tool->icon().isNull() || tool->arrowType() != Qt::NoArrow);
        return tool->text().isEmpty() || iconOnly ? 0 : tool->sizeHint().width();
    }
    if (const auto* check = qobject_cast<const QCheckBox*>(widget))
        return check->sizeHint().width();
    if (const auto* push = qobject_cast<const QPushButton*>(widget)) {
        // The push button's own hint has a least width of the style's.
        const QStyle* style = push->style();
        const int frame = style->pixelMetric(QStyle::PM_ButtonMargin) + 2 * style->pixelMetric(QStyle::PM_DefaultFrameWidth);
        const int icon = push->icon().isNull() ? 0 : push->iconSize().width() + 4;
        return push->fontMetrics().size(Qt::TextShowMnemonic, push->text()).width() + frame + icon;
    }
    if (const auto* edit = qobject_cast<const QLineEdit*>(widget)) {
        if (!edit->text().isEmpty() || edit->placeholderText().isEmpty())
            return 0;
        const int frame = 2 * edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth) + 4;
        return edit->fontMetrics().horizontalAdvance(edit->placeholderText()) + frame;
    }
    if (const auto* tabs = qobject_cast<const QTabBar*>(widget))
        return tabs->sizeHint().width();
    return 0;
}

QString describe(const QWidget* widget)
{
    QString text = widget->property("text").toString();
    if (const auto* edit = qobject_cast<const QLineEdit*>(widget))
        text = edit->placeholderText();
    return QString("%1 \"%2\"").arg(widget->metaObject()->className(), text.left(40));
}

// Header sections cut or pushed out of sight, entries cut or elided.
QStringList cutEntries(const QAbstractItemView* view)
{
    QStringList cut;
    if (const auto* header = qobject_cast<const QHeaderView*>(view)) {
        for (int section = 0; section < header->count(); ++section) {
            const QString text = header->model()->headerData(section, header->orientation()).toString();
            if (header->isSectionHidden(section) || text.isEmpty())
                continue;
            const int end = header->sectionViewportPosition(section) + header->sectionSize(section);
            if (header->sectionSize(section) < header->sectionSizeHint(section) || end > header->viewport()->width())
                cut << "header \"" + text + "\"";
        }
        return cut;
    }
    if (view->horizontalScrollBar()->isVisible())
        cut << QString("%1 scrolls sideways").arg(view->metaObject()->className());
    const QAbstractItemModel* model = view->model();
    for (int row = 0; model && row < model->rowCount(); ++row)
        for (int column = 0; column < model->columnCount(); ++column) {
            const QModelIndex index = model->index(row, column);
            const QString text = index.data().toString();
            const QRect place = view->visualRect(index);
            if (text.isEmpty() || !place.intersects(view->viewport()->rect()))
                continue;
            QStyleOptionViewItem option;
            option.initFrom(view);
            option.rect = place;
            option.decorationSize = view->iconSize().isValid() ? view->iconSize() : QSize(16, 16);
            if (view->property("wordWrap").toBool())
                option.features |= QStyleOptionViewItem::WrapText;
            const QSize needed = view->itemDelegateForIndex(index)->sizeHint(option, index);
            if (needed.height() > place.height() + 1 || needed.width() > place.width() + 1
                || place.right() > view->viewport()->width())
                cut << "entry \"" + text + "\"";
        }
    return cut;
}

QStringList cutTexts(QWidget* window)
{
    QStringList cut;
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        if (!widget->isVisible())
            continue;
        if (auto* view = qobject_cast<QAbstractItemView*>(widget))
            cut << cutEntries(view);
        if (auto* tabs = qobject_cast<QTabBar*>(widget))
            for (QAbstractButton* arrow : tabs->findChildren<QAbstractButton*>())
                if (arrow->isVisible())
                    cut << "tabs " + tabs->tabText(0) + " need scroll arrows";
        const int needed = neededWidth(widget);
        const int shown = shownWidth(widget);
        if (needed > 0 && shown >= 0 && needed > shown)
            cut << QString("%1 needs %2 pixels, shows %3").arg(describe(widget)).arg(needed).arg(shown);
    }
    return cut;
}

void settle()
{
    for (int round = 0; round < 3; ++round) {
        emit Global::switchBoard.doRefreshTimer();
        QApplication::processEvents();
    }
}

} // namespace

class TestFirstStartSizes : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        CreatureDisplay::setupStyles();
        QVERIFY(main.loadFolder());
        main.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(main.window));
        recordFight();
    }

    void everyTextShowsWhole_data()
    {
        QTest::addColumn<QString>("window");
        for (const char* window : {"main window", "monster manager", "character creator"})
            QTest::newRow(window) << QString(window);
    }

    void everyTextShowsWhole()
    {
        QFETCH(QString, window);
        QWidget* shown = open(window);
        QVERIFY(shown);
        settle();
        const QStringList cut = cutTexts(shown);
        QVERIFY2(cut.isEmpty(), qPrintable(cut.join("\n")));
    }

    // The history never scrolls sideways: a longer entry shows whole in its tooltip.
    void aLongHistoryEntryShowsInItsTooltip()
    {
        open("main window");
        auto* view = main.window->findChild<QListView*>("historyWidget");
        QVERIFY(view);
        QCOMPARE(view->horizontalScrollBar()->maximum(), 0);
        int tipped = 0;
        for (int row = 0; row < view->model()->rowCount(); row++) {
            const QModelIndex index = view->model()->index(row, 0);
            const QRect place = view->visualRect(index);
            if (!view->viewport()->rect().contains(place))
                continue;
            const QString text = index.data().toString();
            QHelpEvent help(QEvent::ToolTip, place.center(), view->viewport()->mapToGlobal(place.center()));
            QApplication::sendEvent(view->viewport(), &help);
            const bool whole = view->fontMetrics().horizontalAdvance(text) + view->iconSize().width() + 12 < place.width();
            if (!whole) {
                QCOMPARE(QToolTip::text(), text.toHtmlEscaped());
                tipped++;
            }
            QToolTip::hideText();
        }
        QVERIFY(tipped > 0);
    }

    void aToolButtonWidensToItsLaterText()
    {
        QWidget row;
        QToolButton* button = WindowsAndDialogs::toolButton("GO", 68, 20);
        row.setLayout(WindowsAndDialogs::hLayout(button));
        row.show();
        button->setText("Restart " + QKeySequence("Ctrl+G").toString(QKeySequence::NativeText));
        settle();
        QVERIFY(cutTexts(&row).isEmpty());
        QCOMPARE(button->height(), 20);
    }

private:
    // The demonstration party against goblins and a hound, a condition with a
    // long note on the one selected.
    void recordFight()
    {
        QStringList heroes{"Brannoc Ashfield", "Wren Talloway", "Idrel Vane", "Oriel Fenwhistle"};
        QList<Creature*> everyone;
        for (const QString& name : heroes)
            everyone << Global::characters->findCharacter(name);
        for (const QString& id : {"1", "2"})
            everyone << Global::monsters->getMonsterInstance("Mire Goblin Shank", id, true);
        Creature* hound = Global::monsters->getMonsterInstance("Ashen Hound", "1", true);
        everyone << hound;
        QVERIFY(!everyone.contains(nullptr));
        Global::encounter->setCreatureList(CreatureList(everyone));
        ObjectStream* stream = Global::history->getStream(false);
        QVERIFY(stream);
        const InitiativeList heroRolls{{"Brannoc Ashfield", 19, 4}, {"Wren Talloway", 15, 3}, {"Idrel Vane", 12, 2},
                                       {"Oriel Fenwhistle", 8, 1}};
        const InitiativeList monsterRolls{{"Mire Goblin Shank", 17, 2}, {"Ashen Hound", 10, 1}};
        QVERIFY(Global::history->apply(new StartEncounterEvent(heroRolls, monsterRolls, stream), false));
        EffectDetails burning;
        burning.origin = everyone.first();
        burning.type = CE::OnGoingDamage;
        burning.endCondition = CE::SaveEnds;
        burning.amount = 5;
        burning.comment = "burning oil";
        QVERIFY(Global::history->apply(new EffectEvent(burning, {hound}, Global::history->getStream(false)), false));
        Global::encounter->setSelectedCreatures({hound});
    }

    QWidget* open(const QString& window)
    {
        if (window == "main window")
            return main.window;
        if (window == "monster manager") {
            ManagerWindow* manager = Global::managerWindow;
            manager->show();
            auto* list = manager->findChild<MonsterView*>();
            const int row = Global::monsters->getTemplateIndex(Global::monsters->findTemplate("Pendulum Blade Trap"));
            list->setCurrentIndex(list->model()->index(row, 0));
            return manager;
        }
        CharacterWindow* creator = Global::characterWindow;
        creator->show();
        auto* list = creator->findChild<CharacterView*>();
        const int row = Global::characters->getCharacterIndex(Global::characters->findCharacter("Oriel Fenwhistle"));
        list->selectionModel()->select(list->model()->index(row, 0), QItemSelectionModel::ClearAndSelect);
        return creator;
    }

    WindowUnderTest main{QSize()};
};

int main(int argc, char** argv)
{
    TestSupport::isolateEnvironment();
    if (!Program::emulateScreen(QSize(1600, 1000), QDir::tempPath()))
        return 2;
    QApplication app(argc, argv);
    TestFirstStartSizes test;
    return TestSupport::runTests(&test, argc, argv);
}

#include "uitest_firststartsizes.moc"
