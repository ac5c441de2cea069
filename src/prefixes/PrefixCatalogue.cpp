#include "prefixes/PrefixCatalogue.h"

#include "platform/kernel/PrefixFileRead.h"
#include "platform/prefix/Prefix.h"
#include "prefixes/GamesConfig.h"
#include "prefixes/PrefixesLog.h"
#include "prefixes/SteamFiles.h"
#include "prefixes/YamlKeys.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

#include <algorithm>
#include <cerrno>

namespace prefixes {

namespace {

constexpr QByteArrayView registryHeader = "WINE REGISTRY Version 2";

QString environmentFolder(const char *variable, const QString &fallback)
{
    const QString value = qEnvironmentVariable(variable);
    // A relative path in these variables is invalid and ignored.
    return value.startsWith(u'/') ? QDir::cleanPath(value) : fallback;
}

QString expandHome(const QString &path, const QString &home)
{
    if (path == u"~" || path.startsWith(u"~/"))
        return home + path.mid(1);
    return path;
}

QStringList subfolders(const QString &folder)
{
    return QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
}

QStringList filesEnding(const QString &folder, const QString &suffix)
{
    return QDir(folder).entryList({u'*' + suffix}, QDir::Files | QDir::Hidden, QDir::Name);
}

bool isNumber(const QString &text)
{
    return !text.isEmpty() &&
           std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

// The bytes of a launcher's configuration file; nothing, with a log line, when it is missing,
// no regular file, too large or unreadable.
std::optional<QByteArray> readConfiguration(const QString &path)
{
    const PrefixFile::Read read =
        PrefixFile::readRegularFile(path, PrefixFile::SmallFileLimit, PrefixFile::Links::Follow);
    const int openError = errno;
    if (read.ok())
        return read.bytes;
    // Many a launcher's folder lacks one of its files (a non-Steam game has no manifest): only
    // the debug rules show that.
    if (read.error == PrefixFile::Error::CannotOpen && openError == ENOENT)
        qCDebug(lcPrefixes) << path << "is missing";
    else
        qCWarning(lcPrefixes) << path << PrefixFile::describe(read.error) << "and is skipped";
    return std::nullopt;
}

// A folder named in a configuration file, absolute and clean; empty when it is unusable.
QString configuredFolder(const QString &named, const QString &home, const QString &file)
{
    const QString path = expandHome(named, home);
    if (path.isEmpty())
        return {};
    if (!QDir::isAbsolutePath(path)) {
        qCInfo(lcPrefixes) << file << "names the relative folder" << path << "which is skipped";
        return {};
    }
    return QDir::cleanPath(path);
}

// Lutris adds the time it made a game's file, ten digits, to its slug: gog-galaxy-1700000000.yml.
// A slug that ends in a short number keeps it: half-life-2.yml.
QString lutrisSlug(const QString &fileName)
{
    QString slug = fileName.chopped(4); // ".yml"
    const qsizetype dash = slug.lastIndexOf(u'-');
    if (dash > 0 && slug.size() - dash - 1 >= 10 && isNumber(slug.mid(dash + 1)))
        slug.truncate(dash);
    return slug;
}

class Catalogue
{
public:
    explicit Catalogue(const Places &places) : m_places(places) {}

    std::vector<FoundPrefix> found;

    void addWineAndOwn()
    {
        if (!m_places.winePrefix.isEmpty()) {
            const QString named = QDir(m_places.winePrefix).absolutePath();
            add(Kind::Named, QFileInfo(QDir::cleanPath(named)).fileName(), named);
        }
        add(Kind::Wine, QStringLiteral("wine"), m_places.home + "/.wine");
        addEach(Kind::Winetricks, m_places.dataHome + "/wineprefixes");
        if (!m_places.ownPrefix.isEmpty())
            add(Kind::Own, QStringLiteral("Navolis"), m_places.ownPrefix);
    }

    void addSteam()
    {
        const QString &home = m_places.home;
        const QString flatpak = home + "/.var/app/com.valvesoftware.Steam";
        const QStringList roots = {
            home + "/.steam/steam", // links that Steam keeps to its installed root
            home + "/.steam/root",
            m_places.dataHome + "/Steam",
            flatpak + "/.local/share/Steam", // Flatpak, in either of its layouts
            flatpak + "/data/Steam",
            home + "/snap/steam/common/.local/share/Steam", // Snap
        };
        QStringList libraries;
        QSet<QString> realLibraries;
        const auto addLibrary = [&](const QString &folder) {
            const QString real = QFileInfo(folder).canonicalFilePath();
            if (!real.isEmpty() && !realLibraries.contains(real)) {
                realLibraries.insert(real);
                libraries << folder;
            }
        };
        QSet<QString> realRoots;
        for (const QString &root : roots) {
            const QString real = QFileInfo(root).canonicalFilePath();
            if (real.isEmpty() || realRoots.contains(real))
                continue;
            realRoots.insert(real);
            addLibrary(root);
            for (const QString &library : listedLibraries(root))
                addLibrary(library);
        }
        for (const QString &library : libraries)
            addSteamLibrary(library);
    }

    void addBottles()
    {
        const QStringList dataFolders = {
            m_places.dataHome + "/bottles",
            m_places.home + "/.var/app/com.usebottles.bottles/data/bottles",
        };
        for (const QString &folder : dataFolders)
            addBottlesIn(folder + "/bottles");
        for (const QString &folder : dataFolders) {
            if (!QFileInfo(folder).isDir())
                continue;
            const QString settings = folder + "/data.yml";
            const std::optional<QByteArray> text = readConfiguration(settings);
            if (!text)
                continue;
            const std::optional<QString> named = yaml::topLevelValue(*text, u"custom_bottles_path");
            const QString custom =
                configuredFolder(named.value_or(QString()), m_places.home, settings);
            if (!custom.isEmpty())
                addBottlesIn(custom);
        }
    }

    void addLutris()
    {
        const QString flatpak = m_places.home + "/.var/app/net.lutris.Lutris";
        for (const QString &folder :
             {m_places.configHome + "/lutris/games", m_places.dataHome + "/lutris/games",
              flatpak + "/config/lutris/games", flatpak + "/data/lutris/games"}) {
            for (const QString &fileName : filesEnding(folder, QStringLiteral(".yml"))) {
                const QString file = folder + u'/' + fileName;
                const std::optional<QByteArray> text = readConfiguration(file);
                if (!text)
                    continue;
                // A game without a prefix runs natively.
                const std::optional<QString> named = yaml::sectionValue(*text, u"game", u"prefix");
                const QString prefix =
                    configuredFolder(named.value_or(QString()), m_places.home, file);
                if (!prefix.isEmpty())
                    add(Kind::Lutris, lutrisSlug(fileName), prefix);
            }
        }
    }

    void addHeroic()
    {
        for (const QString &folder :
             {m_places.configHome + "/heroic/GamesConfig",
              m_places.home + "/.var/app/com.heroicgameslauncher.hgl/config/heroic/GamesConfig"}) {
            for (const QString &fileName : filesEnding(folder, QStringLiteral(".json"))) {
                const QString file = folder + u'/' + fileName;
                const std::optional<QByteArray> text = readConfiguration(file);
                if (!text)
                    continue;
                const std::optional<QStringList> named = heroic::winePrefixes(*text);
                if (!named) {
                    qCWarning(lcPrefixes) << file << "is damaged and is skipped";
                    continue;
                }
                for (const QString &prefix : *named) {
                    const QString path = configuredFolder(prefix, m_places.home, file);
                    if (!path.isEmpty())
                        add(Kind::Heroic, QFileInfo(path).fileName(), path);
                }
            }
        }
        addEach(Kind::Heroic, m_places.home + "/Games/Heroic/Prefixes");
    }

    void addPlayOnLinuxAndCrossOver()
    {
        addEach(Kind::PlayOnLinux, m_places.home + "/.PlayOnLinux/wineprefix");
        addEach(Kind::CrossOver, m_places.home + "/.cxoffice");
    }

private:
    // Whether `folder` is a prefix that no earlier way led to; it counts as reached from now.
    bool isNewPrefix(const QString &folder)
    {
        if (!isPrefix(folder))
            return false;
        const QString real = QFileInfo(folder).canonicalFilePath();
        if (real.isEmpty() || m_realPrefixes.contains(real))
            return false;
        m_realPrefixes.insert(real);
        return true;
    }

    void add(Kind kind, const QString &name, const QString &folder)
    {
        const QString path = QDir::cleanPath(folder);
        if (isNewPrefix(path))
            found.push_back({kind, name, path});
    }

    // Every prefix directly inside `folder`, named as its folder.
    void addEach(Kind kind, const QString &folder)
    {
        for (const QString &name : subfolders(folder))
            add(kind, name, folder + u'/' + name);
    }

    QStringList listedLibraries(const QString &root)
    {
        const QString file = root + "/steamapps/libraryfolders.vdf";
        const std::optional<QByteArray> text = readConfiguration(file);
        if (!text)
            return {};
        const std::optional<QStringList> listed = steam::libraryFolders(*text);
        if (!listed) {
            qCWarning(lcPrefixes) << file << "is damaged and is skipped";
            return {};
        }
        QStringList folders;
        for (const QString &library : *listed) {
            const QString folder = configuredFolder(library, m_places.home, file);
            if (!folder.isEmpty())
                folders << folder;
        }
        return folders;
    }

    void addSteamLibrary(const QString &library)
    {
        const QString compatData = library + "/steamapps/compatdata";
        for (const QString &appId : subfolders(compatData)) {
            const QString prefix = QDir::cleanPath(compatData + u'/' + appId + "/pfx");
            if (isNumber(appId) && isNewPrefix(prefix))
                found.push_back({Kind::Steam, steamAppName(library, appId), prefix});
        }
    }

    static QString steamAppName(const QString &library, const QString &appId)
    {
        const QString manifest = library + "/steamapps/appmanifest_" + appId + ".acf";
        const std::optional<QByteArray> text = readConfiguration(manifest);
        std::optional<QString> name = text ? steam::appName(*text) : std::nullopt;
        if (text && !name)
            qCWarning(lcPrefixes) << manifest << "is damaged; the app goes by its number";
        return name && !name->isEmpty() ? *name : QStringLiteral("Steam app ") + appId;
    }

    // Each bottle's folder is its prefix; bottle.yml gives the name it shows.
    void addBottlesIn(const QString &folder)
    {
        for (const QString &folderName : subfolders(folder)) {
            const QString bottle = QDir::cleanPath(folder + u'/' + folderName);
            if (!isNewPrefix(bottle))
                continue;
            const std::optional<QByteArray> text = readConfiguration(bottle + "/bottle.yml");
            const QString name =
                text ? yaml::topLevelValue(*text, u"Name").value_or(QString()).trimmed()
                     : QString();
            found.push_back({Kind::Bottles, name.isEmpty() ? folderName : name, bottle});
        }
    }

    const Places &m_places;
    QSet<QString> m_realPrefixes;
};

} // namespace

QString kindWord(Kind kind)
{
    switch (kind) {
    case Kind::Named:
        return QStringLiteral("WINEPREFIX");
    case Kind::Wine:
        return QStringLiteral("wine");
    case Kind::Winetricks:
        return QStringLiteral("winetricks");
    case Kind::Own:
        return QStringLiteral("navolis");
    case Kind::Steam:
        return QStringLiteral("steam");
    case Kind::Bottles:
        return QStringLiteral("bottles");
    case Kind::Lutris:
        return QStringLiteral("lutris");
    case Kind::Heroic:
        return QStringLiteral("heroic");
    case Kind::PlayOnLinux:
        return QStringLiteral("playonlinux");
    case Kind::CrossOver:
        return QStringLiteral("crossover");
    }
    return {};
}

Places Places::fromEnvironment()
{
    Places places;
    const QString home = qEnvironmentVariable("HOME");
    places.home = QDir::cleanPath(home.isEmpty() ? QDir::homePath() : home);
    places.dataHome = environmentFolder("XDG_DATA_HOME", places.home + "/.local/share");
    places.configHome = environmentFolder("XDG_CONFIG_HOME", places.home + "/.config");
    places.winePrefix = qEnvironmentVariable("WINEPREFIX");
    places.ownPrefix = Prefix::embeddedDefaultRoot();
    return places;
}

bool isPrefix(const QString &folder)
{
    if (!QFileInfo(folder + "/drive_c").isDir())
        return false;
    // Only the first line matters: a hive may be hundreds of megabytes.
    const PrefixFile::Read head = PrefixFile::readHead(
        folder + "/user.reg", registryHeader.size() + 2, PrefixFile::Links::Follow);
    if (!head.ok() || !head.bytes.startsWith(registryHeader))
        return false;
    const QByteArrayView rest = QByteArrayView(head.bytes).sliced(registryHeader.size());
    return rest.isEmpty() || rest.startsWith('\n') || rest.startsWith("\r\n");
}

std::vector<FoundPrefix> discover(const Places &places)
{
    Catalogue catalogue(places);
    catalogue.addWineAndOwn();
    catalogue.addSteam();
    catalogue.addBottles();
    catalogue.addLutris();
    catalogue.addHeroic();
    catalogue.addPlayOnLinuxAndCrossOver();
    return std::move(catalogue.found);
}

} // namespace prefixes
