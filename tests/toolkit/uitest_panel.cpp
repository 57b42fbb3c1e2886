#include <QApplication>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include "support/testsupport.h"
#include "toolkit/amountpanel.h"
#include "toolkit/panelhost.h"

// Panels without a main window: no host is installed, the content is a
// window of its own and takes the keys itself.
class TestPanel : public QObject
{
    Q_OBJECT

private slots:
    void runsWithoutAHost_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<int>("result");
        QTest::newRow("Return presses OK") << "Return" << 1;
        QTest::newRow("Escape") << "Escape" << 0;
        QTest::newRow("Return while OK is disabled") << "disableOk Return Escape" << 0;
        QTest::newRow("Return after a typed amount") << "7 Return" << 1;
    }

    void runsWithoutAHost()
    {
        QFETCH(QString, keys);
        QFETCH(int, result);
        QVERIFY(!PanelHost::instance());
        auto* panel = new AmountPanel;
        QPointer<QWidget> content = panel->getWidget();
        bool shown = false;
        QTimer::singleShot(0, [&] {
            shown = content->isVisible() && content->isWindow() && content->windowTitle() == "Amount";
            for (const QString& key : keys.split(' ')) {
                if (key == "disableOk") {
                    panel->buttons->button(QDialogButtonBox::Ok)->setEnabled(false);
                    continue;
                }
                QTest::keyClick(panel->amount, key == "Return"   ? Qt::Key_Return
                                               : key == "Escape" ? Qt::Key_Escape
                                                                 : Qt::Key(key.at(0).unicode()));
            }
        });
        QCOMPARE(panel->exec(), result);
        QVERIFY(shown);
        QVERIFY(content && !content->isVisible());
        if (keys.startsWith('7'))
            QCOMPARE(panel->amount->value(), 7);
        delete panel;
        QVERIFY(!content);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // Content replaced while the panel runs goes at once; the last one goes with the panel.
    void contentIsDeletedOnce()
    {
        QPointer<QWidget> first, second;
        {
            AmountPanel panel;
            first = panel.getWidget();
            QTimer::singleShot(0, [&] {
                panel.setLayout(panel.vLayout(false, false, new QSpinBox));
                second = panel.getWidget();
                panel.reject();
            });
            QCOMPARE(panel.exec(), 0);
            QVERIFY(!first && second && !second->isVisible());
        }
        QVERIFY(!second);
    }
};

RAVELHORN_TEST_MAIN(QApplication, TestPanel)
#include "uitest_panel.moc"
