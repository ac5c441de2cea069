#include "cleanup/Cleaners.h"

#include "common/Erase.h"

#include "automation/AutostartLinks.h"
#include "browserdata/IECache.h"
#include "browserdata/UrlHistory.h"
#include "platform/kernel/LastError.h"
#include "platform/prefix/FileCalls.h"
#include "platform/prefix/Prefix.h"
#include "platform/prefix/ReadOnlyNotice.h"
#include "platform/prefix/WineServer.h"
#include "platform/registry/KeyPaths.h"
#include "platform/registry/KeyValues.h"
#include "platform/registry/TRegistry.h"
#include "platform/shell/RecentDocs.h"
#include "platform/shell/ShellFolders.h"
#include "platform/urlcache/WinInetCache.h"
#include "privacy/CookieKeepList.h"

#include <QFileInfo>

#include <exception>

namespace cleanup {

namespace {

// Why a clean left what it found; `otherwise` when neither the prefix nor Wine is the cause.
QString whyItStayed(const QString &otherwise = QStringLiteral("it could not be removed"))
{
    if (writesRefusedTo(Prefix::target().root()))
        return QStringLiteral("nothing may be changed in this prefix");
    if (ReadOnlyNotice::wasGiven())
        return QStringLiteral("Wine is using this prefix");
    return otherwise;
}

const QString RegistryNotSaved = QStringLiteral("the registry file (user.reg) could not be saved");

// A clean in a prefix where nothing may be written does not even try: what it found stays.
bool refused(Mode mode, Outcome &outcome)
{
    if (mode != Mode::Clean || !writesRefusedTo(Prefix::target().root()))
        return false;
    outcome.stayed = outcome.found;
    outcome.reasons << whyItStayed();
    return true;
}

void settle(Outcome &outcome, int left)
{
    outcome.stayed = left;
    outcome.removed = outcome.found - left;
    if (left > 0 && outcome.reasons.isEmpty())
        outcome.reasons << whyItStayed();
}

QString kilobytes(qint64 bytes)
{
    return QString::number(bytes / 1024) + QStringLiteral(" kb");
}

void noteUnreadable(Outcome &outcome, const QStringList &files)
{
    for (const QString &file : files)
        outcome.reasons << file + QStringLiteral(" is damaged or cannot be read");
}

// Whether an entry, by its URL, is one to leave.
using KeepRule = std::function<bool(const QString &url)>;

// The entries of the cache that the filter and pattern select, deleted as the walk meets them
// when cleaning; those the rule keeps are only counted.
Outcome walkCache(TFilterOptions filter, TSearchPattern pattern, Mode mode,
                  const KeepRule &keeps = {})
{
    Outcome outcome;
    outcome.bytes = 0;
    const auto walk = [&](bool deleting) {
        TIECache cache;
        cache.SetFilterOptions(filter);
        cache.SearchPattern = pattern;
        int met = 0;
        int kept = 0;
        const wininet::UrlCacheBatch oneWalk;
        cache.OnEntry = [&](QObject *, bool &) {
            if (keeps && keeps(cache.Entry.SourceUrlName)) {
                ++kept;
                return;
            }
            ++met;
            if (!deleting) {
                outcome.bytes += cache.Entry.Size;
                return;
            }
            cache.DeleteCurrentEntry();
        };
        cache.RetrieveEntries(0);
        noteUnreadable(outcome, deleting ? QStringList() : cache.UnreadableContainers());
        if (keeps && !deleting)
            outcome.kept = kept;
        return met;
    };
    outcome.found = walk(false);
    if (mode == Mode::Preview || refused(mode, outcome))
        return outcome;
    walk(true);
    // What a walk finds afterwards stayed: a deletion refused, a file in use.
    settle(outcome, walk(false));
    return outcome;
}

// A keep list that cannot be read might name any of them: then none is removed.
Outcome cookies(Mode mode, const Context &)
{
    const CookieKeepList keepList = CookieKeepList::load();
    Outcome outcome;
    if (keepList.usable()) {
        outcome = walkCache(StandardEntryFilter, spCookies, mode,
                            [&](const QString &url) { return keepList.keepsCookie(url); });
    } else {
        outcome = walkCache(StandardEntryFilter, spCookies, Mode::Preview);
        if (mode == Mode::Clean)
            outcome.stayed = outcome.found;
        outcome.reasons << keepList.problem();
    }
    outcome.summary =
        QStringLiteral("%1 cookies, %2").arg(outcome.found).arg(kilobytes(outcome.bytes));
    if (outcome.kept > 0)
        outcome.summary += QStringLiteral(" (%1 kept)").arg(outcome.kept);
    return outcome;
}

Outcome cache(Mode mode, const Context &)
{
    Outcome outcome = walkCache(CacheContentFilter, spUrl, mode);
    outcome.summary =
        QStringLiteral("%1 cached files, %2").arg(outcome.found).arg(kilobytes(outcome.bytes));
    return outcome;
}

int visits(const Context &context, QStringList *unreadable = nullptr)
{
    TUrlHistory history;
    history.Loaded(); // as after its stored properties: the store comes with it
    history.OnStep = context.step;
    const int count = history.Enumerate();
    if (unreadable)
        *unreadable = history.UnreadableContainers();
    return count;
}

Outcome history(Mode mode, const Context &context)
{
    Outcome outcome;
    QStringList unreadable;
    outcome.found = visits(context, &unreadable);
    noteUnreadable(outcome, unreadable);
    outcome.summary = QStringLiteral("%1 addresses in the history").arg(outcome.found);
    if (mode == Mode::Preview || refused(mode, outcome))
        return outcome;
    TUrlHistory store;
    store.Loaded();
    store.OnStep = context.step;
    store.ClearHistory();
    store.DeleteEntries();
    settle(outcome, visits(context));
    return outcome;
}

// The values of a key as stored, without creating the key.
QStringList storedValueNames(const QString &keyPath)
{
    QStringList names;
    TRegistry registry(win::KEY_READ);
    if (registry.OpenKey(keyPath, false))
        registry.GetValueNames(names);
    return names;
}

int runCommands()
{
    int count = 0;
    for (const QString &name : storedValueNames(KeyPaths::RunMru))
        count += name.compare(QStringLiteral("MRUList"), Qt::CaseInsensitive) != 0;
    return count;
}

int recentShortcuts()
{
    const QString folder = ShellFolders::windowsPath(QStringLiteral("Recent"));
    int count = 0;
    if (!folder.isEmpty())
        for (const QString &name : win::FindFileNames(folder))
            count += name.endsWith(QStringLiteral(".lnk"), Qt::CaseInsensitive);
    return count;
}

// The run dialog's list and the recent documents, with the shell's list of them.
Outcome mruLists(Mode mode, const Context &)
{
    Outcome outcome;
    const int commands = runCommands();
    const int documents = recentShortcuts();
    outcome.found = commands + documents;
    outcome.summary = QStringLiteral("%1 commands of the run dialog, %2 recent documents")
                          .arg(commands)
                          .arg(documents);
    if (mode == Mode::Preview || refused(mode, outcome))
        return outcome;
    win::SHAddToRecentDocs(win::SHARD_PATH, nullptr);
    const bool listEmptied = platform::lastError() == quint32(win::ERROR_SUCCESS);
    const bool commandsGone = DeleteAllValues(KeyPaths::RunMru).complete;
    if (!(listEmptied && commandsGone))
        outcome.reasons << whyItStayed(RegistryNotSaved);
    settle(outcome, runCommands() + recentShortcuts());
    return outcome;
}

Outcome typedAddresses(Mode mode, const Context &)
{
    Outcome outcome;
    outcome.found = int(storedValueNames(KeyPaths::TypedUrls).size());
    outcome.summary = QStringLiteral("%1 typed addresses").arg(outcome.found);
    if (mode == Mode::Preview || refused(mode, outcome))
        return outcome;
    if (!DeleteAllValues(KeyPaths::TypedUrls).complete)
        outcome.reasons << whyItStayed(RegistryNotSaved);
    settle(outcome, int(storedValueNames(KeyPaths::TypedUrls).size()));
    return outcome;
}

// The start-up shortcuts that start the program (Windows paths) and the desktop entry.
QStringList startupEntries(const Context &context)
{
    QStringList links;
    const QString folder = AutostartLinks::startupFolder();
    if (!folder.isEmpty()) {
        for (const QString &link : QStringList{folder + FixedLinkName, context.namedLink} +
                                       AutostartLinks::linksStarting(context.program)) {
            if (!link.isEmpty() && win::FileExists(link) &&
                !links.contains(link, Qt::CaseInsensitive))
                links << link;
        }
    }
    return links;
}

// The desktop entry goes last, and only with every shortcut: the login clean-up never stops
// while the shortcut still asks for it. In a prefix where nothing may be changed the shortcuts
// stay, but the desktop entry lies outside it and goes, and the report names what stayed.
Outcome startupShortcut(Mode mode, const Context &context)
{
    Outcome outcome;
    const QStringList links = startupEntries(context);
    const QString entry = AutostartLinks::desktopEntryPath();
    const bool hasEntry = QFileInfo::exists(entry);
    outcome.found = int(links.size()) + (hasEntry ? 1 : 0);
    outcome.summary =
        QStringLiteral("%1 start-up entries%2")
            .arg(outcome.found)
            .arg(outcome.found == 0 ? QString()
                                    : QStringLiteral(": ") +
                                          (links + (hasEntry ? QStringList{entry} : QStringList()))
                                              .join(QStringLiteral(", ")));
    if (mode == Mode::Preview)
        return outcome;
    const bool prefixRefused = writesRefusedTo(Prefix::target().root());
    if (!prefixRefused)
        for (const QString &link : links)
            win::DeleteFile(link);
    const QStringList linksLeft = startupEntries(context);
    if (linksLeft.isEmpty() || prefixRefused)
        AutostartLinks::removeDesktopEntry();
    if (prefixRefused && !linksLeft.isEmpty())
        outcome.reasons << QStringLiteral("%1 stays: %2")
                               .arg(linksLeft.join(QStringLiteral(", ")), whyItStayed());
    settle(outcome, int(linksLeft.size()) + (QFileInfo::exists(entry) ? 1 : 0));
    return outcome;
}

} // namespace

const std::vector<Cleaner> &cleaners()
{
    static const std::vector<Cleaner> table{
        {QLatin1Char('c'), QStringLiteral("the cookies"),
         QStringLiteral("delete every cookie but those of the sites kept (--keep-cookies-of)"),
         cookies},
        {QLatin1Char('b'), QStringLiteral("the cache of temporary files"),
         QStringLiteral("empty the cache of temporary files"), cache},
        {QLatin1Char('h'), QStringLiteral("the history"), QStringLiteral("clear the URL history"),
         history},
        {QLatin1Char('m'), QStringLiteral("the run dialog's list and the recent documents"),
         QStringLiteral("empty the run dialog's list and the recent documents"), mruLists},
        {QLatin1Char('e'), QStringLiteral("the typed addresses"),
         QStringLiteral("delete the typed addresses"), typedAddresses},
        {QLatin1Char('n'),
         QStringLiteral("a closing message"),
         QStringLiteral("show a closing message"),
         {}},
        {QLatin1Char('r'), QStringLiteral("the start-up shortcut"),
         QStringLiteral("remove the start-up shortcut of the automatic clean-up"), startupShortcut},
    };
    return table;
}

Outcome Cleaner::run(Mode mode, const Context &context) const
{
    const PrefixContext::Use use(context.prefix);
    const common::ErasureBatch erasures;
    try {
        const common::ErasureCounts before = common::erasureCounts();
        Outcome outcome = work(mode, context);
        common::ErasureBatch::settle();
        const common::ErasureCounts after = common::erasureCounts();
        outcome.contentKept = int(after.keptByOtherLink - before.keptByOtherLink);
        if (common::overwriting())
            outcome.notOverwritten = int(after.unlinkedOnly - before.unlinkedOnly);
        return outcome;
    } catch (const std::exception &e) {
        Outcome failed;
        failed.reasons << QStringLiteral("it failed: ") + QString::fromLocal8Bit(e.what());
        return failed;
    }
}

const Cleaner *cleanerFor(QChar letter)
{
    for (const Cleaner &cleaner : cleaners())
        if (cleaner.letter == letter)
            return &cleaner;
    return nullptr;
}

QString letters()
{
    QString all;
    for (const Cleaner &cleaner : cleaners())
        all += cleaner.letter;
    return all;
}

bool isLetters(QStringView word)
{
    for (const QChar c : word)
        if (!cleanerFor(c))
            return false;
    return true;
}

QString report(const Outcome &outcome)
{
    const QString reasons =
        outcome.reasons.isEmpty() ? whyItStayed() : outcome.reasons.join(QStringLiteral("; "));
    if (outcome.done()) {
        QString done = QStringLiteral("%1 of %1 removed").arg(outcome.found);
        if (outcome.contentKept > 0)
            done += QStringLiteral(" (%1 removed, content kept by another link)")
                        .arg(outcome.contentKept);
        if (outcome.notOverwritten > 0)
            done += QStringLiteral(" (%1 removed without being overwritten)")
                        .arg(outcome.notOverwritten);
        return done;
    }
    if (outcome.stayed == 0)
        return QStringLiteral("not done completely: ") + reasons;
    return QStringLiteral("%1 of %2 stayed: %3")
        .arg(outcome.stayed)
        .arg(outcome.found)
        .arg(reasons);
}

QString stepReport(QChar letter, const Outcome &outcome)
{
    return QStringLiteral("%1, %2: %3").arg(letter).arg(cleanerFor(letter)->name, report(outcome));
}

QStringList previewLines(QChar letter, const Outcome &outcome)
{
    QStringList lines{QString(letter) + QStringLiteral("  ") + outcome.summary};
    // The run leaves what it cannot read as it is, and its step fails.
    for (const QString &reason : outcome.reasons)
        lines << QStringLiteral("   %1: it stays, and \"%2\" would not be done")
                     .arg(reason, QString(letter));
    return lines;
}

} // namespace cleanup
