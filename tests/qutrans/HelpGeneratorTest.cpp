// The help and documentation generator: markup, RTF text and the help file's directory.
#include "Chm.h"
#include "Html.h"
#include "Manual.h"
#include "Rtf.h"

#include <gtest/gtest.h>

namespace {

using namespace helpgen;

TEST(HelpMarkup, BuildsPagesHeadingsParagraphsAndItems)
{
    const Manual m = parseManual("@title T\n@lcid 0x0407\n# note\n= One\nfirst\nline\n\nsecond\n"
                                 "== Sub\n- item\n  goes on\n= Two\n");
    EXPECT_EQ(m.title, "T");
    EXPECT_EQ(m.lcid, 0x0407u);
    ASSERT_EQ(m.pages.size(), 2u);
    const auto &b = m.pages[0].blocks;
    ASSERT_EQ(b.size(), 4u);
    EXPECT_EQ(b[0].text, "first line");
    EXPECT_EQ(b[1].text, "second");
    EXPECT_EQ(b[2].kind, Block::Heading);
    EXPECT_EQ(b[3].kind, Block::Bullet);
    EXPECT_EQ(b[3].text, "item   goes on");
    EXPECT_THROW(parseManual("orphan text\n"), std::runtime_error);
}

TEST(HelpText, EscapesForRtfHtmlAndTheContentsCodePage)
{
    Manual m{"Hilfe", 0x0407, {Page{"Über {x}", {Block{Block::Paragraph, "a\\b „ä“ 中"}}}}};
    const std::string rtf = toRtf(m);
    EXPECT_NE(rtf.find("\\u220?ber \\{x\\}"), std::string::npos);
    EXPECT_NE(rtf.find("a\\\\b \\u8222?\\u228?\\u8220? \\u20013?"), std::string::npos);
    EXPECT_NE(pageHtml(m, 0).find("&#220;ber {x}"), std::string::npos);
    EXPECT_EQ(windows1252("Ü„€中"), "\xDC\x84\x80?");
}

// Reads the help file's directory back: name -> (offset, length) in content section 0.
std::map<std::string, std::pair<uint64_t, uint64_t>> directory(const std::string &chm,
                                                               uint64_t &contentOffset)
{
    const auto u32 = [&chm](size_t at) {
        uint32_t v = 0;
        for (int i = 3; i >= 0; --i)
            v = (v << 8) | static_cast<unsigned char>(chm[at + static_cast<size_t>(i)]);
        return v;
    };
    contentOffset = u32(0x58);
    const size_t chunk = u32(0x48) + 0x54;
    EXPECT_EQ(chm.substr(chunk, 4), "PMGL");
    const size_t end = chunk + 0x1000 - u32(chunk + 4);
    size_t at = chunk + 0x14;
    const auto encint = [&chm, &at] {
        uint64_t v = 0;
        unsigned char c;
        do {
            c = static_cast<unsigned char>(chm[at++]);
            v = (v << 7) | (c & 0x7F);
        } while (c & 0x80);
        return v;
    };
    std::map<std::string, std::pair<uint64_t, uint64_t>> entries;
    while (at < end) {
        const uint64_t len = encint();
        const std::string name = chm.substr(at, len);
        at += len;
        EXPECT_EQ(encint(), 0u);
        const uint64_t offset = encint();
        entries[name] = {offset, encint()};
    }
    EXPECT_EQ(entries.size(), static_cast<unsigned char>(chm[chunk + 0x1000 - 2]));
    return entries;
}

TEST(HelpFile, DirectoryLeadsToEveryFileUnchanged)
{
    std::map<std::string, std::string> files;
    for (int i = 0; i < 12; ++i)
        files["page" + std::to_string(i) + ".htm"] =
            std::string(static_cast<size_t>(200 + i), 'a' + i);
    files["navolis.hhc"] = "<UL></UL>";
    const std::string chm = buildChm(files, {0x0409, "T", "page0.htm", "navolis.hhc"});
    ASSERT_EQ(chm.substr(0, 4), "ITSF");
    uint64_t content = 0;
    const auto dir = directory(chm, content);
    EXPECT_TRUE(dir.contains("/"));
    EXPECT_TRUE(dir.contains("/#SYSTEM"));
    for (const auto &[name, bytes] : files) {
        ASSERT_TRUE(dir.contains("/" + name)) << name;
        const auto [offset, length] = dir.at("/" + name);
        EXPECT_EQ(chm.substr(content + offset, length), bytes) << name;
    }
    const auto [sysOffset, sysLength] = dir.at("/#SYSTEM");
    const std::string sys = chm.substr(content + sysOffset, sysLength);
    EXPECT_NE(sys.find(std::string("page0.htm\0", 10)), std::string::npos);
    // The size recorded in the header covers the whole file.
    EXPECT_EQ(static_cast<unsigned char>(chm[0x68]) | static_cast<unsigned char>(chm[0x69]) << 8,
              static_cast<int>(chm.size()));
}

} // namespace
