#include "platform/registry/TRegistry.h"

#include <vector>

using namespace win;

TRegistry::TRegistry(REGSAM access) : m_access(access) {}

TRegistry::~TRegistry()
{
    CloseKey();
}

void TRegistry::SetRootKey(HKEY root)
{
    CloseKey();
    m_root = root;
}

HKEY TRegistry::baseFor(const QString &key) const
{
    return (key.startsWith('\\') || !m_current) ? m_root : m_current;
}

bool TRegistry::OpenKey(const QString &key, bool canCreate)
{
    const bool relative = !key.startsWith('\\') && m_current;
    HKEY opened = nullptr;
    const LONG rc = canCreate ? RegCreateKeyEx(baseFor(key), key, m_access, &opened)
                              : RegOpenKeyEx(baseFor(key), key, m_access, &opened);
    if (rc != ERROR_SUCCESS)
        return false;
    const QString path = QString(key).remove(0, key.startsWith('\\') ? 1 : 0);
    const QString newPath =
        relative && !m_currentPath.isEmpty() ? m_currentPath + '\\' + path : path;
    CloseKey();
    m_current = opened;
    m_currentPath = newPath;
    return true;
}

void TRegistry::CloseKey()
{
    if (m_current)
        RegCloseKey(m_current);
    m_current = nullptr;
    m_currentPath.clear();
}

bool TRegistry::FlushKey()
{
    return RegFlushKey(m_current ? m_current : m_root) == ERROR_SUCCESS;
}

void TRegistry::GetValueNames(QStringList &strings) const
{
    strings.clear();
    const HKEY key = m_current ? m_current : m_root;
    RegKeyInfo info;
    if (RegQueryInfoKey(key, &info) != ERROR_SUCCESS)
        return;
    for (DWORD i = 0; i < info.values; ++i) {
        QString name;
        if (RegEnumValue(key, i, &name, nullptr, nullptr, nullptr) == ERROR_SUCCESS)
            strings << name;
    }
}

bool TRegistry::ValueExists(const QString &name) const
{
    return RegQueryValueEx(m_current ? m_current : m_root, name, nullptr, nullptr, nullptr) ==
           ERROR_SUCCESS;
}

QString TRegistry::ReadString(const QString &name) const
{
    const HKEY key = m_current ? m_current : m_root;
    DWORD size = 0;
    if (RegQueryValueEx(key, name, nullptr, nullptr, &size) != ERROR_SUCCESS || size == 0)
        return {};
    std::vector<char> buffer(size);
    DWORD type = 0;
    if (RegQueryValueEx(key, name, &type, buffer.data(), &size) != ERROR_SUCCESS)
        throw ERegistryException(("Failed to get data for '" + name + "'").toStdString());
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        throw ERegistryException(("Invalid data type for '" + name + "'").toStdString());
    const QString text =
        QString::fromUtf16(reinterpret_cast<const char16_t *>(buffer.data()), qsizetype(size / 2));
    return text.left(text.indexOf(QChar(0)) < 0 ? text.size() : text.indexOf(QChar(0)));
}

void TRegistry::WriteString(const QString &name, const QString &value)
{
    const LONG rc = RegSetValueEx(m_current ? m_current : m_root, name, REG_SZ, value.utf16(),
                                  DWORD((value.size() + 1) * 2));
    if (rc != ERROR_SUCCESS)
        throw ERegistryException(("Failed to set data for '" + name + "'").toStdString());
}

bool TRegistry::DeleteValue(const QString &name)
{
    return RegDeleteValue(m_current ? m_current : m_root, name) == ERROR_SUCCESS;
}
