// The definition file names the current language: a line "Language=NAME".
#pragma once

#include <string>

namespace qutrans {

// The language named in a definition file's content; empty when it names none.
std::string languageInDefinition(const std::string &content);

// The content of a definition file that names this language.
std::string definitionFor(const std::string &language);

} // namespace qutrans
