#include "automation/CleanupPreview.h"

#include "automation/AutostartLinks.h"
#include "browserdata/IECache.h"
#include "browserdata/UrlHistory.h"
#include "platform/kernel/FileCalls.h"
#include "platform/registry/KeyPaths.h"
#include "platform/registry/KeyValues.h"
#include "platform/shell/ShellFolders.h"

#include <QFileInfo>

namespace {

struct Found
{
    int count = 0;
    qint64 bytes = 0;
    QStringList unreadable;
};

// With the filters of the windows that delete them.
Found cacheEntries(TFilterOptions filter, TSearchPattern pattern)
{
    TIECache cache;
    cache.SetFilterOptions(filter);
    cache.SearchPattern = pattern;
    Found found;
    cache.OnEntry = [&](QObject *, bool &) {
        ++found.count;
        found.bytes += cache.Entry.Size;
    };
    cache.RetrieveEntries(0);
    found.unreadable = cache.UnreadableContainers();
    return found;
}

QString kilobytes(qint64 bytes)
{
    return QString::number(bytes / 1024) + QStringLiteral(" kb");
}

int storedValues(const QString &keyPath, const QString &except = {})
{
    int count = 0;
    for (const QString &name : ValueNamesOf(keyPath))
        if (except.isEmpty() || name.compare(except, Qt::CaseInsensitive) != 0)
            ++count;
    return count;
}

int recentShortcuts()
{
    const QString folder = ShellFolders::windowsPath(QStringLiteral("Recent"));
    if (folder.isEmpty())
        return 0;
    int count = 0;
    for (const QString &name : win::FindFileNames(folder))
        if (name.endsWith(QStringLiteral(".lnk"), Qt::CaseInsensitive))
            ++count;
    return count;
}

Found historyEntries()
{
    TUrlHistory history;
    history.Loaded(); // as after its stored properties: the store comes with it
    return {history.Enumerate(), 0, history.UnreadableContainers()};
}

} // namespace

CleanupForecast CleanupPreview(const QString &letters, const QString &program)
{
    CleanupForecast forecast;
    QStringList &lines = forecast.lines;
    // The run leaves a container it cannot read as it is, and its step fails.
    const auto unreadable = [&](char letter, const Found &found) {
        for (const QString &file : found.unreadable)
            lines << QStringLiteral("   %1 is damaged or cannot be read: it stays, and \"%2\" "
                                    "would not be done")
                         .arg(file, QString(QLatin1Char(letter)));
        forecast.complete = forecast.complete && found.unreadable.isEmpty();
    };
    const auto asked = [&](char letter) { return letters.contains(QLatin1Char(letter)); };
    if (asked('c')) {
        const Found cookies = cacheEntries(StandardEntryFilter, spCookies);
        lines
            << QStringLiteral("c  %1 cookies, %2").arg(cookies.count).arg(kilobytes(cookies.bytes));
        unreadable('c', cookies);
    }
    if (asked('b')) {
        const Found cache = cacheEntries(CacheContentFilter, spUrl);
        lines << QStringLiteral("b  %1 cached files, %2")
                     .arg(cache.count)
                     .arg(kilobytes(cache.bytes));
        unreadable('b', cache);
    }
    if (asked('h')) {
        const Found history = historyEntries();
        lines << QStringLiteral("h  %1 addresses in the history").arg(history.count);
        unreadable('h', history);
    }
    if (asked('m'))
        lines << QStringLiteral("m  %1 commands of the run dialog, %2 recent documents")
                     .arg(storedValues(KeyPaths::RunMru, QStringLiteral("MRUList")))
                     .arg(recentShortcuts());
    if (asked('e'))
        lines << QStringLiteral("e  %1 typed addresses").arg(storedValues(KeyPaths::TypedUrls));
    if (asked('n'))
        lines << QStringLiteral("n  a closing message would be shown");
    if (asked('r')) {
        QStringList links = AutostartLinks::linksStarting(program);
        if (QFileInfo::exists(AutostartLinks::desktopEntryPath()))
            links << AutostartLinks::desktopEntryPath();
        lines << QStringLiteral("r  %1 start-up entries%2")
                     .arg(links.size())
                     .arg(links.isEmpty()
                              ? QString()
                              : QStringLiteral(": ") + links.join(QStringLiteral(", ")));
    }
    return forecast;
}
