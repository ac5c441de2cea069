#include "platform/kernel/ProfileFile.h"

#include "platform/kernel/AnsiCodePage.h"
#include "platform/kernel/LogCategories.h"
#include "platform/kernel/PrefixFileRead.h"

namespace win {

namespace {

QString decode(QByteArrayView bytes)
{
    if (bytes.startsWith("\xFF\xFE"))
        return QString::fromUtf16(reinterpret_cast<const char16_t *>(bytes.data() + 2),
                                  (bytes.size() - 2) / 2);
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(bytes.sliced(3));
    return AnsiCodePage::toUnicode(bytes);
}

QStringView unquoted(QStringView value)
{
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
        value.back() == value.front())
        return value.sliced(1, value.size() - 2);
    return value;
}

} // namespace

std::optional<QString> profileString(QByteArrayView fileBytes, QStringView section, QStringView key)
{
    const QString text = decode(fileBytes);
    bool inSection = false;
    bool sectionSeen = false;
    for (QStringView line : QStringView(text).tokenize(u'\n')) {
        line = line.trimmed();
        if (line.startsWith(u'[')) {
            const qsizetype close = line.indexOf(u']');
            const QStringView name =
                line.sliced(1, (close < 0 ? line.size() : close) - 1).trimmed();
            if (inSection)
                return std::nullopt; // only the first section of the name is searched
            inSection = !sectionSeen && name.compare(section, Qt::CaseInsensitive) == 0;
            sectionSeen = sectionSeen || inSection;
            continue;
        }
        if (!inSection || line.isEmpty() || line.startsWith(u';'))
            continue;
        const qsizetype equals = line.indexOf(u'=');
        const QStringView name = (equals < 0 ? line : line.first(equals)).trimmed();
        if (name.compare(key, Qt::CaseInsensitive) != 0)
            continue;
        return equals < 0 ? QString() : unquoted(line.sliced(equals + 1).trimmed()).toString();
    }
    return std::nullopt;
}

std::optional<QString> GetPrivateProfileString(QStringView section, QStringView key,
                                               const QString &hostPath, qint64 maxBytes)
{
    const PrefixFile::Read file =
        PrefixFile::readRegularFile(hostPath, maxBytes, PrefixFile::Links::Refuse);
    if (!file.ok()) {
        qCDebug(lcShell) << "profile not read:" << hostPath << PrefixFile::describe(file.error);
        return std::nullopt;
    }
    return profileString(file.bytes, section, key);
}

} // namespace win
