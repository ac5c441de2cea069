#include "platform/prefix/DosPaths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

namespace DosPaths {

namespace {

const QString unixPrefix = QStringLiteral("\\\\?\\unix\\");

bool statPath(const QString &path, struct stat &st)
{
    return ::stat(QFile::encodeName(path).constData(), &st) == 0;
}

// The entry of `folder` named `name`, or its spelling that differs only in case.
QString matchComponent(const QString &folder, const QString &name, bool &found)
{
    if (QFileInfo::exists(folder + '/' + name)) {
        found = true;
        return name;
    }
    const QStringList entries = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden |
                                                       QDir::System | QDir::NoDotAndDotDot);
    for (const QString &entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0) {
            found = true;
            return entry;
        }
    }
    found = false;
    return name;
}

QStringList components(QStringView path)
{
    QStringList parts;
    for (const QStringView part : path.tokenize(u'\\', Qt::SkipEmptyParts)) {
        for (const QStringView piece : part.tokenize(u'/', Qt::SkipEmptyParts)) {
            if (piece == u".")
                continue;
            if (piece == u"..") {
                if (!parts.isEmpty())
                    parts.removeLast();
                continue;
            }
            parts << piece.toString();
        }
    }
    return parts;
}

} // namespace

QString toHostPath(const Prefix &prefix, QStringView windowsPath)
{
    if (windowsPath.startsWith(unixPrefix, Qt::CaseInsensitive))
        return '/' + components(windowsPath.mid(unixPrefix.size())).join('/');
    if (windowsPath.size() < 2 || windowsPath.at(1) != u':' || !windowsPath.at(0).isLetter() ||
        windowsPath.at(0).unicode() > 127)
        return {};
    const QString device = prefix.dosDevicesPath() + '/' + windowsPath.at(0).toLower() + ':';
    const QFileInfo drive(device);
    if (!drive.isDir())
        return {};
    QString host = drive.canonicalFilePath();
    bool found = true;
    for (const QString &part : components(windowsPath.mid(2))) {
        const QString name = found ? matchComponent(host, part, found) : part;
        host += (host.endsWith('/') ? "" : "/") + name;
    }
    return host;
}

QString toWindowsPath(const Prefix &prefix, const QString &hostPath)
{
    QString path =
        QDir::isAbsolutePath(hostPath) ? hostPath : QDir::current().absoluteFilePath(hostPath);
    QStringList parts = path.split('/', Qt::SkipEmptyParts);

    struct Drive
    {
        QChar letter;
        dev_t dev;
        ino_t ino;
    };
    std::vector<Drive> drives;
    for (char letter = 'a'; letter <= 'z'; ++letter) {
        struct stat st;
        if (statPath(prefix.dosDevicesPath() + '/' + letter + ':', st) && S_ISDIR(st.st_mode))
            drives.push_back({QChar(letter).toUpper(), st.st_dev, st.st_ino});
    }
    for (qsizetype depth = parts.size(); depth >= 0 && !drives.empty(); --depth) {
        struct stat st;
        const QString ancestor = '/' + parts.mid(0, depth).join('/');
        if (!statPath(ancestor, st) || !S_ISDIR(st.st_mode))
            continue;
        for (const Drive &drive : drives) {
            if (drive.dev == st.st_dev && drive.ino == st.st_ino)
                return drive.letter + QStringLiteral(":\\") + parts.mid(depth).join('\\');
        }
    }
    return unixPrefix + parts.join('\\');
}

} // namespace DosPaths
