#pragma once

#include <QString>

// The Wine-style prefix that Navolis works on: WINEPREFIX when set; otherwise ~/.wine when it
// holds a user.reg; otherwise the embedded default under $XDG_DATA_HOME/navolis/prefix, which
// is created on first use.
class Prefix
{
public:
    explicit Prefix(QString root);

    // The prefix chosen by the environment as it is now.
    static Prefix current();
    // The folder that current() would choose, without creating anything.
    static QString resolveRoot();
    static QString embeddedDefaultRoot();

    const QString &root() const { return m_root; }
    QString userRegPath() const { return m_root + "/user.reg"; }
    QString systemRegPath() const { return m_root + "/system.reg"; }
    QString dosDevicesPath() const { return m_root + "/dosdevices"; }

private:
    QString m_root;
};
