#include "browserdata/UrlHistory.h"

#include "platform/kernel/AnsiCodePage.h"

#include <algorithm>

using namespace urlhistory;

namespace {

// Through the ANSI code page, as the texts are 8-bit strings of the program.
QString ansiText(const QString &wide)
{
    return wide.isNull() ? QString() : AnsiCodePage::toUnicode(AnsiCodePage::fromUnicode(wide));
}

} // namespace

TUrlHistory::TUrlHistory(QObject *owner) : QObject(owner) {}

void TUrlHistory::Loaded()
{
    m_items.clear();
    Store = createUrlHistory();
}

TDateTime TUrlHistory::HistoryTimeToDateTime(quint64 fileTime)
{
    const quint64 local = platform::fileTimeToLocalFileTime(fileTime).value_or(0);
    quint16 date = 0;
    quint16 time = 0;
    // Zero stands for no time here, which the DOS format cannot hold.
    if (local == 0 || !platform::fileTimeToDosDateTime(local, date, time))
        return 0;
    const auto packed = platform::fileTimeToSystemTime(platform::dosDateTimeToFileTime(date, time));
    return packed ? platform::encodeDateTime(*packed) : 0;
}

bool TUrlHistory::passesSearch(const QString &title, const QString &url) const
{
    if (Search.isEmpty())
        return true;
    if (!title.contains(Search, Qt::CaseSensitive))
        return false;
    return SearchField == seTitle || url.contains(Search, Qt::CaseSensitive);
}

// The visits come a few hundred at a time: each call of the store locks the container once.
qint32 TUrlHistory::Enumerate()
{
    ClearItems();
    Enumerator.reset();
    Store->EnumUrls(Enumerator);
    std::vector<STATURL> elements(256);
    HRESULT more = S_OK;
    while (Enumerator && more == S_OK) {
        quint32 fetched = 0;
        more = Enumerator->Next(quint32(elements.size()), elements.data(), &fetched);
        for (quint32 i = 0; i < fetched; ++i)
            accept(elements[i]);
    }
    sortItems();
    return qint32(m_items.size());
}

void TUrlHistory::accept(const STATURL &element)
{
    if (OnStep)
        OnStep();
    const QString url = ansiText(element.pwcsUrl);
    const QString title = ansiText(element.pwcsTitle);
    if (!passesSearch(title, url))
        return;
    auto entry = std::make_unique<TEntry>();
    entry->Url = url;
    entry->Title = title;
    entry->LastVisited = HistoryTimeToDateTime(element.ftLastVisited);
    entry->LastUpdated = HistoryTimeToDateTime(element.ftLastUpdated);
    entry->Expires = HistoryTimeToDateTime(element.ftExpires);
    m_accept = true;
    if (OnAccept)
        OnAccept(entry->Title, entry->Url, entry->LastVisited, entry->LastUpdated, entry->Expires,
                 m_accept);
    if (m_accept)
        m_items.push_back(std::move(entry));
}

// Texts compare byte by byte in the code page, case-sensitively; times as numbers.
void TUrlHistory::sortItems()
{
    const bool ascending = SortDirection == sdAscending;
    if (SortField == sfTitle || SortField == sfURL) {
        std::vector<std::pair<QByteArray, std::unique_ptr<TEntry>>> keyed;
        keyed.reserve(m_items.size());
        for (auto &entry : m_items) {
            const QString &text = SortField == sfTitle ? entry->Title : entry->Url;
            keyed.emplace_back(AnsiCodePage::fromUnicode(text), std::move(entry));
        }
        std::sort(keyed.begin(), keyed.end(), [ascending](const auto &a, const auto &b) {
            return ascending ? a.first < b.first : b.first < a.first;
        });
        for (size_t i = 0; i < keyed.size(); ++i)
            m_items[i] = std::move(keyed[i].second);
        return;
    }
    const auto key = [this](const TEntry &e) {
        return SortField == sfLastVisited   ? e.LastVisited
               : SortField == sfLastUpdated ? e.LastUpdated
                                            : e.Expires;
    };
    std::sort(m_items.begin(), m_items.end(), [&](const auto &a, const auto &b) {
        return ascending ? key(*a) < key(*b) : key(*b) < key(*a);
    });
}

HRESULT TUrlHistory::ClearHistory()
{
    Store->OnStep = OnStep;
    return Store->ClearHistory();
}

QStringList TUrlHistory::UnreadableContainers() const
{
    return unreadableHistoryContainers();
}

qint32 TUrlHistory::DeleteEntries()
{
    qint32 count = 0;
    Enumerator.reset();
    Store->EnumUrls(Enumerator);
    STATURL element;
    quint32 fetched = 0;
    while (Enumerator && Enumerator->Next(1, &element, &fetched) == S_OK && fetched == 1) {
        if (OnStep)
            OnStep();
        m_delete = false;
        if (OnDelete)
            OnDelete(ansiText(element.pwcsTitle), ansiText(element.pwcsUrl),
                     HistoryTimeToDateTime(element.ftLastVisited),
                     HistoryTimeToDateTime(element.ftLastUpdated),
                     HistoryTimeToDateTime(element.ftExpires), m_delete);
        if (m_delete) {
            Store->DeleteUrl(element.pwcsUrl, 0);
            ++count;
        }
    }
    return count;
}

void TUrlHistory::ClearItems()
{
    m_items.clear();
}
