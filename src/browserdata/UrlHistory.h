#pragma once

#include "platform/kernel/FileTime.h"
#include "platform/urlcache/UrlHistoryStore.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

using TDateTime = platform::TDateTime;

enum TSortFieldOption
{
    sfTitle,
    sfURL,
    sfLastVisited,
    sfLastUpdated,
    sfExpires
};

enum TSortDirectionOption
{
    sdAscending,
    sdDescending
};

enum TSearchFieldOption
{
    seBoth,
    seTitle,
    seURL
};

// Events of the history store carry no sender.
using TOnAcceptEvent =
    std::function<void(const QString &Title, const QString &Url, TDateTime LastVisited,
                       TDateTime LastUpdated, TDateTime Expires, bool &Accept)>;
using TOnDeleteEvent =
    std::function<void(const QString &Title, const QString &Url, TDateTime LastVisited,
                       TDateTime LastUpdated, TDateTime Expires, bool &Delete)>;

// One history entry; texts in the ANSI code page.
struct TEntry
{
    QString Url;
    QString Title;
    TDateTime LastVisited = 0;
    TDateTime LastUpdated = 0;
    TDateTime Expires = 0;
};

// Reads the browser's URL history into a sorted list, empties it, and deletes the entries a
// handler approves.
class TUrlHistory : public QObject
{
    Q_OBJECT

public:
    explicit TUrlHistory(QObject *owner = nullptr);

    TSortFieldOption SortField = sfTitle;
    TSearchFieldOption SearchField = seBoth;
    TSortDirectionOption SortDirection = sdAscending;
    QString Search;
    TOnAcceptEvent OnAccept;
    TOnDeleteEvent OnDelete;
    // Called after each entry that Enumerate, ClearHistory or DeleteEntries walks, so that a
    // window can keep painting during long work.
    std::function<void()> OnStep;

    // What the window's stored layout brings: the list and the history store.
    void Loaded();

    qint32 Enumerate();
    urlhistory::HRESULT ClearHistory();
    // The index files of the history containers that are there but cannot be read: their
    // entries are neither listed nor deleted.
    QStringList UnreadableContainers() const;
    qint32 DeleteEntries();
    void ClearItems();

    int Count() const { return int(m_items.size()); }
    const TEntry &Items(int index) const { return *m_items[size_t(index)]; }

    // FILETIME (UTC) to local date-time through the DOS format: two-second steps, 1980 to
    // 2107, anything else 0.
    static TDateTime HistoryTimeToDateTime(quint64 fileTime);

private:
    bool passesSearch(const QString &title, const QString &url) const;
    // Takes one visit of the store into the list, when the search and OnAccept let it in.
    void accept(const urlhistory::STATURL &element);
    void sortItems();

    std::unique_ptr<urlhistory::IUrlHistoryStg2> Store;
    std::unique_ptr<urlhistory::IEnumSTATURL> Enumerator;
    std::vector<std::unique_ptr<TEntry>> m_items;
    bool m_accept = true;
    bool m_delete = false;
};
