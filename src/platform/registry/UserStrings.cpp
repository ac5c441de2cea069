#include "platform/registry/UserStrings.h"

#include "platform/registry/Registry.h"

#include <vector>

using namespace win;

QString ReadUserString(const QString &keyPath, const QString &valueName)
{
    HKEY key = nullptr;
    if (RegCreateKeyEx(HKEY_CURRENT_USER, keyPath, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return {};
    QString result;
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueEx(key, valueName, &type, nullptr, &size) == ERROR_SUCCESS && size > 0) {
        std::vector<char> buffer(size);
        // A value of another type counts as missing, which every caller treats as safe.
        if (RegQueryValueEx(key, valueName, &type, buffer.data(), &size) == ERROR_SUCCESS &&
            (type == REG_SZ || type == REG_EXPAND_SZ)) {
            const auto *units = reinterpret_cast<const char16_t *>(buffer.data());
            qsizetype length = 0;
            while (length < qsizetype(size / 2) && units[length])
                ++length;
            result = QString::fromUtf16(units, length);
        }
    }
    RegCloseKey(key);
    return result;
}

bool WriteUserString(const QString &keyPath, const QString &valueName, const QString &value)
{
    HKEY key = nullptr;
    if (RegCreateKeyEx(HKEY_CURRENT_USER, keyPath, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return false;
    const LONG set =
        RegSetValueEx(key, valueName, REG_SZ, value.utf16(), DWORD((value.size() + 1) * 2));
    // Closing saves the change: only then is it known to be in the file.
    const LONG saved = RegCloseKey(key);
    return set == ERROR_SUCCESS && saved == ERROR_SUCCESS;
}
