#pragma once

#include "common/Erase.h"

#include "platform/urlcache/IndexFile.h"
#include "platform/urlcache/UrlCacheEnvironment.h"

#include <QByteArray>
#include <QString>
#include <array>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace urlcache {

enum class ContainerKind
{
    Content,
    Cookies,
    History
};

namespace entrytype {
constexpr quint32 Normal = 0x1;
constexpr quint32 Sticky = 0x4;
constexpr quint32 Cookie = 0x00100000;
constexpr quint32 UrlHistory = 0x00200000;
constexpr quint32 OtherUser = 0x00800000;
} // namespace entrytype

// One container: its folder and its index.dat, mapped on first use.
class UrlCacheContainer
{
public:
    // Nothing is deleted from a folder that does not lie inside `confinementRoot` (when set).
    UrlCacheContainer(ContainerKind kind, QString folder, QString confinementRoot = {});
    ~UrlCacheContainer();
    UrlCacheContainer(const UrlCacheContainer &) = delete;
    UrlCacheContainer &operator=(const UrlCacheContainer &) = delete;

    ContainerKind kind() const { return m_kind; }
    const QString &folder() const { return m_folder; }
    QString indexPath() const;
    QByteArray prefix() const;
    quint32 defaultEntryType() const;

    // Null while the index does not exist.
    IndexFile *file();
    // Whether the index is there but cannot be used (damaged, or not to be locked or mapped):
    // its records are neither found nor deleted, and it is never written.
    bool unreadable();
    // The index is then opened for reading only, and never created.
    void setReadOnly(bool readOnly) { m_readOnly = readOnly; }
    // Creates a missing index (with its cache subfolders) under the native signature.
    bool ensureIndex();
    // Empty when the record has no local file or its names would lead out of the folder.
    QString localFilePath(const IndexView &view, const UrlRecord &record) const;
    // The same as host path bytes.
    QByteArray localFilePathBytes(const IndexView &view, const UrlRecord &record) const;
    // Whether the folder, links resolved, lies inside the confinement root; asked once.
    bool confined();

    // The item a walk delivered last, tried first when that URL is asked for next.
    std::optional<quint32> lastDelivered() const { return m_lastDelivered; }
    void setLastDelivered(quint32 item) { m_lastDelivered = item; }

    enum class FileRemoval
    {
        Removed,
        Kept,
        InUse
    };
    // Removes the record's local file, never following a link and never leaving the folder.
    FileRemoval removeLocalFile(const IndexView &view, const UrlRecord &record) const;
    // While a batch runs, the folder and its subfolders stay open once opened, so that removing
    // many files opens each folder once; false closes them.
    void keepFoldersOpen(bool keep) const;

private:
    QByteArrayView subdirectory(const IndexView &view, const UrlRecord &record) const;
    bool isOwnFile(const UrlRecord &record) const;
    // The folder (empty `dir`) or one of its subfolders, opened without following a link; -1
    // when it cannot be opened.
    int openFolder(QByteArrayView dir) const;

    ContainerKind m_kind;
    QString m_folder;
    QByteArray m_folderBytes;
    QString m_confinementRoot;
    std::optional<bool> m_confined;
    std::optional<quint32> m_lastDelivered;
    mutable bool m_keepFolders = false;
    mutable std::map<QByteArray, int> m_openFolders; // "" is the folder itself
    std::unique_ptr<IndexFile> m_file;
    bool m_readOnly = false;
};

// A new entry for seeding and tests; the local file is written with the given content.
struct CommitRequest
{
    QByteArray url;
    bool withFile = true;
    QByteArray fileContent;
    QByteArray extension;
    QByteArray headerInfo;
    quint32 entryType = 0;
    quint64 lastModified = 0;
    // 0 for the time of the commit, as WinINet records it; native history records carry the
    // visit time here.
    quint64 lastAccess = 0;
    quint64 expire = 0;
};

// The Content, Cookies and History containers of one prefix.
class UrlCache
{
public:
    explicit UrlCache(std::shared_ptr<UrlCacheEnvironment> environment);
    UrlCache(const UrlCache &) = delete;
    UrlCache &operator=(const UrlCache &) = delete;

    UrlCacheEnvironment &environment() { return *m_environment; }
    // The prefix whose containers it serves, as the environment named it when it was made.
    const QString &servedRoot() const { return m_servedRoot; }

    // While a batch lives, every container it touches stays locked and mapped and the
    // prefix's write lease stays taken (or refused) once for all; at its end each changed
    // container is flushed to disk once. Batches nest, and end before their cache.
    class Batch
    {
    public:
        explicit Batch(UrlCache &cache);
        ~Batch();
        Batch(const Batch &) = delete;
        Batch &operator=(const Batch &) = delete;

    private:
        UrlCache &m_cache;
        // The files a batch removes are flushed together when it ends.
        common::ErasureBatch m_erasures;
    };

    // The container's index, held for the batch when one is open; null while it does not
    // exist.
    IndexFile *openIndex(UrlCacheContainer &c);
    // Asked of the environment once: it may take a registry read.
    const QByteArray &userName() const { return m_userName; }
    UrlCacheContainer &container(ContainerKind kind);
    // By the URL's case-sensitive prefix: "Cookie:", "Visited:", else Content.
    UrlCacheContainer &containerForUrl(QByteArrayView url);

    enum class DeleteResult
    {
        Deleted,
        NotFound,
        ReadOnly,
        FileInUse
    };
    DeleteResult deleteEntry(QByteArrayView url);

    struct Emptying
    {
        int deleted = 0;
        int kept = 0;
    };
    // Deletes every record of the container that `which` selects (all without it), in one
    // batch.
    Emptying emptyContainer(UrlCacheContainer &c,
                            const std::function<bool(const UrlRecord &)> &which = {});
    // The main History container and the period containers that lie in its folder: real
    // folders there, each with an index that no other container has.
    std::vector<UrlCacheContainer *> historyContainers();
    // Replaces an entry of the same URL. The local file's path (empty without one), or
    // nullopt when nothing could be written.
    std::optional<QString> commitEntry(const CommitRequest &request);

private:
    // A lease for one change: the batch's own, or a fresh one; null when refused.
    WriteLease *lease(std::unique_ptr<WriteLease> &single);
    void endBatch();
    DeleteResult removeEntry(UrlCacheContainer &c, IndexFile &file, const UrlRecord &record);
    // May the container be written now: the prefix's lease, a writable file, a confined folder.
    bool mayWrite(UrlCacheContainer &c, IndexFile &file);
    // A container locked for writing whose only fault is the count a killed deletion leaves
    // gets it mended; whether the file is sound.
    bool soundForWriting(UrlCacheContainer &c, IndexFile &file);
    // Frees what killed deletions left in a container locked for writing.
    void finishInterruptedDeletions(UrlCacheContainer &c, IndexFile &file);

    std::optional<QByteArray> writeLocalFile(UrlCacheContainer &c, const IndexView &view,
                                             quint8 dir, const CommitRequest &request,
                                             quint64 &writeTime);

    std::shared_ptr<UrlCacheEnvironment> m_environment;
    QByteArray m_userName;
    QString m_servedRoot;
    std::array<std::unique_ptr<UrlCacheContainer>, 3> m_containers;
    std::map<QString, std::unique_ptr<UrlCacheContainer>> m_periodContainers;
    int m_batchDepth = 0;
    std::unique_ptr<WriteLease> m_batchLease;
    bool m_batchLeaseAsked = false;
};

// The containers of the target prefix that the Windows calls share (WinINet's and the history
// store's), so that one process never locks a container twice; made anew after the
// environment is set (null: the target prefix).
std::shared_ptr<UrlCache> sharedUrlCache();
void setSharedUrlCacheEnvironment(std::shared_ptr<UrlCacheEnvironment> environment);

} // namespace urlcache
