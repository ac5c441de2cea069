#include "Definition.h"

#include <string_view>

namespace qutrans {
namespace {

std::string_view trimmed(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

bool isLanguageKey(std::string_view key)
{
    constexpr std::string_view wanted = "language";
    if (key.size() != wanted.size())
        return false;
    for (size_t i = 0; i < key.size(); ++i) {
        const char c = key[i];
        if ((c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c) != wanted[i])
            return false;
    }
    return true;
}

} // namespace

std::string languageInDefinition(const std::string &content)
{
    std::string_view rest(content);
    while (!rest.empty()) {
        const size_t nl = rest.find('\n');
        const std::string_view line = rest.substr(0, nl);
        rest.remove_prefix(nl == std::string_view::npos ? rest.size() : nl + 1);
        const size_t eq = line.find('=');
        if (eq != std::string_view::npos && isLanguageKey(trimmed(line.substr(0, eq))))
            return std::string(trimmed(line.substr(eq + 1)));
    }
    return {};
}

std::string definitionFor(const std::string &language)
{
    return "# Navolis: the current language. Reset from the .t00 template.\nLanguage=" + language +
           "\n";
}

} // namespace qutrans
