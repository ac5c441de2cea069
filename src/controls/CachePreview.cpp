#include "controls/CachePreview.h"

#include "platform/kernel/LogCategories.h"
#include "platform/kernel/PrefixFileRead.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImageReader>
#include <QStringDecoder>
#include <QUrl>

namespace {

constexpr qint64 MaxResourceBytes = 32 * 1024 * 1024;

const QString Blank = QStringLiteral("about:blank");

bool isPicture(QByteArray bytes)
{
    QBuffer buffer(&bytes);
    return buffer.open(QIODevice::ReadOnly) && !QImageReader::imageFormat(&buffer).isEmpty();
}

} // namespace

CachePreview::CachePreview(QWidget *parent) : QTextBrowser(parent), m_location(Blank)
{
    setOpenLinks(false);
    setOpenExternalLinks(false);
    setReadOnly(true);
}

void CachePreview::setConfinement(const QString &folder)
{
    m_root = folder.isEmpty() ? QString() : QFileInfo(folder).canonicalFilePath();
}

bool CachePreview::inside(const QString &path) const
{
    if (m_root.isEmpty())
        return false;
    const QString real = QFileInfo(path).canonicalFilePath();
    return !real.isEmpty() && real.startsWith(m_root + '/') && QFileInfo(real).isFile();
}

void CachePreview::Navigate(const QString &target)
{
    clear();
    m_location = Blank;
    if (target == Blank || !inside(target)) {
        if (target != Blank)
            qCDebug(lcUi) << "not previewed, outside the cache:" << target;
        return;
    }
    m_location = target;
    const QUrl url = QUrl::fromLocalFile(target);
    const QByteArray page = loadResource(QTextDocument::HtmlResource, url).toByteArray();
    if (isPicture(page)) {
        setHtml(QStringLiteral("<img src=\"%1\">").arg(url.toString(QUrl::FullyEncoded)));
        return;
    }
    QStringDecoder decode = QStringDecoder::decoderForHtml(page);
    setHtml(decode.isValid() ? QString(decode(page)) : QString::fromLatin1(page));
}

// The one way in for every resource a page names: style sheets, pictures, frames. A refusal is
// an empty resource, not none: for none the document would read a local file itself.
QVariant CachePreview::loadResource(int, const QUrl &name)
{
    // Relative names are taken from the file shown, whatever the document keeps as its base.
    const QUrl resolved = QUrl::fromLocalFile(m_location).resolved(name);
    if (!resolved.isLocalFile() || !inside(resolved.toLocalFile())) {
        qCDebug(lcUi) << "preview resource refused:" << name.toString();
        return QVariant(QByteArray());
    }
    // Links inside the folder were resolved by the check above.
    const PrefixFile::Read file = PrefixFile::readRegularFile(
        resolved.toLocalFile(), MaxResourceBytes, PrefixFile::Links::Follow);
    if (!file.ok())
        qCDebug(lcUi) << "preview resource" << name.toString() << PrefixFile::describe(file.error);
    return QVariant(file.bytes);
}
