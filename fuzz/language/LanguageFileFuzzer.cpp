// Parses arbitrary input as a language file of the translation library: no crash, no read
// out of bounds, and every text number taken from a line of its own.
#include "LanguageFile.h"

#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string content(reinterpret_cast<const char *>(data), size);
    const qutrans::LanguageFile file = qutrans::parseLanguageFile(content);
    size_t lines = 1;
    for (const char c : content)
        lines += c == '\n';
    if (file.texts.size() + file.problems.size() > lines)
        __builtin_trap();
    return 0;
}
