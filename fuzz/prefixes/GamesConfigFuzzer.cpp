// Reads arbitrary input as one of Heroic's GamesConfig files: the prefixes found are never
// empty, and written back as such a file they read the same.
#include "prefixes/GamesConfig.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <cstdlib>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const auto found = prefixes::heroic::winePrefixes(QByteArrayView(data, qsizetype(size)));
    if (!found)
        return 0;
    QJsonObject games;
    for (qsizetype n = 0; n < found->size(); ++n) {
        check(!found->at(n).isEmpty());
        // Numbered so that the games keep their order, which is the order of their names.
        games.insert(QString::number(n).rightJustified(10, u'0'),
                     QJsonObject{{QStringLiteral("winePrefix"), found->at(n)}});
    }
    games.insert(QStringLiteral("version"), QStringLiteral("v0"));
    check(prefixes::heroic::winePrefixes(QJsonDocument(games).toJson()) == *found);
    return 0;
}
