#include "app/CompanionFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>

namespace {

bool hasThreeLetterExtension(const QString &path)
{
    static const QRegularExpression extension(QStringLiteral("\\.[A-Za-z]{3}$"));
    return extension.match(path).hasMatch();
}

QString dataHomeFolder()
{
    // A relative XDG_DATA_HOME is ignored, as the translation library ignores it.
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    if (!base.startsWith(QLatin1Char('/')))
        base = QDir::homePath() + QStringLiteral("/.local/share");
    return base + QStringLiteral("/navolis");
}

} // namespace

CompanionFiles::CompanionFiles(const QString &programPath)
    : m_programPath(programPath),
      m_basePath(hasThreeLetterExtension(programPath) ? programPath.chopped(3)
                                                      : programPath + QLatin1Char('.'))
{
    if (QFileInfo(programFolder()).isWritable()) {
        m_writableBasePath = m_basePath;
    } else {
        const QString folder = dataHomeFolder();
        QDir().mkpath(folder);
        m_writableBasePath = folder + QLatin1Char('/') + QFileInfo(m_basePath).fileName();
    }
}

CompanionFiles CompanionFiles::forRunningProgram()
{
    return CompanionFiles(runningProgramPath());
}

QString CompanionFiles::runningProgramPath()
{
    // The translation library honours the same override (portable set-ups, tests).
    if (const QString overridden = qEnvironmentVariable("NAVOLIS_PROGRAM_PATH");
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
    const QString installed = QDir::cleanPath(beside + QStringLiteral("/../share/navolis"));
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
    const QString stem =
        hasThreeLetterExtension(m_programPath) ? m_programPath.chopped(4) : m_programPath;
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
