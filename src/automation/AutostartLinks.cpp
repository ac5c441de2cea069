#include "automation/AutostartLinks.h"

#include "automation/ShellLnk.h"
#include "common/Erase.h"
#include "platform/kernel/AtomicFile.h"
#include "platform/kernel/LogCategories.h"
#include "platform/kernel/XdgFolders.h"
#include "platform/prefix/DosPaths.h"
#include "platform/prefix/FileCalls.h"
#include "platform/prefix/Prefix.h"
#include "platform/registry/KeyPaths.h"
#include "platform/registry/UserStrings.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace AutostartLinks {

namespace {

const QString cleanupLetters = QStringLiteral("cbhmenr");

bool onlyCleanupLetters(const QString &arguments)
{
    if (arguments.isEmpty())
        return false;
    for (const QChar c : arguments)
        if (!cleanupLetters.contains(c))
            return false;
    return true;
}

QString canonical(const QString &hostPath)
{
    const QString resolved = QFileInfo(hostPath).canonicalFilePath();
    return resolved.isEmpty() ? hostPath : resolved;
}

// An argument of the Exec key, quoted as the desktop entry format asks where needed.
QString execArgument(const QString &argument)
{
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    bool plain = !argument.isEmpty();
    for (const QChar c : argument)
        plain = plain && !reserved.contains(c);
    if (plain)
        return QString(argument).replace(u'%', QStringLiteral("%%"));
    QString quoted;
    for (const QChar c : argument) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            quoted += u'\\';
        quoted += c;
    }
    // A literal percent sign is doubled in every case.
    return u'"' + quoted.replace(u'%', QStringLiteral("%%")) + u'"';
}

QString entryValue(QString text)
{
    return text.replace(u'\\', QStringLiteral("\\\\")).replace(u'\n', QStringLiteral("\\n"));
}

} // namespace

QString startupFolder()
{
    QString folder = ReadUserString(KeyPaths::ShellFolders, QStringLiteral("STARTUP"));
    if (folder.size() <= 3)
        return {};
    if (!folder.endsWith(u'\\'))
        folder += u'\\';
    return folder;
}

QStringList linksStarting(const QString &program)
{
    const QString folder = startupFolder();
    if (folder.isEmpty())
        return {};
    const Prefix prefix = Prefix::target();
    const QString wanted = canonical(program);
    QStringList links;
    for (const QString &name : win::FindFileNames(folder)) {
        if (!name.endsWith(QStringLiteral(".lnk"), Qt::CaseInsensitive))
            continue;
        TShellLink link;
        if (!link.LoadFromFile(folder + name) || !onlyCleanupLetters(link.arguments()))
            continue;
        const QString target = DosPaths::toHostPath(prefix, link.path());
        if (!target.isEmpty() && canonical(target) == wanted)
            links << folder + name;
    }
    return links;
}

namespace {

QString autostartFolder()
{
    return xdg::configHome() + QStringLiteral("/autostart/");
}

bool writeEntry(const QString &path, const QString &name, const QString &comment,
                const QString &exec)
{
    const QString entry = QStringLiteral("[Desktop Entry]\n"
                                         "Type=Application\n"
                                         "Name=%1\n"
                                         "Comment=%2\n"
                                         "Exec=%3\n"
                                         "Terminal=false\n"
                                         "NoDisplay=true\n"
                                         "X-GNOME-Autostart-enabled=true\n")
                              .arg(entryValue(name), entryValue(comment), entryValue(exec));
    if (!QDir().mkpath(QFileInfo(path).absolutePath()) ||
        !AtomicFile::replace(path, entry.toUtf8())) {
        qCWarning(lcShell) << "cannot write the autostart entry" << path;
        return false;
    }
    return true;
}

bool removeEntry(const QString &path)
{
    const common::Erasure erased = common::erase(QFile::encodeName(path).toStdString());
    return common::removed(erased) || erased == common::Erasure::Missing;
}

} // namespace

QString desktopEntryPath()
{
    const QString root = QDir(Prefix::target().root()).absolutePath();
    const QString id = QString::fromLatin1(
        QCryptographicHash::hash(QFile::encodeName(root), QCryptographicHash::Sha256)
            .toHex()
            .left(12));
    return autostartFolder() + QStringLiteral("navolis-") + id + QStringLiteral(".desktop");
}

bool writeDesktopEntry(const QString &name, const QString &program, const QString &letters)
{
    const QString prefixRoot = QDir(Prefix::target().root()).absolutePath();
    const QString exec =
        QStringList{QStringLiteral("env"), execArgument(QStringLiteral("WINEPREFIX=") + prefixRoot),
                    execArgument(program), execArgument(letters)}
            .join(u' ');
    return writeEntry(desktopEntryPath(), name,
                      QStringLiteral("Cleans the traces in the prefix %1 at login").arg(prefixRoot),
                      exec);
}

bool removeDesktopEntry()
{
    return removeEntry(desktopEntryPath());
}

QString allPrefixesEntryPath()
{
    return autostartFolder() + QStringLiteral("navolis-all-prefixes.desktop");
}

bool writeAllPrefixesEntry(const QString &name, const QString &program, const QString &letters)
{
    const QString exec =
        QStringList{execArgument(program), QStringLiteral("--all-prefixes"), execArgument(letters)}
            .join(u' ');
    return writeEntry(allPrefixesEntryPath(), name,
                      QStringLiteral("Cleans the traces in every Wine prefix at login"), exec);
}

std::optional<QString> allPrefixesEntryLetters()
{
    QFile file(allPrefixesEntryPath());
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    for (const QByteArray &line : file.read(64 * 1024).split('\n')) {
        if (!line.startsWith("Exec="))
            continue;
        const QList<QByteArray> words = line.trimmed().split(' ');
        const QString letters = QString::fromUtf8(words.last());
        if (words.size() >= 3 && words.at(words.size() - 2) == "--all-prefixes")
            return letters;
    }
    return std::nullopt;
}

bool removeSinglePrefixEntries()
{
    static const QRegularExpression single(QStringLiteral("^navolis-[0-9a-f]{12}\\.desktop$"));
    const QDir folder(autostartFolder());
    bool allGone = true;
    for (const QString &name : folder.entryList(QDir::Files | QDir::Hidden | QDir::System))
        if (single.match(name).hasMatch())
            allGone = removeEntry(folder.filePath(name)) && allGone;
    return allGone;
}

bool removeAllPrefixesEntry()
{
    return removeEntry(allPrefixesEntryPath());
}

} // namespace AutostartLinks
