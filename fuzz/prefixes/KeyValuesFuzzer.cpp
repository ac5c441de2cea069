// Reads arbitrary input as Steam's text KeyValues. A tree stays within the nesting bound, the
// library list and app name come from the same reading, and a tree written back in quoted form
// reads as the same tree.
#include "prefixes/KeyValuesText.h"
#include "prefixes/SteamFiles.h"

#include <QByteArray>

#include <algorithm>
#include <cstdlib>

namespace {

using prefixes::keyvalues::Node;

void check(bool condition)
{
    if (!condition)
        std::abort();
}

int depth(const Node &node)
{
    int deepest = 0;
    for (const Node &child : node.children)
        deepest = std::max(deepest, depth(child));
    return node.isBlock ? deepest + 1 : deepest;
}

QByteArray quoted(const QString &text)
{
    QByteArray bytes = text.toUtf8();
    bytes.replace("\\", "\\\\").replace("\"", "\\\"");
    return '"' + bytes + '"';
}

void write(const Node &block, QByteArray &out)
{
    for (const Node &node : block.children) {
        out += quoted(node.key);
        if (node.isBlock) {
            out += "\n{\n";
            write(node, out);
            out += "}\n";
        } else {
            out += '\t' + quoted(node.value) + '\n';
        }
    }
}

bool same(const Node &a, const Node &b)
{
    if (a.key != b.key || a.value != b.value || a.isBlock != b.isBlock ||
        a.children.size() != b.children.size())
        return false;
    return std::equal(a.children.begin(), a.children.end(), b.children.begin(), same);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView input(data, qsizetype(size));
    const auto tree = prefixes::keyvalues::parse(input);
    check(tree.has_value() == prefixes::steam::libraryFolders(input).has_value());
    check(tree.has_value() == prefixes::steam::appName(input).has_value());
    if (!tree)
        return 0;
    // The outermost block is the file itself, not a brace of it.
    check(depth(*tree) <= prefixes::keyvalues::MaxDepth + 1);
    QByteArray written;
    write(*tree, written);
    const auto reread = prefixes::keyvalues::parse(written);
    check(reread && same(*reread, *tree));
    return 0;
}
