#include "platform/shell/FileTypes.h"

#include "platform/prefix/Prefix.h"
#include "platform/registry/Registry.h"

#include <QDateTime>
#include <QFileInfo>
#include <QHash>

namespace FileTypes {

namespace {

using namespace win;

struct KnownType
{
    const char16_t *extension;
    const char16_t *className;
    const char16_t *typeName;
};
constexpr KnownType knownTypes[] = {
    {u".url", u"InternetShortcut", u"Internet Shortcut"},
    {u".lnk", u"lnkfile", u"Shortcut"},
};

struct ClassKey
{
    explicit ClassKey(const QString &name)
    {
        if (name.isEmpty() ||
            RegOpenKeyEx(HKEY_CLASSES_ROOT, name, KEY_READ, &key) != ERROR_SUCCESS)
            key = nullptr;
    }
    ~ClassKey()
    {
        if (key)
            RegCloseKey(key);
    }
    ClassKey(const ClassKey &) = delete;
    ClassKey &operator=(const ClassKey &) = delete;
    HKEY key = nullptr;
};

Type lookUp(const QString &extension)
{
    Type type;
    const KnownType *known = nullptr;
    for (const KnownType &k : knownTypes)
        if (extension == QStringView(k.extension))
            known = &k;
    if (const ClassKey ext(extension); ext.key)
        type.className = RegQueryString(ext.key, {}).value_or(QString());
    if (type.className.isEmpty() && known)
        type.className = QString::fromUtf16(known->className);
    if (const ClassKey cls(type.className); cls.key) {
        type.typeName = RegQueryString(cls.key, {}).value_or(QString());
        DWORD valueType = 0;
        type.neverShowExt = RegQueryValueEx(cls.key, u"NeverShowExt", &valueType, nullptr,
                                            nullptr) == ERROR_SUCCESS;
    } else if (known) {
        type.neverShowExt = true;
    }
    if (type.typeName.isEmpty() && known && type.className == QStringView(known->className))
        type.typeName = QString::fromUtf16(known->typeName);
    if (type.typeName.isEmpty())
        type.typeName = extension.size() < 2 ? QStringLiteral("File")
                                             : extension.mid(1) + QStringLiteral(" file");
    return type;
}

// Types by extension for one state of the prefix's system.reg: a folder of thousands of
// shortcuts asks for the same few types.
struct Cache
{
    QString systemReg;
    QDateTime modified;
    qint64 size = -1;
    bool checked = false;
    QHash<QString, Type> types;
};

Cache &cache()
{
    static Cache types;
    return types;
}

} // namespace

Type ofFileName(const QString &fileName)
{
    const qsizetype dot = fileName.lastIndexOf(u'.');
    const QString extension = dot < 0 ? QString() : fileName.mid(dot).toLower();

    Cache &cache = FileTypes::cache();
    if (!cache.checked || cache.systemReg != Prefix::target().systemRegPath())
        refresh();
    auto found = cache.types.constFind(extension);
    if (found == cache.types.cend())
        found = cache.types.insert(extension, lookUp(extension));
    return *found;
}

void refresh()
{
    Cache &cache = FileTypes::cache();
    const QString systemReg = Prefix::target().systemRegPath();
    const QFileInfo info(systemReg);
    if (cache.systemReg != systemReg || cache.modified != info.lastModified() ||
        cache.size != info.size()) {
        cache.systemReg = systemReg;
        cache.modified = info.lastModified();
        cache.size = info.size();
        cache.types.clear();
    }
    cache.checked = true;
}

std::optional<QString> classDefault(const QString &className)
{
    const ClassKey cls(className);
    if (!cls.key)
        return std::nullopt;
    return RegQueryString(cls.key, {}).value_or(QString());
}

} // namespace FileTypes
