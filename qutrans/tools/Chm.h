// A compiled help file in the ITSF container that help viewers read. Every file is
// stored uncompressed in content section 0, which all readers support; this keeps the
// writer free of a compressor.
#pragma once

#include <cstdint>
#include <map>
#include <string>

namespace helpgen {

struct ChmOptions
{
    uint32_t lcid = 0x0409;
    std::string title;
    std::string defaultTopic; // e.g. "index.htm"
    std::string contentsFile; // e.g. "navolis.hhc"
};

// files maps names inside the help file (without the leading '/') to their bytes.
std::string buildChm(const std::map<std::string, std::string> &files, const ChmOptions &options);

} // namespace helpgen
