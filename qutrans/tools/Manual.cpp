#include "Manual.h"

#include <stdexcept>
#include <string_view>

namespace helpgen {
namespace {

class Parser
{
public:
    void line(std::string_view text, int number)
    {
        if (text.starts_with('#'))
            return;
        if (text.empty())
            return endParagraph();
        if (text.starts_with("@title "))
            return void(m_manual.title = text.substr(7));
        if (text.starts_with("@lcid "))
            return void(m_manual.lcid = static_cast<uint32_t>(
                            std::stoul(std::string(text.substr(6)), nullptr, 0)));
        if (text.starts_with("== "))
            return add(Block::Heading, text.substr(3), number);
        if (text.starts_with("= ")) {
            endParagraph();
            m_manual.pages.push_back(Page{std::string(text.substr(2)), {}});
            return;
        }
        if (text.starts_with("- "))
            return add(Block::Bullet, text.substr(2), number);
        if (m_open) {
            page(number).blocks.back().text += ' ';
            page(number).blocks.back().text += text;
            return;
        }
        add(Block::Paragraph, text, number);
    }

    Manual finish()
    {
        endParagraph();
        return std::move(m_manual);
    }

private:
    Page &page(int number)
    {
        if (m_manual.pages.empty())
            throw std::runtime_error("line " + std::to_string(number) +
                                     ": text before the first page");
        return m_manual.pages.back();
    }

    void add(Block::Kind kind, std::string_view text, int number)
    {
        page(number).blocks.push_back(Block{kind, std::string(text)});
        // Running text may continue a paragraph or a list item on the next line.
        m_open = kind != Block::Heading;
    }

    void endParagraph() { m_open = false; }

    Manual m_manual;
    bool m_open = false;
};

} // namespace

Manual parseManual(const std::string &source)
{
    Parser parser;
    std::string_view rest(source);
    int number = 0;
    while (!rest.empty()) {
        const size_t nl = rest.find('\n');
        std::string_view line = rest.substr(0, nl);
        rest.remove_prefix(nl == std::string_view::npos ? rest.size() : nl + 1);
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        parser.line(line, ++number);
    }
    return parser.finish();
}

std::vector<char32_t> codePoints(const std::string &utf8)
{
    std::vector<char32_t> out;
    for (size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const int extra = lead < 0x80         ? 0
                          : (lead >> 5) == 6  ? 1
                          : (lead >> 4) == 14 ? 2
                          : (lead >> 3) == 30 ? 3
                                              : -1;
        char32_t cp = extra == 0   ? lead
                      : extra == 1 ? lead & 0x1F
                      : extra == 2 ? lead & 0x0F
                                   : lead & 0x07;
        bool ok = extra >= 0 && i + static_cast<size_t>(extra) < utf8.size();
        for (int k = 1; ok && k <= extra; ++k) {
            const auto c = static_cast<unsigned char>(utf8[i + static_cast<size_t>(k)]);
            ok = (c & 0xC0) == 0x80;
            cp = (cp << 6) | (c & 0x3F);
        }
        out.push_back(ok ? cp : U'\uFFFD');
        i += ok ? static_cast<size_t>(extra) + 1 : 1;
    }
    return out;
}

} // namespace helpgen
