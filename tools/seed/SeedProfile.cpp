#include "SeedProfile.h"

#include "platform/registry/UserStrings.h"
#include "platform/shell/ShellFolders.h"

#include <QDir>
#include <QFile>

namespace seed {

namespace {

const QString Browser = QStringLiteral("\\Software\\Microsoft\\Internet Explorer");
const QString Explorer = QStringLiteral("\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer");

bool writeShortcut(const QString &path, const QString &url)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return QFile::exists(path);
    return f.write("[InternetShortcut]\r\nURL=" + url.toUtf8() + "\r\n") > 0;
}

} // namespace

void addDemoRegistryValues()
{
    const char *typed[] = {"http://www.example.com/", "news.example.org",
                           "http://shop.example.net/basket", "weather.example.com/today"};
    int n = 1;
    for (const char *url : typed)
        WriteUserString(Browser + "\\TypedURLs", "url" + QString::number(n++), url);

    const char *commands[] = {"notepad", "regedit", "cmd /k dir C:\\"};
    QString order;
    char name = 'a';
    for (const char *command : commands) {
        // The run dialog stores "\1" behind each command.
        WriteUserString(Explorer + "\\RunMRU", QString(QChar(name)),
                        QString::fromLatin1(command) + "\\1");
        order.prepend(QChar(name++));
    }
    WriteUserString(Explorer + "\\RunMRU", "MRUList", order);

    WriteUserString(Browser + "\\Main", "Start Page", "http://www.example.com/");
    WriteUserString(Browser, "Download Directory", "C:\\users\\Public\\Downloads");
    WriteUserString(Browser + "\\Default HTML Editor\\shell\\edit\\command", "",
                    "C:\\windows\\notepad.exe %1");
    WriteUserString(Explorer + "\\AutoComplete", "AutoSuggest", "yes");
    WriteUserString(Browser + "\\Main", "FormSuggest Passwords", "no");
    WriteUserString(Browser + "\\Main", "Use FormSuggest", "yes");
    WriteUserString(Browser + "\\Main", "NotifyDownloadComplete", "yes");
    WriteUserString(Browser + "\\Main", "Print_Background", "no");
}

bool addDemoFavorites()
{
    const QString folder = ShellFolders::hostPath(QStringLiteral("Favorites"));
    if (folder.isEmpty() || !QDir().mkpath(folder + "/News"))
        return false;
    return writeShortcut(folder + "/Example.url", "http://www.example.com/") &&
           writeShortcut(folder + "/Example Shop.url", "http://shop.example.net/") &&
           writeShortcut(folder + "/Weather.url", "http://weather.example.com/") &&
           writeShortcut(folder + "/News/Morning News.url", "http://news.example.org/") &&
           writeShortcut(folder + "/News/Sport.url", "http://news.example.org/sport");
}

} // namespace seed
