#include "prefixes/KeyValuesText.h"

#include <QByteArray>
#include <QStringDecoder>

namespace prefixes::keyvalues {

namespace {

enum class Token
{
    End,
    Open,
    Close,
    Text,
    Damaged
};

// A key or value as written: a leading byte order mark inside it is a character like any other.
QString decoded(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
    return utf8(bytes);
}

class Reader
{
public:
    explicit Reader(QByteArrayView text) : m_text(text)
    {
        if (m_text.startsWith("\xEF\xBB\xBF"))
            m_pos = 3;
    }

    // The pairs and blocks up to the closing brace, or up to the end of the text at the top.
    bool readBlock(Node &block, int depth)
    {
        for (;;) {
            QByteArray key;
            switch (next(key)) {
            case Token::End:
                return depth == 0;
            case Token::Close:
                return depth > 0;
            case Token::Text:
                break;
            default:
                return false;
            }
            Node &node = block.children.emplace_back();
            node.key = decoded(key);
            QByteArray value;
            switch (next(value)) {
            case Token::Text:
                node.value = decoded(value);
                break;
            case Token::Open:
                node.isBlock = true;
                if (depth + 1 > MaxDepth || !readBlock(node, depth + 1))
                    return false;
                break;
            default:
                return false;
            }
        }
    }

private:
    Token next(QByteArray &text)
    {
        skipSpaceAndComments();
        if (m_pos == m_text.size())
            return Token::End;
        const char c = m_text[m_pos];
        if (c == '{' || c == '}') {
            ++m_pos;
            return c == '{' ? Token::Open : Token::Close;
        }
        if (c == '"')
            return readQuoted(text);
        const qsizetype start = m_pos;
        while (m_pos < m_text.size() && !isSpace(m_text[m_pos]) && !isDelimiter(m_text[m_pos]))
            ++m_pos;
        text = m_text.sliced(start, m_pos - start).toByteArray();
        return Token::Text;
    }

    Token readQuoted(QByteArray &text)
    {
        ++m_pos;
        while (m_pos < m_text.size()) {
            const char c = m_text[m_pos++];
            if (c == '"')
                return Token::Text;
            if (c == '\\' && m_pos < m_text.size() &&
                (m_text[m_pos] == '"' || m_text[m_pos] == '\\')) {
                text += m_text[m_pos++];
                continue;
            }
            text += c;
        }
        return Token::Damaged;
    }

    void skipSpaceAndComments()
    {
        while (m_pos < m_text.size()) {
            if (isSpace(m_text[m_pos])) {
                ++m_pos;
            } else if (m_text.sliced(m_pos).startsWith("//")) {
                const qsizetype end = m_text.indexOf('\n', m_pos);
                m_pos = end < 0 ? m_text.size() : end + 1;
            } else {
                break;
            }
        }
    }

    static bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
    static bool isDelimiter(char c) { return c == '"' || c == '{' || c == '}'; }

    QByteArrayView m_text;
    qsizetype m_pos = 0;
};

} // namespace

const Node *Node::child(QStringView name) const
{
    for (const Node &node : children) {
        if (node.key.compare(name, Qt::CaseInsensitive) == 0)
            return &node;
    }
    return nullptr;
}

std::optional<Node> parse(QByteArrayView text)
{
    Node root;
    root.isBlock = true;
    if (!Reader(text).readBlock(root, 0))
        return std::nullopt;
    return root;
}

} // namespace prefixes::keyvalues
