// A user manual in a small plain-text markup, the one source of a language's help file
// and documentation file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace helpgen {

struct Block
{
    enum Kind
    {
        Heading,
        Paragraph,
        Bullet
    };
    Kind kind;
    std::string text; // UTF-8
};

struct Page
{
    std::string title;
    std::vector<Block> blocks;
};

struct Manual
{
    std::string title;
    uint32_t lcid = 0x0409; // Windows language id, tells help viewers the code page
    std::vector<Page> pages;
};

// Markup, line by line: "@title TEXT" and "@lcid NUMBER" set the manual's title and
// language; "= TEXT" starts a page; "== TEXT" is a heading inside the page; "- TEXT"
// is a list item; other lines are running text, and an empty line ends a paragraph.
// Lines starting with '#' are comments. Throws std::runtime_error on text before the
// first page.
Manual parseManual(const std::string &source);

// The Unicode code points of UTF-8 text; a broken sequence gives U+FFFD.
std::vector<char32_t> codePoints(const std::string &utf8);

} // namespace helpgen
