#include "CompanionFiles.h"

#include <cstdlib>
#include <dlfcn.h>
#include <filesystem>
#include <unistd.h>

namespace fs = std::filesystem;

namespace qutrans {
namespace {

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
