// Where the library finds its data and writes the files it keeps beside the program.
#pragma once

#include "common/CompanionNames.h"

#include <string>
#include <vector>

namespace qutrans {

using common::basePath;
using common::installedDataFolder;
using common::programPathVariable;
using common::writableCompanion;

// The program file's path: $NAVOLIS_PROGRAM_PATH when set, else what the kernel reports.
std::string programPath();

// The folders that may hold the language data, in the order they are tried: "qutrans"
// beside the program, then in the data folder of an installed tree, then beside this library.
std::vector<std::string> dataFolders(const std::string &program);

} // namespace qutrans
