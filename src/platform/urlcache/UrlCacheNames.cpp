#include "platform/urlcache/UrlCacheNames.h"

#include "platform/kernel/AnsiCodePage.h"

#include <QDir>

namespace urlcache {

namespace {

constexpr int MaxNumberedNames = 255;

QByteArray replaceBadCharacters(QByteArray text)
{
    for (char &c : text)
        if (QByteArrayView("<>:\"|?*").contains(c))
            c = '_';
    return text;
}

QByteArray cleanExtension(QByteArrayView extension)
{
    QByteArray ext = replaceBadCharacters(extension.toByteArray());
    if (!ext.isEmpty() && (ext.back() == ' ' || ext.back() == '.'))
        ext.back() = '_';
    return ext;
}

// The last segment of the URL's path, without query or fragment; empty when there is no path.
QByteArray lastPathSegment(QByteArrayView url)
{
    qsizetype end = url.size();
    for (qsizetype i = 0; i < url.size(); ++i) {
        if (url[i] == '?' || url[i] == '#') {
            end = i;
            break;
        }
    }
    url = url.first(end);
    const qsizetype scheme = url.indexOf("://");
    const qsizetype pathStart = url.indexOf('/', scheme < 0 ? 0 : scheme + 3);
    if (pathStart < 0)
        return {};
    const qsizetype lastSlash = url.lastIndexOf('/');
    return url.sliced(qMax(pathStart, lastSlash) + 1).toByteArray();
}

QByteArray withExtension(const QByteArray &stem, const QByteArray &ext)
{
    return ext.isEmpty() ? stem : stem + '.' + ext;
}

} // namespace

QByteArray randomCacheName(quint64 fileTime, quint64 salt)
{
    quint64 n = fileTime ^ salt;
    QByteArray name;
    for (int i = 0; i < 8; ++i) {
        const int r = int(n % 36);
        name += char(r < 10 ? '0' + r : 'A' + r - 10);
        n /= 37;
    }
    return name;
}

QByteArray newSubdirectoryName(const QString &folder, quint32 index, quint64 fileTime)
{
    QByteArray name;
    for (quint64 attempt = 0; attempt < 256; ++attempt) {
        name = randomCacheName(fileTime, quint64(index) << 56 | attempt << 48);
        if (!QDir(folder).exists(QString::fromLatin1(name)))
            break;
    }
    return name;
}

QByteArray newLocalFileName(QByteArrayView url, QByteArrayView extension,
                            const std::function<bool(const QByteArray &)> &exists, quint64 fileTime)
{
    const QByteArray ext = cleanExtension(extension);
    QByteArray stem = lastPathSegment(url);
    const qsizetype dot = stem.lastIndexOf('.');
    if (dot >= 0)
        stem.truncate(dot);
    stem = replaceBadCharacters(stem);
    if (!stem.isEmpty()) {
        for (int k = 0; k < MaxNumberedNames; ++k) {
            const QByteArray name = withExtension(stem + '[' + QByteArray::number(k) + ']', ext);
            if (!exists(name))
                return name;
        }
    }
    for (quint64 i = 0;; ++i) {
        const QByteArray name = withExtension(randomCacheName(fileTime, i << 48), ext);
        if (!exists(name))
            return name;
    }
}

namespace {

bool isAscii(QByteArrayView bytes)
{
    for (char c : bytes)
        if (quint8(c) >= 0x80)
            return false;
    return true;
}

} // namespace

QByteArray hostFileName(QByteArrayView recordName)
{
    if (isAscii(recordName))
        return recordName.toByteArray();
    return AnsiCodePage::toUnicode(recordName).toUtf8();
}

bool isPlainFileName(QByteArrayView name)
{
    if (name.isEmpty() || name == "." || name == "..")
        return false;
    for (char c : name)
        if (c == '/' || c == '\\' || c == '\0')
            return false;
    return true;
}

} // namespace urlcache
