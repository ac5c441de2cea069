#include "CompanionFiles.h"

#include <cstdlib>
#include <dlfcn.h>
#include <filesystem>
#include <unistd.h>

namespace fs = std::filesystem;

namespace qutrans {
namespace {

bool isAsciiLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

std::string xdgDataHome()
{
    const char *xdg = std::getenv("XDG_DATA_HOME");
    if (xdg && xdg[0] == '/')
        return xdg;
    const char *home = std::getenv("HOME");
    return std::string(home ? home : "") + "/.local/share";
}

std::string libraryFolder()
{
    Dl_info info{};
    if (dladdr(reinterpret_cast<void *>(&libraryFolder), &info) == 0 || !info.dli_fname)
        return {};
    std::error_code ec;
    const fs::path lib = fs::canonical(info.dli_fname, ec);
    return ec ? std::string() : lib.parent_path().string();
}

} // namespace

std::string programPath()
{
    const char *overridden = std::getenv(programPathVariable);
    if (overridden && overridden[0] != '\0')
        return overridden;
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : exe.string();
}

std::string basePath(const std::string &program)
{
    const size_t n = program.size();
    if (n >= 4 && program[n - 4] == '.' && isAsciiLetter(program[n - 3]) &&
        isAsciiLetter(program[n - 2]) && isAsciiLetter(program[n - 1]))
        return program.substr(0, n - 3);
    return program + '.';
}

std::string writableCompanion(const std::string &base, const std::string &extension)
{
    const fs::path wanted(base + extension);
    const fs::path folder = wanted.parent_path();
    if (access(folder.empty() ? "." : folder.c_str(), W_OK) == 0)
        return wanted.string();
    return (fs::path(xdgDataHome()) / "navolis" / wanted.filename()).string();
}

std::string installedDataFolder(const std::string &program)
{
    const fs::path programFolder = fs::path(program).parent_path();
    return programFolder.empty()
               ? std::string()
               : (programFolder / ".." / "share" / "navolis").lexically_normal().string();
}

std::vector<std::string> dataFolders(const std::string &program)
{
    std::vector<std::string> folders;
    const fs::path programFolder = fs::path(program).parent_path();
    if (!programFolder.empty()) {
        folders.push_back((programFolder / "qutrans").string());
        folders.push_back((fs::path(installedDataFolder(program)) / "qutrans").string());
    }
    const std::string lib = libraryFolder();
    if (!lib.empty() && (folders.empty() || fs::path(lib) / "qutrans" != fs::path(folders.front())))
        folders.push_back((fs::path(lib) / "qutrans").string());
    return folders;
}

} // namespace qutrans
