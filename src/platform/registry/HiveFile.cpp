#include "platform/registry/HiveFile.h"

#include "platform/kernel/AtomicFile.h"
#include "platform/kernel/LogCategories.h"
#include "platform/kernel/PrefixFileRead.h"
#include "platform/prefix/ReadOnlyNotice.h"
#include "platform/prefix/WineServer.h"

#include <QFile>
#include <QFileInfo>

#include <atomic>
#include <cerrno>
#include <sys/stat.h>

using namespace win;

namespace {

constexpr int saveAttempts = 3;

std::atomic<int> savesInProcess{0};

} // namespace

HiveFile::HiveFile(QString path, QString prefixRoot)
    : m_path(std::move(path)), m_prefixRoot(std::move(prefixRoot))
{
    if (m_prefixRoot.isEmpty())
        return;
    if (const int removed = AtomicFile::removeLeftovers(m_path))
        qCInfo(lcRegistry) << "removed" << removed << "files that interrupted saves of" << m_path
                           << "left";
}

int HiveFile::processSaveCount()
{
    return savesInProcess.load();
}

HiveFile::~HiveFile()
{
    flush();
}

HiveFile::FileState HiveFile::currentState() const
{
    struct stat st;
    if (::stat(QFile::encodeName(m_path).constData(), &st) != 0)
        return {};
    return {true,
            quint64(st.st_dev),
            quint64(st.st_ino),
            quint64(st.st_size),
            qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec,
            qint64(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec,
            quint32(st.st_mode)};
}

// A file changed on disk is read again, and the waiting change set applied to it anew.
void HiveFile::refresh()
{
    if (!m_stale && m_hive && currentState() == m_state)
        return;
    load();
    for (const Change &change : m_changeSet) {
        bool changed = false;
        change(*m_hive, changed);
    }
}

void HiveFile::discardChangeSet()
{
    m_changeSet.clear();
    m_lock.reset();
    m_stale = true; // memory holds the unsaved changes: forget them
}

// The identity is taken from the open file, so it always matches the bytes that were parsed.
// A link may lead to the hive, but only to a regular file.
void HiveFile::load()
{
    m_stale = false;
    const PrefixFile::Read read =
        PrefixFile::readRegularFile(m_path, PrefixFile::HiveLimit, PrefixFile::Links::Follow);
    if (read.error == PrefixFile::Error::CannotOpen) {
        m_state = {};
        m_hive = RegHive::create(freshHeader());
        return;
    }
    m_state = currentState();
    if (!read.ok()) {
        qCWarning(lcRegistry) << m_path << PrefixFile::describe(read.error) << "- taken as damaged";
        m_hive = RegHive::damaged();
        return;
    }
    if (quint64(read.status.st_ino) != m_state.ino || quint64(read.status.st_size) != m_state.size)
        m_stale = true; // replaced while reading: read again next time
    m_hive = RegHive::parse(read.bytes);
    qCDebug(lcRegistry) << "read" << read.bytes.size() << "bytes of" << m_path;
}

// A hive file that does not exist yet starts like Wine's, with the prefix's architecture.
QByteArray HiveFile::freshHeader() const
{
    QByteArray header = "WINE REGISTRY Version 2\n"
                        ";; All keys relative to REGISTRY\\\\User\\\\S-1-5-21-0-0-0-1000\n";
    // Wine writes the architecture among the first few lines.
    const QString systemPath = QFileInfo(m_path).path() + "/system.reg";
    const PrefixFile::Read system =
        PrefixFile::readHead(systemPath, 10 * 256, PrefixFile::Links::Follow);
    if (!system.ok())
        qCDebug(lcRegistry) << systemPath << PrefixFile::describe(system.error);
    const QList<QByteArray> lines = system.bytes.split('\n');
    for (qsizetype i = 0; i < qMin<qsizetype>(10, lines.size()); ++i) {
        const QByteArray line = lines[i].trimmed();
        if (line.startsWith("#arch=")) {
            header += "\n" + line + "\n";
            break;
        }
    }
    return header;
}

const RegHive &HiveFile::hive()
{
    refresh();
    return *m_hive;
}

// Wine itself rewrites a linked file in place; replacing it would cut the link, so we refuse.
bool HiveFile::isPlainFile() const
{
    struct stat st;
    if (::lstat(QFile::encodeName(m_path).constData(), &st) != 0)
        return errno == ENOENT;
    return S_ISREG(st.st_mode) && st.st_nlink == 1;
}

LONG HiveFile::modify(Change change, bool deferred)
{
    if (!isWritable())
        return ERROR_ACCESS_DENIED;
    if (!m_lock) {
        m_lock = std::make_unique<PrefixWriteLock>(m_prefixRoot);
        if (!m_lock->isHeld()) {
            m_lock.reset();
            return ERROR_ACCESS_DENIED;
        }
    }
    refresh();
    if (m_hive->isDamaged() || !isPlainFile()) {
        if (m_changeSet.empty())
            m_lock.reset();
        return ERROR_ACCESS_DENIED;
    }
    bool changed = false;
    const LONG result = change(*m_hive, changed);
    if (changed)
        m_changeSet.push_back(std::move(change));
    if (deferred)
        return result;
    return flush() == ERROR_SUCCESS ? result : ERROR_ACCESS_DENIED;
}

LONG HiveFile::flush()
{
    if (m_changeSet.empty()) {
        m_lock.reset();
        return ERROR_SUCCESS;
    }
    for (int attempt = 0; attempt < saveAttempts; ++attempt) {
        refresh();
        if (m_hive->isDamaged() || !isPlainFile())
            break;
        const SaveResult saved = save(*m_hive);
        if (saved == SaveResult::Saved) {
            m_changeSet.clear();
            m_lock.reset();
            return ERROR_SUCCESS;
        }
        if (saved == SaveResult::Failed)
            break;
        m_stale = true; // someone else wrote meanwhile: apply the set to their file
    }
    qCWarning(lcRegistry) << "changes to" << m_path << "could not be saved";
    discardChangeSet();
    return ERROR_ACCESS_DENIED;
}

// The text goes to the file as it is produced: a big hive is never held twice in memory.
HiveFile::SaveResult HiveFile::save(const RegHive &hive)
{
    // A new file gets Wine's mode (0666 less the umask); a replaced one keeps its own.
    AtomicFile::TempFile temp(m_path, m_state.exists ? 0600 : 0666);
    const auto produce = [&hive](const AtomicFile::TempFile::Sink &sink) {
        return hive.serializeTo(sink);
    };
    if (!temp.write(produce,
                    m_state.exists ? std::optional<mode_t>(m_state.mode & 07777) : std::nullopt))
        return SaveResult::Failed;
    if (currentState() != m_state)
        return SaveResult::Conflict;
    // A server that started meanwhile where no lock could be taken (another TMPDIR) holds the
    // registry in memory and would write it back over this: nothing is replaced.
    if (WineServer(m_prefixRoot).serverProcessExists()) {
        ReadOnlyNotice::report(m_prefixRoot);
        return SaveResult::Failed;
    }
    if (!temp.replaceTarget())
        return SaveResult::Failed;
    m_state = currentState();
    ++m_saves;
    ++savesInProcess;
    return SaveResult::Saved;
}
