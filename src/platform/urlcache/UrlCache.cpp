#include "platform/urlcache/UrlCache.h"

#include "common/Erase.h"
#include "platform/kernel/AtomicFile.h"
#include "platform/kernel/FileTime.h"
#include "platform/kernel/LogCategories.h"
#include "platform/urlcache/IndexDatLayout.h"
#include "platform/urlcache/IndexEditor.h"
#include "platform/urlcache/PrefixUrlCacheEnvironment.h"
#include "platform/urlcache/UrlCacheNames.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <fcntl.h>
#include <set>
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

// The device and inode of a container folder's index when it is a file of its own.
std::optional<std::pair<dev_t, ino_t>> indexIdentity(const QString &folder)
{
    struct stat st;
    if (folder.isEmpty() ||
        ::lstat(QFile::encodeName(folder + QStringLiteral("/index.dat")).constData(), &st) != 0 ||
        !S_ISREG(st.st_mode))
        return std::nullopt;
    return std::pair{st.st_dev, st.st_ino};
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
        common::erase(QFile::encodeName(path).toStdString());
        return false;
    }
    writeTime = fileTimeOf(st.st_mtim);
    return true;
}

} // namespace

UrlCacheContainer::UrlCacheContainer(ContainerKind kind, QString folder, QString confinementRoot)
    : m_kind(kind), m_folder(std::move(folder)), m_folderBytes(QFile::encodeName(m_folder)),
      m_confinementRoot(std::move(confinementRoot))
{
}

UrlCacheContainer::~UrlCacheContainer()
{
    keepFoldersOpen(false);
}

bool UrlCacheContainer::confined()
{
    if (!m_confined) {
        if (m_confinementRoot.isEmpty()) {
            m_confined = true;
        } else {
            const QString folder = QFileInfo(m_folder).canonicalFilePath();
            const QString root = QFileInfo(m_confinementRoot).canonicalFilePath();
            m_confined = !folder.isEmpty() && !root.isEmpty() && folder.startsWith(root + '/');
            if (!*m_confined)
                qCWarning(lcUrlCache) << "the container folder" << m_folder
                                      << "lies outside the prefix; nothing is deleted from it";
        }
    }
    return *m_confined;
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
        m_file = IndexFile::open(indexPath(),
                                 m_readOnly ? IndexFile::Mode::Read : IndexFile::Mode::Write);
    return m_file.get();
}

bool UrlCacheContainer::unreadable()
{
    struct stat st;
    // A container that is not there is empty; one that is there but no regular file that may
    // be opened (a link, a pipe, a file of another user) cannot be read.
    if (m_folder.isEmpty() || ::lstat(QFile::encodeName(indexPath()).constData(), &st) != 0)
        return false;
    IndexFile *index = file();
    if (!index)
        return true;
    const IndexLock lock(*index, false);
    // One removed since it was opened is no container any more: nothing there.
    return !lock.view() && ::lstat(QFile::encodeName(indexPath()).constData(), &st) == 0;
}

bool UrlCacheContainer::ensureIndex()
{
    if (m_folder.isEmpty() || (m_readOnly && !QFile::exists(indexPath())))
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
    path += hostFileName(record.localName);
    return path;
}

// Wine keeps nothing but index.dat beside the records' files; a name Windows would take for
// it in any case is never a record's file.
bool UrlCacheContainer::isOwnFile(const UrlRecord &record) const
{
    return record.dirIndex == layout::NoDirectory &&
           record.localName.compare("index.dat", Qt::CaseInsensitive) == 0;
}

UrlCacheContainer::FileRemoval UrlCacheContainer::removeLocalFile(const IndexView &view,
                                                                  const UrlRecord &record) const
{
    if (!record.hasLocalName || !isPlainFileName(record.localName) || isOwnFile(record))
        return FileRemoval::Kept;
    const QByteArrayView dir = subdirectory(view, record);
    if (dir.isNull())
        return FileRemoval::Kept;
    const int dirFd = openFolder(dir);
    const auto removal = [&] {
        if (dirFd < 0)
            return FileRemoval::Kept;
        switch (common::eraseAt(dirFd, hostFileName(record.localName).constData())) {
        case common::Erasure::Overwritten:
        case common::Erasure::Unlinked:
        case common::Erasure::KeptByOtherLink:
            return FileRemoval::Removed;
        case common::Erasure::Failed:
            return FileRemoval::InUse;
        default:
            return FileRemoval::Kept;
        }
    }();
    if (!m_keepFolders)
        keepFoldersOpen(false);
    return removal;
}

int UrlCacheContainer::openFolder(QByteArrayView dir) const
{
    const QByteArray key = dir.toByteArray();
    if (const auto open = m_openFolders.find(key); open != m_openFolders.end())
        return open->second;
    int fd = -1;
    if (dir.isEmpty()) {
        // The container folder is known to lie in the prefix; it must not be swapped for a link.
        fd = ::open(m_folderBytes.constData(), O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    } else if (const int folder = openFolder({}); folder >= 0) {
        // The subfolder itself must not be a link leading elsewhere.
        fd = ::openat(folder, key.constData(), O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    }
    if (fd >= 0)
        m_openFolders.emplace(key, fd);
    return fd;
}

void UrlCacheContainer::keepFoldersOpen(bool keep) const
{
    m_keepFolders = keep;
    if (keep)
        return;
    for (const auto &[dir, fd] : m_openFolders)
        ::close(fd);
    m_openFolders.clear();
}

UrlCache::UrlCache(std::shared_ptr<UrlCacheEnvironment> environment)
    : m_environment(std::move(environment)), m_userName(m_environment->userName())
{
    const ShellCacheFolders f = m_environment->folders();
    const QString root = m_environment->confinementRoot();
    m_servedRoot = root;
    const auto under = [](const QString &base, const char *suffix) {
        return base.isEmpty() ? QString() : base + QLatin1String(suffix);
    };
    m_containers[0] = std::make_unique<UrlCacheContainer>(ContainerKind::Content,
                                                          under(f.cache, "/Content.IE5"), root);
    m_containers[1] = std::make_unique<UrlCacheContainer>(ContainerKind::Cookies, f.cookies, root);
    m_containers[2] = std::make_unique<UrlCacheContainer>(ContainerKind::History,
                                                          under(f.history, "/History.IE5"), root);
    for (auto &container : m_containers)
        container->setReadOnly(m_environment->readOnly());
}

UrlCache::Batch::Batch(UrlCache &cache) : m_cache(cache)
{
    ++m_cache.m_batchDepth;
}

UrlCache::Batch::~Batch()
{
    m_cache.endBatch();
}

void UrlCache::endBatch()
{
    if (--m_batchDepth > 0)
        return;
    // Flushed while the lease still keeps Wine away.
    const auto release = [this](UrlCacheContainer &c) {
        c.keepFoldersOpen(false);
        IndexFile *file = c.file();
        if (!file || !file->held())
            return;
        // What a deletion of an earlier run, killed part way, left: also when this batch
        // found nothing more to delete.
        finishInterruptedDeletions(c, *file);
        file->release();
    };
    for (const auto &c : m_containers)
        release(*c);
    for (const auto &[folder, c] : m_periodContainers)
        release(*c);
    m_batchLease.reset();
    m_batchLeaseAsked = false;
}

IndexFile *UrlCache::openIndex(UrlCacheContainer &c)
{
    if (m_batchDepth > 0)
        c.keepFoldersOpen(true);
    IndexFile *file = c.file();
    if (file && m_batchDepth > 0)
        file->hold();
    return file;
}

WriteLease *UrlCache::lease(std::unique_ptr<WriteLease> &single)
{
    if (m_batchDepth == 0) {
        single = m_environment->acquireWriteLease();
        return single.get();
    }
    // Asked once per batch: asking costs a look for a running wineserver.
    if (!m_batchLeaseAsked) {
        m_batchLease = m_environment->acquireWriteLease();
        m_batchLeaseAsked = true;
    }
    return m_batchLease.get();
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
    IndexFile *file = openIndex(c);
    if (!file)
        return DeleteResult::NotFound;
    IndexLock lock(*file, true);
    if (!soundForWriting(c, *file))
        return DeleteResult::NotFound;
    const auto record = file->view()->find(url, c.lastDelivered());
    if (!record)
        return DeleteResult::NotFound;
    const DeleteResult result = removeEntry(c, *file, *record);
    if (result == DeleteResult::Deleted && m_batchDepth == 0)
        finishInterruptedDeletions(c, *file);
    return result;
}

bool UrlCache::mayWrite(UrlCacheContainer &c, IndexFile &file)
{
    std::unique_ptr<WriteLease> single;
    return lease(single) && file.writable() && c.confined();
}

bool UrlCache::soundForWriting(UrlCacheContainer &c, IndexFile &file)
{
    return file.view() || (mayWrite(c, file) && file.finishInterruptedCount());
}

void UrlCache::finishInterruptedDeletions(UrlCacheContainer &c, IndexFile &file)
{
    if (!file.view() || !file.sizeUnchanged())
        return;
    IndexEditor editor(file);
    const auto leftovers = editor.leftoversOfInterruptedDeletions();
    if (leftovers.empty() || !mayWrite(c, file))
        return;
    const quint32 freed = editor.freeLeftovers(leftovers);
    qCInfo(lcUrlCache) << "finished" << leftovers.size() << "deleted records of" << file.path()
                       << "and freed" << freed << "blocks";
}

UrlCache::DeleteResult UrlCache::removeEntry(UrlCacheContainer &c, IndexFile &file,
                                             const UrlRecord &record)
{
    if (!mayWrite(c, file))
        return DeleteResult::ReadOnly;
    // A record whose blocks are all free already is one whose deletion stopped before its item
    // was cleared: it is finished.
    IndexEditor editor(file);
    if (!editor.ownsBlocks(record) && !editor.blocksFree(record)) {
        qCWarning(lcUrlCache) << "a record of" << file.path()
                              << "overlaps other data; it is left as it is";
        return DeleteResult::ReadOnly;
    }
    if (c.removeLocalFile(*file.view(), record) == UrlCacheContainer::FileRemoval::InUse)
        return DeleteResult::FileInUse;
    editor.removeRecord(record);
    return DeleteResult::Deleted;
}

UrlCache::Emptying UrlCache::emptyContainer(UrlCacheContainer &c,
                                            const std::function<bool(const UrlRecord &)> &which)
{
    Emptying result;
    const Batch oneWalk(*this);
    IndexFile *file = openIndex(c);
    if (!file)
        return result;
    IndexLock lock(*file, true);
    // A damaged container is never written: its entries stay.
    if (!soundForWriting(c, *file)) {
        result.kept = 1;
        return result;
    }
    for (quint32 i = 0; i < file->view()->itemCount(); ++i) {
        if (!file->sizeUnchanged()) {
            qCWarning(lcUrlCache) << file->path() << "changed its size while it was emptied";
            ++result.kept;
            return result;
        }
        const auto record = file->view()->urlRecordAt(i);
        if (!record || (which && !which(*record)))
            continue;
        if (removeEntry(c, *file, *record) == DeleteResult::Deleted)
            ++result.deleted;
        else
            ++result.kept;
    }
    // Also what deletions of earlier runs, killed part way, left.
    finishInterruptedDeletions(c, *file);
    return result;
}

std::vector<UrlCacheContainer *> UrlCache::historyContainers()
{
    UrlCacheContainer &main = container(ContainerKind::History);
    std::vector<UrlCacheContainer *> all{&main};
    if (main.folder().isEmpty())
        return all;
    // A link or a second name of another container (the cookies, say) is no period of the
    // history: emptying it would empty that container.
    std::set<std::pair<dev_t, ino_t>> indexes;
    for (const auto &c : m_containers)
        if (const auto id = indexIdentity(c->folder()))
            indexes.insert(*id);
    // Native profiles keep a daily or weekly container per period beside the main one.
    const QStringList periods =
        QDir(main.folder())
            .entryList({QStringLiteral("MSHist01*")},
                       QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks, QDir::Name);
    for (const QString &period : periods) {
        const QString folder = main.folder() + '/' + period;
        const auto id = indexIdentity(folder);
        if (!id || !indexes.insert(*id).second)
            continue;
        auto &known = m_periodContainers[folder];
        if (!known) {
            known = std::make_unique<UrlCacheContainer>(ContainerKind::History, folder,
                                                        m_environment->confinementRoot());
            known->setReadOnly(m_environment->readOnly());
        }
        all.push_back(known.get());
    }
    return all;
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
    const QByteArray folderBytes = QFile::encodeName(folder) + '/';
    const auto exists = [&](const QByteArray &name) {
        struct stat st;
        return ::lstat((folderBytes + hostFileName(name)).constData(), &st) == 0;
    };
    const QByteArray name =
        newLocalFileName(request.url, request.extension, exists, platform::currentFileTime());
    if (!writeNewFile(decode(folderBytes + hostFileName(name)), request.fileContent, writeTime))
        return std::nullopt;
    return name;
}

std::optional<QString> UrlCache::commitEntry(const CommitRequest &request)
{
    UrlCacheContainer &c = containerForUrl(request.url);
    std::unique_ptr<WriteLease> single;
    if (!lease(single) || !c.ensureIndex() || !openIndex(c)->writable())
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
    rec.lastAccess = request.lastAccess ? request.lastAccess : now;
    rec.lastSync = now;
    rec.expire = request.expire;
    rec.exemptDelta = (rec.entryType & entrytype::Sticky) ? StickyExemptSeconds : 0;
    if (!IndexEditor(file).addRecord(rec)) {
        if (!localPath.isEmpty())
            common::erase(QFile::encodeName(localPath).toStdString());
        return std::nullopt;
    }
    return localPath;
}

namespace {

std::shared_ptr<UrlCacheEnvironment> sharedEnvironment;
std::shared_ptr<UrlCache> sharedCache;

} // namespace

std::shared_ptr<UrlCache> sharedUrlCache()
{
    if (!sharedEnvironment)
        sharedEnvironment = prefixUrlCacheEnvironment();
    // The target prefix changes in a clean-up of several: one cache serves one prefix.
    if (!sharedCache || sharedCache->servedRoot() != sharedEnvironment->confinementRoot())
        sharedCache = std::make_shared<UrlCache>(sharedEnvironment);
    return sharedCache;
}

void setSharedUrlCacheEnvironment(std::shared_ptr<UrlCacheEnvironment> environment)
{
    sharedEnvironment = std::move(environment);
    sharedCache.reset();
}

} // namespace urlcache
