#include <QApplication>
#include <QDirIterator>
#include <QLineEdit>
#include <QPainter>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSet>
#include <QSignalSpy>
#include <QTextEdit>
#include <QStyle>
#include <QTest>
#include <QToolButton>

#include <functional>

#include "powers/power.h"
#include "support/cuttexts.h"
#include "support/testsupport.h"
#include "toolkit/dynamicwidgets.h"
#include "toolkit/inputwidgets.h"
#include "toolkit/keyboardinterface.h"
#include "toolkit/progressbar.h"
#include "toolkit/scrollandtabs.h"
#include "toolkit/windowsanddialogs.h"
#include "toolkit/wrappinglayout.h"

namespace {

class KeyRecorder : public KeyboardInterface
{
public:
    bool keyPressed(int key, Qt::KeyboardModifiers) override
    {
        keys << key;
        return key == Qt::Key_Plus;
    }
    QList<int> keys;
};

// A page that asks for at least this size.
QWidget* sized(int width, int height)
{
    auto* inner = new QWidget;
    inner->setMinimumSize(width, height);
    return WindowsAndDialogs::layoutToWidget(WindowsAndDialogs::vLayout(false, false, inner));
}

}

class TestWidgets : public QObject
{
    Q_OBJECT

private slots:
    void disableComboBoxKeepsEntriesButMarksThem()
    {
        KeyRecorder owner;
        DisableComboBox box(&owner);
        box.addItem("none");
        box.addItem("one", 10);
        box.addItem("two", 20);
        QVERIFY(box.setCurrentUserValue(20));
        QVERIFY(!box.setCurrentUserValue(30));
        QCOMPARE(box.getCurrentUserValue(), 20);
        box.setUserValueEnabled(20, false);
        QVERIFY(!box.isUserValueEnabled(20));
        QCOMPARE(box.itemData(2, Qt::ForegroundRole).value<QColor>(), QColor("grey"));
        QCOMPARE(box.currentIndex(), 2);
        box.setIndexEnabled(2, true);
        QCOMPARE(box.currentIndex(), 0);
        QCOMPARE(box.getCurrentUserValue(), 0);
        QTest::keyClick(&box, Qt::Key_Plus);
        QTest::keyClick(&box, Qt::Key_Down);
        QCOMPARE(owner.keys, QList<int>({Qt::Key_Plus, Qt::Key_Down}));
        QCOMPARE(box.currentIndex(), 1);
    }

    void scalingTabWidgetNeverShrinks()
    {
        ScalingTabWidget tabs;
        QCOMPARE(tabs.sizeHint().height(), 200);
        tabs.addTab(sized(300, 410), "big");
        const QSize big = tabs.sizeHint();
        QVERIFY(big.width() >= 300);
        QCOMPARE((big.height() - 50) % 25, 0);
        QVERIFY(big.height() > 410 && big.height() <= 410 + 100);
        delete tabs.widget(0);
        tabs.addTab(sized(10, 10), "small");
        QCOMPARE(tabs.sizeHint(), big);
    }

    void tabHandlerSkipsHiddenAndDisabledWidgets()
    {
        QWidget panel;
        QLineEdit first(&panel), hidden(&panel), disabled(&panel), last(&panel);
        TabHandler order;
        for (QLineEdit* edit : {&first, &hidden, &disabled, &last})
            order.addWidget(edit);
        panel.show();
        hidden.hide();
        disabled.setEnabled(false);
        QApplication::setActiveWindow(&panel);
        first.setFocus();
        QTest::keyClick(&first, Qt::Key_Tab);
        QVERIFY(last.hasFocus());
        QTest::keyClick(&last, Qt::Key_Tab);
        QVERIFY(first.hasFocus());
        QTest::keyClick(&first, Qt::Key_Backtab);
        QVERIFY(last.hasFocus());
    }

    // With adjustHeight the content fits the viewport and does not scroll up
    // and down while its least height fits: its own lists scroll instead;
    // shorter, it keeps its least height and scrolls, nothing squeezed.
    // Without, it takes its height for its width and the area scrolls.
    void resizableScrollAreaFitsTheViewport()
    {
        auto* row = new WrappingLayout(WrappingLayout::EqualWidths, 4);
        row->setContentsMargins(0, 0, 0, 0);
        for (const char* text : {"Add Damage", "Add Condition", "Bonus/Penalty", "End Condition"})
            row->addWidget(WindowsAndDialogs::toolButton(text, text, QString()));
        QWidget* buttons = WindowsAndDialogs::layoutToWidget(row);
        QWidget* content =
                WindowsAndDialogs::layoutToWidget(WindowsAndDialogs::vLayout(false, false, buttons, new QTextEdit));
        ResizableScrollArea area(true, false);
        area.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        area.setWidget(content);
        for (const int width : {600, 150}) {
            area.resize(width, 150);
            area.show();
            QVERIFY(QTest::qWaitForWindowExposed(&area));
            const bool tooShort = width == 150;
            const int bar = tooShort ? area.verticalScrollBar()->sizeHint().width() : 0;
            QTRY_COMPARE(content->width(), area.maximumViewportSize().width() - bar);
            QVERIFY(content->sizeHint().height() > area.viewport()->height());
            const int least = ResizableScrollArea::leastHeight(content, content->width());
            QCOMPARE(least > area.viewport()->height(), tooShort);
            QCOMPARE(content->height(), tooShort ? least : area.viewport()->height());
            QTRY_COMPARE(area.verticalScrollBar()->isVisible(), tooShort);
        }
        area.setAdjustHeight(false);
        QTRY_VERIFY(area.verticalScrollBar()->isVisible());
        QCOMPARE(content->width(), area.maximumViewportSize().width() - area.verticalScrollBar()->sizeHint().width());
        QCOMPARE(content->height(), content->heightForWidth(content->width()));
    }

    void wrappingLayoutKeepsEveryTextWhole_data()
    {
        QTest::addColumn<int>("cells");
        QTest::addColumn<int>("maxColumns");
        QTest::addColumn<int>("widestRows");
        QTest::newRow("a grid of equal cells, four at most") << int(WrappingLayout::EqualWidths) << 4 << 2;
        QTest::newRow("each as wide as it asks") << int(WrappingLayout::OwnWidths) << 0 << 1;
    }

    // From wide to as narrow as it allows, every text has its room, no two
    // buttons meet, the rows take the height asked, and they only grow.
    void wrappingLayoutKeepsEveryTextWhole()
    {
        QFETCH(int, cells);
        QFETCH(int, maxColumns);
        QFETCH(int, widestRows);
        QWidget panel;
        auto* layout = new WrappingLayout(WrappingLayout::Cells(cells), maxColumns);
        panel.setLayout(layout);
        QList<QToolButton*> buttons;
        for (const char* text : {"Add Damage", "Add Condition", "Damage/Regeneration", "Bonus/Penalty", "Add Healing",
                 "Resist/Vulnerable", "Use Resource", "End Condition"}) {
            buttons << WindowsAndDialogs::toolButton(text, text, "Ctrl+Shift+F12");
            layout->addWidget(buttons.last());
        }
        panel.show();
        const int least = layout->minimumSize().width();
        int lastRows = 0;
        for (int width : {2000, 900, 700, 500, 400, 300, least}) {
            width = qMax(width, least);
            panel.resize(width, panel.heightForWidth(width));
            layout->activate();
            const QStringList cut = cutTexts(&panel);
            QVERIFY2(cut.isEmpty(), qPrintable(cut.join("; ")));
            QSet<int> tops;
            int bottom = 0;
            for (QToolButton* button : buttons) {
                tops << button->y();
                bottom = qMax(bottom, button->geometry().bottom() + 1);
                QVERIFY(panel.rect().contains(button->geometry()));
                for (QToolButton* other : buttons)
                    QVERIFY(other == button || !other->geometry().intersects(button->geometry()));
            }
            QCOMPARE(bottom + layout->contentsMargins().bottom(), panel.height());
            QVERIFY2(int(tops.size()) >= lastRows, qPrintable(QString::number(width)));
            lastRows = tops.size();
            if (width == 2000)
                QCOMPARE(lastRows, widestRows);
        }
        QCOMPARE(lastRows, int(buttons.size()));
    }

    // Whatever changes a label's text or look, the remembered heights follow it:
    // a measured label and a plain one, changed alike, ask for the same heights.
    void measuredLabelHeightsFollowEveryChange()
    {
        const QString longText = "<b>Storm of Blades</b> strikes every creature in a close burst 3; "
                                 "those hit are dazed until the end of the storm's next turn";
        QWidget root;
        root.setStyleSheet("QLabel[big=\"true\"] { font-size: 20pt; }");
        MeasuredLabel measured(&root);
        QLabel plain(&root);
        const QList<std::function<void(QLabel*)>> changes{
            [&](QLabel* label) { label->setText(longText); },
            [&](QLabel* label) { label->setWordWrap(true); },
            [&](QLabel* label) { label->setText(longText + longText); },
            [&](QLabel* label) { label->setContentsMargins(20, 0, 20, 0); },
            [&](QLabel* label) { label->setMargin(9); },
            [&](QLabel* label) { label->setTextFormat(Qt::PlainText); },
            [&](QLabel* label) {
                QFont font = label->font();
                font.setPointSize(font.pointSize() + 6);
                label->setFont(font);
            },
            [&](QLabel* label) {
                label->setProperty("big", true);
                label->style()->unpolish(label);
                label->style()->polish(label);
            },
            [&](QLabel* label) { label->setText("Ana"); },
        };
        for (const auto& change : changes) {
            change(&measured);
            change(&plain);
            for (int width : {60, 240, 60, 500, 240})
                QCOMPARE(measured.heightForWidth(width), plain.heightForWidth(width));
        }
    }

    // The click comes after the mouse event: its slot may delete the widget.
    void dynamicWidgetsClickQueuedAndShowHover_data()
    {
        QTest::addColumn<bool>("frame");
        QTest::newRow("label shows its hover text") << false;
        QTest::newRow("frame shows its child") << true;
    }

    void dynamicWidgetsClickQueuedAndShowHover()
    {
        QFETCH(bool, frame);
        QWidget* widget = nullptr;
        std::function<QString()> shown;
        if (frame) {
            auto* child = new QLabel("edit");
            auto* dynamic = new DynamicFrame(child, 7);
            dynamic->setLayout(WindowsAndDialogs::hLayout(child));
            child->hide();
            widget = dynamic;
            shown = [child] { return QString(child->isVisible() ? "<i>edit</i>" : "<b>Ana</b>"); };
        } else {
            auto* label = WindowsAndDialogs::dynamicHtmlLabel("<b>Ana</b>", "<i>edit</i>", 7);
            widget = label;
            shown = [label] { return label->text(); };
        }
        QSignalSpy clicks(widget, SIGNAL(clicked(int)));
        connect(widget, SIGNAL(clicked(int)), widget, SLOT(deleteLater()));
        QPointer<QWidget> alive(widget);
        widget->show();
        QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
        QApplication::sendEvent(widget, &enter);
        QCOMPARE(shown(), QString("<i>edit</i>"));
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(widget, &leave);
        QCOMPARE(shown(), QString("<b>Ana</b>"));
        QTest::mouseClick(widget, Qt::LeftButton);
        QCOMPARE(clicks.size(), 0);
        QVERIFY(clicks.wait(1000));
        QCOMPARE(clicks.first().first().toInt(), 7);
        QTRY_VERIFY(!alive);
    }

    // Points along the middle row of a 200 by 20 bar, as fractions of its width.
    void progressBarPaintsTheHealth_data()
    {
        QTest::addColumn<int>("percent");
        QTest::addColumn<bool>("gray");
        QTest::addColumn<QString>("expected");
        QTest::newRow("full") << 100 << false << "0.1 grey, 0.9 grey, outline dark";
        QTest::newRow("50 %") << 50 << false << "0.4 red, 0.6 white, outline dark";
        QTest::newRow("30 %") << 30 << false << "0.2 red, 0.4 white, outline dark";
        QTest::newRow("negative") << -30 << false << "0.2 white, 0.9 red, outline dark";
        QTest::newRow("greyed") << 80 << true << "0.5 grey, 0.9 white, outline light";
    }

    void progressBarPaintsTheHealth()
    {
        QFETCH(int, percent);
        QFETCH(bool, gray);
        QFETCH(QString, expected);
        QImage image(200, 20, QImage::Format_RGB32);
        image.fill(Qt::blue);
        QPainter painter(&image);
        ProgressBarPainter().drawProgressBar(&painter, percent, image.rect(), 0, 0, gray, QString(), QString());
        painter.end();
        auto kind = [](QColor c) {
            if (c.red() > 200 && c.green() > 200 && c.blue() > 200)
                return "white";
            if (c.red() > c.green() + 60)
                return "red";
            return qAbs(c.red() - c.green()) < 10 && qAbs(c.green() - c.blue()) < 10 ? "grey" : "other";
        };
        QStringList seen;
        for (double x : {0.1, 0.2, 0.4, 0.5, 0.6, 0.8, 0.9})
            if (expected.contains(QString::number(x) + " "))
                seen << QString("%1 %2").arg(x).arg(kind(image.pixelColor(int(x * 200), 10)));
        const QColor outline = image.pixelColor(100, 0);
        seen << (outline == QColor(Qt::gray) ? "outline light" : outline == QColor(76, 76, 76) ? "outline dark" : "outline ?");
        QCOMPARE(seen.join(", "), expected);
    }

    // Every image the windows name loads: those the sources name whole, the power type icons and the
    // recharge dice.
    void everyImageTheWindowsNameLoads()
    {
        QStringList names;
        const QRegularExpression literal("\":/?images/[^\"%]+\"");
        for (QDirIterator it(RAVELHORN_SOURCES, {"*.cpp", "*.h"}, QDir::Files, QDirIterator::Subdirectories);
             it.hasNext();) {
            QFile file(it.next());
            QVERIFY(file.open(QIODevice::ReadOnly));
            for (const QRegularExpressionMatch& match : literal.globalMatch(QString::fromUtf8(file.readAll())))
                names.append(match.captured(0).mid(1).chopped(1));
        }
        QString html = CreaturePower::rechargeDice(Power::Recharge2);
        CreaturePower power;
        for (power.current.type = 1; power.getTitleText(false, false).contains("<img"); power.current.type++)
            html += power.getTitleText(false, false);
        const QRegularExpression source("src='([^']+)'");
        for (const QRegularExpressionMatch& match : source.globalMatch(html))
            names.append(match.captured(1));
        names.removeDuplicates();
        QVERIFY(names.size() > 20);
        for (const QString& name : names)
            QVERIFY2(!QImage(name).isNull(), qPrintable(name));
    }

    // The size is in the name where the name has one; every image but the two spacers has content.
    void everyImageLoadsAtItsSize()
    {
        int count = 0;
        const QRegularExpression sized("(\\d+)\\.(png|gif)$");
        for (QDirIterator it(":/images", QDirIterator::Subdirectories); it.hasNext();) {
            const QString name = it.next();
            if (!it.fileInfo().isFile())
                continue;
            ++count;
            const QImage image(name);
            QVERIFY2(!image.isNull(), qPrintable(name));
            const QRegularExpressionMatch match = sized.match(name);
            if (match.hasMatch())
                QVERIFY2(image.size() == QSize(match.captured(1).toInt(), match.captured(1).toInt()), qPrintable(name));
            bool drawn = false;
            for (int y = 0; y < image.height() && !drawn; ++y)
                for (int x = 0; x < image.width() && !drawn; ++x)
                    drawn = image.pixel(x, y) != image.pixel(0, 0);
            QVERIFY2(drawn || name.endsWith("stats/blank.png") || name.endsWith("no-icon.png"), qPrintable(name));
        }
        QVERIFY(count >= 80);
        QVERIFY(!QImage(":images/rvhn-alert.png").isNull());
        for (int face = 2; face <= 6; ++face)
            QCOMPARE(QImage(QString(":/images/stats/%1a.gif").arg(face)).size(), QSize(16, 16));
    }
};

RAVELHORN_TEST_MAIN(QApplication, TestWidgets)
#include "uitest_widgets.moc"
