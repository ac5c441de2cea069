#include "PrefixBuilder.h"

#include "TestEnvironment.h"
#include "platform/context/DefaultPrefix.h"
#include "platform/prefix/ReadOnlyNotice.h"
#include "platform/prefix/WineServer.h"
#include "platform/registry/RegHive.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace {

void copyTree(const QString &from, const QString &to)
{
    QDirIterator it(from, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info = it.nextFileInfo();
        const QString target = to + '/' + QDir(from).relativeFilePath(info.filePath());
        if (info.isDir()) {
            QDir().mkpath(target);
        } else {
            QFile::copy(info.filePath(), target);
            QFile::setPermissions(target, QFile::permissions(target) | QFile::WriteOwner);
        }
    }
}

// The sample's drive link is stored as a small file holding its target.
void restoreDriveLink(const QString &root)
{
    const QString drive = root + "/dosdevices/c:";
    QFile::remove(drive);
    QFile::link("../drive_c", drive);
}

void writeFile(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(content);
}

} // namespace

void PrefixBuilder::copySampleTo(const QString &folder)
{
    copyTree(testenv::samplePrefix(), folder);
    restoreDriveLink(folder);
}

PrefixBuilder::PrefixBuilder(Start start)
    : m_previousPrefix(qgetenv("WINEPREFIX")), m_hadPrefix(qEnvironmentVariableIsSet("WINEPREFIX"))
{
    switch (start) {
    case Start::Sample:
        copyTree(testenv::samplePrefix(), root());
        restoreDriveLink(root());
        break;
    case Start::Minimal:
        DefaultPrefix::ensure(root(), "user");
        break;
    case Start::Bare:
        QDir().mkpath(path("drive_c"));
        QDir().mkpath(path("dosdevices"));
        restoreDriveLink(root());
        break;
    }
    setenv("WINEPREFIX", QFile::encodeName(root()).constData(), 1);
    ReadOnlyNotice::reset();
}

PrefixBuilder::~PrefixBuilder()
{
    releaseServerLock();
    if (!m_serverTemp.isEmpty())
        QDir(m_serverTemp).removeRecursively();
    // The server folders that writing in the prefix made where Wine would find them.
    for (const QString &folder : WineServer(root()).serverFolders())
        if (!folder.startsWith(root()))
            QDir(folder).removeRecursively();
    QFile pointer(path("wineserver"));
    if (pointer.open(QIODevice::ReadOnly)) {
        const QString temp = QString::fromLocal8Bit(pointer.readLine(4096)).trimmed();
        if (!temp.isEmpty() && !temp.contains('/'))
            QDir(QDir::tempPath() + '/' + temp).removeRecursively();
    }
    if (m_hadPrefix)
        setenv("WINEPREFIX", m_previousPrefix.constData(), 1);
    else
        unsetenv("WINEPREFIX");
}

QByteArray PrefixBuilder::userReg() const
{
    QFile file(userRegPath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList PrefixBuilder::valueNames(const QString &keyPath) const
{
    QStringList names;
    const auto hive = RegHive::parse(userReg());
    if (const RegHive::Key *key = hive ? hive->findKey(keyPath.split('\\')) : nullptr)
        for (const RegHive::Value *value : key->values())
            names << value->name();
    return names;
}

PrefixBuilder &PrefixBuilder::folder(const QString &relative)
{
    QDir().mkpath(path(relative));
    return *this;
}

PrefixBuilder &PrefixBuilder::file(const QString &relative, const QByteArray &content)
{
    writeFile(path(relative), content);
    return *this;
}

PrefixBuilder &PrefixBuilder::writeUserReg(const QByteArray &content)
{
    writeFile(userRegPath(), content);
    return *this;
}

PrefixBuilder &PrefixBuilder::value(const QString &keyPath, const QString &name,
                                    const QString &data)
{
    return rawValue(
        keyPath, name, 1,
        QByteArray(reinterpret_cast<const char *>(data.utf16()), (data.size() + 1) * 2));
}

PrefixBuilder &PrefixBuilder::rawValue(const QString &keyPath, const QString &name, quint32 type,
                                       const QByteArray &data)
{
    const auto hive = RegHive::parse(userReg());
    const quint64 now = RegHive::currentFileTime();
    const RegHive::Key *key = hive->createKey(keyPath.split('\\', Qt::SkipEmptyParts), now);
    hive->setValue(key, name, type, data, now);
    return writeUserReg(hive->serialize());
}

void PrefixBuilder::holdServerLock()
{
    if (m_lockFd >= 0)
        return;
    if (m_serverTemp.isEmpty()) {
        QByteArray name = QFile::encodeName(QDir::tempPath()) + "/wine-XXXXXX";
        if (!::mkdtemp(name.data()))
            return;
        m_serverTemp = QFile::decodeName(name);
        file("wineserver", QFileInfo(m_serverTemp).fileName().toLocal8Bit() + '\n');
    }
    const QString folder = m_serverTemp + '/' + WineServer(root()).serverFolderName();
    QDir().mkpath(folder);
    m_lockFd = ::open(QFile::encodeName(folder + "/lock").constData(), O_RDWR | O_CREAT, 0600);
    // An open-file-description lock conflicts with our own process's record locks too.
    struct flock lock = {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    lock.l_len = 1;
    ::fcntl(m_lockFd, F_OFD_SETLK, &lock);
}

void PrefixBuilder::releaseServerLock()
{
    if (m_lockFd >= 0)
        ::close(m_lockFd);
    m_lockFd = -1;
}
