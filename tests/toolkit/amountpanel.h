#ifndef AMOUNTPANEL_H
#define AMOUNTPANEL_H

#include "toolkit/flatdialog.h"
#include "toolkit/inputwidgets.h"

// A panel with an amount box and OK/Cancel, or with the box alone.
class AmountPanel : public FlatDialog
{
public:
    explicit AmountPanel(bool withButtons = true)
    {
        setWindowTitle("Amount");
        amount = digitBox(50, 0, 5, true);
        buttons = withButtons ? new DialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel) : nullptr;
        if (buttons) {
            connect(buttons, &QDialogButtonBox::accepted, this, &FlatDialog::accept);
            connect(buttons, &QDialogButtonBox::rejected, this, &FlatDialog::reject);
        }
        setLayout(vLayout(false, false, amount, buttons));
    }

    QSpinBox* amount;
    DialogButtonBox* buttons;
};

#endif
