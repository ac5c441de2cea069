#include "prefixes/SteamFiles.h"

#include "prefixes/KeyValuesText.h"

namespace prefixes::steam {

namespace {

bool isNumber(const QString &text)
{
    if (text.isEmpty())
        return false;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return false;
    }
    return true;
}

} // namespace

std::optional<QStringList> libraryFolders(QByteArrayView vdf)
{
    const std::optional<keyvalues::Node> root = keyvalues::parse(vdf);
    if (!root)
        return std::nullopt;
    QStringList folders;
    const keyvalues::Node *list = root->child(u"libraryfolders");
    if (!list || !list->isBlock)
        return folders;
    // Libraries are the numbered entries; the rest are Steam's own bookkeeping.
    for (const keyvalues::Node &entry : list->children) {
        if (!isNumber(entry.key))
            continue;
        if (!entry.isBlock) {
            folders << entry.value;
        } else if (const keyvalues::Node *path = entry.child(u"path"); path && !path->isBlock) {
            folders << path->value;
        }
    }
    folders.removeAll(QString());
    return folders;
}

std::optional<QString> appName(QByteArrayView acf)
{
    const std::optional<keyvalues::Node> root = keyvalues::parse(acf);
    if (!root)
        return std::nullopt;
    const keyvalues::Node *state = root->child(u"AppState");
    const keyvalues::Node *name = state && state->isBlock ? state->child(u"name") : nullptr;
    return name && !name->isBlock ? name->value.trimmed() : QString();
}

} // namespace prefixes::steam
