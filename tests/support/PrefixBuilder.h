#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A temporary prefix for one test: a copy of the Wine sample, a minimal prefix as Navolis makes
// it, or a bare one with only drive C. It sets WINEPREFIX to itself while it lives and gives
// each test a fresh read-only notice.
class PrefixBuilder
{
public:
    enum class Start
    {
        Sample,
        Minimal,
        Bare
    };

    explicit PrefixBuilder(Start start = Start::Sample);
    // A copy of the Wine sample at `folder`, apart from any builder and from WINEPREFIX.
    static void copySampleTo(const QString &folder);
    ~PrefixBuilder();
    PrefixBuilder(const PrefixBuilder &) = delete;
    PrefixBuilder &operator=(const PrefixBuilder &) = delete;

    QString root() const { return m_dir.path(); }
    QString path(const QString &relative) const { return root() + '/' + relative; }
    // The profile folder drive_c/users/user.
    QString profile() const { return path("drive_c/users/user"); }
    QString userRegPath() const { return path("user.reg"); }
    QByteArray userReg() const;
    // The value names of a key as user.reg stores them (path without the leading backslash),
    // read apart from the program's registry layer.
    QStringList valueNames(const QString &keyPath) const;

    PrefixBuilder &folder(const QString &relative);
    PrefixBuilder &file(const QString &relative, const QByteArray &content);
    PrefixBuilder &writeUserReg(const QByteArray &content);
    // Sets a REG_SZ value in user.reg directly, creating the key.
    PrefixBuilder &value(const QString &keyPath, const QString &name, const QString &data);
    PrefixBuilder &rawValue(const QString &keyPath, const QString &name, quint32 type,
                            const QByteArray &data);

    // Makes a wineserver folder in Debian's layout and holds its lock as a running server does.
    void holdServerLock();
    void releaseServerLock();

private:
    QTemporaryDir m_dir;
    QByteArray m_previousPrefix;
    bool m_hadPrefix = false;
    QString m_serverTemp;
    int m_lockFd = -1;
};
