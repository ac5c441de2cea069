#include "privacy/CookieKeepList.h"

#include "platform/kernel/AtomicFile.h"
#include "platform/kernel/PrefixFileRead.h"
#include "platform/kernel/XdgFolders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QUrl>

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace {

// A list of sites is a few kilobytes; anything near these limits is not one.
constexpr qint64 FileLimit = qint64(1) << 20;
constexpr qsizetype LineLimit = 1024;

// The address in its usual text form, or empty when the text is no IPv4 or IPv6 address.
QString address(const QString &text)
{
    if (text.size() > 45)
        return {};
    const QByteArray latin = text.toLatin1();
    unsigned char bytes[16];
    char shown[64];
    for (const int family : {AF_INET, AF_INET6})
        if (::inet_pton(family, latin.constData(), bytes) == 1 &&
            ::inet_ntop(family, bytes, shown, sizeof shown))
            return QString::fromLatin1(shown);
    return {};
}

bool isAddress(const QString &site)
{
    return !address(site).isEmpty();
}

// Letters, digits, hyphens and underscores, 1 to 63 of them a label, which neither begins nor
// ends with a hyphen, as host names have.
bool isHostName(const QByteArray &ace)
{
    if (ace.isEmpty() || ace.size() > 253)
        return false;
    for (const QByteArray &label : ace.split('.')) {
        if (label.isEmpty() || label.size() > 63 || label.startsWith('-') || label.endsWith('-'))
            return false;
        for (const char c : label)
            if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_'))
                return false;
    }
    return true;
}

// What a line says, without its comment, blanks and a byte order mark.
QStringView lineContent(QStringView line)
{
    if (line.startsWith(QChar(0xFEFF)))
        line = line.sliced(1);
    const qsizetype comment = line.indexOf(QLatin1Char('#'));
    return (comment < 0 ? line : line.first(comment)).trimmed();
}

QString errorText()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

// The deepest folder above `file` that has a name on the disk, when it is a link that leads
// nowhere; empty otherwise.
QString danglingFolderLink(const QString &file)
{
    for (QString folder = QFileInfo(file).path(); folder.size() > 1;
         folder = QFileInfo(folder).path()) {
        struct stat st;
        if (::lstat(QFile::encodeName(folder).constData(), &st) != 0)
            continue;
        struct stat target;
        const bool leadsNowhere =
            S_ISLNK(st.st_mode) && ::stat(QFile::encodeName(folder).constData(), &target) != 0;
        return leadsNowhere ? folder : QString();
    }
    return {};
}

} // namespace

QString CookieKeepList::path()
{
    return xdg::configHome() + QStringLiteral("/navolis/cookies-to-keep");
}

CookieKeepList CookieKeepList::unusable(const QString &why)
{
    CookieKeepList list;
    list.m_problem = why;
    return list;
}

CookieKeepList CookieKeepList::read(QByteArray *raw)
{
    const QString file = path();
    struct stat st;
    // Only a list that is not there at all keeps nothing; one behind a folder link that leads
    // nowhere (a drive not mounted) may well be there.
    if (::lstat(QFile::encodeName(file).constData(), &st) != 0 && errno == ENOENT) {
        if (const QString link = danglingFolderLink(file); !link.isEmpty())
            return unusable(QStringLiteral("the list of cookies to keep (%1) cannot be used: "
                                           "the folder link %2 leads nowhere")
                                .arg(file, link));
        return {};
    }
    const PrefixFile::Read bytes =
        PrefixFile::readRegularFile(file, FileLimit, PrefixFile::Links::Follow);
    CookieKeepList list;
    if (bytes.ok()) {
        list = parse(bytes.bytes);
        if (raw)
            *raw = bytes.bytes;
    } else {
        list = unusable(QString::fromLatin1(PrefixFile::describe(bytes.error)) +
                        (bytes.error == PrefixFile::Error::CannotOpen
                             ? QStringLiteral(" (%1)").arg(errorText())
                             : QString()));
    }
    if (!list.usable())
        list.m_problem = QStringLiteral("the list of cookies to keep (%1) cannot be used: %2")
                             .arg(file, list.m_problem);
    return list;
}

CookieKeepList CookieKeepList::load()
{
    return read(nullptr);
}

CookieKeepList CookieKeepList::parse(QByteArrayView bytes)
{
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    if (utf8.hasError())
        return unusable(QStringLiteral("it is not UTF-8 text"));
    CookieKeepList list;
    int number = 0;
    for (const QStringView line : QStringView(text).split(QLatin1Char('\n'))) {
        ++number;
        if (line.size() > LineLimit)
            return unusable(
                QStringLiteral("line %1 is longer than %2 characters").arg(number).arg(LineLimit));
        const QStringView content = lineContent(line);
        if (content.isEmpty())
            continue;
        const QString site = CookieKeepList::site(content);
        if (site.isEmpty())
            return unusable(QStringLiteral("line %1 is no host name: \"%2\"")
                                .arg(number)
                                .arg(content.left(80)));
        if (!list.m_sites.contains(site))
            list.m_sites << site;
    }
    return list;
}

QStringList CookieKeepList::sitesKeeping(QStringView host) const
{
    const QString wanted = site(host);
    if (wanted.isEmpty())
        return {};
    // An address has nothing below it, and no name lies below an address.
    const bool byName = !isAddress(wanted);
    QStringList keeping;
    for (const QString &site : m_sites) {
        const qsizetype above = wanted.size() - site.size() - 1;
        if (site == wanted || (byName && above > 0 && wanted.endsWith(site) &&
                               wanted.at(above) == QLatin1Char('.') && !isAddress(site)))
            keeping << site;
    }
    return keeping;
}

QString CookieKeepList::site(QStringView text)
{
    QString host = text.trimmed().toString();
    if (host.startsWith(QLatin1Char('[')) && host.endsWith(QLatin1Char(']')))
        return host.contains(QLatin1Char(':')) ? address(host.mid(1, host.size() - 2)) : QString();
    if (host.startsWith(QLatin1Char('.')))
        host.remove(0, 1);
    if (host.endsWith(QLatin1Char('.')))
        host.chop(1);
    if (host.isEmpty())
        return {};
    if (const QString numeric = address(host); !numeric.isEmpty())
        return numeric;
    const QByteArray ace = QUrl::toAce(host.toLower());
    return isHostName(ace) ? QString::fromLatin1(ace) : QString();
}

QString CookieKeepList::cookieHost(QStringView recordName)
{
    static const QLatin1String Scheme("Cookie:");
    if (!recordName.startsWith(Scheme, Qt::CaseInsensitive))
        return {};
    QStringView rest = recordName.sliced(Scheme.size());
    if (const qsizetype slash = rest.indexOf(QLatin1Char('/')); slash >= 0)
        rest = rest.first(slash);
    const qsizetype at = rest.lastIndexOf(QLatin1Char('@'));
    return at < 0 ? QString() : site(rest.sliced(at + 1));
}

CookieKeepList::Edit
CookieKeepList::rewrite(const std::function<bool(QByteArray &, const CookieKeepList &)> &change)
{
    QByteArray bytes;
    const CookieKeepList list = read(&bytes);
    if (!list.usable())
        return Edit::NotUsable;
    if (!change(bytes, list))
        return Edit::Unchanged;
    // A list kept elsewhere through a link stays there.
    const QFileInfo file(path());
    const QString target = file.isSymLink() ? file.canonicalFilePath() : file.filePath();
    if (target.isEmpty() || !QDir().mkpath(QFileInfo(target).path()) ||
        !AtomicFile::replace(target, bytes))
        return Edit::NotSaved;
    return Edit::Changed;
}

CookieKeepList::Edit CookieKeepList::add(const QString &site)
{
    return rewrite([&](QByteArray &bytes, const CookieKeepList &list) {
        if (list.m_sites.contains(site))
            return false;
        if (!bytes.isEmpty() && !bytes.endsWith('\n'))
            bytes += '\n';
        bytes += site.toUtf8() + '\n';
        return true;
    });
}

CookieKeepList::Edit CookieKeepList::remove(const QStringList &sites)
{
    return rewrite([&](QByteArray &bytes, const CookieKeepList &) {
        QByteArrayList lines = bytes.split('\n');
        const qsizetype before = lines.size();
        lines.removeIf([&](const QByteArray &line) {
            return sites.contains(site(lineContent(QString::fromUtf8(line))));
        });
        if (lines.size() == before)
            return false;
        bytes = lines.join('\n');
        return true;
    });
}
