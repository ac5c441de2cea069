#include "platform/prefix/Prefix.h"

#include "common/CompanionNames.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

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

namespace {

thread_local const Prefix::Use *innermost = nullptr;
QString chosenRoot;

} // namespace

Prefix Prefix::target()
{
    if (innermost)
        return Prefix(innermost->m_root);
    if (!chosenRoot.isEmpty())
        return Prefix(chosenRoot);
    return Prefix(resolveRoot());
}

void Prefix::setChosen(const Prefix &prefix)
{
    chosenRoot = prefix.root();
}

Prefix::Use::Use(const Prefix &prefix) : m_root(prefix.root()), m_outer(innermost)
{
    innermost = this;
}

Prefix::Use::~Use()
{
    innermost = m_outer;
}
