#include "platform/UrlCache.h"

#include "platform/AtomicFile.h"
#include "platform/FileTime.h"
#include "platform/IndexDatLayout.h"
#include "platform/IndexEditor.h"
#include "platform/UrlCacheNames.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace urlcache {

namespace {

constexpr quint32 ContentSubdirectories = 4;
constexpr quint32 StickyExemptSeconds = 86400;

// Closes a descriptor when it goes out of scope.
struct Fd
{
    int fd = -1;
    ~Fd()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

QString decode(QByteArrayView bytes)
{
    return QFile::decodeName(bytes.toByteArray());
}

quint64 fileTimeOf(const struct timespec &t)
{
    return platform::fileTimeFromDateTime(QDateTime::fromSecsSinceEpoch(t.tv_sec, Qt::UTC)) +
           quint64(t.tv_nsec / 100);
}

bool writeNewFile(const QString &path, const QByteArray &content, quint64 &writeTime)
{
    Fd f{
        ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644)};
    if (f.fd < 0)
        return false;
    struct stat st;
    if (!AtomicFile::writeAll(f.fd, content) || ::fstat(f.fd, &st) != 0) {
        // Ours alone (O_EXCL): a part of a file no record names would only linger.
        ::unlink(QFile::encodeName(path).constData());
        return false;
    }
    writeTime = fileTimeOf(st.st_mtim);
    return true;
}

} // namespace

UrlCacheContainer::UrlCacheContainer(ContainerKind kind, QString folder)
    : m_kind(kind), m_folder(std::move(folder)), m_folderBytes(QFile::encodeName(m_folder))
{
}

QString UrlCacheContainer::indexPath() const
{
    return m_folder + QStringLiteral("/index.dat");
}

QByteArray UrlCacheContainer::prefix() const
{
    switch (m_kind) {
    case ContainerKind::Cookies:
        return "Cookie:";
    case ContainerKind::History:
        return "Visited:";
    case ContainerKind::Content:
        break;
    }
    return "";
}

quint32 UrlCacheContainer::defaultEntryType() const
{
    switch (m_kind) {
    case ContainerKind::Cookies:
        return entrytype::Cookie;
    case ContainerKind::History:
        return entrytype::UrlHistory;
    case ContainerKind::Content:
        break;
    }
    return entrytype::Normal;
}

IndexFile *UrlCacheContainer::file()
{
    if (!m_file && !m_folder.isEmpty())
        m_file = IndexFile::open(indexPath());
    return m_file.get();
}

bool UrlCacheContainer::ensureIndex()
{
    if (m_folder.isEmpty())
        return false;
    if (QFile::exists(indexPath()))
        return file() != nullptr;
    std::vector<QByteArray> dirs;
    if (m_kind == ContainerKind::Content) {
        const quint64 now = platform::currentFileTime();
        for (quint32 i = 0; i < ContentSubdirectories; ++i) {
            dirs.push_back(newSubdirectoryName(m_folder, i, now));
            if (!QDir().mkpath(m_folder + '/' + QString::fromLatin1(dirs.back())))
                return false;
        }
    }
    // A container made meanwhile by someone else is as good as ours.
    IndexFile::create(indexPath(), dirs);
    return file() != nullptr;
}

QByteArrayView UrlCacheContainer::subdirectory(const IndexView &view, const UrlRecord &record) const
{
    if (record.dirIndex == layout::NoDirectory)
        return QByteArrayView("", 0);
    if (record.dirIndex >= view.directories().size())
        return {};
    const QByteArrayView name = view.directories()[record.dirIndex].name;
    return isPlainFileName(name) ? name : QByteArrayView();
}

QString UrlCacheContainer::localFilePath(const IndexView &view, const UrlRecord &record) const
{
    return QFile::decodeName(localFilePathBytes(view, record));
}

QByteArray UrlCacheContainer::localFilePathBytes(const IndexView &view,
                                                 const UrlRecord &record) const
{
    if (!record.hasLocalName || !isPlainFileName(record.localName))
        return {};
    const QByteArrayView dir = subdirectory(view, record);
    if (dir.isNull())
        return {};
    QByteArray path;
    path.reserve(m_folderBytes.size() + dir.size() + record.localName.size() + 2);
    path += m_folderBytes;
    path += '/';
    if (!dir.isEmpty()) {
        path += dir;
        path += '/';
    }
    path += record.localName;
    return path;
}

UrlCacheContainer::FileRemoval UrlCacheContainer::removeLocalFile(const IndexView &view,
                                                                  const UrlRecord &record) const
{
    if (!record.hasLocalName || !isPlainFileName(record.localName))
        return FileRemoval::Kept;
    const QByteArrayView dir = subdirectory(view, record);
    if (dir.isNull())
        return FileRemoval::Kept;
    Fd folder{::open(QFile::encodeName(m_folder).constData(), O_DIRECTORY | O_CLOEXEC)};
    if (folder.fd < 0)
        return FileRemoval::Kept;
    Fd sub;
    int dirFd = folder.fd;
    if (!dir.isEmpty()) {
        // The subfolder itself must not be a link leading elsewhere.
        sub.fd = ::openat(folder.fd, dir.toByteArray().constData(),
                          O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (sub.fd < 0)
            return FileRemoval::Kept;
        dirFd = sub.fd;
    }
    const QByteArray name = record.localName.toByteArray();
    struct stat st;
    if (::fstatat(dirFd, name.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0 ||
        !(S_ISREG(st.st_mode) || S_ISLNK(st.st_mode)))
        return FileRemoval::Kept;
    if (::unlinkat(dirFd, name.constData(), 0) == 0)
        return FileRemoval::Removed;
    return errno == ENOENT ? FileRemoval::Kept : FileRemoval::InUse;
}

UrlCache::UrlCache(std::shared_ptr<UrlCacheEnvironment> environment)
    : m_environment(std::move(environment)), m_userName(m_environment->userName())
{
    const ShellCacheFolders f = m_environment->folders();
    const auto under = [](const QString &base, const char *suffix) {
        return base.isEmpty() ? QString() : base + QLatin1String(suffix);
    };
    m_containers[0] =
        std::make_unique<UrlCacheContainer>(ContainerKind::Content, under(f.cache, "/Content.IE5"));
    m_containers[1] = std::make_unique<UrlCacheContainer>(ContainerKind::Cookies, f.cookies);
    m_containers[2] = std::make_unique<UrlCacheContainer>(ContainerKind::History,
                                                          under(f.history, "/History.IE5"));
}

UrlCacheContainer &UrlCache::container(ContainerKind kind)
{
    return *m_containers[size_t(kind)];
}

UrlCacheContainer &UrlCache::containerForUrl(QByteArrayView url)
{
    if (url.startsWith("Cookie:"))
        return container(ContainerKind::Cookies);
    if (url.startsWith("Visited:"))
        return container(ContainerKind::History);
    return container(ContainerKind::Content);
}

UrlCache::DeleteResult UrlCache::deleteEntry(QByteArrayView url)
{
    UrlCacheContainer &c = containerForUrl(url);
    IndexFile *file = c.file();
    if (!file)
        return DeleteResult::NotFound;
    IndexLock lock(*file, true);
    if (!lock.view())
        return DeleteResult::NotFound;
    const auto record = lock.view()->find(url);
    if (!record)
        return DeleteResult::NotFound;
    const auto lease = m_environment->acquireWriteLease();
    if (!lease || !file->writable() || !IndexEditor(*file).ownsBlocks(*record))
        return DeleteResult::ReadOnly;
    if (c.removeLocalFile(*lock.view(), *record) == UrlCacheContainer::FileRemoval::InUse)
        return DeleteResult::FileInUse;
    IndexEditor(*file).removeRecord(*record);
    return DeleteResult::Deleted;
}

std::optional<QByteArray> UrlCache::writeLocalFile(UrlCacheContainer &c, const IndexView &view,
                                                   quint8 dir, const CommitRequest &request,
                                                   quint64 &writeTime)
{
    QString folder = c.folder();
    if (dir != layout::NoDirectory) {
        const QByteArrayView sub = view.directories()[dir].name;
        if (!isPlainFileName(sub))
            return std::nullopt;
        folder += '/' + decode(sub);
    }
    if (!QDir().mkpath(folder))
        return std::nullopt;
    const auto exists = [&](const QByteArray &name) {
        return QFile::exists(folder + '/' + decode(name));
    };
    const QByteArray name =
        newLocalFileName(request.url, request.extension, exists, platform::currentFileTime());
    if (!writeNewFile(folder + '/' + decode(name), request.fileContent, writeTime))
        return std::nullopt;
    return name;
}

std::optional<QString> UrlCache::commitEntry(const CommitRequest &request)
{
    UrlCacheContainer &c = containerForUrl(request.url);
    const auto lease = m_environment->acquireWriteLease();
    if (!lease || !c.ensureIndex() || !c.file()->writable())
        return std::nullopt;
    IndexFile &file = *c.file();
    IndexLock lock(file, true);
    if (!lock.view())
        return std::nullopt;

    NewUrlRecord rec;
    if (const auto old = file.view()->find(request.url)) {
        rec.hitRate = old->hitRate + 1;
        if (!IndexEditor(file).ownsBlocks(*old))
            return std::nullopt;
        if (c.removeLocalFile(*file.view(), *old) == UrlCacheContainer::FileRemoval::InUse)
            return std::nullopt;
        IndexEditor(file).removeRecord(*old);
    }
    const IndexView &view = *file.view();
    rec.dirIndex = layout::NoDirectory;
    if (c.kind() == ContainerKind::Content && !view.directories().empty())
        rec.dirIndex =
            quint8(QRandomGenerator::global()->bounded(quint32(view.directories().size())));
    QString localPath;
    if (request.withFile) {
        const auto name = writeLocalFile(c, view, rec.dirIndex, request, rec.fileWriteTime);
        if (!name)
            return std::nullopt;
        rec.localName = *name;
        rec.fileSize = quint64(request.fileContent.size());
        UrlRecord placed;
        placed.localName = rec.localName;
        placed.hasLocalName = true;
        placed.dirIndex = rec.dirIndex;
        localPath = c.localFilePath(view, placed);
    }
    const quint64 now = platform::currentFileTime();
    rec.url = request.url;
    rec.headerInfo = request.headerInfo;
    rec.extension = request.extension;
    rec.entryType = request.entryType | c.defaultEntryType();
    rec.lastModified = request.lastModified;
    rec.lastAccess = now;
    rec.lastSync = now;
    rec.expire = request.expire;
    rec.exemptDelta = (rec.entryType & entrytype::Sticky) ? StickyExemptSeconds : 0;
    if (!IndexEditor(file).addRecord(rec)) {
        if (!localPath.isEmpty())
            QFile::remove(localPath);
        return std::nullopt;
    }
    return localPath;
}

} // namespace urlcache
