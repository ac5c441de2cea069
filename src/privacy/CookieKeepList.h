#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <functional>

// The sites whose cookies a clean-up of all cookies leaves: one site per line in
// $XDG_CONFIG_HOME/navolis/cookies-to-keep, for every prefix. A site keeps the cookies of its
// own host and of every host below it; an IP address keeps only its own.
class CookieKeepList
{
public:
    // The file; ~/.config stands for XDG_CONFIG_HOME when that is unset or not absolute.
    static QString path();

    // The file as it is now. A missing file keeps nothing; one that is there but cannot be
    // read, or holds a line that is no site, is not usable: nothing may then be cleaned.
    static CookieKeepList load();
    static CookieKeepList parse(QByteArrayView bytes);

    bool usable() const { return m_problem.isEmpty(); }
    // Why the list is not usable, with its path: for the standard error and the log.
    QString problem() const { return m_problem; }
    QStringList sites() const { return m_sites; }

    // The sites that keep the host, which is taken as site() takes it.
    QStringList sitesKeeping(QStringView host) const;
    bool keeps(QStringView host) const { return !sitesKeeping(host).isEmpty(); }
    // Whether the cookie of this record ("Cookie:user@www.example.com/") is kept.
    bool keepsCookie(QStringView recordName) const { return keeps(cookieHost(recordName)); }

    // A host as the list holds it: without blanks, a leading or a trailing dot, in lower case
    // and ASCII (internationalised names as punycode); an IPv6 address without brackets. Empty
    // when the text is no host name or address.
    static QString site(QStringView text);
    // The host of a cookie record, the part after the user name; empty when there is none.
    static QString cookieHost(QStringView recordName);

    enum class Edit
    {
        Changed,
        Unchanged,
        // The list is not usable: it is left as it is.
        NotUsable,
        NotSaved
    };
    // Adds the site, as site() gives it, on a line of its own; the rest of the file stays.
    static Edit add(const QString &site);
    // Removes the lines of these sites; comments and other lines stay.
    static Edit remove(const QStringList &sites);

private:
    // The file's bytes go to `raw` when it is given.
    static CookieKeepList read(QByteArray *raw);
    static CookieKeepList unusable(const QString &why);
    static Edit
    rewrite(const std::function<bool(QByteArray &bytes, const CookieKeepList &)> &change);

    QStringList m_sites;
    QString m_problem;
};
