#include "platform/context/DefaultPrefix.h"

#include "platform/kernel/WinTypes.h"
#include "platform/registry/KeyPaths.h"
#include "platform/registry/RegHive.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <pwd.h>
#include <unistd.h>

namespace DefaultPrefix {

namespace {

constexpr ShellFolder folders[] = {
    {"Administrative Tools",
     "AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\Administrative Tools"},
    {"AppData", "AppData\\Roaming"},
    {"Cache", "AppData\\Local\\Microsoft\\Windows\\INetCache"},
    {"Cookies", "AppData\\Local\\Microsoft\\Windows\\INetCookies"},
    {"Desktop", "Desktop"},
    {"Favorites", "Favorites"},
    {"Fonts", "C:\\windows\\Fonts"},
    {"History", "AppData\\Local\\Microsoft\\Windows\\History"},
    {"Local AppData", "AppData\\Local"},
    {"My Music", "Music"},
    {"My Pictures", "Pictures"},
    {"My Videos", "Videos"},
    {"NetHood", "AppData\\Roaming\\Microsoft\\Windows\\Network Shortcuts"},
    {"Personal", "Documents"},
    {"PrintHood", "AppData\\Roaming\\Microsoft\\Windows\\Printer Shortcuts"},
    {"Programs", "AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs"},
    {"Recent", "AppData\\Roaming\\Microsoft\\Windows\\Recent"},
    {"SendTo", "AppData\\Roaming\\Microsoft\\Windows\\SendTo"},
    {"Start Menu", "AppData\\Roaming\\Microsoft\\Windows\\Start Menu"},
    {"StartUp", "AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\StartUp"},
    {"Templates", "AppData\\Roaming\\Microsoft\\Windows\\Templates"},
    {"{374DE290-123F-4565-9164-39C4925E467B}", "Downloads"},
    {"{4C5C32FF-BB9D-43B0-B5B4-2D72E54EAAA4}", "Saved Games"},
    {"{56784854-C6CB-462B-8169-88E350ACB882}", "Contacts"},
    {"{7D1D3A04-DEBB-4115-95CF-2F29DA2920DA}", "Searches"},
    {"{A520A1A4-1780-4FF6-BD18-167343C5AF16}", "AppData\\LocalLow"},
    {"{BFB9D5E0-C6A9-404C-B2B2-AE6DB6AF4968}", "Links"},
};

// No #arch line: Wine accepts that from any build and adds the line itself.
constexpr char header[] = "WINE REGISTRY Version 2\n"
                          ";; All keys relative to REGISTRY\\\\User\\\\S-1-5-21-0-0-0-1000\n";

const QString explorerKey = KeyPaths::belowRoot(KeyPaths::Explorer);

bool isAbsolute(const ShellFolder &folder)
{
    return QByteArrayView(folder.path).startsWith("C:");
}

QByteArray stringData(const QString &text)
{
    return QByteArray(reinterpret_cast<const char *>(text.utf16()), (text.size() + 1) * 2);
}

void setString(RegHive &hive, const QString &keyPath, const QString &name, const QString &value,
               quint32 type = win::REG_SZ)
{
    const quint64 now = RegHive::currentFileTime();
    const RegHive::Key *key = hive.createKey(keyPath.split('\\'), now);
    hive.setValue(key, name, type, stringData(value), now);
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

} // namespace

std::span<const ShellFolder> shellFolders()
{
    return folders;
}

QString loginName()
{
    if (const passwd *pw = ::getpwuid(::getuid()); pw && pw->pw_name && *pw->pw_name)
        return QString::fromLocal8Bit(pw->pw_name);
    const QString user = qEnvironmentVariable("USER");
    return user.isEmpty() ? QStringLiteral("user") : user;
}

QByteArray userRegText(const QString &userName)
{
    const std::unique_ptr<RegHive> hive = RegHive::create(header);
    const QString profile = "C:\\users\\" + userName;
    for (const ShellFolder &folder : folders) {
        const QString path = QString::fromLatin1(folder.path);
        const QString name = QString::fromLatin1(folder.valueName);
        const bool absolute = isAbsolute(folder);
        setString(*hive, explorerKey + "\\Shell Folders", name,
                  absolute ? path : profile + '\\' + path);
        setString(*hive, explorerKey + "\\User Shell Folders", name,
                  absolute ? path : "%USERPROFILE%\\" + path, win::REG_EXPAND_SZ);
    }
    const QString environment = QStringLiteral("Volatile Environment");
    setString(*hive, environment, "APPDATA", profile + "\\AppData\\Roaming");
    setString(*hive, environment, "HOMEDRIVE", "C:");
    setString(*hive, environment, "HOMEPATH", "\\users\\" + userName);
    setString(*hive, environment, "LOCALAPPDATA", profile + "\\AppData\\Local");
    setString(*hive, environment, "USERNAME", userName);
    setString(*hive, environment, "USERPROFILE", profile);
    return hive->serialize();
}

bool ensure(const QString &root, const QString &userName)
{
    QDir dir;
    const QString profile = root + "/drive_c/users/" + userName;
    bool ok = dir.mkpath(root + "/dosdevices") && dir.mkpath(profile);
    const QString drive = root + "/dosdevices/c:";
    if (ok && !QFileInfo(drive).isSymLink() && !QFileInfo::exists(drive))
        ok = QFile::link("../drive_c", drive);
    for (const ShellFolder &folder : folders) {
        if (!isAbsolute(folder))
            ok = dir.mkpath(profile + '/' + QString::fromLatin1(folder.path).replace('\\', '/')) &&
                 ok;
    }
    const QString userReg = root + "/user.reg";
    if (ok && !QFileInfo::exists(userReg))
        ok = writeFile(userReg, userRegText(userName));
    return ok;
}

} // namespace DefaultPrefix
