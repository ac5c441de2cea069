#pragma once

#include "platform/kernel/WinTypes.h"
#include "platform/registry/RegHive.h"

#include <QString>

#include "platform/prefix/WineServer.h"

#include <functional>
#include <memory>
#include <vector>

// One registry file of a prefix and its parsed hive, kept in step with the file. Changes form a
// change set that is saved as one: under the prefix's write lock, which is held from the set's
// first change until it is saved, onto the file as it is on disk then (a change made meanwhile
// by someone else is kept: the set is applied again to what the file holds), by atomic
// replacement. A set that cannot be saved is not kept in memory either.
class HiveFile
{
public:
    // A hive without a prefix root is read-only.
    HiveFile(QString path, QString prefixRoot);
    // Saves a change set that still waits.
    ~HiveFile();
    HiveFile(const HiveFile &) = delete;
    HiveFile &operator=(const HiveFile &) = delete;

    const QString &path() const { return m_path; }
    bool isWritable() const { return !m_prefixRoot.isEmpty(); }
    // A symbolic link, or a file with other hard links: never replaced.
    bool isLinked() const { return !isPlainFile(); }

    // The hive as the file holds it now; read again when the file changed on disk.
    const RegHive &hive();

    // Runs `change` on the current hive and adds it to the change set; the set is saved at once
    // unless `deferred`, else by the next flush. The change sets `changed` when it changed
    // anything and returns its result code; it may run again on a newer hive, so it captures
    // values, not references. ERROR_ACCESS_DENIED when the file may not be written (Wine runs,
    // the file is damaged, a link, or the save failed).
    using Change = std::function<win::LONG(RegHive &hive, bool &changed)>;
    win::LONG modify(Change change, bool deferred = false);
    // Saves the change set; ERROR_ACCESS_DENIED when it could not be saved (and is gone).
    win::LONG flush();
    // Saves made through this object, and by every hive file of the process.
    int saveCount() const { return m_saves; }
    static int processSaveCount();

private:
    struct FileState
    {
        bool exists = false;
        quint64 dev = 0, ino = 0, size = 0;
        qint64 mtimeNs = 0, ctimeNs = 0;
        quint32 mode = 0;
        bool operator==(const FileState &) const = default;
    };
    enum class SaveResult
    {
        Saved,
        Conflict,
        Failed
    };

    FileState currentState() const;
    void refresh();
    void discardChangeSet();
    void load();
    QByteArray freshHeader() const;
    bool isPlainFile() const;
    SaveResult save(const RegHive &hive);

    QString m_path;
    QString m_prefixRoot;
    std::unique_ptr<RegHive> m_hive;
    FileState m_state;
    bool m_stale = true;
    std::vector<Change> m_changeSet;
    std::unique_ptr<PrefixWriteLock> m_lock; // held while a change set waits
    int m_saves = 0;
};
