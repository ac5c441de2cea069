#include "Html.h"

#include <cstdio>

namespace helpgen {
namespace {

std::string html(const std::string &utf8)
{
    std::string out;
    for (char32_t cp : codePoints(utf8)) {
        switch (cp) {
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '&':
            out += "&amp;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            if (cp < 0x80)
                out += static_cast<char>(cp);
            else
                out += "&#" + std::to_string(static_cast<uint32_t>(cp)) + ';';
        }
    }
    return out;
}

std::string attribute(const std::string &s)
{
    std::string out;
    for (char c : s)
        out += c == '&' ? "&amp;" : c == '"' ? "&quot;" : std::string(1, c);
    return out;
}

std::string sitemapEntry(const std::string &name, const std::string &local)
{
    return "<LI> <OBJECT type=\"text/sitemap\">\n"
           "<param name=\"Name\" value=\"" +
           attribute(name) +
           "\">\n"
           "<param name=\"Local\" value=\"" +
           local +
           "\">\n"
           "</OBJECT>\n";
}

} // namespace

std::string windows1252(const std::string &utf8)
{
    static const char32_t high[32] = {
        0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
    std::string out;
    for (char32_t cp : codePoints(utf8)) {
        if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
            out += static_cast<char>(cp);
            continue;
        }
        char mapped = '?';
        for (int i = 0; i < 32; ++i)
            if (high[i] == cp)
                mapped = static_cast<char>(0x80 + i);
        out += mapped;
    }
    return out;
}

std::string pageFileName(size_t index)
{
    if (index == 0)
        return "index.htm";
    char name[16];
    std::snprintf(name, sizeof name, "page%02zu.htm", index + 1);
    return name;
}

std::string pageHtml(const Manual &manual, size_t index)
{
    const Page &page = manual.pages[index];
    std::string out = "<!DOCTYPE html>\n<html><head><meta charset=\"us-ascii\"><title>" +
                      html(page.title) + " - " + html(manual.title) +
                      "</title>\n"
                      "<style>body{font-family:sans-serif;margin:1.5em;max-width:42em}"
                      "h1{color:#800000}a{color:#0000c0}</style></head>\n<body>\n<h1>" +
                      html(page.title) + "</h1>\n";
    bool inList = false;
    for (const Block &block : page.blocks) {
        if (inList && block.kind != Block::Bullet) {
            out += "</ul>\n";
            inList = false;
        }
        if (block.kind == Block::Bullet && !inList) {
            out += "<ul>\n";
            inList = true;
        }
        switch (block.kind) {
        case Block::Heading:
            out += "<h2>" + html(block.text) + "</h2>\n";
            break;
        case Block::Paragraph:
            out += "<p>" + html(block.text) + "</p>\n";
            break;
        case Block::Bullet:
            out += "<li>" + html(block.text) + "</li>\n";
            break;
        }
    }
    if (inList)
        out += "</ul>\n";
    out += "<hr><p>";
    if (index > 0)
        out += "<a href=\"" + pageFileName(index - 1) + "\">&lt;&lt; " +
               html(manual.pages[index - 1].title) + "</a> &nbsp; ";
    if (index + 1 < manual.pages.size())
        out += "<a href=\"" + pageFileName(index + 1) + "\">" +
               html(manual.pages[index + 1].title) + " &gt;&gt;</a>";
    return out + "</p>\n</body></html>\n";
}

std::string contentsHhc(const Manual &manual)
{
    std::string out =
        "<!DOCTYPE HTML PUBLIC \"-//IETF//DTD HTML//EN\">\n<HTML><HEAD></HEAD><BODY>\n"
        "<OBJECT type=\"text/site properties\">\n"
        "<param name=\"Window Styles\" value=\"0x800025\">\n</OBJECT>\n<UL>\n";
    for (size_t i = 0; i < manual.pages.size(); ++i)
        out += sitemapEntry(windows1252(manual.pages[i].title), pageFileName(i));
    return out + "</UL>\n</BODY></HTML>\n";
}

} // namespace helpgen
