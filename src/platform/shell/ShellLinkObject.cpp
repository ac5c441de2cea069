#include "platform/shell/ShellLinkObject.h"

#include "platform/kernel/AtomicFile.h"
#include "platform/kernel/FileTime.h"
#include "platform/kernel/LogCategories.h"
#include "platform/kernel/PrefixFileRead.h"
#include "platform/prefix/DosPaths.h"
#include "platform/prefix/WineServer.h"
#include "platform/shell/ShellItemIds.h"

#include <QDateTime>
#include <QFileInfo>
#include <QStringList>

namespace {

quint64 fileTime(const QDateTime &stamp)
{
    return stamp.isValid()
               ? quint64(stamp.toMSecsSinceEpoch() * 10000) + platform::UnixEpochAsFileTime
               : 0;
}

std::optional<QString> optionalText(const QString &text)
{
    return text.isEmpty() ? std::nullopt : std::optional<QString>(text);
}

// "C:\a\b" and "..\c" give "C:\a\c"; ".." stops at the drive.
QString joinWindowsPath(const QString &folder, const QString &relative)
{
    QStringList parts = folder.split('\\', Qt::SkipEmptyParts);
    for (const QString &part : relative.split('\\', Qt::SkipEmptyParts)) {
        if (part == "..") {
            if (parts.size() > 1)
                parts.removeLast();
        } else if (part != ".") {
            parts << part;
        }
    }
    return parts.size() == 1 ? parts.first() + '\\' : parts.join('\\');
}

} // namespace

ShellLinkObject::ShellLinkObject(Prefix prefix) : m_prefix(std::move(prefix)) {}

bool ShellLinkObject::resolve() const
{
    const std::optional<QString> target = path();
    if (!target || target->isEmpty())
        return false;
    const QString host = DosPaths::toHostPath(m_prefix, *target);
    return !host.isEmpty() && QFileInfo::exists(host);
}

QString ShellLinkObject::hostFileName(const QString &fileName) const
{
    if (fileName.startsWith('/'))
        return fileName;
    return DosPaths::toHostPath(m_prefix, fileName);
}

QString ShellLinkObject::windowsPath(const QString &path) const
{
    return path.startsWith('/') ? DosPaths::toWindowsPath(m_prefix, path) : path;
}

bool ShellLinkObject::load(const QString &fileName)
{
    const QString host = hostFileName(fileName);
    if (host.isEmpty())
        return false;
    const PrefixFile::Read file =
        PrefixFile::readRegularFile(host, PrefixFile::SmallFileLimit, PrefixFile::Links::Refuse);
    if (!file.ok()) {
        qCDebug(lcShell) << "shortcut not read:" << host << PrefixFile::describe(file.error);
        return false;
    }
    const auto link = ShellLinkFormat::parse(file.bytes);
    if (!link)
        return false;
    m_link = *link;
    m_linkFolder = DosPaths::toWindowsPath(m_prefix, QFileInfo(host).absolutePath());
    return true;
}

bool ShellLinkObject::save(const QString &fileName) const
{
    const QString host = hostFileName(fileName);
    if (host.isEmpty())
        return false;
    const PrefixWriteLock lock(m_prefix.root());
    return lock.isHeld() && AtomicFile::replace(host, ShellLinkFormat::serialize(m_link));
}

std::optional<QString> ShellLinkObject::path() const
{
    if (m_link.linkInfoPath && !m_link.linkInfoPath->isEmpty())
        return m_link.linkInfoPath;
    if (const QString fromIds = ShellItemIds::toWindowsPath(m_link.idList); !fromIds.isEmpty())
        return fromIds;
    if (!m_link.environmentTarget.isEmpty())
        return m_link.environmentTarget;
    return relativeTarget();
}

std::optional<QString> ShellLinkObject::relativeTarget() const
{
    if (!m_link.relativePath || m_link.relativePath->isEmpty() || m_linkFolder.isEmpty())
        return std::nullopt;
    return joinWindowsPath(m_linkFolder, *m_link.relativePath);
}

bool ShellLinkObject::setPath(const QString &path)
{
    const QString target = windowsPath(path);
    if (target.size() >= maxPath)
        return false;
    m_link.relativePath.reset();
    m_link.environmentTarget.clear();
    m_link.linkInfoPath = optionalText(target);
    m_link.idList = ShellItemIds::fromWindowsPath(m_prefix, target);

    const QString host = target.isEmpty() ? QString() : DosPaths::toHostPath(m_prefix, target);
    const QFileInfo info(host);
    const bool known = !host.isEmpty() && info.exists();
    m_link.fileAttributes = known && info.isDir() ? 0x10 : 0x20;
    m_link.fileSize = known && !info.isDir() ? quint32(info.size()) : 0;
    m_link.creationTime = known ? fileTime(info.birthTime()) : 0;
    m_link.accessTime = known ? fileTime(info.lastRead()) : 0;
    m_link.writeTime = known ? fileTime(info.lastModified()) : 0;
    return true;
}

bool ShellLinkObject::setWorkingDirectory(const QString &folder)
{
    const QString path = windowsPath(folder);
    if (path.size() >= maxPath)
        return false;
    m_link.workingDir = optionalText(path);
    return true;
}

bool ShellLinkObject::setDescription(const QString &text)
{
    if (text.size() >= infoTipSize)
        return false;
    m_link.name = optionalText(text);
    return true;
}

bool ShellLinkObject::setArguments(const QString &text)
{
    if (text.size() >= infoTipSize)
        return false;
    m_link.arguments = optionalText(text);
    return true;
}

bool ShellLinkObject::setIconLocation(const QString &file, int index)
{
    const QString path = windowsPath(file);
    if (path.size() >= maxPath)
        return false;
    m_link.iconLocation = optionalText(path);
    m_link.iconIndex = index;
    return true;
}
