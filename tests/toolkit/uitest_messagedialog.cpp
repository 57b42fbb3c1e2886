#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QTimer>

#include "foundation/global.h"
#include "support/testsupport.h"
#include "toolkit/messagedialog.h"

namespace {

const QString key = "test/silenced";

// Runs one form of the message box; bool answers count as 0 and 1, none as -1, the locked-folder answers in
// their order: 0 leave, 1 Open Anyway, 2 Select Folder.
int runForm(const QString& form)
{
    MessageDialog box;
    const QHash<QString, std::function<int()>> forms{
        {"alert", [&] { return box.alert("T", "x"), -1; }},
        {"info", [&] { return box.info("T", "x"), -1; }},
        {"about", [&] { return box.about("T", "x"), -1; }},
        {"badRoot", [&] { return box.badRootAlert("T", "x", "Create"); }},
        {"folderOrQuit", [&] { return int(box.lockedFolderAlert("T", "x", false, "Quit")); }},
        {"lockedFolder", [&] { return int(box.lockedFolderAlert("T", "x", true, "Cancel")); }},
        {"rejectable", [&] { return int(box.rejectableAlert("T", "x")); }},
        {"rejectableText", [&] { return int(box.rejectableAlert("T", "x", "Remove")); }},
        {"keyed", [&] { return int(box.rejectableAlert(key, "T", "x", "Remove")); }},
        {"rejectableInfo", [&] { return int(box.rejectableInfo("T", "x", "Go")); }},
        {"hideable", [&] { return box.hideableInfo(key, "T", "x"), -1; }}};
    return forms.value(form)();
}

}

class TestMessageDialog : public QObject
{
    Q_OBJECT

private slots:
    void init() { QSettings().remove(key); }

    // The box is answered by a timer: optionally tick the check box, then
    // press the button with the text ("close" closes the box instead).
    void answersWithTheButtonPressed_data()
    {
        QTest::addColumn<QString>("form");
        QTest::addColumn<bool>("tick");
        QTest::addColumn<QString>("press");
        QTest::addColumn<QString>("buttons");
        QTest::addColumn<int>("result");
        QTest::addColumn<bool>("silenced");
        QTest::newRow("alert") << "alert" << false << "OK" << "OK" << -1 << false;
        QTest::newRow("info") << "info" << false << "OK" << "OK" << -1 << false;
        QTest::newRow("about") << "about" << false << "OK" << "OK" << -1 << false;
        QTest::newRow("bad root: select") << "badRoot" << false << "Select Folder..." << "Cancel Create Select Folder..." << 2 << false;
        QTest::newRow("bad root: button") << "badRoot" << false << "Create" << "Cancel Create Select Folder..." << 1 << false;
        QTest::newRow("bad root: cancel") << "badRoot" << false << "Cancel" << "Cancel Create Select Folder..." << 0 << false;
        QTest::newRow("bad root: closed") << "badRoot" << false << "close" << "Cancel Create Select Folder..." << 0 << false;
        QTest::newRow("folder or quit: select") << "folderOrQuit" << false << "Select Folder..." << "Quit Select Folder..." << 2 << false;
        QTest::newRow("folder or quit: quit") << "folderOrQuit" << false << "Quit" << "Quit Select Folder..." << 0 << false;
        QTest::newRow("folder or quit: closed") << "folderOrQuit" << false << "close" << "Quit Select Folder..." << 0 << false;
        const QString locked = "Cancel Open Anyway Select Folder...";
        QTest::newRow("locked folder: open anyway") << "lockedFolder" << false << "Open Anyway" << locked << 1 << false;
        QTest::newRow("locked folder: cancel") << "lockedFolder" << false << "Cancel" << locked << 0 << false;
        // The safe answer is the default one.
        QTest::newRow("locked folder: Enter") << "lockedFolder" << false << "Enter" << locked << 2 << false;
        QTest::newRow("rejectable: OK") << "rejectable" << false << "OK" << "Cancel OK" << 1 << false;
        QTest::newRow("relabelled: accept") << "rejectableText" << false << "Remove" << "Cancel Remove" << 1 << false;
        QTest::newRow("keyed: accept") << "keyed" << false << "Remove" << "Cancel Remove" << 1 << false;
        QTest::newRow("keyed: ticked, accept") << "keyed" << true << "Remove" << "Cancel Remove" << 1 << true;
        QTest::newRow("keyed: ticked, cancel") << "keyed" << true << "Cancel" << "Cancel Remove" << 0 << true;
        QTest::newRow("info: accept") << "rejectableInfo" << false << "Go" << "Cancel Go" << 1 << false;
        QTest::newRow("info: cancel") << "rejectableInfo" << false << "Cancel" << "Cancel Go" << 0 << false;
        QTest::newRow("hideable: ticked") << "hideable" << true << "OK" << "OK" << -1 << true;
    }

    void answersWithTheButtonPressed()
    {
        QFETCH(QString, form);
        QFETCH(bool, tick);
        QFETCH(QString, press);
        QFETCH(QString, buttons);
        QFETCH(int, result);
        QFETCH(bool, silenced);
        QStringList labels;
        bool iconShown = false;
        bool resizable = true;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<MessageDialog*>(QApplication::activeModalWidget());
            QVERIFY(box);
            // A window manager puts a resize handle under a box that can be resized.
            resizable = box->minimumSize() != box->maximumSize();
            for (QLabel* label : box->findChildren<QLabel*>())
                iconShown = iconShown || !label->pixmap().isNull();
            if (tick)
                box->findChild<QCheckBox*>()->setChecked(true);
            for (QAbstractButton* button : box->buttonBox()->buttons())
                labels << button->text();
            labels.sort();
            for (QAbstractButton* button : box->buttonBox()->buttons())
                if (button->text() == press)
                    button->click();
            if (press == "close")
                box->close();
            if (press == "Enter")
                QTest::keyClick(box, Qt::Key_Return);
        });
        QCOMPARE(runForm(form), result);
        QCOMPARE(labels.join(' '), buttons);
        QVERIFY(iconShown);
        QVERIFY(!resizable);
        QCOMPARE(QSettings().value(key, true).toBool(), !silenced);

        // Once silenced, the keyed forms show nothing; the alert answers yes.
        bool shown = false;
        QTimer poll;
        connect(&poll, &QTimer::timeout, [&] {
            if (auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
                shown = true, box->reject();
        });
        poll.start(10);
        if (silenced)
            QCOMPARE(runForm(form), form == "keyed" ? 1 : -1);
        QVERIFY(!shown);
    }

    // A window manager puts its icon and three buttons beside the title,
    // about 100 pixels: the box leaves them that room beside its whole title.
    void wideEnoughForItsTitle_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text");
        QTest::newRow("a short text") << "Duplicate Brannoc Ashfield" << "x";
        QTest::newRow("a longer title") << "Cannot Read the Monster File of the Marsh" << "It is damaged.";
    }

    void wideEnoughForItsTitle()
    {
        QFETCH(QString, title);
        QFETCH(QString, text);
        int width = 0;
        int needed = 0;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<MessageDialog*>(QApplication::activeModalWidget());
            QVERIFY(box);
            QFont bold = box->font();
            bold.setBold(true);
            needed = QFontMetrics(bold).horizontalAdvance(title) + 100;
            width = box->width();
            box->reject();
        });
        MessageDialog().alert(title, text);
        QVERIFY2(width >= needed, qPrintable(QString("%1 < %2").arg(width).arg(needed)));
    }

    // A long path wraps only after a separator, never inside a folder's name.
    void aPathBreaksOnlyAfterItsSeparators_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("blanks in names") << "/home/game master/Campaigns/The Drowned Chapel of the Marsh/"
                                            "Second Season Maps and Handouts/Ravelhorn Data";
        QTest::newRow("hyphens in names") << "/media/usb-drive-of-the-table/campaign-of-the-sunken-keep/"
                                             "encounters-for-the-second-season/Ravelhorn Data";
        QTest::newRow("native separators") << "C:\\Users\\game master\\Documents\\The Drowned Chapel of the Marsh\\"
                                              "Second Season Maps and Handouts\\Ravelhorn Data";
    }

    void aPathBreaksOnlyAfterItsSeparators()
    {
        QFETCH(QString, path);
        QStringList ends;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<MessageDialog*>(QApplication::activeModalWidget());
            QVERIFY(box);
            QLabel* body = nullptr;
            for (QLabel* label : box->findChildren<QLabel*>())
                if (label->wordWrap())
                    body = label;
            QTextDocument document;
            document.setDefaultFont(body->font());
            document.setDocumentMargin(0);
            document.setHtml(body->text());
            document.setTextWidth(body->contentsRect().width());
            document.size();
            const QTextBlock block = document.begin();
            for (int line = 0; line < block.layout()->lineCount() - 1; line++) {
                const QTextLine shown = block.layout()->lineAt(line);
                ends << block.text().mid(shown.textStart(), shown.textLength()).right(2);
            }
            box->reject();
        });
        MessageDialog().alert("Data Folder Missing", Global::htmlPath(path));
        QVERIFY(!ends.isEmpty());
        for (const QString& end : ends)
            QVERIFY2(end == "/" + QString(QChar(0x200B)) || end == "\\" + QString(QChar(0x200B)),
                     qPrintable(ends.join(" | ")));
    }
};

RAVELHORN_TEST_MAIN(QApplication, TestMessageDialog)
#include "uitest_messagedialog.moc"
