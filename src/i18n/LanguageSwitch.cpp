#include "i18n/LanguageSwitch.h"

#include "app/CompanionFiles.h"
#include "app/WindowSet.h"
#include "app/u_Navolis.h"
#include "dialogs/MyTricks.h"
#include "i18n/Qutrans.h"

#include <QFile>

void SwitchLanguage(const QString &name)
{
    const CompanionFiles files = CompanionFiles::forRunningProgram();
    QFile::remove(files.helpFile());
    QFile::remove(files.documentationFile());
    Qutrans::SetLanguage(name);
    if (!QFile::exists(files.documentationFile()) && !QFile::exists(files.helpFile())) {
        Qutrans::SetLanguage(QStringLiteral("ENGLISH"));
        Qutrans::SetLanguage(name);
    }
    RunIfExists(files.programPath());
    Form1->close();
}
