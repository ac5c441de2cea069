#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <optional>
#include <vector>

// The text KeyValues format of Steam's configuration files: `"key" "value"` pairs and
// `"key" { ... }` blocks, `//` comments, `\"` and `\\` escapes inside quoted strings, unquoted
// tokens. Anyone may have written such a file: nesting is bounded and damage gives no tree.
namespace prefixes::keyvalues {

struct Node
{
    QString key;
    QString value;              // a pair's value; empty for a block
    std::vector<Node> children; // a block's pairs and blocks, in file order
    bool isBlock = false;

    // The first pair or block directly inside this block whose key is `name` in any case.
    const Node *child(QStringView name) const;
};

// Deeper nesting is taken for damage: Steam's files use four levels at most.
constexpr int MaxDepth = 32;

// The file's top-level pairs and blocks, as the children of one block; nothing when the text is
// damaged: an unterminated string or block, a stray brace, a key without value, too deep.
std::optional<Node> parse(QByteArrayView text);

} // namespace prefixes::keyvalues
