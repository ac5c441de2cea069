#include "platform/prefix/Prefix.h"

#include "common/CompanionNames.h"

#include "platform/prefix/DefaultPrefix.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>

namespace {

QString withoutTrailingSlashes(QString path)
{
    while (path.size() > 1 && path.endsWith('/'))
        path.chop(1);
    return path;
}

QString homeFolder()
{
    const QString home = qEnvironmentVariable("HOME");
    return home.isEmpty() ? QDir::homePath() : home;
}

} // namespace

Prefix::Prefix(QString root) : m_root(withoutTrailingSlashes(std::move(root))) {}

QString Prefix::embeddedDefaultRoot()
{
    return QFile::decodeName(QByteArray::fromStdString(common::dataHomeFolder())) + "/prefix";
}

QString Prefix::resolveRoot()
{
    const QString winePrefix = qEnvironmentVariable("WINEPREFIX");
    if (!winePrefix.isEmpty())
        return withoutTrailingSlashes(QDir(winePrefix).absolutePath());
    const QString dotWine = homeFolder() + "/.wine";
    if (QFileInfo(dotWine + "/user.reg").isFile())
        return dotWine;
    return embeddedDefaultRoot();
}

Prefix Prefix::current()
{
    // The embedded default is made once per folder; a test or the user may switch prefixes.
    static QMutex mutex;
    static QString ensured;
    const QString root = resolveRoot();
    if (root == embeddedDefaultRoot()) {
        QMutexLocker lock(&mutex);
        if (ensured != root) {
            DefaultPrefix::ensure(root, DefaultPrefix::loginName());
            ensured = root;
        }
    }
    return Prefix(root);
}
