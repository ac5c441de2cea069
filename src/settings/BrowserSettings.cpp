#include "settings/BrowserSettings.h"

#include "app/WindowSet.h"
#include "app/u_Navolis.h"
#include "controls/StoredLayout.h"
#include "i18n/Qutrans.h"
#include "platform/registry/KeyPaths.h"
#include "platform/registry/UserStrings.h"
#include "settings/u_autocomplete.h"
#include "shell/BrowseForFolder.h"

#include <QCheckBox>
#include <QLocale>

BrowserSettingValues BrowserSettingsSnapshot;

namespace {

const QString browserKey = KeyPaths::InternetExplorer;
const QString mainKey = browserKey + QStringLiteral("\\Main");
const QString editorKey =
    browserKey + QStringLiteral("\\Default HTML Editor\\shell\\edit\\command");
const QString autoCompleteKey = KeyPaths::AutoComplete;
const QString startPageName = QStringLiteral("Start Page");
const QString folderName = QStringLiteral("Download Directory");
const QString blankPage = QStringLiteral("about:blank");
const QString off = QStringLiteral("no");
const QString on = QStringLiteral("yes");

struct Switch
{
    QString keyPath;
    QString valueName;
    QCheckBox *box;
    QString BrowserSettingValues::*entry;
};

QList<Switch> switches()
{
    return {{autoCompleteKey, QStringLiteral("AutoSuggest"), Form6->CheckBox2,
             &BrowserSettingValues::autoSuggest},
            {mainKey, QStringLiteral("FormSuggest Passwords"), Form6->CheckBox1,
             &BrowserSettingValues::formSuggestPasswords},
            {mainKey, QStringLiteral("Use FormSuggest"), Form6->CheckBox3,
             &BrowserSettingValues::useFormSuggest},
            {mainKey, QStringLiteral("NotifyDownloadComplete"), Form1->CheckBox1,
             &BrowserSettingValues::notifyDownloadComplete},
            {mainKey, QStringLiteral("Print_Background"), Form1->CheckBox3,
             &BrowserSettingValues::printBackground}};
}

QString blankPageCaption()
{
    return blankPage + QLatin1Char(' ') + Qutrans::get(152);
}

QString noEditor()
{
    return Qutrans::get(172);
}

// The editor command as the panel shows it: a trailing " %1" (or any "%x") is left out.
QString editorCaption(const QString &command)
{
    if (command == noEditor() || command.size() < 3 || command.at(command.size() - 2) != u'%')
        return command;
    return command.chopped(3);
}

bool differs(const QString &a, const QString &b)
{
    const QLocale locale;
    return locale.toUpper(a) != locale.toUpper(b);
}

void loadStartPage()
{
    BrowserSettingsSnapshot.startPage = ReadUserString(mainKey, startPageName);
    const QString &page = BrowserSettingsSnapshot.startPage;
    StoredLayout::setCaption(Form1->Label50, page == blankPage ? blankPageCaption() : page);
}

void loadEditor()
{
    QString command = ReadUserString(editorKey, QString());
    if (command.size() < 6)
        command = noEditor();
    BrowserSettingsSnapshot.htmlEditor = command;
    StoredLayout::setCaption(Form1->Label61, editorCaption(command));
}

void loadFolder()
{
    QString folder = ReadUserString(browserKey, folderName);
    if (folder.isEmpty())
        folder = Qutrans::get(171);
    BrowserSettingsSnapshot.downloadFolder = folder;
    StoredLayout::setCaption(Form1->Label54, folder);
}

void saveStartPage()
{
    const QString shown = Form1->Label50->text();
    if (shown == blankPageCaption())
        WriteUserString(mainKey, startPageName, blankPage);
    else if (differs(shown, BrowserSettingsSnapshot.startPage))
        WriteUserString(mainKey, startPageName, shown);
}

// Compared with what the load showed, so that a command without "%1" is not rewritten by
// the save of an unrelated setting.
void saveEditor()
{
    const QString shown = Form1->Label61->text();
    if (shown != noEditor() && differs(editorCaption(BrowserSettingsSnapshot.htmlEditor), shown))
        WriteUserString(editorKey, QString(), shown + QStringLiteral(" %1"));
}

void saveFolder()
{
    const QString shown = Form1->Label54->text();
    if (differs(shown, BrowserSettingsSnapshot.downloadFolder))
        WriteUserString(browserKey, folderName, shown);
}

} // namespace

// Setting the boxes raises no click, so loading never leads to a save.
void LoadBrowserSettings()
{
    loadStartPage();
    loadEditor();
    loadFolder();
    for (const Switch &s : switches()) {
        BrowserSettingsSnapshot.*s.entry = ReadUserString(s.keyPath, s.valueName);
        s.box->setChecked(BrowserSettingsSnapshot.*s.entry != off);
    }
    Form1->BrowseForFolderDialog1->SetStartupPath(Form1->Label54->text());
}

void SaveBrowserSettings()
{
    saveStartPage();
    saveEditor();
    saveFolder();
    for (const Switch &s : switches()) {
        const bool storedOff = BrowserSettingsSnapshot.*s.entry == off;
        if (storedOff && s.box->isChecked())
            WriteUserString(s.keyPath, s.valueName, on);
        else if (!storedOff && !s.box->isChecked())
            WriteUserString(s.keyPath, s.valueName, off);
    }
}
