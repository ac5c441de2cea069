// navolis-seed: fills the target prefix with sample browser data, or lists what is there.

#include "SeedCache.h"
#include "SeedProfile.h"

#include "platform/context/DefaultPrefix.h"
#include "platform/context/PrefixContext.h"
#include "platform/prefix/Prefix.h"
#include "platform/urlcache/PrefixUrlCacheEnvironment.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>
#include <optional>

namespace {

int usage(QTextStream &err)
{
    err << "usage: navolis-seed demo\n"
           "       navolis-seed cache|cookies|history N\n"
           "       navolis-seed list cookies|cache|history\n"
           "Works on the target prefix (WINEPREFIX, else ~/.wine, else Navolis' own).\n";
    return 2;
}

// A prefix named by WINEPREFIX that does not exist yet is made as Navolis makes its own; an
// existing folder that holds anything but no user.reg is no prefix and is left alone.
bool preparePrefix(QTextStream &err)
{
    const QString root = PrefixContext::chooseAtStart().root();
    const QDir folder(root);
    if (QFileInfo::exists(root + QStringLiteral("/user.reg")))
        return true;
    if (folder.exists() && !folder.isEmpty()) {
        err << "navolis-seed: " << root
            << " holds no user.reg: not a Wine prefix, nothing written\n";
        return false;
    }
    if (!DefaultPrefix::ensure(root, DefaultPrefix::loginName())) {
        err << "navolis-seed: cannot create a prefix in " << root << ", nothing written\n";
        return false;
    }
    return true;
}

int generate(const QString &what, int count, QTextStream &out, QTextStream &err)
{
    urlcache::UrlCache cache(urlcache::prefixUrlCacheEnvironment());
    const urlcache::UrlCache::Batch oneRun(cache);
    int added = 0;
    if (what == "cache")
        added = seed::addCacheEntries(cache, count);
    else if (what == "cookies")
        added = seed::addCookieEntries(cache, count);
    else if (what == "history")
        added = seed::addHistoryEntries(cache, count);
    else
        return usage(err);
    out << "added " << added << " " << what << " entries\n";
    if (added < count) {
        err << "stopped: the container is full, or the prefix is in use by Wine\n";
        return 1;
    }
    return 0;
}

int demo(QTextStream &out, QTextStream &err)
{
    urlcache::UrlCache cache(urlcache::prefixUrlCacheEnvironment());
    std::optional<urlcache::UrlCache::Batch> oneRun(cache);
    const bool cacheOk = seed::addDemoEntries(cache);
    oneRun.reset();
    seed::addDemoRegistryValues();
    const bool favoritesOk = seed::addDemoFavorites();
    if (!cacheOk || !favoritesOk) {
        err << "navolis-seed: some demo data could not be written to " << Prefix::target().root()
            << " (is Wine using it?)\n";
        return 1;
    }
    out << "demo data written to " << Prefix::target().root() << '\n';
    return 0;
}

int list(const QString &what, QTextStream &out, QTextStream &err)
{
    const char *pattern = nullptr;
    if (what == "cookies")
        pattern = "Cookie:";
    else if (what == "history")
        pattern = "Visited:";
    else if (what == "cache")
        pattern = "";
    else
        return usage(err);
    seed::listEntries(pattern, out);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const QStringList args = app.arguments().mid(1);
    if (!args.isEmpty() && args[0] != QLatin1String("list") && !preparePrefix(err))
        return 1;
    if (args.size() == 1 && args[0] == "demo")
        return demo(out, err);
    if (args.size() == 2 && args[0] == "list")
        return list(args[1], out, err);
    bool ok = false;
    const int count = args.size() == 2 ? args[1].toInt(&ok) : 0;
    if (ok && count >= 0)
        return generate(args[0], count, out, err);
    return usage(err);
}
