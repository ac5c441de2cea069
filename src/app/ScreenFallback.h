#pragma once

#include <QByteArray>

#include <vector>

// Qt aborts the process when the platform it was asked for cannot start (no display, a stale
// DISPLAY, a compositor gone). The program's command line and environment name the platform as
// they did, with the offscreen platform added as the last resort, so that the run starts and
// can tell by itself that it has no screen.
class ScreenFallback
{
public:
    // Sets QT_QPA_PLATFORM, or rewrites a "-platform" value of the command line, which wins.
    ScreenFallback(int argc, char **argv);

    // The command line for the application object; it lives as long as this object.
    int &argc() { return m_argc; }
    char **argv() { return m_argv.data(); }

    // Once the application object exists: programs started from here choose their own platform.
    void restoreEnvironment();

    // After the application object exists: whether the platform in use shows nothing.
    static bool hasNoScreen();

    // The platform list with the last resort appended; what Qt would choose when it is empty.
    static QByteArray withFallback(QByteArray platforms);

private:
    int m_argc;
    std::vector<char *> m_argv;
    QByteArray m_platformValue;
    bool m_environmentSet = false;
    bool m_hadEnvironment = false;
    QByteArray m_environment;
};
