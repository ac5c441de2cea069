#include "platform/shell/ShellFolders.h"

#include "platform/prefix/DosPaths.h"
#include "platform/prefix/Prefix.h"
#include "platform/registry/KeyPaths.h"
#include "platform/registry/Registry.h"

#include <QRegularExpression>

#include <vector>

using namespace win;

namespace ShellFolders {

namespace {

const QString explorerKey = KeyPaths::belowRoot(KeyPaths::Explorer);

// A string value, read without creating its key.
QString readString(const QString &keyPath, const QString &name, DWORD *type = nullptr)
{
    HKEY key = nullptr;
    if (RegOpenKeyEx(HKEY_CURRENT_USER, keyPath, KEY_READ, &key) != ERROR_SUCCESS)
        return {};
    QString result;
    DWORD size = 0;
    DWORD valueType = 0;
    if (RegQueryValueEx(key, name, &valueType, nullptr, &size) == ERROR_SUCCESS && size >= 2 &&
        (valueType == REG_SZ || valueType == REG_EXPAND_SZ)) {
        std::vector<char16_t> units(size / 2);
        DWORD read = DWORD(units.size() * 2);
        if (RegQueryValueEx(key, name, nullptr, units.data(), &read) == ERROR_SUCCESS) {
            result = QString::fromUtf16(units.data(), qsizetype(read / 2));
            result.truncate(result.indexOf(QChar(0)) < 0 ? result.size()
                                                         : result.indexOf(QChar(0)));
        }
    }
    if (type)
        *type = valueType;
    RegCloseKey(key);
    return result;
}

// Expands %NAME% from the user's environment keys; empty when a name is unknown.
QString expand(const QString &text)
{
    static const QRegularExpression variable(QStringLiteral("%([^%]+)%"));
    QString result;
    qsizetype last = 0;
    for (const QRegularExpressionMatch &match : variable.globalMatch(text)) {
        QString value = readString(QStringLiteral("Volatile Environment"), match.captured(1));
        if (value.isEmpty())
            value = readString(QStringLiteral("Environment"), match.captured(1));
        if (value.isEmpty())
            return {};
        result += text.mid(last, match.capturedStart() - last) + value;
        last = match.capturedEnd();
    }
    return result + text.mid(last);
}

} // namespace

QString windowsPath(const QString &valueName)
{
    const QString user = readString(explorerKey + "\\User Shell Folders", valueName);
    if (!user.isEmpty()) {
        const QString expanded = expand(user);
        if (!expanded.isEmpty())
            return expanded;
    }
    return readString(explorerKey + "\\Shell Folders", valueName);
}

QString hostPath(const QString &valueName)
{
    const QString path = windowsPath(valueName);
    return path.isEmpty() ? QString() : DosPaths::toHostPath(Prefix::current(), path);
}

} // namespace ShellFolders
