#ifndef POWERDIALOGTESTING_H
#define POWERDIALOGTESTING_H

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QSet>
#include <QTimer>
#include <QToolButton>

#include <functional>

#include "powerdialog/powerwidget.h"
#include "powers/powerstep.h"
#include "toolkit/inputwidgets.h"

namespace PowerDialogTesting {

// What a modal box showed before the test answered it.
struct ModalSeen
{
    int count = 0;
    QString title;
    QString text;
};

// The texts of the box's labels, the rich text of its body last.
inline QString labelTexts(QWidget* box)
{
    QStringList texts;
    for (QLabel* label : box->findChildren<QLabel*>())
        if (!label->text().isEmpty())
            texts << label->text();
    return texts.join('\n');
}

// Acts on the next modal dialog other than `under` once it shows; stops
// looking once `under` closes, or after triesLeft.
inline void whenModal(const std::function<void(QDialog*)>& act, QWidget* under = nullptr, int triesLeft = 300)
{
    const QPointer<QWidget> guard(under);
    QTimer::singleShot(10, [=] {
        if (under && (!guard || !guard->isVisible()))
            return;
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog || dialog == under) {
            if (triesLeft > 0)
                whenModal(act, under, triesLeft - 1);
            return;
        }
        act(dialog);
    });
}

// Answers the next modal box with OK (accept) or Cancel, noting what it showed.
inline void answerModal(bool accept, ModalSeen* seen, QWidget* under = nullptr)
{
    whenModal([=](QDialog* box) {
        if (seen) {
            seen->count++;
            seen->title = box->windowTitle();
            seen->text = labelTexts(box);
        }
        accept ? box->accept() : box->reject();
    }, under);
}

// Runs the dialog while the steps drive it; its result. A dialog the steps
// left open is rejected and counted in stillOpen.
inline int runDialog(QDialog& dialog, const std::function<void()>& steps, bool* stillOpen = nullptr)
{
    QTimer::singleShot(0, &dialog, [&] {
        steps();
        QTimer::singleShot(0, &dialog, [&] {
            if (stillOpen)
                *stillOpen = dialog.isVisible();
            if (dialog.isVisible())
                dialog.reject();
        });
    });
    return dialog.exec();
}

inline void clickButton(QWidget* dialog, QDialogButtonBox::StandardButton which)
{
    QPushButton* button = dialog->findChild<QDialogButtonBox*>()->button(which);
    QVERIFY(button);
    QTest::mouseClick(button, Qt::LeftButton);
}

// Chooses the entry of that user value as the user does: from the popup.
inline void choose(QComboBox* box, int value)
{
    const int index = box->findData(value);
    QVERIFY2(index >= 0, qPrintable(QString("no entry %1").arg(value)));
    box->showPopup();
    QAbstractItemView* view = box->view();
    QTRY_VERIFY(view->isVisible());
    const QModelIndex item = view->model()->index(index, 0);
    view->scrollTo(item);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(item).center());
    QTRY_VERIFY(!view->isVisible());
}

// The rows the editor's add buttons take as laid out.
inline int addButtonRows(const PowerWidget* editor)
{
    QSet<int> tops;
    for (int kind = PowerStep::Healing; kind <= PowerStep::EndCondition; kind++)
        tops << editor->getAddButton(kind)->y();
    return tops.size();
}

// A box as "text=value" entries, grey ones marked "~", the current one "*".
inline QStringList entries(const DisableComboBox* box)
{
    QStringList list;
    for (int i = 0; i < box->count(); i++)
        list << QString("%1%2=%3%4")
                    .arg(box->isIndexEnabled(i) ? "" : "~", box->itemText(i))
                    .arg(box->itemData(i).toInt())
                    .arg(i == box->currentIndex() ? "*" : "");
    return list;
}

}

#endif
