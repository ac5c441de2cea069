#pragma once

#include <QByteArrayView>
#include <QStringList>

#include <optional>

namespace prefixes::heroic {

// The "winePrefix" of each game in one of Heroic's GamesConfig files
// (`{ "<appName>": { "winePrefix": "...", ... }, "version": ... }`), in the order of the games'
// names; nothing when the file is no JSON object.
std::optional<QStringList> winePrefixes(QByteArrayView json);

} // namespace prefixes::heroic
