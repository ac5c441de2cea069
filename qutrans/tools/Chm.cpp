#include "Chm.h"

#include <algorithm>
#include <stdexcept>
#include <vector>

namespace helpgen {
namespace {

constexpr uint32_t chunkSize = 0x1000;
constexpr uint32_t quickRefDensity = 2; // a quick-reference offset every 1 + 2^2 entries
constexpr uint32_t itsfLength = 0x60;
constexpr uint32_t section0Length = 0x18;
constexpr uint32_t itspLength = 0x54;
constexpr uint32_t pmglHeaderLength = 0x14;

class Bytes
{
public:
    void u16(uint32_t v) { raw(v, 2); }
    void u32(uint32_t v) { raw(v, 4); }
    void u64(uint64_t v) { raw(v, 8); }
    void text(const std::string &s) { data += s; }
    void guid(uint32_t a, uint16_t b, uint16_t c, const unsigned char (&d)[8])
    {
        u32(a);
        u16(b);
        u16(c);
        for (unsigned char x : d)
            data += static_cast<char>(x);
    }
    // Variable-length number: 7 bits a byte, most significant first, high bit = more.
    void encint(uint64_t v)
    {
        std::string groups(1, static_cast<char>(v & 0x7F));
        while (v >>= 7)
            groups.insert(groups.begin(), static_cast<char>(0x80 | (v & 0x7F)));
        data += groups;
    }
    std::string data;

private:
    void raw(uint64_t v, int n)
    {
        for (int i = 0; i < n; ++i)
            data += static_cast<char>((v >> (8 * i)) & 0xFF);
    }
};

struct Entry
{
    std::string name;
    uint64_t offset;
    uint64_t length;
};

std::string lowered(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; });
    return s;
}

// The one listing chunk of the directory. Readers search it in name order, compared
// without regard to ASCII case.
std::string listingChunk(const std::vector<Entry> &entries)
{
    Bytes body;
    std::vector<uint32_t> offsets;
    for (const Entry &e : entries) {
        offsets.push_back(static_cast<uint32_t>(body.data.size()));
        body.encint(e.name.size());
        body.text(e.name);
        body.encint(0);
        body.encint(e.offset);
        body.encint(e.length);
    }
    const uint32_t every = 1 + (1u << quickRefDensity);
    std::vector<uint32_t> quickRef;
    for (size_t i = every; i < entries.size(); i += every)
        quickRef.push_back(offsets[i]);
    const size_t tail = 2 * quickRef.size() + 2;
    if (pmglHeaderLength + body.data.size() + tail > chunkSize)
        throw std::runtime_error("help file directory does not fit one chunk");

    Bytes chunk;
    chunk.text("PMGL");
    chunk.u32(static_cast<uint32_t>(chunkSize - pmglHeaderLength - body.data.size()));
    chunk.u32(0);
    chunk.u32(0xFFFFFFFF); // no previous chunk
    chunk.u32(0xFFFFFFFF); // no next chunk
    chunk.text(body.data);
    chunk.data.resize(chunkSize - tail, '\0');
    for (auto it = quickRef.rbegin(); it != quickRef.rend(); ++it)
        chunk.u16(*it);
    chunk.u16(static_cast<uint32_t>(entries.size()));
    return chunk.data;
}

std::string systemFile(const ChmOptions &options)
{
    Bytes sys;
    sys.u32(3);
    const auto record = [&sys](uint16_t code, const std::string &value) {
        sys.u16(code);
        sys.u16(static_cast<uint32_t>(value.size() + 1));
        sys.text(value);
        sys.data += '\0';
    };
    record(0, options.contentsFile);
    record(2, options.defaultTopic);
    record(3, options.title);
    Bytes info;
    info.u32(options.lcid);
    for (int i = 0; i < 4; ++i)
        info.u32(0); // no DBCS, no full-text search, no keyword links
    info.u64(0);
    info.u32(0);
    info.u32(0);
    sys.u16(4);
    sys.u16(static_cast<uint32_t>(info.data.size()));
    sys.text(info.data);
    return sys.data;
}

// Names the content sections; there is only the uncompressed one.
std::string nameList()
{
    const std::string name = "Uncompressed";
    Bytes list;
    list.u16(static_cast<uint32_t>(2 + 1 + name.size() + 1));
    list.u16(1);
    list.u16(static_cast<uint32_t>(name.size()));
    for (char c : name)
        list.u16(static_cast<unsigned char>(c));
    list.u16(0);
    return list.data;
}

} // namespace

std::string buildChm(const std::map<std::string, std::string> &files, const ChmOptions &options)
{
    std::map<std::string, std::string> all;
    for (const auto &[name, content] : files)
        all["/" + name] = content;
    all["/#SYSTEM"] = systemFile(options);
    all["::DataSpace/NameList"] = nameList();

    std::string content;
    std::vector<Entry> entries{{"/", 0, 0}};
    for (const auto &[name, bytes] : all) {
        entries.push_back({name, content.size(), bytes.size()});
        content += bytes;
    }
    std::sort(entries.begin(), entries.end(),
              [](const Entry &a, const Entry &b) { return lowered(a.name) < lowered(b.name); });

    const uint64_t directoryOffset = itsfLength + section0Length;
    const uint64_t directoryLength = itspLength + chunkSize;
    const uint64_t contentOffset = directoryOffset + directoryLength;
    static const unsigned char itsfTail[8] = {0x9E, 0x0C, 0x00, 0xA0, 0xC9, 0x22, 0xE6, 0xEC};
    static const unsigned char itspTail[8] = {0x9D, 0xF9, 0x00, 0xA0, 0xC9, 0x22, 0xE6, 0xEC};

    Bytes out;
    out.text("ITSF");
    out.u32(3);
    out.u32(itsfLength);
    out.u32(1);
    out.u32(0); // time stamp: none, so that builds are reproducible
    out.u32(options.lcid);
    out.guid(0x7C01FD10, 0x7BAA, 0x11D0, itsfTail);
    out.guid(0x7C01FD11, 0x7BAA, 0x11D0, itsfTail);
    out.u64(itsfLength);
    out.u64(section0Length);
    out.u64(directoryOffset);
    out.u64(directoryLength);
    out.u64(contentOffset);

    out.u32(0x01FE);
    out.u32(0);
    out.u64(contentOffset + content.size());
    out.u32(0);
    out.u32(0);

    out.text("ITSP");
    out.u32(1);
    out.u32(itspLength);
    out.u32(0x0A);
    out.u32(chunkSize);
    out.u32(quickRefDensity);
    out.u32(1);          // index depth: listing chunks only
    out.u32(0xFFFFFFFF); // no index chunk
    out.u32(0);          // first listing chunk
    out.u32(0);          // last listing chunk
    out.u32(0xFFFFFFFF);
    out.u32(1); // chunk count
    out.u32(options.lcid);
    out.guid(0x5D02926A, 0x212E, 0x11D0, itspTail);
    out.u32(itspLength);
    out.u32(0xFFFFFFFF);
    out.u32(0xFFFFFFFF);
    out.u32(0xFFFFFFFF);
    out.text(listingChunk(entries));
    out.text(content);
    return out.data;
}

} // namespace helpgen
