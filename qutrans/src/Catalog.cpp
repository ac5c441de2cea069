#include "Catalog.h"

#include "CompanionFiles.h"
#include "Definition.h"
#include "common/AtomicFile.h"

#include <algorithm>
#include <filesystem>

namespace fs = std::filesystem;

namespace qutrans {

using common::readFile;

namespace {

// A companion file may go to the data home, whose folder may not exist yet.
bool replaceCompanion(const std::string &path, const std::string &content)
{
    std::error_code ec;
    const fs::path parent = fs::path(path).parent_path();
    if (!parent.empty())
        fs::create_directories(parent, ec);
    return common::replaceFile(path, content);
}

constexpr const char *languageExtension = ".lng";
constexpr const char *fallbackLanguage = "ENGLISH";

std::string upper(std::string s)
{
    for (char &c : s)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return s;
}

std::vector<std::string> languagesIn(const std::string &folder)
{
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto &entry : fs::directory_iterator(folder, ec)) {
        const fs::path &p = entry.path();
        if (p.extension() == languageExtension && entry.is_regular_file(ec))
            names.push_back(p.stem().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// The template lies beside the program, or in the data folder of an installed tree.
std::string definedLanguage(const std::string &program, const std::string &base)
{
    std::string content;
    const std::string templateName = fs::path(base + "t00").filename().string();
    if (readFile(writableCompanion(base, "def"), content) || readFile(base + "t00", content) ||
        readFile((fs::path(installedDataFolder(program)) / templateName).string(), content))
        return languageInDefinition(content);
    return {};
}

} // namespace

Catalog::Catalog(const std::string &program) : m_base(basePath(program))
{
    for (const std::string &folder : dataFolders(program)) {
        m_names = languagesIn(folder);
        if (!m_names.empty()) {
            m_dataFolder = folder;
            break;
        }
    }
    if (makeCurrent(indexOf(definedLanguage(program, m_base))) ||
        makeCurrent(indexOf(fallbackLanguage)))
        return;
    makeCurrent(m_names.empty() ? -1 : 0);
}

const std::string &Catalog::text(int number) const
{
    static const std::string none;
    const auto language = m_loaded.find(m_current);
    if (language == m_loaded.end())
        return none;
    const auto found = language->second.texts.find(number);
    return found == language->second.texts.end() ? none : found->second;
}

const std::string &Catalog::currentName() const
{
    static const std::string none;
    return m_current < 0 ? none : m_names[static_cast<size_t>(m_current)];
}

int Catalog::indexOf(const std::string &name) const
{
    if (name.empty())
        return -1;
    const std::string wanted = upper(name);
    for (size_t i = 0; i < m_names.size(); ++i)
        if (upper(m_names[i]) == wanted)
            return static_cast<int>(i);
    return -1;
}

bool Catalog::makeCurrent(int index)
{
    if (index < 0)
        return false;
    if (!m_loaded.contains(index)) {
        const std::string file =
            m_dataFolder + "/" + m_names[static_cast<size_t>(index)] + languageExtension;
        m_loaded.emplace(index, readLanguageFile(file));
    }
    m_current = index;
    return true;
}

bool Catalog::placeCompanion(const std::string &extension) const
{
    const std::string target = writableCompanion(m_base, extension);
    const std::string source = m_dataFolder + "/" + currentName() + "." + extension;
    std::string content;
    if (readFile(source, content))
        return replaceCompanion(target, content);
    // A file left from another language would show the wrong text.
    std::error_code ec;
    fs::remove(target, ec);
    return !ec;
}

SetLanguageResult Catalog::setLanguage(const std::string &name)
{
    if (!makeCurrent(indexOf(name)))
        return UnknownLanguage;
    if (!replaceCompanion(writableCompanion(m_base, "def"), definitionFor(currentName())))
        return DefinitionNotWritten;
    const bool help = placeCompanion("chm");
    const bool doc = placeCompanion("doc");
    return help && doc ? LanguageSet : HelpNotPlaced;
}

} // namespace qutrans
