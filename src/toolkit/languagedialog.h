#ifndef LANGUAGEDIALOG_H
#define LANGUAGEDIALOG_H

#include <QCoreApplication>

class Translation;

// Imports a translated language file chosen by the game master.
class LanguageDialog
{
    Q_DECLARE_TR_FUNCTIONS(LanguageDialog)

public:
    explicit LanguageDialog(Translation* translation) : translation(translation) {}

    // Asks for a ".ts" file, installs it and tells how that went; true when installed.
    bool runDialog();

private:
    Translation* translation;
};

#endif
