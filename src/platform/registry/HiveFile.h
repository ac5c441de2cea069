#pragma once

#include "platform/kernel/WinTypes.h"
#include "platform/registry/RegHive.h"

#include <QString>

#include <functional>
#include <memory>

// One registry file of a prefix and its parsed hive, kept in step with the file. Every change
// is written through at once: under the prefix's write lock, onto the file as it is on disk
// now (so a change made meanwhile by someone else is kept, not overwritten), by atomic
// replacement. A change that cannot be saved is not kept in memory either.
class HiveFile
{
public:
    // A hive without a prefix root is read-only.
    HiveFile(QString path, QString prefixRoot);

    const QString &path() const { return m_path; }
    bool isWritable() const { return !m_prefixRoot.isEmpty(); }

    // The hive as the file holds it now; read again when the file changed on disk.
    const RegHive &hive();

    // Runs `change` on the current hive and saves the result. The change sets `changed` when it
    // changed anything and returns its result code; nothing is written when nothing changed.
    // ERROR_ACCESS_DENIED when the file may not be written (Wine runs, the file is damaged,
    // a link, or the save failed).
    using Change = std::function<win::LONG(RegHive &hive, bool &changed)>;
    win::LONG modify(const Change &change);

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
    void load();
    QByteArray freshHeader() const;
    bool isPlainFile() const;
    SaveResult save(const QByteArray &bytes);

    QString m_path;
    QString m_prefixRoot;
    std::unique_ptr<RegHive> m_hive;
    FileState m_state;
    bool m_stale = true;
};
