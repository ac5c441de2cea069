#include "LanguageFile.h"

#include "common/AtomicFile.h"

#include <charconv>

namespace qutrans {

using common::readFile;
namespace {

constexpr int maxTextNumber = 9999;

// Resolves the escapes of one text; returns false at an unknown or unfinished escape.
bool unescape(std::string_view raw, std::string &text)
{
    text.clear();
    for (size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] != '\\') {
            text += raw[i];
            continue;
        }
        if (++i == raw.size())
            return false;
        switch (raw[i]) {
        case 'n':
            text += '\n';
            break;
        case 'r':
            text += '\r';
            break;
        case '\\':
            text += '\\';
            break;
        default:
            return false;
        }
    }
    return true;
}

std::string describe(int lineNumber, const std::string &what)
{
    return "line " + std::to_string(lineNumber) + ": " + what;
}

void parseLine(std::string_view line, int lineNumber, LanguageFile &file)
{
    const size_t eq = line.find('=');
    if (eq == std::string_view::npos || eq == 0) {
        file.problems.push_back(describe(lineNumber, "not of the form N=text"));
        return;
    }
    int number = -1;
    const auto [end, ec] = std::from_chars(line.data(), line.data() + eq, number);
    if (ec != std::errc() || end != line.data() + eq || number < 0 || number > maxTextNumber) {
        file.problems.push_back(describe(lineNumber, "bad text number"));
        return;
    }
    std::string text;
    if (!unescape(line.substr(eq + 1), text)) {
        file.problems.push_back(describe(lineNumber, "unknown escape"));
        return;
    }
    if (!file.texts.emplace(number, std::move(text)).second)
        file.problems.push_back(describe(lineNumber, "text number given twice"));
}

} // namespace

LanguageFile parseLanguageFile(const std::string &content)
{
    LanguageFile file;
    std::string_view rest(content);
    if (rest.starts_with("\xEF\xBB\xBF"))
        rest.remove_prefix(3);
    int lineNumber = 0;
    while (!rest.empty()) {
        const size_t nl = rest.find('\n');
        std::string_view line = rest.substr(0, nl);
        rest.remove_prefix(nl == std::string_view::npos ? rest.size() : nl + 1);
        ++lineNumber;
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        if (line.empty() || line.front() == '#')
            continue;
        parseLine(line, lineNumber, file);
    }
    return file;
}

LanguageFile readLanguageFile(const std::string &path)
{
    std::string content;
    if (!readFile(path, content)) {
        LanguageFile file;
        file.problems.push_back(path + ": cannot be read");
        return file;
    }
    return parseLanguageFile(content);
}

} // namespace qutrans
