#include "toolkit/languagedialog.h"

#include <QDir>

#include "foundation/global.h"
#include "foundation/translation.h"
#include "foundation/uihooks.h"
#include "toolkit/messagedialog.h"

bool LanguageDialog::runDialog()
{
    const QString file = Global::ui().getOpenFileName(tr("Import Language File"), QDir::homePath(),
        tr("Language Files (*.ts)"));
    if (file.isEmpty() || !translation)
        return false;
    QString error;
    if (!translation->install(file, error)) {
        MessageDialog().alert(tr("Cannot Import Language File"),
            tr("The language file %1 could not be imported.<p>%2").arg(file.toHtmlEscaped(), error));
        return false;
    }
    MessageDialog().info(tr("Language File Imported"),
        tr("The language file %1 was imported. Restart Ravelhorn to translate every window.").arg(file.toHtmlEscaped()));
    return true;
}
