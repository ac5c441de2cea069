#pragma once

#include <QDir>
#include <QString>

namespace xdg {

// The user's configuration folder: $XDG_CONFIG_HOME when it names an absolute path, else
// ~/.config, as the base directory rules say.
inline QString configHome()
{
    const QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    return config.isEmpty() || !QDir::isAbsolutePath(config) ? QDir::homePath() + "/.config"
                                                             : config;
}

} // namespace xdg
