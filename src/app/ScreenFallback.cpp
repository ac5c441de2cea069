#include "app/ScreenFallback.h"

#include <QGuiApplication>
#include <QScreen>

#include <cstring>

namespace {

bool isScreenless(const QByteArray &platform)
{
    return platform == "offscreen" || platform == "minimal";
}

// Qt's own default: Wayland where the session says so (not under GNOME, where Qt keeps to X),
// else X.
QByteArray defaultPlatforms()
{
    const QByteArray session = qgetenv("XDG_SESSION_TYPE");
    const QByteArray desktop =
        (qgetenv("XDG_CURRENT_DESKTOP") + ':' + qgetenv("XDG_SESSION_DESKTOP")).toLower();
    const bool wayland =
        (session == "wayland" && !desktop.contains("gnome")) ||
        (qEnvironmentVariableIsEmpty("DISPLAY") && !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"));
    return wayland ? QByteArrayLiteral("wayland;xcb") : QByteArrayLiteral("xcb");
}

} // namespace

QByteArray ScreenFallback::withFallback(QByteArray platforms)
{
    if (platforms.isEmpty()) {
        // From cron, a login script or ssh: nothing to connect to, and nothing to warn about.
        if (qEnvironmentVariableIsEmpty("DISPLAY") &&
            qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
            return QByteArrayLiteral("offscreen");
        platforms = defaultPlatforms();
    }
    for (const QByteArray &name : platforms.split(';'))
        if (isScreenless(name.split(':').first()))
            return platforms;
    return platforms + ";offscreen";
}

ScreenFallback::ScreenFallback(int argc, char **argv) : m_argc(argc), m_argv(argv, argv + argc)
{
    m_argv.push_back(nullptr);
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "-platform") == 0 || std::strcmp(argv[i], "--platform") == 0) {
            m_platformValue = withFallback(argv[i + 1]);
            m_argv[i + 1] = m_platformValue.data();
            return;
        }
    }
    m_hadEnvironment = qEnvironmentVariableIsSet("QT_QPA_PLATFORM");
    m_environment = qgetenv("QT_QPA_PLATFORM");
    m_environmentSet = true;
    qputenv("QT_QPA_PLATFORM", withFallback(m_environment));
}

void ScreenFallback::restoreEnvironment()
{
    if (!m_environmentSet)
        return;
    if (m_hadEnvironment)
        qputenv("QT_QPA_PLATFORM", m_environment);
    else
        qunsetenv("QT_QPA_PLATFORM");
}

bool ScreenFallback::hasNoScreen()
{
    return isScreenless(QGuiApplication::platformName().toLatin1()) ||
           !QGuiApplication::primaryScreen();
}
