#pragma once

#include <QString>

// A Wine-style prefix that Navolis works on, by its root folder.
//
// The platform's calls (registry, cache, shell, files) serve one prefix at a time, as a Windows
// process sees one profile: the target. It is the prefix of the innermost Prefix::Use on the
// calling thread; otherwise the one chosen when the program started; otherwise the one the
// environment names now (see resolveRoot).
class Prefix
{
public:
    explicit Prefix(QString root);

    // The folder the environment chooses: WINEPREFIX when set; otherwise ~/.wine when it holds a
    // user.reg; otherwise the embedded default under $XDG_DATA_HOME/navolis/prefix. Creates
    // nothing.
    static QString resolveRoot();
    static QString embeddedDefaultRoot();

    // The prefix the platform's calls serve on this thread.
    static Prefix target();
    // The target of every thread outside a Use, fixed once where the program starts.
    static void setChosen(const Prefix &prefix);

    // Makes `prefix` the target of this thread while it lives.
    class Use
    {
    public:
        explicit Use(const Prefix &prefix);
        ~Use();
        Use(const Use &) = delete;
        Use &operator=(const Use &) = delete;

    private:
        friend class Prefix;
        const QString m_root;
        const Use *const m_outer;
    };

    const QString &root() const { return m_root; }
    QString userRegPath() const { return m_root + "/user.reg"; }
    QString systemRegPath() const { return m_root + "/system.reg"; }
    QString dosDevicesPath() const { return m_root + "/dosdevices"; }

private:
    QString m_root;
};
