#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <functional>
#include <memory>
#include <optional>

// The browser's URL history store (IUrlHistoryStg2 and IEnumSTATURL) over the history
// containers of the target prefix: the "Visited:" records of the main History container and
// the period containers beside it. How the records map to STATURL: UrlHistoryStore.md.
namespace urlhistory {

using HRESULT = qint32;
constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_ACCESSDENIED = qint32(0x80070005);
constexpr HRESULT E_POINTER = qint32(0x80004003);

struct STATURL
{
    QString pwcsUrl;
    QString pwcsTitle;
    quint64 ftLastVisited = 0;
    quint64 ftLastUpdated = 0;
    quint64 ftExpires = 0;
    quint32 dwFlags = 0;
};

class IEnumSTATURL
{
public:
    // Up to `celt` elements; S_OK when all were delivered, S_FALSE at the end.
    HRESULT Next(quint32 celt, STATURL *rgelt, quint32 *pceltFetched);
    HRESULT Reset();

private:
    quint32 m_item = 0;
};

class IUrlHistoryStg2
{
public:
    HRESULT EnumUrls(std::unique_ptr<IEnumSTATURL> &ppEnum);
    // Removes the URL's records from every history container. S_OK when none is left.
    HRESULT DeleteUrl(const QString &pocsUrl, quint32 dwFlags);
    // Empties every history container. S_OK when nothing is left, E_ACCESSDENIED when records
    // had to stay (Wine serves the prefix, a container is damaged or lies outside it).
    HRESULT ClearHistory();

    // Not part of the interface: called after each record the store walks while it deletes,
    // so that a window can keep painting.
    std::function<void()> OnStep;
};

// Creating the history store by its class (CLSID_CUrlHistory).
std::unique_ptr<IUrlHistoryStg2> createUrlHistory();

// Not part of the store's interface: the index files of the history containers that are there
// but cannot be read. Their records are neither listed nor deleted.
QStringList unreadableHistoryContainers();

// The page title kept in a history record's header data, or a null string.
QString titleOfHeaderData(QByteArrayView data);
// Header data that carries `title` in the shape native records use.
QByteArray headerDataWithTitle(const QString &title);

// The URL of a "Visited: USER@URL" (or ":PERIOD: USER@URL") record, or null when the record is
// no visit.
std::optional<QByteArrayView> visitedUrl(QByteArrayView recordUrl);

} // namespace urlhistory
