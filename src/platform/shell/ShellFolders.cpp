#include "platform/shell/ShellFolders.h"

#include "platform/prefix/DosPaths.h"
#include "platform/prefix/Prefix.h"
#include "platform/registry/KeyPaths.h"
#include "platform/registry/Registry.h"

#include <QRegularExpression>

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
    const QString result = RegQueryString(key, name, type).value_or(QString());
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
    return path.isEmpty() ? QString() : DosPaths::toHostPath(Prefix::target(), path);
}

} // namespace ShellFolders
