// The C interface: one catalog per call of start. Earlier catalogs are kept, so that
// every string handed out stays valid until the process ends.
#include "qutrans1.h"

#include "Catalog.h"
#include "CompanionFiles.h"

#include <memory>
#include <mutex>
#include <vector>

namespace {

std::mutex lock;
std::vector<std::unique_ptr<qutrans::Catalog>> catalogs;

qutrans::Catalog &current()
{
    if (catalogs.empty())
        catalogs.push_back(std::make_unique<qutrans::Catalog>(qutrans::programPath()));
    return *catalogs.back();
}

} // namespace

extern "C" {

void start(void)
{
    std::lock_guard guard(lock);
    catalogs.push_back(std::make_unique<qutrans::Catalog>(qutrans::programPath()));
}

const char *get(int32_t number)
{
    std::lock_guard guard(lock);
    return current().text(number).c_str();
}

int32_t SetLanguage(const char *name, int32_t flags)
{
    if (flags != 0)
        return qutrans::BadFlags;
    std::lock_guard guard(lock);
    return current().setLanguage(name ? name : "");
}

const char *GetLanguage(void)
{
    std::lock_guard guard(lock);
    return current().currentName().c_str();
}

int32_t CountLang(void)
{
    std::lock_guard guard(lock);
    return static_cast<int32_t>(current().names().size());
}

const char *AvailableLanguages(int32_t index)
{
    std::lock_guard guard(lock);
    const auto &names = current().names();
    if (index < 0 || static_cast<size_t>(index) >= names.size())
        return "";
    return names[static_cast<size_t>(index)].c_str();
}
}
