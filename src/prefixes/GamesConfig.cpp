#include "prefixes/GamesConfig.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>

namespace prefixes::heroic {

std::optional<QStringList> winePrefixes(QByteArrayView json)
{
    QJsonParseError error;
    const QJsonDocument document =
        QJsonDocument::fromJson(QByteArray::fromRawData(json.data(), json.size()), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    QStringList prefixes;
    const QJsonObject games = document.object();
    for (auto game = games.begin(); game != games.end(); ++game) {
        const QString prefix = game.value().toObject().value(u"winePrefix").toString();
        if (!prefix.isEmpty())
            prefixes << prefix;
    }
    return prefixes;
}

} // namespace prefixes::heroic
