// The languages the library knows, the current one, and switching between them.
#pragma once

#include "LanguageFile.h"

#include <map>
#include <string>
#include <vector>

namespace qutrans {

// Result codes of setLanguage (0 is success).
enum SetLanguageResult : int
{
    LanguageSet = 0,
    BadFlags = 1,
    UnknownLanguage = 2,
    DefinitionNotWritten = 3,
    HelpNotPlaced = 4,
};

// Every string a Catalog hands out stays valid as long as the Catalog lives: loaded
// languages are never dropped.
class Catalog
{
public:
    // Finds the languages in the first data folder that has any and makes the language
    // current that the definition file (or else its template) names; ENGLISH, or else
    // the first language, when it names none that exists.
    explicit Catalog(const std::string &program);

    const std::string &text(int number) const;
    const std::vector<std::string> &names() const { return m_names; }
    // The current language's name as names() spells it; empty without languages.
    const std::string &currentName() const;

    // Makes the language current, records it in the definition file and places its
    // help and documentation files beside the program.
    SetLanguageResult setLanguage(const std::string &name);

private:
    int indexOf(const std::string &name) const;
    bool makeCurrent(int index);
    bool placeCompanion(const std::string &extension) const;

    std::string m_base;
    std::string m_dataFolder;
    std::vector<std::string> m_names;
    std::map<int, LanguageFile> m_loaded;
    int m_current = -1;
};

} // namespace qutrans
