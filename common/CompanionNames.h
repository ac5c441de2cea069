// How the program and its translation library name the files that live beside the program,
// and where those of them that are written go when the program's folder is not writable.
#pragma once

#include <string>

namespace common {

// Overrides the program path for tests and portable set-ups.
inline constexpr const char *programPathVariable = "NAVOLIS_PROGRAM_PATH";

// The stem of the companion file names: a path ending in a dot and three letters loses
// the letters ("/a/navolis.exe" -> "/a/navolis."); any other path gains a dot.
std::string basePath(const std::string &program);

// $XDG_DATA_HOME/navolis, or ~/.local/share/navolis; a relative XDG_DATA_HOME is ignored.
// Also the home of the embedded default prefix.
std::string dataHomeFolder();

// The path of the companion file base + extension that is written: beside the program when
// its folder is writable, else in the data home folder with the same name.
std::string writableCompanion(const std::string &base, const std::string &extension);

// The data folder of an installed tree, ../share/navolis beside the program's folder.
std::string installedDataFolder(const std::string &program);

} // namespace common
