#pragma once

#include <QString>
#include <QStringList>

#include <vector>

// Finds out whether a wineserver serves a prefix. A running server holds a write lock on the
// first byte of the `lock` file in its server folder `server-DEV-INODE`, whose parent folder
// depends on how Wine was built.
class WineServer
{
public:
    explicit WineServer(QString prefixRoot);

    // "server-<dev>-<inode>" of the prefix folder in hex, or empty when it cannot be stat'ed.
    QString serverFolderName() const;
    // The server folders of every known layout that exist for this prefix.
    QStringList serverFolders() const;
    // Makes the server folders and lock files that a starting server of the prefix's owner
    // would use, where they are missing, as Wine makes them; the folders now there.
    QStringList createServerFolders() const;
    // Whether a wineserver holds the lock, or a wineserver process works in the server folder.
    bool isRunning() const;
    // Whether a wineserver process works in a server folder of this prefix.
    bool serverProcessExists() const;

private:
    bool lockIsHeld(const QString &lockFile) const;

    QString m_root;
};

// Marks a prefix in which nothing may be written in this run (its registry file is damaged): no
// write lock is held for it from now on.
void refuseWritesTo(const QString &prefixRoot);
bool writesRefusedTo(const QString &prefixRoot);

// Holds the wineserver lock of a prefix for the moment of a write, so that no server starts
// meanwhile. When a server runs, the lock is not held and the read-only notice is given.
class PrefixWriteLock
{
public:
    explicit PrefixWriteLock(const QString &prefixRoot);
    ~PrefixWriteLock();
    PrefixWriteLock(const PrefixWriteLock &) = delete;
    PrefixWriteLock &operator=(const PrefixWriteLock &) = delete;

    // False when a wineserver serves the prefix: then nothing may be written.
    bool isHeld() const { return m_held; }

private:
    void release();

    std::vector<int> m_fds;
    bool m_held = false;
};
