#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <optional>

// Single values out of the launchers' YAML files, without a YAML library: block mappings by
// indentation, `#` comments, plain, '..' and ".." scalars (also over several lines, folded as
// YAML folds them). Anything else (sequences, flow collections, block scalars, anchors, tags)
// is not a value here.
namespace prefixes::yaml {

// The scalar of the top-level `key`; nothing when the key is missing, null or holds no scalar.
std::optional<QString> topLevelValue(QByteArrayView text, QStringView key);

// The scalar of `key` directly inside the top-level mapping `section`.
std::optional<QString> sectionValue(QByteArrayView text, QStringView section, QStringView key);

} // namespace prefixes::yaml
