#pragma once

#include "platform/kernel/FileTime.h"
#include "platform/urlcache/WinInetCache.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <initializer_list>

using TDateTime = platform::TDateTime;

enum TSearchPattern
{
    spAll,
    spCookies,
    spHistory,
    spUrl
};

enum TFilterOption
{
    NORMAL_ENTRY,
    STABLE_ENTRY,
    STICKY_ENTRY,
    COOKIE_ENTRY,
    URLHISTORY_ENTRY,
    TRACK_OFFLINE_ENTRY,
    TRACK_ONLINE_ENTRY,
    SPARSE_ENTRY,
    OCX_ENTRY
};

// A set of TFilterOption; bit n stands for the option of ordinal n.
class TFilterOptions
{
public:
    constexpr TFilterOptions() = default;
    constexpr TFilterOptions(std::initializer_list<TFilterOption> options)
    {
        for (TFilterOption o : options)
            m_bits |= quint16(1u << o);
    }
    static constexpr TFilterOptions fromInt(quint16 bits)
    {
        TFilterOptions s;
        s.m_bits = bits;
        return s;
    }
    constexpr bool contains(TFilterOption o) const { return m_bits & (1u << o); }
    constexpr bool isEmpty() const { return m_bits == 0; }
    constexpr quint16 toInt() const { return m_bits; }
    constexpr bool operator==(const TFilterOptions &) const = default;

private:
    quint16 m_bits = 0;
};

// Every kind of entry the windows show: the enumerator's default, and the cookie window's.
inline constexpr TFilterOptions StandardEntryFilter{NORMAL_ENTRY,        STICKY_ENTRY,
                                                    COOKIE_ENTRY,        URLHISTORY_ENTRY,
                                                    TRACK_OFFLINE_ENTRY, TRACK_ONLINE_ENTRY};
// The entries the cache panel lists and empties: every kind but cookies.
inline constexpr TFilterOptions CacheContentFilter{NORMAL_ENTRY, STICKY_ENTRY, URLHISTORY_ENTRY,
                                                   TRACK_OFFLINE_ENTRY, TRACK_ONLINE_ENTRY};

// The current entry of a cache enumerator.
struct TEntryInfo
{
    QString SourceUrlName;
    QString LocalFileName;
    quint32 EntryType = 0;
    quint32 UseCount = 0;
    quint32 HitRate = 0;
    qint32 Size = 0;
    TDateTime LastModifiedTime = 0;
    TDateTime ExpireTime = 0;
    TDateTime LastAccessTime = 0;
    TDateTime LastSyncTime = 0;
    QString HeaderInfo;
    QString FileExtension;
    quint32 ExemptDelta = 0;
};

using TOnEntryEvent = std::function<void(QObject *Sender, bool &Cancel)>;

// Walks the browser's URL cache one entry at a time and deletes entries. Results are 0 on
// success, 2 when the cache is not usable, else the platform's last error (259 ends a walk).
class TIECache : public QObject
{
    Q_OBJECT

public:
    explicit TIECache(QObject *owner = nullptr);

    TFilterOptions FilterOptions() const { return m_filterOptions; }
    void SetFilterOptions(TFilterOptions options);
    quint32 FilterFlags() const { return m_filterFlags; }
    bool LibraryFound() const { return CheckLibrary(); }

    TSearchPattern SearchPattern = spAll;
    TOnEntryEvent OnEntry;
    // Called after each entry of a walk or a deletion of all entries, so that a window can
    // keep painting during long work.
    std::function<void()> OnStep;
    TEntryInfo Entry;

    static bool CheckLibrary();
    quint32 FindFirstEntry(qint64 GroupID);
    quint32 FindNextEntry();
    void RetrieveEntries(qint64 GroupID);
    quint32 GetEntryInfo(const QString &URL);
    quint32 DeleteEntry(const QString &URL);
    // The entry a walk stands on, by its URL as stored.
    quint32 DeleteCurrentEntry() { return deleteUrl(m_entryUrl); }
    // Every entry the search pattern selects, but those whose URL `Keep` is true for.
    void DeleteAllEntries(const std::function<bool(const QString &URL)> &Keep = {});
    // The index files of the containers the search pattern covers that are there but cannot
    // be read: their entries are neither listed nor deleted.
    QStringList UnreadableContainers() const;
    void ClearEntry();
    static TDateTime FileTimeToDateTime(quint64 fileTime);

private:
    template <typename Call> quint32 fetchEntry(Call call);
    void copyEntry(const wininet::INTERNET_CACHE_ENTRY_INFOA &info);
    quint32 deleteUrl(const QByteArray &url);
    void closeSearch();

    TFilterOptions m_filterOptions;
    quint32 m_filterFlags = 0;
    wininet::HANDLE SearchHandle = nullptr;
    bool m_cancel = false;
    // The current entry's URL as stored, so that a walk deletes exactly what it found.
    QByteArray m_entryUrl;
};

// Set once at start from CheckLibrary.
extern bool LibraryLoaded;
