#include "platform/registry/Registry.h"

#include "platform/kernel/LogCategories.h"
#include "platform/prefix/Prefix.h"
#include "platform/registry/HiveFile.h"

#include <QMutex>
#include <QSet>
#include <QStringList>

#include <cstring>
#include <memory>
#include <optional>
#include <vector>

namespace win {

struct RegKeyObject
{
    std::shared_ptr<HiveFile> file;
    QStringList path;
    REGSAM access = 0;
};

namespace {

constexpr qsizetype maxKeyNameLength = 256;
constexpr qsizetype maxValueNameLength = 16383;

QRecursiveMutex registryMutex;
QSet<HKEY> openHandles;

struct Target
{
    std::shared_ptr<HiveFile> file;
    QStringList path;
    REGSAM access = KEY_ALL_ACCESS;
    bool predefined = false;
};

// The hives of the current prefix; a switch of prefix gives new ones, while handles that are
// open keep the hive they were opened on.
struct Hives
{
    QString root;
    std::shared_ptr<HiveFile> user;
    std::shared_ptr<HiveFile> classes;
};

// Kept to the end of the process, when the system takes back a big hive at once instead of
// freeing it key by key; nothing waits to be saved then, since a change set waits only while
// its key is open.
Hives &currentHives()
{
    static Hives &hives = *new Hives;
    const Prefix prefix = Prefix::target();
    if (!hives.user || hives.root != prefix.root()) {
        hives.root = prefix.root();
        hives.user = std::make_shared<HiveFile>(prefix.userRegPath(), prefix.root());
        hives.classes = std::make_shared<HiveFile>(prefix.systemRegPath(), QString());
    }
    return hives;
}

std::optional<Target> target(HKEY key)
{
    if (key == HKEY_CURRENT_USER)
        return Target{currentHives().user, {}, KEY_ALL_ACCESS, true};
    if (key == HKEY_CLASSES_ROOT)
        return Target{currentHives().classes, {"Software", "Classes"}, KEY_READ, true};
    if (!openHandles.contains(key))
        return std::nullopt;
    return Target{key->file, key->path, key->access, false};
}

bool appendPath(QStringList &path, QStringView subKey)
{
    for (const QStringView element : subKey.tokenize(u'\\', Qt::SkipEmptyParts)) {
        if (element.size() > maxKeyNameLength)
            return false;
        path << element.toString();
    }
    return true;
}

// The key a handle names, or null when it was deleted meanwhile.
const RegHive::Key *keyOf(const Target &t, const RegHive &hive)
{
    return hive.findKey(t.path);
}

// A handle resolved to the key it names in the hive as it is now, or the error to answer.
struct OpenedKey
{
    Target target;
    const RegHive::Key *key = nullptr;
    LONG error = ERROR_SUCCESS;
};

// The handle must grant `right`. A predefined root without its key answers `absent`; a key
// deleted meanwhile ERROR_KEY_DELETED.
OpenedKey openedKey(HKEY key, REGSAM right, LONG absent)
{
    const auto t = target(key);
    if (!t)
        return {{}, nullptr, ERROR_INVALID_HANDLE};
    if (!(t->access & right))
        return {{}, nullptr, ERROR_ACCESS_DENIED};
    const RegHive::Key *k = keyOf(*t, t->file->hive());
    if (!k)
        return {{}, nullptr, t->predefined ? absent : ERROR_KEY_DELETED};
    return {*t, k};
}

HKEY newHandle(const Target &t, const QStringList &path, REGSAM access)
{
    HKEY handle = new RegKeyObject{t.file, path, access};
    openHandles.insert(handle);
    return handle;
}

LONG copyData(const QByteArray &source, void *data, DWORD *size)
{
    const auto needed = DWORD(source.size());
    if (data) {
        if (!size)
            return ERROR_INVALID_PARAMETER;
        if (*size < needed) {
            *size = needed;
            return ERROR_MORE_DATA;
        }
        std::memcpy(data, source.constData(), needed);
    }
    if (size)
        *size = needed;
    return ERROR_SUCCESS;
}

} // namespace

static LONG untracedRegCreateKeyEx(HKEY key, QStringView subKey, REGSAM access, HKEY *result,
                                   DWORD *disposition)
{
    QMutexLocker lock(&registryMutex);
    const auto t = target(key);
    if (!t)
        return ERROR_INVALID_HANDLE;
    QStringList path = t->path;
    if (!result || !appendPath(path, subKey))
        return ERROR_INVALID_PARAMETER;
    const RegHive &hive = t->file->hive();
    if (!keyOf(*t, hive) && !t->predefined)
        return ERROR_KEY_DELETED;
    DWORD how = REG_OPENED_EXISTING_KEY;
    if (!hive.findKey(path)) {
        const LONG rc = t->file->modify(
            [t = *t, path](RegHive &h, bool &changed) {
                if (!keyOf(t, h) && !t.predefined)
                    return ERROR_KEY_DELETED;
                h.createKey(path, RegHive::currentFileTime(), &changed);
                return ERROR_SUCCESS;
            },
            !t->predefined);
        if (rc != ERROR_SUCCESS)
            return rc;
        how = REG_CREATED_NEW_KEY;
    }
    *result = newHandle(*t, path, access);
    if (disposition)
        *disposition = how;
    return ERROR_SUCCESS;
}

static LONG untracedRegOpenKeyEx(HKEY key, QStringView subKey, REGSAM access, HKEY *result)
{
    QMutexLocker lock(&registryMutex);
    const auto t = target(key);
    if (!t)
        return ERROR_INVALID_HANDLE;
    QStringList path = t->path;
    if (!result || !appendPath(path, subKey))
        return ERROR_INVALID_PARAMETER;
    if (!t->file->hive().findKey(path))
        return ERROR_FILE_NOT_FOUND;
    *result = newHandle(*t, path, access);
    return ERROR_SUCCESS;
}

static LONG untracedRegCloseKey(HKEY key)
{
    QMutexLocker lock(&registryMutex);
    if (key == HKEY_CURRENT_USER || key == HKEY_CLASSES_ROOT)
        return ERROR_SUCCESS;
    if (!openHandles.remove(key))
        return ERROR_INVALID_HANDLE;
    // Closing a key saves what was changed through it, as Windows writes a key's changes lazily.
    const LONG saved = key->file->flush();
    delete key;
    return saved;
}

static LONG untracedRegFlushKey(HKEY key)
{
    QMutexLocker lock(&registryMutex);
    const auto t = target(key);
    if (!t)
        return ERROR_INVALID_HANDLE;
    return t->file->flush();
}

static LONG untracedRegQueryValueEx(HKEY key, QStringView valueName, DWORD *type, void *data,
                                    DWORD *size)
{
    QMutexLocker lock(&registryMutex);
    const OpenedKey o = openedKey(key, KEY_QUERY_VALUE, ERROR_FILE_NOT_FOUND);
    if (o.error != ERROR_SUCCESS)
        return o.error;
    const RegHive::Value *value = o.key->value(valueName);
    if (!value)
        return ERROR_FILE_NOT_FOUND;
    if (type)
        *type = value->type;
    return copyData(value->data(), data, size);
}

static LONG untracedRegSetValueEx(HKEY key, QStringView valueName, DWORD type, const void *data,
                                  DWORD size)
{
    QMutexLocker lock(&registryMutex);
    const auto t = target(key);
    if (!t)
        return ERROR_INVALID_HANDLE;
    if (!(t->access & KEY_SET_VALUE))
        return ERROR_ACCESS_DENIED;
    if ((size && !data) || valueName.size() > maxValueNameLength)
        return ERROR_INVALID_PARAMETER;
    const QByteArray bytes(static_cast<const char *>(data), qsizetype(size));
    const QString name = valueName.toString();
    const RegHive::Key *k = keyOf(*t, t->file->hive());
    if (!k && !t->predefined)
        return ERROR_KEY_DELETED;
    if (k) {
        const RegHive::Value *current = k->value(name);
        if (current && current->type == type && current->data() == bytes)
            return ERROR_SUCCESS; // nothing to write
    }
    return t->file->modify(
        [t = *t, name, type, bytes](RegHive &h, bool &changed) {
            const RegHive::Key *fresh = t.predefined ? h.createKey(t.path, 0) : keyOf(t, h);
            if (!fresh)
                return ERROR_KEY_DELETED;
            changed = h.setValue(fresh, name, type, bytes, RegHive::currentFileTime());
            return ERROR_SUCCESS;
        },
        !t->predefined);
}

static LONG untracedRegDeleteValue(HKEY key, QStringView valueName)
{
    QMutexLocker lock(&registryMutex);
    const OpenedKey o = openedKey(key, KEY_SET_VALUE, ERROR_FILE_NOT_FOUND);
    if (o.error != ERROR_SUCCESS)
        return o.error;
    if (!o.key->value(valueName))
        return ERROR_FILE_NOT_FOUND;
    return o.target.file->modify(
        [t = o.target, name = valueName.toString()](RegHive &h, bool &changed) {
            const RegHive::Key *fresh = keyOf(t, h);
            if (!fresh)
                return ERROR_KEY_DELETED;
            changed = h.deleteValue(fresh, name, RegHive::currentFileTime());
            return changed ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
        },
        !o.target.predefined);
}

static LONG untracedRegQueryInfoKey(HKEY key, RegKeyInfo *info)
{
    QMutexLocker lock(&registryMutex);
    const auto t = target(key);
    if (!t)
        return ERROR_INVALID_HANDLE;
    if (!info)
        return ERROR_INVALID_PARAMETER;
    const RegHive::Key *k = keyOf(*t, t->file->hive());
    if (!k)
        return t->predefined ? ERROR_FILE_NOT_FOUND : ERROR_KEY_DELETED;
    RegKeyInfo result;
    result.className = k->className();
    result.maxClassLen = DWORD(k->className().size());
    result.subKeys = DWORD(k->subkeyCount());
    for (const RegHive::Key *sub : k->subkeys())
        result.maxSubKeyLen = std::max(result.maxSubKeyLen, DWORD(sub->name().size()));
    result.values = DWORD(k->values().size());
    for (const RegHive::Value *value : k->values()) {
        result.maxValueNameLen = std::max(result.maxValueNameLen, DWORD(value->nameView().size()));
        result.maxValueLen = std::max(result.maxValueLen, DWORD(value->data().size()));
    }
    result.lastWriteTime = k->lastWriteTime();
    *info = result;
    return ERROR_SUCCESS;
}

static LONG untracedRegEnumValue(HKEY key, DWORD index, QString *valueName, DWORD *type, void *data,
                                 DWORD *size)
{
    QMutexLocker lock(&registryMutex);
    const OpenedKey o = openedKey(key, KEY_QUERY_VALUE, ERROR_NO_MORE_ITEMS);
    if (o.error != ERROR_SUCCESS)
        return o.error;
    if (index >= o.key->values().size())
        return ERROR_NO_MORE_ITEMS;
    const RegHive::Value *value = o.key->values()[index];
    if (valueName)
        *valueName = value->name();
    if (type)
        *type = value->type;
    return copyData(value->data(), data, size);
}

static LONG untracedRegEnumKeyEx(HKEY key, DWORD index, QString *subKeyName)
{
    QMutexLocker lock(&registryMutex);
    const OpenedKey o = openedKey(key, KEY_ENUMERATE_SUB_KEYS, ERROR_NO_MORE_ITEMS);
    if (o.error != ERROR_SUCCESS)
        return o.error;
    const std::vector<const RegHive::Key *> subkeys = o.key->subkeys();
    if (index >= subkeys.size())
        return ERROR_NO_MORE_ITEMS;
    if (subKeyName)
        *subKeyName = subkeys[index]->name();
    return ERROR_SUCCESS;
}

namespace {

// As Wine's traces do: every call that fails says so at debug level (the end of an enumeration
// and a short buffer are answers, not failures).
LONG traced(const char *call, QStringView name, LONG result)
{
    if (result != ERROR_SUCCESS && result != ERROR_NO_MORE_ITEMS && result != ERROR_MORE_DATA)
        qCDebug(lcRegistry) << call << name << "failed with" << result;
    return result;
}

} // namespace

LONG RegCreateKeyEx(HKEY key, QStringView subKey, REGSAM access, HKEY *result, DWORD *disposition)
{
    return traced("RegCreateKeyEx", subKey,
                  untracedRegCreateKeyEx(key, subKey, access, result, disposition));
}

LONG RegOpenKeyEx(HKEY key, QStringView subKey, REGSAM access, HKEY *result)
{
    return traced("RegOpenKeyEx", subKey, untracedRegOpenKeyEx(key, subKey, access, result));
}

LONG RegCloseKey(HKEY key)
{
    return traced("RegCloseKey", QStringView(), untracedRegCloseKey(key));
}

std::optional<QString> RegQueryString(HKEY key, QStringView valueName, DWORD *type)
{
    DWORD valueType = 0;
    DWORD size = 0;
    const LONG found = RegQueryValueEx(key, valueName, &valueType, nullptr, &size);
    if (type)
        *type = valueType;
    if (found != ERROR_SUCCESS || (valueType != REG_SZ && valueType != REG_EXPAND_SZ))
        return std::nullopt;
    std::vector<char16_t> units(size / 2 + 1, 0);
    DWORD read = size;
    if (RegQueryValueEx(key, valueName, nullptr, units.data(), &read) != ERROR_SUCCESS)
        return std::nullopt;
    return QString::fromUtf16(units.data()); // up to the first NUL
}

LONG RegFlushKey(HKEY key)
{
    return traced("RegFlushKey", QStringView(), untracedRegFlushKey(key));
}

LONG RegQueryValueEx(HKEY key, QStringView valueName, DWORD *type, void *data, DWORD *size)
{
    return traced("RegQueryValueEx", valueName,
                  untracedRegQueryValueEx(key, valueName, type, data, size));
}

LONG RegSetValueEx(HKEY key, QStringView valueName, DWORD type, const void *data, DWORD size)
{
    return traced("RegSetValueEx", valueName,
                  untracedRegSetValueEx(key, valueName, type, data, size));
}

LONG RegDeleteValue(HKEY key, QStringView valueName)
{
    return traced("RegDeleteValue", valueName, untracedRegDeleteValue(key, valueName));
}

LONG RegQueryInfoKey(HKEY key, RegKeyInfo *info)
{
    return traced("RegQueryInfoKey", QStringView(), untracedRegQueryInfoKey(key, info));
}

LONG RegEnumValue(HKEY key, DWORD index, QString *valueName, DWORD *type, void *data, DWORD *size)
{
    return traced("RegEnumValue", QStringView(),
                  untracedRegEnumValue(key, index, valueName, type, data, size));
}

int RegSaveCount()
{
    return HiveFile::processSaveCount();
}

bool UserHiveIsDamaged()
{
    QMutexLocker lock(&registryMutex);
    return currentHives().user->hive().isDamaged();
}

bool UserHiveIsLinked()
{
    QMutexLocker lock(&registryMutex);
    return currentHives().user->isLinked();
}

LONG RegEnumKeyEx(HKEY key, DWORD index, QString *subKeyName)
{
    return traced("RegEnumKeyEx", QStringView(), untracedRegEnumKeyEx(key, index, subKeyName));
}

} // namespace win
