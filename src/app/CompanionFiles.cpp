#include "app/CompanionFiles.h"

#include "common/CompanionNames.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

std::string local(const QString &path)
{
    return QFile::encodeName(path).toStdString();
}

QString fromLocal(const std::string &path)
{
    return QFile::decodeName(QByteArray::fromStdString(path));
}

} // namespace

// The names are the translation library's: both take them from one place.
CompanionFiles::CompanionFiles(const QString &programPath)
    : m_programPath(programPath), m_basePath(fromLocal(common::basePath(local(programPath))))
{
    // The files written go to the data home when the program's folder is not writable.
    m_writableBasePath = fromLocal(common::writableCompanion(local(m_basePath), std::string()));
    QDir().mkpath(QFileInfo(m_writableBasePath).absolutePath());
}

CompanionFiles CompanionFiles::forRunningProgram()
{
    return CompanionFiles(runningProgramPath());
}

QString CompanionFiles::runningProgramPath()
{
    // The translation library honours the same override (portable set-ups, tests).
    if (const QString overridden = qEnvironmentVariable(common::programPathVariable);
        !overridden.isEmpty())
        return overridden;
    if (QCoreApplication::instance())
        return QCoreApplication::applicationFilePath();
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
}

QString CompanionFiles::programFolder() const
{
    return QFileInfo(m_programPath).absolutePath();
}

QString CompanionFiles::dataFolder() const
{
    const QString beside = programFolder();
    const QString installed =
        fromLocal(common::installedDataFolder(local(QFileInfo(m_programPath).absoluteFilePath())));
    if (!QFileInfo::exists(beside + QStringLiteral("/qutrans")) && QFileInfo(installed).isDir())
        return installed;
    return beside;
}

QString CompanionFiles::definitionTemplate() const
{
    return dataFolder() + QLatin1Char('/') + QFileInfo(m_basePath).fileName() +
           QStringLiteral("t00");
}

QString CompanionFiles::presenterPicture() const
{
    // The program's name without the dot and letters of its extension.
    const QString stem = m_basePath.chopped(1);
    const QString beside = stem + QStringLiteral("_pic.jpg");
    if (QFileInfo::exists(beside))
        return beside;
    return dataFolder() + QLatin1Char('/') + QFileInfo(beside).fileName();
}

QString CompanionFiles::clickSound() const
{
    return dataFolder() + QStringLiteral("/clck.wav");
}

QString CompanionFiles::written(const QString &extension) const
{
    return m_writableBasePath + extension;
}
