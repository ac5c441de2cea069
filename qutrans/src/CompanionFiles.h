// Where the library finds its data and writes the files it keeps beside the program.
#pragma once

#include <string>
#include <vector>

namespace qutrans {

// Overrides the program path for tests and portable set-ups.
inline constexpr const char *programPathVariable = "NAVOLIS_PROGRAM_PATH";

// The program file's path: $NAVOLIS_PROGRAM_PATH when set, else what the kernel reports.
std::string programPath();

// The stem of the companion file names: a path ending in a dot and three letters loses
// the letters ("/a/navolis.exe" -> "/a/navolis."); any other path gains a dot.
std::string basePath(const std::string &program);

// The path of the companion file base + extension that the library writes: beside the
// program when its folder is writable, else under $XDG_DATA_HOME/navolis/ with the same
// name.
std::string writableCompanion(const std::string &base, const std::string &extension);

// The folders that may hold the language data, in the order they are tried: "qutrans"
// beside the program, then in the data folder of an installed tree, then beside this library.
std::vector<std::string> dataFolders(const std::string &program);

// The data folder of an installed tree, ../share/navolis beside the program's folder.
std::string installedDataFolder(const std::string &program);

} // namespace qutrans
