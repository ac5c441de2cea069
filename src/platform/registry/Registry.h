#pragma once

#include "platform/kernel/WinTypes.h"

#include <QString>

#include <optional>

// The registry calls of the Windows API, over the prefix: HKEY_CURRENT_USER is user.reg,
// HKEY_CLASSES_ROOT is Software\Classes of system.reg and read-only. Key paths may start with
// a backslash; key and value names compare case-insensitively and keep their stored case.
// Sizes are in bytes; strings are UTF-16LE with their terminating NUL counted.
namespace win {

using REGSAM = DWORD;
struct RegKeyObject;
using HKEY = RegKeyObject *;

inline const HKEY HKEY_CLASSES_ROOT = reinterpret_cast<HKEY>(quintptr(0x80000000));
inline const HKEY HKEY_CURRENT_USER = reinterpret_cast<HKEY>(quintptr(0x80000001));

constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
constexpr REGSAM KEY_SET_VALUE = 0x0002;
constexpr REGSAM KEY_CREATE_SUB_KEY = 0x0004;
constexpr REGSAM KEY_ENUMERATE_SUB_KEYS = 0x0008;
constexpr REGSAM KEY_READ = 0x20019;
constexpr REGSAM KEY_WRITE = 0x20006;
constexpr REGSAM KEY_ALL_ACCESS = 0xf003f;

constexpr DWORD REG_CREATED_NEW_KEY = 1;
constexpr DWORD REG_OPENED_EXISTING_KEY = 2;

// What RegQueryInfoKey reports; name lengths in characters without the NUL.
struct RegKeyInfo
{
    QString className;
    DWORD subKeys = 0;
    DWORD maxSubKeyLen = 0;
    DWORD maxClassLen = 0;
    DWORD values = 0;
    DWORD maxValueNameLen = 0;
    DWORD maxValueLen = 0;
    quint64 lastWriteTime = 0; // FILETIME
};

LONG RegCreateKeyEx(HKEY key, QStringView subKey, REGSAM access, HKEY *result,
                    DWORD *disposition = nullptr);
LONG RegOpenKeyEx(HKEY key, QStringView subKey, REGSAM access, HKEY *result);
// Changes made through a handle are saved together when it is closed or flushed; the results of
// the calls that made them tell whether the save succeeded only then.
LONG RegCloseKey(HKEY key);
LONG RegFlushKey(HKEY key);
// With `data` null only the type and size are reported; a too small buffer gives
// ERROR_MORE_DATA and the size needed.
LONG RegQueryValueEx(HKEY key, QStringView valueName, DWORD *type, void *data, DWORD *size);
// A string value (REG_SZ or REG_EXPAND_SZ) up to its first NUL; nullopt when the value is missing
// or no string. `type` receives the value's type.
std::optional<QString> RegQueryString(HKEY key, QStringView valueName, DWORD *type = nullptr);
LONG RegSetValueEx(HKEY key, QStringView valueName, DWORD type, const void *data, DWORD size);
LONG RegDeleteValue(HKEY key, QStringView valueName);
LONG RegQueryInfoKey(HKEY key, RegKeyInfo *info);
// Values in stored order; ERROR_NO_MORE_ITEMS past the last.
LONG RegEnumValue(HKEY key, DWORD index, QString *valueName, DWORD *type, void *data, DWORD *size);
// How many times this process has saved a hive file (tests, benchmarks).
int RegSaveCount();

// Whether the current prefix's user.reg exists but cannot be read as a hive.
bool UserHiveIsDamaged();
// Whether the current prefix's user.reg is a symbolic link or has other hard links: it is then
// not the prefix's own file, and is never replaced.
bool UserHiveIsLinked();

// Subkeys in the order Wine enumerates them; ERROR_NO_MORE_ITEMS past the last.
LONG RegEnumKeyEx(HKEY key, DWORD index, QString *subKeyName);

} // namespace win
