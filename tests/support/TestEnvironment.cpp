#include "TestEnvironment.h"

#include <QDir>
#include <QTemporaryDir>
#include <cstdlib>

namespace testenv {

namespace {
QTemporaryDir *homeDir = nullptr;
}

void isolateHome()
{
    if (homeDir)
        return;
    homeDir = new QTemporaryDir(QDir::tempPath() + "/navolis-test-home-XXXXXX");
    const QByteArray path = homeDir->path().toLocal8Bit();
    setenv("HOME", path.constData(), 1);
    setenv("XDG_DATA_HOME", (path + "/.local/share").constData(), 1);
    setenv("XDG_CONFIG_HOME", (path + "/.config").constData(), 1);
    unsetenv("WINEPREFIX");
}

QString home()
{
    return homeDir ? homeDir->path() : QString();
}

QString samplePrefix()
{
    return QStringLiteral(NAVOLIS_SAMPLE_PREFIX);
}

} // namespace testenv
