#include "settings/BrowserSettingsStore.h"

#include "platform/registry/KeyPaths.h"
#include "platform/registry/UserStrings.h"

#include <QList>
#include <QLocale>

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
    QString BrowserSettingValues::*stored;
    bool ShownBrowserSettings::*shown;
};

const QList<Switch> &switches()
{
    static const QList<Switch> all{
        {autoCompleteKey, QStringLiteral("AutoSuggest"), &BrowserSettingValues::autoSuggest,
         &ShownBrowserSettings::autoSuggest},
        {mainKey, QStringLiteral("FormSuggest Passwords"),
         &BrowserSettingValues::formSuggestPasswords, &ShownBrowserSettings::formSuggestPasswords},
        {mainKey, QStringLiteral("Use FormSuggest"), &BrowserSettingValues::useFormSuggest,
         &ShownBrowserSettings::useFormSuggest},
        {mainKey, QStringLiteral("NotifyDownloadComplete"),
         &BrowserSettingValues::notifyDownloadComplete,
         &ShownBrowserSettings::notifyDownloadComplete},
        {mainKey, QStringLiteral("Print_Background"), &BrowserSettingValues::printBackground,
         &ShownBrowserSettings::printBackground}};
    return all;
}

QString blankPageCaption(const BrowserSettingTexts &texts)
{
    return blankPage + QLatin1Char(' ') + texts.blankPageNote;
}

// The editor command as the panel shows it: a trailing " %1" (or any "%x") is left out.
QString editorCaption(const QString &command, const BrowserSettingTexts &texts)
{
    if (command == texts.noEditor || command.size() < 3 || command.at(command.size() - 2) != u'%')
        return command;
    return command.chopped(3);
}

bool differs(const QString &a, const QString &b)
{
    const QLocale locale;
    return locale.toUpper(a) != locale.toUpper(b);
}

} // namespace

namespace BrowserSettingsStore {

BrowserSettingValues read(const BrowserSettingTexts &texts)
{
    BrowserSettingValues values;
    values.startPage = ReadUserString(mainKey, startPageName);
    values.htmlEditor = ReadUserString(editorKey, QString());
    if (values.htmlEditor.size() < 6)
        values.htmlEditor = texts.noEditor;
    values.downloadFolder = ReadUserString(browserKey, folderName);
    if (values.downloadFolder.isEmpty())
        values.downloadFolder = texts.noFolder;
    for (const Switch &s : switches())
        values.*s.stored = ReadUserString(s.keyPath, s.valueName);
    return values;
}

ShownBrowserSettings shown(const BrowserSettingValues &values, const BrowserSettingTexts &texts)
{
    ShownBrowserSettings display;
    display.startPage = values.startPage == blankPage ? blankPageCaption(texts) : values.startPage;
    display.htmlEditor = editorCaption(values.htmlEditor, texts);
    display.downloadFolder = values.downloadFolder;
    for (const Switch &s : switches())
        display.*s.shown = values.*s.stored != off;
    return display;
}

// The editor is compared with what the load showed, so that a command without "%1" is not
// rewritten by the save of an unrelated setting.
bool writeChanged(const BrowserSettingValues &loaded, const ShownBrowserSettings &shown,
                  const BrowserSettingTexts &texts)
{
    bool saved = true;
    const auto write = [&saved](const QString &key, const QString &name, const QString &value) {
        saved = WriteUserString(key, name, value) && saved;
    };
    if (shown.startPage == blankPageCaption(texts))
        write(mainKey, startPageName, blankPage);
    else if (differs(shown.startPage, loaded.startPage))
        write(mainKey, startPageName, shown.startPage);

    if (shown.htmlEditor != texts.noEditor &&
        differs(editorCaption(loaded.htmlEditor, texts), shown.htmlEditor))
        write(editorKey, QString(), shown.htmlEditor + QStringLiteral(" %1"));

    if (differs(shown.downloadFolder, loaded.downloadFolder))
        write(browserKey, folderName, shown.downloadFolder);

    for (const Switch &s : switches()) {
        const bool storedOff = loaded.*s.stored == off;
        if (storedOff && shown.*s.shown)
            write(s.keyPath, s.valueName, on);
        else if (!storedOff && !(shown.*s.shown))
            write(s.keyPath, s.valueName, off);
    }
    return saved;
}

} // namespace BrowserSettingsStore
