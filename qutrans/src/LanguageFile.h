// Reading a language file: one text per line, "N=text", UTF-8.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace qutrans {

struct LanguageFile
{
    std::map<int, std::string> texts;
    // One line per line that could not be read as a text; empty for a sound file.
    std::vector<std::string> problems;
};

// Parses the content of a language file. Lines that are empty or start with '#' are
// skipped; "\n", "\r" and "\\" inside a text stand for a line feed, a carriage return
// and a backslash.
LanguageFile parseLanguageFile(const std::string &content);

// Reads and parses a language file; a missing or unreadable file gives no texts and
// one problem.
LanguageFile readLanguageFile(const std::string &path);

} // namespace qutrans
