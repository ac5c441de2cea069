#include "i18n/LanguageSwitch.h"

#include "app/CompanionFiles.h"
#include "app/WindowSet.h"
#include "app/u_Navolis.h"
#include "dialogs/MyTricks.h"
#include "i18n/Qutrans.h"

#include <QFile>

namespace {

void makeCurrent(const QString &name, const std::function<void(const QString &)> &setLanguage)
{
    const CompanionFiles files = CompanionFiles::forRunningProgram();
    QFile::remove(files.helpFile());
    QFile::remove(files.documentationFile());
    setLanguage(name);
    // A language that brought no help files is set once more by way of ENGLISH.
    if (!QFile::exists(files.documentationFile()) && !QFile::exists(files.helpFile())) {
        setLanguage(QStringLiteral("ENGLISH"));
        setLanguage(name);
    }
}

void setLibraryLanguage(const QString &language)
{
    Qutrans::SetLanguage(language);
}

} // namespace

void MakeLanguageCurrent(const QString &name)
{
    makeCurrent(name, setLibraryLanguage);
}

void SwitchLanguage(const QString &name)
{
    SwitchLanguage(name, setLibraryLanguage);
}

void SwitchLanguage(const QString &name, const std::function<void(const QString &)> &setLanguage)
{
    makeCurrent(name, setLanguage);
    RunIfExists(CompanionFiles::forRunningProgram().programPath());
    Form1->close();
}
