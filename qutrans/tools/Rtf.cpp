#include "Rtf.h"

namespace helpgen {
namespace {

std::string escaped(const std::string &utf8)
{
    std::string out;
    for (char32_t cp : codePoints(utf8)) {
        if (cp == '\\' || cp == '{' || cp == '}') {
            out += '\\';
            out += static_cast<char>(cp);
        } else if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else {
            // \uN takes a signed 16-bit number; '?' is the fallback for old readers.
            const char32_t unit = cp > 0xFFFF ? U'\uFFFD' : cp;
            out += "\\u" + std::to_string(static_cast<int16_t>(static_cast<uint16_t>(unit))) + '?';
        }
    }
    return out;
}

std::string paragraph(const char *format, const std::string &text)
{
    return std::string("{\\pard") + format + ' ' + escaped(text) + "\\par}\n";
}

} // namespace

std::string toRtf(const Manual &manual)
{
    std::string rtf = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\n"
                      "{\\fonttbl{\\f0\\fswiss\\fcharset0 Liberation Sans;}}\n"
                      "{\\info{\\title " +
                      escaped(manual.title) +
                      "}}\n"
                      "\\f0\\fs22\n";
    rtf += paragraph("\\qc\\sb240\\sa360\\b\\fs44", manual.title);
    for (const Page &page : manual.pages) {
        rtf += paragraph("\\keepn\\sb360\\sa120\\b\\fs32", page.title);
        for (const Block &block : page.blocks) {
            switch (block.kind) {
            case Block::Heading:
                rtf += paragraph("\\keepn\\sb240\\sa80\\b\\fs26", block.text);
                break;
            case Block::Paragraph:
                rtf += paragraph("\\sa120", block.text);
                break;
            case Block::Bullet:
                rtf +=
                    "{\\pard\\fi-284\\li568\\sa60\\bullet\\tab " + escaped(block.text) + "\\par}\n";
                break;
            }
        }
    }
    return rtf + "}\n";
}

} // namespace helpgen
