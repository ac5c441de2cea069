#include "CompanionNames.h"

#include <cstdlib>
#include <filesystem>
#include <pwd.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace common {
namespace {

bool isAsciiLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

} // namespace

std::string basePath(const std::string &program)
{
    const size_t n = program.size();
    if (n >= 4 && program[n - 4] == '.' && isAsciiLetter(program[n - 3]) &&
        isAsciiLetter(program[n - 2]) && isAsciiLetter(program[n - 1]))
        return program.substr(0, n - 3);
    return program + '.';
}

std::string dataHomeFolder()
{
    const char *xdg = std::getenv("XDG_DATA_HOME");
    if (xdg && xdg[0] == '/')
        return (fs::path(xdg) / "navolis").lexically_normal().string();
    const char *home = std::getenv("HOME");
    if (!home || home[0] == '\0') {
        const passwd *user = ::getpwuid(::getuid());
        home = user && user->pw_dir ? user->pw_dir : "";
    }
    return std::string(home) + "/.local/share/navolis";
}

std::string writableCompanion(const std::string &base, const std::string &extension)
{
    const fs::path wanted(base + extension);
    const fs::path folder = wanted.parent_path();
    if (access(folder.empty() ? "." : folder.c_str(), W_OK) == 0)
        return wanted.string();
    return (fs::path(dataHomeFolder()) / wanted.filename()).string();
}

std::string installedDataFolder(const std::string &program)
{
    const fs::path programFolder = fs::path(program).parent_path();
    return programFolder.empty()
               ? std::string()
               : (programFolder / ".." / "share" / "navolis").lexically_normal().string();
}

} // namespace common
