#pragma once

#include <QByteArray>
#include <QString>
#include <memory>

namespace urlcache {

// Host paths of the shell folders "Cache", "Cookies" and "History"; the containers lie in
// them (Content.IE5, the folder itself, History.IE5). Empty when unknown.
struct ShellCacheFolders
{
    QString cache;
    QString cookies;
    QString history;
};

// Held for the moment of a write; while it lives no wineserver can start on the prefix.
class WriteLease
{
public:
    virtual ~WriteLease() = default;
};

// What the URL cache needs from the prefix it works on.
class UrlCacheEnvironment
{
public:
    virtual ~UrlCacheEnvironment() = default;
    virtual ShellCacheFolders folders() = 0;
    // Null while a wineserver serves the prefix: nothing may be written then.
    virtual std::unique_ptr<WriteLease> acquireWriteLease() = 0;
    // The logon name that cookie and history URLs carry ("Cookie:NAME@...").
    virtual QByteArray userName() = 0;
    // The folder that every container must lie in for anything to be deleted from it, so
    // that a container folder linked elsewhere is left alone; empty for no such bound.
    virtual QString confinementRoot() { return {}; }
    // Nothing is opened for writing at all (a preview, a prefix in which nothing may change).
    virtual bool readOnly() { return false; }
};

// Explicit folders; writable unless told otherwise.
class FixedUrlCacheEnvironment : public UrlCacheEnvironment
{
public:
    FixedUrlCacheEnvironment(ShellCacheFolders folders, QByteArray userName,
                             QString confinementRoot = {})
        : m_folders(std::move(folders)), m_userName(std::move(userName)),
          m_root(std::move(confinementRoot))
    {
    }
    ShellCacheFolders folders() override { return m_folders; }
    std::unique_ptr<WriteLease> acquireWriteLease() override;
    QByteArray userName() override { return m_userName; }
    QString confinementRoot() override { return m_root; }
    void setWritable(bool writable) { m_writable = writable; }

private:
    ShellCacheFolders m_folders;
    QByteArray m_userName;
    QString m_root;
    bool m_writable = true;
};

} // namespace urlcache
